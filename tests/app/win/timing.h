#pragma once
// Times for the window tests that measure speed: a clock in seconds, and the yardstick the
// measured times are compared with, a plain read of the same file.
#include "platform/rtl/win/windows_api.h"

#include <algorithm>
#include <string>

namespace timing {

inline double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The fastest of five plain reads of a whole file, in seconds.
inline double RawReadSeconds(const std::string& path) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const double start = Seconds();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    best = std::min(best, Seconds() - start);
  }
  return best;
}

}  // namespace timing
