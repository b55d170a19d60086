#pragma once
// Test support for windows shown for real: steps run later from whatever message loop is
// running then (a modal form's, a message box's), and screenshots of the whole display left
// in the test program's folder for people to look at.

#include "platform/rtl/win/windows_api.h"

#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/wcl/win/application.h"
#include "tests/support/real_input.h"

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
inline std::string ProgramFolder() { return real_input::ProgramFolder(); }

// Saves a picture of the whole display as name in the program's folder, handling messages
// while it is taken (none is taken on Windows itself).
inline bool Screenshot(const std::string& name) { return real_input::Screenshot(name); }

}  // namespace window_test
