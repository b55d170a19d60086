#include "demo/gif_lzw.h"

#include <array>
#include <cstdio>
#include <memory>

#include "demo/demo_texts.h"
#include "platform/rtl/exceptions.h"

size_t TGifPixels::Stride() const {
  return ((static_cast<size_t>(Width) * static_cast<size_t>(BitCount) + 31) / 32) * 4;
}

std::vector<int> GifRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  if (height <= 0) return order;
  order.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;
constexpr size_t kStackSize = 4097;

// Walks the data sub-blocks of a raster and hands out codes, least significant bit first.
class TCodeReader {
public:
  TCodeReader(const uint8_t* data, size_t size, size_t start) : data_(data), size_(size), pos_(start) {}

  // The next code of width bits, or -1 when the data ends before it is complete.
  int Next(int width) {
    while (count_ < width) {
      if (blockLeft_ == 0) {
        // A new sub-block: its length byte, then its bytes (a short block gives what it has).
        if (ended_ || pos_ >= size_) return -1;
        blockLeft_ = data_[pos_++];
        if (blockLeft_ == 0) {
          ended_ = true;
          return -1;
        }
      }
      if (pos_ >= size_) return -1;
      buffer_ |= static_cast<uint32_t>(data_[pos_++]) << count_;
      count_ += 8;
      --blockLeft_;
    }
    int code = static_cast<int>(buffer_ & ((1u << width) - 1));
    buffer_ >>= width;
    count_ -= width;
    return code;
  }

  size_t Position() const { return pos_; }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_;
  size_t blockLeft_ = 0;
  bool ended_ = false;
  uint32_t buffer_ = 0;
  int count_ = 0;
};

// Writes decoded pixel values into the rows of a bitmap, in stored row order.
class TPixelWriter {
public:
  TPixelWriter(const TGifPixels& pixels, bool interlaced)
      : pixels_(pixels), stride_(pixels.Stride()), order_(GifRowOrder(pixels.Height, interlaced)) {}

  bool Filled() const { return row_ >= order_.size() || pixels_.Width <= 0; }

  void Put(unsigned value) {
    if (Filled()) return;
    int y = order_[row_];
    uint8_t* line = pixels_.Bits + static_cast<size_t>(pixels_.Height - 1 - y) * stride_;
    switch (pixels_.BitCount) {
      case 1: {
        uint8_t bit = static_cast<uint8_t>((value & 1) << (7 - x_ % 8));
        uint8_t& byte = line[x_ / 8];
        byte = x_ % 8 == 0 ? bit : static_cast<uint8_t>(byte | bit);
        break;
      }
      case 4: {
        uint8_t& byte = line[x_ / 2];
        byte = x_ % 2 == 0 ? static_cast<uint8_t>((value & 15) << 4) : static_cast<uint8_t>(byte | (value & 15));
        break;
      }
      default:
        line[x_] = static_cast<uint8_t>(value);
    }
    if (++x_ >= pixels_.Width) {
      x_ = 0;
      ++row_;
    }
  }

private:
  const TGifPixels& pixels_;
  size_t stride_;
  std::vector<int> order_;
  size_t row_ = 0;
  int x_ = 0;
};

}  // namespace

TGifDecodeResult DecodeGifRaster(const uint8_t* raster, size_t size, const TGifPixels& pixels, int frameBits,
                                 bool interlaced, bool tolerant, const TGifProgress& progress) {
  if (size == 0) return TGifDecodeResult::Truncated;
  const int minCodeSize = raster[0];
  if (minCodeSize < 2 || minCodeSize > 9) throw EInvalidGraphicOperation(SGIFCodeSizeError);
  if (frameBits < 1) frameBits = 1;
  if (frameBits > 8) frameBits = 8;

  // Tables are zeroed so that hostile codes naming entries never assigned read zeros.
  std::vector<uint16_t> prefix(kMaxCodes, 0);
  std::vector<uint16_t> suffix(kMaxCodes, 0);
  std::vector<uint16_t> stack;
  stack.reserve(kStackSize);

  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  const int firstFree = clearCode + 2;
  const unsigned pixelMask = (1u << frameBits) - 1;
  int width = minCodeSize + 1;
  int nextFree = firstFree;
  bool frozen = false;
  bool hasPrevious = false;  // the first code after the start or a clear adds no entry
  int previous = 0;
  unsigned firstPixel = 0;

  TCodeReader reader(raster, size, 1);
  TPixelWriter writer(pixels, interlaced);
  int lastPercent = -1;
  auto report = [&] {
    if (!progress) return;
    int percent = static_cast<int>(reader.Position() * 100 / size);
    if (percent != lastPercent) progress(lastPercent = percent);
  };
  auto push = [&](unsigned value) {
    if (stack.size() >= kStackSize) {
      if (!tolerant) throw EInvalidGraphicOperation(SGIFInvalidData);
      return false;
    }
    stack.push_back(static_cast<uint16_t>(value));
    return true;
  };
  auto ended = [&] { return writer.Filled() ? TGifDecodeResult::Complete : TGifDecodeResult::Truncated; };

  int code = reader.Next(width);
  if (code < 0) return ended();
  while (code != endCode && !writer.Filled()) {
    if (code == clearCode) {
      width = minCodeSize + 1;
      nextFree = firstFree;
      frozen = false;
      hasPrevious = false;
    } else if (!hasPrevious) {
      // Only a plain pixel value can stand first: there is no string yet to extend.
      if (code >= clearCode) return TGifDecodeResult::Damaged;
      firstPixel = static_cast<unsigned>(code) & pixelMask;
      writer.Put(firstPixel);
      previous = code;
      hasPrevious = true;
    } else {
      int current = code;
      stack.clear();
      if (code >= nextFree) {
        // The string being defined by this very code: the previous one plus its first pixel.
        push(firstPixel);
        current = previous;
      }
      while (current >= firstFree) {
        if (!push(suffix[static_cast<size_t>(current)])) return TGifDecodeResult::Damaged;
        current = prefix[static_cast<size_t>(current)];
      }
      firstPixel = static_cast<unsigned>(current) & pixelMask;
      if (!push(firstPixel)) return TGifDecodeResult::Damaged;
      for (size_t i = stack.size(); i-- > 0;) writer.Put(stack[i]);
      if (!frozen) {
        prefix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(previous);
        suffix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(firstPixel);
        if (++nextFree >= (1 << width)) {
          if (width == kMaxCodeWidth)
            frozen = true;
          else
            ++width;
        }
      }
      previous = code;
    }
    code = reader.Next(width);
    report();
    if (code < 0) return ended();
  }
  return TGifDecodeResult::Complete;
}

namespace {

constexpr int kLastCodeBeforeReset = 4093;

// The encoder's dictionary: finds the code of the string "prefix code + one pixel". The
// slot is taken from the pair itself, so a string of any length lands anywhere in the table
// and a probe stays short however long the runs of a picture grow. The table has twice the
// slots of the largest dictionary.
class TLzwDictionary {
public:
  TLzwDictionary() { Clear(); }

  void Clear() { slots_.fill(-1); }

  // The code of (prefix, pixel), or -1; on a miss, slot is where the pair would go.
  int Find(unsigned prefix, unsigned pixel, size_t& slot) const {
    slot = SlotOf(prefix, pixel);
    for (;;) {
      const int code = slots_[slot];
      if (code < 0) return -1;
      if (prefixOf_[static_cast<size_t>(code)] == prefix && suffixOf_[static_cast<size_t>(code)] == pixel)
        return code;
      slot = (slot + 1) & (kSlots - 1);
    }
  }

  void Add(size_t slot, int code, unsigned prefix, unsigned pixel) {
    slots_[slot] = static_cast<int16_t>(code);
    prefixOf_[static_cast<size_t>(code)] = static_cast<uint16_t>(prefix);
    suffixOf_[static_cast<size_t>(code)] = static_cast<uint8_t>(pixel);
  }

private:
  static constexpr size_t kSlots = 8192;
  static size_t SlotOf(unsigned prefix, unsigned pixel) {
    const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | pixel;
    return static_cast<size_t>((key * 2654435761u) >> 19);
  }

  std::array<int16_t, kSlots> slots_;
  std::array<uint16_t, kMaxCodes> prefixOf_{};
  std::array<uint8_t, kMaxCodes> suffixOf_{};
};

// Packs codes least significant bit first and cuts the bytes into sub-blocks of 255.
class TCodePacker {
public:
  explicit TCodePacker(std::vector<uint8_t>& out) : out_(out) {}

  void Put(int code, int width) {
    buffer_ |= static_cast<uint32_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      Byte(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }

  void Flush() {
    if (count_ > 0) Byte(static_cast<uint8_t>(buffer_));
    buffer_ = 0;
    count_ = 0;
    if (!block_.empty()) EmitBlock();
    out_.push_back(0);
  }

private:
  void Byte(uint8_t value) {
    block_.push_back(value);
    if (block_.size() == 255) EmitBlock();
  }
  void EmitBlock() {
    out_.push_back(static_cast<uint8_t>(block_.size()));
    out_.insert(out_.end(), block_.begin(), block_.end());
    block_.clear();
  }

  std::vector<uint8_t>& out_;
  std::vector<uint8_t> block_;
  uint32_t buffer_ = 0;
  int count_ = 0;
};

unsigned PixelAt(const uint8_t* line, int x, int bitCount) {
  switch (bitCount) {
    case 1: return (line[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 == 0 ? line[x / 2] >> 4 : line[x / 2] & 15;
    default: return line[x];
  }
}

}  // namespace

std::vector<uint8_t> EncodeGifRaster(const TGifPixels& pixels, bool interlaced, const TGifProgress& progress) {
  if (pixels.BitCount != 1 && pixels.BitCount != 4 && pixels.BitCount != 8)
    throw EInvalidGraphicOperation(SGIFEncodeError);
  const int minCodeSize = pixels.BitCount == 1 ? 2 : pixels.BitCount;
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  int width = minCodeSize + 1;
  int limit = 1 << width;
  int lastCode = endCode;

  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(minCodeSize));
  TCodePacker packer(out);

  auto dictionary = std::make_unique<TLzwDictionary>();

  packer.Put(clearCode, width);
  unsigned s = 0;
  bool started = false;
  const std::vector<int> order = GifRowOrder(pixels.Height, interlaced);
  const size_t stride = pixels.Stride();
  if (progress) progress(0);
  for (size_t done = 0; done < order.size(); ++done) {
    const uint8_t* line = pixels.Bits + static_cast<size_t>(pixels.Height - 1 - order[done]) * stride;
    for (int x = 0; x < pixels.Width; ++x) {
      unsigned p = PixelAt(line, x, pixels.BitCount);
      if (!started) {
        s = p;
        started = true;
        continue;
      }
      size_t slot = 0;
      const int found = dictionary->Find(s, p, slot);
      if (found >= 0) {
        s = static_cast<unsigned>(found);
        continue;
      }
      packer.Put(static_cast<int>(s), width);
      ++lastCode;
      dictionary->Add(slot, lastCode, s, p);
      s = p;
      if (lastCode >= limit) {
        limit *= 2;
        ++width;
      } else if (lastCode > kLastCodeBeforeReset) {
        // The dictionary is full: send the pending pixel, then start afresh.
        packer.Put(static_cast<int>(s), width);
        packer.Put(clearCode, width);
        started = false;
        lastCode = endCode;
        width = minCodeSize + 1;
        limit = 1 << width;
        dictionary->Clear();
      }
    }
    if (progress) progress(static_cast<int>((done + 1) * 100 / order.size()));
  }
  if (started) {
    packer.Put(static_cast<int>(s), width);
    // A decoder adds one more entry on reading that code and may widen before the end code.
    if (lastCode + 1 >= limit && width < kMaxCodeWidth) ++width;
  }
  packer.Put(endCode, width);
  packer.Flush();
  if (progress) progress(100);
  return out;
}
