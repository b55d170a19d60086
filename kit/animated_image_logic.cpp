#include "kit/animated_image_logic.h"

void TGlyphStrip::SetStripSize(int width, int height) {
  stripWidth_ = width;
  stripHeight_ = height;
  CountCells();
}

void TGlyphStrip::SetOrientation(TGlyphOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  CountCells();
}

void TGlyphStrip::CountCells() {
  numGlyphs_ = 1;
  glyphNum_ = 0;
  if (orientation_ == goHorizontal) {
    if (stripHeight_ > 0 && stripWidth_ % stripHeight_ == 0) numGlyphs_ = stripWidth_ / stripHeight_;
  } else if (stripWidth_ > 0 && stripHeight_ % stripWidth_ == 0) {
    numGlyphs_ = stripHeight_ / stripWidth_;
  }
  // An empty strip (0 wide, or 0 high) still counts as one cell.
  if (numGlyphs_ < 1) numGlyphs_ = 1;
  ComputeCellSize();
}

void TGlyphStrip::ComputeCellSize() {
  const int cells = numGlyphs_ > 0 ? numGlyphs_ : 1;
  if (orientation_ == goHorizontal) {
    cellWidth_ = stripWidth_ / cells;
    cellHeight_ = stripHeight_;
  } else {
    cellWidth_ = stripWidth_;
    cellHeight_ = stripHeight_ / cells;
  }
}

void TGlyphStrip::SetNumGlyphs(int value) {
  numGlyphs_ = value;
  // The shown cell must stay inside the strip: otherwise the picture would be taken from
  // beyond its end, and the step would never wrap again.
  if (glyphNum_ >= value) glyphNum_ = 0;
  if (inactiveGlyph_ < value) {
    ReconcileInactive();
  } else {
    inactiveGlyph_ = -1;
    glyphNum_ = 0;
  }
  ComputeCellSize();
}

bool TGlyphStrip::SetGlyphNum(int value) {
  if (value == glyphNum_ || !IsCell(value)) return false;
  glyphNum_ = value;
  ReconcileInactive();
  return true;
}

bool TGlyphStrip::SetInactiveGlyph(int value, bool loading) {
  if (value < 0) value = -1;
  if (value == inactiveGlyph_) return false;
  if (value >= numGlyphs_ && !loading) return false;
  inactiveGlyph_ = value;
  ReconcileInactive();
  return true;
}

void TGlyphStrip::SetActive(bool value) {
  active_ = value;
  if (!value) ReconcileInactive();
}

void TGlyphStrip::ReconcileInactive() {
  if (!active_ && IsCell(inactiveGlyph_) && inactiveGlyph_ != glyphNum_) glyphNum_ = inactiveGlyph_;
}

bool TGlyphStrip::Step() {
  if (numGlyphs_ < 2) return false;
  auto next = [this](int cell) { return cell + 1 >= numGlyphs_ ? 0 : cell + 1; };
  glyphNum_ = next(glyphNum_);
  if (glyphNum_ == inactiveGlyph_) glyphNum_ = next(glyphNum_);
  return true;
}

int TGlyphStrip::DisplayedCell() const {
  if (!active_ && IsCell(inactiveGlyph_)) return inactiveGlyph_;
  return glyphNum_;
}

TCellRect TGlyphStrip::SourceRect() const {
  if (cellWidth_ <= 0 || cellHeight_ <= 0) return {};
  const int cell = DisplayedCell();
  TCellRect rect;
  rect.Width = cellWidth_;
  rect.Height = cellHeight_;
  if (orientation_ == goHorizontal)
    rect.Left = cellWidth_ * cell;
  else
    rect.Top = cellHeight_ * cell;
  if (cell < 0 || rect.Left + rect.Width > stripWidth_ || rect.Top + rect.Height > stripHeight_) return {};
  return rect;
}

TCellRect TGlyphStrip::DestRect(bool stretch, bool center, int clientWidth, int clientHeight) const {
  if (stretch) return TCellRect{0, 0, clientWidth, clientHeight};
  TCellRect rect{0, 0, cellWidth_, cellHeight_};
  if (center) {
    rect.Left = (clientWidth - cellWidth_) / 2;
    rect.Top = (clientHeight - cellHeight_) / 2;
  }
  return rect;
}
