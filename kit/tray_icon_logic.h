#pragma once
// The notification-area icon's logic, free of windows: the tip and the record handed to the
// shell, which icon is shown, when the icon is added, modified or removed as the still icon,
// the frames, the hint and the animation change, the frame advance, and how the mouse
// messages the shell sends back become mouse, click and double-click events.
//
// The window side (kit/win/tray_icon.h) gives the logic its icons, the shell call and the
// animation worker through TTrayIconHost. Everything here runs on the window thread: the
// worker only asks for a frame advance, which the window thread then carries out.

#include <cstdint>
#include <string>
#include <vector>

#include "kit/kit_messages.h"

// Bytes of the record's tip field, the terminating zero included.
constexpr unsigned kTrayTipSize = 64;
// Record flags: the callback message, the icon and the tip are valid.
constexpr uint32_t kTrayRecordFlags = 7;
// The flags of a change that carries only the icon or only the tip.
constexpr uint32_t kTrayIconFlag = 2;
constexpr uint32_t kTrayTipFlag = 4;
// The icon field of a record without an icon.
constexpr uintptr_t kNoTrayIcon = static_cast<uintptr_t>(0xFFFFFFFFu);
// Frames follow each other no faster than this, whatever Interval says, so a small or zero
// interval cannot flood the shell with changes.
constexpr unsigned kMinTrayFrameInterval = 50;

// The shell operations (NIM_ADD, NIM_MODIFY, NIM_DELETE).
enum TTrayNotifyOp { tnAdd = 0, tnModify = 1, tnDelete = 2 };

// The contents of the notification record (the first-version layout).
struct TTrayRecord {
  uintptr_t Window = 0;
  uint32_t ID = 0;  // each tray icon has a window of its own: window plus 0 identifies it
  uint32_t Flags = kTrayRecordFlags;
  uint32_t CallbackMessage = CM_TRAYICON;
  uintptr_t Icon = kNoTrayIcon;
  char Tip[kTrayTipSize] = {};
};

// The tip shown for a hint: its short part (before the first "|"), cut to at most 63 bytes
// of whole characters.
std::string TrayTipText(const std::string& hint);
// The record of a tray icon's window, icon handle (0: none) and hint.
TTrayRecord MakeTrayRecord(uintptr_t window, uintptr_t icon, const std::string& hint);
// Milliseconds the worker waits between frames for an Interval.
unsigned TrayFrameDelay(unsigned interval);

// ---- Mouse messages ----------------------------------------------------------------------

// What a mouse message from the shell leads to, in order.
enum TTrayMouseKind { tmMove, tmDown, tmUp, tmClick, tmDblClick };
// Buttons in the order of the window library's TMouseButton.
enum TTrayButton { tbLeft, tbRight, tbMiddle };
// The button flag added to the keyboard's shift state.
enum TTrayButtonFlag { tfNone, tfLeft, tfRight, tfMiddle, tfDouble };

struct TTrayMouseStep {
  TTrayMouseKind Kind;
  TTrayButton Button;
  TTrayButtonFlag Flag;
  bool operator==(const TTrayMouseStep& o) const { return Kind == o.Kind && Button == o.Button && Flag == o.Flag; }
};

// Click marks: the left (1) or right (2) button went down on the icon.
constexpr unsigned kTrayLeftMark = 1;
constexpr unsigned kTrayRightMark = 2;

// The steps of one mouse message (WM_MOUSEMOVE 0x200 .. WM_MBUTTONDBLCLK 0x209); marks is
// updated: a press sets its button's mark, and a release clicks only when its mark was set.
// Other messages give no steps.
std::vector<TTrayMouseStep> TrayMouseSteps(unsigned mouseMessage, unsigned& marks);

// ---- The icon's state ----------------------------------------------------------------------

// What the logic needs from the window side.
class TTrayIconHost {
public:
  virtual ~TTrayIconHost() = default;
  // The shell call with a record; true when it succeeded.
  virtual bool ShellNotify(TTrayNotifyOp op, const TTrayRecord& record) = 0;
  // The hidden window the shell reports to.
  virtual uintptr_t WindowHandle() = 0;
  // The still icon's handle; 0 when it is empty.
  virtual uintptr_t StillIcon() = 0;
  // The frames: their number (empty entries included) and each one's handle (0: empty).
  virtual int FrameCount() = 0;
  virtual uintptr_t FrameIcon(int index) = 0;
  // The animation worker: started (paused or running), paused or let run, stopped for good.
  virtual void StartAnimation(bool paused) = 0;
  virtual void PauseAnimation(bool paused) = 0;
  virtual void StopAnimation() = 0;
};

class TTrayIconLogic {
public:
  explicit TTrayIconLogic(TTrayIconHost& host) : host_(host) {}

  bool Active() const { return active_; }
  // True shows the icon (when there is one to show), false removes it.
  void SetActive(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool Animated() const { return animated_; }
  // Stays off without frames. Switching it on or off starts again at the first frame.
  void SetAnimated(bool value);

  // The icon is in the notification area.
  bool Added() const { return added_; }
  // The frame shown while animated; -1 until the animation first runs.
  int FrameIndex() const { return frameIndex_; }
  unsigned ClickMarks() const { return clickMarks_; }
  void SetClickMarks(unsigned marks) { clickMarks_ = marks; }

  // The icon to show: the still icon, or while animated the current frame. Empty frames are
  // passed over for the next one that holds an icon; with no such frame, the still icon.
  uintptr_t ActiveIcon();
  // Fills the record from the window, the icon to show and the hint.
  const TTrayRecord& UpdateNotifyData();
  // The icon or the frames were replaced: the next change hands the shell the whole record,
  // even where a handle happens to be the same as before.
  void IconsReplaced() { shellKnown_ = false; }
  const TTrayRecord& NotifyData() const { return record_; }

  // Removes the icon, then adds it again when there is an icon to show.
  void Activate();
  // Removes the icon and pauses the animation.
  void Deactivate();
  // Shows the current state after any change of icon, frames, hint or animation.
  void ChangeIcon();
  // The component's building is finished: the icon is shown when Active.
  void Loaded();
  // One frame advance: the next frame that holds an icon.
  void Timer();
  // The shell started again and has forgotten its icons: add it anew when Active.
  void ShellRestarted();
  // The component is going: nothing is shown any more.
  void BeginDestroy() { destroying_ = true; }
  bool Destroying() const { return destroying_; }

private:
  // From index on (wrapping round), the first frame holding an icon; -1 when none does.
  int NextFilledFrame(int index);
  // Lets the animation worker run from an add (made or refused) to the next removal while at
  // least two frames hold an icon; pauses it otherwise.
  void SyncWorker();
  // Hands the shell what differs in the record from what it last took; nothing when
  // nothing does.
  void ModifyShown();

  TTrayIconHost& host_;
  bool active_ = true;
  bool added_ = false;
  bool animated_ = false;
  bool destroying_ = false;
  unsigned clickMarks_ = 0;
  int frameIndex_ = -1;
  std::string hint_;
  TTrayRecord record_;
  // What the shell last took (an add or a change that succeeded); unknown after a removal,
  // a failed call or a replaced icon.
  bool shellKnown_ = false;
  bool workerRuns_ = false;
  bool shownWanted_ = false;  // added, or an add tried, since the last removal
  TTrayRecord shellRecord_;
};
