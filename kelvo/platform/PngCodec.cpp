// PNG: decoding through this file's own instance of stb_image (Debian's
// libstb-dev header), whose every allocation goes through a bounded
// allocator; encoding through stb_image_write (libstb, or compiled here
// where the system has no libstb, for the library and its users alike).
#if defined(KELVO_STB_WRITE_HERE)
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#endif
#include <stb/stb_image_write.h>
#if defined(KELVO_STB_WRITE_HERE) && defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "Bitmap.h"
#include "Errors.h"
#include "ImageCodecs.h"

namespace vexa::codecs {
namespace {

// The decode in progress may allocate no single block larger than this,
// set from the header's size; nothing else decodes on this thread meanwhile.
thread_local size_t tAllocationLimit = 0;
thread_local size_t tLargestAllocation = 0;

void* BoundedMalloc(size_t Size) {
  if (Size > tAllocationLimit) return nullptr;
  if (Size > tLargestAllocation) tLargestAllocation = Size;
  return std::malloc(Size);
}

void* BoundedRealloc(void* Block, size_t Size) {
  if (Size > tAllocationLimit) return nullptr;
  if (Size > tLargestAllocation) tLargestAllocation = Size;
  return std::realloc(Block, Size);
}

}  // namespace
}  // namespace vexa::codecs

#define STBI_MALLOC(sz) vexa::codecs::BoundedMalloc(sz)
#define STBI_REALLOC(p, newsz) vexa::codecs::BoundedRealloc(p, newsz)
#define STBI_FREE(p) std::free(p)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace vexa::codecs {

namespace {

// What stb_image says of its last failure; it may say nothing.
std::string FailureReason() {
  const char* reason = stbi_failure_reason();
  return reason ? reason : "no reason given";
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Every chunk's stated length must lie within the file, so no chunk can
// make the decoder set memory aside for data that is not there. Returns the
// bytes of image data (IDAT chunks) the file holds.
uint64_t CheckChunks(const uint8_t* data, size_t size, const std::string& name) {
  size_t at = 8;
  uint64_t imageData = 0;
  while (at < size) {
    if (size - at < 12) throw EInvalidGraphic(name + ": corrupt PNG data (a truncated chunk)");
    const uint32_t length = BigEndian32(data + at);
    if (length > size - at - 12)
      throw EInvalidGraphic(name + ": corrupt PNG data (a chunk runs past the end of the file)");
    if (std::equal(data + at + 4, data + at + 8, "IDAT")) imageData += length;
    const bool end = std::equal(data + at + 4, data + at + 8, "IEND");
    at += 12 + size_t{length};
    if (end) break;
  }
  return imageData;
}

// Deflate turns a byte into at most 1032; the header's picture must fit in
// what the image data can inflate to, or the decoder would set aside room
// for rows that cannot be there.
void CheckImageData(const uint8_t* data, size_t size, uint64_t imageData, const std::string& name) {
  if (size < 29) return;  // stb_image reports it
  const uint64_t w = BigEndian32(data + 16), h = BigEndian32(data + 20);
  const uint64_t depth = data[24];
  static constexpr uint8_t channels[7] = {1, 0, 3, 1, 2, 0, 4};
  const uint64_t n = data[25] < 7 ? channels[data[25]] : 4;
  const uint64_t pixelBytes = (w * h * n * depth + 7) / 8;
  if (pixelBytes > 1100 * imageData + 4096)
    throw EInvalidGraphic(name + ": corrupt PNG data (too little image data for a " +
                          std::to_string(w) + " x " + std::to_string(h) + " picture)");
}

}  // namespace

size_t LargestPngAllocation() { return tLargestAllocation; }

TImage DecodePng(const uint8_t* data, size_t size, const std::string& name) {
  if (size > static_cast<size_t>(INT32_MAX))
    throw EInvalidGraphic(name + ": the file is too large");
  const int len = static_cast<int>(size);
  int w = 0, h = 0, comp = 0;
  tAllocationLimit = size_t{1} << 20;  // the header needs no more
  tLargestAllocation = 0;
  if (!stbi_info_from_memory(data, len, &w, &h, &comp))
    throw EInvalidGraphic(name + ": not a readable PNG file (" + FailureReason() + ")");
  if (w <= 0 || h <= 0 || w > MaxBitmapSide || h > MaxBitmapSide ||
      static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > MaxBitmapBytes)
    throw EInvalidGraphic(name + ": the picture is too large (" + std::to_string(w) + " x " +
                          std::to_string(h) + ")");
  CheckImageData(data, size, CheckChunks(data, size, name), name);
  // The largest block a picture of this size needs: its filtered rows at
  // 16 bits per channel, twice over while the inflated data grows, and the
  // compressed data, which lies within the file. Both are bounded by the
  // picture caps, and the rows by what the file's data can inflate to.
  const size_t rows = static_cast<size_t>(h) * (static_cast<size_t>(w) * 8 + 1);
  tAllocationLimit = std::max(2 * rows, 2 * size) + (size_t{1} << 16);
  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load_from_memory(data, len, &w, &h, &comp, 4),
                                                 [](void* p) { std::free(p); });
  tAllocationLimit = 0;
  if (!rgba) throw EInvalidGraphic(name + ": corrupt PNG data (" + FailureReason() + ")");
  TImage img;
  img.Width = w;
  img.Height = h;
  img.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  const stbi_uc* p = rgba.get();
  for (size_t i = 0; i < img.Pixels.size(); ++i, p += 4)
    img.Pixels[i] = 0xFF000000u | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  return img;
}

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
    rgb[3 * i] = (pixels[i] >> 16) & 0xFF;
    rgb[3 * i + 1] = (pixels[i] >> 8) & 0xFF;
    rgb[3 * i + 2] = pixels[i] & 0xFF;
  }
  std::vector<uint8_t> out;
  auto sink = [](void* ctx, void* bytes, int count) {
    auto* v = static_cast<std::vector<uint8_t>*>(ctx);
    auto* b = static_cast<uint8_t*>(bytes);
    v->insert(v->end(), b, b + count);
  };
  if (!stbi_write_png_to_func(sink, &out, width, height, 3, rgb.data(), width * 3))
    throw EInvalidGraphic("a picture of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels could not be encoded as PNG");
  return out;
}

TImage DecodeImage(const uint8_t* data, size_t size, const std::string& name) {
  static constexpr uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= 8 && std::equal(pngSignature, pngSignature + 8, data))
    return DecodePng(data, size, name);
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, size, name);
  if (size == 0) throw EInvalidGraphic(name + ": the file is empty");
  throw EInvalidGraphic(name + ": unknown picture format");
}

}  // namespace vexa::codecs
