// The data area's rendering: the grid, the display list's items (each by
// the item drawer, ItemDrawer.cpp, with the line-run and square-run
// shortcuts here), the plottables, then the text labels, the legend inside
// and the closing frame.
#include <algorithm>
#include <array>
#include <cmath>

#include "kelvo/base/Marks.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/ItemDrawer.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

namespace {

using render::Clamp32;
using render::ClampFar;
using render::TItemDrawer;
using render::TRenderState;

// The display list's items in order, each by the item drawer, with two
// shortcuts that leave the picture as it is:
//
// Long runs of line-to items. A solid one-pixel line touches, within one
// pixel column, exactly the pixels between the lowest and the highest of
// the consecutive points in that column, joined to the neighbouring
// columns by the segments from the first and to the last of them; only
// the last point's own pixel may be left out, and the segment that later
// leaves that pixel draws it. So consecutive summary blocks that fall into
// one column are drawn as first point, the two extremes (in their order)
// and last point: the same pixels in the same colours. Where the line does
// not go on from the last pixel to another one (the run ends there) the
// items are drawn one by one.
//
// Runs of filled squares with the same attributes, in one tight loop.
class TItemWalk {
 public:
  TItemWalk(TCustomKelvo& Chart, TItemDrawer& Drawer, TRenderState& State, TCanvas& Canvas,
            std::span<const TDrawItem> Items, const TLineSummary* Summary, bool DirectSquares)
      : FChart(Chart),
        FDrawer(Drawer),
        s(State),
        c(Canvas),
        FItems(Items),
        FSummary(Summary),
        FDirectSquares(DirectSquares) {}

  void Walk() {
    const size_t n = FItems.size();
    TColumnRun b;  // filled by ColumnBlock; outside the loop, so not cleared per item
    for (size_t i = 0; i < n;) {
      if (FSummary && (i & 7) == 0 && FRun.Active && FRun.Quick) {
        if (const size_t end = TakeInColumn(i); end > i) {
          i = end;
          continue;
        }
      }
      if (FSummary && (i & 7) == 0 && ColumnBlock(i, b)) {
        if (FRun.Active && b.Start.X == FRun.Start.X &&
            b.Attributes.SameAttributes(FRun.Attributes)) {
          Take(b.Attributes, b.End);
        } else {
          if (FRun.Active) FlushRun(i);
          FRun = b;
          FRun.Active = true;
        }
        i = b.End;
        continue;
      }
      if (FRun.Active) FlushRun(i);
      FDrawer.Draw(FItems[i]);
      ++i;
      i = SquareRun(i - 1, i);
    }
    if (FRun.Active) FlushRun(n);
  }

 private:
  // Blocks of items in one pixel column. Pixel y follows y (up or down by
  // the axis' direction, logarithmic axes above their floor), so the run
  // keeps its raw extremes and last point and maps them when drawn.
  struct TColumnRun {
    bool Active = false;
    size_t First = 0, End = 0;  // items [First, End)
    TLineBlock Attributes;      // the first block's; then its extremes and last point
    TPoint Start;
    bool Quick = false;  // Column is the client pixel x for SurelyInColumnX
    int32_t Column = 0;
  };

  // Block K, which ends before item End, joins the run.
  void Take(const TLineBlock& K, size_t End) {
    TLineBlock& a = FRun.Attributes;
    FRun.End = End;
    a.LastX = K.LastX, a.LastY = K.LastY;
    if (K.MinY < a.MinY) a.MinY = K.MinY, a.MinYAt = K.MinYAt;
    if (K.MaxY > a.MaxY) a.MaxY = K.MaxY, a.MaxYAt = K.MaxYAt;
  }

  // The largest block starting at item i whose x surely lies in the run's
  // column, taken into the run without mapping a point: the index after it,
  // or i when there is none.
  size_t TakeInColumn(size_t i) {
    const TLayerMapping& m = FDrawer.LayerMapping(FRun.Attributes.Layer);
    for (int level = TLineSummary::Levels - 1; level >= 0; --level) {
      const size_t size = size_t{1} << TLineSummary::Shift[level];
      if ((i & (size - 1)) != 0) continue;
      const TLineBlock* k = FSummary->BlockAt(level, i);
      if (!k || !k->Uniform) continue;
      if (!k->SameAttributes(FRun.Attributes)) return i;
      if (m.LogY && !(k->MinY > 1e-100)) continue;
      if (!m.SurelyInColumnX(k->MinX, FRun.Column) || !m.SurelyInColumnX(k->MaxX, FRun.Column))
        continue;
      Take(*k, i + size);
      return i + size;
    }
    return i;
  }

  bool Shown(uint8_t Class, int32_t Layer) const {
    return FChart.ClassVisible(Class) && FChart.LayerVisible(Layer);
  }

  // The column block of up to 32,768 items starting at item i, if any.
  bool ColumnBlock(size_t i, TColumnRun& b) const {
    for (int level = TLineSummary::Levels - 1; level >= 0; --level) {
      const size_t size = size_t{1} << TLineSummary::Shift[level];
      if ((i & (size - 1)) != 0) continue;
      const TLineBlock* k = FSummary->BlockAt(level, i);
      if (!k || !k->Uniform) continue;
      if (k->LineWidth != 1 || k->PenStyle != TPenStyle::psSolid || !Shown(k->ItemClass, k->Layer))
        return false;
      const TLayerMapping& m = FDrawer.LayerMapping(k->Layer);
      // Logarithmic axes are monotone only above their floor.
      if ((m.LogX && !(k->MinX > 1e-100)) || (m.LogY && !(k->MinY > 1e-100))) continue;
      // Both axes map independently: the extremes' pixels need no items.
      const TPoint lo = FDrawer.Map(k->Layer, k->MinX, k->MinY),
                   hi = FDrawer.Map(k->Layer, k->MaxX, k->MaxY);
      if (lo.X != hi.X) continue;
      b.First = i;
      b.End = i + size;
      b.Attributes = *k;
      b.Start = FDrawer.Map(k->Layer, k->FirstX, k->FirstY);
      b.Quick = m.QuickX && std::fabs(static_cast<double>(lo.X) + FDrawer.Left()) <
                                TLayerMapping::QuickLimit / 2;
      b.Column = b.Quick ? m.PixelX(k->MinX) : 0;
      return true;
    }
    return false;
  }

  // Whether the line goes on from the run's last pixel to another pixel:
  // the points after it stay in that pixel for a while, then one leaves it.
  bool LaterLeavesLast(size_t Next, TPoint Last) const {
    for (size_t k = Next; k < FItems.size() && k < Next + 64; ++k) {
      const TDrawItem& it = FItems[k];
      if (it.Kind != ikLineTo || it.LineWidth != 1 || it.PenStyle != TPenStyle::psSolid ||
          !Shown(it.ItemClass, it.Layer) || !HasFiniteCoordinates(it))
        return false;
      if (FDrawer.Map(it.Layer, it.X1, it.Y1) != Last) return true;
    }
    return false;
  }

  void FlushRun(size_t Next) {
    FRun.Active = false;
    FDrawer.ForgetLastMark();
    const TLineBlock& a = FRun.Attributes;
    const TPoint last = FDrawer.Map(a.Layer, a.LastX, a.LastY);
    if (!LaterLeavesLast(Next, last)) {
      for (size_t k = FRun.First; k < FRun.End; ++k) FDrawer.Draw(FItems[k]);
      return;
    }
    const TDrawItem& it = FItems[FRun.First];
    if (it.LineWidth != s.PenWidth) {
      s.Flush();
      s.PenWidth = it.LineWidth;
      c.Pen().SetWidth(it.LineWidth);
    }
    if (it.Color != s.PenColor || it.PenStyle != s.PenStyle || it.FillColor != s.BrushColor) {
      s.Flush();
      s.ForcePen(it.Color, it.PenStyle, it.FillColor);
    }
    if (FDrawer.PenLost()) {  // the run starts a new line at its first point
      FDrawer.SetPenLost(false);
      s.Flush();
      s.Current = FRun.Start;
      c.MoveTo(FRun.Start.X, FRun.Start.Y);
    }
    const TPoint lo = FDrawer.Map(a.Layer, a.LastX, a.MinY),
                 hi = FDrawer.Map(a.Layer, a.LastX, a.MaxY);
    const bool loIsTop = lo.Y <= hi.Y;
    const TPoint top = loIsTop ? lo : hi, bottom = loIsTop ? hi : lo;
    const bool topFirst = (loIsTop ? a.MinYAt : a.MaxYAt) <= (loIsTop ? a.MaxYAt : a.MinYAt);
    for (const TPoint p : {FRun.Start, topFirst ? top : bottom, topFirst ? bottom : top, last})
      s.AppendDistinct(p);
  }

  // After a filled square drawn the general way (item First), the squares
  // that follow with the same attributes, in one tight loop: the same range
  // test, mapping, repeat test and box as the general path. Returns the
  // index after them.
  size_t SquareRun(size_t First, size_t Next) {
    const TDrawItem& a = FItems[First];
    if (!FDirectSquares || FChart.AvoidDuplicateMarks() || a.Kind != ikMark || a.Symbol < 7 ||
        a.Symbol > 9 || a.LineWidth != 1 || !Shown(a.ItemClass, a.Layer))
      return Next;
    const TCustomKelvo& chart = FChart;
    const TScaleProps& sx = chart.ScalePropsX(a.Layer);
    const TScaleProps& sy = chart.ScalePropsY(a.Layer);
    // Between's test with the ends in order (NaN fails it either way).
    const double x0 = std::min(sx.RangeLow(), sx.RangeHigh()),
                 x1 = std::max(sx.RangeLow(), sx.RangeHigh());
    const double y0 = std::min(sy.RangeLow(), sy.RangeHigh()),
                 y1 = std::max(sy.RangeLow(), sy.RangeHigh());
    const TLayerMapping& m = FDrawer.LayerMapping(a.Layer);
    const raster::TSurface surface = c.Surface();
    const raster::TPaint paint{raster::PixelFromColor(ColorToRGB(a.Color)), false};
    // A square drawn again on its own pixel changes nothing: no repeat test
    // in here; the general path learns the last one drawn.
    TPoint last{};
    bool drawn = false;
    size_t k = Next;
    for (; k < FItems.size(); ++k) {
      const TDrawItem& it = FItems[k];
      if (it.Kind != ikMark || it.Symbol != a.Symbol || it.Color != a.Color ||
          it.PenStyle != a.PenStyle || it.LineWidth != 1 || it.Layer != a.Layer ||
          it.ItemClass != a.ItemClass)
        break;
      if (!(it.X1 >= x0 && it.X1 <= x1 && it.Y1 >= y0 && it.Y1 <= y1)) continue;
      const TPoint p = render::MapToBitmap(m, it.X1, it.Y1, FDrawer.Left(), FDrawer.Top());
      last = p;
      drawn = true;
      FillSquareMark(surface, a.Symbol, p.X, p.Y, paint);
    }
    if (drawn) FDrawer.RememberMark(last, a);
    return k;
  }

  TCustomKelvo& FChart;
  TItemDrawer& FDrawer;
  TRenderState& s;
  TCanvas& c;
  const std::span<const TDrawItem> FItems;
  const TLineSummary* const FSummary;
  const bool FDirectSquares;
  TColumnRun FRun;
};

}  // namespace

void TCustomKelvo::RenderDisplayList(TBitmap& Bitmap) {
  TCanvas& c = Bitmap.Canvas();
  c.Pen().SetMode(TPenMode::pmCopy);
  // Filled squares may be written straight into the bitmap, except while a
  // recorder is to see every shape.
  // (At a device scale marks take the mark routine, which scales them.)
  const bool directSquares =
      FRenderShortcuts && !TCanvasRecorder::Active() && DeviceScale().Identity();
  // 2.
  {
    const TColor brush = c.Brush().Color(), pen = c.Pen().Color();
    if (OnBeforeRenderData)
      OnBeforeRenderData(this, c, DeviceDataArea().Top, DeviceDataArea().Left);
    c.Brush().SetColor(brush);
    c.Pen().SetColor(pen);
  }
  // 3.
  if (FSettings.GridStyle != GridStyleType::gsNone) DrawGrid(c);
  // 4. Items and plottables are drawn smooth on request; the grid before
  // and the labels, legend and frame after them stay crisp.
  // Every paint starts from the canvas' first font: what a text item or a
  // label of the last paint left there must not reach this paint's
  // character marks.
  static const TFont StartFont;
  c.SetFont(StartFont);
  TRenderState s(c, FSettings.ChartColor, FSettings.LineWidth);
  struct TSmooth {
    TCanvas& C;
    ~TSmooth() { C.SetAntiAliased(false); }
  } smooth{c};
  c.SetAntiAliased(FSettings.AntiAliased);
  // 5. The items. Device pixels throughout: the data bitmap's origin, the
  // mapping onto it, and every length of an item by the snapping rule.
  TItemDrawer drawer(*this, c, s, FDupGrid, directSquares);
  // The line-run reduction is exact for a line one device pixel wide:
  // aliased, or smooth at a ratio of 1. A smooth band wider than a pixel
  // reaches into the neighbouring columns, and every point of it counts.
  const bool columnsExact = !FSettings.AntiAliased || c.Len(1) == 1;
  const TLineSummary* summary = FRenderShortcuts && columnsExact ? FList.Summary() : nullptr;
  TItemWalk(*this, drawer, s, c, FList.Items(), summary, directSquares).Walk();
  // The plottables, after the items.
  if (!FPlottables->empty()) {
    const std::function<void(const TDrawItem&)> drawItem = [&](const TDrawItem& it) {
      drawer.Draw(it);
    };
    RenderPlottables(
        c, s, drawItem, [&] { drawer.ForgetLastMark(); }, directSquares);
  }
  // 6.
  s.Flush();
  c.SetAntiAliased(false);
  c.Pen().SetWidth(1);
  // 7., 8.
  const TDeviceDataArea area = DeviceDataArea();
  const int32_t ml = area.Left, mt = area.Top;
  DrawTextLabels(c);
  if (OnDataRendered) OnDataRendered(this, c, mt, ml);
  PaintLegend(c, ml, mt, true);
  // 9. The frame closes the data area on all four sides.
  c.Pen().SetColor(FSettings.ChartFrameColor);
  c.Pen().SetStyle(TPenStyle::psSolid);
  const int32_t W = Clamp32(int64_t{area.Right} - ml), H = Clamp32(int64_t{area.Bottom} - mt);
  c.MoveTo(0, 0);
  c.LineTo(W, 0);
  c.LineTo(W, H);
  c.LineTo(0, H);
  c.LineTo(0, 0);
  // A plottable that could not be drawn: the rest is, then the paint says why.
  if (!FPlotProblem.empty()) throw EVexaKelvoError(std::exchange(FPlotProblem, std::string()));
}

void TCustomKelvo::RenderPlottables(TCanvas& c, render::TRenderState& s,
                                    const std::function<void(const TDrawItem&)>& DrawItem,
                                    const std::function<void()>& ForgetLastMark,
                                    bool DirectPixels) {
  TPlotContext context{c,
                       s,
                       *this,
                       DeviceDataArea().Left,
                       DeviceDataArea().Top,
                       DrawItem,
                       ForgetLastMark,
                       FRenderShortcuts,
                       DirectPixels};
  for (const auto& p : *FPlottables) p->Draw(context);
  FPlotProblem = std::move(context.Problem);
}

void TCustomKelvo::DrawTextLabels(TCanvas& c) {
  for (int32_t i = TextLabelCount; i >= 1; --i) {
    const TTextLabel& l = TextLabels(i);
    if (l.Mode() == TTxtLblMode::tlOff || !LayerVisible(l.Layer()) || !l.Visible()) continue;
    DrawTextLabel(c, l);
  }
}

// Device pixels: a world position by the device mapping, a client one
// mapped straight.
void TCustomKelvo::TextLabelAnchor(const TTextLabel& l, int64_t& X, int64_t& Y) const {
  int32_t px = 0, py = 0;
  if (l.AttachToData() != TTxtLblAttachMode::tlamNone)
    DeviceMapping(l.Layer()).Map(l.PosX(), l.PosY(), px, py);
  X = l.AttachToData() == TTxtLblAttachMode::tlamNone ||
              l.AttachToData() == TTxtLblAttachMode::tlamYOnly
          ? DeviceScale().Position(RoundClamped(l.PosX()))
          : px;
  Y = l.AttachToData() == TTxtLblAttachMode::tlamNone ||
              l.AttachToData() == TTxtLblAttachMode::tlamXOnly
          ? DeviceScale().Position(RoundClamped(l.PosY()))
          : py;
}

// One label: its box as its mode draws it (the gaps by the snapping rule),
// then its lines.
void TCustomKelvo::DrawTextLabel(TCanvas& c, const TTextLabel& l) {
  int64_t x, y;
  TextLabelAnchor(l, x, y);
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
  x -= DeviceDataArea().Left;
  y -= DeviceDataArea().Top;
  const int64_t four = c.Len(4), two = c.Len(2);
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
      box(c.Len(l.ShadowDx()), c.Len(l.ShadowDy()));
      c.Pen().SetColor(l.ColorBorder());
      c.Brush().SetColor(l.ColorBkg());
      box(0, 0);
      break;
    default:
      break;
  }
  if (n == 1) {
    c.TextOut(Clamp32(x), Clamp32(y - L), caption);
    return;
  }
  for (int64_t k = 0; k < n; ++k) {
    const int64_t w = c.TextWidth(lines[static_cast<size_t>(k)]);
    const int64_t o = l.Alignment() == TAlignment::taRightJustify ? K - w
                      : l.Alignment() == TAlignment::taCenter     ? (K - w) / 2
                                                                  : 0;
    c.TextOut(Clamp32(x + o), Clamp32(y - L * (n - k)), lines[static_cast<size_t>(k)]);
  }
}

}  // namespace vexa
