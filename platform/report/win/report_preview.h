#pragma once
// TReportPreview: the report engine's screen preview. It shows one recorded page at a time
// on a grey desk, as a whole page or at its real size (scrolled), with buttons for the
// previous and next page, the two zooms, printing (the print dialog, then the printer) and
// closing. TReportPageView is the scrolled page area inside it.

#include "platform/wcl/win/control.h"

#include <functional>

#include "platform/report/report_layout.h"
#include "platform/wcl/win/form.h"

class TLabel;
class TPanel;
class TButton;

class TReportPageView : public TCustomControl {
public:
  explicit TReportPageView(TComponent* owner);

  // The document shown; it must live as long as the view shows it.
  void SetDocument(const TReportDocument* doc);
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int value);
  // Percent of the paper's real size on this screen; 0 fits the whole page in the view.
  int Zoom() const { return zoom_; }
  void SetZoom(int value);
  // The percent in use (the fitted one when Zoom is 0).
  int EffectiveZoom() const;
  // The paper's place in the client area at the present zoom and scroll position.
  RECT PaperRect() const;
  // Scrolls one bar (SB_HORZ, SB_VERT) as its scroll-bar code says (SB_LINEDOWN, SB_PAGEUP,
  // SB_TOP, ...); true when the page moved.
  bool Scroll(int bar, int code);

  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Resize() override;

private:
  void UpdateScrollBars();
  void ScrollTo(int x, int y);
  SIZE PaperPixels() const;

  const TReportDocument* doc_ = nullptr;
  int pageIndex_ = 0;
  int zoom_ = 0;
  int scrollX_ = 0;
  int scrollY_ = 0;
};

class TReportPreview : public TForm {
public:
  // Shows doc, printed with layout's paper, copies and bin settings. Both must outlive the form.
  TReportPreview(TComponent* owner, const TReportDocument& doc, const TReportLayout& layout);

  TReportPageView* PageView() const { return view_; }
  int PageIndex() const { return view_->PageIndex(); }
  void ShowPage(int index);
  // "Page n of m".
  std::string PageText() const;

  TButton* PriorButton() const { return prior_; }
  TButton* NextButton() const { return next_; }
  TButton* WholePageButton() const { return wholePage_; }
  TButton* RealSizeButton() const { return realSize_; }
  TButton* PrintButton() const { return print_; }
  TButton* CloseButton() const { return close_; }

  // What the Print button runs; by default the print dialog and the printer.
  std::function<void(const TReportDocument& doc, const TReportLayout& layout, HWND owner)> PrintHandler;

private:
  void UpdateControls();
  // The keys of a page viewer: the arrows scroll a line, PgUp/PgDn a view's height and go on
  // to the neighbouring page at the page's end, Home/End go to its top and bottom. True
  // when the key was one of them.
  bool ScrollKey(WORD key);

  const TReportDocument& doc_;
  const TReportLayout& layout_;
  TPanel* bar_ = nullptr;
  TReportPageView* view_ = nullptr;
  TLabel* pageLabel_ = nullptr;
  TButton* prior_ = nullptr;
  TButton* next_ = nullptr;
  TButton* wholePage_ = nullptr;
  TButton* realSize_ = nullptr;
  TButton* print_ = nullptr;
  TButton* close_ = nullptr;
};
