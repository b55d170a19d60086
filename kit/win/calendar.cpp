#include "kit/win/calendar.h"

#include <array>

#include "kit/draw_utils.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/string_list.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/built_in_texts.h"

// The texts are in code page 1251 and shown as such whatever the system's code page.
const char* const SPrevMonth = "\xCF\xF0\xE5\xE4\xFB\xE4\xF3\xF9\xE8\xE9 \xEC\xE5\xF1\xFF\xF6|";
const char* const SPrevYear = "\xCF\xF0\xE5\xE4\xFB\xE4\xF3\xF9\xE8\xE9 \xE3\xEE\xE4|";
const char* const SNextMonth = "\xD1\xEB\xE5\xE4\xF3\xFE\xF9\xE8\xE9 \xEC\xE5\xF1\xFF\xF6|";
const char* const SNextYear = "\xD1\xEB\xE5\xE4\xF3\xFE\xF9\xE8\xE9 \xE3\xEE\xE4|";
const char* const SDateDlgTitle = "\xC2\xFB\xE1\xEE\xF0 \xE4\xE0\xF2\xFB";

namespace {

const TBuiltInTexts kBuiltInTexts{SPrevMonth, SPrevYear, SNextMonth, SNextYear, SDateDlgTitle};

const EnumInfo DayOfWeekEnum{"TDayOfWeekName", {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}};

// The arrows, 8 x 6, "#" black on white.
constexpr std::array<const char*, 6> kPrevYearRows{"..#...#.", ".##..##.", "###.###.", "###.###.", ".##..##.",
                                                   "..#...#."};
constexpr std::array<const char*, 6> kPrevMonthRows{".....#..", "....##..", "...###..", "...###..", "....##..",
                                                    ".....#.."};

std::unique_ptr<TBitmap> MakeArrow(const std::array<const char*, 6>& rows, bool mirrored) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetMonochrome(true);
  bitmap->SetSize(8, 6);
  TCanvas* canvas = bitmap->Canvas();
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const char cell = rows[y][mirrored ? 7 - x : x];
      canvas->SetPixels(x, y, cell == '#' ? clBlack : clWhite);
    }
  return bitmap;
}

// The day is today.
bool IsToday(int year, int month, int day) {
  int y = 0;
  int m = 0;
  int d = 0;
  DecodeDate(Date(), y, m, d);
  return y == year && m == month && d == day;
}

}  // namespace

TBitmap* CalendarGlyph(TCalendarGlyph glyph) {
  static std::array<std::unique_ptr<TBitmap>, 4> glyphs;
  std::unique_ptr<TBitmap>& slot = glyphs[glyph];
  if (!slot) {
    const bool next = glyph == cgNextMonth || glyph == cgNextYear;
    const bool year = glyph == cgPrevYear || glyph == cgNextYear;
    slot = MakeArrow(year ? kPrevYearRows : kPrevMonthRows, next);
  }
  return slot.get();
}

// ---- TKitCalendar ------------------------------------------------------------------------

const ClassInfo* TKitCalendar::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitCalendar>("TKitCalendar", TCustomGrid::StaticClassInfo())
          .Float("CalendarDate", &TKitCalendar::CalendarDate, &TKitCalendar::SetCalendarDate)
          .Int("Day", &TKitCalendar::Day, &TKitCalendar::SetDay)
          .Stored(false)
          .Int("Month", &TKitCalendar::Month, &TKitCalendar::SetMonth)
          .Stored(false)
          .Int("Year", &TKitCalendar::Year, &TKitCalendar::SetYear)
          .Stored(false)
          .Bool("ReadOnly", &TKitCalendar::ReadOnly, &TKitCalendar::SetReadOnly)
          .Enum("StartOfWeek", &TKitCalendar::StartOfWeek, &TKitCalendar::SetStartOfWeek, &DayOfWeekEnum)
          .Bool("UseCurrentDate", &TKitCalendar::UseCurrentDate, &TKitCalendar::SetUseCurrentDate)
          .Int("WeekendColor", &TKitCalendar::WeekendColor, &TKitCalendar::SetWeekendColor)
          .Set("Weekends", &TKitCalendar::Weekends, &TKitCalendar::SetWeekends, &DayOfWeekEnum)
          .Build();
  return &ci;
}

TKitCalendar::TKitCalendar(TComponent* owner) : TCustomGrid(owner) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetColCount(kCalendarCols);
  SetRowCount(kCalendarRows);
  SetScrollBars(ssNone);
  SetOptions((Options() & ~GridOpt(goRangeSelect)) | GridOpt(goDrawFocusSelected));
  // A press picks a cell at once; the click of the grid is the move of its current cell.
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csClickEvents));
  SetBounds(0, 0, 192, 115);
  UpdateCalendar();
}

TKitCalendar::~TKitCalendar() = default;

void TKitCalendar::CreateParams(TCreateParams& params) {
  TCustomGrid::CreateParams(params);
  // A thin border, not the sunken edge.
  if (BorderStyle() == bsSingle) params.Style |= WS_BORDER;
  params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TKitCalendar::SetCalendarDate(TDateTime value) { StepTo(month_.SetDate(value)); }

void TKitCalendar::SetDay(int value) { PartChanged(month_.SetDay(value)); }
void TKitCalendar::SetMonth(int value) { PartChanged(month_.SetMonth(value)); }
void TKitCalendar::SetYear(int value) { PartChanged(month_.SetYear(value)); }

void TKitCalendar::SetStartOfWeek(TDayOfWeekName value) {
  if (value == month_.StartOfWeek()) return;
  month_.SetStartOfWeek(value);
  UpdateCalendar();
}

void TKitCalendar::SetWeekends(TDaysOfWeek value) {
  if (value == month_.Weekends()) return;
  month_.SetWeekends(value);
  UpdateCalendar();
}

void TKitCalendar::SetUseCurrentDate(bool value) {
  if (value == useCurrentDate_) return;
  useCurrentDate_ = value;
  if (value) {
    month_.SetDate(::Date());
    UpdateCalendar();
  }
}

void TKitCalendar::SetWeekendColor(TColor value) {
  if (value == weekendColor_) return;
  weekendColor_ = value;
  Invalidate();
}

void TKitCalendar::StepTo(bool changed) {
  if (!changed) return;
  UpdateCalendar();
  Change();
}

void TKitCalendar::PartChanged(bool changed) {
  if (!changed) return;
  useCurrentDate_ = false;
  UpdateCalendar();
  Change();
}

void TKitCalendar::UpdateCalendar() {
  int col = 0;
  int row = 0;
  month_.CellOfDay(month_.Day(), col, row);
  updating_ = true;
  FocusCell(col, row, true);
  updating_ = false;
  // The whole month always shows: moving the cell into view must not scroll the grid.
  ShowWholeMonth();
  // The numbers of the other cells change with the month.
  Invalidate();
}

void TKitCalendar::Change() {
  if (OnChange && !IsDestroying()) OnChange(this);
}

bool TKitCalendar::SelectCell(int col, int row) {
  if (readOnly_ && !updating_) return false;
  return month_.CellDay(col, row) != 0 && TCustomGrid::SelectCell(col, row);
}

void TKitCalendar::Click() {
  TCustomGrid::Click();
  const int day = month_.CellDay(Col(), Row());
  if (day != 0) SetDay(day);
}

void TKitCalendar::ClickIfMoved(int oldCol, int oldRow) {
  if (Col() != oldCol || Row() != oldRow) Click();
}

void TKitCalendar::Resize() {
  const int lineWidth = GridLineWidth();
  // The grid keeps a line's room between columns whether it draws the line or not.
  SetDefaultColWidth(IntMax(CalendarColWidth(ClientWidth(), lineWidth, true), 0));
  SetDefaultRowHeight(IntMax(CalendarRowHeight(ClientHeight(), lineWidth), 0));
  TCustomGrid::Resize();
  ShowWholeMonth();
}

void TKitCalendar::ShowWholeMonth() {
  if (LeftCol() != FixedCols()) SetLeftCol(FixedCols());
  if (TopRow() != FixedRows()) SetTopRow(FixedRows());
}

void TKitCalendar::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  TCanvas* canvas = Canvas();
  if (!DefaultDrawing()) {
    // Flat cells: the day names on the fixed colour, the current day highlighted.
    if ((state & gdFixed) != 0) {
      canvas->Brush()->SetColor(FixedColor());
    } else if ((state & gdSelected) != 0) {
      canvas->Brush()->SetColor(clHighlight);
      canvas->Font()->SetColor(clHighlightText);
    } else {
      canvas->Brush()->SetColor(Color());
    }
    canvas->FillRect(rect);
  }
  if ((state & gdSelected) == 0 && month_.IsWeekendColumn(col)) canvas->Font()->SetColor(weekendColor_);
  const std::string text = month_.CellText(col, row);
  if (text.empty()) return;
  const SIZE size = canvas->TextExtent(text);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(rect.left + (rect.right - rect.left - size.cx) / 2, rect.top + (rect.bottom - rect.top - size.cy) / 2,
                  text);
  canvas->Brush()->SetStyle(bsSolid);
}

void TKitCalendar::KeyDown(WORD& key, TShiftState shift) {
  if ((shift & (ssShift | ssCtrl | ssAlt)) == 0) {
    int step = 0;
    if (key == VK_LEFT || key == VK_SUBTRACT) step = -1;
    if (key == VK_RIGHT || key == VK_ADD) step = 1;
    if (step != 0) {
      // The day keys move the selection too: not in a read-only calendar. Handled here,
      // the grid must not move its cell as well.
      if (!readOnly_) StepTo(month_.StepDay(step));
      key = 0;
      return;
    }
  }
  const int col = Col();
  const int row = Row();
  TCustomGrid::KeyDown(key, shift);
  ClickIfMoved(col, row);
}

void TKitCalendar::KeyPress(char& key) {
  TCustomGrid::KeyPress(key);
  if (key == 'T' || key == 't') {
    if (!readOnly_) SetCalendarDate(::Date());
    key = 0;
  }
}

void TKitCalendar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const int col = Col();
  const int row = Row();
  TCustomGrid::MouseDown(button, shift, x, y);
  ClickIfMoved(col, row);
}

void TKitCalendar::MouseMove(TShiftState shift, int x, int y) {
  TCustomGrid::MouseMove(shift, x, y);
  // Dragging with the left button held moves the current cell along.
  if ((shift & ssLeft) == 0 || GridState() != gsSelecting) return;
  const TGridCoord cell = MouseCoord(x, y);
  if (cell.X < 0 || cell.Y < FixedRows() || (cell.X == Col() && cell.Y == Row())) return;
  const int col = Col();
  const int row = Row();
  FocusCell(cell.X, cell.Y, true);
  ClickIfMoved(col, row);
}

// ---- TLocCalendar ------------------------------------------------------------------------

const ClassInfo* TLocCalendar::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TLocCalendar>("TLocCalendar", TKitCalendar::StaticClassInfo()).Build();
  return &ci;
}

TLocCalendar::TLocCalendar(TComponent* owner) : TKitCalendar(owner) {
  SetControlStyle(csCaptureMouse | csDoubleClicks | csOpaque);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetParentColor(true);
  SetCalendarDate(::Date());
  SetFixedColor(Color());
  SetOptions(GridOpt(goFixedHorzLine));
  // Flat day names, without the raised edges of fixed cells.
  SetDefaultDrawing(false);
}

void TLocCalendar::CreateParams(TCreateParams& params) {
  TKitCalendar::CreateParams(params);
  params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_TABSTOP | WS_DISABLED);
}

void TLocCalendar::WndProc(TMessage& msg) {
  // Takes the mouse but never the activation: the edit keeps it.
  if (msg.Msg == WM_MOUSEACTIVATE) {
    msg.Result = MA_NOACTIVATE;
    return;
  }
  TKitCalendar::WndProc(msg);
}

void TLocCalendar::ColorChanged() {
  TKitCalendar::ColorChanged();
  if (ParentColor()) SetFixedColor(Color());
}

void TLocCalendar::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  TKitCalendar::DrawCell(col, row, rect, state);
  const int day = CellDay(col, row);
  if (day == 0 || !IsToday(Year(), Month(), day)) return;
  // Today: a sunken 3-D frame.
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->MoveTo(rect.left, rect.bottom - 1);
  canvas->LineTo(rect.left, rect.top);
  canvas->LineTo(rect.right - 1, rect.top);
  canvas->Pen()->SetColor(clBtnHighlight);
  canvas->LineTo(rect.right - 1, rect.bottom - 1);
  canvas->LineTo(rect.left - 1, rect.bottom - 1);
}

// ---- TKitTimerSpeedButton ----------------------------------------------------------------

const ClassInfo* TKitTimerSpeedButton::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitTimerSpeedButton>("TKitTimerSpeedButton", TKitSpeedButton::StaticClassInfo()).Build();
  return &ci;
}

TKitTimerSpeedButton::TKitTimerSpeedButton(TComponent* owner) : TKitSpeedButton(owner) {
  SetStyle(bsWin31);
  SetAllowTimer(true);
}

// ---- TSelectDateDlg ----------------------------------------------------------------------

TKitTimerSpeedButton* NewCalendarButton(TComponent* owner, TWinControl* parent, TCalendarGlyph glyph,
                                        const char* hint, int left, int top, int size) {
  auto* button = new TKitTimerSpeedButton(owner);
  button->SetParent(parent);
  button->SetBounds(left, top, size, size);
  button->SetGlyph(CalendarGlyph(glyph));
  button->SetHint(hint);
  return button;
}

void SetKitDefaultFont(TFont* font) {
  font->SetName("MS Sans Serif");
  font->SetSize(8);
  font->SetStyle(0);
  font->SetColor(clWindowText);
}

const ClassInfo* TSelectDateDlg::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TSelectDateDlg>("TSelectDateDlg", TForm::StaticClassInfo()).Build();
  return &ci;
}

TSelectDateDlg::TSelectDateDlg(TComponent* owner) : TForm(owner) {
  SetName("SelectDateDlg");
  SetCaption(SDateDlgTitle);
  SetBorderStyle(bsToolWindow);
  SetBorderIcons(biSystemMenu);
  SetClientWidth(222);
  SetClientHeight(154);
  SetColor(clBtnFace);
  SetKitDefaultFont(Font());
  SetPosition(poScreenCenter);
  SetShowHint(true);
  SetKeyPreview(true);
  // Made without a stored layout: SelectDate scales it to the screen itself.
  SetScaled(false);

  auto* topPanel = new TPanel(this);
  topPanel->SetName("TopPanel");
  topPanel->SetParent(this);
  topPanel->SetBounds(0, 0, 222, 22);
  topPanel->SetAlign(alTop);
  topPanel->SetBevelInner(bvLowered);
  topPanel->SetParentColor(true);
  topPanel->SetCaption("");

  TitleLabel = new TLabel(this);
  TitleLabel->SetName("TitleLabel");
  TitleLabel->SetParent(topPanel);
  TitleLabel->SetAutoSize(false);
  TitleLabel->SetBounds(35, 4, 152, 14);
  TitleLabel->SetAlignment(taCenter);
  TitleLabel->SetCaption("");
  TitleLabel->SetTransparent(true);
  TitleLabel->SetParentFont(false);
  TitleLabel->Font()->Assign(Font());
  TitleLabel->Font()->SetStyle(fsBold);
  TitleLabel->Font()->SetColor(clBlue);
  TitleLabel->OnDblClick = [this](TObject* sender) { TopPanelDblClick(sender); };

  PrevYearBtn = NewCalendarButton(this, topPanel, cgPrevYear, SPrevYear, 3, 3, 16);
  PrevYearBtn->SetName("PrevYearBtn");
  PrevMonthBtn = NewCalendarButton(this, topPanel, cgPrevMonth, SPrevMonth, 18, 3, 16);
  PrevMonthBtn->SetName("PrevMonthBtn");
  NextMonthBtn = NewCalendarButton(this, topPanel, cgNextMonth, SNextMonth, 188, 3, 16);
  NextMonthBtn->SetName("NextMonthBtn");
  NextYearBtn = NewCalendarButton(this, topPanel, cgNextYear, SNextYear, 203, 3, 16);
  NextYearBtn->SetName("NextYearBtn");
  PrevYearBtn->OnClick = [this](TObject* sender) { PrevYearBtnClick(sender); };
  PrevMonthBtn->OnClick = [this](TObject* sender) { PrevMonthBtnClick(sender); };
  NextMonthBtn->OnClick = [this](TObject* sender) { NextMonthBtnClick(sender); };
  NextYearBtn->OnClick = [this](TObject* sender) { NextYearBtnClick(sender); };

  auto* bottomPanel = new TPanel(this);
  bottomPanel->SetName("BottomPanel");
  bottomPanel->SetParent(this);
  bottomPanel->SetBounds(0, 133, 222, 21);
  bottomPanel->SetAlign(alBottom);
  bottomPanel->SetBevelInner(bvNone);
  bottomPanel->SetBevelOuter(bvNone);
  bottomPanel->SetCaption("");
  OkBtn = new TButton(this);
  OkBtn->SetName("OkBtn");
  OkBtn->SetParent(bottomPanel);
  OkBtn->SetBounds(0, 0, 112, 21);
  OkBtn->SetCaption("OK");
  OkBtn->SetModalResult(mrOk);
  CancelBtn = new TButton(this);
  CancelBtn->SetName("CancelBtn");
  CancelBtn->SetParent(bottomPanel);
  CancelBtn->SetBounds(111, 0, 111, 21);
  CancelBtn->SetCaption("Cancel");
  CancelBtn->SetModalResult(mrCancel);
  CancelBtn->SetCancel(true);

  auto* middlePanel = new TPanel(this);
  middlePanel->SetName("MiddlePanel");
  middlePanel->SetParent(this);
  middlePanel->SetBounds(0, 22, 222, 111);
  middlePanel->SetAlign(alClient);
  middlePanel->SetBevelInner(bvLowered);
  middlePanel->SetCaption("");
  Calendar = new TKitCalendar(this);
  Calendar->SetName("Calendar");
  Calendar->SetParent(middlePanel);
  Calendar->SetBounds(2, 2, 218, 113);
  Calendar->SetAlign(alClient);
  Calendar->SetColor(clWhite);
  Calendar->SetTabOrder(0);
  Calendar->SetUseCurrentDate(false);
  Calendar->OnChange = [this](TObject* sender) { CalendarChange(sender); };
  Calendar->OnDblClick = [this](TObject* sender) { CalendarDblClick(sender); };

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  LoadedAll(this);
  SetDate(::Date());
  SetActiveControl(Calendar);
  DoCreate();
}

void TSelectDateDlg::SetDate(TDateTime value) {
  if (value == 0) value = ::Date();
  Calendar->SetCalendarDate(value);
  RefreshTitle();
}

void TSelectDateDlg::SetHints(TStrings* hints) {
  TKitSpeedButton* const buttons[4] = {PrevYearBtn, PrevMonthBtn, NextMonthBtn, NextYearBtn};
  SetCalendarButtonHints(buttons, hints);
}

void TSelectDateDlg::RefreshTitle() { TitleLabel->SetCaption(FormatDateTime("MMMM, YYYY", Calendar->CalendarDate())); }

void TSelectDateDlg::PrevYearBtnClick(TObject*) { Calendar->PrevYear(); }
void TSelectDateDlg::NextYearBtnClick(TObject*) { Calendar->NextYear(); }
void TSelectDateDlg::PrevMonthBtnClick(TObject*) { Calendar->PrevMonth(); }
void TSelectDateDlg::NextMonthBtnClick(TObject*) { Calendar->NextMonth(); }
void TSelectDateDlg::CalendarChange(TObject*) { RefreshTitle(); }
void TSelectDateDlg::CalendarDblClick(TObject*) { SetModalResult(mrOk); }
void TSelectDateDlg::TopPanelDblClick(TObject*) { Calendar->SetCalendarDate(::Date()); }

void TSelectDateDlg::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  switch (CalendarKeyAction(key, (shift & ssShift) != 0, (shift & ssCtrl) != 0, (shift & ssAlt) != 0, true)) {
    case ckaAccept: SetModalResult(mrOk); break;
    case ckaCancel: SetModalResult(mrCancel); break;
    case ckaPrevMonth: Calendar->PrevMonth(); break;
    case ckaNextMonth: Calendar->NextMonth(); break;
    case ckaPrevYear: Calendar->PrevYear(); break;
    case ckaNextYear: Calendar->NextYear(); break;
    case ckaNone: return;
  }
  // Handled here: the calendar must not move its cell too, nor Tab the focus.
  key = 0;
  TitleLabel->Repaint();
}

void SetCalendarButtonHints(TKitSpeedButton* const buttons[4], TStrings* hints) {
  if (hints == nullptr) return;
  const int last = IntMin(hints->Count() - 1, 3);
  for (int i = 0; i <= last; ++i)
    if (!hints->Strings(i).empty()) buttons[i]->SetHint(hints->Strings(i));
}

bool SelectDate(TDateTime& date, const std::string& title, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, TStrings* hints) {
  auto dialog = std::make_unique<TSelectDateDlg>(Application);
  if (!title.empty()) dialog->SetCaption(title);
  const int pixelsPerInch = Screen != nullptr ? Screen->PixelsPerInch() : 96;
  if (pixelsPerInch != 96) {
    dialog->ScaleBy(pixelsPerInch, 96);
    dialog->Calendar->SetParentFont(true);
    SetKitDefaultFont(dialog->Font());
    // The title keeps to the dialog's font, bold and blue, as it was made: scaled once more
    // it would no longer fit its line.
    dialog->TitleLabel->Font()->Assign(dialog->Font());
    dialog->TitleLabel->Font()->SetStyle(fsBold);
    dialog->TitleLabel->Font()->SetColor(clBlue);
    dialog->SetLeft(Screen->Width() / 2 - dialog->Width() / 2);
    dialog->SetTop(Screen->Height() / 2 - dialog->Height() / 2);
  }
  dialog->SetDate(date);
  dialog->Calendar->SetStartOfWeek(startOfWeek);
  dialog->Calendar->SetWeekends(weekends);
  dialog->Calendar->SetWeekendColor(weekendColor);
  dialog->SetHints(hints);
  if (dialog->ShowModal() != mrOk) return false;
  date = dialog->Date();
  return true;
}
