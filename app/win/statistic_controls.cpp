#include "app/win/statistic_controls.h"

#include "kit/win/calendar.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"

namespace {

// The short date format with its year written in four digits.
std::string FourDigitYearFormat() {
  std::string format = LowerCase(FormatSettings().ShortDateFormat);
  const size_t y = format.find('y');
  if (y == std::string::npos) return format;
  size_t end = y;
  while (end < format.size() && format[end] == 'y') ++end;
  return format.replace(y, end - y, "yyyy");
}

}  // namespace

const ClassInfo* TNotebook::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TNotebook>("TNotebook", TPanel::StaticClassInfo())
                                  .Int("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex)
                                  .Build();
  return &ci;
}

TNotebook::TNotebook(TComponent* owner) : TPanel(owner) {
  SetBevelOuter(bvNone);
  SetCaption("");
}

TPanel* TNotebook::AddPage(const std::string& name) {
  auto* page = new TPanel(Owner());
  page->SetName(name);
  page->SetParent(this);
  page->SetBevelOuter(bvNone);
  page->SetCaption("");
  page->SetAlign(alClient);
  page->SetVisible(PageCount() == pageIndex_);
  pages_.push_back(page);
  return page;
}

void TNotebook::SetPageIndex(int value) {
  if (value < 0 || value >= PageCount() || value == pageIndex_) {
    if (value >= 0 && value < PageCount()) Page(value)->SetVisible(true);
    return;
  }
  Page(value)->SetVisible(true);
  if (pageIndex_ >= 0 && pageIndex_ < PageCount()) Page(pageIndex_)->SetVisible(false);
  pageIndex_ = value;
  if (OnPageChanged) OnPageChanged(this);
}

const ClassInfo* TStatDateEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStatDateEdit>("TStatDateEdit", TComboEdit::StaticClassInfo())
                                  .Str("DialogTitle", &TStatDateEdit::DialogTitle, &TStatDateEdit::SetDialogTitle)
                                  .Build();
  return &ci;
}

TStatDateEdit::TStatDateEdit(TComponent* owner) : TComboEdit(owner) {
  SetDirectInput(false);
  SetGlyphKind(gkDropDown);
  OnButtonClick = [this](TObject* sender) { ChooseDate(sender); };
}

TDateTime TStatDateEdit::Date() const {
  TDateTime value = 0;
  return TryStrToDate(Text(), value) ? value : 0;
}

void TStatDateEdit::SetDate(TDateTime value) {
  SetText(value == 0 ? std::string() : FormatDateTime(FourDigitYearFormat(), value));
}

void TStatDateEdit::ChooseDate(TObject*) {
  TDateTime date = Date();
  if (SelectDate(date, dialogTitle_, Mon, weekends_, clRed, nullptr)) SetDate(date);
}
