#include "demo/gif_format.h"

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cstring>

#include "demo/demo_texts.h"
#include "demo/mem_helpers.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

TColor TGifColorTable::ColorAt(int index) const {
  const uint8_t* entry = &Entries[static_cast<size_t>(index) * 3];
  return static_cast<TColor>(entry[0] | (entry[1] << 8) | (entry[2] << 16));
}

int TGifColorTable::IndexOf(TColor rgb) const {
  for (int i = 0; i < Count && i < 256; ++i)
    if (ColorAt(i) == (rgb & 0xFFFFFF)) return i;
  return -1;
}

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;  // "!"
constexpr uint8_t kImageSeparator = 0x2C;       // ","
constexpr uint8_t kTrailer = 0x3B;              // ";"
constexpr uint8_t kLabelGraphicControl = 0xF9;
constexpr uint8_t kLabelComment = 0xFE;
constexpr uint8_t kLabelPlainText = 0x01;
constexpr uint8_t kLabelApplication = 0xFF;
constexpr char kLoopIdentifier[] = "NETSCAPE2.0";

[[noreturn]] void ShortData() { throw EReadError("Stream read error"); }

// Reads the file's bytes; every fixed-size read checks what is left.
class TByteReader {
public:
  TByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool AtEnd() const { return pos_ >= size_; }
  size_t Left() const { return size_ - pos_; }
  uint8_t Byte() {
    if (AtEnd()) ShortData();
    return data_[pos_++];
  }
  const uint8_t* Take(size_t count) {
    if (Left() < count) ShortData();
    const uint8_t* p = data_ + pos_;
    pos_ += count;
    return p;
  }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

bool SameTextBytes(const uint8_t* p, const char* text) {
  for (size_t i = 0; text[i] != 0; ++i)
    if (std::tolower(p[i]) != text[i]) return false;
  return true;
}

void ReadColorTable(TByteReader& in, int bits, TGifColorTable& table) {
  table.Count = 1 << bits;
  const uint8_t* entries = in.Take(static_cast<size_t>(table.Count) * 3);
  std::memcpy(table.Entries.data(), entries, static_cast<size_t>(table.Count) * 3);
}

// Data sub-blocks up to a zero length or the end of the data, one string each.
void ReadSubBlocks(TByteReader& in, std::vector<std::string>& blocks) {
  while (!in.AtEnd()) {
    uint8_t length = in.Byte();
    if (length == 0) break;
    const uint8_t* bytes = in.Take(length);
    blocks.emplace_back(reinterpret_cast<const char*>(bytes), length);
  }
}

TGifExtension ReadExtension(TByteReader& in) {
  TGifExtension extension;
  uint8_t label = in.Byte();
  size_t fixed = 0;
  switch (label) {
    case kLabelGraphicControl: extension.Kind = gekGraphicControl; fixed = 6; break;
    case kLabelComment: extension.Kind = gekComment; break;
    case kLabelPlainText: extension.Kind = gekPlainText; fixed = 13; break;
    case kLabelApplication: extension.Kind = gekApplication; fixed = 12; break;
    default: {
      char message[160];
      std::snprintf(message, sizeof message, SGIFUnknownExtension, static_cast<unsigned>(label));
      throw EInvalidGraphicOperation(message);
    }
  }
  const uint8_t* bytes = in.Take(fixed);
  extension.Fixed.assign(bytes, bytes + fixed);
  if (extension.Kind != gekGraphicControl) ReadSubBlocks(in, extension.SubBlocks);
  return extension;
}

// The loop setting of an application extension, when it is one.
void ApplyLoopExtension(const TGifExtension& extension, TGifImageInfo& image) {
  if (extension.Fixed.size() < 12 || !SameBytes(extension.Fixed.data() + 1, kLoopIdentifier, 11)) return;
  for (const std::string& block : extension.SubBlocks) {
    if (block.size() >= 3 && static_cast<uint8_t>(block[0]) == 1) {
      int count = static_cast<uint8_t>(block[1]) + 256 * static_cast<uint8_t>(block[2]);
      image.LoopEnabled = true;
      image.LoopCount = static_cast<uint16_t>(std::min(count, kMaxGifLoopCount));
      return;
    }
  }
}

// The code-size byte and sub-blocks of a frame. A sub-block cut short by the end of the
// data marks the frame damaged and is kept with its true length and a terminator, so that
// the raster can be written back as a well-formed GIF.
void ReadRaster(TByteReader& in, TGifFrameInfo& frame) {
  std::vector<uint8_t>& data = frame.Raster->Data;
  if (in.AtEnd()) {
    frame.Damaged = true;
    return;
  }
  data.push_back(in.Byte());
  for (;;) {
    if (in.AtEnd()) {
      data.push_back(0);
      return;
    }
    uint8_t length = in.Byte();
    data.push_back(length);
    if (length == 0) return;
    size_t count = std::min<size_t>(length, in.Left());
    if (count < length) {
      frame.Damaged = true;
      data.back() = static_cast<uint8_t>(count);
    }
    const uint8_t* bytes = in.Take(count);
    data.insert(data.end(), bytes, bytes + count);
    if (count < length) {
      if (count > 0) data.push_back(0);
      return;
    }
  }
}

void ApplyGraphicControls(TGifFrameInfo& frame) {
  for (const TGifExtension& extension : frame.Extensions) {
    if (extension.Kind != gekGraphicControl || extension.Fixed.size() < 6) continue;
    uint8_t packed = extension.Fixed[1];
    int delay = ReadLe16(&extension.Fixed[2]);
    int index = extension.Fixed[4];
    if ((packed & 1) == 0)
      frame.KeyColor = clNone;
    else if (index < frame.Raster->Table.Count)
      frame.KeyColor = frame.Raster->Table.ColorAt(index);
    // Delays over 65.535 s are kept as the longest one the field holds.
    int delayMs = std::min(delay * 10, 0xFFFF);
    frame.DelayMs = static_cast<uint16_t>(std::max<int>(frame.DelayMs, delayMs));
    frame.Disposal = (packed >> 2) & 7;
  }
}

int BitsForCount(int count) {
  for (int bits = 1; bits <= 8; ++bits)
    if (count == (1 << bits)) return bits;
  throw EInvalidGraphicOperation(SGIFWrongPaletteSize);
}

void ReadFrame(TByteReader& in, const TGifImageInfo& image, TGifFrameInfo& frame) {
  const uint8_t* descriptor = in.Take(9);
  TGifRaster& raster = *frame.Raster;
  frame.OriginLeft = ReadLe16(descriptor);
  frame.OriginTop = ReadLe16(descriptor + 2);
  raster.Width = ReadLe16(descriptor + 4);
  raster.Height = ReadLe16(descriptor + 6);
  raster.Packed = descriptor[8];
  // The frame must lie within the largest logical screen a file may have.
  if (frame.OriginLeft + raster.Width > kMaxPictureSide || frame.OriginTop + raster.Height > kMaxPictureSide)
    ShortData();
  frame.RowsInterlaced = (raster.Packed & 0x40) != 0;
  if (raster.Packed & 0x80) {
    raster.BitsPerPixel = (raster.Packed & 7) + 1;
    ReadColorTable(in, raster.BitsPerPixel, raster.Table);
    frame.HasLocalTable = true;
  } else {
    raster.Table = image.Header->GlobalTable;
    raster.BitsPerPixel = BitsForCount(raster.Table.Count);
  }
  ReadRaster(in, frame);
  ApplyGraphicControls(frame);
}

}  // namespace

void ReadGif(const uint8_t* data, size_t size, TGifDocument& doc) {
  if (size == 0) return;
  TByteReader in(data, size);
  TGifImageInfo& image = doc.Image;
  TGifHeaderData& header = *image.Header;

  if (in.Left() < 6 || !SameTextBytes(data, "gif")) throw EInvalidGraphicOperation(SGIFUnknownVersion);
  in.Take(3);
  const uint8_t* version = in.Take(3);
  if (SameTextBytes(version, "87a"))
    image.VersionIndex = 1;
  else if (SameTextBytes(version, "89a"))
    image.VersionIndex = 2;
  else
    throw EInvalidGraphicOperation(SGIFUnknownVersion);

  const uint8_t* screen = in.Take(7);
  image.LogicalWidth = ReadLe16(screen);
  image.LogicalHeight = ReadLe16(screen + 2);
  if (image.LogicalWidth > kMaxPictureSide || image.LogicalHeight > kMaxPictureSide) ShortData();
  uint8_t packed = screen[4];
  header.ColorResolution = ((packed >> 4) & 7) + 1;
  header.AspectRatio = screen[6];
  if (packed & 0x80) {
    header.GlobalBits = (packed & 7) + 1;
    ReadColorTable(in, header.GlobalBits, header.GlobalTable);
    if (screen[5] < header.GlobalTable.Count) image.BackdropColor = header.GlobalTable.ColorAt(screen[5]);
  }

  uint8_t block = in.AtEnd() ? 0 : in.Byte();
  while (block != 0 && block != kTrailer) {
    std::vector<TGifExtension> gathered;
    while (block == kExtensionIntroducer) {
      TGifExtension extension;
      try {
        extension = ReadExtension(in);
      } catch (const EReadError&) {
        // The data ends inside an extension: what came before it is the whole file.
        block = kTrailer;
        break;
      }
      switch (extension.Kind) {
        case gekPlainText: gathered.clear(); break;
        case gekApplication: ApplyLoopExtension(extension, image); break;
        default: gathered.push_back(std::move(extension));
      }
      block = in.AtEnd() ? kTrailer : in.Byte();
    }
    if (block == kImageSeparator) {
      if (doc.Frames.size() >= kMaxGifFrames) ShortData();
      TGifFrameInfo frame;
      frame.Extensions = std::move(gathered);
      ReadFrame(in, image, frame);
      doc.Frames.push_back(std::move(frame));
      block = 0;
      while (!in.AtEnd() && block == 0) block = in.Byte();
      if (in.AtEnd() && block == 0) block = kTrailer;
      if (block != kExtensionIntroducer && block != kImageSeparator && block != kTrailer) block = 0;
    } else {
      // Extensions that no image follows: comments belong to the whole image.
      if ((!header.Comments.empty() || gathered.empty()) && block != 0 && block != kTrailer) ShortData();
      for (TGifExtension& extension : gathered) {
        if (extension.Kind != gekComment) continue;
        if (!header.Comments.empty()) header.Comments.push_back("\r\n\r\n");
        for (std::string& line : extension.SubBlocks) header.Comments.push_back(std::move(line));
      }
      if (in.AtEnd()) break;
    }
  }
}

int GifBitmapBits(const TGifRaster& raster) {
  int bits = raster.BitsPerPixel;
  if (bits == 1) return 1;
  if (bits >= 2 && bits <= 4) return 4;
  if (bits >= 5 && bits <= 8) return 8;
  throw EInvalidGraphicOperation(SGIFWrongPaletteSize);
}

TGifDecodeResult DecodeGifFrame(const TGifFrameInfo& frame, TDibImage& picture, const TGifProgress& progress) {
  const TGifRaster& raster = *frame.Raster;
  picture = TDibImage{};
  picture.BitCount = GifBitmapBits(raster);
  picture.Width = raster.Width;
  picture.Height = raster.Height;
  picture.Palette.assign(size_t{1} << picture.BitCount, TDibColor{128, 128, 128, 128});
  for (int i = 0; i < raster.Table.Count && i < static_cast<int>(picture.Palette.size()); ++i) {
    TColor color = raster.Table.ColorAt(i);
    picture.Palette[static_cast<size_t>(i)] =
        TDibColor{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color), 0};
  }
  if (picture.Width <= 0 || picture.Height <= 0 || picture.Width > kMaxPictureSide ||
      picture.Height > kMaxPictureSide) {
    picture.Width = picture.Height = 0;
    return TGifDecodeResult::Complete;
  }
  // One code of at least three bits gives at most a stack of pixels: a raster too short to
  // fill the picture is known to be cut before anything is allocated for it.
  uint64_t pixels = static_cast<uint64_t>(picture.Width) * static_cast<uint64_t>(picture.Height);
  uint64_t reachable = (static_cast<uint64_t>(raster.Data.size()) * 8 / 3 + 1) * 4097;
  if (pixels > reachable) return TGifDecodeResult::Truncated;
  picture.Bits.assign(picture.Stride() * static_cast<size_t>(picture.Height), 0);
  TGifPixels target{picture.Width, picture.Height, picture.BitCount, picture.Bits.data()};
  return DecodeGifRaster(raster.Data.data(), raster.Data.size(), target, raster.BitsPerPixel, frame.RowsInterlaced,
                         true, progress);
}

void EncodeGifFrame(TGifImageInfo& image, TGifFrameInfo& frame, const TDibImage& picture,
                    const TGifProgress& progress) {
  if (picture.BitCount != 1 && picture.BitCount != 4 && picture.BitCount != 8)
    throw EInvalidGraphicOperation(SGIFEncodeError);
  if (picture.Width <= 0 || picture.Height <= 0) throw EInvalidGraphicOperation(SGIFNoData);
  auto raster = std::make_shared<TGifRaster>();
  frame.RowsInterlaced = false;
  int colors = std::min(256, 1 << picture.BitCount);
  raster->Table.Count = colors;
  for (int i = 0; i < colors && i < static_cast<int>(picture.Palette.size()); ++i) {
    const TDibColor& entry = picture.Palette[static_cast<size_t>(i)];
    raster->Table.Entries[static_cast<size_t>(i) * 3] = entry.Red;
    raster->Table.Entries[static_cast<size_t>(i) * 3 + 1] = entry.Green;
    raster->Table.Entries[static_cast<size_t>(i) * 3 + 2] = entry.Blue;
  }
  frame.Raster = std::make_shared<TGifRaster>();
  TGifPixels source{picture.Width, picture.Height, picture.BitCount, const_cast<uint8_t*>(picture.Bits.data())};
  if (picture.Bits.size() < source.Stride() * static_cast<size_t>(picture.Height))
    throw EInvalidGraphicOperation(SGIFEncodeError);
  raster->Data = EncodeGifRaster(source, false, progress);
  int bits = 1;
  while ((1 << bits) < colors) ++bits;
  raster->BitsPerPixel = bits;
  raster->Width = picture.Width;
  raster->Height = picture.Height;
  if (image.Header->GlobalTable.Count == 0) {
    if (image.Header.use_count() > 1) image.Header = std::make_shared<TGifHeaderData>(*image.Header);
    image.Header->GlobalTable = raster->Table;
    image.Header->GlobalBits = bits;
    frame.HasLocalTable = false;
  } else {
    frame.HasLocalTable = true;
  }
  frame.Raster = std::move(raster);
  image.LogicalWidth = static_cast<uint16_t>(
      std::min(0xFFFF, std::max<int>(image.LogicalWidth, frame.OriginLeft + picture.Width)));
  image.LogicalHeight = static_cast<uint16_t>(
      std::min(0xFFFF, std::max<int>(image.LogicalHeight, frame.OriginTop + picture.Height)));
}

namespace {

void AppendSubBlocks(std::vector<uint8_t>& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    size_t length = std::min<size_t>(line.size(), 255);
    if (length == 0) continue;
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), line.begin(), line.begin() + static_cast<std::ptrdiff_t>(length));
  }
  out.push_back(0);
}

// A 16-bit field of the file; larger values cannot be written.
void AppendField16(std::vector<uint8_t>& out, int value) {
  if (value < 0 || value > 0xFFFF) throw EInvalidGraphicOperation(SGIFEncodeError);
  AppendLe16(out, static_cast<uint32_t>(value));
}

int TableBits(int count) {
  int bits = 1;
  while (bits < 8 && (1 << bits) < count) ++bits;
  return bits;
}

void AppendTable(std::vector<uint8_t>& out, const TGifColorTable& table, int bits) {
  size_t bytes = (size_t{1} << bits) * 3;
  size_t have = static_cast<size_t>(std::min(table.Count, 256)) * 3;
  out.insert(out.end(), table.Entries.begin(), table.Entries.begin() + static_cast<std::ptrdiff_t>(std::min(have, bytes)));
  out.insert(out.end(), bytes - std::min(have, bytes), 0);
}

// Brings the frame's graphic-control extension in line with its delay, key colour and
// disposal, and drops empty comments.
void PrepareGraphicControl(TGifImageInfo& image, TGifFrameInfo& frame, const TColorToRgb& colorToRgb) {
  auto control = std::find_if(frame.Extensions.begin(), frame.Extensions.end(), [](const TGifExtension& e) {
    return e.Kind == gekGraphicControl && e.Fixed.size() >= 6;
  });
  if (control == frame.Extensions.end() && (frame.DelayMs != 0 || frame.KeyColor != clNone || frame.Disposal != 0)) {
    TGifExtension created;
    created.Kind = gekGraphicControl;
    created.Fixed = {4, 0, 0, 0, 0, 0};
    frame.Extensions.push_back(created);
    control = frame.Extensions.end() - 1;
  }
  if (control != frame.Extensions.end()) {
    std::vector<uint8_t>& fixed = control->Fixed;
    int delay = frame.DelayMs / 10;
    fixed[2] = static_cast<uint8_t>(delay);
    fixed[3] = static_cast<uint8_t>(delay >> 8);
    int index = -1;
    if (frame.KeyColor != clNone) {
      TColor rgb = colorToRgb ? colorToRgb(frame.KeyColor) : frame.KeyColor;
      index = frame.Raster->Table.IndexOf(rgb & 0xFFFFFF);
    }
    if (index >= 0) {
      fixed[4] = static_cast<uint8_t>(index);
      fixed[1] |= 1;
    } else {
      fixed[1] &= static_cast<uint8_t>(~1);
    }
    fixed[1] = static_cast<uint8_t>((fixed[1] & ~0x1C) | ((frame.Disposal & 7) << 2));
  }
  frame.Extensions.erase(std::remove_if(frame.Extensions.begin(), frame.Extensions.end(),
                                        [](const TGifExtension& e) {
                                          return e.Kind == gekComment && e.SubBlocks.empty();
                                        }),
                         frame.Extensions.end());
  if (!frame.Extensions.empty()) image.VersionIndex = 2;
}

void AppendExtension(std::vector<uint8_t>& out, const TGifExtension& extension) {
  static const uint8_t kLabels[] = {kLabelGraphicControl, kLabelPlainText, kLabelApplication, kLabelComment};
  out.push_back(kExtensionIntroducer);
  out.push_back(kLabels[extension.Kind & 3]);
  out.insert(out.end(), extension.Fixed.begin(), extension.Fixed.end());
  if (extension.Kind != gekGraphicControl) AppendSubBlocks(out, extension.SubBlocks);
}

}  // namespace

std::vector<uint8_t> WriteGif(TGifImageInfo& image, const std::vector<TGifFrameInfo*>& frames,
                              const TColorToRgb& colorToRgb) {
  if (frames.empty()) throw EInvalidGraphicOperation(SGIFNoData);
  for (TGifFrameInfo* frame : frames) {
    if (!frame->Raster || frame->Raster->Data.empty()) throw EInvalidGraphicOperation(SGIFNoData);
    PrepareGraphicControl(image, *frame, colorToRgb);
  }
  const TGifHeaderData& header = *image.Header;
  if (!header.Comments.empty()) image.VersionIndex = 2;

  std::vector<uint8_t> out;
  out.insert(out.end(), {'G', 'I', 'F', '8', static_cast<uint8_t>(image.VersionIndex == 2 ? '9' : '7'), 'a'});

  // The logical screen holds every frame (and keeps the size it was read with).
  int width = image.LogicalWidth;
  int height = image.LogicalHeight;
  for (const TGifFrameInfo* frame : frames) {
    width = std::max(width, frame->OriginLeft + frame->Raster->Width);
    height = std::max(height, frame->OriginTop + frame->Raster->Height);
  }
  // What is written must be readable: the screen stays within the readers' caps.
  if (width > kMaxPictureSide || height > kMaxPictureSide) throw EInvalidGraphicOperation(SGIFEncodeError);
  AppendField16(out, width);
  AppendField16(out, height);
  image.LogicalWidth = static_cast<uint16_t>(width);
  image.LogicalHeight = static_cast<uint16_t>(height);
  const TGifColorTable& global = header.GlobalTable;
  int globalBits = 0;
  if (global.Count > 0) {
    globalBits = BitsForCount(global.Count);
    int storedBits = header.GlobalBits >= 1 && header.GlobalBits <= 8 ? header.GlobalBits : globalBits;
    out.push_back(static_cast<uint8_t>(0x80 + (globalBits - 1) * 16 + (storedBits - 1)));
    int background = 0;
    if (image.BackdropColor != clNone) {
      TColor rgb = colorToRgb ? colorToRgb(image.BackdropColor) : image.BackdropColor;
      background = std::max(0, global.IndexOf(rgb & 0xFFFFFF));
    }
    out.push_back(static_cast<uint8_t>(background));
  } else {
    out.push_back(0);
    out.push_back(0);
  }
  out.push_back(header.AspectRatio);
  if (global.Count > 0) AppendTable(out, global, globalBits);

  if (image.LoopEnabled && frames.size() > 1) {
    out.insert(out.end(), {kExtensionIntroducer, kLabelApplication, 11});
    out.insert(out.end(), kLoopIdentifier, kLoopIdentifier + 11);
    out.insert(out.end(), {3, 1, static_cast<uint8_t>(image.LoopCount), static_cast<uint8_t>(image.LoopCount >> 8), 0});
  }

  for (const TGifFrameInfo* frame : frames) {
    for (const TGifExtension& extension : frame->Extensions) AppendExtension(out, extension);
    const TGifRaster& raster = *frame->Raster;
    out.push_back(kImageSeparator);
    AppendField16(out, frame->OriginLeft);
    AppendField16(out, frame->OriginTop);
    AppendField16(out, raster.Width);
    AppendField16(out, raster.Height);
    int localBits = TableBits(raster.Table.Count);
    uint8_t packed = frame->HasLocalTable ? static_cast<uint8_t>(0x80 + localBits - 1) : 0;
    if (frame->RowsInterlaced) packed |= 0x40;
    out.push_back(packed);
    if (frame->HasLocalTable) AppendTable(out, raster.Table, localBits);
    out.insert(out.end(), raster.Data.begin(), raster.Data.end());
  }
  if (!header.Comments.empty()) {
    out.push_back(kExtensionIntroducer);
    out.push_back(kLabelComment);
    AppendSubBlocks(out, header.Comments);
  }
  out.push_back(kTrailer);
  return out;
}

std::vector<uint8_t> WriteGif(TGifDocument& doc, const TColorToRgb& colorToRgb) {
  std::vector<TGifFrameInfo*> frames;
  for (TGifFrameInfo& frame : doc.Frames) frames.push_back(&frame);
  return WriteGif(doc.Image, frames, colorToRgb);
}
