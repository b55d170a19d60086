#include "kit/win/combo_edit.h"

#include <algorithm>

#include "kit/win/one_line_edit.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/messages.h"

namespace {

// The system's combo box arrow (OBM_COMBO, declared only with OEMRESOURCE).
constexpr int kComboArrowBitmap = 32738;

const EnumInfo ComboAlignmentEnum{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const EnumInfo GlyphKindEnum{"TGlyphKind", {"gkCustom", "gkDefault", "gkDropDown", "gkEllipsis"}};
const EnumInfo PopupAlignEnum{"TPopupAlign", {"epaRight", "epaLeft"}};

int StockFontHeight(int stockFont) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  if (!screen) return 0;
  ScopedSelectObject selected(screen.get(), GetStockObject(stockFont));
  TEXTMETRICA metrics{};
  return GetTextMetricsA(screen.get(), &metrics) ? metrics.tmHeight : 0;
}

// The work area of the monitor that shows window, in screen coordinates.
TComboRect WorkAreaOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const RECT& r = info.rcWork;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool IsInside(TControl* control, TControl* container) {
  for (TControl* c = control; c != nullptr; c = c->Parent())
    if (c == container) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TPopupWindow

const ClassInfo* TPopupWindow::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPopupWindow>("TPopupWindow", TCustomControl::StaticClassInfo()).Build();
  return &ci;
}

TPopupWindow::TPopupWindow(TWinControl* editor) : TCustomControl(editor), editor_(editor) {
  // A window of its own on the screen, not a child of the edit: its bounds are screen
  // coordinates, and it may reach beyond the edit's form.
  SetVisible(false);
}

void TPopupWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_TOOLWINDOW;
  params.WindowClassStyle |= CS_SAVEBITS;
  params.WinClassName = "HlPopupWindow";
  // Owned by the edit's top-level window (when it has one yet; showing sets it again): it
  // stays above it and goes with it.
  params.WndParent = editor_ != nullptr && editor_->HandleAllocated() ? GetAncestor(editor_->Handle(), GA_ROOT) : nullptr;
}

void TPopupWindow::CloseUp(bool accept) {
  if (OnCloseUp && !IsDestroying()) OnCloseUp(this, accept);
}

void TPopupWindow::ShowAt(POINT screenPoint) {
  if (editor_ != nullptr)
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetAncestor(editor_->Handle(), GA_ROOT)));
  SetWindowPos(Handle(), HWND_TOP, screenPoint.x, screenPoint.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
}

void TPopupWindow::HideWindow() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetVisible(false);
}

void TPopupWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  const RECT client = ClientRect();
  CloseUp(PtInRect(&client, POINT{x, y}) != FALSE);
}

void TPopupWindow::WndProc(TMessage& msg) {
  if (msg.Msg == WM_MOUSEACTIVATE) {
    // The edit keeps the activation, the focus and the keys.
    msg.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TEditButton

const ClassInfo* TEditButton::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TEditButton>("TEditButton", TKitSpeedButton::StaticClassInfo()).Build();
  return &ci;
}

TEditButton::TEditButton(TCustomComboEdit* edit) : TKitSpeedButton(edit), edit_(edit) { SetParentShowHint(true); }

void TEditButton::Paint() {
  TKitSpeedButton::Paint();
  if (State() == bsDown) return;
  // The button's left edge blends into the edit's face.
  TCanvas* c = Canvas();
  c->Pen()->SetColor(clBtnFace);
  c->MoveTo(0, 0);
  c->LineTo(0, Height() - 1);
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(1, 1);
  c->LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    noAction_ = edit_->Popup() != nullptr && edit_->PopupVisible();
    if (edit_->PopupVisible()) edit_->ClosePopup(edit_, true);
    else if (edit_->TabStop() && edit_->CanFocus() && !edit_->Focused()) edit_->SetFocus();
  }
  TKitSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::Click() {
  // The press that closed the drop-down is not also one that opens it.
  if (noAction_) {
    noAction_ = false;
    return;
  }
  TKitSpeedButton::Click();
}

// ---------------------------------------------------------------------------------------
// TCustomComboEdit

const ClassInfo* TCustomComboEdit::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomComboEdit>("TCustomComboEdit", TCustomMaskEdit::StaticClassInfo())
          .Enum("Alignment", &TCustomComboEdit::Alignment, &TCustomComboEdit::SetAlignment, &ComboAlignmentEnum)
          .Str("ButtonHint", &TCustomComboEdit::ButtonHint, &TCustomComboEdit::SetButtonHint)
          .Int("ButtonWidth", &TCustomComboEdit::ButtonWidth, &TCustomComboEdit::SetButtonWidth)
          .Int("ClickKey", &TCustomComboEdit::ClickKey, &TCustomComboEdit::SetClickKey, 0, 0xFFFF)
          .Bool("DirectInput", &TCustomComboEdit::DirectInput, &TCustomComboEdit::SetDirectInput)
          .Enum("GlyphKind", &TCustomComboEdit::GlyphKind, &TCustomComboEdit::SetGlyphKind, &GlyphKindEnum)
          .Int("NumGlyphs", &TCustomComboEdit::NumGlyphs, &TCustomComboEdit::SetNumGlyphs)
          .Enum("PopupAlign", &TCustomComboEdit::PopupAlign, &TCustomComboEdit::SetPopupAlign, &PopupAlignEnum)
          .Bool("ReadOnly", &TCustomComboEdit::ReadOnly, &TCustomComboEdit::SetReadOnly)
          .Build();
  return &ci;
}

const ClassInfo* TComboEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TComboEdit>("TComboEdit", TCustomComboEdit::StaticClassInfo()).Build();
  return &ci;
}

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TCustomMaskEdit(owner) {
  SetHeight(21);
  buttonHost_ = new TWinControl(this);
  buttonHost_->SetBounds(0, 0, kComboButtonWidth, 17);
  buttonHost_->SetParent(this);
  button_ = new TEditButton(this);
  button_->SetBounds(0, 0, kComboButtonWidth, 17);
  button_->SetParent(buttonHost_);
  button_->OnClick = [this](TObject*) { EditButtonClick(); };
  creating_ = false;
  PlaceButton();
}

TCustomComboEdit::~TCustomComboEdit() {
  if (button_ != nullptr) button_->OnClick = nullptr;
  button_ = nullptr;
  buttonHost_ = nullptr;
}

const std::string& TCustomComboEdit::ButtonHint() const { return button_->Hint(); }

void TCustomComboEdit::SetButtonHint(const std::string& value) { button_->SetHint(value); }

int TCustomComboEdit::ButtonWidth() const { return button_->Width(); }

void TCustomComboEdit::SetButtonWidth(int value) {
  if (value == ButtonWidth()) return;
  if (!creating_ && value >= ClientWidth()) return;
  buttonHost_->SetVisible(value > 1);
  button_->SetWidth(value);
  PlaceButton();
  RecreateGlyph();
}

TBitmap* TCustomComboEdit::Glyph() const { return button_->Glyph(); }

void TCustomComboEdit::SetGlyph(TBitmap* value) {
  button_->SetGlyph(value);
  glyphKind_ = gkCustom;
}

int TCustomComboEdit::NumGlyphs() const { return button_->NumGlyphs(); }

void TCustomComboEdit::SetNumGlyphs(int value) {
  switch (glyphKind_) {
    case gkDropDown:
    case gkEllipsis: button_->SetNumGlyphs(1); break;
    case gkDefault: button_->SetNumGlyphs(defNumGlyphs_); break;
    case gkCustom: button_->SetNumGlyphs(value); break;
  }
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind value) {
  if (value == glyphKind_) return;
  glyphKind_ = value;
  RecreateGlyph();
  TBitmap* glyph = button_->Glyph();
  if (value == gkDefault && glyph != nullptr && !glyph->Empty())
    SetButtonWidth(ComboButtonWidthFor(value, glyph->Width(), NumGlyphs(), ButtonWidth(), 0));
  else if (value == gkDropDown)
    SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
}

void TCustomComboEdit::RecreateGlyph() {
  switch (glyphKind_) {
    case gkCustom: return;
    case gkDefault:
      if (TBitmap* glyph = GetDefaultGlyph()) {
        button_->SetGlyph(glyph);
        button_->SetNumGlyphs(defNumGlyphs_);
      }
      return;
    case gkDropDown: {
      TBitmap arrow;
      if (HBITMAP handle = LoadBitmapA(nullptr, MAKEINTRESOURCEA(kComboArrowBitmap))) {
        arrow.SetHandle(handle);
        // Black on white, with a black line at its foot: the ground is white, whatever the
        // lower-left pixel says.
        arrow.SetTransparentColor(clWhite);
      }
      button_->SetGlyph(&arrow);
      button_->SetNumGlyphs(1);
      return;
    }
    case gkEllipsis: {
      const TEllipsisDots dots = ComboEllipsisDots(ButtonWidth());
      TBitmap ellipsis;
      ellipsis.SetSize(dots.BitmapWidth, 4);
      TCanvas* c = ellipsis.Canvas();
      c->Brush()->SetColor(clWhite);
      c->FillRect(RECT{0, 0, dots.BitmapWidth, 4});
      c->Brush()->SetColor(clBlack);
      for (int i = 0; i < 3; ++i) {
        const int x = dots.FirstX + i * (dots.Gap + 2);
        c->FillRect(RECT{x, 1, x + 2, 3});
      }
      button_->SetGlyph(&ellipsis);
      button_->SetNumGlyphs(1);
      return;
    }
  }
}

void TCustomComboEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomComboEdit::SetDirectInput(bool value) {
  directInput_ = value;
  ApplyInputState();
}

void TCustomComboEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  ApplyInputState();
}

void TCustomComboEdit::ApplyInputState() { TCustomEdit::SetReadOnly(!CanType()); }

void TCustomComboEdit::ChangeText(const std::string& text) {
  {
    TScopedState suppress(suppressChange_);
    SetText(text);
  }
  SetModified(true);
  popupVisible_ = popup_ != nullptr && popup_->Visible();
  Change();
}

void TCustomComboEdit::Change() {
  if (suppressChange_) return;
  if (popupVisible_) PopupChange();
  else TCustomMaskEdit::Change();
}

// ---- The drop-down ---------------------------------------------------------------------

void TCustomComboEdit::EditButtonClick() {
  if (!GetReadOnly()) DoButtonClick();
}

void TCustomComboEdit::DoButtonClick() {
  if (OnButtonClick && !IsDestroying()) OnButtonClick(this);
  if (popup_ == nullptr) return;
  if (popupVisible_) ClosePopup(this, true);
  else PopupDropDown(true);
}

void TCustomComboEdit::SetPopupValue(const TPopupValue& value) {
  if (popup_ != nullptr) popup_->SetValue(value);
}

TPopupValue TCustomComboEdit::GetPopupValue() {
  return popup_ != nullptr ? popup_->GetValue() : TPopupValue{std::string()};
}

void TCustomComboEdit::ShowPopup(POINT screenPoint) { popup_->ShowAt(screenPoint); }

void TCustomComboEdit::HidePopup() { popup_->HideWindow(); }

void TCustomComboEdit::AcceptValue(const TPopupValue& value) {
  const std::string text = PopupValueText(value);
  if (Text() != text) ChangeText(text);
}

void TCustomComboEdit::PopupDropDown(bool disableEdit) {
  if (popup_ == nullptr || GetReadOnly() || popupVisible_) return;
  RECT window{};
  GetWindowRect(Handle(), &window);
  const TComboRect edit{window.left, window.top, window.right - window.left, window.bottom - window.top};
  const TPopupPlace place = PopupPlace(edit, popup_->Width(), popup_->Height(), WorkAreaOf(Handle()), popupAlign_);
  SetPopupValue(Text().empty() ? TPopupValue{} : TPopupValue{Text()});
  if (CanFocus()) SetFocus();
  ShowPopup(POINT{place.X, place.Y});
  popupVisible_ = true;
  if (disableEdit) {
    TCustomEdit::SetReadOnly(true);
    HidePopupCaret(true);
  }
}

void TCustomComboEdit::ClosePopup(TObject*, bool accept) { CloseDropDown(accept, true); }

// refocus is off while the focus is leaving the edit: taking it back then would fight the
// change of focus the user is making.
void TCustomComboEdit::CloseDropDown(bool accept, bool refocus) {
  if (popup_ == nullptr || !popupVisible_) return;
  try {
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    TPopupValue value = GetPopupValue();
    HidePopup();
    if (refocus) {
      try {
        if (CanFocus()) SetFocus();
      } catch (...) {
        // The edit could not take the focus back; it stays where it went.
      }
    }
    HidePopupCaret(false);
    ApplyInputState();
    Invalidate();
    if (accept && AcceptPopup(value) && EditCanModify()) {
      AcceptValue(value);
      if (Focused()) SelectAll();
    }
  } catch (...) {
    popupVisible_ = false;
    throw;
  }
  popupVisible_ = false;
}

void TCustomComboEdit::HidePopupCaret(bool hide) {
  if (!HandleAllocated() || hide == caretHidden_) return;
  caretHidden_ = hide;
  if (hide) HideCaret(Handle());
  else ShowCaret(Handle());
}

void TCustomComboEdit::CancelMode(TControl* sender) {
  if (sender == this || sender == button_ || (popup_ != nullptr && IsInside(sender, popup_))) return;
  CloseDropDown(false, true);
}

// ---- Keys, mouse and focus -------------------------------------------------------------

void TCustomComboEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomMaskEdit::KeyDown(key, shift);
  if (key == 0 || ButtonWidth() <= 0) return;
  if (ComboShortCut(key, (shift & ssShift) != 0, (shift & ssCtrl) != 0, (shift & ssAlt) != 0) != clickKey_) return;
  EditButtonClick();
  key = 0;
}

void TCustomComboEdit::KeyPress(char& key) {
  if (key != '\r' && key != '\x1b') {
    TCustomMaskEdit::KeyPress(key);
    return;
  }
  if (popupVisible_) {
    ClosePopup(this, key == '\r');
    key = 0;
    return;
  }
  ForwardDialogChar(this, key);
  TCustomMaskEdit::KeyPress(key);
  if (key == '\r') key = 0;
}

void TCustomComboEdit::PasteText(const std::string& text) {
  if (CanType()) TCustomMaskEdit::PasteText(FirstLineOf(text));
}

void TCustomComboEdit::DoEnter() {
  if (AutoSelect() && !(ControlState() & csLButtonDown) && directInput_) SelectAll();
  TWinControl::DoEnter();
}

void TCustomComboEdit::EnabledChanged() {
  TCustomMaskEdit::EnabledChanged();
  button_->SetEnabled(Enabled());
}

void TCustomComboEdit::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_SETFOCUS:
      focused_ = true;
      break;
    case WM_KILLFOCUS:
      focused_ = false;
      CloseDropDown(false, false);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (popup_ != nullptr) {
        if (CanFocus()) SetFocus();
        if (!Focused()) {
          msg.Result = 0;
          return;
        }
        if (popupVisible_) CloseDropDown(false, true);
      }
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      // A disabled edit shows its text in grey, unless its ground is that grey already.
      TCustomMaskEdit::WndProc(msg);
      const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
      if (!Enabled() && static_cast<COLORREF>(ColorToRGB(Color())) != gray)
        SetTextColor(reinterpret_cast<HDC>(msg.WParam), gray);
      return;
    }
    case WM_CUT:
      if (!CanType()) {
        msg.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TCustomMaskEdit::WndProc(msg);
}

// ---- Window and layout -----------------------------------------------------------------

void TCustomComboEdit::CreateParams(TCreateParams& params) {
  TCustomMaskEdit::CreateParams(params);
  params.Style |= OneLineEditStyle(alignment_);
}

void TCustomComboEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  caretHidden_ = false;
  SetEditRect();
}

int TCustomComboEdit::MinHeight() const {
  return ComboMinHeight(StockFontHeight(SYSTEM_FONT), FontLineHeight(Font()), GetSystemMetrics(SM_CYBORDER));
}

// A larger font may need a taller edit.
void TCustomComboEdit::FontChanged() {
  TCustomMaskEdit::FontChanged();
  if (buttonHost_ == nullptr) return;
  Resize();
}

void TCustomComboEdit::BiDiModeChanged() {
  TCustomMaskEdit::BiDiModeChanged();
  if (popup_ != nullptr) popup_->SetBiDiMode(BiDiMode());
}

void TCustomComboEdit::Resize() {
  TCustomMaskEdit::Resize();
  if (buttonHost_ == nullptr) return;  // still being made
  const int least = MinHeight();
  if (Height() < least) {
    SetHeight(least);  // comes back here
    return;
  }
  PlaceButton();
}

void TCustomComboEdit::PlaceButton() {
  const TComboRect r = ComboButtonPlace(Width(), Height(), ButtonWidth(), BorderStyle() == bsSingle);
  buttonHost_->SetBounds(r.Left, r.Top, r.Width, r.Height);
  button_->SetBounds(0, 0, r.Width, r.Height);
  SetEditRect();
}

void TCustomComboEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT rect{0, 0, ComboTextRight(ClientWidth(), buttonHost_->Width()), ClientHeight() + 1};
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}
