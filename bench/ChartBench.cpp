// The chart model: appending drawing items and rebuilding the demo's list.
#include <benchmark/benchmark.h>

#include "BenchMain.h"
#include "chart/Vexa_kelvo.h"
#include "demo/DemoLogic.h"

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
BENCHMARK(AppendRectangles)->Name("Append1M")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

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

}  // namespace

int main(int argc, char** argv) { return kelvo::bench::RunAndCompare(argc, argv); }
