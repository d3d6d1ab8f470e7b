#pragma once
// Change notification: the map's observer list with its fifteen
// notifications, and the types of the map's events.

#include "List.h"
#include "Object.h"

#include <cstdint>
#include <functional>
#include <string>

class TLumara;
class TMapLayer;
class TCustomMapObject;

enum TMapDataLinkEvent : std::uint8_t {
  mdlBeforeAddLayer,
  mdlAfterAddLayer,
  mdlBeforeDelLayer,
  mdlDelLayer,
  mdlAfterDelLayer,
  mdlMoveLayer,
  mdlExchangeLayer,
  mdlLayerVisibleChanged,
  mdlLayerSelectableChanged,
  mdlLayerEditableChanged,
  mdlLayerAutolabelChanged,
  mdlAddObject,
  mdlRemoveObject,
  mdlAddSelection,
  mdlDelSelection
};

enum TMapTool : std::uint8_t { mtArrow, mtSelector, mtZoomIn, mtZoomOut, mtPan };

using TMapNotifyEvent = std::function<void(TLumara* Sender)>;
using TAddLayerEvent = std::function<void(TLumara* Sender, TMapLayer* Layer)>;
using TDelLayerEvent =
    std::function<void(TLumara* Sender, TMapLayer* Layer, bool ConfirmDelete, bool& AllowDelete)>;
using TAddObjectEvent = std::function<void(TLumara* Sender, TCustomMapObject* MapObject)>;
using TRemoveObjectEvent =
    std::function<void(TLumara* Sender, TCustomMapObject* MapObject, bool AllowDelete)>;
using TAddSelectionEvent = std::function<void(TLumara* Sender, TCustomMapObject* MapObject)>;
using TChangingCurrentToolEvent =
    std::function<void(TLumara* Sender, TMapTool MapTool, bool& AllowSetTool)>;
using TChangeCurrentToolEvent = std::function<void(TLumara* Sender, TMapTool MapTool)>;
using TStartProgressEvent =
    std::function<void(TObject* Sender, int Min, int Max, const std::string& Title)>;
using TShowProgressEvent = std::function<void(TObject* Sender, int Progress)>;

// An observer of one map. Companion controls derive from it and react in
// MapEvent. A link leaves its map's list when it is destroyed, and a map that
// is destroyed first unbinds its links (their Map becomes null), so no link is
// called after its destruction and none touches a destroyed map.
class TMapDataLink : public TObject {
public:
  TMapDataLink() = default;
  ~TMapDataLink() override;

  // Called for every notification of the map; Info is always 0. The base
  // version does nothing.
  virtual void MapEvent(TMapDataLinkEvent Event, TObject* Sender, int Info);

  [[nodiscard]] TLumara* Map() const { return FMap; }
  // Leaves the previous map's list and joins the end of the new map's list
  // (setting the same map again moves the link to the end).
  void SetMap(TLumara* Value);
  void RemoveNotify() {}

private:
  friend class TLumara;
  TLumara* FMap = nullptr; // not owned: the observed map; may be null
};

class TMapDataLinks : public TList<TMapDataLink> {
public:
  [[nodiscard]] TLumara* Map() const { return FMap; }
  void SetMap(TLumara* Value) { FMap = Value; }
  [[nodiscard]] TMapDataLink* GetMapDataLink(int Index) const { return Get(Index); }
  void SetMapDataLink(int Index, TMapDataLink* Link) { Put(Index, Link); }

  // Calls MapEvent of every link registered when the dispatch starts, in
  // registration order. A link that leaves the list during the dispatch is
  // not called any more; one that joins is not called by this dispatch.
  void TraceMapEvent(TMapDataLinkEvent Event, TObject* Sender) const;

private:
  TLumara* FMap = nullptr; // not owned; neither set nor read by the library
};
