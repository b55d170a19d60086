#pragma once
// The arithmetic of the chart control, kept apart from drawing so it can be checked without
// a window: value axes with round steps (plain numbers and time spans), the slots and
// rectangles of bars, which category labels fit side by side, the angles and outlines of
// pie slices, the slice under a point, the percentage texts of the legend and the colours
// given to points that ask for an automatic one.

#include <functional>
#include <string>
#include <vector>

#include "platform/wcl/colors.h"

struct TPlotRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool operator==(const TPlotRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

struct TPlotPoint {
  int X = 0;
  int Y = 0;
};

// A value axis from Min to Max with a tick every Step (Min is a multiple of Step).
struct TAxisScale {
  double Min = 0;
  double Max = 1;
  double Step = 1;
  std::vector<double> Ticks() const;
  // The pixel row of value between bottom (Min) and top (Max); values outside are clamped.
  int ToPixel(double value, int top, int bottom) const;
};

// An axis from 0 (or the smallest value when it is negative) to the largest value, on a
// step of 1, 2 or 5 times a power of ten, with at most maxTicks intervals. A range without
// extent gets 0..1.
TAxisScale NiceAxis(double minValue, double maxValue, int maxTicks);
// The same for time spans in days, on steps that read well as clock times (1, 2, 5, 10,
// 15, 30 minutes, 1, 2, 3, 4, 6, 12 hours, then whole days). A range that is all zero
// shows 0..1 hour.
TAxisScale NiceTimeAxis(double maxDays, int maxTicks);
// A time span in days as hours and minutes ("hh:nn", hours beyond 24 for spans over a day),
// with the process time separator.
std::string TimeAxisText(double days);
// A number as an axis label: no decimals beyond what step needs.
std::string NumberAxisText(double value, double step);

// The part of the whole plot on show after zooming and panning, as fractions of the whole
// plot's width and height (0..1 each way; the whole plot is 0, 0, 1, 1).
struct TPlotView {
  double Left = 0;
  double Top = 0;
  double Right = 1;
  double Bottom = 1;
  bool Whole() const { return Left == 0 && Top == 0 && Right == 1 && Bottom == 1; }
};
// Where the whole plot lies, in pixels, when the view of it fills plot.
TPlotRect ViewedPlot(const TPlotRect& plot, const TPlotView& view);
// The view that shows the part of the plot under the pixel rectangle zoom (of plot shown with
// view). The rectangle is cut to the plot; one with no extent leaves the view as it is.
TPlotView ZoomedView(const TPlotRect& plot, const TPlotView& view, const TPlotRect& zoom);
// The view moved so that the drawing follows the mouse by dx, dy pixels, kept inside the
// whole plot.
TPlotView PannedView(const TPlotRect& plot, const TPlotView& view, int dx, int dy);
// Step step of steps on the way from one view to another (step = steps gives to).
TPlotView ViewStep(const TPlotView& from, const TPlotView& to, int step, int steps);

// The rectangles of one bar series among seriesCount series drawn in the same slots one
// behind the other (the first at the back, shifted right and up by depth per place).
// values[i] gives bar i; the plot area holds pointCount slots side by side.
std::vector<TPlotRect> BarRects(const TPlotRect& plot, int pointCount, const std::vector<double>& values,
                                const TAxisScale& scale, int seriesIndex, int seriesCount, int depth);
// The x centre of slot i.
int SlotCentre(const TPlotRect& plot, int pointCount, int index);
// The shift between series drawn one behind the other, for pointCount slots in plot.
int SeriesDepth(const TPlotRect& plot, int pointCount, int seriesCount);
// Which labels, centred at centres[i] with widths[i], can be shown without overlapping their
// shown neighbours (gap pixels apart at least), taken from the left.
std::vector<bool> FittingLabels(const std::vector<int>& centres, const std::vector<int>& widths, int gap);

// A pie: the ellipse of its top face and each slice's start and sweep in degrees,
// counter-clockwise from three o'clock.
struct TPieGeometry {
  double CentreX = 0;
  double CentreY = 0;
  double RadiusX = 0;
  double RadiusY = 0;
  int Depth = 0;  // thickness of the tilted pie's rim in pixels, 0 when flat
  std::vector<double> StartAngle;
  std::vector<double> SweepAngle;
  bool Empty() const { return RadiusX <= 0 || RadiusY <= 0 || StartAngle.empty(); }
};

// Lays out slices of values (negative ones count as 0) in area from startAngle. A custom
// radius above 0 fixes that radius; otherwise the pie fills the area. A tilted pie is an
// ellipse (the vertical radius shrunk by the sine of the elevation) with a rim.
TPieGeometry PieLayout(const TPlotRect& area, const std::vector<double>& values, double startAngle, int customRadiusX,
                       int customRadiusY, bool tilted, double elevation);
// The slice whose part of the top face holds (x, y), or -1.
int PieHitTest(const TPieGeometry& pie, int x, int y);
// The outline of slice index (centre, arc points every few degrees), moved down by dy.
std::vector<TPlotPoint> SlicePolygon(const TPieGeometry& pie, int index, int dy = 0);
// The point on the ellipse at angle degrees.
TPlotPoint PiePoint(const TPieGeometry& pie, double angle, int dy = 0);

// Part of value in the sum of the non-negative values, in percent (0 for a zero sum).
double PercentOf(const std::vector<double>& values, int index);
// "12.34 %" with the process decimal separator.
std::string PercentText(double percent);

// The lines of a legend and the font height they are written in. Every entry keeps a line:
// when they do not all fit, the rows shrink to a smaller font; when even the smallest does
// not hold them, the entries that find no room are summed up in one last line.
struct TLegendLine {
  int Index = -1;       // the entry shown, or -1 for the line summing up the rest
  std::string Label;
  std::string Percent;  // empty without percentages
};
struct TLegendLayout {
  int FontHeight = 0;  // character height in pixels
  int RowHeight = 0;
  std::vector<TLegendLine> Lines;  // empty: not even one row fits
};
// Lays out a line per label in height pixels, starting at fontHeight and shrinking down to
// two thirds of it (not below 8 pixels). rowHeight gives the row height for a font height.
// With values, each line gets the entry's percentage of their sum (the summing line that of
// its entries). The summing line reads "otherText (n)".
TLegendLayout LayoutLegend(const std::vector<std::string>& labels, const std::vector<double>& values, int height,
                           int fontHeight, const std::function<int(int fontHeight)>& rowHeight,
                           const std::string& otherText);

// The colour of the index-th point that asked for an automatic colour.
TColor PaletteColor(int index);
// A darker shade of colour, for the sides of tilted pies and 3D bars.
TColor DarkerColor(TColor color);
