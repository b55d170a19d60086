// Fuzz target for the icon and cursor file reader: any input must parse or fail with the
// library's errors, and every image a parsed directory lists must lie inside the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/ico_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    if (size >= kIconHeaderSize) {
      const size_t count = IconEntryCount(data, size);
      if (kIconHeaderSize + count * kIconEntrySize <= size) IconFileExtent(data, size);
    }
  } catch (const Exception&) {
  }
  TIconDirectory directory;
  try {
    directory = ParseIconFile(data, size);
  } catch (const Exception&) {
    return 0;
  }
  if (directory.Extent > size) std::abort();
  for (const TIconEntry& entry : directory.Entries) {
    if (entry.Offset > size || entry.Size > size - entry.Offset) std::abort();
    if (entry.Png) continue;
    try {
      // The colour half and the mask: the header declares the doubled height.
      ParseDibInfoHeader(data + entry.Offset, entry.Size, 2);
    } catch (const Exception&) {
      std::abort();  // the directory was accepted with this very header
    }
  }
  if (!directory.Entries.empty()) {
    const size_t best = BestIconEntry(directory, 32, 32);
    if (best >= directory.Entries.size()) std::abort();
  }
  return 0;
}
