// Logical pixels to device pixels. A control's programming interface works
// in logical pixels; on a high-density screen its surface has more device
// pixels than that, Ratio device pixels to a logical one. This is the one
// snapping rule every drawing place follows:
//  - a length (a pen width, a dash, a mark's size, a tick, a gap, a font
//    height) of L logical pixels becomes max(1, round-half-even(L x Ratio))
//    device pixels, so lines of one logical width are all equally wide;
//  - a position P is mapped straight, to round-half-even(P x Ratio);
//  - a surface of S logical pixels has ceil(S x Ratio) device pixels.
// At a ratio of 1 each is the identity.
#pragma once

#include <cmath>
#include <cstdint>

namespace vexa {

struct TDeviceScale {
  static constexpr double MinRatio = 1.0, MaxRatio = 4.0;
  double Ratio = 1.0;

  // A ratio a control accepts: finite and within MinRatio..MaxRatio.
  static bool Acceptable(double R) { return R >= MinRatio && R <= MaxRatio; }
  bool Identity() const { return Ratio == 1.0; }

  // A width or size. Zero stays zero and a negative length is mapped as its
  // magnitude with its sign kept (offsets go either way).
  int32_t Length(int64_t L) const {
    if (Identity() || L == 0) return Clamp(static_cast<double>(L));
    const double d = RoundHalfEven(std::fabs(static_cast<double>(L)) * Ratio);
    const int32_t n = Clamp(d < 1 ? 1 : d);
    return L < 0 ? -n : n;
  }
  // A position on the device surface.
  int32_t Position(int64_t P) const {
    if (Identity()) return Clamp(static_cast<double>(P));
    return Clamp(RoundHalfEven(static_cast<double>(P) * Ratio));
  }
  // A surface side: every logical pixel is covered.
  int32_t Side(int32_t S) const {
    if (Identity() || S <= 0) return S < 0 ? 0 : S;
    return Clamp(std::ceil(static_cast<double>(S) * Ratio));
  }
  // A device position back in logical pixels (not rounded).
  double Logical(double DevicePos) const { return DevicePos / Ratio; }

 private:
  // Half to even: the default rounding mode of nearbyint.
  static double RoundHalfEven(double v) { return std::nearbyint(v); }
  static int32_t Clamp(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483647.0) return -2147483647;
    return static_cast<int32_t>(v);
  }
};

}  // namespace vexa
