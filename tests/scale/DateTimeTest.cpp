// Dates and times: the calendar and format routine of the framework, the
// label texts and step choices, and the time-of-day and date/time tick
// passes observed through their events, labels and tick table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "kelvo/platform/DateTime.h"
#include "kelvo/scale/DateTimeLabels.h"
#include "kelvo/scale/Scale.h"
#include "support/Golden.h"

using namespace vexa;

namespace {

using Strings = std::vector<std::string>;

TEST(Calendar, DayNumbersOfKnownDates) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  EXPECT_EQ(EncodeDate(2000, 2, 30), EncodeDate(2000, 3, 1));  // runs on past the month's end
  // Every day of 1600 .. 2400 decodes back to itself, leap years included.
  int64_t previous = EncodeDate(1600, 1, 1) - 1;
  for (int64_t day = EncodeDate(1600, 1, 1); day <= EncodeDate(2400, 12, 31); ++day) {
    const TDate d = DecodeDate(day);
    ASSERT_EQ(EncodeDate(d.Year, d.Month, d.Day), day);
    ASSERT_EQ(day, previous + 1);
    previous = day;
  }
  const TDate leap = DecodeDate(EncodeDate(2000, 3, 1) - 1);
  EXPECT_EQ(leap.Day, 29);
  const TDate noLeap = DecodeDate(EncodeDate(1900, 3, 1) - 1);
  EXPECT_EQ(noLeap.Day, 28);
}

TEST(Calendar, FormatTokens) {
  const double t = 36526 + (13 * 3600 + 5 * 60 + 9.25) / 86400.0;  // 2000-01-01 13:05:09.250
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zz", t), "2000-01-01 13:05:09.250");
  EXPECT_EQ(FormatDateTime("d/m/yy h:n:s z", t), "1/1/00 13:5:9 250");
  EXPECT_EQ(FormatDateTime("dd mmm yyyy", t), "01 Jan 2000");
  EXPECT_EQ(FormatDateTime("mmmm", t), "January");
  EXPECT_EQ(FormatDateTime("ham/pm", t), "1pm");
  EXPECT_EQ(FormatDateTime("hh\"h\"nn 'at' AM/PM", 36526), "12h00 at am");
  // Negative values: the day counted backwards, the time of day positive.
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -2.75), "1899-12-28 18:00");
  // A time that rounds to the next midnight belongs to the next day.
  EXPECT_EQ(FormatDateTime("mm-dd hh:nn:ss.zz", 36526.9999999999), "01-02 00:00:00.000");
  EXPECT_EQ(FormatDateTime("yyyy", std::nan("")), "");
  // Bytes outside ASCII (UTF-8 text) are copied as they stand.
  EXPECT_EQ(FormatDateTime("dd\xC3\xA9mm", 36526),
            "01\xC3\xA9"
            "01");
  EXPECT_EQ(FormatDateTime("\"unterminated", 36526), "unterminated");
}

TEST(DateTimeLabels, SecondsAndLinearDays) {
  EXPECT_EQ(FormatSeconds(false, -90), "-00:01:30");
  EXPECT_EQ(FormatSeconds(false, 3600), " 01:00:00");
  EXPECT_EQ(FormatSeconds(true, 0.2L), " 00:00:00.200");
  EXPECT_EQ(FormatSeconds(true, 0.9996L), " 00:00:01.000");  // never ".1000"
  EXPECT_EQ(FormatSeconds(false, 400000), " 111:06:40");
  EXPECT_EQ(FormatLinearDateTime("yyyy-mm-dd hh:nn", -1.25L), "1899-12-28 18:00");
  EXPECT_EQ(FormatLinearDateTime("yyyy-mm-dd hh:nn", -2.000000001L), "1899-12-28 00:00");
  EXPECT_EQ(FormatLinearDateTime("yyyy-mm-dd", 1e-9L), "1899-12-30");
}

TEST(DateTimeLabels, FormatStrings) {
  EXPECT_EQ(BuildDateFormat(true, TYearLength::ylYYYY, TDateOrder::doDDMMYY, '-'),
            "dd\"-\"mmm\"-\"yyyy");
  EXPECT_EQ(BuildDateFormat(false, TYearLength::ylNone, TDateOrder::doYYMMDD, '/'), "mm\"/\"dd");
  EXPECT_EQ(BuildDateFormat(false, TYearLength::ylYY, TDateOrder::doMMDDYY, '"'), "mm'\"'dd'\"'yy");
  const double jan5 = EncodeDate(2020, 1, 5);
  EXPECT_EQ(FormatLinearDateTime(
                DayLabelFormat(false, TYearLength::ylNone, TDateOrder::doDDMMYY, '.'), jan5),
            "05.01.");
  EXPECT_EQ(FormatLinearDateTime(
                DayLabelFormat(false, TYearLength::ylNone, TDateOrder::doYYMMDD, '.'), jan5),
            ".01.05");
  EXPECT_EQ(FormatLinearDateTime(
                MonthLabelFormat(true, TYearLength::ylYY, TDateOrder::doYYMMDD, '-'), jan5),
            "20-Jan");
  EXPECT_EQ(ClockLabelFormat(TClockUnit::Hours, TTimeFormat::tfHHhMM, ':'), "h\"h\"");
  EXPECT_EQ(FormatLinearDateTime(ClockLabelFormat(TClockUnit::Hours, TTimeFormat::tfHHhMM, ':'),
                                 36526.375L),
            "9h");
  EXPECT_EQ(FormatLinearDateTime(ClockLabelFormat(TClockUnit::Hundredths, TTimeFormat::tfAMPM, ':'),
                                 36526 + 45296.5L / 86400),
            "12:34.56.500pm");
  EXPECT_EQ(FormatLinearDateTime(ClockLabelFormat(TClockUnit::Seconds, TTimeFormat::tfHHMMSS, '\0'),
                                 36526.5L),
            "120000");
}

TEST(DateTimeLabels, SubDayStepStartsOnAMultipleFromMidnight) {
  // 4 hours ideal: step 3 h, minor 1 h; 07:30 starts at 09:00.
  const TSubDayStep h = SubDayStep(TClockUnit::Hours, 4.0L / 24, 36526 + 7.5L / 24);
  EXPECT_NEAR(static_cast<double>(h.Major * 24), 3, 1e-12);
  EXPECT_NEAR(static_cast<double>(h.Minor * 24), 1, 1e-12);
  EXPECT_NEAR(static_cast<double>((h.First - 36526) * 24), 9, 1e-9);
  // Before the origin the time of day still counts from the midnight before.
  const TSubDayStep m = SubDayStep(TClockUnit::Minutes, 0.01L, -1.25L);  // 14.4 min: step 10
  EXPECT_NEAR(static_cast<double>(m.Major * 1440), 10, 1e-9);
  EXPECT_NEAR(static_cast<double>(m.Minor * 1440), 2, 1e-9);
  EXPECT_NEAR(static_cast<double>(m.First), -1.25, 1e-12);
  // A whole negative day is its own midnight.
  EXPECT_NEAR(static_cast<double>(SubDayStep(TClockUnit::Hours, 0.1L, -2).First), -2, 1e-12);
  // Below the smallest step the first one is taken.
  EXPECT_NEAR(static_cast<double>(SubDayStep(TClockUnit::Seconds, 1e-7L, 0).Major * 86400), 1,
              1e-9);
}

// A live scale that records what a paint does.
struct Recorder {
  TScale Scale;
  Strings Labels;
  std::vector<double> LabelValues, Ticks;

  explicit Recorder(TScaleType type, TFigType labels) {
    Scale.CreateWnd();
    Scale.Loaded();
    Scale.SetScaleType(type);
    Scale.SetLabelType(labels);
    Scale.OnBeforeTickLabel = [this](TObject*, TScaleType, double v, std::string& label) {
      Labels.push_back(label);
      LabelValues.push_back(v);
    };
    Scale.OnScaleTickDrawn = [this](TObject*, TCanvas&, TScaleType, double v, int32_t, int32_t) {
      Ticks.push_back(v);
    };
  }
  void Paint(double lo, double hi, int minTicks = 3) {
    Scale.SetRangeHigh(hi);
    Scale.SetRangeLow(lo);
    Scale.SetMinTicks(minTicks);
    Labels.clear();
    LabelValues.clear();
    Ticks.clear();
    Scale.Paint();
  }
  std::vector<double> Table() const {
    std::vector<double> t;
    for (int32_t i = 1; i <= Scale.NumTicks(); ++i) t.push_back(Scale.TickPos(i));
    return t;
  }
};

TEST(TimeOfDayPass, AnHourInThreeSteps) {
  Recorder r(TScaleType::sctYL, TFigType::ftTime);
  r.Paint(0, 3600);
  EXPECT_EQ(r.Labels, (Strings{" 00:00:00", " 00:20:00", " 00:40:00", " 01:00:00"}));
  // Minor ticks every 200 s (6 per major step), then the majors again.
  const std::vector<double> table = r.Table();
  ASSERT_EQ(table.size(), 19u + 4u);
  for (int i = 0; i <= 18; ++i) EXPECT_DOUBLE_EQ(table[static_cast<size_t>(i)], 200.0 * i);
  EXPECT_EQ(std::vector<double>(table.begin() + 19, table.end()),
            (std::vector<double>{0, 1200, 2400, 3600}));
  // Horizontal with short ticks: the majors are not recorded twice.
  Recorder h(TScaleType::sctXB, TFigType::ftTime);
  h.Paint(0, 3600);
  EXPECT_EQ(h.Scale.NumTicks(), 19);
  EXPECT_EQ(h.Labels.size(), 4u);
}

TEST(TimeOfDayPass, MillisecondsNegativeValuesAndTheNumericFallback) {
  Recorder r(TScaleType::sctXB, TFigType::ftTime);
  r.Paint(0, 1, 5);
  ASSERT_GE(r.Labels.size(), 2u);
  EXPECT_EQ(r.Labels[1], " 00:00:00.200");
  r.Paint(-180, 0);
  EXPECT_EQ(r.Labels.front(), "-00:03:00");
  r.Paint(-90, -89.99);  // 0.01 s over 3 ticks: still milliseconds
  EXPECT_FALSE(r.Labels.empty());
  // Beyond a day per step: numbers with the 4 decimals ftTime set.
  EXPECT_EQ(r.Scale.DecPlaces(), 4);
  r.Paint(0, 1000000);
  ASSERT_GE(r.Labels.size(), 2u);
  EXPECT_EQ(r.Labels[1].substr(r.Labels[1].size() - 5), ".0000");
  r.Paint(0, 0.002);  // below a millisecond per step: numbers too
  EXPECT_EQ(r.Labels.front(), "0.0000");
}

// Every tick of the chosen step inside the range is shown, at both ends and
// in both directions, whatever the sign of the values, for every step of
// the table. A span of 3.5 steps makes the pass take that step.
TEST(TimeOfDayPass, EveryStepShowsAllItsTicksAtBothEnds) {
  const double steps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,   0.2,   0.5,
                          1,     2,     5,     10,   20,   30,   60,    120,   180,
                          300,   600,   1200,  1800, 3600, 7200, 14400, 21600, 43200};
  Recorder r(TScaleType::sctXB, TFigType::ftTime);
  for (double step : steps)
    for (int k : {-7, -4, -3, 0, 2, 5})
      for (bool atHigh : {false, true})      // which end is the exact multiple
        for (bool reversed : {false, true})  // RangeLow above RangeHigh
          for (double nudge : {0.0, 1e-13, -1e-13}) {
            const double exact = k * step, other = atHigh ? exact - 3.5 * step : exact + 3.5 * step;
            const double e = exact * (1 + nudge) + nudge * step;  // a few ulps off, or exact
            const double lo = atHigh ? other : e, hi = atHigh ? e : other;
            if (reversed)
              r.Paint(hi, lo);
            else
              r.Paint(lo, hi);
            const std::string what = std::to_string(step) + " at " + std::to_string(k) +
                                     (atHigh ? " high" : " low") + (reversed ? " reversed" : "");
            ASSERT_EQ(r.LabelValues.size(), 4u) << what;
            // Along the axis from RangeLow: ascending, or descending when reversed.
            const double first = atHigh ? exact - 3 * step : exact;
            for (size_t i = 0; i < 4; ++i) {
              const double want =
                  reversed ? first + (3 - double(i)) * step : first + double(i) * step;
              EXPECT_NEAR(r.LabelValues[i], want, 1e-9 * std::max(1.0, std::fabs(want))) << what;
            }
          }
  // The faults that were seen: the end at zero of negative ranges, and
  // both ends of a reversed hour.
  r.Paint(-3600, 0);
  EXPECT_EQ(r.Labels.back(), " 00:00:00");
  r.Paint(-180, 0);
  EXPECT_EQ(r.Labels.back(), " 00:00:00");
  r.Paint(3600, 0);
  EXPECT_EQ(r.Labels, (Strings{" 01:00:00", " 00:40:00", " 00:20:00", " 00:00:00"}));
}

constexpr double Jan1st2000 = 36526;

// A clock-time range from date + h/24 (a double a hair above or below the
// hour) starts its labels at the hour, for every hour of the day.
TEST(DateTimePass, AnHourFromEveryHourStartsAtTheHour) {
  Recorder r(TScaleType::sctXB, TFigType::ftDateTime);
  r.Scale.DateFormat().SetDateForTime(TDateForTime::dtNone);
  for (int h = 0; h < 48; ++h) {
    r.Scale.SetShortTicks(h >= 24);
    r.Paint(Jan1st2000 + (h % 24) / 24.0, Jan1st2000 + (h % 24 + 1) / 24.0);
    char hour[8], next[8];
    std::snprintf(hour, sizeof hour, "%02d:00", h % 24);
    std::snprintf(next, sizeof next, "%02d:00", (h + 1) % 24);
    ASSERT_FALSE(r.Labels.empty()) << h;
    EXPECT_EQ(r.Labels.front(), hour);
    EXPECT_EQ(r.Labels.back(), next);
  }
}

TEST(DateTimePass, HoursOfHalfADayWithOneDateLine) {
  Recorder r(TScaleType::sctXB, TFigType::ftDateTime);
  r.Scale.SetShortTicks(false);
  r.Paint(Jan1st2000, Jan1st2000 + 0.5);
  // Each major tick's time label; the date line only once (dtOnePerDay).
  EXPECT_EQ(r.Labels, (Strings{"00:00", "01-Jan-2000", "03:00", "06:00", "09:00", "12:00"}));
  EXPECT_EQ(r.Scale.NumTicks(), 5);
  r.Scale.DateFormat().SetDateForTime(TDateForTime::dtAllTicks);
  r.Paint(Jan1st2000, Jan1st2000 + 0.5);
  EXPECT_EQ(r.Labels.size(), 10u);
  r.Scale.DateFormat().SetTimeFormat(TTimeFormat::tfAMPM);
  r.Scale.DateFormat().SetDateForTime(TDateForTime::dtNone);
  r.Paint(Jan1st2000, Jan1st2000 + 0.5);
  EXPECT_EQ(r.Labels, (Strings{"12am", "3am", "6am", "9am", "12pm"}));
  // Short ticks every hour, labels on the 3-hour marks only.
  r.Scale.SetShortTicks(true);
  r.Paint(Jan1st2000, Jan1st2000 + 0.5);
  EXPECT_EQ(r.Scale.NumTicks(), 13);
  EXPECT_EQ(r.Ticks.size(), 13u);
  EXPECT_EQ(r.Labels.size(), 5u);
}

TEST(DateTimePass, DateLinePerDayAcrossMidnight) {
  Recorder r(TScaleType::sctYL, TFigType::ftDateTime);
  r.Scale.SetShortTicks(false);
  r.Paint(Jan1st2000 + 0.75, Jan1st2000 + 1.5);  // 18:00 to 12:00 the next day: 6 h steps
  EXPECT_EQ(r.Labels, (Strings{"18:00", "01-Jan-2000", "00:00", "02-Jan-2000", "06:00", "12:00"}));
  // The same with hourly short ticks: the tick summed up to midnight is on the new day.
  r.Scale.SetShortTicks(true);
  r.Paint(Jan1st2000 + 0.75, Jan1st2000 + 1.5);
  EXPECT_EQ(r.Labels, (Strings{"18:00", "01-Jan-2000", "00:00", "02-Jan-2000", "06:00", "12:00"}));
  r.Scale.SetShortTicks(false);
  r.Scale.DateFormat().SetDateForTime(TDateForTime::dtOnePerChart);
  r.Paint(Jan1st2000 + 0.75, Jan1st2000 + 1.5);
  EXPECT_EQ(r.Labels.size(), 5u);
}

TEST(DateTimePass, TenYearsInStepsOfTwo) {
  Recorder r(TScaleType::sctXB, TFigType::ftDateTime);
  r.Paint(EncodeDate(2001, 1, 1), EncodeDate(2011, 1, 1));
  // Short ticks every year, labels on the even years.
  EXPECT_EQ(r.Labels, (Strings{"2002", "2004", "2006", "2008", "2010"}));
  EXPECT_EQ(r.Scale.NumTicks(), 11);
  EXPECT_EQ(r.Scale.TickPos(1), EncodeDate(2001, 1, 1));
  r.Scale.SetShortTicks(false);
  r.Paint(EncodeDate(2001, 3, 1), EncodeDate(2011, 1, 1));
  EXPECT_EQ(r.Labels, (Strings{"2002", "2004", "2006", "2008", "2010"}));
  r.Scale.DateFormat().SetYearLength(TYearLength::ylYY);
  r.Paint(EncodeDate(2001, 3, 1), EncodeDate(2011, 1, 1));
  EXPECT_EQ(r.Labels.front(), "02");
  // The last years: nothing beyond 9999-12-31, which gets the last tick.
  r.Scale.DateFormat().SetYearLength(TYearLength::ylYYYY);
  r.Scale.SetShortTicks(true);
  r.Paint(EncodeDate(9990, 1, 1), 3000000);
  EXPECT_EQ(r.Ticks, (std::vector<double>{2954814, 2958465}));  // 9990-01-01, 9999-12-31
  r.Scale.SetShortTicks(false);
  // A first tick beyond 9999 is 9999-12-31 too (steps of 20 years from 9990).
  r.Paint(EncodeDate(9990, 1, 1), 3000000);
  EXPECT_EQ(r.Ticks, (std::vector<double>{2958465}));
  EXPECT_EQ(r.Labels, (Strings{"9999"}));
  // Early years lose their leading zeros.
  r.Paint(EncodeDate(1, 1, 1), EncodeDate(9, 1, 1));
  EXPECT_EQ(r.Labels, (Strings{"2", "4", "6", "8"}));
}

TEST(DateTimePass, MonthsStartOnTheirStepsFirstMonth) {
  Recorder r(TScaleType::sctXB, TFigType::ftDateTime);
  r.Scale.SetShortTicks(false);
  r.Paint(EncodeDate(2021, 2, 10), EncodeDate(2022, 2, 10));  // 3-month steps
  EXPECT_EQ(r.Labels, (Strings{"Apr-2021", "Jul-2021", "Oct-2021", "Jan-2022"}));
  r.Paint(EncodeDate(2021, 1, 1), EncodeDate(2022, 1, 1));  // from January 1st: also April
  EXPECT_EQ(r.Labels.front(), "Apr-2021");
  r.Scale.SetShortTicks(true);
  r.Paint(EncodeDate(2021, 1, 1), EncodeDate(2022, 1, 1));
  EXPECT_EQ(r.Scale.NumTicks(), 13);  // every month
  EXPECT_EQ(r.Labels, (Strings{"Jan-2021", "Apr-2021", "Jul-2021", "Oct-2021", "Jan-2022"}));
}

TEST(DateTimePass, DaysInWeeksAndDayLabelsWithoutYear) {
  Recorder r(TScaleType::sctXB, TFigType::ftDateTime);
  r.Scale.DateFormat().SetYearLength(TYearLength::ylNone);
  r.Scale.DateFormat().SetMonthName(false);
  r.Scale.DateFormat().SetDateSeparator('.');
  r.Scale.SetShortTicks(false);
  r.Paint(EncodeDate(2021, 1, 3), EncodeDate(2021, 1, 9));  // 2-day steps from January 1st
  EXPECT_EQ(r.Labels, (Strings{"03.01.", "05.01.", "07.01.", "09.01."}));
  r.Scale.SetShortTicks(true);
  r.Paint(EncodeDate(2021, 1, 1), EncodeDate(2021, 3, 1));  // 14-day steps, minor a week
  EXPECT_EQ(r.Labels, (Strings{"01.01.", "15.01.", "29.01.", "12.02.", "26.02."}));
  EXPECT_EQ(r.Scale.NumTicks(), 9);
}

TEST(DateTimePass, UnusableRangesShowMessagesInsteadOfTicks) {
  for (const TScaleType t : {TScaleType::sctXB, TScaleType::sctYL}) {
    Recorder r(t, TFigType::ftDateTime);
    r.Paint(Jan1st2000 + 1, Jan1st2000);  // reversed
    EXPECT_EQ(r.Scale.NumTicks(), 0);
    EXPECT_TRUE(r.Ticks.empty());
    EXPECT_TRUE(r.Labels.empty());
    r.Paint(-700000, 0);  // before 0001-01-01
    EXPECT_EQ(r.Scale.NumTicks(), 0);
    r.Paint(0, 3000001);
    EXPECT_EQ(r.Scale.NumTicks(), 0);
  }
  // Half a second per step: hundredths on a vertical scale, the too-small
  // message on a horizontal one.
  Recorder v(TScaleType::sctYL, TFigType::ftDateTime);
  v.Scale.SetShortTicks(false);
  v.Paint(Jan1st2000, Jan1st2000 + 1.5 / 86400);
  ASSERT_FALSE(v.Labels.empty());
  EXPECT_EQ(v.Labels[0], "00:00:00.000");
  EXPECT_EQ(v.Labels[2], "00:00:00.500");
  Recorder h(TScaleType::sctXB, TFigType::ftDateTime);
  h.Paint(Jan1st2000, Jan1st2000 + 1.5 / 86400);
  EXPECT_EQ(h.Scale.NumTicks(), 0);
  EXPECT_TRUE(h.Labels.empty());
}

TEST(DateTimePass, RandomRangesStayBounded) {
  // Ranges anywhere in and around the calendar, from a microsecond to
  // centuries wide, on both orientations with and without short ticks.
  uint64_t seed = 2024;
  auto next = [&] {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(seed >> 11) * 0x1p-53;
  };
  for (const TScaleType t : {TScaleType::sctXB, TScaleType::sctYR})
    for (const TFigType kind : {TFigType::ftTime, TFigType::ftDateTime}) {
      Recorder r(t, kind);
      for (int i = 0; i < 300; ++i) {
        r.Scale.SetShortTicks(i % 2 == 0);
        const double low = (next() * 4.2 - 1.2) * 1e6;
        const double span = std::pow(10.0, next() * 20 - 12);
        r.Paint(low, low + span, 2 + static_cast<int>(next() * 9));
        ASSERT_LE(r.Scale.NumTicks(), 250);
        ASSERT_LE(r.Ticks.size(), 2000u) << low << " + " << span;
        // Date/time ticks come as one sequence, in order along the axis.
        if (kind != TFigType::ftDateTime) continue;
        for (size_t k = 1; k < r.Ticks.size(); ++k)
          ASSERT_GT(r.Ticks[k], r.Ticks[k - 1]) << low << " + " << span;
      }
    }
}

// Text is anti-aliased: allow small differences at glyph edges.
constexpr kelvo::test::TTolerance kTextTolerance{40, 40};

TEST(DateTimePicture, ClockTicksWithDateLinesAndTheMessages) {
  auto scale = [](TScaleType t, int w, int h, double lo, double hi) {
    auto s = std::make_unique<TScale>();
    s->SetBounds(0, 0, w, h);
    s->SetScaleType(t);
    s->SetLabelType(TFigType::ftDateTime);
    s->CreateWnd();
    s->Loaded();
    s->SetRangeHigh(hi);
    s->SetRangeLow(lo);
    s->Paint();
    return s;
  };
  auto xb = scale(TScaleType::sctXB, 360, 80, Jan1st2000 + 0.75, Jan1st2000 + 1.5);
  EXPECT_GOLDEN(xb->Surface(), "scale/datetime-xb-hours", kTextTolerance);
  auto yr = scale(TScaleType::sctYR, 130, 260, Jan1st2000 + 0.75, Jan1st2000 + 1.5);
  EXPECT_GOLDEN(yr->Surface(), "scale/datetime-yr-hours", kTextTolerance);
  auto invalid = scale(TScaleType::sctYL, 110, 200, Jan1st2000 + 1, Jan1st2000);
  EXPECT_GOLDEN(invalid->Surface(), "scale/datetime-yl-invalid", kTextTolerance);
  auto small = scale(TScaleType::sctXT, 300, 60, Jan1st2000, Jan1st2000 + 1e-6);
  EXPECT_GOLDEN(small->Surface(), "scale/datetime-xt-too-small", kTextTolerance);
}

}  // namespace
