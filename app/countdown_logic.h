#pragma once
// The countdown and alarm service of the main window as plain logic: choosing the mode by
// typing, reading the fields into a target time, the enable rule of Start, the texts of the
// tray hint and of the tray menu's time item, and the idle -> running -> time up -> idle
// cycle with its blinking. The window side only moves texts between these and its controls.

#include <string>

#include "platform/rtl/date_time.h"

// The three time fields of the countdown panel as typed.
struct CountdownFields {
  std::string hour;     // alarm hour
  std::string minute;   // alarm minute
  std::string minutes;  // countdown length in minutes
};

enum class CountdownField { Hour, Minute, Minutes };

// Typing chooses the mode: text in the hour or minute field clears the minutes (alarm mode),
// text in the minutes field clears the hour and the minute (countdown mode). An emptied field
// clears nothing.
CountdownFields ChooseCountdownMode(CountdownFields fields, CountdownField edited);

// Start is possible while idle with minutes, or with both an hour and a minute.
bool CountdownCanStart(bool running, const CountdownFields& fields);

// The moment the time is up, read from the fields at now: with minutes, now plus 0..255
// minutes; otherwise the alarm at hour:minute today, or tomorrow when that minute has begun
// already. False (the caller beeps) for a number out of range or a text that is no number.
bool CountdownTarget(const CountdownFields& fields, TDateTime now, TDateTime& target);

// The caption of the tray menu's time item: "Alarm at: hh:mm", "<name>: <minutes>" or
// "Choose time...".
std::string CountdownTimeCaption(const CountdownFields& fields, const std::string& serviceName);

// The tracking part of the tray hint: user, a blank and the day's total while tracking,
// else empty.
std::string TrackingHintPart(bool tracking, const std::string& userName, const std::string& dayTotal);

// The tray hint while the countdown runs: the tracking part, four blanks, then the comment
// and a blank (or the service name and ": ") and the time left.
std::string CountdownHint(const std::string& trackingPart, const std::string& comment,
                          const std::string& serviceName, const std::string& timeLeft);

// The next text of the blinking status bar after the time is up: an empty text becomes the
// comment (or the time-up text without a comment), any other text becomes empty.
std::string CountdownBlinkText(const std::string& current, const std::string& comment,
                               const std::string& timeUpText);

// The cycle of one countdown or alarm.
class CountdownCycle {
public:
  enum class State { Idle, Running, TimeUp };
  enum class Tick { None, Counting, Expired, Blink };

  State GetState() const { return state_; }
  bool Running() const { return state_ == State::Running; }
  // The timer runs while counting and while the time-up blinking goes on.
  bool TimerEnabled() const { return state_ != State::Idle; }
  // Milliseconds between ticks: 1000 while counting, 600 for the blinking.
  unsigned TimerInterval() const { return state_ == State::TimeUp ? 600 : 1000; }
  TDateTime Target() const { return target_; }

  // Reads the fields at now; false (nothing changes) when they do not make a time.
  bool Start(const CountdownFields& fields, TDateTime now);
  // One timer tick at now: Counting while time is left, Expired on the tick that finds the
  // time up (the cycle then blinks), Blink on every later tick until Stop; None when idle.
  Tick OnTick(TDateTime now);
  // The time left as an elapsed-time text, empty once the time is past.
  std::string TimeLeftText(TDateTime now) const;
  void Stop() { state_ = State::Idle; }

private:
  State state_ = State::Idle;
  TDateTime target_ = 0;
};
