#include "demo/win/gif_animator.h"

#include <vector>

#include "demo/gif_animator_logic.h"
#include "demo/win/kit_timer.h"
#include "kit/win/draw_utils_win.h"

const ClassInfo* TKitGIFAnimator::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitGIFAnimator>("TKitGIFAnimator", TKitImageControl::StaticClassInfo())
          .Bool("Animate", &TKitGIFAnimator::Animate, &TKitGIFAnimator::SetAnimate)
          .Bool("AutoSize", &TKitGIFAnimator::AutoSize, &TKitGIFAnimator::SetAutoSize)
          .Bool("Center", &TKitGIFAnimator::Center, &TKitGIFAnimator::SetCenter)
          .Int("FrameIndex", &TKitGIFAnimator::FrameIndex, &TKitGIFAnimator::SetFrameIndex)
          .Obj("Image", &TKitGIFAnimator::Image, nullptr)
          .Bool("Loop", &TKitGIFAnimator::Loop, &TKitGIFAnimator::SetLoop)
          .Bool("Stretch", &TKitGIFAnimator::Stretch, &TKitGIFAnimator::SetStretch)
          .Bool("Transparent", &TKitGIFAnimator::Transparent, &TKitGIFAnimator::SetTransparent)
          .Build();
  return &ci;
}

TKitGIFAnimator::TKitGIFAnimator(TComponent* owner)
    : TKitImageControl(owner), timer_(std::make_unique<TKitTimer>(nullptr)), image_(std::make_unique<TGIFImage>()) {
  timer_->SetEnabled(false);
  image_->OnChange = [this](TObject*) { ImageChanged(); };
  SetImageGraphic(image_.get());
}

TKitGIFAnimator::~TKitGIFAnimator() {
  OnChange = nullptr;
  OnFrameChanged = nullptr;
  OnStart = nullptr;
  OnStop = nullptr;
  SetAnimate(false);
  timer_.reset();
  SetImageGraphic(nullptr);
  image_->OnChange = nullptr;
  image_.reset();
}

void TKitGIFAnimator::SetAnimate(bool value) {
  if (value == animate_) return;
  if (value) {
    timer_->OnTimer = [this](TObject*) { TimerStep(); };
    timer_->SetEnabled(true);
    animate_ = timer_->Enabled();
    if (OnStart) OnStart(this);
  } else {
    timer_->SetEnabled(false);
    timer_->OnTimer = nullptr;
    animate_ = false;
    if (OnStop) OnStop(this);
    GraphicChanged();
  }
}

void TKitGIFAnimator::PropertyChanged() {
  GraphicChanged();
  if (animate_) Repaint();
}

void TKitGIFAnimator::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustSize();
  GraphicChanged();
}

void TKitGIFAnimator::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  PropertyChanged();
}

void TKitGIFAnimator::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  PropertyChanged();
}

void TKitGIFAnimator::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  PropertyChanged();
}

void TKitGIFAnimator::SetFrameIndex(int value) {
  if (value == frameIndex_ || value < 0 || value >= image_->FrameCount()) return;
  frameIndex_ = value;
  SetTimerInterval(value);
  if (OnFrameChanged) OnFrameChanged(this);
  GraphicChanged();
}

void TKitGIFAnimator::SetImage(TGIFImage* value) { image_->Assign(value); }

unsigned TKitGIFAnimator::TimerInterval() const { return timer_->Interval(); }

HPALETTE TKitGIFAnimator::GetPalette() { return image_->Empty() ? nullptr : image_->Palette(); }

void TKitGIFAnimator::SetTimerInterval(int index) {
  const int count = image_->FrameCount();
  const uint16_t delay = index >= 0 && index < count ? image_->Frames(index)->DelayMs() : 0;
  timer_->SetInterval(AnimatorInterval(index, count, delay));
}

void TKitGIFAnimator::ImageChanged() {
  AdjustSize();
  frameIndex_ = image_->CurrentFrame();
  if (frameIndex_ >= 0 && image_->FrameCount() > 0) SetTimerInterval(frameIndex_);
  NotePaletteChanged();
  if (OnChange) OnChange(this);
  GraphicChanged();
}

void TKitGIFAnimator::AdjustSize() {
  if (Loading() || !autoSize_ || image_->Empty()) return;
  SetBounds(Left(), Top(), image_->LogicalWidth(), image_->LogicalHeight());
}

void TKitGIFAnimator::Resize() {
  TKitImageControl::Resize();
  AdjustSize();
}

void TKitGIFAnimator::TimerStep() {
  const int count = image_->FrameCount();
  if (!Visible() || count < 2) return;
  frameIndex_ = AnimatorNextFrame(frameIndex_, count);
  try {
    if (OnFrameChanged) OnFrameChanged(this);
    Repaint();
  } catch (...) {
    SetTimerInterval(frameIndex_);
    throw;
  }
  SetTimerInterval(frameIndex_);
  // The picture's own loop count is not used: Loop alone decides.
  if (!loop_ && frameIndex_ == 0) SetAnimate(false);
}

std::unique_ptr<TBitmap> TKitGIFAnimator::ComposeFrame(int n, TColor& key) {
  key = clNone;
  const int width = image_->LogicalWidth();
  const int height = image_->LogicalHeight();
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  TCanvas* canvas = bitmap->Canvas();
  HPALETTE palette = image_->Palette();
  ScopedSelectPalette selected(canvas->Handle(), palette, false);
  if (palette != nullptr) RealizePalette(canvas->Handle());

  const int current = image_->CurrentFrame();
  const TColor currentKey =
      current >= 0 && current < image_->FrameCount() ? image_->Frames(current)->KeyColor() : clNone;
  TColor background;
  if (currentKey != clNone) {
    key = static_cast<TColor>(GetNearestColor(canvas->Handle(), ColorToRGB(currentKey)));
    background = key;
  } else if (image_->BackdropColor() != clNone && image_->Transparent()) {
    background = image_->BackdropColor();
  } else {
    background = clWindow;
  }
  canvas->Brush()->SetColor(ToPaletteRelativeColor(ColorToRGB(background)));
  canvas->FillRect(RECT{0, 0, width, height});

  std::vector<TComposeFrame> frames;
  for (int k = 0; k < image_->FrameCount(); ++k) {
    TGIFFrame* frame = image_->Frames(k);
    frames.push_back({frame->Disposal(), frame->OriginLeft(), frame->OriginTop(), frame->Width(), frame->Height()});
  }
  for (const TComposeStep& step : PlanComposition(frames, n, width, height)) {
    TGIFFrame* frame = image_->Frames(step.Frame);
    const TComposeFrame& place = frames[static_cast<size_t>(step.Frame)];
    if (step.Action == caFillBackground) {
      canvas->FillRect(RECT{place.Left, place.Top, place.Left + place.Width, place.Top + place.Height});
    } else if (step.Action == caDraw) {
      TBitmap* picture = frame->Bitmap();
      if (picture->Empty()) continue;
      if (frame->KeyColor() != clNone)
        DrawBitmapRectKeyed(canvas, place.Left, place.Top, RECT{0, 0, picture->Width(), picture->Height()}, picture,
                            frame->KeyColor());
      else
        canvas->Draw(place.Left, place.Top, picture);
    }
  }
  if (key != clNone && transparent_) {
    bitmap->SetTransparentColor(ToPaletteRelativeColor(key));
    bitmap->SetTransparent(true);
  }
  return bitmap;
}

void TKitGIFAnimator::DrawImageContent() {
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer;
  buffer.SetSize(width, height);
  TCanvas* canvas = buffer.Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(RECT{0, 0, width, height});
  const bool empty = image_->Empty();
  if (empty || image_->Transparent()) PaintControlBackdrop(this, canvas);
  if (!empty && image_->LogicalWidth() > 0 && image_->LogicalHeight() > 0) {
    // A frame that cannot be composed leaves the backdrop: painting never fails on a
    // damaged picture.
    try {
      TColor key = clNone;
      std::unique_ptr<TBitmap> composed = ComposeFrame(frameIndex_, key);
      const int w = composed->Width();
      const int h = composed->Height();
      RECT dest{0, 0, w, h};
      if (stretch_) dest = RECT{0, 0, width, height};
      else if (center_) dest = RECT{(width - w) / 2, (height - h) / 2, (width - w) / 2 + w, (height - h) / 2 + h};
      if (key != clNone && transparent_)
        StretchBitmapRectKeyed(canvas, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                               RECT{0, 0, w, h}, composed.get(), key);
      else
        canvas->StretchDraw(dest, composed.get());
    } catch (const Exception&) {
    }
  }
  Canvas()->Draw(0, 0, &buffer);
}
