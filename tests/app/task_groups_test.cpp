#include "app/task_groups.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/task_data.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/string_list.h"
#include "tests/rtl/file_fixtures.h"

namespace {

std::vector<std::string> Names(const std::vector<TaskGroupNode>& nodes) {
  std::vector<std::string> names;
  for (const TaskGroupNode& node : nodes) names.push_back(node.name + "=" + std::to_string(node.group));
  return names;
}

std::vector<std::string> RowTexts(const std::vector<TaskGridRow>& rows) {
  std::vector<std::string> texts;
  for (const TaskGridRow& row : rows) texts.push_back(row.group + "|" + row.path + "|" + row.description);
  return texts;
}

// A task list as the tracker keeps it: sorted, the same path allowed on several lines.
void MakeTaskList(TStringList& list, const std::string& text) {
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  list.SetText(text);
}

}  // namespace

TEST(TaskGroups, BuiltInNodesThenAtMostEightCustomGroupsNumberedByPosition) {
  std::vector<TaskGroupNode> nodes = BuiltInGroupNodes();
  EXPECT_EQ(Names(nodes), (std::vector<std::string>{"Work=1", "Internet=2", "Games=3", "System=4", "Stuff=5",
                                                    ".Hidden=0", ".Restricted=6"}));
  std::vector<std::string> lines;
  for (int i = 1; i <= 10; ++i) lines.push_back("g" + std::to_string(i));
  lines[2] = "";  // an empty line is a group with an empty name
  AddCustomGroups(nodes, lines);
  ASSERT_EQ(nodes.size(), 15u);
  EXPECT_EQ(nodes[7].name, "g1");
  EXPECT_EQ(nodes[7].group, 7);
  EXPECT_EQ(nodes[9].name, "");
  EXPECT_EQ(nodes[9].group, 9);
  EXPECT_EQ(nodes[14].name, "g8");
  EXPECT_EQ(nodes[14].group, 14);

  EXPECT_EQ(GroupNodeName(nodes, 0), ".Hidden");
  EXPECT_EQ(GroupNodeName(nodes, 6), ".Restricted");
  EXPECT_EQ(GroupNodeName(nodes, 8), "g2");
  EXPECT_EQ(GroupNodeName(nodes, 15), "");
  EXPECT_EQ(GroupNodeName(nodes, -1), "");
}

TEST(TaskGroups, PickerStartsOnTheLastNodeOfTheCellsGroupElseOnTheLastNode) {
  std::vector<TaskGroupNode> nodes = BuiltInGroupNodes();
  AddCustomGroups(nodes, {"Reading"});
  EXPECT_EQ(PickerNodeIndex(nodes, "1"), 0);
  EXPECT_EQ(PickerNodeIndex(nodes, "0"), 5);
  EXPECT_EQ(PickerNodeIndex(nodes, "6"), 6);
  EXPECT_EQ(PickerNodeIndex(nodes, "7"), 7);
  // No group 9: the last node.
  EXPECT_EQ(PickerNodeIndex(nodes, "9"), 7);
  // Not a number: group 0.
  EXPECT_EQ(PickerNodeIndex(nodes, "x"), 5);
  EXPECT_EQ(PickerNodeIndex(nodes, ""), 5);
  // Two nodes of one group: the last one.
  nodes.push_back({"Work again", 1});
  EXPECT_EQ(PickerNodeIndex(nodes, "1"), 8);
  EXPECT_EQ(PickerNodeIndex({}, "1"), -1);
}

TEST(TaskGroups, CheckedMaskHasOneBitPerCheckedItemForTheFirst32) {
  EXPECT_EQ(CheckedGroupMask({}), 0u);
  EXPECT_EQ(CheckedGroupMask({true, false, true}), 5u);
  std::vector<bool> many(40, true);
  EXPECT_EQ(CheckedGroupMask(many), 0xFFFFFFFFu);
  many[31] = false;
  EXPECT_EQ(CheckedGroupMask(many), 0x7FFFFFFFu);
}

TEST(TaskGroups, GroupFileLinesEndInAnyWayAndAMissingFileGivesNothing) {
  TempFolder folder;
  std::vector<std::string> lines{"stale"};
  EXPECT_FALSE(ReadGroupFile(folder.File("hl20grp.txt"), lines));
  EXPECT_TRUE(lines.empty());

  WriteBytes(folder.File("hl20grp.txt"), "Reading\rWriting\nMail\r\n\r\nLast");
  ASSERT_TRUE(ReadGroupFile(folder.File("hl20grp.txt"), lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"Reading", "Writing", "Mail", "", "Last"}));

  // Only the lines that can name a group are read, however large the file; a CR LF split
  // between two reads is one line end.
  std::string large(65535, 'x');
  large += "\r\nSecond\r";
  for (int i = 0; i < 200000; ++i) large += "\nmore" + std::to_string(i);
  WriteBytes(folder.File("hl20grp.txt"), large);
  ASSERT_TRUE(ReadGroupFile(folder.File("hl20grp.txt"), lines));
  ASSERT_EQ(lines.size(), static_cast<size_t>(MaxCustomGroups));
  EXPECT_EQ(lines[0], std::string(65535, 'x'));
  EXPECT_EQ(lines[1], "Second");
  EXPECT_EQ(lines[2], "more0");
  EXPECT_EQ(lines[7], "more5");

  // The editor saves its lines with CR LF, in one step.
  TStringList memo;
  memo.SetText("One\r\nTwo");
  memo.SaveToFile(folder.File("hl20grp.txt"));
  EXPECT_EQ(ReadBytes(folder.File("hl20grp.txt")), "One\r\nTwo\r\n");
  {
    FailingReplace failing;
    memo.SetText("Three");
    EXPECT_THROW(memo.SaveToFile(folder.File("hl20grp.txt")), Exception);
  }
  EXPECT_EQ(ReadBytes(folder.File("hl20grp.txt")), "One\r\nTwo\r\n");
}

TEST(TaskGroups, GridRowsFollowTheListAndLeaveOutFilteredAndGrouplessTasks) {
  TStringList list;
  MakeTaskList(list,
               "c:\\a.exe\tEditor\t1\r\n"
               "c:\\b.exe\tBrowser\t2\r\n"
               "c:\\c.exe\tHidden one\t0\r\n"
               "c:\\d.exe\tOdd group\t07\r\n"
               "c:\\e.exe\tNo group\t\r\n"
               "c:\\f.exe\tCustom\t7\r\n");
  EXPECT_EQ(RowTexts(TaskGridRows(list, {})),
            (std::vector<std::string>{"1|c:\\a.exe|Editor", "2|c:\\b.exe|Browser", "0|c:\\c.exe|Hidden one",
                                      "07|c:\\d.exe|Odd group", "7|c:\\f.exe|Custom"}));
  // The filter matches the group text exactly: "07" stays when group 7 is left out.
  EXPECT_EQ(RowTexts(TaskGridRows(list, {0, 7})),
            (std::vector<std::string>{"1|c:\\a.exe|Editor", "2|c:\\b.exe|Browser", "07|c:\\d.exe|Odd group"}));
  TStringList empty;
  EXPECT_TRUE(TaskGridRows(empty, {}).empty());
}

TEST(TaskGroups, TaskLinesKeepThreeFieldsWhateverIsTyped) {
  EXPECT_EQ(ComposeTaskLine("c:\\a.exe", "Editor", "1"), "c:\\a.exe\tEditor\t1");
  // A TAB pasted into a description would push the group into a fourth field, and the task
  // would lose its group (a blocked task would run again); a line break would split the line.
  EXPECT_EQ(ComposeTaskLine("c:\\a.exe", "Edi\ttor\r\nx", "6"), "c:\\a.exe\tEdi tor  x\t6");
  std::string path, description, group;
  SplitTab3(ComposeTaskLine("c:\\a\tb.exe", "a\tb", "6\n"), path, description, group);
  EXPECT_EQ(path, "c:\\a b.exe");
  EXPECT_EQ(group, "6 ");
}

TEST(TaskGroups, RowsWithoutALineOfTheirOwnWriteNothingAndTheListComesBackSorted) {
  // Rows not made from the list (the empty row of an empty or filtered grid, whatever was
  // typed into it) are written over no line, not even one of their path in another case.
  TStringList list;
  const std::string text =
      "\tHidden, no path\t\r\n"
      "c:\\a.exe\tEditor\t1\r\n"
      "c:\\b.exe\tBrowser\t2\r\n";
  MakeTaskList(list, text);
  std::vector<TaskGridRow> rows{
      {"", "", "", ""}, {"6", "c:\\b.exe", "Blocked browser", ""}, {"4", "C:\\A.EXE", "Zed", ""}};
  EXPECT_EQ(StoreTaskGridRows(list, rows), 0);
  EXPECT_EQ(list.Text(), text);

  // A list that was not sorted comes back sorted, even with nothing replaced.
  TStringList loose;
  loose.SetText("c:\\b.exe\tB\t1\r\nc:\\a.exe\tA\t1\r\n");
  rows = TaskGridRows(loose, {});
  EXPECT_EQ(StoreTaskGridRows(loose, rows), 0);
  EXPECT_TRUE(loose.Sorted());
  EXPECT_EQ(loose.Text(), "c:\\a.exe\tA\t1\r\nc:\\b.exe\tB\t1\r\n");
}

TEST(TaskGroups, RowsMadeFromTheListWriteBackOnlyTheLinesTheyChanged) {
  const std::string text =
      "c:\\a.exe\tEditor\t1\r\n"
      "c:\\dup.exe\tDupA\t1\r\n"
      "c:\\dup.exe\tDupB\t2\r\n"
      "c:\\dup.exe\tDupC\t07\r\n";
  TStringList list;
  MakeTaskList(list, text);
  std::vector<TaskGridRow> rows = TaskGridRows(list, {});
  ASSERT_EQ(rows.size(), 4u);
  // The grid shows the rows sorted some other way; nothing edited changes nothing, and the
  // list is not even touched.
  std::reverse(rows.begin(), rows.end());
  int changes = 0;
  list.OnChange = [&changes](TObject*) { ++changes; };
  EXPECT_EQ(StoreTaskGridRows(list, rows), 0);
  EXPECT_EQ(list.Text(), text);
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(changes, 0);
  list.OnChange = nullptr;

  // One description edited: only its own line changes, not the first line of its path.
  rows[1].description = "Second copy";
  EXPECT_EQ(StoreTaskGridRows(list, rows), 1);
  EXPECT_EQ(list.Text(),
            "c:\\a.exe\tEditor\t1\r\n"
            "c:\\dup.exe\tDupA\t1\r\n"
            "c:\\dup.exe\tDupC\t07\r\n"
            "c:\\dup.exe\tSecond copy\t2\r\n");

  // Two identical lines edited apart each keep one edit.
  TStringList twins;
  MakeTaskList(twins, "c:\\t.exe\tSame\t1\r\nc:\\t.exe\tSame\t1\r\n");
  rows = TaskGridRows(twins, {});
  rows[0].group = "3";
  rows[1].group = "6";
  EXPECT_EQ(StoreTaskGridRows(twins, rows), 2);
  EXPECT_EQ(twins.Text(), "c:\\t.exe\tSame\t3\r\nc:\\t.exe\tSame\t6\r\n");

  // A path typed over names another task now: neither that task's lines nor the row's own
  // line change.
  rows = TaskGridRows(list, {});
  rows[0].path = "c:\\dup.exe";
  rows[0].description = "Was the editor";
  const std::string before = list.Text();
  EXPECT_EQ(StoreTaskGridRows(list, rows), 0);
  EXPECT_EQ(list.Text(), before);
}

// The rows of one grid stored again and again, as Apply, OK and the filter do while the
// dialog stays open: each store writes onto the lines as the one before left them.
TEST(TaskGroups, RowsKeepTheirOwnLinesThroughRepeatedStores) {
  TStringList list;
  MakeTaskList(list,
               "c:\\dup.exe\tDupA\t1\r\n"
               "c:\\dup.exe\tDupB\t1\r\n"
               "c:\\dup.exe\tDupC\t1\r\n");
  std::vector<TaskGridRow> rows = TaskGridRows(list, {});
  rows[2].description = "zedDupC";
  EXPECT_EQ(StoreTaskGridRows(list, rows), 1);
  EXPECT_EQ(rows[2].line, "c:\\dup.exe\tzedDupC\t1");
  rows[1].description = "yyDupB";
  EXPECT_EQ(StoreTaskGridRows(list, rows), 1);
  EXPECT_EQ(StoreTaskGridRows(list, rows), 0);
  EXPECT_EQ(list.Text(),
            "c:\\dup.exe\tDupA\t1\r\n"
            "c:\\dup.exe\tyyDupB\t1\r\n"
            "c:\\dup.exe\tzedDupC\t1\r\n");

  // Only the letter case of a path changed: the row's own line takes it, not the first line
  // of that path.
  rows[1].path = "C:\\DUP.EXE";
  EXPECT_EQ(StoreTaskGridRows(list, rows), 1);
  EXPECT_EQ(list.Text(),
            "c:\\dup.exe\tDupA\t1\r\n"
            "C:\\DUP.EXE\tyyDupB\t1\r\n"
            "c:\\dup.exe\tzedDupC\t1\r\n");

  // What the list cannot hold is stored as written, and the row shows it so.
  rows[0].description = "Dup\tA";
  EXPECT_EQ(StoreTaskGridRows(list, rows), 1);
  EXPECT_EQ(rows[0].description, "Dup A");
  EXPECT_EQ(StoreTaskGridRows(list, rows), 0);
}

TEST(TaskGroups, PickerButtonSitsAtTheRightEndOfTheGroupCell) {
  const PickerButtonPlace place = GroupPickerButtonPlace(19, 34, 37, 8, 8, 17);
  EXPECT_EQ(place.left, 34 + 8 + 3 - 17);
  EXPECT_EQ(place.top, 19 + 8 + 2);
  EXPECT_EQ(place.height, 37 + 1 - 19);
}
