// The shared unit: the date format settings, the tick-step routine, pixel
// rounding and the frame routine.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kelvo/base/Vexa_vexabase.h"
#include "kelvo/platform/Bitmap.h"

using namespace vexa;

namespace {

TEST(DateFormat, FreshObjectIsAllZero) {
  TDTLabel d;
  EXPECT_EQ(d.TimeFormat(), TTimeFormat::tfHHMMSS);
  EXPECT_EQ(d.DateSeparator(), '\0');
  EXPECT_EQ(d.TimeSeparator(), '\0');
  EXPECT_EQ(d.YearLength(), TYearLength::ylNone);
  EXPECT_FALSE(d.MonthName());
  EXPECT_EQ(d.DateOrder(), TDateOrder::doMMDDYY);
  EXPECT_EQ(d.DateForTime(), TDateForTime::dtNone);
}

TEST(DateFormat, WhichSettersNotifyOnEveryWrite) {
  TDTLabel d;
  int changes = 0;
  d.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &d);
    ++changes;
  };
  d.SetYearLength(TYearLength::ylNone);  // unchanged: silent
  d.SetMonthName(false);
  d.SetDateSeparator('\0');
  d.SetTimeSeparator('\0');
  d.SetDateForTime(TDateForTime::dtNone);
  EXPECT_EQ(changes, 0);
  d.SetTimeFormat(TTimeFormat::tfHHMMSS);  // unchanged, but notifies
  d.SetDateOrder(TDateOrder::doMMDDYY);
  EXPECT_EQ(changes, 2);
  d.SetYearLength(TYearLength::ylYY);
  d.SetDateSeparator('/');
  EXPECT_EQ(changes, 4);
}

TEST(DateFormat, AssignCopiesSettingsAndNotificationSilently) {
  TDTLabel a, b;
  int aChanges = 0, bChanges = 0;
  a.OnChange = [&](TObject*) { ++aChanges; };
  b.OnChange = [&](TObject*) { ++bChanges; };
  a.SetMonthName(true);
  a.SetDateSeparator('.');
  aChanges = 0;
  b.Assign(&a);
  EXPECT_TRUE(b.SameSettings(a));
  EXPECT_EQ(aChanges + bChanges, 0);
  b.SetYearLength(TYearLength::ylYYYY);  // b now notifies whoever a notified
  EXPECT_EQ(aChanges, 1);
  EXPECT_EQ(bChanges, 0);
}

TEST(DateFormat, AssignFromAnotherClassFailsAndChangesNothing) {
  TDTLabel d;
  d.SetDateSeparator('-');
  TFont f;
  try {
    d.Assign(&f);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TFont to a TDTLabel");
  }
  EXPECT_EQ(d.DateSeparator(), '-');
}

struct StepCase {
  int Intervals;
  long double Start, Stop;
  long double First, Step;
  int Subdivisions;
};

TEST(NiceTickStep, Table) {
  const StepCase cases[] = {
      {3, 0, 100, 0, 20, 4},
      {3, 0, 1, 0, 0.2L, 4},
      {3, 100, 0, 100, -20, 4},
      {3, -1, 1, -1, 0.5L, 5},
      {3, 0, 2, 0, 0.5L, 5},
      {3, 1969, 1981, 1970, 2, 4},
      {3, -50, 150, -50, 50, 5},
      {4, 0, 2, 0, 0.2L, 4},
      // An ideal step of exactly 2 or 5 falls to the next smaller mantissa:
      // the tolerance of the comparison works against it.
      {5, 0, 10, 0, 1, 5},
      {2, 0, 10, 0, 2, 4},
      {0, 0.5L, 30, 1, 1, 1},
      {0, 0, 5, 0, 1, 5},
      {0, 10, 0, 10, -1, 5},
      {10, 0, 1e-6L, 0, 1e-7L, 5},
      {3, 3, 3, 3, 0, 1},
  };
  for (const StepCase& c : cases) {
    const TTickStep r = NiceTickStep(c.Intervals, c.Start, c.Stop);
    SCOPED_TRACE(::testing::Message()
                 << c.Intervals << " " << double(c.Start) << ".." << double(c.Stop));
    EXPECT_NEAR(double(r.Step), double(c.Step), std::fabs(double(c.Step)) * 1e-12);
    EXPECT_NEAR(double(r.First), double(c.First), 1e-9 * std::max(1.0, std::fabs(double(c.First))));
    EXPECT_EQ(r.Subdivisions, c.Subdivisions);
  }
}

TEST(NiceTickStep, StepNeverExceedsTheIdealAndIntervalsAreMet) {
  for (long double span : {0.7L, 1.0L, 3.0L, 7.3L, 19.99L, 123.0L, 1e-50L, 1e15L}) {
    for (int n = 2; n <= 10; ++n) {
      const TTickStep r = NiceTickStep(n, 0, span);
      EXPECT_LE(r.Step, span / n * (1 + 1e-9L)) << double(span) << " " << n;
      EXPECT_GE(r.Step, span / n / 2.5L * (1 - 1e-9L)) << double(span) << " " << n;
    }
  }
}

TEST(NiceTickStep, ExtremeAndInvalidRangesReturn) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  for (auto [a, b] : {std::pair{0.0L, 1e300L},
                      {-1e308L, 1e308L},
                      {0.0L, 1e-300L},
                      {1e30L, 1e30L + 1e15L},
                      {nan, 1.0L},
                      {0.0L, inf},
                      {-inf, inf},
                      {1e25L, 1e25L + 1}}) {
    for (int n : {0, 3}) {
      const TTickStep r = NiceTickStep(n, a, b);  // must come back, whatever it found
      (void)r;
    }
  }
  const TTickStep big = NiceTickStep(3, -1e308L, 1e308L);
  EXPECT_NEAR(double(big.Step / 5e307L), 1.0, 1e-9);
}

TEST(PixelMath, RoundsHalfToEvenAndClamps) {
  EXPECT_EQ(RoundClamped(2.5L), 2);
  EXPECT_EQ(RoundClamped(3.5L), 4);
  EXPECT_EQ(RoundClamped(-2.5L), -2);
  EXPECT_EQ(RoundClamped(0.5L), 0);
  EXPECT_EQ(RoundClamped(1.5L), 2);
  EXPECT_EQ(RoundClamped(-0.5L), 0);
  EXPECT_EQ(RoundClamped(-1.5L), -2);
  EXPECT_EQ(RoundClamped(std::nextafterl(2.5L, 3.0L)),
            3);  // just above the tie: extended precision decides
  EXPECT_EQ(RoundClamped(2147483646.5L), 2147483646);
  EXPECT_EQ(RoundClamped(-2147483646.5L), -2147483646);
  EXPECT_EQ(RoundClamped(199.49999999999999L), 199);
  EXPECT_EQ(RoundClamped(1e300L), 2147483647);
  EXPECT_EQ(RoundClamped(-1e300L), -2147483647);
  EXPECT_EQ(RoundClamped(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundClamped(std::numeric_limits<long double>::infinity()), 2147483647);
  EXPECT_EQ(RoundClamped(40000.4L, 30000), 30000);
}

TEST(Frame, LoweredFrameOfTenPixels) {
  TBitmap b(10, 10);
  b.Canvas().Brush().SetColor(clYellow);
  b.Canvas().FillRect(Rect(0, 0, 10, 10));
  DrawFrame(b.Canvas(), TFrameStyle::fsLowered, 0, 0, 9, 9, TFrameColors{});
  auto& c = b.Canvas();
  // Outer ring: grey top and left, white bottom and right.
  EXPECT_EQ(c.Pixels(0, 5), clGray);
  EXPECT_EQ(c.Pixels(5, 0), clGray);
  EXPECT_EQ(c.Pixels(9, 0), clGray);  // the top line runs to R + 1
  EXPECT_EQ(c.Pixels(9, 5), clWhite);
  EXPECT_EQ(c.Pixels(5, 9), clWhite);
  EXPECT_EQ(c.Pixels(0, 9), clWhite);  // the bottom line runs to L - 1
  // Inner ring: black top and left, silver bottom and right.
  EXPECT_EQ(c.Pixels(1, 5), clBlack);
  EXPECT_EQ(c.Pixels(5, 1), clBlack);
  EXPECT_EQ(c.Pixels(8, 5), clSilver);
  EXPECT_EQ(c.Pixels(5, 8), clSilver);
  EXPECT_EQ(c.Pixels(5, 5), clYellow);
}

TEST(Frame, SimpleFrameIsAClosedOutline) {
  TBitmap b(6, 5);
  b.Canvas().Brush().SetColor(clWhite);
  b.Canvas().FillRect(Rect(0, 0, 6, 5));
  DrawFrame(b.Canvas(), TFrameStyle::fsSimple, 0, 0, 5, 4, TFrameColors{});
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(b.Canvas().Pixels(x, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixels(x, 4), clBlack);
  }
  EXPECT_EQ(b.Canvas().Pixels(2, 2), clWhite);
  TBitmap n(4, 4);
  DrawFrame(n.Canvas(), TFrameStyle::fsNone, 0, 0, 3, 3, TFrameColors{});
  EXPECT_EQ(n.Canvas().Pixels(0, 0), clBlack);  // untouched black bitmap
}

}  // namespace
