#pragma once
// Colours and the drawing styles as plain values: a pen, a brush and a font
// say how to draw; the canvas applies them when it draws.

#include <cstdint>
#include <string>

class TBitmap;

// $00BBGGRR: red in the lowest byte. Values with the high bit set name system
// colours; clNone and clDefault are special values.
using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
inline constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);

// The plain RGB value of a colour: system colours resolve to the fixed
// colours of this library's light scheme.
[[nodiscard]] TColor ColorToRGB(TColor Color);

inline constexpr int GetRValue(TColor Color) { return Color & 0xFF; }
inline constexpr int GetGValue(TColor Color) { return (Color >> 8) & 0xFF; }
inline constexpr int GetBValue(TColor Color) { return (Color >> 16) & 0xFF; }
inline constexpr TColor RGB(int Red, int Green, int Blue) {
  return (Red & 0xFF) | ((Green & 0xFF) << 8) | ((Blue & 0xFF) << 16);
}

enum TPenStyle : std::uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame
};

enum TPenMode : std::uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

enum TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t; // a set of TFontStyle bits

class TPen {
public:
  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  [[nodiscard]] int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  [[nodiscard]] TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value) { FStyle = Value; }
  [[nodiscard]] TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value) { FMode = Value; }
  friend bool operator==(const TPen&, const TPen&) = default;

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush {
public:
  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  [[nodiscard]] TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value) { FStyle = Value; }
  // A pattern bitmap fills instead of the colour while it is set.
  [[nodiscard]] const TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(const TBitmap* Value) { FBitmap = Value; }
  friend bool operator==(const TBrush&, const TBrush&) = default;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  const TBitmap* FBitmap = nullptr; // not owned; may be null
};

class TFont {
public:
  [[nodiscard]] const std::string& Name() const { return FName; }
  void SetName(std::string Value) { FName = std::move(Value); }
  // Size in points.
  [[nodiscard]] int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  [[nodiscard]] TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value) { FStyle = Value; }
  friend bool operator==(const TFont&, const TFont&) = default;

private:
  std::string FName = "DejaVu Sans";
  int FSize = 8;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
};
