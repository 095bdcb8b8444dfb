// TDTLabel: the settings that shape date and clock-time labels.
#pragma once

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Classes.h"

namespace vexa {

// A fresh TDTLabel has every field zero: tfHHMMSS, both separators the
// zero character, ylNone, MonthName False, doMMDDYY, dtNone.
class TDTLabel : public TPersistent {
 public:
  TTimeFormat TimeFormat() const { return FTimeFormat; }
  // TimeFormat and DateOrder notify on every write; the others only on a change.
  void SetTimeFormat(TTimeFormat Value);
  char DateSeparator() const { return FDateSeparator; }
  void SetDateSeparator(char Value);
  char TimeSeparator() const { return FTimeSeparator; }
  void SetTimeSeparator(char Value);
  TYearLength YearLength() const { return FYearLength; }
  void SetYearLength(TYearLength Value);
  bool MonthName() const { return FMonthName; }
  void SetMonthName(bool Value);
  TDateOrder DateOrder() const { return FDateOrder; }
  void SetDateOrder(TDateOrder Value);
  TDateForTime DateForTime() const { return FDateForTime; }
  void SetDateForTime(TDateForTime Value);

  TNotifyEvent OnChange;

  // Copies the seven settings and the OnChange reference; notifies nobody.
  void Assign(const TPersistent* Source) override;
  const TPropertyTable* Properties() const override;
  bool SameSettings(const TDTLabel& Other) const;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  TTimeFormat FTimeFormat = TTimeFormat::tfHHMMSS;
  char FDateSeparator = 0;
  char FTimeSeparator = 0;
  TYearLength FYearLength = TYearLength::ylNone;
  bool FMonthName = false;
  TDateOrder FDateOrder = TDateOrder::doMMDDYY;
  TDateForTime FDateForTime = TDateForTime::dtNone;
};

}  // namespace vexa
