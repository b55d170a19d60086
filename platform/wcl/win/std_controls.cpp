#include "platform/wcl/win/std_controls.h"

#include <algorithm>
#include <vector>

#include "platform/wcl/win/messages.h"

const EnumInfo AlignmentEnum{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const EnumInfo ButtonLayoutEnum{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};

namespace {

const EnumInfo BevelCutEnum{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const EnumInfo BevelShapeEnum{"TBevelShape",
                              {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
const EnumInfo BevelStyleEnum{"TBevelStyle", {"bsLowered", "bsRaised"}};

UINT AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// Text drawn (or, with DT_CALCRECT, measured) with DrawTextA in a font and colour, on a
// clear background.
void DrawTextIn(HDC dc, TFont* font, TColor color, const std::string& text, RECT& rect, UINT flags) {
  ScopedSelectObject selected(dc, font->Handle());
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
  SetBkMode(dc, oldMode);
}

// Measures on the screen's DC, so that no window is needed.
RECT MeasureText(TFont* font, const std::string& text, RECT rect, UINT flags) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  DrawTextIn(screen.get(), font, clBlack, text, rect, flags | DT_CALCRECT);
  return rect;
}

int FontTextHeight(TFont* font) {
  const RECT r = MeasureText(font, "0", RECT{0, 0, 0, 0}, DT_SINGLELINE);
  return r.bottom - r.top;
}

// A three-dimensional frame of width lines, inside rect: top and left in one colour,
// bottom and right in the other. rect shrinks by the frame.
void Frame3D(TCanvas* canvas, RECT& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen()->SetWidth(1);
  for (; width > 0; --width) {
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    canvas->Pen()->SetColor(topColor);
    canvas->Polyline({POINT{l, b}, POINT{l, t}, POINT{r, t}});
    canvas->Pen()->SetColor(bottomColor);
    canvas->Polyline({POINT{r, t}, POINT{r, b}, POINT{l - 1, b}});
    InflateRect(&rect, -1, -1);
  }
}

void BevelColors(bool lowered, TColor& topColor, TColor& bottomColor) {
  topColor = lowered ? clBtnShadow : clBtnHighlight;
  bottomColor = lowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TPanel

const ClassInfo* TPanel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPanel>("TPanel", TCustomControl::StaticClassInfo())
                                  .Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, &AlignmentEnum)
                                  .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, &BevelCutEnum)
                                  .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, &BevelCutEnum)
                                  .Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1, 1000)
                                  .Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0, 1000)
                                  .Str("Caption", &TPanel::Caption, &TPanel::SetCaption)
                                  .Build();
  return &ci;
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  FrameChanged();
}

void TPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  FrameChanged();
}

void TPanel::SetBevelWidth(int value) {
  value = std::max(value, 1);
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  FrameChanged();
}

void TPanel::SetBorderWidth(int value) {
  value = std::max(value, 0);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  FrameChanged();
}

void TPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // The bevels are drawn along the edges: any change of size repaints the whole panel.
  params.WinClassName = "HlPanel";
  params.WindowClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::AdjustClientRect(RECT& rect) const {
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  InflateRect(&rect, -inset, -inset);
}

void TPanel::TextChanged() {
  TCustomControl::TextChanged();
  Invalidate();
}

void TPanel::Paint() {
  TCanvas* canvas = Canvas();
  RECT rect = ClientRect();
  TColor top, bottom;
  if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_ == bvLowered, top, bottom);
    if (bevelOuter_ == bvSpace) top = bottom = Color();
    Frame3D(canvas, rect, top, bottom, bevelWidth_);
  }
  Frame3D(canvas, rect, Color(), Color(), borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_ == bvLowered, top, bottom);
    if (bevelInner_ == bvSpace) top = bottom = Color();
    Frame3D(canvas, rect, top, bottom, bevelWidth_);
  }
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  const std::string caption = Caption();
  if (caption.empty()) return;
  // One line, in the middle of the height.
  const int height = FontTextHeight(Font());
  rect.top = (rect.top + rect.bottom - height) / 2;
  rect.bottom = rect.top + height;
  DrawTextIn(canvas->Handle(), Font(), Font()->Color(), caption, rect,
             DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | AlignmentFlag(alignment_));
}

// ---------------------------------------------------------------------------------------
// TBevel

const ClassInfo* TBevel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBevel>("TBevel", TGraphicControl::StaticClassInfo())
                                  .Enum("Shape", &TBevel::Shape, &TBevel::SetShape, &BevelShapeEnum)
                                  .Enum("Style", &TBevel::Style, &TBevel::SetStyle, &BevelStyleEnum)
                                  .Build();
  return &ci;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csOpaque));
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (value == style_) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  TColor first, second;
  BevelColors(style_ == bsLowered, first, second);
  const int w = Width(), h = Height();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: {
      RECT r{0, 0, w, h};
      Frame3D(canvas, r, first, second, 1);
      break;
    }
    case bsFrame: {
      // Two boxes one pixel apart, the outer one in the opposite colours: an etched frame.
      RECT outer{1, 1, w, h};
      Frame3D(canvas, outer, second, second, 1);
      RECT inner{0, 0, w - 1, h - 1};
      Frame3D(canvas, inner, first, first, 1);
      break;
    }
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---------------------------------------------------------------------------------------
// TLabel

const ClassInfo* TLabel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TLabel>("TLabel", TGraphicControl::StaticClassInfo())
                                  .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, &AlignmentEnum)
                                  .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
                                  .Str("Caption", &TLabel::Caption, &TLabel::SetCaption)
                                  .Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
                                  .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
                                  .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
                                  .Build();
  return &ci;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Invalidate();
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  const TControlStyle opaque = csOpaque;
  SetControlStyle(value ? ControlStyle() & ~opaque : ControlStyle() | opaque);
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  Invalidate();
  AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::TextChanged() {
  TGraphicControl::TextChanged();
  AdjustBounds();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

// Font heights round on their own and widths do not grow exactly by the ratio, so a label is
// measured again once scaled: an auto-sized one takes its caption's new size; one of a fixed
// size grows to its caption's height (at its width when it wraps) and, when it does not wrap,
// to its caption's width, keeping its aligned edge.
void TLabel::ChangeScale(int m, int d) {
  TGraphicControl::ChangeScale(m, d);
  if (autoSize_) {
    AdjustBounds();
    return;
  }
  std::string text = Caption();
  if (text.empty()) text = " ";
  const RECT r = MeasureText(Font(), text, RECT{0, 0, wordWrap_ ? Width() : 0, 0}, DrawFlags());
  if (Height() < r.bottom) SetHeight(r.bottom);
  if (!wordWrap_ && Width() < r.right) {
    const int grow = r.right - Width();
    const int left = alignment_ == taRightJustify ? Left() - grow : alignment_ == taCenter ? Left() - grow / 2 : Left();
    SetBounds(left, Top(), r.right, Height());
  }
}

UINT TLabel::DrawFlags() const {
  return DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
}

// The size of the caption in the label's font. A form being built sizes its labels when it
// is loaded, and again when it is scaled.
void TLabel::AdjustBounds() {
  if (!autoSize_ || (ComponentState() & csLoading)) return;
  std::string text = Caption();
  // An empty caption (or a lone prefix) still has the height of a line.
  if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
  const RECT r = MeasureText(Font(), text, RECT{0, 0, wordWrap_ ? Width() : 0, 0}, DrawFlags());
  // A wrapped label keeps the width its lines wrap at (so it wraps alike once scaled).
  const int width = wordWrap_ && Width() > 0 ? Width() : r.right;
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - width;
  SetBounds(left, Top(), width, r.bottom);
}

void TLabel::Paint() {
  TCanvas* canvas = Canvas();
  RECT rect = ClientRect();
  if (!transparent_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
  }
  const UINT flags = DrawFlags() | AlignmentFlag(alignment_);
  const std::string caption = Caption();
  HDC dc = canvas->Handle();
  if (Enabled()) {
    DrawTextIn(dc, Font(), Font()->Color(), caption, rect, flags);
    return;
  }
  // Disabled: engraved, a light copy one pixel down and right under a shadow copy.
  OffsetRect(&rect, 1, 1);
  DrawTextIn(dc, Font(), clBtnHighlight, caption, rect, flags);
  OffsetRect(&rect, -1, -1);
  DrawTextIn(dc, Font(), clBtnShadow, caption, rect, flags);
}

// ---------------------------------------------------------------------------------------
// TButton

const ClassInfo* TButton::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TButton>("TButton", TCustomButton::StaticClassInfo()).Build();
  return &ci;
}

// ---------------------------------------------------------------------------------------
// TBitBtn

const ClassInfo* TBitBtn::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBitBtn>("TBitBtn", TCustomButton::StaticClassInfo())
                                  .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, &ButtonLayoutEnum)
                                  .Build();
  return &ci;
}

TBitBtn::TBitBtn(TComponent* owner) : TCustomButton(owner) { glyph_.SetTransparent(true); }

void TBitBtn::SetGlyph(TBitmap* value) {
  if (value != nullptr)
    glyph_.Assign(value);
  else
    glyph_.SetSize(0, 0);
  glyph_.SetTransparent(true);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

UINT TBitBtn::PushStyle() const { return BS_OWNERDRAW; }

void TBitBtn::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam));
      msg.Result = TRUE;
      return;
    case WM_LBUTTONDBLCLK:
      // The second click of a quick pair presses the button again.
      msg.Msg = WM_LBUTTONDOWN;
      break;
    default:
      break;
  }
  TCustomButton::WndProc(msg);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool down = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  // The button Enter would press has a dark ring.
  if (focused || Default()) {
    FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&face, -1, -1);
  }
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));

  // Glyph and caption as one block in the middle, 4 pixels apart, the glyph on its side.
  const std::string caption = Caption();
  const RECT text = caption.empty() ? RECT{0, 0, 0, 0} : MeasureText(Font(), caption, RECT{0, 0, 0, 0}, DT_SINGLELINE);
  const int tw = text.right, th = text.bottom;
  const int gw = glyph_.Empty() ? 0 : glyph_.Width(), gh = glyph_.Empty() ? 0 : glyph_.Height();
  const int spacing = tw > 0 && gw > 0 ? 4 : 0;
  const int width = item.rcItem.right - item.rcItem.left, height = item.rcItem.bottom - item.rcItem.top;
  POINT glyphAt{(width - gw) / 2, (height - gh) / 2};
  POINT textAt{(width - tw) / 2, (height - th) / 2};
  const bool vertical = layout_ == blGlyphTop || layout_ == blGlyphBottom;
  const int start = ((vertical ? height : width) - (vertical ? gh + spacing + th : gw + spacing + tw)) / 2;
  const bool glyphFirst = layout_ == blGlyphLeft || layout_ == blGlyphTop;
  LONG& glyphAlong = vertical ? glyphAt.y : glyphAt.x;
  LONG& textAlong = vertical ? textAt.y : textAt.x;
  glyphAlong = glyphFirst ? start : start + (vertical ? th : tw) + spacing;
  textAlong = glyphFirst ? start + (vertical ? gh : gw) + spacing : start;
  const int shift = down ? 1 : 0;

  if (gw > 0) {
    const int x = item.rcItem.left + glyphAt.x + shift, y = item.rcItem.top + glyphAt.y + shift;
    if (enabled) {
      TCanvas canvas;
      canvas.SetHandle(dc);
      canvas.Draw(x, y, &glyph_);
      canvas.SetHandle(nullptr);
    } else {
      // Embossed: every pixel that is not see-through, light one pixel down and right
      // under a shadow one.
      const COLORREF key = static_cast<COLORREF>(ColorToRGB(glyph_.TransparentColor()) & 0xFFFFFF);
      TCanvas* source = glyph_.Canvas();
      std::vector<POINT> marked;
      for (int py = 0; py < gh; ++py)
        for (int px = 0; px < gw; ++px)
          if ((static_cast<COLORREF>(ColorToRGB(source->Pixels(px, py))) & 0xFFFFFF) != key) marked.push_back({px, py});
      const auto light = static_cast<COLORREF>(ColorToRGB(clBtnHighlight));
      const auto shadow = static_cast<COLORREF>(ColorToRGB(clBtnShadow));
      for (const POINT& p : marked) SetPixel(dc, x + p.x + 1, y + p.y + 1, light);
      for (const POINT& p : marked) SetPixel(dc, x + p.x, y + p.y, shadow);
    }
  }
  if (tw > 0) {
    RECT at{item.rcItem.left + textAt.x + shift, item.rcItem.top + textAt.y + shift, 0, 0};
    at.right = at.left + tw;
    at.bottom = at.top + th;
    if (enabled) {
      DrawTextIn(dc, Font(), Font()->Color(), caption, at, DT_SINGLELINE);
    } else {
      OffsetRect(&at, 1, 1);
      DrawTextIn(dc, Font(), clBtnHighlight, caption, at, DT_SINGLELINE);
      OffsetRect(&at, -1, -1);
      DrawTextIn(dc, Font(), clBtnShadow, caption, at, DT_SINGLELINE);
    }
  }
  if (focused) {
    RECT ring = item.rcItem;
    InflateRect(&ring, -4, -4);
    ::DrawFocusRect(dc, &ring);
  }
}

// ---------------------------------------------------------------------------------------
// TButtonControl, TCheckBox, TRadioButton

const ClassInfo* TButtonControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TButtonControl>("TButtonControl", TWinControl::StaticClassInfo())
          .Enum("Alignment", &TButtonControl::Alignment, &TButtonControl::SetAlignment, &AlignmentEnum)
          .Str("Caption", &TButtonControl::Caption, &TButtonControl::SetCaption)
          .Bool("Checked", &TButtonControl::Checked, &TButtonControl::SetChecked)
          .Build();
  return &ci;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  // The BUTTON window reports its own clicks (BN_CLICKED) and keeps the mouse itself.
  SetControlStyle(csDoubleClicks);
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TButtonControl::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = "BUTTON";
  if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TButtonControl::StoreChecked(bool value) {
  checked_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButtonControl::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !CanFocus()) return false;
  SetFocus();
  ButtonClicked();
  return true;
}

void TButtonControl::WndProc(TMessage& msg) {
  if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == BN_CLICKED) {
    ButtonClicked();
    return;
  }
  TWinControl::WndProc(msg);
}

const ClassInfo* TCheckBox::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCheckBox>("TCheckBox", TButtonControl::StaticClassInfo()).Build();
  return &ci;
}

void TCheckBox::SetChecked(bool value) {
  if (value == Checked()) return;
  StoreChecked(value);
  Click();
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_CHECKBOX;
}

void TCheckBox::ButtonClicked() { SetChecked(!Checked()); }

const ClassInfo* TRadioButton::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TRadioButton>("TRadioButton", TButtonControl::StaticClassInfo()).Build();
  return &ci;
}

void TRadioButton::SetChecked(bool value) {
  if (value == Checked()) return;
  StoreChecked(value);
  if (!value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
      if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
    }
  }
  Click();
}

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::ButtonClicked() { SetChecked(true); }

// ---------------------------------------------------------------------------------------
// TGroupBox

const ClassInfo* TGroupBox::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TGroupBox>("TGroupBox", TCustomControl::StaticClassInfo())
                                  .Str("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption)
                                  .Build();
  return &ci;
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 105); }

void TGroupBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WinClassName = "HlGroupBox";
  params.WindowClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

// The children sit below the caption and inside the etched frame.
void TGroupBox::AdjustClientRect(RECT& rect) const {
  rect.top += FontTextHeight(Font());
  InflateRect(&rect, -2, -2);
}

bool TGroupBox::DialogChar(char key) {
  return IsAccel(key, Caption()) && CanFocus() && SelectNext(nullptr, true, true);
}

void TGroupBox::TextChanged() {
  TCustomControl::TextChanged();
  Invalidate();
}

void TGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  const int textHeight = FontTextHeight(Font());
  // An etched frame from the middle of the caption's height down.
  RECT frame{1, textHeight / 2, Width(), Height()};
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnHighlight);
  canvas->FrameRect(frame);
  OffsetRect(&frame, -1, -1);
  canvas->Brush()->SetColor(clBtnShadow);
  canvas->FrameRect(frame);
  const std::string caption = Caption();
  if (caption.empty()) return;
  // The caption interrupts the frame's top line.
  RECT text = MeasureText(Font(), caption, RECT{8, 0, 8, textHeight}, DT_SINGLELINE);
  text.right += 2;
  text.left -= 2;
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(text);
  InflateRect(&text, -2, 0);
  DrawTextIn(canvas->Handle(), Font(), Enabled() ? Font()->Color() : clGrayText, caption, text, DT_SINGLELINE);
}

// ---------------------------------------------------------------------------------------
// TImage

const ClassInfo* TImage::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TImage>("TImage", TGraphicControl::StaticClassInfo())
                                  .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                  .Bool("Center", &TImage::Center, &TImage::SetCenter)
                                  .Obj("Picture", &TImage::Picture, nullptr)
                                  .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                  .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                  .Build();
  return &ci;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  PictureChanged();
}

void TImage::PictureChanged() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic != nullptr) {
    // An icon is see-through whatever it is told.
    if (dynamic_cast<TIcon*>(graphic) == nullptr) graphic->SetTransparent(transparent_);
    if (autoSize_ && !graphic->Empty()) SetBounds(Left(), Top(), graphic->Width(), graphic->Height());
  }
  Invalidate();
}

RECT TImage::DestRect() const {
  const int w = picture_->Width(), h = picture_->Height();
  if (stretch_) return ClientRect();
  if (center_) {
    const int x = (Width() - w) / 2, y = (Height() - h) / 2;
    return RECT{x, y, x + w, y + h};
  }
  return RECT{0, 0, w, h};
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  Canvas()->StretchDraw(DestRect(), graphic);
}
