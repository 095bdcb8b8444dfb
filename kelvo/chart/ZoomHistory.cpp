// Wheel zoom and the zoom history: additions that are off by default, so that the specified
// behaviour stays as it is.
#include <algorithm>
#include <cmath>
#include <limits>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

TCustomKelvo::TLayerRangesSnapshot TCustomKelvo::CurrentRanges() const {
  TLayerRangesSnapshot s{};
  for (int32_t n = 1; n <= LayerCount; ++n) {
    const auto i = static_cast<size_t>(n);
    s[i] = {FPropsX[i]->RangeLow(), FPropsY[i]->RangeLow(), FPropsX[i]->RangeHigh(),
            FPropsY[i]->RangeHigh()};
  }
  return s;
}

void TCustomKelvo::RecordRangeChange(const TLayerRangesSnapshot& Before) {
  const TLayerRangesSnapshot now = CurrentRanges();
  if (now == Before) return;
  if (FZoomHistory.empty()) FZoomHistory.push_back(Before);  // home: before the first change
  FZoomHistory.resize(FZoomAt + 1);                          // a new change drops the forward part
  FZoomHistory.push_back(now);
  // Bounded: home stays, the oldest step after it goes.
  if (FZoomHistory.size() > ZoomHistoryLimit) FZoomHistory.erase(FZoomHistory.begin() + 1);
  FZoomAt = FZoomHistory.size() - 1;
}

void TCustomKelvo::RestoreRanges(size_t Index) {
  if (Index >= FZoomHistory.size()) return;
  FZoomAt = Index;
  const TLayerRangesSnapshot& s = FZoomHistory[Index];
  TPaintLockScope lock(*this);
  for (int32_t n = 1; n <= LayerCount; ++n) {
    const TStartRanges& r = s[static_cast<size_t>(n)];
    SetLayerRanges(n, r.XLow, r.YLow, r.XHigh, r.YHigh, false);
  }
  lock.Unlock();
  if (OnZoomPan) OnZoomPan(this);
}

bool TCustomKelvo::ZoomBack() {
  if (FZoomHistory.empty() || FZoomAt == 0) return false;
  RestoreRanges(FZoomAt - 1);
  return true;
}

bool TCustomKelvo::ZoomForward() {
  if (FZoomAt + 1 >= FZoomHistory.size()) return false;
  RestoreRanges(FZoomAt + 1);
  return true;
}

bool TCustomKelvo::ZoomHome() {
  if (FZoomHistory.empty()) return false;
  RestoreRanges(0);
  return true;
}

void TCustomKelvo::SetWheelZoomFactor(double Value) {
  if (std::isfinite(Value) && Value > 1 && Value <= 100) FWheelZoomFactor = Value;
}

namespace {

// The fewest doubles (steps of the last place of the larger end) a range
// keeps under wheel zoom.
constexpr double MinZoomSteps = 64;

// The new ends of one axis zoomed by Factor about Centre: in log space on a
// logarithmic axis. False when the axis cannot be zoomed (non-finite).
bool ZoomAxis(long double Lo, long double Hi, long double Centre, long double Factor, bool Log,
              long double& NewLo, long double& NewHi) {
  long double lo, hi;
  if (Log) {
    if (!(Lo > 0 && Hi > 0 && Centre > 0)) return false;
    lo = Centre * std::pow(Lo / Centre, Factor);
    hi = Centre * std::pow(Hi / Centre, Factor);
  } else {
    lo = Centre - (Centre - Lo) * Factor;
    hi = Centre + (Hi - Centre) * Factor;
  }
  // Beyond the doubles the axes hold, or a range of nothing: unchanged.
  constexpr long double Top = std::numeric_limits<double>::max();
  if (!(std::fabs(lo) <= Top && std::fabs(hi) <= Top) || lo == hi) return false;
  double l = static_cast<double>(lo), h = static_cast<double>(hi);
  const double oldLo = static_cast<double>(Lo), oldHi = static_cast<double>(Hi);
  const double outLo = oldLo <= oldHi ? -HUGE_VAL : HUGE_VAL;  // away from the other end
  if (Factor < 1) {
    // A zoom in stops while the range still spans MinZoomSteps doubles, so
    // that zooming out (below) can always undo it.
    const double larger = std::max(std::fabs(l), std::fabs(h));
    const double step = std::nextafter(larger, HUGE_VAL) - larger;
    if (!(std::fabs(h - l) >= MinZoomSteps * step)) return false;
  } else if (Factor > 1) {
    // A zoom out always widens: where the factor is lost in the rounding to
    // doubles, each end moves out by at least one double.
    if (!(outLo < 0 ? l < oldLo : l > oldLo)) l = std::nextafter(oldLo, outLo);
    if (!(outLo < 0 ? h > oldHi : h < oldHi)) h = std::nextafter(oldHi, -outLo);
    if (!std::isfinite(l) || !std::isfinite(h) || (Log && !(l > 0))) return false;
  }
  NewLo = l;
  NewHi = h;
  return true;
}

// Moves [Lo, Hi] (either order) into [LimLo, LimHi] keeping its span; a span
// wider than the limits becomes the limits.
void KeepWithin(long double& Lo, long double& Hi, long double LimLo, long double LimHi) {
  const bool up = Hi >= Lo;
  long double a = up ? Lo : Hi, b = up ? Hi : Lo;
  const long double lo = std::min(LimLo, LimHi), hi = std::max(LimLo, LimHi);
  if (b - a >= hi - lo) {
    a = lo;
    b = hi;
  } else if (a < lo) {
    b += lo - a;
    a = lo;
  } else if (b > hi) {
    a -= b - hi;
    b = hi;
  }
  Lo = up ? a : b;
  Hi = up ? b : a;
}

}  // namespace

bool TCustomKelvo::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!FMouseWheelZoom || WheelDelta == 0 || !InPlotArea(MousePos.X, MousePos.Y)) return false;
  const bool onlyX = Shift.Contains(TShiftStateItem::ssShift);
  const bool onlyY = Shift.Contains(TShiftStateItem::ssCtrl) && !onlyX;
  // Away from the user zooms in: each notch shrinks the spans by the factor.
  // At most 100 notches an event: a wheel reports a few at a time.
  const long double notches =
      std::clamp(static_cast<long double>(WheelDelta) / 120, -100.0L, 100.0L);
  const long double factor = std::pow(static_cast<long double>(FWheelZoomFactor), -notches);
  const TLayerRangesSnapshot before = CurrentRanges();
  {
    TPaintLockScope lock(*this);
    for (int32_t n = 1; n <= LayerCount; ++n) {
      if (!MouseAffectsLayer(n)) continue;
      const TScaleProps& sx = ScalePropsX(n);
      const TScaleProps& sy = ScalePropsY(n);
      double cx, cy;
      PixelToWorld(n, PointerX(MousePos.X), PointerY(MousePos.Y), cx, cy);
      long double xlo = sx.RangeLow(), xhi = sx.RangeHigh(), ylo = sy.RangeLow(),
                  yhi = sy.RangeHigh();
      if (!onlyY) ZoomAxis(sx.RangeLow(), sx.RangeHigh(), cx, factor, sx.Logarithmic(), xlo, xhi);
      if (!onlyX) ZoomAxis(sy.RangeLow(), sy.RangeHigh(), cy, factor, sy.Logarithmic(), ylo, yhi);
      if (FSettings.RangeLimits.Any()) {
        KeepWithin(xlo, xhi, FSettings.RangeLimits.LoX, FSettings.RangeLimits.HiX);
        KeepWithin(ylo, yhi, FSettings.RangeLimits.LoY, FSettings.RangeLimits.HiY);
      }
      SetLayerRanges(n, xlo, ylo, xhi, yhi, true);
    }
    lock.Unlock();
  }
  RecordRangeChange(before);
  if (OnZoomPan) OnZoomPan(this);
  return true;
}

void TCustomKelvo::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!FZoomHistoryKeys) return;
  constexpr uint16_t Backspace = 8, Home = 36;
  bool done = false;
  if (Key == Backspace)
    done = Shift.Contains(TShiftStateItem::ssShift) ? ZoomForward() : ZoomBack();
  else if (Key == Home)
    done = ZoomHome();
  if (done) Key = 0;
}

}  // namespace vexa
