// Data series against QCustomPlot 2.1 (aliased, adaptive sampling on), each
// workload with its twin in the same run:
//   LiveTick     three series of 1,000,000 points (capacity 1,000,000), 20
//                new points each, the x range moved to the newest 10 s
//                (10,000 points a series in view), the chart painted
//   Zoomed10M    10,000,000 sorted points, a tenth of them in view; Whole10M
//                all of them
//   Sorted1MSmooth  1,000,000 sorted points anti-aliased, beside them aliased
//                and anti-aliased at a device ratio of 2
//   Circles100kSmooth  100,000 unsorted points as open circles, anti-aliased
//                and aliased
//   Scatter1M    1,000,000 unsorted points as 3 x 3 squares
//   Hover        a tick's appends and FindNearestItem in the live scene
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

QCustomPlot& Plot(QCustomPlot& plot) {
  plot.resize(W, H);
  plot.setNotAntialiasedElements(QCP::aeAll);
  plot.yAxis->setRange(0, 100);
  return plot;
}

void Render(QCustomPlot& plot, QImage& img) {
  img.fill(Qt::white);
  QCPPainter painter(&img);
  plot.toPainter(&painter, W, H);
}

// --- the live monitor ---

struct TLive {
  std::unique_ptr<TKelvo> C = Chart();
  int64_t Next = 0;
  TLive() {
    for (int k = 0; k < Channels; ++k) {
      TSeries& s = C->AddSeries("channel " + std::to_string(k));
      s.SetCapacity(Held);
      s.SetColor(k == 0 ? clNavy : k == 1 ? clRed : clGreen);
      std::vector<double> x(Held), y(Held);
      for (int i = 0; i < Held; ++i) x[i] = double(i) / Rate, y[i] = Signal(k, i);
      s.Append(x.data(), y.data(), Held);
    }
    Next = Held;
  }
  void Step() {
    C->SetPaintLock(true);
    for (int k = 0; k < Channels; ++k) {
      double x[Tick], y[Tick];
      for (int i = 0; i < Tick; ++i) x[i] = double(Next + i) / Rate, y[i] = Signal(k, Next + i);
      C->Series(static_cast<size_t>(k)).Append(x, y, Tick);
    }
    Next += Tick;
    const double now = double(Next - 1) / Rate;
    C->Scale1X().SetRangeHigh(now);
    C->Scale1X().SetRangeLow(now - 10);
  }
};

void LiveTick_kelvo(benchmark::State& st) {
  TLive live;
  for (auto _ : st) {
    live.Step();
    live.C->SetPaintLock(false);  // one full paint
  }
}

struct TLiveTwin {
  QCustomPlot P;
  std::vector<QCPGraph*> G;
  int64_t Next = Held;
  TLiveTwin() {
    Plot(P);
    for (int k = 0; k < Channels; ++k) {
      QVector<double> x(Held), y(Held);
      for (int i = 0; i < Held; ++i) x[i] = double(i) / Rate, y[i] = Signal(k, i);
      QCPGraph* g = P.addGraph();
      g->setData(x, y, true);
      g->setPen(QPen(k == 0 ? Qt::darkBlue : k == 1 ? Qt::red : Qt::darkGreen, 0));
      G.push_back(g);
    }
  }
  void Step() {
    for (int k = 0; k < Channels; ++k) {
      QVector<double> x(Tick), y(Tick);
      for (int i = 0; i < Tick; ++i) x[i] = double(Next + i) / Rate, y[i] = Signal(k, Next + i);
      G[k]->addData(x, y, true);
      G[k]->data()->removeBefore(double(Next + Tick - Held) / Rate);
    }
    Next += Tick;
    const double now = double(Next - 1) / Rate;
    P.xAxis->setRange(now - 10, now);
  }
};

void LiveTick_qcustomplot(benchmark::State& st) {
  TLiveTwin live;
  QImage img(W, H, QImage::Format_RGB32);
  for (auto _ : st) {
    live.Step();
    Render(live.P, img);
  }
}

void Hover_kelvo(benchmark::State& st) {
  TLive live;
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

void Hover_qcustomplot(benchmark::State& st) {
  TLiveTwin live;
  QImage img(W, H, QImage::Format_RGB32);
  Render(live.P, img);
  int x = 100;
  for (auto _ : st) {
    st.PauseTiming();
    live.Step();
    Render(live.P, img);
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
  QImage img(W, H, QImage::Format_RGB32);
  for (auto _ : st) Render(plot, img);
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
  Plot(plot);
  plot.setAntialiasedElements(QCP::aeAll);
  const std::vector<double>& w = Walk();
  QVector<double> x(1000000), y(w.begin(), w.begin() + 1000000);
  for (qsizetype i = 0; i < x.size(); ++i) x[i] = double(i);
  plot.addGraph()->setData(x, y, true);
  plot.graph(0)->setPen(QPen(Qt::black, 0));
  plot.xAxis->setRange(0, 1e6);
  QImage img(W, H, QImage::Format_RGB32);
  for (auto _ : st) Render(plot, img);
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
  QImage img(W, H, QImage::Format_RGB32);
  for (auto _ : st) Render(plot, img);
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

BENCHMARK(LiveTick_kelvo)->Name("LiveTick/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(LiveTick_qcustomplot)->Name("LiveTick/qcustomplot")->Unit(benchmark::kMillisecond);
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
BENCHMARK(Hover_kelvo)->Name("Hover/kelvo")->Unit(benchmark::kMicrosecond);
BENCHMARK(Hover_qcustomplot)->Name("Hover/qcustomplot")->Unit(benchmark::kMicrosecond);
BENCHMARK(Append10M_kelvo)->Name("Append10M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Append10M_qcustomplot)->Name("Append10M/qcustomplot")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  PrintMemory();
  return kelvo::bench::RunAndCompare(argc, argv);
}
