#include "platform/wcl/win/graphics.h"

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return static_cast<TColor>(GetSysColor(color & 0xFF));
  return color;
}

int ScreenLogPixels() {
  static const int value = [] {
    WindowDc dc = WindowDc::ForClient(nullptr);
    const int pixels = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return pixels > 0 ? pixels : 96;
  }();
  return value;
}

namespace {

COLORREF GdiColor(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

// Stores value into field and reports whether it changed.
template <typename T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TGraphicsObject::Changed(bool handleChanged) {
  if (handleChanged) stale_ = true;
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// TFont

// A font's points become pixels at the screen's resolution; its default height is that of
// an 8-point font at 96 pixels per inch, as the forms are designed (they scale it with
// themselves on other screens).
TFont::TFont() : pixelsPerInch_(ScreenLogPixels()) {}

const ClassInfo* TFont::StaticClassInfo() {
  static const EnumInfo pitchEnum{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
  static const EnumInfo styleEnum{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  static const ClassInfo ci = ClassBuilder<TFont>("TFont", nullptr)
                                  .Int("Charset", &TFont::Charset, &TFont::SetCharset)
                                  .Int("Color", &TFont::Color, &TFont::SetColor)
                                  .Int("Height", &TFont::Height, &TFont::SetHeight)
                                  .Str("Name", &TFont::Name, &TFont::SetName)
                                  .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, &pitchEnum)
                                  .Int("Size", &TFont::Size, &TFont::SetSize)
                                  .Set("Style", &TFont::Style, &TFont::SetStyle, &styleEnum)
                                  .Build();
  return &ci;
}

void TFont::SetName(const std::string& name) {
  if (!name.empty() && Store(name_, name)) Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetHeight(int pixels) {
  if (Store(height_, pixels)) Changed();
}

void TFont::SetPixelsPerInch(int value) {
  if (value > 0) pixelsPerInch_ = value;
}

void TFont::SetStyle(TFontStyles style) {
  if (Store(style_, style & (fsBold | fsItalic | fsUnderline | fsStrikeOut))) Changed();
}

void TFont::SetColor(TColor color) {
  // The colour is applied by whoever draws; the HFONT stays.
  if (Store(color_, color)) Changed(false);
}

void TFont::SetCharset(TFontCharset charset) {
  if (Store(charset_, charset)) Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (Store(pitch_, pitch)) Changed();
}

HFONT TFont::Handle() {
  if (stale_ || !handle_) {
    LOGFONTA logFont{};
    logFont.lfHeight = height_;
    logFont.lfWeight = (style_ & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (style_ & fsItalic) != 0;
    logFont.lfUnderline = (style_ & fsUnderline) != 0;
    logFont.lfStrikeOut = (style_ & fsStrikeOut) != 0;
    logFont.lfCharSet = charset_;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(logFont.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    // The old handle goes only now: a DC that held it has been told of the change.
    handle_.reset(CreateFontIndirectA(&logFont));
    stale_ = false;
  }
  return handle_.get();
}

void TFont::SetHandle(HFONT handle) {
  LOGFONTA logFont{};
  if (handle != nullptr && GetObjectA(handle, sizeof logFont, &logFont) == sizeof logFont) {
    height_ = logFont.lfHeight;
    style_ = (logFont.lfWeight >= FW_BOLD ? fsBold : 0u) | (logFont.lfItalic ? fsItalic : 0u) |
             (logFont.lfUnderline ? fsUnderline : 0u) | (logFont.lfStrikeOut ? fsStrikeOut : 0u);
    charset_ = logFont.lfCharSet;
    int pitch = logFont.lfPitchAndFamily & 3;
    pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    if (logFont.lfFaceName[0] != '\0') name_ = logFont.lfFaceName;
  }
  Changed();
  handle_.reset(handle);
  stale_ = handle == nullptr;
}

void TFont::Assign(TPersistent* source) {
  auto* font = dynamic_cast<TFont*>(source);
  if (font == nullptr) return TPersistent::Assign(source);
  if (font == this) return;
  name_ = font->name_;
  height_ = font->height_;
  // A font made for another resolution keeps its point size here.
  if (pixelsPerInch_ != font->pixelsPerInch_) height_ = -MulDiv(font->Size(), pixelsPerInch_, 72);
  style_ = font->style_;
  color_ = font->color_;
  charset_ = font->charset_;
  pitch_ = font->pitch_;
  Changed();
}

// ---------------------------------------------------------------------------------------
// TBrush

void TBrush::SetColor(TColor color) {
  bool changed = Store(color_, color);
  // Choosing a colour makes a clear brush solid again.
  if (style_ == bsClear && bitmap_ == nullptr) changed = Store(style_, bsSolid) || changed;
  if (changed) Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (Store(style_, style)) Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (Store(bitmap_, bitmap)) Changed();
}

HBRUSH TBrush::Handle() {
  if (bitmap_ == nullptr && style_ == bsClear) {
    handle_.reset();
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (stale_ || !handle_) {
    HBITMAP pattern = bitmap_ != nullptr ? bitmap_->Handle() : nullptr;
    handle_.reset(pattern != nullptr ? CreatePatternBrush(pattern) : CreateSolidBrush(GdiColor(color_)));
    stale_ = false;
  }
  return handle_.get();
}

void TBrush::Assign(TPersistent* source) {
  auto* brush = dynamic_cast<TBrush*>(source);
  if (brush == nullptr) return TPersistent::Assign(source);
  if (brush == this) return;
  color_ = brush->color_;
  style_ = brush->style_;
  bitmap_ = brush->bitmap_;
  Changed();
}

// ---------------------------------------------------------------------------------------
// TPen

void TPen::SetColor(TColor color) {
  if (Store(color_, color)) Changed();
}

void TPen::SetWidth(int width) {
  if (width >= 0 && Store(width_, width)) Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (Store(style_, style)) Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (Store(mode_, mode)) Changed(false);
}

HPEN TPen::Handle() {
  if (stale_ || !handle_) {
    static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.reset(CreatePen(kStyles[style_], width_, GdiColor(color_)));
    stale_ = false;
  }
  return handle_.get();
}

void TPen::Assign(TPersistent* source) {
  auto* pen = dynamic_cast<TPen*>(source);
  if (pen == nullptr) return TPersistent::Assign(source);
  if (pen == this) return;
  color_ = pen->color_;
  width_ = pen->width_;
  style_ = pen->style_;
  mode_ = pen->mode_;
  Changed();
}

// ---------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() {
  // A change of a drawing object takes it out of the DC at once, so that the object may
  // make a new handle and free the old one, which must not be selected anywhere.
  font_.OnChange = [this](TObject*) { Deselect(kFontSelected); };
  brush_.OnChange = [this](TObject*) { Deselect(kBrushSelected); };
  pen_.OnChange = [this](TObject*) { Deselect(kPenSelected); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  if (dc_ == nullptr) CreateHandle();
  if (dc_ == nullptr) throw EInvalidOperation("Canvas does not allow drawing");
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Deselect(kFontSelected | kPenSelected | kBrushSelected);
  dc_ = dc;
}

void TCanvas::Deselect(unsigned objects) {
  objects &= selected_;
  if (dc_ != nullptr) {
    if ((objects & kFontSelected) != 0) SelectObject(dc_, oldFont_);
    if ((objects & kPenSelected) != 0) SelectObject(dc_, oldPen_);
    if ((objects & kBrushSelected) != 0) SelectObject(dc_, oldBrush_);
  }
  selected_ &= ~objects;
}

HDC TCanvas::RequireState(unsigned objects) {
  HDC dc = Handle();
  unsigned missing = objects & ~selected_;
  if ((missing & kFontSelected) != 0) {
    oldFont_ = SelectObject(dc, font_.Handle());
    SetTextColor(dc, GdiColor(font_.Color()));
  }
  if ((missing & kPenSelected) != 0) {
    oldPen_ = SelectObject(dc, pen_.Handle());
    static const int kModes[] = {R2_COPYPEN, R2_NOT, R2_XORPEN};
    SetROP2(dc, kModes[pen_.Mode()]);
  }
  if ((missing & kBrushSelected) != 0) {
    oldBrush_ = SelectObject(dc, brush_.Handle());
    SetBkColor(dc, GdiColor(brush_.Color()));
    SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
  }
  selected_ |= missing;
  return dc;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

POINT TCanvas::PenPos() {
  POINT position{};
  GetCurrentPositionEx(Handle(), &position);
  return position;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Changing();
  ::LineTo(RequireState(kPenSelected | kBrushSelected), x, y);
  Changed();
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
  Changing();
  ::Polyline(RequireState(kPenSelected | kBrushSelected), points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  Changing();
  ::Polygon(RequireState(kPenSelected | kBrushSelected), points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  ::Rectangle(RequireState(kPenSelected | kBrushSelected), x1, y1, x2, y2);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  ::Ellipse(RequireState(kPenSelected | kBrushSelected), x1, y1, x2, y2);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  ::Arc(RequireState(kPenSelected | kBrushSelected), x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::FillRect(const RECT& rect) {
  Changing();
  ::FillRect(RequireState(kBrushSelected), &rect, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
  Changing();
  ::FrameRect(RequireState(kBrushSelected), &rect, brush_.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const RECT& rect) {
  Changing();
  ::DrawFocusRect(RequireState(kBrushSelected), &rect);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  HDC dc = RequireState(kFontSelected | kBrushSelected);
  ExtTextOutA(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  MoveToEx(dc, x + TextWidth(text), y, nullptr);
  Changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
  Changing();
  HDC dc = RequireState(kFontSelected | kBrushSelected);
  UINT options = ETO_CLIPPED | (brush_.Style() != bsClear ? ETO_OPAQUE : 0);
  ExtTextOutA(dc, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(RequireState(kFontSelected), text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  StretchDraw(RECT{x, y, x + graphic->Width(), y + graphic->Height()}, graphic);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  Changing();
  RequireState(kFontSelected | kPenSelected | kBrushSelected);
  graphic->Draw(this, rect);
  Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* canvas, const RECT& source) {
  Changing();
  HDC dc = RequireState(kFontSelected | kPenSelected | kBrushSelected);
  HDC sourceDc = canvas->Handle();
  StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, sourceDc, source.left,
             source.top, source.right - source.left, source.bottom - source.top, copyMode_);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  SetPixel(RequireState(kPenSelected | kBrushSelected), x, y, GdiColor(color));
  Changed();
}

// ---------------------------------------------------------------------------------------
// TWindowCanvas

TWindowCanvas::~TWindowCanvas() { FreeHandle(); }

void TWindowCanvas::FreeHandle() {
  SetHandle(nullptr);
  dc_.reset();
}

void TWindowCanvas::CreateHandle() {
  dc_ = WindowDc::ForClient(window_);
  SetHandle(dc_.get());
}
