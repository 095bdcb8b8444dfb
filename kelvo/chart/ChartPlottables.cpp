// The chart's plottables: adding, reaching and deleting them (series also
// by their own numbering), and fitting a layer's ranges to its data.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {
// "Series 3 does not exist: the chart has 2 series".
std::string IndexError(const char* One, const char* Many, size_t Index, size_t Count) {
  return std::string(One) + " " + std::to_string(Index) + " does not exist: the chart has " +
         std::to_string(Count) + " " + Many;
}

// The list position of the Index-th plottable of type T, or the list's size.
template <class T>
size_t PositionOf(const TPlottableList& List, size_t Index) {
  for (size_t k = 0; k < List.size(); ++k)
    if (dynamic_cast<const T*>(List[k].get()) && Index-- == 0) return k;
  return List.size();
}

template <class T>
size_t CountOf(const TPlottableList& List) {
  return static_cast<size_t>(std::count_if(List.begin(), List.end(), [](const auto& p) {
    return dynamic_cast<const T*>(p.get()) != nullptr;
  }));
}
}  // namespace

size_t TCustomKelvo::PlottableCount() const { return FPlottables->size(); }

TPlottable& TCustomKelvo::Plottable(size_t Index) {
  return const_cast<TPlottable&>(std::as_const(*this).Plottable(Index));
}

const TPlottable& TCustomKelvo::Plottable(size_t Index) const {
  if (Index >= FPlottables->size())
    throw EVexaKelvoError(IndexError("Plottable", "plottables", Index, FPlottables->size()));
  return *(*FPlottables)[Index];
}

void TCustomKelvo::DeletePlottable(size_t Index) {
  if (Index >= FPlottables->size())
    throw EVexaKelvoError(IndexError("Plottable", "plottables", Index, FPlottables->size()));
  FPlottables->erase(FPlottables->begin() + static_cast<std::ptrdiff_t>(Index));
}

TPlottable& TCustomKelvo::AddPlottable(std::unique_ptr<TPlottable> Plottable) {
  if (!Plottable) throw EVexaKelvoError("AddPlottable needs a plottable");
  Plottable->FOwnerList = FPlottables.get();
  FPlottables->push_back(std::move(Plottable));
  return *FPlottables->back();
}

TSeries& TCustomKelvo::AddSeries(const std::string& Name) {
  const size_t k = SeriesCount();
  auto series = std::make_unique<TSeries>(Name);
  if (!FSettings.SeriesPalette.empty())
    series->SetColor(FSettings.SeriesPalette[k % FSettings.SeriesPalette.size()]);
  TSeries& added = *series;
  added.FOwnerList = FPlottables.get();
  FPlottables->push_back(std::move(series));
  return added;
}

size_t TCustomKelvo::SeriesCount() const { return CountOf<TSeries>(*FPlottables); }

TSeries& TCustomKelvo::Series(size_t Index) {
  return const_cast<TSeries&>(std::as_const(*this).Series(Index));
}

const TSeries& TCustomKelvo::Series(size_t Index) const {
  const size_t at = PositionOf<TSeries>(*FPlottables, Index);
  if (at == FPlottables->size())
    throw EVexaKelvoError(IndexError("Series", "series", Index, SeriesCount()));
  return static_cast<const TSeries&>(*(*FPlottables)[at]);
}

void TCustomKelvo::DeleteSeries(size_t Index) {
  const size_t at = PositionOf<TSeries>(*FPlottables, Index);
  if (at == FPlottables->size())
    throw EVexaKelvoError(IndexError("Series", "series", Index, SeriesCount()));
  FPlottables->erase(FPlottables->begin() + static_cast<std::ptrdiff_t>(at));
}

void TCustomKelvo::ClearSeries() {
  std::erase_if(*FPlottables,
                [](const auto& p) { return dynamic_cast<const TSeries*>(p.get()) != nullptr; });
}

// The Index-th plottable of kind T; none such: EVexaKelvoError in the kind's words.
template <class T>
T& TCustomKelvo::OfKind(size_t Index, const char* One, const char* Many) const {
  const size_t at = PositionOf<T>(*FPlottables, Index);
  if (at == FPlottables->size())
    throw EVexaKelvoError(IndexError(One, Many, Index, CountOf<T>(*FPlottables)));
  return static_cast<T&>(*(*FPlottables)[at]);
}

template <class T>
void TCustomKelvo::DeleteOfKind(size_t Index, const char* One, const char* Many) {
  T& doomed = OfKind<T>(Index, One, Many);
  std::erase_if(*FPlottables, [&](const auto& p) { return p.get() == &doomed; });
}

TColorMap& TCustomKelvo::AddColorMap(const std::string& Name) {
  return static_cast<TColorMap&>(AddPlottable(std::make_unique<TColorMap>(Name)));
}
size_t TCustomKelvo::ColorMapCount() const { return CountOf<TColorMap>(*FPlottables); }
TColorMap& TCustomKelvo::ColorMap(size_t Index) {
  return OfKind<TColorMap>(Index, "Colour map", "colour maps");
}
const TColorMap& TCustomKelvo::ColorMap(size_t Index) const {
  return OfKind<TColorMap>(Index, "Colour map", "colour maps");
}
void TCustomKelvo::DeleteColorMap(size_t Index) {
  DeleteOfKind<TColorMap>(Index, "Colour map", "colour maps");
}

THistogram& TCustomKelvo::AddHistogram(const std::string& Name) {
  return static_cast<THistogram&>(AddPlottable(std::make_unique<THistogram>(Name)));
}
size_t TCustomKelvo::HistogramCount() const { return CountOf<THistogram>(*FPlottables); }
THistogram& TCustomKelvo::Histogram(size_t Index) {
  return OfKind<THistogram>(Index, "Histogram", "histograms");
}
const THistogram& TCustomKelvo::Histogram(size_t Index) const {
  return OfKind<THistogram>(Index, "Histogram", "histograms");
}
void TCustomKelvo::DeleteHistogram(size_t Index) {
  DeleteOfKind<THistogram>(Index, "Histogram", "histograms");
}

TBoxPlot& TCustomKelvo::AddBoxPlot(const std::string& Name) {
  return static_cast<TBoxPlot&>(AddPlottable(std::make_unique<TBoxPlot>(Name)));
}
size_t TCustomKelvo::BoxPlotCount() const { return CountOf<TBoxPlot>(*FPlottables); }
TBoxPlot& TCustomKelvo::BoxPlot(size_t Index) {
  return OfKind<TBoxPlot>(Index, "Box plot", "box plots");
}
const TBoxPlot& TCustomKelvo::BoxPlot(size_t Index) const {
  return OfKind<TBoxPlot>(Index, "Box plot", "box plots");
}
void TCustomKelvo::DeleteBoxPlot(size_t Index) {
  DeleteOfKind<TBoxPlot>(Index, "Box plot", "box plots");
}

TCandles& TCustomKelvo::AddCandles(const std::string& Name) {
  return static_cast<TCandles&>(AddPlottable(std::make_unique<TCandles>(Name)));
}
size_t TCustomKelvo::CandlesCount() const { return CountOf<TCandles>(*FPlottables); }
TCandles& TCustomKelvo::Candles(size_t Index) {
  return OfKind<TCandles>(Index, "Candles", "sets of candles");
}
const TCandles& TCustomKelvo::Candles(size_t Index) const {
  return OfKind<TCandles>(Index, "Candles", "sets of candles");
}
void TCustomKelvo::DeleteCandles(size_t Index) {
  DeleteOfKind<TCandles>(Index, "Candles", "sets of candles");
}

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
  for (const auto& p : *FPlottables) {
    if (!p->Visible() || p->Layer() != Layer || !ClassVisible(p->ItemClass())) continue;
    TPlotExtent e;
    if (p->Extent(e, sx.Logarithmic(), sy.Logarithmic()))
      take(e.MinX, e.MinY), take(e.MaxX, e.MaxY);
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
