#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/chart/plot_series.h"
#include "platform/rtl/exceptions.h"

namespace {

// A chart stand-in that records what its series tell it.
class FakeChart : public TPlotSeriesHost {
public:
  void SeriesAdded(TPlotSeries* s) override { series.push_back(s); }
  void SeriesRemoved(TPlotSeries* s) override {
    series.erase(std::remove(series.begin(), series.end(), s), series.end());
  }
  void SeriesChanged(TPlotSeries*) override { ++changes; }
  std::vector<TPlotSeries*> series;
  int changes = 0;
};

TEST(PlotSeries, PointsKeepValueLabelAndColour) {
  TComponent owner(nullptr);
  auto* bars = new TPlotBarSeries(&owner);
  bars->SetSeriesColor(0xFF0080);
  EXPECT_EQ(0, bars->Add(0.25, "Mon 1", clPlotAuto));
  EXPECT_EQ(1, bars->Add(0.5, "Tue 2", clLime));
  EXPECT_EQ(2, bars->Count());
  EXPECT_DOUBLE_EQ(0.5, bars->Value(1));
  EXPECT_EQ("Tue 2", bars->PointLabel(1));
  EXPECT_EQ(0xFF0080, bars->ValueColor(0));  // automatic: the series colour
  EXPECT_EQ(clLime, bars->ValueColor(1));
  EXPECT_THROW(bars->Value(2), EListError);
  EXPECT_THROW(bars->ValueColor(-1), EListError);
  bars->Clear();
  EXPECT_EQ(0, bars->Count());

  auto* pie = new TPlotPieSeries(&owner);
  pie->Add(1, "a");
  pie->Add(3, "b");
  EXPECT_EQ(PaletteColor(0), pie->ValueColor(0));  // automatic: one palette colour each
  EXPECT_EQ(PaletteColor(1), pie->ValueColor(1));
  EXPECT_DOUBLE_EQ(75, pie->Percent(1));
}

TEST(PlotSeries, ChartIsToldOfChangesAndForgottenOnEitherSide) {
  FakeChart chart;
  {
    TComponent owner(nullptr);
    auto* s = new TPlotPieSeries(&owner);
    s->SetParentChart(&chart);
    ASSERT_EQ(1u, chart.series.size());
    const int before = chart.changes;
    s->Add(1);
    s->SetStartAngle(10);
    s->Clear();
    EXPECT_EQ(before + 3, chart.changes);
    s->SetParentChart(&chart);  // twice is once
    EXPECT_EQ(1u, chart.series.size());
  }
  // Freed with its owner: the chart no longer lists it.
  EXPECT_TRUE(chart.series.empty());
}

// A fill between BeginUpdate and EndUpdate tells the chart once, at the outermost end, and
// not at all when nothing changed; the points are the same as added one by one.
TEST(PlotSeries, AnUpdateTellsTheChartOnceAtItsOutermostEnd) {
  FakeChart chart;
  TComponent owner(nullptr);
  auto* s = new TPlotBarSeries(&owner);
  s->SetParentChart(&chart);
  const int before = chart.changes;
  s->BeginUpdate();
  s->EndUpdate();
  EXPECT_EQ(before, chart.changes);
  s->BeginUpdate();
  s->BeginUpdate();
  s->Clear();
  for (int i = 0; i < 1000; ++i) s->Add(i, "day");
  s->EndUpdate();
  EXPECT_EQ(before, chart.changes);  // still inside the outer update
  s->EndUpdate();
  EXPECT_EQ(before + 1, chart.changes);
  EXPECT_EQ(1000, s->Count());
  EXPECT_DOUBLE_EQ(999, s->Value(999));
  s->EndUpdate();  // an unmatched end is ignored
  s->Add(1);
  EXPECT_EQ(before + 2, chart.changes);
}

TEST(PlotSeries, StartAngleStaysInOneTurn) {
  TComponent owner(nullptr);
  auto* pie = new TPlotPieSeries(&owner);
  pie->SetStartAngle(359);
  pie->SetStartAngle((pie->StartAngle() + 1) % 360);
  EXPECT_EQ(0, pie->StartAngle());
  pie->SetStartAngle(450);
  EXPECT_EQ(90, pie->StartAngle());
  pie->SetStartAngle(-90);
  EXPECT_EQ(270, pie->StartAngle());
  pie->SetCustomXRadius(-5);
  EXPECT_EQ(0, pie->CustomXRadius());
}

TEST(PlotSeries, ClickedFindsTheBarOrSliceLastDrawn) {
  TComponent owner(nullptr);
  auto* bars = new TPlotBarSeries(&owner);
  bars->Add(1);
  bars->Add(0);
  EXPECT_EQ(-1, bars->Clicked(10, 10));  // never drawn
  bars->SetBarBounds({TPlotRect{10, 20, 30, 100}, TPlotRect{40, 100, 60, 100}});
  EXPECT_EQ(0, bars->Clicked(15, 50));
  EXPECT_EQ(-1, bars->Clicked(35, 50));
  // A bar of zero height can still be clicked at its base.
  EXPECT_EQ(1, bars->Clicked(50, 99));

  auto* pie = new TPlotPieSeries(&owner);
  pie->Add(1);
  pie->Add(1);
  pie->SetGeometry(PieLayout(TPlotRect{0, 0, 100, 100}, pie->Values(), 0, 0, 0, false, 0));
  EXPECT_EQ(0, pie->Clicked(50, 30));
  EXPECT_EQ(1, pie->Clicked(50, 70));
}

}  // namespace
