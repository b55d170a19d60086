#include "platform/chart/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/rtl/format_settings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Slack for values that land a rounding error beyond a step.
constexpr double kEpsilon = 1e-9;

TAxisScale ScaleOn(double lo, double hi, double step) {
  TAxisScale scale;
  scale.Step = step;
  scale.Min = std::floor(lo / step + kEpsilon) * step;
  scale.Max = std::ceil(hi / step - kEpsilon) * step;
  if (scale.Max <= scale.Min) scale.Max = scale.Min + step;
  return scale;
}

std::string WithDecimalSeparator(std::string text) {
  const char separator = FormatSettings().DecimalSeparator;
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

constexpr TColor Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

}  // namespace

std::vector<double> TAxisScale::Ticks() const {
  std::vector<double> ticks;
  if (Step <= 0) return ticks;
  const int count = static_cast<int>(std::floor((Max - Min) / Step + kEpsilon));
  for (int i = 0; i <= count && i <= 1000; ++i) ticks.push_back(Min + i * Step);
  return ticks;
}

int TAxisScale::ToPixel(double value, int top, int bottom) const {
  if (Max <= Min) return bottom;
  const double clamped = std::min(std::max(value, Min), Max);
  return bottom - static_cast<int>(std::lround((clamped - Min) / (Max - Min) * (bottom - top)));
}

TAxisScale NiceAxis(double minValue, double maxValue, int maxTicks) {
  const double lo = std::min(0.0, minValue);
  const double hi = std::max(0.0, maxValue);
  if (!(hi - lo > 0) || !std::isfinite(hi - lo)) return TAxisScale{};
  const double raw = (hi - lo) / std::max(1, maxTicks);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * magnitude;
  for (double factor : {1.0, 2.0, 5.0})
    if (factor * magnitude >= raw * (1 - kEpsilon)) {
      step = factor * magnitude;
      break;
    }
  return ScaleOn(lo, hi, step);
}

TAxisScale NiceTimeAxis(double maxDays, int maxTicks) {
  static const double kSteps[] = {1.0 / 1440, 2.0 / 1440, 5.0 / 1440, 10.0 / 1440, 15.0 / 1440, 30.0 / 1440,
                                  1.0 / 24,   2.0 / 24,   3.0 / 24,   4.0 / 24,    6.0 / 24,    12.0 / 24};
  const double hi = maxDays > 0 && std::isfinite(maxDays) ? maxDays : 1.0 / 24;
  const int ticks = std::max(1, maxTicks);
  for (double step : kSteps)
    if (std::ceil(hi / step - kEpsilon) <= ticks) return ScaleOn(0, hi, step);
  TAxisScale days = NiceAxis(0, hi, ticks);
  if (days.Step < 1) days = ScaleOn(0, hi, 1);
  return days;
}

std::string TimeAxisText(double days) {
  const long long minutes = std::llround(std::fabs(days) * 1440);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%02lld%c%02lld", days < 0 && minutes > 0 ? "-" : "", minutes / 60,
                FormatSettings().TimeSeparator, minutes % 60);
  return buffer;
}

std::string NumberAxisText(double value, double step) {
  int decimals = 0;
  if (step > 0 && step < 1) decimals = std::min(6, static_cast<int>(std::ceil(-std::log10(step) - kEpsilon)));
  if (std::fabs(value) < step * kEpsilon) value = 0;  // no "-0"
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return WithDecimalSeparator(buffer);
}

int SlotCentre(const TPlotRect& plot, int pointCount, int index) {
  if (pointCount <= 0) return plot.Left;
  const double slot = static_cast<double>(plot.Width()) / pointCount;
  return plot.Left + static_cast<int>(std::lround((index + 0.5) * slot));
}

int SeriesDepth(const TPlotRect& plot, int pointCount, int seriesCount) {
  if (seriesCount <= 1 || pointCount <= 0) return 0;
  const double slot = static_cast<double>(plot.Width()) / pointCount;
  return std::max(1, std::min(8, static_cast<int>(slot * 0.15 / (seriesCount - 1))));
}

std::vector<TPlotRect> BarRects(const TPlotRect& plot, int pointCount, const std::vector<double>& values,
                                const TAxisScale& scale, int seriesIndex, int seriesCount, int depth) {
  std::vector<TPlotRect> rects;
  if (pointCount <= 0) return rects;
  const double slot = static_cast<double>(plot.Width()) / pointCount;
  const int depthTotal = depth * std::max(0, seriesCount - 1);
  const int barWidth = std::max(1, static_cast<int>((slot - depthTotal) * 0.7));
  const int shift = depth * std::max(0, seriesCount - 1 - seriesIndex);
  const int base = scale.ToPixel(std::max(scale.Min, std::min(0.0, scale.Max)), plot.Top, plot.Bottom);
  const int count = std::min<int>(pointCount, static_cast<int>(values.size()));
  for (int i = 0; i < count; ++i) {
    const int slotLeft = plot.Left + static_cast<int>(std::lround(i * slot));
    TPlotRect r;
    r.Left = slotLeft + static_cast<int>((slot - depthTotal - barWidth) / 2) + shift;
    r.Right = r.Left + barWidth;
    const int y = scale.ToPixel(values[i], plot.Top, plot.Bottom);
    r.Top = std::min(y, base) - shift;
    r.Bottom = std::max(y, base) - shift;
    rects.push_back(r);
  }
  return rects;
}

std::vector<bool> FittingLabels(const std::vector<int>& centres, const std::vector<int>& widths, int gap) {
  std::vector<bool> shown(centres.size(), false);
  bool any = false;
  int lastRight = 0;
  for (size_t i = 0; i < centres.size() && i < widths.size(); ++i) {
    const int left = centres[i] - widths[i] / 2;
    if (!any || left >= lastRight + gap) {
      shown[i] = true;
      any = true;
      lastRight = left + widths[i];
    }
  }
  return shown;
}

TPieGeometry PieLayout(const TPlotRect& area, const std::vector<double>& values, double startAngle, int customRadiusX,
                       int customRadiusY, bool tilted, double elevation) {
  TPieGeometry pie;
  double total = 0;
  for (double v : values) total += std::max(0.0, v);
  double angle = startAngle;
  for (double v : values) {
    const double sweep = total > 0 ? std::max(0.0, v) / total * 360 : 0;
    pie.StartAngle.push_back(std::fmod(angle, 360.0));
    pie.SweepAngle.push_back(sweep);
    angle += sweep;
  }
  double ratio = 1;
  if (tilted) ratio = std::max(0.2, std::fabs(std::sin(elevation * kPi / 180)));
  double rx = customRadiusX > 0 ? customRadiusX : 0;
  if (rx <= 0) {
    // Leave a small border; the rim takes part of the height.
    const double w = std::max(0, area.Width() - 4) / 2.0;
    const double h = std::max(0, area.Height() - 4) / 2.0;
    rx = tilted ? std::min(w, h / (ratio + 0.12)) : std::min(w, h);
  }
  pie.RadiusX = std::max(0.0, rx);
  pie.RadiusY = customRadiusY > 0 ? customRadiusY : pie.RadiusX * ratio;
  pie.Depth = tilted ? static_cast<int>(std::lround(pie.RadiusX * 0.12)) : 0;
  pie.CentreX = area.Left + area.Width() / 2.0;
  pie.CentreY = area.Top + (area.Height() - pie.Depth) / 2.0;
  return pie;
}

int PieHitTest(const TPieGeometry& pie, int x, int y) {
  if (pie.Empty()) return -1;
  const double dx = (x - pie.CentreX) / pie.RadiusX;
  const double dy = (y - pie.CentreY) / pie.RadiusY;
  if (dx * dx + dy * dy > 1) return -1;
  double angle = std::atan2(-dy, dx) * 180 / kPi;
  if (angle < 0) angle += 360;
  for (size_t i = 0; i < pie.StartAngle.size(); ++i) {
    if (pie.SweepAngle[i] <= 0) continue;
    double rel = std::fmod(angle - pie.StartAngle[i], 360.0);
    if (rel < 0) rel += 360;
    if (rel < pie.SweepAngle[i] || pie.SweepAngle[i] >= 360) return static_cast<int>(i);
  }
  return -1;
}

TPlotPoint PiePoint(const TPieGeometry& pie, double angle, int dy) {
  const double a = angle * kPi / 180;
  return TPlotPoint{static_cast<int>(std::lround(pie.CentreX + pie.RadiusX * std::cos(a))),
                    static_cast<int>(std::lround(pie.CentreY - pie.RadiusY * std::sin(a))) + dy};
}

std::vector<TPlotPoint> SlicePolygon(const TPieGeometry& pie, int index, int dy) {
  std::vector<TPlotPoint> points;
  if (index < 0 || index >= static_cast<int>(pie.StartAngle.size())) return points;
  const double start = pie.StartAngle[index];
  const double sweep = pie.SweepAngle[index];
  points.push_back(TPlotPoint{static_cast<int>(std::lround(pie.CentreX)),
                              static_cast<int>(std::lround(pie.CentreY)) + dy});
  const int steps = std::max(1, static_cast<int>(std::ceil(sweep / 3)));
  for (int s = 0; s <= steps; ++s) points.push_back(PiePoint(pie, start + sweep * s / steps, dy));
  return points;
}

double PercentOf(const std::vector<double>& values, int index) {
  if (index < 0 || index >= static_cast<int>(values.size())) return 0;
  double total = 0;
  for (double v : values) total += std::max(0.0, v);
  return total > 0 ? std::max(0.0, values[index]) / total * 100 : 0;
}

std::string PercentText(double percent) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f %%", percent);
  return WithDecimalSeparator(buffer);
}

TLegendLayout LayoutLegend(const std::vector<std::string>& labels, const std::vector<double>& values, int height,
                           int fontHeight, const std::function<int(int fontHeight)>& rowHeight,
                           const std::string& otherText) {
  TLegendLayout legend;
  const int entries = static_cast<int>(labels.size());
  if (entries == 0) return legend;
  const int start = std::max(1, fontHeight);
  const int smallest = std::max(std::min(start, 8), start * 2 / 3);
  int rows = 0;
  for (int h = start; h >= smallest; --h) {
    legend.FontHeight = h;
    legend.RowHeight = std::max(1, rowHeight(h));
    rows = std::max(0, height) / legend.RowHeight;
    if (rows >= entries) break;
  }
  if (rows == 0) return legend;
  auto percent = [&](int from, int to) {
    if (values.empty()) return std::string();
    double sum = 0;
    for (int i = from; i < to; ++i) sum += PercentOf(values, i);
    return PercentText(sum);
  };
  const int shown = rows >= entries ? entries : rows - 1;
  for (int i = 0; i < shown; ++i) legend.Lines.push_back(TLegendLine{i, labels[i], percent(i, i + 1)});
  if (shown < entries)
    legend.Lines.push_back(
        TLegendLine{-1, otherText + " (" + std::to_string(entries - shown) + ")", percent(shown, entries)});
  return legend;
}

TColor PaletteColor(int index) {
  static const TColor kPalette[] = {
      Rgb(230, 80, 60),   Rgb(70, 130, 220), Rgb(250, 190, 40), Rgb(90, 180, 90),  Rgb(160, 90, 200), Rgb(40, 190, 190),
      Rgb(240, 120, 170), Rgb(140, 100, 60), Rgb(120, 120, 120), Rgb(200, 220, 60), Rgb(30, 80, 150), Rgb(220, 120, 40),
      Rgb(110, 200, 150), Rgb(180, 40, 80),  Rgb(80, 60, 160),  Rgb(190, 170, 130)};
  constexpr int count = sizeof kPalette / sizeof kPalette[0];
  return kPalette[((index % count) + count) % count];
}

TColor DarkerColor(TColor color) {
  if (IsSystemColor(color)) return color;
  const int r = (color & 0xFF) * 2 / 3;
  const int g = ((color >> 8) & 0xFF) * 2 / 3;
  const int b = ((color >> 16) & 0xFF) * 2 / 3;
  return Rgb(r, g, b);
}

// ---- Zooming and panning ----------------------------------------------------------------------

TPlotRect ViewedPlot(const TPlotRect& plot, const TPlotView& view) {
  const double width = plot.Width() / std::max(1e-9, view.Right - view.Left);
  const double height = plot.Height() / std::max(1e-9, view.Bottom - view.Top);
  const double left = plot.Left - view.Left * width;
  const double top = plot.Top - view.Top * height;
  return TPlotRect{static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
                   static_cast<int>(std::lround(left + width)), static_cast<int>(std::lround(top + height))};
}

TPlotView ZoomedView(const TPlotRect& plot, const TPlotView& view, const TPlotRect& zoom) {
  const int left = std::max(zoom.Left, plot.Left), right = std::min(zoom.Right, plot.Right);
  const int top = std::max(zoom.Top, plot.Top), bottom = std::min(zoom.Bottom, plot.Bottom);
  if (right <= left || bottom <= top || plot.Width() <= 0 || plot.Height() <= 0) return view;
  const double w = view.Right - view.Left, h = view.Bottom - view.Top;
  TPlotView zoomed;
  zoomed.Left = view.Left + w * (left - plot.Left) / plot.Width();
  zoomed.Right = view.Left + w * (right - plot.Left) / plot.Width();
  zoomed.Top = view.Top + h * (top - plot.Top) / plot.Height();
  zoomed.Bottom = view.Top + h * (bottom - plot.Top) / plot.Height();
  return zoomed;
}

TPlotView PannedView(const TPlotRect& plot, const TPlotView& view, int dx, int dy) {
  if (plot.Width() <= 0 || plot.Height() <= 0) return view;
  const double w = view.Right - view.Left, h = view.Bottom - view.Top;
  // The drawing follows the mouse, so the view moves the other way.
  const double left = std::max(0.0, std::min(1.0 - w, view.Left - w * dx / plot.Width()));
  const double top = std::max(0.0, std::min(1.0 - h, view.Top - h * dy / plot.Height()));
  return TPlotView{left, top, left + w, top + h};
}

TPlotView ViewStep(const TPlotView& from, const TPlotView& to, int step, int steps) {
  if (steps <= 1 || step >= steps) return to;
  const double f = static_cast<double>(std::max(0, step)) / steps;
  auto mix = [f](double a, double b) { return a + (b - a) * f; };
  return TPlotView{mix(from.Left, to.Left), mix(from.Top, to.Top), mix(from.Right, to.Right),
                   mix(from.Bottom, to.Bottom)};
}
