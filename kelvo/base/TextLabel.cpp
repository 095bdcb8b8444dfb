#include "kelvo/base/TextLabel.h"

namespace vexa {

void TCustomTextLabel::SetPosX(double Value) {
  FPosX = Value;
  Changed();
}
void TCustomTextLabel::SetPosY(double Value) {
  FPosY = Value;
  Changed();
}
void TCustomTextLabel::SetLayer(int32_t Value) {
  if (Value < 1 || Value > 16) return;
  FLayer = Value;
  Changed();
}
void TCustomTextLabel::SetShadowDx(int32_t Value) {
  FShadowDx = Value;
  Changed();
}
void TCustomTextLabel::SetShadowDy(int32_t Value) {
  FShadowDy = Value;
  Changed();
}
void TCustomTextLabel::SetColorShadow(TColor Value) {
  FColorShadow = Value;
  Changed();
}
void TCustomTextLabel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed();
}
void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment Value) {
  FVerticalAlignment = Value;
  Changed();
}
void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode Value) {
  FAttachToData = Value;
  Changed();
}
void TCustomTextLabel::SetColorBkg(TColor Value) {
  FColorBkg = Value;
  Changed();
}
void TCustomTextLabel::SetColorBorder(TColor Value) {
  FColorBorder = Value;
  Changed();
}
void TCustomTextLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  Changed();
}
void TCustomTextLabel::SetFont(const TFont& Value) {
  FFont.Assign(&Value);
  Changed();
}
void TCustomTextLabel::SetCaption(const std::string& Value) {
  FCaption = Value;
  for (char& c : FCaption)
    if (static_cast<unsigned char>(c) < 32 && c != '\n') c = ' ';
  Changed();
}
void TCustomTextLabel::SetMode(TTxtLblMode Value) {
  FMode = Value;
  Changed();
}
void TCustomTextLabel::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}

void TCustomTextLabel::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TCustomTextLabel*>(Source)) {
    if (s == this) return;
    FPosX = s->FPosX;
    FPosY = s->FPosY;
    FLayer = s->FLayer;
    FShadowDx = s->FShadowDx;
    FShadowDy = s->FShadowDy;
    FColorShadow = s->FColorShadow;
    FAlignment = s->FAlignment;
    FVerticalAlignment = s->FVerticalAlignment;
    FAttachToData = s->FAttachToData;
    FColorBkg = s->FColorBkg;
    FColorBorder = s->FColorBorder;
    FTransparent = s->FTransparent;
    FFont.Assign(&s->FFont);
    FCaption = s->FCaption;
    FMode = s->FMode;
    FVisible = s->FVisible;
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TCustomTextLabel::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TCustomTextLabel*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

}  // namespace vexa
