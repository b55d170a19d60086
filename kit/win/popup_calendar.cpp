#include "kit/win/popup_calendar.h"

#include <cmath>
#include <variant>

#include "kit/date_utils.h"
#include "platform/rtl/properties.h"

const ClassInfo* TPopupCalendar::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPopupCalendar>("TPopupCalendar", TPopupWindow::StaticClassInfo()).Build();
  return &ci;
}

TPopupCalendar::TPopupCalendar(TWinControl* editor) : TPopupWindow(editor) {
  SetBounds(0, 0, 187, 124);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetKitDefaultFont(Font());
  SetShowHint(editor != nullptr ? editor->ShowHint() : true);

  auto* backPanel = new TPanel(this);
  backPanel->SetParent(this);
  backPanel->SetAlign(alClient);
  backPanel->SetParentColor(true);
  backPanel->SetCaption("");

  auto* topPanel = new TPanel(this);
  topPanel->SetParent(backPanel);
  topPanel->SetBounds(0, 0, Width() - 4, 18);
  topPanel->SetAlign(alTop);
  topPanel->SetBevelOuter(bvNone);
  topPanel->SetParentColor(true);
  topPanel->SetCaption("");

  calendar_ = new TLocCalendar(this);
  calendar_->SetParent(backPanel);
  calendar_->SetAlign(alClient);
  calendar_->OnChange = [this](TObject*) { RefreshTitle(); };
  calendar_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    CalendarMouseUp(button, shift, x, y);
  };

  const int p = topPanel->Width();
  buttons_[0] = NewCalendarButton(this, topPanel, cgPrevYear, SPrevYear, -1, -1, 14);
  buttons_[1] = NewCalendarButton(this, topPanel, cgPrevMonth, SPrevMonth, 12, -1, 14);
  buttons_[2] = NewCalendarButton(this, topPanel, cgNextMonth, SNextMonth, p - 26, -1, 14);
  buttons_[3] = NewCalendarButton(this, topPanel, cgNextYear, SNextYear, p - 13, -1, 14);
  buttons_[0]->OnClick = [this](TObject*) { calendar_->PrevYear(); };
  buttons_[1]->OnClick = [this](TObject*) { calendar_->PrevMonth(); };
  buttons_[2]->OnClick = [this](TObject*) { calendar_->NextMonth(); };
  buttons_[3]->OnClick = [this](TObject*) { calendar_->NextYear(); };

  title_ = new TLabel(this);
  title_->SetParent(topPanel);
  title_->SetAutoSize(false);
  title_->SetBounds(29, 1, p - 58, 14);
  title_->SetAlignment(taCenter);
  title_->SetTransparent(true);
  title_->OnDblClick = [this](TObject*) { calendar_->SetCalendarDate(::Date()); };
  RefreshTitle();
}

void TPopupCalendar::RefreshTitle() { title_->SetCaption(FormatDateTime("MMMM, YYYY", calendar_->CalendarDate())); }

TPopupValue TPopupCalendar::GetValue() { return TPopupValue(calendar_->CalendarDate()); }

void TPopupCalendar::SetValue(const TPopupValue& value) {
  const TDateTime today = ::Date();
  TDateTime date = today;
  if (const std::string* text = std::get_if<std::string>(&value)) date = CalendarDateFromText(*text, today);
  else if (const TDateTime* given = std::get_if<TDateTime>(&value))
    date = IsValidDateValue(*given) ? std::floor(*given) : today;
  calendar_->SetCalendarDate(date);
  RefreshTitle();
}

void TPopupCalendar::CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != mbLeft || (shift & (ssShift | ssCtrl | ssAlt)) != 0) return;
  const TGridCoord cell = calendar_->MouseCoord(x, y);
  if (cell.Y >= 1 && calendar_->CellDay(cell.X, cell.Y) != 0) CloseUp(true);
}

void TPopupCalendar::KeyDown(WORD& key, TShiftState shift) {
  switch (CalendarKeyAction(key, (shift & ssShift) != 0, (shift & ssCtrl) != 0, (shift & ssAlt) != 0, false)) {
    case ckaPrevMonth: calendar_->PrevMonth(); break;
    case ckaNextMonth: calendar_->NextMonth(); break;
    case ckaPrevYear: calendar_->PrevYear(); break;
    case ckaNextYear: calendar_->NextYear(); break;
    default:
      calendar_->KeyDown(key, shift);
      return;
  }
  key = 0;
}

void TPopupCalendar::KeyPress(char& key) {
  if (key != 0) calendar_->KeyPress(key);
}

TPopupWindow* CreatePopupCalendar(TWinControl* owner, TBiDiMode biDiMode) {
  auto* popup = new TPopupCalendar(owner);
  // Whatever the resolution: a popup in another direction than its edit would read wrong.
  popup->SetBiDiMode(biDiMode);
  // Laid out for 96 pixels per inch: on another screen it grows with the screen, and its
  // text takes the kit's font at the screen's resolution.
  const int pixelsPerInch = Screen != nullptr ? Screen->PixelsPerInch() : 96;
  if (owner != nullptr && pixelsPerInch != 96) {
    popup->ScaleBy(pixelsPerInch, 96);
    popup->Calendar()->SetParentFont(true);
    SetKitDefaultFont(popup->Font());
  }
  return popup;
}

void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                        TStrings* hints) {
  auto* calendar = dynamic_cast<TPopupCalendar*>(popup);
  if (calendar == nullptr || calendar->Calendar() == nullptr) return;
  calendar->Calendar()->SetStartOfWeek(startOfWeek);
  calendar->Calendar()->SetWeekendColor(weekendColor);
  calendar->Calendar()->SetWeekends(weekends);
  TKitSpeedButton* const buttons[4] = {calendar->Button(0), calendar->Button(1), calendar->Button(2),
                                       calendar->Button(3)};
  SetCalendarButtonHints(buttons, hints);
}
