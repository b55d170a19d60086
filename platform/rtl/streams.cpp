// Under _WIN32 TFileStream holds a Windows file handle (CreateFileA and its kin, through
// platform/rtl/win/windows_api.h); elsewhere a POSIX descriptor. The branch cannot move into
// the Win32 layer: the file stream is part of the portable runtime the cores call, and the
// cores' Windows builds (their tests under Wine among them) link without the Win32 side, which
// is built on top of them.

#include "platform/rtl/streams.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/sysutils.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The operating system moves at most this much in one call.
constexpr int64_t kMaxTransfer = int64_t(1) << 30;

std::string FileErrorText(const char* what, const std::string& fileName, int error) {
  return std::string("Cannot ") + what + " file \"" + fileName + "\". " + SysErrorMessage(error);
}

// Moves count bytes in pieces the operating system accepts. step(offset, n) moves up to n
// bytes at offset and returns how many it moved; nothing moved (or an error) ends the loop.
template <typename Step>
int64_t Transfer(int64_t count, Step step) {
  int64_t total = 0;
  while (total < count) {
    int64_t done = step(total, std::min(count - total, kMaxTransfer));
    if (done <= 0) break;
    total += done;
  }
  return total;
}

}  // namespace

// ---- TStream ---------------------------------------------------------------------------

int64_t TStream::Size() {
  int64_t position = Seek(0, soFromCurrent);
  int64_t size = Seek(0, soFromEnd);
  Seek(position, soFromBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count <= 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(count, 64 * 1024)));
  int64_t left = count;
  while (left > 0) {
    int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

std::string TStream::ReadRest() {
  std::string result;
  int64_t claimed = Size() - Position();
  while (claimed > 0) {
    // Grow with what has arrived: never more than doubles the bytes really read.
    int64_t want = std::min<int64_t>(claimed, std::max<int64_t>(1 << 20, result.size()));
    size_t old = result.size();
    result.resize(old + static_cast<size_t>(want));
    int64_t got = Read(&result[old], want);
    if (got < 0) got = 0;
    result.resize(old + static_cast<size_t>(got));
    if (got == 0) break;
    claimed -= got;
  }
  return result;
}

// ---- TMemoryStream ---------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  int64_t size = Size();
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  int64_t end = position_ + count;
  if (end > Size()) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position_ : Size();
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target)) throw EStreamError("Invalid stream position");
  position_ = target;
  return position_;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0) newSize = 0;
  data_.resize(static_cast<size_t>(newSize));
  if (position_ > newSize) position_ = newSize;
}

std::string TMemoryStream::ReadRest() {
  std::string rest;
  if (position_ >= 0 && position_ < Size()) {
    rest.assign(data_.data() + position_, data_.size() - static_cast<size_t>(position_));
    position_ = Size();
  }
  return rest;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  std::string bytes = stream.ReadRest();
  data_.assign(bytes.begin(), bytes.end());
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
  stream.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  WriteFileAtomically(fileName, data_.data(), data_.size());
}

// ---- TFileStream -----------------------------------------------------------------------

std::string TFileStream::ReadRest() {
  // The operating system's size is the real one: one allocation, one read.
  std::string rest;
  int64_t size = Size() - Position();
  if (size > 0) {
    rest.resize(static_cast<size_t>(size));
    rest.resize(static_cast<size_t>(Read(&rest[0], size)));
  }
  return rest;
}

#ifdef _WIN32

namespace {
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  if (!create && (mode & 3) == fmOpenRead) access = GENERIC_READ;
  if (!create && (mode & 3) == fmOpenWrite) access = GENERIC_WRITE;
  DWORD share = 0;
  switch (mode & 0xF0) {
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    case fmShareDenyRead: share = FILE_SHARE_WRITE; break;
    case fmShareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;  // compatibility and exclusive: no sharing
  }
  HANDLE h = CreateFileA(fileName.c_str(), access, share, nullptr,
                         create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    int error = GetLastOSError();
    if (create) throw EFCreateError(FileErrorText("create", fileName, error));
    throw EFOpenError(FileErrorText("open", fileName, error));
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() { CloseHandle(AsHandle(handle_)); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
  char* out = static_cast<char*>(buffer);
  return Transfer(count, [&](int64_t at, int64_t n) -> int64_t {
    DWORD got = 0;
    return ReadFile(AsHandle(handle_), out + at, static_cast<DWORD>(n), &got, nullptr) ? got : -1;
  });
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  const char* in = static_cast<const char*>(buffer);
  return Transfer(count, [&](int64_t at, int64_t n) -> int64_t {
    DWORD put = 0;
    return WriteFile(AsHandle(handle_), in + at, static_cast<DWORD>(n), &put, nullptr) ? put : -1;
  });
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(AsHandle(handle_), distance, &result, methods[origin])) return -1;
  return result.QuadPart;
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0 || Seek(newSize, soFromBeginning) != newSize ||
      !SetEndOfFile(AsHandle(handle_)))
    throw EWriteError(
        FileErrorText("resize", fileName_, newSize < 0 ? ERROR_NEGATIVE_SEEK : GetLastOSError()));
}

void TFileStream::Flush() {
  if (!FlushFileBuffers(AsHandle(handle_)))
    throw EWriteError(FileErrorText("flush", fileName_, GetLastOSError()));
}

#else

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  int flags = O_RDWR | O_CLOEXEC;
  if (create) flags |= O_CREAT | O_TRUNC;
  else if ((mode & 3) == fmOpenRead) flags = O_RDONLY | O_CLOEXEC;
  else if ((mode & 3) == fmOpenWrite) flags = O_WRONLY | O_CLOEXEC;
  int fd = open(fileName.c_str(), flags, 0666);
  struct stat info;
  if (fd >= 0 && fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    // Windows cannot open a folder as a file; neither may we.
    close(fd);
    fd = -1;
    errno = EISDIR;
  }
  if (fd < 0) {
    int error = GetLastOSError();
    if (create) throw EFCreateError(FileErrorText("create", fileName, error));
    throw EFOpenError(FileErrorText("open", fileName, error));
  }
  handle_ = fd;
}

TFileStream::~TFileStream() { close(static_cast<int>(handle_)); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
  char* out = static_cast<char*>(buffer);
  return Transfer(count, [&](int64_t at, int64_t n) -> int64_t {
    ssize_t got;
    do got = read(static_cast<int>(handle_), out + at, static_cast<size_t>(n));
    while (got < 0 && errno == EINTR);
    return got;
  });
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  const char* in = static_cast<const char*>(buffer);
  return Transfer(count, [&](int64_t at, int64_t n) -> int64_t {
    ssize_t put;
    do put = write(static_cast<int>(handle_), in + at, static_cast<size_t>(n));
    while (put < 0 && errno == EINTR);
    return put;
  });
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int whences[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  off_t result = lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whences[origin]);
  return result < 0 ? -1 : static_cast<int64_t>(result);
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0 || ftruncate(static_cast<int>(handle_), static_cast<off_t>(newSize)) != 0 ||
      Seek(newSize, soFromBeginning) != newSize)
    throw EWriteError(FileErrorText("resize", fileName_, newSize < 0 ? EINVAL : GetLastOSError()));
}

void TFileStream::Flush() {
  if (fsync(static_cast<int>(handle_)) != 0)
    throw EWriteError(FileErrorText("flush", fileName_, GetLastOSError()));
}

#endif
