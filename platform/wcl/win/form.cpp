#include "platform/wcl/win/form.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/messages.h"
#include "platform/wcl/win/screen.h"

namespace {

const EnumInfo BorderStyleEnum{"TFormBorderStyle",
                               {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const EnumInfo BorderIconEnum{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const EnumInfo PositionEnum{"TPosition",
                            {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"}};
const EnumInfo FormStyleEnum{"TFormStyle", {"fsNormal", "fsStayOnTop"}};
const EnumInfo WindowStateEnum{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

bool IsAncestorOrSelf(const TControl* ancestor, const TControl* control) {
  for (; control != nullptr; control = control->Parent())
    if (control == ancestor) return true;
  return false;
}

// Offers a dialog key or character to the controls inside container that could act on it
// (shown and enabled, with shown and enabled parents), until one does.
bool OfferToControls(TWinControl* container, const std::function<bool(TControl*)>& offer) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* control = container->Controls(i);
    if (!control->Visible() || !control->Enabled()) continue;
    if (offer(control)) return true;
    if (auto* inner = dynamic_cast<TWinControl*>(control); inner != nullptr && OfferToControls(inner, offer))
      return true;
  }
  return false;
}

// Disables the thread's other shown windows while a modal form runs, and enables them
// again however the modal loop ends.
class ModalWindowLock {
public:
  explicit ModalWindowLock(HWND modal) : modal_(modal) {
    EnumThreadWindows(GetCurrentThreadId(), &ModalWindowLock::Disable, reinterpret_cast<LPARAM>(this));
  }
  ~ModalWindowLock() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  ModalWindowLock(const ModalWindowLock&) = delete;
  ModalWindowLock& operator=(const ModalWindowLock&) = delete;

private:
  static BOOL CALLBACK Disable(HWND window, LPARAM self) {
    auto* lock = reinterpret_cast<ModalWindowLock*>(self);
    if (window != lock->modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      lock->disabled_.push_back(window);
      EnableWindow(window, FALSE);
    }
    return TRUE;
  }

  HWND modal_;
  std::vector<HWND> disabled_;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// TCustomForm

const ClassInfo* TCustomForm::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomForm>("TCustomForm", TWinControl::StaticClassInfo())
          .Str("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption)
          .Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, &BorderStyleEnum)
          .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, &BorderIconEnum)
          .Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
          .Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
          .Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, &FormStyleEnum)
          .Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
          .Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
          .Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, &PositionEnum)
          .Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled)
          .Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, &WindowStateEnum)
          .Build();
  return &ci;
}

const ClassInfo* TForm::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TForm>("TForm", TCustomForm::StaticClassInfo()).Build();
  return &ci;
}

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner), icon_(std::make_unique<TIcon>()), canvas_(std::make_unique<TCanvas>()) {
  visible_ = false;
  parentFont_ = false;
  UpdateBoundsFromWindow(0, 0, 320, 240);
  icon_->OnChange = [this](TObject*) { ApplyIcon(); };
  if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  DoDestroy();
  if (Application != nullptr) Application->FormDestroyed(this);
  if (Screen != nullptr) Screen->RemoveForm(this);
  // The window goes while this is still a form, then the components it owns.
  DestroyHandle();
  DestroyComponents();
}

void TCustomForm::DoCreate() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    if (Application == nullptr) throw;
    Application->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  try {
    RunLifeHooks(feDestroy);
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    // The form goes all the same; the user hears of the error.
    if (Application != nullptr) Application->HandleException(this);
  }
}

int TCustomForm::HookLifeEvents(TFormLifeHook hook) {
  lifeHooks_.emplace_back(nextLifeHookId_, std::move(hook));
  return nextLifeHookId_++;
}

void TCustomForm::UnhookLifeEvents(int id) {
  lifeHooks_.erase(std::remove_if(lifeHooks_.begin(), lifeHooks_.end(),
                                  [id](const auto& h) { return h.first == id; }),
                   lifeHooks_.end());
}

void TCustomForm::RunLifeHooks(TFormLifeEvent event) {
  // A hook may unhook itself, so the list is copied first.
  const auto hooks = lifeHooks_;
  for (const auto& hook : hooks)
    if (hook.second) hook.second(this, event);
}

void TCustomForm::SetPixelsPerInch(int value) {
  if (value > 0) pixelsPerInch_ = value;
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  ScaleToScreen();
}

void TCustomForm::ScaleToScreen() {
  if (!scaled_ || Screen == nullptr || Screen->PixelsPerInch() == pixelsPerInch_) return;
  ScaleBy(Screen->PixelsPerInch(), pixelsPerInch_);
  pixelsPerInch_ = Screen->PixelsPerInch();
}

void TCustomForm::ChangeScale(int m, int d) {
  scaleM_ *= m;
  scaleD_ *= d;
  const int common = std::gcd(scaleM_, scaleD_);
  scaleM_ /= common;
  scaleD_ /= common;
  TWinControl::ChangeScale(m, d);
}

void TCustomForm::ScaleBounds(int m, int d) {
  SetClientWidth(MulDiv(ClientWidth(), m, d));
  SetClientHeight(MulDiv(ClientHeight(), m, d));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (!HandleAllocated() || !Visible()) return windowState_;
  HWND window = const_cast<TCustomForm*>(this)->Handle();
  if (IsIconic(window)) return wsMinimized;
  if (IsZoomed(window)) return wsMaximized;
  return wsNormal;
}

void TCustomForm::SetWindowState(TWindowState value) {
  windowState_ = value;
  if (!HandleAllocated() || !Visible()) return;
  ShowWindow(Handle(), value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control != nullptr &&
      (GetParentForm(control) != this || (!(ComponentState() & csLoading) && !control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (control == activeControl_) return;
  activeControl_ = control;
  if (control != nullptr && active_) ::SetFocus(control->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
  SetActiveControl(control);
  if (control != nullptr && HandleAllocated() && Visible()) ::SetFocus(control->Handle());
}

void TCustomForm::FocusChanged(TWinControl* control) {
  activeControl_ = control;
  if (control == focusedControl_) return;
  TWinControl* previous = focusedControl_;
  focusedControl_ = control;
  if (previous != nullptr) previous->DoExit();
  if (control != nullptr) control->DoEnter();
}

void TCustomForm::DefocusControl(TWinControl* control) {
  if (!IsAncestorOrSelf(control, activeControl_)) return;
  const bool hadFocus = activeControl_->Focused();
  activeControl_ = nullptr;
  // Keys typed into a hidden or disabled window would be lost: the form takes them.
  if (hadFocus && HandleAllocated()) ::SetFocus(Handle());
}

void TCustomForm::ControlRemoved(TControl* control) {
  if (IsAncestorOrSelf(control, activeControl_)) activeControl_ = nullptr;
  if (IsAncestorOrSelf(control, focusedControl_)) focusedControl_ = nullptr;
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_ != nullptr) {
    menu_->SetForm(nullptr);
    RemoveFreeNotification(menu_);
  }
  menu_ = menu;
  if (menu != nullptr) {
    menu->FreeNotification(this);
    menu->SetForm(this);
  }
  if (HandleAllocated()) {
    ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
    DrawMenuBar(Handle());
  }
}

void TCustomForm::MenuChanged() {
  if (!HandleAllocated() || menu_ == nullptr) return;
  ::SetMenu(Handle(), menu_->Handle());
  DrawMenuBar(Handle());
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == menu_) menu_ = nullptr;
}

void TCustomForm::SetVisible(bool value) {
  if (value == Visible()) return;
  if (value) {
    TControl::SetVisible(true);
    if (!IsDestroying()) {
      RunLifeHooks(feShow);
      if (OnShow) OnShow(this);
    }
    Handle();
    if (position_ == poScreenCenter && Screen != nullptr)
      SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    ShowWindow(Handle(), windowState_ == wsMinimized   ? SW_SHOWMINIMIZED
                         : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                                                       : SW_SHOWNORMAL);
  } else {
    windowState_ = WindowState();
    TControl::SetVisible(false);
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    if (OnHide && !IsDestroying()) OnHide(this);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (Application == nullptr) throw EInvalidOperation("A modal form needs the application object");
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  const HWND previous = GetActiveWindow();
  modalResult_ = mrNone;
  bool release = false;
  {
    ModalWindowLock lock(Handle());
    // Cleared however the loop ends.
    struct ModalState {
      explicit ModalState(bool& modal) : modal_(modal) { modal_ = true; }
      ~ModalState() { modal_ = false; }
      bool& modal_;
    } state(modal_);
    Show();
    for (;;) {
      Application->HandleMessage();
      if (Application->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ == mrNone) continue;
      // The form may still refuse to close, which keeps it running.
      TCloseAction action = caNone;
      if (CloseQuery()) {
        action = caHide;
        DoClose(action);
      }
      if (action == caNone) {
        modalResult_ = mrNone;
        continue;
      }
      release = action == caFree;
      break;
    }
  }
  const TModalResult result = modalResult_;
  Hide();
  if (previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  if (release) Release();
  return result;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (IsDestroying()) return canClose;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (canClose) RunLifeHooks(feCloseQuery);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose && !IsDestroying()) OnClose(this, action);
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessageA(Handle(), HLM_RELEASE, 0, 0); }

void TCustomForm::SendCancelMode(TControl* sender) {
  if (activeControl_ != nullptr) activeControl_->CancelMode(sender);
  if (sender != nullptr) return;
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  if (HandleAllocated()) SendMessageA(Handle(), WM_CANCELMODE, 0, 0);
}

bool TCustomForm::DialogKey(WORD key, TShiftState shift) {
  if ((key == VK_RETURN || key == VK_ESCAPE) &&
      OfferToControls(this, [key, shift](TControl* control) { return control->DialogKey(key, shift); }))
    return true;
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    TWinControl* from = focusedControl_ != nullptr ? focusedControl_ : activeControl_;
    // A control outside the tab order that holds the focus for the one around it (a grid's
    // cell editor) moves on from that one: going back from the editor itself would land on
    // its grid, which hands the focus straight back to the editor.
    TWinControl* holder = from;
    while (holder != nullptr && holder != this && !holder->TabStop()) holder = holder->Parent();
    if (holder != nullptr && holder != this) from = holder;
    SelectNext(from, !(shift & ssShift), true);
    return true;
  }
  return false;
}

bool TCustomForm::DialogChar(char key) {
  return OfferToControls(this, [key](TControl* control) { return control->DialogChar(key); });
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "HlForm";
  params.Style = WS_CLIPCHILDREN | (Enabled() ? 0 : WS_DISABLED);
  params.ExStyle = 0;
  params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
  params.ChildId = 0;
  switch (borderStyle_) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION; break;
    case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      params.Style |= WS_CAPTION;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_THICKFRAME;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone) {
    if (borderIcons_ & biSystemMenu) params.Style |= WS_SYSMENU;
    const bool boxes = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
    if (boxes && (borderIcons_ & biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (boxes && (borderIcons_ & biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    // The help button only shows where there are no minimise and maximise boxes.
    if ((borderIcons_ & biHelp) && !(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  AddBiDiStyles(params);
  if (position_ == poDefault || position_ == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
  if (position_ == poDefault || position_ == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (menu_ != nullptr) ::SetMenu(Handle(), menu_->Handle());
  ApplyIcon();
  // The system may have placed the window itself or held it to a minimum size.
  RECT r;
  GetWindowRect(Handle(), &r);
  if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height()) {
    UpdateBoundsFromWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    Realign();
  }
}

// The program's own icon (MAINICON) at the system's size for `big` or small icons; none
// when the program has none. Shared: the system keeps it for the program's lifetime.
static HICON ProgramIcon(bool big) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON,
                                       GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                       GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_SHARED));
}

void TCustomForm::ApplyIcon() {
  if (!HandleAllocated()) return;
  // A form without an icon of its own shows the program's in its caption, the taskbar and
  // Alt+Tab.
  HICON big = icon_->Empty() ? ProgramIcon(true) : icon_->Handle();
  HICON small = icon_->Empty() ? ProgramIcon(false) : icon_->Handle();
  SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void TCustomForm::PaintWindow(HDC dc) {
  CanvasOnDc paint(canvas_.get(), dc);
  if (OnPaint && !IsDestroying()) OnPaint(this);
}

void TCustomForm::Activate() {
  if (OnActivate && !IsDestroying()) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate && !IsDestroying()) OnDeactivate(this);
}

// The control to focus when the form becomes active: the active control, else the first
// one Tab reaches. Answers false when there is none.
void TCustomForm::FocusActiveControl() {
  if (activeControl_ != nullptr && activeControl_->CanFocus()) ::SetFocus(activeControl_->Handle());
  else SelectNext(nullptr, true, true);
}

void TCustomForm::HandleActivate(TMessage& msg) {
  if (LOWORD(msg.WParam) == WA_INACTIVE) {
    active_ = false;
    DefaultHandler(msg);
    Deactivate();
    return;
  }
  active_ = true;
  if (Screen != nullptr) Screen->SetActiveForm(this);
  DefaultHandler(msg);
  if (HIWORD(msg.WParam) == 0) FocusActiveControl();
  Activate();
}

void TCustomForm::ShowHelp(const HELPINFO& info) {
  if (info.iContextType != HELPINFO_WINDOW || Application == nullptr) return;
  TControl* control = FindControl(static_cast<HWND>(info.hItemHandle));
  if (control == nullptr) control = this;
  for (; control != nullptr; control = control->Parent()) {
    if (control->HelpContext() != 0) {
      Application->HelpContext(control->HelpContext());
      return;
    }
  }
}

void TCustomForm::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_CLOSE:
      Close();
      msg.Result = 0;
      return;
    case WM_QUERYENDSESSION:
      // Logging off or shutting down asks the form as a close would.
      msg.Result = CloseQuery() ? TRUE : FALSE;
      return;
    case WM_ACTIVATE:
      HandleActivate(msg);
      return;
    case WM_SETFOCUS:
      if (activeControl_ != nullptr && activeControl_ != this && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
      }
      break;
    case WM_SYSCOMMAND:
      // The main form's minimise button minimises the whole program.
      if ((msg.WParam & 0xFFF0) == SC_MINIMIZE && Application != nullptr && Application->MainForm() == this) {
        Application->Minimize();
        msg.Result = 0;
        return;
      }
      break;
    case WM_HELP:
      ShowHelp(*reinterpret_cast<HELPINFO*>(msg.LParam));
      msg.Result = TRUE;
      return;
    case WM_DESTROY:
      // The menu belongs to its menu object, not to the window.
      if (menu_ != nullptr) ::SetMenu(Handle(), nullptr);
      break;
    case HLM_RELEASE:
      delete this;
      return;
    default:
      break;
  }
  TWinControl::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TCustomButton

const ClassInfo* TCustomButton::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCustomButton>("TCustomButton", TWinControl::StaticClassInfo())
                                  .Bool("Cancel", &TCustomButton::Cancel, &TCustomButton::SetCancel)
                                  .Str("Caption", &TCustomButton::Caption, &TCustomButton::SetCaption)
                                  .Bool("Default", &TCustomButton::Default, &TCustomButton::SetDefault)
                                  .Int("ModalResult", &TCustomButton::ModalResult, &TCustomButton::SetModalResult)
                                  .Build();
  return &ci;
}

TCustomButton::TCustomButton(TComponent* owner) : TWinControl(owner) {
  // The BUTTON window reports its own clicks (BN_CLICKED) and keeps the mouse itself.
  SetControlStyle(csDoubleClicks);
  SetTabStop(true);
  UpdateBoundsFromWindow(0, 0, 75, 25);
}

void TCustomButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), BM_SETSTYLE, PushStyle(), TRUE);
  Invalidate();
}

UINT TCustomButton::PushStyle() const { return default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

void TCustomButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = "BUTTON";
  params.Style |= PushStyle();
  // A push button's caption stays centred in either direction (the system class would
  // move it to the right).
  params.ExStyle &= ~static_cast<DWORD>(WS_EX_RIGHT);
}

void TCustomButton::Click() {
  // The form's result is set first, so OnClick may still change it.
  if (modalResult_ != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TWinControl::Click();
}

// Enter clicks the focused button, or the default button when the focus is on something
// that is not a button; Escape clicks the cancel button.
bool TCustomButton::DialogKey(WORD key, TShiftState shift) {
  bool acts = false;
  if (key == VK_ESCAPE) {
    acts = cancel_;
  } else if (key == VK_RETURN) {
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form != nullptr ? form->ActiveControl() : nullptr;
    acts = dynamic_cast<TCustomButton*>(focused) != nullptr ? focused == this : default_;
  }
  if (!acts) return false;
  Click();
  return true;
}

bool TCustomButton::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !CanFocus()) return false;
  Click();
  return true;
}

void TCustomButton::WndProc(TMessage& msg) {
  if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(msg);
}
