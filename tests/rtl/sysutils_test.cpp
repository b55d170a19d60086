#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "tests/rtl/file_fixtures.h"

TEST(SysUtilsIntegers, AcceptOnlySignAndDigitsWithinRange) {
  EXPECT_EQ(StrToInt("123"), 123);
  EXPECT_EQ(StrToInt("-45"), -45);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  for (const char* bad : {"", "-", "+", " 1", "1 ", "1a", "0x10", "2147483648", "-2147483649",
                          "1.0", "--1"})
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  try {
    StrToInt("12x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12x' is not a valid integer value");
  }
  EXPECT_EQ(StrToIntDef("oops", 9), 9);
  int value = 5;
  EXPECT_FALSE(TryStrToInt("99999999999", value));
  EXPECT_EQ(value, 5);

  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("-9223372036854775809", -1), -1);
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(SysUtilsFloats, GeneralFormatWithChosenSeparatorRoundTrips) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(1234.5, ','), "1234,5");
  EXPECT_EQ(FloatToStr(-2), "-2");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
  for (double x : {0.1, 0.333333333333333, 123456.789, -1e-300, 6.02214076e23, 0.000123})
    EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(x, ','), ','), x) << x;

  EXPECT_DOUBLE_EQ(StrToFloat("1,5", ','), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("2."), 2.0);
  EXPECT_DOUBLE_EQ(StrToFloat("+1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1E-2"), 0.01);
  for (const char* bad : {"", ".", "e3", "1e", "1e+", " 1", "1 ", "1.5.2", "1,5", "INF", "1e999"})
    EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
  EXPECT_THROW(StrToFloat("1.5", ','), EConvertError);
  double value = 7;
  EXPECT_FALSE(TryStrToFloat("x", value));
  EXPECT_EQ(value, 7);
}

TEST(SysUtilsText, TrimAndAsciiCaseWorkOnBytes) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \x01"), "  a");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // high bytes are text, not blanks
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(UpperCase("abc\xE9z"), "ABC\xE9Z");
  EXPECT_EQ(LowerCase("ABC\xC9Z"), "abc\xC9z");
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_LT(CompareText("ab", "AB\x01"), 0);
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("Hello", "Hell"));
}

TEST(SysUtilsText, ReplacePosAndQuote) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("Foo foo FOO", "foo", "x", rfReplaceAll), "Foo x FOO");
  EXPECT_EQ(StringReplace("Foo foo FOO", "foo", "x", rfReplaceAll | rfIgnoreCase), "x x x");
  EXPECT_EQ(StringReplace("aa", "a", "aa", rfReplaceAll), "aaaa");  // no re-scan of output
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_EQ(Pos("c", "abcc"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
}

TEST(SysUtilsLocale, CaseInsensitiveCompareAndMapping) {
  EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
  EXPECT_TRUE(AnsiSameText("Program Files", "PROGRAM FILES"));
  EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
  EXPECT_LT(AnsiCompareText("abc", "abd"), 0);
  EXPECT_GT(AnsiCompareText("abcd", "ABC"), 0);
  EXPECT_EQ(AnsiUpperCase("path\\file.exe"), "PATH\\FILE.EXE");
  EXPECT_EQ(AnsiLowerCase("PATH\\FILE.EXE"), "path\\file.exe");
#ifndef _WIN32
  // The fixed Windows-1252 fold: accented letters, the three caron pairs and y diaeresis;
  // the multiplication and division signs have no case.
  EXPECT_EQ(AnsiUpperCase("\xE9\xFF\x9A\x9C\x9E\xF7\xDF"), "\xC9\x9F\x8A\x8C\x8E\xF7\xDF");
  EXPECT_EQ(AnsiLowerCase("\xC9\x9F\x8A\xD7"), "\xE9\xFF\x9A\xD7");
  EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
  EXPECT_NE(AnsiCompareText("\xD7", "\xF7"), 0);
  // Bytes compare unsigned: 0xE9 sorts after every ASCII letter.
  EXPECT_GT(AnsiCompareText("\xE9", "z"), 0);
  EXPECT_GT(AnsiCompareStr("\xE9", "z"), 0);
  EXPECT_LT(AnsiCompareStr("ABC", "abc"), 0);
#endif
}

TEST(SysUtilsFileNames, SplitAtBothSlashesAndDrive) {
  EXPECT_EQ(ExtractFilePath("C:\\dir\\file.txt"), "C:\\dir\\");
  EXPECT_EQ(ExtractFilePath("dir/sub/file"), "dir/sub/");
  EXPECT_EQ(ExtractFilePath("file"), "");
  EXPECT_EQ(ExtractFileName("C:\\dir/file.txt"), "file.txt");
  EXPECT_EQ(ExtractFileName("C:file.txt"), "file.txt");
  EXPECT_EQ(ExtractFileDir("C:\\dir\\file.txt"), "C:\\dir");
  EXPECT_EQ(ExtractFileDir("C:\\file.txt"), "C:\\");
  EXPECT_EQ(ExtractFileDir("\\file.txt"), "\\");
  EXPECT_EQ(ExtractFileExt("C:\\dir\\file.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("C:\\dir.d\\file"), "");
  EXPECT_EQ(ChangeFileExt("C:\\dir\\Hourlark.exe", ".INI"), "C:\\dir\\Hourlark.INI");
  EXPECT_EQ(ChangeFileExt("C:\\dir.d\\file", ".ini"), "C:\\dir.d\\file.ini");
  EXPECT_EQ(ChangeFileExt("a.txt", ""), "a");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\dir"), "C:\\dir\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:/dir/"), "C:/dir/");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\dir\\"), "C:\\dir");
  EXPECT_EQ(ExcludeTrailingBackslash("dir/"), "dir");
  EXPECT_EQ(ExcludeTrailingBackslash("dir"), "dir");
}

TEST(SysUtilsFiles, ExistDeleteAndRename) {
  TempFolder folder;
  const std::string a = folder.File("a.txt"), b = folder.File("b.txt");
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(DirectoryExists(folder.Path()));
  EXPECT_FALSE(FileExists(folder.Path()));
  WriteBytes(a, "A");
  WriteBytes(b, "B");
  EXPECT_TRUE(FileExists(a));
  EXPECT_FALSE(DirectoryExists(a));
  EXPECT_FALSE(RenameFile(a, b));  // an existing target is never overwritten
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(DeleteFile(b));
  EXPECT_TRUE(RenameFile(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(ReadBytes(b), "A");
  EXPECT_FALSE(DeleteFile(folder.Path()));
  EXPECT_FALSE(SysErrorMessage(2).empty());
}
