#include "RingNesting.h"

#include <algorithm>
#include <cmath>

namespace {

enum TRingSide { rsOutside, rsInside, rsOnBoundary };

struct TRingBox {
  Extended MinX = InvertedMin, MinY = InvertedMin, MaxX = InvertedMax, MaxY = InvertedMax;
  [[nodiscard]] bool Covers(const TRingBox& Other) const {
    return MinX <= Other.MinX && Other.MaxX <= MaxX && MinY <= Other.MinY && Other.MaxY <= MaxY;
  }
};

// From the points themselves: a point list's own bounds only ever widen.
TRingBox BoxOf(const TMapPoints& Ring) {
  TRingBox Box;
  for (const TMapPoint& Point : Ring) {
    Box.MinX = std::min(Box.MinX, Point.X());
    Box.MinY = std::min(Box.MinY, Point.Y());
    Box.MaxX = std::max(Box.MaxX, Point.X());
    Box.MaxY = std::max(Box.MaxY, Point.Y());
  }
  return Box;
}

bool OnSegment(const TMapPoint& A, const TMapPoint& B, Extended X, Extended Y) {
  const Extended Cross = (B.X() - A.X()) * (Y - A.Y()) - (B.Y() - A.Y()) * (X - A.X());
  return Cross == 0 && std::min(A.X(), B.X()) <= X && X <= std::max(A.X(), B.X()) &&
         std::min(A.Y(), B.Y()) <= Y && Y <= std::max(A.Y(), B.Y());
}

// Crossing count of a ray to the east, with points on an edge told apart:
// rings that share vertices must not decide their nesting by those.
TRingSide SideOf(const TMapPoints& Ring, Extended X, Extended Y) {
  bool Inside = false;
  const int Count = Ring.Count();
  for (int I = 0, J = Count - 1; I < Count; J = I++) {
    const TMapPoint& A = Ring[I];
    const TMapPoint& B = Ring[J];
    if (OnSegment(A, B, X, Y)) return rsOnBoundary;
    if ((A.Y() > Y) != (B.Y() > Y) && X < (B.X() - A.X()) * (Y - A.Y()) / (B.Y() - A.Y()) + A.X())
      Inside = !Inside;
  }
  return Inside ? rsInside : rsOutside;
}

// The first vertex of Inner that is not on Outer's boundary decides; a ring
// lying wholly on another's boundary (a duplicate) is not inside it.
bool RingInside(const TMapPoints& Inner, const TMapPoints& Outer) {
  if (Outer.Count() < 3) return false;
  for (const TMapPoint& Point : Inner) {
    const TRingSide Side = SideOf(Outer, Point.X(), Point.Y());
    if (Side != rsOnBoundary) return Side == rsInside;
  }
  return false;
}

} // namespace

Extended DoubleSignedArea(const TMapPoints& Ring) {
  Extended Sum = 0;
  const int Count = Ring.Count();
  for (int I = 0, J = Count - 1; I < Count; J = I++)
    Sum += (Ring[J].X() - Ring[I].X()) * (Ring[J].Y() + Ring[I].Y());
  return Sum;
}

std::vector<TRingPolygon> GroupRings(const TParts& Rings) {
  const int Count = Rings.Count();
  std::vector<TRingBox> Boxes;
  std::vector<Extended> Areas;
  for (const TPart& Ring : Rings) {
    Boxes.push_back(BoxOf(Ring.Points()));
    Areas.push_back(std::fabs(DoubleSignedArea(Ring.Points())));
  }
  // Depth: how many rings contain the ring; Smallest: the smallest of them.
  std::vector<int> Depth(Count, 0), Smallest(Count, -1);
  for (int Inner = 0; Inner < Count; ++Inner)
    for (int Outer = 0; Outer < Count; ++Outer) {
      if (Outer == Inner || !Boxes[Outer].Covers(Boxes[Inner])) continue;
      if (!RingInside(Rings[Inner].Points(), Rings[Outer].Points())) continue;
      ++Depth[Inner];
      if (Smallest[Inner] < 0 || Areas[Outer] < Areas[Smallest[Inner]]) Smallest[Inner] = Outer;
    }
  std::vector<TRingPolygon> Polygons;
  std::vector<int> PolygonOf(Count, -1);
  for (int Ring = 0; Ring < Count; ++Ring) {
    // Overlapping rings can nest inconsistently; a hole whose smallest
    // container is itself a hole stays an outer ring rather than be lost.
    const int Parent = Smallest[Ring];
    const bool IsHole = Depth[Ring] % 2 == 1 && Parent >= 0 && Depth[Parent] % 2 == 0;
    if (IsHole) continue;
    PolygonOf[Ring] = static_cast<int>(Polygons.size());
    Polygons.push_back({Ring, {}});
  }
  for (int Ring = 0; Ring < Count; ++Ring)
    if (PolygonOf[Ring] < 0) Polygons[PolygonOf[Smallest[Ring]]].Holes.push_back(Ring);
  return Polygons;
}
