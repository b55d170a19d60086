#include "kit/speed_button_logic.h"

TGlyphPoint DropDownMenuPoint(TKitDropDownMenuPos position, int menuAlignment, int width, int height) {
  constexpr int kRight = 1;
  constexpr int kCenter = 2;
  if (menuAlignment == kCenter) return TGlyphPoint{width / 2, height};
  if (position == dmpBottom) return menuAlignment == kRight ? TGlyphPoint{width + 1, height} : TGlyphPoint{-1, height};
  return menuAlignment == kRight ? TGlyphPoint{-1, -1} : TGlyphPoint{width, -1};
}

TSpeedButtonLook SpeedButtonLook(TButtonState state, bool flat, bool mouseInside, bool grayedInactive) {
  TSpeedButtonLook look;
  look.PaintState = flat && !mouseInside ? bsInactive : state;
  const bool pressed = state == bsDown || state == bsExclusive;
  look.Frame = !(look.PaintState == bsInactive && state != bsExclusive);
  look.FrameDown = pressed;
  look.Checkered = state == bsExclusive && !flat;
  look.Shifted = pressed;
  look.GlyphState = state == bsDisabled || !grayedInactive ? state : look.PaintState;
  return look;
}

void TSpeedButtonLogic::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (value) {
    if (state_ == bsUp) host_.InvalidateButton();
    state_ = bsExclusive;
    host_.SendGroupMessage();
  } else {
    state_ = bsUp;
    host_.RepaintButton();
  }
}

void TSpeedButtonLogic::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (groupIndex_ != 0) host_.SendGroupMessage();
}

void TSpeedButtonLogic::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  if (groupIndex_ != 0) host_.SendGroupMessage();
}

bool TSpeedButtonLogic::SetMouseInside(bool inside) {
  if (inside == mouseInside_) return false;
  mouseInside_ = inside;
  return true;
}

void TSpeedButtonLogic::SyncEnabled(bool enabled) {
  if (enabled) {
    if (state_ == bsDisabled) state_ = down_ ? bsExclusive : bsUp;
  } else {
    state_ = bsDisabled;
    dragging_ = false;
  }
}

void TSpeedButtonLogic::BeginPress() {
  if (!down_) {
    state_ = bsDown;
    host_.RepaintButton();
  }
  dragging_ = true;
  menuTracking_ = true;
}

void TSpeedButtonLogic::DragMove(int x, int y, int clientWidth, int clientHeight) {
  if (!dragging_) return;
  TButtonState state = down_ ? bsExclusive : bsUp;
  if (PointOnButton(x, y, clientWidth, clientHeight)) state = down_ ? bsExclusive : bsDown;
  if (state == state_) return;
  state_ = state;
  host_.RepaintButton();
}

bool TSpeedButtonLogic::Release(bool leftButton, int x, int y, int clientWidth, int clientHeight, bool& click) {
  click = false;
  if (!dragging_ || !leftButton) return false;
  dragging_ = false;
  const bool inside = PointOnButton(x, y, clientWidth, clientHeight);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    mouseInside_ = false;
    if (inside) host_.RepaintButton();
    else host_.InvalidateButton();
  } else if (inside) {
    SetDown(!down_);
    if (down_) host_.RepaintButton();
  } else {
    // Released outside: the button shows what it is, also when no move told it that the
    // mouse had left.
    state_ = down_ ? bsExclusive : bsUp;
    host_.RepaintButton();
  }
  click = inside && !menuTracking_;
  return true;
}

void TSpeedButtonLogic::GroupButtonPressed(int senderGroup, bool senderDown, bool senderAllowAllUp) {
  if (groupIndex_ == 0 || senderGroup != groupIndex_) return;
  if (senderDown && down_) {
    down_ = false;
    state_ = bsUp;
    host_.RepaintButton();
  }
  allowAllUp_ = senderAllowAllUp;
}
