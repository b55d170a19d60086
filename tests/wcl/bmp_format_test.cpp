#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/bmp_format.h"
#include "platform/wcl/le_bytes.h"

namespace {

TDibImage Pattern(int width, int height, int bits) {
  TDibImage image;
  image.Width = width;
  image.Height = height;
  image.BitCount = bits;
  if (bits <= 8) {
    image.Palette.resize(size_t{1} << bits);
    for (size_t i = 0; i < image.Palette.size(); ++i) {
      image.Palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
    }
  }
  if (bits == 16) image.Masks = {0xF800, 0x07E0, 0x001F};
  image.Bits.resize(image.Stride() * height);
  for (size_t i = 0; i < image.Bits.size(); ++i) image.Bits[i] = static_cast<uint8_t>(i * 31 + 7);
  return image;
}

void ExpectSame(const TDibImage& a, const TDibImage& b) {
  EXPECT_EQ(a.Width, b.Width);
  EXPECT_EQ(a.Height, b.Height);
  EXPECT_EQ(a.BitCount, b.BitCount);
  EXPECT_EQ(a.Masks, b.Masks);
  ASSERT_EQ(a.Palette.size(), b.Palette.size());
  for (size_t i = 0; i < a.Palette.size(); ++i) {
    EXPECT_EQ(a.Palette[i].Red, b.Palette[i].Red);
    EXPECT_EQ(a.Palette[i].Green, b.Palette[i].Green);
    EXPECT_EQ(a.Palette[i].Blue, b.Palette[i].Blue);
  }
  EXPECT_EQ(a.Bits, b.Bits);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  std::vector<uint8_t> le;
  AppendLe32(le, value);
  std::copy(le.begin(), le.end(), bytes.begin() + at);
}

template <typename E>
void ExpectDecodeThrows(const std::vector<uint8_t>& file) {
  EXPECT_THROW(DecodeBmpFile(file.data(), file.size()), E);
}

}  // namespace

TEST(BmpFormat, EveryDepthRoundTripsThroughAFile) {
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    TDibImage image = Pattern(13, 5, bits);
    std::vector<uint8_t> file = EncodeBmpFile(image);
    EXPECT_EQ(file.size(), BmpFileExtent(file.data(), file.size()));
    EXPECT_EQ(ReadLe32(&file[2]), file.size());
    ExpectSame(image, DecodeBmpFile(file.data(), file.size()));
  }
}

TEST(BmpFormat, TopDownRowsAreStoredBottomUp) {
  TDibImage image = Pattern(3, 4, 24);
  std::vector<uint8_t> file = EncodeBmpFile(image);
  size_t offBits = ReadLe32(&file[10]);
  size_t stride = image.Stride();
  Put32(file, 22, static_cast<uint32_t>(-4));
  for (int row = 0; row < 4; ++row) {
    std::copy_n(image.Bits.begin() + stride * (3 - row), stride, file.begin() + offBits + stride * row);
  }
  ExpectSame(image, DecodeBmpFile(file.data(), file.size()));
}

TEST(BmpFormat, ShortColourTablesAndOldHeadersAreRead) {
  // An 8-bit file that lists only 2 colours: the table is completed with black.
  TDibImage image = Pattern(4, 2, 8);
  for (auto& b : image.Bits) b &= 1;
  TDibImage shortTable = image;
  shortTable.Palette.resize(2);
  std::vector<uint8_t> file = EncodeBmpFile(shortTable);
  TDibImage read = DecodeBmpFile(file.data(), file.size());
  ASSERT_EQ(read.Palette.size(), 256u);
  EXPECT_EQ(read.Palette[1].Red, image.Palette[1].Red);
  EXPECT_EQ(read.Palette[2].Red, 0);
  EXPECT_EQ(read.Bits, image.Bits);

  // The 12-byte core header with 3-byte colour entries.
  TDibImage mono = Pattern(9, 3, 1);
  std::vector<uint8_t> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  AppendLe32(core, 12);
  AppendLe16(core, 9);
  AppendLe16(core, 3);
  AppendLe16(core, 1);
  AppendLe16(core, 1);
  for (const TDibColor& c : mono.Palette) core.insert(core.end(), {c.Blue, c.Green, c.Red});
  Put32(core, 10, static_cast<uint32_t>(core.size()));
  core.insert(core.end(), mono.Bits.begin(), mono.Bits.end());
  ExpectSame(mono, DecodeBmpFile(core.data(), core.size()));
}

TEST(BmpFormat, ExtentHonoursThePixelOffsetAndIgnoresTrailingBytes) {
  TDibImage image = Pattern(2, 2, 24);
  std::vector<uint8_t> file = EncodeBmpFile(image);
  size_t plain = file.size();
  // Move the pixels 6 bytes further out, as some writers do.
  file.insert(file.begin() + 54, 6, 0xEE);
  Put32(file, 10, 60);
  file.insert(file.end(), {1, 2, 3});
  EXPECT_EQ(BmpFileExtent(file.data(), file.size()), plain + 6);
  ExpectSame(image, DecodeBmpFile(file.data(), file.size()));
}

TEST(BmpFormat, DamagedHeadersAreInvalidGraphics) {
  const std::vector<uint8_t> good = EncodeBmpFile(Pattern(4, 4, 8));
  auto with = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> file = good;
    Put32(file, at, value);
    return file;
  };
  std::vector<uint8_t> notBm = good;
  notBm[0] = 'X';
  ExpectDecodeThrows<EInvalidGraphic>(notBm);
  ExpectDecodeThrows<EInvalidGraphic>(with(14, 33));            // unknown info header size
  ExpectDecodeThrows<EInvalidGraphic>(with(18, 0));             // no width
  ExpectDecodeThrows<EInvalidGraphic>(with(18, 16385));         // over the cap
  ExpectDecodeThrows<EInvalidGraphic>(with(22, 0x80000000u));   // height of INT_MIN
  ExpectDecodeThrows<EInvalidGraphic>(with(26, 7u << 16 | 1));  // 7 bits per pixel
  ExpectDecodeThrows<EInvalidGraphic>(with(30, 1));             // run-length compression
  ExpectDecodeThrows<EInvalidGraphic>(with(46, 257));           // more colours than 8 bits hold
  ExpectDecodeThrows<EInvalidGraphic>(with(10, 20));            // pixels inside the header
}

TEST(BmpFormat, DataEndingEarlyIsAReadErrorWithoutAllocating) {
  const std::vector<uint8_t> good = EncodeBmpFile(Pattern(4, 4, 24));
  ExpectDecodeThrows<EReadError>(std::vector<uint8_t>(good.begin(), good.end() - 1));
  ExpectDecodeThrows<EReadError>(std::vector<uint8_t>(good.begin(), good.begin() + 30));
  ExpectDecodeThrows<EReadError>(std::vector<uint8_t>(good.begin(), good.begin() + 10));

  // A header announcing 16384 x 16384 x 32 bits followed by nothing: the extent is known
  // from the header alone, and decoding stops before any pixel buffer is made.
  std::vector<uint8_t> huge(good.begin(), good.begin() + 54);
  Put32(huge, 18, 16384);
  Put32(huge, 22, 16384);
  huge[28] = 32;
  EXPECT_EQ(BmpFileExtent(huge.data(), huge.size()), 54u + 16384u * 16384u * 4u);
  ExpectDecodeThrows<EReadError>(huge);
  Put32(huge, 10, 0xFFFFFFF0u);  // a pixel offset near 4 GiB
  ExpectDecodeThrows<EReadError>(huge);
}

TEST(BmpFormat, BitFieldHeadersTooShortForTheirMasksAreRefused) {
  // A 44-byte header with bit fields: the masks would be read past the header and the data.
  std::vector<uint8_t> packed(44 + 4, 0);
  Put32(packed, 0, 44);
  Put32(packed, 4, 1);
  Put32(packed, 8, 1);
  packed[12] = 1;
  packed[14] = 32;
  Put32(packed, 16, 3);
  EXPECT_THROW(DecodePackedDib(packed.data(), packed.size()), EInvalidGraphic);
}

TEST(BmpFormat, PackedBitmapsStartWithTheInfoHeader) {
  TDibImage image = Pattern(5, 3, 4);
  std::vector<uint8_t> file = EncodeBmpFile(image);
  std::vector<uint8_t> packed(file.begin() + kBmpFileHeaderSize, file.end());
  ExpectSame(image, DecodePackedDib(packed.data(), packed.size()));
  packed.pop_back();
  EXPECT_THROW(DecodePackedDib(packed.data(), packed.size()), EReadError);
}
