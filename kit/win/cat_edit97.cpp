#include "kit/win/cat_edit97.h"

#include <algorithm>

#include "kit/cat_edit97_logic.h"
#include "kit/ini_access.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/registry.h"


const ClassInfo* TCatEdit97::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCatEdit97>("TCatEdit97", TEdit::StaticClassInfo())
          .Str("IniFile", &TCatEdit97::IniFile, &TCatEdit97::SetIniFile)
          .Str("IniSection", &TCatEdit97::IniSection, &TCatEdit97::SetIniSection)
          .Str("Text", &TCatEdit97::Text, &TCatEdit97::SetText)
          .Str("TextDefault", &TCatEdit97::TextDefault, &TCatEdit97::SetTextDefault)
          .Bool("Active", &TCatEdit97::Active, &TCatEdit97::SetActive)
          .Bool("Style97", &TCatEdit97::Style97, &TCatEdit97::SetStyle97)
          .Bool("UseRegistry", &TCatEdit97::UseRegistry, &TCatEdit97::SetUseRegistry)
          .Bool("AutoSize", &TCatEdit97::AutoSize, &TCatEdit97::SetAutoSize)
          .Bool("Ctl3D", &TCatEdit97::Ctl3D, &TCatEdit97::SetCtl3D)
          .Build();
  return &ci;
}

TCatEdit97::TCatEdit97(TComponent* owner) : TEdit(owner) { SetStyle97(true); }

TCatEdit97::~TCatEdit97() {
  if (!active_ || !OwnerFormDestroying()) return;
  try {
    if (Modified()) SaveText();
  } catch (...) {
    // The form is going away: there is no one left to tell.
  }
}

bool TCatEdit97::OwnerFormDestroying() const {
  const TComponent* owner = Owner();
  return owner != nullptr && (owner->ComponentState() & csDestroying) != 0 &&
         dynamic_cast<const TCustomForm*>(owner) != nullptr;
}

void TCatEdit97::SetStyle97(bool value) {
  if (value == style97_) return;
  style97_ = value;
  autoSize_ = !value;
  ctl3D_ = !value;
  // A new border style makes the window again, with the frame the new look asks for.
  SetBorderStyle(value ? bsNone : bsSingle);
  SetHeight(value ? kFlatEditHeight : kPlainEditHeight);
  Invalidate();
}

void TCatEdit97::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustHeight();
}

void TCatEdit97::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  // Only the ordinary look has a border that the setting changes.
  if (!style97_) RecreateWnd();
  AdjustHeight();
}

void TCatEdit97::CreateParams(TCreateParams& params) {
  TEdit::CreateParams(params);
  if (BorderStyle() == bsSingle && !ctl3D_) {
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    params.Style |= WS_BORDER;
  }
}

void TCatEdit97::SetText(const std::string& value) {
  if (value == Text()) return;
  TEdit::SetText(value);
  SetModified(true);
}

void TCatEdit97::LoadText() {
  std::string text = textDefault_;
  if (CatEditHasStore(useRegistry_, iniFile_, iniSection_)) {
    if (useRegistry_) {
      TRegistry registry;
      // A key that is not there is never made just for reading.
      if (registry.OpenKey(CatEditRegistryKey(iniFile_, iniSection_), false))
        text = registry.ReadString(Name());
    } else {
      TIniFile ini(iniFile_);
      text = IniReadText(&ini, iniSection_, Name(), textDefault_);
    }
  }
  SetText(text);
  // Loading is not a change of the user's: an untouched edit writes nothing back.
  SetModified(false);
}

void TCatEdit97::SaveText() {
  if (CatEditHasStore(useRegistry_, iniFile_, iniSection_)) {
    if (useRegistry_) {
      const std::string key = CatEditRegistryKey(iniFile_, iniSection_);
      TRegistry registry;
      if (!registry.OpenKey(key, true)) throw ERegistryException("Cannot create the key " + key);
      registry.WriteString(Name(), Text());
    } else {
      TIniFile ini(iniFile_);
      IniWriteText(&ini, iniSection_, Name(), Text());
    }
  }
  SetModified(false);
}

void TCatEdit97::Loaded() {
  TEdit::Loaded();
  AdjustHeight();
  if (!active_) return;
  try {
    LoadText();
  } catch (...) {
    // The form is still made, showing the default text; the user hears of the bad value.
    TEdit::SetText(textDefault_);
    SetModified(false);
    if (Application == nullptr) throw;
    Application->HandleException(this);
  }
}

void TCatEdit97::AdjustHeight() {
  if (!style97_ && (!autoSize_ || BorderStyle() != bsSingle)) return;
  const int charHeight = FontLineHeight(Font());
  if (charHeight > 0) SetHeight(style97_ ? FlatEditHeightFor(charHeight) : PlainEditHeightFor(charHeight, ctl3D_));
}

void TCatEdit97::FontChanged() {
  TEdit::FontChanged();
  AdjustHeight();
}

void TCatEdit97::EnabledChanged() {
  TEdit::EnabledChanged();
  if (style97_) SetColor(Enabled() ? clWindow : clBtnFace);
}

void TCatEdit97::MouseEnter() {
  TEdit::MouseEnter();
  mouseOver_ = true;
  RedrawFrame();
}

void TCatEdit97::MouseLeave() {
  TEdit::MouseLeave();
  mouseOver_ = false;
  RedrawFrame();
}

bool TCatEdit97::FrameHot() const { return FlatFrameHot(focused_, mouseOver_); }

void TCatEdit97::RedrawFrame() {
  if (style97_ && HandleAllocated()) PaintFrame(nullptr);
}

void TCatEdit97::PaintFrame(HRGN region) {
  HWND window = Handle();
  WindowDc dc = WindowDc::ForWindow(window);
  if (!dc) return;
  RECT bounds;
  GetWindowRect(window, &bounds);
  if (region != nullptr) {
    // The update region comes in screen coordinates; the window's DC counts from its corner.
    UniqueRegion clip(CreateRectRgn(0, 0, 0, 0));
    if (clip && CombineRgn(clip.get(), region, nullptr, RGN_COPY) != ERROR) {
      OffsetRgn(clip.get(), -bounds.left, -bounds.top);
      if (SelectClipRgn(dc.get(), clip.get()) == ERROR) SelectClipRgn(dc.get(), nullptr);
    }
  }
  RECT r{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  HBRUSH windowColor = GetSysColorBrush(COLOR_WINDOW);
  if (FrameHot()) {
    DrawEdge(dc.get(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else {
    FrameRect(dc.get(), &r, face);
    InflateRect(&r, -1, -1);
  }
  FrameRect(dc.get(), &r, face);
  InflateRect(&r, -1, -1);
  FrameRect(dc.get(), &r, windowColor);
}

void TCatEdit97::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_NCCALCSIZE:
      if (!style97_) break;
      {
        // The first rectangle of both forms of the message is the window's: the client
        // area is what the frame leaves of it.
        RECT* r = reinterpret_cast<RECT*>(msg.LParam);
        r->left += kFlatEditFrame;
        r->top += kFlatEditFrame;
        r->right = std::max(r->left, r->right - kFlatEditFrame);
        r->bottom = std::max(r->top, r->bottom - kFlatEditFrame);
        msg.Result = 0;
      }
      return;
    case WM_NCPAINT:
      if (!style97_) break;
      PaintFrame(msg.WParam == 1 ? nullptr : reinterpret_cast<HRGN>(msg.WParam));
      msg.Result = 0;
      return;
    case WM_SETFOCUS:
      focused_ = true;
      TEdit::WndProc(msg);
      RedrawFrame();
      return;
    case WM_KILLFOCUS:
      focused_ = false;
      TEdit::WndProc(msg);
      RedrawFrame();
      return;
    case WM_DESTROY:
      focused_ = false;
      mouseOver_ = false;
      break;
    default:
      break;
  }
  TEdit::WndProc(msg);
}
