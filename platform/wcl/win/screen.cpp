#include "platform/wcl/win/screen.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/handles.h"

TScreen* Screen = nullptr;

namespace {

// The system cursor behind each predefined cursor number.
LPCSTR SystemCursorName(TCursor id) {
  switch (id) {
    case crCross: return MAKEINTRESOURCEA(32515);      // IDC_CROSS
    case crIBeam: return MAKEINTRESOURCEA(32513);      // IDC_IBEAM
    case crSizeNESW: return MAKEINTRESOURCEA(32643);   // IDC_SIZENESW
    case crSizeNS: return MAKEINTRESOURCEA(32645);     // IDC_SIZENS
    case crSizeNWSE: return MAKEINTRESOURCEA(32642);   // IDC_SIZENWSE
    case crSizeWE: return MAKEINTRESOURCEA(32644);     // IDC_SIZEWE
    case crUpArrow: return MAKEINTRESOURCEA(32516);    // IDC_UPARROW
    case crHourGlass: return MAKEINTRESOURCEA(32514);  // IDC_WAIT
    case crNo: return MAKEINTRESOURCEA(32648);         // IDC_NO
    case crAppStart: return MAKEINTRESOURCEA(32650);   // IDC_APPSTARTING
    case crHelp: return MAKEINTRESOURCEA(32651);       // IDC_HELP
    case crHandPoint: return MAKEINTRESOURCEA(32649);  // IDC_HAND
    case crSizeAll: return MAKEINTRESOURCEA(32646);    // IDC_SIZEALL
    default: return MAKEINTRESOURCEA(32512);           // IDC_ARROW
  }
}

}  // namespace

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  if (Screen == nullptr) Screen = this;
  WindowDc dc = WindowDc::ForClient(nullptr);
  if (dc) pixelsPerInch_ = GetDeviceCaps(dc.get(), LOGPIXELSY);
}

TScreen::~TScreen() {
  if (Screen == this) Screen = nullptr;
}

int TScreen::Width() const { return EdgeScreenSize().Width; }

int TScreen::Height() const { return EdgeScreenSize().Height; }

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  // The cursor changes at once, not only when the mouse next moves.
  if (cursor != crDefault) {
    ::SetCursor(Cursors(cursor));
  } else {
    POINT point;
    GetCursorPos(&point);
    SetCursorPos(point.x, point.y);
  }
}

HCURSOR TScreen::Cursors(TCursor id) const {
  if (id == crNone) return nullptr;
  auto it = cursors_.find(id);
  if (it != cursors_.end()) return it->second;
  // Predefined cursors are shared system cursors: loaded, never destroyed.
  return LoadCursorA(nullptr, SystemCursorName(id));
}

void TScreen::SetCursors(TCursor id, HCURSOR cursor) {
  if (cursor == nullptr) cursors_.erase(id);
  else cursors_[id] = cursor;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EListError("Form index out of bounds (" + std::to_string(index) + ")");
  return forms_[static_cast<size_t>(index)];
}

TWinControl* TScreen::ActiveControl() const {
  return activeForm_ != nullptr ? activeForm_->ActiveControl() : nullptr;
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
}
