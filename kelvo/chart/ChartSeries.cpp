// The chart's data series: adding, reaching and deleting them, and fitting
// a layer's ranges to its data.
#include <algorithm>
#include <cmath>
#include <limits>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {
std::string SeriesError(size_t Index, size_t Count) {
  return "Series " + std::to_string(Index) + " does not exist: the chart has " +
         std::to_string(Count) + " series";
}
}  // namespace

TSeries& TCustomKelvo::AddSeries(const std::string& Name) {
  const size_t k = FSeries->size();
  FSeries->push_back(std::make_unique<TSeries>(Name));
  if (!FSeriesPalette.empty()) FSeries->back()->SetColor(FSeriesPalette[k % FSeriesPalette.size()]);
  return *FSeries->back();
}

TSeries& TCustomKelvo::Series(size_t Index) {
  if (Index >= FSeries->size()) throw EVexaKelvoError(SeriesError(Index, FSeries->size()));
  return *(*FSeries)[Index];
}

const TSeries& TCustomKelvo::Series(size_t Index) const {
  if (Index >= FSeries->size()) throw EVexaKelvoError(SeriesError(Index, FSeries->size()));
  return *(*FSeries)[Index];
}

void TCustomKelvo::DeleteSeries(size_t Index) {
  if (Index >= FSeries->size()) throw EVexaKelvoError(SeriesError(Index, FSeries->size()));
  FSeries->erase(FSeries->begin() + static_cast<std::ptrdiff_t>(Index));
}

void TCustomKelvo::ClearSeries() { FSeries->clear(); }

void TCustomKelvo::FitLayerToData(int32_t Layer) {
  if (Layer < 1 || Layer > LayerCount) return;
  constexpr double Inf = std::numeric_limits<double>::infinity();
  const TScaleProps& sx = ScalePropsX(Layer);
  const TScaleProps& sy = ScalePropsY(Layer);
  double x0 = Inf, x1 = -Inf, y0 = Inf, y1 = -Inf;
  double px = Inf, py = Inf;  // the smallest positive values, for a logarithmic axis
  auto take = [&](double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    x0 = std::min(x0, x), x1 = std::max(x1, x);
    y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x > 0) px = std::min(px, x);
    if (y > 0) py = std::min(py, y);
  };
  for (const auto& s : *FSeries) {
    if (!s->Visible() || s->Layer() != Layer || !ClassVisible(s->ItemClass())) continue;
    double a, b, c, d;
    if (!s->Bounds(a, b, c, d)) continue;
    take(a, c), take(b, d);
    // The summaries know no smallest positive value: a logarithmic axis
    // whose series reach zero or below reads the points once.
    const bool scanX = sx.Logarithmic() && !(a > 0) && b > 0;
    const bool scanY = sy.Logarithmic() && !(c > 0) && d > 0;
    if (scanX || scanY)
      for (uint64_t i = 0; i < s->Count(); ++i) {
        const double x = s->X(i), y = s->Y(i);
        if (std::isfinite(x) && std::isfinite(y)) {
          if (scanX && x > 0) px = std::min(px, x);
          if (scanY && y > 0) py = std::min(py, y);
        }
      }
  }
  for (const TDrawItem& it : FList.Items()) {
    if (it.Layer != Layer || !ClassVisible(it.ItemClass) || !HasFiniteCoordinates(it)) continue;
    switch (it.Kind) {
      case ikMark:
      case ikLineTo:
      case ikMoveTo:
      case ikText:
      case ikTextOffset:
      case ikPixelBox:
        take(it.X1, it.Y1);
        break;
      case ikLine:
      case ikRectangle:
      case ikBevelBox:
      case ikBar3D:
      case ikArrow:
        take(it.X1, it.Y1);
        take(it.X2, it.Y2);
        break;
      case ikEllipse:
        take(it.X1 - it.X2, it.Y1 - it.Y2);
        take(it.X1 + it.X2, it.Y1 + it.Y2);
        break;
      case ikErrorMark:
        take(it.X1, it.Y1);
        if (it.Param1 != 0)
          take(it.X1 - std::fabs(it.X2), it.Y1), take(it.X1 + std::fabs(it.Y2), it.Y1);
        else
          take(it.X1, it.Y1 - std::fabs(it.X2)), take(it.X1, it.Y1 + std::fabs(it.Y2));
        break;
      default:
        break;
    }
  }
  // An axis keeps its direction, and keeps its range where the data gives it
  // nothing finite of some width; a logarithmic one fits its positive values.
  auto fit = [](const TScaleProps& p, double lo, double hi, double lowestPositive,
                long double& NewLo, long double& NewHi) {
    NewLo = p.RangeLow();
    NewHi = p.RangeHigh();
    if (p.Logarithmic() && !(lo > 0)) lo = lowestPositive;
    if (!(lo < hi)) return;
    const bool reversed = p.RangeLow() > p.RangeHigh();
    NewLo = reversed ? hi : lo;
    NewHi = reversed ? lo : hi;
  };
  long double lx, hx, ly, hy;
  fit(sx, x0, x1, px, lx, hx);
  fit(sy, y0, y1, py, ly, hy);
  SetLayerRanges(Layer, lx, ly, hx, hy, false);
}

}  // namespace vexa
