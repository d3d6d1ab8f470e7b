#pragma once
// Layers: named sets of map objects with default styles for new objects,
// field definitions, a zoom range and the user's switches; and the map's
// ordered layer list, painted from index 0 up.

#include "Collections.h"
#include "DataFields.h"
#include "Graphics.h"
#include "MapObject.h"
#include "Object.h"
#include "Types.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TLumara;

// What kind of style clause a line of a vector file holds.
enum TObjectAttribute : std::uint8_t { oaNone, oaPen, oaBrush, oaCenter, oaFont, oaSymbol };

class TMapLayer : public TObject {
public:
  TMapLayer();
  ~TMapLayer() override;

  // Makes an object of the class, copies the default pen, brush and font into
  // it and adds it; answers the object, which the layer owns.
  TCustomMapObject* NewObject(TMapObjectClass Class);
  // Takes the object over: gives it the map, the layer and a copy of the
  // field definitions, tells the observers, and paints it unless the map is
  // inside an update bracket.
  TCustomMapObject* AddObject(std::unique_ptr<TCustomMapObject> MapObject);
  // Takes the object out of the list without freeing it (its caller takes it
  // over) and answers its former index, or -1.
  int RemoveObject(TCustomMapObject* MapObject);
  // Frees the object at Index (-1 frees nothing); asks for a repaint either way.
  void DeleteObject(int Index);
  void DeleteObjects();
  [[nodiscard]] TCustomMapObject* GetObjects(int Index) const;
  // Map objects define no copy: after the index check this raises the assignment error.
  void SetObjects(int Index, const TCustomMapObject& Value);
  [[nodiscard]] int GetObjectCount() const { return static_cast<int>(FObjects.size()); }
  [[nodiscard]] TCustomMapObject* First() const { return GetObjects(0); }
  [[nodiscard]] TCustomMapObject* Last() const { return GetObjects(GetObjectCount() - 1); }

  [[nodiscard]] const std::string& FileName() const { return FFileName; }
  void SetFileName(std::string Value) { FFileName = std::move(Value); }
  [[nodiscard]] const std::string& Name() const { return FName; }
  void SetName(std::string Value) { FName = std::move(Value); }
  // The character set of the file the layer was read from, as its Charset
  // statement names it ("WindowsCyrillic"); empty when it named none. Names
  // and attribute texts keep the file's bytes; DisplayText decodes them.
  [[nodiscard]] const std::string& Charset() const { return FCharset; }
  void SetCharset(std::string Value) { FCharset = std::move(Value); }
  // Byte text of this layer (its name, attribute values) as it is shown.
  [[nodiscard]] QString DisplayText(std::string_view Text) const;
  // The default styles are owned; the setters copy the given value in.
  [[nodiscard]] TBrush& DefaultBrush() { return FDefaultBrush; }
  [[nodiscard]] TFont& DefaultFont() { return FDefaultFont; }
  [[nodiscard]] TPen& DefaultPen() { return FDefaultPen; }
  void SetDefaultBrush(const TBrush& Value) { FDefaultBrush = Value; }
  void SetDefaultFont(const TFont& Value) { FDefaultFont = Value; }
  void SetDefaultPen(const TPen& Value) { FDefaultPen = Value; }
  [[nodiscard]] TDataFields& Fields() { return FFields; }
  [[nodiscard]] const TDataFields& Fields() const { return FFields; }
  void SetFields(const TDataFields& Value) { FFields.Assign(Value); }
  [[nodiscard]] TLumara* Map() const { return FMap; }
  void SetMap(TLumara* Value) { FMap = Value; }
  [[nodiscard]] int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  [[nodiscard]] bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // The user's switches. Hiding a layer clears its editable switch and takes
  // its objects out of the selection; an editable layer is visible and
  // selectable, and at most one layer of a map is editable.
  [[nodiscard]] bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  [[nodiscard]] bool Editable() const { return FEditable; }
  void SetEditable(bool Value);
  // The selectable switch, read as false while the layer is hidden.
  [[nodiscard]] bool GetSelectable() const { return FSelectable && FVisible; }
  [[nodiscard]] bool Selectable() const { return GetSelectable(); }
  void SetSelectable(bool Value);
  [[nodiscard]] bool AutoLabel() const { return FAutoLabel; }
  void SetAutoLabel(bool Value);

  // The zoom range in which the layer is shown; both 0 means always. A range
  // with only one limit set shows the layer never.
  [[nodiscard]] Extended MinZoom() const { return FMinZoom; }
  void SetMinZoom(Extended Value) { FMinZoom = Value; }
  [[nodiscard]] Extended MaxZoom() const { return FMaxZoom; }
  void SetMaxZoom(Extended Value) { FMaxZoom = Value; }
  [[nodiscard]] bool ValidZoom() const;

  // Paints every object, in list order, when the layer is visible at the
  // map's zoom.
  void Paint();
  // Draws the highlight of each selected object (fast-selection mode only).
  void PaintSelection();
  // Centres and zooms the map onto the layer's objects.
  void Zoom();

  // Reads a MIF/MID file pair into the layer; with an empty Name the layer is
  // named after the file.
  void LoadFromFile(const std::string& FileName, const std::string& Name);
  // Writes nothing and answers true.
  bool SaveToFile(const std::string& FileName);
  // The style clause a line of a vector file holds, by its first word.
  [[nodiscard]] static TObjectAttribute IsObjAttrString(std::string_view Line);

  [[nodiscard]] auto begin() const { return FObjects.begin(); }
  [[nodiscard]] auto end() const { return FObjects.end(); }

private:
  // The map, unless it is gone or going: a map being destroyed is told nothing.
  [[nodiscard]] TLumara* LiveMap() const;
  void Notify(std::uint8_t Event);
  void RemoveFromSelection();

  std::vector<std::unique_ptr<TCustomMapObject>> FObjects;
  std::string FFileName;
  TBrush FDefaultBrush;
  TFont FDefaultFont;
  TPen FDefaultPen;
  TLumara* FMap = nullptr; // not owned: the map the layer belongs to; may be null
  bool FEditable = false;
  bool FVisible = true;
  bool FSelectable = true;
  std::string FName;
  TDataFields FFields;
  bool FAutoLabel = false;
  int FTag = 0;
  Extended FMaxZoom = 0;
  Extended FMinZoom = 0;
  bool FModified = false;
  std::string FCharset;
};

// The map's layers, owned, in painting order: index 0 first, so later layers
// draw over earlier ones.
class TMapLayers : public TObject {
public:
  TMapLayers() = default;
  ~TMapLayers() override;

  [[nodiscard]] TLumara* Map() const { return FMap; }
  void SetMap(TLumara* Value) { FMap = Value; }
  [[nodiscard]] int Count() const { return static_cast<int>(FLayers.size()); }

  // Creates a named layer at the end, loads FileName into it when the file
  // exists (a missing file leaves it empty) and announces it.
  TMapLayer* Add(const std::string& FileName, const std::string& Name);
  // Like Add at Index; the layer is named after its file.
  TMapLayer* Insert(const std::string& FileName, int Index);
  // Frees the layer at Index unless OnBeforeDelLayer forbids it.
  void Delete(int Index);
  // Frees every layer, the last first, telling the observers of each.
  void Clear();
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);

  [[nodiscard]] TMapLayer* GetLayer(int Index) const;
  [[nodiscard]] TMapLayer* operator[](int Index) const { return GetLayer(Index); }
  // Puts Value at Index without freeing or telling anyone; the layer that was
  // there is handed back to the caller.
  std::unique_ptr<TMapLayer> SetLayer(int Index, std::unique_ptr<TMapLayer> Value);
  [[nodiscard]] TMapLayer* First() const { return GetLayer(0); }
  [[nodiscard]] TMapLayer* Last() const { return GetLayer(Count() - 1); }
  [[nodiscard]] int IndexOf(const TMapLayer* Layer) const;

  [[nodiscard]] auto begin() const { return TOwnedIterator(FLayers.begin()); }
  [[nodiscard]] auto end() const { return TOwnedIterator(FLayers.end()); }

private:
  void CheckIndex(int Index) const;
  TMapLayer* Announce(TMapLayer* Layer);
  [[nodiscard]] TLumara* LiveMap() const;

  std::vector<std::unique_ptr<TMapLayer>> FLayers;
  TLumara* FMap = nullptr; // not owned: the map owning the list; may be null
};
