#include "MapDataLinks.h"

#include "Lumara.h"

#include <vector>

TMapDataLink::~TMapDataLink() { SetMap(nullptr); }

void TMapDataLink::MapEvent(TMapDataLinkEvent, TObject*, int) {}

void TMapDataLink::SetMap(TLumara* Value) {
  if (FMap) FMap->DataLinks()->Remove(this);
  FMap = Value;
  if (FMap) FMap->DataLinks()->Add(this);
}

void TMapDataLinks::TraceMapEvent(TMapDataLinkEvent Event, TObject* Sender) const {
  const std::vector<TMapDataLink*> Registered(begin(), end());
  for (TMapDataLink* Link : Registered)
    if (IndexOf(Link) >= 0) Link->MapEvent(Event, Sender, 0);
}
