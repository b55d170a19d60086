// The statistics window's computations over ten years of three users with forty of 120
// programs a day: the week table, the chart's day bars, the detail list and the week table of
// a whole group, each over one month and over the whole ten years. The yardstick is reading
// the same file's bytes without looking at them; opening the file (read and index) is
// measured apart, since the window does it once per computation.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/statistic_charts.h"
#include "app/statistics.h"
#include "app/work_file.h"
#include "bench/history_shapes.h"
#include "bench/work_file_generator.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"

namespace {

using namespace bench;

constexpr int MonthDays = 30;
constexpr int YearDays = 365;
constexpr int AllDays = Years * 365;

const StatTaskIndex& Index() {
  static const StatTaskIndex index = [] {
    TStringList lines;
    lines.SetText(TaskFile());
    StatTaskIndex built;
    built.Build(lines);
    return built;
  }();
  return index;
}

const WorkFile& Work() {
  static const WorkFile work(Files().workPath);
  return work;
}

WeekTableInput Range(int days, const std::string& key1, const std::string& key2) {
  WeekTableInput input;
  input.dateTo = Files().today;
  input.dateFrom = Files().today - (days - 1);
  input.user = Users[0];
  input.key1 = key1;
  input.key2 = key2;
  return input;
}

// The best of a few raw reads, taken right after the benchmark so both see the same machine.
double RawReadMs() {
  double best = 1e9;
  for (int i = 0; i < 10; ++i) {
    const auto start = std::chrono::steady_clock::now();
    TFileStream file(Files().workPath, fmOpenRead | fmShareDenyWrite);
    benchmark::DoNotOptimize(file.ReadRest());
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void Counters(benchmark::State& state) {
  state.counters["file_MB"] = static_cast<double>(Files().bytes.size()) / 1e6;
  state.counters["raw_read_ms"] = RawReadMs();
}

// Week table (and, with a comparison, the chart's bars) of one or two keys over days.
void WeekTableOf(benchmark::State& state, int days, const std::string& key1, const std::string& key2,
                 bool bars) {
  const WeekTableInput input = Range(days, key1, key2);
  Work();
  for (auto _ : state) {
    WeekTable week;
    week.Compute(input, Index(), Work());
    benchmark::DoNotOptimize(week.Total1());
    if (bars) benchmark::DoNotOptimize(DayBars(week).size());
  }
  Counters(state);
}

void DetailOf(benchmark::State& state, int days) {
  const WeekTableInput range = Range(days, TotalKey, NoneKey);
  const StatDetailInput input{range.user, range.dateFrom, range.dateTo};
  Work();
  for (auto _ : state) {
    StatDetail detail = GatherDetail(input, Index(), Work(), [] { return true; });
    benchmark::DoNotOptimize(detail.grandTotal);
  }
  Counters(state);
}

void BM_WeekTable_Description_10y(benchmark::State& state) { WeekTableOf(state, AllDays, "Product 3", NoneKey, false); }
void BM_WeekTable_Total_10y(benchmark::State& state) { WeekTableOf(state, AllDays, TotalKey, NoneKey, false); }
void BM_Chart_TwoDescriptions_10y(benchmark::State& state) { WeekTableOf(state, AllDays, "Product 3", "Product 7", true); }
void BM_Detail_1m(benchmark::State& state) { DetailOf(state, MonthDays); }
void BM_Detail_1y(benchmark::State& state) { DetailOf(state, YearDays); }
void BM_Detail_10y(benchmark::State& state) { DetailOf(state, AllDays); }
void BM_WeekTable_Group120_1m(benchmark::State& state) { WeekTableOf(state, MonthDays, "1", NoneKey, false); }
void BM_WeekTable_Group120_10y(benchmark::State& state) { WeekTableOf(state, AllDays, "1", NoneKey, false); }

// What a click on a page costs in the window: the file is opened (read and indexed) and the
// page computed. heap_x_file: the heap held then (the open file, the table and the detail
// list) against the file's size.
void BM_OpenAndCompute_Group120_10y(benchmark::State& state) {
  const WeekTableInput input = Range(AllDays, "1", NoneKey);
  size_t held = 0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    WorkFile work(Files().workPath);
    WeekTable week;
    week.Compute(input, Index(), work);
    StatDetail detail = GatherDetail({input.user, input.dateFrom, input.dateTo}, Index(), work);
    held = std::max(held, mallinfo2().uordblks - before);
    benchmark::DoNotOptimize(week.Total1() + detail.grandTotal);
  }
  Counters(state);
  state.counters["heap_x_file"] = static_cast<double>(held) / static_cast<double>(Files().bytes.size());
}

void BM_OpenWorkFile(benchmark::State& state) {
  for (auto _ : state) {
    WorkFile work(Files().workPath);
    benchmark::DoNotOptimize(&work);
  }
  Counters(state);
}

void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) {
    TFileStream file(Files().workPath, fmOpenRead | fmShareDenyWrite);
    benchmark::DoNotOptimize(file.ReadRest());
  }
  Counters(state);
}


// ---- Other shapes of history ----------------------------------------------------------------
// Each shape's files are written once; every computation is timed on its own (the best of at
// least five runs) and given as its ratio to the best raw read of the files it reads, taken
// right after it: x_raw for the work and task file, build_x_task for the task file alone.

struct ShapeFiles {
  explicit ShapeFiles(HistoryShape made) : shape(std::move(made)) {
    folder = std::filesystem::temp_directory_path() / ("hl_shape_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    taskPath = (folder / TaskFileName).string();
    workPath = (folder / WorkFileName).string();
    WriteFileAtomically(workPath, shape.workText);
    WriteFileAtomically(taskPath, shape.taskText);
    TStringList lines;
    lines.SetText(shape.taskText);
    index.Build(lines);
    work = std::make_unique<WorkFile>(workPath);
  }
  ~ShapeFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  size_t Bytes() const { return shape.workText.size() + shape.taskText.size(); }

  HistoryShape shape;
  std::filesystem::path folder;
  std::string taskPath, workPath;
  StatTaskIndex index;
  std::unique_ptr<WorkFile> work;
};

ShapeFiles& Shape(int which) {
  static std::unique_ptr<ShapeFiles> shapes[3];
  if (!shapes[which]) {
    shapes[which] = std::make_unique<ShapeFiles>(which == 0   ? LongTaskList(100000, 3, 40, 1)
                                                 : which == 1 ? LongTaskList(300000, 3, 40, 2)
                                                              : ManyProgramsOneDay(20000, 3));
  }
  return *shapes[which];
}

double ReadMs(const std::vector<std::string>& paths) {
  double best = 1e9;
  for (int i = 0; i < 10; ++i) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
      TFileStream file(path, fmOpenRead | fmShareDenyWrite);
      benchmark::DoNotOptimize(file.ReadRest());
    }
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Runs work once per iteration and reports the best time against the raw read of the shape's
// work and task file (and of the task file alone).
void Timed(benchmark::State& state, ShapeFiles& files, const std::function<void()>& work) {
  double best = 1e9;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  const double raw = ReadMs({files.workPath, files.taskPath});
  const double rawTask = ReadMs({files.taskPath});
  state.counters["best_ms"] = best;
  state.counters["raw_ms"] = raw;
  state.counters["x_raw"] = best / raw;
  state.counters["x_raw_task"] = best / rawTask;
  state.counters["files_MB"] = static_cast<double>(files.Bytes()) / 1e6;
}

StatDetailInput ShapeRange(const ShapeFiles& files, int days) {
  return {files.shape.user, files.shape.today - (days - 1), files.shape.today};
}

// kept: through a reader that has read the file before, as the window computes every page
// after its first one; else through a new reader, as the window's first computation.
void ShapeDetail(benchmark::State& state, int which, int days, bool kept = false) {
  ShapeFiles& files = Shape(which);
  const StatDetailInput input = ShapeRange(files, days);
  StatDayReader reader(*files.work);
  if (kept) GatherDetail(input, files.index, reader);
  Timed(state, files, [&] {
    benchmark::DoNotOptimize(kept ? GatherDetail(input, files.index, reader).grandTotal
                                  : GatherDetail(input, files.index, *files.work).grandTotal);
  });
}

void ShapeBuild(benchmark::State& state, int which) {
  ShapeFiles& files = Shape(which);
  TStringList lines;
  lines.SetText(files.shape.taskText);
  Timed(state, files, [&] {
    StatTaskIndex index;
    index.Build(lines);
    benchmark::DoNotOptimize(index.ByName().size());
  });
}

// The first task tree's nodes, as the window takes them when it opens.
void ShapeTree(benchmark::State& state, int which) {
  ShapeFiles& files = Shape(which);
  Timed(state, files, [&] {
    benchmark::DoNotOptimize(files.index.Tree(false, [](int group) { return std::to_string(group); }).size());
  });
}

// The heap a detail list holds at its peak (the file read, the task index and the list being
// gathered) against the size of the work and task file.
void ShapeDetailMemory(benchmark::State& state, int which) {
  ShapeFiles& files = Shape(which);
  const StatDetailInput input = ShapeRange(files, files.shape.days);
  TStringList lines;
  lines.SetText(files.shape.taskText);
  size_t peak = 0;
  Timed(state, files, [&] {
    const size_t before = mallinfo2().uordblks;
    auto sample = [&] { peak = std::max(peak, mallinfo2().uordblks - before); };
    {
      WorkFile work(files.workPath);
      StatTaskIndex index;
      index.Build(lines);
      int steps = 0;
      StatDetail detail = GatherDetail(input, index, work, [&] {
        if (++steps % 4096 == 0) sample();
        return true;
      });
      sample();
      benchmark::DoNotOptimize(detail.grandTotal);
    }
  });
  state.counters["heap_x_files"] = static_cast<double>(peak) / static_cast<double>(files.Bytes());
}

void ShapeWeek(benchmark::State& state, int which, int days, const std::string& key1, const std::string& key2,
               bool kept = false) {
  ShapeFiles& files = Shape(which);
  WeekTableInput input;
  input.dateTo = files.shape.today;
  input.dateFrom = files.shape.today - (days - 1);
  input.user = files.shape.user;
  input.key1 = key1;
  input.key2 = key2;
  StatDayReader reader(*files.work);
  if (kept) WeekTable().Compute(input, files.index, reader);
  Timed(state, files, [&] {
    WeekTable week;
    if (kept) week.Compute(input, files.index, reader);
    else week.Compute(input, files.index, *files.work);
    benchmark::DoNotOptimize(week.Total1() + DayBars(week).size());
  });
}

void BM_Long100k_Build(benchmark::State& state) { ShapeBuild(state, 0); }
void BM_Long100k_Detail_1m(benchmark::State& state) { ShapeDetail(state, 0, MonthDays); }
void BM_Long100k_Detail_3y(benchmark::State& state) { ShapeDetail(state, 0, 3 * YearDays); }
void BM_Long100k_DetailMemory_3y(benchmark::State& state) { ShapeDetailMemory(state, 0); }
void BM_Long100k_WeekTable_Group_3y(benchmark::State& state) { ShapeWeek(state, 0, 3 * YearDays, "17", "Task 4711"); }
void BM_Long300k_Build(benchmark::State& state) { ShapeBuild(state, 1); }
void BM_Long300k_Tree(benchmark::State& state) { ShapeTree(state, 1); }
void BM_Long300k_Detail_1m(benchmark::State& state) { ShapeDetail(state, 1, MonthDays); }
void BM_Long300k_Detail_3y(benchmark::State& state) { ShapeDetail(state, 1, 3 * YearDays); }
void BM_Long300k_DetailMemory_3y(benchmark::State& state) { ShapeDetailMemory(state, 1); }
void BM_Long300k_WeekTable_Group_3y(benchmark::State& state) { ShapeWeek(state, 1, 3 * YearDays, "17", "Task 4711"); }
void BM_Programs20k_WeekTable_Description_1d(benchmark::State& state) { ShapeWeek(state, 2, 1, "Program 7", NoneKey); }
void BM_Programs20k_WeekTable_Group_1m(benchmark::State& state) { ShapeWeek(state, 2, MonthDays, "3", NoneKey); }
void BM_Programs20k_Chart_TwoDescriptions_1m(benchmark::State& state) { ShapeWeek(state, 2, MonthDays, "Program 7", "Program 9"); }
void BM_Programs20k_Detail_1m(benchmark::State& state) { ShapeDetail(state, 2, MonthDays); }
void BM_Long100k_Detail_3y_Kept(benchmark::State& state) { ShapeDetail(state, 0, 3 * YearDays, true); }
void BM_Long300k_Detail_3y_Kept(benchmark::State& state) { ShapeDetail(state, 1, 3 * YearDays, true); }
void BM_Programs20k_WeekTable_Description_1d_Kept(benchmark::State& state) { ShapeWeek(state, 2, 1, "Program 7", NoneKey, true); }
void BM_Programs20k_Chart_TwoDescriptions_1m_Kept(benchmark::State& state) { ShapeWeek(state, 2, MonthDays, "Program 7", "Program 9", true); }
void BM_Programs20k_Detail_1m_Kept(benchmark::State& state) { ShapeDetail(state, 2, MonthDays, true); }

}  // namespace

// Five runs each; HL_BENCH_RUNS asks for more, for a profiler to see past the files' making.
static int ShapeRuns() {
  const char* runs = std::getenv("HL_BENCH_RUNS");
  return runs != nullptr && std::atoi(runs) > 0 ? std::atoi(runs) : 5;
}
#define SHAPE_BENCHMARK(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->Iterations(ShapeRuns())
SHAPE_BENCHMARK(BM_Long100k_Build);
SHAPE_BENCHMARK(BM_Long100k_Detail_1m);
SHAPE_BENCHMARK(BM_Long100k_Detail_3y);
SHAPE_BENCHMARK(BM_Long100k_DetailMemory_3y);
SHAPE_BENCHMARK(BM_Long100k_WeekTable_Group_3y);
SHAPE_BENCHMARK(BM_Long300k_Build);
SHAPE_BENCHMARK(BM_Long300k_Tree);
SHAPE_BENCHMARK(BM_Long300k_Detail_1m);
SHAPE_BENCHMARK(BM_Long300k_Detail_3y);
SHAPE_BENCHMARK(BM_Long300k_DetailMemory_3y);
SHAPE_BENCHMARK(BM_Long300k_WeekTable_Group_3y);
SHAPE_BENCHMARK(BM_Programs20k_WeekTable_Description_1d);
SHAPE_BENCHMARK(BM_Programs20k_WeekTable_Group_1m);
SHAPE_BENCHMARK(BM_Programs20k_Chart_TwoDescriptions_1m);
SHAPE_BENCHMARK(BM_Programs20k_Detail_1m);
SHAPE_BENCHMARK(BM_Long100k_Detail_3y_Kept);
SHAPE_BENCHMARK(BM_Long300k_Detail_3y_Kept);
SHAPE_BENCHMARK(BM_Programs20k_WeekTable_Description_1d_Kept);
SHAPE_BENCHMARK(BM_Programs20k_Chart_TwoDescriptions_1m_Kept);
SHAPE_BENCHMARK(BM_Programs20k_Detail_1m_Kept);

namespace {
}  // namespace

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWorkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekTable_Description_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekTable_Total_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chart_TwoDescriptions_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detail_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detail_1y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detail_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekTable_Group120_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekTable_Group120_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCompute_Group120_10y)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->Name("BM_RawRead_again");

int main(int argc, char** argv) {
  // The files and the task index are made before any benchmark runs.
  Index();
  Work();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
