// Reference pictures of standalone scales: the four types, opaque and
// transparent on a draw target, frame styles, a logarithmic scale and
// caption anchors.
#include <gtest/gtest.h>

#include <string>

#include "kelvo/scale/Scale.h"
#include "support/Golden.h"

using namespace vexa;

namespace {

// Text is anti-aliased: allow small differences at glyph edges.
constexpr kelvo::test::TTolerance kTextTolerance{40, 40};

std::unique_ptr<TScale> Scale(TScaleType type, int w, int h) {
  auto s = std::make_unique<TScale>();
  s->SetBounds(0, 0, w, h);
  s->SetScaleType(type);
  s->CreateWnd();
  s->Loaded();
  return s;
}

std::string TypeName(TScaleType t) {
  switch (t) {
    case TScaleType::sctXB:
      return "xb";
    case TScaleType::sctXT:
      return "xt";
    case TScaleType::sctYL:
      return "yl";
    default:
      return "yr";
  }
}

TEST(ScalePicture, EachTypeOpaque) {
  for (TScaleType t :
       {TScaleType::sctXB, TScaleType::sctXT, TScaleType::sctYL, TScaleType::sctYR}) {
    const bool horizontal = IsHorizontal(t);
    auto s = Scale(t, horizontal ? 260 : 90, horizontal ? 70 : 220);
    s->SetRangeLow(-50);
    s->SetRangeHigh(150);
    s->SetCaption("Net exports");
    s->SetCaptionAnchor(TScaleUnitAnchor::uaSclCenter);
    s->SetCaptionPosX(horizontal ? 0 : (t == TScaleType::sctYL ? 30 : -40));
    s->SetCaptionPosY(horizontal ? (t == TScaleType::sctXB ? 4 : -18) : -100);
    s->Paint();
    EXPECT_GOLDEN(s->Surface(), "scale/type-" + TypeName(t), kTextTolerance);
  }
}

TEST(ScalePicture, TransparentOnADrawTargetWithOffsets) {
  TBitmap target(300, 140);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect(Rect(0, 0, 300, 140));
  auto s = Scale(TScaleType::sctXB, 260, 60);
  // As a chart holds its axes: suspended, painted only when forced.
  s->SetPaintSuspended(true);
  s->SetTransparent(true);
  s->SetChartOwned(true);
  s->SetDrawTarget(&target.Canvas(), 0, 30);
  s->SetRangeLow(1969);
  s->SetRangeHigh(1981);
  s->SetDecPlaces(0);
  s->ForcePaint();
  // The base line lies at 30 + Height - MarginBottom - 1 on the target.
  const int base = 30 + 60 - 20 - 1;
  EXPECT_EQ(target.Canvas().Pixels(100, base), clBlack);
  EXPECT_EQ(target.Canvas().Pixels(100, base + 1), clWhite);
  EXPECT_EQ(target.Canvas().Pixels(5, 5), clWhite);  // transparent: no background
  EXPECT_GOLDEN(target, "scale/transparent-offset-0-30", kTextTolerance);
}

TEST(ScalePicture, FrameStyles) {
  TBitmap sheet(6 * 34, 34);
  sheet.Canvas().Brush().SetColor(clWhite);
  sheet.Canvas().FillRect(Rect(0, 0, sheet.Width(), 34));
  int x = 2;
  for (TFrameStyle f : {TFrameStyle::fsNone, TFrameStyle::fsSimple, TFrameStyle::fsLowered,
                        TFrameStyle::fsRaised, TFrameStyle::fsEmbossed, TFrameStyle::fsEngraved}) {
    auto s = Scale(TScaleType::sctXB, 30, 30);
    s->SetFrameStyle(f);
    s->SetColorBackGnd(clYellow);
    s->SetShowBaseLine(false);
    s->SetLabelType(TFigType::ftNoFigs);
    s->SetShortTicks(false);
    s->SetRangeLow(0);
    s->SetRangeHigh(1e-30);  // ticks so dense they all fall inside... keep the frame clear:
    s->SetMarginLeft(40);    // a span below one pixel maps everything to the middle
    s->Paint();
    sheet.Canvas().Draw(x, 2, s->Surface());
    x += 34;
  }
  EXPECT_GOLDEN(sheet, "scale/frame-styles");
}

TEST(ScalePicture, LogarithmicVertical) {
  auto s = Scale(TScaleType::sctYL, 80, 300);
  s->SetRangeLow(0.01);
  s->SetRangeHigh(10);
  s->SetLogarithmic(true);
  s->SetMinTicks(4);
  s->SetFrameStyle(TFrameStyle::fsSimple);
  s->SetColorBackGnd(clWhite);
  s->Paint();
  EXPECT_GOLDEN(s->Surface(), "scale/log-0.01-10", kTextTolerance);
}

TEST(ScalePicture, CaptionAnchorsAndAlignment) {
  // Vertical: x = base line (79) + CaptionPosX, chosen so each alignment stays in view.
  const struct {
    TScaleUnitAnchor Anchor;
    TAlignment Align;
    const char* Name;
    int VerticalPosX;
  } cases[] = {{TScaleUnitAnchor::uaSclTopLft, TAlignment::taLeftJustify, "toplft-left", -75},
               {TScaleUnitAnchor::uaSclCenter, TAlignment::taCenter, "center-center", -40},
               {TScaleUnitAnchor::uaSclBotRgt, TAlignment::taRightJustify, "botrgt-right", -5}};
  for (const auto& c : cases) {
    for (TScaleType t : {TScaleType::sctXB, TScaleType::sctYR}) {
      const bool horizontal = IsHorizontal(t);
      auto s = Scale(t, horizontal ? 240 : 100, horizontal ? 80 : 200);
      s->SetCaption("Caption");
      s->SetCaptionAnchor(c.Anchor);
      s->SetCaptionAlignment(c.Align);
      s->SetCaptionPosX(horizontal ? 0 : c.VerticalPosX);
      s->SetCaptionPosY(horizontal ? -40 : 0);
      s->SetFrameStyle(TFrameStyle::fsNone);
      s->SetColorBackGnd(clWhite);
      s->Paint();
      EXPECT_GOLDEN(s->Surface(), "scale/caption-" + TypeName(t) + "-" + c.Name, kTextTolerance);
    }
  }
}

TEST(ScalePicture, CaptionCentreOnAVerticalScale) {
  // Height 400, margins 20: the caption's top is CaptionPosY + 20 + 180.
  TBitmap target(100, 400);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect(Rect(0, 0, 100, 400));
  auto s = Scale(TScaleType::sctYL, 100, 400);
  s->SetPaintSuspended(true);
  s->SetTransparent(true);
  s->SetChartOwned(true);
  s->SetDrawTarget(&target.Canvas(), 0, 0);
  s->SetShowBaseLine(false);
  s->SetLabelType(TFigType::ftNoFigs);
  s->SetShortTicks(false);
  s->SetCaption("I");
  s->SetCaptionAnchor(TScaleUnitAnchor::uaSclCenter);
  s->SetCaptionPosX(40);
  s->SetCaptionPosY(5);
  int firstInkRow = -1;
  s->OnAfterScaleRendered = [&](TObject*, TCanvas& c) {
    for (int y = 0; y < 400 && firstInkRow < 0; ++y)
      for (int x = 55; x < 75; ++x)
        if (((c.Pixels(x, y) >> 8) & 0xFF) < 0x80) {
          firstInkRow = y;
          break;
        }
  };
  s->ForcePaint();
  const int top = 5 + 20 + 180;
  EXPECT_GE(firstInkRow, top);
  EXPECT_LE(firstInkRow, top + 4);  // the glyph's ink starts a little below the text's top
}

}  // namespace
