#include "app/tracking_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's count of the bytes allocated and not yet freed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#elif defined(_WIN32)
#include <malloc.h>
#endif

#include "app/statistics.h"
#include "app/task_data.h"
#include "app/work_file.h"
#include "kit/str_holder.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "tests/rtl/file_fixtures.h"
#include "tests/support/code_page_932.h"

namespace {

constexpr TDateTime Second = 1.0 / SecsPerDay;

// The wall clock and the steady clock, which Pass moves together.
class FakeClock : public TrackingClock {
public:
  TDateTime Now() override { return now; }
  int64_t Ticks() override { return ticks; }
  void Pass(double seconds) {
    now += seconds * Second;
    ticks += std::llround(seconds * TicksPerSecond);
  }
  TDateTime now = 0;
  int64_t ticks = 0;
};

class FakeProbe : public TrackingProbe {
public:
  std::string GetActiveTask() override { return ++samples, task; }
  bool IsScreenSaverRunning() override { return saver; }
  std::string ForegroundTitle() override { return title; }
  std::string task, title;
  bool saver = false;
  int samples = 0;
};

// Counts what the engine tells the window; its week-table repaint fails, which must not matter.
class FakeHost : public TrackingHost {
public:
  int SavePeriodMinutes() override { return 5; }
  bool CountdownRunning() override { return countdown; }
  void ShowDayTotal(const std::string& text) override { total = text; }
  void ShowTrayHint(const std::string& text) override { hint = text; }
  void TrackingChanged() override {}
  void TrackingStarted() override { ++starts; }
  void ScreenSaverStopsTracking() override {
    ++saverSounds;
    if (soundFails) throw Exception("Cannot play the sound");
  }
  void DaySaved() override { ++saves, throw Exception("repaint failed"); }
  void CheckReminders() override { ++reminders; }
  bool countdown = false;
  bool soundFails = false;
  std::string total, hint;
  int starts = 0, saverSounds = 0, saves = 0, reminders = 0;
};

const char* const Edit = "C:\\Apps\\Edit.exe";
const char* const Mail = "C:\\Apps\\Mail.exe";

class TrackingEngineTest : public ::testing::Test {
protected:
  TrackingEngineTest()
      : taskList(nullptr),
        dayList(nullptr),
        users(nullptr),
        engine(clock, probe, host, taskList, dayList, users) {
    FormatSettings() = DefaultFormatSettings();
    taskList.SetSorted(true);
    taskList.SetDuplicates(dupAccept);
    users.SetSorted(true);
    engine.SetTaskPath(taskFile);
    engine.SetWorkPath(workFile);
    // 5 March 2024, 10:00 and a quarter second, so that no tick falls on a whole second.
    clock.now = EncodeDate(2024, 3, 5) + EncodeTime(10, 0, 0, 250);
    engine.InitTrackingState();
  }
  ~TrackingEngineTest() override { ResetFormatSettings(); }

  void StartAs(const std::string& user) {
    engine.SetUserName(user);
    engine.Start();
  }
  // Runs the 500 ms timer for the given number of seconds.
  void Run(int seconds) {
    for (int i = 0; i < 2 * seconds; ++i) {
      clock.Pass(0.5);
      engine.TimerTick();
    }
  }
  std::string Day(const std::string& task) { return dayList.Strings()->Values(task); }
  std::string Work() const { return ReadBytes(workFile); }

  TempFolder folder;
  const std::string taskFile = folder.File(TaskFileName);
  const std::string workFile = folder.File(WorkFileName);
  FakeClock clock;
  FakeProbe probe;
  FakeHost host;
  TStrHolder taskList, dayList, users;
  TrackingEngine engine;
};

// Bytes the program holds on its heap now; -1 where that cannot be told.
long long HeapBytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#elif defined(_WIN32)
  long long used = 0;
  _HEAPINFO entry{};
  while (_heapwalk(&entry) == _HEAPOK)
    if (entry._useflag == _USEDENTRY) used += static_cast<long long>(entry._size);
  return used;
#else
  return -1;
#endif
}

// "hh:mm:ss" (hours past 23 allowed) in seconds; -1 when it is no such text.
long long TextSeconds(const std::string& text) {
  int h = 0, m = 0, s = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) != 3) return -1;
  return h * 3600LL + m * 60 + s;
}

}  // namespace

TEST_F(TrackingEngineTest, FirstTickAfterStartChargesTheStartToUnknownTask) {
  probe.task = Edit;
  probe.title = "Notes - Edit";
  StartAs("ann");
  EXPECT_TRUE(engine.Tracking());
  EXPECT_EQ(host.starts, 1);
  EXPECT_EQ(users.Strings()->Text(), "ann\r\n");
  Run(1);
  EXPECT_EQ(Day(UnknownTask), "00:00:01");
  EXPECT_EQ(engine.CurrentTask(), Edit);
  EXPECT_EQ(taskList.Strings()->Text(), std::string(Edit) + "\tNotes - Edit\t1\r\n");
  EXPECT_EQ(host.total, "00:00:01");
  EXPECT_EQ(host.hint, "ann 00:00:01");
  EXPECT_EQ(host.reminders, 1);
  // The program's time is charged when another one comes to the front.
  Run(9);
  EXPECT_EQ(Day(Edit), "");
  probe.task = Mail;
  probe.title = "";
  Run(1);
  EXPECT_EQ(Day(Edit), "00:00:10");
  // A program without a title is described by its file name, in group 0.
  EXPECT_EQ(taskList.Strings()->Strings(1), std::string(Mail) + "\tMail.exe\t0");
}

TEST_F(TrackingEngineTest, SwitchingProgramsChangesOnlyTheDayListUntilTheSavePeriod) {
  StartAs("ann");
  probe.task = Edit;
  Run(10);
  probe.task = Mail;
  Run(20);
  probe.task = Edit;
  Run(30);
  probe.task = "";  // nothing found in front
  Run(5);
  EXPECT_EQ(Day(Edit), "00:00:40");
  EXPECT_EQ(Day(Mail), "00:00:20");
  EXPECT_EQ(Day(UnknownTask), "00:00:01");
  EXPECT_EQ(engine.CurrentTask(), UnknownTask);
  EXPECT_FALSE(FileExists(workFile));
  EXPECT_FALSE(FileExists(taskFile));
  // unknown_task never enters the task list.
  EXPECT_EQ(taskList.Strings()->Count(), 2);

  Run(300 - 65 - 1);
  EXPECT_FALSE(FileExists(workFile));
  Run(1);  // the counter reaches 300 seconds exactly
  EXPECT_EQ(engine.HalfSecondCounter(), 0);
  EXPECT_EQ(host.saves, 1);  // and the repaint's failure was swallowed
  EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=00:05:00\r\nunknown_task=00:04:00\r\n"
                    "C:\\Apps\\Edit.exe=00:00:40\r\nC:\\Apps\\Mail.exe=00:00:20\r\n");
  EXPECT_NE(ReadBytes(taskFile).find("Mail.exe"), std::string::npos);
}

TEST_F(TrackingEngineTest, ACounterPastThePeriodWaitsForTheNextForcedSave) {
  engine.SetUserName("ann");
  Run(301);  // idle: the counter runs on
  engine.Start();
  probe.task = Edit;
  Run(600);
  EXPECT_FALSE(FileExists(workFile));
  engine.Stop();
  EXPECT_FALSE(engine.Tracking());
  EXPECT_EQ(engine.HalfSecondCounter(), 0);
  EXPECT_NE(Work().find("total=00:10:00"), std::string::npos);

  // After the forced save the period counts from zero again.
  engine.Start();
  Run(300);
  EXPECT_NE(Work().find("total=00:15:00"), std::string::npos);
  EXPECT_NE(Work().find("C:\\Apps\\Edit.exe=00:14:58"), std::string::npos);
}

TEST_F(TrackingEngineTest, MidnightClosesTheOldDayAndOpensTheNew) {
  clock.now = EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 50, 250);
  StartAs("ann");
  probe.task = Edit;
  Run(10);  // the tenth second is the first one past midnight
  EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=00:00:10\r\nunknown_task=00:00:01\r\n"
                    "C:\\Apps\\Edit.exe=00:00:09\r\n");
  EXPECT_EQ(engine.Day(), clock.now);
  EXPECT_EQ(dayList.Strings()->Count(), 0);
  EXPECT_EQ(engine.BaseTotal(), 0);
  EXPECT_EQ(engine.CurrentTask(), UnknownTask);
  Run(5);
  engine.Stop();
  EXPECT_NE(Work().find("[ann\t2024_3_6]\r\ntotal=00:00:05\r\nunknown_task=00:00:01\r\n"
                        "C:\\Apps\\Edit.exe=00:00:04\r\n"),
            std::string::npos);
}

TEST_F(TrackingEngineTest, TheStoredTotalIsReplacedByTheFreshOne) {
  WriteBytes(workFile, "[ann\t2024_3_5]\r\ntotal=01:00:00\r\nC:\\Apps\\Edit.exe=00:40:00\r\n"
                               "C:\\Apps\\Mail.exe=garbage\r\n");
  StartAs("ann");
  EXPECT_EQ(engine.BaseTotal(), 1.0 / 24);
  EXPECT_EQ(host.total, "01:00:00");
  probe.task = Edit;
  Run(1);
  clock.Pass(3599);
  probe.task = Mail;
  Run(1);
  probe.task = Edit;
  Run(5);  // an unreadable stored value counts as zero
  engine.Stop();
  EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=02:00:06\r\nC:\\Apps\\Edit.exe=01:40:04\r\n"
                    "C:\\Apps\\Mail.exe=00:00:01\r\nunknown_task=00:00:01\r\n");
}

// A language file changed the time separator after the day was stored with ":": the day's
// total and each program's time still count, and are written with the new separator.
TEST_F(TrackingEngineTest, TimesStoredWithAColonReadAfterTheSeparatorChanges) {
  WriteBytes(workFile, "[ann\t2024_3_5]\r\ntotal=01:00:00\r\nC:\\Apps\\Edit.exe=00:40:00\r\n");
  FormatSettings().TimeSeparator = '.';
  StartAs("ann");
  EXPECT_EQ(engine.BaseTotal(), 1.0 / 24);
  EXPECT_EQ(host.total, "01.00.00");
  probe.task = Edit;
  Run(60);
  engine.Stop();
  EXPECT_EQ(Day(Edit), "00.40.59");  // the first second went to the unknown task
}

TEST_F(TrackingEngineTest, WithoutAUserNameNothingIsTrackedOrLoaded) {
  dayList.Strings()->Add("kept=00:00:01");
  engine.SetUserName("");
  EXPECT_FALSE(engine.CanStart());
  engine.Start();
  EXPECT_FALSE(engine.Tracking());
  Run(10);
  engine.AccountTick(true);
  EXPECT_EQ(probe.samples, 0);
  EXPECT_EQ(dayList.Strings()->Text(), "kept=00:00:01\r\n");
  EXPECT_FALSE(FileExists(workFile));
  engine.SetUserName("bob");
  EXPECT_TRUE(engine.CanStart());
  EXPECT_EQ(dayList.Strings()->Count(), 0);
}

// Intervals are measured on the steady clock: setting the wall clock (daylight saving, the
// user) and a night asleep charge only the time that really passed, while the wall clock
// still decides the day and its section.
TEST_F(TrackingEngineTest, OnlyTimeThatPassedIsChargedWhateverTheWallClockDoes) {
  clock.now = EncodeDate(2024, 3, 5) + EncodeTime(21, 0, 0, 250);
  StartAs("ann");
  probe.task = Edit;
  Run(5);
  // Spring forward: the wall clock jumps an hour within one second.
  clock.now += 3600 * Second;
  clock.Pass(1);
  engine.SecondTick();
  EXPECT_EQ(host.total, "00:00:06");
  // Set back by two hours: nothing is taken off, the next seconds count as usual.
  clock.now -= 7200 * Second;
  Run(4);
  EXPECT_EQ(host.total, "00:00:10");
  // Asleep over night: the wall clock moves 8 hours past midnight, the steady one not at all.
  clock.now += 8 * 3600 * Second;
  engine.SecondTick();
  EXPECT_EQ(engine.Day(), clock.now);
  Run(3);
  engine.Stop();
  EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=00:00:10\r\nunknown_task=00:00:01\r\n"
                    "C:\\Apps\\Edit.exe=00:00:09\r\n\r\n"
                    "[ann\t2024_3_6]\r\ntotal=00:00:03\r\nunknown_task=00:00:01\r\n"
                    "C:\\Apps\\Edit.exe=00:00:02\r\n");
}

TEST_F(TrackingEngineTest, AFailedSaveKeepsTrackingAndTheDayInMemory) {
  WriteBytes(workFile, "[ann\t2024_3_5]\r\ntotal=00:30:00\r\n");
  StartAs("ann");
  probe.task = Edit;
  {
    FailingReplace diskFull;
    Run(299);
    clock.Pass(0.5);
    engine.TimerTick();
    clock.Pass(0.5);
    EXPECT_THROW(engine.TimerTick(), EWriteError);
    EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=00:30:00\r\n");
    EXPECT_FALSE(FileExists(taskFile));
    EXPECT_TRUE(engine.Tracking());
    EXPECT_EQ(Day(Edit), "00:04:59");
    // Stopping needs the save too: tracking goes on until the day is on disk.
    EXPECT_THROW(engine.Stop(), EWriteError);
    EXPECT_TRUE(engine.Tracking());
  }
  clock.Pass(60);
  engine.Stop();
  EXPECT_FALSE(engine.Tracking());
  EXPECT_EQ(Work(), "[ann\t2024_3_5]\r\ntotal=00:36:00\r\nunknown_task=00:00:01\r\n"
                    "C:\\Apps\\Edit.exe=00:05:59\r\n");
}

TEST_F(TrackingEngineTest, AScreenSaverPausesTracking) {
  probe.saver = true;
  engine.SetUserName("ann");
  Run(2);  // not tracking: the saver changes nothing
  EXPECT_EQ(host.saverSounds, 0);
  EXPECT_FALSE(engine.StoppedBySaver());

  probe.saver = false;
  engine.Start();
  probe.task = Edit;
  Run(5);
  probe.saver = true;
  clock.Pass(0.5);
  engine.TimerTick();
  EXPECT_EQ(host.saverSounds, 1);
  EXPECT_FALSE(engine.Tracking());
  EXPECT_TRUE(engine.StoppedBySaver());
  EXPECT_NE(Work().find("total=00:00:06"), std::string::npos);  // 5.5 s to the nearest second
  // While paused the probe is still asked, so it can see the saver end.
  const int samples = probe.samples;
  Run(3);
  EXPECT_EQ(probe.samples, samples + 3);
  EXPECT_EQ(host.saverSounds, 1);
  probe.saver = false;
  clock.Pass(0.5);
  engine.TimerTick();
  EXPECT_TRUE(engine.Tracking());
  EXPECT_FALSE(engine.StoppedBySaver());
  EXPECT_EQ(host.starts, 2);
}

TEST_F(TrackingEngineTest, ASaverSoundThatFailsStillPausesTracking) {
  host.soundFails = true;
  StartAs("ann");
  probe.task = Edit;
  Run(3);
  probe.saver = true;
  clock.Pass(0.5);
  engine.TimerTick();
  EXPECT_EQ(host.saverSounds, 1);
  EXPECT_FALSE(engine.Tracking());
  EXPECT_TRUE(engine.StoppedBySaver());
  probe.saver = false;
  clock.Pass(0.5);
  engine.TimerTick();
  EXPECT_TRUE(engine.Tracking());
}

TEST_F(TrackingEngineTest, NewTasksAreDescribedSafely) {
  StartAs("ann");
  taskList.Strings()->Add("C:\\Apps\\Known.exe\tMine\t6");
  probe.task = "c:\\apps\\KNOWN.exe";  // known, whatever the case
  probe.title = "Other title";
  Run(1);
  probe.task = Edit;
  probe.title = "Tab\there\r\nand lines" + std::string(400, 'x');
  Run(1);
  ASSERT_EQ(taskList.Strings()->Count(), 2);
  std::string path, description, group;
  SplitTab3(taskList.Strings()->Strings(0), path, description, group);
  EXPECT_EQ(path, Edit);
  EXPECT_EQ(description.size(), 256u);
  EXPECT_EQ(description.substr(0, 20), "Tab here  and linesx");
  EXPECT_EQ(group, "1");
  // The countdown owns the tray hint while it runs.
  host.countdown = true;
  host.hint = "countdown";
  Run(1);
  EXPECT_EQ(host.hint, "countdown");
  EXPECT_EQ(host.total, "00:00:03");
}

// A damaged day total counts as the sum of the section's readable program times; the next
// save writes a sound total and leaves every other line as it stood.
TEST_F(TrackingEngineTest, ADamagedTotalCountsAsTheProgramsTimesAndIsWrittenSoundly) {
  for (const std::string total : {"garbage", "30:00:00", ""}) {
    const std::string other = "[ann\t2024_3_4]\r\ntotal=garbage\r\n";
    WriteBytes(workFile, other + "[ann\t2024_3_5]\r\nC:\\Apps\\Edit.exe=00:40:00\r\ntotal=" + total +
                             "\r\nC:\\Apps\\Mail.exe=junk\r\nunknown_task=00:00:30\r\n");
    ASSERT_NO_THROW(engine.SetUserName("ann")) << total;
    EXPECT_EQ(host.total, "00:40:30") << total;
    engine.Start();
    ASSERT_TRUE(engine.Tracking());
    probe.task = Edit;
    Run(5);
    engine.Stop();
    EXPECT_EQ(Work(), other + "[ann\t2024_3_5]\r\nC:\\Apps\\Edit.exe=00:40:04\r\ntotal=00:40:35\r\n"
                              "C:\\Apps\\Mail.exe=junk\r\nunknown_task=00:00:31\r\n")
        << total;
  }
}

// Paths may hold "=", "[" and "]": each program keeps one line by its whole path, in the day
// list and in the file, its time grows over saves and reloads, and the statistics find it
// by the task list's path.
TEST_F(TrackingEngineTest, PathsWithEqualsAndBracketsKeepTheirTimeThroughSaves) {
  const std::vector<std::string> paths = {"Z:\\data\\eq=dir\\pt.exe", "Z:\\data\\[x]\\br.exe",
                                          "Z:\\a]=[b=\\both.exe"};
  StartAs("ann");
  for (int round = 0; round < 4; ++round) {
    for (const std::string& path : paths) {
      probe.task = path;
      probe.title = "Title of " + path;
      Run(2);
    }
    engine.Stop();
    engine.Start();
  }
  engine.Stop();
  const std::string section = WorkSectionName("ann", engine.Day());
  TStringList values;
  EXPECT_EQ(ReadWorkDay(workFile, section, values), "00:00:24");
  EXPECT_EQ(values.Count(), 2 + static_cast<int>(paths.size()));
  StatTaskIndex index;
  index.Build(*taskList.Strings());
  WorkFile work(workFile);
  for (const std::string& path : paths) {
    // Each round charges the first program 2 s, the second 2 s and the last 1 s.
    const int line = FindDayLine(values, path);
    ASSERT_GE(line, 0) << path;
    EXPECT_EQ(values.Strings(line), path + "=00:00:0" + (path == paths.back() ? "4" : "8"));
    EXPECT_EQ(index.SecondsOnDay(work, section, "Title of " + path), path == paths.back() ? 4 : 8) << path;
  }
  EXPECT_EQ(index.SecondsOnDay(work, section, TotalKey), 24);
}

// Fractions of a second are carried to the next charge of the same program: a thousand short
// periods, each started and stopped, add up to the tracked time.
TEST_F(TrackingEngineTest, AThousandShortPeriodsAddUpToTheTrackedTime) {
  const std::vector<std::string> programs = {Edit, Mail};
  std::mt19937 random(29003);
  std::uniform_real_distribution<double> length(0.1, 3.0), untilSample(0.0, 0.5);
  std::map<std::string, double> tracked;
  double all = 0;
  engine.SetUserName("ann");
  for (int period = 0; period < 1000; ++period) {
    probe.task = programs[random() % programs.size()];
    engine.Start();
    // The first sample finds the program; the time before it is the unknown task's.
    const double before = untilSample(random), inFront = length(random);
    clock.Pass(before);
    engine.AccountTick(false);
    clock.Pass(inFront);
    engine.Stop();
    tracked[UnknownTask] += before;
    tracked[probe.task] += inFront;
    all += before + inFront;
  }
  TStringList values;
  const long long total = TextSeconds(ReadWorkDay(workFile, WorkSectionName("ann", engine.Day()), values));
  EXPECT_NEAR(total, all, 1.0);
  double sum = 0;
  for (const auto& [key, seconds] : tracked) {
    const long long stored = TextSeconds(DayLineValue(values.Strings(FindDayLine(values, key))));
    // Each program's stored time is its tracked time rounded to the nearest second.
    EXPECT_NEAR(stored, seconds, 0.5 + 1e-6) << key;
    sum += stored;
  }
  EXPECT_NEAR(sum, all, 1.0);
}

// On a double-byte code page a new task's description keeps its characters whole, and a
// program without a window title is named after its whole file name.
class DoubleByteTrackingEngine : public TrackingEngineTest {
  CodePage932Scope codePage_;
};

TEST_F(DoubleByteTrackingEngine, NewTasksAreDescribedByWholeCharacters) {
  StartAs("ann");
  probe.task = "C:\\tool\\" CP932_HYO ".exe";
  Run(1);
  probe.task = Edit;
  probe.title = std::string(255, 'x') + CP932_PO;
  Run(1);
  ASSERT_EQ(taskList.Strings()->Count(), 2);
  EXPECT_EQ(std::string(Edit) + "\t" + std::string(255, 'x') + "\t1", taskList.Strings()->Strings(0));
  EXPECT_EQ("C:\\tool\\" CP932_HYO ".exe\t" CP932_HYO ".exe\t0", taskList.Strings()->Strings(1));
}

#ifdef _WIN32
TEST_F(TrackingEngineTest, ATaskFileThatCouldNotBeReadIsNotOverwritten) {
  WriteBytes(taskFile, "C:\\Apps\\Old.exe\tOld\t6\r\n");
  {
    TFileStream locked(taskFile, fmOpenRead | fmShareExclusive);
    engine.LoadTaskList();
  }
  EXPECT_EQ(taskList.Strings()->Count(), 0);
  StartAs("ann");
  probe.task = Edit;
  Run(2);
  engine.Stop();
  EXPECT_EQ(ReadBytes(taskFile), "C:\\Apps\\Old.exe\tOld\t6\r\n");
  EXPECT_NE(Work().find("Edit.exe=00:00:01"), std::string::npos);
}
#endif

// A week of tracking without a stop: programs change at random moments, the day's file is
// saved every five minutes and at each midnight, the reminders are asked every second. Each
// day's section must hold, to the second, the time each program was in front and a total
// that is their sum and the day's tracked time; and the engine must not take more memory
// after the first day, however long it runs.
TEST_F(TrackingEngineTest, AWeekOfTrackingAddsUpToTheSecondAndDoesNotGrow) {
  const std::vector<std::string> programs = {Edit, Mail, "C:\\Apps\\Calc.exe", "C:\\Apps\\Web.exe",
                                             "C:\\Apps\\Paint.exe", ""};
  std::mt19937 random(20240305);
  const TDateTime first = EncodeDate(2024, 3, 5);
  StartAs("ann");
  const TDateTime started = clock.now;
  long long halves = 0;
  // The model: each whole second is charged, in the day that held its beginning, to the
  // program sampled at the second before; a new day starts with "unknown_task".
  std::map<int, std::map<std::string, long long>> expected;
  std::string current = UnknownTask;
  std::string front = programs[0];
  long long untilChange = 1;
  int reminders = 0;
  std::vector<long long> heapAtMidnight;
  int day = 0;
  const long long seconds = 7LL * 24 * 3600;
  for (long long second = 1; second <= seconds; ++second) {
    if (--untilChange == 0) {
      front = programs[random() % programs.size()];
      untilChange = 1 + random() % 900;
    }
    probe.task = front;
    const int dayBefore = static_cast<int>(std::floor(clock.now + 1e-9)) - static_cast<int>(first);
    // The clock is set from the count of half seconds: adding half a second a million times
    // would let the fake clock itself drift by more than a second.
    for (int half = 0; half < 2; ++half) {
      clock.now = started + static_cast<double>(++halves) * 0.5 * Second;
      clock.ticks = halves * TicksPerSecond / 2;
      engine.TimerTick();
    }
    const int dayAfter = static_cast<int>(std::floor(clock.now + 1e-9)) - static_cast<int>(first);
    ++reminders;
    ++expected[dayBefore][current];
    current = dayAfter != dayBefore ? UnknownTask : (front.empty() ? UnknownTask : front);
    if (dayAfter != day) {
      day = dayAfter;
      heapAtMidnight.push_back(HeapBytesInUse());
    }
  }
  engine.Stop();
  EXPECT_EQ(host.reminders, reminders);
  EXPECT_GE(host.saves, 7 * 24 * 12);

  // Every day of the file against the model.
  TStringList values;
  long long tracked = 0;
  for (const auto& [index, charged] : expected) {
    const std::string section = WorkSectionName("ann", first + index);
    const long long total = TextSeconds(ReadWorkDay(workFile, section, values));
    long long sum = 0, modelled = 0;
    for (int i = 0; i < values.Count(); ++i) {
      const long long value = TextSeconds(values.ValueFromIndex(i));
      if (values.Names(i) == TotalKey) continue;
      const auto found = charged.find(values.Names(i));
      const long long want = found == charged.end() ? -1 : found->second;
      EXPECT_EQ(value, want) << section << " " << values.Strings(i);
      sum += value;
    }
    for (const auto& [program, count] : charged) modelled += count;
    EXPECT_EQ(sum, modelled) << section;
    EXPECT_EQ(total, modelled) << section;
    tracked += total;
  }
  EXPECT_EQ(expected.size(), 8u);  // the first afternoon, six whole days and the last morning
  EXPECT_EQ(tracked, seconds);

  ASSERT_EQ(heapAtMidnight.size(), 7u);
  if (heapAtMidnight[0] >= 0) {
    for (size_t i = 1; i < heapAtMidnight.size(); ++i)
      EXPECT_LE(heapAtMidnight[i], heapAtMidnight[0] + 16 * 1024) << "midnight " << i + 1;
  }
}
