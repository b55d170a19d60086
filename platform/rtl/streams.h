#pragma once
// Byte streams: the abstract TStream, a growable in-memory stream and a file stream.
// Sizes and positions are 64-bit.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/persistent.h"

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
public:
  std::string ClassName() const override { return "TStream"; }

  // Read and Write move up to count bytes and return how many they moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t newSize) = 0;

  // Exactly count bytes or EReadError("Stream read error") / EWriteError("Stream write error").
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's position; a count of 0 or less copies all of source
  // from its start.
  // Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);

  // Everything from the position to the end. Memory grows with the bytes really read, so a
  // stream that claims more than it holds cannot make this allocate for the claim. Streams
  // that know their true size read it in one piece.
  virtual std::string ReadRest();
};

class TMemoryStream : public TStream {
public:
  std::string ClassName() const override { return "TMemoryStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t newSize) override;
  std::string ReadRest() override;

  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }
  void Clear();
  // Replaces the content by the whole of stream (from its start) and rewinds.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  // Writes the whole content, regardless of the position.
  void SaveToStream(TStream& stream);
  // Replaces the file atomically.
  void SaveToFile(const std::string& fileName);

private:
  std::vector<char> data_;
  int64_t position_ = 0;
};

// Open modes: one access mode, optionally or-ed with one share mode; fmCreate creates or
// empties the file and opens it for reading and writing.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;
constexpr unsigned fmCreate = 0xFF00;

class TFileStream : public TStream {
public:
  // Raises EFCreateError / EFOpenError naming the file when it cannot be created or opened.
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::string ClassName() const override { return "TFileStream"; }
  const std::string& FileName() const { return fileName_; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Sets the end of the file; the position moves to the new end.
  void SetSize(int64_t newSize) override;
  std::string ReadRest() override;
  // Pushes written bytes through to the disk; raises EWriteError when that fails.
  void Flush();

private:
  std::string fileName_;
  intptr_t handle_;
};
