#include "MapPoints.h"
#include "Errors.h"
#include "ModelPrinters.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(MapPoints, FreshListsHaveInvertedBounds) {
  TMapPoints Points;
  TParts Parts;
  EXPECT_EQ(Points.Bounds(), Bounds(2147483647, 2147483647, -2147483647, -2147483647));
  EXPECT_EQ(Parts.Bounds(), EmptyBounds);
}

TEST(MapPoints, AddWidensBoundsBeforeTellingTheHandler) {
  TMapPoints Points;
  std::vector<TMapBounds> SeenByHandler;
  std::vector<Extended> Zs;
  Points.SetOnAddPoint([&](Extended, Extended, Extended Z) {
    SeenByHandler.push_back(Points.Bounds());
    Zs.push_back(Z);
  });
  const TMapPoint& First = Points.Add(3, -5, 7);
  EXPECT_EQ(First.X(), 3);
  EXPECT_EQ(First.Y(), -5);
  EXPECT_EQ(Points.Bounds(), Bounds(3, -5, 3, -5)) << "Z widens nothing";
  Points.Add(-1, 2, 0);
  EXPECT_EQ(Points.Bounds(), Bounds(-1, -5, 3, 2));
  EXPECT_EQ(SeenByHandler, (std::vector<TMapBounds>{Bounds(3, -5, 3, -5), Bounds(-1, -5, 3, 2)}));
  EXPECT_EQ(Zs, (std::vector<Extended>{7, 0}));
}

TEST(MapPoints, BoundsNeverShrink) {
  TMapPoints Points;
  Points.Add(0, 0, 0);
  Points.Add(10, 20, 0);
  Points.GetPoint(1).SetX(50);
  EXPECT_EQ(Points.Bounds(), Bounds(0, 0, 10, 20)) << "moving a point is a plain store";
  Points.Delete(1);
  EXPECT_EQ(Points.Bounds(), Bounds(0, 0, 10, 20));
  Points.Clear();
  EXPECT_EQ(Points.Bounds(), Bounds(0, 0, 10, 20));
  Points.SetMinX(-3);
  Points.SetMaxY(4);
  EXPECT_EQ(Points.Bounds(), Bounds(-3, 0, 10, 4)) << "only the explicit setters lower them";
}

TEST(MapPoints, PartsReportTheirPointsToTheirList) {
  TParts Parts;
  Parts.Add().Points().Add(1, 1, 0);
  TPart& Second = Parts.Add();
  Second.Points().Add(5, -2, 0);
  EXPECT_EQ(Parts[0].Points().Bounds(), Bounds(1, 1, 1, 1)) << "other parts are untouched";
  EXPECT_EQ(Parts[1].Points().Bounds(), Bounds(5, -2, 5, -2));
  EXPECT_EQ(Parts.Bounds(), Bounds(1, -2, 5, 1));

  // Parts move in memory as the list grows; their points keep reporting here.
  for (int I = 0; I < 100; ++I) Parts.Add();
  Parts.Insert(0).Points().Add(-9, 9, 0);
  Parts.GetLast().Points().Add(20, 0, 0);
  EXPECT_EQ(Parts.Bounds(), Bounds(-9, -2, 20, 9));
  Parts.Delete(0);
  Parts.Clear();
  EXPECT_EQ(Parts.Bounds(), Bounds(-9, -2, 20, 9));
}

TEST(MapPoints, IndexErrorsAndTheMissingCopy) {
  TMapPoints Points;
  EXPECT_THROW((void)Points.First(), EListError);
  const TMapPoint& Only = Points.Add(1, 2, 3);
  EXPECT_EQ(&Points.Last(), &Only);
  EXPECT_THROW((void)Points.GetPoint(1), EListError);
  EXPECT_THROW(Points.SetPoint(5, TMapPoint()), EListError) << "the index is checked first";
  EXPECT_THROW(Points.SetPoint(0, TMapPoint(9, 9, 9)), EConvertError) << "points define no copy";
  EXPECT_EQ(Points[0].X(), 1);

  TParts Parts;
  EXPECT_THROW((void)Parts.GetFirst(), EListError);
  EXPECT_THROW((void)Parts.GetLast(), EListError);
  TParts Other;
  const TPart& Foreign = Other.Add();
  EXPECT_THROW(Parts.SetFirst(Foreign), EListError);
  Parts.Add();
  EXPECT_THROW(Parts.SetLast(Foreign), EConvertError) << "parts define no copy";
  EXPECT_THROW(Parts.Insert(3), EListError);
}

TEST(MapPoints, AssignToReplacesThePointsAndWidensTheDestination) {
  TMapPoints Source;
  Source.Add(1, 1, 1);
  Source.Add(2, 2, 2);
  Source.Add(3, 3, 3);
  TMapPoints Dest;
  Dest.Add(-10, -10, 0);
  Dest.Add(0, 0, 0);
  int Told = 0;
  Dest.SetOnAddPoint([&](Extended, Extended, Extended) { ++Told; });
  Source.AssignTo(Dest);
  ASSERT_EQ(Dest.Count(), 3);
  for (int I = 0; I < 3; ++I) EXPECT_EQ(Dest[I].Z(), I + 1);
  EXPECT_EQ(Told, 3);
  EXPECT_EQ(Dest.Bounds(), Bounds(-10, -10, 3, 3)) << "the union of the old bounds and the copies";

  TParts Parts;
  TPart& Part = Parts.Add();
  Part.SetPoints(Source);
  EXPECT_EQ(Part.Points().Count(), 3);
  EXPECT_EQ(Parts.Bounds(), Bounds(1, 1, 3, 3))
      << "points given to a part still report to its list";
}

} // namespace
