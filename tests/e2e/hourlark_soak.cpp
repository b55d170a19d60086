// Soak test of the tracker's saving: starts the real Hourlark.exe again and again in one
// folder and ends it by force at a random moment of one of these:
// - Start and Stop at a random pace (each Stop saves the task list and the day);
// - tracking across midnight (the clock is moved to just before it: the day's save and the
//   new day's first reading), when a clock file is given;
// - tracking until the save period (one minute) saves by itself;
// - the options dialog, through the mouse and the keyboard: a task's description edited
//   and applied (hl20task.txt written), then a group added in the group editor
//   (hl20grp.txt written).
// After every end hl20task.txt, hl20work.txt and hl20grp.txt must each be a whole file, the
// old one or the new one; the next start must read them (every task line, every day's time
// and the groups are still there after its first save); and the temporary files a save
// ended half-way left behind must be gone once it has started.
//
// Arguments: Hourlark.exe, qatask.dll, the number of rounds, and optionally the file whose
// "+seconds" the clock of every program of the run is moved by (a fake clock the script
// sets up; "" for none) and a folder for screenshots of the options rounds.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "e2e_support.h"

using namespace e2e;

namespace {

const char* const kUser = "soakuser";

// The lines of a whole task list (each line three fields, CR LF at the end), or false.
bool TaskLines(const std::string& text, std::set<std::string>& lines) {
  lines.clear();
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    if (std::count(line.begin(), line.end(), '\t') != 2) return false;
    lines.insert(line);
    at = end + 2;
  }
  return true;
}

// The user's days in a whole work file, each with its total in seconds; false when the file
// is not whole (no CR LF at its end, a day without its total).
bool WorkDays(const std::string& text, std::map<std::string, long>& days) {
  days.clear();
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
  const std::string head = std::string("[") + kUser + "\t";
  for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    const size_t close = text.find("]\r\ntotal=", at);
    int h = 0, m = 0, s = 0;
    if (close == std::string::npos || std::sscanf(text.c_str() + close + 9, "%d:%d:%d", &h, &m, &s) != 3) return false;
    days[text.substr(at + 1, close - at - 1)] = h * 3600L + m * 60 + s;
  }
  return !days.empty();
}

// The temporary files of saves of the tracker's files in the folder.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "hl20*.~*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

std::string WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info);
  return std::to_string(info.ftLastWriteTime.dwHighDateTime) + "." + std::to_string(info.ftLastWriteTime.dwLowDateTime) +
         "." + std::to_string(info.nFileSizeLow);
}

// The clock of the run's programs, moved by whole seconds through the clock file.
class FakeClock {
public:
  explicit FakeClock(std::string file) : file_(std::move(file)) {
    if (!file_.empty()) Move(0);
  }
  bool Usable() const { return !file_.empty(); }
  // Moves the clock so that it reads `before` seconds short of the next midnight.
  void BeforeMidnight(int before) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const long secondsOfDay = now.wHour * 3600L + now.wMinute * 60 + now.wSecond;
    Move(offset_ + 86400 - secondsOfDay - before);
  }

private:
  void Move(long offset) {
    offset_ = offset;
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << "+" << offset << "\n";
    Sleep(50);
  }
  std::string file_;
  long offset_ = 0;
};

enum class Kind { startStop, midnight, savePeriod, options };

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::midnight: return "midnight";
    case Kind::savePeriod: return "save period";
    case Kind::options: return "options";
    default: return "start/stop";
  }
}

// Start and Stop at a random pace, for up to a second and a half.
void StartStopAtRandom(const MainWindow& main) {
  const DWORD deadline = GetTickCount() + 100 + std::rand() % 1500;
  while (GetTickCount() < deadline) {
    PostClick(main.btStart);
    if (std::rand() % 3 == 0) Sleep(std::rand() % 1100);  // a second ticks: time is counted
    PostClick(main.btStop);
    Sleep(std::rand() % 15);
  }
}

// Opens the options dialog from the tray menu, edits the first task's description on the
// task list page and applies it, then adds a group in the group editor; returns at a random
// moment of it (the caller ends the tracker there). Counts the steps that were finished.
struct OptionsSteps {
  int applied = 0, grouped = 0;
  int descriptionsSeen = 0, groupsSeen = 0;  // found in the files after the end
};

void EditInOptions(const MainWindow& main, DWORD process, int round, OptionsSteps& steps, std::string& newGroups,
                   const std::string& oldGroups, const std::string& shots) {
  // 0: in the grid, 1: after Apply, 2: in the editor, 3: after OK; the first time all the way.
  const int stopAfter = steps.applied == 0 ? 3 : std::rand() % 4;
  if (!ChooseTrayMenuItem(process, {3, 3})) return;
  HWND options = TopLevel(process, "HlForm", "Options", 10000);
  if (!options) return;
  Sleep(300);
  // The page chooser: the first page, then the last but one (the task list).
  ClickIn(options, 45, 30);
  Key(VK_END);
  Key(VK_UP);
  Sleep(300);
  // The first task's description cell (after the group and program columns).
  ClickIn(options, 91 + 8 + 34 + 267 + 60, 8 + 18 + 9);
  Sleep(100);
  Type("D" + std::to_string(round));
  // Tab leaves the cell (Enter would press the dialog's OK).
  Key(VK_TAB);
  if (!shots.empty()) Screenshot(shots + "soak_options_edited.bmp");
  if (stopAfter == 0) return;
  ClickOn(ChildWithText(options, "Apply"));
  Sleep(std::rand() % 200);
  ++steps.applied;
  if (stopAfter == 1) return;
  ClickOn(ChildWithText(options, "Edit"));
  HWND editor = NewWindow(process, {options, main.form}, 10000, "HlForm");
  if (!shots.empty()) Screenshot(shots + "soak_group_editor_opened.bmp");
  if (!editor || ClassOf(editor) != "HlForm") {
    std::printf("round %d: no group editor (%s)\n", round, editor ? ClassOf(editor).c_str() : "none");
    return;
  }
  Sleep(300);
  RECT client{};
  GetClientRect(editor, &client);
  ClickIn(editor, client.right / 2, 40);
  CtrlKey(VK_END);
  const std::string name = "G" + std::to_string(round);
  Type(name);
  if (!shots.empty()) Screenshot(shots + "soak_group_editor.bmp");
  // The editor's lines as the file will hold them.
  newGroups = oldGroups + std::string(name.size(), ' ') + "\r\n";
  for (size_t i = 0; i < name.size(); ++i) newGroups[oldGroups.size() + i] = static_cast<char>(std::tolower(name[i]));
  if (stopAfter == 2) return;
  ClickOn(ChildWithText(editor, "OK"));
  Sleep(std::rand() % 300);
  ++steps.grouped;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: hourlark_soak Hourlark.exe qatask.dll rounds [clock file]\n");
    return 2;
  }
  const int rounds = std::atoi(argv[3]);
  FakeClock clock(argc > 4 && argv[4][0] ? WinPath(argv[4]) : std::string());
  const std::string shots = argc > 5 ? WinPath(argv[5]) + "\\" : std::string();
  const std::string folder = FreshTrackerRun("hl_soak_", argv[1], argv[2]);
  const std::string exe = folder + "Hourlark.exe";
  const std::string key = "Software\\Quennix\\Hourlark";
  SetValue(key, "Version", "2.02");
  SetValue(key + "\\Options", "edUser_Text", kUser);
  SetValue(key + "\\Options", "edSaveTime_Value", "1");
  SetValue(key + "\\Options", "cbAutoHide_Checked", "False");
  const std::string taskPath = folder + "hl20task.txt", workPath = folder + "hl20work.txt",
                    groupPath = folder + "hl20grp.txt";
  std::ofstream(taskPath, std::ios::binary) << "C:\\Apps\\soak1.exe\tSoak one\t1\r\nC:\\Apps\\soak2.exe\tSoak two\t2\r\n";
  std::ofstream(groupPath, std::ios::binary) << "first\r\n";
  std::srand(GetTickCount());

  std::string foreign;
  std::set<std::string> before, after;
  std::map<std::string, long> days, daysAfter;
  std::string groups = ReadFile(groupPath);
  std::map<Kind, int> kinds;
  OptionsSteps steps;
  int whole = 0, readBack = 0, started = 0, leftBehind = 0, cleaned = 0, periodSaves = 0, midnights = 0;
  for (int round = 0; round < rounds; ++round) {
    Kind kind = Kind::startStop;
    if (round % 10 == 3 && clock.Usable()) kind = Kind::midnight;
    if (round % 10 == 6) kind = Kind::options;
    if (round % 25 == 9) kind = Kind::savePeriod;
    ++kinds[kind];

    const std::vector<std::string> stale = Leftovers(folder);
    leftBehind += static_cast<int>(stale.size());
    PROCESS_INFORMATION tracker = Launch(exe, "", folder);
    MainWindow main = FindMainWindow(tracker.dwProcessId);
    if (!main.Complete()) {
      std::printf("round %d: the window did not come up\n", round);
      Finish(tracker, true);
      continue;
    }
    ++started;
    // Start-up is over once the window shows: the leftovers of ended saves are gone.
    const std::vector<std::string> now = Leftovers(folder);
    bool clean = true;
    for (const std::string& name : stale) clean = clean && std::find(now.begin(), now.end(), name) == now.end();
    cleaned += clean ? static_cast<int>(stale.size()) : 0;
    if (!clean) std::printf("round %d: a temporary file of an ended save is still there\n", round);

    // The first save of this run: what the files held must still be there.
    Click(main.btStart);
    Click(main.btStop);
    const bool tasksKept = TaskLines(ReadFile(taskPath), after) &&
                           std::includes(after.begin(), after.end(), before.begin(), before.end());
    bool daysKept = WorkDays(ReadFile(workPath), daysAfter);
    for (const auto& day : days) daysKept = daysKept && daysAfter.count(day.first) && daysAfter[day.first] >= day.second;
    const bool groupsKept = ReadFile(groupPath) == groups;
    if (round == 0 || (tasksKept && daysKept && groupsKept)) ++readBack;
    else
      std::printf("round %d: the files saved before were not read back (tasks %d, days %d, groups %d)\n", round,
                  tasksKept, daysKept, groupsKept);

    const DWORD ended = tracker.dwProcessId;
    std::string newGroups = groups;
    if (kind == Kind::startStop) {
      StartStopAtRandom(main);
    } else if (kind == Kind::midnight) {
      // Tracking runs over midnight; the end comes in the first seconds of the new day.
      // The clock moves while tracking is off: no time is counted for the jump.
      clock.BeforeMidnight(2 + std::rand() % 3);
      const std::string today = TodaySection(kUser);
      Click(main.btStart);
      PollUntil([&] { return TodaySection(kUser) != today; }, 15000);
      Sleep(std::rand() % 1500);
      ++midnights;
    } else if (kind == Kind::savePeriod) {
      // The Stop above saved; the period's own save comes a minute later, the end at a random
      // moment of its first tens of milliseconds.
      const std::string saved = WriteTime(workPath);
      Click(main.btStart);
      if (PollUntil([&] { return WriteTime(workPath) != saved; }, 75000)) ++periodSaves;
      Sleep(std::rand() % 40);
    } else {
      EditInOptions(main, tracker.dwProcessId, round, steps, newGroups, groups, shots);
    }
    Finish(tracker, true);
    // Ends rarely fall inside a save's few bytes; every other round leaves a temporary file
    // as such an end would, under the ended tracker's process id.
    if (round == 0) {
      foreign = folder + "notes.txt.~" + std::to_string(ended) + "-1.tmp";
      std::ofstream(foreign, std::ios::binary) << "mine";
    }
    if (round % 2 == 0) {
      static const char* const names[] = {"hl20task.txt", "hl20work.txt", "hl20grp.txt"};
      const std::string name = folder + names[round / 2 % 3] + ".~" + std::to_string(ended) + "-7.tmp";
      std::ofstream(name, std::ios::binary) << "half";
    }

    const std::string groupText = ReadFile(groupPath);
    if (kind == Kind::options) {
      steps.descriptionsSeen += ReadFile(taskPath).find("\td" + std::to_string(round)) != std::string::npos;
      steps.groupsSeen += groupText != groups && groupText == newGroups;
    }
    const bool groupsWhole = groupText == groups || groupText == newGroups;
    const bool ok = TaskLines(ReadFile(taskPath), before) && WorkDays(ReadFile(workPath), days) && groupsWhole;
    if (ok) {
      ++whole;
      groups = groupText;
    } else {
      std::printf("round %d (%s) left a broken file\n", round, KindName(kind));
    }
    if ((round + 1) % 10 == 0) {
      std::printf("%d rounds so far: %d started, %d whole, %d read back\n", round + 1, started, whole, readBack);
      std::fflush(stdout);
    }
  }
  std::printf("%d rounds (%d start/stop, %d midnight, %d save period, %d options): %d started, %d left whole files, "
              "%d read back, %d leftovers of ended saves, %d removed at the next start; %d midnights passed, "
              "%d period saves seen, %d applies and %d group edits finished before the end (%d descriptions and %d "
              "groups found in the files)\n",
              rounds, kinds[Kind::startStop], kinds[Kind::midnight], kinds[Kind::savePeriod], kinds[Kind::options],
              started, whole, readBack, leftBehind, cleaned, midnights, periodSaves, steps.applied, steps.grouped,
              steps.descriptionsSeen, steps.groupsSeen);
  Check(started == rounds, "the tracker started every round");
  Check(whole == rounds, "after every forced end the three files are whole");
  Check(readBack == started, "every start read the files the last one saved");
  Check(leftBehind > 0 && cleaned == leftBehind, "every start removed the temporary files of ended saves");
  Check(!foreign.empty() && ReadFile(foreign) == "mine", "a temporary file of another file is left alone");
  if (kinds[Kind::savePeriod] > 0) Check(periodSaves > 0, "the save period saved by itself");
  if (kinds[Kind::options] > 2)
    Check(steps.descriptionsSeen > 0 && steps.groupsSeen > 0,
          "descriptions applied and groups added in the options dialog reach the files");
  if (kinds[Kind::midnight] > 0) Check(days.size() > 1, "the work file holds the days before and after midnight");
  return failures == 0 ? 0 : 1;
}
