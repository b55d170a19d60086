#include "kit/draw_grid_logic.h"

#include <gtest/gtest.h>

TEST(FixedButtonTracker, AClickNeedsTheReleaseOnThePressedCell) {
  TFixedButtonTracker tracker;
  tracker.Press({2, 0});
  EXPECT_TRUE(tracker.Pressed());
  EXPECT_TRUE(tracker.Move({3, 0}, true)) << "moving off lifts the button";
  EXPECT_FALSE(tracker.Pressed());
  EXPECT_FALSE(tracker.Move({3, 1}, true));
  EXPECT_TRUE(tracker.Move({2, 0}, true));
  EXPECT_FALSE(tracker.Release({3, 0}, true, 5, 5)) << "released elsewhere";
  EXPECT_FALSE(tracker.Tracking());

  tracker.Press({2, 0});
  EXPECT_TRUE(tracker.Release({2, 0}, true, 5, 5));
  EXPECT_FALSE(tracker.Release({2, 0}, true, 5, 5)) << "one click per press";

  tracker.Press({2, 0});
  EXPECT_FALSE(tracker.Release({2, 0}, false, 5, 5)) << "outside the client area";
  tracker.Press({2, 0});
  EXPECT_FALSE(tracker.Release({2, 0}, true, 2, 5)) << "the column is gone";
  tracker.Press({2, 0});
  tracker.Stop();
  EXPECT_FALSE(tracker.Release({2, 0}, true, 5, 5)) << "cancelled";
}

TEST(PickListGeometry, HeightWidthAndPlace) {
  EXPECT_EQ(3 * 11 + 4, PickListHeight(3, 11));
  EXPECT_EQ(8 * 16 + 4, PickListHeight(20, 16));
  EXPECT_EQ(4, PickListHeight(0, 16));
  EXPECT_EQ(80, PickListWidth(80, 50, 3, 17));
  EXPECT_EQ(120, PickListWidth(80, 120, 8, 17));
  EXPECT_EQ(120 + 17, PickListWidth(80, 120, 9, 17)) << "room for the scroll bar";
  EXPECT_EQ(120, PickListTop(100, 120, 60, 600));
  EXPECT_EQ(500, PickListTop(560, 580, 60, 600)) << "above the editor near the screen's bottom";
}

TEST(PickListTypeAhead, CollectsQuickKeysAndStartsAfreshAfterAPause) {
  TTypeAheadText text;
  EXPECT_EQ("a", text.Add('a', 10000));
  EXPECT_EQ("ab", text.Add('b', 10500));
  EXPECT_EQ("abc", text.Add('c', 14500)) << "4000 ms is not yet a pause";
  EXPECT_EQ("c", text.Add('c', 18501));
  text.Clear();
  for (int i = 0; i < 40; ++i) text.Add('x', 20000);
  EXPECT_EQ(TTypeAheadText::kMaxLength, text.Text().size());
}

TEST(EllipsisButton, DotsSitCentredAndMoveWhenPressed) {
  const TGridEllipsisDots dots = EllipsisDots(17, 100, 0, 18, false);
  // gap (17 - 12) / 2 = 2; x = 100 + (17 - 6 - 4) / 2 = 103
  EXPECT_EQ(103, dots.X[0]);
  EXPECT_EQ(107, dots.X[1]);
  EXPECT_EQ(111, dots.X[2]);
  EXPECT_EQ(8, dots.Y);
  EXPECT_EQ(104, EllipsisDots(17, 100, 0, 18, true).X[0]);
  EXPECT_EQ(1 + 2, EllipsisDots(8, 0, 0, 18, false).X[1] - EllipsisDots(8, 0, 0, 18, false).X[0])
      << "the gap is at least 1";
}
