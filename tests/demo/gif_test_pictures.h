#pragma once
// Pictures for the LZW coder's tests and benchmark: 8-bit rows of the kinds people save as
// GIF (one colour, noise, photo-like gradients, screenshots with flat areas and text),
// made the same way on every run and platform.

#include <cstdint>
#include <random>
#include <vector>

#include "demo/gif_lzw.h"

namespace gif_test {

struct TPicture {
  TGifPixels Pixels;
  std::vector<uint8_t> Bits;

  TPicture(int width, int height, int bits) {
    Pixels.Width = width;
    Pixels.Height = height;
    Pixels.BitCount = bits;
    Bits.assign(Pixels.Stride() * static_cast<size_t>(height), 0);
    Pixels.Bits = Bits.data();
  }
  TPicture(const TPicture& other) : Pixels(other.Pixels), Bits(other.Bits) { Pixels.Bits = Bits.data(); }
  TPicture& operator=(const TPicture&) = delete;

  // Rows of a picture are padded; only the pixels' own bits are compared.
  unsigned At(int x, int y) const {
    const uint8_t* row = Bits.data() + static_cast<size_t>(Pixels.Height - 1 - y) * Pixels.Stride();
    switch (Pixels.BitCount) {
      case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
      case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15;
      default: return row[x];
    }
  }
  void Set8(int x, int y, unsigned value) {
    Bits[static_cast<size_t>(Pixels.Height - 1 - y) * Pixels.Stride() + static_cast<size_t>(x)] =
        static_cast<uint8_t>(value);
  }
  bool SamePixels(const TPicture& other) const {
    for (int y = 0; y < Pixels.Height; ++y)
      for (int x = 0; x < Pixels.Width; ++x)
        if (At(x, y) != other.At(x, y)) return false;
    return true;
  }
};

inline TPicture Noise(int width, int height, int bits, unsigned seed, int colors = 256) {
  TPicture picture(width, height, bits);
  std::mt19937 random(seed);
  if (bits == 8) {
    for (uint8_t& b : picture.Bits) b = static_cast<uint8_t>(random() % static_cast<unsigned>(colors));
  } else {
    for (uint8_t& b : picture.Bits) b = static_cast<uint8_t>(random());
  }
  return picture;
}

inline TPicture Flat(int width, int height, unsigned colour) {
  TPicture picture(width, height, 8);
  for (uint8_t& b : picture.Bits) b = static_cast<uint8_t>(colour);
  return picture;
}

// Smooth gradients with a little grain, as a photograph reduced to 256 colours looks.
inline TPicture PhotoLike(int width, int height, unsigned seed) {
  TPicture picture(width, height, 8);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned light = static_cast<unsigned>(x / 7 + y / 11) + static_cast<unsigned>((x / 40) * (y / 30) % 13);
      picture.Set8(x, y, (light + random() % 3) % 256);
    }
  return picture;
}

// A desktop screenshot: a flat background, flat windows with a title bar, and lines of
// small text in a few colours.
inline TPicture ScreenLike(int width, int height, unsigned seed) {
  TPicture picture = Flat(width, height, 37);
  std::mt19937 random(seed);
  for (int window = 0; window < 6; ++window) {
    const int left = static_cast<int>(random() % static_cast<unsigned>(width / 2 + 1));
    const int top = static_cast<int>(random() % static_cast<unsigned>(height / 2 + 1));
    const int right = left + width / 3, bottom = top + height / 3;
    for (int y = top; y < bottom && y < height; ++y)
      for (int x = left; x < right && x < width; ++x) {
        unsigned colour = y < top + 20 ? 5 : 255;
        const bool textLine = y > top + 30 && (y - top) % 16 < 9 && x > left + 8 && x < right - 30;
        if (textLine && random() % 4 == 0) colour = 1 + random() % 3;
        picture.Set8(x, y, colour);
      }
  }
  return picture;
}

}  // namespace gif_test
