#include "app/win/statistic_form.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/win/global_form.h"
#include "app/win/main_form.h"
#include "app/win/options_form.h"
#include "app/win/statistic_controls.h"
#include "app/win/tracker_context.h"
#include "kit/win/date_edit.h"
#include "kit/win/kit_draw_grid.h"
#include "kit/win/combo_edit.h"
#include "kit/win/combo_tree_view.h"
#include "kit/str_holder.h"
#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "kit/win/spin_edit.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/registry.h"
#include "platform/wcl/win/timer.h"
#include "tests/app/statistics_fixture.h"
#include "tests/app/win/caption_pixels.h"
#include "tests/support/real_input.h"
#include "app/win/statistic_pages.h"
#include "app/win/wait_form.h"
#include "bench/history_shapes.h"
#include "bench/work_file_generator.h"
#include "platform/chart/plot_series.h"
#include "tests/app/win/timing.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using timing::RawReadSeconds;
using timing::Seconds;
using window_test::Screenshot;

constexpr int Hour = 3600;

TDateTime pinnedNow = 0;
TDateTime PinnedClock() { return pinnedNow; }

// 2026-12-09 is a Wednesday; the week up to it runs from Thursday 3 December.
const TDateTime Today = EncodeDate(2026, 12, 9);

// The statistics window over a generated work file and task list, its settings key clean
// and the clock pinned to a Wednesday afternoon.
class StatisticFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    FormatSettings().DateSeparator = '.';
    FormatSettings().TimeSeparator = ':';
    ClearKey();
    pinnedNow = Today + EncodeTime(15, 0, 0, 0);
    previousClock_ = SetClock(&PinnedClock);
    tasks.SetSorted(true);
    tasks.SetDuplicates(dupAccept);
    for (const char* line : {"c:\\ed.exe\tEditor\t1", "c:\\pad.exe\tEditor\t1", "c:\\web.exe\tBrowser\t2",
                             "c:\\game.exe\tSolitaire\t3"})
      tasks.Add(line);
    for (int d = 0; d < 7; ++d) {
      maker.Add("ann", Today - d, "c:\\ed.exe", 2 * Hour);
      maker.Add("ann", Today - d, "c:\\web.exe", d * Hour);
    }
    maker.Add("ann", Today, "c:\\pad.exe", 30 * 60);
    maker.Add("bob", Today, "c:\\game.exe", 9 * Hour);
    maker.Write(folder.File("hl20work.txt"));
  }
  void TearDown() override {
    form = nullptr;
    app_.reset();
    formGlobal = nullptr;
    SetClock(previousClock_);
    ClearKey();
    ResetFormatSettings();
    AppTest::TearDown();
  }
  static void ClearKey() {
    TRegistry registry;
    registry.DeleteKey("\\Software\\Quennix\\Hourlark");
  }
  // Makes the window as the main window does, for the user, and shows it (not modally).
  void Open(const std::string& user = "ann", TformOptions* options = nullptr) {
    Show(user, options);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
    real_input::Settle();
  }
  // Opens the window as the program does and waits until its page is built and drawn: the
  // seconds that took.
  double OpenUntilDrawn() {
    const double start = Seconds();
    Show("ann", nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Drawn(form->Notebook1->PageIndex()); }, 120000));
    return Seconds() - start;
  }
  // The page is shown, built and painted.
  bool Drawn(int page) {
    return form->Notebook1->PageIndex() == page && !form->Pages()->Building() &&
           (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0;
  }
  void Show(const std::string& user, TformOptions* options) {
    form = new TformStatistic(Application);
    form->SetSettling(true);
    form->SetSources(&tasks, folder.File("hl20work.txt"), options);
    form->FormStorage->RestoreFromStore();
    form->cbUser->Items()->Add("ann");
    form->cbUser->Items()->Add("bob");
    form->cbUser->SetItemIndex(user == "bob" ? 1 : 0);
    form->Show();
  }
  void Close() {
    form->FormStorage->SaveToStore();
    delete form;
    form = nullptr;
  }
  std::string Cell(int col, int row) { return form->sgData->Cells(col, row); }
  // The node of the tree with that text.
  TTreeNode* Node(TQComboTreeView* tree, const std::string& text) {
    for (int i = 0; i < tree->Items()->Count(); ++i)
      if (tree->Items()->Item(i)->Text() == text) return tree->Items()->Item(i);
    return nullptr;
  }

  TempFolder folder;
  WorkFileMaker maker;
  TStringList tasks;
  TformStatistic* form = nullptr;
  TrackerContext context;

private:
  ClockFn previousClock_ = nullptr;
};

}  // namespace

TEST_F(StatisticFormTest, OpensOnTheWeekUpToTodayWithTheUsersTotals) {
  Open();
  EXPECT_EQ(form->dateFrom->Text(), "03.12.2026");
  EXPECT_EQ(form->dateTo->Text(), "09.12.2026");
  EXPECT_TRUE(form->mnWeek->Checked());
  EXPECT_EQ(form->Key1(), "total");
  EXPECT_EQ(form->Key2(), "none");
  EXPECT_EQ(form->cbTask1->Text(), "total");
  // Thursday stands in column 3 of the Monday week; two rows.
  EXPECT_EQ(form->Week().FirstColumn(), 3);
  EXPECT_EQ(form->sgData->RowCount(), 2);
  EXPECT_EQ(Cell(2, 0), "");
  EXPECT_EQ(Cell(3, 0), "03.12\t08:00:00\t");     // 2 h editor + 6 h browser
  EXPECT_EQ(Cell(2, 1), "09.12\t02:30:00\t");     // today: editor, notepad
  EXPECT_EQ(Cell(7, 0), "26:00\t");                // Thursday to Sunday
  EXPECT_EQ(Cell(7, 1), "09:30\t");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 1 day 11:30");
  EXPECT_EQ(form->lTotal2->Caption(), "");
  EXPECT_EQ(form->HeaderText(0), FormatSettings().ShortDayNames[1]);
  EXPECT_EQ(form->HeaderText(7), "Week");
  real_input::HoldForLooking();
}

TEST_F(StatisticFormTest, ChoosingTasksAndAComparisonRecomputes) {
  Open();
  form->TreeViewTask1->SetSelected(Node(form->TreeViewTask1, "Editor"));
  EXPECT_EQ(form->Key1(), "Editor");
  EXPECT_EQ(form->cbTask1->Text(), "Editor");
  EXPECT_EQ(Cell(2, 1), "09.12\t02:30:00\t");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 14:30");

  form->btDownUp->Click();
  EXPECT_EQ(form->pHeaderTask->Height(), 52);
  form->TreeViewTask2->SetSelected(Node(form->TreeViewTask2, "Internet"));
  EXPECT_EQ(form->Key2(), "2");
  EXPECT_EQ(Cell(3, 0), "03.12\t02:00:00\t06:00:00");
  EXPECT_EQ(Cell(2, 1), "09.12\t02:30:00\t");
  EXPECT_EQ(Cell(7, 0), "08:00\t18:00");
  EXPECT_EQ(form->lTotal2->Caption(), "Compared with: 21:00   (144.83%)");
  real_input::HoldForLooking();

  // Folding the comparison line away turns the comparison off.
  form->btDownUp->Click();
  EXPECT_EQ(form->pHeaderTask->Height(), 27);
  EXPECT_EQ(form->Key2(), "none");
  EXPECT_EQ(form->lTotal2->Caption(), "");
  EXPECT_EQ(Cell(3, 0), "03.12\t02:00:00\t");

  // Opened again with the comparison line shown (its height is stored), the comparison tree
  // has all its nodes at once.
  form->btDownUp->Click();
  Close();
  Open();
  EXPECT_EQ(form->pHeaderTask->Height(), 52);
  EXPECT_NE(Node(form->TreeViewTask2, "Internet"), nullptr);
}

TEST_F(StatisticFormTest, ArrowKeysInTheTaskBoxWalkTheTree) {
  Open();
  WORD key = VK_DOWN;
  form->cbTask1->OnKeyUp(form->cbTask1, key, 0);
  EXPECT_EQ(form->cbTask1->Text(), "Work");
  EXPECT_EQ(form->Key1(), "1");
  form->cbTask1->OnKeyUp(form->cbTask1, key, 0);
  EXPECT_EQ(form->Key1(), "Editor");
  key = VK_UP;
  form->cbTask1->OnKeyUp(form->cbTask1, key, 0);
  form->cbTask1->OnKeyUp(form->cbTask1, key, 0);
  form->cbTask1->OnKeyUp(form->cbTask1, key, 0);  // already on the first node
  EXPECT_EQ(form->Key1(), "total");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 1 day 11:30");
}

TEST_F(StatisticFormTest, PageButtonsSwitchPagesAndTheTaskHeaderLeavesTheDetailPage) {
  Open();
  form->btPage1->SetDown(true);
  form->btPage1->Click();
  EXPECT_EQ(form->Notebook1->PageIndex(), 1);
  EXPECT_TRUE(form->pHeaderTask->Visible());
  form->btPage2->SetDown(true);
  form->btPage2->Click();
  EXPECT_EQ(form->Notebook1->PageIndex(), 2);
  EXPECT_FALSE(form->pHeaderTask->Visible());
  Close();
  // The page comes back with its button down.
  Open();
  EXPECT_EQ(form->Notebook1->PageIndex(), 2);
  EXPECT_TRUE(form->btPage2->Down());
  EXPECT_FALSE(form->btPage0->Down());
  form->btPage0->SetDown(true);
  form->btPage0->Click();
  EXPECT_TRUE(form->pHeaderTask->Visible());
  EXPECT_TRUE(form->Notebook1->Page(0)->Visible());
  EXPECT_FALSE(form->Notebook1->Page(2)->Visible());
}

TEST_F(StatisticFormTest, PeriodsAndDateEditsChangeTheRange) {
  Open();
  form->mnDay->Click();
  EXPECT_TRUE(form->mnDay->Checked());
  EXPECT_FALSE(form->mnWeek->Checked());
  EXPECT_EQ(form->dateFrom->Text(), "09.12.2026");
  EXPECT_EQ(form->sgData->RowCount(), 1);
  EXPECT_EQ(Cell(2, 0), "09.12\t02:30:00\t");

  form->mnMonth->Click();
  EXPECT_EQ(form->dateFrom->Text(), "10.11.2026");
  EXPECT_EQ(form->Week().DayCount(), 30);

  // A first date after the last one is moved back to it; the range is a custom one now.
  form->dateFrom->SetDate(EncodeDate(2026, 12, 20));
  EXPECT_EQ(form->dateFrom->Text(), "09.12.2026");
  EXPECT_EQ(form->Week().DayCount(), 1);
  for (TMenuItem* item : {form->mnDay, form->mnWeek, form->mnTwoWeeks, form->mnMonth})
    EXPECT_FALSE(item->Checked());

  // Sunday first: the Wednesday moves one column to the right.
  form->rbAmer->SetChecked(true);
  form->cbUserChange(form->rbAmer);
  EXPECT_EQ(form->Week().FirstColumn(), 3);
  EXPECT_EQ(form->HeaderText(0), FormatSettings().ShortDayNames[0]);
}

TEST_F(StatisticFormTest, ACustomRangeIsStoredAndAPeriodFollowsToday) {
  Open("bob");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 09:00");
  form->dateFrom->SetDate(EncodeDate(2026, 12, 1));
  form->dateTo->SetDate(EncodeDate(2026, 12, 2));
  Close();
  pinnedNow += 5;
  Open();
  EXPECT_EQ(form->dateFrom->Text(), "01.12.2026");
  EXPECT_EQ(form->dateTo->Text(), "02.12.2026");
  EXPECT_EQ(form->Week().DayCount(), 2);
  form->mnWeek->Click();
  Close();
  Open();
  EXPECT_EQ(form->dateTo->Text(), "14.12.2026");
  EXPECT_TRUE(form->mnWeek->Checked());
}

TEST_F(StatisticFormTest, MarksTakeTheChosenColourAndThreshold) {
  Open();
  form->SetColorChooser([](TColor& colour) {
    colour = 0x00FF00;
    return true;
  });
  form->lMark2Click(form->lMark2);
  EXPECT_EQ(form->lMark2->Font()->Color(), 0x00FF00);
  form->SetColorChooser([](TColor&) { return false; });
  form->lMark2Click(form->lMark3);
  EXPECT_EQ(form->lMark3->Font()->Color(), clRed);
  form->edMark2->SetValue(30);
  EXPECT_EQ(form->edMark2->Value(), 24);
  Close();
  Open();
  EXPECT_EQ(form->lMark2->Font()->Color(), 0x00FF00);
  EXPECT_EQ(form->edMark2->Value(), 24);
}

TEST_F(StatisticFormTest, CustomGroupsAreNamedFromTheGroupFileAndAMissingWorkFileReadsZero) {
  WriteBytes(folder.File("hl20grp.txt"), "Clients\r\nHobby\r\n");
  tasks.Add("c:\\cad.exe\tDrawing\t8");
  std::filesystem::remove(folder.File("hl20work.txt"));
  Open();
  ASSERT_NE(Node(form->TreeViewTask1, "Hobby"), nullptr);
  form->TreeViewTask1->SetSelected(Node(form->TreeViewTask1, "Hobby"));
  EXPECT_EQ(form->Key1(), "8");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 00:00");
  EXPECT_EQ(Cell(2, 1), "09.12\t\t");
}

TEST_F(StatisticFormTest, CustomizingTasksRebuildsTheTreesOnlyAfterAnApply) {
  auto* options = app_->CreateForm<TformOptions>();
  options->cbShowIcons->SetChecked(false);
  Open("ann", options);
  form->TreeViewTask1->SetSelected(Node(form->TreeViewTask1, "Editor"));
  tasks.Add("c:\\cad.exe\tDrawing\t1");
  bool apply = false;
  TTimer closer(nullptr);
  closer.SetInterval(50);
  closer.OnTimer = [&](TObject*) {
    if (!options->Visible()) return;
    if (apply) options->AppliedFlag = true;
    options->btCancel->Click();
  };
  form->btCustomizeTasks->Click();
  EXPECT_TRUE(options->TaskPageFlag);
  EXPECT_EQ(Node(form->TreeViewTask1, "Drawing"), nullptr);
  EXPECT_EQ(form->Key1(), "Editor");

  apply = true;
  form->btCustomizeTasks->Click();
  closer.SetEnabled(false);
  EXPECT_NE(Node(form->TreeViewTask1, "Drawing"), nullptr);
  EXPECT_EQ(form->Key1(), "total");
  EXPECT_EQ(form->lTotal->Caption(), "Total: 1 day 11:30");
}

TEST_F(StatisticFormTest, TreesShowGroupPicturesAndThenTheProgramsIcons) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string notepad = std::string(windows) + "\\notepad.exe";
  tasks.Add(notepad + "\tNotes\t1");
  TStrHolder holder(nullptr);
  holder.Strings()->Assign(&tasks);
  formGlobal = app_->CreateForm<TformGlobal>();
  formGlobal->SetTaskList(&holder);
  auto* options = app_->CreateForm<TformOptions>();
  options->cbShowIcons->SetChecked(true);
  Open("ann", options);
  TTreeNode* notes = Node(form->TreeViewTask1, "Notes");
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(Node(form->TreeViewTask1, "total")->ImageIndex(), 1);
  EXPECT_EQ(Node(form->TreeViewTask2, "none")->ImageIndex(), 0);
  EXPECT_EQ(Node(form->TreeViewTask1, "Internet")->ImageIndex(), 2 + 2);
  EXPECT_EQ(form->TreeViewTask1->Images(), form->ilTask.get());
  const int pictures = 2 + formGlobal->ilGroups->Count();
  ASSERT_TRUE(PumpUntil([&] { return notes->ImageIndex() >= 0; }, 10000));
  EXPECT_EQ(notes->ImageIndex(), pictures);  // the only program with an icon file
  EXPECT_EQ(form->ilTask->Count(), pictures + formGlobal->ilIcons->Count());
  EXPECT_EQ(Node(form->TreeViewTask1, "Editor")->ImageIndex(), -1);
  formGlobal->StopIconLoader();
}

TEST_F(StatisticFormTest, TheMainWindowOpensItModallyAndForgetsItAfterwards) {
  auto* main = app_->CreateForm<TformHourlark>();
  ConnectTrackerWindows(context, *main, *app_->CreateForm<TformOptions>());
  main->SetDataDir(IncludeTrailingBackslash(folder.Path()));
  main->edUser->SetText("ann");
  main->slUsers->Strings()->Add("bob");
  main->slUsers->Strings()->Add("ann");
  for (int i = 0; i < tasks.Count(); ++i) main->slTaskDesc->Strings()->Add(tasks.Strings(i));
  std::string seen;
  TTimer closer(nullptr);
  closer.SetInterval(100);
  closer.OnTimer = [&](TObject*) {
    TformStatistic* statistic = main->Statistic();
    if (statistic == nullptr || !statistic->Visible()) return;
    closer.SetEnabled(false);
    seen = statistic->cbUser->Text() + " " + statistic->lTotal->Caption();
    statistic->btClose->Click();
  };
  main->btStatisticClick(main);
  EXPECT_EQ(seen, "ann Total: 1 day 11:30");
  EXPECT_EQ(main->Statistic(), nullptr);
  TRegistry registry;
  EXPECT_TRUE(registry.OpenKey("\\Software\\Quennix\\Hourlark\\Ststistic", false));
}

TEST_F(StatisticFormTest, CaptionTitleShowsRedAndBoldWhenActiveAndInTheInactiveColourOtherwise) {
  Open();
  TKitCaption* title = form->GradientCaption->Captions()->GetItem(0);
  EXPECT_FALSE(title->ParentFont());
  EXPECT_TRUE(title->Font()->Style() & fsBold);
  const caption_pixels::TitleColours colours =
      caption_pixels::ReadTitleColours(form, form->GradientCaption, "statistic-caption");
  EXPECT_GT(colours.activeRed, 30);
  EXPECT_GT(colours.inactiveText, 30);
  EXPECT_EQ(colours.inactiveRed, 0);
}

// Opened after a switch to a language written right to left, the window is made again
// mirrored before it shows: its own caption is drawn all the same, active and inactive.
TEST_F(StatisticFormTest, OpenedAfterASwitchToRightToLeftItShowsItsOwnCaption) {
  const std::string file = ExtractFilePath(app_->ExeName()) + "Mirrorstat.lng";
  {
    TLingroveLangFileEdit rtl(file);
    rtl.SetTextDirection(bdRightToLeft);
    rtl.AddString(28, "Los", 0);
    rtl.Save();
  }
  SetLanguage("Mirrorstat");
  Open();
  EXPECT_EQ(form->BiDiMode(), bdRightToLeft);
  const caption_pixels::TitleColours colours =
      caption_pixels::ReadTitleColours(form, form->GradientCaption, "statistic-caption-rtl");
  EXPECT_GT(colours.activeRed, 30);
  EXPECT_GT(colours.inactiveText, 30);
  Close();
  LangFinalize();
  DeleteFileA(file.c_str());
}

namespace {

// A left click in the middle of a control, through the system's input as a user's.
void ClickThroughInput(TControl* control) {
  real_input::Click(control->Parent()->Handle(),
                    POINT{control->Left() + control->Width() / 2, control->Top() + control->Height() / 2});
}

}  // namespace

// Ten years of three users with forty of 120 programs a day: every page shows its result
// within a second of the click, and so does the window opened on the detail page. The
// times are printed with their ratio to a plain read of the same file, which also allows
// for a machine busy with other work.
TEST_F(StatisticFormTest, TenYearsShowOnEveryPageWithinASecond) {
  // The wait window with its progress bar, as the program has it.
  formWait = new TformWait(Application);
  WriteBytes(folder.File("hl20work.txt"), bench::GenerateWorkFile(Today + 0.5));
  tasks.Clear();
  tasks.SetText(bench::TaskFile());
  const TDateTime first = Today - (bench::Years * 365 - 1);
  double raw = RawReadSeconds(folder.File("hl20work.txt"));
  std::printf("plain read of the 10-year work file: %.3f s\n", raw);
  // A second, or eight plain reads of the file when the machine is so busy that eight take
  // longer (on an idle one a plain read takes about a tenth of a second under Wine).
  auto limit = [&raw] { return std::max(1.0, 8 * raw); };
  auto report = [&](const char* what, double seconds) {
    std::printf("%-45s %.3f s (%.1fx the plain read)\n", what, seconds, seconds / raw);
    EXPECT_LE(seconds, limit()) << what;
  };

  Open();
  double start = Seconds();
  form->dateFrom->SetDate(first);
  report("week table, total", Seconds() - start);
  ASSERT_EQ(form->Week().DayCount(), bench::Years * 365);
  ASSERT_GT(form->Week().Total1(), 0);

  start = Seconds();
  form->btDownUp->Click();
  form->TreeViewTask2->SetSelected(Node(form->TreeViewTask2, "Product 7"));
  report("week table compared with a description", Seconds() - start);
  ASSERT_GT(form->Week().Total2(), 0);

  TStatisticPages* pages = form->Pages();
  auto page = [&](TKitSpeedButton* button, int index, const char* name) {
    const double clicked = Seconds();
    ClickThroughInput(button);
    EXPECT_TRUE(PumpUntil(
        [&] {
          return form->Notebook1->PageIndex() == index && !pages->Building() &&
                 (index != 2 || !pages->Detail().rows.empty());
        },
        20000))
        << name;
    report(name, Seconds() - clicked);
  };
  page(form->btPage1, 1, "chart page with the comparison, from the click");
  EXPECT_EQ(pages->Series1->Count(), bench::Years * 365);
  page(form->btPage2, 2, "detail page, from the click");
  EXPECT_EQ(pages->Detail().rows.size(), 120u);
  EXPECT_EQ(pages->ListView->Items()->Count(), 120);
  page(form->btPage0, 0, "week page, from the click");
  page(form->btPage2, 2, "detail page again, from the click");
  Close();

  // Opened again on the detail page over the stored range, twice: the faster opening
  // counts, so that a burst of other work on the machine does not decide.
  raw = RawReadSeconds(folder.File("hl20work.txt"));
  std::printf("plain read of the 10-year work file again: %.3f s\n", raw);
  double fastest = 1e9;
  for (int opening = 1; opening <= 2; ++opening) {
    const double seconds = OpenUntilDrawn();
    std::printf("%-45s %.3f s (%.1fx the plain read)\n",
                opening == 1 ? "window opened on the detail page" : "window opened on it again", seconds,
                seconds / raw);
    fastest = std::min(fastest, seconds);
    EXPECT_EQ(form->Notebook1->PageIndex(), 2);
    EXPECT_EQ(form->Pages()->Detail().rows.size(), 120u);
    if (opening == 1) {
      EXPECT_TRUE(Screenshot("statistic-detail-10-years.png"));
    }
    Close();
  }
  EXPECT_LE(fastest, limit()) << "window opened on the detail page";
}

// A task list of 100,000 lines in 200 groups, with three years of forty programs a day taken
// from all over it: the window opens on each page and each page shows its result after a
// click, each time printed with its ratio to a plain read of the work and task file. The
// aim is a second for each. The bound checked leaves room for a machine busy with other
// work: two and a half times the aim, or forty plain reads when even a plain read is slow
// (an idle one takes about 0.04 s under Wine). It catches a list put into the window item by
// item (5 s to open on the detail page) or trees that draw after each node.
TEST_F(StatisticFormTest, AHundredThousandTaskLinesOpenOnEveryPageWithinASecond) {
  formWait = new TformWait(Application);
  const bench::HistoryShape shape = bench::LongTaskList(100000, 3, 40, 1);
  WriteBytes(folder.File("hl20work.txt"), shape.workText);
  WriteBytes(folder.File("tasks.txt"), shape.taskText);
  tasks.Clear();
  tasks.SetText(shape.taskText);
  // The stored range: the whole history.
  pinnedNow = shape.today + EncodeTime(15, 0, 0, 0);
  const double raw = RawReadSeconds(folder.File("hl20work.txt")) + RawReadSeconds(folder.File("tasks.txt"));
  std::printf("plain read of the work and the task file: %.3f s\n", raw);
  auto report = [&](const std::string& what, double seconds, double goal) {
    std::printf("%-45s %.3f s (%.1fx the plain read)\n", what.c_str(), seconds, seconds / raw);
    EXPECT_LE(seconds, std::max(2.5 * goal, 40 * raw)) << what;
  };
  const char* names[] = {"week page", "chart page", "detail page"};
  auto openOn = [&](int page) {
    const double seconds = OpenUntilDrawn();
    EXPECT_EQ(form->Notebook1->PageIndex(), page);
    report(std::string("window opened on the ") + names[page], seconds, 1.0);
  };
  auto click = [&](int page) {
    TKitSpeedButton* buttons[] = {form->btPage0, form->btPage1, form->btPage2};
    const double clicked = Seconds();
    ClickThroughInput(buttons[page]);
    EXPECT_TRUE(PumpUntil([&] { return Drawn(page); }, 120000)) << names[page];
    report(std::string(names[page]) + ", from the click", Seconds() - clicked, 1.0);
  };

  openOn(0);
  form->dateFrom->SetDate(shape.today - (shape.days - 1));
  ASSERT_EQ(form->Week().DayCount(), shape.days);
  click(1);
  EXPECT_EQ(form->Pages()->Series1->Count(), shape.days);
  click(2);
  const auto rows = static_cast<LRESULT>(form->Pages()->Detail().rows.size());
  EXPECT_GT(rows, 10000);
  EXPECT_EQ(SendMessageA(form->Pages()->ListView->Handle(), LVM_GETITEMCOUNT, 0, 0), rows);
  Close();
  openOn(2);
  EXPECT_TRUE(Screenshot("statistic-detail-100000-tasks.png"));
  click(1);
  Close();
  openOn(1);
  Close();
}

// The window keeps the work file it read between clicks, but a file written meanwhile (by
// the tracker's save, even one that keeps its size) is read again.
TEST_F(StatisticFormTest, AWorkFileWrittenMeanwhileIsReadAgain) {
  Open();
  EXPECT_EQ(Cell(2, 1), "09.12\t02:30:00\t");
  const std::string path = folder.File("hl20work.txt");
  int saves = 0;
  auto rewrite = [&](int seconds) {
    maker = WorkFileMaker();
    for (int d = 0; d < 7; ++d) {
      maker.Add("ann", Today - d, "c:\\ed.exe", 2 * Hour);
      maker.Add("ann", Today - d, "c:\\web.exe", d * Hour);
    }
    maker.Add("ann", Today, "c:\\pad.exe", seconds);
    maker.Add("bob", Today, "c:\\game.exe", 9 * Hour);
    maker.Write(path);
    // Saved seconds after the file that was read, as the tracker saves.
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME written{};
    GetSystemTimeAsFileTime(&written);
    ULARGE_INTEGER later{};
    later.LowPart = written.dwLowDateTime;
    later.HighPart = written.dwHighDateTime;
    later.QuadPart += 10000000ull * static_cast<unsigned>(++saves);
    written.dwLowDateTime = later.LowPart;
    written.dwHighDateTime = later.HighPart;
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
  };
  rewrite(40 * 60);  // the same size: 00:40:00 for 00:30:00
  form->mnWeek->Click();
  EXPECT_EQ(Cell(2, 1), "09.12\t02:40:00\t");
  form->btPage2->Click();
  int64_t editor = 0;
  for (const StatDetailRow& row : form->Pages()->Detail().rows)
    if (row.description == "Editor") editor = row.seconds;
  EXPECT_EQ(editor, 14 * Hour + 40 * 60);
  form->btPage0->Click();

  rewrite(10 * 3600);  // a longer file
  form->mnWeek->Click();
  EXPECT_EQ(Cell(2, 1), "09.12\t12:00:00\t");
}

// Tab goes from the header through the task choice (the comparison only while its line
// shows), the page, the options (while shown) to Print and Close, and back; no text changes.
TEST_F(StatisticFormTest, TabGoesRoundHeaderTasksPageOptionsAndButtons) {
  Open();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  real_input::ExpectTabOrder({form->cbUser, form->dateFrom, form->dateTo, form->cbTask1, form->gridWeek,
                              form->KitDrawGrid, form->btPrint, form->btClose},
                             "table");
  form->btDownUp->Click();
  form->btOptions->SetDown(true);
  form->btOptionsClick(form->btOptions);
  ASSERT_TRUE(form->pOptions->Visible());
  real_input::ExpectTabOrder({form->cbUser, form->dateFrom, form->dateTo, form->cbTask1, form->cbTask2, form->gridWeek,
                              form->KitDrawGrid, form->rbAmer, form->rbEuro, form->edMark2, form->edMark3, form->btCustomizeTasks,
                              form->btPrint, form->btClose},
                             "table with comparison and options");
}

// The chart and detail pages, reached by real clicks on their page buttons: Tab goes from the
// header to Print and Close and back, no text changes. The chart is worked by the mouse and
// takes no focus; on the detail page the task header is gone, so Tab passes from the dates
// straight to the list.
TEST_F(StatisticFormTest, TabGoesRoundTheChartAndDetailPages) {
  formWait = new TformWait(Application);
  Open();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  TStatisticPages* pages = form->Pages();
  ClickThroughInput(form->btPage1);
  ASSERT_TRUE(real_input::PumpUntil([&] { return form->Notebook1->PageIndex() == 1; }));
  real_input::ExpectTabOrder({form->cbUser, form->dateFrom, form->dateTo, form->cbTask1, form->btPrint, form->btClose},
                             "chart");
  ClickThroughInput(form->btPage2);
  ASSERT_TRUE(real_input::PumpUntil([&] { return form->Notebook1->PageIndex() == 2; }));
  real_input::ExpectTabOrder({form->cbUser, form->dateFrom, form->dateTo, pages->ListView, form->btPrint, form->btClose},
                             "detail");
}

// Shown modally, as the main window shows it: Escape anywhere is the Close button's, and
// Enter on Close presses it; either ends the window with OK and changes no text.
TEST_F(StatisticFormTest, EscapeAndEnterOnCloseEndTheModalWindow) {
  Open();
  form->Hide();
  for (const bool escape : {true, false}) {
    std::string userBefore, userAfter;
    TTimer keys(nullptr);
    keys.SetInterval(100);
    keys.OnTimer = [&](TObject*) {
      if (!form->Visible()) return;
      keys.SetEnabled(false);
      ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
      userBefore = form->cbUser->Text();
      if (escape) {
        form->cbUser->SetFocus();
        real_input::PressKey(VK_ESCAPE);
      } else {
        form->btClose->SetFocus();
        real_input::PressKey(VK_RETURN);
      }
      userAfter = form->cbUser->Text();
    };
    EXPECT_EQ(form->ShowModal(), mrOk) << (escape ? "Escape" : "Enter");
    EXPECT_EQ(userAfter, userBefore);
  }
}
