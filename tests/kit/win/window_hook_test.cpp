#include "kit/win/window_hook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/form.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr UINT kProbe = WM_APP + 0x2A;

// A form that answers the probe message with 7 and counts how often it got it.
class TProbeForm : public TForm {
public:
  using TForm::TForm;
  int probes = 0;
  void WndProc(TMessage& msg) override {
    if (msg.Msg == kProbe) {
      ++probes;
      msg.Result = 7;
      return;
    }
    TForm::WndProc(msg);
  }
};

// A window procedure installed the old way, after the hooks, by some other party.
WNDPROC g_previous = nullptr;
int g_foreignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbe) ++g_foreignCalls;
  return CallWindowProcA(g_previous, window, message, wParam, lParam);
}

class WindowHookTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TProbeForm>(nullptr);
  }
  void TearDown() override {
    form.reset();
    real_input::ProcessMessages();  // what the hooks posted while their form went
    AppTest::TearDown();
  }

  // A hook on the form that logs "<name>:before" and "<name>:after" with the result seen.
  TKitWindowHook* Hook(const std::string& name, bool handleBefore = false) {
    auto* hook = new TKitWindowHook(form.get());
    hook->BeforeMessage = [this, name, handleBefore](TObject*, TMessage& msg, bool& handled) {
      if (msg.Msg != kProbe) return;
      log.push_back(name + ":before");
      handled = handleBefore;
    };
    hook->AfterMessage = [this, name](TObject*, TMessage& msg, bool&) {
      if (msg.Msg == kProbe) log.push_back(name + ":after=" + std::to_string(msg.Result));
    };
    hook->SetWinControl(form.get());
    return hook;
  }
  LRESULT Probe() { return SendMessageA(form->Handle(), kProbe, 0, 0); }
  std::string Log() {
    std::string text;
    for (const auto& line : log) text += line + " ";
    log.clear();
    return text;
  }

  std::unique_ptr<TProbeForm> form;
  std::vector<std::string> log;
};

}  // namespace

TEST_F(WindowHookTest, LastAttachedHookSeesEachMessageFirst) {
  Hook("first");
  Hook("second");
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(Log(), "second:before first:before second:after=7 first:after=7 ");
  EXPECT_EQ(form->probes, 1);
  EXPECT_EQ(GlobalHookList()->FindControlHook(form.get())->HookCount(), 2);
}

TEST_F(WindowHookTest, AMessageHandledBeforeReachesNeitherTheWindowNorOtherHooks) {
  Hook("first");
  Hook("second", true);
  Probe();
  EXPECT_EQ(Log(), "second:before ");
  EXPECT_EQ(form->probes, 0);
}

TEST_F(WindowHookTest, InactiveHooksSeeNothingAndAttachWhenActivated) {
  auto* hook = new TKitWindowHook(form.get());
  hook->SetActive(false);
  int seen = 0;
  hook->AfterMessage = [&seen](TObject*, TMessage& msg, bool&) { seen += msg.Msg == kProbe; };
  hook->SetWinControl(form.get());
  Probe();
  EXPECT_EQ(seen, 0);
  hook->SetActive(true);
  Probe();
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(hook->WinControl(), form.get());

  // Active before any control: it attaches when the control arrives.
  auto* early = new TKitWindowHook(form.get());
  int earlySeen = 0;
  early->AfterMessage = [&earlySeen](TObject*, TMessage& msg, bool&) { earlySeen += msg.Msg == kProbe; };
  early->SetWinControl(form.get());
  Probe();
  EXPECT_EQ(earlySeen, 1);
}

TEST_F(WindowHookTest, HookFollowsTheControlIntoItsNewWindow) {
  Hook("only");
  HWND old = form->Handle();
  form->SetBorderStyle(bsDialog);  // makes the window again
  ASSERT_NE(form->Handle(), old);
  ASSERT_TRUE(PumpUntil([this] { return GlobalHookList()->FindControlHook(form.get())->Subclassed(); }));
  Probe();
  EXPECT_EQ(Log(), "only:before only:after=7 ");
}

TEST_F(WindowHookTest, HooksComeOffInAnyOrderAndLeaveLaterProceduresInPlace) {
  TKitWindowHook* first = Hook("first");
  TKitWindowHook* second = Hook("second");
  HWND window = form->Handle();
  g_foreignCalls = 0;
  g_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));

  first->SetActive(false);
  Probe();
  EXPECT_EQ(Log(), "second:before second:after=7 ");
  delete second;
  Probe();
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
  EXPECT_EQ(g_foreignCalls, 2);
  EXPECT_EQ(form->probes, 2);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));

  // The record whose chain emptied is freed once the deferred message is handled.
  ASSERT_NE(GlobalHookList()->FindControlHook(form.get()), nullptr);
  ASSERT_TRUE(PumpUntil([this] { return GlobalHookList()->FindControlHook(form.get()) == nullptr; }));
}

TEST_F(WindowHookTest, LeavingAndComingBackInOneMessageKeepsTheRecord) {
  TKitWindowHook* hook = Hook("only");
  TControlHook* record = GlobalHookList()->FindControlHook(form.get());
  const int records = GlobalHookList()->Count();
  hook->SetWinControl(nullptr);
  hook->SetWinControl(form.get());
  EXPECT_EQ(GlobalHookList()->FindControlHook(form.get()), record);
  real_input::ProcessMessages();  // the posted release finds the hook back
  EXPECT_EQ(GlobalHookList()->FindControlHook(form.get()), record);
  EXPECT_EQ(GlobalHookList()->Count(), records);
  Probe();
  EXPECT_EQ(Log(), "only:before only:after=7 ");
}

TEST_F(WindowHookTest, ControlDestroyedWithDeferredWorkPendingIsForgotten) {
  Hook("only");
  form->SetBorderStyle(bsSingle);  // a re-subclass is now waiting
  const int records = GlobalHookList()->Count();
  form.reset();
  EXPECT_TRUE(PumpUntil([&] { return GlobalHookList()->Count() == records - 1; }));
}

TEST_F(WindowHookTest, ErrorsInHandlersGoToTheApplicationAndTheMessageStillArrives) {
  auto* hook = new TKitWindowHook(form.get());
  hook->BeforeMessage = [](TObject*, TMessage& msg, bool&) {
    if (msg.Msg == kProbe) throw EConvertError("hook failed");
  };
  hook->SetWinControl(form.get());
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(form->probes, 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("hook failed"), std::string::npos);
}
