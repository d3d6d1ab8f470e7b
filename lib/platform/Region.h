#pragma once
// Pixel regions as the drawing calls know them: a polygon region filled by the
// winding rule, and exclusive-or combination that answers what kind of region
// came out.
//
// A pixel belongs to a polygon when its centre does; a centre exactly on an
// edge belongs to the pixels right of that edge. A region keeps its rings and
// turns them into rows of pixels only when asked (painting, Kind, Pixels), so
// combining many rings costs no more than the rings themselves.

#include "Types.h"

#include <QRegion>
#include <cstdint>
#include <functional>
#include <vector>

enum TRegionKind : std::uint8_t { rkError, rkEmpty, rkSimple, rkComplex };

// How a ring decides which pixels it covers: alternate (even-odd) or winding
// (non-zero).
enum TPolyFillMode : std::uint8_t { pfAlternate, pfWinding };

// Pixels [Left, Right) of one row.
struct TSpan {
  std::int32_t Left = 0;
  std::int32_t Right = 0;
  friend bool operator==(const TSpan&, const TSpan&) = default;
};

class TPolygonRegion {
public:
  // Regions cover at most the pixels within Extent of the origin in each
  // direction ([-Extent, Extent)); Kind and Pixels describe that part, and any
  // image lies inside it. Vertices may lie anywhere.
  static constexpr std::int32_t Extent = 1 << 20;

  TPolygonRegion() = default;
  // The pixels inside the polygon by the winding rule (or Mode). Valid() is
  // false when the points make no polygon (fewer than three).
  TPolygonRegion(const TPoint* Points, int Count, TPolyFillMode Mode = pfWinding);

  [[nodiscard]] bool Valid() const { return FValid; }
  // Makes this region the pixels in exactly one of the two regions. Answers
  // rkError, and changes nothing, when either region is not valid.
  TRegionKind CombineXor(const TPolygonRegion& Other);
  // The same combination without working out the kind, for combining many
  // rings: call Kind() once at the end.
  void AppendXor(const TPolygonRegion& Other);
  [[nodiscard]] TRegionKind Kind() const;
  // The region as a QRegion (empty when not valid).
  [[nodiscard]] const QRegion& Pixels() const;

  // Answers false to stop the scan.
  using TBandSink =
      std::function<bool(std::int32_t Top, std::int32_t Height, const TSpan* Spans, int Count)>;
  // Hands the part of the region inside Clip to Sink, top to bottom, as bands:
  // every row in [Top, Top + Height) holds exactly the spans given (sorted,
  // neither empty nor touching). Consecutive bands differ or are not adjacent.
  void ScanBands(const TRect& Clip, const TBandSink& Sink) const;

private:
  struct TRing {
    std::size_t First = 0; // index of the ring's first point in FPoints
    std::size_t Count = 0;
    TPolyFillMode Mode = pfWinding;
  };

  void Changed();

  std::vector<TPoint> FPoints; // the rings' points, one ring after another
  std::vector<TRing> FRings;
  bool FValid = false;
  mutable QRegion FRegion; // Pixels(), made on demand
  mutable bool FRegionKnown = false;
  mutable TRegionKind FKind = rkError; // Kind(), worked out on demand
  mutable bool FKindKnown = false;
};
