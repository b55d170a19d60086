#pragma once
// The decisions of the active-task probe, free of Win32: which reported process is the one
// in front, which one is a screen saver, which one must be ended. The Win32 probe feeds it
// the process list that qatask.dll reports and does what it answers.

#include <cstdint>
#include <string>

// True when `path` names a screen saver: a ".scr" file standing directly in the system
// directory. Both tests ignore case. An unknown (empty) system directory recognises nothing.
bool IsScreenSaverPath(const std::string& path, const std::string& systemDirectory);

// True when `path` equals, ignoring case, one of the ";"-separated entries of `blockedList`.
// Only whole entries count, so a program whose path is merely part of a blocked one is left
// alone; an empty path never matches.
bool IsBlockedPath(const std::string& path, const std::string& blockedList);

// The state the probe keeps from one sample to the next.
class TActiveTaskState {
public:
  // Screen-saver watch: not started yet, watched with no saver seen, a saver seen.
  static constexpr int ScreenSaverUnwatched = 0;
  static constexpr int ScreenSaverAbsent = -1;
  static constexpr int ScreenSaverSeen = 1;

  // Back to the state at start-up: watch not started, blocked list empty.
  void Reset();

  const std::string& SystemDirectory() const { return systemDirectory_; }
  void SetSystemDirectory(const std::string& value) { systemDirectory_ = value; }
  const std::string& BlockedList() const { return blockedList_; }
  void SetBlockedList(const std::string& value) { blockedList_ = value; }
  int ScreenSaverWatch() const { return screenSaverWatch_; }
  void SetScreenSaverWatch(int value) { screenSaverWatch_ = value; }
  bool IsScreenSaverRunning() const { return screenSaverWatch_ == ScreenSaverSeen; }
  uint32_t ForegroundProcessId() const { return foregroundProcessId_; }
  void SetForegroundProcessId(uint32_t value) { foregroundProcessId_ = value; }
  // The path of the program in front as last reported; kept while a sample does not report it.
  const std::string& ForegroundExecutable() const { return foregroundExecutable_; }
  void SetForegroundExecutable(const std::string& value) { foregroundExecutable_ = value; }

  // The tracker's own process: never ended, even when its path is in the blocked list (a
  // tracker that ended itself would lose the running interval and could never track again).
  void SetOwnProcessId(uint32_t value) { ownProcessId_ = value; }
  // Start of a sample: once the watch runs, the saver counts as gone until the coming
  // enumeration reports it again.
  void BeginSample();
  // One process of the enumeration. Returns true when the process must be ended.
  bool ProcessReported(uint32_t processId, const std::string& path);

private:
  std::string systemDirectory_;
  std::string blockedList_;
  std::string foregroundExecutable_;
  uint32_t foregroundProcessId_ = 0;
  uint32_t ownProcessId_ = 0;
  int screenSaverWatch_ = ScreenSaverUnwatched;
};
