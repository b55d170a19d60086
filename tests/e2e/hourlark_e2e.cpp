// End to end with the real tracker: starts Hourlark.exe in a fresh folder and drives it by
// window messages. Tracks a second program, checks the task list and the work file, runs a
// one-minute countdown to its blinking end, sets an alarm for the current minute, restarts
// to see the settings come back, takes screenshots, and finally ends the tracker by force
// at random moments while it saves, checking that both files stay whole.
//
// Arguments: Hourlark.exe, qatask.dll, probe_target.exe, the folder for the screenshots.
#include <cstdlib>

#include "e2e_support.h"

using namespace e2e;

namespace {

// A task list line has three fields; a work file holds the user's section with its total.
bool TaskFileWhole(const std::string& text) {
  if (text.empty() || text.size() < 2 || text.substr(text.size() - 2) != "\r\n") return false;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t tabs = 0;
    for (char c : line) tabs += c == '\t';
    if (tabs != 2) return false;
  }
  return true;
}

bool WorkFileWhole(const std::string& text, const std::string& section) {
  return !text.empty() && text.back() == '\n' && text.find("[" + section + "]") != std::string::npos &&
         text.find("total=") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: hourlark_e2e Hourlark.exe qatask.dll probe_target.exe shots-folder\n");
    return 2;
  }
  const std::string shots = WinPath(argv[4]) + "\\";
  const std::string folder = FreshTrackerFolder("hl_e2e_", argv[1], argv[2]);
  const std::string exe = folder + "Hourlark.exe";
  const std::string target = folder + "probe_target.exe";
  CopyFileA(WinPath(argv[3]).c_str(), target.c_str(), FALSE);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark");
  const std::string user = "e2euser";
  const std::string taskPath = folder + "hl20task.txt", workPath = folder + "hl20work.txt";

  // ---- First run: tracking, countdown, alarm ----
  PROCESS_INFORMATION tracker = Launch(exe, "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  Check(main.form != nullptr && main.Complete(), "the main window and its controls are found");
  if (!main.Complete()) {
    Finish(tracker, true);
    return 1;
  }
  RECT rect{};
  GetWindowRect(main.form, &rect);
  Check(rect.right == GetSystemMetrics(SM_CXSCREEN), "the window sits flush right");
  RECT client{};
  GetClientRect(main.form, &client);
  Check((GetWindowLongA(main.form, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) == 0 && client.right == 132 &&
            client.bottom == 78 && rect.right - rect.left == 132,
        "the window has no caption bar or frame, only its 132 x 78 client area");
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  Check(rect.bottom <= area.bottom && rect.bottom >= area.bottom - 8, "the window sits just above the taskbar");
  Sleep(1500);  // painted
  Screenshot(shots + "e2e_tracking_service.bmp");

  SetText(main.edUser, "");
  Click(main.btStart);
  Sleep(500);
  Check(!ReadOnly(main.edUser) && IsWindowVisible(main.form), "without a user name Start does nothing");
  SetText(main.edUser, user);
  Click(main.btStart);
  Check(PollUntil([&] { return ReadOnly(main.edUser); }, 5000), "Start starts tracking");
  Check(PollUntil([&] { return !IsWindowVisible(main.form); }, 5000), "the window hides when tracking starts");

  PROCESS_INFORMATION other = Launch(target, "E2E Target", folder);
  HWND otherWindow = nullptr;
  PollUntil([&] { return (otherWindow = FindTargetWindow()) != nullptr; }, 10000);
  Check(otherWindow != nullptr, "the other program shows its window");
  const DWORD front = GetTickCount();
  while (GetTickCount() - front < 4000) {
    SetForegroundWindow(otherWindow);
    Sleep(200);
  }
  Click(main.btStop);
  Check(PollUntil([&] { return !ReadOnly(main.edUser); }, 5000), "Stop ends tracking");
  Finish(other, true);

  const std::string tasks = ReadFile(taskPath);
  const std::string work = ReadFile(workPath);
  Check(tasks.find("probe_target.exe\tE2E Target\t1") != std::string::npos, "hl20task.txt has the program's line");
  Check(work.find("[" + TodaySection(user) + "]") != std::string::npos, "hl20work.txt has the user's day");
  Check(work.find("total=") != std::string::npos, "the day has its total");
  Check(work.find("probe_target.exe=00:00:0") != std::string::npos, "the day has the program's time");

  // The tray menu.
  EnumWindows(RightClickTray, static_cast<LPARAM>(tracker.dwProcessId));
  HWND menu = nullptr;
  PollUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000);
  Check(menu != nullptr, "a right click on the tray icon opens the menu");
  if (menu) {
    // The tracking submenu open beside the menu: Restore, Hide, then the tracking service.
    Sleep(300);
    for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
  }
  Sleep(500);
  Screenshot(shots + "e2e_tray_menu.bmp");
  if (menu) {
    for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PollUntil([&] { return !IsWindowVisible(menu); }, 3000);
  }

  // One minute of countdown: it ends with the window back and a blinking status bar.
  SetText(main.edMinutes, "1");
  Click(main.btCountDownStart);
  Check(PollUntil([&] { return ReadOnly(main.edMinutes); }, 5000), "minutes start the countdown");
  Check(PollUntil([&] { return IsWindowVisible(main.form) && SendMessageA(main.statusBar2, SB_ISSIMPLE, 0, 0) != 0; },
                  90000),
        "at the end of the minute the window comes back blinking");
  bool sawText = false, sawBlank = false;
  PollUntil([&] {
    // The simple part is asked for by its own number or, on some systems, as part 0.
    std::string text = StatusText(main.statusBar2, SB_SIMPLEID);
    if (text.empty()) text = StatusText(main.statusBar2, 0);
    if (!sawText && !text.empty()) std::printf("blinking text: %s\n", text.c_str());
    (text.empty() ? sawBlank : sawText) = true;
    return sawText && sawBlank;
  }, 5000);
  Check(sawText && sawBlank, "the status bar blinks");
  Check(IsWindowVisible(GetParent(main.edMinutes)) != FALSE, "the countdown service is shown");
  Sleep(1000);
  Screenshot(shots + "e2e_countdown_service.bmp");
  Click(main.btCountDownStop);
  Check(PollUntil([&] { return SendMessageA(main.statusBar2, SB_ISSIMPLE, 0, 0) == 0; }, 3000), "Stop ends the blinking");

  // An alarm at the current minute goes off tomorrow.
  std::string hour, minute, left;
  for (int attempt = 0; attempt < 3; ++attempt) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (now.wSecond > 55) Sleep(6000), GetLocalTime(&now);
    hour = std::to_string(now.wHour);
    minute = std::to_string(now.wMinute);
    SetText(main.edHour, hour);
    SetText(main.edMinute, minute);
    Click(main.btCountDownStart);
    PollUntil([&] { return !(left = StatusText(main.statusBar2, 1)).empty(); }, 5000);
    if (left.rfind("23:59:", 0) == 0 || left.rfind("23:58:", 0) == 0) break;
    Click(main.btCountDownStop);
  }
  Check(left.rfind("23:59:", 0) == 0 || left.rfind("23:58:", 0) == 0, "an alarm now is set for tomorrow (" + left + ")");
  Click(main.btCountDownStop);

  PostMessageA(main.form, WM_CLOSE, 0, 0);
  Check(WaitForSingleObject(tracker.hProcess, 30000) == WAIT_OBJECT_0, "closing the window ends the program");
  Finish(tracker, true);

  // ---- Second run: the settings come back ----
  tracker = Launch(exe, "", folder);
  main = FindMainWindow(tracker.dwProcessId);
  Check(main.Complete(), "the window is back");
  if (main.Complete()) {
    Check(TextOf(main.edUser) == user, "the user comes back");
    Check(TextOf(main.edHour) == hour && TextOf(main.edMinute) == minute, "the alarm time comes back");
    Check(IsWindowVisible(GetParent(main.edMinutes)) != FALSE, "the countdown service comes back");
    PostMessageA(main.form, WM_CLOSE, 0, 0);
    WaitForSingleObject(tracker.hProcess, 30000);
  }
  Finish(tracker, true);

  // ---- Data safety: ended by force while saving ----
  std::srand(GetTickCount());
  const int rounds = 12;
  int whole = 0;
  for (int round = 0; round < rounds; ++round) {
    tracker = Launch(exe, "", folder);
    main = FindMainWindow(tracker.dwProcessId);
    if (main.Complete()) {
      // Every Stop saves both files; the end comes at a random moment among them.
      const DWORD deadline = GetTickCount() + 200 + std::rand() % 1500;
      while (GetTickCount() < deadline) {
        PostClick(main.btStart);
        PostClick(main.btStop);
        Sleep(std::rand() % 20);
      }
    }
    Finish(tracker, true);
    const bool ok = TaskFileWhole(ReadFile(taskPath)) && WorkFileWhole(ReadFile(workPath), TodaySection(user));
    whole += ok;
    if (!ok) std::printf("round %d left a broken file\n", round);
  }
  Check(whole == rounds, "after " + std::to_string(rounds) + " forced ends both files are whole");

  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
