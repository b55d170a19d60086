#pragma once
// TformOptions: the tracker's settings. This first version holds the setting controls with
// their defaults, stores them in the registry with the main window's key (section
// "Options"), and applies them (OK or Apply) together with the start-with-Windows value.
// The main window, the tracking engine and the reminders read the controls directly. Every
// change of a setting enables Apply; each activation of the dialog disables it again, and
// OK stores only while Apply is enabled.

#include <string>

#include "app/reminders.h"
#include "kit/win/form_storage.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

// An edit holding a whole number kept within MinValue..MaxValue: typed text that is no
// number or lies outside the range reads as the nearest allowed value.
class TOptionsSpinEdit : public TEdit {
  HL_REFLECTABLE
public:
  explicit TOptionsSpinEdit(TComponent* owner) : TEdit(owner) {}
  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  void SetRange(int minValue, int maxValue);
  int Value() const;
  void SetValue(int value);

private:
  int minValue_ = 0;
  int maxValue_ = 0;
};

// The registry key of the tracker's settings under the current user.
extern const char* const HourlarkRegistryKey;

class TformOptions : public TForm {
  HL_REFLECTABLE
public:
  explicit TformOptions(TComponent* owner);

  // General
  TCheckBox* cbAutoStart;
  TCheckBox* cbAutoStartTimer;
  TCheckBox* cbAutoHide;
  TCheckBox* cbPauseScreenSaver;
  TEdit* edPlayScreenSaverActivate;
  TOptionsSpinEdit* edSaveTime;
  TCheckBox* cbShowIcons;
  TCheckBox* cbAnimatedIcon;
  TCheckBox* cbSpy;
  // Schedule
  TCheckBox* cbRemindEvery;
  TOptionsSpinEdit* edRemindEvery;
  TEdit* edRemindEveryMessage;
  TEdit* edRemindEverySound;
  TCheckBox* cbRemindDone;
  TOptionsSpinEdit* edRemindDone;
  TCheckBox* cbRemindDoneAgain;
  TOptionsSpinEdit* edRemindDoneAgain;
  TEdit* edRemindDoneMessage;
  TEdit* edRemindDoneSound;

  TButton* btOK;
  TButton* btCancel;
  TButton* btApply;
  TFormStorage* FormStorage;

  // Stores the settings; the main window's tray icons follow; with icons switched off the
  // task icons are forgotten. Apply is disabled afterwards.
  void btApplyClick(TObject* sender);
  // Applies when there are unapplied changes (Apply enabled); the button then closes.
  void btOKClick(TObject* sender);
  // A setting changed: Apply is enabled and the reminder controls follow their check boxes.
  void cbAutoHideClick(TObject* sender);
  void FormShow(TObject* sender);
  void FormActivate(TObject* sender);
  // Plays a sound file in the background. Quotes around the name are dropped; an empty name
  // or a file that does not exist plays nothing.
  void PlaySoundFile(const std::string& fileName);

  // The reminder settings as the controls hold them.
  ReminderSettings Reminders() const;
  // The dialog is open with changes not yet applied.
  bool SettingsPending() const { return Visible() && btApply->Enabled(); }
  // Writes or deletes the start-with-Windows value.
  void FormStorageSavePlacement(TObject* sender);
  // The main window refreshes its tray icons when the animation option is applied.
  TNotifyEvent OnApplied;

private:
  TCheckBox* AddCheck(const char* name, const char* caption, int top, bool checked);
  TOptionsSpinEdit* AddSpin(const char* name, int left, int top, int minValue, int maxValue, int value);
  TEdit* AddEdit(const char* name, int left, int top, int width, const std::string& text);
  TLabel* AddLabel(const char* caption, int left, int top);
  void BindChanges();
};
