#include "platform/chart/win/plot_chart.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"

namespace {

const EnumInfo BevelCutEnum{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const EnumInfo LegendStyleEnum{"TLegendStyle", {"lsSeries", "lsValues"}};
const EnumInfo LegendTextStyleEnum{"TLegendTextStyle", {"ltsPlain", "ltsRightPercent"}};

constexpr int kWallSize = 8;
constexpr int kTickLength = 4;
constexpr int kMaxTicks = 8;

TPlotRect ToPlot(const RECT& r) { return TPlotRect{r.left, r.top, r.right, r.bottom}; }

std::vector<POINT> ToPoints(const std::vector<TPlotPoint>& points) {
  std::vector<POINT> result;
  result.reserve(points.size());
  for (const TPlotPoint& p : points) result.push_back(POINT{p.X, p.Y});
  return result;
}

void SetFill(TCanvas* canvas, TColor color, bool outline) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(outline ? clBlack : color);
}

// Text with a see-through background.
void PlainText(TCanvas* canvas, int x, int y, const std::string& text) {
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(x, y, text);
}

// Text written upwards, centred on (x, cy) vertically, left edge at x.
void UpwardText(TCanvas* canvas, int x, int cy, const std::string& text) {
  const int width = canvas->TextWidth(text);
  LOGFONTA font{};
  GetObjectA(canvas->Font()->Handle(), sizeof font, &font);
  font.lfEscapement = font.lfOrientation = 900;
  UniqueFont upward(CreateFontIndirectA(&font));
  HDC dc = canvas->Handle();
  const int saved = SaveDC(dc);
  {
    ScopedSelectObject select(dc, upward.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutA(dc, x, cy + width / 2, text.data(), static_cast<int>(text.size()));
  }
  RestoreDC(dc, saved);
}

void DrawBevel(HDC dc, RECT& rect, TBevelCut cut, bool outer) {
  if (cut == bvNone) return;
  if (cut != bvSpace) {
    UINT edge = cut == bvRaised ? (outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER)
                                : (outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER);
    DrawEdge(dc, &rect, edge, BF_RECT);
  }
  InflateRect(&rect, -1, -1);
}

}  // namespace

const ClassInfo* TPlotText::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPlotText>("TPlotText", nullptr)
                                  .Str("Text", &TPlotText::Text, &TPlotText::SetText)
                                  .Bool("Visible", &TPlotText::Visible, &TPlotText::SetVisible)
                                  .Build();
  return &ci;
}

const ClassInfo* TPlotAxis::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPlotAxis>("TPlotAxis", nullptr)
                                  .Str("Title", &TPlotAxis::Title, &TPlotAxis::SetTitle)
                                  .Bool("Visible", &TPlotAxis::Visible, &TPlotAxis::SetVisible)
                                  .Build();
  return &ci;
}

const ClassInfo* TPlotWall::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPlotWall>("TPlotWall", nullptr)
                                  .Int("Color", &TPlotWall::Color, &TPlotWall::SetColor)
                                  .Bool("Transparent", &TPlotWall::Transparent, &TPlotWall::SetTransparent)
                                  .Build();
  return &ci;
}

const ClassInfo* TPlotLegend::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TPlotLegend>("TPlotLegend", nullptr)
          .Obj("Font", &TPlotLegend::Font, TFont::StaticClassInfo())
          .Enum("LegendStyle", &TPlotLegend::LegendStyle, &TPlotLegend::SetLegendStyle, &LegendStyleEnum)
          .Int("ShadowSize", &TPlotLegend::ShadowSize, &TPlotLegend::SetShadowSize)
          .Enum("TextStyle", &TPlotLegend::TextStyle, &TPlotLegend::SetTextStyle, &LegendTextStyleEnum)
          .Bool("Visible", &TPlotLegend::Visible, &TPlotLegend::SetVisible)
          .Build();
  return &ci;
}

TPlotLegend::TPlotLegend() : font_(std::make_unique<TFont>()) {}

const ClassInfo* TPlotView3D::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPlotView3D>("TPlotView3D", nullptr)
                                  .Int("Elevation", &TPlotView3D::Elevation, &TPlotView3D::SetElevation)
                                  .Bool("Orthogonal", &TPlotView3D::Orthogonal, &TPlotView3D::SetOrthogonal)
                                  .Int("Rotation", &TPlotView3D::Rotation, &TPlotView3D::SetRotation)
                                  .Build();
  return &ci;
}

const ClassInfo* TPlotChart::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TPlotChart>("TPlotChart", TCustomControl::StaticClassInfo())
          .Bool("AllowPanning", &TPlotChart::AllowPanning, &TPlotChart::SetAllowPanning)
          .Bool("AllowZoom", &TPlotChart::AllowZoom, &TPlotChart::SetAllowZoom)
          .Bool("AnimatedZoom", &TPlotChart::AnimatedZoom, &TPlotChart::SetAnimatedZoom)
          .Int("AnimatedZoomSteps", &TPlotChart::AnimatedZoomSteps, &TPlotChart::SetAnimatedZoomSteps)
          .Bool("AxisVisible", &TPlotChart::AxisVisible, &TPlotChart::SetAxisVisible)
          .Obj("BackWall", &TPlotChart::BackWall, TPlotWall::StaticClassInfo())
          .Enum("BevelInner", &TPlotChart::BevelInner, &TPlotChart::SetBevelInner, &BevelCutEnum)
          .Enum("BevelOuter", &TPlotChart::BevelOuter, &TPlotChart::SetBevelOuter, &BevelCutEnum)
          .Obj("BottomAxis", &TPlotChart::BottomAxis, TPlotAxis::StaticClassInfo())
          .Obj("Foot", &TPlotChart::Foot, TPlotText::StaticClassInfo())
          .Bool("FrameVisible", &TPlotChart::FrameVisible, &TPlotChart::SetFrameVisible)
          .Obj("LeftAxis", &TPlotChart::LeftAxis, TPlotAxis::StaticClassInfo())
          .Obj("LeftWall", &TPlotChart::LeftWall, TPlotWall::StaticClassInfo())
          .Obj("Legend", &TPlotChart::Legend, TPlotLegend::StaticClassInfo())
          .Int("MarginBottom", &TPlotChart::MarginBottom, &TPlotChart::SetMarginBottom)
          .Int("MarginLeft", &TPlotChart::MarginLeft, &TPlotChart::SetMarginLeft)
          .Int("MarginRight", &TPlotChart::MarginRight, &TPlotChart::SetMarginRight)
          .Int("MarginTop", &TPlotChart::MarginTop, &TPlotChart::SetMarginTop)
          .Obj("RightAxis", &TPlotChart::RightAxis, TPlotAxis::StaticClassInfo())
          .Obj("Title", &TPlotChart::Title, TPlotText::StaticClassInfo())
          .Obj("TopAxis", &TPlotChart::TopAxis, TPlotAxis::StaticClassInfo())
          .Bool("View3D", &TPlotChart::View3D, &TPlotChart::SetView3D)
          .Obj("View3DOptions", &TPlotChart::View3DOptions, TPlotView3D::StaticClassInfo())
          .Bool("View3DWalls", &TPlotChart::View3DWalls, &TPlotChart::SetView3DWalls)
          .Build();
  return &ci;
}

TPlotChart::TPlotChart(TComponent* owner)
    : TCustomControl(owner),
      title_(std::make_unique<TPlotText>()),
      foot_(std::make_unique<TPlotText>()),
      legend_(std::make_unique<TPlotLegend>()),
      leftAxis_(std::make_unique<TPlotAxis>()),
      rightAxis_(std::make_unique<TPlotAxis>()),
      topAxis_(std::make_unique<TPlotAxis>()),
      bottomAxis_(std::make_unique<TPlotAxis>()),
      leftWall_(std::make_unique<TPlotWall>()),
      backWall_(std::make_unique<TPlotWall>()),
      view3DOptions_(std::make_unique<TPlotView3D>()) {
  SetBounds(0, 0, 400, 250);
  SetControlStyle(ControlStyle() | csOpaque);
  backWall_->SetColor(clWhite);
}

TPlotChart::~TPlotChart() {
  // The series may outlive the chart (they belong to the form): let them forget it.
  const std::vector<TPlotSeries*> series = series_;
  series_.clear();
  for (TPlotSeries* s : series) s->SetParentChart(nullptr);
}

TPlotSeries* TPlotChart::Series(int index) const {
  if (index < 0 || index >= SeriesCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return series_[index];
}

void TPlotChart::SeriesAdded(TPlotSeries* series) {
  if (std::find(series_.begin(), series_.end(), series) == series_.end()) series_.push_back(series);
  Invalidate();
}

void TPlotChart::SeriesRemoved(TPlotSeries* series) {
  series_.erase(std::remove(series_.begin(), series_.end(), series), series_.end());
  Invalidate();
}

void TPlotChart::SeriesChanged(TPlotSeries*) { Invalidate(); }

void TPlotChart::SetAxisVisible(bool value) {
  axisVisible_ = value;
  Invalidate();
}

void TPlotChart::SetView3DWalls(bool value) {
  walls_ = value;
  Invalidate();
}

void TPlotChart::SetFrameVisible(bool value) {
  frameVisible_ = value;
  Invalidate();
}

void TPlotChart::SetView3D(bool value) {
  view3D_ = value;
  Invalidate();
}

void TPlotChart::SetMargin(int side, int value) {
  margins_[side] = std::max(0, std::min(40, value));
  Invalidate();
}

void TPlotChart::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  Invalidate();
}

void TPlotChart::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Invalidate();
}

void TPlotChart::ColorChanged() {
  TCustomControl::ColorChanged();
  Invalidate();
}

void TPlotChart::Paint() {
  const RECT client = ClientRect();
  // Draw off screen first: the chart is drawn in layers and would flicker otherwise.
  TBitmap buffer;
  buffer.SetSize(std::max<int>(1, client.right), std::max<int>(1, client.bottom));
  DrawChart(buffer.Canvas(), client, true);
  Canvas()->Draw(0, 0, &buffer);
}

void TPlotChart::Draw(TCanvas* canvas, const RECT& rect) { DrawChart(canvas, rect, false); }

std::unique_ptr<TBitmap> TPlotChart::CreateBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(std::max(1, Width()), std::max(1, Height()));
  DrawChart(bitmap->Canvas(), RECT{0, 0, bitmap->Width(), bitmap->Height()}, false);
  return bitmap;
}

void TPlotChart::DrawChart(TCanvas* canvas, const RECT& rect, bool remember) {
  canvas->Font()->Assign(Font());
  RECT inner = rect;
  SetFill(canvas, Color(), false);
  canvas->FillRect(inner);
  DrawBevel(canvas->Handle(), inner, bevelOuter_, true);
  DrawBevel(canvas->Handle(), inner, bevelInner_, false);

  const int w = inner.right - inner.left;
  const int h = inner.bottom - inner.top;
  RECT area{inner.left + w * margins_[0] / 100, inner.top + h * margins_[1] / 100,
            inner.right - w * margins_[2] / 100, inner.bottom - h * margins_[3] / 100};
  canvas->Font()->SetColor(clBlack);
  const int lineHeight = canvas->TextHeight("Wg");
  for (TPlotText* text : {title_.get(), foot_.get()}) {
    if (!text->Visible() || text->Text().empty()) continue;
    const int x = (area.left + area.right - canvas->TextWidth(text->Text())) / 2;
    if (text == title_.get()) {
      PlainText(canvas, x, area.top, text->Text());
      area.top += lineHeight + 4;
    } else {
      area.bottom -= lineHeight + 4;
      PlainText(canvas, x, area.bottom + 4, text->Text());
    }
  }
  if (legend_->Visible()) area.right -= DrawLegend(canvas, area);

  for (TPlotSeries* s : series_)
    if (auto* pie = dynamic_cast<TPlotPieSeries*>(s)) {
      DrawPie(canvas, pie, area, remember);
      return;
    }
  DrawBars(canvas, area, remember);
}

void TPlotChart::DrawBars(TCanvas* canvas, RECT area, bool remember) {
  std::vector<TPlotBarSeries*> bars;
  for (TPlotSeries* s : series_)
    if (auto* bar = dynamic_cast<TPlotBarSeries*>(s)) bars.push_back(bar);
  int pointCount = 0;
  double lo = 0, hi = 0;
  bool dateTime = false;
  for (TPlotBarSeries* bar : bars) {
    pointCount = std::max(pointCount, bar->Count());
    dateTime = dateTime || bar->YValuesDateTime();
    for (double v : bar->Values()) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  const TAxisScale scale = dateTime ? NiceTimeAxis(hi, kMaxTicks) : NiceAxis(lo, hi, kMaxTicks);
  auto tickText = [&](double v) { return dateTime ? TimeAxisText(v) : NumberAxisText(v, scale.Step); };

  const int lineHeight = canvas->TextHeight("Wg");
  const bool leftShown = axisVisible_ && leftAxis_->Visible();
  const bool bottomShown = axisVisible_ && bottomAxis_->Visible();
  RECT plot = area;
  if (leftShown) {
    int labelWidth = 0;
    for (double t : scale.Ticks()) labelWidth = std::max(labelWidth, canvas->TextWidth(tickText(t)));
    if (!leftAxis_->Title().empty()) {
      UpwardText(canvas, area.left, (area.top + area.bottom) / 2, leftAxis_->Title());
      plot.left += lineHeight + 4;
    }
    plot.left += labelWidth + kTickLength + 3;
    plot.top += lineHeight / 2;
  }
  if (bottomShown) plot.bottom -= lineHeight + kTickLength + 2;
  if (axisVisible_ && topAxis_->Visible()) plot.top += kTickLength;
  if (axisVisible_ && rightAxis_->Visible()) plot.right -= kTickLength;
  if (walls_) plot.left += kWallSize;
  // Room for bars drawn behind others and for their tops and sides.
  const int depth = SeriesDepth(ToPlot(plot), pointCount, static_cast<int>(bars.size()));
  plot.top += depth * static_cast<int>(bars.size());
  plot.right -= depth * static_cast<int>(bars.size());
  if (plot.right <= plot.left || plot.bottom <= plot.top) return;

  if (walls_ && !backWall_->Transparent()) {
    SetFill(canvas, backWall_->Color(), false);
    canvas->FillRect(plot);
  }
  if (walls_ && !leftWall_->Transparent()) {
    SetFill(canvas, leftWall_->Color(), frameVisible_);
    canvas->Polygon({POINT{plot.left - kWallSize, plot.top + kWallSize}, POINT{plot.left, plot.top},
                     POINT{plot.left, plot.bottom}, POINT{plot.left - kWallSize, plot.bottom + kWallSize}});
    if (!frameVisible_) {
      canvas->Pen()->SetColor(clGray);
      canvas->MoveTo(plot.left, plot.top);
      canvas->LineTo(plot.left, plot.bottom);
    }
  }
  // Grid lines and the value labels.
  canvas->Pen()->SetColor(clSilver);
  canvas->Pen()->SetStyle(psDot);
  const TPlotRect whole = ViewedPlot(ToPlot(plot), view_);
  for (double t : scale.Ticks()) {
    const int y = scale.ToPixel(t, whole.Top, whole.Bottom);
    if (y < plot.top || y > plot.bottom) continue;
    canvas->MoveTo(plot.left, y);
    canvas->LineTo(plot.right, y);
    if (leftShown) {
      const std::string text = tickText(t);
      const int x = plot.left - (walls_ ? kWallSize : 0) - kTickLength - 2 - canvas->TextWidth(text);
      PlainText(canvas, x, y - lineHeight / 2, text);
    }
  }
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetColor(clBlack);
  if (frameVisible_) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(plot.left, plot.top, plot.right + 1, plot.bottom + 1);
  } else {
    canvas->MoveTo(plot.left, plot.bottom);
    canvas->LineTo(plot.right, plot.bottom);
  }

  // Zoomed or panned, the whole plot is laid out larger or shifted and cut to the plot area.
  const TPlotRect plotArea = ViewedPlot(ToPlot(plot), view_);
  const TPlotRect visible = ToPlot(plot);
  if (remember) plotArea_ = visible;
  for (size_t s = 0; s < bars.size(); ++s) {
    TPlotBarSeries* bar = bars[s];
    const bool overlap = bar->MultiBar() == mbNone;
    // Series drawn one behind the other stand in frames moved right and up by their place;
    // each is cut to its own frame, so no bar reaches past the plot's lines when zoomed in.
    const int shift = overlap ? depth * static_cast<int>(bars.size() - 1 - s) : 0;
    const TPlotRect frame{visible.Left + shift, visible.Top - shift, visible.Right + shift, visible.Bottom - shift};
    const int saved = SaveDC(canvas->Handle());
    IntersectClipRect(canvas->Handle(), frame.Left, frame.Top, frame.Right + 1, frame.Bottom + 1);
    // Side by side: each series gets its share of the slot.
    std::vector<TPlotRect> rects;
    if (overlap || bars.size() == 1) {
      rects = BarRects(plotArea, pointCount, bar->Values(), scale, static_cast<int>(s), static_cast<int>(bars.size()),
                       depth);
    } else {
      rects = BarRects(plotArea, pointCount, bar->Values(), scale, 0, 1, 0);
      const int width = std::max(1, (rects.empty() ? 0 : rects[0].Width()) / static_cast<int>(bars.size()));
      for (TPlotRect& r : rects) {
        r.Left += width * static_cast<int>(s);
        r.Right = r.Left + width;
      }
    }
    for (size_t i = 0; i < rects.size(); ++i) {
      const TPlotRect& r = rects[i];
      const TColor color = ColorToRGB(bar->ValueColor(static_cast<int>(i)));
      SetFill(canvas, color, bar->PenVisible());
      if (r.Bottom > r.Top) canvas->Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
      if (depth > 0 && r.Bottom > r.Top) {
        SetFill(canvas, DarkerColor(color), bar->PenVisible());
        canvas->Polygon({POINT{r.Right, r.Top}, POINT{r.Right + depth, r.Top - depth},
                         POINT{r.Right + depth, r.Bottom - depth}, POINT{r.Right, r.Bottom}});
        canvas->Polygon({POINT{r.Left, r.Top}, POINT{r.Left + depth, r.Top - depth},
                         POINT{r.Right + depth, r.Top - depth}, POINT{r.Right, r.Top}});
      }
    }
    RestoreDC(canvas->Handle(), saved);
    if (remember) {
      // Only the part of a bar on show can be pressed.
      for (TPlotRect& r : rects) {
        r.Left = std::max(r.Left, frame.Left);
        r.Right = std::max(r.Left, std::min(r.Right, frame.Right));
        r.Top = std::max(r.Top, frame.Top);
        r.Bottom = std::max(r.Top, std::min(r.Bottom, frame.Bottom));
      }
      bar->SetBarBounds(std::move(rects));
    }
  }

  if (bottomShown && pointCount > 0) {
    const TPlotSeries* labelled = nullptr;
    for (TPlotBarSeries* bar : bars)
      if (bar->Count() == pointCount) labelled = bar;
    if (!labelled) return;
    std::vector<int> centres, widths;
    for (int i = 0; i < pointCount; ++i) {
      centres.push_back(SlotCentre(plotArea, pointCount, i));
      widths.push_back(canvas->TextWidth(labelled->PointLabel(i)));
    }
    const std::vector<bool> shown = FittingLabels(centres, widths, 4);
    canvas->Font()->SetColor(clBlack);
    // The ticks in the axis' colour, not in that of the last bar drawn.
    canvas->Pen()->SetColor(clBlack);
    for (int i = 0; i < pointCount; ++i) {
      if (centres[i] < plot.left || centres[i] > plot.right) continue;
      canvas->MoveTo(centres[i], plot.bottom);
      canvas->LineTo(centres[i], plot.bottom + kTickLength);
      if (shown[i])
        PlainText(canvas, centres[i] - widths[i] / 2, plot.bottom + kTickLength + 1, labelled->PointLabel(i));
    }
  }
}

void TPlotChart::DrawPie(TCanvas* canvas, TPlotPieSeries* pie, RECT area, bool remember) {
  const bool tilted = view3D_ && !view3DOptions_->Orthogonal();
  TPieGeometry geometry = PieLayout(ToPlot(area), pie->Values(), pie->StartAngle(), pie->CustomXRadius(),
                                    pie->CustomYRadius(), tilted, view3DOptions_->Elevation());
  if (!geometry.Empty()) {
    const int n = pie->Count();
    // The rim: the slices again, lower down and darker, bottom layer first.
    for (int d = geometry.Depth; d > 0; --d)
      for (int i = 0; i < n; ++i) {
        if (geometry.SweepAngle[i] <= 0) continue;
        SetFill(canvas, DarkerColor(ColorToRGB(pie->ValueColor(i))), false);
        canvas->Polygon(ToPoints(SlicePolygon(geometry, i, d)));
      }
    for (int i = 0; i < n; ++i) {
      if (geometry.SweepAngle[i] <= 0) continue;
      SetFill(canvas, ColorToRGB(pie->ValueColor(i)), pie->PenVisible());
      canvas->Polygon(ToPoints(SlicePolygon(geometry, i)));
    }
  }
  if (remember) pie->SetGeometry(std::move(geometry));
}

int TPlotChart::DrawLegend(TCanvas* canvas, const RECT& area) {
  // The entries: one per series, or one per point of the first series with points.
  std::vector<std::string> labels;
  std::vector<double> values;
  std::vector<TColor> colors;
  std::string otherText = "Other";
  if (legend_->LegendStyle() == lsValues) {
    for (TPlotSeries* s : series_) {
      if (s->Count() == 0) continue;
      for (int i = 0; i < s->Count(); ++i) {
        labels.push_back(s->PointLabel(i));
        colors.push_back(s->ValueColor(i));
      }
      if (legend_->TextStyle() == ltsRightPercent) values = s->Values();
      auto* pie = dynamic_cast<TPlotPieSeries*>(s);
      if (pie && !pie->OtherSliceText().empty()) otherText = pie->OtherSliceText();
      break;
    }
  } else {
    for (TPlotSeries* s : series_) {
      labels.push_back(s->Name());
      colors.push_back(s->SeriesColor());
    }
  }
  if (labels.empty()) return 0;

  // Rows that do not all fit shrink; a face without smaller sizes (a bitmap font) gives way
  // to a scalable one for them.
  canvas->Font()->Assign(legend_->Font());
  const std::string face = canvas->Font()->Name();
  const int fontHeight = std::abs(canvas->Font()->Height());
  auto rowOf = [canvas](const std::string& name, int height) {
    canvas->Font()->SetName(name);
    canvas->Font()->SetHeight(-height);
    return canvas->TextHeight("Wg") + 2;
  };
  const int fullRow = rowOf(face, fontHeight);
  auto faceFor = [&](int height) {
    return height >= fontHeight || rowOf(face, height) < fullRow ? face : std::string("Tahoma");
  };
  const TLegendLayout legend =
      LayoutLegend(labels, values, area.bottom - area.top - 6 - legend_->ShadowSize(), fontHeight,
                   [&](int height) { return height >= fontHeight ? fullRow : rowOf(faceFor(height), height); }, otherText);
  if (legend.Lines.empty()) return 0;
  canvas->Font()->SetName(faceFor(legend.FontHeight));
  canvas->Font()->SetHeight(-legend.FontHeight);
  const int rowHeight = legend.RowHeight;
  const int box = rowHeight - 4;
  int labelWidth = 0, percentWidth = 0;
  for (const TLegendLine& line : legend.Lines) {
    labelWidth = std::max(labelWidth, canvas->TextWidth(line.Label));
    percentWidth = std::max(percentWidth, canvas->TextWidth(line.Percent));
  }
  const int areaWidth = area.right - area.left;
  int width = 4 + box + 4 + labelWidth + (percentWidth > 0 ? 10 + percentWidth : 0) + 4;
  width = std::min(width, areaWidth * 55 / 100);
  if (width < box + 12) return 0;
  const int height = static_cast<int>(legend.Lines.size()) * rowHeight + 4;
  RECT frame{area.right - width - legend_->ShadowSize(), (area.top + area.bottom - height) / 2, 0, 0};
  frame.right = frame.left + width;
  frame.bottom = frame.top + height;
  if (legend_->ShadowSize() > 0) {
    SetFill(canvas, clGray, false);
    canvas->FillRect(RECT{frame.left + legend_->ShadowSize(), frame.top + legend_->ShadowSize(),
                          frame.right + legend_->ShadowSize(), frame.bottom + legend_->ShadowSize()});
  }
  SetFill(canvas, clWhite, true);
  canvas->Rectangle(frame);
  for (size_t i = 0; i < legend.Lines.size(); ++i) {
    const TLegendLine& line = legend.Lines[i];
    const int y = frame.top + 2 + static_cast<int>(i) * rowHeight;
    // The line summing up the entries without a line of their own has no colour.
    if (line.Index >= 0) {
      SetFill(canvas, ColorToRGB(colors[line.Index]), true);
      canvas->Rectangle(frame.left + 4, y + 2, frame.left + 4 + box, y + 2 + box);
    }
    // Clip each row to the box: a long label must not run into the percentage.
    const int textLeft = frame.left + 4 + box + 4;
    const int percentLeft = frame.right - 4 - canvas->TextWidth(line.Percent);
    canvas->Brush()->SetStyle(bsClear);
    RECT labelRect{textLeft, y, line.Percent.empty() ? frame.right - 2 : percentLeft - 6, y + rowHeight};
    canvas->TextRect(labelRect, textLeft, y + 1, line.Label);
    if (!line.Percent.empty()) PlainText(canvas, percentLeft, y + 1, line.Percent);
  }
  return width + legend_->ShadowSize() + 6;
}

bool TPlotChart::HitTest(int x, int y, TPlotSeries*& series, int& index) const {
  for (auto it = series_.rbegin(); it != series_.rend(); ++it) {
    const int i = (*it)->Clicked(x, y);
    if (i >= 0 && i < (*it)->Count()) {
      series = *it;
      index = i;
      return true;
    }
  }
  return false;
}

void TPlotChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  TPlotSeries* series = nullptr;
  int index = -1;
  const bool onPoint = HitTest(x, y, series, index);
  // A drag starts where no point was pressed (a pressed point may open a message box).
  if (drag_ == TDrag::None && !onPoint) {
    if (button == mbLeft && allowZoom_) drag_ = TDrag::Zoom;
    if (button == mbRight && allowPanning_) {
      drag_ = TDrag::Pan;
      SetMouseCapture(true);
    }
    dragStart_ = dragNow_ = POINT{x, y};
  }
  if (OnClickSeries && onPoint) OnClickSeries(this, series, index, button, shift, x, y);
}

void TPlotChart::MouseMove(TShiftState shift, int x, int y) {
  if (drag_ == TDrag::Zoom) {
    if (frameShown_) InvertDragFrame();
    dragNow_ = POINT{x, y};
    // Only a rectangle towards the bottom right is a zoom to show.
    if (x > dragStart_.x && y > dragStart_.y) InvertDragFrame();
  } else if (drag_ == TDrag::Pan) {
    const TPlotView panned = PannedView(plotArea_, view_, x - dragNow_.x, y - dragNow_.y);
    dragNow_ = POINT{x, y};
    if (panned.Left != view_.Left || panned.Top != view_.Top) {
      view_ = panned;
      Invalidate();
      Update();
    }
  }
  TPlotSeries* series = nullptr;
  int index = -1;
  SetCursor(HitTest(x, y, series, index) ? series->Cursor() : 0);
  TCustomControl::MouseMove(shift, x, y);
}

void TPlotChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (drag_ == TDrag::Pan && button == mbRight) {
    drag_ = TDrag::None;
    SetMouseCapture(false);
    return;
  }
  if (drag_ != TDrag::Zoom || button != mbLeft) return;
  if (frameShown_) InvertDragFrame();
  drag_ = TDrag::None;
  // A few pixels are a click, not a drag.
  constexpr int kMinDrag = 3;
  if (x - dragStart_.x > kMinDrag && y - dragStart_.y > kMinDrag)
    ZoomRect(TPlotRect{dragStart_.x, dragStart_.y, x, y});
  else if (dragStart_.x - x > kMinDrag || dragStart_.y - y > kMinDrag)
    UndoZoom();
}

void TPlotChart::InvertDragFrame() {
  if (!HandleAllocated()) return;
  const WindowDc dc = WindowDc::ForClient(Handle());
  const RECT frame{dragStart_.x, dragStart_.y, dragNow_.x, dragNow_.y};
  DrawFocusRect(dc.get(), &frame);
  frameShown_ = !frameShown_;
}

void TPlotChart::ZoomRect(const TPlotRect& rect) { AnimateTo(ZoomedView(plotArea_, view_, rect)); }

void TPlotChart::UndoZoom() { AnimateTo(TPlotView{}); }

void TPlotChart::AnimateTo(const TPlotView& view) {
  const TPlotView from = view_;
  const int steps = animatedZoom_ ? std::max(1, animatedZoomSteps_) : 1;
  for (int step = 1; step <= steps; ++step) {
    view_ = ViewStep(from, view, step, steps);
    // Each step is drawn at once; the last one leaves the chart at view.
    Invalidate();
    Update();
  }
}
