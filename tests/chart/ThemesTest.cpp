// Themes: the report scene in each theme, themes as stored property values,
// the system theme, and the series palette.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/ReportScene.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Streaming.h"
#include "kelvo/platform/WindowServices.h"
#include "support/Golden.h"
#include "support/Sheet.h"
#include "support/TextBoxes.h"

using namespace vexa;
using demo::MakeReport;
using kelvo::test::SamePixels;

namespace {

constexpr kelvo::test::TTolerance kText{40, 60};

const char* ThemeName(TKelvoTheme t) {
  return t == TKelvoTheme::ktClassic ? "classic" : t == TKelvoTheme::ktLight ? "light" : "dark";
}

TEST(Themes, TheReportInEachThemeCrispAndSmooth) {
  for (TKelvoTheme t : {TKelvoTheme::ktClassic, TKelvoTheme::ktLight, TKelvoTheme::ktDark})
    for (bool smooth : {false, true}) {
      auto c = MakeReport(t);
      c->SetAntiAliased(smooth);
      c->Paint();
      EXPECT_GOLDEN(c->Surface(),
                    std::string("themes/report-") + ThemeName(t) + (smooth ? "-smooth" : ""),
                    kText);
    }
}

// Smoothing leaves bars, boxes, the grid, the frame and the axes crisp, at
// every ratio; it changes the lines, arrows and ellipses drawn among them.
TEST(AntiAliased, LeavesBarsBoxesGridAndAxesCrisp) {
  for (double ratio : {1.0, 1.5, 2.0}) {
    std::unique_ptr<TKelvo> charts[2];
    for (int smooth : {0, 1}) {
      auto& c = charts[smooth];
      c = MakeReport(TKelvoTheme::ktLight);
      c->ClearSeries();
      c->SetDevicePixelRatio(ratio);
      c->SetAntiAliased(smooth != 0);
      c->SetChartColor(clWhite);
      for (int i = 0; i < 6; ++i)
        c->Bar3D(8, 30 + 20 * i, 46000 + 12 * i, 1e-6, 46005 + 12 * i, std::pow(10.0, -i));
      c->Rectangle(46010, 1e-3, 46050, 1e-2);
      c->Paint();
    }
    EXPECT_TRUE(SamePixels(charts[0]->Surface(), charts[1]->Surface())) << ratio;
    charts[0]->Arrow(46000, 1e-5, 46080, 1e-1, 12);
    charts[1]->Arrow(46000, 1e-5, 46080, 1e-1, 12);
    charts[0]->Ellipse(46040, 1e-3, 9, 0.5);
    charts[1]->Ellipse(46040, 1e-3, 9, 0.5);
    charts[0]->Paint();
    charts[1]->Paint();
    EXPECT_FALSE(SamePixels(charts[0]->Surface(), charts[1]->Surface())) << ratio;
  }
}

// A theme is property values: the stored form carries it to a fresh chart,
// each value can be changed afterwards, and the classic theme goes back to
// the creation values.
TEST(Themes, AreStoredPropertyValues) {
  auto dark = MakeReport(TKelvoTheme::ktDark);
  dark->SetAntiAliased(true);
  dark->SetSvgPixelSnap(false);
  auto copy = std::make_unique<TKelvo>();
  copy->SetBounds(0, 0, 520, 340);
  copy->CreateWnd();
  ReadForm(*copy, WriteForm(*dark), "theme", "Kelvo");
  EXPECT_EQ(WriteForm(*copy).dump(), WriteForm(*dark).dump());
  EXPECT_EQ(copy->SeriesPalette(), dark->SeriesPalette());
  EXPECT_TRUE(copy->AntiAliased());
  EXPECT_FALSE(copy->SvgPixelSnap());
  dark->SetChartColor(clNavy);
  EXPECT_EQ(dark->ChartColor(), clNavy);

  TKelvo fresh;
  const std::string creation = WriteForm(fresh).dump();
  fresh.ApplyTheme(TKelvoTheme::ktLight);
  EXPECT_NE(WriteForm(fresh).dump(), creation);
  fresh.ApplyTheme(TKelvoTheme::ktClassic);
  EXPECT_EQ(WriteForm(fresh).dump(), creation);
}

// The system theme follows the window services' window colour.
TEST(Themes, SystemFollowsTheWindowColour) {
  struct TDarkDesktop : THeadlessWindowServices {
    TColor SysColor(int Index) const override {
      return Index == (clWindow & 0xFF) ? ColorFromRGB(20, 20, 24)
                                        : THeadlessWindowServices::SysColor(Index);
    }
  } darkDesktop;
  TKelvo light, system, dark;
  light.ApplyTheme(TKelvoTheme::ktLight);
  system.ApplyTheme(TKelvoTheme::ktSystem);  // the headless window colour is white
  EXPECT_EQ(WriteForm(system).dump(), WriteForm(light).dump());
  InstallWindowServices(&darkDesktop);
  system.ApplyTheme(TKelvoTheme::ktSystem);
  InstallWindowServices(nullptr);
  dark.ApplyTheme(TKelvoTheme::ktDark);
  EXPECT_EQ(WriteForm(system).dump(), WriteForm(dark).dump());
}

TEST(Themes, NewSeriesTakeThePalettesColours) {
  TKelvo c;
  EXPECT_EQ(c.AddSeries().Color(), clBlack);  // no palette at creation
  c.ClearSeries();
  c.SetSeriesPalette({clRed, clLime, clBlue});
  const TColor expected[] = {clRed, clLime, clBlue};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(c.AddSeries().Color(), expected[k % 3]);
  c.Series(1).SetColor(clPurple);  // a colour of its own stays
  EXPECT_EQ(c.Series(1).Color(), clPurple);
  EXPECT_EQ(c.SeriesPaletteText(), "$000000FF,$0000FF00,$00FF0000");
  c.SetSeriesPaletteText("$00112233,$00445566");
  EXPECT_EQ(c.SeriesPalette(), (std::vector<TColor>{0x112233, 0x445566}));
  for (const char* bad : {"red", "$00112233,", "$0011223", "$00112233;$00445566", ",", "$0011223G"})
    EXPECT_THROW(c.SetSeriesPaletteText(bad), EVexaKelvoError) << bad;
  EXPECT_EQ(c.SeriesPalette().size(), 2u);  // a refused text changes nothing
  c.SetSeriesPaletteText("");
  EXPECT_TRUE(c.SeriesPalette().empty());
}

// The turned caption of a vertical axis stays inside the chart and off its
// labels, whatever the chart's size, margins, side and caption.
TEST(CaptionRotated, StaysInsideTheControlAndOffTheLabels) {
  uint32_t seed = 3;
  auto next = [&](int n) {
    return static_cast<int>((seed = seed * 1103515245u + 12345u) >> 8) % n;
  };
  for (int trial = 0; trial < 60; ++trial) {
    TKelvo c;
    c.SetBounds(0, 0, 200 + next(400), 150 + next(300));
    c.CreateWnd();
    c.SetMarginLeft(next(120));
    c.SetMarginRight(next(120));
    TScalePropsVert& y = c.Scale1Y();
    y.SetCaptionRotated(true);
    y.SetCaption(std::string(1 + next(30), 'W'));
    if (next(2)) y.SetScaleLocation(TScaleLocationVert::slRight);
    y.SetRangeLow(-next(100000));
    y.SetRangeHigh(1 + next(1000000));
    kelvo::test::TTextBoxes texts;
    {
      TCanvasRecorder::TScope scope(texts);
      c.Paint();
    }
    std::vector<TRect> turned, labels;
    for (const auto& b : texts.Boxes) (b.Orientation == 900 ? turned : labels).push_back(b.R);
    ASSERT_EQ(turned.size(), 1u) << trial;
    const TRect t = turned[0];
    EXPECT_GE(t.Left, 0) << trial;
    EXPECT_LE(t.Right, c.Width()) << trial;
    if (t.Bottom - t.Top <= c.Height()) {
      EXPECT_GE(t.Top, 0) << trial;
      EXPECT_LE(t.Bottom, c.Height()) << trial;
    }
    // Off the labels where there is room for it beside them.
    const bool room =
        y.ScaleLocation() == TScaleLocationVert::slLeft ? t.Left > 0 : t.Right < c.Width();
    if (room) {
      for (const TRect& l : labels) {
        EXPECT_FALSE(l.Left < t.Right && t.Left < l.Right && l.Top < t.Bottom && t.Top < l.Bottom)
            << trial;
      }
    }
  }
}

}  // namespace
