// A Qt application with a live monitor: three channels of a sensor sampled
// at 1 kHz arrive as 20 new samples per channel every 20 ms. Each channel is
// a data series bounded to its newest minute of samples (the oldest drop out
// as new ones arrive); the time-of-day axis follows the newest ten seconds,
// with one paint per update. Hovering reads the nearest sample. Untick
// "Follow" to stop the axis and pan (drag) or zoom (wheel) through the
// minute held; tick it to follow again. Below the lines, a spectrogram of
// channel 1 (a colour map taking a column per update, its newest ten
// seconds, with a colour bar) shows the tone that sweeps through that
// channel, on the same time axis. With --measure it runs 250 updates
// (5 s), prints the median and slowest update (appends and paint) and quits:
// run it with QT_SCALE_FACTOR=2 to see a high-density screen's cost. With
// --snapshot FILE it saves the window's picture after 250 updates and quits.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
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
#include <numbers>
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
constexpr int Window = 256;                      // samples per spectrum
constexpr int Bins = 64;                         // 0 .. 250 Hz in steps of Rate / Window
constexpr int Columns = int(Shown * 1000) / 20;  // one per update

// A sensor's reading: a slow wave, a faster one and some noise; channel 2
// drops out now and then (NaN), which breaks its line.
double Reading(int Channel, int64_t N) {
  const double t = double(N) / Rate;
  if (Channel == 2 && std::fmod(t, 7.0) < 0.15) return std::nan("");
  uint64_t h = uint64_t(N) * 0x9E3779B97F4A7C15u + uint64_t(Channel) * 40503u;
  h ^= h >> 29, h *= 0xBF58476D1CE4E5B9u, h ^= h >> 32;
  const double noise = double(h % 1000) / 1000.0 - 0.5;
  // Channel 1 carries a tone sweeping from 30 to 230 Hz and back every 10 s.
  const double sweep = std::fmod(t, 20.0), up = sweep < 10 ? sweep : 20 - sweep;
  const double phase = 2 * std::numbers::pi * (30 * t + 10 * (sweep < 10 ? up * up : 200 - up * up) * 0.5);
  return 50 + 25 * std::sin(t * (0.4 + Channel * 0.3) + Channel) +
         8 * std::sin(t * (5 + Channel * 3)) + noise * 3 + (Channel == 0 ? 3 * std::sin(phase) : 0);
}

// The magnitude spectrum (dB) of the newest Window samples of Y, Bins bins.
void Spectrum(const std::vector<double>& Y, double* Out) {
  for (int b = 0; b < Bins; ++b) {
    double re = 0, im = 0;
    for (int n = 0; n < Window; ++n) {
      const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / (Window - 1));
      const double a = 2 * std::numbers::pi * b * n / Window, v = (Y[size_t(n)] - 50) * hann;
      re += v * std::cos(a), im -= v * std::sin(a);
    }
    Out[b] = 10 * std::log10(re * re + im * im + 1e-9);
  }
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

    // The spectrogram of channel 1: one column of Bins per update, the
    // newest ten seconds held; x is the time of day as above, y in Hz.
    TKelvo spectrogram;
    spectrogram.SetBounds(0, 0, 800, 260);
    spectrogram.SetMarginBottom(40);
    spectrogram.ApplyTheme(TKelvoTheme::ktSystem);
    spectrogram.Scale1X().SetLabelType(TFigType::ftTime);
    spectrogram.Scale1Y().SetCaption("Hz");
    spectrogram.Scale1Y().SetRangeLow(0);
    spectrogram.Scale1Y().SetRangeHigh(double(Bins) * Rate / Window);
    TColorMap& spectrum = spectrogram.AddColorMap("channel 1");
    spectrum.SetGradient(TGradient::grInferno);
    spectrum.SetCapacity(Columns);
    spectrum.SetSize(Columns, Bins);  // NaN until the columns arrive
    spectrum.SetColorRangeLow(0);     // dB
    spectrum.SetColorRangeHigh(60);
    spectrogram.ColorBar().SetVisible(true);
    spectrogram.ColorBar().SetCaption("dB");
    spectrogram.ColorBar().SetWidth(12);

    QWidget window;
    window.setWindowTitle("Kelvo live monitor");
    auto* host = new qt::TQtControlHost(chart);
    host->setMinimumSize(400, 300);
    auto* spectrogramHost = new qt::TQtControlHost(spectrogram);
    spectrogramHost->setMinimumSize(400, 160);
    auto* follow = new QCheckBox("Follow");
    follow->setChecked(true);
    auto* readout = new QLabel("Hover over a line to read it");
    auto* controls = new QHBoxLayout;
    controls->addWidget(follow);
    controls->addStretch();
    controls->addWidget(readout);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(host, 2);
    layout->addWidget(spectrogramHost, 1);
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
    // The map's columns end at the newest sample: one update (20 ms) each.
    spectrum.SetExtent(start - Shown, start, 0, double(Bins) * Rate / Window);
    std::vector<double> recent(Window, 50.0);  // channel 1's newest samples
    double column[Bins];
    const bool measure = argc > 1 && std::strcmp(argv[1], "--measure") == 0;
    const char* snapshot = argc > 2 && std::strcmp(argv[1], "--snapshot") == 0 ? argv[2] : nullptr;
    int updates = 0;
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
        if (k == 0) {
          recent.erase(recent.begin(), recent.begin() + Batch);
          recent.insert(recent.end(), y, y + Batch);
        }
      }
      next += Batch;
      Spectrum(recent, column);
      spectrum.AppendColumn(column);
      if (follow->isChecked()) {
        const double now = start + double(next) / Rate;
        chart.Scale1X().SetRangeHigh(now);
        chart.Scale1X().SetRangeLow(now - Shown);
      }
      // The spectrogram shows the lines' time range, its data area under
      // theirs (its colour bar takes room on the right).
      const int32_t right = spectrogram.Width() - spectrogram.DataArea().Right;
      if (chart.Width() == spectrogram.Width() && chart.Width() - chart.DataArea().Right != right)
        chart.SetMarginRight(right);
      spectrogram.SetLayerRanges(1, chart.Scale1X().RangeLow(), 0, chart.Scale1X().RangeHigh(),
                                 double(Bins) * Rate / Window, false);
      chart.SetPaintLock(false);  // paints
      if (snapshot && ++updates == 250) {
        window.grab().save(snapshot);
        QApplication::quit();
      }
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
    window.resize(820, 760);
    window.show();
    const int result = QApplication::exec();
    InstallWindowServices(nullptr);
    return result;
  }
}
