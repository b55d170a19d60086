// Fuzz target for the custom group file (hl20grp.txt): any bytes must read as lines; at most
// eight of them become groups 7 to 14 after the built-in ones; every group number names its
// node, and the group picker starts on a node that exists for any group text.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/task_groups.h"

namespace {

std::string ScratchFile() {
  static const std::string name = "/tmp/hl-group-file-fuzz-" + std::to_string(getpid()) + ".txt";
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = ScratchFile();
  {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::vector<std::string> lines;
  if (!ReadGroupFile(name, lines)) std::abort();
  std::remove(name.c_str());
  size_t bytes = 0;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    bytes += line.size() + 1;
  }
  if (bytes > size + 1) std::abort();  // lines hold no more than the file

  std::vector<TaskGroupNode> nodes = BuiltInGroupNodes();
  const size_t builtIn = nodes.size();
  AddCustomGroups(nodes, lines);
  const size_t custom = nodes.size() - builtIn;
  if (custom != (lines.size() < MaxCustomGroups ? lines.size() : size_t{MaxCustomGroups})) std::abort();
  for (size_t i = 0; i < custom; ++i) {
    if (nodes[builtIn + i].name != lines[i]) std::abort();
    if (nodes[builtIn + i].group != static_cast<int>(builtIn + i)) std::abort();
  }
  for (int group = -1; group < static_cast<int>(nodes.size()) + 1; ++group) (void)GroupNodeName(nodes, group);

  // Group cells as the task list may hold them: the file's lines themselves, and numbers.
  for (const std::string& line : lines) {
    const int at = PickerNodeIndex(nodes, line);
    if (at < 0 || at >= static_cast<int>(nodes.size())) std::abort();
  }
  for (int group = -2; group < 20; ++group) {
    const int at = PickerNodeIndex(nodes, std::to_string(group));
    if (at < 0 || at >= static_cast<int>(nodes.size())) std::abort();
  }
  return 0;
}
