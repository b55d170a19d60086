#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "tests/rtl/file_fixtures.h"

#include <algorithm>

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using Names = std::vector<std::string>;

namespace {

std::string Sorted(Names names) {
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += name + "|";
  return joined;
}

unsigned long OwnProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// The id of a process that ran and has ended (and whose id nothing holds any more).
unsigned long EndedProcessId() {
#ifdef _WIN32
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  char command[] = "cmd.exe /c exit 0";
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &info))
    return 0;
  WaitForSingleObject(info.hProcess, 30000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return info.dwProcessId;
#else
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return static_cast<unsigned long>(child);
#endif
}

}  // namespace

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

TEST(FileReplace, StartUpRemovesOnlyStaleTemporariesOfTheSavedFile) {
  TempFolder folder;
  const unsigned long ended = EndedProcessId();
  ASSERT_NE(ended, 0u);
  const std::string dead = std::to_string(ended);
  const std::string own = std::to_string(OwnProcessId());
  const Names kept = {
      "hl20task.txt",
      "hl20task.txt.~" + own + "-1.tmp",      // a save of a process that still runs
      "hl20work.txt.~" + dead + "-1.tmp",     // another file's temporary
      "hl20task.txt.~" + dead + "-1.tmp.bak",  // not the temporary name itself
      "hl20task.txt.~" + dead + ".tmp",
      "hl20task.txt.~x" + dead + "-1.tmp",
      "hl20task.txt.~" + dead + "-.tmp",
      "hl20task.txt.~-1.tmp",
      "xhl20task.txt.~" + dead + "-1.tmp",
      "hl20task.txt.~99999999999-1.tmp",        // no process id fits
  };
  for (const auto& name : kept) WriteBytes(folder.File(name), "keep");
  WriteBytes(folder.File("hl20task.txt.~" + dead + "-1.tmp"), "half");
  WriteBytes(folder.File("HL20TASK.TXT.~" + dead + "-27.TMP"), "half");
  ASSERT_EQ(RemoveStaleTemporaryFiles(folder.File("hl20task.txt")), 2);
  EXPECT_EQ(Sorted(folder.Names()), Sorted(kept));
  EXPECT_EQ(ReadBytes(folder.File("hl20task.txt")), "keep");

  // A missing folder or a bare folder name removes nothing and raises nothing.
  EXPECT_EQ(RemoveStaleTemporaryFiles(folder.File("missing") + "/hl20task.txt"), 0);
  EXPECT_EQ(RemoveStaleTemporaryFiles(folder.Path() + "/"), 0);
  EXPECT_EQ(Sorted(folder.Names()), Sorted(kept));
}
