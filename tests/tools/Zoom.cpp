// kelvo_zoom IN.png OUT.png [FACTOR]: enlarges a picture by whole pixels so
// a person can inspect single pixels of a reference image.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "kelvo/platform/Bitmap.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kelvo_zoom IN.png OUT.png [FACTOR]\n");
    return 2;
  }
  const int factor = argc > 3 ? std::atoi(argv[3]) : 8;
  try {
    vexa::TBitmap in, out;
    in.LoadFromFile(argv[1]);
    out.SetSize(in.Width() * factor, in.Height() * factor);
    out.Canvas().StretchDraw(vexa::Rect(0, 0, out.Width(), out.Height()), in);
    out.SaveToFile(argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvo_zoom: %s\n", e.what());
    return 1;
  }
  return 0;
}
