#include "app/window_snap.h"

#include <gtest/gtest.h>

namespace {

// A 132 x 78 window on a 1024-pixel screen whose maximised windows are 740 high.
constexpr int W = 132, H = 78, Screen = 1024, Work = 740;

TEST(WindowSnapTest, HomeIsFlushRightAboveTheTaskbar) {
  const WindowSpot home = MainWindowHome(W, H, Screen, Work);
  EXPECT_EQ(home.left, Screen - W);
  EXPECT_EQ(home.top, Work - 8 - H);
}

TEST(WindowSnapTest, DraggingNearAnEdgeSnapsToIt) {
  EXPECT_EQ(SnapMainWindow({9, 300}, W, H, Screen, Work).left, 0);
  EXPECT_EQ(SnapMainWindow({10, 300}, W, H, Screen, Work).left, 10);
  EXPECT_EQ(SnapMainWindow({Screen - W - 10, 300}, W, H, Screen, Work).left, Screen - W - 10);
  EXPECT_EQ(SnapMainWindow({Screen - W - 9, 300}, W, H, Screen, Work).left, Screen - W);
  EXPECT_EQ(SnapMainWindow({-40, 300}, W, H, Screen, Work).left, 0);
  EXPECT_EQ(SnapMainWindow({300, 9}, W, H, Screen, Work).top, 0);
  EXPECT_EQ(SnapMainWindow({300, 10}, W, H, Screen, Work).top, 10);
  EXPECT_EQ(SnapMainWindow({300, Work - 18 - H}, W, H, Screen, Work).top, Work - 18 - H);
  EXPECT_EQ(SnapMainWindow({300, Work - 17 - H}, W, H, Screen, Work).top, Work - 8 - H);
  EXPECT_EQ(SnapMainWindow({300, Work + 50}, W, H, Screen, Work).top, Work - 8 - H);
}

}  // namespace
