// End to end with the real quick demo: starts hl2demo.exe, checks that its window comes up
// on the first page, walks the pages forward to the end and back by clicking Next and
// Previous, and closes the window with Close, expecting the program to end by itself.
//
// Arguments: hl2demo.exe, and optionally milliseconds to rest on each page (to look at it).
#include "platform/rtl/win/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

int failures = 0;

void Expect(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// The size and place of a child in its form's client area.
RECT ClientPlace(HWND form, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct Demo {
  HWND form = nullptr;
  HWND buttons = nullptr;  // the bottom panel holding Previous and Next
  HWND counter = nullptr;  // the page counter under the side strip
};

BOOL CALLBACK FindParts(HWND child, LPARAM data) {
  auto* demo = reinterpret_cast<Demo*>(data);
  const RECT place = ClientPlace(demo->form, child);
  const int width = place.right - place.left, height = place.bottom - place.top;
  if (place.top == 273 && width == 510 && height == 32) demo->buttons = child;
  if (place.left == 0 && width == 41 && height == 15) demo->counter = child;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: hl2demo_e2e hl2demo.exe [rest-ms]\n");
    return 2;
  }
  const DWORD rest = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 0;
  PROCESS_INFORMATION process = e2e::Launch(argv[1], "", "");
  if (!process.hProcess) {
    std::printf("FAIL cannot start %s\n", argv[1]);
    return 1;
  }

  Demo demo;
  Expect(e2e::PollUntil([&] {
           demo.form = FindWindowA(nullptr, "Hourlark by Quennix 2.0 Quick Demo");
           DWORD owner = 0;
           if (demo.form) GetWindowThreadProcessId(demo.form, &owner);
           return demo.form && owner == process.dwProcessId && IsWindowVisible(demo.form);
         }, 30000),
         "the demo window comes up");
  if (demo.form) {
    RECT client{};
    GetClientRect(demo.form, &client);
    Expect(client.right == 510 && client.bottom == 305, "its client area is 510 x 305");
    EnumChildWindows(demo.form, FindParts, reinterpret_cast<LPARAM>(&demo));
    Expect(demo.buttons && demo.counter, "the button panel and the page counter are there");
  }
  if (demo.buttons && demo.counter) {
    SetForegroundWindow(demo.form);
    Expect(e2e::PollUntil([&] { return GetForegroundWindow() == demo.form; }, 3000), "the demo window is in front");
    // Clicks at x, 17 of the button panel, where Previous, Next and Close are; each click is
    // a press, however quick the next one.
    auto click = [&](int x) {
      e2e::InputClick(demo.buttons, POINT{x, 17});
      Sleep(rest > 0 ? rest : 150);
    };
    auto next = [&] { click(135); };
    auto previous = [&] { click(45); };
    Sleep(rest);
    Expect(e2e::TextOf(demo.counter).empty(), "the first page has no counter");
    previous();
    Expect(e2e::TextOf(demo.counter).empty(), "Previous does nothing on the first page");
    next();
    Expect(e2e::TextOf(demo.counter).empty(), "the introduction has no counter");
    next();
    Expect(e2e::TextOf(demo.counter) == "1/11", "the first counted page shows 1/11");
    for (int i = 0; i < 10; ++i) next();
    Expect(e2e::TextOf(demo.counter) == "11/11", "the last page shows 11/11");
    next();
    Expect(e2e::TextOf(demo.counter) == "11/11", "Next does nothing on the last page");
    previous();
    Expect(e2e::TextOf(demo.counter) == "10/11", "Previous goes one page back");
    click(462);  // Close
  }
  const bool ended = e2e::Ended(process, 15000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  Expect(ended && code == 0, "closing the window ends the program cleanly");
  e2e::Finish(process, !ended);
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
