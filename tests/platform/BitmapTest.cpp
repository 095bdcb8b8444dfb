// Bitmaps in memory: sizes, Draw and StretchDraw with clipping.
#include <gtest/gtest.h>

#include <climits>

#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;
using kelvo::test::MakeSheet;

namespace {

// A 6 x 4 source with a distinct colour per pixel.
std::unique_ptr<TBitmap> Source() {
  auto s = std::make_unique<TBitmap>(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      s->Canvas().SetPixels(x, y, static_cast<TColor>(0x10 * (x + 1) | (0x30 * (y + 1)) << 8));
  return s;
}

TEST(Bitmap, SetSizeKeepsTheOverlapAndRefusesAbsurdSizes) {
  TBitmap b(4, 3);
  b.Canvas().SetPixels(1, 1, clRed);
  b.SetSize(10, 2);
  EXPECT_EQ(b.Width(), 10);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(b.Canvas().Pixels(8, 1), clBlack);
  b.SetSize(-5, 3);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.SetSize(40000, 10), EInvalidGraphic);
  EXPECT_THROW(b.SetSize(30000, 30000), EInvalidGraphic);  // over 512 MiB
  EXPECT_EQ(b.Width(), 0);
  b.Canvas().Rectangle(0, 0, 5, 5);  // drawing on an empty bitmap is harmless
  b.Canvas().TextOut(0, 0, "x");
}

TEST(Bitmap, DrawCopiesAndClipsOnAllSides) {
  auto src = Source();
  for (TPoint at : {Point(2, 1), Point(-3, -2), Point(7, 5), Point(-6, 0), Point(INT_MIN, INT_MAX),
                    Point(INT_MAX, 0)}) {
    auto b = MakeSheet(10, 7);
    b->Canvas().Draw(at.X, at.Y, *src);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) {
        const int64_t sx = int64_t{x} - at.X, sy = int64_t{y} - at.Y;
        const bool inside = sx >= 0 && sx < 6 && sy >= 0 && sy < 4;
        const TColor want = inside ? src->Canvas().Pixels(int(sx), int(sy)) : clWhite;
        ASSERT_EQ(b->Canvas().Pixels(x, y), want)
            << at.X << "," << at.Y << " pixel " << x << "," << y;
      }
  }
}

TEST(Bitmap, StretchDrawSamplesPixelCentresAndMirrors) {
  auto src = Source();
  auto b = MakeSheet(30, 20);
  auto& c = b->Canvas();
  c.StretchDraw(Rect(0, 0, 12, 8), *src);  // exactly 2x
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(c.Pixels(x, y), src->Canvas().Pixels(x / 2, y / 2));
  c.StretchDraw(Rect(29, 8, 23, 12), *src);  // mirrored horizontally at 1x
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.Pixels(23 + x, 8), src->Canvas().Pixels(5 - x, 0));
  c.StretchDraw(Rect(14, 2, 40, 30), *src);  // partly outside
  c.StretchDraw(Rect(-100000, 12, 5, 19), *src);
  // The sheet lies just right of and below the centre of this huge box.
  c.StretchDraw(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), *src);
  EXPECT_EQ(c.Pixels(0, 0), src->Canvas().Pixels(3, 2));
  EXPECT_EQ(c.Pixels(29, 19), src->Canvas().Pixels(3, 2));
  auto g = MakeSheet(30, 20);
  g->Canvas().StretchDraw(Rect(14, 2, 40, 30), *src);
  g->Canvas().StretchDraw(Rect(-4, -3, 9, 15), *src);
  g->Canvas().Draw(20, -1, *src);
  EXPECT_GOLDEN(*g, "bitmap/draw-stretch-clipped");
}

TEST(Bitmap, AssignCopiesPixelsNotTheCanvas) {
  auto src = Source();
  TBitmap copy;
  copy.Assign(src.get());
  src->Canvas().SetPixels(0, 0, clRed);
  EXPECT_EQ(copy.Width(), 6);
  EXPECT_NE(copy.Canvas().Pixels(0, 0), clRed);
  TFont font;
  EXPECT_THROW(copy.Assign(&font), EConvertError);
}

}  // namespace
