#include "demo/win/demo_form.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/wcl/win/edges.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

class DemoFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Opened().clear();
    previousShell_ = SetShellExecuteEdge(&RecordShell);
    form_ = new TformMain(app_.get());
  }
  void TearDown() override {
    SetShellExecuteEdge(previousShell_);
    AppTest::TearDown();
  }

  static std::vector<std::string>& Opened() {
    static std::vector<std::string> opened;
    return opened;
  }
  static bool RecordShell(const std::string& verb, const std::string& file, const std::string& params,
                          const std::string& directory, int show) {
    EXPECT_TRUE(verb.empty() && params.empty() && directory.empty());
    EXPECT_EQ(show, SW_SHOWNORMAL);
    Opened().push_back(file);
    return true;
  }

  std::string Counter() const { return form_->lPage->Caption(); }

  TformMain* form_ = nullptr;
  TShellExecuteEdge previousShell_ = nullptr;
};

TEST_F(DemoFormTest, OpensOnTheAnnouncementAndWalksBothWays) {
  ASSERT_EQ(form_->Notebook->PageCount(), 13);
  EXPECT_EQ(form_->Notebook->PageIndex(), 0);
  EXPECT_EQ(Counter(), "");
  EXPECT_FALSE(form_->btPrev->Enabled());
  EXPECT_TRUE(form_->btNext->Enabled());
  EXPECT_EQ(form_->ClientWidth(), 510);
  EXPECT_EQ(form_->ClientHeight(), 305);

  form_->btNext->Click();
  EXPECT_EQ(Counter(), "");
  EXPECT_TRUE(form_->btPrev->Enabled());
  form_->btNext->Click();
  EXPECT_EQ(Counter(), "1/11");
  for (int i = 0; i < 20; ++i) form_->btNextClick(form_);  // more requests than pages
  EXPECT_EQ(form_->Notebook->PageIndex(), 12);
  EXPECT_EQ(Counter(), "11/11");
  EXPECT_FALSE(form_->btNext->Enabled());
  // Only the current page is visible.
  for (int i = 0; i < 13; ++i) EXPECT_EQ(form_->Notebook->Pages(i)->Visible(), i == 12) << i;
  form_->btPrev->Click();
  EXPECT_EQ(Counter(), "10/11");
  for (int i = 0; i < 20; ++i) form_->btPrevClick(form_);
  EXPECT_EQ(form_->Notebook->PageIndex(), 0);
  EXPECT_FALSE(form_->btPrev->Enabled());
}

TEST_F(DemoFormTest, LinksOpenExactlyWhatTheyShow) {
  for (TLabel* link : {form_->lURL, form_->lURL2, form_->lURL_, form_->lURL2_, form_->lURLFile}) {
    ASSERT_NE(link->Caption(), "http://");
    Opened().clear();
    link->Click();
    EXPECT_EQ(Opened(), std::vector<std::string>{link->Caption()});
  }
  EXPECT_FALSE(form_->lURL2->Visible());
  EXPECT_FALSE(form_->lURL2_->Visible());
  Opened().clear();
  form_->lHL_URLLingroveHL->Click();
  form_->imLingroveLogo->Click();
  ASSERT_EQ(Opened().size(), 2u);
  EXPECT_EQ(Opened()[0], form_->lHL_URLLingroveHL->Caption());
  EXPECT_EQ(Opened()[1], form_->imLingroveLogo->Hint());
}

TEST_F(DemoFormTest, MockOptionsFollowTheirCheckBoxes) {
  for (TCheckBox* box : {form_->cbAutoStart, form_->cbAutoHide, form_->cbPauseScreenSaver, form_->cbShowIcons,
                         form_->cbAnimatedIcon, form_->cbRemindEvery, form_->cbRemindDone})
    EXPECT_TRUE(box->Checked()) << box->Name();
  EXPECT_EQ(form_->edRemindEvery->Value(), 30);
  EXPECT_EQ(form_->edRemindEvery->MaxValue(), 600);
  EXPECT_EQ(form_->edRemindDone->Value(), 6);
  EXPECT_EQ(form_->edRemindDone->MaxValue(), 24);

  EXPECT_TRUE(form_->imAnimIcon->Visible());
  EXPECT_FALSE(form_->imIcon->Visible());
  form_->cbAnimatedIcon->SetChecked(false);
  EXPECT_FALSE(form_->imAnimIcon->Visible());
  EXPECT_TRUE(form_->imIcon->Visible());
  EXPECT_EQ(form_->imIcon->Left(), form_->imAnimIcon->Left());
  // Both pictures stand in one place, level with the box that switches between them.
  EXPECT_EQ(form_->imAnimIcon->Top(), 82);
  EXPECT_EQ(form_->imIcon->Top(), 82);
  const int boxMiddle = form_->cbAnimatedIcon->Top() + form_->cbAnimatedIcon->Height() / 2;
  EXPECT_LE(std::abs(boxMiddle - (82 + form_->imIcon->Height() / 2)), 2);
  form_->imAnimIcon->SetGlyphNum(5);
  form_->cbAnimatedIcon->SetChecked(true);
  EXPECT_TRUE(form_->imAnimIcon->Visible());
  EXPECT_FALSE(form_->imIcon->Visible());
  EXPECT_EQ(form_->imAnimIcon->GlyphNum(), 0);  // the animation starts again

  form_->cbRemindEvery->SetChecked(false);
  EXPECT_FALSE(form_->edRemindEvery->Enabled());
  EXPECT_TRUE(form_->edRemindDone->Enabled());
  form_->cbRemindDone->SetChecked(false);
  EXPECT_FALSE(form_->edRemindDone->Enabled());
  form_->cbRemindEvery->SetChecked(true);
  EXPECT_TRUE(form_->edRemindEvery->Enabled());
}

TEST_F(DemoFormTest, PicturesAndAnimationsAreLoadedAndRunning) {
  TKitGIFAnimator* alarm = form_->KitGIFAnimator1;
  EXPECT_EQ(alarm->Width(), 132);
  EXPECT_EQ(alarm->Height(), 78);
  EXPECT_GT(alarm->Image()->FrameCount(), 1);
  EXPECT_EQ(alarm->FrameIndex(), 0);  // the index given before the picture came is dropped
  EXPECT_TRUE(alarm->Animate());
  EXPECT_FALSE(alarm->Transparent());
  // The animations run whichever page shows.
  EXPECT_TRUE(PumpUntil([alarm] { return alarm->FrameIndex() > 0; }, 3000));
  struct TExpected {
    TAnimatedImage* image;
    int glyphs;
  };
  for (const TExpected& e : {TExpected{form_->AnimatedImage1, 8}, TExpected{form_->AnimatedImage2, 3},
                             TExpected{form_->AnimatedImage3, 16}, TExpected{form_->AnimatedImage6, 16}}) {
    EXPECT_TRUE(e.image->Active()) << e.image->Name();
    EXPECT_EQ(e.image->NumGlyphs(), e.glyphs) << e.image->Name();
  }
  EXPECT_EQ(form_->AnimatedImage1->Interval(), 500u);
  EXPECT_FALSE(form_->Image2->Picture()->Graphic()->Empty());
  EXPECT_EQ(form_->Image2->Width(), 35);
  EXPECT_EQ(form_->Image2->Height(), 194);
}

// Previous, Next and Close as a user works them: each takes the focus, Space and Enter press
// the focused one, Tab goes between them (the disabled Previous left out) and through the
// settings of the mock options page, and both clicks of a quick pair turn a page.
TEST_F(DemoFormTest, ButtonsTakeTheFocusAndEveryPressByKeyOrQuickClick) {
  using namespace real_input;
  form_->Show();
  ASSERT_TRUE(BringToForeground(form_->Handle()));
  DoubleClick(form_->btNext->Handle(), Centre(form_->btNext->Handle()));
  EXPECT_EQ(form_->Notebook->PageIndex(), 2) << "the second click of a quick pair was lost";
  EXPECT_TRUE(FocusIsIn(form_->btNext->Handle()));
  PressKey(VK_SPACE);
  PressKey(VK_RETURN);
  EXPECT_EQ(Counter(), "3/11");
  EXPECT_TRUE(Screenshot("demo-buttons.png"));
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIsIn(form_->btClose->Handle()));
  PressKey(VK_TAB, kShift);
  PressKey(VK_TAB, kShift);
  ASSERT_TRUE(FocusIsIn(form_->btPrev->Handle()));
  PressKey(VK_SPACE);
  EXPECT_EQ(Counter(), "2/11");

  // On the first page Previous is disabled and Tab passes it by.
  form_->Notebook->SetPageIndex(0);
  form_->btNext->SetFocus();
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIsIn(form_->btClose->Handle()));
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIsIn(form_->btNext->Handle()));

  // On the mock options page Tab goes from the buttons through the page's settings in the
  // order the page lists them, and back.
  form_->Notebook->SetPageIndex(11);
  ExpectTabOrder({form_->btPrev, form_->btNext, form_->btClose, form_->cbAutoStart, form_->cbAutoHide,
                  form_->cbPauseScreenSaver, form_->cbShowIcons, form_->cbAnimatedIcon, form_->cbRemindEvery,
                  form_->edRemindEvery, form_->cbRemindDone, form_->edRemindDone},
                 "mock options page");
  form_->btClose->SetFocus();
  PressKey(VK_RETURN);
  EXPECT_TRUE(PumpUntil([this] { return !IsWindowVisible(form_->Handle()); }));
}

}  // namespace
