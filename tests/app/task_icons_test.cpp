#include "app/task_icons.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/rtl/exceptions.h"

namespace {

// Program files by path: how many icons each claims, and whether its small icon can be
// made. Each icon made is the path itself, so a test can see which image stands where.
class FakeIconSource : public TaskIconSource {
public:
  int IconCount(const std::string& path) override {
    ++counted[path];
    if (path == broken) throw Exception("not a program");
    const auto found = icons.find(path);
    return found == icons.end() ? 0 : found->second;
  }
  TaskIcon SmallIcon(const std::string& path) override {
    if (noSmallIcon.count(path)) return nullptr;
    return std::make_shared<std::string>(path);
  }
  std::map<std::string, int> icons;
  std::set<std::string> noSmallIcon;
  std::string broken;
  std::map<std::string, int> counted;
};

std::string ImageOf(const TaskIconSet& set, int index) {
  return *static_cast<const std::string*>(set.Icons()[index].get());
}

// Every name of the set stands beside its own image.
void ExpectNamesBesideTheirImages(const TaskIconSet& set) {
  ASSERT_EQ(set.Names().Count(), set.Count());
  for (int i = 0; i < set.Count(); ++i) EXPECT_EQ(set.Names().Strings(i), ImageOf(set, i) + "\t");
}

// A task-list line of the program.
std::string Line(const std::string& path) { return path + "\tTask\t1"; }

const char* const Edit = "C:\\Apps\\Edit.exe";
const char* const Mail = "C:\\Apps\\Mail.exe";
const char* const Calc = "C:\\Apps\\calc.exe";
const char* const Notes = "C:\\Apps\\Notes.txt";
const char* const Gone = "C:\\Old\\Gone.exe";

}  // namespace

TEST(CollectTaskIconsTest, OneIconPerProgramInSortedOrderBesideItsName) {
  FakeIconSource source;
  source.icons = {{Edit, 3}, {Mail, 1}, {Calc, 2}};
  TaskIconSet set;
  const std::vector<std::string> lines = {std::string(Mail) + "\tMail\t1", std::string(Edit) + "\tEdit\t1",
                                          std::string(Notes) + "\tNotes\t1", std::string(Gone) + "\tGone\t0",
                                          std::string(Calc) + "\tCalc\t4", std::string("c:\\apps\\EDIT.EXE") + "\tEdit again\t2"};
  EXPECT_TRUE(CollectTaskIcons(lines, set, source, nullptr));
  // A file without icons and a path that is gone get no line; the same path twice (in any
  // case) gives one icon, extracted once.
  EXPECT_EQ(set.Names().Text(), std::string(Calc) + "\t\r\n" + Edit + "\t\r\n" + Mail + "\t\r\n");
  EXPECT_EQ(source.counted[Edit], 1);
  ExpectNamesBesideTheirImages(set);
}

TEST(CollectTaskIconsTest, AnIconThatCannotBeMadeLeavesNoNameBehindToShiftTheOthers) {
  FakeIconSource source;
  source.icons = {{Edit, 1}, {Mail, 1}, {Calc, 1}, {Gone, 1}};
  source.noSmallIcon = {Calc};
  source.broken = Gone;
  TaskIconSet set;
  EXPECT_TRUE(CollectTaskIcons({Line(Calc), Line(Gone), Line(Mail), Line(Edit)}, set, source, nullptr));
  EXPECT_EQ(set.Count(), 2);
  ExpectNamesBesideTheirImages(set);
  EXPECT_FALSE(set.Contains(Calc));
  // The next load tries them again.
  source.noSmallIcon.clear();
  CollectTaskIcons({Line(Calc), Line(Gone), Line(Mail), Line(Edit)}, set, source, nullptr);
  EXPECT_EQ(set.Count(), 3);
  EXPECT_EQ(source.counted[Gone], 2);
  ExpectNamesBesideTheirImages(set);
}

TEST(CollectTaskIconsTest, AStoppedLoadKeepsWhatItFoundAndTheNextLoadsOnlyTheRest) {
  FakeIconSource source;
  source.icons = {{Edit, 1}, {Mail, 1}, {Calc, 1}};
  TaskIconSet set;
  const std::vector<std::string> lines = {Line(Mail), Line(Edit), Line(Calc)};
  int asked = 0;
  EXPECT_FALSE(CollectTaskIcons(lines, set, source, [&] { return ++asked > 2; }));
  EXPECT_EQ(set.Count(), 2);
  EXPECT_EQ(source.counted.count(Calc), 0u);
  EXPECT_TRUE(CollectTaskIcons(lines, set, source, [] { return false; }));
  EXPECT_EQ(set.Count(), 3);
  for (const char* path : {Edit, Mail, Calc}) EXPECT_EQ(source.counted[path], 1) << path;
  ExpectNamesBesideTheirImages(set);
}
