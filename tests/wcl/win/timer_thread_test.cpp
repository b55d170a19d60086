#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/thread.h"
#include "platform/wcl/win/timer.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

// A worker running a function; stopped and joined before its members go.
class TWorker : public TThread {
public:
  explicit TWorker(std::function<void(TWorker&)> body, bool* deleted = nullptr)
      : body_(std::move(body)), deleted_(deleted) {}
  ~TWorker() override {
    Terminate();
    WaitFor();
    if (deleted_ != nullptr) *deleted_ = true;
  }
  using TThread::SetReturnValue;

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(TWorker&)> body_;
  bool* deleted_;
};

}  // namespace

using TimerTest = AppTest;
using ThreadTest = AppTest;

TEST_F(TimerTest, TicksWhileEnabledAndRestartsOnANewInterval) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));

  timer.SetEnabled(false);
  ticks = 0;
  PumpFor(100);  // five intervals without a tick
  EXPECT_EQ(ticks, 0);

  // A long interval shortened while running takes effect at once.
  timer.SetInterval(5000);
  timer.SetEnabled(true);
  PumpFor(60);  // three of the short intervals, none of the long one
  EXPECT_EQ(ticks, 0);
  timer.SetInterval(20);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 1000));

  // No handler or a zero interval: no timer.
  timer.OnTimer = nullptr;
  PumpFor(60);  // a tick without a handler would come now
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(0);
  ticks = 0;
  PumpFor(100);  // no timer: no tick in a while
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, ErrorInATickIsReportedAndTheTimerGoesOn) {
  app_->SetTitle("Timer test");
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 1) throw EConvertError("bad value");
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Timer test: bad value"});
}

TEST_F(ThreadTest, CallsRunOnTheWindowThreadEvenWhileItWaits) {
  DWORD syncThread = 0;
  DWORD terminateThread = 0;
  bool queuedRan = false;
  std::string errorBack;
  TWorker worker([&](TWorker& self) {
    Sleep(50);  // the window thread is in WaitFor by now
    self.Synchronize([&] { syncThread = GetCurrentThreadId(); });
    try {
      self.Synchronize([] { throw EConvertError("rejected"); });
    } catch (const Exception& e) {
      errorBack = e.Message();
    }
    self.Queue([&] { queuedRan = true; });
    self.SetReturnValue(7);
  });
  worker.OnTerminate = [&](TObject*) { terminateThread = GetCurrentThreadId(); };
  worker.Start();
  EXPECT_EQ(worker.WaitFor(), 7);
  EXPECT_TRUE(worker.Finished());
  EXPECT_EQ(syncThread, app_->MainThreadId());
  EXPECT_EQ(terminateThread, app_->MainThreadId());
  EXPECT_EQ(errorBack, "rejected");
  EXPECT_TRUE(queuedRan);
  EXPECT_FALSE(worker.FatalException());
}

TEST_F(ThreadTest, QueuedCallsRunFromTheMessageLoop) {
  std::atomic<bool> queued{false};
  bool ran = false;
  TWorker worker([&](TWorker& self) {
    self.Queue([&] { ran = true; });
    queued = true;
  });
  worker.Start();
  while (!queued) Sleep(1);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(PumpUntil([&] { return ran; }));
}

TEST_F(ThreadTest, ErrorsEndingExecuteAreKept) {
  app_->SetTitle("Thread test");
  TWorker kept([](TWorker&) { throw EReadError("disk gone"); });
  kept.Start();
  kept.WaitFor();
  ASSERT_TRUE(kept.FatalException());
  EXPECT_THROW(std::rethrow_exception(kept.FatalException()), EReadError);
  EXPECT_TRUE(Boxes().empty());

  // A thread that deletes itself has nobody to keep its error for: the user sees it.
  bool deleted = false;
  auto* loose = new TWorker([](TWorker&) { throw EReadError("disk gone"); }, &deleted);
  loose->SetFreeOnTerminate(true);
  loose->Start();
  EXPECT_TRUE(PumpUntil([&] { return deleted; }));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Thread test: disk gone"});
}
