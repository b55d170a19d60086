// The statistics window's printed layouts, generated into the recording document: which
// bands print how often, what their texts say, the heights of the title band, the grey
// dates, the picture of the chart, the character set, and the layouts' texts in the base
// language file.

#include "app/win/statistic_reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/lang_file.h"
#include "lang/win/lang_collector.h"
#include "platform/report/win/report_render.h"
#include "platform/rtl/format_settings.h"
#include "platform/wcl/win/bitmap.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/lang/win/lang_win_fixture.h"

namespace {

// The texts printed under a name, page by page.
std::vector<std::string> Texts(const TReportDocument& doc, const std::string& name) {
  std::vector<std::string> texts;
  for (const TReportPage& page : doc.Pages)
    for (const TReportItem& item : page.Items)
      if (item.Name == name) texts.push_back(item.Text);
  return texts;
}

class StatisticReports : public LangWinTest {
protected:
  void SetUp() override {
    LangWinTest::SetUp();
    source.userCaption = "User";
    source.user = "ann";
    source.periodCaption = "Period";
    source.dateFrom = "05.03.2001";
    source.dateTo = "25.03.2001";
    source.taskCaption = "Task";
    source.task1 = "Editor";
    source.total1 = "Total: 1 day 02:30";
    source.compareCaption = "Compare";
    source.task2 = "none";
    source.weekHeaders = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Week"};
  }
  // A week row of seven days from the day label given on; the first task worked on Monday
  // and Tuesday of each week, the compared one on Tuesday.
  void AddWeek(int firstDay) {
    std::array<std::string, 8> row;
    for (int c = 0; c < 7; ++c) {
      const std::string label = std::to_string(firstDay + c) + ".03";
      row[c] = label + "\t" + (c < 2 ? "02:00:00" : "") + "\t" + (c == 1 ? "00:30:00" : "");
    }
    row[7] = "04:00\t00:30";
    source.weekCells.push_back(row);
  }

  TStatReportSource source;
};

// ---- Week table -----------------------------------------------------------------------------

TEST_F(StatisticReports, WeekTablePrintsOneBandPerWeekRow) {
  AddWeek(5);
  AddWeek(12);
  AddWeek(19);
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  EXPECT_EQ(report.Bin(), pbFirst);
  EXPECT_FALSE(report.PrintIfEmpty());
  EXPECT_EQ(report.PageWidth(), 210);
  EXPECT_EQ(report.PageLength(), 297);
  EXPECT_EQ(report.LeftMargin(), 10);

  const TReportDocument doc = report.Generate();
  ASSERT_EQ(doc.Pages.size(), 1u);
  EXPECT_EQ(Texts(doc, "BandLabel1"), (std::vector<std::string>{"Time spent statistics"}));
  EXPECT_EQ(Texts(doc, "lUser"), (std::vector<std::string>{"User: ann"}));
  EXPECT_EQ(Texts(doc, "lPeriod"), (std::vector<std::string>{"Period: 05.03.2001 - 25.03.2001"}));
  EXPECT_EQ(Texts(doc, "lT1Caption"), (std::vector<std::string>{"Task:"}));
  EXPECT_EQ(Texts(doc, "lT1Task"), (std::vector<std::string>{"Editor"}));
  EXPECT_EQ(Texts(doc, "lT1Total"), (std::vector<std::string>{"Total: 1 day 02:30"}));
  // The column titles are the table's header texts, "Week" over the last column.
  EXPECT_EQ(Texts(doc, "lWeek1"), (std::vector<std::string>{"Mon"}));
  EXPECT_EQ(Texts(doc, "lWeek8"), (std::vector<std::string>{"Week"}));
  // One band per week row: day, time 1, time 2 per day; the week's two totals.
  EXPECT_EQ(Texts(doc, "lDay1"), (std::vector<std::string>{"5.03", "12.03", "19.03"}));
  EXPECT_EQ(Texts(doc, "lTime2"), (std::vector<std::string>{"02:00:00", "02:00:00", "02:00:00"}));
  EXPECT_EQ(Texts(doc, "lTimeAdd2"), (std::vector<std::string>{"00:30:00", "00:30:00", "00:30:00"}));
  EXPECT_EQ(Texts(doc, "lTime3"), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Texts(doc, "lDay8"), (std::vector<std::string>{"04:00", "04:00", "04:00"}));
  EXPECT_EQ(Texts(doc, "lTime8"), (std::vector<std::string>{"00:30", "00:30", "00:30"}));
  EXPECT_EQ(Texts(doc, "lTimeAdd8"), (std::vector<std::string>{"", "", ""}));
  // The footer: the program and the page number.
  EXPECT_EQ(Texts(doc, "lAbout"), (std::vector<std::string>{"Hourlark 2.02"}));
  EXPECT_EQ(Texts(doc, "BandSysData2"), (std::vector<std::string>{"1"}));

  // Printed again (the preview's Print makes the pages anew), the rows start over.
  EXPECT_EQ(Texts(report.Generate(), "lDay1").size(), 3u);
}

TEST_F(StatisticReports, TitleBandGrowsForTheComparedTask) {
  AddWeek(5);
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  TReportDocument doc = report.Generate();
  EXPECT_EQ(report.bandTitle->Height(), 98);
  // Without a comparison its line does not print.
  EXPECT_EQ(Texts(doc, "lT2Caption"), (std::vector<std::string>{""}));
  EXPECT_EQ(Texts(doc, "lT2Total"), (std::vector<std::string>{""}));
  const int weekTop = doc.Pages[0].Find("lWeek1")->Top;

  source.task2 = "Browser";
  source.total2 = "Compared with: 00:30   (12.50%)";
  doc = report.Generate();
  EXPECT_EQ(report.bandTitle->Height(), 123);
  EXPECT_EQ(Texts(doc, "lT2Caption"), (std::vector<std::string>{"Compare:"}));
  EXPECT_EQ(Texts(doc, "lT2Task"), (std::vector<std::string>{"Browser"}));
  EXPECT_EQ(Texts(doc, "lT2Total"), (std::vector<std::string>{"Compared with: 00:30   (12.50%)"}));
  // The column titles move down with the band.
  EXPECT_EQ(doc.Pages[0].Find("lWeek1")->Top - weekTop, PixelsToTenthMm(123) - PixelsToTenthMm(98));
  // The compared task's line stays inside the band.
  EXPECT_LE(doc.Pages[0].Find("lT2Task")->Bottom, doc.Pages[0].Find("lWeek1")->Top);
}

TEST_F(StatisticReports, DatesWithoutTimeOfTheChosenTaskPrintGrey) {
  AddWeek(5);
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  const TReportPage& page = doc.Pages[0];
  EXPECT_EQ(page.Find("lDay1")->FontColor, clBlack);  // Monday has time
  EXPECT_EQ(page.Find("lDay3")->FontColor, clGray);   // Wednesday has none
  EXPECT_EQ(page.Find("lDay7")->FontColor, clGray);
  // A day with only the compared task's time is grey too.
  source.weekCells[0][0] = "5.03\t\t01:00:00";
  EXPECT_EQ(report.Generate().Pages[0].Find("lDay1")->FontColor, clGray);
}

TEST_F(StatisticReports, WeekTableWithoutRowsPrintsNothing) {
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  EXPECT_TRUE(report.Generate().Pages.empty());
}

TEST_F(StatisticReports, LongWeekTableGoesOnWithHeaderAndFooterOnEachPage) {
  for (int w = 0; w < 60; ++w) AddWeek(w);
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  ASSERT_GT(doc.Pages.size(), 1u);
  EXPECT_EQ(Texts(doc, "lDay1").size(), 60u);
  EXPECT_EQ(Texts(doc, "BandLabel1").size(), doc.Pages.size());
  EXPECT_EQ(Texts(doc, "lWeek8").size(), doc.Pages.size());
  EXPECT_EQ(Texts(doc, "BandSysData2").back(), std::to_string(doc.Pages.size()));
}

// ---- Chart ------------------------------------------------------------------------------------

TEST_F(StatisticReports, ChartPrintsItsPictureCentredUnderTheTitle) {
  TrepChart report(nullptr);
  report.SetSource(&source);
  EXPECT_EQ(report.Bin(), pbAuto);
  EXPECT_TRUE(report.PrintIfEmpty());
  TDibImage picture;
  picture.Width = 300;
  picture.Height = 200;
  picture.BitCount = 24;
  picture.Bits.assign(picture.Stride() * 200, 0x80);
  report.BandImage1->SetPicture(picture);

  const TReportDocument doc = report.Generate();
  ASSERT_EQ(doc.Pages.size(), 1u);
  const TReportItem* image = doc.Pages[0].Find("BandImage1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Kind, TReportItem::kImage);
  EXPECT_EQ(image->Right - image->Left, PixelsToTenthMm(300));
  EXPECT_NEAR(image->Left - 100, doc.PaperWidth - 100 - image->Right, 2);
  EXPECT_GE(image->Top, doc.Pages[0].Find("lT1Task")->Bottom);
  EXPECT_EQ(Texts(doc, "lT1Task"), (std::vector<std::string>{"Editor"}));
  EXPECT_EQ(report.bandTitle->Height(), 98);

  // Without a picture the title and the footer still print.
  TrepChart empty(nullptr);
  empty.SetSource(&source);
  const TReportDocument blank = empty.Generate();
  ASSERT_EQ(blank.Pages.size(), 1u);
  EXPECT_EQ(blank.Pages[0].Find("BandImage1"), nullptr);
  EXPECT_NE(blank.Pages[0].Find("lAbout"), nullptr);
}

// ---- Detail list ----------------------------------------------------------------------------------

TEST_F(StatisticReports, DetailPrintsOneBandPerListRowInOrder) {
  source.detailTotal = "Total: 05:00";
  source.detailItems = {{" Mail", "03:00:00"}, {" Chat", "02:00:00"}};
  TrepDetail report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  ASSERT_EQ(doc.Pages.size(), 1u);
  EXPECT_EQ(Texts(doc, "lName"), (std::vector<std::string>{" Mail", " Chat"}));
  EXPECT_EQ(Texts(doc, "lTime"), (std::vector<std::string>{"03:00:00", "02:00:00"}));
  EXPECT_EQ(Texts(doc, "lTotal"), (std::vector<std::string>{"Total: 05:00"}));
  EXPECT_EQ(Texts(doc, "lNameHeader"), (std::vector<std::string>{"Application Name"}));
  EXPECT_EQ(Texts(doc, "lTimeHeader"), (std::vector<std::string>{"Worked Time"}));
  EXPECT_EQ(Texts(doc, "lUser"), (std::vector<std::string>{"User: ann"}));
  EXPECT_TRUE(Texts(doc, "lT1Task").empty());
}

TEST_F(StatisticReports, EmptyDetailPrintsTitleAndFooterOnly) {
  source.detailTotal = "Total: 00:00";
  TrepDetail report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  ASSERT_EQ(doc.Pages.size(), 1u);
  EXPECT_TRUE(Texts(doc, "lName").empty());
  EXPECT_EQ(Texts(doc, "lTotal"), (std::vector<std::string>{"Total: 00:00"}));
  EXPECT_EQ(Texts(doc, "BandSysData2"), (std::vector<std::string>{"1"}));
}

TEST_F(StatisticReports, LongDetailListRunsOverPages) {
  for (int i = 0; i < 150; ++i) source.detailItems.push_back({" Task " + std::to_string(i), "00:01:00"});
  TrepDetail report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  ASSERT_GE(doc.Pages.size(), 2u);
  const std::vector<std::string> names = Texts(doc, "lName");
  ASSERT_EQ(names.size(), 150u);
  EXPECT_EQ(names.front(), " Task 0");
  EXPECT_EQ(names.back(), " Task 149");
  EXPECT_EQ(Texts(doc, "lNameHeader").size(), doc.Pages.size());
}

TEST_F(StatisticReports, WeekTablePageDrawsGreyAndBlackDates) {
  AddWeek(5);
  source.task2 = "Browser";
  source.total2 = "Compared with: 00:30   (12.50%)";
  TrepStatistic report(nullptr);
  report.SetSource(&source);
  const TReportDocument doc = report.Generate();
  std::unique_ptr<TBitmap> page = RenderPageToBitmap(doc, 0, 96);
  // Left for people to look at, beside the test program.
  page->SaveToFile(window_test::ProgramFolder() + "\\statistic-week-report.bmp");
  auto colours = [&](const std::string& name, TColor wanted) {
    const TReportItem* item = doc.Pages[0].Find(name);
    const double scale = 96 / 254.0;  // pixels per tenth of a millimetre
    int n = 0;
    for (int y = static_cast<int>(item->Top * scale); y < static_cast<int>(item->Bottom * scale); ++y)
      for (int x = static_cast<int>(item->Left * scale); x < static_cast<int>(item->Right * scale); ++x)
        n += (page->Canvas()->Pixels(x, y) & 0xFFFFFF) == wanted;
    return n;
  };
  EXPECT_GT(colours("lDay1", clBlack), 0);
  EXPECT_EQ(colours("lDay1", clGray), 0);
  EXPECT_GT(colours("lDay3", clGray), 0);
  EXPECT_EQ(colours("lDay3", clBlack), 0);
}

// ---- Shared parts ------------------------------------------------------------------------------

TEST_F(StatisticReports, LabelsTakeTheLanguagesCharacterSet) {
  source.detailItems = {{" Mail", "03:00:00"}};
  TrepDetail report(nullptr);
  report.SetSource(&source);
  report.SetLabelCharset(204);
  const TReportDocument doc = report.Generate();
  for (const TReportItem& item : doc.Pages[0].Items) {
    if (item.Name.rfind("BandSysData", 0) == 0) continue;
    EXPECT_EQ(item.FontCharset, 204) << item.Name;
  }
}

TEST_F(StatisticReports, FixedTextsGoIntoTheBaseLanguage) {
  std::vector<TLangFormClass> forms;
  for (const TLangFormClass& form : RegisteredLangForms())
    if (form.Name == "TrepStatistic" || form.Name == "TrepChart" || form.Name == "TrepDetail") forms.push_back(form);
  ASSERT_EQ(forms.size(), 3u);
  CollectBaseLanguage(dir_, {{153, "Total"}}, forms, DEFAULT_CHARSET);
  TLingroveLangFile native(PathOf("native.lng"));
  auto textOf = [&](const std::string& form, const std::string& path) {
    TLingroveLangStr* entry = native.Find(form, path);
    return entry == nullptr ? std::string("-") : entry->GetText();
  };
  EXPECT_EQ(textOf("repStatistic", "BandLabel1.Caption"), "Time spent statistics");
  EXPECT_EQ(textOf("repChart", "BandLabel1.Caption"), "Time spent statistics");
  EXPECT_EQ(textOf("repDetail", "lNameHeader.Caption"), "Application Name");
  EXPECT_EQ(textOf("repDetail", "lTimeHeader.Caption"), "Worked Time");
}

}  // namespace
