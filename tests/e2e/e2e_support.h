#pragma once
// What the end-to-end programs share: a check that counts failures, waiting, files, starting
// and ending programs, the tracker's main window found and driven through window messages
// from another process, and screenshots.
#include "platform/rtl/win/windows_api.h"
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "screen_picture.h"

namespace e2e {


inline int failures = 0;

inline void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// Unix paths from the build come through the Z: drive.
inline std::string WinPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

inline bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::string TextOf(HWND window) {
  char text[256] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

inline int WidthOf(HWND window) {
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
inline void PlaceButtons(MainWindow& main) {
  const HWND tracking = GetParent(main.edUser), countdown = GetParent(main.edMinutes);
  main.btStart = {tracking, 59, 32};
  main.btStop = {tracking, 105, 32};
  main.btCountDownStart = {countdown, 52, 32};
  main.btCountDownStop = {countdown, 102, 32};
}

inline BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<MainWindow*>(data)->children.push_back(window);
  return TRUE;
}

inline MainWindow FindMainWindow(DWORD processId) {
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
  // The edits are told apart by their widths at 96 dots per inch; the window may be a few
  // pixels wider than designed where its caption needs them, and its edits with it.
  auto about = [](int width, int designed) { return width >= designed && width <= designed + 4; };
  for (HWND child : main.children) {
    const std::string cls = ClassOf(child);
    const int width = WidthOf(child);
    if (cls == "HlEDIT" && about(width, 106)) main.edUser = child;
    if (cls == "HlEDIT" && about(width, 30)) main.edMinutes = child;
    if (cls == "HlEDIT" && about(width, 22)) hourEdits.push_back(child);
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
inline std::string StatusText(HWND bar, int part) {
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

inline void SetText(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A left click on the button, as the mouse would give it: pressed and released over it.
inline void PostClick(const PanelButton& button) {
  const LPARAM at = MAKELPARAM(button.x, button.y);
  PostMessageA(button.panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(button.panel, WM_LBUTTONUP, 0, at);
}

// The same, returning once the tracker has handled it. The press and release are sent, not
// posted: a message sent to another thread is handled before the ones posted to it, so a
// sent WM_NULL after posted clicks could come back before the click was handled.
inline void Click(const PanelButton& button) {
  const LPARAM at = MAKELPARAM(button.x, button.y);
  SendMessageA(button.panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(button.panel, WM_LBUTTONUP, 0, at);
}

// A left click through the system's input queue at a point of a window's client area: the
// program that owns the window handles it in its own time.
inline void InputClick(HWND window, POINT at) {
  ClientToScreen(window, &at);
  INPUT input[3] = {};
  const DWORD buttons[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input[i].mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons[i];
  }
  SendInput(3, input, sizeof(INPUT));
}

// Tracking and the countdown make their edits read-only while they run.
inline bool ReadOnly(HWND edit) { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

// Starts exe with its arguments in folder (empty: this program's own current folder).
inline PROCESS_INFORMATION Launch(const std::string& exe, const std::string& arguments, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    std::printf("cannot start %s (%lu)\n", exe.c_str(), GetLastError());
  return process;
}

inline void Finish(PROCESS_INFORMATION& process, bool force) {
  if (!process.hProcess) return;
  if (force) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  process = {};
}

// A fresh folder in the temporary folder named prefix and the process number, holding a copy
// of the tracker and its process library (the tracker keeps its data beside itself). Answers
// the folder, with a closing backslash.
inline std::string FreshTrackerFolder(const std::string& prefix, const std::string& hourlark,
                                      const std::string& qatask) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CopyFileA(WinPath(hourlark).c_str(), (folder + "Hourlark.exe").c_str(), FALSE);
  CopyFileA(WinPath(qatask).c_str(), (folder + "qatask.dll").c_str(), FALSE);
  return folder;
}

// The whole screen as a .bmp file.
inline void Screenshot(const std::string& file) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SaveScreenPicture(file, screen);
  std::printf("screenshot %s\n", file.c_str());
}

// A fresh folder like FreshTrackerFolder's, and the tracker's stored settings cleared.
inline std::string FreshTrackerRun(const std::string& prefix, const std::string& hourlark, const std::string& qatask) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark");
  return FreshTrackerFolder(prefix, hourlark, qatask);
}

// Whether the process has ended, waiting at most ms for it.
inline bool Ended(const PROCESS_INFORMATION& process, DWORD ms = 0) {
  return process.hProcess && WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0;
}

// Closes the window as the user's close would and waits for the program to end; ends it
// by force when it does not. True when it ended by itself.
inline bool CloseAndFinish(PROCESS_INFORMATION& process, HWND window, DWORD ms = 30000) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  const bool ended = Ended(process, ms);
  Finish(process, !ended);
  return ended;
}

// A text value under HKEY_CURRENT_USER, the key made when it is missing.
inline void SetValue(const std::string& key, const std::string& name, const std::string& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != 0)
    return;
  RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

// ---- Input as the user gives it ------------------------------------------------------------

// A click at a point of a window's client area, then a moment for it to be handled.
inline void ClickIn(HWND window, int x, int y) {
  InputClick(window, POINT{x, y});
  Sleep(150);
}

// A click in the middle of a window.
inline void ClickOn(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  InputClick(window, POINT{rect.right / 2, rect.bottom / 2});
  Sleep(150);
}

// A key pressed and released through the system's input path; it goes to the window in
// front (the tracker while its menu is open).
inline void Key(WORD vk, DWORD pauseMs = 60) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = vk;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  Sleep(pauseMs);
}

// A key with Ctrl held down.
inline void CtrlKey(WORD vk) {
  INPUT input[4] = {};
  for (INPUT& i : input) i.type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
  input[1].ki.wVk = input[2].ki.wVk = vk;
  input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, input, sizeof(INPUT));
  Sleep(60);
}

// Digits and capital letters, typed key by key (the letters come out small).
inline void Type(const std::string& text) {
  for (char c : text) Key(static_cast<WORD>(c));
}

// Clicks into an edit and types its new text over the old.
inline void Retype(HWND edit, const std::string& text) {
  ClickOn(edit);
  Key(VK_END);
  for (int i = 0; i < 8; ++i) Key(VK_BACK);
  Type(text);
}

// ---- Windows of a process ------------------------------------------------------------------

struct TopLevelSearch {
  DWORD process;
  std::string title;  // a prefix of the caption; empty: any
  std::string className;
  HWND window;
};

inline BOOL CALLBACK FindTopLevel(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<TopLevelSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != found->process || !IsWindowVisible(window)) return TRUE;
  if (!found->className.empty() && ClassOf(window) != found->className) return TRUE;
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::string(text).rfind(found->title, 0) != 0) return TRUE;
  found->window = window;
  return FALSE;
}

// A visible top-level window of the process of that class whose caption starts with title.
inline HWND TopLevel(DWORD process, const std::string& className, const std::string& title, DWORD timeoutMs = 20000) {
  TopLevelSearch found{process, title, className, nullptr};
  PollUntil([&] {
    found.window = nullptr;
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr;
  }, timeoutMs);
  return found.window;
}

// A visible top-level window of the process that is none of these (nor the application's
// own window, which shows nothing), of that class when one is given.
struct NewWindowSearch {
  DWORD process;
  std::vector<HWND> known;
  std::string className;
  HWND found;
};

inline BOOL CALLBACK FindNewWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<NewWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window) || ClassOf(window) == "HlApplication" ||
      (!search->className.empty() && ClassOf(window) != search->className) ||
      std::find(search->known.begin(), search->known.end(), window) != search->known.end())
    return TRUE;
  search->found = window;
  return FALSE;
}

inline HWND NewWindow(DWORD process, const std::vector<HWND>& known, DWORD timeoutMs,
                      const std::string& className = "") {
  NewWindowSearch search{process, known, className, nullptr};
  PollUntil([&] {
    search.found = nullptr;
    EnumWindows(FindNewWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, timeoutMs);
  return search.found;
}

struct ChildSearch {
  std::string text;
  HWND window;
};

inline BOOL CALLBACK FindChildByText(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ChildSearch*>(data);
  if (!IsWindowVisible(window) || TextOf(window) != search->text) return TRUE;
  search->window = window;
  return FALSE;
}

inline HWND ChildWithText(HWND parent, const std::string& text) {
  ChildSearch search{text, nullptr};
  EnumChildWindows(parent, FindChildByText, reinterpret_cast<LPARAM>(&search));
  return search.window;
}

// The texts of a message box's children, each followed by "|".
inline std::string MessageText(HWND message) {
  std::string text;
  for (HWND child = GetWindow(message, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) text += TextOf(child) + "|";
  return text;
}

// The window of a started probe_target.exe.
inline HWND FindTargetWindow() { return FindWindowA("HourlarkProbeTarget", nullptr); }

// Every top-level utility window of the tracker gets the tray icon's right click (the
// button going down and up over the icon); only the active tray icon's own window answers it
// with the menu.
inline BOOL CALLBACK RightClickTray(HWND window, LPARAM processId) {
  const UINT trayMessage = 0xB054;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId) && ClassOf(window) == "HlUtilityWindow") {
    PostMessageA(window, trayMessage, 0, WM_RBUTTONDOWN);
    PostMessageA(window, trayMessage, 0, WM_RBUTTONUP);
  }
  return TRUE;
}

inline HWND OpenMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

// Opens the tray menu and walks it with the arrow keys: downs[0] items down the main menu,
// then for each further level into the submenu and downs[i] down there (separators are
// skipped), and Enter. With the item shown, a screenshot is taken first when `shot` is not
// empty. True when the menu closed after the choice.
inline bool ChooseTrayMenuItem(DWORD processId, const std::vector<int>& downs, const std::string& shot = "") {
  EnumWindows(RightClickTray, static_cast<LPARAM>(processId));
  if (!PollUntil([] { return OpenMenu() != nullptr; }, 5000)) return false;
  Sleep(300);
  for (size_t level = 0; level < downs.size(); ++level) {
    if (level > 0) Key(VK_RIGHT, 150);
    for (int i = 0; i < downs[level]; ++i) Key(VK_DOWN, 150);
  }
  Sleep(300);
  if (!shot.empty()) Screenshot(shot);
  Key(VK_RETURN, 150);
  return PollUntil([] { return OpenMenu() == nullptr; }, 5000);
}

// Help > Languages, whose entries stand first in their submenu; the entry at `position`
// (1 = first) is chosen. The main menu: Restore, Hide, the two services, Help; Help:
// Contents, Quick Demo, (separator), Languages.
inline bool ChooseLanguageEntry(DWORD processId, int position, const std::string& shot = "") {
  return ChooseTrayMenuItem(processId, {5, 2, position - 1}, shot);
}

// The work-file section of the user's today.
inline std::string TodaySection(const std::string& user) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return user + "\t" + std::to_string(now.wYear) + "_" + std::to_string(now.wMonth) + "_" +
         std::to_string(now.wDay);
}

}  // namespace e2e
