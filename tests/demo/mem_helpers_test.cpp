#include "demo/mem_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MemHelpers, AllocZeroedGivesZerosOrNothing) {
  EXPECT_EQ(AllocZeroed(0), nullptr);
  EXPECT_EQ(AllocZeroed(-5), nullptr);
  void* block = AllocZeroed(37);
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 37; ++i) EXPECT_EQ(static_cast<uint8_t*>(block)[i], 0);
  FreeAndClear(block);
  EXPECT_EQ(block, nullptr);
  FreeAndClear(block);  // a cleared pointer is left alone
  EXPECT_EQ(block, nullptr);
}

TEST(MemHelpers, SameBytesComparesExactlyTheCount) {
  const char a[] = "NETSCAPE2.0x";
  const char b[] = "NETSCAPE2.0y";
  for (int count = 0; count <= 11; ++count) EXPECT_TRUE(SameBytes(a, b, count)) << count;
  EXPECT_FALSE(SameBytes(a, b, 12));
  EXPECT_FALSE(SameBytes("abcdefg", "abcdefh", 7));
  EXPECT_TRUE(SameBytes(a, b, -1));
}

TEST(MemHelpers, CopyBytesMovesOverlappingAreasAndOffsetsGoBothWays) {
  char text[] = "0123456789";
  CopyBytes(OffsetPointer(text, 2), text, 6);
  EXPECT_STREQ(text, "0101234589");
  CopyBytes(text, OffsetPointer(text, 4), 5);
  EXPECT_STREQ(text, "2345834589");
  EXPECT_EQ(OffsetPointer(OffsetPointer(text, 7), -7), static_cast<void*>(text));
}
