#include "platform/wcl/grid_layout.h"

#include <algorithm>
#include <cstdlib>

namespace {

// How far from a column border (in pixels, either side) a press starts sizing it.
constexpr int kSizingMargin = 2;

// Moves items[from] to index to, those between shifting by one; both within the items.
template <class T>
void MoveItem(std::vector<T>& items, int from, int to) {
  const int count = static_cast<int>(items.size());
  if (from < 0 || to < 0 || from >= count || to >= count || from == to) return;
  const auto first = items.begin();
  if (from < to)
    std::rotate(first + from, first + from + 1, first + to + 1);
  else
    std::rotate(first + to, first + from, first + from + 1);
}

}  // namespace

// One direction of the grid: columns across or rows down. Each cell takes its size and
// the grid line after it.
struct TGridLayout::Axis {
  const std::vector<int>& sizes;
  int fixed;
  int first;  // the first scrolled index shown
  int client;
  int line;

  int Count() const { return static_cast<int>(sizes.size()); }
  int Size(int i) const { return i >= 0 && i < Count() ? sizes[static_cast<size_t>(i)] : 0; }

  int FixedExtent() const {
    int extent = 0;
    for (int i = 0; i < fixed; ++i) extent += Size(i) + line;
    return extent;
  }
  // The room for whole scrolled cells: a cell is whole when the cell itself is shown, the
  // grid line after the last one may fall outside (else a band where it fits stays blank).
  int Room() const { return client - FixedExtent() + line; }
  // The first index, counting back from last, from which the cells up to last still fit
  // into the scrolled area (at least last itself).
  int FirstFitting(int last) const {
    const int room = Room();
    int index = last;
    int used = Size(last) + line;
    while (index - 1 >= fixed && used + Size(index - 1) + line <= room) {
      --index;
      used += Size(index) + line;
    }
    return index;
  }
  int MaxFirst() const { return fixed >= Count() ? fixed : std::max(fixed, FirstFitting(Count() - 1)); }
  // Whole scrolled cells shown, at least 1.
  int Visible() const {
    int room = Room();
    int count = 0;
    for (int i = first; i < Count(); ++i) {
      room -= Size(i) + line;
      if (room < 0) break;
      ++count;
    }
    return std::max(1, count);
  }
  int LastVisible() const {
    int pos = FixedExtent();
    int last = first;
    for (int i = first; i < Count() && pos < client; ++i) {
      last = i;
      pos += Size(i) + line;
    }
    return std::min(last, Count() - 1);
  }
  // Where a cell starts, or -1 when it is scrolled out of view.
  int Start(int index) const {
    if (index < 0 || index >= Count()) return -1;
    int pos = 0;
    if (index < fixed) {
      for (int i = 0; i < index; ++i) pos += Size(i) + line;
      return pos;
    }
    if (index < first) return -1;
    // Sizes are never negative: once past the client area, every later cell is too. The
    // walk stops there, so a cell far down a long grid costs no more than one in view.
    pos = FixedExtent();
    for (int i = first; i < index && pos < client; ++i) pos += Size(i) + line;
    return pos < client ? pos : -1;
  }
  // The cells that can be in view: the fixed ones and the scrolled ones from first on
  // until one starts past the client area. Calls visit(index, start) for each in view.
  template <class Visit>
  void ForEachShown(Visit visit) const {
    for (int i = 0; i < std::min(fixed, Count()); ++i) visit(i, Start(i));
    int pos = FixedExtent();
    for (int i = first; i < Count() && pos < client; ++i) {
      if (i >= fixed) visit(i, pos);
      pos += Size(i) + line;
    }
  }
  // The cell a position falls in (its line included), or -1.
  int Hit(int pos) const {
    if (pos < 0) return -1;
    int hit = -1;
    ForEachShown([&](int i, int start) {
      if (hit < 0 && pos >= start && pos < start + Size(i) + line) hit = i;
    });
    return hit;
  }
  // The cell whose far border lies within the sizing margin of pos, or -1.
  int BorderNear(int pos) const {
    int best = -1;
    int bestDistance = kSizingMargin + 1;
    ForEachShown([&](int i, int start) {
      const int distance = std::abs(pos - (start + Size(i)));
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    });
    return best;
  }
  // The first scrolled index that shows index fully, or first when it shows already.
  int FirstShowing(int index) const {
    if (index < fixed || index >= Count()) return first;
    if (index < first) return index;
    if (index > first + Visible() - 1) return FirstFitting(index);
    return first;
  }
};

TGridLayout::Axis TGridLayout::Cols() const {
  return Axis{colWidths_, fixedCols_, leftCol_, clientWidth_, lineWidth_};
}

TGridLayout::Axis TGridLayout::Rows() const {
  return Axis{rowHeights_, fixedRows_, topRow_, clientHeight_, lineWidth_};
}

void TGridLayout::SetColCount(int value) {
  colCount_ = std::max(1, value);
  colWidths_.resize(static_cast<size_t>(colCount_), defaultColWidth_);
  if (fixedCols_ > colCount_ - 1) fixedCols_ = colCount_ - 1;
  ClampTopLeft();
}

void TGridLayout::SetRowCount(int value) {
  rowCount_ = std::max(1, value);
  rowHeights_.resize(static_cast<size_t>(rowCount_), defaultRowHeight_);
  if (fixedRows_ > rowCount_ - 1) fixedRows_ = rowCount_ - 1;
  ClampTopLeft();
}

void TGridLayout::SetFixedCols(int value) {
  fixedCols_ = std::clamp(value, 0, colCount_ - 1);
  ClampTopLeft();
}

void TGridLayout::SetFixedRows(int value) {
  fixedRows_ = std::clamp(value, 0, rowCount_ - 1);
  ClampTopLeft();
}

void TGridLayout::SetDefaultColWidth(int value) {
  defaultColWidth_ = std::max(0, value);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  ClampTopLeft();
}

void TGridLayout::SetDefaultRowHeight(int value) {
  defaultRowHeight_ = std::max(0, value);
  std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
  ClampTopLeft();
}

int TGridLayout::ColWidth(int col) const { return Cols().Size(col); }
int TGridLayout::RowHeight(int row) const { return Rows().Size(row); }

void TGridLayout::SetColWidth(int col, int value) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<size_t>(col)] = std::max(0, value);
  ClampTopLeft();
}

void TGridLayout::SetRowHeight(int row, int value) {
  if (row < 0 || row >= rowCount_) return;
  rowHeights_[static_cast<size_t>(row)] = std::max(0, value);
  ClampTopLeft();
}

void TGridLayout::MoveColWidth(int from, int to) { MoveItem(colWidths_, from, to); }
void TGridLayout::MoveRowHeight(int from, int to) { MoveItem(rowHeights_, from, to); }

void TGridLayout::SetClientSize(int width, int height) {
  clientWidth_ = std::max(0, width);
  clientHeight_ = std::max(0, height);
  ClampTopLeft();
}

int TGridLayout::FixedWidth() const { return Cols().FixedExtent(); }
int TGridLayout::FixedHeight() const { return Rows().FixedExtent(); }
int TGridLayout::MaxLeftCol() const { return Cols().MaxFirst(); }
int TGridLayout::MaxTopRow() const { return Rows().MaxFirst(); }

bool TGridLayout::SetLeftCol(int value) {
  const int clamped = std::clamp(value, fixedCols_, MaxLeftCol());
  if (clamped == leftCol_) return false;
  leftCol_ = clamped;
  return true;
}

bool TGridLayout::SetTopRow(int value) {
  const int clamped = std::clamp(value, fixedRows_, MaxTopRow());
  if (clamped == topRow_) return false;
  topRow_ = clamped;
  return true;
}

void TGridLayout::ResetTopLeft() {
  leftCol_ = fixedCols_;
  topRow_ = fixedRows_;
  ClampTopLeft();
}

bool TGridLayout::ClampTopLeft() {
  const bool cols = SetLeftCol(leftCol_);
  const bool rows = SetTopRow(topRow_);
  return cols || rows;
}

bool TGridLayout::ScrollInView(int col, int row) {
  const bool cols = SetLeftCol(Cols().FirstShowing(col));
  const bool rows = SetTopRow(Rows().FirstShowing(row));
  return cols || rows;
}

int TGridLayout::VisibleColCount() const { return Cols().Visible(); }
int TGridLayout::VisibleRowCount() const { return Rows().Visible(); }
int TGridLayout::LastVisibleCol() const { return Cols().LastVisible(); }
int TGridLayout::LastVisibleRow() const { return Rows().LastVisible(); }
int TGridLayout::ColLeft(int col) const { return Cols().Start(col); }
int TGridLayout::RowTop(int row) const { return Rows().Start(row); }

TGridRect TGridLayout::CellRect(int col, int row) const {
  const int left = ColLeft(col);
  const int top = RowTop(row);
  if (left < 0 || top < 0) return {};
  return {left, top, left + ColWidth(col), top + RowHeight(row)};
}

TGridCoord TGridLayout::MouseCoord(int x, int y) const { return {Cols().Hit(x), Rows().Hit(y)}; }

int TGridLayout::SizingColAt(int x, int y) const {
  return y >= 0 && y < FixedHeight() ? Cols().BorderNear(x) : -1;
}

int TGridLayout::SizingRowAt(int x, int y) const {
  return x >= 0 && x < FixedWidth() ? Rows().BorderNear(y) : -1;
}

// ---- Cell texts ------------------------------------------------------------------------

const std::string& TGridCells::Cell(int col, int row) const {
  static const std::string empty;
  if (row < 0 || col < 0 || static_cast<size_t>(row) >= rows_.size()) return empty;
  const auto& texts = rows_[static_cast<size_t>(row)];
  return static_cast<size_t>(col) < texts.size() ? texts[static_cast<size_t>(col)] : empty;
}

void TGridCells::EnsureRow(int row) {
  if (static_cast<size_t>(row) >= rows_.size()) rows_.resize(static_cast<size_t>(row) + 1);
}

void TGridCells::SetCell(int col, int row, const std::string& text) {
  if (row < 0 || col < 0) return;
  if (text.empty() && Cell(col, row).empty()) return;
  EnsureRow(row);
  auto& texts = rows_[static_cast<size_t>(row)];
  if (static_cast<size_t>(col) >= texts.size()) texts.resize(static_cast<size_t>(col) + 1);
  texts[static_cast<size_t>(col)] = text;
}

void TGridCells::MoveRow(int from, int to) {
  if (from < 0 || to < 0 || from == to) return;
  EnsureRow(std::max(from, to));
  MoveItem(rows_, from, to);
}

void TGridCells::MoveCol(int from, int to) {
  if (from < 0 || to < 0 || from == to) return;
  const size_t needed = static_cast<size_t>(std::max(from, to)) + 1;
  for (auto& texts : rows_) {
    if (texts.size() < needed) texts.resize(needed);
    MoveItem(texts, from, to);
  }
}

void TGridCells::ClearRow(int row) {
  if (row >= 0 && static_cast<size_t>(row) < rows_.size()) rows_[static_cast<size_t>(row)].clear();
}

void TGridCells::ClearCol(int col) {
  for (auto& texts : rows_)
    if (col >= 0 && static_cast<size_t>(col) < texts.size()) texts[static_cast<size_t>(col)].clear();
}

void TGridCells::DeleteRow(int row) {
  if (row >= 0 && static_cast<size_t>(row) < rows_.size()) rows_.erase(rows_.begin() + row);
}

void TGridCells::DeleteCol(int col) {
  for (auto& texts : rows_)
    if (col >= 0 && static_cast<size_t>(col) < texts.size()) texts.erase(texts.begin() + col);
}

void TGridCells::PermuteRows(int first, const std::vector<int>& order) {
  if (first < 0 || order.empty()) return;
  EnsureRow(first + static_cast<int>(order.size()) - 1);
  std::vector<std::vector<std::string>> moved;
  moved.reserve(order.size());
  for (int former : order) moved.push_back(Row(former));
  for (size_t k = 0; k < moved.size(); ++k) rows_[static_cast<size_t>(first) + k] = std::move(moved[k]);
}

void TGridCells::TruncateRows(int row) {
  if (row >= 0 && static_cast<size_t>(row) < rows_.size()) rows_.resize(static_cast<size_t>(row));
}

std::vector<std::string> TGridCells::Row(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return {};
  return rows_[static_cast<size_t>(row)];
}

void TGridCells::SetRow(int row, std::vector<std::string> texts) {
  if (row < 0) return;
  EnsureRow(row);
  rows_[static_cast<size_t>(row)] = std::move(texts);
}
