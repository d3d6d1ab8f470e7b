#pragma once
// The framework's canvas: drawing on a QImage with the framework's pen, brush
// and font, without antialiasing. Pen modes map to raster operations (copy,
// exclusive-or, not-xor) and apply to lines and fills alike, so drawing a
// shape twice in an exclusive-or mode restores the pixels exactly.
//
// Coordinates are pixels; rectangles take (X1, Y1, X2, Y2) with the right and
// bottom edge exclusive, like the framework. A canvas keeps one painter open
// on its image between drawing calls; Release closes it (the bitmap does that
// before anyone reads or resizes the picture).
//
// Whoever owns the image should take it through Image() (or call Release)
// before changing or replacing it. A canvas that finds its image changed
// behind its back draws on the new pixels from its next call on; it never
// keeps painting on pixels its image no longer holds.

#include "Graphics.h"
#include "Types.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TBitmap;
struct TFontFace;
class TPolygonRegion;
class QFont;
class QPainter;

class TCanvas {
public:
  // Image is not owned and must outlive the canvas (or be released first).
  // Images that are not 32 bits a pixel are converted to Format_RGB32 when
  // first drawn on. Raises Exception when Image is null.
  explicit TCanvas(QImage* Image);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  [[nodiscard]] TPen& Pen() { return FPen; }
  [[nodiscard]] TBrush& Brush() { return FBrush; }
  [[nodiscard]] TFont& Font() { return FFont; }
  void SetPen(const TPen& Value) { FPen = Value; }
  void SetBrush(const TBrush& Value) { FBrush = Value; }
  void SetFont(const TFont& Value) { FFont = Value; }

  [[nodiscard]] TPoint PenPos() const { return FPenPos; }
  void MoveTo(int X, int Y) { FPenPos = {X, Y}; }
  // A line from the pen position to (X, Y), without its last pixel.
  void LineTo(int X, int Y);
  // Connected lines through the points, not closed; the last point itself is
  // not drawn, so polylines joined end to start draw every pixel once.
  void Polyline(const TPoint* Points, int Count);
  // Filled with the brush (alternate rule), outlined with the pen, closed.
  void Polygon(const TPoint* Points, int Count);
  // The outline covers X1..X2-1 x Y1..Y2-1 and the brush fills inside it
  // (all of it when the pen is clear); swapped corners are put in order.
  void Rectangle(int X1, int Y1, int X2, int Y2);
  // Inscribed in the box Rectangle would draw.
  void Ellipse(int X1, int Y1, int X2, int Y2);
  // Fills with the brush only, in copy mode.
  void FillRect(const TRect& Rect);
  // Fills the region with the brush in the current pen mode.
  void PaintRegion(const TPolygonRegion& Region);

  // Text with its top-left corner at (X, Y): the brush colour behind it when
  // the brush style is solid, nothing behind it when it is clear. Byte text
  // is shown as DisplayText shows it. The pen position moves to the end of
  // the text.
  void TextOut(int X, int Y, std::string_view Text);
  [[nodiscard]] int TextWidth(std::string_view Text);
  [[nodiscard]] int TextHeight(std::string_view Text);

  // Draws Bitmap with its top-left corner at (X, Y), leaving out its
  // transparent colour when it is transparent.
  void Draw(int X, int Y, const TBitmap& Bitmap);
  // Copies SourceRect of Source onto DestRect of this canvas, scaled when the
  // sizes differ (nearest pixel; opposite orientations mirror). Source may be
  // this canvas.
  void CopyRect(const TRect& DestRect, TCanvas& Source, const TRect& SourceRect);

  // clNone outside the image.
  [[nodiscard]] TColor Pixel(int X, int Y);
  void SetPixel(int X, int Y, TColor Color);

  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;
  // The image drawn on, with every pending drawing finished.
  [[nodiscard]] QImage& Image();

  // Ends the open painter; the next drawing call opens a new one.
  void Release();
  // Called after every drawing call (a window's canvas asks to be presented).
  void SetOnChange(std::function<void()> Handler) { FOnChange = std::move(Handler); }

private:
  struct TQt;

  bool Bind();
  QPainter* Painter();
  // Draws the pen's lines through the points (closed: back to the first).
  void StrokeOutline(const TPoint* Points, int Count, bool Closed);
  [[nodiscard]] const QFont& QtFont();
  [[nodiscard]] TFontFace& Face();
  void Changed();

  QImage* FImage; // not owned
  // While bound, FKeep holds on to the image's pixels and the painter draws on
  // a second image over the same pixels: if the owner replaces or detaches
  // its image, the painter still draws on live memory, and the next call
  // notices and binds afresh.
  QImage FKeep;
  unsigned char* FBits = nullptr; // FKeep's pixels while bound
  qsizetype FStride = 0;
  int FBoundWidth = 0;
  int FBoundHeight = 0;
  std::unique_ptr<TQt> FQt; // the painter, the state applied to it, the font made for it

  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  std::function<void()> FOnChange;
};
