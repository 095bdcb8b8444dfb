// The tiles a bitmap has been drawn on: every pixel a canvas changes lies in
// a marked tile, whatever it draws and wherever.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "kelvo/platform/Bitmap.h"

using namespace vexa;

namespace {

constexpr TDrawnTiles::TKey Key{1, 2, 3, 4, 5, 6};

// The marked tiles of T as a pixel mask of W x H.
std::vector<uint8_t> MarkedPixels(const TDrawnTiles& T, int W, int H) {
  std::vector<uint8_t> mask(static_cast<size_t>(W) * H, 0);
  T.ForEachMarked(0, 0, W, H, [&](int64_t l, int64_t t, int64_t r, int64_t b) {
    for (int64_t y = t; y < b; ++y)
      for (int64_t x = l; x < r; ++x) mask[static_cast<size_t>(y * W + x)] = 1;
  });
  return mask;
}

TEST(DrawnTiles, MarksWholeTilesClippedToTheBitmapAndReportsRuns) {
  TDrawnTiles t;
  t.Mark(0, 0, 5, 5);  // not tracking: nothing
  t.Start(100, 40, Key);
  EXPECT_EQ(t.Key(), Key);
  struct TCase {
    int64_t L, T, R, B;
    std::vector<std::array<int64_t, 4>> Runs;  // within [0, 100) x [0, 40)
  } cases[] = {
      {0, 0, 1, 1, {{0, 0, 16, 16}}},
      {15, 15, 17, 17, {{0, 0, 32, 16}, {0, 16, 32, 32}}},
      {90, 35, 1000, 1000, {{80, 32, 100, 40}}},  // clipped by the bitmap
      {-50, -50, -1, 10, {}},                     // wholly outside
      {20, 20, 20, 30, {}},                       // empty
      {INT64_MIN / 2, 33, INT64_MAX / 2, 34, {{0, 32, 100, 40}}},
  };
  for (const TCase& c : cases) {
    t.Start(100, 40, Key);
    t.Mark(c.L, c.T, c.R, c.B);
    std::vector<std::array<int64_t, 4>> runs;
    t.ForEachMarked(0, 0, 100, 40, [&](int64_t l, int64_t tp, int64_t r, int64_t b) {
      runs.push_back({l, tp, r, b});
    });
    EXPECT_EQ(runs, c.Runs) << c.L << "," << c.T << "," << c.R << "," << c.B;
  }
  // Runs are clipped to the rectangle asked for.
  t.Start(100, 40, Key);
  t.Mark(0, 0, 100, 40);
  std::vector<std::array<int64_t, 4>> runs;
  t.ForEachMarked(5, 30, 50, 35, [&](int64_t l, int64_t tp, int64_t r, int64_t b) {
    runs.push_back({l, tp, r, b});
  });
  EXPECT_EQ(runs, (std::vector<std::array<int64_t, 4>>{{5, 30, 50, 32}, {5, 32, 50, 35}}));
}

TEST(DrawnTiles, TheBitmapStopsTrackingWhenItsPixelsAreWrittenWithoutMarks) {
  TBitmap a(50, 40), b(50, 40);
  auto tracked = [](TBitmap& x) {
    x.TrackDrawing(Key);
    return x.DrawnTiles().Tracking();
  };
  ASSERT_TRUE(tracked(a));
  (void)std::as_const(a).Bits();  // reading keeps it
  EXPECT_TRUE(a.DrawnTiles().Tracking());
  (void)a.Bits();
  EXPECT_FALSE(a.DrawnTiles().Tracking());
  ASSERT_TRUE(tracked(a));
  (void)a.ScanLine(3);
  EXPECT_FALSE(a.DrawnTiles().Tracking());
  ASSERT_TRUE(tracked(a));
  a.SetSize(50, 40);  // no change
  EXPECT_TRUE(a.DrawnTiles().Tracking());
  a.SetSize(51, 40);
  EXPECT_FALSE(a.DrawnTiles().Tracking());
  ASSERT_TRUE(tracked(a));
  a.Assign(&b);
  EXPECT_FALSE(a.DrawnTiles().Tracking());
  ASSERT_TRUE(tracked(a));
  (void)a.Canvas().Surface();  // handed out to be written: all of it drawn on
  EXPECT_EQ(MarkedPixels(a.DrawnTiles(), 50, 40), std::vector<uint8_t>(2000, 1));
  // The marks go with the pixels.
  a.TrackDrawing(Key);
  b.DrawnTiles().Stop();
  a.Canvas().SetPixels(20, 20, clRed);
  a.SwapPixels(b);
  EXPECT_FALSE(a.DrawnTiles().Tracking());
  ASSERT_TRUE(b.DrawnTiles().Tracking());
  EXPECT_EQ(MarkedPixels(b.DrawnTiles(), 50, 40)[20 * 50 + 20], 1);
  EXPECT_EQ(MarkedPixels(b.DrawnTiles(), 50, 40)[0], 0);
}

// Random drawing of every kind, on the bitmap's own canvas and redirected
// into a larger one, at device ratios 1, 1.5 and 2: no pixel changes in a
// tile left unmarked.
TEST(DrawnTiles, EveryPixelACanvasChangesLiesInAMarkedTile) {
  std::mt19937 rng(20261210);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr int W = 300, H = 200, TW = 360, TH = 250, OX = 37, OY = 21;
  TBitmap own(W, H), target(TW, TH), sprite(23, 17);
  sprite.Canvas().Brush().SetColor(clLime);
  sprite.Canvas().FillRect(Rect(0, 0, 23, 17));
  sprite.Canvas().SetPixels(3, 4, clRed);
  const TPenStyle styles[] = {TPenStyle::psSolid, TPenStyle::psDash, TPenStyle::psDot,
                              TPenStyle::psInsideFrame};
  const char* const texts[] = {"Wj", "Kelvo 1234", "ÅÇ ffi"};
  auto coord = [&](int lo, int hi) {
    return pick(0, 20) == 0 ? (pick(0, 1) ? INT32_MAX - pick(0, 3) : INT32_MIN + pick(0, 3))
                            : pick(lo, hi);
  };
  for (int round = 0; round < 1500; ++round) {
    const bool redirected = round % 2 == 1;
    TBitmap& pixels = redirected ? target : own;
    const int pw = redirected ? TW : W, ph = redirected ? TH : H;
    pixels.Canvas().Brush().SetColor(clWhite);
    pixels.Canvas().Brush().SetStyle(TBrushStyle::bsSolid);
    pixels.Canvas().FillRect(Rect(0, 0, pw, ph));
    const std::vector<uint32_t> before(std::as_const(pixels).Bits(),
                                       std::as_const(pixels).Bits() + static_cast<size_t>(pw) * ph);
    TCanvas& c = own.Canvas();
    if (redirected) c.Redirect(target, OX, OY);
    pixels.TrackDrawing(Key);
    c.SetDeviceScale(TDeviceScale{pick(0, 2) == 0 ? 1.0 : pick(0, 1) ? 1.5 : 2.0});
    c.SetAntiAliased(pick(0, 1) == 1);
    c.Pen().SetWidth(pick(0, 3) == 0 ? pick(2, 9) : 1);
    c.Pen().SetStyle(styles[pick(0, 3)]);
    c.Pen().SetMode(pick(0, 5) == 0 ? TPenMode::pmXor : TPenMode::pmCopy);
    c.Pen().SetColor(static_cast<TColor>(pick(0, 0xFFFFFF)));
    c.Brush().SetColor(static_cast<TColor>(pick(0, 0xFFFFFF)));
    c.Brush().SetStyle(pick(0, 2) == 0 ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    c.SetBrushOpacity(pick(0, 3) == 0 ? static_cast<uint8_t>(pick(0, 255)) : 255);
    const int kind = pick(0, 10);
    std::vector<TPoint> pts(static_cast<size_t>(pick(2, 40)));
    TPoint walk{pick(-40, W + 40), pick(-40, H + 40)};
    for (TPoint& p : pts) {
      walk = {std::clamp(walk.X + pick(-90, 90), -200, W + 200),
              std::clamp(walk.Y + pick(-90, 90), -200, H + 200)};
      p = walk;
    }
    switch (kind) {
      case 0:
        c.MoveTo(coord(-50, W + 50), coord(-50, H + 50));
        c.LineTo(coord(-50, W + 50), coord(-50, H + 50));
        break;
      case 1:
        c.Polyline(pts);
        break;
      case 2:
        c.Polygon(pts);
        break;
      case 3:
        c.Rectangle(coord(-30, W + 30), coord(-30, H + 30), coord(-30, W + 30), coord(-30, H + 30));
        break;
      case 4:
        c.Ellipse(coord(-30, W + 30), coord(-30, H + 30), coord(-30, W + 30), coord(-30, H + 30));
        break;
      case 5:
        c.FillRect(
            Rect(coord(-30, W + 30), coord(-30, H + 30), coord(-30, W + 30), coord(-30, H + 30)));
        break;
      case 6:
        c.SetPixels(pick(-2, W + 1), pick(-2, H + 1), clRed);
        break;
      case 7: {
        c.Font().SetHeight(pick(6, 30));
        c.Font().SetOrientation(pick(0, 3) == 0 ? (pick(0, 1) ? 900 : 2700) : 0);
        TFontStyles st;
        if (pick(0, 2) == 0) st.Include(TFontStyle::fsItalic);
        if (pick(0, 2) == 0) st.Include(TFontStyle::fsUnderline);
        if (pick(0, 3) == 0) st.Include(TFontStyle::fsStrikeOut);
        c.Font().SetStyle(st);
        c.TextOut(pick(-60, W + 10), pick(-40, H + 10), texts[pick(0, 2)]);
        break;
      }
      case 8:
        c.Draw(pick(-30, W + 5), pick(-20, H + 5), sprite);
        break;
      case 9:
        c.StretchDraw(
            Rect(coord(-30, W + 30), coord(-30, H + 30), coord(-30, W + 30), coord(-30, H + 30)),
            sprite);
        break;
      default: {
        const raster::TSurface s = c.SurfaceIn(Rect(10, 10, 20, 30));
        s.Row(29)[19] = 0xFF123456u;
        break;
      }
    }
    c.EndRedirect();
    c.Font().SetOrientation(0);
    const std::vector<uint8_t> marked = MarkedPixels(pixels.DrawnTiles(), pw, ph);
    const uint32_t* now = std::as_const(pixels).Bits();
    for (int y = 0; y < ph; ++y)
      for (int x = 0; x < pw; ++x) {
        const size_t i = static_cast<size_t>(y) * pw + x;
        if (now[i] != before[i]) {
          ASSERT_TRUE(marked[i]) << "round " << round << " kind " << kind << " pixel " << x << ","
                                 << y << (redirected ? " (redirected)" : "");
        }
      }
  }
}

}  // namespace
