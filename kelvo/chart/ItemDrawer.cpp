#include "kelvo/chart/ItemDrawer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "kelvo/base/Marks.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/Raster.h"

namespace vexa::render {

namespace {

bool Between(double v, double a, double b) { return (v >= a && v <= b) || (v >= b && v <= a); }

// Whether [lo, hi] meets the closed interval between a and b.
bool Overlaps(double lo, double hi, double a, double b) {
  return !(hi < std::min(a, b) || lo > std::max(a, b));
}

}  // namespace

TItemDrawer::TItemDrawer(TCustomKelvo& Chart, TCanvas& Canvas, TRenderState& State,
                         std::vector<int32_t>& DupGrid, bool DirectSquares)
    : FChart(Chart),
      c(Canvas),
      s(State),
      FDupGrid(DupGrid),
      FMaps(Chart.DeviceScale().Identity() ? Chart.FMapping.data() : Chart.FDeviceMapping.data()),
      FLeft(Chart.DeviceDataArea().Left),
      FTop(Chart.DeviceDataArea().Top),
      FOne(Canvas.Len(1)),
      FDupRim(Canvas.Len(Chart.FSettings.MinDupMarkDist)),
      FDirectSquares(DirectSquares),
      FAvoidDuplicates(Chart.FSettings.AvoidDuplicateMarks),
      FShortcuts(Chart.FRenderShortcuts),
      FAntiAliased(Chart.FSettings.AntiAliased) {
  // One cell per device pixel plus a rim of FDupRim cells.
  FGridW = int64_t{Chart.DeviceScale().Side(Chart.Width())} + 2 * FDupRim;
  FGridH = int64_t{Chart.DeviceScale().Side(Chart.Height())} + 2 * FDupRim;
  if (FAvoidDuplicates)
    FDupGrid.assign(static_cast<size_t>(std::max<int64_t>(FGridW * FGridH, 0)), -1);
}

const TLayerMapping& TItemDrawer::LayerMapping(int32_t Layer) const {
  return FMaps[static_cast<size_t>(std::clamp(Layer, 1, LayerCount))];
}

TPoint TItemDrawer::Map(int32_t Layer, double X, double Y) const {
  return MapToBitmap(LayerMapping(Layer), X, Y, FLeft, FTop);
}

void TItemDrawer::DevicePixel(int32_t Layer, double X, double Y, int32_t& PX, int32_t& PY) const {
  LayerMapping(Layer).Map(X, Y, PX, PY);
}

TPoint TItemDrawer::ToBitmap(int32_t PX, int32_t PY) const {
  TCustomKelvo::ClipPixel(PX, PY);
  return TPoint{ClampFar(int64_t{PX} - FLeft), ClampFar(int64_t{PY} - FTop)};
}

void TItemDrawer::Dot(TPoint P, TColor Color) { DrawDot(c, P.X, P.Y, Color); }

void TItemDrawer::PixelOrBox(TPoint A, TPoint B, bool Ellipse) {
  if (A == B) {
    Dot(A, s.PenColor);
    return;
  }
  (B.X > A.X ? B.X : A.X) += FOne;
  (B.Y > A.Y ? B.Y : A.Y) += FOne;
  if (Ellipse)
    c.Ellipse(A.X, A.Y, B.X, B.Y);
  else
    c.Rectangle(A.X, A.Y, B.X, B.Y);
}

void TItemDrawer::ShapeColours(const TDrawItem& It) {
  s.SetPenColor(It.Color);
  s.SetBrushColor(It.FillColor);
  s.SetPenStyle(It.PenStyle);
  if (It.Transparent) {
    c.Brush().SetStyle(TBrushStyle::bsClear);
  } else {
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(It.FillColor);
  }
}

void TItemDrawer::Text(const TDrawItem& It, TPoint P) {
  s.SetFontColor(It.Color);
  c.Font().SetStyle(FChart.FSettings.TextFontStyle);
  c.Font().SetSize(It.Param1);
  s.SetBrushColor(FChart.FSettings.TextBkColor);
  c.Brush().SetStyle(FChart.FSettings.TextBkStyle == TTextBkg::tbSolid ? TBrushStyle::bsSolid
                                                                       : TBrushStyle::bsClear);
  const std::string_view t = It.Text.View();
  const int32_t w = c.TextWidth(t), h = c.TextHeight(t);
  int64_t x = P.X, y = int64_t{P.Y} - h / 2;
  if (It.Symbol == 1) x -= w;
  if (It.Symbol == 2) x -= w / 2;
  c.TextOut(Clamp32(x), Clamp32(y), t);
}

int32_t* TItemDrawer::Cell(int64_t X, int64_t Y) {
  if (X < 0 || Y < 0 || X >= FGridW || Y >= FGridH) return nullptr;
  return &FDupGrid[static_cast<size_t>(Y * FGridW + X)];
}

void TItemDrawer::Draw(const TDrawItem& It) {
  if (!FChart.ClassVisible(It.ItemClass) || !FChart.LayerVisible(It.Layer)) return;
  if (It.Kind != ikMark) FLastMark = {};
  if (!HasFiniteCoordinates(It)) [[unlikely]] {
    if (It.Kind == ikLineTo || It.Kind == ikMoveTo || It.Kind == ikMoveRel ||
        It.Kind == ikLineRel) {
      s.Flush();
      FPenLost = true;
    }
    return;
  }
  if (It.LineWidth != s.PenWidth) {
    s.Flush();
    s.PenWidth = It.LineWidth;
    c.Pen().SetWidth(It.LineWidth);
  }
  switch (It.Kind) {
    case ikMark:
      return Mark(It);
    case ikLine:
      return Line(It);
    case ikLineTo:
      return LineTo(It);
    case ikRectangle:
      s.Flush();
      ShapeColours(It);
      return PixelOrBox(Map(It.Layer, It.X1, It.Y1), Map(It.Layer, It.X2, It.Y2), false);
    case ikBevelBox:
      return BevelBox(It);
    case ikBar3D:
      return Bar3D(It);
    case ikText:
      s.Flush();
      return Text(It, Map(It.Layer, It.X1, It.Y1));
    case ikTextOffset:
      return TextOffset(It);
    case ikMoveTo:
      return MoveTo(It);
    case ikEllipse:
      s.Flush();
      ShapeColours(It);
      return PixelOrBox(Map(It.Layer, It.X1 - It.X2, It.Y1 + It.Y2),
                        Map(It.Layer, It.X1 + It.X2, It.Y1 - It.Y2), true);
    case ikMoveRel:
      return Relative(It, false);
    case ikLineRel:
      return Relative(It, true);
    case ikArrow:
      return Arrow(It);
    case ikPixelBox:
      return PixelBox(It);
    case ikErrorMark:
      return ErrorMark(It);
    default:
      return;  // kinds 0, 10, 11 and above 17 draw nothing
  }
}

void TItemDrawer::Mark(const TDrawItem& It) {
  s.Flush();
  const TScaleProps& sx = FChart.ScalePropsX(It.Layer);
  const TScaleProps& sy = FChart.ScalePropsY(It.Layer);
  if (!Between(It.X1, sx.RangeLow(), sx.RangeHigh()) ||
      !Between(It.Y1, sy.RangeLow(), sy.RangeHigh()))
    return;
  s.SetPenColor(It.Color);
  s.SetPenStyle(It.PenStyle);
  const TPoint p = Map(It.Layer, It.X1, It.Y1);
  const int64_t d = FDupRim;
  if (FAvoidDuplicates) {
    const int32_t* here = Cell(p.X + d, p.Y + d);
    if (here && *here == It.Symbol) return;
    for (int64_t i = -d; i <= d; ++i)
      for (int64_t j = -d; j <= d; ++j)
        if (int32_t* k = Cell(p.X + d + i, p.Y + d + j)) *k = It.Symbol;
  } else if (FShortcuts) {
    // The same mark again on the same pixel, nothing drawn in between:
    // copy-mode shapes drawn twice are drawn once (text marks blend, so
    // they are drawn again).
    const TLastMark here{p, It.Symbol, It.Color, It.PenStyle, It.LineWidth};
    if (FLastMark == here && It.Symbol < 52) return;
    FLastMark = here;
  }
  if (FDirectSquares && It.Symbol >= 7 && It.Symbol <= 9 && It.LineWidth == 1) {
    // A square reaches at most 3 pixels from its centre.
    const auto near = [](int32_t v, int d) {
      return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
    };
    FillSquareMark(c.SurfaceIn(Rect(near(p.X, -3), near(p.Y, -3), near(p.X, 4), near(p.Y, 4))),
                   It.Symbol, p.X, p.Y,
                   raster::TPaint{raster::PixelFromColor(ColorToRGB(It.Color)), false});
    // The mark routine leaves the brush solid in its colour: so here.
    if (c.Brush().Style() != TBrushStyle::bsSolid) c.Brush().SetColor(c.Brush().Color());
    return;
  }
  DrawMark(c, It.Symbol, p.X, p.Y);
}

void TItemDrawer::Line(const TDrawItem& It) {
  s.Flush();
  s.SetPenColor(It.Color);
  s.SetPenStyle(It.PenStyle);
  s.SetBrushColor(It.FillColor);
  const TPoint a = Map(It.Layer, It.X1, It.Y1), b = Map(It.Layer, It.X2, It.Y2);
  if (a == b) {
    Dot(a, It.Color);
  } else {
    c.MoveTo(a.X, a.Y);
    c.LineTo(b.X, b.Y);
  }
}

void TItemDrawer::LineTo(const TDrawItem& It) {
  const TPoint p = Map(It.Layer, It.X1, It.Y1);
  if (FPenLost) [[unlikely]] {
    FPenLost = false;
    s.Flush();
    s.Current = p;
    c.MoveTo(p.X, p.Y);
    return;
  }
  if (It.Color != s.PenColor || It.PenStyle != s.PenStyle || It.FillColor != s.BrushColor) {
    s.Flush();
    s.ForcePen(It.Color, It.PenStyle, It.FillColor);
  }
  s.Append(p);
}

void TItemDrawer::BevelBox(const TDrawItem& It) {
  s.Flush();
  const TColor f = It.FillColor;
  s.SetPenStyle(It.PenStyle);
  s.SetPenColor(f);
  s.SetBrushColor(f);
  const TPoint a = Map(It.Layer, It.X1, It.Y1), b = Map(It.Layer, It.X2, It.Y2);
  const int32_t x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
  const int32_t y1 = std::max(a.Y, b.Y), y2 = std::min(a.Y, b.Y);  // y1 is the bottom
  if (x1 == x2 && y1 == y2) {
    Dot({x1, y1}, f);
    return;
  }
  c.Rectangle(x1, y1, x2, y2);
  const int32_t one = FOne;
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
  const TColor A = It.FrameColor1, B = It.FrameColor2;
  switch (It.FrameStyle) {
    case TFrameStyle::fsLowered:
      return lowered(A, B);
    case TFrameStyle::fsRaised:
      return lowered(B, A);
    case TFrameStyle::fsEmbossed:
      return embossed(A, B);
    case TFrameStyle::fsEngraved:
      return embossed(B, A);
    default:
      return;
  }
}

void TItemDrawer::Bar3D(const TDrawItem& It) {
  s.Flush();
  s.SetPenColor(It.Color);
  s.SetBrushColor(It.FillColor);
  s.SetPenStyle(It.PenStyle);
  int32_t ax, ay, bx, by;
  DevicePixel(It.Layer, It.X1, It.Y1, ax, ay);
  TCustomKelvo::ClipPixel(ax, ay);
  DevicePixel(It.Layer, It.X2, It.Y2, bx, by);
  TCustomKelvo::ClipPixel(bx, by);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);  // ay is the top
  int32_t x1 = ClampFar(int64_t{ax} - FLeft), y1 = ClampFar(int64_t{ay} - FTop),
          x2 = ClampFar(int64_t{bx} - FLeft), y2 = ClampFar(int64_t{by} - FTop);
  const long double angle =
      static_cast<long double>(It.Param1) * std::numbers::pi_v<long double> / 180;
  // Kept to +-1e9 after scaling, so the faces' corner sums stay in range.
  const int32_t dx = ClampFar(c.Len(RoundOffset(std::cos(angle) * It.Param2)));
  const int32_t dy = -ClampFar(c.Len(RoundOffset(std::sin(angle) * It.Param2)));
  if (It.Param1 > 90) std::swap(x1, x2);  // the side face moves to the left
  const TPoint top[] = {{x1, y1}, {x1 + dx, y1 + dy}, {x2 + dx, y1 + dy}, {x2, y1}};
  const TPoint side[] = {{x2 + dx, y1 + dy}, {x2, y1}, {x2, y2}, {x2 + dx, y2 + dy}};
  c.SetAntiAliased(false);  // bars are crisp
  c.Polygon(top);
  c.Polygon(side);
  (x2 > x1 ? x2 : x1) += FOne;
  (y2 > y1 ? y2 : y1) += FOne;
  c.Rectangle(x1, y1, x2, y2);
  c.SetAntiAliased(FAntiAliased);
}

void TItemDrawer::TextOffset(const TDrawItem& It) {
  s.Flush();
  int32_t px, py;
  DevicePixel(It.Layer, It.X1, It.Y1, px, py);
  Text(It, ToBitmap(Clamp32(int64_t{px} + c.Len(RoundOffset(It.X2))),
                    Clamp32(int64_t{py} + c.Len(RoundOffset(It.Y2)))));
}

void TItemDrawer::MoveTo(const TDrawItem& It) {
  const TPoint p = Map(It.Layer, It.X1, It.Y1);
  FPenLost = false;
  s.Flush();
  s.Current = p;
  c.MoveTo(p.X, p.Y);
}

// MoveRel and LineRel: device lengths from the pen, kept to +-1e9.
void TItemDrawer::Relative(const TDrawItem& It, bool Line) {
  s.Flush();
  if (FPenLost) return;  // relative to a point that is not finite
  const TPoint pen = c.PenPos();
  const TPoint p{ClampFar(int64_t{pen.X} + c.Len(RoundOffset(It.X1))),
                 ClampFar(int64_t{pen.Y} + c.Len(RoundOffset(It.Y1)))};
  if (!Line) {
    s.Current = p;
    c.MoveTo(p.X, p.Y);
    return;
  }
  s.ForcePen(It.Color, It.PenStyle, It.FillColor);
  c.LineTo(p.X, p.Y);
  Dot(p, It.Color);
}

void TItemDrawer::Arrow(const TDrawItem& It) {
  s.Flush();
  s.SetPenColor(It.Color);
  s.SetBrushColor(It.FillColor);
  s.SetPenStyle(It.PenStyle);
  c.Brush().SetStyle(It.Transparent ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
  const TPoint p1 = Map(It.Layer, It.X1, It.Y1), p2 = Map(It.Layer, It.X2, It.Y2);
  if (p1 == p2) {
    Dot(p1, It.Color);
    return;
  }
  c.MoveTo(p1.X, p1.Y);
  c.LineTo(p2.X, p2.Y);
  const int32_t len = c.Len(It.Param1);
  if (len <= 0) return;
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
  if (It.Transparent) {
    c.LineTo(A.X, A.Y);
    c.MoveTo(p2.X, p2.Y);
    c.LineTo(B.X, B.Y);
  } else {
    const TPoint head[] = {p2, A, B};
    c.Polygon(head);
  }
}

void TItemDrawer::PixelBox(const TDrawItem& It) {
  s.Flush();
  ShapeColours(It);
  int32_t cx, cy;
  DevicePixel(It.Layer, It.X1, It.Y1, cx, cy);
  const int32_t hw = c.Len(RoundOffset(It.X2)), hh = c.Len(RoundOffset(It.Y2));
  PixelOrBox(ToBitmap(Clamp32(int64_t{cx} - hw), Clamp32(int64_t{cy} - hh)),
             ToBitmap(Clamp32(int64_t{cx} + hw), Clamp32(int64_t{cy} + hh)), false);
}

void TItemDrawer::ErrorMark(const TDrawItem& It) {
  s.Flush();
  const double e1 = std::fabs(It.X2), e2 = std::fabs(It.Y2);
  const TScaleProps& sx = FChart.ScalePropsX(It.Layer);
  const TScaleProps& sy = FChart.ScalePropsY(It.Layer);
  if (!Overlaps(It.X1 - e1, It.X1 + e2, sx.RangeLow(), sx.RangeHigh()) ||
      !Overlaps(It.Y1 - e1, It.Y1 + e2, sy.RangeLow(), sy.RangeHigh()))
    return;
  s.SetPenColor(It.Color);
  s.SetPenStyle(It.PenStyle);
  s.SetBrushColor(It.FillColor);
  const TPoint centre = Map(It.Layer, It.X1, It.Y1);
  const int32_t before = c.Len(3), after = c.Len(4);
  if (It.Param1 != 0) {
    for (double ex : {It.X1 - e1, It.X1 + e2}) {
      const TPoint e = Map(It.Layer, ex, It.Y1);
      c.MoveTo(centre.X, centre.Y);
      c.LineTo(e.X, centre.Y);
      c.MoveTo(e.X, centre.Y - before);
      c.LineTo(e.X, centre.Y + after);
    }
  } else {
    for (double ey : {It.Y1 - e1, It.Y1 + e2}) {
      const TPoint e = Map(It.Layer, It.X1, ey);
      c.MoveTo(centre.X, centre.Y);
      c.LineTo(centre.X, e.Y);
      c.MoveTo(centre.X - before, e.Y);
      c.LineTo(centre.X + after, e.Y);
    }
  }
  DrawMark(c, It.Symbol, centre.X, centre.Y);
}

}  // namespace vexa::render
