#include <gtest/gtest.h>

#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"

namespace {

class FormatSettingsTest : public ::testing::Test {
protected:
  void TearDown() override { ResetFormatSettings(); }
};

bool HasToken(const std::string& format, char letter) {
  for (char c : format)
    if ((c | 0x20) == letter) return true;
  return false;
}

}  // namespace

TEST_F(FormatSettingsTest, LocaleDatePicturesBecomeRuntimeFormats) {
  EXPECT_EQ(TranslateLocaleDateFormat("M/d/yyyy", '/'), "m/d/yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("dd.MM.yyyy", '.'), "dd/mm/yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("yyyy-MM-dd", '-'), "yyyy/mm/dd");
  EXPECT_EQ(TranslateLocaleDateFormat("dddd, MMMM d, yyyy", '/'), "dddd, mmmm d, yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("d' de 'MMMM' de 'yyyy", '/'), "d' de 'mmmm' de 'yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("'M.' d.M", '.'), "'M.' d/m");
  EXPECT_EQ(TranslateLocaleDateFormat("d 'open", '/'), "d 'open");
}

TEST_F(FormatSettingsTest, LocaleTimePicturesBecomeRuntimeFormats) {
  EXPECT_EQ(TranslateLocaleTimeFormat("h:mm:ss tt", ':'), "h:nn:ss AMPM");
  EXPECT_EQ(TranslateLocaleTimeFormat("HH:mm:ss", ':'), "hh:nn:ss");
  EXPECT_EQ(TranslateLocaleTimeFormat("H.mm", '.'), "h:nn");
  EXPECT_EQ(TranslateLocaleTimeFormat("tt h:mm", ':'), "AMPM h:nn");
  EXPECT_EQ(TranslateLocaleTimeFormat("t h:mm", ':'), "AMPM h:nn");
  EXPECT_EQ(TranslateLocaleTimeFormat("H 'h' mm 'min'", ':'), "h 'h' nn 'min'");
}

TEST_F(FormatSettingsTest, TranslatedFormatsFormatAsTheLocaleMeans) {
  const TDateTime dt = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 0);
  TFormatSettings fs = DefaultFormatSettings();
  fs.DateSeparator = '.';
  fs.TimeSeparator = '.';
  fs.ShortDateFormat = TranslateLocaleDateFormat("dd.MM.yyyy", '.');
  fs.LongTimeFormat = TranslateLocaleTimeFormat("HH.mm.ss", '.');
  EXPECT_EQ(DateTimeToStr(dt, fs), "05.03.2026 14.07.09");
  EXPECT_EQ(StrToDateTime("05.03.2026 14.07.09", fs), dt);
  fs.LongTimeFormat = TranslateLocaleTimeFormat("h:mm:ss tt", '.');
  EXPECT_EQ(TimeToStr(dt, fs), "2.07.09 PM");
}

TEST_F(FormatSettingsTest, ProcessSettingsAreOneObjectThatResets) {
  TFormatSettings& settings = FormatSettings();
  EXPECT_EQ(&settings, &FormatSettings());
  const TFormatSettings locale = LocaleFormatSettings();
  settings = DefaultFormatSettings();
  settings.DateSeparator = '#';
  settings.LongMonthNames[0] = "Jenner";
  EXPECT_EQ(FormatDateTime("d/mmmm", EncodeDate(2026, 1, 2)), "2#Jenner");
  ResetFormatSettings();
  EXPECT_EQ(FormatSettings().DateSeparator, locale.DateSeparator);
  EXPECT_EQ(FormatSettings().LongMonthNames[0], locale.LongMonthNames[0]);
  EXPECT_EQ(FormatSettings().ShortDateFormat, locale.ShortDateFormat);
}

// With the user's real locale nothing is known in advance; what is written must read back.
TEST_F(FormatSettingsTest, RealLocaleIsSelfConsistent) {
  ResetFormatSettings();
  const TFormatSettings& fs = FormatSettings();
  EXPECT_NE(fs.DateSeparator, '\0');
  EXPECT_NE(fs.TimeSeparator, '\0');
  EXPECT_NE(fs.DecimalSeparator, '\0');
  for (const std::string& name : fs.LongMonthNames) EXPECT_FALSE(name.empty());
  for (const std::string& name : fs.ShortMonthNames) EXPECT_FALSE(name.empty());
  for (const std::string& name : fs.LongDayNames) EXPECT_FALSE(name.empty());
  for (const std::string& name : fs.ShortDayNames) EXPECT_FALSE(name.empty());
  EXPECT_TRUE(HasToken(fs.ShortDateFormat, 'd') && HasToken(fs.ShortDateFormat, 'm') &&
              HasToken(fs.ShortDateFormat, 'y'))
      << fs.ShortDateFormat;
  EXPECT_TRUE(HasToken(fs.LongTimeFormat, 'h') && HasToken(fs.LongTimeFormat, 'n'))
      << fs.LongTimeFormat;

  const int thisYear = [] {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
  }();
  // Names in the short date cannot be read back; a two-digit year only near the present.
  const bool numericDate = fs.ShortDateFormat.find("mmm") == std::string::npos &&
                           fs.ShortDateFormat.find("MMM") == std::string::npos;
  for (int month = 1; month <= 12 && numericDate; ++month) {
    const TDateTime date = EncodeDate(thisYear, month, month + 10);
    EXPECT_EQ(StrToDate(DateToStr(date)), date) << DateToStr(date);
  }
  const bool withSeconds = HasToken(fs.LongTimeFormat, 's');
  for (int hour = 0; hour < 24; ++hour) {
    const TDateTime time = EncodeTime(hour, 59 - hour, withSeconds ? hour + 7 : 0, 0);
    EXPECT_EQ(StrToTime(TimeToStr(time)), time) << TimeToStr(time);
  }
}
