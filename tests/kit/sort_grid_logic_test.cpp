#include "kit/sort_grid_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"

namespace {

class SortGridLogic : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings() = DefaultFormatSettings(); }
  void TearDown() override { FormatSettings() = DefaultFormatSettings(); }
};

std::vector<std::string> Ordered(const std::vector<std::string>& texts, TSortStyle style,
                                 TSortDirection direction = sdAscending, bool caseSensitive = false) {
  std::vector<std::string> result;
  for (int i : SortedOrder(texts, style, caseSensitive, direction)) result.push_back(texts[static_cast<size_t>(i)]);
  return result;
}

// A grid's texts: a header row and one row per entry of each column.
TGridCells Grid(const std::vector<std::vector<std::string>>& rows) {
  TGridCells cells;
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) cells.SetCell(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
  return cells;
}

std::vector<std::string> Column(const TGridCells& cells, int col, int rowCount) {
  std::vector<std::string> texts;
  for (int r = 1; r < rowCount; ++r) texts.push_back(cells.Cell(col, r));
  return texts;
}

}  // namespace

TEST_F(SortGridLogic, DetectsTheStyleEveryTextAllows) {
  EXPECT_EQ(ssNumeric, DetectSortStyle({"10", "9", "100", "-2.5"}));
  EXPECT_EQ(ssNormal, DetectSortStyle({"10", "", "9"})) << "an empty cell is no number";
  // A time alone also reads as a date and time (of day 0), which is tested first.
  EXPECT_EQ(ssDateTime, DetectSortStyle({"10:15", "9:05:30"}));
  EXPECT_EQ(ssNormal, DetectSortStyle({"10:15", "apple"}));
  EXPECT_EQ(ssNumeric, DetectSortStyle({})) << "nothing speaks against any style";
}

TEST_F(SortGridLogic, NumbersSortByValueAndTextsByBytes) {
  EXPECT_EQ((std::vector<std::string>{"9", "10", "100"}), Ordered({"10", "9", "100"}, ssNumeric));
  EXPECT_EQ((std::vector<std::string>{"10", "100", "9"}), Ordered({"10", "9", "100"}, ssNormal));
  EXPECT_EQ((std::vector<std::string>{"100", "10", "9"}), Ordered({"10", "9", "100"}, ssNumeric, sdDescending));
  // Bytes above 127 sort after ASCII letters (unsigned comparison).
  EXPECT_EQ((std::vector<std::string>{"b", "z", "\xE4"}), Ordered({"\xE4", "z", "b"}, ssExtended));
}

TEST_F(SortGridLogic, CaseIsIgnoredUnlessAskedAndEqualKeysKeepTheirOrder) {
  EXPECT_EQ((std::vector<std::string>{"apple", "Banana", "banana", "BANANA"}),
            Ordered({"Banana", "apple", "banana", "BANANA"}, ssNormal));
  EXPECT_EQ((std::vector<std::string>{"BANANA", "Banana", "apple", "banana"}),
            Ordered({"Banana", "apple", "banana", "BANANA"}, ssNormal, sdAscending, true));
  EXPECT_EQ((std::vector<std::string>{"Banana", "banana", "BANANA", "apple"}),
            Ordered({"Banana", "apple", "banana", "BANANA"}, ssNormal, sdDescending))
      << "ties keep their former order in the descending direction too";
}

TEST_F(SortGridLogic, TextsThatDoNotConvertGoLastInTheirOrderWhateverTheDirection) {
  // These three made a cycle under a comparison that called a failed conversion "equal".
  const std::vector<std::string> texts{"2", "x", "1", "", "3"};
  EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "x", ""}), Ordered(texts, ssNumeric));
  EXPECT_EQ((std::vector<std::string>{"3", "2", "1", "x", ""}), Ordered(texts, ssNumeric, sdDescending));
  // Many mixed entries: the order must stay a valid strict weak order for the sort.
  std::vector<std::string> many;
  for (int i = 0; i < 500; ++i) many.push_back(i % 3 == 0 ? "n/a" : std::to_string((i * 37) % 101));
  const std::vector<std::string> sorted = Ordered(many, ssNumeric);
  for (size_t i = 1; i < sorted.size(); ++i) {
    if (sorted[i] == "n/a") continue;
    ASSERT_NE("n/a", sorted[i - 1]) << "a number after an unconvertible text";
    EXPECT_LE(std::stoi(sorted[i - 1]), std::stoi(sorted[i]));
  }
}

TEST_F(SortGridLogic, SortKeysPutTheColumnFirstAndRefuseWhatIsNoNumber) {
  EXPECT_EQ((std::vector<int>{0, 2}), ParseSortKeys(0, "2,0"));
  EXPECT_EQ((std::vector<int>{1, 2, 0}), ParseSortKeys(1, "2,0"));
  EXPECT_EQ((std::vector<int>{3}), ParseSortKeys(3, ""));
  EXPECT_THROW(ParseSortKeys(0, "1,a"), EConvertError);
}

TEST_F(SortGridLogic, SortColumnFollowsMovedAndDeletedColumns) {
  EXPECT_EQ(0, SortColAfterMove(2, 2, 0));
  EXPECT_EQ(2, SortColAfterMove(1, 3, 0)) << "pushed right by a column moved before it";
  EXPECT_EQ(0, SortColAfterMove(1, 0, 3)) << "pulled left by a column moved past it";
  EXPECT_EQ(4, SortColAfterMove(4, 0, 2)) << "outside the moved span";
  EXPECT_EQ(1, SortColAfterDelete(2, 0));
  EXPECT_EQ(0, SortColAfterDelete(2, 2));
  EXPECT_EQ(2, SortColAfterDelete(2, 3));
}

TEST(SortGridPainting, HeaderTextsEndInTwoDotsOnceShortened) {
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ("Description", ShortenHeaderText("Description", 110, width));
  EXPECT_EQ("Descript..", ShortenHeaderText("Description", 100, width));
  EXPECT_EQ("Desc..", ShortenHeaderText("Description", 65, width));
  EXPECT_EQ("D..", ShortenHeaderText("Description", 5, width)) << "three characters at least";
  EXPECT_EQ("X", ShortenHeaderText("X", -20, width)) << "too short to shorten";
  EXPECT_EQ("", ShortenHeaderText("", -20, width));
  EXPECT_EQ(88, HeaderTextRoom(100, true));
  EXPECT_EQ(99, HeaderTextRoom(100, false));
}

TEST(SortGridPainting, OffsetsArrowAndAutomaticWidth) {
  EXPECT_EQ(2, HorzTextOffset(0, 100, 40));
  EXPECT_EQ(58, HorzTextOffset(1, 100, 40));
  EXPECT_EQ(30, HorzTextOffset(2, 100, 40));
  EXPECT_EQ(2, VertTextOffset(taTopJustify, 20, 13));
  EXPECT_EQ(4, VertTextOffset(taBottomJustify, 20, 13));
  EXPECT_EQ(3, VertTextOffset(taMiddle, 20, 13));
  EXPECT_EQ(8, SortArrowWidth(60));
  EXPECT_EQ(5, SortArrowWidth(8));
  EXPECT_LE(SortArrowWidth(2), 0) << "no arrow in a cell that has no room";
  EXPECT_EQ(7 + 60, AutoColumnWidth(60, 40, false, 14, 7));
  EXPECT_EQ(7 + 52, AutoColumnWidth(20, 40, true, 14, 7));
  EXPECT_EQ(14, AutoColumnWidth(0, 0, false, 14, 7)) << "an empty column is two characters wide";
}

TEST(SortGridTypeAhead, FindsTheNextRowStartingWithTheKeyAndWraps) {
  const std::vector<std::string> first{"Name", "apple", "Banana", "cherry", "blueberry", ""};
  EXPECT_EQ(2, TypeAheadRow(first, 1, 'b'));
  EXPECT_EQ(4, TypeAheadRow(first, 2, 'B'));
  EXPECT_EQ(2, TypeAheadRow(first, 4, 'b')) << "wraps to the top";
  EXPECT_EQ(-1, TypeAheadRow(first, 1, 'N')) << "the header is never a match";
  EXPECT_EQ('B', UpperKey('b'));
  EXPECT_EQ('1', UpperKey('1'));
}

TEST(RowSelection, ClicksCtrlClicksShiftClicksAndDrags) {
  TRowSelection selection(10);
  EXPECT_EQ((std::vector<int>{1}), selection.SelectedRows());
  selection.MouseDown(3, true, false);
  selection.MouseUp(3, false);
  selection.MouseDown(6, false, false);
  selection.MouseUp(6, true);
  EXPECT_EQ((std::vector<int>{3, 4, 5, 6}), selection.SelectedRows());
  selection.MouseDown(4, false, true);
  selection.MouseUp(4, false);
  EXPECT_EQ((std::vector<int>{3, 5, 6}), selection.SelectedRows());

  selection.MouseDown(7, true, false);
  selection.MouseUp(5, false);
  EXPECT_EQ((std::vector<int>{5, 6, 7}), selection.SelectedRows()) << "dragging up";
  selection.MouseDown(2, true, false);
  selection.MouseUp(-4, false);
  EXPECT_EQ((std::vector<int>{1, 2}), selection.SelectedRows()) << "dragged above the grid stops at row 1";
}

TEST(RowSelection, ShiftKeysExtendFromAFixedAnchor) {
  TRowSelection selection(10);
  selection.MouseDown(3, true, false);
  selection.MouseUp(3, false);
  selection.NavigationKeyDown(true);
  selection.NavigationMoved(4, true);
  selection.NavigationMoved(5, true);
  selection.NavigationMoved(4, true);
  EXPECT_EQ((std::vector<int>{3, 4}), selection.SelectedRows());
  EXPECT_EQ(3, selection.Anchor());
  selection.NavigationKeyDown(false);
  selection.NavigationKeyUp(5);
  EXPECT_EQ((std::vector<int>{5}), selection.SelectedRows()) << "a plain arrow moves a single selection";
}

TEST(RowSelection, FittingGivesNewRowsNoSelection) {
  TRowSelection selection(3);
  selection.Fit(6);
  EXPECT_EQ((std::vector<int>{1}), selection.SelectedRows());
  selection.SelectRange(1, 5);
  selection.Fit(4);
  EXPECT_TRUE(selection.SelectedRows().empty());
  EXPECT_FALSE(selection.IsSelected(0));
  EXPECT_FALSE(selection.IsSelected(40));
}

TEST(GridSearch, FindsContainedTextsInOrder) {
  const TGridCells cells = Grid({{"h0", "h1", "h2"}, {"a", "xABCx", "q"}, {"abc", "b", "abc"}});
  TSearchSpec spec{"abc", false, -1};
  EXPECT_EQ((TGridCoord{1, 1}), FindCell(cells, 3, 3, spec, 1));
  EXPECT_EQ((TGridCoord{0, 2}), FindCell(cells, 3, 3, spec, 2));
  spec.CaseSensitive = true;
  EXPECT_EQ((TGridCoord{0, 2}), FindCell(cells, 3, 3, spec, 1)) << "xABCx does not hold abc";
  spec.SearchCol = 2;
  EXPECT_EQ((TGridCoord{2, 2}), FindCell(cells, 3, 3, spec, 0)) << "the header is never searched";
  spec.SearchCol = 7;
  EXPECT_EQ((TGridCoord{-1, -1}), FindCell(cells, 3, 3, spec, 1));
  spec = {"h", false, -1};
  EXPECT_EQ((TGridCoord{-1, -1}), FindCell(cells, 3, 3, spec, -5));
}

TEST(GridFilter, ShowsMatchingRowsAndBringsTheOthersBack) {
  std::vector<std::vector<std::string>> rows{{"Name"}};
  for (int i = 1; i <= 10; ++i) rows.push_back({(i == 2 || i == 5 || i == 9 ? "hit " : "row ") + std::to_string(i)});
  TGridCells cells = Grid(rows);
  TRowFilter filter;
  const int shown = filter.Apply(cells, 1, 11, {"hit", false, -1});
  EXPECT_EQ(4, shown);
  EXPECT_EQ(7, filter.HiddenRowCount());
  EXPECT_TRUE(filter.Matched());
  EXPECT_EQ((std::vector<std::string>{"hit 2", "hit 5", "hit 9"}), Column(cells, 0, shown));
  EXPECT_EQ("", cells.Cell(0, 4)) << "nothing stale below the shown rows";

  // Rows deleted while filtered cannot reach the hidden ones.
  cells.DeleteRow(2);
  const int restored = filter.Restore(cells, 3);
  EXPECT_EQ(10, restored);
  EXPECT_EQ(0, filter.HiddenRowCount());
  EXPECT_FALSE(filter.Active());
  EXPECT_EQ("hit 2", cells.Cell(0, 1));
  EXPECT_EQ("hit 9", cells.Cell(0, 2));
  EXPECT_EQ("row 1", cells.Cell(0, 3));
}

TEST(GridFilter, NoMatchShowsOneEmptyRowThatGoesAgain) {
  TGridCells cells = Grid({{"Name"}, {"a"}, {"b"}, {"c"}});
  cells.SetCell(0, 4, "stale");  // cut off by an earlier smaller row count
  TRowFilter filter;
  EXPECT_EQ(2, filter.Apply(cells, 1, 4, {"zzz", false, -1}));
  EXPECT_FALSE(filter.Matched());
  EXPECT_EQ("", cells.Cell(0, 1)) << "the row shown is empty";
  EXPECT_EQ(4, filter.Restore(cells, 2));
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Column(cells, 0, 4));
}

TEST(GridFilter, TheEmptyRowIsFollowedThroughInsertsMovesAndSortsAndOnlyItGoes) {
  TGridCells cells = Grid({{"Name"}, {"a"}, {"b"}});
  TRowFilter filter;
  ASSERT_EQ(2, filter.Apply(cells, 1, 3, {"zzz", false, -1}));
  EXPECT_EQ(1, filter.EmptyRow());
  // A row inserted above it (the grid moves its new last row up to row 1), then given text.
  cells.MoveRow(2, 1);
  filter.RowMoved(2, 1);
  cells.SetCell(0, 1, "new");
  EXPECT_EQ(2, filter.EmptyRow());
  // A sort that puts the empty row first, and one that puts it back.
  cells.PermuteRows(1, {2, 1});
  filter.RowsPermuted(1, {2, 1});
  EXPECT_EQ(1, filter.EmptyRow());
  cells.PermuteRows(1, {2, 1});
  filter.RowsPermuted(1, {2, 1});
  EXPECT_EQ(2, filter.EmptyRow());
  EXPECT_EQ(4, filter.Restore(cells, 3));
  EXPECT_EQ((std::vector<std::string>{"new", "a", "b"}), Column(cells, 0, 4));

  // The user deleted the empty row: switching off deletes nothing of the rows shown.
  ASSERT_EQ(2, filter.Apply(cells, 1, 4, {"zzz", false, -1}));
  cells.SetCell(0, 2, "typed");
  cells.MoveRow(1, 2);
  filter.RowMoved(1, 2);
  filter.RowCountChanged(2);
  EXPECT_EQ(0, filter.EmptyRow());
  EXPECT_EQ(5, filter.Restore(cells, 2));
  EXPECT_EQ((std::vector<std::string>{"typed", "new", "a", "b"}), Column(cells, 0, 5));
}

TEST(GridFilter, FilteringAgainStartsFromEveryRow) {
  TGridCells cells = Grid({{"Name"}, {"ab"}, {"b"}, {"ac"}});
  TRowFilter filter;
  EXPECT_EQ(3, filter.Apply(cells, 1, 4, {"a", false, -1}));
  EXPECT_EQ(3, filter.Apply(cells, 1, 3, {"b", false, -1})) << "the rows hidden before are tested again";
  EXPECT_EQ((std::vector<std::string>{"ab", "b"}), Column(cells, 0, 3));
  filter.Drop();
  EXPECT_EQ(3, filter.Restore(cells, 3)) << "dropped rows stay gone";
}
