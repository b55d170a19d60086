#pragma once
// The arithmetic of an animated glyph strip: a bitmap holding several equal pictures (cells)
// side by side or one above the other, of which one is shown at a time. The strip's state
// machine lives here so that it can be checked without a window: how many cells a strip
// holds, which cell is shown, how a timer step advances past the cell kept for the inactive
// state, and where the cell lands in the control.
//
// The setters answer whether the shown frame may have changed, so the control knows when to
// tell its listeners and repaint.

enum TGlyphOrientation { goHorizontal, goVertical };

// A rectangle as left, top, width and height.
struct TCellRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

class TGlyphStrip {
public:
  // The strip's pixel size; the cells are counted again from it.
  void SetStripSize(int width, int height);
  int StripWidth() const { return stripWidth_; }
  int StripHeight() const { return stripHeight_; }

  TGlyphOrientation Orientation() const { return orientation_; }
  // Stores the orientation and counts the cells again.
  void SetOrientation(TGlyphOrientation value);

  // How many cells the strip holds: 1, or as many square cells as fit exactly along the
  // strip. The shown cell goes back to the first.
  void CountCells();

  int NumGlyphs() const { return numGlyphs_; }
  // Any value is stored; cell sizes treat 0 or less as one cell. A shown cell or inactive
  // cell the new count no longer holds goes back to the first cell (or none).
  void SetNumGlyphs(int value);
  int CellWidth() const { return cellWidth_; }
  int CellHeight() const { return cellHeight_; }
  // Works the cell size out again from the strip, the count and the orientation.
  void ComputeCellSize();

  int GlyphNum() const { return glyphNum_; }
  // Ignored (false) when equal, negative or not a cell of the strip.
  bool SetGlyphNum(int value);

  // The cell shown while the animation is stopped; -1 for none.
  int InactiveGlyph() const { return inactiveGlyph_; }
  // A negative value becomes -1. Ignored (false) when equal, or when not a cell of the strip
  // unless loading (the cell count may be set after it).
  bool SetInactiveGlyph(int value, bool loading);

  bool Active() const { return active_; }
  // Stopping shows the inactive cell again.
  void SetActive(bool value);

  // While stopped, shows the inactive cell when there is a valid one.
  void ReconcileInactive();
  // One timer step: the next cell, wrapping after the last and passing over the inactive
  // cell. False (nothing changes) with fewer than two cells.
  bool Step();

  // The cell drawn: the inactive cell while stopped with a valid one, otherwise GlyphNum.
  int DisplayedCell() const;
  // The drawn cell's rectangle in the strip; empty when the cells have no area or the cell
  // would not lie wholly inside the strip.
  TCellRect SourceRect() const;
  // Where the cell goes in a client area of the given size: all of it when stretched,
  // otherwise at its own size in the middle (halves rounded toward zero) or at the origin.
  TCellRect DestRect(bool stretch, bool center, int clientWidth, int clientHeight) const;

private:
  bool IsCell(int index) const { return index >= 0 && index < numGlyphs_; }

  int stripWidth_ = 0;
  int stripHeight_ = 0;
  TGlyphOrientation orientation_ = goHorizontal;
  int numGlyphs_ = 1;
  int glyphNum_ = 0;
  int inactiveGlyph_ = -1;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  bool active_ = false;
};
