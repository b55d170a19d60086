#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "tests/rtl/file_fixtures.h"

namespace {

std::string Content(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), stream.Size());
}

// A stream whose Size claims far more than it ever delivers, like a damaged header would.
class LyingStream : public TStream {
public:
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::min<int64_t>(count, 10 - position_);
    for (int64_t i = 0; i < n; ++i) static_cast<char*>(buffer)[i] = 'x';
    position_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    if (origin == soFromEnd) return int64_t(1) << 40;
    position_ = origin == soFromBeginning ? offset : position_ + offset;
    return position_;
  }
  void SetSize(int64_t) override {}

private:
  int64_t position_ = 0;
};

}  // namespace

TEST(MemoryStream, ShortReadsAndExactBuffers) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);
  EXPECT_EQ(stream.Position(), 5);
  EXPECT_EQ(stream.Size(), 5);
  stream.SetPosition(3);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);  // only what is there
  EXPECT_EQ(std::string(buffer, 2), "lo");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  stream.SetPosition(1);
  try {
    stream.ReadBuffer(buffer, 5);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  stream.SetPosition(-4);  // a position before the start reads and writes nothing
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  EXPECT_EQ(stream.Write("z", 1), 0);
  EXPECT_THROW(stream.WriteBuffer("z", 1), EWriteError);

  EXPECT_EQ(stream.Seek(2, soFromEnd), 7);  // writing past the end fills the gap with zeros
  stream.WriteBuffer("!", 1);
  EXPECT_EQ(Content(stream), std::string("hello\0\0!", 8));
  EXPECT_EQ(stream.Seek(-3, soFromCurrent), 5);
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(Content(stream), "he");
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, CopyLoadAndSave) {
  TempFolder folder;
  TMemoryStream source, target;
  source.WriteBuffer("0123456789", 10);
  EXPECT_EQ(target.CopyFrom(source, 0), 10);  // 0: all of it, from the start
  EXPECT_EQ(Content(target), "0123456789");
  source.SetPosition(8);
  EXPECT_THROW(target.CopyFrom(source, 5), EReadError);

  const std::string name = folder.File("bytes.bin");
  std::string bytes("\0\xFF\r\n\x80", 5);
  TMemoryStream out;
  out.WriteBuffer(bytes.data(), 5);
  out.SaveToFile(name);
  EXPECT_EQ(ReadBytes(name), bytes);
  TMemoryStream in;
  in.WriteBuffer("junk", 4);
  in.LoadFromFile(name);
  EXPECT_EQ(Content(in), bytes);
  EXPECT_EQ(in.Position(), 0);
  TMemoryStream copy;
  in.SaveToStream(copy);
  EXPECT_EQ(Content(copy), bytes);
}

TEST(StreamReadRest, GrowsWithTheBytesReallyThere) {
  LyingStream lying;
  EXPECT_EQ(lying.ReadRest(), std::string(10, 'x'));
  TMemoryStream stream;
  std::string big(3 * 1024 * 1024 + 17, 'q');
  stream.WriteBuffer(big.data(), static_cast<int64_t>(big.size()));
  stream.SetPosition(17);
  EXPECT_EQ(stream.ReadRest().size(), big.size() - 17);
}

TEST(FileStream, ModesAndErrorsNameTheFile) {
  TempFolder folder;
  const std::string name = folder.File("data.bin");
  try {
    TFileStream missing(name, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
  }
  const std::string nowhere = folder.File("no_such_folder") + "/x.bin";
  try {
    TFileStream bad(nowhere, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message().find(nowhere), std::string::npos) << e.Message();
  }
  EXPECT_THROW(TFileStream(folder.Path(), fmOpenRead), EFOpenError);

  WriteBytes(name, "previous content");
  {
    TFileStream created(name, fmCreate | fmShareDenyWrite);  // empties the file
    EXPECT_EQ(created.Size(), 0);
    created.WriteBuffer("abcdef", 6);
    created.Flush();
    EXPECT_EQ(created.Seek(-2, soFromEnd), 4);
    char two[2];
    created.ReadBuffer(two, 2);
    EXPECT_EQ(std::string(two, 2), "ef");
    created.SetSize(3);
    EXPECT_EQ(created.Size(), 3);
    EXPECT_EQ(created.FileName(), name);
  }
  EXPECT_EQ(ReadBytes(name), "abc");
  {
    TFileStream reader(name, fmOpenRead | fmShareDenyNone);
    EXPECT_THROW(reader.WriteBuffer("x", 1), EWriteError);  // read-only
    char buffer[10];
    EXPECT_EQ(reader.Read(buffer, 10), 3);
    EXPECT_THROW(reader.ReadBuffer(buffer, 1), EReadError);
  }
  {
    TFileStream writer(name, fmOpenReadWrite);
    writer.Seek(0, soFromEnd);
    writer.WriteBuffer("d", 1);
  }
  EXPECT_EQ(ReadBytes(name), "abcd");
}
