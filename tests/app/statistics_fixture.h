#pragma once
// Test support for the statistics: a generated work file (one section per user and day, the
// day's total and the time of each program) and a task list to go with it.

#include <map>
#include <string>

#include "app/task_data.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "tests/rtl/file_fixtures.h"

// Dates as "dd.mm.yyyy", times with ":", long times "hh:nn:ss", for the life of the object.
struct StatisticsFormat {
  StatisticsFormat() {
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    FormatSettings().DateSeparator = '.';
    FormatSettings().TimeSeparator = ':';
    FormatSettings().LongTimeFormat = "hh:nn:ss";
  }
  ~StatisticsFormat() { ResetFormatSettings(); }
};

// A task list from lines written "path|description|group".
inline void FillTaskList(TStrings& list, std::initializer_list<const char*> lines) {
  for (std::string line : lines) {
    for (char& c : line)
      if (c == '|') c = '\t';
    list.Add(line);
  }
}

class WorkFileMaker {
public:
  // Adds seconds of a program to a user's day; the day's total grows with it.
  void Add(const std::string& user, TDateTime day, const std::string& path, int seconds) {
    Day& entry = days_[WorkSectionName(user, day)];
    entry.programs[path] += seconds;
    entry.total += seconds;
  }
  // Writes the file; times as the tracker writes them ("hh:nn:ss").
  void Write(const std::string& fileName) const {
    std::string text;
    for (const auto& [section, day] : days_) {
      text += "[" + section + "]\r\n";
      text += "total=" + Clock(day.total) + "\r\n";
      for (const auto& [path, seconds] : day.programs) text += path + "=" + Clock(seconds) + "\r\n";
      text += "\r\n";
    }
    WriteBytes(fileName, text);
  }
  static std::string Clock(int seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
  }

private:
  struct Day {
    int total = 0;
    std::map<std::string, int> programs;
  };
  std::map<std::string, Day> days_;
};
