// The demo's window at the screen's resolution, left to right and right to left: every page
// is whole and readable (see text_fit.h). Run at 96 pixels per inch with the other demo tests,
// and at 120 and 144 in prefixes of their own (tests/screen_scaling.sh), where each page
// leaves a picture of itself.

#include <gtest/gtest.h>

#include <string>

#include "demo/win/demo_form.h"
#include "platform/wcl/win/edges.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/text_fit.h"

namespace {

bool IgnoreShell(const std::string&, const std::string&, const std::string&, const std::string&, int) { return true; }

class ScreenScaling : public AppTest, public ::testing::WithParamInterface<TBiDiMode> {
protected:
  void SetUp() override {
    AppTest::SetUp();
    previousShell_ = SetShellExecuteEdge(&IgnoreShell);
  }
  void TearDown() override {
    AppTest::TearDown();
    SetShellExecuteEdge(previousShell_);
  }
  static std::string Setting() { return GetParam() == bdLeftToRight ? "ltr" : "rtl"; }
  TShellExecuteEdge previousShell_ = nullptr;
};

}  // namespace

TEST_P(ScreenScaling, DemoWindowFitsEveryPage) {
  const int dpi = Screen->PixelsPerInch();
  if (text_fit::ExpectedDpi() != 0) {
    ASSERT_EQ(dpi, text_fit::ExpectedDpi());
  }
  auto* form = new TformMain(app_.get());
  EXPECT_EQ(form->ClientWidth(), MulDiv(510, dpi, 96));
  EXPECT_EQ(form->ClientHeight(), MulDiv(305, dpi, 96));
  form->SetBiDiMode(GetParam());
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  for (int page = 0; page < form->Notebook->PageCount(); ++page) {
    if (page > 0) form->btNextClick(form);
    real_input::SettlePainted();
    const std::string name = "demo-page" + std::to_string(page + 1);
    EXPECT_EQ(text_fit::Verdict(form, name, Setting()), "") << name;
    EXPECT_TRUE(window_test::Screenshot("dpi" + std::to_string(dpi) + "-" + Setting() + "-" + name + ".png"));
  }
}

INSTANTIATE_TEST_SUITE_P(Directions, ScreenScaling, ::testing::Values(bdLeftToRight, bdRightToLeft),
                         [](const ::testing::TestParamInfo<TBiDiMode>& info) {
                           return std::string(info.param == bdLeftToRight ? "ltr" : "rtl");
                         });
