#include "kit/icon_list.h"

#include <cstdint>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

void WriteInt32(TStream& stream, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  const unsigned char bytes[4] = {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
                                  static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
  stream.WriteBuffer(bytes, 4);
}

int32_t ReadInt32(TStream& stream) {
  unsigned char bytes[4];
  stream.ReadBuffer(bytes, 4);
  return static_cast<int32_t>(bytes[0] | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                              (uint32_t(bytes[3]) << 24));
}

[[noreturn]] void Damaged(const std::string& what) { throw EReadError("Icon list data is damaged: " + what); }

}  // namespace

void WriteIconListData(TStream& stream, int count,
                       const std::function<void(int index, TMemoryStream& scratch)>& saveEntry) {
  WriteInt32(stream, count);
  TMemoryStream scratch;
  for (int i = 0; i < count; ++i) {
    scratch.Clear();
    saveEntry(i, scratch);
    WriteInt32(stream, static_cast<int32_t>(scratch.Size()));
    stream.WriteBuffer(scratch.Memory(), scratch.Size());
  }
}

void ReadIconListData(TStream& stream, const std::function<void(TMemoryStream* icon)>& addEntry) {
  const int32_t count = ReadInt32(stream);
  // Every record takes at least its 4-byte size.
  if (count < 0 || count > kMaxStoredIcons || count > (stream.Size() - stream.Position()) / 4)
    Damaged("the count " + std::to_string(count) + " does not fit the data");
  TMemoryStream scratch;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t size = ReadInt32(stream);
    if (size < 0 || size > stream.Size() - stream.Position())
      Damaged("the size " + std::to_string(size) + " of entry " + std::to_string(i) + " does not fit the data");
    if (size == 0) {
      addEntry(nullptr);
      continue;
    }
    scratch.Clear();
    // Copies in pieces, so a stream that claims more than it holds cannot make this
    // allocate for the claim; a short record raises EReadError.
    scratch.CopyFrom(stream, size);
    scratch.SetPosition(0);
    addEntry(&scratch);
  }
}
