// Charts for rendering tests.
#pragma once

#include <memory>

#include "kelvo/chart/Vexa_kelvo.h"

namespace kelvo::test {

// A live chart of the given size whose layer 1 maps 0..10 on both axes.
inline std::unique_ptr<vexa::TKelvo> PlainChart(int w = 240, int h = 180) {
  auto c = std::make_unique<vexa::TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeHigh(10);
  c->CreateWnd();
  return c;
}

}  // namespace kelvo::test
