// Six-degree Gauss–Krüger zones on the Krasovsky ellipsoid. Both routines are
// closed series whose coefficients already hold the ellipsoid, so nothing but
// the coordinates is passed; they keep no state and may run on any thread.
#pragma once

// Geodetic B (latitude) and L (longitude) in degrees to zone plane
// coordinates in metres: X northing from the equator, Y easting written as
// zone number × 1,000,000 + 500,000 + metres east of the central meridian.
// Zone shifts the zone the longitude falls into by that many places to the
// west (negative: east); the zone written into Y is the one used.
void BL2XY(double B, double L, double& X, double& Y, int Zone);

// Inverse of BL2XY: X northing and Y easting with the zone number in its
// millions, in metres, to B and L in degrees. The zone comes from Y, so L is
// counted eastwards from 0° (a western longitude comes back as L + 360°).
// Fractions of a metre of Y are dropped, which limits L to about 2e-5° at 60°.
void XY2BL(double X, double Y, double& B, double& L);
