#pragma once
// TCustomDateEdit / TDateEdit: a combo edit that holds one date in the numeric date format.
// Its button opens the drop-down calendar (CalendarStyle csPopup) or the modal date dialog
// (csDialog). Numeric-pad plus and minus step the date by a day, "T" sets today; while the
// calendar is open, the page, arrow and plus/minus keys go to it.
//
// Date reads the text (an empty or unreadable one as today with DefaultToday, else as the
// null date 0); writing it shows the date, or nothing for the null date. The format follows
// YearDigits and the system's date order, and is looked at again when the system's settings
// change.

#include "kit/win/combo_edit.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/calendar_logic.h"
#include "kit/date_edit_logic.h"
#include "platform/rtl/string_list.h"

// May change (ADate) or refuse (Action False) a date the user picked.
using TExecDateDialog = std::function<void(TObject* Sender, TDateTime& ADate, bool& Action)>;

class TCustomDateEdit : public TCustomComboEdit {
  HL_REFLECTABLE
public:
  explicit TCustomDateEdit(TComponent* owner);
  ~TCustomDateEdit() override;

  TDateTime Date() const;
  void SetDate(TDateTime value);
  // Sets the date and selects the text for further typing.
  virtual void ApplyDate(TDateTime value);
  // Works out the date format and mask again; the text is laid out anew only when they
  // changed, so a date the user is still typing survives.
  virtual void UpdateFormat();

  // The placeholder of unfilled places; below the blank it is the blank.
  char BlanksChar() const { return blanksChar_; }
  void SetBlanksChar(char value);
  // At most four lines: the hints of the calendar's buttons.
  TStrings* CalendarHints() const { return calendarHints_.get(); }
  void SetCalendarHints(TStrings* value);
  TCalendarStyle CalendarStyle() const { return Popup() != nullptr ? csPopup : csDialog; }
  void SetCalendarStyle(TCalendarStyle value);
  // Leaving the edit with a text that is no date reports the date error and brings the
  // focus back.
  bool CheckOnExit() const { return checkOnExit_; }
  void SetCheckOnExit(bool value) { checkOnExit_ = value; }
  bool DefaultToday() const { return defaultToday_; }
  void SetDefaultToday(bool value) { defaultToday_ = value; }
  const std::string& DialogTitle() const { return dialogTitle_; }
  void SetDialogTitle(const std::string& value) { dialogTitle_ = value; }
  TColor PopupColor() const;
  void SetPopupColor(TColor value);
  TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDayOfWeekName value);
  TDaysOfWeek Weekends() const { return weekends_; }
  void SetWeekends(TDaysOfWeek value);
  TColor WeekendColor() const { return weekendColor_; }
  void SetWeekendColor(TColor value);
  TYearDigits YearDigits() const { return yearDigits_; }
  void SetYearDigits(TYearDigits value);
  // The date format in force ("DD/MM/YYYY"-like).
  const std::string& DateFormat() const { return dateFormat_; }

  void WndProc(TMessage& msg) override;

  TExecDateDialog OnAcceptDate;

protected:
  TBitmap* GetDefaultGlyph() override;
  bool AcceptPopup(TPopupValue& value) override;
  void AcceptValue(const TPopupValue& value) override;
  void SetPopupValue(const TPopupValue& value) override;
  void DoButtonClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  TDateTime Today() const;
  bool CanChangeByKeys() const { return DirectInput() && !ReadOnly(); }
  void MakePopup();
  void DropPopup();
  void PushCalendarSettings();
  void HintsChanged();
  void Unhook();
  void StepDays(int days);

  std::string dialogTitle_;
  bool defaultToday_ = false;
  int hookId_ = 0;
  TColor popupColor_ = clBtnFace;
  bool checkOnExit_ = false;
  char blanksChar_ = ' ';
  std::unique_ptr<TStringList> calendarHints_;
  TDayOfWeekName startOfWeek_ = Mon;
  TDaysOfWeek weekends_ = DayOfWeekBit(Sun);
  TColor weekendColor_ = clRed;
  TYearDigits yearDigits_ = dyDefault;
  std::string dateFormat_;
  bool cuttingHints_ = false;
};

class TDateEdit : public TCustomDateEdit {
  HL_REFLECTABLE
public:
  explicit TDateEdit(TComponent* owner);
};
