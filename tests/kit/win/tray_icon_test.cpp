#include "kit/win/tray_icon.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/win/icon_list_win.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/menus.h"
#include "tests/e2e/screen_picture.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

// One shell call as the tray icon made it.
struct NotifyCall {
  DWORD Message;
  NOTIFYICONDATAA Data;
  DWORD Thread;
};

std::vector<NotifyCall>& Calls() {
  static std::vector<NotifyCall> calls;
  return calls;
}

BOOL RecordNotify(DWORD message, NOTIFYICONDATAA* data) {
  Calls().push_back({message, *data, GetCurrentThreadId()});
  return TRUE;
}

// A copy of one of the system's icons: IDI_APPLICATION + offset.
void LoadSystemIcon(TIcon* icon, int offset) {
  icon->SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512 + offset))));
}

// Icons of the frames shown (add and modify calls), in order.
std::vector<HICON> ShownIcons() {
  std::vector<HICON> shown;
  for (const NotifyCall& call : Calls())
    if (call.Message != NIM_DELETE) shown.push_back(call.Data.hIcon);
  return shown;
}

int CountCalls(DWORD message) {
  int count = 0;
  for (const NotifyCall& call : Calls()) count += call.Message == message;
  return count;
}

// The threads of this process.
std::set<DWORD> Threads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  UniqueKernelHandle owner(snapshot);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  std::set<DWORD> threads;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
  return threads;
}

// Enumeration step: keeps the first visible notification-area window in *found.
BOOL CALLBACK FindNotificationArea(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  const std::string cls = name;
  if (!IsWindowVisible(window) || (cls != "Shell_TrayWnd" && cls != "__winex11_standalone_tray")) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

class TrayIconTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Calls().clear();
    previous_ = SetTrayNotifyEdge(&RecordNotify);
  }
  void TearDown() override {
    SetTrayNotifyEdge(previous_);
    AppTest::TearDown();
  }

  // A tray icon with a still icon, shown.
  std::unique_ptr<TKitTrayIcon> ShownTray() {
    auto tray = std::make_unique<TKitTrayIcon>(nullptr);
    TIcon icon;
    LoadSystemIcon(&icon, 0);
    tray->SetIcon(&icon);
    return tray;
  }

  // Sends the shell's callback message with a mouse message to the tray icon.
  static void Mouse(TKitTrayIcon* tray, UINT mouseMessage) {
    SendMessageA(tray->Handle(), CM_TRAYICON, 0, mouseMessage);
  }

private:
  TTrayNotifyEdge previous_ = nullptr;
};

}  // namespace

TEST_F(TrayIconTest, RecordIsTheFirstVersionLayoutWithTipAndCallback) {
  Calls().clear();
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  ASSERT_TRUE(tray->Added());
  tray->SetHint("Hourlark|Counting since 9:00");
  const NotifyCall& last = Calls().back();
  ASSERT_EQ(1, CountCalls(NIM_ADD));
  for (const NotifyCall& call : Calls())
    if (call.Message == NIM_ADD) EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), call.Data.uFlags);
  EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), last.Message);
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), last.Data.cbSize);
  EXPECT_EQ(tray->Handle(), last.Data.hWnd);
  EXPECT_EQ(0u, last.Data.uID);
  // The icon the shell already has is not sent again with a new tip.
  EXPECT_EQ(static_cast<UINT>(NIF_TIP), last.Data.uFlags);
  EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), tray->NotifyData().uFlags);
  EXPECT_EQ(0xB054u, last.Data.uCallbackMessage);
  EXPECT_EQ(tray->Icon()->Handle(), last.Data.hIcon);
  EXPECT_STREQ("Hourlark", last.Data.szTip);

  // The hint is a published property (the translation walk reaches it by name).
  const PropInfo* hint = FindProp(tray.get(), "Hint");
  ASSERT_NE(nullptr, hint);
  hint->SetStr(*tray, std::string(80, 'x'));
  EXPECT_EQ(std::string(63, 'x'), std::string(Calls().back().Data.szTip));

  // The icon goes when the component goes.
  HWND window = tray->Handle();
  tray.reset();
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), Calls().back().Message);
  EXPECT_EQ(window, Calls().back().Data.hWnd);

  // Nothing to show: never added.
  Calls().clear();
  TKitTrayIcon empty(nullptr);
  empty.Loaded();
  EXPECT_FALSE(empty.Added());
  EXPECT_EQ(0, CountCalls(NIM_ADD));
}

TEST_F(TrayIconTest, MouseMessagesBecomeEventsAndClicks) {
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  std::vector<std::string> log;
  tray->OnMouseDown = [&](TObject* sender, TMouseButton button, TShiftState shift, int, int) {
    EXPECT_EQ(tray.get(), sender);
    log.push_back("down" + std::to_string(button) + ((shift & ssLeft) ? "L" : "") + ((shift & ssRight) ? "R" : ""));
  };
  tray->OnMouseUp = [&](TObject*, TMouseButton button, TShiftState, int, int) {
    log.push_back("up" + std::to_string(button));
  };
  tray->OnClick = [&](TObject*, TMouseButton button, TShiftState, int x, int y) {
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, x);
    EXPECT_EQ(cursor.y, y);
    log.push_back("click" + std::to_string(button));
  };
  tray->OnMouseMove = [&](TObject*, TShiftState, int, int) { log.push_back("move"); };

  for (UINT m : {0x200u, 0x201u, 0x202u}) Mouse(tray.get(), m);
  EXPECT_EQ((std::vector<std::string>{"move", "down0L", "click0", "up0"}), log);
  log.clear();

  // A right click with a menu that does not pop up by itself is a click of the right button.
  TPopupMenu menu(nullptr);
  menu.SetAutoPopup(false);
  tray->SetPopupMenu(&menu);
  for (UINT m : {0x204u, 0x205u}) Mouse(tray.get(), m);
  EXPECT_EQ((std::vector<std::string>{"down1R", "click1", "up1"}), log);
}

TEST_F(TrayIconTest, RightClickPopsUpTheMenuAndDoubleClickRunsTheDefaultItem) {
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  auto* menu = new TPopupMenu(nullptr);
  std::unique_ptr<TPopupMenu> menuOwner(menu);
  auto* restore = new TMenuItem(menu);
  auto* quit = new TMenuItem(menu);
  menu->Items()->Add(restore);
  menu->Items()->Add(quit);
  int popups = 0;
  int restores = 0;
  int clicks = 0;
  int doubles = 0;
  // Escape, waiting when the menu opens, closes it.
  menu->OnPopup = [&](TObject*) {
    ++popups;
    PostMessageA(menu->WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  restore->OnClick = [&](TObject*) { ++restores; };
  tray->OnClick = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
  tray->OnDblClick = [&](TObject*) { ++doubles; };
  tray->SetPopupMenu(menu);

  Mouse(tray.get(), 0x204);
  Mouse(tray.get(), 0x205);
  EXPECT_EQ(1, popups);
  EXPECT_EQ(0, clicks);
  EXPECT_EQ(tray.get(), menu->PopupComponent());

  // No default item: the double click is the component's own.
  Mouse(tray.get(), 0x203);
  EXPECT_EQ(1, doubles);
  // A disabled default item is passed over; an enabled one runs instead of the event.
  quit->SetDefault(true);
  quit->SetEnabled(false);
  Mouse(tray.get(), 0x203);
  EXPECT_EQ(2, doubles);
  restore->SetDefault(true);
  Mouse(tray.get(), 0x203);
  EXPECT_EQ(1, restores);
  EXPECT_EQ(2, doubles);

  // Inactive: neither the menu nor the default item.
  tray->SetActive(false);
  Mouse(tray.get(), 0x203);
  EXPECT_EQ(1, restores);
  EXPECT_EQ(3, doubles);

  // The menu's removal clears the reference.
  menuOwner.reset();
  EXPECT_EQ(nullptr, tray->PopupMenu());
}

TEST_F(TrayIconTest, AnErrorInAHandlerIsReportedAndTheIconStaysUsable) {
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  int clicks = 0;
  tray->OnClick = [&](TObject*, TMouseButton, TShiftState, int, int) {
    if (++clicks == 1) throw std::runtime_error("click failed");
  };
  for (UINT m : {0x201u, 0x202u, 0x201u, 0x202u}) Mouse(tray.get(), m);
  EXPECT_EQ(2, clicks);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_NE(std::string::npos, Boxes()[0].find("click failed"));

  // A handler may delete the tray icon itself.
  TKitTrayIcon* raw = tray.release();
  raw->OnMouseDown = [raw](TObject*, TMouseButton, TShiftState, int, int) { delete raw; };
  HWND window = raw->Handle();
  SendMessageA(window, CM_TRAYICON, 0, 0x201);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayIconTest, AnimationRunsOnTheWindowThreadAndStopsWithTheComponent) {
  const std::set<DWORD> threadsBefore = Threads();
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  TIconList frames;
  for (int i = 1; i <= 3; ++i) {
    TIcon icon;
    LoadSystemIcon(&icon, i);
    frames.Add(&icon);
  }
  tray->SetIcons(&frames);
  tray->SetInterval(60);
  tray->SetAnimated(true);
  ASSERT_TRUE(tray->Animated());
  Calls().clear();
  ASSERT_TRUE(PumpUntil([] { return ShownIcons().size() >= 5; }));

  std::vector<HICON> expected;
  for (int i = 0; i < 3; ++i) expected.push_back(tray->Icons()->Get(i)->Handle());
  std::vector<HICON> shown = ShownIcons();
  // Frames follow each other in order, from wherever the first tick found them.
  size_t start = 0;
  while (start < 3 && expected[start] != shown[0]) ++start;
  ASSERT_LT(start, 3u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(expected[(start + i) % 3], shown[i]) << i;
  for (const NotifyCall& call : Calls()) EXPECT_EQ(GetCurrentThreadId(), call.Thread);

  // Inactive: removed and no frame comes; active again: the frames go on.
  tray->SetActive(false);
  Calls().clear();
  PumpFor(250);  // four intervals without a frame
  EXPECT_TRUE(ShownIcons().empty());
  tray->SetActive(true);
  ASSERT_TRUE(PumpUntil([] { return ShownIcons().size() >= 3; }));

  // Destroyed while animating: the icon goes and so does the worker.
  std::set<DWORD> started;
  for (DWORD thread : Threads())
    if (threadsBefore.count(thread) == 0) started.insert(thread);
  EXPECT_FALSE(started.empty());
  tray.reset();
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), Calls().back().Message);
  for (DWORD thread : Threads()) EXPECT_EQ(0u, started.count(thread)) << "thread " << thread << " still runs";
  real_input::ProcessMessages();  // what the worker posted last finds no icon
}

TEST_F(TrayIconTest, EmptyFramesAndAZeroIntervalAreHarmless) {
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  TIconList frames;
  TIcon icon, other;
  LoadSystemIcon(&icon, 1);
  LoadSystemIcon(&other, 2);
  TIcon empty;
  frames.Add(&empty);
  frames.Add(&icon);
  frames.Add(&empty);
  frames.Add(&other);
  tray->SetIcons(&frames);
  tray->SetInterval(0);
  tray->SetAnimated(true);
  Calls().clear();
  PumpFor(500);  // the frames counted in a known time
  // A zero interval: frames no faster than the floor allows.
  const int modifies = CountCalls(NIM_MODIFY);
  EXPECT_GE(modifies, 2);
  EXPECT_LE(modifies, static_cast<int>(500 / kMinTrayFrameInterval) + 2);
  // Empty frames are passed over: the icon never leaves the notification area.
  EXPECT_EQ(0, CountCalls(NIM_DELETE));
  EXPECT_TRUE(tray->Added());
  const HICON first = tray->Icons()->Get(1)->Handle(), second = tray->Icons()->Get(3)->Handle();
  const std::vector<HICON> shown = ShownIcons();
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_TRUE(shown[i] == first || shown[i] == second);
    if (i > 0) EXPECT_NE(shown[i - 1], shown[i]);
  }

  // With one filled frame the frames still go round, but the icon the shell already shows is
  // not sent to it again.
  frames.Delete(3);
  tray->SetIcons(&frames);
  real_input::Settle();  // a frame already on its way
  Calls().clear();
  PumpFor(400);  // several rounds of frames, none sent
  EXPECT_EQ(0, CountCalls(NIM_MODIFY));
  EXPECT_EQ(0, CountCalls(NIM_DELETE));
  EXPECT_TRUE(tray->Added());
  EXPECT_EQ(tray->Icons()->Get(1)->Handle(), tray->NotifyData().hIcon);

  // Clearing the frames ends the animation and shows the still icon.
  tray->Icons()->Clear();
  EXPECT_FALSE(tray->Animated());
  EXPECT_EQ(tray->Icon()->Handle(), Calls().back().Data.hIcon);
}

TEST_F(TrayIconTest, ShellRestartAddsTheIconAgain) {
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  Calls().clear();
  SendMessageA(tray->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(1, CountCalls(NIM_ADD));
  EXPECT_TRUE(tray->Added());
}

TEST_F(TrayIconTest, TheRealShellShowsTheIcon) {
  SetTrayNotifyEdge(nullptr);
  std::unique_ptr<TKitTrayIcon> tray = ShownTray();
  tray->SetHint("Hourlark test icon");
  EXPECT_TRUE(tray->Added());

  // A picture of the notification area, saved beside the test program as tray_icon.bmp for a
  // person to look at: the shell's taskbar, or, under Wine on an X display without a tray of
  // its own, the stand-alone tray window that Wine shows instead.
  // The window belongs to another process, so it is told by the name of its class.
  HWND area = nullptr;
  PumpUntil([&] {
    EnumWindows(FindNotificationArea, reinterpret_cast<LPARAM>(&area));
    return area != nullptr;
  }, 2000);
  if (area != nullptr) {
    // The shell, another process, draws the icon; nothing here tells when it has.
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPicture(area, "tray_icon.bmp"));
  } else {
    std::printf("no notification area window to take a picture of\n");
  }
  tray.reset();
}
