#include "Symbol.h"

#include "Canvas.h"
#include "Lumara.h"

#include <cstdlib>

namespace {
constexpr int HitPixels = 2;
constexpr int LowestShape = 31;
} // namespace

TSymbol::TSymbol() {
  SetX(0);
  SetY(0);
}

void TSymbol::SetShape(int Value) { FShape = std::max(LowestShape, Value); }

TMapPoint TSymbol::Position() const {
  const TParts& Points = Parts();
  if (Points.Count() == 0 || Points[0].Points().Count() == 0) return {};
  return Points[0].Points()[0];
}

TMapPoint& TSymbol::PositionPoint(Extended X, Extended Y) {
  if (Parts().Count() == 0) Parts().Add();
  TMapPoints& Points = Parts()[0].Points();
  if (Points.Count() == 0) Points.Add(X, Y, 0);
  return Points[0];
}

Extended TSymbol::GetX() { return PositionPoint(0, 0).X(); }

Extended TSymbol::GetY() { return PositionPoint(0, 0).Y(); }

// The bounds follow the position, so that whatever reads bounds (layer and
// selection zoom, culling of the layer's extent) sees where the symbol is.
void TSymbol::BoundsToPosition() {
  const TMapPoint Point = Position();
  TMapPoints& Points = Parts()[0].Points();
  Points.SetMinX(Point.X());
  Points.SetMaxX(Point.X());
  Points.SetMinY(Point.Y());
  Points.SetMaxY(Point.Y());
  Parts().SetMinX(Point.X());
  Parts().SetMaxX(Point.X());
  Parts().SetMinY(Point.Y());
  Parts().SetMaxY(Point.Y());
}

void TSymbol::SetX(Extended Value) {
  PositionPoint(Value, 0).SetX(Value);
  BoundsToPosition();
}

void TSymbol::SetY(Extended Value) {
  PositionPoint(0, Value).SetY(Value);
  BoundsToPosition();
}

std::string TSymbol::MarkerText() const { return std::string(1, static_cast<char>(FShape & 0xFF)); }

void TSymbol::MarkerCell(TCanvas& Canvas, int& Width, int& Height) const {
  const std::string Marker = MarkerText();
  Height = Canvas.TextHeight(Marker);
  Width = Canvas.TextWidth(Marker);
}

void TSymbol::Draw() {
  TCustomMapObject::Draw();
  if (!Map()) return;
  TCanvas& Canvas = *Map()->GetCanvas();
  int Width = 0, Height = 0;
  MarkerCell(Canvas, Width, Height);
  const TPoint P = Map()->View().MapToScreen(X(), Y(), true);
  const TRect Cell = Rect(P.x - Width / 2, P.y - Height / 2, P.x + Width / 2, P.y + Height / 2);
  if (!Map()->FastSelection() && GetSelected()) {
    Canvas.Brush().SetBitmap(Map()->SelectionPattern());
    Canvas.FillRect(Cell);
  }
  Canvas.Brush().SetStyle(bsClear);
  Canvas.TextOut(Cell.Left, Cell.Top, MarkerText());
  Canvas.Brush().SetStyle(bsSolid);
}

void TSymbol::DrawSelection() {
  if (!Map() || !Map()->ShowSelection()) return;
  TCustomMapObject::DrawSelection();
  TCanvas& Canvas = *Map()->GetCanvas();
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Pen().SetMode(pmXor);
  Canvas.Pen().SetColor(Font().Color());
  int Width = 0, Height = 0;
  MarkerCell(Canvas, Width, Height);
  const TPoint P = Map()->View().MapToScreen(X(), Y(), true);
  Canvas.Rectangle(P.x - Width / 2, P.y - Height / 2, P.x + Width / 2, P.y + Height / 2);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Pen().SetMode(pmCopy);
}

bool TSymbol::ContainsPoint(Extended QX, Extended QY) const {
  if (!Map()) return QX == X() && QY == Y();
  const TViewTransform& View = Map()->View();
  const TPoint P = View.MapToScreen(X(), Y(), true);
  const TPoint Q = View.MapToScreen(QX, QY, true);
  return std::llabs(static_cast<long long>(Q.x) - P.x) <= HitPixels &&
         std::llabs(static_cast<long long>(Q.y) - P.y) <= HitPixels;
}

bool TSymbol::Intersects(const TCustomMapObject& MapObject) const {
  return MapObject.ContainsPoint(X(), Y());
}

bool TSymbol::Contains(const TCustomMapObject&) const { return false; }

bool TSymbol::IntersectsRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const {
  return WithinRect(X0, Y0, X1, Y1);
}

bool TSymbol::WithinRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const {
  return X0 <= X() && X() <= X1 && Y0 <= Y() && Y() <= Y1;
}

bool TSymbol::ContainsRect(Extended, Extended, Extended, Extended) const { return false; }
