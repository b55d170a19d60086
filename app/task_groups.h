#pragma once
// Task groups and the options dialog's task list: the group nodes (seven built-in groups,
// then up to eight custom ones read from hl20grp.txt), the group filter's mask, the rows of
// the task grid built from the task list, and the rows written back into it.
//
// A task's group is decimal text in the third field of its task-list line; a group number is
// also the index of its picture. Custom groups are positional: line 1 of the group file is
// group 7, line 2 group 8, and so on up to 14.

#include <cstdint>
#include <string>
#include <vector>

class TStringList;
class TStrings;

inline constexpr char GroupListFileName[] = "hl20grp.txt";
inline constexpr int BuiltInGroupCount = 7;
inline constexpr int MaxCustomGroups = 8;

// A node of the group tree: its name and the group number it stands for.
struct TaskGroupNode {
  std::string name;
  int group = 0;
};

// The built-in groups in the order the group tree lists them ("Work" first, the hidden and
// the restricted group last).
std::vector<TaskGroupNode> BuiltInGroupNodes();

// Adds the first eight lines as custom groups: each new node's group is the node count after
// it was added, minus one (with the built-in nodes present: 7, 8, ... 14).
void AddCustomGroups(std::vector<TaskGroupNode>& nodes, const std::vector<std::string>& lines);

// The name of the first node of that group; empty when there is none.
std::string GroupNodeName(const std::vector<TaskGroupNode>& nodes, int group);

// The node the group picker starts on for a group cell's text: the last node of that group
// (a text that is no number stands for group 0), else the last node. -1 without nodes.
int PickerNodeIndex(const std::vector<TaskGroupNode>& nodes, const std::string& groupCell);

// Bit i set when item i of the filter is checked, for the first 32 items.
uint32_t CheckedGroupMask(const std::vector<bool>& checked);

// ---- The group file -------------------------------------------------------------------

// Reads the lines of the group file that name groups, the first MaxCustomGroups (CR, LF and
// CR LF all end a line). False, with lines left empty, when it is missing or cannot be read. The group editor writes the file with
// TStrings::SaveToFile, which ends each line with CR LF and replaces the file in one step.
bool ReadGroupFile(const std::string& path, std::vector<std::string>& lines);

// ---- The task grid --------------------------------------------------------------------

struct TaskGridRow {
  std::string group;
  std::string path;
  std::string description;
  // The task-list line the row was made from; empty for a row made otherwise.
  std::string line;
};

// The rows of the task grid in task-list order: every line but those whose group field is
// empty or equals exactly (as text) the decimal number of a group the filter leaves out.
std::vector<TaskGridRow> TaskGridRows(const TStrings& taskList, const std::vector<int>& hiddenGroups);

// The task-list line of a row. TAB, CR and LF in its texts become blanks, so the line keeps
// its three fields and stays one line.
std::string ComposeTaskLine(const std::string& path, const std::string& description, const std::string& group);

// Writes the rows back into a task list in sorted order. Each row writes only onto the line
// it was made from (found by its text), so that of several lines with one path only the
// edited one changes: a row that still reads as its line leaves it untouched, byte for byte;
// a changed row whose path is still its line's path, in any letter case, replaces that line
// with the row's path, description and group. A row never writes over another line: a row
// whose path now names some other task, and a row without a line of its own (the grid's
// empty row), write nothing. Afterwards each row that wrote points at its line as now
// written, its texts as they were stored, so a later store in the same dialog finds it
// again. The list is sorted (again). Returns the number of lines replaced.
int StoreTaskGridRows(TStringList& taskList, std::vector<TaskGridRow>& rows);

// ---- Placing the group picker -----------------------------------------------------------

struct PickerButtonPlace {
  int left = 0;
  int top = 0;
  int height = 0;
};

// The picker button over the right end of a group cell (the cell's rectangle in the grid's
// coordinates, the grid's place on the form).
PickerButtonPlace GroupPickerButtonPlace(int cellTop, int cellRight, int cellBottom, int gridLeft, int gridTop,
                                         int buttonWidth);
