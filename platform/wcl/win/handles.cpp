#include "platform/wcl/win/handles.h"

WindowDc WindowDc::ForClient(HWND window) noexcept { return WindowDc(window, GetDC(window)); }

WindowDc WindowDc::ForWindow(HWND window) noexcept { return WindowDc(window, GetWindowDC(window)); }

WindowDc::WindowDc(WindowDc&& other) noexcept : window_(other.window_), dc_(other.dc_) {
  other.window_ = nullptr;
  other.dc_ = nullptr;
}

WindowDc& WindowDc::operator=(WindowDc&& other) noexcept {
  if (this != &other) {
    reset();
    window_ = other.window_;
    dc_ = other.dc_;
    other.window_ = nullptr;
    other.dc_ = nullptr;
  }
  return *this;
}

void WindowDc::reset() noexcept {
  if (dc_ != nullptr) ReleaseDC(window_, dc_);
  dc_ = nullptr;
  window_ = nullptr;
}

ScopedSelectObject::ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept
    : dc_(dc), previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {
  if (previous_ == HGDI_ERROR) previous_ = nullptr;
}

ScopedSelectObject::~ScopedSelectObject() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
}

ScopedSelectPalette::ScopedSelectPalette(HDC dc, HPALETTE palette, bool background) noexcept
    : dc_(dc),
      previous_(dc != nullptr && palette != nullptr ? SelectPalette(dc, palette, background ? TRUE : FALSE)
                                                    : nullptr) {
  if (previous_ != nullptr) RealizePalette(dc_);
}

ScopedSelectPalette::~ScopedSelectPalette() {
  if (previous_ != nullptr) SelectPalette(dc_, previous_, TRUE);
}
