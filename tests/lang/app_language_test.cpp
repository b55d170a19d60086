#include "lang/app_language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lang/lang_file_edit.h"
#include "platform/rtl/language_texts.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "tests/lang/lang_file_test_util.h"

namespace {

std::vector<bool>& BusyCalls() {
  static std::vector<bool> calls;
  return calls;
}
void RecordBusy(bool busy) { BusyCalls().push_back(busy); }

// A form's translator that writes down each translation.
class FakeTranslator : public TLangFormTranslator {
public:
  FakeTranslator(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {
    RegisterTranslator(this);
  }
  ~FakeTranslator() override {
    UnregisterTranslator(this);
    log_.push_back(name_ + " gone");
  }
  void Translate() override {
    log_.push_back(name_ + ":" + CurrentLanguage());
    if (during) during();
    if (fail) throw Exception(name_ + " failed");
  }
  std::function<void()> during;
  bool fail = false;

private:
  std::vector<std::string>& log_;
  std::string name_;
};

class AppLanguageTest : public LangFileTest {
protected:
  void SetUp() override {
    LangFileTest::SetUp();
    BusyCalls().clear();
    previousHook_ = SetLangBusyHook(&RecordBusy);
    dirText_ = dir_.string() + "/";
  }
  void TearDown() override {
    LangFinalize();
    SetLangBusyHook(previousHook_);
    LangFileTest::TearDown();
  }

  void WriteLang(const std::string& name, const std::vector<std::pair<uint16_t, std::string>>& entries,
                 uint8_t charset = 0) {
    std::filesystem::remove(PathOf(name));
    TLingroveLangFileEdit file(PathOf(name));
    file.SetFontCharset(charset);
    for (const auto& [ident, text] : entries) file.AddString(ident, text, 0);
    file.Save();
  }
  // Native.lng and german.lng, the language directory set to the test folder.
  void WriteTwoLanguages() {
    WriteLang("Native.lng", {{25, "Start"}, {26, "Stop"}, {27, "Native only"}, {28, "Pause"}});
    WriteLang("german.lng", {{25, "Beginnen"}, {26, ""}});
    AppLanguage()->SetLangDir(dirText_);
  }

  std::string dirText_;
  TLangBusyHook previousHook_ = nullptr;
};

}  // namespace

TEST_F(AppLanguageTest, LangDirResolvesAgainstTheBaseDirectory) {
  TLingroveAppLanguage* app = AppLanguage();
  app->SetBaseDir("C:\\base");
  EXPECT_EQ("C:\\base\\", ResolvedLangDir());  // before any LangDir
  app->SetLangDir("Lang");
  EXPECT_EQ("C:\\base\\Lang\\", ResolvedLangDir());
  EXPECT_EQ("Lang", app->LangDir());
  app->SetLangDir("D:\\tracker\\lang");
  EXPECT_EQ("D:\\tracker\\lang\\", ResolvedLangDir());
  app->SetLangDir("\\\\server\\share\\lang\\");
  EXPECT_EQ("\\\\server\\share\\lang\\", ResolvedLangDir());
  app->SetLangDir("\\lang");
  EXPECT_EQ("C:\\lang\\", ResolvedLangDir());
  app->SetLangDir("");
  EXPECT_EQ("C:\\base\\", ResolvedLangDir());
  app->SetBaseDir("\\\\server\\share\\app");
  app->SetLangDir("\\lang");
  EXPECT_EQ("\\\\server\\share\\lang\\", ResolvedLangDir());

  // Each new value loads the current file once; the same value again does nothing.
  BusyCalls().clear();
  app->SetLangDir("Other");
  app->SetLangDir("Other");
  EXPECT_EQ((std::vector<bool>{true, false}), BusyCalls());
}

TEST_F(AppLanguageTest, TextsFallBackToTheBaseFileAndThenToUndefined) {
  WriteTwoLanguages();
  // Entry 28 of german.lng is marked "do not translate" (hand-built: a writer drops its text).
  Bytes b;
  b.Raw("LF3.10").U8(0).U8(0).U8(0).Zeros(10).U8(0).U32(0).Zeros(20).U16(0).U16(0);
  b.U16(3).U8(0).U16(25).U32(0).U16(0).U8(0).U16(26).U32(9).U16(0).U8(1).U16(28).U32(10).U16(0);
  b.Raw(std::string("Beginnen\0\0Marked\0", 17));
  WriteBytes("german.lng", b.b);

  SetLanguage("german");
  EXPECT_EQ("Beginnen", GetLangString(25));
  EXPECT_EQ("", GetLangString(26));  // an empty translation is a translation
  EXPECT_EQ("Native only", GetLangString(27));
  EXPECT_EQ("Pause", GetLangString(28));
  EXPECT_EQ(kUndefinedLangString, GetLangString(99));
  EXPECT_EQ("Beginnen", AppLanguage()->GetLangString(25));

  // No base file in the directory: nothing is created, the texts are undefined.
  SetLanguage("Native");
  AppLanguage()->SetLangDir(dirText_ + "missing/");
  EXPECT_EQ(kUndefinedLangString, GetLangString(25));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(AppLanguageTest, LanguageListNamesEveryLngEntryOfTheDirectory) {
  WriteLang("german.lng", {{25, "Beginnen"}});
  WriteLang("Native.lng", {{25, "Start"}});
  WriteLang("en.us.lng", {});
  WriteBytes("notes.txt", "x");
  std::filesystem::create_directory(dir_ / "old.lng");
  AppLanguage()->SetLangDir(dirText_);

  TStrings* list = AppLanguage()->Languages();
  std::vector<std::string> names;
  for (int i = 0; i < list->Count(); ++i) names.push_back(list->Strings(i));
  std::sort(names.begin(), names.end());  // the directory's order is the system's
  EXPECT_EQ((std::vector<std::string>{"Native", "en.us", "german", "old"}), names);
}

TEST_F(AppLanguageTest, LocaleBlockHoldsUntilAnotherLanguageBringsOne) {
  FormatSettings().ShortDateFormat = "dd.mm.yyyy";
  FormatSettings().DecimalSeparator = ',';
  {
    TLingroveLangFileEdit german(PathOf("german.lng"));
    german.CaptureLocale();
    german.Save();
  }
  FormatSettings() = DefaultFormatSettings();
  WriteLang("french.lng", {{25, "Commencer"}});
  AppLanguage()->SetLangDir(dirText_);

  SetLanguage("german");
  EXPECT_EQ("dd.mm.yyyy", FormatSettings().ShortDateFormat);
  EXPECT_EQ(',', FormatSettings().DecimalSeparator);
  SetLanguage("french");
  EXPECT_EQ("dd.mm.yyyy", FormatSettings().ShortDateFormat);
}

TEST_F(AppLanguageTest, SwitchTranslatesEveryFormInOrderAndRaisesTheFirstErrorLast) {
  WriteTwoLanguages();
  std::vector<std::string> log;
  FakeTranslator a(log, "a");
  FakeTranslator b(log, "b");
  auto* c = new FakeTranslator(log, "c");
  FakeTranslator d(log, "d");
  b.fail = true;
  d.fail = true;
  a.during = [&] { delete c; };  // a form that takes another with it

  try {
    SetLanguage("german");
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_EQ("b failed", e.Message());
  }
  EXPECT_EQ((std::vector<std::string>{"a:german", "c gone", "b:german", "d:german"}), log);
  EXPECT_EQ("german", CurrentLanguage());
  EXPECT_EQ("Native", PreviousLanguage());
  EXPECT_EQ("german", AppLanguage()->LangFileName());
}

TEST_F(AppLanguageTest, BadFileIsReportedOnceAndLeavesAnEmptyCurrentFile) {
  WriteTwoLanguages();
  WriteBytes("bad.lng", "XX3.10 not a language file");
  std::vector<std::string> log;
  FakeTranslator form(log, "form");

  // The report names the file and what the user gets instead: the base texts.
  WriteBytes("cut.lng", "LF3.10\x01\x00");
  for (const auto& [name, reason] : {std::pair<std::string, std::string>{"cut", "Stream read error"},
                                     {"bad", kLangFileBadMagicMessage}}) {
    try {
      SetLanguage(name);
      ADD_FAILURE() << "no error raised for " << name;
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(name + ".lng cannot be read (" + reason + "); the base texts are used."),
                std::string::npos)
          << e.Message();
    }
  }
  EXPECT_EQ((std::vector<std::string>{"form:cut", "form:bad"}), log);  // translated all the same
  EXPECT_EQ(nullptr, CurrentLangFile());
  EXPECT_EQ("Start", GetLangString(25));
  ASSERT_FALSE(BusyCalls().empty());
  EXPECT_FALSE(BusyCalls().back());  // the hourglass went back

  // Found bad by a text lookup: raised by that lookup only.
  CloseCurrentFile();
  EXPECT_THROW(GetLangString(25), Exception);
  EXPECT_EQ("Start", GetLangString(25));
}

TEST_F(AppLanguageTest, FilesCloseWhenTheLastTranslatorGoes) {
  WriteTwoLanguages();
  std::vector<std::string> log;
  auto form = std::make_unique<FakeTranslator>(log, "form");
  SetLanguage("german");
  EXPECT_EQ("Beginnen", GetLangString(25));
  EXPECT_EQ("Native only", GetLangString(27));

  // Open files could neither be replaced (Windows) nor show new content (elsewhere).
  form.reset();
  WriteLang("german.lng", {{25, "Anfangen"}});
  WriteLang("Native.lng", {{27, "Changed"}});
  EXPECT_EQ("Anfangen", GetLangString(25));
  EXPECT_EQ("Changed", GetLangString(27));
}

TEST_F(AppLanguageTest, WritableFileCreatesItsDirectory) {
  AppLanguage()->SetLangDir(dirText_ + "sub/deeper/");
  TLingroveLangFileEdit* native = OpenNativeEdit("native");
  ASSERT_NE(nullptr, native);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "sub" / "deeper"));
  EXPECT_TRUE(native->HasFlag(lfNative));
  EXPECT_EQ(native, NativeEditFile());
  EXPECT_FALSE(OpenNativeEdit("german")->HasFlag(lfNative));
  CloseNativeEdit();
  EXPECT_EQ(nullptr, NativeEditFile());
}

TEST_F(AppLanguageTest, FinalizeEndsTranslatorsAndPutsTheStartStateBack) {
  WriteTwoLanguages();
  std::vector<std::string> log;
  new FakeTranslator(log, "first");
  new FakeTranslator(log, "second");
  ScanRules()->Add("-edUser");
  SetLanguage("german");
  log.clear();

  LangFinalize();
  EXPECT_EQ((std::vector<std::string>{"first gone", "second gone"}), log);
  EXPECT_TRUE(Translators().empty());
  EXPECT_EQ("Native", CurrentLanguage());
  EXPECT_EQ(10, ScanRules()->Count());
  EXPECT_EQ("+Caption", ScanRules()->Strings(0));
  EXPECT_EQ("", AppLanguage()->LangDir());
}

// The texts of the current file are named with the code page of its charset, so the windows
// show them in their own script; a file of the system's charset, or none, names nothing.
TEST_F(AppLanguageTest, TheCurrentFilesTextsAreNamedWithItsCharsetsCodePage) {
  const std::string cyrillic = "\xD1\xF2\xE0\xF0\xF2";  // "Start" in 1251
  const std::string format = "\xC2\xF1\xE5\xE3\xEE %s";
  const std::string hint = "\xCA\xEE\xF0\xEE\xF2\xEA\xEE|\xC4\xEB\xE8\xED\xED\xEE";
  const std::string lines = "\xCF\xE5\xF0\xE2\xFB\xE9\r\n\xC2\xF2\xEE\xF0\xEE\xE9";
  WriteLang("Native.lng", {{25, "Start"}});
  AppLanguage()->SetLangDir(dirText_);
  struct Case {
    uint8_t charset;
    unsigned codePage;
  };
  for (const Case c : {Case{204, 1251}, Case{177, 1255}, Case{161, 1253}, Case{178, 1256}, Case{0, 0}, Case{1, 0}}) {
    const std::string name = "lang" + std::to_string(c.charset);
    WriteLang(name + ".lng", {{25, cyrillic}, {26, format}, {27, hint}, {28, lines}, {29, "Plain"}}, c.charset);
    SetLanguage(name);
    EXPECT_EQ(LanguageTextCodePage(cyrillic), c.codePage) << name;
    EXPECT_EQ(LanguageTextCodePage(format.substr(0, 6) + "42 h"), c.codePage) << name;
    EXPECT_EQ(LanguageTextCodePage(hint.substr(0, hint.find('|'))), c.codePage) << name;
    EXPECT_EQ(LanguageTextCodePage(lines.substr(lines.find('\n') + 1)), c.codePage) << name;
    // Plain ASCII reads alike in every code page; other bytes are the system's.
    EXPECT_EQ(LanguageTextCodePage("Plain"), 0u) << name;
    EXPECT_EQ(LanguageTextCodePage("\xE9t\xE9"), 0u) << name;
  }
  SetLanguage("lang204");
  SetLanguage("Native");
  EXPECT_EQ(LanguageTextCodePage(cyrillic), 0u);
}
