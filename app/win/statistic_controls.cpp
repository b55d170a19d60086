#include "app/win/statistic_controls.h"

#include "platform/rtl/properties.h"

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
