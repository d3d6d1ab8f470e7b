#include "CoordConvertorU.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

namespace {

constexpr double Pi = std::numbers::pi;

// Krasovsky ellipsoid.
constexpr double SemiMajorAxis = 6378245.0; // metres
constexpr double Flattening = 1 / 298.3;

// Transverse Mercator with scale 1 on the central meridian, by the Krüger series in the third
// flattening to fourth order: a formulation independent of the zone series under test and
// within 0.1 mm of an exact projection inside a zone. DL is degrees east of the central
// meridian; X is metres north of the equator, Y metres east of the central meridian.
void ReferenceTransverseMercator(double B, double DL, double& X, double& Y) {
  const double N = Flattening / (2 - Flattening);
  const double N2 = N * N, N3 = N2 * N, N4 = N3 * N;
  const double E = std::sqrt(Flattening * (2 - Flattening));
  const double RectifyingRadius = SemiMajorAxis / (1 + N) * (1 + N2 / 4 + N4 / 64);
  const double Alpha[] = {N / 2 - 2 * N2 / 3 + 5 * N3 / 16 + 41 * N4 / 180,
                          13 * N2 / 48 - 3 * N3 / 5 + 557 * N4 / 1440,
                          61 * N3 / 240 - 103 * N4 / 140, 49561 * N4 / 161280};
  const double Phi = B * Pi / 180, Lambda = DL * Pi / 180;
  const double T = std::sinh(std::atanh(std::sin(Phi)) - E * std::atanh(E * std::sin(Phi)));
  const double XiPrime = std::atan2(T, std::cos(Lambda));
  const double EtaPrime = std::atanh(std::sin(Lambda) / std::sqrt(1 + T * T));
  double Xi = XiPrime, Eta = EtaPrime;
  for (int J = 1; J <= 4; ++J) {
    Xi += Alpha[J - 1] * std::sin(2 * J * XiPrime) * std::cosh(2 * J * EtaPrime);
    Eta += Alpha[J - 1] * std::cos(2 * J * XiPrime) * std::sinh(2 * J * EtaPrime);
  }
  X = RectifyingRadius * Xi;
  Y = RectifyingRadius * Eta;
}

// Radius of curvature in the prime vertical at latitude B (degrees), in metres.
double PrimeVerticalRadius(double B) {
  const double SinB = std::sin(B * Pi / 180);
  return SemiMajorAxis / std::sqrt(1 - Flattening * (2 - Flattening) * SinB * SinB);
}

int ZoneOf(double Y) { return static_cast<int>(std::floor(Y / 1e6)); }
double CentralMeridianOf(int Zone) { return 6.0 * Zone - 3; }           // degrees
double EastingInZone(double Y) { return Y - ZoneOf(Y) * 1e6 - 500000; } // metres

struct TForwardCase {
  const char* Name;
  double B, L; // degrees
  int Shift;
  int ExpectedZone;
  // The fitted zone width moves the central meridian of zone k about (k - 0.5) * 2.4e-11 rad
  // east of 6k - 3°, which reaches millimetres of easting in the zones past 30.
  double EastingTolerance; // metres
};

const TForwardCase ForwardCases[] = {
    {"central_meridian_of_zone_3", 50, 15, 0, 3, 0.001},
    {"equator_on_central_meridian_of_zone_1", 0, 3, 0, 1, 0.001},
    {"low_latitude_on_central_meridian", 25, 39, 0, 7, 0.001},
    {"west_of_central_meridian", 50, 13, 0, 3, 0.002},
    {"shift_1_uses_zone_to_the_west", 50, 13, 1, 2, 0.002},
    {"shift_minus_1_uses_zone_to_the_east", 50, 17, -1, 4, 0.002},
    {"multiple_of_6_falls_into_zone_to_its_west", 50, 6, 0, 1, 0.002},
    {"just_past_multiple_of_6_starts_next_zone", 50, 6.000001, 0, 2, 0.002},
    {"zero_longitude_is_zone_1", 50, 0, 0, 1, 0.002},
    {"southern_hemisphere", -33.9, 18.4, 0, 4, 0.002},
    {"far_north", 80, 100, 0, 17, 0.002},
    {"western_longitude_takes_zone_of_L_plus_360", 50, -3, 0, 60, 0.005},
    {"minus_6_is_354_in_zone_59", 50, -6, 0, 59, 0.005},
    {"antimeridian_from_the_east", 0, 180, 0, 30, 0.01},
    {"antimeridian_from_the_west", 0, -180, 0, 31, 0.01},
};

TEST(CoordConvertor, BL2XYIsTransverseMercatorOfTheZoneUsed) {
  for (const TForwardCase& Case : ForwardCases) {
    SCOPED_TRACE(Case.Name);
    double X = 0, Y = 0;
    BL2XY(Case.B, Case.L, X, Y, Case.Shift);
    ASSERT_EQ(ZoneOf(Y), Case.ExpectedZone);
    const double East = Case.L < 0 ? Case.L + 360 : Case.L;
    double ExpectedX = 0, ExpectedY = 0;
    ReferenceTransverseMercator(Case.B, East - CentralMeridianOf(Case.ExpectedZone), ExpectedX,
                                ExpectedY);
    EXPECT_NEAR(X, ExpectedX, 0.001);
    EXPECT_NEAR(EastingInZone(Y), ExpectedY, Case.EastingTolerance);
  }
}

TEST(CoordConvertor, BL2XYPutsWesternMeridianMillimetresWestOfZone60) {
  // 357° reached as -3° + the full-turn constant lands 6e-10 rad west of the fitted central
  // meridian of zone 60; the exact 2π or exact 6° zones would move it to -6 mm or +3 mm.
  double X = 0, Y = 0;
  BL2XY(50, -3, X, Y, 0);
  EXPECT_GT(Y, 60500000 - 0.004);
  EXPECT_LT(Y, 60500000 - 0.001);
}

struct TInverseCase {
  const char* Name;
  double B, L; // degrees; L as it comes back, e.g. -2 (not 358) in zone 0
  int Zone;
};

const TInverseCase InverseCases[] = {
    {"central_meridian_of_zone_3", 50, 15, 3},
    {"west_of_central_meridian", 50, 13, 3},
    {"equator_at_west_edge_of_zone_1", 0, 0.01, 1},
    {"east_edge_of_zone_1", 60, 5.99, 1},
    {"southern_hemisphere", -45, 16, 3},
    {"zone_60", 10, 358.5, 60},
    {"y_below_1000000_is_zone_0_around_minus_3", 50, -2, 0},
    {"negative_y_is_zone_minus_1_around_minus_9", 50, -7, -1},
};

TEST(CoordConvertor, XY2BLInvertsTransverseMercator) {
  for (const TInverseCase& Case : InverseCases) {
    SCOPED_TRACE(Case.Name);
    double X = 0, East = 0;
    ReferenceTransverseMercator(Case.B, Case.L - CentralMeridianOf(Case.Zone), X, East);
    East = std::floor(East); // whole metres, so that nothing is dropped
    double B = 0, L = 0;
    XY2BL(X, Case.Zone * 1e6 + 500000 + East, B, L);
    EXPECT_NEAR(B, Case.B, 1e-6);
    EXPECT_NEAR(L, Case.L, 2e-5);
    // Tighter, in metres on the ground: projecting the answer again lands on the point given.
    double BackX = 0, BackEast = 0;
    ReferenceTransverseMercator(B, L - CentralMeridianOf(Case.Zone), BackX, BackEast);
    EXPECT_NEAR(BackX, X, 0.05);
    EXPECT_NEAR(BackEast, East, 0.15);
  }
}

TEST(CoordConvertor, XY2BLDropsFractionOfMetreBeforeReadingEasting) {
  // A fraction of a millimetre west of 15° is read as the whole metre 3,499,999: one metre west,
  // which at 50° is 1 / (N cos B) radians of longitude.
  double X = 0, Unused = 0;
  ReferenceTransverseMercator(50, 0, X, Unused);
  double B = 0, L = 0;
  XY2BL(X, 3500000 - 0.0003, B, L);
  const double OneMetreWest = 1 / (PrimeVerticalRadius(50) * std::cos(50 * Pi / 180)) * 180 / Pi;
  EXPECT_NEAR(B, 50, 1e-6);
  EXPECT_NEAR(L, 15 - OneMetreWest, 1e-7);
}

TEST(CoordConvertor, XY2BLReadsZonesPastWhatThirtyTwoBitsOfMetresHold) {
  double X = 0, East = 0;
  ReferenceTransverseMercator(50, 1, X, East);
  double B3 = 0, L3 = 0, B = 0, L = 0;
  XY2BL(X, 3500000 + East, B3, L3);
  XY2BL(X, 3000500000 + East, B, L); // zone 3000: over 2^31 whole metres
  EXPECT_EQ(B, B3);
  // The central-meridian factor differs from 30/π by 1.5e-9 relative, 3e-5° at 18,000°.
  EXPECT_NEAR(L - L3, 2997 * 6, 1e-4);

  for (double Y :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(Y);
    XY2BL(X, Y, B, L);
    EXPECT_TRUE(std::isnan(B));
    EXPECT_TRUE(std::isnan(L));
  }
}

TEST(CoordConvertor, XY2BLUndoesBL2XYOverTheGlobe) {
  for (double B = -60; B <= 60; B += 7.5) {
    for (double L = -180; L < 360; L += 1.5) {
      double X = 0, Y = 0, BackB = 0, BackL = 0;
      BL2XY(B, L, X, Y, 0);
      XY2BL(X, Y, BackB, BackL);
      EXPECT_NEAR(BackB, B, 1e-6) << "B=" << B << " L=" << L;
      EXPECT_NEAR(BackL, L < 0 ? L + 360 : L, 2e-5) << "B=" << B << " L=" << L;
    }
  }
}

struct TShiftCase {
  const char* Name;
  double B, L;
  int Shift;
};

const TShiftCase ShiftCases[] = {
    {"zone_to_the_west", 50, 13, 1},
    {"zone_to_the_east", 50, 17, -1},
    {"zone_minus_1_has_negative_y", 70, 0, 2},
};

TEST(CoordConvertor, XY2BLUndoesShiftedBL2XYWhileEastingStaysInsideZone) {
  for (const TShiftCase& Case : ShiftCases) {
    SCOPED_TRACE(Case.Name);
    double X = 0, Y = 0, B = 0, L = 0;
    BL2XY(Case.B, Case.L, X, Y, Case.Shift);
    ASSERT_LT(std::abs(EastingInZone(Y)), 500000);
    XY2BL(X, Y, B, L);
    // Four to nine degrees off the central meridian, the inverse series loses accuracy.
    EXPECT_NEAR(B, Case.B, 5e-5);
    EXPECT_NEAR(L, Case.L, 5e-5);
  }
}

} // namespace
