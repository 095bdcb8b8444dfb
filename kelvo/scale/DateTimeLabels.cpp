#include "kelvo/scale/DateTimeLabels.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "kelvo/platform/DateTime.h"

namespace vexa {

namespace {

std::string TwoDigits(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02.0Lf", v);
  return buf;
}

std::string MonthToken(bool MonthName) { return MonthName ? "mmm" : "mm"; }

std::string YearToken(TYearLength YearLength) {
  switch (YearLength) {
    case TYearLength::ylYY:
      return "yy";
    case TYearLength::ylYYYY:
      return "yyyy";
    case TYearLength::ylNone:
      break;
  }
  return {};
}

struct TStepTable {
  std::array<int64_t, 6> Steps, Minors;
};
constexpr TStepTable HourSteps{{1, 2, 3, 6, 8, 12}, {1, 1, 1, 2, 2, 3}};
constexpr TStepTable MinuteSteps{{1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}};
constexpr TStepTable HundredthSteps{{1, 2, 5, 10, 20, 50}, {1, 1, 1, 5, 10, 10}};

const TStepTable& StepsOf(TClockUnit Unit) {
  switch (Unit) {
    case TClockUnit::Hours:
      return HourSteps;
    case TClockUnit::Minutes:
    case TClockUnit::Seconds:
      return MinuteSteps;
    case TClockUnit::Hundredths:
      break;
  }
  return HundredthSteps;
}

}  // namespace

// Hours, minutes and seconds are taken apart in extended precision, so a
// value of any size formats without overflow; milliseconds are rounded
// before the split, so 0.9996 s reads 00:00:01.000 and not 00:00:00.1000.
std::string FormatSeconds(bool WithMilliseconds, long double Value) {
  if (std::isnan(Value)) return " NAN";
  std::string text = Value >= 0 ? " " : "-";
  long double a = std::fabs(Value);
  if (std::isinf(a)) return text + "INF";
  long double millis = 0;
  if (WithMilliseconds) {
    const long double total = std::round(a * 1000);
    a = std::floor(total / 1000);
    millis = total - a * 1000;
  } else {
    a = std::trunc(a);
  }
  const long double hours = std::floor(a / 3600);
  const long double rest = std::fmax(a - hours * 3600, 0.0L);
  const long double minutes = std::fmin(std::floor(rest / 60), 59.0L);
  const long double seconds = std::fmin(std::floor(rest - minutes * 60), 59.0L);
  text += TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(seconds);
  if (WithMilliseconds) {
    char buf[16];
    std::snprintf(buf, sizeof buf, ".%03d", static_cast<int>(millis));
    text += buf;
  }
  return text;
}

std::string FormatLinearDateTime(const std::string& Format, long double Value) {
  if (std::fabs(Value) < 1e-8L) Value = 0;
  if (Value < 0) {
    const long double whole = std::nearbyint(Value);
    const long double fraction = Value - std::trunc(Value);
    if (std::fabs(Value - whole) < 1e-8L)
      Value = whole;
    else if (fraction <= -1e-8L)
      Value = std::floor(Value) - fraction - 1;
  }
  return FormatDateTime(Format, static_cast<double>(Value));
}

std::string QuotedLiteral(char C) {
  if (C == '\0') return {};
  if (C == '"') return "'\"'";
  return std::string("\"") + C + "\"";
}

std::string BuildDateFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                            char DateSeparator) {
  if (YearLength != TYearLength::ylNone)
    return DayLabelFormat(MonthName, YearLength, DateOrder, DateSeparator);
  const std::string m = MonthToken(MonthName), s = QuotedLiteral(DateSeparator);
  return DateOrder == TDateOrder::doDDMMYY ? "dd" + s + m : m + s + "dd";
}

std::string DayLabelFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                           char DateSeparator) {
  const std::string m = MonthToken(MonthName), s = QuotedLiteral(DateSeparator),
                    y = YearToken(YearLength);
  switch (DateOrder) {
    case TDateOrder::doDDMMYY:
      return "dd" + s + m + s + y;
    case TDateOrder::doYYMMDD:
      return y + s + m + s + "dd";
    case TDateOrder::doMMDDYY:
      break;
  }
  return m + s + "dd" + s + y;
}

std::string MonthLabelFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                             char DateSeparator) {
  const std::string m = MonthToken(MonthName), s = QuotedLiteral(DateSeparator),
                    y = YearToken(YearLength);
  return DateOrder == TDateOrder::doYYMMDD ? y + s + m : m + s + y;
}

long double UnitsPerDay(TClockUnit Unit) {
  switch (Unit) {
    case TClockUnit::Hours:
      return 24;
    case TClockUnit::Minutes:
      return 1440;
    case TClockUnit::Seconds:
      return 86400;
    case TClockUnit::Hundredths:
      break;
  }
  return 8640000;
}

std::string ClockLabelFormat(TClockUnit Unit, TTimeFormat TimeFormat, char TimeSeparator) {
  const std::string t = QuotedLiteral(TimeSeparator), h = QuotedLiteral('h'),
                    dot = QuotedLiteral('.');
  const std::string fraction = Unit == TClockUnit::Hundredths ? ".zz" : "";
  switch (TimeFormat) {
    case TTimeFormat::tfHHhMM:
      if (Unit == TClockUnit::Hours) return "h" + h;
      if (Unit == TClockUnit::Minutes) return "h" + h + "nn";
      return "h" + h + "nn" + t + "ss" + fraction;
    case TTimeFormat::tfAMPM:
      if (Unit == TClockUnit::Hours) return "ham/pm";
      if (Unit == TClockUnit::Minutes) return "h" + t + "nnam/pm";
      return "h" + t + "nn" + dot + "ss" + fraction + "am/pm";
    case TTimeFormat::tfHHMMSS:
      break;
  }
  if (Unit == TClockUnit::Hours || Unit == TClockUnit::Minutes) return "hh" + t + "nn";
  return "hh" + t + "nn" + t + "ss" + fraction;
}

// The time of day of Low is its distance from the midnight at or before it,
// also for values before the origin.
TSubDayStep SubDayStep(TClockUnit Unit, long double Ideal, long double Low) {
  const TStepTable& table = StepsOf(Unit);
  const long double perDay = UnitsPerDay(Unit);
  const long double x = Ideal * perDay;
  size_t pick = 0;
  for (size_t i = table.Steps.size(); i-- > 0;)
    if (table.Steps[i] <= x) {
      pick = i;
      break;
    }
  const int64_t step = table.Steps[pick];
  const long double day = std::floor(Low);
  const long double timeOfDay = Low - day;
  const auto units = static_cast<int64_t>(std::ceil((timeOfDay - DateTimeEndTolerance) * perDay));
  const int64_t add = units % step == 0 ? 0 : step - units % step;
  return {step / perDay, table.Minors[pick] / perDay, day + (units + add) / perDay};
}

}  // namespace vexa
