// The Qt 6 host: a QWidget that shows any TCustomControl. It creates the
// control's window, shows its window surface without copying it, forwards
// resizing, the mouse, the wheel, the keyboard and the focus, shows the
// control's Hint as a tooltip and its PopupMenu on a right click, follows
// Enabled, TabStop, TabOrder and Cursor, and applies Align, Anchors and
// Constraints when its parent resizes. The chart's pixels are shown 1:1 in
// device-independent pixels; on a high-density screen Qt scales them by the
// device pixel ratio without smoothing, so they stay crisp. An exception
// that escapes control code while the host delivers an event or a paint is
// shown in the message box (once while the same failure repeats) instead
// of ending the program, as the framework's own message loop does.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <string>

#include "kelvo/platform/Controls.h"

namespace vexa::qt {

class TQtControlHost : public QWidget, public IControlHost {
 public:
  // The control must outlive the host or be detached with Detach().
  explicit TQtControlHost(TCustomControl& Control, QWidget* Parent = nullptr);
  ~TQtControlHost() override;

  TCustomControl& Control() const { return *FControl; }

  // IControlHost
  void ControlInvalidated(TCustomControl* Control) override;
  void ControlSurfaceChanged(TCustomControl* Control) override;
  void ControlResized(TCustomControl* Control) override;
  void ControlStateChanged(TCustomControl* Control) override;

  // Shows the control's own Cursor over the widget.
  void ShowControlCursor();
  // The menu of the control's PopupMenu last shown, while it is open.
  QMenu* OpenPopup() const { return FPopup; }

 protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  bool focusNextPrevChild(bool Next) override;

 private:
  void WatchParent();
  // Gives the control the widget's device pixel ratio when it changed.
  void FollowDevicePixelRatio();
  // Runs control code for one event or paint; see the header comment.
  template <class F>
  void Deliver(F&& Code);
  void ShowFailure(const std::string& Text);

  TCustomControl* FControl;
  bool FNeedsPaint = true;
  bool FSyncingSize = false;
  bool FLeftPressed = false;  // a left press on the control, for OnClick at the release
  QPointer<QWidget> FWatchedParent;
  QSize FParentSize;
  QPointer<QMenu> FPopup;
  std::string FShownFailure;  // the failure last shown, until a paint succeeds
};

}  // namespace vexa::qt
