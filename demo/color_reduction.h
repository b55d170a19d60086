#pragma once
// Colour reduction: a true-colour picture brought down to 8-bit palette indices by one of
// six methods, and the bitmap file that holds the result.

#include <cstdint>
#include <vector>

#include "platform/wcl/bmp_format.h"

// Reduction methods.
constexpr uint8_t kReducePopularity = 0;  // the most frequent colours (a histogram)
constexpr uint8_t kReduceMedianCut = 1;   // boxes of the colour cube split at their median
constexpr uint8_t kReduceFixed784 = 2;    // fixed 7 red x 8 green x 4 blue levels
constexpr uint8_t kReduceFixed666 = 3;    // fixed 6 x 6 x 6 levels
constexpr uint8_t kReduceTripel = 4;      // one channel per pixel, in turn
constexpr uint8_t kReduceGrayscale = 5;   // 256 gray levels

// The method used wherever a caller names none.
extern uint8_t DefaultReductionMethod;

// The index of the level nearest to value in the table of 4, 6, 7 or 8 levels (the lower
// one on a tie), and the level's value.
int NearestLevelIndex(int levels, uint8_t value);
uint8_t LevelValue(int levels, int index);

// The picture reduced to 8 bits: a 256-entry palette and one index a pixel. source holds
// 24 bits a pixel (rows bottom-up). colorCount receives the colour count a bitmap file
// of the result declares (0 where the method leaves it open). A picture without pixels or of
// another depth raises EInvalidGraphic.
TDibImage ReduceTo8Bit(const TDibImage& source, uint8_t method, uint32_t* colorCount = nullptr);

// The bitmap file of ReduceTo8Bit's result, its header declaring the colour count.
std::vector<uint8_t> ReducedBitmapFile(const TDibImage& source, uint8_t method);

// Gives the see-through colour key (a plain RGB colour) of source its own exact entry in
// reduced (source reduced to 8 bits), so that it can still be found after the reduction:
// source's key pixels take that entry, and no other entry keeps the key colour. Without key
// pixels nothing changes.
void KeepKeyColor(const TDibImage& source, TDibImage& reduced, uint32_t key);

// Any decoded picture (1, 4, 8, 16, 24 or 32 bits) as 24 bits a pixel.
TDibImage ToTrueColor(const TDibImage& source);
