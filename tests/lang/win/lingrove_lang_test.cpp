#include "lang/win/lingrove_lang.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/win/lang_collector.h"
#include "platform/rtl/streams.h"
#include "tests/lang/win/lang_test_form.h"
#include "tests/lang/win/lang_win_fixture.h"

namespace {

const std::vector<TLangMessageText> kMessages = {{25, "Tracking"}, {28, "Start"}, {29, "Stop"}};

TLangFormClass TestFormClass() {
  return {"TformLangTest", [](TComponent* owner) { return new TformLangTest(owner); }};
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string PanelText(TStatusBar* bar, int index) {
  char text[256] = {};
  SendMessageA(bar->Handle(), SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ColumnText(TListView* view, int index) {
  char text[256] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = sizeof text;
  SendMessageA(view->Handle(), LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  return text;
}

std::string ItemText(TListView* view, int index) {
  char text[256] = {};
  LVITEMA item{};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(view->Handle(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::string MenuText(HMENU menu, UINT id, UINT flags) {
  char text[256] = {};
  GetMenuStringA(menu, id, text, sizeof text, flags);
  return text;
}

BYTE HandleCharset(TFont* font) {
  LOGFONTA logFont{};
  GetObjectA(font->Handle(), sizeof logFont, &logFont);
  return logFont.lfCharSet;
}

// german.lng: the test form's texts in Greek type, and message 28.
void WriteGerman(const std::string& path) {
  TLingroveLangFileEdit german(path);
  german.SetFontCharset(GREEK_CHARSET);
  german.AddString(28, "Beginnen", 0);
  uint16_t ident = 200;
  for (const auto& [key, text] : std::vector<std::pair<std::string, std::string>>{
           {"Caption", "Aufgaben"},
           {"lbName.Caption", "Name DE"},
           {"sbMain.Panels.Item0.Text", "Bereit"},
           {"mmNotes.Lines", "Erste Zeile\r\nZweite Zeile"},
           {"lvTasks.Columns.Item0.Caption", "Aufgabe"},
           {"lvTasks.Items.Item0.Caption", "Schreiben"},
           {"cbUser.Items", "Eins\r\nZwei\r\nDrei"},
           {"edUser.Text", "nobody"},
           {"mnFile.Caption", "&Datei"},
           {"mnStart.Caption", "&Beginnen"}})
    german.AddKeyedString(ident++, "formLangTest", key, 0, text);
  german.Save();
}

}  // namespace

TEST_F(LangWinTest, SwitchingLanguageRetranslatesEveryLiveForm) {
  CollectBaseLanguage(dir_, kMessages, {TestFormClass()}, DEFAULT_CHARSET);
  WriteGerman(PathOf("german.lng"));

  TformLangTest first(nullptr);
  first.Show();
  first.edUser->SetText("bob");
  first.cbUser->SetItemIndex(2);
  TformLangTest second(nullptr);
  std::vector<std::string> log;
  first.LingroveLang1->BeforeTrans = [&](TObject*, const std::string& language) {
    log.push_back("before " + language + ": " + first.lbName->Caption());
  };
  first.LingroveLang1->AfterTrans = [&](TObject*, const std::string& language) {
    log.push_back("after " + language + ": " + first.lbName->Caption());
  };

  SetLanguage("german");
  EXPECT_EQ((std::vector<std::string>{"before german: Name", "after german: Name DE"}), log);
  EXPECT_EQ("Aufgaben", WindowText(first.Handle()));
  EXPECT_EQ("Bereit", PanelText(first.sbMain, 0));
  EXPECT_EQ("12:30", PanelText(first.sbMain, 1));
  ASSERT_EQ(2, first.mmNotes->Lines()->Count());
  EXPECT_EQ("Zweite Zeile", first.mmNotes->Lines()->Strings(1));
  EXPECT_EQ("Erste Zeile\r\nZweite Zeile", WindowText(first.mmNotes->Handle()));
  EXPECT_EQ("Aufgabe", ColumnText(first.lvTasks, 0));
  EXPECT_EQ("Time", ColumnText(first.lvTasks, 1));
  EXPECT_EQ("Schreiben", ItemText(first.lvTasks, 0));
  EXPECT_EQ("Drei", first.cbUser->Items()->Strings(2));
  EXPECT_EQ(2, first.cbUser->ItemIndex());
  EXPECT_EQ(2, SendMessageA(first.cbUser->Handle(), CB_GETCURSEL, 0, 0));
  EXPECT_EQ("&Datei", MenuText(first.mainMenu->Handle(), 0, MF_BYPOSITION));
  EXPECT_EQ("&Beginnen", MenuText(first.mainMenu->Handle(), first.mnStart->Command(), MF_BYCOMMAND));
  EXPECT_EQ("bob", first.edUser->Text());  // the user's data stays
  EXPECT_EQ(GREEK_CHARSET, first.lbName->Font()->Charset());
  EXPECT_EQ(GREEK_CHARSET, HandleCharset(first.mmNotes->Font()));
  EXPECT_EQ("Name DE", second.lbName->Caption());
  EXPECT_EQ("Beginnen", GetLangString(28));
  EXPECT_EQ("Tracking", GetLangString(25));
  EXPECT_EQ(kUndefinedLangString, GetLangString(99));

  TformLangTest third(nullptr);  // made after the switch: translated as it is built
  EXPECT_EQ("Name DE", third.lbName->Caption());
  EXPECT_EQ("Schreiben", third.lvTasks->Items()->Items(0)->Caption());

  SetLanguage("Native");
  EXPECT_EQ("Tasks", WindowText(first.Handle()));
  EXPECT_EQ("Name", first.lbName->Caption());
  EXPECT_EQ("Writing", ItemText(first.lvTasks, 0));
  EXPECT_EQ("&File", MenuText(first.mainMenu->Handle(), 0, MF_BYPOSITION));
  EXPECT_EQ(2, first.cbUser->ItemIndex());
  EXPECT_EQ(DEFAULT_CHARSET, first.lbName->Font()->Charset());

  // A language without a file: the texts stay, the character sets become 0.
  SetLanguage("missing");
  EXPECT_EQ("Tasks", WindowText(first.Handle()));
  EXPECT_EQ(ANSI_CHARSET, HandleCharset(first.mmNotes->Font()));
  EXPECT_EQ("Tracking", GetLangString(25));
}

// A damaged file chosen after another language: the report names it, and the forms show
// the base texts, as the report says, instead of staying in the language before.
TEST_F(LangWinTest, ADamagedLanguageFileIsNamedAndTheBaseTextsAreShown) {
  CollectBaseLanguage(dir_, kMessages, {TestFormClass()}, DEFAULT_CHARSET);
  WriteGerman(PathOf("german.lng"));
  {
    TFileStream damaged(PathOf("damaged.lng"), fmCreate);
    damaged.WriteBuffer("LF3.10\x01", 7);  // cut short after its first bytes
  }
  TformLangTest form(nullptr);
  SetLanguage("german");
  ASSERT_EQ("Name DE", form.lbName->Caption());
  std::string report;
  try {
    SetLanguage("damaged");
  } catch (const Exception& e) {
    report = e.Message();
  }
  EXPECT_EQ("The language file " + PathOf("damaged.lng") + " cannot be read (Stream read error); the base texts are used.",
            report);
  EXPECT_EQ("Name", form.lbName->Caption());
  EXPECT_EQ("Writing", form.lvTasks->Items()->Items(0)->Caption());
  EXPECT_EQ("Start", GetLangString(28));
}

TEST_F(LangWinTest, LocalRulesChangeTheComponentsWorkingRules) {
  TformLangTest form(nullptr);
  TLingroveLang* lang = form.LingroveLang1;
  EXPECT_FALSE(lang->IsTranslatable(form.edUser, "edUser", "Text"));
  EXPECT_TRUE(lang->IsTranslatable(form.lbName, "lbName", "Hint"));

  lang->LocalRules()->Add("-lbName.Hint");
  EXPECT_FALSE(lang->IsTranslatable(form.lbName, "lbName", "Hint"));
  EXPECT_EQ("-edUser\r\n-lbName.Hint\r\n", GetTextByPath(&form, "LingroveLang1.LocalRules"));

  TStringList global;
  global.Add("+Caption");
  lang->SetGlobalRules(&global);
  EXPECT_FALSE(lang->IsTranslatable(form.mmNotes, "mmNotes", "Lines"));
  EXPECT_EQ(1, ScanRules()->Count());

  // The language name is not taken while the form is being built.
  lang->BeginLoading();
  lang->SetLangFileName("german");
  EXPECT_EQ("Native", lang->LangFileName());
}
