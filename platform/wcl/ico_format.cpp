#include "platform/wcl/ico_format.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

namespace {

constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kPngHeaderEnd = 24;  // signature, IHDR length and type, width, height

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }
[[noreturn]] void ShortData() { throw EReadError("Stream read error"); }

uint32_t ReadBe32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

bool IsPng(const uint8_t* image, size_t size) {
  return size >= sizeof kPngSignature && std::equal(kPngSignature, kPngSignature + 8, image);
}

// Fills the entry's measures from its image, checking that the image fits its entry.
void MeasureImage(TIconEntry& entry, const uint8_t* image) {
  if (IsPng(image, entry.Size)) {
    if (entry.Size < kPngHeaderEnd) InvalidIcon();
    uint32_t width = ReadBe32(image + 16);
    uint32_t height = ReadBe32(image + 20);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) InvalidIcon();
    entry.Png = true;
    entry.Width = static_cast<int>(width);
    entry.Height = static_cast<int>(height);
    entry.BitCount = 32;
    return;
  }
  TDibHeaderInfo info;
  try {
    info = ParseDibInfoHeader(image, entry.Size, 2);
  } catch (const EReadError&) {
    InvalidIcon();  // the entry's own bytes are all present; a header cut short is damage
  } catch (const EInvalidGraphic&) {
    InvalidIcon();
  }
  if (info.TopDown || info.Height < 2) InvalidIcon();
  int height = info.Height / 2;
  uint64_t colorBytes = uint64_t{TDibImage::DibStride(info.Width, info.BitCount)} * height;
  uint64_t maskBytes = uint64_t{TDibImage::DibStride(info.Width, 1)} * height;
  if (info.ColorTableEnd() + colorBytes + maskBytes > entry.Size) InvalidIcon();
  entry.Width = info.Width;
  entry.Height = height;
  entry.BitCount = info.BitCount;
}

}  // namespace

size_t IconEntryCount(const uint8_t* data, size_t size) {
  if (size < kIconHeaderSize) ShortData();
  uint16_t type = ReadLe16(data + 2);
  uint16_t count = ReadLe16(data + 4);
  if (ReadLe16(data) != 0 || (type != kTypeIcon && type != kTypeCursor) || count == 0)
    InvalidIcon();
  return count;
}

size_t IconFileExtent(const uint8_t* data, size_t size) {
  size_t count = IconEntryCount(data, size);
  size_t directoryEnd = kIconHeaderSize + count * kIconEntrySize;
  if (size < directoryEnd) ShortData();
  uint64_t extent = directoryEnd;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* raw = data + kIconHeaderSize + i * kIconEntrySize;
    uint32_t bytes = ReadLe32(raw + 8);
    uint32_t offset = ReadLe32(raw + 12);
    if (bytes == 0 || offset < directoryEnd) InvalidIcon();
    extent = std::max<uint64_t>(extent, uint64_t{offset} + bytes);
  }
  if (extent > SIZE_MAX) ShortData();
  return static_cast<size_t>(extent);
}

TIconDirectory ParseIconFile(const uint8_t* data, size_t size) {
  TIconDirectory directory;
  directory.Extent = IconFileExtent(data, size);
  if (size < directory.Extent) ShortData();
  directory.Cursor = ReadLe16(data + 2) == kTypeCursor;
  size_t count = ReadLe16(data + 4);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* raw = data + kIconHeaderSize + i * kIconEntrySize;
    TIconEntry entry;
    entry.Size = ReadLe32(raw + 8);
    entry.Offset = ReadLe32(raw + 12);
    if (directory.Cursor) {
      entry.HotSpotX = ReadLe16(raw + 4);
      entry.HotSpotY = ReadLe16(raw + 6);
    }
    MeasureImage(entry, data + entry.Offset);
    directory.Entries.push_back(entry);
  }
  return directory;
}

size_t BestIconEntry(const TIconDirectory& directory, int wantedWidth, int wantedHeight) {
  auto rank = [&](const TIconEntry& e) {
    int distance = std::abs(e.Width - wantedWidth) + std::abs(e.Height - wantedHeight);
    bool smaller = e.Width < wantedWidth || e.Height < wantedHeight;
    return std::make_tuple(distance, smaller, -e.BitCount);
  };
  size_t best = 0;
  for (size_t i = 1; i < directory.Entries.size(); ++i) {
    if (rank(directory.Entries[i]) < rank(directory.Entries[best])) best = i;
  }
  return best;
}

std::vector<uint8_t> EncodeIconFile(const TDibImage& color, const TDibImage& mask) {
  if (mask.BitCount != 1 || mask.Width != color.Width || mask.Height != color.Height ||
      mask.Bits.size() != mask.Stride() * static_cast<size_t>(mask.Height) ||
      color.Bits.size() != color.Stride() * static_cast<size_t>(color.Height) || color.Width < 1 ||
      color.Height < 1 || color.Width > kMaxPictureSide || color.Height > kMaxPictureSide)
    InvalidIcon();
  uint32_t imageBytes = static_cast<uint32_t>(color.Bits.size() + mask.Bits.size());
  size_t headerBytes = 40 + color.Masks.size() * 4 + color.Palette.size() * 4;
  std::vector<uint8_t> out;
  AppendLe16(out, 0);
  AppendLe16(out, kTypeIcon);
  AppendLe16(out, 1);
  out.push_back(static_cast<uint8_t>(color.Width >= 256 ? 0 : color.Width));
  out.push_back(static_cast<uint8_t>(color.Height >= 256 ? 0 : color.Height));
  out.push_back(static_cast<uint8_t>(color.Palette.size() >= 256 ? 0 : color.Palette.size()));
  out.push_back(0);
  AppendLe16(out, 1);
  AppendLe16(out, static_cast<uint32_t>(color.BitCount));
  AppendLe32(out, static_cast<uint32_t>(headerBytes + imageBytes));
  AppendLe32(out, kIconHeaderSize + kIconEntrySize);
  AppendDibInfoHeader(out, color, 2, imageBytes);
  out.insert(out.end(), color.Bits.begin(), color.Bits.end());
  out.insert(out.end(), mask.Bits.begin(), mask.Bits.end());
  return out;
}
