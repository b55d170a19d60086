#include "kit/win/date_edit.h"

#include <cmath>

#include "kit/date_utils.h"
#include "kit/kit_messages.h"
#include "kit/win/calendar.h"
#include "kit/win/draw_utils_win.h"
#include "kit/win/popup_calendar.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"

namespace {

// "Date selection" in the program's own language.
const char* const SDateDialogTitle = "\xC2\xFB\xE1\xEE\xF0 \xE4\xE0\xF2\xFB";

const EnumInfo CalendarStyleEnum{"TCalendarStyle", {"csPopup", "csDialog"}};
const EnumInfo YearDigitsEnum{"TYearDigits", {"dyDefault", "dyFour", "dyTwo"}};
const EnumInfo StartOfWeekEnum{"TDayOfWeekName", {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}};

// The date edit's button glyph, 28 x 12: a calendar sheet, and the same greyed for the
// disabled button; made once per process.
TBitmap* CalendarGlyph() {
  static const std::unique_ptr<TBitmap> glyph = [] {
    static const char* const kSheet[] = {
        "..............", ".############.", ".#rrrrrrrrrr#.", ".############.", ".#wwwwwwwwww#.",
        ".#w#w#w#w#ww#.", ".#wwwwwwwwww#.", ".#w#w#w#w#ww#.", ".#wwwwwwwwww#.", ".#w#w#w#wwww#.",
        ".############.", "..............",
    };
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(28, 12);
    TCanvas* c = bitmap->Canvas();
    for (int cell = 0; cell < 2; ++cell)
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
          const char p = kSheet[y][x];
          TColor color = clOlive;
          if (p == '#') color = cell == 0 ? clBlack : clGray;
          else if (p == 'r') color = cell == 0 ? clRed : clGray;
          else if (p == 'w') color = cell == 0 ? clWhite : clSilver;
          c->SetPixels(cell * 14 + x, y, color);
        }
    return bitmap;
  }();
  return glyph.get();
}

}  // namespace

const ClassInfo* TCustomDateEdit::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomDateEdit>("TCustomDateEdit", TCustomComboEdit::StaticClassInfo())
          .Char("BlanksChar", &TCustomDateEdit::BlanksChar, &TCustomDateEdit::SetBlanksChar)
          .Enum("CalendarStyle", &TCustomDateEdit::CalendarStyle, &TCustomDateEdit::SetCalendarStyle,
                &CalendarStyleEnum)
          .Bool("CheckOnExit", &TCustomDateEdit::CheckOnExit, &TCustomDateEdit::SetCheckOnExit)
          .Bool("DefaultToday", &TCustomDateEdit::DefaultToday, &TCustomDateEdit::SetDefaultToday)
          .Str("DialogTitle", &TCustomDateEdit::DialogTitle, &TCustomDateEdit::SetDialogTitle)
          .Int("PopupColor", &TCustomDateEdit::PopupColor, &TCustomDateEdit::SetPopupColor)
          .Enum("StartOfWeek", &TCustomDateEdit::StartOfWeek, &TCustomDateEdit::SetStartOfWeek, &StartOfWeekEnum)
          .Int("Weekends", &TCustomDateEdit::Weekends, &TCustomDateEdit::SetWeekends)
          .Int("WeekendColor", &TCustomDateEdit::WeekendColor, &TCustomDateEdit::SetWeekendColor)
          .Enum("YearDigits", &TCustomDateEdit::YearDigits, &TCustomDateEdit::SetYearDigits, &YearDigitsEnum)
          .Build();
  return &ci;
}

const ClassInfo* TDateEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TDateEdit>("TDateEdit", TCustomDateEdit::StaticClassInfo()).Build();
  return &ci;
}

TCustomDateEdit::TCustomDateEdit(TComponent* owner)
    : TCustomComboEdit(owner), dialogTitle_(SDateDialogTitle), calendarHints_(std::make_unique<TStringList>()) {
  calendarHints_->OnChange = [this](TObject*) { HintsChanged(); };
  SetDefaultNumGlyphs(2);
  dateFormat_ = DateEditFormat(yearDigits_);
  MakePopup();
  SetGlyphKind(gkDefault);
  UpdateFormat();
}

TCustomDateEdit::~TCustomDateEdit() {
  Unhook();
  DropPopup();
  calendarHints_->OnChange = nullptr;
}

TDateEdit::TDateEdit(TComponent* owner) : TCustomDateEdit(owner) { UpdateFormat(); }

TBitmap* TCustomDateEdit::GetDefaultGlyph() { return CalendarGlyph(); }

TDateTime TCustomDateEdit::Today() const { return ::Date(); }

// ---- The date and its format -----------------------------------------------------------

TDateTime TCustomDateEdit::Date() const { return DateEditReadDate(dateFormat_, Text(), defaultToday_, Today()); }

void TCustomDateEdit::SetDate(TDateTime value) {
  value = DateEditNormalize(value, defaultToday_, Today());
  const TDateTime before = Date();
  SetText(DateEditText(dateFormat_, value));
  SetModified(Date() != before);
}

void TCustomDateEdit::ApplyDate(TDateTime value) {
  SetDate(value);
  if (DirectInput()) SelectAll();
}

void TCustomDateEdit::UpdateFormat() {
  const TDateTime date = Date();
  const std::string format = DateEditFormat(yearDigits_);
  const std::string mask = DefaultDateMask(blanksChar_, DateEditFourDigits(yearDigits_));
  const bool changed = format != dateFormat_ || mask != EditMask();
  PushCalendarSettings();
  if (!changed) return;
  // The date is read with the old format and shown with the new one.
  dateFormat_ = format;
  SetEditMask(mask);
  SetDate(date);
}

void TCustomDateEdit::SetYearDigits(TYearDigits value) {
  if (value == yearDigits_) return;
  yearDigits_ = value;
  UpdateFormat();
}

void TCustomDateEdit::SetBlanksChar(char value) {
  value = DateEditBlanksChar(value);
  if (value == blanksChar_) return;
  blanksChar_ = value;
  UpdateFormat();
}

// ---- The calendar ----------------------------------------------------------------------

void TCustomDateEdit::MakePopup() {
  TPopupWindow* popup = CreatePopupCalendar(this, BiDiMode());
  popup->OnCloseUp = [this](TObject* sender, bool accept) { ClosePopup(sender, accept); };
  popup->SetColor(popupColor_);
  SetPopup(popup);
  PushCalendarSettings();
}

void TCustomDateEdit::DropPopup() {
  TPopupWindow* popup = Popup();
  if (popup == nullptr) return;
  SetPopup(nullptr);
  popup->OnCloseUp = nullptr;
  delete popup;
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle value) {
  if (value == CalendarStyle()) return;
  if (value == csPopup) MakePopup();
  else DropPopup();
}

TColor TCustomDateEdit::PopupColor() const { return Popup() != nullptr ? Popup()->Color() : popupColor_; }

void TCustomDateEdit::SetPopupColor(TColor value) {
  if (value == PopupColor()) return;
  if (Popup() != nullptr) Popup()->SetColor(value);
  popupColor_ = value;
}

void TCustomDateEdit::PushCalendarSettings() {
  if (Popup() != nullptr)
    SetupPopupCalendar(Popup(), startOfWeek_, weekends_, weekendColor_, calendarHints_.get());
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName value) {
  if (value == startOfWeek_) return;
  startOfWeek_ = value;
  PushCalendarSettings();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek value) {
  if (value == weekends_) return;
  weekends_ = value;
  PushCalendarSettings();
}

void TCustomDateEdit::SetWeekendColor(TColor value) {
  if (value == weekendColor_) return;
  weekendColor_ = value;
  PushCalendarSettings();
}

void TCustomDateEdit::SetCalendarHints(TStrings* value) { calendarHints_->Assign(value); }

void TCustomDateEdit::HintsChanged() {
  if (cuttingHints_) return;
  cuttingHints_ = true;
  while (calendarHints_->Count() > 4) calendarHints_->Delete(calendarHints_->Count() - 1);
  cuttingHints_ = false;
  PushCalendarSettings();
}

// ---- The drop-down and the dialog ------------------------------------------------------

void TCustomDateEdit::SetPopupValue(const TPopupValue& value) {
  if (Popup() != nullptr) Popup()->SetValue(value);
}

bool TCustomDateEdit::AcceptPopup(TPopupValue& value) {
  bool action = true;
  if (!OnAcceptDate) return action;
  TDateTime date = DateFromPopupValue(value, dateFormat_, defaultToday_, Today());
  OnAcceptDate(this, date, action);
  if (action) value = date;
  return action;
}

void TCustomDateEdit::AcceptValue(const TPopupValue& value) {
  const TDateTime date =
      DateEditNormalize(DateFromPopupValue(value, dateFormat_, defaultToday_, Today()), defaultToday_, Today());
  // Another date is the user's change and runs OnChange once; the same date changes nothing.
  if (date != Date()) ChangeText(DateEditText(dateFormat_, date));
}

void TCustomDateEdit::DoButtonClick() {
  TCustomComboEdit::DoButtonClick();
  if (Popup() != nullptr) return;
  TDateTime date = Date();
  const bool chosen = SelectDate(date, dialogTitle_, startOfWeek_, weekends_, weekendColor_, calendarHints_.get());
  if (CanFocus()) SetFocus();
  if (!chosen) return;
  bool action = true;
  if (OnAcceptDate) OnAcceptDate(this, date, action);
  if (!action) return;
  SetDate(date);
  if (Focused() && DirectInput()) SelectAll();
}

// ---- Keys and focus --------------------------------------------------------------------

void TCustomDateEdit::StepDays(int days) {
  TDateTime date = 0;
  // Only where typing is allowed; the first and last days of the calendar are the ends.
  if (!CanChangeByKeys() || !DateEditStep(Date(), days, Now(), date)) {
    DefaultBeep();
    return;
  }
  ApplyDate(date);
}

void TCustomDateEdit::KeyDown(WORD& key, TShiftState shift) {
  const bool calendarKey = key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_UP || key == VK_RIGHT ||
                           key == VK_DOWN || key == VK_ADD || key == VK_SUBTRACT;
  if (calendarKey && PopupVisible() && !(shift & ssAlt)) {
    Popup()->Perform(WM_KEYDOWN, key, 0);
    key = 0;
    return;
  }
  if ((key == VK_ADD || key == VK_SUBTRACT) && (shift & (ssShift | ssCtrl | ssAlt)) == 0 && DirectInput()) {
    StepDays(key == VK_ADD ? 1 : -1);
    key = 0;
    return;
  }
  TCustomComboEdit::KeyDown(key, shift);
}

void TCustomDateEdit::KeyPress(char& key) {
  const bool dateKey = key == '+' || key == '-' || key == 'T' || key == 't';
  if (dateKey && PopupVisible()) {
    Popup()->Perform(WM_CHAR, static_cast<unsigned char>(key), 0);
    key = 0;
    return;
  }
  if (dateKey && DirectInput()) {
    // Plus and minus stepped on their key; the characters are not typed.
    if (key == 'T' || key == 't') {
      if (CanChangeByKeys()) ApplyDate(Today());
      else DefaultBeep();
    }
    key = 0;
    return;
  }
  TCustomComboEdit::KeyPress(key);
}

void TCustomDateEdit::DoExit() {
  if (checkOnExit_ && !DateTextIsBlank(Text(), blanksChar_, FormatSettings().DateSeparator)) {
    try {
      TextToDateOrRaise(dateFormat_, Text());
    } catch (const EConvertError&) {
      // The user hears of the error, and the focus comes back to the text to be mended once
      // the change of focus under way is over (taking it back in the middle of it would
      // fight it).
      if (Application != nullptr) Application->HandleException(this);
      if (HandleAllocated()) PostMessageA(Handle(), CM_DATEREFOCUS, 0, 0);
      return;
    }
  }
  TCustomComboEdit::DoExit();
}

void TCustomDateEdit::WndProc(TMessage& msg) {
  if (msg.Msg == CM_DATEREFOCUS) {
    if (CanFocus()) SetFocus();
    msg.Result = 0;
    return;
  }
  TCustomComboEdit::WndProc(msg);
}

// ---- Window and the system's settings ----------------------------------------------------

void TCustomDateEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  if (hookId_ == 0 && Application != nullptr)
    hookId_ = Application->HookMainWindow([this](TMessage& msg) {
      if (msg.Msg == WM_SETTINGCHANGE) UpdateFormat();
      return false;
    });
  UpdateFormat();
}

void TCustomDateEdit::DestroyWnd() {
  Unhook();
  TCustomComboEdit::DestroyWnd();
}

void TCustomDateEdit::Unhook() {
  if (hookId_ != 0 && Application != nullptr) Application->UnhookMainWindow(hookId_);
  hookId_ = 0;
}
