#include "Bitmap.h"

#include "Canvas.h"
#include "Errors.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int DotsPerMeter = 3780; // 96 dpi, so that font points come out as the framework's pixels

} // namespace

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(&FImage)) {}

TBitmap::TBitmap(int Width, int Height) : TBitmap() { SetSize(Width, Height); }

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return FImage.isNull() ? FWidth : FImage.width(); }

int TBitmap::Height() const { return FImage.isNull() ? FHeight : FImage.height(); }

void TBitmap::SetSize(int Width, int Height) {
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  if (Width == this->Width() && Height == this->Height()) return;
  if (std::int64_t{Width} * Height > MaxPixels)
    throw Exception("TBitmap.SetSize: " + std::to_string(Width) + " x " + std::to_string(Height) +
                    " pixels is more than a bitmap can hold");
  QImage Resized;
  if (Width > 0 && Height > 0) {
    Resized = QImage(Width, Height, QImage::Format_RGB32);
    if (Resized.isNull())
      throw Exception("TBitmap.SetSize: no memory for " + std::to_string(Width) + " x " +
                      std::to_string(Height) + " pixels");
    Resized.setDotsPerMeterX(DotsPerMeter);
    Resized.setDotsPerMeterY(DotsPerMeter);
    Resized.fill(0xFFFFFFFFu);
  }
  FinishDrawing();
  if (!Resized.isNull() && !FImage.isNull()) {
    const QImage Old = FImage.format() == QImage::Format_RGB32
                           ? FImage
                           : FImage.convertToFormat(QImage::Format_RGB32);
    const int Rows = std::min(Height, Old.height());
    const auto Bytes = static_cast<std::size_t>(std::min(Width, Old.width())) * 4;
    for (int Row = 0; Row < Rows; ++Row)
      std::memcpy(Resized.scanLine(Row), Old.constScanLine(Row), Bytes);
  }
  FImage = Resized;
  FWidth = Width;
  FHeight = Height;
}

TCanvas* TBitmap::Canvas() { return FCanvas.get(); }

TColor TBitmap::Pixel(int X, int Y) const {
  FinishDrawing();
  if (X < 0 || Y < 0 || X >= FImage.width() || Y >= FImage.height()) return clNone;
  const QRgb Value = FImage.pixel(X, Y);
  return RGB(qRed(Value), qGreen(Value), qBlue(Value));
}

void TBitmap::SetPixel(int X, int Y, TColor Color) { FCanvas->SetPixel(X, Y, Color); }

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmFixed) {
    const TColor Found = TransparentColor();
    FTransparentColor = Found == clNone ? clDefault : Found;
  } else
    FTransparentColor = clDefault;
  FTransparentMode = Value;
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmAuto) return Pixel(0, Height() - 1);
  return FTransparentColor;
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
}

void TBitmap::Assign(const TBitmap& Source) {
  if (&Source == this) return;
  Source.FinishDrawing();
  FinishDrawing();
  FImage = Source.FImage; // shared until either side draws
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FTransparent = Source.FTransparent;
  FTransparentMode = Source.FTransparentMode;
  FTransparentColor = Source.FTransparentColor;
}

const QImage& TBitmap::Image() const {
  FinishDrawing();
  return FImage;
}

QImage& TBitmap::Image() {
  FinishDrawing();
  return FImage;
}

void TBitmap::FinishDrawing() const { FCanvas->Release(); }
