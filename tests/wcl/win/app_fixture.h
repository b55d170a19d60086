#pragma once
// A fresh application object per test, with message boxes recorded instead of shown, and a
// message pump that waits for a condition (tests/support/real_input.h).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/application.h"
#include "platform/wcl/win/edges.h"
#include "tests/support/real_input.h"

class AppTest : public ::testing::Test {
protected:
  void SetUp() override {
    Boxes().clear();
    previousBox_ = SetMessageBoxEdge(&RecordBox);
    app_ = std::make_unique<TApplication>();
  }
  void TearDown() override {
    app_.reset();
    SetMessageBoxEdge(previousBox_);
  }

  // "caption: text" of every message box asked for.
  static std::vector<std::string>& Boxes() {
    static std::vector<std::string> boxes;
    return boxes;
  }

  // The message pump of tests/support, for the tests' unqualified calls.
  static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    return real_input::PumpUntil(done, timeoutMs);
  }
  static void PumpFor(DWORD ms) { real_input::PumpFor(ms); }

public:
  // The system dialog box (a message box, a file dialog) this thread shows; nullptr while
  // there is none. For timers that answer a modal dialog from inside its loop.
  static HWND ShownDialog() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), KeepShownDialog, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
  }

private:
  // A plain stdcall function, as the 32-bit build needs for the enumeration's callback.
  static BOOL CALLBACK KeepShownDialog(HWND window, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }

protected:
  std::unique_ptr<TApplication> app_;

private:
  static int RecordBox(const std::string& text, const std::string& caption, unsigned) {
    Boxes().push_back(caption + ": " + text);
    return IDOK;
  }

  TMessageBoxEdge previousBox_ = nullptr;
};
