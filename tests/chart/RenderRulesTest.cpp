// Rendering rules checked one by one: the polyline split, every grid
// style, the background areas and image fill modes, text label modes, and
// a bad logarithmic range stopping the paint.
#include <gtest/gtest.h>

#include <filesystem>

#include "kelvo/chart/Vexa_kelvo.h"
#include "support/ChartFixtures.h"
#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

constexpr kelvo::test::TTolerance kText{40, 60};

using kelvo::test::PlainChart;

// Every Polyline starts its dot pattern afresh: on a dotted run of one
// point per pixel, the pattern restarts where a new polyline begins.
TEST(RenderRules, FourHundredFiftyLineToItemsArePolylinesOf200200And53Points) {
  auto c = PlainChart(50 + 20 + 600, 200);  // data area 601 pixels wide
  c->Scale1X().SetRangeHigh(600);
  c->SetPenStyle(TPenStyle::psDot);
  c->MoveTo(0, 5);
  for (int i = 1; i <= 450; ++i) c->DrawTo(i, 5);
  c->Paint();
  TCanvas& d = c->DataBitmap().Canvas();
  int32_t px, py;
  c->WorldToPixel(1, 0, 5, px, py);
  const int32_t row = py - c->MarginTop();
  // Polylines start at points 0, 199 and 398 (each starts at the last point of the one before).
  auto on = [&](int x) {
    const int start = x < 199 ? 0 : (x < 398 ? 199 : 398);
    return (x - start) % 6 < 3;
  };
  for (int x = 0; x < 450; ++x) ASSERT_EQ(d.Pixels(x, row) == clBlack, on(x)) << x;
  EXPECT_NE(d.Pixels(450, row), clBlack);  // the last point is not drawn
}

TEST(RenderRules, ALineWidthChangeSplitsThePolyline) {
  auto c = PlainChart(50 + 20 + 200, 200);
  c->Scale1X().SetRangeHigh(200);
  c->SetPenStyle(TPenStyle::psDot);
  c->MoveTo(0, 5);
  for (int i = 1; i <= 10; ++i) c->DrawTo(i, 5);
  c->SetLineWidth(1);  // same width: no split
  for (int i = 11; i <= 20; ++i) c->DrawTo(i, 5);
  c->Paint();
  TCanvas& d = c->DataBitmap().Canvas();
  int32_t px, py;
  c->WorldToPixel(1, 0, 5, px, py);
  for (int x = 0; x < 20; ++x)
    EXPECT_EQ(d.Pixels(x, py - c->MarginTop()) == clBlack, x % 6 < 3) << x;
}

TEST(RenderRules, EveryGridStyle) {
  const GridStyleType styles[] = {GridStyleType::gsPoints,        GridStyleType::gsVertLines,
                                  GridStyleType::gsHorizLines,    GridStyleType::gsLines,
                                  GridStyleType::gsHorizDotLines, GridStyleType::gsVertDotLines,
                                  GridStyleType::gsDotLines};
  const char* names[] = {"points", "vert", "horiz", "lines", "horiz-dot", "vert-dot", "dot-lines"};
  for (size_t i = 0; i < std::size(styles); ++i) {
    auto c = PlainChart(200, 150);
    c->SetGridStyle(styles[i]);
    c->SetGridColor(clRed);
    c->SetGridDx(i % 2 ? 0 : 2.5);  // at the ticks, or a fixed step
    c->SetGridDy(i % 2 ? 0 : 2);
    c->Paint();
    EXPECT_GOLDEN(c->Surface(), std::string("grid/style-") + names[i], kText);
    EXPECT_EQ(c->DataBitmap().Canvas().Pen().Style(), TPenStyle::psSolid);
  }
}

TEST(RenderRules, GridPointsStopAtAThousand) {
  auto c = PlainChart(400, 300);
  // Positions 0..49 on both axes, all inside the frame drawn around the area.
  c->Scale1X().SetRangeHigh(49.5);
  c->Scale1X().SetRangeLow(-0.5);
  c->Scale1Y().SetRangeHigh(49.5);
  c->Scale1Y().SetRangeLow(-0.5);
  c->SetGridStyle(GridStyleType::gsPoints);
  c->SetGridColor(clRed);
  c->SetGridDx(1);
  c->SetGridDy(1);
  c->Paint();
  // 50 x 50 positions, but only the first 1000 points: 20 full columns.
  EXPECT_EQ(kelvo::test::CountColor(c->DataBitmap(), clRed), 1000);
}

TEST(RenderRules, AllBackgroundAreaModes) {
  for (int mode = 0; mode <= 10; ++mode) {
    auto c = PlainChart(160, 120);
    c->Scale1X().SetRangeLow(-2);
    c->Scale1X().SetRangeHigh(2);
    c->Scale1Y().SetRangeLow(-2);
    c->Scale1Y().SetRangeHigh(2);
    c->BackGroundImg().SetAreaMode(static_cast<TBGAreaMode>(mode));
    c->BackGroundImg().SetAreaColor(clYellow);
    c->Paint();
    EXPECT_GOLDEN(c->DataBitmap(), std::string("background/area-") + TBGAreaModeNames[mode]);
  }
}

TEST(RenderRules, ImageFillModes) {
  // A 30 x 20 picture with a diagonal, written by the test.
  TBitmap img(30, 20);
  img.Canvas().Brush().SetColor(clNavy);
  img.Canvas().FillRect(Rect(0, 0, 30, 20));
  img.Canvas().Pen().SetColor(clYellow);
  img.Canvas().MoveTo(0, 0);
  img.Canvas().LineTo(30, 20);
  const std::string path =
      (std::filesystem::temp_directory_path() / "kelvo-background.bmp").string();
  img.SaveToFile(path);
  for (TBkgFill fill : {TBkgFill::bfSimple, TBkgFill::bfStretch, TBkgFill::bfTile}) {
    auto c = PlainChart(160, 120);
    c->BackGroundImg().SetIncludePath(true);
    c->BackGroundImg().SetName(path);
    c->BackGroundImg().SetFillMode(fill);
    c->Paint();
    EXPECT_EQ(c->BackGroundImg().Name(), path);
    EXPECT_GOLDEN(c->DataBitmap(),
                  std::string("background/image-") + TBkgFillNames[static_cast<int>(fill)]);
  }
  std::filesystem::remove(path);
}

TEST(RenderRules, TextLabelModesAndAlignments) {
  auto c = PlainChart(360, 260);
  const TTxtLblMode modes[] = {TTxtLblMode::tlsimple, TTxtLblMode::tlBox, TTxtLblMode::tlUnderline,
                               TTxtLblMode::tlShadow};
  const TAlignment aligns[] = {TAlignment::taLeftJustify, TAlignment::taCenter,
                               TAlignment::taRightJustify};
  int n = 1;
  for (int m = 0; m < 4; ++m)
    for (int a = 0; a < 3; ++a) {
      TTextLabel& l = c->TextLabels(n++);
      l.SetCaption(a == 1 ? "one\ntwo lines" : "Label");
      l.SetMode(modes[m]);
      l.SetAlignment(aligns[a]);
      l.SetVerticalAlignment(static_cast<TVerticalAlignment>(a));
      l.SetColorBkg(m == 3 ? clYellow : clWhite);
      l.SetTransparent(m == 0 && a == 2);
      l.SetPosX(1.5 + a * 3.5);
      l.SetPosY(1.5 + m * 2.4);
      l.SetVisible(true);
    }
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "labels/modes-and-alignments", kText);
}

TEST(RenderRules, ABadLogarithmicRangeStopsThePaintBeforeTheWindow) {
  auto c = PlainChart();
  c->Paint();
  TBitmap before;
  before.Assign(&c->Surface());
  c->Scale3Y().SetLoading(true);
  c->Scale3Y().StoreRangeLow(-1);
  // Taken (a chart built in code accepts settings in any order); the change
  // leaves the picture as it was, and every paint reports the range.
  EXPECT_NO_THROW(c->Scale3Y().SetLogarithmic(true));
  EXPECT_FALSE(c->MappingValid());
  EXPECT_FALSE(c->PaintLock());
  EXPECT_THROW(c->Paint(), EVexaKelvoError);
  EXPECT_TRUE(kelvo::test::SamePixels(before, c->Surface()));
}

// Margins far below zero ask for a data area larger than any picture: the
// chart still paints (its frame) without raising, and paints the same
// picture as a fresh chart once the margins are sane again.
TEST(RenderRules, ADataAreaBeyondThePictureCapPaintsNothingAndRecovers) {
  auto c = PlainChart();
  c->Rectangle(2, 2, 6, 6);
  EXPECT_NO_THROW(c->SetMarginLeft(-40000));
  EXPECT_NO_THROW(c->SetMarginTop(-40000));
  EXPECT_NO_THROW(c->Paint());
  EXPECT_NO_THROW(c->ShowGraph());
  EXPECT_TRUE(c->DataBitmap().Empty());
  c->SetMarginLeft(50);
  c->SetMarginTop(20);
  auto fresh = PlainChart();
  fresh->Rectangle(2, 2, 6, 6);
  fresh->Paint();
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(fresh->Surface(), c->Surface()));
  // A minimum-size rule asking for more than the cap shortens the control.
  EXPECT_NO_THROW(c->SetBounds(0, 0, 32768, 100));
  EXPECT_NO_THROW(c->SetMarginTop(2147483000));
  EXPECT_NO_THROW(c->SetBounds(0, 0, 32768, 100));
  EXPECT_LE(uint64_t(c->Width()) * uint64_t(c->Height()) * 4, MaxBitmapBytes);
  EXPECT_NO_THROW(c->Paint());
}

}  // namespace
