#include "Region.h"

#include <algorithm>
#include <limits>

namespace {

using TWide = __int128;

// floor(Num / Den) for Den > 0.
TWide FloorDiv(TWide Num, TWide Den) {
  TWide Quotient = Num / Den;
  if (Num % Den < 0) --Quotient;
  return Quotient;
}

// One non-horizontal edge of a ring, walked row by row. On each row it
// crosses the horizontal line through the pixel centres at X; the first pixel
// whose centre is not left of X is the edge's boundary B = ceil(X - 1/2),
// kept exactly as Q + (R > 0) with 0 <= R < Den, so coordinates of any size
// cost no precision.
struct TEdge {
  std::int64_t Q = 0;
  std::int64_t R = 0;
  std::int64_t QStep = 0;
  std::int64_t RStep = 0;
  std::int64_t Den = 1;
  std::int32_t Top = 0;    // first row crossed (inside the clip)
  std::int32_t Bottom = 0; // row after the last row crossed (inside the clip)
  std::uint32_t Ring = 0;
  std::int32_t Current = 0; // the boundary on the current row, clamped to the clip
  std::int8_t Dir = 1;      // +1 going down, -1 going up
  bool Alternate = false;

  [[nodiscard]] bool Vertical() const { return QStep == 0 && RStep == 0; }
  [[nodiscard]] std::int64_t Boundary() const { return Q + (R != 0 ? 1 : 0); }
  void Step() {
    Q += QStep;
    R += RStep;
    if (R >= Den) {
      R -= Den;
      ++Q;
    }
  }
};

struct TClip {
  std::int32_t Left, Top, Right, Bottom;
};

// Merges rows with equal spans into bands before they reach the sink.
class TBandJoiner {
public:
  explicit TBandJoiner(const TPolygonRegion::TBandSink& Sink) : FSink(Sink) {}

  bool Add(std::int32_t Top, std::int32_t Height, const std::vector<TSpan>& Spans) {
    if (!Spans.empty() && FHeight > 0 && Top == FTop + FHeight && Spans == FSpans) {
      FHeight += Height;
      return true;
    }
    if (!Flush()) return false;
    if (!Spans.empty()) {
      FSpans = Spans;
      FTop = Top;
      FHeight = Height;
    }
    return true;
  }

  bool Flush() {
    if (FHeight == 0) return true;
    const std::int32_t Height = FHeight;
    FHeight = 0;
    return FSink(FTop, Height, FSpans.data(), static_cast<int>(FSpans.size()));
  }

private:
  const TPolygonRegion::TBandSink& FSink;
  std::vector<TSpan> FSpans;
  std::int32_t FTop = 0;
  std::int32_t FHeight = 0;
};

void AddEdge(std::vector<TEdge>& Edges, TPoint From, TPoint To, std::uint32_t Ring, bool Alternate,
             const TClip& Clip) {
  if (From.y == To.y) return; // crosses no row of pixel centres
  TEdge Edge;
  Edge.Ring = Ring;
  Edge.Alternate = Alternate;
  Edge.Dir = From.y < To.y ? 1 : -1;
  if (From.y > To.y) std::swap(From, To);
  Edge.Top = std::max(From.y, Clip.Top);
  Edge.Bottom = std::min(To.y, Clip.Bottom);
  if (Edge.Top >= Edge.Bottom) return;
  // Right of the clip the edge never reaches a pixel that is painted.
  if (std::min(From.x, To.x) >= Clip.Right) return;
  if (std::max(From.x, To.x) <= Clip.Left) {
    // Left of the clip it only counts, at the clip's left edge; as a vertical
    // edge it lets rows that repeat be handled as one band.
    Edge.Q = Clip.Left;
    Edges.push_back(Edge);
    return;
  }
  const std::int64_t DeltaY = static_cast<std::int64_t>(To.y) - From.y;
  const std::int64_t DeltaX = static_cast<std::int64_t>(To.x) - From.x;
  // B(y) = ceil((2 x0 D + (2 (y - y0) + 1) dx - D) / 2D), with D = DeltaY.
  Edge.Den = 2 * DeltaY;
  constexpr std::int32_t Small = 1 << 29; // below this the numerator fits 64 bits
  auto IsSmall = [](std::int32_t Value) { return Value > -Small && Value < Small; };
  if (IsSmall(From.x) && IsSmall(To.x) && IsSmall(From.y) && IsSmall(To.y)) {
    const std::int64_t Num =
        2 * From.x * DeltaY + (2 * (std::int64_t{Edge.Top} - From.y) + 1) * DeltaX - DeltaY;
    Edge.Q = Num / Edge.Den - (Num % Edge.Den < 0 ? 1 : 0);
    Edge.R = Num - Edge.Q * Edge.Den;
    const std::int64_t Step = 2 * DeltaX;
    Edge.QStep = Step / Edge.Den - (Step % Edge.Den < 0 ? 1 : 0);
    Edge.RStep = Step - Edge.QStep * Edge.Den;
  } else {
    const TWide Den = Edge.Den;
    const TWide Num = 2 * static_cast<TWide>(From.x) * DeltaY +
                      (2 * (static_cast<TWide>(Edge.Top) - From.y) + 1) * DeltaX - DeltaY;
    const TWide Q = FloorDiv(Num, Den);
    const TWide QStep = FloorDiv(2 * static_cast<TWide>(DeltaX), Den);
    Edge.Q = static_cast<std::int64_t>(Q);
    Edge.R = static_cast<std::int64_t>(Num - Q * Den);
    Edge.QStep = static_cast<std::int64_t>(QStep);
    Edge.RStep = static_cast<std::int64_t>(2 * static_cast<TWide>(DeltaX) - QStep * Den);
  }
  Edges.push_back(Edge);
}

} // namespace

TPolygonRegion::TPolygonRegion(const TPoint* Points, int Count, TPolyFillMode Mode) {
  if (Points == nullptr || Count < 3) return;
  FPoints.assign(Points, Points + Count);
  FRings.push_back({0, static_cast<std::size_t>(Count), Mode});
  FValid = true;
}

void TPolygonRegion::Changed() {
  FRegionKnown = false;
  FKindKnown = false;
  FRegion = QRegion();
}

void TPolygonRegion::AppendXor(const TPolygonRegion& Other) {
  if (!FValid || !Other.FValid) return;
  // Exclusive-or keeps the pixels covered by an odd number of rings, so
  // combining is appending rings; appending a region to itself doubles every
  // ring and empties it, as it should.
  const std::vector<TPoint> OtherPoints = &Other == this ? FPoints : std::vector<TPoint>{};
  const std::vector<TRing> OtherRings = &Other == this ? FRings : std::vector<TRing>{};
  const std::vector<TPoint>& SourcePoints = &Other == this ? OtherPoints : Other.FPoints;
  const std::vector<TRing>& SourceRings = &Other == this ? OtherRings : Other.FRings;
  const std::size_t Offset = FPoints.size();
  FPoints.insert(FPoints.end(), SourcePoints.begin(), SourcePoints.end());
  for (TRing Ring : SourceRings) {
    Ring.First += Offset;
    FRings.push_back(Ring);
  }
  Changed();
}

TRegionKind TPolygonRegion::CombineXor(const TPolygonRegion& Other) {
  if (!FValid || !Other.FValid) return rkError;
  AppendXor(Other);
  return Kind();
}

TRegionKind TPolygonRegion::Kind() const {
  if (!FValid) return rkError;
  if (FKindKnown) return FKind;
  int Bands = 0;
  bool OneSpan = true;
  // Bands come joined, so a second band means more than one rectangle; the
  // scan stops as soon as that is clear.
  ScanBands(Rect(-Extent, -Extent, Extent, Extent),
            [&](std::int32_t, std::int32_t, const TSpan*, int Count) {
              ++Bands;
              OneSpan = Count == 1;
              return Bands == 1 && OneSpan;
            });
  FKind = Bands == 0 ? rkEmpty : (Bands == 1 && OneSpan ? rkSimple : rkComplex);
  FKindKnown = true;
  return FKind;
}

const QRegion& TPolygonRegion::Pixels() const {
  if (FRegionKnown) return FRegion;
  std::vector<QRect> Rects;
  if (FValid)
    ScanBands(Rect(-Extent, -Extent, Extent, Extent), [&](std::int32_t Top, std::int32_t Height,
                                                          const TSpan* Spans, int Count) {
      for (int Index = 0; Index < Count; ++Index)
        Rects.emplace_back(Spans[Index].Left, Top, Spans[Index].Right - Spans[Index].Left, Height);
      return true;
    });
  FRegion = QRegion();
  if (!Rects.empty()) FRegion.setRects(Rects.data(), static_cast<int>(Rects.size()));
  FRegionKnown = true;
  return FRegion;
}

// One pass over all rings for all rows. An active edge table walks the edges
// down the rows, kept in order of their crossings (rows change little, so an
// insertion sort keeps it in order cheaply). Along a row each crossing
// updates its ring's winding number; where a winding ring's number turns
// zero or non-zero, and at every crossing of an alternate ring, the ring's
// coverage begins or ends, and one parity for all rings toggles — a pixel is
// in the region when an odd number of rings cover it, which is the
// exclusive-or of the rings. Rows where only vertical edges are active
// repeat, and are handled as one band.
void TPolygonRegion::ScanBands(const TRect& ClipRect, const TBandSink& Sink) const {
  if (!FValid) return;
  // No pixel centre outside the points' bounds is inside a ring.
  TClip Clip{std::max(ClipRect.Left, -Extent), std::max(ClipRect.Top, -Extent),
             std::min(ClipRect.Right, Extent), std::min(ClipRect.Bottom, Extent)};
  const auto [MinX, MaxX] = std::minmax_element(FPoints.begin(), FPoints.end(),
                                                [](TPoint A, TPoint B) { return A.x < B.x; });
  const auto [MinY, MaxY] = std::minmax_element(FPoints.begin(), FPoints.end(),
                                                [](TPoint A, TPoint B) { return A.y < B.y; });
  Clip = {std::max(Clip.Left, MinX->x), std::max(Clip.Top, MinY->y), std::min(Clip.Right, MaxX->x),
          std::min(Clip.Bottom, MaxY->y)};
  if (Clip.Left >= Clip.Right || Clip.Top >= Clip.Bottom) return;

  std::vector<TEdge> Unsorted;
  Unsorted.reserve(FPoints.size());
  for (std::size_t RingIndex = 0; RingIndex < FRings.size(); ++RingIndex) {
    const TRing& Ring = FRings[RingIndex];
    const TPoint* Points = FPoints.data() + Ring.First;
    for (std::size_t Index = 0; Index < Ring.Count; ++Index)
      AddEdge(Unsorted, Points[Index], Points[Index + 1 == Ring.Count ? 0 : Index + 1],
              static_cast<std::uint32_t>(RingIndex), Ring.Mode == pfAlternate, Clip);
  }
  // Edges in order of their first row: by counting when the clip's rows are
  // few against the edges, else by sorting.
  std::vector<TEdge> Edges;
  const std::int64_t ClipRows = std::int64_t{Clip.Bottom} - Clip.Top;
  if (ClipRows <= 4 * static_cast<std::int64_t>(Unsorted.size()) + 4096) {
    std::vector<std::uint32_t> Starts(static_cast<std::size_t>(ClipRows) + 1, 0);
    for (const TEdge& Edge : Unsorted) ++Starts[static_cast<std::size_t>(Edge.Top - Clip.Top) + 1];
    for (std::size_t Row = 1; Row < Starts.size(); ++Row) Starts[Row] += Starts[Row - 1];
    Edges.resize(Unsorted.size());
    for (const TEdge& Edge : Unsorted)
      Edges[Starts[static_cast<std::size_t>(Edge.Top - Clip.Top)]++] = Edge;
  } else {
    Edges = std::move(Unsorted);
    std::sort(Edges.begin(), Edges.end(),
              [](const TEdge& A, const TEdge& B) { return A.Top < B.Top; });
  }

  auto Boundary = [&](const TEdge& Edge) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(Edge.Boundary(), Clip.Left, Clip.Right));
  };
  TBandJoiner Joiner(Sink);
  std::vector<std::uint32_t> Active; // in order of Current
  std::vector<int> Winding(FRings.size(), 0);
  std::vector<TSpan> Spans;
  std::size_t Next = 0;
  std::int32_t Y = Edges.empty() ? Clip.Bottom : Edges.front().Top;
  while (Y < Clip.Bottom) {
    std::erase_if(Active, [&](std::uint32_t Index) { return Edges[Index].Bottom <= Y; });
    while (Next < Edges.size() && Edges[Next].Top == Y) {
      Edges[Next].Current = Boundary(Edges[Next]);
      Active.push_back(static_cast<std::uint32_t>(Next++));
    }
    if (Active.empty()) {
      if (!Joiner.Flush() || Next == Edges.size()) break;
      Y = Edges[Next].Top;
      continue;
    }
    for (std::size_t Index = 1; Index < Active.size(); ++Index) {
      const std::uint32_t Moving = Active[Index];
      const std::int32_t Place = Edges[Moving].Current;
      std::size_t To = Index;
      for (; To > 0 && Edges[Active[To - 1]].Current > Place; --To) Active[To] = Active[To - 1];
      Active[To] = Moving;
    }

    Spans.clear();
    bool Inside = false;
    bool AllVertical = true;
    std::int32_t Start = Clip.Left;
    std::int32_t BandEnd = Next < Edges.size() ? Edges[Next].Top : Clip.Bottom;
    for (std::size_t Index = 0; Index < Active.size();) {
      const std::int32_t Place = Edges[Active[Index]].Current;
      bool Flip = false;
      for (; Index < Active.size() && Edges[Active[Index]].Current == Place; ++Index) {
        const TEdge& Edge = Edges[Active[Index]];
        AllVertical = AllVertical && Edge.Vertical();
        BandEnd = std::min(BandEnd, Edge.Bottom);
        if (Edge.Alternate)
          Flip = !Flip;
        else {
          int& Count = Winding[Edge.Ring];
          const bool Before = Count != 0;
          Count += Edge.Dir;
          if (Before != (Count != 0)) Flip = !Flip;
        }
      }
      if (!Flip) continue;
      Inside = !Inside;
      if (Inside)
        Start = Place;
      else
        Spans.push_back({Start, Place});
    }
    // A ring whose edges right of the clip were left out covers the rest of
    // the row.
    if (Inside && Start < Clip.Right) Spans.push_back({Start, Clip.Right});
    for (const std::uint32_t Index : Active) Winding[Edges[Index].Ring] = 0;

    const std::int32_t Height = AllVertical ? BandEnd - Y : 1;
    if (!Joiner.Add(Y, Height, Spans)) return;
    if (!AllVertical)
      for (const std::uint32_t Index : Active) {
        TEdge& Edge = Edges[Index];
        Edge.Step();
        Edge.Current = Boundary(Edge);
      }
    Y += Height;
  }
  Joiner.Flush();
}
