// TBitmap: an off-screen 32-bit XRGB picture with a canvas, read from and
// written to BMP and PNG files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "DrawnTiles.h"

namespace vexa {

// Largest picture we create or load: a header claiming more is refused
// before anything is allocated.
constexpr int32_t MaxBitmapSide = 32768;
constexpr uint64_t MaxBitmapBytes = uint64_t{512} << 20;

class TBitmap : public TPersistent {
 public:
  TBitmap();
  TBitmap(int32_t AWidth, int32_t AHeight);
  ~TBitmap() override;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  void SetWidth(int32_t Value) { SetSize(Value, FHeight); }
  void SetHeight(int32_t Value) { SetSize(FWidth, Value); }
  // Keeps the pixels of the overlap; new pixels are black. Negative sizes
  // count as 0; a size beyond MaxBitmapSide or MaxBitmapBytes raises
  // EInvalidGraphic and leaves the bitmap as it was.
  void SetSize(int32_t AWidth, int32_t AHeight);

  // Exchanges size and pixels with Other (each keeps its canvas and format):
  // handing a finished picture over without copying it.
  void SwapPixels(TBitmap& Other) {
    std::swap(FWidth, Other.FWidth);
    std::swap(FHeight, Other.FHeight);
    FPixels.swap(Other.FPixels);
    std::swap(FDrawn, Other.FDrawn);  // the marks belong to the pixels
  }

  // Memory is always 32-bit; the format is kept for callers that ask.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }

  TCanvas& Canvas() { return *FCanvas; }

  // Rows of Width pixels, 0xFFRRGGBB, top row first. Writable pixels handed
  // out are pixels drawn without marks: the tracking of DrawnTiles stops.
  uint32_t* Bits() {
    FDrawn.Stop();
    return FPixels.data();
  }
  const uint32_t* Bits() const { return FPixels.data(); }
  uint32_t* ScanLine(int32_t Row) { return Bits() + static_cast<size_t>(Row) * FWidth; }

  // Where this bitmap's pixels have been drawn on since a painter declared
  // them a known picture (DrawnTiles.h). The canvas marks what it draws.
  TDrawnTiles& DrawnTiles() { return FDrawn; }
  const TDrawnTiles& DrawnTiles() const { return FDrawn; }
  // The pixels now hold the picture Key names; marks start afresh.
  void TrackDrawing(const TDrawnTiles::TKey& Key) { FDrawn.Start(FWidth, FHeight, Key); }

  // Reads a BMP (1, 4, 8, 16, 24 or 32 bits per pixel; uncompressed, RLE4,
  // RLE8 or bit fields; bottom-up or top-down) or a PNG file, chosen by the
  // file's signature. A missing, truncated or corrupt file raises
  // EInvalidGraphic (EFOpenError when it cannot be opened) naming the file
  // and the problem; the bitmap is then unchanged.
  void LoadFromFile(const std::string& FileName);
  // Writes PNG when the name ends in ".png" (any case), else a 24-bit BMP.
  void SaveToFile(const std::string& FileName) const;

  // Decodes a file image held in memory; Name is used in error messages.
  void LoadFromMemory(const uint8_t* Data, size_t Size, const std::string& Name);

  void Assign(const TPersistent* Source) override;

 private:
  friend class TCanvas;  // draws on the pixels and marks what it draws
  uint32_t* CanvasBits() { return FPixels.data(); }

  int32_t FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pfDevice;
  std::vector<uint32_t> FPixels;
  std::unique_ptr<TCanvas> FCanvas;
  TDrawnTiles FDrawn;
};

}  // namespace vexa
