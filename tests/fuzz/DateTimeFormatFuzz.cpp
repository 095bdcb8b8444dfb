// libFuzzer harness for the date/time formatting: any format text and any
// value must format without a crash, a hang or undefined behaviour, and a
// result never grows beyond a bounded multiple of the format's length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kelvo/platform/DateTime.h"
#include "kelvo/scale/DateTimeLabels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double)) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const std::string format(reinterpret_cast<const char*>(data) + sizeof value, size - sizeof value);
  const std::string text = vexa::FormatDateTime(format, value);
  // The longest expansion is a month name (9 letters) or a year per letter.
  if (text.size() > 20 * format.size() + 20) std::abort();
  vexa::FormatLinearDateTime(format, value);
  vexa::FormatSeconds(size % 2 == 0, value);
  if (format.size() >= 3) {
    const auto order = static_cast<vexa::TDateOrder>(static_cast<uint8_t>(format[0]) % 3);
    const auto year = static_cast<vexa::TYearLength>(static_cast<uint8_t>(format[1]) % 3);
    vexa::FormatLinearDateTime(vexa::BuildDateFormat(format[2] & 1, year, order, format[2]), value);
  }
  return 0;
}
