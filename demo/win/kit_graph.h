#pragma once
// Bitmaps to bitmap files in memory with a wanted number of bits a pixel, true-colour
// pictures reduced to an 8-bit palette by one of the methods of demo/color_reduction.h.

#include "platform/wcl/win/handles.h"

#include <cstdint>
#include <memory>

#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"

// A bitmap file of bitmap in the target format (pf1bit, pf4bit, pf8bit, pf24bit), true
// colour reduced by method; positioned at 0 and owned by the caller. A bitmap without a
// handle raises EInvalidGraphic; other targets show the not-implemented message and abort.
std::unique_ptr<TMemoryStream> BitmapToStream(TBitmap* bitmap, TPixelFormat target, uint8_t method);
// The same with the target chosen by colour count (1 bit up to 2 colours, 4 up to 16, 8 up
// to 256, else 24) and the default reduction method.
std::unique_ptr<TMemoryStream> BitmapToStreamByColors(TBitmap* bitmap, int colors);
