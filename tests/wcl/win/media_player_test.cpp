// The media player over the system's media control interface, with real files: a wave file
// made here, a missing file and files that are not sounds. Where the machine has no sound
// device (Wine here), a wave file still opens and plays without error, but the device reports
// "stopped" at once: the tests then see the command sequence, the device numbers and the
// errors, not audible playing.

#include "platform/wcl/win/media_player.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/wcl/win/form.h"
#include "tests/rtl/file_fixtures.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/media_test_support.h"

namespace {

// The interface's own answer for a device number: 0 while the device is open.
unsigned long DeviceStatus(unsigned device) {
  MCI_STATUS_PARMS params{};
  params.dwItem = MCI_STATUS_MODE;
  return mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params));
}

// How many devices the interface has open for this program.
int OpenDevices() {
  char answer[32] = {};
  if (mciSendStringA("sysinfo all quantity open", answer, sizeof answer, nullptr) != 0) return -1;
  return std::atoi(answer);
}

class MediaPlayerTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = new TForm(Application);
    player_ = new TMediaPlayer(form_);
    player_->SetName("MediaPlayer");
    player_->SetParent(form_);
    player_->OnNotify = [this](TObject*) { notices_.push_back(player_->NotifyValue()); };
    sound_ = folder_.File("two seconds.wav");
    WriteWaveFile(sound_, 2000);
  }

  TempFolder folder_;
  TForm* form_ = nullptr;
  TMediaPlayer* player_ = nullptr;
  std::string sound_;
  std::vector<TMPNotifyValues> notices_;
};

}  // namespace

TEST_F(MediaPlayerTest, AWaveFileOpensPlaysInTheBackgroundStopsAndCloses) {
  EXPECT_EQ(player_->Mode(), mpNotReady);
  player_->SetFileName(sound_);
  player_->Open();
  const unsigned device = player_->DeviceID();
  ASSERT_NE(device, 0u);
  EXPECT_EQ(DeviceStatus(device), 0u);
  EXPECT_EQ(player_->Mode(), mpStopped);

  const DWORD before = GetTickCount();
  player_->Play();
  EXPECT_LT(GetTickCount() - before, 1000u) << "playing must not wait for the end of the sound";
  if (waveOutGetNumDevs() > 0) {
    EXPECT_EQ(player_->Mode(), mpPlaying);
  } else {
    // No sound device: the device has nothing to play on and stops at once.
    EXPECT_EQ(player_->Mode(), mpStopped);
  }
  player_->Stop();
  EXPECT_EQ(player_->Mode(), mpStopped);
  EXPECT_EQ(player_->Error(), 0u);

  // The notices of the commands come back on the window thread.
  EXPECT_TRUE(PumpUntil([this] { return !notices_.empty(); }, 3000));

  player_->Close();
  EXPECT_EQ(player_->DeviceID(), 0u);
  EXPECT_EQ(player_->Mode(), mpNotReady);
  EXPECT_NE(DeviceStatus(device), 0u) << "the device stays open after Close";
  player_->Close();  // nothing open: nothing to do
}

TEST_F(MediaPlayerTest, OpeningAgainClosesTheFirstDeviceAndThePlayerClosesItsDeviceWhenFreed) {
  const int before = OpenDevices();
  player_->SetFileName(sound_);
  player_->Open();
  EXPECT_EQ(OpenDevices(), before + 1);
  player_->Open();
  EXPECT_EQ(OpenDevices(), before + 1) << "the first device is left open";
  const unsigned device = player_->DeviceID();
  ASSERT_NE(device, 0u);
  player_->Play();
  delete player_;
  player_ = nullptr;
  EXPECT_EQ(OpenDevices(), before) << "a freed player leaves its device open";
  EXPECT_NE(DeviceStatus(device), 0u);
}

TEST_F(MediaPlayerTest, FilesThatCannotPlayRaiseTheInterfacesError) {
  player_->SetFileName(folder_.File("missing.wav"));
  try {
    player_->Open();
    FAIL() << "a missing file opened";
  } catch (const EMCIDeviceError& e) {
    EXPECT_EQ(player_->Error(), static_cast<unsigned long>(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(player_->ErrorMessage(), e.what());
    EXPECT_FALSE(player_->ErrorMessage().empty());
  }
  EXPECT_EQ(player_->DeviceID(), 0u);

  // A text file: no device plays its kind of file.
  const std::string text = folder_.File("notes.txt");
  WriteBytes(text, "Take a break for 5 minutes\r\n");
  player_->SetFileName(text);
  EXPECT_THROW(player_->Open(), EMCIDeviceError);
  EXPECT_EQ(player_->Error(), static_cast<unsigned long>(MCIERR_EXTENSION_NOT_FOUND));
  EXPECT_EQ(player_->DeviceID(), 0u);

  // A command on no open device is refused, not passed over.
  EXPECT_THROW(player_->Play(), EMCIDeviceError);
  EXPECT_NE(player_->Error(), 0u);

  // After the failures the player still plays a good file.
  player_->SetFileName(sound_);
  player_->Open();
  player_->Play();
  EXPECT_EQ(player_->Error(), 0u);
}

TEST_F(MediaPlayerTest, ShownButtonsPlayAndStopByMouse) {
  MciRecorder mci;
  player_->SetAutoEnable(false);
  player_->SetBounds(10, 10, 80, 30);
  form_->SetBounds(100, 100, 200, 120);
  form_->Show();
  PumpUntil([this] { return IsWindowVisible(form_->Handle()) != FALSE; });
  player_->SetFileName(sound_);
  player_->Open();
  real_input::Click(player_->Handle(), POINT{20, 15});  // the left half: Play
  EXPECT_TRUE(PumpUntil([] { return MciRecorder::Commands().size() >= 2; }));
  real_input::Click(player_->Handle(), POINT{60, 15});  // the right half: Stop
  EXPECT_TRUE(PumpUntil([] { return MciRecorder::Commands().size() >= 3; }));
  EXPECT_EQ(MciRecorder::Commands(), (std::vector<std::string>{"open " + sound_, "play", "stop"}));

  // Only Stop shown: it takes the whole width.
  player_->SetVisibleButtons(mpbStop);
  EXPECT_EQ(player_->ButtonAt(5), mpbStop);
  // With AutoEnable on, Stop is usable only while the device plays.
  player_->SetAutoEnable(true);
  EXPECT_FALSE(player_->ButtonEnabled(mpbStop));
  EXPECT_TRUE(player_->ButtonEnabled(mpbPlay));
  player_->Close();
  EXPECT_FALSE(player_->ButtonEnabled(mpbPlay));
}
