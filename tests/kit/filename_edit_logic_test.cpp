// The file-name edit's text rules: the name a text stands for, quoting, which names are
// acceptable, and the dialog's filter and result buffers.

#include "kit/filename_edit_logic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(FileNameText, ExistingFileWithBlanksIsTakenWhole) {
  const auto dir = std::filesystem::temp_directory_path() / "hl filename test";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "my song.wav").string();
  std::ofstream(file) << "x";
  EXPECT_EQ(ClippedFileName(file), file);
  std::filesystem::remove_all(dir);
  // Gone: the text is a command line again, and its first token is the name.
  EXPECT_EQ(ClippedFileName(file), (std::filesystem::temp_directory_path() / "hl").string());
}

TEST(FileNameText, CommandLineTextYieldsItsFirstToken) {
  EXPECT_EQ(ClippedFileName("C:\\nothing\\here.exe -x -y"), "C:\\nothing\\here.exe");
  EXPECT_EQ(ClippedFileName("\"C:\\My Music\\a.wav\" /play"), "C:\\My Music\\a.wav");
  EXPECT_EQ(ClippedFileName(""), "");
}

TEST(FileNameText, QuotesOnlyNamesWithBlanksNotYetQuoted) {
  EXPECT_EQ(QuotedFileName("C:\\My Music\\a.wav"), "\"C:\\My Music\\a.wav\"");
  EXPECT_EQ(QuotedFileName("C:\\Music\\a.wav"), "C:\\Music\\a.wav");
  EXPECT_EQ(QuotedFileName("\"C:\\My Music\\a.wav\""), "\"C:\\My Music\\a.wav\"");
  EXPECT_EQ(QuotedFileName(""), "");
}

TEST(FileNameText, AcceptsWhatTheSystemAcceptsIncludingBrackets) {
  EXPECT_TRUE(AcceptableFileName("C:\\Music\\song [live].wav"));
  EXPECT_TRUE(AcceptableFileName("..\\a b\\c.txt"));
  for (const char* bad : {"", "a<b", "a>b", "a\"b", "a|b", "a?.txt", "*.wav", "a\tb"})
    EXPECT_FALSE(AcceptableFileName(bad)) << bad;
}

TEST(FileDialogBuffers, FilterPartsEndInNulsAndResultsJoinTheFolder) {
  const std::string buffer = DialogFilterBuffer("All (*.*)|*.*|Sounds|*.wav");
  const char expected[] = "All (*.*)\0*.*\0Sounds\0*.wav\0";  // the literal adds the last NUL
  EXPECT_EQ(buffer, std::string(expected, sizeof expected));

  const char single[] = "C:\\a\\b.wav\0\0";
  EXPECT_EQ(DialogResultNames(single, sizeof single), std::vector<std::string>{"C:\\a\\b.wav"});
  const char several[] = "C:\\a\0one.wav\0two.wav\0\0";
  EXPECT_EQ(DialogResultNames(several, sizeof several),
            (std::vector<std::string>{"C:\\a\\one.wav", "C:\\a\\two.wav"}));
  // A buffer without its closing NULs is read no further than its size.
  const char cut[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(DialogResultNames(cut, sizeof cut), std::vector<std::string>{"abcd"});
}

}  // namespace
