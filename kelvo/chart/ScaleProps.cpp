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
  FSettings.Axis.Caption = Value;
  Changed();
}
void TScaleProps::SetCaptionPosX(int32_t Value) {
  FSettings.Axis.CaptionPosX = Value;
  Changed();
}
void TScaleProps::SetCaptionPosY(int32_t Value) {
  FSettings.Axis.CaptionPosY = Value;
  Changed();
}
void TScaleProps::SetCaptionAlignment(TAlignment Value) {
  FSettings.Axis.CaptionAlignment = Value;
  Changed();
}
void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor Value) {
  FSettings.Axis.CaptionAnchor = Value;
  Changed();
}
void TScaleProps::SetColorScale(TColor Value) {
  FSettings.Axis.ColorScale = Value;
  Changed();
}
void TScaleProps::SetDateFormat(const TDTLabel& Value) {
  FDateFormat.Assign(&Value);
  Changed();
}
void TScaleProps::SetDecPlaces(int32_t Value) {
  FSettings.Axis.DecPlaces = std::clamp(Value, -3, 12);
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
    FSettings.Axis.Logarithmic = false;
  else if (FSettings.Loading || FReadingForm ||
           (FSettings.RangeLow >= 1e-100 && FSettings.RangeHigh >= 1e-100 &&
            FSettings.Axis.LabelType != TFigType::ftDateTime))
    FSettings.Axis.Logarithmic = true;
  Changed();
}

void TScaleProps::SetLabelType(TFigType Value) {
  FSettings.Axis.LabelType = Value;
  if (!FReadingForm) {
    if (Value == TFigType::ftDateTime) FSettings.Axis.Logarithmic = false;
    if (Value == TFigType::ftTime) FSettings.Axis.DecPlaces = 4;
  }
  Changed();
}

void TScaleProps::SetMinTicks(int32_t Value) {
  FSettings.Axis.MinTicks = Value;
  Changed();
}

void TScaleProps::SetMinRange(double Value) {
  if (!(Value > 1e-100) || !std::isfinite(Value)) return;  // NaN too
  FSettings.MinRange = Value;
  if (std::fabs(FSettings.RangeHigh - FSettings.RangeLow) >= Value) return;
  const double mid = (FSettings.RangeHigh + FSettings.RangeLow) / 2;
  FSettings.RangeLow = mid - Value / 2;
  FSettings.RangeHigh = mid + Value / 2;
  Changed();
}

void TScaleProps::SetRangeLow(double Value) {
  if (!std::isfinite(Value)) {
    // ignored: an axis without a finite end has no picture
  } else if (std::fabs(FSettings.RangeHigh - Value) < FSettings.MinRange) {
    FSettings.RangeLow = Value;
    FSettings.RangeHigh = Value + FSettings.MinRange;
  } else if (!(FSettings.Axis.Logarithmic && Value < 1e-100 && !FReadingForm)) {
    FSettings.RangeLow = Value;
  }
  Changed();
}

void TScaleProps::SetRangeHigh(double Value) {
  if (!std::isfinite(Value)) {
    // ignored, as in SetRangeLow
  } else if (std::fabs(FSettings.RangeLow - Value) < FSettings.MinRange) {
    FSettings.RangeHigh = Value;
    FSettings.RangeLow = Value - FSettings.MinRange;
  } else if (!(FSettings.Axis.Logarithmic && Value < 1e-100 && !FReadingForm)) {
    FSettings.RangeHigh = Value;
  }
  Changed();
}

void TScaleProps::SetShortTicks(bool Value) {
  FSettings.Axis.ShortTicks = Value;
  Changed();
}

void TScaleProps::SetLogLabelStyle(TLogLabelStyle Value) {
  FSettings.Axis.LogLabelStyle = Value;
  Changed();
}

void TScaleProps::SetAvoidLabelOverlap(bool Value) {
  FSettings.Axis.AvoidLabelOverlap = Value;
  Changed();
}

void TScaleProps::SetCaptionRotated(bool Value) {
  FSettings.Axis.CaptionRotated = Value;
  Changed();
}

void TScaleProps::SetScaleInscript(const std::string& Value) {
  FSettings.Axis.ScaleInscript = Value;
  Changed();
}

int32_t TScaleProps::ScalePos() const {
  return IsHorizontal(FSettings.ScaleType) ? FSettings.HorizPos : FSettings.VertPos;
}

void TScaleProps::SetScalePos(int32_t Value) {
  (IsHorizontal(FSettings.ScaleType) ? FSettings.HorizPos : FSettings.VertPos) = Value;
  Changed();
}

void TScaleProps::SetUserTickText(const std::string& Value) {
  FSettings.Axis.UserTickText = Value;
  Changed();
}
void TScaleProps::SetCategories(std::vector<std::string> Value) {
  FSettings.Axis.Categories = std::move(Value);
  Changed();
}
void TScaleProps::SetVisible(bool Value) {
  FSettings.Visible = Value;
  Changed();
}
void TScaleProps::SetScaleType(TScaleType Value) {
  FSettings.ScaleType = Value;
  Changed();
}

void TScaleProps::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TScaleProps*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s == this) return;
  FSettings = s->FSettings;
  OnChange = s->OnChange;
  FDateFormat.Assign(&s->FDateFormat);
  {
    TNotifyEvent wiring = std::move(FFont.OnChange);  // copying the font notifies nobody
    FFont.OnChange = nullptr;
    FFont.Assign(&s->FFont);
    FFont.OnChange = std::move(wiring);
  }
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
      .Strings("Categories", &P::Categories, &P::SetCategories)
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
