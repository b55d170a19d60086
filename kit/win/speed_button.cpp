#include "kit/win/speed_button.h"

#include <windowsx.h>

#include <vector>

#include "kit/win/button_glyph.h"
#include "kit/win/draw_utils_win.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/timer.h"

namespace {

const EnumInfo StyleEnum{"TButtonStyle", {"bsAutoDetect", "bsWin31", "bsNew"}};
const EnumInfo MenuPosEnum{"TKitDropDownMenuPos", {"dmpBottom", "dmpRight"}};

// A repeat timer cannot be freed while its own tick runs (a click handler that deletes the
// button): it is stopped and parked here, and freed once no tick runs.
int g_repeatTickDepth = 0;

std::vector<std::unique_ptr<TTimer>>& RetiredTimers() {
  static std::vector<std::unique_ptr<TTimer>> timers;
  return timers;
}

void FreeRetiredTimers() {
  if (g_repeatTickDepth == 0) RetiredTimers().clear();
}

void DropTimer(std::unique_ptr<TTimer>& timer) {
  if (!timer) return;
  timer->SetEnabled(false);
  if (g_repeatTickDepth == 0) timer.reset();
  else RetiredTimers().push_back(std::move(timer));
}

class TickScope {
public:
  TickScope() { ++g_repeatTickDepth; }
  ~TickScope() { --g_repeatTickDepth; }
  TickScope(const TickScope&) = delete;
  TickScope& operator=(const TickScope&) = delete;
};

// The 8 x 8 checkered face of an exclusive button.
std::unique_ptr<TBitmap> MakePattern() {
  auto pattern = std::make_unique<TBitmap>();
  pattern->SetSize(8, 8);
  TCanvas* canvas = pattern->Canvas();
  const TColor face = ColorToRGB(clBtnFace);
  const TColor highlight = ColorToRGB(clBtnHighlight);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) canvas->SetPixels(x, y, (x + y) % 2 == 0 ? face : highlight);
  return pattern;
}

}  // namespace

const ClassInfo* TKitSpeedButton::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitSpeedButton>("TKitSpeedButton", TGraphicControl::StaticClassInfo())
          .Enum("Alignment", &TKitSpeedButton::Alignment, &TKitSpeedButton::SetAlignment, &AlignmentEnum)
          .Bool("AllowAllUp", &TKitSpeedButton::AllowAllUp, &TKitSpeedButton::SetAllowAllUp)
          .Bool("AllowTimer", &TKitSpeedButton::AllowTimer, &TKitSpeedButton::SetAllowTimer)
          .Str("Caption", &TKitSpeedButton::Caption, &TKitSpeedButton::SetCaption)
          .Bool("Down", &TKitSpeedButton::Down, &TKitSpeedButton::SetDown)
          .Ref("DropDownMenu", &TKitSpeedButton::DropDownMenu, &TKitSpeedButton::SetDropDownMenu,
               TPopupMenu::StaticClassInfo())
          .Bool("Flat", &TKitSpeedButton::Flat, &TKitSpeedButton::SetFlat)
          .Bool("GrayedInactive", &TKitSpeedButton::GrayedInactive, &TKitSpeedButton::SetGrayedInactive)
          .Int("GroupIndex", &TKitSpeedButton::GroupIndex, &TKitSpeedButton::SetGroupIndex)
          .Int("InitPause", &TKitSpeedButton::InitPause, &TKitSpeedButton::SetInitPause)
          .Enum("Layout", &TKitSpeedButton::Layout, &TKitSpeedButton::SetLayout, &ButtonLayoutEnum)
          .Int("Margin", &TKitSpeedButton::Margin, &TKitSpeedButton::SetMargin)
          .Bool("MarkDropDown", &TKitSpeedButton::MarkDropDown, &TKitSpeedButton::SetMarkDropDown)
          .Enum("MenuPosition", &TKitSpeedButton::MenuPosition, &TKitSpeedButton::SetMenuPosition, &MenuPosEnum)
          .Int("ModalResult", &TKitSpeedButton::ModalResult, &TKitSpeedButton::SetModalResult)
          .Int("NumGlyphs", &TKitSpeedButton::NumGlyphs, &TKitSpeedButton::SetNumGlyphs, 1, kMaxGlyphCells)
          .Int("RepeatInterval", &TKitSpeedButton::RepeatInterval, &TKitSpeedButton::SetRepeatInterval)
          .Int("RoundRadius", &TKitSpeedButton::RoundRadius, &TKitSpeedButton::SetRoundRadius)
          .Int("Spacing", &TKitSpeedButton::Spacing, &TKitSpeedButton::SetSpacing)
          .Enum("Style", &TKitSpeedButton::Style, &TKitSpeedButton::SetStyle, &StyleEnum)
          .Bool("Transparent", &TKitSpeedButton::Transparent, &TKitSpeedButton::SetTransparent)
          .Bool("WordWrap", &TKitSpeedButton::WordWrap, &TKitSpeedButton::SetWordWrap)
          .Build();
  return &ci;
}

TKitSpeedButton::TKitSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TKitButtonGlyph>()), drawBitmap_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 25, 25);
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
  SetShowHint(true);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TKitSpeedButton::~TKitSpeedButton() {
  *alive_ = false;
  DropTimer(repeatTimer_);
  glyph_->OnChange = nullptr;
}

// ---- Properties ------------------------------------------------------------------------

template <class T>
void TKitSpeedButton::ChangeLook(T& field, const T& value) {
  if (field == value) return;
  field = value;
  Invalidate();
}

void TKitSpeedButton::SetRoundRadius(int value) {
  if (value >= 0) ChangeLook(roundRadius_, value);
}

TAlignment TKitSpeedButton::Alignment() const { return glyph_->Alignment(); }

void TKitSpeedButton::SetAlignment(TAlignment value) {
  if (value == glyph_->Alignment()) return;
  glyph_->SetAlignment(value);
  Invalidate();
}

void TKitSpeedButton::SetAllowTimer(bool value) {
  allowTimer_ = value;
  if (!value) DropTimer(repeatTimer_);
}

void TKitSpeedButton::SetDropDownMenu(TPopupMenu* value) {
  if (value == dropDownMenu_) return;
  if (dropDownMenu_ != nullptr) RemoveFreeNotification(dropDownMenu_);
  dropDownMenu_ = value;
  if (value != nullptr) value->FreeNotification(this);
  if (markDropDown_) Invalidate();
}

void TKitSpeedButton::SetMarkDropDown(bool value) { ChangeLook(markDropDown_, value); }

void TKitSpeedButton::SetFlat(bool value) { ChangeLook(flat_, value); }

TBitmap* TKitSpeedButton::Glyph() const { return glyph_->Glyph(); }

void TKitSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->SetGlyph(value);
  Invalidate();
}

int TKitSpeedButton::NumGlyphs() const { return glyph_->NumGlyphs(); }

void TKitSpeedButton::SetNumGlyphs(int value) {
  value = ClampNumGlyphs(value, glyph_->NumGlyphs());
  if (value == glyph_->NumGlyphs()) return;
  glyph_->SetNumGlyphs(value);
  Invalidate();
}

void TKitSpeedButton::SetGrayedInactive(bool value) { ChangeLook(grayedInactive_, value); }

void TKitSpeedButton::SetLayout(TButtonLayout value) { ChangeLook(layout_, value); }

void TKitSpeedButton::SetMargin(int value) {
  if (value >= -1) ChangeLook(margin_, value);
}

void TKitSpeedButton::SetSpacing(int value) { ChangeLook(spacing_, value); }

void TKitSpeedButton::SetStyle(TButtonStyle value) { ChangeLook(style_, value); }

void TKitSpeedButton::SetTransparent(bool value) { ChangeLook(transparent_, value); }

bool TKitSpeedButton::WordWrap() const { return glyph_->WordWrap(); }

void TKitSpeedButton::SetWordWrap(bool value) {
  if (value == glyph_->WordWrap()) return;
  glyph_->SetWordWrap(value);
  Invalidate();
}

// ---- Painting --------------------------------------------------------------------------

void TKitSpeedButton::Paint() {
  logic_.SyncEnabled(Enabled());
  const TSpeedButtonLook look = SpeedButtonLook(logic_.State(), flat_, logic_.MouseInside(), grayedInactive_);
  if (Width() <= 0 || Height() <= 0) return;
  drawBitmap_->SetSize(Width(), Height());
  TCanvas* canvas = drawBitmap_->Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnFace);
  RECT rect{0, 0, Width(), Height()};
  canvas->FillRect(rect);
  if (transparent_) PaintControlBackdrop(this, canvas);

  if (look.Frame) {
    rect = DrawButtonFrame(canvas, rect, look.FrameDown, flat_, style_, roundRadius_);
  } else {
    InflateRect(&rect, -2, -2);
  }
  if (look.Checkered) {
    if (!pattern_) pattern_ = MakePattern();
    RECT face = rect;
    InflateRect(&face, 1, 1);
    canvas->Brush()->SetBitmap(pattern_.get());
    canvas->FillRect(face);
    canvas->Brush()->SetBitmap(nullptr);
  }
  if (look.Shifted) OffsetRect(&rect, 1, 1);
  PaintGlyphAndCaption(canvas, rect, look.GlyphState, markDropDown_ && dropDownMenu_ != nullptr);
  Canvas()->Draw(0, 0, drawBitmap_.get());
}

void TKitSpeedButton::PaintGlyphAndCaption(TCanvas* canvas, const RECT& rect, TButtonState state, bool drawMark) {
  glyph_->Draw(canvas, rect, Caption(), layout_, margin_, spacing_, drawMark, state, TextFlags());
}

unsigned TKitSpeedButton::TextFlags() const { return AlignmentTextFlag(static_cast<int>(glyph_->Alignment())); }

// ---- Mouse -----------------------------------------------------------------------------

void TKitSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (logic_.MenuTracking()) return;
  const std::shared_ptr<bool> alive = alive_;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!*alive) return;
  if (!logic_.MouseInside() && Enabled()) {
    logic_.SetMouseInside(true);
    Repaint();
  }
  if (button != mbLeft || !Enabled() || (shift & ssDouble)) return;

  logic_.BeginPress();
  bool shown = false;
  try {
    shown = CheckMenuDropDown();
    // The menu ran its own message loop: the button may be gone.
    if (!*alive) return;
    // The menu has closed: the button comes up as on a release, without a click.
    if (shown) Released(button, x, y);
  } catch (...) {
    if (*alive) logic_.EndMenuTracking();
    throw;
  }
  if (!*alive) return;
  DropPressOnButton();
  logic_.EndMenuTracking();

  if (shown || !allowTimer_) return;
  FreeRetiredTimers();
  if (!repeatTimer_) {
    repeatTimer_ = std::make_unique<TTimer>(nullptr);
    repeatTimer_->SetEnabled(false);
    repeatTimer_->OnTimer = [this](TObject*) { RepeatTick(); };
  }
  repeatTimer_->SetInterval(initPause_);
  repeatTimer_->SetEnabled(true);
}

void TKitSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = alive_;
  TGraphicControl::MouseMove(shift, x, y);
  if (*alive) logic_.DragMove(x, y, ClientWidth(), ClientHeight());
}

void TKitSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = alive_;
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!*alive) return;
  Released(button, x, y);
  if (*alive && repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TKitSpeedButton::Released(TMouseButton button, int x, int y) {
  bool click = false;
  if (!logic_.Release(button == mbLeft, x, y, ClientWidth(), ClientHeight(), click)) return;
  const std::shared_ptr<bool> alive = alive_;
  if (click) {
    Click();
    if (!*alive) return;
  }
  UpdateTracking();
}

void TKitSpeedButton::DblClick() {
  if (logic_.MenuTracking()) return;
  if (Down()) TGraphicControl::DblClick();
}

void TKitSpeedButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TGraphicControl::Click();
}

bool TKitSpeedButton::CheckMenuDropDown() {
  if (dropDownMenu_ == nullptr || !dropDownMenu_->AutoPopup()) return false;
  if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(this);
  dropDownMenu_->SetPopupComponent(this);
  const TGlyphPoint at = DropDownMenuPoint(menuPosition_, dropDownMenu_->Alignment(), Width(), Height());
  const POINT screen = ClientToScreen(POINT{at.X, at.Y});
  dropDownMenu_->Popup(screen.x, screen.y);
  return true;
}

void TKitSpeedButton::DropPressOnButton() {
  TWinControl* parent = Parent();
  if (parent == nullptr || !parent->HandleAllocated()) return;
  // Only the very next message counts: a press further back in the queue is one the user
  // made after doing something else, not the click that closed the menu.
  MSG pending;
  if (!PeekMessageA(&pending, parent->Handle(), 0, 0, PM_NOREMOVE)) return;
  if (pending.message != WM_LBUTTONDOWN && pending.message != WM_LBUTTONDBLCLK) return;
  const int x = GET_X_LPARAM(pending.lParam) - Left();
  const int y = GET_Y_LPARAM(pending.lParam) - Top();
  if (PointOnButton(x, y, ClientWidth(), ClientHeight())) DropPendingMessage(parent->Handle(), pending.message);
}

void TKitSpeedButton::RepeatTick() {
  TickScope tick;
  repeatTimer_->SetInterval(repeatInterval_);
  if (!logic_.RepeatClicks(MouseCapture())) return;
  const std::shared_ptr<bool> alive = alive_;
  try {
    Click();
  } catch (...) {
    if (*alive && repeatTimer_) repeatTimer_->SetEnabled(false);
    throw;
  }
}

// ---- Tracking and notifications ----------------------------------------------------------

void TKitSpeedButton::MouseInsideChanged(bool inside) {
  if (!logic_.SetMouseInside(inside)) return;
  if (inside) {
    if (flat_) Repaint();
    if (OnMouseEnter && !IsDestroying()) OnMouseEnter(this);
  } else {
    if (flat_) Invalidate();
    if (OnMouseLeave && !IsDestroying()) OnMouseLeave(this);
  }
}

void TKitSpeedButton::UpdateTracking() {
  bool inside = false;
  TWinControl* parent = Parent();
  if (Enabled() && parent != nullptr && parent->HandleAllocated()) {
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    inside = WindowFromPoint(cursor) == parent->Handle() &&
             parent->ControlAtPos(parent->ScreenToClient(cursor)) == this && IsActiveWindowInThread();
  }
  MouseInsideChanged(inside);
}

void TKitSpeedButton::MouseEnter() {
  TGraphicControl::MouseEnter();
  if (Enabled() && IsActiveWindowInThread()) MouseInsideChanged(true);
}

void TKitSpeedButton::MouseLeave() {
  TGraphicControl::MouseLeave();
  if (Enabled() && !logic_.Dragging()) MouseInsideChanged(false);
}

void TKitSpeedButton::EnabledChanged() {
  TGraphicControl::EnabledChanged();
  glyph_->CreateButtonGlyph(!Enabled() ? bsDisabled : flat_ ? bsInactive : bsUp);
  const std::shared_ptr<bool> alive = alive_;
  UpdateTracking();
  if (*alive) Repaint();
}

void TKitSpeedButton::VisibleChanged() {
  TGraphicControl::VisibleChanged();
  if (Visible()) UpdateTracking();
}

void TKitSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  glyph_->CreateButtonGlyph(logic_.State());
}

void TKitSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == dropDownMenu_) {
    dropDownMenu_ = nullptr;
    if (markDropDown_) Invalidate();
  }
}

void TKitSpeedButton::SendGroupMessage() {
  if (GroupIndex() == 0 || Parent() == nullptr) return;
  TMessage msg{CM_KITBUTTONPRESSED, static_cast<WPARAM>(static_cast<INT_PTR>(GroupIndex())),
               reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0};
  Parent()->Broadcast(msg);
}

void TKitSpeedButton::GroupMessage(TMessage& msg) {
  auto* sender = dynamic_cast<TKitSpeedButton*>(reinterpret_cast<TObject*>(msg.LParam));
  if (sender == nullptr || sender == this) return;
  logic_.GroupButtonPressed(static_cast<int>(static_cast<INT_PTR>(msg.WParam)), sender->Down(),
                            sender->AllowAllUp());
}

bool TKitSpeedButton::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !Enabled()) return false;
  Click();
  return true;
}

void TKitSpeedButton::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case CM_KITBUTTONPRESSED:
      GroupMessage(msg);
      return;
    case WM_LBUTTONDBLCLK:
      if (logic_.MenuTracking()) return;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      const std::shared_ptr<bool> alive = alive_;
      TGraphicControl::WndProc(msg);
      if (*alive) UpdateTracking();
      return;
    }
    case WM_SYSCOLORCHANGE:
      glyph_->Invalidate();
      pattern_.reset();
      Invalidate();
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(msg);
}
