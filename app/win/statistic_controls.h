#pragma once
// TNotebook: the statistics window's page container without tabs. One page (a panel
// filling it) shows at a time, chosen by PageIndex.

#include <string>
#include <vector>

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
