#include "platform/wcl/win/control.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/messages.h"

namespace {

// The non-windowed control that holds the mouse (its parent window has the capture), and
// the control the mouse is over; both are cleared when the control goes.
TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;

TWinControl* AsWindowed(TControl* control) { return dynamic_cast<TWinControl*>(control); }

// ---------------------------------------------------------------------------------------
// Window classes and the window procedure

// The object behind each of the process's library windows, by handle. Every message needs
// this lookup; kept in the process rather than as a window property, which some systems
// answer only through a call to another process, and which would also answer for a window
// of another program.
std::mutex g_targetsLock;
std::unordered_map<HWND, TWindowTarget*> g_targets;

TWindowTarget* TargetOf(HWND window) {
  std::lock_guard<std::mutex> lock(g_targetsLock);
  const auto found = g_targets.find(window);
  return found != g_targets.end() ? found->second : nullptr;
}

void SetTargetOf(HWND window, TWindowTarget* target) {
  std::lock_guard<std::mutex> lock(g_targetsLock);
  if (target != nullptr)
    g_targets[window] = target;
  else
    g_targets.erase(window);
}

struct ClassEntry {
  std::string sysClass;
  WNDPROC defaultProc;
  WNDPROC wideProc;  // the system class's procedure for UTF-16 messages
};

// Our registered classes by name, with the procedure that handles what the objects leave.
std::map<std::string, ClassEntry>& Classes() {
  static std::map<std::string, ClassEntry> classes;
  return classes;
}

// The entry of a window of one of our classes, or nullptr.
const ClassEntry* ClassOf(HWND window) {
  char name[256];
  if (GetClassNameA(window, name, sizeof name) <= 0) return nullptr;
  auto it = Classes().find(name);
  return it != Classes().end() ? &it->second : nullptr;
}

WNDPROC ClassDefaultProc(HWND window) {
  const ClassEntry* entry = ClassOf(window);
  return entry != nullptr ? entry->defaultProc : DefWindowProcA;
}

WNDPROC ClassWideProc(HWND window) {
  const ClassEntry* entry = ClassOf(window);
  return entry != nullptr ? entry->wideProc : DefWindowProcW;
}

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

LRESULT CALLBACK LibraryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindowTarget* target = TargetOf(window);
  if (target == nullptr && message == WM_NCCREATE) {
    target = static_cast<TWindowTarget*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (target != nullptr) {
      SetTargetOf(window, target);
      target->WindowAttached(window);
    }
  }
  if (target == nullptr) return CallWindowProcA(ClassDefaultProc(window), window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message: the object lets go of the window before the class cleans up.
    SetTargetOf(window, nullptr);
    target->WindowDetached();
    return CallWindowProcA(ClassDefaultProc(window), window, message, wParam, lParam);
  }
  // The handler may delete the object, so the sender is taken first and the object is not
  // touched after the dispatch.
  TObject* sender = target->ExceptionSender();
  TMessage msg{message, wParam, lParam, 0};
  try {
    target->DispatchWindowMessage(msg);
  } catch (...) {
    ReportException(sender);
  }
  return msg.Result;
}

WNDPROC RegisterTargetClass(const TCreateParams& params) {
  auto& classes = Classes();
  auto found = classes.find(params.WinClassName);
  if (found != classes.end()) {
    if (found->second.sysClass != params.SysClassName)
      throw EInvalidOperation("Window class " + params.WinClassName + " is already built on " +
                              (found->second.sysClass.empty() ? "no system class" : found->second.sysClass));
    return found->second.defaultProc;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  WNDPROC defaultProc = DefWindowProcA;
  WNDPROC wideProc = DefWindowProcW;
  if (!params.SysClassName.empty()) {
    EnsureCommonControls();
    if (!GetClassInfoExA(nullptr, params.SysClassName.c_str(), &wc))
      throw EOSError("Window class " + params.SysClassName + " is not available");
    defaultProc = wc.lpfnWndProc;
    WNDCLASSEXW wide{};
    wide.cbSize = sizeof wide;
    const std::wstring sysName(params.SysClassName.begin(), params.SysClassName.end());
    if (GetClassInfoExW(nullptr, sysName.c_str(), &wide)) wideProc = wide.lpfnWndProc;
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  } else {
    wc.style = params.WindowClassStyle;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  }
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = LibraryWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = params.WinClassName.c_str();
  wc.hIconSm = nullptr;
  if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw EOSError("Cannot register window class " + params.WinClassName);
  classes[params.WinClassName] = ClassEntry{params.SysClassName, defaultProc, wideProc};
  return defaultProc;
}

// Ends a paint cycle however the painting ends.
class PaintCycle {
public:
  explicit PaintCycle(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~PaintCycle() { EndPaint(window_, &ps_); }
  PaintCycle(const PaintCycle&) = delete;
  PaintCycle& operator=(const PaintCycle&) = delete;
  HDC dc() const { return dc_; }

private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

bool IsMouseMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool IsButtonDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
         message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK;
}

// The character a dialog key leaves behind in the queue once translated.
char DialogKeyChar(WORD key) {
  switch (key) {
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return '\x1b';
    case VK_TAB: return '\t';
    default: return 0;
  }
}

bool IsTopLevel(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0; }

// What WM_GETDLGCODE answers when a control wants the key for itself.
LRESULT WantedCodes(WORD key) {
  switch (key) {
    case VK_TAB: return DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
    case VK_RETURN:
    case VK_ESCAPE: return DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
    default: return 0;
  }
}

// Once a dialog key acted, its character must not reach the control (an edit would beep).
void DropPendingChar(HWND window, char ch) {
  MSG pending;
  while (PeekMessageA(&pending, window, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
         static_cast<char>(pending.wParam) == ch)
    PeekMessageA(&pending, window, WM_CHAR, WM_CHAR, PM_REMOVE);
}

const EnumInfo AlignEnum{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const EnumInfo BiDiModeEnum{"TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                          "bdRightToLeftReadingOnly"}};

}  // namespace

// ---------------------------------------------------------------------------------------
// Free functions

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TShiftState MouseShiftState(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

HWND CreateTargetWindow(TWindowTarget* target, const TCreateParams& params, WNDPROC* defaultProc) {
  WNDPROC proc = RegisterTargetClass(params);
  if (defaultProc != nullptr) *defaultProc = proc;
  HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.ChildId)) : nullptr;
  // The window is made without its text, which goes in afterwards: a window name passed to
  // CreateWindowEx may be cut to 16 bits of length (a long text then makes no window, or a
  // window with a piece of its text), while a text set on the window is kept whole.
  HWND window = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), "", params.Style, params.X, params.Y,
                                params.Width, params.Height, params.WndParent, id, GetModuleHandleA(nullptr), target);
  if (window == nullptr)
    throw EOSError("Cannot create a window of class " + params.WinClassName + " (error " +
                   std::to_string(GetLastError()) + ")");
  if (!params.Caption.empty()) SendShownText(window, WM_SETTEXT, 0, params.Caption);
  return window;
}

LRESULT SendShownText(HWND window, UINT message, WPARAM wParam, const std::string& text) {
  if (!HasOwnCodePage(text)) return SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
  const std::wstring shown = ShownText(text);
  return CallWindowProcW(ClassWideProc(window), window, message, wParam, reinterpret_cast<LPARAM>(shown.c_str()));
}

std::wstring HeldWindowText(HWND window) {
  const WNDPROC proc = ClassWideProc(window);
  const LRESULT length = CallWindowProcW(proc, window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
  const LRESULT got =
      CallWindowProcW(proc, window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(text.size()) - 1)));
  return text;
}

TWindowTarget* FindWindowTarget(HWND window) {
  if (window == nullptr) return nullptr;
  return TargetOf(window);
}

TWinControl* FindControl(HWND window) {
  TWindowTarget* target = FindWindowTarget(window);
  return target != nullptr ? target->BoundControl() : nullptr;
}

TCustomForm* GetParentForm(const TControl* control) {
  if (control == nullptr) return nullptr;
  while (control->Parent() != nullptr) control = control->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(control));
}

std::string GetShortHint(const std::string& hint) {
  auto bar = AnsiFind(hint, '|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  auto bar = AnsiFind(hint, '|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------------------
// TUtilityWindow

namespace {
TCreateParams UtilityParams() {
  TCreateParams params;
  params.WinClassName = "HlUtilityWindow";
  params.Style = WS_POPUP;
  params.ExStyle = WS_EX_TOOLWINDOW;
  return params;
}
}  // namespace

TUtilityWindow::TUtilityWindow(THandler handler, TObject* sender)
    : TUtilityWindow(std::move(handler), UtilityParams(), sender) {}

TUtilityWindow::TUtilityWindow(THandler handler, const TCreateParams& params, TObject* sender)
    : handler_(std::move(handler)), sender_(sender) {
  CreateTargetWindow(this, params, &defaultProc_);
}

TUtilityWindow::~TUtilityWindow() {
  if (handle_ != nullptr) DestroyWindow(handle_);
}

void TUtilityWindow::DispatchWindowMessage(TMessage& msg) {
  if (handler_ && handler_(msg)) return;
  msg.Result = CallWindowProcA(defaultProc_, handle_, msg.Msg, msg.WParam, msg.LParam);
}

// ---------------------------------------------------------------------------------------
// TControl

const ClassInfo* TControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TControl>("TControl", TComponent::StaticClassInfo())
          .Enum("Align", &TControl::Align, &TControl::SetAlign, &AlignEnum)
          .Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, &BiDiModeEnum)
          .Int("Color", &TControl::Color, &TControl::SetColor)
          .Int("Cursor", &TControl::Cursor, &TControl::SetCursor)
          .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
          .Obj("Font", &TControl::Font, TFont::StaticClassInfo())
          .Int("Height", &TControl::Height, &TControl::SetHeight)
          .Int("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext)
          .Str("Hint", &TControl::Hint, &TControl::SetHint)
          .Int("Left", &TControl::Left, &TControl::SetLeft)
          .Bool("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode)
          .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
          .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
          .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
          .Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu, TPopupMenu::StaticClassInfo())
          .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
          .Int("Top", &TControl::Top, &TControl::SetTop)
          .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
          .Int("Width", &TControl::Width, &TControl::SetWidth)
          .Build();
  return &ci;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { OwnFontChanged(); };
}

TControl::~TControl() {
  Destroying();
  if (g_captureControl == this) g_captureControl = nullptr;
  if (g_mouseControl == this) g_mouseControl = nullptr;
  if (Application != nullptr) Application->ControlDestroyed(this);
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p != nullptr; p = p->parent_)
    if (p == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const RECT old = BoundsRect();
  const bool sized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  InvalidateGraphic(old);
  InvalidateGraphic(BoundsRect());
  if (parent_ != nullptr && align_ != alNone) parent_->Realign();
  if (sized) Resize();
}

void TControl::ScaleBy(int m, int d) {
  if (m <= 0 || d <= 0 || m == d) return;
  ChangeScale(m, d);
}

void TControl::ChangeScale(int m, int d) {
  ScaleOwnFont(m, d);
  ScaleBounds(m, d);
}

// Edges are scaled rather than sizes, so that controls that meet at 96 pixels per inch
// still meet.
void TControl::ScaleBounds(int m, int d) {
  const int left = MulDiv(left_, m, d);
  const int top = MulDiv(top_, m, d);
  SetBounds(left, top, MulDiv(left_ + width_, m, d) - left, MulDiv(top_ + height_, m, d) - top);
}

void TControl::ScaleOwnFont(int m, int d) {
  if (parentFont_) return;
  TScopedState setting(settingFont_);
  font_->SetHeight(MulDiv(font_->Height(), m, d));
}

RECT TControl::BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }

void TControl::SetBoundsRect(const RECT& rect) {
  SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

RECT TControl::ClientRect() const { return RECT{0, 0, width_, height_}; }

int TControl::ClientWidth() const {
  RECT r = ClientRect();
  return r.right - r.left;
}

int TControl::ClientHeight() const {
  RECT r = ClientRect();
  return r.bottom - r.top;
}

void TControl::SetClientWidth(int value) { SetWidth(width_ + value - ClientWidth()); }

void TControl::SetClientHeight(int value) { SetHeight(height_ + value - ClientHeight()); }

bool TControl::MirroredClient() const {
  const auto* windowed = dynamic_cast<const TWinControl*>(this);
  if (windowed == nullptr) return parent_ != nullptr && parent_->MirroredClient();
  return windowed->handle_ != nullptr &&
         (GetWindowLongPtrA(windowed->handle_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

// In a mirrored window the client origin is the top-right corner and x runs leftwards.
POINT TControl::ClientOrigin() const {
  if (parent_ == nullptr) return POINT{left_, top_};
  POINT origin = parent_->ClientOrigin();
  return POINT{parent_->MirroredClient() ? origin.x - left_ : origin.x + left_, origin.y + top_};
}

POINT TControl::ClientToScreen(POINT point) const {
  POINT origin = ClientOrigin();
  return POINT{MirroredClient() ? origin.x - point.x : origin.x + point.x, point.y + origin.y};
}

POINT TControl::ScreenToClient(POINT point) const {
  POINT origin = ClientOrigin();
  return POINT{MirroredClient() ? origin.x - point.x : point.x - origin.x, point.y - origin.y};
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  InvalidateGraphic(BoundsRect());
  VisibleChanged();
  if (parent_ != nullptr && align_ != alNone) parent_->Realign();
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  EnabledChanged();
}

void TControl::SetText(const std::string& value) {
  if (GetText() == value) return;
  text_ = value;
  if (TWinControl* self = AsWindowed(this); self != nullptr && self->HandleAllocated()) {
    if (IsTopLevel(self->Handle())) ShowCaption(self->Handle(), value);
    else SendShownText(self->Handle(), WM_SETTEXT, 0, value);
  }
  TextChanged();
}

TColor TControl::Color() const {
  if (parentColor_ && parent_ != nullptr) return parent_->Color();
  return color_;
}

void TControl::SetColor(TColor value) {
  if (value == color_ && !parentColor_) return;
  color_ = value;
  parentColor_ = false;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value) ApplyParentColor();
}

void TControl::ApplyParentColor() {
  if (parentColor_ && parent_ != nullptr) ColorChanged();
}

void TControl::SetBiDiMode(TBiDiMode value) {
  parentBiDiMode_ = false;
  if (value == biDiMode_) return;
  TakeBiDiMode(value);
  ShowBiDiMode();
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (value && parent_ != nullptr && parent_->biDiMode_ != biDiMode_) {
    TakeBiDiMode(parent_->biDiMode_);
    ShowBiDiMode();
  }
}

void TControl::TakeBiDiMode(TBiDiMode value) {
  biDiMode_ = value;
  // The followers change first; the window made again below carries theirs with it.
  if (auto* windowed = AsWindowed(this))
    for (TControl* child : std::vector<TControl*>(windowed->controls_))
      if (child->parentBiDiMode_ && child->biDiMode_ != value) child->TakeBiDiMode(value);
  BiDiModeChanged();
}

void TControl::ShowBiDiMode() {
  if (auto* windowed = AsWindowed(this))
    windowed->RecreateWnd();
  else
    Invalidate();
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value) ApplyParentFont();
}

void TControl::ApplyParentFont() {
  if (!parentFont_ || parent_ == nullptr) return;
  TScopedState setting(settingFont_);
  font_->Assign(parent_->Font());
}

void TControl::OwnFontChanged() {
  // A font set from code is the control's own from now on.
  if (!settingFont_) parentFont_ = false;
  FontChanged();
}

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_ != nullptr) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  if (popupMenu_ != nullptr) RemoveFreeNotification(popupMenu_);
  popupMenu_ = menu;
  if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Click() {
  if (OnClick && !IsDestroying()) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick && !IsDestroying()) OnDblClick(this);
}

void TControl::InvalidateGraphic(const RECT& rect) const {
  if (parent_ == nullptr || !parent_->HandleAllocated() || AsWindowed(const_cast<TControl*>(this)) != nullptr)
    return;
  InvalidateRect(parent_->handle_, &rect, (controlStyle_ & csOpaque) ? FALSE : TRUE);
}

void TControl::Invalidate() { InvalidateGraphic(BoundsRect()); }

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (parent_ != nullptr) parent_->Update();
}

void TControl::BringToFront() {
  if (parent_ != nullptr) {
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
  }
  if (TWinControl* self = AsWindowed(this); self != nullptr && self->HandleAllocated())
    SetWindowPos(self->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    Invalidate();
}

void TControl::SendToBack() {
  if (parent_ != nullptr) {
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
  }
  if (TWinControl* self = AsWindowed(this); self != nullptr && self->HandleAllocated())
    SetWindowPos(self->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    Invalidate();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& msg) {
  if (IsMouseMessage(msg.Msg)) {
    HandleMouseMessage(msg);
    return;
  }
  DefaultHandler(msg);
}

void TControl::DefaultHandler(TMessage& msg) { msg.Result = 0; }

void TControl::UpdateBoundsFromWindow(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}
void TControl::TextChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }

void TControl::Resize() {
  if (OnResize && !IsDestroying()) OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown && !IsDestroying()) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove && !IsDestroying()) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp && !IsDestroying()) OnMouseUp(this, button, shift, x, y);
}

void TControl::SetMouseCapture(bool value) {
  if (TWinControl* self = AsWindowed(this)) {
    if (value) SetCapture(self->Handle());
    else if (self->HandleAllocated() && GetCapture() == self->handle_) ReleaseCapture();
    return;
  }
  if (value) {
    if (parent_ == nullptr) return;
    g_captureControl = this;
    SetCapture(parent_->Handle());
  } else if (g_captureControl == this) {
    g_captureControl = nullptr;
    ReleaseCapture();
  }
}

bool TControl::MouseCapture() const {
  if (TWinControl* self = AsWindowed(const_cast<TControl*>(this)))
    return self->HandleAllocated() && GetCapture() == self->handle_;
  return g_captureControl == this;
}

// Mouse messages in the control's own client coordinates: the press/release pairs become
// Click and DblClick, all of them the mouse events.
void TControl::HandleMouseMessage(TMessage& msg) {
  const int x = GET_X_LPARAM(msg.LParam);
  const int y = GET_Y_LPARAM(msg.LParam);
  TShiftState shift = MouseShiftState(msg.WParam);
  switch (msg.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const bool dbl = msg.Msg == WM_LBUTTONDBLCLK && (controlStyle_ & csDoubleClicks);
      if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(this);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      controlState_ |= csLButtonDown;
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      if (dbl) {
        DblClick();
        shift |= ssDouble;
      }
      MouseDown(mbLeft, shift, x, y);
      break;
    }
    case WM_LBUTTONUP: {
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
      const bool clicked = (controlState_ & csClicked) != 0;
      controlState_ &= ~static_cast<TControlState>(csClicked | csLButtonDown);
      const RECT client = ClientRect();
      const POINT point{x, y};
      if (clicked && PtInRect(&client, point)) Click();
      MouseUp(mbLeft, shift, x, y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift | (msg.Msg == WM_RBUTTONDBLCLK ? TShiftState{ssDouble} : 0u), x, y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift | (msg.Msg == WM_MBUTTONDBLCLK ? TShiftState{ssDouble} : 0u), x, y);
      break;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------
// TWinControl

const ClassInfo* TWinControl::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TWinControl>("TWinControl", TControl::StaticClassInfo())
                                  .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                  .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                  .Build();
  return &ci;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyHandle();
  // The children go with their parent, whoever owns them.
  while (!controls_.empty()) delete controls_.back();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError("Control index out of bounds (" + std::to_string(index) + ")");
  return controls_[static_cast<size_t>(index)];
}

std::vector<TWinControl*> TWinControl::WindowedChildren() const { return tabList_; }

int TWinControl::NextControlId() const {
  int id = 0;
  for (TWinControl* w : tabList_) id = std::max(id, w->controlId_);
  return id + 1;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (TWinControl* windowed = AsWindowed(control)) {
    windowed->controlId_ = NextControlId();
    tabList_.push_back(windowed);
  }
  control->ApplyParentFont();
  control->ApplyParentColor();
  // A windowed child has no window here (leaving its old parent destroyed it): the one made
  // for it takes the new direction.
  if (control->parentBiDiMode_ && control->biDiMode_ != biDiMode_) control->TakeBiDiMode(biDiMode_);
  if (handle_ != nullptr) {
    if (TWinControl* windowed = AsWindowed(control)) windowed->CreateHandle();
    else control->Invalidate();
  }
  if (control->align_ != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (TCustomForm* form = GetParentForm(this)) form->ControlRemoved(control);
  // The control may be half destroyed: only its TControl part is used here.
  if (TWinControl* windowed = AsWindowed(control); windowed != nullptr && windowed->HandleAllocated())
    windowed->DestroyHandle();
  control->InvalidateGraphic(control->BoundsRect());
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  tabList_.erase(std::remove_if(tabList_.begin(), tabList_.end(),
                                [control](TWinControl* w) { return static_cast<TControl*>(w) == control; }),
                 tabList_.end());
  control->parent_ = nullptr;
  if (g_captureControl == control) g_captureControl = nullptr;
  if (control->align_ != alNone) Realign();
}

HWND TWinControl::Handle() {
  if (handle_ == nullptr) CreateHandle();
  return handle_;
}

void TWinControl::CreateHandle() {
  if (handle_ != nullptr) return;
  // A child's window needs its parent's; making the parent's makes the children's too.
  if (parent_ != nullptr) {
    parent_->Handle();
    if (handle_ != nullptr) return;
  }
  if (creatingHandle_) return;
  {
    TScopedState creating(creatingHandle_);
    CreateWnd();
  }
  CreateChildHandles();
}

void TWinControl::CreateChildHandles() {
  for (TWinControl* child : WindowedChildren())
    if (child->handle_ == nullptr) child->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = text_;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (visible_) params.Style |= WS_VISIBLE;
  if (!enabled_) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = parent_ != nullptr ? parent_->handle_ : nullptr;
  params.ChildId = controlId_;
  AddBiDiStyles(params);
}

void TWinControl::AddBiDiStyles(TCreateParams& params) const {
  if (biDiMode_ == bdRightToLeft && MirrorsChildren()) {
    // The children are placed from the right; their own windows are not mirrored, so that
    // each keeps its own direction.
    params.ExStyle |= WS_EX_LAYOUTRTL | WS_EX_NOINHERITLAYOUT | WS_EX_RTLREADING;
    return;
  }
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftAlignment()) params.ExStyle |= WS_EX_RIGHT;
  if (UseRightToLeftScrollBar()) params.ExStyle |= WS_EX_LEFTSCROLLBAR;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (params.WinClassName.empty())
    params.WinClassName = params.SysClassName.empty() ? "HlWindow" : "Hl" + params.SysClassName;
  if ((params.Style & WS_CHILD) && params.WndParent == nullptr)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  CreateTargetWindow(this, params, &defaultProc_);
  if (!(params.Style & WS_CHILD) && HasOwnCodePage(params.Caption)) ShowCaption(handle_, params.Caption);
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  for (TWinControl* child : WindowedChildren()) child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  if (handle_ != nullptr) DestroyWindow(handle_);
  // A window that would not go (another thread's) is forgotten all the same.
  handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
  if (handle_ == nullptr) return;
  const bool hadFocus = Focused();
  // A shown top-level window (a form) is shown by a call of its own, not by its style.
  const bool shownTopLevel = IsTopLevel(handle_) && IsWindowVisible(handle_);
  DestroyHandle();
  CreateHandle();
  if (shownTopLevel && !IsWindowVisible(handle_)) ShowWindow(handle_, SW_SHOWNA);
  if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

void TWinControl::SaveWindowState() {
  if (handle_ != nullptr) StoreText(GetText());
}

void TWinControl::WindowAttached(HWND window) noexcept { handle_ = window; }

void TWinControl::WindowDetached() noexcept {
  handle_ = nullptr;
  if (g_captureControl != nullptr && g_captureControl->parent_ == this) g_captureControl = nullptr;
}

std::string TWinControl::GetText() const {
  const std::string& given = TControl::GetText();
  if (handle_ == nullptr) return given;
  // A text with a code page of its own is in the window in UTF-16 (through the ANSI calls it
  // would come in the system's code page): while the window holds it, it is the text given;
  // what the user typed over it is taken in the ANSI code page.
  if (HasOwnCodePage(given)) {
    const std::wstring held = HeldWindowText(handle_);
    return held == ShownText(given) ? given : WideToCodePage(held, CP_ACP);
  }
  const int length = GetWindowTextLengthA(handle_);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  const int got = GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

int TWinControl::TabOrder() const {
  if (parent_ == nullptr) return -1;
  const auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (parent_ == nullptr) return;
  auto& list = parent_->tabList_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  value = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + value, this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_ == nullptr) return;
  LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
  style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrA(handle_, GWL_STYLE, style);
}

bool TWinControl::Showing() const {
  for (const TWinControl* c = this; c != nullptr; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

// A control can take the focus when it and its parents up to the form are visible and
// enabled; the form itself may still be hidden (the focus then waits for its showing).
bool TWinControl::CanFocus() const {
  const TCustomForm* form = GetParentForm(this);
  for (const TWinControl* c = this; c != nullptr && c != form; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return form != nullptr || (visible_ && enabled_);
}

bool TWinControl::Focused() const { return handle_ != nullptr && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this) {
    form->FocusControl(this);
    return;
  }
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& list) const {
  for (TWinControl* child : tabList_) {
    list.push_back(child);
    child->CollectTabOrder(list);
  }
}

bool TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  std::vector<TWinControl*> list;
  CollectTabOrder(list);
  const int count = static_cast<int>(list.size());
  if (count == 0) return false;
  int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
  if (start == count) start = forward ? -1 : count;
  for (int step = 1; step <= count; ++step) {
    const int i = ((forward ? start + step : start - step) % count + count) % count;
    TWinControl* candidate = list[static_cast<size_t>(i)];
    if (candidate == current) break;
    if ((!checkTabStop || candidate->tabStop_) && candidate->CanFocus()) {
      candidate->SetFocus();
      return true;
    }
  }
  return false;
}

void TWinControl::Realign() {
  if (aligning_ > 0 || IsDestroying()) return;
  if (std::none_of(controls_.begin(), controls_.end(), [](TControl* c) { return c->align_ != alNone; }))
    return;
  TScopedState aligning(aligning_);
  RECT rect = ClientRect();
  AdjustClientRect(rect);
  AlignControls(rect);
}

// Top and bottom controls take full-width strips from the outside in, then left and right
// ones take full-height strips of what is left, and client controls fill the rest. Controls
// of one kind keep their order on the screen (the list order breaks ties).
void TWinControl::AlignControls(RECT& rect) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> group;
    for (TControl* c : controls_)
      if (c->align_ == align && c->visible_) group.push_back(c);
    std::stable_sort(group.begin(), group.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case alTop: return a->top_ < b->top_;
        case alBottom: return a->top_ + a->height_ > b->top_ + b->height_;
        case alLeft: return a->left_ < b->left_;
        case alRight: return a->left_ + a->width_ > b->left_ + b->width_;
        default: return false;
      }
    });
    for (TControl* c : group) {
      const int width = std::max(0, static_cast<int>(rect.right - rect.left));
      const int height = std::max(0, static_cast<int>(rect.bottom - rect.top));
      switch (align) {
        case alTop:
          c->SetBounds(rect.left, rect.top, width, c->height_);
          rect.top += c->height_;
          break;
        case alBottom:
          c->SetBounds(rect.left, rect.bottom - c->height_, width, c->height_);
          rect.bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(rect.left, rect.top, c->width_, height);
          rect.left += c->width_;
          break;
        case alRight:
          c->SetBounds(rect.right - c->width_, rect.top, c->width_, height);
          rect.right -= c->width_;
          break;
        default:
          c->SetBounds(rect.left, rect.top, width, height);
          break;
      }
    }
  }
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (AsWindowed(c) != nullptr || !c->visible_ || !(c->enabled_ || allowDisabled)) continue;
    const RECT bounds = c->BoundsRect();
    if (PtInRect(&bounds, point)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& msg) {
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children) {
    child->WndProc(msg);
    if (msg.Result != 0) return;
  }
}

TBrush* TWinControl::Brush() {
  if (!brush_) {
    brush_ = std::make_unique<TBrush>();
    brush_->SetColor(Color());
  }
  return brush_.get();
}

POINT TWinControl::ClientOrigin() const {
  if (handle_ != nullptr) {
    POINT origin{0, 0};
    ::ClientToScreen(handle_, &origin);
    return origin;
  }
  // Without a window the frame's size comes from the creation parameters.
  TCreateParams params;
  const_cast<TWinControl*>(this)->CreateParams(params);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
  POINT origin = parent_ != nullptr && (params.Style & WS_CHILD) ? parent_->ClientOrigin() : POINT{0, 0};
  return POINT{origin.x + left_ - frame.left, origin.y + top_ - frame.top};
}

RECT TWinControl::ClientRect() const {
  RECT rect{0, 0, 0, 0};
  if (handle_ != nullptr && !IsIconic(handle_)) {
    GetClientRect(handle_, &rect);
    return rect;
  }
  TCreateParams params;
  const_cast<TWinControl*>(this)->CreateParams(params);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, HasMenuBar(), params.ExStyle);
  rect.right = std::max(0, Width() - static_cast<int>(frame.right - frame.left));
  rect.bottom = std::max(0, Height() - static_cast<int>(frame.bottom - frame.top));
  return rect;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool sized = width != width_ || height != height_;
  UpdateBoundsFromWindow(left, top, width, height);
  if (handle_ != nullptr)
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (parent_ != nullptr && Align() != alNone) parent_->Realign();
  if (sized) {
    Realign();
    Resize();
  }
}

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  if (!value)
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this) form->DefocusControl(this);
  TControl::SetVisible(value);
  if (handle_ != nullptr)
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (value ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::SetEnabled(bool value) {
  if (value == Enabled()) return;
  if (!value)
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this) form->DefocusControl(this);
  TControl::SetEnabled(value);
  if (handle_ != nullptr) EnableWindow(handle_, value ? TRUE : FALSE);
}

void TWinControl::Invalidate() {
  if (handle_ != nullptr) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::FontChanged() {
  if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  TControl::FontChanged();
  for (TControl* child : std::vector<TControl*>(controls_)) child->ApplyParentFont();
}

void TWinControl::ColorChanged() {
  if (brush_) brush_->SetColor(Color());
  TControl::ColorChanged();
  for (TControl* child : std::vector<TControl*>(controls_)) child->ApplyParentColor();
}

void TWinControl::TextChanged() {}

void TWinControl::Resize() { TControl::Resize(); }

// The font first (children that follow it measure with the new one), then the children,
// with the alignment held, then the control's bounds; the aligned children are placed again
// in the scaled client area at the end.
void TWinControl::ChangeScale(int m, int d) {
  {
    TScopedState aligning(aligning_);
    ScaleOwnFont(m, d);
    for (TControl* child : std::vector<TControl*>(controls_)) child->ChangeScale(m, d);
    ScaleBounds(m, d);
  }
  Realign();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown && !IsDestroying()) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp && !IsDestroying()) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress && !IsDestroying()) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
  if (OnEnter && !IsDestroying()) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit && !IsDestroying()) OnExit(this);
}

void TWinControl::DefaultHandler(TMessage& msg) {
  if (msg.Msg >= CN_BASE && msg.Msg < CN_BASE + 0x400) {
    // A notification the child did not handle: colours follow the control's own.
    switch (msg.Msg) {
      case CN_CTLCOLORMSGBOX:
      case CN_CTLCOLOREDIT:
      case CN_CTLCOLORLISTBOX:
      case CN_CTLCOLORBTN:
      case CN_CTLCOLORDLG:
      case CN_CTLCOLORSCROLLBAR:
      case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(msg.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
        msg.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
      }
      default:
        msg.Result = 0;
        return;
    }
  }
  if (handle_ == nullptr) {
    msg.Result = 0;
    return;
  }
  msg.Result = CallWindowProcA(defaultProc_, handle_, msg.Msg, msg.WParam, msg.LParam);
}

void TWinControl::WndProc(TMessage& msg) {
  if (IsMouseMessage(msg.Msg)) {
    if (RouteMouseToChild(msg)) return;
    if (msg.Msg == WM_MOUSEMOVE) TrackMouseControl(this);
    if (IsButtonDown(msg.Msg) && Application != nullptr) Application->CancelHint();
    const HWND window = handle_;
    DefaultHandler(msg);
    // The window class may have ended the window (a click that closed the form).
    if (window != nullptr && handle_ == window) HandleMouseMessage(msg);
    return;
  }
  switch (msg.Msg) {
    case WM_MOUSELEAVE:
      if (g_mouseControl != nullptr && (g_mouseControl == this || g_mouseControl->parent_ == this)) {
        TControl* left = g_mouseControl;
        g_mouseControl = nullptr;
        left->MouseLeave();
        if (Application != nullptr) Application->HintControlChanged(nullptr);
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (HandleKeyDown(msg)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(msg.WParam);
      TShiftState shift = KeyboardShiftState();
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && form != this && form->KeyPreview()) {
        static_cast<TWinControl*>(form)->KeyUp(key, shift);
        if (key == 0) return;
      }
      KeyUp(key, shift);
      if (key == 0) return;
      msg.WParam = key;
      break;
    }
    case WM_CHAR:
      if (HandleChar(msg)) return;
      break;
    case WM_SYSCHAR:
      // Alt and a caption's accelerator.
      if (TCustomForm* form = GetParentForm(this); form != nullptr && form->DialogChar(static_cast<char>(msg.WParam))) {
        msg.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
      DefaultHandler(msg);
      if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this) form->FocusChanged(this);
      return;
    case WM_PAINT:
      if (!PaintsItself() && std::none_of(controls_.begin(), controls_.end(),
                                          [](TControl* c) { return AsWindowed(c) == nullptr; }))
        break;
      if (msg.WParam != 0) {
        PaintHandler(reinterpret_cast<HDC>(msg.WParam));
      } else {
        PaintCycle paint(handle_);
        PaintHandler(paint.dc());
      }
      return;
    case WM_ERASEBKGND:
      if (!PaintsItself()) break;
      {
        RECT client;
        GetClientRect(handle_, &client);
        FillRect(reinterpret_cast<HDC>(msg.WParam), &client, Brush()->Handle());
        msg.Result = 1;
      }
      return;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(msg);
      HandleWindowPosChanged();
      return;
    case WM_DESTROY:
      SaveWindowState();
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (HandleReflected(msg)) return;
      break;
    case WM_CONTEXTMENU:
      HandleContextMenu(msg);
      return;
    case WM_SETCURSOR:
      if (HandleSetCursor(msg)) return;
      break;
    case WM_CAPTURECHANGED:
      if (g_captureControl != nullptr && g_captureControl->parent_ == this) g_captureControl = nullptr;
      break;
    default:
      break;
  }
  DefaultHandler(msg);
}

// Hands a mouse message over the parent's window to the non-windowed child that holds the
// mouse or lies under it, in the child's coordinates.
bool TWinControl::RouteMouseToChild(TMessage& msg) {
  POINT point{GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam)};
  TControl* target = nullptr;
  if (g_captureControl != nullptr && g_captureControl->parent_ == this && GetCapture() == handle_)
    target = g_captureControl;
  else
    target = ControlAtPos(point);
  if (target == nullptr) return false;
  if (msg.Msg == WM_MOUSEMOVE) TrackMouseControl(target);
  if (IsButtonDown(msg.Msg) && Application != nullptr) Application->CancelHint();
  TMessage routed{msg.Msg, msg.WParam, MAKELPARAM(point.x - target->left_, point.y - target->top_), 0};
  target->WndProc(routed);
  msg.Result = routed.Result;
  return true;
}

// Keeps note of the control under the mouse: MouseEnter and MouseLeave, the hint, and a
// request for WM_MOUSELEAVE when the mouse leaves this window.
void TWinControl::TrackMouseControl(TControl* control) {
  if (g_mouseControl != control) {
    TControl* left = g_mouseControl;
    g_mouseControl = control;
    if (left != nullptr) left->MouseLeave();
    control->MouseEnter();
    if (Application != nullptr) Application->HintControlChanged(control);
  }
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
  TrackMouseEvent(&track);
}

void TWinControl::PaintHandler(HDC dc) {
  if (PaintsItself()) {
    PaintWindow(dc);
  } else {
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
  }
  PaintControls(dc);
}

// Paints the visible non-windowed children in z-order, each clipped to its rectangle with
// the origin at its top-left corner.
void TWinControl::PaintControls(HDC dc) {
  for (TControl* child : std::vector<TControl*>(controls_)) {
    if (AsWindowed(child) != nullptr || !child->visible_) continue;
    const RECT bounds = child->BoundsRect();
    if (!RectVisible(dc, &bounds)) continue;
    const int saved = SaveDC(dc);
    // On a mirrored window the control is placed from the right, but pictures copied onto it
    // (a button's glyph and caption drawn off screen) keep their own orientation.
    if (const DWORD layout = GetLayout(dc); layout & LAYOUT_RTL) SetLayout(dc, layout | LAYOUT_BITMAPORIENTATIONPRESERVED);
    OffsetViewportOrgEx(dc, child->left_, child->top_, nullptr);
    IntersectClipRect(dc, 0, 0, child->width_, child->height_);
    try {
      child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

// The window moved or changed size by itself (the user, the system): the object takes the
// new bounds over.
void TWinControl::HandleWindowPosChanged() {
  if (handle_ == nullptr || IsIconic(handle_)) return;
  RECT r;
  GetWindowRect(handle_, &r);
  const bool child = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) != 0;
  if (child && parent_ != nullptr && parent_->handle_ != nullptr)
    MapWindowPoints(nullptr, parent_->handle_, reinterpret_cast<POINT*>(&r), 2);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (r.left == Left() && r.top == Top() && width == Width() && height == Height()) return;
  const bool sized = width != Width() || height != Height();
  UpdateBoundsFromWindow(r.left, r.top, width, height);
  if (sized) {
    Realign();
    Resize();
  }
}

// Keys: a form with KeyPreview sees them first, then the control; a dialog key the control
// does not want goes to the form (Tab moves the focus, Enter and Escape click the default
// and cancel buttons). Answers true when the key was used up.
bool TWinControl::HandleKeyDown(TMessage& msg) {
  WORD key = static_cast<WORD>(msg.WParam);
  TShiftState shift = KeyboardShiftState();
  if (msg.LParam & (1 << 29)) shift |= ssAlt;
  if (Application != nullptr) Application->CancelHint();
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyDown(key, shift);
    if (key == 0) return true;
  }
  KeyDown(key, shift);
  if (key == 0) return true;
  msg.WParam = key;
  const LRESULT wanted = WantedCodes(key);
  if (form != nullptr && msg.Msg == WM_KEYDOWN && wanted != 0) {
    // Asked without the message: an EDIT given one takes itself to be in a dialog box and
    // then acts on Enter and Escape on its own (a multi-line one closes its parent).
    const LRESULT codes = Perform(WM_GETDLGCODE, msg.WParam, 0);
    if ((codes & wanted) == 0) {
      const HWND window = handle_;
      if (form->DialogKey(key, shift)) {
        if (char ch = DialogKeyChar(key)) DropPendingChar(window, ch);
        return true;
      }
    }
  }
  return false;
}

bool TWinControl::HandleChar(TMessage& msg) {
  char key = static_cast<char>(msg.WParam);
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyPress(key);
    if (key == 0) return true;
  }
  KeyPress(key);
  if (key == 0) return true;
  msg.WParam = static_cast<unsigned char>(key);
  // A character that the focused control does not type may be a caption's accelerator.
  if (form != nullptr && msg.Msg == WM_CHAR && static_cast<unsigned char>(key) >= ' ' &&
      (Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form->DialogChar(key))
    return true;
  return false;
}

bool IsAccel(char key, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    char pair[2] = {caption[i + 1], key};
    CharUpperBuffA(pair, 2);
    return pair[0] == pair[1];
  }
  return false;
}

// Notifications that a parent gets about a child window go back to the child's object as
// CN_ messages; menu commands go to their menu items.
bool TWinControl::HandleReflected(TMessage& msg) {
  TWinControl* child = nullptr;
  switch (msg.Msg) {
    case WM_COMMAND:
      if (msg.LParam == 0) return HIWORD(msg.WParam) == 0 && DispatchMenuCommand(LOWORD(msg.WParam));
      child = FindControl(reinterpret_cast<HWND>(msg.LParam));
      break;
    case WM_NOTIFY:
      child = FindControl(reinterpret_cast<NMHDR*>(msg.LParam)->hwndFrom);
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(msg.LParam);
      if (item->CtlType == ODT_MENU) return DrawMenuItemImage(*item, msg.Result);
      child = FindControl(item->hwndItem);
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam);
      if (item->CtlType == ODT_MENU) return MeasureMenuItemImage(*item, msg.Result);
      for (TWinControl* w : tabList_)
        if (static_cast<UINT>(w->controlId_) == item->CtlID) child = w;
      break;
    }
    default:  // WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL
      child = FindControl(reinterpret_cast<HWND>(msg.LParam));
      break;
  }
  if (child == nullptr || child == this) return false;
  msg.Result = child->Perform(CN_BASE + msg.Msg, msg.WParam, msg.LParam);
  return true;
}

// A right click (or the menu key) pops up the menu of the control under the mouse, or of
// this control, when it pops up by itself.
void TWinControl::HandleContextMenu(TMessage& msg) {
  POINT screen{GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam)};
  TControl* control = this;
  if (screen.x == -1 && screen.y == -1) {
    screen = ClientToScreen(POINT{0, 0});
  } else if (TControl* child = ControlAtPos(ScreenToClient(screen), true)) {
    if (child->popupMenu_ != nullptr) control = child;
  }
  TPopupMenu* menu = control->popupMenu_;
  if (menu != nullptr && menu->AutoPopup()) {
    menu->SetPopupComponent(control);
    menu->Popup(screen.x, screen.y);
    msg.Result = 1;
    return;
  }
  DefaultHandler(msg);
}

bool TWinControl::HandleSetCursor(TMessage& msg) {
  if (reinterpret_cast<HWND>(msg.WParam) != handle_ || LOWORD(msg.LParam) != HTCLIENT) return false;
  TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
  if (cursor == crDefault) {
    POINT point;
    GetCursorPos(&point);
    TControl* under = ControlAtPos(ScreenToClient(point), true);
    cursor = under != nullptr ? under->Cursor() : Cursor();
  }
  if (cursor == crDefault || Screen == nullptr) return false;
  ::SetCursor(Screen->Cursors(cursor));
  msg.Result = TRUE;
  return true;
}

// ---------------------------------------------------------------------------------------
// TGraphicControl and TCustomControl

const ClassInfo* TGraphicControl::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TGraphicControl>("TGraphicControl", TControl::StaticClassInfo()).Build();
  return &ci;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& msg) {
  if (msg.Msg == WM_PAINT && msg.WParam != 0) {
    CanvasOnDc paint(canvas_.get(), reinterpret_cast<HDC>(msg.WParam));
    Paint();
    return;
  }
  TControl::WndProc(msg);
}

const ClassInfo* TCustomControl::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCustomControl>("TCustomControl", TWinControl::StaticClassInfo()).Build();
  return &ci;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
  CanvasOnDc paint(canvas_.get(), dc);
  Paint();
}

int KeepApart(const std::vector<TControl*>& row, int gap) {
  int right = INT_MIN;
  for (TControl* control : row) {
    if (right != INT_MIN && control->Left() < right + gap) control->SetLeft(right + gap);
    right = control->Left() + control->Width();
  }
  return right;
}

int CaptionShortfall(TControl* control, int margin) {
  return std::max(0, CaptionWidth(control->Font(), control->Caption()) + margin - control->Width());
}

void WidenToHold(TWinControl* parent, int margin) {
  TCustomForm* form = GetParentForm(parent);
  if (form == nullptr) return;
  int right = 0;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (!control->Visible() || control->Left() < 0 || control->Top() < 0) continue;
    right = std::max(right, control->Left() + control->Width() + margin);
  }
  if (right > parent->ClientWidth()) form->SetClientWidth(form->ClientWidth() + right - parent->ClientWidth());
}
