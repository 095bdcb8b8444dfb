// Picture export: the chart painted into another canvas, a picture file or
// an SVG document, without changing the control.
#include <memory>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Files.h"
#include "kelvo/platform/SvgPicture.h"

namespace vexa {

namespace {
bool IsOtherSize(const TCustomKelvo& Chart, int32_t AWidth, int32_t AHeight) {
  return AWidth > 0 && AHeight > 0 && (AWidth != Chart.Width() || AHeight != Chart.Height());
}

// A copy of the chart (items and settings) laid out at another size, for a
// picture of that size that leaves the control as it is.
std::unique_ptr<TKelvo> CopyAtSize(TCustomKelvo& Chart, int32_t AWidth, int32_t AHeight) {
  auto copy = std::make_unique<TKelvo>();
  copy->Assign(&Chart);
  copy->SetAutoRedraw(false);
  copy->SetBounds(0, 0, AWidth, AHeight);
  return copy;
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
  if (IsOtherSize(*this, AWidth, AHeight)) return CopyAtSize(*this, AWidth, AHeight)->SvgDocument();
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
  if (IsOtherSize(*this, AWidth, AHeight)) {
    CopyAtSize(*this, AWidth, AHeight)->SaveToFile(FileName);
    return;
  }
  if (HasExtension(FileName, ".svg")) {
    WriteWholeFile(FileName, SvgDocument());
    return;
  }
  TBitmap picture(Width(), Height());
  PaintTo(picture.Canvas(), 0, 0);
  picture.SaveToFile(FileName);
}

}  // namespace vexa
