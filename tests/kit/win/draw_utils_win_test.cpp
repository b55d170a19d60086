#include "kit/win/draw_utils_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "kit/win/cursors.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/graphics.h"
#include "platform/wcl/win/image_list.h"
#include "platform/wcl/win/screen.h"

namespace {

constexpr TColor kKey = clFuchsia;

// A bitmap of width x height in one colour.
std::unique_ptr<TBitmap> Surface(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(color);
  bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
  return bitmap;
}

TColor Pixel(TBitmap& bitmap, int x, int y) { return bitmap.Canvas()->Pixels(x, y) & 0xFFFFFF; }

// Rows 0 and 1 of a 4 x 2 source:  red key green key / key blue red green.
std::unique_ptr<TBitmap> KeyedSource() {
  std::unique_ptr<TBitmap> source = Surface(4, 2, kKey);
  const TColor row0[] = {clRed, kKey, clLime, kKey};
  const TColor row1[] = {kKey, clBlue, clRed, clLime};
  for (int x = 0; x < 4; ++x) {
    source->Canvas()->SetPixels(x, 0, row0[x]);
    source->Canvas()->SetPixels(x, 1, row1[x]);
  }
  return source;
}

// The box around every pixel of a bitmap that is not background, inside area.
RECT InkBox(TBitmap& bitmap, const RECT& area, TColor background) {
  RECT box{area.right, area.bottom, area.left - 1, area.top - 1};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Pixel(bitmap, x, y) != background) {
        box.left = IntMin(box.left, x);
        box.top = IntMin(box.top, y);
        box.right = IntMax(box.right, x);
        box.bottom = IntMax(box.bottom, y);
      }
  return box;
}

// A non-windowed control that fills itself with one colour.
class Swatch : public TGraphicControl {
public:
  Swatch(TWinControl* parent, const RECT& bounds, TColor color) : TGraphicControl(nullptr), color_(color) {
    SetParent(parent);
    SetBoundsRect(bounds);
  }

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(color_);
    Canvas()->FillRect(RECT{0, 0, Width(), Height()});
  }

private:
  TColor color_;
};

// A windowed control whose own content is a green square at (4, 4)-(8, 8).
class SquarePanel : public TCustomControl {
public:
  SquarePanel() : TCustomControl(nullptr) {}

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clGreen);
    Canvas()->FillRect(RECT{4, 4, 8, 8});
  }
};

struct GridLike {
  TCanvas* canvas;
  TCanvas* Canvas() const { return canvas; }
};

}  // namespace

TEST(KeyedBitmaps, KeyColourLeavesTheDestination) {
  std::unique_ptr<TBitmap> source = KeyedSource();
  std::unique_ptr<TBitmap> dest = Surface(8, 4, clYellow);

  // Destination size 0: the bitmap's own; the key shows the destination through.
  StretchBitmapKeyed(dest->Canvas(), source.get(), kKey, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(clRed, Pixel(*dest, 0, 0));
  EXPECT_EQ(clYellow, Pixel(*dest, 1, 0));
  EXPECT_EQ(clBlue, Pixel(*dest, 1, 1));
  EXPECT_EQ(clYellow, Pixel(*dest, 4, 0));

  // clNone copies everything; clDefault keys the bottom-left pixel's colour.
  StretchBitmapKeyed(dest->Canvas(), source.get(), clNone, 4, 2, 4, 2, 0, 0, 4, 2);
  EXPECT_EQ(kKey, Pixel(*dest, 5, 2));
  StretchBitmapKeyed(dest->Canvas(), source.get(), clDefault, 4, 0, 4, 2, 0, 0, 4, 2);
  EXPECT_EQ(clYellow, Pixel(*dest, 5, 0));
  EXPECT_EQ(clLime, Pixel(*dest, 7, 1));

  // Stretched to twice the size; a source height of 0 makes the whole bitmap the source.
  dest = Surface(8, 4, clYellow);
  StretchBitmapRectKeyed(dest->Canvas(), 0, 0, 8, 4, RECT{0, 0, 4, 2}, source.get(), kKey);
  EXPECT_EQ(clRed, Pixel(*dest, 1, 1));
  EXPECT_EQ(clYellow, Pixel(*dest, 3, 0));
  EXPECT_EQ(clLime, Pixel(*dest, 7, 3));
  StretchBitmapKeyed(dest->Canvas(), source.get(), kKey, 0, 0, 4, 2, 3, 1, 1, 0);
  EXPECT_EQ(clBlue, Pixel(*dest, 1, 1));

  // A part at its own size.
  DrawBitmapRectKeyed(dest->Canvas(), 5, 1, RECT{1, 1, 3, 2}, source.get(), kKey);
  EXPECT_EQ(clBlue, Pixel(*dest, 5, 1));
  EXPECT_EQ(clRed, Pixel(*dest, 6, 1));

  // A monochrome bitmap is see-through where white, even when black is asked.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(2, 1);
  mono.Canvas()->SetPixels(0, 0, clBlack);
  dest = Surface(2, 1, clYellow);
  StretchBitmapKeyed(dest->Canvas(), &mono, clBlack, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(clBlack, Pixel(*dest, 0, 0));
  EXPECT_EQ(clYellow, Pixel(*dest, 1, 0));
}

TEST(GradientFillRect, PaintsTheBandsWithSystemColoursResolved) {
  std::unique_ptr<TBitmap> dest = Surface(30, 110, clWhite);
  GradientFillRect(dest->Canvas(), RECT{5, 5, 25, 105}, clRed, clBtnFace, gdTopToBottom, 64);
  EXPECT_EQ(clRed, Pixel(*dest, 5, 5));
  EXPECT_EQ(static_cast<TColor>(GetSysColor(COLOR_BTNFACE)), Pixel(*dest, 24, 104));
  EXPECT_EQ(clWhite, Pixel(*dest, 10, 105));
  EXPECT_EQ(clWhite, Pixel(*dest, 4, 50));
}

TEST(CellText, ShortensAndPlacesTextsInCells) {
  std::unique_ptr<TBitmap> dest = Surface(220, 60, clWhite);
  TCanvas* canvas = dest->Canvas();
  canvas->Font()->SetColor(clBlack);
  canvas->Font()->SetHeight(-13);
  const std::string text = "Hello world";
  EXPECT_EQ(text, ShortenTextToWidth(text, canvas, canvas->TextWidth(text)));
  EXPECT_EQ("Hel...", ShortenTextToWidth(text, canvas, canvas->TextWidth("Hel...")));

  // Right aligned: the text ends 3 pixels before the cell's right edge; the cell is filled.
  const RECT cell{10, 5, 110, 35};
  canvas->Brush()->SetColor(clYellow);
  DrawCellTextAt(canvas, cell, 2, 2, "Wx", kAlignRight, false, false);
  const int width = canvas->TextWidth("Wx");
  RECT ink = InkBox(*dest, cell, clYellow);
  EXPECT_GE(ink.left, cell.right - 3 - width);
  EXPECT_LT(ink.right, cell.right - 3);
  EXPECT_GT(ink.right, cell.right - 3 - width);
  EXPECT_EQ(clYellow, Pixel(*dest, cell.left, cell.top));
  EXPECT_EQ(clWhite, Pixel(*dest, cell.right, cell.top));

  // A line break goes through the scratch bitmap, which breaks the line.
  const RECT second{120, 5, 200, 55};
  const int lineHeight = canvas->TextHeight("W");
  DrawCellTextAt(canvas, second, 2, 2, "W\r\nW", kAlignLeft, false, false);
  ink = InkBox(*dest, second, clYellow);
  EXPECT_GE(ink.left, second.left + 2);
  EXPECT_GE(ink.bottom, second.top + 2 + lineHeight);
  EXPECT_EQ(clYellow, Pixel(*dest, second.right - 1, second.bottom - 1));

  // Bottom of a grid's cell: the text ends at the cell's bottom.
  GridLike grid{canvas};
  canvas->Brush()->SetColor(clAqua);
  DrawCellTextAligned(&grid, 1, 1, "W", cell, kAlignLeft, 2, false, false);
  ink = InkBox(*dest, cell, clAqua);
  EXPECT_GE(ink.top, cell.bottom - lineHeight);
  EXPECT_LT(ink.bottom, cell.bottom);
  EXPECT_GE(ink.left, cell.left + 2);
}

TEST(DisabledImages, OutlinePixelsBecomeShadowAndHighlight) {
  std::unique_ptr<TBitmap> image = Surface(6, 6, clWhite);
  image->Canvas()->SetPixels(2, 2, clRed);
  image->Canvas()->SetPixels(3, 2, clRed);
  image->Canvas()->SetPixels(1, 4, clBlack);

  std::unique_ptr<TBitmap> result = CreateDisabledBitmapEx(image.get(), clRed, clSilver, clWhite, clGray, true);
  ASSERT_EQ(6, result->Width());
  EXPECT_EQ(clGray, Pixel(*result, 2, 2));
  EXPECT_EQ(clGray, Pixel(*result, 3, 2));
  EXPECT_EQ(clWhite, Pixel(*result, 3, 3));
  EXPECT_EQ(clWhite, Pixel(*result, 4, 3));
  EXPECT_EQ(clSilver, Pixel(*result, 4, 2));
  EXPECT_EQ(clSilver, Pixel(*result, 1, 4));  // not the outline colour
  EXPECT_EQ(clSilver, Pixel(*result, 0, 0));

  result = CreateDisabledBitmapEx(image.get(), clRed, clSilver, clWhite, clGray, false);
  EXPECT_EQ(clSilver, Pixel(*result, 3, 3));

  // A monochrome image: its black pixels are the outline, whatever colour was asked.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(4, 4);
  mono.Canvas()->SetPixels(1, 1, clBlack);
  result = CreateDisabledBitmap(&mono, clRed);
  EXPECT_EQ(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)), Pixel(*result, 1, 1));
  EXPECT_EQ(static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT)), Pixel(*result, 2, 2));
  EXPECT_EQ(static_cast<TColor>(GetSysColor(COLOR_BTNFACE)), Pixel(*result, 0, 0));
}

TEST(DisabledImages, ImageListImagesAreEmbossed) {
  TImageList images(4, 4);
  std::unique_ptr<TBitmap> image = Surface(4, 4, kKey);
  image->Canvas()->SetPixels(1, 1, clRed);
  images.AddMasked(image.get(), kKey);

  std::unique_ptr<TBitmap> dest = Surface(10, 10, clSilver);
  ImageListDrawDisabled(&images, dest->Canvas(), 2, 2, 0, clWhite, clGray, true);
  EXPECT_EQ(clGray, Pixel(*dest, 3, 3));
  EXPECT_EQ(clWhite, Pixel(*dest, 4, 4));
  EXPECT_EQ(clSilver, Pixel(*dest, 2, 2));
  EXPECT_EQ(clSilver, Pixel(*dest, 5, 4));

  dest = Surface(10, 10, clSilver);
  ImageListDrawDisabled(&images, dest->Canvas(), 2, 2, 0, clWhite, clGray, false);
  EXPECT_EQ(clSilver, Pixel(*dest, 4, 4));
  ImageListDrawDisabled(&images, dest->Canvas(), 2, 2, 5, clWhite, clGray, false);  // no such image
  EXPECT_EQ(clSilver, Pixel(*dest, 5, 5));
}

TEST(PaintControlBackdrop, ShowsTheParentAndTheControlsBelow) {
  SquarePanel parent;
  parent.SetBounds(0, 0, 40, 40);
  parent.SetColor(clRed);
  Swatch below(&parent, RECT{10, 0, 20, 10}, clBlue);
  Swatch control(&parent, RECT{5, 2, 15, 12}, clLime);
  Swatch above(&parent, RECT{5, 2, 8, 5}, clYellow);

  std::unique_ptr<TBitmap> backdrop = Surface(10, 10, clWhite);
  PaintControlBackdrop(&control, backdrop->Canvas());
  EXPECT_EQ(clRed, Pixel(*backdrop, 0, 0));    // the parent's background; nothing from above
  EXPECT_EQ(clGreen, Pixel(*backdrop, 2, 3));  // the parent's own painting at (7, 5)
  EXPECT_EQ(clRed, Pixel(*backdrop, 3, 3));
  EXPECT_EQ(clBlue, Pixel(*backdrop, 5, 0));   // the control below
  EXPECT_EQ(clBlue, Pixel(*backdrop, 9, 7));
  EXPECT_EQ(clRed, Pixel(*backdrop, 6, 8));

  // A control without a parent has no backdrop.
  Swatch alone(nullptr, RECT{0, 0, 5, 5}, clLime);
  backdrop = Surface(5, 5, clWhite);
  PaintControlBackdrop(&alone, backdrop->Canvas());
  EXPECT_EQ(clWhite, Pixel(*backdrop, 0, 0));
}

TEST(WindowHelpers, PendingMessagesAreDroppedButQuitIsKept) {
  UniqueWindow window(CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  PostMessageA(window.get(), WM_USER + 1, 1, 0);
  PostMessageA(window.get(), WM_USER + 1, 2, 0);
  DropPendingMessage(window.get(), WM_USER + 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window.get(), WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(2u, msg.wParam);
  EXPECT_FALSE(PeekMessageA(&msg, window.get(), WM_USER + 1, WM_USER + 1, PM_REMOVE));

  PostQuitMessage(7);
  DropPendingMessage(nullptr, WM_QUIT);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, msg.wParam);
}

TEST(WindowHelpers, SwitchToWindowRestoresAndActivates) {
  UniqueWindow window(CreateWindowA("STATIC", "switch", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    nullptr, nullptr));
  ASSERT_TRUE(window);
  ShowWindow(window.get(), SW_SHOWMINIMIZED);
  EnableWindow(window.get(), FALSE);
  SwitchToWindow(window.get(), true);
  EXPECT_TRUE(IsIconic(window.get()));  // a disabled window is left alone

  EnableWindow(window.get(), TRUE);
  SwitchToWindow(window.get(), true);
  EXPECT_FALSE(IsIconic(window.get()));
  EXPECT_TRUE(IsActiveWindowInThread());
  window.reset();
  EXPECT_FALSE(IsActiveWindowInThread());
}

TEST(KitCursors, HandAndDragAreScreenCursors) {
  std::unique_ptr<TScreen> ownScreen;
  if (Screen == nullptr) ownScreen = std::make_unique<TScreen>(nullptr);
  RegisterKitCursors();
  HINSTANCE module = GetModuleHandleA(nullptr);
  HCURSOR hand = LoadCursorA(module, "KIT_HANDCUR");
  ASSERT_NE(nullptr, hand);
  EXPECT_EQ(hand, Screen->Cursors(crKitHand));
  EXPECT_EQ(LoadCursorA(module, "KIT_DRAGCUR"), Screen->Cursors(crKitDrag));
  EXPECT_NE(nullptr, Screen->Cursors(crKitDrag));

  // Our own picture: a cursor with its hot spot at the fingertip.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  UniqueBitmap mask(info.hbmMask);
  UniqueBitmap color(info.hbmColor);
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(4u, info.xHotspot);
  EXPECT_EQ(0u, info.yHotspot);
  Screen->SetCursors(crKitHand, nullptr);
  Screen->SetCursors(crKitDrag, nullptr);
}
