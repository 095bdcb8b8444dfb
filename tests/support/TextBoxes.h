// A recorder of the texts a paint writes, each with its box as drawn
// (turned texts' boxes turned) and its font's orientation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kelvo/platform/Canvas.h"
#include "kelvo/platform/FontEngine.h"

namespace kelvo::test {

struct TTextBoxes : vexa::TCanvasRecorder {
  struct TBox {
    std::string Text;
    vexa::TRect R;
    int Orientation = 0;
  };
  std::vector<TBox> Boxes;

  void RecordText(const vexa::TCanvas& C, int32_t X, int32_t Y, std::string_view Text,
                  vexa::TFontFace& Face) override {
    const int32_t w = Face.TextWidth(Text), h = Face.CellHeight();
    const int o = C.Font().Orientation();
    const vexa::TRect r = o == 900    ? vexa::Rect(X, Y - w + 1, X + h, Y + 1)
                          : o == 2700 ? vexa::Rect(X - h + 1, Y, X + 1, Y + w)
                                      : vexa::Rect(X, Y, X + w, Y + h);
    Boxes.push_back({std::string(Text), r, o});
  }
  void RecordLine(const vexa::TCanvas&, vexa::TPoint, vexa::TPoint, uint32_t) override {}
  void RecordPolyline(const vexa::TCanvas&, std::span<const vexa::TPoint>) override {}
  void RecordPolygon(const vexa::TCanvas&, std::span<const vexa::TPoint>) override {}
  void RecordRectangle(const vexa::TCanvas&, const vexa::TRect&) override {}
  void RecordFillRect(const vexa::TCanvas&, const vexa::TRect&) override {}
  void RecordEllipse(const vexa::TCanvas&, const vexa::TRect&) override {}
  void RecordPixel(const vexa::TCanvas&, int32_t, int32_t, vexa::TColor) override {}
  void RecordDraw(const vexa::TCanvas&, int32_t, int32_t, const vexa::TBitmap&) override {}
  void RecordStretchDraw(const vexa::TCanvas&, const vexa::TRect&, const vexa::TBitmap&) override {}
};

}  // namespace kelvo::test
