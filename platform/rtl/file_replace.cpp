// Under _WIN32 the atomic save asks Windows itself (through platform/rtl/win/windows_api.h)
// for the final move with write-through, the process id in temporary names and whether the
// process that left one still runs; elsewhere rename, getpid and kill stand in. The branch
// cannot move into the Win32 layer: saving files is part of the portable runtime the cores
// call, and the cores' Windows builds (their tests under Wine among them) link without the
// Win32 side, which is built on top of them.

#include "platform/rtl/file_replace.h"

#include <atomic>
#include <memory>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#else
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace {

std::string OperatingSystemReplace(const std::string& tempPath, const std::string& targetPath) {
#ifdef _WIN32
  if (MoveFileExA(tempPath.c_str(), targetPath.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return std::string();
#else
  if (std::rename(tempPath.c_str(), targetPath.c_str()) == 0) return std::string();
#endif
  return SysErrorMessage(GetLastOSError());
}

unsigned long CurrentProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

std::atomic<TFileReplaceFunc> replaceFunc{&OperatingSystemReplace};

// A name in the target's own folder (so the final move never crosses volumes) that no other
// save of this process uses at the same time.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const unsigned long pid = CurrentProcessId();
  return path + ".~" + IntToStr(static_cast<int64_t>(pid)) + "-" + IntToStr(++counter) + ".tmp";
}

// Whether a process with this id runs now. When that cannot be told, the answer is yes, so
// that a file another running save may still need is never taken away.
bool ProcessRuns(unsigned long pid) {
  if (pid == CurrentProcessId()) return true;
#ifdef _WIN32
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool runs = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  CloseHandle(process);
  return runs;
#else
  if (pid == 0 || pid > 0x7FFFFFFFul) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

// The process id in a temporary name of `fileName` ("<fileName>.~<pid>-<n>.tmp"), or false
// when `name` is no such name. Letter case is ignored, as the system's file names do.
bool TemporaryNameOf(const std::string& name, const std::string& fileName, unsigned long& pid) {
  const std::string head = fileName + ".~";
  const std::string tail = ".tmp";
  if (name.size() <= head.size() + tail.size()) return false;
  if (!SameText(name.substr(0, head.size()), head)) return false;
  if (!SameText(name.substr(name.size() - tail.size()), tail)) return false;
  const std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
  const size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size()) return false;
  if (dash > 10 || middle.size() - dash - 1 > 10) return false;
  unsigned long long value = 0;
  for (size_t i = 0; i < middle.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(middle[i]);
    if (i == dash) continue;
    if (c < '0' || c > '9') return false;
    if (i < dash) value = value * 10 + (c - '0');
  }
  if (value > 0xFFFFFFFFull) return false;
  pid = static_cast<unsigned long>(value);
  return true;
}

// The names of the files in a folder ("" is the current one).
std::vector<std::string> FolderFileNames(const std::string& dir) {
  std::vector<std::string> names;
#ifdef _WIN32
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
#else
  DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
  if (folder == nullptr) return names;
  while (dirent* entry = readdir(folder)) names.push_back(entry->d_name);
  closedir(folder);
#endif
  return names;
}

std::string SaveFailure(const std::string& path, const std::string& reason) {
  return "Cannot save file \"" + path + "\": " + reason;
}

}  // namespace

TFileReplaceFunc SetFileReplaceFunc(TFileReplaceFunc func) {
  return replaceFunc.exchange(func != nullptr ? func : &OperatingSystemReplace);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces) {
  size_t next = 0;
  WriteFileAtomically(path, [&]() -> std::string_view {
    // Empty pieces are passed over: an empty one ends the file.
    while (next < pieces.size() && pieces[next].empty()) ++next;
    return next < pieces.size() ? pieces[next++] : std::string_view();
  });
}

void WriteFileAtomically(const std::string& path, const std::function<std::string_view()>& next) {
  // Without a name the temporary file would land in the current folder for nothing.
  if (path.empty()) throw EFCreateError("Cannot save a file without a name");
  const std::string temp = TemporaryNameFor(path);
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(temp, fmCreate | fmShareExclusive);
  } catch (const Exception& e) {
    throw EFCreateError(SaveFailure(path, e.Message()));
  }

  std::string error;
  try {
    for (std::string_view piece = next(); !piece.empty(); piece = next()) {
      const int64_t count = static_cast<int64_t>(piece.size());
      if (file->Write(piece.data(), count) != count) {
        error = "Cannot write file \"" + temp + "\". " + SysErrorMessage(GetLastOSError());
        break;
      }
    }
    if (error.empty()) file->Flush();
  } catch (const Exception& e) {
    error = e.Message();
  }
  file.reset();  // a file still open cannot be moved on Windows
  if (error.empty()) error = replaceFunc.load()(temp, path);
  if (!error.empty()) {
    DeleteFile(temp);
    throw EWriteError(SaveFailure(path, error));
  }
}

void WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  WriteFileAtomically(path, {std::string_view(static_cast<const char*>(data), size)});
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

int RemoveStaleTemporaryFiles(const std::string& path) {
  const std::string fileName = ExtractFileName(path);
  if (fileName.empty()) return 0;
  const std::string dir = ExtractFilePath(path);
  int removed = 0;
  for (const std::string& name : FolderFileNames(dir)) {
    unsigned long pid = 0;
    if (!TemporaryNameOf(name, fileName, pid) || ProcessRuns(pid)) continue;
    if (DeleteFile(dir + name)) ++removed;
  }
  return removed;
}
