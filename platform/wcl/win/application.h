#pragma once
// TApplication: the program's message loop, its hidden application window (the owner of
// every form and of the taskbar button), its title, hints and help file, and the one place
// where errors end up: HandleException shows a message box with the program's title, and
// ReportException hands it the errors caught where nothing may throw.
//
// The program makes one application object on its window thread (it becomes the global
// Application and makes the global Screen) before any form, and deletes it last: the forms
// it owns go with it.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/form.h"

class TScreen;

// Handles an error instead of the default message box.
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
// Sees a message of the application window before it; answers true to keep it.
using TWindowHook = std::function<bool(TMessage& msg)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  // The hidden application window.
  HWND Handle() const;
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value);
  // The full path of the program.
  std::string ExeName() const;
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& value) { helpFile_ = value; }
  // Opens the help file at a context number; false without a help file.
  bool HelpContext(int context);

  // The long part of the hint of the control under the mouse; OnHint fires on each change.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  // Milliseconds the mouse rests on a control before its tooltip shows.
  int HintPause() const { return hintPause_; }
  void SetHintPause(int value) { hintPause_ = value; }

  // The first form made with CreateForm; closing it ends the program.
  TCustomForm* MainForm() const { return mainForm_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  // Makes a form owned by the application; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* form = new T(this);
    if (mainForm_ == nullptr) mainForm_ = form;
    return form;
  }

  // The message loop: shows the main form and handles messages until Terminate (or the
  // main form closes).
  void Run();
  // Handles one message, waiting for one when there is none.
  void HandleMessage();
  // Handles the waiting messages and returns.
  void ProcessMessages();
  bool Terminated() const { return terminated_; }
  // Asks the message loop to end.
  void Terminate();

  // Shows the exception being handled (call inside a catch block): OnException when set,
  // otherwise a message box with the title. EAbort shows nothing.
  void HandleException(TObject* sender);
  void ShowException(const std::string& message);
  // A message box owned by the active form, through the replaceable message-box function.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  // The caption of the program's message boxes: the title, or the program file's name
  // while there is none.
  std::string BoxCaption() const;

  // The application window minimised (the forms go with it) or restored, and the program
  // brought to the foreground.
  void Minimize();
  void Restore();
  bool Minimized() const;
  void BringToFront();

  // Hooks on the application window's messages (the system's setting changes reach it).
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);

  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // The window thread: where the forms live and Synchronize runs.
  DWORD MainThreadId() const { return mainThreadId_; }

  // Kept up to date by the controls: the mouse came over control (nullptr: left them all),
  // a key or button was pressed, a control or form is going.
  void HintControlChanged(TControl* control);
  void CancelHint();
  void ControlDestroyed(TControl* control);
  void FormDestroyed(TCustomForm* form);

private:
  bool ProcessMessage();
  bool WindowMessage(TMessage& msg);
  void ShowHintWindow();
  void HideHintWindow();

  std::string title_;
  std::string helpFile_;
  std::string hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  TCustomForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  DWORD mainThreadId_;
  TControl* hintControl_ = nullptr;
  UniqueWindow hintWindow_;
  std::vector<std::pair<int, TWindowHook>> hooks_;
  int nextHookId_ = 1;
  std::unique_ptr<TScreen> screen_;
  std::unique_ptr<TUtilityWindow> window_;
};

extern TApplication* Application;

// Hands the exception being handled (call inside a catch block) to Application's
// HandleException, when there is an application. Nothing leaves it: it is the last catch of
// every window procedure, hook, timer and thread call, where no exception may cross Win32,
// and of the events whose errors the user hears of while the program carries on.
void ReportException(TObject* sender) noexcept;
