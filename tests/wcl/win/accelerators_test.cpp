// Caption accelerators typed as a user types them: Alt and the letter from anywhere, the
// letter alone where the focused control takes no characters; buttons click, check boxes
// are focused and clicked, group boxes hand the focus to their first control.

#include <gtest/gtest.h>

#include <string>

#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using namespace real_input;

class AcceleratorTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = new TForm(app_.get());
    form_->SetBounds(80, 80, 300, 200);
    edit_ = Add<TEdit>(form_, 10, 10, 100, 21);
    edit_->SetText("text");
    go_ = Add<TButton>(form_, 10, 40, 75, 25);
    go_->SetCaption("&Go");
    go_->OnClick = [this](TObject*) { ++goClicks_; };
    check_ = Add<TCheckBox>(form_, 10, 75, 120, 17);
    check_->SetCaption("&Remind");
    box_ = Add<TGroupBox>(form_, 140, 10, 140, 80);
    box_->SetCaption("&Breaks");
    inner_ = Add<TEdit>(box_, 10, 20, 100, 21);
    form_->Show();
    ASSERT_TRUE(BringToForeground(form_->Handle()));
    edit_->SetFocus();
    ASSERT_TRUE(WaitForFocusIn(edit_->Handle()));
  }
  template <class T>
  T* Add(TWinControl* parent, int left, int top, int width, int height) {
    T* control = new T(form_);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
  }
  TForm* form_ = nullptr;
  TEdit* edit_ = nullptr;
  TButton* go_ = nullptr;
  TCheckBox* check_ = nullptr;
  TGroupBox* box_ = nullptr;
  TEdit* inner_ = nullptr;
  int goClicks_ = 0;
};

TEST_F(AcceleratorTest, AltAndTheLetterActsFromAnEditAndTheLetterAloneFromAButton) {
  PressKey('G', kAlt);
  EXPECT_EQ(goClicks_, 1);
  PressKey(VK_END);
  TypeText("g");  // an edit types its letters
  EXPECT_EQ(goClicks_, 1);
  EXPECT_EQ(edit_->Text(), "textg");

  go_->SetFocus();
  ASSERT_TRUE(WaitForFocusIn(go_->Handle()));
  TypeText("r");
  EXPECT_TRUE(check_->Checked());
  EXPECT_TRUE(FocusIsIn(check_->Handle()));
  PressKey('B', kAlt);
  EXPECT_TRUE(FocusIsIn(inner_->Handle()));
  PressKey('X', kAlt);  // no control's accelerator
  EXPECT_TRUE(FocusIsIn(inner_->Handle()));

  go_->SetEnabled(false);
  PressKey('G', kAlt);
  EXPECT_EQ(goClicks_, 1);
}

TEST(AcceleratorText, TheLetterAfterASingleAmpersandInEitherCase) {
  EXPECT_TRUE(IsAccel('g', "&Go"));
  EXPECT_TRUE(IsAccel('G', "&go"));
  EXPECT_FALSE(IsAccel('o', "&Go"));
  EXPECT_FALSE(IsAccel('s', "Salt && &Pepper"));
  EXPECT_TRUE(IsAccel('p', "Salt && &Pepper"));
  EXPECT_FALSE(IsAccel('&', "A && B"));
  EXPECT_FALSE(IsAccel('a', "Text&"));
}

}  // namespace
