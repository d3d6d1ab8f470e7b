#include "MapLayer.h"

#include "Errors.h"
#include "FileNames.h"
#include "Lumara.h"
#include "TraceMessage.h"

#include <cmath>

// Layers made by the layer list always have a map; one without a map (made
// in code and not yet listed) skips every map-related step.

TMapLayer::TMapLayer() = default;

TMapLayer::~TMapLayer() {
  if (TLumara* Map = LiveMap(); Map && Map->OnBeforeDelLayer()) {
    bool Ignored = true;
    Map->OnBeforeDelLayer()(Map, this, false, Ignored);
  }
  DeleteObjects();
}

TLumara* TMapLayer::LiveMap() const { return FMap && !FMap->Destroying() ? FMap : nullptr; }

void TMapLayer::Notify(std::uint8_t Event) {
  if (TLumara* Map = LiveMap())
    Map->DataLinks()->TraceMapEvent(static_cast<TMapDataLinkEvent>(Event), this);
}

TCustomMapObject* TMapLayer::NewObject(TMapObjectClass Class) {
  std::unique_ptr<TCustomMapObject> Object = Class();
  Object->SetPen(FDefaultPen);
  Object->SetBrush(FDefaultBrush);
  Object->SetFont(FDefaultFont);
  return AddObject(std::move(Object));
}

TCustomMapObject* TMapLayer::AddObject(std::unique_ptr<TCustomMapObject> MapObject) {
  TCustomMapObject* Object = FObjects.emplace_back(std::move(MapObject)).get();
  Object->FListed = true;
  Object->SetMap(FMap);
  Object->SetLayer(this);
  Object->Fields().Assign(FFields);
  Notify(mdlAddObject);
  if (TLumara* Map = LiveMap(); Map && !Map->InUpdate()) Object->Paint();
  return Object;
}

int TMapLayer::RemoveObject(TCustomMapObject* MapObject) {
  for (std::size_t Index = 0; Index < FObjects.size(); ++Index) {
    if (FObjects[Index].get() != MapObject) continue;
    FObjects[Index].release(); // the caller takes the object over
    MapObject->FListed = false;
    FObjects.erase(FObjects.begin() + static_cast<std::ptrdiff_t>(Index));
    return static_cast<int>(Index);
  }
  return -1;
}

void TMapLayer::DeleteObject(int Index) {
  if (Index != -1) {
    if (Index < 0 || Index >= GetObjectCount()) RaiseListIndexError(Index);
    // Out of the list first, so the object's destructor finds nothing to remove.
    std::unique_ptr<TCustomMapObject> Object = std::move(FObjects[static_cast<std::size_t>(Index)]);
    FObjects.erase(FObjects.begin() + Index);
    Object->FListed = false;
    Object->BeforeDestruction();
  }
  if (TLumara* Map = LiveMap()) Map->DoUpdate(true);
}

void TMapLayer::DeleteObjects() {
  for (int Index = GetObjectCount() - 1; Index >= 0; --Index) DeleteObject(Index);
}

TCustomMapObject* TMapLayer::GetObjects(int Index) const {
  if (Index < 0 || Index >= GetObjectCount()) RaiseListIndexError(Index);
  return FObjects[static_cast<std::size_t>(Index)].get();
}

void TMapLayer::SetObjects(int Index, const TCustomMapObject& Value) {
  const TCustomMapObject* Dest = GetObjects(Index);
  RaiseAssignError(typeid(Value), typeid(*Dest));
}

void TMapLayer::RemoveFromSelection() {
  if (TLumara* Map = LiveMap()) Map->Selection()->RemoveLayer(this);
}

void TMapLayer::SetVisible(bool Value) {
  FVisible = Value;
  if (!Value) {
    FEditable = false;
    RemoveFromSelection();
  }
  if (TLumara* Map = LiveMap()) Map->DoUpdate(true);
  Notify(mdlLayerVisibleChanged);
}

void TMapLayer::SetEditable(bool Value) {
  FEditable = Value && FVisible;
  if (FEditable) {
    FSelectable = true;
    if (TLumara* Map = LiveMap())
      for (TMapLayer& Other : *Map->Layers())
        if (&Other != this && Other.Editable()) Other.SetEditable(false);
  }
  Notify(mdlLayerEditableChanged);
}

void TMapLayer::SetSelectable(bool Value) {
  FSelectable = FEditable || (Value && FVisible);
  if (!FSelectable) RemoveFromSelection();
  Notify(mdlLayerSelectableChanged);
}

void TMapLayer::SetAutoLabel(bool Value) {
  FAutoLabel = Value;
  Notify(mdlLayerAutolabelChanged);
}

bool TMapLayer::ValidZoom() const {
  if (FMinZoom == 0 && FMaxZoom == 0) return true;
  if (!FMap) return false;
  const Extended Zoom = FMap->Zoom();
  return FMinZoom != 0 && FMinZoom <= Zoom && FMaxZoom != 0 && Zoom <= FMaxZoom;
}

void TMapLayer::Paint() {
  TLumara* Map = LiveMap();
  if (!Map || !FVisible || !ValidZoom()) return;
  for (const std::unique_ptr<TCustomMapObject>& Object : FObjects) Object->Paint();
}

void TMapLayer::PaintSelection() {
  TLumara* Map = LiveMap();
  if (!Map || !FVisible || !ValidZoom() || !Map->FastSelection()) return;
  for (const std::unique_ptr<TCustomMapObject>& Object : FObjects)
    if (Object->GetSelected()) Object->DrawSelection();
}

void TMapLayer::Zoom() {
  TLumara* Map = LiveMap();
  if (!Map || FObjects.empty()) return;
  std::vector<TCustomMapObject*> Objects;
  Objects.reserve(FObjects.size());
  for (const std::unique_ptr<TCustomMapObject>& Object : FObjects) Objects.push_back(Object.get());
  Map->ZoomToObjects(Objects);
}

bool TMapLayer::SaveToFile(const std::string&) { return true; }

TMapLayers::~TMapLayers() { Clear(); }

TLumara* TMapLayers::LiveMap() const { return FMap && !FMap->Destroying() ? FMap : nullptr; }

void TMapLayers::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
}

TMapLayer* TMapLayers::Announce(TMapLayer* Layer) {
  if (TLumara* Map = LiveMap()) {
    if (Map->OnAddLayer()) Map->OnAddLayer()(Map, Layer);
    Map->DataLinks()->TraceMapEvent(mdlAfterAddLayer, Layer);
  }
  return Layer;
}

namespace {
void LoadIfExists(TMapLayer& Layer, const std::string& FileName, const std::string& Name) {
  if (FileName.empty()) return;
  if (FileExists(FileName))
    Layer.LoadFromFile(FileName, Name);
  else
    TraceMessage("File \"%S\" does not exists!", {FileName});
}
} // namespace

TMapLayer* TMapLayers::Add(const std::string& FileName, const std::string& Name) {
  TMapLayer* Layer = FLayers.emplace_back(std::make_unique<TMapLayer>()).get();
  Layer->SetName(Name);
  Layer->SetMap(FMap);
  LoadIfExists(*Layer, FileName, Name);
  return Announce(Layer);
}

TMapLayer* TMapLayers::Insert(const std::string& FileName, int Index) {
  if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
  auto Layer = std::make_unique<TMapLayer>();
  Layer->SetMap(FMap);
  TMapLayer* Inserted = FLayers.insert(FLayers.begin() + Index, std::move(Layer))->get();
  LoadIfExists(*Inserted, FileName, "");
  return Announce(Inserted);
}

void TMapLayers::Delete(int Index) {
  CheckIndex(Index);
  TMapLayer* Layer = GetLayer(Index);
  TLumara* Map = LiveMap();
  bool AllowDelete = true;
  if (Map && Map->OnBeforeDelLayer()) Map->OnBeforeDelLayer()(Map, Layer, true, AllowDelete);
  if (!AllowDelete) return;
  if (Map) Map->DataLinks()->TraceMapEvent(mdlDelLayer, Layer);
  // A handler may have moved the layer: find it again before freeing it.
  const int Position = IndexOf(Layer);
  if (Position < 0) return;
  // Out of the list before it is freed, so that nobody called during its
  // destruction meets it there half destroyed.
  std::unique_ptr<TMapLayer> Doomed = std::move(FLayers[static_cast<std::size_t>(Position)]);
  FLayers.erase(FLayers.begin() + Position);
  Doomed.reset();
  if (Map) {
    Map->DoUpdate(true);
    if (Map->OnAfterDelLayer()) Map->OnAfterDelLayer()(Map);
    Map->DataLinks()->TraceMapEvent(mdlAfterDelLayer, this);
  }
}

void TMapLayers::Clear() {
  while (!FLayers.empty()) {
    TLumara* Map = LiveMap();
    TMapLayer* Layer = FLayers.back().get();
    if (Map) Map->DataLinks()->TraceMapEvent(mdlDelLayer, Layer);
    std::unique_ptr<TMapLayer> Doomed = std::move(FLayers.back());
    FLayers.pop_back();
    Doomed.reset();
    if (Map) Map->DataLinks()->TraceMapEvent(mdlAfterDelLayer, this);
  }
  if (TLumara* Map = LiveMap()) Map->DoUpdate(true);
}

void TMapLayers::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FLayers[static_cast<std::size_t>(Index1)], FLayers[static_cast<std::size_t>(Index2)]);
  if (TLumara* Map = LiveMap()) {
    Map->DoUpdate(true);
    Map->DataLinks()->TraceMapEvent(mdlExchangeLayer, this);
  }
}

void TMapLayers::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex != NewIndex) {
    std::unique_ptr<TMapLayer> Moving = std::move(FLayers[static_cast<std::size_t>(CurIndex)]);
    FLayers.erase(FLayers.begin() + CurIndex);
    FLayers.insert(FLayers.begin() + NewIndex, std::move(Moving));
  }
  if (TLumara* Map = LiveMap()) {
    Map->DoUpdate(true);
    Map->DataLinks()->TraceMapEvent(mdlMoveLayer, GetLayer(NewIndex));
  }
}

TMapLayer* TMapLayers::GetLayer(int Index) const {
  CheckIndex(Index);
  return FLayers[static_cast<std::size_t>(Index)].get();
}

std::unique_ptr<TMapLayer> TMapLayers::SetLayer(int Index, std::unique_ptr<TMapLayer> Value) {
  CheckIndex(Index);
  std::swap(FLayers[static_cast<std::size_t>(Index)], Value);
  return Value;
}

int TMapLayers::IndexOf(const TMapLayer* Layer) const {
  for (std::size_t Index = 0; Index < FLayers.size(); ++Index)
    if (FLayers[Index].get() == Layer) return static_cast<int>(Index);
  return -1;
}
