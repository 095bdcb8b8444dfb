#include "Graphics.h"

#include <cstdint>
#include <limits>

#include "Streaming.h"

namespace vexa {

namespace {
// a * b / c rounded half away from zero, in 64 bits, as the framework's MulDiv.
int MulDiv(int a, int b, int c) {
  int64_t p = static_cast<int64_t>(a) * b;
  int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
  if (q > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (q < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(q);
}
}  // namespace

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

void TPen::Assign(const TPersistent* Source) {
  if (auto* pen = dynamic_cast<const TPen*>(Source)) {
    FColor = pen->FColor;
    FStyle = pen->FStyle;
    FWidth = pen->FWidth;
    FMode = pen->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle == TBrushStyle::bsSolid) return;
  FColor = Value;
  FStyle = TBrushStyle::bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TBrush::Assign(const TPersistent* Source) {
  if (auto* brush = dynamic_cast<const TBrush*>(Source)) {
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

TFont::TFont() = default;

void TFont::SetName(const std::string& Value) {
  if (Value == FName) return;
  FName = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch); }

void TFont::SetSize(int Value) {
  // MulDiv saturates; the negation of its lowest result would overflow.
  const int pixels = MulDiv(Value, ScreenPixelsPerInch, 72);
  SetHeight(pixels == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -pixels);
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetOrientation(int Value) {
  Value %= 3600;
  if (Value < 0) Value += 3600;
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

void TFont::Assign(const TPersistent* Source) {
  if (auto* font = dynamic_cast<const TFont*>(Source)) {
    if (SameAs(*font)) return;
    FName = font->FName;
    FHeight = font->FHeight;
    FColor = font->FColor;
    FStyle = font->FStyle;
    FOrientation = font->FOrientation;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

const TPropertyTable* TFont::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    TPublish<TFont>(t)
        .String("Name", &TFont::Name, &TFont::SetName)
        .Int("Height", &TFont::Height, &TFont::SetHeight)  // every height the setter takes
        .Color("Color", &TFont::Color, &TFont::SetColor)
        .Set(
            "Style", [](const TFont& f) { return f.Style().Bits(); },
            [](TFont& f, uint32_t bits) { f.SetStyle(TFontStyles::FromBits(bits)); },
            FontStyleNames)
        .Int(
            "Orientation", &TFont::Orientation,
            [](TFont& f, int64_t v) { f.SetOrientation(static_cast<int>(v % 3600)); }, 0);
    return t;
  }();
  return &table;
}

}  // namespace vexa
