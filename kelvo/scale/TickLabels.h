// What tick labels say: decimals, number formats, user texts and inscripts.
// Pure functions, so every rule can be tested on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// Labels are cut to this many characters before the inscript is applied.
constexpr size_t MaxTickLabelLength = 14;

// Decimals of linear labels: DecPlaces itself unless it is -2 or -3
// (automatic); then -1 (exponent form) for spans of 1e6 or more or 1e-4 or
// less, 0 from 100 on, else 2 - Round(ln(span) / 2.5).
int32_t AutoDecimals(int32_t DecPlaces, long double A, long double B);
// Decimals of logarithmic labels: DecPlaces unless it is -2; then -1 for
// spans of 1e6 or more or 1e-4 or less, 0 when the lower end is 1 or more,
// else 1 - Round(log10(lower end)).
int32_t AutoLogDecimals(int32_t DecPlaces, long double A, long double B);

// Decimals >= 0: fixed notation with "." whatever the locale ("12",
// "-0.25"); a value that rounds to zero carries no sign. Decimals < 0: the
// 8-character exponent form " 1.5E+03" / "-2.0E-05", or "********" when
// the exponent needs three digits. NaN and infinities read "NAN", "INF", "-INF".
std::string FormatTickValue(long double Value, int32_t Decimals);

// Item Index (1-based) of a text whose items are separated by "|"; an index
// beyond the items gives the last one; Index < 1 or an empty text gives "".
std::string UserTickItem(std::string_view Text, int32_t Index);

// Wraps a non-empty label: the inscript's text before its first "&" goes in
// front, the text after it behind; without "&" the whole inscript is a prefix.
std::string ApplyInscript(const std::string& Label, std::string_view Inscript);

// "0.0010" -> "0.001", "10.0000" -> "10": trailing zeros of a decimal
// fraction and then a trailing point go, unless the text is in exponent form.
std::string StripTrailingZeros(std::string Text);

// A logarithmic tick M x 10^Exponent (M 1..9) as a power of ten, "10^-6"
// or "2x10^3" with the exponent after '^' (Power), or in e-notation, "1e-6"
// or "2e3".
std::string LogStyleLabel(bool Power, int M, int32_t Exponent);

}  // namespace vexa
