#include "kit/gradient_caption_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character 10 pixels wide, in every font.
int TenPerChar(int, const std::string& text) { return static_cast<int>(text.size()) * 10; }

TCaptionPartInfo Part(const std::string& caption, bool glueNext = false, bool visible = true) {
  TCaptionPartInfo part;
  part.Caption = caption;
  part.GlueNext = glueNext;
  part.Visible = visible;
  return part;
}

// "text@left" of each draw, with "/f<font>c<colour part>" when not the part's own.
std::vector<std::string> Describe(const std::vector<TCaptionDraw>& draws) {
  std::vector<std::string> out;
  for (const TCaptionDraw& d : draws) {
    std::string s = d.Text + "@" + std::to_string(d.Left);
    if (d.Font != d.ColorOf) s += "/f" + std::to_string(d.Font) + "c" + std::to_string(d.ColorOf);
    out.push_back(s);
  }
  return out;
}

using Texts = std::vector<std::string>;

const TCaptionRect kWindow{100, 50, 400, 300};

TCaptionRect RectOf(TCaptionBorderStyle style, unsigned icons, unsigned* effective = nullptr) {
  unsigned eff = 0;
  TCaptionRect r = CaptionRectOf(kWindow, style, icons, TCaptionMetrics(), eff);
  if (effective != nullptr) *effective = eff;
  return r;
}

}  // namespace

TEST(GradientCaptionRect, IconsButtonsFrameAndHeightByBorderStyle) {
  const unsigned all = kCaptionSystemMenu | kCaptionMinimize | kCaptionMaximize | kCaptionHelp;
  unsigned eff = 0;

  // Sizeable: the thick frame, three buttons (help gives way to minimise and maximise).
  TCaptionRect r = RectOf(cbsSizeable, all, &eff);
  EXPECT_EQ(kCaptionSystemMenu | kCaptionMinimize | kCaptionMaximize, eff);
  EXPECT_EQ(104, r.Left);
  EXPECT_EQ(54, r.Top);
  EXPECT_EQ(396 - 3 * 18, r.Right);
  EXPECT_EQ(54 + 19 - 1, r.Bottom);

  // A dialog keeps only the system menu and help, inside the thin frame.
  r = RectOf(cbsDialog, all, &eff);
  EXPECT_EQ(kCaptionSystemMenu | kCaptionHelp, eff);
  EXPECT_EQ(103, r.Left);
  EXPECT_EQ(397 - 2 * 18, r.Right);
  EXPECT_EQ(53 + 19 - 1, r.Bottom);

  // A lone minimise button takes the room of both.
  r = RectOf(cbsSingle, kCaptionSystemMenu | kCaptionMinimize | kCaptionHelp, &eff);
  EXPECT_EQ(kCaptionSystemMenu | kCaptionMinimize, eff);
  EXPECT_EQ(397 - 3 * 18, r.Right);

  // Without the system menu there are no buttons at all.
  r = RectOf(cbsSizeable, kCaptionMinimize | kCaptionMaximize, &eff);
  EXPECT_EQ(0u, eff);
  EXPECT_EQ(396, r.Right);

  // Tool windows: the small caption and small buttons, only the system menu.
  r = RectOf(cbsToolWindow, all, &eff);
  EXPECT_EQ(kCaptionSystemMenu, eff);
  EXPECT_EQ(53 + 15 - 1, r.Bottom);
  EXPECT_EQ(397 - 15, r.Right);
  r = RectOf(cbsSizeToolWin, all);
  EXPECT_EQ(104, r.Left);
  EXPECT_EQ(396 - 15, r.Right);

  // No border: the window's own edge.
  r = RectOf(cbsNone, 0);
  EXPECT_EQ(100, r.Left);
  EXPECT_EQ(50, r.Top);
}

TEST(GradientCaptionRect, IconCentredInTheBar) {
  int x = 0;
  int y = 0;
  CaptionIconPos(0, 0, 18, 16, 16, x, y);
  EXPECT_EQ(2, x);
  EXPECT_EQ(1, y);
  CaptionIconPos(5, 0, 17, 16, 16, x, y);  // halves truncate
  EXPECT_EQ(6, x);
  EXPECT_EQ(0, y);
}

TEST(GradientCaptionLayout, LeftToRightDropsTheFirstPartsWithThoseGluedToThem) {
  // AAA 30, BB 20, C 10, Form 40: all need 2 + 100.
  std::vector<TCaptionPartInfo> parts{Part("AAA"), Part("BB"), Part("C")};
  EXPECT_EQ((Texts{"AAA@2", "BB@32", "C@52", "Form@62"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdLeftToRight, 0, 110, false, TenPerChar)));

  // Room for the last part and the form caption only: the first two go.
  EXPECT_EQ((Texts{"C@2", "Form@12"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdLeftToRight, 0, 60, false, TenPerChar)));

  // Dropping the first part takes the part glued to it along, although the rest would fit.
  parts[0].GlueNext = true;
  EXPECT_EQ((Texts{"C@2", "Form@12"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdLeftToRight, 0, 90, false, TenPerChar)));

  // Widths of invisible parts count when parts are dropped, so the rest may still not fit;
  // the form caption, glued to what comes before, is then cut, down to "..." at worst.
  std::vector<TCaptionPartInfo> hidden{Part("AAA", false, false), Part("BB"), Part("C")};
  EXPECT_EQ((Texts{"BB@2", "C@22", "...@32"}),
            Describe(LayoutCaptionTexts(hidden, "Form", hdLeftToRight, 0, 62, false, TenPerChar)));
  EXPECT_EQ((Texts{"Lo...@2"}),
            Describe(LayoutCaptionTexts({}, "LongForm", hdLeftToRight, 0, 57, false, TenPerChar)));

  // An invisible part is not drawn; right to left texts start at the right edge.
  parts[0].GlueNext = false;
  parts[1].Visible = false;
  std::vector<TCaptionDraw> draws = LayoutCaptionTexts(parts, "Form", hdLeftToRight, 0, 110, true, TenPerChar);
  EXPECT_EQ((Texts{"AAA@2", "C@2", "Form@2"}), Describe(draws));
  EXPECT_EQ(110, draws[0].Right);
  EXPECT_EQ(80, draws[1].Right);
  EXPECT_EQ(70, draws[2].Right);
}

TEST(GradientCaptionLayout, RightToLeftKeepsTheFirstPartsAndTheFormCaptionOnlyWhenAllFit) {
  std::vector<TCaptionPartInfo> parts{Part("AAA"), Part("BB"), Part("C")};
  EXPECT_EQ((Texts{"AAA@2", "BB@32", "C@52", "Form@62"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdRightToLeft, 0, 110, false, TenPerChar)));
  // All parts fit but the caption does not: it is left out, not cut.
  EXPECT_EQ((Texts{"AAA@2", "BB@32", "C@52"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdRightToLeft, 0, 90, false, TenPerChar)));
  // A part that does not fit ends the drawing.
  EXPECT_EQ((Texts{"AAA@2"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdRightToLeft, 0, 50, false, TenPerChar)));

  // A cut part glued to the one before shows as "..." in the component's font and the
  // previous part's colour.
  parts[0].GlueNext = true;
  EXPECT_EQ((Texts{"AAA@2", "...@32/f-1c0"}),
            Describe(LayoutCaptionTexts(parts, "Form", hdRightToLeft, 0, 50, false, TenPerChar)));

  // A part glued to the next, not to the previous, that would leave no room for it gets
  // "..." appended.
  std::vector<TCaptionPartInfo> glued{Part("X"), Part("AAA", true), Part("BB")};
  EXPECT_EQ((Texts{"X@2", "AAA...@12"}),
            Describe(LayoutCaptionTexts(glued, "Form", hdRightToLeft, 0, 50, false, TenPerChar)));
}
