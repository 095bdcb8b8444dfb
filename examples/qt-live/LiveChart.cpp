// A Qt application with a live monitor: three channels of a sensor sampled
// at 1 kHz arrive as 20 new samples per channel every 20 ms. Each channel is
// a data series bounded to its newest minute of samples (the oldest drop out
// as new ones arrive); the time-of-day axis follows the newest ten seconds,
// with one paint per update. Hovering reads the nearest sample. Untick
// "Follow" to stop the axis and pan (drag) or zoom (wheel) through the
// minute held; tick it to follow again. With --measure it runs 250 updates
// (5 s), prints the median and slowest update (appends and paint) and quits:
// run it with QT_SCALE_FACTOR=2 to see a high-density screen's cost.
#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/qt/QtHost.h"
#include "kelvo/qt/QtWindowServices.h"

using namespace vexa;

namespace {

constexpr int Rate = 1000;    // samples a second
constexpr int Batch = 20;     // samples per channel per update
constexpr double Shown = 10;  // seconds in view while following
constexpr uint64_t Kept = 60 * Rate;

// A sensor's reading: a slow wave, a faster one and some noise; channel 2
// drops out now and then (NaN), which breaks its line.
double Reading(int Channel, int64_t N) {
  const double t = double(N) / Rate;
  if (Channel == 2 && std::fmod(t, 7.0) < 0.15) return std::nan("");
  const double noise = double((N * 2654435761u + Channel * 40503u) % 1000) / 1000.0 - 0.5;
  return 50 + 25 * std::sin(t * (0.4 + Channel * 0.3) + Channel) +
         8 * std::sin(t * (5 + Channel * 3)) + noise * 3;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qt::TQtWindowServices services;  // cursors, message boxes and colours through Qt
  InstallWindowServices(&services);
  {
    TKelvo chart;
    chart.SetBounds(0, 0, 800, 500);
    chart.SetCaption("Three channels at 1 kHz");
    chart.SetMarginBottom(50);
    chart.Scale1X().SetLabelType(TFigType::ftTime);  // seconds since midnight as clock times
    chart.Scale1Y().SetRangeLow(0);
    chart.Scale1Y().SetRangeHigh(100);
    // Light or dark as the desktop's palette is; each channel takes the next
    // colour of the theme's palette; lines drawn smooth.
    chart.ApplyTheme(TKelvoTheme::ktSystem);
    chart.SetAntiAliased(true);
    chart.SetMouseAction(TMouseActMode::maPan);
    chart.SetMouseCursorFixed(false);
    chart.SetMouseWheelZoom(true);
    chart.SetItemHover(true);
    for (int k = 0; k < 3; ++k) {
      TSeries& s = chart.AddSeries("channel " + std::to_string(k + 1));
      s.SetCapacity(Kept);  // the newest minute; older samples drop out
    }
    // A click on a channel's entry hides and shows it; the legend can be dragged.
    chart.Legend().SetVisible(true);
    chart.Legend().SetPosition(TLegendPos::lpOutsideTop);
    chart.Legend().SetColumns(0);

    QWidget window;
    window.setWindowTitle("Kelvo live monitor");
    auto* host = new qt::TQtControlHost(chart);
    host->setMinimumSize(400, 300);
    auto* follow = new QCheckBox("Follow");
    follow->setChecked(true);
    auto* readout = new QLabel("Hover over a line to read it");
    auto* controls = new QHBoxLayout;
    controls->addWidget(follow);
    controls->addStretch();
    controls->addWidget(readout);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(host, 1);
    layout->addLayout(controls);

    chart.OnItemHover = [&](TObject*, const TNearestItem& near) {
      if (near.Series < 0) return;
      const QTime at = QTime::fromMSecsSinceStartOfDay(int(std::lround(near.X * 1000)) % 86400000);
      readout->setText(QString("%1   %2   %3")
                           .arg(QString::fromStdString(chart.Series(size_t(near.Series)).Name()))
                           .arg(at.toString("HH:mm:ss.zzz"))
                           .arg(near.Y, 0, 'f', 2));
    };

    // Samples are numbered from the start; x is the time of day in seconds.
    const double start = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    int64_t next = 0;
    const bool measure = argc > 1 && std::strcmp(argv[1], "--measure") == 0;
    std::vector<double> updateMs;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      QElapsedTimer clock;
      clock.start();
      // One paint per update: the lock holds the range setters' paints back.
      chart.SetPaintLock(true);
      for (int k = 0; k < 3; ++k) {
        double x[Batch], y[Batch];
        for (int i = 0; i < Batch; ++i) {
          x[i] = start + double(next + i) / Rate;
          y[i] = Reading(k, next + i);
        }
        chart.Series(size_t(k)).Append(x, y, Batch);
      }
      next += Batch;
      if (follow->isChecked()) {
        const double now = start + double(next) / Rate;
        chart.Scale1X().SetRangeHigh(now);
        chart.Scale1X().SetRangeLow(now - Shown);
      }
      chart.SetPaintLock(false);  // paints
      if (!measure) return;
      updateMs.push_back(double(clock.nsecsElapsed()) / 1e6);
      if (updateMs.size() < 250) return;
      std::sort(updateMs.begin(), updateMs.end());
      std::printf("%zu updates at a device ratio of %.2f: median %.2f ms, slowest %.2f ms\n",
                  updateMs.size(), chart.DevicePixelRatio(), updateMs[updateMs.size() / 2],
                  updateMs.back());
      QApplication::quit();
    });
    timer.start(20);
    window.resize(820, 560);
    window.show();
    const int result = QApplication::exec();
    InstallWindowServices(nullptr);
    return result;
  }
}
