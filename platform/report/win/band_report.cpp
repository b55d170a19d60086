#include "platform/report/win/band_report.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>

#include "platform/report/win/report_preview.h"
#include "platform/report/win/report_render.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"

namespace {

struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static bool IsValid(HGLOBAL handle) { return handle != nullptr; }
  static void Close(HGLOBAL handle) { GlobalFree(handle); }
};
using UniqueGlobal = UniqueWinHandle<GlobalMemoryTraits>;

// Sets the printer's paper, orientation, copies and bin from the layout.
void ApplyLayout(DEVMODEA* mode, const TReportLayout& layout) {
  const bool a4 = std::fabs(layout.PageWidth() - 210) < 0.5 && std::fabs(layout.PageLength() - 297) < 0.5;
  if (a4) {
    mode->dmPaperSize = DMPAPER_A4;
    mode->dmFields |= DM_PAPERSIZE;
  } else {
    mode->dmPaperSize = 0;
    mode->dmPaperWidth = static_cast<short>(std::lround(layout.PageWidth() * 10));
    mode->dmPaperLength = static_cast<short>(std::lround(layout.PageLength() * 10));
    mode->dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
  }
  mode->dmOrientation = layout.Orientation() == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  mode->dmCopies = static_cast<short>(std::min(layout.Copies(), 999));
  mode->dmDefaultSource = layout.Bin() == pbFirst ? DMBIN_UPPER : DMBIN_AUTO;
  mode->dmFields |= DM_ORIENTATION | DM_COPIES | DM_DEFAULTSOURCE;
}

std::string PrintDialogError(DWORD code) {
  if (code == PDERR_NODEFAULTPRN || code == PDERR_NODEVICES) return "There is no printer installed";
  return "The printer could not be prepared (error " + IntToStr(code) + ")";
}

}  // namespace

const ClassInfo* TBandReport::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TBandReport>("TBandReport", TReportLayout::StaticClassInfo()).Build();
  return &ci;
}

void TBandReport::Preview() {
  const TReportDocument doc = Generate();
  if (doc.Pages.empty()) return;
  TReportPreview preview(nullptr, doc, *this);
  preview.ShowModal();
}

bool PrintReportDocument(const TReportDocument& doc, const TReportLayout& layout, HWND owner) {
  if (doc.Pages.empty()) return true;
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  // First the default printer's settings, without a dialog, to set the layout's paper.
  dialog.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgA(&dialog)) throw EReportError(PrintDialogError(CommDlgExtendedError()));
  UniqueGlobal devMode(dialog.hDevMode);
  UniqueGlobal devNames(dialog.hDevNames);
  {
    GlobalLockScope<DEVMODEA> mode(devMode.get());
    if (mode.get()) ApplyLayout(mode.get(), layout);
  }
  const int pages = static_cast<int>(doc.Pages.size());
  dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  dialog.nMinPage = dialog.nFromPage = 1;
  dialog.nMaxPage = dialog.nToPage = static_cast<WORD>(std::min(pages, 0xFFFF));
  const BOOL chosen = PrintDlgA(&dialog);
  // The dialog may hand back new blocks in place of ours.
  devMode.release();
  devMode.reset(dialog.hDevMode);
  devNames.release();
  devNames.reset(dialog.hDevNames);
  if (!chosen) {
    const DWORD code = CommDlgExtendedError();
    if (code == 0) return false;  // cancelled
    throw EReportError(PrintDialogError(code));
  }
  UniqueMemoryDc printer(dialog.hDC);
  // The program makes the copies itself: not every driver passes a copy count on to the
  // printer (a PDF printer behind a print server makes one copy whatever it is told).
  // The copies and the Collate box come back in the dialog's fields or, for a driver that
  // makes copies, in the printer settings.
  int copies = std::max<int>(1, dialog.nCopies);
  bool collate = (dialog.Flags & PD_COLLATE) != 0;
  {
    GlobalLockScope<DEVMODEA> mode(devMode.get());
    DEVMODEA* settings = mode.get();
    if (settings && (settings->dmFields & DM_COPIES) && settings->dmCopies > 1) {
      copies = std::max<int>(copies, settings->dmCopies);
      if (settings->dmFields & DM_COLLATE) collate = settings->dmCollate == DMCOLLATE_TRUE;
      settings->dmCopies = 1;
      settings->dmCollate = DMCOLLATE_FALSE;
      ResetDCA(printer.get(), settings);
    }
  }
  int first = 0, last = pages - 1;
  if (dialog.Flags & PD_PAGENUMS) {
    first = std::max(0, dialog.nFromPage - 1);
    last = std::min(pages - 1, dialog.nToPage - 1);
  }
  if (first <= last) PrintReportOnDc(printer.get(), doc, first, last, copies, collate);
  return true;
}

void PrintReportOnDc(HDC dc, const TReportDocument& doc, int first, int last, int copies, bool collate) {
  first = std::max(0, first);
  last = std::min(last, static_cast<int>(doc.Pages.size()) - 1);
  if (first > last || copies < 1) return;
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = doc.Title.empty() ? "Report" : doc.Title.c_str();
  if (StartDocA(dc, &info) <= 0) throw EReportError("Printing could not start: " + SysErrorMessage(GetLastOSError()));
  TPageScale scale = PageScaleForDpi(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
  // Device coordinates start at the printable area, not at the paper's edge.
  scale.OriginX = -GetDeviceCaps(dc, PHYSICALOFFSETX);
  scale.OriginY = -GetDeviceCaps(dc, PHYSICALOFFSETY);
  for (int n = 0; n < copies * (last - first + 1); ++n) {
    const int i = PrintedPage(first, last, copies, collate, n);
    bool ok = StartPage(dc) > 0;
    if (ok) {
      RenderReportPage(dc, doc.Pages[i], scale);
      ok = EndPage(dc) > 0;
    }
    if (!ok) {
      const int error = GetLastOSError();
      AbortDoc(dc);
      throw EReportError("Printing failed on page " + IntToStr(i + 1) + ": " + SysErrorMessage(error));
    }
  }
  // The job is handed to the printer only now; a printer that refuses it fails here.
  if (EndDoc(dc) <= 0) throw EReportError("Printing failed: the printer did not take the job");
}
