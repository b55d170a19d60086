#include "kit/win/gradient_caption.h"

#include "kit/win/draw_utils_win.h"
#include "kit/win/window_hook.h"

// After the hook's header: it declares a member that this header makes a macro of.
#include <windowsx.h>
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/menus.h"

namespace {

const EnumInfo HideDirectionEnum{"THideDirection", {"hdLeftToRight", "hdRightToLeft"}};

// The caption font of the system's non-client metrics; false when they cannot be read (or
// are not to be).
bool SystemCaptionFont(bool small, LOGFONTA& font) {
  if (!GradientCaptionSystemFont) return false;
  // The size of the metrics record without the padded-border field of later systems, which
  // every system accepts.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) return false;
  font = small ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
  return true;
}

TCaptionMetrics SystemCaptionMetrics() {
  TCaptionMetrics m;
  m.FrameX = GetSystemMetrics(SM_CXFRAME);
  m.FrameY = GetSystemMetrics(SM_CYFRAME);
  m.DlgFrameX = GetSystemMetrics(SM_CXDLGFRAME);
  m.DlgFrameY = GetSystemMetrics(SM_CYDLGFRAME);
  m.Caption = GetSystemMetrics(SM_CYCAPTION);
  m.SmCaption = GetSystemMetrics(SM_CYSMCAPTION);
  m.Size = GetSystemMetrics(SM_CXSIZE);
  m.SmSize = GetSystemMetrics(SM_CXSMSIZE);
  return m;
}

}  // namespace

bool GradientCaptionSystemFont = true;

// ---- TKitCaption -------------------------------------------------------------------------

const ClassInfo* TKitCaption::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitCaption>("TKitCaption", TCollectionItem::StaticClassInfo())
          .Str("Caption", &TKitCaption::Caption, &TKitCaption::SetCaption)
          .Obj("Font", &TKitCaption::Font, TFont::StaticClassInfo())
          .Bool("ParentFont", &TKitCaption::ParentFont, &TKitCaption::SetParentFont)
          .Int("InactiveColor", &TKitCaption::InactiveColor, &TKitCaption::SetInactiveColor)
          .Bool("GlueNext", &TKitCaption::GlueNext, &TKitCaption::SetGlueNext)
          .Bool("Visible", &TKitCaption::Visible, &TKitCaption::SetVisible)
          .Build();
  return &ci;
}

TKitCaption::TKitCaption(TKitGradientCaption* gradientCaption) : font_(std::make_unique<TFont>()) {
  if (gradientCaption != nullptr) TakeParentFont(gradientCaption->Font());
  else font_->SetColor(clCaptionText);
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TKitCaption::~TKitCaption() { font_->OnChange = nullptr; }

void TKitCaption::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Changed(false);
}

void TKitCaption::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (parentFont_)
    if (TKitGradientCaption* owner = GradientCaption()) TakeParentFont(owner->Font());
  Changed(false);
}

void TKitCaption::SetInactiveColor(TColor value) {
  if (value == inactiveColor_) return;
  inactiveColor_ = value;
  TKitGradientCaption* owner = GradientCaption();
  if (owner == nullptr || !owner->WindowActive()) Changed(false);
}

void TKitCaption::SetGlueNext(bool value) {
  if (value == glueNext_) return;
  glueNext_ = value;
  Changed(false);
}

void TKitCaption::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed(false);
}

void TKitCaption::RestoreDefaults() {
  inactiveColor_ = clInactiveCaptionText;
  visible_ = true;
  SetParentFont(true);
}

TKitGradientCaption* TKitCaption::GradientCaption() const {
  auto* list = dynamic_cast<TKitCaptionList*>(Collection());
  return list != nullptr ? dynamic_cast<TKitGradientCaption*>(list->GetOwner()) : nullptr;
}

int TKitCaption::TextWidth() const {
  TWindowCanvas canvas;
  canvas.Font()->Assign(font_.get());
  return canvas.TextWidth(caption_);
}

void TKitCaption::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKitCaption*>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* list = Collection();
  if (list != nullptr) list->BeginUpdate();
  try {
    RestoreDefaults();
    SetCaption(other->Caption());
    SetParentFont(other->ParentFont());
    if (!parentFont_) SetFont(other->Font());
    SetInactiveColor(other->InactiveColor());
    SetGlueNext(other->GlueNext());
    SetVisible(other->Visible());
  } catch (...) {
    if (list != nullptr) list->EndUpdate();
    throw;
  }
  if (list != nullptr) list->EndUpdate();
}

void TKitCaption::FontChanged() {
  if (takingFont_) return;
  parentFont_ = false;
  Changed(false);
}

void TKitCaption::TakeParentFont(TFont* font) {
  takingFont_ = true;
  font_->Assign(font);
  takingFont_ = false;
}

// ---- TKitCaptionList ---------------------------------------------------------------------

const ClassInfo* TKitCaptionList::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TKitCaptionList>("TKitCaptionList", TCollection::StaticClassInfo()).Build();
  return &ci;
}

TKitCaptionList::TKitCaptionList(TKitGradientCaption* owner)
    : TCollection([owner] { return new TKitCaption(owner); }, owner), gradientCaption_(owner) {}

void TKitCaptionList::Update(TCollectionItem*) { gradientCaption_->CaptionsChanged(); }

// ---- TKitGradientCaption -----------------------------------------------------------------

const ClassInfo* TKitGradientCaption::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitGradientCaption>("TKitGradientCaption", TComponent::StaticClassInfo())
          .Bool("Active", &TKitGradientCaption::Active, &TKitGradientCaption::SetActive)
          .Obj("Captions", &TKitGradientCaption::Captions, TKitCaptionList::StaticClassInfo())
          .Bool("DefaultFont", &TKitGradientCaption::DefaultFont, &TKitGradientCaption::SetDefaultFont)
          .Str("FormCaption", &TKitGradientCaption::FormCaption, &TKitGradientCaption::SetFormCaption)
          .Int("FontInactiveColor", &TKitGradientCaption::FontInactiveColor,
               &TKitGradientCaption::SetFontInactiveColor)
          .Obj("Font", &TKitGradientCaption::Font, TFont::StaticClassInfo())
          .Bool("GradientActive", &TKitGradientCaption::GradientActive, &TKitGradientCaption::SetGradientActive)
          .Bool("GradientInactive", &TKitGradientCaption::GradientInactive,
                &TKitGradientCaption::SetGradientInactive)
          .Int("GradientSteps", &TKitGradientCaption::GradientSteps, &TKitGradientCaption::SetGradientSteps)
          .Enum("HideDirection", &TKitGradientCaption::HideDirection, &TKitGradientCaption::SetHideDirection,
                &HideDirectionEnum)
          .Ref("PopupMenu", &TKitGradientCaption::PopupMenu, &TKitGradientCaption::SetPopupMenu,
               TPopupMenu::StaticClassInfo())
          .Int("StartColor", &TKitGradientCaption::StartColor, &TKitGradientCaption::SetStartColor)
          .Build();
  return &ci;
}

TKitGradientCaption::TKitGradientCaption(TComponent* owner)
    : TComponent(owner),
      captions_(std::make_unique<TKitCaptionList>(this)),
      font_(std::make_unique<TFont>()),
      hook_(std::make_unique<TKitWindowHook>(nullptr)) {
  hook_->SetActive(false);
  hook_->BeforeMessage = [this](TObject*, TMessage& msg, bool& handled) {
    if (active_) BeforeFormMessage(msg, handled);
  };
  hook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) {
    if (active_) AfterFormMessage(msg);
  };
  ApplyDefaultFont();
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TKitGradientCaption::~TKitGradientCaption() {
  OnActivate = nullptr;
  OnDeactivate = nullptr;
  font_->OnChange = nullptr;
  hook_.reset();
  for (const NcPaintRegion& region : regions_)
    if (region.Replacement != nullptr) DeleteObject(region.Replacement);
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
}

TCustomForm* TKitGradientCaption::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TKitGradientCaption::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  popupPending_ = false;
  RefreshCaption();
  if ((ComponentState() & (csLoading | csDestroying)) != 0) return;
  if (active_) {
    if (OnActivate) OnActivate(this);
  } else if (OnDeactivate) {
    OnDeactivate(this);
  }
}

void TKitGradientCaption::SetDefaultFont(bool value) {
  if (value == defaultFont_) return;
  if (value) ApplyDefaultFont();
  defaultFont_ = value;
  if (active_) RefreshCaption();
}

void TKitGradientCaption::SetFormCaption(const std::string& value) {
  if (value == formCaption_) return;
  formCaption_ = value;
  if (active_) RefreshCaption();
}

void TKitGradientCaption::SetFontInactiveColor(TColor value) {
  if (value == fontInactiveColor_) return;
  fontInactiveColor_ = value;
  if (active_ && !windowActive_) RefreshCaption();
}

void TKitGradientCaption::SetGradientActive(bool value) {
  if (value == gradientActive_) return;
  gradientActive_ = value;
  if (active_ && windowActive_) RefreshCaption();
}

void TKitGradientCaption::SetGradientInactive(bool value) {
  if (value == gradientInactive_) return;
  gradientInactive_ = value;
  if (active_ && !windowActive_) RefreshCaption();
}

void TKitGradientCaption::SetGradientSteps(int value) {
  if (value == gradientSteps_) return;
  gradientSteps_ = value;
  if (active_ && DrawnAsGradient()) RefreshCaption();
}

void TKitGradientCaption::SetHideDirection(THideDirection value) {
  if (value == hideDirection_) return;
  hideDirection_ = value;
  if (active_) RefreshCaption();
}

void TKitGradientCaption::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

void TKitGradientCaption::SetStartColor(TColor value) {
  if (value == startColor_) return;
  startColor_ = value;
  if (active_) RefreshCaption();
}

bool TKitGradientCaption::DrawnAsGradient() const {
  return windowActive_ ? gradientActive_ : gradientInactive_;
}

void TKitGradientCaption::ApplyDefaultFont() {
  applyingFont_ = true;
  TCustomForm* form = Form();
  const bool small =
      form != nullptr && (form->BorderStyle() == bsToolWindow || form->BorderStyle() == bsSizeToolWin);
  LOGFONTA logFont{};
  if (SystemCaptionFont(small, logFont)) {
    font_->SetHandle(CreateFontIndirectA(&logFont));
  } else {
    font_->SetName("MS Sans Serif");
    font_->SetSize(8);
    font_->SetStyle(fsBold);
  }
  font_->SetColor(clCaptionText);
  font_->SetCharset(DEFAULT_CHARSET);
  applyingFont_ = false;
  defaultFont_ = true;
}

void TKitGradientCaption::FontChanged() {
  if (applyingFont_) return;
  defaultFont_ = false;
  if (captions_->Count() == 0) {
    if (active_) RefreshCaption();
    return;
  }
  captions_->BeginUpdate();
  for (int i = 0; i < captions_->Count(); ++i) {
    TKitCaption* part = captions_->GetItem(i);
    if (part->ParentFont()) part->TakeParentFont(font_.get());
  }
  captions_->EndUpdate();
}

void TKitGradientCaption::CaptionsChanged() {
  if ((ComponentState() & csLoading) != 0 || !active_) return;
  RefreshCaption();
}

void TKitGradientCaption::Loaded() {
  TComponent::Loaded();
  RefreshCaption();
}

void TKitGradientCaption::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupMenu_) popupMenu_ = nullptr;
}

void TKitGradientCaption::RefreshCaption() {
  TCustomForm* form = Form();
  if (form == nullptr || (ComponentState() & csLoading) != 0 || !hook_) return;
  if (active_) {
    hook_->SetWinControl(form);
    hook_->SetActive(true);
  } else {
    hook_->SetActive(false);
  }
  windowActive_ = false;
  if (!form->HandleAllocated() || !form->Visible()) return;
  if (active_) windowActive_ = GetActiveWindow() == form->Handle() && IsActiveWindowInThread();
  UniqueRegion region(CreateRectRgn(form->Left(), form->Top(), form->Left() + form->Width(),
                                    form->Top() + form->Height()));
  SendMessageA(form->Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region.get()), 0);
}

RECT TKitGradientCaption::CaptionRect(unsigned* effectiveIcons) const {
  TCustomForm* form = Form();
  RECT window{};
  if (form != nullptr && form->HandleAllocated()) GetWindowRect(form->Handle(), &window);
  const TCaptionBorderStyle style =
      form != nullptr ? static_cast<TCaptionBorderStyle>(form->BorderStyle()) : cbsNone;
  const unsigned icons = form != nullptr ? form->BorderIcons() : 0;
  unsigned effective = 0;
  const TCaptionRect r = CaptionRectOf(TCaptionRect{window.left, window.top, window.right, window.bottom}, style,
                                       icons, SystemCaptionMetrics(), effective);
  if (effectiveIcons != nullptr) *effectiveIcons = effective;
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

bool TKitGradientCaption::IsRightToLeftCaption() const {
  if (GetSystemMetrics(SM_MIDEASTENABLED) == 0) return false;
  TCustomForm* form = Form();
  return form != nullptr && form->BiDiMode() != bdLeftToRight;
}

TFont* TKitGradientCaption::PartFont(int part) const {
  if (part < 0 || part >= captions_->Count()) return font_.get();
  TKitCaption* caption = captions_->GetItem(part);
  return caption->ParentFont() ? font_.get() : caption->Font();
}

TColor TKitGradientCaption::PartColor(int part) const {
  if (part < 0 || part >= captions_->Count()) return windowActive_ ? font_->Color() : fontInactiveColor_;
  TKitCaption* caption = captions_->GetItem(part);
  return windowActive_ ? PartFont(part)->Color() : caption->InactiveColor();
}

void TKitGradientCaption::PaintCaption(HDC windowDc) {
  TCustomForm* form = Form();
  if (form == nullptr || !form->HandleAllocated() || form->BorderStyle() == bsNone) return;
  unsigned icons = 0;
  RECT caption = CaptionRect(&icons);
  RECT window{};
  GetWindowRect(form->Handle(), &window);
  OffsetRect(&caption, -window.left, -window.top);
  const int width = GetRectWidth(caption);
  const int height = GetRectHeight(caption);
  if (width <= 0 || height <= 0) return;

  // The picture is drawn as the screen shows it and copied without being mirrored: on a
  // mirrored window the system puts the icon at the right and the buttons at the left, so
  // the gradient starts at the right, the icon sits there and the texts line up from it,
  // while the letters still read as they are written.
  const bool mirrored = (GetLayout(windowDc) & LAYOUT_RTL) != 0;
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  TCanvas* canvas = bitmap.Canvas();
  RECT r{0, 0, width, height};
  const TColor endColor = windowActive_ ? clActiveCaption : clInactiveCaption;
  if (DrawnAsGradient()) {
    GradientFillRect(canvas, r, startColor_, endColor, mirrored ? gdRightToLeft : gdLeftToRight,
                     gradientSteps_ & 0xFF);
  } else {
    canvas->Brush()->SetColor(endColor);
    canvas->FillRect(r);
  }

  const TFormBorderStyle style = form->BorderStyle();
  if ((icons & biSystemMenu) != 0 && (style == bsSingle || style == bsSizeable)) {
    const int iconWidth = GetSystemMetrics(SM_CXSMICON);
    const int iconHeight = GetSystemMetrics(SM_CYSMICON);
    UniqueIcon loaded;
    HICON icon = nullptr;
    if (!form->Icon()->Empty()) {
      icon = form->Icon()->Handle();
    } else {
      loaded.reset(static_cast<HICON>(
          LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, iconWidth, iconHeight, 0)));
      icon = loaded ? loaded.get() : LoadIconA(nullptr, IDI_APPLICATION);
    }
    int x = 0;
    int y = 0;
    CaptionIconPos(r.left, r.top, r.bottom, iconWidth, iconHeight, x, y);
    if (mirrored) x = width - x - iconWidth;
    DrawIconEx(canvas->Handle(), x, y, icon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
    if (mirrored) r.right -= r.bottom - r.top;
    else r.left += r.bottom - r.top;
  }

  if (!formCaption_.empty() || captions_->Count() > 0) {
    std::vector<TCaptionPartInfo> parts;
    for (int i = 0; i < captions_->Count(); ++i) {
      TKitCaption* part = captions_->GetItem(i);
      parts.push_back(TCaptionPartInfo{part->Caption(), part->Visible(), part->GlueNext()});
    }
    const bool rightToLeft = mirrored || IsRightToLeftCaption();
    auto textWidth = [&](int font, const std::string& text) {
      canvas->Font()->Assign(PartFont(font));
      return canvas->TextWidth(text);
    };
    const std::vector<TCaptionDraw> draws =
        LayoutCaptionTexts(parts, formCaption_, hideDirection_, r.left, r.right, rightToLeft, textWidth);
    UINT flags = DT_VCENTER | DT_SINGLELINE;
    if (rightToLeft) flags |= DT_RIGHT | DT_RTLREADING;
    canvas->Brush()->SetStyle(bsClear);
    for (const TCaptionDraw& draw : draws) {
      canvas->Font()->Assign(PartFont(draw.Font));
      canvas->Font()->SetColor(PartColor(draw.ColorOf));
      HDC dc = canvas->Handle();
      SelectObject(dc, canvas->Font()->Handle());
      SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
      SetBkMode(dc, TRANSPARENT);
      RECT textRect{draw.Left, r.top, draw.Right, r.bottom};
      DrawTextA(dc, draw.Text.c_str(), static_cast<int>(draw.Text.size()), &textRect, flags);
    }
  }
  const DWORD layout = GetLayout(windowDc);
  if (mirrored) SetLayout(windowDc, layout | LAYOUT_BITMAPORIENTATIONPRESERVED);
  BitBlt(windowDc, caption.left, caption.top, width, height, canvas->Handle(), 0, 0, SRCCOPY);
  if (mirrored) SetLayout(windowDc, layout);
}

void TKitGradientCaption::PaintOnWindow() {
  TCustomForm* form = Form();
  if (form == nullptr || !form->HandleAllocated() || !IsWindowVisible(form->Handle())) return;
  const WindowDc dc = WindowDc::ForWindow(form->Handle());
  if (dc) PaintCaption(dc.get());
}

bool TKitGradientCaption::ShowPopup(int x, int y) {
  TCustomForm* form = Form();
  if (popupMenu_ == nullptr || !popupMenu_->AutoPopup() || form == nullptr) return false;
  popupMenu_->SetPopupComponent(this);
  form->SendCancelMode(nullptr);
  popupMenu_->Popup(x, y);
  return true;
}

void TKitGradientCaption::BeforeFormMessage(TMessage& msg, bool& handled) {
  switch (msg.Msg) {
    case WM_NCPAINT: {
      NcPaintRegion entry{msg.WParam, nullptr};
      // wParam 1 is the whole frame without a region: passed on as it is.
      if (msg.WParam > 1) {
        HRGN incoming = reinterpret_cast<HRGN>(msg.WParam);
        const RECT caption = CaptionRect();
        if (RectInRegion(incoming, &caption)) {
          UniqueRegion captionRegion(CreateRectRgnIndirect(&caption));
          HRGN rest = CreateRectRgn(0, 0, 0, 0);
          CombineRgn(rest, incoming, captionRegion.get(), RGN_DIFF);
          entry.Replacement = rest;
          msg.WParam = reinterpret_cast<WPARAM>(rest);
        }
      }
      regions_.push_back(entry);
      break;
    }
    case WM_NCACTIVATE:
      windowActive_ = msg.WParam != 0;
      break;
    case WM_NCRBUTTONDOWN:
      if (popupMenu_ != nullptr && popupMenu_->AutoPopup()) {
        popupPending_ = true;
        msg.Result = 0;
        handled = true;
      }
      break;
    case WM_NCRBUTTONUP:
      if (popupPending_) {
        popupPending_ = false;
        // Signed: a monitor left of or above the primary one has negative coordinates.
        if (ShowPopup(GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam))) {
          msg.Result = 0;
          handled = true;
        }
      }
      break;
    default:
      break;
  }
}

void TKitGradientCaption::AfterFormMessage(TMessage& msg) {
  switch (msg.Msg) {
    case WM_NCPAINT:
      if (!regions_.empty()) {
        const NcPaintRegion entry = regions_.back();
        regions_.pop_back();
        if (entry.Replacement != nullptr) {
          DeleteObject(entry.Replacement);
          msg.WParam = entry.Incoming;
        }
      }
      PaintOnWindow();
      break;
    case WM_NCACTIVATE:
      PaintOnWindow();
      break;
    // The system draws the caption bar straight away when the form's text or icon changes
    // (a language switch sets every form's caption): paint ours over it again.
    case WM_SETTEXT:
    case WM_SETICON:
      PaintOnWindow();
      break;
    // The form made its window again (a change of direction does) and may have shown and
    // activated it before the hook came back: learn its state and paint.
    case CM_WINDOWHOOKED:
      RefreshCaption();
      break;
    default:
      break;
  }
}
