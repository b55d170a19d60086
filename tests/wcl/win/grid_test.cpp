#include "platform/wcl/win/grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/form.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

class GridTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 360, 260);
    grid = new TStringGrid(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(4, 4, 330, 200);
    grid->SetColCount(5);
    grid->SetRowCount(20);
    grid->SetDefaultColWidth(60);
    grid->SetDefaultRowHeight(20);
    for (int c = 0; c < 5; ++c)
      for (int r = 0; r < 20; ++r) grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
    form->Show();
  }
  void TearDown() override {
    form.reset();
    AppTest::TearDown();
  }

  LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
  LPARAM Centre(int col, int row) {
    const RECT r = grid->CellRect(col, row);
    return At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void Key(WORD key) { grid->Perform(WM_KEYDOWN, key, 1); }

  std::unique_ptr<TForm> form;
  TStringGrid* grid = nullptr;
};

}  // namespace

TEST_F(GridTest, KeysMoveTheCurrentCellWithinTheScrolledCells) {
  EXPECT_EQ(1, grid->Col());
  EXPECT_EQ(1, grid->Row());
  Key(VK_LEFT);
  EXPECT_EQ(1, grid->Col()) << "the fixed column is never current";
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(2, grid->Col());
  EXPECT_EQ(2, grid->Row());
  Key(VK_END);
  EXPECT_EQ(4, grid->Col());
  Key(VK_NEXT);
  EXPECT_GT(grid->Row(), 2);
  EXPECT_GE(grid->Row(), grid->TopRow()) << "the current row is scrolled into view";
  grid->Perform(WM_KEYDOWN, VK_END, 1);
  grid->SetRow(19);
  EXPECT_EQ(19, grid->Row());
  const RECT last = grid->CellRect(4, 19);
  EXPECT_FALSE(IsRectEmpty(&last));
  Key(VK_DOWN);
  EXPECT_EQ(19, grid->Row());
}

TEST_F(GridTest, NewFixedCountsScrollBackToTheFirstCells) {
  grid->SetLeftCol(3);
  grid->SetTopRow(9);
  grid->SetFixedCols(0);
  EXPECT_EQ(0, grid->LeftCol());
  EXPECT_EQ(1, grid->TopRow());
  grid->SetFixedRows(3);
  EXPECT_EQ(3, grid->Row()) << "a current row that became fixed moves below the fixed rows";
  const RECT first = grid->CellRect(0, 1);
  EXPECT_EQ(0, first.left);
}

TEST_F(GridTest, OnSelectCellCanRefuseACell) {
  grid->OnSelectCell = [](TObject*, int col, int, bool& can) { can = col != 3; };
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, Centre(3, 2));
  grid->Perform(WM_LBUTTONUP, 0, Centre(3, 2));
  EXPECT_EQ(1, grid->Col());
  EXPECT_EQ(1, grid->Row());
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, Centre(2, 2));
  grid->Perform(WM_LBUTTONUP, 0, Centre(2, 2));
  EXPECT_EQ(2, grid->Col());
  EXPECT_EQ(2, grid->Row());
}

TEST_F(GridTest, ScrollBarAndWheelMoveTheTopRow) {
  grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(2, grid->TopRow());
  grid->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  const int bottom = grid->TopRow();
  EXPECT_GT(bottom, 2);
  grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(bottom, grid->TopRow()) << "no scrolling past the last row";
  grid->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(bottom - 3, grid->TopRow());
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  GetScrollInfo(grid->Handle(), SB_VERT, &info);
  EXPECT_EQ(bottom - 3 - 1, info.nPos) << "the bar shows the position";
}

TEST_F(GridTest, DraggingAFixedCellsBorderSizesItsColumnOrRow) {
  grid->SetOptions(grid->Options() | GridOpt(goColSizing));
  const RECT cell = grid->CellRect(1, 0);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(cell.right, 5));
  EXPECT_EQ(gsColSizing, grid->GridState());
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(cell.right + 25, 5));
  grid->Perform(WM_LBUTTONUP, 0, At(cell.right + 25, 5));
  EXPECT_EQ(85, grid->ColWidths(1));
  EXPECT_EQ(gsNormal, grid->GridState());

  grid->SetOptions(grid->Options() | GridOpt(goRowSizing));
  const RECT row = grid->CellRect(0, 2);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(10, row.bottom));
  EXPECT_EQ(gsRowSizing, grid->GridState());
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(10, row.bottom - 8));
  grid->Perform(WM_LBUTTONUP, 0, At(10, row.bottom - 8));
  EXPECT_EQ(12, grid->RowHeights(2));
}

TEST_F(GridTest, DraggingAHeaderMovesTheColumnWithItsCells) {
  grid->SetOptions(grid->Options() | GridOpt(goColMoving) | GridOpt(goRowMoving));
  grid->SetColWidths(1, 70);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, Centre(1, 0));
  EXPECT_EQ(gsColMoving, grid->GridState());
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, Centre(3, 0));
  grid->Perform(WM_LBUTTONUP, 0, Centre(3, 0));
  EXPECT_EQ("1:5", grid->Cells(3, 5));
  EXPECT_EQ("3:5", grid->Cells(2, 5));
  EXPECT_EQ(70, grid->ColWidths(3)) << "the width went with the column";

  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, Centre(0, 4));
  EXPECT_EQ(gsRowMoving, grid->GridState());
  grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(5, -30));  // above the grid: the first row
  grid->Perform(WM_LBUTTONUP, 0, At(5, -30));
  EXPECT_EQ("0:4", grid->Cells(0, 1));
  EXPECT_EQ("0:1", grid->Cells(0, 2));
}

TEST_F(GridTest, RowsCutOffKeepTheirTextsAndPaintingFillsFixedAndSelectedCells) {
  grid->SetRowCount(3);
  grid->SetRowCount(20);
  EXPECT_EQ("2:10", grid->Cells(2, 10));
  grid->SetOptions(grid->Options() | GridOpt(goDrawFocusSelected));  // focused or not
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
  grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()), 0);
  const RECT fixed = grid->CellRect(0, 3);
  EXPECT_EQ(ColorToRGB(clBtnFace) & 0xFFFFFF, bitmap->Canvas()->Pixels(fixed.right - 3, fixed.bottom - 3) & 0xFFFFFF);
  const RECT current = grid->CellRect(1, 1);
  EXPECT_EQ(ColorToRGB(clHighlight) & 0xFFFFFF,
            bitmap->Canvas()->Pixels(current.right - 3, current.bottom - 3) & 0xFFFFFF);
  const RECT plain = grid->CellRect(2, 3);
  EXPECT_EQ(ColorToRGB(clWindow) & 0xFFFFFF, bitmap->Canvas()->Pixels(plain.right - 3, plain.bottom - 3) & 0xFFFFFF);
}
