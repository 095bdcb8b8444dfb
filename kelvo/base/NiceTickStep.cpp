#include "kelvo/base/NiceTickStep.h"

#include <cmath>

namespace vexa {

TTickStep NiceTickStep(int32_t Intervals, long double Start, long double Stop) {
  TTickStep r;
  if (Start == Stop) {
    r.First = Start;
    return r;
  }
  const long double dir = Start < Stop ? 1.0L : -1.0L;
  const long double span = std::fabs(Stop - Start);
  if (Intervals == 0) {
    r.Step = dir;
    r.First = std::truncl(Start) - dir;
    r.Subdivisions = span > 10 ? 1 : 5;
  } else {
    // g: the decade of the ideal step; h: its fractional part, the mantissa's log.
    long double g = std::log10(span / Intervals);
    long double h = g - std::truncl(g);
    if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
      h = 0;
      g = std::nearbyintl(g);
    }
    if (g < 0 && h != 0) g -= 1;
    if (h < 0) h += 1;
    const long double l2 = std::log10(2.0L), l5 = std::log10(5.0L);
    if (h < l2 + 1e-10L) {
      g = std::truncl(g);
      r.Subdivisions = 5;
    } else if (h < l5 + 1e-10L) {
      g = std::truncl(g) + l2;
      r.Subdivisions = 4;
    } else {
      g = std::truncl(g) + l5;
      r.Subdivisions = 5;
    }
    r.Step = std::pow(10.0L, g) * dir;
    r.First = (std::truncl(Start / r.Step) - 1) * r.Step;
  }
  // Walk to the first multiple reached from Start. Normally one or two
  // steps; the bound keeps a step too small to move a huge First from
  // looping for ever.
  for (int guard = 0; guard < 1000 && dir * (Start - r.First) > 0.001L * std::fabs(r.Step); ++guard)
    r.First += r.Step;
  return r;
}

}  // namespace vexa
