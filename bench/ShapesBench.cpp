// Series shapes against QCustomPlot 2.1 through its widget path (QcpTwin.h),
// aliased, each workload with its twin in the same run:
//   Area10M      the area to the baseline under 10,000,000 sorted points,
//                the whole range (Area10M) and a tenth of it (Area10MTenth)
//                (QCustomPlot: the graph's brush, filled to zero)
//   Band1M       the band between two series of 1,000,000 points
//                (QCustomPlot: setChannelFillGraph)
//   Steps1M      1,000,000 points as steps (QCustomPlot: lsStepLeft)
//   Bars10k      10,000 bars in three groups (QCustomPlot: QCPBarsGroup)
//   Stacked100x3 100 bars stacked three high (QCustomPlot: moveAbove)
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "BenchMain.h"
#include "QcpTwin.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 1070, H = 860;  // data area about 1000 x 800

// A random walk within 0 .. 100.
const std::vector<double>& Walk(size_t N, uint64_t Seed = 1) {
  static std::vector<std::vector<double>> walks(4);
  std::vector<double>& y = walks[Seed % walks.size()];
  if (y.size() >= N) return y;
  y.resize(N);
  kelvo::bench::TRng rng;
  rng.S = Seed * 7919;
  double v = 50;
  for (double& e : y) e = v = std::fmin(std::fmax(v + rng.NextReal(2) - 1, 0), 100);
  return y;
}

std::unique_ptr<TKelvo> Chart(double XHigh) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W, H);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->Scale1X().SetRangeLow(0);
  c->Scale1X().SetRangeHigh(XHigh);
  c->Scale1Y().SetRangeLow(0);
  c->Scale1Y().SetRangeHigh(100);
  return c;
}

void Twin(QCustomPlot& Plot, double XHigh, benchmark::State& st) {
  Plot.setNotAntialiasedElements(QCP::aeAll);
  Plot.xAxis->setRange(0, XHigh);
  Plot.yAxis->setRange(0, 100);
  kelvo::bench::TQcpFrame frame(Plot, W, H);
  for (auto _ : st) frame.Draw(Plot);
}

QVector<double> Keys(size_t N) {
  QVector<double> x(static_cast<qsizetype>(N));
  for (qsizetype i = 0; i < x.size(); ++i) x[i] = double(i);
  return x;
}

QVector<double> Values(const std::vector<double>& Y, size_t N) {
  return QVector<double>(Y.begin(), Y.begin() + static_cast<qsizetype>(N));
}

// A series of the N-point walk Seed, evenly spaced from 0, and its twin.
TSeries& WalkSeries(TKelvo& C, size_t N, uint64_t Seed = 1) {
  TSeries& s = C.AddSeries();
  s.SetXSpacing(0, 1);
  s.Append(Walk(N, Seed).data(), N);
  return s;
}
QCPGraph* WalkGraph(QCustomPlot& Plot, size_t N, uint64_t Seed = 1) {
  QCPGraph* g = Plot.addGraph();
  g->setData(Keys(N), Values(Walk(N, Seed), N), true);
  return g;
}

// --- areas ---

void Area_kelvo(benchmark::State& st, double Visible) {
  constexpr size_t N = 10000000;
  auto c = Chart(N * Visible);
  TSeries& s = WalkSeries(*c, N);
  s.SetAreaFill(TAreaFill::afToBaseline);
  s.SetAreaColor(clSkyBlue);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Area_qcustomplot(benchmark::State& st, double Visible) {
  constexpr size_t N = 10000000;
  QCustomPlot plot;
  QCPGraph* g = WalkGraph(plot, N);
  g->setPen(QPen(Qt::black, 0));
  g->setBrush(QColor(166, 202, 240));
  Twin(plot, N * Visible, st);
}

void Band_kelvo(benchmark::State& st) {
  constexpr size_t N = 1000000;
  auto c = Chart(N);
  for (uint64_t k = 0; k < 2; ++k) WalkSeries(*c, N, k + 1);
  c->Series(1).SetAreaFill(TAreaFill::afToSeries);
  c->Series(1).SetAreaPartner(0);
  c->Series(1).SetAreaColor(clSkyBlue);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Band_qcustomplot(benchmark::State& st) {
  constexpr size_t N = 1000000;
  QCustomPlot plot;
  QCPGraph* low = WalkGraph(plot, N, 1);
  QCPGraph* high = WalkGraph(plot, N, 2);
  high->setBrush(QColor(166, 202, 240));
  high->setChannelFillGraph(low);
  Twin(plot, N, st);
}

// --- steps ---

void Steps_kelvo(benchmark::State& st) {
  constexpr size_t N = 1000000;
  auto c = Chart(N);
  WalkSeries(*c, N).SetShape(TSeriesShape::shStepPost);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Steps_qcustomplot(benchmark::State& st) {
  constexpr size_t N = 1000000;
  QCustomPlot plot;
  WalkGraph(plot, N)->setLineStyle(QCPGraph::lsStepLeft);
  Twin(plot, N, st);
}

// --- bars ---

void Bars_kelvo(benchmark::State& st, int PerGroup, bool Stacked) {
  auto c = Chart(PerGroup + 1);
  for (int k = 0; k < 3; ++k) {
    TSeries& s = c->AddSeries();
    s.SetShape(TSeriesShape::shBars);
    for (int i = 0; i < PerGroup; ++i)
      s.Append(1 + i, Stacked ? 10 + 5 * k : 20 + (i * 7 + k * 13) % 60);
    if (Stacked && k > 0) s.SetStackedOn(k - 1);
    if (!Stacked) s.SetBarWidth(0.27), s.SetBarOffset((k - 1) * 0.28);
  }
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Bars_qcustomplot(benchmark::State& st, int PerGroup, bool Stacked) {
  QCustomPlot plot;
  auto* group = new QCPBarsGroup(&plot);
  std::vector<QCPBars*> bars;
  for (int k = 0; k < 3; ++k) {
    auto* b = new QCPBars(plot.xAxis, plot.yAxis);
    QVector<double> x, y;
    for (int i = 0; i < PerGroup; ++i)
      x.push_back(1 + i), y.push_back(Stacked ? 10 + 5 * k : 20 + (i * 7 + k * 13) % 60);
    b->setData(x, y, true);
    b->setBrush(QColor(0, 114, 178));
    if (Stacked) {
      b->setWidth(0.8);
      if (k > 0) b->moveAbove(bars.back());
    } else {
      b->setWidth(0.27);
      b->setBarsGroup(group);
    }
    bars.push_back(b);
  }
  Twin(plot, PerGroup + 1, st);
}

void Area10M_kelvo(benchmark::State& st) { Area_kelvo(st, 1.0); }
void Area10M_qcustomplot(benchmark::State& st) { Area_qcustomplot(st, 1.0); }
void Area10MTenth_kelvo(benchmark::State& st) { Area_kelvo(st, 0.1); }
void Area10MTenth_qcustomplot(benchmark::State& st) { Area_qcustomplot(st, 0.1); }
void Bars10k_kelvo(benchmark::State& st) { Bars_kelvo(st, 3334, false); }
void Bars10k_qcustomplot(benchmark::State& st) { Bars_qcustomplot(st, 3334, false); }
void Stacked100x3_kelvo(benchmark::State& st) { Bars_kelvo(st, 100, true); }
void Stacked100x3_qcustomplot(benchmark::State& st) { Bars_qcustomplot(st, 100, true); }

}  // namespace

#define KELVO_SHAPE(name)                                                       \
  BENCHMARK(name##_kelvo)->Name(#name "/kelvo")->Unit(benchmark::kMillisecond); \
  BENCHMARK(name##_qcustomplot)->Name(#name "/qcustomplot")->Unit(benchmark::kMillisecond);
KELVO_SHAPE(Area10M)
KELVO_SHAPE(Area10MTenth)
BENCHMARK(Band_kelvo)->Name("Band1M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Band_qcustomplot)->Name("Band1M/qcustomplot")->Unit(benchmark::kMillisecond);
BENCHMARK(Steps_kelvo)->Name("Steps1M/kelvo")->Unit(benchmark::kMillisecond);
BENCHMARK(Steps_qcustomplot)->Name("Steps1M/qcustomplot")->Unit(benchmark::kMillisecond);
KELVO_SHAPE(Bars10k)
KELVO_SHAPE(Stacked100x3)

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return kelvo::bench::RunAndCompare(argc, argv);
}
