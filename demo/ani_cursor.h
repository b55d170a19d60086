#pragma once
// Reading animated cursor files: a RIFF file of form type "ACON" holding an "anih" header,
// optional "rate" and "seq " chunks, a "fram" list of icon or cursor images and an "INFO"
// list with title and author. The chunk walk is here, free of any window; making icons of
// the images is left to the caller through a loader function.
//
// The file is untrusted: every size is taken as unsigned and checked against the bytes
// present, skips only go forward, and the header's frame count is held to what the data
// could carry. A file that cannot be read raises EReadError "Stream read error".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The "anih" chunk: nine little-endian 32-bit fields.
struct TAniHeader {
  uint32_t HeaderSize = 0;
  uint32_t Frames = 0;
  uint32_t Steps = 0;
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t BitCount = 0;
  uint32_t Planes = 0;
  uint32_t DisplayRate = 0;  // jiffies (1/60 s)
  uint32_t Flags = 0;        // bit 0: the frames are icon images
};
constexpr size_t kAniHeaderSize = 36;
constexpr uint32_t kAniFlagIcon = 1;
// Most frames a file may declare or carry.
constexpr uint32_t kAniMaxFrames = 4096;

struct TAniFrameData {
  // The icon or cursor file of the frame, its type field rewritten to "icon"; empty while
  // the frame has no image.
  std::vector<uint8_t> Image;
  bool HasImage = false;
  bool IsIcon = false;       // the image was an icon, not a cursor
  uint32_t TagId = 0;        // the chunk that carried it (id as read, little-endian)
  uint32_t TagSize = 0;
  int HotSpotX = 0;
  int HotSpotY = 0;
  uint32_t Rate = 0;         // jiffies
  int Sequence = 0;
};

struct TAniCursorData {
  TAniHeader Header;
  std::string Title;         // at most 255 bytes
  std::string Author;
  int SourceColors = 0;      // 2, 16 or 256: the most colours met in the images; 0 for none
  std::vector<TAniFrameData> Frames;

  void Clear() { *this = TAniCursorData(); }
};

// Makes sense of one icon file (type 1): answers false when it cannot be made into an
// icon, otherwise its width and height.
using TAniIconLoader = std::function<bool(const uint8_t* data, size_t size, int& width, int& height)>;

// Parses a whole animated cursor file into data (cleared first). On failure the frames
// gathered so far stay in data and EReadError is raised.
void ParseAniCursor(const uint8_t* bytes, size_t size, TAniCursorData& data, const TAniIconLoader& loader);

// The GIF delay of a frame shown for rate jiffies: rate * 100 / 6 ms, at most 65535.
uint16_t AniRateToDelayMs(uint32_t rate);
