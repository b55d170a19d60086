#pragma once
// The tracking engine: once a second it asks which program is in front, charges the time
// since the last switch to the program that was in front until then, keeps the user's total
// for the day, and every few minutes (and on Stop, before the statistics, on closing and at
// midnight) writes the task list and the day's section of the work file. It also pauses
// tracking while a screen saver runs.
//
// The engine holds the state and the arithmetic only. The clock, the active-task probe and
// the main window reach it through the small interfaces below, so the window side stays a
// thin layer of timers and controls and every case can be run with a fake clock.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/rtl/date_time.h"

class TStrHolder;

// The engine's two clocks. The local wall time tells the day, its midnight and the section
// written; the time between two samples is measured on a clock that stands still while the
// computer sleeps and does not move when the wall clock is set (daylight saving, a time zone
// change, the user), so that time nobody lived is never charged.
class TrackingClock {
public:
  virtual ~TrackingClock() = default;
  // The local date and time.
  virtual TDateTime Now() = 0;
  // A steady count of 100 ns units with an arbitrary origin.
  virtual int64_t Ticks() = 0;
};

// The system's clocks: the local time and the unbiased interrupt time (Windows only).
class SystemTrackingClock : public TrackingClock {
public:
  TDateTime Now() override;
  int64_t Ticks() override;
};

// 100 ns units per second, as the steady clock counts.
inline constexpr int64_t TicksPerSecond = 10000000;

// The active-task probe as the engine uses it.
class TrackingProbe {
public:
  virtual ~TrackingProbe() = default;
  // The executable path of the program in front; "" when none could be found. Sampling also
  // refreshes the screen-saver finding.
  virtual std::string GetActiveTask() = 0;
  // Whether the last sample saw a screen saver.
  virtual bool IsScreenSaverRunning() = 0;
  // The title of the foreground window of the last sample ("" for none).
  virtual std::string ForegroundTitle() = 0;
};

// What the engine reads from and tells the main window.
class TrackingHost {
public:
  virtual ~TrackingHost() = default;
  // The save period in minutes (the options dialog's setting).
  virtual int SavePeriodMinutes() = 0;
  // Whether the countdown or alarm runs (it owns the tray hint meanwhile).
  virtual bool CountdownRunning() = 0;
  // The day's total for the status bar, and the tray icon's hint.
  virtual void ShowDayTotal(const std::string& text) = 0;
  virtual void ShowTrayHint(const std::string& hint) = 0;
  // Tracking went on or off, or the user name changed: the controls follow.
  virtual void TrackingChanged() = 0;
  // Tracking has just started: the window moves the focus away from the user name and hides
  // itself when the option says so.
  virtual void TrackingStarted() = 0;
  // A screen saver is about to stop tracking: the option's sound is played.
  virtual void ScreenSaverStopsTracking() = 0;
  // The day was written: an open statistics window repaints its week table.
  virtual void DaySaved() = 0;
  // Once a second while tracking: the reminders.
  virtual void CheckReminders() = 0;
};

class TrackingEngine {
public:
  // The three lists are the main window's holders: the task list (sorted, duplicates
  // accepted), the day list and the user list (sorted).
  TrackingEngine(TrackingClock& clock, TrackingProbe& probe, TrackingHost& host,
                 TStrHolder& taskList, TStrHolder& dayList, TStrHolder& users);
  TrackingEngine(const TrackingEngine&) = delete;
  TrackingEngine& operator=(const TrackingEngine&) = delete;

  // ---- Files ----
  const std::string& TaskPath() const { return taskPath_; }
  void SetTaskPath(const std::string& path) { taskPath_ = path; }
  const std::string& WorkPath() const { return workPath_; }
  void SetWorkPath(const std::string& path) { workPath_ = path; }
  // Loads the task list from the task path; a missing or unreadable file leaves it empty.
  // While the list did not come from an existing file that could not be read, saving leaves
  // that file alone instead of replacing the user's tasks by the few seen since.
  void LoadTaskList();

  // ---- State ----
  // Tracking off, not paused by a screen saver, the save counter at zero (first activation).
  void InitTrackingState();
  bool Tracking() const { return tracking_; }
  bool StoppedBySaver() const { return stoppedBySaver_; }
  // Seconds since the last save, in steps of 0.5.
  double HalfSecondCounter() const { return halfSeconds_; }
  const std::string& UserName() const { return userName_; }
  // When today's totals were loaded, and the day whose section is being filled.
  TDateTime StartTime() const { return start_; }
  TDateTime Day() const { return day_; }
  const std::string& CurrentTask() const { return currentTask_; }
  TDateTime BaseTotal() const { return TicksToDays(baseTotal_); }
  // The day's worked time at the last tick: what the day held when it was loaded plus the
  // time counted since (as the status bar shows it).
  TDateTime DayTotal() const { return TicksToDays(baseTotal_ + counted_); }
  // The day's total as last shown (the status bar's text).
  const std::string& DayTotalText() const { return dayTotalText_; }
  // Start is possible while not tracking with a user name set.
  bool CanStart() const { return !tracking_ && !userName_.empty(); }

  // ---- Actions ----
  // The user name was edited (only while not tracking): the controls follow, the user's day
  // is loaded.
  void SetUserName(const std::string& name);
  // The 500 ms timer: counts the half second, runs SecondTick on every whole second, then
  // ScreenSaverPause.
  void TimerTick();
  // AccountTick, then the reminders while tracking.
  void SecondTick();
  // Samples the program in front and charges time when it changed, when the save period is
  // due or when forced; shows the day's total; saves when due or forced; opens the new day
  // after midnight. Raises what loading or saving raises: the day list in memory is kept and
  // the next save writes it.
  void AccountTick(bool force);
  // Stops tracking while a screen saver runs and starts it again afterwards; swallows errors.
  void ScreenSaverPause();
  // (Re)loads the user's section of today into the day list and resets the counters. A
  // "total" that cannot be read (damaged, or 24 hours and more) counts as the sum of the
  // section's readable program times; the next save writes it soundly.
  void LoadTodayTotals();
  // Adds a program never seen before to the task list.
  void NoteNewTask(const std::string& path);
  void Start();
  void Stop();

private:
  static TDateTime TicksToDays(int64_t ticks) { return static_cast<TDateTime>(ticks) / TicksPerSecond / SecsPerDay; }
  // Reads both clocks: the steady clock's advance since the last reading (none when it went
  // back) is added to the day's counted time and to the running interval.
  TDateTime ReadClock();
  bool SaveDue() const;
  void ChargeTo(const std::string& task);
  void SaveDay();

  TrackingClock& clock_;
  TrackingProbe& probe_;
  TrackingHost& host_;
  TStrHolder& taskList_;
  TStrHolder& dayList_;
  TStrHolder& users_;

  std::string taskPath_;
  std::string workPath_;
  bool taskFileWritable_ = true;

  bool tracking_ = false;
  bool stoppedBySaver_ = false;
  double halfSeconds_ = 0;
  std::string userName_;
  TDateTime start_ = 0;  // local time when the day was loaded
  TDateTime day_ = 0;
  // Steady-clock counts in 100 ns units.
  int64_t lastReading_ = 0;
  int64_t counted_ = 0;   // since the day was loaded
  int64_t running_ = 0;   // since the last switch, not charged yet
  int64_t baseTotal_ = 0;  // the day's total as loaded, with the part below a second it had
  std::string currentTask_ = "unknown_task";
  std::string dayTotalText_;
  // The files keep whole seconds. What rounding to whole seconds left over from each
  // program's time (keyed by its folded path) and from the day's total, less than half a
  // second either way, goes into the next charge or total of the same user and day, so that
  // short periods are not lost one by one.
  std::string carrySection_;
  std::unordered_map<std::string, int64_t> carry_;
  int64_t totalCarry_ = 0;
};
