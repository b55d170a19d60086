#include "kit/win/speed_button.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/win/button_glyph.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/timer.h"
#include "tests/e2e/screen_picture.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kRed = 0x0000FF;

TColor Rgb(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

class SpeedButtonTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 240, 120);
  }
  void TearDown() override {
    form.reset();
    AppTest::TearDown();
  }

  TKitSpeedButton* Button(int left, int group = 0) {
    auto* button = new TKitSpeedButton(form.get());
    button->SetParent(form.get());
    button->SetLeft(left);
    button->SetGroupIndex(group);
    return button;
  }

  // A popup menu of one item, owned by the form.
  TPopupMenu* WeekMenu() {
    auto* menu = new TPopupMenu(form.get());
    auto* item = new TMenuItem(form.get());
    item->SetCaption("Week");
    menu->Items()->Add(item);
    return menu;
  }

  // A press or release of the left button at (x, y) of the button, as the parent hands it on.
  static void Press(TKitSpeedButton* b, int x = 5, int y = 5) {
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  }
  static void Release(TKitSpeedButton* b, int x = 5, int y = 5) { b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  static void Move(TKitSpeedButton* b, int x, int y) { b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }

  // The button painted into a bitmap of its size.
  static std::unique_ptr<TBitmap> Render(TKitSpeedButton* b) {
    auto out = std::make_unique<TBitmap>();
    out->SetSize(b->Width(), b->Height());
    b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()), 0);
    return out;
  }
  static TColor PixelAt(TBitmap* bitmap, int x, int y) { return bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF; }

  // A 16 x 16 glyph: fuchsia with a red square at 8..11.
  static void SetRedGlyph(TKitSpeedButton* b) {
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(kRed);
    glyph.Canvas()->FillRect(RECT{8, 8, 12, 12});
    b->SetGlyph(&glyph);
  }

  std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(SpeedButtonTest, RefusedValuesAndPublishedProperties) {
  TKitSpeedButton* b = Button(0);
  b->SetDown(true);  // no group: never down
  EXPECT_FALSE(b->Down());
  b->SetNumGlyphs(7);
  EXPECT_EQ(5, b->NumGlyphs());
  b->SetMargin(-2);
  EXPECT_EQ(-1, b->Margin());
  b->SetMargin(3);
  EXPECT_EQ(3, b->Margin());
  b->SetRoundRadius(-1);
  EXPECT_EQ(0, b->RoundRadius());

  // Published by name, with the cell count's range.
  const PropInfo* cells = FindProp(b, "NumGlyphs");
  ASSERT_NE(nullptr, cells);
  EXPECT_EQ(5, cells->MaxValue);
  ASSERT_NE(nullptr, FindProp(b, "Caption"));
  FindProp(b, "Caption")->SetStr(*b, "Go");
  EXPECT_EQ("Go", b->Caption());
}

TEST_F(SpeedButtonTest, PressAndReleaseClickOnlyOnTheButton) {
  TKitSpeedButton* b = Button(0);
  b->SetModalResult(mrOk);
  std::vector<std::string> log;
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
  b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
  b->OnClick = [&](TObject*) { log.push_back("click"); };

  Press(b);
  EXPECT_EQ(bsDown, b->State());
  Release(b);
  EXPECT_EQ((std::vector<std::string>{"down", "up", "click"}), log);
  EXPECT_EQ(bsUp, b->State());
  EXPECT_EQ(mrOk, form->ModalResult());

  log.clear();
  Press(b);
  Move(b, 40, 5);
  EXPECT_EQ(bsUp, b->State());
  Release(b, 40, 5);
  EXPECT_EQ((std::vector<std::string>{"down", "up"}), log);

  // A disabled button paints disabled and does not press.
  log.clear();
  b->SetEnabled(false);
  Render(b);
  EXPECT_EQ(bsDisabled, b->State());
  b->SetEnabled(true);
  Render(b);
  EXPECT_EQ(bsUp, b->State());
}

TEST_F(SpeedButtonTest, GroupMembersStayExclusive) {
  TKitSpeedButton* first = Button(0, 1);
  TKitSpeedButton* second = Button(30, 1);
  TKitSpeedButton* other = Button(60, 2);
  other->SetDown(true);
  first->SetDown(true);

  Press(second);
  Release(second);
  EXPECT_TRUE(second->Down());
  EXPECT_EQ(bsExclusive, second->State());
  EXPECT_FALSE(first->Down());
  EXPECT_EQ(bsUp, first->State());
  EXPECT_TRUE(other->Down());

  // AllowAllUp spreads through the group, and the down member may then come up.
  first->SetAllowAllUp(true);
  EXPECT_FALSE(other->AllowAllUp());
  Press(second);
  Release(second);
  EXPECT_FALSE(second->Down());

  // Moving a down button into a group takes the others of that group up.
  first->SetDown(true);
  other->SetGroupIndex(1);
  EXPECT_FALSE(first->Down());
  EXPECT_TRUE(other->Down());
}

TEST_F(SpeedButtonTest, PaintsUpDownExclusiveFlatAndDisabled) {
  TKitSpeedButton* b = Button(0, 1);
  SetRedGlyph(b);
  std::unique_ptr<TBitmap> up = Render(b);
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(up.get(), 0, 5));
  EXPECT_EQ(Rgb(clWindowFrame), PixelAt(up.get(), 24, 5));
  EXPECT_EQ(kRed, PixelAt(up.get(), 4 + 9, 4 + 9));  // glyph centred at (4, 4)

  Press(b);
  std::unique_ptr<TBitmap> down = Render(b);
  EXPECT_EQ(Rgb(clWindowFrame), PixelAt(down.get(), 0, 5));
  EXPECT_EQ(kRed, PixelAt(down.get(), 5 + 11, 5 + 11));  // moved 1 pixel right and down
  Release(b);

  // Exclusive: the face is checkered in the face and highlight colours.
  ASSERT_EQ(bsExclusive, b->State());
  std::unique_ptr<TBitmap> exclusive = Render(b);
  const TColor a = PixelAt(exclusive.get(), 3, 3);
  const TColor c = PixelAt(exclusive.get(), 4, 3);
  EXPECT_NE(a, c);
  EXPECT_TRUE((a == Rgb(clBtnFace) && c == Rgb(clBtnHighlight)) || (c == Rgb(clBtnFace) && a == Rgb(clBtnHighlight)));

  // Flat without the mouse: no frame, the glyph in grey unless GrayedInactive is off.
  TKitSpeedButton* flat = Button(30);
  flat->SetFlat(true);
  SetRedGlyph(flat);
  std::unique_ptr<TBitmap> inactive = Render(flat);
  EXPECT_EQ(Rgb(clBtnFace), PixelAt(inactive.get(), 0, 5));
  EXPECT_EQ(0x4C4C4C, PixelAt(inactive.get(), 4 + 9, 4 + 9));
  flat->SetGrayedInactive(false);
  EXPECT_EQ(kRed, PixelAt(Render(flat).get(), 4 + 9, 4 + 9));

  // Disabled with one glyph cell: the red square is not black, so it disappears.
  flat->SetEnabled(false);
  EXPECT_EQ(Rgb(clBtnFace), PixelAt(Render(flat).get(), 4 + 9, 4 + 9));
}

TEST_F(SpeedButtonTest, DropDownMenuShowsOnPressWithoutClickOrSecondPress) {
  TKitSpeedButton* b = Button(10);
  TPopupMenu* menu = WeekMenu();
  int popups = 0;
  int clicks = 0;
  int presses = 0;
  // Escape, waiting when the menu opens, closes it; the first time a press on the button
  // follows, as when the click that closes the menu lands on the button.
  HWND formWindow = form->Handle();
  menu->OnPopup = [&](TObject*) {
    PostMessageA(menu->WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    if (++popups == 1) PostMessageA(formWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 5));
  };
  b->OnClick = [&](TObject*) { ++clicks; };
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
  b->SetDropDownMenu(menu);
  Press(b);
  EXPECT_EQ(1, popups);
  EXPECT_EQ(b, menu->PopupComponent());
  EXPECT_EQ(bsUp, b->State());
  Release(b);
  real_input::Settle();  // the posted press has been handled
  EXPECT_EQ(1, popups);
  EXPECT_EQ(0, clicks);
  EXPECT_EQ(1, presses);

  // The menu's removal clears the reference.
  delete menu;
  EXPECT_EQ(nullptr, b->DropDownMenu());
  Press(b);
  Release(b);
  EXPECT_EQ(1, clicks);
}

// Only a press that is the very next message is the click that closed the menu. A press
// that comes after other input (here Escape closed the menu, then the mouse moved onto the
// button and pressed it) is the user's own and opens the menu again.
TEST_F(SpeedButtonTest, DropDownMenuDropsOnlyThePressThatClosedIt) {
  TKitSpeedButton* b = Button(10);
  TPopupMenu* menu = WeekMenu();
  b->SetDropDownMenu(menu);
  form->Show();
  HWND window = form->Handle();
  SetForegroundWindow(window);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }));

  int popups = 0;
  bool closedByEscape = false;
  menu->OnPopup = [&](TObject*) {
    ++popups;
    if (popups == 1 && closedByEscape) {
      real_input::QueueKeys({VK_ESCAPE});
      real_input::QueueMouse(window, POINT{b->Left() + 4, b->Top() + 9}, 0);
      real_input::QueueMouse(window, POINT{b->Left() + 4, b->Top() + 9}, MOUSEEVENTF_LEFTDOWN);
      real_input::QueueMouse(window, POINT{b->Left() + 4, b->Top() + 9}, MOUSEEVENTF_LEFTUP);
    } else if (popups == 1) {
      // The click that closes the menu lands on the button.
      real_input::QueueMouse(window, POINT{b->Left() + 4, b->Top() + 9}, MOUSEEVENTF_LEFTDOWN);
      real_input::QueueMouse(window, POINT{b->Left() + 4, b->Top() + 9}, MOUSEEVENTF_LEFTUP);
    } else {
      real_input::QueueKeys({VK_ESCAPE});
    }
  };

  for (bool escape : {false, true}) {
    closedByEscape = escape;
    popups = 0;
    real_input::QueueMouse(window, POINT{b->Left() + 12, b->Top() + 5}, MOUSEEVENTF_LEFTDOWN);
    real_input::QueueMouse(window, POINT{b->Left() + 12, b->Top() + 5}, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return popups >= 1; })) << escape;
    if (escape) EXPECT_TRUE(PumpUntil([&] { return popups >= 2; }));
    real_input::Settle();  // the queued input has been handled
    EXPECT_EQ(popups, escape ? 2 : 1) << (escape ? "a later press was dropped" : "the closing click pressed again");
    EXPECT_EQ(bsUp, b->State());
  }
}

TEST_F(SpeedButtonTest, HeldButtonRepeatsWhileOnIt) {
  TKitSpeedButton* b = Button(0);
  b->SetAllowTimer(true);
  b->SetInitPause(150);
  b->SetRepeatInterval(50);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };

  Press(b);
  ASSERT_NE(nullptr, b->RepeatTimer());
  PumpFor(120);
  EXPECT_EQ(0, clicks);  // not before the first pause
  ASSERT_TRUE(PumpUntil([&] { return clicks >= 3; }));

  // Off the button the repeats pause while the timer keeps running.
  Move(b, 60, 5);
  const int offClicks = clicks;
  PumpFor(200);  // four intervals without a click
  EXPECT_EQ(offClicks, clicks);
  EXPECT_TRUE(b->RepeatTimer()->Enabled());
  Move(b, 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return clicks > offClicks; }));

  // The release clicks once more and stops the timer.
  const int beforeRelease = clicks;
  Release(b);
  EXPECT_EQ(beforeRelease + 1, clicks);
  EXPECT_FALSE(b->RepeatTimer()->Enabled());
  PumpFor(150);  // three intervals without a click
  EXPECT_EQ(beforeRelease + 1, clicks);
  b->SetAllowTimer(false);
  EXPECT_EQ(nullptr, b->RepeatTimer());
}

TEST_F(SpeedButtonTest, FailingOrDeletingRepeatClickIsSafe) {
  TKitSpeedButton* b = Button(0);
  b->SetAllowTimer(true);
  b->SetInitPause(50);
  b->SetRepeatInterval(50);
  int clicks = 0;
  b->OnClick = [&](TObject*) {
    if (++clicks == 2) throw std::runtime_error("repeat failed");
  };
  Press(b);
  ASSERT_TRUE(PumpUntil([&] { return clicks >= 2; }));
  PumpFor(200);  // no repeat after the failing one
  EXPECT_EQ(2, clicks);
  EXPECT_FALSE(b->RepeatTimer()->Enabled());
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_NE(std::string::npos, Boxes()[0].find("repeat failed"));
  Release(b);

  // A click handler that deletes its button, while the button's timer ticks.
  TKitSpeedButton* doomed = Button(30);
  doomed->SetAllowTimer(true);
  doomed->SetInitPause(50);
  bool deleted = false;
  doomed->OnClick = [&](TObject*) {
    deleted = true;
    delete doomed;
  };
  Press(doomed);
  ASSERT_TRUE(PumpUntil([&] { return deleted; }));
  PumpFor(150);  // the parked timer ticks on with its button gone
  EXPECT_EQ(1, form->ControlCount());
  // The next press frees the parked timer.
  Press(b);
  Release(b);
}

TEST_F(SpeedButtonTest, FlatButtonTracksTheMouseOnAShownForm) {
  TKitSpeedButton* flat = Button(10);
  flat->SetFlat(true);
  flat->SetCaption("Hide");
  int enters = 0;
  int leaves = 0;
  flat->OnMouseEnter = [&](TObject*) { ++enters; };
  flat->OnMouseLeave = [&](TObject*) { ++leaves; };
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));

  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(15, 5));
  EXPECT_EQ(1, enters);
  EXPECT_TRUE(flat->MouseInside());
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(Render(flat).get(), 0, 5));  // a frame under the mouse
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 50));
  EXPECT_EQ(1, leaves);
  EXPECT_FALSE(flat->MouseInside());
  form->Hide();
}

// A picture of the buttons in each of their looks, saved beside the test program (in the
// build folder) as speed_buttons.bmp for a person to look at: up, held down by the mouse,
// down in its group, disabled, flat without the mouse, flat under the mouse and flat disabled.
TEST_F(SpeedButtonTest, ScreenshotOfUpDownDisabledAndFlatButtons) {
  form->SetBounds(100, 100, 480, 80);
  const char* const captions[] = {"Up", "Held", "Down", "Off", "Flat", "Hot", "FlatOff"};
  std::vector<TKitSpeedButton*> buttons;
  for (int i = 0; i < 7; ++i) {
    TKitSpeedButton* b = Button(8 + i * 64, i == 2 ? 1 : 0);
    b->SetTop(10);
    b->SetWidth(60);
    b->SetHeight(40);
    b->SetCaption(captions[i]);
    b->SetLayout(blGlyphTop);
    SetRedGlyph(b);
    buttons.push_back(b);
  }
  buttons[2]->SetDown(true);
  buttons[3]->SetEnabled(false);
  for (int i = 4; i < 7; ++i) buttons[i]->SetFlat(true);
  buttons[6]->SetEnabled(false);
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(buttons[5]->Left() + 30, 30));
  ASSERT_TRUE(buttons[5]->MouseInside());
  Press(buttons[1]);
  real_input::SettlePainted();
  ASSERT_EQ(bsDown, buttons[1]->State());
  ASSERT_EQ(bsExclusive, buttons[2]->State());

  ASSERT_TRUE(SaveWindowPicture(form->Handle(), "speed_buttons.bmp"));
  // The held button's frame is drawn the other way round: its top edge is dark, the up one's
  // light.
  HDC dc = GetDC(form->Handle());
  EXPECT_NE(GetPixel(dc, 8 + 30, 10), GetPixel(dc, 72 + 30, 10));
  ReleaseDC(form->Handle(), dc);
  Release(buttons[1]);
  form->Hide();
}
