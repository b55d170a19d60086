#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "tests/rtl/file_fixtures.h"

using Names = std::vector<std::string>;

TEST(FileReplace, WritesWholeFileAndLeavesNoTemporary) {
  TempFolder folder;
  const std::string name = folder.File("hl20work.txt");
  WriteFileAtomically(name, "first");
  EXPECT_EQ(ReadBytes(name), "first");
  WriteFileAtomically(name, std::string("second\0", 7));
  EXPECT_EQ(ReadBytes(name), std::string("second\0", 7));
  WriteFileAtomically(name, "");
  EXPECT_EQ(ReadBytes(name), "");
  EXPECT_EQ(folder.Names(), Names{"hl20work.txt"});
}

TEST(FileReplace, FailedReplaceKeepsOldFileAndRemovesTemporary) {
  TempFolder folder;
  const std::string name = folder.File("hl20task.txt");
  WriteBytes(name, "old content");
  {
    FailingReplace failing;
    try {
      WriteFileAtomically(name, "new content");
      FAIL();
    } catch (const EWriteError& e) {
      EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find("simulated failure"), std::string::npos) << e.Message();
    }
  }
  EXPECT_EQ(ReadBytes(name), "old content");
  EXPECT_EQ(folder.Names(), Names{"hl20task.txt"});

  WriteFileAtomically(name, "new content");  // the real step is back in place
  EXPECT_EQ(ReadBytes(name), "new content");
}

TEST(FileReplace, UncreatableTemporaryRaisesCreateError) {
  TempFolder folder;
  const std::string name = folder.File("missing") + "/file.txt";
  try {
    WriteFileAtomically(name, "x");
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
  }
  EXPECT_TRUE(folder.Names().empty());
  EXPECT_THROW(WriteFileAtomically("", "x"), EFCreateError);
}

TEST(FileReplace, TargetThatCannotBeReplacedStaysAndRaises) {
  TempFolder folder;
  // A folder in the target's place cannot be replaced by a file.
  const std::string name = folder.File("taken");
  std::filesystem::create_directory(name);
  EXPECT_THROW(WriteFileAtomically(name, "x"), EWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(name));
  EXPECT_EQ(folder.Names(), Names{"taken"});
}
