#include "app/win/main_tray.h"

#include <shellapi.h>

#include <cmath>
#include <cstring>

#include "platform/wcl/win/application.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/timer.h"

namespace {

constexpr UINT TrayIconId = 1;
constexpr int IconSize = 16;

// One hand from the centre of the face.
void DrawHand(HDC dc, double turns, double length) {
  const double angle = turns * 2 * 3.14159265358979;
  const int cx = IconSize / 2, cy = IconSize / 2;
  MoveToEx(dc, cx, cy, nullptr);
  LineTo(dc, cx + static_cast<int>(std::lround(std::sin(angle) * length)),
         cy - static_cast<int>(std::lround(std::cos(angle) * length)));
}

}  // namespace

HICON DrawClockIcon(int step) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  UniqueBitmap colour(CreateCompatibleBitmap(screen.get(), IconSize, IconSize));
  UniqueBitmap mask(CreateBitmap(IconSize, IconSize, 1, 1, nullptr));
  UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!colour || !mask || !dc) return nullptr;
  {
    // The mask: white (transparent) around a black disc.
    ScopedSelectObject bitmap(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, IconSize, IconSize, WHITENESS);
    ScopedSelectObject brush(dc.get(), GetStockObject(BLACK_BRUSH));
    ScopedSelectObject pen(dc.get(), GetStockObject(BLACK_PEN));
    Ellipse(dc.get(), 0, 0, IconSize, IconSize);
  }
  {
    // The face: a teal rim around a white dial, dark hands.
    ScopedSelectObject bitmap(dc.get(), colour.get());
    PatBlt(dc.get(), 0, 0, IconSize, IconSize, BLACKNESS);
    UniqueBrush dial(CreateSolidBrush(RGB(255, 255, 240)));
    UniquePen rim(CreatePen(PS_SOLID, 2, RGB(0, 128, 128)));
    {
      ScopedSelectObject brush(dc.get(), dial.get());
      ScopedSelectObject pen(dc.get(), rim.get());
      Ellipse(dc.get(), 0, 0, IconSize, IconSize);
    }
    UniquePen hand(CreatePen(PS_SOLID, 1, RGB(128, 0, 0)));
    ScopedSelectObject pen(dc.get(), hand.get());
    if (step < 0) {
      DrawHand(dc.get(), 2.0 / 12, 4);
      DrawHand(dc.get(), 10.0 / 60, 6);
    } else {
      DrawHand(dc.get(), 0, 4);
      DrawHand(dc.get(), step / 8.0, 6);
    }
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = colour.get();
  return CreateIconIndirect(&info);
}

TMainTrayIcon::TMainTrayIcon(TComponent* owner)
    : TComponent(owner), timer_(new TTimer(this)), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
  stillIcon_.reset(DrawClockIcon(-1));
  for (int i = 0; i < FrameCount; ++i) animation_.emplace_back(DrawClockIcon(i));
  frames_.push_back(stillIcon_.get());
  timer_->SetEnabled(false);
  timer_->SetInterval(500);
  timer_->OnTimer = [this](TObject*) { Advance(); };
  window_ = std::make_unique<TUtilityWindow>([this](TMessage& msg) { return HandleMessage(msg); }, this);
}

TMainTrayIcon::~TMainTrayIcon() {
  // Swallowed: the icon goes with the program, whatever the shell answers.
  if (added_) Notify(NIM_DELETE);
}

HWND TMainTrayIcon::WindowHandle() const { return window_->Handle(); }

bool TMainTrayIcon::Notify(DWORD action) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window_->Handle();
  data.uID = TrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = CallbackMessage;
  data.hIcon = frames_.empty() ? nullptr : frames_[frame_ % frames_.size()];
  // The first-version record holds 63 bytes of tip and its terminating zero.
  std::strncpy(data.szTip, hint_.c_str(), 63);
  return Shell_NotifyIconA(action, &data) != FALSE;
}

void TMainTrayIcon::SetActive(bool value) {
  active_ = value;
  if (value && !added_) {
    added_ = Notify(NIM_ADD);
  } else if (!value && added_) {
    Notify(NIM_DELETE);
    added_ = false;
  }
}

void TMainTrayIcon::SetHint(const std::string& value) {
  if (hint_ == value) return;
  hint_ = value;
  if (added_) Notify(NIM_MODIFY);
}

void TMainTrayIcon::SetFrames(bool animated) {
  frames_.clear();
  if (animated) {
    for (const UniqueIcon& icon : animation_)
      if (icon) frames_.push_back(icon.get());
  }
  if (frames_.empty()) frames_.push_back(stillIcon_.get());
  frame_ = 0;
  if (added_) Notify(NIM_MODIFY);
}

bool TMainTrayIcon::Animated() const { return timer_->Enabled(); }

void TMainTrayIcon::SetAnimated(bool value) {
  timer_->SetEnabled(value && frames_.size() > 1);
  if (!value && frame_ != 0) {
    frame_ = 0;
    if (added_) Notify(NIM_MODIFY);
  }
}

void TMainTrayIcon::SetInterval(unsigned value) { timer_->SetInterval(value); }

void TMainTrayIcon::Advance() {
  if (frames_.size() < 2) return;
  frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
  if (added_) Notify(NIM_MODIFY);
}

bool TMainTrayIcon::HandleMessage(TMessage& msg) {
  if (msg.Msg == taskbarCreated_ && taskbarCreated_ != 0) {
    // The shell came back: the icon must be added again.
    if (active_) added_ = Notify(NIM_ADD);
    return true;
  }
  if (msg.Msg != CallbackMessage) return false;
  switch (static_cast<UINT>(msg.LParam)) {
    case WM_RBUTTONUP:
      if (popupMenu_ != nullptr) {
        POINT point{};
        GetCursorPos(&point);
        // The menu closes when the user clicks elsewhere only if its window is in front.
        SetForegroundWindow(popupMenu_->WindowHandle());
        popupMenu_->Popup(point.x, point.y);
        PostMessageA(popupMenu_->WindowHandle(), WM_NULL, 0, 0);
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(this);
      break;
    default:
      break;
  }
  return true;
}
