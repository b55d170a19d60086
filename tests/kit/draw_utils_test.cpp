#include "kit/draw_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlue = 0xFF0000;

// Width of a text when every character is 10 pixels wide, recording each text measured.
struct FixedWidth {
  std::vector<std::string> measured;
  int operator()(const std::string& s) {
    measured.push_back(s);
    return static_cast<int>(s.size()) * 10;
  }
};

}  // namespace

TEST(MulDivRound, RoundsHalvesAwayFromZeroAndFailsLikeTheSystem) {
  EXPECT_EQ(1, MulDivRound(1, 1, 2));
  EXPECT_EQ(-1, MulDivRound(1, -1, 2));
  EXPECT_EQ(-4, MulDivRound(1, -255, 63));
  EXPECT_EQ(2000000000, MulDivRound(2000000000, 2000000000, 2000000000));  // 64-bit product
  EXPECT_EQ(-1, MulDivRound(5, 5, 0));
  EXPECT_EQ(-1, MulDivRound(2000000000, 4, 2));  // result does not fit
}

TEST(GradientBands, OneBandPerColourThenTheFarColour) {
  // 64 colours on 100 rows: 64 bands of one row, rows 64..99 in the end colour.
  std::vector<TGradientBand> bands = GradientBands(0, 0, 20, 100, kRed, kBlue, gdTopToBottom, 64);
  ASSERT_EQ(65u, bands.size());
  EXPECT_EQ(kRed, bands[0].Color);
  EXPECT_EQ(1, bands[0].Bottom);
  EXPECT_EQ(20, bands[0].Right);
  EXPECT_EQ(0x0400FB, bands[1].Color);  // 255 - 255 * 1 / 63 rounds to 251
  EXPECT_EQ(kBlue, bands[63].Color);
  EXPECT_EQ(64, bands[64].Top);
  EXPECT_EQ(100, bands[64].Bottom);
  EXPECT_EQ(kBlue | kPaletteRelativeFlag, bands[64].Color);

  // More colours than rows: one band per row, nothing left over.
  EXPECT_EQ(10u, GradientBands(5, 10, 25, 20, kRed, kBlue, gdTopToBottom, 255).size());
  // 3 colours on 10 rows: bands of 3 rows and one row left.
  bands = GradientBands(0, 0, 4, 10, 0x000000, 0x0000FE, gdTopToBottom, 3);
  ASSERT_EQ(4u, bands.size());
  EXPECT_EQ(3, bands[1].Top);
  EXPECT_EQ(0x00007F, bands[1].Color);
  // No colours at all: the start colour over the whole extent.
  bands = GradientBands(0, 0, 3, 7, kRed, kBlue, gdTopToBottom, 0);
  ASSERT_EQ(1u, bands.size());
  EXPECT_EQ(7, bands[0].Bottom);
}

TEST(GradientBands, DirectionsDecideOrientationAndOrder) {
  std::vector<TGradientBand> bands = GradientBands(0, 0, 10, 4, kRed, kBlue, gdBottomToTop, 4);
  EXPECT_EQ(kBlue, bands[0].Color);  // the end colour at the top
  EXPECT_EQ(kRed, bands[3].Color);

  bands = GradientBands(0, 0, 5, 10, kRed, kBlue, gdRightToLeft, 2);
  ASSERT_EQ(3u, bands.size());
  EXPECT_EQ(2, bands[1].Left);
  EXPECT_EQ(4, bands[1].Right);
  EXPECT_EQ(10, bands[1].Bottom);
  EXPECT_EQ(kBlue, bands[0].Color);
  EXPECT_EQ(kRed | kPaletteRelativeFlag, bands[2].Color);  // the start colour at the far right

  EXPECT_TRUE(GradientBands(0, 0, 0, 10, kRed, kBlue, gdTopToBottom, 8).empty());
  EXPECT_TRUE(GradientBands(0, 10, 10, 5, kRed, kBlue, gdTopToBottom, 8).empty());
  EXPECT_TRUE(GradientBands(0, 0, 10, 10, kRed, kBlue, 4, 8).empty());
}

TEST(ShortenTextToWidth, CutsFromTheEndUntilTheTextFits) {
  FixedWidth width;
  EXPECT_EQ("abcdef", ShortenTextToWidth("abcdef", std::ref(width), 60));
  EXPECT_EQ("ab...", ShortenTextToWidth("abcdef", std::ref(width), 59));
  EXPECT_EQ((std::vector<std::string>{"abcdef", "abcdef", "abcd...", "abc...", "ab..."}), width.measured);

  // Nothing fits: every length down to "..." alone, which is returned though too wide.
  width = FixedWidth();
  EXPECT_EQ("...", ShortenTextToWidth("abcdef", std::ref(width), 5));
  EXPECT_EQ(6u, width.measured.size());
  EXPECT_EQ("...", ShortenTextToWidth("x", std::ref(width), 5));
  EXPECT_EQ("", ShortenTextToWidth("", std::ref(width), -1));
}

TEST(CellText, PositionFlagsAndVerticalOffset) {
  EXPECT_EQ(12, CellTextX(10, 110, 2, 30, kAlignLeft));
  EXPECT_EQ(110 - 30 - 3, CellTextX(10, 110, 2, 30, kAlignRight));
  EXPECT_EQ(10 + 50 - 15, CellTextX(10, 111, 2, 31, kAlignCenter));  // halves truncated
  EXPECT_EQ(kAlignRight, MirroredAlignment(kAlignLeft));
  EXPECT_EQ(kAlignCenter, MirroredAlignment(kAlignCenter));

  EXPECT_EQ(0x840u, CellTextFlags(kAlignLeft, false, false));
  EXPECT_EQ(0x842u, CellTextFlags(kAlignRight, false, false));
  EXPECT_EQ(0x841u | 0x10u | 0x20000u, CellTextFlags(kAlignCenter, true, true));

  EXPECT_EQ(2, CellTextOffsetY(0, 18, 13));
  EXPECT_EQ(2, CellTextOffsetY(1, 18, 13));
  EXPECT_EQ(1, CellTextOffsetY(1, 14, 13));
  EXPECT_EQ(1, CellTextOffsetY(1, 10, 13));  // never above 1
  EXPECT_EQ(5, CellTextOffsetY(2, 18, 13));
  EXPECT_EQ(2, CellTextOffsetY(2, 14, 13));
}

TEST(GetParamToken, ReadsQuotedAndPlainTokens) {
  std::string token;
  const char* p = GetParamToken("  \"C:\\Program Files\\hl.exe\" /min", token);
  EXPECT_EQ("C:\\Program Files\\hl.exe", token);
  p = GetParamToken(p, token);
  EXPECT_EQ("/min", token);
  EXPECT_EQ('\0', *p);
  GetParamToken(p, token);
  EXPECT_EQ("", token);

  GetParamToken("a\"b c\"d e", token);
  EXPECT_EQ("ab cd", token);
  GetParamToken(" \"\" \"\"x y", token);  // empty quote pairs before a token
  EXPECT_EQ("x", token);
  GetParamToken("\"open end", token);
  EXPECT_EQ("open end", token);
  GetParamToken("\xE9t\xE9 x", token);  // bytes above 127 belong to the token
  EXPECT_EQ("\xE9t\xE9", token);
  const std::string longPath(300, 'p');  // no length limit
  GetParamToken(("\"" + longPath + "\"").c_str(), token);
  EXPECT_EQ(longPath, token);

  const char* line = "prog.exe one \"two 2\" three";
  EXPECT_EQ(4, CountParamTokens(line));
  EXPECT_EQ(0, CountParamTokens("   "));
  GetParamTokenN(line, 2, token);
  EXPECT_EQ("two 2", token);
  GetParamTokenN(line, 4, token);
  EXPECT_EQ("", token);
}

TEST(SplitCommandLine, SeparatesTheProgramFromItsParameters) {
  std::string fileName = "old";
  std::string params = "old";
  SplitCommandLine("hl.exe \"my file.txt\" -x", fileName, params);
  EXPECT_EQ("hl.exe", fileName);
  EXPECT_EQ("\"my file.txt\" -x", params);

  // A token holding a tab keeps its quotes too, so the parameters split the same way again.
  SplitCommandLine("\"a b.exe\" \"x\ty\"", fileName, params);
  EXPECT_EQ("a b.exe", fileName);
  EXPECT_EQ("\"x\ty\"", params);

  SplitCommandLine("   ", fileName, params);
  EXPECT_EQ("", fileName);
  EXPECT_EQ("", params);
}
