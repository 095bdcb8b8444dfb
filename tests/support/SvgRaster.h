// Rasterising SVG documents with librsvg (over cairo), for comparing an
// exported picture with the canvas it was recorded from.
#pragma once

#include <string>

#include "kelvo/platform/Bitmap.h"

namespace kelvo::test {

// The document drawn over white into Picture at Picture's size; raises
// std::runtime_error with librsvg's message when it cannot be read.
void RasteriseSvg(const std::string& Document, vexa::TBitmap& Picture);

struct TPictureDifference {
  double EqualShare = 0;  // pixels equal in every channel
  double NearShare = 0;   // pixels whose channels differ by at most 48
  double MeanAbs = 0;     // mean absolute channel difference, 0..255
};
TPictureDifference ComparePictures(const vexa::TBitmap& A, const vexa::TBitmap& B);

}  // namespace kelvo::test
