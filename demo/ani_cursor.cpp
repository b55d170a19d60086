#include "demo/ani_cursor.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

namespace {

constexpr uint32_t FourCC(const char (&id)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
         (static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24);
}

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kAcon = FourCC("ACON");
constexpr uint32_t kAnih = FourCC("anih");
constexpr uint32_t kRate = FourCC("rate");
constexpr uint32_t kSeq = FourCC("seq ");
constexpr uint32_t kList = FourCC("LIST");
constexpr uint32_t kFram = FourCC("fram");
constexpr uint32_t kInfo = FourCC("INFO");
constexpr uint32_t kIcon = FourCC("icon");
constexpr uint32_t kInam = FourCC("INAM");
constexpr uint32_t kIart = FourCC("IART");

constexpr size_t kMaxInfoText = 255;

[[noreturn]] void ReadFailed() { throw EReadError("Stream read error"); }

// Chunk data is padded to an even length.
uint64_t Padded(uint32_t size) { return static_cast<uint64_t>(size) + (size & 1u); }

// A forward-only reader over [pos, end) of the file.
struct TCursor {
  const uint8_t* bytes;
  uint64_t pos;
  uint64_t end;

  uint64_t Left() const { return pos < end ? end - pos : 0; }
  bool Has(uint64_t n) const { return Left() >= n; }
  // False (and nothing consumed) when fewer than 8 bytes remain.
  bool ChunkHeader(uint32_t& id, uint32_t& size) {
    if (!Has(8)) return false;
    id = ReadLe32(bytes + pos);
    size = ReadLe32(bytes + pos + 4);
    pos += 8;
    return true;
  }
  // Up to four bytes as one little-endian value.
  uint32_t Value(uint32_t count) const {
    uint32_t value = 0;
    for (uint32_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
    return value;
  }
  bool Skip(uint64_t n) {
    if (!Has(n)) return false;
    pos += n;
    return true;
  }
};

// Loads one "icon" sub-chunk into frame; false when it gives no icon.
bool LoadFrameImage(const uint8_t* image, size_t size, TAniFrameData& frame, int& sourceColors,
                    const TAniIconLoader& loader) {
  if (size < 6) return false;
  frame.Image.assign(image, image + size);
  uint8_t* file = frame.Image.data();
  frame.HotSpotX = frame.HotSpotY = 0;
  const uint16_t type = ReadLe16(file + 2);
  frame.IsIcon = type == 1;
  // The icon loader takes icons only: a cursor's directory differs in the hot-spot fields.
  if (type == 2) {
    file[2] = 1;
    file[3] = 0;
  }
  if (ReadLe16(file + 2) != 1) return false;
  const size_t count = ReadLe16(file + 4);
  if (6 + 16 * count <= size) {
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* entry = file + 6 + 16 * i;
      const uint64_t imageOffset = ReadLe32(entry + 12);
      // The bit count sits at offset 14 of the image's header.
      if (imageOffset + 16 > size) continue;
      switch (ReadLe16(file + imageOffset + 14)) {
        case 1: sourceColors = std::max(sourceColors, 2); break;
        case 4: sourceColors = std::max(sourceColors, 16); break;
        case 8: sourceColors = std::max(sourceColors, 256); break;
        default: break;
      }
      frame.HotSpotX = ReadLe16(entry + 4);
      frame.HotSpotY = ReadLe16(entry + 6);
    }
  }
  int width = 0;
  int height = 0;
  bool loaded = false;
  try {
    loaded = loader(frame.Image.data(), frame.Image.size(), width, height);
  } catch (...) {
    loaded = false;
  }
  if (!loaded) {
    frame.Image.clear();
    return false;
  }
  if (frame.IsIcon) {
    frame.HotSpotX = width / 2;
    frame.HotSpotY = height / 2;
  }
  return true;
}

// Visits the sub-chunks of a list whose body has remaining bytes left; visit sees each one
// at the reader's position and answers false to end the walk. A sub-chunk larger than what
// is left of the list ends it too.
template <class F>
void WalkSubChunks(TCursor& in, uint64_t remaining, F&& visit) {
  while (remaining > 7) {
    uint32_t id = 0;
    uint32_t size = 0;
    if (!in.ChunkHeader(id, size)) return;
    remaining -= 8;
    if (size > remaining || !in.Has(size) || !visit(id, size)) return;
    const uint64_t step = std::min(Padded(size), remaining);
    if (!in.Skip(step)) return;
    remaining -= step;
  }
}

void ReadFramList(TCursor& in, uint64_t remaining, TAniCursorData& data, uint32_t& iconsRead,
                  const TAniIconLoader& loader) {
  WalkSubChunks(in, remaining, [&](uint32_t id, uint32_t size) {
    if (id != kIcon) return true;
    TAniFrameData loaded;
    if (!LoadFrameImage(in.bytes + in.pos, size, loaded, data.SourceColors, loader)) return false;
    loaded.TagId = id;
    loaded.TagSize = size;
    loaded.HasImage = true;
    bool matched = false;
    for (TAniFrameData& frame : data.Frames) {
      if (frame.Sequence != static_cast<int>(iconsRead)) continue;
      // Each frame keeps its own copy of the image.
      frame.Image = loaded.Image;
      frame.HasImage = true;
      frame.IsIcon = loaded.IsIcon;
      frame.TagId = id;
      frame.TagSize = size;
      frame.HotSpotX = loaded.HotSpotX;
      frame.HotSpotY = loaded.HotSpotY;
      matched = true;
    }
    if (!matched) {
      if (data.Frames.size() >= kAniMaxFrames) return false;
      loaded.Sequence = -1;
      loaded.Rate = data.Header.DisplayRate;
      data.Frames.push_back(std::move(loaded));
    }
    ++iconsRead;
    return true;
  });
}

void ReadInfoList(TCursor& in, uint64_t remaining, TAniCursorData& data) {
  WalkSubChunks(in, remaining, [&](uint32_t id, uint32_t size) {
    if (id == kInam || id == kIart) {
      const size_t count = std::min<size_t>(size, kMaxInfoText);
      (id == kInam ? data.Title : data.Author).assign(reinterpret_cast<const char*>(in.bytes + in.pos), count);
    }
    return true;
  });
}

}  // namespace

void ParseAniCursor(const uint8_t* bytes, size_t size, TAniCursorData& data, const TAniIconLoader& loader) {
  if (size < 12 || ReadLe32(bytes) != kRiff || ReadLe32(bytes + 8) != kAcon) ReadFailed();
  data.Clear();
  TCursor in{bytes, 12, size};
  uint32_t iconsRead = 0;
  uint32_t ratesRead = 0;
  uint32_t sequencesRead = 0;
  bool headerRead = false;
  uint32_t id = 0;
  uint32_t chunkSize = 0;
  while (in.ChunkHeader(id, chunkSize)) {
    const uint64_t padded = Padded(chunkSize);
    if (id == kAnih) {
      // A second header would add its frames again; a short one cannot be read.
      if (headerRead || chunkSize < kAniHeaderSize) ReadFailed();
      if (!in.Has(kAniHeaderSize)) break;
      uint32_t fields[9];
      for (int i = 0; i < 9; ++i) fields[i] = ReadLe32(bytes + in.pos + 4 * i);
      TAniHeader& h = data.Header;
      h = TAniHeader{fields[0], fields[1], fields[2], fields[3], fields[4],
                     fields[5], fields[6], fields[7], fields[8]};
      headerRead = true;
      if (!(h.Flags & kAniFlagIcon) || h.Steps == 0) ReadFailed();
      // Every frame needs at least a sub-chunk header of its own in the file.
      if (h.Frames > kAniMaxFrames || h.Frames > size / 8) ReadFailed();
      for (uint32_t i = 0; i < h.Frames; ++i) {
        TAniFrameData frame;
        frame.Sequence = static_cast<int>(i);
        frame.Rate = h.DisplayRate;
        data.Frames.push_back(std::move(frame));
      }
      if (!in.Skip(padded)) break;
    } else if (id == kRate || id == kSeq) {
      const uint32_t count = std::min<uint32_t>(chunkSize, 4);
      if (!in.Has(count)) break;
      const uint32_t value = in.Value(count);
      uint32_t& index = id == kRate ? ratesRead : sequencesRead;
      if (index < data.Frames.size()) {
        if (id == kRate) data.Frames[index].Rate = value;
        else data.Frames[index].Sequence = static_cast<int>(value);
      }
      ++index;
      if (!in.Skip(padded)) break;
    } else if (id == kList) {
      // A list too short to hold its type is malformed.
      if (chunkSize < 4 || !in.Has(4)) break;
      const uint32_t listType = ReadLe32(bytes + in.pos);
      const uint64_t listEnd = in.pos + padded;
      in.pos += 4;
      const uint64_t remaining = padded - 4;
      if (listType == kFram) ReadFramList(in, remaining, data, iconsRead, loader);
      else if (listType == kInfo) ReadInfoList(in, remaining, data);
      if (listEnd > size) break;
      in.pos = listEnd;
    } else {
      if (!in.Skip(padded)) break;
    }
  }
  data.Frames.erase(std::remove_if(data.Frames.begin(), data.Frames.end(),
                                   [](const TAniFrameData& frame) { return !frame.HasImage; }),
                    data.Frames.end());
  data.Header.Steps = static_cast<uint32_t>(data.Frames.size());
  if (data.Frames.empty()) ReadFailed();
}

uint16_t AniRateToDelayMs(uint32_t rate) {
  const uint64_t ms = static_cast<uint64_t>(rate) * 100 / 6;
  return static_cast<uint16_t>(std::min<uint64_t>(ms, 0xFFFF));
}
