// Picture export: the chart painted into another canvas, a picture file or
// an SVG document, without changing the control.
#include <memory>
#include <utility>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Files.h"
#include "kelvo/platform/SvgPicture.h"

namespace vexa {

namespace {
bool IsOtherSize(const TCustomKelvo& Chart, int32_t AWidth, int32_t AHeight) {
  return AWidth > 0 && AHeight > 0 && (AWidth != Chart.Width() || AHeight != Chart.Height());
}

// Whether a bitmap can have the size (positive sides).
bool WithinPictureCap(int64_t AWidth, int64_t AHeight) {
  return AWidth <= MaxBitmapSide && AHeight <= MaxBitmapSide &&
         static_cast<uint64_t>(AWidth) * static_cast<uint64_t>(AHeight) * 4 <= MaxBitmapBytes;
}

// A picture size no bitmap can have is refused before anything is drawn (a
// chart laid out at it would shrink, and the picture come out distorted).
void CheckPictureSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth <= 0 || AHeight <= 0) return;  // the chart's own size
  if (!WithinPictureCap(AWidth, AHeight))
    throw EInvalidGraphic("Picture size " + std::to_string(AWidth) + " x " +
                          std::to_string(AHeight) + " is too large: at most " +
                          std::to_string(MaxBitmapSide) + " pixels a side and " +
                          std::to_string(MaxBitmapBytes / 4) + " pixels in all");
}

}  // namespace

// A copy of the chart (items and settings) laid out at another size, for a
// picture of that size that leaves the control as it is. The copy shows this
// chart's plottables without copying their data.
std::unique_ptr<TCustomKelvo> TCustomKelvo::CopyAtSize(int32_t AWidth, int32_t AHeight,
                                                       double Ratio) {
  auto copy = std::make_unique<TKelvo>();
  {
    // Assign copies plottables; the copy is given this chart's own instead.
    struct TKeep {
      std::shared_ptr<TPlottableList>& Field;
      std::shared_ptr<TPlottableList> Kept;
      ~TKeep() { Field = std::move(Kept); }
    } keep{FPlottables, std::exchange(FPlottables, std::make_shared<TPlottableList>())};
    copy->Assign(this);
  }
  copy->FPlottables = FPlottables;
  copy->SetAutoRedraw(false);
  copy->SetDevicePixelRatio(Ratio);
  copy->SetBounds(0, 0, AWidth, AHeight);
  // A picture is the size asked for or none: a chart smaller than its
  // margins allow would come out at another size.
  if (copy->Width() != AWidth || copy->Height() != AHeight)
    throw EInvalidGraphic("Picture size " + std::to_string(AWidth) + " x " +
                          std::to_string(AHeight) +
                          " is smaller than the chart's margins allow: " + "at least " +
                          std::to_string(copy->Width()) + " x " + std::to_string(copy->Height()));
  return copy;
}

void TCustomKelvo::PaintTo(TCanvas& Canvas, int32_t X, int32_t Y) {
  {
    TPaintLockScope open(*this, false);  // a picture is asked for, window or not
    Paint();
  }
  Canvas.Draw(X, Y, Surface());
}

std::string TCustomKelvo::SvgDocument(int32_t AWidth, int32_t AHeight) {
  CheckPictureSize(AWidth, AHeight);
  // Vector pictures are in logical pixels. Snapped to the pixel grid, the
  // chart is drawn for them at a ratio of 1; unsnapped at the highest ratio
  // whose picture fits, so that positions between pixels survive.
  const int32_t w = AWidth > 0 ? AWidth : Width(), h = AHeight > 0 ? AHeight : Height();
  double ratio = 1.0;
  if (!FSettings.SvgPixelSnap)
    for (double r : {4.0, 3.0, 2.0}) {
      const TDeviceScale scale{r};
      if (WithinPictureCap(scale.Side(w), scale.Side(h))) {
        ratio = r;
        break;
      }
    }
  if (IsOtherSize(*this, AWidth, AHeight) || DevicePixelRatio() != ratio)
    return CopyAtSize(w, h, ratio)->SvgDocument();
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
  return svg.Document(FFrameBitmap, Surface(), ratio, FSettings.SvgPixelSnap);
}

void TCustomKelvo::SaveToFile(const std::string& FileName, int32_t AWidth, int32_t AHeight,
                              double Ratio) {
  if (Ratio != 0 && !TDeviceScale::Acceptable(Ratio))
    throw EInvalidGraphic("Picture ratio " + std::to_string(Ratio) +
                          " is outside 1 to 4 device pixels a logical pixel");
  const bool svg = HasExtension(FileName, ".svg");
  const double ratio = Ratio == 0 || svg ? DevicePixelRatio() : Ratio;
  const TDeviceScale scale{ratio};
  CheckPictureSize(AWidth, AHeight);
  if (AWidth > 0 && AHeight > 0) CheckPictureSize(scale.Side(AWidth), scale.Side(AHeight));
  if (IsOtherSize(*this, AWidth, AHeight) || ratio != DevicePixelRatio()) {
    const int32_t w = AWidth > 0 && AHeight > 0 ? AWidth : Width();
    const int32_t h = AWidth > 0 && AHeight > 0 ? AHeight : Height();
    CheckPictureSize(scale.Side(w), scale.Side(h));
    auto copy = CopyAtSize(w, h, ratio);
    if (svg) {
      WriteWholeFile(FileName, copy->SvgDocument());
      return;
    }
    // The copy composes its picture in its frame and needs no window: the
    // frame and its data area are all the memory the export takes.
    copy->FComposeOnly = true;
    TPaintLockScope open(*copy, false);
    copy->Paint();
    copy->FFrameBitmap.SaveToFile(FileName);
    return;
  }
  if (svg) {
    WriteWholeFile(FileName, SvgDocument());
    return;
  }
  {
    TPaintLockScope open(*this, false);  // a picture is asked for, window or not
    Paint();
  }
  FrameBitmap().SaveToFile(FileName);  // the picture the window shows, no copy of it made
}

}  // namespace vexa
