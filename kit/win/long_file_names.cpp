#include "kit/win/long_file_names.h"

#include "platform/rtl/win/windows_api.h"

#include "platform/wcl/win/handles.h"

namespace {

struct FindHandleTraits {
  using Handle = HANDLE;
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};
using UniqueFindHandle = UniqueWinHandle<FindHandleTraits>;

// The first directory entry matching path: its long and short names.
bool FirstMatch(const std::string& path, std::string& longName, std::string& shortName) {
  WIN32_FIND_DATAA data{};
  UniqueFindHandle find(FindFirstFileA(path.c_str(), &data));
  if (!find) return false;
  longName = data.cFileName;
  shortName = data.cAlternateFileName;
  return true;
}

}  // namespace

std::string LongFileNameOf(const std::string& path) {
  std::string longName, shortName;
  if (!FirstMatch(path, longName, shortName)) return std::string();
  return longName.empty() ? shortName : longName;
}

std::string ShortFileNameOf(const std::string& path) {
  std::string longName, shortName;
  if (!FirstMatch(path, longName, shortName)) return std::string();
  return shortName.empty() ? longName : shortName;
}
