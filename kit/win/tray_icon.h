#pragma once
// TKitTrayIcon puts one icon into the taskbar's notification area. Its tip is the short
// part of Hint; the mouse messages the shell sends back become OnMouseDown, OnMouseUp,
// OnMouseMove, OnClick and OnDblClick; a right click pops up PopupMenu and a double click
// runs the menu's default item. With Animated the icon steps through the frames of Icons.
//
// The icon's state and the rules for showing it are in kit/tray_icon_logic.h. This side owns
// the hidden window the shell reports to, the shell call and the animation worker. The worker
// only sleeps and posts a tick to the hidden window: every frame advance and every shell call
// happen on the window thread, and the worker is stopped and joined before the window goes.

// <shellapi.h> needs Windows, which the window library's headers bring.
#include "platform/wcl/win/control.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "kit/tray_icon_logic.h"
#include "platform/rtl/component.h"

class TIcon;
class TIconList;
class TPopupMenu;
class TUtilityWindow;

// The shell call, replaceable so that tests can watch it; nullptr restores the system's.
// Answers the one it replaced.
using TTrayNotifyEdge = BOOL (*)(DWORD message, NOTIFYICONDATAA* data);
TTrayNotifyEdge SetTrayNotifyEdge(TTrayNotifyEdge edge);

// The record the shell gets (the first-version layout: 88 bytes on 32-bit Windows).
NOTIFYICONDATAA ToNotifyIconData(const TTrayRecord& record);

class TKitTrayIcon : public TComponent, private TTrayIconHost {
  HL_REFLECTABLE
public:
  explicit TKitTrayIcon(TComponent* owner);
  ~TKitTrayIcon() override;

  // The icon is meant to be in the notification area (default true).
  bool Active() const { return logic_.Active(); }
  void SetActive(bool value);
  // "short|long": the short part is the tip.
  const std::string& Hint() const { return logic_.Hint(); }
  void SetHint(const std::string& value);
  // The still icon and the animation frames; setting either takes a copy.
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* value);
  TIconList* Icons() const { return icons_.get(); }
  void SetIcons(TIconList* value);
  // Animation through Icons; stays off while Icons is empty.
  bool Animated() const { return logic_.Animated(); }
  void SetAnimated(bool value);
  // Milliseconds between frames (default 150), read again before every frame.
  unsigned short Interval() const { return interval_; }
  void SetInterval(unsigned short value);
  // Shown on a right click; not owned.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);

  // Removes the icon and adds it again when there is an icon to show.
  void Activate();
  // Removes the icon from the notification area.
  void Deactivate();
  // Shows the current state after any change.
  void ChangeIcon();
  // Fills the notification record from the window, the shown icon and the hint.
  void UpdateNotifyData();
  // The record as last filled.
  NOTIFYICONDATAA NotifyData() const { return ToNotifyIconData(logic_.NotifyData()); }

  // The hidden window the shell reports to.
  HWND Handle() const;
  // The icon is in the notification area.
  bool Added() const { return logic_.Added(); }
  // The frame shown while animated.
  int FrameIndex() const { return logic_.FrameIndex(); }

  TMouseEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

protected:
  // The event methods behind the events.
  virtual void DblClick();
  virtual void DoClick(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Pops up PopupMenu at (x, y); false when there is no menu to show.
  bool CheckMenuPopup(int x, int y);
  // Clicks the first enabled default item among the menu's top-level items; false when
  // there is none.
  bool ExecuteDefaultItem();
  // One frame advance (on the window thread).
  void Timer();

private:
  class TTimerThread;

  bool WndProc(TMessage& msg);
  void HandleTrayMessage(unsigned mouseMessage);
  // Ends mouse capture and menu mode in the active (or main) form before the menu shows.
  void CancelMenus();

  // TTrayIconHost
  bool ShellNotify(TTrayNotifyOp op, const TTrayRecord& record) override;
  uintptr_t WindowHandle() override;
  uintptr_t StillIcon() override;
  int FrameCount() override;
  uintptr_t FrameIcon(int index) override;
  void StartAnimation(bool paused) override;
  void PauseAnimation(bool paused) override;
  void StopAnimation() override;

  TTrayIconLogic logic_{*this};
  std::unique_ptr<TUtilityWindow> window_;
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TIconList> icons_;
  std::unique_ptr<TTimerThread> thread_;
  unsigned threadSerial_ = 0;
  unsigned short interval_ = 150;
  TPopupMenu* popupMenu_ = nullptr;
  // Shared with the calls on the stack: false once the component is gone, so that a handler
  // that deletes it does not make the caller touch a dead object.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
