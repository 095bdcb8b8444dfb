// TForm1: the demo window "Example for Bar3D method" with its chart
// ExportChart, three scroll bars, three buttons and two radio buttons. The
// behaviour lives in TDemoLogic; this class only wires it to Qt widgets.
#pragma once

#include <QWidget>
#include <memory>

#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vexa::qt {
class TQtControlHost;
}

namespace demo {

class TForm1 : public QWidget, public IDemoView {
 public:
  TForm1();
  ~TForm1() override;

  vexa::TKelvo& ExportChart() { return FChart; }
  TDemoLogic& Logic() { return FLogic; }
  QScrollBar* SBarHeight() const { return FSBarHeight; }
  QScrollBar* SBarDepth() const { return FSBarDepth; }
  QScrollBar* SBarAngle() const { return FSBarAngle; }
  QPushButton* BButDone() const { return FBButDone; }
  QPushButton* BButAuto() const { return FBButAuto; }
  QPushButton* BButStop() const { return FBButStop; }
  QRadioButton* RB3Don() const { return FRB3Don; }
  QRadioButton* RBRect() const { return FRBRect; }
  vexa::qt::TQtControlHost* ChartHost() const { return FChartHost.get(); }
  // The window's first activation: runs FormActivate once.
  void ActivateOnce();

  // IDemoView
  int HeightPosition() const override;
  void SetHeightPosition(int Position) override;
  int DepthPosition() const override;
  int AnglePosition() const override;
  void SetButtonsEnabled(bool Start, bool Stop, bool Exit) override;
  void ProcessMessages() override;
  void Close() override;

 protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;

 private:
  vexa::TKelvo FChart;  // before the widget that shows it, which goes first
  std::unique_ptr<vexa::qt::TQtControlHost> FChartHost;
  TDemoLogic FLogic;
  QLabel *FLabel1, *FLabel2, *FLabel3;
  QPushButton *FBButDone, *FBButAuto, *FBButStop;
  QScrollBar *FSBarHeight, *FSBarDepth, *FSBarAngle;
  QRadioButton *FRB3Don, *FRBRect;
  bool FActivated = false;
};

}  // namespace demo
