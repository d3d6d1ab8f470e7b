#pragma once
// The base class of every map object: geometry (a part list), pen, brush and
// font, an attribute record, the layer and map it belongs to, and a tag. It
// defines the spatial predicates the map asks objects, with general forms
// that work on the parts and points.

#include "DataFields.h"
#include "Graphics.h"
#include "MapPoints.h"
#include "Object.h"

#include <memory>

class TLumara;
class TMapLayer;

class TCustomMapObject : public TObject {
public:
  TCustomMapObject() = default;
  ~TCustomMapObject() override;
  // What destruction does first: an object of a map leaves the selection
  // (removing its highlight), the displayed list and its layer, raises
  // OnDeleteObject and tells the observers; one without a map just goes.
  // Owners call it before they free the object, while its own class is still
  // whole; the destructor calls it when nobody did.
  void BeforeDestruction() noexcept;

  [[nodiscard]] TLumara* Map() const { return FMap; }
  void SetMap(TLumara* Value) { FMap = Value; }
  [[nodiscard]] TMapLayer* Layer() const { return FLayer; }
  void SetLayer(TMapLayer* Value) { FLayer = Value; }

  // The styles and the record are owned; the setters copy the given value in.
  [[nodiscard]] TBrush& Brush() { return FBrush; }
  [[nodiscard]] const TBrush& Brush() const { return FBrush; }
  void SetBrush(const TBrush& Value) { FBrush = Value; }
  [[nodiscard]] TFont& Font() { return FFont; }
  [[nodiscard]] const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value) { FFont = Value; }
  [[nodiscard]] TPen& Pen() { return FPen; }
  [[nodiscard]] const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& Value) { FPen = Value; }
  [[nodiscard]] TParts& Parts() { return FParts; }
  [[nodiscard]] const TParts& Parts() const { return FParts; }
  // Replaces the parts by copies of Value's; the bounds widen to cover them.
  void SetParts(const TParts& Value);
  [[nodiscard]] TDataFields& Fields() { return FFields; }
  [[nodiscard]] const TDataFields& Fields() const { return FFields; }
  void SetFields(const TDataFields& Value) { FFields.Assign(Value); }
  [[nodiscard]] int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  // The part list's bounds.
  [[nodiscard]] TMapBounds GetBounds() const { return FParts.Bounds(); }

  // Draws the object on the map's current canvas unless it lies outside the
  // view: sets up the pen, brush (the selection pattern for a selected object
  // in full-repaint mode) and font, then calls Draw.
  void Paint();
  // Registers the object as displayed; every concrete Draw calls it first.
  virtual void Draw();
  // Prepares the canvas for the exclusive-or highlight (aqua); concrete
  // classes then draw their shape again, so a second highlight removes it.
  virtual void DrawSelection();
  // The window position of a vertex, clipped to just outside the client area.
  [[nodiscard]] TPoint GetPixels(int PartIndex, int PointIndex) const;
  // Whether the object is in its map's selection.
  [[nodiscard]] bool GetSelected() const;
  [[nodiscard]] bool Selected() const { return GetSelected(); }
  // Draws the highlight; the selection itself is not changed.
  void SetSelected(bool Value);
  // Makes the object the only selected one.
  void Select();

  // Spatial predicates in map coordinates. A rectangle is given by its
  // south-west corner (X0, Y0) and north-east corner (X1, Y1) and is closed.
  // Point in the rings of the parts, even-odd over all rings.
  [[nodiscard]] virtual bool ContainsPoint(Extended X, Extended Y) const;
  // Some vertex of MapObject lies in this object.
  [[nodiscard]] virtual bool Intersects(const TCustomMapObject& MapObject) const;
  // MapObject has a vertex and every vertex of it lies in this object.
  [[nodiscard]] virtual bool Contains(const TCustomMapObject& MapObject) const;
  [[nodiscard]] virtual bool Within(const TCustomMapObject& MapObject) const;
  // Some part's bounds meet the rectangle.
  [[nodiscard]] virtual bool IntersectsRect(Extended X0, Extended Y0, Extended X1,
                                            Extended Y1) const;
  // Every vertex lies in the rectangle (true for an object without vertices).
  [[nodiscard]] virtual bool WithinRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const;
  // All four corners of the rectangle lie in this object.
  [[nodiscard]] virtual bool ContainsRect(Extended X0, Extended Y0, Extended X1, Extended Y1) const;

private:
  TLumara* FMap = nullptr;     // not owned: the map showing the object; may be null
  TMapLayer* FLayer = nullptr; // not owned: the layer listing the object; may be null
  TBrush FBrush;
  TFont FFont;
  TPen FPen;
  TParts FParts;
  TDataFields FFields;
  int FTag = 0;
  bool FDestroying = false;
  bool FListed = false; // in its layer's object list; the layer keeps it up to date
  friend class TMapLayer;
};

// Makes an object of a class through its constructor without arguments, as
// layers make the objects they read.
using TMapObjectClass = std::unique_ptr<TCustomMapObject> (*)();

template <class TObject>
std::unique_ptr<TCustomMapObject> NewMapObject() {
  return std::make_unique<TObject>();
}
