// Mouse actions: pan, zoom drag, zoom windows, rubber band, selection,
// crosshair and label dragging, the mouse box, the reported position and
// the cursor. Every range change goes through SetLayerRanges, so range
// limits and joint layers apply.
//
// The mouse is a state machine whose state is FMouseState (one value, which
// Assign copies): the transitions, in one place (the Qt host only
// translates its events into these calls).
//
//   state (FMouseState)          event       what happens
//   any                          Down/Up     after a double click: swallowed once
//   any                          Down        on the legend: the legend's press
//   MouseBoxState msFirstCorner  Down        right: msNormal; else first corner, msRectDraw
//   MouseBoxState msRectDraw     Move        XOR rectangle follows (inside the data area)
//   MouseBoxState msRectDraw     Up          right: msNormal; else second corner, msFinished
//   figure action, zsNormal      Down left   in the data area: ZoomStart, zsDrawWin
//   figure action, zsDrawWin     Move        FigureStep: XOR window or rubber band follows
//   figure action, zsDrawWin     Up          FinishFigure: right cancels; left applies
//                                            (zoom ranges, OnRubberBand, OnSelectRect)
//   drag action, not Dragging    Move left   StartDrag (and picks the crosshair or label)
//   drag action, Dragging        Move left   DragStep: pan, zoom, crosshair or label
//   drag action                  Move        without the left button: Dragging ends
//   any                          Move        ReportMove: position, cursor, events
//   any                          Up          the ranges' change since Down: one history step
#include <algorithm>
#include <cmath>

#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/WindowServices.h"

namespace vexa {

namespace {

bool Has(TShiftState s, TShiftStateItem i) { return s.Contains(i); }

// g times the integer part of value / g; the value itself when g <= 0.
double Snap(double value, double g) {
  if (!(g > 0)) return value;
  return g * std::trunc(value / g);
}

bool IsFigureAction(TMouseActMode m) {
  return m == TMouseActMode::maZoomWind || m == TMouseActMode::maZoomWindPos ||
         m == TMouseActMode::maRubberBand || m == TMouseActMode::maSelectRect;
}

bool IsPan(TMouseActMode m) {
  return m == TMouseActMode::maPan || m == TMouseActMode::maPanHoriz ||
         m == TMouseActMode::maPanVert || m == TMouseActMode::maPanGrid;
}

}  // namespace

bool TCustomKelvo::InPlotArea(int64_t X, int64_t Y) const {
  return X >= FSettings.MarginLeft &&
         X <= int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth &&
         Y >= FSettings.MarginTop &&
         Y <= int64_t{Height()} - FSettings.MarginBottom - FSettings.ShadowWidth;
}

namespace {
// XOR figures on the window surface: drawing the same figure twice erases it.
template <class Draw>
void XorFigure(TCanvas& c, Draw draw) {
  c.Pen().SetMode(TPenMode::pmXor);
  c.Pen().SetColor(clWhite);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetWidth(1);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  draw(c);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
}
}  // namespace

void TCustomKelvo::XorRect(TPoint A, TPoint B) {
  SettleFrame();
  XorFigure(Canvas(),
            [&](TCanvas& c) { c.Rectangle(c.Pos(A.X), c.Pos(A.Y), c.Pos(B.X), c.Pos(B.Y)); });
  SurfaceChanged();
}

void TCustomKelvo::XorLine(TPoint A, TPoint B) {
  SettleFrame();
  XorFigure(Canvas(), [&](TCanvas& c) {
    c.MoveTo(c.Pos(A.X), c.Pos(A.Y));
    c.LineTo(c.Pos(B.X), c.Pos(B.Y));
  });
  SurfaceChanged();
}

void TCustomKelvo::DblClick() {
  FMouseState.DoubleClicked = true;
  TCustomControl::DblClick();
}

void TCustomKelvo::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (FMouseState.DoubleClicked) {  // the press after a double click is swallowed
    FMouseState.DoubleClicked = false;
    return;
  }
  FMouseState.ActionStart = CurrentRanges();  // for the zoom history, when the action ends
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == TMouseButton::mbLeft && LegendMouseDown(X, Y)) return;  // never the MouseAction
  if (FMouseState.MouseBoxState == TMouseBoxState::msFirstCorner) {
    if (Button == TMouseButton::mbRight) {
      FMouseState.MouseBoxState = TMouseBoxState::msNormal;
    } else {
      FMouseState.MouseBox.X1 = X;
      FMouseState.MouseBox.Y1 = Y;
      FMouseState.Corner = {X, Y};
      FMouseState.MouseBoxState = TMouseBoxState::msRectDraw;
    }
  }
  if (IsFigureAction(FSettings.MouseAction) && FMouseState.ZoomState == TZoomState::zsNormal &&
      Button == TMouseButton::mbLeft && InPlotArea(X, Y)) {
    FMouseState.ZoomState = TZoomState::zsDrawWin;
    FMouseState.ZoomStart = {X, Y};
    FMouseState.Corner = {X, Y};
    FMouseState.ZoomStartX = FMouseState.CornerX = PointerX(X);
    FMouseState.ZoomStartY = FMouseState.CornerY = PointerY(Y);
  }
}

void TCustomKelvo::StartDrag(int32_t X, int32_t Y) {
  FMouseState.DragStart = {X, Y};
  FMouseState.DragStartX = PointerX(X);
  FMouseState.DragStartY = PointerY(Y);
  FMouseState.StartRanges = CurrentRanges();
  FMouseState.Dragging = true;
}

void TCustomKelvo::PanStep(int32_t X, int32_t Y) {
  TPaintLockScope lock(*this);
  const long double PW = static_cast<long double>(Width()) - FSettings.MarginLeft -
                         FSettings.MarginRight - FSettings.ShadowWidth;
  const long double PH = static_cast<long double>(Height()) - FSettings.MarginTop -
                         FSettings.MarginBottom - FSettings.ShadowWidth;
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (!MouseAffectsLayer(n)) continue;
    const TScaleProps& sx = ScalePropsX(n);
    const TScaleProps& sy = ScalePropsY(n);
    const TStartRanges& s0 = FMouseState.StartRanges[static_cast<size_t>(n)];
    const long double dx = static_cast<long double>(PointerX(X)) - FMouseState.DragStartX;
    const long double dy = static_cast<long double>(PointerY(Y)) - FMouseState.DragStartY;
    long double xlo, xhi, ylo, yhi, m = 0, v = 0;
    if (!sx.Logarithmic()) {
      m = (static_cast<long double>(sx.RangeHigh()) - sx.RangeLow()) * dx / PW;
      xlo = s0.XLow - m;
      xhi = s0.XHigh - m;
    } else {
      const long double f =
          std::exp(std::log(static_cast<long double>(sx.RangeHigh()) / sx.RangeLow()) * -dx / PW);
      xlo = s0.XLow * f;
      xhi = s0.XHigh * f;
    }
    if (!sy.Logarithmic()) {
      v = (static_cast<long double>(sy.RangeHigh()) - sy.RangeLow()) * dy / PH;
      ylo = s0.YLow + v;
      yhi = s0.YHigh + v;
    } else {
      const long double g =
          std::exp(std::log(static_cast<long double>(sy.RangeHigh()) / sy.RangeLow()) * dy / PH);
      ylo = s0.YLow * g;
      yhi = s0.YHigh * g;
    }
    switch (FSettings.MouseAction) {
      case TMouseActMode::maPanHoriz:
        ylo = sy.RangeLow();
        yhi = sy.RangeHigh();
        break;
      case TMouseActMode::maPanVert:
        xlo = sx.RangeLow();
        xhi = sx.RangeHigh();
        break;
      case TMouseActMode::maPanGrid: {
        if (sx.Logarithmic() || sy.Logarithmic())
          continue;  // the grid pan leaves logarithmic layers alone
        const double a = Snap(static_cast<double>(s0.XLow - m), FSettings.PanGridDx);
        const double b = Snap(static_cast<double>(s0.YLow + v), FSettings.PanGridDy);
        xhi = (s0.XHigh - m) - ((s0.XLow - m) - a);
        xlo = a;
        yhi = (s0.YHigh + v) - ((s0.YLow + v) - b);
        ylo = b;
        break;
      }
      default:
        break;
    }
    SetLayerRanges(n, xlo, ylo, xhi, yhi, true);
  }
  lock.Unlock();
  if (OnZoomPan) OnZoomPan(this);
}

void TCustomKelvo::ZoomDragStep(int32_t X, int32_t Y) {
  TPaintLockScope lock(*this);
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (!MouseAffectsLayer(n)) continue;
    const TStartRanges& s0 = FMouseState.StartRanges[static_cast<size_t>(n)];
    const long double fx =
        1 - (static_cast<long double>(PointerX(X)) - FMouseState.DragStartX) / Width();
    const long double fy =
        FSettings.Isometric
            ? fx
            : 1 + (static_cast<long double>(PointerY(Y)) - FMouseState.DragStartY) / Height();
    const long double cx = (static_cast<long double>(s0.XHigh) + s0.XLow) / 2;
    const long double cy = (static_cast<long double>(s0.YHigh) + s0.YLow) / 2;
    const long double hx = (static_cast<long double>(s0.XHigh) - s0.XLow) * fx / 2;
    const long double hy = (static_cast<long double>(s0.YHigh) - s0.YLow) * fy / 2;
    SetLayerRanges(n, cx - hx, cy - hy, cx + hx, cy + hy, true);
  }
  lock.Unlock();
  if (OnZoomPan) OnZoomPan(this);
}

// A move is handled by the action under way: a drag (pan, zoom drag,
// crosshair, label), a figure drawn with XOR (zoom window, selection,
// rubber band) or the mouse box; then the position, cursor and events.
void TCustomKelvo::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  FMouseState.MouseX = X;
  FMouseState.MouseY = Y;
  TCustomControl::MouseMove(Shift, X, Y);
  if (LegendMouseMove(X, Y)) return;
  int32_t x = X, y = Y;
  if (FMouseState.MouseBoxState == TMouseBoxState::msRectDraw) {
    x = ClampToDataX(x);
    y = ClampToDataY(y);
    XorRect({FMouseState.MouseBox.X1, FMouseState.MouseBox.Y1}, FMouseState.Corner);
    XorRect({FMouseState.MouseBox.X1, FMouseState.MouseBox.Y1}, {x, y});
    FMouseState.Corner = {x, y};
  }
  const bool leftButton = Has(Shift, TShiftStateItem::ssLeft);
  const bool drags = IsPan(FSettings.MouseAction) ||
                     FSettings.MouseAction == TMouseActMode::maZoomDrag ||
                     FSettings.MouseAction == TMouseActMode::maDragCrossH ||
                     FSettings.MouseAction == TMouseActMode::maDragLabel;
  if (drags && !leftButton) {
    FMouseState.Dragging = false;
  } else if (drags && !FMouseState.Dragging) {
    StartDrag(x, y);
    if (FSettings.MouseAction == TMouseActMode::maDragCrossH) SelectCrossHairNear(x, y);
    if (FSettings.MouseAction == TMouseActMode::maDragLabel) SelectLabelNear(x, y);
  } else if (drags) {
    DragStep(x, y);
  } else if (FMouseState.ZoomState == TZoomState::zsDrawWin) {
    FigureStep(x, y);
  }
  ReportMove(Shift, X, Y, x, y);
}

int32_t TCustomKelvo::ClampToDataX(int32_t X) const {
  const int32_t left = FSettings.MarginLeft;
  const int32_t right = static_cast<int32_t>(std::clamp<int64_t>(
      int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth, INT32_MIN, INT32_MAX));
  return right < left ? left : std::clamp(X, left, right);
}

int32_t TCustomKelvo::ClampToDataY(int32_t Y) const {
  const int32_t top = FSettings.MarginTop;
  const int32_t bottom = static_cast<int32_t>(std::clamp<int64_t>(
      int64_t{Height()} - FSettings.MarginBottom - FSettings.ShadowWidth, INT32_MIN, INT32_MAX));
  return bottom < top ? top : std::clamp(Y, top, bottom);
}

// The crosshair whose line lies nearest: a vertical line by x, a horizontal
// one by y (the first of equals).
void TCustomKelvo::SelectCrossHairNear(int32_t X, int32_t Y) {
  FMouseState.SelectedCrossHair = 1;
  long double best = 1.7e308L;
  for (int32_t k = 1; k <= CrossHairCount; ++k) {
    const TCrossHair& h = CrossHair(k);
    int32_t px, py;
    WorldToPixel(h.Layer(), h.PosX(), h.PosY(), px, py);
    const TCrossHMode m = h.Mode();
    const long double ddx = static_cast<long double>(px) - X,
                      ddy = static_cast<long double>(py) - Y;
    if ((m == TCrossHMode::chVert || m == TCrossHMode::chBoth || m == TCrossHMode::chCrossBox ||
         m == TCrossHMode::chBox) &&
        ddx * ddx < best) {
      FMouseState.SelectedCrossHair = k;
      best = ddx * ddx;
    }
    if ((m == TCrossHMode::chHoriz || m == TCrossHMode::chBoth || m == TCrossHMode::chCrossBox ||
         m == TCrossHMode::chBox) &&
        ddy * ddy < best) {
      FMouseState.SelectedCrossHair = k;
      best = ddy * ddy;
    }
  }
}

// The shown label whose anchor lies nearest.
void TCustomKelvo::SelectLabelNear(int32_t X, int32_t Y) {
  FMouseState.SelectedLabel = 1;
  long double best = 1.7e308L;
  for (int32_t l = 1; l <= TextLabelCount; ++l) {
    const TTextLabel& t = TextLabels(l);
    if (t.Mode() == TTxtLblMode::tlOff || !t.Visible()) continue;
    int32_t px = RoundClamped(t.PosX()), py = RoundClamped(t.PosY());
    if (t.AttachToData() != TTxtLblAttachMode::tlamNone) {
      int32_t wx, wy;
      WorldToPixel(t.Layer(), t.PosX(), t.PosY(), wx, wy);
      if (t.AttachToData() != TTxtLblAttachMode::tlamYOnly) px = wx;
      if (t.AttachToData() != TTxtLblAttachMode::tlamXOnly) py = wy;
    }
    const long double ddx = static_cast<long double>(px) - X,
                      ddy = static_cast<long double>(py) - Y;
    if (ddx * ddx + ddy * ddy < best) {
      FMouseState.SelectedLabel = l;
      best = ddx * ddx + ddy * ddy;
    }
  }
}

// One step of a drag under way, by the action.
void TCustomKelvo::DragStep(int32_t x, int32_t y) {
  if (FSettings.MouseAction == TMouseActMode::maDragCrossH) {
    TCrossHair& h = CrossHair(FMouseState.SelectedCrossHair);
    double wx, wy;
    PixelToWorld(h.Layer(), PointerX(x), PointerY(y), wx, wy);
    if (FCrossHairSnap) {
      // Onto the nearest item: its point in the crosshair's layer.
      const TNearestItem near = FindNearestItem(x, y, FItemPixels);
      const bool found = near.Index >= 0 || near.Plottable >= 0;
      if (found && near.Layer == h.Layer()) {
        wx = near.X;
        wy = near.Y;
      } else if (found) {
        int32_t px, py;
        WorldToPixel(near.Layer, near.X, near.Y, px, py);
        PixelToWorld(h.Layer(), px, py, wx, wy);
      }
    }
    h.SetPosX(wx);
    h.SetPosY(wy);
    RepaintAfterChange();
    if (OnCrossHairMove) OnCrossHairMove(this, h);
  } else if (FSettings.MouseAction == TMouseActMode::maDragLabel) {
    TTextLabel& t = TextLabels(FMouseState.SelectedLabel);
    double wx, wy;
    PixelToWorld(t.Layer(), PointerX(x), PointerY(y), wx, wy);
    const TTxtLblAttachMode a = t.AttachToData();
    t.SetPosX(a == TTxtLblAttachMode::tlamXOnly || a == TTxtLblAttachMode::tlamBoth ? wx : x);
    t.SetPosY(a == TTxtLblAttachMode::tlamYOnly || a == TTxtLblAttachMode::tlamBoth ? wy : y);
    RepaintAfterChange();
    if (OnTextLabelMove) OnTextLabelMove(this, t);
  } else if (InPlotArea(x, y)) {
    if (FSettings.MouseAction == TMouseActMode::maZoomDrag)
      ZoomDragStep(x, y);
    else
      PanStep(x, y);
  }
}

// The XOR figure follows the pointer inside the data area: a window (square
// on an isometric chart, but for a selection) or a rubber band.
void TCustomKelvo::FigureStep(int32_t x, int32_t y) {
  const bool window = FSettings.MouseAction == TMouseActMode::maZoomWind ||
                      FSettings.MouseAction == TMouseActMode::maZoomWindPos ||
                      FSettings.MouseAction == TMouseActMode::maSelectRect;
  if (!window && FSettings.MouseAction != TMouseActMode::maRubberBand) return;
  x = ClampToDataX(x);
  const bool square =
      window && FSettings.Isometric && FSettings.MouseAction != TMouseActMode::maSelectRect;
  if (square) {
    const int64_t d = int64_t{x} - FMouseState.ZoomStart.X;
    const int64_t yy = (int64_t{y} - FMouseState.ZoomStart.Y) * d > 0 ? FMouseState.ZoomStart.Y + d
                                                                      : FMouseState.ZoomStart.Y - d;
    y = static_cast<int32_t>(std::clamp<int64_t>(yy, INT32_MIN, INT32_MAX));
  }
  y = ClampToDataY(y);
  if (window) {
    XorRect(FMouseState.ZoomStart, FMouseState.Corner);
    XorRect(FMouseState.ZoomStart, {x, y});
  } else {
    XorLine(FMouseState.ZoomStart, FMouseState.Corner);
    XorLine(FMouseState.ZoomStart, {x, y});
  }
  FMouseState.Corner = {x, y};
  FMouseState.CornerX = PointerX(x);
  FMouseState.CornerY = square ? y : PointerY(y);
}

// The world position under the pointer (x, y: where the action put it),
// the cursor, and the move's events with the message's own position.
void TCustomKelvo::ReportMove(TShiftState Shift, int32_t X, int32_t Y, int32_t x, int32_t y) {
  double wx, wy;
  PixelToWorld(FSettings.CurrentLayer, PointerX(x), PointerY(y), wx, wy);
  if (InPlotArea(x, y)) {
    FMouseState.MouseWorldX = wx;
    FMouseState.MouseWorldY = wy;
  }
  SetCursorFor(x, y);
  double rx, ry;
  PixelToWorld(FSettings.CurrentLayer, PointerX(X), PointerY(Y), rx, ry);
  if (OnMouseMoveInChart) OnMouseMoveInChart(this, InPlotArea(X, Y), Shift, rx, ry);
  if (FItemHover && OnItemHover) OnItemHover(this, FindNearestItem(X, Y, FItemPixels));
}

void TCustomKelvo::SetCursorFor(int32_t X, int32_t Y) {
  if (!InPlotArea(X, Y) || FSettings.MouseCursorFixed) {
    Screen().SetCursor(crDefault);
    return;
  }
  switch (FSettings.MouseAction) {
    case TMouseActMode::maNone:
      Screen().SetCursor(crCross);
      break;
    case TMouseActMode::maPan:
    case TMouseActMode::maPanHoriz:
    case TMouseActMode::maPanVert:
    case TMouseActMode::maPanGrid:
      Screen().SetCursor(1);
      break;
    case TMouseActMode::maZoomWind:
      Screen().SetCursor(2);
      break;
    case TMouseActMode::maZoomWindPos:
      Screen().SetCursor(4);
      break;
    case TMouseActMode::maZoomDrag:
      Screen().SetCursor(3);
      break;
    case TMouseActMode::maRubberBand:
    case TMouseActMode::maDragCrossH:
    case TMouseActMode::maDragLabel:
    case TMouseActMode::maSelectRect:
      Screen().SetCursor(crDefault);
      break;
    default:
      break;  // maZoom and the rotations leave the cursor alone
  }
}

void TCustomKelvo::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (FMouseState.DoubleClicked) {
    FMouseState.DoubleClicked = false;
    return;
  }
  // Whatever the action did to the ranges since the press is one step of
  // the zoom history, on every way out of here.
  struct TRecord {
    TCustomKelvo& Chart;
    ~TRecord() { Chart.RecordRangeChange(Chart.FMouseState.ActionStart); }
  } record{*this};
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (LegendMouseUp()) return;
  if (FMouseState.MouseBoxState == TMouseBoxState::msRectDraw) {
    if (Button == TMouseButton::mbRight) {
      FMouseState.MouseBoxState = TMouseBoxState::msNormal;
    } else {
      FMouseState.MouseBox.X2 = X;
      FMouseState.MouseBox.Y2 = Y;
      FMouseState.MouseBoxState = TMouseBoxState::msFinished;
    }
    XorRect({FMouseState.MouseBox.X1, FMouseState.MouseBox.Y1}, FMouseState.Corner);
  }
  if (IsFigureAction(FSettings.MouseAction) && FMouseState.ZoomState == TZoomState::zsDrawWin)
    FinishFigure(Button);
}

// The figure drawn since the press: a right release erases it; a left one
// applies it to every layer the mouse affects.
void TCustomKelvo::FinishFigure(TMouseButton Button) {
  FMouseState.ZoomState = TZoomState::zsNormal;
  if (Button == TMouseButton::mbRight) {
    if (FSettings.MouseAction == TMouseActMode::maRubberBand)
      XorLine(FMouseState.ZoomStart, FMouseState.Corner);
    else
      XorRect(FMouseState.ZoomStart, FMouseState.Corner);
    return;
  }
  if (Button == TMouseButton::mbMiddle) return;
  if (FMouseState.ZoomStart.X == FMouseState.Corner.X ||
      FMouseState.ZoomStart.Y == FMouseState.Corner.Y)
    return;
  TPaintLockScope lock(*this);
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (!MouseAffectsLayer(n)) continue;
    double ax, ay, bx, by;
    PixelToWorld(n, FMouseState.ZoomStartX, FMouseState.ZoomStartY, ax, ay);
    PixelToWorld(n, FMouseState.CornerX, FMouseState.CornerY, bx, by);
    if (FSettings.MouseAction == TMouseActMode::maZoomWindPos ||
        FSettings.MouseAction == TMouseActMode::maSelectRect) {
      const TScaleProps& sx = ScalePropsX(n);
      const TScaleProps& sy = ScalePropsY(n);
      if ((bx < ax && sx.RangeLow() < sx.RangeHigh()) ||
          (bx > ax && sx.RangeLow() > sx.RangeHigh()))
        std::swap(ax, bx);
      if ((by < ay && sy.RangeLow() < sy.RangeHigh()) ||
          (by > ay && sy.RangeLow() > sy.RangeHigh()))
        std::swap(ay, by);
    }
    if (FSettings.MouseAction == TMouseActMode::maRubberBand) {
      if (OnRubberBand) OnRubberBand(this, n, ax, ay, bx, by);
    } else if (FSettings.MouseAction == TMouseActMode::maSelectRect) {
      if (OnSelectRect) OnSelectRect(this, n, ax, ay, bx, by);
    } else {
      SetLayerRanges(n, ax, ay, bx, by, false);
    }
  }
  if (OnZoomPan) OnZoomPan(this);
  lock.Unlock();
}

void TCustomKelvo::MouseEnter() {
  TCustomControl::MouseEnter();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TCustomKelvo::MouseLeave() {
  TCustomControl::MouseLeave();
  if (OnMouseLeave) OnMouseLeave(this);
}

}  // namespace vexa
