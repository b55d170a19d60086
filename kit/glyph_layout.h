#pragma once
// The arithmetic of the button glyph painter, free of any device context: which glyph cell
// (and which way of deriving it) shows each button state, how many cells a glyph bitmap
// holds, the grey of the inactive look, where glyph, caption and drop-down mark go inside a
// button, the pixels of the drop-down mark, the colour rings of a button frame, and the slot
// bookkeeping of the shared glyph lists. The drawing is in kit/win/button_glyph.h.

#include <functional>
#include <string>
#include <vector>

#include "platform/wcl/button_layout.h"
#include "platform/wcl/colors.h"

// What a button shows; the glyph bitmap's cells are in this order.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
// The frame's look: the new one, the old one, or whichever the system uses (the new one).
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// A glyph bitmap holds 1 to 5 cells side by side.
constexpr int kMaxGlyphCells = 5;
// Captions longer than this are cut before they are laid out and drawn.
constexpr size_t kMaxButtonCaption = 255;
// Room the drop-down mark takes after a caption, and after a glyph.
constexpr int kMarkAfterText = 9;
constexpr int kMarkAfterGlyph = 6;

struct TGlyphRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TGlyphRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

struct TGlyphPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TGlyphPoint& o) const { return X == o.X && Y == o.Y; }
};

// ---- Glyph cells -------------------------------------------------------------------------

// How a state's image is made from the glyph bitmap.
enum TGlyphMethod {
  gmCopy,    // the cell as it is
  gmEmboss,  // the black pixels of the bitmap embossed on the button face
  gmGrey,    // the cell's colours turned grey
};

struct TGlyphSource {
  TButtonState State;  // the state whose image is made (down falls back to up)
  int Cell;            // the cell the image comes from
  TGlyphMethod Method;
};

// Where the image of state comes from in a bitmap of numGlyphs cells: down shows the up
// image below 3 cells; a state without a cell of its own copies cell 0, except that a
// disabled state without cell 1 is embossed and an inactive one without cell 4 is cell 0
// in grey.
TGlyphSource GlyphSourceFor(TButtonState state, int numGlyphs);

// The cell count a new glyph bitmap of width x height implies: width / height when the width
// is a whole, non-zero multiple of the height (1 when that is over 5 cells), otherwise current.
int NumGlyphsForBitmap(int width, int height, int current);

// A requested cell count brought into 1..5; 0 (or less) means "no change" and answers current.
int ClampNumGlyphs(int value, int current);

// Width of one cell; 0 when the bitmap is narrower than its cell count.
inline int GlyphCellWidth(int bitmapWidth, int numGlyphs) {
  return numGlyphs > 0 && bitmapWidth > 0 ? bitmapWidth / numGlyphs : 0;
}

// The inactive look of one pixel (plain 0x00BBGGRR colours): the transparent colour and the
// button face stay, any other colour becomes the grey of its luminance.
TColor MapColor(TColor rgb, TColor transparentRgb, TColor btnFaceRgb);

// ---- Layout ------------------------------------------------------------------------------

// Width of a single line of text in the button's font.
using TGlyphTextWidth = std::function<int(const std::string& text)>;
// Size the caption takes when drawn at most maxWidth wide (word-wrapped when asked).
using TGlyphTextMeasure = std::function<TGlyphPoint(const std::string& text, int maxWidth)>;

// The caption as it is laid out: cut to 255 characters, each line shortened with "..." to
// maxWidth unless wordWrap, lines joined with CR LF and trailing blanks and breaks removed.
std::string MinimizeCaption(const std::string& caption, int maxWidth, bool wordWrap, const TGlyphTextWidth& textWidth);

struct TButtonLayoutResult {
  std::string Caption;   // the caption to draw
  TGlyphPoint GlyphPos;  // top-left corner of the glyph
  TGlyphRect TextBounds; // where the caption is drawn; empty at the text position for none
};

// Places glyph (one cell of glyphWidth x glyphHeight, 0 x 0 for none) and caption inside
// client. margin is the gap from the edge to the glyph, spacing the gap between glyph and
// caption; -1 lets the layout choose (centred block, or three equal gaps). popupMark makes
// room for the drop-down mark after the caption (glyph left, or no glyph) or after the glyph.
TButtonLayoutResult CalcButtonLayout(const TGlyphRect& client, const std::string& caption, TButtonLayout layout,
                                     int margin, int spacing, bool popupMark, int glyphWidth, int glyphHeight,
                                     bool wordWrap, const TGlyphTextWidth& textWidth,
                                     const TGlyphTextMeasure& measure);

// Top-left anchor (X, Y) of the drop-down mark: after the glyph when the layout is not
// glyph-left and there is a glyph bitmap, otherwise after the caption (or in the middle of
// the client without one). drawnGlyph is the size of the glyph actually drawn.
TGlyphPoint PopupMarkPosition(const TButtonLayoutResult& layout, const TGlyphRect& client, TButtonLayout buttonLayout,
                              bool hasGlyphBitmap, TGlyphPoint drawnGlyph);

// The pixels of the drop-down mark anchored at (x, y): a triangle pointing down, 7, 5, 3
// and 1 pixels wide on the rows y - 1 to y + 2.
std::vector<TGlyphPoint> PopupMarkPixels(int x, int y);

// The DrawText alignment flag of a caption alignment code (0 left, 1 right, 2 centre).
unsigned AlignmentTextFlag(int alignment);

// ---- Frame -------------------------------------------------------------------------------

// One ring of a button frame, drawn inside the current rectangle, which then shrinks by 1.
// A shadow line is drawn along the left and top edges only, in TopLeft.
struct TFrameRing {
  TColor TopLeft;
  TColor BottomRight;
  bool ShadowLineOnly = false;
};

// The rings of a button frame from the outside in, by state, flatness and look.
std::vector<TFrameRing> ButtonFrameRings(bool isDown, bool isFlat, bool newLook);

// True when style draws the new look (the system always reports new-style controls).
inline bool UsesNewLook(TButtonStyle style) { return style != bsWin31; }

// ---- Glyph list slots ----------------------------------------------------------------------

// The used and free slots of a glyph list. Freed slots are given out again, the first free
// one first, before the list grows.
class TGlyphSlots {
public:
  // The first free slot, now used. grew is set when every slot was in use and the set
  // became one slot larger (the list must then append an image for the new slot).
  int Allocate(bool& grew);
  // Frees slot; a slot not in use (or not in the set) is left alone.
  void Free(int slot);
  bool InUse(int slot) const;
  int Size() const { return static_cast<int>(used_.size()); }
  int UsedCount() const { return usedCount_; }

private:
  std::vector<bool> used_;
  int usedCount_ = 0;
};
