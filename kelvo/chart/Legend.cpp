#include "kelvo/chart/Legend.h"

#include <algorithm>

#include "kelvo/platform/Streaming.h"

namespace vexa {

TLegend::TLegend() {
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TLegend::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}
void TLegend::SetPosition(TLegendPos Value) {
  FPosition = Value <= TLegendPos::lpOutsideBottom ? Value : TLegendPos::lpTopRight;
  Changed();
}
void TLegend::SetOffsetX(int32_t Value) {
  FOffsetX = std::clamp(Value, -100000, 100000);
  Changed();
}
void TLegend::SetOffsetY(int32_t Value) {
  FOffsetY = std::clamp(Value, -100000, 100000);
  Changed();
}
void TLegend::SetColumns(int32_t Value) {
  FColumns = std::clamp(Value, 0, 1000);
  Changed();
}
void TLegend::SetColor(TColor Value) {
  FColor = Value;
  Changed();
}
void TLegend::SetTransparent(bool Value) {
  FTransparent = Value;
  Changed();
}
void TLegend::SetFrameColor(TColor Value) {
  FFrameColor = Value;
  Changed();
}
void TLegend::SetFrame(bool Value) {
  FFrame = Value;
  Changed();
}
void TLegend::SetPadding(int32_t Value) {
  FPadding = std::clamp(Value, 0, 100);
  Changed();
}
void TLegend::SetIconWidth(int32_t Value) {
  FIconWidth = std::clamp(Value, 0, 200);
  Changed();
}
void TLegend::SetDraggable(bool Value) {
  FDraggable = Value;
  Changed();
}
void TLegend::SetClickHides(bool Value) {
  FClickHides = Value;
  Changed();
}

void TLegend::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TLegend*>(Source)) {
    if (s == this) return;
    FVisible = s->FVisible;
    FPosition = s->FPosition;
    FOffsetX = s->FOffsetX;
    FOffsetY = s->FOffsetY;
    FColumns = s->FColumns;
    TNotifyEvent fontWiring = FFont.OnChange;  // the font keeps telling this legend
    FFont.Assign(&s->FFont);
    FFont.OnChange = std::move(fontWiring);
    FColor = s->FColor;
    FTransparent = s->FTransparent;
    FFrameColor = s->FFrameColor;
    FFrame = s->FFrame;
    FPadding = s->FPadding;
    FIconWidth = s->FIconWidth;
    FDraggable = s->FDraggable;
    FClickHides = s->FClickHides;
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
