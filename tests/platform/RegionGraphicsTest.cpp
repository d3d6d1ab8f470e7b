#include "Bitmap.h"
#include "Canvas.h"
#include "Region.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

void PrintTo(TRegionKind Kind, std::ostream* Out) {
  static const char* const Names[] = {"rkError", "rkEmpty", "rkSimple", "rkComplex"};
  *Out << Names[Kind];
}

namespace {

using TRing = std::vector<TPoint>;
using TWide = __int128;

// Whether the centre of pixel (X, Y) lies inside Ring, straight from the
// definition: count the edges crossing the row of centres at or left of the
// centre, exactly, in 128-bit integers.
int WindingAt(const TRing& Ring, int X, int Y) {
  int Winding = 0;
  for (std::size_t Index = 0; Index < Ring.size(); ++Index) {
    const TPoint A = Ring[Index];
    const TPoint B = Ring[(Index + 1) % Ring.size()];
    const bool Down = A.y <= Y && Y < B.y;
    const bool Up = B.y <= Y && Y < A.y;
    if (!Down && !Up) continue;
    // Crossing X at or left of the centre: (2Y+1-2Ay)(Bx-Ax) <= (2X+1-2Ax)(By-Ay), for By > Ay.
    const TWide Lhs = (2 * TWide{Y} + 1 - 2 * TWide{A.y}) * (TWide{B.x} - A.x);
    const TWide Rhs = (2 * TWide{X} + 1 - 2 * TWide{A.x}) * (TWide{B.y} - A.y);
    if (Down ? Lhs <= Rhs : Lhs >= Rhs) Winding += Down ? 1 : -1;
  }
  return Winding;
}

bool Covered(const TRing& Ring, TPolyFillMode Mode, int X, int Y) {
  const int Winding = WindingAt(Ring, X, Y);
  // Each crossing changes the winding by one, so its parity is the parity of
  // the crossings left of the centre.
  return Mode == pfWinding ? Winding != 0 : (Winding & 1) != 0;
}

bool InXorOfRings(const std::vector<TRing>& Rings, TPolyFillMode Mode, int X, int Y) {
  bool Inside = false;
  for (const TRing& Ring : Rings) Inside ^= Covered(Ring, Mode, X, Y);
  return Inside;
}

TPolygonRegion RegionOf(const std::vector<TRing>& Rings, TPolyFillMode Mode = pfWinding) {
  TPolygonRegion Region(Rings.front().data(), static_cast<int>(Rings.front().size()), Mode);
  for (std::size_t Index = 1; Index < Rings.size(); ++Index)
    Region.AppendXor(
        TPolygonRegion(Rings[Index].data(), static_cast<int>(Rings[Index].size()), Mode));
  return Region;
}

std::string Describe(const std::vector<TRing>& Rings) {
  std::string Text;
  for (const TRing& Ring : Rings) {
    Text += "[";
    for (const TPoint P : Ring) Text += "(" + std::to_string(P.x) + "," + std::to_string(P.y) + ")";
    Text += "]";
  }
  return Text;
}

// Random rings, many crossing themselves, some with vertices far outside the
// picture or at the ends of the 32-bit range.
std::vector<TRing> RandomRings(std::mt19937& Random) {
  std::uniform_int_distribution<int> RingCount(1, 4);
  std::uniform_int_distribution<int> PointCount(3, 9);
  std::uniform_int_distribution<int> Near(-6, 45);
  std::uniform_int_distribution<int> Kind(0, 19);
  std::vector<TRing> Rings(static_cast<std::size_t>(RingCount(Random)));
  for (TRing& Ring : Rings) {
    const int Count = PointCount(Random);
    for (int Index = 0; Index < Count; ++Index) {
      auto Coordinate = [&] {
        switch (Kind(Random)) {
        case 0:
          return -1000000;
        case 1:
          return 3000000;
        case 2:
          return INT_MIN;
        case 3:
          return INT_MAX;
        default:
          return Near(Random);
        }
      };
      const int X = Coordinate();
      Ring.push_back({X, Coordinate()});
    }
  }
  return Rings;
}

TEST(PolygonRegion, CoversExactlyThePixelsWhoseCentresAreInside) {
  std::mt19937 Random(20240611);
  for (int Trial = 0; Trial < 400; ++Trial) {
    const std::vector<TRing> Rings = RandomRings(Random);
    for (const TPolyFillMode Mode : {pfWinding, pfAlternate}) {
      SCOPED_TRACE(Describe(Rings) + (Mode == pfWinding ? " winding" : " alternate"));
      const TPolygonRegion Region = RegionOf(Rings, Mode);
      TBitmap Bitmap(40, 40);
      Bitmap.Canvas()->Brush().SetColor(clBlack);
      Bitmap.Canvas()->PaintRegion(Region);
      // Rings reaching far out make regions of a million rows; their
      // pixels are checked through painting, which clips.
      bool Near = true;
      for (const TRing& Ring : Rings)
        for (const TPoint P : Ring)
          Near = Near && P.x > -100 && P.x < 100 && P.y > -100 && P.y < 100;
      const QRegion Pixels = Near ? Region.Pixels() : QRegion();
      for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 40; ++X) {
          const bool Expected = InXorOfRings(Rings, Mode, X, Y);
          ASSERT_EQ(Bitmap.Pixel(X, Y) == clBlack, Expected) << "painted " << X << "," << Y;
          if (Near) {
            ASSERT_EQ(Pixels.contains(QPoint(X, Y)), Expected) << X << "," << Y;
          }
        }
    }
  }
}

TEST(PolygonRegion, PolygonFillMatchesTheAlternateRule) {
  std::mt19937 Random(7);
  for (int Trial = 0; Trial < 200; ++Trial) {
    const TRing Ring = RandomRings(Random).front();
    SCOPED_TRACE(Describe({Ring}));
    TBitmap Bitmap(40, 40);
    TCanvas& Canvas = *Bitmap.Canvas();
    Canvas.Pen().SetStyle(psClear);
    Canvas.Brush().SetColor(clBlack);
    Canvas.Polygon(Ring.data(), static_cast<int>(Ring.size()));
    for (int Y = 0; Y < 40; ++Y)
      for (int X = 0; X < 40; ++X)
        ASSERT_EQ(Bitmap.Pixel(X, Y) == clBlack, Covered(Ring, pfAlternate, X, Y)) << X << "," << Y;
  }
}

struct TKindCase {
  const char* Name;
  std::vector<TRing> Rings;
  TRegionKind Kind;
};

TRing Box(int Left, int Top, int Right, int Bottom) {
  return {{Left, Top}, {Right, Top}, {Right, Bottom}, {Left, Bottom}};
}

TEST(PolygonRegion, CombineXorAnswersTheKindOfTheResult) {
  const TKindCase Cases[] = {
      {"ring_with_itself_is_empty", {Box(2, 2, 9, 9), Box(2, 2, 9, 9)}, rkEmpty},
      {"collinear_ring_adds_nothing", {Box(2, 2, 9, 9), {{1, 1}, {5, 5}, {9, 9}}}, rkSimple},
      {"flat_ring_adds_nothing", {Box(2, 2, 9, 9), Box(5000, 5000, 5000, 6000)}, rkSimple},
      {"rectangle_and_one_far_away", {Box(2, 2, 9, 9), Box(5000, 5000, 5010, 5010)}, rkComplex},
      {"halves_make_one_rectangle", {Box(0, 0, 10, 5), Box(0, 5, 10, 10)}, rkSimple},
      {"rectangle_less_its_top_half", {Box(0, 0, 10, 10), Box(0, 0, 10, 5)}, rkSimple},
      {"two_rectangles_side_by_side", {Box(0, 0, 4, 4), Box(6, 0, 9, 4)}, rkComplex},
      {"rectangles_one_above_the_other", {Box(0, 0, 4, 4), Box(0, 5, 4, 9)}, rkComplex},
      {"rectangle_with_a_hole", {Box(0, 0, 10, 10), Box(3, 3, 6, 6)}, rkComplex},
      {"triangle", {{{0, 0}, {10, 0}, {0, 10}}, Box(20, 20, 21, 21)}, rkComplex},
      {"whole_range_clipped_to_one_rectangle",
       {Box(INT_MIN, INT_MIN, INT_MAX, INT_MAX), Box(0, 0, 0, 0)},
       rkSimple},
      {"huge_triangle_around_everything",
       {{{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}}, Box(0, 0, 0, 0)},
       rkSimple},
      {"huge_triangle_cut_by_its_diagonal",
       {{{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}}, Box(0, 0, 0, 0)},
       rkComplex},
  };
  for (const TKindCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TPolygonRegion Region(Case.Rings[0].data(), static_cast<int>(Case.Rings[0].size()));
    ASSERT_TRUE(Region.Valid());
    const TPolygonRegion Other(Case.Rings[1].data(), static_cast<int>(Case.Rings[1].size()));
    EXPECT_EQ(Region.CombineXor(Other), Case.Kind);
    EXPECT_EQ(Region.Kind(), Case.Kind);
  }
}

TEST(PolygonRegion, TooFewPointsMakeNoRegionAndNoCombination) {
  const TRing Square = Box(0, 0, 4, 4);
  const TPolygonRegion Invalid(Square.data(), 2);
  EXPECT_FALSE(Invalid.Valid());
  EXPECT_EQ(Invalid.Kind(), rkError);
  EXPECT_FALSE(TPolygonRegion(nullptr, 5).Valid());
  EXPECT_FALSE(TPolygonRegion().Valid());

  TPolygonRegion Region(Square.data(), 4);
  EXPECT_EQ(Region.CombineXor(Invalid), rkError);
  EXPECT_EQ(Region.Kind(), rkSimple) << "a failed combination changes nothing";
  TPolygonRegion Empty;
  EXPECT_EQ(Empty.CombineXor(Region), rkError);

  TBitmap Bitmap(8, 8);
  Bitmap.Canvas()->Brush().SetColor(clBlack);
  Bitmap.Canvas()->PaintRegion(Invalid);
  EXPECT_EQ(Bitmap.Pixel(1, 1), clWhite);
}

TEST(PolygonRegion, CombiningWithItselfEmptiesIt) {
  const TRing Square = Box(0, 0, 4, 4);
  TPolygonRegion Region(Square.data(), 4);
  Region.AppendXor(Region);
  EXPECT_EQ(Region.Kind(), rkEmpty);
  EXPECT_TRUE(Region.Pixels().isEmpty());
}

TEST(PolygonRegion, BandsJoinRowsThatRepeat) {
  const TRing L = {{0, 0}, {4, 0}, {4, 3}, {9, 3}, {9, 7}, {0, 7}};
  const TPolygonRegion Region(L.data(), static_cast<int>(L.size()));
  std::vector<std::tuple<int, int, std::vector<TSpan>>> Bands;
  Region.ScanBands(Rect(-50, -50, 50, 50),
                   [&](std::int32_t Top, std::int32_t Height, const TSpan* Spans, int Count) {
                     Bands.emplace_back(Top, Height, std::vector<TSpan>(Spans, Spans + Count));
                     return true;
                   });
  const std::vector<std::tuple<int, int, std::vector<TSpan>>> Expected = {
      {0, 3, {{0, 4}}},
      {3, 4, {{0, 9}}},
  };
  EXPECT_EQ(Bands, Expected);
  EXPECT_EQ(Region.Pixels(), QRegion(0, 0, 4, 3) + QRegion(0, 3, 9, 4));
}

} // namespace
