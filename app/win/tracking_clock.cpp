// The tracking engine's system clocks on Windows.

#include "platform/rtl/win/windows_api.h"

#include "app/tracking_engine.h"

TDateTime SystemTrackingClock::Now() { return ::Now(); }

int64_t SystemTrackingClock::Ticks() {
  // The interrupt time without the time spent asleep or hibernating; setting the wall clock
  // does not move it.
  ULONGLONG ticks = 0;
  QueryUnbiasedInterruptTime(&ticks);
  return static_cast<int64_t>(ticks);
}
