#include "kelvo/scale/TickLabels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "kelvo/base/PixelMath.h"

namespace vexa {

int32_t AutoDecimals(int32_t DecPlaces, long double A, long double B) {
  if (DecPlaces != -2 && DecPlaces != -3) return DecPlaces;
  const long double r = std::fabs(A - B);
  if (!(r < 1000000.0L) || r <= 0.0001L) return -1;  // NaN too
  if (r >= 100) return 0;
  return 2 - RoundClamped(std::log(r) / 2.5L);
}

int32_t AutoLogDecimals(int32_t DecPlaces, long double A, long double B) {
  if (DecPlaces != -2) return DecPlaces;
  const long double upper = std::fmax(A, B), lower = std::fmin(A, B);
  const long double span = upper - lower;
  if (!(span < 1000000.0L) || span <= 0.0001L) return -1;
  if (lower >= 1) return 0;
  return 1 - RoundClamped(std::log10(std::fabs(lower)), 100000);
}

std::string FormatTickValue(long double Value, int32_t Decimals) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Decimals >= 0) {
    const int n = std::snprintf(nullptr, 0, "%.*Lf", Decimals, Value);
    if (n <= 0) return "0";
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), "%.*Lf", Decimals, Value);
    std::string s(buf.data(), static_cast<size_t>(n));
    // No "-0.00": a value that rounds to zero is shown without a sign.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
  }
  // Two significant digits and a four-digit exponent, then the exponent's
  // first two digits removed: they must be "00" or the label is asterisks.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1Le", std::fabs(Value));  // d.de+XX
  const char* e = buf;
  while (*e && *e != 'e') ++e;
  const long exponent = *e ? std::strtol(e + 1, nullptr, 10) : 0;
  if (exponent <= -100 || exponent >= 100) return "********";
  std::string s;
  s += Value < 0 ? '-' : ' ';
  s.append(buf, 3);  // d.d
  s += 'E';
  s += exponent < 0 ? '-' : '+';
  const long a = exponent < 0 ? -exponent : exponent;
  s += static_cast<char>('0' + a / 10);
  s += static_cast<char>('0' + a % 10);
  return s;
}

std::string UserTickItem(std::string_view Text, int32_t Index) {
  if (Index < 1 || Text.empty()) return {};
  int64_t remaining = Index;
  size_t start = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != '|') continue;
    if (--remaining > 0)
      start = i + 1;
    else
      return std::string(Text.substr(start, i - start));
  }
  return std::string(Text.substr(start));
}

std::string ApplyInscript(const std::string& Label, std::string_view Inscript) {
  if (Label.empty()) return Label;
  const size_t amp = Inscript.find('&');
  if (amp == std::string_view::npos) return std::string(Inscript) + Label;
  return std::string(Inscript.substr(0, amp)) + Label + std::string(Inscript.substr(amp + 1));
}

std::string StripTrailingZeros(std::string Text) {
  if (Text.find('.') == std::string::npos || Text.find_first_of("eE") != std::string::npos)
    return Text;
  while (!Text.empty() && Text.back() == '0') Text.pop_back();
  if (!Text.empty() && Text.back() == '.') Text.pop_back();
  return Text;
}

std::string LogStyleLabel(bool Power, int M, int32_t Exponent) {
  const std::string e = std::to_string(Exponent);
  if (Power) return (M == 1 ? std::string() : std::to_string(M) + "\u00D7") + "10^" + e;
  return std::to_string(M) + "e" + e;
}

}  // namespace vexa
