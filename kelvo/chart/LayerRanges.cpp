// Range application: settings objects into axes, new ranges into layers,
// range limits and joined layers.
#include <algorithm>
#include <cmath>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

void TCustomKelvo::CopyScaleSettings(TScale& Scale, const TScaleProps& Props) {
  const int64_t W = Width(), H = Height(), P = Props.ScalePos();
  Scale.SetScaleType(Props.ScaleType());
  auto clamp32 = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  switch (Props.ScaleType()) {
    case TScaleType::sctXB:
      Scale.SetMarginBottom(clamp32(P + H - FSettings.MarginTop - 1));
      break;
    case TScaleType::sctXT:
      Scale.SetMarginTop(clamp32(P + H - FSettings.MarginBottom - FSettings.ShadowWidth));
      break;
    case TScaleType::sctYL:
      Scale.SetMarginLeft(clamp32(P + W - FSettings.MarginRight - FSettings.ShadowWidth));
      break;
    case TScaleType::sctYR:
      Scale.SetMarginRight(clamp32(P + W - FSettings.MarginLeft - 1));
      break;
  }
  Scale.SetRangeLow(Props.RangeLow());
  Scale.SetRangeHigh(Props.RangeHigh());
  Scale.SetVisible(Props.Visible());
  Scale.SetAxisSettings(Props.AxisSettings());
  Scale.Font().Assign(&Props.Font());
  Scale.Font().SetColor(Props.Font().Color());
  Scale.SetDateFormat(Props.DateFormat());
}

void TCustomKelvo::ApplyScaleSettings() {
  TPaintLockScope lock(*this);
  if (IsLoading()) RangesToUnstoredControllers();
  for (int32_t n = 1; n <= LayerCount; ++n) {
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
  }
  for (int32_t n = 1; n <= LayerCount; ++n)
    SetLayerRanges(n, ScalePropsX(n).RangeLow(), ScalePropsY(n).RangeLow(),
                   ScalePropsX(n).RangeHigh(), ScalePropsY(n).RangeHigh(), false);
  lock.Restore();
  RepaintAfterChange();
}

void TCustomKelvo::ApplyLayerRanges(int32_t Layer, long double LoX, long double LoY,
                                    long double HiX, long double HiY, bool ApplyLimits) {
  if (Layer < 1 || Layer > LayerCount) return;
  if (ApplyLimits && FSettings.RangeLimits.Any()) {
    const TRangeLimits& lim = FSettings.RangeLimits;
    const long double dX = static_cast<double>(HiX - LoX), dY = static_cast<double>(HiY - LoY);
    const bool panX = FSettings.MouseAction == TMouseActMode::maPan ||
                      FSettings.MouseAction == TMouseActMode::maPanHoriz;
    const bool panY = FSettings.MouseAction == TMouseActMode::maPan ||
                      FSettings.MouseAction == TMouseActMode::maPanVert;
    auto limit = [](long double& lo, long double& hi, long double limLo, long double limHi,
                    bool pan, long double d) {
      // A pan keeps the range's width and stops at the limit; anything else is cut.
      if (lo < limLo) {
        lo = limLo;
        if (pan) hi = lo + d;
      }
      if (lo > limHi) {
        lo = limHi;
        if (pan) hi = lo + d;
      }
      if (hi < limLo) {
        hi = limLo;
        if (pan) lo = hi - d;
      }
      if (hi > limHi) {
        hi = limHi;
        if (pan) lo = hi - d;
      }
    };
    limit(LoX, HiX, lim.LoX, lim.HiX, panX, dX);
    limit(LoY, HiY, lim.LoY, lim.HiY, panY, dY);
  }
  auto store = [](TScaleProps& p, long double lo, long double hi) {
    // Fields are stored directly: no setter rules, no notification.
    if (!(std::fabs(hi - lo) >= p.MinRange())) return;  // too narrow (or NaN): unchanged
    // Ends beyond the finite doubles, or ends that become one double: the
    // axis keeps its range rather than lose it.
    const double l = static_cast<double>(lo), h = static_cast<double>(hi);
    if (!std::isfinite(l) || !std::isfinite(h)) return;
    if (p.Logarithmic()) {
      const double keptLo = lo >= 1e-100L ? l : p.RangeLow();
      const double keptHi = hi >= 1e-100L ? h : p.RangeHigh();
      if (keptLo == keptHi) return;
      p.StoreRangeLow(keptLo);
      p.StoreRangeHigh(keptHi);
    } else {
      if (l == h) return;
      p.StoreRangeHigh(h);
      p.StoreRangeLow(l);
    }
  };
  store(ScalePropsX(Layer), LoX, HiX);
  store(ScalePropsY(Layer), LoY, HiY);
  CopyScaleSettings(ScaleX(Layer), ScalePropsX(Layer));
  CopyScaleSettings(ScaleY(Layer), ScalePropsY(Layer));
  RemapLayers();
}

void TCustomKelvo::SetLayerRanges(int32_t Layer, long double LoX, long double LoY, long double HiX,
                                  long double HiY, bool ApplyLimits) {
  if (Layer < 1 || Layer > LayerCount) return;
  TPaintLockScope lock(*this);
  // A joined axis keeps showing its controller's range.
  if (FJointLayers->XControlledBy(Layer) != Layer) {
    LoX = ScalePropsX(Layer).RangeLow();
    HiX = ScalePropsX(Layer).RangeHigh();
  }
  if (FJointLayers->YControlledBy(Layer) != Layer) {
    LoY = ScalePropsY(Layer).RangeLow();
    HiY = ScalePropsY(Layer).RangeHigh();
  }
  ApplyLayerRanges(Layer, LoX, LoY, HiX, HiY, ApplyLimits);
  for (int32_t i = 1; i <= LayerCount; ++i) {
    if (i == Layer) continue;
    const int32_t cx = FJointLayers->XControlledBy(i), cy = FJointLayers->YControlledBy(i);
    if (cx != Layer && cy != Layer) continue;
    ApplyLayerRanges(i, ScalePropsX(cx).RangeLow(), ScalePropsY(cy).RangeLow(),
                     ScalePropsX(cx).RangeHigh(), ScalePropsY(cy).RangeHigh(), false);
  }
  lock.Unlock();
}

void TCustomKelvo::LayerJoined(int32_t Layer, TJointAxis Axis) {
  const int32_t d = Axis == TJointAxis::jaX ? FJointLayers->XControlledBy(Layer)
                                            : FJointLayers->YControlledBy(Layer);
  const TScaleProps& sx = Axis == TJointAxis::jaX ? static_cast<const TScaleProps&>(ScalePropsX(d))
                                                  : ScalePropsX(Layer);
  const TScaleProps& sy = Axis == TJointAxis::jaY ? static_cast<const TScaleProps&>(ScalePropsY(d))
                                                  : ScalePropsY(Layer);
  ApplyLayerRanges(Layer, sx.RangeLow(), sy.RangeLow(), sx.RangeHigh(), sy.RangeHigh(), false);
}

}  // namespace vexa
