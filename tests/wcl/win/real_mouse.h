#pragma once
// Mouse input through the system's input queue, as a user's hand gives it, at points of a
// window's client area (the window may belong to another process). The caller then waits
// for the effect (pumping its own messages when the window is its own).
#include <windows.h>

namespace real_mouse {

// Moves the pointer to a point of window's client area, with the button flags given
// (MOUSEEVENTF_LEFTDOWN, ...) happening there.
inline void MoveTo(HWND window, POINT point, DWORD flags = 0) {
  ClientToScreen(window, &point);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  SendInput(1, &input, sizeof input);
}

// A left click at a point of window's client area.
inline void Click(HWND window, POINT point) {
  MoveTo(window, point);
  MoveTo(window, point, MOUSEEVENTF_LEFTDOWN);
  MoveTo(window, point, MOUSEEVENTF_LEFTUP);
}

// A left click in the middle of window.
inline void ClickMiddle(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  Click(window, POINT{rect.right / 2, rect.bottom / 2});
}

// Pressed at from, moved to to in five steps and released there; the right button when right.
inline void Drag(HWND window, POINT from, POINT to, bool right = false) {
  MoveTo(window, from);
  MoveTo(window, from, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  for (int i = 1; i <= 5; ++i)
    MoveTo(window, POINT{from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5});
  MoveTo(window, to, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

}  // namespace real_mouse
