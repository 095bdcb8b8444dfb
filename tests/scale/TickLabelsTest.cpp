// Label texts: decimals, number formats, user texts, inscripts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kelvo/scale/TickLabels.h"

using namespace vexa;

namespace {

TEST(FormatTickValue, FixedNotation) {
  EXPECT_EQ(FormatTickValue(12, 0), "12");
  EXPECT_EQ(FormatTickValue(-0.25L, 2), "-0.25");
  EXPECT_EQ(FormatTickValue(3.5L, 3), "3.500");
  EXPECT_EQ(FormatTickValue(1234567, 0), "1234567");  // no grouping
  EXPECT_EQ(FormatTickValue(-0.001L, 2), "0.00");     // no signed zero
  EXPECT_EQ(FormatTickValue(0, 2), "0.00");
  EXPECT_EQ(FormatTickValue(2.5L, 0), "2");  // ties to even, as the conversion rounds
  EXPECT_EQ(FormatTickValue(0.2L, 12), "0.200000000000");
}

TEST(FormatTickValue, ExponentForm) {
  EXPECT_EQ(FormatTickValue(1500, -1), " 1.5E+03");
  EXPECT_EQ(FormatTickValue(500000, -1), " 5.0E+05");
  EXPECT_EQ(FormatTickValue(-2e-5L, -1), "-2.0E-05");
  EXPECT_EQ(FormatTickValue(0, -1), " 0.0E+00");
  EXPECT_EQ(FormatTickValue(9.96e2L, -1), " 1.0E+03");  // rounding carries into the exponent
  EXPECT_EQ(FormatTickValue(1e100L, -1), "********");
  EXPECT_EQ(FormatTickValue(-3e-120L, -1), "********");
  EXPECT_EQ(FormatTickValue(9.9e99L, -1), " 9.9E+99");
}

TEST(FormatTickValue, NonFiniteValues) {
  EXPECT_EQ(FormatTickValue(std::numeric_limits<long double>::quiet_NaN(), 2), "NAN");
  EXPECT_EQ(FormatTickValue(std::numeric_limits<long double>::infinity(), -1), "INF");
  EXPECT_EQ(FormatTickValue(-std::numeric_limits<long double>::infinity(), 0), "-INF");
}

TEST(Decimals, AutomaticLinear) {
  const struct {
    long double Span;
    int Want;
  } table[] = {{1, 2},  {10, 1},       {50, 0},     {0.1L, 3},     {0.001L, 5},   {100, 0},
               {99, 0}, {1000000, -1}, {999999, 0}, {0.0001L, -1}, {0.00011L, 6}, {2000000, -1}};
  for (auto& t : table) {
    EXPECT_EQ(AutoDecimals(-2, t.Span, 0), t.Want) << double(t.Span);
    EXPECT_EQ(AutoDecimals(-3, 0, t.Span), t.Want) << double(t.Span);
  }
  EXPECT_EQ(AutoDecimals(5, 0, 1), 5);
  EXPECT_EQ(AutoDecimals(-1, 0, 1), -1);
  EXPECT_EQ(AutoDecimals(-2, 0, std::numeric_limits<long double>::quiet_NaN()), -1);
  EXPECT_EQ(AutoDecimals(-2, -1e308L, 1e308L), -1);
}

TEST(Decimals, AutomaticLogarithmic) {
  EXPECT_EQ(AutoLogDecimals(-2, 10, 0.01L), 3);
  EXPECT_EQ(AutoLogDecimals(-2, 10, 0.5L), 1);
  EXPECT_EQ(AutoLogDecimals(-2, 1, 1000), 0);
  EXPECT_EQ(AutoLogDecimals(-2, 1, 2000000), -1);
  EXPECT_EQ(AutoLogDecimals(-3, 0.01L, 10), -3);  // passes through
  EXPECT_EQ(AutoLogDecimals(4, 0.01L, 10), 4);
  EXPECT_EQ(AutoLogDecimals(-2, 1e-300L, 1), 301);
}

TEST(UserTickItem, ItemsAndTheirEdges) {
  EXPECT_EQ(UserTickItem("red|green|blue", 1), "red");
  EXPECT_EQ(UserTickItem("red|green|blue", 2), "green");
  EXPECT_EQ(UserTickItem("red|green|blue", 3), "blue");
  EXPECT_EQ(UserTickItem("red|green|blue", 5), "blue");
  EXPECT_EQ(UserTickItem("red|green|blue|", 5), "");
  EXPECT_EQ(UserTickItem("red|green|blue|", 3), "blue");
  EXPECT_EQ(UserTickItem("red|green|blue", 0), "");
  EXPECT_EQ(UserTickItem("red|green|blue", -4), "");
  EXPECT_EQ(UserTickItem("", 1), "");
  EXPECT_EQ(UserTickItem("solo", 2), "solo");
  EXPECT_EQ(UserTickItem("|a", 1), "");
  EXPECT_EQ(UserTickItem("a||b", 2), "");
}

TEST(ApplyInscript, PrefixAndSuffix) {
  EXPECT_EQ(ApplyInscript("20", "& kg"), "20 kg");
  EXPECT_EQ(ApplyInscript("20", "$"), "$20");
  EXPECT_EQ(ApplyInscript("20", "ca. &%&x"), "ca. 20%&x");  // the first "&" splits
  EXPECT_EQ(ApplyInscript("", "& kg"), "");
  EXPECT_EQ(ApplyInscript("7", ""), "7");
}

TEST(StripTrailingZeros, OnlyDecimalFractions) {
  EXPECT_EQ(StripTrailingZeros("0.0010"), "0.001");
  EXPECT_EQ(StripTrailingZeros("10.0000"), "10");
  EXPECT_EQ(StripTrailingZeros("100"), "100");
  EXPECT_EQ(StripTrailingZeros(" 1.0E+03"), " 1.0E+03");
  EXPECT_EQ(StripTrailingZeros("2.50"), "2.5");
}

}  // namespace
