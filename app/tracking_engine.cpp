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

// Whole seconds of a stored time; false for a text that is no time.
bool StoredSeconds(const std::string& text, int64_t& seconds) {
  TDateTime value = 0;
  if (!TryStrToStoredTime(text, value) || !(value >= 0)) return false;
  seconds = std::llround(value * SecsPerDay);
  return true;
}

std::string SecondsText(int64_t seconds) { return FormatElapsed(static_cast<TDateTime>(seconds) / SecsPerDay); }

// Splits a count of ticks (not below minus half a second) into the nearest whole seconds and
// what is left over, from minus half a second up to half a second. Rounding to the nearest
// second, not down, keeps the programs' stored times centred on the time really counted, so
// that their sum stays near the day's total however many programs share it.
int64_t WholeSeconds(int64_t ticks, int64_t& rest) {
  const int64_t seconds = (ticks + TicksPerSecond / 2) / TicksPerSecond;
  rest = ticks - seconds * TicksPerSecond;
  return seconds;
}

// A TAB or line break inside a description would break the task line's fields (or the line
// itself, once written), so they become blanks.
std::string AsDescription(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

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
  const int64_t ticks = clock_.Ticks();
  // A steady clock never goes back; should it, the step counts as no time.
  const int64_t step = std::max<int64_t>(0, ticks - lastReading_);
  lastReading_ = ticks;
  counted_ += step;
  running_ += step;
  return clock_.Now();
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

  dayTotalText_ = SecondsText(WholeSeconds(baseTotal_ + counted_, totalCarry_));
  host_.ShowDayTotal(dayTotalText_);
  if (!host_.CountdownRunning()) host_.ShowTrayHint(userName_ + " " + dayTotalText_);

  if (due || force) SaveDay();
  if (dayChanged) LoadTodayTotals();
}

void TrackingEngine::ChargeTo(const std::string& task) {
  NoteNewTask(task);
  ReadClock();
  int64_t& carry = carry_[AnsiUpperCase(currentTask_)];
  int64_t seconds = WholeSeconds(running_ + carry, carry);
  running_ = 0;
  // The line of the program by its whole path; an unreadable stored value counts as zero.
  TStrings& days = *dayList_.Strings();
  const int line = FindDayLine(days, currentTask_);
  int64_t stored = 0;
  if (line >= 0 && StoredSeconds(DayLineValue(days.Strings(line)), stored)) seconds += stored;
  const std::string text = currentTask_ + "=" + SecondsText(seconds);
  if (line >= 0)
    days.SetStrings(line, text);
  else
    days.Add(text);
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
  start_ = day_ = clock_.Now();
  lastReading_ = clock_.Ticks();
  counted_ = running_ = baseTotal_ = 0;
  currentTask_ = UnknownTask;
  dayTotalText_.clear();
  host_.ShowDayTotal(dayTotalText_);
  if (userName_.empty()) return;
  const std::string section = WorkSectionName(userName_, day_);
  TStrings& days = *dayList_.Strings();
  int64_t seconds = 0;
  if (!StoredSeconds(ReadWorkDay(workPath_, section, days), seconds)) {
    // A damaged total must not stop a day's tracking: it counts as what the programs hold.
    for (int i = 0; i < days.Count(); ++i) {
      const std::string line = days.Strings(i);
      int64_t stored = 0;
      if (!AnsiSameText(DayLinePath(line), TotalKey) && StoredSeconds(DayLineValue(line), stored)) seconds += stored;
    }
  }
  // The parts below a second belong to the day they were counted in.
  if (section != carrySection_) {
    carrySection_ = section;
    carry_.clear();
    totalCarry_ = 0;
  }
  baseTotal_ = std::max<int64_t>(0, seconds * TicksPerSecond + totalCarry_);
  dayTotalText_ = SecondsText(seconds);
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
