#include "MapFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// Each order in which a host can tear the object graph down; the sanitizers
// catch any use of what is gone.
TEST(Teardown, MapDestroyedBeforeItsObservers) {
  TEventLog Log;
  TRecordingLink First(Log), Second(Log);
  {
    QWidget Window;
    auto* Map = new TLumara(&Window);
    First.SetMap(Map);
    Second.SetMap(Map);
    TMapLayer& Layer = *Map->Layers()->Add("", "a");
    TSymbol& Town = AddSymbol(Layer, 0, 0);
    Map->Paint();
    Map->Selection()->Add(&Town, false);
    Log.Take();
    Map->SetOnDeleteObject([&](TObject*) { Log.Add("OnDeleteObject"); });
    Map->SetOnBeforeDelLayer(
        [&](TLumara*, TMapLayer*, bool, bool&) { Log.Add("OnBeforeDelLayer"); });
  }
  EXPECT_TRUE(Log.Lines.empty()) << "a map being destroyed tells nobody";
  EXPECT_EQ(First.Map(), nullptr);
  EXPECT_EQ(Second.Map(), nullptr);
  First.SetMap(nullptr);
}

TEST(Teardown, ObserverDestroyedBeforeItsMap) {
  QWidget Window;
  auto* Map = new TLumara(&Window);
  TEventLog Log;
  TRecordingLink Staying(Log, "staying ");
  Staying.SetMap(Map);
  {
    TRecordingLink Leaving(Log, "leaving ");
    Leaving.SetMap(Map);
    EXPECT_EQ(Map->DataLinks()->Count(), 2);
  }
  EXPECT_EQ(Map->DataLinks()->Count(), 1);
  Map->Layers()->Add("", "a");
  EXPECT_THAT(Log.Take(), ElementsAre("staying mdlAfterAddLayer"));
  Staying.SetMap(Map);
  EXPECT_EQ(Map->DataLinks()->Count(), 1)
      << "setting the same map again moves the link, it does not add it";
}

TEST(Teardown, ObserverThatDetachesAnotherDuringADispatch) {
  QWidget Window;
  auto* Map = new TLumara(&Window);
  TEventLog Log;
  auto Victim = std::make_unique<TRecordingLink>(Log, "victim ");
  struct TKiller : TMapDataLink {
    std::unique_ptr<TRecordingLink>* Target;
    void MapEvent(TMapDataLinkEvent, TObject*, int) override { Target->reset(); }
  } Killer;
  Killer.Target = &Victim;
  Killer.SetMap(Map);
  Victim->SetMap(Map);
  Map->Layers()->Add("", "a");
  EXPECT_TRUE(Log.Lines.empty()) << "a link destroyed during a dispatch is not called";
}

TEST(Teardown, SelectedObjectDeletedByItsLayer) {
  QWidget Window;
  auto* Map = new TLumara(&Window);
  Map->SetBounds(0, 0, 360, 180);
  TEventLog Log;
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  Map->SetOnDelSelection([&](TLumara*, TCustomMapObject*) { Log.Add("OnDelSelection"); });
  Map->SetOnDeleteObject([&](TObject* Sender) {
    Log.Add("OnDeleteObject");
    EXPECT_NE(dynamic_cast<TSymbol*>(Sender), nullptr) << "the sender is the object";
  });
  TMapLayer& Layer = *Map->Layers()->Add("", "a");
  TSymbol& Town = AddSymbol(Layer, 0, 0);
  Map->Paint();
  Town.Draw(); // listed a second time
  Map->Selection()->Add(&Town, false);
  Log.Take();
  Layer.DeleteObject(0);
  EXPECT_THAT(Log.Take(), ElementsAre("OnDelSelection", "mdlDelSelection", "OnDeleteObject",
                                      "mdlRemoveObject"));
  EXPECT_EQ(Map->Displayed()->Count(), 0);
  EXPECT_EQ(Layer.GetObjectCount(), 0);
  Layer.DeleteObject(-1);
}

TEST(Teardown, LayersGoWhileObserversAndSelectionHoldTheirObjects) {
  QWidget Window;
  auto* Map = new TLumara(&Window);
  TEventLog Log;
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  for (int Index = 0; Index < 3; ++Index) {
    TMapLayer& Layer = *Map->Layers()->Add("", std::to_string(Index));
    for (int Town = 0; Town < 4; ++Town) AddSymbol(Layer, Town, Index);
  }
  Map->Paint();
  Map->SelectObjectsAt(1, 1, true); // all twelve lie within two pixels
  ASSERT_EQ(Map->Selection()->Count(), 12);
  Map->Layers()->Delete(1);
  EXPECT_EQ(Map->Selection()->Count(), 8);
  Map->Layers()->Clear();
  EXPECT_EQ(Map->Selection()->Count(), 0);
  EXPECT_EQ(Map->Displayed()->Count(), 0);
  delete Map; // before its window, with observers still attached
  EXPECT_EQ(Link.Map(), nullptr);
}

TEST(Teardown, UnattachedObjectsAndLayersNeedNoMap) {
  auto Layer = std::make_unique<TMapLayer>();
  TSymbol& Town = AddSymbol(*Layer, 1, 2);
  Layer->SetVisible(false);
  Layer->SetEditable(true);
  Layer->Zoom();
  Layer->Paint();
  EXPECT_EQ(Town.Map(), nullptr);
  Layer->DeleteObject(0);
  Layer.reset();
  auto Alone = std::make_unique<TRegion>();
  AddPart(*Alone, {{0, 0}, {1, 0}, {1, 1}});
  Alone->Paint();
  Alone->DrawSelection();
  EXPECT_FALSE(Alone->Selected());
  Alone.reset();
}

} // namespace
