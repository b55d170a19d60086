#include <gtest/gtest.h>

#include "app/active_task_rules.h"

namespace {
const char* const System = "C:\\WINDOWS\\system32";
}

TEST(ActiveTaskRules, ScreenSaverIsAScrFileDirectlyInTheSystemDirectory) {
  EXPECT_TRUE(IsScreenSaverPath("C:\\WINDOWS\\system32\\ribbons.scr", System));
  EXPECT_TRUE(IsScreenSaverPath("c:\\windows\\SYSTEM32\\Ribbons.SCR", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\ribbons.exe", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\ribbons.scr.exe", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\ribbons.scrx", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\scr", System));
  // Outside the system directory, or below it, a ".scr" file is an ordinary program.
  EXPECT_FALSE(IsScreenSaverPath("C:\\Savers\\ribbons.scr", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\sub\\ribbons.scr", System));
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system\\ribbons.scr", System));
  EXPECT_FALSE(IsScreenSaverPath("ribbons.scr", System));
  // A dot in a directory name is not the file's extension.
  EXPECT_FALSE(IsScreenSaverPath("C:\\WINDOWS\\system32\\a.scr\\ribbons", "C:\\WINDOWS\\system32\\a.scr"));
  // With the system directory unknown nothing is a screen saver, not even a bare name.
  EXPECT_FALSE(IsScreenSaverPath("ribbons.scr", ""));
  EXPECT_FALSE(IsScreenSaverPath("\\ribbons.scr", ""));
}

TEST(ActiveTaskRules, BlockedPathMustEqualAWholeEntryIgnoringCase) {
  const std::string blocked = "C:\\Games\\solitaire.exe;D:\\Tools\\chat.exe;";
  EXPECT_TRUE(IsBlockedPath("C:\\Games\\solitaire.exe", blocked));
  EXPECT_TRUE(IsBlockedPath("d:\\tools\\CHAT.EXE", blocked));
  EXPECT_TRUE(IsBlockedPath("D:\\Tools\\chat.exe", "D:\\Tools\\chat.exe"));
  // Parts of an entry, or text spanning two entries, are not blocked programs.
  EXPECT_FALSE(IsBlockedPath("C:\\Games\\solitaire", blocked));
  EXPECT_FALSE(IsBlockedPath("Games\\solitaire.exe", blocked));
  EXPECT_FALSE(IsBlockedPath("solitaire.exe;D:\\Tools", blocked));
  EXPECT_FALSE(IsBlockedPath("C:\\Games\\solitaire.exe2", blocked));
  EXPECT_FALSE(IsBlockedPath(";", blocked));
  // An empty path (a process the library could not name) is never ended.
  EXPECT_FALSE(IsBlockedPath("", blocked));
  EXPECT_FALSE(IsBlockedPath("", ";;"));
  EXPECT_FALSE(IsBlockedPath("", ""));
  EXPECT_FALSE(IsBlockedPath("C:\\a.exe", ""));
  // Only A to Z fold; other bytes must be the same.
  EXPECT_TRUE(IsBlockedPath("C:\\\xE9t\xE9.exe", "c:\\\xE9T\xE9.EXE;"));
  EXPECT_FALSE(IsBlockedPath("C:\\\xC9t\xE9.exe", "C:\\\xE9t\xE9.exe;"));
}

TEST(ActiveTaskRules, ForegroundPathComesFromTheFourthIdentifierAndIsKept) {
  TActiveTaskState state;
  state.SetForegroundProcessId(42);
  state.BeginSample();
  EXPECT_FALSE(state.ProcessReported(7, "C:\\other.exe"));
  EXPECT_FALSE(state.ProcessReported(42, "C:\\front.exe"));
  EXPECT_EQ(state.ForegroundExecutable(), "C:\\front.exe");

  // The window in front belongs to a process that is not reported: the last path stays.
  state.SetForegroundProcessId(99);
  state.BeginSample();
  state.ProcessReported(7, "C:\\other.exe");
  EXPECT_EQ(state.ForegroundExecutable(), "C:\\front.exe");

  // No window in front: the idle process (identifier 0) is not taken for the program in front.
  state.SetForegroundProcessId(0);
  state.BeginSample();
  state.ProcessReported(0, "[System Process]");
  EXPECT_EQ(state.ForegroundExecutable(), "C:\\front.exe");
}

TEST(ActiveTaskRules, ScreenSaverWatchOnlyChangesOnceStarted) {
  TActiveTaskState state;
  state.SetSystemDirectory(System);
  const std::string saver = "C:\\WINDOWS\\system32\\ribbons.scr";

  // Before the main window's first activation sampling never touches the flag.
  state.BeginSample();
  state.ProcessReported(5, saver);
  EXPECT_EQ(state.ScreenSaverWatch(), TActiveTaskState::ScreenSaverUnwatched);
  EXPECT_FALSE(state.IsScreenSaverRunning());

  state.SetScreenSaverWatch(TActiveTaskState::ScreenSaverAbsent);
  state.BeginSample();
  state.ProcessReported(5, saver);
  EXPECT_TRUE(state.IsScreenSaverRunning());

  // Each sample starts without the saver; only a new report brings it back.
  state.BeginSample();
  EXPECT_EQ(state.ScreenSaverWatch(), TActiveTaskState::ScreenSaverAbsent);
  state.ProcessReported(5, "C:\\Savers\\ribbons.scr");
  EXPECT_FALSE(state.IsScreenSaverRunning());
  state.ProcessReported(5, saver);
  EXPECT_TRUE(state.IsScreenSaverRunning());

  // Start-up state again: the watch stops and the blocked list is gone.
  state.SetBlockedList("C:\\a.exe;");
  state.Reset();
  EXPECT_EQ(state.ScreenSaverWatch(), TActiveTaskState::ScreenSaverUnwatched);
  EXPECT_EQ(state.BlockedList(), "");
}

TEST(ActiveTaskRules, ReportedProcessIsEndedOnlyWhenBlocked) {
  TActiveTaskState state;
  state.SetBlockedList("C:\\Games\\solitaire.exe;");
  state.SetForegroundProcessId(3);
  EXPECT_TRUE(state.ProcessReported(3, "c:\\games\\SOLITAIRE.exe"));
  // Even a blocked program in front is still reported as the program in front.
  EXPECT_EQ(state.ForegroundExecutable(), "c:\\games\\SOLITAIRE.exe");
  EXPECT_FALSE(state.ProcessReported(4, "C:\\Games\\solitaire"));
  EXPECT_FALSE(state.ProcessReported(4, ""));

  // The tracker never ends itself, even with its own path in the list.
  state.SetBlockedList("C:\\Tools\\Hourlark.exe;");
  state.SetOwnProcessId(7);
  EXPECT_FALSE(state.ProcessReported(7, "C:\\Tools\\Hourlark.exe"));
  EXPECT_TRUE(state.ProcessReported(8, "C:\\Tools\\Hourlark.exe"));
}
