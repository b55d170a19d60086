#include "platform/wcl/win/bitmap.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/rtl/streams.h"
#include "platform/wcl/le_bytes.h"

namespace {

[[noreturn]] void ShortStream() { throw EReadError("Stream read error"); }
[[noreturn]] void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }

// Reads one self-describing file from the stream's position: `prefix` bytes, then the rest
// of the headers (headersSize tells how many in all), then the rest up to the extent those
// headers give. A stream holding fewer bytes than announced raises EReadError before
// anything is allocated for the announced size.
std::vector<uint8_t> ReadSizedFile(TStream& stream, size_t prefix,
                                   const std::function<size_t(const uint8_t*, size_t)>& headersSize,
                                   const std::function<size_t(const uint8_t*, size_t)>& extent) {
  int64_t available = stream.Size() - stream.Position();
  auto readUpTo = [&](std::vector<uint8_t>& bytes, size_t total) {
    size_t have = bytes.size();
    if (total < have) return;
    if (static_cast<uint64_t>(total) > static_cast<uint64_t>(std::max<int64_t>(available, 0))) ShortStream();
    bytes.resize(total);
    stream.ReadBuffer(bytes.data() + have, static_cast<int64_t>(total - have));
  };
  std::vector<uint8_t> bytes;
  readUpTo(bytes, prefix);
  readUpTo(bytes, headersSize(bytes.data(), bytes.size()));
  readUpTo(bytes, extent(bytes.data(), bytes.size()));
  return bytes;
}

// A BITMAPINFO with room for a full colour table (or the three masks).
struct TDibInfo {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};

  explicit TDibInfo(const TDibImage& shape) {
    header.biSize = sizeof header;
    header.biWidth = shape.Width;
    header.biHeight = shape.Height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(shape.BitCount);
    header.biCompression = shape.Masks.empty() ? BI_RGB : BI_BITFIELDS;
    header.biClrUsed = static_cast<DWORD>(shape.Palette.size());
    if (!shape.Masks.empty()) std::memcpy(colors, shape.Masks.data(), 3 * sizeof(uint32_t));
    for (size_t i = 0; i < shape.Palette.size() && i < 256; ++i) {
      colors[i] = RGBQUAD{shape.Palette[i].Blue, shape.Palette[i].Green, shape.Palette[i].Red, 0};
    }
  }
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// The pixels of any bitmap (not selected into a DC) in the given depth, rows bottom-up.
TDibImage ReadBitmapBits(HBITMAP bitmap, int width, int height, int bitCount) {
  TDibImage image;
  image.Width = width;
  image.Height = height;
  image.BitCount = bitCount;
  if (bitCount <= 8) image.Palette.resize(size_t{1} << bitCount);
  image.Bits.resize(image.Stride() * static_cast<size_t>(height));
  TDibInfo info(image);
  info.header.biClrUsed = 0;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), image.Bits.data(), info.get(), DIB_RGB_COLORS) == 0)
    throw EInvalidGraphic("Bitmap image is not valid");
  for (size_t i = 0; i < image.Palette.size(); ++i) {
    image.Palette[i] = TDibColor{info.colors[i].rgbBlue, info.colors[i].rgbGreen, info.colors[i].rgbRed, 0};
  }
  return image;
}

// The same 32-bit picture with 24 bits a pixel.
TDibImage DropFourthByte(const TDibImage& image) {
  TDibImage out;
  out.Width = image.Width;
  out.Height = image.Height;
  out.BitCount = 24;
  size_t stride = out.Stride();
  out.Bits.resize(stride * static_cast<size_t>(out.Height));
  for (int row = 0; row < image.Height; ++row) {
    const uint8_t* from = image.Bits.data() + image.Stride() * static_cast<size_t>(row);
    uint8_t* to = out.Bits.data() + stride * static_cast<size_t>(row);
    for (int x = 0; x < image.Width; ++x) std::memcpy(to + 3 * x, from + 4 * x, 3);
  }
  return out;
}

bool HasAlpha(const TDibImage& image) {
  for (size_t i = 3; i < image.Bits.size(); i += 4) {
    if (image.Bits[i] != 0) return true;
  }
  return false;
}

std::vector<TDibColor> DefaultColors(int bitCount) {
  static const TDibColor kVga[16] = {
      {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
      {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
      {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
      {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0}};
  std::vector<TDibColor> colors;
  if (bitCount == 1) return {TDibColor{0, 0, 0, 0}, TDibColor{255, 255, 255, 0}};
  if (bitCount == 4) return std::vector<TDibColor>(kVga, kVga + 16);
  // 8 bits: the 16 window colours, a 6 x 6 x 6 colour cube and 24 greys.
  colors.assign(kVga, kVga + 16);
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r)
        colors.push_back(TDibColor{static_cast<uint8_t>(b * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(r * 51), 0});
  for (int i = 1; colors.size() < 256; ++i) {
    auto grey = static_cast<uint8_t>(i * 10);
    colors.push_back(TDibColor{grey, grey, grey, 0});
  }
  return colors;
}

// The empty shape (no pixels) of a bitmap in the given format.
TDibImage ShapeOf(int width, int height, TPixelFormat format) {
  TDibImage shape;
  shape.Width = width;
  shape.Height = height;
  switch (format) {
    case pf1bit: shape.BitCount = 1; break;
    case pf4bit: shape.BitCount = 4; break;
    case pf8bit: shape.BitCount = 8; break;
    case pf15bit: shape.BitCount = 16; break;
    case pf16bit: shape.BitCount = 16; shape.Masks = {0xF800, 0x07E0, 0x001F}; break;
    case pf24bit: shape.BitCount = 24; break;
    case pfDevice:
    case pf32bit: shape.BitCount = 32; break;
    case pfCustom: throw EInvalidGraphicOperation("Cannot make a bitmap of a custom pixel format");
  }
  if (shape.BitCount <= 8) shape.Palette = DefaultColors(shape.BitCount);
  return shape;
}

TPixelFormat FormatOf(const TDibImage& image) {
  using Masks = std::vector<uint32_t>;
  switch (image.BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16:
      if (image.Masks.empty() || image.Masks == Masks{0x7C00, 0x03E0, 0x001F}) return pf15bit;
      return image.Masks == Masks{0xF800, 0x07E0, 0x001F} ? pf16bit : pfCustom;
    case 24: return pf24bit;
    default:
      return image.Masks.empty() || image.Masks == Masks{0xFF0000, 0xFF00, 0xFF} ? pf32bit : pfCustom;
  }
}

void CheckSides(int width, int height) {
  if (width > kMaxPictureSide || height > kMaxPictureSide) throw EInvalidGraphic("Bitmap image is not valid");
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) InvalidIcon();
  UniqueBitmap color(info.hbmColor);
  UniqueBitmap mask(info.hbmMask);
  BITMAP bm{};
  GetObjectA(mask.get(), sizeof bm, &bm);
  return SIZE{bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TGraphic

void TGraphic::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(fileName);
}

// ---------------------------------------------------------------------------------------
// TBitmap

// The bitmap's canvas: a memory DC made on first use, with the bitmap selected in it.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeDc(); }

  void FreeDc() {
    SetHandle(nullptr);
    selection_.reset();
    dc_.reset();
  }

protected:
  void CreateHandle() override {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return;
    if (bitmap_->handle_) selection_ = std::make_unique<ScopedSelectObject>(dc.get(), bitmap_->handle_.get());
    dc_ = std::move(dc);
    SetHandle(dc_.get());
  }

private:
  TBitmap* bitmap_;
  UniqueMemoryDc dc_;
  std::unique_ptr<ScopedSelectObject> selection_;
};

TBitmap::TBitmap() { colors_ = ShapeOf(0, 0, format_).Palette; }

TBitmap::~TBitmap() = default;

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TBitmapCanvas>(this);
    canvas_->OnChange = [this](TObject*) { Changed(); };
  }
  return canvas_.get();
}

HBITMAP TBitmap::Handle() {
  ReleaseCanvasDc();
  return handle_.get();
}

void TBitmap::ReleaseCanvasDc() {
  if (canvas_) canvas_->FreeDc();
}

void TBitmap::Adopt(const TDibImage& image, TPixelFormat format) {
  ReleaseCanvasDc();
  if (image.Width <= 0 || image.Height <= 0) {
    TDibImage shape = ShapeOf(0, 0, format == pfCustom ? pfDevice : format);
    handle_.reset();
    palette_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
    bitCount_ = shape.BitCount;
    masks_ = shape.Masks;
    colors_ = shape.Palette;
    format_ = format == pfCustom ? pfDevice : format;
    return;
  }
  TDibInfo info(image);
  void* bits = nullptr;
  HBITMAP handle = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (handle == nullptr || bits == nullptr) throw EOutOfResources("Out of system resources");
  handle_.reset(handle);
  palette_.reset();
  bits_ = bits;
  width_ = image.Width;
  height_ = image.Height;
  bitCount_ = image.BitCount;
  masks_ = image.Masks;
  colors_ = image.Palette;
  format_ = format;
  size_t bytes = image.Stride() * static_cast<size_t>(height_);
  if (image.Bits.size() == bytes) std::memcpy(bits_, image.Bits.data(), bytes);
}

void TBitmap::Reshape(int width, int height, TPixelFormat format) {
  CheckSides(width, height);
  ReleaseCanvasDc();
  UniqueBitmap old(handle_.release());
  int oldWidth = width_;
  int oldHeight = height_;
  TDibImage shape = ShapeOf(width, height, format);
  if (shape.BitCount == bitCount_ && shape.BitCount <= 8) shape.Palette = colors_;
  try {
    Adopt(shape, format);
  } catch (...) {
    handle_ = std::move(old);
    throw;
  }
  if (!handle_) return;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  ScopedSelectObject select(dc.get(), handle_.get());
  RECT all{0, 0, width, height};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (old) {
    UniqueMemoryDc sourceDc(CreateCompatibleDC(nullptr));
    ScopedSelectObject selectSource(sourceDc.get(), old.get());
    BitBlt(dc.get(), 0, 0, std::min(width, oldWidth), std::min(height, oldHeight), sourceDc.get(), 0, 0, SRCCOPY);
  }
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Reshape(width, height, format_);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  Reshape(width_, height_, format);
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == Monochrome()) return;
  if (!monochrome || Empty()) {
    SetPixelFormat(monochrome ? pf1bit : pfDevice);
    return;
  }
  // A colour-to-monochrome blit turns the source DC's background colour into white and
  // everything else into black.
  UniqueBitmap mask(CreateBitmap(width_, height_, 1, 1, nullptr));
  if (!mask) throw EOutOfResources("Out of system resources");
  {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ScopedSelectObject select(dc.get(), mask.get());
    TCanvas* canvas = Canvas();
    HDC source = canvas->Handle();
    COLORREF oldBackground = SetBkColor(source, static_cast<COLORREF>(ColorToRGB(canvas->Brush()->Color())));
    BitBlt(dc.get(), 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldBackground);
  }
  TDibImage image = ReadBitmapBits(mask.get(), width_, height_, 1);
  image.Palette = DefaultColors(1);
  Adopt(image, pf1bit);
  Changed();
}

HPALETTE TBitmap::Palette() {
  if (!palette_ && handle_ && bitCount_ <= 8 && !colors_.empty()) {
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + colors_.size() * sizeof(PALETTEENTRY));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = static_cast<WORD>(colors_.size());
    for (size_t i = 0; i < colors_.size(); ++i) {
      logPalette->palPalEntry[i] = PALETTEENTRY{colors_[i].Red, colors_[i].Green, colors_[i].Blue, 0};
    }
    palette_.reset(CreatePalette(logPalette));
  }
  return palette_.get();
}

void TBitmap::SetPalette(HPALETTE palette) {
  UniquePalette owned(palette);
  if (palette != nullptr && bitCount_ <= 8) {
    std::vector<PALETTEENTRY> entries(colors_.size());
    UINT count = GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
    std::vector<RGBQUAD> table;
    for (UINT i = 0; i < count; ++i) {
      colors_[i] = TDibColor{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
      table.push_back(RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    }
    if (handle_ && count > 0) SetDIBColorTable(Canvas()->Handle(), 0, count, table.data());
  }
  palette_ = std::move(owned);
  Changed();
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return (Canvas()->Pixels(0, height_ - 1) & 0xFFFFFF) | clPaletteRelative;
}

void TBitmap::SetTransparentColor(TColor color) {
  TTransparentMode mode = color == clDefault ? tmAuto : tmFixed;
  if (color == transparentColor_ && mode == transparentMode_) return;
  transparentColor_ = color;
  transparentMode_ = mode;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  SetTransparentColor(mode == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  UniqueBitmap owned(bitmap);
  BITMAP bm{};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof bm, &bm) == 0) {
    Adopt(TDibImage{}, format_);
  } else {
    CheckSides(bm.bmWidth, bm.bmHeight);
    int depth = bm.bmBitsPixel * bm.bmPlanes;
    TPixelFormat format = depth == 1 ? pf1bit : depth == 4 ? pf4bit : depth == 8 ? pf8bit : depth == 24 ? pf24bit : pfDevice;
    TDibImage image = ReadBitmapBits(bitmap, bm.bmWidth, bm.bmHeight, ShapeOf(0, 0, format).BitCount);
    Adopt(image, format);
  }
  Changed();
}

void* TBitmap::ScanLine(int y) {
  if (Empty() || y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return static_cast<uint8_t*>(bits_) + TDibImage::DibStride(width_, bitCount_) * static_cast<size_t>(height_ - 1 - y);
}

TDibImage TBitmap::ToDibImage() const {
  TDibImage image;
  if (Empty()) return image;
  GdiFlush();
  image.Width = width_;
  image.Height = height_;
  image.BitCount = bitCount_;
  image.Masks = masks_;
  image.Palette = colors_;
  const auto* bits = static_cast<const uint8_t*>(bits_);
  image.Bits.assign(bits, bits + image.Stride() * static_cast<size_t>(height_));
  return image;
}

void TBitmap::Draw(TCanvas* canvas, const RECT& rect) {
  if (Empty()) return;
  HDC dest = canvas->Handle();
  HDC source = Canvas()->Handle();
  ScopedSelectPalette palette(dest, Palette(), true);
  int oldMode = SetStretchBltMode(dest, COLORONCOLOR);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (Transparent()) {
    auto key = static_cast<COLORREF>(ColorToRGB(TransparentColor()) & 0xFFFFFF);
    TransparentBlt(dest, rect.left, rect.top, width, height, source, 0, 0, width_, height_, key);
  } else {
    StretchBlt(dest, rect.left, rect.top, width, height, source, 0, 0, width_, height_, canvas->CopyMode());
  }
  SetStretchBltMode(dest, oldMode);
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> bytes = ReadSizedFile(stream, kBmpFileHeaderSize + 4, BmpHeadersSize, BmpFileExtent);
  TDibImage image = DecodeBmpFile(bytes.data(), bytes.size());
  bytes = std::vector<uint8_t>();
  Adopt(image, FormatOf(image));
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  TDibImage image = ToDibImage();
  if (format_ == pfDevice) image = DropFourthByte(image);
  std::vector<uint8_t> file = EncodeBmpFile(image);
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC resource = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw EResNotFound("Resource " + name + " not found");
  TDibImage image = DecodePackedDib(static_cast<const uint8_t*>(data), SizeofResource(instance, resource));
  Adopt(image, FormatOf(image));
  Changed();
}

void TBitmap::Assign(TPersistent* source) {
  auto* bitmap = dynamic_cast<TBitmap*>(source);
  if (source != nullptr && bitmap == nullptr) return TGraphic::Assign(source);
  if (bitmap == this) return;
  if (bitmap == nullptr) {
    Adopt(TDibImage{}, format_);
  } else {
    Adopt(bitmap->ToDibImage(), bitmap->format_);
    transparentColor_ = bitmap->transparentColor_;
    transparentMode_ = bitmap->transparentMode_;
    transparent_ = bitmap->transparent_;
  }
  Changed();
}

// ---------------------------------------------------------------------------------------
// TIcon

TIcon::TIcon() { transparent_ = true; }

TIcon::~TIcon() = default;

void TIcon::Clear() {
  bytes_.clear();
  directory_ = TIconDirectory();
  best_ = 0;
  handle_.reset();
  width_ = height_ = 0;
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

HICON TIcon::Handle() {
  if (!handle_ && !bytes_.empty()) {
    const TIconEntry& entry = directory_.Entries[best_];
    // A cursor image is handed over behind its hot spot.
    std::vector<uint8_t> resource;
    if (directory_.Cursor) {
      AppendLe16(resource, static_cast<uint32_t>(entry.HotSpotX));
      AppendLe16(resource, static_cast<uint32_t>(entry.HotSpotY));
    }
    resource.insert(resource.end(), bytes_.begin() + entry.Offset, bytes_.begin() + entry.Offset + entry.Size);
    HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                          directory_.Cursor ? FALSE : TRUE, 0x00030000, entry.Width,
                                          entry.Height, LR_DEFAULTCOLOR);
    if (icon == nullptr) InvalidIcon();
    handle_.reset(icon);
  }
  return handle_.get();
}

void TIcon::SetHandle(HICON icon) {
  SIZE size = icon != nullptr ? IconSize(icon) : SIZE{0, 0};
  Clear();
  handle_.reset(icon);
  width_ = size.cx;
  height_ = size.cy;
  Changed();
}

void TIcon::Draw(TCanvas* canvas, const RECT& rect) {
  HICON icon = Handle();
  if (icon == nullptr) return;
  DrawIconEx(canvas->Handle(), rect.left, rect.top, icon, rect.right - rect.left, rect.bottom - rect.top, 0,
             nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& stream) {
  auto headersSize = [](const uint8_t* data, size_t size) {
    return kIconHeaderSize + IconEntryCount(data, size) * kIconEntrySize;
  };
  std::vector<uint8_t> bytes = ReadSizedFile(stream, kIconHeaderSize, headersSize, IconFileExtent);
  TIconDirectory directory = ParseIconFile(bytes.data(), bytes.size());
  bool cursor = directory.Cursor;
  size_t best = BestIconEntry(directory, GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON),
                              GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON));
  Clear();
  bytes_ = std::move(bytes);
  directory_ = std::move(directory);
  best_ = best;
  width_ = directory_.Entries[best].Width;
  height_ = directory_.Entries[best].Height;
  Changed();
}

std::vector<uint8_t> TIcon::EncodeFromHandle() const {
  ICONINFO info{};
  if (!GetIconInfo(handle_.get(), &info)) InvalidIcon();
  UniqueBitmap color(info.hbmColor);
  UniqueBitmap mask(info.hbmMask);
  if (!color) {
    // A monochrome icon keeps both halves in its mask: the AND mask on top, the colour
    // bits below (which come first in a bottom-up DIB).
    TDibImage both = ReadBitmapBits(mask.get(), width_, height_ * 2, 1);
    size_t half = both.Stride() * static_cast<size_t>(height_);
    TDibImage colorImage = both;
    colorImage.Height = height_;
    colorImage.Bits.resize(half);
    TDibImage maskImage = colorImage;
    maskImage.Bits.assign(both.Bits.begin() + half, both.Bits.end());
    return EncodeIconFile(colorImage, maskImage);
  }
  TDibImage colorImage = ReadBitmapBits(color.get(), width_, height_, 32);
  if (!HasAlpha(colorImage)) colorImage = DropFourthByte(colorImage);
  return EncodeIconFile(colorImage, ReadBitmapBits(mask.get(), width_, height_, 1));
}

void TIcon::SaveToStream(TStream& stream) {
  std::vector<uint8_t> made;
  const std::vector<uint8_t>* bytes = &bytes_;
  if (bytes_.empty()) {
    if (!handle_) return;
    made = EncodeFromHandle();
    bytes = &made;
  }
  stream.WriteBuffer(bytes->data(), static_cast<int64_t>(bytes->size()));
}

void TIcon::Assign(TPersistent* source) {
  auto* icon = dynamic_cast<TIcon*>(source);
  if (source != nullptr && icon == nullptr) return TGraphic::Assign(source);
  if (icon == this) return;
  if (icon != nullptr && icon->bytes_.empty() && icon->handle_) {
    HICON copy = CopyIcon(icon->handle_.get());
    if (copy == nullptr) throw EOutOfResources("Out of system resources");
    Clear();
    handle_.reset(copy);
    width_ = icon->width_;
    height_ = icon->height_;
  } else {
    Clear();
    if (icon != nullptr) {
      bytes_ = icon->bytes_;
      directory_ = icon->directory_;
      best_ = icon->best_;
      width_ = icon->width_;
      height_ = icon->height_;
    }
  }
  Changed();
}

// ---------------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Hold(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) {
    graphic_->OnChange = [this](TObject*) {
      if (OnChange) OnChange(this);
    };
  }
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (graphic == nullptr) return Hold(nullptr);
  std::unique_ptr<TGraphic> copy = graphic->CreateSame();
  copy->Assign(graphic);
  Hold(std::move(copy));
}

template <typename T>
T* TPicture::As() {
  if (auto* graphic = dynamic_cast<T*>(graphic_.get())) return graphic;
  Hold(std::make_unique<T>());
  return static_cast<T*>(graphic_.get());
}

TBitmap* TPicture::Bitmap() { return As<TBitmap>(); }

TIcon* TPicture::Icon() { return As<TIcon>(); }

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) return SetGraphic(nullptr);
  if (auto* picture = dynamic_cast<TPicture*>(source)) {
    if (picture != this) SetGraphic(picture->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}
