#pragma once
// TKitWindowHook lets a component see every message of another control's window (in this
// program always its owner form's) before and after the window's own handling, change it or
// swallow it, without the control knowing. Several hooks may watch one window: the one
// attached last sees each message first.
//
// Per hooked control there is one TControlHook record holding the chain of hooks; it
// subclasses the control's window through the common-controls subclassing, which survives
// removal in any order. All records sit in the program-wide THookList, whose hidden window
// carries out deferred work after the current message has returned: subclassing the new
// window of a control whose window was destroyed (a control re-creates its window when
// certain styles change), and freeing a record whose chain has become empty.

#include "platform/wcl/win/control.h"

#include <functional>
#include <memory>
#include <vector>

#include "kit/kit_messages.h"
#include "platform/rtl/component.h"

// Handled set to true in a before-event keeps the message from the window and from every
// later event.
using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

class TControlHook;

class TKitWindowHook : public TComponent {
  HL_REFLECTABLE
public:
  explicit TKitWindowHook(TComponent* owner);
  ~TKitWindowHook() override;

  // True attaches the hook to its control (now, or when the control is set), false detaches.
  bool Active() const { return active_; }
  void SetActive(bool value);
  // The hooked control.
  TWinControl* WinControl() const;
  void SetWinControl(TWinControl* control);

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  void Notification(TComponent* component, TOperation operation) override;

protected:
  virtual void DoBeforeMessage(TMessage& msg, bool& handled);
  virtual void DoAfterMessage(TMessage& msg, bool& handled);

private:
  friend class TControlHook;
  void Attach();
  void Detach();

  bool active_ = true;
  TWinControl* control_ = nullptr;
  TControlHook* controlHook_ = nullptr;
};

// The subclassing record of one control: the chain of its hooks in the order attached.
class TControlHook : public TObject {
public:
  explicit TControlHook(unsigned id);
  ~TControlHook() override;
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  unsigned Id() const { return id_; }
  TWinControl* Control() const { return control_; }
  int HookCount() const { return static_cast<int>(chain_.size()); }
  // True while the record's procedure is installed on the control's window.
  bool Subclassed() const { return window_ != nullptr; }

  void AttachHook(TKitWindowHook* hook);
  void DetachHook(TKitWindowHook* hook);
  void SetControl(TWinControl* control);
  // Installs the record's procedure on the control's window (made when there is none).
  void SubclassWindow();
  // Takes the record's procedure off the window it was installed on.
  void RestoreWindowProc();

private:
  friend class THookList;
  class ControlWatch;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR refData);
  LRESULT WindowProc(HWND window, TMessage& msg);
  void NotifyHooks(bool before, TMessage& msg, bool& handled);
  bool ControlGoing() const;
  void ControlDestroyed();

  unsigned id_;
  TWinControl* control_ = nullptr;
  HWND window_ = nullptr;
  LONG_PTR installedProc_ = 0;  // the window procedure right after subclassing
  std::vector<TKitWindowHook*> chain_;
  bool destroying_ = false;
  int busy_ = 0;                 // messages of the window running through the record
  bool releasePending_ = false;  // freeing waits until they have returned
  std::unique_ptr<ControlWatch> watch_;
};

// Every record of the program and the hidden window for the deferred work.
class THookList : public TObject {
public:
  THookList();
  ~THookList() override;
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  int Count() const { return static_cast<int>(records_.size()); }
  // The record of control, or nullptr (also for no control).
  TControlHook* FindControlHook(TWinControl* control) const;
  // The record of control; a new one is appended when it has none.
  TControlHook* ControlHookFor(TWinControl* control);
  // Posts CM_RESUBCLASS or CM_RELEASEHOOK for record to the hidden window.
  void Post(UINT message, const TControlHook* record);
  // Frees record (which must be in the list).
  void Release(TControlHook* record);

private:
  bool HandleMessage(TMessage& msg);
  TControlHook* FindById(unsigned id) const;

  std::vector<TControlHook*> records_;
  unsigned nextId_ = 1;
  std::unique_ptr<TUtilityWindow> window_;
};

// The program's hook list, made on first use and freed when the program ends.
THookList* GlobalHookList();
// The list when it exists, without making it.
THookList* ExistingHookList();
