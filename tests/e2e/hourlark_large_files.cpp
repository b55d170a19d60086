// Files far larger than the tracker ever writes, each in a fresh folder beside the real
// Hourlark.exe: a work file of years of days, a task list of a million lines in no order, a
// group file of millions of lines and a language file of 65,535 long texts chosen as the
// current language. The tracker must come up (or tell the user what it refuses), never
// crash, keep the file whole through a save, and its peak memory above that of a start with
// no files must stay within three times the file's size.
//
// Arguments: Hourlark.exe, qatask.dll, the size in percent of the full one (100: a 200 MB
// work file, 1,000,000 task lines, a 50 MB group file, a 100 MB language file).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "e2e_support.h"

#include <psapi.h>

using namespace e2e;

namespace {

const char* const kUser = "largeuser";

// What the tracker's process took at most, as the system counts it.
struct Memory {
  double peakWorkingSet = 0, peakPrivate = 0;  // MB
};

Memory PeakMemory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  Memory memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
    memory.peakWorkingSet = counters.PeakWorkingSetSize / 1048576.0;
    memory.peakPrivate = counters.PeakPagefileUsage / 1048576.0;
  }
  return memory;
}

double FileMB(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) return 0;
  return ((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) / 1048576.0;
}

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string Clock(int seconds) { return Two(seconds / 3600) + ":" + Two(seconds / 60 % 60) + ":" + Two(seconds % 60); }

// A file written in pieces of about a megabyte.
class Writer {
public:
  explicit Writer(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  void operator<<(const std::string& text) {
    buffer_ += text;
    if (buffer_.size() > (1u << 20)) Flush();
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  ~Writer() { Flush(); }

private:
  std::ofstream out_;
  std::string buffer_;
};

// Days of three users, forty programs a day, going back from today until the size is
// reached; the first user's today is among them.
void WriteWorkFile(const std::string& path, double megabytes) {
  Writer out(path);
  out << "[" + TodaySection(kUser) + "]\r\ntotal=" + Clock(4000) + "\r\nC:\\Apps\\today.exe=" + Clock(4000) + "\r\n";
  const uint64_t limit = static_cast<uint64_t>(megabytes * 1048576);
  uint64_t written = 0;
  for (int day = 0; written < limit; ++day) {
    for (const char* user : {"anna", "boris", "clara"}) {
      std::string section = std::string("[") + user + "\t" + std::to_string(1990 + day / 365) + "_" +
                            std::to_string(1 + day / 31 % 12) + "_" + std::to_string(1 + day % 28) + "]\r\n";
      section += "total=" + Clock(40 * 61) + "\r\n";
      for (int program = 0; program < 40; ++program)
        section += "C:\\Program Files\\Vendor " + std::to_string(program) + "\\program" + std::to_string(program) +
                   ".exe=" + Clock(61) + "\r\n";
      written += section.size();
      out << section;
    }
  }
}

// Task lines in a shuffled order (a list edited by hand), each path different.
void WriteTaskList(const std::string& path, int lines) {
  std::vector<int> order(static_cast<size_t>(lines));
  for (int i = 0; i < lines; ++i) order[static_cast<size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  Writer out(path);
  for (int n : order)
    out << "C:\\Programs\\Tool" + std::to_string(n) + "\\tool" + std::to_string(n) + ".exe\tTool number " +
               std::to_string(n) + " - a window title\t" + std::to_string(1 + n % 5) + "\r\n";
}

void WriteGroupFile(const std::string& path, double megabytes) {
  Writer out(path);
  const uint64_t limit = static_cast<uint64_t>(megabytes * 1048576);
  uint64_t written = 0;
  for (int n = 0; written < limit; ++n) {
    const std::string line = "Group " + std::to_string(n) + "\r\n";
    written += line.size();
    out << line;
  }
}

void Put16(std::string& out, uint32_t v) { out.append({static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}); }
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A language file of 65,535 idents whose texts fill the size; the idents the main window
// asks for read "Big <ident>".
void WriteLanguageFile(const std::string& path, double megabytes) {
  const uint32_t count = 65535;
  const std::string filler(static_cast<size_t>(megabytes * 1048576 / count), 'x');
  auto text = [&](uint32_t ident) { return ident >= 25 && ident <= 31 ? "Big " + std::to_string(ident) : filler; };
  std::string head = "LF3.10";
  head.append(3, '\0');   // flags, no locale block, left to right
  head.append(11, '\0');  // reserved, font charset
  Put32(head, 0);         // no fonts
  head.append(20, '\0');  // reserved
  Put16(head, 0);         // string list
  Put16(head, 0);         // property map
  Put16(head, count);
  uint32_t offset = 0;
  for (uint32_t ident = 1; ident <= count; ++ident) {
    head += '\0';
    Put16(head, ident);
    Put32(head, offset);
    Put16(head, 0);
    offset += static_cast<uint32_t>(text(ident).size() + 1);
  }
  Writer out(path);
  out << head;
  for (uint32_t ident = 1; ident <= count; ++ident) out << text(ident) + '\0';
}

struct DialogSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindMessage(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && IsWindowVisible(window) && ClassOf(window) == "#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct Outcome {
  bool started = false, crashed = false;
  std::string refusal;
  double seconds = 0;
  Memory memory;
};

// Starts the tracker in the folder and waits until its window shows, a message box of it
// says what it refuses, or it ends. When it started, tracking runs a second and stops (a
// save of the task list and the work file), then the window is closed.
Outcome RunTracker(const std::string& folder, const std::function<void(const MainWindow&)>& check) {
  Outcome outcome;
  const DWORD begin = GetTickCount();
  PROCESS_INFORMATION tracker = Launch(folder + "Hourlark.exe", "", folder);
  DialogSearch search{tracker.dwProcessId, nullptr};
  MainWindow main;
  PollUntil([&] {
    if (WaitForSingleObject(tracker.hProcess, 0) == WAIT_OBJECT_0) return true;
    EnumWindows(FindMessage, reinterpret_cast<LPARAM>(&search));
    if (search.found) return true;
    HWND form = FindWindowA("HlForm", "Hourlark 2.02");
    return form && IsWindowVisible(form);
  }, 900000);
  outcome.seconds = (GetTickCount() - begin) / 1000.0;
  if (WaitForSingleObject(tracker.hProcess, 0) == WAIT_OBJECT_0) {
    outcome.crashed = true;
  } else if (search.found) {
    outcome.refusal = MessageText(search.found);
    std::printf("the tracker says: %s\n", outcome.refusal.c_str());
  } else {
    main = FindMainWindow(tracker.dwProcessId);
    outcome.started = main.Complete();
  }
  if (outcome.started) {
    Sleep(1000);
    Click(main.btStart);
    Sleep(1500);
    Click(main.btStop);
    check(main);
    EnumWindows(FindMessage, reinterpret_cast<LPARAM>(&search));
    if (search.found) std::printf("after the save the tracker says: %s\n", MessageText(search.found).c_str());
  }
  outcome.memory = PeakMemory(tracker.hProcess);
  if (outcome.started) PostMessageA(main.form, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(tracker.hProcess, 600000) == WAIT_OBJECT_0;
  DWORD code = 0;
  GetExitCodeProcess(tracker.hProcess, &code);
  if (outcome.started && (!ended || code != 0)) outcome.crashed = true;
  Finish(tracker, !ended);
  return outcome;
}

void ResetSettings(const std::string& language) {
  const std::string key = "Software\\Quennix\\Hourlark";
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  SetValue(key, "Version", "2.02");
  SetValue(key + "\\Options", "edUser_Text", kUser);
  if (!language.empty()) SetValue(key + "\\Options", "edLang_Text", language);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: hourlark_large_files Hourlark.exe qatask.dll [percent of the full size]\n");
    return 2;
  }
  const double scale = (argc > 3 ? std::atof(argv[3]) : 100.0) / 100.0;

  // The tracker with no files at all: what every run takes anyway.
  ResetSettings("");
  const std::string empty = FreshTrackerFolder("hl_large_empty_", argv[1], argv[2]);
  const Outcome base = RunTracker(empty, [](const MainWindow&) {});
  Check(base.started && !base.crashed, "the tracker starts without files");
  std::printf("without files: peak working set %.1f MB, peak private %.1f MB\n", base.memory.peakWorkingSet,
              base.memory.peakPrivate);

  struct Case {
    const char* name;
    const char* file;
    std::function<void(const std::string&)> write;
    std::function<void(const std::string&, const MainWindow&)> check;
    const char* language;
  };
  const int taskLines = static_cast<int>(1000000 * scale);
  const Case cases[] = {
      {"work file", "hl20work.txt", [&](const std::string& p) { WriteWorkFile(p, 200 * scale); },
       [](const std::string& p, const MainWindow&) {
         const std::string text = ReadFile(p);
         Check(text.find("[anna\t1990_1_1]") != std::string::npos && text.find("[" + TodaySection(kUser) + "]") != std::string::npos &&
                   text.compare(text.size() - 2, 2, "\r\n") == 0,
               "the saved work file keeps the first and today's sections and ends whole");
       },
       ""},
      {"task list", "hl20task.txt", [&](const std::string& p) { WriteTaskList(p, taskLines); },
       [&](const std::string& p, const MainWindow&) {
         const std::string text = ReadFile(p);
         const auto lines = std::count(text.begin(), text.end(), '\n');
         Check(lines >= taskLines, "the saved task list keeps every line (" + std::to_string(lines) + ")");
       },
       ""},
      {"group file", "hl20grp.txt", [&](const std::string& p) { WriteGroupFile(p, 50 * scale); },
       [](const std::string& p, const MainWindow&) {
         Check(ReadFile(p).rfind("Group 0\r\nGroup 1\r\n", 0) == 0, "the group file is left as it was");
       },
       ""},
      {"language file", "Big.lng", [&](const std::string& p) { WriteLanguageFile(p, 100 * scale); },
       [](const std::string&, const MainWindow& main) {
         Check(StatusText(main.statusBar1, 0) == "Big 31", "the large language's texts are shown (" +
                                                               StatusText(main.statusBar1, 0) + ")");
       },
       "Big"},
  };

  for (const Case& c : cases) {
    ResetSettings(c.language);
    const std::string folder = FreshTrackerFolder(std::string("hl_large_") + c.file + "_", argv[1], argv[2]);
    const std::string path = folder + c.file;
    c.write(path);
    const double size = FileMB(path);
    const Outcome outcome = RunTracker(folder, [&](const MainWindow& main) { c.check(path, main); });
    const double above = outcome.memory.peakWorkingSet - base.memory.peakWorkingSet;
    std::printf("%s of %.1f MB: %s in %.1f s; peak working set %.1f MB (%.1f MB above a start without files, "
                "%.2fx the file), peak private %.1f MB\n",
                c.name, size, outcome.started ? "started" : outcome.crashed ? "ended" : "refused", outcome.seconds,
                outcome.memory.peakWorkingSet, above, above / size, outcome.memory.peakPrivate);
    std::fflush(stdout);
    Check(!outcome.crashed, std::string("the tracker does not crash with a large ") + c.name);
    Check(outcome.started || !outcome.refusal.empty(),
          std::string("the tracker starts or says what it refuses with a large ") + c.name);
    // Four megabytes on top for what any save takes whatever the size (pieces of a megabyte,
    // the heap's growth): they count at a twentieth of the size, not at the full one.
    Check(above <= 3 * size + 4, std::string("the tracker's memory stays within three times the ") + c.name + "'s size");
    DeleteFileA(path.c_str());
  }
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
