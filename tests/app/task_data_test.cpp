#include "app/task_data.h"

#include <gtest/gtest.h>

#include "kit/str_holder.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/string_list.h"
#include "tests/rtl/file_fixtures.h"

namespace {

constexpr TDateTime Second = 1.0 / SecsPerDay;

class TaskData : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings() = DefaultFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

// A task list as the tracker keeps it: sorted, the same path allowed on several lines.
void MakeTaskList(TStringList& list) {
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
}

}  // namespace

TEST_F(TaskData, ElapsedTextsCountHoursMinutesAndCutSeconds) {
  EXPECT_EQ(FormatElapsed(0), "00:00:00");
  EXPECT_EQ(FormatElapsed(59.9 * Second), "00:00:59");
  EXPECT_EQ(FormatElapsed(3 * 3600 * Second + 4 * 60 * Second + 5 * Second), "03:04:05");
  EXPECT_EQ(FormatElapsed(1.5), "36:00:00");
  EXPECT_EQ(FormatElapsed(2 + (3 * 3600 + 4 * 60 + 5) * Second), "51:04:05");
  EXPECT_EQ(FormatElapsed(5000), "120000:00:00");
  EXPECT_EQ(FormatElapsed(-Second), "");
  // A sum that lands a hair below a whole day is still a whole day, not 23:59:59.
  EXPECT_EQ(FormatElapsed(1 - 1e-12), "24:00:00");

  EXPECT_EQ(FormatElapsedShort(90 * 60 * Second), "01:30");
  EXPECT_EQ(FormatElapsedShort(1.5 + 59 * Second), "36:00");
  EXPECT_EQ(FormatElapsedShort(-Second), "");
  EXPECT_EQ(FormatElapsedShortOrBlank(0), "");
  EXPECT_EQ(FormatElapsedShortOrBlank(-1), "");
  EXPECT_EQ(FormatElapsedShortOrBlank(90 * 60 * Second), "01:30");
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(FormatElapsed(1.5), "36.00.00");
}

TEST_F(TaskData, WorkSectionNameIsUserTabAndDateWithoutLeadingZeros) {
  EXPECT_EQ(WorkSectionName("ann", EncodeDate(2001, 3, 5)), "ann\t2001_3_5");
  EXPECT_EQ(WorkSectionName("Ann Lee ", EncodeDate(2024, 12, 31) + 0.99), "Ann Lee \t2024_12_31");
}

TEST_F(TaskData, SplitTab3TakesFieldsAtTheFirstTwoTabs) {
  // The three fields joined by "|".
  auto split = [](const std::string& line) {
    std::string path = "x", description = "x", group = "x";
    SplitTab3(line, path, description, group);
    return path + "|" + description + "|" + group;
  };
  EXPECT_EQ(split("a"), "||a");
  EXPECT_EQ(split("C:\\a.exe\t7"), "C:\\a.exe||7");
  EXPECT_EQ(split("C:\\a.exe\tEditor\t1"), "C:\\a.exe|Editor|1");
  EXPECT_EQ(split("p\t\tg\textra"), "p||g\textra");
  EXPECT_EQ(split(""), "||");
}

TEST_F(TaskData, FindTaskSearchesByPathIgnoringCase) {
  TStringList list;
  MakeTaskList(list);
  int index = -1;
  EXPECT_FALSE(FindTask(list, "C:\\a.exe", index));
  EXPECT_EQ(index, 0);
  for (const char* line : {"C:\\m.exe\tM\t1", "C:\\m.exe\tM2\t2", "C:\\m.exe\tM3\t3", "C:\\b.exe\tB\t1",
                           "C:\\z.exe\tZ\t1", "C:\\zz.exe\tZZ\t1", "C:\\c.exe\tC\t1", "no tab"})
    list.Add(line);
  ASSERT_EQ(list.Strings(2).substr(0, 9), "C:\\m.exe\t");
  EXPECT_TRUE(FindTask(list, "c:\\M.EXE", index));
  EXPECT_EQ(index, 2);  // the first of the three lines of that path
  EXPECT_TRUE(FindTask(list, "C:\\zz.exe", index));
  EXPECT_EQ(index, 6);
  EXPECT_FALSE(FindTask(list, "C:\\d.exe", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_FALSE(FindTask(list, "no tab", index));  // a line without TAB has an empty key

  // Without duplicates the hit itself is answered.
  TStrHolder holder(nullptr);
  holder.SetSorted(true);
  for (const char* line : {"a\tA\t1", "b\tB\t1", "c\tC\t1"}) holder.Strings()->Add(line);
  EXPECT_TRUE(FindTask(holder, "B", index));
  EXPECT_EQ(index, 1);
}

TEST_F(TaskData, FindTaskFindsKeysWhoseLinesSortOtherwise) {
  // Under the system's locale comparison a TAB weighs more than a blank, so the line of
  // "a.exe" sorts after the line of "a.exe b" although its key sorts first.
  TStringList sorted;
  MakeTaskList(sorted);
  for (const char* line : {"C:\\x\\a.exe b\tAB\t0", "C:\\x\\a.exe\tA\t0", "C:\\x\\a-b.exe\tH\t6",
                           "C:\\x\\ab.exe\tN\t1"})
    sorted.Add(line);
  int index = -1;
  for (const char* key : {"C:\\x\\a.exe", "C:\\x\\a.exe b", "C:\\x\\a-b.exe", "C:\\x\\ab.exe"}) {
    ASSERT_TRUE(FindTask(sorted, key, index)) << key;
    EXPECT_EQ(sorted.Strings(index).substr(0, std::string(key).size() + 1), std::string(key) + "\t");
  }
  // Lines in any order: a key is still found where it stands.
  TStringList unordered;
  for (const char* line : {"C:\\z.exe\tZ\t1", "C:\\a.exe\tA\t1", "C:\\m.exe\tM\t1"}) unordered.Add(line);
  EXPECT_TRUE(FindTask(unordered, "c:\\A.exe", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(FindTask(unordered, "C:\\b.exe", index));
}

TEST_F(TaskData, BlockedListHoldsGroupSixPathsLastFirst) {
  TStringList list;
  list.Add("C:\\a.exe\tA\t6");
  list.Add("C:\\b.exe\tB\t1");
  list.Add("C:\\c.exe\tC\t6");
  list.Add("C:\\d.exe\tD\t06");
  list.Add("C:\\e.exe\tE\t6 ");
  EXPECT_EQ(BuildBlockedList(list), "C:\\c.exe;C:\\a.exe;");
  TStringList none;
  none.Add("C:\\b.exe\tB\t1");
  EXPECT_EQ(BuildBlockedList(none), "");
}

TEST_F(TaskData, TaskFileLoadsAnyLineEndsAndKeepsBadLines) {
  TempFolder folder;
  const std::string file = folder.File(TaskFileName);
  TStringList list;
  MakeTaskList(list);
  list.Add("stale");
  EXPECT_TRUE(LoadTaskList(list, file));  // missing: empty, nothing lost
  EXPECT_EQ(list.Count(), 0);

  WriteBytes(file, "C:\\z.exe\tZ\t1\rC:\\a.exe\tA\t6\r\nno tab\nC:\\a.exe\tA2\t1");
  EXPECT_TRUE(LoadTaskList(list, file));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Strings(0), "C:\\a.exe\tA\t6");
  EXPECT_EQ(list.Strings(1), "C:\\a.exe\tA2\t1");
  EXPECT_EQ(list.Strings(3), "no tab");
  EXPECT_EQ(BuildBlockedList(list), "C:\\a.exe;");

#ifdef _WIN32
  // A file that is there but cannot be read is told apart from a missing one.
  TFileStream locked(file, fmOpenRead | fmShareExclusive);
  EXPECT_FALSE(LoadTaskList(list, file));
  EXPECT_EQ(list.Count(), 0);
#endif
}

TEST_F(TaskData, UserListComesFromSectionNames) {
  TempFolder folder;
  const std::string work = folder.File(WorkFileName);
  TStringList users;
  users.SetSorted(true);
  ReadUserList(work, users);  // no file yet
  EXPECT_EQ(users.Count(), 0);

  WriteBytes(work,
                     "[ann\t2024_3_4]\r\ntotal=01:00:00\r\n[bob\t2024_3_4]\r\n"
                     "[ann\t2024_3_5]\r\ntotal=00:10:00\r\n[Settings]\r\nx=1\r\n[\tno_user]\r\n");
  users.Add("carl");
  ReadUserList(work, users);
  ASSERT_EQ(users.Count(), 3);
  EXPECT_EQ(users.Strings(0), "ann");
  EXPECT_EQ(users.Strings(1), "bob");
  EXPECT_EQ(users.Strings(2), "carl");
}

namespace {

int replaceCalls = 0;
int failingCall = 0;
// Fails the replacement numbered failingCall (1 = the first), performs the others.
TFileReplaceFunc realReplace = nullptr;
std::string FailOneReplace(const std::string& temp, const std::string& target) {
  if (++replaceCalls == failingCall) return "disk full";
  return realReplace(temp, target);
}

}  // namespace

TEST_F(TaskData, AFailedSaveLeavesBothFilesAsTheyWere) {
  TempFolder folder;
  const std::string work = folder.File(WorkFileName);
  const std::string tasks = folder.File(TaskFileName);
  const std::string oldWork = "[ann\t2024_3_5]\r\ntotal=01:00:00\r\n";
  const std::string oldTasks = "C:\\a.exe\tA\t1\r\n";
  WriteBytes(work, oldWork);
  WriteBytes(tasks, oldTasks);
  TStringList taskList;
  MakeTaskList(taskList);
  taskList.Add("C:\\a.exe\tA\t1");
  taskList.Add("C:\\b.exe\tB\t1");
  TStringList day;
  day.Add("C:\\b.exe=00:10:00");

  realReplace = SetFileReplaceFunc(&FailOneReplace);
  for (int failing : {1, 2}) {
    replaceCalls = 0;
    failingCall = failing;  // the task file's replacement, then the work file's
    EXPECT_THROW(SaveTrackedDay(&taskList, tasks, work, "ann\t2024_3_5", "01:10:00", day),
                 EStreamError);
    EXPECT_EQ(ReadBytes(work), oldWork) << failing;
    EXPECT_EQ(ReadBytes(tasks), oldTasks) << failing;
  }
  SetFileReplaceFunc(nullptr);
}
