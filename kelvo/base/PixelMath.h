// Rounding of extended values to pixels and other integers. Every
// conversion of a computed value to an integer goes through these: they
// round half to even and clamp first, so NaN or an out-of-range value never
// reaches an integer conversion.
#pragma once

#include <cmath>
#include <cstdint>

namespace vexa {

// The largest magnitude a pixel coordinate may take.
constexpr int32_t MaxPixelCoord = 2147483647;

// Rounds half to even into -Limit .. Limit; NaN gives 0.
inline int32_t RoundClamped(long double v, int32_t Limit = MaxPixelCoord) {
  if (std::isnan(v)) return 0;
  if (v >= Limit) return Limit;
  if (v <= -static_cast<long double>(Limit)) return -Limit;
#if defined(__x86_64__) || defined(__i386__)
  // Adding and taking away 1.5 x 2^63 rounds an extended value below 2^62
  // to an integer in the current rounding mode (to nearest, ties to even):
  // exact, and much cheaper than a library call.
  const long double shifted = v + 0x1.8p63L;
  return static_cast<int32_t>(shifted - 0x1.8p63L);
#else
  return static_cast<int32_t>(std::nearbyintl(v));
#endif
}

}  // namespace vexa
