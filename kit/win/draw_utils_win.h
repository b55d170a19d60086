#pragma once
// The drawing and window routines the kit's controls share: drawing bitmaps with a
// see-through (keyed) colour, the embossed look of disabled images, painting what lies under
// a non-windowed control, gradient fills, texts cut to a width and drawn into grid cells,
// and a few window and message helpers. The arithmetic behind them is in kit/draw_utils.h.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>

#include "kit/draw_utils.h"
#include "platform/wcl/colors.h"

class TBitmap;
class TCanvas;
class TControl;
class TImageList;

inline int GetRectWidth(const RECT& rect) { return rect.right - rect.left; }
inline int GetRectHeight(const RECT& rect) { return rect.bottom - rect.top; }

// The colour as the GDI takes it (system colours resolved), marked palette-relative.
TColor ToPaletteRelativeColor(TColor color);

// The kit passes the texts of its messages through here before building them.
inline std::string ResourceText(const std::string& text) { return text; }

// The default system sound, through the replaceable beep.
void DefaultBeep();

// ---- Keyed bitmaps ---------------------------------------------------------------------

// Copies the source area (srcX, srcY, srcW, srcH) of srcDc stretched onto the destination
// area of dstDc, leaving the destination as it was wherever the source has
// transparentColor. The palette, when given, is realized in the DCs for the copy.
void MaskedStretchBlt(HDC dstDc, int dstX, int dstY, int dstW, int dstH, HDC srcDc, int srcX, int srcY, int srcW,
                      int srcH, HPALETTE palette, TColor transparentColor);

// Draws the area (srcX, srcY, srcW, srcH) of bitmap stretched into (dstX, dstY, dstW, dstH)
// of canvas. A destination side below 1 takes the bitmap's; a source side below 1 makes the
// whole bitmap the source. transparentColor: clNone copies the area as it is; clDefault
// makes the bottom-left pixel's colour see-through; a monochrome bitmap's see-through colour
// is always white.
void StretchBitmapKeyed(TCanvas* canvas, TBitmap* bitmap, TColor transparentColor, int dstX, int dstY, int dstW,
                        int dstH, int srcX, int srcY, int srcW, int srcH);
// The same with the source area given as a rectangle.
void StretchBitmapRectKeyed(TCanvas* canvas, int dstX, int dstY, int dstW, int dstH, const RECT& srcRect,
                            TBitmap* bitmap, TColor transparentColor);
// The source rectangle drawn at its own size at (x, y).
void DrawBitmapRectKeyed(TCanvas* canvas, int x, int y, const RECT& srcRect, TBitmap* bitmap,
                         TColor transparentColor);

// ---- Disabled images -------------------------------------------------------------------

// The embossed look of a disabled image: on backColor, the pixels of outlineColor (the black
// ones of a monochrome image) in shadowColor, and, with drawHighlight, again in
// highlightColor one pixel right and down where the shadow does not cover them.
std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap* image, TColor outlineColor, TColor backColor,
                                                TColor highlightColor, TColor shadowColor, bool drawHighlight);
// The same on the button face colour, with the system's highlight and shadow colours.
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* image, TColor outlineColor);
// Draws every opaque pixel of image index of the list at (x, y) in shadowColor, and with
// drawHighlight in highlightColor one pixel right and down below it. An index the list does
// not hold draws nothing.
void ImageListDrawDisabled(TImageList* images, TCanvas* canvas, int x, int y, int index, TColor highlightColor,
                           TColor shadowColor, bool drawHighlight);

// ---- Painting --------------------------------------------------------------------------

// Paints onto canvas (whose origin is the control's top-left corner) what would be seen
// through a non-windowed control: its parent's own background and content, and the
// non-windowed controls below it. Nothing for a control without a parent.
void PaintControlBackdrop(TControl* control, TCanvas* canvas);

// Fills rect with colors bands from startColor to endColor in direction (gdTopToBottom,
// gdBottomToTop, gdLeftToRight, gdRightToLeft). The canvas brush keeps the last colour.
void GradientFillRect(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor, int direction,
                      int colors);

// The text cut with "..." to maxWidth as the canvas's font measures it.
std::string ShortenTextToWidth(const std::string& text, TCanvas* canvas, int maxWidth);

// Fills the cell rect with the canvas brush and draws text in it with the canvas font, dx
// and dy inside the cell. alignment: taLeftJustify 0, taRightJustify 1, taCenter 2 (left
// and right exchanged on a right-to-left canvas). Word-wrapped texts, texts with line
// breaks and brushes the device cannot show as they are go through a scratch bitmap.
void DrawCellTextAt(TCanvas* canvas, const RECT& rect, int dx, int dy, const std::string& text, int alignment,
                    bool wordWrap, bool rightToLeft);

// DrawCellTextAt 2 pixels in from the left, at the height vertical asks (0 top, 1 centre,
// 2 bottom) for a text as high as "W".
void DrawCellTextAligned(TCanvas* canvas, const std::string& text, const RECT& rect, int alignment, int vertical,
                         bool wordWrap, bool rightToLeft);
// The same on a grid's canvas; the column and row are not needed.
template <typename TGrid>
void DrawCellTextAligned(TGrid* grid, int col, int row, const std::string& text, const RECT& rect, int alignment,
                         int vertical, bool wordWrap, bool rightToLeft) {
  DrawCellTextAligned(grid->Canvas(), text, rect, alignment, vertical, wordWrap, rightToLeft);
}

// ---- Windows and messages --------------------------------------------------------------

// Removes one pending message numbered msg for wnd; a quit request removed that way is
// posted again with its exit code, so the program still ends.
void DropPendingMessage(HWND wnd, UINT msg);
// Brings an enabled window to the front; with restore, a visible window that is not
// maximised is restored, and takes the focus.
void SwitchToWindow(HWND wnd, bool restore);
// True when one of the calling thread's top-level windows is the active window.
bool IsActiveWindowInThread();
