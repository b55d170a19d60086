#pragma once
// The break reminders. While tracking is on, once a second, the day's worked time is
// checked against the user's rules: a reminder every N minutes of work, one when the day's
// work reaches H hours, and optionally one again every M minutes after that. A reminder
// plays its sound and shows its text in the small message window at the bottom right of
// the screen. Nothing is remembered between seconds: a second that is not checked gives no
// reminder.
//
// The rules and the message window's placement are plain arithmetic here; the options
// dialog, the sound and the window reach the check through ReminderHost.

#include <string>

#include "platform/rtl/date_time.h"

// The reminder settings as the options dialog holds them; the periods are in the units the
// user typed (minutes, hours).
struct ReminderSettings {
  bool RemindEvery = false;
  double EveryMinutes = 0;
  std::string EverySound;
  std::string EveryMessage;
  bool RemindDone = false;
  double DoneHours = 0;
  bool RemindDoneAgain = false;
  double DoneAgainMinutes = 0;
  std::string DoneSound;
  std::string DoneMessage;
};

enum class ReminderKind { None, Every, Done };

// The worked seconds of a day's total: its time of day as hours * 3600 + minutes * 60 +
// seconds, counted from whole milliseconds (so 30 minutes is 1800, never 1799.999...), with
// whole days dropped.
int WorkedSeconds(TDateTime dayTotal);

// The reminder that falls on worked second s. The limit reminder wins when both fall on the
// same second. A period that comes out as 0 seconds or less turns its rule off.
ReminderKind DueReminder(int workedSeconds, const ReminderSettings& settings);

// What the check reads and tells.
class ReminderHost {
public:
  virtual ~ReminderHost() = default;
  // The options dialog is open with changed settings not yet applied: no reminder now.
  virtual bool SettingsPending() = 0;
  virtual ReminderSettings Settings() = 0;
  // Plays a sound file (an empty or missing one plays nothing).
  virtual void PlaySound(const std::string& fileName) = 0;
  // Shows the text in the message window.
  virtual void ShowMessage(const std::string& text) = 0;
};

// The check of one second while tracking; dayTotal is the day's worked time so far (the
// time since the day was loaded plus what the work file already held for it). A sound that
// fails to play does not keep the message from showing.
void CheckReminders(ReminderHost& host, TDateTime dayTotal);

// ---- The message window's place ---------------------------------------------------------

// The message window's usual width and its label's.
inline constexpr int MessageWindowWidth = 190;
inline constexpr int MessageLabelWidth = 180;

struct MessageWindowPlace {
  int Left;
  int Top;
  int Width;
  int LabelWidth;
  int ButtonLeft;
};

// Where the message window goes for a text textWidth pixels wide: a text wider than the
// label widens label and window (by 10 pixels of margin), the OK button is centred, and the
// window sits flush right just above the bottom of the work area (workHeight: the height of
// a maximised window), never above or left of the screen's corner. The window's and label's
// widths and the margin are designed for 96 pixels per inch and grow with the screen's.
MessageWindowPlace PlaceMessageWindow(int textWidth, int windowHeight, int buttonWidth, int screenWidth,
                                      int workHeight, int pixelsPerInch = 96);
