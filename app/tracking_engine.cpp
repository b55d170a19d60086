#include "app/tracking_engine.h"

#include <algorithm>
#include <cmath>

#include "app/task_data.h"
#include "kit/str_holder.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

// The longest foreground-window title read, and the longest description made of it.
constexpr size_t MaxTitleRead = 400;
constexpr size_t MaxDescription = 256;

// The executable's file name: the path after its last "\" or ":".
std::string ExecutableName(const std::string& path) {
  const size_t cut = AnsiFindLastOf(path, "\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A TAB or line break inside a description would break the task line's fields (or the line
// itself, once written), so they become blanks.
std::string AsDescription(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

TDateTime SystemTrackingClock::Now() { return ::Now(); }

TrackingEngine::TrackingEngine(TrackingClock& clock, TrackingProbe& probe, TrackingHost& host,
                               TStrHolder& taskList, TStrHolder& dayList, TStrHolder& users)
    : clock_(clock),
      probe_(probe),
      host_(host),
      taskList_(taskList),
      dayList_(dayList),
      users_(users) {}

void TrackingEngine::LoadTaskList() {
  taskFileWritable_ = ::LoadTaskList(*taskList_.Strings(), taskPath_);
}

void TrackingEngine::InitTrackingState() {
  tracking_ = false;
  stoppedBySaver_ = false;
  halfSeconds_ = 0;
}

TDateTime TrackingEngine::ReadClock() {
  const TDateTime now = clock_.Now();
  if (now < lastReading_) {
    // The step back is not time anybody worked: the running interval and the day's running
    // time go on from where they stood.
    const TDateTime back = lastReading_ - now;
    elapsedOrigin_ -= back;
    lastSwitch_ -= back;
  }
  lastReading_ = now;
  return now;
}

bool TrackingEngine::SaveDue() const {
  return Round(halfSeconds_) == static_cast<long long>(host_.SavePeriodMinutes()) * 60;
}

void TrackingEngine::SetUserName(const std::string& name) {
  userName_ = name;
  host_.TrackingChanged();
  LoadTodayTotals();
}

void TrackingEngine::TimerTick() {
  halfSeconds_ += 0.5;
  if (halfSeconds_ == std::floor(halfSeconds_)) SecondTick();
  ScreenSaverPause();
}

void TrackingEngine::SecondTick() {
  AccountTick(false);
  if (tracking_) host_.CheckReminders();
}

void TrackingEngine::AccountTick(bool force) {
  if (userName_.empty()) return;
  const TDateTime now = ReadClock();
  const TDateTime elapsed = now - elapsedOrigin_;
  std::string task;
  if (tracking_ || stoppedBySaver_) {
    task = probe_.GetActiveTask();
    if (task.empty()) task = UnknownTask;
  }
  if (!tracking_) return;

  const bool dayChanged = Round(start_ + 0.5) != Round(now + 0.5);
  if (dayChanged) force = true;
  const bool due = SaveDue();
  if (task != currentTask_ || due || force) ChargeTo(task);

  dayTotalText_ = FormatElapsed(elapsed + baseTotal_);
  host_.ShowDayTotal(dayTotalText_);
  if (!host_.CountdownRunning()) host_.ShowTrayHint(userName_ + " " + dayTotalText_);

  if (due || force) SaveDay();
  if (dayChanged) LoadTodayTotals();
}

void TrackingEngine::ChargeTo(const std::string& task) {
  NoteNewTask(task);
  const TDateTime now = ReadClock();
  // Nothing is ever taken off a task.
  TDateTime interval = std::max(0.0, now - lastSwitch_);
  lastSwitch_ = now;
  TStrings& days = *dayList_.Strings();
  TDateTime stored;
  if (TryStrToStoredTime(days.Values(currentTask_), stored)) interval += stored;
  days.SetValues(currentTask_, FormatElapsed(interval));
  currentTask_ = task;
}

void TrackingEngine::SaveDay() {
  halfSeconds_ = 0;
  SaveTrackedDay(taskFileWritable_ ? taskList_.Strings() : nullptr, taskPath_, workPath_,
                 WorkSectionName(userName_, day_), dayTotalText_, *dayList_.Strings());
  try {
    host_.DaySaved();
  } catch (...) {
  }
}

void TrackingEngine::LoadTodayTotals() {
  const TDateTime now = clock_.Now();
  start_ = day_ = lastSwitch_ = elapsedOrigin_ = lastReading_ = now;
  baseTotal_ = 0;
  currentTask_ = UnknownTask;
  dayTotalText_.clear();
  host_.ShowDayTotal(dayTotalText_);
  if (userName_.empty()) return;
  const std::string total =
      ReadWorkDay(workPath_, WorkSectionName(userName_, day_), *dayList_.Strings());
  if (!TryStrToStoredTime(total, baseTotal_)) baseTotal_ = StrToTime(total);
  dayTotalText_ = FormatElapsed(baseTotal_);
  host_.ShowDayTotal(dayTotalText_);
}

void TrackingEngine::NoteNewTask(const std::string& path) {
  int index;
  if (path == UnknownTask || FindTask(taskList_, path, index)) return;
  const std::string title = AsDescription(AnsiLeftBytes(probe_.ForegroundTitle(), MaxTitleRead));
  if (!title.empty())
    taskList_.Strings()->Add(path + "\t" + AnsiLeftBytes(title, MaxDescription) + "\t1");
  else
    taskList_.Strings()->Add(path + "\t" + ExecutableName(path) + "\t0");
}

void TrackingEngine::Start() {
  if (userName_.empty()) return;
  users_.Strings()->Add(userName_);
  LoadTodayTotals();
  tracking_ = true;
  host_.TrackingChanged();
  host_.TrackingStarted();
}

void TrackingEngine::Stop() {
  AccountTick(true);
  tracking_ = false;
  host_.TrackingChanged();
}

void TrackingEngine::ScreenSaverPause() {
  try {
    if (probe_.IsScreenSaverRunning()) {
      if (tracking_) {
        try {
          host_.ScreenSaverStopsTracking();
        } catch (...) {
          // A sound that cannot play must not keep the saver's time counted.
        }
        stoppedBySaver_ = true;
        Stop();
      }
    } else {
      if (!tracking_ && stoppedBySaver_) Start();
      stoppedBySaver_ = false;
    }
  } catch (...) {
    // The pause runs from the timer; what goes wrong here must not interrupt tracking.
  }
}
