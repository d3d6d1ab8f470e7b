#pragma once
// A bitmap over a QImage, with the framework's transparency rules and its own
// canvas. Pixels are opaque 32-bit RGB.

#include "Graphics.h"

#include <QImage>
#include <cstdint>
#include <memory>

class TCanvas;

enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

class TBitmap {
public:
  TBitmap();
  TBitmap(int Width, int Height);
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;
  // Resizing keeps the pixels that stay inside; new pixels are white.
  // Negative sizes count as zero; a picture of more than MaxPixels pixels
  // raises Exception and leaves the bitmap as it was.
  void SetSize(int Width, int Height);
  static constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;
  void SetWidth(int Value) { SetSize(Value, Height()); }
  void SetHeight(int Value) { SetSize(Width(), Value); }
  [[nodiscard]] bool Empty() const { return Width() == 0 || Height() == 0; }

  // The canvas that draws on this bitmap; owned by the bitmap.
  [[nodiscard]] TCanvas* Canvas();

  // clNone outside the picture.
  [[nodiscard]] TColor Pixel(int X, int Y) const;
  void SetPixel(int X, int Y, TColor Color);

  // When Transparent is on, drawing the bitmap leaves pixels of the
  // transparent colour out. In automatic mode the transparent colour is the
  // colour of the bottom-left pixel; in fixed mode it is TransparentColor.
  [[nodiscard]] bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  [[nodiscard]] TTransparentMode TransparentMode() const { return FTransparentMode; }
  // Switching to fixed mode fixes the colour automatic mode found; switching
  // to automatic mode forgets the fixed colour.
  void SetTransparentMode(TTransparentMode Value);
  // The bottom-left pixel in automatic mode (clNone when the bitmap is empty),
  // the stored colour in fixed mode.
  [[nodiscard]] TColor TransparentColor() const;
  // Storing a colour switches to fixed mode, as the framework does; storing
  // clDefault switches to automatic mode.
  void SetTransparentColor(TColor Value);

  // Takes over a copy of Source's picture and transparency settings.
  void Assign(const TBitmap& Source);

  // The picture; any drawing still pending on the canvas is finished first.
  [[nodiscard]] const QImage& Image() const;
  [[nodiscard]] QImage& Image();

private:
  void FinishDrawing() const;

  mutable QImage FImage;
  // The size asked for: a QImage with a zero side holds no size at all.
  int FWidth = 0;
  int FHeight = 0;
  std::unique_ptr<TCanvas> FCanvas;
  bool FTransparent = false;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
};
