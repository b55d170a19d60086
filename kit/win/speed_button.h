#pragma once
// TKitSpeedButton: a non-windowed push button with a glyph and a caption. It can be a
// member of a group of which one stays down (GroupIndex, Down, AllowAllUp), repeat its click
// while held (AllowTimer), drop down a popup menu on a press (DropDownMenu), look flat until
// the mouse is over it (Flat) and paint over what lies beneath it (Transparent). It paints
// through an off-screen bitmap with the glyph painter of kit/win/button_glyph.h.
//
// The press, drag, release and group rules are in kit/speed_button_logic.h; this side turns
// the mouse into calls on them, paints, shows the menu, runs the repeat timer and tells the
// other group members through CM_KITBUTTONPRESSED.

#include "platform/wcl/win/control.h"

#include <memory>

#include "kit/speed_button_logic.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

class TBitmap;
class TKitButtonGlyph;
class TPopupMenu;
class TTimer;

class TKitSpeedButton : public TGraphicControl, private TSpeedButtonHost {
  HL_REFLECTABLE
public:
  explicit TKitSpeedButton(TComponent* owner);
  ~TKitSpeedButton() override;

  // Corner radius of the frame; 0 is square. Negative values are refused.
  int RoundRadius() const { return roundRadius_; }
  void SetRoundRadius(int value);
  // Caption alignment.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment value);
  // The down member of the group may come up, leaving none down.
  bool AllowAllUp() const { return logic_.AllowAllUp(); }
  void SetAllowAllUp(bool value) { logic_.SetAllowAllUp(value); }
  // Clicks repeat while the button is held: after InitPause, then every RepeatInterval ms.
  bool AllowTimer() const { return allowTimer_; }
  void SetAllowTimer(bool value);
  unsigned short InitPause() const { return initPause_; }
  void SetInitPause(unsigned short value) { initPause_ = value; }
  unsigned short RepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(unsigned short value) { repeatInterval_ = value; }
  // 0: a plain button; otherwise the group among the parent's buttons.
  int GroupIndex() const { return logic_.GroupIndex(); }
  void SetGroupIndex(int value) { logic_.SetGroupIndex(value); }
  // The button stays down (group members only).
  bool Down() const { return logic_.Down(); }
  void SetDown(bool value) { logic_.SetDown(value); }
  // Popped up on a press; not owned.
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* value);
  TKitDropDownMenuPos MenuPosition() const { return menuPosition_; }
  void SetMenuPosition(TKitDropDownMenuPos value) { menuPosition_ = value; }
  // Draws the drop-down mark when there is a DropDownMenu.
  bool MarkDropDown() const { return markDropDown_; }
  void SetMarkDropDown(bool value);
  // No frame while the mouse is not over the button.
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // The glyph bitmap (cells side by side) and its cell count (1 to 5; above 5 is 5).
  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const;
  void SetNumGlyphs(int value);
  // A flat button without the mouse over it shows its glyph in grey.
  bool GrayedInactive() const { return grayedInactive_; }
  void SetGrayedInactive(bool value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Pixels from the edge to the glyph, -1 to centre; below -1 is refused.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  // Pixels between glyph and caption, -1 automatic.
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  // Given to the parent form on each click.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle value);
  // Paints what lies under the button first.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool WordWrap() const;
  void SetWordWrap(bool value);

  // What the button shows now, and whether the mouse counts as over it.
  TButtonState State() const { return logic_.State(); }
  bool MouseInside() const { return logic_.MouseInside(); }
  // The glyph painter, and the repeat timer (nullptr until the first repeating press).
  TKitButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  TTimer* RepeatTimer() const { return repeatTimer_.get(); }

  // Gives the parent form ModalResult, then runs OnClick.
  void Click() override;
  // Its accelerator clicks it.
  bool DialogChar(char key) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& msg) override;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  void Paint() override;
  // Draws glyph, caption and (with drawMark) the drop-down mark into rect.
  virtual void PaintGlyphAndCaption(TCanvas* canvas, const RECT& rect, TButtonState state, bool drawMark);

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;
  void VisibleChanged() override;

  // Pops up DropDownMenu below (or right of) the button; true when it was shown.
  bool CheckMenuDropDown();
  // Finds out whether the mouse is over the button, firing OnMouseEnter or OnMouseLeave.
  void UpdateTracking();

private:
  // TSpeedButtonHost
  void RepaintButton() override { Repaint(); }
  void InvalidateButton() override { Invalidate(); }
  void SendGroupMessage() override;

  // The release steps after the control's own mouse-up handling.
  void Released(TMouseButton button, int x, int y);
  // Marks the mouse inside or outside, repainting a flat button and firing the event.
  void MouseInsideChanged(bool inside);
  // A press that closed a menu on the button itself must not press it again.
  void DropPressOnButton();
  void RepeatTick();
  void GroupMessage(TMessage& msg);
  unsigned TextFlags() const;
  // Stores a new value of a look property and has the button drawn again when it differs.
  template <class T>
  void ChangeLook(T& field, const T& value);

  TSpeedButtonLogic logic_{*this};
  std::unique_ptr<TKitButtonGlyph> glyph_;
  std::unique_ptr<TBitmap> drawBitmap_;
  std::unique_ptr<TBitmap> pattern_;
  std::unique_ptr<TTimer> repeatTimer_;
  int roundRadius_ = 0;
  TButtonStyle style_ = bsAutoDetect;
  bool flat_ = false;
  bool allowTimer_ = false;
  unsigned short initPause_ = 500;
  unsigned short repeatInterval_ = 100;
  TPopupMenu* dropDownMenu_ = nullptr;
  TKitDropDownMenuPos menuPosition_ = dmpBottom;
  bool markDropDown_ = true;
  bool grayedInactive_ = true;
  TButtonLayout layout_ = blGlyphTop;
  int margin_ = -1;
  int spacing_ = 1;
  TModalResult modalResult_ = mrNone;
  bool transparent_ = false;
  // False once the button is gone: a handler that deletes it ends the steps still running.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
