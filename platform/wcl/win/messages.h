#pragma once
// The window class library's own message numbers. They all lie in the WM_APP range, away
// from 0xB000..0xB0FF, which the component kit keeps for its private messages.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

// Posted to the application window when a worker thread has queued a call for the window
// thread (Synchronize/Queue). wParam and lParam are unused: the calls wait in a queue.
constexpr UINT HLM_THREADCALL = WM_APP + 0x100;

// Posted to a form by Release(): the form deletes itself once the message loop reaches it,
// so a handler of the form may end the form without deleting the object it runs in.
constexpr UINT HLM_RELEASE = WM_APP + 0x101;

// Base of the notifications a parent window hands back to the child control they concern
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM, WM_HSCROLL, WM_VSCROLL):
// the child's WndProc sees CN_BASE + the original message, with the original parameters.
constexpr UINT CN_BASE = WM_APP + 0x3C00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
