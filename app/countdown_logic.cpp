#include "app/countdown_logic.h"

#include <cmath>

#include "app/task_data.h"
#include "platform/rtl/sysutils.h"

namespace {

// A field's number; a text that is no number reads as -1, which every range check refuses.
int FieldNumber(const std::string& text) { return StrToIntDef(text, -1); }

// Hours and minutes shown with two digits in the menu caption.
std::string TwoDigits(const std::string& text) { return text.size() == 1 ? "0" + text : text; }

}  // namespace

CountdownFields ChooseCountdownMode(CountdownFields fields, CountdownField edited) {
  if (edited == CountdownField::Minutes) {
    if (!fields.minutes.empty()) {
      fields.hour.clear();
      fields.minute.clear();
    }
  } else {
    const std::string& typed = edited == CountdownField::Hour ? fields.hour : fields.minute;
    if (!typed.empty()) fields.minutes.clear();
  }
  return fields;
}

bool CountdownCanStart(bool running, const CountdownFields& fields) {
  return !running && (!fields.minutes.empty() || (!fields.hour.empty() && !fields.minute.empty()));
}

bool CountdownTarget(const CountdownFields& fields, TDateTime now, TDateTime& target) {
  if (!fields.minutes.empty()) {
    const int minutes = FieldNumber(fields.minutes);
    if (static_cast<unsigned>(minutes) >= 256) return false;
    // In days; the division must be done in floating point.
    target = now + minutes / 24.0 / 60.0;
    return true;
  }
  const int hour = FieldNumber(fields.hour);
  const int minute = FieldNumber(fields.minute);
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return false;
  int nowHour = 0, nowMinute = 0, sec = 0, msec = 0;
  DecodeTime(now, nowHour, nowMinute, sec, msec);
  target = std::floor(now) + EncodeTime(hour, minute, 0, 0);
  // The alarm's minute has already begun today: it goes off tomorrow.
  if (nowHour > hour || (nowHour == hour && nowMinute >= minute)) target += 1;
  return true;
}

std::string CountdownTimeCaption(const CountdownFields& fields, const std::string& serviceName) {
  const std::string h = TwoDigits(fields.hour);
  const std::string m = TwoDigits(fields.minute);
  if (!h.empty() && !m.empty()) return "Alarm at: " + h + ":" + m;
  if (!fields.minutes.empty()) return serviceName + ": " + fields.minutes;
  return "Choose time...";
}

std::string TrackingHintPart(bool tracking, const std::string& userName, const std::string& dayTotal) {
  return tracking ? userName + " " + dayTotal : std::string();
}

std::string CountdownHint(const std::string& trackingPart, const std::string& comment,
                          const std::string& serviceName, const std::string& timeLeft) {
  const std::string label = comment.empty() ? serviceName + ": " : comment + " ";
  return trackingPart + "    " + label + timeLeft;
}

std::string CountdownBlinkText(const std::string& current, const std::string& comment,
                               const std::string& timeUpText) {
  if (!current.empty()) return std::string();
  return comment.empty() ? timeUpText : comment;
}

bool CountdownCycle::Start(const CountdownFields& fields, TDateTime now) {
  TDateTime target = 0;
  if (!CountdownTarget(fields, now, target)) return false;
  target_ = target;
  state_ = State::Running;
  return true;
}

CountdownCycle::Tick CountdownCycle::OnTick(TDateTime now) {
  switch (state_) {
    case State::Idle:
      return Tick::None;
    case State::TimeUp:
      return Tick::Blink;
    case State::Running:
      break;
  }
  if (target_ - now <= 0) {
    state_ = State::TimeUp;
    return Tick::Expired;
  }
  return Tick::Counting;
}

std::string CountdownCycle::TimeLeftText(TDateTime now) const { return FormatElapsed(target_ - now); }
