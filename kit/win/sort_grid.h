#pragma once
// TSortGrid: a string grid with one header row whose rows sort by a click on a column
// header (again for the other direction), with secondary sort columns, numeric, date and
// time columns found on their own, a sort arrow in the header, a format event per cell,
// header texts shortened with "..", Ctrl-key row and column insert and delete, type-ahead
// on the first column, automatic column widths, a multiple row selection, and search and
// filter by a text. The rules themselves are in kit/sort_grid_logic.h.

#include "platform/wcl/win/grid.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/sort_grid_logic.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/std_controls.h"

class TSortGrid;

class TSortOptions : public TPersistent {
  HL_REFLECTABLE
public:
  TSortStyle SortStyle() const { return sortStyle_; }
  void SetSortStyle(TSortStyle value) { sortStyle_ = value; }
  bool SortCaseSensitive() const { return caseSensitive_; }
  void SetSortCaseSensitive(bool value) { caseSensitive_ = value; }
  // The column sorted last; set by sorting.
  int SortCol() const { return sortCol_; }
  TSortDirection SortDirection() const { return direction_; }
  void SetSortDirection(TSortDirection value) { direction_ = value; }
  void Assign(TPersistent* source) override;

private:
  friend class TSortGrid;
  TSortStyle sortStyle_ = ssExtended;
  bool caseSensitive_ = false;
  int sortCol_ = 0;
  TSortDirection direction_ = sdAscending;
};

// Values a form may set for printing; the grid itself does not print.
class TPrintOptions : public TPersistent {
  HL_REFLECTABLE
public:
  const std::string& JobTitle() const { return jobTitle_; }
  void SetJobTitle(const std::string& value) { jobTitle_ = value; }
  const std::string& PageTitle() const { return pageTitle_; }
  void SetPageTitle(const std::string& value) { pageTitle_ = value; }
  unsigned Copies() const { return copies_; }
  void SetCopies(unsigned value) { copies_ = value; }
  unsigned FromRow() const { return fromRow_; }
  void SetFromRow(unsigned value) { fromRow_ = value; }
  unsigned ToRow() const { return toRow_; }
  void SetToRow(unsigned value) { toRow_ = value; }
  unsigned PreviewPage() const { return previewPage_; }
  void SetPreviewPage(unsigned value) { previewPage_ = value; }
  void Assign(TPersistent* source) override;

private:
  std::string jobTitle_;
  std::string pageTitle_;
  unsigned copies_ = 0;
  unsigned fromRow_ = 0;
  unsigned toRow_ = 0;
  unsigned previewPage_ = 0;
};

class TSearchOptions : public TPersistent {
  HL_REFLECTABLE
public:
  explicit TSearchOptions(TSortGrid* grid = nullptr) : grid_(grid) {}

  // Switching the filter on shows only the rows that hold SearchText; off brings the
  // others back. Either way the grid is sorted again.
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value);
  // The column searched, or -1 for every column.
  int SearchCol() const { return spec_.SearchCol; }
  void SetSearchCol(int value) { spec_.SearchCol = value; }
  bool CaseSensitive() const { return spec_.CaseSensitive; }
  void SetCaseSensitive(bool value) { spec_.CaseSensitive = value; }
  const std::string& SearchText() const { return spec_.Text; }
  void SetSearchText(const std::string& value) { spec_.Text = value; }
  const TSearchSpec& Spec() const { return spec_; }
  void Assign(TPersistent* source) override;

private:
  TSortGrid* grid_;
  bool filtered_ = false;
  TSearchSpec spec_;
};

// How one cell is painted; the format event may change any of it.
struct TFormatOptions {
  TBrush* Brush = nullptr;  // the canvas's own brush
  TFont* Font = nullptr;    // the canvas's own font
  TAlignment AlignmentHorz = taLeftJustify;
  TVertAlignment AlignmentVert = taTopJustify;
  TCellBevelStyle Bevel = cbNone;
  TColor HighlightColor = clWindow;  // upper-left edge
  TColor ShadowColor = clWindow;     // lower-right edge
  bool HideText = false;
};

using TFormatDrawCellEvent =
    std::function<void(TObject* Sender, int Col, int Row, TGridDrawState State, TFormatOptions& FormatOptions)>;
using TUpdateGridEvent = std::function<void(TObject* Sender, int Index)>;
using TSizeChangedEvent = std::function<void(TObject* Sender, int OldColCount, int OldRowCount)>;
using TBeginSortEvent = std::function<void(TObject* Sender, int Col)>;
using TEndSortEvent = std::function<void(TObject* Sender, int Col)>;

class TSortGrid : public TStringGrid {
  HL_REFLECTABLE
public:
  explicit TSortGrid(TComponent* owner);
  ~TSortGrid() override;

  TSearchOptions* SearchOptions() const { return searchOptions_.get(); }
  void SetSearchOptions(TSearchOptions* value) { searchOptions_->Assign(value); }
  TSortOptions* SortOptions() const { return sortOptions_.get(); }
  void SetSortOptions(TSortOptions* value) { sortOptions_->Assign(value); }
  TPrintOptions* PrintOptions() const { return printOptions_.get(); }

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value) { multiSelect_ = value; }
  TAlignment AlignmentHorz() const { return alignmentHorz_; }
  void SetAlignmentHorz(TAlignment value);
  TVertAlignment AlignmentVert() const { return alignmentVert_; }
  void SetAlignmentVert(TVertAlignment value);
  TCellBevelStyle BevelStyle() const { return bevelStyle_; }
  void SetBevelStyle(TCellBevelStyle value);
  bool ProportionalScrollBars() const { return proportionalScrollBars_; }
  void SetProportionalScrollBars(bool value);
  bool ExtendedKeys() const { return extendedKeys_; }
  void SetExtendedKeys(bool value) { extendedKeys_ = value; }
  bool UpdateOnSizeChange() const { return updateOnSizeChange_; }
  void SetUpdateOnSizeChange(bool value) { updateOnSizeChange_ = value; }
  // Comma-separated columns that order rows equal in the sorted column.
  const std::string& SecondaryIndex() const { return secondaryIndex_; }
  void SetSecondaryIndex(const std::string& value) { secondaryIndex_ = value; }

  // Set when an edit changed a cell's text; cleared by ClearRows or the application.
  bool Modified = false;

  // The row is selected in the multiple selection (the header never is).
  bool RowSelected(int row) const { return selection_.IsSelected(row); }
  std::vector<int> SelectedRows() const { return selection_.SelectedRows(); }
  void ClearSelection();
  // Rows the filter hides now.
  int HiddenRowCount() const { return filter_.HiddenRowCount(); }

  virtual TSortStyle DetectSortStyle(int col);
  // Called after size, width, height and scroll-bar changes, for descendants.
  virtual void LayoutChanged() {}
  virtual void SortByColumn(int col);
  virtual void ClearRows();
  virtual void BeginUpdate();
  virtual void EndUpdate();
  // Makes the cell current (kept within the data cells) and scrolls it into view.
  virtual void MoveToCell(int col, int row);
  virtual void InsertRow(int row);
  virtual void InsertColumn(int col);
  virtual void DeleteRow(int row);
  virtual void DeleteColumn(int col);
  virtual void MoveRow(int from, int to);
  virtual void MoveColumn(int from, int to);
  virtual void SwapRows(int a, int b);
  virtual void SwapColumns(int a, int b);
  virtual void AutoSizeColumn(int col);
  virtual void AutoSizeColumns();
  // Searches (filter off) or filters (filter on) by the search options from a row on;
  // true when something matched.
  bool ApplyFilter(int startRow);

  TFormatDrawCellEvent OnGetCellFormat;
  TUpdateGridEvent OnRowInsert;
  TUpdateGridEvent OnRowDelete;
  TUpdateGridEvent OnColumnInsert;
  TUpdateGridEvent OnColumnDelete;
  TNotifyEvent OnColumnWidthsChanged;
  TNotifyEvent OnRowHeightsChanged;
  TSizeChangedEvent OnSizeChanged;
  TBeginSortEvent OnBeginSort;
  TEndSortEvent OnEndSort;

protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void ColumnMoved(int from, int to) override;
  void RowMoved(int from, int to) override;
  void ColWidthsChanged() override;
  void RowHeightsChanged() override;
  void SizeChanged(int oldColCount, int oldRowCount) override;
  void SetEditText(int col, int row, const std::string& value) override;
  void Resize() override;

private:
  friend class TSearchOptions;
  class UpdateScope;
  void FilterChanged(bool on);
  TFormatOptions DefaultFormat(TCanvas* canvas) const;
  void PaintSortArrow(const RECT& rect);
  void PaintBevel(const RECT& rect, const TFormatOptions& format);
  // The cell under a point, rows below the last counting as the last.
  TGridCoord PointerCell(int x, int y);
  void FitSelection() { selection_.Fit(RowCount()); }
  void MakeArrows();

  std::unique_ptr<TBitmap> upArrow_;
  std::unique_ptr<TBitmap> downArrow_;
  int mouseDownLeftCol_ = 0;
  std::unique_ptr<TSearchOptions> searchOptions_;
  std::unique_ptr<TSortOptions> sortOptions_;
  std::unique_ptr<TPrintOptions> printOptions_;
  int mouseDownCol_ = -1;
  bool multiSelect_ = false;
  TRowSelection selection_;
  bool updateOnSizeChange_ = false;
  bool savedUpdateOnSizeChange_ = false;
  std::string secondaryIndex_;
  TAlignment alignmentHorz_ = taLeftJustify;
  TVertAlignment alignmentVert_ = taTopJustify;
  TCellBevelStyle bevelStyle_ = cbNone;
  bool proportionalScrollBars_ = true;
  bool extendedKeys_ = false;
  bool restructuring_ = false;
  bool redrawLocked_ = false;
  TRowFilter filter_;
};

// Searches or filters grid by its search options from startRow on.
inline bool ApplyFilter(TSortGrid* grid, int startRow) { return grid->ApplyFilter(startRow); }
