// The reminder window and the reminders as the tracker runs them: the options dialog's
// settings and sound routine, and the message window at the bottom right of the screen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win/message_form.h"
#include "app/win/options_form.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/streams.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/media_test_support.h"

namespace {

class ReminderWindow : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    options_ = Application->CreateForm<TformOptions>();
    window_ = Application->CreateForm<TFormMessage>();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    sound_ = std::string(folder) + "hl reminder sound.wav";
    TFileStream(sound_, fmCreate).Write("RIFF", 4);
  }
  void TearDown() override {
    DeleteFileA(sound_.c_str());
    AppTest::TearDown();
  }

  static int Bottom() { return MaximizedWindowHeight() - 8; }

  TformOptions* options_ = nullptr;
  TFormMessage* window_ = nullptr;
  std::string sound_;
  MciRecorder mci_;
};

}  // namespace

TEST_F(ReminderWindow, ShowsFlushRightAboveTheTaskbarWidenedForLongTexts) {
  window_->ShowMessageWindow("Take a break", "Hourlark");
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window_->Handle()) != FALSE; }));
  EXPECT_EQ(window_->lMessage->Caption(), "Take a break");
  EXPECT_EQ(window_->Width(), 190);
  EXPECT_EQ(window_->lMessage->Width(), 180);
  EXPECT_EQ(window_->btOK->Left(), (190 - window_->btOK->Width()) / 2);
  EXPECT_EQ(window_->Left(), EdgeScreenSize().Width - 190);
  EXPECT_EQ(window_->Top(), Bottom() - 81);
  // The caption: the service's name and the time of the reminder.
  const std::string caption = window_->Caption();
  ASSERT_EQ(caption.rfind("Hourlark ", 0), 0u) << caption;
  TDateTime shown;
  EXPECT_TRUE(TryStrToTime(caption.substr(9), shown)) << caption;

  // A second reminder while the first is open takes the same window.
  const std::string text = "You have worked enough. Take a rest for today, and tomorrow as well";
  window_->ShowMessageWindow(text, "Hourlark");
  EXPECT_TRUE(PumpUntil([&] { return window_->Width() > 190; })) << "widened for the long text";
  const int textWidth = window_->lMessTest->Width();
  ASSERT_GT(textWidth, 180);
  EXPECT_TRUE(IsWindowVisible(window_->Handle()));
  EXPECT_EQ(window_->Width(), textWidth + 10);
  EXPECT_EQ(window_->lMessage->Width(), textWidth);
  EXPECT_EQ(window_->Left() + window_->Width(), EdgeScreenSize().Width);
  EXPECT_EQ(window_->btOK->Left(), (textWidth + 10 - window_->btOK->Width()) / 2);

  window_->btOK->Click();
  EXPECT_FALSE(window_->Visible());
}

TEST_F(ReminderWindow, RemindersUseTheOptionsAsTheyStand) {
  // The defaults: a break every 30 minutes without sound, a limit at 6 hours.
  RunReminders(*options_, *window_, EncodeTime(0, 29, 59, 0), "Hourlark");
  EXPECT_FALSE(window_->Visible());
  RunReminders(*options_, *window_, EncodeTime(0, 30, 0, 0), "Hourlark");
  EXPECT_EQ(window_->lMessage->Caption(), "Take a break for 5 minutes");
  EXPECT_TRUE(MciRecorder::Commands().empty());

  // A quoted sound file name plays the file; a sound that fails still shows the text.
  options_->edRemindDoneSound->SetText("\"" + sound_ + "\"");
  MciRecorder::OpenError() = MCIERR_CANNOT_LOAD_DRIVER;
  window_->Hide();
  RunReminders(*options_, *window_, EncodeTime(6, 0, 0, 0), "Hourlark");
  EXPECT_EQ(MciRecorder::Commands(), std::vector<std::string>{"open " + sound_});
  EXPECT_TRUE(window_->Visible());
  EXPECT_EQ(window_->lMessage->Caption(), "You have worked enough. Take a rest for today");
}

TEST_F(ReminderWindow, RemindersWaitWhileTheDialogHoldsUnappliedChanges) {
  options_->Show();
  ASSERT_TRUE(real_input::BringToForeground(options_->Handle()));
  // Each activation starts with nothing to apply.
  EXPECT_FALSE(options_->btApply->Enabled());
  RunReminders(*options_, *window_, EncodeTime(0, 30, 0, 0), "Hourlark");
  EXPECT_TRUE(window_->Visible());
  window_->Hide();
  options_->edRemindEveryMessage->SetText("Walk around");
  EXPECT_TRUE(options_->btApply->Enabled());
  RunReminders(*options_, *window_, EncodeTime(1, 0, 0, 0), "Hourlark");
  EXPECT_FALSE(window_->Visible());
  // Once the dialog is closed (Cancel keeps what was typed), the changed text is used.
  options_->Hide();
  RunReminders(*options_, *window_, EncodeTime(1, 30, 0, 0), "Hourlark");
  EXPECT_TRUE(window_->Visible());
  EXPECT_EQ(window_->lMessage->Caption(), "Walk around");
}

TEST_F(ReminderWindow, SoundFileNamesLoseTheirQuotesAndMissingFilesPlayNothing) {
  options_->PlaySoundFile("\"" + sound_ + "\"");
  options_->PlaySoundFile(sound_);
  options_->PlaySoundFile("\"");
  options_->PlaySoundFile("\"\"");
  options_->PlaySoundFile("");
  options_->PlaySoundFile(sound_ + ".missing");
  EXPECT_EQ(MciRecorder::Commands(),
            (std::vector<std::string>{"open " + sound_, "play", "close", "open " + sound_, "play"}));
}

TEST_F(ReminderWindow, TheReminderControlsFollowTheirCheckBoxes) {
  options_->cbRemindDoneAgain->SetChecked(true);
  EXPECT_TRUE(options_->edRemindDoneAgain->Enabled());
  options_->cbRemindDone->SetChecked(false);
  EXPECT_FALSE(options_->edRemindDone->Enabled());
  EXPECT_FALSE(options_->cbRemindDoneAgain->Enabled());
  EXPECT_FALSE(options_->edRemindDoneAgain->Enabled());
  EXPECT_FALSE(options_->edRemindDoneMessage->Enabled());
  options_->cbRemindDoneAgain->SetChecked(false);
  options_->cbRemindDone->SetChecked(true);
  EXPECT_TRUE(options_->cbRemindDoneAgain->Enabled());
  EXPECT_FALSE(options_->edRemindDoneAgain->Enabled());
  options_->cbRemindEvery->SetChecked(false);
  EXPECT_FALSE(options_->edRemindEvery->Enabled());
  EXPECT_FALSE(options_->edRemindEverySound->Enabled());
  EXPECT_TRUE(options_->edRemindDoneSound->Enabled());
}

TEST_F(ReminderWindow, OkStoresOnlyUnappliedChangesAndApplyKeepsNumbersInRange) {
  // Applying writes the start-with-Windows value: it must not be left in the test prefix.
  options_->cbAutoStart->SetChecked(false);
  int applied = 0;
  options_->OnApplied = [&](TObject*) { ++applied; };
  options_->btApply->SetEnabled(false);
  options_->btOK->Click();
  EXPECT_EQ(applied, 0);
  options_->edRemindEvery->SetText("0");
  EXPECT_TRUE(options_->btApply->Enabled());
  options_->btOK->Click();
  EXPECT_EQ(applied, 1);
  EXPECT_FALSE(options_->btApply->Enabled());
  EXPECT_EQ(options_->edRemindEvery->Text(), "1");
}
