#pragma once
// TBandReport: a report layout that can be previewed on screen and printed. Report layouts
// of the program derive from it, create their bands and items in their constructors and
// fill them through BeforePrint, OnNeedData and the labels' OnPrint.

#include "platform/wcl/win/handles.h"

#include "platform/report/report_layout.h"

class TBandReport : public TReportLayout {
  HL_REFLECTABLE
public:
  explicit TBandReport(TComponent* owner) : TReportLayout(owner) {}

  // Makes the pages and shows them in the modal preview, from which the user may print.
  // A report without pages shows nothing.
  void Preview();
};

// Asks for a printer in the print dialog (set up for the layout's paper, orientation, copies
// and bin) and prints doc on it. False when the user cancelled; a printer error raises
// EReportError.
bool PrintReportDocument(const TReportDocument& doc, const TReportLayout& layout, HWND owner);

// Prints pages first to last (0-based, inclusive) of doc copies times on the printer DC dc
// as one print job, collated (2,3,2,3) or each page copies times in a row (2,2,3,3). A
// failing printer raises EReportError after the job is abandoned.
void PrintReportOnDc(HDC dc, const TReportDocument& doc, int first, int last, int copies = 1, bool collate = true);
