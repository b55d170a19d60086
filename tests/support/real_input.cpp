#include "tests/support/real_input.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/wcl/win/application.h"
#include "platform/wcl/win/control.h"

namespace real_input {

namespace {

bool Extended(WORD key) {
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
    case VK_DIVIDE: case VK_NUMLOCK: case VK_APPS:
      return true;
    default:
      return false;
  }
}

INPUT KeyInput(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return in;
}

void Send(std::vector<INPUT> inputs) {
  ScreenshotsOnFailure();
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void AddModifiers(std::vector<INPUT>& inputs, unsigned modifiers, bool up) {
  const WORD keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
  const unsigned flags[] = {kShift, kCtrl, kAlt};
  for (int i = 0; i < 3; ++i) {
    const int k = up ? 2 - i : i;
    if (modifiers & flags[k]) inputs.push_back(KeyInput(keys[k], up));
  }
}

// A press and its release with the modifier keys held around them, then handled.
void SendHeld(const INPUT& down, const INPUT& up, unsigned modifiers) {
  std::vector<INPUT> inputs;
  AddModifiers(inputs, modifiers, false);
  inputs.push_back(down);
  inputs.push_back(up);
  AddModifiers(inputs, modifiers, true);
  Send(inputs);
  Settle();
}

DWORD ButtonFlag(Button button, bool up) {
  switch (button) {
    case Button::Right: return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case Button::Middle: return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    default: return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
}

POINT ToScreen(HWND window, POINT at) {
  if (window != nullptr) ClientToScreen(window, &at);
  return at;
}

// The pointer moving to a screen point as a mouse moves it, with buttonFlags happening
// there; the absolute units cover the primary screen in 65536 steps, rounded up so the
// point reached is the one asked for.
INPUT MouseAt(POINT screen, DWORD buttonFlags) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + width - 1) / width);
  in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + height - 1) / height);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  return in;
}

void MoveTo(POINT screen) {
  Send({MouseAt(screen, 0)});
  POINT now{};
  GetCursorPos(&now);
  if (now.x != screen.x || now.y != screen.y) SetCursorPos(screen.x, screen.y);
  Settle(20, 500);
}

INPUT ButtonInput(Button button, bool up) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = ButtonFlag(button, up);
  return in;
}

std::string CurrentTestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "outside-tests";
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':' || c == ' ') c = '_';
  return name;
}

// Starts a program of the machine Wine runs on ("/bin/sh -c ..."). Wine runs such a program
// outside its own processes and leaves the process record as it found it: its ids and
// handles are whatever was there (seen: process id 0 or 12, and a live handle of this
// program, one sharing its standard output). Closing them ended every later line of the
// test report, so nothing of the record is used; there is no process or thread of this
// system to release. (On Windows itself there is no such program and nothing starts.)
bool StartHostProgram(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION unused{};
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &unused) !=
         FALSE;
}

// The display as it is at the first failure of each test.
class FailureShots : public ::testing::EmptyTestEventListener {
public:
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed()) return;
    const std::string name = CurrentTestName();
    if (!taken_.insert(name).second) return;
    TakePicture("fail-" + name + ".png", false);
  }
  static bool TakePicture(const std::string& name, bool handleMessages);

private:
  std::set<std::string> taken_;
};

bool FailureShots::TakePicture(const std::string& name, bool handleMessages) {
  const std::string folder = ProgramFolder();
  if (folder.size() < 3 || (folder[0] != 'Z' && folder[0] != 'z') || folder[1] != ':') return true;
  std::string unixFolder = folder.substr(2);
  for (char& c : unixFolder)
    if (c == '\\') c = '/';
  const std::string file = folder + "\\" + name;
  DeleteFileA(file.c_str());
  // Written under another name and renamed, so the file appears only when complete.
  std::string command = "/bin/sh -c \"import -window root '" + unixFolder + "/part-" + name + "' && mv '" +
                        unixFolder + "/part-" + name + "' '" + unixFolder + "/" + name + "'\"";
  if (!StartHostProgram(command)) return false;
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > 30000) return false;
    if (handleMessages) {
      ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } else {
      Sleep(10);
    }
  }
  return true;
}

}  // namespace

void ProcessMessages() {
  if (Application != nullptr) {
    Application->ProcessMessages();
    return;
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    ProcessMessages();
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

void HoldForLooking(const char* variable) {
  if (const char* ms = std::getenv(variable)) PumpFor(static_cast<DWORD>(std::atoi(ms)));
}

namespace {

// Handles messages until none of the kinds has been waiting for quietMs (at most timeoutMs).
void QuietFor(UINT kinds, DWORD quietMs, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  DWORD quietSince = start;
  for (;;) {
    ProcessMessages();
    const DWORD now = GetTickCount();
    if (HIWORD(GetQueueStatus(kinds)) != 0) quietSince = now;
    if (now - quietSince >= quietMs || now - start >= timeoutMs) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

}  // namespace

void Settle(DWORD quietMs, DWORD timeoutMs) { QuietFor(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE, quietMs, timeoutMs); }

void SettlePainted(DWORD quietMs, DWORD timeoutMs) {
  QuietFor(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT, quietMs, timeoutMs);
}

void WaitOutDoubleClick() { PumpFor(GetDoubleClickTime() + 20); }

bool BringToForeground(HWND window, DWORD timeoutMs) {
  ScreenshotsOnFailure();
  HWND top = GetAncestor(window, GA_ROOT);
  if (top == nullptr) return false;
  if (!IsWindowVisible(top)) ShowWindow(top, SW_SHOW);
  SetForegroundWindow(top);
  const bool reached = PumpUntil(
      [top] {
        if (GetForegroundWindow() == top) return true;
        SetForegroundWindow(top);
        return false;
      },
      timeoutMs);
  if (reached && window != top && GetFocus() == nullptr) SetFocus(window);
  Settle();
  return reached;
}

HWND Focus() { return GetFocus(); }

bool FocusIsIn(HWND control) {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == control || IsChild(control, focus));
}

bool WaitForFocusIn(HWND control, DWORD timeoutMs) {
  return PumpUntil([control] { return FocusIsIn(control); }, timeoutMs);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

void KeyDown(WORD key) {
  Send({KeyInput(key, false)});
  Settle();
}

void KeyUp(WORD key) {
  Send({KeyInput(key, true)});
  Settle();
}

void PressKey(WORD key, unsigned modifiers) {
  SendHeld(KeyInput(key, false), KeyInput(key, true), modifiers);
}

void TypeText(const std::string& text) {
  for (const char c : text) {
    const SHORT scan = VkKeyScanA(c);
    if (scan == -1 || (HIBYTE(scan) & ~1) != 0) {
      // No plain or shifted key gives it: the character itself.
      wchar_t wide = 0;
      MultiByteToWideChar(CP_ACP, 0, &c, 1, &wide, 1);
      INPUT down{};
      down.type = INPUT_KEYBOARD;
      down.ki.wScan = wide;
      down.ki.dwFlags = KEYEVENTF_UNICODE;
      INPUT up = down;
      up.ki.dwFlags |= KEYEVENTF_KEYUP;
      Send({down, up});
      Settle();
      continue;
    }
    PressKey(LOBYTE(scan), (HIBYTE(scan) & 1) ? kShift : kNone);
  }
}

std::vector<HWND> TabCycle(int steps, bool backward) {
  std::vector<HWND> visited;
  HWND start = GetFocus();
  for (int i = 0; i < steps; ++i) {
    PressKey(VK_TAB, backward ? kShift : kNone);
    visited.push_back(GetFocus());
    if (visited.back() == start) break;
  }
  return visited;
}

void QueueKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
  }
  Send(inputs);
}

void QueueMouse(HWND window, POINT at, DWORD buttonFlags) { Send({MouseAt(ToScreen(window, at), buttonFlags)}); }

namespace {

BOOL CALLBACK KeepEditText(HWND window, LPARAM texts) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (lower.find("edit") != std::string::npos)
    reinterpret_cast<std::map<HWND, std::string>*>(texts)->emplace(window, WindowText(window));
  return TRUE;
}

std::map<HWND, std::string> EditTextsUnder(HWND top) {
  std::map<HWND, std::string> texts;
  EnumChildWindows(top, KeepEditText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::string Names(const std::vector<HWND>& windows) {
  std::string names;
  for (HWND window : windows) {
    TWinControl* control = FindControl(window);
    if (control == nullptr && window != nullptr) control = FindControl(GetParent(window));
    // A control without a name (a grid's cell editor) goes by the one it works for.
    while (control != nullptr && control->Name().empty() && control->Parent() != nullptr) control = control->Parent();
    names += (names.empty() ? "" : " ") + (control != nullptr ? control->Name() : std::string("?"));
  }
  return names;
}

}  // namespace

void ExpectTabOrder(const std::vector<TWinControl*>& order, const std::string& where) {
  ASSERT_FALSE(order.empty());
  std::vector<HWND> forward, backward;
  for (size_t i = 1; i <= order.size(); ++i) forward.push_back(order[i % order.size()]->Handle());
  for (size_t i = order.size() - 1; i + 1 > 0; --i) backward.push_back(order[i]->Handle());
  HWND first = order[0]->Handle();
  SetFocus(first);
  ASSERT_TRUE(WaitForFocusIn(first)) << where;
  const std::map<HWND, std::string> before = EditTextsUnder(GetAncestor(first, GA_ROOT));
  const int most = static_cast<int>(order.size()) + 3;
  EXPECT_EQ(Names(TabCycle(most)), Names(forward)) << where << ": Tab";
  EXPECT_EQ(Names(TabCycle(most, true)), Names(backward)) << where << ": Shift+Tab";
  for (const auto& [window, text] : EditTextsUnder(GetAncestor(first, GA_ROOT))) {
    const auto old = before.find(window);
    if (old != before.end()) {
      EXPECT_EQ(text, old->second) << where << ": " << Names({window});
    }
  }
}

void MoveMouse(HWND window, POINT at) { MoveTo(ToScreen(window, at)); }

void Click(HWND window, POINT at, Button button, unsigned modifiers) {
  MoveTo(ToScreen(window, at));
  SendHeld(ButtonInput(button, false), ButtonInput(button, true), modifiers);
}

void DoubleClick(HWND window, POINT at, Button button) {
  MoveTo(ToScreen(window, at));
  Send({ButtonInput(button, false), ButtonInput(button, true), ButtonInput(button, false),
        ButtonInput(button, true)});
  Settle();
}

void Drag(HWND window, POINT from, POINT to, Button button) {
  ButtonDown(window, from, button);
  const int steps = 5;
  for (int i = 1; i <= steps; ++i)
    MoveTo(ToScreen(window, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}));
  ButtonUp(window, to, button);
}

void ButtonDown(HWND window, POINT at, Button button) {
  MoveTo(ToScreen(window, at));
  Send({ButtonInput(button, false)});
  Settle();
}

void ButtonUp(HWND window, POINT at, Button button) {
  MoveTo(ToScreen(window, at));
  Send({ButtonInput(button, true)});
  Settle();
}

void Wheel(HWND window, POINT at, int notches) {
  MoveTo(ToScreen(window, at));
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  Send({in});
  Settle();
}

POINT Centre(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

bool Screenshot(const std::string& name) {
  return FailureShots::TakePicture(name, true);
}

void ScreenshotsOnFailure() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  ::testing::UnitTest::GetInstance()->listeners().Append(new FailureShots);
}

}  // namespace real_input
