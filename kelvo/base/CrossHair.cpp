#include "kelvo/base/CrossHair.h"

#include <algorithm>

#include "kelvo/platform/Streaming.h"

namespace vexa {

void TCrossHair::SetPosX(double Value) {
  FPosX = Value;
  Changed();
}
void TCrossHair::SetPosY(double Value) {
  FPosY = Value;
  Changed();
}
void TCrossHair::SetColor(TColor Value) {
  FColor = Value;
  Changed();
}
void TCrossHair::SetMode(TCrossHMode Value) {
  FMode = Value;
  Changed();
}
void TCrossHair::SetLineType(TPenStyle Value) {
  FLineType = Value;
  Changed();
}
void TCrossHair::SetLineWid(int32_t Value) {
  FLineWid = Value;
  Changed();
}
void TCrossHair::SetLayer(int32_t Value) {
  FLayer = std::clamp(Value, 1, 16);
  Changed();
}

void TCrossHair::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TCrossHair*>(Source)) {
    if (s == this) return;
    FPosX = s->FPosX;
    FPosY = s->FPosY;
    FColor = s->FColor;
    FMode = s->FMode;
    FLineType = s->FLineType;
    FLineWid = s->FLineWid;
    FLayer = s->FLayer;
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TCrossHair::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TCrossHair*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

const TPropertyTable* TCrossHair::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    TPublish<TCrossHair>(t)
        .Double("PosX", &TCrossHair::PosX, &TCrossHair::SetPosX)
        .Double("PosY", &TCrossHair::PosY, &TCrossHair::SetPosY)
        .Color("Color", &TCrossHair::Color, &TCrossHair::SetColor)
        .Int("Layer", &TCrossHair::Layer, &TCrossHair::SetLayer)
        .Enum<TCrossHMode>("Mode", &TCrossHair::Mode, &TCrossHair::SetMode, TCrossHModeNames)
        .Enum<TPenStyle>("LineType", &TCrossHair::LineType, &TCrossHair::SetLineType, PenStyleNames)
        .Int("LineWid", &TCrossHair::LineWid, &TCrossHair::SetLineWid);
    return t;
  }();
  return &table;
}

}  // namespace vexa
