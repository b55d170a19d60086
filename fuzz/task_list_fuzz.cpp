// Fuzz target for the task list (hl20task.txt) as the tracker and the options dialog use it:
// any bytes must load into the sorted list; every line's program must be found by its path;
// the grid rows built from it, with a filter taken from the input, must write back into the
// list and keep it sorted; and the list must save and load back to the same lines.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/task_data.h"
#include "app/task_groups.h"
#include "platform/rtl/string_list.h"

namespace {

std::string ScratchFile() {
  static const std::string name = "/tmp/hl-task-list-fuzz-" + std::to_string(getpid()) + ".txt";
  return name;
}

void WriteRaw(const std::string& name, const uint8_t* data, size_t size) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The list as the tracker keeps it, its comparison open to the checks.
struct TaskList : TStringList {
  TaskList() {
    SetDuplicates(dupAccept);
    SetSorted(true);
  }
  using TStringList::CompareStrings;
};

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  std::sort(lines.begin(), lines.end());
  return lines;
}

size_t Tabs(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += c == '\t';
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the groups the filter hides; the rest is the file.
  const uint8_t hide = size > 0 ? data[0] : 0;
  if (size > 0) ++data, --size;
  const std::string name = ScratchFile();
  WriteRaw(name, data, size);

  TaskList list;
  if (!LoadTaskList(list, name)) std::abort();  // an existing file always reads

  for (int i = 0; i < list.Count(); ++i) {
    std::string path, description, group;
    SplitTab3(list.Strings(i), path, description, group);
    const std::string key = Tabs(list.Strings(i)) == 0 ? std::string() : path;
    int index = -1;
    if (!FindTask(list, key, index) || index < 0 || index >= list.Count()) std::abort();
  }
  (void)BuildBlockedList(list);

  std::vector<int> hidden;
  for (int g = 0; g < 8; ++g)
    if (hide & (1u << g)) hidden.push_back(g);
  std::vector<TaskGridRow> rows = TaskGridRows(list, hidden);
  for (TaskGridRow& row : rows) {
    if (row.group.empty()) std::abort();  // an empty group is never shown
    row.description += "\tx\r\n";        // what a user may type into the cell
  }
  const int before = list.Count();
  const int stored = StoreTaskGridRows(list, rows);
  if (stored < 0 || stored > static_cast<int>(rows.size()) || list.Count() != before) std::abort();
  for (int i = 1; i < list.Count(); ++i)
    if (list.CompareStrings(list.Strings(i - 1), list.Strings(i)) > 0) std::abort();

  list.SaveToFile(name);
  TaskList again;
  if (!LoadTaskList(again, name)) std::abort();
  // Lines equal but for letter case may come back in another order, as sorted inserts place
  // a line before its equals; the lines themselves must all come back.
  if (Lines(again) != Lines(list)) std::abort();
  std::remove(name.c_str());
  return 0;
}
