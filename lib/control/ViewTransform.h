#pragma once
// The view as a value: centre, zoom, map extents and client size, with the
// conversions between map coordinates and client pixels. The map point
// (CenterX, CenterY) shows at the middle of the client area; at zoom 1 the
// extent MaxX - MinX fills the client width; one map unit covers the same
// number of pixels along both axes, and map Y grows upwards.

#include "MapPoints.h"
#include "Types.h"

#include <vector>

class TViewTransform {
public:
  // Raises EZeroDivide for a zero-width or zero-height extent.
  TViewTransform(Extended CenterX, Extended CenterY, Extended Zoom, Extended MinX, Extended MinY,
                 Extended MaxX, Extended MaxY, int ClientWidth, int ClientHeight);

  void ScreenToMap(int X, int Y, Extended& MX, Extended& MY) const;
  // Rounds half to even. With Clip, a coordinate outside the visible part of
  // the plane becomes the position one pixel outside the client area, each
  // axis on its own; a point exactly on an edge converts normally.
  void MapToScreen(Extended X, Extended Y, int& PX, int& PY, bool Clip) const;
  [[nodiscard]] TPoint MapToScreen(Extended X, Extended Y, bool Clip) const {
    TPoint Result;
    MapToScreen(X, Y, Result.x, Result.y, Clip);
    return Result;
  }
  // The map rectangle the client area shows.
  [[nodiscard]] TMapBounds ViewBounds() const { return {FLeft, FBottom, FRight, FTop}; }
  // Pixels per map unit.
  [[nodiscard]] Extended Scale() const { return FScaleX; }

  // The window positions of Points, converted with Clip, into Pixels (reused:
  // cleared first, unless Append adds them after what it holds). With
  // Generalize, a point is kept only when it is the first of the list or lies
  // more than Level pixels away from the last kept one along X or Y.
  void PointsToPixels(const TMapPoints& Points, bool Generalize, int Level,
                      std::vector<TPoint>& Pixels, bool Append = false) const;

private:
  [[nodiscard]] TPoint ClippedPixel(Extended X, Extended Y) const;

  Extended FCenterX, FCenterY;
  Extended FScaleX, FScaleY;
  Extended FHalfWidth, FHalfHeight;
  int FClientWidth, FClientHeight;
  // The visible edges, as the clipped conversion compares with them.
  Extended FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
};
