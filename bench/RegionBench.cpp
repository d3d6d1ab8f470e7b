// Area fills at 1920 x 1080: the region path (polygon regions per ring,
// combined by exclusive-or, painted), QRegion's polygon regions xored and
// painted rect by rect, per-ring winding fills drawn by Qt in exclusive-or
// mode into a mask, and a bare even-odd path fill as the baseline. Each
// benchmark also counts the pixels in which its result differs from the
// region path's ("mismatch_px"): the region path is the exact
// exclusive-or of winding fills by pixel centres.
#include "Bitmap.h"
#include "Canvas.h"
#include "Region.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr TColor Fill = RGB(30, 90, 200);
constexpr QRgb QtFill = 0xFF1E5AC8; // the same colour as a pixel

using TRing = std::vector<TPoint>;
using TRings = std::vector<TRing>;

// The world rectangle with 1,500 small island rings as holes.
TRings OceanRings() {
  std::mt19937 Random(1500);
  std::uniform_real_distribution<double> X(0, Width), Y(0, Height), Radius(3, 14),
      Jitter(-1.5, 1.5);
  TRings Rings = {{{0, 0}, {Width, 0}, {Width, Height}, {0, Height}}};
  for (int Island = 0; Island < 1500; ++Island) {
    const double CX = X(Random), CY = Y(Random), R = Radius(Random);
    TRing Ring;
    for (int Index = 0; Index < 16; ++Index) {
      const double Angle = 2 * M_PI * Index / 16;
      const double Reach = R + Jitter(Random);
      Ring.push_back({static_cast<int>(std::lround(CX + Reach * std::cos(Angle))),
                      static_cast<int>(std::lround(CY + Reach * std::sin(Angle)))});
    }
    Rings.push_back(Ring);
  }
  return Rings;
}

// Three overlapping noisy circles of 20,000 vertices each: coast-like wobble
// plus pixel jitter, so the rings cross themselves here and there.
TRings LargeRings() {
  std::mt19937 Random(20000);
  std::uniform_real_distribution<double> Jitter(-1.5, 1.5);
  const double Centres[][3] = {{700, 540, 430}, {1200, 500, 400}, {960, 620, 300}};
  TRings Rings;
  for (const auto& [CX, CY, R] : Centres) {
    TRing Ring;
    for (int Index = 0; Index < 20000; ++Index) {
      const double Angle = 2 * M_PI * Index / 20000;
      const double Reach =
          R * (1 + 0.08 * std::sin(7 * Angle) + 0.04 * std::sin(31 * Angle + 1)) + Jitter(Random);
      Ring.push_back({static_cast<int>(std::lround(CX + Reach * std::cos(Angle))),
                      static_cast<int>(std::lround(CY + Reach * std::sin(Angle)))});
    }
    Rings.push_back(Ring);
  }
  return Rings;
}

const TRings& RingsOf(int Which) {
  static const TRings Ocean = OceanRings();
  static const TRings Large = LargeRings();
  return Which == 0 ? Ocean : Large;
}

QPolygon QtPolygonOf(const TRing& Ring) {
  QPolygon Polygon(static_cast<int>(Ring.size()));
  for (std::size_t Index = 0; Index < Ring.size(); ++Index)
    Polygon.setPoint(static_cast<int>(Index), Ring[Index].x, Ring[Index].y);
  return Polygon;
}

TRegionKind PaintOwnRegion(const TRings& Rings, TCanvas& Canvas) {
  TPolygonRegion Region(Rings[0].data(), static_cast<int>(Rings[0].size()));
  for (std::size_t Index = 1; Index < Rings.size(); ++Index)
    Region.AppendXor(TPolygonRegion(Rings[Index].data(), static_cast<int>(Rings[Index].size())));
  const TRegionKind Kind = Region.Kind();
  Canvas.PaintRegion(Region);
  return Kind;
}

// The region path's picture, the reference for the mismatch counts.
const QImage& Reference(int Which) {
  static QImage Pictures[2];
  if (Pictures[Which].isNull()) {
    TBitmap Bitmap(Width, Height);
    Bitmap.Canvas()->Brush().SetColor(Fill);
    (void)PaintOwnRegion(RingsOf(Which), *Bitmap.Canvas());
    Pictures[Which] = Bitmap.Image().copy();
  }
  return Pictures[Which];
}

double Mismatches(const QImage& Picture, int Which) {
  const QImage& Expected = Reference(Which);
  double Count = 0;
  for (int Y = 0; Y < Height; ++Y) {
    const auto* A = reinterpret_cast<const QRgb*>(Picture.constScanLine(Y));
    const auto* B = reinterpret_cast<const QRgb*>(Expected.constScanLine(Y));
    for (int X = 0; X < Width; ++X) Count += ((A[X] ^ B[X]) & 0xFFFFFF) != 0;
  }
  return Count;
}

QImage WhiteImage() {
  QImage Image(Width, Height, QImage::Format_RGB32);
  Image.fill(Qt::white);
  return Image;
}

void BM_RegionPath(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  TBitmap Bitmap(Width, Height);
  Bitmap.Canvas()->Brush().SetColor(Fill);
  for (auto _ : State) benchmark::DoNotOptimize(PaintOwnRegion(RingsOf(Which), *Bitmap.Canvas()));
  State.counters["mismatch_px"] = Mismatches(Bitmap.Image(), Which);
}

// The same, combining ring by ring with CombineXor, which works out the kind
// after every ring.
void BM_RegionPathKindPerRing(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  const TRings& Rings = RingsOf(Which);
  TBitmap Bitmap(Width, Height);
  Bitmap.Canvas()->Brush().SetColor(Fill);
  for (auto _ : State) {
    TPolygonRegion Region(Rings[0].data(), static_cast<int>(Rings[0].size()));
    for (std::size_t Index = 1; Index < Rings.size(); ++Index)
      benchmark::DoNotOptimize(Region.CombineXor(
          TPolygonRegion(Rings[Index].data(), static_cast<int>(Rings[Index].size()))));
    Bitmap.Canvas()->PaintRegion(Region);
  }
}

// Exclusive-or highlight: the same region painted in exclusive-or mode.
void BM_RegionPathXorPaint(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  TBitmap Bitmap(Width, Height);
  Bitmap.Canvas()->Brush().SetColor(clAqua);
  Bitmap.Canvas()->Pen().SetMode(pmXor);
  for (auto _ : State) benchmark::DoNotOptimize(PaintOwnRegion(RingsOf(Which), *Bitmap.Canvas()));
}

void BM_QRegionPath(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  const TRings& Rings = RingsOf(Which);
  QImage Image = WhiteImage();
  for (auto _ : State) {
    QRegion Region(QtPolygonOf(Rings[0]), Qt::WindingFill);
    for (std::size_t Index = 1; Index < Rings.size(); ++Index)
      Region = Region.xored(QRegion(QtPolygonOf(Rings[Index]), Qt::WindingFill));
    benchmark::DoNotOptimize(Region.rectCount());
    QPainter Painter(&Image);
    for (const QRect& Rect : Region) Painter.fillRect(Rect, QColor::fromRgb(QtFill));
  }
  State.counters["mismatch_px"] = Mismatches(Image, Which);
}

// Each ring filled by the winding rule in exclusive-or mode into a mask, the
// mask then painted: exact too, as Qt fills by pixel centres.
void BM_QtXorMaskPath(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  const TRings& Rings = RingsOf(Which);
  QImage Image = WhiteImage();
  QImage Mask(Width, Height, QImage::Format_RGB32);
  for (auto _ : State) {
    Mask.fill(Qt::black);
    {
      QPainter Painter(&Mask);
      Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      Painter.setPen(Qt::NoPen);
      Painter.setBrush(Qt::white);
      for (const TRing& Ring : Rings) Painter.drawPolygon(QtPolygonOf(Ring), Qt::WindingFill);
    }
    for (int Y = 0; Y < Height; ++Y) {
      const auto* From = reinterpret_cast<const QRgb*>(Mask.constScanLine(Y));
      auto* To = reinterpret_cast<QRgb*>(Image.scanLine(Y));
      for (int X = 0; X < Width; ++X)
        if ((From[X] & 0xFFFFFF) != 0) To[X] = QtFill;
    }
  }
  State.counters["mismatch_px"] = Mismatches(Image, Which);
}

// The baseline: all rings as one path, filled even-odd, as a plain polygon
// fill would draw them (not the exclusive-or of winding fills where a ring
// crosses itself).
void BM_EvenOddPathBaseline(benchmark::State& State) {
  const int Which = static_cast<int>(State.range(0));
  const TRings& Rings = RingsOf(Which);
  QImage Image = WhiteImage();
  for (auto _ : State) {
    QPainterPath Path;
    Path.setFillRule(Qt::OddEvenFill);
    for (const TRing& Ring : Rings) Path.addPolygon(QtPolygonOf(Ring));
    QPainter Painter(&Image);
    Painter.fillPath(Path, QColor::fromRgb(QtFill));
  }
  State.counters["mismatch_px"] = Mismatches(Image, Which);
}

void Cases(benchmark::internal::Benchmark* Bench) {
  Bench->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_RegionPath)->Apply(Cases);
BENCHMARK(BM_RegionPathXorPaint)->Apply(Cases);
BENCHMARK(BM_RegionPathKindPerRing)->Apply(Cases)->Iterations(2);
BENCHMARK(BM_QRegionPath)->Apply(Cases)->Iterations(2);
BENCHMARK(BM_QtXorMaskPath)->Apply(Cases);
BENCHMARK(BM_EvenOddPathBaseline)->Apply(Cases);
