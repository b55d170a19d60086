// Fuzz target for the stored icon-list reader: any input must read or fail with EReadError.
// What was read must write back to exactly the bytes it was read from.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "kit/icon_list.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.WriteBuffer(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  std::vector<std::unique_ptr<std::string>> entries;  // nullptr: an empty entry
  try {
    ReadIconListData(input, [&](TMemoryStream* icon) {
      if (icon == nullptr) {
        entries.push_back(nullptr);
        return;
      }
      if (icon->Position() != 0) std::abort();
      entries.push_back(std::make_unique<std::string>(icon->ReadRest()));
    });
  } catch (const EReadError&) {
    return 0;
  }
  if (entries.size() > static_cast<size_t>(kMaxStoredIcons)) std::abort();

  const int64_t consumed = input.Position();
  TMemoryStream output;
  WriteIconListData(output, static_cast<int>(entries.size()), [&](int index, TMemoryStream& scratch) {
    const std::string* bytes = entries[static_cast<size_t>(index)].get();
    if (bytes != nullptr) scratch.WriteBuffer(bytes->data(), static_cast<int64_t>(bytes->size()));
  });
  if (output.Size() != consumed) std::abort();
  output.SetPosition(0);
  const std::string written = output.ReadRest();
  if (written != std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(consumed)))
    std::abort();
  return 0;
}
