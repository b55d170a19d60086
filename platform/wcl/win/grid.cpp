#include "platform/wcl/win/grid.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/messages.h"

namespace {

const EnumInfo ScrollStyleEnum{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const EnumInfo GridOptionEnum{"TGridOption",
                              {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
                               "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
                               "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"}};

constexpr TGridOptions kDefaultOptions = GridOpt(goFixedVertLine) | GridOpt(goFixedHorzLine) | GridOpt(goVertLine) |
                                         GridOpt(goHorzLine) | GridOpt(goRangeSelect);

// The key the editor leaves to the grid, 0 for the editor's own. Up, Down, PgUp, PgDn,
// Ctrl+Home and Ctrl+End move the current cell, and (unless the editor is always shown)
// Enter and Escape end the edit. Tab moves between cells with goTabs; otherwise it, Enter
// and Escape are the form's. At the edges of the text Left, Ctrl+Left and Home (the caret
// at the start) and Right, Ctrl+Right and End (the caret at the end) go on to the
// neighbouring cell, as do they with the whole text selected; Shift keeps them selecting.
WORD GridKeyOfEditor(const TCustomGrid* grid, const TCustomEdit* editor, WORD key, TShiftState shift) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      return key;
    case VK_ESCAPE:
    case VK_RETURN:
      return grid->HasOption(goAlwaysShowEditor) ? 0 : key;
    case VK_TAB:
      return grid->HasOption(goTabs) ? key : 0;
    case VK_HOME:
    case VK_END:
      if (shift & ssCtrl) return key;
      break;
    case VK_LEFT:
    case VK_RIGHT:
      break;
    default:
      return 0;
  }
  if (shift & (ssShift | ssAlt)) return 0;
  const int length = static_cast<int>(editor->Text().size());
  const int start = editor->SelStart();
  const int end = start + editor->SelLength();
  const bool whole = start == 0 && end == length;
  if (key == VK_LEFT || key == VK_HOME) return (whole || (start == 0 && end == 0)) ? VK_LEFT : 0;
  return (whole || (start == length && end == length)) ? VK_RIGHT : 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(nullptr), grid_(grid) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(clWindow);
  SetBorderStyle(bsNone);
  SetAutoSelect(true);
  SetTabStop(false);
}

void TInplaceEdit::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::UpdateContents() {
  loading_ = true;
  SetMaxLength(grid_->GetEditLimit());
  SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
  SetModified(false);
  loading_ = false;
  col_ = grid_->Col();
  row_ = grid_->Row();
}

void TInplaceEdit::Place(const RECT& cell) {
  SetBounds(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
  BoundsChanged();
  Show();
}

void TInplaceEdit::BoundsChanged() {
  if (!HandleAllocated()) return;
  RECT format{2, 2, Width() - 2, Height()};
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  // Home and End at an edge come to the grid as Left and Right: one cell on.
  WORD gridKey = key != 0 ? GridKeyOfEditor(grid_, this, key, shift) : 0;
  if (gridKey != 0) {
    grid_->KeyDown(gridKey, shift);
    key = 0;
  }
}

void TInplaceEdit::KeyPress(char& key) {
  // The grid acted on these in the key-down already; the edit would only beep at them.
  if (key == '\r' || key == '\x1b' || key == '\t') {
    key = 0;
    return;
  }
  if (static_cast<unsigned char>(key) >= 32 && !grid_->CanEditAcceptKey(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  // The grid's key handlers see what is typed into its editor.
  grid_->KeyPress(key);
  if (key == 0) return;
  TCustomEdit::KeyPress(key);
}

void TInplaceEdit::Change() {
  if (loading_) return;
  TCustomEdit::Change();
  grid_->EditorChanged();
}

void TInplaceEdit::DoExit() {
  TCustomEdit::DoExit();
  grid_->UpdateText();
}

void TInplaceEdit::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_GETDLGCODE:
      msg.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (grid_->HasOption(goTabs)) msg.Result |= DLGC_WANTTAB;
      if (!grid_->HasOption(goAlwaysShowEditor)) msg.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_SETFOCUS:
      TCustomEdit::WndProc(msg);
      grid_->InvalidateCell(grid_->Col(), grid_->Row());
      return;
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(msg);
      grid_->InvalidateCell(grid_->Col(), grid_->Row());
      return;
    default:
      TCustomEdit::WndProc(msg);
  }
}

// ---------------------------------------------------------------------------------------
// TCustomGrid

const ClassInfo* TCustomGrid::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomGrid>("TCustomGrid", TCustomControl::StaticClassInfo())
          .Int("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount)
          .Int("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount)
          .Int("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols)
          .Int("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows)
          .Int("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth)
          .Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
          .Int("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth)
          .Set("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions, &GridOptionEnum)
          .Bool("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing)
          .Int("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor)
          .Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars, &ScrollStyleEnum)
          .Build();
  return &ci;
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner), options_(kDefaultOptions) {
  SetBounds(0, 0, 320, 120);
  SetColor(clWindow);
  SetTabStop(true);
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
}

TCustomGrid::~TCustomGrid() {
  Destroying();
  editor_ = nullptr;
  editorOwned_.reset();
}

const ClassInfo* TDrawGrid::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TDrawGrid>("TDrawGrid", TCustomGrid::StaticClassInfo()).Build();
  return &ci;
}

const ClassInfo* TStringGrid::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStringGrid>("TStringGrid", TDrawGrid::StaticClassInfo()).Build();
  return &ci;
}

TGridLayout& TCustomGrid::Layout() {
  if (HandleAllocated()) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right != layout_.ClientWidth() || client.bottom != layout_.ClientHeight())
      layout_.SetClientSize(client.right, client.bottom);
  } else {
    const int border = borderStyle_ == bsSingle ? 4 : 0;
    layout_.SetClientSize(Width() - border, Height() - border);
  }
  return layout_;
}

void TCustomGrid::SetColCount(int value) {
  const int oldCols = ColCount();
  const int oldRows = RowCount();
  if (std::max(1, value) == oldCols) return;
  layout_.SetColCount(value);
  if (col_ >= ColCount()) FocusCell(ColCount() - 1, row_, true);
  anchorCol_ = std::min(anchorCol_, ColCount() - 1);
  SizeChanged(oldCols, oldRows);
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
}

void TCustomGrid::SetRowCount(int value) {
  const int oldCols = ColCount();
  const int oldRows = RowCount();
  if (std::max(1, value) == oldRows) return;
  layout_.SetRowCount(value);
  if (row_ >= RowCount()) FocusCell(col_, RowCount() - 1, true);
  anchorRow_ = std::min(anchorRow_, RowCount() - 1);
  SizeChanged(oldCols, oldRows);
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
}

void TCustomGrid::SetFixedCols(int value) {
  if (value == FixedCols()) return;
  layout_.SetFixedCols(value);
  InitializeTopLeft();
}

void TCustomGrid::SetFixedRows(int value) {
  if (value == FixedRows()) return;
  layout_.SetFixedRows(value);
  InitializeTopLeft();
}

// New fixed counts scroll the grid back to its first cells; the current cell stays unless
// it became fixed.
void TCustomGrid::InitializeTopLeft() {
  layout_.ResetTopLeft();
  if (col_ < FixedCols() || row_ < FixedRows()) FocusCell(std::max(col_, FixedCols()), std::max(row_, FixedRows()), true);
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
}

void TCustomGrid::SetDefaultColWidth(int value) {
  layout_.SetDefaultColWidth(value);
  ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int value) {
  layout_.SetDefaultRowHeight(value);
  RowHeightsChanged();
}

void TCustomGrid::SetColWidths(int col, int value) {
  if (col < 0 || col >= ColCount() || ColWidths(col) == std::max(0, value)) return;
  layout_.SetColWidth(col, value);
  ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int row, int value) {
  if (row < 0 || row >= RowCount() || RowHeights(row) == std::max(0, value)) return;
  layout_.SetRowHeight(row, value);
  RowHeightsChanged();
}

void TCustomGrid::ChangeScale(int m, int d) {
  std::vector<int> widths(static_cast<size_t>(ColCount()));
  std::vector<int> heights(static_cast<size_t>(RowCount()));
  for (int c = 0; c < ColCount(); ++c) widths[static_cast<size_t>(c)] = ColWidths(c);
  for (int r = 0; r < RowCount(); ++r) heights[static_cast<size_t>(r)] = RowHeights(r);
  layout_.SetDefaultColWidth(MulDiv(DefaultColWidth(), m, d));
  layout_.SetDefaultRowHeight(MulDiv(DefaultRowHeight(), m, d));
  for (int c = 0; c < ColCount(); ++c) layout_.SetColWidth(c, MulDiv(widths[static_cast<size_t>(c)], m, d));
  for (int r = 0; r < RowCount(); ++r) layout_.SetRowHeight(r, MulDiv(heights[static_cast<size_t>(r)], m, d));
  TCustomControl::ChangeScale(m, d);
  ColWidthsChanged();
  RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int value) {
  layout_.SetGridLineWidth(value);
  Invalidate();
}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
}

void TCustomGrid::TopLeftChanged() {
  if (OnTopLeftChanged && !IsDestroying()) OnTopLeftChanged(this);
}

void TCustomGrid::SetOptions(TGridOptions value) {
  if (value == options_) return;
  options_ = value;
  if (!HasOption(goEditing)) HideEditor();
  else if (HasOption(goAlwaysShowEditor) && GridFocused()) ShowEditor();
  Invalidate();
}

void TCustomGrid::SetDefaultDrawing(bool value) {
  if (value == defaultDrawing_) return;
  defaultDrawing_ = value;
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor value) {
  fixedColor_ = value;
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClassStyle |= CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollBars();
}

void TCustomGrid::Resize() {
  TCustomControl::Resize();
  if (Layout().ClampTopLeft()) ScrollChanged();
  UpdateScrollBars();
  UpdateEditor();
}

TGridSelection TCustomGrid::Selection() const {
  TGridSelection s;
  if (HasOption(goRowSelect)) {
    s.Left = FixedCols();
    s.Right = ColCount() - 1;
    s.Top = std::min(row_, anchorRow_);
    s.Bottom = std::max(row_, anchorRow_);
    return s;
  }
  s.Left = std::min(col_, anchorCol_);
  s.Right = std::max(col_, anchorCol_);
  s.Top = std::min(row_, anchorRow_);
  s.Bottom = std::max(row_, anchorRow_);
  return s;
}

void TCustomGrid::SetTopRow(int value) {
  if (Layout().SetTopRow(value)) ScrollChanged();
}

void TCustomGrid::SetLeftCol(int value) {
  if (Layout().SetLeftCol(value)) ScrollChanged();
}

int TCustomGrid::VisibleColCount() { return Layout().VisibleColCount(); }
int TCustomGrid::VisibleRowCount() { return Layout().VisibleRowCount(); }
int TCustomGrid::LastVisibleCol() { return Layout().LastVisibleCol(); }

RECT TCustomGrid::CellRect(int col, int row) { return ToRect(Layout().CellRect(col, row)); }

TGridCoord TCustomGrid::MouseCoord(int x, int y) { return Layout().MouseCoord(x, y); }

void TCustomGrid::ScrollChanged() {
  UpdateScrollBars();
  Invalidate();
  UpdateEditor();
  TopLeftChanged();
}

void TCustomGrid::UpdateScrollBars() {
  if (!HandleAllocated() || updatingScroll_) return;
  updatingScroll_ = true;
  TGridLayout& layout = Layout();
  auto apply = [&](int bar, int first, int count, int visible, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, count - first - 1);
    info.nPage = static_cast<UINT>(std::max(1, visible));
    info.nPos = position - first;
    SetScrollInfo(Handle(), bar, &info, TRUE);
  };
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
    const int maxTop = layout.MaxTopRow();
    apply(SB_VERT, layout.FixedRows(), RowCount(), RowCount() - maxTop, layout.TopRow());
  }
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
    const int maxLeft = layout.MaxLeftCol();
    apply(SB_HORZ, layout.FixedCols(), ColCount(), ColCount() - maxLeft, layout.LeftCol());
  }
  updatingScroll_ = false;
}

void TCustomGrid::HandleScroll(int bar, int code) {
  TGridLayout& layout = Layout();
  const bool vertical = bar == SB_VERT;
  const int first = vertical ? layout.FixedRows() : layout.FixedCols();
  const int current = vertical ? layout.TopRow() : layout.LeftCol();
  const int page = vertical ? layout.VisibleRowCount() : layout.VisibleColCount();
  int target = current;
  switch (code) {
    case SB_LINEUP: target = current - 1; break;
    case SB_LINEDOWN: target = current + 1; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_TOP: target = first; break;
    case SB_BOTTOM: target = vertical ? RowCount() : ColCount(); break;
    case SB_THUMBTRACK:
      if (!HasOption(goThumbTracking)) return;
      [[fallthrough]];
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), bar, &info);
      target = first + info.nTrackPos;
      break;
    }
    default: return;
  }
  if (vertical) SetTopRow(target);
  else SetLeftCol(target);
}

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor) {
  col = std::clamp(col, FixedCols(), std::max(FixedCols(), ColCount() - 1));
  row = std::clamp(row, FixedRows(), std::max(FixedRows(), RowCount() - 1));
  const bool moved = col != col_ || row != row_;
  // A current cell that fell outside the grid (fewer rows or columns) moves whatever the
  // owner says.
  const bool valid = col_ >= FixedCols() && col_ < ColCount() && row_ >= FixedRows() && row_ < RowCount();
  if (moved && !SelectCell(col, row) && valid) return;
  if (moved) UpdateText();
  InvalidateSelection();
  col_ = col;
  row_ = row;
  if (moveAnchor) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  InvalidateSelection();
  if (Layout().ScrollInView(col, row)) ScrollChanged();
  if (moved) UpdateEditor();
}

bool TCustomGrid::SelectCell(int col, int row) {
  bool allowed = true;
  if (OnSelectCell && !IsDestroying()) OnSelectCell(this, col, row, allowed);
  return allowed;
}

void TCustomGrid::InvalidateSelection() {
  const TGridSelection s = Selection();
  if (s.Bottom - s.Top > 64) {
    Invalidate();
    return;
  }
  for (int r = s.Top; r <= s.Bottom; ++r) InvalidateRow(r);
}

void TCustomGrid::InvalidateCell(int col, int row) {
  if (!HandleAllocated()) return;
  RECT r = CellRect(col, row);
  if (IsRectEmpty(&r)) return;
  InflateRect(&r, 1, 1);
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomGrid::InvalidateRow(int row) {
  if (!HandleAllocated()) return;
  const RECT r = CellRect(FixedCols() > 0 ? 0 : LeftCol(), row);
  if (IsRectEmpty(&r)) return;
  RECT whole{0, r.top - 1, Layout().ClientWidth(), r.bottom + 1};
  InvalidateRect(Handle(), &whole, FALSE);
}

void TCustomGrid::InvalidateCol(int col) {
  if (!HandleAllocated()) return;
  const RECT r = CellRect(col, FixedRows() > 0 ? 0 : TopRow());
  if (IsRectEmpty(&r)) return;
  RECT whole{r.left - 1, 0, r.right + 1, Layout().ClientHeight()};
  InvalidateRect(Handle(), &whole, FALSE);
}

bool TCustomGrid::GridFocused() const {
  if (!HandleAllocated()) return false;
  const HWND focus = GetFocus();
  if (focus == nullptr) return false;
  return focus == const_cast<TCustomGrid*>(this)->Handle() ||
         (editor_ != nullptr && editor_->HandleAllocated() && focus == editor_->Handle());
}

// ---- Rows and columns ------------------------------------------------------------------

void TCustomGrid::MoveColumn(int from, int to) {
  if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount()) return;
  UpdateText();
  layout_.MoveColWidth(from, to);
  ColumnMoved(from, to);
  Invalidate();
  RefreshEditor();
}

void TCustomGrid::MoveRow(int from, int to) {
  if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
  UpdateText();
  layout_.MoveRowHeight(from, to);
  RowMoved(from, to);
  Invalidate();
  RefreshEditor();
}

void TCustomGrid::DeleteColumn(int col) {
  if (col < 0 || col >= ColCount()) return;
  MoveColumn(col, ColCount() - 1);
  SetColCount(ColCount() - 1);
}

void TCustomGrid::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  MoveRow(row, RowCount() - 1);
  SetRowCount(RowCount() - 1);
}

// ---- The editor ------------------------------------------------------------------------

bool TCustomGrid::CanEditShow() {
  return HasOption(goEditing) && !HasOption(goRowSelect) && col_ >= FixedCols() && row_ >= FixedRows();
}

std::unique_ptr<TInplaceEdit> TCustomGrid::CreateEditor() {
  return std::make_unique<TInplaceEdit>(this);
}

bool TCustomGrid::EditorMode() const {
  return editorShown_;
}

void TCustomGrid::SetEditorMode(bool value) {
  if (value) ShowEditor();
  else HideEditor();
}

void TCustomGrid::ShowEditor() {
  if (!CanEditShow()) return;
  editorShown_ = true;
  UpdateEditor();
}

void TCustomGrid::HideEditor() {
  if (editor_ == nullptr || !editorShown_) {
    editorShown_ = false;
    return;
  }
  UpdateText();
  editorShown_ = false;
  const bool hadFocus = editor_->HandleAllocated() && GetFocus() == editor_->Handle();
  editor_->Hide();
  editor_->col_ = editor_->row_ = -1;
  if (hadFocus && HandleAllocated()) ::SetFocus(Handle());
  InvalidateCell(col_, row_);
}

void TCustomGrid::EditorChanged() {
  UpdateText();
}

void TCustomGrid::UpdateText() {
  if (editor_ == nullptr || !editorShown_ || editor_->col_ < 0 || editor_->row_ < 0) return;
  if (!editor_->Modified()) return;
  const std::string text = editor_->Text();
  const int col = editor_->col_;
  const int row = editor_->row_;
  editor_->SetModified(false);
  if (CanEditModify()) SetEditText(col, row, text);
}

void TCustomGrid::RefreshEditor() {
  if (editor_ != nullptr) editor_->col_ = editor_->row_ = -1;
  UpdateEditor();
}

// Places the editor over the current cell (or hides it) after anything that moves cells.
void TCustomGrid::UpdateEditor() {
  if (!editorShown_) return;
  if (!CanEditShow() || !HandleAllocated()) {
    HideEditor();
    return;
  }
  if (editor_ == nullptr) {
    editorOwned_ = CreateEditor();
    editor_ = editorOwned_.get();
    editor_->SetParent(this);
  }
  editor_->Font()->Assign(Font());
  const RECT cell = CellRect(col_, row_);
  if (IsRectEmpty(&cell)) {
    editor_->Hide();
    return;
  }
  if (editor_->col_ != col_ || editor_->row_ != row_) editor_->UpdateContents();
  editor_->Place(cell);
  if (GetFocus() == Handle()) editor_->SetFocus();
}

// ---- Painting --------------------------------------------------------------------------

void TCustomGrid::Paint() {
  PaintCells();
  PaintLines(Canvas()->Handle());
  if (gridState_ == gsColMoving || gridState_ == gsRowMoving) PaintMoveMark(Canvas()->Handle());
}

// While a column (row) is dragged: a bar where it would land.
void TCustomGrid::PaintMoveMark(HDC dc) {
  const bool cols = gridState_ == gsColMoving;
  const RECT target = CellRect(cols ? moveTo_ : 0, cols ? 0 : moveTo_);
  if (IsRectEmpty(&target)) return;
  const bool after = moveTo_ > sizingIndex_;
  const TGridLayout& layout = Layout();
  RECT bar = cols ? RECT{after ? target.right - 1 : target.left - 1, 0, 0, layout.ClientHeight()}
                  : RECT{0, after ? target.bottom - 1 : target.top - 1, layout.ClientWidth(), 0};
  if (cols) bar.right = bar.left + 3;
  else bar.bottom = bar.top + 3;
  UniqueBrush brush(CreateSolidBrush(RGB(0, 0, 0)));
  FillRect(dc, &bar, brush.get());
}

void TCustomGrid::PaintCells() {
  TGridLayout& layout = Layout();
  TCanvas* canvas = Canvas();
  const bool focused = GridFocused();
  const TGridSelection selection = Selection();
  const int lastCol = layout.LastVisibleCol();
  const int lastRow = layout.LastVisibleRow();
  const RECT client{0, 0, layout.ClientWidth(), layout.ClientHeight()};

  // What lies beyond the last cells.
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(client);

  auto paintCell = [&](int c, int r) {
    const RECT rect = CellRect(c, r);
    if (IsRectEmpty(&rect)) return;
    TGridDrawState state = 0;
    const bool fixed = c < FixedCols() || r < FixedRows();
    if (fixed) state |= gdFixed;
    else if (selection.Contains(c, r)) state |= gdSelected;
    if (!fixed && c == col_ && r == row_ && focused) state |= gdFocused;
    canvas->Font()->Assign(Font());
    if (defaultDrawing_) {
      const bool highlight = (state & gdSelected) &&
                             (!(state & gdFocused) || HasOption(goRowSelect) || HasOption(goDrawFocusSelected));
      if (fixed)
        canvas->Brush()->SetColor(fixedColor_);
      else if (highlight) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
      } else
        canvas->Brush()->SetColor(Color());
      canvas->FillRect(rect);
    }
    DrawCell(c, r, rect, state);
    if (defaultDrawing_ && fixed) {
      RECT edge = rect;
      DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
    }
    if (defaultDrawing_ && (state & gdFocused) && !HasOption(goRowSelect) &&
        !(HasOption(goEditing) && HasOption(goAlwaysShowEditor))) {
      canvas->Brush()->SetColor(Color());
      canvas->DrawFocusRect(rect);
    }
  };
  for (int r = 0; r <= lastRow; ++r) {
    if (r >= FixedRows() && r < layout.TopRow()) continue;
    for (int c = 0; c <= lastCol; ++c) {
      if (c >= FixedCols() && c < layout.LeftCol()) continue;
      paintCell(c, r);
    }
  }
  if (defaultDrawing_ && focused && HasOption(goRowSelect) && row_ >= FixedRows()) {
    const RECT first = CellRect(std::max(FixedCols(), layout.LeftCol()), row_);
    const RECT last = CellRect(lastCol, row_);
    if (!IsRectEmpty(&first) && !IsRectEmpty(&last)) {
      canvas->Brush()->SetColor(Color());
      canvas->Font()->SetColor(Font()->Color());
      canvas->DrawFocusRect(RECT{first.left, first.top, last.right, last.bottom});
    }
  }
}

// Grid lines: black between fixed cells, silver between the others.
void TCustomGrid::PaintLines(HDC dc) {
  TGridLayout& layout = Layout();
  const int line = layout.GridLineWidth();
  if (line <= 0) return;
  const int lastCol = layout.LastVisibleCol();
  const int lastRow = layout.LastVisibleRow();
  const int right = std::min(layout.ClientWidth(), [&] {
    const TGridRect r = layout.CellRect(lastCol, FixedRows() > 0 ? 0 : layout.TopRow());
    return r.Empty() ? layout.ClientWidth() : r.Right + line;
  }());
  const int bottom = std::min(layout.ClientHeight(), [&] {
    const TGridRect r = layout.CellRect(FixedCols() > 0 ? 0 : layout.LeftCol(), lastRow);
    return r.Empty() ? layout.ClientHeight() : r.Bottom + line;
  }());
  UniqueBrush fixedBrush(CreateSolidBrush(ColorToRGB(clBlack)));
  UniqueBrush normalBrush(CreateSolidBrush(ColorToRGB(clSilver)));
  const int fixedWidth = layout.FixedWidth();
  const int fixedHeight = layout.FixedHeight();
  for (int c = 0; c <= lastCol; ++c) {
    const int left = layout.ColLeft(c);
    if (left < 0) continue;
    const int x = left + layout.ColWidth(c);
    const bool fixedCol = c < FixedCols();
    if (fixedCol ? HasOption(goFixedVertLine) : false) {
      RECT r{x, 0, x + line, bottom};
      FillRect(dc, &r, fixedBrush.get());
      continue;
    }
    if (HasOption(goFixedVertLine) && fixedHeight > 0) {
      RECT r{x, 0, x + line, fixedHeight};
      FillRect(dc, &r, fixedBrush.get());
    }
    if (HasOption(goVertLine)) {
      RECT r{x, fixedHeight, x + line, bottom};
      FillRect(dc, &r, normalBrush.get());
    }
  }
  for (int r = 0; r <= lastRow; ++r) {
    const int top = layout.RowTop(r);
    if (top < 0) continue;
    const int y = top + layout.RowHeight(r);
    if (r < FixedRows()) {
      if (HasOption(goFixedHorzLine)) {
        RECT rect{0, y, right, y + line};
        FillRect(dc, &rect, fixedBrush.get());
      }
      continue;
    }
    if (HasOption(goFixedHorzLine) && fixedWidth > 0) {
      RECT rect{0, y, fixedWidth, y + line};
      FillRect(dc, &rect, fixedBrush.get());
    }
    if (HasOption(goHorzLine)) {
      RECT rect{fixedWidth, y, right, y + line};
      FillRect(dc, &rect, normalBrush.get());
    }
  }
}

// ---- Keys and mouse --------------------------------------------------------------------

void TCustomGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0 || !CanGridAcceptKey(key, shift)) return;
  TGridLayout& layout = Layout();
  const bool extend = (shift & ssShift) && HasOption(goRangeSelect);
  const bool ctrl = (shift & ssCtrl) != 0;
  int col = col_;
  int row = row_;
  switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT:
      if (HasOption(goRowSelect)) {
        SetLeftCol(LeftCol() - 1);
        return;
      }
      --col;
      break;
    case VK_RIGHT:
      if (HasOption(goRowSelect)) {
        SetLeftCol(LeftCol() + 1);
        return;
      }
      ++col;
      break;
    case VK_PRIOR: row -= layout.VisibleRowCount(); break;
    case VK_NEXT: row += layout.VisibleRowCount(); break;
    case VK_HOME:
      if (ctrl || HasOption(goRowSelect)) row = FixedRows();
      else col = FixedCols();
      break;
    case VK_END:
      if (ctrl || HasOption(goRowSelect)) row = RowCount() - 1;
      else col = ColCount() - 1;
      break;
    case VK_TAB:
      if (!HasOption(goTabs)) return;
      if (shift & ssShift) {
        if (--col < FixedCols()) {
          col = ColCount() - 1;
          --row;
        }
      } else if (++col >= ColCount()) {
        col = FixedCols();
        ++row;
      }
      break;
    case VK_F2:
      ShowEditor();
      key = 0;
      return;
    case VK_RETURN:
      if (HasOption(goEditing)) {
        if (EditorMode() && !HasOption(goAlwaysShowEditor)) HideEditor();
        else if (EditorMode()) UpdateText();
        else ShowEditor();
        key = 0;
      }
      return;
    case VK_ESCAPE:
      if (EditorMode()) {
        if (editor_ != nullptr) editor_->UpdateContents();
        if (!HasOption(goAlwaysShowEditor)) HideEditor();
        key = 0;
      }
      return;
    default:
      return;
  }
  key = 0;
  const int fromCol = col_, fromRow = row_;
  FocusCell(col, row, !extend);
  // A cell reached by keyboard offers its whole text, so typing replaces it.
  if ((col_ != fromCol || row_ != fromRow) && editorShown_ && editor_ != nullptr && editor_->HandleAllocated())
    editor_->SelectAll();
}

void TCustomGrid::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (key == 0 || !HasOption(goEditing) || EditorMode()) return;
  if (static_cast<unsigned char>(key) < 32) return;
  if (!CanEditAcceptKey(key)) {
    MessageBeep(0);
    key = 0;
    return;
  }
  ShowEditor();
  if (EditorMode() && editor_ != nullptr && editor_->HandleAllocated()) {
    editor_->SetFocus();
    SendMessageA(editor_->Handle(), WM_CHAR, static_cast<unsigned char>(key), 0);
    key = 0;
  }
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !GridFocused()) SetFocus();
  if (button == mbLeft) {
    TGridLayout& layout = Layout();
    const int sizingCol = HasOption(goColSizing) ? layout.SizingColAt(x, y) : -1;
    const int sizingRow = HasOption(goRowSizing) ? layout.SizingRowAt(x, y) : -1;
    if (sizingCol >= 0 || sizingRow >= 0) {
      HideEditor();
      gridState_ = sizingCol >= 0 ? gsColSizing : gsRowSizing;
      sizingIndex_ = sizingCol >= 0 ? sizingCol : sizingRow;
      sizingStart_ = sizingCol >= 0 ? x : y;
      sizingWidth_ = sizingCol >= 0 ? ColWidths(sizingCol) : RowHeights(sizingRow);
    } else {
      const TGridCoord cell = layout.MouseCoord(x, y);
      const bool onFixedRow = cell.Y >= 0 && cell.Y < FixedRows() && cell.X >= FixedCols();
      const bool onFixedCol = cell.X >= 0 && cell.X < FixedCols() && cell.Y >= FixedRows();
      if ((HasOption(goColMoving) && onFixedRow) || (HasOption(goRowMoving) && onFixedCol)) {
        HideEditor();
        gridState_ = onFixedRow ? gsColMoving : gsRowMoving;
        sizingIndex_ = moveTo_ = onFixedRow ? cell.X : cell.Y;
      } else if (cell.X >= FixedCols() && cell.Y >= FixedRows()) {
        const bool same = cell.X == col_ && cell.Y == row_;
        gridState_ = gsSelecting;
        FocusCell(cell.X, cell.Y, !((shift & ssShift) && HasOption(goRangeSelect)));
        if (same && !(shift & ssDouble) && HasOption(goEditing)) ShowEditor();
      }
    }
  }
  // An editor that is always shown comes back after whatever closed it.
  if (gridState_ == gsSelecting && HasOption(goEditing) && HasOption(goAlwaysShowEditor) && GridFocused())
    ShowEditor();
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
  if (gridState_ == gsColSizing) {
    layout_.SetColWidth(sizingIndex_, std::max(0, sizingWidth_ + x - sizingStart_));
    Invalidate();
  } else if (gridState_ == gsRowSizing) {
    layout_.SetRowHeight(sizingIndex_, std::max(0, sizingWidth_ + y - sizingStart_));
    Invalidate();
  } else if (gridState_ == gsColMoving || gridState_ == gsRowMoving) {
    // The place the line would go to: the cell under the pointer, the last one beyond them.
    const bool cols = gridState_ == gsColMoving;
    const TGridCoord cell = Layout().MouseCoord(x, y);
    int target = cols ? cell.X : cell.Y;
    const int fixed = cols ? FixedCols() : FixedRows();
    const int count = cols ? ColCount() : RowCount();
    if (target < 0) target = (cols ? x : y) < 0 ? fixed : count - 1;
    target = std::clamp(target, fixed, count - 1);
    if (target != moveTo_) {
      moveTo_ = target;
      Invalidate();
    }
  } else if (gridState_ == gsSelecting && HasOption(goRangeSelect) && (shift & ssLeft)) {
    const TGridCoord cell = Layout().MouseCoord(x, y);
    if (cell.X >= FixedCols() && cell.Y >= FixedRows() && (cell.X != col_ || cell.Y != row_))
      FocusCell(cell.X, cell.Y, false);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TGridState state = gridState_;
  gridState_ = gsNormal;
  if (state == gsColSizing || state == gsRowSizing) {
    EndSizing(state);
  } else if (state == gsColMoving || state == gsRowMoving) {
    if (state == gsColMoving) MoveColumn(sizingIndex_, moveTo_);
    else MoveRow(sizingIndex_, moveTo_);
    Invalidate();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::EndSizing(TGridState state) {
  gridState_ = gsNormal;
  if (state == gsColSizing) ColWidthsChanged();
  else RowHeightsChanged();
}

void TCustomGrid::DoEnter() {
  TCustomControl::DoEnter();
  InvalidateSelection();
}

void TCustomGrid::DoExit() {
  TCustomControl::DoExit();
  UpdateText();
  InvalidateSelection();
}

void TCustomGrid::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_GETDLGCODE:
      msg.Result = DLGC_WANTARROWS;
      if (HasOption(goEditing)) msg.Result |= DLGC_WANTCHARS;
      if (HasOption(goTabs)) msg.Result |= DLGC_WANTTAB;
      if (EditorMode() && !HasOption(goAlwaysShowEditor)) msg.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (msg.LParam == 0) {
        HandleScroll(msg.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(msg.WParam));
        msg.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(msg.WParam);
      SetTopRow(TopRow() - (delta > 0 ? 1 : -1) * 3);
      msg.Result = 0;
      return;
    }
    case WM_SETCURSOR:
      if (HandleAllocated() && LOWORD(msg.LParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        const bool cols = gridState_ == gsColSizing ||
                          (gridState_ == gsNormal && HasOption(goColSizing) && Layout().SizingColAt(p.x, p.y) >= 0);
        const bool rows = gridState_ == gsRowSizing ||
                          (gridState_ == gsNormal && HasOption(goRowSizing) && Layout().SizingRowAt(p.x, p.y) >= 0);
        if (cols || rows) {
          ::SetCursor(LoadCursor(nullptr, cols ? IDC_SIZEWE : IDC_SIZENS));
          msg.Result = TRUE;
          return;
        }
      }
      break;
    case WM_CANCELMODE:
      if (gridState_ == gsColSizing || gridState_ == gsRowSizing) EndSizing(gridState_);
      if (gridState_ == gsColMoving || gridState_ == gsRowMoving) Invalidate();
      gridState_ = gsNormal;
      break;
    case WM_SIZE:
      TCustomControl::WndProc(msg);
      if (Layout().ClampTopLeft()) ScrollChanged();
      UpdateScrollBars();
      return;
    case WM_SETFOCUS:
      TCustomControl::WndProc(msg);
      if (HasOption(goEditing) && HasOption(goAlwaysShowEditor)) ShowEditor();
      InvalidateSelection();
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(msg);
      InvalidateSelection();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TDrawGrid and TStringGrid

void TDrawGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (OnDrawCell && !IsDestroying()) OnDrawCell(this, col, row, rect, state);
}

std::string TDrawGrid::GetEditText(int col, int row) {
  std::string value;
  if (OnGetEditText && !IsDestroying()) OnGetEditText(this, col, row, value);
  return value;
}

void TDrawGrid::SetEditText(int col, int row, const std::string& value) {
  if (OnSetEditText && !IsDestroying()) OnSetEditText(this, col, row, value);
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
  if (cells_.Cell(col, row) == value) return;
  cells_.SetCell(col, row, value);
  InvalidateCell(col, row);
  if (EditorMode() && InplaceEditor() != nullptr && col == Col() && row == Row()) InplaceEditor()->UpdateContents();
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
  cells_.SetCell(col, row, value);
  InvalidateCell(col, row);
}

void TStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (DefaultDrawing()) Canvas()->TextRect(rect, rect.left + 2, rect.top + 2, Cells(col, row));
  TDrawGrid::DrawCell(col, row, rect, state);
}

void TStringGrid::ColumnMoved(int from, int to) {
  cells_.MoveCol(from, to);
  TDrawGrid::ColumnMoved(from, to);
}

void TStringGrid::RowMoved(int from, int to) {
  cells_.MoveRow(from, to);
  TDrawGrid::RowMoved(from, to);
}
