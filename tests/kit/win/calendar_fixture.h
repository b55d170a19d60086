#pragma once
// The calendar window tests: a form of 300 x 220 at (100, 100), the default format settings
// and a clock that stands at noon on Saturday 14 February 2026.

#include <memory>

#include "platform/rtl/date_time.h"
#include "platform/wcl/win/form.h"
#include "tests/wcl/win/app_fixture.h"

class CalendarWindowTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    previousClock_ = SetClock(&Feb14th2026);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 220);
  }
  void TearDown() override {
    form.reset();
    real_input::ProcessMessages();  // what the closing posted
    SetClock(previousClock_);
    ResetFormatSettings();
    AppTest::TearDown();
  }

  static TDateTime Feb14th2026() { return EncodeDate(2026, 2, 14) + 0.5; }

  std::unique_ptr<TForm> form;

private:
  ClockFn previousClock_ = nullptr;
};
