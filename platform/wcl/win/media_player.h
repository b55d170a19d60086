#pragma once
// TMediaPlayer: plays media files through the system's media control interface. The file is
// opened on its device (chosen by the file's extension), played in the background and
// stopped and closed on request; the end of a command that asked for it comes back as
// OnNotify on the window thread. The control can show a row of Play and Stop buttons; a
// player that only serves code is kept hidden.
//
// Every command that the interface refuses raises EMCIDeviceError with the interface's own
// text; Error and ErrorMessage keep the last command's code and text.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/control.h"

HL_DECLARE_EXCEPTION(EMCIDeviceError, Exception);

// What the open device is doing; mpNotReady also when no device is open.
enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
// How the command that asked for a notice ended.
enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };
// The buttons the control can show, as bits of VisibleButtons.
enum TMPBtnType : unsigned { mpbPlay = 1, mpbStop = 2 };
using TButtonSet = unsigned;

class TMediaPlayer : public TCustomControl {
  HL_REFLECTABLE
public:
  explicit TMediaPlayer(TComponent* owner);
  ~TMediaPlayer() override;

  // The file Open opens.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  // When on, the buttons follow the device's mode (Play while it is not playing, Stop while
  // it is); when off, every shown button is usable while the control is enabled.
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool value);
  TButtonSet VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TButtonSet value);
  // Commands ask for a notice of their end (OnNotify) while Notify is on.
  bool Notify() const { return notify_; }
  void SetNotify(bool value) { notify_ = value; }
  // Commands return only when the device has finished while Wait is on.
  bool Wait() const { return wait_; }
  void SetWait(bool value) { wait_ = value; }

  // Opens FileName, closing a device still open first.
  void Open();
  // Starts playing from the current position; returns at once unless Wait is on.
  void Play();
  void Stop();
  // Closes the device; nothing happens when none is open.
  void Close();

  // The interface's number of the open device, 0 when none is open.
  unsigned DeviceID() const { return deviceId_; }
  TMPModes Mode();
  // The last command's error code (0: none) and its text.
  unsigned long Error() const { return error_; }
  const std::string& ErrorMessage() const { return errorMessage_; }
  // How the last command that asked for a notice ended.
  TMPNotifyValues NotifyValue() const { return notifyValue_; }

  TNotifyEvent OnNotify;

  // The button under a point of the client area; 0 when there is none.
  TMPBtnType ButtonAt(int x) const;
  bool ButtonEnabled(TMPBtnType button);

protected:
  void Paint() override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  // Sends one command; a refusal is stored and raised.
  void Command(unsigned command, uintptr_t flags, uintptr_t params);
  uintptr_t CommandFlags() const;
  uintptr_t NotifyWindow();
  void NotifyReceived(WPARAM code, LPARAM device);
  int ButtonCount() const;

  std::string fileName_;
  bool autoEnable_ = true;
  TButtonSet visibleButtons_ = mpbPlay | mpbStop;
  bool notify_ = true;
  bool wait_ = false;
  unsigned deviceId_ = 0;
  unsigned long error_ = 0;
  std::string errorMessage_;
  TMPNotifyValues notifyValue_ = nvSuccessful;
  std::unique_ptr<TUtilityWindow> notifyWindow_;
};
