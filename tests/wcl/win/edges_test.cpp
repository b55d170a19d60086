#include <gtest/gtest.h>

#include "platform/rtl/win/windows_api.h"

#include "platform/wcl/win/edges.h"

namespace {

std::string lastShown;
int ShowNothing(const std::string& text, const std::string&, unsigned) {
  lastShown = text;
  return IDCANCEL;
}
TScreenSize SmallScreen() { return TScreenSize{640, 480}; }

}  // namespace

TEST(Edges, ReplacementsAnswerAndTheOldOnesComeBack) {
  TMessageBoxEdge system = SetMessageBoxEdge(ShowNothing);
  EXPECT_EQ(EdgeMessageBox("hello", "Hourlark", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(lastShown, "hello");
  EXPECT_EQ(SetMessageBoxEdge(system), &ShowNothing);

  TScreenSizeEdge old = SetScreenSizeEdge(SmallScreen);
  EXPECT_EQ(EdgeScreenSize().Width, 640);
  SetScreenSizeEdge(nullptr);  // back to the system's
  EXPECT_EQ(EdgeScreenSize().Width, GetSystemMetrics(SM_CXSCREEN));
  SetScreenSizeEdge(old);
}
