#pragma once
// TformOptions: the tracker's settings. This first version holds the setting controls with
// their defaults, stores them in the registry with the main window's key (section
// "Options"), and applies them (OK or Apply) together with the start-with-Windows value.
// The main window and the tracking engine read the controls directly.

#include <string>

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

  // Called by OK and Apply: stores the settings; the main window's tray icons follow.
  void btApplyClick(TObject* sender);
  // Writes or deletes the start-with-Windows value.
  void FormStorageSavePlacement(TObject* sender);
  // The main window refreshes its tray icons when the animation option is applied.
  TNotifyEvent OnApplied;

private:
  TCheckBox* AddCheck(const char* name, const char* caption, int top, bool checked);
  TOptionsSpinEdit* AddSpin(const char* name, int left, int top, int minValue, int maxValue, int value);
  TEdit* AddEdit(const char* name, int left, int top, int width, const std::string& text);
  TLabel* AddLabel(const char* caption, int left, int top);
};
