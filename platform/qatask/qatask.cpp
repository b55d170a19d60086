// qatask.dll: lists the running processes for the tracker's active-task probe.
//
// ENUMPROCS(0, callback) calls callback(pid, path, 0, pid) once for every process of a
// Toolhelp snapshot, synchronously, with the full path of the process's executable, and
// returns TRUE when the snapshot could be walked. INIT and DONE exist for the tracker's
// start-up and shut-down and have nothing to do. All three are stdcall, exported undecorated.
#include <windows.h>
#include <tlhelp32.h>

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

}  // namespace

extern "C" {

BOOL WINAPI ENUMPROCS(DWORD /*reserved*/, EnumCallback callback) {
  if (!callback) return FALSE;
  KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return FALSE;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  if (!Process32First(snapshot.Get(), &entry)) return FALSE;
  char path[PathBufferSize];
  do {
    DWORD id = entry.th32ProcessID;
    if (!ImagePathOfProcess(id, path) && !ImagePathOfFirstModule(id, path))
      lstrcpynA(path, entry.szExeFile, PathBufferSize);
    if (!callback(id, path, 0, id)) break;
    entry.dwSize = sizeof(entry);
  } while (Process32Next(snapshot.Get(), &entry));
  return TRUE;
}

BOOL WINAPI INIT() { return TRUE; }

BOOL WINAPI DONE() { return TRUE; }

}  // extern "C"
