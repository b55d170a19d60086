#pragma once
// Driving windows as a user does: key presses, typed characters and mouse actions go in
// through SendInput (the system's input path, so focus, dialog keys, double clicks and
// capture behave as they do for a person), and the test then handles messages until the
// effect shows or a time limit passes. Any test failure while this harness is in use leaves
// a picture of the whole display beside the test program (fail-<suite>-<test>.png).
//
// Messages are handled by the application object's message processing when there is one
// (Application->ProcessMessages), otherwise by a plain peek-and-dispatch loop. Input goes to
// the foreground window's focus: call BringToForeground before pressing keys.

#include "platform/rtl/win/windows_api.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TWinControl;

namespace real_input {

// Modifier keys held around a key press or a click; combine with |.
enum Modifier : unsigned { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

enum class Button { Left, Right, Middle };

// --- message handling -----------------------------------------------------------------

// Handles the messages waiting now.
void ProcessMessages();
// Handles messages until done() holds; false when it still does not after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Handles messages for ms milliseconds, whatever happens. Only for waits whose length is the
// point: that something does not happen within a time, or a timer running for a known while.
void PumpFor(DWORD ms);
// With the environment variable set (to a number of milliseconds), handles messages that
// long, so a person (or a screenshot) can look at the windows a test shows.
void HoldForLooking(const char* variable = "HL_SHOW_MS");
// Handles messages until no input and no posted message has been waiting for quietMs (at
// most timeoutMs): the input sent so far and what it set off have been handled.
void Settle(DWORD quietMs = 60, DWORD timeoutMs = 2000);
// Settle, and no window of this thread waiting to be painted either: the screen shows what
// was asked for (before a picture of it is taken or read).
void SettlePainted(DWORD quietMs = 30, DWORD timeoutMs = 2000);
// Handles messages for the system's double-click time, so that the next click is not taken
// for the second half of a double click.
void WaitOutDoubleClick();

// --- windows and focus ----------------------------------------------------------------

// Makes window the foreground window and waits until it is; false when it never became it.
bool BringToForeground(HWND window, DWORD timeoutMs = 3000);
// The window with the keyboard focus in this thread (nullptr: none).
HWND Focus();
// True when the focus is control or one of its child windows.
bool FocusIsIn(HWND control);
// Waits until the focus is in control.
bool WaitForFocusIn(HWND control, DWORD timeoutMs = 2000);
// The window's text as the ANSI calls give it.
std::string WindowText(HWND window);

// --- keyboard --------------------------------------------------------------------------

// Presses and releases a virtual key with the modifiers held, then handles the messages it
// caused.
void PressKey(WORD key, unsigned modifiers = kNone);
// Only the down or only the up half (for holding a key).
void KeyDown(WORD key);
void KeyUp(WORD key);
// Types each character as the key (and Shift) that makes it; characters without a key are
// sent as themselves.
void TypeText(const std::string& text);
// Presses Tab (Shift+Tab when backward) until the focus is back where it started or steps
// presses were made; gives the focused window after each press.
std::vector<HWND> TabCycle(int steps, bool backward = false);

// Presses and releases each key in turn and handles nothing: for input that a loop started
// afterwards (a menu's, a modal box's) must find waiting.
void QueueKeys(std::initializer_list<WORD> keys);

// Expects Tab, pressed from the first control of order, to visit the others in turn and come
// back to it, Shift+Tab to go the same round backwards, and no edit's text to change on the
// way (a failure names the controls; where says which window or page it was).
void ExpectTabOrder(const std::vector<TWinControl*>& order, const std::string& where);

// --- mouse -----------------------------------------------------------------------------

// Positions are in window's client coordinates.
void MoveMouse(HWND window, POINT at);
void Click(HWND window, POINT at, Button button = Button::Left, unsigned modifiers = kNone);
void DoubleClick(HWND window, POINT at, Button button = Button::Left);
// Presses at from, moves in steps to to, releases there.
void Drag(HWND window, POINT from, POINT to, Button button = Button::Left);
// Holds a button down at `at` (and later releases it), for auto-repeating buttons.
void ButtonDown(HWND window, POINT at, Button button = Button::Left);
void ButtonUp(HWND window, POINT at, Button button = Button::Left);
// Turns the wheel over window at `at`; positive notches turn it away from the user.
void Wheel(HWND window, POINT at, int notches);
// Moves the pointer to `at` with the button flags given (MOUSEEVENTF_LEFTDOWN, ...)
// happening there, and handles nothing, as QueueKeys.
void QueueMouse(HWND window, POINT at, DWORD buttonFlags = 0);
// The centre of a window's client area, in its client coordinates.
POINT Centre(HWND window);

// --- pictures ----------------------------------------------------------------------------

// The folder of the test program.
std::string ProgramFolder();
// Saves a picture of the whole display as name (a .png) in the program's folder, handling
// messages while it is taken. Under Wine it is taken by the machine's ImageMagick; where
// there is no such machine (Windows itself) nothing is saved and true is returned.
bool Screenshot(const std::string& name);
// Starts saving a display picture on each failing test (done by every input call too).
void ScreenshotsOnFailure();

}  // namespace real_input
