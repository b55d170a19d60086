// The tracker's cost at rest, measured side by side with an idle notepad: the CPU time the
// program takes over a period, with the shell (explorer.exe) and the wine server beside it,
// since a tray icon and every window call move work into those two. Notepad is measured
// alone first, then the tracker with its window shown, hidden, and while it tracks (one
// sample a second). Prints each process and their sum for every phase, the idle phases'
// sums against notepad's, and what a tracked second costs beyond the idle tracker.
//
// The system's own counters for another process move in 10 ms steps and miss short bursts,
// so each program is measured as the host process that runs it: the CPU time of all its
// threads as the host's scheduler counted it (nanoseconds), and the user and system time of
// its process status (clock ticks) beside it. The shell and the server are those of this
// run's prefix.
//
// Arguments: Hourlark.exe, qatask.dll, seconds per measurement (default 60), and "still" to
// have the tray icon stand still while tracking (the animation's share of a tracked second).
#include <cstdlib>

#include "e2e_support.h"

using namespace e2e;

namespace {

std::string HostFile(const std::string& path) { return ReadFile("Z:" + path); }

// The first of the host's processes (by number) for which match(its /proc folder) holds.
template <typename Match>
long FindHostProcess(Match match) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  long found = -1;
  do {
    const long pid = std::atol(data.cFileName);
    if (pid > 0 && match("/proc/" + std::to_string(pid))) found = pid;
  } while (found < 0 && FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

// The host's process number of the program started from that path, found by its command
// line among the host's processes.
long HostProcess(const std::string& windowsPath) {
  return FindHostProcess([&](const std::string& proc) {
    const std::string command = HostFile(proc + "/cmdline");
    return command.find(windowsPath) != std::string::npos && command.find("wineserver") == std::string::npos;
  });
}

// The host's process of this prefix whose command line holds name (the shell, the server).
long PrefixProcess(const std::string& name) {
  char prefix[MAX_PATH] = "";
  GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
  return FindHostProcess([&](const std::string& proc) {
    if (HostFile(proc + "/cmdline").find(name) == std::string::npos) return false;
    return prefix[0] == '\0' ||
           HostFile(proc + "/environ").find(std::string("WINEPREFIX=") + prefix + '\0') != std::string::npos;
  });
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

// The processes measured in a phase: the program, the shell and the server.
struct Processes {
  const char* program;
  long pids[3];
};

struct Period {
  CpuTime times[3];
  double SumMs() const { return times[0].scheduledMs + times[1].scheduledMs + times[2].scheduledMs; }
};

Period Measure(const Processes& p, int seconds) {
  CpuTime before[3];
  for (int i = 0; i < 3; ++i) before[i] = HostCpu(p.pids[i]);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  Period period;
  for (int i = 0; i < 3; ++i) {
    const CpuTime after = HostCpu(p.pids[i]);
    period.times[i] = {after.scheduledMs - before[i].scheduledMs, after.ticksMs - before[i].ticksMs};
  }
  return period;
}

void Report(const char* what, const Processes& p, const Period& period, int seconds) {
  std::printf("%-30s %-8s %8.1f ms  explorer %8.1f ms  wineserver %8.1f ms  all %8.1f ms = %6.2f ms a second"
              "   (status ticks: %5.0f / %5.0f / %5.0f ms)  %d s\n",
              what, p.program, period.times[0].scheduledMs, period.times[1].scheduledMs, period.times[2].scheduledMs,
              period.SumMs(), period.SumMs() / seconds, period.times[0].ticksMs, period.times[1].ticksMs,
              period.times[2].ticksMs, seconds);
  std::fflush(stdout);
}

// "2.57x notepad", or what the tracker took when notepad took nothing to compare with.
std::string AgainstNotepad(double tracker, double notepad, int seconds) {
  char text[96];
  if (notepad > 0)
    std::snprintf(text, sizeof text, "%.2fx notepad", tracker / notepad);
  else
    std::snprintf(text, sizeof text, "%.2f ms a second (notepad took none)", tracker / seconds);
  return text;
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
  const long explorerHost = PrefixProcess("explorer.exe"), serverHost = PrefixProcess("wineserver");
  Sleep(3000);  // settled
  const long notepadHost = HostProcess(notepadExe);
  if (!notepad.hProcess || notepadHost < 0 || explorerHost < 0 || serverHost < 0) {
    std::printf("notepad, the shell or the server not found (host processes %ld, %ld, %ld)\n", notepadHost,
                explorerHost, serverHost);
    Finish(notepad, true);
    return 1;
  }
  const Processes withNotepad{"notepad", {notepadHost, explorerHost, serverHost}};
  const Period alone = Measure(withNotepad, seconds);
  Report("notepad alone, window shown", withNotepad, alone, seconds);
  Finish(notepad, true);

  PROCESS_INFORMATION tracker = Launch(exe, "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  const long trackerHost = HostProcess(exe);
  if (!main.Complete() || trackerHost < 0) {
    std::printf("the tracker did not come up (host process %ld)\n", trackerHost);
    Finish(tracker, true);
    return 1;
  }
  Sleep(3000);  // settled

  const Processes withTracker{"tracker", {trackerHost, explorerHost, serverHost}};
  const Period shown = Measure(withTracker, seconds);
  Report("idle, window shown", withTracker, shown, seconds);
  ShowWindow(main.form, SW_HIDE);
  Sleep(1000);
  const Period hidden = Measure(withTracker, seconds);
  Report("idle, window hidden", withTracker, hidden, seconds);
  Click(main.btStart);
  PollUntil([&] { return ReadOnly(main.edUser); }, 5000);
  Sleep(1000);
  const Period tracking = Measure(withTracker, seconds);
  Report("tracking (1 sample a second)", withTracker, tracking, seconds);
  Click(main.btStop);

  std::printf("all three processes: idle shown %s; idle hidden %s; a tracked second: %.2f ms more than idle "
              "(tracker %.2f, explorer %.2f, wineserver %.2f)\n",
              AgainstNotepad(shown.SumMs(), alone.SumMs(), seconds).c_str(),
              AgainstNotepad(hidden.SumMs(), alone.SumMs(), seconds).c_str(),
              (tracking.SumMs() - hidden.SumMs()) / seconds,
              (tracking.times[0].scheduledMs - hidden.times[0].scheduledMs) / seconds,
              (tracking.times[1].scheduledMs - hidden.times[1].scheduledMs) / seconds,
              (tracking.times[2].scheduledMs - hidden.times[2].scheduledMs) / seconds);
  CloseAndFinish(tracker, main.form, 10000);
  return 0;
}
