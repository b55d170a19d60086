#include "kit/win/animated_image.h"

#include "kit/win/draw_utils_win.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/timer.h"

const EnumInfo GlyphOrientationEnum{"TGlyphOrientation", {"goHorizontal", "goVertical"}};

// ---------------------------------------------------------------------------------------
// TKitImageControl

const ClassInfo* TKitImageControl::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TKitImageControl>("TKitImageControl", TGraphicControl::StaticClassInfo())
                                  .Build();
  return &ci;
}

TKitImageControl::TKitImageControl(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetBounds(0, 0, 105, 105);
  SetParentColor(true);
}

void TKitImageControl::DrawImage() {
  TScopedState drawing(drawing_);
  DrawImageContent();
}

bool TKitImageControl::RealizeChangedPalette() {
  if (!Visible() || Loading() || graphic_ == nullptr || !paletteChanged_) return false;
  if (GetPalette() == nullptr) {
    paletteChanged_ = false;
    return false;
  }
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr || !form->Active() || !form->HandleAllocated()) return false;
  // On a true-colour display the form has nothing to do with the request; it costs nothing.
  if (drawing_)
    SendMessageA(form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
  else
    PostMessageA(form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
  paletteChanged_ = false;
  return true;
}

void TKitImageControl::GraphicChanged() {
  if (graphic_ == nullptr) return;
  const bool realized = RealizeChangedPalette();
  if (drawing_) {
    if (realized) Update();
  } else {
    Invalidate();
  }
}

// ---------------------------------------------------------------------------------------
// TAnimatedImage

const ClassInfo* TAnimatedImage::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TAnimatedImage>("TAnimatedImage", TKitImageControl::StaticClassInfo())
          .Bool("Active", &TAnimatedImage::Active, &TAnimatedImage::SetActive)
          .Bool("AutoSize", &TAnimatedImage::AutoSize, &TAnimatedImage::SetAutoSize)
          .Bool("Center", &TAnimatedImage::Center, &TAnimatedImage::SetCenter)
          .Enum("Orientation", &TAnimatedImage::Orientation, &TAnimatedImage::SetOrientation, &GlyphOrientationEnum)
          .Obj("Glyph", &TAnimatedImage::Glyph, nullptr)
          .Int("GlyphNum", &TAnimatedImage::GlyphNum, &TAnimatedImage::SetGlyphNum)
          .Int("Interval", &TAnimatedImage::Interval, &TAnimatedImage::SetInterval)
          .Int("NumGlyphs", &TAnimatedImage::NumGlyphs, &TAnimatedImage::SetNumGlyphs)
          .Int("InactiveGlyph", &TAnimatedImage::InactiveGlyph, &TAnimatedImage::SetInactiveGlyph)
          .Int("TransparentColor", &TAnimatedImage::TransparentColor, &TAnimatedImage::SetTransparentColor)
          .Bool("Opaque", &TAnimatedImage::Opaque, &TAnimatedImage::SetOpaque)
          .Bool("Stretch", &TAnimatedImage::Stretch, &TAnimatedImage::SetStretch)
          .Build();
  return &ci;
}

TAnimatedImage::TAnimatedImage(TComponent* owner)
    : TKitImageControl(owner), glyph_(std::make_unique<TBitmap>()), timer_(std::make_unique<TTimer>(nullptr)) {
  timer_->SetEnabled(false);
  timer_->SetInterval(100);
  glyph_->OnChange = [this](TObject*) { StripChanged(); };
  SetImageGraphic(glyph_.get());
  SetColor(clWindow);
  SetParentColor(true);
  SetBounds(Left(), Top(), 32, 32);
}

TAnimatedImage::~TAnimatedImage() {
  OnFrameChanged = nullptr;
  OnStart = nullptr;
  OnStop = nullptr;
  glyph_->OnChange = nullptr;
  // Stopping from here must not paint: the control is half gone.
  timer_->SetEnabled(false);
  timer_->OnTimer = nullptr;
  strip_.SetActive(false);
  SetImageGraphic(nullptr);
}

void TAnimatedImage::Loaded() {
  TKitImageControl::Loaded();
  strip_.ComputeCellSize();
  strip_.ReconcileInactive();
  AdjustSize();
}

void TAnimatedImage::StripChanged() {
  transparentColor_ = glyph_->TransparentColor() & ~clPaletteRelative;
  strip_.SetStripSize(glyph_->Width(), glyph_->Height());
  if (GetPalette() != nullptr) NotePaletteChanged();
  AdjustSize();
  GraphicChanged();
}

void TAnimatedImage::AdjustSize() {
  if (Loading() || !autoSize_ || strip_.CellWidth() <= 0 || strip_.CellHeight() <= 0) return;
  SetBounds(Left(), Top(), strip_.CellWidth(), strip_.CellHeight());
}

void TAnimatedImage::Resize() {
  TKitImageControl::Resize();
  AdjustSize();
}

void TAnimatedImage::FrameChanged() {
  if (OnFrameChanged) OnFrameChanged(this);
}

void TAnimatedImage::SetActive(bool value) {
  if (value) {
    timer_->OnTimer = [this](TObject*) { TimerStep(); };
    timer_->SetEnabled(true);
    const bool running = timer_->Enabled() && timer_->Interval() != 0;
    if (!running) {
      // A timer that never ticks is no animation: stay stopped and say nothing.
      timer_->SetEnabled(false);
      timer_->OnTimer = nullptr;
      return;
    }
    strip_.SetActive(true);
    if (!Loading() && OnStart) OnStart(this);
  } else {
    timer_->SetEnabled(false);
    timer_->OnTimer = nullptr;
    strip_.SetActive(false);
    FrameChanged();
    if (!Loading() && OnStop) OnStop(this);
    GraphicChanged();
  }
}

void TAnimatedImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustSize();
  GraphicChanged();
}

void TAnimatedImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  GraphicChanged();
  if (Active()) Repaint();
}

void TAnimatedImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  GraphicChanged();
  if (Active()) Repaint();
}

void TAnimatedImage::SetOpaque(bool value) {
  if (value == opaque_) return;
  opaque_ = value;
  GraphicChanged();
}

void TAnimatedImage::SetTransparentColor(TColor value) {
  if (value == transparentColor_) return;
  transparentColor_ = value;
  GraphicChanged();
}

void TAnimatedImage::SetOrientation(TGlyphOrientation value) {
  if (value == strip_.Orientation()) return;
  strip_.SetOrientation(value);
  AdjustSize();
  Invalidate();
}

void TAnimatedImage::SetGlyph(TBitmap* value) { glyph_->Assign(value); }

void TAnimatedImage::SetGlyphNum(int value) {
  if (!strip_.SetGlyphNum(value)) return;
  FrameChanged();
  GraphicChanged();
}

void TAnimatedImage::SetInactiveGlyph(int value) {
  if (!strip_.SetInactiveGlyph(value, Loading())) return;
  FrameChanged();
  GraphicChanged();
}

void TAnimatedImage::SetNumGlyphs(int value) {
  strip_.SetNumGlyphs(value);
  FrameChanged();
  AdjustSize();
  GraphicChanged();
}

unsigned TAnimatedImage::Interval() const { return timer_->Interval(); }

void TAnimatedImage::SetInterval(unsigned value) { timer_->SetInterval(value); }

HPALETTE TAnimatedImage::GetPalette() { return glyph_->Empty() ? nullptr : glyph_->Palette(); }

void TAnimatedImage::TimerStep() {
  // Nothing is seen while the control or a window under it is hidden (a dialog kept for
  // later, a page not shown): the timer stops, so the program is not woken for nothing,
  // and starts again once the control is painted.
  if (!Visible() || Parent() == nullptr || !Parent()->Showing()) {
    timer_->SetEnabled(false);
    return;
  }
  if (!strip_.Step()) return;
  FrameChanged();
  Repaint();
}

void TAnimatedImage::DrawImageContent() {
  if (Active() && !timer_->Enabled()) timer_->SetEnabled(true);
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer;
  buffer.SetSize(width, height);
  TCanvas* canvas = buffer.Canvas();
  canvas->Brush()->SetColor(opaque_ || Parent() == nullptr ? Color() : Parent()->Color());
  canvas->FillRect(RECT{0, 0, width, height});
  if (!opaque_) PaintControlBackdrop(this, canvas);

  const TCellRect source = strip_.SourceRect();
  if (!source.Empty() && !glyph_->Empty()) {
    const RECT cell{source.Left, source.Top, source.Left + source.Width, source.Top + source.Height};
    const TCellRect dest = strip_.DestRect(stretch_, center_, width, height);
    if (stretch_)
      StretchBitmapRectKeyed(canvas, dest.Left, dest.Top, dest.Width, dest.Height, cell, glyph_.get(),
                             transparentColor_);
    else
      DrawBitmapRectKeyed(canvas, dest.Left, dest.Top, cell, glyph_.get(), transparentColor_);
  }
  Canvas()->Draw(0, 0, &buffer);
}
