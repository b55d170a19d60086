// The cost of the tracker's work file at its realistic worst: ten years of three users with
// forty programs a day. Measures loading today's section, one forced save (read the whole
// file, update one section, write the task list and the work file atomically) and, as the
// yardstick, reading and writing the same bytes without looking at them.

#include <benchmark/benchmark.h>

#include <string>

#include "app/task_data.h"
#include "app/tracking_engine.h"
#include "bench/work_file_generator.h"
#include "kit/str_holder.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "tests/app/tracking_fakes.h"

namespace {

using namespace bench;

class Clock : public TrackingClock {
public:
  TDateTime Now() override { return now; }
  int64_t Ticks() override { return static_cast<int64_t>(now * SecsPerDay * TicksPerSecond); }
  TDateTime now = 0;
};

class Probe : public TrackingProbe {
public:
  std::string GetActiveTask() override { return TaskPath(3); }
  bool IsScreenSaverRunning() override { return false; }
  std::string ForegroundTitle() override { return "Product 3"; }
};

// An engine over the generated files, as the main window holds it.
struct Tracker {
  Tracker()
      : taskList(nullptr),
        dayList(nullptr),
        users(nullptr),
        engine(clock, probe, host, taskList, dayList, users) {
    taskList.SetSorted(true);
    taskList.SetDuplicates(dupAccept);
    users.SetSorted(true);
    clock.now = Files().today;
    engine.SetTaskPath(Files().taskPath);
    engine.SetWorkPath(Files().workPath);
    engine.LoadTaskList();
    engine.InitTrackingState();
  }

  Clock clock;
  Probe probe;
  QuietTrackingHost host;
  TStrHolder taskList, dayList, users;
  TrackingEngine engine;
};

void BM_LoadTodayTotals(benchmark::State& state) {
  Tracker tracker;
  tracker.engine.SetUserName("ann");
  for (auto _ : state) {
    tracker.engine.LoadTodayTotals();
    benchmark::DoNotOptimize(tracker.dayList.Strings()->Count());
  }
  state.counters["file_MB"] = static_cast<double>(Files().bytes.size()) / 1e6;
  state.counters["day_lines"] = tracker.dayList.Strings()->Count();
}

void BM_ForcedSave(benchmark::State& state) {
  Tracker tracker;
  tracker.engine.SetUserName("ann");
  tracker.engine.Start();
  for (auto _ : state) {
    tracker.clock.now += 1.0 / SecsPerDay;
    tracker.engine.AccountTick(true);
  }
}

void BM_UserList(benchmark::State& state) {
  for (auto _ : state) {
    TStringList users;
    users.SetSorted(true);
    ReadUserList(Files().workPath, users);
    benchmark::DoNotOptimize(users.Count());
  }
}

void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) {
    TFileStream file(Files().workPath, fmOpenRead | fmShareDenyWrite);
    benchmark::DoNotOptimize(file.ReadRest());
  }
}

void BM_RawReadWrite(benchmark::State& state) {
  for (auto _ : state) {
    std::string bytes;
    {
      TFileStream file(Files().workPath, fmOpenRead | fmShareDenyWrite);
      bytes = file.ReadRest();
    }
    WriteFileAtomically(Files().workPath, bytes);
  }
}

}  // namespace

BENCHMARK(BM_LoadTodayTotals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForcedSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UserList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReadWrite)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
