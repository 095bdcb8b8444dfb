#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa::raster {

namespace {

// floor(n / d) for d > 0.
inline int64_t FloorDiv(int64_t n, int64_t d) {
  int64_t q = n / d;
  if ((n % d) != 0 && n < 0) --q;
  return q;
}

#if !defined(__SIZEOF_INT128__)
// Targets without a 128-bit integer (32-bit ones): the same result from
// 64-bit halves, two's complement, low 64 bits of the quotient as a cast
// from 128 bits would give. Only products that overflow 64 bits come here.
struct TWide {
  uint64_t Hi, Lo;
};

TWide Negate(TWide v) {
  v.Hi = ~v.Hi;
  v.Lo = ~v.Lo + 1;
  if (v.Lo == 0) ++v.Hi;
  return v;
}

TWide MulWide(uint64_t a, uint64_t b) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}

int64_t FloorMulAddDivWide(int64_t a, int64_t b, int64_t c, int64_t d, int64_t* rem) {
  const uint64_t ua = a < 0 ? 0 - static_cast<uint64_t>(a) : static_cast<uint64_t>(a);
  const uint64_t ub = b < 0 ? 0 - static_cast<uint64_t>(b) : static_cast<uint64_t>(b);
  TWide n = MulWide(ua, ub);
  if ((a < 0) != (b < 0)) n = Negate(n);
  const uint64_t lo = n.Lo + static_cast<uint64_t>(c);
  n.Hi += (lo < n.Lo ? 1 : 0) + (c < 0 ? ~uint64_t{0} : 0);
  n.Lo = lo;
  const bool negative = (n.Hi >> 63) != 0;
  const TWide m = negative ? Negate(n) : n;
  // Bitwise long division of |n| by d: the remainder stays below d < 2^63.
  const auto ud = static_cast<uint64_t>(d);
  TWide q{0, 0};
  uint64_t r = 0;
  for (int i = 127; i >= 0; --i) {
    const uint64_t bit = i >= 64 ? (m.Hi >> (i - 64)) & 1 : (m.Lo >> i) & 1;
    r = (r << 1) | bit;
    if (r >= ud) {
      r -= ud;
      if (i >= 64)
        q.Hi |= uint64_t{1} << (i - 64);
      else
        q.Lo |= uint64_t{1} << i;
    }
  }
  if (negative) {
    q = Negate(q);
    if (r != 0) {  // floor: one further down, remainder d - r
      if (q.Lo-- == 0) --q.Hi;
      r = ud - r;
    }
  }
  if (rem) *rem = static_cast<int64_t>(r);
  return static_cast<int64_t>(q.Lo);
}
#endif

// floor((a * b + c) / d) for d > 0, with the remainder, in 64 bits when the
// product fits (the common case) and in 128 bits otherwise.
inline int64_t FloorMulAddDiv(int64_t a, int64_t b, int64_t c, int64_t d, int64_t* rem) {
  int64_t p;
  if (!__builtin_mul_overflow(a, b, &p) && !__builtin_add_overflow(p, c, &p)) {
    const int64_t q = FloorDiv(p, d);
    if (rem) *rem = p - q * d;
    return q;
  }
#if defined(__SIZEOF_INT128__)
  const __int128 n = static_cast<__int128>(a) * b + c;
  __int128 q = n / d;
  if ((n % d) != 0 && n < 0) --q;
  if (rem) *rem = static_cast<int64_t>(n - q * d);
  return static_cast<int64_t>(q);
#else
  return FloorMulAddDivWide(a, b, c, d, rem);
#endif
}

// round(v / 255) for v in 0 .. 255 * 255, without a division.
inline uint32_t Div255(uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

// n pixels of value v: 64 bytes a round with SSE2 stores, the rest singly.
inline void FillPixels(uint32_t* p, int64_t n, uint32_t v) {
  // Long runs of a value whose four bytes agree (white, black) go to memset,
  // which picks the widest stores the processor has.
  if (n >= 64 && v == (v & 0xFFu) * 0x01010101u) {
    std::memset(p, static_cast<int>(v & 0xFFu), static_cast<size_t>(n) * sizeof(uint32_t));
    return;
  }
#if defined(__SSE2__)
  const __m128i q = _mm_set1_epi32(static_cast<int>(v));
  if (n >= 4 && n <= 8) {
    // Short runs (marks, bar edges): two stores that may overlap.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), q);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 4), q);
    return;
  }
  for (; n >= 16; n -= 16, p += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), q);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), q);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 8), q);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 12), q);
  }
  for (; n >= 4; n -= 4, p += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), q);
#endif
  for (; n > 0; --n) *p++ = v;
}

// Unclipped run: callers clip.

inline void PutSpan(uint32_t* row, int64_t x0, int64_t x1, TPaint paint) {
  uint32_t* p = row + x0;
  uint32_t* e = row + x1;
  if (paint.Alpha != 255 && !paint.Xor) [[unlikely]] {
    if (paint.Alpha == 0) return;
    for (; p < e; ++p) *p = BlendOver(*p, paint.Pixel, paint.Alpha);
    return;
  }
  if (!paint.Xor) {
    FillPixels(p, x1 - x0, paint.Pixel);
  } else {
    const uint32_t v = paint.Pixel & 0x00FFFFFFu;
    for (; p < e; ++p) *p ^= v;
  }
}

}  // namespace

namespace {

// Runs: on, off, on, off, ...
constexpr TDashPattern MakeDash(std::initializer_list<uint8_t> runs) {
  TDashPattern p;
  bool on = true;
  for (uint8_t run : runs) {
    for (uint8_t i = 0; i < run; ++i, ++p.Length)
      if (on) p.OnMask |= uint64_t{1} << p.Length;
    on = !on;
  }
  return p;
}

constexpr TDashPattern kDashPatterns[] = {
    {},                            // psSolid
    MakeDash({18, 6}),             // psDash
    MakeDash({3, 3}),              // psDot
    MakeDash({9, 6, 3, 6}),        // psDashDot
    MakeDash({9, 3, 3, 3, 3, 3}),  // psDashDotDot
    {},                            // psClear
    {},                            // psInsideFrame
};

}  // namespace

TDashPattern DashPatternFor(TPenStyle style) {
  const auto i = static_cast<size_t>(style);
  return i < std::size(kDashPatterns) ? kDashPatterns[i] : TDashPattern{};
}

void FillSpan(const TSurface& s, int64_t y, int64_t x0, int64_t x1, TPaint paint) {
  if (y < 0 || y >= s.Height) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, s.Width);
  if (x0 >= x1) return;
  PutSpan(s.Row(static_cast<int32_t>(y)), x0, x1, paint);
}

void FillRect(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint paint) {
  l = std::max<int64_t>(l, 0);
  t = std::max<int64_t>(t, 0);
  r = std::min<int64_t>(r, s.Width);
  b = std::min<int64_t>(b, s.Height);
  if (l >= r || t >= b) return;
  if (l == 0 && r == s.Width && s.Stride == s.Width) {
    // Whole rows lie back to back: one run.
    PutSpan(s.Row(static_cast<int32_t>(t)), 0, (b - t) * s.Width, paint);
    return;
  }
  if (!paint.Xor && paint.Alpha == 255 && r - l <= 2) {
    // Narrow boxes (the blocks of a wide pen's upright runs): straight
    // stores down the rows.
    uint32_t* p = s.Row(static_cast<int32_t>(t)) + l;
    const uint32_t v = paint.Pixel;
    if (r - l == 1)
      for (int64_t y = t; y < b; ++y, p += s.Stride) p[0] = v;
    else
      for (int64_t y = t; y < b; ++y, p += s.Stride) p[0] = v, p[1] = v;
    return;
  }
  for (int64_t y = t; y < b; ++y) PutSpan(s.Row(static_cast<int32_t>(y)), l, r, paint);
}

namespace {

// The pixels of steps 0 .. count - 1 of a line that lies wholly on the
// surface: pointer stepping, no bounds checks. Minor offsets follow the same
// rule as the clipped path below (error starts at major - 1).
template <bool Dashed, bool Xor>
void UnclippedLine(uint32_t* p, int64_t count, int64_t majStep, int64_t minStep, int64_t twoMajor,
                   int64_t twoMinor, uint32_t pixel, const TDashPattern& dash, uint32_t phase,
                   const TPaint* gapPaint) {
  const uint32_t value = Xor ? (pixel & 0x00FFFFFFu) : pixel;
  int64_t r = twoMajor / 2 - 1;
  uint32_t k = phase;
  if constexpr (Dashed && !Xor) {
    // Dashes with painted gaps in copy mode: every pixel gets a value from
    // the pattern's table, without a branch.
    if (gapPaint && !gapPaint->Xor) {
      uint32_t table[64];
      for (uint32_t j = 0; j < dash.Length; ++j)
        table[j] = ((dash.OnMask >> j) & 1u) ? value : gapPaint->Pixel;
      if (twoMinor == 0) {
        // Horizontal and vertical lines (grids): no minor steps at all.
        for (int64_t i = 0; i < count; ++i, p += majStep) {
          *p = table[k];
          k = k + 1 == dash.Length ? 0 : k + 1;
        }
        return;
      }
      for (int64_t i = 0; i < count; ++i) {
        *p = table[k];
        k = k + 1 == dash.Length ? 0 : k + 1;
        r += twoMinor;
        const int64_t carry = r >= twoMajor;
        r -= carry * twoMajor;
        p += majStep + carry * minStep;
      }
      return;
    }
  }
  for (int64_t i = 0; i < count; ++i) {
    if constexpr (Dashed) {
      if ((dash.OnMask >> k) & 1u)
        *p = Xor ? (*p ^ value) : value;
      else if (gapPaint)
        gapPaint->Apply(*p);
      if (++k == dash.Length) k = 0;
    } else {
      *p = Xor ? (*p ^ value) : value;
    }
    // The minor step is taken without a branch: it is as good as random.
    r += twoMinor;
    const int64_t carry = r >= twoMajor;
    r -= carry * twoMajor;
    p += majStep + carry * minStep;
  }
}

// A line as steps along its major axis. Step i sits at major coordinate
// Maj0 + SMaj * i and minor coordinate Min0 + SMin * q(i), where
// q(i) = floor((2 i Minor + Major - 1) / (2 Major)): round(i * Minor / Major)
// with a tie going towards the start row.
struct TLineSteps {
  bool XMajor;
  int64_t Major, Minor, SMaj, SMin, Maj0, Min0;

  TLineSteps(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    XMajor = adx >= ady;
    Major = XMajor ? adx : ady;
    Minor = XMajor ? ady : adx;
    SMaj = (XMajor ? dx : dy) < 0 ? -1 : 1;
    SMin = (XMajor ? dy : dx) < 0 ? -1 : 1;
    Maj0 = XMajor ? x0 : y0;
    Min0 = XMajor ? y0 : x0;
  }
  // Narrows [iLo, iHi] to the steps whose major coordinate lies in [0, limit).
  bool ClipMajor(int64_t limit, int64_t& iLo, int64_t& iHi) const {
    iLo = std::max<int64_t>(iLo, SMaj > 0 ? -Maj0 : Maj0 - (limit - 1));
    iHi = std::min<int64_t>(iHi, SMaj > 0 ? limit - 1 - Maj0 : Maj0);
    return iLo <= iHi;
  }
  // q(i) and the error term r at step i, in closed form: a line that starts
  // far outside the surface jumps straight to its first visible step.
  void Start(int64_t i, int64_t& q, int64_t& r) const {
    r = Major - 1;
    q = i > 0 ? FloorMulAddDiv(2 * i, Minor, Major - 1, 2 * Major, &r) : 0;
  }
  void Next(int64_t& q, int64_t& r) const {
    r += 2 * Minor;
    if (r >= 2 * Major) {
      r -= 2 * Major;
      ++q;
    }
  }
};

}  // namespace

// The start pixel is drawn and the end pixel is not: a line of Major steps
// draws steps 0 .. Major - 1.
void Line(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, TPaint paint,
          const TDashPattern& dash, uint32_t& phase, const TPaint* gapPaint) {
  const TLineSteps line(x0, y0, x1, y1);
  if (line.Major == 0) return;
  const uint32_t period = dash.Period();
  const uint32_t startPhase = period ? phase % period : 0;
  if (period) phase = static_cast<uint32_t>((phase + line.Major) % period);

  // Every drawn pixel on the surface: the start, the last step on the major
  // axis and the end on the minor axis bound them all (the end pixel itself
  // is not drawn, so a line may end just outside).
  const int64_t majLimitFast = line.XMajor ? s.Width : s.Height;
  const int64_t minLimitFast = line.XMajor ? s.Height : s.Width;
  const int64_t lastMaj = line.Maj0 + line.SMaj * (line.Major - 1);
  const int64_t endMin = line.Min0 + line.SMin * line.Minor;
  if (dash.Scale == 1 && line.Maj0 >= 0 && line.Maj0 < majLimitFast && lastMaj >= 0 &&
      lastMaj < majLimitFast && line.Min0 >= 0 && line.Min0 < minLimitFast && endMin >= 0 &&
      endMin < minLimitFast) {
    const int64_t stepX = x1 < x0 ? -1 : 1,
                  stepY = y1 < y0 ? -int64_t{s.Stride} : int64_t{s.Stride};
    uint32_t* p = s.Row(y0) + x0;
    const int64_t majStep = line.XMajor ? stepX : stepY, minStep = line.XMajor ? stepY : stepX;
    const int64_t twoMajor = 2 * line.Major, twoMinor = 2 * line.Minor;
    if (period == 0) {
      if (paint.Xor)
        UnclippedLine<false, true>(p, line.Major, majStep, minStep, twoMajor, twoMinor, paint.Pixel,
                                   dash, 0, nullptr);
      else
        UnclippedLine<false, false>(p, line.Major, majStep, minStep, twoMajor, twoMinor,
                                    paint.Pixel, dash, 0, nullptr);
    } else if (paint.Xor) {
      UnclippedLine<true, true>(p, line.Major, majStep, minStep, twoMajor, twoMinor, paint.Pixel,
                                dash, startPhase, gapPaint);
    } else {
      UnclippedLine<true, false>(p, line.Major, majStep, minStep, twoMajor, twoMinor, paint.Pixel,
                                 dash, startPhase, gapPaint);
    }
    return;
  }

  const int64_t majLimit = line.XMajor ? s.Width : s.Height;
  const int64_t minLimit = line.XMajor ? s.Height : s.Width;
  int64_t iLo = 0, iHi = line.Major - 1;
  if (!line.ClipMajor(majLimit, iLo, iHi)) return;
  int64_t q, r;
  line.Start(iLo, q, r);
  // The dash position steps along with i, wrapping at the period.
  uint32_t k = period ? static_cast<uint32_t>((startPhase + iLo) % period) : 0;
  for (int64_t i = iLo; i <= iHi; ++i, line.Next(q, r)) {
    const uint32_t here = k;
    if (period && ++k == period) k = 0;
    const int64_t m = line.Min0 + line.SMin * q;
    if (m < 0 || m >= minLimit) {
      if ((line.SMin > 0) == (m >= minLimit)) break;  // moving further away from the surface
      continue;
    }
    const int64_t maj = line.Maj0 + line.SMaj * i;
    uint32_t& px =
        line.XMajor ? s.Row(static_cast<int32_t>(m))[maj] : s.Row(static_cast<int32_t>(maj))[m];
    if (period == 0) {
      paint.Apply(px);
    } else if (dash.On(here)) {
      paint.Apply(px);
    } else if (gapPaint) {
      gapPaint->Apply(px);
    }
  }
}

void FillFramedBox(const TSurface& s, const TBox& Outer, const TBox& Inner, TPaint Pen,
                   const TPaint* Fill) {
  const int64_t l = std::max<int64_t>(Outer.L, 0), r = std::min<int64_t>(Outer.R, s.Width);
  const int64_t t = std::max<int64_t>(Outer.T, 0), b = std::min<int64_t>(Outer.B, s.Height);
  if (l >= r || t >= b) return;
  if (Fill && Fill->Pixel == Pen.Pixel && !Fill->Xor && !Pen.Xor && Fill->Alpha == 255) {
    // Outline and inside alike (filled marks): one box.
    FillRect(s, l, t, r, b, Pen);
    return;
  }
  const bool hollow = Inner.L < Inner.R && Inner.T < Inner.B;
  // Columns of the inner box, clipped to the outer one.
  const int64_t il = std::clamp<int64_t>(Inner.L, l, r), ir = std::clamp<int64_t>(Inner.R, il, r);
  for (int64_t y = t; y < b; ++y) {
    uint32_t* row = s.Row(static_cast<int32_t>(y));
    if (!hollow || y < Inner.T || y >= Inner.B) {
      PutSpan(row, l, r, Pen);
      continue;
    }
    if (l < il) PutSpan(row, l, il, Pen);
    if (Fill && il < ir) PutSpan(row, il, ir, *Fill);
    if (ir < r) PutSpan(row, ir, r, Pen);
  }
}

TEllipseRows::TEllipseRows(int64_t l, int64_t t, int64_t r, int64_t b)
    : FLeft(l),
      FTop(t),
      FBottom(b),
      FA((r - l) / 2.0),
      FB((b - t) / 2.0),
      FEmpty(r <= l || b <= t) {}

void TEllipseRows::Row(int64_t y, int64_t& first, int64_t& last) const {
  first = 1;
  last = 0;
  if (FEmpty || y < FTop || y >= FBottom) return;
  // Work relative to the box so that rows mirrored about the centre give
  // exactly mirrored runs.
  const double t = (static_cast<double>(y - FTop) + 0.5 - FB) / FB;
  const double q = 1.0 - t * t;
  if (q < 0) return;
  const double hw = FA * std::sqrt(q);
  const double lo = std::ceil(FA - hw - 0.5);
  const double hi = std::floor(FA + hw - 0.5);
  if (lo > hi) return;
  first = FLeft + static_cast<int64_t>(lo);
  last = FLeft + static_cast<int64_t>(hi);
}

void FillEllipse(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint paint) {
  TEllipseRows rows(l, t, r, b);
  if (rows.Empty()) return;
  const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, s.Height);
  for (int64_t y = y0; y < y1; ++y) {
    int64_t a, z;
    rows.Row(y, a, z);
    if (a <= z) FillSpan(s, y, a, z + 1, paint);
  }
}

void OutlinedEllipse(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint outline,
                     const TPaint* fill) {
  TEllipseRows rows(l, t, r, b);
  if (rows.Empty()) return;
  const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, s.Height);
  for (int64_t y = y0; y < y1; ++y) {
    int64_t a, z, pa, pz, na, nz;
    rows.Row(y, a, z);
    if (a > z) continue;
    rows.Row(y - 1, pa, pz);
    rows.Row(y + 1, na, nz);
    // Interior: columns whose four neighbours all lie in the ellipse.
    int64_t ia = a + 1, iz = z - 1;
    if (pa > pz || na > nz) {
      ia = 1;
      iz = 0;
    } else {
      ia = std::max({ia, pa, na});
      iz = std::min({iz, pz, nz});
    }
    if (ia > iz) {
      FillSpan(s, y, a, z + 1, outline);
      continue;
    }
    FillSpan(s, y, a, ia, outline);
    if (fill) FillSpan(s, y, ia, iz + 1, *fill);
    FillSpan(s, y, iz + 1, z + 1, outline);
  }
}

void EllipseRing(const TSurface& s, const TBox& outer, const TBox& inner, TPaint paint) {
  TEllipseRows out(outer.L, outer.T, outer.R, outer.B);
  TEllipseRows in(inner.L, inner.T, inner.R, inner.B);
  if (out.Empty()) return;
  const int64_t y0 = std::max<int64_t>(outer.T, 0), y1 = std::min<int64_t>(outer.B, s.Height);
  for (int64_t y = y0; y < y1; ++y) {
    int64_t a, z, ia, iz;
    out.Row(y, a, z);
    if (a > z) continue;
    in.Row(y, ia, iz);
    if (ia > iz || ia > z || iz < a) {
      FillSpan(s, y, a, z + 1, paint);
      continue;
    }
    FillSpan(s, y, a, ia, paint);
    FillSpan(s, y, iz + 1, z + 1, paint);
  }
}

void ThickLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width,
               TPaint paint, const TDashPattern& dash, uint32_t& phase, const TPaint* gapPaint) {
  const TLineSteps line(x0, y0, x1, y1);
  if (line.Major == 0) return;
  const int64_t n = width;
  const int64_t majLimit = line.XMajor ? s.Width : s.Height;
  const int64_t minLimit = line.XMajor ? s.Height : s.Width;
  const uint32_t period = dash.Period();
  const uint32_t startPhase = period ? phase % period : 0;
  if (period) phase = static_cast<uint32_t>((phase + line.Major) % period);
  if (period) {
    // Dashes: each step's pixel widened across the line only, so dashes and
    // gaps keep their scaled lengths; each pixel is written once. Steps in
    // one paint on one minor coordinate are filled as one box.
    int64_t iLo = 0, iHi = line.Major - 1;
    if (!line.ClipMajor(majLimit, iLo, iHi)) return;
    int64_t q, r;
    line.Start(iLo, q, r);
    const TPaint* runPaint = nullptr;
    int64_t runFrom = 0, runTo = 0, runMin = 0;  // major coordinates [from, to]
    auto flush = [&] {
      if (!runPaint) return;
      const int64_t a = std::min(runFrom, runTo), b = std::max(runFrom, runTo) + 1;
      if (line.XMajor)
        FillRect(s, a, runMin, b, runMin + n, *runPaint);
      else
        FillRect(s, runMin, a, runMin + n, b, *runPaint);
    };
    for (int64_t i = iLo; i <= iHi; ++i, line.Next(q, r)) {
      const uint32_t k = static_cast<uint32_t>((startPhase + i) % period);
      const TPaint* p = dash.On(k) ? &paint : gapPaint;
      const int64_t maj = line.Maj0 + line.SMaj * i, min = line.Min0 + line.SMin * q;
      if (p == runPaint && min == runMin && p) {
        runTo = maj;
        continue;
      }
      flush();
      runPaint = p, runFrom = runTo = maj, runMin = min;
    }
    flush();
    return;
  }
  if (line.Minor == 0) {
    // Level or upright: the blocks make one box.
    const int64_t a = line.SMaj > 0 ? line.Maj0 : line.Maj0 - (line.Major - 1);
    const int64_t b = a + line.Major - 1 + n;
    if (line.XMajor)
      FillRect(s, a, line.Min0, b, line.Min0 + n, paint);
    else
      FillRect(s, line.Min0, a, line.Min0 + n, b, paint);
    return;
  }
  // Solid: one span across each major coordinate c, from the blocks of the
  // steps ia..ib that reach it (a run of consecutive steps; the minor
  // coordinate is monotone in the step), so every pixel is written once and
  // XOR stays reversible.
  const int64_t first = line.SMaj > 0 ? line.Maj0 : line.Maj0 - (line.Major - 1);
  const int64_t end = first + line.Major - 1 + n;  // exclusive
  const int64_t cLo = std::max<int64_t>(first, 0), cHi = std::min<int64_t>(end, majLimit);
  if (cLo >= cHi) return;
  // Steps whose block reaches c: SMaj > 0: c - Maj0 - n + 1 .. c - Maj0;
  // SMaj < 0: Maj0 - c .. Maj0 - c + n - 1. Both ends move by one per c.
  auto lowStep = [&](int64_t c) {
    return std::max<int64_t>(0, line.SMaj > 0 ? c - line.Maj0 - n + 1 : line.Maj0 - c);
  };
  auto highStep = [&](int64_t c) {
    return std::min<int64_t>(line.Major - 1, line.SMaj > 0 ? c - line.Maj0 : line.Maj0 - c + n - 1);
  };
  const int64_t c0 = line.SMaj > 0 ? cLo : cHi - 1, dc = line.SMaj > 0 ? 1 : -1;
  int64_t ia = lowStep(c0), ib = highStep(c0);
  int64_t qa, ra, qb, rb;
  line.Start(ia, qa, ra);
  line.Start(ib, qb, rb);
  for (int64_t c = c0, left = cHi - cLo; left > 0; --left, c += dc) {
    const int64_t wantA = lowStep(c), wantB = highStep(c);
    while (ia < wantA) ++ia, line.Next(qa, ra);
    while (ib < wantB) ++ib, line.Next(qb, rb);
    const int64_t ma = line.Min0 + line.SMin * qa, mb = line.Min0 + line.SMin * qb;
    const int64_t from = std::max<int64_t>(std::min(ma, mb), 0);
    const int64_t to = std::min<int64_t>(std::max(ma, mb) + n, minLimit);
    if (from >= to) continue;
    if (line.XMajor) {
      for (int64_t y = from; y < to; ++y) paint.Apply(s.Row(static_cast<int32_t>(y))[c]);
    } else {
      FillSpan(s, c, from, to, paint);
    }
  }
}

void WideLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width,
              TPaint paint, int32_t Lo) {
  // The pen's disc occupies [c - lo, c - lo + width) around a point c.
  const int64_t lo = Lo < 0 ? (width - 1) / 2 : Lo;
  auto disc = [&](int64_t cx, int64_t cy) {
    FillEllipse(s, cx - lo, cy - lo, cx - lo + width, cy - lo + width, paint);
  };
  disc(x0, y0);
  if (x0 == x1 && y0 == y1) return;
  disc(x1, y1);
  // Body: a run of `width` pixels across the major axis at every step.
  const TLineSteps line(x0, y0, x1, y1);
  const int64_t majLimit = line.XMajor ? s.Width : s.Height;
  const int64_t minLimit = line.XMajor ? s.Height : s.Width;
  int64_t iLo = 0, iHi = line.Major;
  if (!line.ClipMajor(majLimit, iLo, iHi)) return;
  int64_t q, r;
  line.Start(iLo, q, r);
  for (int64_t i = iLo; i <= iHi; ++i, line.Next(q, r)) {
    const int64_t first = line.Min0 + line.SMin * q - lo, end = first + width;
    if (end <= 0 || first >= minLimit) {
      if ((line.SMin > 0) == (first >= minLimit)) break;
      continue;
    }
    const int64_t maj = line.Maj0 + line.SMaj * i;
    if (line.XMajor) {
      for (int64_t y = std::max<int64_t>(first, 0); y < std::min<int64_t>(end, s.Height); ++y)
        paint.Apply(s.Row(static_cast<int32_t>(y))[maj]);
    } else {
      FillSpan(s, maj, first, end, paint);
    }
  }
}

void FillPolygon(const TSurface& s, std::span<const TPoint> points, TPaint paint,
                 TPolygonScratch& scratch) {
  const size_t n = points.size();
  if (n < 3) return;
  auto& edges = scratch.Edges;
  edges.clear();
  int64_t yMin = INT64_MAX, yMax = INT64_MIN;
  for (size_t i = 0; i < n; ++i) {
    const TPoint a = points[i], b = points[i + 1 == n ? 0 : i + 1];
    if (a.Y == b.Y) continue;  // horizontal edges cross no sample row
    const TPoint& top = a.Y < b.Y ? a : b;
    const TPoint& bottom = a.Y < b.Y ? b : a;
    edges.push_back({top.X, top.Y, bottom.X, bottom.Y, 0, 0, 0, 0});
    yMin = std::min<int64_t>(yMin, top.Y);
    yMax = std::max<int64_t>(yMax, bottom.Y);
  }
  if (edges.empty()) return;
  const int64_t rowFirst = std::max<int64_t>(yMin, 0);
  const int64_t rowEnd = std::min<int64_t>(yMax, s.Height);  // sample rows ymin <= y < ymax
  if (rowFirst >= rowEnd) return;
  // Each edge's crossing at its first sample row, ceil(x), found with one
  // division; later rows step by whole columns plus a remainder.
  for (auto& e : edges) {
    const int64_t ey = e.YBottom - e.YTop, d = e.XBottom - e.XTop;
    const int64_t start = std::max(e.YTop, rowFirst);
    int64_t rem;  // exact crossing = XTop + (q * ey - r) / ey with 0 <= r < ey
    const int64_t q = -FloorMulAddDiv(start - e.YTop, -d, 0, ey, &rem);
    e.X = e.XTop + q;
    e.Rem = rem;
    e.StepX = FloorDiv(d, ey);
    e.StepRem = d - e.StepX * ey;
  }
  auto& buffer = scratch.Crossings;
  if (buffer.size() < edges.size()) buffer.resize(edges.size());
  int64_t* const xs = buffer.data();
  for (int64_t y = rowFirst; y < rowEnd; ++y) {
    size_t n = 0;
    for (auto& e : edges) {
      if (y < e.YTop || y >= e.YBottom) continue;
      xs[n++] = e.X;
      // Advance to the next row: n + d = (q + a) ey - (r - b).
      e.X += e.StepX;
      e.Rem -= e.StepRem;
      if (e.Rem < 0) {
        e.Rem += e.YBottom - e.YTop;
        ++e.X;
      }
    }
    if (n == 2) {  // every row of a convex polygon
      FillSpan(s, y, std::min(xs[0], xs[1]), std::max(xs[0], xs[1]), paint);
      continue;
    }
    // Few crossings per row: insertion sort allocates nothing.
    for (size_t i = 1; i < n; ++i) {
      int64_t v = xs[i];
      size_t j = i;
      for (; j > 0 && xs[j - 1] > v; --j) xs[j] = xs[j - 1];
      xs[j] = v;
    }
    for (size_t i = 0; i + 1 < n; i += 2) FillSpan(s, y, xs[i], xs[i + 1], paint);
  }
}

void BlendMask(const TSurface& s, int64_t x, int64_t y, const uint8_t* mask, int32_t w, int32_t h,
               int32_t pitch, TPaint paint) {
  const int64_t c0 = std::max<int64_t>(0, -x), c1 = std::min<int64_t>(w, s.Width - x);
  const int64_t r0 = std::max<int64_t>(0, -y), r1 = std::min<int64_t>(h, s.Height - y);
  if (c0 >= c1 || r0 >= r1) return;
  const uint32_t src = paint.Pixel;
  const uint32_t sr = (src >> 16) & 0xFF, sg = (src >> 8) & 0xFF, sb = src & 0xFF;
  for (int64_t r = r0; r < r1; ++r) {
    const uint8_t* m = mask + r * pitch;
    uint32_t* row = s.Row(static_cast<int32_t>(y + r)) + x;
    for (int64_t c = c0; c < c1; ++c) {
      const uint32_t a = m[c];
      if (a == 0) continue;
      uint32_t& d = row[c];
      if (paint.Xor) {
        if (a >= 128) paint.Apply(d);
        continue;
      }
      if (a == 255) {
        d = src;
        continue;
      }
      const uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
      const uint32_t ia = 255 - a;
      const uint32_t nr = Div255(sr * a + dr * ia);
      const uint32_t ng = Div255(sg * a + dg * ia);
      const uint32_t nb = Div255(sb * a + db * ia);
      d = 0xFF000000u | (nr << 16) | (ng << 8) | nb;
    }
  }
}

}  // namespace vexa::raster
