#include "Canvas.h"

#include "Bitmap.h"
#include "Errors.h"
#include "Region.h"
#include "Text.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

// Fills and one-pixel lines are rasterised here and written straight into
// the pixels: Qt's raster operations also change the background of hatch
// brushes, and its one-pixel lines leave out the end that comes last in its
// own drawing order rather than the end the line goes to. The painter draws
// only what needs Qt's geometry: wide pens and text.

namespace {

using TWide = __int128;

constexpr std::uint32_t Opaque = 0xFF000000u;
constexpr int DotsPerMeter = 3780; // 96 dpi
// Qt is handed coordinates only within this distance of the origin, where its
// fixed-point arithmetic is safe; wider paths are clipped first.
constexpr double QtLimit = 1 << 22;
constexpr int MaxPenWidth = 1 << 14;
constexpr int MaxFontPixels = 1024;
constexpr qsizetype MaxCachedText = 8; // characters of a text whose glyph pixels are kept

TWide FloorDiv(TWide Num, TWide Den) {
  if (Den < 0) {
    Num = -Num;
    Den = -Den;
  }
  TWide Quotient = Num / Den;
  if (Num % Den < 0) --Quotient;
  return Quotient;
}

std::uint32_t PixelOf(TColor Color) {
  const TColor Rgb = ColorToRGB(Color);
  return Opaque | (static_cast<std::uint32_t>(GetRValue(Rgb)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(Rgb)) << 8) |
         static_cast<std::uint32_t>(GetBValue(Rgb));
}

TColor ColorOfPixel(QRgb Pixel) { return RGB(qRed(Pixel), qGreen(Pixel), qBlue(Pixel)); }

bool Is32Bit(QImage::Format Format) {
  return Format == QImage::Format_RGB32 || Format == QImage::Format_ARGB32 ||
         Format == QImage::Format_ARGB32_Premultiplied;
}

// The pen modes as operations on a source (pen or brush) pixel S and the
// destination pixel D; the result is always opaque.
template <int Mode>
struct TRop {
  std::uint32_t operator()(std::uint32_t S, std::uint32_t D) const {
    std::uint32_t Result = D;
    if constexpr (Mode == pmBlack)
      Result = 0;
    else if constexpr (Mode == pmWhite)
      Result = 0xFFFFFF;
    else if constexpr (Mode == pmNop)
      Result = D;
    else if constexpr (Mode == pmNot)
      Result = ~D;
    else if constexpr (Mode == pmCopy)
      Result = S;
    else if constexpr (Mode == pmNotCopy)
      Result = ~S;
    else if constexpr (Mode == pmMergePenNot)
      Result = S | ~D;
    else if constexpr (Mode == pmMaskPenNot)
      Result = S & ~D;
    else if constexpr (Mode == pmMergeNotPen)
      Result = ~S | D;
    else if constexpr (Mode == pmMaskNotPen)
      Result = ~S & D;
    else if constexpr (Mode == pmMerge)
      Result = S | D;
    else if constexpr (Mode == pmNotMerge)
      Result = ~(S | D);
    else if constexpr (Mode == pmMask)
      Result = S & D;
    else if constexpr (Mode == pmNotMask)
      Result = ~(S & D);
    else if constexpr (Mode == pmXor)
      Result = S ^ D;
    else if constexpr (Mode == pmNotXor)
      Result = ~(S ^ D);
    return Result | Opaque;
  }
};

template <class TFn>
void WithRop(TPenMode Mode, TFn&& Fn) {
  switch (Mode) {
  case pmBlack:
    Fn(TRop<pmBlack>{});
    break;
  case pmWhite:
    Fn(TRop<pmWhite>{});
    break;
  case pmNop:
    break;
  case pmNot:
    Fn(TRop<pmNot>{});
    break;
  case pmCopy:
    Fn(TRop<pmCopy>{});
    break;
  case pmNotCopy:
    Fn(TRop<pmNotCopy>{});
    break;
  case pmMergePenNot:
    Fn(TRop<pmMergePenNot>{});
    break;
  case pmMaskPenNot:
    Fn(TRop<pmMaskPenNot>{});
    break;
  case pmMergeNotPen:
    Fn(TRop<pmMergeNotPen>{});
    break;
  case pmMaskNotPen:
    Fn(TRop<pmMaskNotPen>{});
    break;
  case pmMerge:
    Fn(TRop<pmMerge>{});
    break;
  case pmNotMerge:
    Fn(TRop<pmNotMerge>{});
    break;
  case pmMask:
    Fn(TRop<pmMask>{});
    break;
  case pmNotMask:
    Fn(TRop<pmNotMask>{});
    break;
  case pmXor:
    Fn(TRop<pmXor>{});
    break;
  case pmNotXor:
    Fn(TRop<pmNotXor>{});
    break;
  }
}

// The same operations for what the painter draws (wide pens).
QPainter::CompositionMode QtModeOf(TPenMode Mode) {
  switch (Mode) {
  case pmNop:
    return QPainter::CompositionMode_Destination;
  case pmNot:
    return QPainter::RasterOp_NotDestination;
  case pmNotCopy:
    return QPainter::RasterOp_NotSource;
  case pmMergePenNot:
    return QPainter::RasterOp_SourceOrNotDestination;
  case pmMaskPenNot:
    return QPainter::RasterOp_SourceAndNotDestination;
  case pmMergeNotPen:
    return QPainter::RasterOp_NotSourceOrDestination;
  case pmMaskNotPen:
    return QPainter::RasterOp_NotSourceAndDestination;
  case pmMerge:
    return QPainter::RasterOp_SourceOrDestination;
  case pmNotMerge:
    return QPainter::RasterOp_NotSourceAndNotDestination;
  case pmMask:
    return QPainter::RasterOp_SourceAndDestination;
  case pmNotMask:
    return QPainter::RasterOp_NotSourceOrNotDestination;
  case pmXor:
    return QPainter::RasterOp_SourceXorDestination;
  case pmNotXor:
    return QPainter::RasterOp_NotSourceXorDestination;
  default:
    return QPainter::CompositionMode_Source; // pmBlack, pmWhite, pmCopy
  }
}

struct TSurface {
  unsigned char* Bits = nullptr;
  qsizetype Stride = 0;
  int Width = 0;
  int Height = 0;
  [[nodiscard]] std::uint32_t* Row(std::int64_t Y) const {
    return reinterpret_cast<std::uint32_t*>(Bits + Y * Stride);
  }
};

// Qt's hatch patterns, 8 x 8 and tiled from the image origin: row Y & 7 has
// bit X & 7 set where a hatch line runs.
using THatch = std::array<std::uint8_t, 8>;

const THatch& HatchOf(TBrushStyle Style) {
  static const std::array<THatch, 6> Hatches = [] {
    std::array<THatch, 6> Result{};
    const Qt::BrushStyle QtStyles[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                       Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    for (std::size_t Index = 0; Index < Result.size(); ++Index) {
      QImage Tile(8, 8, QImage::Format_RGB32);
      Tile.fill(Qt::white);
      {
        QPainter Painter(&Tile);
        Painter.fillRect(Tile.rect(), QBrush(Qt::black, QtStyles[Index]));
      }
      for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
          if ((Tile.pixel(X, Y) & 0xFFFFFF) == 0) Result[Index][Y] |= 1u << X;
    }
    return Result;
  }();
  return Hatches[static_cast<std::size_t>(Style - bsHorizontal)];
}

enum TFillKind : std::uint8_t { fkNone, fkSolid, fkHatch, fkPattern };

// What a fill paints, resolved from the brush once per drawing call.
struct TFill {
  TFillKind Kind = fkNone;
  TPenMode Mode = pmCopy;
  std::uint32_t Color = Opaque;
  THatch Hatch{};
  QImage Pattern; // 32 bits a pixel, not empty
};

// Asks the pattern bitmap for its picture, which finishes drawing on it: call
// before binding, in case the pattern is the canvas's own bitmap.
TFill FillOf(const TBrush& Brush, TPenMode Mode) {
  TFill Fill;
  Fill.Mode = Mode;
  if (Mode == pmNop) return Fill;
  if (const TBitmap* Pattern = Brush.Bitmap(); Pattern != nullptr && !Pattern->Empty()) {
    Fill.Pattern = Pattern->Image();
    if (!Fill.Pattern.isNull()) {
      if (!Is32Bit(Fill.Pattern.format()))
        Fill.Pattern = Fill.Pattern.convertToFormat(QImage::Format_RGB32);
      Fill.Kind = fkPattern;
      return Fill;
    }
  }
  Fill.Color = PixelOf(Brush.Color());
  switch (Brush.Style()) {
  case bsSolid:
    Fill.Kind = fkSolid;
    break;
  case bsClear:
    Fill.Kind = fkNone;
    break;
  default:
    Fill.Kind = fkHatch;
    Fill.Hatch = HatchOf(Brush.Style());
    break;
  }
  return Fill;
}

TFill SolidFill(TColor Color, TPenMode Mode) {
  TFill Fill;
  Fill.Kind = Mode == pmNop ? fkNone : fkSolid;
  Fill.Mode = Mode;
  Fill.Color = PixelOf(Color);
  return Fill;
}

// Pixels [Left, Right) of row Y, all inside the surface.
template <class TOp>
void FillSpan(std::uint32_t* Row, std::int64_t Y, std::int64_t Left, std::int64_t Right,
              const TFill& Fill, TOp Op) {
  switch (Fill.Kind) {
  case fkNone:
    break;
  case fkSolid:
    for (std::int64_t X = Left; X < Right; ++X) Row[X] = Op(Fill.Color, Row[X]);
    break;
  case fkHatch: {
    const std::uint8_t Bits = Fill.Hatch[static_cast<std::size_t>(Y & 7)];
    if (Bits == 0) break;
    for (std::int64_t X = Left; X < Right; ++X)
      if (((Bits >> (X & 7)) & 1) != 0) Row[X] = Op(Fill.Color, Row[X]);
    break;
  }
  case fkPattern: {
    const std::int64_t Width = Fill.Pattern.width();
    const auto* Source = reinterpret_cast<const std::uint32_t*>(
        Fill.Pattern.constScanLine(static_cast<int>(Y % Fill.Pattern.height())));
    std::int64_t SourceX = Left % Width;
    for (std::int64_t X = Left; X < Right; ++X) {
      Row[X] = Op(Source[SourceX], Row[X]);
      if (++SourceX == Width) SourceX = 0;
    }
    break;
  }
  }
}

void FillBox(const TSurface& Surface, std::int64_t Left, std::int64_t Top, std::int64_t Right,
             std::int64_t Bottom, const TFill& Fill) {
  Left = std::max<std::int64_t>(Left, 0);
  Top = std::max<std::int64_t>(Top, 0);
  Right = std::min<std::int64_t>(Right, Surface.Width);
  Bottom = std::min<std::int64_t>(Bottom, Surface.Height);
  if (Fill.Kind == fkNone || Left >= Right || Top >= Bottom) return;
  WithRop(Fill.Mode, [&](auto Op) {
    for (std::int64_t Y = Top; Y < Bottom; ++Y) FillSpan(Surface.Row(Y), Y, Left, Right, Fill, Op);
  });
}

void FillRegion(const TSurface& Surface, const TPolygonRegion& Region, const TFill& Fill) {
  if (Fill.Kind == fkNone) return;
  WithRop(Fill.Mode, [&](auto Op) {
    Region.ScanBands(Rect(0, 0, Surface.Width, Surface.Height),
                     [&](std::int32_t Top, std::int32_t Height, const TSpan* Spans, int Count) {
                       for (std::int64_t Y = Top; Y < std::int64_t{Top} + Height; ++Y) {
                         std::uint32_t* Row = Surface.Row(Y);
                         for (int Index = 0; Index < Count; ++Index)
                           FillSpan(Row, Y, Spans[Index].Left, Spans[Index].Right, Fill, Op);
                       }
                       return true;
                     });
  });
}

// A one-pixel pen's dash pattern in pixels (Qt's lengths); the phase runs on
// along the lines of one drawing call.
struct TDash {
  std::uint32_t Mask = 1; // bit I set: pixel I of the period is drawn
  int Period = 1;
  std::int64_t Phase = 0;
  [[nodiscard]] bool On(std::int64_t Step) const {
    return ((Mask >> ((Phase + Step) % Period)) & 1) != 0;
  }
  void Advance(std::int64_t Steps) { Phase = (Phase + Steps) % Period; }
};

TDash DashOf(TPenStyle Style) {
  // Runs of on and off pixels, starting with on.
  auto Make = [](std::initializer_list<int> Runs) {
    TDash Dash;
    Dash.Mask = 0;
    Dash.Period = 0;
    bool On = true;
    for (const int Run : Runs) {
      for (int Index = 0; Index < Run; ++Index, ++Dash.Period)
        if (On) Dash.Mask |= 1u << Dash.Period;
      On = !On;
    }
    return Dash;
  };
  switch (Style) {
  case psDash:
    return Make({4, 2});
  case psDot:
    return Make({1, 2});
  case psDashDot:
    return Make({4, 2, 1, 2});
  case psDashDotDot:
    return Make({4, 2, 1, 2, 1, 2});
  default:
    return TDash{};
  }
}

Qt::PenStyle QtStyleOf(TPenStyle Style) {
  switch (Style) {
  case psDash:
    return Qt::DashLine;
  case psDot:
    return Qt::DotLine;
  case psDashDot:
    return Qt::DashDotLine;
  case psDashDotDot:
    return Qt::DashDotDotLine;
  case psClear:
    return Qt::NoPen;
  default:
    return Qt::SolidLine;
  }
}

// The pixels of the line From -> To without To itself, one per step along
// the longer axis. Only the steps inside the surface are walked.
template <class TOp>
void PlotLine(const TSurface& Surface, TPoint From, TPoint To, std::uint32_t Color, TOp Op,
              TDash& Dash) {
  const std::int64_t DeltaX = std::int64_t{To.x} - From.x;
  const std::int64_t DeltaY = std::int64_t{To.y} - From.y;
  const std::int64_t Steps = std::max(std::abs(DeltaX), std::abs(DeltaY));
  if (Steps == 0) return;
  const bool XMajor = std::abs(DeltaX) >= std::abs(DeltaY);
  const std::int64_t Major0 = XMajor ? From.x : From.y;
  const std::int64_t Minor0 = XMajor ? From.y : From.x;
  const std::int64_t MajorStep = (XMajor ? DeltaX : DeltaY) > 0 ? 1 : -1;
  const std::int64_t MinorDelta = XMajor ? DeltaY : DeltaX;
  const std::int64_t MajorSize = XMajor ? Surface.Width : Surface.Height;
  const std::int64_t MinorSize = XMajor ? Surface.Height : Surface.Width;
  std::int64_t First = 0;
  std::int64_t Last = Steps;
  if (MajorStep > 0) {
    First = std::max(First, -Major0);
    Last = std::min(Last, MajorSize - Major0);
  } else {
    First = std::max(First, Major0 - MajorSize + 1);
    Last = std::min(Last, Major0 + 1);
  }
  if (First < Last) {
    // Minor(I) = Minor0 + floor((2 I MinorDelta + Steps) / (2 Steps)).
    const std::int64_t Den = 2 * Steps;
    const TWide Num = 2 * static_cast<TWide>(First) * MinorDelta + Steps;
    const TWide Quotient = FloorDiv(Num, Den);
    std::int64_t Minor = Minor0 + static_cast<std::int64_t>(Quotient);
    auto Error = static_cast<std::int64_t>(Num - Quotient * Den);
    std::int64_t Major = Major0 + First * MajorStep;
    for (std::int64_t Step = First; Step < Last; ++Step) {
      if (Minor >= 0 && Minor < MinorSize && Dash.On(Step)) {
        std::uint32_t& Pixel = XMajor ? Surface.Row(Minor)[Major] : Surface.Row(Major)[Minor];
        Pixel = Op(Color, Pixel);
      }
      Major += MajorStep;
      Error += 2 * MinorDelta;
      if (Error >= Den) {
        Error -= Den;
        ++Minor;
      } else if (Error < 0) {
        Error += Den;
        --Minor;
      }
    }
  }
  Dash.Advance(Steps);
}

void ThinPath(const TSurface& Surface, const TPen& Pen, const TPoint* Points, int Count,
              bool Closed) {
  TDash Dash = DashOf(Pen.Style());
  const std::uint32_t Color = PixelOf(Pen.Color());
  WithRop(Pen.Mode(), [&](auto Op) {
    for (int Index = 0; Index + 1 < Count; ++Index)
      PlotLine(Surface, Points[Index], Points[Index + 1], Color, Op, Dash);
    if (Closed && Count > 1) PlotLine(Surface, Points[Count - 1], Points[0], Color, Op, Dash);
  });
}

enum TOutline : std::uint8_t { olNone, olThin, olWide };

TOutline OutlineOf(const TPen& Pen) {
  if (Pen.Style() == psClear || Pen.Mode() == pmNop) return olNone;
  return Pen.Width() <= 1 ? olThin : olWide;
}

QPen QtPenOf(const TPen& Pen, bool Cosmetic) {
  const TColor Color = Pen.Mode() == pmBlack   ? clBlack
                       : Pen.Mode() == pmWhite ? clWhite
                                               : Pen.Color();
  QPen Result(QColor::fromRgb(PixelOf(Color)));
  Result.setStyle(QtStyleOf(Pen.Style()));
  Result.setWidth(Cosmetic ? 0 : std::clamp(Pen.Width(), 2, MaxPenWidth));
  Result.setCapStyle(Cosmetic ? Qt::FlatCap : Qt::RoundCap);
  Result.setJoinStyle(Qt::RoundJoin);
  return Result;
}

// Cuts A-B down to the part inside Box; false when nothing is left.
bool ClipSegment(QPointF& A, QPointF& B, const QRectF& Box) {
  double Enter = 0;
  double Leave = 1;
  const double DX = B.x() - A.x();
  const double DY = B.y() - A.y();
  const double P[] = {-DX, DX, -DY, DY};
  const double Q[] = {A.x() - Box.left(), Box.right() - A.x(), A.y() - Box.top(),
                      Box.bottom() - A.y()};
  for (int Side = 0; Side < 4; ++Side) {
    if (P[Side] == 0) {
      if (Q[Side] < 0) return false;
      continue;
    }
    const double T = Q[Side] / P[Side];
    if (P[Side] < 0)
      Enter = std::max(Enter, T);
    else
      Leave = std::min(Leave, T);
    if (Enter > Leave) return false;
  }
  const QPointF Start = A;
  A = Start + QPointF(DX, DY) * Enter;
  B = Start + QPointF(DX, DY) * Leave;
  return true;
}

// Strokes a wide path with the painter's pen. Parts far outside the image are
// cut off where the pen cannot reach the image any more.
void StrokeWide(QPainter& Painter, std::vector<QPointF> Path, bool Closed, int PenWidth, int Width,
                int Height) {
  const double Margin = PenWidth + 2.0;
  const QRectF Box(-Margin, -Margin, Width + 2 * Margin, Height + 2 * Margin);
  auto Inside = [&](const QPointF& Point) {
    return Point.x() >= Box.left() && Point.x() <= Box.right() && Point.y() >= Box.top() &&
           Point.y() <= Box.bottom();
  };
  const auto Outside = std::find_if_not(Path.begin(), Path.end(), Inside);
  if (Outside == Path.end()) {
    if (Closed)
      Painter.drawPolygon(Path.data(), static_cast<int>(Path.size()));
    else
      Painter.drawPolyline(Path.data(), static_cast<int>(Path.size()));
    return;
  }
  if (Closed) {
    // Starting at a point outside puts the closing join outside as well.
    std::rotate(Path.begin(), Outside, Path.end());
    Path.push_back(Path.front());
  }
  std::vector<QPointF> Run;
  auto Flush = [&] {
    if (Run.size() > 1) Painter.drawPolyline(Run.data(), static_cast<int>(Run.size()));
    Run.clear();
  };
  for (std::size_t Index = 0; Index + 1 < Path.size(); ++Index) {
    QPointF A = Path[Index];
    QPointF B = Path[Index + 1];
    if (!ClipSegment(A, B, Box)) {
      Flush();
      continue;
    }
    if (Run.empty() || Run.back() != A) {
      Flush();
      Run.push_back(A);
    }
    Run.push_back(B);
    if (B != Path[Index + 1]) Flush();
  }
  Flush();
}

std::vector<QPointF> CentresOf(const TPoint* Points, int Count) {
  std::vector<QPointF> Result;
  Result.reserve(static_cast<std::size_t>(Count));
  for (int Index = 0; Index < Count; ++Index)
    Result.emplace_back(Points[Index].x + 0.5, Points[Index].y + 0.5);
  return Result;
}

int PixelSizeOf(int Points) {
  // Points at 96 dpi, rounded half away from zero: 8 pt is 11 pixels.
  const std::int64_t Size = Points == 0 ? 8 : std::abs(std::int64_t{Points});
  return static_cast<int>(std::clamp<std::int64_t>((Size * 96 + 36) / 72, 1, MaxFontPixels));
}

QFont QtFontOf(const TFont& Font) {
  QFont Result; // Qt's default family, kept when the name is unknown
  const QString Family = DisplayText(Font.Name());
  if (!Family.isEmpty() && QFontDatabase::hasFamily(Family)) Result.setFamily(Family);
  Result.setPixelSize(PixelSizeOf(Font.Size()));
  Result.setBold((Font.Style() & fsBold) != 0);
  Result.setItalic((Font.Style() & fsItalic) != 0);
  Result.setUnderline((Font.Style() & fsUnderline) != 0);
  Result.setStrikeOut((Font.Style() & fsStrikeOut) != 0);
  Result.setStyleStrategy(QFont::NoAntialias);
  return Result;
}

// The pixels of an ellipse inscribed in a box: those whose centres lie in
// the ellipse through the box's sides, and at least the middle pixel (or two)
// of every row and every column, so the shape reaches all four sides.
class TEllipseRows {
public:
  TEllipseRows(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2)
      : FX1(X1), FY1(Y1), FX2(X2), FY2(Y2), FCX((double(X1) + double(X2)) / 2),
        FCY((double(Y1) + double(Y2)) / 2), FA((double(X2) - double(X1)) / 2),
        FB((double(Y2) - double(Y1)) / 2), FMinHalfX((X2 - X1) % 2 == 0 ? 0.5 : 0.0),
        FMinHalfY((Y2 - Y1) % 2 == 0 ? 0.5 : 0.0) {}

  // [Left, Right) of row Y; Left >= Right when the row is empty.
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> Row(std::int64_t Y) const {
    if (Y < FY1 || Y >= FY2) return {0, 0};
    const double DY = double(Y) + 0.5 - FCY;
    if (std::abs(DY) <= FMinHalfY) return {FX1, FX2};
    const double T = DY / FB;
    const double Half = std::max(FA * std::sqrt(std::max(0.0, 1 - T * T)), FMinHalfX);
    const double Left = std::ceil(FCX - Half - 0.5);
    const double Right = std::floor(FCX + Half - 0.5) + 1;
    return {std::max(FX1, static_cast<std::int64_t>(std::max(Left, double(FX1)))),
            std::min(FX2, static_cast<std::int64_t>(std::min(Right, double(FX2))))};
  }

private:
  std::int64_t FX1, FY1, FX2, FY2;
  double FCX, FCY, FA, FB, FMinHalfX, FMinHalfY;
};

} // namespace

// The painter and the state applied to it; the font made for the canvas font.
// A font as Qt makes it, with its metrics and the pixels of the short texts
// drawn with it. Markers are drawn thousands of times per paint; laying out
// and rasterising each glyph again would cost more than the rest of the map.
struct TFontFace {
  explicit TFontFace(const QFont& Value) : Font(Value), Metrics(Value) {}

  // The glyph pixels of a text: a mask whose pixel (0, 0) lies at the text's
  // top-left corner plus (Left, Top), and the advance of the text.
  struct TRun {
    QImage Mask; // Format_Alpha8, 0 or 255 (text is not antialiased)
    int Left = 0;
    int Top = 0;
    int Advance = 0;
  };

  const TRun& Run(const QString& Text) {
    const auto Found = Runs.find(Text);
    if (Found != Runs.end()) return Found->second;
    if (Runs.size() >= MaxRuns) Runs.clear();
    return Runs.emplace(Text, Rasterise(Text)).first->second;
  }

  QFont Font;
  QFontMetrics Metrics;

private:
  static constexpr std::size_t MaxRuns = 1024;

  TRun Rasterise(const QString& Text) const {
    TRun Result;
    Result.Advance = Metrics.horizontalAdvance(Text);
    // Room for glyphs that reach beyond their cell (italics, accents).
    const int Pad = Metrics.height();
    QImage Canvas(Result.Advance + 2 * Pad, Metrics.height() + 2 * Pad, QImage::Format_Alpha8);
    Canvas.fill(0);
    {
      QPainter Painter(&Canvas);
      Painter.setFont(Font);
      Painter.setPen(QColor(0, 0, 0, 255));
      Painter.drawText(QPoint(Pad, Pad + Metrics.ascent()), Text);
    }
    int Left = Canvas.width(), Top = Canvas.height(), Right = -1, Bottom = -1;
    for (int Y = 0; Y < Canvas.height(); ++Y) {
      const uchar* Row = Canvas.constScanLine(Y);
      for (int X = 0; X < Canvas.width(); ++X)
        if (Row[X] >= 128) {
          Left = std::min(Left, X);
          Right = std::max(Right, X);
          Top = std::min(Top, Y);
          Bottom = std::max(Bottom, Y);
        }
    }
    if (Right >= 0) {
      Result.Mask = Canvas.copy(Left, Top, Right - Left + 1, Bottom - Top + 1);
      Result.Left = Left - Pad;
      Result.Top = Top - Pad;
    }
    return Result;
  }

  std::unordered_map<QString, TRun> Runs;
};

// Writes the glyph pixels of a text run in Color, clipped to the image.
void PaintRun(const TSurface& Pixels, const TFontFace::TRun& Run, std::int64_t X, std::int64_t Y,
              std::uint32_t Color) {
  if (Run.Mask.isNull()) return;
  const std::int64_t Left = X + Run.Left, Top = Y + Run.Top;
  const std::int64_t FirstRow = std::max<std::int64_t>(0, -Top);
  const std::int64_t LastRow = std::min<std::int64_t>(Run.Mask.height(), Pixels.Height - Top);
  const std::int64_t FirstColumn = std::max<std::int64_t>(0, -Left);
  const std::int64_t LastColumn = std::min<std::int64_t>(Run.Mask.width(), Pixels.Width - Left);
  for (std::int64_t Row = FirstRow; Row < LastRow; ++Row) {
    const uchar* Mask = Run.Mask.constScanLine(static_cast<int>(Row));
    std::uint32_t* Target = Pixels.Row(Top + Row) + Left;
    for (std::int64_t Column = FirstColumn; Column < LastColumn; ++Column)
      if (Mask[Column] >= 128) Target[Column] = Color;
  }
}

struct TCanvas::TQt {
  QImage View; // over the bound pixels
  std::unique_ptr<QPainter> Painter;
  QPen Pen;
  QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver;
  bool StateKnown = false;
  TFont PainterFont;
  bool PainterFontKnown = false;
  TFont FontOf;
  TFontFace* Face = nullptr; // FontOf's face in Faces
  std::unordered_map<std::string, std::unique_ptr<TFontFace>> Faces;

  void Use(const QPen& Value, QPainter::CompositionMode ModeValue) {
    if (!StateKnown || Mode != ModeValue) Painter->setCompositionMode(ModeValue);
    if (!StateKnown || Pen != Value) Painter->setPen(Value);
    Pen = Value;
    Mode = ModeValue;
    StateKnown = true;
  }
};

TCanvas::TCanvas(QImage* Image) : FImage(Image), FQt(std::make_unique<TQt>()) {
  if (Image == nullptr) throw Exception("TCanvas: no image to draw on");
}

TCanvas::~TCanvas() { Release(); }

bool TCanvas::Bind() {
  if (FBits != nullptr) {
    if (FImage->constBits() == FKeep.constBits() && FImage->width() == FBoundWidth &&
        FImage->height() == FBoundHeight && FImage->bytesPerLine() == FStride &&
        FImage->format() == FKeep.format())
      return true;
    Release(); // the owner replaced or detached the image
  }
  if (FImage->isNull()) return false;
  if (!Is32Bit(FImage->format())) *FImage = FImage->convertToFormat(QImage::Format_RGB32);
  FBits = FImage->bits(); // detaches from anyone else holding these pixels
  FKeep = *FImage;
  FStride = FImage->bytesPerLine();
  FBoundWidth = FImage->width();
  FBoundHeight = FImage->height();
  return true;
}

void TCanvas::Release() {
  if (FQt->Painter) {
    FQt->Painter->end();
    FQt->Painter.reset();
  }
  FQt->View = QImage();
  FQt->StateKnown = false;
  FQt->PainterFontKnown = false;
  FKeep = QImage();
  FBits = nullptr;
  FStride = 0;
  FBoundWidth = 0;
  FBoundHeight = 0;
}

QPainter* TCanvas::Painter() {
  if (!Bind()) return nullptr;
  if (!FQt->Painter) {
    FQt->View = QImage(FBits, FBoundWidth, FBoundHeight, FStride, FKeep.format());
    FQt->View.setDotsPerMeterX(DotsPerMeter);
    FQt->View.setDotsPerMeterY(DotsPerMeter);
    auto Painter = std::make_unique<QPainter>();
    if (!Painter->begin(&FQt->View)) {
      FQt->View = QImage();
      return nullptr;
    }
    Painter->setRenderHint(QPainter::Antialiasing, false);
    Painter->setRenderHint(QPainter::TextAntialiasing, false);
    Painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter->setBrush(Qt::NoBrush);
    FQt->Painter = std::move(Painter);
    FQt->StateKnown = false;
    FQt->PainterFontKnown = false;
  }
  return FQt->Painter.get();
}

void TCanvas::Changed() {
  if (FOnChange) FOnChange();
}

const QFont& TCanvas::QtFont() { return Face().Font; }

TFontFace& TCanvas::Face() {
  if (!FQt->Face || !(FQt->FontOf == FFont)) {
    // Faces are told apart by what shapes the glyphs; the colour is applied when drawing.
    const std::string Key =
        FFont.Name() + '\n' + std::to_string(FFont.Size()) + '\n' + std::to_string(FFont.Style());
    std::unique_ptr<TFontFace>& Face = FQt->Faces[Key];
    if (!Face) Face = std::make_unique<TFontFace>(QtFontOf(FFont));
    FQt->Face = Face.get();
    FQt->FontOf = FFont;
  }
  return *FQt->Face;
}

void TCanvas::StrokeOutline(const TPoint* Points, int Count, bool Closed) {
  switch (OutlineOf(FPen)) {
  case olNone:
    break;
  case olThin:
    if (Bind()) ThinPath({FBits, FStride, FBoundWidth, FBoundHeight}, FPen, Points, Count, Closed);
    break;
  case olWide:
    if (QPainter* Painter = this->Painter()) {
      FQt->Use(QtPenOf(FPen, false), QtModeOf(FPen.Mode()));
      StrokeWide(*Painter, CentresOf(Points, Count), Closed, std::min(FPen.Width(), MaxPenWidth),
                 FBoundWidth, FBoundHeight);
    }
    break;
  }
}

void TCanvas::LineTo(int X, int Y) {
  const TPoint Points[] = {FPenPos, {X, Y}};
  if (Points[0] != Points[1]) StrokeOutline(Points, 2, false);
  FPenPos = {X, Y};
  Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
  if (Points != nullptr && Count > 1) StrokeOutline(Points, Count, false);
  Changed();
}

void TCanvas::Polygon(const TPoint* Points, int Count) {
  if (Points != nullptr && Count > 0) {
    const TFill Fill = FillOf(FBrush, FPen.Mode());
    if (Count >= 3 && Fill.Kind != fkNone && Bind())
      FillRegion({FBits, FStride, FBoundWidth, FBoundHeight},
                 TPolygonRegion(Points, Count, pfAlternate), Fill);
    StrokeOutline(Points, Count, true);
  }
  Changed();
}

// Puts swapped corners of a box in order; false when the box holds no pixel.
static bool OrderBox(int& X1, int& Y1, int& X2, int& Y2) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
  return X1 != X2 && Y1 != Y2;
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  if (!OrderBox(X1, Y1, X2, Y2)) {
    Changed();
    return;
  }
  const TFill Fill = FillOf(FBrush, FPen.Mode());
  const TOutline Outline = OutlineOf(FPen);
  if (Bind()) {
    const std::int64_t Inset = Outline == olNone ? 0 : 1;
    FillBox({FBits, FStride, FBoundWidth, FBoundHeight}, std::int64_t{X1} + Inset,
            std::int64_t{Y1} + Inset, std::int64_t{X2} - Inset, std::int64_t{Y2} - Inset, Fill);
  }
  if (Outline != olNone) {
    // The outline runs through the centres of the box's outer pixels; a box
    // one pixel thin is a single line that must not go back over itself.
    if (std::int64_t{X2} - X1 == 1) {
      const TPoint Line[] = {{X1, Y1}, {X1, Y2}};
      StrokeOutline(Line, 2, false);
    } else if (std::int64_t{Y2} - Y1 == 1) {
      const TPoint Line[] = {{X1, Y1}, {X2, Y1}};
      StrokeOutline(Line, 2, false);
    } else {
      const TPoint Corners[] = {{X1, Y1}, {X2 - 1, Y1}, {X2 - 1, Y2 - 1}, {X1, Y2 - 1}};
      StrokeOutline(Corners, 4, true);
    }
  }
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  if (!OrderBox(X1, Y1, X2, Y2)) {
    Changed();
    return;
  }
  const TFill Fill = FillOf(FBrush, FPen.Mode());
  TOutline Outline = OutlineOf(FPen);
  const bool InQtRange = std::abs(double(X1)) < QtLimit && std::abs(double(X2)) < QtLimit &&
                         std::abs(double(Y1)) < QtLimit && std::abs(double(Y2)) < QtLimit;
  // Qt draws wide and dashed outlines; one reaching beyond what it can take
  // is drawn with a one-pixel pen.
  const bool QtOutline = Outline == olWide || (Outline == olThin && FPen.Style() != psSolid &&
                                               FPen.Style() != psInsideFrame);
  const bool OwnOutline = Outline != olNone && (!QtOutline || !InQtRange);
  if (Bind()) {
    const TSurface Surface{FBits, FStride, FBoundWidth, FBoundHeight};
    const TEllipseRows Rows(X1, Y1, X2, Y2);
    const TFill PenFill = SolidFill(FPen.Color(), FPen.Mode());
    const std::int64_t Top = std::max<std::int64_t>(Y1, 0);
    const std::int64_t Bottom = std::min<std::int64_t>(Y2, Surface.Height);
    auto Above = Rows.Row(Top - 1);
    auto Here = Rows.Row(Top);
    for (std::int64_t Y = Top; Y < Bottom; ++Y) {
      const auto Below = Rows.Row(Y + 1);
      if (!OwnOutline)
        FillBox(Surface, Here.first, Y, Here.second, Y + 1, Fill);
      else {
        // The outline is the ellipse's pixels next to a pixel outside it.
        std::int64_t InnerLeft = std::max({Here.first + 1, Above.first, Below.first});
        std::int64_t InnerRight = std::min({Here.second - 1, Above.second, Below.second});
        if (InnerLeft >= InnerRight) InnerLeft = InnerRight = Here.second;
        FillBox(Surface, InnerLeft, Y, InnerRight, Y + 1, Fill);
        FillBox(Surface, Here.first, Y, InnerLeft, Y + 1, PenFill);
        FillBox(Surface, InnerRight, Y, Here.second, Y + 1, PenFill);
      }
      Above = Here;
      Here = Below;
    }
  }
  if (QtOutline && !OwnOutline)
    if (QPainter* Painter = this->Painter()) {
      FQt->Use(QtPenOf(FPen, Outline == olThin), QtModeOf(FPen.Mode()));
      Painter->drawEllipse(QRectF(X1 + 0.5, Y1 + 0.5, double(X2) - X1 - 1, double(Y2) - Y1 - 1));
    }
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  const TFill Fill = FillOf(FBrush, pmCopy);
  if (Bind())
    FillBox({FBits, FStride, FBoundWidth, FBoundHeight}, Rect.Left, Rect.Top, Rect.Right,
            Rect.Bottom, Fill);
  Changed();
}

void TCanvas::PaintRegion(const TPolygonRegion& Region) {
  const TFill Fill = FillOf(FBrush, FPen.Mode());
  if (Region.Valid() && Fill.Kind != fkNone && Bind())
    FillRegion({FBits, FStride, FBoundWidth, FBoundHeight}, Region, Fill);
  Changed();
}

// Short texts (map markers, labels) are drawn from the face's cache of glyph
// pixels; longer ones go through the painter.
void TCanvas::TextOut(int X, int Y, std::string_view Text) {
  const QString Shown = DisplayText(Text);
  TFontFace& Face = this->Face();
  const bool Cached = Shown.size() <= MaxCachedText;
  const TFontFace::TRun* Run = Cached ? &Face.Run(Shown) : nullptr;
  const std::int64_t Right =
      std::int64_t{X} + (Run ? Run->Advance : Face.Metrics.horizontalAdvance(Shown));
  const std::int64_t Bottom = std::int64_t{Y} + Face.Metrics.height();
  if (FBrush.Style() == bsSolid && Bind())
    FillBox({FBits, FStride, FBoundWidth, FBoundHeight}, X, Y, Right, Bottom,
            SolidFill(FBrush.Color(), pmCopy));
  if (Run) {
    // Text is drawn over what is there whatever the pen mode, as the
    // framework draws it.
    if (Bind())
      PaintRun({FBits, FStride, FBoundWidth, FBoundHeight}, *Run, X, Y, PixelOf(FFont.Color()));
  } else {
    const bool Visible = Right > 0 && Bottom > 0 && X < Width() && Y < Height() &&
                         std::abs(double(X)) < QtLimit && std::abs(double(Y)) < QtLimit;
    if (!Shown.isEmpty() && Visible)
      if (QPainter* Painter = this->Painter()) {
        FQt->Use(QPen(QColor::fromRgb(PixelOf(FFont.Color()))),
                 QPainter::CompositionMode_SourceOver);
        if (!FQt->PainterFontKnown || !(FQt->PainterFont == FFont)) {
          Painter->setFont(Face.Font);
          FQt->PainterFont = FFont;
          FQt->PainterFontKnown = true;
        }
        Painter->drawText(QPoint(X, Y + Face.Metrics.ascent()), Shown);
      }
  }
  FPenPos = {static_cast<std::int32_t>(std::clamp<std::int64_t>(Right, INT32_MIN, INT32_MAX)), Y};
  Changed();
}

int TCanvas::TextWidth(std::string_view Text) {
  const QString Shown = DisplayText(Text);
  TFontFace& Face = this->Face();
  return Shown.size() <= MaxCachedText ? Face.Run(Shown).Advance
                                       : Face.Metrics.horizontalAdvance(Shown);
}

int TCanvas::TextHeight(std::string_view /*Text*/) { return Face().Metrics.height(); }

void TCanvas::Draw(int X, int Y, const TBitmap& Bitmap) {
  // Taking the picture finishes drawing on the bitmap, this canvas included
  // when it is the bitmap's own; binding afterwards then detaches the pixels
  // drawn on from the copy read.
  QImage Source = Bitmap.Image();
  const bool Transparent = Bitmap.Transparent();
  const std::uint32_t Key = PixelOf(Transparent ? Bitmap.TransparentColor() : clBlack) & 0xFFFFFF;
  if (!Source.isNull() && Bind()) {
    if (!Is32Bit(Source.format())) Source = Source.convertToFormat(QImage::Format_RGB32);
    const std::int64_t Left = std::max<std::int64_t>(X, 0);
    const std::int64_t Right =
        std::min<std::int64_t>(std::int64_t{X} + Source.width(), FBoundWidth);
    const std::int64_t Top = std::max<std::int64_t>(Y, 0);
    const std::int64_t Bottom =
        std::min<std::int64_t>(std::int64_t{Y} + Source.height(), FBoundHeight);
    const TSurface Surface{FBits, FStride, FBoundWidth, FBoundHeight};
    for (std::int64_t Row = Top; Row < Bottom; ++Row) {
      std::uint32_t* To = Surface.Row(Row);
      const auto* From =
          reinterpret_cast<const std::uint32_t*>(Source.constScanLine(static_cast<int>(Row - Y)));
      if (Transparent) {
        for (std::int64_t Column = Left; Column < Right; ++Column)
          if (const std::uint32_t Pixel = From[Column - X]; (Pixel & 0xFFFFFF) != Key)
            To[Column] = Pixel | Opaque;
      } else if (Source.format() == QImage::Format_RGB32) {
        // Opaque already: a whole map image is copied this way at every paint.
        if (Right > Left)
          std::memcpy(To + Left, From + (Left - X),
                      static_cast<std::size_t>(Right - Left) * sizeof(std::uint32_t));
      } else {
        for (std::int64_t Column = Left; Column < Right; ++Column)
          To[Column] = From[Column - X] | Opaque;
      }
    }
  }
  Changed();
}

void TCanvas::CopyRect(const TRect& DestRect, TCanvas& Source, const TRect& SourceRect) {
  // A shallow copy: when Source is this canvas, binding detaches the pixels
  // written from the pixels read.
  QImage From = Source.Image();
  const std::int64_t DestWidth = std::int64_t{DestRect.Right} - DestRect.Left;
  const std::int64_t DestHeight = std::int64_t{DestRect.Bottom} - DestRect.Top;
  const std::int64_t SourceWidth = std::int64_t{SourceRect.Right} - SourceRect.Left;
  const std::int64_t SourceHeight = std::int64_t{SourceRect.Bottom} - SourceRect.Top;
  if (!From.isNull() && DestWidth != 0 && DestHeight != 0 && SourceWidth != 0 &&
      SourceHeight != 0 && Bind()) {
    if (!Is32Bit(From.format())) From = From.convertToFormat(QImage::Format_RGB32);
    // Destination pixel D maps to the source pixel under its centre:
    // S = SourceStart + floor((2 (D - DestStart) + 1) SourceSize / (2 DestSize)).
    auto Map = [](std::int64_t Start, std::int64_t Size, std::int64_t Limit,
                  std::int64_t SourceStart, std::int64_t SourceSize) {
      const std::int64_t Low = std::max<std::int64_t>(std::min(Start, Start + Size), 0);
      const std::int64_t High = std::min<std::int64_t>(std::max(Start, Start + Size), Limit);
      std::vector<std::int64_t> Result;
      for (std::int64_t D = Low; D < High; ++D)
        Result.push_back(SourceStart +
                         static_cast<std::int64_t>(FloorDiv(
                             (2 * static_cast<TWide>(D - Start) + 1) * SourceSize, 2 * Size)));
      return std::pair(Low, Result);
    };
    const auto [Left, Columns] =
        Map(DestRect.Left, DestWidth, FBoundWidth, SourceRect.Left, SourceWidth);
    const auto [Top, Rows] =
        Map(DestRect.Top, DestHeight, FBoundHeight, SourceRect.Top, SourceHeight);
    const TSurface Surface{FBits, FStride, FBoundWidth, FBoundHeight};
    for (std::size_t Row = 0; Row < Rows.size(); ++Row) {
      if (Rows[Row] < 0 || Rows[Row] >= From.height()) continue;
      const auto* Line =
          reinterpret_cast<const std::uint32_t*>(From.constScanLine(static_cast<int>(Rows[Row])));
      std::uint32_t* To = Surface.Row(Top + static_cast<std::int64_t>(Row));
      for (std::size_t Column = 0; Column < Columns.size(); ++Column)
        if (Columns[Column] >= 0 && Columns[Column] < From.width())
          To[Left + static_cast<std::int64_t>(Column)] = Line[Columns[Column]] | Opaque;
    }
  }
  Changed();
}

TColor TCanvas::Pixel(int X, int Y) {
  Release();
  if (X < 0 || Y < 0 || X >= FImage->width() || Y >= FImage->height()) return clNone;
  return ColorOfPixel(FImage->pixel(X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
  if (Bind() && X >= 0 && Y >= 0 && X < FBoundWidth && Y < FBoundHeight)
    TSurface{FBits, FStride, FBoundWidth, FBoundHeight}.Row(Y)[X] = PixelOf(Color);
  Changed();
}

int TCanvas::Width() const { return FImage->width(); }

int TCanvas::Height() const { return FImage->height(); }

QImage& TCanvas::Image() {
  Release();
  return *FImage;
}
