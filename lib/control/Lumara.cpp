#include "Lumara.h"

#include "Canvas.h"
#include "MapObject.h"
#include "NumberText.h"
#include "TraceMessage.h"

#include <chrono>
#include <cmath>

namespace {

// Reaches the off-screen image at the end of a paint whatever happened.
class TPaintClosing {
public:
  TPaintClosing(TLumara& Map, TCanvas& Window, TBitmap& Image)
      : FMap(Map), FWindow(Window), FImage(Image) {}
  ~TPaintClosing() {
    FMap.SetIsBusy(false);
    FWindow.Draw(0, 0, FImage);
  }
  TPaintClosing(const TPaintClosing&) = delete;
  TPaintClosing& operator=(const TPaintClosing&) = delete;

private:
  TLumara& FMap;
  TCanvas& FWindow;
  TBitmap& FImage;
};

std::string ElapsedText(std::chrono::steady_clock::duration Elapsed) {
  const auto Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(Elapsed).count();
  return Format("%.2d:%.3d", {static_cast<int>(Milliseconds / 1000 % 60),
                              static_cast<int>(Milliseconds % 1000)});
}

} // namespace

TLumara::TLumara(QWidget* Parent)
    : TCustomControl(Parent), FLayers(std::make_unique<TMapLayers>()),
      FSelection(std::make_unique<TSelection>()), FDisplayed(std::make_unique<TMapObjectsList>()),
      FDataLinks(std::make_unique<TMapDataLinks>()), FMapBitmap(std::make_unique<TBitmap>()) {
  CreateSelectionPattern();
  SetBounds(x(), y(), 100, 100);
  FLayers->SetMap(this);
  FSelection->SetMap(this);
}

// Nothing destroyed here tells anyone or asks for a repaint: the links are
// unbound first, the lists emptied silently, and the layers go last.
TLumara::~TLumara() {
  BeginDestruction();
  FInUpdate = true;
  for (TMapDataLink* Link : *FDataLinks) Link->FMap = nullptr;
  FDataLinks->Clear();
  FSelection->Clear();
  FDisplayed->Clear();
  FLayers->Clear();
}

void TLumara::CreateSelectionPattern() {
  FSelectionPattern = std::make_unique<TBitmap>(8, 8);
  FSelectionPattern->SetTransparent(true);
  FSelectionPattern->SetTransparentMode(tmAuto);
  // Blue, with the special default-colour value at every odd column of every
  // odd row; as a pixel that value is black.
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X)
      FSelectionPattern->SetPixel(X, Y, X % 2 == 1 && Y % 2 == 1 ? clDefault : clBlue);
}

void TLumara::SetMinX(Extended Value) {
  FMinX = Value;
  DoUpdate(true);
}

void TLumara::SetMinY(Extended Value) {
  FMinY = Value;
  DoUpdate(true);
}

void TLumara::SetMaxX(Extended Value) {
  FMaxX = Value;
  DoUpdate(true);
}

void TLumara::SetMaxY(Extended Value) {
  FMaxY = Value;
  DoUpdate(true);
}

void TLumara::SetCenterX(Extended Value) {
  FCenterX = Value;
  DoUpdate(true);
}

void TLumara::SetCenterY(Extended Value) {
  FCenterY = Value;
  DoUpdate(true);
}

void TLumara::SetZoom(Extended Value) {
  if (Value == 0) return;
  FZoom = Value;
  DoUpdate(true);
}

void TLumara::SetLumaraDraw(bool Value) {
  FLumaraDraw = Value;
  DoUpdate(true);
}

void TLumara::SetUseGeneralization(bool Value) {
  if (Value == FUseGeneralization) return;
  FUseGeneralization = Value;
  DoUpdate(true);
}

void TLumara::SetGeneralizationLevel(int Value) {
  if (Value == FGeneralizationLevel) return;
  FGeneralizationLevel = Value;
  DoUpdate(true);
}

void TLumara::SetShowSelection(bool Value) {
  if (Value == FShowSelection) return;
  FShowSelection = Value;
  DoUpdate(true);
}

void TLumara::SetFastSelection(bool Value) {
  if (Value == FFastSelection) return;
  FFastSelection = Value;
  DoUpdate(true);
}

void TLumara::SetCurrentTool(TMapTool Value) {
  if (Value == FCurrentTool) return;
  bool AllowSetTool = true;
  if (FOnChangingCurrentTool) FOnChangingCurrentTool(this, FCurrentTool, AllowSetTool);
  if (!AllowSetTool) return;
  FCurrentTool = Value;
  SetCursor(Value == mtZoomIn || Value == mtZoomOut ? crHandPoint
            : Value == mtPan                        ? crSizeAll
                                                    : crDefault);
  if (FOnChangeCurrentTool) FOnChangeCurrentTool(this);
}

const TViewTransform& TLumara::View() const {
  const TViewKey Key{FCenterX, FCenterY, FZoom,         FMinX,         FMinY,
                     FMaxX,    FMaxY,    ClientWidth(), ClientHeight()};
  if (!FView || !(Key == FViewKey)) {
    FView.reset();
    FView.emplace(FCenterX, FCenterY, FZoom, FMinX, FMinY, FMaxX, FMaxY, ClientWidth(),
                  ClientHeight());
    FViewKey = Key;
  }
  return *FView;
}

void TLumara::MapToScreen(Extended X, Extended Y, int& PX, int& PY, bool Clip) const {
  View().MapToScreen(X, Y, PX, PY, Clip);
}

void TLumara::ScreenToMap(int X, int Y, Extended& MX, Extended& MY) const {
  View().ScreenToMap(X, Y, MX, MY);
}

TMapBounds TLumara::GetViewBounds() const { return View().ViewBounds(); }

void PointsToPixels(const TMapPoints& Points, const TLumara& Map, TPixels& Pixels) {
  Map.View().PointsToPixels(Points, Map.UseGeneralization(), Map.GeneralizationLevel(), Pixels);
}

TCanvas* TLumara::GetCanvas() { return FIsBusy ? FMapBitmap->Canvas() : Canvas(); }

TCanvas* TLumara::GetMapCanvas() { return FMapBitmap->Canvas(); }

void TLumara::EndUpdate(bool Repaint) {
  FInUpdate = false;
  if (Repaint) DoUpdate(true);
}

void TLumara::DoUpdate(bool) {
  if (!FInUpdate && !Destroying()) Invalidate();
}

void TLumara::Paint() {
  TCanvas& Window = *Canvas();
  if (FFirstPaint) {
    FFirstPaint = false;
    Window.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
  }
  if (FInUpdate) return;
  const auto Started = std::chrono::steady_clock::now();
  TPaintClosing Closing(*this, Window, *FMapBitmap);
  FIsBusy = true;
  FDisplayed->Clear();
  FMapBitmap->SetSize(Width(), Height());
  TCanvas& Image = *FMapBitmap->Canvas();
  // One fill of the background leaves the image and the canvas as the
  // framework's two (the bitmap's, then the canvas's after its reset) would.
  Image.Pen().SetMode(pmCopy);
  Image.Brush().SetStyle(bsSolid);
  Image.Brush().SetColor(Color());
  Image.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
  if (FLayers->Count() == 0) return;
  PaintLayers();
  TraceMessage("DrawTime = %S", {ElapsedText(std::chrono::steady_clock::now() - Started)});
}

void TLumara::PaintLayers() {
  StartProgress(0, FLayers->Count() - 1, "");
  for (int Index = 0; Index < FLayers->Count(); ++Index) {
    FLayers->GetLayer(Index)->Paint();
    ShowProgress(Index);
  }
  if (FFastSelection) FSelection->Paint();
  TCanvas& Image = *FMapBitmap->Canvas();
  Image.Pen().SetMode(pmCopy);
  Image.Brush().SetStyle(bsSolid);
  Image.Brush().SetColor(Color());
  StopProgress();
  if (FOnUpdate) FOnUpdate(this);
}

void TLumara::AssignToBitmap(TBitmap& Bitmap) {
  TBitmap Copy(Width(), Height());
  const TRect Whole = Rect(0, 0, Width(), Height());
  Copy.Canvas()->CopyRect(Whole, *GetCanvas(), Whole);
  Bitmap.Assign(Copy);
}

void TLumara::StartProgress(int Min, int Max, const std::string& Title) {
  if (FOnStartProgress) FOnStartProgress(this, Min, Max, Title);
}

void TLumara::ShowProgress(int Progress) {
  if (FOnShowProgress) FOnShowProgress(this, Progress);
}

void TLumara::StopProgress() {
  if (FOnStopProgress) FOnStopProgress(this);
}

void TLumara::SelectObjectAt(Extended X, Extended Y, bool ClearSelection) {
  if (FDisplayed->Count() == 0) return;
  if (FCtrlClickCount > 0) FSelection->Clear();
  const int StartLayer = FLayers->Count() - 1 - FCtrlClickCount;
  TraceMessage("Start Searching Object From Layer %S To Layer %S", {IntToStr(StartLayer), "0"});
  for (int LayerIndex = StartLayer; LayerIndex >= 0; --LayerIndex) {
    const TMapLayer* Layer = FLayers->GetLayer(LayerIndex);
    if (!Layer->Visible() || !Layer->Selectable()) continue;
    for (TCustomMapObject* Object : *FDisplayed) {
      if (Object->Layer() != Layer || !Object->ContainsPoint(X, Y)) continue;
      if (!FSelection->Contains(Object))
        FSelection->Add(Object, ClearSelection);
      else if (!ClearSelection)
        FSelection->Remove(Object);
      if (FFastSelection && FOnUpdate) FOnUpdate(this);
      return;
    }
  }
  FSelection->Clear();
}

void TLumara::SelectObjectsAt(Extended X, Extended Y, bool ClearSelection) {
  if (FDisplayed->Count() == 0) return;
  StartProgress(0, 0, "");
  if (ClearSelection) FSelection->Clear();
  for (int LayerIndex = FLayers->Count() - 1; LayerIndex >= 0; --LayerIndex) {
    const TMapLayer* Layer = FLayers->GetLayer(LayerIndex);
    if (!Layer->Selectable()) continue;
    // Selecting may draw, and drawing may list objects again: walk a copy.
    const std::vector<TCustomMapObject*> Candidates(FDisplayed->begin(), FDisplayed->end());
    for (TCustomMapObject* Object : Candidates)
      if (Object->Layer() == Layer && Object->ContainsPoint(X, Y) && !FSelection->Contains(Object))
        FSelection->Add(Object, false);
  }
  if (FFastSelection && FOnUpdate) FOnUpdate(this);
  StopProgress();
}

void TLumara::ZoomToObjects(const std::vector<TCustomMapObject*>& Objects) {
  if (Objects.empty()) return;
  Extended MinX = InvertedMin, MinY = InvertedMin, MaxX = InvertedMax, MaxY = InvertedMax;
  const auto Widen = [&](Extended Left, Extended Bottom, Extended Right, Extended Top) {
    MinX = std::min(MinX, Left);
    MinY = std::min(MinY, Bottom);
    MaxX = std::max(MaxX, Right);
    MaxY = std::max(MaxY, Top);
  };
  for (const TCustomMapObject* Object : Objects) {
    const TParts& Parts = Object->Parts();
    if (Parts.Count() == 1 && Parts[0].Points().Count() == 1) {
      const TMapPoint& Point = Parts[0].Points()[0];
      Widen(Point.X(), Point.Y(), Point.X(), Point.Y());
    } else {
      Widen(Parts.MinX(), Parts.MinY(), Parts.MaxX(), Parts.MaxY());
    }
  }
  struct TBracket {
    TLumara& Map;
    ~TBracket() { Map.EndUpdate(true); }
  } Bracket{*this};
  BeginUpdate();
  SetCenterX((MaxX - MinX) / 2 + MinX);
  SetCenterY((MaxY - MinY) / 2 + MinY);
  if (MaxX != MinX && MaxY != MinY)
    SetZoom(std::fabs(std::max((FMaxX - FMinX) / (MaxX - MinX), (FMaxY - FMinY) / (MaxY - MinY))));
}
