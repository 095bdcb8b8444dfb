// A Qt application with a live chart: a line grows to 1,000,000 points while
// the window runs; drag with the left button to pan, choose "Zoom" to zoom
// by dragging; crosshair 1 follows the mouse and a label reads its values.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/qt/QtHost.h"
#include "kelvo/qt/QtWindowServices.h"

using namespace vexa;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qt::TQtWindowServices services;  // cursors, message boxes and colours through Qt
  InstallWindowServices(&services);
  {
    TKelvo chart;
    chart.SetBounds(0, 0, 800, 500);
    chart.SetCaption("1,000,000 points, growing");
    chart.Scale1X().SetRangeHigh(1000000);
    chart.Scale1Y().SetRangeLow(-600);
    chart.Scale1Y().SetRangeHigh(600);
    chart.SetGridStyle(GridStyleType::gsDotLines);
    chart.SetGridColor(clSilver);
    chart.SetMouseAction(TMouseActMode::maPan);
    chart.SetMouseCursorFixed(false);
    chart.CrossHair1().SetMode(TCrossHMode::chBoth);
    chart.CrossHair1().SetColor(clRed);

    QWidget window;
    window.setWindowTitle("Kelvo live chart");
    auto* host = new qt::TQtControlHost(chart);
    host->setMinimumSize(400, 300);
    auto* readout = new QLabel("Move the mouse over the chart");
    auto* pan = new QRadioButton("Pan");
    auto* zoom = new QRadioButton("Zoom");
    pan->setChecked(true);
    auto* controls = new QHBoxLayout;
    controls->addWidget(pan);
    controls->addWidget(zoom);
    controls->addStretch();
    controls->addWidget(readout);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(host, 1);
    layout->addLayout(controls);
    QObject::connect(pan, &QRadioButton::toggled, [&](bool on) {
      if (on) chart.SetMouseAction(TMouseActMode::maPan);
    });
    QObject::connect(zoom, &QRadioButton::toggled, [&](bool on) {
      if (on) chart.SetMouseAction(TMouseActMode::maZoomWind);
    });
    chart.OnMouseMoveInChart = [&](TObject*, bool inChart, TShiftState, double x, double y) {
      if (!inChart) return;
      chart.CrossHair1().SetPosX(x);
      chart.CrossHair1().SetPosY(y);
      readout->setText(QString("x %1   y %2").arg(x, 0, 'f', 0).arg(y, 0, 'f', 1));
    };

    // Append 20,000 points every 20 ms until there are a million.
    int n = 0;
    double y = 0;
    chart.MoveTo(0, 0);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      for (int k = 0; k < 20000 && n < 1000000; ++k, ++n) {
        y += std::sin(n * 0.0007) * 0.9 + ((n * 2654435761u) % 1000) / 1000.0 - 0.5;
        chart.DrawTo(n, y);
      }
      chart.ShowGraph();
      if (n >= 1000000) timer.stop();
    });
    timer.start(20);
    window.resize(820, 560);
    window.show();
    const int result = QApplication::exec();
    InstallWindowServices(nullptr);
    return result;
  }
}
