// The tracker's cost at rest, measured side by side with an idle notepad in the same run:
// the CPU time each process takes over the same period with the tracker's window shown,
// hidden, and while it tracks (one sample a second). Prints the tracker's time against
// notepad's, and what a tracked sample costs beyond the idle tracker.
//
// The system's own counters for another process move in 10 ms steps and miss short bursts,
// so each program is measured as the host process that runs it: the CPU time of all its
// threads as the host's scheduler counted it (nanoseconds), and the user and system time of
// its process status (clock ticks) beside it.
//
// Arguments: Hourlark.exe, qatask.dll, seconds per measurement (default 60), and "still" to
// have the tray icon stand still while tracking (the animation's share of a tracked second).
#include <cstdlib>

#include "e2e_support.h"

using namespace e2e;

namespace {

std::string HostFile(const std::string& path) { return ReadFile("Z:" + path); }

// The host's process number of the program started from that path, found by its command
// line among the host's processes.
long HostProcess(const std::string& windowsPath) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  long found = -1;
  do {
    const long pid = std::atol(data.cFileName);
    if (pid <= 0) continue;
    const std::string command = HostFile("/proc/" + std::to_string(pid) + "/cmdline");
    if (command.find(windowsPath) != std::string::npos && command.find("wineserver") == std::string::npos) found = pid;
  } while (found < 0 && FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

struct CpuTime {
  double scheduledMs = 0;  // every thread's time on a CPU
  double ticksMs = 0;      // user + system time of the process status
};

CpuTime HostCpu(long pid) {
  CpuTime time;
  const std::string stat = HostFile("/proc/" + std::to_string(pid) + "/stat");
  // The fields after the command's closing parenthesis: state is the 3rd, utime the 14th.
  const size_t close = stat.rfind(')');
  if (close != std::string::npos) {
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
      if (i == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    time.ticksMs = (utime + stime) * 10.0;  // the host counts 100 ticks a second
  }
  WIN32_FIND_DATAA data;
  const std::string tasks = "Z:\\proc\\" + std::to_string(pid) + "\\task\\";
  HANDLE find = FindFirstFileA((tasks + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return time;
  do {
    if (data.cFileName[0] < '0' || data.cFileName[0] > '9') continue;
    const std::string sched = ReadFile(tasks + data.cFileName + "\\schedstat");
    time.scheduledMs += std::strtoull(sched.c_str(), nullptr, 10) / 1e6;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return time;
}

struct Period {
  CpuTime tracker, notepad;
};

Period Measure(long tracker, long notepad, int seconds) {
  const CpuTime t0 = HostCpu(tracker), n0 = HostCpu(notepad);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const CpuTime t1 = HostCpu(tracker), n1 = HostCpu(notepad);
  return {{t1.scheduledMs - t0.scheduledMs, t1.ticksMs - t0.ticksMs},
          {n1.scheduledMs - n0.scheduledMs, n1.ticksMs - n0.ticksMs}};
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

// "2.57x notepad", or what the tracker took when notepad took nothing to compare with.
std::string AgainstNotepad(double tracker, double notepad, int seconds) {
  char text[96];
  if (notepad > 0)
    std::snprintf(text, sizeof text, "%.2fx notepad", tracker / notepad);
  else
    std::snprintf(text, sizeof text, "%.2f ms a second (notepad took none)", tracker / seconds);
  return text;
}

void Report(const char* what, const Period& p, int seconds) {
  std::printf("%-28s tracker %8.1f ms  notepad %8.1f ms  ratio %5.2f   (status ticks: %6.0f / %6.0f ms)  %d s\n", what,
              p.tracker.scheduledMs, p.notepad.scheduledMs, Ratio(p.tracker.scheduledMs, p.notepad.scheduledMs),
              p.tracker.ticksMs, p.notepad.ticksMs, seconds);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: hourlark_cost Hourlark.exe qatask.dll [seconds]\n");
    return 2;
  }
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
  const std::string folder = FreshTrackerRun("hl_cost_", argv[1], argv[2]);
  const std::string exe = folder + "Hourlark.exe";
  SetValue("Software\\Quennix\\Hourlark", "Version", "2.02");
  SetValue("Software\\Quennix\\Hourlark\\Options", "edUser_Text", "costuser");
  if (argc > 4 && std::string(argv[4]) == "still")
    SetValue("Software\\Quennix\\Hourlark\\Options", "cbAnimatedIcon_Checked", "False");
  // Its own copy, so that the notepad of this run is told from any other.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string notepadExe = folder + "notepad.exe";
  CopyFileA((std::string(windows) + "\\notepad.exe").c_str(), notepadExe.c_str(), FALSE);
  PROCESS_INFORMATION notepad = Launch(notepadExe, "", folder);
  PROCESS_INFORMATION tracker = Launch(exe, "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  const long trackerHost = HostProcess(exe), notepadHost = HostProcess(notepadExe);
  if (!main.Complete() || !notepad.hProcess || trackerHost < 0 || notepadHost < 0) {
    std::printf("the tracker or notepad did not come up (host processes %ld, %ld)\n", trackerHost, notepadHost);
    Finish(tracker, true);
    Finish(notepad, true);
    return 1;
  }
  Sleep(3000);  // both settled

  const Period shown = Measure(trackerHost, notepadHost, seconds);
  Report("idle, window shown", shown, seconds);
  ShowWindow(main.form, SW_HIDE);
  Sleep(1000);
  const Period hidden = Measure(trackerHost, notepadHost, seconds);
  Report("idle, window hidden", hidden, seconds);
  Click(main.btStart);
  PollUntil([&] { return ReadOnly(main.edUser); }, 5000);
  Sleep(1000);
  const Period tracking = Measure(trackerHost, notepadHost, seconds);
  Report("tracking (1 sample a second)", tracking, seconds);
  Click(main.btStop);

  std::printf("idle shown: %s; idle hidden: %s; a tracked sample: %.2f ms more than idle\n",
              AgainstNotepad(shown.tracker.scheduledMs, shown.notepad.scheduledMs, seconds).c_str(),
              AgainstNotepad(hidden.tracker.scheduledMs, hidden.notepad.scheduledMs, seconds).c_str(),
              (tracking.tracker.scheduledMs - hidden.tracker.scheduledMs) / seconds);
  CloseAndFinish(tracker, main.form, 10000);
  Finish(notepad, true);
  return 0;
}
