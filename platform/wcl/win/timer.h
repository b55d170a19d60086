#pragma once
// TTimer: OnTimer every Interval milliseconds on the window thread, from a window timer on a
// hidden window of its own. A timer runs while it is enabled, has a non-zero interval and
// has a handler; changing the interval while it runs starts the count again.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>

#include "platform/rtl/component.h"
#include "platform/wcl/win/control.h"

class TTimer;

// The timer's OnTimer: assigning a handler (or none) starts or stops the timer at once.
class TTimerEvent {
public:
  explicit TTimerEvent(TTimer* timer) : timer_(timer) {}
  TTimerEvent(const TTimerEvent&) = delete;
  TTimerEvent& operator=(const TTimerEvent&) = delete;
  TTimerEvent& operator=(TNotifyEvent handler);
  explicit operator bool() const { return static_cast<bool>(handler_); }
  void operator()(TObject* sender) const { handler_(sender); }

private:
  TTimer* timer_;
  TNotifyEvent handler_;
};

class TTimer : public TComponent {
  HL_REFLECTABLE
public:
  // Made on the window thread, whose message loop delivers the ticks.
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);

  TTimerEvent OnTimer{this};

protected:
  // One tick: runs OnTimer.
  virtual void Timer();

private:
  friend class TTimerEvent;
  // Raises EOutOfResources when the system has no timer left.
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  std::unique_ptr<TUtilityWindow> window_;
};
