// qatask.dll: lists the running processes for the tracker's active-task probe.
//
// ENUMPROCS(0, callback) calls callback(pid, path, 0, pid) once for every running process,
// synchronously, with the full path of the process's executable, and returns TRUE when the
// process list could be read. INIT and DONE exist for the tracker's start-up and shut-down
// and have nothing to do. All three are stdcall, exported undecorated.
//
// The tracker asks once a second. The list comes from one system call; a process's path is
// looked up only the first time it is listed and then kept while it runs (a process is told
// from a later one with the same number by its creation time), so a sample costs the system
// almost nothing beyond the list itself.
#include "platform/rtl/win/windows_api.h"
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/qatask/process_path_cache.h"

namespace {

using EnumCallback = BOOL(WINAPI*)(DWORD processId, const char* path, DWORD unused,
                                   DWORD processId2);

// Room for the longest path the system reports through the ANSI calls.
constexpr DWORD PathBufferSize = 1024;

// Owns a kernel handle; snapshots report failure as INVALID_HANDLE_VALUE, processes as null.
class KernelHandle {
public:
  explicit KernelHandle(HANDLE handle) : handle_(handle) {}
  ~KernelHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

private:
  HANDLE handle_;
};

// The full image path through the process itself: works across bitness and sessions.
bool ImagePathOfProcess(DWORD processId, char* buffer) {
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process.Valid()) return false;
  DWORD size = PathBufferSize;
  return QueryFullProcessImageNameA(process.Get(), 0, buffer, &size) && size > 0;
}

// The path of the process's first module (its executable), where that list can be read.
bool ImagePathOfFirstModule(DWORD processId, char* buffer) {
  KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!snapshot.Valid()) return false;
  MODULEENTRY32 module;
  module.dwSize = sizeof(module);
  if (!Module32First(snapshot.Get(), &module) || module.szExePath[0] == '\0') return false;
  lstrcpynA(buffer, module.szExePath, PathBufferSize);
  return true;
}

// The running processes as the system lists them, or false. The buffer is kept from one
// call to the next: made anew each second it would be fresh pages to clear every time.
bool ReadProcessList(std::vector<unsigned char>& list) {
  if (list.size() < 256 * 1024) list.resize(256 * 1024);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status =
        NtQuerySystemInformation(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), &needed);
    if (status >= 0) return true;
    if (static_cast<ULONG>(status) != 0xC0000004u) return false;  // anything but a short buffer
    list.resize(std::max<size_t>(list.size() * 2, needed + 64 * 1024));
  }
  return false;
}

// The full paths of the processes of the last list.
ProcessPathCache knownPaths;

}  // namespace

extern "C" {

BOOL WINAPI ENUMPROCS(DWORD /*reserved*/, EnumCallback callback) {
  if (!callback) return FALSE;
  static std::vector<unsigned char> list;
  if (!ReadProcessList(list)) return FALSE;
  char path[PathBufferSize];
  for (size_t at = 0; at < list.size();) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + at);
    const DWORD id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId));
    const LONGLONG created = entry->CreateTime.QuadPart;
    if (const std::string* known = knownPaths.Take(id, created)) {
      lstrcpynA(path, known->c_str(), PathBufferSize);
    } else if (ImagePathOfProcess(id, path) || (id != 0 && ImagePathOfFirstModule(id, path))) {
      // Number 0 is the idle process: a module list of "process 0" is this process's own.
      knownPaths.Keep(id, created, path);
    } else {
      // No full path to be had: the name the list gives, asked for again next time.
      const int length = WideCharToMultiByte(CP_ACP, 0, entry->ImageName.Buffer, entry->ImageName.Length / 2, path,
                                             PathBufferSize - 1, nullptr, nullptr);
      path[length > 0 ? length : 0] = '\0';
    }
    if (!callback(id, path, 0, id)) break;
    if (entry->NextEntryOffset == 0) break;
    at += entry->NextEntryOffset;
  }
  knownPaths.EndListing();
  return TRUE;
}

BOOL WINAPI INIT() { return TRUE; }

BOOL WINAPI DONE() { return TRUE; }

}  // extern "C"
