#pragma once
// The rules of the sortable string grid apart from its window: how rows compare and sort,
// which style a column is sorted in, the sort keys, how a header text is shortened and
// where a cell text and the sort arrow go, the multiple row selection, and searching and
// filtering the rows. kit/win/sort_grid.h applies them to the grid.

#include <functional>
#include <string>
#include <vector>

#include "platform/wcl/grid_layout.h"

enum TSortStyle { ssAutomatic, ssNormal, ssNumeric, ssExtended, ssDateTime, ssTime };
enum TSortDirection { sdAscending, sdDescending };
enum TVertAlignment { taTopJustify, taBottomJustify, taMiddle };
enum TCellBevelStyle { cbNone, cbRaised, cbLowered };

// ---- Sorting ---------------------------------------------------------------------------

// The style a column's texts sort in: ssNumeric when every text is a number, else
// ssDateTime when every one is a date and time, else ssTime when every one is a time, else
// ssNormal (so any empty text makes it ssNormal). Conversions follow the process format
// settings.
TSortStyle DetectSortStyle(const std::vector<std::string>& texts);

// The sort keys: col first, then the comma-separated columns of secondaryIndex without col.
// Raises EConvertError for an entry that is not an integer.
std::vector<int> ParseSortKeys(int col, const std::string& secondaryIndex);

// The order in which texts sort: result[k] is the index of the text that goes to place k.
// Texts are lowered (A to Z) unless caseSensitive. ssNumeric, ssDateTime and ssTime compare
// converted values, every other style compares the bytes. Equal texts keep their order;
// texts that do not convert keep their order after all those that do, in both directions.
std::vector<int> SortedOrder(const std::vector<std::string>& texts, TSortStyle style, bool caseSensitive,
                             TSortDirection direction);

// Where the sort column goes when a column moves from one index to another.
int SortColAfterMove(int sortCol, int from, int to);
// The sort column after a column was deleted: it keeps pointing at the same column, or at
// column 0 when that was the one deleted.
int SortColAfterDelete(int sortCol, int deleted);

// ---- Painting and measuring ------------------------------------------------------------

// Measures a text with the font it is drawn in.
using TTextWidthFn = std::function<int(const std::string&)>;

// Room the header text of a column has: the width less 1, and less 11 more for the arrow
// in the sort column.
int HeaderTextRoom(int colWidth, bool sortColumn);
// A header text wider than room ends in ".." and loses characters until it fits or is 3
// characters long. Texts shorter than 2 characters stay as they are (clipped).
std::string ShortenHeaderText(const std::string& text, int room, const TTextWidthFn& width);

// Offsets of a text in its cell (alignment 0 left, 1 right, 2 centre).
int HorzTextOffset(int alignment, int cellWidth, int textWidth);
int VertTextOffset(TVertAlignment alignment, int cellHeight, int textHeight);
// The sort arrow's width: 8, or the cell width less 3 for cells narrower than 11; 0 or less
// means no arrow.
int SortArrowWidth(int cellWidth);

// A column's automatic width from its widest data text and its header text's width.
int AutoColumnWidth(int widestData, int headerWidth, bool sortColumn, int widthOfXX, int widthOfX);

// The row that type-ahead moves to: the first after current, then from row 1 up to current,
// whose first-column text starts with key (both upper-cased, a to z); -1 for none.
// firstColumn[r] is the text of row r.
int TypeAheadRow(const std::vector<std::string>& firstColumn, int currentRow, char key);
// The key as type-ahead and the key-press handlers see it: a to z upper-cased.
char UpperKey(char key);

// ---- Multiple selection ----------------------------------------------------------------

// One flag per row index; row 0 (the header) is never selected. Rows given to the routines
// below are kept within the data rows, so a pointer dragged above or below the grid
// selects up to the first or last row.
class TRowSelection {
public:
  // All rows unselected but row 1; the anchor at row 1.
  explicit TRowSelection(int rowCount = 2);

  int RowCount() const { return static_cast<int>(flags_.size()); }
  // Fits the flags to a changed row count: new rows are unselected; a smaller count
  // unselects everything.
  void Fit(int rowCount);
  bool IsSelected(int row) const;
  void Clear();
  void SetSelected(int row, bool value);
  // Selects every row from a to b, in either direction.
  void SelectRange(int a, int b);
  std::vector<int> SelectedRows() const;

  int Anchor() const { return anchor_; }
  int MouseDownRow() const { return mouseDownRow_; }

  // A left press on a row: plain (only the left button) selects that row alone and makes it
  // the anchor; with Ctrl it toggles the row (a newly selected row becomes the anchor).
  void MouseDown(int row, bool plainLeft, bool ctrlLeft);
  // The release on a row: a drag selects from the pressed row to it; with exactly Shift the
  // selection becomes the anchor's row to it.
  void MouseUp(int row, bool shiftOnly);
  // A navigation key before the cursor moves: without Shift it clears the selection.
  void NavigationKeyDown(bool shiftHeld);
  // After the cursor moved to newRow: with exactly Shift, the anchor's row to the new row.
  void NavigationMoved(int newRow, bool shiftOnly);
  // The key was released with no Shift held: the current row alone, and the anchor there.
  void NavigationKeyUp(int currentRow);

private:
  int ClampRow(int row) const;

  std::vector<bool> flags_;
  int anchor_ = 1;
  int mouseDownRow_ = -1;
};

// Home, End, Page Up, Page Down and the arrows (virtual-key codes 0x21 to 0x28).
bool IsNavigationKey(unsigned key);

// ---- Search and filter -----------------------------------------------------------------

struct TSearchSpec {
  std::string Text;
  bool CaseSensitive = false;
  int SearchCol = -1;  // -1: every column
};

// True when cell contains the text as whole characters (an empty text is in every cell).
bool CellContains(const std::string& cell, const TSearchSpec& spec);
// The first cell that contains the text, scanning from startRow (at least 1) to the last
// row, and in each row the search column or every column from 0. {-1, -1} for none.
TGridCoord FindCell(const TGridCells& cells, int colCount, int rowCount, const TSearchSpec& spec, int startRow);
// True when some tested column of the row contains the text.
bool RowMatches(const TGridCells& cells, int colCount, int row, const TSearchSpec& spec);

// The rows a filter hides, kept apart from the grid's rows so that inserting or deleting
// rows while filtered cannot reach them.
class TRowFilter {
public:
  bool Active() const { return active_; }
  int HiddenRowCount() const { return static_cast<int>(hidden_.size()); }
  // True while active with at least one matching row.
  bool Matched() const { return active_ && matched_; }
  // Keeps rows 1..rowCount-1 that match (in their order) and hides the others; answers the
  // new row count. With no match one empty row stays below the header. An active filter is
  // first restored, so the full set of rows is filtered.
  int Apply(TGridCells& cells, int colCount, int rowCount, const TSearchSpec& spec);
  // Brings the hidden rows back after the shown ones (the empty row of a filter without
  // matches goes, wherever it stands then); answers the new row count.
  int Restore(TGridCells& cells, int rowCount);
  // Forgets the hidden rows (the grid was cleared).
  void Drop();

  // The row the empty row of a filter without matches stands in; 0 when none shows. Rows
  // inserted, moved, sorted or deleted while it shows are reported below, so that switching
  // the filter off removes that row and not one the user made.
  int EmptyRow() const { return emptyRow_; }
  // A row moved from one index to another, those between shifting by one.
  void RowMoved(int from, int to);
  // Rows first.. were put in a new order: row first+k took the former row order[k].
  void RowsPermuted(int first, const std::vector<int>& order);
  // The grid has rowCount rows now; rows from there on are gone.
  void RowCountChanged(int rowCount);

private:
  std::vector<std::vector<std::string>> hidden_;
  bool active_ = false;
  bool matched_ = false;
  int emptyRow_ = 0;
};
