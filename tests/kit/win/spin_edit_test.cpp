// The spin edit under Wine: stepping by keys and by both kinds of button, typing filters,
// Enter and Escape reaching the form's buttons, the rewrite on leaving, paste and cut, and
// the least height.

#include "kit/win/spin_edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/wcl/win/std_controls.h"
#include "platform/wcl/win/timer.h"
#include "tests/kit/win/edit_form_fixture.h"

namespace {

class SpinEditTest : public EditFormTest {
protected:
  void SetUp() override {
    EditFormTest::SetUp();
    edit = new TKitSpinEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 121, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
  }

  void ShowFocused() { EditFormTest::ShowFocused(edit); }
  void Char(char c) { EditFormTest::Char(edit, c); }
  void Key(WORD key) { EditFormTest::Key(edit, key); }
  void Range(double minValue, double maxValue, double value) {
    edit->SetMinValue(minValue);
    edit->SetMaxValue(maxValue);
    edit->SetValue(value);
    changes = 0;
    edit->SetModified(false);
  }

  TKitSpinEdit* edit = nullptr;
  int changes = 0;
};

TEST_F(SpinEditTest, StartsAtZeroWithTheDiagonalButtonAndStepsWithoutBounds) {
  EXPECT_EQ(edit->Text(), "0");
  ASSERT_NE(edit->Button(), nullptr);
  EXPECT_EQ(edit->UpDown(), nullptr);
  edit->DownClick(edit);
  EXPECT_EQ(edit->Text(), "-1");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(edit->Modified());
}

TEST_F(SpinEditTest, StepAtABoundChangesNothingAndTellsNothing) {
  ShowFocused();
  Range(1, 600, 600);
  edit->UpClick(edit);
  EXPECT_EQ(edit->Text(), "600");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(edit->Modified());
  edit->DownClick(edit);
  EXPECT_EQ(edit->Text(), "599");
  EXPECT_EQ(changes, 1);  // once, not once for the text and once for the step
  EXPECT_TRUE(edit->Modified());
}

TEST_F(SpinEditTest, ReadOnlyStepOnlyBeeps) {
  Range(0, 10, 5);
  edit->SetReadOnly(true);
  edit->UpClick(edit);
  EXPECT_EQ(edit->Text(), "5");
  EXPECT_EQ(Beeps(), 1);
  EXPECT_EQ(changes, 0);
}

TEST_F(SpinEditTest, TypedValueBeyondTheBoundsReadsClampedAndIsRewrittenOnLeaving) {
  ShowFocused();
  Range(1, 600, 5);
  edit->SetText("");
  for (char c : std::string("99999")) Char(c);
  EXPECT_EQ(edit->Text(), "99999");
  EXPECT_EQ(edit->Value(), 600);  // before leaving: a reader never sees 99999
  other->SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return edit->Text() == "600"; }));

  edit->SetFocus();
  edit->SetText("007");
  other->SetFocus();
  EXPECT_EQ(edit->Text(), "007");
  edit->SetFocus();
  edit->SetText("abc");
  other->SetFocus();
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(edit->Value(), 1);
}

TEST_F(SpinEditTest, TypingLetsInOnlyNumberCharactersAndBeepsAtTheRest) {
  ShowFocused();
  edit->SetText("");
  for (char c : std::string("1a2.3")) Char(c);
  EXPECT_EQ(edit->Text(), "123");
  EXPECT_EQ(Beeps(), 2);
  edit->SetValueType(vtFloat);
  edit->SetText("");
  for (char c : std::string("1.5")) Char(c);
  EXPECT_EQ(edit->Text(), "1.5");
}

TEST_F(SpinEditTest, ArrowKeysStepUnlessSwitchedOff) {
  ShowFocused();
  Range(0, 10, 5);
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_DOWN);
  EXPECT_EQ(edit->Text(), "6");
  edit->SetArrowKeys(false);
  Key(VK_UP);
  EXPECT_EQ(edit->Text(), "6");
}

TEST_F(SpinEditTest, EnterClicksTheDefaultButtonWithoutACharacterAndEscapeTheCancelButton) {
  int okClicks = 0, cancelClicks = 0;
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetBounds(150, 10, 75, 25);
  ok->SetDefault(true);
  ok->OnClick = [&](TObject*) { ++okClicks; };
  auto* cancel = new TButton(form.get());
  cancel->SetParent(form.get());
  cancel->SetBounds(150, 40, 75, 25);
  cancel->SetCancel(true);
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  ShowFocused();
  Range(0, 100, 42);
  edit->SelectAll();
  Char('\r');
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(edit->Text(), "42");  // no line break, nothing replaced
  Char('\x1b');
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(edit->Text(), "42");
  EXPECT_FALSE(edit->Modified());
}

TEST_F(SpinEditTest, EditorOffStopsTypingDeletingPastingAndCuttingButNotStepping) {
  ShowFocused();
  Range(0, 100, 42);
  edit->SetEditorEnabled(false);
  edit->SelectAll();
  Char('7');
  Char('\b');
  Key(VK_DELETE);
  PutOnClipboard(edit->Handle(), "5");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  SendMessageA(edit->Handle(), WM_CUT, 0, 0);
  SendMessageA(edit->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "42");
  Key(VK_UP);
  EXPECT_EQ(edit->Text(), "43");
}

TEST_F(SpinEditTest, PasteTakesTheFirstLineOnlyAndRefusesWhatCannotBeTyped) {
  ShowFocused();
  edit->SelectAll();
  PutOnClipboard(edit->Handle(), "12\r\n34");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "12");
  edit->SelectAll();
  PutOnClipboard(edit->Handle(), "1x");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "12");
  EXPECT_EQ(Beeps(), 1);
}

TEST_F(SpinEditTest, ValueTypeAndDecimalReformatTheText) {
  edit->SetValueType(vtFloat);
  edit->SetValue(2.5);
  EXPECT_EQ(edit->Text(), "2.50");
  edit->SetDecimal(0);
  EXPECT_EQ(edit->Text(), "2");  // 2.50 read, shown without places: halves to even
  edit->SetIncrement(0.4);
  edit->SetValueType(vtInteger);
  EXPECT_EQ(edit->Increment(), 1);
  edit->SetValue(3.5);
  EXPECT_EQ(edit->Text(), "4");
}

TEST_F(SpinEditTest, DiagonalButtonStepsAtThePressThenRepeatsWhileHeldOnItsHalf) {
  ShowFocused();
  other->SetFocus();
  Range(0, 100, 10);
  TKitSpinButton* button = edit->Button();
  const int w = button->Width(), h = button->Height();
  ASSERT_GT(w, 10);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(edit->Text(), "11");
  EXPECT_TRUE(edit->Focused());  // the button hands the focus to its edit
  EXPECT_EQ(button->PressedHalf(), shTop);
  ASSERT_NE(button->RepeatTimer(), nullptr);
  EXPECT_EQ(button->RepeatTimer()->Interval(), 400u);
  button->RepeatTick();
  EXPECT_EQ(button->RepeatTimer()->Interval(), 100u);
  button->RepeatTick();
  EXPECT_EQ(edit->Text(), "13");
  // Dragged onto the other half: nothing shows pressed and nothing steps.
  button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(w - 2, h - 2));
  EXPECT_EQ(button->PressedHalf(), shNone);
  button->RepeatTick();
  EXPECT_EQ(edit->Text(), "13");
  // Back again: the steps go on.
  button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));
  button->RepeatTick();
  EXPECT_EQ(edit->Text(), "14");
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(button->PressedHalf(), shNone);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  // The lower half steps down; a click as the button's window gets it.
  HWND host = button->Parent()->Handle();
  SendMessageA(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w - 3, h - 3));
  SendMessageA(host, WM_LBUTTONUP, 0, MAKELPARAM(w - 3, h - 3));
  EXPECT_EQ(edit->Text(), "13");
}

TEST_F(SpinEditTest, ARepeatedStepThatRaisesStopsTheTimer) {
  ShowFocused();
  TKitSpinButton* button = edit->Button();
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  edit->OnChange = [](TObject*) { throw std::runtime_error("step failed"); };
  EXPECT_THROW(button->RepeatTick(), std::runtime_error);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  edit->OnChange = nullptr;
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST_F(SpinEditTest, StandardButtonIsTheSystemUpDownAndItsClicksStep) {
  edit->SetButtonKind(bkStandard);
  EXPECT_EQ(edit->Button(), nullptr);
  ASSERT_NE(edit->UpDown(), nullptr);
  ShowFocused();
  Range(0, 10, 5);
  HWND upDown = edit->UpDown()->Handle();
  RECT r;
  GetClientRect(upDown, &r);
  // A click on the upper arrow, then one on the lower arrow, as the user makes them.
  for (int y : {2, static_cast<int>(r.bottom) - 3, static_cast<int>(r.bottom) - 3}) {
    SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, y));
    SendMessageA(upDown, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, y));
  }
  EXPECT_EQ(edit->Text(), "4");
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->UpDown()->Enabled());
}

TEST_F(SpinEditTest, HeightNeverGoesBelowWhatTheFontNeeds) {
  form->Show();
  edit->SetHeight(5);
  EXPECT_GT(edit->Height(), 5);
  const int least = edit->Height();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, edit->Font()->Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(least, metrics.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) + 1);
  edit->SetHeight(30);
  EXPECT_EQ(edit->Height(), 30);
  edit->Font()->SetHeight(-40);  // a larger font grows the edit at once
  EXPECT_GT(edit->Height(), 40);
}

// Both kinds on a shown form; with HL_SHOW_MS set the form stays up that long for a look.
TEST_F(SpinEditTest, BothKindsShowOnAForm) {
  edit->SetValue(42);
  auto* standard = new TKitSpinEdit(form.get());
  standard->SetParent(form.get());
  standard->SetBounds(150, 10, 121, 21);
  standard->SetButtonKind(bkStandard);
  standard->SetValueType(vtFloat);
  standard->SetValue(2.5);
  form->SetCaption("Spin edits");
  ShowFocused();
  edit->Button()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(edit->Button()->Parent()->Handle()) != FALSE; }));
  real_input::HoldForLooking();
  edit->Button()->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// Right to left the button sits at the left edge, the text area starts after it and a
// left-justified value shows at the right; back to left to right everything returns.
TEST_F(SpinEditTest, RightToLeftPutsTheButtonLeftAndTheTextRight) {
  auto* standard = new TKitSpinEdit(form.get());
  standard->SetParent(form.get());
  standard->SetBounds(150, 10, 121, 21);
  standard->SetButtonKind(bkStandard);
  form->Show();
  auto textArea = [](TKitSpinEdit* spin) {
    RECT r{};
    SendMessageA(spin->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  };
  auto style = [](TKitSpinEdit* spin) { return GetWindowLongPtrA(spin->Handle(), GWL_STYLE); };
  const TControl* diagonal = edit->Button()->Parent();
  const int h = edit->Height();
  EXPECT_EQ(diagonal->Left(), edit->Width() - h - 1);
  EXPECT_EQ(standard->UpDown()->Align(), alRight);
  EXPECT_EQ(style(edit) & ES_RIGHT, 0);
  // The edit keeps a margin of its own inside the area it is given.
  const RECT areaBefore = textArea(edit);
  const int margin = areaBefore.left;
  const int standardMargin = textArea(standard).left;
  const int upDownLeft = standard->UpDown()->Left();
  EXPECT_GT(upDownLeft, standard->ClientWidth() / 2);

  form->SetBiDiMode(bdRightToLeft);
  // The sunken edit's button window from -1, the text area from its right edge plus one.
  EXPECT_EQ(diagonal->Left(), -1);
  EXPECT_EQ(diagonal->Width(), h - 3);
  EXPECT_EQ(textArea(edit).left, diagonal->Width() + 1 + margin);
  EXPECT_GT(textArea(edit).right, areaBefore.right);
  EXPECT_EQ(standard->UpDown()->Align(), alLeft);
  EXPECT_EQ(standard->UpDown()->Left(), 0);
  EXPECT_GT(textArea(standard).left, standard->UpDown()->Width());
  // The alignment row of right to left: left-justified is ES_RIGHT, right-justified ES_LEFT.
  EXPECT_NE(style(edit) & ES_RIGHT, 0);
  edit->SetAlignment(taRightJustify);
  EXPECT_EQ(style(edit) & (ES_RIGHT | ES_CENTER), 0);
  EXPECT_EQ(GetWindowLongPtrA(edit->Handle(), GWL_EXSTYLE) & WS_EX_RIGHT, 0);
  // Reading right to left only keeps the left-to-right layout.
  edit->SetAlignment(taLeftJustify);
  edit->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(diagonal->Left(), edit->Width() - h - 1);
  EXPECT_EQ(style(edit) & ES_RIGHT, 0);
  const RECT readingOnly = textArea(edit);
  EXPECT_TRUE(EqualRect(&areaBefore, &readingOnly));

  form->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(standard->UpDown()->Align(), alRight);
  EXPECT_EQ(standard->UpDown()->Left(), upDownLeft);
  EXPECT_EQ(textArea(standard).left, standardMargin);
}

}  // namespace
