// End to end with the real tracker: starts Hourlark.exe in a fresh folder and drives it by
// window messages. Tracks a second program, checks the task list and the work file, runs a
// one-minute countdown to its blinking end, sets an alarm for the current minute, restarts
// to see the settings come back, takes screenshots, and finally ends the tracker by force
// at random moments while it saves, checking that both files stay whole.
//
// Arguments: Hourlark.exe, qatask.dll, probe_target.exe, the folder for the screenshots.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// Unix paths from the build come through the Z: drive.
std::string WinPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

int WidthOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.right - rect.left;
}

// A flat speed button has no window of its own: it is reached through its panel, at its
// place in the window's layout.
struct PanelButton {
  HWND panel = nullptr;
  int x = 0, y = 0;  // the button's middle in the panel
};

// The controls of the main window: the edits told apart by class and width, the status bars
// by their panel (each service panel holds its edits and its status bar).
struct MainWindow {
  HWND form = nullptr;
  HWND edUser = nullptr, statusBar1 = nullptr;
  HWND edHour = nullptr, edMinute = nullptr, edMinutes = nullptr, statusBar2 = nullptr;
  PanelButton btStart, btStop, btCountDownStart, btCountDownStop;
  std::vector<HWND> children;

  bool Complete() const {
    return edUser && statusBar1 && edHour && edMinute && edMinutes && statusBar2;
  }
};

// The buttons' places in the two service panels.
void PlaceButtons(MainWindow& main) {
  const HWND tracking = GetParent(main.edUser), countdown = GetParent(main.edMinutes);
  main.btStart = {tracking, 59, 32};
  main.btStop = {tracking, 105, 32};
  main.btCountDownStart = {countdown, 52, 32};
  main.btCountDownStop = {countdown, 102, 32};
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<MainWindow*>(data)->children.push_back(window);
  return TRUE;
}

MainWindow FindMainWindow(DWORD processId) {
  MainWindow main;
  PollUntil([&] {
    HWND form = FindWindowA("HlForm", "Hourlark 2.02");
    DWORD owner = 0;
    if (form) GetWindowThreadProcessId(form, &owner);
    if (!form || owner != processId || !IsWindowVisible(form)) return false;
    main.form = form;
    return true;
  }, 30000);
  if (!main.form) return main;
  EnumChildWindows(main.form, CollectChild, reinterpret_cast<LPARAM>(&main));
  std::vector<HWND> hourEdits;
  for (HWND child : main.children) {
    const std::string cls = ClassOf(child);
    const int width = WidthOf(child);
    if (cls == "HlEDIT" && width == 106) main.edUser = child;
    if (cls == "HlEDIT" && width == 30) main.edMinutes = child;
    if (cls == "HlEDIT" && width == 22) hourEdits.push_back(child);
  }
  if (hourEdits.size() == 2) {
    RECT a{}, b{};
    GetWindowRect(hourEdits[0], &a);
    GetWindowRect(hourEdits[1], &b);
    main.edHour = a.left < b.left ? hourEdits[0] : hourEdits[1];
    main.edMinute = a.left < b.left ? hourEdits[1] : hourEdits[0];
  }
  for (HWND child : main.children) {
    if (ClassOf(child).find("statusbar") == std::string::npos) continue;
    if (main.edUser && GetParent(child) == GetParent(main.edUser)) main.statusBar1 = child;
    if (main.edMinutes && GetParent(child) == GetParent(main.edMinutes)) main.statusBar2 = child;
  }
  if (main.Complete()) PlaceButtons(main);
  return main;
}

// A status bar part's text. The message's buffer must lie in the tracker's own memory: a
// common control's text is not carried across processes as a window's text is.
std::string StatusText(HWND bar, int part) {
  DWORD processId = 0;
  GetWindowThreadProcessId(bar, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return std::string();
  std::string result;
  const LRESULT info = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
  const size_t length = LOWORD(info);
  void* remote = VirtualAllocEx(process, nullptr, length + 1, MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote));
    std::vector<char> text(length + 1, 0);
    SIZE_T read = 0;
    if (ReadProcessMemory(process, remote, text.data(), length, &read)) result.assign(text.data(), read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  // A leading tab only centres the text.
  while (!result.empty() && result[0] == '\t') result.erase(0, 1);
  return result;
}

void SetText(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A left click on the button, as the mouse would give it: pressed and released over it.
void PostClick(const PanelButton& button) {
  const LPARAM at = MAKELPARAM(button.x, button.y);
  PostMessageA(button.panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(button.panel, WM_LBUTTONUP, 0, at);
}

// The same, returning once the tracker has handled it.
void Click(const PanelButton& button) {
  PostClick(button);
  SendMessageA(button.panel, WM_NULL, 0, 0);
}

// Tracking and the countdown make their edits read-only while they run.
bool ReadOnly(HWND edit) { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

PROCESS_INFORMATION Launch(const std::string& exe, const std::string& arguments, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    std::printf("cannot start %s (%lu)\n", exe.c_str(), GetLastError());
  return process;
}

void Finish(PROCESS_INFORMATION& process, bool force) {
  if (!process.hProcess) return;
  if (force) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  process = {};
}

// The whole screen as a .bmp file.
void Screenshot(const std::string& file) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + stride * height;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::printf("screenshot %s\n", file.c_str());
}

HWND FindTargetWindow() { return FindWindowA("HourlarkProbeTarget", nullptr); }

// Every top-level utility window of the tracker gets the tray icon's right click (the
// button going down and up over the icon); only the active tray icon's own window answers it
// with the menu.
BOOL CALLBACK RightClickTray(HWND window, LPARAM processId) {
  const UINT trayMessage = 0xB054;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId) && ClassOf(window) == "HlUtilityWindow") {
    PostMessageA(window, trayMessage, 0, WM_RBUTTONDOWN);
    PostMessageA(window, trayMessage, 0, WM_RBUTTONUP);
  }
  return TRUE;
}

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

std::string TodaySection(const std::string& user) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return user + "\t" + std::to_string(now.wYear) + "_" + std::to_string(now.wMonth) + "_" +
         std::to_string(now.wDay);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: hourlark_e2e Hourlark.exe qatask.dll probe_target.exe shots-folder\n");
    return 2;
  }
  const std::string shots = WinPath(argv[4]) + "\\";
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "hl_e2e_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "Hourlark.exe";
  CopyFileA(WinPath(argv[1]).c_str(), exe.c_str(), FALSE);
  CopyFileA(WinPath(argv[2]).c_str(), (folder + "qatask.dll").c_str(), FALSE);
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
