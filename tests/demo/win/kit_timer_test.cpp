#include "demo/win/kit_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "tests/wcl/win/app_fixture.h"

namespace {

class KitTimerTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    timer_ = std::make_unique<TKitTimer>(nullptr);
    timer_->SetInterval(50);
  }
  void TearDown() override {
    timer_.reset();
    AppTest::TearDown();
  }

  // Counts the ticks and notes whether each ran on the window thread.
  void Count() {
    timer_->OnTimer = [this](TObject* sender) {
      EXPECT_EQ(sender, timer_.get());
      ++ticks_;
      if (GetCurrentThreadId() != GetWindowThreadId()) offThread_ = true;
    };
  }
  static DWORD GetWindowThreadId() { return Application->MainThreadId(); }

  std::unique_ptr<TKitTimer> timer_;
  std::atomic<int> ticks_{0};
  std::atomic<bool> offThread_{false};
};

// Sleep granularity differs between systems: counts are checked with wide bounds.
TEST_F(KitTimerTest, BothModesTickOnTheWindowThreadAtRoughlyTheInterval) {
  for (bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "thread" : "window timer");
    timer_->SetThreaded(threaded);
    ticks_ = 0;
    Count();
    PumpFor(1000);  // the ticks counted in a known time
    timer_->OnTimer = nullptr;
    EXPECT_GE(ticks_, 6);
    EXPECT_LE(ticks_, 25);
    EXPECT_FALSE(offThread_);
    EXPECT_EQ(timer_->WindowHandle() != nullptr, !threaded);
  }
}

TEST_F(KitTimerTest, NoTicksWithoutIntervalHandlerOrEnabled) {
  for (bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "thread" : "window timer");
    timer_->SetThreaded(threaded);
    ticks_ = 0;
    timer_->SetInterval(0);
    Count();
    PumpFor(100);
    EXPECT_EQ(ticks_, 0) << "interval 0";
    timer_->SetInterval(20);
    timer_->SetEnabled(false);
    PumpFor(100);  // five intervals
    EXPECT_EQ(ticks_, 0) << "disabled";
    timer_->SetEnabled(true);
    timer_->OnTimer = nullptr;
    PumpFor(100);
    EXPECT_EQ(ticks_, 0) << "no handler";
    // The same settings with a handler do tick: the checks above can fail.
    Count();
    EXPECT_TRUE(PumpUntil([this] { return ticks_ > 0; }));
    timer_->OnTimer = nullptr;
  }
}

TEST_F(KitTimerTest, DisablingInsideATickEndsTheTicks) {
  timer_->SetInterval(20);
  timer_->OnTimer = [this](TObject*) {
    ++ticks_;
    timer_->SetEnabled(false);
  };
  ASSERT_TRUE(PumpUntil([this] { return ticks_ > 0; }));
  PumpFor(100);  // five intervals without another tick
  EXPECT_EQ(ticks_, 1);
}

TEST_F(KitTimerTest, WithoutSyncEventTheTickRunsOnTheWorker) {
  timer_->SetSyncEvent(false);
  timer_->SetInterval(20);
  Count();
  // No message pump: the ticks must come all the same.
  const DWORD start = GetTickCount();
  while (ticks_ < 3 && GetTickCount() - start < 3000) Sleep(10);
  timer_->OnTimer = nullptr;
  EXPECT_GE(ticks_, 3);
  EXPECT_TRUE(offThread_);
}

TEST_F(KitTimerTest, SwitchingModesKeepsIntervalAndEnabled) {
  timer_->SetInterval(30);
  timer_->SetEnabled(false);
  timer_->SetThreaded(false);
  EXPECT_NE(timer_->WindowHandle(), nullptr);
  timer_->SetThreaded(true);
  EXPECT_EQ(timer_->WindowHandle(), nullptr);
  EXPECT_EQ(timer_->Interval(), 30u);
  EXPECT_FALSE(timer_->Enabled());
  Count();
  PumpFor(150);  // five intervals without a tick
  EXPECT_EQ(ticks_, 0);
  timer_->SetEnabled(true);
  EXPECT_TRUE(PumpUntil([this] { return ticks_ > 0; }));
}

TEST_F(KitTimerTest, DestroyingARunningTimerStopsAtOnceEvenWithALongInterval) {
  timer_->SetInterval(20);
  Count();
  ASSERT_TRUE(PumpUntil([this] { return ticks_ > 0; }));
  timer_->SetInterval(100000);
  const DWORD start = GetTickCount();
  timer_.reset();
  EXPECT_LT(GetTickCount() - start, 2000u);
  const int seen = ticks_;
  PumpFor(100);  // five of the first intervals without a tick
  EXPECT_EQ(ticks_, seen);
}

TEST_F(KitTimerTest, ATickMayDestroyItsOwnTimer) {
  for (bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "thread" : "window timer");
    timer_ = std::make_unique<TKitTimer>(nullptr);
    timer_->SetThreaded(threaded);
    timer_->SetInterval(20);
    ticks_ = 0;
    timer_->OnTimer = [this](TObject*) {
      ++ticks_;
      timer_.reset();
    };
    ASSERT_TRUE(PumpUntil([this] { return timer_ == nullptr; }));
    PumpFor(100);  // the worker ends and deletes itself, and no tick comes after
    EXPECT_EQ(ticks_, 1);
  }
}

TEST_F(KitTimerTest, AnErrorInATickGoesToTheApplication) {
  timer_->SetInterval(20);
  timer_->OnTimer = [this](TObject*) {
    ++ticks_;
    timer_->SetEnabled(false);
    throw Exception("tick failed");
  };
  ASSERT_TRUE(PumpUntil([this] { return ticks_ > 0; }));
  EXPECT_TRUE(PumpUntil([] { return !Boxes().empty(); }));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("tick failed"), std::string::npos);
}

}  // namespace
