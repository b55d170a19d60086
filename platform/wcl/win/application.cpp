#include "platform/wcl/win/application.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/messages.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/thread.h"

TApplication* Application = nullptr;

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
// How long a tooltip stays up.
constexpr UINT kHintHidePause = 2500;

// The hint of a control, or of its nearest parent that has one.
std::string InheritedHint(const TControl* control) {
  for (; control != nullptr; control = control->Parent())
    if (!control->Hint().empty()) return control->Hint();
  return std::string();
}

std::string BaseName(const std::string& path) {
  return ChangeFileExt(ExtractFileName(path), "");
}

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner), mainThreadId_(GetCurrentThreadId()) {
  if (Application == nullptr) Application = this;
  if (Screen == nullptr) screen_ = std::make_unique<TScreen>(nullptr);
  TCreateParams params;
  params.WinClassName = "HlApplication";
  params.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  TScreenSize screen = EdgeScreenSize();
  params.X = screen.Width / 2;
  params.Y = screen.Height / 2;
  window_ = std::make_unique<TUtilityWindow>([this](TMessage& msg) { return WindowMessage(msg); }, params, this);
}

TApplication::~TApplication() {
  Destroying();
  // The forms go first, while the screen and the application window still exist.
  DestroyComponents();
  HideHintWindow();
  hintWindow_.reset();
  window_.reset();
  screen_.reset();
  // A quit request left in the queue must not end the next message loop of this thread.
  MSG pending;
  while (PeekMessageA(&pending, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  if (Application == this) Application = nullptr;
}

HWND TApplication::Handle() const { return window_ ? window_->Handle() : nullptr; }

void TApplication::SetTitle(const std::string& value) {
  title_ = value;
  if (Handle() != nullptr) ShowCaption(Handle(), value);
}

std::string TApplication::ExeName() const {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD got = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got < path.size()) {
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool TApplication::HelpContext(int context) {
  if (helpFile_.empty()) return false;
  return WinHelpA(Handle(), helpFile_.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) != FALSE;
}

void TApplication::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::Run() {
  if (mainForm_ != nullptr && showMainForm_) {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    mainForm_->Show();
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) WaitMessage();
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void ReportException(TObject* sender) noexcept {
  try {
    if (Application != nullptr) Application->HandleException(sender);
  } catch (...) {
  }
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr error = std::current_exception();
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    // A silent abort: nothing to show.
  } catch (const std::exception& e) {
    if (OnException) {
      try {
        OnException(sender, e);
        return;
      } catch (...) {
        // A failing handler still lets the user see the original error.
      }
    }
    ShowException(e.what());
  } catch (...) {
    ShowException("An unknown error occurred");
  }
}

void TApplication::ShowException(const std::string& message) { MessageBox(message, BoxCaption(), MB_OK | MB_ICONSTOP); }

std::string TApplication::BoxCaption() const { return title_.empty() ? BaseName(ExeName()) : title_; }

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  return EdgeMessageBox(text, caption, flags);
}

void TApplication::Minimize() {
  if (Minimized()) return;
  ShowWindow(Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!Minimized()) return;
  ShowWindow(Handle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

bool TApplication::Minimized() const { return Handle() != nullptr && IsIconic(Handle()); }

void TApplication::BringToFront() {
  TCustomForm* form = Screen != nullptr && Screen->ActiveForm() != nullptr ? Screen->ActiveForm() : mainForm_;
  if (form != nullptr && form->HandleAllocated() && form->Visible()) SetForegroundWindow(form->Handle());
}

int TApplication::HookMainWindow(TWindowHook hook) {
  hooks_.emplace_back(nextHookId_, std::move(hook));
  return nextHookId_++;
}

void TApplication::UnhookMainWindow(int id) {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [id](const auto& h) { return h.first == id; }),
               hooks_.end());
}

bool TApplication::WindowMessage(TMessage& msg) {
  // A hook may unhook itself, so the list is copied first.
  const auto hooks = hooks_;
  for (const auto& hook : hooks)
    if (hook.second && hook.second(msg)) return true;
  switch (msg.Msg) {
    case HLM_THREADCALL:
      CheckSynchronize();
      return true;
    case WM_SYSCOMMAND:
      switch (msg.WParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return true;
        case SC_RESTORE: Restore(); return true;
        default: return false;
      }
    case WM_ACTIVATEAPP:
      if (msg.WParam != 0) {
        if (OnActivate) OnActivate(this);
      } else {
        CancelHint();
        if (OnDeactivate) OnDeactivate(this);
      }
      return false;
    case WM_CLOSE:
      if (mainForm_ != nullptr) mainForm_->Close();
      return true;
    case WM_TIMER:
      if (msg.WParam == kHintShowTimer) {
        KillTimer(Handle(), kHintShowTimer);
        ShowHintWindow();
        return true;
      }
      if (msg.WParam == kHintHideTimer) {
        HideHintWindow();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// The mouse came over another control: its long hint becomes the application's hint, and
// its short hint shows as a tooltip once the mouse has rested for HintPause.
void TApplication::HintControlChanged(TControl* control) {
  if (control == hintControl_) return;
  CancelHint();
  hintControl_ = control;
  const std::string hint = InheritedHint(control);
  SetHint(GetLongHint(hint));
  if (control != nullptr && showHint_ && control->ShowHint() && !GetShortHint(hint).empty())
    SetTimer(Handle(), kHintShowTimer, static_cast<UINT>(std::max(hintPause_, 1)), nullptr);
}

void TApplication::CancelHint() {
  if (Handle() != nullptr) KillTimer(Handle(), kHintShowTimer);
  HideHintWindow();
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control == hintControl_) {
    CancelHint();
    hintControl_ = nullptr;
  }
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (form != mainForm_) return;
  mainForm_ = nullptr;
  // The program cannot go on without its main form.
  if (!(ComponentState() & csDestroying)) Terminate();
}

void TApplication::ShowHintWindow() {
  if (hintControl_ == nullptr) return;
  const std::string text = GetShortHint(InheritedHint(hintControl_));
  if (text.empty()) return;
  if (!hintWindow_) {
    hintWindow_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    if (!hintWindow_) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(hintWindow_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  // Wide, so that a built-in hint reads right (see built_in_texts.h).
  std::wstring shown = ShownText(text);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = Handle();
  tool.uId = 1;
  tool.lpszText = shown.data();
  SendMessageW(hintWindow_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  POINT cursor;
  GetCursorPos(&cursor);
  SendMessageA(hintWindow_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + 20));
  SendMessageA(hintWindow_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SetTimer(Handle(), kHintHideTimer, kHintHidePause, nullptr);
}

void TApplication::HideHintWindow() {
  if (Handle() != nullptr) KillTimer(Handle(), kHintHideTimer);
  if (!hintWindow_) return;
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = Handle();
  tool.uId = 1;
  SendMessageA(hintWindow_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
