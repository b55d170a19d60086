// The date edit under Wine: the date and its defaults, the format by year digits, the keys
// that step the date, the drop-down calendar and the date dialog with OnAcceptDate, the
// check on leaving, and the settings pushed to the calendar.

#include "kit/win/date_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "kit/date_utils.h"
#include "kit/win/calendar.h"
#include "kit/win/popup_calendar.h"
#include "platform/rtl/format_settings.h"
#include "tests/kit/win/date_edit_fixture.h"

namespace {

// Answers the modal date dialog with a key once it is up.
WORD g_dialogKey = 0;
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND active = GetActiveWindow();
  if (active == nullptr || FindControl(active) == nullptr || dynamic_cast<TSelectDateDlg*>(FindControl(active)) == nullptr)
    return;
  KillTimer(nullptr, id);
  PostMessageA(GetFocus() != nullptr ? GetFocus() : active, WM_KEYDOWN, g_dialogKey, 1);
}

class DateEditTest : public DateEditFormTest {
protected:
  void ShowFocused() { EditFormTest::ShowFocused(edit); }
  void Key(WORD key) { EditFormTest::Key(edit, key); }
  void Char(char c) { EditFormTest::Char(edit, c); }
  TPopupCalendar* Calendar() { return dynamic_cast<TPopupCalendar*>(edit->Popup()); }
};

TEST_F(DateEditTest, NullDateIsTheBlankTemplateUnlessDefaultToday) {
  // Read through the mask: blanks and the separators.
  EXPECT_EQ(edit->Text(), "  .  .    ");
  EXPECT_EQ(edit->Date(), 0);
  EXPECT_EQ(edit->DateFormat(), "DD/MM/YYYY");
  EXPECT_EQ(edit->EditMask(), "!99/99/9999;1; ");
  EXPECT_EQ(edit->GlyphKind(), gkDefault);
  EXPECT_EQ(edit->NumGlyphs(), 2);
  EXPECT_EQ(edit->ButtonWidth(), 21);
  EXPECT_EQ(edit->CalendarStyle(), csPopup);
  edit->SetDate(EncodeDate(2026, 3, 5));
  EXPECT_EQ(edit->Text(), "05.03.2026");
  edit->SetDate(0);
  EXPECT_EQ(edit->Text(), "  .  .    ");
  edit->SetDefaultToday(true);
  edit->SetDate(0);
  EXPECT_EQ(edit->Date(), ::Date());
  edit->SetText("");
  EXPECT_EQ(edit->Date(), ::Date());
}

TEST_F(DateEditTest, ModifiedOnlyWhenTheDateChanges) {
  edit->SetDate(EncodeDate(2026, 3, 5));
  EXPECT_TRUE(edit->Modified());
  edit->SetDate(EncodeDate(2026, 3, 5) + 0.5);  // the same day
  EXPECT_FALSE(edit->Modified());
}

TEST_F(DateEditTest, TwoDigitYearsRelayTheTextAndTheMask) {
  edit->SetDate(EncodeDate(2026, 3, 5));
  edit->SetYearDigits(dyTwo);
  EXPECT_EQ(edit->Text(), "05.03.26");
  EXPECT_EQ(edit->EditMask(), "!99/99/99;1; ");
  EXPECT_EQ(edit->Date(), EncodeDate(2026, 3, 5));
  edit->SetBlanksChar('\x01');
  EXPECT_EQ(edit->BlanksChar(), ' ');
}

TEST_F(DateEditTest, SettingsChangeKeepsAHalfTypedDate) {
  ShowFocused();
  edit->SetText("31.02.2026");
  SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(edit->Text(), "31.02.2026");
  // A new date order does reach the edit.
  FormatSettings().ShortDateFormat = "yyyy/mm/dd";
  edit->SetDate(EncodeDate(2026, 3, 5));
  SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(edit->Text(), "2026.03.05");
}

TEST_F(DateEditTest, NumericPadStepsDaysAndTSetsToday) {
  ShowFocused();
  Key(VK_ADD);
  EXPECT_EQ(edit->Date(), ::Date() + 1);  // from the present moment on an empty edit
  Key(VK_SUBTRACT);
  Key(VK_SUBTRACT);
  EXPECT_EQ(edit->Date(), ::Date() - 1);
  Char('-');  // the character of the key is not typed
  Char('t');
  EXPECT_EQ(edit->Date(), ::Date());
  EXPECT_EQ(edit->Text(), DateEditText(edit->DateFormat(), ::Date()));
}

TEST_F(DateEditTest, KeysDoNotChangeAReadOnlyDateAndStopAtTheLastDay) {
  ShowFocused();
  edit->SetDate(EncodeDate(9999, 12, 31));
  Key(VK_ADD);
  EXPECT_EQ(edit->Text(), "31.12.9999");
  EXPECT_EQ(Beeps(), 1);
  edit->SetReadOnly(true);
  Key(VK_SUBTRACT);
  Char('T');
  EXPECT_EQ(edit->Text(), "31.12.9999");
  EXPECT_EQ(Beeps(), 3);
}

TEST_F(DateEditTest, DropDownCalendarOpensOnTheDateTakesKeysAndEnterAccepts) {
  ShowFocused();
  edit->SetDate(EncodeDate(2026, 3, 5));
  changes = 0;
  EditFormTest::AltDown(edit);
  ASSERT_TRUE(edit->PopupVisible());
  ASSERT_NE(Calendar(), nullptr);
  EXPECT_EQ(std::get<TDateTime>(Calendar()->GetValue()), EncodeDate(2026, 3, 5));
  Key(VK_NEXT);  // a month on, in the calendar
  Key(VK_RIGHT);
  EXPECT_EQ(std::get<TDateTime>(Calendar()->GetValue()), EncodeDate(2026, 4, 6));
  EXPECT_EQ(edit->Text(), "05.03.2026");
  Char('\r');
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), "06.04.2026");
  EXPECT_EQ(changes, 1);
}

TEST_F(DateEditTest, AcceptDateHandlerCanRefuseOrChangeThePickedDate) {
  ShowFocused();
  edit->SetDate(EncodeDate(2026, 3, 5));
  bool allow = false;
  edit->OnAcceptDate = [&](TObject*, TDateTime& date, bool& action) {
    action = allow;
    date += 10;
  };
  edit->EditButtonClick();
  Key(VK_RIGHT);
  Char('\r');
  EXPECT_EQ(edit->Text(), "05.03.2026");
  allow = true;
  edit->EditButtonClick();
  Key(VK_RIGHT);
  Char('\r');
  EXPECT_EQ(edit->Text(), "16.03.2026");
}

TEST_F(DateEditTest, DialogStyleRunsTheDateDialog) {
  edit->SetCalendarStyle(csDialog);
  EXPECT_EQ(edit->Popup(), nullptr);
  ShowFocused();
  edit->SetDate(EncodeDate(2026, 3, 5));
  int accepted = 0;
  edit->OnAcceptDate = [&](TObject*, TDateTime& date, bool&) {
    ++accepted;
    date = EncodeDate(2027, 1, 1);
  };
  g_dialogKey = VK_ESCAPE;
  SetTimer(nullptr, 0, 50, &AnswerDialog);
  edit->EditButtonClick();
  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(edit->Text(), "05.03.2026");
  g_dialogKey = VK_RETURN;
  SetTimer(nullptr, 0, 50, &AnswerDialog);
  edit->EditButtonClick();
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(edit->Text(), "01.01.2027");
}

TEST_F(DateEditTest, BackToPopupStyleKeepsColourAndCalendarSettings) {
  edit->SetPopupColor(clYellow);
  edit->SetCalendarStyle(csDialog);
  EXPECT_EQ(edit->PopupColor(), clYellow);
  edit->SetStartOfWeek(Sun);
  edit->SetWeekendColor(clBlue);
  edit->SetCalendarStyle(csPopup);
  ASSERT_NE(Calendar(), nullptr);
  EXPECT_EQ(Calendar()->Color(), clYellow);
  EXPECT_EQ(Calendar()->Calendar()->StartOfWeek(), Sun);
  EXPECT_EQ(Calendar()->Calendar()->WeekendColor(), clBlue);
}

// The popup calendar reads in the edit's direction: made in it, and following it after.
TEST_F(DateEditTest, PopupCalendarTakesTheEditsDirection) {
  ASSERT_NE(Calendar(), nullptr);
  EXPECT_EQ(Calendar()->BiDiMode(), bdLeftToRight);
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(Calendar()->BiDiMode(), bdRightToLeft);
  EXPECT_NE(GetWindowLongPtrA(Calendar()->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
  edit->SetCalendarStyle(csDialog);
  edit->SetCalendarStyle(csPopup);
  ASSERT_NE(Calendar(), nullptr);
  EXPECT_EQ(Calendar()->BiDiMode(), bdRightToLeft);
  edit->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(Calendar()->BiDiMode(), bdRightToLeftReadingOnly);
}

TEST_F(DateEditTest, CalendarHintsKeepFourLines) {
  TStringList hints;
  for (const char* h : {"a", "b", "c", "d", "e", "f"}) hints.Add(h);
  edit->SetCalendarHints(&hints);
  EXPECT_EQ(edit->CalendarHints()->Count(), 4);
  EXPECT_EQ(GetShortHint(Calendar()->Button(3)->Hint()), "d");
}

TEST_F(DateEditTest, CheckOnExitKeepsTheFocusOnATextThatIsNoDate) {
  edit->SetCheckOnExit(true);
  ShowFocused();
  edit->SetText("31.02.2026");
  other->SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return !Boxes().empty() && GetFocus() == edit->Handle(); }));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("'31.02.2026' is not a valid date"), std::string::npos);
  EXPECT_EQ(GetFocus(), edit->Handle());
  edit->SetText("28.02.2026");
  other->SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == other->Handle(); }));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(GetFocus(), other->Handle());
}

// With HL_SHOW_MS set, the open calendar stays up that long for a look.
TEST_F(DateEditTest, OpenCalendarShows) {
  form->SetCaption("Date edit");
  ShowFocused();
  edit->SetDate(EncodeDate(2026, 12, 9));
  edit->EditButtonClick();
  EXPECT_TRUE(PumpUntil([&] { return edit->PopupVisible(); }));
  real_input::HoldForLooking();
}

}  // namespace
