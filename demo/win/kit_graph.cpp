#include "demo/win/kit_graph.h"

#include "demo/color_reduction.h"
#include "demo/win/demo_helpers.h"
#include "platform/rtl/exceptions.h"

namespace {

std::unique_ptr<TMemoryStream> StreamOf(const std::vector<uint8_t>& file) {
  auto stream = std::make_unique<TMemoryStream>();
  stream->WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream->SetPosition(0);
  return stream;
}

// The bitmap's pixels in 1 or 4 bits a pixel as the system matches them, with the bitmap's
// palette realized in the focus window's screen DC.
TDibImage SystemBits(TBitmap* bitmap, int bitCount) {
  TDibImage image;
  image.Width = bitmap->Width();
  image.Height = bitmap->Height();
  image.BitCount = bitCount;
  image.Palette.resize(size_t{1} << bitCount);
  image.Bits.assign(image.Stride() * static_cast<size_t>(image.Height), 0);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = image.Width;
  info.header.biHeight = image.Height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitCount);
  info.header.biCompression = BI_RGB;
  HPALETTE palette = bitmap->Palette();
  HBITMAP handle = bitmap->Handle();
  WindowDc dc = WindowDc::ForClient(GetFocus());
  int lines;
  {
    ScopedSelectPalette select(dc.get(), palette, false);
    lines = GetDIBits(dc.get(), handle, 0, static_cast<UINT>(image.Height), image.Bits.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  }
  if (lines == 0) throw EInvalidGraphic("Bitmap image is not valid");
  for (size_t i = 0; i < image.Palette.size(); ++i)
    image.Palette[i] = TDibColor{info.colors[i].rgbBlue, info.colors[i].rgbGreen, info.colors[i].rgbRed, 0};
  return image;
}

}  // namespace

std::unique_ptr<TMemoryStream> BitmapToStream(TBitmap* bitmap, TPixelFormat target, uint8_t method) {
  if (bitmap == nullptr || bitmap->Empty()) throw EInvalidGraphic("Bitmap image is not valid");
  if (bitmap->PixelFormat() == target && method != kReduceGrayscale) {
    auto stream = std::make_unique<TMemoryStream>();
    bitmap->SaveToStream(*stream);
    stream->SetPosition(0);
    return stream;
  }
  switch (target) {
    case pf1bit: return StreamOf(EncodeBmpFile(SystemBits(bitmap, 1)));
    case pf4bit: return StreamOf(EncodeBmpFile(SystemBits(bitmap, 4)));
    case pf8bit: return StreamOf(ReducedBitmapFile(ToTrueColor(bitmap->ToDibImage()), method));
    case pf24bit: return StreamOf(EncodeBmpFile(ToTrueColor(bitmap->ToDibImage())));
    default: ShowNotImplemented();
  }
}

std::unique_ptr<TMemoryStream> BitmapToStreamByColors(TBitmap* bitmap, int colors) {
  TPixelFormat target = colors <= 2 ? pf1bit : colors <= 16 ? pf4bit : colors > 256 ? pf24bit : pf8bit;
  return BitmapToStream(bitmap, target, DefaultReductionMethod);
}
