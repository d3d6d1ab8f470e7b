#include "Selection.h"

#include "Lumara.h"
#include "MapObject.h"

#include <algorithm>

void TMapObjectsList::RemoveAll(const TCustomMapObject* MapObject) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), MapObject), FItems.end());
}

TSelection::~TSelection() { FItems.clear(); }

void TSelection::Add(TCustomMapObject* MapObject, bool ClearFirst) {
  if (Contains(MapObject)) return;
  if (ClearFirst) Clear();
  TList::Add(MapObject);
  if (FMap->FastSelection() && !FMap->InUpdate())
    MapObject->DrawSelection();
  else
    FMap->DoUpdate(true);
  if (FMap->OnAddSelection()) FMap->OnAddSelection()(FMap, MapObject);
  FMap->DataLinks()->TraceMapEvent(mdlAddSelection, MapObject);
}

void TSelection::Delete(int Index) {
  TCustomMapObject* MapObject = Get(Index);
  TList::Delete(Index);
  if (FMap->OnDelSelection()) FMap->OnDelSelection()(FMap, MapObject);
  if (FMap->InUpdate()) return;
  if (FMap->FastSelection())
    MapObject->DrawSelection();
  else
    FMap->DoUpdate(true);
}

void TSelection::Insert(TCustomMapObject* MapObject, int Index, bool ClearFirst) {
  if (ClearFirst) Clear();
  TList::Insert(Index, MapObject);
  if (FMap->FastSelection()) MapObject->DrawSelection();
}

void TSelection::Remove(TCustomMapObject* MapObject) {
  const int Index = IndexOf(MapObject);
  if (Index < 0) return;
  Delete(Index);
  FMap->DataLinks()->TraceMapEvent(mdlDelSelection, MapObject);
  if (FMap->FastSelection() && FMap->OnUpdate()) FMap->OnUpdate()(FMap);
}

void TSelection::RemoveLayer(const TMapLayer* Layer) {
  const bool Bracketed = !FMap->FastSelection();
  if (Bracketed) FMap->BeginUpdate();
  struct TBracket {
    TLumara* Map;
    bool Active;
    ~TBracket() {
      if (Active) Map->EndUpdate(true);
    }
  } Bracket{FMap, Bracketed};
  for (int Index = Count() - 1; Index >= 0; --Index) {
    if (Index >= Count()) continue;
    TCustomMapObject* MapObject = Get(Index);
    if (MapObject->Layer() == Layer) Remove(MapObject);
  }
}

void TSelection::Clear() {
  if (FMap && !FMap->Destroying())
    while (Count() > 0) Remove(Last());
  TList::Clear();
}

void TSelection::Paint() {
  if (!FMap->FastSelection()) return;
  // Drawing registers objects in the displayed list, never in the selection;
  // a copy still keeps a handler that changes the selection from breaking the walk.
  const std::vector<TCustomMapObject*> Selected(begin(), end());
  for (TCustomMapObject* MapObject : Selected) MapObject->DrawSelection();
}

void TSelection::Zoom() { FMap->ZoomToObjects(std::vector<TCustomMapObject*>(begin(), end())); }
