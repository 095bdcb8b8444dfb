// The display-list renderer: every item kind drawn into the data-area
// bitmap with cached pen, brush and font state, runs of line-to items
// collected into polylines, duplicate marks suppressed, then the text
// labels and the closing frame.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "kelvo/base/Marks.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {

using render::Clamp32;
using render::ClampFar;
using render::RoundOffset;
using render::TRenderState;

bool Between(double v, double a, double b) { return (v >= a && v <= b) || (v >= b && v <= a); }

// Whether [lo, hi] meets the closed interval between a and b.
bool Overlaps(double lo, double hi, double a, double b) {
  return !(hi < std::min(a, b) || lo > std::max(a, b));
}

}  // namespace

void TCustomKelvo::RenderDisplayList(TBitmap& Bitmap) {
  TCanvas& c = Bitmap.Canvas();
  c.Pen().SetMode(TPenMode::pmCopy);
  // Filled squares may be written straight into the bitmap, except while a
  // recorder is to see every shape.
  // (At a device scale marks take the mark routine, which scales them.)
  const bool identity = DeviceScale().Identity();
  const bool directSquares = FRenderShortcuts && !TCanvasRecorder::Active() && identity;
  // 1. The duplicate-mark grid, one cell per device pixel plus a rim of d cells.
  const int64_t d = DevLen(FMinDupMarkDist);
  const int64_t gridW = int64_t{DeviceScale().Side(Width())} + 2 * d,
                gridH = int64_t{DeviceScale().Side(Height())} + 2 * d;
  if (FAvoidDuplicateMarks)
    FDupGrid.assign(static_cast<size_t>(std::max<int64_t>(gridW * gridH, 0)), -1);
  auto cell = [&](int64_t x, int64_t y) -> int32_t* {
    if (x < 0 || y < 0 || x >= gridW || y >= gridH) return nullptr;
    return &FDupGrid[static_cast<size_t>(y * gridW + x)];
  };
  // 2.
  {
    const TColor brush = c.Brush().Color(), pen = c.Pen().Color();
    if (OnBeforeRenderData) OnBeforeRenderData(this, c, DevPos(FMarginTop), DevPos(FMarginLeft));
    c.Brush().SetColor(brush);
    c.Pen().SetColor(pen);
  }
  // 3.
  if (FGridStyle != GridStyleType::gsNone) DrawGrid(c);
  // 4. Items and series are drawn smooth on request; the grid before and
  // the labels, legend and frame after them stay crisp.
  // Every paint starts from the canvas' first font: what a text item or a
  // label of the last paint left there must not reach this paint's
  // character marks.
  static const TFont StartFont;
  c.SetFont(StartFont);
  TRenderState s(c, FChartColor, FLineWidth);
  struct TSmooth {
    TCanvas& C;
    ~TSmooth() { C.SetAntiAliased(false); }
  } smooth{c};
  c.SetAntiAliased(FAntiAliased);
  // Device pixels throughout: the data bitmap's origin, the mapping onto
  // it, and every length of an item by the snapping rule.
  const int32_t ml = DevPos(FMarginLeft), mt = DevPos(FMarginTop), one = DevLen(1);
  const TLayerMapping* const maps = identity ? FMapping.data() : FDeviceMapping.data();
  auto map = [&](int32_t layer, double x, double y) {
    return render::MapToBitmap(maps[static_cast<size_t>(std::clamp(layer, 1, LayerCount))], x, y,
                               ml, mt);
  };
  auto devicePixel = [&](int32_t layer, double x, double y, int32_t& px, int32_t& py) {
    maps[static_cast<size_t>(std::clamp(layer, 1, LayerCount))].Map(x, y, px, py);
  };
  auto toBitmap = [&](int32_t px, int32_t py) {
    ClipPixel(px, py);
    return TPoint{ClampFar(int64_t{px} - ml), ClampFar(int64_t{py} - mt)};
  };
  auto dot = [&](TPoint p, TColor color) { DrawDot(c, p.X, p.Y, color); };
  // Both corners one pixel: that pixel in the pen colour; else the larger
  // x and y grow by one so the shape covers both corner pixels.
  auto pixelOrBox = [&](TPoint a, TPoint b, bool ellipse) {
    if (a == b) {
      dot(a, s.PenColor);
      return;
    }
    (b.X > a.X ? b.X : a.X) += one;
    (b.Y > a.Y ? b.Y : a.Y) += one;
    if (ellipse)
      c.Ellipse(a.X, a.Y, b.X, b.Y);
    else
      c.Rectangle(a.X, a.Y, b.X, b.Y);
  };
  auto shapeColours = [&](const TDrawItem& it) {
    s.SetPenColor(it.Color);
    s.SetBrushColor(it.FillColor);
    s.SetPenStyle(it.PenStyle);
    if (it.Transparent) {
      c.Brush().SetStyle(TBrushStyle::bsClear);
    } else {
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      c.Brush().SetColor(it.FillColor);
    }
  };
  auto text = [&](const TDrawItem& it, TPoint p) {
    s.SetFontColor(it.Color);
    c.Font().SetStyle(FTextFontStyle);
    c.Font().SetSize(it.Param1);
    s.SetBrushColor(FTextBkColor);
    c.Brush().SetStyle(FTextBkStyle == TTextBkg::tbSolid ? TBrushStyle::bsSolid
                                                         : TBrushStyle::bsClear);
    const std::string_view t = it.Text.View();
    const int32_t w = c.TextWidth(t), h = c.TextHeight(t);
    int64_t x = p.X, y = int64_t{p.Y} - h / 2;
    if (it.Symbol == 1) x -= w;
    if (it.Symbol == 2) x -= w / 2;
    c.TextOut(Clamp32(x), Clamp32(y), t);
  };

  // 5.
  struct TLastMark {
    TPoint At{};
    uint8_t Symbol = 0;
    TColor Color = 0;
    TPenStyle Style = TPenStyle::psSolid;
    int32_t Width = -1;  // none yet
    bool operator==(const TLastMark&) const = default;
  } lastMark;
  // Set by a move or line to a point that is not finite: no line goes from
  // it, and the next finite line-to point moves there instead.
  bool penLost = false;
  auto drawItem = [&](const TDrawItem& it) {
    if (!ClassVisible(it.ItemClass) || !LayerVisible(it.Layer)) return;
    if (it.Kind != ikMark) lastMark = {};
    if (!HasFiniteCoordinates(it)) [[unlikely]] {
      if (it.Kind == ikLineTo || it.Kind == ikMoveTo || it.Kind == ikMoveRel ||
          it.Kind == ikLineRel) {
        s.Flush();
        penLost = true;
      }
      return;
    }
    if (it.LineWidth != s.PenWidth) {
      s.Flush();
      s.PenWidth = it.LineWidth;
      c.Pen().SetWidth(it.LineWidth);
    }
    const int32_t layer = it.Layer;
    switch (it.Kind) {
      case ikMark: {
        s.Flush();
        const TScaleProps& sx = ScalePropsX(layer);
        const TScaleProps& sy = ScalePropsY(layer);
        if (!Between(it.X1, sx.RangeLow(), sx.RangeHigh()) ||
            !Between(it.Y1, sy.RangeLow(), sy.RangeHigh()))
          break;
        s.SetPenColor(it.Color);
        s.SetPenStyle(it.PenStyle);
        const TPoint p = map(layer, it.X1, it.Y1);
        if (FAvoidDuplicateMarks) {
          const int32_t* here = cell(p.X + d, p.Y + d);
          if (here && *here == it.Symbol) break;
          for (int64_t i = -d; i <= d; ++i)
            for (int64_t j = -d; j <= d; ++j)
              if (int32_t* k = cell(p.X + d + i, p.Y + d + j)) *k = it.Symbol;
        } else if (FRenderShortcuts) {
          // The same mark again on the same pixel, nothing drawn in between:
          // copy-mode shapes drawn twice are drawn once (text marks blend, so
          // they are drawn again).
          const TLastMark here{p, it.Symbol, it.Color, it.PenStyle, it.LineWidth};
          if (lastMark == here && it.Symbol < 52) break;
          lastMark = here;
        }
        if (directSquares && it.Symbol >= 7 && it.Symbol <= 9 && it.LineWidth == 1) {
          // The filled squares: outline and inside in the pen colour whatever
          // its style, the box of the mark routine, written straight in.
          FillSquareMark(c.Surface(), it.Symbol, p.X, p.Y,
                         raster::TPaint{raster::PixelFromColor(ColorToRGB(it.Color)), false});
          // The mark routine leaves the brush solid in its colour: so here.
          if (c.Brush().Style() != TBrushStyle::bsSolid) c.Brush().SetColor(c.Brush().Color());
          break;
        }
        DrawMark(c, it.Symbol, p.X, p.Y);
        break;
      }
      case ikLine: {
        s.Flush();
        s.SetPenColor(it.Color);
        s.SetPenStyle(it.PenStyle);
        s.SetBrushColor(it.FillColor);
        const TPoint a = map(layer, it.X1, it.Y1), b = map(layer, it.X2, it.Y2);
        if (a == b) {
          dot(a, it.Color);
        } else {
          c.MoveTo(a.X, a.Y);
          c.LineTo(b.X, b.Y);
        }
        break;
      }
      case ikLineTo: {
        const TPoint p = map(layer, it.X1, it.Y1);
        if (penLost) [[unlikely]] {
          penLost = false;
          s.Flush();
          s.Current = p;
          c.MoveTo(p.X, p.Y);
          break;
        }
        if (it.Color != s.PenColor || it.PenStyle != s.PenStyle || it.FillColor != s.BrushColor) {
          s.Flush();
          s.ForcePen(it.Color, it.PenStyle, it.FillColor);
        }
        s.Append(p);
        break;
      }
      case ikRectangle:
        s.Flush();
        shapeColours(it);
        pixelOrBox(map(layer, it.X1, it.Y1), map(layer, it.X2, it.Y2), false);
        break;
      case ikBevelBox: {
        s.Flush();
        const TColor f = it.FillColor;
        s.SetPenStyle(it.PenStyle);
        s.SetPenColor(f);
        s.SetBrushColor(f);
        TPoint a = map(layer, it.X1, it.Y1), b = map(layer, it.X2, it.Y2);
        const int32_t x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
        const int32_t y1 = std::max(a.Y, b.Y), y2 = std::min(a.Y, b.Y);  // y1 is the bottom
        if (x1 == x2 && y1 == y2) {
          dot({x1, y1}, f);
          break;
        }
        c.Rectangle(x1, y1, x2, y2);
        const TColor A = it.FrameColor1, B = it.FrameColor2;
        auto lowered = [&](TColor first, TColor second) {
          s.SetPenColor(first);
          c.MoveTo(x1, y1);
          c.LineTo(x1, y2);
          c.LineTo(x2, y2);
          s.SetPenColor(second);
          c.LineTo(x2, y1);
          c.LineTo(x1, y1);
        };
        auto embossed = [&](TColor first, TColor second) {
          s.SetPenColor(first);
          c.MoveTo(x1 + one, y1);
          c.LineTo(x1 + one, y2 + one);
          c.LineTo(x2, y2 + one);
          c.LineTo(x2, y1);
          c.LineTo(x1 + one, y1);
          s.SetPenColor(second);
          c.MoveTo(x1, y1 - one);
          c.LineTo(x1, y2);
          c.LineTo(x2 - one, y2);
          c.LineTo(x2 - one, y1 - one);
          c.LineTo(x1, y1 - one);
        };
        switch (it.FrameStyle) {
          case TFrameStyle::fsLowered:
            lowered(A, B);
            break;
          case TFrameStyle::fsRaised:
            lowered(B, A);
            break;
          case TFrameStyle::fsEmbossed:
            embossed(A, B);
            break;
          case TFrameStyle::fsEngraved:
            embossed(B, A);
            break;
          default:
            break;
        }
        break;
      }
      case ikBar3D: {
        s.Flush();
        s.SetPenColor(it.Color);
        s.SetBrushColor(it.FillColor);
        s.SetPenStyle(it.PenStyle);
        int32_t ax, ay, bx, by;
        devicePixel(layer, it.X1, it.Y1, ax, ay);
        ClipPixel(ax, ay);
        devicePixel(layer, it.X2, it.Y2, bx, by);
        ClipPixel(bx, by);
        if (ax > bx) std::swap(ax, bx);
        if (ay > by) std::swap(ay, by);  // ay is the top
        int32_t x1 = ClampFar(int64_t{ax} - ml), y1 = ClampFar(int64_t{ay} - mt),
                x2 = ClampFar(int64_t{bx} - ml), y2 = ClampFar(int64_t{by} - mt);
        const long double angle =
            static_cast<long double>(it.Param1) * std::numbers::pi_v<long double> / 180;
        // Kept to +-1e9 after scaling, so the faces' corner sums stay in range.
        const int32_t dx = ClampFar(DevLen(RoundOffset(std::cos(angle) * it.Param2)));
        const int32_t dy = -ClampFar(DevLen(RoundOffset(std::sin(angle) * it.Param2)));
        if (it.Param1 > 90) std::swap(x1, x2);  // the side face moves to the left
        const TPoint top[] = {{x1, y1}, {x1 + dx, y1 + dy}, {x2 + dx, y1 + dy}, {x2, y1}};
        const TPoint side[] = {{x2 + dx, y1 + dy}, {x2, y1}, {x2, y2}, {x2 + dx, y2 + dy}};
        c.SetAntiAliased(false);  // bars are crisp
        c.Polygon(top);
        c.Polygon(side);
        (x2 > x1 ? x2 : x1) += one;
        (y2 > y1 ? y2 : y1) += one;
        c.Rectangle(x1, y1, x2, y2);
        c.SetAntiAliased(FAntiAliased);
        break;
      }
      case ikText:
        s.Flush();
        text(it, map(layer, it.X1, it.Y1));
        break;
      case ikTextOffset: {
        s.Flush();
        int32_t px, py;
        devicePixel(layer, it.X1, it.Y1, px, py);
        text(it, toBitmap(Clamp32(int64_t{px} + DevLen(RoundOffset(it.X2))),
                          Clamp32(int64_t{py} + DevLen(RoundOffset(it.Y2)))));
        break;
      }
      case ikMoveTo: {
        const TPoint p = map(layer, it.X1, it.Y1);
        penLost = false;
        s.Flush();
        s.Current = p;
        c.MoveTo(p.X, p.Y);
        break;
      }
      case ikEllipse:
        s.Flush();
        shapeColours(it);
        pixelOrBox(map(layer, it.X1 - it.X2, it.Y1 + it.Y2),
                   map(layer, it.X1 + it.X2, it.Y1 - it.Y2), true);
        break;
      case ikMoveRel: {
        s.Flush();
        if (penLost) break;  // relative to a point that is not finite
        const TPoint pen = c.PenPos();
        const TPoint p{ClampFar(int64_t{pen.X} + DevLen(RoundOffset(it.X1))),
                       ClampFar(int64_t{pen.Y} + DevLen(RoundOffset(it.Y1)))};
        s.Current = p;
        c.MoveTo(p.X, p.Y);
        break;
      }
      case ikLineRel: {
        s.Flush();
        if (penLost) break;
        const TPoint pen = c.PenPos();
        const TPoint p{ClampFar(int64_t{pen.X} + DevLen(RoundOffset(it.X1))),
                       ClampFar(int64_t{pen.Y} + DevLen(RoundOffset(it.Y1)))};
        s.ForcePen(it.Color, it.PenStyle, it.FillColor);
        c.LineTo(p.X, p.Y);
        dot(p, it.Color);
        break;
      }
      case ikArrow: {
        s.Flush();
        s.SetPenColor(it.Color);
        s.SetBrushColor(it.FillColor);
        s.SetPenStyle(it.PenStyle);
        c.Brush().SetStyle(it.Transparent ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
        const TPoint p1 = map(layer, it.X1, it.Y1), p2 = map(layer, it.X2, it.Y2);
        if (p1 == p2) {
          dot(p1, it.Color);
          break;
        }
        c.MoveTo(p1.X, p1.Y);
        c.LineTo(p2.X, p2.Y);
        const int32_t len = DevLen(it.Param1);
        if (len <= 0) break;
        const long double pi = std::numbers::pi_v<long double>;
        const long double dxp = static_cast<long double>(p2.X) - p1.X,
                          dyp = static_cast<long double>(p2.Y) - p1.Y;
        long double a;
        if (dxp == 0)
          a = dyp > 0 ? pi : 2 * pi;
        else
          a = std::atan(dyp / dxp) + (dxp < 0 ? 3 * pi / 2 : pi / 2);
        const long double spread = pi / 9;  // 20 degrees
        const TPoint A{Clamp32(int64_t{p2.X} - RoundOffset(std::sin(a + spread) * len)),
                       Clamp32(int64_t{p2.Y} + RoundOffset(std::cos(a + spread) * len))};
        const TPoint B{Clamp32(int64_t{p2.X} - RoundOffset(std::sin(a - spread) * len)),
                       Clamp32(int64_t{p2.Y} + RoundOffset(std::cos(a - spread) * len))};
        if (it.Transparent) {
          c.LineTo(A.X, A.Y);
          c.MoveTo(p2.X, p2.Y);
          c.LineTo(B.X, B.Y);
        } else {
          const TPoint head[] = {p2, A, B};
          c.Polygon(head);
        }
        break;
      }
      case ikPixelBox: {
        s.Flush();
        shapeColours(it);
        int32_t cx, cy;
        devicePixel(layer, it.X1, it.Y1, cx, cy);
        const int32_t hw = DevLen(RoundOffset(it.X2)), hh = DevLen(RoundOffset(it.Y2));
        pixelOrBox(toBitmap(Clamp32(int64_t{cx} - hw), Clamp32(int64_t{cy} - hh)),
                   toBitmap(Clamp32(int64_t{cx} + hw), Clamp32(int64_t{cy} + hh)), false);
        break;
      }
      case ikErrorMark: {
        s.Flush();
        const double e1 = std::fabs(it.X2), e2 = std::fabs(it.Y2);
        const TScaleProps& sx = ScalePropsX(layer);
        const TScaleProps& sy = ScalePropsY(layer);
        if (!Overlaps(it.X1 - e1, it.X1 + e2, sx.RangeLow(), sx.RangeHigh()) ||
            !Overlaps(it.Y1 - e1, it.Y1 + e2, sy.RangeLow(), sy.RangeHigh()))
          break;
        s.SetPenColor(it.Color);
        s.SetPenStyle(it.PenStyle);
        s.SetBrushColor(it.FillColor);
        const TPoint centre = map(layer, it.X1, it.Y1);
        if (it.Param1 != 0) {
          for (double ex : {it.X1 - e1, it.X1 + e2}) {
            const TPoint e = map(layer, ex, it.Y1);
            c.MoveTo(centre.X, centre.Y);
            c.LineTo(e.X, centre.Y);
            c.MoveTo(e.X, centre.Y - DevLen(3));
            c.LineTo(e.X, centre.Y + DevLen(4));
          }
        } else {
          for (double ey : {it.Y1 - e1, it.Y1 + e2}) {
            const TPoint e = map(layer, it.X1, ey);
            c.MoveTo(centre.X, centre.Y);
            c.LineTo(centre.X, e.Y);
            c.MoveTo(centre.X - DevLen(3), e.Y);
            c.LineTo(centre.X + DevLen(4), e.Y);
          }
        }
        DrawMark(c, it.Symbol, centre.X, centre.Y);
        break;
      }
      default:
        break;  // kinds 0, 10, 11 and above 17 draw nothing
    }
  };

  // Long runs of line-to items. A solid one-pixel line touches, within one
  // pixel column, exactly the pixels between the lowest and the highest of
  // the consecutive points in that column, joined to the neighbouring
  // columns by the segments from the first and to the last of them; only
  // the last point's own pixel may be left out, and the segment that later
  // leaves that pixel draws it. So consecutive summary blocks
  // that fall into one column are drawn as first point, the two extremes
  // (in their order) and last point: the same pixels in the same colours.
  // Where the line does not go on from the last pixel to another one (the
  // run ends there) the items are drawn one by one.
  const std::span<const TDrawItem> items = FList.Items();
  const size_t n = items.size();
  // The reduction is exact for a line one device pixel wide: aliased, or
  // smooth at a ratio of 1. A smooth band wider than a pixel reaches into
  // the neighbouring columns, and every point of it counts.
  const bool columnsExact = !FAntiAliased || one == 1;
  const TLineSummary* summary = FRenderShortcuts && columnsExact ? FList.Summary() : nullptr;
  struct TColumnRun {
    bool Active = false;
    size_t First = 0, End = 0;  // items [First, End)
    TLineBlock Attributes;
    TPoint Start, Last, Top, Bottom;
    size_t TopAt = 0, BottomAt = 0;
  } run;
  // The column block of up to 32,768 items starting at item i, if any.
  auto columnBlock = [&](size_t i, TColumnRun& b) {
    for (int level = TLineSummary::Levels - 1; level >= 0; --level) {
      const size_t size = size_t{1} << TLineSummary::Shift[level];
      if ((i & (size - 1)) != 0) continue;
      const TLineBlock* k = summary->BlockAt(level, i);
      if (!k || !k->Uniform) continue;
      if (k->LineWidth != 1 || k->PenStyle != TPenStyle::psSolid || !ClassVisible(k->ItemClass) ||
          !LayerVisible(k->Layer))
        return false;
      const TLayerMapping& m = maps[static_cast<size_t>(std::clamp(k->Layer, 1, LayerCount))];
      // Logarithmic axes are monotone only above their floor.
      if ((m.LogX && !(k->MinX > 1e-100)) || (m.LogY && !(k->MinY > 1e-100))) continue;
      // Both axes map independently: the extremes' pixels need no items.
      const TPoint lo = map(k->Layer, k->MinX, k->MinY), hi = map(k->Layer, k->MaxX, k->MaxY);
      if (lo.X != hi.X) continue;
      b.First = i;
      b.End = i + size;
      b.Attributes = *k;
      b.Start = map(k->Layer, k->FirstX, k->FirstY);
      b.Last = map(k->Layer, k->LastX, k->LastY);
      const bool loIsTop = lo.Y <= hi.Y;
      b.Top = loIsTop ? lo : hi;
      b.TopAt = loIsTop ? k->MinYAt : k->MaxYAt;
      b.Bottom = loIsTop ? hi : lo;
      b.BottomAt = loIsTop ? k->MaxYAt : k->MinYAt;
      return true;
    }
    return false;
  };
  // Whether the line goes on from the run's last pixel to another pixel:
  // the points after it stay in that pixel for a while, then one leaves it.
  auto laterLeavesLast = [&](size_t next) {
    for (size_t k = next; k < n && k < next + 64; ++k) {
      const TDrawItem& it = items[k];
      if (it.Kind != ikLineTo || it.LineWidth != 1 || it.PenStyle != TPenStyle::psSolid ||
          !ClassVisible(it.ItemClass) || !LayerVisible(it.Layer) || !HasFiniteCoordinates(it))
        return false;
      if (map(it.Layer, it.X1, it.Y1) != run.Last) return true;
    }
    return false;
  };
  auto flushRun = [&](size_t next) {
    run.Active = false;
    lastMark = {};
    if (!laterLeavesLast(next)) {
      for (size_t k = run.First; k < run.End; ++k) drawItem(items[k]);
      return;
    }
    const TDrawItem& it = items[run.First];
    if (it.LineWidth != s.PenWidth) {
      s.Flush();
      s.PenWidth = it.LineWidth;
      c.Pen().SetWidth(it.LineWidth);
    }
    if (it.Color != s.PenColor || it.PenStyle != s.PenStyle || it.FillColor != s.BrushColor) {
      s.Flush();
      s.ForcePen(it.Color, it.PenStyle, it.FillColor);
    }
    if (penLost) {  // the run starts a new line at its first point
      penLost = false;
      s.Flush();
      s.Current = run.Start;
      c.MoveTo(run.Start.X, run.Start.Y);
    }
    const bool topFirst = run.TopAt <= run.BottomAt;
    for (const TPoint p :
         {run.Start, topFirst ? run.Top : run.Bottom, topFirst ? run.Bottom : run.Top, run.Last})
      s.AppendDistinct(p);
  };
  // After a filled square drawn the general way (item First), the squares
  // that follow with the same attributes, in one tight loop: the same range
  // test, mapping, repeat test and box as the general path. Returns the
  // index after them.
  auto squareRun = [&](size_t First, size_t Next) -> size_t {
    const TDrawItem& a = items[First];
    if (!directSquares || FAvoidDuplicateMarks || a.Kind != ikMark || a.Symbol < 7 ||
        a.Symbol > 9 || a.LineWidth != 1 || !ClassVisible(a.ItemClass) || !LayerVisible(a.Layer))
      return Next;
    const TScaleProps& sx = ScalePropsX(a.Layer);
    const TScaleProps& sy = ScalePropsY(a.Layer);
    // Between's test with the ends in order (NaN fails it either way).
    const double x0 = std::min(sx.RangeLow(), sx.RangeHigh()),
                 x1 = std::max(sx.RangeLow(), sx.RangeHigh());
    const double y0 = std::min(sy.RangeLow(), sy.RangeHigh()),
                 y1 = std::max(sy.RangeLow(), sy.RangeHigh());
    const TLayerMapping& m = maps[static_cast<size_t>(std::clamp(a.Layer, 1, LayerCount))];
    const raster::TSurface surface = c.Surface();
    const raster::TPaint paint{raster::PixelFromColor(ColorToRGB(a.Color)), false};
    // A square drawn again on its own pixel changes nothing: no repeat test
    // in here; the general path learns the last one drawn.
    TPoint last{};
    bool drawn = false;
    size_t k = Next;
    for (; k < n; ++k) {
      const TDrawItem& it = items[k];
      if (it.Kind != ikMark || it.Symbol != a.Symbol || it.Color != a.Color ||
          it.PenStyle != a.PenStyle || it.LineWidth != 1 || it.Layer != a.Layer ||
          it.ItemClass != a.ItemClass)
        break;
      if (!(it.X1 >= x0 && it.X1 <= x1 && it.Y1 >= y0 && it.Y1 <= y1)) continue;
      // map(), spelt out: the lambda call is not inlined in this loop.
      int32_t px, py;
      m.Map(it.X1, it.Y1, px, py);
      ClipPixel(px, py);
      const TPoint p{ClampFar(int64_t{px} - ml), ClampFar(int64_t{py} - mt)};
      last = p;
      drawn = true;
      FillSquareMark(surface, a.Symbol, p.X, p.Y, paint);
    }
    if (drawn) lastMark = TLastMark{last, a.Symbol, a.Color, a.PenStyle, a.LineWidth};
    return k;
  };
  TColumnRun b;  // filled by columnBlock; outside the loop, so not cleared per item
  for (size_t i = 0; i < n;) {
    if (summary && (i & 7) == 0 && columnBlock(i, b)) {
      if (run.Active && b.Start.X == run.Start.X && b.Attributes.SameAttributes(run.Attributes)) {
        run.End = b.End;
        run.Last = b.Last;
        if (b.Top.Y < run.Top.Y) run.Top = b.Top, run.TopAt = b.TopAt;
        if (b.Bottom.Y > run.Bottom.Y) run.Bottom = b.Bottom, run.BottomAt = b.BottomAt;
      } else {
        if (run.Active) flushRun(i);
        run = b;
        run.Active = true;
      }
      i = b.End;
      continue;
    }
    if (run.Active) flushRun(i);
    drawItem(items[i]);
    ++i;
    i = squareRun(i - 1, i);
  }
  if (run.Active) flushRun(n);
  // The plottables, after the items.
  if (!FPlottables->empty())
    RenderPlottables(
        c, s, drawItem, [&] { lastMark = {}; }, directSquares);
  // 6.
  s.Flush();
  c.SetAntiAliased(false);
  c.Pen().SetWidth(1);
  // 7., 8.
  DrawTextLabels(c);
  if (OnDataRendered) OnDataRendered(this, c, mt, ml);
  PaintLegend(c, ml, mt, true);
  // 9. The frame closes the data area on all four sides.
  c.Pen().SetColor(FChartFrameColor);
  c.Pen().SetStyle(TPenStyle::psSolid);
  const int32_t W = Clamp32(int64_t{DevPos(int64_t{Width()} - FMarginRight - FShadowWidth)} - ml);
  const int32_t H = Clamp32(int64_t{DevPos(int64_t{Height()} - FMarginBottom - FShadowWidth)} - mt);
  c.MoveTo(0, 0);
  c.LineTo(W, 0);
  c.LineTo(W, H);
  c.LineTo(0, H);
  c.LineTo(0, 0);
}

void TCustomKelvo::RenderPlottables(TCanvas& c, render::TRenderState& s,
                                    const std::function<void(const TDrawItem&)>& DrawItem,
                                    const std::function<void()>& ForgetLastMark,
                                    bool DirectPixels) {
  TPlotContext context{c,
                       s,
                       *this,
                       DevPos(FMarginLeft),
                       DevPos(FMarginTop),
                       DrawItem,
                       ForgetLastMark,
                       FRenderShortcuts,
                       DirectPixels};
  for (const auto& p : *FPlottables) p->Draw(context);
}

void TCustomKelvo::DrawTextLabels(TCanvas& c) {
  for (int32_t i = TextLabelCount; i >= 1; --i) {
    const TTextLabel& l = TextLabels(i);
    if (l.Mode() == TTxtLblMode::tlOff || !LayerVisible(l.Layer()) || !l.Visible()) continue;
    // Device pixels: a world position by the device mapping, a client one
    // mapped straight, the box's gaps by the snapping rule.
    int32_t px = 0, py = 0;
    if (l.AttachToData() != TTxtLblAttachMode::tlamNone)
      DeviceMapping(l.Layer()).Map(l.PosX(), l.PosY(), px, py);
    int64_t x = l.AttachToData() == TTxtLblAttachMode::tlamNone ||
                        l.AttachToData() == TTxtLblAttachMode::tlamYOnly
                    ? DevPos(RoundClamped(l.PosX()))
                    : px;
    int64_t y = l.AttachToData() == TTxtLblAttachMode::tlamNone ||
                        l.AttachToData() == TTxtLblAttachMode::tlamXOnly
                    ? DevPos(RoundClamped(l.PosY()))
                    : py;
    c.SetFont(l.Font());
    c.Pen().SetColor(l.ColorBorder());
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Brush().SetColor(l.ColorBkg());
    c.Brush().SetStyle(l.Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    const std::string& caption = l.Caption();
    // Lines between line feeds.
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
      const size_t lf = caption.find('\n', start);
      lines.push_back(std::string_view(caption).substr(
          start, lf == std::string::npos ? std::string::npos : lf - start));
      if (lf == std::string::npos) break;
      start = lf + 1;
    }
    const int64_t n = static_cast<int64_t>(lines.size());
    int64_t K = 0;
    for (std::string_view line : lines) K = std::max<int64_t>(K, c.TextWidth(line));
    if (K == 0) K = c.TextWidth(caption);
    const int64_t L = c.TextHeight(caption);
    if (l.VerticalAlignment() == TVerticalAlignment::vaTop) y += L * n;
    if (l.VerticalAlignment() == TVerticalAlignment::vaCenter) y += (L * n) / 2;
    if (l.Alignment() == TAlignment::taRightJustify) x -= K;
    if (l.Alignment() == TAlignment::taCenter) x -= K / 2;
    // Bitmap coordinates.
    x -= DevPos(FMarginLeft);
    y -= DevPos(FMarginTop);
    const int64_t four = DevLen(4), two = DevLen(2);
    const auto box = [&](int64_t dx, int64_t dy) {
      c.Rectangle(Clamp32(x - four + dx), Clamp32(y - L * n - two + dy), Clamp32(x + K + four + dx),
                  Clamp32(y + two + dy));
    };
    switch (l.Mode()) {
      case TTxtLblMode::tlsimple:
        if (!l.Transparent()) {
          c.Pen().SetColor(l.ColorBkg());
          box(0, 0);
        }
        break;
      case TTxtLblMode::tlBox:
        box(0, 0);
        break;
      case TTxtLblMode::tlUnderline:
        if (!l.Transparent()) {
          c.Pen().SetColor(l.ColorBkg());
          box(0, 0);
        }
        c.Pen().SetColor(l.ColorBorder());
        c.MoveTo(Clamp32(x), Clamp32(y));
        c.LineTo(Clamp32(x + K), Clamp32(y));
        break;
      case TTxtLblMode::tlShadow:
        c.Pen().SetColor(l.ColorShadow());
        c.Brush().SetColor(l.ColorShadow());
        box(DevLen(l.ShadowDx()), DevLen(l.ShadowDy()));
        c.Pen().SetColor(l.ColorBorder());
        c.Brush().SetColor(l.ColorBkg());
        box(0, 0);
        break;
      default:
        break;
    }
    if (n == 1) {
      c.TextOut(Clamp32(x), Clamp32(y - L), caption);
      continue;
    }
    for (int64_t k = 0; k < n; ++k) {
      const int64_t w = c.TextWidth(lines[static_cast<size_t>(k)]);
      const int64_t o = l.Alignment() == TAlignment::taRightJustify ? K - w
                        : l.Alignment() == TAlignment::taCenter     ? (K - w) / 2
                                                                    : 0;
      c.TextOut(Clamp32(x + o), Clamp32(y - L * (n - k)), lines[static_cast<size_t>(k)]);
    }
  }
}

}  // namespace vexa
