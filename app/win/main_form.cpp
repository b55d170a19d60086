#include "app/win/main_form.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "app/task_data.h"
#include "app/task_groups.h"
#include "app/win/active_task_probe.h"
#include "app/win/app_pictures.h"
#include "app/win/form_parts.h"
#include "app/win/input_strings_form.h"
#include "app/win/lingrove_info_form.h"
#include "app/win/message_form.h"
#include "app/win/options_form.h"
#include "app/win/statistic_form.h"
#include "app/win/strip_title_bar.h"
#include "app/win/tracker_context.h"
#include "app/window_snap.h"
#include "kit/win/icon_list_win.h"
#include "lang/app_language.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"

namespace {

// The window's own texts for the message numbers 25..31 (the base language).
const char* const BaseTexts[7] = {"Hourlark", "Count Down", "Time is up!", "Start", "Stop", "Ready", "Today:"};

// The stored properties, in the order they are written.
const char* const StoredMainProps =
    "slCountDownComment.Strings\r\nmnServiceHourlark.Checked\r\nmnServiceCountDown.Checked\r\n"
    "edCountDownComment.Caption\r\nedTimeAlarmHour.Text\r\nedTimeAlarmMinute.Text\r\n"
    "edTimeCountDown.Text\r\nedLang.Text\r\nedUser.Text\r\n";

constexpr int HeaderHeight = 16;
constexpr int ServiceWidth = 128;
constexpr int ServiceHeight = 58;

// The picture of a tray frame, a button glyph or a menu image.
constexpr int IconSize = 16;

TStrHolder* MakeHolder(TComponent* owner, const char* name, bool sorted, TDuplicates duplicates) {
  auto* holder = new TStrHolder(owner);
  holder->SetName(name);
  holder->SetDuplicates(duplicates);
  holder->SetSorted(sorted);
  return holder;
}

// A strip of 16 x 16 cells of the program's pictures as an image list, its key colour
// see-through.
void LoadPictureCells(TImageList* list, const char* name) {
  TBitmap strip;
  LoadAppPicture(&strip, name);
  list->AddMasked(&strip, clDefault);
}

// The button's glyph, from the program's pictures: square cells side by side.
void SetButtonGlyph(TKitSpeedButton* button, const char* name) {
  TBitmap glyph;
  LoadAppPicture(&glyph, name);
  button->SetGlyph(&glyph);
  if (glyph.Height() > 0) button->SetNumGlyphs(glyph.Width() / glyph.Height());
}

// Collecting the base language makes the main window too.
TLangFormRegistrar registrar("TformHourlark", [](TComponent* owner) { return new TformHourlark(owner); });

}  // namespace

const ClassInfo* TformHourlark::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformHourlark>("TformHourlark", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformHourlark::TformHourlark(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formHourlark");
  // No frame and no caption bar: the panel's bevel is the window's edge and the header strip
  // its caption.
  SetBorderStyle(bsNone);
  SetHelpContext(1);
  SetVisible(false);
  for (int i = 0; i < 7; ++i) texts_[i] = BaseTexts[i];

  sl = MakeHolder(this, "sl", false, dupAccept);
  slUsers = MakeHolder(this, "slUsers", true, dupIgnore);
  slTask = MakeHolder(this, "slTask", false, dupAccept);
  slTaskDesc = MakeHolder(this, "slTaskDesc", true, dupAccept);
  slCountDownComment = MakeHolder(this, "slCountDownComment", true, dupIgnore);
  TrackingProbe& probe = *this;
  TrackingHost& host = *this;
  engine_.reset(new TrackingEngine(clock_, probe, host, *slTaskDesc, *slTask, *slUsers));

  pForm = new TPanel(this);
  pForm->SetName("pForm");
  pForm->SetParent(this);
  pForm->SetAlign(alClient);
  pForm->SetBevelWidth(2);
  pForm->SetCaption("");
  BuildHeader();
  BuildTrackingPanel();
  BuildCountdownPanel();

  // Off the visible area: the focus holder while tracking, and two values that are stored.
  // Tab passes them by: the user cannot see them, and a key typed into the language's name
  // would change the language stored.
  Button1 = MakeControl<TButton>(this, "Button1", pForm, -200, -200, 20, 20);
  Button1->SetCaption("Button1");
  Button1->SetTabStop(false);
  edLang = MakeControl<TEdit>(this, "edLang", pForm, -200, -150, 20, 19);
  edLang->SetText("");
  edLang->SetTabStop(false);
  edCountDownComment = MakeControl<TLabel>(this, "edCountDownComment", pForm, -200, -100, 20, 13);
  edCountDownComment->SetCaption("");

  BuildMenus();
  BuildTrayIcons();
  TimerHourlark = new TTimer(this);
  TimerHourlark->SetName("TimerHourlark");
  TimerHourlark->SetInterval(500);
  TimerHourlark->OnTimer = [this](TObject* s) { TimerHourlarkTimer(s); };
  TimerCountDown = new TTimer(this);
  TimerCountDown->SetName("TimerCountDown");
  TimerCountDown->SetEnabled(false);
  TimerCountDown->OnTimer = [this](TObject* s) { TimerCountDownTimer(s); };

  BuildStorage();
  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  {
    // What the user typed or chose, and the tray hint that the tracker keeps writing, stay as
    // they are when the language changes.
    TStringList rules;
    rules.SetText("-edUser\r\n-edLang\r\n-edCountDownComment\r\n-KitTray\r\n");
    LingroveLang1->SetLocalRules(&rules);
  }

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
  LoadedAll(this);
  DoCreate();
}

TformHourlark::~TformHourlark() {
  TimerHourlark->SetEnabled(false);
  TimerCountDown->SetEnabled(false);
  DoDestroy();
  // The image list goes before the menus that show it.
  popMainMenu->SetImages(nullptr);
}

// A flat speed button with its glyph (none for nullptr) left of the caption.
TKitSpeedButton* TformHourlark::AddSpeedButton(TWinControl* parent, const char* name, const char* glyph, int left,
                                               int top, int width, int height) {
  auto* button = MakeControl<TKitSpeedButton>(this, name, parent, left, top, width, height);
  button->SetFlat(true);
  // The glyphs stay in colour also while the mouse is elsewhere.
  button->SetGrayedInactive(false);
  button->SetLayout(blGlyphLeft);
  button->SetSpacing(2);
  if (glyph != nullptr) SetButtonGlyph(button, glyph);
  return button;
}

TCatEdit97* TformHourlark::AddEdit(TWinControl* parent, const char* name, int left, int top, int width) {
  auto* edit = MakeControl<TCatEdit97>(this, name, parent, left, top, width, 19);
  edit->SetText("");
  return edit;
}

// The tray icon and its store of pictures: the still clock and the eight frames of its hand
// going round, which UpdateTrayIcons copies into the tray icon as the option asks.
void TformHourlark::BuildTrayIcons() {
  KitTrayIconList = new TKitTrayIcon(this);
  KitTrayIconList->SetName("KitTrayIconList");
  KitTrayIconList->SetActive(false);
  {
    TImageList cells(IconSize, IconSize);
    LoadPictureCells(&cells, kPictureTrayClock);
    TIcon icon;
    if (cells.GetIcon(0, &icon)) KitTrayIconList->SetIcon(&icon);
    TIconList frames;
    for (int i = 1; i < cells.Count(); ++i)
      if (cells.GetIcon(i, &icon)) frames.Add(&icon);
    KitTrayIconList->SetIcons(&frames);
  }
  KitTray = new TKitTrayIcon(this);
  KitTray->SetName("KitTray");
  KitTray->SetInterval(500);
  KitTray->SetPopupMenu(popMainMenu);
  KitTray->SetHint(HourlarkCaption);
  KitTray->SetIcon(KitTrayIconList->Icon());
  KitTray->SetIcons(KitTrayIconList->Icons());
}

void TformHourlark::BuildMenuImages() {
  ImageList1 = std::make_unique<TImageList>(IconSize, IconSize);
  LoadPictureCells(ImageList1.get(), kPictureMainMenu);
  popMainMenu->SetImages(ImageList1.get());
  // Pictures for the commands of the two services. A menu whose items have pictures but
  // also submenus is left without: Wine measures a submenu's item without the picture
  // column and cuts its text.
  const std::pair<TMenuItem*, TMainMenuImage> images[] = {
      {mnStart, miStart},          {mnStop, miStop},
      {mnStatistic, miStatistic},  {mnOptions, miOptions},
      {mnCountDownStart, miStart}, {mnCountDownStop, miStop},
      {mnCountDownTime, miCountDownTime}};
  for (const auto& [item, image] : images) item->SetImageIndex(image);
}

TMenuItem* TformHourlark::AddItem(TMenuItem* parent, const char* name, const std::string& caption,
                                  TNotifyEvent click) {
  auto* item = new TMenuItem(this);
  if (name != nullptr && *name != 0) item->SetName(name);
  item->SetCaption(caption);
  item->OnClick = std::move(click);
  parent->Add(item);
  return item;
}

TPanel* TformHourlark::AddServicePanel(const char* name, int helpContext) {
  auto* panel = new TPanel(this);
  panel->SetName(name);
  panel->SetParent(pForm);
  panel->SetBounds(2, 18, ServiceWidth, ServiceHeight);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption("");
  panel->SetHelpContext(helpContext);
  return panel;
}

// A service's status bar: a centred state panel and the time panel.
TStatusBar* TformHourlark::AddStatusBar(TWinControl* parent, const char* name, int stateWidth) {
  auto* bar = new TStatusBar(this);
  bar->SetName(name);
  bar->SetParent(parent);
  bar->SetSizeGrip(false);
  // As high as the service panel leaves below its buttons.
  bar->SetHeight(ServiceHeight - 41);
  bar->SetAlign(alBottom);
  TStatusPanel* state = bar->Panels()->Add();
  state->SetWidth(stateWidth);
  state->SetAlignment(taCenter);
  bar->Panels()->Add()->SetWidth(50);
  return bar;
}

void TformHourlark::BuildHeader() {
  pHeader = new TPanel(this);
  pHeader->SetName("pHeader");
  pHeader->SetParent(pForm);
  pHeader->SetBounds(2, 2, ServiceWidth, HeaderHeight);
  pHeader->SetBevelOuter(bvNone);
  pHeader->SetColor(clTeal);
  pHeader->SetCaption("");
  pHeader->Font()->SetColor(clWhite);
  pHeader->Font()->SetStyle(fsBold);
  // The header's buttons show white glyphs straight on the teal strip.
  btSelectService = AddSpeedButton(pHeader, "btSelectService", kGlyphService, 1, 1, 14, 14);
  btSelectService->SetHint("Select service");
  btSelectService->OnClick = [this](TObject* s) { btSelectServiceClick(s); };
  lServiceCaption = MakeControl<TLabel>(this, "lServiceCaption", pHeader, 18, 1, 76, 14);
  lServiceCaption->SetTransparent(true);
  btMinimize = AddSpeedButton(pHeader, "btMinimize", kGlyphHide, 97, 1, 14, 14);
  btMinimize->SetHint("Hide");
  btMinimize->OnClick = [this](TObject* s) { mnHideClick(s); };
  btClose = AddSpeedButton(pHeader, "btClose", kGlyphClose, 112, 1, 14, 14);
  btClose->SetHint("Close");
  btClose->OnClick = [this](TObject* s) { mnCloseClick(s); };
  for (TKitSpeedButton* button : {btSelectService, btMinimize, btClose}) button->SetTransparent(true);
  for (TControl* grip : {static_cast<TControl*>(pHeader), static_cast<TControl*>(lServiceCaption)}) {
    grip->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      HeaderMouseDown(s, b, sh, x, y);
    };
    grip->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { HeaderMouseMove(s, sh, x, y); };
    grip->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      HeaderMouseUp(s, b, sh, x, y);
    };
  }
}

void TformHourlark::BuildTrackingPanel() {
  pFormHourlark = AddServicePanel("pFormHourlark", 21);
  imSelectUser = MakeControl<TImage>(this, "imSelectUser", pFormHourlark, 2, 3, 16, 16);
  LoadAppPicture(imSelectUser->Picture()->Bitmap(), kPictureUserPick);
  imSelectUser->SetTransparent(true);
  imSelectUser->SetHint("Choose User");
  imSelectUser->OnClick = [this](TObject* s) { imSelectUserClick(s); };
  edUser = AddEdit(pFormHourlark, "edUser", 20, 2, 106);
  edUser->OnChange = [this](TObject*) {
    if (!engine_->Tracking()) engine_->SetUserName(edUser->Text());
  };
  edUser->OnKeyPress = [this](TObject*, char& key) {
    if (key == 13) {
      key = 0;
      if (btStart->Enabled()) btStart->Click();
    }
  };
  btStatistic = AddSpeedButton(pFormHourlark, "btStatistic", kGlyphStatistic, 2, 23, 16, 18);
  btStatistic->SetHint("Statistics");
  btStatistic->OnClick = [this](TObject* s) { btStatisticClick(s); };
  btOptions = AddSpeedButton(pFormHourlark, "btOptions", kGlyphOptions, 19, 23, 16, 18);
  btOptions->SetHint("Options");
  btOptions->OnClick = [this](TObject* s) { btOptionsClick(s); };
  btStart = AddSpeedButton(pFormHourlark, "btStart", kGlyphStart, 36, 23, 46, 18);
  btStart->SetCaption(BaseTexts[3]);
  btStart->OnClick = [this](TObject* s) { btStartClick(s); };
  btStop = AddSpeedButton(pFormHourlark, "btStop", kGlyphStop, 83, 23, 44, 18);
  btStop->SetCaption(BaseTexts[4]);
  btStop->OnClick = [this](TObject* s) { btStopClick(s); };
  StatusBar1 = AddStatusBar(pFormHourlark, "StatusBar1", 65);
}

void TformHourlark::BuildCountdownPanel() {
  pFormCountDown = AddServicePanel("pFormCountDown", 31);
  pFormCountDown->SetVisible(false);
  BevelMode1 = MakeControl<TBevel>(this, "BevelMode1", pFormCountDown, 1, 0, 72, 23);
  BevelMode2 = MakeControl<TBevel>(this, "BevelMode2", pFormCountDown, 75, 0, 52, 23);
  edTimeAlarmHour = AddEdit(pFormCountDown, "edTimeAlarmHour", 3, 2, 22);
  lTwoPoints = MakeControl<TLabel>(this, "lTwoPoints", pFormCountDown, 26, 5, 4, 13);
  lTwoPoints->SetCaption(":");
  edTimeAlarmMinute = AddEdit(pFormCountDown, "edTimeAlarmMinute", 31, 2, 22);
  // The mode buttons only mark the two fields; they stay disabled.
  SpeedButton2 = AddSpeedButton(pFormCountDown, "SpeedButton2", kGlyphAlarm, 55, 2, 16, 19);
  SpeedButton2->SetHint("Alarm");
  SpeedButton2->SetEnabled(false);
  SpeedButton2->OnClick = [this](TObject*) { edTimeAlarmHour->SetFocus(); };
  edTimeCountDown = AddEdit(pFormCountDown, "edTimeCountDown", 77, 2, 30);
  SpeedButton1 = AddSpeedButton(pFormCountDown, "SpeedButton1", kGlyphCountDown, 108, 2, 16, 19);
  SpeedButton1->SetHint("Count Down");
  SpeedButton1->SetEnabled(false);
  SpeedButton1->OnClick = [this](TObject*) { edTimeCountDown->SetFocus(); };
  btInputComment = AddSpeedButton(pFormCountDown, "btInputComment", kGlyphComment, 2, 23, 24, 18);
  btInputComment->SetHint("Enter Comment");
  btInputComment->OnClick = [this](TObject* s) { btInputCommentClick(s); };
  btCountDownStart = AddSpeedButton(pFormCountDown, "btCountDownStart", kGlyphStart, 28, 23, 49, 18);
  btCountDownStart->SetCaption(BaseTexts[3]);
  btCountDownStart->OnClick = [this](TObject* s) { btCountDownStartClick(s); };
  btCountDownStop = AddSpeedButton(pFormCountDown, "btCountDownStop", kGlyphStop, 78, 23, 49, 18);
  btCountDownStop->SetCaption(BaseTexts[4]);
  btCountDownStop->OnClick = [this](TObject* s) { btCountDownStopClick(s); };
  StatusBar2 = AddStatusBar(pFormCountDown, "StatusBar2", 70);

  edTimeAlarmHour->OnChange = [this](TObject*) { edTimeChange(CountdownField::Hour); };
  edTimeAlarmMinute->OnChange = [this](TObject*) { edTimeChange(CountdownField::Minute); };
  edTimeCountDown->OnChange = [this](TObject*) { edTimeChange(CountdownField::Minutes); };
  edTimeAlarmHour->OnKeyPress = [this](TObject*, char& key) {
    if (key == 13) {
      key = 0;
      edTimeAlarmMinute->SetFocus();
    }
  };
  auto startOnEnter = [this](char& key) {
    if (key != 13) return false;
    key = 0;
    if (btCountDownStart->Enabled()) btCountDownStart->Click();
    return true;
  };
  edTimeAlarmMinute->OnKeyPress = [this, startOnEnter](TObject*, char& key) {
    if (startOnEnter(key)) return;
    if (key == 8 && edTimeAlarmMinute->Text().empty()) {
      key = 0;
      edTimeAlarmHour->SetFocus();
    }
  };
  edTimeCountDown->OnKeyPress = [startOnEnter](TObject*, char& key) { startOnEnter(key); };
}

void TformHourlark::BuildMenus() {
  popMainMenu = new TPopupMenu(this);
  popMainMenu->SetName("popMainMenu");
  popMainMenu->OnPopup = [this](TObject* s) { popMainMenuPopup(s); };
  TMenuItem* root = popMainMenu->Items();
  mnRestore = AddItem(root, "mnRestore", "Restore", [this](TObject* s) { mnRestoreClick(s); });
  mnHide = AddItem(root, "mnHide", "Hide", [this](TObject* s) { mnHideClick(s); });
  mnHide->SetDefault(true);
  Hourlark1 = AddItem(root, "Hourlark1", BaseTexts[0], nullptr);
  mnStart = AddItem(Hourlark1, "mnStart", BaseTexts[3], [this](TObject*) {
    mnServiceHourlark->Click();
    btStart->Click();
  });
  mnStop = AddItem(Hourlark1, "mnStop", BaseTexts[4], [this](TObject* s) { btStopClick(s); });
  AddItem(Hourlark1, "", "-", nullptr);
  mnStatistic = AddItem(Hourlark1, "mnStatistic", "Statistics", [this](TObject* s) { btStatisticClick(s); });
  mnOptions = AddItem(Hourlark1, "mnOptions", "Options", [this](TObject* s) { btOptionsClick(s); });
  CountDown1 = AddItem(root, "CountDown1", BaseTexts[1], nullptr);
  mnCountDownStart = AddItem(CountDown1, "mnCountDownStart", BaseTexts[3], [this](TObject*) {
    mnServiceCountDown->Click();
    btCountDownStart->Click();
  });
  mnCountDownStop =
      AddItem(CountDown1, "mnCountDownStop", BaseTexts[4], [this](TObject* s) { btCountDownStopClick(s); });
  AddItem(CountDown1, "", "-", nullptr);
  mnCountDownTime = AddItem(CountDown1, "mnCountDownTime", "Choose time...", [this](TObject*) {
    mnRestore->Click();
    mnServiceCountDown->Click();
  });
  Help1 = AddItem(root, "Help1", "Help", nullptr);
  // The help file is not part of the program: the item does nothing.
  HelpContents1 = AddItem(Help1, "HelpContents1", "Contents", nullptr);
  mnQuickDemo = AddItem(Help1, "mnQuickDemo", "Quick Demo", [this](TObject* s) { mnQuickDemoClick(s); });
  AddItem(Help1, "", "-", nullptr);
  mnLanguages = AddItem(Help1, "mnLanguages", "Languages", nullptr);
  AddItem(mnLanguages, "", "-", nullptr);
  mnLingroveInfo = AddItem(mnLanguages, "mnLingroveInfo", "Info", [this](TObject* s) { mnLingroveInfoClick(s); });
  mnClose = AddItem(root, "mnClose", "Close", [this](TObject* s) { mnCloseClick(s); });

  popSelectService = new TPopupMenu(this);
  popSelectService->SetName("popSelectService");
  mnServiceHourlark = AddItem(popSelectService->Items(), "mnServiceHourlark", BaseTexts[0],
                              [this](TObject*) { ShowService(1); });
  mnServiceCountDown = AddItem(popSelectService->Items(), "mnServiceCountDown", BaseTexts[1],
                               [this](TObject*) { ShowService(2); });
  BuildMenuImages();
}

void TformHourlark::BuildStorage() {
  FormStorage = new TFormStorage(this);
  FormStorage->SetName("FormStorage");
  FormStorage->SetUseRegistry(true);
  FormStorage->SetIniFileName(HourlarkRegistryKey);
  FormStorage->SetIniSection("Options");
  FormStorage->SetOptions(1u << fpPosition);
  TStringList props;
  props.SetText(StoredMainProps);
  FormStorage->SetStoredProps(&props);
}

void TformHourlark::SetContext(TrackerContext* context) {
  context_ = context;
  context_->TaskList = slTaskDesc;
  context_->DataDir = dataDir_;
}

void TformHourlark::SetDataDir(const std::string& dir) {
  dataDir_ = IncludeTrailingBackslash(dir);
  engine_->SetTaskPath(dataDir_ + "hl20task.txt");
  engine_->SetWorkPath(dataDir_ + "hl20work.txt");
  if (context_ != nullptr) context_->DataDir = dataDir_;
}

std::string TformHourlark::LangText(int number) const {
  if (number < 25 || number > 31) return std::string();
  return texts_[number - 25];
}

void TformHourlark::FetchLangTexts() {
  for (int number = 25; number <= 31; ++number) {
    std::string text;
    try {
      text = AppLanguage()->GetLangString(static_cast<uint16_t>(number));
    } catch (...) {
      // No language file to ask: the window's own text stands.
    }
    texts_[number - 25] = text.empty() || text == kUndefinedLangString ? BaseTexts[number - 25] : text;
  }
}

void TformHourlark::FillLanguagesMenu() {
  const TStrings* languages = AppLanguage()->Languages();
  TMenuItem* chosen = nullptr;
  for (int i = 0; i < languages->Count(); ++i) {
    const std::string name = languages->Strings(i);
    auto* item = new TMenuItem(this);
    item->SetCaption(name);
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetChecked(SameText(name, CurrentLanguage()));
    item->OnClick = [this](TObject* sender) { LanguageItemClick(sender); };
    mnLanguages->Insert(0, item);
    if (name == edLang->Text()) chosen = item;
  }
  if (chosen != nullptr) chosen->Click();
}

void TformHourlark::LanguageItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  // A file that fails to load still becomes the current language (its lookups fall back to
  // the base texts): the menu, the stored name and the texts follow it before the error is
  // reported.
  std::exception_ptr error;
  try {
    AppLanguage()->SetLangFileName(item->Caption());
  } catch (...) {
    error = std::current_exception();
  }
  edLang->SetText(item->Caption());
  ApplyLanguageTexts();
  item->SetChecked(true);
  if (error) std::rethrow_exception(error);
}

void TformHourlark::CheckReminders() {
  if (options_ == nullptr || FormMessage == nullptr) return;
  RunReminders(*options_, *FormMessage, engine_->DayTotal(), LangText(25));
}

// ---- Start-up ---------------------------------------------------------------------------

void TformHourlark::FormCreate(TObject*) {
  try {
    LingroveLang1->SetLangDir(ExtractFilePath(Application->ExeName()));
  } catch (...) {
    // Without a readable language file the window's own texts stand.
  }
  Application->SetTitle(HourlarkCaption);
  SetCaption(HourlarkCaption);
  SetDataDir(ExtractFilePath(Application->ExeName()));
  // A save that was ended half-way (a forced end, a power cut) left its temporary file beside
  // the data file; the data file itself is whole, so the leftover only takes space.
  for (const char* name : {TaskFileName, WorkFileName, GroupListFileName})
    RemoveStaleTemporaryFiles(dataDir_ + name);
  try {
    engine_->LoadTaskList();
  } catch (...) {
    // A task list that cannot be read starts empty (and is not overwritten, see the engine).
  }
  SetBlockedList(BuildBlockedList(*slTaskDesc->Strings()));
  firstActivation_ = true;
  // The window has no caption bar: the header strip takes its place.
  StripTitleBar(this);
  SetClientWidth(ScaleValue(132));
  SetClientHeight(ScaleValue(78));
  const WindowSpot home = MainWindowHome(Width(), Height(), EdgeScreenSize().Width, MaximizedWindowHeight());
  SetBounds(home.left, home.top, Width(), Height());
  Application->OnMinimize = [](TObject*) { ShowWindow(Application->Handle(), SW_HIDE); };
  pFormHourlark->SetBounds(ScaleValue(2), ScaleValue(18), ScaleValue(ServiceWidth), ScaleValue(ServiceHeight));
  pFormCountDown->SetBounds(ScaleValue(2), ScaleValue(18), ScaleValue(ServiceWidth), ScaleValue(ServiceHeight));
  if (!mnServiceCountDown->Checked()) mnServiceHourlark->Click();
}

void TformHourlark::CheckVersionAndShowDemo() {
  TRegistry registry;
  if (!registry.OpenKey(HourlarkRegistryKey, true)) return;
  if (registry.ReadString("Version") == HourlarkVersion) return;
  EdgeShellExecute("", ExtractFilePath(Application->ExeName()) + "hl2demo.exe", "", "", SW_SHOWNORMAL);
  registry.WriteString("Version", HourlarkVersion);
}

void TformHourlark::FillUserList() {
  try {
    ReadUserList(engine_->WorkPath(), *slUsers->Strings());
  } catch (...) {
    // An unreadable work file gives no known users; tracking still works.
  }
}

void TformHourlark::FormActivate(TObject*) {
  CheckVersionAndShowDemo();
  if (!firstActivation_) return;
  firstActivation_ = false;
  dragging_ = false;
  char login[51];
  std::memset(login, 0, sizeof login);
  DWORD size = 50;
  if (!GetUserNameA(login, &size)) login[0] = 0;
  if (edUser->Text().empty()) edUser->SetText(login);
  engine_->InitTrackingState();
  countdown_.Stop();
  ApplyLanguageTexts();
  FillLanguagesMenu();
  if (options_ != nullptr) options_->FormStorage->RestoreFromStore();
  SetScreenSaverWatch(-1);
  FillUserList();
  engine_->LoadTodayTotals();
  UpdateControls();
  UpdateCountdownMode();
  Application->ProcessMessages();
  if (btStart->Enabled() && AutoStartTimer()) btStart->Click();
  ShowService(mnServiceHourlark->Checked() ? 1 : 2);
}

void TformHourlark::ApplyLanguageTexts() {
  try {
    Font()->Assign(btStart->Font());
  } catch (...) {
    // The window keeps its font.
  }
  FetchLangTexts();
  for (TCatEdit97* edit : {edUser, edTimeAlarmHour, edTimeAlarmMinute, edTimeCountDown}) edit->SetHeight(ScaleValue(19));
  for (TMenuItem* item : {mnServiceHourlark, Hourlark1}) item->SetCaption(LangText(25));
  for (TMenuItem* item : {mnServiceCountDown, CountDown1}) item->SetCaption(LangText(26));
  for (TMenuItem* item : {mnStart, mnCountDownStart}) item->SetCaption(LangText(28));
  for (TMenuItem* item : {mnStop, mnCountDownStop}) item->SetCaption(LangText(29));
  btStart->SetCaption(LangText(28));
  btCountDownStart->SetCaption(LangText(28));
  btStop->SetCaption(LangText(29));
  btCountDownStop->SetCaption(LangText(29));
  ShowService(mnServiceCountDown->Checked() ? 2 : 1);
  StatusBar1->Panels()->Items(0)->SetText(LangText(31));
  if (!countdown_.Running()) StatusBar2->Panels()->Items(1)->SetText(LangText(30));
  FitTexts();
}

// The header's caption and the Start and Stop captions as long as the language and the
// resolution make them: where one needs more room than designed, the window grows wider
// (keeping its right edge where it is) and the controls at its right move along.
void TformHourlark::FitTexts() {
  auto more = [this](TKitSpeedButton* button, int designed) {
    const int glyph = button->Glyph()->Width() / std::max(1, button->NumGlyphs());
    const int need = CaptionWidth(button->Font(), button->Caption()) + glyph + ScaleValue(10);
    return std::max(0, need - ScaleValue(designed));
  };
  int caption = 0;
  for (int text : {25, 26})
    caption = std::max(caption, CaptionWidth(lServiceCaption->Font(), LangText(text)));
  const int extraStart = more(btStart, 46), extraStop = more(btStop, 44);
  const int extraCdStart = more(btCountDownStart, 49), extraCdStop = more(btCountDownStop, 49);
  const int extra = std::max({0, ScaleValue(18) + caption + ScaleValue(3) - ScaleValue(97), extraStart + extraStop,
                              extraCdStart + extraCdStop});
  const int right = Left() + Width();
  SetClientWidth(ScaleValue(132) + extra);
  SetLeft(right - Width());
  for (TControl* panel : {static_cast<TControl*>(pHeader), static_cast<TControl*>(pFormHourlark),
                          static_cast<TControl*>(pFormCountDown)})
    panel->SetWidth(ScaleValue(ServiceWidth) + extra);
  btMinimize->SetLeft(ScaleValue(97) + extra);
  btClose->SetLeft(ScaleValue(112) + extra);
  edUser->SetWidth(ScaleValue(106) + extra);
  // Each pair shares the room it gained: what a caption needs first, the rest in halves.
  auto pair = [this, extra](TKitSpeedButton* first, TKitSpeedButton* second, int left, int width, int extraFirst,
                            int extraSecond) {
    const int spare = extra - extraFirst - extraSecond;
    const int firstWidth = ScaleValue(left + width) - ScaleValue(left) + extraFirst + spare / 2;
    first->SetBounds(ScaleValue(left), first->Top(), firstWidth, first->Height());
    const int secondLeft = first->Left() + first->Width() + ScaleValue(1);
    second->SetBounds(secondLeft, second->Top(), ScaleValue(127) + extra - secondLeft, second->Height());
  };
  pair(btStart, btStop, 36, 46, extraStart, extraStop);
  pair(btCountDownStart, btCountDownStop, 28, 49, extraCdStart, extraCdStop);
  for (TControl* control : {static_cast<TControl*>(BevelMode2), static_cast<TControl*>(edTimeCountDown),
                            static_cast<TControl*>(SpeedButton1)})
    control->SetLeft(ScaleValue(control == BevelMode2 ? 75 : control == edTimeCountDown ? 77 : 108) + extra);
}

void TformHourlark::ShowService(int service) {
  const bool tracking = service == 1;
  lServiceCaption->SetCaption(LangText(tracking ? 25 : 26));
  pFormHourlark->SetVisible(tracking);
  pFormCountDown->SetVisible(!tracking);
  mnServiceHourlark->SetChecked(tracking);
  mnServiceCountDown->SetChecked(!tracking);
}

void TformHourlark::FormCloseQuery(TObject*, bool& canClose) {
  // The time tracked since the last save is written now or never: a save that fails (a full
  // disk, a file held by another program) is said, and the user may free what is needed
  // and try again, or close and lose that time knowingly.
  for (;;) {
    std::string error;
    try {
      engine_->AccountTick(true);
      break;
    } catch (const std::exception& e) {
      error = e.what();
    } catch (...) {
      error = "An unknown error occurred";
    }
    const std::string text = "The tracked time could not be saved:\n" + error +
                             "\n\nRetry to save it again, or Cancel to close Hourlark without saving it.";
    if (Application->MessageBox(text, HourlarkCaption, MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) break;
  }
  canClose = true;
}

// ---- Options read from the options dialog ------------------------------------------------

int TformHourlark::SavePeriodMinutes() { return options_ != nullptr ? options_->edSaveTime->Value() : 5; }
bool TformHourlark::AutoHide() const { return options_ == nullptr || options_->cbAutoHide->Checked(); }
bool TformHourlark::AutoStartTimer() const { return options_ != nullptr && options_->cbAutoStartTimer->Checked(); }
bool TformHourlark::AnimatedIcon() const { return options_ == nullptr || options_->cbAnimatedIcon->Checked(); }

// ---- Tracking ---------------------------------------------------------------------------

void TformHourlark::ShowDayTotal(const std::string& text) { StatusBar1->Panels()->Items(1)->SetText(text); }

void TformHourlark::ShowTrayHint(const std::string& hint) { KitTray->SetHint(hint); }

std::string TformHourlark::RestingHint() const {
  if (engine_->Tracking()) return engine_->UserName() + " " + StatusBar1->Panels()->Items(1)->Text();
  return HourlarkCaption;
}

void TformHourlark::TrackingStarted() {
  if (Button1->CanFocus()) Button1->SetFocus();
  if (AutoHide()) mnHide->Click();
}

void TformHourlark::ScreenSaverStopsTracking() {
  // Through the dialog's sound routine, so a quoted name plays and its Stop buttons stop it.
  if (options_ != nullptr) options_->PlaySoundFile(options_->edPlayScreenSaverActivate->Text());
}

std::string TformHourlark::GetActiveTask() { return ::GetActiveTask(); }
bool TformHourlark::IsScreenSaverRunning() { return ::IsScreenSaverRunning(); }

std::string TformHourlark::ForegroundTitle() {
  HWND window = ActiveTaskForegroundWindow();
  if (window == nullptr) return std::string();
  char title[401];
  const int length = GetWindowTextA(window, title, sizeof title);
  return std::string(title, length > 0 ? static_cast<size_t>(length) : 0);
}

void TformHourlark::UpdateControls() {
  const bool tracking = engine_->Tracking();
  edUser->SetColor(tracking ? clBtnFace : clWindow);
  edUser->SetReadOnly(tracking);
  imSelectUser->SetEnabled(!tracking);
  btStop->SetEnabled(tracking);
  mnStop->SetEnabled(tracking);
  btStart->SetEnabled(engine_->CanStart());
  mnStart->SetEnabled(engine_->CanStart());
  UpdateTrayIcons();
}

void TformHourlark::UpdateTrayIcons() {
  TIconList* frames = KitTray->Icons();
  frames->BeginUpdate();
  try {
    if (AnimatedIcon()) {
      frames->Assign(KitTrayIconList->Icons());
    } else {
      frames->Clear();
      frames->Add(KitTrayIconList->Icon());
    }
  } catch (...) {
    frames->EndUpdate();
    throw;
  }
  frames->EndUpdate();
  KitTray->SetAnimated(engine_->Tracking() || countdown_.Running());
}

void TformHourlark::TimerHourlarkTimer(TObject*) { engine_->TimerTick(); }

void TformHourlark::btStartClick(TObject*) {
  if (engine_->Tracking()) return;
  engine_->SetUserName(edUser->Text());
  engine_->Start();
}

void TformHourlark::btStopClick(TObject*) {
  if (engine_->Tracking()) engine_->Stop();
}

// ---- Countdown --------------------------------------------------------------------------

CountdownFields TformHourlark::Fields() const {
  return {edTimeAlarmHour->Text(), edTimeAlarmMinute->Text(), edTimeCountDown->Text()};
}

void TformHourlark::edTimeChange(CountdownField field) {
  if (choosingMode_) return;
  const CountdownFields chosen = ChooseCountdownMode(Fields(), field);
  {
    TScopedState choosing(choosingMode_);
    if (chosen.hour != edTimeAlarmHour->Text()) edTimeAlarmHour->SetText(chosen.hour);
    if (chosen.minute != edTimeAlarmMinute->Text()) edTimeAlarmMinute->SetText(chosen.minute);
    if (chosen.minutes != edTimeCountDown->Text()) edTimeCountDown->SetText(chosen.minutes);
  }
  BevelMode1->SetVisible(true);
  BevelMode2->SetVisible(true);
  UpdateCountdownMode();
}

void TformHourlark::UpdateCountdownMode() {
  const bool running = countdown_.Running();
  TimerCountDown->SetEnabled(running);
  for (TCatEdit97* edit : {edTimeAlarmHour, edTimeAlarmMinute, edTimeCountDown}) {
    edit->SetColor(running ? clBtnFace : clWindow);
    edit->SetReadOnly(running);
  }
  btInputComment->SetEnabled(!running);
  mnCountDownStart->SetEnabled(!running);
  mnCountDownStop->SetEnabled(running);
  btCountDownStop->SetEnabled(running);
  StatusBar2->Panels()->Items(0)->SetText(Comment());
  UpdateTrayIcons();
  const bool canStart = CountdownCanStart(running, Fields());
  btCountDownStart->SetEnabled(canStart);
  mnCountDownStart->SetEnabled(canStart);
}

void TformHourlark::btCountDownStartClick(TObject*) {
  if (countdown_.Running()) return;
  // A blinking time-up ends when a new countdown starts.
  StatusBar2->SetSimplePanel(false);
  if (!countdown_.Start(Fields(), Now())) {
    EdgeMessageBeep(MB_ICONHAND);
    return;
  }
  TimerCountDown->SetInterval(countdown_.TimerInterval());
  UpdateCountdownMode();
  StatusBar2->Panels()->Items(0)->SetText(Comment().empty() ? "Time left:" : Comment());
  StatusBar2->Panels()->Items(1)->SetText("");
  if (AutoHide()) mnHide->Click();
}

void TformHourlark::TimerCountDownTimer(TObject*) {
  const TDateTime now = Now();
  switch (countdown_.OnTick(now)) {
    case CountdownCycle::Tick::None:
      TimerCountDown->SetEnabled(false);
      return;
    case CountdownCycle::Tick::Counting:
    case CountdownCycle::Tick::Expired: {
      const std::string left = countdown_.TimeLeftText(now);
      KitTray->SetHint(CountdownHint(TrackingHintPart(engine_->Tracking(), engine_->UserName(),
                                                      StatusBar1->Panels()->Items(1)->Text()),
                                     Comment(), LangText(26), left));
      StatusBar2->Panels()->Items(1)->SetText(left);
      if (countdown_.Running()) return;
      TimerCountDown->SetInterval(countdown_.TimerInterval());
      StatusBar2->Panels()->Items(0)->SetText(LangText(27));
      UpdateTrayIcons();
      // The countdown no longer owns the hint: it must not keep showing the last time left.
      KitTray->SetHint(RestingHint());
      mnRestore->Click();
      return;
    }
    case CountdownCycle::Tick::Blink:
      mnServiceCountDown->Click();
      EdgeMessageBeep(0xFFFFFFFF);
      StatusBar2->SetSimplePanel(true);
      StatusBar2->SetSimpleText(CountdownBlinkText(StatusBar2->SimpleText(), Comment(), LangText(27)));
      return;
  }
}

void TformHourlark::btCountDownStopClick(TObject*) {
  const bool wasRunning = countdown_.Running();
  countdown_.Stop();
  UpdateCountdownMode();
  StatusBar2->SetSimplePanel(false);
  StatusBar2->SetSimpleText("");
  StatusBar2->Panels()->Items(0)->SetText(Comment());
  StatusBar2->Panels()->Items(1)->SetText(LangText(30));
  if (wasRunning) KitTray->SetHint(RestingHint());
}

void TformHourlark::btInputCommentClick(TObject*) {
  const std::string comment = InputFromList("Enter Comment", slCountDownComment->Strings(), true);
  edCountDownComment->SetCaption(comment);
  // The picker may have gained or lost entries; a cancelled run leaves the list alone.
  if (!comment.empty() && formInputStrings != nullptr)
    slCountDownComment->Strings()->Assign(formInputStrings->lbUsers->Items());
  StatusBar2->Panels()->Items(0)->SetText(comment);
}

void TformHourlark::popMainMenuPopup(TObject*) {
  mnCountDownTime->SetCaption(CountdownTimeCaption(Fields(), LangText(26)));
}

// ---- Header, window and other actions ---------------------------------------------------

void TformHourlark::btSelectServiceClick(TObject*) {
  popSelectService->Popup(Left() + 1, Top() + pHeader->Height() + 1);
}

void TformHourlark::HeaderMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  grab_ = {cursor.x - Left(), cursor.y - Top()};
  dragging_ = true;
}

void TformHourlark::HeaderMouseMove(TObject*, TShiftState, int, int) {
  if (!dragging_) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const WindowSpot spot = SnapMainWindow({cursor.x - grab_.x, cursor.y - grab_.y}, Width(), Height(),
                                         EdgeScreenSize().Width, MaximizedWindowHeight());
  SetBounds(spot.left, spot.top, Width(), Height());
}

void TformHourlark::HeaderMouseUp(TObject*, TMouseButton, TShiftState, int, int) { dragging_ = false; }

void TformHourlark::mnHideClick(TObject*) {
  FormStorage->SaveToStore();
  if (HandleAllocated() && !ShowWindow(Handle(), SW_HIDE) && IsWindowVisible(Handle()))
    Application->Minimize();
  Hide();
  mnRestore->SetDefault(true);
}

void TformHourlark::mnRestoreClick(TObject*) {
  Application->Restore();
  Show();
  Application->BringToFront();
  mnHide->SetDefault(true);
}

void TformHourlark::mnCloseClick(TObject*) { Close(); }

void TformHourlark::btStatisticClick(TObject*) {
  try {
    engine_->AccountTick(true);
  } catch (...) {
    // The statistics read what the files hold; a failed save must not keep them closed.
  }
  std::unique_ptr<TformStatistic> form(new TformStatistic(Application));
  // Forgotten before the window goes, whatever ends the showing.
  struct Forget {
    TformStatistic*& window;
    ~Forget() { window = nullptr; }
  } forget{statistic_};
  statistic_ = form.get();
  form->SetSettling(true);
  form->SetSources(slTaskDesc->Strings(), engine_->WorkPath(), options_);
  form->SetContext(context_);
  form->FormStorage->RestoreFromStore();
  TStrings* users = form->cbUser->Items();
  users->Assign(slUsers->Strings());
  const std::string user = edUser->Text();
  if (users->Count() == 0) users->Add(user);
  int chosen = -1;
  for (int i = 0; i < users->Count(); ++i)
    if (users->Strings(i) == user) chosen = i;
  form->cbUser->SetItemIndex(chosen);
  form->ShowModal();
  form->FormStorage->SaveToStore();
}

void TformHourlark::DaySaved() {
  if (statistic_ == nullptr) return;
  try {
    statistic_->RepaintWeekTable();
  } catch (...) {
    // A repaint that fails must not fail the save that was made.
  }
}

void TformHourlark::btOptionsClick(TObject*) {
  if (options_ != nullptr) options_->ShowModal();
}

void TformHourlark::imSelectUserClick(TObject*) {
  if (engine_->Tracking()) return;
  const std::string name = InputFromList("Choose User", slUsers->Strings(), false);
  edUser->SetText(name);
  if (!name.empty()) slUsers->Strings()->Add(name);
}

void TformHourlark::mnQuickDemoClick(TObject*) {
  const std::string demo = ExtractFilePath(Application->ExeName()) + "hl2demo.exe";
  if (!EdgeShellExecute("", demo, "", "", SW_SHOWNORMAL) && !FileExists(demo))
    Application->MessageBox("Quick Demo \"hl2demo.exe\" not found", HourlarkCaption, MB_OK | MB_ICONHAND);
}

void TformHourlark::mnLingroveInfoClick(TObject*) {
  std::unique_ptr<TformLingroveInfo> info(new TformLingroveInfo(Application));
  info->ShowModal();
}
