#pragma once
// TPlotChart: a windowed chart that draws its bar series (category slots with a value axis)
// or its pie series (with an optional legend of values and percentages) on a canvas. The
// same drawing serves the window, a bitmap of the chart (CreateBitmap, for printing) and any
// other canvas (Draw). A press on a bar or slice runs OnClickSeries with the point's index;
// the mouse cursor over a point is the series' cursor.
//
// The arithmetic (axis steps, bar rectangles, slice angles, hit tests) is in
// platform/chart/chart_layout.h; the points are in platform/chart/plot_series.h.

#include "platform/wcl/win/control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/chart/plot_series.h"
#include "platform/wcl/win/graphics.h"
#include "platform/wcl/win/std_controls.h"

class TBitmap;

// A text of the chart (title, foot) that can be hidden.
class TPlotText : public TPersistent {
  HL_REFLECTABLE
public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value) { text_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }

private:
  std::string text_;
  bool visible_ = true;
};

// One of the four axes: shown or not, and the title beside it.
class TPlotAxis : public TPersistent {
  HL_REFLECTABLE
public:
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }

private:
  bool visible_ = true;
  std::string title_;
};

// A wall behind or beside the plot area.
class TPlotWall : public TPersistent {
  HL_REFLECTABLE
public:
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }

private:
  TColor color_ = clSilver;
  bool transparent_ = false;
};

// What the legend lists: the series, or the points of the first series with points.
enum TLegendStyle { lsSeries, lsValues };
// How a point's row reads: its label alone, or its label with its share right-aligned.
enum TLegendTextStyle { ltsPlain, ltsRightPercent };

class TPlotLegend : public TPersistent {
  HL_REFLECTABLE
public:
  TPlotLegend();
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  TLegendStyle LegendStyle() const { return style_; }
  void SetLegendStyle(TLegendStyle value) { style_ = value; }
  TLegendTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TLegendTextStyle value) { textStyle_ = value; }
  // Pixels of the shadow below and right of the legend box.
  int ShadowSize() const { return shadowSize_; }
  void SetShadowSize(int value) { shadowSize_ = value < 0 ? 0 : value; }
  TFont* Font() const { return font_.get(); }

private:
  bool visible_ = true;
  TLegendStyle style_ = lsSeries;
  TLegendTextStyle textStyle_ = ltsPlain;
  int shadowSize_ = 3;
  std::unique_ptr<TFont> font_;
};

// The tilted look: a tilted pie is an ellipse seen from Elevation degrees with a rim;
// Orthogonal draws it flat.
class TPlotView3D : public TPersistent {
  HL_REFLECTABLE
public:
  int Elevation() const { return elevation_; }
  void SetElevation(int value) { elevation_ = value; }
  int Rotation() const { return rotation_; }
  void SetRotation(int value) { rotation_ = value; }
  bool Orthogonal() const { return orthogonal_; }
  void SetOrthogonal(bool value) { orthogonal_ = value; }

private:
  int elevation_ = 345;
  int rotation_ = 345;
  bool orthogonal_ = true;
};

using TPlotClickSeriesEvent = std::function<void(TObject* Sender, TPlotSeries* Series, int ValueIndex,
                                                 TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TPlotChart : public TCustomControl, public TPlotSeriesHost {
  HL_REFLECTABLE
public:
  explicit TPlotChart(TComponent* owner);
  ~TPlotChart() override;

  // The series in the order they were given the chart (drawn in that order).
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TPlotSeries* Series(int index) const;

  TPlotText* Title() const { return title_.get(); }
  TPlotText* Foot() const { return foot_.get(); }
  TPlotLegend* Legend() const { return legend_.get(); }
  TPlotAxis* LeftAxis() const { return leftAxis_.get(); }
  TPlotAxis* RightAxis() const { return rightAxis_.get(); }
  TPlotAxis* TopAxis() const { return topAxis_.get(); }
  TPlotAxis* BottomAxis() const { return bottomAxis_.get(); }
  // All axes at once (a pie has none either way).
  bool AxisVisible() const { return axisVisible_; }
  void SetAxisVisible(bool value);
  TPlotWall* LeftWall() const { return leftWall_.get(); }
  TPlotWall* BackWall() const { return backWall_.get(); }
  // The walls at all.
  bool View3DWalls() const { return walls_; }
  void SetView3DWalls(bool value);
  // The frame round the plot area.
  bool FrameVisible() const { return frameVisible_; }
  void SetFrameVisible(bool value);
  bool View3D() const { return view3D_; }
  void SetView3D(bool value);
  TPlotView3D* View3DOptions() const { return view3DOptions_.get(); }

  // Space left free inside the bevels, in percent of the width or height.
  int MarginLeft() const { return margins_[0]; }
  void SetMarginLeft(int value) { SetMargin(0, value); }
  int MarginTop() const { return margins_[1]; }
  void SetMarginTop(int value) { SetMargin(1, value); }
  int MarginRight() const { return margins_[2]; }
  void SetMarginRight(int value) { SetMargin(2, value); }
  int MarginBottom() const { return margins_[3]; }
  void SetMarginBottom(int value) { SetMargin(3, value); }

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);

  // Zooming and panning of the bar plot with the mouse. Where zooming is allowed, a
  // rectangle dragged with the left button towards the bottom right shows that part of the
  // plot; one dragged towards the top left goes back to the whole plot; animated zooms get
  // there in AnimatedZoomSteps drawn steps. Where panning is allowed, dragging with the right
  // button moves the plot with the mouse. A press on a bar still reports the bar.
  bool AllowZoom() const { return allowZoom_; }
  void SetAllowZoom(bool value) { allowZoom_ = value; }
  bool AllowPanning() const { return allowPanning_; }
  void SetAllowPanning(bool value) { allowPanning_ = value; }
  bool AnimatedZoom() const { return animatedZoom_; }
  void SetAnimatedZoom(bool value) { animatedZoom_ = value; }
  int AnimatedZoomSteps() const { return animatedZoomSteps_; }
  void SetAnimatedZoomSteps(int value) { animatedZoomSteps_ = value; }

  // The part of the bar plot on show (the whole plot when not zoomed).
  const TPlotView& View() const { return view_; }
  // Shows the part of the plot under a rectangle of the chart's client area.
  void ZoomRect(const TPlotRect& rect);
  // Shows the whole plot again.
  void UndoZoom();
  // The bar plot's area in the client area when it was last drawn.
  const TPlotRect& PlotArea() const { return plotArea_; }

  // Draws the whole chart into rect of canvas.
  void Draw(TCanvas* canvas, const RECT& rect);
  // A new bitmap of the chart's size with the chart drawn into it.
  std::unique_ptr<TBitmap> CreateBitmap();

  // A press on a point of a series (the topmost point under the mouse).
  TPlotClickSeriesEvent OnClickSeries;

  void SeriesAdded(TPlotSeries* series) override;
  void SeriesRemoved(TPlotSeries* series) override;
  void SeriesChanged(TPlotSeries* series) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void ColorChanged() override;

private:
  void SetMargin(int side, int value);
  // Draws into rect; remember keeps the geometry of points for hit tests.
  void DrawChart(TCanvas* canvas, const RECT& rect, bool remember);
  void DrawBars(TCanvas* canvas, RECT area, bool remember);
  void DrawPie(TCanvas* canvas, TPlotPieSeries* pie, RECT area, bool remember);
  // Draws the legend at the right of area and answers the space it took.
  int DrawLegend(TCanvas* canvas, const RECT& area);
  // The series and point under (x, y), topmost first.
  bool HitTest(int x, int y, TPlotSeries*& series, int& index) const;
  // Goes to view, through the animation's steps when the zoom is animated.
  void AnimateTo(const TPlotView& view);
  // Draws or takes away (it is drawn inverted) the frame of the zoom being dragged.
  void InvertDragFrame();

  std::vector<TPlotSeries*> series_;
  std::unique_ptr<TPlotText> title_;
  std::unique_ptr<TPlotText> foot_;
  std::unique_ptr<TPlotLegend> legend_;
  std::unique_ptr<TPlotAxis> leftAxis_, rightAxis_, topAxis_, bottomAxis_;
  std::unique_ptr<TPlotWall> leftWall_, backWall_;
  std::unique_ptr<TPlotView3D> view3DOptions_;
  bool axisVisible_ = true;
  bool walls_ = true;
  bool frameVisible_ = true;
  bool view3D_ = false;
  int margins_[4] = {3, 4, 3, 4};
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  bool allowZoom_ = true;
  bool allowPanning_ = true;
  bool animatedZoom_ = false;
  int animatedZoomSteps_ = 8;
  TPlotView view_;
  TPlotRect plotArea_;
  enum class TDrag { None, Zoom, Pan } drag_ = TDrag::None;
  POINT dragStart_{};
  POINT dragNow_{};
  bool frameShown_ = false;
};
