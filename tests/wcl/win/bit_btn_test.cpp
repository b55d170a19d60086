// The bitmap button as a user meets it: reached with Tab, pressed by Space, Enter, its
// accelerator and each click of a quick pair; its glyph drawn see-through on the side its
// layout names, and embossed while the button is disabled.

#include <gtest/gtest.h>

#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using namespace real_input;

constexpr COLORREF kGlyphRed = RGB(255, 0, 0);

class BitBtnTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = new TForm(app_.get());
    form_->SetBounds(120, 120, 300, 120);
    edit_ = Add<TEdit>(10, 10, 100, 21);
    edit_->SetText("text");
    button_ = Add<TBitBtn>(10, 45, 85, 25);
    button_->SetCaption("&Next");
    button_->OnClick = [this](TObject*) { ++presses_; };
    // A red square on magenta; the bottom-left pixel's magenta is see-through.
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(RECT{4, 4, 12, 12});
    button_->SetGlyph(&glyph);
    other_ = Add<TButton>(110, 45, 75, 25);
    form_->Show();
    ASSERT_TRUE(BringToForeground(form_->Handle()));
    edit_->SetFocus();
    ASSERT_TRUE(WaitForFocusIn(edit_->Handle()));
  }
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = new T(form_);
    control->SetParent(form_);
    control->SetBounds(left, top, width, height);
    return control;
  }
  // The button's pixels as the display shows them: how many are the glyph's red, where
  // they are on average across, and how many are magenta or the shadow colour.
  struct Look {
    int red = 0, magenta = 0, shadow = 0;
    int redMeanX = 0;
  };
  Look LookAtButton() {
    Settle();
    Look look;
    HDC dc = GetDC(button_->Handle());
    long sumX = 0;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int y = 0; y < button_->Height(); ++y)
      for (int x = 0; x < button_->Width(); ++x) {
        const COLORREF pixel = GetPixel(dc, x, y);
        if (pixel == kGlyphRed) {
          ++look.red;
          sumX += x;
        }
        if (pixel == RGB(255, 0, 255)) ++look.magenta;
        if (pixel == shadow) ++look.shadow;
      }
    ReleaseDC(button_->Handle(), dc);
    look.redMeanX = look.red > 0 ? static_cast<int>(sumX / look.red) : -1;
    return look;
  }

  TForm* form_ = nullptr;
  TEdit* edit_ = nullptr;
  TBitBtn* button_ = nullptr;
  TButton* other_ = nullptr;
  int presses_ = 0;
};

TEST_F(BitBtnTest, TabReachesItAndSpaceEnterItsLetterAndEachOfTwoQuickClicksPressIt) {
  PressKey(VK_TAB);
  ASSERT_TRUE(FocusIsIn(button_->Handle()));
  PressKey(VK_SPACE);
  EXPECT_EQ(presses_, 1);
  PressKey(VK_RETURN);
  EXPECT_EQ(presses_, 2);
  DoubleClick(button_->Handle(), Centre(button_->Handle()));
  EXPECT_EQ(presses_, 4) << "the second click of a quick pair was lost";
  other_->SetFocus();
  PressKey('N', kAlt);
  EXPECT_EQ(presses_, 5);
  PressKey(VK_TAB, kShift);
  EXPECT_TRUE(FocusIsIn(button_->Handle()));
  EXPECT_EQ(edit_->Text(), "text");

  // Made the default button it stays owner-drawn.
  button_->SetDefault(true);
  EXPECT_EQ(GetWindowLongA(button_->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  // Disabled, neither the mouse nor Tab reaches it.
  button_->SetEnabled(false);
  Click(button_->Handle(), Centre(button_->Handle()));
  EXPECT_EQ(presses_, 5);
  edit_->SetFocus();
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIsIn(other_->Handle()));
}

TEST_F(BitBtnTest, GlyphShowsSeeThroughOnItsSideAndEmbossedWhileDisabled) {
  Look left = LookAtButton();
  EXPECT_EQ(left.red, 64);
  EXPECT_EQ(left.magenta, 0);
  EXPECT_LT(left.redMeanX, button_->Width() / 2);
  EXPECT_TRUE(Screenshot("bit-btn.png"));

  button_->SetLayout(blGlyphRight);
  Look right = LookAtButton();
  EXPECT_EQ(right.red, 64);
  EXPECT_GT(right.redMeanX, button_->Width() / 2);

  button_->SetEnabled(false);
  Look disabled = LookAtButton();
  EXPECT_EQ(disabled.red, 0);
  EXPECT_EQ(disabled.magenta, 0);
  // The square's shadow copy, beyond the frame's shadow lines.
  EXPECT_GE(disabled.shadow - right.shadow, 40);
  EXPECT_TRUE(Screenshot("bit-btn-disabled.png"));
}

}  // namespace
