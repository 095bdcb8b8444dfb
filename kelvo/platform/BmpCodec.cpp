// Device-independent bitmap files: every depth and compression the window
// system writes, read defensively. All reads go through TReader, which
// checks bounds; sizes from the header are checked against the caps and
// against the bytes actually present before anything is allocated.
#include <algorithm>
#include <cstring>

#include "Bitmap.h"
#include "Errors.h"
#include "ImageCodecs.h"

namespace vexa::codecs {

namespace {

[[noreturn]] void Fail(const std::string& name, const std::string& problem) {
  throw EInvalidGraphic(name + ": " + problem);
}

class TReader {
 public:
  TReader(const uint8_t* d, size_t n, const std::string& name) : FData(d), FSize(n), FName(name) {}
  bool Has(size_t at, size_t count) const { return at <= FSize && count <= FSize - at; }
  uint32_t U8(size_t at) const { return Need(at, 1), FData[at]; }
  uint32_t U16(size_t at) const { return Need(at, 2), FData[at] | (FData[at + 1] << 8); }
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return FData[at] | (FData[at + 1] << 8) | (FData[at + 2] << 16) |
           (uint32_t{FData[at + 3]} << 24);
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  const uint8_t* Ptr(size_t at, size_t count) const { return Need(at, count), FData + at; }
  size_t Size() const { return FSize; }

 private:
  void Need(size_t at, size_t count) const {
    if (!Has(at, count)) Fail(FName, "the file is truncated");
  }
  const uint8_t* FData;
  size_t FSize;
  const std::string& FName;
};

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

// Extracts a colour channel given by a bit mask and scales it to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0, Bits = 0;
  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    while (!((mask >> Shift) & 1u)) ++Shift;
    while (Bits < 32 - Shift && ((mask >> (Shift + Bits)) & 1u)) ++Bits;
  }
  uint32_t Get(uint32_t v) const {
    if (!Mask) return 0;
    uint32_t x = (v & Mask) >> Shift;
    if (Bits >= 8) return x >> (Bits - 8);
    const uint32_t max = (1u << Bits) - 1;
    return (x * 255 + max / 2) / max;
  }
};

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

}  // namespace

TImage DecodeBmp(const uint8_t* data, size_t size, const std::string& name) {
  TReader in(data, size, name);
  if (size < 2 || data[0] != 'B' || data[1] != 'M') Fail(name, "not a bitmap file");
  const uint32_t pixelOffset = in.U32(10);
  const uint32_t headerSize = in.U32(14);
  int64_t width, height;
  uint32_t bpp, compression = BI_RGB, colorsUsed = 0, paletteEntrySize = 4;
  size_t paletteAt;
  uint32_t masks[3] = {0, 0, 0};
  bool hasMasks = false;
  if (headerSize == 12) {  // the old core header
    width = in.U16(18);
    height = static_cast<int16_t>(in.U16(20));
    bpp = in.U16(24);
    paletteEntrySize = 3;
    paletteAt = 14 + 12;
  } else if (headerSize >= 40 && headerSize <= 124) {
    width = in.I32(18);
    height = in.I32(22);
    if (in.U16(26) != 1) Fail(name, "the header names more than one plane");
    bpp = in.U16(28);
    compression = in.U32(30);
    colorsUsed = in.U32(46);
    paletteAt = 14 + headerSize;
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
      // Masks follow a 40-byte header; larger headers hold them inside.
      const size_t at = 14 + 40;
      masks[0] = in.U32(at);
      masks[1] = in.U32(at + 4);
      masks[2] = in.U32(at + 8);
      hasMasks = true;
      if (headerSize == 40) paletteAt += compression == BI_ALPHABITFIELDS ? 16 : 12;
    }
  } else {
    Fail(name, "unknown bitmap header size " + std::to_string(headerSize));
  }

  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) Fail(name, "the bitmap has no pixels");
  if (width > MaxBitmapSide || height > MaxBitmapSide ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 > MaxBitmapBytes)
    Fail(name, "the bitmap is too large (" + std::to_string(width) + " x " +
                   std::to_string(height) + ")");
  switch (bpp) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail(name, "unsupported bit depth " + std::to_string(bpp));
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (compression == BI_RLE8 && bpp != 8) Fail(name, "RLE8 compression needs 8 bits per pixel");
  if (compression == BI_RLE4 && bpp != 4) Fail(name, "RLE4 compression needs 4 bits per pixel");
  if (hasMasks && bpp != 16 && bpp != 32) Fail(name, "bit fields need 16 or 32 bits per pixel");
  if (!rle && !hasMasks && compression != BI_RGB)
    Fail(name, "unsupported compression " + std::to_string(compression));
  if (rle && topDown) Fail(name, "a compressed bitmap cannot be top-down");

  // Palette: at most 256 entries, and only as many as the file holds.
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint32_t count = colorsUsed == 0 ? (1u << bpp) : std::min<uint32_t>(colorsUsed, 1u << bpp);
    const size_t end = std::min<size_t>(pixelOffset, in.Size());
    if (paletteAt < end)
      count =
          std::min<uint32_t>(count, static_cast<uint32_t>((end - paletteAt) / paletteEntrySize));
    else
      count = 0;
    if (count == 0) Fail(name, "the palette is missing");
    palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const size_t at = paletteAt + size_t{i} * paletteEntrySize;
      palette[i] = Rgb(in.U8(at + 2), in.U8(at + 1), in.U8(at));
    }
  }
  auto paletteColor = [&](uint32_t index) {
    return index < palette.size() ? palette[index] : 0xFF000000u;  // out of palette: black
  };

  TImage img;
  img.Width = static_cast<int32_t>(width);
  img.Height = static_cast<int32_t>(height);
  auto rowOf = [&](int64_t fileRow) -> uint32_t* {
    const int64_t y = topDown ? fileRow : height - 1 - fileRow;
    return img.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
  };

  if (rle) {
    // Pixels the stream never reaches keep palette colour 0.
    img.Pixels.assign(static_cast<size_t>(width * height), paletteColor(0));
    size_t at = pixelOffset;
    int64_t x = 0, row = 0;
    auto put = [&](uint32_t index) {
      if (x < width && row < height) rowOf(row)[x] = paletteColor(index);
      ++x;
    };
    const bool four = compression == BI_RLE4;
    while (true) {
      if (!in.Has(at, 2)) Fail(name, "the compressed data ends without an end-of-bitmap mark");
      const uint32_t count = in.U8(at), value = in.U8(at + 1);
      at += 2;
      if (count > 0) {  // a run
        for (uint32_t i = 0; i < count && x < width; ++i)
          put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
        continue;
      }
      if (value == 0) {  // end of line
        x = 0;
        ++row;
      } else if (value == 1) {  // end of bitmap
        break;
      } else if (value == 2) {  // delta
        x += in.U8(at);
        row += in.U8(at + 1);
        at += 2;
      } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
        const size_t bytes = four ? (value + 1) / 2 : value;
        const uint8_t* p = in.Ptr(at, bytes);
        for (uint32_t i = 0; i < value; ++i)
          put(four ? ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
        at += (bytes + 1) & ~size_t{1};
      }
      if (row >= height) break;  // everything further would be off the picture
    }
    return img;
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  if (pixelOffset > size || stride * static_cast<uint64_t>(height) > size - pixelOffset)
    Fail(name, "the file is truncated");
  img.Pixels.resize(static_cast<size_t>(width * height));
  if (!hasMasks && bpp == 16) {  // 5-5-5
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int64_t r = 0; r < height; ++r) {
    const uint8_t* src = data + pixelOffset + static_cast<size_t>(r) * stride;
    uint32_t* dst = rowOf(r);
    switch (bpp) {
      case 1:
        for (int64_t x = 0; x < width; ++x)
          dst[x] = paletteColor((src[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        for (int64_t x = 0; x < width; ++x)
          dst[x] = paletteColor((x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4);
        break;
      case 8:
        for (int64_t x = 0; x < width; ++x) dst[x] = paletteColor(src[x]);
        break;
      case 16:
        for (int64_t x = 0; x < width; ++x) {
          const uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
          dst[x] = Rgb(red.Get(v), green.Get(v), blue.Get(v));
        }
        break;
      case 24:
        for (int64_t x = 0; x < width; ++x)
          dst[x] = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
      case 32:
        if (!hasMasks) {
          for (int64_t x = 0; x < width; ++x)
            dst[x] = Rgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
        } else {
          for (int64_t x = 0; x < width; ++x) {
            uint32_t v;
            std::memcpy(&v, src + 4 * x, 4);
            dst[x] = Rgb(red.Get(v), green.Get(v), blue.Get(v));
          }
        }
        break;
    }
  }
  return img;
}

std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int32_t width, int32_t height) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t imageBytes = stride * static_cast<size_t>(height);
  std::vector<uint8_t> out(54 + imageBytes, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<uint32_t>(imageBytes));
  put32(38, 3780);  // 96 pixels per inch
  put32(42, 3780);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* src = pixels + static_cast<size_t>(height - 1 - y) * width;
    uint8_t* dst = out.data() + 54 + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x) {
      dst[3 * x] = src[x] & 0xFF;
      dst[3 * x + 1] = (src[x] >> 8) & 0xFF;
      dst[3 * x + 2] = (src[x] >> 16) & 0xFF;
    }
  }
  return out;
}

}  // namespace vexa::codecs
