// The chart model: appending drawing items and rebuilding the demo's list.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchMain.h"
#include "DemoChart.h"
#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

// 1,000,000 Rectangle commands on a fresh list, growth step as the argument.
void AppendRectangles(benchmark::State& st) {
  const int32_t allocSize = static_cast<int32_t>(st.range(0));
  for (auto _ : st) {
    st.PauseTiming();
    auto chart = std::make_unique<TKelvo>();
    chart->SetAllocSize(allocSize);
    st.ResumeTiming();
    for (int i = 0; i < 1000000; ++i) chart->Rectangle(i, 0, i + 0.8, i * 0.5);
    benchmark::DoNotOptimize(chart->ItemCount());
    st.PauseTiming();
    chart.reset();
    st.ResumeTiming();
  }
}
BENCHMARK(AppendRectangles)
    ->Name("Append1M")
    ->Arg(1000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// ClearGraph plus the demo's eleven bars (no painting: the chart has no window).
void DemoBars(benchmark::State& st) {
  TKelvo chart;
  for (auto _ : st) {
    chart.ClearGraph();
    chart.SetDataColor(clBlack);
    for (int i = 0; i < demo::YearCount; ++i) {
      chart.SetFillColor(demo::BarColors[i]);
      chart.Bar3D(20, 45, 1970 + i - 0.4, 0, 1970 + i + 0.4, demo::NetExportValues[i]);
    }
    benchmark::DoNotOptimize(chart.ItemCount());
  }
}
BENCHMARK(DemoBars)->Name("ClearGraphAnd11Bars")->Unit(benchmark::kMicrosecond);

// WorldToPixel over 1,000,000 points of a linear or logarithmic layer.
void MapPoints(benchmark::State& st) {
  const bool logarithmic = st.range(0) != 0;
  TKelvo chart;
  chart.SetBounds(0, 0, 1000, 800);
  chart.Scale1X().SetRangeHigh(1000);
  chart.Scale1X().SetRangeLow(1);
  chart.Scale1Y().SetRangeHigh(1000);
  chart.Scale1Y().SetRangeLow(1);
  chart.Scale1X().SetLogarithmic(logarithmic);
  chart.Scale1Y().SetLogarithmic(logarithmic);
  std::vector<double> xs(1000000);
  for (size_t i = 0; i < xs.size(); ++i) xs[i] = 1 + static_cast<double>(i % 999);
  for (auto _ : st) {
    int64_t sum = 0;
    for (double x : xs) {
      int32_t px, py;
      chart.WorldToPixel(1, x, x, px, py);
      sum += px + py;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(MapPoints)
    ->Name("WorldToPixel1M")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("log")
    ->Unit(benchmark::kMillisecond);

// One full ApplyScaleSettings: 32 axes copied, 16 layers' ranges applied.
void ApplyScaleSettings(benchmark::State& st) {
  TKelvo chart;
  for (auto _ : st) chart.ApplyScaleSettings();
}
BENCHMARK(ApplyScaleSettings)->Unit(benchmark::kMicrosecond);

// Constructing a chart (32 axes and settings objects, the standard layout).
void ConstructChart(benchmark::State& st) {
  for (auto _ : st) {
    TKelvo chart;
    benchmark::DoNotOptimize(chart.Width());
  }
}
BENCHMARK(ConstructChart)->Unit(benchmark::kMillisecond);

// The demo chart's full paint: frame, shadow, caption, axes, data area.
void DemoFullPaint(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (auto _ : st) chart->Paint();
}
BENCHMARK(DemoFullPaint)->Unit(benchmark::kMicrosecond);

// The same at device pixel ratios of 1.5 and 2 ("ratio2": at most 4.5 times
// the paint at 1, which has a quarter of the pixels).
void DemoFullPaintAtRatio(benchmark::State& st, double Ratio) {
  auto chart = kelvo::bench::DemoChartAtStart();
  chart->SetDevicePixelRatio(Ratio);
  chart->Paint();
  for (auto _ : st) chart->Paint();
}
void DemoFullPaint_ratio1(benchmark::State& st) { DemoFullPaintAtRatio(st, 1.0); }
void DemoFullPaint_ratio15(benchmark::State& st) { DemoFullPaintAtRatio(st, 1.5); }
void DemoFullPaint_ratio2(benchmark::State& st) { DemoFullPaintAtRatio(st, 2.0); }
BENCHMARK(DemoFullPaint_ratio1)->Name("DemoFullPaint/ratio1")->Unit(benchmark::kMicrosecond);
BENCHMARK(DemoFullPaint_ratio15)->Name("DemoFullPaint/ratio1.5")->Unit(benchmark::kMicrosecond);
BENCHMARK(DemoFullPaint_ratio2)->Name("DemoFullPaint/ratio2")->Unit(benchmark::kMicrosecond);

// The demo chart with ten short series, painted with a ten-entry legend
// ("kelvo") and without it ("baseline"): the legend's cost is the difference.
void LegendPaint(benchmark::State& st, bool Legend) {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (int k = 0; k < 10; ++k) {
    TSeries& s = chart->AddSeries("series " + std::to_string(k + 1));
    s.SetColor(k % 2 ? clRed : clNavy);
    if (k % 3 == 0) s.SetSymbol(7);
    for (int i = 0; i < 20; ++i) s.Append(i * 0.5, k * 0.3 + (i % 4) * 0.1);
  }
  chart->Legend().SetVisible(Legend);
  chart->Paint();
  for (auto _ : st) chart->Paint();
}
void LegendPaint_kelvo(benchmark::State& st) { LegendPaint(st, true); }
void LegendPaint_baseline(benchmark::State& st) { LegendPaint(st, false); }
BENCHMARK(LegendPaint_kelvo)->Name("LegendPaint/kelvo")->Unit(benchmark::kMicrosecond);
BENCHMARK(LegendPaint_baseline)->Name("LegendPaint/baseline")->Unit(benchmark::kMicrosecond);

// A legend of 10,000 entries with long names beside the data area, of which
// about 30 rows show: a full paint ("paint") and a hit test ("hit").
std::unique_ptr<TKelvo> LargeLegendChart() {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (int k = 0; k < 10000; ++k)
    chart->AddLegendEntry("a channel with a rather long name, number " + std::to_string(k),
                          k % 2 ? clRed : clNavy);
  chart->Legend().SetVisible(true);
  chart->Legend().SetPosition(TLegendPos::lpOutsideRight);
  chart->Paint();
  return chart;
}
void LargeLegend_paint(benchmark::State& st) {
  auto chart = LargeLegendChart();
  for (auto _ : st) chart->Paint();
}
void LargeLegend_hit(benchmark::State& st) {
  auto chart = LargeLegendChart();
  const TRect box = chart->LegendBox();
  for (auto _ : st)
    benchmark::DoNotOptimize(chart->LegendEntryAt(box.Left + 10, (box.Top + box.Bottom) / 2));
}
BENCHMARK(LargeLegend_paint)->Name("LargeLegend/paint")->Unit(benchmark::kMicrosecond);
BENCHMARK(LargeLegend_hit)->Name("LargeLegend/hit")->Unit(benchmark::kMicrosecond);

// The data-area refresh ShowGraph runs with AutoRedraw.
void DemoShowGraph(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  chart->Paint();
  for (auto _ : st) chart->ShowGraph();
}
BENCHMARK(DemoShowGraph)->Unit(benchmark::kMicrosecond);

// One animation frame: DrawChart (ClearGraph, 11 bars, ShowGraph).
void DemoAnimationFrame(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  chart->Paint();
  int step = 1, position = 0;
  for (auto _ : st) {
    position = demo::NextHeightPosition(position, step);
    demo::DrawChart(*chart, true, 20, 45, (50 - position) * 0.02);
  }
}
BENCHMARK(DemoAnimationFrame)->Unit(benchmark::kMicrosecond);

// The item under the mouse among 1,000,000 marks and line points in a
// 1070 x 860 chart: one query on every mouse move once the index exists, and
// building the index (after the items or ranges changed).
std::unique_ptr<TKelvo> MillionItems() {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, 1070, 860);
  c->Scale1X().SetRangeHigh(1000);
  c->Scale1Y().SetRangeHigh(800);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  kelvo::bench::TRng rng;
  c->MoveTo(0, 400);
  for (int i = 0; i < 1000000; ++i) {
    if (i % 2)
      c->MarkAt(rng.NextReal(1000), rng.NextReal(800), 9);
    else
      c->DrawTo(i / 1000.0, 400 + rng.NextReal(200) - 100);
  }
  return c;
}

void NearestItemQuery(benchmark::State& st) {
  auto c = MillionItems();
  c->FindNearestItem(500, 400, 8);
  kelvo::bench::TRng rng;
  for (auto _ : st)
    benchmark::DoNotOptimize(c->FindNearestItem(50 + rng.Next(1000), 20 + rng.Next(800), 8));
}
BENCHMARK(NearestItemQuery)->Unit(benchmark::kMicrosecond);

void NearestItemIndexBuild(benchmark::State& st) {
  auto c = MillionItems();
  double shift = 0;
  for (auto _ : st) {
    shift = shift == 0 ? 1 : 0;  // a range change makes the next question rebuild the index
    c->SetLayerRanges(1, shift, 0, 1000 + shift, 800, false);
    benchmark::DoNotOptimize(c->FindNearestItem(500, 400, 8));
  }
}
BENCHMARK(NearestItemIndexBuild)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kelvo::bench::RunAndCompare(argc, argv); }
