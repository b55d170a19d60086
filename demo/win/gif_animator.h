#pragma once
// TKitGIFAnimator: a non-windowed control showing a GIF picture and, while Animate is on,
// stepping through its frames on a TKitTimer. Each frame is composed over the frames before
// it as their disposal methods ask (see demo/gif_animator_logic.h), off-screen, and copied to
// the control in one piece.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>

#include "demo/win/gif_image.h"
#include "kit/win/animated_image.h"

class TKitTimer;

class TKitGIFAnimator : public TKitImageControl {
  HL_REFLECTABLE
public:
  explicit TKitGIFAnimator(TComponent* owner);
  ~TKitGIFAnimator() override;

  // The timer runs and the frames advance.
  bool Animate() const { return animate_; }
  void SetAnimate(bool value);
  // The control takes the picture's logical screen size.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Centres the picture when it is not stretched.
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // The frame shown; values out of range are ignored.
  int FrameIndex() const { return frameIndex_; }
  void SetFrameIndex(int value);
  // The picture; setting it assigns value into the control's own image.
  TGIFImage* Image() const { return image_.get(); }
  void SetImage(TGIFImage* value);
  // After the last frame start again; off, the animation stops when it comes back to 0.
  bool Loop() const { return loop_; }
  void SetLoop(bool value) { loop_ = value; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // Keys out the frame's transparent colour.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  // The timer's interval now (for tests).
  unsigned TimerInterval() const;

  HPALETTE GetPalette() override;

  // Composes frame n on a new bitmap of the picture's logical size; key receives the colour
  // keyed out (clNone for none).
  std::unique_ptr<TBitmap> ComposeFrame(int n, TColor& key);

  TNotifyEvent OnChange;
  TNotifyEvent OnFrameChanged;
  TNotifyEvent OnStart;
  TNotifyEvent OnStop;

protected:
  // One timer tick: the next frame (nothing while hidden or with fewer than two frames).
  void TimerStep();
  void DrawImageContent() override;
  void Resize() override;

private:
  void ImageChanged();
  void AdjustSize();
  void SetTimerInterval(int index);
  void PropertyChanged();

  std::unique_ptr<TKitTimer> timer_;
  std::unique_ptr<TGIFImage> image_;
  bool animate_ = false;
  bool autoSize_ = true;
  bool center_ = false;
  int frameIndex_ = 0;
  bool loop_ = true;
  bool stretch_ = false;
  bool transparent_ = true;
};
