// THistogram: bins, counting and the picture.
#include "kelvo/chart/Histogram.h"

#include <algorithm>
#include <cmath>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/Statistics.h"

namespace vexa {

namespace {
std::string Named(const std::string& Name) {
  return "Histogram" + (Name.empty() ? std::string() : " '" + Name + "'");
}
}  // namespace

THistogram::THistogram(std::string Name) : TPlottable(std::move(Name)) {}
THistogram::~THistogram() = default;

std::unique_ptr<TPlottable> THistogram::Clone() const {
  return std::make_unique<THistogram>(*this);
}

void THistogram::SetBins(double Low, double High, int64_t Count) {
  if (!std::isfinite(Low) || !std::isfinite(High))
    throw EVexaKelvoError(Named(Name()) + ": the bins' ends must be finite");
  if (!(Low < High))
    throw EVexaKelvoError(Named(Name()) + ": the bins' low end must lie below the high end");
  if (Count < 1 || Count > MaxBins)
    throw EVexaKelvoError(Named(Name()) + ": " + std::to_string(Count) +
                          " bins: a histogram has 1 to " + std::to_string(MaxBins));
  const double scale = static_cast<double>(Count) / (High - Low);
  const double width = (High - Low) / static_cast<double>(Count);
  if (!std::isfinite(scale) || !(scale > 0) || !(Low + width > Low) || !(High - width < High))
    throw EVexaKelvoError(Named(Name()) + ": bins that narrow cannot be told apart");
  FCounts.assign(static_cast<size_t>(Count), 0);
  FLow = Low, FHigh = High, FScale = scale;
  FUnder = FOver = FInvalid = FTotal = 0;
  Touch();
}

void THistogram::AutoBins(const double* Sample, size_t N) {
  std::vector<double> v;
  v.reserve(N);
  for (size_t i = 0; i < N; ++i)
    if (std::isfinite(Sample[i])) v.push_back(Sample[i]);
  if (v.empty()) throw EVexaKelvoError(Named(Name()) + ": AutoBins needs a finite value");
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  const double low = *lo, high = *hi, n = static_cast<double>(v.size());
  if (low == high) {
    SetBins(low - 0.5, high + 0.5, 1);
    return;
  }
  const double iqr = Quantile(v, 0.75) - Quantile(v, 0.25);
  double bins =
      iqr > 0 ? std::ceil((high - low) / (2 * iqr / std::cbrt(n))) : std::ceil(std::log2(n)) + 1;
  bins = std::clamp(bins, 1.0, 100000.0);
  SetBins(low, high, static_cast<int64_t>(bins));
}

void THistogram::CheckBin(int64_t K, bool Edge) const {
  if (K < 0 || K > BinCount() - (Edge ? 0 : 1))
    throw EVexaKelvoError(Named(Name()) + ": bin " + std::to_string(K) +
                          " does not exist: it has " + std::to_string(BinCount()));
}

uint64_t THistogram::BinCount(int64_t K) const {
  CheckBin(K, false);
  return FCounts[static_cast<size_t>(K)];
}

double THistogram::BinLow(int64_t K) const {
  CheckBin(K, true);
  return K == BinCount() ? FHigh : FLow + static_cast<double>(K) * BinWidth();
}

double THistogram::BinValue(int64_t K) const {
  CheckBin(K, false);
  const double c = static_cast<double>(FCounts[static_cast<size_t>(K)]);
  const double total = static_cast<double>(FTotal);
  switch (FNormalization) {
    case THistNormalization::hnCount:
      return c;
    case THistNormalization::hnProbability:
      return FTotal ? c / total : 0;
    case THistNormalization::hnDensity:
      return FTotal ? c / total / BinWidth() : 0;
    case THistNormalization::hnCumulative: {
      uint64_t below = 0;
      for (int64_t k = 0; k <= K; ++k) below += FCounts[static_cast<size_t>(k)];
      return FTotal ? static_cast<double>(below) / total : 0;
    }
  }
  return c;
}

void THistogram::Append(double V) { Append(&V, 1); }

void THistogram::Append(const double* V, size_t N) {
  if (N == 0) return;
  if (!V) throw EVexaKelvoError(Named(Name()) + ": Append needs values");
  const double low = FLow, scale = FScale, bins = static_cast<double>(FCounts.size());
  uint64_t* counts = FCounts.data();
  uint64_t counted = 0;
  for (size_t i = 0; i < N; ++i) {
    const double t = (V[i] - low) * scale;
    if (t >= 0 && t < bins) {
      ++counts[static_cast<size_t>(t)];
      ++counted;
    } else if (V[i] == FHigh) {  // the last bin holds its high edge
      ++counts[FCounts.size() - 1];
      ++counted;
    } else if (t < 0) {
      ++FUnder;
    } else if (t >= bins) {
      ++FOver;
    } else {
      ++FInvalid;
    }
  }
  FTotal += counted;
  Touch();
}

void THistogram::Clear() {
  std::fill(FCounts.begin(), FCounts.end(), 0);
  FUnder = FOver = FInvalid = FTotal = 0;
  Touch();
}

void THistogram::SetLineWidth(int32_t Value) {
  FLineWidth = std::clamp(Value, 1, 255);
  Touch();
}

void THistogram::Draw(TPlotContext& Context) const {
  if (!Shown(Context.Chart)) return;
  const TCustomKelvo& chart = Context.Chart;
  TDrawItem it{};
  it.Color = FColor;
  it.FillColor = FAreaColor == clNone ? FColor : FAreaColor;
  it.PenStyle = FPenStyle;
  it.LineWidth = FLineWidth;
  it.ItemClass = ItemClass();
  it.Layer = Layer();
  // The bins that reach into the view (all of them on a logarithmic axis).
  int64_t first = 0, last = BinCount() - 1;
  if (!chart.Mapping(Layer()).LogX) {
    const TScaleProps& sx = chart.ScalePropsX(Layer());
    const double lo = std::min(sx.RangeLow(), sx.RangeHigh()),
                 hi = std::max(sx.RangeLow(), sx.RangeHigh()), reach = hi - lo;
    const double a = std::floor((lo - reach - FLow) * FScale),
                 b = std::ceil((hi + reach - FLow) * FScale);
    first = static_cast<int64_t>(std::clamp(a, 0.0, static_cast<double>(last)));
    last = static_cast<int64_t>(std::clamp(b, 0.0, static_cast<double>(last)));
  }
  std::vector<double> cumulative;  // hnCumulative: the running shares, made once
  auto value = [&](int64_t k) {
    if (FNormalization != THistNormalization::hnCumulative) return BinValue(k);
    if (cumulative.empty()) DrawnValues(cumulative);
    return cumulative[static_cast<size_t>(k)];
  };
  Context.State.Flush();
  if (FStyle == THistStyle::hsBars) {
    it.Kind = ikRectangle;
    it.Transparent = false;
    Context.Canvas.SetBrushOpacity(FAreaOpacity);
    for (int64_t k = first; k <= last; ++k) {
      const double v = value(k);
      if (v == 0) continue;
      it.X1 = BinLow(k), it.X2 = BinLow(k + 1), it.Y1 = 0, it.Y2 = v;
      Context.DrawItem(it);
    }
    Context.Canvas.SetBrushOpacity(255);
    return;
  }
  it.Kind = ikMoveTo;
  it.X1 = first == 0 ? FLow : BinLow(first), it.Y1 = first == 0 ? 0 : value(first);
  Context.DrawItem(it);
  it.Kind = ikLineTo;
  for (int64_t k = first; k <= last; ++k) {
    const double v = value(k);
    it.X1 = BinLow(k), it.Y1 = v;
    Context.DrawItem(it);
    it.X1 = BinLow(k + 1);
    Context.DrawItem(it);
  }
  if (last == BinCount() - 1) {
    it.X1 = FHigh, it.Y1 = 0;
    Context.DrawItem(it);
  }
}

void THistogram::DrawnValues(std::vector<double>& Out) const {
  Out.resize(FCounts.size());
  const double total = static_cast<double>(FTotal), width = BinWidth();
  uint64_t below = 0;
  for (size_t k = 0; k < FCounts.size(); ++k) {
    const double c = static_cast<double>(FCounts[k]);
    below += FCounts[k];
    switch (FNormalization) {
      case THistNormalization::hnCount:
        Out[k] = c;
        break;
      case THistNormalization::hnProbability:
        Out[k] = FTotal ? c / total : 0;
        break;
      case THistNormalization::hnDensity:
        Out[k] = FTotal ? c / total / width : 0;
        break;
      case THistNormalization::hnCumulative:
        Out[k] = FTotal ? static_cast<double>(below) / total : 0;
        break;
    }
  }
}

bool THistogram::Extent(TPlotExtent& E, bool PositiveX, bool PositiveY) const {
  std::vector<double> values;
  DrawnValues(values);
  double top = 0;
  for (double v : values) top = std::max(top, v);
  E.MinX = FLow, E.MaxX = FHigh, E.MinY = 0, E.MaxY = top;
  if (PositiveX && !(E.MinX > 0)) {
    if (!(FHigh > 0)) return false;
    const double k = std::floor(-FLow * FScale) + 1;  // the lowest positive edge
    E.MinX = std::min(FLow + k * BinWidth(), FHigh);
  }
  if (PositiveY) {
    double least = 0;  // the smallest positive value
    for (double v : values)
      if (v > 0 && (least == 0 || v < least)) least = v;
    if (least == 0) return false;
    E.MinY = least;
  }
  return true;
}

bool THistogram::NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  double wx, wy;
  Chart.PixelToWorld(Layer(), X, Y, wx, wy);
  const double t = (wx - FLow) * FScale;
  if (!(t >= 0 && t < static_cast<double>(BinCount()))) return false;
  const auto k = static_cast<int64_t>(t);
  const double v = BinValue(k);
  if (!(std::min(0.0, v) <= wy && wy <= std::max(0.0, v)) || Best.Distance < 0) return false;
  Best.Point = k;
  Best.Layer = Layer();
  Best.X = (BinLow(k) + BinLow(k + 1)) / 2, Best.Y = v;
  Best.Distance = 0;
  return true;
}

void THistogram::LegendIcon(TLegendEntry& Entry) const {
  Entry.Icon = FStyle == THistStyle::hsBars ? TLegendIcon::liSwatch : TLegendIcon::liStep;
  Entry.Color = FColor;
  Entry.AreaColor = FAreaColor;
  Entry.AreaOpacity = FAreaOpacity;
  Entry.PenStyle = FPenStyle;
  Entry.LineWidth = FLineWidth;
  Entry.Symbol = -1;
}

}  // namespace vexa
