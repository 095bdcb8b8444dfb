#include "kelvo/chart/TextLabel.h"

#include "kelvo/platform/Streaming.h"

namespace vexa {

const TPropertyTable* TTextLabel::Properties() const {
  static const TPropertyTable table = [] {
    using L = TTextLabel;
    TPropertyTable t;
    TPublish<L>(t)
        .Double("PosX", &L::PosX, &L::SetPosX)
        .Double("PosY", &L::PosY, &L::SetPosY)
        .Int("Layer", &L::Layer, &L::SetLayer)
        .Enum<TTxtLblAttachMode>("AttachToData", &L::AttachToData, &L::SetAttachToData,
                                 TTxtLblAttachModeNames)
        .Color("ColorBkg", &L::ColorBkg, &L::SetColorBkg)
        .Color("ColorBorder", &L::ColorBorder, &L::SetColorBorder)
        .Color("ColorShadow", &L::ColorShadow, &L::SetColorShadow)
        .Int("ShadowDx", &L::ShadowDx, &L::SetShadowDx)
        .Int("ShadowDy", &L::ShadowDy, &L::SetShadowDy)
        .Bool("Transparent", &L::Transparent, &L::SetTransparent)
        .Enum<TAlignment>("Alignment", &L::Alignment, &L::SetAlignment, AlignmentNames)
        .Enum<TVerticalAlignment>("VerticalAlignment", &L::VerticalAlignment,
                                  &L::SetVerticalAlignment, TVerticalAlignmentNames)
        .Object<TFont>("Font", [](L& l) -> TFont& { return l.Font(); })
        .Enum<TTxtLblMode>("Mode", &L::Mode, &L::SetMode, TTxtLblModeNames)
        .String("Caption", &L::Caption, &L::SetCaption)
        .Bool("Visible", &L::Visible, &L::SetVisible);
    return t;
  }();
  return &table;
}

}  // namespace vexa
