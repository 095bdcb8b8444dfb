// TColorMap: the grid and its values, the colour range, and the picture.
#include "kelvo/chart/ColorMap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

std::string Named(const std::string& Name) {
  return "Colour map" + (Name.empty() ? std::string() : " '" + Name + "'");
}

// Which cells cover each pixel along one axis: N cells whose edges lie at
// pixels Edge(0) .. Edge(N), monotone. Cell k covers the pixels from the
// lower of its edges to the higher plus One - 1 (a box's rule). Low and
// High are the lowest and highest cell covering a pixel (-1: none); the
// covered pixels are First .. Last (none: First > Last).
struct TAxisCover {
  std::vector<int32_t> Low, High;
  int32_t First = 0, Last = -1;
};

template <class FEdge>
void CoverAxis(int64_t N, int32_t Size, int32_t One, FEdge Edge, TAxisCover& Out) {
  Out.Low.assign(static_cast<size_t>(std::max(Size, 0)), -1);
  Out.High.assign(Out.Low.size(), -1);
  Out.First = 0, Out.Last = -1;
  if (N <= 0 || Size <= 0) return;
  const bool rising = Edge(N) >= Edge(0);
  auto lo = [&](int64_t k) { return std::min(Edge(k), Edge(k + 1)); };
  auto hi = [&](int64_t k) { return std::max(Edge(k), Edge(k + 1)) + (One - 1); };
  // The first cell reaching into the pixels and the last one starting in
  // them (both bounds move the same way along the cells).
  auto firstWhere = [&](auto Pred) {  // the smallest k in [0, N) with Pred, or N
    int64_t a = 0, b = N;
    while (a < b) {
      const int64_t m = a + (b - a) / 2;
      if (Pred(m))
        b = m;
      else
        a = m + 1;
    }
    return a;
  };
  int64_t first, last;
  if (rising) {
    first = firstWhere([&](int64_t k) { return hi(k) >= 0; });
    last = firstWhere([&](int64_t k) { return lo(k) > Size - 1; }) - 1;
  } else {
    first = firstWhere([&](int64_t k) { return lo(k) <= Size - 1; });
    last = firstWhere([&](int64_t k) { return hi(k) < 0; }) - 1;
  }
  int64_t a = Edge(first);
  for (int64_t k = first; k <= last; ++k) {
    const int64_t b = Edge(k + 1);
    const int64_t from = std::max<int64_t>(std::min(a, b), 0);
    const int64_t to = std::min<int64_t>(std::max(a, b) + (One - 1), Size - 1);
    for (int64_t p = from; p <= to; ++p) {
      Out.High[static_cast<size_t>(p)] = static_cast<int32_t>(k);
      if (Out.Low[static_cast<size_t>(p)] < 0)
        Out.Low[static_cast<size_t>(p)] = static_cast<int32_t>(k);
    }
    a = b;
  }
  while (Out.First < Size && Out.High[static_cast<size_t>(Out.First)] < 0) ++Out.First;
  Out.Last = Size - 1;
  while (Out.Last >= Out.First && Out.High[static_cast<size_t>(Out.Last)] < 0) --Out.Last;
}

// The highest cell covering pixel P along one axis (CoverAxis' rule), or -1.
template <class FEdge>
int64_t TopCellAt(int64_t N, int32_t One, FEdge Edge, int64_t P) {
  if (N <= 0) return -1;
  const bool rising = Edge(N) >= Edge(0);
  auto lo = [&](int64_t k) { return std::min(Edge(k), Edge(k + 1)); };
  auto hi = [&](int64_t k) { return std::max(Edge(k), Edge(k + 1)) + (One - 1); };
  int64_t a = 0, b = N;  // the first k whose cell lies wholly past P
  while (a < b) {
    const int64_t m = a + (b - a) / 2;
    if (rising ? lo(m) > P : hi(m) < P)
      b = m;
    else
      a = m + 1;
  }
  const int64_t k = a - 1;
  return k >= 0 && lo(k) <= P && hi(k) >= P ? k : -1;
}

}  // namespace

// How a paint draws the map: the cells over each bitmap column and row,
// and the colour rule.
struct TColorMap::TDrawPlan {
  TAxisCover X, Y;
  const uint32_t* Table = nullptr;
  uint32_t NanPixel = 0;  // 0: none
  bool Log = false;
  double Low = 0, Scale = 0;  // level = (t - Low) * Scale, t the value or its logarithm
  uint8_t Opacity = 255;
  int32_t Left = 0, Top = 0;  // the bitmap's pixel (0, 0) on the device
  const TLayerMapping* Mapping = nullptr;

  uint32_t PixelOf(double V) const {
    if (V != V) return NanPixel;
    double t = V;
    if (Log) {
      if (!(V > 0)) return NanPixel;
      t = std::log(V);
    }
    if (!Table) return 0;  // no range: no value has a colour
    double level = Scale == 0 ? 0 : (t - Low) * Scale;
    level = level > 0 ? level : 0;  // NaN (inf - inf) to the low end
    level = level < TGradientTable::Levels - 1 ? level : TGradientTable::Levels - 1;
    return Table[static_cast<int32_t>(level + 0.5)];
  }
  void Put(uint32_t& Dst, uint32_t Pixel) const {
    if (Pixel == 0) return;
    Dst = Opacity == 255 ? Pixel : raster::BlendOver(Dst, Pixel, Opacity);
  }
};

TColorMap::TColorMap(std::string Name)
    : TPlottable(std::move(Name)),
      FStops(vexa::GradientStops(TGradient::grViridis)),
      FTable(std::make_unique<TGradientTable>()) {
  FTable->Fill(FStops);
}

TColorMap::TColorMap(const TColorMap& Other)
    : TPlottable(Other),
      FNX(Other.FNX),
      FNY(Other.FNY),
      FCapacity(Other.FCapacity),
      FStride(Other.FStride),
      FFirst(Other.FFirst),
      FCells(Other.FCells),
      FSummaries(Other.FSummaries),
      FX0(Other.FX0),
      FCellW(Other.FCellW),
      FY0(Other.FY0),
      FCellH(Other.FCellH),
      FDropped(Other.FDropped),
      FGradient(Other.FGradient),
      FStops(Other.FStops),
      FRangeLow(Other.FRangeLow),
      FRangeHigh(Other.FRangeHigh),
      FAutoRange(Other.FAutoRange),
      FLogColors(Other.FLogColors),
      FInterpolate(Other.FInterpolate),
      FNanColor(Other.FNanColor),
      FOpacity(Other.FOpacity),
      FRangeKnown(false),
      FTable(std::make_unique<TGradientTable>(*Other.FTable)) {}

TColorMap::~TColorMap() = default;

std::unique_ptr<TPlottable> TColorMap::Clone() const { return std::make_unique<TColorMap>(*this); }

// --- the grid ---

void TColorMap::SetSize(int32_t NX, int32_t NY) {
  if (NX < 1 || NY < 1)
    throw EVexaKelvoError(Named(Name()) + ": a size needs at least one cell each way, not " +
                          std::to_string(NX) + " x " + std::to_string(NY));
  const int32_t stride = std::max(NX, FCapacity);
  if (int64_t{stride} * NY > MaxCells)
    throw EVexaKelvoError(Named(Name()) + ": " + std::to_string(NX) + " x " + std::to_string(NY) +
                          " cells are more than the " + std::to_string(MaxCells) + " a map holds");
  if (FCapacity > 0 && NX > FCapacity)
    throw EVexaKelvoError(Named(Name()) + ": " + std::to_string(NX) +
                          " columns are more than its Capacity of " + std::to_string(FCapacity));
  const double x0 = ExtentX0(), x1 = ExtentX1(), y1 = ExtentY1();  // the extent stays
  std::vector<double> cells;
  std::vector<TColumnSummary> summaries;
  try {
    cells.assign(static_cast<size_t>(stride) * static_cast<size_t>(NY), NaN);
    summaries.assign(static_cast<size_t>(stride), TColumnSummary{Inf, Inf, -Inf});
  } catch (const std::exception&) {  // no memory, or more than a vector holds here
    throw EVexaKelvoError(Named(Name()) + ": no memory for " + std::to_string(NX) + " x " +
                          std::to_string(NY) + " cells");
  }
  FCells.swap(cells);
  FSummaries.swap(summaries);
  FStride = stride, FFirst = 0, FDropped = 0;
  FNX = NX, FNY = NY;
  FX0 = x0, FCellW = (x1 - x0) / NX, FCellH = (y1 - FY0) / NY;
  RangeChanged();
  Touch();
}

void TColorMap::SetExtent(double X0, double X1, double Y0, double Y1) {
  if (!std::isfinite(X0) || !std::isfinite(X1) || !std::isfinite(Y0) || !std::isfinite(Y1))
    throw EVexaKelvoError(Named(Name()) + ": the extent's ends must be finite");
  if (X0 == X1 || Y0 == Y1)
    throw EVexaKelvoError(Named(Name()) + ": the extent needs a width and a height");
  const double n = FNX > 0 ? FNX : 1, m = FNY > 0 ? FNY : 1;
  if (!std::isfinite((X1 - X0) / n) || !std::isfinite((Y1 - Y0) / m))
    throw EVexaKelvoError(Named(Name()) + ": the extent is wider than a double holds");
  FX0 = X0, FCellW = (X1 - X0) / n, FDropped = 0;
  FY0 = Y0, FCellH = (Y1 - Y0) / m;
  Touch();
}

double TColorMap::CellEdgeX(int64_t I) const {
  return FX0 + static_cast<double>(FDropped + I) * FCellW;
}

double TColorMap::CellEdgeY(int64_t J) const { return FY0 + static_cast<double>(J) * FCellH; }

void TColorMap::CheckCell(int32_t I, int32_t J) const {
  if (I < 0 || I >= FNX || J < 0 || J >= FNY)
    throw EVexaKelvoError(Named(Name()) + ": cell (" + std::to_string(I) + ", " +
                          std::to_string(J) + ") lies outside its " + std::to_string(FNX) + " x " +
                          std::to_string(FNY) + " cells");
}

double TColorMap::Value(int32_t I, int32_t J) const {
  CheckCell(I, J);
  return FCells[At(I, J)];
}

namespace {
void Take(double V, double& Min, double& MinPositive, double& Max) {
  if (!std::isfinite(V)) return;
  Min = std::min(Min, V), Max = std::max(Max, V);
  if (V > 0) MinPositive = std::min(MinPositive, V);
}
}  // namespace

void TColorMap::Summarise(size_t Slot) {
  TColumnSummary s{Inf, Inf, -Inf};
  for (size_t j = 0; j < static_cast<size_t>(FNY); ++j)
    Take(FCells[j * static_cast<size_t>(FStride) + Slot], s.Min, s.MinPositive, s.Max);
  FSummaries[Slot] = s;
}

void TColorMap::SetValue(int32_t I, int32_t J, double V) {
  CheckCell(I, J);
  double& cell = FCells[At(I, J)];
  const double old = cell;
  cell = V;
  TColumnSummary& s = FSummaries[Slot(I)];
  // A column's extreme overwritten: that column is summarised again.
  if (std::isfinite(old) && (old == s.Min || old == s.Max || old == s.MinPositive))
    Summarise(Slot(I)), RangeChanged();
  else
    Take(V, s.Min, s.MinPositive, s.Max), TakeIntoRange(s);
  Touch();
}

void TColorMap::SetValues(const double* V) {
  if (FNX == 0) throw EVexaKelvoError(Named(Name()) + ": SetValues needs a size first");
  if (!V) throw EVexaKelvoError(Named(Name()) + ": SetValues needs values");
  // Row by row: the ring's columns from FFirst on, then those before it;
  // each column's summary taken along.
  const auto nx = static_cast<size_t>(FNX), first = static_cast<size_t>(FFirst);
  const size_t head = std::min(nx, static_cast<size_t>(FStride) - first);
  for (int32_t i = 0; i < FNX; ++i) FSummaries[Slot(i)] = {Inf, Inf, -Inf};
  for (size_t j = 0; j < static_cast<size_t>(FNY); ++j) {
    const double* from = V + j * nx;
    double* row = FCells.data() + j * static_cast<size_t>(FStride);
    std::memcpy(row + first, from, head * sizeof(double));
    std::memcpy(row, from + head, (nx - head) * sizeof(double));
    auto take = [](const double* Values, size_t N, TColumnSummary* Into) {
      for (size_t k = 0; k < N; ++k) {
        const double v = Values[k];
        const bool finite = std::fabs(v) <= std::numeric_limits<double>::max();
        TColumnSummary& c = Into[k];
        c.Min = finite && v < c.Min ? v : c.Min;
        c.Max = finite && v > c.Max ? v : c.Max;
        c.MinPositive = finite && v > 0 && v < c.MinPositive ? v : c.MinPositive;
      }
    };
    take(from, head, FSummaries.data() + first);
    take(from + head, nx - head, FSummaries.data());
  }
  RangeChanged();
  Touch();
}

void TColorMap::Relayout(int32_t Stride) {
  std::vector<double> cells;
  std::vector<TColumnSummary> summaries;
  try {
    cells.assign(static_cast<size_t>(Stride) * static_cast<size_t>(FNY), NaN);
    summaries.assign(static_cast<size_t>(Stride), TColumnSummary{Inf, Inf, -Inf});
  } catch (const std::exception&) {  // no memory, or more than a vector holds here
    throw EVexaKelvoError(Named(Name()) + ": no memory for " + std::to_string(Stride) +
                          " columns of " + std::to_string(FNY));
  }
  for (int32_t i = 0; i < FNX; ++i) {
    for (int32_t j = 0; j < FNY; ++j)
      cells[static_cast<size_t>(j) * static_cast<size_t>(Stride) + static_cast<size_t>(i)] =
          FCells[At(i, j)];
    summaries[static_cast<size_t>(i)] = FSummaries[Slot(i)];
  }
  FCells.swap(cells);
  FSummaries.swap(summaries);
  FStride = Stride, FFirst = 0;
}

void TColorMap::AppendColumn(const double* V) {
  if (FNX == 0) throw EVexaKelvoError(Named(Name()) + ": AppendColumn needs a size first");
  if (!V) throw EVexaKelvoError(Named(Name()) + ": AppendColumn needs values");
  if (FCapacity > 0 && FNX == FCapacity) {
    // The oldest column goes: its slot becomes the newest.
    const TColumnSummary& gone = FSummaries[Slot(0)];
    if (gone.Min == FMin || gone.Max == FMax || gone.MinPositive == FMinPositive) RangeChanged();
    FFirst = FFirst + 1 == FStride ? 0 : FFirst + 1;
    --FNX, ++FDropped;
  } else if (FNX == FStride) {
    // Growing: room for a thirty-second more columns at a time (at least 16).
    const int64_t grown = int64_t{FNX} + std::max<int64_t>(16, FNX / 32);
    if (grown * FNY > MaxCells)
      throw EVexaKelvoError(Named(Name()) + ": another column would pass the " +
                            std::to_string(MaxCells) + " cells a map holds");
    Relayout(static_cast<int32_t>(grown));
  }
  const size_t slot = Slot(FNX);
  for (int32_t j = 0; j < FNY; ++j)
    FCells[static_cast<size_t>(j) * static_cast<size_t>(FStride) + slot] = V[j];
  ++FNX;
  Summarise(slot);
  TakeIntoRange(FSummaries[slot]);
  Touch();
}

void TColorMap::SetCapacity(int32_t Columns) {
  if (Columns < 0) throw EVexaKelvoError(Named(Name()) + ": Capacity must not be negative");
  if (FNY > 0 && int64_t{Columns} * FNY > MaxCells)
    throw EVexaKelvoError(Named(Name()) + ": a Capacity of " + std::to_string(Columns) +
                          " columns is more than the " + std::to_string(MaxCells) +
                          " cells a map holds");
  if (Columns > 0 && FNX > Columns) {  // the oldest columns go
    const int32_t drop = FNX - Columns;
    FFirst = static_cast<int32_t>(Slot(drop));
    FNX -= drop, FDropped += drop;
    RangeChanged();
  }
  FCapacity = Columns;
  if (FNX > 0 && Columns > 0 && Columns != FStride) Relayout(Columns);
  Touch();
}

// --- colours ---

void TColorMap::StopsChanged() {
  FTable->Fill(FStops);
  Touch();
}

void TColorMap::SetGradient(TGradient Value) {
  if (Value == TGradient::grCustom) {  // the stops stay as they are
    FGradient = Value;
    Touch();
    return;
  }
  FGradient = Value;
  FStops = vexa::GradientStops(Value);
  StopsChanged();
}

void TColorMap::SetGradientStops(std::vector<TGradientStop> Stops) {
  if (const char* problem = GradientStopsProblem(Stops))
    throw EVexaKelvoError(Named(Name()) + ": " + problem);
  FStops = std::move(Stops);
  FGradient = TGradient::grCustom;
  StopsChanged();
}

void TColorMap::SetColorRangeLow(double Value) {
  if (!std::isfinite(Value))
    throw EVexaKelvoError(Named(Name()) + ": ColorRangeLow must be finite");
  FRangeLow = Value, FAutoRange = false;
  Touch();
}

void TColorMap::SetColorRangeHigh(double Value) {
  if (!std::isfinite(Value))
    throw EVexaKelvoError(Named(Name()) + ": ColorRangeHigh must be finite");
  FRangeHigh = Value, FAutoRange = false;
  Touch();
}

void TColorMap::SetAutoColorRange(bool Value) { FAutoRange = Value, Touch(); }
void TColorMap::SetLogColors(bool Value) { FLogColors = Value, Touch(); }
void TColorMap::SetNanColor(TColor Value) { FNanColor = Value, Touch(); }
void TColorMap::SetInterpolate(bool Value) { FInterpolate = Value, Touch(); }
void TColorMap::SetOpacity(uint8_t Value) { FOpacity = Value, Touch(); }

void TColorMap::TakeIntoRange(const TColumnSummary& S) const {
  if (!FRangeKnown) return;
  if (S.Min <= S.Max) {
    FMin = FAnyFinite ? std::min(FMin, S.Min) : S.Min;
    FMax = FAnyFinite ? std::max(FMax, S.Max) : S.Max;
    FAnyFinite = true;
  }
  if (S.MinPositive < Inf) {
    FMinPositive = FAnyPositive ? std::min(FMinPositive, S.MinPositive) : S.MinPositive;
    FAnyPositive = true;
  }
}

void TColorMap::FindRange() const {
  FRangeKnown = true;
  FAnyFinite = FAnyPositive = false;
  for (int32_t i = 0; i < FNX; ++i) TakeIntoRange(FSummaries[Slot(i)]);
}

bool TColorMap::DrawnColorRange(double& Low, double& High) const {
  if (!FAutoRange) {
    Low = FRangeLow, High = FRangeHigh;
    return true;
  }
  if (!FRangeKnown) FindRange();
  if (FLogColors ? !FAnyPositive : !FAnyFinite) return false;
  Low = FLogColors ? FMinPositive : FMin;
  High = FMax;
  return true;
}

bool TColorMap::ColourRule(TDrawPlan& Plan, std::string& Problem) const {
  double low = 0, high = 1;
  const bool ranged = DrawnColorRange(low, high);
  Plan.Table = nullptr;  // without a range no value has a colour: NaN's alone are drawn
  Plan.NanPixel = FNanColor == clNone ? 0 : raster::PixelFromColor(ColorToRGB(FNanColor));
  Plan.Log = FLogColors;
  Plan.Opacity = FOpacity;
  if (!ranged) return true;
  if (FLogColors && !(low > 0 && high > 0)) {
    Problem = Named(Name()) + ": LogColors needs a colour range above 0";
    return false;
  }
  const double a = FLogColors ? std::log(low) : low, b = FLogColors ? std::log(high) : high;
  Plan.Table = FTable->Pixels.data();
  Plan.Low = a;
  Plan.Scale = a == b ? 0 : (TGradientTable::Levels - 1) / (b - a);
  return true;
}

TColor TColorMap::ColorOf(double V) const {
  TDrawPlan plan;
  std::string problem;
  if (!ColourRule(plan, problem)) return clNone;
  const uint32_t p = plan.PixelOf(V);
  return p == 0 ? clNone : raster::ColorFromPixel(p);
}

TColor TColorMap::GradientColor(double Position) const {
  const double p = Position > 0 ? (Position < 1 ? Position : 1) : 0;  // NaN: the low end
  const auto level = static_cast<size_t>(p * (TGradientTable::Levels - 1) + 0.5);
  return raster::ColorFromPixel(FTable->Pixels[level]);
}

// --- the picture ---

// The map's own pixels over the rectangle it covers on the data bitmap (0
// where it leaves what lies beneath), kept from paint to paint while the
// map, its layer's mapping and the bitmap stay as they were: a repaint
// that changed none of them lays them again without reading a cell.
struct TColorMap::TPicture {
  struct TKey {
    uint64_t Changes = 0;
    long double KX = 0, DX = 0, KY = 0, DY = 0, FloorX = 0, FloorY = 0;
    bool LogX = false, LogY = false;
    int32_t Left = 0, Top = 0, Width = 0, Height = 0, One = 0;
    bool operator==(const TKey&) const = default;
  } Key;
  bool Kept = false;
  int32_t X0 = 0, Y0 = 0, Width = 0, Height = 0;  // on the bitmap; Width 0: nothing
  std::vector<uint32_t> Pixels;                   // Width x Height, row by row
  std::vector<uint8_t> RowOpaque;                 // a row without a 0
  uint32_t* Row(int32_t y) {
    return Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(Width);
  }
};

void TColorMap::Draw(TPlotContext& Context) const {
  if (FNX == 0 || !Shown(Context.Chart)) return;
  TDrawPlan plan;
  std::string problem;
  if (!ColourRule(plan, problem)) {
    if (Context.Problem.empty()) Context.Problem = problem;
    return;
  }
  Context.State.Flush();  // what is drawn before lies beneath
  const TCustomKelvo& chart = Context.Chart;
  const TLayerMapping& m = chart.DeviceMapping(Layer());
  const raster::TSurface s = Context.Canvas.Surface();
  TPicture::TKey key{
      Changes(), m.KX,   m.DX,         m.KY,        m.DY,    m.FloorX, m.FloorY,
      m.LogX,    m.LogY, Context.Left, Context.Top, s.Width, s.Height, Context.Canvas.Len(1)};
  if (!FPicture) FPicture = std::make_unique<TPicture>();
  TPicture& picture = *FPicture;
  if (!picture.Kept || !(picture.Key == key)) {
    picture.Kept = false;  // until made whole
    plan.Left = Context.Left, plan.Top = Context.Top;
    plan.Mapping = &m;
    using render::ClipCoord;
    CoverAxis(
        FNX, s.Width, key.One,
        [&](int64_t i) { return int64_t{ClipCoord(m.PixelX(CellEdgeX(i)))} - Context.Left; },
        plan.X);
    CoverAxis(
        FNY, s.Height, key.One,
        [&](int64_t j) { return int64_t{ClipCoord(m.PixelY(CellEdgeY(j)))} - Context.Top; },
        plan.Y);
    picture.X0 = plan.X.First, picture.Y0 = plan.Y.First;
    const bool any = plan.X.First <= plan.X.Last && plan.Y.First <= plan.Y.Last;
    picture.Width = any ? plan.X.Last - plan.X.First + 1 : 0;
    picture.Height = any ? plan.Y.Last - plan.Y.First + 1 : 0;
    picture.Pixels.assign(static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height),
                          0);
    picture.RowOpaque.assign(static_cast<size_t>(picture.Height), 0);
    if (any) {
      if (FInterpolate && plan.Table)
        MakeInterpolated(plan, picture);
      else
        MakeCells(plan, picture);
    }
    picture.Key = key;
    picture.Kept = true;
  }
  if (picture.Width == 0) return;
  // Laid over what lies beneath.
  const size_t rowBytes = static_cast<size_t>(picture.Width) * sizeof(uint32_t);
  for (int32_t y = 0; y < picture.Height; ++y) {
    uint32_t* dst = s.Row(picture.Y0 + y) + picture.X0;
    const uint32_t* src = picture.Row(y);
    if (picture.RowOpaque[static_cast<size_t>(y)] && plan.Opacity == 255) {
      std::memcpy(dst, src, rowBytes);
    } else {
      for (int32_t k = 0; k < picture.Width; ++k) plan.Put(dst[k], src[k]);
    }
  }
  if (TCanvasRecorder::Active()) {
    // A recording takes the map as drawn: one image of the pixels it covers.
    TBitmap image(picture.Width, picture.Height);
    for (int32_t y = 0; y < picture.Height; ++y)
      std::memcpy(image.Bits() + static_cast<size_t>(y) * static_cast<size_t>(picture.Width),
                  s.Row(picture.Y0 + y) + picture.X0, rowBytes);
    Context.Canvas.Draw(picture.X0, picture.Y0, image);
  }
}

// Each pixel in the colour of the last cell drawn over it: per run of
// columns over the same cells and per run of rows likewise one colour is
// looked up; a row of pixels is made once for each run of rows.
void TColorMap::MakeCells(const TDrawPlan& Plan, TPicture& Picture) const {
  struct TRun {
    int32_t X0, X1, Low,
        High;     // pixels X0 .. X1 - 1 (from the picture's left) over cells Low .. High
    size_t Slot;  // where column High is held
  };
  std::vector<TRun> runs;
  for (int32_t x = Plan.X.First; x <= Plan.X.Last;) {
    const auto ux = static_cast<size_t>(x);
    int32_t e = x + 1;
    while (e <= Plan.X.Last && Plan.X.High[static_cast<size_t>(e)] == Plan.X.High[ux] &&
           Plan.X.Low[static_cast<size_t>(e)] == Plan.X.Low[ux])
      ++e;
    runs.push_back({x - Plan.X.First, e - Plan.X.First, Plan.X.Low[ux], Plan.X.High[ux],
                    Slot(Plan.X.High[ux])});
    x = e;
  }
  const bool oneEach = runs.size() == static_cast<size_t>(Picture.Width);
  for (int32_t y = Plan.Y.First; y <= Plan.Y.Last;) {
    const auto uy = static_cast<size_t>(y);
    const int32_t jl = Plan.Y.Low[uy], jh = Plan.Y.High[uy];
    int32_t ye = y + 1;
    while (ye <= Plan.Y.Last && Plan.Y.High[static_cast<size_t>(ye)] == jh &&
           Plan.Y.Low[static_cast<size_t>(ye)] == jl)
      ++ye;
    uint32_t* row = Picture.Row(y - Plan.Y.First);
    const double* cells = FCells.data() + static_cast<size_t>(jh) * static_cast<size_t>(FStride);
    bool opaque = true;
    for (const TRun& r : runs) {
      uint32_t p = Plan.PixelOf(cells[r.Slot]);
      // A cell without a colour lets the one drawn before it show.
      for (int64_t j = jh; p == 0 && j >= jl; --j)
        for (int64_t i = j == jh ? r.High - 1 : r.High; p == 0 && i >= r.Low; --i)
          p = Plan.PixelOf(FCells[At(i, j)]);
      if (oneEach)
        row[r.X0] = p;
      else
        std::fill(row + r.X0, row + r.X1, p);
      opaque = opaque && p != 0;
    }
    Picture.RowOpaque[static_cast<size_t>(y - Plan.Y.First)] = opaque;
    for (int32_t py = y + 1; py < ye; ++py) {
      std::memcpy(Picture.Row(py - Plan.Y.First), row,
                  static_cast<size_t>(Picture.Width) * sizeof(uint32_t));
      Picture.RowOpaque[static_cast<size_t>(py - Plan.Y.First)] = opaque;
    }
    y = ye;
  }
}

// Each pixel in the colour of the bilinear value between the four cell
// centres around its centre (clamped to the outer centres); a pixel whose
// cell is NaN takes NaN's colour, and NaN neighbours stand in with its value.
void TColorMap::MakeInterpolated(const TDrawPlan& Plan, TPicture& Picture) const {
  const TLayerMapping& m = *Plan.Mapping;
  struct TAxisStep {
    size_t A = 0, B = 0;  // the two cells (slots across x, rows across y)
    double F = 0;         // B's weight
  };
  auto step = [](double World, double Origin, double Cell, int32_t N) {
    double u = (World - Origin) / Cell - 0.5;
    u = u > 0 ? u : 0;
    u = u < N - 1 ? u : N - 1;
    TAxisStep out;
    const int64_t a = std::min<int64_t>(static_cast<int64_t>(u), std::max(N - 2, 0));
    out.A = static_cast<size_t>(a), out.B = static_cast<size_t>(N > 1 ? a + 1 : a);
    out.F = u - static_cast<double>(a);
    return out;
  };
  auto world = [](long double P, long double K, long double D, bool Log) {
    const long double t = (P - D) / K;
    return static_cast<double>(Log ? std::exp(t) : t);
  };
  std::vector<TAxisStep> cols(static_cast<size_t>(Picture.Width));
  std::vector<size_t> own(cols.size());  // the slot of each pixel's own cell
  for (int32_t x = Plan.X.First; x <= Plan.X.Last; ++x) {
    TAxisStep c = step(world(x + Plan.Left, m.KX, m.DX, m.LogX), CellEdgeX(0), FCellW, FNX);
    c.A = Slot(static_cast<int64_t>(c.A)), c.B = Slot(static_cast<int64_t>(c.B));
    cols[static_cast<size_t>(x - Plan.X.First)] = c;
    own[static_cast<size_t>(x - Plan.X.First)] = Slot(Plan.X.High[static_cast<size_t>(x)]);
  }
  const auto stride = static_cast<size_t>(FStride);
  for (int32_t y = Plan.Y.First; y <= Plan.Y.Last; ++y) {
    const TAxisStep r = step(world(y + Plan.Top, m.KY, m.DY, m.LogY), FY0, FCellH, FNY);
    const double* rowA = FCells.data() + r.A * stride;
    const double* rowB = FCells.data() + r.B * stride;
    const double* ownRow =
        FCells.data() + static_cast<size_t>(Plan.Y.High[static_cast<size_t>(y)]) * stride;
    uint32_t* dst = Picture.Row(y - Plan.Y.First);
    bool opaque = true;
    for (size_t k = 0; k < cols.size(); ++k) {
      const TAxisStep& c = cols[k];
      const double v = ownRow[own[k]];
      if (v != v) {
        dst[k] = Plan.NanPixel;
        opaque = opaque && Plan.NanPixel != 0;
        continue;
      }
      auto at = [&](const double* Row, size_t Slot) {
        const double w = Row[Slot];
        return w != w ? v : w;
      };
      const double top = at(rowA, c.A) + (at(rowA, c.B) - at(rowA, c.A)) * c.F;
      const double bottom = at(rowB, c.A) + (at(rowB, c.B) - at(rowB, c.A)) * c.F;
      dst[k] = Plan.PixelOf(top + (bottom - top) * r.F);
      opaque = opaque && dst[k] != 0;
    }
    Picture.RowOpaque[static_cast<size_t>(y - Plan.Y.First)] = opaque;
  }
}

bool TColorMap::Extent(TPlotExtent& E, bool PositiveX, bool PositiveY) const {
  if (FNX == 0) return false;
  auto span = [](double A, double B, bool Positive, double Cell, double& Lo, double& Hi) {
    Lo = std::min(A, B), Hi = std::max(A, B);
    if (!Positive || Lo > 0) return true;
    if (!(Hi > 0)) return false;
    // The lowest positive edge.
    const double k = std::floor((0 - Lo) / std::fabs(Cell)) + 1;
    Lo = Lo + k * std::fabs(Cell);
    if (!(Lo > 0)) Lo += std::fabs(Cell);
    Lo = std::min(Lo, Hi);
    return true;
  };
  return span(ExtentX0(), ExtentX1(), PositiveX, FCellW, E.MinX, E.MaxX) &&
         span(ExtentY0(), ExtentY1(), PositiveY, FCellH, E.MinY, E.MaxY);
}

bool TColorMap::NearestHit(const TCustomKelvo&, int32_t, int32_t, TPlotHit&) const {
  return false;  // no points: the cells are found by AreaHit
}

bool TColorMap::AreaHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Hit) const {
  if (FNX == 0) return false;
  const TRect area = Chart.DataArea();
  if (X < area.Left || X >= area.Right || Y < area.Top || Y >= area.Bottom) return false;
  const TLayerMapping& m = Chart.Mapping(Layer());
  using render::ClipCoord;
  const int64_t i = TopCellAt(
      FNX, 1, [&](int64_t k) { return int64_t{ClipCoord(m.PixelX(CellEdgeX(k)))}; }, X);
  const int64_t j = TopCellAt(
      FNY, 1, [&](int64_t k) { return int64_t{ClipCoord(m.PixelY(CellEdgeY(k)))}; }, Y);
  if (i < 0 || j < 0) return false;
  Hit.Point = -1;
  Hit.Layer = Layer();
  Hit.CellX = static_cast<int32_t>(i), Hit.CellY = static_cast<int32_t>(j);
  Hit.Value = FCells[At(i, j)];
  Hit.X = (CellEdgeX(i) + CellEdgeX(i + 1)) / 2;
  Hit.Y = (CellEdgeY(j) + CellEdgeY(j + 1)) / 2;
  Hit.Distance = 0;
  return true;
}

void TColorMap::LegendIcon(TLegendEntry& Entry) const {
  Entry.Icon = TLegendIcon::liSwatch;
  Entry.Color = GradientColorAt(FStops, 0.5);
  Entry.AreaColor = Entry.Color;
  Entry.AreaOpacity = FOpacity;
  Entry.Symbol = -1;
}

}  // namespace vexa
