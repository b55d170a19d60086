#pragma once
// What the end-to-end programs share: a check that counts failures, waiting, files, starting
// and ending programs, the tracker's main window found and driven through window messages
// from another process, and screenshots.
#include <windows.h>
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

inline PROCESS_INFORMATION Launch(const std::string& exe, const std::string& arguments, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
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

// The work-file section of the user's today.
inline std::string TodaySection(const std::string& user) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return user + "\t" + std::to_string(now.wYear) + "_" + std::to_string(now.wMonth) + "_" +
         std::to_string(now.wDay);
}

}  // namespace e2e
