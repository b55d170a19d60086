#pragma once
// The banded report engine's layout and page maker, apart from any device.
//
// A layout (TReportLayout) is a component that owns bands (TReportBand) and the printable
// items placed on them (TBandLabel, TBandSysData, TBandImage), all found by name through
// FindComponent. Generate runs the layout over its data: BeforePrint may cancel, OnNeedData
// is asked before every detail band whether there is another row (and fills the items for
// it), and the bands are placed on pages: the page header and column header at the top of
// each page, detail bands below them while they fit, the page footer at the bottom. The
// result (TReportDocument) is the list of what each page shows, in tenths of a millimetre:
// the recording the screen preview, the printer and the tests all read.
//
// Page sizes and margins are in millimetres; band heights and item positions are in pixels
// of the layout as designed on a 96 pixels-per-inch screen.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/bmp_format.h"
#include "platform/wcl/colors.h"

// Raised for a layout that cannot be put on pages (runaway data, no room for a band).
HL_DECLARE_EXCEPTION(EReportError, Exception);

// A font as the report prints it. Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out
// (the window library's font style bits).
class TReportFont : public TPersistent {
  HL_REFLECTABLE
public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  // Points.
  int Size() const { return size_; }
  void SetSize(int value) { size_ = value > 0 ? value : 1; }
  unsigned Style() const { return style_; }
  void SetStyle(unsigned value) { style_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t value) { charset_ = value; }
  void Assign(TPersistent* source) override;

private:
  std::string name_ = "Arial";
  int size_ = 10;
  unsigned style_ = 0;
  TColor color_ = clBlack;
  uint8_t charset_ = 1;  // the default character set
};

enum TBandType { rbPageHeader, rbColumnHeader, rbDetail, rbPageFooter };
enum TBandAlignment { baLeft, baRight, baCenter };

class TReportLayout;
class TBandItem;

class TReportBand : public TComponent {
  HL_REFLECTABLE
public:
  explicit TReportBand(TComponent* owner);
  ~TReportBand() override;

  // The layout the band prints in (nullptr: none). The band leaves its former layout.
  TReportLayout* Report() const { return report_; }
  void SetReport(TReportLayout* report);
  TBandType BandType() const { return type_; }
  void SetBandType(TBandType value) { type_ = value; }
  // Design pixels.
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value < 0 ? 0 : value; }

  int ItemCount() const { return static_cast<int>(items_.size()); }
  TBandItem* Items(int index) const { return items_.at(index); }

private:
  friend class TBandItem;
  friend class TReportLayout;
  TReportLayout* report_ = nullptr;
  TBandType type_ = rbDetail;
  int height_ = 40;
  std::vector<TBandItem*> items_;
};

// Something printed on a band, at a place given in design pixels from the band's top left.
class TBandItem : public TComponent {
  HL_REFLECTABLE
public:
  explicit TBandItem(TComponent* owner);
  ~TBandItem() override;

  TReportBand* Band() const { return band_; }
  void SetBand(TReportBand* band);
  int Left() const { return left_; }
  void SetLeft(int value) { left_ = value; }
  int Top() const { return top_; }
  void SetTop(int value) { top_ = value; }
  // A width of 0 leaves the text as wide as it is (from Left, not clipped).
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value < 0 ? 0 : value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value < 0 ? 0 : value; }
  void SetBounds(int left, int top, int width, int height);

private:
  TReportBand* band_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 17;
};

// A text item of the band's font and alignment within its box.
class TBandText : public TBandItem {
  HL_REFLECTABLE
public:
  explicit TBandText(TComponent* owner);
  TBandAlignment Alignment() const { return alignment_; }
  void SetAlignment(TBandAlignment value) { alignment_ = value; }
  TReportFont* Font() const { return font_.get(); }

private:
  TBandAlignment alignment_ = baLeft;
  std::unique_ptr<TReportFont> font_;
};

using TBandPrintEvent = std::function<void(TObject* Sender, std::string& Value)>;

// A fixed text, which the layout's handlers may change before each band prints.
class TBandLabel : public TBandText {
  HL_REFLECTABLE
public:
  explicit TBandLabel(TComponent* owner) : TBandText(owner) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  // Run as the label is printed, with the text about to be printed; the handler may change
  // the text and the label's font.
  TBandPrintEvent OnPrint;

private:
  std::string caption_;
};

// What a system-data item prints after its Text: the time of printing or the page number.
enum TSysDataKind { sdDateTime, sdPageNumber };

class TBandSysData : public TBandText {
  HL_REFLECTABLE
public:
  explicit TBandSysData(TComponent* owner) : TBandText(owner) {}
  TSysDataKind Data() const { return data_; }
  void SetData(TSysDataKind value) { data_ = value; }
  // Printed before the data.
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value) { text_ = value; }

private:
  TSysDataKind data_ = sdDateTime;
  std::string text_;
};

// A picture. AutoSize takes the picture's size in pixels (shrunk to the band's width when
// wider); Center puts it in the middle of the band's width. The band grows to hold it.
class TBandImage : public TBandItem {
  HL_REFLECTABLE
public:
  explicit TBandImage(TComponent* owner) : TBandItem(owner) {}
  const TDibImage& Picture() const { return picture_; }
  void SetPicture(const TDibImage& picture) { picture_ = picture; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value) { autoSize_ = value; }
  bool Center() const { return center_; }
  void SetCenter(bool value) { center_ = value; }

private:
  TDibImage picture_;
  bool autoSize_ = false;
  bool center_ = false;
};

// One thing a page shows; places in tenths of a millimetre from the paper's top left.
struct TReportItem {
  enum TKind { kText, kImage } Kind = kText;
  std::string Name;  // the item's component name
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Clip = true;  // Text: clipped to its box; false: as wide as it is, from Left
  std::string Text;
  TBandAlignment Alignment = baLeft;
  std::string FontName;
  int FontSize = 10;
  unsigned FontStyle = 0;
  TColor FontColor = clBlack;
  uint8_t FontCharset = 1;
  std::shared_ptr<const TDibImage> Picture;
};

struct TReportPage {
  int Number = 0;
  std::vector<TReportItem> Items;
  // The first item of that name on the page, or nullptr.
  const TReportItem* Find(const std::string& name) const;
};

struct TReportDocument {
  int PaperWidth = 0;   // tenths of a millimetre
  int PaperHeight = 0;
  std::string Title;
  std::vector<TReportPage> Pages;
};

enum TPrinterBin { pbAuto, pbFirst };
enum TPageOrientation { poPortrait, poLandscape };

using TReportBeforePrintEvent = std::function<void(TObject* Sender, bool& PrintReport)>;
using TReportNeedDataEvent = std::function<void(TObject* Sender, bool& MoreData)>;

class TReportLayout : public TComponent {
  HL_REFLECTABLE
public:
  explicit TReportLayout(TComponent* owner);
  ~TReportLayout() override;

  // Paper (A4 by default) and margins in millimetres; the paper turns with the orientation.
  double PageWidth() const { return pageWidth_; }
  double PageLength() const { return pageLength_; }
  void SetPageSize(double width, double length);
  TPageOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPageOrientation value) { orientation_ = value; }
  double LeftMargin() const { return margins_[0]; }
  double TopMargin() const { return margins_[1]; }
  double RightMargin() const { return margins_[2]; }
  double BottomMargin() const { return margins_[3]; }
  void SetMargins(double left, double top, double right, double bottom);
  int Columns() const { return 1; }
  // Percent of the paper's real size the preview starts with (100: real size).
  int Zoom() const { return zoom_; }
  void SetZoom(int value);
  int Copies() const { return copies_; }
  void SetCopies(int value) { copies_ = value < 1 ? 1 : value; }
  TPrinterBin Bin() const { return bin_; }
  void SetBin(TPrinterBin value) { bin_ = value; }
  // A layout whose data source has no first row prints nothing unless this is set.
  bool PrintIfEmpty() const { return printIfEmpty_; }
  void SetPrintIfEmpty(bool value) { printIfEmpty_ = value; }
  // Page header on the first page too, page footer on the last page too.
  bool FirstPageHeader() const { return firstPageHeader_; }
  void SetFirstPageHeader(bool value) { firstPageHeader_ = value; }
  bool LastPageFooter() const { return lastPageFooter_; }
  void SetLastPageFooter(bool value) { lastPageFooter_ = value; }
  // The document's name in the print queue.
  const std::string& ReportTitle() const { return title_; }
  void SetReportTitle(const std::string& value) { title_ = value; }

  int BandCount() const { return static_cast<int>(bands_.size()); }
  TReportBand* Bands(int index) const { return bands_.at(index); }

  // Runs the layout over its data and answers the pages. No pages: BeforePrint said no, or
  // there was no data and PrintIfEmpty is off.
  TReportDocument Generate();

  TReportBeforePrintEvent BeforePrint;
  // Asked before every detail band: fill the items for the next row, say whether there is
  // one. Without a handler the detail bands print once.
  TReportNeedDataEvent OnNeedData;

  // At most this many pages and rows: a data source that never ends is reported, not
  // followed.
  static constexpr int kMaxPages = 5000;
  static constexpr int kMaxRows = 1000000;

private:
  friend class TReportBand;
  class TPageMaker;

  double pageWidth_ = 210;
  double pageLength_ = 297;
  TPageOrientation orientation_ = poPortrait;
  double margins_[4] = {10, 10, 10, 10};
  int zoom_ = 100;
  int copies_ = 1;
  TPrinterBin bin_ = pbAuto;
  bool printIfEmpty_ = true;
  bool firstPageHeader_ = true;
  bool lastPageFooter_ = true;
  std::string title_;
  std::vector<TReportBand*> bands_;
};

// Design pixels (96 per inch) in tenths of a millimetre.
int PixelsToTenthMm(int pixels);

// The page (0-based) a print job of pages first to last, copies times, sends to the printer
// as its step-th page (0 to (last - first + 1) * copies - 1): collated, one whole copy after
// the other (2,3,2,3); not collated, each page copies times in a row (2,2,3,3).
int PrintedPage(int first, int last, int copies, bool collate, int step);
