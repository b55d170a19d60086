// The statistics window's chart page, detail page and printing, on a real window over a
// generated work file: the bars and what a click on one tells, the detail list gathered
// behind the wait window (also cancelled, and with the window locked while it runs), the
// pie's clicks, colour swatch and turning, and the layouts the Print button previews.

#include "app/win/statistic_pages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win/statistic_controls.h"
#include "app/win/statistic_form.h"
#include "app/win/wait_form.h"
#include "kit/win/combo_tree_view.h"
#include "platform/chart/win/plot_chart.h"
#include "platform/report/win/report_render.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/registry.h"
#include "platform/wcl/win/timer.h"
#include "tests/app/statistics_fixture.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr int Hour = 3600;

TDateTime pinnedNow = 0;
TDateTime PinnedClock() { return pinnedNow; }

// Arms step so that the first message handling of the work that follows runs it.
void RunDuringNextWork(std::function<void()> step) {
  window_test::After(1, std::move(step));
  Sleep(40);
}

class StatisticPagesTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    previousClock_ = SetClock(&PinnedClock);
    // Wednesday 9 December 2026: the week shown runs from Thursday the 3rd.
    pinnedNow = EncodeDate(2026, 12, 9) + EncodeTime(15, 0, 0, 0);
    TRegistry().DeleteKey("\\Software\\Quennix\\Hourlark");
    FillTaskList(tasks, {"c:\\ed.exe|Editor|1", "c:\\pad.exe|Editor|1", "c:\\web.exe|Browser|2",
                         "c:\\game.exe|Solitaire|3", "c:\\idle.exe|Idle|4"});
    for (int d = 0; d < 7; ++d) {
      maker.Add("ann", Date() - d, "c:\\ed.exe", 2 * Hour);
      maker.Add("ann", Date() - d, "c:\\web.exe", d * Hour);
    }
    maker.Add("ann", Date(), "c:\\pad.exe", 30 * 60);
    maker.Add("bob", Date(), "c:\\game.exe", 9 * Hour);
    maker.Write(folder.File("hl20work.txt"));
    formWait = new TformWait(Application);
    TStatisticPages::SetPreviewRunner([this](TStatReportBase& report) {
      printed.push_back(report.Name());
      documents.push_back(report.Generate());
    });
  }
  void TearDown() override {
    TStatisticPages::SetPreviewRunner(nullptr);
    window_test::DropPending();
    form = nullptr;
    app_.reset();
    SetClock(previousClock_);
    TRegistry().DeleteKey("\\Software\\Quennix\\Hourlark");
    AppTest::TearDown();
  }
  // The window as the main window makes it, shown (not modally) for ann.
  void Open() {
    form = new TformStatistic(Application);
    form->SetSettling(true);
    form->SetSources(&tasks, folder.File("hl20work.txt"), nullptr);
    form->cbUser->Items()->Add("ann");
    form->cbUser->SetItemIndex(0);
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
    real_input::Settle();
    pages = form->Pages();
  }
  void Compare(const std::string& text) {
    form->btDownUp->Click();
    for (int i = 0; i < form->TreeViewTask2->Items()->Count(); ++i)
      if (form->TreeViewTask2->Items()->Item(i)->Text() == text)
        form->TreeViewTask2->SetSelected(form->TreeViewTask2->Items()->Item(i));
  }
  std::vector<std::string> ListRows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < pages->ListView->Items()->Count(); ++i) {
      TListItem* item = pages->ListView->Items()->Items(i);
      rows.push_back(item->Caption() + "|" + item->SubItems()->Strings(0));
    }
    return rows;
  }
  // A point inside the first slice of the pie as last drawn (it starts at 90 degrees,
  // twelve o'clock, and runs counter-clockwise); false while no pie is drawn.
  bool PointInFirstSlice(int& x, int& y) const {
    const TPieGeometry& pie = pages->Series3->Geometry();
    if (pie.Empty()) return false;
    x = static_cast<int>(pie.CentreX - pie.RadiusX / 2);
    y = static_cast<int>(pie.CentreY - pie.RadiusY / 3);
    return true;
  }
  std::vector<std::string> Printed(size_t document, const std::string& name) const {
    std::vector<std::string> texts;
    for (const TReportPage& page : documents.at(document).Pages)
      for (const TReportItem& item : page.Items)
        if (item.Name == name) texts.push_back(item.Text);
    return texts;
  }

  StatisticsFormat format;
  TempFolder folder;
  WorkFileMaker maker;
  TStringList tasks;
  TformStatistic* form = nullptr;
  TStatisticPages* pages = nullptr;
  std::vector<std::string> printed;
  std::vector<TReportDocument> documents;

private:
  ClockFn previousClock_ = nullptr;
};

}  // namespace

// ---- Graph page ---------------------------------------------------------------------------------

TEST_F(StatisticPagesTest, ChartHasABarPerDayAndTellsTheDayOnAClick) {
  Open();
  form->btPage1->Click();
  ASSERT_EQ(pages->Series1->Count(), 7);
  EXPECT_EQ(pages->Series2->Count(), 0);
  EXPECT_EQ(pages->Series1->PointLabel(0), "03.12");
  EXPECT_EQ(pages->Series1->PointLabel(6), "09.12");
  EXPECT_DOUBLE_EQ(pages->Series1->Value(0), 8.0 / 24);  // 2 h editor + 6 h browser
  EXPECT_DOUBLE_EQ(pages->Series1->Value(6), 2.5 / 24);
  pages->Chart1ClickSeries(pages->Series1, 6);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Statistics: Day: 09.12\r\rTime worked: 02:30:00"}));
  real_input::SettlePainted();
  EXPECT_TRUE(window_test::Screenshot("statistic-chart.png"));
  real_input::HoldForLooking();

  // With a comparison a second bar per day; a day without its time tells midnight.
  Compare("Browser");
  ASSERT_EQ(pages->Series2->Count(), 7);
  EXPECT_DOUBLE_EQ(pages->Series2->Value(0), 6.0 / 24);
  Boxes().clear();
  pages->Chart1ClickSeries(pages->Series2, 6);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Statistics: Day: 09.12\r\rTime worked: 02:30:00\rBrowser: " + TimeToStr(0)}));
  real_input::SettlePainted();
  EXPECT_TRUE(window_test::Screenshot("statistic-chart-compared.png"));
  real_input::HoldForLooking();
}

// ---- Detail page ----------------------------------------------------------------------------------

TEST_F(StatisticPagesTest, DetailListsDescriptionsLargestFirstWithTheTotal) {
  Open();
  bool lockedWhileGathering = false;
  RunDuringNextWork([&] {
    lockedWhileGathering = !IsWindowEnabled(form->Handle()) && formWait->Visible();
    EXPECT_TRUE(window_test::Screenshot("statistic-detail-wait.png"));
    // A second build asked for meanwhile does nothing.
    form->BuildDetailView();
  });
  form->btPage2->Click();
  EXPECT_TRUE(lockedWhileGathering);
  EXPECT_EQ(ListRows(), (std::vector<std::string>{" Browser|21:00:00", " Editor|14:30:00"}));
  EXPECT_EQ(pages->lTotal_->Caption(), "Total: 1 day 11:30");
  ASSERT_EQ(pages->Series3->Count(), 2);
  EXPECT_EQ(pages->Series3->PointLabel(1), "Editor (14:30:00)");
  EXPECT_FALSE(formWait->Visible());
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_EQ(form->Notebook1->PageIndex(), 2);
  EXPECT_TRUE(form->pDetail->Visible());
  EXPECT_FALSE(form->pHeaderTask->Visible());
  // The list item keeps the place of its description in the by-name list.
  const auto nameIndex = reinterpret_cast<intptr_t>(pages->ListView->Items()->Items(1)->Data());
  EXPECT_EQ(form->TaskIndex().ByName()[static_cast<size_t>(nameIndex)].description, "Editor");
  real_input::SettlePainted();
  EXPECT_TRUE(window_test::Screenshot("statistic-detail.png"));
  real_input::HoldForLooking();

  pages->Chart2ClickSeries(pages->Series3, 1);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Statistics: Editor\rTime: 14:30:00"}));
}

// A plain top-level window that notes being made active, standing in for another program's
// window next in line behind the statistics window.
bool bystanderActivated = false;
LRESULT CALLBACK BystanderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) bystanderActivated = true;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(StatisticPagesTest, DetailHandsTheActivationBackToTheWindowNotToTheNextOne) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = BystanderProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "HlTestBystander";
  RegisterClassA(&windowClass);
  HWND bystander = CreateWindowExA(0, "HlTestBystander", "Bystander", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                   200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bystander, nullptr);
  Open();
  SetActiveWindow(form->Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle(); }));
  bystanderActivated = false;
  form->btPage2->Click();
  PumpFor(50);  // an activation of the bystander would have come by now
  EXPECT_FALSE(bystanderActivated);
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  DestroyWindow(bystander);
}

TEST_F(StatisticPagesTest, CancelKeepsWhatWasGatheredAndReturnsToTheTable) {
  Open();
  // Cancel before the first description is done: that one is still listed.
  RunDuringNextWork([] { formWait->btCancel->Click(); });
  form->btPage2->Click();
  EXPECT_EQ(ListRows(), (std::vector<std::string>{" Browser|21:00:00"}));
  EXPECT_EQ(pages->lTotal_->Caption(), "Total: 21:00");
  EXPECT_EQ(form->Notebook1->PageIndex(), 0);
  EXPECT_TRUE(form->btPage0->Down());
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

TEST_F(StatisticPagesTest, PieShowsTheSliceColourAndTurns) {
  Open();
  form->btPage2->Click();
  pages->btDetailPage1->Click();
  EXPECT_EQ(pages->Notebook2->PageIndex(), 1);
  EXPECT_TRUE(pages->btRotate->Visible());
  pages->Chart2->Repaint();
  int x = 0, y = 0;
  ASSERT_TRUE(PumpUntil([&] { return PointInFirstSlice(x, y); }));
  const int slice = pages->Series3->Clicked(x, y);
  ASSERT_GE(slice, 0);
  pages->Chart2MouseMove(x, y);
  EXPECT_TRUE(pages->Shape1->Visible());
  EXPECT_EQ(pages->Shape1->Color(), pages->Series3->ValueColor(slice));
  real_input::SettlePainted();
  EXPECT_TRUE(window_test::Screenshot("statistic-pie.png"));
  real_input::HoldForLooking();
  pages->Chart2MouseMove(0, 0);
  EXPECT_FALSE(pages->Shape1->Visible());

  // The toggle as the mouse leaves it: down, then its click.
  pages->btRotate->SetDown(true);
  pages->btRotate->Click();
  EXPECT_TRUE(pages->Timer1->Enabled());
  pages->Timer1Timer(pages->Timer1);
  EXPECT_EQ(pages->Series3->StartAngle(), 91);
  // While it turns the swatch stays hidden.
  pages->Chart2MouseMove(x, y);
  EXPECT_FALSE(pages->Shape1->Visible());
  pages->btRotate->SetDown(false);
  pages->btRotate->Click();
  EXPECT_FALSE(pages->Timer1->Enabled());
  EXPECT_EQ(pages->Series3->CustomXRadius(), 0);

  pages->btDetailPage0->Click();
  EXPECT_EQ(pages->Notebook2->PageIndex(), 0);
  EXPECT_FALSE(pages->btRotate->Visible());
  // The page as the stored settings bring it back: its button goes down with it.
  pages->Notebook2->SetPageIndex(1);
  EXPECT_TRUE(pages->btDetailPage1->Down());
  EXPECT_FALSE(pages->btDetailPage0->Down());
  EXPECT_TRUE(pages->btRotate->Visible());
}

TEST_F(StatisticPagesTest, SwatchIgnoresSlicesGoneSinceThePieWasDrawn) {
  Open();
  form->btPage2->Click();
  pages->btDetailPage1->Click();
  pages->Chart2->Repaint();
  int x = 0, y = 0;
  ASSERT_TRUE(PumpUntil([&] { return PointInFirstSlice(x, y); }));
  // The list page is on show while the list is gathered again for a user without time: the
  // hidden pie is not drawn, and the first mouse move over it comes before it is.
  pages->btDetailPage0->Click();
  form->cbUser->Items()->Add("carl");
  form->cbUser->SetItemIndex(1);
  form->BuildDetailView();
  ASSERT_EQ(pages->Series3->Count(), 0);
  ASSERT_GE(pages->Series3->Clicked(x, y), 0);
  pages->Chart2MouseMove(x, y);
  EXPECT_FALSE(pages->Shape1->Visible());
}

// ---- Printing ------------------------------------------------------------------------------------

TEST_F(StatisticPagesTest, PrintPreviewsTheLayoutOfThePageOnShow) {
  Open();
  Compare("Browser");
  form->btPrint->Click();
  ASSERT_EQ(printed, (std::vector<std::string>{"repStatistic"}));
  EXPECT_EQ(Printed(0, "lUser"), (std::vector<std::string>{"User: ann"}));
  EXPECT_EQ(Printed(0, "lPeriod"), (std::vector<std::string>{"Period: 03.12.2026 - 09.12.2026"}));
  EXPECT_EQ(Printed(0, "lT2Task"), (std::vector<std::string>{"Browser"}));
  EXPECT_EQ(Printed(0, "lT2Total"), (std::vector<std::string>{form->lTotal2->Caption()}));
  // Two week rows: Thursday stands in column 4 of the first.
  EXPECT_EQ(Printed(0, "lDay4"), (std::vector<std::string>{"03.12", ""}));
  EXPECT_EQ(Printed(0, "lWeek8"), (std::vector<std::string>{"Week"}));

  form->btPage1->Click();
  form->btPrint->Click();
  ASSERT_EQ(printed.back(), "repChart");
  const TReportItem* picture = documents.back().Pages.at(0).Find("BandImage1");
  ASSERT_NE(picture, nullptr);
  RenderPageToBitmap(documents.back(), 0, 96)->SaveToFile(window_test::ProgramFolder() + "\\statistic-chart-report.bmp");
  EXPECT_EQ(picture->Picture->Width, pages->Chart1->Width());
  EXPECT_EQ(picture->Picture->Height, pages->Chart1->Height());
  // The chart on screen keeps its look.
  EXPECT_EQ(pages->Chart1->BevelInner(), bvRaised);
  EXPECT_EQ(pages->Chart1->BevelOuter(), bvLowered);
  EXPECT_EQ(pages->Chart1->Color(), clBtnFace);

  form->btPage2->Click();
  form->btPrint->Click();
  ASSERT_EQ(printed.back(), "repDetail");
  EXPECT_EQ(Printed(2, "lName"), (std::vector<std::string>{" Browser", " Editor"}));
  EXPECT_EQ(Printed(2, "lTime"), (std::vector<std::string>{"21:00:00", "14:30:00"}));
  EXPECT_EQ(Printed(2, "lTotal"), (std::vector<std::string>{"Total: 1 day 11:30"}));
}

TEST_F(StatisticPagesTest, ChartKeepsItsLookWhenThePreviewFails) {
  Open();
  form->btPage1->Click();
  TStatisticPages::SetPreviewRunner([](TStatReportBase&) { throw EReportError("no printer"); });
  EXPECT_THROW(pages->Print(), EReportError);
  EXPECT_EQ(pages->Chart1->BevelInner(), bvRaised);
  EXPECT_EQ(pages->Chart1->BevelOuter(), bvLowered);
  EXPECT_EQ(pages->Chart1->Color(), clBtnFace);
}
