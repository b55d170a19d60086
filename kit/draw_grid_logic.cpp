#include "kit/draw_grid_logic.h"

#include <algorithm>

#include "platform/rtl/ansi_chars.h"

void TFixedButtonTracker::Press(TGridCoord cell) {
  tracking_ = true;
  pressed_ = true;
  cell_ = cell;
}

bool TFixedButtonTracker::Move(TGridCoord cell, bool inside) {
  if (!tracking_) return false;
  const bool pressed = inside && cell == cell_;
  if (pressed == pressed_) return false;
  pressed_ = pressed;
  return true;
}

bool TFixedButtonTracker::Release(TGridCoord cell, bool inside, int colCount, int rowCount) {
  if (!tracking_) return false;
  const TGridCoord pressedCell = cell_;
  Stop();
  if (pressedCell.X < 0 || pressedCell.Y < 0) return false;
  return inside && cell == pressedCell && cell.X < colCount && cell.Y < rowCount;
}

void TFixedButtonTracker::Stop() {
  tracking_ = false;
  pressed_ = false;
}

int PickListHeight(int count, int itemHeight) {
  return std::min(std::max(count, 0), kPickListRows) * itemHeight + 4;
}

int PickListWidth(int editorWidth, int widestItem, int count, int scrollBarWidth) {
  int width = std::max(editorWidth, widestItem);
  if (count > kPickListRows) width += scrollBarWidth;
  return width;
}

int PickListTop(int editorTop, int editorBottom, int listHeight, int screenHeight) {
  return editorBottom + listHeight > screenHeight ? editorTop - listHeight : editorBottom;
}

const std::string& TTypeAheadText::Add(char key, uint32_t tick) {
  if (tick - lastTick_ > kResetMs) text_.clear();
  lastTick_ = tick;
  std::string character(1, key);
  if (lead_ != '\0') {
    character.insert(character.begin(), lead_);
    lead_ = '\0';
  } else if (IsAnsiLeadByte(key)) {
    lead_ = key;
    return text_;
  }
  if (text_.size() + character.size() <= kMaxLength) text_ += character;
  return text_;
}

TGridEllipsisDots EllipsisDots(int buttonWidth, int stripLeft, int stripTop, int clientHeight, bool pressed) {
  TGridEllipsisDots dots;
  const int gap = std::clamp((buttonWidth - 12) / 2, 1, 3);
  const int x = stripLeft + (buttonWidth - 6 - 2 * gap) / 2 + (pressed ? 1 : 0);
  dots.X[0] = x;
  dots.X[1] = x + gap + 2;
  dots.X[2] = x + 2 * gap + 4;
  dots.Y = stripTop + (clientHeight - 2) / 2;
  return dots;
}
