#include "kit/glyph_layout.h"

#include <algorithm>

#include "kit/draw_utils.h"
#include "platform/rtl/ansi_chars.h"

// ---- Glyph cells -------------------------------------------------------------------------

TGlyphSource GlyphSourceFor(TButtonState state, int numGlyphs) {
  if (state == bsDown && numGlyphs < 3) state = bsUp;
  const int own = static_cast<int>(state);
  switch (state) {
    case bsDisabled:
      if (numGlyphs < 2) return {state, 0, gmEmboss};
      return {state, 1, gmCopy};
    case bsInactive:
      if (numGlyphs < kMaxGlyphCells) return {state, 0, gmGrey};
      return {state, 4, gmCopy};
    default:
      return {state, own < numGlyphs ? own : 0, gmCopy};
  }
}

int NumGlyphsForBitmap(int width, int height, int current) {
  // A bitmap without width holds no cells: the count stays, so no cell width is ever
  // computed from a count of 0.
  if (width <= 0 || height <= 0 || width % height != 0) return current;
  const int cells = width / height;
  return cells > kMaxGlyphCells ? 1 : cells;
}

int ClampNumGlyphs(int value, int current) {
  if (value < 1) return current;
  return std::min(value, kMaxGlyphCells);
}

TColor MapColor(TColor rgb, TColor transparentRgb, TColor btnFaceRgb) {
  const uint32_t bits = static_cast<uint32_t>(rgb) & 0xFFFFFFu;
  if (bits == (static_cast<uint32_t>(transparentRgb) & 0xFFFFFFu) ||
      bits == (static_cast<uint32_t>(btnFaceRgb) & 0xFFFFFFu))
    return static_cast<TColor>(bits);
  const uint32_t r = bits & 0xFF;
  const uint32_t g = (bits >> 8) & 0xFF;
  const uint32_t b = (bits >> 16) & 0xFF;
  const uint32_t grey = (r * 77 + g * 150 + b * 29) / 256;
  return static_cast<TColor>(grey | (grey << 8) | (grey << 16));
}

// ---- Layout ------------------------------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

std::string TrimRightBlanks(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  return text;
}

}  // namespace

std::string MinimizeCaption(const std::string& caption, int maxWidth, bool wordWrap, const TGlyphTextWidth& textWidth) {
  const std::string cut = AnsiLeftBytes(caption, kMaxButtonCaption);
  if (wordWrap) return cut;
  std::string joined;
  bool first = true;
  for (const std::string& line : SplitLines(cut)) {
    if (!first) joined += "\r\n";
    first = false;
    joined += ShortenTextToWidth(line, textWidth, maxWidth);
  }
  return TrimRightBlanks(joined);
}

TButtonLayoutResult CalcButtonLayout(const TGlyphRect& client, const std::string& caption, TButtonLayout layout,
                                     int margin, int spacing, bool popupMark, int glyphWidth, int glyphHeight,
                                     bool wordWrap, const TGlyphTextWidth& textWidth,
                                     const TGlyphTextMeasure& measure) {
  const bool vertical = layout == blGlyphTop || layout == blGlyphBottom;
  const int w = client.Width();
  const int h = client.Height();
  int gw = glyphWidth;
  int gh = glyphHeight;

  // The room left for the caption.
  const int gaps = (margin != -1 ? margin : 0) + (spacing != -1 ? spacing : 0);
  int maxW;
  int maxH;
  if (vertical) {
    maxW = w - 2;
    maxH = h - gh - 2 - gaps;
  } else {
    maxW = w - gw - 2 - gaps - (popupMark ? kMarkAfterText : 0);
    maxH = h - 2;
  }
  maxW = std::max(maxW, 0);
  maxH = std::max(maxH, 0);

  TButtonLayoutResult result;
  result.Caption = MinimizeCaption(caption, maxW, wordWrap, textWidth);
  int measuredW = 0;
  int measuredH = 0;
  if (!result.Caption.empty()) {
    const TGlyphPoint size = measure(result.Caption, maxW);
    measuredW = std::min(std::max(size.X, 0), maxW);
    measuredH = std::min(std::max(size.Y, 0), maxH);
  }
  int tw = measuredW;
  int th = measuredH;

  if (popupMark) {
    if (gw == 0 || gh == 0 || layout == blGlyphLeft) tw += kMarkAfterText;
    else gw += kMarkAfterGlyph;
  }

  TGlyphPoint glyph;
  TGlyphPoint text;
  if (vertical) {
    glyph.X = w / 2 - gw / 2;
    text.X = w / 2 - tw / 2;
  } else {
    glyph.Y = h / 2 - gh / 2;
    text.Y = h / 2 - th / 2;
  }

  if (tw == 0 || gw == 0) spacing = 0;

  const int extent = vertical ? h : w;
  const int g = vertical ? gh : gw;
  const int t = vertical ? th : tw;
  if (margin == -1 && spacing != -1) {
    margin = extent / 2 - (g + spacing + t) / 2;
  } else if (margin == -1) {
    spacing = (extent - (g + t)) / 3;
    margin = spacing;
  } else if (spacing == -1) {
    spacing = (extent - margin - g) / 2 - t / 2;
  }

  // Along the layout direction the glyph stands at the margin from its own edge, and the
  // text follows it (or precedes it) after the spacing.
  int& glyphAlong = vertical ? glyph.Y : glyph.X;
  int& textAlong = vertical ? text.Y : text.X;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    glyphAlong = margin;
    textAlong = glyphAlong + g + spacing;
  } else {
    glyphAlong = extent - margin - g;
    textAlong = glyphAlong - spacing - t;
  }

  result.GlyphPos = TGlyphPoint{glyph.X + client.Left, glyph.Y + client.Top};
  const int left = text.X + client.Left;
  const int top = text.Y + client.Top;
  result.TextBounds = TGlyphRect{left, top, left + measuredW, top + measuredH};
  return result;
}

TGlyphPoint PopupMarkPosition(const TButtonLayoutResult& layout, const TGlyphRect& client, TButtonLayout buttonLayout,
                              bool hasGlyphBitmap, TGlyphPoint drawnGlyph) {
  if (buttonLayout != blGlyphLeft && hasGlyphBitmap)
    return TGlyphPoint{layout.GlyphPos.X + drawnGlyph.X + 1, layout.GlyphPos.Y + drawnGlyph.Y / 2};
  const TGlyphRect& text = layout.TextBounds;
  const int x = layout.Caption.empty() ? (client.Left + client.Right - 7) / 2 : text.Right + 3;
  return TGlyphPoint{x, text.Top + text.Height() / 2};
}

std::vector<TGlyphPoint> PopupMarkPixels(int x, int y) {
  std::vector<TGlyphPoint> pixels;
  for (int row = 0; row < 4; ++row)
    for (int col = row; col < 7 - row; ++col) pixels.push_back(TGlyphPoint{x + col, y - 1 + row});
  return pixels;
}

unsigned AlignmentTextFlag(int alignment) {
  // DT_LEFT 0, DT_CENTER 1, DT_RIGHT 2.
  switch (alignment) {
    case kAlignRight: return 2;
    case kAlignCenter: return 1;
    default: return 0;
  }
}

// ---- Frame -------------------------------------------------------------------------------

std::vector<TFrameRing> ButtonFrameRings(bool isDown, bool isFlat, bool newLook) {
  if (isFlat) {
    if (isDown) return {{clWindowFrame, clBtnHighlight}};
    return {{clBtnHighlight, newLook ? clBtnShadow : clWindowFrame}};
  }
  if (newLook) {
    if (isDown) return {{clWindowFrame, clBtnHighlight}, {clBtnShadow, clBtnFace}};
    return {{clBtnHighlight, clWindowFrame}, {clBtnFace, clBtnShadow}};
  }
  if (isDown) return {{clWindowFrame, clWindowFrame}, {clBtnShadow, clBtnShadow, true}};
  return {{clWindowFrame, clWindowFrame}, {clBtnHighlight, clBtnShadow}};
}

// ---- Glyph list slots ----------------------------------------------------------------------

int TGlyphSlots::Allocate(bool& grew) {
  grew = false;
  auto free = std::find(used_.begin(), used_.end(), false);
  int slot = static_cast<int>(free - used_.begin());
  if (free == used_.end()) {
    used_.push_back(false);
    grew = true;
  }
  used_[static_cast<size_t>(slot)] = true;
  ++usedCount_;
  return slot;
}

void TGlyphSlots::Free(int slot) {
  if (!InUse(slot)) return;
  used_[static_cast<size_t>(slot)] = false;
  --usedCount_;
}

bool TGlyphSlots::InUse(int slot) const {
  return slot >= 0 && slot < Size() && used_[static_cast<size_t>(slot)];
}
