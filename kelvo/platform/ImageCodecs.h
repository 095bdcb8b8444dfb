// Decoding and encoding of picture files into 0xFFRRGGBB pixel rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::codecs {

struct TImage {
  int32_t Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // top row first
};

// Each decoder raises EInvalidGraphic "<Name>: <problem>" for anything it
// cannot read; none reads outside Data or trusts header sizes for allocation.
TImage DecodeBmp(const uint8_t* Data, size_t Size, const std::string& Name);
TImage DecodePng(const uint8_t* Data, size_t Size, const std::string& Name);
TImage DecodeImage(const uint8_t* Data, size_t Size, const std::string& Name);

// The largest single block the last PNG decode on this thread set aside:
// bounded by the picture's size and the file's, whatever the chunks claim.
size_t LargestPngAllocation();

std::vector<uint8_t> EncodeBmp24(const uint32_t* Pixels, int32_t Width, int32_t Height);
// Raises EInvalidGraphic when the encoder fails.
std::vector<uint8_t> EncodePng(const uint32_t* Pixels, int32_t Width, int32_t Height);

}  // namespace vexa::codecs
