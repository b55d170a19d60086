// Every window of the tracker at the screen's resolution, left to right and right to left,
// in the native language and in a longer one made from it: each is whole and readable (see
// text_fit.h). These tests run with the other window tests at 96 pixels per inch, and again in
// prefixes of their own at 120 and 144 (tests/screen_scaling.sh), where each window leaves a
// picture of itself (dpi<N>-<setting>-<window>.png beside the test program) for a person to
// look at.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/win/edit_form.h"
#include "app/win/global_form.h"
#include "app/win/input_strings_form.h"
#include "app/win/lingrove_info_form.h"
#include "app/win/main_form.h"
#include "app/win/message_form.h"
#include "app/win/options_form.h"
#include "app/win/statistic_form.h"
#include "app/win/tracker_context.h"
#include "app/win/wait_form.h"
#include "app/collector/base_messages.h"
#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "lang/win/lang_collector.h"
#include "kit/str_holder.h"
#include "platform/rtl/date_time.h"
#include "platform/report/win/report_preview.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/registry.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/text_fit.h"

namespace {

using window_test::After;

int Dpi() { return Screen->PixelsPerInch(); }
int AtDpi(int pixels) { return MulDiv(pixels, Dpi(), 96); }

TDateTime pinnedNow = 0;
TDateTime PinnedClock() { return pinnedNow; }

// A setting the windows are looked at in: the language current while they are made.
struct Setting {
  const char* name;
  const char* language;  // a language file written by MakeLanguages, or "native"
};

void PrintTo(const Setting& setting, std::ostream* out) { *out << setting.name; }

const Setting kSettings[] = {{"ltr", "native"}, {"rtl", "Mirror"}, {"pseudo", "Pseudo"}, {"pseudo_rtl", "PseudoRtl"}};

// The language a setting makes current. Its file is named for this process: another test
// program may be writing its own beside the test programs at the same time.
std::string LanguageOf(const Setting& setting) {
  const std::string name = setting.language;
  return name == "native" ? name : name + std::to_string(GetCurrentProcessId());
}

// native.lng collected from every form of the tracker (into collectDir), and from it in dir
// the languages of the settings: the same texts right to left, and the pseudo-translation of
// every text in both directions. dir becomes the language folder.
void MakeLanguages(const std::string& collectDir, const std::string& dir) {
  CollectBaseLanguage(collectDir, BaseMessageTexts(), RegisteredLangForms(), DEFAULT_CHARSET);
  CloseNativeEdit();
  for (const Setting& setting : kSettings) {
    const std::string name = setting.language;
    if (name == "native") continue;
    const std::string path = dir + LanguageOf(setting) + ".lng";
    ASSERT_TRUE(CopyFileA((collectDir + "native.lng").c_str(), path.c_str(), FALSE));
    TLingroveLangFileEdit file(path);
    file.SetFlag(lfNative, false);
    file.SetTextDirection(name.find("Rtl") != std::string::npos || name == "Mirror" ? bdRightToLeft : bdLeftToRight);
    if (name != "Mirror") {
      for (int i = 0; i < file.GetCount(); ++i) {
        TLingroveLangStr* entry = file.GetItem(i);
        const uint16_t ident = entry->GetIdent(), font = entry->GetFontIndex();
        file.SetString(ident, text_fit::Pseudo(entry->GetText()).substr(0, 255), font);
      }
    }
    file.Save();
  }
  AppLanguage()->SetLangDir(dir);
}

class ScreenScaling : public AppTest, public ::testing::WithParamInterface<Setting> {
protected:
  void SetUp() override {
    AppTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "hlscale" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    // The tracker's main window takes its languages from beside the program.
    languageDir_ = ExtractFilePath(Application->ExeName());
    MakeLanguages(folder_, languageDir_);
    SetLanguage(LanguageOf(GetParam()));
    if (text_fit::ExpectedDpi() != 0) {
      ASSERT_EQ(Dpi(), text_fit::ExpectedDpi());
    }
    FormatSettings() = DefaultFormatSettings();
    ClearKey();
    pinnedNow = EncodeDate(2026, 12, 9) + EncodeTime(10, 15, 20, 0);
    previousClock_ = SetClock(&PinnedClock);
    tasks_ = new TStrHolder(Application);
    tasks_->SetSorted(true);
    tasks_->SetDuplicates(dupAccept);
    tasks_->Strings()->SetText("c:\\apps\\editor.exe\tEditor\t1\r\nc:\\apps\\game.exe\tGame\t3\r\n");
    formGlobal = Application->CreateForm<TformGlobal>();
    formGlobal->SetTaskList(tasks_);
  }
  void TearDown() override {
    window_test::DropPending();
    app_.reset();
    formGlobal = nullptr;
    SetClock(previousClock_);
    ClearKey();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ResetFormatSettings();
    AppTest::TearDown();
    LangFinalize();
    for (const Setting& setting : kSettings)
      if (LanguageOf(setting) != "native") DeleteFileA((languageDir_ + LanguageOf(setting) + ".lng").c_str());
  }
  static void ClearKey() {
    TRegistry registry;
    registry.DeleteKey(std::string("\\") + HourlarkRegistryKey);
  }
  TformOptions* MakeOptions() {
    auto* options = new TformOptions(Application);
    context_.TaskList = tasks_;
    context_.DataDir = folder_;
    options->SetContext(&context_);
    if (formEdit == nullptr) formEdit = Application->CreateForm<TformEdit>();
    return options;
  }
  // The window as it shows now: whole and readable, and its picture is left for looking at.
  void Look(TWinControl* window, const std::string& name) {
    real_input::SettlePainted();
    EXPECT_EQ(text_fit::Verdict(window, name, GetParam().name), "") << name;
    EXPECT_TRUE(window_test::Screenshot("dpi" + std::to_string(Dpi()) + "-" + GetParam().name + "-" + name + ".png"))
        << name;
  }

  std::string languageDir_;
  std::string folder_;
  TStrHolder* tasks_ = nullptr;
  TrackerContext context_;

private:
  ClockFn previousClock_ = nullptr;
};

}  // namespace

TEST_P(ScreenScaling, MainWindowFitsBothServices) {
  auto* main = Application->CreateForm<TformHourlark>();
  ConnectTrackerWindows(context_, *main, *MakeOptions());
  main->SetDataDir(folder_);
  main->FormStorage->RestoreFromStore();
  main->FormActivate(main);
  main->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(main->Handle()) != FALSE; }));
  // Wider only where a caption needs it.
  EXPECT_GE(main->ClientWidth(), AtDpi(132));
  EXPECT_EQ(main->ClientHeight(), AtDpi(78));
  Look(main, "main-tracker");
  main->mnServiceCountDown->Click();
  Look(main, "main-countdown");
}

TEST_P(ScreenScaling, OptionsDialogFitsEveryPage) {
  TformOptions* options = MakeOptions();
  bool done = false;
  After(100, [&] {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(options->Handle()) != FALSE; }));
    const char* names[] = {"options-general", "options-shedule", "options-tasks", "options-about"};
    for (int page = 0; page < 4; ++page) {
      options->ListView->SetSelected(options->ListView->Items()->Items(page));
      Look(options, names[page]);
    }
    options->btCancel->Click();
    done = true;
  });
  After(60000, [options] {
    if (options->Visible()) options->SetModalResult(mrAbort);
  });
  EXPECT_EQ(options->ShowModal(), mrCancel);
  EXPECT_TRUE(done);
}

TEST_P(ScreenScaling, StatisticsWindowFitsEveryPage) {
  auto* form = new TformStatistic(Application);
  form->SetSettling(true);
  form->SetSources(tasks_->Strings(), folder_ + "hl20work.txt", nullptr);
  form->FormStorage->RestoreFromStore();
  form->cbUser->Items()->Add("ann");
  form->cbUser->SetItemIndex(0);
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  TKitSpeedButton* const pages[] = {form->btPage0, form->btPage1, form->btPage2};
  const char* names[] = {"statistics-week", "statistics-chart", "statistics-detail"};
  for (int page = 0; page < 3; ++page) {
    pages[page]->SetDown(true);
    pages[page]->Click();
    Look(form, names[page]);
  }
  // The week table's print preview, a window of its own.
  pages[0]->SetDown(true);
  pages[0]->Click();
  bool previewed = false;
  After(300, [&] {
    auto* preview = dynamic_cast<TReportPreview*>(Screen->ActiveForm());
    ASSERT_NE(preview, nullptr);
    Look(preview, "statistics-preview");
    previewed = true;
    preview->SetModalResult(mrCancel);
  });
  After(30000, [] {
    if (auto* preview = dynamic_cast<TReportPreview*>(Screen->ActiveForm())) preview->SetModalResult(mrAbort);
  });
  form->btPrint->Click();
  EXPECT_TRUE(previewed);
  delete form;
}

TEST_P(ScreenScaling, SmallDialogsFitTheirTexts) {
  auto* main = Application->CreateForm<TForm>();
  main->SetBorderStyle(bsNone);
  main->SetBounds(700, 400, 320, 200);
  main->Show();

  auto* picker = new TformInputStrings(Application);
  TStringList users;
  users.SetText("anna\r\nbob\r\n");
  picker->Prepare("Choose User", &users, true);
  picker->Show();
  Look(picker, "user-picker");
  picker->Hide();

  auto* reminder = new TFormMessage(Application);
  reminder->ShowMessageWindow("Time for a break: you have worked an hour.", "Hourlark");
  Look(reminder, "reminder");
  reminder->Hide();

  auto* wait = new TformWait(Application);
  wait->lInfo->SetCaption("Adding up the week...");
  wait->Show();
  Look(wait, "wait");
  wait->Hide();

  if (formEdit == nullptr) formEdit = Application->CreateForm<TformEdit>();
  formEdit->Show();
  Look(formEdit, "group-editor");
  formEdit->Hide();

  auto* info = new TformLingroveInfo(Application);
  info->Show();
  Look(info, "language-info");
  info->Hide();
}

INSTANTIATE_TEST_SUITE_P(Settings, ScreenScaling, ::testing::ValuesIn(kSettings),
                         [](const ::testing::TestParamInfo<Setting>& info) { return std::string(info.param.name); });
