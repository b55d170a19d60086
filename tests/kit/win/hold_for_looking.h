#pragma once
// With HL_SHOW_MS set, a test keeps its windows up (handling messages) that many
// milliseconds, so that a screenshot of the display can be taken.

#include <cstdlib>

#include "tests/wcl/win/app_fixture.h"

inline void HoldForLooking() {
  const char* ms = std::getenv("HL_SHOW_MS");
  if (ms == nullptr) return;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(std::atoi(ms))) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
