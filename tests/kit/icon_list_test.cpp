#include "kit/icon_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

std::string Bytes(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void Fill(TMemoryStream& stream, const std::string& bytes) {
  stream.Clear();
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// Reads stored entries into texts; an empty entry reads as "<empty>".
std::vector<std::string> ReadAll(TMemoryStream& stream, std::vector<std::string>* partial = nullptr) {
  std::vector<std::string> entries;
  auto add = [&](TMemoryStream* icon) {
    entries.push_back(icon == nullptr ? "<empty>" : icon->ReadRest());
    if (partial != nullptr) *partial = entries;
  };
  ReadIconListData(stream, add);
  return entries;
}

}  // namespace

TEST(IconListData, WritesCountSizesAndBytes) {
  const std::vector<std::string> icons = {"ICON-ONE", "", "I3"};
  TMemoryStream stream;
  WriteIconListData(stream, 3, [&](int i, TMemoryStream& scratch) {
    EXPECT_EQ(0, scratch.Size());  // emptied before every entry
    scratch.WriteBuffer(icons[i].data(), static_cast<int64_t>(icons[i].size()));
  });
  EXPECT_EQ(Le32(3) + Le32(8) + "ICON-ONE" + Le32(0) + Le32(2) + "I3", Bytes(stream));

  stream.SetPosition(0);
  EXPECT_EQ((std::vector<std::string>{"ICON-ONE", "<empty>", "I3"}), ReadAll(stream));
  EXPECT_EQ(stream.Size(), stream.Position());

  // An empty list is its count alone and reads back as no entries.
  TMemoryStream empty;
  WriteIconListData(empty, 0, [](int, TMemoryStream&) { FAIL(); });
  EXPECT_EQ(Le32(0), Bytes(empty));
  empty.SetPosition(0);
  EXPECT_TRUE(ReadAll(empty).empty());
}

TEST(IconListData, RefusesCountsAndSizesTheStreamCannotHold) {
  TMemoryStream stream;
  // A count far beyond the bytes present, a count over the cap, a negative count.
  for (uint32_t count : {0x7FFFFFFFu, 3u, 65537u, 0xFFFFFFFFu}) {
    std::string data = Le32(count) + Le32(0) + Le32(0);
    if (count == 65537u) data += std::string(4 * 65537, '\0');
    Fill(stream, data);
    EXPECT_THROW(ReadAll(stream), EReadError) << count;
  }

  // A size beyond the end of the stream: refused before anything is allocated; the entry
  // read before it stays with the caller.
  std::vector<std::string> partial;
  Fill(stream, Le32(2) + Le32(1) + "A" + Le32(0x7FFFFFFF) + "xyz");
  EXPECT_THROW(ReadAll(stream, &partial), EReadError);
  EXPECT_EQ((std::vector<std::string>{"A"}), partial);

  // One byte short, and a negative size.
  Fill(stream, Le32(1) + Le32(4) + "abc");
  EXPECT_THROW(ReadAll(stream), EReadError);
  Fill(stream, Le32(1) + Le32(0xFFFFFFFF) + "abcd");
  EXPECT_THROW(ReadAll(stream), EReadError);

  // Too short for the count itself.
  Fill(stream, "\x01\x00");
  EXPECT_THROW(ReadAll(stream), EReadError);
}
