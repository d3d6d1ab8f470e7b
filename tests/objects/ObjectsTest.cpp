#include "MapFixture.h"

namespace {

class ObjectsTest : public TMapTest {
protected:
  TMapLayer& Layer() { return *Map->Layers()->Add("", ""); }
};

struct THitCase {
  const char* Name;
  std::initializer_list<TRing> Parts;
  Extended X, Y;
  bool Hit;
};

// One pixel per map unit.
const THitCase LineHits[] = {
    {"two_pixels_above", {{{0, 0}, {10, 0}}}, 5, 2, true},
    {"four_pixels_above", {{{0, 0}, {10, 0}}}, 5, 4, false},
    {"on_the_end_point", {{{0, 0}, {10, 0}}}, 10, 0, true},
    {"one_pixel_beyond_the_start", {{{0, 0}, {10, 0}}}, -1, 0, true},
    {"five_pixels_beyond_the_start", {{{0, 0}, {10, 0}}}, -5, 0, false},
    {"no_closing_segment", {{{0, 0}, {10, 0}, {10, 10}}}, 5, 5, false},
    {"vertical_segment", {{{0, 0}, {10, 0}, {10, 10}}}, 10, 5, true},
    {"slanted_segment", {{{0, 0}, {10, 10}}}, 5, 6, true},
    {"near_horizontal_slant", {{{0, 0}, {40, 1}}}, 20, 2.5L, true},
    {"near_vertical_slant", {{{0, 0}, {1, 40}}}, 2.5L, 20, true},
    {"past_a_slanted_end", {{{0, 0}, {10, 10}}}, 13, 13, false},
    {"second_part", {{{0, 0}, {10, 0}}, {{0, 50}, {10, 50}}}, 5, 51, true},
    {"degenerate_segment_at_its_point", {{{7, 7}, {7, 7}}}, 7, 8, true},
    {"single_point_part", {{{7, 7}}}, 7, 7, false},
};

TEST_F(ObjectsTest, PolylinesAreHitWithinThreePixels) {
  TMapLayer& Lines = Layer();
  for (const THitCase& Case : LineHits) {
    SCOPED_TRACE(Case.Name);
    TPolyline& Line = AddObject<TPolyline>(Lines, Case.Parts);
    EXPECT_EQ(Line.ContainsPoint(Case.X, Case.Y), Case.Hit);
  }
}

TEST_F(ObjectsTest, HitDistanceIsMeasuredInPixels) {
  TPolyline& Line = AddObject<TPolyline>(Layer(), {{{0, 0}, {10, 0}}});
  EXPECT_FALSE(Line.ContainsPoint(5, 3.5L));
  Map->SetZoom(0.5L); // two map units per pixel
  EXPECT_TRUE(Line.ContainsPoint(5, 3.5L));
  TPolyline Unattached;
  AddPart(Unattached, {{0, 0}, {10, 0}});
  EXPECT_FALSE(Unattached.ContainsPoint(5, 0)) << "without a map there is no pixel to measure";
}

TEST_F(ObjectsTest, SymbolsAreHitInAFivePixelBox) {
  TSymbol& Town = AddSymbol(Layer(), 10, 10);
  EXPECT_TRUE(Town.ContainsPoint(12, 8)) << "2 right and 2 down";
  EXPECT_FALSE(Town.ContainsPoint(13, 10));
  EXPECT_FALSE(Town.ContainsPoint(10, 7));
  EXPECT_TRUE(Town.IntersectsRect(10, 0, 20, 10)) << "edges through the position count";
  EXPECT_TRUE(Town.WithinRect(0, 10, 10, 20));
  EXPECT_FALSE(Town.ContainsRect(0, 0, 20, 20));
  EXPECT_FALSE(Town.Contains(Town));
  TSymbol Unattached;
  Unattached.SetX(1);
  EXPECT_TRUE(Unattached.ContainsPoint(1, 0));
  EXPECT_FALSE(Unattached.ContainsPoint(1.5L, 0));
}

TEST_F(ObjectsTest, SymbolsOutsideTheViewAreNotDrawn) {
  TMapLayer& Towns = Layer();
  AddSymbol(Towns, 180.5L, 0).SetShape('W');
  Map->Paint();
  EXPECT_EQ(Map->Displayed()->Count(), 0)
      << "part of the marker would show, but the position is outside";
}

} // namespace
