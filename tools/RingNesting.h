#pragma once
// Grouping of a region's rings into polygons by nesting, even-odd: a ring
// inside an odd number of other rings is a hole of the smallest ring around
// it; every other ring is the outer ring of a polygon of its own (an island
// in a lake starts a new polygon).

#include "MapPoints.h"

#include <vector>

struct TRingPolygon {
  int Outer = 0;          // index of the outer ring in the part list
  std::vector<int> Holes; // indexes of its holes, in part-list order
};

// The polygons in the part-list order of their outer rings.
[[nodiscard]] std::vector<TRingPolygon> GroupRings(const TParts& Rings);

// Twice the signed area of the ring closed from its last point to its first,
// in map units: positive when it runs counter-clockwise (X east, Y north).
[[nodiscard]] Extended DoubleSignedArea(const TMapPoints& Ring);
