#pragma once
// Readable failure output for the model's value types.

#include "MapPoints.h"

#include <ostream>

inline void PrintTo(const TMapBounds& Bounds, std::ostream* Out) {
  *Out << "(" << Bounds.MinX << ", " << Bounds.MinY << ") .. (" << Bounds.MaxX << ", "
       << Bounds.MaxY << ")";
}

inline void PrintTo(const TMapPoint& Point, std::ostream* Out) {
  *Out << "(" << Point.X() << ", " << Point.Y() << ", " << Point.Z() << ")";
}

inline const TMapBounds EmptyBounds{};

inline TMapBounds Bounds(Extended MinX, Extended MinY, Extended MaxX, Extended MaxY) {
  return TMapBounds{MinX, MinY, MaxX, MaxY};
}
