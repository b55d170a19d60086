#include "platform/report/report_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/format_settings.h"

namespace {

TDateTime FixedClock() { return EncodeDate(2026, 3, 14) + EncodeTime(15, 9, 26, 0); }

// A layout like the tracker's: page header, column header, one detail band with a label
// per row, and a footer with the print time and page number.
class ReportLayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    previousClock_ = SetClock(&FixedClock);
    report.SetMargins(10, 10, 10, 10);
    header = Band("bandTitle", rbPageHeader, 98);
    Label(header, "BandLabel1", "Time spent statistics", 0, 4)->SetAlignment(baCenter);
    columns = Band("Band1", rbColumnHeader, 20);
    Label(columns, "lWeek1", "Mon", 0, 2);
    detail = Band("bandDetail", rbDetail, 40);
    row = Label(detail, "lName", "", 10, 5);
    footer = Band("Band3", rbPageFooter, 24);
    auto* when = new TBandSysData(&report);
    when->SetName("BandSysData1");
    when->SetBand(footer);
    auto* page = new TBandSysData(&report);
    page->SetName("BandSysData2");
    page->SetData(sdPageNumber);
    page->SetText("Page ");
    page->SetBand(footer);
    page->SetLeft(600);
  }
  void TearDown() override {
    SetClock(previousClock_);
    FormatSettings() = DefaultFormatSettings();
  }

  TReportBand* Band(const std::string& name, TBandType type, int height) {
    auto* band = new TReportBand(&report);
    band->SetName(name);
    band->SetBandType(type);
    band->SetHeight(height);
    band->SetReport(&report);
    return band;
  }
  TBandLabel* Label(TReportBand* band, const std::string& name, const std::string& caption, int left, int top) {
    auto* label = new TBandLabel(&report);
    label->SetName(name);
    label->SetCaption(caption);
    label->SetBounds(left, top, 200, 17);
    label->SetBand(band);
    return label;
  }
  // A data source of n rows, counted as the tracker's layouts count them.
  void RowsOf(int n) {
    rows = n;
    report.BeforePrint = [this](TObject*, bool& print) {
      print = true;
      counter = 0;
    };
    report.OnNeedData = [this](TObject*, bool& more) {
      if (counter < rows) row->SetCaption("row " + std::to_string(counter + 1));
      ++counter;
      more = counter <= rows;
    };
  }
  static int Count(const TReportPage& page, const std::string& name) {
    int n = 0;
    for (const TReportItem& item : page.Items) n += item.Name == name;
    return n;
  }
  static std::vector<std::string> Texts(const TReportPage& page, const std::string& name) {
    std::vector<std::string> texts;
    for (const TReportItem& item : page.Items)
      if (item.Name == name) texts.push_back(item.Text);
    return texts;
  }

  TReportLayout report{nullptr};
  TReportBand* header = nullptr;
  TReportBand* columns = nullptr;
  TReportBand* detail = nullptr;
  TReportBand* footer = nullptr;
  TBandLabel* row = nullptr;
  int rows = 0;
  int counter = 0;

private:
  ClockFn previousClock_ = nullptr;
};

TEST_F(ReportLayoutTest, OneDetailBandPerRowBetweenHeaderAndFooter) {
  RowsOf(3);
  const TReportDocument doc = report.Generate();
  EXPECT_EQ(2100, doc.PaperWidth);
  EXPECT_EQ(2970, doc.PaperHeight);
  ASSERT_EQ(1u, doc.Pages.size());
  const TReportPage& page = doc.Pages[0];
  EXPECT_EQ((std::vector<std::string>{"row 1", "row 2", "row 3"}), Texts(page, "lName"));
  // Header at the top margin, column header below it, rows below that, one band apart.
  EXPECT_EQ(100 + PixelsToTenthMm(4), page.Find("BandLabel1")->Top);
  const int firstRow = 100 + PixelsToTenthMm(98) + PixelsToTenthMm(20) + PixelsToTenthMm(5);
  std::vector<int> tops;
  for (const TReportItem& item : page.Items)
    if (item.Name == "lName") tops.push_back(item.Top);
  EXPECT_NEAR(firstRow, tops[0], 1);
  EXPECT_NEAR(PixelsToTenthMm(40), tops[1] - tops[0], 1);
  // Footer at the bottom margin; its texts: the print time and the page number.
  EXPECT_EQ(2970 - 100 - PixelsToTenthMm(24), page.Find("BandSysData1")->Top);
  EXPECT_EQ(DateTimeToStr(FixedClock()), page.Find("BandSysData1")->Text);
  EXPECT_EQ("Page 1", page.Find("BandSysData2")->Text);
  // Left margin plus the item's own place; the box is the item's width.
  EXPECT_EQ(100 + PixelsToTenthMm(10), page.Find("lName")->Left);
  EXPECT_EQ(PixelsToTenthMm(200), page.Find("lName")->Right - page.Find("lName")->Left);
  EXPECT_EQ(baCenter, page.Find("BandLabel1")->Alignment);
}

TEST_F(ReportLayoutTest, HeaderSetUpBeforePrintingIsWhatPrints) {
  // The tracker sets the header's height and texts in BeforePrint, before the first row.
  std::vector<std::string> calls;
  report.BeforePrint = [&](TObject* sender, bool& print) {
    EXPECT_EQ(&report, sender);
    calls.push_back("before");
    header->SetHeight(123);
    print = true;
  };
  report.OnNeedData = [&](TObject*, bool& more) {
    calls.push_back("need");
    more = calls.size() < 3;
  };
  const TReportDocument doc = report.Generate();
  EXPECT_EQ((std::vector<std::string>{"before", "need", "need"}), calls);
  ASSERT_EQ(1u, doc.Pages.size());
  EXPECT_EQ(1, Count(doc.Pages[0], "lName"));
  EXPECT_EQ(100 + PixelsToTenthMm(123), doc.Pages[0].Find("lWeek1")->Top - PixelsToTenthMm(2));
}

TEST_F(ReportLayoutTest, NothingToPrint) {
  // Cancelled before printing.
  report.BeforePrint = [](TObject*, bool& print) { print = false; };
  EXPECT_TRUE(report.Generate().Pages.empty());
  // No rows and not printed when empty.
  RowsOf(0);
  report.SetPrintIfEmpty(false);
  EXPECT_TRUE(report.Generate().Pages.empty());
  // No rows but printed when empty: header and footer, no row.
  report.SetPrintIfEmpty(true);
  const TReportDocument doc = report.Generate();
  ASSERT_EQ(1u, doc.Pages.size());
  EXPECT_EQ(0, Count(doc.Pages[0], "lName"));
  EXPECT_EQ(1, Count(doc.Pages[0], "BandLabel1"));
  EXPECT_EQ(1, Count(doc.Pages[0], "BandSysData2"));
  // Without a data source the detail band prints once.
  report.OnNeedData = nullptr;
  EXPECT_EQ(1, Count(report.Generate().Pages[0], "lName"));
}

TEST_F(ReportLayoutTest, RowsRunOnToNewPagesWithHeadersAndNumbers) {
  RowsOf(100);
  const TReportDocument doc = report.Generate();
  ASSERT_GE(doc.Pages.size(), 2u);
  int total = 0;
  for (size_t p = 0; p < doc.Pages.size(); ++p) {
    const TReportPage& page = doc.Pages[p];
    EXPECT_EQ(static_cast<int>(p) + 1, page.Number);
    EXPECT_EQ("Page " + std::to_string(p + 1), page.Find("BandSysData2")->Text);
    EXPECT_EQ(1, Count(page, "BandLabel1"));
    EXPECT_EQ(1, Count(page, "lWeek1"));
    // No row runs into the footer.
    const int footerTop = page.Find("BandSysData1")->Top;
    for (const TReportItem& item : page.Items) {
      if (item.Name != "lName") continue;
      EXPECT_LE(item.Top - PixelsToTenthMm(5) + PixelsToTenthMm(40), footerTop);
    }
    total += Count(page, "lName");
  }
  EXPECT_EQ(100, total);
  EXPECT_EQ("row 100", Texts(doc.Pages.back(), "lName").back());
  // A full page holds as many rows as fit.
  const int room = 2970 - 200 - PixelsToTenthMm(98) - PixelsToTenthMm(20) - PixelsToTenthMm(24);
  EXPECT_EQ(room / PixelsToTenthMm(40), Count(doc.Pages[0], "lName"));
}

TEST_F(ReportLayoutTest, HeaderAndFooterOptionsOnFirstAndLastPage) {
  RowsOf(100);
  report.SetFirstPageHeader(false);
  report.SetLastPageFooter(false);
  const TReportDocument doc = report.Generate();
  ASSERT_GE(doc.Pages.size(), 2u);
  EXPECT_EQ(0, Count(doc.Pages.front(), "BandLabel1"));
  EXPECT_EQ(1, Count(doc.Pages.front(), "lWeek1"));  // the column header still prints
  EXPECT_EQ(1, Count(doc.Pages.front(), "BandSysData2"));
  EXPECT_EQ(1, Count(doc.Pages.back(), "BandLabel1"));
  EXPECT_EQ(0, Count(doc.Pages.back(), "BandSysData2"));
}

TEST_F(ReportLayoutTest, PrintHandlerChangesTextAndColourOfEachPrinting) {
  RowsOf(3);
  row->OnPrint = [this](TObject* sender, std::string& value) {
    EXPECT_EQ(row, sender);
    // Grey for the second row, black otherwise, as a day without time prints.
    row->Font()->SetColor(value == "row 2" ? 0x808080 : clBlack);
    value += "!";
  };
  const TReportDocument doc = report.Generate();
  std::vector<TColor> colours;
  for (const TReportItem& item : doc.Pages[0].Items)
    if (item.Name == "lName") colours.push_back(item.FontColor);
  EXPECT_EQ((std::vector<TColor>{clBlack, 0x808080, clBlack}), colours);
  EXPECT_EQ("row 1!", Texts(doc.Pages[0], "lName")[0]);
  EXPECT_EQ("row 3", row->Caption());  // the handler changed the printed text, not the caption
}

TEST_F(ReportLayoutTest, PicturesAreCentredSizedAndMakeTheirBandGrow) {
  report.OnNeedData = nullptr;
  auto* image = new TBandImage(&report);
  image->SetName("BandImage");
  image->SetBand(detail);
  image->SetAutoSize(true);
  image->SetCenter(true);
  TDibImage picture;
  picture.Width = 400;
  picture.Height = 300;
  picture.BitCount = 24;
  picture.Bits.assign(picture.Stride() * 300, 0x80);
  image->SetPicture(picture);
  TReportDocument doc = report.Generate();
  const TReportItem* printed = doc.Pages[0].Find("BandImage");
  ASSERT_NE(nullptr, printed);
  EXPECT_EQ(TReportItem::kImage, printed->Kind);
  EXPECT_EQ(PixelsToTenthMm(400), printed->Right - printed->Left);
  EXPECT_EQ(PixelsToTenthMm(300), printed->Bottom - printed->Top);
  EXPECT_NEAR(1050, (printed->Left + printed->Right) / 2, 1);  // the middle of the paper
  ASSERT_TRUE(printed->Picture);
  EXPECT_EQ(400, printed->Picture->Width);

  // Wider than the band: shrunk to its width, shape kept.
  picture.Width = 1200;
  picture.Bits.assign(picture.Stride() * 300, 0x80);
  image->SetPicture(picture);
  doc = report.Generate();
  printed = doc.Pages[0].Find("BandImage");
  EXPECT_EQ(1900, printed->Right - printed->Left);
  EXPECT_NEAR(1900 * 300 / 1200, printed->Bottom - printed->Top, 1);

  // An empty picture prints nothing.
  image->SetPicture(TDibImage{});
  EXPECT_EQ(nullptr, report.Generate().Pages[0].Find("BandImage"));
}

TEST_F(ReportLayoutTest, RunawayDataAndOversizedBandsEnd) {
  // A source that never ends is reported instead of filling memory.
  report.OnNeedData = [](TObject*, bool& more) { more = true; };
  EXPECT_THROW(report.Generate(), EReportError);
  // A band taller than a page prints once per page, cut off, and the report ends.
  RowsOf(3);
  detail->SetHeight(5000);
  const TReportDocument doc = report.Generate();
  EXPECT_EQ(3u, doc.Pages.size());
  // No room between the margins.
  report.SetMargins(100, 150, 110, 150);
  EXPECT_THROW(report.Generate(), EReportError);
  EXPECT_THROW(report.SetMargins(-1, 0, 0, 0), EReportError);
  EXPECT_THROW(report.SetPageSize(0, 297), EReportError);
}

TEST_F(ReportLayoutTest, LandscapePaperAndItemsFoundByName) {
  report.OnNeedData = nullptr;
  report.SetOrientation(poLandscape);
  const TReportDocument doc = report.Generate();
  EXPECT_EQ(2970, doc.PaperWidth);
  EXPECT_EQ(2100, doc.PaperHeight);
  EXPECT_EQ(row, report.FindComponent("lName"));
  EXPECT_EQ(footer, report.FindComponent("Band3"));
  EXPECT_EQ(4, report.BandCount());
}

TEST_F(ReportLayoutTest, BandsAndItemsMayBeFreedInAnyOrder) {
  delete row;
  EXPECT_EQ(0, detail->ItemCount());
  delete header;
  EXPECT_EQ(3, report.BandCount());
  auto* orphan = new TBandLabel(&report);
  orphan->SetBand(detail);
  delete detail;
  EXPECT_EQ(nullptr, orphan->Band());
  report.OnNeedData = nullptr;
  EXPECT_EQ(1u, report.Generate().Pages.size());
}

TEST(PrintedPageTest, CollatedCopiesFollowEachOtherUncollatedEachPageRepeats) {
  struct Case {
    int first, last, copies;
    bool collate;
    std::vector<int> pages;
  };
  const Case cases[] = {
      {1, 2, 2, true, {1, 2, 1, 2}},
      {1, 2, 2, false, {1, 1, 2, 2}},
      {0, 2, 3, false, {0, 0, 0, 1, 1, 1, 2, 2, 2}},
      {0, 2, 1, false, {0, 1, 2}},
      {4, 4, 3, true, {4, 4, 4}},
  };
  for (const Case& c : cases) {
    std::vector<int> pages;
    for (int step = 0; step < (c.last - c.first + 1) * c.copies; ++step)
      pages.push_back(PrintedPage(c.first, c.last, c.copies, c.collate, step));
    EXPECT_EQ(c.pages, pages) << c.first << "-" << c.last << " x" << c.copies << (c.collate ? " collated" : "");
  }
}

}  // namespace
