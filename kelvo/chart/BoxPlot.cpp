// TBoxPlot: boxes from samples or figures, and their picture.
#include "kelvo/chart/BoxPlot.h"

#include <algorithm>
#include <cmath>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"

namespace vexa {

namespace {
std::string Named(const std::string& Name) {
  return "Box plot" + (Name.empty() ? std::string() : " '" + Name + "'");
}
constexpr uint8_t MeanSymbol = 13;
}  // namespace

TBoxPlot::TBoxPlot(std::string Name) : TPlottable(std::move(Name)) {}
TBoxPlot::~TBoxPlot() = default;

std::unique_ptr<TPlottable> TBoxPlot::Clone() const { return std::make_unique<TBoxPlot>(*this); }

void TBoxPlot::AddBox(double Position, const double* Sample, size_t N) {
  if (!std::isfinite(Position))
    throw EVexaKelvoError(Named(Name()) + ": a box's position must be finite");
  if (N > 0 && !Sample) throw EVexaKelvoError(Named(Name()) + ": AddBox needs values");
  FBoxes.push_back({Position, BoxStatsOf(Sample, N, FWhiskerRange)});
  Touch();
}

void TBoxPlot::AddBoxStats(double Position, double Low, double Q1, double Median, double Q3,
                           double High) {
  const double v[] = {Position, Low, Q1, Median, Q3, High};
  if (!std::all_of(std::begin(v), std::end(v), [](double x) { return std::isfinite(x); }))
    throw EVexaKelvoError(Named(Name()) + ": a box's figures must be finite");
  if (!(Low <= Q1 && Q1 <= Median && Median <= Q3 && Q3 <= High))
    throw EVexaKelvoError(Named(Name()) +
                          ": a box's figures must be in order: Low <= Q1 <= Median <= Q3 <= High");
  TBoxStats s;
  s.Low = Low, s.Q1 = Q1, s.Median = Median, s.Q3 = Q3, s.High = High;
  s.Mean = Median, s.Count = 1;
  FBoxes.push_back({Position, std::move(s)});
  Touch();
}

void TBoxPlot::CheckBox(size_t K) const {
  if (K >= FBoxes.size())
    throw EVexaKelvoError(Named(Name()) + ": box " + std::to_string(K) +
                          " does not exist: it has " + std::to_string(FBoxes.size()));
}

const TBoxStats& TBoxPlot::Box(size_t K) const {
  CheckBox(K);
  return FBoxes[K].Stats;
}

double TBoxPlot::BoxPosition(size_t K) const {
  CheckBox(K);
  return FBoxes[K].Position;
}

void TBoxPlot::SetWhiskerRange(double Value) {
  if (!std::isfinite(Value) || Value < 0)
    throw EVexaKelvoError(Named(Name()) + ": WhiskerRange must be finite and not negative");
  FWhiskerRange = Value;
  Touch();
}

void TBoxPlot::SetBoxWidth(double Value) {
  if (!std::isfinite(Value) || !(Value > 0))
    throw EVexaKelvoError(Named(Name()) + ": BoxWidth must be finite and above 0");
  FBoxWidth = Value;
  Touch();
}

void TBoxPlot::SetLineWidth(int32_t Value) {
  FLineWidth = std::clamp(Value, 1, 255);
  Touch();
}

void TBoxPlot::Draw(TPlotContext& Context) const {
  if (!Shown(Context.Chart) || FBoxes.empty()) return;
  TDrawItem it{};
  it.Color = FColor;
  it.FillColor = FAreaColor == clNone ? FFillColor : FAreaColor;
  it.PenStyle = TPenStyle::psSolid;
  it.LineWidth = FLineWidth;
  it.ItemClass = ItemClass();
  it.Layer = Layer();
  auto item = [&](uint8_t Kind, double X1, double Y1, double X2, double Y2) {
    it.Kind = Kind, it.X1 = X1, it.Y1 = Y1, it.X2 = X2, it.Y2 = Y2;
    Context.DrawItem(it);
  };
  Context.State.Flush();
  const double half = FBoxWidth / 2, cap = FBoxWidth / 4;
  for (const TBox& b : FBoxes) {
    const TBoxStats& s = b.Stats;
    if (s.Count == 0) continue;
    const double p = b.Position;
    it.Transparent = FAreaColor == clNone;
    it.FillColor = FAreaColor == clNone ? FFillColor : FAreaColor;
    Context.Canvas.SetBrushOpacity(FAreaOpacity);
    item(ikRectangle, p - half, s.Q1, p + half, s.Q3);
    Context.State.Flush();
    Context.Canvas.SetBrushOpacity(255);
    item(ikLine, p - half, s.Median, p + half, s.Median);
    item(ikLine, p, s.Q3, p, s.High);
    item(ikLine, p, s.Q1, p, s.Low);
    item(ikLine, p - cap, s.High, p + cap, s.High);
    item(ikLine, p - cap, s.Low, p + cap, s.Low);
    it.FillColor = FFillColor;
    it.Symbol = FOutlierSymbol;
    for (double v : s.Outliers) item(ikMark, p, v, 0, 0);
    if (FMeanVisible) {
      it.Symbol = MeanSymbol;
      item(ikMark, p, s.Mean, 0, 0);
    }
  }
}

bool TBoxPlot::Extent(TPlotExtent& E, bool PositiveX, bool PositiveY) const {
  bool any = false;
  double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
  auto take = [&](double x, double y) {
    if ((PositiveX && !(x > 0)) || (PositiveY && !(y > 0))) return;
    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    any = true;
  };
  for (const TBox& b : FBoxes) {
    if (b.Stats.Count == 0) continue;
    for (double x : {b.Position - FBoxWidth / 2, b.Position + FBoxWidth / 2}) {
      take(x, b.Stats.Low), take(x, b.Stats.High);
      for (double v : b.Stats.Outliers) take(x, v);
    }
  }
  if (!any) return false;
  E.MinX = x0, E.MaxX = x1, E.MinY = y0, E.MaxY = y1;
  return true;
}

bool TBoxPlot::NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  bool found = false;
  int32_t ax, ay, bx, by;
  for (size_t k = 0; k < FBoxes.size(); ++k) {
    const TBox& b = FBoxes[k];
    if (b.Stats.Count == 0) continue;
    double low = b.Stats.Low, high = b.Stats.High;
    for (double v : b.Stats.Outliers) low = std::min(low, v), high = std::max(high, v);
    Chart.WorldToPixel(Layer(), b.Position - FBoxWidth / 2, low, ax, ay);
    Chart.WorldToPixel(Layer(), b.Position + FBoxWidth / 2, high, bx, by);
    // The distance to the box's column from its lowest to its highest value.
    const double dx = std::max({0.0, double(std::min(ax, bx)) - X, double(X) - std::max(ax, bx)});
    const double dy = std::max({0.0, double(std::min(ay, by)) - Y, double(Y) - std::max(ay, by)});
    const double d = std::hypot(dx, dy);
    if (d > Best.Distance) continue;
    Best.Point = static_cast<int64_t>(k);
    Best.Layer = Layer();
    Best.X = b.Position, Best.Y = b.Stats.Median;
    Best.Distance = d;
    found = true;
  }
  return found;
}

void TBoxPlot::LegendIcon(TLegendEntry& Entry) const {
  Entry.Icon = TLegendIcon::liSwatch;
  Entry.Color = FColor;
  Entry.AreaColor = FAreaColor == clNone ? FFillColor : FAreaColor;
  Entry.AreaOpacity = FAreaOpacity;
  Entry.LineWidth = FLineWidth;
  Entry.Symbol = -1;
}

}  // namespace vexa
