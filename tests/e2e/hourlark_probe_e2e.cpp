// End to end with the real tracker and real processes, on what it does to other programs and
// what it does without its process library:
// - a program whose full path stands in the blocked group of the task list (in any letter
//   case) is ended at the next sample while tracking (and only then); a program that is not on the list, with a
//   path that is merely part of a blocked one, keeps running;
// - a screen saver (a program started from the system folder as a ".scr" file) stops
//   tracking while it runs, the day's total stands still, and tracking starts again when it
//   ends;
// - without qatask.dll next to it the tracker starts, tracks, charges every second to
//   "unknown_task" and shows no error.
//
// Arguments: Hourlark.exe, qatask.dll, probe_target.exe, the folder for the screenshots.
#include <cstdlib>

#include "e2e_support.h"

using namespace e2e;

namespace {

// The path as the system spells it (long names), which is how running programs are reported.
std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

// A fresh folder holding a copy of the tracker (and of the library when given).
std::string TrackerFolder(const std::string& name, const std::string& hourlark, const std::string& library) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string spelled = LongPath(folder) + "\\";
  CopyFileA(hourlark.c_str(), (spelled + "Hourlark.exe").c_str(), FALSE);
  if (!library.empty()) CopyFileA(library.c_str(), (spelled + "qatask.dll").c_str(), FALSE);
  return spelled;
}

bool Running(const PROCESS_INFORMATION& process) {
  return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

bool EndsWithin(const PROCESS_INFORMATION& process, DWORD ms) {
  return process.hProcess && WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD ExitCodeOf(const PROCESS_INFORMATION& process) {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &code);
  return code;
}

// The seconds of an "hh:nn:ss" day total; -1 for anything else.
int Seconds(const std::string& text) {
  int h = 0, m = 0, s = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) != 3) return -1;
  return h * 3600 + m * 60 + s;
}

// The day's total shown in the tracking service's status bar.
int ShownTotal(const MainWindow& main) { return Seconds(StatusText(main.statusBar1, 1)); }

// The keys of one section of an INI text, in order.
std::vector<std::string> SectionKeys(const std::string& text, const std::string& section) {
  std::vector<std::string> keys;
  std::istringstream lines(text);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    const size_t equals = line.find('=');
    if (inside && equals != std::string::npos) keys.push_back(line.substr(0, equals));
  }
  return keys;
}

// A visible top-level window of the process other than `except` (a message box, an error
// report); the application's own window is visible but has no size.
struct OtherWindowSearch {
  DWORD processId;
  HWND except;
  std::string found;
};

BOOL CALLBACK FindOtherWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<OtherWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  RECT place{};
  GetWindowRect(window, &place);
  const bool shown = IsWindowVisible(window) && place.right > place.left && place.bottom > place.top;
  if (owner == search->processId && window != search->except && shown) {
    search->found = ClassOf(window) + " \"" + TextOf(window) + "\"";
    return FALSE;
  }
  return TRUE;
}

std::string OtherVisibleWindow(DWORD processId, HWND except) {
  OtherWindowSearch search{processId, except, std::string()};
  EnumWindows(FindOtherWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Starts the tracker in its folder and finds its main window; false (the tracker ended) when
// the window does not come up.
bool StartTracker(const std::string& folder, PROCESS_INFORMATION& tracker, MainWindow& main, const std::string& what) {
  tracker = Launch(folder + "Hourlark.exe", "", folder);
  main = FindMainWindow(tracker.dwProcessId);
  Check(main.Complete(), what);
  if (!main.Complete()) Finish(tracker, true);
  return main.Complete();
}

// Starts tracking for `user` and waits until the edit turns read-only.
bool StartTracking(const MainWindow& main, const std::string& user) {
  SetText(main.edUser, user);
  Click(main.btStart);
  return PollUntil([&] { return ReadOnly(main.edUser); }, 5000);
}

void CloseTracker(PROCESS_INFORMATION& tracker, const MainWindow& main) {
  if (main.form) PostMessageA(main.form, WM_CLOSE, 0, 0);
  Check(EndsWithin(tracker, 30000), "closing the window ends the tracker");
  Finish(tracker, true);
}

// ---- Blocked programs and the screen saver, with the library ----

void BlockedProgramsAndScreenSaver(const std::string& hourlark, const std::string& library,
                                   const std::string& target, const std::string& shots) {
  const std::string folder = TrackerFolder("hl_probe_e2e_", hourlark, library);
  const std::string blocked = folder + "blocked_target.exe", free = folder + "free_target.exe";
  CopyFileA(target.c_str(), blocked.c_str(), FALSE);
  CopyFileA(target.c_str(), free.c_str(), FALSE);
  // The blocked group holds the first program, its name in other letter case, and a longer
  // path that begins with the second.
  const std::string tasks =
      folder + "BLOCKED_Target.EXE\tBlocked target\t6\r\n" + free + ".old\tOld free target\t6\r\n";
  std::ofstream(folder + "hl20task.txt", std::ios::binary) << tasks;

  PROCESS_INFORMATION tracker{};
  MainWindow main;
  if (!StartTracker(folder, tracker, main, "with a blocked task list the main window comes up")) return;

  // Not tracking: nothing is sampled, so nothing is ended.
  PROCESS_INFORMATION early = Launch(blocked, "Blocked early", folder);
  PROCESS_INFORMATION kept = Launch(free, "Free target", folder);
  Sleep(2500);
  Check(Running(early) && Running(kept), "while tracking is off a blocked program keeps running");

  const std::string user = "probeuser";
  Check(StartTracking(main, user), "Start starts tracking");
  Check(EndsWithin(early, 3000), "the blocked program is ended at the next sample");
  Check(ExitCodeOf(early) == 0, "it is ended with exit code 0");
  Finish(early, false);

  // Both started while tracking: the blocked one goes, the other stays.
  PROCESS_INFORMATION late = Launch(blocked, "Blocked late", folder);
  PROCESS_INFORMATION other = Launch(free, "Free target 2", folder);
  Check(EndsWithin(late, 3000), "a blocked program started while tracking is ended within a sample");
  Finish(late, false);
  Sleep(2000);
  Check(Running(kept) && Running(other),
        "programs off the list keep running, even with a path that is part of a blocked one");
  Finish(other, true);

  // The screen saver: a program from the system folder named ".scr".
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string saverPath = std::string(system) + "\\hl_e2e_" + std::to_string(GetCurrentProcessId()) + ".scr";
  Check(CopyFileA(target.c_str(), saverPath.c_str(), FALSE) != FALSE, "a screen saver is put in the system folder");
  Sleep(1500);  // a few seconds on the clock before the pause
  const int before = ShownTotal(main);
  Check(before >= 1, "the day's total runs before the screen saver (" + std::to_string(before) + " s)");
  PROCESS_INFORMATION saver = Launch(saverPath, "Screen saver", folder);
  Check(Running(saver), "the screen saver runs");
  Check(PollUntil([&] { return !ReadOnly(main.edUser); }, 3000), "the screen saver stops tracking");
  const int paused = ShownTotal(main);
  const std::string work = ReadFile(folder + "hl20work.txt");
  Check(work.find("[" + TodaySection(user) + "]") != std::string::npos &&
            work.find("total=" + StatusText(main.statusBar1, 1)) != std::string::npos,
        "the stop wrote the day with the total shown");
  Sleep(3000);
  Check(ShownTotal(main) == paused, "while the screen saver runs the day's total stands still");
  Check(!ReadOnly(main.edUser), "tracking stays off while the screen saver runs");
  Screenshot(shots + "e2e_screen_saver_pause.bmp");

  Finish(saver, true);
  Check(PollUntil([&] { return ReadOnly(main.edUser); }, 3000), "tracking starts again when the screen saver ends");
  const int resumed = ShownTotal(main);
  Check(resumed >= paused && resumed <= paused + 2,
        "the day goes on from the total at the pause (" + std::to_string(paused) + " s, then " +
            std::to_string(resumed) + " s)");
  Check(DeleteFileA(saverPath.c_str()) != FALSE, "the screen saver is removed afterwards");
  Sleep(1500);
  Check(ReadOnly(main.edUser), "without the screen saver tracking goes on");
  Check(Running(kept), "the program off the list is still running");
  Finish(kept, true);

  Click(main.btStop);
  Check(PollUntil([&] { return !ReadOnly(main.edUser); }, 5000), "Stop ends tracking");
  CloseTracker(tracker, main);
}

// ---- Without the library ----

void WithoutTheLibrary(const std::string& hourlark, const std::string& target) {
  const std::string folder = TrackerFolder("hl_nolib_e2e_", hourlark, std::string());
  Check(GetFileAttributesA((folder + "qatask.dll").c_str()) == INVALID_FILE_ATTRIBUTES,
        "the tracker's folder has no qatask.dll");
  PROCESS_INFORMATION tracker{};
  MainWindow main;
  if (!StartTracker(folder, tracker, main, "without the library the main window comes up")) return;
  const std::string user = "nolibuser";
  Check(StartTracking(main, user), "without the library Start starts tracking");

  PROCESS_INFORMATION other = Launch(target, "Unseen target", folder);
  HWND otherWindow = nullptr;
  PollUntil([&] { return (otherWindow = FindTargetWindow()) != nullptr; }, 10000);
  for (const DWORD front = GetTickCount(); GetTickCount() - front < 3000; Sleep(200)) SetForegroundWindow(otherWindow);
  const int total = ShownTotal(main);
  Check(total >= 2, "the day's total counts (" + StatusText(main.statusBar1, 1) + ")");
  Click(main.btStop);
  Check(PollUntil([&] { return !ReadOnly(main.edUser); }, 5000), "Stop ends tracking");
  Finish(other, true);

  const std::vector<std::string> keys = SectionKeys(ReadFile(folder + "hl20work.txt"), TodaySection(user));
  std::string listed;
  for (const std::string& key : keys) listed += key + " ";
  Check(keys.size() == 2 && keys[0] == "total" && keys[1] == "unknown_task",
        "the day holds only its total and unknown_task (" + listed + ")");
  const std::string tasks = ReadFile(folder + "hl20task.txt");
  Check(tasks.empty(), "no program is added to the task list");
  const std::string shown = OtherVisibleWindow(tracker.dwProcessId, main.form);
  Check(shown.empty(), "no message is shown" + (shown.empty() ? std::string() : " (" + shown + ")"));
  Check(Running(tracker), "the tracker keeps running");
  CloseTracker(tracker, main);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: hourlark_probe_e2e Hourlark.exe qatask.dll probe_target.exe shots-folder\n");
    return 2;
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark");
  BlockedProgramsAndScreenSaver(WinPath(argv[1]), WinPath(argv[2]), WinPath(argv[3]), WinPath(argv[4]) + "\\");
  WithoutTheLibrary(WinPath(argv[1]), WinPath(argv[3]));
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
