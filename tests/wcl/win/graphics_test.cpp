#include <gtest/gtest.h>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"

namespace {

// A white 24-bit bitmap to draw on and read back.
struct Sheet {
  TBitmap bitmap;
  Sheet(int width = 40, int height = 20) {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
  }
  TCanvas* canvas() { return bitmap.Canvas(); }
  int Count(TColor color, RECT area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += canvas()->Pixels(x, y) == color;
    return n;
  }
};

LOGFONTA FontOf(HFONT font) {
  LOGFONTA logFont{};
  GetObjectA(font, sizeof logFont, &logFont);
  return logFont;
}

}  // namespace

TEST(Canvas, FillsLinesAndPixelsReadBack) {
  Sheet sheet;
  TCanvas* canvas = sheet.canvas();
  EXPECT_EQ(sheet.Count(clWhite, RECT{0, 0, 40, 20}), 800);  // a new bitmap is white

  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(RECT{0, 0, 10, 10});
  EXPECT_EQ(canvas->Pixels(0, 0), clRed);
  EXPECT_EQ(canvas->Pixels(9, 9), clRed);
  EXPECT_EQ(canvas->Pixels(10, 10), clWhite);

  canvas->Pen()->SetColor(clBlue);
  canvas->MoveTo(0, 15);
  canvas->LineTo(30, 15);
  EXPECT_EQ(canvas->Pixels(29, 15), clBlue);
  EXPECT_EQ(canvas->Pixels(30, 15), clWhite);  // the end point is not drawn
  EXPECT_EQ(canvas->PenPos().x, 30);

  canvas->SetPixels(35, 2, clLime);
  EXPECT_EQ(canvas->Pixels(35, 2), clLime);

  // A clear brush fills nothing; a frame uses the brush colour, one pixel wide.
  canvas->Brush()->SetStyle(bsClear);
  canvas->FillRect(RECT{20, 0, 30, 10});
  EXPECT_EQ(sheet.Count(clWhite, RECT{20, 0, 30, 10}), 100);
  canvas->Brush()->SetColor(clGreen);  // a colour makes the brush solid again
  EXPECT_EQ(canvas->Brush()->Style(), bsSolid);
  canvas->FrameRect(RECT{20, 0, 30, 10});
  EXPECT_EQ(canvas->Pixels(20, 5), clGreen);
  EXPECT_EQ(canvas->Pixels(25, 5), clWhite);

  // Rectangle: pen outline, brush inside; system colours are resolved.
  canvas->Brush()->SetColor(clBtnFace);
  canvas->Pen()->SetColor(clBlack);
  canvas->Rectangle(0, 0, 10, 10);
  EXPECT_EQ(canvas->Pixels(0, 0), clBlack);
  EXPECT_EQ(canvas->Pixels(5, 5), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST(Canvas, TextChangesPixelsAndTextRectClips) {
  Sheet sheet(60, 30);
  TCanvas* canvas = sheet.canvas();
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  SIZE extent = canvas->TextExtent("WWW");
  EXPECT_GT(extent.cx, 0);
  EXPECT_GT(extent.cy, 0);
  EXPECT_EQ(canvas->TextWidth("WWW"), extent.cx);

  canvas->TextOut(2, 2, "WWW");
  EXPECT_GT(sheet.Count(clBlack, RECT{0, 0, 60, 30}), 0);
  EXPECT_EQ(canvas->PenPos().x, 2 + extent.cx);

  Sheet clipped(60, 30);
  clipped.canvas()->Font()->SetColor(clBlack);
  clipped.canvas()->Brush()->SetColor(clYellow);
  clipped.canvas()->TextRect(RECT{0, 0, 6, 30}, 0, 0, "WWWWWW");
  EXPECT_EQ(clipped.Count(clWhite, RECT{6, 0, 60, 30}), 54 * 30);  // nothing past the rectangle
  EXPECT_GT(clipped.Count(clYellow, RECT{0, 0, 6, 30}), 0);       // the rectangle is filled

  // A bigger font measures wider: the canvas took the old font out before it was freed.
  int before = canvas->TextWidth("WWW");
  canvas->Font()->SetSize(28);
  EXPECT_GT(canvas->TextWidth("WWW"), before);
}

TEST(Canvas, CopyRectUsesTheCopyModeAndEventsFrameEachOperation) {
  Sheet source(10, 10);
  source.canvas()->Brush()->SetColor(clNavy);
  source.canvas()->FillRect(RECT{0, 0, 5, 5});
  Sheet dest(20, 20);
  dest.canvas()->CopyRect(RECT{10, 10, 20, 20}, source.canvas(), RECT{0, 0, 10, 10});
  EXPECT_EQ(dest.canvas()->Pixels(10, 10), clNavy);
  EXPECT_EQ(dest.canvas()->Pixels(16, 16), clWhite);

  dest.canvas()->SetCopyMode(cmNotSrcCopy);
  dest.canvas()->CopyRect(RECT{0, 0, 10, 10}, source.canvas(), RECT{0, 0, 10, 10});
  EXPECT_EQ(dest.canvas()->Pixels(0, 0), static_cast<TColor>(0x7FFFFF));  // navy inverted
  EXPECT_EQ(dest.canvas()->Pixels(7, 7), clBlack);

  int changing = 0;
  int changed = 0;
  dest.canvas()->OnChanging = [&](TObject*) { ++changing; };
  dest.canvas()->OnChange = [&](TObject*) { EXPECT_EQ(changing, ++changed); };
  dest.canvas()->FillRect(RECT{0, 0, 1, 1});
  dest.canvas()->LineTo(3, 3);
  EXPECT_EQ(changed, 2);
}

TEST(Canvas, WithoutADcDrawingIsRefusedAndAWindowCanvasMeasures) {
  TCanvas bare;
  EXPECT_FALSE(bare.HandleAllocated());
  EXPECT_THROW(bare.FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);

  TWindowCanvas screen;
  EXPECT_GT(screen.TextHeight("Hg"), 0);
  EXPECT_TRUE(screen.HandleAllocated());
  screen.FreeHandle();
  EXPECT_FALSE(screen.HandleAllocated());
}

TEST(Font, HandleIsMadeAgainAfterAChangeButNotForColour) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -11);
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };

  HFONT first = font.Handle();
  EXPECT_EQ(font.Handle(), first);
  font.SetColor(clRed);
  EXPECT_EQ(font.Handle(), first);
  font.SetStyle(fsBold | fsItalic);
  HFONT second = font.Handle();
  EXPECT_NE(second, first);
  EXPECT_EQ(GetObjectType(first), 0u);  // the old handle is freed, not leaked
  EXPECT_EQ(FontOf(second).lfWeight, FW_BOLD);
  EXPECT_TRUE(FontOf(second).lfItalic);
  font.SetStyle(fsBold | fsItalic);  // the same value is no change
  EXPECT_EQ(changes, 2);

  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetName("Courier New");
  font.SetCharset(204);
  LOGFONTA made = FontOf(font.Handle());
  EXPECT_EQ(made.lfHeight, -16);
  EXPECT_EQ(made.lfCharSet, 204);
  EXPECT_STREQ(made.lfFaceName, "Courier New");

  // A font made for 120 dpi keeps its point size when assigned to a 96 dpi font.
  TFont large;
  large.SetPixelsPerInch(120);
  large.SetSize(10);
  EXPECT_EQ(large.Height(), -17);
  TFont normal;
  normal.Assign(&large);
  EXPECT_EQ(normal.Size(), 10);
  EXPECT_EQ(normal.Height(), -13);

  // Taking a handle over reads its properties.
  LOGFONTA logFont{};
  logFont.lfHeight = -20;
  logFont.lfWeight = FW_BOLD;
  lstrcpyA(logFont.lfFaceName, "Arial");
  TFont adopted;
  adopted.SetHandle(CreateFontIndirectA(&logFont));
  EXPECT_EQ(adopted.Height(), -20);
  EXPECT_EQ(adopted.Style(), static_cast<TFontStyles>(fsBold));
  EXPECT_EQ(adopted.Name(), "Arial");
}

TEST(Font, PublishesItsPropertiesByName) {
  TFont font;
  EXPECT_EQ(font.ClassName(), "TFont");
  std::vector<std::string> names;
  for (const PropInfo* prop : PublishedProps(&font)) names.push_back(prop->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  SetOrdProp(&font, "Style", fsBold | fsUnderline);
  SetStrProp(&font, "Name", "Arial");
  SetOrdProp(&font, "Size", 10);
  SetOrdProp(&font, "Pitch", fpFixed);
  EXPECT_EQ(font.Style(), static_cast<TFontStyles>(fsBold | fsUnderline));
  EXPECT_EQ(font.Name(), "Arial");
  EXPECT_EQ(GetOrdProp(&font, "Height"), -13);
  EXPECT_EQ(font.Pitch(), fpFixed);
  EXPECT_EQ(SetToString(FindProp(&font, "Style")->EnumType, GetOrdProp(&font, "Style")), "[fsBold,fsUnderline]");
  EXPECT_THROW(SetOrdProp(&font, "Charset", 256), EPropertyError);
}

TEST(Colors, SystemColoursResolveThroughTheSystemTable) {
  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clWindowText), static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_TRUE(IsSystemColor(clInfoBk));
  EXPECT_FALSE(IsSystemColor(clNone));
}
