// Statistics and markets against QCustomPlot 2.1 through its widget path
// (QcpTwin.h), aliased:
//   Histogram100M   appending 100,000,000 values to a 1,000-bin histogram
//                   (baseline: summing the same values, the memory's pace);
//                   the counter values_per_s
//   Candles1M       1,000,000 minute candles, 1000 x 600, the whole range
//                   (Candles1M) and a tenth (Candles1MTenth) (QCustomPlot:
//                   QCPFinancial, two-coloured candlesticks; it has no
//                   adaptive sampling of its own)
//   BoxStats50      the figures of 50 boxes from 100,000 samples each
//                   (numpy's percentile and whiskers over the same samples
//                   are timed once by Debian's python3 and printed)
//   Boxes50         painting those 50 boxes (QCustomPlot: QCPStatisticalBox
//                   given the same figures and outliers)
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "QcpTwin.h"
#include "kelvo/chart/Statistics.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 1070, H = 660;  // data area about 1000 x 600

std::unique_ptr<TKelvo> Chart() {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W, H);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  return c;
}

// --- the histogram ---

const std::vector<double>& Values() {  // 10,000,000 values about 0
  static std::vector<double> v = [] {
    std::vector<double> out(10000000);
    kelvo::bench::TRng r;
    for (double& x : out) x = r.NextReal(1) + r.NextReal(1) + r.NextReal(1) - 1.5;
    return out;
  }();
  return v;
}

void Histogram100M_kelvo(benchmark::State& st) {
  const std::vector<double>& v = Values();
  THistogram h;
  h.SetBins(-1.5, 1.5, 1000);
  for (auto _ : st)
    for (int k = 0; k < 10; ++k) h.Append(v.data(), v.size());
  st.counters["values_per_s"] =
      benchmark::Counter(1e8 * double(st.iterations()), benchmark::Counter::kIsRate);
}
void Histogram100M_baseline(benchmark::State& st) {
  const std::vector<double>& v = Values();
  for (auto _ : st) {
    double sum = 0;
    for (int k = 0; k < 10; ++k)
      for (double x : v) sum += x;
    benchmark::DoNotOptimize(sum);
  }
}

// --- candles ---

constexpr int CandleCount = 1000000;

struct TOhlc {
  std::vector<double> T, O, H, L, C;
};
const TOhlc& Prices() {
  static TOhlc p = [] {
    TOhlc out;
    kelvo::bench::TRng r;
    double price = 100;
    for (int i = 0; i < CandleCount; ++i) {
      const double o = price, c = price = std::fmax(1, price + r.NextReal(2) - 1);
      out.T.push_back(i * 60.0);
      out.O.push_back(o), out.C.push_back(c);
      out.H.push_back(std::fmax(o, c) + r.NextReal(0.5));
      out.L.push_back(std::fmin(o, c) - r.NextReal(0.5));
    }
    return out;
  }();
  return p;
}

void Candles_kelvo(benchmark::State& st, double Visible) {
  const TOhlc& p = Prices();
  auto c = Chart();
  TCandles& k = c->AddCandles("k");
  k.Append(p.T.data(), p.O.data(), p.H.data(), p.L.data(), p.C.data(), p.T.size());
  c->FitLayerToData(1);
  c->SetLayerRanges(1, 0, c->Scale1Y().RangeLow(), CandleCount * 60.0 * Visible,
                    c->Scale1Y().RangeHigh(), false);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Candles_qcustomplot(benchmark::State& st, double Visible) {
  const TOhlc& p = Prices();
  QCustomPlot plot;
  plot.setNotAntialiasedElements(QCP::aeAll);
  auto* f = new QCPFinancial(plot.xAxis, plot.yAxis);
  f->setData(QVector<double>(p.T.begin(), p.T.end()), QVector<double>(p.O.begin(), p.O.end()),
             QVector<double>(p.H.begin(), p.H.end()), QVector<double>(p.L.begin(), p.L.end()),
             QVector<double>(p.C.begin(), p.C.end()), true);
  f->setChartStyle(QCPFinancial::csCandlestick);
  f->setTwoColored(true);
  f->setWidth(48);
  plot.rescaleAxes();
  plot.xAxis->setRange(0, CandleCount * 60.0 * Visible);
  kelvo::bench::TQcpFrame frame(plot, W, H);
  frame.Draw(plot);
  for (auto _ : st) frame.Draw(plot);
}
void Candles1M_kelvo(benchmark::State& st) { Candles_kelvo(st, 1.0); }
void Candles1M_qcustomplot(benchmark::State& st) { Candles_qcustomplot(st, 1.0); }
void Candles1MTenth_kelvo(benchmark::State& st) { Candles_kelvo(st, 0.1); }
void Candles1MTenth_qcustomplot(benchmark::State& st) { Candles_qcustomplot(st, 0.1); }

// --- boxes ---

constexpr int Boxes = 50, Samples = 100000;

const std::vector<std::vector<double>>& Groups() {
  static std::vector<std::vector<double>> g = [] {
    std::vector<std::vector<double>> out(Boxes);
    kelvo::bench::TRng r;
    for (int b = 0; b < Boxes; ++b)
      for (int i = 0; i < Samples; ++i)
        out[size_t(b)].push_back(r.NextReal(1) + r.NextReal(1) + r.NextReal(1) + b * 0.1 +
                                 (r.Next(1000) == 0 ? 3 : 0));
    return out;
  }();
  return g;
}

void BoxStats50_kelvo(benchmark::State& st) {
  for (auto _ : st)
    for (const auto& g : Groups()) benchmark::DoNotOptimize(BoxStatsOf(g.data(), g.size(), 1.5));
}
// Building the chart's box plot from the samples: the statistics and the
// boxes kept (the paint apart).
void BoxStats50_baseline(benchmark::State& st) {
  for (auto _ : st) {
    TBoxPlot p;
    for (int b = 0; b < Boxes; ++b) p.AddBox(b, Groups()[size_t(b)].data(), Samples);
    benchmark::DoNotOptimize(p.BoxCount());
  }
}

void Boxes50_kelvo(benchmark::State& st) {
  auto c = Chart();
  TBoxPlot& p = c->AddBoxPlot("p");
  for (int b = 0; b < Boxes; ++b) p.AddBox(b, Groups()[size_t(b)].data(), Samples);
  c->FitLayerToData(1);
  c->Paint();
  for (auto _ : st) c->Paint();
}
void Boxes50_qcustomplot(benchmark::State& st) {
  QCustomPlot plot;
  plot.setNotAntialiasedElements(QCP::aeAll);
  auto* box = new QCPStatisticalBox(plot.xAxis, plot.yAxis);
  for (int b = 0; b < Boxes; ++b) {
    const auto& g = Groups()[size_t(b)];
    const TBoxStats s = BoxStatsOf(g.data(), g.size(), 1.5);
    box->addData(b, s.Low, s.Q1, s.Median, s.Q3, s.High,
                 QVector<double>(s.Outliers.begin(), s.Outliers.end()));
  }
  plot.rescaleAxes();
  kelvo::bench::TQcpFrame frame(plot, W, H);
  frame.Draw(plot);
  for (auto _ : st) frame.Draw(plot);
}

// numpy's time for the same statistics, by Debian's python3 (none: not printed).
void PrintNumpyTime() {
  const std::string file = "/tmp/kelvo-bench-boxes.bin";
  {
    std::ofstream f(file, std::ios::binary);
    for (const auto& g : Groups())
      f.write(reinterpret_cast<const char*>(g.data()), std::streamsize(g.size() * sizeof(double)));
  }
  const std::string cmd =
      "/usr/bin/python3 -c \"import numpy as n, time; v=n.fromfile('" + file +
      "').reshape(50, 100000); ts=[]\n"
      "for r in range(7):\n"
      "  t=time.perf_counter()\n"
      "  for g in v:\n"
      "    q=n.percentile(g,[25,50,75]); i=q[2]-q[0]; w=g[(g>=q[0]-1.5*i)&(g<=q[2]+1.5*i)]; "
      "o=g[(g<q[0]-1.5*i)|(g>q[2]+1.5*i)]; lo=w.min(); hi=w.max(); m=g.mean()\n"
      "  ts.append(time.perf_counter()-t)\n"
      "ts.sort(); print('numpy: the figures of 50 boxes of 100,000 samples: %.2f ms (median of 7)' "
      "% (ts[3]*1000))\" 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) std::printf("numpy: not installed, not timed\n");
  std::remove(file.c_str());
}

}  // namespace

#define KELVO_STAT(name, other)                                                 \
  BENCHMARK(name##_kelvo)->Name(#name "/kelvo")->Unit(benchmark::kMillisecond); \
  BENCHMARK(name##_##other)->Name(#name "/" #other)->Unit(benchmark::kMillisecond);
KELVO_STAT(Histogram100M, baseline)
KELVO_STAT(Candles1M, qcustomplot)
KELVO_STAT(Candles1MTenth, qcustomplot)
KELVO_STAT(BoxStats50, baseline)
KELVO_STAT(Boxes50, qcustomplot)

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  bool quick = false;
  for (int i = 1; i < argc; ++i)
    quick = quick || std::string(argv[i]).find("repetitions=1") != std::string::npos;
  if (!quick) PrintNumpyTime();
  return kelvo::bench::RunAndCompare(argc, argv);
}
