#include "CoordConvertorU.h"

#include <cmath>
#include <numbers>

// Rounding is pinned down: each local named after a term of the series is a double, and each
// right-hand side is evaluated in long double before it is stored. The literal constants are
// part of the method; replacing them by their exact geometric counterparts (6°, 2π, 30/π) moves
// results by millimetres and changes which zone a longitude on a zone edge falls into.

namespace {

constexpr long double RadiansPerDegree = std::numbers::pi_v<long double> / 180;
constexpr long double DegreesPerRadian = 180 / std::numbers::pi_v<long double>;

// About 2.4e-11 rad wider than 6°, so a longitude that is an exact multiple of 6° falls into
// the zone to its west.
constexpr double ZoneWidth = 0.10471975514357039;
constexpr long double FullTurn = 6.283185308L;
constexpr long double MeridianFactor = 6367558.4969L; // metres per radian of latitude
constexpr float InverseMeridianFactor = 6367558.5F;   // single precision, where it is exact
constexpr long double ZoneBase = 1000000;             // metres per zone number in Y
constexpr long double FalseEasting = 500000;          // metres

} // namespace

void BL2XY(double B, double L, double& X, double& Y, int Zone) {
  double Lr = L * RadiansPerDegree;
  const double Br = B * RadiansPerDegree;
  if (Lr < 0) Lr = Lr + FullTurn; // a western longitude takes the zone of L + 360°

  // The zone index stays a floating-point whole number: identical to an integer for every
  // longitude the zones cover, and no overflow for absurd ones.
  const double Quotient = static_cast<long double>(Lr) / ZoneWidth;
  const double G = std::floor(Quotient);
  const double Z = Zone;
  // Radians east of the central meridian of zone G - Z + 1, the zone actually used.
  const double Dl =
      Lr - (static_cast<long double>(G) - Z) * ZoneWidth - static_cast<long double>(ZoneWidth) / 2;

  const long double CosB = std::cos(static_cast<long double>(Br));
  const long double SinB = std::sin(static_cast<long double>(Br));
  const double C = CosB * CosB;
  const double A3 = (0.001123L * C + 0.333333L) * C - 0.166667L;
  const double A4 = (0.00252L * C + 0.25L) * C - 0.04166L;
  const double A0 = 32140.404L - (135.3302L - (0.7092L - 0.004L * C) * C) * C;
  const double A5 = 0.0083L - (0.1667L - (0.1968L + 0.004L * C) * C) * C;
  const double A6 = (0.166L * C - 0.084L) * C;
  const double N = 6399698.902L - (21562.267L - (108.973L - 0.612L * C) * C) * C;

  const long double Dl2 = static_cast<long double>(Dl) * Dl;
  X = MeridianFactor * Br - CosB * SinB * (A0 - (0.5L + (A4 + A6 * Dl2) * Dl2) * Dl2 * N);
  const double Dy = CosB * (1 + (A3 + A5 * Dl2) * Dl2) * Dl * N; // metres east of the meridian
  Y = (static_cast<long double>(G) + 1 - Z) * ZoneBase + Dy + FalseEasting;
}

void XY2BL(double X, double Y, double& B, double& L) {
  const double Beta = X / static_cast<long double>(InverseMeridianFactor);

  // The whole metres of Y split into the zone number and the easting inside the zone. The
  // split is done in floating point, where it is exact: the same values as 32-bit integer
  // arithmetic wherever a 32-bit integer holds the whole metres, and no overflow beyond that
  // (from about zone 2,147 on the zone number just keeps counting; a non-finite Y gives NaN).
  // The remainder is kept non-negative so that it agrees with the floored zone number: signed
  // like a negative Y, it would put a point of zone -1 a thousand kilometres west of its place.
  const long double WholeMetres = std::floor(static_cast<long double>(Y));
  long double Easting = std::fmod(WholeMetres, ZoneBase);
  if (Easting < 0) Easting += ZoneBase;
  const double Yr = Easting / ZoneBase; // in units of 1e6 m
  const long double ZoneNumber = std::floor(static_cast<long double>(Y) / ZoneBase);
  const double L0 = (ZoneNumber - 0.5L) / 9.5492966L; // central meridian, radians

  const long double CosBeta = std::cos(static_cast<long double>(Beta));
  const long double SinBeta = std::sin(static_cast<long double>(Beta));
  const long double CosBeta2 = CosBeta * CosBeta;
  // Footpoint latitude: the latitude whose meridian arc is X.
  const double B0 =
      Beta + SinBeta * CosBeta * ((24 * CosBeta2 + 2936) * CosBeta2 + 502217) / 10000 / 10000;

  const long double CosB0 = std::cos(static_cast<long double>(B0));
  const long double SinB0 = std::sin(static_cast<long double>(B0));
  const double C = CosB0 * CosB0;
  const double Zr = std::sqrt(1 + 0.00673853L * C) * (Yr - 0.5L) / CosB0 / 6.3996989L;
  const double B2 = (0.00337L * C + 0.5L) * SinB0 * CosB0;
  const double L3 = (0.0011L * C - 0.1667L) * C + 0.3333L;
  const double B4 = 0.162L * C + 0.25L;
  const double L5 = 0.17L * C - 0.2L;

  const long double Zr2 = static_cast<long double>(Zr) * Zr;
  const double BRad = B0 + (B4 * Zr2 - 1) * B2 * Zr2;
  const double LRad = L0 + Zr * (1 - (L3 + L5 * Zr2) * Zr2);
  B = BRad * DegreesPerRadian;
  L = LRad * DegreesPerRadian;
}
