#include "demo/color_reduction.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

namespace {

struct TRgbPixel {
  int R, G, B;
};

// A 24-bit picture, rows bottom-up, of the given pixels in file order (bottom row first).
TDibImage TrueColor(int width, int height, const std::vector<TRgbPixel>& pixels) {
  TDibImage picture;
  picture.Width = width;
  picture.Height = height;
  picture.BitCount = 24;
  picture.Bits.assign(picture.Stride() * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TRgbPixel& p = pixels[static_cast<size_t>(y * width + x) % pixels.size()];
      uint8_t* at = picture.Bits.data() + static_cast<size_t>(y) * picture.Stride() + static_cast<size_t>(x) * 3;
      at[0] = static_cast<uint8_t>(p.B);
      at[1] = static_cast<uint8_t>(p.G);
      at[2] = static_cast<uint8_t>(p.R);
    }
  return picture;
}

uint8_t IndexAt(const TDibImage& picture, int x, int y) {
  return picture.Bits[static_cast<size_t>(y) * picture.Stride() + static_cast<size_t>(x)];
}

std::tuple<int, int, int> PaletteColor(const TDibImage& picture, int index) {
  const TDibColor& c = picture.Palette[static_cast<size_t>(index)];
  return {c.Red, c.Green, c.Blue};
}

}  // namespace

TEST(ColorReduction, LevelTablesPickTheNearestLevel) {
  EXPECT_EQ(LevelValue(7, NearestLevelIndex(7, 42)), 43);
  EXPECT_EQ(LevelValue(8, NearestLevelIndex(8, 42)), 36);
  EXPECT_EQ(NearestLevelIndex(4, 0), 0);
  EXPECT_EQ(NearestLevelIndex(4, 255), 3);
  EXPECT_EQ(NearestLevelIndex(6, 25), 0);   // 25 is nearer 0 than 51
  EXPECT_EQ(NearestLevelIndex(6, 26), 1);
}

TEST(ColorReduction, FixedPalettesMapChannelsThroughTheLevels) {
  TDibImage white = TrueColor(1, 1, {{255, 255, 255}});
  uint32_t count = 0;
  TDibImage reduced = ReduceTo8Bit(white, kReduceFixed784, &count);
  EXPECT_EQ(IndexAt(reduced, 0, 0), 6 * 32 + 7 * 4 + 3);
  EXPECT_EQ(count, 224u);
  EXPECT_EQ(PaletteColor(reduced, 223), std::make_tuple(255, 255, 255));
  EXPECT_EQ(PaletteColor(reduced, 224), std::make_tuple(128, 128, 128));

  reduced = ReduceTo8Bit(TrueColor(1, 1, {{110, 0, 200}}), kReduceFixed666, &count);
  EXPECT_EQ(count, 216u);
  EXPECT_EQ(IndexAt(reduced, 0, 0), 2 * 36 + 0 * 6 + 4);
  EXPECT_EQ(PaletteColor(reduced, 2 * 36 + 4), std::make_tuple(102, 0, 204));
}

TEST(ColorReduction, PopularityKeepsFewColoursExactly) {
  std::vector<TRgbPixel> pixels{{10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {200, 100, 0}, {5, 5, 5}, {200, 100, 0}};
  TDibImage source = TrueColor(3, 2, pixels);
  uint32_t count = 99;
  TDibImage reduced = ReduceTo8Bit(source, kReducePopularity, &count);
  EXPECT_EQ(count, 0u);
  // Most frequent first.
  EXPECT_EQ(PaletteColor(reduced, 0), std::make_tuple(10, 20, 30));
  EXPECT_EQ(PaletteColor(reduced, 1), std::make_tuple(200, 100, 0));
  EXPECT_EQ(PaletteColor(reduced, 2), std::make_tuple(5, 5, 5));
  EXPECT_EQ(PaletteColor(reduced, 3), std::make_tuple(128, 128, 128));
  for (int i = 0; i < 6; ++i) {
    auto expected = std::make_tuple(pixels[static_cast<size_t>(i)].R, pixels[static_cast<size_t>(i)].G,
                                    pixels[static_cast<size_t>(i)].B);
    EXPECT_EQ(PaletteColor(reduced, IndexAt(reduced, i % 3, i / 3)), expected) << i;
  }
}

TEST(ColorReduction, PopularityDropsBlueBitsFirstWhenTheHistogramOverflows) {
  // 3000 colours; without blue's lowest bit only 1500 remain, within the histogram's room.
  std::vector<TRgbPixel> pixels;
  for (int i = 0; i < 3000; ++i) pixels.push_back({i % 50 * 5 + 1, (i / 50) % 30 * 8 + 1, i / 1500});
  TDibImage reduced = ReduceTo8Bit(TrueColor(100, 30, pixels), kReducePopularity);
  bool oddRed = false;
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(std::get<2>(PaletteColor(reduced, i)) & 1, 0) << i;
    oddRed = oddRed || (std::get<0>(PaletteColor(reduced, i)) & 1) != 0;
  }
  EXPECT_TRUE(oddRed);  // red kept all its bits
}

TEST(ColorReduction, MedianCutOfOneColourIsOneBox) {
  uint32_t count = 0;
  TDibImage reduced = ReduceTo8Bit(TrueColor(4, 4, {{0x35, 0x70, 0xA2}}), kReduceMedianCut, &count);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(PaletteColor(reduced, 0), std::make_tuple(16 * 3 + 15, 16 * 7 + 15, 16 * 10 + 15));
  EXPECT_EQ(PaletteColor(reduced, 1), std::make_tuple(0, 0, 0));
  EXPECT_EQ(PaletteColor(reduced, 255), std::make_tuple(0, 0, 0));

  reduced = ReduceTo8Bit(TrueColor(2, 2, {{12, 3, 0}}), kReduceMedianCut);
  EXPECT_EQ(PaletteColor(reduced, 0), std::make_tuple(0, 0, 0));  // all channels at most 16
}

TEST(ColorReduction, MedianCutSplitsDistinctCellsIntoTheirOwnBoxes) {
  std::vector<TRgbPixel> pixels{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {128, 128, 128}};
  TDibImage source = TrueColor(6, 1, pixels);
  uint32_t count = 0;
  TDibImage reduced = ReduceTo8Bit(source, kReduceMedianCut, &count);
  EXPECT_EQ(count, 6u);
  std::set<int> indices;
  for (int x = 0; x < 6; ++x) {
    indices.insert(IndexAt(reduced, x, 0));
    auto [r, g, b] = PaletteColor(reduced, IndexAt(reduced, x, 0));
    EXPECT_NEAR(r, pixels[static_cast<size_t>(x)].R, 16) << x;
    EXPECT_NEAR(g, pixels[static_cast<size_t>(x)].G, 16) << x;
    EXPECT_NEAR(b, pixels[static_cast<size_t>(x)].B, 16) << x;
  }
  EXPECT_EQ(indices.size(), 6u);
  // The same picture always gives the same palette.
  EXPECT_EQ(ReduceTo8Bit(source, kReduceMedianCut).Palette.size(), 256u);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(PaletteColor(ReduceTo8Bit(source, kReduceMedianCut), i), PaletteColor(reduced, i));
}

TEST(ColorReduction, TripelAndGrayscaleFollowTheirFormulas) {
  TDibImage source = TrueColor(3, 2, {{100, 150, 200}});
  TDibImage tripel = ReduceTo8Bit(source, kReduceTripel);
  EXPECT_EQ(IndexAt(tripel, 0, 0), 100 / 4);
  EXPECT_EQ(IndexAt(tripel, 1, 0), 64 + 150 / 4);
  EXPECT_EQ(IndexAt(tripel, 2, 0), 128 + 200 / 4);
  EXPECT_EQ(IndexAt(tripel, 0, 1), 64 + 150 / 4);
  EXPECT_EQ(PaletteColor(tripel, 70), std::make_tuple(0, 24, 0));
  EXPECT_EQ(PaletteColor(tripel, 200), std::make_tuple(0, 0, 0));

  TDibImage gray = ReduceTo8Bit(source, kReduceGrayscale);
  EXPECT_EQ(IndexAt(gray, 0, 0), (77 * 100 + 150 * 150 + 29 * 200) >> 8);
  EXPECT_EQ(PaletteColor(gray, 77), std::make_tuple(77, 77, 77));
}

TEST(ColorReduction, RefusesPicturesWithoutPixels) {
  TDibImage empty;
  empty.BitCount = 24;
  for (uint8_t method = 0; method <= kReduceGrayscale; ++method)
    EXPECT_THROW(ReduceTo8Bit(empty, method), EInvalidGraphic) << int(method);
}

TEST(ColorReduction, BitmapFileDeclaresTheColourCount) {
  std::vector<uint8_t> file = ReducedBitmapFile(TrueColor(5, 3, {{1, 2, 3}, {200, 0, 0}}), kReduceFixed784);
  EXPECT_EQ(ReadLe32(&file[kBmpFileHeaderSize + 32]), 224u);
  TDibImage decoded = DecodeBmpFile(file.data(), file.size());
  EXPECT_EQ(decoded.BitCount, 8);
  EXPECT_EQ(decoded.Width, 5);
  EXPECT_EQ(decoded.Height, 3);
}

TEST(ColorReduction, TrueColorCopyResolvesPalettesAndMasks) {
  TDibImage indexed;
  indexed.Width = 3;
  indexed.Height = 1;
  indexed.BitCount = 4;
  indexed.Palette.resize(16);
  indexed.Palette[2] = TDibColor{30, 20, 10, 0};
  indexed.Bits = {0x20, 0x20, 0, 0};
  TDibImage rgb = ToTrueColor(indexed);
  EXPECT_EQ(rgb.Bits[0], 30);
  EXPECT_EQ(rgb.Bits[2], 10);
  EXPECT_EQ(rgb.Bits[3], 0);
  EXPECT_EQ(rgb.Bits[6], 30);

  TDibImage sixteen;
  sixteen.Width = 1;
  sixteen.Height = 1;
  sixteen.BitCount = 16;
  sixteen.Bits = {0x00, 0x7C, 0, 0};  // full red in 5-5-5
  rgb = ToTrueColor(sixteen);
  EXPECT_EQ(rgb.Bits[2], 255);
  EXPECT_EQ(rgb.Bits[1], 0);
}

TEST(ColorReduction, KeyColourKeepsAnExactEntryOfItsOwn) {
  // Median cut averages cells: the key (1, 2, 250) would come out as a box colour.
  std::vector<TRgbPixel> pixels{{1, 2, 250}, {3, 3, 240}, {200, 10, 10}, {1, 2, 250}};
  TDibImage source = TrueColor(4, 1, pixels);
  TDibImage reduced = ReduceTo8Bit(source, kReduceMedianCut);
  KeepKeyColor(source, reduced, 0xFA0201);
  uint8_t key = IndexAt(reduced, 0, 0);
  EXPECT_EQ(IndexAt(reduced, 3, 0), key);
  EXPECT_EQ(PaletteColor(reduced, key), std::make_tuple(1, 2, 250));
  EXPECT_NE(IndexAt(reduced, 1, 0), key);
  EXPECT_NE(IndexAt(reduced, 2, 0), key);

  // Every entry in use by other pixels: the least used one is given up to the key, its
  // pixels move to the nearest other entry, and no other entry keeps the key's colour.
  std::vector<TRgbPixel> many;
  for (int i = 0; i < 256; ++i) many.push_back({i, 255 - i, i / 2});
  many.push_back({0, 255, 0});  // the key, equal to the first colour's entry
  many[0] = {0, 255, 1};
  TDibImage wide = TrueColor(257, 1, many);
  TDibImage reducedWide = ReduceTo8Bit(wide, kReducePopularity);
  KeepKeyColor(wide, reducedWide, 0x00FF00);
  uint8_t wideKey = IndexAt(reducedWide, 256, 0);
  EXPECT_EQ(PaletteColor(reducedWide, wideKey), std::make_tuple(0, 255, 0));
  for (int x = 0; x < 256; ++x) EXPECT_NE(IndexAt(reducedWide, x, 0), wideKey) << x;
  for (int i = 0; i < 256; ++i) {
    if (i == wideKey) continue;
    EXPECT_NE(PaletteColor(reducedWide, i), std::make_tuple(0, 255, 0)) << i;
  }
}
