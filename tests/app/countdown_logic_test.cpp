#include "app/countdown_logic.h"

#include <gtest/gtest.h>

#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"

namespace {

constexpr TDateTime Minute = 1.0 / 24 / 60;

class CountdownTest : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings() = DefaultFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
  // 2026-12-09 at the given time.
  static TDateTime At(int hour, int minute, int second = 0) {
    return EncodeDate(2026, 12, 9) + EncodeTime(hour, minute, second, 0);
  }
};

TEST_F(CountdownTest, MinutesBetweenZeroAnd255StartACountdown) {
  const TDateTime now = At(10, 0, 30);
  TDateTime target = 0;
  ASSERT_TRUE(CountdownTarget({"", "", "1"}, now, target));
  // A whole minute, not zero: the division is done in floating point.
  EXPECT_NEAR(target - now, Minute, 1e-9);
  ASSERT_TRUE(CountdownTarget({"", "", "0"}, now, target));
  EXPECT_DOUBLE_EQ(target, now);
  ASSERT_TRUE(CountdownTarget({"", "", "255"}, now, target));
  EXPECT_NEAR(target - now, 255 * Minute, 1e-9);
  EXPECT_FALSE(CountdownTarget({"", "", "256"}, now, target));
  EXPECT_FALSE(CountdownTarget({"", "", "-5"}, now, target));
  EXPECT_FALSE(CountdownTarget({"", "", "ten"}, now, target));
  // Minutes win over a stale alarm time.
  ASSERT_TRUE(CountdownTarget({"7", "30", "2"}, now, target));
  EXPECT_NEAR(target - now, 2 * Minute, 1e-9);
}

TEST_F(CountdownTest, AlarmAtTheCurrentMinuteGoesOffTomorrow) {
  TDateTime target = 0;
  ASSERT_TRUE(CountdownTarget({"10", "15", ""}, At(10, 15, 40), target));
  EXPECT_DOUBLE_EQ(target, At(10, 15) + 1);
  ASSERT_TRUE(CountdownTarget({"10", "16", ""}, At(10, 15, 40), target));
  EXPECT_DOUBLE_EQ(target, At(10, 16));
  ASSERT_TRUE(CountdownTarget({"9", "59", ""}, At(10, 15), target));
  EXPECT_DOUBLE_EQ(target, At(9, 59) + 1);
  ASSERT_TRUE(CountdownTarget({"0", "0", ""}, At(23, 59, 59), target));
  EXPECT_DOUBLE_EQ(target, At(0, 0) + 1);
  EXPECT_FALSE(CountdownTarget({"24", "00", ""}, At(10, 0), target));
  EXPECT_FALSE(CountdownTarget({"12", "60", ""}, At(10, 0), target));
  EXPECT_FALSE(CountdownTarget({"ab", "10", ""}, At(10, 0), target));
}

TEST_F(CountdownTest, TypingChoosesTheModeAndEnablesStart) {
  EXPECT_EQ(ChooseCountdownMode({"7", "", "15"}, CountdownField::Hour).minutes, "");
  EXPECT_EQ(ChooseCountdownMode({"", "3", "15"}, CountdownField::Minute).minutes, "");
  const CountdownFields minutes = ChooseCountdownMode({"7", "30", "15"}, CountdownField::Minutes);
  EXPECT_EQ(minutes.hour, "");
  EXPECT_EQ(minutes.minute, "");
  EXPECT_EQ(minutes.minutes, "15");
  // Emptying a field clears nothing else.
  EXPECT_EQ(ChooseCountdownMode({"", "30", "15"}, CountdownField::Hour).minutes, "15");

  EXPECT_TRUE(CountdownCanStart(false, {"", "", "5"}));
  EXPECT_TRUE(CountdownCanStart(false, {"7", "30", ""}));
  EXPECT_FALSE(CountdownCanStart(false, {"7", "", ""}));
  EXPECT_FALSE(CountdownCanStart(true, {"", "", "5"}));
}

TEST_F(CountdownTest, HintAndMenuTexts) {
  EXPECT_EQ(CountdownHint(TrackingHintPart(true, "ann", "01:02:03"), "tea", "Count Down", "00:03:12"),
            "ann 01:02:03    tea 00:03:12");
  EXPECT_EQ(CountdownHint(TrackingHintPart(false, "ann", "01:02:03"), "", "Count Down", "00:00:59"),
            "    Count Down: 00:00:59");
  EXPECT_EQ(CountdownTimeCaption({"7", "5", ""}, "Count Down"), "Alarm at: 07:05");
  EXPECT_EQ(CountdownTimeCaption({"", "", "12"}, "Count Down"), "Count Down: 12");
  EXPECT_EQ(CountdownTimeCaption({"7", "", ""}, "Count Down"), "Choose time...");
}

TEST_F(CountdownTest, CycleCountsExpiresBlinksAndStops) {
  CountdownCycle cycle;
  EXPECT_EQ(cycle.OnTick(At(10, 0)), CountdownCycle::Tick::None);
  EXPECT_FALSE(cycle.TimerEnabled());
  EXPECT_FALSE(cycle.Start({"", "", "300"}, At(10, 0)));
  EXPECT_EQ(cycle.GetState(), CountdownCycle::State::Idle);

  ASSERT_TRUE(cycle.Start({"", "", "1"}, At(10, 0)));
  EXPECT_TRUE(cycle.Running());
  EXPECT_EQ(cycle.TimerInterval(), 1000u);
  EXPECT_EQ(cycle.OnTick(At(10, 0, 1)), CountdownCycle::Tick::Counting);
  EXPECT_EQ(cycle.TimeLeftText(At(10, 0, 1)), "00:00:59");
  EXPECT_EQ(cycle.OnTick(At(10, 1, 0)), CountdownCycle::Tick::Expired);
  EXPECT_EQ(cycle.TimeLeftText(At(10, 1, 1)), "");
  EXPECT_FALSE(cycle.Running());
  EXPECT_TRUE(cycle.TimerEnabled());
  EXPECT_EQ(cycle.TimerInterval(), 600u);
  EXPECT_EQ(cycle.OnTick(At(10, 1, 1)), CountdownCycle::Tick::Blink);
  cycle.Stop();
  EXPECT_FALSE(cycle.TimerEnabled());
  EXPECT_EQ(cycle.OnTick(At(10, 1, 2)), CountdownCycle::Tick::None);

  // Zero minutes are up at the first tick.
  ASSERT_TRUE(cycle.Start({"", "", "0"}, At(10, 0)));
  EXPECT_EQ(cycle.OnTick(At(10, 0)), CountdownCycle::Tick::Expired);

  EXPECT_EQ(CountdownBlinkText("", "tea", "Time is up!"), "tea");
  EXPECT_EQ(CountdownBlinkText("", "", "Time is up!"), "Time is up!");
  EXPECT_EQ(CountdownBlinkText("tea", "tea", "Time is up!"), "");
}

}  // namespace
