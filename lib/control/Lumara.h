#pragma once
// The map control: an ordered stack of layers shown in a view onto the map
// plane. It converts between map coordinates and client pixels, paints its
// layers through an off-screen image, keeps the selection and the list of
// displayed objects, and tells its observers and the host's handlers about
// every change.

#include "Bitmap.h"
#include "Control.h"
#include "MapDataLinks.h"
#include "MapLayer.h"
#include "Selection.h"
#include "ViewTransform.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

using TPixels = std::vector<TPoint>;

class TLumara : public TCustomControl {
public:
  explicit TLumara(QWidget* Parent = nullptr);
  ~TLumara() override;

  // The map extents: the full map that zoom 1 shows across the client width.
  [[nodiscard]] Extended MinX() const { return FMinX; }
  [[nodiscard]] Extended MinY() const { return FMinY; }
  [[nodiscard]] Extended MaxX() const { return FMaxX; }
  [[nodiscard]] Extended MaxY() const { return FMaxY; }
  void SetMinX(Extended Value);
  void SetMinY(Extended Value);
  void SetMaxX(Extended Value);
  void SetMaxY(Extended Value);
  // The map point shown at the middle of the client area.
  [[nodiscard]] Extended CenterX() const { return FCenterX; }
  [[nodiscard]] Extended CenterY() const { return FCenterY; }
  void SetCenterX(Extended Value);
  void SetCenterY(Extended Value);
  // Magnification; 0 is refused, anything else is taken as it is.
  [[nodiscard]] Extended Zoom() const { return FZoom; }
  void SetZoom(Extended Value);
  // Limits of the zoom tools.
  [[nodiscard]] Extended MinZoom() const { return FMinZoom; }
  [[nodiscard]] Extended MaxZoom() const { return FMaxZoom; }
  void SetMinZoom(Extended Value) { FMinZoom = Value; }
  void SetMaxZoom(Extended Value) { FMaxZoom = Value; }

  // True draws every ring of a region as its own filled polygon; false cuts
  // holes where rings overlap.
  [[nodiscard]] bool LumaraDraw() const { return FLumaraDraw; }
  void SetLumaraDraw(bool Value);
  [[nodiscard]] bool UseGeneralization() const { return FUseGeneralization; }
  void SetUseGeneralization(bool Value);
  // Pixels within which a point is dropped after the last kept one.
  [[nodiscard]] int GeneralizationLevel() const { return FGeneralizationLevel; }
  void SetGeneralizationLevel(int Value);
  [[nodiscard]] bool ShowSelection() const { return FShowSelection; }
  void SetShowSelection(bool Value);
  // Selection shown by an exclusive-or overlay instead of a full repaint.
  [[nodiscard]] bool FastSelection() const { return FFastSelection; }
  void SetFastSelection(bool Value);
  // How many top layers the next point selection skips.
  [[nodiscard]] int CtrlClickCount() const { return FCtrlClickCount; }
  void SetCtrlClickCount(int Value) { FCtrlClickCount = Value; }
  [[nodiscard]] bool InUpdate() const { return FInUpdate; }
  void SetInUpdate(bool Value) { FInUpdate = Value; }
  // While busy, all drawing goes to the off-screen image.
  [[nodiscard]] bool IsBusy() const { return FIsBusy; }
  void SetIsBusy(bool Value) { FIsBusy = Value; }

  [[nodiscard]] TMapTool CurrentTool() const { return FCurrentTool; }
  // Asks OnChangingCurrentTool, which may refuse; then switches the tool and
  // its cursor and tells OnChangeCurrentTool.
  void SetCurrentTool(TMapTool Value);

  [[nodiscard]] TMapLayers* Layers() const { return FLayers.get(); }
  [[nodiscard]] TSelection* Selection() const { return FSelection.get(); }
  [[nodiscard]] TMapObjectsList* Displayed() const { return FDisplayed.get(); }
  [[nodiscard]] TMapDataLinks* DataLinks() const { return FDataLinks.get(); }
  // The 8 x 8 fill pattern of selected objects in full-repaint mode.
  [[nodiscard]] TBitmap* SelectionPattern() const { return FSelectionPattern.get(); }

  // Conversions with the current view. Raise EZeroDivide for a degenerate extent.
  void MapToScreen(Extended X, Extended Y, int& PX, int& PY, bool Clip) const;
  void ScreenToMap(int X, int Y, Extended& MX, Extended& MY) const;
  [[nodiscard]] TMapBounds GetViewBounds() const;
  // The current view as a value (cached until the view or the size changes).
  [[nodiscard]] const TViewTransform& View() const;

  // Draws every layer into the off-screen image, then onto the window.
  void Paint() override;
  // The off-screen canvas while a paint draws, otherwise the window's.
  [[nodiscard]] TCanvas* GetCanvas();
  [[nodiscard]] TCanvas* GetMapCanvas();
  // The off-screen image of the last paint.
  [[nodiscard]] TBitmap* MapBitmap() const { return FMapBitmap.get(); }
  // One flag, not a counter: EndUpdate ends any number of BeginUpdate calls.
  void BeginUpdate() { FInUpdate = true; }
  void EndUpdate(bool Repaint);
  // Asks for one later repaint, unless inside an update bracket.
  void DoUpdate(bool Repaint);
  // Gives Bitmap a copy of the current picture.
  void AssignToBitmap(TBitmap& Bitmap);
  void StartProgress(int Min, int Max, const std::string& Title);
  void ShowProgress(int Progress);
  void StopProgress();

  // Picks the first object under the map point, searching from the top layer
  // down (skipping CtrlClickCount top layers).
  void SelectObjectAt(Extended X, Extended Y, bool ClearSelection);
  // Adds every object under the map point in every selectable layer.
  void SelectObjectsAt(Extended X, Extended Y, bool ClearSelection);
  // Centres the view on the objects' extent and fits it to the client width
  // or height, whichever the extent fills first; one repaint.
  void ZoomToObjects(const std::vector<TCustomMapObject*>& Objects);

  // A buffer for converted point lists that painting reuses.
  [[nodiscard]] TPixels& PixelBuffer() { return FPixelBuffer; }
  // True once destruction has begun: nothing is told or repainted any more.
  [[nodiscard]] bool Destroying() const { return !HasParent(); }

  // The host's events; each is raised only when assigned.
  [[nodiscard]] const TAddLayerEvent& OnAddLayer() const { return FOnAddLayer; }
  void SetOnAddLayer(TAddLayerEvent Value) { FOnAddLayer = std::move(Value); }
  [[nodiscard]] const TAddObjectEvent& OnAddObject() const { return FOnAddObject; }
  void SetOnAddObject(TAddObjectEvent Value) { FOnAddObject = std::move(Value); }
  [[nodiscard]] const TDelLayerEvent& OnBeforeDelLayer() const { return FOnBeforeDelLayer; }
  void SetOnBeforeDelLayer(TDelLayerEvent Value) { FOnBeforeDelLayer = std::move(Value); }
  [[nodiscard]] const TRemoveObjectEvent& OnBeforeRemoveObject() const {
    return FOnBeforeRemoveObject;
  }
  void SetOnBeforeRemoveObject(TRemoveObjectEvent Value) {
    FOnBeforeRemoveObject = std::move(Value);
  }
  [[nodiscard]] const TAddSelectionEvent& OnAddSelection() const { return FOnAddSelection; }
  void SetOnAddSelection(TAddSelectionEvent Value) { FOnAddSelection = std::move(Value); }
  [[nodiscard]] const TAddSelectionEvent& OnDelSelection() const { return FOnDelSelection; }
  void SetOnDelSelection(TAddSelectionEvent Value) { FOnDelSelection = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnUpdate() const { return FOnUpdate; }
  void SetOnUpdate(TNotifyEvent Value) { FOnUpdate = std::move(Value); }
  [[nodiscard]] const TStartProgressEvent& OnStartProgress() const { return FOnStartProgress; }
  void SetOnStartProgress(TStartProgressEvent Value) { FOnStartProgress = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnStopProgress() const { return FOnStopProgress; }
  void SetOnStopProgress(TNotifyEvent Value) { FOnStopProgress = std::move(Value); }
  [[nodiscard]] const TShowProgressEvent& OnShowProgress() const { return FOnShowProgress; }
  void SetOnShowProgress(TShowProgressEvent Value) { FOnShowProgress = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnAfterDelLayer() const { return FOnAfterDelLayer; }
  void SetOnAfterDelLayer(TNotifyEvent Value) { FOnAfterDelLayer = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnAfterRemoveObject() const { return FOnAfterRemoveObject; }
  void SetOnAfterRemoveObject(TNotifyEvent Value) { FOnAfterRemoveObject = std::move(Value); }
  [[nodiscard]] const TChangingCurrentToolEvent& OnChangingCurrentTool() const {
    return FOnChangingCurrentTool;
  }
  void SetOnChangingCurrentTool(TChangingCurrentToolEvent Value) {
    FOnChangingCurrentTool = std::move(Value);
  }
  [[nodiscard]] const TMapNotifyEvent& OnChangeCurrentTool() const { return FOnChangeCurrentTool; }
  void SetOnChangeCurrentTool(TMapNotifyEvent Value) { FOnChangeCurrentTool = std::move(Value); }
  // Sender is the object being destroyed, not the map.
  [[nodiscard]] const TNotifyEvent& OnDeleteObject() const { return FOnDeleteObject; }
  void SetOnDeleteObject(TNotifyEvent Value) { FOnDeleteObject = std::move(Value); }

private:
  struct TViewKey {
    Extended CenterX, CenterY, Zoom, MinX, MinY, MaxX, MaxY;
    int Width, Height;
    friend bool operator==(const TViewKey&, const TViewKey&) = default;
  };
  void CreateSelectionPattern();
  void PaintLayers();

  Extended FMinX = -180;
  Extended FMaxY = 90;
  Extended FMaxX = 180;
  Extended FMinY = -90;
  bool FInUpdate = false;
  Extended FCenterY = 0;
  Extended FCenterX = 0;
  TMapTool FCurrentTool = mtArrow;
  std::unique_ptr<TMapLayers> FLayers;
  Extended FZoom = 1;
  bool FLumaraDraw = false;
  TAddLayerEvent FOnAddLayer;
  TAddObjectEvent FOnAddObject;
  TDelLayerEvent FOnBeforeDelLayer;
  TRemoveObjectEvent FOnBeforeRemoveObject;
  std::unique_ptr<TSelection> FSelection;
  TAddSelectionEvent FOnAddSelection;
  TAddSelectionEvent FOnDelSelection;
  TNotifyEvent FOnUpdate;
  TStartProgressEvent FOnStartProgress;
  TNotifyEvent FOnStopProgress;
  TShowProgressEvent FOnShowProgress;
  std::unique_ptr<TMapObjectsList> FDisplayed;
  int FCtrlClickCount = 0;
  TNotifyEvent FOnAfterDelLayer;
  std::unique_ptr<TMapDataLinks> FDataLinks;
  TNotifyEvent FOnAfterRemoveObject;
  std::unique_ptr<TBitmap> FPanBitmap;
  std::unique_ptr<TBitmap> FMapBitmap;
  TChangingCurrentToolEvent FOnChangingCurrentTool;
  TMapNotifyEvent FOnChangeCurrentTool;
  Extended FMaxZoom = 100;
  Extended FMinZoom = 0;
  bool FUseGeneralization = true;
  int FGeneralizationLevel = 1;
  bool FShowSelection = true;
  bool FIsBusy = false;
  bool FFastSelection = true;
  std::unique_ptr<TBitmap> FSelectionPattern;
  TNotifyEvent FOnDeleteObject;
  int FDownX = 0;
  int FDownY = 0;
  int FLastX = 0;
  int FLastY = 0;
  bool FFirstPaint = true;

  mutable std::optional<TViewTransform> FView;
  mutable TViewKey FViewKey{};
  TPixels FPixelBuffer;
};

// The window positions of a point list, as the map converts them for
// drawing: clipped, and generalized when the map says so.
void PointsToPixels(const TMapPoints& Points, const TLumara& Map, TPixels& Pixels);
