#include "demo/win/kit_graph.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "demo/color_reduction.h"
#include "demo/demo_texts.h"
#include "demo/win/demo_helpers.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/ico_format.h"
#include "platform/wcl/le_bytes.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

std::unique_ptr<TBitmap> Colours(const std::vector<TColor>& colors) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(static_cast<int>(colors.size()), 2);
  for (size_t x = 0; x < colors.size(); ++x)
    for (int y = 0; y < 2; ++y) bitmap->Canvas()->SetPixels(static_cast<int>(x), y, colors[x]);
  return bitmap;
}

TDibImage Decoded(TMemoryStream& stream) {
  return DecodeBmpFile(static_cast<const uint8_t*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

TColor ColourAt(const TDibImage& image, int x) {
  unsigned index = image.BitCount == 8 ? image.Bits[static_cast<size_t>(x)]
                   : image.BitCount == 4 ? (x % 2 ? image.Bits[static_cast<size_t>(x / 2)] & 15
                                                  : image.Bits[static_cast<size_t>(x / 2)] >> 4)
                                         : (image.Bits[static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
  const TDibColor& c = image.Palette[index];
  return RGB(c.Red, c.Green, c.Blue);
}

class KitGraphTest : public AppTest {};

}  // namespace

TEST_F(KitGraphTest, TrueColourBecomesAnEightBitFileOfTheMethod) {
  std::unique_ptr<TBitmap> bitmap = Colours({clRed, clLime, clBlue, clWhite});
  std::unique_ptr<TMemoryStream> stream = BitmapToStream(bitmap.get(), pf8bit, kReduceFixed784);
  EXPECT_EQ(stream->Position(), 0);
  TDibImage image = Decoded(*stream);
  EXPECT_EQ(image.BitCount, 8);
  EXPECT_EQ(ReadLe32(static_cast<const uint8_t*>(stream->Memory()) + kBmpFileHeaderSize + 32), 224u);
  EXPECT_EQ(image.Bits[3], 223);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(ColourAt(image, x), (std::vector<TColor>{clRed, clLime, clBlue, clWhite}[x]));
}

TEST_F(KitGraphTest, BitmapOfTheTargetFormatIsSavedUnlessGrayIsWanted) {
  std::unique_ptr<TBitmap> bitmap = Colours({clRed, clNavy});
  bitmap->SetPixelFormat(pf8bit);
  TMemoryStream saved;
  bitmap->SaveToStream(saved);
  std::unique_ptr<TMemoryStream> same = BitmapToStream(bitmap.get(), pf8bit, kReducePopularity);
  ASSERT_EQ(same->Size(), saved.Size());
  EXPECT_EQ(std::memcmp(same->Memory(), saved.Memory(), static_cast<size_t>(saved.Size())), 0);

  TDibImage gray = Decoded(*BitmapToStream(bitmap.get(), pf8bit, kReduceGrayscale));
  int level = (77 * 255) >> 8;
  EXPECT_EQ(ColourAt(gray, 0), RGB(level, level, level));
}

TEST_F(KitGraphTest, FewColoursGoToOneAndFourBitFiles) {
  std::unique_ptr<TBitmap> bitmap = Colours({clBlack, clWhite, clWhite, clBlack});
  TDibImage mono = Decoded(*BitmapToStreamByColors(bitmap.get(), 2));
  EXPECT_EQ(mono.BitCount, 1);
  EXPECT_EQ(ColourAt(mono, 0), clBlack);
  EXPECT_EQ(ColourAt(mono, 1), clWhite);
  TDibImage sixteen = Decoded(*BitmapToStreamByColors(Colours({clRed, clBlue, clLime}).get(), 16));
  EXPECT_EQ(sixteen.BitCount, 4);
  EXPECT_EQ(ColourAt(sixteen, 0), clRed);
  EXPECT_EQ(ColourAt(sixteen, 1), clBlue);
  EXPECT_EQ(Decoded(*BitmapToStreamByColors(bitmap.get(), 100)).BitCount, 8);
  EXPECT_EQ(Decoded(*BitmapToStreamByColors(bitmap.get(), 1000)).BitCount, 24);
}

TEST_F(KitGraphTest, BitmapWithoutAPictureIsRefused) {
  TBitmap empty;
  try {
    BitmapToStream(&empty, pf8bit, kReducePopularity);
    FAIL();
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), "Bitmap image is not valid");
  }
}

TEST_F(KitGraphTest, UnsupportedTargetsSayNotImplementedUnderTheProgramsTitleAndAbort) {
  app_->SetTitle("hl2demo");
  std::unique_ptr<TBitmap> bitmap = Colours({clRed});
  EXPECT_THROW(BitmapToStream(bitmap.get(), pf16bit, kReducePopularity), EAbort);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], std::string("hl2demo: ") + SNotImplemented);
}

TEST_F(KitGraphTest, IconsTravelThroughTheClipboardInTheirOwnFormat) {
  TDibImage color;
  color.Width = color.Height = 16;
  color.BitCount = 4;
  color.Palette.assign(16, TDibColor{});
  color.Palette[1] = TDibColor{0, 255, 0, 0};
  color.Bits.assign(color.Stride() * 16, 0x11);
  TDibImage mask = color;
  mask.BitCount = 1;
  mask.Palette = {TDibColor{}, TDibColor{255, 255, 255, 0}};
  mask.Bits.assign(mask.Stride() * 16, 0);
  std::vector<uint8_t> bytes = EncodeIconFile(color, mask);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(stream);

  EXPECT_NE(IconClipboardFormat(), 0u);
  EXPECT_EQ(IconClipboardFormat(), IconClipboardFormat());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  TIcon pasted;
  EXPECT_FALSE(LoadIconFromClipboard(&pasted));
  SaveIconToClipboard(&icon);
  EXPECT_TRUE(LoadIconFromClipboard(&pasted));
  CloseClipboard();
  EXPECT_EQ(pasted.Width(), 16);
  TMemoryStream again;
  pasted.SaveToStream(again);
  EXPECT_EQ(again.Size(), static_cast<int64_t>(bytes.size()));
}
