#pragma once
// The LZW coder of GIF rasters. A raster is the minimum-code-size byte followed by data
// sub-blocks (a length byte, then that many bytes) and a zero-length terminator. Pixels
// are held as the rows of a device-independent bitmap: bottom-up, each row padded to four
// bytes, 1, 4 or 8 bits a pixel, the leftmost pixel in the high bits of a byte.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Reports the percentage done; may raise EAbort to stop the work.
using TGifProgress = std::function<void(int percent)>;

// Where the rows of a picture are written to or read from.
struct TGifPixels {
  int Width = 0;
  int Height = 0;
  int BitCount = 8;       // 1, 4 or 8
  uint8_t* Bits = nullptr;  // Height rows of Stride() bytes, bottom-up
  size_t Stride() const;
};

enum class TGifDecodeResult {
  Complete,   // the end code came, or every row was filled
  Damaged,    // undecodable codes: decoding stopped, the rows so far stay
  Truncated,  // the data ended before a code was complete: the rows so far stay
};

// Decodes raster (the code-size byte first) into pixels, which must be zero-filled.
// frameBits is the frame's bits per pixel: pixel values keep its low bits. A code size
// below 2 or above 9 raises EInvalidGraphicOperation; in strict mode a string longer than
// the decoder's stack does too, in tolerant mode it only gives Damaged.
TGifDecodeResult DecodeGifRaster(const uint8_t* raster, size_t size, const TGifPixels& pixels, int frameBits,
                                 bool interlaced, bool tolerant, const TGifProgress& progress = nullptr);

// Encodes pixels (1, 4 or 8 bits) into a raster: code-size byte, sub-blocks, terminator.
// Rows are taken from the top down, in the four interlaced passes when asked.
std::vector<uint8_t> EncodeGifRaster(const TGifPixels& pixels, bool interlaced,
                                     const TGifProgress& progress = nullptr);

// The order in which a picture's rows (0 = top) are stored: top down, or in the four passes
// of interlaced pictures (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd
// from 1).
std::vector<int> GifRowOrder(int height, bool interlaced);
