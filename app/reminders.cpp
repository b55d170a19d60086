#include "app/reminders.h"

#include <algorithm>

#include "app/window_snap.h"
#include "platform/rtl/exceptions.h"

int WorkedSeconds(TDateTime dayTotal) {
  int hour, minute, second, msec;
  DecodeTime(dayTotal, hour, minute, second, msec);
  return hour * 3600 + minute * 60 + second;
}

namespace {

// Whether s falls on a whole number of periods after from (from itself excluded).
bool OnPeriod(long long s, long long from, long long period) {
  return period > 0 && s > from && (s - from) % period == 0;
}

}  // namespace

ReminderKind DueReminder(int workedSeconds, const ReminderSettings& settings) {
  const long long s = workedSeconds;
  ReminderKind kind = ReminderKind::None;
  if (settings.RemindEvery && OnPeriod(s, 0, Round(settings.EveryMinutes * 60))) kind = ReminderKind::Every;
  if (settings.RemindDone) {
    const long long limit = Round(settings.DoneHours * 60 * 60);
    if (limit > 0 && s == limit) kind = ReminderKind::Done;
    else if (limit > 0 && settings.RemindDoneAgain && OnPeriod(s, limit, Round(settings.DoneAgainMinutes * 60)))
      kind = ReminderKind::Done;
  }
  return kind;
}

void CheckReminders(ReminderHost& host, TDateTime dayTotal) {
  if (host.SettingsPending()) return;
  const ReminderSettings settings = host.Settings();
  const ReminderKind kind = DueReminder(WorkedSeconds(dayTotal), settings);
  if (kind == ReminderKind::None) return;
  const bool every = kind == ReminderKind::Every;
  try {
    host.PlaySound(every ? settings.EverySound : settings.DoneSound);
  } catch (...) {
    // No sound device, or a file the player cannot open: the text still reaches the user.
  }
  const std::string& message = every ? settings.EveryMessage : settings.DoneMessage;
  if (!message.empty()) host.ShowMessage(message);
}

MessageWindowPlace PlaceMessageWindow(int textWidth, int windowHeight, int buttonWidth, int screenWidth,
                                      int workHeight, int pixelsPerInch) {
  auto scaled = [pixelsPerInch](int pixels) { return pixels * pixelsPerInch / 96; };
  MessageWindowPlace place{0, 0, scaled(MessageWindowWidth), scaled(MessageLabelWidth), 0};
  if (textWidth > place.LabelWidth) {
    place.Width = textWidth + scaled(10);
    place.LabelWidth = textWidth;
  }
  place.ButtonLeft = (place.Width - buttonWidth) / 2;
  const WindowSpot home = MainWindowHome(place.Width, windowHeight, screenWidth, workHeight);
  place.Left = std::max(0, home.left);
  place.Top = std::max(0, home.top);
  return place;
}
