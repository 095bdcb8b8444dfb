// The display list: drawing items in the order the drawing commands
// appended them. Items are fixed-layout records; a list can be shared by
// several charts (one array referenced by every member of a group, each
// member keeping its own count).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "kelvo/base/Enums.h"
#include "kelvo/chart/LineSummary.h"
#include "kelvo/platform/PageBuffer.h"
#include "kelvo/platform/Types.h"

namespace vexa {

// Kind codes of drawing items. Codes 10, 11 and above 17 draw nothing.
enum TItemKind : uint8_t {
  ikNone = 0,
  ikMark = 1,
  ikLine = 2,
  ikLineTo = 3,
  ikRectangle = 4,
  ikBevelBox = 5,
  ikBar3D = 6,
  ikText = 7,
  ikMoveTo = 8,
  ikEllipse = 9,
  ikMoveRel = 12,
  ikLineRel = 13,
  ikArrow = 14,
  ikTextOffset = 15,
  ikPixelBox = 16,
  ikErrorMark = 17,
};

// A short string: a length byte and up to 17 bytes of text.
struct TShortText {
  static constexpr size_t MaxLength = 17;
  uint8_t Length = 0;
  char Chars[MaxLength] = {};

  // Longer text is cut to at most 17 bytes, never inside a UTF-8 sequence.
  static TShortText From(std::string_view Text);
  std::string_view View() const { return std::string_view(Chars, Length); }
};

// One drawing item. The fields, their order and their types are fixed: every
// chart of a process reads the same records. A fresh slot is all zeros.
struct TDrawItem {
  double X1, Y1, X2, Y2;
  TColor Color;
  TColor FillColor;
  TColor FrameColor1;
  TColor FrameColor2;
  TPenStyle PenStyle;
  int32_t LineWidth;
  uint8_t ItemClass;
  uint8_t Kind;
  int32_t Layer;
  bool Transparent;
  TFrameStyle FrameStyle;
  TShortText Text;
  int32_t Param1;  // angle (kind 6), font size (7, 15), head length (14), orientation (17)
  int32_t Param2;  // depth (kind 6)
  uint8_t Symbol;  // mark code (1, 17) or text alignment (7, 15)
};
static_assert(std::is_trivially_copyable_v<TDrawItem>);
static_assert(std::is_standard_layout_v<TDrawItem>);

// Whether every coordinate the item's kind uses is finite. An item with one
// that is not (NaN, an infinity) draws nothing: a mark, box, bar, text or
// ellipse is left out, and a line to or from such a point is not drawn, the
// next finite point starting a new run as a move would. Finite values far
// outside the range draw as the mapping says.
inline bool HasFiniteCoordinates(const TDrawItem& It) {
  const bool first = std::isfinite(It.X1) && std::isfinite(It.Y1);
  switch (It.Kind) {
    case ikMark:
    case ikLineTo:
    case ikText:
    case ikMoveTo:
    case ikMoveRel:
    case ikLineRel:
      return first;
    default:
      return first && std::isfinite(It.X2) && std::isfinite(It.Y2);
  }
}

// Number of item classes and of layers the visibility tables cover.
constexpr int ItemClassCount = 256;
constexpr int LayerCount = 16;

// Growable storage of drawing items. Growth is geometric, in a TPageBuffer
// (large blocks grow by remapping pages, with transparent huge pages), so a
// million appends cost little more than writing the items once.
class TItemArray {
 public:
  TItemArray() = default;
  TItemArray(const TDrawItem* First, size_t Count, size_t Reserve);
  TItemArray(const TItemArray&) = delete;
  TItemArray& operator=(const TItemArray&) = delete;
  ~TItemArray();

  size_t Size() const { return FSize; }
  size_t Capacity() const { return FCapacity; }
  const TDrawItem* Data() const { return FData; }
  TDrawItem* Data() { return FData; }
  void Reserve(size_t Count);
  // Shrinks to Count items, or grows with zero-filled items.
  void Resize(size_t Count);
  // A zero-filled new last item.
  TDrawItem& PushBack();
  // A copy of Item (padding included) as the new last item, written past the
  // cache: appending a million items is a stream of writes, not a read and a
  // write of every line.
  void PushBack(const TDrawItem& Item);
  // Shrinks to no items, keeping the storage for the next ones.
  void Empty() { Resize(0); }

  // The summary of line runs, brought up to Count items on asking.
  const TLineSummary& Summary(size_t Count) const {
    FSummary.Update(FData, std::min(Count, FSize));
    return FSummary;
  }

 private:
  mutable TLineSummary FSummary;
  TPageBuffer FBuffer;
  TDrawItem* FData = nullptr;  // in FBuffer
  size_t FSize = 0, FCapacity = 0;
};

class TDisplayList {
 public:
  static constexpr int32_t DefaultAllocSize = 1000;
  static constexpr int32_t MaxAllocSize = 1000000;

  int32_t Count() const { return FCount; }
  // Grows whenever the items this list shows may have changed (appends,
  // clearing, taking over or copying another list's items).
  uint64_t Changes() const { return FChanges; }
  // Grows whenever items this list showed may have changed or gone
  // (clearing, taking over or copying another list's items), not on appends:
  // while it stays, the items up to an earlier count are what they were.
  uint64_t Rewrites() const { return FRewrites; }
  // The capacity figure: grows by AllocSize whenever an append finds the list
  // full, and drops to 0 on Clear. Storage itself grows geometrically, so
  // appending costs amortised O(1) whatever AllocSize is.
  int32_t Capacity() const { return FCapacity; }
  int32_t AllocSize() const { return FAllocSize; }
  // Values outside 1 .. 1,000,000 are ignored.
  void SetAllocSize(int32_t Value);

  // Items 0 .. Count() - 1.
  std::span<const TDrawItem> Items() const;
  const TDrawItem& Item(int32_t Index) const { return Items()[static_cast<size_t>(Index)]; }

  // A zero-filled new last item, to be written by the caller.
  TDrawItem& Append();
  // Item as the new last item.
  void Append(const TDrawItem& Item);
  // Count and capacity figure 0. An array of this list alone keeps its
  // storage for the next items; a shared one is left to the other holders.
  void Clear();
  // The summary of line runs of this list's items (LineSummary.h).
  const TLineSummary* Summary() const {
    return FStore ? &FStore->Summary(static_cast<size_t>(FCount)) : nullptr;
  }

  // Takes over another list's array (the same array, not a copy) and count.
  void ShareFrom(const TDisplayList& Other);
  // Stops sharing: keeps a private copy of this list's items.
  void MakePrivate();
  bool SharesArrayWith(const TDisplayList& Other) const {
    return FStore != nullptr && FStore == Other.FStore;
  }
  // Copies another list's items into a private array of its capacity figure
  // (the chart's Assign); AllocSize is copied too.
  void CopyFrom(const TDisplayList& Other);

 private:
  using TStore = TItemArray;
  // The array, made ready for one more item (count and capacity figure grown).
  TStore& GrowForOne();
  std::shared_ptr<TStore> FStore;
  int32_t FCount = 0;
  uint64_t FChanges = 0;
  uint64_t FRewrites = 0;
  int32_t FCapacity = 0;
  int32_t FAllocSize = DefaultAllocSize;
};

}  // namespace vexa
