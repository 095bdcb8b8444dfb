// The series renderer. A series draws what its equivalent display-list items
// would: MoveTo to its first point, DrawTo to each next one, then MarkAt at
// every point, with its attributes as the current ones. The general way
// hands exactly those items to the display-list renderer's item drawer, so
// every pen, pattern and mark comes out as the items' would. Two shortcuts
// keep the picture and skip the points out of view:
//
// - A one-pixel solid line of x-sorted data reads only the points in view
//   and draws each pixel column from its first, lowest, highest and last
//   point (the rule of the line-run summary, Renderer.cpp): within a column
//   the line covers exactly the pixels between its lowest and highest point,
//   joined to the neighbouring columns by the segments from the first and
//   to the last point. Whole blocks of points in one column are taken from
//   the series' block summaries. Where the line ends in a column (the data
//   ends, or a point that is not finite follows), that column's points are
//   drawn one by one, since no later segment draws its last pixel.
// - Filled squares (codes 7 to 9, one-pixel pen) are written straight into
//   the bitmap, as the display-list renderer does, and sorted data reads
//   only the points inside the horizontal range.
#include <algorithm>
#include <cmath>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {

using render::MapToBitmap;

// The points of one pixel column, in the order of the data.
struct TColumn {
  bool Active = false;
  int32_t X = 0;
  uint64_t FirstAt = 0, LastAt = 0, TopAt = 0, BottomAt = 0;
  TPoint First, Last, Top, Bottom;
};

}  // namespace

void TCustomKelvo::RenderSeries(TCanvas& c, render::TRenderState& s,
                                const std::function<void(const TDrawItem&)>& DrawItem,
                                const std::function<void()>& ForgetLastMark, bool DirectSquares) {
  const int32_t ml = FMarginLeft, mt = FMarginTop;
  for (const auto& owned : *FSeries) {
    const TSeries& se = *owned;
    const uint64_t n = se.Count();
    if (!se.Visible() || n == 0 || !ClassVisible(se.ItemClass()) || !LayerVisible(se.Layer()))
      continue;
    const int32_t layer = se.Layer();
    const TLayerMapping& m = Mapping(layer);
    TDrawItem it{};
    it.Color = se.Color();
    it.FillColor = se.FillColor();
    it.PenStyle = se.PenStyle();
    it.LineWidth = se.LineWidth();
    it.ItemClass = se.ItemClass();
    it.Layer = layer;
    auto point = [&](uint64_t i) { return MapToBitmap(m, se.XAt(i), se.YAt(i), ml, mt); };
    const bool sorted = se.Sorted();

    if (se.LineVisible()) {
      if (FRenderShortcuts && sorted && se.LineWidth() == 1 &&
          se.PenStyle() == TPenStyle::psSolid) {
        // The points in view and one on either side: pixel x follows x (up
        // or down, by the axis' direction).
        const int32_t w = c.Bitmap().Width();
        const bool up = m.KX >= 0;
        auto columnOf = [&](uint64_t i) { return MapToBitmap(m, se.XAt(i), 0, ml, mt).X; };
        const uint64_t a = TSeries::FirstWhere(
            0, n, [&](uint64_t i) { return up ? columnOf(i) >= 0 : columnOf(i) <= w - 1; });
        const uint64_t b = TSeries::FirstWhere(
            a, n, [&](uint64_t i) { return up ? columnOf(i) > w - 1 : columnOf(i) < 0; });
        const uint64_t from = a > 0 ? a - 1 : 0, to = std::min(b, n - 1);  // to is drawn too
        // The line starts at `from` as after a move: the segments before it
        // lie wholly beside the bitmap.
        it.Kind = ikMoveTo;
        it.X1 = se.XAt(from);
        it.Y1 = se.YAt(from);
        DrawItem(it);
        if (it.Color != s.PenColor || it.PenStyle != s.PenStyle || it.FillColor != s.BrushColor) {
          s.Flush();
          s.ForcePen(it.Color, it.PenStyle, it.FillColor);
        }
        bool lost = !std::isfinite(it.Y1);
        TColumn col;
        auto startColumn = [&](uint64_t i, TPoint p) {
          col = TColumn{true, p.X, i, i, i, i, p, p, p, p};
        };
        auto addPoint = [&](uint64_t i, TPoint p) {
          col.Last = p, col.LastAt = i;
          if (p.Y < col.Top.Y) col.Top = p, col.TopAt = i;
          if (p.Y > col.Bottom.Y) col.Bottom = p, col.BottomAt = i;
        };
        // A column the line leaves to another: first, extremes, last.
        auto drawColumn = [&] {
          const bool topFirst = col.TopAt <= col.BottomAt;
          for (const TPoint p : {col.First, topFirst ? col.Top : col.Bottom,
                                 topFirst ? col.Bottom : col.Top, col.Last})
            s.AppendDistinct(p);
          col.Active = false;
        };
        // A column where the line ends: every point.
        auto drawColumnPoints = [&] {
          for (uint64_t k = col.FirstAt; k <= col.LastAt; ++k) s.AppendDistinct(point(k));
          col.Active = false;
        };
        if (!lost) startColumn(from, point(from));
        uint64_t i = from + 1;
        while (i <= to) {
          // A whole block in one column, of finite points: from its summary.
          uint64_t len = 0;
          int level = se.StartsBlock(i) ? TSeries::Levels - 1 : -1;
          for (; level >= 0; --level) {
            len = se.WholeBlockAt(level, i);
            if (len == 0 || i + len - 1 > to) continue;
            const TSeriesBlocks& blocks = se.Blocks(level);
            const auto k = static_cast<size_t>(se.Slot(i) >> TSeries::Shift[level]);
            if (!(blocks.Flags[k] & TSeriesBlocks::FlagAllFinite)) continue;
            if ((m.LogY && !(blocks.MinY[k] > 1e-100)) || (m.LogX && !(se.XAt(i) > 1e-100)))
              continue;
            const int32_t x0 = columnOf(i), x1 = columnOf(i + len - 1);
            if (x0 != x1) continue;
            const uint64_t minAt = i + blocks.MinYAt[k], maxAt = i + blocks.MaxYAt[k];
            const TPoint lo = point(minAt), hi = point(maxAt);
            const bool loIsTop = lo.Y <= hi.Y;
            const TPoint top = loIsTop ? lo : hi, bottom = loIsTop ? hi : lo;
            const uint64_t topAt = loIsTop ? minAt : maxAt, bottomAt = loIsTop ? maxAt : minAt;
            if (lost) {
              lost = false;
              s.Flush();
              const TPoint p = point(i);
              s.Current = p;
              c.MoveTo(p.X, p.Y);
              startColumn(i, p);
            } else if (!col.Active || col.X != x0) {
              if (col.Active) drawColumn();
              startColumn(i, point(i));
            }
            if (top.Y < col.Top.Y) col.Top = top, col.TopAt = topAt;
            if (bottom.Y > col.Bottom.Y) col.Bottom = bottom, col.BottomAt = bottomAt;
            col.Last = point(i + len - 1);
            col.LastAt = i + len - 1;
            break;
          }
          if (level >= 0) {
            i += len;
            continue;
          }
          // A group of 16 finite points in one column: its first, lowest,
          // highest and last points stand for it.
          uint32_t lowAt, highAt;
          if (i + 15 <= to && !lost && col.Active && se.WholeGroupAt(i, lowAt, highAt) &&
              !(m.LogY && !(std::min(se.YAt(i + lowAt), se.YAt(i + highAt)) > 1e-100)) &&
              !(m.LogX && !(se.XAt(i) > 1e-100))) {
            const int32_t x0 = columnOf(i);
            if (columnOf(i + 15) == x0) {
              if (x0 != col.X) {
                drawColumn();
                startColumn(i, point(i));
              }
              for (uint64_t at : {i + lowAt, i + highAt}) addPoint(at, point(at));
              addPoint(i + 15, point(i + 15));
              i += 16;
              continue;
            }
          }
          const double y = se.YAt(i);
          if (!std::isfinite(y)) {  // the line ends here, and starts again at the next finite point
            if (col.Active) drawColumnPoints();
            s.Flush();
            lost = true;
          } else {
            const TPoint p = point(i);
            if (lost) {
              lost = false;
              s.Flush();
              s.Current = p;
              c.MoveTo(p.X, p.Y);
              startColumn(i, p);
            } else if (col.Active && col.X == p.X) {
              addPoint(i, p);
            } else {
              if (col.Active) drawColumn();
              startColumn(i, p);
            }
          }
          ++i;
        }
        if (col.Active) {
          if (to == n - 1)
            drawColumnPoints();  // the data ends in this column
          else
            drawColumn();  // beside the bitmap: the line goes on from it
        }
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

    if (se.Symbol() >= 0) {
      const TScaleProps& sx = ScalePropsX(layer);
      const TScaleProps& sy = ScalePropsY(layer);
      const double x0 = std::min(sx.RangeLow(), sx.RangeHigh()),
                   x1 = std::max(sx.RangeLow(), sx.RangeHigh());
      const double y0 = std::min(sy.RangeLow(), sy.RangeHigh()),
                   y1 = std::max(sy.RangeLow(), sy.RangeHigh());
      // Marks are drawn only inside the ranges: sorted data reads only those
      // points whose x lies inside.
      uint64_t from = 0, to = n;
      if (sorted) {
        from = se.LowerBoundX(x0, 0, n);
        to = TSeries::FirstWhere(from, n, [&](uint64_t i) { return se.XAt(i) > x1; });
      }
      const int32_t symbol = se.Symbol();
      if (DirectSquares && !FAvoidDuplicateMarks && symbol >= 7 && symbol <= 9 &&
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
        const int64_t h = symbol - 6;
        bool drawn = false;
        for (uint64_t i = from; i < to; ++i) {
          const double x = se.XAt(i), y = se.YAt(i);
          if (!(x >= x0 && x <= x1 && y >= y0 && y <= y1)) continue;
          const TPoint p = MapToBitmap(m, x, y, ml, mt);
          const int64_t l = int64_t{p.X} - h, t = int64_t{p.Y} - h;
          if (l >= 0 && t >= 0 && l + 2 * h + 1 <= surface.Width &&
              t + 2 * h + 1 <= surface.Height) {
            uint32_t* row = surface.Row(static_cast<int32_t>(t)) + l;
            for (int64_t r = 0; r <= 2 * h; ++r, row += surface.Width)
              for (int64_t k = 0; k <= 2 * h; ++k) row[k] = paint.Pixel;
          } else {
            raster::FillRect(surface, l, t, l + 2 * h + 1, t + 2 * h + 1, paint);
          }
          drawn = true;
        }
        if (drawn) {
          // As the mark routine leaves it: the brush solid, in its colour.
          if (c.Brush().Style() != TBrushStyle::bsSolid) c.Brush().SetColor(c.Brush().Color());
          s.SetPenColor(se.Color());
          s.SetPenStyle(se.PenStyle());
        }
        ForgetLastMark();
      } else {
        it.Kind = ikMark;
        it.Symbol = static_cast<uint8_t>(symbol);
        for (uint64_t i = from; i < to; ++i) {
          it.X1 = se.XAt(i);
          it.Y1 = se.YAt(i);
          DrawItem(it);
        }
      }
    }
  }
}

}  // namespace vexa
