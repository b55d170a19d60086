#include "platform/wcl/win/media_player.h"

#include <mmsystem.h>

#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/edges.h"

const ClassInfo* TMediaPlayer::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMediaPlayer>("TMediaPlayer", TCustomControl::StaticClassInfo())
                                  .Str("FileName", &TMediaPlayer::FileName, &TMediaPlayer::SetFileName)
                                  .Bool("AutoEnable", &TMediaPlayer::AutoEnable, &TMediaPlayer::SetAutoEnable)
                                  .Bool("Notify", &TMediaPlayer::Notify, &TMediaPlayer::SetNotify)
                                  .Bool("Wait", &TMediaPlayer::Wait, &TMediaPlayer::SetWait)
                                  .Build();
  return &ci;
}

TMediaPlayer::TMediaPlayer(TComponent* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 57, 30);
}

TMediaPlayer::~TMediaPlayer() {
  Destroying();
  if (deviceId_ != 0) {
    // The device must not outlive the player; a refusal now has nobody to tell.
    MCI_GENERIC_PARMS params{};
    EdgeMciCommand(deviceId_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<uintptr_t>(&params));
    deviceId_ = 0;
  }
}

void TMediaPlayer::SetAutoEnable(bool value) {
  autoEnable_ = value;
  Invalidate();
}

void TMediaPlayer::SetVisibleButtons(TButtonSet value) {
  visibleButtons_ = value & (mpbPlay | mpbStop);
  Invalidate();
}

void TMediaPlayer::Command(unsigned command, uintptr_t flags, uintptr_t params) {
  error_ = EdgeMciCommand(deviceId_, command, flags, params);
  errorMessage_.clear();
  if (error_ == 0) return;
  char text[MAXERRORLENGTH] = {};
  if (!mciGetErrorStringA(error_, text, sizeof text) || text[0] == '\0')
    errorMessage_ = "Media device error " + std::to_string(error_);
  else
    errorMessage_ = text;
  throw EMCIDeviceError(errorMessage_);
}

uintptr_t TMediaPlayer::CommandFlags() const { return (notify_ ? MCI_NOTIFY : 0) | (wait_ ? MCI_WAIT : 0); }

uintptr_t TMediaPlayer::NotifyWindow() {
  // The notices go to a hidden window of the player's own, so a player that is never shown
  // (and has no window of its own) hears them too.
  if (!notifyWindow_)
    notifyWindow_ = std::make_unique<TUtilityWindow>(
        [this](TMessage& msg) {
          if (msg.Msg != MM_MCINOTIFY) return false;
          NotifyReceived(msg.WParam, msg.LParam);
          return true;
        },
        this);
  return reinterpret_cast<uintptr_t>(notifyWindow_->Handle());
}

void TMediaPlayer::NotifyReceived(WPARAM code, LPARAM device) {
  // A late notice of a device closed since is nobody's business any more.
  if (deviceId_ == 0 || static_cast<unsigned>(device) != deviceId_) return;
  switch (code) {
    case MCI_NOTIFY_SUCCESSFUL: notifyValue_ = nvSuccessful; break;
    case MCI_NOTIFY_SUPERSEDED: notifyValue_ = nvSuperseded; break;
    case MCI_NOTIFY_ABORTED: notifyValue_ = nvAborted; break;
    default: notifyValue_ = nvFailure; break;
  }
  Invalidate();
  if (OnNotify) OnNotify(this);
}

void TMediaPlayer::Open() {
  Close();
  MCI_OPEN_PARMSA params{};
  params.dwCallback = NotifyWindow();
  params.lpstrElementName = fileName_.c_str();
  // The device is chosen by the file's extension. Opening always waits: the device number
  // is needed before anything else can be done with it.
  const uintptr_t flags = MCI_OPEN_ELEMENT | MCI_WAIT | (notify_ ? MCI_NOTIFY : 0);
  {
    TScopedState noDevice(deviceId_, 0);
    Command(MCI_OPEN, flags, reinterpret_cast<uintptr_t>(&params));
  }
  deviceId_ = params.wDeviceID;
  Invalidate();
}

void TMediaPlayer::Play() {
  MCI_PLAY_PARMS params{};
  params.dwCallback = NotifyWindow();
  Command(MCI_PLAY, CommandFlags(), reinterpret_cast<uintptr_t>(&params));
  Invalidate();
}

void TMediaPlayer::Stop() {
  MCI_GENERIC_PARMS params{};
  params.dwCallback = NotifyWindow();
  Command(MCI_STOP, CommandFlags(), reinterpret_cast<uintptr_t>(&params));
  Invalidate();
}

void TMediaPlayer::Close() {
  if (deviceId_ == 0) return;
  MCI_GENERIC_PARMS params{};
  params.dwCallback = NotifyWindow();
  Command(MCI_CLOSE, CommandFlags() | MCI_WAIT, reinterpret_cast<uintptr_t>(&params));
  deviceId_ = 0;
  Invalidate();
}

TMPModes TMediaPlayer::Mode() {
  if (deviceId_ == 0) return mpNotReady;
  MCI_STATUS_PARMS params{};
  params.dwItem = MCI_STATUS_MODE;
  Command(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<uintptr_t>(&params));
  switch (params.dwReturn) {
    case MCI_MODE_STOP: return mpStopped;
    case MCI_MODE_PLAY: return mpPlaying;
    case MCI_MODE_RECORD: return mpRecording;
    case MCI_MODE_SEEK: return mpSeeking;
    case MCI_MODE_PAUSE: return mpPaused;
    case MCI_MODE_OPEN: return mpOpen;
    default: return mpNotReady;
  }
}

// ---- The buttons ---------------------------------------------------------------------------

int TMediaPlayer::ButtonCount() const {
  return ((visibleButtons_ & mpbPlay) ? 1 : 0) + ((visibleButtons_ & mpbStop) ? 1 : 0);
}

TMPBtnType TMediaPlayer::ButtonAt(int x) const {
  const int count = ButtonCount();
  if (count == 0 || x < 0 || x >= Width()) return TMPBtnType(0);
  const int index = x * count / Width();
  if (index == 0 && (visibleButtons_ & mpbPlay)) return mpbPlay;
  return mpbStop;
}

bool TMediaPlayer::ButtonEnabled(TMPBtnType button) {
  if (!Enabled()) return false;
  if (!autoEnable_) return true;
  if (deviceId_ == 0) return false;
  TMPModes mode = mpNotReady;
  try {
    mode = Mode();
  } catch (const EMCIDeviceError&) {
    return false;
  }
  return button == mpbPlay ? mode != mpPlaying : mode == mpPlaying;
}

void TMediaPlayer::Paint() {
  TCanvas* canvas = Canvas();
  const int count = ButtonCount();
  if (count == 0) return;
  HDC dc = canvas->Handle();
  int index = 0;
  for (TMPBtnType button : {mpbPlay, mpbStop}) {
    if (!(visibleButtons_ & button)) continue;
    RECT face{Width() * index / count, 0, Width() * (index + 1) / count, Height()};
    ++index;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH);
    const bool enabled = ButtonEnabled(button);
    const COLORREF ink = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    const int cx = (face.left + face.right) / 2;
    const int cy = (face.top + face.bottom) / 2;
    UniqueBrush brush(CreateSolidBrush(ink));
    ScopedSelectObject selectBrush(dc, brush.get());
    ScopedSelectObject selectPen(dc, GetStockObject(NULL_PEN));
    if (button == mpbPlay) {
      const POINT triangle[3] = {{cx - 3, cy - 5}, {cx + 3, cy}, {cx - 3, cy + 5}};
      Polygon(dc, triangle, 3);
    } else {
      RECT square{cx - 4, cy - 4, cx + 4, cy + 4};
      FillRect(dc, &square, brush.get());
    }
  }
}

void TMediaPlayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || y < 0 || y >= Height()) return;
  const TMPBtnType pressed = ButtonAt(x);
  if (pressed == 0 || !ButtonEnabled(pressed)) return;
  if (pressed == mpbPlay) Play();
  else Stop();
}
