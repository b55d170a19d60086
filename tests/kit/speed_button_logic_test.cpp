#include "kit/speed_button_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A parent holding several buttons: a group message reaches every other button.
class FakeParent;

class FakeButton : public TSpeedButtonHost {
public:
  explicit FakeButton(FakeParent* parent = nullptr) : parent_(parent) {}
  TSpeedButtonLogic logic{*this};
  int repaints = 0;
  int invalidates = 0;
  int groupMessages = 0;

  void RepaintButton() override { ++repaints; }
  void InvalidateButton() override { ++invalidates; }
  void SendGroupMessage() override;

  // A press and release of the left button at (x, y) of a 25 x 25 button; true on a click.
  bool ClickAt(int x, int y) {
    logic.BeginPress();
    logic.EndMenuTracking();
    bool click = false;
    EXPECT_TRUE(logic.Release(true, x, y, 25, 25, click));
    return click;
  }

private:
  FakeParent* parent_;
};

class FakeParent {
public:
  std::vector<std::unique_ptr<FakeButton>> buttons;
  FakeButton& Add(int group) {
    buttons.push_back(std::make_unique<FakeButton>(this));
    buttons.back()->logic.SetGroupIndex(group);
    return *buttons.back();
  }
  void Broadcast(FakeButton* sender) {
    for (auto& b : buttons)
      if (b.get() != sender)
        b->logic.GroupButtonPressed(sender->logic.GroupIndex(), sender->logic.Down(), sender->logic.AllowAllUp());
  }
};

void FakeButton::SendGroupMessage() {
  ++groupMessages;
  if (parent_ != nullptr) parent_->Broadcast(this);
}

}  // namespace

TEST(SpeedButtonPress, PlainButtonClicksOnlyWhenReleasedOnIt) {
  FakeButton b;
  b.logic.BeginPress();
  EXPECT_EQ(bsDown, b.logic.State());
  EXPECT_TRUE(b.logic.Dragging());
  EXPECT_TRUE(b.logic.MenuTracking());
  b.logic.EndMenuTracking();
  bool click = false;
  EXPECT_TRUE(b.logic.Release(true, 5, 5, 25, 25, click));
  EXPECT_TRUE(click);
  EXPECT_EQ(bsUp, b.logic.State());
  EXPECT_FALSE(b.logic.Dragging());

  EXPECT_FALSE(b.ClickAt(30, 5));
  EXPECT_EQ(bsUp, b.logic.State());
  // The row just below the button still counts as on it; the column right of it does not.
  EXPECT_TRUE(b.ClickAt(0, 25));
  EXPECT_FALSE(b.ClickAt(25, 0));
  EXPECT_FALSE(b.ClickAt(-1, 3));

  // A release without a press, or of another button, is not a release of this press.
  EXPECT_FALSE(b.logic.Release(true, 5, 5, 25, 25, click));
  b.logic.BeginPress();
  EXPECT_FALSE(b.logic.Release(false, 5, 5, 25, 25, click));
  EXPECT_TRUE(b.logic.Dragging());
}

TEST(SpeedButtonPress, ReleaseWhileAMenuIsOpenDoesNotClick) {
  FakeButton b;
  b.logic.BeginPress();
  bool click = true;
  EXPECT_TRUE(b.logic.Release(true, 5, 5, 25, 25, click));
  EXPECT_FALSE(click);
  EXPECT_EQ(bsUp, b.logic.State());
}

TEST(SpeedButtonPress, DraggingOffAndOnShowsUpAndDown) {
  FakeButton b;
  b.logic.BeginPress();
  const int before = b.repaints;
  b.logic.DragMove(40, 5, 25, 25);
  EXPECT_EQ(bsUp, b.logic.State());
  b.logic.DragMove(41, 5, 25, 25);  // no change, no repaint
  EXPECT_EQ(before + 1, b.repaints);
  b.logic.DragMove(3, 3, 25, 25);
  EXPECT_EQ(bsDown, b.logic.State());
  EXPECT_EQ(before + 2, b.repaints);
  EXPECT_TRUE(b.logic.RepeatClicks(true));
  EXPECT_FALSE(b.logic.RepeatClicks(false));
  b.logic.DragMove(3, 30, 25, 25);
  EXPECT_FALSE(b.logic.RepeatClicks(true));  // off the button the repeats pause
}

TEST(SpeedButtonGroup, OneMemberStaysDown) {
  FakeParent parent;
  FakeButton& first = parent.Add(1);
  FakeButton& second = parent.Add(1);
  FakeButton& other = parent.Add(2);
  other.logic.SetDown(true);

  EXPECT_TRUE(first.ClickAt(5, 5));
  EXPECT_TRUE(first.logic.Down());
  EXPECT_EQ(bsExclusive, first.logic.State());

  EXPECT_TRUE(second.ClickAt(5, 5));
  EXPECT_TRUE(second.logic.Down());
  EXPECT_EQ(bsExclusive, second.logic.State());
  EXPECT_FALSE(first.logic.Down());
  EXPECT_EQ(bsUp, first.logic.State());
  EXPECT_TRUE(other.logic.Down());  // another group is left alone

  // Pressing the down member again: it stays down without AllowAllUp...
  EXPECT_TRUE(second.ClickAt(5, 5));
  EXPECT_TRUE(second.logic.Down());
  EXPECT_EQ(bsExclusive, second.logic.State());
  second.logic.SetDown(false);
  EXPECT_TRUE(second.logic.Down());

  // ...and comes up with it; the setting spreads to the whole group.
  first.logic.SetAllowAllUp(true);
  EXPECT_TRUE(second.logic.AllowAllUp());
  EXPECT_FALSE(other.logic.AllowAllUp());
  EXPECT_TRUE(second.ClickAt(5, 5));
  EXPECT_FALSE(second.logic.Down());
  EXPECT_EQ(bsUp, second.logic.State());
}

TEST(SpeedButtonGroup, DownNeedsAGroupAndReleaseOutsideShowsTheTrueState) {
  FakeButton plain;
  plain.logic.SetDown(true);
  EXPECT_FALSE(plain.logic.Down());
  EXPECT_EQ(0, plain.groupMessages);

  FakeParent parent;
  FakeButton& b = parent.Add(3);
  const int messages = b.groupMessages;
  b.logic.SetDown(true);
  EXPECT_EQ(messages + 1, b.groupMessages);
  EXPECT_EQ(1, b.invalidates);  // it went from up to down

  // Released outside without a move telling it so: it shows exclusive, not pressed.
  b.logic.BeginPress();
  b.logic.EndMenuTracking();
  bool click = true;
  b.logic.Release(true, 100, 100, 25, 25, click);
  EXPECT_FALSE(click);
  EXPECT_EQ(bsExclusive, b.logic.State());

  FakeButton& c = parent.Add(3);
  c.logic.BeginPress();
  EXPECT_EQ(bsDown, c.logic.State());
  c.logic.EndMenuTracking();
  c.logic.Release(true, 100, 100, 25, 25, click);
  EXPECT_EQ(bsUp, c.logic.State());
  EXPECT_TRUE(b.logic.Down());
}

TEST(SpeedButtonState, EnabledFlagDecidesDisabledState) {
  FakeParent parent;
  FakeButton& b = parent.Add(1);
  b.logic.SetDown(true);
  b.logic.BeginPress();
  b.logic.SyncEnabled(false);
  EXPECT_EQ(bsDisabled, b.logic.State());
  EXPECT_FALSE(b.logic.Dragging());
  b.logic.SyncEnabled(true);
  EXPECT_EQ(bsExclusive, b.logic.State());

  FakeButton plain;
  plain.logic.SyncEnabled(false);
  plain.logic.SyncEnabled(true);
  EXPECT_EQ(bsUp, plain.logic.State());
  EXPECT_TRUE(plain.logic.SetMouseInside(true));
  EXPECT_FALSE(plain.logic.SetMouseInside(true));
  // A release of a plain button forgets the mouse (tracking finds it again).
  plain.ClickAt(1, 1);
  EXPECT_FALSE(plain.logic.MouseInside());
}

TEST(SpeedButtonLook, PaintAndGlyphStates) {
  // Flat without the mouse: no frame, the grey inactive glyph.
  TSpeedButtonLook look = SpeedButtonLook(bsUp, true, false, true);
  EXPECT_EQ(bsInactive, look.PaintState);
  EXPECT_FALSE(look.Frame);
  EXPECT_EQ(bsInactive, look.GlyphState);
  // GrayedInactive off keeps the glyph's own colours.
  EXPECT_EQ(bsUp, SpeedButtonLook(bsUp, true, false, false).GlyphState);
  // A disabled flat button shows the disabled glyph.
  EXPECT_EQ(bsDisabled, SpeedButtonLook(bsDisabled, true, false, true).GlyphState);
  // An exclusive flat button keeps its frame, pressed, without the pattern.
  look = SpeedButtonLook(bsExclusive, true, false, true);
  EXPECT_TRUE(look.Frame);
  EXPECT_TRUE(look.FrameDown);
  EXPECT_FALSE(look.Checkered);
  EXPECT_TRUE(look.Shifted);
  EXPECT_TRUE(SpeedButtonLook(bsExclusive, false, false, true).Checkered);
  // Under the mouse a flat button looks like any other.
  look = SpeedButtonLook(bsDown, true, true, true);
  EXPECT_EQ(bsDown, look.PaintState);
  EXPECT_TRUE(look.Frame);
  EXPECT_TRUE(look.Shifted);
  EXPECT_FALSE(SpeedButtonLook(bsUp, false, false, true).Shifted);
}

TEST(DropDownMenuPoint, SixPositions) {
  EXPECT_EQ((TGlyphPoint{-1, 20}), DropDownMenuPoint(dmpBottom, 0, 30, 20));
  EXPECT_EQ((TGlyphPoint{31, 20}), DropDownMenuPoint(dmpBottom, 1, 30, 20));
  EXPECT_EQ((TGlyphPoint{15, 20}), DropDownMenuPoint(dmpBottom, 2, 30, 20));
  EXPECT_EQ((TGlyphPoint{30, -1}), DropDownMenuPoint(dmpRight, 0, 30, 20));
  EXPECT_EQ((TGlyphPoint{-1, -1}), DropDownMenuPoint(dmpRight, 1, 30, 20));
  EXPECT_EQ((TGlyphPoint{15, 20}), DropDownMenuPoint(dmpRight, 2, 30, 20));
}
