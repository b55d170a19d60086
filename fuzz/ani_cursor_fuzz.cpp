// The animated-cursor reader on arbitrary bytes: it either reads frames, each carrying an
// icon file the icon reader accepts, or raises the read error; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "demo/ani_cursor.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/ico_format.h"

namespace {
bool LoadIcon(const uint8_t* data, size_t size, int& width, int& height) {
  try {
    const TIconDirectory directory = ParseIconFile(data, size);
    if (directory.Entries.empty()) return false;
    const TIconEntry& entry = directory.Entries[BestIconEntry(directory, 32, 32)];
    width = entry.Width;
    height = entry.Height;
    return true;
  } catch (const Exception&) {
    return false;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TAniCursorData cursor;
  try {
    ParseAniCursor(data, size, cursor, LoadIcon);
  } catch (const EReadError&) {
    return 0;
  }
  if (cursor.Frames.empty() || cursor.Frames.size() > kAniMaxFrames) abort();
  if (cursor.Header.Steps != cursor.Frames.size() || cursor.Title.size() > 255) abort();
  for (const TAniFrameData& frame : cursor.Frames)
    if (!frame.HasImage || frame.Image.empty()) abort();
  return 0;
}
