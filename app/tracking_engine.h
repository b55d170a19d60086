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

#include <string>

#include "platform/rtl/date_time.h"

class TStrHolder;

// Where the engine reads the current date and time.
class TrackingClock {
public:
  virtual ~TrackingClock() = default;
  virtual TDateTime Now() = 0;
};

// The process clock of the runtime (Now()).
class SystemTrackingClock : public TrackingClock {
public:
  TDateTime Now() override;
};

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
  TDateTime LastSwitch() const { return lastSwitch_; }
  const std::string& CurrentTask() const { return currentTask_; }
  TDateTime BaseTotal() const { return baseTotal_; }
  // The day's worked time at now: what the day held before Start plus the time since,
  // less every backward step of the clock (as the status bar counts it).
  TDateTime DayTotal(TDateTime now) const { return now - elapsedOrigin_ + baseTotal_; }
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
  // (Re)loads the user's section of today into the day list and resets the counters. An
  // unreadable "total" raises EConvertError.
  void LoadTodayTotals();
  // Adds a program never seen before to the task list.
  void NoteNewTask(const std::string& path);
  void Start();
  void Stop();

private:
  // Reads the clock. When it went back since the last reading, the step back counts as no
  // time: neither the day's running time nor the running interval shrinks.
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
  TDateTime start_ = 0;
  TDateTime day_ = 0;
  TDateTime lastSwitch_ = 0;
  TDateTime elapsedOrigin_ = 0;  // start, moved back by every backward step of the clock
  TDateTime lastReading_ = 0;
  std::string currentTask_ = "unknown_task";
  TDateTime baseTotal_ = 0;
  std::string dayTotalText_;
};
