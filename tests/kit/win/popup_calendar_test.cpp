#include "kit/win/popup_calendar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/string_list.h"
#include "platform/wcl/win/edit_controls.h"
#include "tests/kit/win/calendar_fixture.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

class PopupCalendarTest : public CalendarWindowTest {
protected:
  void SetUp() override {
    CalendarWindowTest::SetUp();
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 120, 21);
    popup = static_cast<TPopupCalendar*>(CreatePopupCalendar(edit, edit->BiDiMode()));
    popup->OnCloseUp = [this](TObject*, bool accept) { closes.push_back(accept); };
  }
  TDateTime Value() { return std::get<TDateTime>(popup->GetValue()); }

  void Show() {
    form->Show();
    // The form's activation settles first; a drop-down shown before it ends up under the form.
    EXPECT_TRUE(real_input::BringToForeground(form->Handle()));
    edit->SetFocus();
    EXPECT_TRUE(real_input::WaitForFocusIn(edit->Handle()));
    popup->ShowAt(edit->ClientToScreen(POINT{0, edit->Height()}));
  }

  // Press and release of the left button in the middle of a cell of the calendar.
  void ClickDay(int col, int row) {
    const RECT cell = popup->Calendar()->CellRect(col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    popup->Calendar()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    popup->Calendar()->Perform(WM_LBUTTONUP, 0, at);
  }

  TEdit* edit = nullptr;
  TPopupCalendar* popup = nullptr;
  std::vector<bool> closes;
};

}  // namespace

TEST_F(PopupCalendarTest, ValuesThatAreNoDateOpenOnTodayAndTheTitleFollows) {
  EXPECT_EQ(EncodeDate(2026, 2, 14), Value());
  popup->SetValue(TPopupValue(EncodeDate(2025, 7, 9) + 0.75));
  EXPECT_EQ(EncodeDate(2025, 7, 9), Value());
  EXPECT_EQ("July, 2025", popup->TitleLabel()->Caption());
  popup->SetValue(TPopupValue(DateToStr(EncodeDate(2024, 12, 1))));
  EXPECT_EQ(EncodeDate(2024, 12, 1), Value());

  const std::string sep(1, FormatSettings().DateSeparator);
  for (const TPopupValue& none : {TPopupValue(), TPopupValue(std::string()), TPopupValue("  " + sep + "  " + sep),
                                  TPopupValue(std::string("31") + sep + "02" + sep + "2026")}) {
    popup->SetValue(TPopupValue(EncodeDate(2020, 1, 1)));
    popup->SetValue(none);
    EXPECT_EQ(EncodeDate(2026, 2, 14), Value());
  }
  EXPECT_EQ("February, 2026", popup->TitleLabel()->Caption());
}

TEST_F(PopupCalendarTest, AClickOnADayClosesWithItButNotOnEmptyCellsAndTheEditKeepsTheFocus) {
  SetupPopupCalendar(popup, Sun, DayOfWeekBit(Sun), clRed, nullptr);
  Show();
  real_input::HoldForLooking();
  ClickDay(2, 3);  // February 2026 from Sunday: the 17th
  EXPECT_EQ((std::vector<bool>{true}), closes);
  EXPECT_EQ(EncodeDate(2026, 2, 17), Value());
  EXPECT_TRUE(edit->Focused());

  ClickDay(0, 6);  // after the 28th
  ClickDay(0, 0);  // the day names
  EXPECT_EQ(1u, closes.size());
  EXPECT_EQ(EncodeDate(2026, 2, 17), Value());
}

TEST_F(PopupCalendarTest, ForwardedKeysStepMonthsAndYearsAndReachTheCalendar) {
  popup->Perform(WM_KEYDOWN, VK_NEXT, 1);
  EXPECT_EQ(EncodeDate(2026, 3, 14), Value());
  EXPECT_EQ("March, 2026", popup->TitleLabel()->Caption());
  popup->Perform(WM_KEYDOWN, VK_PRIOR, 1);
  popup->Perform(WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(EncodeDate(2026, 2, 13), Value());
  popup->Perform(WM_CHAR, 't', 1);
  EXPECT_EQ(EncodeDate(2026, 2, 14), Value());

  // The arrow buttons: year back, month back, month on, year on.
  popup->Button(0)->Click();
  EXPECT_EQ(EncodeDate(2025, 2, 14), Value());
  popup->Button(2)->Click();
  EXPECT_EQ(EncodeDate(2025, 3, 14), Value());
}

TEST_F(PopupCalendarTest, SetupTakesTheWeekTheColourAndTheNonEmptyHints) {
  TStringList hints;
  hints.Add("");
  hints.Add("Month back");
  SetupPopupCalendar(popup, Sun, DayOfWeekBit(Sat), clBlue, &hints);
  EXPECT_EQ(Sun, popup->Calendar()->StartOfWeek());
  EXPECT_EQ(DayOfWeekBit(Sat), popup->Calendar()->Weekends());
  EXPECT_EQ(clBlue, popup->Calendar()->WeekendColor());
  EXPECT_EQ(SPrevYear, popup->Button(0)->Hint());
  EXPECT_EQ("Month back", popup->Button(1)->Hint());
  // Other drop-downs are left alone.
  SetupPopupCalendar(nullptr, Sun, 0, clBlue, &hints);
}
