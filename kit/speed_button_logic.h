#pragma once
// The speed button's behaviour, free of windows: the press, drag and release state machine,
// group members that stay down (one at a time unless all may be up), the mouse-inside mark,
// which state is painted and with which glyph, where a drop-down menu opens, and when a held
// button repeats its click. The control (kit/win/speed_button.h) turns mouse messages into
// these calls and does the drawing, the menu, the timer and the group broadcast.

#include "kit/glyph_layout.h"
#include "kit/kit_messages.h"

// Where a drop-down menu opens: below the button or at its right.
enum TKitDropDownMenuPos { dmpBottom, dmpRight };

// The point of the button (client coordinates) a drop-down menu opens at, by position and the
// menu's alignment (0 left, 1 right, 2 centre: the side of the menu at the point).
TGlyphPoint DropDownMenuPoint(TKitDropDownMenuPos position, int menuAlignment, int width, int height);

// The press tests count a point as on the button for 0 <= x < width and 0 <= y <= height.
inline bool PointOnButton(int x, int y, int clientWidth, int clientHeight) {
  return x >= 0 && x < clientWidth && y >= 0 && y <= clientHeight;
}

// How a button is painted in one state.
struct TSpeedButtonLook {
  TButtonState PaintState;  // inactive for a flat button without the mouse over it
  TButtonState GlyphState;  // the glyph image drawn
  bool Frame;               // a frame is drawn (otherwise the flat look, 2 pixels of room)
  bool FrameDown;           // the frame is drawn pressed
  bool Checkered;           // an exclusive, not flat button fills its face with a pattern
  bool Shifted;             // the content moves 1 pixel right and down
};

TSpeedButtonLook SpeedButtonLook(TButtonState state, bool flat, bool mouseInside, bool grayedInactive);

// What the state machine asks of its control.
class TSpeedButtonHost {
public:
  virtual ~TSpeedButtonHost() = default;
  // Redraw now, or at the next paint.
  virtual void RepaintButton() = 0;
  virtual void InvalidateButton() = 0;
  // Tell the other members of the group that this one changed (it went down, or its group
  // or AllowAllUp did).
  virtual void SendGroupMessage() = 0;
};

class TSpeedButtonLogic {
public:
  explicit TSpeedButtonLogic(TSpeedButtonHost& host) : host_(host) {}

  TButtonState State() const { return state_; }
  bool Down() const { return down_; }
  // Only a group member can be down; a down member comes up only when AllowAllUp.
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);

  bool Dragging() const { return dragging_; }
  bool MenuTracking() const { return menuTracking_; }
  bool MouseInside() const { return mouseInside_; }
  // Marks the mouse as inside or outside; true when that changed.
  bool SetMouseInside(bool inside);

  // The state from the enabled flag, before painting: a disabled state turns up (exclusive
  // when Down) once enabled; a disabled button shows disabled and stops dragging.
  void SyncEnabled(bool enabled);

  // A left press on an enabled button (not a double click): the button shows down (unless
  // it is already Down), dragging and menu tracking start.
  void BeginPress();
  void EndMenuTracking() { menuTracking_ = false; }
  // The mouse moved to (x, y) while the button holds it.
  void DragMove(int x, int y, int clientWidth, int clientHeight);

  // A release at (x, y). Only a left release ending a drag counts (the answer is false
  // otherwise): the state follows from the group and where it was released, and click is set
  // when the release lies on the button and no menu is open.
  bool Release(bool leftButton, int x, int y, int clientWidth, int clientHeight, bool& click);

  // Another button of the parent went down or changed its group: a Down member of the same
  // group comes up when the sender is down, and every member takes the sender's AllowAllUp.
  void GroupButtonPressed(int senderGroup, bool senderDown, bool senderAllowAllUp);

  // A repeat tick clicks while the button shows down and holds the mouse.
  bool RepeatClicks(bool holdsMouse) const { return state_ == bsDown && holdsMouse; }

private:
  TSpeedButtonHost& host_;
  TButtonState state_ = bsUp;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool dragging_ = false;
  bool menuTracking_ = false;
  bool mouseInside_ = false;
};
