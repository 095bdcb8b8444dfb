#include "DateTime.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace vexa {

namespace {

// Days from 1970-01-01 of day 0 (1899-12-30).
constexpr int64_t UnixDayOfOrigin = 25569;
constexpr int64_t MsPerDay = 86400000;
// Values this far from the origin (about 2.7 billion years) do not print.
constexpr double MaxFormattableDays = 1e12;

constexpr std::array<const char*, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> LongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void AppendNumber(std::string& out, int64_t value, int minDigits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", minDigits, static_cast<long long>(value));
  out += buf;
}

// The length of the run of letter c (either case) at Format[i].
// At least 1: bytes above 127 compare as the unsigned values they are.
size_t RunLength(std::string_view f, size_t i) {
  const int c = std::tolower(static_cast<unsigned char>(f[i]));
  size_t n = 1;
  while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == c) ++n;
  return n;
}

bool StartsWithAmPm(std::string_view f, size_t i) {
  constexpr std::string_view token = "am/pm";
  if (f.size() - i < token.size()) return false;
  for (size_t k = 0; k < token.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(f[i + k])) != token[k]) return false;
  return true;
}

}  // namespace

// Days from civil, after H. Hinnant's public-domain algorithm.
int64_t EncodeDate(int64_t Year, int32_t Month, int32_t Day) {
  const int64_t y = Year - (Month <= 2);
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (Month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + Day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + UnixDayOfOrigin;
}

TDate DecodeDate(int64_t Day) {
  const int64_t z = Day - UnixDayOfOrigin + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const auto d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  const auto m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

std::string FormatDateTime(std::string_view Format, TDateTime Value) {
  if (!(std::fabs(Value) < MaxFormattableDays)) return {};
  // Framework encoding: the whole part is the day, the fraction's magnitude
  // the time of day.
  int64_t day = static_cast<int64_t>(std::trunc(Value));
  int64_t ms = std::llround(std::fabs(Value - std::trunc(Value)) * MsPerDay);
  if (ms >= MsPerDay) {  // rounded up to the next midnight
    ms -= MsPerDay;
    ++day;
  }
  const TDate date = DecodeDate(day);
  const int64_t hour = ms / 3600000, minute = ms / 60000 % 60, second = ms / 1000 % 60,
                milli = ms % 1000;

  bool twelveHour = false;
  for (size_t i = 0; i < Format.size() && !twelveHour; ++i) twelveHour = StartsWithAmPm(Format, i);
  const int64_t clockHour = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;

  std::string out;
  size_t i = 0;
  while (i < Format.size()) {
    const char c = Format[i];
    if (c == '"' || c == '\'') {
      const size_t end = Format.find(c, i + 1);
      const size_t stop = end == std::string_view::npos ? Format.size() : end;
      out.append(Format.substr(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    }
    if (StartsWithAmPm(Format, i)) {
      out += hour < 12 ? "am" : "pm";
      i += 5;
      continue;
    }
    const size_t n = RunLength(Format, i);
    switch (std::tolower(static_cast<unsigned char>(c))) {
      case 'd':
        AppendNumber(out, date.Day, n >= 2 ? 2 : 1);
        break;
      case 'm':
        if (n >= 4)
          out += LongMonthNames[static_cast<size_t>(date.Month - 1)];
        else if (n == 3)
          out += ShortMonthNames[static_cast<size_t>(date.Month - 1)];
        else
          AppendNumber(out, date.Month, static_cast<int>(n));
        break;
      case 'y':
        if (n >= 3)
          AppendNumber(out, date.Year, 4);
        else
          AppendNumber(out, ((date.Year % 100) + 100) % 100, 2);
        break;
      case 'h':
        AppendNumber(out, clockHour, n >= 2 ? 2 : 1);
        break;
      case 'n':
        AppendNumber(out, minute, n >= 2 ? 2 : 1);
        break;
      case 's':
        AppendNumber(out, second, n >= 2 ? 2 : 1);
        break;
      case 'z':
        AppendNumber(out, milli, n >= 2 ? 3 : 1);
        break;
      default:
        out.append(Format.substr(i, n));
        break;
    }
    i += n;
  }
  return out;
}

}  // namespace vexa
