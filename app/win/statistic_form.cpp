#include "app/win/statistic_form.h"

#include <algorithm>
#include <cmath>

#include "app/task_data.h"
#include "app/task_groups.h"
#include "app/win/form_parts.h"
#include "app/win/global_form.h"
#include "app/win/options_form.h"
#include "app/win/statistic_controls.h"
#include "app/work_file.h"
#include "kit/win/combo_edit.h"
#include "kit/win/combo_tree_view.h"
#include "kit/win/date_edit.h"
#include "lang/app_language.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/screen.h"

namespace {

TLangFormRegistrar registrar("TformStatistic", [](TComponent* owner) { return new TformStatistic(owner); });

// The window's own words for the message numbers 146..156 (the base language).
const char* const BaseTexts[] = {"day",
                                 "days",
                                 "Total",
                                 "Compared with",
                                 "Statistics",
                                 "Summing up the programs' times...",
                                 "Filling the list and the chart...",
                                 "Total",
                                 "Day: ",
                                 "Time worked: ",
                                 "Time: "};
constexpr int FirstText = 146;
constexpr int TextCount = sizeof BaseTexts / sizeof BaseTexts[0];

// The stored properties, in the order they are written.
const char* const StoredStatisticProps =
    "rbAmer.Checked\r\nrbEuro.Checked\r\nlMark1.Font\r\nlMark2.Font\r\nlMark3.Font\r\nedMark2.Value\r\n"
    "edMark3.Value\r\ndateFrom.Text\r\ndateTo.Text\r\nmnDay.Checked\r\nmnMonth.Checked\r\nmnWeek.Checked\r\n"
    "mnTwoWeeks.Checked\r\npHeaderTask.Height\r\nNotebook1.PageIndex\r\nNotebook2.PageIndex\r\n";

constexpr int TaskHeaderLow = 27;
constexpr int TaskHeaderHigh = 52;

// The pictures of the window's buttons, drawn in 16 x 16 cells on the key colour.
enum class Glyph { Table, Chart, Detail, Down, Up, Period, None, Total };

void DrawGlyph(TBitmap* bitmap, Glyph glyph) {
  bitmap->SetSize(16, 16);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clFuchsia);
  canvas->FillRect(RECT{0, 0, 16, 16});
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clWhite);
  switch (glyph) {
    case Glyph::Table:
      canvas->Rectangle(1, 2, 15, 14);
      for (int x = 5; x < 14; x += 4) {
        canvas->MoveTo(x, 2);
        canvas->LineTo(x, 14);
      }
      for (int y = 6; y < 14; y += 4) {
        canvas->MoveTo(1, y);
        canvas->LineTo(15, y);
      }
      break;
    case Glyph::Chart:
      canvas->Brush()->SetColor(0xFF0080);
      canvas->Rectangle(2, 8, 6, 15);
      canvas->Rectangle(10, 5, 14, 15);
      canvas->Brush()->SetColor(clLime);
      canvas->Rectangle(6, 3, 10, 15);
      break;
    case Glyph::Detail:
      canvas->Brush()->SetColor(0x00C0FF);
      canvas->Ellipse(1, 1, 15, 15);
      canvas->Brush()->SetColor(0xFF8000);
      ::Pie(canvas->Handle(), 1, 1, 15, 15, 15, 8, 8, 1);
      break;
    case Glyph::Period:
      // A leaf of a calendar.
      canvas->Rectangle(2, 2, 14, 14);
      canvas->Brush()->SetColor(clRed);
      canvas->FillRect(RECT{3, 3, 13, 6});
      canvas->Brush()->SetColor(clBlack);
      for (int y = 8; y < 13; y += 2)
        for (int x = 4; x < 13; x += 3) canvas->FillRect(RECT{x, y, x + 2, y + 1});
      break;
    case Glyph::None:
      canvas->Pen()->SetColor(clGray);
      canvas->Ellipse(3, 3, 13, 13);
      canvas->MoveTo(4, 12);
      canvas->LineTo(12, 4);
      break;
    case Glyph::Total:
      canvas->Brush()->SetColor(0xFF8000);
      canvas->Rectangle(2, 2, 14, 14);
      canvas->MoveTo(5, 5);
      canvas->LineTo(11, 5);
      canvas->MoveTo(5, 8);
      canvas->LineTo(11, 8);
      canvas->MoveTo(5, 11);
      canvas->LineTo(11, 11);
      break;
    case Glyph::Down:
    case Glyph::Up: {
      canvas->Brush()->SetColor(clBlack);
      const bool up = glyph == Glyph::Up;
      canvas->Polygon(up ? std::vector<POINT>{{4, 10}, {12, 10}, {8, 6}} : std::vector<POINT>{{4, 6}, {12, 6}, {8, 10}});
      break;
    }
  }
}

void SetGlyph(TKitSpeedButton* button, Glyph glyph) {
  TBitmap bitmap;
  DrawGlyph(&bitmap, glyph);
  button->SetGlyph(&bitmap);
}

// The trees' nodes between BeginUpdate and EndUpdate, also when an exception leaves.
class TreesUpdate {
public:
  TreesUpdate(TTreeView* first, TTreeView* second) : trees_{first->Items(), second->Items()} {
    for (TTreeNodes* nodes : trees_) nodes->BeginUpdate();
  }
  ~TreesUpdate() {
    for (TTreeNodes* nodes : trees_) nodes->EndUpdate();
  }
  TreesUpdate(const TreesUpdate&) = delete;
  TreesUpdate& operator=(const TreesUpdate&) = delete;

private:
  TTreeNodes* trees_[2];
};

bool ChooseColorDialog(TColor& colour) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = GetActiveWindow();
  choice.rgbResult = static_cast<COLORREF>(ColorToRGB(colour));
  choice.lpCustColors = custom;
  choice.Flags = CC_RGBINIT;
  if (!ChooseColorA(&choice)) return false;
  colour = static_cast<TColor>(choice.rgbResult);
  return true;
}

}  // namespace

const ClassInfo* TformStatistic::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformStatistic>("TformStatistic", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformStatistic::TformStatistic(TComponent* owner) : TForm(owner), colorChooser_(ChooseColorDialog) {
  BeginLoading();
  SetName("formStatistic");
  SetCaption(BaseTexts[150 - FirstText]);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(571);
  SetClientHeight(405);
  SetHelpContext(23);
  SetVisible(false);

  BuildMenus();
  BuildHeader();
  BuildTaskHeader();
  BuildBottom();
  BuildOptions();
  BuildPages();
  // Only glyph holders.
  btDown = AddButton(this, "btDown", -100, -100, 20, 20);
  SetGlyph(btDown, Glyph::Down);
  btDown->SetVisible(false);
  btUp = AddButton(this, "btUp", -100, -100, 20, 20);
  SetGlyph(btUp, Glyph::Up);
  btUp->SetVisible(false);
  ilTaskBase = std::make_unique<TImageList>();
  ilTask = std::make_unique<TImageList>();
  for (Glyph glyph : {Glyph::None, Glyph::Total}) {
    TBitmap picture;
    DrawGlyph(&picture, glyph);
    ilTaskBase->AddMasked(&picture, clFuchsia);
  }
  // The trees drop over everything else: made last, they lie on top.
  TreeViewTask1 = AddTree("TreeViewTask1", cbTask1);
  TreeViewTask2 = AddTree("TreeViewTask2", cbTask2);

  GradientCaption = new TKitGradientCaption(this);
  GradientCaption->SetName("GradientCaption");
  TKitCaption* title = GradientCaption->Captions()->Add();
  title->SetCaption(BaseTexts[150 - FirstText]);
  // The title stands out in red and bold over either end of the gradient, whatever colour
  // the system gives caption texts.
  title->Font()->SetColor(clRed);
  title->Font()->SetStyle(fsBold);
  GradientCaption->Captions()->Add()->SetCaption("");
  BuildStorage();
  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  {
    // The user's names, dates and the task choice are data, not texts to translate.
    TStringList rules;
    rules.SetText("-cbUser\r\n-dateFrom\r\n-dateTo\r\n-cbTask1\r\n-cbTask2\r\n-lTotal\r\n-lTotal2\r\n");
    LingroveLang1->SetLocalRules(&rules);
  }
  SetActiveControl(btClose);
  OnShow = [this](TObject* s) { FormShow(s); };
  LingroveLang1->AfterTrans = [this](TObject*, const std::string&) { ArrangeTexts(); };
  LoadedAll(this);
  ArrangeTexts();
  FormCreate(this);
  DoCreate();
}

TformStatistic::~TformStatistic() {
  // The controls go one by one from here on; what they report on the way changes nothing.
  destroying_ = true;
  settling_ = true;
}

TKitSpeedButton* TformStatistic::AddButton(TWinControl* parent, const char* name, int left, int top, int width,
                                           int height) {
  auto* button = MakeControl<TKitSpeedButton>(this, name, parent, left, top, width, height);
  button->SetFlat(true);
  return button;
}

TLabel* TformStatistic::AddLabel(TWinControl* parent, const char* name, const std::string& caption, int left,
                                 int top) {
  auto* label = MakeControl<TLabel>(this, name, parent, left, top, 0, 13);
  label->SetCaption(caption);
  return label;
}

void TformStatistic::BuildMenus() {
  popDates = new TPopupMenu(this);
  popDates->SetName("popDates");
  popDates->OnPopup = [this](TObject* s) { popDatesPopup(s); };
  auto item = [this](const char* name, const char* caption) {
    auto* menuItem = new TMenuItem(this);
    menuItem->SetName(name);
    menuItem->SetCaption(caption);
    menuItem->SetRadioItem(true);
    menuItem->SetGroupIndex(1);
    menuItem->OnClick = [this](TObject* s) { mnMonthClick(s); };
    popDates->Items()->Add(menuItem);
    return menuItem;
  };
  mnDay = item("mnDay", "Day");
  mnWeek = item("mnWeek", "Week");
  mnTwoWeeks = item("mnTwoWeeks", "Two weeks");
  mnMonth = item("mnMonth", "Month");
  mnWeek->SetChecked(true);
}

void TformStatistic::BuildHeader() {
  pHeader = MakeControl<TPanel>(this, "pHeader", this, 0, 0, 571, 28);
  pHeader->SetAlign(alTop);
  pHeader->SetCaption("");
  const char* const hints[] = {"View as table", "View as graph", "Detail view"};
  const Glyph glyphs[] = {Glyph::Table, Glyph::Chart, Glyph::Detail};
  TKitSpeedButton** buttons[] = {&btPage0, &btPage1, &btPage2};
  for (int i = 0; i < 3; ++i) {
    const std::string name = "btPage" + std::to_string(i);
    TKitSpeedButton* button = AddButton(pHeader, name.c_str(), 3 + 25 * i, 2, 24, 24);
    button->SetGroupIndex(1);
    button->SetHint(hints[i]);
    button->SetShowHint(true);
    button->SetDown(i == 0);
    SetGlyph(button, glyphs[i]);
    button->OnClick = [this](TObject* s) { btPageClick(s); };
    *buttons[i] = button;
  }
  lUser = AddLabel(pHeader, "lUser", "User", 86, 8);
  cbUser = MakeControl<TComboBox>(this, "cbUser", pHeader, 114, 4, 112, 21);
  cbUser->SetStyle(csDropDownList);
  cbUser->OnChange = [this](TObject* s) { cbUserChange(s); };
  lPeriod = AddLabel(pHeader, "lPeriod", "Period", 234, 8);
  btSelectPeriod = AddButton(pHeader, "btSelectPeriod", 270, 3, 22, 22);
  btSelectPeriod->SetHint("Select period from list");
  btSelectPeriod->SetShowHint(true);
  btSelectPeriod->SetDropDownMenu(popDates);
  SetGlyph(btSelectPeriod, Glyph::Period);
  lFrom = AddLabel(pHeader, "lFrom", "From", 296, 8);
  dateFrom = MakeControl<TDateEdit>(this, "dateFrom", pHeader, 326, 4, 106, 21);
  dateFrom->SetWeekends(DayOfWeekBit(Sat) | DayOfWeekBit(Sun));
  lTo = AddLabel(pHeader, "lTo", "to", 438, 8);
  dateTo = MakeControl<TDateEdit>(this, "dateTo", pHeader, 454, 4, 106, 21);
  for (TDateEdit* edit : {dateFrom, dateTo}) {
    edit->SetDirectInput(false);
    edit->SetYearDigits(dyFour);
    edit->SetDialogTitle("Choose date");
    edit->OnChange = [this](TObject* s) { dateToChange(s); };
  }
}

void TformStatistic::ArrangeTexts() {
  const int gap = ScaleValue(4);
  KeepApart({lUser, cbUser, lPeriod, btSelectPeriod, lFrom, dateFrom, lTo, dateTo}, gap);
  int bottom = 0;
  for (TControl* control : {static_cast<TControl*>(cbUser), static_cast<TControl*>(dateFrom),
                            static_cast<TControl*>(btSelectPeriod)})
    bottom = std::max(bottom, control->Top() + control->Height());
  if (pHeader->Height() < bottom + ScaleValue(3)) pHeader->SetHeight(bottom + ScaleValue(3));
  // The two task combos stand one above the other after the longer of their labels.
  const int combos =
      std::max(lSelectTask->Left() + lSelectTask->Width(), lTaskCompare->Left() + lTaskCompare->Width()) + gap;
  for (TControl* combo : {cbTask1, cbTask2})
    if (combo->Left() < combos) combo->SetLeft(combos);
  // A combo's least height follows the screen's fonts: within its row (the low header) the
  // first stands higher up, the second starts where the low header ends.
  if (cbTask1->Top() + cbTask1->Height() >= ScaleValue(TaskHeaderLow))
    cbTask1->SetTop(std::max(0, ScaleValue(TaskHeaderLow) - cbTask1->Height() - 1));
  if (cbTask2->Top() < ScaleValue(TaskHeaderLow)) cbTask2->SetTop(ScaleValue(TaskHeaderLow));
  if (cbTask2->Top() + cbTask2->Height() > ScaleValue(TaskHeaderHigh))
    cbTask2->SetTop(std::max(ScaleValue(TaskHeaderLow), ScaleValue(TaskHeaderHigh) - cbTask2->Height()));
  KeepApart({cbTask1, lTotal}, gap);
  KeepApart({cbTask2, lTotal2}, gap);
  const int spins = std::max(lMark2Text->Left() + lMark2Text->Width(), lMark3Text->Left() + lMark3Text->Width()) + gap;
  for (TControl* spin : {edMark2, edMark3})
    if (spin->Left() < spins) spin->SetLeft(spins);
  KeepApart({edMark2, lMark2Hours, btCustomizeTasks}, gap);
  KeepApart({edMark3, lMark3Hours}, gap);
  KeepApart({lMark1, lMark1Text}, gap);
  for (TWinControl* row : {pHeader, pHeaderTask, pOptions}) WidenToHold(row, gap);
}

void TformStatistic::BuildTaskHeader() {
  pHeaderTask = MakeControl<TPanel>(this, "pHeaderTask", this, 0, 28, 571, TaskHeaderLow);
  pHeaderTask->SetAlign(alTop);
  pHeaderTask->SetCaption("");
  btDownUp = AddButton(pHeaderTask, "btDownUp", 3, 3, 21, 21);
  btDownUp->OnClick = [this](TObject* s) { btDownUpClick(s); };
  lSelectTask = AddLabel(pHeaderTask, "lSelectTask", "Task", 30, 7);
  lSelectTask->SetHint("Select task from list");
  lSelectTask->SetShowHint(true);
  lTaskCompare = AddLabel(pHeaderTask, "lTaskCompare", "Compare", 30, 32);
  lTaskCompare->SetHint("Select task to compare");
  lTaskCompare->SetShowHint(true);
  auto combo = [this](const char* name, int top) {
    auto* edit = MakeControl<TComboEdit>(this, name, pHeaderTask, 86, top, 240, 21);
    edit->SetDirectInput(false);
    edit->SetGlyphKind(gkDropDown);
    edit->OnKeyUp = [this](TObject* s, WORD& key, TShiftState shift) { cbTask1KeyUp(s, key, shift); };
    return edit;
  };
  cbTask1 = combo("cbTask1", 3);
  cbTask2 = combo("cbTask2", 28);
  lTotal = AddLabel(pHeaderTask, "lTotal", "", 336, 7);
  lTotal2 = AddLabel(pHeaderTask, "lTotal2", "", 336, 32);
}

TQComboTreeView* TformStatistic::AddTree(const char* name, TComboEdit* edit) {
  auto* tree = new TQComboTreeView(this);
  tree->SetName(name);
  tree->SetParent(this);
  tree->SetVisible(false);
  tree->SetWidth(240);
  tree->SetHeight(220);
  tree->SetPosition(pHeaderTask->Left() + edit->Left(), pHeaderTask->Top() + edit->Top() + edit->Height());
  tree->SetReadOnly(true);
  tree->SetRowSelect(true);
  tree->SetIndent(19);
  tree->SetToolTips(false);
  tree->SetComboEdit(edit);
  // It drops down over the pages below the task header.
  tree->OnPopup = [](TObject* s) {
    if (auto* dropped = dynamic_cast<TQComboTreeView*>(s)) dropped->BringToFront();
  };
  tree->OnChange = [this](TObject* s, TTreeNode* node) { TreeViewTask1Change(s, node); };
  tree->AfterSelect = [this](TObject* s) { TreeViewTask1AfterSelect(s); };
  return tree;
}

void TformStatistic::BuildBottom() {
  pBottom = MakeControl<TPanel>(this, "pBottom", this, 0, 374, 571, 31);
  pBottom->SetAlign(alBottom);
  pBottom->SetCaption("");
  btOptions = AddButton(pBottom, "btOptions", 4, 4, 80, 23);
  btOptions->SetFlat(false);
  btOptions->SetCaption("Options");
  btOptions->SetGroupIndex(2);
  btOptions->SetAllowAllUp(true);
  btOptions->OnClick = [this](TObject* s) { btOptionsClick(s); };
  btPrint = MakeControl<TButton>(this, "btPrint", pBottom, 408, 4, 75, 23);
  btPrint->SetCaption("Print");
  btPrint->OnClick = [this](TObject* s) { btPrintClick(s); };
  btClose = MakeControl<TButton>(this, "btClose", pBottom, 490, 4, 75, 23);
  btClose->SetCaption("Close");
  btClose->SetCancel(true);
  btClose->SetModalResult(mrOk);
}

void TformStatistic::BuildOptions() {
  pOptions = MakeControl<TPanel>(this, "pOptions", this, 0, 294, 571, 80);
  pOptions->SetAlign(alBottom);
  pOptions->SetCaption("");
  pOptions->SetVisible(false);
  lFormat = AddLabel(pOptions, "lFormat", "Format", 10, 6);
  rbAmer = MakeControl<TRadioButton>(this, "rbAmer", pOptions, 10, 24, 100, 17);
  rbAmer->SetCaption("Sun - Sat");
  rbEuro = MakeControl<TRadioButton>(this, "rbEuro", pOptions, 10, 44, 100, 17);
  rbEuro->SetCaption("Mon - Sun");
  rbEuro->SetChecked(true);
  for (TRadioButton* button : {rbAmer, rbEuro}) button->OnClick = [this](TObject* s) { cbUserChange(s); };

  lMarkDays = AddLabel(pOptions, "lMarkDays", "Mark days", 130, 6);
  auto mark = [this](const char* name, int top, TColor colour) {
    TLabel* label = AddLabel(pOptions, name, "01.01", 130, top);
    label->Font()->SetColor(colour);
    label->SetHint("Choose color...");
    label->SetShowHint(true);
    label->OnClick = [this](TObject* s) { lMark2Click(s); };
    return label;
  };
  auto spin = [this](const char* name, int top, double value) {
    auto* edit = MakeControl<TKitSpinEdit>(this, name, pOptions, 278, top, 40, 21);
    edit->SetMinValue(1);
    edit->SetMaxValue(24);
    edit->SetValue(value);
    edit->OnChange = [this](TObject* s) { edMark2Change(s); };
    return edit;
  };
  lMark1 = mark("lMark1", 24, clGray);
  lMark1Text = AddLabel(pOptions, "lMark1Text", "not worked", 166, 24);
  lMark2 = mark("lMark2", 44, clBlue);
  lMark2Text = AddLabel(pOptions, "lMark2Text", "Worked more than", 166, 44);
  edMark2 = spin("edMark2", 40, 6);
  lMark2Hours = AddLabel(pOptions, "lMark2Hours", "hours", 324, 44);
  lMark3 = mark("lMark3", 63, clRed);
  lMark3Text = AddLabel(pOptions, "lMark3Text", "Worked more than", 166, 63);
  edMark3 = spin("edMark3", 59, 8);
  lMark3Hours = AddLabel(pOptions, "lMark3Hours", "hours", 324, 63);
  btCustomizeTasks = MakeControl<TButton>(this, "btCustomizeTasks", pOptions, 440, 28, 120, 25);
  btCustomizeTasks->SetCaption("Customize tasks");
  btCustomizeTasks->OnClick = [this](TObject* s) { btCustomizeTasksClick(s); };
}

void TformStatistic::BuildPages() {
  Notebook1 = MakeControl<TNotebook>(this, "Notebook1", this, 0, 55, 571, 239);
  Notebook1->SetAlign(alClient);
  BuildGridPage(Notebook1->AddPage("Grid"));
  BuildGraphPage(Notebook1->AddPage("Graph"));
  BuildDetailPage(Notebook1->AddPage("Detail"));
  Notebook1->OnPageChanged = [this](TObject* s) { Notebook1PageChanged(s); };
  // Tab goes from top to bottom: header, task header, page, options, the bottom row.
  Notebook1->SetTabOrder(pHeaderTask->TabOrder() + 1);
  pOptions->SetTabOrder(Notebook1->TabOrder() + 1);
}

void TformStatistic::BuildStorage() {
  FormStorage = new TFormStorage(this);
  FormStorage->SetName("FormStorage");
  FormStorage->SetUseRegistry(true);
  FormStorage->SetIniFileName(HourlarkRegistryKey);
  FormStorage->SetIniSection("Ststistic");
  FormStorage->SetOptions(0);
  FormStorage->SetActive(false);
  TStringList props;
  props.SetText(StoredStatisticProps);
  FormStorage->SetStoredProps(&props);
}

void TformStatistic::SetSources(const TStrings* taskList, const std::string& workPath, TformOptions* options) {
  taskList_ = taskList;
  workPath_ = workPath;
  reader_.reset();
  work_.reset();
  options_ = options;
}

const WorkFile& TformStatistic::WorkData() {
  // The stamp is taken before the file is read: a change while it is read shows as a
  // changed stamp at the next use, and the file is read again then.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  std::string stamp = "none";
  if (!workPath_.empty() && GetFileAttributesExA(workPath_.c_str(), GetFileExInfoStandard, &data))
    stamp = std::to_string(data.nFileSizeHigh) + ":" + std::to_string(data.nFileSizeLow) + ":" +
            std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" + std::to_string(data.ftLastWriteTime.dwLowDateTime);
  if (work_ == nullptr || stamp != workStamp_) {
    reader_.reset();
    work_.reset();
    work_ = std::make_unique<WorkFile>(workPath_);
    workStamp_ = stamp;
  }
  return *work_;
}

StatDayReader& TformStatistic::DayReader() {
  const WorkFile& work = WorkData();
  if (reader_ == nullptr) reader_ = std::make_unique<StatDayReader>(work);
  return *reader_;
}

std::string TformStatistic::LangText(int number) const {
  if (number < FirstText || number >= FirstText + TextCount) return std::string();
  std::string text;
  try {
    text = AppLanguage()->GetLangString(static_cast<uint16_t>(number));
  } catch (...) {
    // No language file to ask: the window's own word stands.
  }
  return text.empty() || text == kUndefinedLangString ? BaseTexts[number - FirstText] : text;
}

// ---- Showing ------------------------------------------------------------------------------

void TformStatistic::FormCreate(TObject*) { LingroveLang1->SetLangDir(ExtractFilePath(Application->ExeName())); }

void TformStatistic::FormShow(TObject*) {
  key1_.clear();
  key2_.clear();
  const std::string title = LangText(150);
  SetCaption(title);
  GradientCaption->Captions()->GetItem(0)->SetCaption(title);
  BuildTaskTrees();
  TKitSpeedButton* pages[] = {btPage0, btPage1, btPage2};
  const int page = Notebook1->PageIndex();
  if (page >= 0 && page < 3) pages[page]->SetDown(true);
  UpdateHeaderLayout(page);
  settling_ = false;
  for (TMenuItem* item : {mnDay, mnWeek, mnTwoWeeks, mnMonth}) {
    if (item->Checked()) {
      item->Click();
      return;
    }
  }
  cbUserChange(this);
}

// ---- Task trees -----------------------------------------------------------------------------

TformStatistic::TreeNodes& TformStatistic::NodesOf(TQComboTreeView* tree) {
  return tree == TreeViewTask2 ? nodes2_ : nodes1_;
}

const TformStatistic::TreeNodes& TformStatistic::NodesOf(TQComboTreeView* tree) const {
  return tree == TreeViewTask2 ? nodes2_ : nodes1_;
}

bool TformStatistic::ShowIcons() const { return options_ != nullptr && options_->cbShowIcons->Checked(); }

void TformStatistic::BuildTaskTrees() {
  if (ShowIcons() && formGlobal != nullptr) formGlobal->StartIconLoader();
  // The options dialog names the groups; without it they are read here.
  groups_ = BuiltInGroupNodes();
  std::vector<std::string> custom;
  if (options_ == nullptr && !workPath_.empty() &&
      ReadGroupFile(ExtractFilePath(workPath_) + GroupListFileName, custom))
    AddCustomGroups(groups_, custom);
  if (taskList_ != nullptr) {
    index_.Build(*taskList_);
  } else {
    index_ = StatTaskIndex();
  }
  TreesUpdate update(TreeViewTask1, TreeViewTask2);
  FillTree(TreeViewTask1, false);
  // The comparison tree has only its "none" node while the comparison line is cut off: of a
  // long task list, the second tree cost as much as the first.
  FillTree(TreeViewTask2, true, TaskHeaderIsHigh());
  SetTreeImages();
}

void TformStatistic::FillComparisonTree() {
  if (nodes2_.whole) return;
  // Its first node selected again is no new choice: nothing is computed again.
  TScopedState settling(settling_);
  TreesUpdate update(TreeViewTask1, TreeViewTask2);
  FillTree(TreeViewTask2, true);
  ShowTreePictures(TreeViewTask2);
  if (taskIconsFirst_ >= 0) ShowTaskIcons(TreeViewTask2);
}

void TformStatistic::SetTreeImages() {
  const bool icons = ShowIcons();
  ilTask->Clear();
  if (icons) {
    std::vector<TImageList*> sources = {ilTaskBase.get()};
    if (formGlobal != nullptr) sources.push_back(formGlobal->ilGroups);
    for (TImageList* source : sources) {
      for (int i = 0; i < source->Count(); ++i) {
        TIcon icon;
        if (source->GetIcon(i, &icon)) ilTask->AddIcon(&icon);
      }
    }
  }
  taskIconsFirst_ = -1;
  for (TQComboTreeView* tree : {TreeViewTask1, TreeViewTask2}) {
    tree->SetImages(icons ? ilTask.get() : nullptr);
    ShowTreePictures(tree);
  }
}

void TformStatistic::ShowTreePictures(TQComboTreeView* tree) {
  TreeNodes& nodes = NodesOf(tree);
  for (size_t i = 0; i < nodes.nodes.size(); ++i) {
    const StatTaskNode& model = nodes.model[i];
    // Tens of thousands of task nodes have no picture until the programs' icons come.
    if (model.parent >= 0 && !nodes.taskPictures) continue;
    int picture = -1;
    if (model.text == NoneKey) picture = 0;
    else if (model.text == TotalKey) picture = 1;
    else if (model.parent < 0 && model.group >= 0) picture = model.group + 2;
    nodes.nodes[i]->SetImageIndex(picture);
    nodes.nodes[i]->SetSelectedIndex(picture);
  }
  nodes.taskPictures = false;
}

void TformStatistic::TaskIconsApplied() {
  DetailIconsApplied();
  if (!ShowIcons() || formGlobal == nullptr) return;
  TreesUpdate update(TreeViewTask1, TreeViewTask2);
  SetTreeImages();
  // The programs' icons go behind the base and group pictures.
  taskIconsFirst_ = ilTask->Count();
  for (int i = 0; i < formGlobal->ilIcons->Count(); ++i) {
    TIcon icon;
    if (formGlobal->ilIcons->GetIcon(i, &icon)) ilTask->AddIcon(&icon);
  }
  for (TQComboTreeView* tree : {TreeViewTask1, TreeViewTask2}) ShowTaskIcons(tree);
}

void TformStatistic::ShowTaskIcons(TQComboTreeView* tree) {
  TreeNodes& nodes = NodesOf(tree);
  nodes.taskPictures = true;
  for (size_t i = 0; i < nodes.nodes.size(); ++i) {
    const StatTaskNode& model = nodes.model[i];
    if (model.parent < 0 || model.line < 0) continue;
    int found = -1;
    if (!FindTask(*formGlobal->slIcons, std::string(index_.Path(index_.NameLineOfGroupLine(static_cast<size_t>(model.line)))), found)) continue;
    nodes.nodes[i]->SetImageIndex(taskIconsFirst_ + found);
    nodes.nodes[i]->SetSelectedIndex(taskIconsFirst_ + found);
  }
}

void TformStatistic::FillTree(TQComboTreeView* tree, bool comparison, bool whole) {
  TreeNodes& nodes = NodesOf(tree);
  nodes.nodes.clear();
  nodes.taskPictures = false;
  nodes.whole = whole;
  tree->Items()->Clear();
  if (whole) {
    nodes.model = index_.Tree(comparison, [this](int group) {
      const std::string name = options_ != nullptr ? options_->GroupName(group) : GroupNodeName(groups_, group);
      return name.empty() ? IntToStr(group) : name;
    });
  } else {
    // Only the node that chooses no comparison, as the whole tree starts.
    nodes.model.assign(1, StatRootNode(NoneKey));
  }
  nodes.nodes.reserve(nodes.model.size());
  for (size_t i = 0; i < nodes.model.size(); ++i) {
    const StatTaskNode& model = nodes.model[i];
    TTreeNode* node = model.parent < 0 ? tree->Items()->Add(nullptr, model.text)
                                       : tree->Items()->AddChild(nodes.nodes[model.parent], model.text);
    node->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(i)));
    nodes.nodes.push_back(node);
  }
  if (!nodes.nodes.empty()) tree->SetSelected(nodes.nodes.front());
}

int TformStatistic::SelectedIndex(TQComboTreeView* tree) const {
  TTreeNode* selected = tree->Selected();
  if (selected == nullptr) return -1;
  const auto index = static_cast<int>(reinterpret_cast<intptr_t>(selected->Data()));
  return index >= 0 && index < static_cast<int>(NodesOf(tree).model.size()) ? index : -1;
}

std::string TformStatistic::SelectedTaskKey(TQComboTreeView* tree) const {
  const int index = SelectedIndex(tree);
  return index < 0 ? std::string() : NodeKey(NodesOf(tree).model[index], index_);
}

std::string TformStatistic::SelectedTaskText(TQComboTreeView* tree) const {
  TTreeNode* selected = tree->Selected();
  return selected == nullptr ? std::string() : selected->Text();
}

void TformStatistic::HideTrees() {
  TreeViewTask1->SetVisible(false);
  TreeViewTask2->SetVisible(false);
}

// ---- Recompute ------------------------------------------------------------------------------

void TformStatistic::cbUserChange(TObject*) {
  if (settling_) return;
  key1_ = SelectedTaskKey(TreeViewTask1);
  key2_ = SelectedTaskKey(TreeViewTask2);
  if (key1_.empty() || key2_.empty()) return;
  cbTask1->SetText(SelectedTaskText(TreeViewTask1));
  cbTask2->SetText(SelectedTaskText(TreeViewTask2));
  const TDateTime from = dateFrom->Date();
  const TDateTime to = dateTo->Date();
  if (from == 0 || to == 0) return;
  if (to < from) {
    // An edit of the first date like any other: it recomputes at once.
    dateFrom->SetDate(to);
    return;
  }
  ComputeWeek();
  switch (Notebook1->PageIndex()) {
    case 0: RepaintWeekTable(); break;
    case 1: BuildBarChart(); break;
    case 2: BuildDetailView(); break;
    default: break;
  }
}

void TformStatistic::ComputeWeek() {
  WeekTableInput input;
  input.dateFrom = dateFrom->Date();
  input.dateTo = dateTo->Date();
  input.sundayFirst = rbAmer->Checked();
  input.user = cbUser->Text();
  input.key1 = key1_;
  input.key2 = key2_;
  {
    HourGlass hourGlass;
    week_.Compute(input, index_, DayReader());
  }
  ShowWeekRows();
  lTotal->SetCaption(LangText(148) + ": " + FormatDaysTotal(week_.Total1(), LangText(146), LangText(147)));
  if (key2_ == NoneKey) {
    lTotal2->SetCaption("");
  } else {
    lTotal2->SetCaption(LangText(149) + ": " + FormatDaysTotal(week_.Total2(), LangText(146), LangText(147)) +
                        "   (" + SharePercent(week_.Total1(), week_.Total2()) + ")");
  }
}

// ---- Period and dates ----------------------------------------------------------------------

void TformStatistic::mnMonthClick(TObject* sender) {
  if (settling_) return;
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  item->SetChecked(true);
  const StatPeriod period = item == mnDay        ? StatPeriod::Day
                            : item == mnTwoWeeks ? StatPeriod::TwoWeeks
                            : item == mnMonth    ? StatPeriod::Month
                                                 : StatPeriod::Week;
  const TDateTime today = Date();
  const int n = PeriodDayCount(period, today);
  settling_ = true;
  dateFrom->SetDate(0);
  dateTo->SetDate(0);
  dateTo->SetDate(today);
  dateFrom->SetDate(today - n + 1);
  settling_ = false;
  cbUserChange(sender);
}

void TformStatistic::popDatesPopup(TObject*) { HideTrees(); }

void TformStatistic::dateToChange(TObject* sender) {
  if (settling_) return;
  for (TMenuItem* item : {mnDay, mnWeek, mnTwoWeeks, mnMonth}) item->SetChecked(false);
  cbUserChange(sender);
}

// ---- Task choice ----------------------------------------------------------------------------

void TformStatistic::TreeViewTask1Change(TObject* sender, TTreeNode*) { cbUserChange(sender); }

void TformStatistic::TreeViewTask1AfterSelect(TObject*) { RepaintWeekTable(); }

void TformStatistic::cbTask1KeyUp(TObject* sender, WORD& key, TShiftState) {
  if (key != VK_DOWN && key != VK_UP) return;
  TQComboTreeView* tree = sender == cbTask2 ? TreeViewTask2 : TreeViewTask1;
  const TreeNodes& nodes = NodesOf(tree);
  const int index = SelectedIndex(tree);
  const int next = index + (key == VK_DOWN ? 1 : -1);
  if (index >= 0 && next >= 0 && next < static_cast<int>(nodes.nodes.size())) tree->SetSelected(nodes.nodes[next]);
  cbUserChange(sender);
}

void TformStatistic::btDownUpClick(TObject* sender) {
  HideTrees();
  if (TaskHeaderIsHigh()) {
    pHeaderTask->SetHeight(ScaleValue(TaskHeaderLow));
    if (!nodes2_.nodes.empty()) TreeViewTask2->SetSelected(nodes2_.nodes.front());
    key2_ = NoneKey;
    cbUserChange(sender);
    lTotal2->SetCaption("");
  } else {
    pHeaderTask->SetHeight(ScaleValue(TaskHeaderHigh));
  }
  UpdateHeaderLayout(Notebook1->PageIndex());
}

// The header's height is in pixels of the screen it was last shown on (it is stored): up to
// 144 pixels per inch a low header never reaches the low height at 144, a high one always
// passes it.
bool TformStatistic::TaskHeaderIsHigh() const { return pHeaderTask->Height() > MulDiv(TaskHeaderLow, 144, 96); }

void TformStatistic::UpdateHeaderLayout(int page) {
  pHeaderTask->SetHeight(ScaleValue(TaskHeaderIsHigh() ? TaskHeaderHigh : TaskHeaderLow));
  if (TaskHeaderIsHigh()) FillComparisonTree();
  const bool detail = page == 2;
  if (pDetail != nullptr) pDetail->SetVisible(detail);
  pHeaderTask->SetVisible(!detail);
  // The comparison line is cut off while the task header is low: Tab passes it by then.
  cbTask2->SetTabStop(TaskHeaderIsHigh());
  TKitSpeedButton* source = TaskHeaderIsHigh() ? btUp : btDown;
  btDownUp->SetGlyph(source->Glyph());
}

// ---- Pages and options -----------------------------------------------------------------------

void TformStatistic::btPageClick(TObject* sender) {
  HideTrees();
  const int page = sender == btPage2 ? 2 : sender == btPage1 ? 1 : 0;
  // The header changes while the detail page is hidden: a filled list takes long to
  // resize, and each header change resizes the page shown.
  if (page == 2) UpdateHeaderLayout(page);
  Notebook1->SetPageIndex(page);
  if (page != 2) UpdateHeaderLayout(page);
}

void TformStatistic::Notebook1PageChanged(TObject*) {
  if (settling_) return;
  if (Notebook1->PageIndex() == 1) BuildBarChart();
  if (Notebook1->PageIndex() == 2) BuildDetailView();
}

void TformStatistic::btOptionsClick(TObject*) { pOptions->SetVisible(btOptions->Down()); }

void TformStatistic::btCustomizeTasksClick(TObject* sender) {
  if (options_ == nullptr) return;
  options_->TaskPageFlag = true;
  options_->AppliedFlag = false;
  options_->ShowModal();
  if (!options_->AppliedFlag) return;
  {
    TScopedState settling(settling_);
    BuildTaskTrees();
  }
  cbUserChange(sender);
}

// ---- Marks ------------------------------------------------------------------------------------

void TformStatistic::lMark2Click(TObject* sender) {
  auto* label = dynamic_cast<TLabel*>(sender);
  if (label == nullptr || !colorChooser_) return;
  TColor colour = label->Font()->Color();
  if (!colorChooser_(colour)) return;
  label->Font()->SetColor(colour);
  FillWeekTable();
  RepaintWeekTable();
}

void TformStatistic::edMark2Change(TObject*) {
  if (destroying_) return;
  FillWeekTable();
  RepaintWeekTable();
}

