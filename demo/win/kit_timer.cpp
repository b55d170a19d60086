#include "demo/win/kit_timer.h"

#include <atomic>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/thread.h"

namespace {
constexpr UINT_PTR kTimerId = 1;

int SystemPriority(TThreadPriority priority) {
  switch (priority) {
    case tpIdle: return THREAD_PRIORITY_IDLE;
    case tpLowest: return THREAD_PRIORITY_LOWEST;
    case tpLower: return THREAD_PRIORITY_BELOW_NORMAL;
    case tpNormal: return THREAD_PRIORITY_NORMAL;
    case tpHigher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case tpHighest: return THREAD_PRIORITY_HIGHEST;
    case tpTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}
}  // namespace

const EnumInfo ThreadPriorityEnum{
    "TThreadPriority", {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"}};

// What the worker reads: copies of the timer's settings, kept up to date by the window
// thread, and the timer itself, which the worker reaches only while alive is set.
struct TKitTimer::TShared {
  std::atomic<bool> alive{true};
  std::atomic<bool> run{false};        // interval, enabled state and handler allow ticks
  std::atomic<bool> enabled{true};
  std::atomic<bool> syncEvent{true};
  std::atomic<unsigned> interval{1000};
  std::atomic<int> priority{THREAD_PRIORITY_NORMAL};
  std::atomic<bool> inTick{false};     // a tick runs on the window thread
  UniqueKernelHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  TKitTimer* timer = nullptr;
};

class TKitTimer::TTimerThread : public TThread {
public:
  explicit TTimerThread(std::shared_ptr<TShared> shared) : shared_(std::move(shared)) {}
  ~TTimerThread() override {
    Terminate();
    SetEvent(shared_->wake.get());
    WaitFor();
  }

protected:
  void Execute() override {
    int applied = THREAD_PRIORITY_NORMAL;
    while (!StopTest()) {
      if (!shared_->run) {
        WaitForSingleObject(shared_->wake.get(), INFINITE);
        continue;
      }
      if (shared_->priority != applied) {
        applied = shared_->priority;
        ::SetThreadPriority(GetCurrentThread(), applied);
      }
      // A wake-up means the settings changed: read them again before sleeping anew.
      if (WaitForSingleObject(shared_->wake.get(), shared_->interval) != WAIT_TIMEOUT) continue;
      if (StopTest() || !shared_->run || !shared_->enabled) continue;
      if (shared_->syncEvent) {
        std::shared_ptr<TShared> shared = shared_;
        try {
          Synchronize([shared] {
            if (!shared->alive) return;
            shared->inTick = true;
            try {
              shared->timer->Timer();
            } catch (...) {
              if (Application != nullptr) Application->HandleException(shared->timer);
            }
            shared->inTick = false;
          });
        } catch (...) {
        }
      } else {
        // The destructor waits for this thread, so the timer outlives the call.
        try {
          shared_->timer->Timer();
        } catch (...) {
          // Periodic work swallows its errors.
        }
      }
    }
  }

private:
  bool StopTest() const {
    return Terminated() || !shared_->alive || (Application != nullptr && Application->Terminated());
  }

  std::shared_ptr<TShared> shared_;
};

TKitTimerEvent& TKitTimerEvent::operator=(TNotifyEvent handler) {
  const bool wasAssigned = static_cast<bool>(handler_);
  handler_ = std::move(handler);
  if (wasAssigned != static_cast<bool>(handler_)) timer_->UpdateTimer();
  return *this;
}

const ClassInfo* TKitTimer::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitTimer>("TKitTimer", TComponent::StaticClassInfo())
          .Bool("Enabled", &TKitTimer::Enabled, &TKitTimer::SetEnabled)
          .Int("Interval", &TKitTimer::Interval, &TKitTimer::SetInterval)
          .Bool("SyncEvent", &TKitTimer::SyncEvent, &TKitTimer::SetSyncEvent)
          .Bool("Threaded", &TKitTimer::Threaded, &TKitTimer::SetThreaded)
          .Enum("ThreadPriority", &TKitTimer::ThreadPriority, &TKitTimer::SetThreadPriority, &ThreadPriorityEnum)
          .Build();
  return &ci;
}

TKitTimer::TKitTimer(TComponent* owner) : TComponent(owner), shared_(std::make_shared<TShared>()) {
  if (!shared_->wake) throw EOutOfResources("Cannot make an event");
  shared_->timer = this;
  thread_ = std::make_unique<TTimerThread>(shared_);
}

TKitTimer::~TKitTimer() {
  Destroying();
  enabled_ = false;
  OnTimer.Clear();
  shared_->alive = false;
  shared_->run = false;
  if (shared_->inTick) {
    // Destroyed by its own tick: the worker waits for that tick to return, so it cannot be
    // joined here. It ends by itself once the tick is over and then deletes itself.
    TTimerThread* thread = thread_.release();
    thread->Terminate();
    thread->SetFreeOnTerminate(true);
    SetEvent(shared_->wake.get());
  } else {
    thread_.reset();
  }
  if (window_ && window_->Handle() != nullptr) KillTimer(window_->Handle(), kTimerId);
  window_.reset();
}

HWND TKitTimer::WindowHandle() const { return window_ ? window_->Handle() : nullptr; }

void TKitTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  shared_->enabled = value;
  UpdateTimer();
}

void TKitTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TKitTimer::SetSyncEvent(bool value) {
  syncEvent_ = value;
  shared_->syncEvent = value;
}

void TKitTimer::SetThreaded(bool value) {
  if (value == threaded_) return;
  threaded_ = value;
  UpdateTimer();
}

void TKitTimer::SetThreadPriority(TThreadPriority value) {
  if (value == priority_) return;
  priority_ = value;
  if (threaded_) UpdateTimer();
}

bool TKitTimer::TicksDue() const { return interval_ != 0 && enabled_ && static_cast<bool>(OnTimer); }

void TKitTimer::UpdateTimer() {
  if (ComponentState() & csDestroying) return;
  shared_->interval = interval_;
  shared_->priority = SystemPriority(priority_);
  if (threaded_) {
    if (window_) {
      if (window_->Handle() != nullptr) KillTimer(window_->Handle(), kTimerId);
      window_.reset();
    }
    shared_->run = TicksDue();
    if (shared_->run) thread_->Start();
    SetEvent(shared_->wake.get());
    return;
  }
  shared_->run = false;
  SetEvent(shared_->wake.get());
  if (window_) {
    KillTimer(window_->Handle(), kTimerId);
  } else {
    window_ = std::make_unique<TUtilityWindow>(
        [this](TMessage& msg) {
          if (msg.Msg != WM_TIMER || msg.WParam != kTimerId) return false;
          Timer();
          return true;
        },
        this);
  }
  if (TicksDue() && SetTimer(window_->Handle(), kTimerId, interval_, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
}

void TKitTimer::Timer() {
  if (enabled_ && !(ComponentState() & csDestroying) && OnTimer) OnTimer(this);
}
