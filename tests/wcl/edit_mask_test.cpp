// The edit mask apart from any window: the mask syntax, laying a text out under a mask and
// reading it back, and typing, erasing, pasting and caret moves as the masked edit does them.

#include "platform/wcl/edit_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The date edit's mask with "." as the date separator.
TEditMask DateMask(char blank = '_') { return TEditMask(std::string("!99/99/9999;1;") + blank, '.', ':'); }

TMaskEditState State(const std::string& shown, int start, int end = -1) {
  return TMaskEditState{shown, start, end < 0 ? start : end};
}

// Types each character; answers how many were refused.
int TypeAll(const TEditMask& mask, TMaskEditState& state, const std::string& text) {
  int refused = 0;
  for (char c : text)
    if (!MaskTypeChar(mask, state, c)) ++refused;
  return refused;
}

TEST(EditMaskSyntax, DateMaskShowsSeparatorsAndPlaceholders) {
  const TEditMask mask = DateMask();
  EXPECT_EQ(mask.Length(), 10);
  EXPECT_TRUE(mask.SaveLiterals());
  EXPECT_EQ(mask.Blank(), '_');
  EXPECT_EQ(mask.BlankText(), "__.__.____");
  EXPECT_EQ(DateMask(' ').BlankText(), "  .  .    ");
  EXPECT_EQ(TEditMask("!9999/99/99;1; ", '-', ':').BlankText(), "    -  -  ");
  EXPECT_EQ(TEditMask("!99/99/99;1;*", '/', ':').BlankText(), "**/**/**");
  EXPECT_TRUE(mask.IsLiteral(2));
  EXPECT_FALSE(mask.IsLiteral(3));
  EXPECT_EQ(mask.LiteralAt(5), '.');
  EXPECT_TRUE(TEditMask().Empty());
}

TEST(EditMaskSyntax, FieldsEscapesCaseAndPlaceKinds) {
  // No save field: literals saved; no blank field: "_".
  const TEditMask plain("99:99", '.', ':');
  EXPECT_TRUE(plain.SaveLiterals());
  EXPECT_EQ(plain.BlankText(), "__:__");
  // An empty blank field keeps "_"; "0" drops the literals.
  const TEditMask phone("(999)_999;0;", '.', ':');
  EXPECT_FALSE(phone.SaveLiterals());
  EXPECT_EQ(phone.BlankText(), "(___) ___");
  // A backslash makes a place character (and the separators) literal.
  const TEditMask escaped("\\9\\/9", '.', ':');
  EXPECT_EQ(escaped.BlankText(), "9/_");
  EXPECT_EQ(escaped.Accept(2, '5'), '5');

  const TEditMask kinds(">L<l<>A#C", '.', ':');
  EXPECT_EQ(kinds.Accept(0, 'q'), 'Q');  // upper case
  EXPECT_EQ(kinds.Accept(1, 'Q'), 'q');  // lower case
  EXPECT_EQ(kinds.Accept(0, '1'), '\0');
  EXPECT_EQ(kinds.Accept(0, '\xE4'), '\xE4');  // a letter of 8-bit text
  EXPECT_EQ(kinds.Accept(2, 'x'), 'x');  // "<>": as typed
  EXPECT_EQ(kinds.Accept(2, '7'), '7');
  EXPECT_EQ(kinds.Accept(2, '-'), '\0');
  EXPECT_EQ(kinds.Accept(3, '-'), '-');
  EXPECT_EQ(kinds.Accept(3, 'x'), '\0');
  EXPECT_EQ(kinds.Accept(4, '%'), '%');
  EXPECT_EQ(kinds.Accept(4, '\t'), '\0');  // no control characters anywhere
  EXPECT_EQ(kinds.Accept(5, 'x'), '\0');   // beyond the mask
}

TEST(EditMaskText, LaidOutAndReadBackThroughTheMask) {
  const TEditMask mask = DateMask();
  EXPECT_EQ(mask.Lay("09.12.2026"), "09.12.2026");
  EXPECT_EQ(mask.Read("09.12.2026"), "09.12.2026");
  // Nothing, or a text that is no date, leaves the places unfilled; they read as blanks.
  EXPECT_EQ(mask.Lay(""), "__.__.____");
  EXPECT_EQ(mask.Read("__.__.____"), "  .  .    ");
  EXPECT_EQ(mask.Lay("ab1x"), "__.__.____");
  EXPECT_EQ(mask.Lay("1x.2"), "1_.2_.____");
  EXPECT_EQ(mask.Lay("ab.12.20x6"), "__.12.20_6");
  EXPECT_EQ(mask.Read("0_.1_.2026"), "0 .1 .2026");
  // The read text lays out as it was shown.
  EXPECT_EQ(mask.Lay(mask.Read("0_.1_.2026")), "0_.1_.2026");
  // A text longer than the mask is cut.
  EXPECT_EQ(mask.Lay("09.12.20261999"), "09.12.2026");

  // Without saved literals the text holds only what was typed.
  const TEditMask phone("(999)_999;0;*", '.', ':');
  EXPECT_EQ(phone.Lay("123456"), "(123) 456");
  EXPECT_EQ(phone.Read("(123) 456"), "123456");
  EXPECT_EQ(phone.Lay("12"), "(12*) ***");
  EXPECT_EQ(phone.Read("(12*) ***"), "12    ");
}

TEST(EditMaskTyping, OnlyWhatThePlacesTakeIsTyped) {
  const TEditMask mask = DateMask();
  TMaskEditState state = State(mask.BlankText(), 0);
  EXPECT_EQ(TypeAll(mask, state, "ab1x"), 3);
  EXPECT_EQ(state.Shown, "1_.__.____");
  EXPECT_EQ(state.SelStart, 1);

  // Digits alone fill the date; the caret steps over the separators.
  state = State(mask.BlankText(), 0);
  EXPECT_EQ(TypeAll(mask, state, "09"), 0);
  EXPECT_EQ(state.SelStart, 3);
  EXPECT_EQ(TypeAll(mask, state, "122026"), 0);
  EXPECT_EQ(state.Shown, "09.12.2026");
  EXPECT_EQ(state.SelStart, 10);
  // Nothing goes beyond the last place.
  EXPECT_FALSE(MaskTypeChar(mask, state, '1'));
  EXPECT_EQ(state.Shown, "09.12.2026");

  // Typing the separators as well: each one is stepped over, not refused.
  state = State(mask.BlankText(), 0);
  EXPECT_EQ(TypeAll(mask, state, "09.12.2026"), 0);
  EXPECT_EQ(state.Shown, "09.12.2026");
  // A separator typed where a digit goes is refused.
  state = State(mask.BlankText(), 0);
  EXPECT_FALSE(MaskTypeChar(mask, state, '.'));
  EXPECT_EQ(state.Shown, mask.BlankText());
}

TEST(EditMaskTyping, TypingOverwritesAndEmptiesTheSelection) {
  const TEditMask mask = DateMask();
  // The whole text selected (as on entering the edit): the first digit empties the rest.
  TMaskEditState state = State("09.12.2026", 0, 10);
  EXPECT_TRUE(MaskTypeChar(mask, state, '3'));
  EXPECT_EQ(state.Shown, "3_.__.____");
  EXPECT_EQ(state.SelStart, 1);
  EXPECT_EQ(state.SelEnd, 1);
  // A refused character leaves the selection and the text alone.
  state = State("09.12.2026", 3, 5);
  EXPECT_FALSE(MaskTypeChar(mask, state, 'x'));
  EXPECT_EQ(state.Shown, "09.12.2026");
  EXPECT_EQ(state.SelEnd, 5);
  // Overwriting in the middle: the caret on the literal types into the place after it.
  state = State("09.12.2026", 2);
  EXPECT_TRUE(MaskTypeChar(mask, state, '0'));
  EXPECT_EQ(state.Shown, "09.02.2026");
  EXPECT_EQ(state.SelStart, 4);
}

TEST(EditMaskErasing, BackspaceAndDeleteRestorePlaceholders) {
  const TEditMask mask = DateMask(' ');
  TMaskEditState state = State("09.12.2026", 3);
  // Backspace after a separator empties the digit before it.
  EXPECT_TRUE(MaskBackspace(mask, state));
  EXPECT_EQ(state.Shown, "0 .12.2026");
  EXPECT_EQ(state.SelStart, 1);
  EXPECT_TRUE(MaskBackspace(mask, state));
  EXPECT_EQ(state.Shown, "  .12.2026");
  EXPECT_EQ(state.SelStart, 0);
  EXPECT_FALSE(MaskBackspace(mask, state));
  EXPECT_EQ(mask.Read(state.Shown), "  .12.2026");

  // Delete empties the digit at the caret and moves on, so that it can be pressed again.
  state = State("09.12.2026", 2);
  EXPECT_TRUE(MaskDelete(mask, state));
  EXPECT_EQ(state.Shown, "09. 2.2026");
  EXPECT_EQ(state.SelStart, 4);
  EXPECT_TRUE(MaskDelete(mask, state));
  EXPECT_EQ(state.Shown, "09.  .2026");
  EXPECT_EQ(state.SelStart, 6);
  state = State("09.12.2026", 10);
  EXPECT_FALSE(MaskDelete(mask, state));

  // A selection is emptied by either key, its literals kept.
  state = State("09.12.2026", 1, 7);
  EXPECT_TRUE(MaskDelete(mask, state));
  EXPECT_EQ(state.Shown, "0 .  . 026");
  EXPECT_EQ(state.SelStart, 1);
  EXPECT_EQ(state.SelEnd, 1);
  state = State("09.12.2026", 0, 10);
  EXPECT_TRUE(MaskBackspace(mask, state));
  EXPECT_EQ(state.Shown, "  .  .    ");
  EXPECT_FALSE(MaskClearSelection(mask, state));
}

TEST(EditMaskPaste, PastedTextIsFilteredByTheMask) {
  const TEditMask mask = DateMask();
  TMaskEditState state = State(mask.BlankText(), 0);
  EXPECT_TRUE(MaskPaste(mask, state, "09.12.2026"));
  EXPECT_EQ(state.Shown, "09.12.2026");
  EXPECT_EQ(state.SelStart, 10);
  // Letters are left out; the digits go to the places in turn.
  state = State(mask.BlankText(), 0);
  EXPECT_TRUE(MaskPaste(mask, state, "ab1x2y3"));
  EXPECT_EQ(state.Shown, "12.3_.____");
  // Into a selection, which is emptied first; what does not fit is dropped.
  state = State("09.12.2026", 3, 10);
  EXPECT_TRUE(MaskPaste(mask, state, "01"));
  EXPECT_EQ(state.Shown, "09.01.____");
  EXPECT_EQ(state.SelStart, 6);
  state = State("09.12.2026", 8);
  EXPECT_TRUE(MaskPaste(mask, state, "123456"));
  EXPECT_EQ(state.Shown, "09.12.2012");
  // Nothing placeable: nothing changes, not even the selection.
  state = State("09.12.2026", 0, 10);
  EXPECT_FALSE(MaskPaste(mask, state, "no date\r\n"));
  EXPECT_EQ(state.Shown, "09.12.2026");
  EXPECT_EQ(state.SelEnd, 10);
}

TEST(EditMaskCaret, ArrowsAndHomeStepOverLiterals) {
  const TEditMask mask = DateMask();
  EXPECT_EQ(MaskCaretRight(mask, 0), 1);
  EXPECT_EQ(MaskCaretRight(mask, 1), 3);
  EXPECT_EQ(MaskCaretRight(mask, 4), 6);
  EXPECT_EQ(MaskCaretRight(mask, 9), 10);
  EXPECT_EQ(MaskCaretRight(mask, 10), 10);
  EXPECT_EQ(MaskCaretLeft(mask, 10), 9);
  EXPECT_EQ(MaskCaretLeft(mask, 6), 4);
  EXPECT_EQ(MaskCaretLeft(mask, 3), 1);
  EXPECT_EQ(MaskCaretLeft(mask, 0), 0);
  EXPECT_EQ(MaskCaretHome(mask), 0);
  const TEditMask phone("(999)_999;0;_", '.', ':');
  EXPECT_EQ(MaskCaretHome(phone), 1);
  EXPECT_EQ(MaskCaretLeft(phone, 1), 1);  // nothing to type before it
  EXPECT_EQ(MaskCaretRight(phone, 3), 6);
  EXPECT_EQ(MaskCaretRight(phone, 8), 9);
}

}  // namespace
