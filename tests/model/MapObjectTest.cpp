#include "MapObject.h"
#include "ModelBuilders.h"
#include "ModelPrinters.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace {

const TRing Square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const TRing Hole = {{3, 3}, {7, 3}, {7, 7}, {3, 7}};
const TRing Island = {{20, 0}, {30, 0}, {30, 10}, {20, 10}};
// A U shape opening to the north: the notch is x 4..6, y 4..10.
const TRing Notched = {{0, 0}, {10, 0}, {10, 10}, {6, 10}, {6, 4}, {4, 4}, {4, 10}, {0, 10}};

struct TPointCase {
  const char* Name;
  std::initializer_list<TRing> Rings;
  Extended X, Y;
  bool Inside;
};

const TPointCase PointCases[] = {
    {"square_middle", {Square}, 5, 5, true},
    {"right_edge_counts", {Square}, 10, 5, true},
    {"top_edge_counts", {Square}, 5, 10, true},
    {"left_edge_does_not", {Square}, 0, 5, false},
    {"bottom_edge_does_not", {Square}, 5, 0, false},
    {"outside_right", {Square}, 15, 5, false},
    {"outside_above", {Square}, 5, 11, false},
    {"point_in_a_hole_is_outside", {Square, Hole}, 5, 5, false},
    {"point_between_ring_and_hole", {Square, Hole}, 1, 5, true},
    {"hole_listed_first", {Hole, Square}, 5, 5, false},
    {"second_island", {Square, Island}, 25, 5, true},
    {"between_islands", {Square, Island}, 15, 5, false},
    {"notch_of_a_concave_ring", {Notched}, 5, 8, false},
    {"arm_of_a_concave_ring", {Notched}, 8, 8, true},
    {"no_parts", {}, 0, 0, false},
    {"flat_ring", {{{0, 0}, {10, 0}, {5, 0}}}, 5, 0, false},
    {"single_point", {{{1, 1}}}, 1, 1, false},
};

TEST(MapObject, ContainsPointUsesEvenOddOverAllRings) {
  for (const TPointCase& Case : PointCases) {
    SCOPED_TRACE(Case.Name);
    TCustomMapObject Object;
    for (const TRing& Ring : Case.Rings) AddPart(Object, Ring);
    EXPECT_EQ(Object.ContainsPoint(Case.X, Case.Y), Case.Inside);
  }
}

TEST(MapObject, ObjectWithoutPartsAnswersTheDegenerateCases) {
  TCustomMapObject Empty;
  TCustomMapObject Other;
  AddPart(Other, Square);
  EXPECT_FALSE(Empty.ContainsPoint(0, 0));
  EXPECT_FALSE(Empty.Intersects(Other));
  EXPECT_FALSE(Empty.Contains(Other));
  EXPECT_FALSE(Other.Contains(Empty)) << "an object without vertices is not contained";
  EXPECT_TRUE(Empty.Within(Other));
  EXPECT_FALSE(Empty.IntersectsRect(-1e9, -1e9, 1e9, 1e9));
  EXPECT_TRUE(Empty.WithinRect(0, 0, 1, 1));
  EXPECT_FALSE(Empty.ContainsRect(0, 0, 1, 1));
  EXPECT_EQ(Empty.GetBounds(), EmptyBounds);

  TCustomMapObject PartWithoutPoints;
  PartWithoutPoints.Parts().Add();
  EXPECT_FALSE(PartWithoutPoints.IntersectsRect(-1e9, -1e9, 1e9, 1e9))
      << "inverted bounds meet nothing";
}

TEST(MapObject, RectanglePredicates) {
  TCustomMapObject Object;
  AddPart(Object, Notched);
  EXPECT_EQ(Object.GetBounds(), Bounds(0, 0, 10, 10));
  EXPECT_TRUE(Object.IntersectsRect(10, 10, 20, 20)) << "touching at a corner meets";
  EXPECT_TRUE(Object.IntersectsRect(-5, 2, 0, 3)) << "touching at an edge meets";
  EXPECT_FALSE(Object.IntersectsRect(10.5, 0, 20, 10));
  EXPECT_TRUE(Object.WithinRect(0, 0, 10, 10));
  EXPECT_FALSE(Object.WithinRect(0, 0, 10, 9.9));
  EXPECT_TRUE(Object.ContainsRect(2, 5, 8, 9))
      << "corners decide, though the notch is between them";
  EXPECT_FALSE(Object.ContainsRect(2, 5, 5, 9));
}

TEST(MapObject, IntersectsAndContainsOtherObjects) {
  TCustomMapObject Region;
  AddPart(Region, Square);
  AddPart(Region, Hole);
  TCustomMapObject Inside, Straddling, InHole;
  AddPart(Inside, {{1, 1}, {2, 1}, {2, 2}});
  AddPart(Straddling, {{1, 1}, {15, 1}});
  AddPart(InHole, {{4, 4}, {5, 5}});
  EXPECT_TRUE(Region.Contains(Inside));
  EXPECT_TRUE(Region.Intersects(Straddling));
  EXPECT_FALSE(Region.Contains(Straddling));
  EXPECT_FALSE(Region.Intersects(InHole));
  EXPECT_FALSE(Region.Contains(InHole));
  EXPECT_TRUE(Region.Within(InHole));
}

TEST(MapObject, SettersCopyIntoTheOwnedMembers) {
  TCustomMapObject Object;
  TPen Pen;
  Pen.SetColor(clRed);
  Object.SetPen(Pen);
  Pen.SetColor(clBlue);
  EXPECT_EQ(Object.Pen().Color(), clRed);

  TCustomMapObject Source;
  AddPart(Source, Square);
  Object.SetParts(Source.Parts());
  ASSERT_EQ(Object.Parts().Count(), 1);
  EXPECT_EQ(Object.Parts()[0].Points().Count(), 4);
  EXPECT_EQ(Object.GetBounds(), Bounds(0, 0, 10, 10));
  Source.Parts()[0].Points()[0].SetX(-1);
  EXPECT_EQ(Object.Parts()[0].Points()[0].X(), 0);

  TDataFields Fields;
  Fields.Add("Name", dtString, 0).SetAsString("Lake");
  Object.SetFields(Fields);
  EXPECT_EQ(Object.Fields()[0].GetAsString(), "Lake");
  EXPECT_EQ(Object.Map(), nullptr);
  EXPECT_EQ(Object.Layer(), nullptr);
  EXPECT_EQ(Object.Tag(), 0);
}

} // namespace
