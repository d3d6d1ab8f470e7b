#pragma once
// The point object: one character of the object's font, centred on a map
// position.

#include "MapObject.h"

#include <string>

class TCanvas;

class TSymbol : public TCustomMapObject {
public:
  // One part with one point at (0, 0), shape 31.
  TSymbol();

  // The character code of the marker in the object's font; never below 31.
  [[nodiscard]] int Shape() const { return FShape; }
  void SetShape(int Value);

  // The position: point 0 of part 0, made on demand when missing. Moving it
  // resets the part list's bounds to the new position.
  [[nodiscard]] Extended GetX();
  [[nodiscard]] Extended GetY();
  [[nodiscard]] Extended X() const { return Position().X(); }
  [[nodiscard]] Extended Y() const { return Position().Y(); }
  void SetX(Extended Value);
  void SetY(Extended Value);

  void Draw() override;
  void DrawSelection() override;
  // Within 2 pixels of the position along both axes (a 5 x 5 box); without
  // a map, exactly the position.
  [[nodiscard]] bool ContainsPoint(Extended X, Extended Y) const override;
  [[nodiscard]] bool Intersects(const TCustomMapObject& MapObject) const override;
  [[nodiscard]] bool Contains(const TCustomMapObject& MapObject) const override;
  [[nodiscard]] bool IntersectsRect(Extended X0, Extended Y0, Extended X1,
                                    Extended Y1) const override;
  [[nodiscard]] bool WithinRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const override;
  [[nodiscard]] bool ContainsRect(Extended X0, Extended Y0, Extended X1,
                                  Extended Y1) const override;

private:
  // The position, (0, 0) when the part list has none.
  [[nodiscard]] TMapPoint Position() const;
  TMapPoint& PositionPoint(Extended X, Extended Y);
  void BoundsToPosition();
  // The marker cell: text height and width of the marker on the canvas.
  void MarkerCell(TCanvas& Canvas, int& Width, int& Height) const;
  [[nodiscard]] std::string MarkerText() const;

  int FShape = 31;
};
