// The state of one tick pass of TScale, shared by the numeric passes
// (NumericTicks.cpp) and the date and time passes (DateTimeTicks.cpp).
#pragma once

#include <array>

#include "kelvo/scale/Scale.h"

namespace vexa {

// Ticks are drawn in order along the axis, but a range can ask for absurd
// numbers of them (unit steps over 1e12, or a step that no longer moves a
// huge value). A pass stops after this many ticks: far more than any axis
// has pixels, so a sensible range never meets it.
constexpr int MaxTicksPerPass = 20000;

struct TScale::TPass {
  TCanvas& Canvas;
  int32_t Base;
  bool Horizontal;
  int32_t Side;          // direction of tick lines away from the base line
  int32_t Decimals = 0;  // of this pass's labels
  int32_t ZeroHeight = 0;
  int Budget = MaxTicksPerPass;
  // The boxes of the last labels drawn (AvoidLabelOverlap), oldest first
  // overwritten: a label is measured against its neighbours, and a date
  // line's label against the time labels beside it.
  std::array<TRect, 4> Drawn{};
  size_t DrawnCount = 0;
  int64_t LabelExtent = 0;  // the widest label drawn
};

}  // namespace vexa
