#include "kelvo/chart/ScaleProps.h"

#include <algorithm>
#include <cmath>

#include "kelvo/platform/Streaming.h"

namespace vexa {

TScaleProps::TScaleProps() {
  FDateFormat.SetTimeFormat(TTimeFormat::tfHHMMSS);
  FDateFormat.SetDateSeparator('-');
  FDateFormat.SetTimeSeparator(':');
  FDateFormat.SetYearLength(TYearLength::ylYYYY);
  FDateFormat.SetMonthName(true);
  FDateFormat.SetDateForTime(TDateForTime::dtOnePerDay);
  FDateFormat.SetDateOrder(TDateOrder::doDDMMYY);
  FFont.OnChange = [this](TObject*) { Changed(); };
}

TScaleProps::~TScaleProps() = default;

void TScaleProps::SetCaption(const std::string& Value) {
  FCaption = Value;
  Changed();
}
void TScaleProps::SetCaptionPosX(int32_t Value) {
  FCaptionPosX = Value;
  Changed();
}
void TScaleProps::SetCaptionPosY(int32_t Value) {
  FCaptionPosY = Value;
  Changed();
}
void TScaleProps::SetCaptionAlignment(TAlignment Value) {
  FCaptionAlignment = Value;
  Changed();
}
void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor Value) {
  FCaptionAnchor = Value;
  Changed();
}
void TScaleProps::SetColorScale(TColor Value) {
  FColorScale = Value;
  Changed();
}
void TScaleProps::SetDateFormat(const TDTLabel& Value) {
  FDateFormat.Assign(&Value);
  Changed();
}
void TScaleProps::SetDecPlaces(int32_t Value) {
  FDecPlaces = std::clamp(Value, -3, 12);
  Changed();
}
void TScaleProps::SetFont(const TFont& Value) {
  // The font's own notification already reports a change; report once.
  TNotifyEvent wiring = std::move(FFont.OnChange);
  FFont.OnChange = nullptr;
  FFont.Assign(&Value);
  FFont.OnChange = std::move(wiring);
  Changed();
}

void TScaleProps::SetLogarithmic(bool Value) {
  if (!Value)
    FLogarithmic = false;
  else if (FLoading || FReadingForm ||
           (FRangeLow >= 1e-100 && FRangeHigh >= 1e-100 && FLabelType != TFigType::ftDateTime))
    FLogarithmic = true;
  Changed();
}

void TScaleProps::SetLabelType(TFigType Value) {
  FLabelType = Value;
  if (!FReadingForm) {
    if (Value == TFigType::ftDateTime) FLogarithmic = false;
    if (Value == TFigType::ftTime) FDecPlaces = 4;
  }
  Changed();
}

void TScaleProps::SetMinTicks(int32_t Value) {
  FMinTicks = Value;
  Changed();
}

void TScaleProps::SetMinRange(double Value) {
  if (!(Value > 1e-100) || !std::isfinite(Value)) return;  // NaN too
  FMinRange = Value;
  if (std::fabs(FRangeHigh - FRangeLow) >= Value) return;
  const double mid = (FRangeHigh + FRangeLow) / 2;
  FRangeLow = mid - Value / 2;
  FRangeHigh = mid + Value / 2;
  Changed();
}

void TScaleProps::SetRangeLow(double Value) {
  if (!std::isfinite(Value)) {
    // ignored: an axis without a finite end has no picture
  } else if (std::fabs(FRangeHigh - Value) < FMinRange) {
    FRangeLow = Value;
    FRangeHigh = Value + FMinRange;
  } else if (!(FLogarithmic && Value < 1e-100 && !FReadingForm)) {
    FRangeLow = Value;
  }
  Changed();
}

void TScaleProps::SetRangeHigh(double Value) {
  if (!std::isfinite(Value)) {
    // ignored, as in SetRangeLow
  } else if (std::fabs(FRangeLow - Value) < FMinRange) {
    FRangeHigh = Value;
    FRangeLow = Value - FMinRange;
  } else if (!(FLogarithmic && Value < 1e-100 && !FReadingForm)) {
    FRangeHigh = Value;
  }
  Changed();
}

void TScaleProps::SetShortTicks(bool Value) {
  FShortTicks = Value;
  Changed();
}

void TScaleProps::SetLogLabelStyle(TLogLabelStyle Value) {
  FLogLabelStyle = Value;
  Changed();
}

void TScaleProps::SetAvoidLabelOverlap(bool Value) {
  FAvoidLabelOverlap = Value;
  Changed();
}

void TScaleProps::SetCaptionRotated(bool Value) {
  FCaptionRotated = Value;
  Changed();
}

void TScaleProps::SetScaleInscript(const std::string& Value) {
  FScaleInscript = Value;
  Changed();
}

int32_t TScaleProps::ScalePos() const { return IsHorizontal(FScaleType) ? FHorizPos : FVertPos; }

void TScaleProps::SetScalePos(int32_t Value) {
  (IsHorizontal(FScaleType) ? FHorizPos : FVertPos) = Value;
  Changed();
}

void TScaleProps::SetUserTickText(const std::string& Value) {
  FUserTickText = Value;
  Changed();
}
void TScaleProps::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}
void TScaleProps::SetScaleType(TScaleType Value) {
  FScaleType = Value;
  Changed();
}

void TScaleProps::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TScaleProps*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s == this) return;
  FCaption = s->FCaption;
  FCaptionPosX = s->FCaptionPosX;
  FCaptionPosY = s->FCaptionPosY;
  FCaptionAlignment = s->FCaptionAlignment;
  FCaptionAnchor = s->FCaptionAnchor;
  FColorScale = s->FColorScale;
  OnChange = s->OnChange;
  FDateFormat.Assign(&s->FDateFormat);
  FDecPlaces = s->FDecPlaces;
  FLogarithmic = s->FLogarithmic;
  FLabelType = s->FLabelType;
  {
    TNotifyEvent wiring = std::move(FFont.OnChange);  // copying the font notifies nobody
    FFont.OnChange = nullptr;
    FFont.Assign(&s->FFont);
    FFont.OnChange = std::move(wiring);
  }
  FMinTicks = s->FMinTicks;
  FLoading = s->FLoading;
  FRangeLow = s->FRangeLow;
  FRangeHigh = s->FRangeHigh;
  FShortTicks = s->FShortTicks;
  FLogLabelStyle = s->FLogLabelStyle;
  FAvoidLabelOverlap = s->FAvoidLabelOverlap;
  FCaptionRotated = s->FCaptionRotated;
  FScaleInscript = s->FScaleInscript;
  FScaleType = s->FScaleType;
  FVertPos = s->FVertPos;
  FHorizPos = s->FHorizPos;
  FMinRange = s->FMinRange;
  FUserTickText = s->FUserTickText;
  FVisible = s->FVisible;
}

void TScaleProps::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TScaleProps*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TScaleProps::PublishBase(TPropertyTable& t) {
  using P = TScaleProps;
  TPublish<P>(t)
      .String("Caption", &P::Caption, &P::SetCaption)
      .Int("CaptionPosX", &P::CaptionPosX, &P::SetCaptionPosX)
      .Int("CaptionPosY", &P::CaptionPosY, &P::SetCaptionPosY)
      .Enum<TAlignment>("CaptionAlignment", &P::CaptionAlignment, &P::SetCaptionAlignment,
                        AlignmentNames)
      .Enum<TScaleUnitAnchor>("CaptionAnchor", &P::CaptionAnchor, &P::SetCaptionAnchor,
                              TScaleUnitAnchorNames)
      .Color("ColorScale", &P::ColorScale, &P::SetColorScale)
      .Object<TDTLabel>("DateFormat", [](P& p) -> TDTLabel& { return p.DateFormat(); })
      .Int("DecPlaces", &P::DecPlaces, &P::SetDecPlaces)
      .Object<TFont>("Font", [](P& p) -> TFont& { return p.Font(); })
      .Bool("Logarithmic", &P::Logarithmic, &P::SetLogarithmic)
      .Enum<TFigType>("LabelType", &P::LabelType, &P::SetLabelType, TFigTypeNames)
      .Int("MinTicks", &P::MinTicks, &P::SetMinTicks)
      .Double("MinRange", &P::MinRange, &P::SetMinRange)
      .Double("RangeLow", &P::RangeLow, &P::SetRangeLow)
      .Double("RangeHigh", &P::RangeHigh, &P::SetRangeHigh)
      .Bool("ShortTicks", &P::ShortTicks, &P::SetShortTicks)
      .Enum<TLogLabelStyle>("LogLabelStyle", &P::LogLabelStyle, &P::SetLogLabelStyle,
                            TLogLabelStyleNames, TLogLabelStyle::llsPlain)
      .Bool("AvoidLabelOverlap", &P::AvoidLabelOverlap, &P::SetAvoidLabelOverlap, false)
      .Bool("CaptionRotated", &P::CaptionRotated, &P::SetCaptionRotated, false)
      .String("ScaleInscript", &P::ScaleInscript, &P::SetScaleInscript)
      .Int("ScalePos", &P::ScalePos, &P::SetScalePos)
      .String("UserTickText", &P::UserTickText, &P::SetUserTickText)
      .Bool("Visible", &P::Visible, &P::SetVisible);
}

const TPropertyTable* TScaleProps::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    PublishBase(t);
    return t;
  }();
  return &table;
}

void TScalePropsHoriz::SetScaleLocation(TScaleLocationHoriz Value) {
  FScaleLocation = Value;
  SetScaleType(Value == TScaleLocationHoriz::slTop ? TScaleType::sctXB : TScaleType::sctXT);
}

const TPropertyTable* TScalePropsHoriz::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    PublishBase(t);
    TPublish<TScalePropsHoriz>(t).Enum<TScaleLocationHoriz>(
        "ScaleLocation", &TScalePropsHoriz::ScaleLocation, &TScalePropsHoriz::SetScaleLocation,
        TScaleLocationHorizNames);
    return t;
  }();
  return &table;
}

TScalePropsVert::TScalePropsVert() { SetScaleType(TScaleType::sctYR); }

void TScalePropsVert::SetScaleLocation(TScaleLocationVert Value) {
  FScaleLocation = Value;
  SetScaleType(Value == TScaleLocationVert::slLeft ? TScaleType::sctYR : TScaleType::sctYL);
}

const TPropertyTable* TScalePropsVert::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    PublishBase(t);
    TPublish<TScalePropsVert>(t).Enum<TScaleLocationVert>(
        "ScaleLocation", &TScalePropsVert::ScaleLocation, &TScalePropsVert::SetScaleLocation,
        TScaleLocationVertNames);
    return t;
  }();
  return &table;
}

}  // namespace vexa
