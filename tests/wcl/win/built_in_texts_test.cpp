// The built-in texts kept in code page 1251: which texts count as such, and that the system
// shows them as the Russian they are whatever its own code page (message boxes, top-level
// captions, hints), read back through the wide calls.

#include "platform/wcl/win/built_in_texts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/control.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/form.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

// "Выбор даты" (date selection) in code page 1251, and as the system should show it.
const char* const kDateTitle = "\xC2\xFB\xE1\xEE\xF0 \xE4\xE0\xF2\xFB";
const wchar_t* const kDateTitleWide = L"\x0412\x044B\x0431\x043E\x0440 \x0434\x0430\x0442\x044B";
// "Следующий год|" (next year), a hint, and a format "Ошибка: %d".
const char* const kNextYearHint = "\xD1\xEB\xE5\xE4\xF3\xFE\xF9\xE8\xE9 \xE3\xEE\xE4|";
const wchar_t* const kNextYearWide = L"\x0421\x043B\x0435\x0434\x0443\x044E\x0449\x0438\x0439 \x0433\x043E\x0434";
const char* const kErrorFormat = "\xCE\xF8\xE8\xE1\xEA\xE0: %d";

const TBuiltInTexts kTexts{kDateTitle, kNextYearHint, kErrorFormat};

std::wstring WideWindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// What the message box on screen said; found and closed by a timer inside its modal loop.
struct BoxSeen {
  std::wstring caption;
  std::vector<std::wstring> texts;
};
BoxSeen g_box;

// A plain stdcall function, as the 32-bit build needs for the enumeration's callback.
BOOL CALLBACK KeepBoxText(HWND child, LPARAM) {
  const std::wstring text = WideWindowText(child);
  if (!text.empty()) g_box.texts.push_back(text);
  return TRUE;
}

void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = AppTest::ShownDialog();
  if (box == nullptr) return;
  KillTimer(nullptr, id);
  g_box.caption = WideWindowText(box);
  EnumChildWindows(box, KeepBoxText, 0);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

bool BoxSaid(const std::wstring& text) {
  for (const std::wstring& t : g_box.texts)
    if (t == text) return true;
  return false;
}

class BuiltInTextsTest : public AppTest {};

TEST_F(BuiltInTextsTest, RegisteredTextsTheirHintPartsAndFormatsAreBuiltIn) {
  EXPECT_TRUE(IsBuiltInText(kDateTitle));
  EXPECT_TRUE(IsBuiltInText(kNextYearHint));
  // The short hint, as the tooltip gets it.
  EXPECT_TRUE(IsBuiltInText(GetShortHint(kNextYearHint)));
  // A formatted message starts with the format's fixed part.
  EXPECT_TRUE(IsBuiltInText("\xCE\xF8\xE8\xE1\xEA\xE0: 42"));
  EXPECT_FALSE(IsBuiltInText("\xCE\xF8\xE8\xE1\xEA\xE0"));
  EXPECT_FALSE(IsBuiltInText("Choose date"));
  EXPECT_FALSE(IsBuiltInText(""));
  EXPECT_FALSE(IsBuiltInText(std::string(kDateTitle) + "!"));

  EXPECT_EQ(ShownText(kDateTitle), kDateTitleWide);
  EXPECT_EQ(ShownText(GetShortHint(kNextYearHint)), kNextYearWide);
  // Any other text is the system's ANSI code page, as the ANSI calls would take it.
  const std::string ansi = "Caf\xE9";
  EXPECT_EQ(ShownText(ansi), WideFromCodePage(ansi, CP_ACP));
  EXPECT_EQ(WideFromCodePage(std::string("a\0b", 3), CP_ACP), std::wstring(L"a\0b", 3));
}

TEST_F(BuiltInTextsTest, SystemMessageBoxShowsBuiltInTextUnderTheProgramsTitle) {
  app_->SetTitle("Hourlark");
  // The real system box, not the recording one.
  const TMessageBoxEdge recording = SetMessageBoxEdge(nullptr);
  g_box = BoxSeen{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadAndCloseBox);
  app_->MessageBox(kDateTitle, app_->BoxCaption(), MB_OK);
  KillTimer(nullptr, timer);
  SetMessageBoxEdge(recording);
  EXPECT_EQ(g_box.caption, L"Hourlark");
  EXPECT_TRUE(BoxSaid(kDateTitleWide));

  // An error raised with a built-in format shows under the title too.
  SetMessageBoxEdge(nullptr);
  g_box = BoxSeen{};
  const UINT_PTR again = SetTimer(nullptr, 0, 50, &ReadAndCloseBox);
  app_->ShowException("\xCE\xF8\xE8\xE1\xEA\xE0: 7");
  KillTimer(nullptr, again);
  SetMessageBoxEdge(recording);
  EXPECT_EQ(g_box.caption, L"Hourlark");
  EXPECT_TRUE(BoxSaid(L"\x041E\x0448\x0438\x0431\x043A\x0430: 7"));
}

TEST_F(BuiltInTextsTest, TopLevelCaptionShowsBuiltInTextAndKeepsItsBytes) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 240, 120);
  form.SetCaption(kDateTitle);
  form.Show();
  // Read back as any program would, through the window's text message.
  EXPECT_EQ(WideWindowText(form.Handle()), kDateTitleWide);
  // The caption reads back as the bytes it was given, not as the system code page's guess.
  EXPECT_EQ(form.Caption(), kDateTitle);
  // Set while the window is there, and after the window is made again.
  form.SetCaption("Plain");
  EXPECT_EQ(WideWindowText(form.Handle()), L"Plain");
  EXPECT_EQ(form.Caption(), "Plain");
  form.SetCaption(kDateTitle);
  form.RecreateWnd();
  EXPECT_EQ(WideWindowText(form.Handle()), kDateTitleWide);
  // The window still gets its other messages.
  form.SetBounds(120, 110, 260, 140);
  RECT r{};
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 260);
  EXPECT_EQ(form.Caption(), kDateTitle);
}

TEST_F(BuiltInTextsTest, HintOfABuiltInTextShowsInTheTooltip) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 240, 120);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 100, 50);
  panel->SetHint(kNextYearHint);
  panel->SetShowHint(true);
  form.Show();
  app_->SetHintPause(10);
  // The mouse over the panel, as a user moves it.
  real_input::MoveMouse(panel->Handle(), POINT{35, 25});
  real_input::MoveMouse(panel->Handle(), POINT{40, 30});
  HWND tip = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
    return tip != nullptr && IsWindowVisible(tip);
  }));
  wchar_t text[64] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = app_->Handle();
  tool.uId = 1;
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, kNextYearWide);
}

}  // namespace
