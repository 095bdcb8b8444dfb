// The series as a plottable: its drawing, its nearest point, its extent and
// its legend icon. A series draws what its equivalent display-list items
// would: MoveTo to its first point, DrawTo to each next one, then MarkAt at
// every point, with its attributes as the current ones. The general way
// hands exactly those items to the display-list renderer's item drawer, so
// every pen, pattern and mark comes out as the items' would. Two shortcuts
// keep the picture and skip the points out of view:
//
// - A solid line of x-sorted data reads only the points in view; one
//   device pixel wide, it draws each pixel column from its first, lowest,
//   highest and last point (the rule of the line-run summary, Renderer.cpp): within a column
//   the line covers exactly the pixels between its lowest and highest point,
//   joined to the neighbouring columns by the segments from the first and
//   to the last point (TSortedLine).
// - Filled squares (codes 7 to 9, one-pixel pen) are written straight into
//   the bitmap, as the display-list renderer does, and sorted data reads
//   only the points inside the horizontal range.
#include <algorithm>
#include <cmath>

#include "kelvo/base/Marks.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/Legend.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/chart/SeriesView.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {

using render::MapToBitmap;

// The one-pixel solid line of an x-sorted series, drawn column by column.
// Along a column the line covers exactly the pixels between its lowest and
// highest point; it is joined to the neighbouring columns by the segments
// from its first and to its last point, so those four points stand for all
// of the column's. Pixel y follows y (up or down, by the axis' direction),
// so a column keeps the raw y extremes and maps only its four points; whole
// blocks and groups of 16 points in one column are taken from the series'
// summaries. Where the line ends in a column (the data ends, or a point
// that is not finite follows), its last pixel is drawn only when another
// segment reaches it: see FinishEnding.
//
// Steps after and before their points (shStepPost, shStepPre) are columns
// of the same kind: a column of points First .. Last holds the vertices of
// its steps too, which lie in it and add one y. After: the step into the
// column arrives at the y of the point before it, so that point's y opens
// the column. Before: the step out of the column rises at its x to the
// next point's y, so that y closes it.
class TSortedLine {
 public:
  enum class TSteps : uint8_t { None, After, Before };
  TSortedLine(TSeriesView Series, const TLayerMapping& Mapping, int32_t Left, int32_t Top,
              TCanvas& Canvas, render::TRenderState& State, TSteps Steps = TSteps::None)
      : se(Series), m(Mapping), ml(Left), mt(Top), c(Canvas), s(State), steps(Steps) {}

  // The points of Ranges in turn as one line (each range's points From to
  // To, both drawn; within a range x does not go back), the first range's
  // first point where the line starts. A range that is a Break (one point
  // whose x is not finite) ends the line there; it starts again after it.
  void Draw(std::span<const TPointRange> Ranges) {
    const uint64_t first = Ranges.front().From;
    lost = Ranges.front().Break || !std::isfinite(se.YAt(first));
    if (!lost) Start(first, ColumnOf(se.XAt(first)));
    prevAt = first;
    for (size_t k = 0; k < Ranges.size(); ++k) {
      const TPointRange& r = Ranges[k];
      if (r.Break) {
        // A step before rises to this point's y at the previous x first.
        if (k > 0 && steps == TSteps::Before && col.Active && std::isfinite(se.YAt(r.From)))
          Add(r.From, se.YAt(r.From));
        if (k > 0) EndLine();
        prevAt = r.From;
        continue;
      }
      if (k > 0 && col.Active) {
        // The points between two ranges are left out: a column never spans
        // them. The line goes on from this column to the range's first point.
        const double y = se.YAt(r.From);
        if (std::isfinite(y)) {
          if (steps == TSteps::Before) Add(r.From, y);
          Finish();
          Start(r.From, ColumnOf(se.XAt(r.From)), prevAt);
          prevAt = r.From;
          Walk(r.From + 1, r.To);
          continue;
        }
        Finish();
      }
      Walk(k == 0 ? r.From + 1 : r.From, r.To);
    }
    if (col.Active) {
      if (Ranges.back().To == se.Count() - 1)
        FinishEnding();  // the data ends in this column
      else
        Finish();  // beside the bitmap: the line goes on from it
    }
  }

 private:
  // The line ends here and starts again at the next finite point.
  void EndLine() {
    if (col.Active) FinishEnding();
    s.Flush();
    lost = true;
  }

  // Points i .. To, going on from the point before i.
  void Walk(uint64_t i, uint64_t To) {
    uint64_t slot = se.Slot(i);  // point i's
    while (i <= To) {
      if (col.Active) {
        uint64_t next = i;
        if ((slot & 15) == 0) next = i + TakeSummarised(i, To);
        if (next == i && m.QuickX)
          next =
              TakeRun(i, slot, std::min({To + 1, i + 16 - (slot & 15), i + se.SlotCount() - slot}));
        if (next > i) {
          i = next;
          prevAt = i - 1;
          slot = se.Slot(i);
          continue;
        }
      }
      const double y = se.YInSlot(slot);
      if (!std::isfinite(y)) {
        // A step after holds the last y on to this point's x.
        if (steps == TSteps::After && col.Active) HoldTo(i);
        EndLine();
      } else if (lost) {
        Restart(i, y);
      } else {
        const double x = se.XInSlot(i, slot);
        const int32_t column = InColumn(x) ? col.Column : ColumnOf(x);
        if (column != col.Column) {
          if (steps == TSteps::Before) Add(i, y);
          Finish();
          Start(i, column, prevAt);
        } else {
          Add(i, y);
        }
      }
      prevAt = i;
      ++i;
      slot = se.NextSlot(slot);
    }
  }

  // The line starts again at point i after a break. A step's vertex between
  // the point before (not drawn) and i may be finite: a step after rises at
  // i's x from the y before, a step before holds i's y from the x before;
  // the line starts there.
  void Restart(uint64_t i, double y) {
    lost = false;
    s.Flush();
    const bool joined = prevAt + 1 == i;
    const int32_t column = ColumnOf(se.XAt(i));
    if (steps == TSteps::After && joined && std::isfinite(se.YAt(i - 1))) {
      Start(i, column, i - 1);
    } else if (steps == TSteps::Before && joined && std::isfinite(se.XAt(i - 1))) {
      col = TColumn{true, ColumnOf(se.XAt(i - 1)), i, i, i, i, y, y, i};
    } else {
      Start(i, column);
    }
    const TPoint p = Point(col.FirstAt);
    s.Current = p;
    c.MoveTo(p.X, p.Y);
    if (col.Column != column) {  // a step before: on to i's own column
      Finish();
      Start(i, column);
    }
  }

  // After a step after point prevAt, whose line ends at point i (its y is
  // not finite): the level run reaches i's column.
  void HoldTo(uint64_t i) {
    const double x = se.XAt(i);
    if (!std::isfinite(x)) return;
    const int32_t column = InColumn(x) ? col.Column : ColumnOf(x);
    if (column == col.Column) return;
    Finish();
    const double y = se.YAt(prevAt);
    col = TColumn{true, column, prevAt, prevAt, prevAt, prevAt, y, y, prevAt + 1};
  }

  // Client pixel x, clipped as MapToBitmap clips it.
  int32_t ColumnOf(double X) const { return render::ClipCoord(m.PixelX(X)); }
  bool InColumn(double X) const {
    return m.QuickX ? m.SurelyInColumnX(X, col.Column) : ColumnOf(X) == col.Column;
  }
  // Point i of the open column on the bitmap, as MapToBitmap places it.
  TPoint Point(uint64_t i) const {
    return TPoint{render::ClampFar(int64_t{col.Column} - ml),
                  render::ClampFar(int64_t{render::ClipCoord(m.PixelY(se.YAt(i)))} - mt)};
  }

  // Points i, i + 1, ... before End, from slot S on in one run of slots:
  // those that are finite and surely in the open column are taken into it.
  // Returns the first point not taken.
  uint64_t TakeRun(uint64_t i, uint64_t S, uint64_t End) {
    const uint64_t first = i;
    double low = col.Low, high = col.High;
    uint64_t lowAt = col.LowAt, highAt = col.HighAt;
    for (; i < End; ++i, ++S) {
      const double x = se.XInSlot(i, S), y = se.YInSlot(S);
      if (!m.SurelyInColumnX(x, col.Column) || !(y - y == 0)) break;
      if (y < low) low = y, lowAt = i;
      if (y > high) high = y, highAt = i;
    }
    if (i > first) {
      col.LastAt = i - 1;
      col.LowAt = lowAt, col.HighAt = highAt, col.Low = low, col.High = high;
    }
    return i;
  }

  // A column opened at point i; with steps after, the step arrives at the
  // y of point Prev, which opens it.
  void Start(uint64_t i, int32_t Column, uint64_t Prev = UINT64_MAX) {
    const double y = se.YAt(i);
    col = TColumn{true, Column, i, i, i, i, y, y, i};
    if (steps == TSteps::After && Prev != UINT64_MAX) {
      const double py = se.YAt(Prev);
      col.FirstAt = Prev;
      if (py < col.Low) col.Low = py, col.LowAt = Prev;
      if (py > col.High) col.High = py, col.HighAt = Prev;
    }
  }
  void Add(uint64_t i, double y) {
    col.LastAt = i;
    if (y < col.Low) col.Low = y, col.LowAt = i;
    if (y > col.High) col.High = y, col.HighAt = i;
  }

  // Whole blocks, or a group of 16, of finite points in the open column
  // from point i on (up to To): their number, 0 when none is taken.
  uint64_t TakeSummarised(uint64_t i, uint64_t To) {
    if (se.StartsBlock(i)) {
      for (int level = TSeries::Levels - 1; level >= 0; --level) {
        const uint64_t len = se.WholeBlockAt(level, i);
        if (len == 0 || i + len - 1 > To) continue;
        const TSeriesBlocks& blocks = se.Blocks(level);
        const auto k = static_cast<size_t>(se.Slot(i) >> TSeries::Shift[level]);
        if (!(blocks.Flags[k] & TSeriesBlocks::FlagAllFinite) || !InColumn(se.XAt(i + len - 1)))
          continue;
        if (blocks.MinY[k] < col.Low) col.Low = blocks.MinY[k], col.LowAt = i + blocks.MinYAt[k];
        if (blocks.MaxY[k] > col.High) col.High = blocks.MaxY[k], col.HighAt = i + blocks.MaxYAt[k];
        col.LastAt = i + len - 1;
        return len;
      }
    }
    uint32_t lowAt, highAt;
    if (i + 15 <= To && se.WholeGroupAt(i, lowAt, highAt) && InColumn(se.XAt(i + 15))) {
      Add(i + lowAt, se.YAt(i + lowAt));
      Add(i + highAt, se.YAt(i + highAt));
      col.LastAt = i + 15;
      return 16;
    }
    return 0;
  }

  // A column the line leaves to the next: first, extremes, last. Its last
  // pixel is the start of the next segment, so the order of the extremes
  // does not change the pixels.
  void Finish() {
    const TPoint low = Point(col.LowAt), high = Point(col.HighAt);
    for (const TPoint p : {Point(col.FirstAt), low, high, Point(col.LastAt)}) s.AppendDistinct(p);
    col.Active = false;
  }

  // A column where the line ends. Its segments, all in this column, cover
  // every pixel from its lowest to its highest point but the last one's
  // pixel, which they cover only when an earlier segment starts on or passes
  // over it: when the points before the run of last points on that pixel do
  // not all lie on one side of it.
  void FinishEnding() {
    // The column's vertices in order: FirstAt (a step after's way in), then
    // its own points OwnFrom .. LastAt.
    const uint64_t lead = col.FirstAt != col.OwnFrom ? 1 : 0;
    const uint64_t count = lead + (col.LastAt + 1 - col.OwnFrom);
    auto at = [&](uint64_t j) { return j < lead ? col.FirstAt : col.OwnFrom + (j - lead); };
    const TPoint first = Point(col.FirstAt), last = Point(col.LastAt);
    uint64_t end = count - 1;  // the vertices before the last pixel's run: 0 .. end - 1
    while (end > 0 && Point(at(end - 1)).Y == last.Y) --end;
    col.Active = false;
    if (end == 0) {  // one pixel: nothing drawn beyond the way in
      s.AppendDistinct(first);
      return;
    }
    uint64_t lowAt = col.FirstAt, highAt = col.FirstAt;
    for (uint64_t j = 1; j < end; ++j) {
      const uint64_t k = at(j);
      const double y = se.YAt(k);
      if (y < se.YAt(lowAt)) lowAt = k;
      if (y > se.YAt(highAt)) highAt = k;
    }
    TPoint top = Point(lowAt), bottom = Point(highAt);
    if (top.Y > bottom.Y) std::swap(top, bottom);
    s.AppendDistinct(first);
    if (last.Y < top.Y) {
      s.AppendDistinct(bottom);  // the last pixel above all others: left out
    } else if (last.Y > bottom.Y) {
      s.AppendDistinct(top);  // below all others: left out
    } else if (last.Y == bottom.Y) {
      s.AppendDistinct(bottom);  // on the lowest: drawn where the way down starts
      s.AppendDistinct(top);
    } else {
      s.AppendDistinct(top);  // on the highest, or between: a segment starts on or passes it
      s.AppendDistinct(bottom);
    }
    s.AppendDistinct(last);
  }

  struct TColumn {
    bool Active = false;
    int32_t Column = 0;  // client pixel x
    uint64_t FirstAt = 0, LastAt = 0, LowAt = 0, HighAt = 0;
    double Low = 0, High = 0;  // y at LowAt and HighAt
    uint64_t OwnFrom = 0;      // its first own point (FirstAt but for a step after's way in)
  };

  const TSeriesView se;
  const TLayerMapping& m;
  const int32_t ml, mt;
  TCanvas& c;
  render::TRenderState& s;
  TColumn col;
  bool lost = false;  // the line is broken: it starts again at the next finite point
  const TSteps steps;
  uint64_t prevAt = 0;  // the point walked last
};

// What a series' line and marks draw with: the context's pieces and the
// device mapping of the series' layer.
struct TDrawingPieces {
  const TCustomKelvo& Chart;
  TCanvas& Canvas;
  render::TRenderState& State;
  const std::function<void(const TDrawItem&)>& DrawItem;
  int32_t Left, Top;
  const TLayerMapping& Mapping;
};
TDrawingPieces DrawingPieces(TPlotContext& Context, int32_t Layer) {
  return {Context.Chart,
          Context.Canvas,
          Context.State,
          Context.DrawItem,
          Context.Left,
          Context.Top,
          Context.Chart.DeviceMapping(Layer)};
}

}  // namespace

// The shape and the marks; stacked bars stand on Below (null: on Baseline).
void TSeries::DrawOwn(TPlotContext& Context, const std::vector<double>* Below) const {
  const TSeries& se = *this;
  const TCustomKelvo& chart = Context.Chart;
  // Device pixels: the data bitmap's origin and the mapping onto it, so the
  // columns are device columns.
  const int32_t layer = se.Layer();
  const TLayerMapping& m = chart.DeviceMapping(layer);
  TDrawItem it{};
  it.Color = se.Color();
  it.FillColor = se.FillColor();
  it.PenStyle = se.PenStyle();
  it.LineWidth = se.LineWidth();
  it.ItemClass = se.ItemClass();
  it.Layer = layer;
  const bool ordered = Ordered(m);
  if (se.LineVisible()) {
    // A dashed line leaves its gaps transparent (the display list's are
    // painted in the fill colour).
    render::TRenderState& s = Context.State;
    const TPenStyle pen = se.PenStyle();
    const bool dashed = pen != TPenStyle::psSolid && pen != TPenStyle::psClear &&
                        pen != TPenStyle::psInsideFrame && se.Shape() != TSeriesShape::shBars;
    if (dashed) {
      s.Flush();
      s.ForcePen(it.Color, it.PenStyle, it.FillColor);
      Context.Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    }
    if (se.Shape() == TSeriesShape::shBars)
      DrawBars(Context, it, Below);
    else if (se.Shape() == TSeriesShape::shStems)
      DrawShape(Context, it, ordered);
    else
      DrawLine(Context, it, ordered);
    if (dashed) {
      s.Flush();
      Context.Canvas.Brush().SetColor(s.BrushColor);
    }
  }
  it.FillColor = se.FillColor();
  if (se.Symbol() >= 0) DrawMarks(Context, it);
}

// Pixel x follows x within a run, up or down by the axis' direction.
bool RangesInView(TSeriesView se, const TLayerMapping& m, int32_t Left, int32_t Top, int32_t Width,
                  int32_t Reach, std::vector<TPointRange>& Out) {
  const bool up = m.KX >= 0;
  auto columnOf = [&](uint64_t i) { return MapToBitmap(m, se.XAt(i), 0, Left, Top).X; };
  const uint64_t n = se.Count();
  return se.ForEachRun([&](uint64_t F, uint64_t E) {
    if (!std::isfinite(se.XAt(F))) {
      Out.push_back({F, F, true});  // a run of its own
      return;
    }
    auto before = [&](uint64_t i) {  // wholly before the view
      return up ? columnOf(i) < -Reach : columnOf(i) > Width - 1 + Reach;
    };
    const uint64_t a =
        before(E - 1) ? E : TSeriesView::FirstWhere(F, E, [&](uint64_t i) { return !before(i); });
    const uint64_t b = TSeriesView::FirstWhere(a, E, [&](uint64_t i) {
      return up ? columnOf(i) > Width - 1 + Reach : columnOf(i) < -Reach;
    });
    const uint64_t from = a > F ? a - 1 : F, to = std::min(b, E - 1);
    if (F > 0 && F < from) Out.push_back({F, F, false});  // joins the run before
    Out.push_back({from, to, false});
    if (E < n && to < E - 1) Out.push_back({E - 1, E - 1, false});  // joins the run after
  });
}

// The line: its equivalent MoveTo and DrawTo items, or, while the pixels
// follow the values (Ordered) and the sorted runs are known, the points in
// view of each run.
void TSeries::DrawLine(TPlotContext& Context, TDrawItem& it, bool Ordered) const {
  const TSeries& se = *this;
  const uint64_t n = se.Count();
  const auto [chart, c, s, DrawItem, ml, mt, m] = DrawingPieces(Context, Layer());
  // A dashed line needs all its segments for its pattern's phase.
  const bool solid = Context.Shortcuts && Ordered && se.PenStyle() == TPenStyle::psSolid;
  // Columns reduce a line one device pixel wide exactly (see the line
  // runs in Renderer.cpp).
  const bool columns = solid && se.LineWidth() == 1 && (!chart.AntiAliased() || c.Len(1) == 1);
  // Steps after and before their points are drawn by columns too; other
  // steps, and steps that columns cannot draw, as their items.
  const bool stepped = FShape != TSeriesShape::shStraight;
  if (stepped && (!columns || FShape == TSeriesShape::shStepMid))
    return DrawShape(Context, it, Ordered);
  std::vector<TPointRange> ranges;
  const int32_t reach = columns ? 0 : c.Len(se.LineWidth()) + 1;
  if (solid && RangesInView(TSeriesView(se), m, ml, mt, c.Bitmap().Width(), reach, ranges)) {
    // The line starts at the first range's first point as after a move.
    it.Kind = ikMoveTo;
    it.X1 = se.XAt(ranges.front().From);
    it.Y1 = se.YAt(ranges.front().From);
    DrawItem(it);
    if (columns) {
      if (it.Color != s.PenColor || it.PenStyle != s.PenStyle || it.FillColor != s.BrushColor) {
        s.Flush();
        s.ForcePen(it.Color, it.PenStyle, it.FillColor);
      }
      const auto steps = FShape == TSeriesShape::shStepPost  ? TSortedLine::TSteps::After
                         : FShape == TSeriesShape::shStepPre ? TSortedLine::TSteps::Before
                                                             : TSortedLine::TSteps::None;
      TSortedLine(TSeriesView(se), m, ml, mt, c, s, steps).Draw(ranges);
    } else {
      it.Kind = ikLineTo;
      for (size_t k = 0; k < ranges.size(); ++k) {
        for (uint64_t i = ranges[k].From + (k == 0 ? 1 : 0); i <= ranges[k].To; ++i) {
          it.X1 = se.XAt(i);
          it.Y1 = se.YAt(i);
          DrawItem(it);
        }
      }
    }
  } else if (stepped) {
    DrawShape(Context, it, false);
  } else {
    it.Kind = ikMoveTo;
    it.X1 = se.XAt(0);
    it.Y1 = se.YAt(0);
    DrawItem(it);
    it.Kind = ikLineTo;
    for (uint64_t i = 1; i < n; ++i) {
      it.X1 = se.XAt(i);
      it.Y1 = se.YAt(i);
      DrawItem(it);
    }
  }
}

// The marks inside the ranges: the equivalent MarkAt items, or the filled
// squares' fast path.
void TSeries::DrawMarks(TPlotContext& Context, TDrawItem& it) const {
  const TSeries& se = *this;
  const uint64_t n = se.Count();
  const auto [chart, c, s, DrawItem, ml, mt, m] = DrawingPieces(Context, Layer());
  const int32_t layer = Layer();
  const TScaleProps& sx = chart.ScalePropsX(layer);
  const TScaleProps& sy = chart.ScalePropsY(layer);
  const double x0 = std::min(sx.RangeLow(), sx.RangeHigh()),
               x1 = std::max(sx.RangeLow(), sx.RangeHigh());
  const double y0 = std::min(sy.RangeLow(), sy.RangeHigh()),
               y1 = std::max(sy.RangeLow(), sy.RangeHigh());
  // Marks are drawn only inside the ranges: each sorted run reads only
  // those of its points whose x lies inside.
  std::vector<std::pair<uint64_t, uint64_t>> spans;
  if (!ForEachRun([&](uint64_t F, uint64_t E) {
        const uint64_t from = se.LowerBoundX(x0, F, E);
        const uint64_t to =
            TSeries::FirstWhere(from, E, [&](uint64_t i) { return se.XAt(i) > x1; });
        if (from < to) spans.emplace_back(from, to);
      }))
    spans.assign(1, {uint64_t{0}, n});
  const int32_t symbol = se.Symbol();
  if (Context.DirectPixels && !chart.AvoidDuplicateMarks() && symbol >= 7 && symbol <= 9 &&
      se.LineWidth() == 1) {
    // The filled squares: outline and inside in the pen colour, the box
    // of the mark routine, written straight in.
    // The state the mark items leave: the line drawn, the pen's width set.
    s.Flush();
    if (s.PenWidth != 1) {
      s.PenWidth = 1;
      c.Pen().SetWidth(1);
    }
    const raster::TSurface surface = c.Surface();
    const raster::TPaint paint{raster::PixelFromColor(ColorToRGB(se.Color())), false};
    bool drawn = false;
    for (const auto& [from, to] : spans) {
      for (uint64_t i = from; i < to; ++i) {
        const double x = se.XAt(i), y = se.YAt(i);
        if (!(x >= x0 && x <= x1 && y >= y0 && y <= y1)) continue;
        const TPoint p = MapToBitmap(m, x, y, ml, mt);
        FillSquareMark(surface, static_cast<uint8_t>(symbol), p.X, p.Y, paint);
        drawn = true;
      }
    }
    if (drawn) {
      // As the mark routine leaves it: the brush solid, in its colour.
      if (c.Brush().Style() != TBrushStyle::bsSolid) c.Brush().SetColor(c.Brush().Color());
      s.SetPenColor(se.Color());
      s.SetPenStyle(se.PenStyle());
    }
    Context.ForgetLastMark();
  } else {
    it.Kind = ikMark;
    it.Symbol = static_cast<uint8_t>(symbol);
    for (const auto& [from, to] : spans) {
      for (uint64_t i = from; i < to; ++i) {
        it.X1 = se.XAt(i);
        it.Y1 = se.YAt(i);
        DrawItem(it);
      }
    }
  }
}

// The point nearest to (X, Y): sorted data reads only the points whose
// column lies within reach, and whole blocks whose extent stays out of
// reach are skipped.
bool TSeries::NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  if (FStackedOn >= 0) {  // found where drawn: at the stacked values
    std::vector<double> top;
    std::string problem;
    return DrawnValues(top, problem) && Holding(top)->NearestHit(Chart, X, Y, Best);
  }
  const bool pieces = FLineVisible &&
                      (FShape != TSeriesShape::shStraight || FAreaFill != TAreaFill::afNone) &&
                      ShapeHit(Chart, X, Y, Best);
  return PointHit(Chart, X, Y, Best) || pieces;
}

bool TSeries::PointHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const {
  const TSeries& se = *this;
  const uint64_t n = se.Count();
  bool found = false;
  const TLayerMapping& m = Chart.Mapping(se.Layer());
  auto pixel = [&](double x, double y) {
    int32_t px, py;
    m.Map(x, y, px, py);
    TCustomKelvo::ClipPixel(px, py);
    return TPoint{px, py};
  };
  // Later points are drawn over earlier ones: on equal distances the later wins.
  auto consider = [&](uint64_t i) {
    const double x = se.XAt(i), y = se.YAt(i);
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const TPoint p = pixel(x, y);
    const double d = std::hypot(static_cast<double>(p.X) - X, static_cast<double>(p.Y) - Y);
    if (d <= Best.Distance) {
      found = true;
      Best.Point = static_cast<int64_t>(i);
      Best.Layer = se.Layer();
      Best.X = x;
      Best.Y = y;
      Best.Distance = d;
    }
  };
  // Whether a block's points (their finite extent) may come within reach.
  auto blockNear = [&](int Level, uint64_t I, uint64_t Len) {
    const TSeriesBlocks& b = se.Blocks(Level);
    const auto j = static_cast<size_t>(se.Slot(I) >> TSeries::Shift[Level]);
    if (!(b.Flags[j] & TSeriesBlocks::FlagAnyFinite)) return false;
    const double x0 = se.Spaced() ? se.XAt(I) : b.MinX[j];
    const double x1 = se.Spaced() ? se.XAt(I + Len - 1) : b.MaxX[j];
    const TPoint a = pixel(x0, b.MinY[j]), c = pixel(x1, b.MaxY[j]);
    const double dx = std::max({0.0, static_cast<double>(std::min(a.X, c.X)) - X,
                                X - static_cast<double>(std::max(a.X, c.X))});
    const double dy = std::max({0.0, static_cast<double>(std::min(a.Y, c.Y)) - Y,
                                Y - static_cast<double>(std::max(a.Y, c.Y))});
    return dx <= Best.Distance && dy <= Best.Distance;
  };
  // Points From .. To - 1: whole blocks whose extent stays out of reach are skipped.
  auto scan = [&](auto& self, int Level, uint64_t From, uint64_t To) -> void {
    uint64_t i = From;
    while (i < To) {
      const uint64_t len = Level >= 0 ? se.WholeBlockAt(Level, i) : 0;
      if (len != 0 && i + len <= To) {
        if (blockNear(Level, i, len)) self(self, Level - 1, i, i + len);
        i += len;
      } else {
        if (Level > 0) {
          // Up to the next block of this level, by the smaller ones.
          uint64_t next = i + 1;
          while (next < To && se.WholeBlockAt(Level, next) == 0) ++next;
          self(self, Level - 1, i, next);
          i = next;
        } else {
          consider(i);
          ++i;
        }
      }
    }
  };
  // Each sorted run: only the points whose column lies within reach.
  const bool up = m.KX >= 0;
  auto column = [&](uint64_t i) { return pixel(se.XAt(i), 0).X; };
  const bool runs = ForEachRun([&](uint64_t F, uint64_t E) {
    if (!std::isfinite(se.XAt(F))) return;  // a point that is never found
    const double reach = std::min(Best.Distance, 1e6);
    const double left = X - reach, right = X + reach;
    if (up ? column(E - 1) < left || column(F) > right : column(E - 1) > right || column(F) < left)
      return;  // the run lies wholly beside the reach
    const uint64_t from = TSeries::FirstWhere(
        F, E, [&](uint64_t i) { return up ? column(i) >= left : column(i) <= right; });
    const uint64_t to = TSeries::FirstWhere(
        from, E, [&](uint64_t i) { return up ? column(i) > right : column(i) < left; });
    scan(scan, TSeries::Levels - 1, from, to);
  });
  if (!runs) scan(scan, TSeries::Levels - 1, 0, n);
  return found;
}

std::unique_ptr<TPlottable> TSeries::Clone() const { return std::make_unique<TSeries>(*this); }

bool TSeries::Extent(TPlotExtent& E, bool PositiveX, bool PositiveY) const {
  double x0, x1, y0, y1;
  if (!Bounds(x0, x1, y0, y1)) return false;
  // As drawn: stacked values, the values of a band's partner, the baseline
  // of stems, bars and areas, and the bars' widths.
  std::vector<double> values;
  std::string problem;
  auto widen = [&](const std::vector<double>& V) {
    for (const double v : V)
      if (std::isfinite(v) && (!PositiveY || v > 0)) y0 = std::min(y0, v), y1 = std::max(y1, v);
  };
  if (FStackedOn >= 0 && DrawnValues(values, problem)) {
    y0 = HUGE_VAL, y1 = -HUGE_VAL;  // drawn at the stacked values only
    widen(values);
    if (!(y0 <= y1)) return false;
  }
  if (FAreaFill == TAreaFill::afToSeries) {
    const TSeries* partner = SeriesAt(FAreaPartner);
    if (partner && partner != this && partner->DrawnValues(values, problem)) widen(values);
  }
  const bool fromBaseline = FShape == TSeriesShape::shStems || FShape == TSeriesShape::shBars ||
                            FAreaFill == TAreaFill::afToBaseline;
  if (fromBaseline && FStackedOn < 0 && (!PositiveY || FBaseline > 0))
    y0 = std::min(y0, FBaseline), y1 = std::max(y1, FBaseline);
  if (FShape == TSeriesShape::shBars) {
    const double half = BarWidthIn(-HUGE_VAL, HUGE_VAL) / 2;
    const double a = x0 - half + FBarOffset, b = x1 + half + FBarOffset;
    if (std::isfinite(a) && (!PositiveX || a > 0)) x0 = std::min(x0, a);
    if (std::isfinite(b)) x1 = std::max(x1, b);
  }
  // The summaries know no smallest positive value: an axis that asks for it
  // while the data reach zero or below reads the points once.
  const bool scanX = PositiveX && !(x0 > 0) && x1 > 0, scanY = PositiveY && !(y0 > 0) && y1 > 0;
  if (scanX || scanY) {
    double px = x1, py = y1;
    for (uint64_t i = 0; i < Count(); ++i) {
      const double x = XAt(i), y = YAt(i);
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      if (x > 0) px = std::min(px, x);
      if (y > 0) py = std::min(py, y);
    }
    if (scanX) x0 = px;
    if (scanY) y0 = py;
  }
  E = TPlotExtent{x0, x1, y0, y1};
  return true;
}

void TSeries::LegendIcon(TLegendEntry& Entry) const {
  Entry.Color = Color();
  Entry.PenStyle = PenStyle();
  Entry.LineWidth = LineWidth();
  Entry.Symbol = Symbol();
  Entry.FillColor = FillColor();
  Entry.LineVisible = LineVisible();
  Entry.AreaColor = FAreaColor;
  Entry.AreaOpacity = static_cast<uint8_t>(FAreaOpacity);
  switch (FShape) {
    case TSeriesShape::shBars:
      Entry.Icon = TLegendIcon::liSwatch;
      break;
    case TSeriesShape::shStems:
      Entry.Icon = TLegendIcon::liStem;
      break;
    case TSeriesShape::shStepPre:
    case TSeriesShape::shStepPost:
    case TSeriesShape::shStepMid:
      Entry.Icon = TLegendIcon::liStep;
      break;
    default:
      Entry.Icon = TLegendIcon::liLine;
      break;
  }
  if (FAreaFill != TAreaFill::afNone) Entry.Icon = TLegendIcon::liSwatch;
}

}  // namespace vexa
