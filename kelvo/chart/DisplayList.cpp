#include "kelvo/chart/DisplayList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

TShortText TShortText::From(std::string_view Text) {
  TShortText t;
  size_t n = std::min(Text.size(), MaxLength);
  if (n < Text.size()) {
    // Back up over continuation bytes so a multi-byte character is kept whole or dropped.
    while (n > 0 && (static_cast<unsigned char>(Text[n]) & 0xC0) == 0x80) --n;
  }
  std::memcpy(t.Chars, Text.data(), n);
  t.Length = static_cast<uint8_t>(n);
  return t;
}

TItemArray::TItemArray(const TDrawItem* First, size_t Count, size_t ReserveCount) {
  Reserve(std::max(Count, ReserveCount));
  if (Count) std::memcpy(static_cast<void*>(FData), First, Count * sizeof(TDrawItem));
  FSize = Count;
}

TItemArray::~TItemArray() = default;

// Storage grows geometrically in a page buffer: large blocks are page
// mappings that grow by remapping pages instead of copying them.
void TItemArray::Reserve(size_t Count) {
  if (Count <= FCapacity) return;
  if (Count > SIZE_MAX / sizeof(TDrawItem) / 2) throw std::bad_alloc();
  FBuffer.Grow(Count * sizeof(TDrawItem));
  FData = static_cast<TDrawItem*>(FBuffer.Data());
  FCapacity = FBuffer.Bytes() / sizeof(TDrawItem);
}

void TItemArray::Resize(size_t Count) {
  FSummary.Invalidate(std::min(Count, FSize));
  if (Count > FSize) {
    Reserve(Count);
    std::memset(static_cast<void*>(FData + FSize), 0, (Count - FSize) * sizeof(TDrawItem));
  }
  FSize = Count;
}

TDrawItem& TItemArray::PushBack() {
  if (FSize == FCapacity) Reserve(std::max<size_t>(16, 2 * FCapacity));
  FSummary.Invalidate(FSize);
  TDrawItem* item = FData + FSize++;
  std::memset(static_cast<void*>(item), 0, sizeof(TDrawItem));  // padding too
  return *item;
}

void TItemArray::PushBack(const TDrawItem& Item) {
  if (FSize == FCapacity) Reserve(std::max<size_t>(16, 2 * FCapacity));
  FSummary.Invalidate(FSize);
  TDrawItem* slot = FData + FSize++;
#if defined(__SSE2__)
  static_assert(sizeof(TDrawItem) % 16 == 0);
  if ((reinterpret_cast<uintptr_t>(slot) & 15) == 0 &&
      (reinterpret_cast<uintptr_t>(&Item) & 15) == 0) {
    // Non-temporal stores: the lines are not read first. The same thread
    // reads them back in order; other threads see them after the fence any
    // hand-over between threads makes.
    const auto* from = reinterpret_cast<const __m128i*>(&Item);
    auto* to = reinterpret_cast<__m128i*>(slot);
    for (size_t k = 0; k < sizeof(TDrawItem) / 16; ++k)
      _mm_stream_si128(to + k, _mm_load_si128(from + k));
    return;
  }
#endif
  std::memcpy(static_cast<void*>(slot), &Item, sizeof(TDrawItem));
}

void TDisplayList::SetAllocSize(int32_t Value) {
  if (Value >= 1 && Value <= MaxAllocSize) FAllocSize = Value;
}

std::span<const TDrawItem> TDisplayList::Items() const {
  if (!FStore) return {};
  // A shared array never holds fewer items than a member counts, but a
  // reader must not trust that blindly.
  const size_t n = std::min(static_cast<size_t>(FCount), FStore->Size());
  return std::span<const TDrawItem>(FStore->Data(), n);
}

TDrawItem& TDisplayList::Append() { return GrowForOne().PushBack(); }

void TDisplayList::Append(const TDrawItem& Item) { GrowForOne().PushBack(Item); }

TDisplayList::TStore& TDisplayList::GrowForOne() {
  ++FChanges;
  if (FCount >= FCapacity)
    FCapacity = FCapacity > std::numeric_limits<int32_t>::max() - FAllocSize
                    ? std::numeric_limits<int32_t>::max()
                    : FCapacity + FAllocSize;
  if (!FStore) FStore = std::make_shared<TStore>();
  TStore& items = *FStore;
  // Members of a group hold equal counts; after any mismatch the list this
  // chart counts is what it appends to.
  if (items.Size() != static_cast<size_t>(FCount)) items.Resize(static_cast<size_t>(FCount));
  // One allocation for the whole growth step, and never less than doubling.
  if (items.Capacity() < static_cast<size_t>(FCapacity))
    items.Reserve(std::max(static_cast<size_t>(FCapacity), 2 * items.Capacity()));
  ++FCount;
  return items;
}

void TDisplayList::Clear() {
  ++FChanges;
  ++FRewrites;
  // Refilling after a clear is the common case: the pages stay mapped.
  if (FStore && FStore.use_count() == 1)
    FStore->Empty();
  else
    FStore.reset();
  FCount = 0;
  FCapacity = 0;
}

void TDisplayList::ShareFrom(const TDisplayList& Other) {
  ++FChanges;
  if (&Other == this) return;
  if (Other.FStore != FStore || Other.FCount < FCount) ++FRewrites;  // else: appended to
  FStore = Other.FStore;
  FCount = Other.FCount;
  // The capacity figure follows the array taken over, so count <= capacity holds.
  FCapacity = Other.FCapacity;
}

void TDisplayList::MakePrivate() {
  ++FChanges;
  if (!FStore || FStore.use_count() == 1) return;
  const auto items = Items();
  FStore = std::make_shared<TStore>(items.data(), items.size(), items.size());
}

void TDisplayList::CopyFrom(const TDisplayList& Other) {
  ++FChanges;
  ++FRewrites;
  if (&Other == this) return;
  const auto items = Other.Items();
  FStore = items.empty() && Other.FCapacity == 0
               ? nullptr
               : std::make_shared<TStore>(items.data(), items.size(),
                                          static_cast<size_t>(Other.FCapacity));
  FCount = static_cast<int32_t>(items.size());
  FCapacity = Other.FCapacity;
  FAllocSize = Other.FAllocSize;
}

}  // namespace vexa
