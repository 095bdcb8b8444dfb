// Picture export: the chart painted into another canvas, a picture file or
// an SVG document, without changing the control.
#include <algorithm>
#include <fstream>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/SvgPicture.h"

namespace vexa {

namespace {
bool EndsWithNoCase(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(
      tail.begin(), tail.end(), s.end() - static_cast<ptrdiff_t>(tail.size()),
      [](char t, char c) { return std::tolower(static_cast<unsigned char>(c)) == t; });
}
}  // namespace

void TCustomKelvo::PaintTo(TCanvas& Canvas, int32_t X, int32_t Y) {
  {
    TPaintLockScope open(*this, false);  // a picture is asked for, window or not
    Paint();
  }
  Canvas.Draw(X, Y, Surface());
}

std::string TCustomKelvo::SvgDocument(int32_t AWidth, int32_t AHeight) {
  if (AWidth > 0 && AHeight > 0 && (AWidth != Width() || AHeight != Height())) {
    TKelvo copy;
    copy.Assign(this);
    copy.SetAutoRedraw(false);
    copy.SetBounds(0, 0, AWidth, AHeight);
    return copy.SvgDocument();
  }
  TSvgPicture svg;
  {
    TCanvasRecorder::TScope recording(svg);
    // The frame is painted over completely (around the data area and then
    // the data area itself), and so is the data area by its background
    // (colour, or a picture stretched or tiled over it): their earlier
    // pixels are not kept.
    svg.Fresh(FFrameBitmap);
    svg.Fresh(FDataBitmap);
    TPaintLockScope open(*this, false);
    Paint();
  }
  return svg.Document(FFrameBitmap, Surface());
}

void TCustomKelvo::SaveToFile(const std::string& FileName, int32_t AWidth, int32_t AHeight) {
  if (EndsWithNoCase(FileName, ".svg")) {
    const std::string doc = SvgDocument(AWidth, AHeight);
    std::ofstream out(FileName, std::ios::binary | std::ios::trunc);
    if (!out) throw EFOpenError("Cannot create file \"" + FileName + "\"");
    out.write(doc.data(), static_cast<std::streamsize>(doc.size()));
    if (!out) throw EFOpenError("Cannot write file \"" + FileName + "\"");
    return;
  }
  if (AWidth <= 0 || AHeight <= 0 || (AWidth == Width() && AHeight == Height())) {
    TBitmap picture(Width(), Height());
    PaintTo(picture.Canvas(), 0, 0);
    picture.SaveToFile(FileName);
    return;
  }
  // Another size: a copy of the chart (items and settings), drawn at that size.
  TKelvo copy;
  copy.Assign(this);
  copy.SetAutoRedraw(false);
  copy.SetBounds(0, 0, AWidth, AHeight);
  copy.SaveToFile(FileName);
}

}  // namespace vexa
