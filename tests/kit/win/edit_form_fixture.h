#pragma once
// A form for the window tests of the kit's one-line edits: a plain edit to take the focus
// away, characters and keys sent as the edit's window gets them, the clipboard filled with a
// text, and beeps counted instead of sounded.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "tests/wcl/win/app_fixture.h"

class EditFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Beeps() = 0;
    previousBeep_ = SetMessageBeepEdge(&CountBeep);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 320, 260);
    other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 200, 121, 21);
  }
  void TearDown() override {
    form.reset();
    SetMessageBeepEdge(previousBeep_);
    AppTest::TearDown();
  }

  // Shows the form in front with control focused.
  void ShowFocused(TWinControl* control) {
    form->Show();
    EXPECT_TRUE(real_input::BringToForeground(form->Handle()));
    control->SetFocus();
    EXPECT_TRUE(real_input::WaitForFocusIn(control->Handle()));
  }
  static void Char(TWinControl* control, char c) {
    SendMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  static void Key(TWinControl* control, WORD key) { SendMessageA(control->Handle(), WM_KEYDOWN, key, 1); }
  static void AltDown(TWinControl* control) {
    SendMessageA(control->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
  }
  static void PutOnClipboard(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
  }
  static int& Beeps() {
    static int beeps = 0;
    return beeps;
  }

  std::unique_ptr<TForm> form;
  TEdit* other = nullptr;

private:
  static void CountBeep(unsigned) { ++Beeps(); }
  TMessageBeepEdge previousBeep_ = nullptr;
};
