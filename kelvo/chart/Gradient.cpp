#include "kelvo/chart/Gradient.h"

#include <cmath>

#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {
template <size_t N>
std::vector<TGradientStop> TableStops(const uint8_t (&Table)[N][3]) {
  std::vector<TGradientStop> out(N);
  for (size_t k = 0; k < N; ++k)
    out[k] = {static_cast<double>(k) / static_cast<double>(N - 1),
              ColorFromRGB(Table[k][0], Table[k][1], Table[k][2])};
  return out;
}
}  // namespace

std::vector<TGradientStop> GradientStops(TGradient Gradient) {
  using namespace gradient_tables;
  switch (Gradient) {
    case TGradient::grViridis:
      return TableStops(Viridis);
    case TGradient::grMagma:
      return TableStops(Magma);
    case TGradient::grInferno:
      return TableStops(Inferno);
    case TGradient::grPlasma:
      return TableStops(Plasma);
    case TGradient::grCividis:
      return TableStops(Cividis);
    case TGradient::grGray:
      return {{0, ColorFromRGB(0, 0, 0)}, {1, ColorFromRGB(255, 255, 255)}};
    case TGradient::grCoolWarm:
      return TableStops(Coolwarm);
    case TGradient::grCustom:
      break;
  }
  return {};
}

const char* GradientStopsProblem(std::span<const TGradientStop> Stops) {
  if (Stops.size() < 2) return "a gradient needs at least two stops";
  for (size_t k = 0; k < Stops.size(); ++k) {
    const double p = Stops[k].Position;
    if (!(p >= 0 && p <= 1)) return "gradient stop positions must lie within 0..1";
    if (k > 0 && !(p > Stops[k - 1].Position))
      return "gradient stop positions must increase from stop to stop";
    if (Stops[k].Color == clNone) return "a gradient stop needs a colour";
  }
  return nullptr;
}

TColor GradientColorAt(std::span<const TGradientStop> Stops, double Position) {
  if (Stops.empty()) return clBlack;
  if (!(Position > Stops.front().Position)) return ColorToRGB(Stops.front().Color);
  if (!(Position < Stops.back().Position)) return ColorToRGB(Stops.back().Color);
  size_t k = 1;  // the first stop past Position
  while (Stops[k].Position <= Position) ++k;
  const TGradientStop &a = Stops[k - 1], &b = Stops[k];
  const double f = (Position - a.Position) / (b.Position - a.Position);
  const TColor ca = ColorToRGB(a.Color), cb = ColorToRGB(b.Color);
  auto mix = [&](int shift) {
    const double va = (ca >> shift) & 0xFF, vb = (cb >> shift) & 0xFF;
    return static_cast<uint8_t>(std::lround(va + (vb - va) * f));
  };
  return ColorFromRGB(mix(0), mix(8), mix(16));
}

void TGradientTable::Fill(std::span<const TGradientStop> Stops) {
  for (int32_t k = 0; k < Levels; ++k)
    Pixels[static_cast<size_t>(k)] =
        raster::PixelFromColor(GradientColorAt(Stops, static_cast<double>(k) / (Levels - 1)));
}

}  // namespace vexa
