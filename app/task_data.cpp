#include "app/task_data.h"

#include "app/work_file.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "kit/str_holder.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// The text before the first TAB; a line without TAB has an empty key.
std::string TaskKey(const std::string& line) {
  const size_t tab = line.find('\t');
  return tab == std::string::npos ? std::string() : line.substr(0, tab);
}

std::string TwoDigits(int64_t value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

// Hours (whole days folded in), minutes and, when wanted, seconds of a span; seconds are cut
// after rounding to the millisecond, as decoding a time does.
std::string FormatSpan(TDateTime span, bool withSeconds) {
  // Also refuses NaN, and spans too long to count in milliseconds.
  if (!(span >= 0) || span > 1e9) return std::string();
  const auto ms = static_cast<int64_t>(std::llround(span * MSecsPerDay));
  const int64_t seconds = ms / 1000;
  const char separator = FormatSettings().TimeSeparator;
  std::string text = TwoDigits(seconds / 3600) + separator + TwoDigits(seconds / 60 % 60);
  if (withSeconds) text += separator + TwoDigits(seconds % 60);
  return text;
}

// The whole file, or nothing when it does not exist; raises when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& fileName) {
  if (!FileExists(fileName)) return std::nullopt;
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  return file.ReadRest();
}

}  // namespace

void SplitTab3(std::string_view line, std::string_view& path, std::string_view& description,
               std::string_view& group) {
  path = description = std::string_view();
  const size_t first = line.find('\t');
  if (first == std::string_view::npos) {
    group = line;
    return;
  }
  path = line.substr(0, first);
  const size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) {
    group = line.substr(first + 1);
    return;
  }
  description = line.substr(first + 1, second - first - 1);
  group = line.substr(second + 1);
}

void SplitTab3(const std::string& line, std::string& path, std::string& description,
               std::string& group) {
  std::string_view p, d, g;
  SplitTab3(line, p, d, g);
  std::string groupText(g);
  path = p;
  description = d;
  group = std::move(groupText);
}

bool FindTask(const TStringList& list, const std::string& key, int& index) {
  int low = 0;
  int high = list.Count() - 1;
  int hit = -1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int compared = AnsiCompareText(TaskKey(list.Strings(middle)), key);
    if (compared < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (compared == 0) {
        hit = middle;
        // With duplicates accepted the search goes on to the left to the first such line.
        if (list.Duplicates() != dupAccept) break;
      }
    }
  }
  if (hit >= 0) {
    index = hit;
    return true;
  }
  index = low;
  // The list is sorted by whole lines, and the locale's comparison can order two lines
  // differently from their keys (a TAB weighs more than a blank, hyphens count last). A key
  // the search missed is looked for line by line before it is taken as new, so a known
  // program never gets a second line.
  for (int i = 0; i < list.Count(); ++i) {
    if (AnsiCompareText(TaskKey(list.Strings(i)), key) == 0) {
      index = i;
      return true;
    }
  }
  return false;
}

bool FindTask(const TStrHolder& holder, const std::string& key, int& index) {
  return FindTask(*holder.Strings(), key, index);
}

std::string BuildBlockedList(const TStrings& taskList) {
  std::string blocked;
  std::string path, description, group;
  for (int i = 0; i < taskList.Count(); ++i) {
    SplitTab3(taskList.Strings(i), path, description, group);
    if (group == BlockedGroup) blocked = path + ";" + blocked;
  }
  return blocked;
}

std::string FormatElapsed(TDateTime span) { return FormatSpan(span, true); }

std::string FormatElapsedShort(TDateTime span) { return FormatSpan(span, false); }

std::string FormatElapsedShortOrBlank(TDateTime span) {
  return span > 0 ? FormatElapsedShort(span) : std::string();
}

bool TryStrToStoredTime(const std::string& text, TDateTime& value) {
  if (TryStrToTime(text, value)) return true;
  if (FormatSettings().TimeSeparator == ':') return false;
  TFormatSettings colon = FormatSettings();
  colon.TimeSeparator = ':';
  return TryStrToTime(text, value, colon);
}

std::string DayLinePath(const std::string& line) {
  const size_t eq = line.rfind('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string DayLineValue(const std::string& line) {
  const size_t eq = line.rfind('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int FindDayLine(const TStrings& dayList, const std::string& path) {
  for (int i = 0; i < dayList.Count(); ++i) {
    const std::string line = dayList.Strings(i);
    if (line.rfind('=') != std::string::npos && AnsiSameText(DayLinePath(line), path)) return i;
  }
  return -1;
}

std::string WorkSectionName(const std::string& userName, TDateTime date) {
  int year, month, day;
  DecodeDate(date, year, month, day);
  return userName + "\t" + std::to_string(year) + "_" + std::to_string(month) + "_" +
         std::to_string(day);
}

void ReadUserList(const std::string& workPath, TStrings& users) {
  for (const std::string& section : WorkFile(workPath).SectionNames()) {
    const std::string user = TaskKey(section);
    if (!user.empty() && users.IndexOf(user) < 0) users.Add(user);
  }
}

std::string ReadWorkDay(const std::string& workPath, const std::string& section,
                        TStrings& dayList) {
  WorkFile work(workPath);
  work.ReadSectionValues(section, dayList);
  return work.ReadString(section, TotalKey, "0");
}

bool LoadTaskList(TStrings& taskList, const std::string& fileName) {
  try {
    const std::optional<std::string> text = ReadWholeFile(fileName);
    // Not value_or: that copies a task list of any size once more.
    static const std::string none;
    taskList.SetText(text ? *text : none);
    return true;
  } catch (const Exception&) {
    taskList.Clear();
    return false;
  }
}

void SaveTrackedDay(const TStrings* taskList, const std::string& taskPath,
                    const std::string& workPath, const std::string& section,
                    const std::string& totalText, const TStrings& dayList) {
  // Everything that can fail without touching a file comes first.
  WorkFile work(workPath);
  work.WriteString(section, TotalKey, totalText);
  for (int i = 0; i < dayList.Count(); ++i) {
    const std::string line = dayList.Strings(i);
    const size_t eq = line.rfind('=');
    if (eq != std::string::npos) work.WriteString(section, line.substr(0, eq), line.substr(eq + 1));
  }
  work.WriteString(section, TotalKey, totalText);

  if (taskList == nullptr) {
    work.UpdateFile();
    return;
  }
  const std::optional<std::string> oldTasks = ReadWholeFile(taskPath);
  taskList->SaveToFile(taskPath);
  try {
    work.UpdateFile();
  } catch (...) {
    // A failed save leaves both files as they were: the task list goes back, as far as the
    // disk lets it.
    try {
      if (oldTasks)
        WriteFileAtomically(taskPath, *oldTasks);
      else
        DeleteFile(taskPath);
    } catch (const Exception&) {
    }
    throw;
  }
}
