#include "kit/win/window_hook.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/application.h"

namespace {

// The subclass of every record carries this number; records tell themselves apart by the
// reference data.
constexpr UINT_PTR HookSubclassId = 0x4B57;

// Owns the program's hook list. Made once the list's hidden window exists, so it is torn
// down at program end before the window library's own statics.
struct HookListHolder {
  HookListHolder() : list(new THookList()) {}
  ~HookListHolder() { delete list; }
  THookList* list;
};

HookListHolder* holder = nullptr;

}  // namespace

THookList* GlobalHookList() {
  static HookListHolder instance;
  holder = &instance;
  return instance.list;
}

THookList* ExistingHookList() { return holder != nullptr ? holder->list : nullptr; }

// ---- TKitWindowHook ---------------------------------------------------------------------

const ClassInfo* TKitWindowHook::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitWindowHook>("TKitWindowHook", TComponent::StaticClassInfo())
          .Bool("Active", &TKitWindowHook::Active, &TKitWindowHook::SetActive)
          .Ref("WinControl", &TKitWindowHook::WinControl, &TKitWindowHook::SetWinControl,
               TWinControl::StaticClassInfo())
          .Build();
  return &ci;
}

TKitWindowHook::TKitWindowHook(TComponent* owner) : TComponent(owner) {}

TKitWindowHook::~TKitWindowHook() {
  SetActive(false);
  SetWinControl(nullptr);
}

void TKitWindowHook::SetActive(bool value) {
  if (value == active_) return;
  if (value)
    Attach();
  else
    Detach();
}

TWinControl* TKitWindowHook::WinControl() const {
  return controlHook_ != nullptr ? controlHook_->Control() : control_;
}

void TKitWindowHook::SetWinControl(TWinControl* control) {
  if (control == control_) return;
  const bool wasActive = active_;
  Detach();
  if (control_ != nullptr) RemoveFreeNotification(control_);
  control_ = control;
  if (control != nullptr) control->FreeNotification(this);
  if (wasActive) Attach();
}

void TKitWindowHook::Attach() {
  if (control_ != nullptr && (ComponentState() & csDestroying) == 0)
    GlobalHookList()->ControlHookFor(control_)->AttachHook(this);
  active_ = true;
}

void TKitWindowHook::Detach() {
  if (controlHook_ != nullptr) controlHook_->DetachHook(this);
  active_ = false;
}

void TKitWindowHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr &&
      (component == control_ || component == Owner()))
    SetWinControl(nullptr);
}

void TKitWindowHook::DoBeforeMessage(TMessage& msg, bool& handled) {
  if (BeforeMessage) BeforeMessage(this, msg, handled);
}

void TKitWindowHook::DoAfterMessage(TMessage& msg, bool& handled) {
  if (AfterMessage) AfterMessage(this, msg, handled);
}

// ---- TControlHook -----------------------------------------------------------------------

// Hears of the destruction of the record's control, so the record never keeps a pointer to
// a control that is gone (a re-subclass may still be waiting for it).
class TControlHook::ControlWatch : public TComponent {
public:
  explicit ControlWatch(TControlHook* record) : TComponent(nullptr), record_(record) {}
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component != nullptr && component == record_->control_)
      record_->ControlDestroyed();
  }

private:
  TControlHook* record_;
};

TControlHook::TControlHook(unsigned id) : id_(id), watch_(std::make_unique<ControlWatch>(this)) {}

TControlHook::~TControlHook() {
  destroying_ = true;
  for (TKitWindowHook* hook : chain_) hook->controlHook_ = nullptr;
  chain_.clear();
  RestoreWindowProc();
  watch_.reset();
}

void TControlHook::AttachHook(TKitWindowHook* hook) {
  if (std::find(chain_.begin(), chain_.end(), hook) == chain_.end()) {
    chain_.push_back(hook);
    hook->controlHook_ = this;
    SetControl(hook->control_);
  }
  SubclassWindow();
}

void TControlHook::DetachHook(TKitWindowHook* hook) {
  hook->controlHook_ = nullptr;
  chain_.erase(std::remove(chain_.begin(), chain_.end(), hook), chain_.end());
  if (!chain_.empty()) return;
  RestoreWindowProc();
  // However the last hook left (deactivated, moved to another control, or gone), the record
  // is freed later, never inside the message that may be running through it; a hook that
  // comes back meanwhile keeps it.
  if (!destroying_)
    if (THookList* list = ExistingHookList()) list->Post(CM_RELEASEHOOK, this);
}

void TControlHook::SetControl(TWinControl* control) {
  if (control == control_) return;
  RestoreWindowProc();
  if (control_ != nullptr) watch_->RemoveFreeNotification(control_);
  control_ = control;
  if (control != nullptr) control->FreeNotification(watch_.get());
  if (!chain_.empty()) SubclassWindow();
}

bool TControlHook::ControlGoing() const {
  return control_ != nullptr && (control_->ComponentState() & csDestroying) != 0;
}

void TControlHook::ControlDestroyed() {
  // The control is half gone: only the window handle remembered here is used.
  RestoreWindowProc();
  control_ = nullptr;
}

void TControlHook::SubclassWindow() {
  if (control_ == nullptr || ControlGoing() || destroying_) return;
  HWND window = control_->Handle();
  if (window == window_) return;
  RestoreWindowProc();
  if (SetWindowSubclass(window, &TControlHook::SubclassProc, HookSubclassId,
                        reinterpret_cast<DWORD_PTR>(this))) {
    window_ = window;
    installedProc_ = GetWindowLongPtrA(window, GWLP_WNDPROC);
  }
}

void TControlHook::RestoreWindowProc() {
  if (window_ == nullptr) return;
  HWND window = window_;
  window_ = nullptr;
  if (IsWindow(window) && GetWindowLongPtrA(window, GWLP_WNDPROC) != installedProc_) {
    // Another party replaced the window procedure after us and calls on into ours: taking
    // ours out now would also throw its procedure off the window. Ours stays as a plain
    // pass-through that forgets this record and leaves with the window.
    SetWindowSubclass(window, &TControlHook::SubclassProc, HookSubclassId, 0);
    return;
  }
  RemoveWindowSubclass(window, &TControlHook::SubclassProc, HookSubclassId);
}

LRESULT CALLBACK TControlHook::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
  auto* record = reinterpret_cast<TControlHook*>(refData);
  if (record == nullptr) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &TControlHook::SubclassProc, HookSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
  }
  TMessage msg{message, wParam, lParam, 0};
  ++record->busy_;
  const LRESULT result = record->WindowProc(window, msg);
  if (--record->busy_ == 0 && record->releasePending_) {
    record->releasePending_ = false;
    if (THookList* list = ExistingHookList()) list->Post(CM_RELEASEHOOK, record);
  }
  return result;
}

LRESULT TControlHook::WindowProc(HWND window, TMessage& msg) {
  bool handled = false;
  if (control_ == nullptr) return DefSubclassProc(window, msg.Msg, msg.WParam, msg.LParam);
  if (msg.Msg != WM_QUIT) NotifyHooks(true, msg, handled);
  // WM_DESTROY always reaches the window, whatever the hooks said.
  if (!handled || msg.Msg == WM_DESTROY) {
    msg.Result = DefSubclassProc(window, msg.Msg, msg.WParam, msg.LParam);
    NotifyHooks(false, msg, handled);
  }
  if (msg.Msg == WM_DESTROY) {
    RestoreWindowProc();
    // The control may make a new window (a style change re-creates it): hook that one too.
    if (!destroying_ && control_ != nullptr && !ControlGoing())
      if (THookList* list = ExistingHookList()) list->Post(CM_RESUBCLASS, this);
  }
  return msg.Result;
}

void TControlHook::NotifyHooks(bool before, TMessage& msg, bool& handled) {
  // The last attached hook sees the message first. A handler may detach hooks or end the
  // control, so the chain and the control are checked at every step.
  for (size_t i = chain_.size(); i-- > 0;) {
    if (control_ == nullptr || destroying_ || ControlGoing()) return;
    if (i >= chain_.size()) continue;
    TKitWindowHook* hook = chain_[i];
    try {
      if (before)
        hook->DoBeforeMessage(msg, handled);
      else
        hook->DoAfterMessage(msg, handled);
    } catch (...) {
      ReportException(hook);
    }
    if (handled) return;
  }
}

// ---- THookList --------------------------------------------------------------------------

THookList::THookList()
    : window_(std::make_unique<TUtilityWindow>([this](TMessage& msg) { return HandleMessage(msg); },
                                               this)) {}

THookList::~THookList() {
  while (!records_.empty()) {
    TControlHook* record = records_.back();
    records_.pop_back();
    delete record;
  }
  window_.reset();
}

TControlHook* THookList::FindControlHook(TWinControl* control) const {
  if (control == nullptr) return nullptr;
  for (TControlHook* record : records_)
    if (record->Control() == control) return record;
  return nullptr;
}

TControlHook* THookList::ControlHookFor(TWinControl* control) {
  if (TControlHook* record = FindControlHook(control)) return record;
  auto record = std::make_unique<TControlHook>(nextId_++);
  records_.push_back(record.get());
  record->SetControl(control);
  return record.release();
}

TControlHook* THookList::FindById(unsigned id) const {
  for (TControlHook* record : records_)
    if (record->Id() == id) return record;
  return nullptr;
}

void THookList::Post(UINT message, const TControlHook* record) {
  if (window_->Handle() != nullptr)
    PostMessageA(window_->Handle(), message, 0, static_cast<LPARAM>(record->Id()));
}

void THookList::Release(TControlHook* record) {
  records_.erase(std::remove(records_.begin(), records_.end(), record), records_.end());
  delete record;
}

bool THookList::HandleMessage(TMessage& msg) {
  if (msg.Msg != CM_RESUBCLASS && msg.Msg != CM_RELEASEHOOK) return false;
  // A record that is gone meanwhile is not looked for any further.
  TControlHook* record = FindById(static_cast<unsigned>(msg.LParam));
  if (record == nullptr) return true;
  if (msg.Msg == CM_RESUBCLASS) {
    const HWND before = record->window_;
    record->SubclassWindow();
    if (record->window_ != nullptr && record->window_ != before) {
      TMessage hooked{CM_WINDOWHOOKED, 0, 0, 0};
      bool handled = false;
      record->NotifyHooks(false, hooked, handled);
    }
  } else if (record->HookCount() == 0) {
    // A record whose procedure is still running (a modal loop inside one of its messages)
    // is freed when that message returns.
    if (record->busy_ > 0)
      record->releasePending_ = true;
    else
      Release(record);
  }
  return true;
}
