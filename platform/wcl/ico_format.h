#pragma once
// The .ico and .cur file formats: a 6-byte header, 16-byte directory entries and one image
// per entry (a packed bitmap of doubled height with its AND mask, or a PNG stream). Every
// offset and size is checked against the bytes present: damaged data raises
// EInvalidGraphic, data that ends too early raises EReadError.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/wcl/bmp_format.h"

constexpr size_t kIconHeaderSize = 6;
constexpr size_t kIconEntrySize = 16;

struct TIconEntry {
  int Width = 0;          // of the image itself, as its own header says
  int Height = 0;
  int BitCount = 0;
  bool Png = false;
  uint32_t Offset = 0;    // from the start of the file
  uint32_t Size = 0;
  int HotSpotX = 0;       // cursors only
  int HotSpotY = 0;
};

struct TIconDirectory {
  bool Cursor = false;
  std::vector<TIconEntry> Entries;
  size_t Extent = 0;      // bytes from the file's start to the end of its last image
};

// Number of directory entries announced by the 6-byte header at data.
size_t IconEntryCount(const uint8_t* data, size_t size);

// Extent of the file whose header and directory (6 + 16 * count bytes) are at data.
size_t IconFileExtent(const uint8_t* data, size_t size);

// Parses and checks a whole .ico or .cur file.
TIconDirectory ParseIconFile(const uint8_t* data, size_t size);

// Index of the entry that suits the wanted size best: the nearest size (a larger image
// before a smaller one at equal distance), then the most colours.
size_t BestIconEntry(const TIconDirectory& directory, int wantedWidth, int wantedHeight);

// Writes a one-image .ico from a colour image and its 1-bit mask of the same size.
std::vector<uint8_t> EncodeIconFile(const TDibImage& color, const TDibImage& mask);
