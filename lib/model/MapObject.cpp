#include "MapObject.h"

#include "Application.h"
#include "Canvas.h"
#include "Geometry.h"
#include "Lumara.h"

TCustomMapObject::~TCustomMapObject() { BeforeDestruction(); }

// A map being destroyed has emptied its lists and tells nobody; its objects
// only leave their layer. Destruction cannot report an error to its caller,
// so what a handler raises goes to the application.
void TCustomMapObject::BeforeDestruction() noexcept {
  if (FDestroying) return;
  FDestroying = true;
  try {
    if (FMap && !FMap->Destroying()) {
      FMap->Selection()->Remove(this);
      FMap->Displayed()->RemoveAll(this);
    }
    if (FLayer && FListed) FLayer->RemoveObject(this);
    if (!FMap || FMap->Destroying()) return;
    if (FMap->OnDeleteObject()) FMap->OnDeleteObject()(this);
    FMap->DataLinks()->TraceMapEvent(mdlRemoveObject, this);
    FMap->DoUpdate(true);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomMapObject::SetParts(const TParts& Value) {
  if (&Value == &FParts) return;
  FParts.Clear();
  for (const TPart& Part : Value) FParts.Add().SetPoints(Part.Points());
}

bool TCustomMapObject::ContainsPoint(Extended X, Extended Y) const {
  return RingsContainPoint(FParts, X, Y);
}

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
  return ContainsPoint(X0, Y0) && ContainsPoint(X1, Y0) && ContainsPoint(X1, Y1) &&
         ContainsPoint(X0, Y1);
}

void TCustomMapObject::Paint() {
  if (!FMap) return;
  const TMapBounds View = FMap->GetViewBounds();
  if (!IntersectsRect(View.MinX, View.MinY, View.MaxX, View.MaxY) &&
      !ContainsRect(View.MinX, View.MinY, View.MaxX, View.MaxY))
    return;
  TCanvas& Canvas = *FMap->GetCanvas();
  Canvas.SetPen(FPen);
  Canvas.SetBrush(FBrush);
  if (!FMap->FastSelection() && GetSelected()) Canvas.Brush().SetBitmap(FMap->SelectionPattern());
  Canvas.SetFont(FFont);
  Draw();
}

void TCustomMapObject::Draw() {
  if (FMap) FMap->Displayed()->Add(this);
}

void TCustomMapObject::DrawSelection() {
  if (!FMap || !FMap->ShowSelection()) return;
  TCanvas& Canvas = *FMap->GetCanvas();
  Canvas.SetPen(FPen);
  Canvas.SetBrush(FBrush);
  Canvas.SetFont(FFont);
  Canvas.Brush().SetColor(clAqua);
  Canvas.Pen().SetColor(clAqua);
  Canvas.Pen().SetMode(pmXor);
}

TPoint TCustomMapObject::GetPixels(int PartIndex, int PointIndex) const {
  const TMapPoint& Point = FParts[PartIndex].Points()[PointIndex];
  if (!FMap) return {};
  return FMap->View().MapToScreen(Point.X(), Point.Y(), true);
}

bool TCustomMapObject::GetSelected() const { return FMap && FMap->Selection()->Contains(this); }

void TCustomMapObject::SetSelected(bool) { DrawSelection(); }

void TCustomMapObject::Select() {
  if (FMap && !GetSelected()) FMap->Selection()->Add(this, true);
}
