#include "platform/chart/plot_series.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {

const EnumInfo MultiBarEnum{"TMultiBar", {"mbNone", "mbSide"}};

}  // namespace

const ClassInfo* TPlotSeries::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPlotSeries>("TPlotSeries", TComponent::StaticClassInfo())
                                  .Int("SeriesColor", &TPlotSeries::SeriesColor, &TPlotSeries::SetSeriesColor)
                                  .Bool("MarksVisible", &TPlotSeries::MarksVisible, &TPlotSeries::SetMarksVisible)
                                  .Bool("PenVisible", &TPlotSeries::PenVisible, &TPlotSeries::SetPenVisible)
                                  .Build();
  return &ci;
}

const ClassInfo* TPlotBarSeries::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TPlotBarSeries>("TPlotBarSeries", TPlotSeries::StaticClassInfo())
          .Enum("MultiBar", &TPlotBarSeries::MultiBar, &TPlotBarSeries::SetMultiBar, &MultiBarEnum)
          .Bool("YValuesDateTime", &TPlotBarSeries::YValuesDateTime, &TPlotBarSeries::SetYValuesDateTime)
          .Build();
  return &ci;
}

const ClassInfo* TPlotPieSeries::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TPlotPieSeries>("TPlotPieSeries", TPlotSeries::StaticClassInfo())
          .Int("StartAngle", &TPlotPieSeries::StartAngle, &TPlotPieSeries::SetStartAngle)
          .Int("CustomXRadius", &TPlotPieSeries::CustomXRadius, &TPlotPieSeries::SetCustomXRadius)
          .Int("CustomYRadius", &TPlotPieSeries::CustomYRadius, &TPlotPieSeries::SetCustomYRadius)
          .Str("OtherSliceText", &TPlotPieSeries::OtherSliceText, &TPlotPieSeries::SetOtherSliceText)
          .Build();
  return &ci;
}

TPlotSeries::TPlotSeries(TComponent* owner) : TComponent(owner) {}

TPlotSeries::~TPlotSeries() { SetParentChart(nullptr); }

void TPlotSeries::SetParentChart(TPlotSeriesHost* chart) {
  if (chart == chart_) return;
  TPlotSeriesHost* old = chart_;
  chart_ = nullptr;
  if (old) old->SeriesRemoved(this);
  chart_ = chart;
  if (chart_) chart_->SeriesAdded(this);
}

void TPlotSeries::Changed() {
  if (updating_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  if (chart_) chart_->SeriesChanged(this);
}

void TPlotSeries::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0 || !changedWhileUpdating_) return;
  changedWhileUpdating_ = false;
  Changed();
}

void TPlotSeries::Clear() {
  values_.clear();
  labels_.clear();
  colors_.clear();
  Changed();
}

int TPlotSeries::Add(double value, const std::string& label, TColor color) {
  values_.push_back(value);
  labels_.push_back(label);
  colors_.push_back(color);
  Changed();
  return Count() - 1;
}

static void CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

double TPlotSeries::Value(int index) const {
  CheckIndex(index, Count());
  return values_[index];
}

const std::string& TPlotSeries::PointLabel(int index) const {
  CheckIndex(index, Count());
  return labels_[index];
}

TColor TPlotSeries::ValueColor(int index) const {
  CheckIndex(index, Count());
  return colors_[index] == clPlotAuto ? AutoColor(index) : colors_[index];
}

void TPlotSeries::SetSeriesColor(TColor value) {
  color_ = value;
  Changed();
}

void TPlotSeries::SetMarksVisible(bool value) {
  marksVisible_ = value;
  Changed();
}

void TPlotSeries::SetPenVisible(bool value) {
  penVisible_ = value;
  Changed();
}

void TPlotBarSeries::SetMultiBar(TMultiBar value) {
  multiBar_ = value;
  Changed();
}

void TPlotBarSeries::SetYValuesDateTime(bool value) {
  dateTime_ = value;
  Changed();
}

int TPlotBarSeries::Clicked(int x, int y) const {
  // Later bars are drawn over earlier ones only within their own slot, so the first hit is
  // the one seen.
  for (size_t i = 0; i < bounds_.size(); ++i) {
    TPlotRect r = bounds_[i];
    if (r.Bottom - r.Top < 3) r.Top = r.Bottom - 3;  // a zero bar can still be hit at its base
    if (x >= r.Left && x < r.Right && y >= r.Top && y <= r.Bottom) return static_cast<int>(i);
  }
  return -1;
}

void TPlotPieSeries::SetStartAngle(int value) {
  startAngle_ = ((value % 360) + 360) % 360;
  Changed();
}

void TPlotPieSeries::SetCustomXRadius(int value) {
  customXRadius_ = value < 0 ? 0 : value;
  Changed();
}

void TPlotPieSeries::SetCustomYRadius(int value) {
  customYRadius_ = value < 0 ? 0 : value;
  Changed();
}
