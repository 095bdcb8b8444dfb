// TTextLabel: the chart's text label, publishing TCustomTextLabel.
#pragma once

#include "kelvo/base/TextLabel.h"

namespace vexa {

class TTextLabel : public TCustomTextLabel {
 public:
  // PosX, PosY, Layer, AttachToData, ColorBkg, ColorBorder, ColorShadow,
  // ShadowDx, ShadowDy, Transparent, Alignment, VerticalAlignment, Font,
  // Mode, Caption, Visible; none with a stored default.
  const TPropertyTable* Properties() const override;
};

}  // namespace vexa
