// World-to-pixel mapping: per-layer factors, the mapping both ways, pixel
// clipping and the isometric rule.
#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "kelvo/base/Errors.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {
// The smallest value treated as positive on a logarithmic axis.
constexpr long double LogFloor = 1e-100L;

// An extended value rounded to a double, clamped to the pixel range and
// rounded half to even: the conversion instruction rounds in the default
// mode, to nearest with ties to even, and is safe once the value is
// clamped. NaN gives 0.
inline int32_t PixelOf(long double v) {
  const double d = static_cast<double>(v);
  if (!(d == d)) return 0;
  if (d > 2147483647.0) return 2147483647;
  if (d < -2147483647.0) return -2147483647;
#if defined(__SSE2__)
  return _mm_cvtsd_si32(_mm_set_sd(d));
#else
  return static_cast<int32_t>(std::nearbyint(d));
#endif
}
// An extended factor as a double; beyond the double range it becomes an
// infinity, which the quick mapping path refuses.
inline double ToDouble(long double v) {
  if (v > std::numeric_limits<double>::max()) return HUGE_VAL;
  if (v < -std::numeric_limits<double>::max()) return -HUGE_VAL;
  return static_cast<double>(v);
}
// An axis can be mapped unless it is logarithmic with a range end that is
// not positive; an axis with no pixels (Extent <= 0) needs no range.
inline bool AxisMappable(const TScaleProps& p, long double Extent) {
  return !(Extent > 0) || !p.Logarithmic() || (p.RangeLow() > 0 && p.RangeHigh() > 0);
}
}  // namespace

const TLayerMapping& TCustomKelvo::Mapping(int32_t Layer) const {
  return FMapping[static_cast<size_t>(Layer >= 1 && Layer <= LayerCount ? Layer : 1)];
}

const TLayerMapping& TCustomKelvo::DeviceMapping(int32_t Layer) const {
  const auto i = static_cast<size_t>(Layer >= 1 && Layer <= LayerCount ? Layer : 1);
  return DeviceScale().Identity() ? FMapping[i] : FDeviceMapping[i];
}

void TCustomKelvo::UpdateMapping() {
  if (!MapLayers()) throw EVexaKelvoError("Logarithmic axis must not be negative.");
}

void TCustomKelvo::RemapLayers() {
  if (IsLoading() || !FPropsX[LayerCount]) return;
  const long double W = static_cast<long double>(Width()) - FSettings.MarginLeft -
                        FSettings.MarginRight - FSettings.ShadowWidth;
  const long double H = static_cast<long double>(Height()) - FSettings.MarginTop -
                        FSettings.MarginBottom - FSettings.ShadowWidth;
  bool mappable = true;
  for (int32_t n = 1; n <= LayerCount && mappable; ++n)
    mappable = AxisMappable(ScalePropsX(n), W) && AxisMappable(ScalePropsY(n), H);
  if (mappable)
    UpdateMapping();
  else
    MapLayers();
}

bool TCustomKelvo::MapLayers() {
  if (IsLoading() || !FPropsX[LayerCount]) return true;
  FMappingValid = false;
  const long double W = static_cast<long double>(Width()) - FSettings.MarginLeft -
                        FSettings.MarginRight - FSettings.ShadowWidth;
  const long double H = static_cast<long double>(Height()) - FSettings.MarginTop -
                        FSettings.MarginBottom - FSettings.ShadowWidth;
  const long double right =
      static_cast<long double>(Width()) - FSettings.MarginRight - FSettings.ShadowWidth;
  const long double bottom =
      static_cast<long double>(Height()) - FSettings.MarginBottom - FSettings.ShadowWidth;
  for (int32_t n = 1; n <= LayerCount; ++n) {
    TLayerMapping& m = FMapping[static_cast<size_t>(n)];
    const TScaleProps& sx = ScalePropsX(n);
    const TScaleProps& sy = ScalePropsY(n);
    m.Quick = m.QuickX = m.QuickY = false;  // until both axes have their factors
    m.LogX = sx.Logarithmic();
    m.FloorX = sx.RangeHigh() >= sx.RangeLow() ? 0 : Width();
    if (W > 0) {
      const long double rl = sx.RangeLow(), rh = sx.RangeHigh();
      if (sx.Logarithmic()) {
        if (!AxisMappable(sx, W)) return false;
        const long double g = std::log(rh) - std::log(rl);
        m.KX = W / g;
        m.DX = (std::log(rh) * FSettings.MarginLeft - std::log(rl) * right) / g;
      } else {
        m.KX = W * (1 / (rh - rl));
        m.DX = (FSettings.MarginLeft * rh - right * rl) / (rh - rl);
      }
    } else {
      m.KX = 0;
      m.DX = Width() / 2.0L;
    }
    m.LogY = sy.Logarithmic();
    m.FloorY = sy.RangeHigh() >= sy.RangeLow() ? Height() : 0;
    if (H > 0) {
      const long double rl = sy.RangeLow(), rh = sy.RangeHigh();
      if (sy.Logarithmic()) {
        if (!AxisMappable(sy, H)) return false;
        const long double g = std::log(rh) - std::log(rl);
        m.KY = -H / g;
        m.DY = (std::log(rh) * bottom - std::log(rl) * FSettings.MarginTop) / g;
      } else {
        m.KY = -H / (rh - rl);
        m.DY = (bottom * rh - FSettings.MarginTop * rl) / (rh - rl);
      }
    } else {
      m.KY = 0;
      m.DY = Height() / 2.0L;
    }
    m.PrepareQuickPath();
    if (!DeviceScale().Identity()) {
      // Device pixels: the logical pixel position times the ratio, so a
      // world point's device pixel is its exact position rounded once.
      const long double r = DeviceScale().Ratio;
      TLayerMapping& dm = FDeviceMapping[static_cast<size_t>(n)];
      dm = m;
      dm.KX *= r, dm.DX *= r, dm.KY *= r, dm.DY *= r, dm.FloorX *= r, dm.FloorY *= r;
      dm.PrepareQuickPath();
    }
  }
  FMappingValid = true;
  return true;
}

// A NaN world value maps to pixel 0, like any value the mapping cannot place.
void TCustomKelvo::WorldToPixel(int32_t Layer, double X, double Y, int32_t& PX, int32_t& PY) const {
  const int32_t layer = Layer < 1 ? 1 : (Layer > LayerCount ? LayerCount : Layer);
  FMapping[static_cast<size_t>(layer)].Map(X, Y, PX, PY);
}

void TLayerMapping::PrepareQuickPath() {
  KXd = ToDouble(KX);
  DXd = ToDouble(DX);
  KYd = ToDouble(KY);
  DYd = ToDouble(DY);
  const double d = std::max(std::fabs(DXd), std::fabs(DYd));
  QuickMargin = 0.5 - 0x1p-50 * (2 * d + 2 * QuickLimit + 1);
  Quick = !LogX && !LogY && std::isfinite(KXd) && std::isfinite(KYd) && d < 1e12;
  QuickMarginX = 0.5 - 0x1p-50 * (2 * std::fabs(DXd) + 2 * QuickLimit + 1);
  QuickMarginY = 0.5 - 0x1p-50 * (2 * std::fabs(DYd) + 2 * QuickLimit + 1);
  const bool usableX = std::isfinite(KXd) && std::fabs(DXd) < 1e12;
  const bool usableY = std::isfinite(KYd) && std::fabs(DYd) < 1e12;
  QuickX = !LogX && usableX;
  QuickY = !LogY && usableY;
  QuickLogX = LogX && usableX;
  QuickLogY = LogY && usableY;
}

int32_t TLayerMapping::ExactPixelX(double X) const {
  if (!LogX) return PixelOf(KX * X + DX);
  if (X > LogFloor) return PixelOf(KX * std::log(static_cast<long double>(X)) + DX);
  return PixelOf(FloorX);
}

int32_t TLayerMapping::ExactPixelY(double Y) const {
  if (!LogY) return PixelOf(KY * Y + DY);
  if (Y > LogFloor) return PixelOf(KY * std::log(static_cast<long double>(Y)) + DY);
  return PixelOf(FloorY);
}

void TCustomKelvo::PixelToWorld(int32_t Layer, int32_t PX, int32_t PY, double& X, double& Y) const {
  PixelToWorld(Layer, static_cast<double>(PX), static_cast<double>(PY), X, Y);
}

void TCustomKelvo::PixelToWorld(int32_t Layer, double PX, double PY, double& X, double& Y) const {
  const int32_t layer = Layer < 1 ? 1 : (Layer > LayerCount ? LayerCount : Layer);
  const TLayerMapping& m = FMapping[static_cast<size_t>(layer)];
  const TScaleProps& sx = *FPropsX[static_cast<size_t>(layer)];
  const TScaleProps& sy = *FPropsY[static_cast<size_t>(layer)];
  // An empty data area has no inverse: the axis' low end stands in.
  if (m.KX == 0) {
    X = sx.RangeLow();
  } else {
    const long double t = (PX - m.DX) / m.KX;
    X = static_cast<double>(sx.Logarithmic() ? std::exp(t) : t);
  }
  if (m.KY == 0) {
    Y = sy.RangeLow();
  } else {
    const long double t = (PY - m.DY) / m.KY;
    Y = static_cast<double>(sy.Logarithmic() ? std::exp(t) : t);
  }
}

// An empty data area (width or height + 1 not positive) or a zero aspect
// value leaves the layer's range as it is.
void TCustomKelvo::ApplyIsometric(int32_t Layer) {
  TScaleProps& sx = ScalePropsX(Layer);
  TScaleProps& sy = ScalePropsY(Layer);
  const long double W = static_cast<long double>(Width()) - FSettings.MarginLeft -
                        FSettings.MarginRight - FSettings.ShadowWidth;
  const long double H = static_cast<long double>(Height()) - FSettings.MarginTop -
                        FSettings.MarginBottom - FSettings.ShadowWidth;
  if (W + 1 <= 0 || H + 1 <= 0 || FSettings.AspectX == 0) return;
  const long double mid = (static_cast<long double>(sy.RangeHigh()) + sy.RangeLow()) / 2;
  const long double s = (static_cast<long double>(sx.RangeHigh()) - sx.RangeLow()) * (H + 1) /
                        (W + 1) * FSettings.AspectY / FSettings.AspectX / 2;
  sy.SetRangeHigh(static_cast<double>(mid + s));
  sy.SetRangeLow(static_cast<double>(mid - s));
}

}  // namespace vexa
