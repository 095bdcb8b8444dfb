// Data series against QCustomPlot 2.1 (adaptive sampling on, the same
// aliasing), each workload with its twin in the same run. The twin takes
// its widget's path: a replot into its paint buffers at the device ratio,
// then the copy into the frame that a shown widget's paint makes.
//   LiveTick     three series of 1,000,000 points (capacity 1,000,000), 20
//                new points each, the x range moved to the newest 10 s
//                (10,000 points a series in view), the chart painted; at
//                device ratios 1, 1.5 (LiveTick15) and 2 (LiveTick2), each
//                also anti-aliased (LiveTickSmooth...); LiveTickReport: light
//                theme, anti-aliased, a legend of three, time-of-day x axis;
//                LiveTickSteps: x steps back 0.5 s once every 10,000 samples
//                and is not finite once every 100,000
//   Zoomed10M    10,000,000 sorted points, a tenth of them in view; Whole10M
//                all of them
//   Sorted1MSmooth  1,000,000 sorted points anti-aliased, beside them aliased
//                and anti-aliased at a device ratio of 2
//   Circles100kSmooth  100,000 unsorted points as open circles, anti-aliased
//                and aliased
//   Scatter1M    1,000,000 unsorted points as 3 x 3 squares
//   Hover        a tick's appends and FindNearestItem in the live scene;
//                HoverSteps in LiveTickSteps' scene
//   Append10M    appending 10,000,000 points in blocks of 10,000 to a cleared
//                series (its memory already resident)
// The resident size per point at 10,000,000 points is printed at the start.
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "BenchMain.h"
#include "QcpTwin.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 1070, H = 860;  // data area about 1000 x 800
constexpr int Rate = 1000;        // samples a second
constexpr int Held = 1000000, Tick = 20, Channels = 3;

double Signal(int Channel, int64_t N) {
  return 50 + 30 * std::sin(N * 0.0007 + Channel) + 5 * std::sin(N * 0.05 * (Channel + 1));
}

std::unique_ptr<TKelvo> Chart() {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W, H);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->Scale1Y().SetRangeLow(0);
  c->Scale1Y().SetRangeHigh(100);
  return c;
}

QCustomPlot& Plot(QCustomPlot& plot, bool Smooth = false) {
  if (Smooth)
    plot.setAntialiasedElements(QCP::aeAll);
  else
    plot.setNotAntialiasedElements(QCP::aeAll);
  plot.yAxis->setRange(0, 100);
  return plot;
}

// The twin's frame at the chart's size.
struct TTwinFrame : kelvo::bench::TQcpFrame {
  TTwinFrame(QCustomPlot& Plot, double Ratio = 1.0) : TQcpFrame(Plot, W, H, Ratio) {}
};

// --- the live monitor ---

// The variants of the live tick: device ratio, anti-aliasing, the report
// look (light theme, anti-aliased, a legend, a time-of-day x axis), and x
// that steps back 0.5 s once every 10,000 samples and is not finite once
// every 100,000 (a repeated packet, a clock step).
struct TLiveOptions {
  double Ratio = 1.0;
  bool Smooth = false, Report = false, Steps = false;
};

double LiveX(const TLiveOptions& O, int64_t N) {
  if (!O.Steps) return double(N) / Rate;
  if (N % 100000 == 99999) return std::nan("");
  return double(N) / Rate - 0.5 * double(N / 10000);
}

// The newest 10 s of x.
double Newest(const TLiveOptions& O, int64_t Next) {
  const double x = LiveX(O, Next - 1);
  return std::isfinite(x) ? x : LiveX(O, Next - 2);
}

struct TLive {
  TLiveOptions O;
  std::unique_ptr<TKelvo> C = Chart();
  int64_t Next = 0;
  explicit TLive(TLiveOptions Options = {}) : O(Options) {
    C->SetDevicePixelRatio(O.Ratio);
    if (O.Report) {
      C->ApplyTheme(TKelvoTheme::ktLight);
      C->Legend().SetVisible(true);
      C->Scale1X().SetLabelType(TFigType::ftTime);
    }
    C->SetAntiAliased(O.Smooth || O.Report);
    for (int k = 0; k < Channels; ++k) {
      TSeries& s = C->AddSeries("channel " + std::to_string(k));
      s.SetCapacity(Held);
      s.SetColor(k == 0 ? clNavy : k == 1 ? clRed : clGreen);
      std::vector<double> x(Held), y(Held);
      for (int i = 0; i < Held; ++i) x[i] = LiveX(O, i), y[i] = Signal(k, i);
      s.Append(x.data(), y.data(), Held);
    }
    Next = Held;
  }
  void Step() {
    C->SetPaintLock(true);
    for (int k = 0; k < Channels; ++k) {
      double x[Tick], y[Tick];
      for (int i = 0; i < Tick; ++i) x[i] = LiveX(O, Next + i), y[i] = Signal(k, Next + i);
      C->Series(static_cast<size_t>(k)).Append(x, y, Tick);
    }
    Next += Tick;
    const double now = Newest(O, Next);
    C->Scale1X().SetRangeHigh(now);
    C->Scale1X().SetRangeLow(now - 10);
  }
};

void LiveTick_kelvo(benchmark::State& st, TLiveOptions O) {
  TLive live(O);
  for (auto _ : st) {
    live.Step();
    live.C->SetPaintLock(false);  // one full paint
  }
}

struct TLiveTwin {
  TLiveOptions O;
  QCustomPlot P;
  std::vector<QCPGraph*> G;
  int64_t Next = Held;
  explicit TLiveTwin(TLiveOptions Options = {}) : O(Options) {
    Plot(P, O.Smooth || O.Report);
    if (O.Report) {
      P.legend->setVisible(true);
      P.xAxis->setTicker(QSharedPointer<QCPAxisTickerTime>(new QCPAxisTickerTime));
    }
    for (int k = 0; k < Channels; ++k) {
      QVector<double> x(Held), y(Held);
      for (int i = 0; i < Held; ++i) x[i] = LiveX(O, i), y[i] = Signal(k, i);
      QCPGraph* g = P.addGraph();
      g->setName(QString("channel %1").arg(k));
      g->setData(x, y, !O.Steps);
      g->setPen(QPen(k == 0 ? Qt::darkBlue : k == 1 ? Qt::red : Qt::darkGreen, 0));
      G.push_back(g);
    }
  }
  void Step() {
    for (int k = 0; k < Channels; ++k) {
      QVector<double> x(Tick), y(Tick);
      for (int i = 0; i < Tick; ++i) x[i] = LiveX(O, Next + i), y[i] = Signal(k, Next + i);
      G[k]->addData(x, y, !O.Steps);
      // The newest Held samples (x falls behind 5 % with the steps back).
      G[k]->data()->removeBefore(Newest(O, Next + Tick) -
                                 (Held - 1) * (O.Steps ? 0.95 : 1.0) / Rate);
    }
    Next += Tick;
    const double now = Newest(O, Next);
    P.xAxis->setRange(now - 10, now);
  }
};

void LiveTick_qcustomplot(benchmark::State& st, TLiveOptions O) {
  TLiveTwin live(O);
  TTwinFrame frame(live.P, O.Ratio);
  for (auto _ : st) {
    live.Step();
    frame.Draw(live.P);
  }
}

void Hover_kelvo(benchmark::State& st, TLiveOptions O) {
  TLive live(O);
  live.C->SetPaintLock(false);
  int x = 100;
  for (auto _ : st) {
    st.PauseTiming();  // the tick itself is LiveTick's
    live.Step();
    live.C->SetPaintLock(false);
    st.ResumeTiming();
    benchmark::DoNotOptimize(live.C->FindNearestItem(x, 400, 8));
    x = x == 900 ? 100 : x + 1;
  }
}

void Hover_qcustomplot(benchmark::State& st, TLiveOptions O) {
  TLiveTwin live(O);
  TTwinFrame frame(live.P);
  frame.Draw(live.P);
  int x = 100;
  for (auto _ : st) {
    st.PauseTiming();
    live.Step();
    frame.Draw(live.P);
    st.ResumeTiming();
    double best = 1e300;
    for (QCPGraph* g : live.G) best = std::min(best, g->selectTest(QPointF(x, 400), false));
    benchmark::DoNotOptimize(best);
    x = x == 900 ? 100 : x + 1;
  }
}

// --- large sorted data ---

const std::vector<double>& Walk() {
  static std::vector<double> y;
  if (!y.empty()) return y;
  y.resize(10000000);
  kelvo::bench::TRng rng;
  double v = 50;
  for (double& e : y) e = v = std::fmin(std::fmax(v + rng.NextReal(2) - 1, 0), 100);
  return y;
}

void Large_kelvo(benchmark::State& st, double Visible, double Ratio = 1.0) {
  auto c = Chart();
  c->SetDevicePixelRatio(Ratio);
  TSeries& s = c->AddSeries();
  s.SetXSpacing(0, 1);
  s.Append(Walk());
  c->Scale1X().SetRangeHigh(1e7 * Visible);
  c->Scale1X().SetRangeLow(0);
  c->Paint();
  for (auto _ : st) c->Paint();
}

void Large_qcustomplot(benchmark::State& st, double Visible) {
  QCustomPlot plot;
  Plot(plot);
  const std::vector<double>& w = Walk();
  QVector<double> x(static_cast<qsizetype>(w.size())), y(w.begin(), w.end());
  for (qsizetype i = 0; i < x.size(); ++i) x[i] = double(i);
  plot.addGraph()->setData(x, y, true);
  plot.graph(0)->setPen(QPen(Qt::black, 0));
  plot.xAxis->setRange(0, 1e7 * Visible);
  TTwinFrame frame(plot);
  for (auto _ : st) frame.Draw(plot);
}

void Zoomed10M_kelvo(benchmark::State& st) { Large_kelvo(st, 0.1); }
void Zoomed10M_qcustomplot(benchmark::State& st) { Large_qcustomplot(st, 0.1); }
void Whole10M_kelvo(benchmark::State& st) { Large_kelvo(st, 1.0); }
void Whole10M_qcustomplot(benchmark::State& st) { Large_qcustomplot(st, 1.0); }
// The same series on a surface of twice the pixels each way ("ratio2":
// device columns, so about twice the columns' work plus four times the fill).
void Zoomed10M_ratio2(benchmark::State& st) { Large_kelvo(st, 0.1, 2.0); }
void Whole10M_ratio2(benchmark::State& st) { Large_kelvo(st, 1.0, 2.0); }

// A sorted line of 1,000,000 points over the whole width, anti-aliased
// ("/kelvo"), beside the same line aliased and QCustomPlot's anti-aliased.
void Sorted1M_kelvo(benchmark::State& st, bool Smooth, double Ratio = 1.0) {
  auto c = Chart();
  c->SetDevicePixelRatio(Ratio);
  c->SetAntiAliased(Smooth);
  TSeries& s = c->AddSeries();
  s.SetXSpacing(0, 1);
  s.Append(Walk().data(), 1000000);
  c->Scale1X().SetRangeLow(0);
  c->Scale1X().SetRangeHigh(1e6);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Sorted1MSmooth_kelvo(benchmark::State& st) { Sorted1M_kelvo(st, true); }
void Sorted1MSmooth_aliased(benchmark::State& st) { Sorted1M_kelvo(st, false); }
// At a ratio of 2 the smooth pen is two device pixels wide: every point is
// drawn (columns would change the picture).
void Sorted1MSmooth_ratio2(benchmark::State& st) { Sorted1M_kelvo(st, true, 2.0); }
void Sorted1MSmooth_qcustomplot(benchmark::State& st) {
  QCustomPlot plot;
  Plot(plot, true);
  const std::vector<double>& w = Walk();
  QVector<double> x(1000000), y(w.begin(), w.begin() + 1000000);
  for (qsizetype i = 0; i < x.size(); ++i) x[i] = double(i);
  plot.addGraph()->setData(x, y, true);
  plot.graph(0)->setPen(QPen(Qt::black, 0));
  plot.xAxis->setRange(0, 1e6);
  TTwinFrame frame(plot);
  for (auto _ : st) frame.Draw(plot);
}

// 100,000 unsorted points as open circles (mark 17), anti-aliased
// ("/kelvo"), beside them aliased.
void Circles100k(benchmark::State& st, bool Smooth) {
  auto c = Chart();
  c->SetAntiAliased(Smooth);
  TSeries& s = c->AddSeries();
  s.SetLineVisible(false);
  s.SetSymbol(17);
  kelvo::bench::TRng rng;
  for (int i = 0; i < 100000; ++i) s.Append(rng.NextReal(1), rng.NextReal(100));
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Circles100kSmooth_kelvo(benchmark::State& st) { Circles100k(st, true); }
void Circles100kSmooth_aliased(benchmark::State& st) { Circles100k(st, false); }

// --- scatter ---

struct TScatter {
  std::vector<double> X, Y;
  TScatter() {
    kelvo::bench::TRng rng;
    X.resize(1000000), Y.resize(1000000);
    for (size_t i = 0; i < X.size(); ++i) X[i] = rng.NextReal(100), Y[i] = rng.NextReal(100);
  }
};
const TScatter& Scatter() {
  static TScatter s;
  return s;
}

void Scatter1M_kelvo(benchmark::State& st) {
  auto c = Chart();
  c->Scale1X().SetRangeHigh(100);
  TSeries& s = c->AddSeries();
  s.Append(Scatter().X.data(), Scatter().Y.data(), Scatter().X.size());
  s.SetLineVisible(false);
  s.SetSymbol(7);
  c->Paint();
  for (auto _ : st) c->Paint();
}

void Scatter1M_qcustomplot(benchmark::State& st) {
  QCustomPlot plot;
  Plot(plot);
  plot.xAxis->setRange(0, 100);
  QCPGraph* g = plot.addGraph();
  g->setData(QVector<double>(Scatter().X.begin(), Scatter().X.end()),
             QVector<double>(Scatter().Y.begin(), Scatter().Y.end()));
  g->setLineStyle(QCPGraph::lsNone);
  g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, Qt::black, Qt::black, 3));
  TTwinFrame frame(plot);
  for (auto _ : st) frame.Draw(plot);
}

// --- appending ---

void Append10M_kelvo(benchmark::State& st) {
  const std::vector<double>& w = Walk();
  std::vector<double> x(10000);
  TSeries s;  // cleared each time: its memory stays, as in a program that appends for long
  for (auto _ : st) {
    s.Clear();
    for (size_t at = 0; at < w.size(); at += x.size()) {
      for (size_t i = 0; i < x.size(); ++i) x[i] = double(at + i);
      s.Append(x.data(), w.data() + at, x.size());
    }
    benchmark::DoNotOptimize(s.Count());
  }
  st.counters["points/s"] = benchmark::Counter(1e7, benchmark::Counter::kIsIterationInvariantRate);
}

void Append10M_qcustomplot(benchmark::State& st) {
  const std::vector<double>& w = Walk();
  QVector<double> x(10000), y(10000);
  QCPGraphDataContainer data;
  for (auto _ : st) {
    data.clear();
    for (size_t at = 0; at < w.size(); at += 10000) {
      for (int i = 0; i < 10000; ++i) x[i] = double(at + i), y[i] = w[at + i];
      QVector<QCPGraphData> points(10000);
      for (int i = 0; i < 10000; ++i) points[i] = QCPGraphData(x[i], y[i]);
      data.add(points, true);
    }
    benchmark::DoNotOptimize(data.size());
  }
}

// Resident memory in bytes (Linux).
double Resident() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

void PrintMemory() {
  const std::vector<double>& w = Walk();
  std::vector<double> x(w.size());
  for (size_t i = 0; i < x.size(); ++i) x[i] = double(i);
  const double before = Resident();
  {
    TSeries s;
    s.Append(x.data(), w.data(), w.size());
    std::printf("resident size of 10,000,000 (x, y) points: %.2f bytes a point\n",
                (Resident() - before) / 1e7);
  }
  const double between = Resident();
  {
    TSeries s;
    s.SetXSpacing(0, 1);
    s.Append(w);
    std::printf("resident size of 10,000,000 evenly spaced points: %.2f bytes a point\n",
                (Resident() - between) / 1e7);
  }
}

}  // namespace

// The live tick's variants, each beside its twin at the same ratio and aliasing.
#define KELVO_LIVE(name, ...)                                              \
  BENCHMARK_CAPTURE(LiveTick_kelvo, name, TLiveOptions{__VA_ARGS__})       \
      ->Name(#name "/kelvo")                                               \
      ->Unit(benchmark::kMillisecond);                                     \
  BENCHMARK_CAPTURE(LiveTick_qcustomplot, name, TLiveOptions{__VA_ARGS__}) \
      ->Name(#name "/qcustomplot")                                         \
      ->Unit(benchmark::kMillisecond);
KELVO_LIVE(LiveTick, 1.0)
KELVO_LIVE(LiveTick15, 1.5)
KELVO_LIVE(LiveTick2, 2.0)
KELVO_LIVE(LiveTickSmooth, 1.0, true)
KELVO_LIVE(LiveTickSmooth15, 1.5, true)
KELVO_LIVE(LiveTickSmooth2, 2.0, true)
KELVO_LIVE(LiveTickReport, 1.0, true, true)
KELVO_LIVE(LiveTickSteps, 1.0, false, false, true)
BENCHMARK(Zoomed10M_kelvo)->Name("Zoomed10M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Zoomed10M_qcustomplot)->Name("Zoomed10M/qcustomplot")->Unit(benchmark::kMillisecond);
BENCHMARK(Whole10M_kelvo)->Name("Whole10M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Whole10M_qcustomplot)->Name("Whole10M/qcustomplot")->Unit(benchmark::kMillisecond);
BENCHMARK(Zoomed10M_ratio2)->Name("Zoomed10M/ratio2")->Unit(benchmark::kMillisecond);
BENCHMARK(Whole10M_ratio2)->Name("Whole10M/ratio2")->Unit(benchmark::kMillisecond);
BENCHMARK(Sorted1MSmooth_kelvo)->Name("Sorted1MSmooth/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Sorted1MSmooth_ratio2)->Name("Sorted1MSmooth/ratio2")->Unit(benchmark::kMillisecond);
BENCHMARK(Sorted1MSmooth_aliased)->Name("Sorted1MSmooth/aliased")->Unit(benchmark::kMillisecond);
BENCHMARK(Sorted1MSmooth_qcustomplot)
    ->Name("Sorted1MSmooth/qcustomplot")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Circles100kSmooth_kelvo)->Name("Circles100kSmooth/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Circles100kSmooth_aliased)
    ->Name("Circles100kSmooth/aliased")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Scatter1M_kelvo)->Name("Scatter1M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Scatter1M_qcustomplot)->Name("Scatter1M/qcustomplot")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Hover_kelvo, Hover, TLiveOptions{})
    ->Name("Hover/kelvo")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Hover_qcustomplot, Hover, TLiveOptions{})
    ->Name("Hover/qcustomplot")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Hover_kelvo, HoverSteps, TLiveOptions{1.0, false, false, true})
    ->Name("HoverSteps/kelvo")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Hover_qcustomplot, HoverSteps, TLiveOptions{1.0, false, false, true})
    ->Name("HoverSteps/qcustomplot")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Append10M_kelvo)->Name("Append10M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Append10M_qcustomplot)->Name("Append10M/qcustomplot")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  PrintMemory();
  return kelvo::bench::RunAndCompare(argc, argv);
}
