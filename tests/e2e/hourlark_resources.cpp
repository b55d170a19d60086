// Ten minutes of the real tracker with everything that makes and frees windows and drawing
// objects: tracking on (the tray icon turns), a countdown run out (its status bar blinks),
// and fifty times over the statistics window with its calendar picker, the options dialog
// with the task list's group picker, and a language switched there and back, all through
// the tray menu, the mouse and the keyboard as a user gives them. The process's GDI
// objects, USER objects and handles at the end must be within 5 % of where they were after
// the first round.
//
// Arguments: Hourlark.exe, qatask.dll, the folder for the screenshots, the minutes to run
// (default 10), the rounds (default 50), which windows a round opens (default "sol":
// statistics, options, language; fewer to find which one keeps objects), and "kinds" to
// print the GDI objects by kind after each window of every round.
#include <cstdlib>

#include "e2e_support.h"
#include "gui_resources.h"
#include "lang/lang_file_edit.h"

using namespace e2e;

namespace {

void Print(const char* when, const Resources& r) {
  std::printf("%-26s GDI objects %5ld%s  USER objects %5ld%s  handles %5ld%s\n", when, r.gdi,
              r.gdiCounted ? " (handle table)" : "", r.user, r.userCounted ? " (windows)" : "", r.handles,
              r.handlesCounted ? " (system handle list)" : "");
  std::fflush(stdout);
}

// The GDI objects by kind, and how each kind changed since the measurement before.
void PrintKinds(const Resources& r, const Resources& before) {
  GdiKinds kinds = r.gdiKinds;
  for (const auto& kind : before.gdiKinds) kinds.emplace(kind.first, 0);
  for (const auto& kind : kinds) {
    const auto was = before.gdiKinds.find(kind.first);
    const long change = kind.second - (was == before.gdiKinds.end() ? 0 : was->second);
    std::printf("    %-17s %5ld", GdiKindName(kind.first), kind.second);
    if (change != 0) std::printf("  (%+ld)", change);
    std::printf("\n");
  }
  std::fflush(stdout);
}

bool Within5Percent(long first, long last) { return first > 0 && std::labs(last - first) * 20 <= first; }

void WriteLanguage(const std::string& path, const std::string& today) {
  TLingroveLangFileEdit file(path, false);
  for (uint16_t ident = 25; ident <= 31; ++ident)
    file.AddString(ident, ident == 31 ? today : "Text " + std::to_string(ident), 0);
  file.Save();
}

// Days of a few programs up to today, so the statistics window has something to show.
void WriteData(const std::string& folder, const std::string& user) {
  std::string tasks, work;
  for (int i = 1; i <= 12; ++i)
    tasks += "C:\\Apps\\program" + std::to_string(i) + ".exe\tProgram " + std::to_string(i) + "\t" +
             std::to_string(1 + i % 5) + "\r\n";
  work = "[" + TodaySection(user) + "]\r\ntotal=01:00:00\r\n";
  for (int i = 1; i <= 12; ++i) work += "C:\\Apps\\program" + std::to_string(i) + ".exe=00:05:00\r\n";
  std::ofstream(folder + "hl20task.txt", std::ios::binary) << tasks;
  std::ofstream(folder + "hl20work.txt", std::ios::binary) << work;
}

// The date edits of the statistics window: the period's two dates, as it shows them.
std::vector<HWND> DateEdits(HWND statistic) {
  std::vector<HWND> edits;
  for (HWND child = GetWindow(ChildWindowFromPoint(statistic, POINT{5, 5}), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string text = TextOf(child);
    if (text.size() >= 8 && text.size() <= 10 && text.find_first_not_of("0123456789./-") == std::string::npos)
      edits.push_back(child);
  }
  return edits;
}

struct RoundSeen {
  bool statistic = false, calendar = false, options = false, groupPicker = false, language = false;
};

// The statistics window from the tray menu; its first date's calendar dropped and closed;
// the window closed with its button.
void StatisticRound(const PROCESS_INFORMATION& tracker, HWND mainForm, RoundSeen& round, const std::string& shot) {
  if (!ChooseTrayMenuItem(tracker.dwProcessId, {3, 2})) return;
  HWND statistic = nullptr;
  PollUntil([&] {
    statistic = TopLevel(tracker.dwProcessId, "HlForm", "", 200);
    return statistic && statistic != mainForm && ChildWithText(statistic, "Close") != nullptr;
  }, 30000);
  if (!statistic || statistic == mainForm) return;
  round.statistic = true;
  Sleep(500);
  const std::vector<HWND> dates = DateEdits(statistic);
  if (!dates.empty()) {
    RECT rect{};
    GetClientRect(dates[0], &rect);
    // The drop-down button at the edit's right end.
    ClickIn(dates[0], rect.right - 6, rect.bottom / 2);
    HWND calendar = NewWindow(tracker.dwProcessId, {mainForm, statistic}, 3000);
    if (calendar) {
      round.calendar = true;
      if (!shot.empty()) Screenshot(shot + "resources_calendar.bmp");
      Key(VK_ESCAPE);
      PollUntil([&] { return !IsWindowVisible(calendar); }, 3000);
    }
  }
  if (!shot.empty()) Screenshot(shot + "resources_statistic.bmp");
  ClickOn(ChildWithText(statistic, "Close"));
  PollUntil([&] { return !IsWindow(statistic) || !IsWindowVisible(statistic); }, 10000);
}

// The options dialog from the tray menu, its task list page, the first task's group picker
// dropped and closed, the dialog closed with Cancel.
void OptionsRound(const PROCESS_INFORMATION& tracker, HWND mainForm, RoundSeen& round, const std::string& shot) {
  if (!ChooseTrayMenuItem(tracker.dwProcessId, {3, 3})) return;
  HWND options = TopLevel(tracker.dwProcessId, "HlForm", "Options", 20000);
  if (!options) return;
  round.options = true;
  Sleep(300);
  ClickIn(options, 45, 30);
  Key(VK_END);
  Key(VK_UP);
  Sleep(300);
  // The group cell of the first task, then its drop-down button.
  ClickIn(options, 91 + 8 + 10, 8 + 18 + 9);
  Sleep(300);
  ClickIn(options, 91 + 8 + 26, 8 + 18 + 9);
  Sleep(300);
  HWND picker = NewWindow(tracker.dwProcessId, {mainForm, options}, 2000);
  if (picker) {
    round.groupPicker = true;
    if (!shot.empty()) Screenshot(shot + "resources_group_picker.bmp");
    Key(VK_ESCAPE);
    PollUntil([&] { return !IsWindowVisible(picker); }, 3000);
  }
  if (!shot.empty()) Screenshot(shot + "resources_options.bmp");
  ClickOn(ChildWithText(options, "Cancel"));
  PollUntil([&] { return !IsWindowVisible(options); }, 10000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: hourlark_resources Hourlark.exe qatask.dll shots-folder [minutes] [rounds]\n");
    return 2;
  }
  const std::string shots = WinPath(argv[3]) + "\\";
  const DWORD minutes = argc > 4 ? static_cast<DWORD>(std::atoi(argv[4])) : 10;
  const int rounds = argc > 5 ? std::atoi(argv[5]) : 50;
  const std::string kinds = argc > 6 ? argv[6] : "sol";
  const bool byKind = argc > 7 && std::string(argv[7]) == "kinds";
  const std::string folder = FreshTrackerRun("hl_resources_", argv[1], argv[2]);
  const std::string user = "ann";
  WriteData(folder, user);
  WriteLanguage(folder + "Alpha.lng", "Alpha today");
  WriteLanguage(folder + "Beta.lng", "Beta today");
  const std::string key = "Software\\Quennix\\Hourlark";
  SetValue(key, "Version", "2.02");
  SetValue(key + "\\Options", "edUser_Text", user);
  SetValue(key + "\\Options", "edTimeCountDown_Text", "1");
  SetValue(key + "\\Options", "cbAnimatedIcon_Checked", "True");

  const DWORD begin = GetTickCount();
  PROCESS_INFORMATION tracker = Launch(folder + "Hourlark.exe", "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  Check(main.Complete(), "the main window is found");
  if (!main.Complete()) {
    Finish(tracker, true);
    return 1;
  }
  Sleep(1000);
  // Tracking (the tray icon turns) and a one-minute countdown, both from the tray menu.
  Check(ChooseTrayMenuItem(tracker.dwProcessId, {3, 0}), "tracking is started from the tray menu");
  Check(PollUntil([&] { return ReadOnly(main.edUser); }, 5000), "tracking runs");
  Check(ChooseTrayMenuItem(tracker.dwProcessId, {4, 0}), "the countdown is started from the tray menu");
  Check(PollUntil([&] { return ReadOnly(main.edMinutes); }, 5000), "the countdown runs");
  // The rounds start once the countdown has run out and blinks: its end brings the window
  // back with the countdown's page, whose first showing makes its objects once.
  bool blinked = PollUntil([&] { return SendMessageA(main.statusBar2, SB_ISSIMPLE, 0, 0) != 0; }, 90000);
  Check(blinked, "the countdown's end blinks");
  Sleep(2000);

  Resources first, last, previous = Measure(tracker);
  if (byKind) {
    Print("before the first round", previous);
    PrintKinds(previous, Resources());
  }
  int statistics = 0, calendars = 0, options = 0, pickers = 0, languages = 0;
  for (int i = 0; i < rounds; ++i) {
    RoundSeen round;
    const std::string shot = i == 1 ? shots : "";
    const auto step = [&](const char* what) {
      if (!byKind) return;
      Sleep(1000);
      const Resources now = Measure(tracker);
      std::printf("round %d, after %s: ", i + 1, what);
      Print("", now);
      PrintKinds(now, previous);
      previous = now;
    };
    if (kinds.find('s') != std::string::npos) {
      StatisticRound(tracker, main.form, round, shot);
      step("the statistics");
    }
    if (kinds.find('o') != std::string::npos) {
      OptionsRound(tracker, main.form, round, shot);
      step("the options");
    }
    // The language switched to the other one and back, so that every round ends where it
    // began.
    if (kinds.find('l') != std::string::npos) {
      round.language = true;
      for (int position : {2, 1}) {
        const std::string before = StatusText(main.statusBar1, 0);
        round.language = round.language && ChooseLanguageEntry(tracker.dwProcessId, position) &&
                         PollUntil([&] { return StatusText(main.statusBar1, 0) != before; }, 5000);
      }
      step("the language switches");
    }
    statistics += round.statistic;
    calendars += round.calendar;
    options += round.options;
    pickers += round.groupPicker;
    languages += round.language;
    if (i == 0) {
      Sleep(1000);
      first = Measure(tracker);
      Print("after the first round", first);
      if (byKind) PrintKinds(first, previous);
      previous = first;
    }
    if ((i + 1) % 10 == 0 || kinds != "sol" || byKind) {
      std::printf("round %d, %lu s: ", i + 1, (GetTickCount() - begin) / 1000);
      const Resources now = Measure(tracker);
      Print("", now);
      if (byKind) PrintKinds(now, previous);
      previous = now;
    }
    if (Ended(tracker)) break;
  }
  // The rest of the time the tracker runs on by itself, tracking and blinking.
  while (!Ended(tracker) && GetTickCount() - begin < minutes * 60000) Sleep(1000);
  Check(PollUntil([&] { return SendMessageA(main.statusBar2, SB_ISSIMPLE, 0, 0) != 0; }, 3000),
        "the countdown still blinks at the end");
  Screenshot(shots + "resources_end.bmp");
  last = Measure(tracker);
  Print("at the end", last);
  if (byKind) PrintKinds(last, previous);
  std::printf("%d rounds in %lu s: statistics %d, calendars %d, options %d, group pickers %d, language switches %d\n",
              rounds, (GetTickCount() - begin) / 1000, statistics, calendars, options, pickers, languages);

  Check(!Ended(tracker), "the tracker ran the whole time");
  Check(statistics == rounds && calendars == rounds, "the statistics window and its calendar opened every round");
  Check(options == rounds && pickers == rounds, "the options dialog and the group picker opened every round");
  Check(languages == rounds, "the language was switched there and back every round");
  Check(Within5Percent(first.gdi, last.gdi), "GDI objects end within 5 % of the first round");
  Check(Within5Percent(first.user, last.user), "USER objects end within 5 % of the first round");
  Check(Within5Percent(first.handles, last.handles), "handles end within 5 % of the first round");
  CloseAndFinish(tracker, main.form);
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
