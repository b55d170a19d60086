#pragma once
// The work file at its realistic worst, for the benchmarks: ten years of three users with
// forty of 120 programs a day, and the task list of those programs (all in group 1).

#include <filesystem>
#include <random>
#include <string>

#include "app/task_data.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/file_replace.h"

namespace bench {

inline constexpr int Years = 10;
inline constexpr int TasksPerDay = 40;
inline const char* const Users[] = {"ann", "bob", "carl"};

inline std::string TaskPath(int task) {
  return "C:\\Program Files\\Vendor " + std::to_string(task % 7) + "\\Product " +
         std::to_string(task) + "\\app" + std::to_string(task) + ".exe";
}

// The work file: one section per user and day, oldest first, today's last. Each section holds
// its total and forty program times that add up to it.
inline std::string GenerateWorkFile(TDateTime today) {
  std::string text;
  const int days = Years * 365;
  for (int d = days - 1; d >= 0; --d) {
    for (int u = 0; u < 3; ++u) {
      if (!text.empty()) text += "\r\n";
      text += "[" + WorkSectionName(Users[u], today - d) + "]\r\n";
      int totalSeconds = 0;
      std::string keys;
      for (int t = 0; t < TasksPerDay; ++t) {
        const int seconds = 30 + (d * 7 + u * 13 + t * 31) % 900;
        totalSeconds += seconds;
        keys += TaskPath((t + d + u) % 120) + "=" + FormatElapsed(seconds / 86400.0) + "\r\n";
      }
      text += "total=" + FormatElapsed(totalSeconds / 86400.0) + "\r\n" + keys;
    }
  }
  return text;
}

inline std::string TaskFile() {
  std::string text;
  for (int t = 0; t < 120; ++t) text += TaskPath(t) + "\tProduct " + std::to_string(t) + "\t1\r\n";
  return text;
}

// The generated files in a folder of their own, made once for all benchmarks.
struct Fixture {
  Fixture() {
    // A folder of its own per run, so that two benchmarks can run side by side.
    folder = std::filesystem::temp_directory_path() / ("hl_bench_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    taskPath = (folder / TaskFileName).string();
    workPath = (folder / WorkFileName).string();
    today = Date() + 0.5;
    bytes = GenerateWorkFile(today);
    WriteFileAtomically(workPath, bytes);
    WriteFileAtomically(taskPath, TaskFile());
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::filesystem::path folder;
  std::string taskPath, workPath, bytes;
  TDateTime today;
};

inline Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

}  // namespace bench
