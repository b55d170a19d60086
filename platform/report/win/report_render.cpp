#include "platform/report/win/report_render.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"

namespace {

constexpr size_t kBmpFileHeaderSize = 14;

int ScaleX(const TPageScale& s, int tenths) { return s.OriginX + static_cast<int>(std::lround(tenths * s.X)); }
int ScaleY(const TPageScale& s, int tenths) { return s.OriginY + static_cast<int>(std::lround(tenths * s.Y)); }

void DrawText(HDC dc, const TReportItem& item, const TPageScale& scale) {
  LOGFONTA logFont{};
  // Points to tenths of a millimetre (a point is 1/72 inch, 254/72 tenths), then to pixels.
  logFont.lfHeight = -static_cast<LONG>(std::lround(item.FontSize * 254.0 / 72.0 * scale.Y));
  logFont.lfWeight = (item.FontStyle & 1) ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = (item.FontStyle & 2) ? TRUE : FALSE;
  logFont.lfUnderline = (item.FontStyle & 4) ? TRUE : FALSE;
  logFont.lfStrikeOut = (item.FontStyle & 8) ? TRUE : FALSE;
  logFont.lfCharSet = item.FontCharset;
  logFont.lfOutPrecision = OUT_TT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(logFont.lfFaceName, item.FontName.c_str(), LF_FACESIZE);
  UniqueFont font(CreateFontIndirectA(&logFont));
  ScopedSelectObject select(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(item.FontColor));
  RECT rect{ScaleX(scale, item.Left), ScaleY(scale, item.Top), ScaleX(scale, item.Right), ScaleY(scale, item.Bottom)};
  UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
  if (!item.Clip) {
    format |= DT_NOCLIP | DT_LEFT;
  } else {
    format |= item.Alignment == baRight ? DT_RIGHT : item.Alignment == baCenter ? DT_CENTER : DT_LEFT;
    // A box lower than its text still shows the whole text.
    rect.bottom = std::max(rect.bottom, rect.top + static_cast<int>(-logFont.lfHeight * 3 / 2));
  }
  DrawTextA(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &rect, format);
}

void DrawPicture(HDC dc, const TReportItem& item, const TPageScale& scale) {
  if (!item.Picture || item.Picture->Width <= 0 || item.Picture->Height <= 0) return;
  // The picture as a .bmp file: its info header and colour table are what StretchDIBits takes.
  const std::vector<uint8_t> file = EncodeBmpFile(*item.Picture);
  if (file.size() < kBmpFileHeaderSize + sizeof(BITMAPINFOHEADER)) return;
  const uint32_t bitsOffset = file[10] | (file[11] << 8) | (file[12] << 16) | (static_cast<uint32_t>(file[13]) << 24);
  if (bitsOffset >= file.size()) return;
  const int left = ScaleX(scale, item.Left);
  const int top = ScaleY(scale, item.Top);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, left, top, ScaleX(scale, item.Right) - left, ScaleY(scale, item.Bottom) - top, 0, 0,
                item.Picture->Width, item.Picture->Height, file.data() + bitsOffset,
                reinterpret_cast<const BITMAPINFO*>(file.data() + kBmpFileHeaderSize), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

TPageScale PageScaleForDpi(int dpiX, int dpiY) { return TPageScale{dpiX / 254.0, dpiY / 254.0, 0, 0}; }

void RenderReportPage(HDC dc, const TReportPage& page, const TPageScale& scale) {
  const int saved = SaveDC(dc);
  for (const TReportItem& item : page.Items) {
    if (item.Kind == TReportItem::kImage)
      DrawPicture(dc, item, scale);
    else
      DrawText(dc, item, scale);
  }
  RestoreDC(dc, saved);
}

std::unique_ptr<TBitmap> RenderPageToBitmap(const TReportDocument& doc, int pageIndex, int dpi) {
  if (pageIndex < 0 || pageIndex >= static_cast<int>(doc.Pages.size()))
    throw EReportError("Page " + std::to_string(pageIndex + 1) + " is not in the report");
  const TPageScale scale = PageScaleForDpi(dpi, dpi);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(std::max(1, static_cast<int>(std::lround(doc.PaperWidth * scale.X))),
                  std::max(1, static_cast<int>(std::lround(doc.PaperHeight * scale.Y))));
  bitmap->Canvas()->Brush()->SetColor(clWhite);
  bitmap->Canvas()->FillRect(RECT{0, 0, bitmap->Width(), bitmap->Height()});
  RenderReportPage(bitmap->Canvas()->Handle(), doc.Pages[pageIndex], scale);
  return bitmap;
}
