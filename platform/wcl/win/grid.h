#pragma once
// The base grid of the window class library: a plain window that paints rows and columns
// of cells itself, with fixed rows and columns, sizable columns, scrolling, a current cell
// and selection moved by keys and mouse, owner drawing and an in-place editor.
// TDrawGrid leaves every cell to its OnDrawCell; TStringGrid keeps a text per cell.
//
// The geometry (sizes, scroll position, cell rectangles, hit tests) and the cell texts are
// portable: platform/wcl/grid_layout.h.

#include "platform/wcl/win/handles.h"

#include <functional>
#include <memory>
#include <string>

#include "platform/wcl/grid_layout.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"

class TCustomGrid;

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking,
};
// A mask of 1 << TGridOption.
using TGridOptions = unsigned;
constexpr TGridOptions GridOpt(TGridOption option) { return 1u << option; }

enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

// What a press of the mouse started.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// The selected range of cells (inclusive).
struct TGridSelection {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const RECT& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

// The edit window the grid shows over its current cell.
class TInplaceEdit : public TCustomEdit {
public:
  explicit TInplaceEdit(TCustomGrid* grid);
  std::string ClassName() const override { return "TInplaceEdit"; }

  TCustomGrid* Grid() const { return grid_; }
  // Loads the current cell's text without reporting a change.
  virtual void UpdateContents();
  // The cell the editor was placed on last.
  int EditCol() const { return col_; }
  int EditRow() const { return row_; }

  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;
  void Change() override;
  // Places the editor over the cell's rectangle and shows it.
  virtual void Place(const RECT& cell);
  // The text's place inside the edit (the edit's formatting rectangle), after sizing.
  virtual void BoundsChanged();

private:
  friend class TCustomGrid;
  TCustomGrid* grid_;
  int col_ = -1;
  int row_ = -1;
  bool loading_ = false;
};

class TCustomGrid : public TCustomControl {
  HL_REFLECTABLE
public:
  explicit TCustomGrid(TComponent* owner);
  ~TCustomGrid() override;

  int ColCount() const { return layout_.ColCount(); }
  void SetColCount(int value);
  int RowCount() const { return layout_.RowCount(); }
  void SetRowCount(int value);
  int FixedCols() const { return layout_.FixedCols(); }
  void SetFixedCols(int value);
  int FixedRows() const { return layout_.FixedRows(); }
  void SetFixedRows(int value);
  int DefaultColWidth() const { return layout_.DefaultColWidth(); }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return layout_.DefaultRowHeight(); }
  void SetDefaultRowHeight(int value);
  int ColWidths(int col) const { return layout_.ColWidth(col); }
  void SetColWidths(int col, int value);
  int RowHeights(int row) const { return layout_.RowHeight(row); }
  void SetRowHeights(int row, int value);
  int GridLineWidth() const { return layout_.GridLineWidth(); }
  void SetGridLineWidth(int value);

  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions value);
  bool HasOption(TGridOption option) const { return (options_ & GridOpt(option)) != 0; }

  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool value);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);

  // The current cell; setting it goes through SelectCell and shows the cell.
  int Col() const { return col_; }
  void SetCol(int value) { FocusCell(value, row_, true); }
  int Row() const { return row_; }
  void SetRow(int value) { FocusCell(col_, value, true); }
  TGridSelection Selection() const;
  int TopRow() const { return layout_.TopRow(); }
  void SetTopRow(int value);
  int LeftCol() const { return layout_.LeftCol(); }
  void SetLeftCol(int value);
  int VisibleColCount();
  int VisibleRowCount();
  int LastVisibleCol();

  // The cell's client rectangle (without its grid lines); empty when it is not shown.
  RECT CellRect(int col, int row);
  // The cell under a client point; an axis beyond the cells gives -1.
  TGridCoord MouseCoord(int x, int y);
  TGridState GridState() const { return gridState_; }

  bool EditorMode() const;
  void SetEditorMode(bool value);
  void ShowEditor();
  void HideEditor();
  TInplaceEdit* InplaceEditor() const { return editor_; }

  void InvalidateCell(int col, int row);
  void InvalidateRow(int row);
  void InvalidateCol(int col);
  // True while the grid or its editor has the focus.
  bool GridFocused() const;

  void WndProc(TMessage& msg) override;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;

protected:
  // Draws one cell; the base fires nothing (TDrawGrid fires OnDrawCell).
  virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {}
  // May the cell become current? The base asks OnSelectCell.
  virtual bool SelectCell(int col, int row);
  virtual void SizeChanged(int oldColCount, int oldRowCount) {}
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void TopLeftChanged();
  // Column widths and row heights scale with the grid.
  void ChangeScale(int m, int d) override;
  // Called after the cells of a column (row) moved.
  virtual void ColumnMoved(int from, int to) {}
  virtual void RowMoved(int from, int to) {}

  // The in-place editor.
  virtual bool CanEditShow();
  virtual bool CanEditAcceptKey(char key) { return true; }
  virtual bool CanEditModify() { return true; }
  virtual std::string GetEditText(int col, int row) { return ""; }
  virtual void SetEditText(int col, int row, const std::string& value) {}
  virtual int GetEditLimit() { return 0; }
  virtual std::unique_ptr<TInplaceEdit> CreateEditor();
  // The user changed the editor's text: the base writes it into the cell at once.
  virtual void EditorChanged();
  // Writes the editor's text into the cell it edits.
  void UpdateText();
  // Loads the editor again from its cell after the cells changed under it.
  void RefreshEditor();
  // The key acts on the grid at all (not taken by a key the grid does not know).
  virtual bool CanGridAcceptKey(WORD key, TShiftState shift) { return true; }

  // Rows and columns, moved or deleted with their sizes.
  void MoveColumn(int from, int to);
  void MoveRow(int from, int to);
  void DeleteColumn(int col);
  void DeleteRow(int row);

  // Moves the current cell (kept within the scrolled cells) when SelectCell agrees; with
  // moveAnchor the range anchor comes along. The cell is scrolled into view.
  void FocusCell(int col, int row, bool moveAnchor);

  void Paint() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;
  void Resize() override;

  // Sets DefaultDrawing without repainting (while painting).
  void StoreDefaultDrawing(bool value) { defaultDrawing_ = value; }
  // Cell geometry with the client size of now.
  TGridLayout& Layout();
  static RECT ToRect(const TGridRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

private:
  friend class TInplaceEdit;
  void InitializeTopLeft();
  void UpdateScrollBars();
  void HandleScroll(int bar, int code);
  void ScrollChanged();
  void UpdateEditor();
  void PaintCells();
  void PaintLines(HDC dc);
  void PaintMoveMark(HDC dc);
  void InvalidateSelection();
  void EndSizing(TGridState state);

  TGridLayout layout_;
  TGridOptions options_;
  bool defaultDrawing_ = true;
  TColor fixedColor_ = clBtnFace;
  TScrollStyle scrollBars_ = ssBoth;
  TFormBorderStyle borderStyle_ = bsSingle;
  int col_ = 1;
  int row_ = 1;
  int anchorCol_ = 1;
  int anchorRow_ = 1;
  TGridState gridState_ = gsNormal;
  int sizingIndex_ = -1;
  int sizingStart_ = 0;
  int sizingWidth_ = 0;
  int moveTo_ = -1;  // where a dragged column or row lands; sizingIndex_ is where it was
  std::unique_ptr<TInplaceEdit> editorOwned_;
  TInplaceEdit* editor_ = nullptr;
  bool editorShown_ = false;
  bool updatingScroll_ = false;
};

using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

// A grid whose owner draws the cells and, for editing, gives and takes their texts.
class TDrawGrid : public TCustomGrid {
  HL_REFLECTABLE
public:
  explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}

  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;

protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  std::string GetEditText(int col, int row) override;
  void SetEditText(int col, int row, const std::string& value) override;
};

class TStringGrid : public TDrawGrid {
  HL_REFLECTABLE
public:
  explicit TStringGrid(TComponent* owner) : TDrawGrid(owner) {}

  const std::string& Cells(int col, int row) const { return cells_.Cell(col, row); }
  void SetCells(int col, int row, const std::string& value);

protected:
  // With DefaultDrawing the text at (2, 2) inside the cell, then OnDrawCell.
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  std::string GetEditText(int col, int row) override { return Cells(col, row); }
  void SetEditText(int col, int row, const std::string& value) override;
  void ColumnMoved(int from, int to) override;
  void RowMoved(int from, int to) override;
  TGridCells& CellStore() { return cells_; }
  const TGridCells& CellStore() const { return cells_; }

private:
  TGridCells cells_;
};
