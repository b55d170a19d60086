#pragma once
// The component kit's private window messages, kept together so that no two share a number.
// The window class library leaves 0xB000..0xB0FF to the kit (its own messages lie in the
// WM_APP range, see platform/wcl/win/messages.h). Plain numbers, free of windows, so that
// the portable cores can name them as well.

// Sent by a speed button that goes down to its parent's controls: wParam the group, lParam
// the sender.
constexpr unsigned CM_KITBUTTONPRESSED = 0xB051;
// The window hook list's deferred work, posted to its hidden window: wParam 0, lParam the
// record's number.
constexpr unsigned CM_RESUBCLASS = 0xB052;
constexpr unsigned CM_RELEASEHOOK = 0xB053;
// The callback message the shell sends to a tray icon's hidden window; lParam is the mouse
// message.
constexpr unsigned CM_TRAYICON = 0xB054;
// Posted by a tray icon's animation worker to the hidden window; wParam is the worker's
// serial number, so that a tick of a worker already stopped is recognised and dropped.
constexpr unsigned CM_TRAYTICK = 0xB055;
// Handed to a window hook's after-events once a hook sits on the new window its control
// made (a style change re-creates a window): what the old window was told, the new one has
// not been.
constexpr unsigned CM_WINDOWHOOKED = 0xB056;
// Posted to a date edit to take the focus back after a failed check on leaving.
constexpr unsigned CM_DATEREFOCUS = 0xB061;
