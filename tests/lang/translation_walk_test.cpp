#include "lang/translation_walk.h"

#include <gtest/gtest.h>

#include <string>

#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "tests/lang/lang_file_test_util.h"
#include "tests/lang/walk_fakes.h"

namespace {

TLangRules DefaultRules(const std::vector<std::string>& local = {}) {
  TStringList localRules;
  for (const std::string& rule : local) localRules.Add(rule);
  TLangRules rules;
  rules.Merge(localRules, *ScanRules());
  return rules;
}

// The pairs of one object: "path=ident ..." in map order.
std::string KeysOf(const TLingroveLangFile& file, const std::string& objName) {
  std::string keys;
  file.Props().ForEachObject([&](const std::string& name, const TLingroveLangProps::PropMap& paths) {
    if (name != objName) return;
    for (const auto& p : paths) keys += p.first + "=" + std::to_string(p.second) + " ";
  });
  return keys;
}

// Text and font index of a key, or "-" when it has no entry.
std::string EntryOf(TLingroveLangFile& file, const std::string& path) {
  TLingroveLangStr* entry = file.Find("formMain", path);
  return entry == nullptr ? "-" : entry->GetText() + "@" + std::to_string(entry->GetFontIndex());
}

class TranslationWalkTest : public LangFileTest {
protected:
  void SetUp() override {
    LangFileTest::SetUp();
    SetListItemCaptionAccess(&GetFakeItemCaption, &SetFakeItemCaption);
  }
  void TearDown() override {
    SetListItemCaptionAccess(nullptr, nullptr);
    LangFinalize();
    LangFileTest::TearDown();
  }
  FakeForm f;
};

}  // namespace

TEST(HasTextTest, OnlyTextsWithSomethingToTranslateCount) {
  EXPECT_TRUE(HasText("Start"));
  EXPECT_TRUE(HasText("x"));
  EXPECT_TRUE(HasText("12:30 h"));
  EXPECT_TRUE(HasText("@"));
  EXPECT_TRUE(HasText("_"));
  EXPECT_TRUE(HasText("{"));
  EXPECT_TRUE(HasText("~"));
  EXPECT_TRUE(HasText("\x7F"));
  EXPECT_TRUE(HasText("\xE4"));  // a letter of the code page
  EXPECT_FALSE(HasText(""));
  EXPECT_FALSE(HasText("12:30"));
  EXPECT_FALSE(HasText("----"));
  EXPECT_FALSE(HasText(" 1.5 % (2) <=> ?"));
  EXPECT_FALSE(HasText("[\\]^"));
  EXPECT_FALSE(HasText("\t\r\n"));
}

TEST(LangRulesTest, ExcludingRulesBeatIncludingOnes) {
  const TLangRules rules = DefaultRules({"-edUser", "-lbName.Hint", "-TEdit", "-TLabel.Caption",
                                         "+TPanel.Tag", "-"});
  EXPECT_TRUE(rules.IsTranslatable("TButton", "btStart", "Caption"));
  EXPECT_TRUE(rules.IsTranslatable("TButton", "btStart", "hint"));  // any letter case
  EXPECT_FALSE(rules.IsTranslatable("TButton", "btStart", "Name"));  // no rule includes it
  EXPECT_TRUE(rules.IsTranslatable("TPanel", "pnTop", "Tag"));       // included for its class only
  EXPECT_FALSE(rules.IsTranslatable("TButton", "btStart", "Tag"));
  EXPECT_FALSE(rules.IsTranslatable("TComboBox", "edUser", "Text"));  // the object
  EXPECT_TRUE(rules.IsTranslatable("TStatusPanel", "edUser.Panels.Item0", "Text"));  // its parts
  EXPECT_FALSE(rules.IsTranslatable("TLabel", "lbName", "Hint"));
  EXPECT_FALSE(rules.IsTranslatable("TLabel", "lbName", "Caption"));  // the class's captions
  EXPECT_TRUE(rules.IsTranslatable("TButton", "lbName", "Caption"));
  EXPECT_FALSE(rules.IsTranslatable("TEdit", "edOther", "Text"));  // the whole class
  EXPECT_FALSE(rules.IsTranslatable("TFakeForm", "", "Caption"));  // "-" names the form itself
  EXPECT_TRUE(rules.Contains("-EDUSER"));

  TStringList global;
  global.Add("+Caption");
  TLangRules assigned;
  assigned.Assign(global);
  EXPECT_TRUE(assigned.IsTranslatable("TFakeForm", "", "Caption"));
  EXPECT_FALSE(assigned.IsTranslatable("TButton", "btStart", "Hint"));
}

TEST_F(TranslationWalkTest, TranslateSetsEveryKeyedTextOfTheForm) {
  TLingroveLangFileEdit file(PathOf("german.lng"));
  uint16_t ident = 1;
  for (const auto& [path, text] : std::vector<std::pair<std::string, std::string>>{
           {"Caption", "Haupt"},
           {"lbName.Caption", "Name DE"},
           {"LBNAME.HINT", "Dein Name"},  // keys ignore letter case
           {"lbName.Inner.Caption", "Teil"},
           {"lbName.Font.Name", "Courier"},
           {"sbMain.Panels.Item0.Text", "Bereit"},
           {"mmNotes.Lines", "Erste\r\nZweite\r\nDritte"},
           {"lvTasks.Columns.Item1.Caption", "Zeit"},
           {"lvTasks.Items.Item0.Caption", "Schreiben"},
           {"mnStart.Caption", "Beginnen"},
           {"Version", "Version 3"}})
    file.AddKeyedString(ident++, "formMain", path, 0, text);
  file.AddKeyedString(ident++, "formOther", "lbClock.Caption", 0, "Andere");

  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ("Haupt", f.form->caption);
  EXPECT_EQ("Name DE", f.lbName->caption);
  EXPECT_EQ("Dein Name", f.lbName->hint);
  EXPECT_EQ("Inner part", f.inner->caption);        // owned by the label, not by the form
  EXPECT_EQ("Arial", f.lbName->font.name);          // no rule takes font names
  EXPECT_EQ("Bereit", f.sbMain->Panel(0)->text);
  EXPECT_EQ("", f.sbMain->Panel(1)->text);
  EXPECT_EQ(3, f.mmNotes->lines.Count());
  EXPECT_EQ("Dritte", f.mmNotes->lines.Strings(2));
  EXPECT_EQ("Task", f.lvTasks->Column(0)->text);
  EXPECT_EQ("Zeit", f.lvTasks->Column(1)->text);
  EXPECT_EQ("Schreiben", f.lvTasks->items.items[0]->caption);
  EXPECT_EQ("Reading", f.lvTasks->items.items[1]->caption);
  EXPECT_EQ("Beginnen", f.mnStart->caption);
  EXPECT_EQ("12:30", f.lbClock->caption);  // another form's key
  EXPECT_EQ("Version 2", f.form->Version());
}

TEST_F(TranslationWalkTest, LocalRulesKeepComponentsClassesAndSingleProperties) {
  TLingroveLangFileEdit file(PathOf("german.lng"));
  uint16_t ident = 1;
  for (const auto& [path, text] : std::vector<std::pair<std::string, std::string>>{
           {"lbName.Caption", "Name DE"},
           {"lbName.Hint", "Dein Name"},
           {"sbMain.Hint", "Leiste"},
           {"sbMain.Panels.Item0.Text", "Bereit"},
           {"mmNotes.Lines", "Erste"},
           {"lvTasks.Columns.Item0.Caption", "Aufgabe"},
           {"lvTasks.Items.Item0.Caption", "Schreiben"},
           {"mnStart.Caption", "Beginnen"}})
    file.AddKeyedString(ident++, "formMain", path, 0, text);

  TranslateForm(f.form,
                DefaultRules({"-sbMain", "-mmNotes", "-lbName.Hint", "-TMenuItem",
                              "-TListColumn.Caption"}),
                &file);
  EXPECT_EQ("Name DE", f.lbName->caption);
  EXPECT_EQ("Your name", f.lbName->hint);
  EXPECT_EQ("", f.sbMain->hint);                   // the component itself is kept...
  EXPECT_EQ("Bereit", f.sbMain->Panel(0)->text);   // ...its panels are not
  EXPECT_EQ("First line", f.mmNotes->lines.Strings(0));  // its string lists are its own
  EXPECT_EQ("Task", f.lvTasks->Column(0)->text);
  EXPECT_EQ("Schreiben", f.lvTasks->items.items[0]->caption);
  EXPECT_EQ("Start", f.mnStart->caption);
}

TEST_F(TranslationWalkTest, ComboBoxKeepsItsChoiceWhileItemsStayLongEnough) {
  TLingroveLangFileEdit file(PathOf("german.lng"));
  file.AddKeyedString(1, "formMain", "cbUser.Items", 0, "Eins\r\nZwei\r\nDrei");
  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ("Drei", f.cbUser->items.Strings(2));
  EXPECT_EQ(2, f.cbUser->itemIndex);

  file.SetString(1, "Eins", 0);
  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ(1, f.cbUser->items.Count());
  EXPECT_EQ(-1, f.cbUser->itemIndex);
}

TEST_F(TranslationWalkTest, FontsTakeTheCharsetAndTheEntriesFontAndControlsTheDirection) {
  TLingroveLangFileEdit file(PathOf("russian.lng"));
  file.SetFontCharset(204);
  file.SetTextDirection(1);
  file.AddFont("Tahoma", 12, 2 | 0xF0);  // bits beyond the four styles are not applied
  file.AddKeyedString(1, "formMain", "lbName.Caption", 1, "Imya");
  file.AddKeyedString(2, "formMain", "mnStart.Caption", 1, "Pusk");
  file.AddKeyedString(3, "formMain", "Caption", 0, "Glavnaya");
  file.AddKeyedString(4, "formMain", "sbMain.Hint", 7, "Stroka");

  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ("Tahoma", f.lbName->font.name);
  EXPECT_EQ(12, f.lbName->font.size);
  EXPECT_EQ(2u, f.lbName->font.style);
  EXPECT_EQ(204, f.lbName->font.charset);
  EXPECT_EQ(204, f.form->font.charset);
  EXPECT_EQ("MS Sans Serif", f.form->font.name);  // font index 0: the font stays
  EXPECT_EQ("MS Sans Serif", f.sbMain->font.name);  // beyond the font table: the same
  EXPECT_EQ("Stroka", f.sbMain->hint);
  // A menu item has no font: its entry's font goes to the object walked before it.
  EXPECT_EQ("Pusk", f.mnStart->caption);
  EXPECT_EQ("Tahoma", f.lvTasks->font.name);
  EXPECT_EQ(1, f.form->biDiMode);
  EXPECT_EQ(1, f.lbClock->biDiMode);

  file.SetTextDirection(9);  // not a direction: left to right
  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ(0, f.lbName->biDiMode);

  // No file: every character set and direction goes to 0, the texts stay.
  f.form->SetBiDiMode(1);
  TranslateForm(f.form, DefaultRules(), nullptr);
  EXPECT_EQ(0, f.lbName->font.charset);
  EXPECT_EQ(0, f.form->biDiMode);
  EXPECT_EQ("Imya", f.lbName->caption);
}

TEST_F(TranslationWalkTest, EntryMarkedDoNotTranslateLeavesTheText) {
  // A hand-built file: one object, two keys, the first entry marked.
  Bytes b;
  b.Raw("LF3.10").U8(0).U8(0).U8(0).Zeros(10).U8(0).U32(0).Zeros(20).U16(0);
  b.U16(1).P("formMain").U16(2).P("lbClock.Caption").U16(5).P("lbName.Caption").U16(6);
  b.U16(2).U8(1).U16(5).U32(0).U16(0).U8(0).U16(6).U32(7).U16(0);
  b.Raw(std::string("Zwoelf\0Name2\0", 13));
  WriteBytes("marked.lng", b.b);
  TLingroveLangFile file(PathOf("marked.lng"));
  ASSERT_EQ(2, file.GetCount());

  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ("12:30", f.lbClock->caption);
  EXPECT_EQ("Name2", f.lbName->caption);
}

TEST_F(TranslationWalkTest, CollectKeysEveryTextWorthTranslatingWithTheNextNumbers) {
  TLingroveLangFileEdit edit(PathOf("Native.lng"));
  edit.AddString(156, "last message", 0);
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);

  // In the order of the walk, from 157 on; nothing for 12:30, empty texts, the read-only
  // Version, font names or the label's own part.
  EXPECT_EQ("Caption=157 cbUser.Items=162 lbName.Caption=158 lbName.Hint=159 "
            "lvTasks.Columns.Item0.Caption=163 lvTasks.Columns.Item1.Caption=164 "
            "lvTasks.Items.Item0.Caption=165 lvTasks.Items.Item1.Caption=166 "
            "mmNotes.Lines=161 mnStart.Caption=167 sbMain.Panels.Item0.Text=160 ",
            KeysOf(edit, "formMain"));
  // Fonts: the form's (1), the label's (2); the menu item takes the list view's (1).
  ASSERT_EQ(2, edit.FontCount());
  EXPECT_EQ("Arial", edit.Fonts(1).Name);
  EXPECT_EQ(10, edit.Fonts(1).Size);
  EXPECT_EQ(1, edit.Fonts(1).Style);
  EXPECT_EQ("Main@1", EntryOf(edit, "Caption"));
  EXPECT_EQ("Name@2", EntryOf(edit, "lbName.Caption"));
  EXPECT_EQ("First line\r\nSecond line\r\n@1", EntryOf(edit, "mmNotes.Lines"));
  EXPECT_EQ("Start@1", EntryOf(edit, "mnStart.Caption"));
  EXPECT_EQ("last message", edit.FindIdent(156)->GetText());
}

TEST_F(TranslationWalkTest, CollectAgainUpdatesDeletesAndAddsAnew) {
  TLingroveLangFileEdit edit(PathOf("Native.lng"));
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
  const uint16_t highest = edit.MaxIdent();

  f.lbName->caption = "Full name";
  f.lbName->hint = "";
  f.sbMain->Panel(0)->text = "--:--";
  f.sbMain->Panel(1)->text = "Idle";
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, false);  // another language
  EXPECT_EQ("Full name@2", EntryOf(edit, "lbName.Caption"));
  EXPECT_EQ("-", EntryOf(edit, "lbName.Hint"));
  EXPECT_EQ("-", EntryOf(edit, "sbMain.Panels.Item0.Text"));
  EXPECT_EQ("-", EntryOf(edit, "sbMain.Panels.Item1.Text"));  // new texts wait for native
  EXPECT_EQ(highest, edit.MaxIdent());

  f.lbName->hint = "Your name";
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
  ASSERT_NE(nullptr, edit.Find("formMain", "lbName.Hint"));
  EXPECT_EQ(highest + 1, edit.Find("formMain", "lbName.Hint")->GetIdent());
  EXPECT_EQ("Idle@1", EntryOf(edit, "sbMain.Panels.Item1.Text"));

  // A key whose entry was lost gets a new one instead of failing every collection.
  edit.Props().Add("formMain", "mnStart.Caption", 40000);
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
  EXPECT_EQ("Start@1", EntryOf(edit, "mnStart.Caption"));
}

TEST_F(TranslationWalkTest, CollectRefusesWhenNoNumberIsLeft) {
  TLingroveLangFileEdit edit(PathOf("Native.lng"));
  edit.AddString(65535, "last", 0);
  EXPECT_THROW(CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true), ELangFileError);
  EXPECT_EQ(1, edit.GetCount());
}

TEST_F(TranslationWalkTest, CollectedFileTranslatesTheFormBack) {
  {
    TLingroveLangFileEdit edit(PathOf("Native.lng"));
    CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
    edit.Save();
  }
  f.form->caption = "x";
  f.lbName->caption = "x";
  f.lbName->font.name = "Courier";
  f.mmNotes->lines.SetText("x");
  f.lvTasks->items.items[1]->caption = "x";
  f.sbMain->Panel(0)->text = "x";

  TLingroveLangFile file(PathOf("Native.lng"));
  TranslateForm(f.form, DefaultRules(), &file);
  EXPECT_EQ("Main", f.form->caption);
  EXPECT_EQ("Name", f.lbName->caption);
  EXPECT_EQ("Arial", f.lbName->font.name);
  EXPECT_EQ("First line\r\nSecond line\r\n", f.mmNotes->lines.Text());
  EXPECT_EQ("Reading", f.lvTasks->items.items[1]->caption);
  EXPECT_EQ("Ready", f.sbMain->Panel(0)->text);
}

TEST_F(TranslationWalkTest, RemoveDeletesTheTextsOfAComponentOrOfTheWholeForm) {
  TLingroveLangFileEdit edit(PathOf("Native.lng"));
  edit.AddString(156, "message", 0);
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
  const int fonts = edit.FontCount();

  RemoveComponentStrings(f.form, f.lvTasks, DefaultRules(), edit);
  EXPECT_EQ("Caption=157 cbUser.Items=162 lbName.Caption=158 lbName.Hint=159 "
            "mmNotes.Lines=161 mnStart.Caption=167 sbMain.Panels.Item0.Text=160 ",
            KeysOf(edit, "formMain"));
  EXPECT_EQ(nullptr, edit.FindIdent(165));
  EXPECT_EQ(fonts, edit.FontCount());

  RemoveComponentStrings(f.form, f.form, DefaultRules(), edit);
  EXPECT_EQ("", KeysOf(edit, "formMain"));
  EXPECT_EQ(1, edit.GetCount());  // the message stays
}

TEST_F(TranslationWalkTest, RenamesMoveKeysEvenWhenNamesAreExchanged) {
  TLingroveLangFileEdit edit(PathOf("Native.lng"));
  CollectFormStrings(f.form, DefaultRules(), edit, nullptr, true);
  std::string formName = f.form->Name();
  TLangCompList snapshot = TakeCompSnapshot(f.form);
  const uint16_t nameIdent = edit.Find("formMain", "lbName.Caption")->GetIdent();
  const uint16_t linesIdent = edit.Find("formMain", "mmNotes.Lines")->GetIdent();
  const uint16_t panelIdent = edit.Find("formMain", "sbMain.Panels.Item0.Text")->GetIdent();
  // A stale key under the new name, left by an earlier component called lbTitle.
  edit.AddKeyedString(900, "formMain", "lbTitle.Caption", 0, "stale");

  f.form->SetName("formStart");
  f.lbName->SetName("lbTitle");
  f.sbMain->SetName("tmp");
  f.mmNotes->SetName("sbMain");
  f.sbMain->SetName("mmNotes");
  TrackRenames(edit, formName, snapshot, f.form);

  EXPECT_EQ("formStart", formName);
  EXPECT_EQ("", KeysOf(edit, "formMain"));
  TLingroveLangProps& map = edit.Props();
  ASSERT_TRUE(map.Find("formStart", "lbTitle.Caption"));
  EXPECT_EQ(nameIdent, map.GetIdent());
  EXPECT_EQ(nullptr, edit.FindIdent(900));
  ASSERT_TRUE(map.Find("formStart", "sbMain.Lines"));
  EXPECT_EQ(linesIdent, map.GetIdent());
  ASSERT_TRUE(map.Find("formStart", "mmNotes.Panels.Item0.Text"));
  EXPECT_EQ(panelIdent, map.GetIdent());
  EXPECT_FALSE(map.Find("formStart", "lbName.Caption"));
  EXPECT_FALSE(map.Find("formStart", "mmNotes.Lines"));
  EXPECT_EQ("lbTitle", snapshot[0].Name);

  // A form renamed onto a name with stale keys takes them over.
  edit.AddKeyedString(901, "formOld", "Caption", 0, "stale");
  f.form->SetName("formOld");
  TrackRenames(edit, formName, snapshot, f.form);
  EXPECT_EQ(nullptr, edit.FindIdent(901));
  ASSERT_TRUE(map.Find("formOld", "Caption"));
  EXPECT_EQ(1, map.GetIdent());  // the form caption, collected first
}
