#pragma once
// The map's two object lists: the displayed list (what the last paint drew,
// the candidates for picking) and the selection. Both hold references only;
// objects belong to their layers.

#include "List.h"

class TLumara;
class TMapLayer;
class TCustomMapObject;

class TMapObjectsList : public TList<TCustomMapObject> {
public:
  [[nodiscard]] TLumara* Map() const { return FMap; }
  void SetMap(TLumara* Value) { FMap = Value; }
  [[nodiscard]] TCustomMapObject* GetItem(int Index) const { return Get(Index); }
  void SetItem(int Index, TCustomMapObject* MapObject) { Put(Index, MapObject); }
  // Removes every entry of MapObject (an object drawn twice is listed twice).
  void RemoveAll(const TCustomMapObject* MapObject);

protected:
  TLumara* FMap = nullptr; // not owned; may be null
};

// The selected objects of a map. In fast-selection mode a change draws or
// removes the object's highlight at once (exclusive-or, so drawing it again
// removes it); otherwise every change asks for a repaint.
class TSelection : public TMapObjectsList {
public:
  ~TSelection() override;

  // Selects MapObject, first unselecting everything when ClearFirst; an
  // object already selected changes nothing at all.
  void Add(TCustomMapObject* MapObject, bool ClearFirst);
  // Unselects the entry at Index without telling the observers.
  void Delete(int Index);
  // Puts MapObject at Index without any event or duplicate test.
  void Insert(TCustomMapObject* MapObject, int Index, bool ClearFirst);
  // Unselects MapObject if it is selected, with every event and notification.
  void Remove(TCustomMapObject* MapObject);
  // Unselects every selected object of Layer.
  void RemoveLayer(const TMapLayer* Layer);
  // Unselects everything, the last selected first; a map that is not placed
  // (or is being destroyed) has its selection emptied silently.
  void Clear() override;
  // Draws every highlight (fast-selection mode only).
  void Paint();
  // Centres and zooms the map onto the selected objects.
  void Zoom();
  [[nodiscard]] bool Contains(const TCustomMapObject* MapObject) const {
    return IndexOf(MapObject) >= 0;
  }
};
