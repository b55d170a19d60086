#pragma once
// Shapes of history other than the ten years of 120 programs, each made from a seed so that a
// benchmark and a test see the same files: a long task list (many lines in many groups, a few
// descriptions spelled in another case, a few programs listed twice) with years of days that
// use programs from all over it, and one day holding many distinct programs.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

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

// A shape without files yet: ann's history of days days up to 2026-12-09.
inline HistoryShape NewShape(std::string name, int days) {
  HistoryShape shape;
  shape.name = std::move(name);
  shape.user = "ann";
  shape.today = EncodeDate(2026, 12, 9);
  shape.days = days;
  return shape;
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
  HistoryShape shape = NewShape(std::to_string(lines) + " task lines", years * 365);
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

// lines task lines whose descriptions share long beginnings and are spelled in mixed case (so
// that many lines differ only in case or only after their sixteenth byte), over programs a
// quarter as many (each listed several times, now and then in other case), in 30 groups (now
// and then the unlisted 0); and years of days with perDay of those programs a day.
inline HistoryShape MixedTaskList(int lines, int years, int perDay, uint32_t seed) {
  HistoryShape shape = NewShape(std::to_string(lines) + " mixed task lines", years * 365);
  ShapeRandom random(seed);
  const char* const stems[] = {"Quarterly report for the northern region", "Quarterly report for the southern region",
                               "Quarterly report", "Review", "Review of the plan"};
  auto flipSome = [&random](std::string text, uint32_t oneIn) {
    for (char& c : text)
      if (random.Next(oneIn) == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c = static_cast<char>(c ^ 0x20);
    return text;
  };
  const int programs = std::max(lines / 4, 1);
  for (int i = 0; i < lines; ++i) {
    std::string description = stems[random.Next(5)];
    if (random.Next(3) != 0) description += " " + std::to_string(random.Next(50));
    const std::string path = ShapePath(static_cast<int>(random.Next(static_cast<uint32_t>(programs))));
    const int group = random.Next(40) == 0 ? 0 : 1 + static_cast<int>(random.Next(30));
    shape.taskText += flipSome(path, 40) + "\t" + flipSome(description, 12) + "\t" + std::to_string(group) + "\r\n";
  }
  for (int d = 0; d < shape.days; ++d) AddShapeDay(shape, d, programs, perDay, random);
  return shape;
}

// One day (today) with programs distinct programs, each its own task line in 20 groups.
inline HistoryShape ManyProgramsOneDay(int programs, uint32_t seed) {
  HistoryShape shape = NewShape("one day of " + std::to_string(programs) + " programs", 1);
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
