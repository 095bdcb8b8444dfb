// TPen, TBrush and TFont: the drawing attributes a canvas draws with.
// Each setter compares, stores, then fires OnChange.
#pragma once

#include <string>

#include "Classes.h"

namespace vexa {

class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }  // creation value clBlack
  void SetColor(TColor Value);
  TPenStyle Style() const { return FStyle; }  // creation value psSolid
  void SetStyle(TPenStyle Value);
  int Width() const { return FWidth; }  // creation value 1; values below 1 become 1
  void SetWidth(int Value);
  TPenMode Mode() const { return FMode; }  // creation value pmCopy
  void SetMode(TPenMode Value);

  void Assign(const TPersistent* Source) override;

 private:
  TColor FColor = clBlack;
  TPenStyle FStyle = TPenStyle::psSolid;
  int FWidth = 1;
  TPenMode FMode = TPenMode::pmCopy;
};

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }  // creation value clWhite
  // Setting a colour turns a clear brush solid.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }  // creation value bsSolid
  void SetStyle(TBrushStyle Value);

  void Assign(const TPersistent* Source) override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
};

// Screen resolution the font sizes are measured at.
constexpr int ScreenPixelsPerInch = 96;

// Height < 0 is the character (em) height in pixels, Height > 0 the cell height
// (ascent plus descent). Size is in points at 96 pixels per inch; the stored
// value is Height, as the framework keeps it.
class TFont : public TGraphicsObject {
 public:
  TFont();

  const std::string& Name() const { return FName; }  // creation value "MS Sans Serif"
  void SetName(const std::string& Value);
  int Height() const { return FHeight; }  // creation value -11 (Size 8)
  void SetHeight(int Value);
  int Size() const;
  void SetSize(int Value);
  TColor Color() const { return FColor; }  // creation value clWindowText
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }  // creation value empty
  void SetStyle(TFontStyles Value);
  // The text's direction in tenths of a degree counterclockwise (0 at
  // creation; kept in 0..3599). TCanvas turns text by 900 (reading upwards)
  // and 2700 (downwards); other angles are written unturned.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);

  void Assign(const TPersistent* Source) override;
  // Stored as Name, Height, Color, Style (Size follows from Height).
  const TPropertyTable* Properties() const override;
  bool SameAs(const TFont& Other) const {
    return FName == Other.FName && FHeight == Other.FHeight && FColor == Other.FColor &&
           FStyle == Other.FStyle && FOrientation == Other.FOrientation;
  }

 private:
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  int FOrientation = 0;
};

}  // namespace vexa
