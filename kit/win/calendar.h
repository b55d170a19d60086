#pragma once
// The month calendar and the date dialog.
//
// TKitCalendar shows a month as a 7 x 7 grid (a row of day names, then six weeks) and lets
// the user pick a day with the mouse or the keys; TLocCalendar is its borderless variant for
// the drop-down, which follows the mouse but never takes the focus and frames today.
// TKitTimerSpeedButton is the repeating arrow button of the drop-down and the dialog.
// TSelectDateDlg is the modal date dialog that SelectDate shows. The month arithmetic is in
// kit/calendar_logic.h.

#include "platform/wcl/win/control.h"

#include <memory>
#include <string>

#include "kit/calendar_logic.h"
#include "kit/win/speed_button.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/grid.h"
#include "platform/wcl/win/std_controls.h"

class TBitmap;
class TStrings;

// The kit's texts of the arrow buttons (short and long hint at once) and the dialog.
extern const char* const SPrevMonth;
extern const char* const SPrevYear;
extern const char* const SNextMonth;
extern const char* const SNextYear;
extern const char* const SDateDlgTitle;

// The arrow glyphs of the month and year buttons, made once per process.
enum TCalendarGlyph { cgPrevYear, cgPrevMonth, cgNextMonth, cgNextYear };
TBitmap* CalendarGlyph(TCalendarGlyph glyph);

// A cell grid of the window library holding one month. The current cell follows the date;
// moving it (by mouse or by the grid's own keys) picks its day.
class TKitCalendar : public TCustomGrid {
  HL_REFLECTABLE
public:
  explicit TKitCalendar(TComponent* owner);
  ~TKitCalendar() override;

  // The selected day; today at creation.
  TDateTime CalendarDate() const { return month_.Date(); }
  void SetCalendarDate(TDateTime value);
  // Parts of the date. Writing one sets UseCurrentDate to False; values the month cannot
  // take are ignored.
  int Day() const { return month_.Day(); }
  void SetDay(int value);
  int Month() const { return month_.Month(); }
  void SetMonth(int value);
  int Year() const { return month_.Year(); }
  void SetYear(int value);
  // The user cannot move the selection.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  TDayOfWeekName StartOfWeek() const { return month_.StartOfWeek(); }
  void SetStartOfWeek(TDayOfWeekName value);
  // True moves the date to today.
  bool UseCurrentDate() const { return useCurrentDate_; }
  void SetUseCurrentDate(bool value);
  TColor WeekendColor() const { return weekendColor_; }
  void SetWeekendColor(TColor value);
  TDaysOfWeek Weekends() const { return month_.Weekends(); }
  void SetWeekends(TDaysOfWeek value);

  // One month or year back or on.
  void PrevMonth() { StepTo(month_.StepMonth(-1)); }
  void NextMonth() { StepTo(month_.StepMonth(1)); }
  void PrevYear() { StepTo(month_.StepYear(-1)); }
  void NextYear() { StepTo(month_.StepYear(1)); }
  // Lays the month out again and moves the current cell to the date.
  virtual void UpdateCalendar();

  // The text and the day of the cell (col, row); the day is 0 for the day names and the
  // cells outside the month.
  std::string CellText(int col, int row) const { return month_.CellText(col, row); }
  int CellDay(int col, int row) const { return month_.CellDay(col, row); }

  // After the click's own handling, the day of the current cell becomes the date's.
  void Click() override;

  TNotifyEvent OnChange;

protected:
  // The popup calendar hands the keys the date edit forwards straight to its calendar.
  friend class TPopupCalendar;
  // Fires OnChange.
  virtual void Change();
  // Refused while read-only and for cells without a day.
  bool SelectCell(int col, int row) override;
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  void Resize() override;
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;

private:
  // A step of the model happened (or not): lay out and notify.
  void StepTo(bool changed);
  // A year, month or day write changed the date.
  void PartChanged(bool changed);
  // Clicks when the user's key or mouse moved the current cell.
  void ClickIfMoved(int oldCol, int oldRow);
  void ShowWholeMonth();

  TCalendarMonth month_;
  bool readOnly_ = false;
  bool updating_ = false;
  bool useCurrentDate_ = true;
  TColor weekendColor_ = 0x0000FF;
};

// The calendar of the drop-down: no border, never focused, today framed.
class TLocCalendar : public TKitCalendar {
  HL_REFLECTABLE
public:
  explicit TLocCalendar(TComponent* owner);
  // It follows the mouse but never takes the focus from the edit.
  bool CanFocus() const override { return false; }
  void WndProc(TMessage& msg) override;

protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  void CreateParams(TCreateParams& params) override;
  void ColorChanged() override;
};

// A speed button in the old style that repeats its click while held.
class TKitTimerSpeedButton : public TKitSpeedButton {
  HL_REFLECTABLE
public:
  explicit TKitTimerSpeedButton(TComponent* owner);
};

// The date dialog: a month calendar, a title with the month and year, arrow buttons, OK and
// Cancel. Page Up and Page Down step months (with Ctrl years), Tab one month on and
// Shift+Tab one back, Enter accepts and Escape cancels.
class TSelectDateDlg : public TForm {
  HL_REFLECTABLE
public:
  explicit TSelectDateDlg(TComponent* owner);

  TKitCalendar* Calendar = nullptr;
  TLabel* TitleLabel = nullptr;
  TKitTimerSpeedButton* PrevYearBtn = nullptr;
  TKitTimerSpeedButton* PrevMonthBtn = nullptr;
  TKitTimerSpeedButton* NextMonthBtn = nullptr;
  TKitTimerSpeedButton* NextYearBtn = nullptr;
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;

  // The calendar's date (the null date is today), title refreshed.
  TDateTime Date() const { return Calendar->CalendarDate(); }
  void SetDate(TDateTime value);
  // Hints of the four buttons from the first four lines that are not empty.
  void SetHints(TStrings* hints);

  void PrevYearBtnClick(TObject* sender);
  void NextYearBtnClick(TObject* sender);
  void PrevMonthBtnClick(TObject* sender);
  void NextMonthBtnClick(TObject* sender);
  void CalendarChange(TObject* sender);
  void CalendarDblClick(TObject* sender);
  void TopPanelDblClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);

private:
  void RefreshTitle();
};

// A repeating arrow button with its glyph and hint, size x size at (left, top) of parent.
TKitTimerSpeedButton* NewCalendarButton(TComponent* owner, TWinControl* parent, TCalendarGlyph glyph,
                                        const char* hint, int left, int top, int size);
// The kit's default font: "MS Sans Serif", 8 points, window text.
void SetKitDefaultFont(TFont* font);

// The hints of four arrow buttons (previous year, previous month, next month, next year)
// from the first four lines of hints that are not empty.
void SetCalendarButtonHints(TKitSpeedButton* const buttons[4], TStrings* hints);

// Shows the date dialog on date (the null date: today); true and the chosen date when the
// user accepts it, false and date unchanged otherwise. An empty title keeps the dialog's.
bool SelectDate(TDateTime& date, const std::string& title, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, TStrings* hints);
