#include "Application.h"
#include "Errors.h"
#include "MapFixture.h"
#include "ModelPrinters.h"

#include <QApplication>

namespace {

struct TMapToScreenCase {
  const char* Name;
  int Width, Height;
  Extended Zoom;
  Extended X, Y;
  bool Clip;
  int PX, PY;
};

const TMapToScreenCase MapToScreenCases[] = {
    {"centre_of_a_square_client", 100, 100, 1, 0, 0, false, 50, 50},
    {"north_east_corner_unclipped", 100, 100, 1, 180, 90, false, 100, 25},
    {"south_west_corner_unclipped", 100, 100, 1, -180, -90, false, 0, 75},
    {"exact_extent_client", 360, 180, 1, 90, 45, false, 270, 45},
    {"half_goes_to_even_down", 101, 100, 1, 0, 0, false, 50, 50},
    {"half_goes_to_even_up", 103, 100, 1, 0, 0, false, 52, 50},
    {"clip_east", 100, 100, 1, 200, 0, true, 100, 50},
    {"clip_north", 100, 100, 1, 0, 200, true, 50, -1},
    {"clip_south", 100, 100, 1, 0, -200, true, 50, 100},
    {"on_the_west_edge_converts_normally", 100, 100, 1, -180, 0, true, 0, 50},
    {"clip_both_axes_to_a_corner", 100, 100, 1, -500, 500, true, -1, -1},
    {"far_point_unclipped_stays_in_range", 100, 100, 1, 1e30L, 0, false, INT32_MAX, 50},
};

TEST(MapView, MapToScreenWorkedValues) {
  QWidget Window;
  TLumara Map(&Window);
  for (const TMapToScreenCase& Case : MapToScreenCases) {
    SCOPED_TRACE(Case.Name);
    Map.SetBounds(0, 0, Case.Width, Case.Height);
    Map.SetZoom(Case.Zoom);
    int PX = 0, PY = 0;
    Map.MapToScreen(Case.X, Case.Y, PX, PY, Case.Clip);
    EXPECT_EQ(PX, Case.PX);
    EXPECT_EQ(PY, Case.PY);
  }
}

TEST(MapView, ScreenToMapFollowsTheWidth) {
  QWidget Window;
  TLumara Map(&Window);
  const struct {
    int Width, Height;
    Extended Zoom;
    int X, Y;
    Extended MX, MY;
  } Cases[] = {{100, 100, 1, 0, 0, -180, 180},
               {100, 100, 1, 100, 100, 180, -180},
               {360, 180, 1, 0, 0, -180, 90},
               {360, 180, 1, 360, 180, 180, -90},
               {100, 100, 2, 0, 0, -90, 90}};
  for (const auto& Case : Cases) {
    Map.SetBounds(0, 0, Case.Width, Case.Height);
    Map.SetZoom(Case.Zoom);
    Extended MX = 0, MY = 0;
    Map.ScreenToMap(Case.X, Case.Y, MX, MY);
    EXPECT_EQ(MX, Case.MX);
    EXPECT_EQ(MY, Case.MY);
  }
  Map.SetBounds(0, 0, 360, 180);
  Map.SetZoom(1);
  EXPECT_EQ(Map.GetViewBounds(), Bounds(-180, -90, 180, 90));
}

TEST(MapView, RoundTripsAcrossZoomsAndCentres) {
  QWidget Window;
  TLumara Map(&Window);
  Map.SetBounds(0, 0, 640, 480);
  for (const Extended Zoom : {0.5L, 1.0L, 3.7L, 250.0L}) {
    Map.SetZoom(Zoom);
    Map.SetCenterX(12.25L);
    Map.SetCenterY(-7.5L);
    for (const int X : {0, 1, 319, 639})
      for (const int Y : {0, 240, 479}) {
        Extended MX = 0, MY = 0;
        Map.ScreenToMap(X, Y, MX, MY);
        int PX = 0, PY = 0;
        Map.MapToScreen(MX, MY, PX, PY, false);
        EXPECT_EQ(PX, X);
        EXPECT_EQ(PY, Y);
      }
  }
}

TEST(MapView, DegenerateExtentsRaiseInsteadOfDividingByZero) {
  QWidget Window;
  TLumara Map(&Window);
  Map.SetMaxY(Map.MinY());
  int PX = 0, PY = 0;
  EXPECT_THROW(Map.MapToScreen(0, 0, PX, PY, false), EZeroDivide);
  Map.SetMaxY(90);
  Map.SetMaxX(Map.MinX());
  Extended MX = 0, MY = 0;
  EXPECT_THROW(Map.ScreenToMap(0, 0, MX, MY), EZeroDivide);
}

TEST(MapView, PointsToPixelsGeneralizes) {
  QWidget Window;
  TLumara Map(&Window);
  Map.SetBounds(0, 0, 360, 180); // one pixel per degree, (0, 0) at (180, 90)
  TMapPoints Points;
  for (const auto& [X, Y] : {std::pair{-170, 80}, {-169, 79}, {-168, 80}, {-167, 77}})
    Points.Add(X, Y, 0);
  TPixels Pixels;
  PointsToPixels(Points, Map, Pixels);
  EXPECT_EQ(Pixels, (TPixels{{10, 10}, {12, 10}, {13, 13}}));
  Map.SetUseGeneralization(false);
  PointsToPixels(Points, Map, Pixels);
  EXPECT_EQ(Pixels.size(), 4u);
  Map.SetUseGeneralization(true);
  Map.SetGeneralizationLevel(0);
  Points.Add(-167, 77, 0);
  PointsToPixels(Points, Map, Pixels);
  EXPECT_EQ(Pixels.size(), 4u) << "level 0 drops exact repeats only";
  PointsToPixels(TMapPoints(), Map, Pixels);
  EXPECT_TRUE(Pixels.empty());
}

TEST(MapView, SettersRequestRepaintsAsDocumented) {
  QWidget Window;
  Window.resize(200, 200);
  auto* Map = new TLumara(&Window);
  Window.show();
  int Paints = 0;
  Map->Layers()->Add("", "empty"); // a paint with layers raises OnUpdate
  Map->SetOnUpdate([&](TObject*) { ++Paints; });
  const auto PaintsAfter = [&](auto Change) {
    QApplication::processEvents();
    Paints = 0;
    Change();
    QApplication::processEvents();
    return Paints;
  };
  EXPECT_EQ(PaintsAfter([&] { Map->SetCenterX(Map->CenterX()); }), 1)
      << "the same centre still repaints";
  EXPECT_EQ(PaintsAfter([&] { Map->SetZoom(0); }), 0) << "zoom 0 is refused";
  EXPECT_EQ(Map->Zoom(), 1);
  EXPECT_EQ(PaintsAfter([&] {
              Map->SetZoom(2);
              Map->SetCenterX(5);
              Map->SetCenterY(5);
            }),
            1)
      << "a burst of changes costs one paint";
  EXPECT_EQ(PaintsAfter([&] { Map->SetShowSelection(true); }), 0)
      << "an unchanged switch does nothing";
  EXPECT_EQ(PaintsAfter([&] {
              Map->BeginUpdate();
              Map->BeginUpdate();
              Map->SetZoom(3);
              Map->EndUpdate(true);
            }),
            1);
  EXPECT_FALSE(Map->InUpdate()) << "one EndUpdate ends any number of BeginUpdate calls";
  EXPECT_EQ(PaintsAfter([&] {
              Map->BeginUpdate();
              Map->SetZoom(4);
              Map->EndUpdate(false);
            }),
            0);
}

TEST(MapView, ConstructedDefaults) {
  TLumara Map;
  EXPECT_EQ(Map.Width(), 100);
  EXPECT_EQ(Map.Height(), 100);
  EXPECT_EQ(Map.MinX(), -180);
  EXPECT_EQ(Map.MaxY(), 90);
  EXPECT_EQ(Map.Zoom(), 1);
  EXPECT_EQ(Map.MaxZoom(), 100);
  EXPECT_EQ(Map.MinZoom(), 0);
  EXPECT_EQ(Map.CurrentTool(), mtArrow);
  EXPECT_TRUE(Map.UseGeneralization());
  EXPECT_EQ(Map.GeneralizationLevel(), 1);
  EXPECT_TRUE(Map.ShowSelection());
  EXPECT_TRUE(Map.FastSelection());
  EXPECT_FALSE(Map.LumaraDraw());
  const TBitmap& Pattern = *Map.SelectionPattern();
  EXPECT_EQ(Pattern.Width(), 8);
  EXPECT_EQ(Pattern.Pixel(0, 0), clBlue);
  EXPECT_EQ(Pattern.Pixel(1, 1), clBlack) << "odd rows and columns dot the pattern";
  EXPECT_EQ(Pattern.Pixel(1, 0), clBlue);
  EXPECT_TRUE(Pattern.Transparent());
}

TEST(MapView, ToolChangesCanBeVetoed) {
  TLumara Map;
  std::vector<TMapTool> Asked;
  int Changed = 0;
  bool Allow = false;
  Map.SetOnChangingCurrentTool([&](TLumara*, TMapTool Tool, bool& AllowSetTool) {
    Asked.push_back(Tool);
    AllowSetTool = Allow;
  });
  Map.SetOnChangeCurrentTool([&](TLumara*) { ++Changed; });
  Map.SetCurrentTool(mtPan);
  EXPECT_EQ(Map.CurrentTool(), mtArrow);
  Allow = true;
  Map.SetCurrentTool(mtPan);
  Map.SetCurrentTool(mtPan);
  EXPECT_EQ(Map.CurrentTool(), mtPan);
  EXPECT_EQ(Map.Cursor(), crSizeAll);
  EXPECT_EQ(Asked, (std::vector<TMapTool>{mtArrow, mtArrow}))
      << "the handler sees the tool in force";
  EXPECT_EQ(Changed, 1);
}

} // namespace

namespace {

// A paint that fails must not throw into Qt's event loop: the error goes to
// the application object, and the window keeps running.
TEST(MapView, ErrorsInAPaintGoToTheApplication) {
  QWidget Window;
  Window.resize(100, 100);
  auto* Map = new TLumara(&Window);
  AddSymbol(*Map->Layers()->Add("", "towns"), 0, 0);
  std::vector<std::string> Reported;
  Application->SetOnException([&](TObject*, const std::exception_ptr& Error) {
    try {
      std::rethrow_exception(Error);
    } catch (const EZeroDivide& Caught) {
      Reported.push_back(Caught.Message());
    }
  });
  Window.show();
  QApplication::processEvents();
  Map->SetMaxX(Map->MinX());
  QApplication::processEvents();
  Application->SetOnException(nullptr);
  ASSERT_EQ(Reported.size(), 1u);
  EXPECT_NE(Reported[0].find("width"), std::string::npos);
  EXPECT_FALSE(Map->IsBusy()) << "the paint's closing step still ran";
}

} // namespace
