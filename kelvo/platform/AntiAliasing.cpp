// Anti-aliased lines and ellipses: the coverage of the ideal shape blended
// over the surface. Each shape is tied to its aliased picture: it lies on
// the same centres, and thin lines and ellipses touch no pixel farther than
// one from the aliased shape's pixels (a wide pen's line is the swept disc
// its aliased picture approximates).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "Raster.h"

namespace vexa::raster {

namespace {

// round(v / 255) for v in 0 .. 255 * 255, without a division.
inline uint32_t Div255(uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

inline uint32_t Alpha(double Coverage) {
  return Coverage <= 0 ? 0 : (Coverage >= 1 ? 255 : static_cast<uint32_t>(Coverage * 255 + 0.5));
}

// Pixel blended over d with coverage A (0..255; 255 writes Pixel itself).
inline void Blend(uint32_t& d, uint32_t Pixel, uint32_t A) {
  if (A == 0) return;
  if (A >= 255) {
    d = Pixel;
    return;
  }
  const uint32_t ia = 255 - A;
  const uint32_t r = Div255(((Pixel >> 16) & 0xFF) * A + ((d >> 16) & 0xFF) * ia);
  const uint32_t g = Div255(((Pixel >> 8) & 0xFF) * A + ((d >> 8) & 0xFF) * ia);
  const uint32_t b = Div255((Pixel & 0xFF) * A + (d & 0xFF) * ia);
  d = 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Coordinates beyond this are drawn aliased: every product of the exact
// arithmetic below stays within 53 bits, and no chart draws so far out.
constexpr int64_t FarCoordinate = int64_t{1} << 24;

}  // namespace

void AntiAliasedLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                     int32_t Width, uint32_t Pixel, const TDashPattern& dash, uint32_t& phase,
                     const uint32_t* GapPixel) {
  const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
  if (dx == 0 && dy == 0) return;
  const int64_t w = std::max(Width, 1);
  if (std::max({std::llabs(x0), std::llabs(y0), std::llabs(x1), std::llabs(y1)}) > FarCoordinate ||
      w > 255) {
    const TPaint pen{Pixel, false}, gap{GapPixel ? *GapPixel : 0u, false};
    if (w == 1)
      Line(s, x0, y0, x1, y1, pen, dash, phase, GapPixel ? &gap : nullptr);
    else
      ThickLine(s, x0, y0, x1, y1, static_cast<int32_t>(w), pen, dash, phase,
                GapPixel ? &gap : nullptr);
    return;
  }
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
  const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
  const int64_t sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1, sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t maj0 = xMajor ? x0 : y0, min0 = xMajor ? y0 : x0;
  const int64_t majLimit = xMajor ? s.Width : s.Height, minLimit = xMajor ? s.Height : s.Width;
  const uint32_t period = dash.Period();
  const uint32_t startPhase = period ? phase % period : 0;
  if (period) phase = static_cast<uint32_t>((phase + major) % period);

  // The aliased picture: step j's pixel has the minor offset q(j) (Line's
  // rounding) and its block covers [m, m + w) both ways. A solid
  // line covers the blocks' major coordinates; a dashed one, as ThickLine,
  // only its steps'.
  // q(j) = (2 j minor + major - 1) / (2 major), rounded down.
  const int64_t firstStep = sMaj > 0 ? maj0 : maj0 - (major - 1);
  const int64_t cFirst = firstStep;
  const int64_t cEnd = cFirst + major + (period ? 0 : w - 1);  // exclusive
  const int64_t cLo = std::max<int64_t>(cFirst, 0), cHi = std::min<int64_t>(cEnd, majLimit);
  if (cLo >= cHi) return;
  auto at = [&](int64_t c, int64_t m) -> uint32_t& {
    return xMajor ? s.Row(static_cast<int32_t>(m))[c] : s.Row(static_cast<int32_t>(c))[m];
  };
  if (minor == 0 && !period) {  // level or upright: whole pixels, as the aliased box
    const int64_t m = min0;
    if (xMajor) {
      FillRect(s, cLo, m, cHi, m + w, TPaint{Pixel, false});
    } else if (w <= 4 && m >= 0 && m + w <= s.Width) {
      // The upright runs of a dense line (a few pixels wide at a device
      // ratio): row by row, no span set-up.
      uint32_t* p = s.Row(static_cast<int32_t>(cLo)) + m;
      for (int64_t y = cLo; y < cHi; ++y, p += s.Stride)
        for (int64_t k = 0; k < w; ++k) p[k] = Pixel;
    } else {
      FillRect(s, m, cLo, m + w, cHi, TPaint{Pixel, false});
    }
    return;
  }
  // The band w wide at right angles to the line through the blocks'
  // centres: its cross-section along a major coordinate is w * sqrt(1 +
  // slope^2) long, and each pixel gets the length of it inside the pixel.
  const double slope = static_cast<double>(minor) / static_cast<double>(major);
  const double half = 0.5 * static_cast<double>(w) * std::sqrt(1.0 + slope * slope);
  const double majC0 = static_cast<double>(maj0) + 0.5 * static_cast<double>(w);
  const double minC0 = static_cast<double>(min0) + 0.5 * static_cast<double>(w);
  // q(j) of the steps at the band's two ends, followed from column to
  // column (j moves by one a column, so the quotient by at most one)
  // instead of divided out each time.
  struct TStep {
    int64_t J = -2, Q = 0, R = 0;  // step, quotient, remainder of q's division
  } stepA, stepB;
  const int64_t den = 2 * major, inc = 2 * minor;  // inc <= den
  auto follow = [&](TStep& s, int64_t j) {
    if (j == s.J + 1) {
      s.R += inc;
      if (s.R >= den) s.R -= den, ++s.Q;
    } else if (j == s.J - 1) {
      s.R -= inc;
      if (s.R < 0) s.R += den, --s.Q;
    } else if (j != s.J) {
      const int64_t num = j * inc + major - 1;
      s.Q = num / den, s.R = num % den;
    }
    s.J = j;
    return s.Q;
  };
  for (int64_t c = cLo; c < cHi; ++c) {
    // The steps whose blocks reach c, clamped to the line's.
    const int64_t i = (c - maj0) * sMaj;
    int64_t ja = sMaj > 0 ? i - (w - 1) : i, jb = sMaj > 0 ? i : i + w - 1;
    if (period) ja = jb = i;
    ja = std::clamp<int64_t>(ja, 0, major - 1);
    jb = std::clamp<int64_t>(jb, 0, major - 1);
    const uint32_t* paint = &Pixel;
    if (period && !dash.On(static_cast<uint32_t>(
                      (startPhase + std::clamp<int64_t>(i, 0, major - 1)) % period)))
      paint = GapPixel;
    if (!paint) continue;
    const int64_t ma = min0 + sMin * follow(stepA, ja), mb = min0 + sMin * follow(stepB, jb);
    const double t = (static_cast<double>(c) + 0.5 - majC0) * static_cast<double>(sMaj);
    const double centre = minC0 + static_cast<double>(sMin) * (t * static_cast<double>(minor)) /
                                      static_cast<double>(major);
    const double a = std::max({centre - half, static_cast<double>(std::min(ma, mb) - 1), 0.0});
    const double b = std::min({centre + half, static_cast<double>(std::max(ma, mb) + w + 1),
                               static_cast<double>(minLimit)});
    if (a >= b) continue;
    const auto mLo = static_cast<int64_t>(std::floor(a)), mHi = static_cast<int64_t>(std::ceil(b));
    for (int64_t m = mLo; m < mHi; ++m) {
      const double cover =
          std::min(static_cast<double>(m + 1), b) - std::max(static_cast<double>(m), a);
      Blend(at(c, m), *paint, Alpha(cover));
    }
  }
}

void AntiAliasedWideLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         int32_t Width, int32_t Lo, uint32_t Pixel, bool StartCap, bool EndCap) {
  const double w = std::max(Width, 1);
  // The pen's disc covers [c - Lo, c - Lo + Width) around a point c.
  const double off = w / 2 - Lo;
  const double ax = x0 + off, ay = y0 + off, bx = x1 + off, by = y1 + off;
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  const double reach = w / 2 + 0.5;  // beyond this from the centre line a pixel is not touched
  const double l = std::min(ax, bx) - reach, r = std::max(ax, bx) + reach;
  const double t = std::min(ay, by) - reach, b = std::max(ay, by) + reach;
  if (r < 0 || b < 0 || l > s.Width || t > s.Height) return;
  if (std::max({std::fabs(ax), std::fabs(ay), std::fabs(bx), std::fabs(by)}) >
      static_cast<double>(FarCoordinate)) {
    WideLine(s, x0, y0, x1, y1, Width, TPaint{Pixel, false}, Lo);
    return;
  }
  const int64_t yLo = std::max<int64_t>(static_cast<int64_t>(std::floor(t)), 0);
  const int64_t yHi = std::min<int64_t>(static_cast<int64_t>(std::ceil(b)), s.Height);
  const double length = std::sqrt(len2);
  for (int64_t y = yLo; y < yHi; ++y) {
    const double py = static_cast<double>(y) + 0.5;
    // The columns the band about the line reaches on this row.
    double from = l, to = r;
    if (std::fabs(dy) * 64 > length) {
      const double at = ax + (py - ay) * dx / dy, half = reach * length / std::fabs(dy) + 1;
      from = std::max(from, at - half);
      to = std::min(to, at + half);
    }
    const int64_t xLo = std::max<int64_t>(static_cast<int64_t>(std::floor(from)), 0);
    const int64_t xHi = std::min<int64_t>(static_cast<int64_t>(std::ceil(to)), s.Width);
    uint32_t* row = s.Row(static_cast<int32_t>(y));
    for (int64_t x = xLo; x < xHi; ++x) {
      const double px = static_cast<double>(x) + 0.5;
      const double u = (px - ax) * dx + (py - ay) * dy;  // along the line, times its length
      double d;
      if (len2 == 0 || u < 0) {
        if (!StartCap && len2 != 0) continue;
        d = std::hypot(px - ax, py - ay);
      } else if (u > len2) {
        if (!EndCap) continue;
        d = std::hypot(px - bx, py - by);
      } else {
        d = std::fabs((px - ax) * dy - (py - ay) * dx) / length;
      }
      Blend(row[x], Pixel, Alpha(w / 2 + 0.5 - d));
    }
  }
}

namespace {

// An ellipse with its signed distance from the boundary, approximated to
// first order (the implicit function over its gradient's length): exact on
// circles and near the boundary, which is all that coverage needs.
struct TEllipseDistance {
  double CX, CY, A, B;
  bool Empty;

  explicit TEllipseDistance(const TBox& Box)
      : CX(0.5 * static_cast<double>(Box.L + Box.R)),
        CY(0.5 * static_cast<double>(Box.T + Box.B)),
        A(0.5 * static_cast<double>(Box.R - Box.L)),
        B(0.5 * static_cast<double>(Box.B - Box.T)),
        Empty(Box.R <= Box.L || Box.B <= Box.T) {}

  // Of the centre of pixel (x, y); negative inside.
  double At(int64_t x, int64_t y) const {
    const double u = std::fabs(static_cast<double>(x) + 0.5 - CX);
    const double v = std::fabs(static_cast<double>(y) + 0.5 - CY);
    const double pu = u / A, pv = v / B;
    const double g = std::sqrt(pu * pu + pv * pv);
    const double gradient = std::sqrt(pu * pu / (A * A) + pv * pv / (B * B));
    if (gradient == 0) return -std::min(A, B);
    return (g - 1.0) * g / gradient;
  }
  double Coverage(int64_t x, int64_t y) const {
    return Empty ? 0.0 : std::clamp(0.5 - At(x, y), 0.0, 1.0);
  }
};

}  // namespace

namespace {

// The pixels one row of an ellipse pair touches, relative to the outer box's
// top-left: the columns within one of the aliased outer ellipse's, and the
// run wholly inside the inner one (one pixel away from its edge, so that its
// coverage is whole there).
struct TEllipseSpan {
  int64_t First = 1, Last = 0;                        // touched; First > Last: none
  int64_t Inside = INT64_MIN, InsideEnd = INT64_MIN;  // [Inside, InsideEnd)
};

TEllipseSpan SpanOf(const TEllipseRows& Outer, const TEllipseRows& Inner, int64_t y) {
  TEllipseSpan span;
  int64_t first = INT64_MAX, last = INT64_MIN;
  int64_t inside = INT64_MIN, insideLast = INT64_MAX;
  for (int64_t k = -1; k <= 1; ++k) {
    int64_t a, z;
    Outer.Row(y + k, a, z);
    if (a <= z) first = std::min(first, a - 1), last = std::max(last, z + 1);
    Inner.Row(y + k, a, z);
    if (a > z) inside = INT64_MAX, insideLast = INT64_MIN;  // no inside on this row
    if (inside != INT64_MAX)
      inside = std::max(inside, a + 2), insideLast = std::min(insideLast, z - 2);
  }
  if (first > last) return span;
  span.First = first, span.Last = last;
  if (inside <= insideLast) span.Inside = inside, span.InsideEnd = insideLast + 1;
  return span;
}

// The coverages of an ellipse pair (relative boxes) at a pixel: of the outer
// ellipse, and of the inner one within it (the outer's without a ring).
struct TEllipsePair {
  TEllipseDistance Outer, Inner;
  bool Ring;
  void At(int64_t x, int64_t y, uint32_t& aOut, uint32_t& aIn) const {
    const double out = Outer.Coverage(x, y);
    aOut = Alpha(out);
    aIn = Ring ? Alpha(std::min(Inner.Coverage(x, y), out)) : aOut;
  }
};

// Background, fill and pen in the shares of their coverage.
struct TEllipsePaint {
  const uint32_t* Pen;
  const uint32_t* Fill;
  void Put(uint32_t& d, uint32_t aOut, uint32_t aIn) const {
    if (aOut == 0) return;
    if (!Pen) {
      if (Fill) Blend(d, *Fill, aIn);
    } else if (!Fill) {
      Blend(d, *Pen, aOut - aIn);
    } else {
      const uint32_t aPen = aOut - aIn, aBack = 255 - aOut;
      auto channel = [&](int shift) {
        return Div255(((d >> shift) & 0xFF) * aBack + ((*Fill >> shift) & 0xFF) * aIn +
                      ((*Pen >> shift) & 0xFF) * aPen);
      };
      d = 0xFF000000u | (channel(16) << 16) | (channel(8) << 8) | channel(0);
    }
  }
};

// A small ellipse's coverage relative to its box, which is all it depends
// on (the arithmetic above is exact under moves by whole pixels), for the
// rows from the one above the box to the one below. Marks repeat one box many
// times, so the last one is kept.
struct TEllipseCoverage {
  TBox Outer, Inner;  // relative to the outer box's top-left
  bool Ring = false;
  std::vector<TEllipseSpan> Rows;
  std::vector<size_t> Edge;  // per row, where its coverages start
  std::vector<uint8_t> Out, In;

  bool Same(const TBox& O, const TBox& I, bool R) const {
    return R == Ring && O.R == Outer.R && O.B == Outer.B && I.L == Inner.L && I.T == Inner.T &&
           I.R == Inner.R && I.B == Inner.B;
  }
  void Build(const TBox& O, const TBox& I, bool R) {
    Outer = O, Inner = I, Ring = R;
    Rows.clear(), Edge.clear(), Out.clear(), In.clear();
    const TEllipseRows outerRows(O.L, O.T, O.R, O.B), innerRows(I.L, I.T, I.R, I.B);
    const TEllipsePair pair{TEllipseDistance(O), TEllipseDistance(I), R};
    for (int64_t y = O.T - 1; y <= O.B; ++y) {
      const TEllipseSpan span = SpanOf(outerRows, innerRows, y);
      Rows.push_back(span);
      Edge.push_back(Out.size());
      for (int64_t x = span.First; x <= span.Last; ++x) {
        if (x == span.Inside) x = span.InsideEnd;
        if (x > span.Last) break;
        uint32_t aOut, aIn;
        pair.At(x, y, aOut, aIn);
        Out.push_back(static_cast<uint8_t>(aOut));
        In.push_back(static_cast<uint8_t>(aIn));
      }
    }
  }
};

}  // namespace

void AntiAliasedEllipse(const TSurface& s, const TBox& Outer, const TBox& Inner,
                        const uint32_t* PenPixel, const uint32_t* FillPixel) {
  if (Outer.R <= Outer.L || Outer.B <= Outer.T) return;
  const bool ring = PenPixel != nullptr;
  const TBox outer{0, 0, Outer.R - Outer.L, Outer.B - Outer.T};
  const TBox inner =
      ring ? TBox{Inner.L - Outer.L, Inner.T - Outer.T, Inner.R - Outer.L, Inner.B - Outer.T}
           : outer;
  const TEllipsePaint paint{PenPixel, FillPixel};
  // The rows and the columns (relative to the box) on the surface.
  const int64_t yLo = std::max<int64_t>(Outer.T - 1, 0) - Outer.T;
  const int64_t yHi = std::min<int64_t>(Outer.B, s.Height - 1) - Outer.T;
  const int64_t xLo = -Outer.L, xHi = s.Width - 1 - Outer.L;
  // The run wholly inside: the fill's, or nothing.
  auto fillInside = [&](int64_t y, const TEllipseSpan& span) {
    if (FillPixel)
      FillSpan(s, Outer.T + y, Outer.L + span.Inside, Outer.L + span.InsideEnd,
               TPaint{*FillPixel, false});
  };

  if (outer.R > 64 || outer.B > 64) {
    // A large ellipse: only its rows and columns on the surface, as they come.
    const TEllipseRows outerRows(outer.L, outer.T, outer.R, outer.B);
    const TEllipseRows innerRows(inner.L, inner.T, inner.R, inner.B);
    const TEllipsePair pair{TEllipseDistance(outer), TEllipseDistance(inner), ring};
    for (int64_t y = yLo; y <= yHi; ++y) {
      const TEllipseSpan span = SpanOf(outerRows, innerRows, y);
      uint32_t* line = s.Row(static_cast<int32_t>(Outer.T + y));
      const int64_t last = std::min(span.Last, xHi);
      for (int64_t x = std::max(span.First, xLo); x <= last; ++x) {
        if (x >= span.Inside && x < span.InsideEnd) {
          fillInside(y, span);
          x = span.InsideEnd - 1;
          continue;
        }
        uint32_t aOut, aIn;
        pair.At(x, y, aOut, aIn);
        paint.Put(line[Outer.L + x], aOut, aIn);
      }
    }
    return;
  }

  thread_local TEllipseCoverage last;
  if (last.Rows.empty() || !last.Same(outer, inner, ring)) last.Build(outer, inner, ring);
#if defined(__GNUC__)
  // Blending reads the pixels: ask for the rows of a small ellipse at once,
  // so that their loads overlap instead of waiting one after another.
  if (Outer.L >= 0 && Outer.R < s.Width)
    for (int64_t y = yLo; y <= yHi; ++y)
      __builtin_prefetch(s.Row(static_cast<int32_t>(Outer.T + y)) + Outer.L, 1);
#endif
  for (int64_t y = yLo; y <= yHi; ++y) {
    const TEllipseSpan& span = last.Rows[static_cast<size_t>(y + 1)];
    uint32_t* line = s.Row(static_cast<int32_t>(Outer.T + y));
    size_t edge = last.Edge[static_cast<size_t>(y + 1)];
    for (int64_t x = span.First; x <= span.Last; ++x) {
      if (x == span.Inside) {
        fillInside(y, span);
        x = span.InsideEnd - 1;
        continue;
      }
      const uint32_t aOut = last.Out[edge], aIn = last.In[edge];
      ++edge;
      if (x >= xLo && x <= xHi) paint.Put(line[Outer.L + x], aOut, aIn);
    }
  }
}

}  // namespace vexa::raster
