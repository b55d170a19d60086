#pragma once
// Builds small GIF files byte by byte for the tests: codes packed by hand, blocks appended
// in the order a test wants them.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace gif_test {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, const Bytes& more) {
  for (uint8_t byte : more) out.push_back(byte);
}
inline void Append(Bytes& out, const std::string& text) {
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
}
inline void Le16(Bytes& out, int value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

// Codes (value, width) packed least significant bit first.
inline Bytes PackCodes(std::initializer_list<std::pair<int, int>> codes) {
  Bytes out;
  uint32_t buffer = 0;
  int count = 0;
  for (auto [code, width] : codes) {
    buffer |= static_cast<uint32_t>(code) << count;
    count += width;
    while (count >= 8) {
      out.push_back(static_cast<uint8_t>(buffer));
      buffer >>= 8;
      count -= 8;
    }
  }
  if (count > 0) out.push_back(static_cast<uint8_t>(buffer));
  return out;
}

// A raster: code-size byte, the packed codes as one sub-block, terminator.
inline Bytes Raster(int codeSize, const Bytes& packed) {
  Bytes out{static_cast<uint8_t>(codeSize), static_cast<uint8_t>(packed.size())};
  Append(out, packed);
  out.push_back(0);
  return out;
}

// The pixels 0, 1, 0, 1 in code size 2: clear, 0, 1, then the new string (0, 1), end.
inline Bytes Raster0101() { return Raster(2, PackCodes({{4, 3}, {0, 3}, {1, 3}, {6, 3}, {5, 4}})); }

// Header and logical screen; colors RGB triples make the global table (a power of two).
inline Bytes Header(const std::string& signature, int width, int height, const Bytes& colors = {},
                    int background = 0) {
  Bytes out;
  Append(out, signature);
  Le16(out, width);
  Le16(out, height);
  int entries = static_cast<int>(colors.size() / 3);
  int bits = 0;
  while ((1 << bits) < entries) ++bits;
  out.push_back(entries > 0 ? static_cast<uint8_t>(0x80 | 0x70 | (bits - 1)) : 0);
  out.push_back(static_cast<uint8_t>(background));
  out.push_back(0);
  Append(out, colors);
  return out;
}

inline Bytes GraphicControl(int packed, int delay, int index) {
  Bytes out{0x21, 0xF9, 4, static_cast<uint8_t>(packed)};
  Le16(out, delay);
  out.push_back(static_cast<uint8_t>(index));
  out.push_back(0);
  return out;
}

inline Bytes Comment(std::initializer_list<std::string> lines) {
  Bytes out{0x21, 0xFE};
  for (const std::string& line : lines) {
    out.push_back(static_cast<uint8_t>(line.size()));
    Append(out, line);
  }
  out.push_back(0);
  return out;
}

inline Bytes Loop(int count) {
  Bytes out{0x21, 0xFF, 11};
  Append(out, std::string("NETSCAPE2.0"));
  out.insert(out.end(), {3, 1, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8), 0});
  return out;
}

inline Bytes PlainText() {
  Bytes out{0x21, 0x01, 12};
  out.insert(out.end(), 12, 0);
  out.insert(out.end(), {2, 'h', 'i', 0});
  return out;
}

// An image descriptor (with an optional local table) and its raster.
inline Bytes Image(int left, int top, int width, int height, const Bytes& raster, const Bytes& localColors = {},
                   bool interlaced = false) {
  Bytes out{0x2C};
  Le16(out, left);
  Le16(out, top);
  Le16(out, width);
  Le16(out, height);
  int entries = static_cast<int>(localColors.size() / 3);
  int bits = 0;
  while ((1 << bits) < entries) ++bits;
  uint8_t packed = entries > 0 ? static_cast<uint8_t>(0x80 | (bits - 1)) : 0;
  if (interlaced) packed |= 0x40;
  out.push_back(packed);
  Append(out, localColors);
  Append(out, raster);
  return out;
}

// Black and white, as a global or local table.
inline Bytes BlackWhite() { return Bytes{0, 0, 0, 255, 255, 255}; }
// Four colours: black, red, green, blue.
inline Bytes FourColors() { return Bytes{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}; }

// A complete one-frame file: 4 x 1 pixels 0, 1, 0, 1 in black and white.
inline Bytes SmallGif(const std::string& signature = "GIF87a") {
  Bytes out = Header(signature, 4, 1, BlackWhite());
  Append(out, Image(0, 0, 4, 1, Raster0101()));
  out.push_back(0x3B);
  return out;
}

}  // namespace gif_test
