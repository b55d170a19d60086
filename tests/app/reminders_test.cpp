#include "app/reminders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/task_data.h"
#include "app/tracking_engine.h"
#include "kit/str_holder.h"
#include "tests/app/tracking_fakes.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "tests/rtl/file_fixtures.h"

namespace {

constexpr TDateTime Second = 1.0 / SecsPerDay;

ReminderSettings BreaksEvery(double minutes) {
  ReminderSettings settings;
  settings.RemindEvery = true;
  settings.EveryMinutes = minutes;
  settings.EverySound = "break.wav";
  settings.EveryMessage = "Take a break";
  return settings;
}

ReminderSettings LimitOf(double hours, bool again, double againMinutes) {
  ReminderSettings settings;
  settings.RemindDone = true;
  settings.DoneHours = hours;
  settings.RemindDoneAgain = again;
  settings.DoneAgainMinutes = againMinutes;
  settings.DoneSound = "enough.wav";
  settings.DoneMessage = "You have worked enough";
  return settings;
}

// The worked seconds, 0 to 8 hours, on which a reminder falls.
std::vector<int> ReminderSeconds(const ReminderSettings& settings, ReminderKind kind) {
  std::vector<int> seconds;
  for (int s = 0; s <= 8 * 3600; ++s)
    if (DueReminder(s, settings) == kind) seconds.push_back(s);
  return seconds;
}

}  // namespace

TEST(DueReminderTest, BreaksFallOnWholePeriodsOfTheDaysWorkButNotAtItsStart) {
  const std::vector<int> every = ReminderSeconds(BreaksEvery(30), ReminderKind::Every);
  ASSERT_EQ(every.size(), 16u);
  EXPECT_EQ(every[0], 1800);
  EXPECT_EQ(every[1], 3600);
  EXPECT_EQ(every.back(), 8 * 3600);
  ReminderSettings off = BreaksEvery(30);
  off.RemindEvery = false;
  EXPECT_TRUE(ReminderSeconds(off, ReminderKind::Every).empty());
}

TEST(DueReminderTest, TheLimitFallsOnceOrAgainEveryPeriodAfterIt) {
  EXPECT_EQ(ReminderSeconds(LimitOf(6, false, 10), ReminderKind::Done), std::vector<int>{21600});
  EXPECT_EQ(ReminderSeconds(LimitOf(6, true, 10), ReminderKind::Done),
            (std::vector<int>{21600, 22200, 22800, 23400, 24000, 24600, 25200, 25800, 26400, 27000, 27600,
                              28200, 28800}));
  // The repeat needs the limit itself switched on.
  ReminderSettings againOnly = LimitOf(6, true, 10);
  againOnly.RemindDone = false;
  EXPECT_TRUE(ReminderSeconds(againOnly, ReminderKind::Done).empty());
}

TEST(DueReminderTest, TheLimitWinsASecondOnWhichBothFall) {
  ReminderSettings both = LimitOf(6, true, 10);
  both.RemindEvery = true;
  both.EveryMinutes = 30;
  EXPECT_EQ(DueReminder(21600, both), ReminderKind::Done);
  EXPECT_EQ(DueReminder(21600 - 1800, both), ReminderKind::Every);
  // 6:30 is a break time and a repeat of the limit.
  EXPECT_EQ(DueReminder(21600 + 1800, both), ReminderKind::Done);
}

TEST(DueReminderTest, PeriodsAreRoundedToWholeSecondsAndAZeroPeriodTurnsItsRuleOff) {
  // Halves go to the even second: 2.5 s is 2, 1.5 s is 2.
  EXPECT_EQ(ReminderSeconds(BreaksEvery(2.5 / 60), ReminderKind::Every).size(), 8u * 3600 / 2);
  EXPECT_EQ(ReminderSeconds(BreaksEvery(1.5 / 60), ReminderKind::Every).size(), 8u * 3600 / 2);
  // A period of nothing would divide by zero on every second; it means no reminder.
  EXPECT_TRUE(ReminderSeconds(BreaksEvery(0), ReminderKind::Every).empty());
  EXPECT_TRUE(ReminderSeconds(BreaksEvery(-5), ReminderKind::Every).empty());
  EXPECT_TRUE(ReminderSeconds(BreaksEvery(0.2 / 60), ReminderKind::Every).empty());
  EXPECT_EQ(ReminderSeconds(LimitOf(6, true, 0), ReminderKind::Done), std::vector<int>{21600});
  EXPECT_TRUE(ReminderSeconds(LimitOf(0, true, 10), ReminderKind::Done).empty());
}

TEST(WorkedSecondsTest, CountsWholeSecondsOfTheTimeOfDay) {
  // 1800 one-second steps add up to a little less than half an hour in floating point.
  TDateTime total = 0;
  for (int i = 0; i < 1800; ++i) total += Second;
  EXPECT_EQ(WorkedSeconds(total), 1800);
  EXPECT_EQ(WorkedSeconds(EncodeTime(6, 10, 0, 0)), 22200);
  EXPECT_EQ(WorkedSeconds(EncodeTime(6, 10, 0, 999)), 22200);
  // Whole days are dropped.
  EXPECT_EQ(WorkedSeconds(1 + EncodeTime(0, 30, 0, 0)), 1800);
}

namespace {

class FakeReminderHost : public ReminderHost {
public:
  bool SettingsPending() override { return pending; }
  ReminderSettings Settings() override { return settings; }
  void PlaySound(const std::string& fileName) override {
    sounds.push_back(fileName);
    if (soundFails) throw Exception("no sound device");
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }

  ReminderSettings settings;
  bool pending = false;
  bool soundFails = false;
  std::vector<std::string> sounds, messages;
};

}  // namespace

TEST(CheckRemindersTest, AFailingSoundStillShowsTheTextAndNothingComesWhileSettingsArePending) {
  FakeReminderHost host;
  host.settings = BreaksEvery(30);
  host.soundFails = true;
  EXPECT_NO_THROW(CheckReminders(host, EncodeTime(0, 30, 0, 0)));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Take a break"});
  host.pending = true;
  CheckReminders(host, EncodeTime(1, 0, 0, 0));
  EXPECT_EQ(host.sounds.size(), 1u);
  EXPECT_EQ(host.messages.size(), 1u);
}

namespace {

// The wall clock and the steady clock move together.
class FixedClock : public TrackingClock {
public:
  TDateTime Now() override { return now; }
  int64_t Ticks() override { return std::llround((now - EncodeDate(2024, 1, 1)) * SecsPerDay * TicksPerSecond); }
  TDateTime now = 0;
};

// A main window whose reminder check measures the day's work as the window does: the time
// since the day was loaded plus the total the work file held.
class RemindingHost : public QuietTrackingHost {
public:
  explicit RemindingHost(FakeReminderHost& reminders) : reminders_(reminders) {}
  void CheckReminders() override { ::CheckReminders(reminders_, engine->DayTotal()); }
  TrackingEngine* engine = nullptr;

private:
  FakeReminderHost& reminders_;
};

}  // namespace

TEST(CheckRemindersTest, BreaksCountTheDaysWorkNotTheTimeSinceTrackingStarted) {
  FormatSettings() = DefaultFormatSettings();
  TempFolder folder;
  WriteBytes(folder.File(WorkFileName), "[ann\t2024_3_5]\r\ntotal=00:29:50\r\n");
  FixedClock clock;
  clock.now = EncodeDate(2024, 3, 5) + EncodeTime(10, 0, 0, 250);
  FixedProbe probe;
  FakeReminderHost reminders;
  reminders.settings = BreaksEvery(30);
  RemindingHost host(reminders);
  TStrHolder taskList(nullptr), dayList(nullptr), users(nullptr);
  TrackingEngine engine(clock, probe, host, taskList, dayList, users);
  host.engine = &engine;
  engine.SetTaskPath(folder.File(TaskFileName));
  engine.SetWorkPath(folder.File(WorkFileName));
  engine.InitTrackingState();
  engine.SetUserName("ann");

  // The clock is computed from the count of half seconds, so that no rounding piles up.
  const TDateTime origin = clock.now;
  long long halves = 0;
  const auto run = [&](int seconds) {
    for (int i = 0; i < 2 * seconds; ++i) {
      clock.now = origin + static_cast<double>(++halves) * 0.5 * Second;
      engine.TimerTick();
    }
  };
  // Not tracking: no reminder, whatever the time.
  run(12);
  EXPECT_TRUE(reminders.messages.empty());
  engine.Start();
  run(9);
  EXPECT_TRUE(reminders.messages.empty());
  run(1);
  EXPECT_EQ(reminders.messages.size(), 1u);
  run(30 * 60 - 1);
  EXPECT_EQ(reminders.messages.size(), 1u);
  run(1);
  EXPECT_EQ(reminders.messages.size(), 2u);
  ResetFormatSettings();
}
