#include "kit/str_utils.h"

#include <gtest/gtest.h>

#include "kit/file_utils.h"

TEST(StrUtils, ReplaceAllTextNeverSearchesAReplacementAgain) {
  EXPECT_EQ(ReplaceAllText("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAllText("abab", "a", "aa"), "aabaab");
  EXPECT_EQ(ReplaceAllText("xAx", "a", "-"), "xAx");  // case-sensitive
  EXPECT_EQ(ReplaceAllText("text", "", "z"), "text");
  EXPECT_EQ(ReplaceAllText("a.b.c", ".", ""), "abc");
}

TEST(StrUtils, WordsAreRunsOutsideTheDelimiters) {
  EXPECT_EQ(CountWords(",,", ","), 0);
  EXPECT_EQ(CountWords("", ","), 0);
  EXPECT_EQ(CountWords("[fsBold, fsItalic]", " ,[]"), 2);
  EXPECT_EQ(CountWords("10,20,,30", ","), 3);

  EXPECT_EQ(GetWord(1, "[fsBold, fsItalic]", " ,[]"), "fsBold");
  EXPECT_EQ(GetWord(2, "[fsBold, fsItalic]", " ,[]"), "fsItalic");
  EXPECT_EQ(GetWord(3, "one two", " "), "");
  EXPECT_EQ(GetWord(0, "one two", " "), "");
  EXPECT_EQ(GetWord(2, "a b", " "), "b");  // a word at the very end

  EXPECT_EQ(FindWordStart(2, "  ab  cd", " "), 7);
  EXPECT_EQ(FindWordStart(3, "  ab  cd", " "), 0);
  EXPECT_EQ(FindWordStart(-1, "ab", " "), 0);
}

TEST(StrUtils, CharacterSetsCompareBytesUnsigned) {
  EXPECT_TRUE(IsAllInCharSet("", "abc"));
  EXPECT_TRUE(IsAllInCharSet("cab", "abc"));
  EXPECT_FALSE(IsAllInCharSet("cabd", "abc"));
  EXPECT_TRUE(IsAllInCharSet("\xE9\xE9", "\xE9"));
  EXPECT_FALSE(IsAllInCharSet("\xE9", "\x69"));
  EXPECT_EQ(RepeatChar('*', 3), "***");
  EXPECT_EQ(RepeatChar('*', 0), "");
  EXPECT_EQ(RepeatChar('*', -4), "");
}

TEST(FileUtils, FileNamesRefuseTheReservedCharacters) {
  EXPECT_FALSE(IsValidFileName(""));
  EXPECT_FALSE(IsValidFileName("a|b"));
  EXPECT_FALSE(IsValidFileName("say \"hi\""));
  EXPECT_FALSE(IsValidFileName("[x]"));
  EXPECT_FALSE(IsValidFileName("a<b"));
  EXPECT_TRUE(IsValidFileName("C:\\Program Files\\Hourlark\\notes.txt"));
  EXPECT_TRUE(ContainsAnyChar("abc", "xc"));
  EXPECT_FALSE(ContainsAnyChar("abc", ""));
  EXPECT_TRUE(DirectoryPresent("."));
  EXPECT_FALSE(DirectoryPresent("no such folder here"));
}
