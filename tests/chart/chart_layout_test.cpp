#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/chart/chart_layout.h"
#include "platform/rtl/format_settings.h"

namespace {

class ChartLayoutTest : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings() = DefaultFormatSettings(); }
  void TearDown() override { FormatSettings() = DefaultFormatSettings(); }
};

TEST_F(ChartLayoutTest, NumberAxisUsesRoundStepsCoveringTheValues) {
  const TAxisScale a = NiceAxis(0, 7.3, 8);
  EXPECT_DOUBLE_EQ(1, a.Step);
  EXPECT_DOUBLE_EQ(0, a.Min);
  EXPECT_DOUBLE_EQ(8, a.Max);
  const TAxisScale b = NiceAxis(0, 130, 5);
  EXPECT_DOUBLE_EQ(50, b.Step);
  EXPECT_DOUBLE_EQ(150, b.Max);
  // Negative values take the axis below zero.
  const TAxisScale c = NiceAxis(-3, 4, 8);
  EXPECT_DOUBLE_EQ(-3, c.Min);
  EXPECT_DOUBLE_EQ(4, c.Max);
  // A value exactly on a step is not pushed a step further.
  EXPECT_DOUBLE_EQ(10, NiceAxis(0, 10, 5).Max);
  // Nothing to show, or nonsense: still a usable axis.
  EXPECT_DOUBLE_EQ(1, NiceAxis(0, 0, 8).Max);
  EXPECT_DOUBLE_EQ(1, NiceAxis(0, NAN, 8).Max);
  EXPECT_DOUBLE_EQ(1, NiceAxis(0, INFINITY, 8).Max);
}

TEST_F(ChartLayoutTest, TimeAxisStepsReadAsClockTimes) {
  // All zero: one hour in steps that fit.
  const TAxisScale empty = NiceTimeAxis(0, 8);
  EXPECT_DOUBLE_EQ(1.0 / 24, empty.Max);
  EXPECT_EQ("01:00", TimeAxisText(empty.Max));
  // 5 h 20 min with 8 ticks: one-hour steps up to 6 h.
  const TAxisScale day = NiceTimeAxis(5.0 / 24 + 20.0 / 1440, 8);
  EXPECT_EQ("01:00", TimeAxisText(day.Step));
  EXPECT_EQ("06:00", TimeAxisText(day.Max));
  // 80 minutes: ten-minute steps.
  EXPECT_EQ("00:10", TimeAxisText(NiceTimeAxis(80.0 / 1440, 8).Step));
  // 3.5 days still fit half days; 4.5 days take whole days, hours shown beyond 24.
  EXPECT_EQ("12:00", TimeAxisText(NiceTimeAxis(3.5, 8).Step));
  const TAxisScale days = NiceTimeAxis(4.5, 8);
  EXPECT_DOUBLE_EQ(1, days.Step);
  EXPECT_EQ("120:00", TimeAxisText(days.Max));
}

TEST_F(ChartLayoutTest, AxisTextsFollowTheProcessSeparators) {
  FormatSettings().TimeSeparator = '.';
  FormatSettings().DecimalSeparator = ',';
  EXPECT_EQ("02.30", TimeAxisText(2.5 / 24));
  EXPECT_EQ("0,5", NumberAxisText(0.5, 0.5));
  EXPECT_EQ("0,0", NumberAxisText(-1e-17, 0.5));  // never "-0,0"
  EXPECT_EQ("12,50 %", PercentText(12.5));
  EXPECT_EQ("20", NumberAxisText(20, 10));
}

TEST_F(ChartLayoutTest, TicksRunFromMinToMaxAndMapOntoPixels) {
  const TAxisScale a = NiceAxis(0, 4, 4);
  const std::vector<double> ticks = a.Ticks();
  ASSERT_EQ(5u, ticks.size());
  EXPECT_DOUBLE_EQ(4, ticks.back());
  EXPECT_EQ(110, a.ToPixel(0, 10, 110));
  EXPECT_EQ(10, a.ToPixel(4, 10, 110));
  EXPECT_EQ(60, a.ToPixel(2, 10, 110));
  // Values beyond the axis stay inside the plot.
  EXPECT_EQ(10, a.ToPixel(99, 10, 110));
  EXPECT_EQ(110, a.ToPixel(-5, 10, 110));
}

TEST_F(ChartLayoutTest, BarsStandInTheirSlotsFromTheBaseLine) {
  const TPlotRect plot{100, 0, 500, 200};
  const TAxisScale scale = NiceAxis(0, 4, 4);
  const std::vector<TPlotRect> r = BarRects(plot, 4, {4, 2, 0, 1}, scale, 0, 1, 0);
  ASSERT_EQ(4u, r.size());
  // Slots of 100 pixels, bars 70 wide in the middle of them.
  EXPECT_EQ(70, r[0].Width());
  EXPECT_EQ(115, r[0].Left);
  EXPECT_EQ(215, r[1].Left);
  EXPECT_EQ(0, r[0].Top);
  EXPECT_EQ(200, r[0].Bottom);
  EXPECT_EQ(100, r[1].Top);
  EXPECT_EQ(r[2].Top, r[2].Bottom);  // a zero bar has no height
  EXPECT_EQ(150, SlotCentre(plot, 4, 0));
  EXPECT_EQ(450, SlotCentre(plot, 4, 3));
  // Fewer values than slots: only those bars.
  EXPECT_EQ(2u, BarRects(plot, 4, {1, 1}, scale, 0, 1, 0).size());
  EXPECT_TRUE(BarRects(plot, 0, {1}, scale, 0, 1, 0).empty());
}

TEST_F(ChartLayoutTest, OverlappingSeriesAreShiftedSoTheBackOneShows) {
  const TPlotRect plot{0, 0, 400, 200};
  const TAxisScale scale = NiceAxis(0, 2, 2);
  const int depth = SeriesDepth(plot, 4, 2);
  EXPECT_GT(depth, 0);
  EXPECT_EQ(0, SeriesDepth(plot, 4, 1));
  const TPlotRect back = BarRects(plot, 4, {2}, scale, 0, 2, depth)[0];
  const TPlotRect front = BarRects(plot, 4, {2}, scale, 1, 2, depth)[0];
  EXPECT_EQ(front.Left + depth, back.Left);
  EXPECT_EQ(front.Top - depth, back.Top);
  EXPECT_EQ(front.Width(), back.Width());
}

TEST_F(ChartLayoutTest, LabelsThatWouldOverlapAreLeftOut) {
  // Centres 20 apart, labels 30 wide: every other one fits.
  const std::vector<bool> shown = FittingLabels({10, 30, 50, 70, 90}, {30, 30, 30, 30, 30}, 4);
  EXPECT_EQ((std::vector<bool>{true, false, true, false, true}), shown);
  EXPECT_EQ((std::vector<bool>{true, true}), FittingLabels({10, 100}, {20, 20}, 4));
  EXPECT_TRUE(FittingLabels({}, {}, 4).empty());
}

TEST_F(ChartLayoutTest, PieSlicesShareTheCircleByValue) {
  const TPieGeometry pie = PieLayout(TPlotRect{0, 0, 204, 204}, {1, 3, 0, -2}, 90, 0, 0, false, 0);
  ASSERT_EQ(4u, pie.SweepAngle.size());
  EXPECT_DOUBLE_EQ(90, pie.SweepAngle[0]);
  EXPECT_DOUBLE_EQ(270, pie.SweepAngle[1]);
  EXPECT_DOUBLE_EQ(0, pie.SweepAngle[2]);
  EXPECT_DOUBLE_EQ(0, pie.SweepAngle[3]);  // negative values count as nothing
  EXPECT_DOUBLE_EQ(90, pie.StartAngle[0]);
  EXPECT_DOUBLE_EQ(180, pie.StartAngle[1]);
  EXPECT_DOUBLE_EQ(100, pie.RadiusX);
  EXPECT_DOUBLE_EQ(100, pie.RadiusY);
  EXPECT_DOUBLE_EQ(25, PercentOf({1, 3, 0, -2}, 0));
  EXPECT_DOUBLE_EQ(0, PercentOf({1, 3}, 5));
  EXPECT_DOUBLE_EQ(0, PercentOf({0, 0}, 0));
}

TEST_F(ChartLayoutTest, PieHitTestFindsTheSliceUnderThePoint) {
  // Start at twelve o'clock, counter-clockwise: slice 0 covers the upper left quarter.
  const TPieGeometry pie = PieLayout(TPlotRect{0, 0, 204, 204}, {1, 3}, 90, 0, 0, false, 0);
  const int cx = 102, cy = 102;
  EXPECT_EQ(0, PieHitTest(pie, cx - 30, cy - 30));
  EXPECT_EQ(1, PieHitTest(pie, cx + 30, cy - 30));
  EXPECT_EQ(1, PieHitTest(pie, cx - 30, cy + 30));
  EXPECT_EQ(-1, PieHitTest(pie, cx + 99, cy + 99));  // inside the square, outside the circle
  EXPECT_EQ(-1, PieHitTest(pie, 500, 500));
  // Turned by a quarter: the small slice moves to the lower left.
  const TPieGeometry turned = PieLayout(TPlotRect{0, 0, 204, 204}, {1, 3}, 180, 0, 0, false, 0);
  EXPECT_EQ(0, PieHitTest(turned, cx - 30, cy + 30));
  // A pie with nothing in it has no slices to hit.
  EXPECT_EQ(-1, PieHitTest(PieLayout(TPlotRect{0, 0, 204, 204}, {0, 0}, 0, 0, 0, false, 0), cx, cy - 10));
  EXPECT_EQ(-1, PieHitTest(PieLayout(TPlotRect{0, 0, 0, 0}, {1}, 0, 0, 0, false, 0), 0, 0));
}

TEST_F(ChartLayoutTest, TiltedPieIsAnEllipseWithARimInsideItsArea) {
  const TPlotRect area{0, 0, 300, 200};
  const TPieGeometry pie = PieLayout(area, {1, 1}, 90, 0, 0, true, 315);
  EXPECT_NEAR(pie.RadiusY / pie.RadiusX, std::sqrt(0.5), 1e-9);
  EXPECT_GT(pie.Depth, 0);
  EXPECT_LE(pie.CentreY + pie.RadiusY + pie.Depth, area.Bottom);
  EXPECT_GE(pie.CentreY - pie.RadiusY, area.Top);
  EXPECT_LE(pie.CentreX + pie.RadiusX, area.Right);
  // Above the ellipse but inside the circle of the same width: no slice.
  EXPECT_EQ(-1, PieHitTest(pie, static_cast<int>(pie.CentreX), static_cast<int>(pie.CentreY - pie.RadiusY - 3)));
  // Custom radii are taken as given.
  const TPieGeometry custom = PieLayout(area, {1}, 0, 40, 20, true, 315);
  EXPECT_DOUBLE_EQ(40, custom.RadiusX);
  EXPECT_DOUBLE_EQ(20, custom.RadiusY);
}

TEST_F(ChartLayoutTest, SliceOutlineRunsFromTheCentreAlongTheArc) {
  const TPieGeometry pie = PieLayout(TPlotRect{0, 0, 204, 204}, {1, 1}, 0, 0, 0, false, 0);
  const std::vector<TPlotPoint> outline = SlicePolygon(pie, 0);
  ASSERT_GE(outline.size(), 3u);
  EXPECT_EQ(102, outline[0].X);
  EXPECT_EQ(102, outline[0].Y);
  EXPECT_EQ(202, outline[1].X);  // three o'clock
  EXPECT_EQ(102, outline[1].Y);
  EXPECT_EQ(2, outline.back().X);  // nine o'clock, through the top
  EXPECT_EQ(102 + 5, SlicePolygon(pie, 0, 5)[0].Y);
  EXPECT_TRUE(SlicePolygon(pie, 2).empty());
  EXPECT_TRUE(SlicePolygon(pie, -1).empty());
}

TEST_F(ChartLayoutTest, PaletteGivesDistinctColoursAndWrapsRound) {
  for (int i = 0; i < 16; ++i)
    for (int j = i + 1; j < 16; ++j) EXPECT_NE(PaletteColor(i), PaletteColor(j)) << i << " " << j;
  EXPECT_EQ(PaletteColor(0), PaletteColor(16));
  EXPECT_EQ(PaletteColor(15), PaletteColor(-1));
  EXPECT_EQ(0x405060, DarkerColor(0x607890));
}

TEST_F(ChartLayoutTest, EveryLegendEntryKeepsALineInASmallerFontOrSummedUp) {
  auto scaling = [](int h) { return h + 4; };
  auto fixed = [](int) { return 15; };  // a face that has no smaller size
  struct Case {
    const char* name;
    int entries, height;
    std::function<int(int)> rowHeight;
    int fontHeight;  // chosen; 0: any
    int ownLines;    // entries with a line of their own
  };
  const Case cases[] = {
      {"all fit", 3, 272, scaling, 11, 3},
      {"twenty shrink", 20, 272, scaling, 9, 20},
      {"sixty summed up below the smallest font", 60, 272, scaling, 8, 21},
      {"a face that does not shrink", 20, 272, fixed, 0, 17},
      {"one row", 20, 16, scaling, 8, 0},
      {"no room", 20, 10, scaling, 8, -1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> labels;
    std::vector<double> values;
    for (int i = 0; i < c.entries; ++i) {
      labels.push_back("Program " + std::to_string(i + 1));
      values.push_back(c.entries - i);
    }
    const TLegendLayout legend = LayoutLegend(labels, values, c.height, 11, c.rowHeight, "Other");
    if (c.fontHeight) EXPECT_EQ(c.fontHeight, legend.FontHeight) << c.name;
    if (c.ownLines < 0) {
      EXPECT_TRUE(legend.Lines.empty()) << c.name;
      continue;
    }
    EXPECT_LE(static_cast<int>(legend.Lines.size()) * legend.RowHeight, c.height) << c.name;
    double percent = 0;
    for (size_t i = 0; i < legend.Lines.size(); ++i) {
      const TLegendLine& line = legend.Lines[i];
      percent += std::stod(line.Percent);
      if (static_cast<int>(i) < c.ownLines) {
        EXPECT_EQ(static_cast<int>(i), line.Index) << c.name;
        EXPECT_EQ(labels[i], line.Label) << c.name;
      } else {
        EXPECT_EQ(-1, line.Index) << c.name;
        EXPECT_EQ("Other (" + std::to_string(c.entries - c.ownLines) + ")", line.Label) << c.name;
      }
    }
    EXPECT_EQ(c.ownLines + (c.ownLines < c.entries ? 1 : 0), static_cast<int>(legend.Lines.size())) << c.name;
    EXPECT_NEAR(100, percent, 0.01 * legend.Lines.size()) << c.name << ": the shown percentages add up";
  }
  // Without values, no percentages.
  EXPECT_EQ("", LayoutLegend({"Series1"}, {}, 100, 11, scaling, "Other").Lines.at(0).Percent);
}

}  // namespace

// ---- Zoom and pan views ---------------------------------------------------------------------

TEST(PlotView, AZoomRectangleFillsThePlotAndZoomsCompoundAndStepsEndThere) {
  const TPlotRect plot{100, 50, 500, 250};  // 400 x 200
  const TPlotView whole;
  EXPECT_EQ(ViewedPlot(plot, whole), plot);
  // The middle quarter of the width, the lower half of the height.
  const TPlotView zoomed = ZoomedView(plot, whole, TPlotRect{200, 150, 300, 250});
  EXPECT_DOUBLE_EQ(zoomed.Left, 0.25);
  EXPECT_DOUBLE_EQ(zoomed.Right, 0.5);
  EXPECT_DOUBLE_EQ(zoomed.Top, 0.5);
  EXPECT_DOUBLE_EQ(zoomed.Bottom, 1.0);
  // The whole plot is then four times as wide, shifted so the zoomed part fills plot.
  EXPECT_EQ(ViewedPlot(plot, zoomed), (TPlotRect{-300, -150, 1300, 250}));
  // A second zoom works inside the first; a rectangle sticking out is cut to the plot.
  const TPlotView again = ZoomedView(plot, zoomed, TPlotRect{0, 0, 300, 150});
  EXPECT_DOUBLE_EQ(again.Left, 0.25);
  EXPECT_DOUBLE_EQ(again.Right, 0.375);
  EXPECT_DOUBLE_EQ(again.Top, 0.5);
  EXPECT_DOUBLE_EQ(again.Bottom, 0.75);
  // Nothing to zoom into leaves the view.
  const TPlotView same = ZoomedView(plot, zoomed, TPlotRect{600, 0, 700, 40});
  EXPECT_DOUBLE_EQ(same.Left, zoomed.Left);
  EXPECT_DOUBLE_EQ(same.Bottom, zoomed.Bottom);

  // Animation steps go evenly from one view to the other and end exactly there.
  const TPlotView half = ViewStep(whole, zoomed, 9, 18);
  EXPECT_DOUBLE_EQ(half.Left, 0.125);
  EXPECT_DOUBLE_EQ(half.Right, 0.75);
  const TPlotView last = ViewStep(whole, zoomed, 18, 18);
  EXPECT_DOUBLE_EQ(last.Left, zoomed.Left);
  EXPECT_DOUBLE_EQ(last.Bottom, zoomed.Bottom);
  EXPECT_TRUE(ViewStep(zoomed, TPlotView{}, 1, 1).Whole());
}

TEST(PlotView, PanningFollowsTheMouseAndStopsAtTheEnds) {
  const TPlotRect plot{0, 0, 400, 200};
  const TPlotView zoomed{0.25, 0.5, 0.5, 1.0};
  // The mouse moves 100 pixels left: a quarter of the view, so the view moves right by it.
  const TPlotView right = PannedView(plot, zoomed, -100, 0);
  EXPECT_DOUBLE_EQ(right.Left, 0.3125);
  EXPECT_DOUBLE_EQ(right.Right, 0.5625);
  EXPECT_DOUBLE_EQ(right.Top, 0.5);
  // Far beyond an end, the view stops there with its size kept.
  const TPlotView stopped = PannedView(plot, zoomed, 5000, -5000);
  EXPECT_DOUBLE_EQ(stopped.Left, 0.0);
  EXPECT_DOUBLE_EQ(stopped.Right, 0.25);
  EXPECT_DOUBLE_EQ(stopped.Top, 0.5);
  EXPECT_DOUBLE_EQ(stopped.Bottom, 1.0);
  // The whole plot has nowhere to go.
  EXPECT_TRUE(PannedView(plot, TPlotView{}, 50, 50).Whole());
}
