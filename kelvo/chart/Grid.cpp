// The grid of points or lines under the drawing items, at the axis ticks,
// at a fixed world step, or on logarithmic axes at decade sequences.
#include <algorithm>
#include <cmath>

#include "kelvo/base/Marks.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {

// Every grid loop stops after this many positions.
constexpr int32_t MaxGridPositions = 1000;

long double Log10(long double v) { return std::log(v) / std::log(10.0L); }
int32_t Floor32(long double v) { return RoundClamped(std::floor(v), 100000); }
int32_t Ceil32(long double v) { return RoundClamped(std::ceil(v), 100000); }

// The first grid position of an axis.
double GridStart(double Step, const TScaleProps& S, const TScale& T, double Low) {
  if (Step == 0) return T.NumTicks() > 0 ? T.TickPos(1) : std::min(T.RangeHigh(), T.RangeLow());
  if (!S.Logarithmic() || Step > 0) {
    const long double k = std::ceil(static_cast<long double>(Low) / Step);
    return static_cast<double>(k * Step);
  }
  if (!(Low > 0)) return Low;
  const long double e = Log10(Low);
  if (Step == -1) return static_cast<double>(std::pow(10.0L, Ceil32(e)));
  if (Step == -2 || Step == -3) {
    const int32_t k = Floor32(e);
    const int32_t m = RoundClamped(std::pow(10.0L, e - k), 100);
    const int32_t q = Step == -3 ? m : (m <= 2 ? 2 : (m <= 5 ? 5 : 10));
    return static_cast<double>(std::pow(10.0L, k) * q);
  }
  return Low;
}

}  // namespace

double TCustomKelvo::NextGridPos(double Value, int32_t Index, bool Horizontal, double Step) {
  const int32_t layer = CurrentLayer();
  const TScaleProps& S =
      Horizontal ? static_cast<const TScaleProps&>(ScalePropsX(layer)) : ScalePropsY(layer);
  TScale& T = Horizontal ? ScaleX(layer) : ScaleY(layer);
  if (Step == 0) {
    if (Index >= 1 && Index <= T.NumTicks()) return T.TickPos(Index);
    return std::max(S.RangeLow(), S.RangeHigh());  // ends the loop
  }
  if (!S.Logarithmic() || Step > 0) return Value + std::fabs(Step);
  if (Step == -1) return Value * 10;
  if (!(Value > 0)) return std::max(S.RangeLow(), S.RangeHigh());
  long double e = Log10(Value);
  if (std::fabs(e - std::nearbyint(e)) < 1e-14L) e = std::nearbyint(e);
  const int32_t k = Floor32(e);
  const int32_t m = RoundClamped(std::pow(10.0L, e - k), 100);
  const long double decade = std::pow(10.0L, k);
  if (Step == -2) {
    const int32_t next = m == 1 ? 2 : (m == 2 ? 5 : 10);
    return static_cast<double>(decade * next);
  }
  return static_cast<double>(decade * (m + 1));
}

void TCustomKelvo::DrawGrid(TCanvas& c) {
  const int32_t L = CurrentLayer();
  const TScaleProps& SX = ScalePropsX(L);
  const TScaleProps& SY = ScalePropsY(L);
  c.Brush().SetColor(FSettings.ChartColor);
  const double xlo = std::min(SX.RangeLow(), SX.RangeHigh()),
               xhi = std::max(SX.RangeLow(), SX.RangeHigh());
  const double ylo = std::min(SY.RangeLow(), SY.RangeHigh()),
               yhi = std::max(SY.RangeLow(), SY.RangeHigh());
  const double x0 = GridStart(FSettings.GridDx, SX, ScaleX(L), xlo);
  const double y0 = GridStart(FSettings.GridDy, SY, ScaleY(L), ylo);
  c.Pen().SetColor(FSettings.GridColor);
  const TLayerMapping& m = DeviceMapping(L);
  const int64_t ml = DeviceDataArea().Left, mt = DeviceDataArea().Top;
  auto bitmapPoint = [&](double x, double y) {
    int32_t px, py;
    m.Map(x, y, px, py);
    return TPoint{static_cast<int32_t>(std::clamp<int64_t>(px - ml, INT32_MIN, INT32_MAX)),
                  static_cast<int32_t>(std::clamp<int64_t>(py - mt, INT32_MIN, INT32_MAX))};
  };
  auto verticalLines = [&] {
    int32_t n = 0;
    for (double x = x0; x < xhi && n < MaxGridPositions; ++n) {
      const TPoint a = bitmapPoint(x, SY.RangeLow()), b = bitmapPoint(x, SY.RangeHigh());
      c.MoveTo(a.X, a.Y);
      c.LineTo(b.X, b.Y);
      x = NextGridPos(x, n + 2, true, FSettings.GridDx);
    }
  };
  auto horizontalLines = [&] {
    int32_t n = 0;
    for (double y = y0; y < yhi && n < MaxGridPositions; ++n) {
      const TPoint a = bitmapPoint(SX.RangeLow(), y), b = bitmapPoint(SX.RangeHigh(), y);
      c.MoveTo(a.X, a.Y);
      c.LineTo(b.X, b.Y);
      y = NextGridPos(y, n + 2, false, FSettings.GridDy);
    }
  };
  const bool dotted = FSettings.GridStyle == GridStyleType::gsHorizDotLines ||
                      FSettings.GridStyle == GridStyleType::gsVertDotLines ||
                      FSettings.GridStyle == GridStyleType::gsDotLines;
  c.Pen().SetStyle(dotted ? TPenStyle::psDot : TPenStyle::psSolid);
  switch (FSettings.GridStyle) {
    case GridStyleType::gsPoints: {
      int32_t points = 0, xi = 1;
      for (double x = x0; x < xhi && points < MaxGridPositions;) {
        int32_t yi = 1;
        for (double y = y0; y < yhi && points < MaxGridPositions; ++points) {
          const TPoint p = bitmapPoint(x, y);
          DrawDot(c, p.X, p.Y, FSettings.GridColor);
          y = NextGridPos(y, ++yi, false, FSettings.GridDy);
        }
        x = NextGridPos(x, ++xi, true, FSettings.GridDx);
        if (xi > MaxGridPositions) break;
      }
      break;
    }
    case GridStyleType::gsVertLines:
    case GridStyleType::gsVertDotLines:
      verticalLines();
      break;
    case GridStyleType::gsHorizLines:
    case GridStyleType::gsHorizDotLines:
      horizontalLines();
      break;
    case GridStyleType::gsLines:
    case GridStyleType::gsDotLines:
      verticalLines();
      horizontalLines();
      break;
    default:
      break;
  }
  c.Pen().SetStyle(TPenStyle::psSolid);
}

}  // namespace vexa
