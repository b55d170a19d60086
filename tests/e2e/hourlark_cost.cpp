// The tracker's cost at rest, measured side by side with an idle notepad in the same run:
// the CPU time each process takes over the same period with the tracker's window shown,
// hidden, and while it tracks (one sample a second). Prints the tracker's time against
// notepad's, and what a tracked sample costs beyond the idle tracker.
//
// Arguments: Hourlark.exe, qatask.dll, seconds per measurement (default 60).
#include <cstdlib>

#include "e2e_support.h"

using namespace e2e;

namespace {

double CpuMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

struct Period {
  double tracker = 0, notepad = 0;
};

Period Measure(HANDLE tracker, HANDLE notepad, int seconds) {
  const double t0 = CpuMs(tracker), n0 = CpuMs(notepad);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return {CpuMs(tracker) - t0, CpuMs(notepad) - n0};
}

void Report(const char* what, const Period& p, int seconds) {
  std::printf("%-28s tracker %8.1f ms  notepad %8.1f ms  ratio %5.2f  (%d s)\n", what, p.tracker, p.notepad,
              p.notepad > 0 ? p.tracker / p.notepad : 0.0, seconds);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: hourlark_cost Hourlark.exe qatask.dll [seconds]\n");
    return 2;
  }
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "hl_cost_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "Hourlark.exe";
  CopyFileA(WinPath(argv[1]).c_str(), exe.c_str(), FALSE);
  CopyFileA(WinPath(argv[2]).c_str(), (folder + "qatask.dll").c_str(), FALSE);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark");

  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  PROCESS_INFORMATION notepad = Launch(std::string(windows) + "\\notepad.exe", "", folder);
  PROCESS_INFORMATION tracker = Launch(exe, "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  if (!main.Complete() || !notepad.hProcess) {
    std::printf("the tracker or notepad did not come up\n");
    Finish(tracker, true);
    Finish(notepad, true);
    return 1;
  }
  Sleep(3000);  // both settled

  const Period shown = Measure(tracker.hProcess, notepad.hProcess, seconds);
  Report("idle, window shown", shown, seconds);
  ShowWindow(main.form, SW_HIDE);
  Sleep(1000);
  const Period hidden = Measure(tracker.hProcess, notepad.hProcess, seconds);
  Report("idle, window hidden", hidden, seconds);
  SetText(main.edUser, "costuser");
  Click(main.btStart);
  PollUntil([&] { return ReadOnly(main.edUser); }, 5000);
  Sleep(1000);
  const Period tracking = Measure(tracker.hProcess, notepad.hProcess, seconds);
  Report("tracking (1 sample a second)", tracking, seconds);
  Click(main.btStop);

  std::printf("idle shown: %.2fx notepad; idle hidden: %.2fx notepad; a tracked sample: %.2f ms more than idle\n",
              shown.notepad > 0 ? shown.tracker / shown.notepad : 0.0,
              hidden.notepad > 0 ? hidden.tracker / hidden.notepad : 0.0,
              (tracking.tracker - hidden.tracker) / seconds);
  PostMessageA(main.form, WM_CLOSE, 0, 0);
  WaitForSingleObject(tracker.hProcess, 10000);
  Finish(tracker, true);
  Finish(notepad, true);
  return 0;
}
