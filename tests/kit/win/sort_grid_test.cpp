#include "kit/win/sort_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/screen.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

class SortGridTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(60, 60, 420, 320);
    grid = new TSortGrid(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(8, 8, 390, 270);
    grid->SetColCount(3);
    grid->SetDefaultColWidth(110);
    grid->SetCells(0, 0, "Name");
    grid->SetCells(1, 0, "Size");
    grid->SetCells(2, 0, "Kind");
  }
  void TearDown() override {
    form.reset();
    AppTest::TearDown();
  }

  // Data rows of (name, size, kind).
  void Fill(const std::vector<std::vector<std::string>>& rows) {
    grid->SetRowCount(static_cast<int>(rows.size()) + 1);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        grid->SetCells(static_cast<int>(c), static_cast<int>(r) + 1, rows[r][c]);
  }
  std::vector<std::string> Column(int col) {
    std::vector<std::string> texts;
    for (int r = 1; r < grid->RowCount(); ++r) texts.push_back(grid->Cells(col, r));
    return texts;
  }
  POINT Centre(int col, int row) {
    const RECT r = grid->CellRect(col, row);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Press(POINT p, UINT down = WM_LBUTTONDOWN, WPARAM keys = MK_LBUTTON) {
    grid->Perform(down, keys, MAKELPARAM(p.x, p.y));
  }
  void Release(POINT p, UINT up = WM_LBUTTONUP, WPARAM keys = 0) { grid->Perform(up, keys, MAKELPARAM(p.x, p.y)); }
  void Click(int col, int row, WPARAM extra = 0) {
    Press(Centre(col, row), WM_LBUTTONDOWN, MK_LBUTTON | extra);
    Release(Centre(col, row), WM_LBUTTONUP, extra);
  }
  void RightClick(int col, int row) {
    Press(Centre(col, row), WM_RBUTTONDOWN, MK_RBUTTON);
    Release(Centre(col, row), WM_RBUTTONUP);
  }
  // A key as the keyboard sends it, with Shift and Ctrl held as asked.
  void Key(WORD key, bool shift = false, bool ctrl = false) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    grid->Perform(WM_KEYDOWN, key, 1);
    grid->Perform(WM_KEYUP, key, 0xC0000001);
    state[VK_SHIFT] = state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  }
  std::unique_ptr<TBitmap> Render() {
    auto out = std::make_unique<TBitmap>();
    out->SetSize(grid->ClientWidth(), grid->ClientHeight());
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()), 0);
    return out;
  }

  std::unique_ptr<TForm> form;
  TSortGrid* grid = nullptr;
};

const std::vector<std::vector<std::string>> kFiles{
    {"delta", "10", "text"}, {"alpha", "9", "image"}, {"Charlie", "100", "text"}, {"bravo", "9", "audio"}};

}  // namespace

TEST_F(SortGridTest, HeaderClicksSortUpThenDownAndOnlyOnTheSameHeader) {
  form->Show();
  Fill(kFiles);
  grid->SortOptions()->SetSortStyle(ssAutomatic);
  Click(1, 0);
  EXPECT_EQ((std::vector<std::string>{"9", "9", "10", "100"}), Column(1)) << "sizes sort as numbers";
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "delta", "Charlie"}), Column(0)) << "ties keep their order";
  EXPECT_EQ(1, grid->SortOptions()->SortCol());
  Click(1, 0);
  EXPECT_EQ(sdDescending, grid->SortOptions()->SortDirection());
  EXPECT_EQ((std::vector<std::string>{"100", "10", "9", "9"}), Column(1));

  grid->SortOptions()->SetSortStyle(ssNormal);
  Click(0, 0);
  EXPECT_EQ(sdAscending, grid->SortOptions()->SortDirection()) << "another header starts ascending";
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "Charlie", "delta"}), Column(0));
  RightClick(0, 0);
  EXPECT_EQ((std::vector<std::string>{"delta", "Charlie", "bravo", "alpha"}), Column(0));

  Press(Centre(2, 0));
  Release(Centre(1, 0));
  EXPECT_EQ(0, grid->SortOptions()->SortCol()) << "a press and release on different headers sorts nothing";
  const RECT last = grid->CellRect(2, 0);
  Press(POINT{last.right + 20, 5});
  Release(POINT{last.right + 20, 5});
  EXPECT_EQ(0, grid->SortOptions()->SortCol()) << "right of the last column is no header";
}

TEST_F(SortGridTest, SortEventsSecondaryKeysAndTheCurrentRowFollowingItsContent) {
  Fill(kFiles);
  std::vector<std::string> events;
  grid->OnBeginSort = [&](TObject*, int col) { events.push_back("begin " + std::to_string(col)); };
  grid->OnEndSort = [&](TObject*, int col) { events.push_back("end " + std::to_string(col)); };
  grid->SetSecondaryIndex("0");
  grid->MoveToCell(0, 3);  // Charlie
  grid->SortByColumn(2);
  EXPECT_EQ((std::vector<std::string>{"begin 2", "end 0", "end 2"}), events);
  EXPECT_EQ((std::vector<std::string>{"bravo", "alpha", "Charlie", "delta"}), Column(0));
  EXPECT_EQ("Charlie", grid->Cells(0, grid->Row()));
  Fill({{"b"}, {"c"}, {"a"}});
  grid->SetSecondaryIndex("");
  grid->MoveToCell(0, 1);
  grid->SortByColumn(0);
  EXPECT_EQ(2, grid->Row()) << "b went from the first row to the second";

  events.clear();
  grid->SetRowCount(2);
  grid->SortByColumn(0);
  EXPECT_EQ((std::vector<std::string>{"begin 0"}), events) << "one data row: nothing to sort";
}

TEST_F(SortGridTest, ABadSecondaryIndexFailsBeforeTheGridIsLocked) {
  form->Show();
  Fill(kFiles);
  grid->SetSecondaryIndex("1,x");
  EXPECT_THROW(grid->SortByColumn(0), EConvertError);
  EXPECT_EQ(crDefault, Screen->Cursor());
  EXPECT_EQ("delta", grid->Cells(0, 1));
  grid->SetSecondaryIndex("1,7");  // a column the grid does not have is left out
  grid->SortByColumn(0);
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "Charlie", "delta"}), Column(0));
}

TEST_F(SortGridTest, SortingNeitherShowsAHiddenGridNorLeavesAShownOneUndrawn) {
  form->Show();
  Fill(kFiles);
  grid->Hide();
  grid->SortByColumn(0);
  EXPECT_FALSE(IsWindowVisible(grid->Handle()));
  grid->Show();
  grid->SearchOptions()->SetFiltered(true);  // a bracket with a sort nested inside
  EXPECT_TRUE(IsWindowVisible(grid->Handle()));
}

TEST_F(SortGridTest, ColumnsMovedAndDeletedKeepTheSortColumnRight) {
  Fill(kFiles);
  grid->SortByColumn(2);
  grid->MoveColumn(2, 0);
  EXPECT_EQ(0, grid->SortOptions()->SortCol());
  EXPECT_EQ((std::vector<std::string>{"audio", "image", "text", "text"}), Column(0));
  grid->DeleteColumn(0);
  EXPECT_EQ(0, grid->SortOptions()->SortCol());
  EXPECT_EQ(2, grid->ColCount());
  grid->SortByColumn(1);
  grid->DeleteColumn(0);
  EXPECT_EQ(0, grid->SortOptions()->SortCol()) << "the sort column moved left with its cells";
  grid->SortByColumn(grid->SortOptions()->SortCol());
  EXPECT_EQ(0, grid->Col());
}

TEST_F(SortGridTest, ExtendedKeysInsertAndDeleteRowsWithoutLosingData) {
  form->Show();
  Fill(kFiles);
  grid->SetExtendedKeys(true);
  grid->SetUpdateOnSizeChange(true);
  grid->MoveToCell(0, 3);
  Key(VK_INSERT, false, true);
  ASSERT_EQ(6, grid->RowCount());
  EXPECT_EQ("", grid->Cells(0, 3)) << "the new row is where it was asked for and empty";
  EXPECT_EQ((std::vector<std::string>{"delta", "alpha", "", "Charlie", "bravo"}), Column(0));
  grid->SetUpdateOnSizeChange(false);
  Key(VK_DELETE, false, true);
  EXPECT_EQ((std::vector<std::string>{"delta", "alpha", "Charlie", "bravo"}), Column(0));
  Key(VK_INSERT, true, true);
  EXPECT_EQ(4, grid->ColCount());
  EXPECT_EQ("", grid->Cells(0, 1));
  EXPECT_EQ("delta", grid->Cells(1, 1));
  Key(VK_DELETE, true, true);
  EXPECT_EQ(3, grid->ColCount());
  grid->SetRowCount(2);
  Key(VK_DELETE, false, true);
  EXPECT_EQ(2, grid->RowCount()) << "the last data row stays";
}

TEST_F(SortGridTest, TypeAheadMovesThroughRowsStartingWithTheKey) {
  form->Show();
  Fill({{"bob"}, {"anna"}, {"Bert"}, {"carl"}});
  std::string seen;
  grid->OnKeyPress = [&](TObject*, char& key) { seen += key; };
  grid->Perform(WM_CHAR, 'b', 0);
  EXPECT_EQ(3, grid->Row());
  grid->Perform(WM_CHAR, 'b', 0);
  EXPECT_EQ(1, grid->Row()) << "wraps to the top";
  EXPECT_EQ("BB", seen);
}

TEST_F(SortGridTest, FilterShowsMatchingRowsAndBringsTheRestBackSorted) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= 10; ++i)
    rows.push_back({(i == 2 || i == 5 || i == 9 ? "hit" : "row") + std::to_string(10 - i), std::to_string(i)});
  Fill(rows);
  grid->SearchOptions()->SetSearchText("HIT");
  grid->SearchOptions()->SetFiltered(true);
  EXPECT_EQ(4, grid->RowCount());
  EXPECT_EQ(7, grid->HiddenRowCount());
  EXPECT_EQ((std::vector<std::string>{"hit1", "hit5", "hit8"}), Column(0));
  EXPECT_TRUE(grid->UpdateOnSizeChange());

  grid->SearchOptions()->SetSearchText("row");
  grid->SearchOptions()->SetFiltered(true);
  EXPECT_EQ(8, grid->RowCount()) << "filtering again sees every row";
  grid->SearchOptions()->SetFiltered(false);
  EXPECT_EQ(11, grid->RowCount());
  EXPECT_EQ(0, grid->HiddenRowCount());
  EXPECT_EQ("hit1", grid->Cells(0, 1));
  EXPECT_EQ("row9", grid->Cells(0, 10));

  grid->SearchOptions()->SetSearchText("nowhere");
  grid->SearchOptions()->SetFiltered(true);
  EXPECT_EQ(2, grid->RowCount());
  EXPECT_EQ("", grid->Cells(0, 1));
  grid->SearchOptions()->SetFiltered(false);
  EXPECT_EQ(11, grid->RowCount());
  EXPECT_EQ("hit1", grid->Cells(0, 1));
}

TEST_F(SortGridTest, ClearingWhileFilteredDropsTheHiddenRows) {
  Fill(kFiles);
  grid->SearchOptions()->SetSearchText("a");
  grid->SearchOptions()->SetSearchCol(2);
  grid->SearchOptions()->SetFiltered(true);
  ASSERT_EQ(2, grid->HiddenRowCount());
  grid->Modified = true;
  grid->ClearRows();
  EXPECT_FALSE(grid->Modified);
  EXPECT_EQ(2, grid->RowCount());
  EXPECT_EQ(0, grid->HiddenRowCount());
  grid->SearchOptions()->SetFiltered(false);
  EXPECT_EQ(2, grid->RowCount());
  EXPECT_EQ("", grid->Cells(0, 1));
}

TEST_F(SortGridTest, SearchMovesToTheNextMatchingCell) {
  Fill(kFiles);
  grid->SearchOptions()->SetSearchText("XT");
  grid->SearchOptions()->SetSearchCol(2);
  EXPECT_TRUE(ApplyFilter(grid, 2));
  EXPECT_EQ(2, grid->Col());
  EXPECT_EQ(3, grid->Row());
  grid->SearchOptions()->SetCaseSensitive(true);
  EXPECT_FALSE(ApplyFilter(grid, 1));
  EXPECT_EQ(3, grid->Row()) << "no match leaves the cell";
}

TEST_F(SortGridTest, MultiSelectByMouseAndShiftKeys) {
  form->Show();
  Fill({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}, {"g"}, {"h"}});
  grid->SetMultiSelect(true);
  Click(0, 3);
  Click(0, 6, MK_SHIFT);
  EXPECT_EQ((std::vector<int>{3, 4, 5, 6}), grid->SelectedRows());
  Click(0, 4, MK_CONTROL);
  EXPECT_EQ((std::vector<int>{3, 5, 6}), grid->SelectedRows());
  Press(Centre(0, 7));
  Release(Centre(0, 5));
  EXPECT_EQ((std::vector<int>{5, 6, 7}), grid->SelectedRows()) << "a drag upwards";

  Click(0, 2);
  Key(VK_DOWN, true);
  Key(VK_DOWN, true);
  EXPECT_EQ(4, grid->Row());
  EXPECT_EQ((std::vector<int>{2, 3, 4}), grid->SelectedRows());
  Render();  // painting changes nothing
  EXPECT_EQ(4, grid->Row());
  Key(VK_DOWN);
  EXPECT_EQ((std::vector<int>{5}), grid->SelectedRows());
}

TEST_F(SortGridTest, EditingMarksTheGridModified) {
  form->Show();
  Fill(kFiles);
  grid->SetOptions(grid->Options() | GridOpt(goEditing) | GridOpt(goAlwaysShowEditor));
  grid->MoveToCell(0, 1);
  grid->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode() && grid->InplaceEditor()->Visible(); }));
  TInplaceEdit* editor = grid->InplaceEditor();
  EXPECT_EQ("delta", editor->Text());
  SendMessageA(editor->Handle(), EM_SETSEL, 0, -1);
  SendMessageA(editor->Handle(), WM_CHAR, 'x', 0);
  editor->Perform(WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(2, grid->Row());
  EXPECT_EQ("x", grid->Cells(0, 1));
  EXPECT_TRUE(grid->Modified);
  EXPECT_EQ("alpha", editor->Text()) << "the editor follows the current cell";
}

// Tab and Shift+Tab from the cell editor both leave the grid (going back from the editor
// must not land on its grid, which gives the focus straight back to the editor).
TEST_F(SortGridTest, AnEditorAlwaysShownLeavesTabAndShiftTabToTheForm) {
  auto* next = new TEdit(form.get());
  next->SetParent(form.get());
  next->SetBounds(8, 285, 100, 20);
  next->SetTabStop(true);
  grid->SetTabOrder(0);
  form->Show();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  Fill(kFiles);
  grid->SetOptions(grid->Options() | GridOpt(goEditing) | GridOpt(goAlwaysShowEditor));
  for (const unsigned modifiers : {real_input::kNone, real_input::kShift}) {
    grid->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode() && grid->InplaceEditor()->Focused(); }));
    real_input::PressKey(VK_TAB, modifiers);
    EXPECT_TRUE(next->Focused()) << modifiers;
  }
}

TEST_F(SortGridTest, PaintsHeaderArrowSelectionAndFormats) {
  form->Show();
  Fill(kFiles);
  grid->SetColWidths(1, 40);
  grid->SetCells(1, 0, "A long header");
  grid->SortByColumn(0);
  grid->SetMultiSelect(true);
  grid->OnGetCellFormat = [](TObject*, int col, int row, TGridDrawState, TFormatOptions& format) {
    if (col == 2 && row == 2) format.Brush->SetColor(0x00FFFF);
    if (col == 2 && row == 3) format.HideText = true;
  };
  Click(0, 2);
  auto bitmap = Render();
  TCanvas* canvas = bitmap->Canvas();
  const RECT header = grid->CellRect(0, 0);
  bool arrow = false;
  for (int x = header.left + 3; x < header.left + 11; ++x)
    for (int y = 0; y < 18; ++y) arrow |= (canvas->Pixels(x, y) & 0xFFFFFF) == (ColorToRGB(clBtnText) & 0xFFFFFF);
  EXPECT_TRUE(arrow) << "the sort column shows its arrow";
  const RECT selected = grid->CellRect(1, 2);
  EXPECT_EQ(ColorToRGB(clHighlight) & 0xFFFFFF, canvas->Pixels(selected.right - 2, selected.bottom - 2) & 0xFFFFFF);
  const RECT yellow = grid->CellRect(2, 2);
  EXPECT_EQ(0x00FFFFu, canvas->Pixels(yellow.right - 2, yellow.bottom - 2) & 0xFFFFFF);
  const RECT hidden = grid->CellRect(2, 3);
  for (int x = hidden.left; x < hidden.right; ++x)
    ASSERT_EQ(ColorToRGB(clWindow) & 0xFFFFFF, canvas->Pixels(x, hidden.top + 8) & 0xFFFFFF) << "hidden text";
}

TEST_F(SortGridTest, AutoSizeFitsTheWidestTextAndRoomForTheArrow) {
  Fill(kFiles);
  grid->SetCells(0, 2, "a much longer name than the others");
  grid->AutoSizeColumns();
  TWindowCanvas measure;
  measure.Font()->Assign(grid->Font());
  EXPECT_EQ(measure.TextWidth("X") + measure.TextWidth("a much longer name than the others") + 12, grid->ColWidths(0));
  int widest = 0;
  for (const char* text : {"Kind", "text", "image", "audio"}) widest = std::max(widest, measure.TextWidth(text));
  EXPECT_EQ(measure.TextWidth("X") + widest, grid->ColWidths(2));
}

namespace {

// Every pixel of a window, frame and scroll bars included, as the display shows it now.
std::vector<COLORREF> WindowPixels(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  std::vector<COLORREF> pixels;
  HDC dc = GetWindowDC(window);
  for (int y = 0; y < r.bottom - r.top; ++y)
    for (int x = 0; x < r.right - r.left; ++x) pixels.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(window, dc);
  return pixels;
}

// True when what the window shows now is what it shows once it is drawn again whole.
bool ShowsItsLatestPicture(HWND window) {
  real_input::Settle();
  const std::vector<COLORREF> shown = WindowPixels(window);
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  real_input::Settle();
  return WindowPixels(window) == shown;
}

// Where a cell's middle is, in the grid's client coordinates.
POINT CellMiddle(TSortGrid* grid, int col, int row) {
  const RECT r = grid->CellRect(col, row);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

TEST_F(SortGridTest, ARowInsertedWhileNothingMatchesSurvivesSwitchingTheFilterOff) {
  form->Show();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  grid->SetExtendedKeys(true);
  Fill(kFiles);
  grid->SearchOptions()->SetSearchText("nowhere");
  grid->SearchOptions()->SetFiltered(true);
  ASSERT_EQ(2, grid->RowCount());
  real_input::Click(grid->Handle(), CellMiddle(grid, 1, 1));
  real_input::PressKey(VK_INSERT, real_input::kCtrl);
  ASSERT_TRUE(real_input::PumpUntil([&] { return grid->RowCount() == 3; }));
  grid->SetCells(0, grid->Row(), "echo");
  grid->SearchOptions()->SetFiltered(false);
  std::vector<std::string> names = Column(0);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"Charlie", "alpha", "bravo", "delta", "echo"}), names)
      << "the empty row goes, the new one stays";
}

TEST_F(SortGridTest, HeaderClicksFindTheStyleOfEachColumnAndMakeItCurrent) {
  form->Show();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  Fill(kFiles);
  grid->SortOptions()->SetSortStyle(ssAutomatic);
  real_input::Click(grid->Handle(), CellMiddle(grid, 1, 0));
  EXPECT_EQ((std::vector<std::string>{"9", "9", "10", "100"}), Column(1)) << "sizes sort as numbers";
  EXPECT_EQ(1, grid->Col());
  // Names are no numbers: they sort as texts even after the sizes sorted as numbers.
  real_input::Click(grid->Handle(), CellMiddle(grid, 0, 0));
  EXPECT_EQ((std::vector<std::string>{"alpha", "bravo", "Charlie", "delta"}), Column(0));
  EXPECT_EQ(0, grid->Col());
  EXPECT_EQ(ssAutomatic, grid->SortOptions()->SortStyle());
  real_input::Click(grid->Handle(), CellMiddle(grid, 2, 0));
  EXPECT_EQ((std::vector<std::string>{"audio", "image", "text", "text"}), Column(2));
  EXPECT_EQ(2, grid->Col());
}

TEST_F(SortGridTest, ScrollBarsShowTheirNewStateAfterASortAndAFilterChange) {
  form->Show();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 60; ++i) rows.push_back({"name " + std::to_string(100 + i), std::to_string(i), i % 7 ? "text" : "mark"});
  Fill(rows);
  grid->MoveToCell(0, 55);
  real_input::Settle();
  ASSERT_GT(grid->TopRow(), 40);
  // Sorted downwards by name the current row comes near the top, and the thumb with it.
  real_input::Click(grid->Handle(), CellMiddle(grid, 0, 0), real_input::Button::Right);
  EXPECT_LT(grid->TopRow(), 10);
  EXPECT_TRUE(real_input::Screenshot("sort-grid-after-sort.png"));
  EXPECT_TRUE(ShowsItsLatestPicture(grid->Handle()));
  // Nine rows left: no scroll bar any more.
  grid->SearchOptions()->SetSearchText("mark");
  grid->SearchOptions()->SetSearchCol(2);
  grid->SearchOptions()->SetFiltered(true);
  EXPECT_EQ(10, grid->RowCount());
  EXPECT_TRUE(real_input::Screenshot("sort-grid-after-filter.png"));
  EXPECT_TRUE(ShowsItsLatestPicture(grid->Handle()));
}
