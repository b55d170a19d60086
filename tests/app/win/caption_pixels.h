#pragma once
// Reading back what a gradient caption painted on its form's caption bar, with the form
// active and then behind another window.

#include "platform/rtl/win/windows_api.h"

#include <string>

#include "kit/win/gradient_caption.h"
#include "platform/wcl/win/form.h"
#include "tests/app/win/window_test_steps.h"

namespace caption_pixels {

// Makes window the foreground window and handles messages until the caption knows it is
// (or is not) the active one; false when that never happens.
inline bool BringToFront(HWND window, TKitGradientCaption* caption, bool active) {
  SetForegroundWindow(window);
  const DWORD start = GetTickCount();
  while (caption->WindowActive() != active) {
    if (GetTickCount() - start > 3000) return false;
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  // Whatever the activation still has to paint.
  for (int i = 0; i < 20; ++i) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// How many pixels of the caption bar's text area have exactly this colour (as RGB).
inline int CountInBar(TCustomForm* form, TKitGradientCaption* caption, TColor color) {
  RECT bar = caption->CaptionRect();
  RECT window{};
  GetWindowRect(form->Handle(), &window);
  OffsetRect(&bar, -window.left, -window.top);
  const COLORREF wanted = static_cast<COLORREF>(ColorToRGB(color)) & 0xFFFFFF;
  HDC dc = GetWindowDC(form->Handle());
  int count = 0;
  for (int y = bar.top; y < bar.bottom; ++y)
    for (int x = bar.left; x < bar.right; ++x)
      if ((GetPixel(dc, x, y) & 0xFFFFFF) == wanted) ++count;
  ReleaseDC(form->Handle(), dc);
  return count;
}

struct TitleColours {
  int activeRed = -1;      // red pixels while the form is active
  int inactiveText = -1;   // pixels in the inactive caption text colour once it is not
  int inactiveRed = -1;    // red pixels once it is not
};

// Counts the title's colours with the form active, then with another window in front;
// pictures of the display go beside the test program as <name>-active.png and
// <name>-inactive.png.
inline TitleColours ReadTitleColours(TCustomForm* form, TKitGradientCaption* caption, const std::string& name) {
  TitleColours colours;
  if (!BringToFront(form->Handle(), caption, true)) return colours;
  colours.activeRed = CountInBar(form, caption, clRed);
  window_test::Screenshot(name + "-active.png");
  TForm other(nullptr);
  other.SetBounds(20, 20, 200, 100);
  other.Show();
  if (!BringToFront(other.Handle(), caption, false)) return colours;
  colours.inactiveText = CountInBar(form, caption, clInactiveCaptionText);
  colours.inactiveRed = CountInBar(form, caption, clRed);
  window_test::Screenshot(name + "-inactive.png");
  return colours;
}

}  // namespace caption_pixels
