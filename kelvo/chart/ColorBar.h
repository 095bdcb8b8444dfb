// TColorBar: the settings of the chart's colour scale, a bar of a colour
// map's gradient beside the data area with its values' ticks and labels
// (drawn by the axis tick engine) and a caption (ChartColorBar.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "kelvo/chart/Legend.h"
#include "kelvo/platform/Graphics.h"

namespace vexa {

// Every setter stores and fires OnChange (the chart repaints).
class TColorBar : public TPersistent {
 public:
  TColorBar();

  bool Visible() const { return FSettings.Visible; }  // False
  void SetVisible(bool Value);
  // The colour map it shows (ColorMap(i)); none such: no bar.
  int32_t ColorMapIndex() const { return FSettings.ColorMapIndex; }  // 0; kept >= 0
  void SetColorMapIndex(int32_t Value);
  // One of the four places beside the data area (lpOutsideRight, -Left,
  // -Top, -Bottom); a place inside it is taken as lpOutsideRight. Beside a
  // legend on the same side, the bar stands nearer the data area.
  TLegendPos Position() const { return FSettings.Position; }  // lpOutsideRight
  void SetPosition(TLegendPos Value);
  // The bar's thickness in pixels; kept within 1..200.
  int32_t Width() const { return FSettings.Width; }  // 16
  void SetWidth(int32_t Value);
  const std::string& Caption() const { return FSettings.Caption; }  // "": none
  void SetCaption(const std::string& Value);
  TFont& Font() { return FFont; }  // labels and caption; a change repaints too
  const TFont& Font() const { return FFont; }

  TNotifyEvent OnChange;

  void Assign(const TPersistent* Source) override;
  // Every property with its declared default: a bar left as created writes
  // nothing.
  const TPropertyTable* Properties() const override;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  struct TSettings {
    bool Visible = false;
    int32_t ColorMapIndex = 0;
    TLegendPos Position = TLegendPos::lpOutsideRight;
    int32_t Width = 16;
    std::string Caption;
  } FSettings;
  TFont FFont;
};

}  // namespace vexa
