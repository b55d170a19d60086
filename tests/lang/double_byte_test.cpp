// Language files and the language folder on a double-byte code page: texts cut to a field's
// capacity keep whole characters, and a folder whose name ends in a trail byte of the value
// of '\' is still joined with a delimiter.

#include <string>

#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "tests/lang/lang_file_test_util.h"
#include "tests/support/code_page_932.h"

namespace {

class DoubleByteLangFile : public LangFileTest {
protected:
  void TearDown() override {
    LangFinalize();
    LangFileTest::TearDown();
  }
  CodePage932Scope codePage_;
};

TEST_F(DoubleByteLangFile, TextsCutToTheirFieldKeepWholeCharacters) {
  // Read: a currency text of 11 bytes whose last character would straddle the capacity of 10.
  const std::string sample = SampleLocaleBlock();
  Bytes f;
  f.Raw("LF3.10").U8(0).U8(1).P("EURxxxxxx" CP932_HYO).Raw(sample.substr(1 + static_cast<unsigned char>(sample[0])));
  f.U8(1).Zeros(10).U8(0).U32(0).Zeros(20).U16(0).U16(0).U16(0);
  WriteBytes("read.lng", f.b);
  EXPECT_EQ("EURxxxxxx", TLingroveLangFile(PathOf("read.lng")).Locale().CurrencyString);

  // Captured and written: locale fields and a font name longer than the length byte can say.
  FormatSettings().LongMonthNames[0] = std::string(19, 'x') + CP932_PO;
  FormatSettings().ShortDayNames[0] = "abcde" CP932_ZE;
  {
    TLingroveLangFileEdit file(PathOf("written.lng"));
    file.CaptureLocale();
    file.AddFont(std::string(254, 'f') + CP932_HYO, 8, 0);
    file.Save();
  }
  TLingroveLangFile back(PathOf("written.lng"));
  EXPECT_EQ(std::string(19, 'x'), back.Locale().LongMonthNames[0]);
  EXPECT_EQ("abcde", back.Locale().ShortDayNames[0]);
  ASSERT_EQ(1, back.FontCount());
  EXPECT_EQ(std::string(254, 'f'), back.Fonts(0).Name);
}

TEST_F(DoubleByteLangFile, LanguageFolderIsJoinedAtRealDelimiters) {
  TLingroveAppLanguage* app = AppLanguage();
  app->SetBaseDir("C:\\" CP932_HYO);
  app->SetLangDir("Lang");
  EXPECT_EQ("C:\\" CP932_HYO "\\Lang\\", ResolvedLangDir());
  app->SetBaseDir("\\\\" CP932_HYO "srv\\share\\app");
  app->SetLangDir("\\lang");
  EXPECT_EQ("\\\\" CP932_HYO "srv\\share\\lang\\", ResolvedLangDir());
}

}  // namespace
