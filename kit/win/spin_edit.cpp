#include "kit/win/spin_edit.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "kit/win/draw_utils_win.h"
#include "kit/win/one_line_edit.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/messages.h"
#include "platform/wcl/win/timer.h"

namespace {

const EnumInfo SpinAlignmentEnum{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const EnumInfo SpinButtonKindEnum{"TSpinButtonKind", {"bkDiagonal", "bkStandard"}};
const EnumInfo ValueTypeEnum{"TValueType", {"vtInteger", "vtFloat"}};

// The kit's arrows: black triangles on a see-through ground (the lower-left pixel's colour).
// Rows top to bottom, 'x' for the arrow.
std::unique_ptr<TBitmap> ArrowGlyph(bool up) {
  static const char* const kUp[] = {"..x..", ".xxx.", "xxxxx", "....."};
  static const char* const kDown[] = {"xxxxx", ".xxx.", "..x.."};
  const char* const* rows = up ? kUp : kDown;
  const int height = up ? 4 : 3;
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(5, height);
  TCanvas* canvas = glyph->Canvas();
  canvas->Brush()->SetColor(clOlive);
  canvas->FillRect(RECT{0, 0, 5, height});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 5; ++x)
      if (rows[y][x] == 'x') canvas->SetPixels(x, y, clBlack);
  return glyph;
}

void Line(TCanvas* canvas, TColor color, std::initializer_list<POINT> points) {
  canvas->Pen()->SetColor(color);
  bool first = true;
  for (const POINT& p : points) {
    if (first) canvas->MoveTo(p.x, p.y);
    else canvas->LineTo(p.x, p.y);
    first = false;
  }
}

// Rounds halves to the even neighbour, as the glyph placement asks.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

// ---------------------------------------------------------------------------------------
// TKitSpinButton

const ClassInfo* TKitSpinButton::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TKitSpinButton>("TKitSpinButton", TGraphicControl::StaticClassInfo())
                                  .Ref("FocusControl", &TKitSpinButton::FocusControl,
                                       &TKitSpinButton::SetFocusControl, TWinControl::StaticClassInfo())
                                  .Build();
  return &ci;
}

TKitSpinButton::TKitSpinButton(TComponent* owner)
    : TGraphicControl(owner),
      upGlyph_(ArrowGlyph(true)),
      downGlyph_(ArrowGlyph(false)),
      topFace_(std::make_unique<TBitmap>()),
      bottomFace_(std::make_unique<TBitmap>()),
      plainFace_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 20, 20);
  RedrawFaces();
}

TKitSpinButton::~TKitSpinButton() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TKitSpinButton::GlyphChanged() {
  facesStale_ = true;
  Invalidate();
}

void TKitSpinButton::SetUpGlyph(TBitmap* value) {
  if (value != nullptr) upGlyph_->Assign(value);
  else upGlyph_ = ArrowGlyph(true);
  GlyphChanged();
}

void TKitSpinButton::SetDownGlyph(TBitmap* value) {
  if (value != nullptr) downGlyph_->Assign(value);
  else downGlyph_ = ArrowGlyph(false);
  GlyphChanged();
}

void TKitSpinButton::SetFocusControl(TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_ != nullptr) RemoveFreeNotification(focusControl_);
  focusControl_ = value;
  if (value != nullptr) FreeNotification(value);
}

void TKitSpinButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TKitSpinButton::EnabledChanged() {
  TGraphicControl::EnabledChanged();
  GlyphChanged();
}

void TKitSpinButton::FireHalf(TSpinHalf half) {
  const TNotifyEvent& event = half == shBottom ? OnBottomClick : OnTopClick;
  if (event && !IsDestroying()) event(this);
}

void TKitSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (focusControl_ != nullptr && focusControl_->TabStop() && focusControl_->CanFocus() &&
      !focusControl_->Focused())
    focusControl_->SetFocus();
  if (pressed_ == shNone) {
    lastPressed_ = shNone;
    pressed_ = SpinHalfAt(x, y, Width(), Height());
    FireHalf(pressed_);
    // A press that came and went while the event ran (a message box) leaves nothing held.
    if (!(ControlState() & csLButtonDown)) pressed_ = shNone;
    if (pressed_ != lastPressed_) {
      lastPressed_ = pressed_;
      Invalidate();
    }
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>(nullptr);
      repeatTimer_->SetEnabled(false);
      repeatTimer_->OnTimer = [this](TObject*) { RepeatTick(); };
    }
    repeatTimer_->SetInterval(kSpinFirstRepeatMs);
    repeatTimer_->SetEnabled(true);
  }
  dragging_ = true;
}

void TKitSpinButton::RepeatTick() {
  if (repeatTimer_) repeatTimer_->SetInterval(kSpinRepeatMs);
  if (pressed_ == shNone || !MouseCapture()) return;
  try {
    FireHalf(pressed_);
  } catch (...) {
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    throw;
  }
}

void TKitSpinButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TSpinHalf shown = shNone;
  if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) {
    // Over the half the press started on it shows pressed (and repeats); over the other
    // half nothing is pressed.
    const TSpinHalf half = SpinHalfAt(x, y, Width(), Height());
    if (half == lastPressed_) shown = half;
  }
  if (shown != pressed_) {
    pressed_ = shown;
    Invalidate();
  }
}

void TKitSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) {
    pressed_ = shNone;
    lastPressed_ = shNone;
    Invalidate();
  }
  // Nothing repeats without a press; an idle timer would only wake the program up.
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TKitSpinButton::RedrawFaces() {
  DrawFace(topFace_.get(), shTop);
  DrawFace(bottomFace_.get(), shBottom);
  DrawFace(plainFace_.get(), shNone);
  facesStale_ = false;
}

// One look of the whole button with the given half pressed: the frame and the diagonal,
// raised or sunken edges of the two triangles, and the arrows (the pressed one moved down).
void TKitSpinButton::DrawFace(TBitmap* face, TSpinHalf pressed) {
  const int w = Width();
  const int h = Height();
  face->SetSize(w, h);
  if (w <= 0 || h <= 0) return;
  TCanvas* c = face->Canvas();
  c->Pen()->SetWidth(1);
  c->Brush()->SetColor(clBtnFace);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(RECT{0, 0, w, h});
  c->Pen()->SetColor(clWindowFrame);
  c->Rectangle(0, 0, w, h);
  Line(c, clWindowFrame, {{-1, h}, {w, -1}});
  const bool top = pressed == shTop;
  const bool bottom = pressed == shBottom;
  Line(c, top ? clBtnShadow : clBtnHighlight, {{1, h - 4}, {1, 1}, {w - 3, 1}});
  if (!top) Line(c, clBtnShadow, {{1, h - 3}, {w - 2, 0}});
  Line(c, bottom ? clBtnHighlight : clBtnShadow, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}});
  Line(c, bottom ? clBtnShadow : clBtnHighlight, {{2, h - 2}, {w - 1, 1}});
  const int k = top ? 2 : 1;
  const int uw = upGlyph_->Width(), uh = upGlyph_->Height();
  if (uw > 0 && uh > 0)
    DrawBitmapRectKeyed(c, RoundEven(w / 4.0 - uw / 2.0) + k, RoundEven(h / 4.0 - uh / 2.0) + k,
                        RECT{0, 0, uw, uh}, upGlyph_.get(), clDefault);
  const int dw = downGlyph_->Width(), dh = downGlyph_->Height();
  if (dw > 0 && dh > 0)
    DrawBitmapRectKeyed(c, RoundEven(3 * w / 4.0 - dw / 2.0) - 1, RoundEven(3 * h / 4.0 - dh / 2.0) - 1,
                        RECT{0, 0, dw, dh}, downGlyph_.get(), clDefault);
  if (bottom) Line(c, clBtnShadow, {{3, h - 2}, {w - 1, 2}});
}

void TKitSpinButton::Paint() {
  if (!Enabled()) dragging_ = false;
  if (facesStale_ || plainFace_->Width() != Width() || plainFace_->Height() != Height()) RedrawFaces();
  TBitmap* face = pressed_ == shTop ? topFace_.get() : pressed_ == shBottom ? bottomFace_.get() : plainFace_.get();
  Canvas()->Draw(0, 0, face);
}

// ---------------------------------------------------------------------------------------
// TKitUpDown

const ClassInfo* TKitUpDown::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TKitUpDown>("TKitUpDown", TWinControl::StaticClassInfo()).Build();
  return &ci;
}

TKitUpDown::TKitUpDown(TComponent* owner) : TWinControl(owner) {}

void TKitUpDown::CreateParams(TCreateParams& params) {
  // The class must be known before the library copies it.
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&init);
  TWinControl::CreateParams(params);
  params.SysClassName = UPDOWN_CLASSA;
}

void TKitUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(-1), 1);
  SendMessageA(Handle(), UDM_SETPOS32, 0, 0);
}

void TKitUpDown::Scrolled(int code) {
  if (code != SB_THUMBPOSITION || inClick_) return;
  TScopedState scope(inClick_);
  const int position = HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), UDM_GETPOS32, 0, 0)) : 0;
  if (position != 0 && OnClick && !IsDestroying()) OnClick(this, position > 0 ? btNext : btPrev);
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETPOS32, 0, 0);
}

void TKitUpDown::WndProc(TMessage& msg) {
  if (msg.Msg == CN_VSCROLL || msg.Msg == CN_HSCROLL) {
    Scrolled(LOWORD(msg.WParam));
    msg.Result = 0;
    return;
  }
  TWinControl::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TKitSpinEdit

const ClassInfo* TKitSpinEdit::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitSpinEdit>("TKitSpinEdit", TCustomEdit::StaticClassInfo())
          .Enum("Alignment", &TKitSpinEdit::Alignment, &TKitSpinEdit::SetAlignment, &SpinAlignmentEnum)
          .Bool("ArrowKeys", &TKitSpinEdit::ArrowKeys, &TKitSpinEdit::SetArrowKeys)
          .Enum("ButtonKind", &TKitSpinEdit::ButtonKind, &TKitSpinEdit::SetButtonKind, &SpinButtonKindEnum)
          .Int("Decimal", &TKitSpinEdit::Decimal, &TKitSpinEdit::SetDecimal, 0, 255)
          .Bool("EditorEnabled", &TKitSpinEdit::EditorEnabled, &TKitSpinEdit::SetEditorEnabled)
          .Float("Increment", &TKitSpinEdit::Increment, &TKitSpinEdit::SetIncrement)
          .Float("MaxValue", &TKitSpinEdit::MaxValue, &TKitSpinEdit::SetMaxValue)
          .Float("MinValue", &TKitSpinEdit::MinValue, &TKitSpinEdit::SetMinValue)
          .Enum("ValueType", &TKitSpinEdit::ValueType, &TKitSpinEdit::SetValueType, &ValueTypeEnum)
          .Float("Value", &TKitSpinEdit::Value, &TKitSpinEdit::SetValue)
          .Build();
  return &ci;
}

TKitSpinEdit::TKitSpinEdit(TComponent* owner) : TCustomEdit(owner) {
  SetText("0");
  RecreateButton();
  Resize();
}

TKitSpinEdit::~TKitSpinEdit() {
  // The children go with the edit's window control; nothing here may reach them any more.
  button_ = nullptr;
  buttonWindow_ = nullptr;
  upDown_ = nullptr;
}

TSpinRange TKitSpinEdit::Range() const {
  TSpinRange range = range_;
  range.DecimalSeparator = FormatSettings().DecimalSeparator;
  return range;
}

double TKitSpinEdit::Value() const { return SpinReadValue(Range(), Text()); }

void TKitSpinEdit::SetValue(double value) { SetText(SpinFormatValue(Range(), value)); }

void TKitSpinEdit::SetValueType(TValueType value) {
  if (value == range_.ValueType) return;
  range_.ValueType = value;
  SetValue(Value());
  if (value == vtInteger) increment_ = SpinIntegerIncrement(increment_);
}

void TKitSpinEdit::SetDecimal(int value) {
  value = std::max(0, std::min(value, 255));
  if (value == range_.Decimal) return;
  range_.Decimal = value;
  SetValue(Value());
}

void TKitSpinEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TKitSpinEdit::SetButtonKind(TSpinButtonKind value) {
  if (value == buttonKind_) return;
  buttonKind_ = value;
  RecreateButton();
  PlaceButton();
  SetTextArea();
}

void TKitSpinEdit::Step(double delta) {
  if (ReadOnly()) {
    DefaultBeep();
    return;
  }
  const std::string before = Text();
  {
    TScopedState scope(changing_);
    SetValue(Value() + delta);
  }
  // A step at a bound changes nothing and tells nothing.
  if (SameText(Text(), before)) return;
  SetModified(true);
  Change();
}

void TKitSpinEdit::UpClick(TObject*) { Step(increment_); }

void TKitSpinEdit::DownClick(TObject*) { Step(-increment_); }

bool TKitSpinEdit::IsValidChar(char key) const { return SpinIsValidChar(Range(), editorEnabled_, key); }

void TKitSpinEdit::Change() {
  if (!changing_) TCustomEdit::Change();
}

void TKitSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  // Delete erases on the key itself, never as a character.
  if (key == VK_DELETE && !editorEnabled_) key = 0;
  if (!arrowKeys_) return;
  if (key == VK_UP) {
    UpClick(this);
    key = 0;
  } else if (key == VK_DOWN) {
    DownClick(this);
    key = 0;
  }
}

void TKitSpinEdit::KeyPress(char& key) {
  if (!IsValidChar(key)) {
    key = 0;
    DefaultBeep();
    return;
  }
  if (key == 0) return;
  TCustomEdit::KeyPress(key);
  if (key != '\r' && key != '\x1b') return;
  ForwardDialogChar(this, key);
  if (key == '\r') key = 0;
}

void TKitSpinEdit::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  // The alignment row of the direction decides where the text goes, not the generic style.
  params.ExStyle &= ~static_cast<DWORD>(WS_EX_RIGHT);
  params.Style |= OneLineEditStyle(alignment_, UseRightToLeftAlignment());
}

void TKitSpinEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  SetTextArea();
}

void TKitSpinEdit::DoEnter() {
  if (AutoSelect() && !(ControlState() & csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

void TKitSpinEdit::DoExit() {
  TCustomEdit::DoExit();
  if (SpinExitNeedsRewrite(Range(), Text())) SetValue(Value());
}

void TKitSpinEdit::EnabledChanged() {
  TCustomEdit::EnabledChanged();
  if (upDown_ != nullptr) upDown_->SetEnabled(Enabled());
  if (button_ != nullptr) button_->SetEnabled(Enabled());
}

int TKitSpinEdit::MinHeight() const {
  return SpinMinHeight(FontLineHeight(Font()), GetSystemMetrics(SM_CYBORDER));
}

// The button moves to the other side and the text area with it.
void TKitSpinEdit::BiDiModeChanged() {
  TCustomEdit::BiDiModeChanged();
  PlaceButton();
  SetTextArea();
}

// A larger font may need a taller edit.
void TKitSpinEdit::FontChanged() {
  TCustomEdit::FontChanged();
  if (button_ == nullptr && upDown_ == nullptr) return;
  Resize();
}

void TKitSpinEdit::Resize() {
  TCustomEdit::Resize();
  const int least = MinHeight();
  if (Height() < least) {
    SetHeight(least);  // comes back here
    return;
  }
  PlaceButton();
  SetTextArea();
}

void TKitSpinEdit::RecreateButton() {
  delete button_;
  button_ = nullptr;
  delete buttonWindow_;
  buttonWindow_ = nullptr;
  delete upDown_;
  upDown_ = nullptr;
  if (buttonKind_ == bkStandard) {
    upDown_ = new TKitUpDown(this);
    upDown_->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), Height());
    upDown_->SetAlign(UseRightToLeftAlignment() ? alLeft : alRight);
    upDown_->SetEnabled(Enabled());
    upDown_->SetParent(this);
    upDown_->OnClick = [this](TObject*, TUDBtnType button) {
      if (TabStop() && CanFocus() && !Focused()) SetFocus();
      if (button == btNext) UpClick(this);
      else DownClick(this);
    };
    return;
  }
  buttonWindow_ = new TWinControl(this);
  buttonWindow_->SetBounds(0, 0, Height(), Height());
  buttonWindow_->SetParent(this);
  button_ = new TKitSpinButton(this);
  button_->SetEnabled(Enabled());
  button_->SetFocusControl(this);
  button_->OnTopClick = [this](TObject* sender) { UpClick(sender); };
  button_->OnBottomClick = [this](TObject* sender) { DownClick(sender); };
  button_->SetAlign(alClient);
  button_->SetParent(buttonWindow_);
}

void TKitSpinEdit::PlaceButton() {
  if (upDown_ != nullptr) {
    upDown_->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    upDown_->SetAlign(UseRightToLeftAlignment() ? alLeft : alRight);
    return;
  }
  if (buttonWindow_ == nullptr) return;
  const TSpinRect r = SpinButtonPlace(Width(), Height(), BorderStyle() == bsSingle, UseRightToLeftAlignment());
  buttonWindow_->SetBounds(r.Left, r.Top, r.Width, r.Height);
}

int TKitSpinEdit::ButtonWidth() const {
  if (upDown_ != nullptr) return upDown_->Width();
  return buttonWindow_ != nullptr ? buttonWindow_->Width() : 0;
}

void TKitSpinEdit::SetTextArea() {
  if (!HandleAllocated()) return;
  const TSpinRect area = SpinTextArea(ClientWidth(), ClientHeight(), ButtonWidth(), UseRightToLeftAlignment());
  RECT rect{area.Left, area.Top, area.Left + area.Width, area.Top + area.Height};
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TKitSpinEdit::PasteFirstLine() {
  std::string line;
  if (!ClipboardFirstLine(Handle(), line)) return;
  if (!SpinIsValidText(Range(), line)) {
    DefaultBeep();
    return;
  }
  ReplaceEditSelection(Handle(), line);
}

void TKitSpinEdit::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_PASTE:
      if (CanEditText()) PasteFirstLine();
      msg.Result = 0;
      return;
    case WM_CUT:
      if (!CanEditText()) {
        msg.Result = 0;
        return;
      }
      break;
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      // The other ways of changing the text without typing.
      if (!editorEnabled_) {
        msg.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TCustomEdit::WndProc(msg);
}
