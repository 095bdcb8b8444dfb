#include "PageBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vexa {

void TPageBuffer::Grow(size_t Bytes) {
  if (Bytes <= FBytes) return;
#if defined(__linux__)
  constexpr size_t Page = 4096, Huge = size_t{2} << 20;
  if (Bytes >= Huge) {
    const size_t bytes = (Bytes + Page - 1) & ~(Page - 1);
    void* p;
    if (FMapped) {
      p = mremap(FData, FBytes, bytes, MREMAP_MAYMOVE);
      if (p == MAP_FAILED) throw std::bad_alloc();
    } else {
      p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) throw std::bad_alloc();
      if (FBytes) std::memcpy(p, FData, FBytes);
      std::free(FData);
    }
    madvise(p, bytes, MADV_HUGEPAGE);  // merely advice
    FData = p;
    FBytes = bytes;
    FMapped = true;
    return;
  }
#endif
  void* p = std::realloc(FData, Bytes);
  if (!p) throw std::bad_alloc();
  FData = p;
  FBytes = Bytes;
}

void TPageBuffer::Release() {
#if defined(__linux__)
  if (FMapped) {
    munmap(FData, FBytes);
    FData = nullptr;
    FBytes = 0;
    FMapped = false;
    return;
  }
#endif
  std::free(FData);
  FData = nullptr;
  FBytes = 0;
}

}  // namespace vexa
