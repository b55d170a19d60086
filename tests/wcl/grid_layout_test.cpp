#include "platform/wcl/grid_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// 4 columns of 50, 10 rows of 20, one fixed row and column, in a 200 x 100 client area:
// each cell takes its size plus a 1-pixel line.
TGridLayout MakeLayout() {
  TGridLayout layout;
  layout.SetColCount(4);
  layout.SetRowCount(10);
  layout.SetDefaultColWidth(50);
  layout.SetDefaultRowHeight(20);
  layout.SetClientSize(200, 100);
  return layout;
}

std::vector<std::string> Texts(const TGridCells& cells, int col, int rows) {
  std::vector<std::string> texts;
  for (int r = 0; r < rows; ++r) texts.push_back(cells.Cell(col, r));
  return texts;
}

}  // namespace

TEST(GridLayout, CellRectsFollowSizesLinesAndScrolling) {
  TGridLayout layout = MakeLayout();
  EXPECT_EQ((TGridRect{0, 0, 50, 20}), layout.CellRect(0, 0));
  EXPECT_EQ((TGridRect{51, 21, 101, 41}), layout.CellRect(1, 1));
  layout.SetColWidth(1, 30);
  EXPECT_EQ((TGridRect{82, 21, 132, 41}), layout.CellRect(2, 1));

  ASSERT_TRUE(layout.SetTopRow(3));
  EXPECT_TRUE(layout.CellRect(1, 2).Empty()) << "scrolled above the top row";
  EXPECT_EQ((TGridRect{51, 21, 81, 41}), layout.CellRect(1, 3)) << "top row right below the fixed row";
  EXPECT_EQ((TGridRect{51, 0, 81, 20}), layout.CellRect(1, 0)) << "fixed rows never scroll";
  EXPECT_TRUE(layout.CellRect(4, 3).Empty());
  EXPECT_TRUE(layout.CellRect(1, 8).Empty()) << "below the client area";
}

TEST(GridLayout, ScrollPositionStaysWithinWhatFillsTheClientArea) {
  TGridLayout layout = MakeLayout();
  // 100 pixels less the fixed row's 21 leave room for 3 whole rows of 21: rows 7..9 last.
  EXPECT_EQ(7, layout.MaxTopRow());
  layout.SetTopRow(50);
  EXPECT_EQ(7, layout.TopRow());
  layout.SetTopRow(-3);
  EXPECT_EQ(1, layout.TopRow());
  EXPECT_EQ(3, layout.VisibleRowCount());

  layout.SetTopRow(7);
  layout.SetRowCount(5);
  EXPECT_EQ(2, layout.TopRow()) << "fewer rows pull the top row back";
  layout.SetClientSize(200, 1000);
  EXPECT_EQ(1, layout.TopRow());
}

TEST(GridLayout, ScrollInViewBringsACellJustInside) {
  TGridLayout layout = MakeLayout();
  EXPECT_FALSE(layout.ScrollInView(1, 3));
  EXPECT_TRUE(layout.ScrollInView(1, 6));
  EXPECT_EQ(4, layout.TopRow()) << "the row becomes the last whole row";
  EXPECT_TRUE(layout.ScrollInView(1, 2));
  EXPECT_EQ(2, layout.TopRow());
  EXPECT_TRUE(layout.ScrollInView(3, 2));
  EXPECT_EQ(2, layout.LeftCol());
  EXPECT_EQ(3, layout.LastVisibleCol());
}

TEST(GridLayout, MouseCoordGivesMinusOneBeyondTheCellsOnEachAxis) {
  TGridLayout layout = MakeLayout();
  EXPECT_EQ((TGridCoord{0, 0}), layout.MouseCoord(0, 0));
  EXPECT_EQ((TGridCoord{1, 1}), layout.MouseCoord(51, 21));
  EXPECT_EQ((TGridCoord{0, 1}), layout.MouseCoord(50, 21)) << "a cell's line belongs to it";
  layout.SetClientSize(400, 400);
  EXPECT_EQ((TGridCoord{-1, 0}), layout.MouseCoord(300, 5)) << "right of the last column";
  EXPECT_EQ((TGridCoord{2, -1}), layout.MouseCoord(120, 300)) << "below the last row";
  EXPECT_EQ((TGridCoord{-1, -1}), layout.MouseCoord(-1, -1));
}

TEST(GridLayout, SizingBordersAreFoundOnlyOverTheFixedCells) {
  TGridLayout layout = MakeLayout();
  EXPECT_EQ(0, layout.SizingColAt(50, 5));
  EXPECT_EQ(1, layout.SizingColAt(103, 5));
  EXPECT_EQ(-1, layout.SizingColAt(75, 5));
  EXPECT_EQ(-1, layout.SizingColAt(50, 30)) << "data rows do not size columns";
  EXPECT_EQ(1, layout.SizingRowAt(10, 42));
  EXPECT_EQ(-1, layout.SizingRowAt(60, 41)) << "only the fixed columns size rows";
}

TEST(GridLayout, CountsAndSizesAreKeptSane) {
  TGridLayout layout = MakeLayout();
  layout.SetRowCount(0);
  EXPECT_EQ(1, layout.RowCount());
  EXPECT_EQ(0, layout.FixedRows()) << "a fixed row needs a row below it";
  layout.SetColWidth(2, -5);
  EXPECT_EQ(0, layout.ColWidth(2));
  layout.SetColWidth(40, 10);  // ignored
  EXPECT_EQ(0, layout.ColWidth(40));
}

TEST(GridCells, RowsCutOffByTheCountKeepTheirTexts) {
  TGridCells cells;
  cells.SetCell(1, 5, "kept");
  cells.TruncateRows(9);
  EXPECT_EQ("kept", cells.Cell(1, 5));
  EXPECT_EQ("", cells.Cell(7, 70));
  cells.SetCell(-1, 2, "x");  // ignored
  EXPECT_EQ("", cells.Cell(-1, 2));
}

TEST(GridCells, MovesRotatePermuteAndDelete) {
  TGridCells cells;
  for (int r = 0; r < 5; ++r) cells.SetCell(0, r, std::to_string(r));
  cells.MoveRow(4, 1);
  EXPECT_EQ((std::vector<std::string>{"0", "4", "1", "2", "3"}), Texts(cells, 0, 5));
  cells.MoveRow(1, 4);
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2", "3", "4"}), Texts(cells, 0, 5));
  cells.MoveRow(6, 1);  // from past the stored rows: an empty row comes in
  EXPECT_EQ((std::vector<std::string>{"0", "", "1", "2", "3"}), Texts(cells, 0, 5));
  cells.DeleteRow(1);
  cells.PermuteRows(1, {4, 3, 2, 1});
  EXPECT_EQ((std::vector<std::string>{"0", "4", "3", "2", "1"}), Texts(cells, 0, 5));

  cells.SetCell(2, 0, "c");
  cells.MoveCol(2, 0);
  EXPECT_EQ("c", cells.Cell(0, 0));
  EXPECT_EQ("0", cells.Cell(1, 0));
  cells.DeleteCol(0);
  EXPECT_EQ("0", cells.Cell(0, 0));
}

// Positions, hits and sizing borders agree with a plain walk over every row from the top,
// for rows of random sizes (zero among them), fixed rows, lines and scroll positions, and a
// row far down a long grid answers at once.
TEST(GridLayout, PositionsAndHitsAgreeWithAWalkOverEveryRow) {
  unsigned seed = 7;
  auto next = [&seed](int bound) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(bound));
  };
  for (int round = 0; round < 200; ++round) {
    TGridLayout layout;
    layout.SetColCount(3);
    layout.SetRowCount(1 + next(60));
    layout.SetFixedRows(next(3));
    layout.SetGridLineWidth(next(3));
    for (int r = 0; r < layout.RowCount(); ++r) layout.SetRowHeight(r, next(4) == 0 ? 0 : 1 + next(25));
    layout.SetClientSize(100, next(200));
    layout.SetTopRow(next(layout.RowCount() + 2));
    // Where each row starts: fixed rows from the top, scrolled ones from the top row on;
    // -1 above the top row and from the client's bottom on.
    std::vector<int> starts(static_cast<size_t>(layout.RowCount()), -1);
    int pos = 0;
    for (int r = 0; r < layout.FixedRows(); ++r) {
      starts[static_cast<size_t>(r)] = pos;
      pos += layout.RowHeight(r) + layout.GridLineWidth();
    }
    for (int r = layout.TopRow(); r < layout.RowCount(); ++r) {
      if (pos < layout.ClientHeight()) starts[static_cast<size_t>(r)] = pos;
      pos += layout.RowHeight(r) + layout.GridLineWidth();
    }
    for (int r = 0; r < layout.RowCount(); ++r)
      ASSERT_EQ(layout.RowTop(r), starts[static_cast<size_t>(r)]) << "round " << round << ", row " << r;
    for (int y = -1; y < layout.ClientHeight() + 30; ++y) {
      int hit = -1, border = -1, distance = 3;
      for (int r = 0; r < layout.RowCount(); ++r) {
        const int start = starts[static_cast<size_t>(r)];
        if (start < 0) continue;
        if (hit < 0 && y >= start && y < start + layout.RowHeight(r) + layout.GridLineWidth()) hit = r;
        if (std::abs(y - (start + layout.RowHeight(r))) < distance) {
          border = r;
          distance = std::abs(y - (start + layout.RowHeight(r)));
        }
      }
      ASSERT_EQ(layout.MouseCoord(0, y).Y, hit) << "round " << round << ", y " << y;
      ASSERT_EQ(layout.SizingRowAt(0, y), layout.FixedWidth() > 0 ? border : -1) << "round " << round << ", y " << y;
    }
  }

  TGridLayout layout;
  layout.SetColCount(3);
  layout.SetRowCount(200001);
  layout.SetFixedRows(1);
  layout.SetDefaultRowHeight(18);
  layout.SetClientSize(400, 300);
  // 300,000 cells far down: a walk over the rows above each one took minutes.
  for (int r = 100000; r < 200000; ++r)
    for (int c = 0; c < 3; ++c) ASSERT_TRUE(layout.CellRect(c, r).Empty());
  EXPECT_EQ(layout.MouseCoord(10, 299).Y, 15);  // 19 pixels a row with its line
}
