#include <gtest/gtest.h>

#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/image_list.h"

namespace {

// A 16 x 16 bitmap of one colour, with an optional 4 x 4 square of another in its middle.
void Solid(TBitmap& bitmap, TColor color, int width = 16, TColor middle = clNone) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, 16);
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect(RECT{0, 0, width, 16});
  if (middle != clNone) {
    bitmap.Canvas()->Brush()->SetColor(middle);
    bitmap.Canvas()->FillRect(RECT{6, 6, 10, 10});
  }
}

struct Sheet {
  TBitmap bitmap;
  Sheet() {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(20, 20);
  }
  TColor At(int x, int y) { return bitmap.Canvas()->Pixels(x, y); }
};

TColor Drawn(TImageList& list, int index) {
  Sheet sheet;
  list.Draw(sheet.bitmap.Canvas(), 0, 0, index);
  return sheet.At(8, 8);
}

}  // namespace

TEST(ImageList, AddInsertReplaceAndDeleteKeepTheOrder) {
  TImageList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  TBitmap red, blue, green, wide;
  Solid(red, clRed);
  Solid(blue, clBlue);
  Solid(green, clLime);
  EXPECT_EQ(list.Add(&red, nullptr), 0);
  EXPECT_EQ(list.Add(&blue, nullptr), 1);
  list.Insert(0, &green, nullptr);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(Drawn(list, 0), clLime);
  EXPECT_EQ(Drawn(list, 1), clRed);
  EXPECT_EQ(Drawn(list, 2), clBlue);

  list.Replace(2, &green, nullptr);
  EXPECT_EQ(Drawn(list, 2), clLime);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Drawn(list, 0), clRed);
  EXPECT_EQ(changes, 5);

  EXPECT_THROW(list.Delete(2), EInvalidOperation);
  EXPECT_THROW(list.Delete(-1), EInvalidOperation);
  EXPECT_THROW(list.Replace(5, &red, nullptr), EInvalidOperation);
  EXPECT_THROW(list.Insert(3, &red, nullptr), EInvalidOperation);

  // A bitmap twice as wide as the images gives two images.
  Solid(wide, clYellow, 32);
  EXPECT_EQ(list.Add(&wide, nullptr), 2);
  EXPECT_EQ(list.Count(), 4);
  TBitmap empty;
  EXPECT_EQ(list.Add(&empty, nullptr), -1);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, DrawingOutOfRangeIsHarmless) {
  TImageList list;
  TBitmap red;
  Solid(red, clRed);
  list.Add(&red, nullptr);
  Sheet sheet;
  for (int index : {-1, 1, 1000, -1000}) list.Draw(sheet.bitmap.Canvas(), 0, 0, index);
  list.Draw(nullptr, 0, 0, 0);
  EXPECT_EQ(sheet.At(8, 8), clWhite);
  TBitmap got;
  EXPECT_FALSE(list.GetBitmap(1, &got));
  EXPECT_TRUE(got.Empty());
  TIcon icon;
  EXPECT_FALSE(list.GetIcon(-1, &icon));
  EXPECT_TRUE(icon.Empty());
}

TEST(ImageList, MaskedImagesLeaveTheKeyColourOutAndTheSourceAlone) {
  TImageList list;
  TBitmap sprite;
  Solid(sprite, clFuchsia, 16, clBlue);
  EXPECT_EQ(list.AddMasked(&sprite, clFuchsia), 0);
  EXPECT_EQ(sprite.Canvas()->Pixels(0, 0), clFuchsia);  // the list worked on a copy

  Sheet sheet;
  list.Draw(sheet.bitmap.Canvas(), 2, 2, 0);
  EXPECT_EQ(sheet.At(2, 2), clWhite);
  EXPECT_EQ(sheet.At(10, 10), clBlue);

  // The bitmap's own transparent colour: the bottom-left pixel.
  EXPECT_EQ(list.AddMasked(&sprite, clDefault), 1);
  Sheet second;
  list.Draw(second.bitmap.Canvas(), 0, 0, 1);
  EXPECT_EQ(second.At(0, 0), clWhite);

  TIcon icon;
  ASSERT_TRUE(list.GetIcon(0, &icon));
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(list.AddIcon(&icon), 2);
  Sheet third;
  list.Draw(third.bitmap.Canvas(), 0, 0, 2);
  EXPECT_EQ(third.At(0, 0), clWhite);
  EXPECT_EQ(third.At(8, 8), clBlue);

  TBitmap got;
  ASSERT_TRUE(list.GetBitmap(0, &got));
  EXPECT_EQ(got.Width(), 16);
  EXPECT_EQ(got.Canvas()->Pixels(8, 8), clBlue);

  TImageList copy(32, 32);
  copy.Assign(&list);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Count(), 3);
  list.Clear();
  EXPECT_EQ(copy.Count(), 3);

  copy.SetSize(24, 24);  // a new size empties the list
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_EQ(copy.Height(), 24);
}
