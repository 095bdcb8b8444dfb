// The Qt 6 host: a QWidget that shows any TCustomControl. It creates the
// control's window, shows its window surface without copying it, forwards
// resizing and the mouse, and asks the control which keys it wants.
#pragma once

#include <QWidget>

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

 protected:
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
  TCustomControl* FControl;
  bool FNeedsPaint = true;
  bool FSyncingSize = false;
};

}  // namespace vexa::qt
