// Long and short names of real files, as the file system reports them.
#include "platform/rtl/win/windows_api.h"

#include <gtest/gtest.h>

#include <string>

#include "kit/win/long_file_names.h"

namespace {

std::string TempFolder() {
  char buffer[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  return std::string(buffer, length);
}

TEST(LongFileNames, NamesOfAFileWithALongName) {
  const std::string folder = TempFolder();
  const std::string name = "hl long name " + std::to_string(GetCurrentProcessId()) + ".text";
  const std::string path = folder + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  EXPECT_EQ(LongFileNameOf(path), name);
  // The short name is an 8.3 name without blanks, or the long one where the file system has
  // none; either way it names the same file.
  const std::string shortName = ShortFileNameOf(path);
  ASSERT_FALSE(shortName.empty());
  if (shortName != name) {
    EXPECT_LE(shortName.size(), 12u);
    EXPECT_EQ(shortName.find(' '), std::string::npos);
    EXPECT_EQ(LongFileNameOf(folder + shortName), name);
  }
  // Only the last component comes back, and a pattern gives its first match.
  EXPECT_EQ(LongFileNameOf(folder + "hl long name " + std::to_string(GetCurrentProcessId()) + ".*"), name);
  DeleteFileA(path.c_str());

  EXPECT_EQ(LongFileNameOf(path), "");
  EXPECT_EQ(ShortFileNameOf(path), "");
  EXPECT_EQ(LongFileNameOf(""), "");
}

}  // namespace
