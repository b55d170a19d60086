// A speed button's caption accelerator, typed for real, clicks it while it is enabled.

#include <gtest/gtest.h>

#include "kit/win/speed_button.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using namespace real_input;

class SpeedButtonAccelTest : public AppTest {};

TEST_F(SpeedButtonAccelTest, AcceleratorClicksAnEnabledButton) {
  auto* form = new TForm(app_.get());
  form->SetBounds(80, 80, 240, 120);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 100, 21);
  auto* button = new TKitSpeedButton(form);
  button->SetParent(form);
  button->SetBounds(10, 40, 80, 25);
  button->SetCaption("&Play");
  int clicks = 0;
  button->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  ASSERT_TRUE(BringToForeground(form->Handle()));
  edit->SetFocus();
  ASSERT_TRUE(WaitForFocusIn(edit->Handle()));
  PressKey('P', kAlt);
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  PressKey('P', kAlt);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(FocusIsIn(edit->Handle()));
}

}  // namespace
