#pragma once
// Stand-ins for the tracking engine's probe and main window, for tests that only need the
// engine to run: the probe always finds the same program, the window ignores what it is told.

#include <string>

#include "app/tracking_engine.h"

class FixedProbe : public TrackingProbe {
public:
  std::string GetActiveTask() override { return task; }
  bool IsScreenSaverRunning() override { return false; }
  std::string ForegroundTitle() override { return title; }
  std::string task = "C:\\Apps\\Edit.exe";
  std::string title = "Edit";
};

class QuietTrackingHost : public TrackingHost {
public:
  int SavePeriodMinutes() override { return 5; }
  bool CountdownRunning() override { return false; }
  void ShowDayTotal(const std::string&) override {}
  void ShowTrayHint(const std::string&) override {}
  void TrackingChanged() override {}
  void TrackingStarted() override {}
  void ScreenSaverStopsTracking() override {}
  void DaySaved() override {}
  void CheckReminders() override {}
};
