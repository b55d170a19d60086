// The demo's window at the screen's resolution: every page's texts fit their controls. Run at
// 96 pixels per inch with the other demo tests, and at 120 and 144 in prefixes of their own
// (tests/screen_scaling.sh), where each page leaves a picture of itself.

#include <gtest/gtest.h>

#include <string>

#include "demo/win/demo_form.h"
#include "platform/wcl/win/edges.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/text_fit.h"

namespace {

bool IgnoreShell(const std::string&, const std::string&, const std::string&, const std::string&, int) { return true; }

class ScreenScaling : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    previousShell_ = SetShellExecuteEdge(&IgnoreShell);
  }
  void TearDown() override {
    AppTest::TearDown();
    SetShellExecuteEdge(previousShell_);
  }
  TShellExecuteEdge previousShell_ = nullptr;
};

}  // namespace

TEST_F(ScreenScaling, DemoWindowFitsEveryPage) {
  const int dpi = Screen->PixelsPerInch();
  if (text_fit::ExpectedDpi() != 0) {
    ASSERT_EQ(dpi, text_fit::ExpectedDpi());
  }
  auto* form = new TformMain(app_.get());
  EXPECT_EQ(form->ClientWidth(), MulDiv(510, dpi, 96));
  EXPECT_EQ(form->ClientHeight(), MulDiv(305, dpi, 96));
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  for (int page = 0; page < form->Notebook->PageCount(); ++page) {
    if (page > 0) form->btNextClick(form);
    Pump(250);
    EXPECT_EQ(text_fit::ClippedTexts(form), "") << "page " << page;
    EXPECT_TRUE(window_test::Screenshot("dpi" + std::to_string(dpi) + "-demo-page" + std::to_string(page) + ".png"));
  }
}
