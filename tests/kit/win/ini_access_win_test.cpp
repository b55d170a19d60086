#include "kit/win/ini_access_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "kit/win/form_storage.h"
#include "platform/rtl/properties.h"
#include "tests/kit/win/store_fixture.h"

namespace {

class TformOptions : public TForm {
  HL_REFLECTABLE
public:
  using TForm::TForm;
};

const ClassInfo* TformOptions::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformOptions>("TformOptions", TForm::StaticClassInfo()).Build();
  return &ci;
}

using IniAccessWinTest = StoreTest;

}  // namespace

TEST_F(IniAccessWinTest, DefaultNamesFollowTheProgramAndTheComponent) {
  EXPECT_EQ(DefaultIniFileName(), "kit_tests.INI");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\kit_tests");

  auto form = std::make_unique<TformOptions>(nullptr);
  auto* button = new TCustomButton(form.get());
  button->SetName("btOk");
  button->SetParent(form.get());
  auto* storage = new TFormStorage(form.get());
  storage->SetName("FormStorage");
  TWinControl panel(nullptr);
  panel.SetName("pnTools");
  auto* inPanel = new TCustomButton(form.get());
  inPanel->SetName("btTool");
  inPanel->SetParent(&panel);
  TCustomButton loose(nullptr);
  loose.SetName("btLoose");
  TComponent plain(nullptr);
  plain.SetName("Plain");

  EXPECT_EQ(DefaultSectionName(nullptr), "");
  EXPECT_EQ(DefaultSectionName(form.get()), "TformOptions");
  EXPECT_EQ(DefaultSectionName(button), "TformOptionsbtOk");
  EXPECT_EQ(DefaultSectionName(inPanel), "pnToolsbtTool");
  EXPECT_EQ(DefaultSectionName(&loose), "btLoose");
  EXPECT_EQ(DefaultSectionName(storage), "TformOptions.FormStorage");
  EXPECT_EQ(DefaultSectionName(&plain), "Plain");
  EXPECT_EQ(storage->IniSection(), "TformOptions");
  inPanel->SetParent(nullptr);
}

TEST_F(IniAccessWinTest, RegistryStoresKeepTextAsItIsAndIgnoreOtherTypes) {
  TRegIniFile store(key);
  IniWriteText(&store, "Options", "Quoted", "\"x\"");
  IniWriteText(&store, "Options", "Padded", "  x ");
  IniWriteNumber(&store, "Options", "Number", -17);
  EXPECT_EQ(RegValue("Options", "Quoted"), "\"x\"");
  EXPECT_EQ(IniReadText(&store, "Options", "Padded", ""), "  x ");
  EXPECT_EQ(IniReadNumber(&store, "Options", "Number", 0), -17);
  RegSetRaw("Options", "Binary", REG_BINARY, std::string("\x01\x02\x03", 3));
  EXPECT_EQ(IniReadText(&store, "Options", "Binary", "default"), "default");
  EXPECT_EQ(IniReadNumber(&store, "Options", "Binary", 5), 5);
  RegSet("Options", "NotANumber", "12abc");
  EXPECT_EQ(IniReadNumber(&store, "Options", "NotANumber", 5), 5);
}

TEST_F(IniAccessWinTest, ProfileFilesGiveBackEveryValueAsWritten) {
  const std::string file = folder + "values.ini";
  TIniFile store(file);
  const char* values[] = {"\"both\"", "'single'", "\"", "  lead", "trail ", "\"mixed'", "plain", ""};
  for (const char* value : values) {
    IniWriteText(&store, "S", "V", value);
    EXPECT_EQ(IniReadText(&store, "S", "V", "<none>"), value) << value;
  }
  IniWriteText(&store, "S", "Q", "\"both\"");
  IniWriteText(&store, "S", "M", "\"mixed'");
  EXPECT_EQ(FileLine(file, "S", "Q"), "\"\"both\"\"");
  EXPECT_EQ(FileLine(file, "S", "M"), "\"mixed'");
}
