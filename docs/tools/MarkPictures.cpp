// Writes the guide's pictures of the 52 mark shapes: docs/pictures/marks/
// mark-NN.png, each mark drawn once in black on white in an 11 x 11 cell and
// enlarged four times, so that every pixel shows. Run by
// scripts/guide-pictures.sh: mark_pictures FOLDER
#include <cstdio>
#include <string>

#include "kelvo/base/Marks.h"
#include "kelvo/platform/Bitmap.h"

using namespace vexa;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  constexpr int Cell = 11, Zoom = 4;
  for (int code = 0; code < 52; ++code) {
    TBitmap cell(Cell, Cell);
    TCanvas& c = cell.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(0, 0, Cell, Cell));
    c.Pen().SetColor(clBlack);
    DrawMark(c, static_cast<uint8_t>(code), Cell / 2, Cell / 2);
    TBitmap big(Cell * Zoom, Cell * Zoom);
    big.Canvas().StretchDraw(Rect(0, 0, Cell * Zoom, Cell * Zoom), cell);
    char name[32];
    std::snprintf(name, sizeof name, "/mark-%02d.png", code);
    big.SaveToFile(folder + name);
  }
  return 0;
}
