// Themes: a modern light or dark look as a set of ordinary property values,
// and the series palette new series take their colours from.
#include <cstdio>

#include "kelvo/base/Errors.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/WindowServices.h"

namespace vexa {

namespace {

struct TThemeColors {
  TColor Surround, Area, Frame, Grid, Ink, LegendArea, LegendFrame, CrossHair;
};

constexpr TThemeColors kLight{ColorFromRGB(255, 255, 255), ColorFromRGB(255, 255, 255),
                              ColorFromRGB(176, 176, 176), ColorFromRGB(230, 230, 230),
                              ColorFromRGB(51, 51, 51),    ColorFromRGB(255, 255, 255),
                              ColorFromRGB(204, 204, 204), ColorFromRGB(96, 96, 96)};
constexpr TThemeColors kDark{ColorFromRGB(30, 30, 30),    ColorFromRGB(38, 38, 38),
                             ColorFromRGB(90, 90, 90),    ColorFromRGB(58, 58, 58),
                             ColorFromRGB(221, 221, 221), ColorFromRGB(46, 46, 46),
                             ColorFromRGB(90, 90, 90),    ColorFromRGB(187, 187, 187)};

// Ten colours readers with any common colour-vision deficiency tell apart
// (Okabe and Ito's eight, the last of them the theme's ink, then grey and
// wine).
std::vector<TColor> Palette(TColor Ink) {
  return {ColorFromRGB(0, 114, 178),   ColorFromRGB(230, 159, 0),
          ColorFromRGB(0, 158, 115),   ColorFromRGB(213, 94, 0),
          ColorFromRGB(86, 180, 233),  ColorFromRGB(204, 121, 167),
          ColorFromRGB(240, 228, 66),  Ink,
          ColorFromRGB(153, 153, 153), ColorFromRGB(136, 34, 85)};
}

// A readable sans face (Arial, or its metric twin where Arial is not
// installed) at Size points in Color.
void SansFont(TFont& F, int Size, TColor Color) {
  F.SetName("Arial");
  F.SetSize(Size);
  F.SetStyle({});
  F.SetColor(Color);
}

}  // namespace

void TCustomKelvo::ApplyTheme(TKelvoTheme Theme) {
  if (Theme == TKelvoTheme::ktSystem) {
    const TColor w = ColorToRGB(clWindow);
    const int luminance =
        (299 * (w & 0xFF) + 587 * ((w >> 8) & 0xFF) + 114 * ((w >> 16) & 0xFF)) / 1000;
    Theme = luminance < 128 ? TKelvoTheme::ktDark : TKelvoTheme::ktLight;
  }
  {
    TPaintLockScope lock(*this);  // one paint for the whole theme
    const TFont creation;
    if (Theme == TKelvoTheme::ktClassic) {
      SetWindColor(clBtnFace);
      SetChartColor(clWhite);
      SetChartFrameColor(clBlack);
      SetGridColor(clBlack);
      SetGridStyle(GridStyleType::gsNone);
      SetShadowWidth(0);
      SetDataColor(clBlack);
      Font().Assign(&creation);
      for (int32_t n = 1; n <= LayerCount; ++n)
        for (TScaleProps* p : {static_cast<TScaleProps*>(&ScalePropsX(n)),
                               static_cast<TScaleProps*>(&ScalePropsY(n))}) {
          p->SetColorScale(LayerAxisColors[n]);
          p->Font().Assign(&creation);
          p->SetAvoidLabelOverlap(false);
          p->SetLogLabelStyle(TLogLabelStyle::llsPlain);
          p->SetCaptionRotated(false);
        }
      Legend().SetColor(clWindow);
      Legend().SetFrameColor(clBlack);
      Legend().Font().Assign(&creation);
      for (int32_t i = 1; i <= CrossHairCount; ++i) CrossHair(i).SetColor(clBlack);
      SetSeriesPalette({});
    } else {
      const TThemeColors& k = Theme == TKelvoTheme::ktDark ? kDark : kLight;
      SetWindColor(k.Surround);
      SetChartColor(k.Area);
      SetChartFrameColor(k.Frame);
      SetGridColor(k.Grid);
      SetGridStyle(GridStyleType::gsLines);
      SetShadowWidth(0);
      SetDataColor(k.Ink);
      SansFont(Font(), 10, k.Ink);
      for (int32_t n = 1; n <= LayerCount; ++n)
        for (TScaleProps* p : {static_cast<TScaleProps*>(&ScalePropsX(n)),
                               static_cast<TScaleProps*>(&ScalePropsY(n))}) {
          p->SetColorScale(k.Ink);
          SansFont(p->Font(), 9, k.Ink);
          p->SetAvoidLabelOverlap(true);
          p->SetLogLabelStyle(TLogLabelStyle::llsPower);
          p->SetCaptionRotated(true);
        }
      Legend().SetColor(k.LegendArea);
      Legend().SetFrameColor(k.LegendFrame);
      SansFont(Legend().Font(), 9, k.Ink);
      for (int32_t i = 1; i <= CrossHairCount; ++i) CrossHair(i).SetColor(k.CrossHair);
      SetSeriesPalette(Palette(k.Ink));
    }
  }
  RepaintAfterChange();
}

void TCustomKelvo::SetSeriesPalette(std::vector<TColor> Value) {
  if (Value.size() > 256) Value.resize(256);
  FSettings.SeriesPalette = std::move(Value);
}

std::string TCustomKelvo::SeriesPaletteText() const {
  std::string out;
  char buf[16];
  for (TColor c : FSettings.SeriesPalette) {
    std::snprintf(buf, sizeof buf, "%s$%08X", out.empty() ? "" : ",", static_cast<unsigned>(c));
    out += buf;
  }
  return out;
}

void TCustomKelvo::SetSeriesPaletteText(const std::string& Value) {
  std::vector<TColor> colours;
  size_t start = 0;
  while (start < Value.size()) {
    const size_t comma = std::min(Value.find(',', start), Value.size());
    const std::string item = Value.substr(start, comma - start);
    unsigned c = 0;
    int used = 0;
    if (item.size() != 9 || std::sscanf(item.c_str(), "$%8X%n", &c, &used) != 1 || used != 9 ||
        colours.size() == 256)
      throw EVexaKelvoError("Series palette \"" + Value.substr(0, 200) +
                            "\" is not a list of up to 256 colours such as $00FF8000,$000080FF.");
    colours.push_back(c);
    start = comma + 1;
    if (comma + 1 == Value.size())
      throw EVexaKelvoError("Series palette \"" + Value.substr(0, 200) + "\" ends with a comma.");
  }
  SetSeriesPalette(std::move(colours));
}

}  // namespace vexa
