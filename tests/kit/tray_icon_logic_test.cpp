#include "kit/tray_icon_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShellCall {
  TTrayNotifyOp Op;
  uintptr_t Icon;
  std::string Tip;
  uint32_t Flags;
};

// A shell and worker that record what the logic asks of them.
class FakeHost : public TTrayIconHost {
public:
  std::vector<ShellCall> calls;
  std::vector<uintptr_t> frames;
  uintptr_t still = 0;
  bool addSucceeds = true;
  bool modifySucceeds = true;
  bool workerRunning = false;  // a worker exists
  bool workerPaused = false;
  int workersStarted = 0;

  bool ShellNotify(TTrayNotifyOp op, const TTrayRecord& record) override {
    calls.push_back({op, record.Icon, record.Tip, record.Flags});
    if (op == tnAdd) return addSucceeds;
    return op != tnModify || modifySucceeds;
  }
  uintptr_t WindowHandle() override { return 0x1234; }
  uintptr_t StillIcon() override { return still; }
  int FrameCount() override { return static_cast<int>(frames.size()); }
  uintptr_t FrameIcon(int index) override { return frames.at(static_cast<size_t>(index)); }
  void StartAnimation(bool paused) override {
    EXPECT_FALSE(workerRunning);
    workerRunning = true;
    workerPaused = paused;
    ++workersStarted;
  }
  void PauseAnimation(bool paused) override {
    EXPECT_TRUE(workerRunning);
    workerPaused = paused;
  }
  void StopAnimation() override {
    EXPECT_TRUE(workerRunning);
    workerRunning = false;
  }

  // The icons of the add and modify calls, in order.
  std::vector<uintptr_t> Shown() const {
    std::vector<uintptr_t> shown;
    for (const ShellCall& c : calls)
      if (c.Op != tnDelete) shown.push_back(c.Icon);
    return shown;
  }
  const ShellCall& Last() const { return calls.back(); }
};

class TrayIconLogicTest : public ::testing::Test {
protected:
  FakeHost host;
  TTrayIconLogic tray{host};
};

}  // namespace

TEST(TrayRecord, TipIsTheShortHintCutTo63) {
  EXPECT_EQ("Word", TrayTipText("Word|a much longer explanation"));
  EXPECT_EQ("No bar", TrayTipText("No bar"));
  EXPECT_EQ("", TrayTipText("|only long"));
  EXPECT_EQ(std::string(63, 'h'), TrayTipText(std::string(100, 'h')));

  TTrayRecord record = MakeTrayRecord(0x42, 0x99, std::string(100, 'h') + "|x");
  EXPECT_EQ(0x42u, record.Window);
  EXPECT_EQ(0u, record.ID);
  EXPECT_EQ(7u, record.Flags);
  EXPECT_EQ(0xB054u, record.CallbackMessage);
  EXPECT_EQ(0x99u, record.Icon);
  EXPECT_EQ(std::string(63, 'h'), std::string(record.Tip));
  EXPECT_EQ('\0', record.Tip[63]);
  EXPECT_EQ(kNoTrayIcon, MakeTrayRecord(0x42, 0, "").Icon);
}

TEST(TrayRecord, FrameDelayHasAFloor) {
  EXPECT_EQ(kMinTrayFrameInterval, TrayFrameDelay(0));
  EXPECT_EQ(kMinTrayFrameInterval, TrayFrameDelay(1));
  EXPECT_EQ(500u, TrayFrameDelay(500));
}

TEST(TrayMouse, MessagesBecomeEventsInOrder) {
  unsigned marks = 0;
  using S = TTrayMouseStep;
  // Left down and up: down, click, up.
  EXPECT_EQ((std::vector<S>{{tmDown, tbLeft, tfLeft}}), TrayMouseSteps(0x201, marks));
  EXPECT_EQ((std::vector<S>{{tmClick, tbLeft, tfLeft}, {tmUp, tbLeft, tfLeft}}), TrayMouseSteps(0x202, marks));
  // A left up without a down on the icon: only up.
  EXPECT_EQ((std::vector<S>{{tmUp, tbLeft, tfLeft}}), TrayMouseSteps(0x202, marks));
  // Double click (down, up, double, up): one click, from the first release.
  int clicks = 0;
  for (unsigned m : {0x201u, 0x202u, 0x203u, 0x202u})
    for (const S& s : TrayMouseSteps(m, marks)) clicks += s.Kind == tmClick;
  EXPECT_EQ(1, clicks);
  EXPECT_EQ((std::vector<S>{{tmDblClick, tbLeft, tfNone}, {tmDown, tbLeft, tfDouble}}), TrayMouseSteps(0x203, marks));
  // Right button: clicks; its double click is only a press.
  TrayMouseSteps(0x204, marks);
  EXPECT_EQ((std::vector<S>{{tmClick, tbRight, tfRight}, {tmUp, tbRight, tfRight}}), TrayMouseSteps(0x205, marks));
  EXPECT_EQ((std::vector<S>{{tmDown, tbRight, tfDouble}}), TrayMouseSteps(0x206, marks));
  // The middle button never clicks.
  EXPECT_EQ((std::vector<S>{{tmDown, tbMiddle, tfMiddle}}), TrayMouseSteps(0x207, marks));
  EXPECT_EQ((std::vector<S>{{tmUp, tbMiddle, tfMiddle}}), TrayMouseSteps(0x208, marks));
  EXPECT_EQ((std::vector<S>{{tmDown, tbMiddle, tfDouble}}), TrayMouseSteps(0x209, marks));
  EXPECT_EQ((std::vector<S>{{tmMove, tbLeft, tfNone}}), TrayMouseSteps(0x200, marks));
  EXPECT_TRUE(TrayMouseSteps(0x20A, marks).empty());
  // The marks of both buttons are independent.
  marks = 0;
  TrayMouseSteps(0x201, marks);
  TrayMouseSteps(0x204, marks);
  EXPECT_EQ(kTrayLeftMark | kTrayRightMark, marks);
  TrayMouseSteps(0x205, marks);
  EXPECT_EQ(kTrayLeftMark, marks);
}

TEST_F(TrayIconLogicTest, NothingShowsWithoutAnIconUntilOneIsSet) {
  tray.Loaded();
  EXPECT_FALSE(tray.Added());
  for (const ShellCall& c : host.calls) EXPECT_EQ(tnDelete, c.Op);

  host.still = 0x10;
  tray.ChangeIcon();  // the still icon changed
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(tnAdd, host.calls[host.calls.size() - 2].Op);
  // With an empty tip the record is sent once more as a change.
  EXPECT_EQ(tnModify, host.Last().Op);
  EXPECT_EQ(0x10u, tray.NotifyData().Icon);
  EXPECT_EQ(0x1234u, tray.NotifyData().Window);

  // Inactive: removed, and a changed icon does not bring it back.
  tray.SetActive(false);
  EXPECT_FALSE(tray.Added());
  EXPECT_EQ(tnDelete, host.Last().Op);
  host.still = 0x11;
  host.calls.clear();
  tray.ChangeIcon();
  EXPECT_TRUE(host.calls.empty());
  tray.SetActive(true);
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(0x11u, host.Last().Icon);
}

TEST_F(TrayIconLogicTest, HintChangesTheTipOfTheShownIcon) {
  host.still = 0x10;
  tray.SetHint("Working|Counting since 9:00");
  ASSERT_TRUE(tray.Added());
  host.calls.clear();
  tray.SetHint("Paused|Not counting");
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_EQ(tnModify, host.Last().Op);
  EXPECT_EQ("Paused", host.Last().Tip);
  tray.SetHint("Paused|Not counting");  // unchanged: nothing sent
  EXPECT_EQ(1u, host.calls.size());
}

// A change hands the shell only what differs from what it holds: the tip that counts each
// second goes without the icon, a frame without the tip, and an unchanged state not at all.
// Whenever what the shell holds is not known for sure, the whole record goes.
TEST_F(TrayIconLogicTest, ChangesCarryOnlyWhatTheShellDoesNotHoldYet) {
  host.still = 0x10;
  host.frames = {0x21, 0, 0x23};
  tray.SetHint("user 0:00:01");
  ASSERT_TRUE(tray.Added());
  EXPECT_EQ(kTrayRecordFlags, host.calls[host.calls.size() - 1].Flags);
  host.calls.clear();

  tray.SetHint("user 0:00:02");
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_EQ(kTrayTipFlag, host.Last().Flags);
  EXPECT_EQ("user 0:00:02", host.Last().Tip);
  EXPECT_EQ(0x10u, host.Last().Icon);

  tray.SetAnimated(true);
  EXPECT_EQ(kTrayIconFlag, host.Last().Flags);
  EXPECT_EQ(0x21u, host.Last().Icon);
  tray.Timer();
  EXPECT_EQ(kTrayIconFlag, host.Last().Flags);
  EXPECT_EQ(0x23u, host.Last().Icon);
  tray.SetHint("user 0:00:03");
  EXPECT_EQ(kTrayTipFlag, host.Last().Flags);
  EXPECT_EQ("user 0:00:03", host.Last().Tip);

  // One filled frame: the frames advance, the icon stays, the shell hears nothing.
  host.frames = {0, 0x23, 0};
  host.calls.clear();
  tray.Timer();
  tray.Timer();
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(tray.Added());

  // Replaced icons may come back under an old handle: the whole record goes.
  tray.IconsReplaced();
  tray.ChangeIcon();
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_EQ(kTrayRecordFlags, host.Last().Flags);
  EXPECT_EQ(0x23u, host.Last().Icon);
  EXPECT_EQ("user 0:00:03", host.Last().Tip);

  // A change the shell refused: the next one carries everything again.
  host.modifySucceeds = false;
  tray.SetHint("user 0:00:04");
  EXPECT_EQ(kTrayTipFlag, host.Last().Flags);
  host.modifySucceeds = true;
  tray.SetHint("user 0:00:05");
  EXPECT_EQ(kTrayRecordFlags, host.Last().Flags);
  tray.SetHint("user 0:00:06");
  EXPECT_EQ(kTrayTipFlag, host.Last().Flags);

  // Removed and added again: the add carries everything, later changes only what differs.
  tray.SetActive(false);
  tray.SetActive(true);
  EXPECT_EQ(tnAdd, host.Last().Op);
  EXPECT_EQ(kTrayRecordFlags, host.Last().Flags);
  tray.SetHint("user 0:00:07");
  EXPECT_EQ(kTrayTipFlag, host.Last().Flags);
}

TEST_F(TrayIconLogicTest, FailedAddIsTriedAgainAtTheNextChange) {
  host.still = 0x10;
  host.addSucceeds = false;
  tray.Loaded();
  EXPECT_FALSE(tray.Added());
  host.addSucceeds = true;
  tray.SetHint("again");
  EXPECT_TRUE(tray.Added());
  // The shell restarted and forgot the icon: it is added anew.
  host.calls.clear();
  tray.ShellRestarted();
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(tnAdd, host.Last().Op);
}

TEST_F(TrayIconLogicTest, AnimationNeedsFramesAndStopsWhenTheyGo) {
  host.still = 0x10;
  tray.Loaded();
  tray.SetAnimated(true);  // no frames
  EXPECT_FALSE(tray.Animated());
  EXPECT_EQ(0, host.workersStarted);

  host.frames = {0x21, 0x22, 0x23};
  tray.SetAnimated(true);
  EXPECT_TRUE(tray.Animated());
  EXPECT_TRUE(host.workerRunning);
  EXPECT_FALSE(host.workerPaused);  // the icon was shown: the worker runs at once
  EXPECT_EQ(0x21u, host.Last().Icon);

  // The frames are cleared while animating: the animation ends, the still icon shows.
  host.frames.clear();
  tray.ChangeIcon();
  EXPECT_FALSE(tray.Animated());
  EXPECT_FALSE(host.workerRunning);
  EXPECT_EQ(0x10u, host.Last().Icon);
  EXPECT_TRUE(tray.Added());
}

TEST_F(TrayIconLogicTest, FramesCycleAndRestartAtTheFirst) {
  host.still = 0x10;
  host.frames = {0x21, 0x22, 0x23};
  tray.Loaded();
  EXPECT_EQ(-1, tray.FrameIndex());
  tray.SetAnimated(true);
  for (int i = 0; i < 4; ++i) tray.Timer();
  std::vector<uintptr_t> shown = host.Shown();
  ASSERT_GE(shown.size(), 5u);
  EXPECT_EQ((std::vector<uintptr_t>{0x21, 0x22, 0x23, 0x21, 0x22}),
            std::vector<uintptr_t>(shown.end() - 5, shown.end()));

  tray.SetAnimated(false);
  EXPECT_EQ(0, tray.FrameIndex());
  EXPECT_EQ(0x10u, host.Last().Icon);
  tray.Timer();  // a late tick after the animation ended changes nothing
  EXPECT_EQ(0, tray.FrameIndex());
  tray.SetAnimated(true);
  EXPECT_EQ(0, tray.FrameIndex());
  EXPECT_EQ(0x21u, host.Last().Icon);
  EXPECT_EQ(2, host.workersStarted);
}

TEST_F(TrayIconLogicTest, EmptyFramesNeverHideTheIcon) {
  host.still = 0x10;
  host.frames = {0, 0x22, 0, 0x24};
  tray.Loaded();
  tray.SetAnimated(true);
  EXPECT_EQ(1, tray.FrameIndex());  // the first frame is empty: it starts at the next
  host.calls.clear();
  for (int i = 0; i < 5; ++i) tray.Timer();
  EXPECT_TRUE(tray.Added());
  EXPECT_FALSE(host.workerPaused);
  for (const ShellCall& c : host.calls) EXPECT_EQ(tnModify, c.Op);
  EXPECT_EQ((std::vector<uintptr_t>{0x24, 0x22, 0x24, 0x22, 0x24}), host.Shown());

  // The list was refilled with empty entries only: the still icon stands in.
  host.frames = {0, 0};
  tray.ChangeIcon();
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(0x10u, host.Last().Icon);
  tray.Timer();
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(0x10u, host.Last().Icon);

  // Nothing at all to show: removed, worker paused, and the next frame list brings it back.
  host.still = 0;
  tray.ChangeIcon();
  EXPECT_FALSE(tray.Added());
  EXPECT_TRUE(host.workerPaused);
  host.frames = {0, 0x33};
  tray.SetHint("frames again");
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(0x33u, host.Last().Icon);
  host.frames = {0, 0x33, 0x34};
  tray.ChangeIcon();
  EXPECT_FALSE(host.workerPaused);
}

// The worker wakes the window thread for every frame: it rests while the frames hold only
// one picture (the still icon as the only frame, when the option asks for no animation).
TEST_F(TrayIconLogicTest, TheWorkerRestsWhileThereIsNothingToTurn) {
  host.still = 0x10;
  host.frames = {0x10};
  tray.SetHint("user 0:00:01");
  tray.SetAnimated(true);
  EXPECT_TRUE(tray.Animated());
  EXPECT_TRUE(host.workerRunning);
  EXPECT_TRUE(host.workerPaused);
  EXPECT_EQ(0x10u, tray.NotifyData().Icon);

  host.frames = {0x21, 0, 0x22};
  tray.ChangeIcon();
  EXPECT_FALSE(host.workerPaused);
  host.frames = {0, 0x22};
  tray.ChangeIcon();
  EXPECT_TRUE(host.workerPaused);
  EXPECT_EQ(0x22u, host.Last().Icon);

  // A refused add: the frames go on, each one tries the add again.
  host.addSucceeds = false;
  tray.SetActive(false);
  tray.SetActive(true);
  EXPECT_FALSE(tray.Added());
  EXPECT_FALSE(host.workerPaused);
  host.addSucceeds = true;
  tray.Timer();
  EXPECT_TRUE(tray.Added());
  EXPECT_TRUE(host.workerPaused);
  EXPECT_EQ(tnAdd, host.Last().Op);
}

TEST_F(TrayIconLogicTest, InactivePausesAndActiveResumesWithTheCurrentFrame) {
  host.still = 0x10;
  host.frames = {0x21, 0x22, 0x23};
  tray.Loaded();
  tray.SetAnimated(true);
  tray.Timer();
  tray.SetActive(false);
  EXPECT_FALSE(tray.Added());
  EXPECT_TRUE(host.workerPaused);
  tray.SetActive(true);
  EXPECT_TRUE(tray.Added());
  EXPECT_FALSE(host.workerPaused);
  EXPECT_EQ(0x22u, host.Last().Icon);

  // Animation switched on while hidden: the worker starts paused.
  FakeHost other;
  other.frames = {0x21};
  TTrayIconLogic hidden(other);
  hidden.SetActive(false);
  hidden.SetAnimated(true);
  EXPECT_TRUE(other.workerPaused);
}

TEST_F(TrayIconLogicTest, DestroyingShowsNothingMore) {
  host.still = 0x10;
  host.addSucceeds = false;
  tray.Loaded();
  tray.BeginDestroy();
  host.addSucceeds = true;
  host.calls.clear();
  tray.ChangeIcon();
  tray.Activate();
  for (const ShellCall& c : host.calls) EXPECT_EQ(tnDelete, c.Op);
  EXPECT_FALSE(tray.Added());
}
