#include "kit/sort_grid_logic.h"

#include <algorithm>

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/sysutils.h"

namespace {

bool ToNumber(const std::string& text, double& value) {
  return TryStrToFloat(text, value, FormatSettings().DecimalSeparator);
}

bool ToDateTime(const std::string& text, double& value) {
  TDateTime result;
  if (!TryStrToDateTime(text, result)) return false;
  value = result;
  return true;
}

bool ToTime(const std::string& text, double& value) {
  TDateTime result;
  if (!TryStrToTime(text, result)) return false;
  value = result;
  return true;
}

using Converter = bool (*)(const std::string&, double&);

Converter ConverterOf(TSortStyle style) {
  switch (style) {
    case ssNumeric: return &ToNumber;
    case ssDateTime: return &ToDateTime;
    case ssTime: return &ToTime;
    default: return nullptr;
  }
}

// One text as the comparison sees it.
struct SortEntry {
  std::string text;
  double value = 0;
  bool converts = true;
  int index = 0;
};

}  // namespace

TSortStyle DetectSortStyle(const std::vector<std::string>& texts) {
  bool numeric = true;
  bool time = true;
  bool dateTime = true;
  double value = 0;
  for (const std::string& text : texts) {
    if (numeric && !ToNumber(text, value)) numeric = false;
    if (time && !ToTime(text, value)) time = false;
    if (dateTime && !ToDateTime(text, value)) dateTime = false;
  }
  if (numeric) return ssNumeric;
  if (dateTime) return ssDateTime;
  if (time) return ssTime;
  return ssNormal;
}

std::vector<int> ParseSortKeys(int col, const std::string& secondaryIndex) {
  std::vector<int> keys{col};
  if (secondaryIndex.empty()) return keys;
  size_t start = 0;
  for (;;) {
    const size_t comma = secondaryIndex.find(',', start);
    const std::string entry = secondaryIndex.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const int key = StrToInt(entry);
    if (key != col) keys.push_back(key);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return keys;
}

std::vector<int> SortedOrder(const std::vector<std::string>& texts, TSortStyle style, bool caseSensitive,
                             TSortDirection direction) {
  const Converter convert = ConverterOf(style);
  std::vector<SortEntry> entries(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    SortEntry& e = entries[i];
    e.index = static_cast<int>(i);
    e.text = caseSensitive ? texts[i] : LowerCase(texts[i]);
    if (convert != nullptr) e.converts = convert(e.text, e.value);
  }
  const bool descending = direction == sdDescending;
  // A strict weak order: texts that do not convert go last in their former order, so the
  // comparison stays transitive whatever the column holds.
  std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
    if (a.converts != b.converts) return a.converts;
    if (!a.converts) return false;
    int c = 0;
    if (convert != nullptr)
      c = a.value < b.value ? -1 : (b.value < a.value ? 1 : 0);
    else
      c = a.text.compare(b.text);
    if (c == 0) return false;
    return descending ? c > 0 : c < 0;
  });
  std::vector<int> order;
  order.reserve(entries.size());
  for (const SortEntry& e : entries) order.push_back(e.index);
  return order;
}

int SortColAfterMove(int sortCol, int from, int to) {
  if (sortCol == from) return to;
  if (sortCol < from && sortCol >= to) return sortCol + 1;
  if (sortCol > from && sortCol <= to) return sortCol - 1;
  return sortCol;
}

int SortColAfterDelete(int sortCol, int deleted) {
  if (sortCol == deleted) return 0;
  return sortCol > deleted ? sortCol - 1 : sortCol;
}

int HeaderTextRoom(int colWidth, bool sortColumn) {
  return colWidth - 1 - (sortColumn ? 11 : 0);
}

std::string ShortenHeaderText(const std::string& text, int room, const TTextWidthFn& width) {
  if (AnsiCharCount(text) < 2 || width(text) <= room) return text;
  std::string kept = AnsiDropLastChars(text, 2);
  while (AnsiCharCount(kept) >= 2 && width(kept + "..") > room) kept = AnsiDropLastChars(kept, 1);
  return kept + "..";
}

int HorzTextOffset(int alignment, int cellWidth, int textWidth) {
  switch (alignment) {
    case 1: return cellWidth - textWidth - 2;
    case 2: return (cellWidth - textWidth) / 2;
    default: return 2;
  }
}

int VertTextOffset(TVertAlignment alignment, int cellHeight, int textHeight) {
  switch (alignment) {
    case taBottomJustify: return cellHeight - textHeight - 3;
    case taMiddle: return (cellHeight - textHeight) / 2;
    default: return 2;
  }
}

int SortArrowWidth(int cellWidth) {
  return cellWidth < 11 ? cellWidth - 3 : 8;
}

int AutoColumnWidth(int widestData, int headerWidth, bool sortColumn, int widthOfXX, int widthOfX) {
  int result = std::max(widestData, headerWidth);
  if (sortColumn) result += 12;
  return result < 1 ? widthOfXX : widthOfX + result;
}

char UpperKey(char key) {
  return key >= 'a' && key <= 'z' ? static_cast<char>(key - 'a' + 'A') : key;
}

int TypeAheadRow(const std::vector<std::string>& firstColumn, int currentRow, char key) {
  const char wanted = UpperKey(key);
  const int rowCount = static_cast<int>(firstColumn.size());
  auto starts = [&](int r) {
    const std::string& text = firstColumn[static_cast<size_t>(r)];
    return !text.empty() && UpperKey(text[0]) == wanted;
  };
  for (int r = std::max(currentRow + 1, 1); r < rowCount; ++r)
    if (starts(r)) return r;
  for (int r = 1; r <= currentRow && r < rowCount; ++r)
    if (starts(r)) return r;
  return -1;
}

// ---- Multiple selection ----------------------------------------------------------------

TRowSelection::TRowSelection(int rowCount) : flags_(static_cast<size_t>(std::max(rowCount, 0)), false) {
  if (flags_.size() > 1) flags_[1] = true;
}

void TRowSelection::Fit(int rowCount) {
  const size_t count = static_cast<size_t>(std::max(rowCount, 0));
  if (count < flags_.size()) flags_.assign(count, false);
  else flags_.resize(count, false);
}

bool TRowSelection::IsSelected(int row) const {
  return row >= 1 && row < RowCount() && flags_[static_cast<size_t>(row)];
}

void TRowSelection::Clear() {
  std::fill(flags_.begin(), flags_.end(), false);
}

void TRowSelection::SetSelected(int row, bool value) {
  if (row >= 1 && row < RowCount()) flags_[static_cast<size_t>(row)] = value;
}

void TRowSelection::SelectRange(int a, int b) {
  if (RowCount() < 2) return;
  a = ClampRow(a);
  b = ClampRow(b);
  for (int r = std::min(a, b); r <= std::max(a, b); ++r) flags_[static_cast<size_t>(r)] = true;
}

std::vector<int> TRowSelection::SelectedRows() const {
  std::vector<int> rows;
  for (int r = 1; r < RowCount(); ++r)
    if (flags_[static_cast<size_t>(r)]) rows.push_back(r);
  return rows;
}

int TRowSelection::ClampRow(int row) const {
  return std::clamp(row, 1, std::max(1, RowCount() - 1));
}

void TRowSelection::MouseDown(int row, bool plainLeft, bool ctrlLeft) {
  mouseDownRow_ = row;
  if (row < 1 || RowCount() < 2) return;  // the header holds no selection
  row = ClampRow(row);
  mouseDownRow_ = row;
  if (plainLeft) {
    Clear();
    SetSelected(row, true);
    anchor_ = row;
  } else if (ctrlLeft) {
    const bool now = !IsSelected(row);
    SetSelected(row, now);
    if (now) anchor_ = row;
  }
}

void TRowSelection::MouseUp(int row, bool shiftOnly) {
  if (RowCount() < 2 || mouseDownRow_ < 1) return;
  row = ClampRow(row);
  if (row != mouseDownRow_) SelectRange(mouseDownRow_, row);
  if (shiftOnly) {
    Clear();
    SelectRange(anchor_, row);
  }
}

void TRowSelection::NavigationKeyDown(bool shiftHeld) {
  if (!shiftHeld) Clear();
}

void TRowSelection::NavigationMoved(int newRow, bool shiftOnly) {
  if (!shiftOnly) return;
  Clear();
  SelectRange(anchor_, newRow);
}

void TRowSelection::NavigationKeyUp(int currentRow) {
  if (currentRow < 1 || currentRow >= RowCount()) return;
  SetSelected(currentRow, true);
  anchor_ = currentRow;
}

bool IsNavigationKey(unsigned key) {
  return key >= 0x21 && key <= 0x28;
}

// ---- Search and filter -----------------------------------------------------------------

bool CellContains(const std::string& cell, const TSearchSpec& spec) {
  if (spec.CaseSensitive) return AnsiFindText(cell, spec.Text) != std::string::npos;
  return AnsiFindText(LowerCase(cell), LowerCase(spec.Text)) != std::string::npos;
}

bool RowMatches(const TGridCells& cells, int colCount, int row, const TSearchSpec& spec) {
  if (spec.SearchCol >= 0) return spec.SearchCol < colCount && CellContains(cells.Cell(spec.SearchCol, row), spec);
  for (int c = 0; c < colCount; ++c)
    if (CellContains(cells.Cell(c, row), spec)) return true;
  return false;
}

TGridCoord FindCell(const TGridCells& cells, int colCount, int rowCount, const TSearchSpec& spec, int startRow) {
  if (spec.SearchCol >= colCount) return {};
  for (int r = std::max(startRow, 1); r < rowCount; ++r) {
    if (spec.SearchCol >= 0) {
      if (CellContains(cells.Cell(spec.SearchCol, r), spec)) return {spec.SearchCol, r};
      continue;
    }
    for (int c = 0; c < colCount; ++c)
      if (CellContains(cells.Cell(c, r), spec)) return {c, r};
  }
  return {};
}

int TRowFilter::Apply(TGridCells& cells, int colCount, int rowCount, const TSearchSpec& spec) {
  if (active_) rowCount = Restore(cells, rowCount);
  std::vector<std::vector<std::string>> shown;
  for (int r = 1; r < rowCount; ++r) {
    if (RowMatches(cells, colCount, r, spec))
      shown.push_back(cells.Row(r));
    else
      hidden_.push_back(cells.Row(r));
  }
  active_ = true;
  matched_ = !shown.empty();
  emptyRow_ = matched_ ? 0 : 1;
  if (!matched_) shown.emplace_back();
  for (size_t k = 0; k < shown.size(); ++k) cells.SetRow(static_cast<int>(k) + 1, std::move(shown[k]));
  const int newCount = static_cast<int>(shown.size()) + 1;
  // What lies below the shown rows is not kept: the hidden rows live here.
  cells.TruncateRows(newCount);
  return newCount;
}

int TRowFilter::Restore(TGridCells& cells, int rowCount) {
  if (!active_) return rowCount;
  if (emptyRow_ > 0 && emptyRow_ < rowCount) {
    cells.DeleteRow(emptyRow_);
    --rowCount;
  }
  cells.TruncateRows(rowCount);
  for (auto& row : hidden_) cells.SetRow(rowCount++, std::move(row));
  Drop();
  return rowCount;
}

void TRowFilter::Drop() {
  hidden_.clear();
  active_ = false;
  matched_ = false;
  emptyRow_ = 0;
}

void TRowFilter::RowMoved(int from, int to) {
  if (emptyRow_ <= 0 || from == to) return;
  if (from == emptyRow_) emptyRow_ = to;
  else if (from < emptyRow_ && to >= emptyRow_) --emptyRow_;
  else if (from > emptyRow_ && to <= emptyRow_) ++emptyRow_;
}

void TRowFilter::RowsPermuted(int first, const std::vector<int>& order) {
  if (emptyRow_ < first) return;
  for (size_t k = 0; k < order.size(); ++k)
    if (order[k] == emptyRow_) {
      emptyRow_ = first + static_cast<int>(k);
      return;
    }
}

void TRowFilter::RowCountChanged(int rowCount) {
  if (emptyRow_ >= rowCount) emptyRow_ = 0;
}
