#include "platform/wcl/bmp_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kLargestInfoHeaderSize = 124;
constexpr size_t kMaskBytes = 12;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }
[[noreturn]] void ShortData() { throw EReadError("Stream read error"); }

bool IsKnownInfoHeaderSize(uint32_t size) {
  return size == kCoreHeaderSize || (size >= kInfoHeaderSize && size <= kLargestInfoHeaderSize);
}

bool IsKnownDepth(int bits, bool core) {
  switch (bits) {
    case 1: case 4: case 8: case 24: return true;
    case 16: case 32: return !core;
    default: return false;
  }
}

uint64_t ImageBytes(const TDibHeaderInfo& info) {
  return static_cast<uint64_t>(TDibImage::DibStride(info.Width, info.BitCount)) *
         static_cast<uint64_t>(info.Height);
}

// Builds the canonical image from a checked header, the info header's bytes and the pixels.
TDibImage DecodeChecked(const TDibHeaderInfo& info, const uint8_t* header, const uint8_t* pixels) {
  TDibImage image;
  image.Width = info.Width;
  image.Height = info.Height;
  image.BitCount = info.BitCount;
  if (info.BitFields) {
    for (size_t i = 0; i < 3; ++i) image.Masks.push_back(ReadLe32(header + kInfoHeaderSize + 4 * i));
  }
  if (info.BitCount <= 8) {
    image.Palette.resize(size_t{1} << info.BitCount);
    const uint8_t* entry = header + info.ColorTableOffset;
    for (size_t i = 0; i < info.ColorCount; ++i, entry += info.ColorEntrySize) {
      image.Palette[i].Blue = entry[0];
      image.Palette[i].Green = entry[1];
      image.Palette[i].Red = entry[2];
    }
  }
  size_t stride = image.Stride();
  image.Bits.resize(stride * static_cast<size_t>(image.Height));
  for (int row = 0; row < image.Height; ++row) {
    int target = info.TopDown ? image.Height - 1 - row : row;
    std::memcpy(image.Bits.data() + stride * static_cast<size_t>(target),
                pixels + stride * static_cast<size_t>(row), stride);
  }
  return image;
}

// Offset of the pixels from the start of a .bmp file, checked against its headers.
uint64_t PixelOffset(const uint8_t* file, const TDibHeaderInfo& info) {
  uint64_t tableEnd = kBmpFileHeaderSize + info.ColorTableEnd();
  uint32_t declared = ReadLe32(file + 10);
  if (declared == 0) return tableEnd;
  if (declared < tableEnd) InvalidBitmap();
  return declared;
}

}  // namespace

size_t TDibImage::DibStride(int width, int bitCount) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

TDibHeaderInfo ParseDibInfoHeader(const uint8_t* data, size_t size, int heightFactor) {
  if (size < 4) ShortData();
  uint32_t headerSize = ReadLe32(data);
  if (!IsKnownInfoHeaderSize(headerSize)) InvalidBitmap();
  if (size < headerSize) ShortData();

  TDibHeaderInfo info;
  info.HeaderSize = headerSize;
  bool core = headerSize == kCoreHeaderSize;
  int64_t height;
  uint32_t compression = kCompressionRgb;
  uint32_t colorsUsed = 0;
  if (core) {
    info.Width = ReadLe16(data + 4);
    height = ReadLe16(data + 6);
    info.BitCount = ReadLe16(data + 10);
    info.ColorEntrySize = 3;
  } else {
    info.Width = static_cast<int32_t>(ReadLe32(data + 4));
    height = static_cast<int32_t>(ReadLe32(data + 8));
    info.BitCount = ReadLe16(data + 14);
    compression = ReadLe32(data + 16);
    colorsUsed = ReadLe32(data + 32);
  }
  info.TopDown = height < 0;
  info.Height = static_cast<int>(info.TopDown ? -height : height);
  if (info.Width < 1 || info.Width > kMaxPictureSide) InvalidBitmap();
  if (info.Height < 1 || info.Height > static_cast<int64_t>(kMaxPictureSide) * heightFactor)
    InvalidBitmap();
  if (!IsKnownDepth(info.BitCount, core)) InvalidBitmap();

  info.ColorTableOffset = headerSize;
  if (compression == kCompressionBitFields) {
    if (info.BitCount != 16 && info.BitCount != 32) InvalidBitmap();
    info.BitFields = true;
    // The masks follow a 40-byte header; later headers carry them inside.
    if (headerSize == kInfoHeaderSize) {
      info.ColorTableOffset += kMaskBytes;
    } else if (headerSize < kInfoHeaderSize + kMaskBytes) {
      // Too short to hold the masks, too long for them to follow: nothing sound to read.
      InvalidBitmap();
    }
  } else if (compression != kCompressionRgb) {
    InvalidBitmap();
  }

  if (info.BitCount <= 8) {
    uint32_t full = 1u << info.BitCount;
    if (colorsUsed > full) InvalidBitmap();
    info.ColorCount = colorsUsed != 0 ? colorsUsed : full;
  } else {
    // A colour table beside true-colour pixels is only a display hint; it is skipped.
    if (colorsUsed > 256) InvalidBitmap();
    info.ColorCount = colorsUsed;
  }
  return info;
}

size_t BmpHeadersSize(const uint8_t* data, size_t size) {
  if (size < kBmpFileHeaderSize + 4) ShortData();
  if (data[0] != 'B' || data[1] != 'M') InvalidBitmap();
  uint32_t infoSize = ReadLe32(data + kBmpFileHeaderSize);
  if (!IsKnownInfoHeaderSize(infoSize)) InvalidBitmap();
  return kBmpFileHeaderSize + infoSize;
}

size_t BmpFileExtent(const uint8_t* data, size_t size) {
  size_t headers = BmpHeadersSize(data, size);
  if (size < headers) ShortData();
  TDibHeaderInfo info = ParseDibInfoHeader(data + kBmpFileHeaderSize, size - kBmpFileHeaderSize);
  uint64_t extent = PixelOffset(data, info) + ImageBytes(info);
  if (extent > std::numeric_limits<size_t>::max()) ShortData();
  return static_cast<size_t>(extent);
}

TDibImage DecodeBmpFile(const uint8_t* data, size_t size) {
  size_t extent = BmpFileExtent(data, size);
  if (size < extent) ShortData();
  const uint8_t* header = data + kBmpFileHeaderSize;
  TDibHeaderInfo info = ParseDibInfoHeader(header, size - kBmpFileHeaderSize);
  return DecodeChecked(info, header, data + PixelOffset(data, info));
}

TDibImage DecodePackedDib(const uint8_t* data, size_t size) {
  TDibHeaderInfo info = ParseDibInfoHeader(data, size);
  uint64_t extent = info.ColorTableEnd() + ImageBytes(info);
  if (extent > size) ShortData();
  return DecodeChecked(info, data, data + info.ColorTableEnd());
}

void AppendDibInfoHeader(std::vector<uint8_t>& out, const TDibImage& image, int heightFactor,
                         uint32_t imageBytes) {
  AppendLe32(out, kInfoHeaderSize);
  AppendLe32(out, static_cast<uint32_t>(image.Width));
  AppendLe32(out, static_cast<uint32_t>(image.Height * heightFactor));
  AppendLe16(out, 1);
  AppendLe16(out, static_cast<uint32_t>(image.BitCount));
  AppendLe32(out, image.Masks.empty() ? kCompressionRgb : kCompressionBitFields);
  AppendLe32(out, imageBytes);
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  AppendLe32(out, static_cast<uint32_t>(image.Palette.size()));
  AppendLe32(out, 0);
  for (uint32_t mask : image.Masks) AppendLe32(out, mask);
  for (const TDibColor& color : image.Palette) {
    out.push_back(color.Blue);
    out.push_back(color.Green);
    out.push_back(color.Red);
    out.push_back(0);
  }
}

std::vector<uint8_t> EncodeBmpFile(const TDibImage& image) {
  bool depthOk = image.BitCount == 1 || image.BitCount == 4 || image.BitCount == 8 ||
                 image.BitCount == 16 || image.BitCount == 24 || image.BitCount == 32;
  if (!depthOk || image.Width < 1 || image.Height < 1 ||
      image.Bits.size() != image.Stride() * static_cast<size_t>(image.Height) ||
      (image.BitCount <= 8 && image.Palette.size() > (size_t{1} << image.BitCount)) ||
      (!image.Masks.empty() && image.Masks.size() != 3))
    InvalidBitmap();

  size_t tableBytes = image.Masks.size() * 4 + image.Palette.size() * 4;
  size_t offBits = kBmpFileHeaderSize + kInfoHeaderSize + tableBytes;
  std::vector<uint8_t> out;
  out.reserve(offBits + image.Bits.size());
  out.push_back('B');
  out.push_back('M');
  AppendLe32(out, static_cast<uint32_t>(offBits + image.Bits.size()));
  AppendLe32(out, 0);
  AppendLe32(out, static_cast<uint32_t>(offBits));
  AppendDibInfoHeader(out, image, 1, static_cast<uint32_t>(image.Bits.size()));
  out.insert(out.end(), image.Bits.begin(), image.Bits.end());
  return out;
}
