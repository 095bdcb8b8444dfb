// A growable block of memory for large arrays of plain values. Large blocks
// are page mappings that grow by remapping their pages instead of copying
// them, and ask for transparent huge pages (fewer page faults); small ones
// come from the heap. Pages never written are never made resident, so the
// unused part of a doubled block costs address space, not memory.
#pragma once

#include <cstddef>
#include <utility>

namespace vexa {

class TPageBuffer {
 public:
  TPageBuffer() = default;
  TPageBuffer(const TPageBuffer&) = delete;
  TPageBuffer& operator=(const TPageBuffer&) = delete;
  ~TPageBuffer() { Release(); }

  void* Data() const { return FData; }
  size_t Bytes() const { return FBytes; }
  // At least Bytes bytes, keeping the contents of the old size; raises
  // std::bad_alloc when the memory cannot be had.
  void Grow(size_t Bytes);
  void Release();
  void Swap(TPageBuffer& Other) noexcept {
    std::swap(FData, Other.FData);
    std::swap(FBytes, Other.FBytes);
    std::swap(FMapped, Other.FMapped);
  }

 private:
  void* FData = nullptr;
  size_t FBytes = 0;
  bool FMapped = false;
};

}  // namespace vexa
