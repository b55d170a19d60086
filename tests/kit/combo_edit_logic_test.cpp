// The combo edit's arithmetic: where its drop-down opens on the screen, the button's place
// and width, the ellipsis glyph and the shortcut of its button.

#include "kit/combo_edit_logic.h"

#include <gtest/gtest.h>

namespace {

const TComboRect kScreen{0, 0, 1280, 800};

TEST(PopupPlacement, OpensBelowWithRightEdgesAligned) {
  const TPopupPlace p = PopupPlace({300, 100, 120, 21}, 200, 150, kScreen, epaRight);
  EXPECT_EQ(p.X, 220);  // right edges at 420
  EXPECT_EQ(p.Y, 121);
  EXPECT_EQ(PopupPlace({300, 100, 120, 21}, 200, 150, kScreen, epaLeft).X, 300);
}

TEST(PopupPlacement, FallsBackToTheOtherEdgeWhereThereIsNoRoom) {
  // Right edges would push it off the left: left edges instead.
  EXPECT_EQ(PopupPlace({50, 100, 120, 21}, 200, 150, kScreen, epaRight).X, 50);
  // Left edges would push it off the right: right edges instead.
  EXPECT_EQ(PopupPlace({1150, 100, 120, 21}, 200, 150, kScreen, epaLeft).X, 1070);
  // Wider than anything: kept on the screen.
  EXPECT_EQ(PopupPlace({1200, 100, 60, 21}, 300, 150, kScreen, epaLeft).X, 960);
  EXPECT_EQ(PopupPlace({1300, 100, 20, 21}, 300, 150, kScreen, epaLeft).X, 980);  // an edit half off the screen
}

TEST(PopupPlacement, OpensAboveWhenThereIsNoRoomBelowButNeverAboveTheWorkArea) {
  EXPECT_EQ(PopupPlace({300, 700, 120, 21}, 200, 150, kScreen, epaRight).Y, 550);
  // A taller popup than the room above: its top stays on the screen.
  EXPECT_EQ(PopupPlace({300, 100, 120, 21}, 200, 750, kScreen, epaRight).Y, 0);
}

TEST(PopupPlacement, StaysOnTheMonitorOfTheEdit) {
  // A second monitor right of the first, with a taskbar at its bottom.
  const TComboRect second{1280, 0, 1024, 728};
  const TPopupPlace p = PopupPlace({1300, 650, 120, 21}, 200, 100, second, epaRight);
  EXPECT_EQ(p.X, 1300);  // not pushed back onto the first monitor
  EXPECT_EQ(p.Y, 550);   // above: the taskbar is not room below
}

TEST(ComboButton, PlaceByBorder) {
  const TComboRect sunken = ComboButtonPlace(121, 21, 21, true);
  EXPECT_EQ(sunken.Left, 96);
  EXPECT_EQ(sunken.Height, 17);
  const TComboRect bare = ComboButtonPlace(121, 21, 21, false);
  EXPECT_EQ(bare.Left, 100);
  EXPECT_EQ(bare.Height, 21);
  EXPECT_EQ(ComboTextRight(117, 21), 94);
  EXPECT_EQ(ComboMinHeight(16, 13, 1), 18);
}

TEST(ComboButton, WidthFollowsTheGlyphKind) {
  EXPECT_EQ(ComboButtonWidthFor(gkDefault, 14, 1, 21, 17), 21);  // 14 + 6 is narrower
  EXPECT_EQ(ComboButtonWidthFor(gkDefault, 40, 2, 21, 17), 26);
  EXPECT_EQ(ComboButtonWidthFor(gkDefault, 0, 1, 21, 17), 21);   // no glyph
  EXPECT_EQ(ComboButtonWidthFor(gkDropDown, 14, 1, 21, 17), 17);
  EXPECT_EQ(ComboButtonWidthFor(gkEllipsis, 14, 1, 30, 17), 30);
}

TEST(ComboButton, EllipsisDotsAreCentredWithAGapOfOneToThree) {
  const TEllipsisDots normal = ComboEllipsisDots(21);  // 15 wide
  EXPECT_EQ(normal.BitmapWidth, 15);
  EXPECT_EQ(normal.Gap, 3);
  EXPECT_EQ(normal.FirstX, 1);
  const TEllipsisDots narrow = ComboEllipsisDots(13);  // 7 wide
  EXPECT_EQ(narrow.Gap, 1);
  EXPECT_EQ(narrow.FirstX, 0);  // -1 / 2 rounds toward zero
  EXPECT_EQ(ComboEllipsisDots(0).BitmapWidth, 1);
}

TEST(ComboButton, ShortCutOfAKeyWithItsShiftState) {
  EXPECT_EQ(ComboShortCut(0x28, false, false, true), kComboClickKey);
  EXPECT_EQ(kComboClickKey, 32808);
  EXPECT_NE(ComboShortCut(0x28, false, false, false), kComboClickKey);
  EXPECT_EQ(ComboShortCut(0x41, true, true, false), 0x6041);
}

TEST(PopupValueTest, TextOfEachKind) {
  EXPECT_TRUE(PopupValueIsNull(TPopupValue{}));
  EXPECT_EQ(PopupValueText(TPopupValue{}), "");
  EXPECT_EQ(PopupValueText(TPopupValue{std::string("abc")}), "abc");
  EXPECT_FALSE(PopupValueText(TPopupValue{TDateTime{45000}}).empty());
}

}  // namespace
