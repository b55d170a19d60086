#include "kit/win/tray_icon.h"

#include <atomic>
#include <cstring>

#include "kit/kit_messages.h"
#include "kit/win/draw_utils_win.h"
#include "kit/win/icon_list_win.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/thread.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the notification record is the 88-byte first-version layout");
#endif

namespace {

BOOL SystemNotify(DWORD message, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(message, data); }

TTrayNotifyEdge g_notify = &SystemNotify;

// Broadcast by the shell when it starts (again): its icons must be added anew.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

// The handle of an icon, 0 for none, an empty icon or one whose image cannot be made.
uintptr_t IconHandleOf(TIcon* icon) {
  if (icon == nullptr || icon->Empty()) return 0;
  try {
    return reinterpret_cast<uintptr_t>(icon->Handle());
  } catch (const Exception&) {
    return 0;
  }
}

TShiftState ButtonFlag(TTrayButtonFlag flag) {
  switch (flag) {
    case tfLeft: return ssLeft;
    case tfRight: return ssRight;
    case tfMiddle: return ssMiddle;
    case tfDouble: return ssDouble;
    default: return 0;
  }
}

}  // namespace

TTrayNotifyEdge SetTrayNotifyEdge(TTrayNotifyEdge edge) {
  TTrayNotifyEdge previous = g_notify;
  g_notify = edge != nullptr ? edge : &SystemNotify;
  return previous;
}

NOTIFYICONDATAA ToNotifyIconData(const TTrayRecord& record) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = reinterpret_cast<HWND>(record.Window);
  data.uID = record.ID;
  data.uFlags = record.Flags;
  data.uCallbackMessage = record.CallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.Icon);
  static_assert(sizeof data.szTip >= kTrayTipSize, "the tip field holds 64 bytes");
  std::memcpy(data.szTip, record.Tip, kTrayTipSize);
  return data;
}

// ---------------------------------------------------------------------------------------
// The animation worker: it sleeps for the interval and posts a tick, never more than one
// waiting at a time, and nothing while paused. It touches no window, list or shell.

class TKitTrayIcon::TTimerThread : public TThread {
public:
  TTimerThread(HWND window, unsigned serial, unsigned interval, bool paused)
      : window_(window), serial_(serial), interval_(interval), paused_(paused),
        wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    if (!wake_) throw EOutOfResources("Cannot make an event");
  }
  ~TTimerThread() override { Stop(); }

  // Ends the worker and waits for it (at once: it only ever waits on its event).
  void Stop() {
    Terminate();
    SetEvent(wake_.get());
    WaitFor();
  }
  void SetInterval(unsigned interval) { interval_ = interval; }
  void SetPaused(bool paused) { paused_ = paused; }
  // The window thread took the waiting tick: the next one may be posted.
  void TickHandled() { tickPending_ = false; }
  unsigned Serial() const { return serial_; }

protected:
  void Execute() override {
    while (!Terminated()) {
      if (WaitForSingleObject(wake_.get(), TrayFrameDelay(interval_)) != WAIT_TIMEOUT) continue;
      if (Terminated() || paused_) continue;
      if (tickPending_.exchange(true)) continue;
      if (!PostMessageA(window_, CM_TRAYTICK, serial_, 0)) tickPending_ = false;
    }
  }

private:
  HWND window_;
  unsigned serial_;
  std::atomic<unsigned> interval_;
  std::atomic<bool> paused_;
  std::atomic<bool> tickPending_{false};
  UniqueKernelHandle wake_;
};

// ---------------------------------------------------------------------------------------
// TKitTrayIcon

const ClassInfo* TKitTrayIcon::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitTrayIcon>("TKitTrayIcon", TComponent::StaticClassInfo())
          .Bool("Active", &TKitTrayIcon::Active, &TKitTrayIcon::SetActive)
          .Bool("Animated", &TKitTrayIcon::Animated, &TKitTrayIcon::SetAnimated)
          .Str("Hint", &TKitTrayIcon::Hint, &TKitTrayIcon::SetHint)
          .Int("Interval", &TKitTrayIcon::Interval, &TKitTrayIcon::SetInterval)
          .Ref("PopupMenu", &TKitTrayIcon::PopupMenu, &TKitTrayIcon::SetPopupMenu, TPopupMenu::StaticClassInfo())
          .Build();
  return &ci;
}

TKitTrayIcon::TKitTrayIcon(TComponent* owner) : TComponent(owner) {
  window_ = std::make_unique<TUtilityWindow>([this](TMessage& msg) { return WndProc(msg); }, this);
  icon_ = std::make_unique<TIcon>();
  icon_->OnChange = [this](TObject*) { ChangeIcon(); };
  icons_ = std::make_unique<TIconList>();
  icons_->OnChange = [this](TObject*) { ChangeIcon(); };
}

TKitTrayIcon::~TKitTrayIcon() {
  *alive_ = false;
  Destroying();
  logic_.BeginDestroy();
  icons_->OnChange = nullptr;
  icon_->OnChange = nullptr;
  // Stops and joins the worker before anything it posts to goes.
  logic_.SetAnimated(false);
  logic_.Deactivate();
  window_.reset();
}

void TKitTrayIcon::SetActive(bool value) { logic_.SetActive(value); }

void TKitTrayIcon::SetHint(const std::string& value) { logic_.SetHint(value); }

void TKitTrayIcon::SetIcon(TIcon* value) { icon_->Assign(value); }

void TKitTrayIcon::SetIcons(TIconList* value) { icons_->Assign(value); }

void TKitTrayIcon::SetAnimated(bool value) { logic_.SetAnimated(value); }

void TKitTrayIcon::SetInterval(unsigned short value) {
  interval_ = value;
  if (thread_) thread_->SetInterval(value);
}

void TKitTrayIcon::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_ != nullptr) RemoveFreeNotification(popupMenu_);
  popupMenu_ = value;
  if (value != nullptr) value->FreeNotification(this);
}

void TKitTrayIcon::Activate() { logic_.Activate(); }

void TKitTrayIcon::Deactivate() { logic_.Deactivate(); }

void TKitTrayIcon::ChangeIcon() {
  // Called for a replaced icon or frame list and from outside: a new icon may have been
  // given an old one's handle, so the shell gets the whole record.
  logic_.IconsReplaced();
  logic_.ChangeIcon();
}

void TKitTrayIcon::UpdateNotifyData() { logic_.UpdateNotifyData(); }

HWND TKitTrayIcon::Handle() const { return window_ ? window_->Handle() : nullptr; }

void TKitTrayIcon::Loaded() {
  TComponent::Loaded();
  logic_.Loaded();
}

void TKitTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupMenu_) popupMenu_ = nullptr;
}

void TKitTrayIcon::Timer() { logic_.Timer(); }

bool TKitTrayIcon::WndProc(TMessage& msg) {
  if (msg.Msg == CM_TRAYICON) {
    HandleTrayMessage(static_cast<unsigned>(msg.LParam));
    msg.Result = 0;
    return true;
  }
  if (msg.Msg == CM_TRAYTICK) {
    if (thread_ && msg.WParam == thread_->Serial()) {
      thread_->TickHandled();
      Timer();
    }
    msg.Result = 0;
    return true;
  }
  if (msg.Msg == TaskbarCreatedMessage()) logic_.ShellRestarted();
  return false;
}

void TKitTrayIcon::HandleTrayMessage(unsigned mouseMessage) {
  // The message carries no position: the cursor's, when the message is handled.
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  const TShiftState keys = KeyboardShiftState();
  unsigned marks = logic_.ClickMarks();
  const std::vector<TTrayMouseStep> steps = TrayMouseSteps(mouseMessage, marks);
  logic_.SetClickMarks(marks);
  const std::shared_ptr<bool> alive = alive_;
  for (const TTrayMouseStep& step : steps) {
    if (!*alive) return;
    const TShiftState shift = keys | ButtonFlag(step.Flag);
    const auto button = static_cast<TMouseButton>(step.Button);
    switch (step.Kind) {
      case tmMove: MouseMove(shift, cursor.x, cursor.y); break;
      case tmDown: MouseDown(button, shift, cursor.x, cursor.y); break;
      case tmUp: MouseUp(button, shift, cursor.x, cursor.y); break;
      case tmClick: DoClick(button, shift, cursor.x, cursor.y); break;
      case tmDblClick: DblClick(); break;
    }
  }
}

void TKitTrayIcon::DblClick() {
  if (ExecuteDefaultItem()) return;
  if (OnDblClick && !logic_.Destroying()) OnDblClick(this);
}

void TKitTrayIcon::DoClick(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbRight && CheckMenuPopup(x, y)) return;
  if (OnClick && !logic_.Destroying()) OnClick(this, button, shift, x, y);
}

void TKitTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown && !logic_.Destroying()) OnMouseDown(this, button, shift, x, y);
}

void TKitTrayIcon::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove && !logic_.Destroying()) OnMouseMove(this, shift, x, y);
}

void TKitTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp && !logic_.Destroying()) OnMouseUp(this, button, shift, x, y);
}

bool TKitTrayIcon::CheckMenuPopup(int x, int y) {
  if (!Active() || popupMenu_ == nullptr || !popupMenu_->AutoPopup()) return false;
  popupMenu_->SetPopupComponent(this);
  CancelMenus();
  // The menu closes on a click elsewhere only when its owner is in front.
  SwitchToWindow(Handle(), false);
  const std::shared_ptr<bool> alive = alive_;
  if (Application != nullptr) Application->ProcessMessages();
  // The messages just handled may have deleted the tray icon or its menu: the click has
  // been used up all the same.
  if (!*alive || popupMenu_ == nullptr) return true;
  popupMenu_->Popup(x, y);
  if (*alive) SwitchToWindow(Handle(), false);
  return true;
}

bool TKitTrayIcon::ExecuteDefaultItem() {
  if (!Active() || popupMenu_ == nullptr) return false;
  TMenuItem* items = popupMenu_->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (item->Default() && item->Enabled()) {
      item->Click();
      return true;
    }
  }
  return false;
}

void TKitTrayIcon::CancelMenus() {
  if (logic_.Destroying()) return;
  TCustomForm* form = Screen != nullptr ? Screen->ActiveForm() : nullptr;
  if (form == nullptr && Application != nullptr) form = Application->MainForm();
  if (form != nullptr) form->SendCancelMode(nullptr);
}

// ---- TTrayIconHost ---------------------------------------------------------------------

bool TKitTrayIcon::ShellNotify(TTrayNotifyOp op, const TTrayRecord& record) {
  NOTIFYICONDATAA data = ToNotifyIconData(record);
  return g_notify(static_cast<DWORD>(op), &data) != FALSE;
}

uintptr_t TKitTrayIcon::WindowHandle() { return reinterpret_cast<uintptr_t>(Handle()); }

uintptr_t TKitTrayIcon::StillIcon() { return IconHandleOf(icon_.get()); }

int TKitTrayIcon::FrameCount() { return icons_ ? icons_->Count() : 0; }

uintptr_t TKitTrayIcon::FrameIcon(int index) { return IconHandleOf(icons_->Get(index)); }

void TKitTrayIcon::StartAnimation(bool paused) {
  thread_.reset();
  thread_ = std::make_unique<TTimerThread>(Handle(), ++threadSerial_, interval_, paused);
  thread_->Start();
}

void TKitTrayIcon::PauseAnimation(bool paused) {
  if (thread_) thread_->SetPaused(paused);
}

void TKitTrayIcon::StopAnimation() { thread_.reset(); }
