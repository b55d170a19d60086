#include "kit/win/draw_utils_win.h"

#include <mutex>
#include <utility>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/graphics.h"
#include "platform/wcl/win/image_list.h"

namespace {

// Raster operation: the brush where the source is white, the destination where it is black.
constexpr DWORD kRopBrushThroughSource = 0xE20746;

COLORREF Gdi(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

// A memory DC with its own bitmap selected; both go at the end of the scope.
class MemorySurface {
public:
  MemorySurface(HDC compatible, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatible)), bitmap_(bitmap), select_(dc_.get(), bitmap_.get()) {}
  HDC dc() const { return dc_.get(); }

private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  ScopedSelectObject select_;
};

// Sets a DC's text and background colours for the scope: they decide what the bits of a
// monochrome source turn into when it is copied onto a colour surface (0 the text colour,
// 1 the background colour).
class ScopedMonoColors {
public:
  ScopedMonoColors(HDC dc, COLORREF text, COLORREF background)
      : dc_(dc), text_(SetTextColor(dc, text)), background_(SetBkColor(dc, background)) {}
  ~ScopedMonoColors() {
    SetTextColor(dc_, text_);
    SetBkColor(dc_, background_);
  }
  ScopedMonoColors(const ScopedMonoColors&) = delete;
  ScopedMonoColors& operator=(const ScopedMonoColors&) = delete;

private:
  HDC dc_;
  COLORREF text_;
  COLORREF background_;
};

// SaveDC for the scope.
class SavedDc {
public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDc() { RestoreDC(dc_, saved_); }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

private:
  HDC dc_;
  int saved_;
};

// Takes a handler off an event for the scope and puts it back at its end.
class DetachedEvent {
public:
  explicit DetachedEvent(TNotifyEvent& event) : event_(event), saved_(std::exchange(event, nullptr)) {}
  ~DetachedEvent() { event_ = std::move(saved_); }
  DetachedEvent(const DetachedEvent&) = delete;
  DetachedEvent& operator=(const DetachedEvent&) = delete;

private:
  TNotifyEvent& event_;
  TNotifyEvent saved_;
};

// A 1-bit mask of width x height: 1 where source (a colour surface) has the colour key.
std::unique_ptr<MemorySurface> MaskOfColor(HDC source, int width, int height, COLORREF key) {
  auto mask = std::make_unique<MemorySurface>(nullptr, CreateBitmap(width, height, 1, 1, nullptr));
  COLORREF old = SetBkColor(source, key);
  BitBlt(mask->dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  SetBkColor(source, old);
  return mask;
}

// Paints color onto dc at (x, y) through a 1-bit mask: on the mask's 1 bits, or on its 0
// bits when onClearBits; the rest of the destination stays.
void StampMask(HDC dc, int x, int y, int width, int height, HDC mask, TColor color, bool onClearBits) {
  UniqueBrush brush(CreateSolidBrush(Gdi(color)));
  ScopedSelectObject select(dc, brush.get());
  ScopedMonoColors colors(dc, onClearBits ? RGB(255, 255, 255) : RGB(0, 0, 0),
                          onClearBits ? RGB(0, 0, 0) : RGB(255, 255, 255));
  BitBlt(dc, x, y, width, height, mask, 0, 0, kRopBrushThroughSource);
}

// Opens the parent's protected painting to the backdrop: what the parent draws of itself,
// without its children.
class BackdropAccess : public TWinControl {
public:
  static void PaintOwnContent(TWinControl* parent, HDC dc) {
    const RECT client{0, 0, parent->ClientWidth(), parent->ClientHeight()};
    ::FillRect(dc, &client, parent->Brush()->Handle());
    if ((parent->*(&BackdropAccess::PaintsItself))()) {
      (parent->*(&BackdropAccess::PaintWindow))(dc);
    } else if (parent->HandleAllocated()) {
      TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
      (parent->*(&BackdropAccess::DefaultHandler))(paint);
    }
  }
};

// The bitmap cell texts are drawn through when they cannot be drawn straight onto the cell:
// made on first use, grown to the largest cell so far, never shrunk.
struct CellScratch {
  std::mutex lock;
  TBitmap bitmap;
};

CellScratch& CellScratchBitmap() {
  static CellScratch scratch;
  return scratch;
}

}  // namespace

TColor ToPaletteRelativeColor(TColor color) { return ColorToRGB(color) | clPaletteRelative; }

void DefaultBeep() { EdgeMessageBeep(0); }

// ---- Keyed bitmaps ---------------------------------------------------------------------

void MaskedStretchBlt(HDC dstDc, int dstX, int dstY, int dstW, int dstH, HDC srcDc, int srcX, int srcY, int srcW,
                      int srcH, HPALETTE palette, TColor transparentColor) {
  // notOpaque: 1 where the source is transparent; opaque: its inverse; merged: the
  // destination area being composed; copy: the source area.
  MemorySurface opaque(dstDc, CreateBitmap(srcW, srcH, 1, 1, nullptr));
  MemorySurface notOpaque(dstDc, CreateBitmap(srcW, srcH, 1, 1, nullptr));
  MemorySurface merged(dstDc, CreateCompatibleBitmap(dstDc, dstW, dstH));
  MemorySurface copy(dstDc, CreateCompatibleBitmap(dstDc, srcW, srcH));
  ScopedSelectPalette dstPalette(dstDc, palette, true);
  ScopedSelectPalette copyPalette(copy.dc(), palette, false);
  ScopedSelectPalette maskPalette(notOpaque.dc(), palette, false);
  ScopedSelectPalette mergedPalette(merged.dc(), palette, true);
  const int mapMode = GetMapMode(dstDc);
  SetMapMode(srcDc, mapMode);
  SetMapMode(copy.dc(), mapMode);

  BitBlt(copy.dc(), 0, 0, srcW, srcH, srcDc, srcX, srcY, SRCCOPY);
  {
    ScopedMonoColors key(copy.dc(), GetTextColor(copy.dc()), static_cast<COLORREF>(ToPaletteRelativeColor(transparentColor)));
    BitBlt(notOpaque.dc(), 0, 0, srcW, srcH, copy.dc(), 0, 0, SRCCOPY);
  }
  BitBlt(opaque.dc(), 0, 0, srcW, srcH, notOpaque.dc(), 0, 0, NOTSRCCOPY);
  BitBlt(merged.dc(), 0, 0, dstW, dstH, dstDc, dstX, dstY, SRCCOPY);
  // The masks turn into black (0) and white (1) on the colour surfaces.
  ScopedMonoColors mergedColors(merged.dc(), RGB(0, 0, 0), RGB(255, 255, 255));
  ScopedMonoColors copyColors(copy.dc(), RGB(0, 0, 0), RGB(255, 255, 255));
  StretchBlt(merged.dc(), 0, 0, dstW, dstH, notOpaque.dc(), 0, 0, srcW, srcH, SRCAND);
  BitBlt(copy.dc(), 0, 0, srcW, srcH, opaque.dc(), 0, 0, SRCAND);
  StretchBlt(merged.dc(), 0, 0, dstW, dstH, copy.dc(), 0, 0, srcW, srcH, SRCPAINT);
  BitBlt(dstDc, dstX, dstY, dstW, dstH, merged.dc(), 0, 0, SRCCOPY);
}

void StretchBitmapKeyed(TCanvas* canvas, TBitmap* bitmap, TColor transparentColor, int dstX, int dstY, int dstW,
                        int dstH, int srcX, int srcY, int srcW, int srcH) {
  if (bitmap == nullptr || bitmap->Empty()) return;
  if (dstW < 1) dstW = bitmap->Width();
  if (dstH < 1) dstH = bitmap->Height();
  if (srcW < 1 || srcH < 1) {
    srcX = srcY = 0;
    srcW = bitmap->Width();
    srcH = bitmap->Height();
  }
  HDC dst = canvas->Handle();
  const bool monochrome = bitmap->Monochrome();
  if (!monochrome) SetStretchBltMode(dst, COLORONCOLOR);

  // Reading the bitmap through its canvas must not count as a change of the bitmap.
  TCanvas* source = bitmap->Canvas();
  DetachedEvent detached(source->OnChanging);

  HDC src = source->Handle();
  if (transparentColor == clNone) {
    StretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, srcY, srcW, srcH, canvas->CopyMode());
    return;
  }
  if (transparentColor == clDefault) transparentColor = source->Pixels(0, bitmap->Height() - 1);
  const TColor key = monochrome ? clWhite : ColorToRGB(transparentColor);
  MaskedStretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, srcY, srcW, srcH, bitmap->Palette(), key);
}

void StretchBitmapRectKeyed(TCanvas* canvas, int dstX, int dstY, int dstW, int dstH, const RECT& srcRect,
                            TBitmap* bitmap, TColor transparentColor) {
  StretchBitmapKeyed(canvas, bitmap, transparentColor, dstX, dstY, dstW, dstH, srcRect.left, srcRect.top,
                     GetRectWidth(srcRect), GetRectHeight(srcRect));
}

void DrawBitmapRectKeyed(TCanvas* canvas, int x, int y, const RECT& srcRect, TBitmap* bitmap,
                         TColor transparentColor) {
  StretchBitmapRectKeyed(canvas, x, y, GetRectWidth(srcRect), GetRectHeight(srcRect), srcRect, bitmap,
                         transparentColor);
}

// ---- Disabled images -------------------------------------------------------------------

std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap* image, TColor outlineColor, TColor backColor,
                                                TColor highlightColor, TColor shadowColor, bool drawHighlight) {
  auto result = std::make_unique<TBitmap>();
  const int width = image->Width();
  const int height = image->Height();
  if (width <= 0 || height <= 0) return result;
  result->SetSize(width, height);

  // The selected pixels: those of the outline colour, or the black ones of a monochrome
  // image (made a colour bitmap first, so that its colour table decides what black is).
  TBitmap colorCopy;
  TBitmap* source = image;
  COLORREF key = Gdi(outlineColor);
  if (image->Monochrome()) {
    colorCopy.Assign(image);
    colorCopy.SetMonochrome(false);
    source = &colorCopy;
    key = RGB(0, 0, 0);
  }
  std::unique_ptr<MemorySurface> mask = MaskOfColor(source->Canvas()->Handle(), width, height, key);

  TCanvas* canvas = result->Canvas();
  canvas->Brush()->SetColor(backColor);
  canvas->FillRect(RECT{0, 0, width, height});
  HDC dc = canvas->Handle();
  if (drawHighlight) StampMask(dc, 1, 1, width, height, mask->dc(), highlightColor, false);
  StampMask(dc, 0, 0, width, height, mask->dc(), shadowColor, false);
  return result;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* image, TColor outlineColor) {
  return CreateDisabledBitmapEx(image, outlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void ImageListDrawDisabled(TImageList* images, TCanvas* canvas, int x, int y, int index, TColor highlightColor,
                           TColor shadowColor, bool drawHighlight) {
  const int width = images->Width();
  const int height = images->Height();
  // An index the list does not hold draws nothing (the system may draw a stale mask).
  if (width <= 0 || height <= 0 || index < 0 || index >= images->Count()) return;
  // The list's mask of the image on white: black where the image is opaque.
  TBitmap scratch;
  scratch.SetSize(width, height);
  HDC scratchDc = scratch.Canvas()->Handle();
  PatBlt(scratchDc, 0, 0, width, height, WHITENESS);
  ImageList_Draw(images->Handle(), index, scratchDc, 0, 0, ILD_MASK);
  std::unique_ptr<MemorySurface> mask = MaskOfColor(scratchDc, width, height, RGB(255, 255, 255));

  HDC dc = canvas->Handle();
  if (drawHighlight) StampMask(dc, x + 1, y + 1, width, height, mask->dc(), highlightColor, true);
  StampMask(dc, x, y, width, height, mask->dc(), shadowColor, true);
}

// ---- Painting --------------------------------------------------------------------------

void PaintControlBackdrop(TControl* control, TCanvas* canvas) {
  TWinControl* parent = control->Parent();
  if (parent == nullptr) return;
  HDC dc = canvas->Handle();
  const RECT bounds = control->BoundsRect();
  // The origin moves by the control's position, so this serves a canvas whose origin is at
  // the control's corner, whether that is a bitmap of its own or its parent's paint DC.
  {
    SavedDc saved(dc);
    OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    BackdropAccess::PaintOwnContent(parent, dc);
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* sibling = parent->Controls(i);
    if (sibling == nullptr || dynamic_cast<TWinControl*>(sibling) != nullptr) continue;
    if (sibling == control) break;
    const RECT siblingBounds = sibling->BoundsRect();
    RECT common;
    if (!sibling->Visible() || !IntersectRect(&common, &siblingBounds, &bounds)) continue;
    SavedDc saved(dc);
    OffsetViewportOrgEx(dc, sibling->Left() - control->Left(), sibling->Top() - control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, sibling->Width(), sibling->Height());
    sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void GradientFillRect(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor, int direction,
                      int colors) {
  for (const TGradientBand& band : GradientBands(rect.left, rect.top, rect.right, rect.bottom, ColorToRGB(startColor),
                                                 ColorToRGB(endColor), direction, colors)) {
    canvas->Brush()->SetColor(band.Color);
    canvas->FillRect(RECT{band.Left, band.Top, band.Right, band.Bottom});
  }
}

std::string ShortenTextToWidth(const std::string& text, TCanvas* canvas, int maxWidth) {
  return ShortenTextToWidth(text, [canvas](const std::string& s) { return canvas->TextWidth(s); }, maxWidth);
}

void DrawCellTextAt(TCanvas* canvas, const RECT& rect, int dx, int dy, const std::string& text, int alignment,
                    bool wordWrap, bool rightToLeft) {
  CellScratch& scratch = CellScratchBitmap();
  HDC dc = canvas->Handle();
  const bool mirroredCanvas = (GetLayout(dc) & LAYOUT_RTL) != 0;
  const COLORREF brush = Gdi(canvas->Brush()->Color());
  if (!wordWrap && GetNearestColor(dc, brush) == brush && text.find('\r') == std::string::npos) {
    const int align = mirroredCanvas && !rightToLeft ? MirroredAlignment(alignment) : alignment;
    const int x = CellTextX(rect.left, rect.right, dx, canvas->TextWidth(text), align);
    canvas->TextRect(rect, x, rect.top + dy, text);
    return;
  }

  const int width = GetRectWidth(rect);
  const int height = GetRectHeight(rect);
  if (width <= 0 || height <= 0) return;
  std::lock_guard<std::mutex> hold(scratch.lock);
  TBitmap& bitmap = scratch.bitmap;
  if (bitmap.Width() < width || bitmap.Height() < height)
    bitmap.SetSize(IntMax(bitmap.Width(), width), IntMax(bitmap.Height(), height));
  TCanvas* cell = bitmap.Canvas();
  cell->Font()->Assign(canvas->Font());
  cell->Brush()->Assign(canvas->Brush());
  cell->Brush()->SetStyle(bsSolid);
  cell->FillRect(RECT{0, 0, width, height});
  HDC cellDc = cell->Handle();
  {
    ScopedSelectObject font(cellDc, cell->Font()->Handle());
    ScopedMonoColors colors(cellDc, Gdi(cell->Font()->Color()), GetBkColor(cellDc));
    const int oldMode = SetBkMode(cellDc, TRANSPARENT);
    RECT textRect{dx, dy, width - 1, height - 1};
    const int align = mirroredCanvas ? MirroredAlignment(alignment) : alignment;
    DrawTextA(cellDc, text.data(), static_cast<int>(text.size()), &textRect, CellTextFlags(align, wordWrap, rightToLeft));
    SetBkMode(cellDc, oldMode);
  }
  canvas->CopyRect(rect, cell, RECT{0, 0, width, height});
}

void DrawCellTextAligned(TCanvas* canvas, const std::string& text, const RECT& rect, int alignment, int vertical,
                         bool wordWrap, bool rightToLeft) {
  const int dy = CellTextOffsetY(vertical, GetRectHeight(rect), canvas->TextHeight("W"));
  DrawCellTextAt(canvas, rect, 2, dy, text, alignment, wordWrap, rightToLeft);
}

// ---- Windows and messages --------------------------------------------------------------

void DropPendingMessage(HWND wnd, UINT msg) {
  MSG removed;
  if (PeekMessageA(&removed, wnd, msg, msg, PM_REMOVE) && removed.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(removed.wParam));
}

void SwitchToWindow(HWND wnd, bool restore) {
  if (!IsWindowEnabled(wnd)) return;
  SetForegroundWindow(wnd);
  if (restore && IsWindowVisible(wnd)) {
    if (!IsZoomed(wnd)) SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetFocus(wnd);
  }
}

namespace {

BOOL CALLBACK FindActiveWindow(HWND wnd, LPARAM found) noexcept {
  if (wnd != GetActiveWindow()) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

}  // namespace

bool IsActiveWindowInThread() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), &FindActiveWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}
