#pragma once
// TformStatistic: the statistics window. For one user and a range of days it shows the
// time of a chosen task, group or the day total, optionally compared with a second one, as
// a week table (one row per week, a column per weekday and one for the week's total), a
// bar chart or a detail list. The main window makes it for each use, fills in the users
// and shows it modally.
//
// The window's settings (week format, marks, dates, period, the task header's height and
// the pages) are kept in the registry section "Ststistic". While the settling flag is set
// nothing recomputes: the main window sets it before it restores those settings, and the
// window clears it when it shows.
//
// The pages are made by functions of their own: the week table in statistic_week_page.cpp;
// the chart, the detail view and printing by the window's TStatisticPages
// (statistic_pages.cpp), which the forwarding functions in statistic_views.cpp call.

#include <memory>
#include <string>
#include <vector>

#include "app/statistics.h"
#include "app/task_groups.h"
#include "app/win/global_form.h"
#include "kit/win/form_storage.h"
#include "kit/win/gradient_caption.h"
#include "kit/win/speed_button.h"
#include "kit/win/spin_edit.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/grid.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/std_controls.h"

class TComboEdit;
class TDateEdit;
class TKitDrawGrid;
class TLingroveLang;
class TNotebook;
class TQComboTreeView;
class TStatisticPages;
class TTreeNode;
class TformOptions;
struct TrackerContext;
class TStrings;
class WorkFile;

// Chooses a colour starting at colour; false when the user cancels. Tests put their own
// chooser here.
using TColorChooser = std::function<bool(TColor& colour)>;

class TformStatistic : public TForm, public TTaskIconViewer {
  HL_REFLECTABLE
public:
  explicit TformStatistic(TComponent* owner);
  ~TformStatistic() override;

  // What the window reads: the task list (path TAB description TAB group lines), the work
  // file, and the options dialog (task icons, the task page) when there is one.
  void SetSources(const TStrings* taskList, const std::string& workPath, TformOptions* options);
  // The context the windows share (the reports' label character set), when there is one.
  void SetContext(const TrackerContext* context) { context_ = context; }
  const TrackerContext* Context() const { return context_; }
  // The chart and detail pages and the printing, made with the window.
  TStatisticPages* Pages() const { return pages_; }
  const std::string& WorkPath() const { return workPath_; }
  // The work file as last read. It is read again only when the file changed since (its
  // size or its time of last writing), so a page switch does not read years of history
  // once more. Raises as WorkFile does.
  const WorkFile& WorkData();
  // A reader of the days of WorkData(), kept with it: the keys it has numbered are not
  // folded again by the next page or range.
  StatDayReader& DayReader();
  // While set, no change recomputes anything.
  bool Settling() const { return settling_; }
  void SetSettling(bool value) { settling_ = value; }
  // The texts of message numbers 146-156, the window's own words as the base language.
  std::string LangText(int number) const;
  void SetColorChooser(TColorChooser chooser) { colorChooser_ = std::move(chooser); }

  // The keys of the chosen task and of the compared one ("none": no comparison).
  const std::string& Key1() const { return key1_; }
  const std::string& Key2() const { return key2_; }
  const WeekTable& Week() const { return week_; }
  const StatTaskIndex& TaskIndex() const { return index_; }
  // The text that the week table's header shows over a column (also for the printed table).
  std::string HeaderText(int col) const { return week_.HeaderText(col); }
  // Repaints the week table and its header (after the tracker saved a day).
  void RepaintWeekTable();
  // The task-icon loader has published the programs' icons: the trees take them.
  void TaskIconsApplied() override;

  // ---- Components ----
  TPanel* pHeader;
  TKitSpeedButton* btPage0;
  TKitSpeedButton* btPage1;
  TKitSpeedButton* btPage2;
  TLabel* lUser;
  TComboBox* cbUser;
  TLabel* lPeriod;
  TKitSpeedButton* btSelectPeriod;
  TLabel* lFrom;
  TDateEdit* dateFrom;
  TLabel* lTo;
  TDateEdit* dateTo;

  TPanel* pHeaderTask;
  TKitSpeedButton* btDownUp;
  TLabel* lSelectTask;
  TComboEdit* cbTask1;
  TLabel* lTaskCompare;
  TComboEdit* cbTask2;
  TLabel* lTotal;
  TLabel* lTotal2;
  TQComboTreeView* TreeViewTask1;
  TQComboTreeView* TreeViewTask2;

  TNotebook* Notebook1;
  // Week table page
  TKitDrawGrid* gridWeek;
  TKitDrawGrid* KitDrawGrid;
  TStringGrid* sgData;
  TLabel* lSmallFont;
  TLabel* lNormalFont;
  // The detail page's own header (made with the detail page; nullptr until then).
  TPanel* pDetail = nullptr;

  TPanel* pBottom;
  TKitSpeedButton* btOptions;
  TButton* btPrint;
  TButton* btClose;
  TPanel* pOptions;
  TLabel* lFormat;
  TRadioButton* rbAmer;
  TRadioButton* rbEuro;
  TLabel* lMarkDays;
  TLabel* lMark1;
  TLabel* lMark1Text;
  TLabel* lMark2;
  TLabel* lMark2Text;
  TKitSpinEdit* edMark2;
  TLabel* lMark2Hours;
  TLabel* lMark3;
  TLabel* lMark3Text;
  TKitSpinEdit* edMark3;
  TLabel* lMark3Hours;
  TButton* btCustomizeTasks;

  TKitSpeedButton* btDown;
  TKitSpeedButton* btUp;
  TPopupMenu* popDates;
  TMenuItem* mnDay;
  TMenuItem* mnWeek;
  TMenuItem* mnTwoWeeks;
  TMenuItem* mnMonth;
  // The trees' pictures: "none" and "total", then the groups' pictures, then the programs'
  // icons once they are loaded.
  std::unique_ptr<TImageList> ilTaskBase;
  std::unique_ptr<TImageList> ilTask;
  TKitGradientCaption* GradientCaption;
  TFormStorage* FormStorage;
  TLingroveLang* LingroveLang1;

  // ---- Handlers ----
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  // The recompute: the keys from the trees, then the week table and the page on show.
  void cbUserChange(TObject* sender);
  void mnMonthClick(TObject* sender);
  void popDatesPopup(TObject* sender);
  void dateToChange(TObject* sender);
  void TreeViewTask1Change(TObject* sender, TTreeNode* node);
  void TreeViewTask1AfterSelect(TObject* sender);
  void cbTask1KeyUp(TObject* sender, WORD& key, TShiftState shift);
  void btDownUpClick(TObject* sender);
  void btPageClick(TObject* sender);
  void Notebook1PageChanged(TObject* sender);
  void btOptionsClick(TObject* sender);
  void btCustomizeTasksClick(TObject* sender);
  void lMark2Click(TObject* sender);
  void edMark2Change(TObject* sender);
  void KitDrawGridDrawCell(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state);
  void gridWeekDrawCell(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state);
  void UpdateHeaderLayout(int page);
  bool TaskHeaderIsHigh() const;
  void BuildTaskTrees();

  // The key and the text of a tree's selected node (empty without a selection).
  std::string SelectedTaskKey(TQComboTreeView* tree) const;
  std::string SelectedTaskText(TQComboTreeView* tree) const;

  // ---- The other pages (statistic_views.cpp) ----
  void BuildGraphPage(TPanel* page);
  void BuildDetailPage(TPanel* page);
  void BuildBarChart();
  void BuildDetailView();
  void btPrintClick(TObject* sender);
  // The detail list's items take the programs' icons.
  void DetailIconsApplied();

private:
  // Moves the controls beside the labels along where a label came out longer (a language, a
  // resolution), widens the window to hold them and the tool row to hold its edits.
  void ArrangeTexts();
  void BuildHeader();
  void BuildTaskHeader();
  void BuildPages();
  void BuildGridPage(TPanel* page);
  void BuildBottom();
  void BuildOptions();
  void BuildMenus();
  void BuildStorage();
  TKitSpeedButton* AddButton(TWinControl* parent, const char* name, int left, int top, int width, int height);
  TLabel* AddLabel(TWinControl* parent, const char* name, const std::string& caption, int left, int top);
  TQComboTreeView* AddTree(const char* name, TComboEdit* edit);
  // The week computation with its totals, then the table's texts.
  void ComputeWeek();
  // The week table's rows and texts after a computation.
  void ShowWeekRows();
  void FillWeekTable();
  void HideTrees();
  // The tree's nodes in their full order, and the statistics node each stands for.
  struct TreeNodes {
    std::vector<StatTaskNode> model;
    std::vector<TTreeNode*> nodes;
    // Whether task nodes show the programs' icons (otherwise they have no picture).
    bool taskPictures = false;
    // All nodes, or (the comparison tree while its line is cut off) only the first.
    bool whole = true;
  };
  TreeNodes& NodesOf(TQComboTreeView* tree);
  const TreeNodes& NodesOf(TQComboTreeView* tree) const;
  void FillTree(TQComboTreeView* tree, bool comparison, bool whole = true);
  // Gives the comparison tree all its nodes when it has only the first.
  void FillComparisonTree();
  // The base and group pictures of a tree's nodes; the programs' icons of its task nodes.
  void ShowTreePictures(TQComboTreeView* tree);
  void ShowTaskIcons(TQComboTreeView* tree);
  int SelectedIndex(TQComboTreeView* tree) const;
  TColor MarkColor(int mark) const;
  // Whether the options ask for the programs' icons in the statistics.
  bool ShowIcons() const;
  // ilTask from the base and group pictures; the trees show them (or no pictures at all).
  void SetTreeImages();

  const TStrings* taskList_ = nullptr;
  std::string workPath_;
  // The work file read last, and what its size and time of last writing were before.
  std::unique_ptr<WorkFile> work_;
  std::unique_ptr<StatDayReader> reader_;  // over work_
  std::string workStamp_;
  TformOptions* options_ = nullptr;
  const TrackerContext* context_ = nullptr;
  TStatisticPages* pages_ = nullptr;  // owned as a component
  bool settling_ = false;
  bool destroying_ = false;
  std::string key1_;
  std::string key2_;
  StatTaskIndex index_;
  WeekTable week_;
  TreeNodes nodes1_;
  TreeNodes nodes2_;
  // Where the programs' icons start in ilTask once they came; -1 before.
  int taskIconsFirst_ = -1;
  TColorChooser colorChooser_;
  // The task groups with their names, read with the task trees.
  std::vector<TaskGroupNode> groups_;
};
