#pragma once
// The standard controls of forms: panels, bevels, labels, push buttons, check boxes, radio
// buttons, group boxes and images.
//
// As everywhere in the library, each control keeps its properties in members and can be
// used before its window exists. Labels, bevels and images have no window at all: their
// parent paints them. Panels and group boxes are windows of the library's own classes that
// paint themselves; buttons, check boxes and radio buttons are system BUTTON windows.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>

#include "platform/rtl/properties.h"
#include "platform/wcl/button_layout.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/form.h"

// Horizontal placement of a text in its rectangle.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
extern const EnumInfo AlignmentEnum;
extern const EnumInfo ButtonLayoutEnum;

// The edges of a panel: none, sunk, raised, or an empty band of the bevel's width.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an outer and an inner bevel and a caption drawn in its middle.
class TPanel : public TCustomControl {
  HL_REFLECTABLE
public:
  explicit TPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  // Pixels of each bevel (at least 1) and of the band between them (0 and up).
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  bool MirrorsChildren() const override { return true; }
  void AdjustClientRect(RECT& rect) const override;
  void TextChanged() override;

private:
  void FrameChanged();

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A sunk or raised box, frame or line, painted by the parent.
class TBevel : public TGraphicControl {
  HL_REFLECTABLE
public:
  explicit TBevel(TComponent* owner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

protected:
  void Paint() override;

private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// A caption painted by the parent. With AutoSize (the default) the label takes the size of
// its text in its font: measured on the screen, so the size is right while the label is
// hidden and before any window exists. A right-aligned label keeps its right edge.
class TLabel : public TGraphicControl {
  HL_REFLECTABLE
public:
  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // "&x" underlines x and "&&" shows "&"; off, the caption is shown as it is.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // Transparent labels leave the parent's background; others fill with Color.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Breaks lines at word ends to fit the width; with AutoSize only the height follows.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  void Loaded() override;

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void ChangeScale(int m, int d) override;

private:
  void AdjustBounds();
  UINT DrawFlags() const;

  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool showAccelChar_ = true;
  bool transparent_ = false;
  bool wordWrap_ = false;
};

// The push button: a click (mouse, keyboard, Enter as default button, Escape as cancel
// button, or Click() from code) runs OnClick and sets the form's ModalResult.
class TButton : public TCustomButton {
  HL_REFLECTABLE
public:
  explicit TButton(TComponent* owner) : TCustomButton(owner) {}
};

// The push button with a picture beside its caption: an owner-drawn BUTTON window, so it
// takes the focus and Space and Enter press it as they press any push button. The glyph's
// bottom-left pixel colour lets the face show through; disabled, the glyph is drawn
// embossed and the caption engraved. The system reports a quick second click on an
// owner-drawn button as a double click and does not press it: here it is a second press,
// as on a plain push button.
class TBitBtn : public TCustomButton {
  HL_REFLECTABLE
public:
  explicit TBitBtn(TComponent* owner);

  TBitmap* Glyph() { return &glyph_; }
  // Copies the picture in (nullptr clears it).
  void SetGlyph(TBitmap* value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);

  void WndProc(TMessage& msg) override;

protected:
  UINT PushStyle() const override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);

  TBitmap glyph_;
  TButtonLayout layout_ = blGlyphLeft;
};

// The base of check boxes and radio buttons: a BUTTON window whose check mark is the
// object's Checked. The window never checks itself; a click reaches the object, which
// decides.
class TButtonControl : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TButtonControl(TComponent* owner);

  bool Checked() const { return checked_; }
  // Changing the mark from code runs OnClick, as a click of the user does.
  virtual void SetChecked(bool value) = 0;
  // taRightJustify (the default) puts the caption right of the mark, taLeftJustify left.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void WndProc(TMessage& msg) override;
  // Its accelerator focuses it and acts as a click.
  bool DialogChar(char key) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The user clicked the window (mouse or space bar).
  virtual void ButtonClicked() = 0;
  // Sets the mark and shows it, without any event.
  void StoreChecked(bool value);

private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TButtonControl {
  HL_REFLECTABLE
public:
  explicit TCheckBox(TComponent* owner) : TButtonControl(owner) {}
  void SetChecked(bool value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void ButtonClicked() override;
};

// Checking a radio button unchecks the other radio buttons of its parent. Only checking
// runs OnClick; a click on the checked button changes nothing.
class TRadioButton : public TButtonControl {
  HL_REFLECTABLE
public:
  explicit TRadioButton(TComponent* owner) : TButtonControl(owner) {}
  void SetChecked(bool value) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void ButtonClicked() override;
};

// A captioned frame around other controls.
class TGroupBox : public TCustomControl {
  HL_REFLECTABLE
public:
  explicit TGroupBox(TComponent* owner);
  // Its accelerator focuses the first control inside it.
  bool DialogChar(char key) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  bool MirrorsChildren() const override { return true; }
  void AdjustClientRect(RECT& rect) const override;
  void TextChanged() override;
};

// A picture painted by the parent: at its own size from the top-left corner, centred, or
// stretched over the control. With AutoSize the control takes the picture's size.
class TImage : public TGraphicControl {
  HL_REFLECTABLE
public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  // Copies value's graphic into the image's own picture.
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // Draws the graphic see-through (a bitmap's transparent colour is left out).
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  // Where the picture is drawn, in the control's coordinates.
  RECT DestRect() const;

protected:
  void Paint() override;

private:
  void PictureChanged();

  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
};
