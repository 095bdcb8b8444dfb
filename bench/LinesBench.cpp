// Against QCustomPlot 2.1: the demo chart's full paint, and large x-sorted
// lines: a full paint of a 1070 x 860 chart (data area about
// 1000 x 800) holding one MoveTo/DrawTo line of 1,000 to 10,000,000 points,
// against QCustomPlot 2.1 (aliased, its adaptive sampling on: what a user
// picks it for; through its widget's path, QcpTwin.h) painting the same
// data at the same size, and the same line as one series, and against the
// chart drawing every point (render shortcuts off) for the gain of the summary.
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "BenchMain.h"
#include "QcpTwin.h"
#include "DemoChart.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 1000, H = 800;

struct TLine {
  std::vector<double> X, Y;
};

// x from 0 to 1000 in equal steps, y a random walk within 0 .. 800.
const TLine& SortedLine(int n) {
  static std::map<int, TLine> lines;
  TLine& l = lines[n];
  if (!l.X.empty()) return l;
  kelvo::bench::TRng rng;
  rng.S = 2024;
  l.X.resize(static_cast<size_t>(n));
  l.Y.resize(static_cast<size_t>(n));
  double y = H / 2.0;
  for (int i = 0; i < n; ++i) {
    y = std::fmin(std::fmax(y + rng.NextReal(8) - 4, 0), H);
    l.X[static_cast<size_t>(i)] = 1000.0 * i / n;
    l.Y[static_cast<size_t>(i)] = y;
  }
  return l;
}

std::unique_ptr<TKelvo> LineChart(int n, bool blocks) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W + 70, H + 60);
  c->Scale1X().SetRangeHigh(W);
  c->Scale1Y().SetRangeHigh(H);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->SetRenderShortcuts(blocks);
  const TLine& l = SortedLine(n);
  c->MoveTo(l.X[0], l.Y[0]);
  for (size_t i = 0; i < l.X.size(); ++i) c->DrawTo(l.X[i], l.Y[i]);
  return c;
}

void Kelvo(benchmark::State& st, bool blocks) {
  auto c = LineChart(static_cast<int>(st.range(0)), blocks);
  c->Paint();
  for (auto _ : st) c->Paint();
  st.counters["points"] = static_cast<double>(st.range(0));
}

void QCustomPlotTwin(benchmark::State& st) {
  const TLine& l = SortedLine(static_cast<int>(st.range(0)));
  QCustomPlot plot;
  plot.setNotAntialiasedElements(QCP::aeAll);
  QCPGraph* g = plot.addGraph();
  g->setData(QVector<double>(l.X.begin(), l.X.end()), QVector<double>(l.Y.begin(), l.Y.end()),
             true);
  g->setPen(QPen(Qt::black, 0));
  plot.xAxis->setRange(0, W);
  plot.yAxis->setRange(0, H);
  kelvo::bench::TQcpFrame frame(plot, W + 70, H + 60);
  for (auto _ : st) frame.Draw(plot);
  st.counters["points"] = static_cast<double>(st.range(0));
}

// Appending a million points after ClearGraph, into the storage the list kept.
void Append1M_kelvo(benchmark::State& st) {
  auto c = LineChart(1000, true);
  const TLine& l = SortedLine(1000000);
  for (auto _ : st) {
    c->ClearGraph();
    c->MoveTo(l.X[0], l.Y[0]);
    for (size_t i = 0; i < l.X.size(); ++i) c->DrawTo(l.X[i], l.Y[i]);
  }
}

// The demo chart (449 x 345, eleven bars, dotted grid) painted in full,
// against QCustomPlot drawing eleven bars with axes and grid at that size.
void DemoChart_kelvo(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (auto _ : st) chart->Paint();
}
void DemoChart_qcustomplot(benchmark::State& st) {
  QCustomPlot plot;
  plot.setNotAntialiasedElements(QCP::aeAll);
  auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
  QVector<double> years, values;
  for (int k = 0; k < 11; ++k) {
    years.push_back(1970 + k);
    values.push_back(demo::NetExportValues[static_cast<size_t>(k)]);
  }
  bars->setData(years, values);
  bars->setWidth(0.8);
  plot.xAxis->setRange(1969, 1981);
  plot.yAxis->setRange(-50, 150);
  plot.xAxis->grid()->setPen(QPen(Qt::lightGray, 0, Qt::DotLine));
  plot.yAxis->grid()->setPen(QPen(Qt::lightGray, 0, Qt::DotLine));
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, "Net exports"));
  kelvo::bench::TQcpFrame frame(plot, 449, 345);
  for (auto _ : st) frame.Draw(plot);
}

// The same line as one series.
void SortedLineSeries_kelvo(benchmark::State& st) {
  auto c = LineChart(1, true);
  c->ClearGraph();
  const TLine& l = SortedLine(static_cast<int>(st.range(0)));
  c->AddSeries().Append(l.X.data(), l.Y.data(), l.X.size());
  c->Paint();
  for (auto _ : st) c->Paint();
  st.counters["points"] = static_cast<double>(st.range(0));
}

void SortedLine_kelvo(benchmark::State& st) { Kelvo(st, true); }
void SortedLine_everypoint(benchmark::State& st) { Kelvo(st, false); }

}  // namespace

#define KELVO_LINES(name, points)              \
  BENCHMARK(SortedLine_kelvo)                  \
      ->Name("SortedLine" name "/kelvo")       \
      ->Arg(points)                            \
      ->Unit(benchmark::kMillisecond);         \
  BENCHMARK(SortedLine_everypoint)             \
      ->Name("SortedLine" name "/everypoint")  \
      ->Arg(points)                            \
      ->Unit(benchmark::kMillisecond);         \
  BENCHMARK(QCustomPlotTwin)                   \
      ->Name("SortedLine" name "/qcustomplot") \
      ->Arg(points)                            \
      ->Unit(benchmark::kMillisecond);
KELVO_LINES("1k", 1000)
KELVO_LINES("10k", 10000)
KELVO_LINES("100k", 100000)
KELVO_LINES("1M", 1000000)
KELVO_LINES("10M", 10000000)
BENCHMARK(SortedLineSeries_kelvo)
    ->Name("SortedLineSeries1M/kelvo")
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(QCustomPlotTwin)
    ->Name("SortedLineSeries1M/qcustomplot")
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Append1M_kelvo)->Name("Append1MAfterClearGraph")->Unit(benchmark::kMillisecond);
BENCHMARK(DemoChart_kelvo)->Name("DemoChartPaint/kelvo")->Unit(benchmark::kMicrosecond);
BENCHMARK(DemoChart_qcustomplot)->Name("DemoChartPaint/qcustomplot")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return kelvo::bench::RunAndCompare(argc, argv);
}
