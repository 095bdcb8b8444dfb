// Calendar dates and the date/time format routine of the framework.
//
// A date-time value counts days from 1899-12-30 00:00 (day 0) in the
// proleptic Gregorian calendar; its fraction is the time of day. Negative
// values use the framework's encoding: the whole part is the day, counted
// backwards, and the fraction is the time of day as a positive amount, so
// -2.75 is 1899-12-28 18:00.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

using TDateTime = double;

// Days from 1899-12-30 to the given date; any year, month 1..12 and day
// 1..31 (a day past the month's end runs on into the next month).
int64_t EncodeDate(int64_t Year, int32_t Month, int32_t Day);

struct TDate {
  int64_t Year;
  int32_t Month, Day;
};
// The date of day number Day (days from 1899-12-30).
TDate DecodeDate(int64_t Day);

// Formats a date-time value (framework encoding). Tokens, matched without
// regard to case except where noted:
//   d, dd      day of month, without / with a leading zero
//   m, mm      month number, without / with a leading zero
//   mmm, mmmm  abbreviated / full English month name
//   yy, yyyy   two-digit / full year (one or two y's: yy; three or more: yyyy)
//   h, hh      hour, without / with a leading zero; the 12-hour clock when the
//              format contains am/pm
//   n, nn      minutes;  s, ss  seconds;  z  milliseconds, zz and longer: three digits
//   am/pm      "am" before noon, "pm" from noon
// Text between double or single quotes is copied without the quotes; every
// other character is copied as it stands. The time of day is rounded to the
// millisecond; values beyond the encodable days print what the calendar
// arithmetic gives, and NaN or infinite values print as an empty string.
std::string FormatDateTime(std::string_view Format, TDateTime Value);

}  // namespace vexa
