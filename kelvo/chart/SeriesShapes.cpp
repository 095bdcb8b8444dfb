// A series' shapes beyond the straight line and what goes with them:
// steps, stems and bars, each the picture of its equivalent display-list
// items (a step's extra vertices as DrawTo items, a stem as a MoveTo at the
// baseline and a DrawTo to its point, a bar as a filled box item); areas
// and bands by the canvas' polygon rule, for sorted data a pixel column at
// a time; stacking and the partners a series names; the nearest hit on the
// drawn pieces. Steps after and before their points go by pixel columns
// with the straight line (SeriesPlottable.cpp). For sorted runs only the
// points in view are read; the pieces between points left out lie wholly
// beside the bitmap.
#include <algorithm>
#include <cmath>
#include <vector>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/chart/SeriesView.h"
#include "kelvo/platform/Errors.h"

using vexa::render::MapToBitmap;

namespace vexa {

namespace {

// The points a shape draws: for sorted runs with a solid pen, those in view
// (RangesInView); otherwise all of them (a dashed pen needs every piece
// for its pattern's phase).
std::vector<TPointRange> PointsToDraw(const TSeries& S, TPlotContext& Context, bool Ordered) {
  const uint64_t n = S.Count();
  std::vector<TPointRange> ranges;
  const bool solid = Context.Shortcuts && Ordered && S.PenStyle() == TPenStyle::psSolid;
  const int32_t reach = Context.Canvas.Len(S.LineWidth()) + 1;
  if (!solid || !RangesInView(TSeriesView(S), Context.Chart.DeviceMapping(S.Layer()), Context.Left,
                              Context.Top, Context.Canvas.Bitmap().Width(), reach, ranges))
    ranges.assign(1, TPointRange{0, n - 1, false});
  return ranges;
}

}  // namespace

// --- partners ---

const TSeries* TSeries::SeriesAt(int64_t Index) const {
  const TPlottableList* list = OwnerList();
  if (!list || Index < 0) return nullptr;
  for (const auto& p : *list) {
    const auto* s = dynamic_cast<const TSeries*>(p.get());
    if (s && Index-- == 0) return s;
  }
  return nullptr;
}

std::string TSeries::PartnerProblem(const char* What, int64_t Index, bool Chain) const {
  const std::string who = "Series '" + Name() + "': " + What + " " + std::to_string(Index);
  if (Index == -1) return "";
  if (Index < -1) return who + " is not a series' index (-1 names none)";
  const TSeries* s = SeriesAt(Index);
  if (!OwnerList()) return "";  // in no chart yet: checked when drawn
  if (!s) return who + " names no series of its chart";
  if (s == this) return who + " names the series itself";
  if (Chain) {
    size_t steps = OwnerList()->size();
    for (const TSeries* t = s; t && t->FStackedOn >= 0; t = t->SeriesAt(t->FStackedOn)) {
      if (t->SeriesAt(t->FStackedOn) == this || steps-- == 0)
        return who + " makes a loop of stacked series";
    }
  }
  return "";
}

void TSeries::SetAreaPartner(int64_t Value) {
  const std::string problem = PartnerProblem("AreaPartner", Value, false);
  if (!problem.empty()) throw EVexaKelvoError(problem);
  FAreaPartner = Value;
  Touch();
}

void TSeries::SetStackedOn(int64_t Value) {
  const std::string problem = PartnerProblem("StackedOn", Value, true);
  if (!problem.empty()) throw EVexaKelvoError(problem);
  FStackedOn = Value;
  Touch();
}

bool TSeries::DrawnValues(std::vector<double>& Y, std::string& Problem, std::vector<double>* Below,
                          int Depth) const {
  if (FStackedOn < 0) {
    Y.resize(FCount);
    for (uint64_t i = 0; i < FCount; ++i) Y[i] = YAt(i);
    return true;
  }
  Problem = PartnerProblem("StackedOn", FStackedOn, true);
  const TSeries* below = SeriesAt(FStackedOn);
  if (Problem.empty() && !below) Problem = "Series '" + Name() + "': StackedOn names no series";
  if (!Problem.empty()) return false;
  if (below->FCount != FCount || Depth > 64) {
    Problem = "Series '" + Name() + "' is stacked on '" + below->Name() +
              "', which does not hold the same x";
    return false;
  }
  for (uint64_t i = 0; i < FCount; ++i) {
    const double a = XAt(i), b = below->XAt(i);
    if (!(a == b || (std::isnan(a) && std::isnan(b)))) {
      Problem = "Series '" + Name() + "' is stacked on '" + below->Name() +
                "', which does not hold the same x";
      return false;
    }
  }
  if (!below->DrawnValues(Y, Problem, nullptr, Depth + 1)) return false;
  if (Below) *Below = Y;
  for (uint64_t i = 0; i < FCount; ++i) Y[i] += YAt(i);
  return true;
}

std::unique_ptr<TSeries> TSeries::Holding(const std::vector<double>& Y) const {
  auto s = std::make_unique<TSeries>(Name());
  s->SetLayer(Layer());
  s->SetItemClass(ItemClass());
  s->FColor = FColor, s->FFillColor = FFillColor, s->FPenStyle = FPenStyle;
  s->FLineWidth = FLineWidth, s->FLineVisible = FLineVisible, s->FSymbol = FSymbol;
  s->FShape = FShape, s->FBaseline = FBaseline, s->FBarWidth = FBarWidth;
  s->FBarOffset = FBarOffset, s->FAreaColor = FAreaColor, s->FAreaOpacity = FAreaOpacity;
  if (FSpaced) {
    s->SetXSpacing(SpacedX(FX0, FDX, FDropped), FDX);
    s->Append(Y.data(), Y.size());
  } else {
    std::vector<double> x(FCount);
    for (uint64_t i = 0; i < FCount; ++i) x[i] = XAt(i);
    s->Append(x.data(), Y.data(), Y.size());
  }
  return s;
}

bool TSeries::Ordered(const TLayerMapping& m) const {
  double minX = 1, maxX, minY = 1, maxY;
  return (!m.LogX && !m.LogY) || !Bounds(minX, maxX, minY, maxY) ||
         ((!m.LogX || minX > 1e-99) && (!m.LogY || minY > 1e-99));
}

// --- drawing: the area, then the shape, then the marks ---

void TSeries::Draw(TPlotContext& Context) const {
  if (FCount == 0 || !Shown(Context.Chart)) return;
  std::string problem;
  std::vector<double> top, below, band;
  const TSeries* partner = nullptr;
  if (FAreaFill == TAreaFill::afToSeries && FLineVisible) {
    problem = PartnerProblem("AreaPartner", FAreaPartner, false);
    partner = SeriesAt(FAreaPartner);
    if (problem.empty() && !partner)
      problem = "Series '" + Name() + "': AreaPartner names no series";
    if (problem.empty()) partner->DrawnValues(band, problem);
  }
  if (problem.empty() && FStackedOn >= 0) DrawnValues(top, problem, &below);
  if (!problem.empty()) {
    if (Context.Problem.empty()) Context.Problem = problem;
    return;
  }
  const std::unique_ptr<TSeries> stacked = FStackedOn >= 0 ? Holding(top) : nullptr;
  const TSeries& shown = stacked ? *stacked : *this;
  if (FLineVisible) {
    if (FAreaFill == TAreaFill::afToSeries)
      shown.DrawArea(Context, partner, &band);
    else if (FAreaFill == TAreaFill::afToBaseline)
      shown.DrawArea(Context, stacked ? SeriesAt(FStackedOn) : nullptr, stacked ? &below : nullptr);
  }
  shown.DrawOwn(Context, stacked ? &below : nullptr);
}

namespace {

// The vertices of a path through points (X(k), Y(k)), k = 0 .. N - 1,
// joined as Shape joins them (stems and bars as straight lines).
template <class FX, class FY>
void PathVertices(const TSeries& S, size_t N, FX&& X, FY&& Y,
                  std::vector<std::pair<double, double>>& Out) {
  const bool steps = S.Shape() == TSeriesShape::shStepPre ||
                     S.Shape() == TSeriesShape::shStepPost || S.Shape() == TSeriesShape::shStepMid;
  for (size_t k = 0; k < N; ++k) {
    if (k > 0 && steps)
      S.StepVertices(X(k - 1), Y(k - 1), X(k), Y(k),
                     [&](double vx, double vy) { Out.emplace_back(vx, vy); });
    Out.emplace_back(X(k), Y(k));
  }
}

// A series' path as a sequence of vertices on the data bitmap, for a series
// whose pixel x does not go back along its points: point k and the extra
// vertices of the step after it (Shape's), its values from Y (null: its own).
class TColumnPath {
 public:
  TColumnPath(const TSeries& S, const double* Y, const TLayerMapping& M, int32_t Left, int32_t Top)
      : s(S), y(Y), m(M), left(Left), top(Top) {
    per = S.Shape() == TSeriesShape::shStepMid                                            ? 3
          : S.Shape() == TSeriesShape::shStepPre || S.Shape() == TSeriesShape::shStepPost ? 2
                                                                                          : 1;
  }
  uint64_t Count() const { return s.Count() == 0 ? 0 : (s.Count() - 1) * per + 1; }
  // The world coordinates of vertex v; false when a point it stands on is
  // not finite (the area breaks there).
  bool World(uint64_t v, double& X, double& Y) const {
    const uint64_t k = v / per, r = v % per;
    const double x0 = s.X(k), y0 = y ? y[k] : s.Y(k);
    if (r == 0) {
      X = x0, Y = y0;
      return std::isfinite(x0) && std::isfinite(y0);
    }
    const double x1 = s.X(k + 1), y1 = y ? y[k + 1] : s.Y(k + 1);
    int n = 0;
    s.StepVertices(x0, y0, x1, y1, [&](double vx, double vy) {
      if (++n == int(r)) X = vx, Y = vy;
    });
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
  }
  int64_t PixelX(uint64_t v) const {
    double x = 0, yy = 0;
    World(v, x, yy);
    return int64_t{render::ClipCoord(m.PixelX(x))} - left;
  }
  TPoint Pixel(uint64_t v) const {
    double x = 0, yy = 0;
    World(v, x, yy);
    return MapToBitmap(m, x, yy, left, top);
  }
  // Where the path's crossings of rows at or left of column X end, by the
  // polygon rule: rows from the path's start to the returned row (half
  // open) are crossed an odd number of times. False when the path does not
  // reach past X (or breaks there).
  bool EndRow(int64_t X, int64_t& Row) const {
    const uint64_t n = Count();
    const uint64_t after = TSeriesView::FirstWhere(0, n, [&](uint64_t v) { return PixelX(v) > X; });
    if (after == 0 || after == n) return false;
    double wx, wy;
    if (!World(after - 1, wx, wy) || !World(after, wx, wy)) return false;
    const TPoint a = Pixel(after - 1), b = Pixel(after);
    const int64_t dx = int64_t{b.X} - a.X, dy = int64_t{b.Y} - a.Y;  // dx > 0
    if (dy == 0) {
      Row = a.Y;
      return true;
    }
    // The crossing's row yP = a.Y + (X - a.X) dy / dx: rows up to it.
    const int64_t num = (X - a.X) * dy;
    const int64_t q = num >= 0 ? num / dx : -((-num + dx - 1) / dx);  // floor
    const bool exact = q * dx == num;
    Row = a.Y + (dy < 0 ? (exact ? q : q + 1) : q + 1);  // ceil going up, floor + 1 going down
    return true;
  }

 private:
  const TSeries& s;
  const double* y;
  const TLayerMapping& m;
  int32_t left, top;
  uint64_t per = 1;
};

}  // namespace

// The area of a series whose pixel x never goes back (sorted, x not
// reversed) filled a pixel column at a time: in column X the polygon rule
// fills the rows between where the upper and the lower path cross that
// column (the closing edges cancel out), so each column reads two vertices
// of each path by binary search, not every point.
bool TSeries::FillAreaByColumns(TPlotContext& Context, const TSeries* Lower,
                                const std::vector<double>* LowerY) const {
  const TLayerMapping& m = Context.Chart.DeviceMapping(Layer());
  if (!Context.Shortcuts || TCanvasRecorder::Active() || !Sorted() || m.KX <= 0 || !Ordered(m) ||
      (Lower && (Lower->FCount != FCount || !Lower->Sorted())))
    return false;
  for (uint64_t i = 0; Lower && i < FCount; ++i)
    if (Lower->XAt(i) != XAt(i)) return false;  // shared x
  const TColumnPath upper(*this, nullptr, m, Context.Left, Context.Top);
  const TColumnPath lower(Lower ? *Lower : *this, Lower ? LowerY->data() : nullptr, m, Context.Left,
                          Context.Top);
  const int64_t base = MapToBitmap(m, XAt(0), FBaseline, Context.Left, Context.Top).Y;
  const raster::TSurface surface = Context.Canvas.Surface();
  raster::TPaint paint{
      raster::PixelFromColor(ColorToRGB(FAreaColor == clNone ? FColor : FAreaColor)), false,
      static_cast<uint8_t>(FAreaOpacity)};
  const int64_t first = std::max<int64_t>(0, upper.PixelX(0));
  const int64_t last = std::min<int64_t>(surface.Width, upper.PixelX(upper.Count() - 1));
  for (int64_t X = first; X < last; ++X) {
    int64_t a, b;
    if (!upper.EndRow(X, a) || (Lower ? !lower.EndRow(X, b) : (b = base, false))) continue;
    raster::FillRect(surface, X, std::min(a, b), X + 1, std::max(a, b), paint);
  }
  return true;
}

void TSeries::DrawArea(TPlotContext& Context, const TSeries* Lower,
                       const std::vector<double>* LowerY) const {
  const TCustomKelvo& chart = Context.Chart;
  const TLayerMapping& m = chart.DeviceMapping(Layer());
  render::TRenderState& s = Context.State;
  TCanvas& c = Context.Canvas;
  s.Flush();
  if (FillAreaByColumns(Context, Lower, LowerY)) return;
  // Lower shares the x of this series (stacked, or a band between series
  // of the same x): the area breaks where either is not finite, and only
  // the points in view are read. Otherwise one band through the finite
  // points of both.
  bool shared = !Lower || Lower->FCount == FCount;
  for (uint64_t i = 0; shared && Lower && i < FCount; ++i) {
    const double a = XAt(i), b = Lower->XAt(i);
    shared = a == b || (std::isnan(a) && std::isnan(b));
  }
  std::vector<uint64_t> order;  // the indexes the area goes through
  if (shared) {
    std::vector<TPointRange> ranges;
    if (!(Context.Shortcuts && Ordered(m) &&
          RangesInView(TSeriesView(*this), m, Context.Left, Context.Top,
                       Context.Canvas.Bitmap().Width(), 2, ranges)))
      ranges.assign(1, TPointRange{0, FCount - 1, false});
    for (const TPointRange& r : ranges)
      for (uint64_t i = r.From; i <= r.To; ++i) order.push_back(i);
  }
  auto finite = [&](uint64_t i) {
    return std::isfinite(XAt(i)) && std::isfinite(YAt(i)) &&
           (!LowerY || std::isfinite((*LowerY)[i]));
  };
  s.SetPenStyle(TPenStyle::psClear);
  s.SetBrushColor(FAreaColor == clNone ? FColor : FAreaColor);
  c.SetBrushOpacity(static_cast<uint8_t>(FAreaOpacity));
  std::vector<std::pair<double, double>> upper, lower;
  std::vector<TPoint> polygon;
  auto fill = [&] {
    polygon.clear();
    for (const auto& [x, y] : upper)
      polygon.push_back(MapToBitmap(m, x, y, Context.Left, Context.Top));
    for (auto v = lower.rbegin(); v != lower.rend(); ++v)
      polygon.push_back(MapToBitmap(m, v->first, v->second, Context.Left, Context.Top));
    if (polygon.size() >= 3) c.Polygon(polygon);
  };
  if (shared) {
    // Each run of finite points is one polygon.
    for (size_t a = 0; a < order.size();) {
      if (!finite(order[a])) {
        ++a;
        continue;
      }
      size_t b = a;
      while (b + 1 < order.size() && finite(order[b + 1])) ++b;
      const size_t n = b - a + 1;
      upper.clear(), lower.clear();
      auto x = [&](size_t k) { return XAt(order[a + k]); };
      PathVertices(
          *this, n, x, [&](size_t k) { return YAt(order[a + k]); }, upper);
      if (Lower)
        PathVertices(
            *Lower, n, x, [&](size_t k) { return (*LowerY)[order[a + k]]; }, lower);
      else
        lower = {{x(0), FBaseline}, {x(n - 1), FBaseline}};
      fill();
      a = b + 1;
    }
  } else {
    std::vector<uint64_t> own, other;
    for (uint64_t i = 0; i < FCount; ++i)
      if (std::isfinite(XAt(i)) && std::isfinite(YAt(i))) own.push_back(i);
    for (uint64_t i = 0; i < Lower->FCount; ++i)
      if (std::isfinite(Lower->XAt(i)) && std::isfinite((*LowerY)[i])) other.push_back(i);
    upper.clear(), lower.clear();
    PathVertices(
        *this, own.size(), [&](size_t k) { return XAt(own[k]); },
        [&](size_t k) { return YAt(own[k]); }, upper);
    PathVertices(
        *Lower, other.size(), [&](size_t k) { return Lower->XAt(other[k]); },
        [&](size_t k) { return (*LowerY)[other[k]]; }, lower);
    fill();
  }
  c.SetBrushOpacity(255);
}

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

// Bars: a filled box item from the baseline (or the values below) to each point.
void TSeries::DrawBars(TPlotContext& Context, TDrawItem& it,
                       const std::vector<double>* Below) const {
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
    it.Y1 = Below ? (*Below)[i] : FBaseline;
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

namespace {

// The distance from the pointer to the pieces of a step path that point I
// owns: its level run and the rise that reaches its y. Segment measures to
// the segment between two world points.
template <class FS>
double StepPieceDistance(const TSeries& S, uint64_t I, FS&& Segment) {
  auto finite = [&](uint64_t k) { return std::isfinite(S.X(k)) && std::isfinite(S.Y(k)); };
  const double x = S.X(I), y = S.Y(I);
  std::vector<std::pair<double, double>> path;
  auto vertex = [&](double vx, double vy) { path.emplace_back(vx, vy); };
  if (I > 0 && finite(I - 1)) S.StepVertices(S.X(I - 1), S.Y(I - 1), x, y, vertex);
  path.emplace_back(x, y);
  if (I + 1 < S.Count() && finite(I + 1)) S.StepVertices(x, y, S.X(I + 1), S.Y(I + 1), vertex);
  double d = HUGE_VAL;
  for (size_t k = 0; k + 1 < path.size(); ++k) {
    if (path[k].second != y && path[k + 1].second != y) continue;
    d = std::min(d, Segment(path[k].first, path[k].second, path[k + 1].first, path[k + 1].second));
  }
  return d;
}

}  // namespace

namespace {

// An area finds the point whose column holds the pointer (from halfway to
// the point before to halfway to the point after) when the pointer lies
// between the point and the area's lower edge there (the baseline, or the
// partner's value at the same x). Pixel maps a world point.
template <class FP>
bool InAreaColumn(const TSeries& S, const TSeries* Partner, uint64_t I, int32_t X, int32_t Y,
                  FP&& Pixel) {
  const double x = S.X(I), y = S.Y(I);
  double lower = S.Baseline();
  if (S.AreaFill() == TAreaFill::afToSeries) {
    if (!Partner || Partner->Count() != S.Count() || Partner->X(I) != x) return false;
    lower = Partner->Y(I);
  }
  const auto p = Pixel(x, y), q = Pixel(x, lower);
  if (!std::isfinite(lower) || Y < std::min(p.second, q.second) || Y > std::max(p.second, q.second))
    return false;
  double left = p.first, right = p.first;
  if (I > 0 && std::isfinite(S.X(I - 1))) left = (Pixel(S.X(I - 1), y).first + p.first) / 2;
  if (I + 1 < S.Count() && std::isfinite(S.X(I + 1)))
    right = (Pixel(S.X(I + 1), y).first + p.first) / 2;
  return X >= std::min(left, right) && X <= std::max(left, right);
}

}  // namespace

// The pieces a point owns: a bar, a stem, or a step's level run at its y
// and the rise to it. Candidates: the points whose x lies within reach of
// the pointer (and the width of a bar or the run to a neighbour).
bool TSeries::ShapeHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  const TLayerMapping& m = Chart.Mapping(Layer());
  auto pixel = [&](double x, double y) {
    int32_t px, py;
    m.Map(x, y, px, py);
    TCustomKelvo::ClipPixel(px, py);
    return std::pair<double, double>(px, py);
  };
  // Distance from the pointer to the segment between two pixels.
  auto toSegment = [&](std::pair<double, double> a, std::pair<double, double> b) {
    const double dx = b.first - a.first, dy = b.second - a.second;
    const double len = dx * dx + dy * dy;
    double t = len > 0 ? ((X - a.first) * dx + (Y - a.second) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.first + t * dx - X, a.second + t * dy - Y);
  };
  const TScaleProps& sx = Chart.ScalePropsX(Layer());
  const double width = FShape == TSeriesShape::shBars
                           ? BarWidthIn(std::min(sx.RangeLow(), sx.RangeHigh()),
                                        std::max(sx.RangeLow(), sx.RangeHigh()))
                           : 0;
  bool found = false;
  auto take = [&](uint64_t i, double d) {
    if (!(d <= Best.Distance)) return;
    found = true;
    Best.Point = static_cast<int64_t>(i);
    Best.Layer = Layer();
    Best.X = XAt(i);
    Best.Y = YAt(i);
    Best.Distance = d;
  };
  const TSeries* partner = FAreaFill == TAreaFill::afToSeries ? SeriesAt(FAreaPartner) : nullptr;
  auto consider = [&](uint64_t i) {
    const double x = XAt(i), y = YAt(i);
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (FAreaFill != TAreaFill::afNone && InAreaColumn(*this, partner, i, X, Y, pixel)) take(i, 0);
    switch (FShape) {
      case TSeriesShape::shBars: {
        const auto a = pixel(x - width / 2 + FBarOffset, FBaseline);
        const auto b = pixel(x + width / 2 + FBarOffset, y);
        const double l = std::min(a.first, b.first), r = std::max(a.first, b.first);
        const double t = std::min(a.second, b.second), btm = std::max(a.second, b.second);
        const double dx = std::max({0.0, l - X, X - r}), dy = std::max({0.0, t - Y, Y - btm});
        take(i, std::hypot(dx, dy));
        break;
      }
      case TSeriesShape::shStems:
        take(i, toSegment(pixel(x, FBaseline), pixel(x, y)));
        break;
      case TSeriesShape::shStraight:
        break;  // its points only
      default:  // a step: the level run at y and the rise to it
        take(i, StepPieceDistance(*this, i, [&](double ax, double ay, double bx, double by) {
               return toSegment(pixel(ax, ay), pixel(bx, by));
             }));
        break;
    }
  };
  // The window of x that may hold a hit, in world units of this layer.
  double wx0, wy0, wx1, wy1;
  Chart.PixelToWorld(Layer(), double(X) - Best.Distance - 1, double(Y), wx0, wy0);
  Chart.PixelToWorld(Layer(), double(X) + Best.Distance + 1, double(Y), wx1, wy1);
  const double reach = width / 2 + std::fabs(FBarOffset);
  double lo = std::min(wx0, wx1) - reach, hi = std::max(wx0, wx1) + reach;
  if (!std::isfinite(lo) || !std::isfinite(hi) || m.LogX) lo = -HUGE_VAL, hi = HUGE_VAL;
  const bool known = ForEachRun([&](uint64_t F, uint64_t E) {
    uint64_t from = lo == -HUGE_VAL ? F : LowerBoundX(lo, F, E);
    if (from > F) --from;  // a step reaches on to its neighbour
    for (uint64_t i = from; i < E; ++i) {
      consider(i);
      if (XAt(i) > hi) break;
    }
  });
  if (!known)
    for (uint64_t i = 0; i < FCount; ++i) consider(i);
  return found;
}

}  // namespace vexa
