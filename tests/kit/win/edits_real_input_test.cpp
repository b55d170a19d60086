// The kit's one-line edits driven by real key presses and clicks: Tab and Shift+Tab pass
// through each of them (read-only or not, typing allowed or not) without typing a tab or
// changing a text, Enter and Escape reach the form's default and cancel buttons unless a
// drop-down is open, Alt+Down and the buttons open what they open, and typed values are
// the values read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kit/win/combo_edit.h"
#include "kit/win/date_edit.h"
#include "kit/win/file_dialog.h"
#include "kit/win/filename_edit.h"
#include "kit/win/spin_edit.h"
#include "platform/rtl/format_settings.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/kit/win/edit_form_fixture.h"
#include "tests/support/real_input.h"

namespace {

using namespace real_input;

int g_dialogRuns = 0;
bool CountDialog(TOpenDialog&) {
  ++g_dialogRuns;
  return false;
}

class EditsRealInputTest : public EditFormTest {
protected:
  void SetUp() override {
    EditFormTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = '.';
    g_dialogRuns = 0;
    previousDialog_ = SetFileDialogEdge(&CountDialog);
    form->SetCaption("Hourlark - kit edits");

    combo = Add<TComboEdit>(10, 10, 150);
    combo->SetText("plain text");
    combo->OnButtonClick = [this](TObject*) { ++comboButtonClicks; };
    date = Add<TDateEdit>(10, 40, 120);
    date->SetDate(EncodeDate(2024, 3, 15));
    file = Add<TFilenameEdit>(10, 70, 200);
    file->SetText("c:\\sounds\\break.wav");
    spin = Add<TKitSpinEdit>(10, 100, 80);
    spin->SetMinValue(1);
    spin->SetMaxValue(600);
    spin->SetIncrement(5);
    spin->SetValue(30);
    ok = Add<TButton>(200, 130, 75);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { ++okClicks; };
    cancel = Add<TButton>(200, 160, 75);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->OnClick = [this](TObject*) { ++cancelClicks; };
    form->Show();
    ASSERT_TRUE(BringToForeground(form->Handle()));
  }
  void TearDown() override {
    SetFileDialogEdge(previousDialog_);
    EditFormTest::TearDown();
    ResetFormatSettings();
  }

  template <class T>
  T* Add(int left, int top, int width) {
    T* control = new T(form.get());
    control->SetParent(form.get());
    control->SetBounds(left, top, width, 21);
    if (auto* button = dynamic_cast<TButton*>(static_cast<TControl*>(control))) button->SetHeight(25);
    return control;
  }
  void FocusOn(TWinControl* control) {
    control->SetFocus();
    ASSERT_TRUE(WaitForFocusIn(control->Handle()));
  }
  std::vector<std::string> Texts() const {
    return {other->Text(), combo->Text(), date->Text(), file->Text(), spin->Text()};
  }
  std::vector<HWND> TabOrder() const {
    return {combo->Handle(), date->Handle(), file->Handle(), spin->Handle(),
            ok->Handle(),    cancel->Handle(), other->Handle()};
  }
  // The middle of a speed button inside its host window, in the host's coordinates.
  static POINT MiddleOf(TControl* button) {
    return {button->Left() + button->Width() / 2, button->Top() + button->Height() / 2};
  }

  TComboEdit* combo = nullptr;
  TDateEdit* date = nullptr;
  TFilenameEdit* file = nullptr;
  TKitSpinEdit* spin = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
  int comboButtonClicks = 0;
  int okClicks = 0;
  int cancelClicks = 0;

private:
  TFileDialogEdge previousDialog_ = nullptr;
};

TEST_F(EditsRealInputTest, TabAndShiftTabPassThroughEveryEditWithoutTypingATab) {
  const std::vector<std::string> before = Texts();
  FocusOn(other);
  EXPECT_EQ(TabCycle(12), TabOrder());
  EXPECT_EQ(Texts(), before);
  std::vector<HWND> back = TabOrder();
  back.pop_back();
  std::reverse(back.begin(), back.end());
  back.push_back(other->Handle());
  EXPECT_EQ(TabCycle(12, true), back);
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(Beeps(), 0);
  EXPECT_EQ(okClicks + cancelClicks + comboButtonClicks + g_dialogRuns, 0);
  EXPECT_TRUE(Screenshot("kit-edits.png"));
}

TEST_F(EditsRealInputTest, ReadOnlyAndNotTypableEditsLetTheFocusGoAndKeepTheirValues) {
  date->SetReadOnly(true);
  combo->SetReadOnly(true);
  spin->SetEditorEnabled(false);
  file->SetDirectInput(false);
  const std::vector<std::string> before = Texts();
  FocusOn(other);
  EXPECT_EQ(TabCycle(12), TabOrder());
  FocusOn(ok);
  PressKey(VK_TAB, kShift);
  EXPECT_TRUE(FocusIsIn(spin->Handle()));
  PressKey(VK_TAB, kShift);
  EXPECT_TRUE(FocusIsIn(file->Handle()));
  PressKey(VK_TAB, kShift);
  EXPECT_TRUE(FocusIsIn(date->Handle()));
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(spin->Value(), 30);
}

TEST_F(EditsRealInputTest, SpinEditTakesTypedValuesArrowsAndItsButtonHalves) {
  FocusOn(file);
  PressKey(VK_TAB);  // comes in with the whole text selected
  ASSERT_TRUE(FocusIsIn(spin->Handle()));
  TypeText("45");
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIsIn(ok->Handle()));
  EXPECT_EQ(spin->Text(), "45");
  EXPECT_EQ(spin->Value(), 45);

  FocusOn(spin);
  PressKey(VK_UP);
  EXPECT_EQ(spin->Value(), 50);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  EXPECT_EQ(spin->Value(), 40);
  TKitSpinButton* button = spin->Button();
  HWND host = button->Parent()->Handle();
  const POINT upHalf{button->Left() + button->Width() / 4, button->Top() + button->Height() / 4};
  const POINT downHalf{button->Left() + button->Width() * 3 / 4, button->Top() + button->Height() * 3 / 4};
  Click(host, upHalf);
  EXPECT_EQ(spin->Value(), 45);
  Click(host, downHalf);
  Click(host, downHalf);
  EXPECT_EQ(spin->Value(), 35);

  // Beyond the range when typed, the bound when read; letters never get in.
  PressKey(VK_END);
  PressKey(VK_HOME, kShift);
  TypeText("9x99");
  EXPECT_EQ(spin->Text(), "999");
  EXPECT_EQ(spin->Value(), 600);
  PressKey(VK_TAB, kShift);
  EXPECT_EQ(spin->Text(), "600");
  EXPECT_EQ(Beeps(), 1);
}

TEST_F(EditsRealInputTest, EnterAndEscapeReachTheFormsButtonsFromEveryEdit) {
  const std::vector<std::string> before = Texts();
  int expected = 0;
  for (TWinControl* edit : std::vector<TWinControl*>{combo, date, file, spin}) {
    FocusOn(edit);
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    ++expected;
    EXPECT_EQ(okClicks, expected) << edit->ClassName();
    EXPECT_EQ(cancelClicks, expected) << edit->ClassName();
  }
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(comboButtonClicks + g_dialogRuns, 0);
}

TEST_F(EditsRealInputTest, AltDownAndTheButtonsOpenTheirDropDownsWhichEnterAndEscapeClose) {
  const std::string dateText = date->Text();
  FocusOn(date);
  PressKey(VK_DOWN, kAlt);
  ASSERT_TRUE(PumpUntil([this] { return date->PopupVisible(); }));
  EXPECT_TRUE(FocusIsIn(date->Handle()));
  EXPECT_TRUE(Screenshot("kit-edits-calendar.png"));
  PressKey(VK_RIGHT);  // the calendar's next day
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(date->PopupVisible());
  EXPECT_EQ(date->Text(), dateText);
  PressKey(VK_DOWN, kAlt);
  PressKey(VK_RIGHT);
  PressKey(VK_RETURN);
  EXPECT_FALSE(date->PopupVisible());
  EXPECT_EQ(date->Date(), EncodeDate(2024, 3, 16));
  EXPECT_EQ(okClicks + cancelClicks, 0);

  // The button opens the calendar and a second click on it takes the calendar's day.
  HWND dateHost = date->Button()->Parent()->Handle();
  Click(dateHost, MiddleOf(date->Button()));
  EXPECT_TRUE(date->PopupVisible());
  PressKey(VK_RIGHT);
  Click(dateHost, MiddleOf(date->Button()));
  EXPECT_FALSE(date->PopupVisible());
  EXPECT_EQ(date->Date(), EncodeDate(2024, 3, 17));

  // The plain combo edit and the file-name edit run their button on the key and the click.
  FocusOn(combo);
  PressKey(VK_DOWN, kAlt);
  Click(combo->Button()->Parent()->Handle(), MiddleOf(combo->Button()));
  EXPECT_EQ(comboButtonClicks, 2);
  FocusOn(file);
  PressKey(VK_DOWN, kAlt);
  Click(file->Button()->Parent()->Handle(), MiddleOf(file->Button()));
  EXPECT_EQ(g_dialogRuns, 2);
  EXPECT_EQ(file->Text(), "c:\\sounds\\break.wav");
  EXPECT_EQ(okClicks + cancelClicks, 0);
}

TEST_F(EditsRealInputTest, TypedTextIsKeptAndTabOutLeavesIt) {
  FocusOn(combo);
  PressKey(VK_END);
  PressKey(VK_HOME, kShift);
  TypeText("new words");
  PressKey(VK_TAB);
  EXPECT_EQ(combo->Text(), "new words");
  FocusOn(file);
  PressKey(VK_END);
  PressKey(VK_BACK);
  PressKey(VK_BACK);
  PressKey(VK_BACK);
  TypeText("mid");
  PressKey(VK_TAB);
  EXPECT_EQ(file->Text(), "c:\\sounds\\break.mid");
  EXPECT_TRUE(FocusIsIn(spin->Handle()));
}

}  // namespace
