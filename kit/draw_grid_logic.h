#pragma once
// The rules of the kit's draw grid apart from its window: fixed cells that act as push
// buttons, and the geometry and type-ahead of the in-place editor's button and pick list.
// kit/win/kit_draw_grid.h applies them.

#include <cstdint>
#include <string>

#include "platform/wcl/grid_layout.h"

// A fixed cell pressed like a button: the press captures the mouse, the pressed look follows
// the pointer (on the pressed cell and inside the grid), and a release on the same cell is a
// click.
class TFixedButtonTracker {
public:
  bool Tracking() const { return tracking_; }
  bool Pressed() const { return pressed_; }
  TGridCoord PressedCell() const { return cell_; }

  // Starts tracking a press on cell.
  void Press(TGridCoord cell);
  // The pointer is over cell (inside says whether it is inside the client area). Answers
  // true when the pressed look changed.
  bool Move(TGridCoord cell, bool inside);
  // The button came up over cell: tracking ends. Answers true when that is a click of the
  // pressed cell (released on it, inside the client area and within the grid's counts).
  bool Release(TGridCoord cell, bool inside, int colCount, int rowCount);
  // Tracking ends without a click (cancel mode, scrolling, sizing).
  void Stop();

private:
  bool tracking_ = false;
  bool pressed_ = false;
  TGridCoord cell_;
};

// ---- Pick list -------------------------------------------------------------------------

// Rows a drop-down list shows at most.
constexpr int kPickListRows = 8;

// The list's height for count items of itemHeight (at most 8 rows), with its border.
int PickListHeight(int count, int itemHeight);
// The list's client width: the editor's width, or the widest item when wider, plus the
// scroll bar's width when there are more items than rows.
int PickListWidth(int editorWidth, int widestItem, int count, int scrollBarWidth);
// The list's top on the screen: below the editor, or above it when it would pass the
// screen's bottom.
int PickListTop(int editorTop, int editorBottom, int listHeight, int screenHeight);

// The text typed into an open list to find an item: at most 32 bytes, started afresh when
// more than 4 seconds passed since the last key. A double-byte character comes as two keys
// (lead byte, then trail byte) and is added whole or not at all.
class TTypeAheadText {
public:
  static constexpr size_t kMaxLength = 32;
  static constexpr uint32_t kResetMs = 4000;

  // Adds a printable character typed at tick (milliseconds); answers the text to look for.
  const std::string& Add(char key, uint32_t tick);
  void Clear() {
    text_.clear();
    lead_ = '\0';
  }
  const std::string& Text() const { return text_; }

private:
  std::string text_;
  char lead_ = '\0';  // the lead byte waiting for its trail byte
  uint32_t lastTick_ = 0;
};

// ---- Ellipsis button -------------------------------------------------------------------

// The three 2 by 2 dots of an ellipsis button: their left edges and top.
struct TGridEllipsisDots {
  int X[3] = {0, 0, 0};
  int Y = 0;
};
TGridEllipsisDots EllipsisDots(int buttonWidth, int stripLeft, int stripTop, int clientHeight, bool pressed);
