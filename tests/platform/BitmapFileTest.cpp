// Bitmap files: every depth and compression we read, written by the test
// itself, and truncated or corrupt files that must raise, never crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "kelvo/platform/ImageCodecs.h"
#include "support/Sheet.h"

// stb_image_write's deflate (libstb), which its header declares only with
// the implementation.
extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int data_len, int* out_len,
                                             int quality);

using namespace vexa;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

constexpr int W = 7, H = 5;  // odd width: rows need padding

// Palette colour i, 0x00RRGGBB.
uint32_t PaletteRgb(int i) {
  return ((i * 37) & 0xFF) << 16 | ((i * 91 + 20) & 0xFF) << 8 | ((255 - i * 13) & 0xFF);
}
int IndexAt(int x, int y, int colors) { return (x + 2 * y) % colors; }

// The pixel we expect from the test pattern, as TColor.
TColor Expected(int x, int y, int bpp) {
  uint32_t rgb;
  if (bpp <= 8) {
    rgb = PaletteRgb(IndexAt(x, y, 1 << bpp));
  } else {
    rgb = (uint32_t(x * 36) << 16) | (uint32_t(y * 60) << 8) | uint32_t(200 - x * 8);
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

struct BmpLayout {
  int Bpp;
  uint32_t Compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
  bool TopDown = false;
  bool CoreHeader = false;
  uint32_t Masks[3] = {0, 0, 0};
};

// Scales an 8-bit channel into a mask's bits and back the way the reader does.
uint32_t ToField(uint32_t v8, uint32_t mask) {
  int shift = 0, bits = 0;
  while (!((mask >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
  return (bits >= 8 ? v8 << (bits - 8) : v8 >> (8 - bits)) << shift;
}

// Per row, bottom-up: the first two pixels as encoded runs, the other five
// as one absolute block padded to 16 bits, then end of line; end of bitmap last.
Bytes EncodeRle(const std::vector<std::vector<int>>& rows, bool four) {
  Bytes out;
  for (int fileRow = 0; fileRow < H; ++fileRow) {
    const auto& r = rows[H - 1 - fileRow];
    if (four) {
      out.insert(out.end(), {2, uint8_t(r[0] << 4 | r[1])});  // a run alternates its two nibbles
    } else {
      out.insert(out.end(), {1, uint8_t(r[0]), 1, uint8_t(r[1])});
    }
    out.insert(out.end(), {0, W - 2});
    size_t bytes = 0;
    if (four) {
      for (int x = 2; x < W; x += 2, ++bytes)
        out.push_back(uint8_t(r[x] << 4 | (x + 1 < W ? r[x + 1] : 0)));
    } else {
      for (int x = 2; x < W; ++x, ++bytes) out.push_back(uint8_t(r[x]));
    }
    if (bytes % 2) out.push_back(0);
    out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

Bytes MakeBmp(const BmpLayout& s) {
  const int colors = s.Bpp <= 8 ? 1 << s.Bpp : 0;
  const size_t header = s.CoreHeader ? 12 : 40;
  const size_t masks = s.Compression == 3 ? 12 : 0;
  const size_t entry = s.CoreHeader ? 3 : 4;
  const size_t pixelOffset = 14 + header + masks + colors * entry;
  Bytes b(pixelOffset, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, uint32_t(pixelOffset));
  Put32(b, 14, uint32_t(header));
  if (s.CoreHeader) {
    Put16(b, 18, W);
    Put16(b, 20, H);
    Put16(b, 22, 1);
    Put16(b, 24, s.Bpp);
  } else {
    Put32(b, 18, W);
    Put32(b, 22, s.TopDown ? uint32_t(-H) : H);
    Put16(b, 26, 1);
    Put16(b, 28, s.Bpp);
    Put32(b, 30, s.Compression);
    if (s.Compression == 3)
      for (int k = 0; k < 3; ++k) Put32(b, 54 + 4 * k, s.Masks[k]);
  }
  for (int i = 0; i < colors; ++i) {
    const size_t at = 14 + header + masks + i * entry;
    const uint32_t rgb = PaletteRgb(i);
    b[at] = rgb & 0xFF;
    b[at + 1] = (rgb >> 8) & 0xFF;
    b[at + 2] = (rgb >> 16) & 0xFF;
  }
  std::vector<std::vector<int>> idx(H, std::vector<int>(W));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) idx[y][x] = colors ? IndexAt(x, y, colors) : 0;
  if (s.Compression == 1 || s.Compression == 2) {
    Bytes data = EncodeRle(idx, s.Compression == 2);
    b.insert(b.end(), data.begin(), data.end());
    Put32(b, 2, uint32_t(b.size()));
    return b;
  }
  const size_t stride = ((size_t(W) * s.Bpp + 31) / 32) * 4;
  b.resize(pixelOffset + stride * H, 0);
  for (int fileRow = 0; fileRow < H; ++fileRow) {
    const int y = s.TopDown ? fileRow : H - 1 - fileRow;
    uint8_t* row = b.data() + pixelOffset + fileRow * stride;
    for (int x = 0; x < W; ++x) {
      const TColor c = Expected(x, y, s.Bpp);
      const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, bl = (c >> 16) & 0xFF;
      switch (s.Bpp) {
        case 1:
          row[x / 8] |= uint8_t(idx[y][x] << (7 - x % 8));
          break;
        case 4:
          row[x / 2] |= uint8_t(x % 2 ? idx[y][x] : idx[y][x] << 4);
          break;
        case 8:
          row[x] = uint8_t(idx[y][x]);
          break;
        case 16: {
          const uint32_t m0 = s.Compression == 3 ? s.Masks[0] : 0x7C00,
                         m1 = s.Compression == 3 ? s.Masks[1] : 0x03E0,
                         m2 = s.Compression == 3 ? s.Masks[2] : 0x001F;
          const uint32_t v = ToField(r, m0) | ToField(g, m1) | ToField(bl, m2);
          row[2 * x] = v & 0xFF;
          row[2 * x + 1] = v >> 8;
          break;
        }
        case 24:
          row[3 * x] = uint8_t(bl), row[3 * x + 1] = uint8_t(g), row[3 * x + 2] = uint8_t(r);
          break;
        case 32: {
          uint32_t v = s.Compression == 3 ? ToField(r, s.Masks[0]) | ToField(g, s.Masks[1]) |
                                                ToField(bl, s.Masks[2])
                                          : (r << 16 | g << 8 | bl);
          for (int k = 0; k < 4; ++k) row[4 * x + k] = (v >> (8 * k)) & 0xFF;
          break;
        }
      }
    }
  }
  Put32(b, 2, uint32_t(b.size()));
  return b;
}

// What a 5- or 6-bit channel reads back as.
TColor Quantised(TColor c, int rBits, int gBits, int bBits) {
  auto q = [](uint32_t v, int bits) {
    const uint32_t max = (1u << bits) - 1, field = v >> (8 - bits);
    return bits >= 8 ? v : (field * 255 + max / 2) / max;
  };
  return q(c & 0xFF, rBits) | q((c >> 8) & 0xFF, gBits) << 8 | q((c >> 16) & 0xFF, bBits) << 16;
}

struct Kind {
  const char* Name;
  BmpLayout Layout;
  int RBits = 8, GBits = 8, BBits = 8;
};

void PrintTo(const Kind& k, std::ostream* os) { *os << k.Name; }

class BitmapFile : public ::testing::TestWithParam<Kind> {};

TEST_P(BitmapFile, DecodesEveryPixel) {
  const Kind& k = GetParam();
  const Bytes file = MakeBmp(k.Layout);
  TBitmap b;
  b.LoadFromMemory(file.data(), file.size(), k.Name);
  ASSERT_EQ(b.Width(), W);
  ASSERT_EQ(b.Height(), H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      ASSERT_EQ(b.Canvas().Pixels(x, y),
                Quantised(Expected(x, y, k.Layout.Bpp), k.RBits, k.GBits, k.BBits))
          << k.Name << " at " << x << "," << y;
}

TEST_P(BitmapFile, EveryTruncationRaisesOrDecodesButNeverCrashes) {
  const Kind& k = GetParam();
  const Bytes file = MakeBmp(k.Layout);
  for (size_t n = 0; n < file.size(); ++n) {
    TBitmap b;
    try {
      b.LoadFromMemory(file.data(), n, "cut.bmp");
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find("cut.bmp: "), std::string::npos);
    }
  }
}

TEST_P(BitmapFile, RandomCorruptionRaisesOrDecodes) {
  const Kind& k = GetParam();
  const Bytes file = MakeBmp(k.Layout);
  std::mt19937 rng(11);
  for (int round = 0; round < 400; ++round) {
    Bytes bad = file;
    for (int flips = 1 + rng() % 4; flips > 0; --flips) bad[rng() % bad.size()] = uint8_t(rng());
    TBitmap b;
    try {
      b.LoadFromMemory(bad.data(), bad.size(), "bad.bmp");
      EXPECT_LE(b.Width(), MaxBitmapSide);
    } catch (const EInvalidGraphic&) {
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BitmapFile,
    ::testing::Values(Kind{"bpp1", {1}}, Kind{"bpp4", {4}}, Kind{"bpp8", {8}},
                      Kind{"bpp8_topdown", {8, 0, true}}, Kind{"bpp8_core", {8, 0, false, true}},
                      Kind{"rle8", {8, 1}}, Kind{"rle4", {4, 2}}, Kind{"bpp16_555", {16}, 5, 5, 5},
                      Kind{"bpp16_565", {16, 3, false, false, {0xF800, 0x07E0, 0x001F}}, 5, 6, 5},
                      Kind{"bpp24", {24}}, Kind{"bpp24_topdown", {24, 0, true}},
                      Kind{"bpp32", {32}},
                      Kind{"bpp32_fields",
                           {32, 3, false, false, {0xFF000000, 0x00FF0000, 0x0000FF00}}}),
    [](const auto& info) { return std::string(info.param.Name); });

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kelvo-test-" + name)).string();
}

TEST(BitmapFileErrors, NamesTheFileAndTheProblem) {
  TBitmap b(3, 3);
  try {
    b.LoadFromFile("/nonexistent/dir/picture.bmp");
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/picture.bmp"), std::string::npos);
  }
  EXPECT_EQ(b.Width(), 3);  // unchanged after a failed load

  auto expectProblem = [](Bytes bytes, const std::string& problem) {
    TBitmap bm;
    try {
      bm.LoadFromMemory(bytes.data(), bytes.size(), "x.bmp");
      ADD_FAILURE() << "no exception for " << problem;
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find(problem), std::string::npos) << e.what();
    }
  };
  Bytes good = MakeBmp({24});
  Bytes huge = good;
  Put32(huge, 18, 100000);
  expectProblem(huge, "too large");
  Bytes wide = good;
  Put32(wide, 18, 30000);
  Put32(wide, 22, 30000);  // within the side cap, over the byte cap
  expectProblem(wide, "too large");
  Bytes depth = good;
  Put16(depth, 28, 7);
  expectProblem(depth, "bit depth");
  Bytes comp = good;
  Put32(comp, 30, 4);  // JPEG inside a bitmap
  expectProblem(comp, "compression");
  expectProblem(Bytes{'B', 'M', 1, 2}, "truncated");
  expectProblem(Bytes{}, "empty");
  expectProblem(Bytes{'G', 'I', 'F', '8'}, "unknown picture format");
  Bytes rle = MakeBmp({8, 1});
  rle.resize(rle.size() - 4);  // the last row's end and the end-of-bitmap mark are missing
  expectProblem(rle, "end-of-bitmap");
}

TEST(BitmapFileRoundTrip, PngAndBmpKeepEveryPixel) {
  TBitmap b(13, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      b.Canvas().SetPixels(x, y, TColor(x * 19 | (y * 28) << 8 | (x * y) << 16));
  for (const char* ext : {".png", ".bmp", ".PNG"}) {
    const std::string path = TempPath(std::string("roundtrip") + ext);
    b.SaveToFile(path);
    TBitmap r;
    r.LoadFromFile(path);
    EXPECT_TRUE(kelvo::test::SamePixels(b, r)) << ext;
    std::filesystem::remove(path);
  }
}

TEST(BitmapFileRoundTrip, CorruptPngRaises) {
  TBitmap b(20, 20);
  const std::string path = TempPath("corrupt.png");
  b.SaveToFile(path);
  Bytes bytes;
  {
    std::ifstream in(path, std::ios::binary);  // closed before the file is removed
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  for (size_t n : {size_t{8}, size_t{20}, bytes.size() / 2, bytes.size() - 5}) {
    TBitmap r;
    EXPECT_THROW(r.LoadFromMemory(bytes.data(), n, "corrupt.png"), EInvalidGraphic) << n;
  }
  std::filesystem::remove(path);
}

// A PNG's chunks cannot make the decoder set aside more than the picture
// and the file need: neither a chunk claiming gigabytes nor compressed data
// that inflates far beyond the picture's rows.
TEST(BitmapFileRoundTrip, PngAllocationsAreBoundedByPictureAndFile) {
  auto be32 = [](Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
  };
  auto chunk = [&](Bytes& b, const char* type, const Bytes& body, uint32_t claimed) {
    be32(b, claimed);
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    be32(b, 0);  // the decoder does not check CRCs
  };
  Bytes header = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  be32(ihdr, 2);
  be32(ihdr, 2);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
  chunk(header, "IHDR", ihdr, 13);
  // 1. A 2 x 2 header and a chunk that claims 2 GiB of data.
  Bytes claim = header;
  chunk(claim, "IDAT", Bytes(70, 0x55), 0x7FFFFFF0u);
  // 2. Ten megabytes of zeros deflated into a few kilobytes.
  int deflatedSize = 0;
  std::vector<unsigned char> zeros(10 << 20, 0);
  unsigned char* deflated =
      stbi_zlib_compress(zeros.data(), static_cast<int>(zeros.size()), &deflatedSize, 9);
  ASSERT_NE(deflated, nullptr);
  Bytes bomb = header;
  chunk(bomb, "IDAT", Bytes(deflated, deflated + deflatedSize),
        static_cast<uint32_t>(deflatedSize));
  chunk(bomb, "IEND", {}, 0);
  std::free(deflated);  // stb_image_write allocates with malloc
  // 3. A picture within the caps (10000 x 10000) with a hundred bytes of data.
  Bytes big = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes bigHeader;
  be32(bigHeader, 10000);
  be32(bigHeader, 10000);
  bigHeader.insert(bigHeader.end(), {8, 6, 0, 0, 0});
  chunk(big, "IHDR", bigHeader, 13);
  chunk(big, "IDAT", Bytes(100, 0x55), 100);
  chunk(big, "IEND", {}, 0);
  for (const Bytes* file : {&claim, &bomb, &big}) {
    TBitmap r;
    EXPECT_THROW(r.LoadFromMemory(file->data(), file->size(), "hostile.png"), EInvalidGraphic);
    EXPECT_LE(codecs::LargestPngAllocation(), size_t{1} << 20) << file->size();
  }
}

}  // namespace
