#pragma once
// The .bmp file format and the packed device-independent bitmap (the layout of a bitmap
// resource): decoding with every size checked against the bytes present, and encoding.
//
// Decoded pictures are kept in one canonical form: rows bottom-up, each row padded to a
// multiple of four bytes, and a full colour table (2^bits entries) for 1, 4 and 8 bits.
// Damaged or unsupported data raises EInvalidGraphic; data that ends too early raises
// EReadError. Nothing is allocated for the pixels before their bytes are known to exist.

#include <cstddef>
#include <cstdint>
#include <vector>

// Widest and tallest picture any reader accepts.
constexpr int kMaxPictureSide = 16384;
constexpr size_t kBmpFileHeaderSize = 14;

// One colour-table entry, in the file's byte order.
struct TDibColor {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
};

struct TDibImage {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;              // 1, 4, 8, 16, 24 or 32
  std::vector<uint32_t> Masks;   // red, green and blue masks of bit-field pixels; empty otherwise
  std::vector<TDibColor> Palette;
  std::vector<uint8_t> Bits;     // bottom-up rows of Stride() bytes

  size_t Stride() const { return DibStride(Width, BitCount); }
  static size_t DibStride(int width, int bitCount);
};

// What an info header (BITMAPCOREHEADER or BITMAPINFOHEADER and its later versions) says,
// checked: sizes within the caps, a supported depth and compression, a colour table that
// fits its depth. Offsets count from the start of the info header.
struct TDibHeaderInfo {
  int Width = 0;
  int Height = 0;                // as declared, made positive
  bool TopDown = false;
  int BitCount = 0;
  bool BitFields = false;        // the three colour masks stand at offset 40
  size_t HeaderSize = 0;
  size_t ColorTableOffset = 0;
  size_t ColorCount = 0;         // entries stored in the file
  size_t ColorEntrySize = 4;     // 3 for the old core header
  size_t ColorTableEnd() const { return ColorTableOffset + ColorCount * ColorEntrySize; }
};

// Parses the info header at data (size bytes available). heightFactor 2 accepts the doubled
// height of an icon image.
TDibHeaderInfo ParseDibInfoHeader(const uint8_t* data, size_t size, int heightFactor = 1);

// Bytes needed to learn a .bmp file's full extent: the file header plus the info header.
// Needs the first 18 bytes; raises EInvalidGraphic when the file is not a bitmap.
size_t BmpHeadersSize(const uint8_t* data, size_t size);

// Full extent in bytes of the .bmp file whose headers (BmpHeadersSize bytes) are at data.
size_t BmpFileExtent(const uint8_t* data, size_t size);

// Decodes a whole .bmp file.
TDibImage DecodeBmpFile(const uint8_t* data, size_t size);

// Decodes a packed bitmap: info header, masks, colour table, pixels (no file header).
TDibImage DecodePackedDib(const uint8_t* data, size_t size);

// Writes the image as a .bmp file with a 40-byte info header, bottom-up, full colour table.
std::vector<uint8_t> EncodeBmpFile(const TDibImage& image);

// Appends a 40-byte info header describing image; heightFactor 2 gives the doubled height
// an icon image declares for its colour and mask halves.
void AppendDibInfoHeader(std::vector<uint8_t>& out, const TDibImage& image, int heightFactor,
                         uint32_t imageBytes);
