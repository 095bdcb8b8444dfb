// World-to-pixel factors of one layer and the mapping of a point with them.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

// The factors UpdateMapping computes for one layer, with what it saw of the
// layer's axes: whether each is logarithmic and where values at or below the
// logarithmic floor go.
struct TLayerMapping {
  long double KX = 0, DX = 0, KY = 0, DY = 0;
  bool LogX = false, LogY = false;
  long double FloorX = 0, FloorY = 0;

  // Quick path of Map. Both axes are first mapped in double precision with
  // the factors rounded to doubles; the result is taken only when both values
  // lie within QuickLimit of zero and further than QuickMargin from a pixel
  // boundary k + 0.5. The double and the extended computations each lie
  // within 2^-52 (|K W| + |D| + |V|) of the exact value, so within 2^-50 of
  // that sum of each other; with |K W| <= |V| + |D| and |V| < QuickLimit,
  // QuickMargin = 0.5 - 2^-50 (2 |D| + 2 QuickLimit + 1) keeps them on the
  // same side of every boundary (k + 0.5 is an exact double here), so both
  // round to the same pixel. Anything else (logarithmic axes, huge factors
  // or values, NaN) takes the extended computation.
  static constexpr double QuickLimit = 1e6;
  bool Quick = false;
  double KXd = 0, DXd = 0, KYd = 0, DYd = 0;
  double QuickMargin = 0;

  // Sets the quick-path fields from the extended factors.
  void PrepareQuickPath();

  // Client pixel of a world point of this layer (WorldToPixel without the
  // layer lookup); the pixels are always those of the extended computation.
  void Map(double X, double Y, int32_t& PX, int32_t& PY) const {
    if (!Quick || !QuickMap(X, Y, PX, PY)) {
      PX = PixelX(X);
      PY = PixelY(Y);
    }
  }
  int32_t ExactPixelX(double X) const;
  int32_t ExactPixelY(double Y) const;

  // Each axis alone (the series renderer's columns): the quick path's
  // proof holds for each axis by itself, with that axis' own offset in its
  // margin.
  bool QuickX = false, QuickY = false;
  double QuickMarginX = 0, QuickMarginY = 0;
  // Logarithmic axes likewise, with the logarithm taken in double
  // precision: QuickLogAxis allows the double logarithm 2^12 units in the
  // last place (libraries promise one or two), far more than the extended
  // computation's own error, so where it answers it answers as that does;
  // extended arithmetic is not needed for speed where it is a software type.
  bool QuickLogX = false, QuickLogY = false;
  // Pixel x of X, as ExactPixelX gives it; pixel y of Y, as ExactPixelY.
  int32_t PixelX(double X) const {
    int32_t p;
    if (QuickX) return QuickAxis(KXd, DXd, QuickMarginX, X, p) ? p : ExactPixelX(X);
    return QuickLogX && QuickLogAxis(KXd, DXd, X, p) ? p : ExactPixelX(X);
  }
  int32_t PixelY(double Y) const {
    int32_t p;
    if (QuickY) return QuickAxis(KYd, DYd, QuickMarginY, Y, p) ? p : ExactPixelY(Y);
    return QuickLogY && QuickLogAxis(KYd, DYd, Y, p) ? p : ExactPixelY(Y);
  }
  // With QuickX, for a column within +-QuickLimit / 2: true only when X
  // certainly maps to pixel x Column (false may still be in it).
  bool SurelyInColumnX(double X, int32_t Column) const {
    const double off = KXd * X + DXd - Column;
    return off < QuickMarginX && -off < QuickMarginX;
  }

 private:
  // K ln V + D in doubles: the logarithm's error (2^-40 of |K ln V| at
  // most, see above) and every rounding and the extended computation's
  // (2^-50 of the magnitudes together) stay within 2^-39 of the sum of the
  // magnitudes involved, which the margin keeps off the boundary; values not
  // surely above the logarithmic floor 1e-100 (2^-332 is above it) go to
  // the extended computation, as do NaN and infinities.
  static bool QuickLogAxis(double K, double D, double V, int32_t& P) {
    if (!(V > 0x1p-332 && V <= 0x1.fffffffffffffp1023)) return false;
    const double a = K * std::log(V), v = a + D;
    return RoundIfClear(v, 0.5 - 0x1p-39 * (std::fabs(a) + std::fabs(D) + std::fabs(v) + 1), P);
  }
  static bool QuickAxis(double K, double D, double Margin, double V, int32_t& P) {
    return RoundIfClear(K * V + D, Margin, P);
  }
  // The nearest integer to v (half to even), when v lies within QuickLimit
  // of zero and further than Margin from a boundary k + 0.5.
  static bool RoundIfClear(double v, double Margin, int32_t& P) {
    constexpr double Round = 0x1.8p52;
    const double nearest = (v + Round) - Round, off = v - nearest;
    if (!(off < Margin && -off < Margin && v < QuickLimit && -v < QuickLimit)) return false;
    P = static_cast<int32_t>(nearest);
    return true;
  }
  bool QuickMap(double X, double Y, int32_t& PX, int32_t& PY) const {
    // Adding and taking away 1.5 x 2^52 rounds to an integer, half to even.
    constexpr double Round = 0x1.8p52;
#if defined(__SSE2__)
    // Both axes at once.
    const __m128d v =
        _mm_add_pd(_mm_mul_pd(_mm_set_pd(Y, X), _mm_set_pd(KYd, KXd)), _mm_set_pd(DYd, DXd));
    const __m128d nearest = _mm_sub_pd(_mm_add_pd(v, _mm_set1_pd(Round)), _mm_set1_pd(Round));
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m128d off = _mm_and_pd(_mm_sub_pd(v, nearest), absMask);
    const __m128d mag = _mm_and_pd(v, absMask);
    const __m128d ok = _mm_and_pd(_mm_cmplt_pd(off, _mm_set1_pd(QuickMargin)),
                                  _mm_cmplt_pd(mag, _mm_set1_pd(QuickLimit)));
    if (_mm_movemask_pd(ok) != 3) return false;
    const __m128i pixels = _mm_cvtpd_epi32(nearest);
    PX = _mm_cvtsi128_si32(pixels);
    PY = _mm_cvtsi128_si32(_mm_shuffle_epi32(pixels, 1));
    return true;
#else
    const double vx = KXd * X + DXd, vy = KYd * Y + DYd;
    const double nx = (vx + Round) - Round, ny = (vy + Round) - Round;
    auto abs = [](double a) { return a < 0 ? -a : a; };
    if (!(abs(vx - nx) < QuickMargin && abs(vy - ny) < QuickMargin && abs(vx) < QuickLimit &&
          abs(vy) < QuickLimit))
      return false;
    PX = static_cast<int32_t>(nx);
    PY = static_cast<int32_t>(ny);
    return true;
#endif
  }
};

}  // namespace vexa
