// The statistics window's chart and detail pages and its printing, made and run by the
// window's TStatisticPages (app/win/statistic_pages.h).
#include "app/win/statistic_form.h"
#include "app/win/statistic_pages.h"

// The pages are made with the first of them, where they take their place among the
// window's components.
void TformStatistic::BuildGraphPage(TPanel* page) {
  pages_ = new TStatisticPages(this);
  pages_->BuildGraphPage(page);
}

void TformStatistic::BuildDetailPage(TPanel* page) { pages_->BuildDetailPage(page); }

void TformStatistic::BuildBarChart() { pages_->BuildBarChart(); }

void TformStatistic::BuildDetailView() { pages_->BuildDetailView(); }

void TformStatistic::btPrintClick(TObject*) { pages_->Print(); }

void TformStatistic::DetailIconsApplied() { pages_->ApplyTaskIcons(); }
