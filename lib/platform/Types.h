#pragma once
// Basic value types shared by the whole library.

#include <cstdint>

// Map coordinates, bounds, radii and zoom factors: 80-bit extended precision on x86-64.
using Extended = long double;

// A window position in pixels, as the drawing calls take it.
struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A pixel rectangle; Right and Bottom are exclusive.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  [[nodiscard]] std::int32_t Width() const { return Right - Left; }
  [[nodiscard]] std::int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom) {
  return TRect{Left, Top, Right, Bottom};
}
