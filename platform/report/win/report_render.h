#pragma once
// Drawing a recorded report page on a device: the one drawing path of the screen preview,
// the printer and page bitmaps. Places are scaled from tenths of a millimetre to device
// pixels; fonts are made at the device's size, so a page looks the same at any scale.

#include "platform/wcl/win/handles.h"

#include <memory>

#include "platform/report/report_layout.h"

class TBitmap;

// How a page lands on a device: pixels per tenth of a millimetre, and where the paper's top
// left corner is in device pixels (negative for a printer's unprintable border).
struct TPageScale {
  double X = 1;
  double Y = 1;
  int OriginX = 0;
  int OriginY = 0;
};

// The scale for a device of dpiX by dpiY pixels per inch.
TPageScale PageScaleForDpi(int dpiX, int dpiY);

// Draws page's items on dc. The background is not touched.
void RenderReportPage(HDC dc, const TReportPage& page, const TPageScale& scale);

// A white bitmap of the whole paper at dpi pixels per inch with page drawn on it.
std::unique_ptr<TBitmap> RenderPageToBitmap(const TReportDocument& doc, int pageIndex, int dpi);
