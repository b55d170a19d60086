#include "app/active_task_rules.h"

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/sysutils.h"

namespace {

// Paths are compared the way the file system treats them for the letters A to Z; other
// characters (double-byte ones whole) must match exactly, since their case pairs depend on
// the ANSI code page.
bool SamePathText(const std::string& a, const std::string& b) { return SameText(a, b); }

// Position just after the last "\" or ":" of a path: where its file name starts.
size_t FileNameStart(const std::string& path) {
  size_t delimiter = AnsiFindLastOf(path, "\\:");
  return delimiter == std::string::npos ? 0 : delimiter + 1;
}

}  // namespace

bool IsScreenSaverPath(const std::string& path, const std::string& systemDirectory) {
  if (systemDirectory.empty()) return false;
  size_t nameStart = FileNameStart(path);
  std::string directory = path.substr(0, nameStart);
  if (AnsiEndsWith(directory, '\\')) directory.pop_back();
  if (!SamePathText(directory, systemDirectory)) return false;
  size_t dot = AnsiFindLastOf(path, ".");
  if (dot == std::string::npos || dot < nameStart) return false;
  return SamePathText(path.substr(dot), ".scr");
}

bool IsBlockedPath(const std::string& path, const std::string& blockedList) {
  if (path.empty()) return false;
  size_t start = 0;
  while (start <= blockedList.size()) {
    size_t end = blockedList.find(';', start);
    if (end == std::string::npos) end = blockedList.size();
    if (SamePathText(blockedList.substr(start, end - start), path)) return true;
    start = end + 1;
  }
  return false;
}

void TActiveTaskState::Reset() {
  screenSaverWatch_ = ScreenSaverUnwatched;
  blockedList_.clear();
  foregroundProcessId_ = 0;
}

void TActiveTaskState::BeginSample() {
  if (screenSaverWatch_ != ScreenSaverUnwatched) screenSaverWatch_ = ScreenSaverAbsent;
}

bool TActiveTaskState::ProcessReported(uint32_t processId, const std::string& path) {
  // Identifier 0 is the system's idle process; it never owns a window, and with no window in
  // front it must not be taken for the program in front.
  if (processId != 0 && processId == foregroundProcessId_) foregroundExecutable_ = path;
  if (screenSaverWatch_ != ScreenSaverUnwatched && IsScreenSaverPath(path, systemDirectory_))
    screenSaverWatch_ = ScreenSaverSeen;
  return processId != ownProcessId_ && IsBlockedPath(path, blockedList_);
}
