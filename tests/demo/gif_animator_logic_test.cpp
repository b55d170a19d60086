#include "demo/gif_animator_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(GifAnimatorLogic, IntervalAndNextFrame) {
  EXPECT_EQ(AnimatorInterval(0, 1, 100), 0u);   // one frame never steps
  EXPECT_EQ(AnimatorInterval(0, 3, 0), 1u);     // a zero delay still steps
  EXPECT_EQ(AnimatorInterval(2, 3, 70), 70u);
  EXPECT_EQ(AnimatorInterval(3, 3, 70), 0u);
  EXPECT_EQ(AnimatorInterval(-1, 3, 70), 0u);
  EXPECT_EQ(AnimatorNextFrame(1, 3), 2);
  EXPECT_EQ(AnimatorNextFrame(2, 3), 0);
}

// The plan as text: "k:d" draw, "k:f" fill, "k:-" skip.
std::string Plan(const std::vector<TComposeFrame>& frames, int n) {
  std::string out;
  for (const TComposeStep& step : PlanComposition(frames, n, 10, 10)) {
    if (!out.empty()) out += ' ';
    out += std::to_string(step.Frame) + ':' + (step.Action == caDraw ? 'd' : step.Action == caFillBackground ? 'f' : '-');
  }
  return out;
}

TComposeFrame Full(int disposal) { return {disposal, 0, 0, 10, 10}; }
TComposeFrame Part(int disposal) { return {disposal, 2, 2, 4, 4}; }

TEST(GifAnimatorLogic, DisposalDecidesWhatLiesUnderAFrame) {
  // Kept frames build up; a restore-to-previous frame is never drawn under later ones.
  EXPECT_EQ(Plan({Full(1), Part(0), Part(3), Part(1)}, 3), "0:d 1:d 2:- 3:d");
  // A partial clear is filled with the background; it does not move the start.
  EXPECT_EQ(Plan({Full(1), Part(2), Part(1)}, 2), "0:d 1:f 2:d");
  // A full-screen clear before the target starts the composition there.
  EXPECT_EQ(Plan({Full(1), Part(1), Full(2), Part(1), Part(1)}, 4), "2:- 3:d 4:d");
  // The frame right before the target is the first one looked at.
  EXPECT_EQ(Plan({Full(1), Full(2), Part(1)}, 2), "1:- 2:d");
  // Frame 0 is never a start found by the search, whatever its disposal.
  EXPECT_EQ(Plan({Full(2), Part(1)}, 1), "0:- 1:d");
}

TEST(GifAnimatorLogic, TargetIsHeldToTheFrames) {
  const std::vector<TComposeFrame> frames = {Full(1), Part(1)};
  EXPECT_EQ(Plan(frames, 7), "0:d 1:d");
  EXPECT_EQ(Plan(frames, -1), "0:d");
  EXPECT_EQ(Plan({}, 0), "");
}

}  // namespace
