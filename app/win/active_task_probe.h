#pragma once
// The active-task probe: which program owns the foreground window, as the full path of its
// executable. The process list comes from qatask.dll, loaded by name at start-up; while the
// probe walks that list it also notices a running screen saver and ends blocked programs.
// Process-wide state; every call comes from the main window's thread.

#include "platform/rtl/win/windows_api.h"

#include <string>

// Module start-up: clears the state, reads the system directory, loads qatask.dll and calls
// its INIT. A missing library or entry point leaves the probe without a library, silently.
void LoadTaskLibrary();
// Module shut-down: calls DONE (swallowing any error), frees the library, forgets the
// foreground path and the blocked list.
void UnloadTaskLibrary();
// True when qatask.dll and its three entry points were found and INIT was called.
bool TaskLibraryLoaded();

// One sample: the path of the program in front, or "" without the library or when the
// enumeration failed. Refreshes the screen-saver finding and ends blocked programs.
std::string GetActiveTask();
// True when the last sample saw a screen saver (and the watch has started).
bool IsScreenSaverRunning();

// What qatask.dll calls once per running process inside ENUMPROCS.
BOOL WINAPI ProcessEnumCallback(DWORD processId, const char* path, DWORD unused,
                                DWORD processId2);

// The window that was in front at the last sample (its title names new tasks).
HWND ActiveTaskForegroundWindow();
// The screen-saver watch: 0 not started, -1 watched with no saver seen, 1 a saver seen.
// The main window's first activation starts it with SetScreenSaverWatch(-1).
int ScreenSaverWatch();
void SetScreenSaverWatch(int state);
// The ";"-separated paths of blocked programs, written by the task-list code.
const std::string& BlockedList();
void SetBlockedList(const std::string& list);
