#include "kelvo/chart/Legend.h"

#include <algorithm>

#include "kelvo/platform/Streaming.h"

namespace vexa {

TLegend::TLegend() {
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TLegend::SetVisible(bool Value) {
  FSettings.Visible = Value;
  Changed();
}
void TLegend::SetPosition(TLegendPos Value) {
  FSettings.Position = Value <= TLegendPos::lpOutsideBottom ? Value : TLegendPos::lpTopRight;
  Changed();
}
void TLegend::SetOffsetX(int32_t Value) {
  FSettings.OffsetX = std::clamp(Value, -100000, 100000);
  Changed();
}
void TLegend::SetOffsetY(int32_t Value) {
  FSettings.OffsetY = std::clamp(Value, -100000, 100000);
  Changed();
}
void TLegend::SetColumns(int32_t Value) {
  FSettings.Columns = std::clamp(Value, 0, 1000);
  Changed();
}
void TLegend::SetColor(TColor Value) {
  FSettings.Color = Value;
  Changed();
}
void TLegend::SetTransparent(bool Value) {
  FSettings.Transparent = Value;
  Changed();
}
void TLegend::SetFrameColor(TColor Value) {
  FSettings.FrameColor = Value;
  Changed();
}
void TLegend::SetFrame(bool Value) {
  FSettings.Frame = Value;
  Changed();
}
void TLegend::SetPadding(int32_t Value) {
  FSettings.Padding = std::clamp(Value, 0, 100);
  Changed();
}
void TLegend::SetIconWidth(int32_t Value) {
  FSettings.IconWidth = std::clamp(Value, 0, 200);
  Changed();
}
void TLegend::SetDraggable(bool Value) {
  FSettings.Draggable = Value;
  Changed();
}
void TLegend::SetClickHides(bool Value) {
  FSettings.ClickHides = Value;
  Changed();
}

void TLegend::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TLegend*>(Source)) {
    if (s == this) return;
    FSettings = s->FSettings;
    TNotifyEvent fontWiring = FFont.OnChange;  // the font keeps telling this legend
    FFont.Assign(&s->FFont);
    FFont.OnChange = std::move(fontWiring);
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TLegend::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TLegend*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

const TPropertyTable* TLegend::Properties() const {
  static const TPropertyTable table = [] {
    using L = TLegend;
    TPropertyTable t;
    TPublish<L>(t)
        .Bool("Visible", &L::Visible, &L::SetVisible, false)
        .Enum<TLegendPos>("Position", &L::Position, &L::SetPosition, TLegendPosNames,
                          TLegendPos::lpTopRight)
        .Int(
            "OffsetX", &L::OffsetX, [](L& l, int64_t v) { l.SetOffsetX(int32_t(v)); }, 0, -100000,
            100000)
        .Int(
            "OffsetY", &L::OffsetY, [](L& l, int64_t v) { l.SetOffsetY(int32_t(v)); }, 0, -100000,
            100000)
        .Int(
            "Columns", &L::Columns, [](L& l, int64_t v) { l.SetColumns(int32_t(v)); }, 1, 0, 1000)
        .Object<TFont>(
            "Font", [](L& l) -> TFont& { return l.Font(); },
            [](const L& l) { return l.Font().SameAs(TFont()); })
        .Color("Color", &L::Color, &L::SetColor, clWindow)
        .Bool("Transparent", &L::Transparent, &L::SetTransparent, false)
        .Color("FrameColor", &L::FrameColor, &L::SetFrameColor, clBlack)
        .Bool("Frame", &L::Frame, &L::SetFrame, true)
        .Int(
            "Padding", &L::Padding, [](L& l, int64_t v) { l.SetPadding(int32_t(v)); }, 4, 0, 100)
        .Int(
            "IconWidth", &L::IconWidth, [](L& l, int64_t v) { l.SetIconWidth(int32_t(v)); }, 24, 0,
            200)
        .Bool("Draggable", &L::Draggable, &L::SetDraggable, true)
        .Bool("ClickHides", &L::ClickHides, &L::SetClickHides, true);
    return t;
  }();
  return &table;
}

}  // namespace vexa
