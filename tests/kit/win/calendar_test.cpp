#include "kit/win/calendar.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/string_list.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/edit_controls.h"
#include "tests/kit/win/calendar_fixture.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kGreen = 0x00FF00;

// Keys pressed one per tick through the system's input, once the date dialog's calendar
// has the focus, while the dialog runs its own message loop.
std::deque<WORD>& PendingKeys() {
  static std::deque<WORD> keys;
  return keys;
}

void CALLBACK SendNextKey(HWND, UINT, UINT_PTR timer, DWORD) {
  if (PendingKeys().empty()) {
    KillTimer(nullptr, timer);
    return;
  }
  auto* calendar = dynamic_cast<TKitCalendar*>(FindControl(GetFocus()));
  if (calendar == nullptr || dynamic_cast<TSelectDateDlg*>(calendar->Owner()) == nullptr) return;
  const WORD key = PendingKeys().front();
  PendingKeys().pop_front();
  real_input::QueueKeys({key});
}

class CalendarTest : public CalendarWindowTest {
protected:

  TKitCalendar* NewCalendar() {
    auto* calendar = new TKitCalendar(form.get());
    calendar->SetParent(form.get());
    calendar->SetBounds(10, 10, 218, 113);
    calendar->SetStartOfWeek(Sun);
    calendar->OnChange = [this](TObject*) { ++changes; };
    return calendar;
  }

  // A press and release of the left button in the middle of a cell.
  static void ClickCell(TKitCalendar* calendar, int col, int row) {
    const RECT cell = calendar->CellRect(col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    calendar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    calendar->Perform(WM_LBUTTONUP, 0, at);
  }
  static void Key(TWinControl* control, WORD key) { control->Perform(WM_KEYDOWN, key, 1); }

  // The calendar painted into a bitmap of its client size.
  static std::unique_ptr<TBitmap> Render(TKitCalendar* calendar) {
    auto out = std::make_unique<TBitmap>();
    out->SetSize(calendar->ClientWidth(), calendar->ClientHeight());
    calendar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()), 0);
    return out;
  }
  static int CountInRect(TBitmap* bitmap, const RECT& rect, TColor color) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        if ((bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF) == color) ++count;
    return count;
  }

  static std::string Ymd(TKitCalendar* c) {
    return std::to_string(c->Day()) + "." + std::to_string(c->Month()) + "." + std::to_string(c->Year());
  }


  int changes = 0;
};

}  // namespace

TEST_F(CalendarTest, ClicksPickDaysAndEmptyCellsOrTheDayNamesDoNothing) {
  TKitCalendar* calendar = NewCalendar();
  form->Show();
  EXPECT_EQ("14.2.2026", Ymd(calendar));
  // February 2026 starts on a Sunday: the 14th is the last cell of row 2.
  EXPECT_EQ(6, calendar->Col());
  EXPECT_EQ(2, calendar->Row());

  ClickCell(calendar, 2, 3);
  EXPECT_EQ("17.2.2026", Ymd(calendar));
  EXPECT_EQ(1, changes);
  EXPECT_FALSE(calendar->UseCurrentDate());
  EXPECT_TRUE(calendar->Focused());

  ClickCell(calendar, 0, 5);  // after the 28th
  ClickCell(calendar, 3, 0);  // a day name
  EXPECT_EQ("17.2.2026", Ymd(calendar));
  EXPECT_EQ(2, calendar->Col());
  EXPECT_EQ(3, calendar->Row());
  EXPECT_EQ(1, changes);

  // A read-only calendar keeps its day against clicks and the day keys.
  calendar->SetReadOnly(true);
  ClickCell(calendar, 4, 1);
  Key(calendar, VK_RIGHT);
  Key(calendar, VK_DOWN);
  EXPECT_EQ("17.2.2026", Ymd(calendar));
  // Setting the date from code still moves the selection.
  calendar->SetCalendarDate(EncodeDate(2026, 3, 1));
  EXPECT_EQ(0, calendar->Col());
  EXPECT_EQ(1, calendar->Row());
}

TEST_F(CalendarTest, DayKeysCrossMonthsWeekKeysStayInTheMonthAndTMeansToday) {
  TKitCalendar* calendar = NewCalendar();
  form->Show();
  calendar->SetFocus();
  calendar->SetCalendarDate(EncodeDate(2025, 12, 31));
  Key(calendar, VK_RIGHT);
  EXPECT_EQ("1.1.2026", Ymd(calendar));
  Key(calendar, VK_SUBTRACT);
  EXPECT_EQ("31.12.2025", Ymd(calendar));
  Key(calendar, VK_UP);
  EXPECT_EQ("24.12.2025", Ymd(calendar));
  // No week below the last one: the cell under the 31st is empty.
  calendar->SetCalendarDate(EncodeDate(2025, 12, 31));
  Key(calendar, VK_DOWN);
  EXPECT_EQ("31.12.2025", Ymd(calendar));

  calendar->Perform(WM_CHAR, 't', 1);
  EXPECT_EQ("14.2.2026", Ymd(calendar));

  // The month and year steps of the buttons.
  calendar->SetCalendarDate(EncodeDate(2024, 1, 31));
  calendar->NextMonth();
  EXPECT_EQ("29.2.2024", Ymd(calendar));
  calendar->NextYear();
  EXPECT_EQ("28.2.2025", Ymd(calendar));
}

TEST_F(CalendarTest, WeekendColumnsInTheirColourExceptTheSelectedDay) {
  TKitCalendar* calendar = NewCalendar();
  calendar->SetWeekends(DayOfWeekBit(Sun) | DayOfWeekBit(Sat));
  calendar->SetWeekendColor(kGreen);
  form->Show();
  real_input::HoldForLooking();
  std::unique_ptr<TBitmap> image = Render(calendar);
  EXPECT_GT(CountInRect(image.get(), calendar->CellRect(0, 1), kGreen), 0);  // Sunday the 1st
  EXPECT_GT(CountInRect(image.get(), calendar->CellRect(6, 1), kGreen), 0);  // Saturday the 7th
  EXPECT_GT(CountInRect(image.get(), calendar->CellRect(0, 0), kGreen), 0);  // the name "Sun"
  EXPECT_EQ(0, CountInRect(image.get(), calendar->CellRect(1, 1), kGreen));
  // The 14th, a Saturday, is selected: highlighted, not green.
  EXPECT_EQ(0, CountInRect(image.get(), calendar->CellRect(6, 2), kGreen));
  EXPECT_GT(CountInRect(image.get(), calendar->CellRect(6, 2), ColorToRGB(clHighlight) & 0xFFFFFF), 0);
}

TEST_F(CalendarTest, DropDownCalendarFollowsTheMouseButNeverTakesTheFocus) {
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 150, 100, 21);
  auto* calendar = new TLocCalendar(form.get());
  calendar->SetParent(form.get());
  calendar->SetBounds(10, 10, 187, 106);
  calendar->SetStartOfWeek(Sun);
  form->Show();
  edit->SetFocus();
  EXPECT_EQ(MA_NOACTIVATE, calendar->Perform(WM_MOUSEACTIVATE, 0, 0));
  ClickCell(calendar, 3, 2);
  EXPECT_EQ("11.2.2026", Ymd(calendar));
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(calendar->TabStop());
  // Today is framed: the frame's shadow line on the cell's top edge.
  calendar->SetCalendarDate(EncodeDate(2026, 2, 3));
  std::unique_ptr<TBitmap> image = Render(calendar);
  const RECT today = calendar->CellRect(6, 2);
  EXPECT_EQ(ColorToRGB(clBtnShadow) & 0xFFFFFF, image->Canvas()->Pixels(today.left + 3, today.top) & 0xFFFFFF);
}

TEST_F(CalendarTest, DialogStepsMonthsByKeysAndReturnsTheDateOnlyWhenAccepted) {
  // Page Down (31 January to 28 February), Tab (one month on, not to the buttons), Page
  // Down, Page Up, then Enter.
  PendingKeys() = {VK_NEXT, VK_TAB, VK_NEXT, VK_PRIOR, VK_RETURN};
  SetTimer(nullptr, 0, 40, &SendNextKey);
  TDateTime date = EncodeDate(2026, 1, 31);
  EXPECT_TRUE(SelectDate(date, "Pick", Mon, DayOfWeekBit(Sun), clRed, nullptr));
  EXPECT_EQ(EncodeDate(2026, 3, 28), date);

  // Escape keeps the date.
  PendingKeys() = {VK_NEXT, VK_ESCAPE};
  SetTimer(nullptr, 0, 40, &SendNextKey);
  EXPECT_FALSE(SelectDate(date, "", Mon, DayOfWeekBit(Sun), clRed, nullptr));
  EXPECT_EQ(EncodeDate(2026, 3, 28), date);

  // The null date opens on today.
  PendingKeys() = {VK_RETURN};
  SetTimer(nullptr, 0, 40, &SendNextKey);
  date = 0;
  EXPECT_TRUE(SelectDate(date, "", Mon, DayOfWeekBit(Sun), clRed, nullptr));
  EXPECT_EQ(EncodeDate(2026, 2, 14), date);
}

TEST_F(CalendarTest, DialogTitleFollowsTheDateAndHintsComeFromTheNonEmptyLines) {
  TSelectDateDlg dialog(nullptr);
  EXPECT_EQ(SDateDlgTitle, dialog.Caption());
  EXPECT_EQ("February, 2026", dialog.TitleLabel->Caption());
  dialog.NextYearBtn->Click();
  EXPECT_EQ("February, 2027", dialog.TitleLabel->Caption());
  dialog.Calendar->SetDay(3);
  dialog.TitleLabel->OnDblClick(dialog.TitleLabel);
  EXPECT_EQ(EncodeDate(2026, 2, 14), dialog.Date());

  TStringList hints;
  hints.Add("Back a year");
  hints.Add("");
  hints.Add("On a month");
  hints.Add("On a year");
  hints.Add("never used");
  dialog.SetHints(&hints);
  EXPECT_EQ("Back a year", dialog.PrevYearBtn->Hint());
  EXPECT_EQ(SPrevMonth, dialog.PrevMonthBtn->Hint());
  EXPECT_EQ("On a month", dialog.NextMonthBtn->Hint());
  EXPECT_EQ("On a year", dialog.NextYearBtn->Hint());
  EXPECT_TRUE(dialog.PrevYearBtn->AllowTimer());
  EXPECT_EQ(bsWin31, dialog.PrevYearBtn->Style());
  dialog.Show();
  // The built-in caption reads "Date selection" in Russian whatever the system's code page.
  wchar_t shown[64] = {};
  GetWindowTextW(dialog.Handle(), shown, 64);
  EXPECT_STREQ(shown, L"\x0412\x044B\x0431\x043E\x0440 \x0434\x0430\x0442\x044B");
  EXPECT_EQ(SDateDlgTitle, dialog.Caption());
  EXPECT_TRUE(IsBuiltInText(GetShortHint(SPrevMonth)));
  EXPECT_EQ(ShownText(GetShortHint(SPrevMonth)),
            L"\x041F\x0440\x0435\x0434\x044B\x0434\x0443\x0449\x0438\x0439 \x043C\x0435\x0441\x044F\x0446");
  real_input::HoldForLooking();
}
