// Fuzz target for the string holder's stored lines ("StrData"): any input must read or fail
// with EReadError and leave the holder as it was; what was read must write and read again to
// the same key and lines (in a sorted list, lines equal but for case in any order). The
// first byte chooses sorting and the duplicate rule.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "kit/str_holder.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

std::vector<std::string> Lines(const TStrHolder& holder) {
  std::vector<std::string> lines;
  for (int i = 0; i < holder.Strings()->Count(); ++i) lines.push_back(holder.Strings()->Strings(i));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  TStrHolder holder(nullptr);
  holder.SetSorted((mode & 1) != 0);
  holder.SetDuplicates((mode & 2) != 0 ? dupAccept : dupIgnore);
  holder.SetKeyString("before");
  holder.Strings()->Add("kept line");

  TMemoryStream input;
  input.WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
  input.SetPosition(0);
  try {
    holder.ReadStrData(input);
  } catch (const EReadError&) {
    if (holder.KeyString() != "before" || Lines(holder) != std::vector<std::string>{"kept line"})
      std::abort();
    return 0;
  }
  if (holder.Strings()->Count() > TStrHolder::MaxStoredLines) std::abort();

  TMemoryStream stored;
  holder.WriteStrData(stored);
  stored.SetPosition(0);
  TStrHolder again(nullptr);
  again.SetSorted(holder.Sorted());
  again.SetDuplicates(holder.Duplicates());
  again.ReadStrData(stored);
  std::vector<std::string> first = Lines(holder);
  std::vector<std::string> second = Lines(again);
  if (holder.Sorted()) {
    // Lines equal but for letter case may stand in either order in a sorted list.
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
  }
  if (again.KeyString() != holder.KeyString() || second != first) std::abort();
  return 0;
}
