// TCrossHair: a world position of one layer marked by lines.
#pragma once

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Classes.h"

namespace vexa {

// A new crosshair has every field zero; the chart gives its own ones their
// settings. Every setter stores and fires OnChange.
class TCrossHair : public TPersistent {
 public:
  double PosX() const { return FPosX; }
  void SetPosX(double Value);
  double PosY() const { return FPosY; }
  void SetPosY(double Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TCrossHMode Mode() const { return FMode; }
  void SetMode(TCrossHMode Value);
  TPenStyle LineType() const { return FLineType; }
  void SetLineType(TPenStyle Value);
  int32_t LineWid() const { return FLineWid; }
  void SetLineWid(int32_t Value);
  int32_t Layer() const { return FLayer; }
  // Clamped to 1..16.
  void SetLayer(int32_t Value);

  TNotifyEvent OnChange;

  // Copies every setting and OnChange; notifies nobody.
  void Assign(const TPersistent* Source) override;
  const TPropertyTable* Properties() const override;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  double FPosX = 0, FPosY = 0;
  TColor FColor = 0;
  TCrossHMode FMode = TCrossHMode::chOff;
  TPenStyle FLineType = TPenStyle::psSolid;
  int32_t FLineWid = 0;
  int32_t FLayer = 0;
};

}  // namespace vexa
