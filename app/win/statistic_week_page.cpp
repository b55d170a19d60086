// The week table page of the statistics window: the header row of weekday names, the
// table of weeks drawn from the hidden text table sgData, and the day marks.
#include "app/win/statistic_form.h"

#include <cmath>

#include "app/win/form_parts.h"
#include "kit/win/kit_draw_grid.h"
#include "kit/win/spin_edit.h"

namespace {

constexpr int DayColumns = 7;
constexpr int Columns = 8;
constexpr int ColumnWidth = 68;
constexpr TColor WeekHeaderColor = 0xC080FF;
constexpr TColor WeekendColor = 0xC0C0C0;
constexpr TColor SecondTimeColor = 0x808080;

void SetFont(TLabel* label, const char* name, int height, TColor color) {
  label->Font()->SetName(name);
  label->Font()->SetHeight(height);
  label->Font()->SetColor(color);
}

// The tab-separated parts of a table cell (missing parts are empty).
void SplitCell(const std::string& text, std::string parts[3]) {
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    if (start > text.size()) {
      parts[i].clear();
      continue;
    }
    const size_t tab = i < 2 ? text.find('\t', start) : std::string::npos;
    parts[i] = text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    start = tab == std::string::npos ? text.size() + 1 : tab + 1;
  }
}

}  // namespace

void TformStatistic::BuildGridPage(TPanel* page) {
  auto grid = [this, page](const char* name, int rowHeight) {
    auto* g = MakeControl<TKitDrawGrid>(this, name, page, 0, 0, 571, rowHeight + 1);
    g->SetColCount(Columns);
    g->SetRowCount(1);
    g->SetFixedCols(0);
    g->SetFixedRows(0);
    g->SetDefaultColWidth(ColumnWidth);
    g->SetDefaultRowHeight(rowHeight);
    g->SetDefaultDrawing(false);
    g->SetOptions(GridOpt(goVertLine) | GridOpt(goHorzLine));
    return g;
  };
  gridWeek = grid("gridWeek", 23);
  gridWeek->SetAlign(alTop);
  gridWeek->SetBorderStyle(bsNone);
  gridWeek->SetScrollBars(ssNone);
  gridWeek->Font()->SetName("MS Sans Serif");
  gridWeek->Font()->SetHeight(-11);
  gridWeek->OnDrawCell = [this](TObject* s, int c, int r, const RECT& rect, TGridDrawState st) {
    gridWeekDrawCell(s, c, r, rect, st);
  };
  KitDrawGrid = grid("KitDrawGrid", 35);
  KitDrawGrid->SetAlign(alClient);
  KitDrawGrid->SetScrollBars(ssVertical);
  KitDrawGrid->OnDrawCell = [this](TObject* s, int c, int r, const RECT& rect, TGridDrawState st) {
    KitDrawGridDrawCell(s, c, r, rect, st);
  };

  sgData = MakeControl<TStringGrid>(this, "sgData", page, -600, -600, 100, 50);
  sgData->SetVisible(false);
  sgData->SetFixedCols(0);
  sgData->SetFixedRows(0);
  sgData->SetColCount(Columns);
  sgData->SetRowCount(1);
  lSmallFont = AddLabel(page, "lSmallFont", "", -200, -200);
  lSmallFont->SetVisible(false);
  SetFont(lSmallFont, "Small Fonts", -9, clWindowText);
  lNormalFont = AddLabel(page, "lNormalFont", "", -200, -200);
  lNormalFont->SetVisible(false);
  SetFont(lNormalFont, "MS Sans Serif", -11, clBtnText);
}

void TformStatistic::ShowWeekRows() {
  KitDrawGrid->SetRowCount(week_.Rows());
  sgData->SetRowCount(week_.Rows());
  FillWeekTable();
}

void TformStatistic::FillWeekTable() {
  for (int col = 0; col < Columns; ++col)
    for (int row = 0; row < sgData->RowCount(); ++row) sgData->SetCells(col, row, week_.CellText(col, row));
}

void TformStatistic::RepaintWeekTable() {
  gridWeek->Invalidate();
  KitDrawGrid->Invalidate();
}

TColor TformStatistic::MarkColor(int mark) const {
  switch (mark) {
    case 1: return lMark1->Font()->Color();
    case 2: return lMark2->Font()->Color();
    case 3: return lMark3->Font()->Color();
    default: return lSmallFont->Font()->Color();
  }
}

// ---- Drawing the week table -------------------------------------------------------------------

void TformStatistic::KitDrawGridDrawCell(TObject*, int col, int row, const RECT& rect, TGridDrawState) {
  TCanvas* canvas = KitDrawGrid->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(rect);
  std::string parts[3];
  SplitCell(sgData->Cells(col, row), parts);
  const bool comparison = key2_ != NoneKey;
  if (col < DayColumns) {
    canvas->Font()->Assign(lSmallFont->Font());
    // The hours of a mark come from the day's value, whatever separator the time text uses.
    const int mark = DayMark(!parts[1].empty(), week_.DaySeconds(col, row, 1),
                             static_cast<int>(std::lround(edMark2->Value())),
                             static_cast<int>(std::lround(edMark3->Value())));
    canvas->Font()->SetColor(MarkColor(mark));
    KitDrawGrid->DrawTextInRect(RECT{rect.left, rect.top, rect.right, rect.bottom - ScaleValue(25)}, parts[0], 1);
    canvas->Font()->Assign(lNormalFont->Font());
    if (comparison) {
      KitDrawGrid->DrawTextInRect(RECT{rect.left, rect.top + ScaleValue(22), rect.right, rect.bottom}, parts[2], 2);
      canvas->Font()->SetColor(SecondTimeColor);
    }
    KitDrawGrid->DrawTextInRect(
        RECT{rect.left, rect.top + ScaleValue(10), rect.right, comparison ? rect.bottom - ScaleValue(13) : rect.bottom}, parts[1], 2);
    if (parts[0].empty()) {
      // A day outside the range: hatched.
      UniqueBrush hatch(CreateHatchBrush(HS_BDIAGONAL, WeekendColor));
      HDC dc = canvas->Handle();
      HGDIOBJ previous = SelectObject(dc, hatch.get());
      const int oldMode = SetBkMode(dc, TRANSPARENT);
      ::Rectangle(dc, rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1);
      SetBkMode(dc, oldMode);
      SelectObject(dc, previous);
    }
    return;
  }
  canvas->Font()->Assign(lNormalFont->Font());
  canvas->Font()->SetStyle(fsBold);
  if (!comparison) {
    KitDrawGrid->DrawTextInRect(rect, parts[0], 2);
    return;
  }
  KitDrawGrid->DrawTextInRect(RECT{rect.left, rect.top + ScaleValue(17), rect.right, rect.bottom}, parts[1], 2);
  canvas->Font()->SetColor(SecondTimeColor);
  KitDrawGrid->DrawTextInRect(RECT{rect.left, rect.top, rect.right, rect.bottom - ScaleValue(15)}, parts[0], 2);
}

void TformStatistic::gridWeekDrawCell(TObject*, int col, int, const RECT& rect, TGridDrawState) {
  TCanvas* canvas = gridWeek->Canvas();
  canvas->Font()->Assign(gridWeek->Font());
  canvas->Font()->SetColor(clBlack);
  canvas->Font()->SetStyle(fsBold);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(col == DayColumns ? WeekHeaderColor : week_.WeekendColumn(col) ? WeekendColor : clWhite);
  canvas->FillRect(rect);
  gridWeek->DrawTextInRect(rect, week_.HeaderText(col), 2);
}
