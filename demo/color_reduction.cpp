#include "demo/color_reduction.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "platform/rtl/exceptions.h"

uint8_t DefaultReductionMethod = kReducePopularity;

namespace {

constexpr uint8_t kLevels4[] = {0, 85, 170, 255};
constexpr uint8_t kLevels6[] = {0, 51, 102, 153, 204, 255};
constexpr uint8_t kLevels7[] = {0, 43, 85, 128, 170, 213, 255};
constexpr uint8_t kLevels8[] = {0, 36, 73, 109, 146, 182, 219, 255};

const uint8_t* LevelTable(int levels) {
  switch (levels) {
    case 4: return kLevels4;
    case 6: return kLevels6;
    case 7: return kLevels7;
    case 8: return kLevels8;
    default: throw EInvalidGraphicOperation("Unknown level table");
  }
}

// For each channel value, the index of the nearest level; built once per level table.
struct TLevelLookup {
  std::array<uint8_t, 256> Index{};
  explicit TLevelLookup(int levels) {
    const uint8_t* table = LevelTable(levels);
    for (int v = 0; v < 256; ++v) {
      int best = 0;
      for (int i = 1; i < levels; ++i)
        if (std::abs(v - table[i]) < std::abs(v - table[best])) best = i;
      Index[static_cast<size_t>(v)] = static_cast<uint8_t>(best);
    }
  }
};

const TLevelLookup& Lookup(int levels) {
  static const TLevelLookup l4(4), l6(6), l7(7), l8(8);
  switch (levels) {
    case 4: return l4;
    case 6: return l6;
    case 7: return l7;
    default: return l8;
  }
}

struct TRgb {
  uint8_t R, G, B;
};

// Walks a 24-bit picture's pixels in file order (bottom row first), with row and column.
template <typename F>
void ForEachPixel(const TDibImage& picture, F f) {
  size_t stride = picture.Stride();
  for (int y = 0; y < picture.Height; ++y) {
    const uint8_t* row = picture.Bits.data() + static_cast<size_t>(y) * stride;
    for (int x = 0; x < picture.Width; ++x) {
      const uint8_t* p = row + static_cast<size_t>(x) * 3;
      f(y, x, TRgb{p[2], p[1], p[0]});
    }
  }
}

TDibColor Entry(int r, int g, int b) {
  return TDibColor{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 0};
}

// ---- Popularity -----------------------------------------------------------------------

constexpr size_t kMaxHistogramColors = 2049;
constexpr size_t kHistogramSlots = 5191;
constexpr uint16_t kEmptySlot = 0xFFFF;

struct THistogram {
  struct TEntry {
    uint8_t R, G, B;
    uint64_t Count;
    int Index;
  };
  std::vector<TEntry> Colors;
  std::vector<uint16_t> Slots = std::vector<uint16_t>(kHistogramSlots, kEmptySlot);
  uint8_t MaskR = 0xFF, MaskG = 0xFF, MaskB = 0xFF;

  // The slot of the masked colour: its own, or the empty one where it would go.
  size_t SlotOf(uint8_t r, uint8_t g, uint8_t b) const {
    size_t slot = (static_cast<size_t>(r + g) * static_cast<size_t>(b + g) * static_cast<size_t>(r + b)) % kHistogramSlots;
    while (Slots[slot] != kEmptySlot) {
      const TEntry& e = Colors[Slots[slot]];
      if (e.R == r && e.G == g && e.B == b) break;
      slot = slot + 1 == kHistogramSlots ? 0 : slot + 1;
    }
    return slot;
  }

  // Counts every pixel; false when a colour beyond the histogram's room was met.
  bool Build(const TDibImage& picture) {
    Colors.clear();
    std::fill(Slots.begin(), Slots.end(), kEmptySlot);
    bool fits = true;
    ForEachPixel(picture, [&](int, int, TRgb c) {
      if (!fits) return;
      uint8_t r = c.R & MaskR, g = c.G & MaskG, b = c.B & MaskB;
      size_t slot = SlotOf(r, g, b);
      if (Slots[slot] != kEmptySlot) {
        ++Colors[Slots[slot]].Count;
      } else if (Colors.size() >= kMaxHistogramColors) {
        fits = false;
      } else {
        Slots[slot] = static_cast<uint16_t>(Colors.size());
        Colors.push_back(TEntry{r, g, b, 1, -1});
      }
    });
    return fits;
  }

  // One channel keeps one bit less: green when red's mask is the smaller, else red when
  // blue's is, else blue.
  void DropBit() {
    auto shift = [](uint8_t& mask) { mask = static_cast<uint8_t>(mask << 1); };
    if (MaskR < MaskG)
      shift(MaskG);
    else if (MaskB < MaskR)
      shift(MaskR);
    else
      shift(MaskB);
  }
};

void ReducePopularity(const TDibImage& source, TDibImage& out, int wanted) {
  THistogram histogram;
  while (!histogram.Build(source)) histogram.DropBit();
  std::vector<THistogram::TEntry>& colors = histogram.Colors;
  std::vector<uint64_t> counts;
  for (const auto& c : colors) counts.push_back(c.Count);
  int picked = 0;
  for (; picked < wanted && picked < static_cast<int>(colors.size()); ++picked) {
    size_t best = 0;
    for (size_t i = 1; i < counts.size(); ++i)
      if (counts[i] > counts[best]) best = i;
    colors[best].Index = picked;
    counts[best] = 0;
    out.Palette[static_cast<size_t>(picked)] = Entry(colors[best].R, colors[best].G, colors[best].B);
  }
  for (int i = picked; i < 256; ++i) out.Palette[static_cast<size_t>(i)] = Entry(128, 128, 128);
  for (auto& c : colors) {
    if (c.Index >= 0) continue;
    long best = -1;
    for (int i = 0; i < wanted && i < 256; ++i) {
      const TDibColor& p = out.Palette[static_cast<size_t>(i)];
      long dr = c.R - p.Red, dg = c.G - p.Green, db = c.B - p.Blue;
      long distance = dr * dr + dg * dg + db * db;
      if (best < 0 || distance < best) {
        best = distance;
        c.Index = i;
      }
    }
  }
  size_t stride = out.Stride();
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    size_t slot = histogram.SlotOf(c.R & histogram.MaskR, c.G & histogram.MaskG, c.B & histogram.MaskB);
    out.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] =
        static_cast<uint8_t>(colors[histogram.Slots[slot]].Index);
  });
}

// ---- Median cut -----------------------------------------------------------------------

constexpr int kCells = 4096;

int CellChannel(int cell, int channel) {
  switch (channel) {
    case 0: return cell >> 8;
    case 1: return (cell >> 4) & 15;
    default: return cell & 15;
  }
}

int CellOf(TRgb c) { return (c.R >> 4) * 256 + (c.G >> 4) * 16 + (c.B >> 4); }

struct TBox {
  std::vector<int> Cells;
  uint64_t Pixels = 0;
  int Lower[3] = {0, 0, 0};
  int Extent[3] = {255, 255, 255};
};

int ReduceMedianCut(const TDibImage& source, TDibImage& out, int wanted) {
  std::vector<uint64_t> counts(kCells, 0);
  ForEachPixel(source, [&](int, int, TRgb c) { ++counts[static_cast<size_t>(CellOf(c))]; });
  std::vector<TBox> boxes(1);
  for (int cell = 0; cell < kCells; ++cell)
    if (counts[static_cast<size_t>(cell)] > 0) boxes[0].Cells.push_back(cell);
  boxes[0].Pixels = static_cast<uint64_t>(source.Width) * static_cast<uint64_t>(source.Height);

  while (static_cast<int>(boxes.size()) < wanted) {
    int boxIndex = -1, channel = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].Cells.size() <= 1) continue;
      for (int ch = 0; ch < 3; ++ch)
        if (boxIndex < 0 || boxes[b].Extent[ch] > boxes[static_cast<size_t>(boxIndex)].Extent[channel]) {
          boxIndex = static_cast<int>(b);
          channel = ch;
        }
    }
    if (boxIndex < 0) break;
    TBox& box = boxes[static_cast<size_t>(boxIndex)];
    // A stable sort keeps equal cells in index order, so the palette does not depend on
    // the sorting algorithm.
    std::stable_sort(box.Cells.begin(), box.Cells.end(),
                     [channel](int a, int b) { return CellChannel(a, channel) < CellChannel(b, channel); });
    size_t n = box.Cells.size();
    size_t taken = 1;
    uint64_t takenPixels = counts[static_cast<size_t>(box.Cells[0])];
    while (taken + 1 < n) {
      uint64_t next = counts[static_cast<size_t>(box.Cells[taken])];
      if (2 * (takenPixels + next) > box.Pixels) break;
      takenPixels += next;
      ++taken;
    }
    TBox upper;
    upper.Cells.assign(box.Cells.begin() + static_cast<std::ptrdiff_t>(taken), box.Cells.end());
    box.Cells.resize(taken);
    upper.Pixels = box.Pixels - takenPixels;
    box.Pixels = takenPixels;
    std::copy(box.Lower, box.Lower + 3, upper.Lower);
    std::copy(box.Extent, box.Extent + 3, upper.Extent);
    int newLower = 16 * CellChannel(upper.Cells.front(), channel);
    upper.Extent[channel] += box.Lower[channel] - newLower;
    upper.Lower[channel] = newLower;
    box.Extent[channel] = 16 * CellChannel(box.Cells.back(), channel) - box.Lower[channel];
    boxes.push_back(std::move(upper));
  }

  std::vector<uint8_t> boxOfCell(kCells, 0);
  for (size_t b = 0; b < boxes.size(); ++b) {
    int sum[3] = {0, 0, 0};
    for (int cell : boxes[b].Cells) {
      boxOfCell[static_cast<size_t>(cell)] = static_cast<uint8_t>(b);
      for (int ch = 0; ch < 3; ++ch) sum[ch] += CellChannel(cell, ch);
    }
    int cells = static_cast<int>(boxes[b].Cells.size());
    int value[3];
    for (int ch = 0; ch < 3; ++ch) value[ch] = (16 * sum[ch] + 15) / cells;
    if (value[0] <= 16 && value[1] <= 16 && value[2] <= 16) value[0] = value[1] = value[2] = 0;
    out.Palette[b] = Entry(value[0], value[1], value[2]);
  }
  for (size_t i = boxes.size(); i < 256; ++i) out.Palette[i] = Entry(0, 0, 0);
  size_t stride = out.Stride();
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    out.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = boxOfCell[static_cast<size_t>(CellOf(c))];
  });
  return static_cast<int>(boxes.size());
}

// ---- Fixed palettes, tripel, grayscale -------------------------------------------------

void ReduceFixed(const TDibImage& source, TDibImage& out, int redLevels, int greenLevels, int blueLevels) {
  const TLevelLookup& red = Lookup(redLevels);
  const TLevelLookup& green = Lookup(greenLevels);
  const TLevelLookup& blue = Lookup(blueLevels);
  const int greenStride = blueLevels;
  const int redStride = greenLevels * blueLevels;
  int index = 0;
  for (int r = 0; r < redLevels; ++r)
    for (int g = 0; g < greenLevels; ++g)
      for (int b = 0; b < blueLevels; ++b)
        out.Palette[static_cast<size_t>(index++)] =
            Entry(LevelValue(redLevels, r), LevelValue(greenLevels, g), LevelValue(blueLevels, b));
  for (; index < 256; ++index) out.Palette[static_cast<size_t>(index)] = Entry(128, 128, 128);
  size_t stride = out.Stride();
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    out.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] =
        static_cast<uint8_t>(red.Index[c.R] * redStride + green.Index[c.G] * greenStride + blue.Index[c.B]);
  });
}

void ReduceTripel(const TDibImage& source, TDibImage& out) {
  for (int i = 0; i < 256; ++i) {
    int v = 4 * (i % 64);
    out.Palette[static_cast<size_t>(i)] = i < 64 ? Entry(v, 0, 0) : i < 128 ? Entry(0, v, 0) : i < 192 ? Entry(0, 0, v) : Entry(0, 0, 0);
  }
  size_t stride = out.Stride();
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    int phase = (y + x) % 3;
    int index = phase == 0 ? c.R / 4 : phase == 1 ? 64 + c.G / 4 : 128 + c.B / 4;
    out.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = static_cast<uint8_t>(index);
  });
}

void ReduceGrayscale(const TDibImage& source, TDibImage& out) {
  for (int i = 0; i < 256; ++i) out.Palette[static_cast<size_t>(i)] = Entry(i, i, i);
  size_t stride = out.Stride();
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    out.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] =
        static_cast<uint8_t>((77 * c.R + 150 * c.G + 29 * c.B) >> 8);
  });
}

}  // namespace

int NearestLevelIndex(int levels, uint8_t value) { return Lookup(levels).Index[value]; }
uint8_t LevelValue(int levels, int index) { return LevelTable(levels)[index]; }

TDibImage ReduceTo8Bit(const TDibImage& source, uint8_t method, uint32_t* colorCount) {
  if (source.BitCount != 24 || source.Width <= 0 || source.Height <= 0 ||
      source.Bits.size() < source.Stride() * static_cast<size_t>(source.Height))
    throw EInvalidGraphic("Bitmap image is not valid");
  TDibImage out;
  out.Width = source.Width;
  out.Height = source.Height;
  out.BitCount = 8;
  out.Palette.resize(256);
  out.Bits.assign(out.Stride() * static_cast<size_t>(out.Height), 0);
  uint32_t count = 0;
  switch (method) {
    case kReduceMedianCut: count = static_cast<uint32_t>(ReduceMedianCut(source, out, 256)); break;
    case kReduceFixed784: ReduceFixed(source, out, 7, 8, 4); count = 224; break;
    case kReduceFixed666: ReduceFixed(source, out, 6, 6, 6); count = 216; break;
    case kReduceTripel: ReduceTripel(source, out); break;
    case kReduceGrayscale: ReduceGrayscale(source, out); break;
    default: ReducePopularity(source, out, 256);
  }
  if (colorCount) *colorCount = count;
  return out;
}

std::vector<uint8_t> ReducedBitmapFile(const TDibImage& source, uint8_t method) {
  uint32_t count = 0;
  std::vector<uint8_t> file = EncodeBmpFile(ReduceTo8Bit(source, method, &count));
  // The info header's colour count (offset 32 within it) tells how many entries are used.
  constexpr size_t kClrUsed = kBmpFileHeaderSize + 32;
  for (int i = 0; i < 4; ++i) file[kClrUsed + static_cast<size_t>(i)] = static_cast<uint8_t>(count >> (8 * i));
  return file;
}

void KeepKeyColor(const TDibImage& source, TDibImage& reduced, uint32_t key) {
  const uint8_t keyR = static_cast<uint8_t>(key), keyG = static_cast<uint8_t>(key >> 8),
                keyB = static_cast<uint8_t>(key >> 16);
  const size_t stride = reduced.Stride();
  std::vector<uint64_t> uses(256, 0);
  bool anyKey = false;
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    if (c.R == keyR && c.G == keyG && c.B == keyB)
      anyKey = true;
    else
      ++uses[reduced.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)]];
  });
  if (!anyKey || reduced.Palette.size() < 256) return;
  auto isKey = [&](const TDibColor& c) { return c.Red == keyR && c.Green == keyG && c.Blue == keyB; };
  // The entry for the key: one no other pixel uses (the key's own first), else the least used.
  size_t entry = 0;
  for (size_t i = 1; i < 256; ++i) {
    bool better = uses[i] < uses[entry] ||
                  (uses[i] == uses[entry] && isKey(reduced.Palette[i]) && !isKey(reduced.Palette[entry]));
    if (better) entry = i;
  }
  const TDibColor old = reduced.Palette[entry];
  reduced.Palette[entry] = TDibColor{keyB, keyG, keyR, 0};
  // Other entries of the key colour move by one step of blue, so the key stays unique.
  for (size_t i = 0; i < 256; ++i)
    if (i != entry && isKey(reduced.Palette[i])) reduced.Palette[i].Blue ^= 1;
  std::vector<uint8_t> moved(256);
  for (size_t i = 0; i < 256; ++i) moved[i] = static_cast<uint8_t>(i);
  if (uses[entry] > 0) {
    // The pixels that had the entry go to the nearest of the others.
    long best = -1;
    for (size_t i = 0; i < 256; ++i) {
      if (i == entry) continue;
      const TDibColor& p = reduced.Palette[i];
      long dr = p.Red - old.Red, dg = p.Green - old.Green, db = p.Blue - old.Blue;
      long distance = dr * dr + dg * dg + db * db;
      if (best < 0 || distance < best) {
        best = distance;
        moved[entry] = static_cast<uint8_t>(i);
      }
    }
  }
  ForEachPixel(source, [&](int y, int x, TRgb c) {
    uint8_t& index = reduced.Bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)];
    index = (c.R == keyR && c.G == keyG && c.B == keyB) ? static_cast<uint8_t>(entry) : moved[index];
  });
}

TDibImage ToTrueColor(const TDibImage& source) {
  TDibImage out;
  out.Width = source.Width;
  out.Height = source.Height;
  out.BitCount = 24;
  if (source.Width <= 0 || source.Height <= 0) return out;
  size_t inStride = source.Stride();
  if (source.Bits.size() < inStride * static_cast<size_t>(source.Height))
    throw EInvalidGraphic("Bitmap image is not valid");
  size_t outStride = out.Stride();
  out.Bits.assign(outStride * static_cast<size_t>(out.Height), 0);
  auto maskValue = [](uint32_t pixel, uint32_t mask) -> uint8_t {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    uint32_t max = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / max);
  };
  for (int y = 0; y < source.Height; ++y) {
    const uint8_t* in = source.Bits.data() + static_cast<size_t>(y) * inStride;
    uint8_t* row = out.Bits.data() + static_cast<size_t>(y) * outStride;
    for (int x = 0; x < source.Width; ++x) {
      uint8_t rgb[3] = {0, 0, 0};  // blue, green, red
      if (source.BitCount <= 8) {
        unsigned index = source.BitCount == 8   ? in[x]
                         : source.BitCount == 4 ? (x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 15)
                                                : (in[x / 8] >> (7 - x % 8)) & 1;
        if (index < source.Palette.size()) {
          rgb[0] = source.Palette[index].Blue;
          rgb[1] = source.Palette[index].Green;
          rgb[2] = source.Palette[index].Red;
        }
      } else if (source.BitCount == 16) {
        uint32_t pixel = static_cast<uint32_t>(in[2 * x] | (in[2 * x + 1] << 8));
        uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (source.Masks.size() == 3) std::copy(source.Masks.begin(), source.Masks.end(), masks);
        rgb[2] = maskValue(pixel, masks[0]);
        rgb[1] = maskValue(pixel, masks[1]);
        rgb[0] = maskValue(pixel, masks[2]);
      } else {
        size_t step = static_cast<size_t>(source.BitCount / 8);
        const uint8_t* p = in + static_cast<size_t>(x) * step;
        if (source.BitCount == 32 && source.Masks.size() == 3) {
          uint32_t pixel = static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) | (static_cast<uint32_t>(p[3]) << 24);
          rgb[2] = maskValue(pixel, source.Masks[0]);
          rgb[1] = maskValue(pixel, source.Masks[1]);
          rgb[0] = maskValue(pixel, source.Masks[2]);
        } else {
          std::copy(p, p + 3, rgb);
        }
      }
      std::copy(rgb, rgb + 3, row + static_cast<size_t>(x) * 3);
    }
  }
  return out;
}
