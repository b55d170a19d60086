#include "app/task_icons.h"

#include "app/task_data.h"
#include "kit/str_holder.h"

TaskIconSet::TaskIconSet() {
  names_.SetSorted(true);
  names_.SetDuplicates(dupIgnore);
}

bool TaskIconSet::Contains(const std::string& path) const {
  int index;
  return FindTask(names_, path, index);
}

void TaskIconSet::Add(const std::string& path, TaskIcon icon) {
  // The line's place is found first and the image goes in before the name, so that no name
  // is ever left without its image.
  const std::string line = path + "\t";
  int index;
  if (names_.Find(line, index)) return;
  icons_.insert(icons_.begin() + index, std::move(icon));
  try {
    names_.Add(line);
  } catch (...) {
    icons_.erase(icons_.begin() + index);
    throw;
  }
}

void TaskIconSet::Clear() {
  names_.Clear();
  icons_.clear();
}

bool CollectTaskIcons(const std::vector<std::string>& taskLines, TaskIconSet& set, TaskIconSource& source,
                      const std::function<bool()>& stopRequested) {
  for (const std::string& line : taskLines) {
    if (stopRequested && stopRequested()) return false;
    std::string path, description, group;
    SplitTab3(line, path, description, group);
    if (set.Contains(path)) continue;
    try {
      if (source.IconCount(path) <= 0) continue;
      TaskIcon icon = source.SmallIcon(path);
      if (icon) set.Add(path, std::move(icon));
    } catch (...) {
      // A file that cannot be read as a program keeps no icon.
    }
  }
  return true;
}

int TaskListImageIndex(const TStrHolder& iconNames, const std::string& path) {
  int index;
  return FindTask(iconNames, path, index) ? index : -1;
}

int TaskTreeImageIndex(const TStrHolder& iconNames, const std::string& path, int groupCount, int baseCount) {
  const int index = TaskListImageIndex(iconNames, path);
  return index < 0 ? -1 : groupCount + index + baseCount;
}
