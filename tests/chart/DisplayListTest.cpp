// The display list: growth by AllocSize, zero-filled slots, clearing, the
// short text field and sharing one array between lists.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kelvo/chart/DisplayList.h"

using namespace vexa;

namespace {

TEST(DisplayList, StartsEmptyAndGrowsByAllocSize) {
  TDisplayList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(list.AllocSize(), 1000);
  EXPECT_TRUE(list.Items().empty());
  list.Append();
  EXPECT_EQ(list.Capacity(), 1000);
  for (int i = 1; i < 1000; ++i) list.Append();
  EXPECT_EQ(list.Count(), 1000);
  EXPECT_EQ(list.Capacity(), 1000);
  list.Append();  // the 1001st item
  EXPECT_EQ(list.Capacity(), 2000);
  EXPECT_EQ(list.Count(), 1001);
}

TEST(DisplayList, AllocSizeOutsideItsRangeIsIgnored) {
  TDisplayList list;
  for (int bad : {0, -1, 1000001, INT32_MIN}) {
    list.SetAllocSize(bad);
    EXPECT_EQ(list.AllocSize(), 1000) << bad;
  }
  list.SetAllocSize(1);
  EXPECT_EQ(list.AllocSize(), 1);
  list.SetAllocSize(1000000);
  EXPECT_EQ(list.AllocSize(), 1000000);
  list.SetAllocSize(3);
  for (int i = 0; i < 7; ++i) list.Append();
  EXPECT_EQ(list.Capacity(), 9);
}

TEST(DisplayList, NewSlotsAreZeroFilled) {
  TDisplayList list;
  TDrawItem& first = list.Append();
  first.X1 = 5;
  first.Text = TShortText::From("dirty");
  list.Clear();
  const TDrawItem& fresh = list.Append();
  const unsigned char zero[sizeof(TDrawItem)] = {};  // padding included
  EXPECT_EQ(std::memcmp(&fresh, zero, sizeof(TDrawItem)), 0);
  EXPECT_EQ(fresh.Text.View(), "");
  EXPECT_FALSE(fresh.Transparent);
  EXPECT_EQ(fresh.FrameStyle, TFrameStyle::fsNone);
}

// Items appended by value land byte for byte (padding included), from an
// aligned source (streamed past the cache) and from an unaligned one
// (copied), mixed with zero-filled appends and across growth and clearing.
TEST(DisplayList, ItemsAppendedByValueLandByteForByte) {
  TDisplayList list;
  list.SetAllocSize(3);
  alignas(16) unsigned char bytes[sizeof(TDrawItem) + 16];
  std::vector<std::vector<unsigned char>> expected;
  for (int round = 0; round < 2; ++round) {
    list.Clear();
    expected.clear();
    for (int i = 0; i < 200; ++i) {
      if (i % 7 == 3) {
        list.Append();
        expected.emplace_back(sizeof(TDrawItem), 0);
        continue;
      }
      unsigned char* at = bytes + (i % 2 ? 8 : 0);  // 16-aligned or not
      for (size_t k = 0; k < sizeof(TDrawItem); ++k) at[k] = static_cast<unsigned char>(i * 31 + k);
      alignas(16) TDrawItem item;
      std::memcpy(static_cast<void*>(&item), at, sizeof item);
      if (i % 2) {
        list.Append(*reinterpret_cast<const TDrawItem*>(at));
      } else {
        list.Append(item);
      }
      expected.emplace_back(at, at + sizeof(TDrawItem));
    }
    ASSERT_EQ(list.Count(), 200);
    for (int i = 0; i < 200; ++i)
      EXPECT_EQ(
          std::memcmp(&list.Item(i), expected[static_cast<size_t>(i)].data(), sizeof(TDrawItem)), 0)
          << "round " << round << " item " << i;
  }
}

TEST(DisplayList, ClearReleasesAndTheNextAppendAllocatesAfresh) {
  TDisplayList list;
  list.SetAllocSize(10);
  for (int i = 0; i < 25; ++i) list.Append();
  EXPECT_EQ(list.Capacity(), 30);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  list.Append();
  EXPECT_EQ(list.Capacity(), 10);
}

TEST(DisplayList, LargeListsKeepEveryItemAcrossGrowthAndCopies) {
  // Beyond a few megabytes the array lives in its own page mapping.
  TDisplayList list;
  list.SetAllocSize(1);
  for (int i = 0; i < 60000; ++i) list.Append().X1 = i;
  EXPECT_EQ(list.Capacity(), 60000);
  TDisplayList copy, shared;
  copy.CopyFrom(list);
  shared.ShareFrom(list);
  shared.MakePrivate();
  list.Clear();
  for (const TDisplayList* l : {&copy, &shared}) {
    ASSERT_EQ(l->Count(), 60000);
    for (int i = 0; i < 60000; i += 997) ASSERT_EQ(l->Item(i).X1, i);
    EXPECT_EQ(l->Item(59999).X1, 59999);
  }
  copy.Append().X1 = -1;
  EXPECT_EQ(copy.Item(60000).X1, -1);
  EXPECT_EQ(copy.Item(59999).X1, 59999);
}

TEST(ShortText, KeepsAtMostSeventeenBytesAndWholeCharacters) {
  EXPECT_EQ(TShortText::From("Net exports").View(), "Net exports");
  EXPECT_EQ(TShortText::From("12345678901234567").View(), "12345678901234567");
  EXPECT_EQ(TShortText::From("123456789012345678901").View(), "12345678901234567");
  // Nine two-byte characters need 18 bytes: only eight fit.
  EXPECT_EQ(TShortText::From("ééééééééé").View(), "éééééééé");
  // A three-byte character starting at byte 16 is dropped whole.
  EXPECT_EQ(TShortText::From("abcdefghijklmnop€").View(), "abcdefghijklmnop");
  EXPECT_EQ(TShortText::From("abcdefghijklmno€").View(), "abcdefghijklmno");
  EXPECT_EQ(TShortText::From("abcdefghijklmn€").View(), "abcdefghijklmn€");
  EXPECT_EQ(TShortText::From("").View(), "");
}

TEST(DisplayListSharing, SharedArrayIsOneArrayUntilMadePrivate) {
  TDisplayList a, b;
  a.Append().X1 = 1;
  b.ShareFrom(a);
  EXPECT_TRUE(b.SharesArrayWith(a));
  EXPECT_EQ(b.Count(), 1);
  b.Append().X1 = 2;  // appended through the other member
  a.ShareFrom(b);     // what propagation does
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a.Item(1).X1, 2);
  b.MakePrivate();
  EXPECT_FALSE(b.SharesArrayWith(a));
  b.Append().X1 = 3;
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(b.Count(), 3);
  EXPECT_EQ(b.Item(0).X1, 1);
}

TEST(DisplayListSharing, AMemberWithAStaleCountNeverReadsOrWritesOutsideTheArray) {
  TDisplayList a, b;
  for (int i = 0; i < 5; ++i) a.Append().X1 = i;
  b.ShareFrom(a);
  a.Clear();  // a releases its reference; b still holds the old array
  EXPECT_EQ(b.Count(), 5);
  EXPECT_EQ(b.Items().size(), 5u);
  b.Append().X1 = 99;
  EXPECT_EQ(b.Count(), 6);
  EXPECT_EQ(b.Item(5).X1, 99);
}

TEST(DisplayListSharing, CopyFromTakesAPrivateCopyWithTheCapacityFigure) {
  TDisplayList a, b;
  a.SetAllocSize(7);
  for (int i = 0; i < 5; ++i) a.Append().Y2 = i;
  b.CopyFrom(a);
  EXPECT_FALSE(b.SharesArrayWith(a));
  EXPECT_EQ(b.Count(), 5);
  EXPECT_EQ(b.Capacity(), 7);
  EXPECT_EQ(b.AllocSize(), 7);
  a.Clear();
  EXPECT_EQ(b.Item(4).Y2, 4);
}

}  // namespace
