#include "app/task_groups.h"

#include <algorithm>

#include "app/task_data.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

std::vector<TaskGroupNode> BuiltInGroupNodes() {
  return {{"Work", 1}, {"Internet", 2}, {"Games", 3}, {"System", 4}, {"Stuff", 5}, {".Hidden", 0}, {".Restricted", 6}};
}

void AddCustomGroups(std::vector<TaskGroupNode>& nodes, const std::vector<std::string>& lines) {
  const size_t count = std::min(lines.size(), static_cast<size_t>(MaxCustomGroups));
  for (size_t i = 0; i < count; ++i) {
    nodes.push_back({lines[i], 0});
    nodes.back().group = static_cast<int>(nodes.size()) - 1;
  }
}

std::string GroupNodeName(const std::vector<TaskGroupNode>& nodes, int group) {
  for (const TaskGroupNode& node : nodes)
    if (node.group == group) return node.name;
  return std::string();
}

int PickerNodeIndex(const std::vector<TaskGroupNode>& nodes, const std::string& groupCell) {
  const int group = StrToIntDef(groupCell, 0);
  int index = static_cast<int>(nodes.size()) - 1;
  for (size_t i = 0; i < nodes.size(); ++i)
    if (nodes[i].group == group) index = static_cast<int>(i);
  return index;
}

uint32_t CheckedGroupMask(const std::vector<bool>& checked) {
  uint32_t mask = 0;
  for (size_t i = 0; i < checked.size() && i < 32; ++i)
    if (checked[i]) mask |= uint32_t{1} << i;
  return mask;
}

bool ReadGroupFile(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  try {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    // Only the first lines name groups: the file is read no further than they go, so a
    // file of any size costs no more than those lines.
    std::string text;
    size_t pos = 0;
    bool atEnd = false;
    while (lines.size() < MaxCustomGroups) {
      size_t end = text.find_first_of("\r\n", pos);
      // A CR that ends what was read may be the first half of a CR LF.
      if (!atEnd && (end == std::string::npos || end + 1 == text.size())) {
        char chunk[65536];
        const int64_t got = file.Read(chunk, sizeof chunk);
        atEnd = got <= 0;
        text.erase(0, pos);
        pos = 0;
        text.append(chunk, static_cast<size_t>(std::max<int64_t>(got, 0)));
        continue;
      }
      if (end == std::string::npos) {
        if (pos < text.size()) lines.push_back(text.substr(pos));
        break;
      }
      lines.push_back(text.substr(pos, end - pos));
      pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
  } catch (...) {
    // A missing or unreadable file gives no custom groups.
    lines.clear();
    return false;
  }
  return true;
}

std::vector<TaskGridRow> TaskGridRows(const TStrings& taskList, const std::vector<int>& hiddenGroups) {
  std::vector<std::string> hidden;
  for (int group : hiddenGroups) hidden.push_back(IntToStr(group));
  std::vector<TaskGridRow> rows;
  rows.reserve(static_cast<size_t>(taskList.Count()));
  TaskGridRow row;
  for (int i = 0; i < taskList.Count(); ++i) {
    row.line = taskList.Strings(i);
    SplitTab3(row.line, row.path, row.description, row.group);
    if (row.group.empty() || std::find(hidden.begin(), hidden.end(), row.group) != hidden.end()) continue;
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {

std::string OneField(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return text;
}

// The line a row was made from, looked up by its text among the lines of its path (those
// lines stand together from the first one on), else anywhere (a locale may sort a line of
// another path between them); -1 when it is no longer there.
int OriginLine(const TStringList& taskList, const std::string& line, const std::string& linePath) {
  int index = 0;
  if (FindTask(taskList, linePath, index)) {
    std::string path, description, group;
    for (int i = index; i < taskList.Count(); ++i) {
      if (taskList.Strings(i) == line) return i;
      SplitTab3(taskList.Strings(i), path, description, group);
      if (AnsiCompareText(path, linePath) != 0) break;
    }
  }
  for (int i = 0; i < taskList.Count(); ++i)
    if (taskList.Strings(i) == line) return i;
  return -1;
}

}  // namespace

std::string ComposeTaskLine(const std::string& path, const std::string& description, const std::string& group) {
  return OneField(path) + "\t" + OneField(description) + "\t" + OneField(group);
}

int StoreTaskGridRows(TStringList& taskList, std::vector<TaskGridRow>& rows) {
  // The lines keep their places while they are replaced, so every search sees the sorted
  // order; sorting comes back at the end. A sorted list none of whose lines changed stays
  // as it is: sorting it again (a stable sort) would give the same order, but takes seconds
  // on a long list, and the options dialog stores the grid at every filter click.
  int replaced = 0;
  std::string path, description, group;
  for (TaskGridRow& row : rows) {
    if (row.line.empty()) continue;
    SplitTab3(row.line, path, description, group);
    if (path == row.path && description == row.description && group == row.group) continue;
    if (AnsiCompareText(path, row.path) != 0) continue;
    const int index = OriginLine(taskList, row.line, path);
    if (index < 0) continue;
    row.line = ComposeTaskLine(row.path, row.description, row.group);
    SplitTab3(row.line, row.path, row.description, row.group);
    taskList.SetSorted(false);
    taskList.SetStrings(index, row.line);
    ++replaced;
  }
  taskList.SetSorted(true);
  return replaced;
}

PickerButtonPlace GroupPickerButtonPlace(int cellTop, int cellRight, int cellBottom, int gridLeft, int gridTop,
                                         int buttonWidth) {
  return {cellRight + gridLeft + 3 - buttonWidth, cellTop + gridTop + 2, cellBottom + 1 - cellTop};
}
