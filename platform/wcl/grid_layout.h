#pragma once
// The arithmetic of the base grid, apart from any window: column and row counts and sizes,
// the fixed rows and columns, the scroll position, where each cell lies in the client area,
// which cell a point hits, the column border a point can size, and the cell texts of the
// string grid. The window side (platform/wcl/win/grid.h) turns messages into calls on these.

#include <string>
#include <vector>

// A rectangle in client coordinates, right and bottom exclusive.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TGridRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

// A cell, or -1 on an axis that lies outside the grid.
struct TGridCoord {
  int X = -1;  // column
  int Y = -1;  // row
  bool operator==(const TGridCoord& o) const { return X == o.X && Y == o.Y; }
};

class TGridLayout {
public:
  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // Counts below 1 become 1; the fixed counts shrink to stay below them.
  void SetColCount(int value);
  void SetRowCount(int value);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  // Kept within 0..count-1.
  void SetFixedCols(int value);
  void SetFixedRows(int value);

  int DefaultColWidth() const { return defaultColWidth_; }
  int DefaultRowHeight() const { return defaultRowHeight_; }
  // Every column (row) takes the new default size.
  void SetDefaultColWidth(int value);
  void SetDefaultRowHeight(int value);
  int ColWidth(int col) const;
  int RowHeight(int row) const;
  // Sizes below 0 become 0; an index outside the counts is ignored.
  void SetColWidth(int col, int value);
  void SetRowHeight(int row, int value);
  // A column's width (a row's height) moves with it, those between shifting by one.
  void MoveColWidth(int from, int to);
  void MoveRowHeight(int from, int to);
  int GridLineWidth() const { return lineWidth_; }
  void SetGridLineWidth(int value) { lineWidth_ = value < 0 ? 0 : value; }

  // The client area the cells are laid out in.
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);

  // The first scrolled column and row shown right of and below the fixed ones.
  int LeftCol() const { return leftCol_; }
  int TopRow() const { return topRow_; }
  // Kept within FixedCols..MaxLeftCol (FixedRows..MaxTopRow). Answers true on a change.
  bool SetLeftCol(int value);
  bool SetTopRow(int value);
  // The largest left column (top row) that still fills the client area.
  int MaxLeftCol() const;
  int MaxTopRow() const;
  // Scrolls back to the first scrolled column and row.
  void ResetTopLeft();
  // Puts the scroll position back within its limits (after counts or sizes changed).
  bool ClampTopLeft();
  // Scrolls so that the cell is fully shown when it can be. Answers true on a change.
  bool ScrollInView(int col, int row);

  // Whole scrolled columns (rows) that fit, at least 1.
  int VisibleColCount() const;
  int VisibleRowCount() const;
  // The last scrolled column (row) shown at least in part.
  int LastVisibleCol() const;
  int LastVisibleRow() const;

  // Width of the fixed columns with their lines, height of the fixed rows with theirs.
  int FixedWidth() const;
  int FixedHeight() const;
  // Where a column (row) starts in the client area; -1 when it is scrolled out of view.
  int ColLeft(int col) const;
  int RowTop(int row) const;
  // The cell's rectangle without its grid lines; empty when it is not shown.
  TGridRect CellRect(int col, int row) const;
  // The cell under a point; each axis -1 when the point lies beyond the cells on it.
  TGridCoord MouseCoord(int x, int y) const;
  // The column whose right border lies within a few pixels of x, for a point over the fixed
  // rows; -1 for none.
  int SizingColAt(int x, int y) const;
  // The row whose bottom border lies within a few pixels of y, for a point over the fixed
  // columns; -1 for none.
  int SizingRowAt(int x, int y) const;

private:
  struct Axis;
  Axis Cols() const;
  Axis Rows() const;

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int lineWidth_ = 1;
  std::vector<int> colWidths_ = std::vector<int>(5, 64);
  std::vector<int> rowHeights_ = std::vector<int>(5, 24);
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int leftCol_ = 1;
  int topRow_ = 1;
};

// The texts of a string grid. Storage is independent of the grid's counts: rows and
// columns that a smaller count cuts off keep their texts and come back with a larger one.
class TGridCells {
public:
  // Empty for a cell never written.
  const std::string& Cell(int col, int row) const;
  // Negative indexes are ignored.
  void SetCell(int col, int row, const std::string& text);
  // Moves a row (column) to another place, shifting those between by one, as far as the
  // larger index.
  void MoveRow(int from, int to);
  void MoveCol(int from, int to);
  // Empties a row (column).
  void ClearRow(int row);
  void ClearCol(int col);
  // Removes a row (column), those after it moving up (left).
  void DeleteRow(int row);
  void DeleteCol(int col);
  // Puts rows first..first+order.size()-1 in a new order: row first+k takes the former row
  // order[k].
  void PermuteRows(int first, const std::vector<int>& order);
  // All rows from index row on are dropped.
  void TruncateRows(int row);
  // The texts of one row, as far as stored.
  std::vector<std::string> Row(int row) const;
  void SetRow(int row, std::vector<std::string> texts);

private:
  void EnsureRow(int row);
  std::vector<std::vector<std::string>> rows_;
};
