// The tracking engine on the system's clocks: the steady clock runs with the wall clock
// while nobody changes it, and a tracked second is charged as one.

#include "platform/rtl/win/windows_api.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/task_data.h"
#include "app/tracking_engine.h"
#include "kit/str_holder.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "tests/app/tracking_fakes.h"
#include "tests/rtl/file_fixtures.h"

TEST(SystemTrackingClock, TracksRealSecondsOnTheSteadyClock) {
  FormatSettings() = DefaultFormatSettings();
  SystemTrackingClock clock;
  TempFolder folder;
  FixedProbe probe;
  QuietTrackingHost host;
  TStrHolder taskList(nullptr), dayList(nullptr), users(nullptr);
  TrackingEngine engine(clock, probe, host, taskList, dayList, users);
  engine.SetTaskPath(folder.File(TaskFileName));
  engine.SetWorkPath(folder.File(WorkFileName));
  engine.InitTrackingState();
  engine.SetUserName("ann");

  const TDateTime wallStart = clock.Now();
  const int64_t steadyStart = clock.Ticks();
  engine.Start();
  // The first sample after a quarter second, then about two seconds in front.
  auto waitUntil = [&](double seconds) {
    while (clock.Ticks() - steadyStart < static_cast<int64_t>(seconds * TicksPerSecond)) Sleep(10);
  };
  waitUntil(0.25);
  engine.AccountTick(false);
  waitUntil(2.3);
  engine.Stop();
  const double steady = static_cast<double>(clock.Ticks() - steadyStart) / TicksPerSecond;
  const double wall = (clock.Now() - wallStart) * SecsPerDay;
  EXPECT_NEAR(steady, wall, 0.1);

  TStringList values;
  const std::string total = ReadWorkDay(folder.File(WorkFileName), WorkSectionName("ann", engine.Day()), values);
  int h = -1, m = -1, s = -1;
  ASSERT_EQ(std::sscanf(total.c_str(), "%d:%d:%d", &h, &m, &s), 3) << total;
  EXPECT_NEAR(h * 3600 + m * 60 + s, steady, 1.0) << total;
  EXPECT_NE(values.IndexOfName("C:\\Apps\\Edit.exe"), -1);
  ResetFormatSettings();
}
