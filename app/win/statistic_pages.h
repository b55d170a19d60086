#pragma once
// The statistics window's "Graph" and "Detail" pages and its printing.
//
// "Graph" shows one bar per day of the range for the chosen task (and one for the compared
// task); a click on a bar tells that day's times. "Detail" lists every task description with
// its time over the range, largest first, as a table and as a pie, with the total; it is
// gathered behind the wait window, which can cancel it. Print previews the layout of the page
// on show (app/win/statistic_reports.h).
//
// TStatisticPages is a component of the statistics window (named "StatisticPages", kept as
// the window's Pages()) that builds these pages' controls on the window, as the window's own,
// and runs them. The window calls it through BuildGraphPage, BuildDetailPage, BuildBarChart,
// BuildDetailView and btPrintClick.

#include <functional>
#include <string>

#include "app/statistic_charts.h"
#include "app/win/statistic_reports.h"
#include "platform/rtl/component.h"
#include "platform/wcl/win/std_controls.h"

class TformStatistic;
class TKitSpeedButton;
class TListView;
class TNotebook;
class TPanel;
class TPlotBarSeries;
class TPlotChart;
class TPlotPieSeries;
class TPlotSeries;
class TTimer;

class TStatisticPages : public TComponent {
  HL_REFLECTABLE
public:
  explicit TStatisticPages(TformStatistic* form);

  // Builds the controls of the "Graph" page on page.
  void BuildGraphPage(TPanel* page);
  // Builds the detail header (the window's pDetail) and the controls of the "Detail" page.
  void BuildDetailPage(TPanel* page);
  // Fills the bars from the week table.
  void BuildBarChart();
  // Gathers the detail list behind the wait window and fills the table, the pie and the
  // total. While it runs the statistics window takes no input, and a second build, a
  // recompute's chart or Print do nothing.
  void BuildDetailView();
  // Previews the layout of the page on show.
  void Print();
  // The task icons were published: the list's items take theirs.
  void ApplyTaskIcons();
  bool Building() const { return building_; }
  // The detail list shown (what slTaskDetail holds for the pie's slices).
  const StatDetail& Detail() const { return detail_; }

  // What shows a layout; tests put their own here (default: the engine's modal preview).
  using TPreviewRunner = std::function<void(TStatReportBase& report)>;
  static void SetPreviewRunner(TPreviewRunner runner);

  // ---- Components (owned by the window) ----
  TPlotChart* Chart1 = nullptr;
  TPlotBarSeries* Series1 = nullptr;
  TPlotBarSeries* Series2 = nullptr;
  TPanel* pDetail = nullptr;
  TKitSpeedButton* btDetailPage0 = nullptr;
  TKitSpeedButton* btDetailPage1 = nullptr;
  TKitSpeedButton* btRotate = nullptr;
  TLabel* lTotal_ = nullptr;
  TNotebook* Notebook2 = nullptr;
  TListView* ListView = nullptr;
  TPlotChart* Chart2 = nullptr;
  TPlotPieSeries* Series3 = nullptr;
  TPanel* Shape1 = nullptr;
  TTimer* Timer1 = nullptr;

  // ---- Handlers ----
  void Chart1ClickSeries(TPlotSeries* series, int index);
  void Chart2ClickSeries(TPlotSeries* series, int index);
  void Chart2MouseMove(int x, int y);
  void Timer1Timer(TObject* sender);
  void btRotateClick(TObject* sender);
  void btDetailPage0Click(TObject* sender);
  void btDetailPage1Click(TObject* sender);

private:
  void ShowMessage(const std::string& text);
  // Fills the list, the pie and the total from detail_.
  void FillDetail(const std::function<void()>& step);
  void FillReportSource(TStatReportSource& source) const;
  // Previews a layout of the window's texts and lists.
  template <class TLayout>
  void PrintLayout();
  void PrintChart();
  void Preview(TStatReportBase& report);

  TformStatistic* form_;
  StatDetail detail_;
  bool building_ = false;
};
