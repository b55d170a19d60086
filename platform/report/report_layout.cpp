#include "platform/report/report_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/rtl/properties.h"

namespace {

const EnumInfo BandTypeEnum{"TBandType", {"rbPageHeader", "rbColumnHeader", "rbDetail", "rbPageFooter"}};
const EnumInfo BandAlignmentEnum{"TBandAlignment", {"baLeft", "baRight", "baCenter"}};
const EnumInfo SysDataEnum{"TSysDataKind", {"sdDateTime", "sdPageNumber"}};

int MmToTenth(double mm) { return static_cast<int>(std::lround(mm * 10)); }

}  // namespace

int PixelsToTenthMm(int pixels) { return static_cast<int>(std::lround(pixels * 254.0 / 96.0)); }

int PrintedPage(int first, int last, int copies, bool collate, int step) {
  const int pages = std::max(1, last - first + 1);
  return first + (collate ? step % pages : step / std::max(1, copies));
}


// ---------------------------------------------------------------------------------------
// Registration

const ClassInfo* TReportFont::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TReportFont>("TReportFont", nullptr)
                                  .Int("Charset", &TReportFont::Charset, &TReportFont::SetCharset)
                                  .Int("Color", &TReportFont::Color, &TReportFont::SetColor)
                                  .Str("Name", &TReportFont::Name, &TReportFont::SetName)
                                  .Int("Size", &TReportFont::Size, &TReportFont::SetSize)
                                  .Int("Style", &TReportFont::Style, &TReportFont::SetStyle)
                                  .Build();
  return &ci;
}

const ClassInfo* TReportBand::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TReportBand>("TReportBand", TComponent::StaticClassInfo())
          .Enum("BandType", &TReportBand::BandType, &TReportBand::SetBandType, &BandTypeEnum)
          .Int("Height", &TReportBand::Height, &TReportBand::SetHeight)
          .Build();
  return &ci;
}

const ClassInfo* TBandItem::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBandItem>("TBandItem", TComponent::StaticClassInfo())
                                  .Int("Height", &TBandItem::Height, &TBandItem::SetHeight)
                                  .Int("Left", &TBandItem::Left, &TBandItem::SetLeft)
                                  .Int("Top", &TBandItem::Top, &TBandItem::SetTop)
                                  .Int("Width", &TBandItem::Width, &TBandItem::SetWidth)
                                  .Build();
  return &ci;
}

const ClassInfo* TBandText::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TBandText>("TBandText", TBandItem::StaticClassInfo())
          .Enum("Alignment", &TBandText::Alignment, &TBandText::SetAlignment, &BandAlignmentEnum)
          .Obj("Font", &TBandText::Font, TReportFont::StaticClassInfo())
          .Build();
  return &ci;
}

const ClassInfo* TBandLabel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBandLabel>("TBandLabel", TBandText::StaticClassInfo())
                                  .Str("Caption", &TBandLabel::Caption, &TBandLabel::SetCaption)
                                  .Build();
  return &ci;
}

const ClassInfo* TBandSysData::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBandSysData>("TBandSysData", TBandText::StaticClassInfo())
                                  .Enum("Data", &TBandSysData::Data, &TBandSysData::SetData, &SysDataEnum)
                                  .Str("Text", &TBandSysData::Text, &TBandSysData::SetText)
                                  .Build();
  return &ci;
}

const ClassInfo* TBandImage::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBandImage>("TBandImage", TBandItem::StaticClassInfo())
                                  .Bool("AutoSize", &TBandImage::AutoSize, &TBandImage::SetAutoSize)
                                  .Bool("Center", &TBandImage::Center, &TBandImage::SetCenter)
                                  .Build();
  return &ci;
}

const ClassInfo* TReportLayout::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TReportLayout>("TReportLayout", TComponent::StaticClassInfo())
          .Int("Copies", &TReportLayout::Copies, &TReportLayout::SetCopies)
          .Bool("FirstPageHeader", &TReportLayout::FirstPageHeader, &TReportLayout::SetFirstPageHeader)
          .Bool("LastPageFooter", &TReportLayout::LastPageFooter, &TReportLayout::SetLastPageFooter)
          .Bool("PrintIfEmpty", &TReportLayout::PrintIfEmpty, &TReportLayout::SetPrintIfEmpty)
          .Str("ReportTitle", &TReportLayout::ReportTitle, &TReportLayout::SetReportTitle)
          .Int("Zoom", &TReportLayout::Zoom, &TReportLayout::SetZoom)
          .Build();
  return &ci;
}

// ---------------------------------------------------------------------------------------
// Font, bands and items

void TReportFont::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TReportFont*>(source)) {
    name_ = font->name_;
    size_ = font->size_;
    style_ = font->style_;
    color_ = font->color_;
    charset_ = font->charset_;
    return;
  }
  TPersistent::Assign(source);
}

TReportBand::TReportBand(TComponent* owner) : TComponent(owner) {}

TReportBand::~TReportBand() {
  for (TBandItem* item : std::vector<TBandItem*>(items_)) item->SetBand(nullptr);
  SetReport(nullptr);
}

void TReportBand::SetReport(TReportLayout* report) {
  if (report == report_) return;
  if (report_) {
    auto& bands = report_->bands_;
    bands.erase(std::remove(bands.begin(), bands.end(), this), bands.end());
  }
  report_ = report;
  if (report_) report_->bands_.push_back(this);
}

TBandItem::TBandItem(TComponent* owner) : TComponent(owner) {}

TBandItem::~TBandItem() { SetBand(nullptr); }

void TBandItem::SetBand(TReportBand* band) {
  if (band == band_) return;
  if (band_) band_->items_.erase(std::remove(band_->items_.begin(), band_->items_.end(), this), band_->items_.end());
  band_ = band;
  if (band_) band_->items_.push_back(this);
}

void TBandItem::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  SetWidth(width);
  SetHeight(height);
}

TBandText::TBandText(TComponent* owner) : TBandItem(owner), font_(std::make_unique<TReportFont>()) {}

const TReportItem* TReportPage::Find(const std::string& name) const {
  for (const TReportItem& item : Items)
    if (item.Name == name) return &item;
  return nullptr;
}

// ---------------------------------------------------------------------------------------
// Layout and pages

TReportLayout::TReportLayout(TComponent* owner) : TComponent(owner) {}

TReportLayout::~TReportLayout() {
  // The bands are owned components deleted by the base; they must not reach back here then.
  for (TReportBand* band : bands_) band->report_ = nullptr;
  bands_.clear();
}

void TReportLayout::SetPageSize(double width, double length) {
  if (!(width > 0) || !(length > 0)) throw EReportError("Invalid page size");
  pageWidth_ = width;
  pageLength_ = length;
}

void TReportLayout::SetMargins(double left, double top, double right, double bottom) {
  for (double m : {left, top, right, bottom})
    if (!(m >= 0)) throw EReportError("Invalid page margin");
  margins_[0] = left;
  margins_[1] = top;
  margins_[2] = right;
  margins_[3] = bottom;
}

void TReportLayout::SetZoom(int value) { zoom_ = std::max(10, std::min(400, value)); }

// Places bands on pages for one run of Generate.
class TReportLayout::TPageMaker {
public:
  TPageMaker(TReportLayout& layout, TReportDocument& doc) : layout_(layout), doc_(doc) {
    const bool landscape = layout.orientation_ == poLandscape;
    doc.PaperWidth = MmToTenth(landscape ? layout.pageLength_ : layout.pageWidth_);
    doc.PaperHeight = MmToTenth(landscape ? layout.pageWidth_ : layout.pageLength_);
    left_ = MmToTenth(layout.LeftMargin());
    right_ = doc.PaperWidth - MmToTenth(layout.RightMargin());
    top_ = MmToTenth(layout.TopMargin());
    bottom_ = doc.PaperHeight - MmToTenth(layout.BottomMargin());
    if (right_ - left_ < 10 || bottom_ - top_ < 10) throw EReportError("The margins leave no room on the page");
    printedAt_ = Now();
    for (TReportBand* band : Bands(rbPageFooter)) footerHeight_ += BandHeight(band);
  }

  void NewPage() {
    if (static_cast<int>(doc_.Pages.size()) >= kMaxPages)
      throw EReportError("The report has more than " + std::to_string(kMaxPages) + " pages");
    doc_.Pages.emplace_back();
    doc_.Pages.back().Number = static_cast<int>(doc_.Pages.size());
    y_ = top_;
    details_ = 0;
    if (doc_.Pages.size() > 1 || layout_.firstPageHeader_)
      for (TReportBand* band : Bands(rbPageHeader)) Emit(band);
    for (TReportBand* band : Bands(rbColumnHeader)) Emit(band);
  }

  // The detail bands of one row, each on a new page when it does not fit above the footer
  // (a band too tall for any page is printed cut off rather than pushed on for ever).
  void Detail() {
    for (TReportBand* band : Bands(rbDetail)) {
      if (y_ + BandHeight(band) > bottom_ - footerHeight_ && details_ > 0) {
        EndPage(false);
        NewPage();
      }
      Emit(band);
      ++details_;
    }
  }

  void EndPage(bool last) {
    if (last && !layout_.lastPageFooter_) return;
    y_ = bottom_ - footerHeight_;
    for (TReportBand* band : Bands(rbPageFooter)) Emit(band);
  }

private:
  std::vector<TReportBand*> Bands(TBandType type) const {
    std::vector<TReportBand*> bands;
    for (TReportBand* band : layout_.bands_)
      if (band->BandType() == type) bands.push_back(band);
    return bands;
  }

  // Where an image prints on its band, in tenths of a millimetre from the band's top left.
  void ImageBox(const TBandImage* image, int& left, int& top, int& width, int& height) const {
    left = PixelsToTenthMm(image->Left());
    top = PixelsToTenthMm(image->Top());
    width = PixelsToTenthMm(image->Width());
    height = PixelsToTenthMm(image->Height());
    if (image->AutoSize() && image->Picture().Width > 0) {
      width = PixelsToTenthMm(image->Picture().Width);
      height = PixelsToTenthMm(image->Picture().Height);
      const int room = right_ - left_;
      if (width > room) {  // keep the shape, fit the width
        height = static_cast<int>(static_cast<long long>(height) * room / width);
        width = room;
      }
    }
    if (image->Center()) left = (right_ - left_ - width) / 2;
  }

  // The band's height, grown to hold its pictures.
  int BandHeight(const TReportBand* band) const {
    int height = PixelsToTenthMm(band->Height());
    for (int i = 0; i < band->ItemCount(); ++i)
      if (auto* image = dynamic_cast<const TBandImage*>(band->Items(i))) {
        int l, t, w, h;
        ImageBox(image, l, t, w, h);
        height = std::max(height, t + h);
      }
    return height;
  }

  void Emit(TReportBand* band) {
    TReportPage& page = doc_.Pages.back();
    for (int i = 0; i < band->ItemCount(); ++i) {
      TBandItem* item = band->Items(i);
      TReportItem out;
      out.Name = item->Name();
      if (auto* image = dynamic_cast<TBandImage*>(item)) {
        if (image->Picture().Width <= 0 || image->Picture().Height <= 0) continue;
        int l, t, w, h;
        ImageBox(image, l, t, w, h);
        out.Kind = TReportItem::kImage;
        out.Left = left_ + l;
        out.Top = y_ + t;
        out.Right = out.Left + w;
        out.Bottom = out.Top + h;
        auto shared = pictures_.find(image);
        if (shared == pictures_.end())
          shared = pictures_.emplace(image, std::make_shared<const TDibImage>(image->Picture())).first;
        out.Picture = shared->second;
        page.Items.push_back(std::move(out));
        continue;
      }
      auto* text = dynamic_cast<TBandText*>(item);
      if (!text) continue;
      if (auto* label = dynamic_cast<TBandLabel*>(item)) {
        out.Text = label->Caption();
        if (label->OnPrint) label->OnPrint(label, out.Text);
      } else if (auto* sys = dynamic_cast<TBandSysData*>(item)) {
        out.Text = sys->Text() + (sys->Data() == sdPageNumber ? std::to_string(page.Number) : DateTimeToStr(printedAt_));
      }
      out.Left = left_ + PixelsToTenthMm(item->Left());
      out.Top = y_ + PixelsToTenthMm(item->Top());
      out.Clip = item->Width() > 0;
      out.Right = out.Clip ? out.Left + PixelsToTenthMm(item->Width()) : right_;
      out.Bottom = out.Top + PixelsToTenthMm(item->Height());
      out.Alignment = text->Alignment();
      const TReportFont* font = text->Font();
      out.FontName = font->Name();
      out.FontSize = font->Size();
      out.FontStyle = font->Style();
      out.FontColor = font->Color();
      out.FontCharset = font->Charset();
      page.Items.push_back(std::move(out));
    }
    y_ += BandHeight(band);
  }

  TReportLayout& layout_;
  TReportDocument& doc_;
  int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
  int footerHeight_ = 0;
  int y_ = 0;
  int details_ = 0;
  TDateTime printedAt_ = 0;
  std::map<const TBandImage*, std::shared_ptr<const TDibImage>> pictures_;
};

TReportDocument TReportLayout::Generate() {
  TReportDocument doc;
  doc.Title = title_;
  bool print = true;
  if (BeforePrint) BeforePrint(this, print);
  if (!print) return doc;
  TPageMaker maker(*this, doc);
  bool more = true;
  if (OnNeedData) OnNeedData(this, more);
  if (!more && !printIfEmpty_) return doc;
  maker.NewPage();
  for (int rows = 1; more; ++rows) {
    if (rows > kMaxRows) throw EReportError("The report has more than " + std::to_string(kMaxRows) + " rows");
    maker.Detail();
    if (!OnNeedData) break;
    OnNeedData(this, more);
  }
  maker.EndPage(true);
  return doc;
}
