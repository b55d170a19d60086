#include "lang/win/lang_collector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "tests/lang/win/lang_test_form.h"
#include "tests/lang/win/lang_win_fixture.h"

namespace {

const std::vector<TLangMessageText> kMessages = {{28, "Start"}, {25, "Tracking"}, {29, "Stop"}};

std::string TextOf(TLingroveLangFile& file, const std::string& path) {
  TLingroveLangStr* entry = file.Find("formLangTest", path);
  return entry == nullptr ? "-" : entry->GetText();
}

}  // namespace

TEST_F(LangWinTest, CollectorWritesTheMessagesFirstThenEveryFormsTexts) {
  RegisterLangForm("TformPlain", [](TComponent* owner) {
    auto* form = new TForm(owner);
    form->SetName("formPlain");
    form->SetCaption("Plain");
    return form;
  });
  RegisterLangForm("TformLangTest", [](TComponent*) -> TComponent* { return nullptr; });
  RegisterLangForm("TformLangTest", [](TComponent* owner) { return new TformLangTest(owner); });
  const std::vector<TLangFormClass> forms = RegisteredLangForms();
  ASSERT_EQ(2u, forms.size());
  EXPECT_EQ("TformLangTest", forms[0].Name);

  CollectBaseLanguage(dir_, kMessages, forms, DEFAULT_CHARSET);
  {
    TLingroveLangFile native(PathOf("native.lng"));
    EXPECT_TRUE(native.HasFlag(lfNative));
    EXPECT_EQ(DEFAULT_CHARSET, native.FontCharset());
    ASSERT_GT(native.GetCount(), 3);
    EXPECT_EQ(25, native.Idents()[0].Ident);
    EXPECT_EQ("Stop", native.FindIdent(29)->GetText());
    EXPECT_EQ(30, native.Idents()[3].Ident);  // the form's texts come after the messages

    EXPECT_EQ("Tasks", TextOf(native, "Caption"));
    EXPECT_EQ("Who works", TextOf(native, "lbName.Hint"));
    EXPECT_EQ("Ready", TextOf(native, "sbMain.Panels.Item0.Text"));
    EXPECT_EQ("-", TextOf(native, "sbMain.Panels.Item1.Text"));  // 12:30 is not a text
    EXPECT_EQ("First line\r\nSecond line\r\n", TextOf(native, "mmNotes.Lines"));
    EXPECT_EQ("Time", TextOf(native, "lvTasks.Columns.Item1.Caption"));
    EXPECT_EQ("Writing", TextOf(native, "lvTasks.Items.Item0.Caption"));
    EXPECT_EQ("One\r\nTwo\r\nThree\r\n", TextOf(native, "cbUser.Items"));
    EXPECT_EQ("&Start", TextOf(native, "mnStart.Caption"));
    EXPECT_EQ("-", TextOf(native, "edUser.Text"));  // the user's data is not collected
    EXPECT_EQ(nullptr, native.Find("formPlain", "Caption"));  // no translation component

    TLingroveLangStr* name = native.Find("formLangTest", "lbName.Caption");
    ASSERT_NE(nullptr, name);
    ASSERT_GE(name->GetFontIndex(), 1);
    TformLangTest form(nullptr);
    EXPECT_EQ(form.lbName->Font()->Name(), native.Fonts(name->GetFontIndex() - 1).Name);
  }
  const int count = TLingroveLangFile(PathOf("native.lng")).GetCount();

  // Written anew each time, also while the old file is open for reading; and never while
  // another language is current.
  ASSERT_NE(nullptr, CurrentLangFile());
  EXPECT_EQ("Tracking", GetLangString(25));
  CollectBaseLanguage(dir_, kMessages, forms, DEFAULT_CHARSET);
  EXPECT_EQ(count, TLingroveLangFile(PathOf("native.lng")).GetCount());
  SetLanguage("german");
  try {
    CollectBaseLanguage(dir_, kMessages, forms, DEFAULT_CHARSET);
    ADD_FAILURE() << "collected while german is current";
  } catch (const Exception& e) {
    EXPECT_EQ("Can not save form while current language is not native", e.Message());
  }
}

TEST_F(LangWinTest, CollectingUnderAnotherLanguageOnlyUpdatesAndIsRefused) {
  CollectBaseLanguage(dir_, kMessages, {{"TformLangTest", [](TComponent* owner) {
                                           return new TformLangTest(owner);
                                         }}},
                      DEFAULT_CHARSET);
  TformLangTest form(nullptr);
  SetLanguage("german");
  form.lbName->SetCaption("Full name");
  form.sbMain->Panels()->Items(1)->SetText("Idle");
  OpenNativeEdit("native");
  EXPECT_THROW(form.LingroveLang1->CollectStrings(true), Exception);
  CloseNativeEdit();

  TLingroveLangFile native(PathOf("native.lng"));
  EXPECT_EQ("Full name", TextOf(native, "lbName.Caption"));
  EXPECT_EQ("-", TextOf(native, "sbMain.Panels.Item1.Text"));
}

// The base file is written anew, so the one there need not load: a file that is not a
// language file, or one cut short, is simply replaced.
TEST_F(LangWinTest, CollectorReplacesADamagedBaseFile) {
  const std::vector<TLangFormClass> forms = {
      {"TformLangTest", [](TComponent* owner) { return new TformLangTest(owner); }}};
  CollectBaseLanguage(dir_, kMessages, forms, DEFAULT_CHARSET);
  std::string whole;
  {
    TFileStream stream(PathOf("native.lng"), fmOpenRead);
    whole = stream.ReadRest();
  }
  const int count = TLingroveLangFile(PathOf("native.lng")).GetCount();
  LangFinalize();

  for (const std::string& damaged : {std::string("XX not a language file"), whole.substr(0, whole.size() / 2)}) {
    {
      TFileStream stream(PathOf("native.lng"), fmCreate);
      stream.WriteBuffer(damaged.data(), static_cast<int64_t>(damaged.size()));
    }
    EXPECT_ANY_THROW(TLingroveLangFile(PathOf("native.lng")));
    CollectBaseLanguage(dir_, kMessages, forms, DEFAULT_CHARSET);
    TLingroveLangFile native(PathOf("native.lng"));
    EXPECT_EQ(count, native.GetCount());
    EXPECT_EQ("Stop", native.FindIdent(29)->GetText());
    EXPECT_EQ("Tasks", TextOf(native, "Caption"));
    LangFinalize();
  }
}
