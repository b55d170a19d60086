// The statistics window's chart and detail pages and its printing, made and run by the
// window's TStatisticPages (app/win/statistic_pages.h).
#include "app/win/statistic_form.h"
#include "app/win/statistic_pages.h"

void TformStatistic::BuildGraphPage(TPanel* page) { TStatisticPages::Of(this)->BuildGraphPage(page); }

void TformStatistic::BuildDetailPage(TPanel* page) { TStatisticPages::Of(this)->BuildDetailPage(page); }

void TformStatistic::BuildBarChart() { TStatisticPages::Of(this)->BuildBarChart(); }

void TformStatistic::BuildDetailView() { TStatisticPages::Of(this)->BuildDetailView(); }

void TformStatistic::btPrintClick(TObject*) { TStatisticPages::Of(this)->Print(); }

void TformStatistic::DetailIconsApplied() { TStatisticPages::Of(this)->ApplyTaskIcons(); }
