// Fuzz target for the GIF reader, LZW decoder and writer: any input must read or fail with
// the library's errors; every frame must decode within its picture; and what was read must
// write to a file that reads back to the same frames, rasters, timing and comments.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "demo/gif_format.h"
#include "platform/rtl/exceptions.h"

namespace {

// Decoding is bounded so that a run stays fast; the caps of the reader still apply.
constexpr uint64_t kPixelBudget = uint64_t{1} << 22;

void DecodeFrames(const TGifDocument& doc) {
  uint64_t budget = kPixelBudget;
  for (const TGifFrameInfo& frame : doc.Frames) {
    uint64_t pixels = static_cast<uint64_t>(frame.Raster->Width) * static_cast<uint64_t>(frame.Raster->Height);
    if (pixels > budget) break;
    budget -= pixels;
    TDibImage picture;
    try {
      DecodeGifFrame(frame, picture);
    } catch (const Exception&) {
      continue;
    }
    if (!picture.Bits.empty() && picture.Bits.size() != picture.Stride() * static_cast<size_t>(picture.Height))
      std::abort();
  }
}

void CheckSame(const TGifDocument& a, const TGifDocument& b) {
  if (a.Frames.size() != b.Frames.size()) std::abort();
  if (a.Frames.size() > 1 && (a.Image.LoopEnabled != b.Image.LoopEnabled ||
                              (a.Image.LoopEnabled && a.Image.LoopCount != b.Image.LoopCount)))
    std::abort();
  if (a.Image.Header->Comments != b.Image.Header->Comments) std::abort();
  for (size_t i = 0; i < a.Frames.size(); ++i) {
    const TGifFrameInfo& x = a.Frames[i];
    const TGifFrameInfo& y = b.Frames[i];
    if (x.Raster->Data != y.Raster->Data || x.Raster->Width != y.Raster->Width ||
        x.Raster->Height != y.Raster->Height || x.OriginLeft != y.OriginLeft || x.OriginTop != y.OriginTop ||
        x.RowsInterlaced != y.RowsInterlaced || x.DelayMs / 10 != y.DelayMs / 10 || x.Disposal != y.Disposal ||
        x.KeyColor != y.KeyColor || x.Raster->Table.Count != y.Raster->Table.Count)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGifDocument doc;
  try {
    ReadGif(data, size, doc);
  } catch (const Exception&) {
    return 0;
  }
  DecodeFrames(doc);
  std::vector<uint8_t> written;
  try {
    written = WriteGif(doc);
  } catch (const EInvalidGraphicOperation&) {
    return 0;  // frames without data, or sizes the format cannot hold
  }
  TGifDocument again;
  try {
    ReadGif(written.data(), written.size(), again);
  } catch (const Exception&) {
    std::abort();
  }
  CheckSame(doc, again);
  if (WriteGif(again) != written) std::abort();
  return 0;
}
