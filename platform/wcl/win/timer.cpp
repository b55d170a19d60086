#include "platform/wcl/win/timer.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimerEvent& TTimerEvent::operator=(TNotifyEvent handler) {
  handler_ = std::move(handler);
  timer_->UpdateTimer();
  return *this;
}

const ClassInfo* TTimer::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTimer>("TTimer", TComponent::StaticClassInfo())
                                  .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                  .Int("Interval", &TTimer::Interval, &TTimer::SetInterval)
                                  .Build();
  return &ci;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = std::make_unique<TUtilityWindow>(
      [this](TMessage& msg) {
        if (msg.Msg != WM_TIMER || msg.WParam != kTimerId) return false;
        // A tick already queued when the timer stopped is not delivered.
        if (enabled_ && interval_ != 0) Timer();
        return true;
      },
      this);
}

TTimer::~TTimer() {
  Destroying();
  if (window_ && window_->Handle() != nullptr) KillTimer(window_->Handle(), kTimerId);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!window_ || window_->Handle() == nullptr) return;
  KillTimer(window_->Handle(), kTimerId);
  if (!enabled_ || interval_ == 0 || !OnTimer) return;
  if (SetTimer(window_->Handle(), kTimerId, interval_, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
}

void TTimer::Timer() {
  if (OnTimer && !(ComponentState() & csDestroying)) OnTimer(this);
}
