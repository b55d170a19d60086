#pragma once
// TPopupCalendar: the drop-down the date edit opens under itself. A title with the month and
// year between four repeating arrow buttons (year and month back, month and year on) and a
// TLocCalendar below. A click on a day closes it with that date; Page Up and Page Down step
// months (with Ctrl years), the other keys the date edit hands on go to the calendar.
//
// The date edit reaches it only through CreatePopupCalendar and SetupPopupCalendar.

#include "platform/wcl/win/control.h"

#include "kit/calendar_logic.h"
#include "kit/win/calendar.h"
#include "kit/win/combo_edit.h"

class TStrings;

class TPopupCalendar : public TPopupWindow {
  HL_REFLECTABLE
public:
  explicit TPopupCalendar(TWinControl* editor);

  TLocCalendar* Calendar() const { return calendar_; }
  TLabel* TitleLabel() const { return title_; }
  // The buttons: previous year, previous month, next month, next year.
  TKitTimerSpeedButton* Button(int index) const { return buttons_[index]; }

  // The calendar's date.
  TPopupValue GetValue() override;
  // A date, or a text standing for one; nothing, an empty text or one that is no date
  // means today.
  void SetValue(const TPopupValue& value) override;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

private:
  void RefreshTitle();
  void CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y);

  TLocCalendar* calendar_ = nullptr;
  TLabel* title_ = nullptr;
  TKitTimerSpeedButton* buttons_[4] = {};
};

// A popup calendar for the edit that owns it, in the edit's text direction.
TPopupWindow* CreatePopupCalendar(TWinControl* owner, TBiDiMode biDiMode);
// The week layout, weekend colour and button hints (the first four lines that are not
// empty) of a popup calendar; other popups are left alone.
void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                        TStrings* hints);
