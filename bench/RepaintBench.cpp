// Full repaint of a world-sized layer set at 1920 x 1080, against a bare
// QPainter drawing the same converted shapes; conversion throughput; picking
// latency; memory per stored vertex.
#include "Canvas.h"
#include "WorldLayers.h"

#include <QPainter>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

struct TWorldView {
  QWidget Window;
  TLumara* Map;
  TWorldSize Size;
  explicit TWorldView(Extended Zoom) : Map(new TLumara(&Window)) {
    Map->SetBounds(0, 0, 1920, 1080);
    Map->BeginUpdate();
    Size = BuildWorld(*Map);
    Map->EndUpdate(false);
    Map->SetZoom(Zoom);
    if (Zoom > 1) {
      Map->SetCenterX(9);
      Map->SetCenterY(9);
    }
  }
};

void BM_RepaintWorld(benchmark::State& State) {
  TWorldView View(static_cast<Extended>(State.range(0)));
  for (auto _ : State) {
    View.Map->Paint();
    benchmark::DoNotOptimize(View.Map->MapBitmap()->Image().constBits());
  }
  State.counters["vertices"] = static_cast<double>(View.Size.Vertices);
  State.counters["displayed"] = View.Map->Displayed()->Count();
}
BENCHMARK(BM_RepaintWorld)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// One layer at a time at world view: where a repaint spends its time.
void BM_RepaintWorldLayer(benchmark::State& State) {
  TWorldView View(1);
  for (int Index = 0; Index < View.Map->Layers()->Count(); ++Index)
    View.Map->Layers()->GetLayer(Index)->SetVisible(Index == State.range(0));
  for (auto _ : State) View.Map->Paint();
  State.SetLabel(View.Map->Layers()->GetLayer(static_cast<int>(State.range(0)))->Name());
}
BENCHMARK(BM_RepaintWorldLayer)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same shapes as the map draws them, converted once beforehand and drawn
// straight with QPainter: regions as even-odd polygons with an outline, grid
// lines as polylines, towns as one glyph each.
void BM_RepaintWorldBareQPainter(benchmark::State& State) {
  TWorldView View(static_cast<Extended>(State.range(0)));
  const TMapBounds Visible = View.Map->GetViewBounds();
  std::vector<std::pair<QColor, QPolygon>> Areas;
  std::vector<QPolygon> Lines;
  std::vector<QPoint> Glyphs;
  TPixels Pixels;
  for (TMapLayer& Layer : *View.Map->Layers())
    for (const auto& Object : Layer) {
      if (!Object->IntersectsRect(Visible.MinX, Visible.MinY, Visible.MaxX, Visible.MaxY)) continue;
      if (auto* Town = dynamic_cast<TSymbol*>(Object.get())) {
        const TPoint P = View.Map->View().MapToScreen(Town->X(), Town->Y(), true);
        Glyphs.emplace_back(P.x, P.y);
        continue;
      }
      QPolygon All;
      for (const TPart& Part : Object->Parts()) {
        PointsToPixels(Part.Points(), *View.Map, Pixels);
        QPolygon Ring;
        for (const TPoint& P : Pixels) Ring << QPoint(P.x, P.y);
        if (dynamic_cast<TPolyline*>(Object.get()))
          Lines.push_back(Ring);
        else
          All << Ring;
      }
      if (!All.isEmpty())
        Areas.emplace_back(QColor(GetRValue(Object->Brush().Color()), 160, 120), All);
    }
  QImage Image(1920, 1080, QImage::Format_RGB32);
  QFont Font("DejaVu Sans");
  Font.setPixelSize(11);
  for (auto _ : State) {
    QPainter Painter(&Image);
    Painter.fillRect(Image.rect(), Qt::white);
    Painter.setPen(Qt::black);
    for (const auto& [Color, Polygon] : Areas) {
      Painter.setBrush(Color);
      Painter.drawPolygon(Polygon, Qt::OddEvenFill);
    }
    for (const QPolygon& Line : Lines) Painter.drawPolyline(Line);
    Painter.setFont(Font);
    for (const QPoint& P : Glyphs) Painter.drawText(P, "o");
    Painter.end();
    benchmark::DoNotOptimize(Image.constBits());
  }
}
BENCHMARK(BM_RepaintWorldBareQPainter)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PointsToPixels(benchmark::State& State) {
  TWorldView View(1);
  TMapLayer& Countries = *View.Map->Layers()->GetLayer(0);
  TPixels Pixels;
  long Points = 0;
  for (auto _ : State)
    for (const auto& Object : Countries)
      for (const TPart& Part : Object->Parts()) {
        PointsToPixels(Part.Points(), *View.Map, Pixels);
        Points += Part.Points().Count();
        benchmark::DoNotOptimize(Pixels.data());
      }
  State.counters["points/s"] =
      benchmark::Counter(static_cast<double>(Points), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PointsToPixels)->Unit(benchmark::kMillisecond);

void BM_SelectObjectAt(benchmark::State& State) {
  TWorldView View(1);
  View.Map->Paint();
  const Extended Clicks[][2] = {{-171, -81}, {9, 9}, {100, 40}, {-60, 120}, {170, 85}};
  std::size_t Next = 0;
  for (auto _ : State) {
    const auto& Click = Clicks[Next++ % std::size(Clicks)];
    View.Map->SelectObjectAt(Click[0], Click[1], true);
  }
}
BENCHMARK(BM_SelectObjectAt)->Unit(benchmark::kMicrosecond);

void BM_BytesPerVertex(benchmark::State& State) {
  for (auto _ : State) {
    const std::size_t Before = mallinfo2().uordblks;
    auto View = std::make_unique<TWorldView>(1);
    const std::size_t After = mallinfo2().uordblks;
    const long Vertices = View->Size.Vertices + (25 * 181 + 13 * 361) + View->Size.Symbols;
    State.counters["bytes/vertex"] =
        static_cast<double>(After - Before) / static_cast<double>(Vertices);
    State.counters["vertex bytes"] = sizeof(TMapPoint);
  }
}
BENCHMARK(BM_BytesPerVertex)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
