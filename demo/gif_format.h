#pragma once
// The GIF file as the demo reads and writes it: the header data of an image, the frames
// with their graphic-control and comment extensions, and each frame's LZW raster kept as
// read. Reading checks every size against the bytes present; writing builds the file from
// the same model.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/gif_lzw.h"
#include "platform/wcl/bmp_format.h"
#include "platform/wcl/colors.h"

// Most frames a file may hold.
constexpr size_t kMaxGifFrames = 4096;
// Longest loop count kept.
constexpr int kMaxGifLoopCount = 30000;

// A colour table: up to 256 entries of red, green, blue.
struct TGifColorTable {
  int Count = 0;
  std::array<uint8_t, 768> Entries{};

  TColor ColorAt(int index) const;
  // The first entry equal to the plain colour rgb, or -1.
  int IndexOf(TColor rgb) const;
};

enum TGifExtensionKind : uint8_t { gekGraphicControl = 0, gekPlainText = 1, gekApplication = 2, gekComment = 3 };

// One extension block: its fixed part as read (block size byte first) and its data sub-blocks.
struct TGifExtension {
  TGifExtensionKind Kind = gekComment;
  std::vector<uint8_t> Fixed;
  std::vector<std::string> SubBlocks;
};

// Header data of an image, shared by images assigned from each other.
struct TGifHeaderData {
  std::vector<std::string> Comments;
  uint8_t AspectRatio = 0;
  TGifColorTable GlobalTable;
  int GlobalBits = 0;        // bits of the global table, 1..8
  int ColorResolution = 0;   // 1..8
};

// The raster of a frame, shared by frames assigned from each other.
struct TGifRaster {
  int Width = 0;
  int Height = 0;
  uint8_t Packed = 0;        // the image descriptor's packed byte
  int BitsPerPixel = 0;      // 1..8
  TGifColorTable Table;      // the local table, or a copy of the global one
  std::vector<uint8_t> Data; // code-size byte, sub-blocks and terminator
};

struct TGifFrameInfo {
  std::shared_ptr<TGifRaster> Raster = std::make_shared<TGifRaster>();
  std::vector<TGifExtension> Extensions;
  int OriginLeft = 0;
  int OriginTop = 0;
  uint16_t DelayMs = 0;
  int Disposal = 0;
  TColor KeyColor = clNone;
  bool RowsInterlaced = false;
  bool HasLocalTable = false;
  bool Grayscale = false;
  bool Damaged = false;
};

struct TGifImageInfo {
  uint8_t VersionIndex = 0;  // 0 none, 1 "87a", 2 "89a"
  uint16_t LogicalWidth = 0;
  uint16_t LogicalHeight = 0;
  TColor BackdropColor = clNone;
  bool LoopEnabled = false;
  uint16_t LoopCount = 1;
  std::shared_ptr<TGifHeaderData> Header = std::make_shared<TGifHeaderData>();
};

struct TGifDocument {
  TGifImageInfo Image;
  std::vector<TGifFrameInfo> Frames;
};

// Reads a GIF file into doc (which should be fresh). Frames read before a failure stay in
// doc. Raises EInvalidGraphicOperation with the format's messages, and EReadError ("Stream
// read error") for data that ends where a fixed number of bytes is required or that is over
// the size caps.
void ReadGif(const uint8_t* data, size_t size, TGifDocument& doc);

// The bits of the bitmap a frame decodes into: 1, 4 or 8.
int GifBitmapBits(const TGifRaster& raster);

// Decodes a frame's raster into an indexed picture whose palette is the frame's table
// (padded with gray). The pixels decoded before an error stay in picture; the result says
// whether the raster was complete.
TGifDecodeResult DecodeGifFrame(const TGifFrameInfo& frame, TDibImage& picture,
                                const TGifProgress& progress = nullptr);

// Encodes an indexed picture (1, 4 or 8 bits) into the frame: colour table, raster, bits
// per pixel; the image's global table is taken from the first frame encoded. The frame's
// raster and the image's header are replaced, never changed in place, when shared.
void EncodeGifFrame(TGifImageInfo& image, TGifFrameInfo& frame, const TDibImage& picture,
                    const TGifProgress& progress = nullptr);

// Turns a colour into the plain RGB value it stands for (system colours resolved).
using TColorToRgb = std::function<TColor(TColor)>;

// Writes the GIF file of the image and its frames. Every frame must have its raster; the
// frames' graphic-control extensions are brought up to date first. Raises the format's
// errors (no frames, colour count not a power of two, a size that does not fit the format).
std::vector<uint8_t> WriteGif(TGifImageInfo& image, const std::vector<TGifFrameInfo*>& frames,
                              const TColorToRgb& colorToRgb = nullptr);

// The same for a whole document.
std::vector<uint8_t> WriteGif(TGifDocument& doc, const TColorToRgb& colorToRgb = nullptr);
