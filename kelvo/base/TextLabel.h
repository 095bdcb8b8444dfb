// TCustomTextLabel: a caption placed at a position given in world units,
// pixels or mixed. The chart's TTextLabel publishes it.
#pragma once

#include <string>

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Graphics.h"

namespace vexa {

// A new label is visible, mode tlsimple, at (100, 10) in pixels. Every
// setter stores and fires OnChange.
class TCustomTextLabel : public TPersistent {
 public:
  double PosX() const { return FPosX; }  // 100
  void SetPosX(double Value);
  double PosY() const { return FPosY; }  // 10
  void SetPosY(double Value);
  int32_t Layer() const { return FLayer; }  // 1
  // A layer outside 1..16 is ignored, without notification.
  void SetLayer(int32_t Value);
  int32_t ShadowDx() const { return FShadowDx; }
  void SetShadowDx(int32_t Value);
  int32_t ShadowDy() const { return FShadowDy; }
  void SetShadowDy(int32_t Value);
  TColor ColorShadow() const { return FColorShadow; }  // 0x808080
  void SetColorShadow(TColor Value);
  TAlignment Alignment() const { return FAlignment; }  // taCenter
  void SetAlignment(TAlignment Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }  // vaBottom
  void SetVerticalAlignment(TVerticalAlignment Value);
  TTxtLblAttachMode AttachToData() const { return FAttachToData; }  // tlamNone
  void SetAttachToData(TTxtLblAttachMode Value);
  TColor ColorBkg() const { return FColorBkg; }  // 0xC0C0C0
  void SetColorBkg(TColor Value);
  TColor ColorBorder() const { return FColorBorder; }  // 0
  void SetColorBorder(TColor Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The label owns its font; setting copies the given font's settings in.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);
  const std::string& Caption() const { return FCaption; }
  // Characters below 32 other than line feed become spaces: captions may
  // break lines but hold no other control characters.
  void SetCaption(const std::string& Value);
  TTxtLblMode Mode() const { return FMode; }  // tlsimple
  void SetMode(TTxtLblMode Value);
  bool Visible() const { return FVisible; }  // True
  void SetVisible(bool Value);

  TNotifyEvent OnChange;

  // Copies every setting, the font's contents and OnChange; notifies nobody.
  void Assign(const TPersistent* Source) override;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  double FPosX = 100, FPosY = 10;
  int32_t FLayer = 1;
  int32_t FShadowDx = 0, FShadowDy = 0;
  TColor FColorShadow = 0x808080;
  TAlignment FAlignment = TAlignment::taCenter;
  TVerticalAlignment FVerticalAlignment = TVerticalAlignment::vaBottom;
  TTxtLblAttachMode FAttachToData = TTxtLblAttachMode::tlamNone;
  TColor FColorBkg = 0xC0C0C0;
  TColor FColorBorder = 0;
  bool FTransparent = false;
  TFont FFont;
  std::string FCaption;
  TTxtLblMode FMode = TTxtLblMode::tlsimple;
  bool FVisible = true;
};

}  // namespace vexa
