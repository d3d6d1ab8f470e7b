#include "Canvas.h"
#include "MapFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// Regions covering pixels (170..190, 80..100) around the map origin.
const TRing Square = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
const TRing Hole = {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}};

QRgb Rgb(TColor Color) {
  return static_cast<QRgb>(GetRValue(Color) << 16 | GetGValue(Color) << 8 | GetBValue(Color));
}

class PaintTest : public TMapTest {
protected:
  TRegion& AddFilledRegion(TMapLayer& Layer, TColor Color,
                           std::initializer_list<TRing> Rings = {Square}) {
    TRegion& Region = AddObject<TRegion>(Layer, Rings);
    Region.Brush().SetColor(Color);
    Region.Pen().SetColor(Color);
    return Region;
  }
  void LogProgress() {
    Map->SetOnStartProgress([this](TObject*, int Min, int Max, const std::string& Title) {
      Log.Add("OnStartProgress " + std::to_string(Min) + " " + std::to_string(Max) + " '" + Title +
              "'");
    });
    Map->SetOnShowProgress(
        [this](TObject*, int Progress) { Log.Add("OnShowProgress " + std::to_string(Progress)); });
    Map->SetOnStopProgress([this](TObject*) { Log.Add("OnStopProgress"); });
    Map->SetOnUpdate([this](TObject*) { Log.Add("OnUpdate"); });
  }
};

TEST_F(PaintTest, LayersPaintInOrderBetweenProgressEvents) {
  LogProgress();
  Map->SetColor(clWhite);
  Map->Paint();
  EXPECT_TRUE(Log.Take().empty()) << "no layers, no events";
  EXPECT_EQ(PixelAt(180, 90), Rgb(clWhite));

  for (const TColor Color : {clRed, clLime, clBlue})
    AddFilledRegion(*Map->Layers()->Add("", ""), Color);
  Map->Paint();
  EXPECT_THAT(Log.Take(),
              ElementsAre("OnStartProgress 0 2 ''", "OnShowProgress 0", "OnShowProgress 1",
                          "OnShowProgress 2", "OnStopProgress", "OnUpdate"));
  EXPECT_EQ(PixelAt(180, 90), Rgb(clBlue)) << "the last layer covers the others";
  EXPECT_EQ(PixelAt(10, 10), Rgb(clWhite));
  EXPECT_EQ(Map->Displayed()->Count(), 3);
  EXPECT_EQ(Map->Canvas()->Image().pixel(180, 90) & 0xFFFFFF, Rgb(clBlue))
      << "the picture reaches the window";
}

TEST_F(PaintTest, HiddenOrOutOfRangeLayersAreNotDrawnOrListed) {
  TMapLayer& Hidden = *Map->Layers()->Add("", "hidden");
  AddFilledRegion(Hidden, clRed);
  Hidden.SetVisible(false);
  TMapLayer& Ranged = *Map->Layers()->Add("", "ranged");
  AddFilledRegion(Ranged, clLime);
  Ranged.SetMinZoom(2);
  Ranged.SetMaxZoom(4);
  TMapLayer& Shown = *Map->Layers()->Add("", "shown");
  AddFilledRegion(Shown, clBlue, {{{100, 50}, {120, 50}, {120, 70}}});
  AddFilledRegion(Shown, clBlue, {{{500, 500}, {510, 500}, {510, 510}}}); // outside the view
  Map->Paint();
  ASSERT_EQ(Map->Displayed()->Count(), 1);
  EXPECT_EQ(Map->Displayed()->GetItem(0)->Layer(), &Shown);
}

TEST_F(PaintTest, RegionRingsCutHolesUnlessEachRingIsItsOwnPolygon) {
  Map->SetColor(clWhite);
  AddFilledRegion(*Map->Layers()->Add("", ""), clRed, {Square, Hole});
  Map->Paint();
  EXPECT_EQ(PixelAt(180, 90), Rgb(clWhite)) << "the inner ring is a hole";
  EXPECT_EQ(PixelAt(172, 90), Rgb(clRed));
  Map->SetLumaraDraw(true);
  Map->Paint();
  EXPECT_EQ(PixelAt(180, 90), Rgb(clRed)) << "plain polygons paint the inner ring over";
}

TEST_F(PaintTest, RegionKeepsItsFillWhenItsFirstRingShrinksToAPoint) {
  Map->SetColor(clWhite);
  AddFilledRegion(*Map->Layers()->Add("", ""), clRed, {{{100, 50}, {100.2L, 50}, {100.2L, 50.2L}}, Square});
  Map->Paint();
  EXPECT_EQ(PixelAt(180, 90), Rgb(clRed)) << "the second ring still fills";
}

TEST_F(PaintTest, UpdateBracketSuppressesThePaint) {
  LogProgress();
  AddFilledRegion(*Map->Layers()->Add("", ""), clRed);
  Map->Paint();
  Log.Take();
  Map->BeginUpdate();
  Map->Paint();
  EXPECT_TRUE(Log.Take().empty());
}

TEST_F(PaintTest, ExclusiveOrHighlightDrawnTwiceLeavesThePixels) {
  TMapLayer& Layer = *Map->Layers()->Add("", "");
  TRegion& Region = AddFilledRegion(Layer, clRed, {Square, Hole});
  TPolyline& Line = AddObject<TPolyline>(Layer, {{{-50, 0}, {50, 20}, {60, -30}}});
  TSymbol& Town = AddSymbol(Layer, -100, 30);
  Town.SetShape('X');
  Map->Paint();
  const QImage Before = Map->Canvas()->Image().copy();
  for (TCustomMapObject* Object : std::initializer_list<TCustomMapObject*>{&Region, &Line, &Town}) {
    Object->DrawSelection();
    EXPECT_NE(Map->Canvas()->Image(), Before) << "the highlight shows";
    Object->DrawSelection();
    EXPECT_EQ(Map->Canvas()->Image(), Before) << "drawing it again removes it";
  }
}

TEST_F(PaintTest, FullRepaintModePaintsSelectedObjectsWithThePattern) {
  TMapLayer& Layer = *Map->Layers()->Add("", "");
  TRegion& Region = AddFilledRegion(Layer, clRed);
  Map->SetFastSelection(false);
  Map->Paint();
  Region.Select();
  EXPECT_EQ(PixelAt(180, 90), Rgb(clRed)) << "full-repaint mode draws no overlay";
  Map->Paint();
  EXPECT_EQ(PixelAt(176, 88), Rgb(clBlue));
  EXPECT_EQ(PixelAt(177, 89), Rgb(clBlack)) << "the pattern is tiled from the image origin";
}

TEST_F(PaintTest, SymbolsAreCentredOnTheirPosition) {
  TMapLayer& Layer = *Map->Layers()->Add("", "");
  TSymbol& Town = AddSymbol(Layer, 0, 0);
  Town.SetShape('H');
  Town.Font().SetSize(20);
  Town.Font().SetColor(clBlack);
  Map->SetColor(clWhite);
  Map->Paint();
  const QImage Before = Map->Canvas()->Image().copy();
  Town.DrawSelection();
  const QImage& After = Map->Canvas()->Image();
  int Left = INT32_MAX, Right = -1, Top = INT32_MAX, Bottom = -1;
  for (int Y = 0; Y < After.height(); ++Y)
    for (int X = 0; X < After.width(); ++X)
      if (After.pixel(X, Y) != Before.pixel(X, Y)) {
        Left = std::min(Left, X);
        Right = std::max(Right, X);
        Top = std::min(Top, Y);
        Bottom = std::max(Bottom, Y);
      }
  ASSERT_GE(Right, 0);
  EXPECT_NEAR((Left + Right) / 2.0, 180, 1) << "the marker cell is centred on the position";
  EXPECT_NEAR((Top + Bottom) / 2.0, 90, 1);
  EXPECT_GT(Bottom - Top, 15) << "a 20 pt cell";
}

class SelectionTest : public PaintTest {
protected:
  void SetUp() override {
    LogEvents();
    Layer = Map->Layers()->Add("", "towns");
    for (int Index = 0; Index < 3; ++Index)
      AddSymbol(*Layer, -100 + 100 * Index, 0).SetTag(Index + 1);
    Link.SetMap(Map);
    Map->Paint();
    Log.Take();
  }
  TSymbol& Town(int Index) { return static_cast<TSymbol&>(*Layer->GetObjects(Index)); }

  TMapLayer* Layer = nullptr;
  TRecordingLink Link{Log};
};

TEST_F(SelectionTest, ClickReplacesTheSelectionInTheDocumentedOrder) {
  Map->Selection()->Add(&Town(0), false);
  Map->Selection()->Add(&Town(1), false);
  EXPECT_THAT(Log.Take(), ElementsAre("OnAddSelection #1", "mdlAddSelection", "OnAddSelection #2",
                                      "mdlAddSelection"));
  Map->SelectObjectAt(100, 0, true);
  EXPECT_THAT(Log.Take(), ElementsAre("OnDelSelection #2", "mdlDelSelection", "OnUpdate",
                                      "OnDelSelection #1", "mdlDelSelection", "OnUpdate",
                                      "OnAddSelection #3", "mdlAddSelection", "OnUpdate"));
  EXPECT_TRUE(Town(2).Selected());
  EXPECT_EQ(Map->Selection()->Count(), 1);
}

TEST_F(SelectionTest, ShiftClicksToggleAndMissesClear) {
  Map->SelectObjectAt(-100, 0, true);
  Map->SelectObjectAt(0, 0, false);
  EXPECT_EQ(Map->Selection()->Count(), 2) << "without clearing, a click adds";
  Log.Take();
  Map->SelectObjectAt(0, 0, true);
  EXPECT_THAT(Log.Take(), ElementsAre("OnUpdate"))
      << "a plain click on a selected object changes nothing";
  Map->SelectObjectAt(0, 0, false);
  EXPECT_FALSE(Town(1).Selected()) << "a shift-click toggles it off";
  EXPECT_THAT(Log.Take(),
              ElementsAre("OnDelSelection #2", "mdlDelSelection", "OnUpdate", "OnUpdate"));
  Map->SelectObjectAt(50, 50, false);
  EXPECT_EQ(Map->Selection()->Count(), 0) << "a miss clears, shift or not";
}

TEST_F(SelectionTest, PickingNeedsAPaintFirst) {
  Map->Displayed()->Clear();
  Map->Selection()->Add(&Town(0), false);
  Map->SelectObjectAt(50, 50, true);
  EXPECT_EQ(Map->Selection()->Count(), 1) << "an empty displayed list picks and clears nothing";
}

TEST_F(SelectionTest, RemovingRaisesOnceAndAddingTwiceNothing) {
  Map->Selection()->Remove(&Town(0));
  EXPECT_TRUE(Log.Take().empty());
  Map->Selection()->Add(&Town(0), false);
  Map->Selection()->Add(&Town(1), false);
  Log.Take();
  Map->Selection()->Add(&Town(0), true);
  EXPECT_EQ(Map->Selection()->Count(), 2) << "an object already selected keeps the others";
  Map->Selection()->Remove(&Town(0));
  EXPECT_THAT(Log.Take(), ElementsAre("OnDelSelection #1", "mdlDelSelection", "OnUpdate"));
}

TEST_F(SelectionTest, FullRepaintModeRequestsRepaintsInsteadOfOverlays) {
  Map->SetFastSelection(false);
  Map->Paint();
  Log.Take();
  const QImage Before = Map->Canvas()->Image().copy();
  Map->SelectObjectAt(0, 0, true);
  EXPECT_TRUE(Town(1).Selected());
  EXPECT_EQ(Map->Canvas()->Image(), Before) << "no overlay is drawn";
  EXPECT_THAT(Log.Take(), ElementsAre("OnAddSelection #2", "mdlAddSelection")) << "and no OnUpdate";
}

TEST_F(SelectionTest, HidingALayerUnselectsItsObjects) {
  Map->Selection()->Add(&Town(0), false);
  Map->Selection()->Add(&Town(2), false);
  Log.Take();
  Layer->SetVisible(false);
  EXPECT_EQ(Map->Selection()->Count(), 0);
  EXPECT_THAT(Log.Take(),
              ElementsAre("OnDelSelection #3", "mdlDelSelection", "OnUpdate", "OnDelSelection #1",
                          "mdlDelSelection", "OnUpdate", "mdlLayerVisibleChanged"));
}

class LayeredPickTest : public PaintTest {
protected:
  void SetUp() override {
    for (int Index = 0; Index < 3; ++Index)
      AddFilledRegion(*Map->Layers()->Add("", "L" + std::to_string(Index)), clRed).SetTag(Index);
    Map->Paint();
  }
  int PickedLayerTag() {
    return Map->Selection()->Count() == 1 ? Map->Selection()->GetItem(0)->Tag() : -1;
  }
};

TEST_F(LayeredPickTest, CtrlClickCountSkipsTopLayers) {
  const struct {
    int CtrlClickCount;
    int Picked;
  } Cases[] = {{0, 2}, {1, 1}, {2, 0}, {3, -1}};
  for (const auto& Case : Cases) {
    Map->SetCtrlClickCount(Case.CtrlClickCount);
    Map->SelectObjectAt(0, 0, true);
    EXPECT_EQ(PickedLayerTag(), Case.Picked) << "skipping " << Case.CtrlClickCount;
  }
}

TEST_F(LayeredPickTest, MultiplePickTakesEveryLayerTopFirst) {
  Map->Layers()->GetLayer(1)->SetSelectable(false);
  Map->SelectObjectsAt(0, 0, true);
  ASSERT_EQ(Map->Selection()->Count(), 2);
  EXPECT_EQ(Map->Selection()->GetItem(0)->Tag(), 2);
  EXPECT_EQ(Map->Selection()->GetItem(1)->Tag(), 0);
}

} // namespace
