#pragma once
// Small controls for the tests: an EDIT window, a self-painting panel and a non-windowed
// control, each recording what reached it.

#include "platform/rtl/win/windows_api.h"

#include <string>
#include <vector>

#include "platform/wcl/win/control.h"
#include "platform/wcl/win/messages.h"

// A one-line edit over the system EDIT class; counts the changes the parent reflects.
class TTestEdit : public TWinControl {
public:
  explicit TTestEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 100, 24);
  }
  int changes = 0;
  int enters = 0;
  int exits = 0;

  void WndProc(TMessage& msg) override {
    if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == EN_CHANGE) ++changes;
    TWinControl::WndProc(msg);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.SysClassName = "EDIT";
    params.Style |= WS_BORDER | ES_AUTOHSCROLL;
  }
  void DoEnter() override {
    ++enters;
    TWinControl::DoEnter();
  }
  void DoExit() override {
    ++exits;
    TWinControl::DoExit();
  }
};

// A windowed control of the library's own class that paints itself.
class TTestPanel : public TCustomControl {
public:
  explicit TTestPanel(TComponent* owner) : TCustomControl(owner) {}
  int paints = 0;

protected:
  void Paint() override { ++paints; }
};

// A non-windowed control that records where it was painted and what changed.
class TTestGraphic : public TGraphicControl {
public:
  explicit TTestGraphic(TComponent* owner, std::vector<TTestGraphic*>* paintOrder = nullptr)
      : TGraphicControl(owner), paintOrder_(paintOrder) {}
  POINT paintOrigin{-1, -1};
  RECT paintClip{0, 0, 0, 0};
  int textChanges = 0;
  int fontChanges = 0;

protected:
  void Paint() override {
    GetViewportOrgEx(Canvas()->Handle(), &paintOrigin);
    GetClipBox(Canvas()->Handle(), &paintClip);
    if (paintOrder_ != nullptr) paintOrder_->push_back(this);
  }
  void TextChanged() override {
    ++textChanges;
    TGraphicControl::TextChanged();
  }
  void FontChanged() override {
    ++fontChanges;
    TGraphicControl::FontChanged();
  }

private:
  std::vector<TTestGraphic*>* paintOrder_;
};

inline std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
