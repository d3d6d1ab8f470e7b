#pragma once
// Geometry written in code for tests: a ring or line string as a list of
// (X, Y) map points.

#include "MapObject.h"

#include <initializer_list>
#include <utility>

using TRing = std::initializer_list<std::pair<Extended, Extended>>;

inline void AddPart(TCustomMapObject& Object, TRing Ring) {
  TMapPoints& Points = Object.Parts().Add().Points();
  for (const auto& [X, Y] : Ring) Points.Add(X, Y, 0);
}
