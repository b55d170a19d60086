#include "platform/rtl/file_replace.h"

#include <atomic>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

#ifdef _WIN32
#include <windows.h>
#undef DeleteFile
#else
#include <cstdio>
#include <unistd.h>
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

std::atomic<TFileReplaceFunc> replaceFunc{&OperatingSystemReplace};

// A name in the target's own folder (so the final move never crosses volumes) that no other
// save of this process uses at the same time.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  return path + ".~" + IntToStr(static_cast<int64_t>(pid)) + "-" + IntToStr(++counter) + ".tmp";
}

std::string SaveFailure(const std::string& path, const std::string& reason) {
  return "Cannot save file \"" + path + "\": " + reason;
}

}  // namespace

TFileReplaceFunc SetFileReplaceFunc(TFileReplaceFunc func) {
  return replaceFunc.exchange(func != nullptr ? func : &OperatingSystemReplace);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces) {
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
    for (std::string_view piece : pieces) {
      const int64_t count = static_cast<int64_t>(piece.size());
      if (count > 0 && file->Write(piece.data(), count) != count) {
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
