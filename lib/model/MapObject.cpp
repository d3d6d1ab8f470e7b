#include "MapObject.h"

#include "Geometry.h"

TCustomMapObject::~TCustomMapObject() = default;

void TCustomMapObject::SetParts(const TParts& Value) {
  if (&Value == &FParts) return;
  FParts.Clear();
  for (const TPart& Part : Value) FParts.Add().SetPoints(Part.Points());
}

bool TCustomMapObject::ContainsPoint(Extended X, Extended Y) const { return RingsContainPoint(FParts, X, Y); }

bool TCustomMapObject::Intersects(const TCustomMapObject& MapObject) const {
  for (const TPart& Part : MapObject.Parts())
    for (const TMapPoint& Point : Part.Points())
      if (ContainsPoint(Point.X(), Point.Y())) return true;
  return false;
}

bool TCustomMapObject::Contains(const TCustomMapObject& MapObject) const {
  bool AnyVertex = false;
  for (const TPart& Part : MapObject.Parts())
    for (const TMapPoint& Point : Part.Points()) {
      if (!ContainsPoint(Point.X(), Point.Y())) return false;
      AnyVertex = true;
    }
  return AnyVertex;
}

bool TCustomMapObject::Within(const TCustomMapObject&) const { return true; }

bool TCustomMapObject::IntersectsRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const {
  return PartBoundsMeetRect(FParts, X0, Y0, X1, Y1);
}

bool TCustomMapObject::WithinRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const {
  return VerticesWithinRect(FParts, X0, Y0, X1, Y1);
}

bool TCustomMapObject::ContainsRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const {
  return ContainsPoint(X0, Y0) && ContainsPoint(X1, Y0) && ContainsPoint(X1, Y1) && ContainsPoint(X0, Y1);
}
