#include "kelvo/base/DateFormat.h"

#include "kelvo/platform/Streaming.h"

namespace vexa {

void TDTLabel::SetTimeFormat(TTimeFormat Value) {
  FTimeFormat = Value;
  Changed();
}

void TDTLabel::SetDateSeparator(char Value) {
  if (Value == FDateSeparator) return;
  FDateSeparator = Value;
  Changed();
}

void TDTLabel::SetTimeSeparator(char Value) {
  if (Value == FTimeSeparator) return;
  FTimeSeparator = Value;
  Changed();
}

void TDTLabel::SetYearLength(TYearLength Value) {
  if (Value == FYearLength) return;
  FYearLength = Value;
  Changed();
}

void TDTLabel::SetMonthName(bool Value) {
  if (Value == FMonthName) return;
  FMonthName = Value;
  Changed();
}

void TDTLabel::SetDateOrder(TDateOrder Value) {
  FDateOrder = Value;
  Changed();
}

void TDTLabel::SetDateForTime(TDateForTime Value) {
  if (Value == FDateForTime) return;
  FDateForTime = Value;
  Changed();
}

bool TDTLabel::SameSettings(const TDTLabel& o) const {
  return FTimeFormat == o.FTimeFormat && FDateSeparator == o.FDateSeparator &&
         FTimeSeparator == o.FTimeSeparator && FYearLength == o.FYearLength &&
         FMonthName == o.FMonthName && FDateOrder == o.FDateOrder && FDateForTime == o.FDateForTime;
}

void TDTLabel::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TDTLabel*>(Source)) {
    if (s == this) return;
    FTimeFormat = s->FTimeFormat;
    FDateSeparator = s->FDateSeparator;
    FTimeSeparator = s->FTimeSeparator;
    FYearLength = s->FYearLength;
    FMonthName = s->FMonthName;
    FDateOrder = s->FDateOrder;
    FDateForTime = s->FDateForTime;
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TDTLabel::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TDTLabel*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

const TPropertyTable* TDTLabel::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    TPublish<TDTLabel>(t)
        .Enum<TTimeFormat>("TimeFormat", &TDTLabel::TimeFormat, &TDTLabel::SetTimeFormat,
                           TTimeFormatNames)
        .Char("DateSeparator", &TDTLabel::DateSeparator, &TDTLabel::SetDateSeparator)
        .Char("TimeSeparator", &TDTLabel::TimeSeparator, &TDTLabel::SetTimeSeparator)
        .Enum<TYearLength>("YearLength", &TDTLabel::YearLength, &TDTLabel::SetYearLength,
                           TYearLengthNames)
        .Bool("MonthName", &TDTLabel::MonthName, &TDTLabel::SetMonthName)
        .Enum<TDateOrder>("DateOrder", &TDTLabel::DateOrder, &TDTLabel::SetDateOrder,
                          TDateOrderNames)
        .Enum<TDateForTime>("DateForTime", &TDTLabel::DateForTime, &TDTLabel::SetDateForTime,
                            TDateForTimeNames);
    return t;
  }();
  return &table;
}

}  // namespace vexa
