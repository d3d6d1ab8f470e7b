#pragma once
// Line strings and areas, the bulk of a vector map: one part per line string
// or ring.

#include "MapObject.h"

// Drawn as open line strings; hit within 3 pixels of a segment.
class TPolyline : public TCustomMapObject {
public:
  void Draw() override;
  void DrawSelection() override;
  // Hit when the query point lies within 3 pixels of a segment, its end
  // points included, measured on the window; false without a map.
  [[nodiscard]] bool ContainsPoint(Extended X, Extended Y) const override;
};

// Filled as the exclusive-or of its rings (an inner ring is a hole, a second
// outer ring an island) and outlined; or, with the map's LumaraDraw, each
// ring as its own filled polygon. Hit by the even-odd test over all rings.
class TRegion : public TCustomMapObject {
public:
  void Draw() override;
  void DrawSelection() override;
};
