#pragma once
// TFormMessage: the small reminder window. It shows a reminder's text at the bottom right
// of the screen, above the taskbar, captioned with the tracking service's name and the
// time. It is not modal and takes no part in the tracking: the user closes it with OK. The
// window is made at start-up and reused by every reminder.

#include <string>

#include "platform/rtl/date_time.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

class TLingroveLang;
class TformOptions;

class TFormMessage : public TForm {
  HL_REFLECTABLE
public:
  explicit TFormMessage(TComponent* owner);
  ~TFormMessage() override;

  // The text, centred on a label of fixed width.
  TLabel* lMessage;
  // A hidden copy of the text that sizes itself: its width is the text's width.
  TLabel* lMessTest;
  TButton* btOK;
  TLingroveLang* LingroveLang1;

  void btOKClick(TObject* sender);
  // Shows text; the caption is serviceName, a blank and the current time. A text wider than
  // the label widens the window; a window already open is placed and shown again.
  void ShowMessageWindow(const std::string& text, const std::string& serviceName);
};

// The reminder window made at start-up.
extern TFormMessage* FormMessage;

// The height of a maximised window, at most 8 pixels below the work area's bottom (where the
// window frames are wider, the window would otherwise hang behind the taskbar).
int MaximizedWindowHeight();

// The reminders of one second while tracking: the settings of the options dialog, its sound
// routine, and the message window for the text. dayTotal: the day's worked time so far.
void RunReminders(TformOptions& options, TFormMessage& window, TDateTime dayTotal, const std::string& serviceName);
