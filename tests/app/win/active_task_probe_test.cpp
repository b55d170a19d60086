// The probe against the real qatask.dll and real second processes (probe_target.exe).
#include <gtest/gtest.h>

#include "platform/rtl/win/windows_api.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "app/win/active_task_probe.h"

namespace {

std::string ModulePath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string DirectoryOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
}

std::string TargetProgram() { return DirectoryOf(ModulePath()) + "\\probe_target.exe"; }

// The path as the system spells it (long names), which is how running programs are reported.
std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

// Polls `done` until it holds or the time runs out; windows and processes under Wine take a
// moment to appear and to go.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 15000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  return done();
}

// A folder of its own below the temporary folder, removed with what it holds.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") DeleteFileA((path_ + "\\" + name).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
  std::string path_;
};

// A started program; ended (if still running) when the test is done with it.
class Child {
public:
  Child(const std::string& program, const std::string& arguments,
        const std::string& folder = std::string()) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    // A program copied a moment ago can still be held by a scanner or a busy file system;
    // a start is tried a few times before the test gives up on it.
    for (int attempt = 0; attempt < 5 && !started_; ++attempt) {
      if (attempt > 0) Sleep(200);
      started_ = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                                &info_) != FALSE;
      if (!started_) error_ = GetLastError();
    }
  }
  ~Child() {
    if (!started_) return;
    if (Running()) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return started_; }
  // The system's error code of the last failed start.
  DWORD StartError() const { return error_; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool EndsWithin(int milliseconds) const {
    return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  // The child's visible top-level window, once it has one.
  HWND Window() const {
    WindowSearch search = {info_.dwProcessId, nullptr};
    WaitFor([&] {
      EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    });
    return search.found;
  }

private:
  struct WindowSearch {
    DWORD processId;
    HWND found;
  };
  static BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
  }

  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
  DWORD error_ = 0;
};

std::string WindowTitle(HWND window) {
  char title[400] = {};
  GetWindowTextA(window, title, sizeof(title));
  return title;
}

class ActiveTaskProbe : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(TargetProgram().c_str()), INVALID_FILE_ATTRIBUTES)
        << TargetProgram() << " is missing";
    LoadTaskLibrary();
    ASSERT_TRUE(TaskLibraryLoaded()) << "qatask.dll next to the tests was not loaded";
  }
  void TearDown() override { UnloadTaskLibrary(); }

  // A copy of the target program in the scratch folder under `name`; its full long path.
  std::string PlaceTarget(const std::string& name) {
    std::string path = scratch_.File(name);
    EXPECT_TRUE(CopyFileA(TargetProgram().c_str(), path.c_str(), FALSE)) << path;
    return LongPath(path);
  }

  ScratchFolder scratch_{"hlprobe"};
};

TEST_F(ActiveTaskProbe, ReportsTheFullPathOfTheProgramInFront) {
  std::string path = PlaceTarget("front target.exe");
  Child target(path, "Front target window");
  ASSERT_TRUE(target.Started()) << "start error " << target.StartError();
  HWND window = target.Window();
  ASSERT_NE(window, nullptr);

  std::string task;
  bool found = WaitFor([&] {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    task = GetActiveTask();
    return task == path;
  });
  EXPECT_TRUE(found) << "last sample: \"" << task << "\", expected \"" << path << "\"";
  // Every sample gives the same text: it is the task's key.
  EXPECT_EQ(task, GetActiveTask());
  EXPECT_EQ(ActiveTaskForegroundWindow(), window);
  EXPECT_EQ(WindowTitle(ActiveTaskForegroundWindow()), "Front target window");
  EXPECT_TRUE(target.Running());
}

// Paths are looked up once per process and kept while it runs: a program that follows an
// ended one in front, perhaps under a number used before, is still reported by its own path.
TEST_F(ActiveTaskProbe, EachProgramInFrontKeepsItsOwnPathFromSampleToSample) {
  std::string before;
  for (const char* name : {"first in front.exe", "second in front.exe", "third in front.exe"}) {
    const std::string path = PlaceTarget(name);
    Child target(path, name);
    ASSERT_TRUE(target.Started()) << "start error " << target.StartError();
    HWND window = target.Window();
    ASSERT_NE(window, nullptr);
    std::string task;
    EXPECT_TRUE(WaitFor([&] {
      if (GetForegroundWindow() != window) SetForegroundWindow(window);
      task = GetActiveTask();
      return task == path;
    })) << "last sample: \"" << task << "\", expected \"" << path << "\"";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetActiveTask(), path);
    EXPECT_NE(path, before);
    before = path;
  }
}

TEST_F(ActiveTaskProbe, EndsAProgramOnlyWhenItsPathIsBlocked) {
  std::string blockedPath = PlaceTarget("blocked.exe");
  std::string keptPath = PlaceTarget("kept.exe");
  Child blocked(blockedPath, "Blocked");
  Child kept(keptPath, "Kept");
  ASSERT_TRUE(blocked.Started()) << "start error " << blocked.StartError();
  ASSERT_TRUE(kept.Started()) << "start error " << kept.StartError();
  ASSERT_NE(blocked.Window(), nullptr);
  ASSERT_NE(kept.Window(), nullptr);

  // The kept program's path is only a part of a blocked entry; the blocked one is listed in
  // other letter case.
  std::string upper = blockedPath;
  CharUpperA(&upper[0]);
  SetBlockedList(keptPath + ".old;" + upper + ";");
  GetActiveTask();
  EXPECT_TRUE(blocked.EndsWithin(10000));
  EXPECT_EQ(blocked.ExitCode(), 0u);
  GetActiveTask();
  EXPECT_FALSE(kept.EndsWithin(500));

  // Nothing is ended while the list is empty.
  SetBlockedList("");
  GetActiveTask();
  EXPECT_TRUE(kept.Running());
}

TEST_F(ActiveTaskProbe, SeesAScreenSaverRunningFromTheSystemDirectory) {
  char system[MAX_PATH];
  UINT length = GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::string saverPath = std::string(system, length) + "\\hlprobe" +
                          std::to_string(GetCurrentProcessId()) + ".scr";
  ASSERT_TRUE(CopyFileA(TargetProgram().c_str(), saverPath.c_str(), FALSE)) << saverPath;
  struct RemoveSaver {
    std::string path;
    ~RemoveSaver() { DeleteFileA(path.c_str()); }
  } removeSaver{saverPath};

  // A ".scr" file outside the system directory is an ordinary program.
  Child elsewhere(PlaceTarget("x.scr"), "Not a saver");
  ASSERT_TRUE(elsewhere.Started()) << "start error " << elsewhere.StartError();
  ASSERT_NE(elsewhere.Window(), nullptr);
  SetScreenSaverWatch(-1);
  GetActiveTask();
  EXPECT_FALSE(IsScreenSaverRunning());

  {
    Child saver(saverPath, "Saver");
    ASSERT_TRUE(saver.Started()) << "start error " << saver.StartError();
    ASSERT_NE(saver.Window(), nullptr);

    // Until the watch starts, sampling leaves the flag alone.
    SetScreenSaverWatch(0);
    GetActiveTask();
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_EQ(ScreenSaverWatch(), 0);

    SetScreenSaverWatch(-1);
    GetActiveTask();
    EXPECT_TRUE(IsScreenSaverRunning());
    EXPECT_EQ(ScreenSaverWatch(), 1);
  }
  // The saver has been ended: the next sample no longer sees it.
  GetActiveTask();
  EXPECT_FALSE(IsScreenSaverRunning());
  EXPECT_EQ(ScreenSaverWatch(), -1);
}

// Runs a copy of this test program in `folder` with only the test below, and expects that
// one test to have run and passed.
void ExpectLibraryAbsentCaseRuns(const ScratchFolder& folder) {
  std::string program = folder.File("probe_copy.exe");
  ASSERT_TRUE(CopyFileA(ModulePath().c_str(), program.c_str(), FALSE));
  std::string report = folder.File("report.xml");
  Child child(program,
              "--gtest_also_run_disabled_tests "
              "--gtest_filter=ActiveTaskProbeAlone.DISABLED_EverySampleIsEmpty "
              "--gtest_output=xml:\"" + report + "\"",
              folder.Path());
  ASSERT_TRUE(child.Started()) << "start error " << child.StartError();
  ASSERT_TRUE(child.EndsWithin(60000));
  EXPECT_EQ(child.ExitCode(), 0u);
  std::ifstream in(report);
  std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(xml.find("tests=\"1\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("failures=\"0\""), std::string::npos) << xml;
}

TEST(ActiveTaskProbeWithoutLibrary, MissingLibraryOrEntryPointGivesEmptySamples) {
  ASSERT_NE(GetFileAttributesA(TargetProgram().c_str()), INVALID_FILE_ATTRIBUTES);
  {
    ScratchFolder missing("hlnolib");
    ExpectLibraryAbsentCaseRuns(missing);
  }
  {
    // A module that loads but exports none of the three entry points.
    ScratchFolder foreign("hlbadlib");
    ASSERT_TRUE(CopyFileA(TargetProgram().c_str(), foreign.File("qatask.dll").c_str(), FALSE));
    ExpectLibraryAbsentCaseRuns(foreign);
  }
}

// Run only by the test above, from a folder where qatask.dll is missing or unusable.
TEST(ActiveTaskProbeAlone, DISABLED_EverySampleIsEmpty) {
  LoadTaskLibrary();
  EXPECT_FALSE(TaskLibraryLoaded());
  SetBlockedList(ModulePath() + ";");
  SetScreenSaverWatch(-1);
  for (int sample = 0; sample < 3; ++sample) {
    EXPECT_EQ(GetActiveTask(), "");
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_EQ(ScreenSaverWatch(), -1);
  }
  EXPECT_EQ(ActiveTaskForegroundWindow(), nullptr);
  UnloadTaskLibrary();
  EXPECT_EQ(BlockedList(), "");
}

}  // namespace
