// The axis control: painting a 400 x 400 scale of each orientation, opaque
// and transparent, and one tick pass alone.
#include <benchmark/benchmark.h>

#include "BenchMain.h"
#include "scale/Scale.h"

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

}  // namespace

int main(int argc, char** argv) { return kelvo::bench::RunAndCompare(argc, argv); }
