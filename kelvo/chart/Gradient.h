// Gradients: the colours a colour map gives its values.
//
// A gradient is a list of stops (positions 0..1 and colours); the colour at
// a position between two stops is their linear mix, each channel rounded.
// The built-in gradients are the published tables (GradientTables.cpp) as
// stops at equal steps. A colour map draws through a table of
// TGradientTable::Levels colours, the gradient's colours at the positions
// k / (Levels - 1): a value's colour is the table's entry nearest to its
// position, so the published colours themselves (positions m / 255 and
// m / 32) are drawn exactly.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "kelvo/platform/Types.h"

namespace vexa {

enum class TGradient : uint8_t {
  grViridis,
  grMagma,
  grInferno,
  grPlasma,
  grCividis,
  grGray,
  grCoolWarm,  // diverging: blue through light grey to red
  grCustom     // the stops given by SetGradientStops
};
inline constexpr const char* TGradientNames[] = {"grViridis", "grMagma", "grInferno",  "grPlasma",
                                                 "grCividis", "grGray",  "grCoolWarm", "grCustom"};

struct TGradientStop {
  double Position = 0;  // 0..1
  TColor Color = clBlack;
  bool operator==(const TGradientStop&) const = default;
};

// The stops of a built-in gradient (grCustom: none).
std::vector<TGradientStop> GradientStops(TGradient Gradient);

// Stops a gradient may have: at least two, positions finite, within 0..1
// and increasing, colours not clNone. Otherwise the reason, for an error.
const char* GradientStopsProblem(std::span<const TGradientStop> Stops);

// The colour at Position (clamped to the first and last stops' positions).
TColor GradientColorAt(std::span<const TGradientStop> Stops, double Position);

// A gradient's colours at Levels equal steps, as 0xFFRRGGBB pixels.
struct TGradientTable {
  static constexpr int32_t Levels = 1021;  // 4 steps between the 256 published colours
  std::array<uint32_t, Levels> Pixels{};
  void Fill(std::span<const TGradientStop> Stops);
};

namespace gradient_tables {
extern const uint8_t Viridis[256][3], Magma[256][3], Inferno[256][3], Plasma[256][3],
    Cividis[256][3], Coolwarm[33][3];
}

}  // namespace vexa
