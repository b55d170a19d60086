#include "kit/glyph_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Every character 6 pixels wide, lines 13 pixels high; no word wrapping.
int Width6(const std::string& s) { return static_cast<int>(s.size()) * 6; }
TGlyphPoint Measure6(const std::string& s, int) {
  int lines = 1;
  int longest = 0;
  int current = 0;
  for (char c : s) {
    if (c == '\n') {
      ++lines;
      current = 0;
    } else if (c != '\r') {
      longest = std::max(longest, ++current);
    }
  }
  return TGlyphPoint{longest * 6, lines * 13};
}

TButtonLayoutResult Layout(TGlyphRect client, const std::string& caption, TButtonLayout layout, int margin,
                           int spacing, bool mark, int gw, int gh) {
  return CalcButtonLayout(client, caption, layout, margin, spacing, mark, gw, gh, false, Width6, Measure6);
}

}  // namespace

TEST(GlyphSource, EachStateFindsItsCellOrADerivedImage) {
  // One cell: down shows up, disabled is embossed, inactive is cell 0 in grey.
  EXPECT_EQ(bsUp, GlyphSourceFor(bsDown, 1).State);
  EXPECT_EQ(0, GlyphSourceFor(bsDown, 1).Cell);
  EXPECT_EQ(gmEmboss, GlyphSourceFor(bsDisabled, 1).Method);
  EXPECT_EQ(gmGrey, GlyphSourceFor(bsInactive, 1).Method);
  EXPECT_EQ(0, GlyphSourceFor(bsExclusive, 1).Cell);
  // Two cells: disabled is cell 1 as it is; down still shows up.
  EXPECT_EQ(gmCopy, GlyphSourceFor(bsDisabled, 2).Method);
  EXPECT_EQ(1, GlyphSourceFor(bsDisabled, 2).Cell);
  EXPECT_EQ(bsUp, GlyphSourceFor(bsDown, 2).State);
  // Three cells: down has its own cell; exclusive has none yet.
  EXPECT_EQ(bsDown, GlyphSourceFor(bsDown, 3).State);
  EXPECT_EQ(2, GlyphSourceFor(bsDown, 3).Cell);
  EXPECT_EQ(0, GlyphSourceFor(bsExclusive, 3).Cell);
  EXPECT_EQ(3, GlyphSourceFor(bsExclusive, 4).Cell);
  // Only five cells give the inactive state a cell of its own.
  EXPECT_EQ(gmGrey, GlyphSourceFor(bsInactive, 4).Method);
  EXPECT_EQ(gmCopy, GlyphSourceFor(bsInactive, 5).Method);
  EXPECT_EQ(4, GlyphSourceFor(bsInactive, 5).Cell);
}

TEST(GlyphCells, CountFollowsTheBitmapShapeAndNeverLeavesOneToFive) {
  EXPECT_EQ(4, NumGlyphsForBitmap(64, 16, 1));
  EXPECT_EQ(1, NumGlyphsForBitmap(96, 16, 3));  // six cells are more than a button has
  EXPECT_EQ(3, NumGlyphsForBitmap(20, 16, 3));  // not a whole multiple: unchanged
  // A bitmap without width is a multiple of any height, yet holds no cell.
  EXPECT_EQ(2, NumGlyphsForBitmap(0, 16, 2));
  EXPECT_EQ(2, NumGlyphsForBitmap(16, 0, 2));

  EXPECT_EQ(5, ClampNumGlyphs(7, 1));
  EXPECT_EQ(3, ClampNumGlyphs(0, 3));
  EXPECT_EQ(3, ClampNumGlyphs(-4, 3));
  EXPECT_EQ(2, ClampNumGlyphs(2, 3));

  // A bitmap narrower than its cells has cells of no width, not a division by zero.
  EXPECT_EQ(0, GlyphCellWidth(3, 5));
  EXPECT_EQ(0, GlyphCellWidth(0, 1));
  EXPECT_EQ(0, GlyphCellWidth(16, 0));
  EXPECT_EQ(16, GlyphCellWidth(64, 4));
}

TEST(MapColor, GreysByLuminanceButKeepsTransparentAndFace) {
  const TColor face = 0xC0C0C0;
  const TColor fuchsia = 0xFF00FF;
  EXPECT_EQ(fuchsia, MapColor(fuchsia, fuchsia, face));
  EXPECT_EQ(face, MapColor(face, fuchsia, face));
  EXPECT_EQ(0x4C4C4C, MapColor(0x0000FF, fuchsia, face));  // red: 255 * 77 / 256 = 76
  EXPECT_EQ(0x959595, MapColor(0x00FF00, fuchsia, face));  // green: 149
  EXPECT_EQ(0x1C1C1C, MapColor(0xFF0000, fuchsia, face));  // blue: 28
  EXPECT_EQ(0xFFFFFF, MapColor(0xFFFFFF, fuchsia, face));
  // Only the colour bits count, so a palette-relative transparent colour still matches.
  EXPECT_EQ(0x00FF00, MapColor(0x00FF00, 0x0200FF00, face));
}

TEST(MinimizeCaption, ShortensEachLineAndTrimsTheEnd) {
  // Each line shortened with "..." on its own.
  EXPECT_EQ("abcd...\r\nxyz", MinimizeCaption("abcdefghij\nxyz", 42, false, Width6));
  EXPECT_EQ("ab...\r\nuv...", MinimizeCaption("abcdefgh\r\nuvwxyz", 30, false, Width6));
  // Trailing blanks and empty lines go.
  EXPECT_EQ("Ok", MinimizeCaption("Ok  \r\n\r\n", 100, false, Width6));
  // Word wrapping keeps the lines whole; everything is cut to 255 characters.
  EXPECT_EQ("abcdefghij", MinimizeCaption("abcdefghij", 12, true, Width6));
  EXPECT_EQ(255u, MinimizeCaption(std::string(300, 'x'), 10000, false, Width6).size());
  EXPECT_EQ(255u, MinimizeCaption(std::string(300, 'x'), 10, true, Width6).size());
}

TEST(CalcButtonLayout, CentresAndSpacesGlyphAndText) {
  // Glyph left, 25 x 25 button, 16 x 16 glyph, no caption, Margin -1, Spacing 1.
  TButtonLayoutResult r = Layout({0, 0, 25, 25}, "", blGlyphLeft, -1, 1, false, 16, 16);
  EXPECT_EQ((TGlyphPoint{4, 4}), r.GlyphPos);
  EXPECT_EQ(0, r.TextBounds.Width());

  // Three equal gaps: 100 wide, glyph 16, text 30 (5 characters).
  r = Layout({0, 0, 100, 30}, "abcde", blGlyphLeft, -1, -1, false, 16, 16);
  EXPECT_EQ(18, r.GlyphPos.X);
  EXPECT_EQ(52, r.TextBounds.Left);
  EXPECT_EQ(82, r.TextBounds.Right);
  EXPECT_EQ(15 - 13 / 2, r.TextBounds.Top);

  // Glyph right with a given margin: text centred in the rest.
  r = Layout({0, 0, 100, 30}, "abcde", blGlyphRight, 4, -1, false, 16, 16);
  EXPECT_EQ(80, r.GlyphPos.X);
  // Spacing = (100 - 4 - 16) / 2 - 30 / 2 = 25: the text ends 25 before the glyph.
  EXPECT_EQ(25, r.TextBounds.Left);
  EXPECT_EQ(55, r.TextBounds.Right);

  // Glyph top: block of glyph, spacing and text centred vertically.
  r = Layout({0, 0, 40, 60}, "ab", blGlyphTop, -1, 2, false, 16, 16);
  EXPECT_EQ(12, r.GlyphPos.X);  // 20 - 8
  EXPECT_EQ(30 - (16 + 2 + 13) / 2, r.GlyphPos.Y);
  EXPECT_EQ(r.GlyphPos.Y + 16 + 2, r.TextBounds.Top);
  EXPECT_EQ(20 - 6, r.TextBounds.Left);

  // Glyph bottom with Margin 3.
  r = Layout({0, 0, 40, 60}, "ab", blGlyphBottom, 3, 2, false, 16, 16);
  EXPECT_EQ(60 - 3 - 16, r.GlyphPos.Y);
  EXPECT_EQ(r.GlyphPos.Y - 2 - 13, r.TextBounds.Top);

  // Everything moves with the client's corner.
  TButtonLayoutResult moved = Layout({10, 20, 35, 45}, "", blGlyphLeft, -1, 1, false, 16, 16);
  EXPECT_EQ((TGlyphPoint{14, 24}), moved.GlyphPos);
}

TEST(CalcButtonLayout, TextIsCutToTheRoomLeft) {
  // 50 wide, glyph 16 on the left, margin and spacing 2: 50 - 16 - 2 - 4 = 28 pixels left.
  TButtonLayoutResult r = Layout({0, 0, 50, 20}, "abcdefgh", blGlyphLeft, 2, 2, false, 16, 16);
  EXPECT_EQ("a...", r.Caption);
  EXPECT_LE(r.TextBounds.Width(), 28);
  // Height is cut too: 10 high leaves 8.
  r = Layout({0, 0, 200, 10}, "ab", blGlyphLeft, -1, -1, false, 0, 0);
  EXPECT_EQ(8, r.TextBounds.Height());
  // A button smaller than its glyph leaves no room, never a negative one.
  r = Layout({0, 0, 10, 10}, "abc", blGlyphLeft, -1, -1, false, 16, 16);
  EXPECT_EQ(0, r.TextBounds.Width());
}

TEST(CalcButtonLayout, DropDownMarkMakesRoomAfterTextOrGlyph) {
  // Glyph left: the mark follows the text (9 more pixels of text, 9 less room).
  TButtonLayoutResult plain = Layout({0, 0, 100, 30}, "abc", blGlyphLeft, -1, -1, false, 16, 16);
  TButtonLayoutResult marked = Layout({0, 0, 100, 30}, "abc", blGlyphLeft, -1, -1, true, 16, 16);
  EXPECT_EQ(18, marked.TextBounds.Width());
  EXPECT_EQ((100 - (16 + 18 + 9)) / 3, marked.GlyphPos.X);
  EXPECT_NE(plain.GlyphPos.X, marked.GlyphPos.X);
  TGlyphPoint mark = PopupMarkPosition(marked, {0, 0, 100, 30}, blGlyphLeft, true, {16, 16});
  EXPECT_EQ(marked.TextBounds.Right + 3, mark.X);
  EXPECT_EQ(marked.TextBounds.Top + 13 / 2, mark.Y);

  // Glyph top: the mark follows the glyph (glyph 6 wider when centring).
  TButtonLayoutResult top = Layout({0, 0, 40, 60}, "", blGlyphTop, -1, -1, true, 16, 16);
  EXPECT_EQ(20 - 22 / 2, top.GlyphPos.X);
  mark = PopupMarkPosition(top, {0, 0, 40, 60}, blGlyphTop, true, {16, 16});
  EXPECT_EQ(top.GlyphPos.X + 17, mark.X);
  EXPECT_EQ(top.GlyphPos.Y + 8, mark.Y);

  // No glyph and no caption: the mark sits in the middle.
  TButtonLayoutResult none = Layout({0, 0, 25, 25}, "", blGlyphTop, -1, -1, true, 0, 0);
  mark = PopupMarkPosition(none, {0, 0, 25, 25}, blGlyphTop, false, {0, 0});
  EXPECT_EQ(9, mark.X);
}

TEST(PopupMark, TrianglePointingDown) {
  std::vector<TGlyphPoint> pixels = PopupMarkPixels(10, 20);
  ASSERT_EQ(16u, pixels.size());
  auto has = [&pixels](int x, int y) {
    return std::find(pixels.begin(), pixels.end(), TGlyphPoint{x, y}) != pixels.end();
  };
  EXPECT_TRUE(has(10, 19));
  EXPECT_TRUE(has(16, 19));
  EXPECT_FALSE(has(17, 19));
  EXPECT_FALSE(has(10, 20));
  EXPECT_TRUE(has(11, 20));
  EXPECT_TRUE(has(15, 20));
  EXPECT_TRUE(has(12, 21));
  EXPECT_TRUE(has(14, 21));
  EXPECT_TRUE(has(13, 22));
  EXPECT_FALSE(has(12, 22));
}

TEST(ButtonFrame, RingsByStateFlatnessAndLook) {
  auto rings = ButtonFrameRings(false, false, true);
  ASSERT_EQ(2u, rings.size());
  EXPECT_EQ(clBtnHighlight, rings[0].TopLeft);
  EXPECT_EQ(clWindowFrame, rings[0].BottomRight);
  EXPECT_EQ(clBtnFace, rings[1].TopLeft);
  EXPECT_EQ(clBtnShadow, rings[1].BottomRight);

  rings = ButtonFrameRings(true, false, true);
  ASSERT_EQ(2u, rings.size());
  EXPECT_EQ(clWindowFrame, rings[0].TopLeft);
  EXPECT_EQ(clBtnShadow, rings[1].TopLeft);

  rings = ButtonFrameRings(false, true, true);
  ASSERT_EQ(1u, rings.size());
  EXPECT_EQ(clBtnShadow, rings[0].BottomRight);
  EXPECT_EQ(clWindowFrame, ButtonFrameRings(false, true, false)[0].BottomRight);
  EXPECT_EQ(clBtnHighlight, ButtonFrameRings(true, true, false)[0].BottomRight);

  rings = ButtonFrameRings(true, false, false);
  ASSERT_EQ(2u, rings.size());
  EXPECT_TRUE(rings[1].ShadowLineOnly);
  EXPECT_FALSE(ButtonFrameRings(false, false, false)[1].ShadowLineOnly);

  EXPECT_TRUE(UsesNewLook(bsAutoDetect));
  EXPECT_FALSE(UsesNewLook(bsWin31));
}

TEST(GlyphSlots, FreedSlotsAreReusedBeforeGrowing) {
  TGlyphSlots slots;
  bool grew = false;
  EXPECT_EQ(0, slots.Allocate(grew));
  EXPECT_TRUE(grew);
  EXPECT_EQ(1, slots.Allocate(grew));
  EXPECT_EQ(2, slots.Allocate(grew));
  EXPECT_EQ(3, slots.UsedCount());
  slots.Free(1);
  slots.Free(1);   // twice is once
  slots.Free(17);  // never given out
  EXPECT_EQ(2, slots.UsedCount());
  EXPECT_FALSE(slots.InUse(1));
  EXPECT_EQ(1, slots.Allocate(grew));
  EXPECT_FALSE(grew);
  EXPECT_EQ(3, slots.Size());
  EXPECT_EQ(3, slots.Allocate(grew));
  EXPECT_TRUE(grew);
  EXPECT_EQ(4, slots.Size());
}
