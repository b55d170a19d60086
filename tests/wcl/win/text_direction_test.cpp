// Right-to-left text direction: what the controls inherit from their parents, and what their
// windows become (mirrored containers, right-to-left reading and alignment), with the mouse
// and screen positions of a mirrored window.

#include <gtest/gtest.h>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/test_controls.h"

namespace {

using TextDirection = AppTest;

DWORD ExStyle(TWinControl* control) {
  return static_cast<DWORD>(GetWindowLongPtrA(control->Handle(), GWL_EXSTYLE));
}

constexpr DWORD kDirectionStyles = WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;

RECT ScreenRect(TWinControl* control) {
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  return r;
}

}  // namespace

TEST_F(TextDirection, ChildrenFollowTheirParentUntilGivenTheirOwn) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetParent(panel);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  auto* own = new TEdit(&form);
  own->SetParent(panel);
  own->SetBiDiMode(bdLeftToRight);
  EXPECT_TRUE(edit->ParentBiDiMode());
  EXPECT_FALSE(own->ParentBiDiMode());

  form.SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(panel->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(label->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(own->BiDiMode(), bdLeftToRight);
  // Following the parent again takes its direction at once.
  own->SetParentBiDiMode(true);
  EXPECT_EQ(own->BiDiMode(), bdRightToLeft);
  // A control put on the panel later takes the panel's.
  auto* late = new TButton(&form);
  late->SetParent(panel);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeft);
  // A control with its own direction passes that on, not its parent's.
  panel->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(form.BiDiMode(), bdRightToLeft);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeftReadingOnly);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftReadingOnly);
  form.SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeftReadingOnly);

  // Set by name, as the translation component sets it; a value outside the names is refused.
  SetOrdProp(edit, "BiDiMode", bdRightToLeftNoAlign);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeftNoAlign);
  EXPECT_FALSE(edit->ParentBiDiMode());
  EXPECT_THROW(SetOrdProp(edit, "BiDiMode", 4), EPropertyError);
  EXPECT_EQ(GetOrdProp(edit, "ParentBiDiMode"), 0);
}

TEST_F(TextDirection, WindowsTakeTheStylesOfEachMode) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 400, 300);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 10, 120, 24);
  edit->SetText("typed");
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
  EXPECT_EQ(ExStyle(&form) & kDirectionStyles, 0u);
  EXPECT_EQ(ExStyle(edit) & kDirectionStyles, 0u);

  struct Case {
    TBiDiMode mode;
    DWORD form;
    DWORD edit;
  };
  const Case cases[] = {
      // A mirrored form places its children from the right; they read and align right to
      // left in windows of their own that are not mirrored.
      {bdRightToLeft, WS_EX_LAYOUTRTL | WS_EX_RTLREADING, WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR},
      {bdRightToLeftNoAlign, WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR, WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR},
      {bdRightToLeftReadingOnly, WS_EX_RTLREADING, WS_EX_RTLREADING},
      {bdLeftToRight, 0, 0},
  };
  for (const Case& c : cases) {
    form.SetBiDiMode(c.mode);
    EXPECT_EQ(ExStyle(&form) & kDirectionStyles, c.form) << c.mode;
    EXPECT_EQ(ExStyle(edit) & kDirectionStyles, c.edit) << c.mode;
    EXPECT_EQ((ExStyle(&form) & WS_EX_NOINHERITLAYOUT) != 0, c.mode == bdRightToLeft) << c.mode;
    // The window made again keeps what the user typed and stays shown.
    EXPECT_EQ(WindowText(edit->Handle()), "typed") << c.mode;
    EXPECT_TRUE(IsWindowVisible(form.Handle())) << c.mode;
  }
}

// A mirrored form shows its children from the right edge, nested containers too, and the
// mouse reaches a non-windowed control where it is shown.
TEST_F(TextDirection, MirroredFormPlacesChildrenFromTheRight) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 400, 300);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(20, 30, 200, 120);
  auto* button = new TButton(&form);
  button->SetParent(panel);
  button->SetBounds(10, 10, 60, 24);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  label->SetBounds(10, 60, 60, 20);
  label->SetCaption("label");
  int clicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
  POINT clientLeft{0, 0};
  ClientToScreen(form.Handle(), &clientLeft);
  const int clientWidth = form.ClientWidth();
  const RECT panelBefore = ScreenRect(panel);
  const RECT buttonBefore = ScreenRect(button);
  EXPECT_EQ(panelBefore.left, clientLeft.x + 20);

  form.SetBiDiMode(bdRightToLeft);
  EXPECT_TRUE(PumpUntil([&] { return ScreenRect(panel).right == clientLeft.x + clientWidth - 20; }));
  const RECT panelRtl = ScreenRect(panel);
  const RECT buttonRtl = ScreenRect(button);
  // The same distances, measured from the right.
  EXPECT_EQ(panelRtl.right, clientLeft.x + clientWidth - 20);
  EXPECT_EQ(panelRtl.top, panelBefore.top);
  EXPECT_EQ(panelRtl.right - panelRtl.left, 200);
  EXPECT_EQ(panelRtl.right - buttonRtl.right, buttonBefore.left - panelBefore.left);
  EXPECT_EQ(buttonRtl.top, buttonBefore.top);
  // The control's own idea of where it is agrees with the window's.
  POINT buttonOrigin = button->ClientOrigin();
  POINT buttonCorner{0, 0};
  ClientToScreen(button->Handle(), &buttonCorner);
  EXPECT_EQ(buttonOrigin.x, buttonCorner.x);
  // The middle of the label (it took the size of its caption).
  const POINT inLabel{label->Width() / 2, label->Height() / 2};
  const POINT inPanel{label->Left() + inLabel.x, label->Top() + inLabel.y};
  POINT viaPanel = inPanel;
  ClientToScreen(panel->Handle(), &viaPanel);
  const POINT viaLabel = label->ClientToScreen(inLabel);
  EXPECT_EQ(viaLabel.x, viaPanel.x);
  EXPECT_EQ(viaLabel.y, viaPanel.y);
  EXPECT_EQ(label->ScreenToClient(viaLabel).x, inLabel.x);
  // A real click where the label shows reaches it.
  real_input::Click(panel->Handle(), inPanel);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));

  form.SetBiDiMode(bdLeftToRight);
  EXPECT_TRUE(PumpUntil([&] { return SameRect(ScreenRect(panel), panelBefore); }));
  EXPECT_TRUE(SameRect(ScreenRect(button), buttonBefore));
  EXPECT_EQ(label->ClientToScreen(inLabel).x, panelBefore.left + inPanel.x);
}
