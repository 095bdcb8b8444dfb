// libFuzzer harness for the picture decoders: any input must either decode
// within the size caps or raise EInvalidGraphic; never crash, hang or read
// out of bounds. Built and run by scripts/fuzz.sh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "kelvo/platform/Bitmap.h"
#include "kelvo/platform/ImageCodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    vexa::codecs::TImage img = vexa::codecs::DecodeImage(data, size, "fuzz");
    if (img.Width <= 0 || img.Height <= 0 || img.Width > vexa::MaxBitmapSide ||
        img.Pixels.size() != static_cast<size_t>(img.Width) * static_cast<size_t>(img.Height))
      std::abort();
  } catch (const vexa::EInvalidGraphic&) {
  }
  return 0;
}
