#include "demo/ani_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/le_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// One chunk: id, size, data and the pad byte of an odd size.
Bytes Chunk(const std::string& id, const Bytes& data) {
  Bytes out;
  Append(out, id);
  AppendLe32(out, static_cast<uint32_t>(data.size()));
  Append(out, data);
  if (data.size() & 1) out.push_back(0);
  return out;
}

Bytes List(const std::string& type, const Bytes& chunks) {
  Bytes data;
  Append(data, type);
  Append(data, chunks);
  return Chunk("LIST", data);
}

Bytes Riff(const Bytes& chunks) {
  Bytes out;
  Append(out, "RIFF");
  AppendLe32(out, static_cast<uint32_t>(chunks.size() + 4));
  Append(out, "ACON");
  Append(out, chunks);
  return out;
}

Bytes Anih(uint32_t frames, uint32_t steps, uint32_t rate, uint32_t flags = 1) {
  Bytes data;
  for (uint32_t v : {36u, frames, steps, 0u, 0u, 0u, 0u, rate, flags}) AppendLe32(data, v);
  return Chunk("anih", data);
}

Bytes Values(std::initializer_list<uint32_t> values) {
  Bytes data;
  for (uint32_t v : values) AppendLe32(data, v);
  return data;
}

// A one-image icon (type 1) or cursor (type 2) file; the test loader reads its size from
// the directory entry. The image header carries the bit count.
Bytes IconFile(int type, int size, int bitCount, int hotX = 0, int hotY = 0) {
  Bytes out;
  AppendLe16(out, 0);
  AppendLe16(out, static_cast<uint32_t>(type));
  AppendLe16(out, 1);
  out.push_back(static_cast<uint8_t>(size));
  out.push_back(static_cast<uint8_t>(size));
  out.push_back(0);
  out.push_back(0);
  AppendLe16(out, static_cast<uint32_t>(type == 2 ? hotX : 1));
  AppendLe16(out, static_cast<uint32_t>(type == 2 ? hotY : bitCount));
  AppendLe32(out, 40);
  AppendLe32(out, 22);
  for (uint32_t v : {40u, static_cast<uint32_t>(size), static_cast<uint32_t>(size * 2)}) AppendLe32(out, v);
  AppendLe16(out, 1);
  AppendLe16(out, static_cast<uint32_t>(bitCount));
  out.resize(22 + 40, 0);
  return out;
}

Bytes Icon(int size = 32, int bitCount = 4) { return Chunk("icon", IconFile(1, size, bitCount)); }

// Accepts icon files (type 1) of at least one entry; the size is the entry's.
bool TestLoader(const uint8_t* data, size_t size, int& width, int& height) {
  if (size < 22 || ReadLe16(data + 2) != 1 || ReadLe16(data + 4) == 0) return false;
  width = data[6];
  height = data[7];
  return true;
}

TAniCursorData Parse(const Bytes& file) {
  TAniCursorData data;
  ParseAniCursor(file.data(), file.size(), data, TestLoader);
  return data;
}

void ExpectReadError(const Bytes& file) {
  TAniCursorData data;
  EXPECT_THROW(ParseAniCursor(file.data(), file.size(), data, TestLoader), EReadError);
}

Bytes Info(const std::string& title, const std::string& author) {
  Bytes inam(title.begin(), title.end());
  inam.push_back(0);
  Bytes iart(author.begin(), author.end());
  iart.push_back(0);
  Bytes chunks = Chunk("INAM", inam);
  Append(chunks, Chunk("IART", iart));
  return List("INFO", chunks);
}

TEST(AniCursorRead, FramesRatesAndInfo) {
  Bytes chunks = Info("Spinner", "Quennix");
  Append(chunks, Anih(3, 3, 10));
  Append(chunks, Chunk("rate", Values({6})));
  Append(chunks, Chunk("rate", Values({12})));
  Bytes icons = Icon(32, 1);
  Append(icons, Icon(32, 8));
  Append(icons, Icon(16, 4));
  Append(chunks, List("fram", icons));
  const TAniCursorData data = Parse(Riff(chunks));
  EXPECT_EQ(data.Title, std::string("Spinner") + '\0');
  EXPECT_EQ(data.Author, std::string("Quennix") + '\0');
  ASSERT_EQ(data.Frames.size(), 3u);
  EXPECT_EQ(data.Header.Steps, 3u);
  EXPECT_EQ(data.SourceColors, 256);
  // Two rate chunks: one value each, for frames 0 and 1; frame 2 keeps the default.
  EXPECT_EQ(data.Frames[0].Rate, 6u);
  EXPECT_EQ(data.Frames[1].Rate, 12u);
  EXPECT_EQ(data.Frames[2].Rate, 10u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(data.Frames[i].IsIcon);
    EXPECT_EQ(data.Frames[i].Sequence, i);
  }
  // An icon's hot spot is its centre.
  EXPECT_EQ(data.Frames[2].HotSpotX, 8);
  EXPECT_EQ(data.Frames[2].HotSpotY, 8);
  EXPECT_EQ(data.Frames[0].TagSize, 62u);
}

TEST(AniCursorRead, OneRateChunkWithManyValuesSetsFrameZeroOnly) {
  Bytes chunks = Anih(2, 2, 10);
  Append(chunks, Chunk("rate", Values({3, 4})));
  Append(chunks, List("fram", [] { Bytes b = Icon(); Append(b, Icon()); return b; }()));
  const TAniCursorData data = Parse(Riff(chunks));
  ASSERT_EQ(data.Frames.size(), 2u);
  EXPECT_EQ(data.Frames[0].Rate, 3u);
  EXPECT_EQ(data.Frames[1].Rate, 10u);
}

TEST(AniCursorRead, SequenceIndexesChooseTheIconsAndExtraIconsAreAppended) {
  Bytes chunks = Anih(2, 2, 5);
  // Frame 0 shows the second icon, frame 1 the first; the third icon has no frame.
  Append(chunks, Chunk("seq ", Values({1})));
  Append(chunks, Chunk("seq ", Values({0})));
  Bytes icons = Icon(16);
  Append(icons, Icon(32));
  Append(icons, Icon(48));
  Append(chunks, List("fram", icons));
  const TAniCursorData data = Parse(Riff(chunks));
  ASSERT_EQ(data.Frames.size(), 3u);
  EXPECT_EQ(data.Frames[0].Image[6], 32);
  EXPECT_EQ(data.Frames[1].Image[6], 16);
  EXPECT_EQ(data.Frames[2].Image[6], 48);
  EXPECT_EQ(data.Frames[2].Sequence, -1);
  EXPECT_EQ(data.Frames[2].Rate, 5u);
}

TEST(AniCursorRead, FramesSharingASequenceIndexEachGetTheImage) {
  Bytes chunks = Anih(3, 3, 5);
  Append(chunks, Chunk("seq ", Values({0})));
  Append(chunks, Chunk("seq ", Values({0})));
  Append(chunks, List("fram", Icon()));
  const TAniCursorData data = Parse(Riff(chunks));
  // Frames 0 and 1 show icon 0; frame 2 (index 2) gets nothing and goes.
  ASSERT_EQ(data.Frames.size(), 2u);
  EXPECT_EQ(data.Frames[0].Image, data.Frames[1].Image);
  EXPECT_EQ(data.Header.Steps, 2u);
}

TEST(AniCursorRead, CursorFramesKeepTheirHotSpotAndBecomeIcons) {
  Bytes chunks = Anih(1, 1, 5);
  Append(chunks, List("fram", Chunk("icon", IconFile(2, 32, 1, 5, 7))));
  const TAniCursorData data = Parse(Riff(chunks));
  ASSERT_EQ(data.Frames.size(), 1u);
  EXPECT_FALSE(data.Frames[0].IsIcon);
  EXPECT_EQ(data.Frames[0].HotSpotX, 5);
  EXPECT_EQ(data.Frames[0].HotSpotY, 7);
  EXPECT_EQ(ReadLe16(data.Frames[0].Image.data() + 2), 1);
}

TEST(AniCursorRead, LongTitleKeepsItsFirst255Bytes) {
  Bytes chunks = Info(std::string(300, 'T'), "");
  Append(chunks, Anih(1, 1, 5));
  Append(chunks, List("fram", Icon()));
  EXPECT_EQ(Parse(Riff(chunks)).Title, std::string(255, 'T'));
}

TEST(AniCursorRead, UnreadableFilesRaiseReadError) {
  const Bytes frames = List("fram", Icon());
  ExpectReadError({});
  ExpectReadError(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
  {
    Bytes chunks = Anih(1, 1, 5, 0);  // frames are raw bitmaps, not icons
    Append(chunks, frames);
    ExpectReadError(Riff(chunks));
  }
  {
    Bytes chunks = Anih(1, 0, 5);  // no steps
    Append(chunks, frames);
    ExpectReadError(Riff(chunks));
  }
  ExpectReadError(Riff(Anih(1, 1, 5)));  // no frame gets an icon
  {
    Bytes chunks = Anih(1, 1, 5);
    Append(chunks, List("fram", Chunk("icon", Bytes(10, 0xEE))));  // an image the loader refuses
    ExpectReadError(Riff(chunks));
  }
}

TEST(AniCursorRead, HostileHeadersAreRefusedBeforeAllocating) {
  const Bytes frames = List("fram", Icon());
  for (uint32_t count : {0xFFFFFFFFu, kAniMaxFrames + 1, 200u}) {
    SCOPED_TRACE(count);
    Bytes chunks = Anih(count, 1, 5);  // more frames than the file could carry
    Append(chunks, frames);
    ExpectReadError(Riff(chunks));
  }
  {
    Bytes chunks = Anih(1, 1, 5);
    Append(chunks, Anih(1, 1, 5));  // a second header
    Append(chunks, frames);
    ExpectReadError(Riff(chunks));
  }
  {
    Bytes chunks = Chunk("anih", Values({20, 1, 1, 0, 0}));  // too short to be a header
    Append(chunks, frames);
    ExpectReadError(Riff(chunks));
  }
}

TEST(AniCursorRead, HostileSizesEndTheWalkWithoutReadingOutside) {
  // Sizes that would wrap, seek backwards or run past the data: each file either reads its
  // one good frame or fails with the read error, and the sanitizers watch every access.
  auto withChunkAfterFrames = [](const Bytes& tail) {
    Bytes chunks = Anih(1, 1, 5);
    Append(chunks, List("fram", Icon()));
    Append(chunks, tail);
    return Riff(chunks);
  };
  const std::vector<Bytes> tails = {
      {'J', 'U', 'N', 'K', 0xFF, 0xFF, 0xFF, 0xFF},
      {'J', 'U', 'N', 'K', 0xF8, 0xFF, 0xFF, 0xFF},
      {'L', 'I', 'S', 'T', 2, 0, 0, 0, 'f', 'r'},
      {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0xFF, 0xFF, 'f', 'r', 'a', 'm', 'i', 'c', 'o', 'n', 0xFF, 0xFF, 0xFF, 0x7F},
      {'L', 'I', 'S', 'T', 20, 0, 0, 0, 'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 0xFF, 0xFF, 0, 0, 'a', 'b', 'c', 'd'},
      {'r', 'a', 't', 'e', 0xFF, 0xFF, 0xFF, 0xFF, 1},
  };
  for (const Bytes& tail : tails) {
    const TAniCursorData data = Parse(withChunkAfterFrames(tail));
    EXPECT_EQ(data.Frames.size(), 1u);
  }
  // A directory announcing more entries than the image holds is not walked.
  Bytes image = IconFile(1, 32, 8);
  image[4] = 0xFF;
  Bytes chunks = Anih(1, 1, 5);
  Append(chunks, List("fram", Chunk("icon", image)));
  TAniCursorData data;
  ParseAniCursor(Riff(chunks).data(), Riff(chunks).size(), data, [](const uint8_t*, size_t, int& w, int& h) {
    w = h = 32;
    return true;
  });
  EXPECT_EQ(data.SourceColors, 0);
}

TEST(AniCursorRead, EveryTruncationReadsOrFailsCleanly) {
  Bytes chunks = Info("Title", "Author");
  Append(chunks, Anih(2, 2, 5));
  Append(chunks, Chunk("rate", Values({1, 2})));
  Bytes icons = Icon(32, 8);
  Append(icons, Chunk("icon", IconFile(2, 16, 4, 3, 3)));
  Append(chunks, List("fram", icons));
  const Bytes file = Riff(chunks);
  int read = 0;
  for (size_t n = 0; n <= file.size(); ++n) {
    // An exact copy of the prefix, so that reading past it is caught.
    const Bytes prefix(file.begin(), file.begin() + static_cast<long>(n));
    TAniCursorData data;
    try {
      ParseAniCursor(prefix.data(), prefix.size(), data, TestLoader);
      ++read;
      EXPECT_GE(data.Frames.size(), 1u);
    } catch (const EReadError&) {
    }
  }
  EXPECT_GT(read, 0);
}

TEST(AniCursorRead, RateToGifDelay) {
  EXPECT_EQ(AniRateToDelayMs(6), 100);
  EXPECT_EQ(AniRateToDelayMs(1), 16);
  EXPECT_EQ(AniRateToDelayMs(0), 0);
  // Large rates saturate rather than wrap.
  EXPECT_EQ(AniRateToDelayMs(50000000u), 65535);
  EXPECT_EQ(AniRateToDelayMs(0xFFFFFFFFu), 65535);
}

}  // namespace
