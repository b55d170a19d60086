#pragma once
// TKitTimer: a non-visual timer that runs OnTimer every Interval milliseconds, either from a
// worker thread of its own (the default) or from a window timer on a hidden window.
//
// In thread mode the worker sleeps on a wake-up event rather than being suspended: changing
// the interval, the enabled state, the handler's presence or the mode wakes it so it reads
// the new state at once, and destruction ends it without waiting out a long sleep. With
// SyncEvent (the default) the tick runs on the window thread while the worker waits for it;
// without, it runs on the worker, which then must not touch windows, and an error it raises
// is dropped. A tick never reaches a timer that is being destroyed.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>

#include "platform/rtl/component.h"
#include "platform/rtl/properties.h"

class TUtilityWindow;
class TKitTimer;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
extern const EnumInfo ThreadPriorityEnum;

// The timer's OnTimer: going from no handler to one (or back) starts or stops the timer;
// replacing one handler by another only stores it, so the running interval goes on.
class TKitTimerEvent {
public:
  explicit TKitTimerEvent(TKitTimer* timer) : timer_(timer) {}
  TKitTimerEvent(const TKitTimerEvent&) = delete;
  TKitTimerEvent& operator=(const TKitTimerEvent&) = delete;
  TKitTimerEvent& operator=(TNotifyEvent handler);
  explicit operator bool() const { return static_cast<bool>(handler_); }
  void operator()(TObject* sender) const { handler_(sender); }
  // Drops the handler without touching the timer (while it is destroyed).
  void Clear() { handler_ = nullptr; }

private:
  TKitTimer* timer_;
  TNotifyEvent handler_;
};

class TKitTimer : public TComponent {
  HL_REFLECTABLE
public:
  // Made on the window thread; the worker starts when ticks are first due.
  explicit TKitTimer(TComponent* owner);
  ~TKitTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Milliseconds between ticks; 0 gives none.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  // Thread mode: run OnTimer on the window thread.
  bool SyncEvent() const { return syncEvent_; }
  void SetSyncEvent(bool value);
  // Thread mode (true) or window-timer mode; switching keeps Interval and Enabled.
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool value);
  TThreadPriority ThreadPriority() const { return priority_; }
  void SetThreadPriority(TThreadPriority value);

  TKitTimerEvent OnTimer{this};

  // The hidden window of window-timer mode, or nullptr (for tests).
  HWND WindowHandle() const;

protected:
  // One tick: OnTimer, when enabled, not being destroyed and assigned.
  virtual void Timer();

private:
  friend class TKitTimerEvent;
  class TTimerThread;
  struct TShared;

  // Brings the worker or the window timer in line with the properties. Window-timer mode
  // raises EOutOfResources when the system has no timer left.
  void UpdateTimer();
  bool TicksDue() const;

  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool syncEvent_ = true;
  bool threaded_ = true;
  TThreadPriority priority_ = tpNormal;
  std::shared_ptr<TShared> shared_;
  std::unique_ptr<TTimerThread> thread_;
  std::unique_ptr<TUtilityWindow> window_;
};
