// Fuzz target for the GIF writer's round trip: indexed pictures of any size, depth, palette
// and pixels taken from the input are encoded as the frames of a new image and written; the
// file must read back, and each frame must decode to the same colour at every pixel.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "demo/gif_format.h"
#include "platform/rtl/exceptions.h"

namespace {

// Reads the input a byte at a time, zeros once it is used up.
struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Next() { return at < size ? data[at++] : 0; }
};

int PixelIndex(const TDibImage& picture, int x, int y) {
  const uint8_t* row = picture.Bits.data() + picture.Stride() * static_cast<size_t>(y);
  switch (picture.BitCount) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
    default: return row[x];
  }
}

// The colour of a palette entry as red, green, blue; entries past the palette are black.
uint32_t EntryColor(const TDibImage& picture, int index) {
  if (index < 0 || static_cast<size_t>(index) >= picture.Palette.size()) return 0;
  const TDibColor& c = picture.Palette[static_cast<size_t>(index)];
  return static_cast<uint32_t>(c.Red) << 16 | static_cast<uint32_t>(c.Green) << 8 | c.Blue;
}

TDibImage MakePicture(Bytes& in) {
  static const int depths[] = {1, 4, 8};
  TDibImage picture;
  picture.Width = 1 + in.Next() % 48;
  picture.Height = 1 + in.Next() % 48;
  picture.BitCount = depths[in.Next() % 3];
  const int colors = 1 << picture.BitCount;
  // The palette may be shorter than the depth allows.
  const int entries = 1 + in.Next() % colors;
  picture.Palette.resize(static_cast<size_t>(entries));
  for (TDibColor& c : picture.Palette) c = {in.Next(), in.Next(), in.Next(), 0};
  picture.Bits.resize(picture.Stride() * static_cast<size_t>(picture.Height));
  for (uint8_t& b : picture.Bits) b = in.Next();
  // Pixels only use entries the palette has.
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x) {
      const int index = PixelIndex(picture, x, y);
      if (index < entries) continue;
      uint8_t* row = picture.Bits.data() + picture.Stride() * static_cast<size_t>(y);
      const int fixed = index % entries;
      if (picture.BitCount == 1) row[x / 8] = static_cast<uint8_t>(row[x / 8] & ~(1 << (7 - x % 8)));
      if (picture.BitCount == 4)
        row[x / 2] = static_cast<uint8_t>(x % 2 == 0 ? (row[x / 2] & 0x0F) | fixed << 4 : (row[x / 2] & 0xF0) | fixed);
      if (picture.BitCount == 8) row[x] = static_cast<uint8_t>(fixed);
    }
  return picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in{data, size};
  const int frameCount = 1 + in.Next() % 3;
  TGifDocument doc;
  std::vector<TDibImage> pictures;
  for (int i = 0; i < frameCount; ++i) {
    pictures.push_back(MakePicture(in));
    doc.Frames.emplace_back();
    TGifFrameInfo& frame = doc.Frames.back();
    frame.OriginLeft = in.Next() % 16;
    frame.OriginTop = in.Next() % 16;
    frame.DelayMs = static_cast<uint16_t>(in.Next() * 10);
    EncodeGifFrame(doc.Image, frame, pictures.back());
  }
  doc.Image.LoopEnabled = frameCount > 1;

  const std::vector<uint8_t> file = WriteGif(doc);
  TGifDocument back;
  try {
    ReadGif(file.data(), file.size(), back);
  } catch (const Exception&) {
    std::abort();
  }
  if (back.Frames.size() != pictures.size()) std::abort();
  for (size_t i = 0; i < pictures.size(); ++i) {
    const TDibImage& source = pictures[i];
    const TGifFrameInfo& frame = back.Frames[i];
    if (frame.OriginLeft != doc.Frames[i].OriginLeft || frame.OriginTop != doc.Frames[i].OriginTop) std::abort();
    TDibImage decoded;
    if (DecodeGifFrame(frame, decoded) != TGifDecodeResult::Complete) std::abort();
    if (decoded.Width != source.Width || decoded.Height != source.Height) std::abort();
    for (int y = 0; y < source.Height; ++y)
      for (int x = 0; x < source.Width; ++x)
        if (EntryColor(source, PixelIndex(source, x, y)) != EntryColor(decoded, PixelIndex(decoded, x, y)))
          std::abort();
  }
  return 0;
}
