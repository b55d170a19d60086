// Typing into masked kit edits with real key presses (SendInput) under Wine: the date edit's
// template, characters the mask refuses, the caret over the separators, Backspace and Delete,
// paste, cut and undo from the keyboard, and an edit that takes no typing.

#include <gtest/gtest.h>

#include <string>

#include "tests/kit/win/date_edit_fixture.h"
#include "tests/support/real_input.h"

namespace {

using real_input::kCtrl;
using real_input::kShift;
using real_input::PressKey;
using real_input::TypeText;

class MaskedTypingTest : public DateEditFormTest {
protected:
  // The form in front and the focus in control, as the user's keys need them.
  void Focus(TWinControl* control) {
    ShowFocused(control);
    ASSERT_TRUE(PumpUntil([&] {
      if (GetForegroundWindow() != form->Handle()) SetForegroundWindow(form->Handle());
      return GetForegroundWindow() == form->Handle() && GetFocus() == control->Handle();
    }));
    changes = 0;
    Beeps() = 0;
  }
  std::string Shown() const { return edit->EditText(); }
  int Caret() const { return edit->SelStart(); }
};

TEST_F(MaskedTypingTest, EmptyDateEditShowsItsTemplateAndReadsAsNoDate) {
  // Before any window and after it: the separators in place, blanks elsewhere.
  EXPECT_EQ(Shown(), "  .  .    ");
  EXPECT_EQ(edit->Text(), "  .  .    ");
  EXPECT_EQ(edit->Date(), 0);
  Focus(edit);
  char window[32] = {};
  GetWindowTextA(edit->Handle(), window, sizeof window);
  EXPECT_STREQ(window, "  .  .    ");
  // The placeholder follows BlanksChar, and the date is laid over it.
  edit->SetBlanksChar('_');
  EXPECT_EQ(Shown(), "__.__.____");
  edit->SetDate(EncodeDate(2026, 3, 5));
  EXPECT_EQ(Shown(), "05.03.2026");
  edit->SetDate(0);
  EXPECT_EQ(Shown(), "__.__.____");
  EXPECT_EQ(edit->Date(), 0);
  // Two-digit years: the mask follows the format.
  edit->SetYearDigits(dyTwo);
  EXPECT_EQ(Shown(), "__.__.__");
  edit->SetYearDigits(dyFour);
  real_input::HoldForLooking();
}

TEST_F(MaskedTypingTest, TypedKeysGoOnlyWhereTheMaskTakesThem) {
  edit->SetBlanksChar('_');
  Focus(edit);
  PressKey(VK_HOME);
  TypeText("ab1x");
  EXPECT_EQ(Shown(), "1_.__.____");
  EXPECT_EQ(Beeps(), 3);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Caret(), 1);
  EXPECT_EQ(edit->Date(), 0);
  // The caret steps over the separator; a separator typed there is taken as read.
  TypeText("2.");
  EXPECT_EQ(Caret(), 3);
  TypeText("122026");
  EXPECT_EQ(Shown(), "12.12.2026");
  EXPECT_EQ(edit->Text(), "12.12.2026");
  EXPECT_EQ(edit->Date(), EncodeDate(2026, 12, 12));
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(Beeps(), 3);
  // Nothing goes past the last place.
  TypeText("7");
  EXPECT_EQ(Shown(), "12.12.2026");
  EXPECT_EQ(Beeps(), 4);
  // On entering from the keyboard the whole text is selected: the first digit starts over.
  other->SetFocus();
  Focus(edit);
  EXPECT_EQ(edit->SelLength(), 10);
  TypeText("3");
  EXPECT_EQ(Shown(), "3_.__.____");
  real_input::HoldForLooking();
}

TEST_F(MaskedTypingTest, CaretStepsOverSeparatorsAndErasingPutsPlaceholdersBack) {
  edit->SetBlanksChar('_');
  edit->SetDate(EncodeDate(2026, 12, 9));
  Focus(edit);
  PressKey(VK_HOME);
  PressKey(VK_RIGHT);
  EXPECT_EQ(Caret(), 1);
  PressKey(VK_RIGHT);
  EXPECT_EQ(Caret(), 3);
  PressKey(VK_BACK);
  EXPECT_EQ(Shown(), "0_.12.2026");
  EXPECT_EQ(Caret(), 1);
  // Delete empties the place at the caret and moves on over the separator.
  PressKey(VK_DELETE);
  EXPECT_EQ(Shown(), "0_.12.2026");
  EXPECT_EQ(Caret(), 3);
  PressKey(VK_DELETE);
  EXPECT_EQ(Shown(), "0_._2.2026");
  EXPECT_EQ(Caret(), 4);
  PressKey(VK_LEFT);
  PressKey(VK_LEFT);
  EXPECT_EQ(Caret(), 1);
  EXPECT_EQ(edit->Date(), 0);  // no date while places are empty
  // A selection made with Shift goes at once, its separators stay.
  PressKey(VK_END);
  PressKey(VK_LEFT, kShift);
  PressKey(VK_LEFT, kShift);
  PressKey(VK_LEFT, kShift);
  PressKey(VK_BACK);
  EXPECT_EQ(Shown(), "0_._2.2___");
  EXPECT_EQ(Caret(), 7);
  PressKey(VK_HOME);
  PressKey(VK_END, kShift);
  PressKey(VK_DELETE);
  EXPECT_EQ(Shown(), "__.__.____");
  EXPECT_EQ(edit->Text(), "  .  .    ");
  EXPECT_EQ(Beeps(), 0);
  // Nothing to erase before the first place.
  PressKey(VK_HOME);
  PressKey(VK_BACK);
  EXPECT_EQ(Beeps(), 1);
}

TEST_F(MaskedTypingTest, PasteIsFilteredCutEmptiesAndUndoCannotBreakTheMask) {
  edit->SetBlanksChar('_');
  Focus(edit);
  PutOnClipboard(form->Handle(), "30.11.2026\r\n01.01.2000");
  PressKey(VK_HOME);
  PressKey('V', kCtrl);
  EXPECT_EQ(Shown(), "30.11.2026");
  EXPECT_EQ(changes, 1);
  // Nothing of the clipboard fits: a beep, no change.
  PutOnClipboard(form->Handle(), "no date");
  PressKey(VK_HOME);
  PressKey(VK_END, kShift);
  PressKey('V', kCtrl);
  EXPECT_EQ(Shown(), "30.11.2026");
  EXPECT_EQ(Beeps(), 1);
  // Letters among the digits are left out.
  PutOnClipboard(form->Handle(), "day 2, month 5");
  PressKey('V', kCtrl);
  EXPECT_EQ(Shown(), "25.__.____");
  // Cut copies what is shown and empties the places.
  PressKey(VK_HOME);
  PressKey(VK_RIGHT, kShift);
  PressKey(VK_RIGHT, kShift);
  PressKey('X', kCtrl);
  EXPECT_EQ(Shown(), "__.__.____");
  std::string clip;
  ASSERT_TRUE(OpenClipboard(form->Handle()));
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    clip = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  EXPECT_EQ(clip, "25");
  // Shift+Insert pastes it back; Ctrl+Z does not bring the unmasked text back.
  PressKey(VK_INSERT, kShift);
  EXPECT_EQ(Shown(), "25.__.____");
  PressKey('Z', kCtrl);
  EXPECT_EQ(Shown(), "25.__.____");
}

TEST_F(MaskedTypingTest, NoTypingWithoutDirectInputOrWhenReadOnly) {
  edit->SetBlanksChar('_');
  edit->SetDate(EncodeDate(2026, 12, 9));
  edit->SetDirectInput(false);
  Focus(edit);
  PutOnClipboard(form->Handle(), "01.01.2000");
  PressKey(VK_END);
  TypeText("12");
  PressKey(VK_BACK);
  PressKey(VK_HOME);
  PressKey(VK_DELETE);
  PressKey('V', kCtrl);
  EXPECT_EQ(Shown(), "09.12.2026");
  EXPECT_EQ(changes, 0);
  edit->SetDirectInput(true);
  edit->SetReadOnly(true);
  PressKey(VK_DELETE);
  TypeText("1");
  EXPECT_EQ(Shown(), "09.12.2026");
  EXPECT_EQ(changes, 0);
}

TEST_F(MaskedTypingTest, ComboEditTakesAnyMaskWithoutSavedLiterals) {
  auto* combo = new TComboEdit(form.get());
  combo->SetParent(form.get());
  combo->SetBounds(10, 50, 120, 21);
  combo->SetEditMask(">LL-999;0;_");
  combo->SetText("xy12");
  EXPECT_EQ(combo->EditText(), "XY-12_");
  EXPECT_EQ(combo->Text(), "XY12 ");
  Focus(combo);
  PressKey(VK_HOME);
  TypeText("a1b-345");
  EXPECT_EQ(combo->EditText(), "AB-345");
  EXPECT_EQ(combo->Text(), "AB345");
  EXPECT_EQ(Beeps(), 1);  // the "1" where a letter goes
  // Without a mask it is a plain edit again, holding the text read through the mask.
  combo->SetEditMask("");
  EXPECT_EQ(combo->EditText(), "AB345");
  PressKey(VK_END);
  TypeText("x");
  EXPECT_EQ(combo->Text(), "AB345x");
}

}  // namespace
