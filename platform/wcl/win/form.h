#pragma once
// Forms: top-level windows built in code. A form class's constructor makes its components
// (owned by the form, named, with their properties and event bindings), calls LoadedAll and
// ends with DoCreate, which runs OnCreate.
//
// TCustomButton is the push button the form knows about: Enter clicks the default button
// (or the focused button), Escape the cancel button, and a button with a ModalResult ends
// the modal form it is on.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <utility>
#include <vector>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/control.h"

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TBorderIconFlag : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;

// Where a form appears when shown: where Left and Top say, where the system places new
// windows (position, size or both), or in the middle of the screen.
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };

enum TFormStyle { fsNormal, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
// What Close does with the form once OnClose has had its say.
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// The result of a modal form: the button's value that ended it (the message box values).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// The moments of a form's life that a component keeping the form's state between runs (the
// kit's placement store) takes part in: the form is about to show, its close was allowed,
// it is being destroyed.
enum TFormLifeEvent { feShow, feCloseQuery, feDestroy };
using TFormLifeHook = std::function<void(TCustomForm* Sender, TFormLifeEvent Event)>;

class TCustomForm : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return position_; }
  // Takes effect at the next showing; the window is not made again.
  void SetPosition(TPosition value) { position_ = value; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  // Read from the window while it is shown (the user may have changed it).
  TWindowState WindowState() const;
  void SetWindowState(TWindowState value);
  // The form sees the keys of its controls first.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  // The control that has (or will get, when the form is activated) the focus.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TIcon* Icon() const { return icon_.get(); }
  // True while the form is the active window.
  bool Active() const { return active_; }
  TCanvas* Canvas() { return canvas_.get(); }

  // The screen resolution the form is laid out for (96 pixels per inch, as the forms are
  // designed). With Scaled, a form shown on a screen of another resolution scales its
  // bounds and fonts to it once its building ends (Loaded), so that no text is clipped.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value);
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  // A length laid out for the designed resolution, in pixels of the form as it is now
  // scaled: for bounds that code sets after the form was built.
  int ScaleValue(int designed) const { return MulDiv(designed, scaleM_, scaleD_); }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool Modal() const { return modal_; }

  void SetVisible(bool value) override;
  void Show();
  void Hide() { SetVisible(false); }
  // Shows the form with the other forms disabled and handles messages until ModalResult is
  // set; answers it. EInvalidOperation for a visible or disabled form.
  TModalResult ShowModal();
  // Asks OnCloseQuery, then OnClose decides: hide (the default), minimise, free or nothing.
  // Closing the main form ends the program; closing a modal form cancels it.
  void Close();
  bool CloseQuery();
  // Deletes the form once the messages already waiting are handled (safe inside its own
  // event handlers).
  void Release();

  // Moves the focus to control (recorded until the form is shown); EInvalidOperation when
  // the control cannot take it.
  void FocusControl(TWinControl* control);
  // Ends whatever a control of the form has open (drop-downs, captures) because sender was
  // pressed; nullptr ends all, menus included.
  void SendCancelMode(TControl* sender);
  // Enter clicks the focused or default button, Escape the cancel button, Tab moves the
  // focus. Controls forward the keys they do not want here.
  bool DialogKey(WORD key, TShiftState shift) override;
  // Offers a character to the controls whose accelerator it could be.
  bool DialogChar(char key) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Hooks beside the events above, which stay the program's own: a hook runs whatever
  // handlers are assigned to them, before or after it was set. feShow comes before OnShow,
  // feCloseQuery after OnCloseQuery when it lets the form close, feDestroy before OnDestroy.
  int HookLifeEvents(TFormLifeHook hook);
  void UnhookLifeEvents(int id);

  // Kept up to date by the controls: the focus came to control; control (or one inside it)
  // can no longer take the focus; control leaves the form.
  void FocusChanged(TWinControl* control);
  void DefocusControl(TWinControl* control);
  void ControlRemoved(TControl* control);
  // The main menu's items changed: the menu bar is made again.
  void MenuChanged();

  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& msg) override;
  // Scales a Scaled form designed at another resolution to the screen's, once.
  void Loaded() override;
  // The same scaling, ahead of the form's loading: for a component that must see the form
  // at its final size (the translation, whose font sizes are points at the screen's
  // resolution and must not be scaled once more).
  void ScaleToScreen();

protected:
  // The end of a form constructor, after LoadedAll: runs OnCreate. An error in it is shown
  // through the application's handler and the form is made all the same.
  void DoCreate();
  // Runs OnDestroy once; a form class whose OnDestroy uses its own members calls it first
  // in its destructor.
  void DoDestroy();

  void CreateParams(TCreateParams& params) override;
  bool MirrorsChildren() const override { return true; }
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  // A form keeps its place on the screen; its client area, controls and font scale.
  void ChangeScale(int m, int d) override;
  void ScaleBounds(int m, int d) override;
  bool HasMenuBar() const override { return menu_ != nullptr; }
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& action);

private:
  void ApplyPosition();
  void HandleActivate(TMessage& msg);
  void FocusActiveControl();
  void ApplyIcon();
  void ShowHelp(const HELPINFO& info);
  void RunLifeHooks(TFormLifeEvent event);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TMainMenu* menu_ = nullptr;
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TCanvas> canvas_;
  bool active_ = false;
  bool modal_ = false;
  bool destroyed_ = false;
  TModalResult modalResult_ = mrNone;
  int pixelsPerInch_ = 96;
  bool scaled_ = true;
  int scaleM_ = 1;
  int scaleD_ = 1;
  std::vector<std::pair<int, TFormLifeHook>> lifeHooks_;
  int nextLifeHookId_ = 1;
};

// A form whose properties are all published.
class TForm : public TCustomForm {
  HL_REFLECTABLE
public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// The base of push buttons: a BUTTON window whose click runs OnClick and, with a
// ModalResult, ends the modal form it is on. Enter reaches the default button (or the
// focused one) and Escape the cancel button from anywhere on the form.
class TCustomButton : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TCustomButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  void Click() override;
  bool DialogKey(WORD key, TShiftState shift) override;
  // Its accelerator clicks it.
  bool DialogChar(char key) override;
  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;
  // The BUTTON style of the window: a default or plain push button here.
  virtual UINT PushStyle() const;

private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};
