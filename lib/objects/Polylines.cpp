#include "Polylines.h"

#include "Canvas.h"
#include "Lumara.h"
#include "Region.h"
#include "TraceMessage.h"

#include <cmath>
#include <vector>

namespace {

constexpr int HitPixels = 3;

// The point of segment AB nearest to (X, Y), in map coordinates.
void NearestOnSegment(const TMapPoint& A, const TMapPoint& B, Extended X, Extended Y, Extended& FX,
                      Extended& FY) {
  const Extended DX = B.X() - A.X();
  const Extended DY = B.Y() - A.Y();
  const Extended Length2 = DX * DX + DY * DY;
  Extended T = Length2 == 0 ? 0 : ((X - A.X()) * DX + (Y - A.Y()) * DY) / Length2;
  T = std::clamp<Extended>(T, 0, 1);
  FX = A.X() + T * DX;
  FY = A.Y() + T * DY;
}

bool WithinHitDistance(const TPoint& P, const TPoint& Q) {
  const long long DX = static_cast<long long>(P.x) - Q.x;
  const long long DY = static_cast<long long>(P.y) - Q.y;
  return DX * DX + DY * DY <= static_cast<long long>(HitPixels) * HitPixels;
}

// Whether a part's bounds, widened by the hit distance, can hold a hit. Near
// the edges of the window clipped positions can meet though the points are
// far apart, so there every part is tested.
bool PartMayHit(const TMapPoints& Points, Extended X, Extended Y, Extended Tolerance) {
  return X >= Points.MinX() - Tolerance && X <= Points.MaxX() + Tolerance &&
         Y >= Points.MinY() - Tolerance && Y <= Points.MaxY() + Tolerance;
}

const char* RegionKindText(TRegionKind Kind) {
  switch (Kind) {
  case rkEmpty:
    return "The region is empty.";
  case rkSimple:
    return "The region is a single rectangle.";
  case rkComplex:
    return "The region is more than a single rectangle.";
  default:
    return "No region is created.";
  }
}

} // namespace

void TPolyline::Draw() {
  TCustomMapObject::Draw();
  if (!Map() || Parts().Count() == 0) return;
  TCanvas& Canvas = *Map()->GetCanvas();
  TPixels& Pixels = Map()->PixelBuffer();
  for (const TPart& Part : Parts()) {
    PointsToPixels(Part.Points(), *Map(), Pixels);
    Canvas.Polyline(Pixels.data(), static_cast<int>(Pixels.size()));
  }
}

void TPolyline::DrawSelection() {
  if (!Map() || !Map()->ShowSelection()) return;
  TCustomMapObject::DrawSelection();
  Draw();
}

bool TPolyline::ContainsPoint(Extended X, Extended Y) const {
  if (!Map()) return false;
  const TViewTransform& View = Map()->View();
  const TPoint Query = View.MapToScreen(X, Y, true);
  const bool NearEdge = Query.x < HitPixels + 1 || Query.y < HitPixels + 1 ||
                        Query.x > Map()->ClientWidth() - HitPixels - 1 ||
                        Query.y > Map()->ClientHeight() - HitPixels - 1;
  const Extended Tolerance = (HitPixels + 1) / std::fabs(View.Scale());
  for (const TPart& Part : Parts()) {
    const TMapPoints& Points = Part.Points();
    if (!NearEdge && !PartMayHit(Points, X, Y, Tolerance)) continue;
    for (int J = 0; J + 1 < Points.Count(); ++J) {
      Extended FootX = 0, FootY = 0;
      NearestOnSegment(Points[J], Points[J + 1], X, Y, FootX, FootY);
      if (WithinHitDistance(View.MapToScreen(FootX, FootY, true), Query)) return true;
    }
  }
  return false;
}

// Each part is converted once; the fill and the outline share the positions.
void TRegion::Draw() {
  TCustomMapObject::Draw();
  if (!Map() || Parts().Count() == 0) return;
  TCanvas& Canvas = *Map()->GetCanvas();
  TPixels& Pixels = Map()->PixelBuffer();
  Pixels.clear();
  std::vector<int> Starts;
  Starts.reserve(static_cast<std::size_t>(Parts().Count()) + 1);
  for (const TPart& Part : Parts()) {
    Starts.push_back(static_cast<int>(Pixels.size()));
    Map()->View().PointsToPixels(Part.Points(), Map()->UseGeneralization(),
                                 Map()->GeneralizationLevel(), Pixels, true);
  }
  Starts.push_back(static_cast<int>(Pixels.size()));
  const auto Ring = [&](std::size_t Index) { return Pixels.data() + Starts[Index]; };
  const auto RingCount = [&](std::size_t Index) { return Starts[Index + 1] - Starts[Index]; };
  const std::size_t PartCount = Starts.size() - 1;

  if (Map()->LumaraDraw()) {
    for (std::size_t Index = 0; Index < PartCount; ++Index)
      Canvas.Polygon(Ring(Index), RingCount(Index));
    return;
  }

  // The fill starts from the first ring that makes a region: at small scales
  // a country's first ring (a small island) can shrink to fewer than three
  // positions, and the country must not lose its fill for that.
  TPolygonRegion Combined;
  bool HaveCombined = false;
  for (std::size_t Index = 0; Index < PartCount; ++Index) {
    TPolygonRegion Part(Ring(Index), RingCount(Index));
    if (!Part.Valid()) {
      TraceMessage("Error Create RGN");
    } else if (!HaveCombined) {
      Combined = std::move(Part);
      HaveCombined = true;
    } else {
      Combined.AppendXor(Part);
    }
  }
  if (HaveCombined) {
    TraceMessage(RegionKindText(Combined.Kind()));
    Canvas.PaintRegion(Combined);
  }
  for (std::size_t Index = 0; Index < PartCount; ++Index)
    Canvas.Polyline(Ring(Index), RingCount(Index));
}

void TRegion::DrawSelection() {
  if (!Map() || !Map()->ShowSelection()) return;
  TCustomMapObject::DrawSelection();
  Draw();
}
