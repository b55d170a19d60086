#include "kit/win/button_glyph.h"

#include <algorithm>

#include "kit/win/draw_utils_win.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"

TGlyphCache* GlyphCache = nullptr;

namespace {

RECT ToRect(const TGlyphRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
TGlyphRect ToGlyphRect(const RECT& r) { return TGlyphRect{r.left, r.top, r.right, r.bottom}; }

// A see-through colour's image and mask as an image list wants them: the mask white where
// the image has maskColor, the image black there.
struct MaskedImage {
  TBitmap image;
  TBitmap mask;
  MaskedImage(TBitmap* source, TColor maskColor) {
    mask.Assign(source);
    mask.Canvas()->Brush()->SetColor(maskColor);
    mask.SetMonochrome(true);
    image.Assign(source);
    HDC dc = image.Canvas()->Handle();
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    constexpr DWORD kDestAndNotSource = 0x00220326;
    BitBlt(dc, 0, 0, image.Width(), image.Height(), mask.Canvas()->Handle(), 0, 0, kDestAndNotSource);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// TGlyphList

TGlyphList::TGlyphList(int width, int height) : TImageList(width, height) {}

int TGlyphList::AllocateIndex() {
  bool grew = false;
  const int slot = slots_.Allocate(grew);
  if (Count() <= slot) {
    TBitmap blank;
    blank.SetSize(Width(), Height());
    TImageList::Add(&blank, nullptr);
    if (Count() <= slot) {
      slots_.Free(slot);
      throw EOutOfResources("Out of system resources");
    }
  }
  return slot;
}

int TGlyphList::Add(TBitmap* image, TBitmap* mask) {
  const int slot = AllocateIndex();
  try {
    Replace(slot, image, mask);
  } catch (...) {
    slots_.Free(slot);
    throw;
  }
  return slot;
}

int TGlyphList::AddMasked(TBitmap* image, TColor maskColor) {
  MaskedImage masked(image, maskColor);
  return Add(&masked.image, &masked.mask);
}

void TGlyphList::Delete(int slot) { slots_.Free(slot); }

// ---------------------------------------------------------------------------------------
// TGlyphCache

TGlyphCache::TGlyphCache() = default;
TGlyphCache::~TGlyphCache() = default;

TGlyphList* TGlyphCache::GetList(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
  lists_.push_back(std::make_unique<TGlyphList>(width, height));
  return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (list == nullptr || list->UsedCount() != 0) return;
  lists_.erase(std::remove_if(lists_.begin(), lists_.end(), [list](const auto& l) { return l.get() == list; }),
               lists_.end());
}

// ---------------------------------------------------------------------------------------
// TKitButtonGlyph

TKitButtonGlyph::TKitButtonGlyph() : glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
  if (GlyphCache == nullptr) GlyphCache = new TGlyphCache;
}

TKitButtonGlyph::~TKitButtonGlyph() {
  glyph_->OnChange = nullptr;
  glyph_.reset();
  Invalidate();
  if (GlyphCache != nullptr && GlyphCache->Empty()) {
    delete GlyphCache;
    GlyphCache = nullptr;
  }
}

void TKitButtonGlyph::SetGlyph(TBitmap* bitmap) {
  Invalidate();
  glyph_->Assign(bitmap);
}

void TKitButtonGlyph::SetNumGlyphs(int value) {
  value = ClampNumGlyphs(value, numGlyphs_);
  if (value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = value;
}

void TKitButtonGlyph::Invalidate() {
  for (int& index : indexes_) {
    if (index != -1 && list_ != nullptr) list_->Delete(index);
    index = -1;
  }
  if (list_ != nullptr && GlyphCache != nullptr) GlyphCache->ReturnList(list_);
  list_ = nullptr;
}

void TKitButtonGlyph::GlyphChanged() {
  Invalidate();
  if (!glyph_->Empty() && glyph_->Height() > 0) {
    transparentColor_ = glyph_->TransparentColor() & ~clPaletteRelative;
    numGlyphs_ = NumGlyphsForBitmap(glyph_->Width(), glyph_->Height(), numGlyphs_);
  }
  if (OnChange) OnChange(this);
}

int TKitButtonGlyph::CreateButtonGlyph(TButtonState state) {
  const TGlyphSource source = GlyphSourceFor(state, numGlyphs_);
  int& index = indexes_[source.State];
  if (index != -1 || glyph_->Empty() || glyph_->Width() <= 0 || glyph_->Height() <= 0) return index;
  const int cellWidth = GlyphCellWidth(glyph_->Width(), numGlyphs_);
  const int cellHeight = glyph_->Height();
  // A bitmap narrower than its cells has nothing to show.
  if (cellWidth <= 0) return -1;
  if (list_ == nullptr) {
    if (GlyphCache == nullptr) GlyphCache = new TGlyphCache;
    list_ = GlyphCache->GetList(cellWidth, cellHeight);
  }

  TBitmap scratch;
  scratch.SetSize(cellWidth, cellHeight);
  TCanvas* canvas = scratch.Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  const RECT cell{0, 0, cellWidth, cellHeight};
  canvas->FillRect(cell);
  switch (source.Method) {
    case gmCopy: {
      const int left = source.Cell * cellWidth;
      canvas->CopyRect(cell, glyph_->Canvas(), RECT{left, 0, left + cellWidth, cellHeight});
      index = list_->AddMasked(&scratch, transparentColor_);
      break;
    }
    case gmEmboss: {
      std::unique_ptr<TBitmap> disabled = CreateDisabledBitmap(glyph_.get(), clBlack);
      index = list_->AddMasked(disabled.get(), clBtnFace);
      break;
    }
    case gmGrey: {
      const TColor transparent = ColorToRGB(transparentColor_);
      const TColor face = ColorToRGB(clBtnFace);
      TCanvas* source = glyph_->Canvas();
      for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x) canvas->SetPixels(x, y, MapColor(source->Pixels(x, y), transparent, face));
      index = list_->AddMasked(&scratch, transparentColor_);
      break;
    }
  }
  return index;
}

TButtonLayoutResult TKitButtonGlyph::CalcButtonLayout(TCanvas* canvas, const RECT& client, const std::string& caption,
                                                      TButtonLayout layout, int margin, int spacing, bool popupMark,
                                                      unsigned flags) {
  int glyphWidth = glyph_->Empty() ? 0 : GlyphCellWidth(glyph_->Width(), numGlyphs_);
  int glyphHeight = glyphWidth > 0 ? glyph_->Height() : 0;
  HDC dc = canvas->Handle();
  ScopedSelectObject font(dc, canvas->Font()->Handle());
  const unsigned measureFlags = DT_CALCRECT | DT_CENTER | (wordWrap_ ? DT_WORDBREAK : 0) | flags;
  return ::CalcButtonLayout(
      ToGlyphRect(client), caption, layout, margin, spacing, popupMark, glyphWidth, glyphHeight, wordWrap_,
      [dc](const std::string& text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
      },
      [dc, measureFlags](const std::string& text, int maxWidth) {
        RECT r{0, 0, maxWidth, 0};
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, measureFlags);
        return TGlyphPoint{r.right - r.left, r.bottom - r.top};
      });
}

void TKitButtonGlyph::DrawButtonText(TCanvas* canvas, const std::string& caption, RECT bounds, TButtonState state,
                                     unsigned flags) {
  if (caption.empty()) return;
  const std::string text = AnsiLeftBytes(caption, kMaxButtonCaption);
  HDC dc = canvas->Handle();
  ScopedSelectObject font(dc, canvas->Font()->Handle());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  const UINT drawFlags = flags | DT_VCENTER | (wordWrap_ ? DT_WORDBREAK : 0);
  auto draw = [&](RECT r, TColor color) {
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, drawFlags);
  };
  if (state == bsDisabled) {
    draw(RECT{bounds.left + 1, bounds.top + 1, bounds.right + 1, bounds.bottom + 1}, clWhite);
    draw(bounds, clGray);
  } else {
    draw(bounds, canvas->Font()->Color());
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void TKitButtonGlyph::DrawPopupMark(TCanvas* canvas, int x, int y, TButtonState state) {
  auto draw = [canvas](int atX, int atY, TColor color) {
    for (const TGlyphPoint& p : PopupMarkPixels(atX, atY)) canvas->SetPixels(p.X, p.Y, color);
  };
  if (state == bsDisabled) {
    draw(x + 1, y + 1, clBtnHighlight);
    draw(x, y, clBtnShadow);
  } else {
    draw(x, y, clBtnText);
  }
}

RECT TKitButtonGlyph::Draw(TCanvas* canvas, const RECT& client, const std::string& caption, TButtonLayout layout,
                           int margin, int spacing, bool popupMark, TButtonState state, unsigned flags) {
  const TButtonLayoutResult placed =
      CalcButtonLayout(canvas, client, caption, layout, margin, spacing, popupMark, flags);
  TGlyphPoint drawn{0, 0};
  const int slot = CreateButtonGlyph(state);
  if (slot >= 0 && list_ != nullptr) {
    list_->Draw(canvas, placed.GlyphPos.X, placed.GlyphPos.Y, slot);
    drawn = TGlyphPoint{list_->Width(), list_->Height()};
  }
  const RECT text = ToRect(placed.TextBounds);
  DrawButtonText(canvas, placed.Caption, text, state, flags);
  if (popupMark) {
    const TGlyphPoint mark =
        PopupMarkPosition(placed, ToGlyphRect(client), layout, !glyph_->Empty() && glyph_->Width() > 0, drawn);
    DrawPopupMark(canvas, mark.X, mark.Y, state);
  }
  return text;
}

// ---------------------------------------------------------------------------------------
// Frames

void Frame3DRounded(TCanvas* canvas, RECT& rect, TColor topColor, TColor bottomColor, int width, int radius) {
  TPen* pen = canvas->Pen();
  pen->SetWidth(1);
  --rect.right;
  --rect.bottom;
  for (int i = 0; i < width; ++i) {
    const int left = rect.left;
    const int top = rect.top;
    const int right = rect.right;
    const int bottom = rect.bottom;
    if (radius <= 0) {
      pen->SetColor(topColor);
      canvas->Polyline({{left, bottom}, {left, top}, {right, top}});
      pen->SetColor(bottomColor);
      canvas->Polyline({{right, top}, {right, bottom}, {left - 1, bottom}});
    } else {
      const int r = radius;
      pen->SetColor(topColor);
      // Arcs run counter-clockwise: from the top of the box round its left side.
      canvas->Arc(left, top, left + 2 * r, bottom, left + r, top, left + r, bottom);
      canvas->MoveTo(left + r, top);
      canvas->LineTo(right - r, top);
      pen->SetColor(bottomColor);
      canvas->Arc(right - 2 * r, top, right, bottom, right - r, bottom, right - r, top);
      canvas->MoveTo(left + r, bottom);
      canvas->LineTo(right - r, bottom);
    }
    InflateRect(&rect, -1, -1);
  }
  ++rect.right;
  ++rect.bottom;
}

RECT DrawButtonFrame(TCanvas* canvas, const RECT& client, bool isDown, bool isFlat, TButtonStyle style,
                     int roundRadius) {
  RECT rect = client;
  for (const TFrameRing& ring : ButtonFrameRings(isDown, isFlat, UsesNewLook(style))) {
    if (ring.ShadowLineOnly) {
      canvas->Pen()->SetWidth(1);
      canvas->Pen()->SetColor(ring.TopLeft);
      canvas->Polyline({{rect.left, rect.bottom - 1}, {rect.left, rect.top}, {rect.right, rect.top}});
      InflateRect(&rect, -1, -1);
    } else {
      Frame3DRounded(canvas, rect, ring.TopLeft, ring.BottomRight, 1, roundRadius);
    }
  }
  InflateRect(&rect, -1, -1);
  return rect;
}
