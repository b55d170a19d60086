// The statistics window's computations over ten years of three users with forty of 120
// programs a day: the week table, the chart's day bars, the detail list and the week table of
// a whole group, each over one month and over the whole ten years. The yardstick is reading
// the same file's bytes without looking at them; opening the file (read and index) is
// measured apart, since the window does it once per computation.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/statistic_charts.h"
#include "app/statistics.h"
#include "app/work_file.h"
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
