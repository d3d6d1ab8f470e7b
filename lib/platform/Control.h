#pragma once
// The framework's custom control over QWidget: a windowed control with its
// own canvas, mouse, key and double-click handlers as virtuals with the
// host's On... events around them, and no background erasing.
//
// The framework lets a control draw on its window at any time; Qt lets a
// widget draw only inside its paint event. So the control keeps a front image
// of its window: its Canvas draws on that image and asks Qt to present it;
// Invalidate marks the control dirty, and the next paint event runs Paint
// (once for any number of invalidations) before presenting the image.

#include "Canvas.h"
#include "Graphics.h"
#include "Object.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = std::uint8_t; // a set of TShiftFlag bits

// Cursor identifiers of the framework.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key codes are the framework's virtual key codes (letters and digits as
// their upper-case ASCII codes, 13 Enter, 27 Escape, 37..40 the arrows, ...).
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TCustomControl : public QWidget, public TObject {
public:
  explicit TCustomControl(QWidget* Parent = nullptr);
  ~TCustomControl() override;

  [[nodiscard]] int Width() const { return width(); }
  [[nodiscard]] int Height() const { return height(); }
  [[nodiscard]] int ClientWidth() const { return width(); }
  [[nodiscard]] int ClientHeight() const { return height(); }
  virtual void SetBounds(int Left, int Top, int Width, int Height);
  void SetWidth(int Value) { SetBounds(x(), y(), Value, height()); }
  void SetHeight(int Value) { SetBounds(x(), y(), width(), Value); }

  // The background colour; the default is the window colour.
  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  [[nodiscard]] TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  // Whether the control is placed where it can show itself. In Qt every
  // widget can — one without a parent is a window — so a control counts as
  // placed until its destruction begins.
  [[nodiscard]] bool HasParent() const { return !FDestroying; }

  // Asks for one repaint: Paint runs at the next paint event.
  void Invalidate();
  // Repaints now.
  void Refresh();
  void SetFocus() { setFocus(Qt::OtherFocusReason); }
  [[nodiscard]] bool Focused() const { return hasFocus(); }

  // The control's own canvas: drawing on it changes the window's picture at
  // once (between paints too).
  [[nodiscard]] TCanvas* Canvas() { return FCanvas.get(); }

  [[nodiscard]] const TMouseEvent& OnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(TMouseEvent Value) { FOnMouseDown = std::move(Value); }
  [[nodiscard]] const TMouseMoveEvent& OnMouseMove() const { return FOnMouseMove; }
  void SetOnMouseMove(TMouseMoveEvent Value) { FOnMouseMove = std::move(Value); }
  [[nodiscard]] const TMouseEvent& OnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(TMouseEvent Value) { FOnMouseUp = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(TNotifyEvent Value) { FOnDblClick = std::move(Value); }
  [[nodiscard]] const TKeyEvent& OnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(TKeyEvent Value) { FOnKeyDown = std::move(Value); }
  [[nodiscard]] const TKeyEvent& OnKeyUp() const { return FOnKeyUp; }
  void SetOnKeyUp(TKeyEvent Value) { FOnKeyUp = std::move(Value); }
  [[nodiscard]] const TKeyPressEvent& OnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(TKeyPressEvent Value) { FOnKeyPress = std::move(Value); }

protected:
  // Draws the whole window on Canvas; called by the paint event when the
  // control was invalidated.
  virtual void Paint() {}
  // The framework's handlers: the base versions raise the host's events.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DblClick();
  virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // A derived destructor calls this first, so nothing it destroys finds the
  // control still placed.
  void BeginDestruction() { FDestroying = true; }

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;

private:
  void ResizeFrontImage(int Width, int Height);

  QImage FFrontImage;
  std::unique_ptr<TCanvas> FCanvas;
  TColor FColor = clWindow;
  TCursor FCursor = crDefault;
  bool FDirty = true;
  bool FDestroying = false;
  TMouseEvent FOnMouseDown;
  TMouseMoveEvent FOnMouseMove;
  TMouseEvent FOnMouseUp;
  TNotifyEvent FOnDblClick;
  TKeyEvent FOnKeyDown;
  TKeyEvent FOnKeyUp;
  TKeyPressEvent FOnKeyPress;
};

// Qt's key and modifier values in the framework's terms.
[[nodiscard]] std::uint16_t VirtualKeyOf(int QtKey);
[[nodiscard]] TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
