#include "app/win/active_task_probe.h"

#include "app/active_task_rules.h"

namespace {

using EnumCallback = BOOL(WINAPI*)(DWORD, const char*, DWORD, DWORD);
using EnumProcsEntry = BOOL(WINAPI*)(DWORD, EnumCallback);
using PlainEntry = BOOL(WINAPI*)();

// The system directory is read into a buffer of this size, as the tracker always has.
constexpr UINT SystemDirectoryBufferSize = 190;

struct ProbeLibrary {
  HMODULE handle = nullptr;
  EnumProcsEntry enumProcs = nullptr;
  PlainEntry init = nullptr;
  PlainEntry done = nullptr;
  bool loaded = false;
};

ProbeLibrary library;
TActiveTaskState state;
HWND foregroundWindow = nullptr;

template <typename Entry>
Entry FindEntry(HMODULE module, const char* name) {
  // Through a plain function pointer type, so the compiler accepts the change of signature.
  return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Closes a process handle when the scope ends.
class ProcessHandle {
public:
  explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
  ~ProcessHandle() {
    if (handle_) CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE Get() const { return handle_; }

private:
  HANDLE handle_;
};

void EndProcess(DWORD processId) {
  ProcessHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  // A program that cannot be ended keeps running; the next sample tries again.
  if (process.Get()) TerminateProcess(process.Get(), 0);
}

}  // namespace

void LoadTaskLibrary() {
  foregroundWindow = nullptr;
  state.Reset();
  state.SetOwnProcessId(GetCurrentProcessId());
  library = ProbeLibrary();

  char directory[SystemDirectoryBufferSize];
  UINT length = GetSystemDirectoryA(directory, SystemDirectoryBufferSize);
  state.SetSystemDirectory(length > 0 && length < SystemDirectoryBufferSize
                               ? std::string(directory, length)
                               : std::string());

  HMODULE handle = LoadLibraryA("qatask.dll");
  if (!handle) return;
  library.handle = handle;
  library.enumProcs = FindEntry<EnumProcsEntry>(handle, "ENUMPROCS");
  if (!library.enumProcs) return;
  library.init = FindEntry<PlainEntry>(handle, "INIT");
  if (!library.init) return;
  library.done = FindEntry<PlainEntry>(handle, "DONE");
  if (!library.done) return;
  library.init();
  library.loaded = true;
}

void UnloadTaskLibrary() {
  if (library.loaded) {
    try {
      library.done();
    } catch (...) {
      // Shutting down: whatever DONE raises changes nothing.
    }
  }
  if (library.handle) FreeLibrary(library.handle);
  library = ProbeLibrary();
  state.SetForegroundExecutable(std::string());
  state.SetBlockedList(std::string());
}

bool TaskLibraryLoaded() { return library.loaded; }

std::string GetActiveTask() {
  std::string result;
  state.BeginSample();
  if (!library.loaded) return result;
  foregroundWindow = GetForegroundWindow();
  DWORD processId = 0;
  if (foregroundWindow) GetWindowThreadProcessId(foregroundWindow, &processId);
  state.SetForegroundProcessId(processId);
  BOOL enumerated = library.enumProcs(0, &ProcessEnumCallback);
  if ((enumerated & 0xFF) != 0) result = state.ForegroundExecutable();
  return result;
}

bool IsScreenSaverRunning() { return state.IsScreenSaverRunning(); }

BOOL WINAPI ProcessEnumCallback(DWORD processId, const char* path, DWORD /*unused*/,
                                DWORD processId2) {
  try {
    if (state.ProcessReported(processId2, path ? std::string(path) : std::string()))
      EndProcess(processId);
  } catch (...) {
    // Nothing may unwind through the library; this process is simply passed over.
  }
  return TRUE;
}

HWND ActiveTaskForegroundWindow() { return foregroundWindow; }

int ScreenSaverWatch() { return state.ScreenSaverWatch(); }

void SetScreenSaverWatch(int watch) { state.SetScreenSaverWatch(watch); }

const std::string& BlockedList() { return state.BlockedList(); }

void SetBlockedList(const std::string& list) { state.SetBlockedList(list); }
