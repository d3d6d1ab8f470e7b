#include "Control.h"

#include "Application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

Qt::CursorShape CursorShapeOf(TCursor Cursor) {
  switch (Cursor) {
  case crCross:
    return Qt::CrossCursor;
  case crIBeam:
    return Qt::IBeamCursor;
  case crHourGlass:
    return Qt::WaitCursor;
  case crHandPoint:
    return Qt::PointingHandCursor;
  case crSizeAll:
    return Qt::SizeAllCursor;
  default:
    return Qt::ArrowCursor;
  }
}

TMouseButton ButtonOf(Qt::MouseButton Button) {
  switch (Button) {
  case Qt::RightButton:
    return mbRight;
  case Qt::MiddleButton:
    return mbMiddle;
  default:
    return mbLeft;
  }
}

int LocalX(const QMouseEvent& Event) { return static_cast<int>(Event.position().x()); }
int LocalY(const QMouseEvent& Event) { return static_cast<int>(Event.position().y()); }

// Runs a handler from Qt's event loop; whatever it throws goes to the application.
template <class TBody>
void Guarded(TObject* Sender, TBody&& Body) noexcept {
  try {
    Body();
  } catch (...) {
    Application->HandleException(Sender);
  }
}

} // namespace

std::uint16_t VirtualKeyOf(int QtKey) {
  if ((QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) || (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z))
    return static_cast<std::uint16_t>(QtKey);
  if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
    return static_cast<std::uint16_t>(0x70 + QtKey - Qt::Key_F1);
  switch (QtKey) {
  case Qt::Key_Backspace:
    return 8;
  case Qt::Key_Tab:
    return 9;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return 13;
  case Qt::Key_Shift:
    return 16;
  case Qt::Key_Control:
    return 17;
  case Qt::Key_Alt:
    return 18;
  case Qt::Key_Escape:
    return 27;
  case Qt::Key_Space:
    return 32;
  case Qt::Key_PageUp:
    return 33;
  case Qt::Key_PageDown:
    return 34;
  case Qt::Key_End:
    return 35;
  case Qt::Key_Home:
    return 36;
  case Qt::Key_Left:
    return 37;
  case Qt::Key_Up:
    return 38;
  case Qt::Key_Right:
    return 39;
  case Qt::Key_Down:
    return 40;
  case Qt::Key_Insert:
    return 45;
  case Qt::Key_Delete:
    return 46;
  case Qt::Key_Plus:
    return 0x6B;
  case Qt::Key_Minus:
    return 0x6D;
  default:
    return 0;
  }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
  TShiftState Shift = 0;
  if (Modifiers & Qt::ShiftModifier) Shift |= ssShift;
  if (Modifiers & Qt::AltModifier) Shift |= ssAlt;
  if (Modifiers & Qt::ControlModifier) Shift |= ssCtrl;
  if (Buttons & Qt::LeftButton) Shift |= ssLeft;
  if (Buttons & Qt::RightButton) Shift |= ssRight;
  if (Buttons & Qt::MiddleButton) Shift |= ssMiddle;
  return Shift;
}

TCustomControl::TCustomControl(QWidget* Parent) : QWidget(Parent) {
  // The control draws every pixel itself; erasing first would only flicker.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::ClickFocus);
  ResizeFrontImage(width(), height());
}

TCustomControl::~TCustomControl() {
  FDestroying = true;
  FCanvas.reset();
}

void TCustomControl::SetBounds(int Left, int Top, int Width, int Height) {
  setGeometry(Left, Top, std::max(0, Width), std::max(0, Height));
  // A widget that is not shown gets no resize event; the picture follows at once.
  ResizeFrontImage(width(), height());
}

void TCustomControl::SetColor(TColor Value) {
  FColor = Value;
  Invalidate();
}

void TCustomControl::SetCursor(TCursor Value) {
  FCursor = Value;
  setCursor(CursorShapeOf(Value));
}

void TCustomControl::Invalidate() {
  FDirty = true;
  update();
}

void TCustomControl::Refresh() {
  Invalidate();
  repaint();
}

void TCustomControl::ResizeFrontImage(int Width, int Height) {
  if (FCanvas && FFrontImage.width() == Width && FFrontImage.height() == Height) return;
  if (FCanvas) FCanvas->Release();
  QImage Resized(std::max(Width, 0), std::max(Height, 0), QImage::Format_RGB32);
  Resized.setDotsPerMeterX(3780);
  Resized.setDotsPerMeterY(3780);
  Resized.fill(Qt::white);
  if (!FFrontImage.isNull()) {
    QPainter Copy(&Resized);
    Copy.drawImage(0, 0, FFrontImage);
  }
  FFrontImage = std::move(Resized);
  if (!FCanvas) {
    FCanvas = std::make_unique<TCanvas>(&FFrontImage);
    FCanvas->SetOnChange([this] { update(); });
  }
  FDirty = true;
}

void TCustomControl::paintEvent(QPaintEvent*) {
  Guarded(this, [this] {
    if (FDirty) {
      FDirty = false;
      Paint();
    }
  });
  QPainter Window(this);
  Window.drawImage(0, 0, FCanvas->Image());
}

void TCustomControl::resizeEvent(QResizeEvent*) {
  Guarded(this, [this] { ResizeFrontImage(width(), height()); });
}

void TCustomControl::mousePressEvent(QMouseEvent* Event) {
  Guarded(this, [&] {
    MouseDown(ButtonOf(Event->button()), ShiftStateOf(Event->modifiers(), Event->buttons()),
              LocalX(*Event), LocalY(*Event));
  });
}

void TCustomControl::mouseMoveEvent(QMouseEvent* Event) {
  Guarded(this, [&] {
    MouseMove(ShiftStateOf(Event->modifiers(), Event->buttons()), LocalX(*Event), LocalY(*Event));
  });
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* Event) {
  Guarded(this, [&] {
    MouseUp(ButtonOf(Event->button()), ShiftStateOf(Event->modifiers(), Event->buttons()),
            LocalX(*Event), LocalY(*Event));
  });
}

// The framework reports the second press of a double click as the click
// itself followed by a press marked as double.
void TCustomControl::mouseDoubleClickEvent(QMouseEvent* Event) {
  Guarded(this, [&] {
    if (Event->button() == Qt::LeftButton) DblClick();
    MouseDown(ButtonOf(Event->button()),
              ShiftStateOf(Event->modifiers(), Event->buttons()) | ssDouble, LocalX(*Event),
              LocalY(*Event));
  });
}

void TCustomControl::keyPressEvent(QKeyEvent* Event) {
  Guarded(this, [&] {
    std::uint16_t Key = VirtualKeyOf(Event->key());
    const TShiftState Shift = ShiftStateOf(Event->modifiers(), Qt::NoButton);
    if (Key != 0) KeyDown(Key, Shift);
    const QByteArray Text = Event->text().toLatin1();
    if (Text.size() == 1) {
      char Char = Text[0];
      KeyPress(Char);
    }
  });
}

void TCustomControl::keyReleaseEvent(QKeyEvent* Event) {
  Guarded(this, [&] {
    std::uint16_t Key = VirtualKeyOf(Event->key());
    if (Key != 0) KeyUp(Key, ShiftStateOf(Event->modifiers(), Qt::NoButton));
  });
}

void TCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FOnMouseDown) FOnMouseDown(this, Button, Shift, X, Y);
}

void TCustomControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (FOnMouseMove) FOnMouseMove(this, Shift, X, Y);
}

void TCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FOnMouseUp) FOnMouseUp(this, Button, Shift, X, Y);
}

void TCustomControl::DblClick() {
  if (FOnDblClick) FOnDblClick(this);
}

void TCustomControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (FOnKeyDown) FOnKeyDown(this, Key, Shift);
}

void TCustomControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
  if (FOnKeyUp) FOnKeyUp(this, Key, Shift);
}

void TCustomControl::KeyPress(char& Key) {
  if (FOnKeyPress) FOnKeyPress(this, Key);
}
