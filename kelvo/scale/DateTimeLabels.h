// What date and time-of-day tick labels say, and the step choices of the
// clock-time ticks. Pure functions, so every rule can be tested on its own.
//
// Time-of-day values are seconds; date/time values are linear day counts:
// the whole part counts days from 1899-12-30, the fraction is the time of
// day, and a negative value lies that many days before 1899-12-30 00:00.
#pragma once

#include <cstdint>
#include <string>

#include "kelvo/base/Enums.h"

namespace vexa {

// " 01:02:03" or "-00:01:30", with ".250" behind when WithMilliseconds.
// Hours have at least two digits; the separators are always ":" and ".".
std::string FormatSeconds(bool WithMilliseconds, long double Value);

// Value formatted with the framework's FormatDateTime after conversion to its
// encoding: a negative value with a fraction becomes Floor(v) - Frac(v) - 1
// (-1.25, 1899-12-28 18:00, becomes -2.75), and a value within 1e-8 of a
// whole number is that whole number.
std::string FormatLinearDateTime(const std::string& Format, long double Value);

// A character as a quoted literal of a date/time format; the zero character
// (an unset separator) gives nothing.
std::string QuotedLiteral(char C);

// The date line under clock-time ticks: the date parts in DateOrder with
// DateSeparator between them; without a year, month and day only.
std::string BuildDateFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                            char DateSeparator);
// Labels of the day ticks: always three parts, an empty year leaving its
// separator in place.
std::string DayLabelFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                           char DateSeparator);
// Labels of the month ticks: month and year.
std::string MonthLabelFormat(bool MonthName, TYearLength YearLength, TDateOrder DateOrder,
                             char DateSeparator);

// The units of clock-time ticks.
enum class TClockUnit : uint8_t { Hours, Minutes, Seconds, Hundredths };
// Units per day of each unit: 24, 1440, 86400, 8640000.
long double UnitsPerDay(TClockUnit Unit);
// Labels of the clock-time ticks of a unit in a time format.
std::string ClockLabelFormat(TClockUnit Unit, TTimeFormat TimeFormat, char TimeSeparator);

// A date/time tick belongs to a range when it lies no further than this
// (in days, under a millisecond) beyond either end: a range end summed up
// from hours, a hair off the hour, keeps its tick.
constexpr long double DateTimeEndTolerance = 1e-8L;

// Steps of clock-time ticks (days) and the first tick at or after Low, within
// the end tolerance, that is a multiple of the step counted from midnight.
struct TSubDayStep {
  long double Major, Minor, First;
};
TSubDayStep SubDayStep(TClockUnit Unit, long double Ideal, long double Low);

}  // namespace vexa
