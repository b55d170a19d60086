#pragma once
// The data series of the chart control: TPlotSeries holds the points (value, label, colour)
// and tells its chart when they change; TPlotBarSeries and TPlotPieSeries add what bars and
// pies need. A series keeps the geometry it was last drawn with, so a point under the mouse
// can be found (Clicked) without a window. The chart (platform/chart/win/plot_chart.h) owns
// the drawing; series are portable.

#include <string>
#include <vector>

#include "platform/chart/chart_layout.h"
#include "platform/rtl/component.h"

class TPlotSeries;

// What a series knows of the chart it is shown on.
class TPlotSeriesHost {
public:
  virtual ~TPlotSeriesHost() = default;
  virtual void SeriesAdded(TPlotSeries* series) = 0;
  virtual void SeriesRemoved(TPlotSeries* series) = 0;
  // The points or the look of series changed: draw again.
  virtual void SeriesChanged(TPlotSeries* series) = 0;
};

// The colour of a point that takes its series' colour (bars) or the next palette colour
// (pies).
constexpr TColor clPlotAuto = clDefault;

class TPlotSeries : public TComponent {
  HL_REFLECTABLE
public:
  explicit TPlotSeries(TComponent* owner);
  ~TPlotSeries() override;

  // The chart the series is drawn on (nullptr: none). The series leaves its former chart.
  TPlotSeriesHost* ParentChart() const { return chart_; }
  void SetParentChart(TPlotSeriesHost* chart);

  void Clear();
  // Between BeginUpdate and EndUpdate (nested) the chart is not told of each change; the
  // last EndUpdate tells it once if anything changed, so a long fill draws once.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  // Appends a point; answers its index. clPlotAuto gives the automatic colour.
  int Add(double value, const std::string& label = "", TColor color = clPlotAuto);
  int Count() const { return static_cast<int>(values_.size()); }
  // Point i; out of range raises EListError.
  double Value(int index) const;
  const std::string& PointLabel(int index) const;
  // The colour point i is drawn in (the automatic one resolved).
  TColor ValueColor(int index) const;
  const std::vector<double>& Values() const { return values_; }

  TColor SeriesColor() const { return color_; }
  void SetSeriesColor(TColor value);
  // Value texts beside the points. Kept as set; the chart does not draw them (no chart of
  // the program shows them).
  bool MarksVisible() const { return marksVisible_; }
  void SetMarksVisible(bool value);
  // The outline of bars and slices.
  bool PenVisible() const { return penVisible_; }
  void SetPenVisible(bool value);
  // The mouse cursor over a point (a window cursor number; 0 is the default one).
  int Cursor() const { return cursor_; }
  void SetCursor(int value) { cursor_ = value; }

  // The point drawn at (x, y) of the chart's client area when last drawn, or -1.
  virtual int Clicked(int x, int y) const = 0;

protected:
  virtual TColor AutoColor(int index) const = 0;
  void Changed();

private:
  TPlotSeriesHost* chart_ = nullptr;
  std::vector<double> values_;
  std::vector<std::string> labels_;
  std::vector<TColor> colors_;
  TColor color_ = clRed;
  bool marksVisible_ = true;
  bool penVisible_ = true;
  int cursor_ = 0;
  int updating_ = 0;
  bool changedWhileUpdating_ = false;
};

// How several bar series share the category slots: mbNone draws them in the same slot one
// behind the other; mbSide puts them side by side.
enum TMultiBar { mbNone, mbSide };

class TPlotBarSeries : public TPlotSeries {
  HL_REFLECTABLE
public:
  explicit TPlotBarSeries(TComponent* owner) : TPlotSeries(owner) {}

  TMultiBar MultiBar() const { return multiBar_; }
  void SetMultiBar(TMultiBar value);
  // The values are date-time values (time spans in days): the value axis shows clock times.
  bool YValuesDateTime() const { return dateTime_; }
  void SetYValuesDateTime(bool value);

  // Where each bar was drawn, in the chart's client coordinates (set by the chart).
  const std::vector<TPlotRect>& BarBounds() const { return bounds_; }
  void SetBarBounds(std::vector<TPlotRect> bounds) { bounds_ = std::move(bounds); }
  int Clicked(int x, int y) const override;

protected:
  TColor AutoColor(int) const override { return SeriesColor(); }

private:
  TMultiBar multiBar_ = mbSide;
  bool dateTime_ = false;
  std::vector<TPlotRect> bounds_;
};

class TPlotPieSeries : public TPlotSeries {
  HL_REFLECTABLE
public:
  explicit TPlotPieSeries(TComponent* owner) : TPlotSeries(owner) {}

  // Degrees, counter-clockwise from three o'clock, where the first slice starts; kept in
  // 0..359.
  int StartAngle() const { return startAngle_; }
  void SetStartAngle(int value);
  // Fixed radii in pixels; 0 sizes the pie to the chart.
  int CustomXRadius() const { return customXRadius_; }
  void SetCustomXRadius(int value);
  int CustomYRadius() const { return customYRadius_; }
  void SetCustomYRadius(int value);
  // The label a grouped "other" slice would carry. Slices are never grouped, so the
  // slice indexes always match the points added.
  const std::string& OtherSliceText() const { return otherText_; }
  void SetOtherSliceText(const std::string& value) { otherText_ = value; }
  // Share of slice i in percent.
  double Percent(int index) const { return PercentOf(Values(), index); }

  const TPieGeometry& Geometry() const { return geometry_; }
  void SetGeometry(TPieGeometry geometry) { geometry_ = std::move(geometry); }
  int Clicked(int x, int y) const override { return PieHitTest(geometry_, x, y); }

protected:
  TColor AutoColor(int index) const override { return PaletteColor(index); }

private:
  int startAngle_ = 0;
  int customXRadius_ = 0;
  int customYRadius_ = 0;
  std::string otherText_;
  TPieGeometry geometry_;
};
