// Fuzz target for colour reduction: any picture (a bitmap file, or raw true-colour pixels)
// brought to true colour and reduced to 8 bits by every method must keep its size and give
// a full palette; gray reduction gives only grays; the bitmap file of the result reads back
// to the same pixels; and the see-through colour, kept, has exactly one entry that all of
// its pixels use.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "demo/color_reduction.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/bmp_format.h"

namespace {

// Larger pictures add nothing a run could not find in small ones, and cost time.
constexpr long long kMaxPixels = 1 << 16;

bool SameColor(const TDibColor& a, const TDibColor& b) {
  return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
}

TDibImage RawPicture(const uint8_t* data, size_t size) {
  TDibImage picture;
  if (size < 2) return picture;
  picture.Width = 1 + data[0] % 64;
  picture.Height = 1 + data[1] % 64;
  picture.BitCount = 24;
  picture.Bits.resize(picture.Stride() * static_cast<size_t>(picture.Height));
  for (size_t i = 0; i < picture.Bits.size(); ++i) picture.Bits[i] = size > 2 ? data[2 + i % (size - 2)] : 0;
  return picture;
}

void CheckReduced(const TDibImage& source, const TDibImage& reduced, uint8_t method) {
  if (reduced.Width != source.Width || reduced.Height != source.Height || reduced.BitCount != 8 ||
      reduced.Palette.size() != 256 || reduced.Bits.size() != reduced.Stride() * static_cast<size_t>(reduced.Height))
    std::abort();
  if (method == kReduceGrayscale)
    for (const TDibColor& c : reduced.Palette)
      if (c.Red != c.Green || c.Green != c.Blue) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  TDibImage picture;
  if (data[0] & 1) {
    picture = RawPicture(data + 1, size - 1);
  } else {
    try {
      picture = DecodeBmpFile(data + 1, size - 1);
    } catch (const Exception&) {
      return 0;
    }
  }
  if (picture.Width <= 0 || static_cast<long long>(picture.Width) * picture.Height > kMaxPixels) return 0;
  const TDibImage color = ToTrueColor(picture);
  if (color.BitCount != 24 || color.Width != picture.Width || color.Height != picture.Height ||
      color.Bits.size() < color.Stride() * static_cast<size_t>(color.Height))
    std::abort();

  for (uint8_t method = kReducePopularity; method <= kReduceGrayscale; ++method) {
    TDibImage reduced = ReduceTo8Bit(color, method);
    CheckReduced(color, reduced, method);
    const std::vector<uint8_t> file = ReducedBitmapFile(color, method);
    TDibImage back;
    try {
      back = DecodeBmpFile(file.data(), file.size());
    } catch (const Exception&) {
      std::abort();
    }
    // The file declares fewer colours than the palette holds; what its pixels show is the same.
    if (back.Width != reduced.Width || back.Height != reduced.Height || back.Bits != reduced.Bits) std::abort();
    for (uint8_t index : back.Bits)
      if (!SameColor(back.Palette[index], reduced.Palette[index])) std::abort();

    // The first pixel's colour as the see-through colour.
    const uint8_t* first = color.Bits.data();
    const uint32_t key = static_cast<uint32_t>(first[2]) | static_cast<uint32_t>(first[1]) << 8 |
                         static_cast<uint32_t>(first[0]) << 16;
    KeepKeyColor(color, reduced, key);
    const TDibColor keyColor{first[0], first[1], first[2], 0};
    int keyEntries = 0;
    for (const TDibColor& c : reduced.Palette) keyEntries += SameColor(c, keyColor);
    if (keyEntries != 1) std::abort();
    const size_t sourceStride = color.Stride(), stride = reduced.Stride();
    for (int y = 0; y < color.Height; ++y)
      for (int x = 0; x < color.Width; ++x) {
        const uint8_t* p = color.Bits.data() + static_cast<size_t>(y) * sourceStride + static_cast<size_t>(x) * 3;
        const bool isKey = p[0] == first[0] && p[1] == first[1] && p[2] == first[2];
        const TDibColor& shown = reduced.Palette[reduced.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)]];
        if (isKey != SameColor(shown, keyColor)) std::abort();
      }
  }
  return 0;
}
