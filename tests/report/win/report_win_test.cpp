#include "platform/report/win/band_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/report/win/report_preview.h"
#include "platform/report/win/report_render.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kRed = 0x0000FF;

TColor PixelAt(TBitmap* bitmap, int x, int y) { return bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF; }

// Pixels of the colour (or, with dark, of any dark colour) in a rectangle of the bitmap.
int CountPixels(TBitmap* bitmap, const RECT& r, TColor colour, bool dark = false) {
  int n = 0;
  for (int y = std::max<int>(0, r.top); y < std::min<int>(r.bottom, bitmap->Height()); ++y)
    for (int x = std::max<int>(0, r.left); x < std::min<int>(r.right, bitmap->Width()); ++x) {
      const TColor c = PixelAt(bitmap, x, y);
      if (dark ? ((c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60) : c == colour) ++n;
    }
  return n;
}

// A solid picture.
TDibImage SolidPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  TDibImage picture;
  picture.Width = width;
  picture.Height = height;
  picture.BitCount = 24;
  picture.Bits.resize(picture.Stride() * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &picture.Bits[picture.Stride() * y + 3 * x];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  return picture;
}

// A printable layout: a title, a row label in black or grey, a picture, the page number.
class SampleReport : public TBandReport {
public:
  explicit SampleReport(int rows) : TBandReport(nullptr), rows_(rows) {
    SetReportTitle("Sample");
    auto* header = Band("bandTitle", rbPageHeader, 60);
    title = Label(header, "BandLabel1", "Time spent statistics", 0, 8, 718);
    title->SetAlignment(baCenter);
    title->Font()->SetSize(16);
    title->Font()->SetStyle(1);
    auto* detail = Band("bandDetail", rbDetail, 30);
    row = Label(detail, "lName", "", 20, 5, 300);
    image = new TBandImage(this);
    image->SetName("BandImage");
    image->SetBand(Band("bandPicture", rbDetail, 10));
    image->SetBounds(400, 0, 120, 60);
    image->SetPicture(SolidPicture(8, 4, 255, 0, 0));
    auto* footer = Band("Band3", rbPageFooter, 24);
    auto* page = new TBandSysData(this);
    page->SetName("BandSysData2");
    page->SetData(sdPageNumber);
    page->SetText("Page ");
    page->SetBand(footer);
    page->SetBounds(0, 4, 718, 17);
    page->SetAlignment(baRight);
    OnNeedData = [this](TObject*, bool& more) {
      if (counter_ < rows_) {
        row->SetCaption("Row number " + std::to_string(counter_ + 1));
        row->Font()->SetColor(counter_ % 2 ? 0x808080 : clBlack);
      }
      more = ++counter_ <= rows_;
    };
    BeforePrint = [this](TObject*, bool& print) {
      counter_ = 0;
      print = true;
    };
  }

  TBandLabel* title = nullptr;
  TBandLabel* row = nullptr;
  TBandImage* image = nullptr;

private:
  TReportBand* Band(const std::string& name, TBandType type, int height) {
    auto* band = new TReportBand(this);
    band->SetName(name);
    band->SetBandType(type);
    band->SetHeight(height);
    band->SetReport(this);
    return band;
  }
  TBandLabel* Label(TReportBand* band, const std::string& name, const std::string& caption, int left, int top,
                    int width) {
    auto* label = new TBandLabel(this);
    label->SetName(name);
    label->SetCaption(caption);
    label->SetBounds(left, top, width, 20);
    label->SetBand(band);
    return label;
  }
  int rows_;
  int counter_ = 0;
};

// Where an item lands in a page bitmap at dpi.
RECT DeviceBox(const TReportItem& item, int dpi) {
  const double s = dpi / 254.0;
  return RECT{static_cast<LONG>(item.Left * s), static_cast<LONG>(item.Top * s), static_cast<LONG>(item.Right * s),
              static_cast<LONG>(item.Bottom * s)};
}

class ReportWinTest : public AppTest {};

}  // namespace

TEST_F(ReportWinTest, PageBitmapShowsTextsInTheirColoursAndPicturesInTheirBoxes) {
  SampleReport report(2);
  const TReportDocument doc = report.Generate();
  ASSERT_EQ(1u, doc.Pages.size());
  std::unique_ptr<TBitmap> page = RenderPageToBitmap(doc, 0, 96);
  EXPECT_EQ(794, page->Width());  // 210 mm at 96 pixels per inch
  EXPECT_EQ(1123, page->Height());
  // The rows: the first in black, the second in grey.
  std::vector<const TReportItem*> rows;
  for (const TReportItem& item : doc.Pages[0].Items)
    if (item.Name == "lName") rows.push_back(&item);
  ASSERT_EQ(2u, rows.size());
  EXPECT_GT(CountPixels(page.get(), DeviceBox(*rows[0], 96), 0, true), 30);
  EXPECT_EQ(0, CountPixels(page.get(), DeviceBox(*rows[1], 96), 0, true));
  EXPECT_GT(CountPixels(page.get(), DeviceBox(*rows[1], 96), 0x808080), 30);
  // The picture fills its box in red.
  const TReportItem* picture = doc.Pages[0].Find("BandImage");
  ASSERT_NE(nullptr, picture);
  const RECT box = DeviceBox(*picture, 96);
  EXPECT_EQ(kRed, PixelAt(page.get(), (box.left + box.right) / 2, (box.top + box.bottom) / 2));
  EXPECT_EQ(clWhite, PixelAt(page.get(), box.right + 3, (box.top + box.bottom) / 2));
  // The centred title stands about the middle of the paper; the page number at the right.
  const RECT title = DeviceBox(*doc.Pages[0].Find("BandLabel1"), 96);
  EXPECT_EQ(0, CountPixels(page.get(), RECT{title.left, title.top, title.left + 150, title.bottom}, 0, true));
  EXPECT_GT(CountPixels(page.get(), RECT{300, title.top, 500, title.bottom}, 0, true), 50);
  const RECT number = DeviceBox(*doc.Pages[0].Find("BandSysData2"), 96);
  EXPECT_GT(CountPixels(page.get(), RECT{number.right - 60, number.top, number.right, number.bottom}, 0, true), 10);
  // Nothing printed in the margins.
  EXPECT_EQ(0, CountPixels(page.get(), RECT{0, 0, 794, 37}, clWhite) - 794 * 37);
  EXPECT_THROW(RenderPageToBitmap(doc, 1, 96), EReportError);
}

TEST_F(ReportWinTest, WindowBitmapsPrintTheRightWayUp) {
  // As a chart's bitmap reaches the report: a window-library bitmap, top half green,
  // bottom half blue.
  TBitmap drawn;
  drawn.SetSize(40, 20);
  drawn.Canvas()->Brush()->SetColor(clLime);
  drawn.Canvas()->FillRect(RECT{0, 0, 40, 10});
  drawn.Canvas()->Brush()->SetColor(clBlue);
  drawn.Canvas()->FillRect(RECT{0, 10, 40, 20});
  SampleReport report(1);
  report.image->SetPicture(drawn.ToDibImage());
  report.image->SetAutoSize(true);
  const TReportDocument doc = report.Generate();
  std::unique_ptr<TBitmap> page = RenderPageToBitmap(doc, 0, 96);
  const RECT box = DeviceBox(*doc.Pages[0].Find("BandImage"), 96);
  EXPECT_NEAR(40, box.right - box.left, 1);
  EXPECT_EQ(clLime, PixelAt(page.get(), box.left + 20, box.top + 3));
  EXPECT_EQ(clBlue, PixelAt(page.get(), box.left + 20, box.bottom - 3));
}

TEST_F(ReportWinTest, PagesScaleWithTheDevice) {
  SampleReport report(1);
  const TReportDocument doc = report.Generate();
  std::unique_ptr<TBitmap> small = RenderPageToBitmap(doc, 0, 48);
  std::unique_ptr<TBitmap> large = RenderPageToBitmap(doc, 0, 96);
  EXPECT_NEAR(small->Width() * 2, large->Width(), 1);
  const RECT boxSmall = DeviceBox(*doc.Pages[0].Find("BandImage"), 48);
  const RECT boxLarge = DeviceBox(*doc.Pages[0].Find("BandImage"), 96);
  EXPECT_EQ(kRed, PixelAt(small.get(), (boxSmall.left + boxSmall.right) / 2, (boxSmall.top + boxSmall.bottom) / 2));
  EXPECT_NEAR((boxSmall.right - boxSmall.left) * 2, boxLarge.right - boxLarge.left, 2);
  // The text is smaller too: fewer dark pixels in the row at half the scale.
  const TReportItem* row = doc.Pages[0].Find("lName");
  const int darkSmall = CountPixels(small.get(), DeviceBox(*row, 48), 0, true);
  const int darkLarge = CountPixels(large.get(), DeviceBox(*row, 96), 0, true);
  EXPECT_GT(darkSmall, 0);
  EXPECT_GT(darkLarge, darkSmall * 2);
}

TEST_F(ReportWinTest, PreviewPagesThroughTheDocumentAndZooms) {
  SampleReport report(80);
  const TReportDocument doc = report.Generate();
  ASSERT_GE(doc.Pages.size(), 3u);
  TReportPreview preview(nullptr, doc, report);
  preview.Show();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(preview.Handle()) != FALSE; }));
  const std::string of = " of " + std::to_string(doc.Pages.size());
  EXPECT_EQ("Page 1" + of, preview.PageText());
  EXPECT_FALSE(preview.PriorButton()->Enabled());
  preview.NextButton()->Click();
  EXPECT_EQ("Page 2" + of, preview.PageText());
  EXPECT_TRUE(preview.PriorButton()->Enabled());
  preview.ShowPage(99);
  EXPECT_EQ(static_cast<int>(doc.Pages.size()) - 1, preview.PageIndex());
  EXPECT_FALSE(preview.NextButton()->Enabled());
  preview.PriorButton()->Click();
  EXPECT_EQ(static_cast<int>(doc.Pages.size()) - 2, preview.PageIndex());
  // The layout's zoom first: real size. Whole page: the paper fits the view.
  TReportPageView* view = preview.PageView();
  EXPECT_EQ(100, view->Zoom());
  EXPECT_FALSE(preview.RealSizeButton()->Enabled());
  preview.WholePageButton()->Click();
  RECT paper = view->PaperRect();
  const RECT client = view->ClientRect();
  EXPECT_GE(paper.left, 0);
  EXPECT_GE(paper.top, 0);
  EXPECT_LE(paper.bottom, client.bottom);
  EXPECT_FALSE(preview.WholePageButton()->Enabled());
  // Real size: the paper is as wide as 210 mm on the screen, and can be scrolled.
  preview.RealSizeButton()->Click();
  paper = view->PaperRect();
  EXPECT_NEAR(794, paper.right - paper.left, 2);
  const int top = paper.top;
  SendMessageA(view->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_LT(view->PaperRect().top, top);
  SendMessageA(view->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GE(view->PaperRect().bottom + 12, view->ClientRect().bottom - 20);
  // Print hands the document to the printer path.
  int printed = 0;
  preview.PrintHandler = [&](const TReportDocument& d, const TReportLayout& l, HWND owner) {
    EXPECT_EQ(&doc, &d);
    EXPECT_EQ(&report, &l);
    EXPECT_EQ(preview.Handle(), owner);
    ++printed;
  };
  preview.PrintButton()->Click();
  EXPECT_EQ(1, printed);
  if (std::getenv("HL_SHOT_PAUSE_MS") != nullptr) {
    preview.WholePageButton()->Click();
    preview.ShowPage(0);
    real_input::HoldForLooking("HL_SHOT_PAUSE_MS");
  }
}

// Tab goes round the preview's enabled buttons in the order they stand, Shift+Tab back.
TEST_F(ReportWinTest, TabGoesRoundThePreviewsEnabledButtons) {
  SampleReport report(80);
  const TReportDocument doc = report.Generate();
  TReportPreview preview(nullptr, doc, report);
  preview.Show();
  preview.ShowPage(1);
  ASSERT_TRUE(real_input::BringToForeground(preview.Handle()));
  real_input::ExpectTabOrder({preview.PriorButton(), preview.NextButton(), preview.WholePageButton(),
                              preview.PrintButton(), preview.CloseButton()},
                             "preview");
}

// The page is read from the keyboard as in any viewer: the arrows scroll a line, PgUp/PgDn a
// view's height and then go on to the neighbouring page, Home/End to the page's top and end.
TEST_F(ReportWinTest, PreviewKeysScrollThePageAndGoOnToTheNextOne) {
  SampleReport report(80);
  const TReportDocument doc = report.Generate();
  ASSERT_GE(doc.Pages.size(), 2u);
  TReportPreview preview(nullptr, doc, report);
  preview.SetBounds(0, 0, 600, 500);  // a real-size page is higher and wider than the view
  preview.Show();
  ASSERT_TRUE(real_input::BringToForeground(preview.Handle()));
  TReportPageView* view = preview.PageView();
  ASSERT_EQ(view->Zoom(), 100);
  enum Spot { kTop, kBetween, kBottom };
  auto vertical = [view] {
    const RECT paper = view->PaperRect();
    if (paper.top == 12) return kTop;
    return paper.bottom + 12 + 4 <= view->ClientRect().bottom ? kBottom : kBetween;
  };
  struct Step {
    WORD key;
    int page;
    Spot spot;
    bool scrolledRight;
  };
  const Step steps[] = {
      {VK_DOWN, 0, kBetween, false}, {VK_UP, 0, kTop, false},     {VK_NEXT, 0, kBetween, false},
      {VK_END, 0, kBottom, false},   {VK_NEXT, 1, kTop, false},   {VK_PRIOR, 0, kBottom, false},
      {VK_HOME, 0, kTop, false},     {VK_RIGHT, 0, kTop, true},   {VK_LEFT, 0, kTop, false},
  };
  for (const Step& step : steps) {
    real_input::PressKey(step.key);
    SCOPED_TRACE("after key " + std::to_string(step.key));
    EXPECT_EQ(preview.PageIndex(), step.page);
    EXPECT_EQ(vertical(), step.spot);
    EXPECT_EQ(view->PaperRect().left < 12, step.scrolledRight);
  }
}

namespace {
// Closes the preview as the user would, once it is up.
void CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  for (HWND w = GetForegroundWindow(); w; w = nullptr) PostMessageA(w, WM_CLOSE, 0, 0);
  HWND active = GetActiveWindow();
  if (active) PostMessageA(active, WM_CLOSE, 0, 0);
}
}  // namespace

TEST_F(ReportWinTest, PreviewIsModalAndEmptyReportsShowNothing) {
  SampleReport report(3);
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, &PressEscape);
  ASSERT_NE(0u, timer);
  const DWORD start = GetTickCount();
  report.Preview();  // returns once the timer closed it
  EXPECT_GE(GetTickCount() - start, 250u);
  // Cancelled in BeforePrint: no pages, no window.
  report.BeforePrint = [](TObject*, bool& print) { print = false; };
  const DWORD again = GetTickCount();
  report.Preview();
  EXPECT_LT(GetTickCount() - again, 250u);
}

TEST_F(ReportWinTest, PrintingWithoutAPrinterIsReportedNotCrashed) {
  // This machine may have no printer at all: then the dialog's refusal becomes an error the
  // user is shown. With one, the dialog would wait for the user, so it is not opened here.
  SampleReport report(1);
  const TReportDocument doc = report.Generate();
  PRINTDLGA probe{};
  probe.lStructSize = sizeof probe;
  probe.Flags = PD_RETURNDEFAULT;
  if (PrintDlgA(&probe)) {
    GlobalFree(probe.hDevMode);
    GlobalFree(probe.hDevNames);
    GTEST_SKIP() << "a printer is installed";
  }
  EXPECT_THROW(PrintReportDocument(doc, report, nullptr), EReportError);
  // An empty document needs no printer.
  EXPECT_TRUE(PrintReportDocument(TReportDocument{}, report, nullptr));
}

TEST_F(ReportWinTest, ADeviceThatCannotPrintIsReportedAsAnError) {
  // A screen memory DC takes no print job: the failure must reach the caller, not be lost.
  SampleReport report(1);
  const TReportDocument doc = report.Generate();
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  EXPECT_THROW(PrintReportOnDc(dc.get(), doc, 0, 0), EReportError);
  // Nothing to print starts no job at all.
  EXPECT_NO_THROW(PrintReportOnDc(dc.get(), doc, 3, 5));
  EXPECT_NO_THROW(PrintReportOnDc(dc.get(), doc, 0, 0, 0));
}
