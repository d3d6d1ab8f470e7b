#include "Geometry.h"

#include <algorithm>

namespace {

// Crossings of one ring with the ray from (X, Y) towards smaller X.
int RingCrossings(const TMapPoints& Ring, Extended X, Extended Y) {
  if (X < Ring.MinX() || X > Ring.MaxX() || Y <= Ring.MinY() || Y > Ring.MaxY()) {
    // Left of the ring, or outside its height range, nothing is crossed; to
    // its right every edge is crossed and a closed ring is crossed evenly.
    return 0;
  }
  int Crossings = 0;
  const int Count = Ring.Count();
  for (int J = 0; J < Count; ++J) {
    const TMapPoint& A = Ring[J];
    const TMapPoint& B = Ring[J + 1 == Count ? 0 : J + 1];
    if (A.Y() == B.Y()) continue;
    const Extended Low = std::min(A.Y(), B.Y());
    const Extended High = std::max(A.Y(), B.Y());
    if (Y <= Low || Y > High) continue;
    const Extended XAtY = B.X() - (B.Y() - Y) * (B.X() - A.X()) / (B.Y() - A.Y());
    if (XAtY < X) ++Crossings;
  }
  return Crossings;
}

} // namespace

bool RingsContainPoint(const TParts& Parts, Extended X, Extended Y) {
  int Crossings = 0;
  for (const TPart& Part : Parts) Crossings += RingCrossings(Part.Points(), X, Y);
  return Crossings % 2 == 1;
}

bool PartBoundsMeetRect(const TParts& Parts, Extended X0, Extended Y0, Extended X1, Extended Y1) {
  for (const TPart& Part : Parts) {
    const TMapPoints& Points = Part.Points();
    if (X0 <= Points.MaxX() && Points.MinX() <= X1 && Y0 <= Points.MaxY() && Points.MinY() <= Y1)
      return true;
  }
  return false;
}

bool VerticesWithinRect(const TParts& Parts, Extended X0, Extended Y0, Extended X1, Extended Y1) {
  for (const TPart& Part : Parts)
    for (const TMapPoint& Point : Part.Points())
      if (Point.X() < X0 || Point.X() > X1 || Point.Y() < Y0 || Point.Y() > Y1) return false;
  return true;
}

int VertexCount(const TParts& Parts) {
  int Count = 0;
  for (const TPart& Part : Parts) Count += Part.Points().Count();
  return Count;
}
