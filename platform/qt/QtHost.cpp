#include "kelvo/platform/qt/QtHost.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "kelvo/platform/qt/QtWindowServices.h"

namespace vexa::qt {

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  TShiftState s;
  if (mods & Qt::ShiftModifier) s.Include(TShiftStateItem::ssShift);
  if (mods & Qt::AltModifier) s.Include(TShiftStateItem::ssAlt);
  if (mods & Qt::ControlModifier) s.Include(TShiftStateItem::ssCtrl);
  if (buttons & Qt::LeftButton) s.Include(TShiftStateItem::ssLeft);
  if (buttons & Qt::RightButton) s.Include(TShiftStateItem::ssRight);
  if (buttons & Qt::MiddleButton) s.Include(TShiftStateItem::ssMiddle);
  return s;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
  if (b == Qt::RightButton) return TMouseButton::mbRight;
  if (b == Qt::MiddleButton) return TMouseButton::mbMiddle;
  return TMouseButton::mbLeft;
}

}  // namespace

TQtControlHost::TQtControlHost(TCustomControl& Control, QWidget* Parent)
    : QWidget(Parent), FControl(&Control) {
  FControl->SetHost(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  // A control that wants arrow keys or Tab takes the keyboard focus.
  setFocusPolicy(FControl->DialogCode() != 0 ? Qt::StrongFocus : Qt::NoFocus);
  setGeometry(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

TQtControlHost::~TQtControlHost() {
  if (FControl->Host() == this) FControl->SetHost(nullptr);
}

void TQtControlHost::ControlInvalidated(TCustomControl*) {
  FNeedsPaint = true;
  update();
}

void TQtControlHost::ControlSurfaceChanged(TCustomControl*) { update(); }

void TQtControlHost::ControlResized(TCustomControl*) {
  if (FSyncingSize) return;
  FSyncingSize = true;
  setGeometry(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
  FSyncingSize = false;
}

void TQtControlHost::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  if (!FControl->HandleAllocated()) {
    FControl->CreateWnd();
    FNeedsPaint = true;
  }
}

void TQtControlHost::paintEvent(QPaintEvent*) {
  if (FNeedsPaint) {
    FNeedsPaint = false;
    FControl->PaintWindow();
  }
  TBitmap& surface = FControl->Surface();
  QPainter p(this);
  if (surface.Empty()) return;
  // The surface's rows are 0xFFRRGGBB: Qt shows them as they are, no copy.
  const QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(),
                     surface.Height(), surface.Width() * 4, QImage::Format_RGB32);
  p.drawImage(0, 0, image);
}

void TQtControlHost::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (FSyncingSize) return;
  FSyncingSize = true;
  FControl->SetBounds(x(), y(), width(), height());
  FSyncingSize = false;
  FNeedsPaint = true;
}

void TQtControlHost::mousePressEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TQtControlHost::mouseMoveEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TQtControlHost::mouseReleaseEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TQtControlHost::mouseDoubleClickEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  FControl->DblClick();
  mousePressEvent(e);
}

void TQtControlHost::enterEvent(QEnterEvent*) {
  TQtWindowServices::TInputScope scope(this);
  FControl->MouseEnter();
}

void TQtControlHost::leaveEvent(QEvent*) {
  TQtWindowServices::TInputScope scope(this);
  FControl->MouseLeave();
}

bool TQtControlHost::focusNextPrevChild(bool Next) {
  // A control that wants Tab keeps it instead of passing the focus on.
  if (FControl->DialogCode() & DLGC_WANTTAB) return false;
  return QWidget::focusNextPrevChild(Next);
}

}  // namespace vexa::qt
