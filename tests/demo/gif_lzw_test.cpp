#include "demo/gif_lzw.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "demo/demo_texts.h"
#include "gif_test_bytes.h"
#include "gif_test_pictures.h"
#include "platform/rtl/exceptions.h"

using namespace gif_test;

namespace {

TGifDecodeResult Decode(const std::vector<uint8_t>& raster, TPicture& into, int frameBits, bool interlaced = false,
                        bool tolerant = true) {
  return DecodeGifRaster(raster.data(), raster.size(), into.Pixels, frameBits, interlaced, tolerant);
}

// A decoder written the plain way, as other programs read GIF rasters: every code after the
// first defines an entry, the width grows when the next entry would not fit, and the end
// code must come. Returns the number of pixels before the end code, or -1 when the codes
// do not follow the format.
long ReferencePixelCount(const std::vector<uint8_t>& raster) {
  int m = raster.at(0);
  std::vector<uint8_t> data;
  size_t pos = 1;
  for (;;) {
    if (pos >= raster.size()) return -1;
    uint8_t length = raster[pos++];
    if (length == 0) break;
    if (pos + length > raster.size()) return -1;
    data.insert(data.end(), raster.begin() + static_cast<long>(pos), raster.begin() + static_cast<long>(pos + length));
    pos += length;
  }
  if (pos != raster.size()) return -1;
  const int clear = 1 << m, end = clear + 1;
  int width = m + 1, next = clear + 2;
  bool first = true;
  std::vector<long> lengths(4096, 1);
  long pixels = 0, previous = 0;
  size_t bit = 0;
  for (;;) {
    if (bit + static_cast<size_t>(width) > data.size() * 8) return -1;
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    if (code == end) return (data.size() * 8 - bit < 8) ? pixels : -1;
    if (code == clear) {
      width = m + 1;
      next = clear + 2;
      first = true;
      continue;
    }
    if (code > next || (first && code >= clear)) return -1;
    long length = code < clear ? 1 : code == next ? lengths[static_cast<size_t>(previous)] + 1
                                                  : lengths[static_cast<size_t>(code)];
    pixels += length;
    if (!first && next < 4096) {
      lengths[static_cast<size_t>(next)] = lengths[static_cast<size_t>(previous)] + 1;
      ++next;
      if (next == (1 << width) && width < 12) ++width;
    }
    first = false;
    previous = code;
  }
}

}  // namespace

TEST(GifLzw, RoundTripsPicturesOfEveryDepthAndShape) {
  struct Case {
    int width, height, bits, colors;
    bool interlaced;
  };
  for (const Case& c : {Case{1, 1, 1, 2, false}, Case{7, 3, 1, 2, true}, Case{13, 9, 4, 16, false},
                        Case{5, 17, 4, 16, true}, Case{31, 11, 8, 256, false}, Case{256, 256, 8, 256, false},
                        Case{300, 40, 8, 3, true}, Case{640, 8, 1, 2, false}}) {
    TPicture picture = Noise(c.width, c.height, c.bits, static_cast<unsigned>(c.width * 31 + c.height), c.colors);
    std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, c.interlaced);
    EXPECT_EQ(raster[0], c.bits == 1 ? 2 : c.bits);
    TPicture decoded(c.width, c.height, c.bits);
    EXPECT_EQ(Decode(raster, decoded, c.bits, c.interlaced), TGifDecodeResult::Complete);
    EXPECT_TRUE(decoded.SamePixels(picture)) << c.width << "x" << c.height << "x" << c.bits;
    // Other readers see exactly the picture's pixels and a proper end code.
    EXPECT_EQ(ReferencePixelCount(raster), static_cast<long>(c.width) * c.height) << c.width << "x" << c.height;
  }
}

TEST(GifLzw, CodeStreamsEndCleanlyAtEveryDictionarySize) {
  // Pictures of every length up to past the first reset: the last code falls at every
  // dictionary size, so the end code comes right after each width change and on every bit
  // offset; and long uniform runs reach the reset on various pixels.
  for (int bits : {1, 4}) {
    for (int width = 1; width <= 1500; ++width) {
      TPicture picture = Noise(width, 1, bits, static_cast<unsigned>(width));
      std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
      ASSERT_EQ(ReferencePixelCount(raster), width) << bits << " bits, " << width;
    }
  }
  for (int width : {1, 2, 100, 4093, 4094, 4095, 9000, 20000}) {
    TPicture picture(width, 1, 8);
    std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
    EXPECT_EQ(ReferencePixelCount(raster), width) << width;
    TPicture decoded(width, 1, 8);
    decoded.Bits.assign(decoded.Bits.size(), 0xEE);
    EXPECT_EQ(Decode(raster, decoded, 8), TGifDecodeResult::Complete);
    EXPECT_TRUE(decoded.SamePixels(picture)) << width;
  }
}

TEST(GifLzw, SubBlocksHold255BytesUntilTheLast) {
  TPicture picture = Noise(200, 50, 8, 7);
  std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
  size_t pos = 1;
  int blocks = 0;
  while (raster.at(pos) != 0) {
    size_t length = raster[pos];
    pos += length + 1;
    ++blocks;
    if (raster.at(pos) != 0) {
      EXPECT_EQ(length, 255u);
    }
  }
  EXPECT_GT(blocks, 10);
  EXPECT_EQ(pos + 1, raster.size());
}

TEST(GifLzw, ReportsProgressByRowsFromZeroToHundred) {
  TPicture picture = Noise(10, 4, 8, 3);
  std::vector<int> seen;
  EncodeGifRaster(picture.Pixels, false, [&](int percent) { seen.push_back(percent); });
  EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100, 100}));
}

TEST(GifLzw, DecodesRastersWithoutALeadingClearCode) {
  TPicture decoded(4, 1, 1);
  std::vector<uint8_t> raster = Raster(2, PackCodes({{0, 3}, {1, 3}, {6, 3}, {5, 4}}));
  EXPECT_EQ(Decode(raster, decoded, 1), TGifDecodeResult::Complete);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(decoded.At(x, 0), static_cast<unsigned>(x % 2)) << x;
}

TEST(GifLzw, CodeSizeBelowTheFrameBitsStillUsesTheDictionary) {
  // Frame of 8 colours coded with size 2: code 6 is the string (1, 2), not the colour 6.
  TPicture decoded(4, 1, 4);
  std::vector<uint8_t> raster = Raster(2, PackCodes({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}));
  EXPECT_EQ(Decode(raster, decoded, 3), TGifDecodeResult::Complete);
  EXPECT_EQ(decoded.At(0, 0), 1u);
  EXPECT_EQ(decoded.At(1, 0), 2u);
  EXPECT_EQ(decoded.At(2, 0), 1u);
  EXPECT_EQ(decoded.At(3, 0), 2u);
}

TEST(GifLzw, RefusesCodeSizesOutsideTwoToNine) {
  TPicture decoded(4, 1, 8);
  for (int size : {0, 1, 10, 12}) {
    try {
      Decode(Raster(size, PackCodes({{0, 3}})), decoded, 8);
      FAIL() << size;
    } catch (const EInvalidGraphicOperation& error) {
      EXPECT_EQ(error.Message(), SGIFCodeSizeError);
    }
  }
}

TEST(GifLzw, CutDataKeepsTheRowsDecodedSoFar) {
  TPicture picture = Noise(40, 20, 8, 9, 4);
  std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
  std::vector<uint8_t> cut(raster.begin(), raster.begin() + static_cast<long>(raster.size() / 2));
  TPicture decoded(40, 20, 8);
  EXPECT_EQ(Decode(cut, decoded, 8), TGifDecodeResult::Truncated);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(decoded.At(x, 0), picture.At(x, 0));
}

TEST(GifLzw, HostileCodesNeverWriteOutsideThePicture) {
  // Random rasters: codes beyond the table, first codes naming entries, chains through
  // entries never assigned. Run under the address sanitizer on the host.
  std::mt19937 random(42);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> raster{static_cast<uint8_t>(2 + round % 8)};
    int blocks = 1 + static_cast<int>(random() % 4);
    for (int b = 0; b < blocks; ++b) {
      uint8_t length = static_cast<uint8_t>(1 + random() % 255);
      raster.push_back(length);
      for (int i = 0; i < length; ++i) raster.push_back(static_cast<uint8_t>(random()));
    }
    raster.push_back(0);
    int width = 1 + static_cast<int>(random() % 70), height = 1 + static_cast<int>(random() % 30);
    for (int bits : {1, 4, 8}) {
      TPicture decoded(width, height, bits);
      Decode(raster, decoded, bits == 1 ? 1 : bits == 4 ? 3 : 8, round % 2 == 1, true);
    }
  }
}

TEST(GifLzw, ZeroSizedPicturesEncodeToAnEndCodeAndDecodeToNothing) {
  TPicture empty(0, 0, 8);
  std::vector<uint8_t> raster = EncodeGifRaster(empty.Pixels, false);
  EXPECT_EQ(ReferencePixelCount(raster), 0);
  TPicture zeroWidth(0, 5, 8);
  EXPECT_EQ(Decode(raster, zeroWidth, 8), TGifDecodeResult::Complete);
}

namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

double SecondsToEncode(const TPicture& picture) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  EXPECT_GT(raster.size(), 3u);
  return spent.count();
}

}  // namespace

// Where the dictionary keeps its entries is the encoder's own business: the codes written
// must stay those of the pictures saved so far, byte for byte, whatever the picture.
TEST(GifLzwSpeed, KeepsTheBytesOfEarlierSavesOnEveryKindOfPicture) {
  struct Case {
    const char* name;
    TPicture picture;
    bool interlaced;
    size_t size;
    uint64_t fnv;
  };
  const Case cases[] = {
      {"one colour 2048x2048", Flat(2048, 2048, 200), false, 4013, 0x997905303c876c77ull},
      {"one colour 333x77 interlaced", Flat(333, 77, 0), true, 261, 0x8364e44e7c74cc1ull},
      {"noise 640x480", Noise(640, 480, 8, 11), false, 422307, 0x3ba2b1ece7234b76ull},
      {"noise of 5 colours 500x300 interlaced", Noise(500, 300, 8, 12, 5), true, 52226, 0xbd8b4c430bd47da5ull},
      {"4-bit noise 401x97", Noise(401, 97, 4, 13), false, 23744, 0x8df7cf16f963b79full},
      {"1-bit noise 999x31", Noise(999, 31, 1, 14), false, 4663, 0x3f96341c065471b5ull},
      {"photo-like 1024x768", PhotoLike(1024, 768, 15), false, 497047, 0x7440db27076f1a7bull},
      {"screenshot 1280x800", ScreenLike(1280, 800, 16), false, 40993, 0xf91a532296bdfb1eull},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> raster = EncodeGifRaster(c.picture.Pixels, c.interlaced);
    EXPECT_EQ(raster.size(), c.size) << c.name;
    EXPECT_EQ(Fnv1a(raster), c.fnv) << c.name << std::hex << " 0x" << Fnv1a(raster);
    EXPECT_EQ(ReferencePixelCount(raster), static_cast<long>(c.picture.Pixels.Width) * c.picture.Pixels.Height)
        << c.name;
  }
}

// Long runs of one colour build long strings; finding the next string must not get slower
// the longer they grow. A one-colour picture may take no longer than a photo-like one of
// the same size (the margin keeps a busy machine from failing it).
TEST(GifLzwSpeed, FlatPicturesEncodeNoSlowerThanPhotoLikeOnes) {
  const double photo = SecondsToEncode(PhotoLike(2048, 2048, 21));
  const double flat = SecondsToEncode(Flat(2048, 2048, 7));
  const double screen = SecondsToEncode(ScreenLike(2048, 2048, 22));
  EXPECT_LT(flat, 3 * photo) << flat << " s against " << photo << " s";
  EXPECT_LT(screen, 3 * photo) << screen << " s against " << photo << " s";
}
