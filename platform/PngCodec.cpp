// PNG through stb_image / stb_image_write (Debian's libstb).
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <memory>

#include "Bitmap.h"
#include "Errors.h"
#include "ImageCodecs.h"

namespace vexa::codecs {

TImage DecodePng(const uint8_t* data, size_t size, const std::string& name) {
  if (size > static_cast<size_t>(INT32_MAX))
    throw EInvalidGraphic(name + ": the file is too large");
  const int len = static_cast<int>(size);
  int w = 0, h = 0, comp = 0;
  if (!stbi_info_from_memory(data, len, &w, &h, &comp))
    throw EInvalidGraphic(name + ": not a readable PNG file (" + stbi_failure_reason() + ")");
  if (w <= 0 || h <= 0 || w > MaxBitmapSide || h > MaxBitmapSide ||
      static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > MaxBitmapBytes)
    throw EInvalidGraphic(name + ": the picture is too large (" + std::to_string(w) + " x " +
                          std::to_string(h) + ")");
  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load_from_memory(data, len, &w, &h, &comp, 4),
                                                 stbi_image_free);
  if (!rgba) throw EInvalidGraphic(name + ": corrupt PNG data (" + stbi_failure_reason() + ")");
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
    throw Exception("PNG encoding failed");
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
