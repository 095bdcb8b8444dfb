// A series' shapes other than straight lines: steps, stems and bars. Each
// is the picture of its equivalent display-list items, drawn through the
// item drawer: a step's extra vertices as DrawTo items, a stem as a MoveTo
// at the baseline and a DrawTo to its point, a bar as a filled box item
// (translucent fills blend the box's inside, as the canvas' brush opacity
// does). For sorted runs only the points in view are read; the pieces
// between points left out lie wholly beside the bitmap.
#include <algorithm>
#include <cmath>
#include <vector>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/SeriesView.h"
#include "kelvo/platform/Errors.h"

namespace vexa {

namespace {

// The points a shape draws: for sorted runs with a solid pen, those in view
// (RangesInView); otherwise all of them (a dashed pen needs every piece
// for its pattern's phase).
std::vector<TPointRange> PointsToDraw(const TSeries& S, TPlotContext& Context, bool Ordered) {
  const uint64_t n = S.Count();
  std::vector<TPointRange> ranges;
  const bool solid = Context.Shortcuts && Ordered && S.PenStyle() == TPenStyle::psSolid;
  const int32_t reach = Context.Chart.DevLen(S.LineWidth()) + 1;
  if (!solid || !RangesInView(TSeriesView(S), Context.Chart.DeviceMapping(S.Layer()), Context.Left,
                              Context.Top, Context.Canvas.Surface().Width, reach, ranges))
    ranges.assign(1, TPointRange{0, n - 1, false});
  return ranges;
}

}  // namespace

void TSeries::SetBaseline(double Value) {
  if (!std::isfinite(Value)) throw EVexaKelvoError("A series' Baseline must be finite");
  FBaseline = Value;
  Touch();
}

void TSeries::SetBarWidth(double Value) {
  if (!std::isfinite(Value)) throw EVexaKelvoError("A series' BarWidth must be finite");
  FBarWidth = Value;
  Touch();
}

void TSeries::SetBarOffset(double Value) {
  if (!std::isfinite(Value)) throw EVexaKelvoError("A series' BarOffset must be finite");
  FBarOffset = Value;
  Touch();
}

double TSeries::BarWidthIn(double Low, double High) const {
  if (FBarWidth > 0) return FBarWidth;
  // The smallest spacing of adjacent x among the finite points in Low..High.
  std::vector<double> xs;
  for (uint64_t i = 0; i < FCount; ++i) {
    const double x = XAt(i);
    if (std::isfinite(x) && std::isfinite(YAt(i)) && x >= Low && x <= High) xs.push_back(x);
  }
  if (!Sorted()) std::sort(xs.begin(), xs.end());
  double spacing = HUGE_VAL;
  for (size_t k = 1; k < xs.size(); ++k)
    if (xs[k] > xs[k - 1]) spacing = std::min(spacing, xs[k] - xs[k - 1]);
  return std::isfinite(spacing) ? 0.8 * spacing : 1.0;
}

// Steps and stems: their vertices as MoveTo and DrawTo items.
void TSeries::DrawShape(TPlotContext& Context, TDrawItem& it, bool Ordered) const {
  auto emit = [&](uint8_t Kind, double X, double Y) {
    it.Kind = Kind;
    it.X1 = X;
    it.Y1 = Y;
    Context.DrawItem(it);
  };
  const std::vector<TPointRange> ranges = PointsToDraw(*this, Context, Ordered);
  if (FShape == TSeriesShape::shStems) {
    for (const TPointRange& r : ranges) {
      for (uint64_t i = r.From; i <= r.To; ++i) {
        emit(ikMoveTo, XAt(i), FBaseline);
        emit(ikLineTo, XAt(i), YAt(i));
      }
    }
    return;
  }
  bool first = true;
  double px = 0, py = 0;
  for (const TPointRange& r : ranges) {
    for (uint64_t i = r.From; i <= r.To; ++i) {
      const double x = XAt(i), y = YAt(i);
      if (first) {
        emit(ikMoveTo, x, y);
        first = false;
      } else {
        StepVertices(px, py, x, y, [&](double vx, double vy) { emit(ikLineTo, vx, vy); });
        emit(ikLineTo, x, y);
      }
      px = x, py = y;
    }
  }
}

// Bars: a filled box item from the baseline to each point.
void TSeries::DrawBars(TPlotContext& Context, TDrawItem& it) const {
  const TCustomKelvo& chart = Context.Chart;
  const TScaleProps& sx = chart.ScalePropsX(Layer());
  const double lo = std::min(sx.RangeLow(), sx.RangeHigh()),
               hi = std::max(sx.RangeLow(), sx.RangeHigh());
  const double width = BarWidthIn(lo, hi), half = width / 2;
  // A bar shows only when its box comes near the range: its point lies
  // within half a width and the offset of it, widened by the view's width
  // for the pixel its edge may round into. On a logarithmic axis every bar
  // is drawn.
  const bool cull = !chart.Mapping(Layer()).LogX;
  const double reach = half + std::fabs(FBarOffset) + (hi - lo);
  it.Kind = ikRectangle;
  it.FillColor = FAreaColor == clNone ? FColor : FAreaColor;
  it.Transparent = false;
  Context.State.Flush();
  Context.Canvas.SetBrushOpacity(static_cast<uint8_t>(FAreaOpacity));
  auto bar = [&](uint64_t i) {
    const double x = XAt(i);
    if (cull && !(x >= lo - reach && x <= hi + reach)) return;
    it.X1 = x - half + FBarOffset;
    it.X2 = x + half + FBarOffset;
    it.Y1 = FBaseline;
    it.Y2 = YAt(i);
    Context.DrawItem(it);
  };
  const bool known = cull && ForEachRun([&](uint64_t F, uint64_t E) {
    const uint64_t from = LowerBoundX(lo - reach, F, E);
    for (uint64_t i = from; i < E && XAt(i) <= hi + reach; ++i) bar(i);
  });
  if (!known)
    for (uint64_t i = 0; i < FCount; ++i) bar(i);
  Context.Canvas.SetBrushOpacity(255);
}

}  // namespace vexa
