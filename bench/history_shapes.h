#pragma once
// Shapes of history other than the ten years of 120 programs, each made from a seed so that a
// benchmark and a test see the same files: a long task list (many lines in many groups, a few
// descriptions spelled in another case, a few programs listed twice) with years of days that
// use programs from all over it, and one day holding many distinct programs.

#include <cstdint>
#include <string>

#include "app/task_data.h"
#include "platform/rtl/date_time.h"

namespace bench {

struct HistoryShape {
  std::string name;
  std::string taskText;  // the task list file: path TAB description TAB group per line
  std::string workText;  // the work file
  std::string user;
  TDateTime today = 0;
  int days = 0;          // days of history, today the last
};

// A small generator of its own, so that the files are the same on every platform.
class ShapeRandom {
public:
  explicit ShapeRandom(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next(uint32_t below) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>((state_ >> 33) % below);
  }

private:
  uint64_t state_;
};

inline std::string ShapeClock(int seconds) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buffer;
}

inline std::string ShapePath(int program) {
  return "C:\\Apps\\Maker " + std::to_string(program % 97) + "\\Tool " + std::to_string(program) + "\\tool" +
         std::to_string(program) + ".exe";
}

// One section per day: its total and the programs' times that add up to it. A program is
// written in small letters now and then, as the tracker may have seen it spelled.
inline void AddShapeDay(HistoryShape& shape, int dayIndex, int programs, int perDay, ShapeRandom& random) {
  const TDateTime day = shape.today - (shape.days - 1 - dayIndex);
  std::string keys;
  int total = 0;
  for (int k = 0; k < perDay; ++k) {
    const int program = static_cast<int>(random.Next(static_cast<uint32_t>(programs)));
    std::string key = ShapePath(program);
    if (random.Next(10) == 0)
      for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const int seconds = 1 + static_cast<int>(random.Next(1800));
    total += seconds;
    keys += key + "=" + ShapeClock(seconds) + "\r\n";
  }
  shape.workText += "[" + WorkSectionName(shape.user, day) + "]\r\ntotal=" + ShapeClock(total) + "\r\n" + keys + "\r\n";
}

// lines task lines in 200 groups, about two lines per description (every sixteenth spelled
// in small letters, every fiftieth program listed a second time under another description,
// every hundredth line unlisted in group 0), and years of days with perDay programs a day.
inline HistoryShape LongTaskList(int lines, int years, int perDay, uint32_t seed) {
  HistoryShape shape;
  shape.name = std::to_string(lines) + " task lines";
  shape.user = "ann";
  shape.today = EncodeDate(2026, 12, 9);
  shape.days = years * 365;
  ShapeRandom random(seed);
  for (int i = 0; i < lines; ++i) {
    const int program = i % 50 == 49 ? i - 1 : i;
    std::string description = "Task " + std::to_string(i / 2);
    if (i % 32 == 1) description = "task " + std::to_string(i / 2);
    const int group = i % 100 == 7 ? 0 : 1 + static_cast<int>(random.Next(200));
    shape.taskText += ShapePath(program) + "\t" + description + "\t" + std::to_string(group) + "\r\n";
  }
  for (int d = 0; d < shape.days; ++d) AddShapeDay(shape, d, lines, perDay, random);
  return shape;
}

// One day (today) with programs distinct programs, each its own task line in 20 groups.
inline HistoryShape ManyProgramsOneDay(int programs, uint32_t seed) {
  HistoryShape shape;
  shape.name = "one day of " + std::to_string(programs) + " programs";
  shape.user = "ann";
  shape.today = EncodeDate(2026, 12, 9);
  shape.days = 1;
  ShapeRandom random(seed);
  std::string keys;
  int total = 0;
  for (int p = 0; p < programs; ++p) {
    shape.taskText +=
        ShapePath(p) + "\tProgram " + std::to_string(p) + "\t" + std::to_string(1 + p % 20) + "\r\n";
    const int seconds = 1 + static_cast<int>(random.Next(4));
    total += seconds;
    keys += ShapePath(p) + "=" + ShapeClock(seconds) + "\r\n";
  }
  shape.workText = "[" + WorkSectionName(shape.user, shape.today) + "]\r\ntotal=" + ShapeClock(total) + "\r\n" + keys;
  return shape;
}

}  // namespace bench
