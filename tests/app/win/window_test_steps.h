#pragma once
// Test support for windows shown for real: steps run later from whatever message loop is
// running then (a modal form's, a message box's), and screenshots of the whole display left
// in the test program's folder for people to look at.

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/wcl/win/application.h"

namespace window_test {

inline std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> pending;
  return pending;
}

inline void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Pending().find(id);
  if (it == Pending().end()) return;
  std::function<void()> step = std::move(it->second);
  Pending().erase(it);
  try {
    step();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "step failed: " << e.what();
  }
}

// Runs step once, ms from now, from whatever loop handles the thread's messages then.
inline void After(UINT ms, std::function<void()> step) {
  Pending()[SetTimer(nullptr, 0, ms, &RunPending)] = std::move(step);
}

// Drops the steps not run yet (watchdogs would outlive what they look at).
inline void DropPending() {
  for (const auto& step : Pending()) KillTimer(nullptr, step.first);
  Pending().clear();
}

// The folder of the test program, as Wine shows it ("Z:\..." for the machine's "/").
inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

// Saves a picture of the whole display as name in the program's folder, with ImageMagick
// run as a program of the machine Wine runs on, and waits for it while handling messages.
// Where the folder is not on Wine's "Z:" drive (on Windows itself) there is none to take.
inline bool Screenshot(const std::string& name) {
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
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > 30000) return false;
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

}  // namespace window_test
