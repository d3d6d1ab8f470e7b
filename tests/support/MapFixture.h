#pragma once
// A map control on a parent widget for tests, with helpers that build
// objects in code and record what the map tells.

#include "MapObjects.h"
#include "ModelBuilders.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

template <class TObject>
TObject& AddObject(TMapLayer& Layer, std::initializer_list<TRing> Rings) {
  auto& Object = static_cast<TObject&>(*Layer.NewObject(&NewMapObject<TObject>));
  for (const TRing& Ring : Rings) AddPart(Object, Ring);
  return Object;
}

inline TSymbol& AddSymbol(TMapLayer& Layer, Extended X, Extended Y) {
  auto& Symbol = static_cast<TSymbol&>(*Layer.NewObject(&NewMapObject<TSymbol>));
  Symbol.SetX(X);
  Symbol.SetY(Y);
  return Symbol;
}

inline std::string EventName(TMapDataLinkEvent Event) {
  static const char* const Names[] = {"BeforeAddLayer",
                                      "AfterAddLayer",
                                      "BeforeDelLayer",
                                      "DelLayer",
                                      "AfterDelLayer",
                                      "MoveLayer",
                                      "ExchangeLayer",
                                      "LayerVisibleChanged",
                                      "LayerSelectableChanged",
                                      "LayerEditableChanged",
                                      "LayerAutolabelChanged",
                                      "AddObject",
                                      "RemoveObject",
                                      "AddSelection",
                                      "DelSelection"};
  return Names[Event];
}

// One log for the map's events and the notifications of observers, in the
// order they happen.
class TEventLog {
public:
  std::vector<std::string> Lines;
  void Add(std::string Line) { Lines.push_back(std::move(Line)); }
  std::vector<std::string> Take() { return std::exchange(Lines, {}); }
};

// An observer that writes each notification as "mdl<Event>" (with a tag) to a log.
class TRecordingLink : public TMapDataLink {
public:
  TRecordingLink(TEventLog& Log, std::string Tag = "") : FLog(Log), FTag(std::move(Tag)) {}
  void MapEvent(TMapDataLinkEvent Event, TObject* Sender, int Info) override {
    TMapDataLink::MapEvent(Event, Sender, Info);
    FLog.Add(FTag + "mdl" + EventName(Event));
    Senders.push_back(Sender);
    Infos.push_back(Info);
  }
  std::vector<TObject*> Senders;
  std::vector<int> Infos;

private:
  TEventLog& FLog;
  std::string FTag;
};

// A map of 360 x 180 pixels showing the default extents at zoom 1: one pixel
// per degree, (0, 0) at the pixel (180, 90).
class TMapTest : public ::testing::Test {
protected:
  TMapTest() : Window(std::make_unique<QWidget>()), Map(new TLumara(Window.get())) {
    Map->SetBounds(0, 0, 360, 180);
  }

  // Registers the host's events on the log.
  void LogEvents() {
    Map->SetOnAddSelection([this](TLumara*, TCustomMapObject* Object) {
      Log.Add("OnAddSelection " + NameOf(Object));
    });
    Map->SetOnDelSelection([this](TLumara*, TCustomMapObject* Object) {
      Log.Add("OnDelSelection " + NameOf(Object));
    });
    Map->SetOnUpdate([this](TObject*) { Log.Add("OnUpdate"); });
    Map->SetOnDeleteObject([this](TObject* Sender) {
      Log.Add("OnDeleteObject " + NameOf(dynamic_cast<TCustomMapObject*>(Sender)));
    });
    Map->SetOnAddLayer(
        [this](TLumara*, TMapLayer* Layer) { Log.Add("OnAddLayer " + Layer->Name()); });
    Map->SetOnAfterDelLayer([this](TObject*) { Log.Add("OnAfterDelLayer"); });
  }

  // Objects are named by their tag in logs.
  static std::string NameOf(const TCustomMapObject* Object) {
    return Object ? "#" + std::to_string(Object->Tag()) : "null";
  }

  QRgb PixelAt(int X, int Y) const { return Map->MapBitmap()->Image().pixel(X, Y) & 0xFFFFFF; }

  std::unique_ptr<QWidget> Window;
  TLumara* Map; // owned by Window
  TEventLog Log;
};
