#include "Bitmap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "Files.h"
#include "ImageCodecs.h"

namespace vexa {

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(*this)) {}

TBitmap::TBitmap(int32_t AWidth, int32_t AHeight) : TBitmap() { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (AWidth > MaxBitmapSide || AHeight > MaxBitmapSide ||
      static_cast<uint64_t>(AWidth) * static_cast<uint64_t>(AHeight) * 4 > MaxBitmapBytes)
    throw EInvalidGraphic("Bitmap size " + std::to_string(AWidth) + " x " +
                          std::to_string(AHeight) + " is too large");
  std::vector<uint32_t> pixels(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight),
                               0xFF000000u);
  const int32_t w = std::min(AWidth, FWidth), h = std::min(AHeight, FHeight);
  for (int32_t y = 0; w > 0 && y < h; ++y)
    std::memcpy(pixels.data() + static_cast<size_t>(y) * AWidth,
                FPixels.data() + static_cast<size_t>(y) * FWidth, static_cast<size_t>(w) * 4);
  FPixels = std::move(pixels);
  FWidth = AWidth;
  FHeight = AHeight;
  FDrawn.Stop();
}

void TBitmap::Assign(const TPersistent* Source) {
  if (auto* b = dynamic_cast<const TBitmap*>(Source)) {
    if (b == this) return;
    FDrawn.Stop();
    FPixels = b->FPixels;
    FWidth = b->FWidth;
    FHeight = b->FHeight;
    FPixelFormat = b->FPixelFormat;
    return;
  }
  TPersistent::Assign(Source);
}

void TBitmap::LoadFromMemory(const uint8_t* Data, size_t Size, const std::string& Name) {
  codecs::TImage img = codecs::DecodeImage(Data, Size, Name);
  FDrawn.Stop();
  FPixels = std::move(img.Pixels);
  FWidth = img.Width;
  FHeight = img.Height;
}

void TBitmap::LoadFromFile(const std::string& FileName) {
  std::ifstream in(FilePath(FileName), std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + FileName + "\"");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw EFOpenError("Cannot read file \"" + FileName + "\"");
  // A valid picture within the pixel caps is never larger than this.
  if (static_cast<uint64_t>(size) > MaxBitmapBytes + (uint64_t{1} << 20))
    throw EInvalidGraphic(FileName + ": the file is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw EFOpenError("Cannot read file \"" + FileName + "\"");
  LoadFromMemory(bytes.data(), bytes.size(), FileName);
}

void TBitmap::SaveToFile(const std::string& FileName) const {
  const bool png = HasExtension(FileName, ".png");
  if (Empty() && png) throw EInvalidGraphic(FileName + ": an empty bitmap cannot be saved as PNG");
  std::vector<uint8_t> bytes;
  try {
    bytes = png ? codecs::EncodePng(Bits(), FWidth, FHeight)
                : codecs::EncodeBmp24(Bits(), FWidth, FHeight);
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic(FileName + ": " + e.what());
  }
  WriteWholeFile(FileName,
                 std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace vexa
