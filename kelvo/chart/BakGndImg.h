// TBakGndImg: how the chart's data area is painted before the display list:
// an image from a bitmap file, or the chart colour with a coloured band or
// box given in world coordinates.
#pragma once

#include <string>

#include "kelvo/platform/Classes.h"

namespace vexa {

enum class TBkgFill : uint8_t { bfSimple, bfStretch, bfTile };
enum class TBGAreaMode : uint8_t {
  bamNone,
  bamLeft,
  bamRight,
  bamTop,
  bamBottom,
  bamVStripe,
  bamHStripe,
  bamRect,
  bamRectInv,
  bamVStripeInv,
  bamHStripeInv
};
inline constexpr const char* TBkgFillNames[] = {"bfSimple", "bfStretch", "bfTile"};
inline constexpr const char* TBGAreaModeNames[] = {
    "bamNone",    "bamLeft", "bamRight",   "bamTop",        "bamBottom",    "bamVStripe",
    "bamHStripe", "bamRect", "bamRectInv", "bamVStripeInv", "bamHStripeInv"};

// Every setter stores and fires OnChange.
class TBakGndImg : public TPersistent {
 public:
  const std::string& Name() const { return FName; }  // empty: no image
  // Without IncludePath only the file-name part is kept: everything after
  // the last "/", "\" or drive ":".
  void SetName(const std::string& Value);
  bool IncludePath() const { return FIncludePath; }  // False
  // Switching it off cuts the stored name down; switching it on brings
  // nothing back.
  void SetIncludePath(bool Value);
  TBkgFill FillMode() const { return FFillMode; }  // bfStretch
  void SetFillMode(TBkgFill Value);
  TBGAreaMode AreaMode() const { return FAreaMode; }  // bamNone
  void SetAreaMode(TBGAreaMode Value);
  TColor AreaColor() const { return FAreaColor; }  // 0xDDDDDD
  void SetAreaColor(TColor Value);
  double AreaLeft() const { return FAreaLeft; }  // -1
  void SetAreaLeft(double Value);
  double AreaRight() const { return FAreaRight; }  // 1
  void SetAreaRight(double Value);
  double AreaTop() const { return FAreaTop; }  // 1
  void SetAreaTop(double Value);
  double AreaBottom() const { return FAreaBottom; }  // -1
  void SetAreaBottom(double Value);

  TNotifyEvent OnChange;

  // Copies every setting and OnChange; notifies nobody.
  void Assign(const TPersistent* Source) override;
  const TPropertyTable* Properties() const override;

  // Name streams before IncludePath: while a form is read the name is kept
  // whole and cut afterwards only if IncludePath stayed False, so a stored
  // path survives loading.
  void FormReadBegin() override { FReading = true; }
  void FormReadEnd() override;

  // The part of a path after its last directory or drive separator.
  static std::string FileNamePart(const std::string& Path);

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  std::string FName;
  bool FIncludePath = false;
  TBkgFill FFillMode = TBkgFill::bfStretch;
  TBGAreaMode FAreaMode = TBGAreaMode::bamNone;
  TColor FAreaColor = 0xDDDDDD;
  double FAreaLeft = -1, FAreaRight = 1, FAreaTop = 1, FAreaBottom = -1;
  bool FReading = false;
};

}  // namespace vexa
