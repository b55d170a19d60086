#include "kit/tray_icon_logic.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ansi_chars.h"

std::string TrayTipText(const std::string& hint) {
  return AnsiLeftBytes(std::string_view(hint).substr(0, AnsiFind(hint, '|')), kTrayTipSize - 1);
}

TTrayRecord MakeTrayRecord(uintptr_t window, uintptr_t icon, const std::string& hint) {
  TTrayRecord record;
  record.Window = window;
  record.Icon = icon != 0 ? icon : kNoTrayIcon;
  const std::string tip = TrayTipText(hint);
  std::memcpy(record.Tip, tip.data(), tip.size());
  record.Tip[tip.size()] = '\0';
  return record;
}

unsigned TrayFrameDelay(unsigned interval) { return std::max(interval, kMinTrayFrameInterval); }

std::vector<TTrayMouseStep> TrayMouseSteps(unsigned mouseMessage, unsigned& marks) {
  // A release clicks only when its button went down on the icon; the middle button never
  // clicks, and only the left button double-clicks.
  auto release = [&marks](TTrayButton button, unsigned mark, TTrayButtonFlag flag) {
    std::vector<TTrayMouseStep> steps;
    if (marks & mark) {
      marks &= ~mark;
      steps.push_back({tmClick, button, flag});
    }
    steps.push_back({tmUp, button, flag});
    return steps;
  };
  switch (mouseMessage) {
    case 0x200: return {{tmMove, tbLeft, tfNone}};
    case 0x201:
      marks |= kTrayLeftMark;
      return {{tmDown, tbLeft, tfLeft}};
    case 0x202: return release(tbLeft, kTrayLeftMark, tfLeft);
    case 0x203: return {{tmDblClick, tbLeft, tfNone}, {tmDown, tbLeft, tfDouble}};
    case 0x204:
      marks |= kTrayRightMark;
      return {{tmDown, tbRight, tfRight}};
    case 0x205: return release(tbRight, kTrayRightMark, tfRight);
    case 0x206: return {{tmDown, tbRight, tfDouble}};
    case 0x207: return {{tmDown, tbMiddle, tfMiddle}};
    case 0x208: return {{tmUp, tbMiddle, tfMiddle}};
    case 0x209: return {{tmDown, tbMiddle, tfDouble}};
    default: return {};
  }
}

// ---- TTrayIconLogic ------------------------------------------------------------------------

void TTrayIconLogic::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (value) Activate();
  else Deactivate();
}

void TTrayIconLogic::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  ChangeIcon();
}

void TTrayIconLogic::SetAnimated(bool value) {
  if (value && host_.FrameCount() <= 0) value = false;
  if (value == animated_) return;
  if (value) {
    // Started paused; the change below lets it run when there is something to turn.
    host_.StartAnimation(true);
    animated_ = true;
  } else {
    animated_ = false;
    host_.StopAnimation();
  }
  workerRuns_ = false;
  frameIndex_ = 0;
  if (animated_) frameIndex_ = std::max(NextFilledFrame(0), 0);
  ChangeIcon();
}

int TTrayIconLogic::NextFilledFrame(int index) {
  const int count = host_.FrameCount();
  for (int step = 0; step < count; ++step) {
    const int frame = (index + step) % count;
    if (host_.FrameIcon(frame) != 0) return frame;
  }
  return -1;
}

uintptr_t TTrayIconLogic::ActiveIcon() {
  const int count = host_.FrameCount();
  if (animated_ && count > 0) {
    // An empty frame never hides the icon: the next filled one stands in for it.
    const int frame = NextFilledFrame(std::clamp(frameIndex_, 0, count - 1));
    if (frame >= 0) return host_.FrameIcon(frame);
  }
  return host_.StillIcon();
}

const TTrayRecord& TTrayIconLogic::UpdateNotifyData() {
  record_ = MakeTrayRecord(host_.WindowHandle(), ActiveIcon(), hint_);
  return record_;
}

void TTrayIconLogic::Activate() {
  Deactivate();
  if (destroying_ || ActiveIcon() == 0) return;
  clickMarks_ = 0;
  UpdateNotifyData();
  added_ = host_.ShellNotify(tnAdd, record_);
  shellKnown_ = added_;
  shellRecord_ = record_;
  if (added_ && record_.Tip[0] == '\0') host_.ShellNotify(tnModify, record_);
  // Even after a refused add: each frame then tries to add it again.
  shownWanted_ = true;
  SyncWorker();
}

void TTrayIconLogic::Deactivate() {
  record_.Window = host_.WindowHandle();
  host_.ShellNotify(tnDelete, record_);
  added_ = false;
  shellKnown_ = false;
  shownWanted_ = false;
  clickMarks_ = 0;
  SyncWorker();
}

void TTrayIconLogic::SyncWorker() {
  if (!animated_) return;
  // One picture among the frames has nothing to turn: the worker would only wake the window
  // thread twice a second for a frame that looks the same. After a refused add it goes on,
  // so that each frame tries the add again.
  int filled = 0;
  for (int frame = 0, count = host_.FrameCount(); frame < count && filled < 2; ++frame)
    if (host_.FrameIcon(frame) != 0) ++filled;
  const bool run = shownWanted_ && (filled >= 2 || !added_);
  if (run == workerRuns_) return;
  host_.PauseAnimation(!run);
  workerRuns_ = run;
}

void TTrayIconLogic::ChangeIcon() {
  if (destroying_) return;
  if (animated_ && host_.FrameCount() <= 0) {
    // Switching the animation off shows the state again itself.
    SetAnimated(false);
    return;
  }
  if (added_) {
    if (ActiveIcon() != 0) {
      UpdateNotifyData();
      ModifyShown();
    } else {
      Deactivate();
    }
  } else if (active_) {
    Activate();
  }
  SyncWorker();
}

void TTrayIconLogic::Loaded() {
  if (active_) Activate();
}

void TTrayIconLogic::ModifyShown() {
  // Each change costs the shell a copy of what it carries, and an icon's copy is by far the
  // dearest part: a tip that counts every second must not send the unchanged icon along.
  TTrayRecord change = record_;
  if (!shellKnown_) {
    change.Flags = kTrayRecordFlags;
  } else {
    change.Flags = 0;
    if (record_.Icon != shellRecord_.Icon) change.Flags |= kTrayIconFlag;
    if (std::strncmp(record_.Tip, shellRecord_.Tip, kTrayTipSize) != 0) change.Flags |= kTrayTipFlag;
    if (change.Flags == 0) return;
  }
  shellKnown_ = host_.ShellNotify(tnModify, change);
  shellRecord_ = record_;
}

void TTrayIconLogic::Timer() {
  if (destroying_ || !animated_) return;
  const int count = host_.FrameCount();
  ++frameIndex_;
  if (count <= 0 || frameIndex_ >= count) frameIndex_ = 0;
  const int filled = NextFilledFrame(frameIndex_);
  if (filled >= 0) frameIndex_ = filled;
  ChangeIcon();
}

void TTrayIconLogic::ShellRestarted() {
  added_ = false;
  if (active_) Activate();
}
