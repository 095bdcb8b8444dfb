// The date and time tick passes of TScale: times of day in seconds
// (ftTime), and calendar dates and clock times in days (ftDateTime) with
// their clock-time, day, month and year sequences, the date line under
// clock-time ticks and the messages for unusable ranges.
#include <algorithm>
#include <array>
#include <cmath>

#include "kelvo/base/PixelMath.h"
#include "kelvo/platform/DateTime.h"
#include "kelvo/scale/DateTimeLabels.h"
#include "kelvo/scale/Scale.h"
#include "kelvo/scale/TickPass.h"

namespace vexa {

namespace {

// Time-of-day steps in seconds with their minor intervals; entries 0 and 28
// are bounds only.
struct TTimeStep {
  long double Seconds;
  int Minors;
};
constexpr std::array<TTimeStep, 29> TimeStepTable = {{
    {0, 1},    {0.001L, 5}, {0.002L, 4}, {0.005L, 5}, {0.01L, 5}, {0.02L, 4}, {0.05L, 5}, {0.1L, 5},
    {0.2L, 4}, {0.5L, 5},   {1, 5},      {2, 4},      {5, 5},     {10, 5},    {20, 4},    {30, 6},
    {60, 6},   {120, 6},    {180, 6},    {300, 5},    {600, 5},   {1200, 6},  {1800, 6},  {3600, 6},
    {7200, 4}, {14400, 4},  {21600, 6},  {43200, 6},  {86400, 1},
}};
constexpr int LastTimeStep = 28;

// The valid date/time range: 0001-01-01 to day 3000000.
constexpr long double FirstValidDay = -693593, LastValidDay = 3000000;
// Ideal steps (days) at or below which the ticks would be finer than the
// smallest unit: 0.01 s on vertical scales, 1 s on horizontal ones.
constexpr long double TooSmallVertical = 1.1574074074074074e-07L, TooSmallHorizontal = 1.1574e-05L;
constexpr long double LastDay9999 = 2958465;  // 9999-12-31

constexpr long double EndTolerance = DateTimeEndTolerance;

int64_t NonNegativeMod(int64_t a, int64_t m) { return ((a % m) + m) % m; }

// The calendar date of a linear day value, taken at the millisecond the
// labels show: a tick summed up to a hair below midnight is on the new day.
TDate DateOf(long double Value) {
  constexpr long double MsPerDay = 86400000;
  return DecodeDate(static_cast<int64_t>(std::floor(std::nearbyint(Value * MsPerDay) / MsPerDay)));
}

}  // namespace

bool TScale::TimeOfDayPass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  if (FAxis.MinTicks <= 0) return false;
  const long double ideal = std::fabs(high - low) / FAxis.MinTicks;
  int index = LastTimeStep;
  while (index > 0 && ideal < TimeStepTable[static_cast<size_t>(index)].Seconds) --index;
  if (index == 0 || index == LastTimeStep) return false;

  const TTimeStep& ts = TimeStepTable[static_cast<size_t>(index)];
  const long double major = ts.Seconds, minor = major / ts.Minors;
  // Every multiple of the minor step inside the range is a tick, at both
  // ends and in both directions. An end takes ticks up to a billionth of
  // its own size, or of a minor step, beyond it (a range end that is a
  // rounded multiple of the step keeps its tick).
  const long double lo = std::fmin(low, high), hi = std::fmax(low, high);
  const long double loLimit = lo - std::fmax(std::fabs(lo), minor) * 1e-9L;
  const long double hiLimit = hi + std::fmax(std::fabs(hi), minor) * 1e-9L;
  auto inside = [&](long double v) { return v >= loLimit && v <= hiLimit; };
  // Ticks go along the axis from RangeLow, starting at a major step.
  const bool ascending = high > low;
  const long double first =
      ascending ? std::floor(loLimit / major) * major : std::ceil(hiLimit / major) * major;
  const long double advance = ascending ? minor : -minor;
  const long double count = std::trunc((hi - lo) / minor) + ts.Minors + 2;
  const int budget = static_cast<int>(std::fmin(count, p.Budget));

  if (FAxis.ShortTicks)
    for (int u = 0; u <= budget; ++u) {
      const long double v = first + u * advance;
      if (!inside(v)) continue;
      RecordTick(v);
      DrawTick(p, v, 4);
      RaiseTickDrawn(p, v);
    }
  const bool withMilliseconds = index <= 9;
  for (int u = 0; u <= budget; ++u) {
    const long double v = first + u * advance;
    const long double q = v / major;
    if (!(std::fabs(q - std::round(q)) < 0.01L) || !inside(v)) continue;
    if (!p.Horizontal || !FAxis.ShortTicks) RecordTick(v);
    DrawTick(p, v, p.Horizontal ? 7 : 6);
    DrawLabel(p, v, FormatSeconds(withMilliseconds, v));
    RaiseTickDrawn(p, v);
  }
  return true;
}

void TScale::DateTimePass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  if (!(high >= low && low >= FirstValidDay && high <= LastValidDay)) {
    DateTimeMessage(p, true);
    return;
  }
  const long double ideal = (high - low) / std::max(FAxis.MinTicks, 1);
  const bool h = p.Horizontal;
  if (ideal <= (h ? TooSmallHorizontal : TooSmallVertical))
    DateTimeMessage(p, false);
  else if (!h && ideal <= 1.0L / 86400)
    ClockTimePass(p, TClockUnit::Hundredths, ideal);
  else if (ideal <= (h ? 0.00069444L : 1.0L / 1440))
    ClockTimePass(p, TClockUnit::Seconds, ideal);
  else if (ideal <= 0.041667L)
    ClockTimePass(p, TClockUnit::Minutes, ideal);
  else if (ideal <= 1)
    ClockTimePass(p, TClockUnit::Hours, ideal);
  else if (ideal <= 30)
    DayPass(p, ideal);
  else if (ideal <= 366)
    MonthPass(p);
  else
    YearPass(p);
}

void TScale::DateTimeMessage(TPass& p, bool Invalid) {
  const int32_t m = DeviceValueToPixel(
      static_cast<double>((static_cast<long double>(FRangeLow) + FRangeHigh) / 2));
  TCanvas& c = p.Canvas;
  if (p.Horizontal) {
    const char* text = Invalid ? "invalid DateTime scale" : "DateTime range is below 1 second";
    const int64_t w = c.TextWidth(text);
    c.TextOut(RoundClamped(int64_t{m} - w / 2), RoundClamped(int64_t{p.Base} + c.Len(7)), text);
    return;
  }
  static constexpr std::array<const char*, 3> invalidWords = {"invalid", "DateTime", "scale"};
  static constexpr std::array<const char*, 4> smallWords = {"DateTime", "range is", "below 1",
                                                            "second"};
  const int64_t h = c.TextHeight("T");
  const size_t n = Invalid ? invalidWords.size() : smallWords.size();
  for (size_t i = 0; i < n; ++i) {
    const char* word = Invalid ? invalidWords[i] : smallWords[i];
    const int64_t w = c.TextWidth(word);
    const int64_t left = FScaleType == TScaleType::sctYL ? int64_t{p.Base} + c.Len(2)
                                                         : int64_t{p.Base} - w - c.Len(2);
    const int64_t top = int64_t{m} + (static_cast<int64_t>(i) - 1) * h;
    c.TextOut(RoundClamped(left), RoundClamped(top), word);
  }
}

void TScale::DrawSideText(TPass& p, long double Value, std::string Text, int Lines) {
  if (OnBeforeTickLabel) OnBeforeTickLabel(this, FScaleType, static_cast<double>(Value), Text);
  const int32_t at = DeviceValueToPixel(static_cast<double>(Value));
  const int64_t w = LabelWidth(p.Canvas, Text), h = p.Canvas.TextHeight(Text);
  const int64_t left = FScaleType == TScaleType::sctYL ? int64_t{p.Base} + p.Canvas.Len(8)
                                                       : int64_t{p.Base} - w - p.Canvas.Len(8);
  const int64_t top = int64_t{at} - Lines * (h / 2);
  LabelOut(p, left, top, Text);
}

void TScale::DrawDateTimeLabel(TPass& p, long double Value, std::string Text) {
  if (p.Horizontal)
    PlaceHorizontalLabel(p, DeviceValueToPixel(static_cast<double>(Value)), p.Base, Value,
                         std::move(Text));
  else
    DrawSideText(p, Value, std::move(Text), 1);
}

void TScale::DrawCalendarTick(TPass& p, long double Value, bool Major, std::string Text) {
  RecordTick(Value);
  if (Major) {
    DrawTick(p, Value, p.Horizontal ? 7 : 6);
    DrawDateTimeLabel(p, Value, std::move(Text));
  } else {
    DrawTick(p, Value, 4);
  }
  RaiseTickDrawn(p, Value);
}

void TScale::ClockTimePass(TPass& p, TClockUnit unit, long double Ideal) {
  const long double low = FRangeLow, high = FRangeHigh;
  const TDTLabel& df = FDateFormat;
  const TSubDayStep st = SubDayStep(unit, Ideal, low);
  const std::string clockFormat = ClockLabelFormat(unit, df.TimeFormat(), df.TimeSeparator());
  const std::string dateFormat =
      BuildDateFormat(df.MonthName(), df.YearLength(), df.DateOrder(), df.DateSeparator());
  long double first = st.First;
  if (FAxis.ShortTicks)
    while (first > low) first -= st.Minor;
  int32_t lastDay = -1;  // day of month of the last date line
  const long double advance = FAxis.ShortTicks ? st.Minor : st.Major;
  for (long double v = first; v - high < EndTolerance && p.Budget-- > 0; v += advance) {
    if (low - v > EndTolerance) continue;  // the same tolerance as at the high end
    const TDate date = DateOf(v);
    std::string text = FormatLinearDateTime(clockFormat, v);
    RecordTick(v);
    const long double q = v / st.Major;
    if (FAxis.ShortTicks && std::fabs(q - std::round(q)) > 0.1L) {
      DrawTick(p, v, 4);
      RaiseTickDrawn(p, v);
      continue;
    }
    DrawTick(p, v, p.Horizontal ? 7 : 6);
    DrawDateTimeLabel(p, v, std::move(text));
    bool dateLine = false;
    switch (df.DateForTime()) {
      case TDateForTime::dtAllTicks:
        dateLine = true;
        break;
      case TDateForTime::dtOnePerDay:
        dateLine = date.Day != lastDay;
        break;
      case TDateForTime::dtOnePerChart:
        dateLine = lastDay < 0;
        break;
      case TDateForTime::dtNone:
        break;
    }
    if (dateLine) {
      if (df.DateForTime() != TDateForTime::dtAllTicks) lastDay = date.Day;
      std::string dateText = FormatLinearDateTime(dateFormat, v);
      if (p.Horizontal) {
        // One line further from the base line than the time text.
        const int64_t h = p.Canvas.TextHeight(dateText);
        const int64_t base =
            FScaleType == TScaleType::sctXT ? int64_t{p.Base} + h : int64_t{p.Base} - h;
        PlaceHorizontalLabel(p, DeviceValueToPixel(static_cast<double>(v)), RoundClamped(base), v,
                             std::move(dateText));
      } else {
        DrawSideText(p, v, std::move(dateText), 3);  // one line above the time text
      }
    }
    RaiseTickDrawn(p, v);
  }
}

void TScale::DayPass(TPass& p, long double Ideal) {
  const long double low = FRangeLow, high = FRangeHigh;
  const TDTLabel& df = FDateFormat;
  static constexpr std::array<int64_t, 6> steps = {1, 2, 3, 7, 14, 28};
  int64_t step = 1;
  for (const int64_t s : steps)
    if (s <= Ideal) step = s;
  const int64_t minor = step <= 7 ? 1 : 7;
  const int64_t jan1 = EncodeDate(DateOf(low).Year, 1, 1);
  const auto daysIn = static_cast<int64_t>(std::trunc(low - jan1));
  const long double first = jan1 + daysIn / step * step;
  const int64_t phase = NonNegativeMod(static_cast<int64_t>(std::llround(first)), step);
  const std::string format =
      DayLabelFormat(df.MonthName(), df.YearLength(), df.DateOrder(), df.DateSeparator());
  const long double advance = FAxis.ShortTicks ? minor : step;
  for (long double v = first; v - high < EndTolerance && p.Budget-- > 0; v += advance) {
    std::string text = FormatLinearDateTime(format, v);
    if (v < low) continue;
    DrawCalendarTick(p, v, !FAxis.ShortTicks || NonNegativeMod(std::llround(v), step) == phase,
                     std::move(text));
  }
}

void TScale::MonthPass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  const TDTLabel& df = FDateFormat;
  const long double idealMonths = (high - low) / 30.4375L / std::max(FAxis.MinTicks, 1);
  static constexpr std::array<int32_t, 5> steps = {1, 2, 3, 4, 6};
  int32_t step = 1;
  for (const int32_t s : steps)
    if (s <= idealMonths) step = s;
  const TDate start = DateOf(low);
  int64_t year = start.Year;
  int32_t month = start.Month;
  auto nextMonth = [&](int32_t by) {
    month += by;
    while (month > 12) {
      month -= 12;
      ++year;
    }
  };
  if (step > 1 && !FAxis.ShortTicks) {
    // At least one month on, then to the first of months 1, 1 + step, ...
    do nextMonth(1);
    while (month % step != 1);
  }
  const std::string format =
      MonthLabelFormat(df.MonthName(), df.YearLength(), df.DateOrder(), df.DateSeparator());
  for (long double v = EncodeDate(year, month, 1); v - high < EndTolerance && p.Budget-- > 0;
       nextMonth(FAxis.ShortTicks ? 1 : step), v = EncodeDate(year, month, 1)) {
    std::string text = FormatLinearDateTime(format, v);
    if (v < low) continue;
    DrawCalendarTick(p, v, !FAxis.ShortTicks || step == 1 || month % step == 1, std::move(text));
  }
}

void TScale::YearPass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  const TDTLabel& df = FDateFormat;
  const long double a = std::max((high - low) / 365.25L / std::max(FAxis.MinTicks, 1), 1.0L);
  const long double l = std::log10(a);
  const long double mantissa = std::pow(10.0L, l - std::trunc(l));
  const int f = mantissa >= 5 ? 5 : (mantissa >= 2 ? 2 : 1);
  const auto step = static_cast<int64_t>(std::llround(std::pow(10.0L, std::trunc(l)) * f));
  int64_t minor = step;
  if (FAxis.ShortTicks && step > 1) minor = std::llround(step / (f == 5 ? 5.0L : 2.0L));
  const int64_t startYear = DateOf(low).Year;
  int64_t year = (startYear + minor - 1) / minor * minor;
  if (year == startYear && low != EncodeDate(startYear, 1, 1)) year += minor;
  // No years beyond 9999: their ticks become one at 9999-12-31.
  auto tickOf = [](int64_t y) -> long double {
    return y > 9999 ? LastDay9999 : EncodeDate(y, 1, 1);
  };
  for (long double v = tickOf(year); v - high < EndTolerance && p.Budget-- > 0;) {
    std::string text;
    if (df.YearLength() == TYearLength::ylYY) {
      text = FormatLinearDateTime("yy", v);
    } else if (df.YearLength() == TYearLength::ylYYYY) {
      text = FormatLinearDateTime("yyyy", v);
      text.erase(0, std::min(text.find_first_not_of('0'), text.size()));
    }
    DrawCalendarTick(p, v, !FAxis.ShortTicks || DateOf(v).Year % step == 0, std::move(text));
    if (v >= LastDay9999) break;
    year += minor;
    v = tickOf(year);
  }
}

}  // namespace vexa
