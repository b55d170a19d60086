#pragma once
// Keys as a user presses them: through SendInput, the system's input path, then handling
// messages until the input queue is quiet. The focus must be in the window meant to get
// them (its form in front).

#include <windows.h>

#include <string>
#include <vector>

#include "platform/wcl/win/application.h"

namespace send_keys {

enum Modifier : unsigned { kNone = 0, kShift = 1, kCtrl = 2 };

inline bool ExtendedKey(WORD key) {
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_INSERT: case VK_DELETE:
      return true;
    default:
      return false;
  }
}

inline INPUT KeyInput(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (ExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return in;
}

// Handles messages until nothing has been waiting for a while.
inline void Settle() {
  const DWORD start = GetTickCount();
  DWORD quietSince = start;
  for (;;) {
    Application->ProcessMessages();
    const DWORD now = GetTickCount();
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0) quietSince = now;
    if (now - quietSince >= 60 || now - start >= 2000) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void PressKey(WORD key, unsigned modifiers = kNone) {
  std::vector<INPUT> inputs;
  if (modifiers & kCtrl) inputs.push_back(KeyInput(VK_CONTROL, false));
  if (modifiers & kShift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  if (modifiers & kShift) inputs.push_back(KeyInput(VK_SHIFT, true));
  if (modifiers & kCtrl) inputs.push_back(KeyInput(VK_CONTROL, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Settle();
}

// Each character as the key (with Shift when it needs it) that types it.
inline void TypeText(const std::string& text) {
  for (const char c : text) {
    const SHORT scan = VkKeyScanA(c);
    PressKey(LOBYTE(scan), (HIBYTE(scan) & 1) ? kShift : kNone);
  }
}

}  // namespace send_keys
