#include "kelvo/qt/QtHost.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <exception>
#include <vector>

#include "kelvo/qt/QtWindowServices.h"

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

// The window system's virtual key code of a Qt key; 0 for keys it has none for.
uint16_t VirtualKeyOf(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
    return static_cast<uint16_t>(key);  // the same codes
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint16_t>(112 + key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
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
    default:
      return 0;
  }
}

}  // namespace

template <class F>
void TQtControlHost::Deliver(F&& Code) {
  try {
    Code();
  } catch (const std::exception& e) {
    ShowFailure(e.what());
  } catch (...) {
    ShowFailure("Unknown error");
  }
}

// Shown after the event is done: a modal box inside a paint or a mouse
// press would run the event loop from within it.
void TQtControlHost::ShowFailure(const std::string& Text) {
  if (Text == FShownFailure) return;
  FShownFailure = Text;
  QTimer::singleShot(0, this, [Text] {
    WindowServices().MessageBoxOK(Text, QApplication::applicationDisplayName().toStdString());
  });
}

TQtControlHost::TQtControlHost(TCustomControl& Control, QWidget* Parent)
    : QWidget(Parent), FControl(&Control) {
  FControl->SetHost(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setGeometry(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
  ControlStateChanged(FControl);
  WatchParent();
}

TQtControlHost::~TQtControlHost() {
  if (FControl->Host() == this) FControl->SetHost(nullptr);
}

void TQtControlHost::ControlStateChanged(TCustomControl*) {
  setEnabled(FControl->Enabled());
  // A control that wants arrow keys or Tab takes the keyboard focus; Tab
  // reaches it only with TabStop.
  if (FControl->DialogCode() == 0)
    setFocusPolicy(Qt::NoFocus);
  else
    setFocusPolicy(FControl->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
  // Tab order among the sibling hosts follows their TabOrder.
  if (QWidget* parent = parentWidget()) {
    std::vector<TQtControlHost*> hosts;
    for (QObject* o : parent->children())
      if (auto* h = dynamic_cast<TQtControlHost*>(o)) hosts.push_back(h);
    std::stable_sort(hosts.begin(), hosts.end(), [](auto* a, auto* b) {
      return a->FControl->TabOrder() < b->FControl->TabOrder();
    });
    for (size_t i = 0; i + 1 < hosts.size(); ++i) QWidget::setTabOrder(hosts[i], hosts[i + 1]);
  }
  ShowControlCursor();
}

void TQtControlHost::ShowControlCursor() {
  const TCursor id = FControl->Cursor();
  if (id == crDefault) {
    unsetCursor();
  } else if (id == crCross) {
    setCursor(Qt::CrossCursor);
  } else if (auto* qt = dynamic_cast<TQtWindowServices*>(&WindowServices())) {
    if (const QCursor* c = qt->RegisteredCursor(id)) setCursor(*c);
  }
}

void TQtControlHost::WatchParent() {
  QWidget* parent = parentWidget();
  if (parent == FWatchedParent) return;
  if (FWatchedParent) FWatchedParent->removeEventFilter(this);
  FWatchedParent = parent;
  if (parent) {
    parent->installEventFilter(this);
    FParentSize = parent->size();
  }
}

bool TQtControlHost::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FWatchedParent && Event->type() == QEvent::Resize) {
    const QSize now = FWatchedParent->size();
    if (now != FParentSize && !FParentSize.isEmpty()) {
      // Aligned controls share the parent as the framework does: first the
      // top ones in order, then bottom, left and right; alClient takes what
      // is left. Every host works out its own part from its siblings' sizes.
      TRect free = Rect(0, 0, now.width(), now.height());
      const TAlign mine = FControl->Align();
      bool placed = false;
      for (TAlign side : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight}) {
        for (QObject* o : FWatchedParent->children()) {
          auto* h = dynamic_cast<TQtControlHost*>(o);
          if (!h || h->FControl->Align() != side || !h->FControl->Visible()) continue;
          if (h == this) {
            placed = true;
            break;
          }
          const TCustomControl& c = *h->FControl;
          if (side == TAlign::alTop) free.Top += c.Height();
          if (side == TAlign::alBottom) free.Bottom -= c.Height();
          if (side == TAlign::alLeft) free.Left += c.Width();
          if (side == TAlign::alRight) free.Right -= c.Width();
        }
        if (placed || side == mine) break;
      }
      free.Right = std::max(free.Right, free.Left);
      free.Bottom = std::max(free.Bottom, free.Top);
      Deliver([&] {
        FControl->ParentResized({FParentSize.width(), FParentSize.height()},
                                {now.width(), now.height()}, &free);
      });
    }
    FParentSize = now;
  }
  return QWidget::eventFilter(Watched, Event);
}

bool TQtControlHost::event(QEvent* Event) {
  if (Event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(Event);
    if (FControl->ShowHint() && !FControl->Hint().empty())
      QToolTip::showText(help->globalPos(), QString::fromStdString(FControl->Hint()), this);
    else
      QToolTip::hideText();
    return true;
  }
  if (Event->type() == QEvent::ParentChange) WatchParent();
  return QWidget::event(Event);
}

void TQtControlHost::wheelEvent(QWheelEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->SetPointerPosition(e->position().x(), e->position().y());
  bool handled = false;
  Deliver([&] {
    handled = FControl->DoMouseWheel(ShiftOf(e->modifiers(), e->buttons()), e->angleDelta().y(),
                                     {p.x(), p.y()});
  });
  e->setAccepted(handled);
}

void TQtControlHost::keyPressEvent(QKeyEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  Deliver([&] {
    uint16_t key = VirtualKeyOf(e->key());
    if (key != 0) FControl->KeyDown(key, ShiftOf(e->modifiers(), Qt::NoButton));
    // The characters the key types, where the key-down handler left it alone.
    if (key != 0 || VirtualKeyOf(e->key()) == 0)
      for (QChar q : e->text()) {
        if (q.unicode() == 0 || q.unicode() > 255) continue;
        char c = static_cast<char>(q.unicode());
        FControl->KeyPress(c);
      }
  });
  e->accept();
}

void TQtControlHost::keyReleaseEvent(QKeyEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  uint16_t key = VirtualKeyOf(e->key());
  if (key != 0) Deliver([&] { FControl->KeyUp(key, ShiftOf(e->modifiers(), Qt::NoButton)); });
  e->accept();
}

void TQtControlHost::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  Deliver([&] { FControl->DoEnter(); });
}

void TQtControlHost::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  Deliver([&] { FControl->DoExit(); });
}

void TQtControlHost::contextMenuEvent(QContextMenuEvent* e) {
  TPopupMenu* menu = FControl->PopupMenu();
  if (!menu) {
    e->ignore();
    return;
  }
  if (menu->OnPopup) Deliver([&] { menu->OnPopup(menu); });
  auto* shown = new QMenu(this);
  shown->setAttribute(Qt::WA_DeleteOnClose);
  for (const TPopupMenu::TItem& item : menu->Items()) {
    if (item.Caption == "-") {
      shown->addSeparator();
      continue;
    }
    QAction* a = shown->addAction(QString::fromStdString(item.Caption));
    const TNotifyEvent click = item.OnClick;
    QObject::connect(a, &QAction::triggered, this, [this, click, menu] {
      if (click) Deliver([&] { click(menu); });
    });
  }
  FPopup = shown;
  shown->popup(e->globalPos());
  e->accept();
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
  FollowDevicePixelRatio();
  if (!FControl->HandleAllocated()) {
    Deliver([&] { FControl->CreateWnd(); });
    FNeedsPaint = true;
  }
}

// The control draws in the device pixels of the screen the widget is on:
// its ratio follows the widget's (a move to another screen, a changed scale
// factor), and the surface is shown 1:1 on the device.
void TQtControlHost::FollowDevicePixelRatio() {
  const double ratio = devicePixelRatioF();
  if (ratio == FControl->DevicePixelRatio() || !TDeviceScale::Acceptable(ratio)) return;
  Deliver([&] { FControl->SetDevicePixelRatio(ratio); });
  FNeedsPaint = true;
}

void TQtControlHost::paintEvent(QPaintEvent*) {
  FollowDevicePixelRatio();
  if (FNeedsPaint) {
    FNeedsPaint = false;
    bool painted = false;
    Deliver([&] {
      FControl->PaintWindow();
      painted = true;
    });
    if (painted) FShownFailure.clear();  // a later failure is news again
  }
  const TBitmap& surface = FControl->Surface();  // read only: the marks stay
  QPainter p(this);
  if (surface.Empty()) return;
  // The surface's rows are 0xFFRRGGBB: Qt shows them as they are, no copy,
  // one surface pixel to a device pixel.
  QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
               surface.Width() * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(FControl->DevicePixelRatio());
  p.drawImage(QPointF(0, 0), image);
}

void TQtControlHost::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (FSyncingSize) return;
  FSyncingSize = true;
  Deliver([&] { FControl->SetBounds(x(), y(), width(), height()); });
  FSyncingSize = false;
  FNeedsPaint = true;
}

void TQtControlHost::mousePressEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  if (e->button() == Qt::LeftButton) FLeftPressed = true;
  const QPoint p = e->position().toPoint();
  FControl->SetPointerPosition(e->position().x(), e->position().y());
  Deliver([&] {
    FControl->MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  });
}

void TQtControlHost::mouseMoveEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->SetPointerPosition(e->position().x(), e->position().y());
  Deliver([&] { FControl->MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TQtControlHost::mouseReleaseEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  const QPoint p = e->position().toPoint();
  FControl->SetPointerPosition(e->position().x(), e->position().y());
  // A left press released over the control is a click (before the mouse-up, as the framework has
  // it).
  if (e->button() == Qt::LeftButton && FLeftPressed) {
    FLeftPressed = false;
    if (rect().contains(p)) Deliver([&] { FControl->Click(); });
  }
  Deliver([&] {
    FControl->MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  });
}

void TQtControlHost::mouseDoubleClickEvent(QMouseEvent* e) {
  TQtWindowServices::TInputScope scope(this);
  Deliver([&] { FControl->DblClick(); });
  mousePressEvent(e);
}

void TQtControlHost::enterEvent(QEnterEvent*) {
  TQtWindowServices::TInputScope scope(this);
  Deliver([&] { FControl->MouseEnter(); });
}

void TQtControlHost::leaveEvent(QEvent*) {
  TQtWindowServices::TInputScope scope(this);
  Deliver([&] { FControl->MouseLeave(); });
}

bool TQtControlHost::focusNextPrevChild(bool Next) {
  // A control that wants Tab keeps it instead of passing the focus on.
  if (FControl->DialogCode() & DLGC_WANTTAB) return false;
  return QWidget::focusNextPrevChild(Next);
}

}  // namespace vexa::qt
