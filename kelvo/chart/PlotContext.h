// What a plottable draws with (TPlottable::Draw): the data bitmap's canvas
// and the renderer's cached drawing state, the chart (its mapping onto the
// bitmap's device pixels, visibility and ranges) and the display-list item
// drawer, through which a plottable draws its equivalent items. Private to
// the chart's renderers and the plottables' drawing code.
#pragma once

#include <functional>
#include <string>

#include "kelvo/chart/DisplayList.h"
#include "kelvo/chart/RenderState.h"

namespace vexa {

class TCustomKelvo;

struct TPlotContext {
  TCanvas& Canvas;
  render::TRenderState& State;
  const TCustomKelvo& Chart;
  // The device pixel of the bitmap's pixel (0, 0): the data area's corner.
  int32_t Left = 0, Top = 0;
  // Draws one item as the display-list renderer does, in its state.
  const std::function<void(const TDrawItem&)>& DrawItem;
  // Tells the item drawer that marks were drawn past it (its repeated-mark
  // test must not skip the next one).
  const std::function<void()>& ForgetLastMark;
  // The renderer's shortcuts are on (they leave the picture as it is).
  bool Shortcuts = true;
  // Pixels may be written straight into the bitmap: shortcuts on, no
  // recording (SVG) and a device ratio of 1.
  bool DirectPixels = true;
  // Why a plottable drew nothing (its settings name what the chart does
  // not hold): the paint draws the rest, then raises EVexaKelvoError with it.
  std::string Problem = {};
};

}  // namespace vexa
