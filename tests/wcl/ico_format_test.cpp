#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/ico_format.h"
#include "platform/wcl/le_bytes.h"

namespace {

TDibImage Plain(int width, int height, int bits) {
  TDibImage image;
  image.Width = width;
  image.Height = height;
  image.BitCount = bits;
  if (bits <= 8) image.Palette.resize(size_t{1} << bits);
  image.Bits.assign(image.Stride() * height, 0x5A);
  return image;
}

std::vector<uint8_t> OneIcon(int size, int bits) {
  return EncodeIconFile(Plain(size, size, bits), Plain(size, size, 1));
}

// Joins the single images of several one-image files into one file.
std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& files, uint16_t type = 1) {
  std::vector<uint8_t> out;
  AppendLe16(out, 0);
  AppendLe16(out, type);
  AppendLe16(out, static_cast<uint32_t>(files.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * files.size());
  for (const auto& f : files) {
    out.insert(out.end(), f.begin() + 6, f.begin() + 18);
    AppendLe32(out, offset);
    offset += static_cast<uint32_t>(f.size() - 22);
  }
  for (const auto& f : files) out.insert(out.end(), f.begin() + 22, f.end());
  return out;
}

}  // namespace

TEST(IcoFormat, WrittenIconsParseBackWithTheirMeasures) {
  std::vector<uint8_t> file = OneIcon(32, 8);
  TIconDirectory directory = ParseIconFile(file.data(), file.size());
  EXPECT_FALSE(directory.Cursor);
  ASSERT_EQ(directory.Entries.size(), 1u);
  EXPECT_EQ(directory.Entries[0].Width, 32);
  EXPECT_EQ(directory.Entries[0].Height, 32);
  EXPECT_EQ(directory.Entries[0].BitCount, 8);
  EXPECT_EQ(directory.Extent, file.size());
  EXPECT_EQ(file.size(), 6u + 16 + 40 + 256 * 4 + 32 * 32 + 4 * 32);
  EXPECT_EQ(IconFileExtent(file.data(), 22), file.size());

  std::vector<uint8_t> cursor = Join({OneIcon(16, 1)}, 2);
  cursor[10] = 3;  // hot spot x
  cursor[12] = 9;  // hot spot y
  TIconDirectory cursorDirectory = ParseIconFile(cursor.data(), cursor.size());
  EXPECT_TRUE(cursorDirectory.Cursor);
  EXPECT_EQ(cursorDirectory.Entries[0].HotSpotX, 3);
  EXPECT_EQ(cursorDirectory.Entries[0].HotSpotY, 9);
}

TEST(IcoFormat, BestEntryIsTheNearestSizeThenTheMostColours) {
  std::vector<uint8_t> file =
      Join({OneIcon(16, 4), OneIcon(32, 8), OneIcon(32, 32), OneIcon(48, 32)});
  TIconDirectory directory = ParseIconFile(file.data(), file.size());
  EXPECT_EQ(BestIconEntry(directory, 32, 32), 2u);
  EXPECT_EQ(BestIconEntry(directory, 16, 16), 0u);
  EXPECT_EQ(BestIconEntry(directory, 24, 24), 2u);  // 16 and 32 are as near: the larger wins
  EXPECT_EQ(BestIconEntry(directory, 64, 64), 3u);
}

TEST(IcoFormat, PngImagesAreMeasuredFromTheirHeader) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13,
                              'I', 'H', 'D', 'R', 0, 0, 1, 0, 0, 0, 0, 64, 8, 6};
  std::vector<uint8_t> file;
  AppendLe16(file, 0);
  AppendLe16(file, 1);
  AppendLe16(file, 1);
  file.insert(file.end(), {0, 64, 0, 0, 1, 0, 32, 0});
  AppendLe32(file, static_cast<uint32_t>(png.size()));
  AppendLe32(file, 22);
  file.insert(file.end(), png.begin(), png.end());
  TIconDirectory directory = ParseIconFile(file.data(), file.size());
  EXPECT_TRUE(directory.Entries[0].Png);
  EXPECT_EQ(directory.Entries[0].Width, 256);
  EXPECT_EQ(directory.Entries[0].Height, 64);
}

TEST(IcoFormat, DamagedDirectoriesAreRefused) {
  const std::vector<uint8_t> good = OneIcon(16, 4);
  auto parse = [](const std::vector<uint8_t>& f) { ParseIconFile(f.data(), f.size()); };
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> f = good;
    f[at] = value;
    return f;
  };
  EXPECT_THROW(parse(with(0, 1)), EInvalidGraphic);   // reserved word
  EXPECT_THROW(parse(with(2, 3)), EInvalidGraphic);   // neither icon nor cursor
  EXPECT_THROW(parse(with(4, 0)), EInvalidGraphic);   // no entries
  EXPECT_THROW(parse(with(18, 10)), EInvalidGraphic); // image inside the directory
  EXPECT_THROW(parse(with(14, 0)), EInvalidGraphic);  // image of 0 bytes
  EXPECT_THROW(parse(with(15, 0)), EInvalidGraphic);  // entry too small for its bitmap
  EXPECT_THROW(parse(with(26, 0)), EInvalidGraphic);  // image of width 0
  EXPECT_THROW(parse(with(36, 3)), EInvalidGraphic);  // image with an odd depth

  EXPECT_THROW(parse(std::vector<uint8_t>(good.begin(), good.end() - 1)), EReadError);
  EXPECT_THROW(parse(std::vector<uint8_t>(good.begin(), good.begin() + 4)), EReadError);
  // 65535 entries announced in a 6-byte file.
  std::vector<uint8_t> many = {0, 0, 1, 0, 0xFF, 0xFF};
  EXPECT_THROW(parse(many), EReadError);
  // An entry pointing 4 GiB out.
  std::vector<uint8_t> far = good;
  far[21] = 0xFF;
  EXPECT_THROW(parse(far), EReadError);
}
