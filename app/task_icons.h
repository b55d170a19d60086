#pragma once
// The small program icons shown beside the tasks. Extracting icons from executables is
// slow, so a worker collects them into a set of its own; the window thread then publishes
// the names and the images together, so the windows never see a name whose image is not in
// place. What a stopped load found stays in the set and is not extracted again.
//
// The names are lines "path<TAB>" in a sorted list (case ignored, duplicates ignored); the
// index of a line is the index of its image. The icon itself is whatever the window side
// extracts; here it is only carried.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/string_list.h"

class TStrHolder;

// One extracted icon; the window side owns what it points to.
using TaskIcon = std::shared_ptr<void>;

// Where icons come from (the program files).
class TaskIconSource {
public:
  virtual ~TaskIconSource() = default;
  // How many icons the file holds; 0 for a file without icons or a path that does not exist.
  virtual int IconCount(const std::string& path) = 0;
  // The file's first small icon; empty when none could be made.
  virtual TaskIcon SmallIcon(const std::string& path) = 0;
};

// The names and images one load has gathered so far.
class TaskIconSet {
public:
  TaskIconSet();
  // The "path<TAB>" lines, sorted; line i names image i.
  const TStringList& Names() const { return names_; }
  const std::vector<TaskIcon>& Icons() const { return icons_; }
  int Count() const { return static_cast<int>(icons_.size()); }
  bool Contains(const std::string& path) const;
  // Adds the icon of path at its sorted place; a path already there is left as it is.
  void Add(const std::string& path, TaskIcon icon);
  void Clear();

private:
  TStringList names_;
  std::vector<TaskIcon> icons_;
};

// Goes through the task-list lines first to last and adds the icon of every path not yet in
// the set. A file without icons, a missing file or one whose icon cannot be made is skipped
// (and tried again by the next load). Stops before the next line once stopRequested answers
// true. Returns true when all lines were gone through.
bool CollectTaskIcons(const std::vector<std::string>& taskLines, TaskIconSet& set, TaskIconSource& source,
                      const std::function<bool()>& stopRequested);

// The image of a task in the statistics trees, whose image list holds its own images,
// then groupCount group pictures, then the task icons: -1 when iconNames has no icon for the
// path.
int TaskTreeImageIndex(const TStrHolder& iconNames, const std::string& path, int groupCount, int baseCount);
// The image of a task in the statistics list (the task icons alone), or -1.
int TaskListImageIndex(const TStrHolder& iconNames, const std::string& path);
