#include "kelvo/chart/ColorBar.h"

#include <algorithm>

#include "kelvo/platform/Streaming.h"

namespace vexa {

TColorBar::TColorBar() {
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TColorBar::SetVisible(bool Value) {
  FSettings.Visible = Value;
  Changed();
}
void TColorBar::SetColorMapIndex(int32_t Value) {
  FSettings.ColorMapIndex = std::max(Value, 0);
  Changed();
}
void TColorBar::SetPosition(TLegendPos Value) {
  FSettings.Position = LegendOutside(Value) && Value <= TLegendPos::lpOutsideBottom
                           ? Value
                           : TLegendPos::lpOutsideRight;
  Changed();
}
void TColorBar::SetWidth(int32_t Value) {
  FSettings.Width = std::clamp(Value, 1, 200);
  Changed();
}
void TColorBar::SetCaption(const std::string& Value) {
  FSettings.Caption = Value;
  Changed();
}

void TColorBar::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TColorBar*>(Source)) {
    if (s == this) return;
    FSettings = s->FSettings;
    TNotifyEvent fontWiring = FFont.OnChange;  // the font keeps telling this bar
    FFont.Assign(&s->FFont);
    FFont.OnChange = std::move(fontWiring);
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TColorBar::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TColorBar*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

const TPropertyTable* TColorBar::Properties() const {
  static const TPropertyTable table = [] {
    using B = TColorBar;
    TPropertyTable t;
    TPublish<B>(t)
        .Bool("Visible", &B::Visible, &B::SetVisible, false)
        .Int(
            "ColorMapIndex", &B::ColorMapIndex,
            [](B& b, int64_t v) { b.SetColorMapIndex(int32_t(v)); }, 0, 0, INT32_MAX)
        .Enum<TLegendPos>("Position", &B::Position, &B::SetPosition, TLegendPosNames,
                          TLegendPos::lpOutsideRight)
        .Int(
            "Width", &B::Width, [](B& b, int64_t v) { b.SetWidth(int32_t(v)); }, 16, 1, 200)
        .String("Caption", &B::Caption, &B::SetCaption, std::string())
        .Object<TFont>(
            "Font", [](B& b) -> TFont& { return b.Font(); },
            [](const B& b) { return b.Font().SameAs(TFont()); });
    return t;
  }();
  return &table;
}

}  // namespace vexa
