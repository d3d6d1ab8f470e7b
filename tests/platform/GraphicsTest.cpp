#include "Bitmap.h"
#include "Canvas.h"
#include "Errors.h"
#include "Region.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr TColor Ink = clBlack;

// A background where every pixel differs from its neighbours, so that a
// drawing that is off by one pixel or undone imperfectly shows.
void FillWithPattern(TBitmap& Bitmap) {
  for (int Y = 0; Y < Bitmap.Height(); ++Y)
    for (int X = 0; X < Bitmap.Width(); ++X)
      Bitmap.SetPixel(X, Y, RGB(X * 37 + Y * 11, X * 5 ^ Y * 29, (X + Y) * 13 + 7));
}

void Clear(TBitmap& Bitmap, TColor Color = clWhite) {
  TCanvas& Canvas = *Bitmap.Canvas();
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(Color);
  Canvas.Brush().SetBitmap(nullptr);
  Canvas.FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
}

// Rows of the bitmap: '#' where the pixel has the colour, '.' elsewhere.
std::vector<std::string> Picture(const TBitmap& Bitmap, TColor Color, int Width = -1,
                                 int Height = -1) {
  std::vector<std::string> Rows;
  for (int Y = 0; Y < (Height < 0 ? Bitmap.Height() : Height); ++Y) {
    std::string Row;
    for (int X = 0; X < (Width < 0 ? Bitmap.Width() : Width); ++X)
      Row += Bitmap.Pixel(X, Y) == Color ? '#' : '.';
    Rows.push_back(Row);
  }
  return Rows;
}

// The pixels that differ between two pictures of the same size.
std::vector<std::pair<int, int>> Differences(const QImage& A, const QImage& B) {
  std::vector<std::pair<int, int>> Result;
  for (int Y = 0; Y < A.height(); ++Y)
    for (int X = 0; X < A.width(); ++X)
      if ((A.pixel(X, Y) & 0xFFFFFF) != (B.pixel(X, Y) & 0xFFFFFF)) Result.emplace_back(X, Y);
  return Result;
}

struct TBox {
  int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN; // Right, Bottom exclusive
  friend bool operator==(const TBox&, const TBox&) = default;
};

void PrintTo(const TBox& Box, std::ostream* Out) {
  *Out << "(" << Box.Left << ", " << Box.Top << ", " << Box.Right << ", " << Box.Bottom << ")";
}

TBox BoxOf(const TBitmap& Bitmap, TColor Background) {
  TBox Box;
  for (int Y = 0; Y < Bitmap.Height(); ++Y)
    for (int X = 0; X < Bitmap.Width(); ++X)
      if (Bitmap.Pixel(X, Y) != Background) {
        Box.Left = std::min(Box.Left, X);
        Box.Top = std::min(Box.Top, Y);
        Box.Right = std::max(Box.Right, X + 1);
        Box.Bottom = std::max(Box.Bottom, Y + 1);
      }
  return Box;
}

const TPoint Star[] = {{32, 4}, {50, 58}, {4, 22}, {60, 22}, {14, 58}};

TPolygonRegion RingWithHole() {
  const TPoint Outer[] = {{4, 4}, {60, 4}, {60, 60}, {4, 60}};
  const TPoint Inner[] = {{20, 20}, {44, 20}, {44, 44}, {20, 44}};
  TPolygonRegion Region(Outer, 4);
  Region.AppendXor(TPolygonRegion(Inner, 4));
  return Region;
}

struct TXorCase {
  const char* Name;
  std::function<void(TCanvas&)> Draw;
};

const TXorCase XorCases[] = {
    {"line",
     [](TCanvas& C) {
       C.MoveTo(3, 60);
       C.LineTo(61, 5);
     }},
    {"steep_line_up",
     [](TCanvas& C) {
       C.MoveTo(40, 62);
       C.LineTo(35, 1);
     }},
    {"polyline_crossing_itself",
     [](TCanvas& C) {
       const TPoint Points[] = {{2, 2}, {60, 60}, {60, 2}, {2, 60}, {30, 10}};
       C.Polyline(Points, 5);
     }},
    {"polygon_star", [](TCanvas& C) { C.Polygon(Star, 5); }},
    {"rectangle", [](TCanvas& C) { C.Rectangle(5, 7, 50, 40); }},
    {"rectangle_one_pixel_high", [](TCanvas& C) { C.Rectangle(5, 7, 50, 8); }},
    {"ellipse", [](TCanvas& C) { C.Ellipse(3, 9, 61, 50); }},
    {"region_with_hole", [](TCanvas& C) { C.PaintRegion(RingWithHole()); }},
};

struct TStyleCase {
  const char* Name;
  int PenWidth;
  TPenStyle PenStyle;
  TBrushStyle BrushStyle;
  bool PatternBrush;
};

const TStyleCase XorStyles[] = {
    {"thin_solid", 1, psSolid, bsSolid, false},
    {"wide_pen_hatch", 5, psSolid, bsDiagCross, false},
    {"dashed_pattern", 1, psDashDot, bsSolid, true},
};

TEST(CanvasXor, DrawingTwiceRestoresThePixels) {
  TBitmap Pattern(8, 8);
  FillWithPattern(Pattern);
  for (const TPenMode Mode : {pmXor, pmNotXor})
    for (const TStyleCase& Style : XorStyles)
      for (const TXorCase& Case : XorCases) {
        SCOPED_TRACE(std::string(Case.Name) + "/" + Style.Name +
                     (Mode == pmXor ? "/xor" : "/notxor"));
        TBitmap Bitmap(64, 64);
        FillWithPattern(Bitmap);
        const QImage Before = Bitmap.Image().copy();
        TCanvas& Canvas = *Bitmap.Canvas();
        Canvas.Pen().SetMode(Mode);
        Canvas.Pen().SetColor(clAqua);
        Canvas.Pen().SetWidth(Style.PenWidth);
        Canvas.Pen().SetStyle(Style.PenStyle);
        Canvas.Brush().SetColor(RGB(200, 40, 90));
        Canvas.Brush().SetStyle(Style.BrushStyle);
        Canvas.Brush().SetBitmap(Style.PatternBrush ? &Pattern : nullptr);
        Case.Draw(Canvas);
        EXPECT_FALSE(Differences(Bitmap.Image(), Before).empty()) << "the first drawing shows";
        Case.Draw(Canvas);
        EXPECT_TRUE(Differences(Bitmap.Image(), Before).empty());
      }
}

// What each pen mode makes of a source pixel S and a destination pixel D.
struct TModeCase {
  TPenMode Mode;
  std::uint32_t (*Result)(std::uint32_t S, std::uint32_t D);
};

const TModeCase ModeCases[] = {
    {pmBlack, [](std::uint32_t, std::uint32_t) { return 0u; }},
    {pmWhite, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }},
    {pmNop, [](std::uint32_t, std::uint32_t D) { return D; }},
    {pmNot, [](std::uint32_t, std::uint32_t D) { return ~D; }},
    {pmCopy, [](std::uint32_t S, std::uint32_t) { return S; }},
    {pmNotCopy, [](std::uint32_t S, std::uint32_t) { return ~S; }},
    {pmMergePenNot, [](std::uint32_t S, std::uint32_t D) { return S | ~D; }},
    {pmMaskPenNot, [](std::uint32_t S, std::uint32_t D) { return S & ~D; }},
    {pmMergeNotPen, [](std::uint32_t S, std::uint32_t D) { return ~S | D; }},
    {pmMaskNotPen, [](std::uint32_t S, std::uint32_t D) { return ~S & D; }},
    {pmMerge, [](std::uint32_t S, std::uint32_t D) { return S | D; }},
    {pmNotMerge, [](std::uint32_t S, std::uint32_t D) { return ~(S | D); }},
    {pmMask, [](std::uint32_t S, std::uint32_t D) { return S & D; }},
    {pmNotMask, [](std::uint32_t S, std::uint32_t D) { return ~(S & D); }},
    {pmXor, [](std::uint32_t S, std::uint32_t D) { return S ^ D; }},
    {pmNotXor, [](std::uint32_t S, std::uint32_t D) { return ~(S ^ D); }},
};

TEST(CanvasPenMode, LinesFillsAndWidePensApplyTheSameRasterOperation) {
  const TColor Source = RGB(0x0F, 0xF0, 0x33);
  const TColor Background = RGB(0x12, 0x34, 0x56);
  for (const TModeCase& Case : ModeCases) {
    SCOPED_TRACE(static_cast<int>(Case.Mode));
    const TColor Expected = static_cast<TColor>(Case.Result(Source, Background) & 0xFFFFFF);
    TBitmap Bitmap(32, 32);
    Clear(Bitmap, Background);
    TCanvas& Canvas = *Bitmap.Canvas();
    Canvas.Pen().SetMode(Case.Mode);
    Canvas.Pen().SetColor(Source);
    Canvas.Brush().SetColor(Source);
    Canvas.Rectangle(2, 2, 12, 12); // outline and fill
    Canvas.MoveTo(2, 20);
    Canvas.LineTo(12, 20);
    Canvas.Pen().SetWidth(4);
    Canvas.MoveTo(20, 10);
    Canvas.LineTo(28, 10);
    EXPECT_EQ(Bitmap.Pixel(2, 2), Expected) << "outline";
    EXPECT_EQ(Bitmap.Pixel(6, 6), Expected) << "fill";
    EXPECT_EQ(Bitmap.Pixel(5, 20), Expected) << "line";
    EXPECT_EQ(Bitmap.Pixel(24, 10), Expected) << "wide line";
    EXPECT_EQ(Bitmap.Pixel(0, 0), Background);
  }
}

struct TBoxCase {
  const char* Name;
  std::function<void(TCanvas&)> Draw;
  TBox Expected;
};

TEST(CanvasShapes, BoxesLeaveTheRightAndBottomEdgeOut) {
  const TBoxCase Cases[] = {
      {"rectangle", [](TCanvas& C) { C.Rectangle(3, 4, 10, 9); }, {3, 4, 10, 9}},
      {"rectangle_corners_swapped", [](TCanvas& C) { C.Rectangle(10, 9, 3, 4); }, {3, 4, 10, 9}},
      {"rectangle_without_pen",
       [](TCanvas& C) {
         C.Pen().SetStyle(psClear);
         C.Rectangle(3, 4, 10, 9);
       },
       {3, 4, 10, 9}},
      {"rectangle_one_pixel", [](TCanvas& C) { C.Rectangle(5, 5, 6, 6); }, {5, 5, 6, 6}},
      {"fill_rect", [](TCanvas& C) { C.FillRect(Rect(3, 4, 10, 9)); }, {3, 4, 10, 9}},
      {"fill_rect_inverted_is_empty", [](TCanvas& C) { C.FillRect(Rect(10, 9, 3, 4)); }, {}},
      {"ellipse", [](TCanvas& C) { C.Ellipse(2, 3, 14, 11); }, {2, 3, 14, 11}},
      {"ellipse_tall_and_thin", [](TCanvas& C) { C.Ellipse(2, 1, 6, 15); }, {2, 1, 6, 15}},
      {"ellipse_without_pen",
       [](TCanvas& C) {
         C.Pen().SetStyle(psClear);
         C.Ellipse(2, 3, 15, 12);
       },
       {2, 3, 15, 12}},
      {"line",
       [](TCanvas& C) {
         C.MoveTo(2, 3);
         C.LineTo(9, 3);
       },
       {2, 3, 9, 4}},
      {"line_backwards",
       [](TCanvas& C) {
         C.MoveTo(9, 3);
         C.LineTo(2, 3);
       },
       {3, 3, 10, 4}},
  };
  for (const TBoxCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBitmap Bitmap(16, 16);
    Bitmap.Canvas()->Brush().SetColor(clRed);
    Case.Draw(*Bitmap.Canvas());
    EXPECT_EQ(BoxOf(Bitmap, clWhite), Case.Expected);
  }
}

TEST(CanvasShapes, RectangleOutlinesWithThePenAndFillsInside) {
  TBitmap Bitmap(8, 7);
  TCanvas& Canvas = *Bitmap.Canvas();
  Canvas.Pen().SetColor(Ink);
  Canvas.Brush().SetColor(clRed);
  Canvas.Rectangle(1, 1, 7, 6);
  const std::vector<std::string> Outline = {
      "........", //
      ".######.", //
      ".#....#.", //
      ".#....#.", //
      ".#....#.", //
      ".######.", //
      "........",
  };
  EXPECT_EQ(Picture(Bitmap, Ink), Outline);
  EXPECT_EQ(BoxOf(Bitmap, clWhite), (TBox{1, 1, 7, 6}));
  EXPECT_EQ(Bitmap.Pixel(2, 2), clRed);
  EXPECT_EQ(Bitmap.Pixel(5, 4), clRed);
}

TEST(CanvasShapes, EllipseIsSymmetricWithItsOutlineAroundTheFill) {
  for (const TBox Box : {TBox{1, 1, 30, 20}, TBox{2, 3, 12, 28}, TBox{0, 0, 31, 31}}) {
    SCOPED_TRACE(Box.Right);
    TBitmap Bitmap(32, 32);
    TCanvas& Canvas = *Bitmap.Canvas();
    Canvas.Brush().SetColor(clRed);
    Canvas.Ellipse(Box.Left, Box.Top, Box.Right, Box.Bottom);
    for (int Y = 0; Y < 32; ++Y)
      for (int X = 0; X < 32; ++X) {
        const int MirrorX = Box.Left + Box.Right - 1 - X;
        const int MirrorY = Box.Top + Box.Bottom - 1 - Y;
        if (MirrorX >= 0 && MirrorX < 32) {
          ASSERT_EQ(Bitmap.Pixel(X, Y), Bitmap.Pixel(MirrorX, Y)) << X << "," << Y;
        }
        if (MirrorY >= 0 && MirrorY < 32) {
          ASSERT_EQ(Bitmap.Pixel(X, Y), Bitmap.Pixel(X, MirrorY)) << X << "," << Y;
        }
        // Every fill pixel lies inside the outline: its four neighbours are
        // outline or fill.
        if (Bitmap.Pixel(X, Y) != clRed) continue;
        for (const auto& [DX, DY] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
          ASSERT_NE(Bitmap.Pixel(X + DX, Y + DY), clWhite) << X << "," << Y;
      }
    EXPECT_EQ(Bitmap.Pixel((Box.Left + Box.Right) / 2, (Box.Top + Box.Bottom) / 2), clRed);
  }
}

TEST(CanvasLines, LineToLeavesOutTheLastPixelInEveryDirection) {
  const TPoint Ends[] = {{14, 8}, {14, 12}, {10, 14}, {5, 13}, {2, 8}, {4, 3}, {8, 2}, {13, 4}};
  for (const TPoint End : Ends) {
    SCOPED_TRACE(std::to_string(End.x) + "," + std::to_string(End.y));
    TBitmap Bitmap(16, 16);
    TCanvas& Canvas = *Bitmap.Canvas();
    Canvas.MoveTo(8, 8);
    Canvas.LineTo(End.x, End.y);
    EXPECT_EQ(Canvas.PenPos(), End);
    EXPECT_EQ(Bitmap.Pixel(8, 8), Ink) << "the first pixel is drawn";
    EXPECT_EQ(Bitmap.Pixel(End.x, End.y), clWhite) << "the last pixel is not";
    int Drawn = 0;
    for (int Y = 0; Y < 16; ++Y)
      for (int X = 0; X < 16; ++X) Drawn += Bitmap.Pixel(X, Y) == Ink;
    EXPECT_EQ(Drawn, std::max(std::abs(End.x - 8), std::abs(End.y - 8)))
        << "one pixel per step along the longer axis";
  }
  TBitmap Bitmap(8, 8);
  Bitmap.Canvas()->MoveTo(3, 3);
  Bitmap.Canvas()->LineTo(3, 3);
  EXPECT_EQ(BoxOf(Bitmap, clWhite), TBox{}) << "a line of no length draws nothing";
}

TEST(CanvasLines, PolylineDrawsEveryPixelOnceAndNotItsLastPoint) {
  const TPoint Points[] = {{1, 1}, {12, 1}, {12, 9}, {3, 6}, {3, 13}};
  TBitmap Copy(16, 16);
  Copy.Canvas()->Polyline(Points, 5);
  TBitmap Xor(16, 16);
  Xor.Canvas()->Pen().SetMode(pmXor);
  Xor.Canvas()->Pen().SetColor(clWhite);
  Xor.Canvas()->Polyline(Points, 5);
  // Exclusive-or shows every pixel drawn an odd number of times: a polyline
  // that does not cross itself must look the same as in copy mode.
  EXPECT_EQ(Picture(Xor, clBlack), Picture(Copy, Ink));
  EXPECT_EQ(Copy.Pixel(3, 13), clWhite);
  EXPECT_EQ(Copy.Pixel(3, 12), Ink);
  EXPECT_EQ(Copy.Pixel(12, 1), Ink) << "inner points are drawn";
  EXPECT_EQ(Copy.Canvas()->PenPos(), (TPoint{0, 0})) << "the pen position stays";
}

TEST(CanvasLines, DashesFollowQtsLengths) {
  struct TCase {
    TPenStyle Style;
    const char* Row;
  } Cases[] = {
      {psSolid, "####################."},      {psDash, "####..####..####..##."},
      {psDot, "#..#..#..#..#..#..#.."},        {psDashDot, "####..#..####..#..##."},
      {psDashDotDot, "####..#..#..####..#.."}, {psClear, "....................."},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Row);
    TBitmap Bitmap(21, 1);
    Bitmap.Canvas()->Pen().SetStyle(Case.Style);
    Bitmap.Canvas()->MoveTo(0, 0);
    Bitmap.Canvas()->LineTo(20, 0);
    EXPECT_EQ(Picture(Bitmap, Ink)[0], Case.Row);
  }
}

TEST(CanvasFill, PolygonFillsAlternateWhereTheRegionFillsWinding) {
  TBitmap Polygon(64, 64);
  Polygon.Canvas()->Pen().SetStyle(psClear);
  Polygon.Canvas()->Brush().SetColor(Ink);
  Polygon.Canvas()->Polygon(Star, 5);
  TBitmap Region(64, 64);
  Region.Canvas()->Brush().SetColor(Ink);
  Region.Canvas()->PaintRegion(TPolygonRegion(Star, 5));
  EXPECT_EQ(Polygon.Pixel(32, 34), clWhite) << "the star's centre is crossed twice";
  EXPECT_EQ(Region.Pixel(32, 34), Ink) << "the centre winds twice";
  EXPECT_EQ(Polygon.Pixel(32, 10), Ink) << "a point of the star";
  EXPECT_EQ(Region.Pixel(32, 10), Ink);
  // Apart from the centre the two agree.
  for (int Y = 0; Y < 64; ++Y)
    for (int X = 0; X < 64; ++X)
      if (Polygon.Pixel(X, Y) == Ink) {
        ASSERT_EQ(Region.Pixel(X, Y), Ink) << X << "," << Y;
      }
}

TEST(CanvasFill, AreaRingsCombineSoThatHolesAndIslandsComeOut) {
  const TPoint Outer[] = {{2, 2}, {30, 2}, {30, 30}, {2, 30}};
  const TPoint Hole[] = {{8, 8}, {24, 8}, {24, 24}, {8, 24}};
  const TPoint Island[] = {{12, 12}, {20, 12}, {20, 20}, {12, 20}};
  const TPoint Across[] = {{26, 0}, {32, 0}, {32, 32}, {26, 32}}; // overlaps the outer ring
  TPolygonRegion Region(Outer, 4);
  for (const auto* Ring : {Hole, Island, Across}) Region.AppendXor(TPolygonRegion(Ring, 4));
  TBitmap Bitmap(32, 32);
  Bitmap.Canvas()->Brush().SetColor(Ink);
  Bitmap.Canvas()->PaintRegion(Region);
  EXPECT_EQ(Bitmap.Pixel(4, 4), Ink) << "outer ring";
  EXPECT_EQ(Bitmap.Pixel(9, 9), clWhite) << "hole";
  EXPECT_EQ(Bitmap.Pixel(16, 16), Ink) << "island in the hole";
  EXPECT_EQ(Bitmap.Pixel(28, 16), clWhite) << "covered twice";
  EXPECT_EQ(Bitmap.Pixel(31, 16), Ink) << "covered once by the ring across the edge";
  EXPECT_EQ(Bitmap.Pixel(29, 1), Ink);
  EXPECT_EQ(Bitmap.Pixel(1, 1), clWhite);
}

TEST(CanvasFill, PatternBrushTilesFromTheImageOrigin) {
  TBitmap Pattern(8, 8);
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X) Pattern.SetPixel(X, Y, RGB(X * 30, Y * 30, 99));
  const std::function<void(TCanvas&)> Fills[] = {
      [](TCanvas& C) { C.FillRect(Rect(3, 5, 29, 30)); },
      [](TCanvas& C) {
        C.Pen().SetStyle(psClear);
        const TPoint Points[] = {{3, 5}, {29, 5}, {29, 30}, {3, 30}};
        C.Polygon(Points, 4);
      },
      [](TCanvas& C) {
        const TPoint Points[] = {{3, 5}, {29, 5}, {29, 30}, {3, 30}};
        C.PaintRegion(TPolygonRegion(Points, 4));
      },
  };
  for (const auto& Fill : Fills) {
    TBitmap Bitmap(32, 32);
    Bitmap.Canvas()->Brush().SetBitmap(&Pattern);
    Fill(*Bitmap.Canvas());
    for (int Y = 5; Y < 30; ++Y)
      for (int X = 3; X < 29; ++X)
        ASSERT_EQ(Bitmap.Pixel(X, Y), Pattern.Pixel(X % 8, Y % 8)) << X << "," << Y;
    EXPECT_EQ(Bitmap.Pixel(2, 5), clWhite);
    EXPECT_EQ(Bitmap.Pixel(29, 29), clWhite);
  }
}

TEST(CanvasFill, HatchBrushesAreQtsPatternsOverAnUntouchedBackground) {
  const std::pair<TBrushStyle, Qt::BrushStyle> Styles[] = {
      {bsHorizontal, Qt::HorPattern},  {bsVertical, Qt::VerPattern},
      {bsFDiagonal, Qt::FDiagPattern}, {bsBDiagonal, Qt::BDiagPattern},
      {bsCross, Qt::CrossPattern},     {bsDiagCross, Qt::DiagCrossPattern},
  };
  for (const auto& [Style, QtStyle] : Styles) {
    SCOPED_TRACE(static_cast<int>(Style));
    QImage Reference(24, 24, QImage::Format_RGB32);
    Reference.fill(Qt::white);
    {
      QPainter Painter(&Reference);
      Painter.fillRect(QRect(3, 2, 18, 20), QBrush(Qt::black, QtStyle));
    }
    TBitmap Bitmap(24, 24);
    Bitmap.Canvas()->Brush().SetStyle(Style);
    Bitmap.Canvas()->Brush().SetColor(Ink);
    Bitmap.Canvas()->FillRect(Rect(3, 2, 21, 22));
    EXPECT_TRUE(Differences(Bitmap.Image(), Reference).empty());

    // In not-xor mode only the hatch lines change.
    TBitmap Patterned(24, 24);
    FillWithPattern(Patterned);
    const QImage Before = Patterned.Image().copy();
    TCanvas& Canvas = *Patterned.Canvas();
    Canvas.Pen().SetMode(pmNotXor);
    Canvas.Brush().SetStyle(Style);
    Canvas.Brush().SetColor(clBlack); // not-xor with black inverts
    const TPoint Points[] = {{3, 2}, {21, 2}, {21, 22}, {3, 22}};
    Canvas.PaintRegion(TPolygonRegion(Points, 4));
    for (int Y = 0; Y < 24; ++Y)
      for (int X = 0; X < 24; ++X)
        ASSERT_EQ((Before.pixel(X, Y) & 0xFFFFFF) == (Patterned.Image().pixel(X, Y) & 0xFFFFFF),
                  Bitmap.Pixel(X, Y) == clWhite)
            << X << "," << Y;
  }
}

TEST(CanvasText, ClearBrushLeavesTheBackgroundBetweenTheGlyphs) {
  TBitmap Bitmap(80, 24);
  Clear(Bitmap, clYellow);
  TCanvas& Canvas = *Bitmap.Canvas();
  Canvas.Font().SetColor(clNavy);
  Canvas.Brush().SetStyle(bsClear);
  Canvas.TextOut(5, 4, "Mim");
  const int Width = Canvas.TextWidth("Mim");
  const int Height = Canvas.TextHeight("Mim");
  int Glyph = 0;
  int Background = 0;
  for (int Y = 0; Y < 24; ++Y)
    for (int X = 0; X < 80; ++X) {
      const TColor Color = Bitmap.Pixel(X, Y);
      const bool InCell = X >= 5 && X < 5 + Width && Y >= 4 && Y < 4 + Height;
      ASSERT_TRUE(Color == clYellow || (Color == clNavy && InCell))
          << "only glyph pixels, in the font colour, inside the cell: " << X << "," << Y;
      if (InCell) (Color == clNavy ? Glyph : Background)++;
    }
  EXPECT_GT(Glyph, 10);
  EXPECT_GT(Background, Glyph);
  EXPECT_EQ(Canvas.PenPos(), (TPoint{5 + Width, 4}));
}

TEST(CanvasText, SolidBrushFillsTheTextCell) {
  TBitmap Bitmap(80, 24);
  Clear(Bitmap, clYellow);
  TCanvas& Canvas = *Bitmap.Canvas();
  Canvas.Font().SetColor(clNavy);
  Canvas.Brush().SetColor(clSilver);
  Canvas.TextOut(5, 4, "Mim");
  const int Width = Canvas.TextWidth("Mim");
  const int Height = Canvas.TextHeight("Mim");
  for (int Y = 0; Y < 24; ++Y)
    for (int X = 0; X < 80; ++X) {
      const bool InCell = X >= 5 && X < 5 + Width && Y >= 4 && Y < 4 + Height;
      const TColor Color = Bitmap.Pixel(X, Y);
      if (InCell) {
        ASSERT_TRUE(Color == clSilver || Color == clNavy) << X << "," << Y;
      } else {
        ASSERT_EQ(Color, clYellow) << X << "," << Y;
      }
    }
}

TEST(CanvasText, MetricsFollowTheFont) {
  TBitmap Bitmap(4, 4);
  TCanvas& Canvas = *Bitmap.Canvas();
  QFont Eleven("DejaVu Sans");
  Eleven.setPixelSize(11);
  EXPECT_EQ(Canvas.TextHeight("x"), QFontMetrics(Eleven).height()) << "8 pt is 11 pixels";
  EXPECT_EQ(Canvas.TextWidth(""), 0);
  const int Plain = Canvas.TextWidth("Wide words");
  Canvas.Font().SetStyle(fsBold);
  EXPECT_GT(Canvas.TextWidth("Wide words"), Plain);
  Canvas.Font().SetStyle(0);
  Canvas.Font().SetSize(16);
  EXPECT_GT(Canvas.TextHeight("x"), QFontMetrics(Eleven).height());
  EXPECT_EQ(Canvas.TextWidth("caf\xC3\xA9"), Canvas.TextWidth("caf\xE9"))
      << "UTF-8 and Windows-1252 bytes of the same word";
  Canvas.Font().SetName("No Such Family At All");
  const int Unknown = Canvas.TextWidth("Wide words");
  Canvas.Font().SetName(QFont().family().toStdString());
  EXPECT_EQ(Unknown, Canvas.TextWidth("Wide words")) << "unknown names fall back to the default";
}

TEST(CanvasBitmap, DrawCopiesOrLeavesOutTheTransparentColour) {
  TBitmap Sprite(4, 3);
  Clear(Sprite, clLime);
  Sprite.SetPixel(1, 1, clRed);
  Sprite.SetPixel(0, 2, clBlue); // bottom-left
  struct TCase {
    const char* Name;
    std::function<void(TBitmap&)> Set;
    std::vector<std::string> Lime, Blue;
  } Cases[] = {
      {"opaque",
       [](TBitmap& B) { B.SetTransparent(false); },
       {"......", "..####", "..#.##", "...###"},
       {"......", "......", "......", "..#..."}},
      {"automatic_takes_the_bottom_left_colour",
       [](TBitmap& B) {
         B.SetTransparent(true);
         B.SetTransparentMode(tmAuto);
       },
       {"......", "..####", "..#.##", "...###"},
       {"......", "......", "......", "......"}},
      {"fixed_colour",
       [](TBitmap& B) {
         B.SetTransparent(true);
         B.SetTransparentColor(clLime);
       },
       {"......", "......", "......", "......"},
       {"......", "......", "......", "..#..."}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Case.Set(Sprite);
    TBitmap Bitmap(6, 4);
    Clear(Bitmap, clRed);
    Bitmap.Canvas()->Draw(2, 1, Sprite);
    EXPECT_EQ(Picture(Bitmap, clLime), Case.Lime);
    EXPECT_EQ(Picture(Bitmap, clBlue), Case.Blue);
    EXPECT_EQ(Bitmap.Pixel(3, 2), clRed) << "the sprite's red pixel or the background";
  }
  EXPECT_EQ(Sprite.TransparentMode(), tmFixed) << "storing a colour fixes it";
  Sprite.SetTransparentMode(tmAuto);
  EXPECT_EQ(Sprite.TransparentColor(), clBlue);
  Sprite.SetTransparentMode(tmFixed);
  Sprite.SetPixel(0, 2, clLime);
  EXPECT_EQ(Sprite.TransparentColor(), clBlue) << "fixing keeps the colour found";

  TBitmap Clipped(3, 3);
  Sprite.SetTransparent(false);
  Clipped.Canvas()->Draw(-2, -1, Sprite);
  EXPECT_EQ(Clipped.Pixel(0, 0), Sprite.Pixel(2, 1));
  EXPECT_EQ(Clipped.Pixel(1, 1), Sprite.Pixel(3, 2));
  EXPECT_EQ(Clipped.Pixel(2, 2), clWhite);
}

TEST(CanvasBitmap, CopyRectCopiesScalesMirrorsAndCopiesOntoItself) {
  TBitmap Source(4, 4);
  FillWithPattern(Source);
  auto S = [&](int X, int Y) { return Source.Pixel(X, Y); };

  TBitmap Plain(8, 8);
  Plain.Canvas()->CopyRect(Rect(3, 2, 6, 4), *Source.Canvas(), Rect(1, 1, 4, 3));
  EXPECT_EQ(Plain.Pixel(3, 2), S(1, 1));
  EXPECT_EQ(Plain.Pixel(5, 3), S(3, 2));
  EXPECT_EQ(BoxOf(Plain, clWhite), (TBox{3, 2, 6, 4}));

  TBitmap Doubled(8, 8);
  Doubled.Canvas()->CopyRect(Rect(0, 0, 8, 8), *Source.Canvas(), Rect(0, 0, 4, 4));
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X) ASSERT_EQ(Doubled.Pixel(X, Y), S(X / 2, Y / 2)) << X << "," << Y;

  TBitmap Mirrored(4, 4);
  Mirrored.Canvas()->CopyRect(Rect(4, 0, 0, 4), *Source.Canvas(), Rect(0, 0, 4, 4));
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) ASSERT_EQ(Mirrored.Pixel(X, Y), S(3 - X, Y));

  TBitmap Self(4, 4);
  FillWithPattern(Self);
  const QImage Before = Self.Image().copy();
  Self.Canvas()->CopyRect(Rect(1, 0, 4, 4), *Self.Canvas(), Rect(0, 0, 3, 4));
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 1; X < 4; ++X)
      ASSERT_EQ(Self.Image().pixel(X, Y) & 0xFFFFFF, Before.pixel(X - 1, Y) & 0xFFFFFF)
          << "read before written: " << X << "," << Y;
}

TEST(CanvasBitmap, SetSizeKeepsPixelsAndRefusesImpossibleSizes) {
  TBitmap Bitmap;
  EXPECT_TRUE(Bitmap.Empty());
  Bitmap.SetWidth(5);
  Bitmap.SetHeight(4);
  EXPECT_EQ(Bitmap.Width(), 5) << "a zero-height bitmap keeps its width";
  EXPECT_EQ(Bitmap.Height(), 4);
  Bitmap.SetPixel(4, 3, clRed);
  Bitmap.SetSize(7, 6);
  EXPECT_EQ(Bitmap.Pixel(4, 3), clRed);
  EXPECT_EQ(Bitmap.Pixel(6, 5), clWhite);
  EXPECT_EQ(Bitmap.Pixel(7, 0), clNone);
  EXPECT_EQ(Bitmap.Image().dotsPerMeterX(), 3780);
  EXPECT_THROW(Bitmap.SetSize(INT_MAX, INT_MAX), Exception);
  EXPECT_EQ(Bitmap.Width(), 7);
  EXPECT_EQ(Bitmap.Pixel(4, 3), clRed);
  Bitmap.SetSize(-3, 2);
  EXPECT_EQ(Bitmap.Width(), 0);
  EXPECT_TRUE(Bitmap.Empty());

  TBitmap Source(3, 3);
  Source.SetPixel(1, 1, clRed);
  Source.SetTransparent(true);
  TBitmap Copy;
  Copy.Assign(Source);
  Copy.SetPixel(1, 1, clBlue);
  EXPECT_EQ(Source.Pixel(1, 1), clRed) << "the copy draws on its own pixels";
  EXPECT_TRUE(Copy.Transparent());
  EXPECT_EQ(Copy.Width(), 3);
}

TEST(CanvasLifetime, ACanvasFollowsItsImageWhenTheOwnerReplacesIt) {
  QImage Image(16, 16, QImage::Format_RGB32);
  Image.fill(Qt::white);
  TCanvas Canvas(&Image);
  int Changes = 0;
  Canvas.SetOnChange([&] { ++Changes; });
  Canvas.Pen().SetWidth(3);
  Canvas.MoveTo(2, 2);
  Canvas.LineTo(12, 2); // opens the painter
  Canvas.TextOut(1, 5, "a");
  EXPECT_EQ(Image.pixel(6, 2) & 0xFFFFFF, 0u) << "the owner sees the drawing";
  // The owner replaces and then detaches its image without telling the canvas.
  Image = QImage(40, 30, QImage::Format_RGB32);
  Image.fill(Qt::white);
  Canvas.MoveTo(30, 20);
  Canvas.LineTo(38, 20);
  EXPECT_EQ(Image.pixel(34, 20) & 0xFFFFFF, 0u);
  QImage Shared = Image;
  Image.fill(Qt::yellow); // detaches from the copy
  Canvas.Brush().SetColor(clRed);
  Canvas.FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(Image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Shared.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu) << "white before, and not drawn on";
  EXPECT_EQ(Image.pixel(5, 5) & 0xFFFFFF, 0xFFFF00u);
  EXPECT_EQ(Changes, 4);
  EXPECT_EQ(Canvas.Width(), 40);

  TBitmap Bitmap(10, 10);
  Bitmap.Canvas()->Pen().SetWidth(2);
  Bitmap.Canvas()->TextOut(0, 0, "x");
  Bitmap.SetSize(30, 30);
  Bitmap.Canvas()->MoveTo(20, 25);
  Bitmap.Canvas()->LineTo(28, 25);
  EXPECT_EQ(Bitmap.Pixel(24, 25), Ink);
  EXPECT_THROW(TCanvas(nullptr), Exception);
}

// Drawing calls with coordinates far outside the image, at the ends of the
// 32-bit range, and on empty images must neither crash nor overflow, and must
// still draw what falls inside.
TEST(CanvasHostile, ExtremeCoordinatesAreClipped) {
  constexpr int Min = INT_MIN;
  constexpr int Max = INT_MAX;
  TBitmap Pattern(8, 8);
  FillWithPattern(Pattern);
  const std::function<void(TCanvas&)> Draws[] = {
      [](TCanvas& C) {
        C.MoveTo(Min, Min);
        C.LineTo(Max, Max);
      },
      [](TCanvas& C) {
        C.MoveTo(Max, Min);
        C.LineTo(Min, Max);
      },
      [](TCanvas& C) {
        const TPoint Points[] = {{Min, Min}, {Max, Min}, {Max, Max}, {Min, Max}, {0, 0}};
        C.Polyline(Points, 5);
        C.Polygon(Points, 5);
        C.PaintRegion(TPolygonRegion(Points, 5));
      },
      [](TCanvas& C) { C.Rectangle(Min, Min, Max, Max); },
      [](TCanvas& C) { C.Ellipse(Min, Min, Max, Max); },
      [](TCanvas& C) { C.Ellipse(Min, 3, Max, 4); },
      [](TCanvas& C) { C.FillRect(Rect(Min, Min, Max, Max)); },
      [](TCanvas& C) {
        C.TextOut(Max, Max, "far");
        C.TextOut(Min, 3, "far");
      },
      [](TCanvas& C) { C.TextOut(Max - 3, 2, "end of the range"); },
      [&](TCanvas& C) {
        TBitmap Sprite(3, 3);
        C.Draw(Max, Max, Sprite);
        C.Draw(Min, Min, Sprite);
        C.Draw(Max - 1, 0, Pattern);
      },
      [](TCanvas& C) {
        TBitmap Other(5, 5);
        C.CopyRect(Rect(Min, Min, Max, Max), *Other.Canvas(), Rect(0, 0, 5, 5));
        C.CopyRect(Rect(0, 0, 5, 5), *Other.Canvas(), Rect(Min, Min, Max, Max));
        C.CopyRect(Rect(0, 0, 5, 5), *Other.Canvas(), Rect(Max, Max, Min, Min));
      },
      [](TCanvas& C) {
        C.SetPixel(Min, Max, clRed);
        (void)C.Pixel(Max, Min);
      },
  };
  for (const int PenWidth : {1, 7, INT_MAX})
    for (const TPenMode Mode : {pmCopy, pmXor})
      for (const bool UsePattern : {false, true})
        for (const auto& Draw : Draws) {
          for (TBitmap* Bitmap : {new TBitmap(16, 16), new TBitmap(), new TBitmap(0, 9)}) {
            std::unique_ptr<TBitmap> Owned(Bitmap);
            TCanvas& Canvas = *Bitmap->Canvas();
            Canvas.Pen().SetWidth(PenWidth);
            Canvas.Pen().SetMode(Mode);
            Canvas.Brush().SetBitmap(UsePattern ? &Pattern : nullptr);
            Canvas.Font().SetSize(Max);
            Draw(Canvas);
          }
        }

  // What falls inside is still drawn.
  TBitmap Bitmap(16, 16);
  TCanvas& Canvas = *Bitmap.Canvas();
  Canvas.MoveTo(Min, 5);
  Canvas.LineTo(Max, 5);
  EXPECT_EQ(Picture(Bitmap, Ink)[5], std::string(16, '#'));
  Canvas.Brush().SetColor(clRed);
  const TPoint Huge[] = {{Min, Min}, {Max, Min}, {Max, Max}, {Min, Max}};
  Canvas.PaintRegion(TPolygonRegion(Huge, 4));
  EXPECT_EQ(BoxOf(Bitmap, clRed), TBox{}) << "the region covers every pixel";
  Canvas.Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(Bitmap.Pixel(8, 8), clRed) << "inside a huge ellipse";
}

} // namespace
