// The axis control: painting a 400 x 400 scale of each orientation, opaque
// and transparent, and one tick pass alone.
#include <benchmark/benchmark.h>

#include <limits>

#include "BenchMain.h"
#include "kelvo/scale/Scale.h"

using namespace vexa;

namespace {

std::unique_ptr<TScale> LiveScale(TScaleType type, bool transparent, TCanvas* target) {
  auto s = std::make_unique<TScale>();
  s->CreateWnd();
  s->Loaded();
  s->SetPaintSuspended(true);
  s->SetScaleType(type);
  s->SetRangeLow(-50);
  s->SetRangeHigh(150);
  s->SetTransparent(transparent);
  s->SetChartOwned(true);
  if (target) s->SetDrawTarget(target, 0, 0);
  return s;
}

void PaintScale(benchmark::State& st) {
  const auto type = static_cast<TScaleType>(st.range(0));
  const bool transparent = st.range(1) != 0;
  TBitmap target(400, 400);
  auto s = LiveScale(type, transparent, transparent ? &target.Canvas() : nullptr);
  for (auto _ : st) s->ForcePaint();
}
BENCHMARK(PaintScale)
    ->ArgNames({"type", "transparent"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// A transparent vertical scale without base line: essentially the tick pass.
void TickPass(benchmark::State& st) {
  TBitmap target(400, 400);
  auto s = LiveScale(TScaleType::sctYL, true, &target.Canvas());
  s->SetShowBaseLine(false);
  for (auto _ : st) s->ForcePaint();
  st.counters["ticks"] = s->NumTicks();
}
BENCHMARK(TickPass)->Unit(benchmark::kMicrosecond);

// Hostile ranges: a paint's work is bounded by the axis' pixels, whatever
// the range. Each case names its range and mode.
void HostileRange(benchmark::State& st) {
  struct TCase {
    double Low, High;
    bool Log;
    TFigType Labels;
    int MinTicks, DecPlaces;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const double big = std::numeric_limits<double>::max();
  static const TCase cases[] = {
      {1, inf, true, TFigType::ftNum, 3, 5},           // once 10 s: 4,932 decades
      {1, big, true, TFigType::ftNum, 3, 5},           // 308 decades in fixed notation
      {-1e308, 1e308, false, TFigType::ftTime, 0, 4},  // once 1.7 s: 20,000 labels
      {0, 1e12, false, TFigType::ftNum, 0, 0},
      {1e-300, 1e300, true, TFigType::ftNum, 10, -2},
  };
  const TCase& c = cases[st.range(0)];
  TBitmap target(400, 400);
  auto s = LiveScale(TScaleType::sctXB, true, &target.Canvas());
  s->SetRangeLow(c.Low);
  s->SetRangeHigh(c.High);
  s->SetLabelType(c.Labels);
  s->SetLogarithmic(c.Log);
  s->SetMinTicks(c.MinTicks);
  s->SetDecPlaces(c.DecPlaces);
  for (auto _ : st) s->ForcePaint();
  st.counters["ticks"] = s->NumTicks();
}
BENCHMARK(HostileRange)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return kelvo::bench::RunAndCompare(argc, argv); }
