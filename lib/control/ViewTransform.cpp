#include "ViewTransform.h"

#include "Errors.h"

#include <cmath>
#include <cstdlib>

namespace {

// The nearest integer, half to even (the default rounding mode). One x87
// instruction where there is one; llrint elsewhere (nearbyint would save and
// restore the floating-point environment on every call).
inline std::int64_t RoundHalfEven(Extended Value) {
#if defined(__x86_64__) || defined(__i386__)
  std::int64_t Result;
  __asm__("fistpll %0" : "=m"(Result) : "t"(Value) : "st");
  return Result;
#else
  return std::llrint(Value);
#endif
}

// The nearest integer, held inside the 32-bit range.
inline int RoundToPixel(Extended Value) {
  if (!(Value > -2147483648.5L)) return Value > 0 ? INT32_MAX : INT32_MIN; // also NaN
  if (Value >= 2147483647.5L) return INT32_MAX;
  return static_cast<int>(RoundHalfEven(Value));
}

} // namespace

TViewTransform::TViewTransform(Extended CenterX, Extended CenterY, Extended Zoom, Extended MinX,
                               Extended MinY, Extended MaxX, Extended MaxY, int ClientWidth,
                               int ClientHeight)
    : FCenterX(CenterX), FCenterY(CenterY), FHalfWidth(static_cast<Extended>(ClientWidth) / 2),
      FHalfHeight(static_cast<Extended>(ClientHeight) / 2), FClientWidth(ClientWidth),
      FClientHeight(ClientHeight) {
  const Extended Width = MaxX - MinX;
  const Extended Height = MaxY - MinY;
  // Extended arithmetic does not trap, so a degenerate extent is refused here.
  if (Width == 0 || Height == 0)
    throw EZeroDivide("The map extent has no " + std::string(Width == 0 ? "width" : "height") +
                      ": coordinates cannot be converted");
  FScaleX = ClientWidth * Zoom / Width;
  // The vertical scale is the same number, evaluated through the height as
  // the conversions always have.
  FScaleY = ClientWidth * (Height / Width) / Height * Zoom;
  ScreenToMap(0, 0, FLeft, FTop);
  ScreenToMap(ClientWidth, ClientHeight, FRight, FBottom);
}

void TViewTransform::ScreenToMap(int X, int Y, Extended& MX, Extended& MY) const {
  MX = (X - FHalfWidth) / FScaleX + FCenterX;
  MY = (FHalfHeight - Y) / FScaleY + FCenterY;
}

void TViewTransform::MapToScreen(Extended X, Extended Y, int& PX, int& PY, bool Clip) const {
  if (Clip) {
    const TPoint Pixel = ClippedPixel(X, Y);
    PX = Pixel.x;
    PY = Pixel.y;
    return;
  }
  PX = RoundToPixel(FHalfWidth + (X - FCenterX) * FScaleX);
  PY = RoundToPixel(FHalfHeight - (Y - FCenterY) * FScaleY);
}

// Inside the visible edges the position lies within the client area, so no
// range check is needed (a NaN coordinate lands on some pixel, harmlessly).
inline TPoint TViewTransform::ClippedPixel(Extended X, Extended Y) const {
  TPoint Pixel;
  if (X < FLeft)
    Pixel.x = -1;
  else if (X > FRight)
    Pixel.x = FClientWidth;
  else
    Pixel.x = static_cast<int>(RoundHalfEven(FHalfWidth + (X - FCenterX) * FScaleX));
  if (Y > FTop)
    Pixel.y = -1;
  else if (Y < FBottom)
    Pixel.y = FClientHeight;
  else
    Pixel.y = static_cast<int>(RoundHalfEven(FHalfHeight - (Y - FCenterY) * FScaleY));
  return Pixel;
}

// The hot loop of every paint: positions are written in place and the list
// is cut to what was kept at the end. A list whose bounds lie inside the
// visible edges needs no clipping, point by point.
void TViewTransform::PointsToPixels(const TMapPoints& Points, bool Generalize, int Level,
                                    std::vector<TPoint>& Pixels, bool Append) const {
  if (!Append) Pixels.clear();
  const std::size_t Start = Pixels.size();
  Pixels.resize(Start + static_cast<std::size_t>(Points.Count()));
  TPoint* const First = Pixels.data() + Start;
  const bool Inside = Points.MinX() >= FLeft && Points.MaxX() <= FRight &&
                      Points.MinY() >= FBottom && Points.MaxY() <= FTop;
  const auto Convert = [&](auto ToPixel) {
    TPoint* Out = First;
    for (const TMapPoint& Point : Points) {
      const TPoint Pixel = ToPixel(Point.X(), Point.Y());
      if (Generalize && Out != First) {
        const TPoint& Last = Out[-1];
        const bool FarEnough = std::llabs(static_cast<long long>(Pixel.x) - Last.x) > Level ||
                               std::llabs(static_cast<long long>(Pixel.y) - Last.y) > Level;
        if (!FarEnough) continue;
      }
      *Out++ = Pixel;
    }
    return Out;
  };
  TPoint* const End =
      Inside ? Convert([this](Extended X, Extended Y) {
        return TPoint{static_cast<int>(RoundHalfEven(FHalfWidth + (X - FCenterX) * FScaleX)),
                      static_cast<int>(RoundHalfEven(FHalfHeight - (Y - FCenterY) * FScaleY))};
      })
             : Convert([this](Extended X, Extended Y) { return ClippedPixel(X, Y); });
  Pixels.resize(static_cast<std::size_t>(End - Pixels.data()));
}
