// TScale: properties, value-to-pixel mapping, the paint sequence, caption
// and copying. The tick passes are in NumericTicks.cpp.
#include "kelvo/scale/Scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "kelvo/base/Frame.h"
#include "kelvo/base/PixelMath.h"

namespace vexa {

namespace {

// The other end of a range whose ends would become equal: value + 1, or the
// next double above where adding 1 changes nothing (|value| >= 2^53).
double OtherEnd(double Value) {
  const double r = Value + 1;
  return (r == Value && std::isfinite(Value))
             ? std::nextafter(Value, std::numeric_limits<double>::infinity())
             : r;
}

// Copies date format settings into the owned object. The date format's own
// Assign takes over the source's notification too; the owned object keeps
// notifying this scale, so it never points at an object that may be gone.
void CopyDateFormat(TDTLabel& Own, const TDTLabel& Source) {
  TNotifyEvent wiring = Own.OnChange;
  Own.Assign(&Source);
  Own.OnChange = std::move(wiring);
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

TScale::TScale(TComponent* AOwner) : TCustomControl(AOwner) {
  FDateFormat.SetTimeFormat(TTimeFormat::tfHHMMSS);
  FDateFormat.SetDateSeparator('-');
  FDateFormat.SetTimeSeparator(':');
  FDateFormat.SetYearLength(TYearLength::ylYYYY);
  FDateFormat.SetMonthName(true);
  FDateFormat.SetDateForTime(TDateForTime::dtOnePerDay);
  FDateFormat.SetDateOrder(TDateOrder::doDDMMYY);
  FDateFormat.OnChange = TNotifyEvent::Bound(FLifetime, [this](TObject*) { RequestRepaint(); });
  FOpaqueBitmap.SetPixelFormat(TPixelFormat::pf32bit);
  SetBounds(Left(), Top(), 400, 400);
  UpdateScaleFactors();
}

TScale::~TScale() { FLifetime.Revoke(); }

// --- setters ---

void TScale::SetCaption(const std::string& Value) {
  FAxis.Caption = Value;
  RequestRepaint();
}
void TScale::SetCaptionPosX(int32_t Value) {
  FAxis.CaptionPosX = Value;
  RequestRepaint();
}
void TScale::SetCaptionPosY(int32_t Value) {
  FAxis.CaptionPosY = Value;
  RequestRepaint();
}
void TScale::SetCaptionAlignment(TAlignment Value) {
  FAxis.CaptionAlignment = Value;
  RequestRepaint();
}
void TScale::SetCaptionAnchor(TScaleUnitAnchor Value) {
  FAxis.CaptionAnchor = Value;
  RequestRepaint();
}

void TScale::SetColorBackGnd(TColor Value) {
  if (Value == FColorBackGnd) return;
  FColorBackGnd = Value;
  RequestRepaint();
}

void TScale::SetColorScale(TColor Value) {
  if (Value == FAxis.ColorScale) return;
  FAxis.ColorScale = Value;
  RequestRepaint();
}

void TScale::SetColorScheme(TColorScheme Value) {
  if (Value == FColorScheme) return;
  FColorScheme = Value;
  if (Value == TColorScheme::csSystem) {
    FFrameColorShadow = clBtnShadow;
    FFrameColorLight = clBtnHighlight;
  } else {
    FFrameColorShadow = clGray;
    FFrameColorLight = clWhite;
  }
  RequestRepaint();
}

void TScale::SetDateFormat(const TDTLabel& Value) {
  CopyDateFormat(FDateFormat, Value);
  RequestRepaint();
}

void TScale::SetDecPlaces(int32_t Value) {
  FAxis.DecPlaces = std::clamp(Value, -3, 12);
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetFrameStyle(TFrameStyle Value) {
  if (Value == FFrameStyle) return;
  FFrameStyle = Value;
  RequestRepaint();
}

void TScale::SetLabelType(TFigType Value) {
  FAxis.LabelType = Value;
  if (Value == TFigType::ftDateTime) {
    FAxis.Logarithmic = false;
    UpdateScaleFactors();
  } else if (Value == TFigType::ftTime) {
    FAxis.DecPlaces = 4;
  }
  RequestRepaint();
}

void TScale::SetLogarithmic(bool Value) {
  if (!Value)
    FAxis.Logarithmic = false;
  else if (FLoading ||
           (FRangeLow >= 1e-100 && FRangeHigh >= 1e-100 && FAxis.LabelType != TFigType::ftDateTime))
    FAxis.Logarithmic = true;
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetMarginTop(int32_t Value) {
  FMarginTop = std::max(Value, 0);
  UpdateScaleFactors();
  RequestRepaint();
}
void TScale::SetMarginBottom(int32_t Value) {
  FMarginBottom = std::max(Value, 0);
  UpdateScaleFactors();
  RequestRepaint();
}
void TScale::SetMarginLeft(int32_t Value) {
  FMarginLeft = std::max(Value, 0);
  UpdateScaleFactors();
  RequestRepaint();
}
void TScale::SetMarginRight(int32_t Value) {
  FMarginRight = std::max(Value, 0);
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetMinTicks(int32_t Value) {
  FAxis.MinTicks = Value == 0 ? 0 : std::clamp(Value, 2, 10);
  RequestRepaint();
}

// A range end that is not finite is ignored: the axis keeps its range.
void TScale::SetRangeLow(double Value) {
  if (!std::isfinite(Value)) return;
  FRangeLow = Value;
  if (FRangeLow == FRangeHigh) FRangeHigh = OtherEnd(Value);
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetRangeHigh(double Value) {
  if (!std::isfinite(Value)) return;
  FRangeHigh = Value;
  if (FRangeHigh == FRangeLow) FRangeLow = OtherEnd(Value);  // the range becomes reversed
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetScaleInscript(const std::string& Value) {
  FAxis.ScaleInscript = Value;
  RequestRepaint();
}

void TScale::SetScaleType(TScaleType Value) {
  if (Value == FScaleType) return;
  FScaleType = Value;
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::SetCaptionRotated(bool Value) {
  if (Value == FAxis.CaptionRotated) return;
  FAxis.CaptionRotated = Value;
  RequestRepaint();
}

void TScale::SetLogLabelStyle(TLogLabelStyle Value) {
  if (Value == FAxis.LogLabelStyle) return;
  FAxis.LogLabelStyle = Value;
  RequestRepaint();
}

void TScale::SetAvoidLabelOverlap(bool Value) {
  if (Value == FAxis.AvoidLabelOverlap) return;
  FAxis.AvoidLabelOverlap = Value;
  RequestRepaint();
}

void TScale::SetShortTicks(bool Value) {
  if (Value == FAxis.ShortTicks) return;
  FAxis.ShortTicks = Value;
  RequestRepaint();
}

void TScale::SetShowBaseLine(bool Value) {
  FShowBaseLine = Value;
  RequestRepaint();
}

void TScale::SetTransparent(bool Value) {
  FTransparent = Value;
  RequestRepaint();
}

void TScale::SetUserTickText(const std::string& Value) {
  FAxis.UserTickText = Value;
  RequestRepaint();
}

void TScale::SetCategories(std::vector<std::string> Value) {
  FAxis.Categories = std::move(Value);
  RequestRepaint();
}

void TScale::SetAxisSettings(const TAxisSettings& Value) {
  TAxisSettings v = Value;
  v.DecPlaces = v.LabelType == TFigType::ftTime ? 4 : std::clamp(v.DecPlaces, -3, 12);
  v.MinTicks = v.MinTicks == 0 ? 0 : std::clamp(v.MinTicks, 2, 10);
  v.Logarithmic = v.Logarithmic && v.LabelType != TFigType::ftDateTime &&
                  (FLoading || (FRangeLow >= 1e-100 && FRangeHigh >= 1e-100));
  FAxis = std::move(v);
  UpdateScaleFactors();
  RequestRepaint();
}

// --- public operations ---

void TScale::SetPaintSuspended(bool Value) {
  if (Value == FPaintSuspended) return;
  FPaintSuspended = Value;
  if (!Value) RequestRepaint();
}

void TScale::ForcePaint() {
  const bool suspended = FPaintSuspended;
  FPaintSuspended = false;
  RequestRepaint();
  FPaintSuspended = suspended;
}

void TScale::SetChartOwned(bool Value) {
  if (Value == FChartOwned) return;
  FChartOwned = Value;
  RequestRepaint();
}

void TScale::SetDrawTarget(TCanvas* Canvas, int32_t OffsetX, int32_t OffsetY) {
  FDrawTarget = Canvas;
  FDrawTargetLife = Canvas ? Canvas->Lifetime() : std::weak_ptr<const void>{};
  FOffsetX = OffsetX;
  FOffsetY = OffsetY;
}

double TScale::TickPos(int32_t Index) const {
  return Index >= 1 && Index <= FNumTicks ? FTicks[static_cast<size_t>(Index - 1)] : 0.0;
}

// --- mapping ---

void TScale::UpdateScaleFactors() {
  if (IsLoading() || FRangeHigh == FRangeLow) return;
  const long double low = FRangeLow, high = FRangeHigh;
  const bool logOk = low > 0 && high > 0;
  if (IsHorizontal(FScaleType)) {
    const int64_t s = int64_t{Width()} - FMarginLeft - FMarginRight - 1;
    if (s <= 0) {
      FScaleFactor = 0;
      FScaleOffset = Width() / 2.0;
    } else if (!FAxis.Logarithmic) {
      const long double f = s / (high - low);
      FScaleFactor = static_cast<double>(f);
      FScaleOffset = static_cast<double>(FMarginLeft - low * f);
    } else if (logOk) {
      const long double f = s / (std::log(high) - std::log(low));
      FScaleFactor = static_cast<double>(f);
      FScaleOffset = static_cast<double>(FMarginLeft - std::log(low) * f);
    }
  } else {
    const int64_t s = int64_t{Height()} - FMarginTop - FMarginBottom - 1;
    if (s <= 0) {
      FScaleFactor = 0;
      FScaleOffset = Height() / 2.0;
    } else if (!FAxis.Logarithmic) {
      // Negative for an ascending range: larger values lie higher.
      const long double f = s / (low - high);
      FScaleFactor = static_cast<double>(f);
      FScaleOffset = static_cast<double>(FMarginTop - high * f);
    } else if (logOk) {
      const long double f = s / (std::log(low) - std::log(high));
      FScaleFactor = static_cast<double>(f);
      FScaleOffset = static_cast<double>(FMarginTop - std::log(high) * f);
    }
  }
}

long double TScale::ExactPixel(double Value) const {
  if (!FAxis.Logarithmic) return static_cast<long double>(FScaleFactor) * Value + FScaleOffset;
  if (Value > 1e-100)
    return std::log(static_cast<long double>(Value)) * FScaleFactor + FScaleOffset;
  return FRangeHigh >= FRangeLow ? 0 : Width();
}

int32_t TScale::ValueToPixel(double Value) const { return RoundClamped(ExactPixel(Value)); }

// Mapped straight: the logical position times the ratio, rounded once.
int32_t TScale::DeviceValueToPixel(double Value) const {
  const TDeviceScale& d = DeviceScale();
  if (d.Identity()) return ValueToPixel(Value);
  return RoundClamped(ExactPixel(Value) * static_cast<long double>(d.Ratio));
}

void TScale::RequestRepaint() {
  if (FTransparent && !FChartOwned)
    Invalidate();
  else
    Paint();
}

// --- painting ---

void TScale::Paint() {
  const bool shown = Visible() || (IsDesigning() && !FChartOwned);
  if (!shown || IsLoading() || FPaintSuspended) return;
  TCanvas* const drawTarget = DrawTarget();
  TCanvas& target = drawTarget ? *drawTarget : Canvas();
  const int32_t ox = drawTarget ? FOffsetX : 0, oy = drawTarget ? FOffsetY : 0;
  target.SetFont(Font());
  if (OnBeforeScaleRendered) OnBeforeScaleRendered(this, target);
  const bool horizontal = IsHorizontal(FScaleType);
  // Base line coordinate; positions along the axis are the control's own.
  auto base = [&](int32_t dx, int32_t dy) -> int32_t {
    switch (FScaleType) {
      case TScaleType::sctXB:
        return ClampToInt32(int64_t{dy} + target.Pos(int64_t{Height()} - FMarginBottom - 1));
      case TScaleType::sctXT:
        return ClampToInt32(int64_t{dy} + target.Pos(FMarginTop));
      case TScaleType::sctYL:
        return ClampToInt32(int64_t{dx} + target.Pos(FMarginLeft));
      case TScaleType::sctYR:
        return ClampToInt32(int64_t{dx} + target.Pos(int64_t{Width()} - FMarginRight - 1));
    }
    return 0;
  };
  auto baseLine = [&](TCanvas& c, int32_t b) {
    if (!FShowBaseLine) return;
    if (horizontal) {
      c.MoveTo(c.Pos(FMarginLeft), b);
      c.LineTo(c.Pos(int64_t{Width()} - FMarginRight - 1), b);
    } else {
      c.MoveTo(b, c.Pos(FMarginTop));
      c.LineTo(b, c.Pos(int64_t{Height()} - FMarginBottom - 1));
    }
  };
  auto pass = [&](TCanvas& c, int32_t b) {
    if (horizontal)
      PaintHorizontal(c, b);
    else
      PaintVertical(c, b);
  };

  if (FTransparent) {
    target.Pen().SetColor(FAxis.ColorScale);
    const int32_t b = base(ox, oy);
    pass(target, b);
    baseLine(target, b);
    if (OnAfterScaleRendered) OnAfterScaleRendered(this, target);
  } else {
    TBitmap& bmp = FOpaqueBitmap;
    bmp.SetSize(DeviceScale().Side(Width()), DeviceScale().Side(Height()));
    TCanvas& c = bmp.Canvas();
    c.SetDeviceScale(DeviceScale());
    c.SetFont(Font());
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetMode(TPenMode::pmCopy);
    c.Pen().SetColor(FColorBackGnd);
    c.Brush().SetColor(FColorBackGnd);
    c.Rectangle(0, 0, bmp.Width(), bmp.Height());
    c.Pen().SetColor(FAxis.ColorScale);
    const int32_t b = base(0, 0);
    pass(c, b);
    baseLine(c, b);
    if (OnAfterScaleRendered) OnAfterScaleRendered(this, c);
    DrawFrame(c, FFrameStyle, 0, 0, Width() - 1, Height() - 1,
              TFrameColors{FFrameColorDark, FFrameColorShadow, FFrameColorLight});
    target.Draw(ox, oy, bmp);
  }
  if (!drawTarget) SurfaceChanged();
}

void TScale::PaintCaption(TCanvas& Canvas, int32_t Base, int64_t LabelExtent) {
  if (FAxis.Caption.empty()) return;
  const int64_t w = Canvas.TextWidth(FAxis.Caption);
  if (FAxis.CaptionRotated && !IsHorizontal(FScaleType)) {
    // Turned to read upwards: its box is the text's height wide and its
    // width high, beside the labels (their gap, the widest, a gap), centred
    // along the axis, and moved inside the control where it would leave it.
    const int64_t cell = Canvas.TextHeight(FAxis.Caption);
    const int64_t away = Canvas.Len(8) + LabelExtent + Canvas.Len(6);
    int64_t x =
        FScaleType == TScaleType::sctYL ? int64_t{Base} + away : int64_t{Base} - away - cell;
    const int64_t top = Canvas.Pos(FMarginTop),
                  bottom = Canvas.Pos(int64_t{Height()} - FMarginBottom);
    int64_t y = (top + bottom) / 2 + w / 2;  // the reference point, at the text's start
    const int64_t right = DeviceScale().Side(Width()), low = DeviceScale().Side(Height());
    x = std::max<int64_t>(0, std::min(x, right - cell));
    y = std::min(std::max(y, w - 1), low - 1);
    Canvas.Font().SetOrientation(900);
    Canvas.TextOut(ClampToInt32(x), ClampToInt32(y), FAxis.Caption);
    Canvas.Font().SetOrientation(0);
    return;
  }
  int64_t x, y;
  if (!IsHorizontal(FScaleType)) {
    x = int64_t{Base} + Canvas.Len(FAxis.CaptionPosX);
    switch (FAxis.CaptionAnchor) {
      case TScaleUnitAnchor::uaSclTopLft:
        y = Canvas.Pos(int64_t{FAxis.CaptionPosY} + FMarginTop);
        break;
      case TScaleUnitAnchor::uaSclCenter:
        y = Canvas.Pos(int64_t{FAxis.CaptionPosY} + FMarginTop +
                       (int64_t{Height()} - FMarginTop - FMarginBottom) / 2);
        break;
      default:
        y = Canvas.Pos(int64_t{FAxis.CaptionPosY} + Height() - FMarginBottom);
        break;
    }
  } else {
    y = int64_t{Base} + Canvas.Len(FAxis.CaptionPosY);
    switch (FAxis.CaptionAnchor) {
      case TScaleUnitAnchor::uaSclTopLft:
        x = Canvas.Pos(int64_t{FAxis.CaptionPosX} + FMarginLeft);
        break;
      case TScaleUnitAnchor::uaSclCenter:
        x = Canvas.Pos(int64_t{FAxis.CaptionPosX} + FMarginLeft +
                       (int64_t{Width()} - FMarginLeft - FMarginRight) / 2);
        break;
      default:
        x = Canvas.Pos(int64_t{FAxis.CaptionPosX} + Width() - FMarginRight);
        break;
    }
  }
  if (FAxis.CaptionAlignment == TAlignment::taRightJustify)
    x -= w;
  else if (FAxis.CaptionAlignment == TAlignment::taCenter)
    x -= w / 2;
  Canvas.TextOut(ClampToInt32(x), ClampToInt32(y), FAxis.Caption);
}

// --- lifecycle ---

void TScale::CreateWnd() {
  TCustomControl::CreateWnd();
  FPaintSuspended = false;
}

void TScale::Loaded() {
  TCustomControl::Loaded();
  UpdateScaleFactors();
  FLoading = false;
  RequestRepaint();
}

void TScale::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateScaleFactors();
  RequestRepaint();
}

void TScale::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TScale*>(Source);
  if (!s) {
    TCustomControl::Assign(Source);
    return;
  }
  if (s == this) return;
  // Plain field copies without setter rules.
  FFrameStyle = s->FFrameStyle;
  FColorBackGnd = s->FColorBackGnd;
  FAxis.ColorScale = s->FAxis.ColorScale;
  FFrameColorDark = s->FFrameColorDark;
  FFrameColorShadow = s->FFrameColorShadow;
  FFrameColorLight = s->FFrameColorLight;
  FColorScheme = s->FColorScheme;
  OnScaleTickDrawn = s->OnScaleTickDrawn;
  OnBeforeTickLabel = s->OnBeforeTickLabel;
  FAxis.Logarithmic = s->FAxis.Logarithmic;
  FScaleFactor = s->FScaleFactor;
  FScaleOffset = s->FScaleOffset;
  FRangeHigh = s->FRangeHigh;
  FRangeLow = s->FRangeLow;
  FAxis.ShortTicks = s->FAxis.ShortTicks;
  FAxis.LogLabelStyle = s->FAxis.LogLabelStyle;
  FAxis.AvoidLabelOverlap = s->FAxis.AvoidLabelOverlap;
  FAxis.CaptionRotated = s->FAxis.CaptionRotated;
  FNumTicks = s->FNumTicks;
  FAxis.MinTicks = s->FAxis.MinTicks;
  FAxis.DecPlaces = s->FAxis.DecPlaces;
  FShowBaseLine = s->FShowBaseLine;
  FTransparent = s->FTransparent;
  FAxis.LabelType = s->FAxis.LabelType;
  CopyDateFormat(FDateFormat, s->FDateFormat);
  FMarginTop = s->FMarginTop;
  FMarginBottom = s->FMarginBottom;
  FMarginLeft = s->FMarginLeft;
  FMarginRight = s->FMarginRight;
  FAxis.CaptionPosX = s->FAxis.CaptionPosX;
  FAxis.CaptionPosY = s->FAxis.CaptionPosY;
  FAxis.UserTickText = s->FAxis.UserTickText;
  FAxis.Categories = s->FAxis.Categories;
  FAxis.ScaleInscript = s->FAxis.ScaleInscript;
  FTicks = s->FTicks;
  FAxis.Caption = s->FAxis.Caption;
  FAxis.CaptionAnchor = s->FAxis.CaptionAnchor;
  FAxis.CaptionAlignment = s->FAxis.CaptionAlignment;
  FDrawTarget = s->FDrawTarget;
  FDrawTargetLife = s->FDrawTargetLife;
  FOffsetX = s->FOffsetX;
  FOffsetY = s->FOffsetY;
  FScaleType = s->FScaleType;
  FPaintSuspended = s->FPaintSuspended;
  RequestRepaint();
}

void TScale::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TScale*>(Dest)) {
    d->Assign(this);
    return;
  }
  TCustomControl::AssignTo(Dest);
}

}  // namespace vexa
