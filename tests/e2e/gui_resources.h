#pragma once
// The GDI objects, USER objects and handles of a process, for the long runs that check the
// tracker keeps none of them. Under Wine the system's counters answer 0 for another
// process; then they are counted where the system keeps them.
#include "platform/rtl/win/windows_api.h"
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

namespace e2e {

// The GDI objects in use by kind (the table entry's kind without its stock flag).
using GdiKinds = std::map<int, long>;

// The system's own counters where it keeps them. Where it does not (it answers 0), the GDI
// objects are counted in the process's GDI handle table, as the system would, the USER
// objects as the windows the process owns, and the handles in the system's handle list.
struct Resources {
  long gdi = 0, user = 0, handles = 0;
  GdiKinds gdiKinds;  // when counted in the table
  bool gdiCounted = false, userCounted = false, handlesCounted = false;
};

// One entry of the GDI handle table the process's environment block points at. A freed
// entry keeps its kind and generation and only loses its type: counting entries by kind
// would count every entry ever used, the table's high-water mark, not the objects alive.
struct GdiEntry {
  uint64_t object;
  uint32_t owner;
  uint8_t kind;  // the object's kind; its top bit marks a stock object
  uint8_t generation;
  uint8_t type;  // 0 once the object is freed
  uint8_t flags;
  uint64_t user;
};
constexpr size_t kGdiEntries = 0x10000;

inline const char* GdiKindName(int kind) {
  switch (kind) {
    case 0x01: return "DC";
    case 0x04: return "region";
    case 0x41: return "memory DC";
    case 0x08: return "palette";
    case 0x09: return "bitmap";
    case 0x0a: return "font";
    case 0x10: return "brush";
    case 0x21: return "enh. metafile DC";
    case 0x26: return "metafile";
    case 0x30: return "pen";
    case 0x46: return "enh. metafile";
    case 0x50: return "ext. pen";
    case 0x66: return "metafile DC";
    default: {
      static char number[8];
      std::snprintf(number, sizeof number, "kind %d", kind);
      return number;
    }
  }
}

// The GDI objects of the process alive now, stock objects left out; by kind if asked.
inline long CountGdiTable(HANDLE process, GdiKinds* kinds = nullptr) {
  PROCESS_BASIC_INFORMATION info{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, &length) != 0) return -1;
  const size_t tableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  void* table = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(info.PebBaseAddress)) + tableOffset, &table,
                         sizeof table, &read) ||
      !table)
    return -1;
  std::vector<GdiEntry> entries(kGdiEntries);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &read)) return -1;
  long count = 0;
  for (const GdiEntry& entry : entries)
    if (entry.type != 0 && (entry.kind & 0x80) == 0) {  // in use, not a stock object
      ++count;
      if (kinds) ++(*kinds)[entry.kind];
    }
  return count;
}

// The process's handles as the system's handle list gives them.
inline long CountHandles(DWORD processId) {
  struct Entry {
    USHORT process;
    USHORT backTrace;
    UCHAR type;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) {
      const ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
      const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
      long mine = 0;
      for (ULONG i = 0; i < count; ++i) mine += entries[i].process == static_cast<USHORT>(processId);
      return mine;
    }
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 65536));
  }
  return -1;
}

struct WindowCount {
  DWORD process;
  long count;
};

inline BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  return TRUE;
}

inline BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == windows->process) {
    ++windows->count;
    EnumChildWindows(window, CountChild, data);
  }
  return TRUE;
}

// The windows the process owns: top-level ones with their children, and message-only ones.
inline long CountWindows(DWORD processId) {
  WindowCount windows{processId, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
  // Message-only windows are not top-level windows.
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
    CountWindow(window, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

inline Resources Measure(const PROCESS_INFORMATION& process) {
  Resources r;
  r.gdi = static_cast<long>(GetGuiResources(process.hProcess, GR_GDIOBJECTS));
  r.user = static_cast<long>(GetGuiResources(process.hProcess, GR_USEROBJECTS));
  if (r.gdi == 0) {
    r.gdi = CountGdiTable(process.hProcess, &r.gdiKinds);
    r.gdiCounted = true;
  }
  if (r.user == 0) {
    r.user = CountWindows(process.dwProcessId);
    r.userCounted = true;
  }
  DWORD handles = 0;
  r.handles = GetProcessHandleCount(process.hProcess, &handles) ? static_cast<long>(handles) : 0;
  if (r.handles == 0) {
    r.handles = CountHandles(process.dwProcessId);
    r.handlesCounted = true;
  }
  return r;
}

}  // namespace e2e
