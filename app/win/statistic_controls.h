#pragma once
// Two small controls of the statistics window. TNotebook is a page container without tabs:
// one page (a panel filling it) shows at a time, chosen by PageIndex. TStatDateEdit is the
// window's date field: a combo edit that cannot be typed into, shows its date with a
// four-digit year and picks a new one through the date dialog.

#include <string>
#include <vector>

#include "kit/calendar_logic.h"
#include "kit/win/combo_edit.h"
#include "platform/wcl/win/std_controls.h"

class TNotebook : public TPanel {
  HL_REFLECTABLE
public:
  explicit TNotebook(TComponent* owner);

  // Adds a page, hidden unless it is the one shown.
  TPanel* AddPage(const std::string& name);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPanel* Page(int index) const { return pages_.at(static_cast<size_t>(index)); }
  int PageIndex() const { return pageIndex_; }
  // Shows the page; an index outside the pages is ignored. OnPageChanged follows a change.
  void SetPageIndex(int value);

  TNotifyEvent OnPageChanged;

private:
  std::vector<TPanel*> pages_;
  int pageIndex_ = 0;
};

class TStatDateEdit : public TComboEdit {
  HL_REFLECTABLE
public:
  explicit TStatDateEdit(TComponent* owner);

  // The date of the text; 0 (the null date) when the text holds none.
  TDateTime Date() const;
  // 0 empties the text. The text changes, so OnChange runs.
  void SetDate(TDateTime value);
  const std::string& DialogTitle() const { return dialogTitle_; }
  void SetDialogTitle(const std::string& value) { dialogTitle_ = value; }
  TDaysOfWeek Weekends() const { return weekends_; }
  void SetWeekends(TDaysOfWeek value) { weekends_ = value; }

private:
  void ChooseDate(TObject* sender);

  std::string dialogTitle_;
  TDaysOfWeek weekends_ = 0;
};
