#include "kit/win/button_glyph.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;

TColor Rgb(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

void Fill(TBitmap* bitmap, const RECT& rect, TColor color) {
  bitmap->Canvas()->Brush()->SetColor(color);
  bitmap->Canvas()->FillRect(rect);
}

// A glyph of cells 16 x 16 on fuchsia (the see-through colour, read from the bottom-left
// pixel): a black square at 2..5, a red one at 8..11 and a button-face one at 2..3 x 10..11;
// cells after the first are green.
std::unique_ptr<TBitmap> MakeGlyph(int cells) {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(16 * cells, 16);
  Fill(glyph.get(), RECT{0, 0, 16 * cells, 16}, clFuchsia);
  Fill(glyph.get(), RECT{2, 2, 6, 6}, clBlack);
  Fill(glyph.get(), RECT{8, 8, 12, 12}, kRed);
  Fill(glyph.get(), RECT{2, 10, 4, 12}, clBtnFace);
  for (int cell = 1; cell < cells; ++cell) Fill(glyph.get(), RECT{16 * cell + 2, 2, 16 * cell + 6, 6}, kGreen);
  return glyph;
}

// The state image drawn through its list onto blue.
std::unique_ptr<TBitmap> Rendered(TKitButtonGlyph& painter, TButtonState state) {
  auto out = std::make_unique<TBitmap>();
  out->SetSize(16, 16);
  Fill(out.get(), RECT{0, 0, 16, 16}, kBlue);
  const int slot = painter.CreateButtonGlyph(state);
  EXPECT_GE(slot, 0);
  painter.GlyphList()->Draw(out->Canvas(), 0, 0, slot);
  return out;
}

TColor PixelAt(TBitmap* bitmap, int x, int y) { return bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF; }

bool HasPixel(TBitmap* bitmap, TColor color) {
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x)
      if (PixelAt(bitmap, x, y) == color) return true;
  return false;
}

}  // namespace

TEST(ButtonGlyph, CellCountFollowsTheBitmapAndStaysInRange) {
  TKitButtonGlyph painter;
  int changes = 0;
  painter.OnChange = [&](TObject* sender) {
    EXPECT_EQ(&painter, sender);
    ++changes;
  };
  TBitmap bitmap;
  bitmap.SetSize(64, 16);
  painter.SetGlyph(&bitmap);
  EXPECT_EQ(4, painter.NumGlyphs());
  EXPECT_EQ(1, changes);
  bitmap.SetSize(96, 16);
  painter.SetGlyph(&bitmap);
  EXPECT_EQ(1, painter.NumGlyphs());
  painter.SetNumGlyphs(3);
  bitmap.SetSize(20, 16);
  painter.SetGlyph(&bitmap);
  EXPECT_EQ(3, painter.NumGlyphs());
  painter.SetNumGlyphs(7);
  EXPECT_EQ(5, painter.NumGlyphs());
  painter.SetNumGlyphs(0);
  EXPECT_EQ(5, painter.NumGlyphs());

  // The see-through colour is the bitmap's bottom-left pixel, without the palette flag.
  std::unique_ptr<TBitmap> glyph = MakeGlyph(1);
  painter.SetGlyph(glyph.get());
  EXPECT_EQ(Rgb(clFuchsia), painter.TransparentColor());
  // Drawing on the painter's own bitmap makes its images again.
  ASSERT_GE(painter.CreateButtonGlyph(bsUp), 0);
  painter.Glyph()->SetSize(32, 16);
  EXPECT_EQ(nullptr, painter.GlyphList());
  EXPECT_EQ(2, painter.NumGlyphs());
}

TEST(ButtonGlyph, NoGlyphOrCellsWithoutWidthDrawNothing) {
  TKitButtonGlyph painter;
  TBitmap target;
  target.SetSize(25, 25);
  EXPECT_EQ(-1, painter.CreateButtonGlyph(bsUp));

  // A bitmap narrower than its cells: no division by zero, no glyph.
  TBitmap narrow;
  narrow.SetSize(3, 16);
  painter.SetGlyph(&narrow);
  painter.SetNumGlyphs(5);
  EXPECT_EQ(-1, painter.CreateButtonGlyph(bsUp));
  EXPECT_EQ(-1, painter.CreateButtonGlyph(bsInactive));
  EXPECT_NO_THROW(painter.Draw(target.Canvas(), RECT{0, 0, 25, 25}, "Go", blGlyphTop, -1, 1, true, bsUp, DT_CENTER));

  // A bitmap without width leaves the cell count alone.
  TBitmap empty;
  empty.SetSize(0, 16);
  painter.SetGlyph(&empty);
  EXPECT_EQ(5, painter.NumGlyphs());
  EXPECT_EQ(-1, painter.CreateButtonGlyph(bsDisabled));
}

TEST(ButtonGlyph, ListsAreSharedPerCellSizeAndFreedWithTheirLastUser) {
  ASSERT_EQ(nullptr, GlyphCache);
  {
    std::unique_ptr<TBitmap> one = MakeGlyph(1);
    std::unique_ptr<TBitmap> two = MakeGlyph(2);
    TKitButtonGlyph first;
    TKitButtonGlyph second;
    first.SetGlyph(one.get());
    second.SetGlyph(two.get());
    first.CreateButtonGlyph(bsUp);
    second.CreateButtonGlyph(bsUp);
    second.CreateButtonGlyph(bsDisabled);
    ASSERT_NE(nullptr, first.GlyphList());
    EXPECT_EQ(first.GlyphList(), second.GlyphList());
    EXPECT_EQ(1, GlyphCache->ListCount());
    EXPECT_EQ(3, first.GlyphList()->UsedCount());

    TBitmap small;
    small.SetSize(8, 8);
    TKitButtonGlyph third;
    third.SetGlyph(&small);
    third.CreateButtonGlyph(bsUp);
    EXPECT_EQ(2, GlyphCache->ListCount());

    // Freed slots are used again before the list grows.
    TGlyphList* list = first.GlyphList();
    const int images = list->Count();
    second.Invalidate();
    EXPECT_EQ(1, list->UsedCount());
    second.CreateButtonGlyph(bsUp);
    second.CreateButtonGlyph(bsDisabled);
    EXPECT_EQ(images, list->Count());
    // Down without a cell of its own is the up image.
    EXPECT_EQ(first.CreateButtonGlyph(bsUp), first.CreateButtonGlyph(bsDown));
  }
  EXPECT_EQ(nullptr, GlyphCache);
}

TEST(ButtonGlyph, StateImagesAreCellsOrDerivedFromThem) {
  std::unique_ptr<TBitmap> glyph = MakeGlyph(1);
  TKitButtonGlyph painter;
  painter.SetGlyph(glyph.get());

  std::unique_ptr<TBitmap> up = Rendered(painter, bsUp);
  EXPECT_EQ(clBlack, PixelAt(up.get(), 3, 3));
  EXPECT_EQ(kRed, PixelAt(up.get(), 9, 9));
  EXPECT_EQ(kBlue, PixelAt(up.get(), 0, 0));  // see-through

  // Inactive: grey by luminance, see-through and face pixels untouched.
  std::unique_ptr<TBitmap> inactive = Rendered(painter, bsInactive);
  EXPECT_EQ(0x4C4C4C, PixelAt(inactive.get(), 9, 9));
  EXPECT_EQ(clBlack, PixelAt(inactive.get(), 3, 3));
  EXPECT_EQ(kBlue, PixelAt(inactive.get(), 0, 0));
  EXPECT_EQ(Rgb(clBtnFace), PixelAt(inactive.get(), 2, 10));

  // Disabled with one cell: only the black pixels, embossed; everything else see-through.
  std::unique_ptr<TBitmap> disabled = Rendered(painter, bsDisabled);
  EXPECT_EQ(Rgb(clBtnShadow), PixelAt(disabled.get(), 3, 3));
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(disabled.get(), 6, 6));
  EXPECT_EQ(kBlue, PixelAt(disabled.get(), 9, 9));
  EXPECT_EQ(kBlue, PixelAt(disabled.get(), 0, 0));

  // Two cells: the disabled image is cell 1 as it is.
  std::unique_ptr<TBitmap> twoCells = MakeGlyph(2);
  painter.SetGlyph(twoCells.get());
  EXPECT_EQ(kGreen, PixelAt(Rendered(painter, bsDisabled).get(), 3, 3));
  EXPECT_EQ(clBlack, PixelAt(Rendered(painter, bsDown).get(), 3, 3));
}

TEST(ButtonGlyph, DrawPlacesGlyphCaptionAndMark) {
  std::unique_ptr<TBitmap> glyph = MakeGlyph(1);
  TKitButtonGlyph painter;
  painter.SetGlyph(glyph.get());
  TBitmap target;
  target.SetSize(25, 25);
  Fill(&target, RECT{0, 0, 25, 25}, clBtnFace);
  // Glyph left, no caption, Margin -1, Spacing 1: the glyph is centred at (4, 4).
  painter.Draw(target.Canvas(), RECT{0, 0, 25, 25}, "", blGlyphLeft, -1, 1, false, bsUp, DT_CENTER);
  EXPECT_EQ(clBlack, PixelAt(&target, 4 + 3, 4 + 3));
  EXPECT_EQ(kRed, PixelAt(&target, 4 + 9, 4 + 9));
  EXPECT_EQ(Rgb(clBtnFace), PixelAt(&target, 4, 4));

  // Glyph top with the drop-down mark: the mark follows the glyph.
  TBitmap wide;
  wide.SetSize(40, 30);
  Fill(&wide, RECT{0, 0, 40, 30}, clWhite);
  painter.Draw(wide.Canvas(), RECT{0, 0, 40, 30}, "", blGlyphTop, 2, -1, true, bsUp, DT_CENTER);
  const int glyphX = 20 - 22 / 2;
  const TColor mark = Rgb(clBtnText);
  EXPECT_EQ(mark, PixelAt(&wide, glyphX + 17, 2 + 7));
  EXPECT_EQ(mark, PixelAt(&wide, glyphX + 20, 2 + 10));
  EXPECT_EQ(clWhite, PixelAt(&wide, glyphX + 17, 2 + 10));

  // A disabled caption is grey over a white shadow; an enabled one in the font's colour.
  TKitButtonGlyph captionOnly;
  TBitmap text;
  text.SetSize(60, 25);
  Fill(&text, RECT{0, 0, 60, 25}, kBlue);
  text.Canvas()->Font()->SetColor(clBlack);
  RECT bounds = captionOnly.Draw(text.Canvas(), RECT{0, 0, 60, 25}, "MMM", blGlyphLeft, -1, -1, false, bsDisabled, 0);
  EXPECT_GT(bounds.right, bounds.left);
  EXPECT_TRUE(HasPixel(&text, clGray));
  EXPECT_TRUE(HasPixel(&text, clWhite));
  Fill(&text, RECT{0, 0, 60, 25}, kBlue);
  captionOnly.Draw(text.Canvas(), RECT{0, 0, 60, 25}, "MMM", blGlyphLeft, -1, -1, false, bsUp, 0);
  EXPECT_FALSE(HasPixel(&text, clGray));
}

TEST(ButtonFrame, RingsAndTheRectangleInside) {
  TBitmap bitmap;
  bitmap.SetSize(20, 20);
  TCanvas* canvas = bitmap.Canvas();
  const RECT client{0, 0, 20, 20};

  RECT inner = DrawButtonFrame(canvas, client, false, false, bsNew, 0);
  EXPECT_EQ(3, inner.left);
  EXPECT_EQ(17, inner.right);
  EXPECT_EQ(17, inner.bottom);
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(&bitmap, 0, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(&bitmap, 0, 10));
  EXPECT_EQ(Rgb(clWindowFrame), PixelAt(&bitmap, 19, 19));
  EXPECT_EQ(Rgb(clWindowFrame), PixelAt(&bitmap, 10, 19));
  EXPECT_EQ(Rgb(clBtnShadow), PixelAt(&bitmap, 18, 18));
  EXPECT_EQ(Rgb(clBtnFace), PixelAt(&bitmap, 1, 1));

  Fill(&bitmap, client, kBlue);
  inner = DrawButtonFrame(canvas, client, true, true, bsNew, 0);
  EXPECT_EQ(2, inner.left);
  EXPECT_EQ(18, inner.bottom);
  EXPECT_EQ(Rgb(clWindowFrame), PixelAt(&bitmap, 0, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(&bitmap, 19, 19));
  EXPECT_EQ(kBlue, PixelAt(&bitmap, 1, 1));

  // The old look pressed: a shadow line along the left and top inside the outer ring.
  Fill(&bitmap, client, kBlue);
  inner = DrawButtonFrame(canvas, client, true, false, bsWin31, 0);
  EXPECT_EQ(3, inner.left);
  EXPECT_EQ(Rgb(clBtnShadow), PixelAt(&bitmap, 1, 10));
  EXPECT_EQ(Rgb(clBtnShadow), PixelAt(&bitmap, 10, 1));
  EXPECT_EQ(kBlue, PixelAt(&bitmap, 18, 10));

  // Rounded corners leave the corner pixel alone and give the same rectangle inside.
  Fill(&bitmap, client, kBlue);
  inner = DrawButtonFrame(canvas, client, false, false, bsNew, 4);
  EXPECT_EQ(3, inner.top);
  EXPECT_EQ(17, inner.right);
  EXPECT_EQ(kBlue, PixelAt(&bitmap, 0, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), PixelAt(&bitmap, 10, 0));
}
