#pragma once
// Non-windowed picture controls of the kit.
//
// TKitImageControl is the base of controls that compose their picture off-screen and then
// copy it to their canvas in one piece, so the picture never flickers. It keeps the drawing
// flag and asks the form to realise a changed palette.
//
// TAnimatedImage shows one cell of a glyph strip (a bitmap holding several equal pictures
// side by side or one above the other) and, while Active, steps through the cells on a
// window timer, passing over the cell kept for the stopped state. The cell is drawn with
// the strip's key colour see-through, over the parent's picture unless Opaque.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <memory>

#include "kit/animated_image_logic.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/control.h"

class TTimer;

extern const EnumInfo GlyphOrientationEnum;

class TKitImageControl : public TGraphicControl {
  HL_REFLECTABLE
public:
  explicit TKitImageControl(TComponent* owner);

  // The palette the picture is drawn with, or nullptr.
  virtual HPALETTE GetPalette() { return nullptr; }

  // Draws the picture with the drawing flag set (cleared again also on failure).
  void DrawImage();
  // Asks the form to realise the picture's palette after it changed: sent while drawing,
  // posted otherwise. True when it was asked.
  bool RealizeChangedPalette();
  // The picture changed: drawn again at once when a palette was realised while drawing,
  // otherwise invalidated (unless it is being drawn right now).
  void GraphicChanged();

protected:
  // Draws the picture onto Canvas().
  virtual void DrawImageContent() = 0;
  void Paint() override { DrawImage(); }

  bool Drawing() const { return drawing_; }
  bool Loading() const { return (ComponentState() & csLoading) != 0; }
  // The picture object of the descendant; its palette changes are reported with
  // NotePaletteChanged.
  TGraphic* ImageGraphic() const { return graphic_; }
  void SetImageGraphic(TGraphic* graphic) { graphic_ = graphic; }
  void NotePaletteChanged() { paletteChanged_ = true; }

private:
  bool drawing_ = false;
  bool paletteChanged_ = false;
  TGraphic* graphic_ = nullptr;
};

class TAnimatedImage : public TKitImageControl {
  HL_REFLECTABLE
public:
  explicit TAnimatedImage(TComponent* owner);
  ~TAnimatedImage() override;

  bool Active() const { return strip_.Active(); }
  // Starting runs the timer (an Interval of 0 never ticks, so nothing starts then) and fires
  // OnStart; stopping shows the inactive cell and fires OnFrameChanged and OnStop. Neither
  // event fires while the form is being built.
  void SetActive(bool value);
  // The control takes the size of one cell.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Centres the cell when it is not stretched.
  bool Center() const { return center_; }
  void SetCenter(bool value);
  TGlyphOrientation Orientation() const { return strip_.Orientation(); }
  void SetOrientation(TGlyphOrientation value);
  // The strip; setting it copies value into the control's own bitmap, whose every change
  // counts the cells again.
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  int GlyphNum() const { return strip_.GlyphNum(); }
  void SetGlyphNum(int value);
  // Milliseconds a step.
  unsigned Interval() const;
  void SetInterval(unsigned value);
  int NumGlyphs() const { return strip_.NumGlyphs(); }
  void SetNumGlyphs(int value);
  // The cell shown while stopped; -1 for none.
  int InactiveGlyph() const { return strip_.InactiveGlyph(); }
  void SetInactiveGlyph(int value);
  // The key colour drawn see-through; taken from the strip whenever it changes.
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor value);
  // Fills with the control's own colour instead of showing the parent behind.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool value);
  // Stretches the cell over the whole control.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

  int CellWidth() const { return strip_.CellWidth(); }
  int CellHeight() const { return strip_.CellHeight(); }
  // The cell drawn now.
  int DisplayedCell() const { return strip_.DisplayedCell(); }

  HPALETTE GetPalette() override;
  void Loaded() override;

  TNotifyEvent OnFrameChanged;
  TNotifyEvent OnStart;
  TNotifyEvent OnStop;

protected:
  // One timer tick: the next cell (nothing while hidden or with fewer than two cells).
  void TimerStep();
  void DrawImageContent() override;
  void Resize() override;

private:
  void StripChanged();
  void AdjustSize();
  void FrameChanged();

  TGlyphStrip strip_;
  std::unique_ptr<TBitmap> glyph_;
  std::unique_ptr<TTimer> timer_;
  bool autoSize_ = true;
  bool center_ = false;
  bool stretch_ = true;
  bool opaque_ = false;
  TColor transparentColor_ = clNone;
};
