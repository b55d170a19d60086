#include "app/win/statistic_pages.h"

#include <algorithm>
#include <memory>

#include "app/task_data.h"
#include "app/work_file.h"
#include "app/win/form_parts.h"
#include "app/win/global_form.h"
#include "app/win/tracker_context.h"
#include "app/win/statistic_controls.h"
#include "app/win/statistic_form.h"
#include "app/win/wait_form.h"
#include "kit/str_holder.h"
#include "kit/win/combo_edit.h"
#include "kit/win/date_edit.h"
#include "lang/win/lingrove_lang.h"
#include "kit/win/speed_button.h"
#include "platform/chart/win/plot_chart.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/timer.h"

namespace {

constexpr TColor Series1Color = 0xFF0080;  // RGB 128, 0, 255

TStatisticPages::TPreviewRunner& PreviewRunner() {
  static TStatisticPages::TPreviewRunner runner;
  return runner;
}

// The pictures of the detail page's buttons, 16 x 16 on the key colour.
enum class DetailGlyph { Table, Pie, Rotate };

void SetDetailGlyph(TKitSpeedButton* button, DetailGlyph glyph) {
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clFuchsia);
  canvas->FillRect(RECT{0, 0, 16, 16});
  canvas->Pen()->SetColor(clBlack);
  switch (glyph) {
    case DetailGlyph::Table:
      // Rows of a list, each with its icon.
      for (int y = 2; y < 14; y += 4) {
        canvas->Brush()->SetColor(clNavy);
        canvas->FillRect(RECT{1, y, 4, y + 3});
        canvas->Brush()->SetColor(clGray);
        canvas->FillRect(RECT{6, y + 1, 15, y + 2});
      }
      break;
    case DetailGlyph::Pie:
      canvas->Brush()->SetColor(clYellow);
      canvas->Ellipse(1, 3, 15, 13);
      canvas->Brush()->SetColor(clRed);
      ::Pie(canvas->Handle(), 1, 3, 15, 13, 15, 8, 8, 3);
      break;
    case DetailGlyph::Rotate:
      canvas->Brush()->SetStyle(bsClear);
      ::Arc(canvas->Handle(), 2, 2, 14, 14, 14, 8, 8, 2);
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(clBlack);
      canvas->Polygon(std::vector<POINT>{{11, 8}, {15, 8}, {13, 11}});
      break;
  }
  button->SetGlyph(&bitmap);
}

// The chart keeps the look it had, whatever happens while it is drawn for printing.
class ChartLookGuard {
public:
  explicit ChartLookGuard(TPlotChart* chart)
      : chart_(chart), color_(chart->Color()), inner_(chart->BevelInner()), outer_(chart->BevelOuter()) {}
  ~ChartLookGuard() {
    chart_->SetBevelInner(inner_);
    chart_->SetBevelOuter(outer_);
    chart_->SetColor(color_);
  }
  ChartLookGuard(const ChartLookGuard&) = delete;
  ChartLookGuard& operator=(const ChartLookGuard&) = delete;

private:
  TPlotChart* chart_;
  TColor color_;
  TBevelCut inner_;
  TBevelCut outer_;
};

// The list's items between BeginUpdate and EndUpdate, also when an exception leaves: the
// window learns of them once, not drawn after each (which took seconds for a hundred).
class ListUpdate {
public:
  explicit ListUpdate(TListView* list) : items_(list->Items()) { items_->BeginUpdate(); }
  ~ListUpdate() { items_->EndUpdate(); }
  ListUpdate(const ListUpdate&) = delete;
  ListUpdate& operator=(const ListUpdate&) = delete;

private:
  TListItems* items_;
};

// Moves the wait window's bar and lets the windows answer (Cancel, drawing) now and then: a
// round of messages for each of tens of thousands of descriptions would take longer than
// summing them.
class WaitSteps {
public:
  explicit WaitSteps(TformWait* wait) : wait_(wait) {}
  // The bar to position; the messages are handled on the first call and then every few
  // hundredths of a second.
  void Step(int position) {
    const DWORD now = GetTickCount();
    if (started_ && now - last_ < 40) return;
    started_ = true;
    last_ = now;
    if (wait_ != nullptr) wait_->ProgressBar1->SetPosition(position);
    Application->ProcessMessages();
  }

private:
  TformWait* wait_;
  bool started_ = false;
  DWORD last_ = 0;
};

}  // namespace

const ClassInfo* TStatisticPages::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStatisticPages>("TStatisticPages", TComponent::StaticClassInfo()).Build();
  return &ci;
}

TStatisticPages::TStatisticPages(TformStatistic* form) : TComponent(form), form_(form) { SetName("StatisticPages"); }

void TStatisticPages::SetPreviewRunner(TPreviewRunner runner) { PreviewRunner() = std::move(runner); }

void TStatisticPages::ShowMessage(const std::string& text) {
  if (text.empty()) return;
  Application->MessageBox(text, form_->Caption(), MB_ICONINFORMATION | MB_OK);
}

// ---- Graph page -----------------------------------------------------------------------------

void TStatisticPages::BuildGraphPage(TPanel* page) {
  Chart1 = MakeControl<TPlotChart>(form_, "Chart1", page, 0, 0, page->Width(), page->Height());
  Chart1->SetAlign(alClient);
  Chart1->Title()->SetVisible(false);
  Chart1->Legend()->SetVisible(false);
  Chart1->Foot()->SetVisible(false);
  Chart1->RightAxis()->SetVisible(false);
  Chart1->TopAxis()->SetVisible(false);
  Chart1->LeftAxis()->SetTitle("Time (hours)");
  Chart1->LeftWall()->SetColor(clWhite);
  Chart1->BackWall()->SetTransparent(true);
  Chart1->SetMarginLeft(1);
  Chart1->SetMarginRight(1);
  Chart1->SetMarginBottom(1);
  Chart1->SetMarginTop(3);
  Chart1->SetAnimatedZoom(true);
  Chart1->SetAnimatedZoomSteps(18);
  Chart1->SetBevelInner(bvRaised);
  Chart1->SetBevelOuter(bvLowered);
  Chart1->SetColor(clBtnFace);
  Chart1->OnClickSeries = [this](TObject*, TPlotSeries* series, int index, TMouseButton, TShiftState, int, int) {
    Chart1ClickSeries(series, index);
  };
  auto bars = [this](const char* name, TColor colour) {
    auto* series = new TPlotBarSeries(form_);
    series->SetName(name);
    series->SetSeriesColor(colour);
    series->SetMultiBar(mbNone);
    series->SetMarksVisible(false);
    series->SetPenVisible(false);
    series->SetCursor(crHandPoint);
    series->SetParentChart(Chart1);
    return series;
  };
  Series1 = bars("Series1", Series1Color);
  Series1->SetYValuesDateTime(true);
  Series2 = bars("Series2", clLime);
}

void TStatisticPages::BuildBarChart() {
  if (Series1 == nullptr || building_) return;
  // Thousands of bars: the chart is told once that both series changed, not once a bar.
  Series1->BeginUpdate();
  Series2->BeginUpdate();
  Series1->Clear();
  Series2->Clear();
  const bool comparison = form_->Key2() != NoneKey;
  for (const StatBar& bar : DayBars(form_->Week())) {
    Series1->Add(bar.value1, bar.label);
    if (comparison) Series2->Add(bar.value2, bar.label);
  }
  Series2->EndUpdate();
  Series1->EndUpdate();
}

void TStatisticPages::Chart1ClickSeries(TPlotSeries*, int index) {
  ShowMessage(BarClickMessage(form_->Week(), index, form_->LangText(154), form_->LangText(155),
                              form_->SelectedTaskText(form_->TreeViewTask2)));
}

// ---- Detail page ------------------------------------------------------------------------------

void TStatisticPages::BuildDetailPage(TPanel* page) {
  pDetail = MakeControl<TPanel>(form_, "pDetail", form_, 0, 28, 571, 27);
  pDetail->SetAlign(alTop);
  pDetail->SetCaption("");
  pDetail->SetVisible(false);
  form_->pDetail = pDetail;
  auto button = [this](const char* name, int left, const char* hint, DetailGlyph glyph) {
    auto* b = MakeControl<TKitSpeedButton>(form_, name, pDetail, left, 2, 23, 23);
    b->SetFlat(true);
    b->SetHint(hint);
    b->SetShowHint(true);
    SetDetailGlyph(b, glyph);
    return b;
  };
  btDetailPage0 = button("btDetailPage0", 3, "Table detail", DetailGlyph::Table);
  btDetailPage1 = button("btDetailPage1", 27, "Chart detail", DetailGlyph::Pie);
  for (TKitSpeedButton* b : {btDetailPage0, btDetailPage1}) b->SetGroupIndex(3);
  btDetailPage0->SetDown(true);
  btDetailPage0->OnClick = [this](TObject* s) { btDetailPage0Click(s); };
  btDetailPage1->OnClick = [this](TObject* s) { btDetailPage1Click(s); };
  btRotate = button("btRotate", 58, "Rotate chart", DetailGlyph::Rotate);
  btRotate->SetGroupIndex(4);
  btRotate->SetAllowAllUp(true);
  btRotate->SetVisible(false);
  btRotate->OnClick = [this](TObject* s) { btRotateClick(s); };
  lTotal_ = MakeControl<TLabel>(form_, "lTotal_", pDetail, 200, 7, 364, 13);
  lTotal_->SetAutoSize(false);
  lTotal_->SetAlignment(taRightJustify);
  lTotal_->SetCaption("");

  Notebook2 = MakeControl<TNotebook>(form_, "Notebook2", page, 0, 0, page->Width(), page->Height());
  Notebook2->SetAlign(alClient);
  Notebook2->SetCaption("");
  TPanel* table = Notebook2->AddPage("Table");
  // The window's first notebook has a page named "Graph" already; names ignore the notebook.
  TPanel* graph = Notebook2->AddPage("PieGraph");

  // The buttons follow the page, also one restored from the stored settings.
  Notebook2->OnPageChanged = [this](TObject*) {
    const int index = Notebook2->PageIndex();
    (index == 1 ? btDetailPage1 : btDetailPage0)->SetDown(true);
    btRotate->SetVisible(index == 1);
  };

  ListView = MakeControl<TListView>(form_, "ListView", table, 0, 0, table->Width(), table->Height());
  ListView->SetAlign(alClient);
  ListView->SetViewStyle(vsReport);
  const char* const captions[] = {"Task name", "Worked time"};
  const int widths[] = {300, 100};
  for (int i = 0; i < 2; ++i) {
    TListColumn* column = ListView->Columns()->Add();
    column->SetCaption(captions[i]);
    column->SetWidth(widths[i]);
  }
  ListView->SetColumnClick(false);
  ListView->SetReadOnly(true);
  ListView->SetRowSelect(true);
  // Tens of thousands of descriptions: the window asks for those it draws.
  ListView->SetItemsOnDemand(true);
  if (formGlobal != nullptr) ListView->SetSmallImages(formGlobal->ilIcons);

  Chart2 = MakeControl<TPlotChart>(form_, "Chart2", graph, 0, 0, graph->Width(), graph->Height());
  Chart2->SetAlign(alClient);
  Chart2->SetAxisVisible(false);
  Chart2->SetView3DWalls(false);
  Chart2->SetFrameVisible(false);
  Chart2->Title()->SetVisible(false);
  Chart2->SetAllowZoom(false);
  Chart2->SetAllowPanning(false);
  Chart2->Legend()->SetLegendStyle(lsValues);
  Chart2->Legend()->SetTextStyle(ltsRightPercent);
  Chart2->Legend()->SetShadowSize(2);
  Chart2->SetView3D(true);
  Chart2->View3DOptions()->SetElevation(315);
  Chart2->View3DOptions()->SetRotation(360);
  Chart2->View3DOptions()->SetOrthogonal(false);
  Chart2->OnClickSeries = [this](TObject*, TPlotSeries* series, int index, TMouseButton, TShiftState, int, int) {
    Chart2ClickSeries(series, index);
  };
  Chart2->OnMouseMove = [this](TObject*, TShiftState, int x, int y) { Chart2MouseMove(x, y); };
  Series3 = new TPlotPieSeries(form_);
  Series3->SetName("Series3");
  Series3->SetStartAngle(90);
  Series3->SetMarksVisible(false);
  Series3->SetPenVisible(false);
  Series3->SetCursor(crHandPoint);
  Series3->SetOtherSliceText("Other");
  Series3->SetParentChart(Chart2);

  Shape1 = MakeControl<TPanel>(form_, "Shape1", Chart2, 0, 6, 22, 11);
  Shape1->SetCaption("");
  Shape1->SetBevelOuter(bvNone);
  Shape1->SetVisible(false);

  Timer1 = new TTimer(form_);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(1);
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
}

void TStatisticPages::BuildDetailView() {
  if (Series3 == nullptr || building_) return;
  building_ = true;
  Series3->Clear();
  ListView->Items()->Clear();
  detail_ = StatDetail();
  TformWait* wait = formWait;
  // The window takes no input while the list is gathered: a click on it would start
  // another build inside this one. A click on a disabled window leaves the wait window
  // active, so its Cancel goes on working.
  const HWND window = form_->HandleAllocated() ? form_->Handle() : nullptr;
  const bool disable = window != nullptr && IsWindowEnabled(window);
  auto done = [&] {
    // The window is enabled before the wait window goes: the active wait window hidden over
    // a disabled window would hand the activation to the next window in line, often another
    // program's.
    if (disable) EnableWindow(window, TRUE);
    if (wait != nullptr) wait->Hide();
    if (disable && IsWindowVisible(window)) SetActiveWindow(window);
    Chart2->Legend()->Font()->Assign(form_->lNormalFont->Font());
    building_ = false;
  };
  try {
    form_->WorkData();
    if (wait != nullptr) {
      wait->lInfo->SetCaption(form_->LangText(151));
      wait->ProgressBar1->SetMax(std::max(static_cast<int>(form_->TaskIndex().ByName().size()) - 1, 0));
      wait->ProgressBar1->SetPosition(0);
      wait->Show();
    }
    if (disable) EnableWindow(window, FALSE);
    Application->ProcessMessages();
    const StatDetailInput input{form_->cbUser->Text(), form_->dateFrom->Date(), form_->dateTo->Date()};
    WaitSteps gathering(wait);
    int summed = 0;
    detail_ = GatherDetail(input, form_->TaskIndex(), form_->DayReader(), [&] {
      gathering.Step(++summed);
      return wait == nullptr || wait->Visible();
    });
    if (detail_.cancelled) {
      form_->btPage0->SetDown(true);
      form_->btPage0->Click();
    }
    if (wait != nullptr) {
      wait->lInfo->SetCaption(form_->LangText(152));
      const int rows = std::max(static_cast<int>(detail_.rows.size()) - 1, 0);
      wait->ProgressBar1->SetMax(rows);
      wait->ProgressBar1->SetPosition(rows);
    }
    Application->ProcessMessages();
    WaitSteps filling(wait);
    int left = static_cast<int>(detail_.rows.size());
    FillDetail([&] { filling.Step(--left); });
    lTotal_->SetCaption(form_->LangText(153) + ": " +
                        FormatDaysTotal(detail_.grandTotal, form_->LangText(146), form_->LangText(147)));
  } catch (...) {
    done();
    throw;
  }
  done();
}

void TStatisticPages::FillDetail(const std::function<void()>& step) {
  {
    ListUpdate update(ListView);
    for (const StatDetailRow& row : detail_.rows) {
      TListItem* item = ListView->Items()->Add();
      item->SetCaption(DetailListCaption(row));
      item->SubItems()->Add(DetailTimeText(row));
      item->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(row.nameIndex)));
      int icon = -1;
      if (formGlobal != nullptr && !FindTask(*formGlobal->slIcons, std::string(row.path), icon)) icon = -1;
      item->SetImageIndex(icon);
      step();
    }
  }
  // The pie gets its slices after the list, in one go: the messages handled between the
  // list's steps would draw it again and again with its slices so far.
  Series3->BeginUpdate();
  for (const StatDetailRow& row : detail_.rows) Series3->Add(static_cast<double>(row.seconds) / SecsPerDay, DetailPieLabel(row));
  Series3->EndUpdate();
}

void TStatisticPages::ApplyTaskIcons() {
  if (ListView == nullptr || formGlobal == nullptr) return;
  ListView->SetSmallImages(formGlobal->ilIcons);
  ListUpdate update(ListView);
  for (int i = 0; i < ListView->Items()->Count() && i < static_cast<int>(detail_.rows.size()); ++i) {
    int icon = -1;
    if (!FindTask(*formGlobal->slIcons, std::string(detail_.rows[static_cast<size_t>(i)].path), icon)) icon = -1;
    ListView->Items()->Items(i)->SetImageIndex(icon);
  }
}

void TStatisticPages::Chart2ClickSeries(TPlotSeries*, int index) {
  ShowMessage(SliceClickMessage(detail_, index, form_->LangText(156)));
}

void TStatisticPages::Chart2MouseMove(int x, int y) {
  // The pie answers where its slices were last drawn: after a rebuild that is not drawn yet
  // (the pie page hidden meanwhile) a slice found there may be gone.
  const int index = Series3->Clicked(x, y);
  if (index >= 0 && index < Series3->Count() && !btRotate->Down()) {
    Shape1->SetColor(Series3->ValueColor(index));
    Shape1->SetLeft(Chart2->ClientWidth() - 30);
    Shape1->SetVisible(true);
  } else {
    Shape1->SetVisible(false);
  }
}

void TStatisticPages::Timer1Timer(TObject*) { Series3->SetStartAngle((Series3->StartAngle() + 1) % 360); }

void TStatisticPages::btRotateClick(TObject*) {
  Timer1->SetEnabled(btRotate->Down());
  if (!btRotate->Down()) {
    Series3->SetCustomXRadius(0);
    Series3->SetCustomYRadius(0);
  }
}

void TStatisticPages::btDetailPage0Click(TObject*) {
  Notebook2->SetPageIndex(0);
  btRotate->SetVisible(false);
}

void TStatisticPages::btDetailPage1Click(TObject*) {
  Notebook2->SetPageIndex(1);
  btRotate->SetVisible(true);
}

// ---- Printing ------------------------------------------------------------------------------------

void TStatisticPages::FillReportSource(TStatReportSource& source) const {
  source.userCaption = form_->lUser->Caption();
  source.user = form_->cbUser->Text();
  source.periodCaption = form_->lPeriod->Caption();
  source.dateFrom = form_->dateFrom->Text();
  source.dateTo = form_->dateTo->Text();
  source.taskCaption = form_->lSelectTask->Caption();
  source.task1 = form_->cbTask1->Text();
  source.total1 = form_->lTotal->Caption();
  source.compareCaption = form_->lTaskCompare->Caption();
  source.task2 = form_->cbTask2->Text();
  source.total2 = form_->lTotal2->Caption();
  if (lTotal_ != nullptr) source.detailTotal = lTotal_->Caption();
  for (int r = 0; r < form_->sgData->RowCount(); ++r) {
    std::array<std::string, 8> row;
    for (int c = 0; c < 8 && c < form_->sgData->ColCount(); ++c) row[static_cast<size_t>(c)] = form_->sgData->Cells(c, r);
    source.weekCells.push_back(row);
  }
  for (int c = 0; c < 8; ++c) source.weekHeaders[static_cast<size_t>(c)] = form_->HeaderText(c);
  if (ListView != nullptr)
    for (int i = 0; i < ListView->Items()->Count(); ++i) {
      TListItem* item = ListView->Items()->Items(i);
      source.detailItems.push_back(
          {item->Caption(), item->SubItems()->Count() > 0 ? item->SubItems()->Strings(0) : std::string()});
    }
}

void TStatisticPages::Preview(TStatReportBase& report) {
  report.LingroveLang1->SetLangDir(ExtractFilePath(Application->ExeName()));
  const TrackerContext* context = form_->Context();
  if (context != nullptr && context->LabelCharset) report.SetLabelCharset(context->LabelCharset());
  if (PreviewRunner()) {
    PreviewRunner()(report);
  } else {
    report.Preview();
  }
}

template <class TLayout>
void TStatisticPages::PrintLayout() {
  TStatReportSource source;
  FillReportSource(source);
  TLayout report(nullptr);
  report.SetSource(&source);
  Preview(report);
}

void TStatisticPages::PrintChart() {
  std::unique_ptr<TBitmap> bitmap;
  {
    ChartLookGuard look(Chart1);
    Chart1->SetColor(clWhite);
    Chart1->SetBevelInner(bvNone);
    Chart1->SetBevelOuter(bvNone);
    bitmap = Chart1->CreateBitmap();
  }
  TStatReportSource source;
  FillReportSource(source);
  TrepChart report(nullptr);
  report.SetSource(&source);
  if (bitmap != nullptr) report.BandImage1->SetPicture(bitmap->ToDibImage());
  Preview(report);
}

void TStatisticPages::Print() {
  if (building_) return;
  switch (form_->Notebook1->PageIndex()) {
    case 0: PrintLayout<TrepStatistic>(); break;
    case 1:
      if (Chart1 != nullptr) PrintChart();
      break;
    case 2: PrintLayout<TrepDetail>(); break;
    default: break;
  }
}
