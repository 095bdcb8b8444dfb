// TCandles: the ring of candles, the merged candles of a pixel column and
// the picture.
#include "kelvo/chart/Candles.h"

#include <algorithm>
#include <cmath>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"

namespace vexa {

namespace {
std::string Named(const std::string& Name) {
  return "Candles" + (Name.empty() ? std::string() : " '" + Name + "'");
}
}  // namespace

TCandles::TCandles(std::string Name) : TPlottable(std::move(Name)) {}
TCandles::~TCandles() = default;

std::unique_ptr<TPlottable> TCandles::Clone() const { return std::make_unique<TCandles>(*this); }

void TCandles::Append(double T, double Open, double High, double Low, double Close) {
  const TCandle c{T, Open, High, Low, Close};
  if (FCount > 0 && !(T >= At(FCount - 1).T)) FSorted = false;
  if (!std::isfinite(T)) FSorted = false;
  if (FCapacity > 0 && FCount == FCapacity) {  // the oldest goes, its slot takes the newest
    Store(FFirst, c);
    FFirst = FFirst + 1 == FRing.size() ? 0 : FFirst + 1;
  } else if (FCapacity > 0) {
    if (FRing.size() < FCapacity) FRing.resize(FCapacity);
    Store(SlotOf(FCount), c);
    ++FCount;
  } else {
    FRing.push_back(c);
    Store(FRing.size() - 1, c);
    ++FCount;
  }
  Touch();
}

void TCandles::Append(const double* T, const double* Open, const double* High, const double* Low,
                      const double* Close, size_t N) {
  if (N == 0) return;
  if (!T || !Open || !High || !Low || !Close)
    throw EVexaKelvoError(Named(Name()) + ": Append needs five arrays");
  for (size_t i = 0; i < N; ++i) Append(T[i], Open[i], High[i], Low[i], Close[i]);
}

void TCandles::Store(size_t Slot, const TCandle& C) {
  FRing[Slot] = C;
  const size_t b = Slot >> BlockShift;
  if (b >= FBlockDirty.size()) {
    FBlockDirty.resize(b + 1, 1);
    FBlockHigh.resize(b + 1), FBlockLow.resize(b + 1), FBlockSpacing.resize(b + 1);
  }
  FBlockDirty[b] = 1;
}

void TCandles::Extremes(size_t From, size_t To, double& High, double& Low, double* Spacing) const {
  High = Low = std::nan("");
  double spacing = HUGE_VAL, last = std::nan("");  // the T before the next slot read
  auto take = [&](double H, double L) {
    if (std::isnan(High) || H > High) High = H;
    if (std::isnan(Low) || L < Low) Low = L;
  };
  auto next = [&](double T) {
    const double d = T - last;
    if (d > 0 && d < spacing) spacing = d;
    last = T;
  };
  auto segment = [&](size_t A, size_t B) {  // slots A .. B - 1
    constexpr size_t Block = size_t{1} << BlockShift;
    for (; A < B && (A & (Block - 1)) != 0; ++A)
      take(FRing[A].High, FRing[A].Low), next(FRing[A].T);
    for (; A + Block <= B; A += Block) {
      const size_t b = A >> BlockShift;
      if (FBlockDirty[b]) {
        double h = std::nan(""), l = std::nan(""), g = HUGE_VAL;
        for (size_t s = A; s < A + Block; ++s) {
          if (std::isnan(h) || FRing[s].High > h) h = FRing[s].High;
          if (std::isnan(l) || FRing[s].Low < l) l = FRing[s].Low;
          const double d = s > A ? FRing[s].T - FRing[s - 1].T : 0;
          if (d > 0 && d < g) g = d;
        }
        FBlockHigh[b] = h, FBlockLow[b] = l, FBlockSpacing[b] = g, FBlockDirty[b] = 0;
      }
      take(FBlockHigh[b], FBlockLow[b]);
      next(FRing[A].T);
      spacing = std::min(spacing, FBlockSpacing[b]);
      last = FRing[A + Block - 1].T;
    }
    for (; A < B; ++A) take(FRing[A].High, FRing[A].Low), next(FRing[A].T);
  };
  if (From < To) {
    const size_t a = SlotOf(From), end = SlotOf(To - 1);
    if (a <= end) {
      segment(a, end + 1);
    } else {  // across the ring's end
      segment(a, FRing.size());
      segment(0, end + 1);
    }
  }
  if (Spacing) *Spacing = spacing;
}

void TCandles::Clear() {
  FRing.clear();
  FBlockHigh.clear(), FBlockLow.clear(), FBlockSpacing.clear(), FBlockDirty.clear();
  FFirst = FCount = 0;
  FSorted = true;
  Touch();
}

const TCandles::TCandle& TCandles::Candle(size_t I) const {
  if (I >= FCount)
    throw EVexaKelvoError(Named(Name()) + ": candle " + std::to_string(I) +
                          " does not exist: it holds " + std::to_string(FCount));
  return At(I);
}

void TCandles::SetCapacity(size_t Value) {
  std::vector<TCandle> kept;
  const size_t keep = Value > 0 ? std::min(Value, FCount) : FCount;
  kept.reserve(Value > 0 ? Value : keep);
  for (size_t i = FCount - keep; i < FCount; ++i) kept.push_back(At(i));
  if (Value > 0) kept.resize(Value);
  FRing.swap(kept);
  FFirst = 0, FCount = keep, FCapacity = Value;
  const size_t blocks = (FRing.size() >> BlockShift) + 1;
  FBlockDirty.assign(blocks, 1);
  FBlockHigh.assign(blocks, 0), FBlockLow.assign(blocks, 0), FBlockSpacing.assign(blocks, 0);
  Touch();
}

void TCandles::SetCandleWidth(double Value) {
  if (!std::isfinite(Value) || Value < 0)
    throw EVexaKelvoError(Named(Name()) + ": CandleWidth must be finite and not negative");
  FCandleWidth = Value;
  Touch();
}

void TCandles::SetLineWidth(int32_t Value) {
  FLineWidth = std::clamp(Value, 1, 255);
  Touch();
}

void TCandles::InView(double Low, double High, size_t& From, size_t& To) const {
  From = 0, To = FCount;
  if (!FSorted || FCount == 0) return;
  auto firstFrom = [&](double V) {  // the first candle with T >= V
    size_t a = 0, b = FCount;
    while (a < b) {
      const size_t m = a + (b - a) / 2;
      if (At(m).T < V)
        a = m + 1;
      else
        b = m;
    }
    return a;
  };
  From = firstFrom(Low);
  To = std::max(From, firstFrom(std::nextafter(High, HUGE_VAL)));
}

double TCandles::WidthIn(double Low, double High) const {
  if (FCandleWidth > 0) return FCandleWidth;
  size_t from, to;
  InView(Low, High, from, to);
  if (FSorted) {  // the candles in Low .. High, adjacent in the ring
    double high, low, spacing;
    Extremes(from, to, high, low, &spacing);
    return std::isfinite(spacing) ? 0.8 * spacing : 1.0;
  }
  std::vector<double> ts;
  for (size_t i = from; i < to; ++i) {
    const double t = At(i).T;
    if (std::isfinite(t) && t >= Low && t <= High) ts.push_back(t);
  }
  if (!FSorted) std::sort(ts.begin(), ts.end());
  double spacing = HUGE_VAL;
  for (size_t k = 1; k < ts.size(); ++k)
    if (ts[k] > ts[k - 1]) spacing = std::min(spacing, ts[k] - ts[k - 1]);
  return std::isfinite(spacing) ? 0.8 * spacing : 1.0;
}

void TCandles::DrawCandle(TPlotContext& Context, TDrawItem& It, const TCandle& C, double W) const {
  const TColor colour = C.Close >= C.Open ? FUpColor : FDownColor;
  It.Color = colour, It.FillColor = colour;
  auto item = [&](uint8_t Kind, double X1, double Y1, double X2, double Y2) {
    It.Kind = Kind, It.X1 = X1, It.Y1 = Y1, It.X2 = X2, It.Y2 = Y2;
    Context.DrawItem(It);
  };
  item(ikLine, C.T, C.Low, C.T, C.High);
  if (FStyle == TCandleStyle::csCandles) {
    item(ikRectangle, C.T - W / 2, C.Open, C.T + W / 2, C.Close);
  } else {
    item(ikLine, C.T - W / 2, C.Open, C.T, C.Open);
    item(ikLine, C.T, C.Close, C.T + W / 2, C.Close);
  }
}

void TCandles::Draw(TPlotContext& Context) const {
  if (FCount == 0 || !Shown(Context.Chart)) return;
  const TCustomKelvo& chart = Context.Chart;
  const TScaleProps& sx = chart.ScalePropsX(Layer());
  const double lo = std::min(sx.RangeLow(), sx.RangeHigh()),
               hi = std::max(sx.RangeLow(), sx.RangeHigh());
  const double w = WidthIn(lo, hi);
  // Candles beyond the view by more than its width and a candle's cannot
  // reach into it (on a logarithmic axis every candle is read).
  const TLayerMapping& m = chart.DeviceMapping(Layer());
  size_t from = 0, to = FCount;
  if (!m.LogX) InView(lo - (hi - lo) - w, hi + (hi - lo) + w, from, to);
  TDrawItem it{};
  it.PenStyle = TPenStyle::psSolid;
  it.LineWidth = FLineWidth;
  it.ItemClass = ItemClass();
  it.Layer = Layer();
  it.Transparent = false;
  Context.State.Flush();
  auto columnOf = [&](const TCandle& c) {
    return std::isfinite(c.T) ? int64_t{render::ClipCoord(m.PixelX(c.T))} : INT64_MIN;
  };
  // Consecutive candles in one device column, merged.
  if (FSorted) {
    // Sorted: each column's candles are found by a galloping search, and
    // their extremes from the block summaries.
    for (size_t i = from; i < to;) {
      const int64_t x = columnOf(At(i));
      size_t step = 1, a = i + 1, b = i + 1;  // the column ends in [a, b]
      while (b < to && columnOf(At(b)) == x) a = b + 1, b = std::min(to, b + (step *= 2));
      b = std::min(b, to);
      while (a < b) {
        const size_t mid = a + (b - a) / 2;
        if (columnOf(At(mid)) == x)
          a = mid + 1;
        else
          b = mid;
      }
      TCandle merged = At(i);
      if (a - i > 1) {
        merged.Close = At(a - 1).Close;
        Extremes(i, a, merged.High, merged.Low);
      }
      DrawCandle(Context, it, merged, w);
      i = a;
    }
    return;
  }
  TCandle merged{};
  int64_t column = 0;
  bool open = false;
  for (size_t i = from; i < to; ++i) {
    const TCandle& c = At(i);
    const int64_t x = columnOf(c);
    if (open && x == column && x != INT64_MIN) {
      merged.Close = c.Close;
      merged.High = std::isnan(merged.High) || c.High > merged.High ? c.High : merged.High;
      merged.Low = std::isnan(merged.Low) || c.Low < merged.Low ? c.Low : merged.Low;
      continue;
    }
    if (open) DrawCandle(Context, it, merged, w);
    merged = c, column = x, open = true;
  }
  if (open) DrawCandle(Context, it, merged, w);
}

bool TCandles::Extent(TPlotExtent& E, bool PositiveX, bool PositiveY) const {
  bool any = false;
  double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
  for (size_t i = 0; i < FCount; ++i) {
    const TCandle& c = At(i);
    if (!std::isfinite(c.T) || (PositiveX && !(c.T > 0))) continue;
    for (double v : {c.Open, c.High, c.Low, c.Close}) {
      if (!std::isfinite(v) || (PositiveY && !(v > 0))) continue;
      x0 = std::min(x0, c.T), x1 = std::max(x1, c.T);
      y0 = std::min(y0, v), y1 = std::max(y1, v);
      any = true;
    }
  }
  if (!any) return false;
  E.MinX = x0, E.MaxX = x1, E.MinY = y0, E.MaxY = y1;
  return true;
}

bool TCandles::NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  double wx, wy;
  Chart.PixelToWorld(Layer(), X, Y, wx, wy);
  double reach, dummy;
  const double pixels = std::ceil(std::clamp(Best.Distance, 0.0, 1e6)) + 1;
  Chart.PixelToWorld(Layer(), double(X) + pixels, double(Y), reach, dummy);
  const double d = std::fabs(reach - wx);
  size_t from, to;
  InView(wx - d, wx + d, from, to);
  bool found = false;
  for (size_t i = from; i < to; ++i) {
    const TCandle& c = At(i);
    if (!std::isfinite(c.T)) continue;
    const double lowest = std::fmin(c.Low, std::fmin(c.Open, c.Close)),
                 highest = std::fmax(c.High, std::fmax(c.Open, c.Close));
    int32_t ax, ay, bx, by;
    Chart.WorldToPixel(Layer(), c.T, lowest, ax, ay);
    Chart.WorldToPixel(Layer(), c.T, highest, bx, by);
    const double dx = std::fabs(double(ax) - X);
    const double dy = std::max({0.0, double(std::min(ay, by)) - Y, double(Y) - std::max(ay, by)});
    const double dist = std::hypot(dx, dy);
    if (dist > Best.Distance) continue;
    Best.Point = static_cast<int64_t>(i);
    Best.Layer = Layer();
    Best.X = c.T, Best.Y = c.Close;
    Best.Distance = dist;
    found = true;
  }
  return found;
}

void TCandles::LegendIcon(TLegendEntry& Entry) const {
  Entry.Icon = TLegendIcon::liSwatch;
  Entry.Color = FUpColor;
  Entry.AreaColor = FUpColor;
  Entry.LineWidth = FLineWidth;
  Entry.Symbol = -1;
}

}  // namespace vexa
