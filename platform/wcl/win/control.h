#pragma once
// The control classes of the window class library.
//
// TControl is anything shown on a form. A non-windowed control (TGraphicControl) has no
// window of its own: its parent paints it and hands it the mouse. TWinControl owns a window,
// made when first needed; TCustomControl is a windowed control that paints itself.
//
// State lives in the objects: every property is a member that can be set before any window
// exists. A setter pushes the value to the window when there is one; values the user edits
// in a window are read back from it (and saved when the window goes).
//
// Every window made here is served by one window procedure. It finds the object of a window
// through a window property set at WM_NCCREATE and cleared at WM_NCDESTROY (the object's
// handle is null from then on), dispatches to the object's virtual WndProc, and catches
// every exception, handing it to the application's exception handler.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/wcl/colors.h"
#include "platform/wcl/win/graphics.h"
#include "platform/wcl/win/screen.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

// A window message as the objects see it; handlers set Result.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state of key and mouse events: a mask of these flags.
enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;

// The shift state of the keyboard now (Shift, Ctrl, Alt).
TShiftState KeyboardShiftState();
// The shift state carried by a mouse message's wParam (MK_ flags) plus the keyboard's Alt.
TShiftState MouseShiftState(WPARAM keys);

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                       int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Handlers set Key to 0 to swallow the key.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Text direction of a control. Right to left mirrors the layout of a container (its
// children are placed from the right) and aligns and reads texts from the right; the other
// right-to-left modes keep the layout and change only how texts read (and, without
// alignment, where the scroll bar goes).
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// How a control takes part in mouse handling: a mask of these flags.
enum TControlStyleFlag : unsigned {
  csCaptureMouse = 1,  // keeps the mouse from a press until its release
  csClickEvents = 2,   // a press and release inside it is a Click
  csDoubleClicks = 4,  // double clicks are DblClick (otherwise a second press)
  csOpaque = 8,        // paints its whole rectangle: the parent need not erase below it
};
using TControlStyle = unsigned;

// Transient state of a control: a mask of these flags.
enum TControlStateFlag : unsigned {
  csLButtonDown = 1,  // the left button went down on the control and is still down
  csClicked = 2,      // a press that may still become a Click
};
using TControlState = unsigned;

// What a window is made with. CreateParams fills it; a control built on a system window
// class names that class in SysClassName: the library then registers WinClassName as a
// copy of it served by the library's window procedure, which passes what the control does
// not handle on to the system class's own procedure.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  std::string WinClassName;  // the class registered for the control
  std::string SysClassName;  // the system class it copies, or empty for a plain window
  UINT WindowClassStyle = CS_DBLCLKS;
  int ChildId = 0;  // the control identifier of a child window
};

// Something whose window is served by the library's window procedure.
class TWindowTarget {
public:
  virtual ~TWindowTarget() = default;
  // The window exists (WM_NCCREATE, its first bound message): the object takes its handle.
  virtual void WindowAttached(HWND window) noexcept = 0;
  // Handles one message of the window; may throw (the window procedure catches).
  virtual void DispatchWindowMessage(TMessage& msg) = 0;
  // The window is gone for good (WM_NCDESTROY): the object forgets its handle.
  virtual void WindowDetached() noexcept = 0;
  // The sender reported with an exception raised while handling a message.
  virtual TObject* ExceptionSender() { return nullptr; }
  // The control the window belongs to, for windows that are controls.
  virtual TWinControl* BoundControl() { return nullptr; }
};

// Owns a window that is not served by the library (a system tooltip): destroyed with it.
struct WindowTraits {
  using Handle = HWND;
  static bool IsValid(HWND window) { return window != nullptr; }
  static void Close(HWND window) { DestroyWindow(window); }
};
using UniqueWindow = UniqueWinHandle<WindowTraits>;

// Makes a window served by the library's window procedure and bound to target from its
// first message on. Registers the window class on first use. Raises EOSError on failure.
// defaultProc receives the procedure for messages target leaves unhandled.
HWND CreateTargetWindow(TWindowTarget* target, const TCreateParams& params, WNDPROC* defaultProc);
// Texts for a window of the library. A text with a code page of its own (HasOwnCodePage: a
// built-in or a language text) goes in UTF-16 straight to the procedure of the window's
// system class: through the library's ANSI procedure the system would pass it through the
// ANSI code page and lose what that cannot hold. Every other text goes through the ANSI call.
// message is WM_SETTEXT, LB_INSERTSTRING, CB_INSERTSTRING or another taking a text in lParam.
LRESULT SendShownText(HWND window, UINT message, WPARAM wParam, const std::string& text);
// The text the window holds, in UTF-16, read from its class's procedure.
std::wstring HeldWindowText(HWND window);
// The object bound to a window of the library, or nullptr.
TWindowTarget* FindWindowTarget(HWND window);
// The control whose window this is, or nullptr.
TWinControl* FindControl(HWND window);

// A hidden top-level window whose messages go to a handler: the home of timers, popup
// menus and the hand-off of calls from other threads. The handler answers true when it
// handled the message (msg.Result is then returned), false for the default handling.
class TUtilityWindow : private TWindowTarget {
public:
  using THandler = std::function<bool(TMessage& msg)>;
  explicit TUtilityWindow(THandler handler, TObject* sender = nullptr);
  // A window made with other parameters (the application window).
  TUtilityWindow(THandler handler, const TCreateParams& params, TObject* sender);
  ~TUtilityWindow() override;
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;

  HWND Handle() const { return handle_; }

private:
  void WindowAttached(HWND window) noexcept override { handle_ = window; }
  void DispatchWindowMessage(TMessage& msg) override;
  void WindowDetached() noexcept override { handle_ = nullptr; }
  TObject* ExceptionSender() override { return sender_; }

  THandler handler_;
  TObject* sender_;
  HWND handle_ = nullptr;
  WNDPROC defaultProc_ = DefWindowProcA;
};

class TControl : public TComponent {
  HL_REFLECTABLE
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // Moves the control into parent's list of controls (out of the previous parent's).
  virtual void SetParent(TWinControl* parent);

  // Position in the parent's client area (on the screen for a form) and outer size.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const;
  void SetBoundsRect(const RECT& rect);

  // The client area, in the control's own coordinates.
  virtual RECT ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  // Conversions between the control's client coordinates and the screen's.
  POINT ClientToScreen(POINT point) const;
  POINT ScreenToClient(POINT point) const;
  // The screen position of the client area's top-left corner.
  virtual POINT ClientOrigin() const;

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  // Caption and Text are the same text.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& value);

  // Colour; with ParentColor the parent's colour is used.
  TColor Color() const;
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  // The control's own font; with ParentFont it follows the parent's.
  TFont* Font() const { return font_.get(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  // The hint: "short|long"; the short part is the tooltip, the long part the application's
  // hint. ShowHint follows the parent's while ParentShowHint is set.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }

  // The text direction; with ParentBiDiMode the parent's is used. Setting it from code makes
  // it the control's own.
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  bool UseRightToLeftScrollBar() const {
    return biDiMode_ == bdRightToLeft || biDiMode_ == bdRightToLeftNoAlign;
  }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value) { cursor_ = value; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState value) { controlState_ = value; }

  // Runs OnClick (whatever Enabled says: a click from code is always carried out).
  virtual void Click();
  virtual void DblClick();

  // Asks for a repaint later, at once, or of what is already invalid.
  virtual void Invalidate();
  void Repaint();
  virtual void Update();
  // Moves the control above or below its siblings.
  void BringToFront();
  void SendToBack();

  // Scales the control by m/d: a control laid out for one screen resolution shown on
  // another. Its bounds and its own font change, and whatever its class measures in pixels;
  // a windowed control scales its children with it.
  void ScaleBy(int m, int d);

  // Sends a message straight to the control's WndProc.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The message handler: a flat switch over the messages the class handles, everything
  // else to the default path.
  virtual void WndProc(TMessage& msg);

  // Notifications a control reacts to.
  // The user pressed the mouse elsewhere on the form, or a menu is about to open: drop
  // any drop-down or capture. sender is the control pressed, or nullptr.
  virtual void CancelMode(TControl* sender) {}
  // Enter, Escape, Tab or an arrow key the focused control did not want: answers true when
  // it acted on the key (a default button clicks itself on Enter).
  virtual bool DialogKey(WORD key, TShiftState shift) { return false; }
  // A character typed with Alt held, or where the focused control takes no characters:
  // answers true when it is the control's accelerator (see IsAccel) and the control acted.
  virtual bool DialogChar(char key) { return false; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  void Notification(TComponent* component, TOperation operation) override;

protected:
  // The text, from the window where the user may have changed it.
  virtual std::string GetText() const { return text_; }
  // Stores text without any notification (the window's own change, or a read-back).
  void StoreText(const std::string& text) { text_ = text; }

  // Hooks run after the property changed.
  virtual void EnabledChanged();
  virtual void VisibleChanged();
  virtual void TextChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  // The text direction changed (the window, if any, is made again after it).
  virtual void BiDiModeChanged() {}
  // The bounds changed (from code or from the window).
  virtual void Resize();
  // The work of ScaleBy; classes that keep sizes in pixels (column widths, row heights)
  // scale them too and call the base.
  virtual void ChangeScale(int m, int d);
  // The bounds' part of it.
  virtual void ScaleBounds(int m, int d);
  // The mouse came over the control or left it.
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}

  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Keeps or releases the mouse for this control.
  void SetMouseCapture(bool value);
  bool MouseCapture() const;

  // The default handling of a message the class does not handle.
  virtual void DefaultHandler(TMessage& msg);
  // Sets the bounds without pushing them anywhere (the window already has them).
  void UpdateBoundsFromWindow(int left, int top, int width, int height);

  // True while the control is being deleted: no events are run then.
  bool IsDestroying() const { return (ComponentState() & csDestroying) != 0; }

private:
  friend class TWinControl;
  friend class TCustomForm;
  void HandleMouseMessage(TMessage& msg);
  // The client coordinates run from the right (the window, or the parent's, is mirrored).
  bool MirroredClient() const;
  // A font of the control's own scales (children that follow it take the change at once).
  void ScaleOwnFont(int m, int d);
  void ApplyParentFont();
  void ApplyParentColor();
  // Takes a text direction and passes it on to the children that follow this control's.
  void TakeBiDiMode(TBiDiMode value);
  // Shows a changed direction: the window made again, or the control repainted.
  void ShowBiDiMode();
  void OwnFontChanged();
  void InvalidateGraphic(const RECT& rect) const;

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool settingFont_ = false;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TAlign align_ = alNone;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  int helpContext_ = 0;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks;
  TControlState controlState_ = 0;
};

class TWinControl : public TControl, private TWindowTarget {
  HL_REFLECTABLE
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made (with the parents' first) when first asked for.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window (and the children's), keeping the state in the objects.
  void DestroyHandle();
  // Makes the window again, as after a change of its creation parameters.
  void RecreateWnd();

  // The children, windowed or not, in z-order (the last one on top).
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  // Position among the parent's windowed children in the order Tab visits them.
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);

  // The control is shown with all its parents.
  bool Showing() const;
  virtual bool CanFocus() const;
  bool Focused() const;
  // Moves the focus here; EInvalidOperation when the control cannot take it.
  virtual void SetFocus();
  // Focuses the next (or previous) control after current in Tab order among this control's
  // descendants, wrapping round. Answers false when none can take the focus.
  bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  // Places the aligned children again.
  void Realign();
  // The topmost visible non-windowed child at a point of the client area, or nullptr.
  TControl* ControlAtPos(POINT point, bool allowDisabled = false) const;
  // Sends msg to every child in turn until one sets a non-zero Result.
  void Broadcast(TMessage& msg);

  // The brush of the control's colour, for its background.
  TBrush* Brush();

  POINT ClientOrigin() const override;
  RECT ClientRect() const override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  void Invalidate() override;
  void Update() override;
  void WndProc(TMessage& msg) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

protected:
  // The window's creation parameters; overrides call the base first.
  virtual void CreateParams(TCreateParams& params);
  // Makes the window; overrides call the base and then push their own state to it.
  virtual void CreateWnd();
  // Destroys the window; the state is saved at WM_DESTROY (SaveWindowState).
  virtual void DestroyWnd();
  // Reads back into the object what the user may have changed in the window. Called when
  // the window is destroyed, for whatever reason.
  virtual void SaveWindowState();
  // The window procedure of the window's class (the system class's own, or DefWindowProc).
  WNDPROC DefaultWindowProc() const { return defaultProc_; }
  void DefaultHandler(TMessage& msg) override;
  std::string GetText() const override;

  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();

  // Paints the control's own content into dc (the children are painted after it).
  virtual void PaintWindow(HDC dc) {}
  // True when WM_PAINT is handled here rather than by the window class.
  virtual bool PaintsItself() const { return defaultProc_ == DefWindowProcA; }
  // True for a window with a menu bar (its client area is smaller by the bar).
  virtual bool HasMenuBar() const { return false; }
  // The extended styles of the text direction (the base CreateParams adds them; a class
  // that sets ExStyle afresh adds them again).
  void AddBiDiStyles(TCreateParams& params) const;
  // True for a container whose children are placed from the right in right-to-left mode
  // (its window is mirrored; the children's own windows are not).
  virtual bool MirrorsChildren() const { return false; }
  // The area left for aligned children; a border or bevel takes its part off.
  virtual void AdjustClientRect(RECT& rect) const {}
  // Places aligned children inside rect, taking off what each one uses.
  virtual void AlignControls(RECT& rect);

  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  void Resize() override;
  void ChangeScale(int m, int d) override;

private:
  friend class TControl;
  friend class TCustomForm;
  void WindowAttached(HWND window) noexcept override;
  void DispatchWindowMessage(TMessage& msg) override { WndProc(msg); }
  void WindowDetached() noexcept override;
  TObject* ExceptionSender() override { return this; }
  TWinControl* BoundControl() override { return this; }

  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void CreateHandle();
  void CreateChildHandles();
  void UpdateWindowBounds();
  bool RouteMouseToChild(TMessage& msg);
  void TrackMouseControl(TControl* control);
  void PaintHandler(HDC dc);
  void PaintControls(HDC dc);
  void HandleWindowPosChanged();
  bool HandleKeyDown(TMessage& msg);
  bool HandleChar(TMessage& msg);
  bool HandleReflected(TMessage& msg);
  void HandleContextMenu(TMessage& msg);
  bool HandleSetCursor(TMessage& msg);
  void CollectTabOrder(std::vector<TWinControl*>& list) const;
  std::vector<TWinControl*> WindowedChildren() const;
  int NextControlId() const;

  HWND handle_ = nullptr;
  WNDPROC defaultProc_ = DefWindowProcA;
  int controlId_ = 0;
  std::vector<TControl*> controls_;   // z-order
  std::vector<TWinControl*> tabList_;  // windowed children in Tab order
  bool tabStop_ = false;
  int aligning_ = 0;
  bool creatingHandle_ = false;
  std::unique_ptr<TBrush> brush_;
};

// A non-windowed control: painted by its parent on the parent's window.
class TGraphicControl : public TControl {
  HL_REFLECTABLE
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  // The canvas painted on while Paint runs (the parent's DC, origin at the control).
  TCanvas* Canvas() { return canvas_.get(); }
  void WndProc(TMessage& msg) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TCanvas> canvas_;
};

// A windowed control that paints itself: Paint draws on Canvas during WM_PAINT.
class TCustomControl : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  std::unique_ptr<TCanvas> canvas_;
};

// The form a control is on, or nullptr.
TCustomForm* GetParentForm(const TControl* control);
// "short|long" hints: the text before the first "|" (all of it without one), and after it.
// Whether key is the accelerator of caption: the character after a single "&", in either
// letter case ("&&" stands for an ampersand).
bool IsAccel(char key, const std::string& caption);
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

// Lays out a row of controls from left to right: each keeps its place unless the one before
// it (grown with a longer text or a larger font) comes closer than gap, and then it moves
// along, the rest of the row with it. Returns the row's right edge.
int KeepApart(const std::vector<TControl*>& row, int gap);
// The pixels a control lacks for its caption in its font plus margin (0 when it has room).
int CaptionShortfall(TControl* control, int margin);
// Widens the form of parent so that parent's client area holds each of its visible controls
// with margin to spare on the right: a window grows to hold its last control.
void WidenToHold(TWinControl* parent, int margin);
