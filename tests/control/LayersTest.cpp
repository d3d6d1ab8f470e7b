#include "Errors.h"
#include "MapFixture.h"
#include "ModelPrinters.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class LayersTest : public TMapTest {};

TEST_F(LayersTest, NewLayerDefaultsAndZoomRange) {
  TMapLayer& Layer = *Map->Layers()->Add("", "roads");
  EXPECT_EQ(Layer.Name(), "roads");
  EXPECT_TRUE(Layer.Visible());
  EXPECT_TRUE(Layer.Selectable());
  EXPECT_FALSE(Layer.Editable());
  EXPECT_FALSE(Layer.AutoLabel());
  EXPECT_TRUE(Layer.ValidZoom());

  const struct {
    Extended MinZoom, MaxZoom, Zoom;
    bool Valid;
  } Cases[] = {{2, 0, 2, false}, {2, 0, 100, false},   {0, 8, 1, false},    {2, 8, 2, true},
               {2, 8, 8, true},  {2, 8, 1.99L, false}, {2, 8, 8.01L, false}};
  for (const auto& Case : Cases) {
    Layer.SetMinZoom(Case.MinZoom);
    Layer.SetMaxZoom(Case.MaxZoom);
    Map->SetZoom(Case.Zoom);
    EXPECT_EQ(Layer.ValidZoom(), Case.Valid)
        << Case.MinZoom << ".." << Case.MaxZoom << " at " << Case.Zoom;
  }
}

TEST_F(LayersTest, SwitchesKeepOneEditableLayerAndNotifyInOrder) {
  TMapLayer& A = *Map->Layers()->Add("", "A");
  TMapLayer& B = *Map->Layers()->Add("", "B");
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  A.SetEditable(true);
  Log.Take();
  B.SetEditable(true);
  EXPECT_THAT(Log.Take(), ElementsAre("mdlLayerEditableChanged", "mdlLayerEditableChanged"));
  EXPECT_EQ(Link.Senders, (std::vector<TObject*>{&A, &A, &B})) << "A is told first, then B";
  EXPECT_FALSE(A.Editable());
  EXPECT_TRUE(B.Editable());

  B.SetSelectable(false);
  EXPECT_TRUE(B.Selectable()) << "an editable layer stays selectable";
  EXPECT_THAT(Log.Take(), ElementsAre("mdlLayerSelectableChanged"));

  B.SetVisible(false);
  EXPECT_FALSE(B.Editable()) << "hiding clears the editable switch";
  EXPECT_FALSE(B.Selectable());
  B.SetEditable(true);
  EXPECT_FALSE(B.Editable()) << "a hidden layer cannot become editable";
  EXPECT_THAT(Log.Take(), ElementsAre("mdlLayerVisibleChanged", "mdlLayerEditableChanged"));
  B.SetVisible(true);
  EXPECT_TRUE(B.Selectable());
  EXPECT_FALSE(B.Editable());
  B.SetAutoLabel(true);
  EXPECT_THAT(Log.Take(), ElementsAre("mdlLayerVisibleChanged", "mdlLayerAutolabelChanged"));
  EXPECT_THAT(Link.Infos, ::testing::Each(0));
}

TEST_F(LayersTest, AddInsertDeleteAndClearAnnounceEveryLayer) {
  LogEvents();
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  TMapLayers& Layers = *Map->Layers();
  TMapLayer* Roads = Layers.Add("/no/such/file.mif", "roads");
  EXPECT_EQ(Roads->GetObjectCount(), 0) << "a missing file leaves the layer empty";
  Layers.Insert("", 0);
  EXPECT_THAT(Log.Take(), ElementsAre("OnAddLayer roads", "mdlAfterAddLayer", "OnAddLayer ",
                                      "mdlAfterAddLayer"));

  std::vector<bool> Confirms;
  bool Allow = false;
  Map->SetOnBeforeDelLayer([&](TLumara*, TMapLayer*, bool ConfirmDelete, bool& AllowDelete) {
    Confirms.push_back(ConfirmDelete);
    AllowDelete = Allow;
  });
  Layers.Delete(1);
  EXPECT_EQ(Layers.Count(), 2) << "the handler refused";
  EXPECT_TRUE(Log.Take().empty());
  Allow = true;
  Layers.Delete(1);
  EXPECT_EQ(Layers.Count(), 1);
  EXPECT_EQ(Confirms, (std::vector<bool>{true, true, false}));
  EXPECT_THAT(Log.Take(), ElementsAre("mdlDelLayer", "OnAfterDelLayer", "mdlAfterDelLayer"));

  Layers.Add("", "x");
  Log.Take();
  Layers.Clear();
  EXPECT_EQ(Layers.Count(), 0);
  EXPECT_THAT(Log.Take(),
              ElementsAre("mdlDelLayer", "mdlAfterDelLayer", "mdlDelLayer", "mdlAfterDelLayer"));
  EXPECT_THROW(Layers.Delete(0), EListError);
}

TEST_F(LayersTest, MoveAndExchange) {
  TMapLayers& Layers = *Map->Layers();
  TMapLayer* A = Layers.Add("", "A");
  TMapLayer* B = Layers.Add("", "B");
  TMapLayer* C = Layers.Add("", "C");
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  Layers.Move(0, 2);
  EXPECT_EQ(Layers[2], A);
  Layers.Exchange(0, 1);
  EXPECT_EQ(Layers[0], C);
  EXPECT_EQ(Layers[1], B);
  EXPECT_THAT(Log.Take(), ElementsAre("mdlMoveLayer", "mdlExchangeLayer"));
  EXPECT_EQ(Link.Senders, (std::vector<TObject*>{A, &Layers}));
  EXPECT_THROW(Layers.Move(0, 3), EListError);
}

TEST_F(LayersTest, ObjectsJoinWithTheLayersDefinitions) {
  TMapLayer& Layer = *Map->Layers()->Add("", "towns");
  Layer.Fields().Add("Name", dtString, 0);
  Layer.DefaultPen().SetColor(clRed);
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  TSymbol& Town = AddSymbol(Layer, 3, 4);
  EXPECT_EQ(Town.Map(), Map);
  EXPECT_EQ(Town.Layer(), &Layer);
  EXPECT_EQ(Town.Pen().Color(), clRed);
  ASSERT_EQ(Town.Fields().Count(), 1);
  EXPECT_EQ(Town.Fields()[0].Name(), "Name");
  EXPECT_THAT(Log.Take(), ElementsAre("mdlAddObject"));
  EXPECT_EQ(Link.Senders.back(), &Layer) << "the layer, not the object, is the sender";
  Layer.Fields().Add("Late", dtFloat, 0);
  EXPECT_EQ(Town.Fields().Count(), 1) << "later definitions do not reach added objects";
  EXPECT_THROW(Layer.SetObjects(0, Town), EConvertError);
  EXPECT_THROW((void)Layer.GetObjects(1), EListError);
}

TEST_F(LayersTest, ZoomFitsTheLayer) {
  TMapLayer& Layer = *Map->Layers()->Add("", "points");
  Layer.Zoom();
  EXPECT_EQ(Map->Zoom(), 1) << "an empty layer changes nothing";
  AddSymbol(Layer, 3, 4);
  Layer.Zoom();
  EXPECT_EQ(Map->CenterX(), 3);
  EXPECT_EQ(Map->CenterY(), 4);
  EXPECT_EQ(Map->Zoom(), 1) << "one point only moves the centre";
  Layer.DeleteObjects();
  AddSymbol(Layer, 0, 0);
  AddSymbol(Layer, 10, 0);
  AddSymbol(Layer, 10, 20);
  Layer.Zoom();
  EXPECT_EQ(Map->CenterX(), 5);
  EXPECT_EQ(Map->CenterY(), 10);
  EXPECT_EQ(Map->Zoom(), 36) << "max(360 / 10, 180 / 20)";

  TRegion& Area = AddObject<TRegion>(Layer, {{{20, 20}, {56, 20}, {56, 29}}});
  Map->Selection()->Add(&Area, true);
  Map->Selection()->Zoom();
  EXPECT_EQ(Map->CenterX(), 38);
  EXPECT_EQ(Map->CenterY(), 24.5L);
  EXPECT_EQ(Map->Zoom(), 20);
}

TEST_F(LayersTest, SymbolBoundsFollowTheirPosition) {
  TMapLayer& Layer = *Map->Layers()->Add("", "points");
  TSymbol& Symbol = AddSymbol(Layer, 5, 7);
  EXPECT_EQ(Symbol.GetBounds(), Bounds(5, 7, 5, 7));
  Symbol.SetX(-2);
  EXPECT_EQ(Symbol.GetBounds(), Bounds(-2, 7, -2, 7));
  EXPECT_EQ(Symbol.Shape(), 31);
  Symbol.SetShape(10);
  EXPECT_EQ(Symbol.Shape(), 31);
  Symbol.SetShape(65);
  EXPECT_EQ(Symbol.Shape(), 65);
  Symbol.Parts().Clear();
  EXPECT_EQ(Symbol.GetX(), 0) << "reading the position recreates it";
  EXPECT_EQ(Symbol.Parts().Count(), 1);
}

} // namespace
