#include "app/win/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/active_task_rules.h"
#include "app/win/active_task_probe.h"
#include "app/win/options_form.h"
#include "app/win/statistic_form.h"
#include "app/win/tracker_context.h"
#include "kit/win/icon_list_win.h"
#include "kit/win/speed_button.h"
#include "lang/app_language.h"
#include "lang/lang_file.h"
#include "lang/lang_file_edit.h"
#include "lang/win/lang_collector.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"
#include "tests/rtl/file_fixtures.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/media_test_support.h"
#include "tests/app/win/window_test_steps.h"

namespace {

TDateTime pinnedNow = 0;
TDateTime PinnedClock() { return pinnedNow; }

std::vector<unsigned>& Beeps() {
  static std::vector<unsigned> beeps;
  return beeps;
}
void RecordBeep(unsigned type) { Beeps().push_back(type); }

std::vector<std::string>& Shells() {
  static std::vector<std::string> shells;
  return shells;
}
bool RecordShell(const std::string&, const std::string& file, const std::string&, const std::string&, int) {
  Shells().push_back(file);
  return true;
}

TScreenSize Screen1024() { return {1024, 768}; }

// The main window and the options dialog as the program makes them, with a data folder, a
// clean settings key, a pinned clock and recorded beeps and shell calls.
class MainFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    ClearKey();
    Beeps().clear();
    Shells().clear();
    previousBeep_ = SetMessageBeepEdge(&RecordBeep);
    previousShell_ = SetShellExecuteEdge(&RecordShell);
    previousScreen_ = SetScreenSizeEdge(&Screen1024);
    pinnedNow = EncodeDate(2026, 12, 9) + EncodeTime(10, 15, 20, 0);
    previousClock_ = SetClock(&PinnedClock);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "hlmain" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override {
    main = nullptr;
    options = nullptr;
    app_.reset();
    SetClock(previousClock_);
    SetScreenSizeEdge(previousScreen_);
    SetShellExecuteEdge(previousShell_);
    SetMessageBeepEdge(previousBeep_);
    ClearKey();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    ResetFormatSettings();
    AppTest::TearDown();
  }
  static void ClearKey() {
    TRegistry registry;
    registry.DeleteKey("\\Software\\Quennix\\Hourlark");
  }
  // Makes the two windows; activate runs the first activation without showing them.
  void Make(bool activate = true) {
    main = app_->CreateForm<TformHourlark>();
    options = app_->CreateForm<TformOptions>();
    ConnectTrackerWindows(context, *main, *options);
    main->SetDataDir(folder);
    if (activate) {
      main->FormStorage->RestoreFromStore();
      main->FormActivate(main);
    }
  }
  // A fresh application with the windows made again, as at the next start.
  void Restart() {
    main = nullptr;
    options = nullptr;
    app_.reset();
    app_ = std::make_unique<TApplication>();
    Make();
  }
  std::string Panel(TStatusBar* bar, int index) { return bar->Panels()->Items(index)->Text(); }

  std::string folder;
  TformHourlark* main = nullptr;
  TformOptions* options = nullptr;
  TrackerContext context;

private:
  TMessageBeepEdge previousBeep_ = nullptr;
  TShellExecuteEdge previousShell_ = nullptr;
  TScreenSizeEdge previousScreen_ = nullptr;
  ClockFn previousClock_ = nullptr;
};

TEST_F(MainFormTest, FirstStartShowsTheDemoOnceAndSitsBottomRight) {
  Make();
  ASSERT_EQ(Shells().size(), 1u);
  EXPECT_NE(Shells()[0].find("hl2demo.exe"), std::string::npos);
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Quennix\\Hourlark", false));
  EXPECT_EQ(registry.ReadString("Version"), "2.02");
  main->FormActivate(main);
  EXPECT_EQ(Shells().size(), 1u);

  EXPECT_EQ(main->ClientWidth(), 132);
  EXPECT_EQ(main->ClientHeight(), 78);
  // No caption bar and no frame: the header strip stands in for them.
  EXPECT_EQ(GetWindowLongPtrA(main->Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_EQ(main->Width(), 132);
  EXPECT_EQ(main->Height(), 78);
  RECT client{};
  GetClientRect(main->Handle(), &client);
  EXPECT_EQ(client.right, 132);
  EXPECT_EQ(client.bottom, 78);
  EXPECT_EQ(main->Left() + main->Width(), 1024);
  // Just above the taskbar, and never below the work area.
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int bottom = std::min<int>(GetSystemMetrics(SM_CYMAXIMIZED), work.bottom + 8) - 8;
  EXPECT_EQ(main->Top() + main->Height(), bottom);
  EXPECT_LE(main->Top() + main->Height(), work.bottom);
  EXPECT_EQ(app_->Title(), "Hourlark 2.02");
  EXPECT_TRUE(main->pFormHourlark->Visible());
  EXPECT_FALSE(main->pFormCountDown->Visible());
  EXPECT_EQ(main->lServiceCaption->Caption(), main->LangText(25));

  Restart();
  EXPECT_EQ(Shells().size(), 1u);
}

TEST_F(MainFormTest, UserComesFromTheLoginOnlyWhenNoneIsStored) {
  char login[51] = {};
  DWORD size = 50;
  GetUserNameA(login, &size);
  Make();
  EXPECT_EQ(main->edUser->Text(), login);
  EXPECT_TRUE(main->btStart->Enabled());
  EXPECT_FALSE(main->btStop->Enabled());

  main->edUser->SetText("ann");
  main->mnHideClick(main);  // stores the settings
  Restart();
  EXPECT_EQ(main->edUser->Text(), "ann");
}

TEST_F(MainFormTest, KnownUsersComeFromTheWorkFileOncePerName) {
  TMemIniFile work(folder + "hl20work.txt");
  work.WriteString("ann\t2026_12_8", "total", "01:00:00");
  work.WriteString("ann\t2026_12_9", "total", "00:10:00");
  work.WriteString("bob\t2026_12_9", "total", "00:20:00");
  work.UpdateFile();
  Make(false);
  main->edUser->SetText("ann");
  main->FormActivate(main);
  EXPECT_EQ(main->slUsers->Strings()->Text(), "ann\r\nbob\r\n");
  // Today's total of the user is shown at once.
  EXPECT_EQ(Panel(main->StatusBar1, 1), "00:10:00");
}

TEST_F(MainFormTest, AutoStartOptionStartsTrackingAtFirstActivation) {
  Make(false);
  options->cbAutoStartTimer->SetChecked(true);
  options->cbAutoHide->SetChecked(false);
  options->FormStorage->SaveToStore();
  main->edUser->SetText("ann");
  main->FormActivate(main);
  EXPECT_TRUE(main->Engine().Tracking());
  EXPECT_FALSE(main->btStart->Enabled());
  EXPECT_TRUE(main->btStop->Enabled());
  EXPECT_TRUE(main->edUser->ReadOnly());
  main->btStop->Click();
  EXPECT_FALSE(main->Engine().Tracking());
  // Stop saved the day.
  TMemIniFile work(folder + "hl20work.txt");
  EXPECT_NE(work.ReadString("ann\t2026_12_9", "total", "<none>"), "<none>");
}

// Closing while the disk refuses the save: the user is told, and Retry saves once the disk
// takes it again, while Cancel closes without the time tracked since the last save.
TEST_F(MainFormTest, ASaveThatFailsAtClosingIsReportedAndCanBeRetried) {
  static std::vector<int> answers;
  static std::unique_ptr<FailingReplace> diskFull;
  static int asked = 0;
  const TMessageBoxEdge previous = SetMessageBoxEdge([](const std::string& text, const std::string& caption,
                                                        unsigned flags) {
    ++asked;
    EXPECT_EQ(caption, HourlarkCaption);
    EXPECT_EQ(flags & MB_TYPEMASK, static_cast<unsigned>(MB_RETRYCANCEL));
    EXPECT_NE(text.find("simulated failure"), std::string::npos) << text;
    const int answer = answers.empty() ? IDCANCEL : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    if (answer == IDRETRY) diskFull.reset();  // the user made room before answering
    return answer;
  });
  struct Case {
    int answer;
    bool saved;
  };
  for (const Case& c : {Case{IDRETRY, true}, Case{IDCANCEL, false}}) {
    SCOPED_TRACE(c.answer == IDRETRY ? "retry" : "cancel");
    DeleteFileA((folder + "hl20work.txt").c_str());
    Make();
    options->cbAutoHide->SetChecked(false);
    main->edUser->SetText("ann");
    main->btStart->Click();
    ASSERT_TRUE(main->Engine().Tracking());
    answers = {c.answer};
    asked = 0;
    diskFull = std::make_unique<FailingReplace>();
    bool canClose = false;
    main->FormCloseQuery(main, canClose);
    diskFull.reset();
    EXPECT_TRUE(canClose);
    EXPECT_EQ(asked, 1);
    TMemIniFile work(folder + "hl20work.txt");
    EXPECT_EQ(work.ReadString("ann\t2026_12_9", "total", "<none>") != "<none>", c.saved);
    main = nullptr;
    options = nullptr;
    app_.reset();
    app_ = std::make_unique<TApplication>();
  }
  SetMessageBoxEdge(previous);
}

// The sound of the screen-saver pause goes through the options dialog's player: its quoted
// name loses the quotes, and the dialog's Stop button, clicked with the mouse, stops and
// closes it. A real wave file on the real media interface (see the media player's tests
// for what a machine without a sound device shows).
TEST_F(MainFormTest, TheScreenSaverSoundPlaysThroughTheDialogAndItsStopButtonEndsIt) {
  Make();
  const std::string sound = folder + "saver sound.wav";
  WriteWaveFile(sound, 3000);
  options->cbAutoHide->SetChecked(false);
  options->edPlayScreenSaverActivate->SetText("\"" + sound + "\"");
  main->edUser->SetText("ann");
  main->btStart->Click();
  ASSERT_TRUE(main->Engine().Tracking());

  const int watch = ScreenSaverWatch();
  for (int tick = 0; tick < 2 && main->Engine().Tracking(); ++tick) {
    SetScreenSaverWatch(TActiveTaskState::ScreenSaverSeen);
    main->Engine().TimerTick();
  }
  SetScreenSaverWatch(watch);
  EXPECT_FALSE(main->Engine().Tracking());
  EXPECT_TRUE(main->Engine().StoppedBySaver());
  EXPECT_EQ(options->MediaPlayer->FileName(), sound);
  const unsigned device = options->MediaPlayer->DeviceID();
  EXPECT_NE(device, 0u) << "the saver's sound was not opened";

  // The General page's Stop button beside the saver's sound.
  options->Show();
  ASSERT_TRUE(PumpUntil([this] { return IsWindowVisible(options->Handle()) != FALSE; }));
  TControl* stop = options->SpeedButton2;
  ASSERT_TRUE(stop->Visible());
  ASSERT_TRUE(real_input::BringToForeground(options->Handle()));
  real_input::Click(stop->Parent()->Handle(),
                    POINT{stop->Left() + stop->Width() / 2, stop->Top() + stop->Height() / 2});
  EXPECT_TRUE(PumpUntil([this] { return options->MediaPlayer->DeviceID() == 0; }));
  options->Hide();
}

// The tray icon animates while tracking or counting down, through the eight frames kept by
// the hidden icon, or shows only the still picture when the option says so.
TEST_F(MainFormTest, TrayIconTakesItsFramesFromTheHiddenIcon) {
  Make();
  EXPECT_FALSE(main->KitTrayIconList->Active());
  EXPECT_FALSE(main->KitTrayIconList->Added());
  ASSERT_EQ(main->KitTrayIconList->Icons()->Count(), 8);
  ASSERT_FALSE(main->KitTrayIconList->Icon()->Empty());
  EXPECT_EQ(main->KitTray->Interval(), 500);
  EXPECT_EQ(main->KitTray->PopupMenu(), main->popMainMenu);
  EXPECT_FALSE(main->KitTray->Animated());

  options->cbAutoHide->SetChecked(false);
  options->cbAnimatedIcon->SetChecked(true);
  main->edUser->SetText("ann");
  main->btStart->Click();
  EXPECT_TRUE(main->KitTray->Animated());
  EXPECT_EQ(main->KitTray->Icons()->Count(), 8);
  options->cbAnimatedIcon->SetChecked(false);
  main->UpdateTrayIcons();
  ASSERT_EQ(main->KitTray->Icons()->Count(), 1);
  EXPECT_FALSE(main->KitTray->Icons()->Get(0)->Empty());
  main->btStop->Click();
  EXPECT_FALSE(main->KitTray->Animated());

  // The countdown alone animates the icon too.
  options->cbAnimatedIcon->SetChecked(true);
  main->edTimeCountDown->SetText("5");
  main->btCountDownStart->Click();
  EXPECT_TRUE(main->KitTray->Animated());
  EXPECT_EQ(main->KitTray->Icons()->Count(), 8);
  main->btCountDownStop->Click();
  EXPECT_FALSE(main->KitTray->Animated());
}

// The base language file holds the window's own texts, never the user's data.
TEST_F(MainFormTest, WindowTextsAreCollectedWithoutTheUsersData) {
  std::vector<TLangFormClass> forms;
  for (const TLangFormClass& form : RegisteredLangForms())
    if (form.Name == "TformHourlark") forms.push_back(form);
  ASSERT_EQ(forms.size(), 1u);
  // A form made with a user name in it, as after a start with a login.
  forms[0].Create = [](TComponent* owner) {
    auto* form = new TformHourlark(owner);
    form->edUser->SetText("ann");
    form->edLang->SetText("Testish");
    form->edCountDownComment->SetCaption("tea");
    return form;
  };
  CollectBaseLanguage(folder, {{25, "Hourlark"}}, forms, DEFAULT_CHARSET);
  {
    TLingroveLangFile native(folder + "native.lng");
    auto textOf = [&](const std::string& path) {
      TLingroveLangStr* entry = native.Find("formHourlark", path);
      return entry == nullptr ? std::string("-") : entry->GetText();
    };
    EXPECT_EQ(textOf("mnRestore.Caption"), "Restore");
    EXPECT_EQ(textOf("mnQuickDemo.Caption"), "Quick Demo");
    EXPECT_EQ(textOf("btStart.Caption"), "Start");
    EXPECT_EQ(textOf("SpeedButton2.Hint"), "Alarm");
    EXPECT_EQ(textOf("edUser.Text"), "-");
    EXPECT_EQ(textOf("edLang.Text"), "-");
    EXPECT_EQ(textOf("edCountDownComment.Caption"), "-");
  }
  LangFinalize();
}

TEST_F(MainFormTest, TypingChoosesTheCountdownMode) {
  Make();
  main->edTimeCountDown->SetText("15");
  EXPECT_TRUE(main->btCountDownStart->Enabled());
  main->edTimeAlarmHour->SetText("7");
  EXPECT_EQ(main->edTimeCountDown->Text(), "");
  EXPECT_FALSE(main->btCountDownStart->Enabled());
  main->edTimeAlarmMinute->SetText("5");
  EXPECT_TRUE(main->btCountDownStart->Enabled());
  main->popMainMenuPopup(main->popMainMenu);
  EXPECT_EQ(main->mnCountDownTime->Caption(), "Alarm at: 07:05");
  main->edTimeCountDown->SetText("3");
  EXPECT_EQ(main->edTimeAlarmHour->Text(), "");
  EXPECT_EQ(main->edTimeAlarmMinute->Text(), "");
}

TEST_F(MainFormTest, OutOfRangeEntriesBeepAndStartNothing) {
  Make();
  options->cbAutoHide->SetChecked(false);
  main->edTimeCountDown->SetText("256");
  main->btCountDownStart->Click();
  EXPECT_EQ(Beeps(), std::vector<unsigned>{MB_ICONHAND});
  EXPECT_FALSE(main->Countdown().Running());
  EXPECT_EQ(main->edTimeCountDown->Text(), "256");
  main->edTimeAlarmHour->SetText("24");
  main->edTimeAlarmMinute->SetText("00");
  main->btCountDownStart->Click();
  EXPECT_EQ(Beeps().size(), 2u);
  EXPECT_FALSE(main->TimerCountDown->Enabled());
}

TEST_F(MainFormTest, AlarmAtTheCurrentMinuteIsSetForTomorrow) {
  Make();
  options->cbAutoHide->SetChecked(false);
  main->edTimeAlarmHour->SetText("10");
  main->edTimeAlarmMinute->SetText("15");
  main->btCountDownStart->Click();
  ASSERT_TRUE(main->Countdown().Running());
  EXPECT_DOUBLE_EQ(main->Countdown().Target(), EncodeDate(2026, 12, 10) + EncodeTime(10, 15, 0, 0));
  EXPECT_TRUE(main->edTimeAlarmHour->ReadOnly());
  EXPECT_FALSE(main->btInputComment->Enabled());
  EXPECT_TRUE(main->btCountDownStop->Enabled());
  main->btCountDownStop->Click();
  EXPECT_FALSE(main->Countdown().Running());
  EXPECT_FALSE(main->edTimeAlarmHour->ReadOnly());
}

TEST_F(MainFormTest, CountdownExpiresBlinksAndStops) {
  Make();
  options->cbAutoHide->SetChecked(false);
  main->edCountDownComment->SetCaption("tea");
  main->edTimeCountDown->SetText("1");
  main->btCountDownStart->Click();
  ASSERT_TRUE(main->TimerCountDown->Enabled());
  EXPECT_EQ(main->TimerCountDown->Interval(), 1000u);
  EXPECT_EQ(Panel(main->StatusBar2, 0), "tea");

  pinnedNow += 1.0 / SecsPerDay;
  main->TimerCountDownTimer(main->TimerCountDown);
  EXPECT_EQ(Panel(main->StatusBar2, 1), "00:00:59");
  EXPECT_EQ(main->KitTray->Hint(), "    tea 00:00:59");

  pinnedNow += 60.0 / SecsPerDay;
  main->TimerCountDownTimer(main->TimerCountDown);
  EXPECT_FALSE(main->Countdown().Running());
  EXPECT_TRUE(main->TimerCountDown->Enabled());
  EXPECT_EQ(main->TimerCountDown->Interval(), 600u);
  EXPECT_EQ(Panel(main->StatusBar2, 0), main->LangText(27));
  EXPECT_TRUE(main->Visible());
  // The tray hint no longer shows the countdown.
  EXPECT_EQ(main->KitTray->Hint(), main->RestingHint());

  main->TimerCountDownTimer(main->TimerCountDown);
  EXPECT_TRUE(main->pFormCountDown->Visible());
  EXPECT_TRUE(main->StatusBar2->SimplePanel());
  EXPECT_EQ(main->StatusBar2->SimpleText(), "tea");
  main->TimerCountDownTimer(main->TimerCountDown);
  EXPECT_EQ(main->StatusBar2->SimpleText(), "");
  EXPECT_EQ(Beeps(), (std::vector<unsigned>{0xFFFFFFFF, 0xFFFFFFFF}));

  main->btCountDownStop->Click();
  EXPECT_FALSE(main->TimerCountDown->Enabled());
  EXPECT_FALSE(main->StatusBar2->SimplePanel());
  EXPECT_EQ(Panel(main->StatusBar2, 1), main->LangText(30));
}

TEST_F(MainFormTest, ServiceAndCountdownSettingsComeBack) {
  Make();
  main->mnServiceCountDown->Click();
  main->edTimeCountDown->SetText("12");
  main->edCountDownComment->SetCaption("tea");
  main->slCountDownComment->Strings()->Add("tea");
  main->edUser->SetText("bob");
  main->mnHideClick(main);
  EXPECT_TRUE(main->mnRestore->Default());
  Restart();
  EXPECT_TRUE(main->mnServiceCountDown->Checked());
  EXPECT_TRUE(main->pFormCountDown->Visible());
  EXPECT_EQ(main->lServiceCaption->Caption(), main->LangText(26));
  EXPECT_EQ(main->edTimeCountDown->Text(), "12");
  EXPECT_EQ(main->Comment(), "tea");
  EXPECT_EQ(main->slCountDownComment->Strings()->Text(), "tea\r\n");
  EXPECT_EQ(main->edUser->Text(), "bob");
  EXPECT_TRUE(main->btCountDownStart->Enabled());
}

// A language file beside the program: chosen from the menu it translates the window's texts,
// and it is chosen again at the next start.
TEST_F(MainFormTest, ChosenLanguageTranslatesAndComesBack) {
  const std::string lang = ExtractFilePath(app_->ExeName()) + "Testish.lng";
  {
    TLingroveLangFileEdit file(lang);
    file.AddString(25, "Stundenlerche", 0);
    file.AddString(28, "Los", 0);
    // The window's own texts, and one over the user's name that must not take.
    file.AddKeyedString(200, "formHourlark", "mnRestore.Caption", 0, "Zurueck");
    file.AddKeyedString(201, "formHourlark", "edUser.Text", 0, "niemand");
    file.Save();
  }
  // The language list is read when the language folder is set.
  LangFinalize();
  Make();
  TMenuItem* item = main->mnLanguages->Items(0);
  ASSERT_EQ(item->Caption(), "Testish");
  EXPECT_TRUE(item->RadioItem());
  item->Click();
  EXPECT_EQ(main->edLang->Text(), "Testish");
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(main->LangText(25), "Stundenlerche");
  EXPECT_EQ(main->btStart->Caption(), "Los");
  EXPECT_EQ(main->mnCountDownStart->Caption(), "Los");
  EXPECT_EQ(main->lServiceCaption->Caption(), "Stundenlerche");
  EXPECT_EQ(main->mnRestore->Caption(), "Zurueck");
  char login[51] = {};
  DWORD size = 50;
  GetUserNameA(login, &size);
  EXPECT_EQ(main->edUser->Text(), login);
  // A text the file does not have stays the window's own.
  EXPECT_EQ(main->btStop->Caption(), "Stop");
  main->mnHideClick(main);
  Restart();
  EXPECT_EQ(main->btStart->Caption(), "Los");
  main = nullptr;
  options = nullptr;
  app_.reset();
  LangFinalize();
  DeleteFileA(lang.c_str());
}

// A Cyrillic language file chosen on a Western system: the options dialog's buttons, check
// boxes, page list and status bar hold its letters, not the system code page's guess at them.
TEST_F(MainFormTest, ACyrillicLanguageShowsItsOwnLettersOnAnotherSystem) {
  if (GetACP() == 1251) GTEST_SKIP() << "the system's own code page is the language's";
  const std::string lang = ExtractFilePath(app_->ExeName()) + "Cyrillish.lng";
  struct Text {
    const char* key;
    const char* bytes;
    const wchar_t* wide;
  };
  const Text ok{"btOK.Caption", "\xCE\xCA", L"\x041E\x041A"};
  const Text start{"cbAutoStart.Caption", "\xC7\xE0\xEF\xF3\xF1\xEA", L"\x0417\x0430\x043F\x0443\x0441\x043A"};
  const Text page{"ListView.Items.Item0.Caption", "\xCE\xE1\xF9\xE8\xE5", L"\x041E\x0431\x0449\x0438\x0435"};
  {
    TLingroveLangFileEdit file(lang);
    file.SetFontCharset(RUSSIAN_CHARSET);
    uint16_t ident = 200;
    for (const Text& text : {ok, start, page}) file.AddKeyedString(ident++, "formOptions", text.key, 0, text.bytes);
    file.Save();
  }
  LangFinalize();
  Make();
  for (int i = 0; i < main->mnLanguages->Count(); ++i)
    if (main->mnLanguages->Items(i)->Caption() == "Cyrillish") main->mnLanguages->Items(i)->Click();
  ASSERT_EQ(main->edLang->Text(), "Cyrillish");
  options->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(options->Handle()) != FALSE; }));
  options->ListView->SetSelected(options->ListView->Items()->Items(0));
  real_input::SettlePainted();

  auto held = [](HWND window) {
    wchar_t text[64] = {};
    InternalGetWindowText(window, text, 64);
    return std::wstring(text);
  };
  EXPECT_EQ(held(options->btOK->Handle()), ok.wide);
  EXPECT_EQ(held(options->cbAutoStart->Handle()), start.wide);
  wchar_t text[64] = {};
  LVITEMW row{};
  row.pszText = text;
  row.cchTextMax = 64;
  SendMessageW(options->ListView->Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(std::wstring(text), page.wide);
  SendMessageW(options->StatusBar->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  // (after the tabs that centre it)
  EXPECT_EQ(std::wstring(text).substr(std::wstring(text).find_first_not_of(L'\t')), page.wide);
  // The objects keep the file's bytes.
  EXPECT_EQ(options->btOK->Caption(), ok.bytes);
  EXPECT_EQ(options->cbAutoStart->Caption(), start.bytes);
  EXPECT_TRUE(window_test::Screenshot("cyrillic-options.png"));
  main = nullptr;
  options = nullptr;
  app_.reset();
  LangFinalize();
  DeleteFileA(lang.c_str());
}

// Where each windowed control of a form shows on the screen, for those placed by the form
// and its panels and group boxes alone (a mirrored form mirrors just those).
std::vector<std::pair<TWinControl*, RECT>> PlacedControls(TCustomForm* form) {
  std::vector<std::pair<TWinControl*, RECT>> placed;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(form->Components(i));
    if (control == nullptr || !control->HandleAllocated() || !IsWindowVisible(control->Handle())) continue;
    bool byContainers = true;
    for (TWinControl* p = control->Parent(); p != nullptr && p != form; p = p->Parent())
      byContainers = byContainers && (dynamic_cast<TPanel*>(p) != nullptr || dynamic_cast<TGroupBox*>(p) != nullptr);
    if (!byContainers) continue;
    RECT r{};
    GetWindowRect(control->Handle(), &r);
    placed.emplace_back(control, r);
  }
  return placed;
}

RECT ClientOnScreen(TCustomForm* form) {
  RECT r{};
  GetClientRect(form->Handle(), &r);
  MapWindowPoints(form->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A language written right to left: the main window, the options dialog and the statistics
// window are mirrored and read right to left; a language written left to right puts every
// control back where it was.
TEST_F(MainFormTest, RightToLeftLanguageMirrorsTheWindowsAndLeftToRightRestoresThem) {
  const std::string dir = ExtractFilePath(app_->ExeName());
  {
    TLingroveLangFileEdit rtl(dir + "Mirrorish.lng");
    rtl.SetTextDirection(bdRightToLeft);
    rtl.AddString(28, "Los", 0);
    rtl.Save();
    TLingroveLangFileEdit ltr(dir + "Leftish.lng");
    ltr.AddString(28, "Go", 0);
    ltr.Save();
  }
  LangFinalize();
  Make();
  TStringList tasks;
  auto* stats = new TformStatistic(app_.get());
  stats->SetSettling(true);
  stats->SetSources(&tasks, folder + "hl20work.txt", options);
  stats->FormStorage->RestoreFromStore();
  stats->SetBounds(20, 20, stats->Width(), stats->Height());
  main->Show();
  options->Show();
  stats->Show();
  TCustomForm* const forms[] = {main, options, stats};
  const char* const names[] = {"main", "options", "statistics"};
  ASSERT_TRUE(PumpUntil([&] {
    return IsWindowVisible(main->Handle()) && IsWindowVisible(options->Handle()) && IsWindowVisible(stats->Handle());
  }));
  real_input::Settle();
  std::vector<std::pair<TWinControl*, RECT>> before[3];
  RECT clientBefore[3];
  for (int f = 0; f < 3; ++f) {
    before[f] = PlacedControls(forms[f]);
    clientBefore[f] = ClientOnScreen(forms[f]);
    EXPECT_GT(before[f].size(), 2u) << names[f];
  }
  auto pick = [&](const std::string& caption) {
    for (int i = 0; i < main->mnLanguages->Count(); ++i)
      if (main->mnLanguages->Items(i)->Caption() == caption) return main->mnLanguages->Items(i);
    return static_cast<TMenuItem*>(nullptr);
  };
  ASSERT_NE(pick("Mirrorish"), nullptr);
  ASSERT_NE(pick("Leftish"), nullptr);

  pick("Mirrorish")->Click();
  EXPECT_TRUE(PumpUntil([&] { return main->btStart->Caption() == "Los"; }));
  real_input::Settle();
  for (int f = 0; f < 3; ++f) {
    TCustomForm* form = forms[f];
    EXPECT_EQ(form->BiDiMode(), bdRightToLeft) << names[f];
    EXPECT_NE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << names[f];
    const RECT client = ClientOnScreen(form);
    for (const auto& [control, was] : before[f]) {
      ASSERT_TRUE(control->HandleAllocated()) << control->Name();
      EXPECT_EQ(control->BiDiMode(), bdRightToLeft) << control->Name();
      const LONG_PTR ex = GetWindowLongPtrA(control->Handle(), GWL_EXSTYLE);
      EXPECT_NE(ex & WS_EX_RTLREADING, 0) << control->Name();
      RECT now{};
      GetWindowRect(control->Handle(), &now);
      // As far from the right edge as it was from the left.
      EXPECT_EQ(client.right - now.right, was.left - clientBefore[f].left) << names[f] << " " << control->Name();
      EXPECT_EQ(now.top, was.top) << control->Name();
    }
  }
  auto look = [&](const std::string& state) {
    for (int f = 0; f < 3; ++f) {
      SetWindowPos(forms[f]->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      real_input::SettlePainted();
      EXPECT_TRUE(window_test::Screenshot("rtl-" + state + "-" + names[f] + ".png")) << names[f];
    }
  };
  look("mirrored");

  pick("Leftish")->Click();
  EXPECT_TRUE(PumpUntil([&] { return main->btStart->Caption() == "Go"; }));
  real_input::Settle();
  for (int f = 0; f < 3; ++f) {
    EXPECT_EQ(GetWindowLongPtrA(forms[f]->Handle(), GWL_EXSTYLE) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING), 0) << names[f];
    for (const auto& [control, was] : before[f]) {
      RECT now{};
      GetWindowRect(control->Handle(), &now);
      EXPECT_TRUE(EqualRect(&now, &was)) << names[f] << " " << control->Name();
      EXPECT_EQ(GetWindowLongPtrA(control->Handle(), GWL_EXSTYLE) & (WS_EX_RTLREADING | WS_EX_RIGHT), 0)
          << control->Name();
    }
  }
  look("restored");
  delete stats;
  main = nullptr;
  options = nullptr;
  app_.reset();
  LangFinalize();
  DeleteFileA((dir + "Mirrorish.lng").c_str());
  DeleteFileA((dir + "Leftish.lng").c_str());
}

// A damaged language file picked in the tray menu still becomes the current language: its
// item is the one checked, its name is what is stored, the window's texts fall back to the
// base texts, and the user hears of the file once.
TEST_F(MainFormTest, DamagedLanguagePickedInTheMenuBecomesCurrentAndIsReportedOnce) {
  const std::string dir = ExtractFilePath(app_->ExeName());
  {
    TLingroveLangFileEdit file(dir + "Testish.lng");
    file.AddString(28, "Los", 0);
    file.Save();
    TFileStream broken(dir + "Broken.lng", fmCreate);
    broken.WriteBuffer("XX this is no language file", 27);
  }
  LangFinalize();
  Make();
  TMenuItem* testish = nullptr;
  TMenuItem* broken = nullptr;
  int brokenIndex = -1;
  for (int i = 0; i < main->mnLanguages->Count(); ++i) {
    TMenuItem* item = main->mnLanguages->Items(i);
    if (item->Caption() == "Testish") testish = item;
    if (item->Caption() == "Broken") {
      broken = item;
      brokenIndex = i;
    }
  }
  ASSERT_NE(testish, nullptr);
  ASSERT_NE(broken, nullptr);
  testish->Click();
  ASSERT_EQ(main->btStart->Caption(), "Los");

  main->Show();
  SetForegroundWindow(main->Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main->Handle(); }));
  Boxes().clear();
  // From the bottom of the tray menu: Help, its Languages submenu, then down to the file.
  real_input::QueueKeys({VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RIGHT});
  for (int i = 0; i < brokenIndex; ++i) real_input::QueueKeys({VK_DOWN});
  real_input::QueueKeys({VK_RETURN});
  main->popMainMenu->Popup(main->Left(), main->Top());
  ASSERT_TRUE(PumpUntil([&] { return !Boxes().empty(); }));
  real_input::Settle();  // the rest of the queued keys, and a second box if one came

  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("Not a language file"), std::string::npos) << Boxes()[0];
  EXPECT_EQ(CurrentLanguage(), "Broken");
  EXPECT_TRUE(broken->Checked());
  EXPECT_FALSE(testish->Checked());
  EXPECT_EQ(main->edLang->Text(), "Broken");
  EXPECT_EQ(main->LangText(28), "Start");
  EXPECT_EQ(main->btStart->Caption(), "Start");
  EXPECT_EQ(main->mnStart->Caption(), "Start");

  main = nullptr;
  options = nullptr;
  app_.reset();
  LangFinalize();
  DeleteFileA((dir + "Testish.lng").c_str());
  DeleteFileA((dir + "Broken.lng").c_str());
}

}  // namespace

// Tab in the window reaches only what the user sees: the user's name alone while tracking is
// shown, the alarm and countdown times on the countdown service; never the focus holder or
// the language name kept off the visible area.
TEST_F(MainFormTest, TabGoesRoundTheVisibleEditsOfTheServiceShown) {
  Make();
  main->Show();
  ASSERT_TRUE(real_input::BringToForeground(main->Handle()));
  real_input::ExpectTabOrder({main->edUser}, "tracking");
  main->mnServiceCountDown->Click();
  ASSERT_TRUE(main->pFormCountDown->Visible());
  real_input::ExpectTabOrder({main->edTimeAlarmHour, main->edTimeAlarmMinute, main->edTimeCountDown}, "countdown");
  main->Hide();
}
