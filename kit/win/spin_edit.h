#pragma once
// TKitSpinEdit: a one-line numeric edit with a spin button at its right end.
//
// The number lives in the text; Value reads it (within MinValue..MaxValue) and writes it
// clamped and formatted as a whole number or with Decimal places. The user changes it by
// typing (only characters that can make a number get in), with the up and down arrow keys,
// or with the spin button: the kit's own diagonal square (TKitSpinButton, whose upper-left
// triangle steps up and lower-right one down, repeating while held) or the system's up-down
// control (TKitUpDown).

#include "platform/wcl/win/edit_controls.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/spin_edit_logic.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/std_controls.h"

class TTimer;

// The diagonal spin button: a square split by the diagonal from its lower-left to its
// upper-right corner. A press on a half fires its event at once, again after 400 ms and
// then every 100 ms while the button stays down on that half.
class TKitSpinButton : public TGraphicControl {
  HL_REFLECTABLE
public:
  explicit TKitSpinButton(TComponent* owner);
  ~TKitSpinButton() override;

  // The arrows drawn on the halves; the lower-left pixel's colour is see-through. Writing
  // copies the bitmap given; nullptr brings back the kit's own arrow.
  TBitmap* UpGlyph() const { return upGlyph_.get(); }
  void SetUpGlyph(TBitmap* value);
  TBitmap* DownGlyph() const { return downGlyph_.get(); }
  void SetDownGlyph(TBitmap* value);
  // The control that takes the focus when the button is pressed.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);

  // The half shown pressed now.
  TSpinHalf PressedHalf() const { return pressed_; }
  TTimer* RepeatTimer() const { return repeatTimer_.get(); }
  // One tick of the repeat timer (the timer calls it).
  void RepeatTick();

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  void Notification(TComponent* component, TOperation operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void EnabledChanged() override;

private:
  void GlyphChanged();
  void FireHalf(TSpinHalf half);
  void DrawFace(TBitmap* face, TSpinHalf pressed);
  void RedrawFaces();

  TSpinHalf pressed_ = shNone;
  std::unique_ptr<TBitmap> upGlyph_;
  std::unique_ptr<TBitmap> downGlyph_;
  bool dragging_ = false;
  bool facesStale_ = true;
  std::unique_ptr<TBitmap> topFace_;
  std::unique_ptr<TBitmap> bottomFace_;
  std::unique_ptr<TTimer> repeatTimer_;
  std::unique_ptr<TBitmap> plainFace_;
  TSpinHalf lastPressed_ = shNone;
  TWinControl* focusControl_ = nullptr;
};

// Which arrow of the up-down control was clicked.
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// The system's up-down control, reporting each click of its arrows as btNext or btPrev.
class TKitUpDown : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TKitUpDown(TComponent* owner);

  void WndProc(TMessage& msg) override;

  TUDClickEvent OnClick;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  // The control sits at position 0 between -1 and 1: every click moves it to +1 or -1,
  // which is reported and set back to 0.
  void Scrolled(int code);
  bool inClick_ = false;
};

class TKitSpinEdit : public TCustomEdit {
  HL_REFLECTABLE
public:
  explicit TKitSpinEdit(TComponent* owner);
  ~TKitSpinEdit() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // The up and down arrow keys step the value.
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value) { arrowKeys_ = value; }
  TSpinButtonKind ButtonKind() const { return buttonKind_; }
  void SetButtonKind(TSpinButtonKind value);
  // Places after the decimal separator for vtFloat.
  int Decimal() const { return range_.Decimal; }
  void SetDecimal(int value);
  // Off: the text cannot be typed, pasted, cut or deleted; the arrows and the button still
  // step.
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }
  double Increment() const { return increment_; }
  void SetIncrement(double value) { increment_ = value; }
  // The bounds; equal bounds (both 0 by default) clamp nothing.
  double MaxValue() const { return range_.MaxValue; }
  void SetMaxValue(double value) { range_.MaxValue = value; }
  double MinValue() const { return range_.MinValue; }
  void SetMinValue(double value) { range_.MinValue = value; }
  TValueType ValueType() const { return range_.ValueType; }
  void SetValueType(TValueType value);
  // The number of the text, within the bounds; a text that does not convert reads as
  // MinValue. Writing clamps and formats it.
  double Value() const;
  void SetValue(double value);

  // One step up or down (a read-only edit only beeps).
  virtual void UpClick(TObject* sender);
  virtual void DownClick(TObject* sender);
  // Whether a typed character may go into the text.
  virtual bool IsValidChar(char key) const;

  TKitSpinButton* Button() const { return button_; }
  TKitUpDown* UpDown() const { return upDown_; }

  void WndProc(TMessage& msg) override;

protected:
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DoEnter() override;
  void DoExit() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void BiDiModeChanged() override;
  void Resize() override;

private:
  TSpinRange Range() const;
  void Step(double delta);
  void RecreateButton();
  void PlaceButton();
  void SetTextArea();
  int ButtonWidth() const;
  int MinHeight() const;
  bool CanEditText() const { return editorEnabled_ && !ReadOnly(); }
  void PasteFirstLine();

  TAlignment alignment_ = taLeftJustify;
  TSpinRange range_;
  double increment_ = 1;
  bool changing_ = false;
  bool editorEnabled_ = true;
  TKitSpinButton* button_ = nullptr;
  TWinControl* buttonWindow_ = nullptr;
  bool arrowKeys_ = true;
  TSpinButtonKind buttonKind_ = bkDiagonal;
  TKitUpDown* upDown_ = nullptr;
};
