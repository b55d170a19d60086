#include "platform/wcl/win/handles.h"  // first: it tidies the system header's macros

#include "app/win/options_form.h"


#include <algorithm>
#include <memory>

#include "app/task_data.h"
#include "app/win/active_task_probe.h"
#include "app/win/app_pictures.h"
#include "app/win/edit_form.h"
#include "app/win/form_parts.h"
#include "app/win/global_form.h"
#include "app/win/options_pictures.h"
#include "app/win/lingrove_info_form.h"
#include "app/win/hourlark_version.h"
#include "app/win/tracker_context.h"
#include "kit/str_holder.h"
#include "kit/win/animated_image.h"
#include "kit/win/gradient_caption.h"
#include "kit/win/speed_button.h"
#include "lang/app_language.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"
#include "platform/wcl/win/screen.h"

const char* const HourlarkRegistryKey = "Software\\Quennix\\Hourlark";
const char* const AutoStartValueName = "Hourlark";

namespace {

TLangFormRegistrar registrar("TformOptions", [](TComponent* owner) { return new TformOptions(owner); });

const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const WebPage = "http://www.quennix.com/hourlark/";
const char* const SecondWebPage = "http://www.quennix.com/";
const char* const EmailLink = "mailto:support@quennix.com";
const char* const SoundFilter = "Wav files (*.wav)|*.wav|All files (*.*)|*.*";

enum { GeneralPage, ShedulePage, TaskListPage, AboutPage };

// The settings kept in the registry, in the order they are written.
const char* const StoredOptions =
    "cbAutoStart.Checked\r\ncbAutoStartTimer.Checked\r\ncbPauseScreenSaver.Checked\r\n"
    "cbAutoHide.Checked\r\nedSaveTime.Value\r\ncbAnimatedIcon.Checked\r\ncbRemindDone.Checked\r\n"
    "cbRemindDoneAgain.Checked\r\ncbRemindEvery.Checked\r\nedRemindDone.Value\r\n"
    "edRemindDoneAgain.Value\r\nedRemindEvery.Value\r\nedRemindEverySound.Text\r\n"
    "edRemindEveryMessage.Text\r\nedRemindDoneSound.Text\r\nedRemindDoneMessage.Text\r\n"
    "edPlayScreenSaverActivate.Text\r\ncbSpy.Checked\r\ncbShowIcons.Checked\r\n";

// The page chooser's items: caption, picture in ilTabs; item i shows page i.
struct PageItem {
  const char* caption;
  int image;
};
const PageItem PageItems[] = {{"Hourlark", 0}, {"Health Alarm", 1}, {"Task List", 3}, {"About", 2}};

// What the user typed (the reminders' messages, the sound files) stays as it is when the
// language changes.
const char* const LocalRules = "-edRemindEveryMessage\r\n-edRemindDoneMessage\r\n-edPlayScreenSaverActivate\r\n"
                               "-edRemindEverySound\r\n-edRemindDoneSound\r\n";

}  // namespace

// ---- Task grid ----------------------------------------------------------------------------

const ClassInfo* TTaskGrid::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTaskGrid>("TTaskGrid", TSortGrid::StaticClassInfo()).Build();
  return &ci;
}

void TTaskGrid::SortByColumn(int col) {
  TScopedState sorting(sorting_);
  TSortGrid::SortByColumn(col);
}

void TTaskGrid::MoveToCell(int col, int row) {
  // The sorted column would become current; the row still follows its content.
  TSortGrid::MoveToCell(sorting_ && col == 0 ? std::max(Col(), 1) : col, row);
}

void TTaskGrid::SetEditText(int col, int row, const std::string& value) {
  const bool changed = value != Cells(col, row);
  TSortGrid::SetEditText(col, row, value);
  if (changed && OnCellEdited && !IsDestroying()) OnCellEdited(this);
}

// ---- Building the dialog -----------------------------------------------------------------

const ClassInfo* TformOptions::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformOptions>("TformOptions", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformOptions::TformOptions(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formOptions");
  SetCaption("Options");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetHelpContext(22);
  SetClientWidth(679);
  SetClientHeight(388);
  SetShowHint(true);

  StatusBar = new TStatusBar(this);
  StatusBar->SetName("StatusBar");
  StatusBar->SetParent(this);
  {
    TStatusPanel* pageCaption = StatusBar->Panels()->Add();
    pageCaption->SetWidth(90);
    pageCaption->SetAlignment(taCenter);
    StatusBar->Panels()->Add()->SetWidth(50);
  }
  const int bodyHeight = ClientHeight() - StatusBar->Height();

  ilTabs = new TImageList(32, 32);
  FillPageChooserPictures(ilTabs);
  ListView = MakeControl<TListView>(this, "ListView", this, 0, 0, 91, bodyHeight);
  ListView->SetViewStyle(vsIcon);
  ListView->SetLargeImages(ilTabs);
  ListView->SetReadOnly(true);
  ListView->SetColumnClick(false);
  for (const PageItem& entry : PageItems) {
    TListItem* item = ListView->Items()->Add();
    item->SetCaption(entry.caption);
    item->SetImageIndex(entry.image);
  }

  Panel1 = MakeControl<TPanel>(this, "Panel1", this, ClientWidth() - 88, 0, 88, bodyHeight);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetCaption("");
  btOK = MakeControl<TButton>(this, "btOK", Panel1, 6, 8, 75, 25);
  btOK->SetCaption("OK");
  btOK->SetDefault(true);
  btOK->SetModalResult(mrOk);
  btCancel = MakeControl<TButton>(this, "btCancel", Panel1, 6, 40, 75, 25);
  btCancel->SetCaption("Cancel");
  btCancel->SetCancel(true);
  btCancel->SetModalResult(mrCancel);
  btApply = MakeControl<TButton>(this, "btApply", Panel1, 6, 72, 75, 25);
  btApply->SetCaption("Apply");
  MediaPlayer = MakeControl<TMediaPlayer>(this, "MediaPlayer", Panel1, 6, 104, 57, 30);
  MediaPlayer->SetVisibleButtons(mpbPlay | mpbStop);
  MediaPlayer->SetAutoEnable(false);
  MediaPlayer->SetVisible(false);

  Notebook = MakeControl<TPanel>(this, "Notebook", this, 91, 0, ClientWidth() - 91 - 88, bodyHeight);
  Notebook->SetBevelOuter(bvNone);
  Notebook->SetCaption("");
  BuildGeneralPage(AddPage("General"));
  BuildShedulePage(AddPage("Shedule"));
  BuildTaskPage(AddPage("TaskList"));
  BuildAboutPage(AddPage("About"));
  // Tab goes from left to right: the page chooser, the page, the buttons.
  Notebook->SetTabOrder(ListView->TabOrder() + 1);

  // The group tree drops over everything else: made last, it lies on top.
  GroupList = new TQComboTreeView(this);
  GroupList->SetName("GroupList");
  GroupList->SetParent(pages_[TaskListPage]);
  GroupList->SetBounds(0, 0, 150, 160);
  GroupList->SetReadOnly(true);
  GroupList->SetShowRoot(false);
  GroupList->SetShowLines(false);
  GroupList->SetShowButtons(false);
  GroupList->SetComboEdit(cbSelectGroup);
  for (const TaskGroupNode& node : BuiltInGroupNodes()) {
    TTreeNode* added = GroupList->Items()->Add(nullptr, node.name);
    added->SetImageIndex(node.group);
    added->SetSelectedIndex(node.group);
  }
  GroupList->OnChange = [this](TObject* s, TTreeNode* n) { QComboTreeViewChange(s, n); };
  GroupList->OnPopup = [this](TObject* s) { GroupListPopup(s); };

  KitGradientCaption = new TKitGradientCaption(this);
  KitGradientCaption->SetName("KitGradientCaption");
  TKitCaption* title = KitGradientCaption->Captions()->Add();
  title->SetCaption(MessageText(101, "Options"));
  // The title stands out in red and bold over either end of the gradient, whatever colour
  // the system gives caption texts.
  title->Font()->SetColor(clRed);
  title->Font()->SetStyle(fsBold);
  KitGradientCaption->Captions()->Add()->SetCaption("");

  FormStorage = new TFormStorage(this);
  FormStorage->SetName("FormStorage");
  FormStorage->SetUseRegistry(true);
  FormStorage->SetIniFileName(HourlarkRegistryKey);
  FormStorage->SetIniSection("Options");
  FormStorage->SetOptions(0);
  FormStorage->SetActive(false);
  {
    TStringList props;
    props.SetText(StoredOptions);
    FormStorage->SetStoredProps(&props);
  }
  FormStorage->OnSavePlacement = [this](TObject* s) { FormStorageSavePlacement(s); };

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  {
    TStringList rules;
    rules.SetText(LocalRules);
    LingroveLang1->SetLocalRules(&rules);
  }

  ListView->OnSelectItem = [this](TObject* s, TListItem* i, bool selected) { ListViewSelectItem(s, i, selected); };
  btApply->OnClick = [this](TObject* s) { btApplyClick(s); };
  btOK->OnClick = [this](TObject* s) { btOKClick(s); };
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
  BindChanges();
  // After a translation the texts set at run time are set again, then everything is laid out
  // to hold the new texts.
  LingroveLang1->AfterTrans = [this](TObject*, const std::string&) {
    ShowRunTimeTexts();
    ArrangeTexts();
  };
  LoadedAll(this);
  ArrangeTexts();
  DoCreate();
}

TformOptions::~TformOptions() {
  if (hintHandlerSet_ && Application != nullptr) Application->OnHint = nullptr;
  // The image lists are not the controls' to outlive: the icon holder may go first.
  ListView->SetLargeImages(nullptr);
  lvGroupList->SetSmallImages(nullptr);
  GroupList->SetImages(nullptr);
  delete ilTabs;
}

TPanel* TformOptions::AddPage(const char* name) {
  auto* page = MakeControl<TPanel>(this, name, Notebook, 0, 0, Notebook->Width(), Notebook->Height());
  page->SetBevelOuter(bvNone);
  page->SetCaption("");
  page->SetVisible(pages_.empty());
  pages_.push_back(page);
  return page;
}

TGroupBox* TformOptions::AddGroupBox(TWinControl* page, const char* name, const char* caption) {
  auto* box = MakeControl<TGroupBox>(this, name, page, 8, 4, page->Width() - 16, page->Height() - 12);
  box->SetCaption(caption);
  return box;
}

TCheckBox* TformOptions::AddCheck(TWinControl* parent, const char* name, const char* caption, int left, int top,
                                  int width, bool checked) {
  auto* box = MakeControl<TCheckBox>(this, name, parent, left, top, width, 18);
  box->SetCaption(caption);
  box->SetChecked(checked);
  return box;
}

TKitSpinEdit* TformOptions::AddSpin(TWinControl* parent, const char* name, int left, int top, int minValue,
                                    int maxValue, int increment, int value) {
  auto* edit = MakeControl<TKitSpinEdit>(this, name, parent, left, top, 56, 21);
  edit->SetMinValue(minValue);
  edit->SetMaxValue(maxValue);
  edit->SetIncrement(increment);
  edit->SetValue(value);
  return edit;
}

void TformOptions::AddSoundRow(TWinControl* parent, const char* labelName, const char* caption, const char* editName,
                               const char* playName, const char* stopName, int top, SoundRow row) {
  TLabel* label = AddLabel(parent, labelName, caption, 32, top + 4);
  *row.edit = MakeControl<TFilenameEdit>(this, editName, parent, 130, top, 250, 21);
  (*row.edit)->SetDefaultExt("wav");
  (*row.edit)->SetFilter(SoundFilter);
  (*row.edit)->SetButtonHint("Find file...");
  (*row.edit)->SetText("");
  for (bool play : {true, false}) {
    auto* button = MakeControl<TKitSpeedButton>(this, play ? playName : stopName, parent, play ? 384 : 408, top, 22, 21);
    button->SetFlat(true);
    TBitmap glyph;
    DrawSoundGlyph(&glyph, play);
    button->SetGlyph(&glyph);
    button->SetHint(play ? "Play" : "Stop");
    button->SetShowHint(true);
    if (play)
      button->OnClick = [this](TObject* s) { btPlayClick(s); };
    else
      button->OnClick = [this](TObject* s) { btStopClick(s); };
    *(play ? row.play : row.stop) = button;
  }
  rows_.push_back({label, *row.edit, *row.play, *row.stop});
}

TEdit* TformOptions::AddMessageRow(TWinControl* parent, const char* editName, const char* text, int top) {
  TLabel* label = AddLabel(parent, (std::string("l") + (editName + 2)).c_str(), "Warning", 32, top + 4);
  auto* edit = MakeControl<TEdit>(this, editName, parent, 130, top, 280, 21);
  rows_.push_back({label, edit});
  edit->SetText(text);
  return edit;
}

TLabel* TformOptions::AddLabel(TWinControl* parent, const char* name, const char* caption, int left, int top) {
  auto* label = MakeControl<TLabel>(this, name, parent, left, top, 0, 0);
  label->SetCaption(caption);
  return label;
}

TLabel* TformOptions::AddLink(TWinControl* parent, const char* name, int left, int top) {
  auto* label = AddLabel(parent, name, "", left, top);
  label->Font()->SetColor(clBlue);
  label->Font()->SetStyle(fsUnderline);
  label->SetCursor(crHandPoint);
  label->OnClick = [this](TObject* s) { lUrlClick(s); };
  return label;
}

void TformOptions::BuildGeneralPage(TPanel* page) {
  TGroupBox* box = AddGroupBox(page, "gbHourlark", "Hourlark");
  cbAutoStart = AddCheck(box, "cbAutoStart", "Start Hourlark automatically", 14, 24, 300, true);
  cbAutoStartTimer = AddCheck(box, "cbAutoStartTimer", "Start counting time automatically ", 14, 46, 300, false);
  cbAutoHide = AddCheck(box, "cbAutoHide", "Hide Hourlark when counting is started", 14, 68, 300, true);
  cbPauseScreenSaver = AddCheck(box, "cbPauseScreenSaver", "Pause when screen saver runs", 14, 90, 300, true);
  AddSoundRow(box, "lPlayOnPausing", "Play on pausing", "edPlayScreenSaverActivate", "btPlayScreenSaver",
              "SpeedButton2", 112, {&edPlayScreenSaverActivate, &btPlayScreenSaver, &SpeedButton2});
  TLabel* saveTime = AddLabel(box, "lSaveTime", "Auto save statistic every", 14, 148);
  edSaveTime = AddSpin(box, "edSaveTime", 170, 144, 1, 10000, 1, 5);
  rows_.push_back({saveTime, edSaveTime, AddLabel(box, "lSaveTimeMin", "Min", 232, 148)});
  cbShowIcons = AddCheck(box, "cbShowIcons", "Show in statistics icons from applications", 14, 178, 330, true);
  cbAnimatedIcon = AddCheck(box, "cbAnimatedIcon", "Animated icon in task bar", 14, 200, 170, true);
  cbSpy = AddCheck(box, "cbSpy", "SPY mode", 14, 222, 200, true);
  cbSpy->SetVisible(false);

  // The tray icon as it will look: the turning clock or the still one, on the same spot.
  TBitmap clock;
  LoadAppPicture(&clock, kPictureTrayClock);
  imAnimIcon = MakeControl<TAnimatedImage>(this, "imAnimIcon", box, 190, 201, 16, 16);
  {
    // The strip's cells after the first are the animation's eight frames.
    TBitmap frames;
    frames.SetSize(clock.Width() - clock.Height(), clock.Height());
    frames.Canvas()->CopyRect({0, 0, frames.Width(), frames.Height()}, clock.Canvas(),
                              {clock.Height(), 0, clock.Width(), clock.Height()});
    imAnimIcon->SetGlyph(&frames);
  }
  imAnimIcon->SetInterval(500);
  imAnimIcon->SetActive(true);
  imIcon = MakeControl<TImage>(this, "imIcon", box, 190, 201, 16, 16);
  {
    TBitmap* still = imIcon->Picture()->Bitmap();
    still->SetSize(clock.Height(), clock.Height());
    still->Canvas()->CopyRect({0, 0, still->Width(), still->Height()}, clock.Canvas(),
                              {0, 0, clock.Height(), clock.Height()});
  }
  imIcon->SetTransparent(true);
  imIcon->SetVisible(false);
  rows_.push_back({cbAnimatedIcon, imAnimIcon});
  rows_.push_back({cbAnimatedIcon, imIcon});
}

void TformOptions::BuildShedulePage(TPanel* page) {
  TGroupBox* box = AddGroupBox(page, "gbBreaks", "Breaks");
  cbRemindEvery = AddCheck(box, "cbRemindEvery", "Remind me to break every", 14, 24, 220, true);
  edRemindEvery = AddSpin(box, "edRemindEvery", 240, 22, 1, 600, 5, 30);
  rows_.push_back({cbRemindEvery, edRemindEvery, AddLabel(box, "lRemindEveryMinutes", "minutes", 302, 26)});
  edRemindEveryMessage = AddMessageRow(box, "edRemindEveryMessage", "Take a break for 5 minutes", 48);
  AddSoundRow(box, "lRemindEverySound", "Play sound", "edRemindEverySound", "btPlay", "btStop", 74,
              {&edRemindEverySound, &btPlay, &btStop});

  cbRemindDone = AddCheck(box, "cbRemindDone", "Remind me not to work more than", 14, 120, 220, true);
  edRemindDone = AddSpin(box, "edRemindDone", 240, 118, 1, 24, 1, 6);
  rows_.push_back({cbRemindDone, edRemindDone, AddLabel(box, "lRemindDoneHours", "hours per day", 302, 122)});
  cbRemindDoneAgain = AddCheck(box, "cbRemindDoneAgain", "If more, display warning every", 32, 146, 202, false);
  edRemindDoneAgain = AddSpin(box, "edRemindDoneAgain", 240, 144, 1, 600, 1, 10);
  rows_.push_back(
      {cbRemindDoneAgain, edRemindDoneAgain, AddLabel(box, "lRemindDoneAgainMinutes", "minutes", 302, 148)});
  edRemindDoneMessage = AddMessageRow(box, "edRemindDoneMessage", "You have worked enough. Take a rest for today", 172);
  AddSoundRow(box, "lRemindDoneSound", "Play sound", "edRemindDoneSound", "btPlay1", "btStop1", 198,
              {&edRemindDoneSound, &btPlay1, &btStop1});
  // The reminders' controls follow their check boxes from the start.
  edRemindDoneAgain->SetEnabled(false);
}

void TformOptions::BuildTaskPage(TPanel* page) {
  const int width = page->Width() - 16;
  grTasks = MakeControl<TTaskGrid>(this, "grTasks", page, 8, 8, width, 250);
  grTasks->SetColCount(3);
  grTasks->SetRowCount(2);
  grTasks->SetFixedRows(1);
  grTasks->SetFixedCols(0);
  grTasks->SetDefaultRowHeight(18);
  grTasks->SetColWidths(0, 34);
  grTasks->SetColWidths(1, 267);
  grTasks->SetColWidths(2, 158);
  grTasks->SetOptions(GridOpt(goFixedVertLine) | GridOpt(goFixedHorzLine) | GridOpt(goVertLine) |
                      GridOpt(goHorzLine) | GridOpt(goColSizing) | GridOpt(goEditing) |
                      GridOpt(goAlwaysShowEditor) | GridOpt(goThumbTracking));
  grTasks->SortOptions()->SetSortStyle(ssExtended);
  grTasks->SortOptions()->SetSortCaseSensitive(false);
  grTasks->SortOptions()->SetSortDirection(sdAscending);
  grTasks->OnDrawCell = [this](TObject* s, int c, int r, const RECT& rect, TGridDrawState state) {
    grTasksDrawCell(s, c, r, rect, state);
  };
  grTasks->OnSelectCell = [this](TObject* s, int c, int r, bool& can) { grTasksSelectCell(s, c, r, can); };
  grTasks->OnCellEdited = [this](TObject* s) { grTasksCellEdited(s); };

  cbSelectGroup = MakeControl<TComboEdit>(this, "cbSelectGroup", page, 8, 8, 17, 18);
  cbSelectGroup->SetBorderStyle(bsNone);
  cbSelectGroup->SetGlyphKind(gkDropDown);
  cbSelectGroup->SetDirectInput(false);
  cbSelectGroup->SetVisible(false);

  lvGroupList = MakeControl<TListView>(this, "lvGroupList", page, 8, 266, width - 90, page->Height() - 274);
  lvGroupList->SetViewStyle(vsList);
  lvGroupList->SetCheckboxes(true);
  lvGroupList->SetReadOnly(true);
  lvGroupList->OnChange = [this](TObject* s, TListItem* i, TItemChange c) { lvGroupListChange(s, i, c); };
  btEditGroupList = MakeControl<TButton>(this, "btEditGroupList", page, width - 75 + 8, 266, 75, 25);
  btEditGroupList->SetCaption("Edit");
  btEditGroupList->OnClick = [this](TObject* s) { btEditGroupListClick(s); };
}

void TformOptions::BuildAboutPage(TPanel* page) {
  imLogo = MakeControl<TImage>(this, "imLogo", page, 8, 8, page->Width() - 16, 48);
  DrawAboutLogo(imLogo->Picture()->Bitmap(), imLogo->Width(), imLogo->Height());
  auto* about = MakeControl<TGroupBox>(this, "gbAbout", page, 8, 62, page->Width() - 16, 46);
  about->SetCaption("About");
  lVersion = AddLabel(about, "lVersion", "", 14, 20);

  auto* write = MakeControl<TGroupBox>(this, "gbWriteUs", page, 8, 114, page->Width() - 16, 132);
  write->SetCaption("Write us!");
  AddLabel(write, "lQuestions", "Questions, wishes are welcome", 14, 20);
  AddLabel(write, "lMoreInfo", "For more information about this and other tools, visit our home page", 14, 60);
  TBitmap globe;
  LoadAppPicture(&globe, kPictureLingroveAnim);
  auto linkPicture = [this, write, &globe](const char* name, int top) {
    auto* picture = MakeControl<TAnimatedImage>(this, name, write, 14, top, 16, 16);
    picture->SetGlyph(&globe);
    picture->SetInterval(120);
    picture->SetActive(true);
    return picture;
  };
  linkPicture("imEmail", 36);
  lEmail = AddLink(write, "lEmail", 36, 38);
  linkPicture("imUrl", 78);
  lUrl = AddLink(write, "lUrl", 36, 80);
  TAnimatedImage* urlPicture2 = linkPicture("imUrl2", 100);
  lUrl2 = AddLink(write, "lUrl2", 36, 102);
  urlPicture2->SetVisible(false);
  lUrl2->SetVisible(false);

  auto* thanks = MakeControl<TGroupBox>(this, "gbThanks", page, 8, 252, page->Width() - 16, 56);
  thanks->SetCaption("Thanks to:");
  lLingroveThanks = AddLabel(thanks, "lLingroveThanks", "Multi language support", 14, 26);
  btLingroveInfo = MakeControl<TButton>(this, "btLingroveInfo", thanks, thanks->Width() - 89, 20, 75, 25);
  btLingroveInfo->SetCaption("Info");
  btLingroveInfo->OnClick = [this](TObject* s) { btLingroveInfoClick(s); };
  rows_.push_back({lLingroveThanks, btLingroveInfo});
}

void TformOptions::ArrangeTexts() {
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + ScaleValue(8);
  for (int i = 0; i < ComponentCount(); ++i) {
    if (auto* check = dynamic_cast<TCheckBox*>(Components(i))) {
      const int need = CaptionWidth(check->Font(), check->Caption()) + box;
      if (check->Width() < need) check->SetWidth(need);
    }
  }
  for (const std::vector<TControl*>& row : rows_) KeepApart(row, ScaleValue(4));
  // The pages (and the window) grow wider where a line came out longer than its group.
  int extra = 0;
  for (TPanel* page : pages_) {
    for (int i = 0; i < page->ControlCount(); ++i) {
      auto* group = dynamic_cast<TGroupBox*>(page->Controls(i));
      if (group == nullptr) continue;
      for (int j = 0; j < group->ControlCount(); ++j) {
        TControl* control = group->Controls(j);
        if (control->Left() >= 0)
          extra = std::max(extra, control->Left() + control->Width() + ScaleValue(8) - group->ClientWidth());
      }
    }
  }
  if (extra > 0) {
    SetClientWidth(ClientWidth() + extra);
    Notebook->SetWidth(Notebook->Width() + extra);
    Panel1->SetLeft(Panel1->Left() + extra);
    for (TPanel* page : pages_) {
      page->SetWidth(page->Width() + extra);
      for (int i = 0; i < page->ControlCount(); ++i)
        if (dynamic_cast<TGroupBox*>(page->Controls(i)) != nullptr || page->Controls(i) == imLogo)
          page->Controls(i)->SetWidth(page->Controls(i)->Width() + extra);
    }
    btLingroveInfo->SetLeft(btLingroveInfo->Left() + extra);
  }
  // The buttons at the right grow for a longer caption, the window with them.
  int wider = 0;
  for (TControl* button : {btOK, btCancel, btApply}) wider = std::max(wider, CaptionShortfall(button, ScaleValue(12)));
  if (wider > 0) {
    SetClientWidth(ClientWidth() + wider);
    Panel1->SetWidth(Panel1->Width() + wider);
    for (TControl* button : {btOK, btCancel, btApply}) button->SetWidth(button->Width() + wider);
  }
  // The banner stands for the whole control's face: drawn at the size the control came to.
  DrawAboutLogo(imLogo->Picture()->Bitmap(), imLogo->Width(), imLogo->Height());
  // The status bar's first panel holds the name of any page.
  int names = StatusBar->Panels()->Items(0)->Width();
  for (int i = 0; i < ListView->Items()->Count(); ++i)
    names = std::max(names, CaptionWidth(StatusBar->Font(), ListView->Items()->Items(i)->Caption()) + ScaleValue(10));
  StatusBar->Panels()->Items(0)->SetWidth(names);
}

void TformOptions::BindChanges() {
  const TNotifyEvent changed = [this](TObject* sender) { cbAutoHideClick(sender); };
  for (TCheckBox* box : {cbAutoStart, cbAutoStartTimer, cbAutoHide, cbPauseScreenSaver, cbShowIcons, cbSpy,
                         cbRemindEvery, cbRemindDone, cbRemindDoneAgain})
    box->OnClick = changed;
  cbAnimatedIcon->OnClick = [this](TObject* s) { cbAnimatedIconClick(s); };
  for (TKitSpinEdit* spin : {edSaveTime, edRemindEvery, edRemindDone, edRemindDoneAgain}) spin->OnChange = changed;
  for (TFilenameEdit* edit : {edPlayScreenSaverActivate, edRemindEverySound, edRemindDoneSound})
    edit->OnChange = changed;
  edRemindEveryMessage->OnChange = changed;
  edRemindDoneMessage->OnChange = changed;
}

std::string TformOptions::MessageText(int number, const char* base) const {
  try {
    const std::string text = GetLangString(static_cast<uint16_t>(number));
    if (!text.empty() && text != kUndefinedLangString) return text;
  } catch (...) {
    // No language file to ask: the base text stands.
  }
  return base;
}

// ---- Showing and activation ---------------------------------------------------------------

void TformOptions::FormCreate(TObject*) {
  TaskPageFlag = false;
  try {
    LingroveLang1->SetLangDir(ExtractFilePath(Application->ExeName()));
  } catch (...) {
    // Without a readable language file the dialog's own texts stand.
  }
  LoadGroups();
}

TModalResult TformOptions::ShowModal() {
  if (Visible()) {
    BringToFront();
    return mrNone;
  }
  return TForm::ShowModal();
}

void TformOptions::SetPageIndex(int value) {
  if (value < 0 || value >= static_cast<int>(pages_.size())) return;
  pages_[value]->SetVisible(true);
  for (size_t i = 0; i < pages_.size(); ++i)
    if (static_cast<int>(i) != value) pages_[i]->SetVisible(false);
  pageIndex_ = value;
}

void TformOptions::FormShow(TObject*) {
  freshShow_ = true;
  const int page = TaskPageFlag ? TaskListPage : GeneralPage;
  SetPageIndex(page);
  ListView->SetSelected(ListView->Items()->Items(page));
  ListViewSelectItem(ListView, ListView->Items()->Items(page), true);
  if (formGlobal != nullptr) {
    if (formGlobal->ilGroups->Count() == 0) FillGroupPictures(formGlobal->ilGroups);
    GroupList->SetImages(formGlobal->ilGroups);
  }
  FillGroupList();
  if (cbShowIcons->Checked() && formGlobal != nullptr) formGlobal->StartIconLoader();
}

void TformOptions::FormActivate(TObject*) {
  // The grid is refilled from the task list and Apply starts disabled at the first
  // activation of each showing, and later whenever nothing is pending. Changes not applied
  // yet stay as they are when the dialog only comes back to the front (after another
  // program, a message box or the language-support box): refilling then would drop them.
  const bool keepPending = btApply->Enabled() && !freshShow_;
  freshShow_ = false;
  if (!keepPending) {
    // The dialog is drawn before a long task list goes into the grid, rather than standing
    // there undrawn until it is in.
    if (HandleAllocated() && IsWindowVisible(Handle()))
      RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HourGlass hourGlass;
    grTasks->SetCol(1);
    HideGroupPicker();
    RefillTaskGrid(2);
    btApply->SetEnabled(false);
  }
  Application->OnHint = [this](TObject* s) { OptionsHintHandler(s); };
  hintHandlerSet_ = true;
  lUrl->SetCaption(WebPage);
  lUrl2->SetCaption(SecondWebPage);
  lEmail->SetCaption(EmailLink);
  imAnimIcon->SetVisible(cbAnimatedIcon->Checked());
  imIcon->SetVisible(!cbAnimatedIcon->Checked());
  ShowRunTimeTexts();
}

void TformOptions::ShowRunTimeTexts() {
  lVersion->SetCaption(MessageText(100, "Version") + ": " + HourlarkVersion);
  KitGradientCaption->Captions()->GetItem(0)->SetCaption(MessageText(101, "Options"));
  if (pageIndex_ >= 0 && pageIndex_ < ListView->Items()->Count())
    StatusBar->Panels()->Items(0)->SetText(ListView->Items()->Items(pageIndex_)->Caption());
  grTasks->SetCells(0, 0, MessageText(102, "Group"));
  grTasks->SetCells(1, 0, MessageText(103, "Program"));
  grTasks->SetCells(2, 0, MessageText(104, "Description"));
}

void TformOptions::FormDeactivate(TObject*) {
  Application->OnHint = nullptr;
  hintHandlerSet_ = false;
}

void TformOptions::OptionsHintHandler(TObject*) { StatusBar->Panels()->Items(1)->SetText(Application->Hint()); }

void TformOptions::ListViewSelectItem(TObject*, TListItem* item, bool selected) {
  if (!selected || item == nullptr) return;
  SetPageIndex(item->Index());
  StatusBar->Panels()->Items(0)->SetText(item->Caption());
}

// ---- Settings -----------------------------------------------------------------------------

void TformOptions::cbAutoHideClick(TObject*) {
  btApply->SetEnabled(true);
  const bool every = cbRemindEvery->Checked();
  edRemindEvery->SetEnabled(every);
  edRemindEveryMessage->SetEnabled(every);
  edRemindEverySound->SetEnabled(every);
  btPlay->SetEnabled(every);
  btStop->SetEnabled(every);
  const bool done = cbRemindDone->Checked();
  edRemindDone->SetEnabled(done);
  btPlay1->SetEnabled(done);
  btStop1->SetEnabled(done);
  cbRemindDoneAgain->SetEnabled(done);
  edRemindDoneMessage->SetEnabled(done);
  edRemindDoneSound->SetEnabled(done);
  edRemindDoneAgain->SetEnabled(done && cbRemindDoneAgain->Checked());
}

void TformOptions::cbAnimatedIconClick(TObject* sender) {
  cbAutoHideClick(sender);
  imAnimIcon->SetGlyphNum(0);
  imAnimIcon->SetVisible(cbAnimatedIcon->Checked());
  imIcon->SetVisible(!cbAnimatedIcon->Checked());
}

void TformOptions::btApplyClick(TObject*) {
  grTasks->Modified = false;
  SaveTaskGrid();
  AppliedFlag = true;
  if (OnApplied) OnApplied(this);
  // A number typed out of range is stored, and shown, as the nearest allowed one.
  for (TKitSpinEdit* spin : {edSaveTime, edRemindEvery, edRemindDone, edRemindDoneAgain})
    spin->SetValue(spin->Value());
  FormStorage->SaveToStore();
  if (!cbShowIcons->Checked() && formGlobal != nullptr) formGlobal->ClearIcons();
  const bool applyFocused = btApply->HandleAllocated() && GetFocus() == btApply->Handle();
  btApply->SetEnabled(false);
  // The button clicked is disabled now: on the task page the focus goes back to the grid,
  // whose current cell then shows.
  if (applyFocused || (GetFocus() == nullptr && Active())) FocusTaskGrid();
}

void TformOptions::FocusTaskGrid() {
  if (pageIndex_ == TaskListPage && grTasks->HandleAllocated() && IsWindowVisible(grTasks->Handle()) &&
      grTasks->CanFocus())
    grTasks->SetFocus();
}

void TformOptions::btOKClick(TObject*) {
  if (btApply->Enabled()) btApply->Click();
}

void TformOptions::FormStorageSavePlacement(TObject*) {
  TRegistry registry;
  if (!registry.OpenKey(RunKey, true)) return;
  if (cbAutoStart->Checked())
    // Quoted: a path with blanks must not be read as a program and its arguments.
    registry.WriteString(AutoStartValueName, "\"" + Application->ExeName() + "\"");
  else
    registry.DeleteValue(AutoStartValueName);
}

ReminderSettings TformOptions::Reminders() const {
  ReminderSettings settings;
  settings.RemindEvery = cbRemindEvery->Checked();
  settings.EveryMinutes = static_cast<int>(edRemindEvery->Value());
  settings.EverySound = edRemindEverySound->Text();
  settings.EveryMessage = edRemindEveryMessage->Text();
  settings.RemindDone = cbRemindDone->Checked();
  settings.DoneHours = static_cast<int>(edRemindDone->Value());
  settings.RemindDoneAgain = cbRemindDoneAgain->Checked();
  settings.DoneAgainMinutes = static_cast<int>(edRemindDoneAgain->Value());
  settings.DoneSound = edRemindDoneSound->Text();
  settings.DoneMessage = edRemindDoneMessage->Text();
  return settings;
}

// ---- Sounds, links, language support ------------------------------------------------------

void TformOptions::PlaySoundFile(const std::string& fileName) {
  std::string name = fileName;
  if (!name.empty() && name.front() == '"') name.erase(0, 1);
  if (!name.empty() && name.back() == '"') name.pop_back();
  if (name.empty() || !FileExists(name)) return;
  // A file the player cannot open or play raises the player's error to the caller.
  MediaPlayer->SetFileName(name);
  MediaPlayer->Open();
  MediaPlayer->Play();
}

void TformOptions::btPlayClick(TObject* sender) {
  if (sender == btPlayScreenSaver) PlaySoundFile(edPlayScreenSaverActivate->Text());
  if (sender == btPlay) PlaySoundFile(edRemindEverySound->Text());
  if (sender == btPlay1) PlaySoundFile(edRemindDoneSound->Text());
}

void TformOptions::btStopClick(TObject*) {
  // Only a sound that was opened is stopped and closed: Stop before any sound, a second
  // Stop, or Stop after a file that could not be opened does nothing.
  if (MediaPlayer->FileName().empty() || MediaPlayer->DeviceID() == 0) return;
  MediaPlayer->Stop();
  MediaPlayer->Close();
}

void TformOptions::lUrlClick(TObject* sender) {
  if (auto* label = dynamic_cast<TLabel*>(sender)) EdgeShellExecute("", label->Caption(), "", "", SW_SHOWNORMAL);
}

void TformOptions::btLingroveInfoClick(TObject*) {
  std::unique_ptr<TformLingroveInfo> info(new TformLingroveInfo(this));
  info->ShowModal();
}

// ---- Groups -------------------------------------------------------------------------------

TStrHolder* TformOptions::TaskList() const { return context_ != nullptr ? context_->TaskList : nullptr; }

std::string TformOptions::DataDir() const {
  if (context_ != nullptr && !context_->DataDir.empty()) return context_->DataDir;
  return ExtractFilePath(Application->ExeName());
}

std::vector<TaskGroupNode> TformOptions::GroupNodes() const {
  std::vector<TaskGroupNode> nodes;
  for (int i = 0; i < GroupList->Items()->TopCount(); ++i) {
    const TTreeNode* node = GroupList->Items()->TopItem(i);
    nodes.push_back({node->Text(), node->ImageIndex()});
  }
  return nodes;
}

std::string TformOptions::GroupName(int group) const { return GroupNodeName(GroupNodes(), group); }

void TformOptions::LoadGroups() {
  std::vector<std::string> lines;
  if (!ReadGroupFile(DataDir() + GroupListFileName, lines)) return;
  std::vector<TaskGroupNode> nodes = GroupNodes();
  const size_t first = nodes.size();
  AddCustomGroups(nodes, lines);
  for (size_t i = first; i < nodes.size(); ++i) {
    TTreeNode* node = GroupList->Items()->Add(nullptr, nodes[i].name);
    node->SetImageIndex(nodes[i].group);
    node->SetSelectedIndex(nodes[i].group);
  }
}

void TformOptions::FillGroupList() {
  {
    TScopedState filling(fillingGroups_);
    lvGroupList->SetSmallImages(formGlobal != nullptr ? formGlobal->ilGroups : nullptr);
    lvGroupList->Items()->Clear();
    for (const TaskGroupNode& node : GroupNodes()) {
      TListItem* item = lvGroupList->Items()->Add();
      item->SetCaption(node.name);
      item->SetImageIndex(node.group);
      item->SetChecked(true);
    }
  }
  groupMask_ = GetCheckedGroupMask();
}

uint32_t TformOptions::GetCheckedGroupMask() const {
  std::vector<bool> checked;
  for (int i = 0; i < lvGroupList->Items()->Count(); ++i) checked.push_back(lvGroupList->Items()->Items(i)->Checked());
  return CheckedGroupMask(checked);
}

void TformOptions::lvGroupListChange(TObject*, TListItem*, TItemChange) {
  if (fillingGroups_) return;
  const uint32_t mask = GetCheckedGroupMask();
  if (mask == groupMask_) return;
  groupMask_ = mask;
  // The check box shows its new state while the grid is refilled.
  lvGroupList->Update();
  HourGlass hourGlass;
  // Pending grid edits are saved before the grid is rebuilt.
  btApply->Click();
  RefillTaskGrid(grTasks->SortOptions()->SortCol());
}

void TformOptions::btEditGroupListClick(TObject*) {
  if (formEdit == nullptr) return;
  // Coming back from the editor activates this dialog again, which refills the grid and
  // forgets what was not applied: pending changes are applied first.
  if (btApply->Enabled()) btApply->Click();
  const std::string path = DataDir() + GroupListFileName;
  // A file that is there but cannot be read (held by another program, no right to read it)
  // is said, and the editor starts empty: OK then writes only what the user typed, never
  // an old text over groups nobody saw.
  bool read = true;
  if (!FileExists(path) && !DirectoryExists(path)) {
    formEdit->Memo1->Lines()->Clear();  // no custom groups yet
  } else {
    try {
      formEdit->Memo1->Lines()->LoadFromFile(path);
    } catch (const std::exception& e) {
      read = false;
      formEdit->Memo1->Lines()->Clear();
      Application->MessageBox("The custom groups could not be read from " + path + ":\n" + e.what() +
                                  "\n\nThe file is written only if you change the groups in the editor.",
                              HourlarkCaption, MB_OK | MB_ICONERROR);
    }
  }
  const std::string shown = formEdit->Memo1->Text();
  if (formEdit->ShowModal() != mrOk) return;
  if (!read && formEdit->Memo1->Text() == shown) return;
  formEdit->Memo1->Lines()->SaveToFile(path);
  while (GroupList->Items()->TopCount() > BuiltInGroupCount)
    GroupList->Items()->Delete(GroupList->Items()->TopItem(GroupList->Items()->TopCount() - 1));
  LoadGroups();
  FillGroupList();
  // Every group is listed again, so the grid lists every task again, in its sort order,
  // from its first row, which is current.
  RefillTaskGrid(grTasks->SortOptions()->SortCol());
  FocusTaskGrid();
}

// ---- Task grid ----------------------------------------------------------------------------

void TformOptions::HideGroupPicker() {
  cbSelectGroup->SetVisible(false);
  GroupList->SetVisible(false);
  pickerRow_ = 0;
}

// Each grid row carries the task-list line it was made from in a cell behind the last
// column: the grid never shows it, and it moves with its row when the grid sorts, so Apply
// writes an edit onto that very line and leaves the lines of unchanged rows as they are.
// Apply sets it to the line as written.
constexpr int OriginLineCol = 3;

void TformOptions::FillTaskGrid() {
  // A picker left open would write into whatever row now stands where its row was.
  HideGroupPicker();
  std::vector<int> hiddenGroups;
  for (int i = 0; i < lvGroupList->Items()->Count(); ++i) {
    const TListItem* item = lvGroupList->Items()->Items(i);
    if (!item->Checked()) hiddenGroups.push_back(item->ImageIndex());
  }
  std::vector<TaskGridRow> rows;
  if (TStrHolder* list = TaskList()) rows = TaskGridRows(*list->Strings(), hiddenGroups);
  grTasks->SetRowCount(static_cast<int>(std::max<size_t>(rows.size(), 1)) + 1);
  grTasks->SetCells(0, 0, MessageText(102, "Group"));
  grTasks->SetCells(1, 0, MessageText(103, "Program"));
  grTasks->SetCells(2, 0, MessageText(104, "Description"));
  for (int col = 0; col <= OriginLineCol; ++col) grTasks->SetCells(col, 1, "");
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    grTasks->SetCells(0, row, rows[i].group);
    grTasks->SetCells(1, row, rows[i].path);
    grTasks->SetCells(2, row, rows[i].description);
    grTasks->SetCells(OriginLineCol, row, rows[i].line);
  }
}

void TformOptions::RefillTaskGrid(int sortCol) {
  FillTaskGrid();
  grTasks->SortByColumn(sortCol);
  // The row that was current before moved with its content to wherever it sorts now, and the
  // grid would scroll there; a list built anew starts at its top. The group column cannot
  // be current (choosing it opens the picker).
  grTasks->MoveToCell(std::max(grTasks->Col(), 1), 1);
}

void TformOptions::SaveTaskGrid() {
  TStrHolder* list = TaskList();
  if (list == nullptr) return;
  std::vector<TaskGridRow> rows;
  for (int row = 1; row < grTasks->RowCount(); ++row)
    rows.push_back(
        {grTasks->Cells(0, row), grTasks->Cells(1, row), grTasks->Cells(2, row), grTasks->Cells(OriginLineCol, row)});
  // The rows that wrote point at their lines as now written (and show what was stored): a
  // later Apply, OK or filter click in this dialog writes onto them again, not onto a line
  // that once read the same.
  const bool replaced = StoreTaskGridRows(*list->Strings(), rows) > 0;
  for (int row = 1; replaced && row < grTasks->RowCount(); ++row) {
    const TaskGridRow& stored = rows[static_cast<size_t>(row - 1)];
    if (grTasks->Cells(OriginLineCol, row) == stored.line) continue;
    grTasks->SetCells(0, row, stored.group);
    grTasks->SetCells(1, row, stored.path);
    grTasks->SetCells(2, row, stored.description);
    grTasks->SetCells(OriginLineCol, row, stored.line);
  }
  list->Strings()->SaveToFile(DataDir() + TaskFileName);
  SetBlockedList(BuildBlockedList(*list->Strings()));
}

void TformOptions::grTasksDrawCell(TObject*, int col, int row, const RECT& rect, TGridDrawState state) {
  if (row < grTasks->FixedRows()) return;
  TCanvas* canvas = grTasks->Canvas();
  if (col == 0) {
    canvas->FillRect(rect);
    int group = 0;
    // Only groups with a picture are drawn; any other number shows the background.
    if (TryStrToInt(grTasks->Cells(col, row), group) && group >= 0 && formGlobal != nullptr &&
        group < formGlobal->ilGroups->Count())
      formGlobal->ilGroups->Draw(canvas, rect.left + 1, rect.top + 1, group);
    return;
  }
  if (col != 1 || (state & (gdSelected | gdFocused | gdFixed)) != 0 || !cbShowIcons->Checked() ||
      formGlobal == nullptr)
    return;
  int index = 0;
  const std::string& path = grTasks->Cells(col, row);
  if (!FindTask(*formGlobal->slIcons, path, index) || index >= formGlobal->ilIcons->Count()) return;
  canvas->FillRect(rect);
  formGlobal->ilIcons->Draw(canvas, rect.left + 1, rect.top + 1, index);
  canvas->TextOut(rect.left + 17, rect.top + 2, path);
}

void TformOptions::grTasksSelectCell(TObject*, int col, int row, bool& canSelect) {
  cbSelectGroup->SetVisible(false);
  GroupList->SetVisible(false);
  if (col != 0 || row < grTasks->FixedRows()) return;
  canSelect = false;
  pickerRow_ = row;
  ShowGroupPicker(col, row);
}

void TformOptions::ShowGroupPicker(int col, int row) {
  const RECT cell = grTasks->CellRect(col, row);
  cbSelectGroup->SetVisible(true);
  const PickerButtonPlace place = GroupPickerButtonPlace(cell.top, cell.right, cell.bottom, grTasks->Left(),
                                                         grTasks->Top(), cbSelectGroup->Width());
  cbSelectGroup->SetBounds(place.left, place.top, cbSelectGroup->Width(), place.height);
  cbSelectGroup->BringToFront();
  // The tree drops from the right edge of the group cell, under its row; where the page
  // ends too early for it, it opens above the row instead.
  int top = grTasks->Top() + cell.bottom + 1;
  if (top + GroupList->Height() > GroupList->Parent()->ClientHeight())
    top = std::max<int>(0, grTasks->Top() + cell.top - 1 - GroupList->Height());
  GroupList->SetPosition(grTasks->Left() + cell.right + 1, top);
}

void TformOptions::GroupListPopup(TObject*) {
  if (pickerRow_ <= 0 || pickerRow_ >= grTasks->RowCount()) return;
  const int index = PickerNodeIndex(GroupNodes(), grTasks->Cells(0, pickerRow_));
  if (index >= 0) GroupList->SetSelected(GroupList->Items()->TopItem(index));
  GroupList->BringToFront();
}

void TformOptions::QComboTreeViewChange(TObject*, TTreeNode* node) {
  // The row must still be the one the picker was opened on.
  if (node == nullptr || pickerRow_ <= 0 || pickerRow_ >= grTasks->RowCount()) return;
  btApply->SetEnabled(true);
  grTasks->SetCells(0, pickerRow_, IntToStr(node->ImageIndex()));
}

void TformOptions::grTasksCellEdited(TObject*) {
  if (grTasks->Modified) btApply->SetEnabled(true);
}
