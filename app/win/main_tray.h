#pragma once
// The main window's icon in the notification area: one icon with a hint, its frames (a
// single still picture or the eight animation frames drawn here), the animation advanced by
// a timer on the window thread, the popup menu on a right click and an event on a double
// click. After the shell restarts the icon is added again.

#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/wcl/win/control.h"

class TPopupMenu;
class TTimer;

class TMainTrayIcon : public TComponent {
public:
  static constexpr int FrameCount = 8;

  explicit TMainTrayIcon(TComponent* owner);
  ~TMainTrayIcon() override;

  // Adds the icon to the notification area (or removes it).
  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  // The eight frames when animated is on, else the still picture; animation runs while
  // running is on and there is more than one frame.
  void SetFrames(bool animated);
  bool Animated() const;
  void SetAnimated(bool value);
  int FrameIndex() const { return frame_; }
  int FrameTotal() const { return static_cast<int>(frames_.size()); }
  // Milliseconds between two frames.
  void SetInterval(unsigned value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
  // The window that receives the icon's mouse messages.
  HWND WindowHandle() const;

  TNotifyEvent OnDblClick;

  // Message the icon sends to its window.
  static constexpr UINT CallbackMessage = WM_APP + 17;

private:
  bool HandleMessage(TMessage& msg);
  void Advance();
  bool Notify(DWORD action);

  bool active_ = false;
  bool added_ = false;
  std::string hint_;
  std::vector<HICON> frames_;  // point into stillIcon_/animation_
  UniqueIcon stillIcon_;
  std::vector<UniqueIcon> animation_;
  int frame_ = 0;
  TTimer* timer_;
  TPopupMenu* popupMenu_ = nullptr;
  UINT taskbarCreated_;
  std::unique_ptr<TUtilityWindow> window_;
};

// A 16 x 16 clock face whose hand points to the given eighth of a turn (0 = up); step -1
// draws the still icon with the hands at ten past two.
HICON DrawClockIcon(int step);
