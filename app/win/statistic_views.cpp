// The statistics window's chart and detail pages and its printing. The pages stay empty
// and printing does nothing until the chart, the detail list and the report layouts are
// built here.
#include "app/win/statistic_form.h"

void TformStatistic::BuildGraphPage(TPanel*) {}

void TformStatistic::BuildDetailPage(TPanel*) {}

void TformStatistic::BuildBarChart() {}

void TformStatistic::BuildDetailView() {}

void TformStatistic::btPrintClick(TObject*) {}
