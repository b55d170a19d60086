// Cuts, searches, path names and case folding on a double-byte code page: a lead byte and its
// trail byte stay together, and a trail byte never counts as '\', '|', '[' or a letter.

#include <functional>
#include <string>

#include "platform/rtl/sysutils.h"
#include "tests/support/code_page_932.h"

namespace {

class DoubleByteText : public CodePage932Test {};

TEST_F(DoubleByteText, CutsEndOnACharacterBoundary) {
  struct Case {
    std::string text;
    size_t maxBytes;
    std::string cut;
  } cases[] = {
      {"ab" CP932_HYO "c", 3, "ab"},
      {"ab" CP932_HYO "c", 4, "ab" CP932_HYO},
      {CP932_PO CP932_PO, 3, CP932_PO},
      {CP932_PO CP932_PO, 1, ""},
      {"abc", 2, "ab"},
      {"abc", 10, "abc"},
      // A lead byte without its trail byte at the end counts as a character of its own.
      {"a\x95", 2, "a\x95"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.cut, AnsiLeftBytes(c.text, c.maxBytes)) << c.maxBytes;
  EXPECT_EQ("a" CP932_ZE, AnsiDropLastChars("a" CP932_ZE CP932_A "b", 2));
  EXPECT_EQ(4u, AnsiCharCount("a" CP932_ZE CP932_A "b"));
}

TEST_F(DoubleByteText, SearchesFindOnlyWholeCharacters) {
  const std::string text = "x" CP932_PO "|" CP932_HYO "\\" CP932_ZE;
  EXPECT_EQ(3u, AnsiFind(text, '|'));
  EXPECT_EQ(6u, AnsiFindLastOf(text, "\\"));
  EXPECT_EQ(std::string::npos, AnsiFindLastOf(CP932_ZE, "["));
  EXPECT_EQ(std::string::npos, AnsiFindText(CP932_A "B", "AB"));
  EXPECT_EQ(0, Pos("|", CP932_PO));
  EXPECT_EQ(3, Pos("|", CP932_PO "|"));
  EXPECT_FALSE(AnsiEndsWith(CP932_HYO, '\\'));
  EXPECT_TRUE(AnsiEndsWith(CP932_HYO "\\", '\\'));
  EXPECT_EQ(CP932_PO "-", StringReplace(CP932_PO "|", "|", "-", rfReplaceAll));
}

TEST_F(DoubleByteText, PathHelpersTakeNoTrailByteForADelimiter) {
  using Helper = std::function<std::string(const std::string&)>;
  struct Case {
    const char* name;
    Helper helper;
    std::string path;
    std::string expected;
  } cases[] = {
      {"ExtractFileName", ExtractFileName, "C:\\tool\\" CP932_HYO ".exe", CP932_HYO ".exe"},
      {"ExtractFileName", ExtractFileName, CP932_HYO CP932_HYO, CP932_HYO CP932_HYO},
      {"ExtractFilePath", ExtractFilePath, "C:\\" CP932_HYO "\\a" CP932_HYO ".txt", "C:\\" CP932_HYO "\\"},
      {"ExtractFilePath", ExtractFilePath, "C:\\tool\\" CP932_HYO, "C:\\tool\\"},
      {"ExtractFileDir", ExtractFileDir, "C:\\" CP932_HYO "\\a.txt", "C:\\" CP932_HYO},
      {"ExtractFileExt", ExtractFileExt, "a." CP932_HYO, "." CP932_HYO},
      {"IncludeTrailingBackslash", IncludeTrailingBackslash, "C:\\" CP932_HYO, "C:\\" CP932_HYO "\\"},
      {"IncludeTrailingBackslash", IncludeTrailingBackslash, "C:\\" CP932_HYO "\\", "C:\\" CP932_HYO "\\"},
      {"ExcludeTrailingBackslash", ExcludeTrailingBackslash, "C:\\" CP932_HYO, "C:\\" CP932_HYO},
      {"ExcludeTrailingBackslash", ExcludeTrailingBackslash, "C:\\" CP932_HYO "\\", "C:\\" CP932_HYO},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.helper(c.path)) << c.name << " of " << c.path;
}

TEST_F(DoubleByteText, CaseFoldingLeavesTrailBytesAlone) {
  EXPECT_EQ(CP932_DI "A", UpperCase(CP932_DI "a"));
  EXPECT_EQ(CP932_A "a", LowerCase(CP932_A "A"));
  EXPECT_FALSE(SameText(CP932_A, CP932_DI));
  EXPECT_NE(0, CompareText(CP932_A, CP932_DI));
  EXPECT_TRUE(SameText(CP932_A "x", CP932_A "X"));
  EXPECT_EQ(CP932_DI "A", AnsiUpperCase(CP932_DI "a"));
}

// Under a Wine started with code page 932 the table the process starts with is the system's,
// read from the system: the same as the one the other cases play.
TEST_F(DoubleByteText, SystemTableIsReadFromTheSystem) {
  if (!RunsUnderCodePage932()) GTEST_SKIP() << "needs a system running code page 932";
  EXPECT_EQ(CodePage932LeadBytes(), SystemAnsiLeadBytes());
}

}  // namespace
