#include "Graphics.h"

TColor ColorToRGB(TColor Color) {
  if (Color >= 0) return Color & 0xFFFFFF;
  switch (Color) {
  case clWindow:
    return clWhite;
  case clWindowText:
    return clBlack;
  case clBtnFace:
    return 0xF0F0F0;
  case clHighlight:
    return 0xD77800;
  case clHighlightText:
    return clWhite;
  default:
    return clBlack;
  }
}
