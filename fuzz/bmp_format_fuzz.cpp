// Fuzz target for the bitmap readers: a .bmp file and a packed bitmap must decode or fail
// with the library's errors. A decoded picture must hold exactly the pixel bytes its size
// and depth call for, and must encode to a file that decodes to the same picture.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/bmp_format.h"

namespace {

void CheckShape(const TDibImage& image) {
  if (image.Width <= 0 || image.Height <= 0 || image.Width > kMaxPictureSide ||
      image.Height > kMaxPictureSide)
    std::abort();
  if (image.Bits.size() != image.Stride() * static_cast<size_t>(image.Height)) std::abort();
  if (image.BitCount <= 8 && image.Palette.size() != (size_t{1} << image.BitCount)) std::abort();
}

bool SamePicture(const TDibImage& a, const TDibImage& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.BitCount != b.BitCount ||
      a.Bits != b.Bits || a.Masks != b.Masks || a.Palette.size() != b.Palette.size())
    return false;
  for (size_t i = 0; i < a.Palette.size(); ++i)
    if (a.Palette[i].Red != b.Palette[i].Red || a.Palette[i].Green != b.Palette[i].Green ||
        a.Palette[i].Blue != b.Palette[i].Blue)
      return false;
  return true;
}

void RoundTrip(const TDibImage& image) {
  CheckShape(image);
  const std::vector<uint8_t> file = EncodeBmpFile(image);
  if (BmpFileExtent(file.data(), file.size()) > file.size()) std::abort();
  if (!SamePicture(image, DecodeBmpFile(file.data(), file.size()))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    RoundTrip(DecodeBmpFile(data, size));
  } catch (const Exception&) {
  }
  try {
    if (size >= 18 && BmpHeadersSize(data, size) <= size) BmpFileExtent(data, size);
  } catch (const Exception&) {
  }
  try {
    RoundTrip(DecodePackedDib(data, size));
  } catch (const Exception&) {
  }
  return 0;
}
