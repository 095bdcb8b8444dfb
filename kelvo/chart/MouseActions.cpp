// Mouse actions: pan, zoom drag, zoom windows, rubber band, selection,
// crosshair and label dragging, the mouse box, the reported position and
// the cursor. Every range change goes through SetLayerRanges, so range
// limits and joint layers apply.
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
  return X >= FMarginLeft && X <= int64_t{Width()} - FMarginRight - FShadowWidth &&
         Y >= FMarginTop && Y <= int64_t{Height()} - FMarginBottom - FShadowWidth;
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
            [&](TCanvas& c) { c.Rectangle(DevPos(A.X), DevPos(A.Y), DevPos(B.X), DevPos(B.Y)); });
  SurfaceChanged();
}

void TCustomKelvo::XorLine(TPoint A, TPoint B) {
  SettleFrame();
  XorFigure(Canvas(), [&](TCanvas& c) {
    c.MoveTo(DevPos(A.X), DevPos(A.Y));
    c.LineTo(DevPos(B.X), DevPos(B.Y));
  });
  SurfaceChanged();
}

void TCustomKelvo::DblClick() {
  FDoubleClicked = true;
  TCustomControl::DblClick();
}

void TCustomKelvo::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (FDoubleClicked) {  // the press after a double click is swallowed
    FDoubleClicked = false;
    return;
  }
  FActionStart = CurrentRanges();  // for the zoom history, when the action ends
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == TMouseButton::mbLeft && LegendMouseDown(X, Y)) return;  // never the MouseAction
  if (FMouseBoxState == TMouseBoxState::msFirstCorner) {
    if (Button == TMouseButton::mbRight) {
      FMouseBoxState = TMouseBoxState::msNormal;
    } else {
      FMouseBox.X1 = X;
      FMouseBox.Y1 = Y;
      FCorner = {X, Y};
      FMouseBoxState = TMouseBoxState::msRectDraw;
    }
  }
  if (IsFigureAction(FMouseAction) && FZoomState == TZoomState::zsNormal &&
      Button == TMouseButton::mbLeft && InPlotArea(X, Y)) {
    FZoomState = TZoomState::zsDrawWin;
    FZoomStart = {X, Y};
    FCorner = {X, Y};
    FZoomStartX = FCornerX = PointerX(X);
    FZoomStartY = FCornerY = PointerY(Y);
  }
}

void TCustomKelvo::StartDrag(int32_t X, int32_t Y) {
  FDragStart = {X, Y};
  FDragStartX = PointerX(X);
  FDragStartY = PointerY(Y);
  FStartRanges = CurrentRanges();
  FDragging = true;
}

void TCustomKelvo::PanStep(int32_t X, int32_t Y) {
  TPaintLockScope lock(*this);
  const long double PW =
      static_cast<long double>(Width()) - FMarginLeft - FMarginRight - FShadowWidth;
  const long double PH =
      static_cast<long double>(Height()) - FMarginTop - FMarginBottom - FShadowWidth;
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (!MouseAffectsLayer(n)) continue;
    const TScaleProps& sx = ScalePropsX(n);
    const TScaleProps& sy = ScalePropsY(n);
    const TStartRanges& s0 = FStartRanges[static_cast<size_t>(n)];
    const long double dx = static_cast<long double>(PointerX(X)) - FDragStartX;
    const long double dy = static_cast<long double>(PointerY(Y)) - FDragStartY;
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
    switch (FMouseAction) {
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
        const double a = Snap(static_cast<double>(s0.XLow - m), FPanGridDx);
        const double b = Snap(static_cast<double>(s0.YLow + v), FPanGridDy);
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
    const TStartRanges& s0 = FStartRanges[static_cast<size_t>(n)];
    const long double fx = 1 - (static_cast<long double>(PointerX(X)) - FDragStartX) / Width();
    const long double fy =
        FIsometric ? fx : 1 + (static_cast<long double>(PointerY(Y)) - FDragStartY) / Height();
    const long double cx = (static_cast<long double>(s0.XHigh) + s0.XLow) / 2;
    const long double cy = (static_cast<long double>(s0.YHigh) + s0.YLow) / 2;
    const long double hx = (static_cast<long double>(s0.XHigh) - s0.XLow) * fx / 2;
    const long double hy = (static_cast<long double>(s0.YHigh) - s0.YLow) * fy / 2;
    SetLayerRanges(n, cx - hx, cy - hy, cx + hx, cy + hy, true);
  }
  lock.Unlock();
  if (OnZoomPan) OnZoomPan(this);
}

void TCustomKelvo::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  FMouseX = X;
  FMouseY = Y;
  TCustomControl::MouseMove(Shift, X, Y);
  if (LegendMouseMove(X, Y)) return;
  const int32_t left = FMarginLeft, top = FMarginTop;
  const int32_t right = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{Width()} - FMarginRight - FShadowWidth, INT32_MIN, INT32_MAX));
  const int32_t bottom = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{Height()} - FMarginBottom - FShadowWidth, INT32_MIN, INT32_MAX));
  auto clampX = [&](int32_t x) { return right < left ? left : std::clamp(x, left, right); };
  auto clampY = [&](int32_t y) { return bottom < top ? top : std::clamp(y, top, bottom); };
  int32_t x = X, y = Y;
  if (FMouseBoxState == TMouseBoxState::msRectDraw) {
    x = clampX(x);
    y = clampY(y);
    XorRect({FMouseBox.X1, FMouseBox.Y1}, FCorner);
    XorRect({FMouseBox.X1, FMouseBox.Y1}, {x, y});
    FCorner = {x, y};
  }
  const bool left_button = Has(Shift, TShiftStateItem::ssLeft);
  if (IsPan(FMouseAction) || FMouseAction == TMouseActMode::maZoomDrag) {
    if (!left_button) {
      FDragging = false;
    } else if (!FDragging) {
      StartDrag(x, y);
    } else if (InPlotArea(x, y)) {
      if (FMouseAction == TMouseActMode::maZoomDrag)
        ZoomDragStep(x, y);
      else
        PanStep(x, y);
    }
  } else if (FMouseAction == TMouseActMode::maDragCrossH) {
    if (!left_button) {
      FDragging = false;
    } else if (!FDragging) {
      StartDrag(x, y);
      FSelectedCrossHair = 1;
      long double best = 1.7e308L;
      for (int32_t k = 1; k <= CrossHairCount; ++k) {
        const TCrossHair& h = CrossHair(k);
        int32_t px, py;
        WorldToPixel(h.Layer(), h.PosX(), h.PosY(), px, py);
        const TCrossHMode m = h.Mode();
        const long double ddx = static_cast<long double>(px) - x,
                          ddy = static_cast<long double>(py) - y;
        if ((m == TCrossHMode::chVert || m == TCrossHMode::chBoth || m == TCrossHMode::chCrossBox ||
             m == TCrossHMode::chBox) &&
            ddx * ddx < best) {
          FSelectedCrossHair = k;
          best = ddx * ddx;
        }
        if ((m == TCrossHMode::chHoriz || m == TCrossHMode::chBoth ||
             m == TCrossHMode::chCrossBox || m == TCrossHMode::chBox) &&
            ddy * ddy < best) {
          FSelectedCrossHair = k;
          best = ddy * ddy;
        }
      }
    } else {
      TCrossHair& h = CrossHair(FSelectedCrossHair);
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
    }
  } else if (FMouseAction == TMouseActMode::maDragLabel) {
    if (!left_button) {
      FDragging = false;
    } else if (!FDragging) {
      StartDrag(x, y);
      FSelectedLabel = 1;
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
        const long double ddx = static_cast<long double>(px) - x,
                          ddy = static_cast<long double>(py) - y;
        if (ddx * ddx + ddy * ddy < best) {
          FSelectedLabel = l;
          best = ddx * ddx + ddy * ddy;
        }
      }
    } else {
      TTextLabel& t = TextLabels(FSelectedLabel);
      double wx, wy;
      PixelToWorld(t.Layer(), PointerX(x), PointerY(y), wx, wy);
      const TTxtLblAttachMode a = t.AttachToData();
      t.SetPosX(a == TTxtLblAttachMode::tlamXOnly || a == TTxtLblAttachMode::tlamBoth ? wx : x);
      t.SetPosY(a == TTxtLblAttachMode::tlamYOnly || a == TTxtLblAttachMode::tlamBoth ? wy : y);
      RepaintAfterChange();
      if (OnTextLabelMove) OnTextLabelMove(this, t);
    }
  } else if (FZoomState == TZoomState::zsDrawWin && (FMouseAction == TMouseActMode::maZoomWind ||
                                                     FMouseAction == TMouseActMode::maZoomWindPos ||
                                                     FMouseAction == TMouseActMode::maSelectRect)) {
    x = clampX(x);
    if (FIsometric && FMouseAction != TMouseActMode::maSelectRect) {
      const int64_t d = int64_t{x} - FZoomStart.X;
      const int64_t yy = (int64_t{y} - FZoomStart.Y) * d > 0 ? FZoomStart.Y + d : FZoomStart.Y - d;
      y = static_cast<int32_t>(std::clamp<int64_t>(yy, INT32_MIN, INT32_MAX));
    }
    y = clampY(y);
    XorRect(FZoomStart, FCorner);
    XorRect(FZoomStart, {x, y});
    FCorner = {x, y};
    FCornerX = PointerX(x);
    FCornerY = FIsometric && FMouseAction != TMouseActMode::maSelectRect ? y : PointerY(y);
  } else if (FZoomState == TZoomState::zsDrawWin && FMouseAction == TMouseActMode::maRubberBand) {
    x = clampX(x);
    y = clampY(y);
    XorLine(FZoomStart, FCorner);
    XorLine(FZoomStart, {x, y});
    FCorner = {x, y};
    FCornerX = PointerX(x);
    FCornerY = PointerY(y);
  }
  // Position and cursor.
  double wx, wy;
  PixelToWorld(FCurrentLayer, PointerX(x), PointerY(y), wx, wy);
  const bool inside = InPlotArea(x, y);
  if (inside) {
    FMouseWorldX = wx;
    FMouseWorldY = wy;
  }
  SetCursorFor(x, y);
  // The move message's report, with the message's own position.
  double rx, ry;
  PixelToWorld(FCurrentLayer, PointerX(X), PointerY(Y), rx, ry);
  if (OnMouseMoveInChart) OnMouseMoveInChart(this, InPlotArea(X, Y), Shift, rx, ry);
  if (FItemHover && OnItemHover) OnItemHover(this, FindNearestItem(X, Y, FItemPixels));
}

void TCustomKelvo::SetCursorFor(int32_t X, int32_t Y) {
  if (!InPlotArea(X, Y) || FMouseCursorFixed) {
    Screen().SetCursor(crDefault);
    return;
  }
  switch (FMouseAction) {
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
  if (FDoubleClicked) {
    FDoubleClicked = false;
    return;
  }
  // Whatever the action did to the ranges since the press is one step of
  // the zoom history, on every way out of here.
  struct TRecord {
    TCustomKelvo& Chart;
    ~TRecord() { Chart.RecordRangeChange(Chart.FActionStart); }
  } record{*this};
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (LegendMouseUp()) return;
  if (FMouseBoxState == TMouseBoxState::msRectDraw) {
    if (Button == TMouseButton::mbRight) {
      FMouseBoxState = TMouseBoxState::msNormal;
    } else {
      FMouseBox.X2 = X;
      FMouseBox.Y2 = Y;
      FMouseBoxState = TMouseBoxState::msFinished;
    }
    XorRect({FMouseBox.X1, FMouseBox.Y1}, FCorner);
  }
  if (!IsFigureAction(FMouseAction) || FZoomState != TZoomState::zsDrawWin) return;
  FZoomState = TZoomState::zsNormal;
  if (Button == TMouseButton::mbRight) {
    if (FMouseAction == TMouseActMode::maRubberBand)
      XorLine(FZoomStart, FCorner);
    else
      XorRect(FZoomStart, FCorner);
    return;
  }
  if (Button == TMouseButton::mbMiddle) return;
  if (FZoomStart.X == FCorner.X || FZoomStart.Y == FCorner.Y) return;
  TPaintLockScope lock(*this);
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (!MouseAffectsLayer(n)) continue;
    double ax, ay, bx, by;
    PixelToWorld(n, FZoomStartX, FZoomStartY, ax, ay);
    PixelToWorld(n, FCornerX, FCornerY, bx, by);
    if (FMouseAction == TMouseActMode::maZoomWindPos ||
        FMouseAction == TMouseActMode::maSelectRect) {
      const TScaleProps& sx = ScalePropsX(n);
      const TScaleProps& sy = ScalePropsY(n);
      if ((bx < ax && sx.RangeLow() < sx.RangeHigh()) ||
          (bx > ax && sx.RangeLow() > sx.RangeHigh()))
        std::swap(ax, bx);
      if ((by < ay && sy.RangeLow() < sy.RangeHigh()) ||
          (by > ay && sy.RangeLow() > sy.RangeHigh()))
        std::swap(ay, by);
    }
    if (FMouseAction == TMouseActMode::maRubberBand) {
      if (OnRubberBand) OnRubberBand(this, n, ax, ay, bx, by);
    } else if (FMouseAction == TMouseActMode::maSelectRect) {
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
