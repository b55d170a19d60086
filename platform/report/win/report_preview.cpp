#include "platform/report/win/report_preview.h"

#include <algorithm>
#include <cmath>

#include "platform/report/win/band_report.h"
#include "platform/report/win/report_render.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/std_controls.h"

namespace {

constexpr int kDesk = 12;      // grey border round the paper
constexpr int kShadow = 4;     // the paper's shadow
constexpr int kWheelStep = 60;

int ScreenDpi() { return Screen ? Screen->PixelsPerInch() : 96; }

}  // namespace

// ---------------------------------------------------------------------------------------
// TReportPageView

TReportPageView::TReportPageView(TComponent* owner) : TCustomControl(owner) {
  SetColor(clGray);
  SetControlStyle(ControlStyle() | csOpaque);
}

void TReportPageView::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_VSCROLL | WS_HSCROLL;
}

void TReportPageView::SetDocument(const TReportDocument* doc) {
  doc_ = doc;
  pageIndex_ = 0;
  UpdateScrollBars();
  Invalidate();
}

void TReportPageView::SetPageIndex(int value) {
  if (!doc_ || doc_->Pages.empty()) return;
  value = std::max(0, std::min(value, static_cast<int>(doc_->Pages.size()) - 1));
  if (value == pageIndex_) return;
  pageIndex_ = value;
  ScrollTo(scrollX_, 0);
  Invalidate();
}

void TReportPageView::SetZoom(int value) {
  zoom_ = value <= 0 ? 0 : std::max(10, std::min(400, value));
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  Invalidate();
}

int TReportPageView::EffectiveZoom() const {
  if (zoom_ > 0 || !doc_ || doc_->PaperWidth <= 0 || doc_->PaperHeight <= 0) return std::max(zoom_, 10);
  // The whole page within the view, less the desk round it.
  const RECT client = ClientRect();
  const double perTenth = ScreenDpi() / 254.0;
  const double fitX = (client.right - 2 * kDesk - kShadow) / (doc_->PaperWidth * perTenth);
  const double fitY = (client.bottom - 2 * kDesk - kShadow) / (doc_->PaperHeight * perTenth);
  return std::max(5, static_cast<int>(std::floor(std::min(fitX, fitY) * 100)));
}

SIZE TReportPageView::PaperPixels() const {
  if (!doc_) return SIZE{0, 0};
  const double perTenth = ScreenDpi() / 254.0 * EffectiveZoom() / 100.0;
  return SIZE{static_cast<LONG>(std::lround(doc_->PaperWidth * perTenth)),
              static_cast<LONG>(std::lround(doc_->PaperHeight * perTenth))};
}

RECT TReportPageView::PaperRect() const {
  const SIZE paper = PaperPixels();
  const RECT client = ClientRect();
  // Centred while it fits, otherwise from the desk's edge, moved by the scroll position.
  const int left = paper.cx + 2 * kDesk < client.right ? (client.right - paper.cx) / 2 : kDesk - scrollX_;
  const int top = paper.cy + 2 * kDesk < client.bottom ? (client.bottom - paper.cy) / 2 : kDesk - scrollY_;
  return RECT{left, top, left + paper.cx, top + paper.cy};
}

void TReportPageView::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  const SIZE paper = PaperPixels();
  const RECT client = ClientRect();
  const int extents[2] = {paper.cx + 2 * kDesk + kShadow, paper.cy + 2 * kDesk + kShadow};
  const int pages[2] = {static_cast<int>(client.right), static_cast<int>(client.bottom)};
  int* positions[2] = {&scrollX_, &scrollY_};
  for (int i = 0; i < 2; ++i) {
    const int range = std::max(0, extents[i] - pages[i]);
    *positions[i] = std::max(0, std::min(*positions[i], range));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = range > 0 ? extents[i] - 1 : 0;
    info.nPage = range > 0 ? static_cast<UINT>(pages[i]) : 0;
    info.nPos = *positions[i];
    SetScrollInfo(Handle(), i == 0 ? SB_HORZ : SB_VERT, &info, TRUE);
  }
}

void TReportPageView::ScrollTo(int x, int y) {
  scrollX_ = x;
  scrollY_ = y;
  UpdateScrollBars();
  Invalidate();
}

bool TReportPageView::Scroll(int bar, int code) {
  if (!HandleAllocated()) return false;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), bar, &info);
  int pos = bar == SB_HORZ ? scrollX_ : scrollY_;
  const int page = std::max<int>(1, static_cast<int>(info.nPage));
  switch (code) {
    case SB_LINEUP: pos -= 20; break;
    case SB_LINEDOWN: pos += 20; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return false;
  }
  const int before = bar == SB_HORZ ? scrollX_ : scrollY_;
  if (bar == SB_HORZ)
    ScrollTo(pos, scrollY_);
  else
    ScrollTo(scrollX_, pos);
  return (bar == SB_HORZ ? scrollX_ : scrollY_) != before;
}

void TReportPageView::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(msg.WParam)); return;
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(msg.WParam)); return;
    case WM_MOUSEWHEEL:
      ScrollTo(scrollX_, scrollY_ - GET_WHEEL_DELTA_WPARAM(msg.WParam) * kWheelStep / WHEEL_DELTA);
      return;
    default: TCustomControl::WndProc(msg);
  }
}

void TReportPageView::Resize() {
  TCustomControl::Resize();
  UpdateScrollBars();
  Invalidate();
}

void TReportPageView::Paint() {
  const RECT client = ClientRect();
  TBitmap buffer;
  buffer.SetSize(std::max<int>(1, client.right), std::max<int>(1, client.bottom));
  TCanvas* canvas = buffer.Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  if (doc_ && !doc_->Pages.empty()) {
    const RECT paper = PaperRect();
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(RECT{paper.left + kShadow, paper.top + kShadow, paper.right + kShadow, paper.bottom + kShadow});
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(paper);
    TPageScale scale = PageScaleForDpi(ScreenDpi(), ScreenDpi());
    scale.X *= EffectiveZoom() / 100.0;
    scale.Y *= EffectiveZoom() / 100.0;
    scale.OriginX = paper.left;
    scale.OriginY = paper.top;
    HDC dc = canvas->Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, paper.left, paper.top, paper.right, paper.bottom);
    RenderReportPage(dc, doc_->Pages[pageIndex_], scale);
    RestoreDC(dc, saved);
  }
  Canvas()->Draw(0, 0, &buffer);
}

// ---------------------------------------------------------------------------------------
// TReportPreview

TReportPreview::TReportPreview(TComponent* owner, const TReportDocument& doc, const TReportLayout& layout)
    : TForm(owner), doc_(doc), layout_(layout) {
  SetCaption(doc.Title.empty() ? "Print preview" : "Print preview - " + doc.Title);
  SetPosition(poScreenCenter);
  const TScreenSize screen = EdgeScreenSize();
  SetBounds(0, 0, std::max(480, screen.Width * 3 / 4), std::max(400, screen.Height * 7 / 8));
  SetKeyPreview(true);

  bar_ = new TPanel(this);
  bar_->SetParent(this);
  bar_->SetAlign(alTop);
  bar_->SetHeight(34);
  bar_->SetBevelOuter(bvNone);
  int left = 6;
  auto button = [&](const std::string& caption, int width, const std::string& name) {
    auto* b = new TButton(this);
    b->SetName(name);
    b->SetParent(bar_);
    b->SetBounds(left, 5, width, 24);
    b->SetCaption(caption);
    left += width + 4;
    return b;
  };
  prior_ = button("< Previous", 80, "btPrior");
  next_ = button("Next >", 80, "btNext");
  left += 8;
  wholePage_ = button("Whole page", 84, "btWholePage");
  realSize_ = button("100 %", 60, "btRealSize");
  left += 8;
  print_ = button("Print...", 70, "btPrint");
  close_ = button("Close", 70, "btClose");
  close_->SetCancel(true);
  close_->SetModalResult(mrCancel);
  pageLabel_ = new TLabel(this);
  pageLabel_->SetParent(bar_);
  pageLabel_->SetBounds(left + 12, 10, 160, 16);

  view_ = new TReportPageView(this);
  view_->SetParent(this);
  view_->SetAlign(alClient);
  view_->SetZoom(layout.Zoom());
  view_->SetDocument(&doc_);

  prior_->OnClick = [this](TObject*) { ShowPage(PageIndex() - 1); };
  next_->OnClick = [this](TObject*) { ShowPage(PageIndex() + 1); };
  wholePage_->OnClick = [this](TObject*) {
    view_->SetZoom(0);
    UpdateControls();
  };
  realSize_->OnClick = [this](TObject*) {
    view_->SetZoom(100);
    UpdateControls();
  };
  print_->OnClick = [this](TObject*) {
    if (PrintHandler)
      PrintHandler(doc_, layout_, Handle());
    else
      PrintReportDocument(doc_, layout_, Handle());
  };
  // The buttons hold the focus; the page takes the viewing keys through the form.
  OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
    if (!(shift & (ssCtrl | ssAlt)) && ScrollKey(key)) key = 0;
  };
  LoadedAll(this);
  UpdateControls();
}

void TReportPreview::ShowPage(int index) {
  view_->SetPageIndex(index);
  UpdateControls();
}

bool TReportPreview::ScrollKey(WORD key) {
  switch (key) {
    case VK_UP: view_->Scroll(SB_VERT, SB_LINEUP); break;
    case VK_DOWN: view_->Scroll(SB_VERT, SB_LINEDOWN); break;
    case VK_LEFT: view_->Scroll(SB_HORZ, SB_LINEUP); break;
    case VK_RIGHT: view_->Scroll(SB_HORZ, SB_LINEDOWN); break;
    case VK_HOME: view_->Scroll(SB_VERT, SB_TOP); break;
    case VK_END: view_->Scroll(SB_VERT, SB_BOTTOM); break;
    case VK_NEXT:
      // Past the page's end the next page follows, from its top.
      if (!view_->Scroll(SB_VERT, SB_PAGEDOWN)) ShowPage(PageIndex() + 1);
      break;
    case VK_PRIOR:
      // Before the page's top the previous page follows, from its end.
      if (!view_->Scroll(SB_VERT, SB_PAGEUP) && PageIndex() > 0) {
        ShowPage(PageIndex() - 1);
        view_->Scroll(SB_VERT, SB_BOTTOM);
      }
      break;
    default: return false;
  }
  return true;
}

std::string TReportPreview::PageText() const {
  return "Page " + std::to_string(PageIndex() + 1) + " of " + std::to_string(doc_.Pages.size());
}

void TReportPreview::UpdateControls() {
  const int pages = static_cast<int>(doc_.Pages.size());
  prior_->SetEnabled(PageIndex() > 0);
  next_->SetEnabled(PageIndex() < pages - 1);
  wholePage_->SetEnabled(view_->Zoom() != 0);
  realSize_->SetEnabled(view_->Zoom() != 100);
  pageLabel_->SetCaption(PageText());
}
