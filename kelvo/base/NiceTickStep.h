// The tick-step routine of the math support code: a "nice" step of 1, 2 or
// 5 times a power of ten for a range and a wanted number of intervals.
#pragma once

#include <cstdint>

namespace vexa {

struct TTickStep {
  long double First = 0;      // first major tick value
  long double Step = 0;       // signed like Stop - Start; 0 only for an empty range
  uint16_t Subdivisions = 1;  // minor intervals per step: 1, 4 or 5
};

// Intervals 0 asks for unit steps whatever the span. The step is the
// largest of 1, 2 or 5 times a power of ten not above Span / Intervals;
// First is the first multiple of Step reached from Start towards Stop (a
// multiple within 0.001 steps beyond Start counts as reached).
TTickStep NiceTickStep(int32_t Intervals, long double Start, long double Stop);

}  // namespace vexa
