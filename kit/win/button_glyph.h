#pragma once
// The glyph painter of the speed button: TKitButtonGlyph keeps one glyph bitmap of 1 to 5
// cells side by side (up, disabled, down, exclusive, inactive), makes the image of each
// button state from it when first needed (an embossed disabled image and a grey inactive one
// when the bitmap has no cell for them), and lays out and draws glyph, caption and drop-down
// mark. The state images live in glyph lists shared by every painter of the process, one
// list per cell size (TGlyphCache), so that drawing a glyph is one image-list draw.
// DrawButtonFrame draws the frame of a button. The arithmetic is in kit/glyph_layout.h.

#include "platform/wcl/win/image_list.h"

#include <memory>
#include <string>
#include <vector>

#include "kit/glyph_layout.h"
#include "platform/rtl/persistent.h"
#include "platform/wcl/win/std_controls.h"

class TBitmap;
class TCanvas;

// An image list of one cell size whose slots are handed out and given back: a freed slot is
// used again before the list grows.
class TGlyphList : public TImageList {
public:
  TGlyphList(int width, int height);
  std::string ClassName() const override { return "TGlyphList"; }

  // The first unused slot (a new empty image at the end when all are used), now used.
  int AllocateIndex();
  // A new slot holding image with mask.
  int Add(TBitmap* image, TBitmap* mask);
  // A new slot holding image, see-through where it has maskColor.
  int AddMasked(TBitmap* image, TColor maskColor);
  // Gives a slot back; its image stays until the slot is used again.
  void Delete(int slot);
  int UsedCount() const { return slots_.UsedCount(); }

private:
  TGlyphSlots slots_;
};

// The glyph lists of the process, one per cell size.
class TGlyphCache {
public:
  TGlyphCache();
  ~TGlyphCache();
  TGlyphCache(const TGlyphCache&) = delete;
  TGlyphCache& operator=(const TGlyphCache&) = delete;

  // The list for cells of width x height, made when there is none.
  TGlyphList* GetList(int width, int height);
  // Frees list when no slot of it is in use any more.
  void ReturnList(TGlyphList* list);
  bool Empty() const { return lists_.empty(); }
  int ListCount() const { return static_cast<int>(lists_.size()); }

private:
  std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The process's cache: made by the first painter that needs it, freed again when a painter
// goes and the cache is empty. nullptr while there is none.
extern TGlyphCache* GlyphCache;

class TKitButtonGlyph : public TObject {
public:
  TKitButtonGlyph();
  ~TKitButtonGlyph() override;
  TKitButtonGlyph(const TKitButtonGlyph&) = delete;
  TKitButtonGlyph& operator=(const TKitButtonGlyph&) = delete;

  // The glyph bitmap; drawing on it or loading it makes the state images again.
  TBitmap* Glyph() const { return glyph_.get(); }
  // Takes a copy of bitmap (nullptr empties the glyph). The cell count follows the shape
  // of a bitmap as wide as a whole number of squares.
  void SetGlyph(TBitmap* bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  // 1 to 5 cells; values above 5 are 5, values below 1 change nothing.
  void SetNumGlyphs(int value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value) { wordWrap_ = value; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { alignment_ = value; }
  // The colour drawn see-through (the bitmap's own, without the palette flag).
  TColor TransparentColor() const { return transparentColor_; }

  // Drops every state image made so far (after a change of glyph, cells or system colours).
  void Invalidate();
  // The slot of the state's image in GlyphList(), made when first asked for; -1 when there
  // is no glyph or its cells have no size.
  int CreateButtonGlyph(TButtonState state);
  // The shared list the state images are in; nullptr before the first one is made.
  TGlyphList* GlyphList() const { return list_; }

  // Lays out and draws glyph, caption and (with popupMark) the drop-down mark inside client
  // in the given state; flags are the caption's DrawText alignment flags. Answers where the
  // caption went.
  RECT Draw(TCanvas* canvas, const RECT& client, const std::string& caption, TButtonLayout layout, int margin,
            int spacing, bool popupMark, TButtonState state, unsigned flags);

  TNotifyEvent OnChange;

private:
  void GlyphChanged();
  TButtonLayoutResult CalcButtonLayout(TCanvas* canvas, const RECT& client, const std::string& caption,
                                       TButtonLayout layout, int margin, int spacing, bool popupMark, unsigned flags);
  void DrawButtonText(TCanvas* canvas, const std::string& caption, RECT bounds, TButtonState state, unsigned flags);
  void DrawPopupMark(TCanvas* canvas, int x, int y, TButtonState state);

  std::unique_ptr<TBitmap> glyph_;
  TGlyphList* list_ = nullptr;
  int indexes_[kMaxGlyphCells] = {-1, -1, -1, -1, -1};
  TColor transparentColor_ = clFuchsia;
  int numGlyphs_ = 1;
  bool wordWrap_ = false;
  TAlignment alignment_ = taCenter;
};

// Draws the rings of a button frame inside client and answers the rectangle left inside
// them, 1 pixel smaller again. roundRadius > 0 rounds the corners.
RECT DrawButtonFrame(TCanvas* canvas, const RECT& client, bool isDown, bool isFlat, TButtonStyle style,
                     int roundRadius);
// Draws width rings of 1 pixel inside rect, top and left in topColor, bottom and right in
// bottomColor (with corners of radius > 0 rounded), shrinking rect by 1 for each.
void Frame3DRounded(TCanvas* canvas, RECT& rect, TColor topColor, TColor bottomColor, int width, int radius);
