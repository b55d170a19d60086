#include "platform/chart/win/plot_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/screen.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kPurple = 0xFF0080;

TColor PixelAt(TBitmap* bitmap, int x, int y) { return bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF; }

// A chart that counts how often it is painted, to see the steps of an animated zoom.
class CountingChart : public TPlotChart {
public:
  using TPlotChart::TPlotChart;
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    TPlotChart::Paint();
  }
};


class PlotChartTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 860, 340);
  }
  void TearDown() override {
    form.reset();
    AppTest::TearDown();
  }

  // A bar chart set up as the statistics window's day chart.
  TPlotChart* DayChart() {
    auto* chart = new CountingChart(form.get());
    chart->SetParent(form.get());
    chart->SetBounds(4, 4, 420, 280);
    chart->Title()->SetVisible(false);
    chart->Legend()->SetVisible(false);
    chart->Foot()->SetVisible(false);
    chart->RightAxis()->SetVisible(false);
    chart->TopAxis()->SetVisible(false);
    chart->LeftAxis()->SetTitle("Time (hours)");
    chart->LeftWall()->SetColor(clWhite);
    chart->BackWall()->SetTransparent(true);
    chart->SetMarginLeft(1);
    chart->SetMarginRight(1);
    chart->SetMarginBottom(1);
    chart->SetMarginTop(3);
    chart->SetBevelInner(bvRaised);
    chart->SetBevelOuter(bvLowered);
    for (TPlotBarSeries** s : {&series1, &series2}) {
      *s = new TPlotBarSeries(form.get());
      (*s)->SetMultiBar(mbNone);
      (*s)->SetMarksVisible(false);
      (*s)->SetPenVisible(false);
      (*s)->SetCursor(crHandPoint);
      (*s)->SetYValuesDateTime(true);
      (*s)->SetParentChart(chart);
    }
    series1->SetSeriesColor(kPurple);
    series2->SetSeriesColor(clLime);
    const char* days[] = {"Mo 1", "Tu 2", "We 3", "Th 4", "Fr 5"};
    for (int i = 0; i < 5; ++i) {
      series1->Add((i + 1) / 24.0, days[i]);
      series2->Add(i == 2 ? 0 : 0.5 / 24.0, days[i]);
    }
    return chart;
  }

  // A tilted pie with a legend of values and percentages, as on the detail page.
  TPlotChart* PieChart() {
    auto* chart = new TPlotChart(form.get());
    chart->SetParent(form.get());
    chart->SetBounds(430, 4, 400, 280);
    chart->SetAxisVisible(false);
    chart->SetView3DWalls(false);
    chart->SetFrameVisible(false);
    chart->Title()->SetVisible(false);
    chart->Legend()->SetLegendStyle(lsValues);
    chart->Legend()->SetTextStyle(ltsRightPercent);
    chart->Legend()->SetShadowSize(2);
    chart->SetView3D(true);
    chart->View3DOptions()->SetElevation(315);
    chart->View3DOptions()->SetRotation(360);
    chart->View3DOptions()->SetOrthogonal(false);
    pie = new TPlotPieSeries(form.get());
    pie->SetStartAngle(90);
    pie->SetMarksVisible(false);
    pie->SetPenVisible(false);
    pie->SetCursor(crHandPoint);
    pie->SetOtherSliceText("Other");
    pie->SetParentChart(chart);
    pie->Add(3.0 / 24, "Editor (03:00:00)");
    pie->Add(1.0 / 24, "Browser (01:00:00)");
    pie->Add(0.5 / 24, "Mail (00:30:00)");
    return chart;
  }

  // The chart painted as on screen (so it keeps the geometry of its points) into a bitmap.
  static std::unique_ptr<TBitmap> Render(TPlotChart* chart) {
    auto out = std::make_unique<TBitmap>();
    out->SetSize(chart->Width(), chart->Height());
    chart->Perform(WM_PAINT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()), 0);
    return out;
  }

  static POINT Centre(const TPlotRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // A drag (or, from and to the same point, a press) with the real mouse, then its handling.
  static void Drag(HWND window, POINT from, POINT to, bool right = false) {
    real_input::Drag(window, from, to, right ? real_input::Button::Right : real_input::Button::Left);
    real_input::SettlePainted();
  }

  std::unique_ptr<TForm> form;
  TPlotBarSeries* series1 = nullptr;
  TPlotBarSeries* series2 = nullptr;
  TPlotPieSeries* pie = nullptr;
};

}  // namespace

TEST_F(PlotChartTest, BarsAreDrawnInTheirSeriesColoursOneBehindTheOther) {
  TPlotChart* chart = DayChart();
  auto shot = Render(chart);
  ASSERT_EQ(5u, series1->BarBounds().size());
  ASSERT_EQ(5u, series2->BarBounds().size());
  // Taller purple bars rise above the lime ones in front of them.
  for (int i = 0; i < 5; ++i) {
    const TPlotRect back = series1->BarBounds()[i];
    const TPlotRect front = series2->BarBounds()[i];
    EXPECT_LT(back.Top, front.Top) << i;
    EXPECT_EQ(kPurple, PixelAt(shot.get(), (back.Left + back.Right) / 2, back.Top + 2)) << i;
    if (i != 2) {
      EXPECT_EQ(clLime, PixelAt(shot.get(), Centre(front).x, front.Bottom - 2)) << i;
    }
  }
  // Each taller by an hour: the bars grow evenly.
  const int step = series1->BarBounds()[0].Top - series1->BarBounds()[1].Top;
  EXPECT_NEAR(step, series1->BarBounds()[1].Top - series1->BarBounds()[2].Top, 1);
  // The bevels: raised inner, lowered outer; the background in the chart's colour.
  EXPECT_EQ(ColorToRGB(clBtnShadow) & 0xFFFFFF, PixelAt(shot.get(), 0, 0));
  EXPECT_EQ(ColorToRGB(clBtnFace) & 0xFFFFFF, PixelAt(shot.get(), 8, chart->Height() - 8));
  // The left wall is white.
  const TPlotRect first = series1->BarBounds()[0];
  EXPECT_EQ(clWhite, PixelAt(shot.get(), first.Left - 20, first.Bottom - 3 - 20 + 20));
}

TEST_F(PlotChartTest, PressOnABarTellsItsIndexAndTheSeries) {
  TPlotChart* chart = DayChart();
  Render(chart);
  std::vector<std::pair<TPlotSeries*, int>> clicks;
  chart->OnClickSeries = [&](TObject* sender, TPlotSeries* s, int index, TMouseButton, TShiftState, int, int) {
    EXPECT_EQ(chart, sender);
    clicks.push_back({s, index});
  };
  const POINT lime = Centre(series2->BarBounds()[3]);
  SendMessageA(chart->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(lime.x, lime.y));
  SendMessageA(chart->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(lime.x, lime.y));
  const TPlotRect back = series1->BarBounds()[4];
  SendMessageA(chart->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((back.Left + back.Right) / 2, back.Top + 2));
  SendMessageA(chart->Handle(), WM_LBUTTONUP, 0, 0);
  SendMessageA(chart->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(chart->Width() - 3, 3));  // nothing there
  SendMessageA(chart->Handle(), WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(2u, clicks.size());
  EXPECT_EQ(series2, clicks[0].first);
  EXPECT_EQ(3, clicks[0].second);
  EXPECT_EQ(series1, clicks[1].first);
  EXPECT_EQ(4, clicks[1].second);
  // The hand cursor over a bar only.
  SendMessageA(chart->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(lime.x, lime.y));
  EXPECT_EQ(crHandPoint, chart->Cursor());
  SendMessageA(chart->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(crDefault, chart->Cursor());
}

TEST_F(PlotChartTest, PieSlicesCanBeFoundAndShowTheirColours) {
  TPlotChart* chart = PieChart();
  auto shot = Render(chart);
  const TPieGeometry& g = pie->Geometry();
  ASSERT_FALSE(g.Empty());
  EXPECT_LT(g.RadiusY, g.RadiusX);  // tilted
  // A point in the middle of each slice's arc, half way out.
  for (int i = 0; i < pie->Count(); ++i) {
    const double mid = (g.StartAngle[i] + g.SweepAngle[i] / 2) * 3.14159265358979 / 180;
    const int x = static_cast<int>(g.CentreX + g.RadiusX * 0.6 * std::cos(mid));
    const int y = static_cast<int>(g.CentreY - g.RadiusY * 0.6 * std::sin(mid));
    EXPECT_EQ(i, pie->Clicked(x, y)) << i;
    EXPECT_EQ(pie->ValueColor(i) & 0xFFFFFF, PixelAt(shot.get(), x, y)) << i;
  }
  // The legend stands right of the pie and shows the slices' colours.
  int found = 0;
  for (int x = static_cast<int>(g.CentreX + g.RadiusX) + 2; x < chart->Width(); ++x)
    for (int y = 0; y < chart->Height(); y += 2)
      if (PixelAt(shot.get(), x, y) == (pie->ValueColor(1) & 0xFFFFFF)) ++found;
  EXPECT_GT(found, 10);
  // The mouse over a slice: the handler learns where, the series which slice.
  int hovered = -2;
  chart->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { hovered = pie->Clicked(x, y); };
  SendMessageA(chart->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<int>(g.CentreX), static_cast<int>(g.CentreY) - 5));
  EXPECT_EQ(0, hovered);  // the first slice starts at twelve o'clock and runs left
  EXPECT_EQ(crHandPoint, chart->Cursor());
  SendMessageA(chart->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(-1, hovered);
  // Turning moves the slices.
  pie->SetStartAngle(pie->StartAngle() + 90);
  Render(chart);
  EXPECT_DOUBLE_EQ(180, pie->Geometry().StartAngle[0]);
}

TEST_F(PlotChartTest, EveryPieSliceKeepsItsLegendLineWhenTheyAreMany) {
  // Twenty programs, as many as the detail page often shows, each in a colour of its own:
  // every colour shows in the legend right of the pie.
  TPlotChart* chart = PieChart();
  pie->Clear();
  auto colour = [](int i) { return static_cast<TColor>((20 + 10 * i) | (60 << 8) | ((200 - 5 * i) << 16)); };
  for (int i = 0; i < 20; ++i) pie->Add(20 - i, "Program number " + std::to_string(i + 1), colour(i));
  auto shot = Render(chart);
  const TPieGeometry& g = pie->Geometry();
  ASSERT_FALSE(g.Empty());
  for (int i = 0; i < 20; ++i) {
    int n = 0;
    for (int y = 0; y < chart->Height(); ++y)
      for (int x = static_cast<int>(g.CentreX + g.RadiusX) + 2; x < chart->Width(); ++x)
        n += PixelAt(shot.get(), x, y) == colour(i);
    EXPECT_GT(n, 10) << "the legend line of program " << i + 1;
  }
}

TEST_F(PlotChartTest, BitmapExportHasTheChartSizeAndPicture) {
  TPlotChart* chart = DayChart();
  chart->SetColor(clWhite);
  chart->SetBevelInner(bvNone);
  chart->SetBevelOuter(bvNone);
  std::unique_ptr<TBitmap> bitmap = chart->CreateBitmap();
  ASSERT_EQ(chart->Width(), bitmap->Width());
  ASSERT_EQ(chart->Height(), bitmap->Height());
  EXPECT_EQ(clWhite, PixelAt(bitmap.get(), 0, 0));
  auto shot = Render(chart);
  int purple = 0, differ = 0;
  for (int y = 0; y < bitmap->Height(); y += 3)
    for (int x = 0; x < bitmap->Width(); x += 3) {
      if (PixelAt(bitmap.get(), x, y) == kPurple) ++purple;
      if (PixelAt(bitmap.get(), x, y) != PixelAt(shot.get(), x, y)) ++differ;
    }
  EXPECT_GT(purple, 100);
  EXPECT_EQ(0, differ);  // the export draws exactly what the window shows
}

TEST_F(PlotChartTest, EmptyAndOddChartsDrawWithoutFault) {
  TPlotChart* chart = DayChart();
  series1->Clear();
  series2->Clear();
  Render(chart);
  EXPECT_TRUE(series1->BarBounds().empty());
  chart->SetBounds(0, 0, 3, 3);  // smaller than its margins
  Render(chart);
  series1->Add(-1.0 / 24, "neg");
  series1->Add(1e9, "huge");
  chart->SetBounds(0, 0, 300, 200);
  Render(chart);
  TPlotChart* pieChart = PieChart();
  pie->Clear();
  pie->Add(0, "zero");
  Render(pieChart);
  EXPECT_EQ(-1, pie->Clicked(pieChart->Width() / 2, pieChart->Height() / 2));
}

TEST_F(PlotChartTest, SeriesAndChartMayBeFreedInEitherOrder) {
  TPlotChart* chart = DayChart();
  delete series2;
  EXPECT_EQ(1, chart->SeriesCount());
  delete chart;
  EXPECT_EQ(nullptr, series1->ParentChart());
  series1->Add(1);  // no chart to tell: nothing happens
}

// Shows both charts on a form; with HL_SHOT_PAUSE_MS set it stays up that long for a look.
TEST_F(PlotChartTest, ShownOnAForm) {
  DayChart();
  PieChart();
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  real_input::HoldForLooking("HL_SHOT_PAUSE_MS");
}

// ---- Zooming and panning with the mouse -----------------------------------------------------

namespace {

class ChartZoomTest : public PlotChartTest {
protected:
  // The day chart of the statistics window (animated zoom in 18 steps, panning on), shown.
  CountingChart* Shown() {
    auto* chart = static_cast<CountingChart*>(DayChart());
    chart->SetAnimatedZoom(true);
    chart->SetAnimatedZoomSteps(18);
    chart->OnClickSeries = [this](TObject*, TPlotSeries* s, int index, TMouseButton, TShiftState, int, int) {
      clicks.push_back({s, index});
    };
    form->Show();
    SetForegroundWindow(form->Handle());
    EXPECT_TRUE(PumpUntil([chart] { return chart->PlotArea().Width() > 0; }));
    return chart;
  }
  static int Width(const TPlotRect& r) { return r.Right - r.Left; }

  std::vector<std::pair<TPlotSeries*, int>> clicks;
};

}  // namespace

TEST_F(ChartZoomTest, ADragDownRightZoomsInStepsAndADragUpLeftGoesBackBarsStayPressable) {
  CountingChart* chart = Shown();
  const TPlotRect plot = chart->PlotArea();
  const std::vector<TPlotRect> whole = series1->BarBounds();
  const int slot = whole[1].Left - whole[0].Left;

  // The left half of the plot, all of its height: five slots become two and a half.
  chart->paints = 0;
  Drag(chart->Handle(), POINT{plot.Left + 2, plot.Top + 2}, POINT{plot.Left + plot.Width() / 2, plot.Bottom - 1});
  EXPECT_FALSE(chart->View().Whole());
  EXPECT_NEAR(chart->View().Right, 0.5, 0.02);
  EXPECT_GE(chart->paints, 18) << "the zoom is drawn in its 18 steps";
  const std::vector<TPlotRect> zoomed = series1->BarBounds();
  EXPECT_NEAR(zoomed[1].Left - zoomed[0].Left, 2 * slot, 3);
  EXPECT_GT(Width(zoomed[1]), Width(whole[1]) * 3 / 2);
  EXPECT_EQ(Width(zoomed[4]), 0) << "a bar out of view cannot be pressed";
  EXPECT_TRUE(window_test::Screenshot("chart-zoomed.png"));

  // A press on a bar in the zoomed plot tells that bar.
  const POINT bar = Centre(zoomed[2]);
  Drag(chart->Handle(), bar, bar);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].first, series1);
  EXPECT_EQ(clicks[0].second, 2);
  EXPECT_NEAR(chart->View().Right, 0.5, 0.02) << "a press is not a zoom";

  // A rectangle dragged up and left undoes the zoom, again in steps.
  chart->paints = 0;
  Drag(chart->Handle(), POINT{plot.Right - 3, plot.Top + 3}, POINT{plot.Left + 40, plot.Top + 1});
  EXPECT_TRUE(chart->View().Whole());
  EXPECT_GE(chart->paints, 18);
  EXPECT_EQ(series1->BarBounds(), whole);
}

TEST_F(ChartZoomTest, TheRightButtonPansAZoomedPlotWithTheMouseButNotPastItsEnds) {
  CountingChart* chart = Shown();
  const TPlotRect plot = chart->PlotArea();
  const std::vector<TPlotRect> whole = series1->BarBounds();
  // The whole plot cannot move.
  Drag(chart->Handle(), POINT{plot.Left + 10, plot.Top + 5}, POINT{plot.Left + 60, plot.Top + 5}, true);
  EXPECT_TRUE(chart->View().Whole());
  EXPECT_EQ(series1->BarBounds(), whole);

  chart->ZoomRect(TPlotRect{plot.Left, plot.Top, plot.Left + plot.Width() / 2, plot.Bottom});
  const std::vector<TPlotRect> zoomed = series1->BarBounds();
  // Dragged 40 pixels to the left: the bars follow the mouse.
  Drag(chart->Handle(), POINT{plot.Left + 100, plot.Top + 5}, POINT{plot.Left + 60, plot.Top + 5}, true);
  EXPECT_GT(chart->View().Left, 0.0);
  EXPECT_TRUE(window_test::Screenshot("chart-panned.png"));
  EXPECT_NEAR(series1->BarBounds()[2].Left, zoomed[2].Left - 40, 2);
  EXPECT_TRUE(clicks.empty()) << "a right drag from an empty spot presses nothing";
  // Far to the right: the plot stops at its left end.
  Drag(chart->Handle(), POINT{plot.Left + 10, plot.Top + 5}, POINT{plot.Right - 5, plot.Top + 5}, true);
  EXPECT_DOUBLE_EQ(chart->View().Left, 0.0);
  EXPECT_EQ(series1->BarBounds()[0].Left, zoomed[0].Left);
}

TEST_F(ChartZoomTest, AChartWithoutZoomAndPanningOnlyReportsPresses) {
  CountingChart* chart = Shown();
  chart->SetAllowZoom(false);
  chart->SetAllowPanning(false);
  const TPlotRect plot = chart->PlotArea();
  const std::vector<TPlotRect> whole = series1->BarBounds();
  Drag(chart->Handle(), POINT{plot.Left + 2, plot.Top + 2}, POINT{plot.Left + plot.Width() / 2, plot.Bottom - 1});
  Drag(chart->Handle(), POINT{plot.Left + 10, plot.Top + 5}, POINT{plot.Left + 60, plot.Top + 5}, true);
  EXPECT_TRUE(chart->View().Whole());
  EXPECT_EQ(series1->BarBounds(), whole);
  const POINT bar = Centre(whole[3]);
  Drag(chart->Handle(), bar, bar);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].second, 3);
}

TEST_F(ChartZoomTest, EachSeriesStaysInsideThePlotFrameMovedByItsPlaceWholeZoomedAndPanned) {
  CountingChart* chart = Shown();
  chart->SetAnimatedZoom(false);
  const TPlotRect plot = chart->PlotArea();
  // The series behind is drawn this far right and up of the one in front.
  const int depth = series1->BarBounds()[0].Left - series2->BarBounds()[0].Left;
  ASSERT_GT(depth, 0);
  // Pixels of a series' colours (its bars' fronts and 3D sides) outside its frame.
  auto strays = [&](TBitmap* shot, TPlotBarSeries* series, int shift) {
    const TColor front = ColorToRGB(series->SeriesColor()) & 0xFFFFFF;
    const TColor side = DarkerColor(front);
    int n = 0;
    for (int y = 0; y < shot->Height(); ++y)
      for (int x = 0; x < shot->Width(); ++x) {
        const bool inside = x >= plot.Left + shift && x <= plot.Right + shift && y >= plot.Top - shift &&
                            y <= plot.Bottom - shift;
        const TColor c = PixelAt(shot, x, y);
        if (!inside && (c == front || c == side)) ++n;
      }
    return n;
  };
  auto expectInside = [&](const char* view) {
    auto shot = Render(chart);
    EXPECT_EQ(0, strays(shot.get(), series1, depth)) << view << ": the series behind";
    EXPECT_EQ(0, strays(shot.get(), series2, 0)) << view << ": the series in front";
  };
  expectInside("whole");
  // The lower left quarter: the third bar is cut at the top and at the right.
  chart->ZoomRect(TPlotRect{plot.Left, plot.Top + plot.Height() / 2, plot.Left + plot.Width() / 2, plot.Bottom});
  ASSERT_FALSE(chart->View().Whole());
  expectInside("zoomed");
  Drag(chart->Handle(), POINT{plot.Left + 100, plot.Top + 5}, POINT{plot.Left + 60, plot.Top + 5}, true);
  ASSERT_GT(chart->View().Left, 0.0);
  expectInside("panned");
}
