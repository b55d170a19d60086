// The counters of the long runs, on this process: what they count must come back to where it
// was once the objects are freed, or a run that frees everything would seem to keep objects.
#include "gui_resources.h"

#include <gtest/gtest.h>

#include <vector>

using namespace e2e;

namespace {

constexpr int kFont = 0x0a, kBrush = 0x10;

long Kind(const GdiKinds& kinds, int kind) {
  const auto found = kinds.find(kind);
  return found == kinds.end() ? 0 : found->second;
}

TEST(GuiResources, GdiTableCountsTheObjectsAliveNotTheEntriesEverUsed) {
  GdiKinds before;
  const long base = CountGdiTable(GetCurrentProcess(), &before);
  ASSERT_GE(base, 0) << "the table can be read";
  std::vector<HGDIOBJ> objects;
  for (int i = 0; i < 100; ++i) objects.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  for (int i = 0; i < 20; ++i) objects.push_back(CreateFontA(-10 - i, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  GdiKinds made;
  EXPECT_EQ(CountGdiTable(GetCurrentProcess(), &made), base + 120);
  EXPECT_EQ(Kind(made, kBrush), Kind(before, kBrush) + 100);
  EXPECT_EQ(Kind(made, kFont), Kind(before, kFont) + 20);
  for (HGDIOBJ object : objects) DeleteObject(object);
  GdiKinds freed;
  EXPECT_EQ(CountGdiTable(GetCurrentProcess(), &freed), base);
  EXPECT_EQ(freed, before);
  // Stock objects are the system's, not the process's.
  GetStockObject(GRAY_BRUSH);
  GetStockObject(DEFAULT_GUI_FONT);
  EXPECT_EQ(CountGdiTable(GetCurrentProcess()), base);
}

TEST(GuiResources, WindowsAndHandlesComeBackWhenDestroyedAndClosed) {
  const DWORD self = GetCurrentProcessId();
  // The first window of a thread brings a window of the system's with it, for as long as it
  // has one: this one stays for the whole test.
  HWND first = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  const long windows = CountWindows(self);
  HWND top = CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
  HWND message = CreateWindowExA(0, "STATIC", "message", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  EXPECT_EQ(CountWindows(self), windows + 3);
  DestroyWindow(top);
  DestroyWindow(message);
  EXPECT_EQ(CountWindows(self), windows);
  DestroyWindow(first);

  const long handles = CountHandles(self);
  ASSERT_GT(handles, 0);
  std::vector<HANDLE> events;
  for (int i = 0; i < 10; ++i) events.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  EXPECT_EQ(CountHandles(self), handles + 10);
  for (HANDLE event : events) CloseHandle(event);
  EXPECT_EQ(CountHandles(self), handles);
}

}  // namespace
