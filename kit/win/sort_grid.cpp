#include "kit/win/sort_grid.h"

#include <algorithm>

#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/screen.h"

namespace {

const EnumInfo SortStyleEnum{"TSortStyle", {"ssAutomatic", "ssNormal", "ssNumeric", "ssExtended", "ssDateTime", "ssTime"}};
const EnumInfo SortDirectionEnum{"TSortDirection", {"sdAscending", "sdDescending"}};
const EnumInfo VertAlignmentEnum{"TVertAlignment", {"taTopJustify", "taBottomJustify", "taMiddle"}};
const EnumInfo BevelStyleEnum{"TCellBevelStyle", {"cbNone", "cbRaised", "cbLowered"}};
const EnumInfo SortAlignmentEnum{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

// The arrow pictures are 8 by 7 pixels.
constexpr int kArrowWidth = 8;
constexpr int kArrowHeight = 7;
// Room kept in the sort column's header for the arrow.
constexpr int kArrowRoom = 11;

// A filled triangle on the button face, pointing up or down.
std::unique_ptr<TBitmap> MakeArrowBitmap(bool up) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(kArrowWidth, kArrowHeight);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(RECT{0, 0, kArrowWidth, kArrowHeight});
  canvas->Brush()->SetColor(clBtnText);
  canvas->Pen()->SetColor(clBtnText);
  if (up)
    canvas->Polygon({{1, 5}, {6, 5}, {3, 0}, {4, 0}});
  else
    canvas->Polygon({{1, 1}, {6, 1}, {4, 6}, {3, 6}});
  return bitmap;
}

// Keeps the editor from showing itself while rows or columns move under it.
class EditorHeldBack {
public:
  explicit EditorHeldBack(TCustomGrid* grid) : grid_(grid), options_(grid->Options()) {
    grid_->SetOptions(options_ & ~GridOpt(goAlwaysShowEditor));
  }
  ~EditorHeldBack() { grid_->SetOptions(options_); }
  EditorHeldBack(const EditorHeldBack&) = delete;
  EditorHeldBack& operator=(const EditorHeldBack&) = delete;

private:
  TCustomGrid* grid_;
  TGridOptions options_;
};

}  // namespace

// ---- Option objects --------------------------------------------------------------------

const ClassInfo* TSortOptions::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TSortOptions>("TSortOptions", nullptr)
          .Enum("SortStyle", &TSortOptions::SortStyle, &TSortOptions::SetSortStyle, &SortStyleEnum)
          .Bool("SortCaseSensitive", &TSortOptions::SortCaseSensitive, &TSortOptions::SetSortCaseSensitive)
          .Int("SortCol", &TSortOptions::SortCol)
          .Enum("SortDirection", &TSortOptions::SortDirection, &TSortOptions::SetSortDirection, &SortDirectionEnum)
          .Build();
  return &ci;
}

void TSortOptions::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TSortOptions*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  sortStyle_ = other->sortStyle_;
  caseSensitive_ = other->caseSensitive_;
  sortCol_ = other->sortCol_;
  direction_ = other->direction_;
}

const ClassInfo* TPrintOptions::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPrintOptions>("TPrintOptions", nullptr)
                                  .Str("JobTitle", &TPrintOptions::JobTitle, &TPrintOptions::SetJobTitle)
                                  .Str("PageTitle", &TPrintOptions::PageTitle, &TPrintOptions::SetPageTitle)
                                  .Int("Copies", &TPrintOptions::Copies, &TPrintOptions::SetCopies)
                                  .Int("FromRow", &TPrintOptions::FromRow, &TPrintOptions::SetFromRow)
                                  .Int("ToRow", &TPrintOptions::ToRow, &TPrintOptions::SetToRow)
                                  .Int("PreviewPage", &TPrintOptions::PreviewPage, &TPrintOptions::SetPreviewPage)
                                  .Build();
  return &ci;
}

void TPrintOptions::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TPrintOptions*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  *this = *other;
}

const ClassInfo* TSearchOptions::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TSearchOptions>("TSearchOptions", nullptr)
          .Bool("Filtered", &TSearchOptions::Filtered, &TSearchOptions::SetFiltered)
          .Int("SearchCol", &TSearchOptions::SearchCol, &TSearchOptions::SetSearchCol)
          .Bool("CaseSensitive", &TSearchOptions::CaseSensitive, &TSearchOptions::SetCaseSensitive)
          .Str("SearchText", &TSearchOptions::SearchText, &TSearchOptions::SetSearchText)
          .Build();
  return &ci;
}

void TSearchOptions::SetFiltered(bool value) {
  // Switching on again filters the full set, not only the rows shown.
  filtered_ = value;
  if (grid_ != nullptr) grid_->FilterChanged(value);
}

void TSearchOptions::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TSearchOptions*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  spec_ = other->spec_;
  SetFiltered(other->filtered_);
}

// ---- The grid --------------------------------------------------------------------------

const ClassInfo* TSortGrid::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TSortGrid>("TSortGrid", TStringGrid::StaticClassInfo())
          .Obj("SearchOptions", &TSortGrid::SearchOptions, TSearchOptions::StaticClassInfo())
          .Obj("SortOptions", &TSortGrid::SortOptions, TSortOptions::StaticClassInfo())
          .Int("FixedRows", &TSortGrid::FixedRows)
          .Obj("PrintOptions", &TSortGrid::PrintOptions, TPrintOptions::StaticClassInfo())
          .Bool("MultiSelect", &TSortGrid::MultiSelect, &TSortGrid::SetMultiSelect)
          .Enum("AlignmentHorz", &TSortGrid::AlignmentHorz, &TSortGrid::SetAlignmentHorz, &SortAlignmentEnum)
          .Enum("AlignmentVert", &TSortGrid::AlignmentVert, &TSortGrid::SetAlignmentVert, &VertAlignmentEnum)
          .Enum("BevelStyle", &TSortGrid::BevelStyle, &TSortGrid::SetBevelStyle, &BevelStyleEnum)
          .Bool("ProportionalScrollBars", &TSortGrid::ProportionalScrollBars, &TSortGrid::SetProportionalScrollBars)
          .Bool("ExtendedKeys", &TSortGrid::ExtendedKeys, &TSortGrid::SetExtendedKeys)
          .Bool("UpdateOnSizeChange", &TSortGrid::UpdateOnSizeChange, &TSortGrid::SetUpdateOnSizeChange)
          .Str("SecondaryIndex", &TSortGrid::SecondaryIndex, &TSortGrid::SetSecondaryIndex)
          .Build();
  return &ci;
}

TSortGrid::TSortGrid(TComponent* owner)
    : TStringGrid(owner),
      searchOptions_(std::make_unique<TSearchOptions>(this)),
      sortOptions_(std::make_unique<TSortOptions>()),
      printOptions_(std::make_unique<TPrintOptions>()),
      selection_(RowCount()) {
  SetFixedCols(0);
  upArrow_ = MakeArrowBitmap(true);
  downArrow_ = MakeArrowBitmap(false);
}

TSortGrid::~TSortGrid() = default;

void TSortGrid::SetAlignmentHorz(TAlignment value) {
  alignmentHorz_ = value;
  Invalidate();
}

void TSortGrid::SetAlignmentVert(TVertAlignment value) {
  alignmentVert_ = value;
  Invalidate();
}

void TSortGrid::SetBevelStyle(TCellBevelStyle value) {
  bevelStyle_ = value;
  Invalidate();
}

void TSortGrid::SetProportionalScrollBars(bool value) {
  proportionalScrollBars_ = value;
  LayoutChanged();
}

void TSortGrid::ClearSelection() {
  selection_.Clear();
  Invalidate();
}

// ---- Update bracket --------------------------------------------------------------------

// Closes the update bracket however the work inside it ends.
class TSortGrid::UpdateScope {
public:
  explicit UpdateScope(TSortGrid* grid) : grid_(grid) { grid_->BeginUpdate(); }
  ~UpdateScope() { grid_->EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

private:
  TSortGrid* grid_;
};

// The bracket does not count: an inner end already ends it, as the grid has always done.
void TSortGrid::BeginUpdate() {
  if (Screen != nullptr) Screen->SetCursor(crHourGlass);
  UpdateText();
  // Only a window that shows is kept from drawing: switching drawing back on would show a
  // hidden one.
  if (!redrawLocked_ && HandleAllocated() && (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE)) {
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    redrawLocked_ = true;
  }
  savedUpdateOnSizeChange_ = updateOnSizeChange_;
  updateOnSizeChange_ = false;
}

void TSortGrid::EndUpdate() {
  if (redrawLocked_) {
    redrawLocked_ = false;
    if (HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  }
  Invalidate();
  // The scroll bars belong to the frame, which the client area's repaint leaves alone: while
  // drawing was off they kept their old picture (or none).
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  updateOnSizeChange_ = savedUpdateOnSizeChange_;
  RefreshEditor();
  if (Screen != nullptr) Screen->SetCursor(crDefault);
}

// ---- Sorting ---------------------------------------------------------------------------

TSortStyle TSortGrid::DetectSortStyle(int col) {
  std::vector<std::string> texts;
  for (int r = 1; r < RowCount(); ++r) texts.push_back(Cells(col, r));
  return ::DetectSortStyle(texts);
}

void TSortGrid::SortByColumn(int col) {
  if (OnBeginSort && !IsDestroying()) OnBeginSort(this, col);
  // The keys are read before anything changes: a bad entry leaves the grid as it was.
  std::vector<int> keys = ParseSortKeys(col, secondaryIndex_);
  keys.erase(std::remove_if(keys.begin(), keys.end(), [this](int k) { return k < 0 || k >= ColCount(); }),
             keys.end());
  UpdateScope scope(this);
  if (col >= 0 && col < ColCount()) sortOptions_->sortCol_ = col;
  int current = Row();
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    if (RowCount() <= 2) break;
    // An automatic style is found for each key column at each sort: a column of numbers
    // sorted once must not make the next column sort as numbers too.
    const TSortStyle style =
        sortOptions_->sortStyle_ == ssAutomatic ? DetectSortStyle(*key) : sortOptions_->sortStyle_;
    std::vector<std::string> texts;
    for (int r = 1; r < RowCount(); ++r) texts.push_back(Cells(*key, r));
    std::vector<int> order = SortedOrder(texts, style, sortOptions_->caseSensitive_, sortOptions_->direction_);
    int moved = current;
    for (size_t k = 0; k < order.size(); ++k) {
      ++order[k];  // text index to row number
      if (order[k] == current) moved = static_cast<int>(k) + 1;
    }
    current = moved;
    CellStore().PermuteRows(1, order);
    filter_.RowsPermuted(1, order);
    if (OnEndSort && !IsDestroying()) OnEndSort(this, *key);
  }
  // The sorted column becomes the current one, in the row that followed its content.
  MoveToCell(col >= 0 && col < ColCount() ? col : Col(), current);
}

void TSortGrid::MoveToCell(int col, int row) {
  col = std::clamp(col, 0, ColCount() - 1);
  row = std::clamp(row, 1, std::max(1, RowCount() - 1));
  if ((col != Col() || row != Row()) && !SelectCell(col, row)) return;
  FocusCell(col, row, true);
  if (Col() != col || Row() != row) return;
  while (col > LastVisibleCol()) {
    const int left = LeftCol();
    SetLeftCol(left + 1);
    if (LeftCol() == left) break;
  }
  const int limit = std::max(1, RowCount() - VisibleRowCount());
  if (row > limit) SetTopRow(limit);
  else if (row < 2) SetTopRow(1);
  else SetTopRow(row - 1);
}

void TSortGrid::ClearRows() {
  UpdateScope scope(this);
  // Everything below the header goes, hidden rows and rows cut off before included.
  filter_.Drop();
  CellStore().TruncateRows(1);
  Modified = false;
  SetRowCount(2);
  AutoSizeColumns();
}

// ---- Rows and columns ------------------------------------------------------------------

void TSortGrid::InsertRow(int row) {
  {
    EditorHeldBack held(this);
    // No sorting on the size change: the new row must stay where it is put.
    UpdateScope scope(this);
    SetRowCount(RowCount() + 1);
    TCustomGrid::MoveRow(RowCount() - 1, row);
    CellStore().ClearRow(row);
    FocusCell(Col(), row, true);
  }
  if (OnRowInsert && !IsDestroying()) OnRowInsert(this, row);
}

void TSortGrid::InsertColumn(int col) {
  {
    EditorHeldBack held(this);
    TScopedState restructuring(restructuring_);
    SetColCount(ColCount() + 1);
    TCustomGrid::MoveColumn(ColCount() - 1, col);
    CellStore().ClearCol(col);
    FocusCell(col, Row(), true);
  }
  if (OnColumnInsert && !IsDestroying()) OnColumnInsert(this, col);
}

void TSortGrid::DeleteRow(int row) {
  {
    EditorHeldBack held(this);
    CellStore().ClearRow(row);
    TCustomGrid::DeleteRow(row);
  }
  if (OnRowDelete && !IsDestroying()) OnRowDelete(this, row);
}

void TSortGrid::DeleteColumn(int col) {
  {
    EditorHeldBack held(this);
    TScopedState restructuring(restructuring_);
    CellStore().ClearCol(col);
    TCustomGrid::DeleteColumn(col);
    // The sort column keeps naming the same column (the first when it was this one).
    sortOptions_->sortCol_ = std::min(SortColAfterDelete(sortOptions_->sortCol_, col), ColCount() - 1);
  }
  if (OnColumnDelete && !IsDestroying()) OnColumnDelete(this, col);
}

void TSortGrid::MoveRow(int from, int to) { TCustomGrid::MoveRow(from, to); }

void TSortGrid::MoveColumn(int from, int to) { TCustomGrid::MoveColumn(from, to); }

void TSortGrid::SwapRows(int a, int b) {
  if (a < b) {
    MoveRow(b, a);
    MoveRow(a + 1, b);
  } else if (b < a) {
    MoveRow(a, b);
    MoveRow(b + 1, a);
  }
}

void TSortGrid::SwapColumns(int a, int b) {
  if (a < b) {
    MoveColumn(b, a);
    MoveColumn(a + 1, b);
  } else if (b < a) {
    MoveColumn(a, b);
    MoveColumn(b + 1, a);
  }
}

void TSortGrid::ColumnMoved(int from, int to) {
  TStringGrid::ColumnMoved(from, to);
  if (restructuring_) {
    if (from > to) sortOptions_->sortCol_ = SortColAfterMove(sortOptions_->sortCol_, from, to);
    return;
  }
  const int sortCol = SortColAfterMove(sortOptions_->sortCol_, from, to);
  if (sortCol != sortOptions_->sortCol_) {
    sortOptions_->sortCol_ = sortCol;
    SortByColumn(sortCol);
  }
}

// ---- Sizes -----------------------------------------------------------------------------

void TSortGrid::RowMoved(int from, int to) {
  TStringGrid::RowMoved(from, to);
  filter_.RowMoved(from, to);
}

void TSortGrid::SizeChanged(int oldColCount, int oldRowCount) {
  TStringGrid::SizeChanged(oldColCount, oldRowCount);
  filter_.RowCountChanged(RowCount());
  FitSelection();
  LayoutChanged();
  if (updateOnSizeChange_) SortByColumn(sortOptions_->sortCol_);
  if (OnSizeChanged && !IsDestroying()) OnSizeChanged(this, oldColCount, oldRowCount);
}

void TSortGrid::ColWidthsChanged() {
  TStringGrid::ColWidthsChanged();
  if (OnColumnWidthsChanged && !IsDestroying()) OnColumnWidthsChanged(this);
  LayoutChanged();
}

void TSortGrid::RowHeightsChanged() {
  TStringGrid::RowHeightsChanged();
  if (OnRowHeightsChanged && !IsDestroying()) OnRowHeightsChanged(this);
  LayoutChanged();
}

void TSortGrid::Resize() {
  TStringGrid::Resize();
  Invalidate();
  LayoutChanged();
}

void TSortGrid::SetEditText(int col, int row, const std::string& value) {
  if (value != Cells(col, row)) Modified = true;
  TStringGrid::SetEditText(col, row, value);
}

// ---- Painting and measuring ------------------------------------------------------------

TFormatOptions TSortGrid::DefaultFormat(TCanvas* canvas) const {
  TFormatOptions format;
  format.Brush = canvas->Brush();
  format.Font = canvas->Font();
  format.AlignmentHorz = alignmentHorz_;
  format.AlignmentVert = alignmentVert_;
  format.Bevel = bevelStyle_;
  switch (bevelStyle_) {
    case cbRaised:
      format.HighlightColor = clBtnHighlight;
      format.ShadowColor = clBtnShadow;
      break;
    case cbLowered:
      format.HighlightColor = clBtnShadow;
      format.ShadowColor = clBtnHighlight;
      break;
    default:
      format.HighlightColor = format.ShadowColor = clWindow;
  }
  return format;
}

void TSortGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  TCanvas* canvas = Canvas();
  if (multiSelect_ && col >= 0 && row >= 1 && selection_.IsSelected(row)) {
    canvas->Font()->SetColor(clHighlightText);
    canvas->Brush()->SetColor(clHighlight);
    canvas->FillRect(rect);
  }
  TFormatOptions format = DefaultFormat(canvas);
  TGridDrawState formatState = state & ~static_cast<TGridDrawState>(gdFocused | gdSelected | gdFixed);
  if (row == 0) formatState |= gdFixed;
  if (GridFocused() && col == Col() && row == Row()) formatState |= gdFocused;
  if (Selection().Contains(col, row)) formatState |= gdSelected;
  if (OnGetCellFormat && !IsDestroying()) OnGetCellFormat(this, col, row, formatState, format);
  if (!DefaultDrawing()) {
    TStringGrid::DrawCell(col, row, rect, state);
    return;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const bool sortHeader = row == 0 && col == sortOptions_->sortCol_;
  std::string text = Cells(col, row);
  if (row == 0)
    text = ShortenHeaderText(text, HeaderTextRoom(width, sortHeader),
                             [canvas](const std::string& t) { return canvas->TextWidth(t); });
  int dx = HorzTextOffset(format.AlignmentHorz, width, canvas->TextWidth(text));
  const int dy = VertTextOffset(format.AlignmentVert, height, canvas->TextHeight(text.empty() ? "W" : text));
  if (sortHeader) dx += kArrowRoom;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->TextRect(rect, rect.left + dx, rect.top + dy, format.HideText ? std::string() : text);
  if (sortHeader) PaintSortArrow(rect);
  if (format.Bevel != cbNone && row >= 1) PaintBevel(rect, format);
  TDrawGrid::DrawCell(col, row, rect, state);
}

void TSortGrid::PaintSortArrow(const RECT& rect) {
  const int size = SortArrowWidth(rect.right - rect.left);
  if (size <= 0) return;
  TBitmap* arrow = sortOptions_->direction_ == sdDescending ? downArrow_.get() : upArrow_.get();
  const int y = RowHeights(0) / 2 - 4;
  Canvas()->SetCopyMode(cmSrcCopy);
  Canvas()->CopyRect(RECT{rect.left + 3, y, rect.left + size + 3, y + kArrowHeight}, arrow->Canvas(),
                     RECT{0, 0, size, kArrowHeight});
}

void TSortGrid::PaintBevel(const RECT& rect, const TFormatOptions& format) {
  TCanvas* canvas = Canvas();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  if (HasOption(goFixedVertLine)) line(format.ShadowColor, rect.right - 1, rect.top, rect.right - 1, rect.bottom);
  if (HasOption(goFixedHorzLine)) line(format.ShadowColor, rect.left, rect.bottom - 1, rect.right, rect.bottom - 1);
  if (HasOption(goFixedVertLine)) line(format.HighlightColor, rect.left, rect.top, rect.left, rect.bottom);
  if (HasOption(goFixedHorzLine)) line(format.HighlightColor, rect.left, rect.top, rect.right, rect.top);
}

void TSortGrid::AutoSizeColumn(int col) {
  if (col < 0 || col >= ColCount()) return;
  TWindowCanvas canvas;
  int widest = 0;
  int header = 0;
  for (int r = 0; r < RowCount(); ++r) {
    canvas.Font()->Assign(Font());
    TFormatOptions format = DefaultFormat(&canvas);
    const TGridDrawState state = r == 0 ? TGridDrawState{gdFixed} : 0;
    if (OnGetCellFormat && !IsDestroying()) OnGetCellFormat(this, col, r, state, format);
    const int width = canvas.TextWidth(Cells(col, r));
    if (r == 0) header = width;
    else widest = std::max(widest, width);
  }
  canvas.Font()->Assign(Font());
  SetColWidths(col, AutoColumnWidth(widest, header, col == sortOptions_->sortCol_, canvas.TextWidth("xx"),
                                    canvas.TextWidth("X")));
}

void TSortGrid::AutoSizeColumns() {
  for (int c = 0; c < ColCount(); ++c) AutoSizeColumn(c);
}

// ---- Keys and mouse --------------------------------------------------------------------

void TSortGrid::KeyDown(WORD& key, TShiftState shift) {
  const TShiftState keys = shift & (ssShift | ssAlt | ssCtrl);
  if (extendedKeys_ && !EditorMode()) {
    if (keys == ssCtrl && key == VK_INSERT) {
      InsertRow(Row());
      key = 0;
    } else if (keys == ssCtrl && key == VK_DELETE) {
      if (RowCount() > 2) DeleteRow(Row());
      key = 0;
    } else if (keys == (ssCtrl | ssShift) && key == VK_INSERT) {
      InsertColumn(Col());
      key = 0;
    } else if (keys == (ssCtrl | ssShift) && key == VK_DELETE) {
      if (ColCount() > 1) DeleteColumn(Col());
      key = 0;
    }
    if (key == 0) return;
  }
  const bool navigation = IsNavigationKey(key);
  FitSelection();
  if (navigation && (!multiSelect_ || !(shift & ssShift))) {
    selection_.NavigationKeyDown(false);
    if (multiSelect_) Invalidate();
  }
  TStringGrid::KeyDown(key, shift);
  if (navigation && multiSelect_ && keys == ssShift) {
    selection_.NavigationMoved(Row(), true);
    Invalidate();
  }
}

void TSortGrid::KeyUp(WORD& key, TShiftState shift) {
  if (multiSelect_ && !(shift & ssShift) && IsNavigationKey(key)) {
    FitSelection();
    selection_.NavigationKeyUp(Row());
    Invalidate();
  }
  TStringGrid::KeyUp(key, shift);
}

void TSortGrid::KeyPress(char& key) {
  if (!EditorMode()) {
    key = UpperKey(key);
    std::vector<std::string> firstColumn;
    for (int r = 0; r < RowCount(); ++r) firstColumn.push_back(Cells(0, r));
    const int row = TypeAheadRow(firstColumn, Row(), key);
    if (row >= 1) MoveToCell(0, row);
  }
  TStringGrid::KeyPress(key);
}

TGridCoord TSortGrid::PointerCell(int x, int y) {
  TGridCoord cell = MouseCoord(x, y);
  if (cell.Y < 0 && y >= 0) cell.Y = RowCount() - 1;
  return cell;
}

void TSortGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouseDownLeftCol_ = LeftCol();
  const TGridCoord cell = PointerCell(x, y);
  mouseDownCol_ = cell.X;
  if (multiSelect_) {
    FitSelection();
    const TShiftState state = shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle);
    selection_.MouseDown(cell.Y, button == mbLeft && state == ssLeft,
                         button == mbLeft && state == (ssLeft | ssCtrl));
    Invalidate();
  }
  TStringGrid::MouseDown(button, shift, x, y);
}

void TSortGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  SetLeftCol(mouseDownLeftCol_);
  const TGridCoord cell = PointerCell(x, y);
  const bool sizing = GridState() == gsColSizing;
  if (!sizing && cell.Y == 0 && cell.X == mouseDownCol_ && cell.X >= 0 && cell.X < ColCount()) {
    TSortDirection direction = sdAscending;
    if (cell.X == sortOptions_->sortCol_ && sortOptions_->direction_ == sdAscending) direction = sdDescending;
    if (button == mbRight) direction = sdDescending;
    sortOptions_->direction_ = direction;
    SortByColumn(cell.X);
  }
  if (multiSelect_) {
    FitSelection();
    selection_.MouseUp(cell.Y, (shift & (ssShift | ssAlt | ssCtrl)) == ssShift);
    Invalidate();
  }
  TStringGrid::MouseUp(button, shift, x, y);
}

// ---- Search and filter -----------------------------------------------------------------

bool TSortGrid::ApplyFilter(int startRow) {
  const TSearchSpec& spec = searchOptions_->Spec();
  if (!searchOptions_->Filtered()) {
    const TGridCoord found = FindCell(CellStore(), ColCount(), RowCount(), spec, startRow);
    if (found.Y < 0) return false;
    MoveToCell(found.X, found.Y);
    return true;
  }
  const int rows = filter_.Apply(CellStore(), ColCount(), RowCount(), spec);
  SetRowCount(rows);
  MoveToCell(0, 1);
  updateOnSizeChange_ = true;
  Invalidate();
  return filter_.Matched();
}

void TSortGrid::FilterChanged(bool on) {
  {
    UpdateScope scope(this);
    if (on) {
      ApplyFilter(1);
    } else {
      SetRowCount(filter_.Restore(CellStore(), RowCount()));
    }
    SortByColumn(sortOptions_->sortCol_);
  }
  FitSelection();
}
