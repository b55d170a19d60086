#include "kit/str_holder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

// One stored string: tag, four length bytes (little-endian), the bytes.
std::string Item(const std::string& text, uint32_t claimed) {
  std::string out(1, '\x06');
  for (int i = 0; i < 4; ++i) out += static_cast<char>((claimed >> (8 * i)) & 0xFF);
  return out + text;
}
std::string Item(const std::string& text) { return Item(text, static_cast<uint32_t>(text.size())); }

void ReadFrom(TStrHolder& holder, const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  holder.ReadStrData(stream);
}

void CopyStored(const TStrHolder& from, TStrHolder& to) {
  TMemoryStream stream;
  from.WriteStrData(stream);
  stream.SetPosition(0);
  to.ReadStrData(stream);
}

}  // namespace

TEST(StrHolder, XorWithKeyCyclesTheKeyAndIsItsOwnInverse) {
  EXPECT_EQ(XorWithKey("", "plain"), "plain");
  EXPECT_EQ(XorWithKey("key", ""), "");
  EXPECT_EQ(XorWithKey("\x01\x02", std::string(5, '\x10')), "\x11\x12\x11\x12\x11");
  EXPECT_EQ(XorWithKey("\x01\x02\x03\x04", std::string(2, '\x10')), "\x11\x12");
  EXPECT_EQ(XorWithKey("ab", "ab"), std::string(2, '\0'));
  const std::string text = "C:\\Program Files\\\xE4\xF6\xFC.exe";
  EXPECT_EQ(XorWithKey("s3cr\xFF", XorWithKey("s3cr\xFF", text)), text);
}

TEST(StrHolder, StoredDataRoundTripsKeyAndLines) {
  TStrHolder source(nullptr), target(nullptr);
  source.SetKeyString("k\xFF");
  source.Strings()->Add("first");
  source.Strings()->Add(std::string("with\0nul", 8));
  target.Strings()->Add("old");
  CopyStored(source, target);
  EXPECT_EQ(target.KeyString(), "k\xFF");
  EXPECT_EQ(target.Strings()->Text(), source.Strings()->Text());

  // Only the key: the key is taken and no lines remain.
  TStrHolder keyOnly(nullptr);
  keyOnly.SetKeyString("secret");
  EXPECT_TRUE(keyOnly.HasStrData());
  EXPECT_FALSE(TStrHolder(nullptr).HasStrData());
  CopyStored(keyOnly, target);
  EXPECT_EQ(target.KeyString(), "secret");
  EXPECT_EQ(target.Strings()->Count(), 0);

  // A sorted holder sorts what it reads and applies its duplicate rule.
  TStrHolder fruit(nullptr), ignoring(nullptr), accepting(nullptr);
  for (const char* line : {"pear", "apple", "Pear", "fig"}) fruit.Strings()->Add(line);
  ignoring.SetSorted(true);
  accepting.SetSorted(true);
  accepting.SetDuplicates(dupAccept);
  CopyStored(fruit, ignoring);
  CopyStored(fruit, accepting);
  EXPECT_EQ(ignoring.Strings()->Text(), "apple\r\nfig\r\npear\r\n");
  EXPECT_EQ(accepting.Strings()->Count(), 4);
}

TEST(StrHolder, DamagedStoredDataRaisesAndChangesNothing) {
  TStrHolder holder(nullptr);
  holder.SetKeyString("keep");
  holder.Strings()->Add("kept");
  std::string tooMany = "\x01" + Item("");
  for (int i = 0; i <= TStrHolder::MaxStoredLines; ++i) tooMany += Item("x");
  const std::string cases[] = {
      "",                                                          // nothing at all
      "\x02" + Item("") + std::string(1, '\0'),                    // no list
      "\x01" + Item("") + Item("a"),                               // no list end
      "\x01" + Item("") + Item("abc", 4) + std::string(1, '\0'),   // claims more than is there
      "\x01" + Item("") + Item("a", 0xFFFFFFFFu),                  // claims 4 GiB
      "\x01" + Item("") + "\x07" + std::string(1, '\0'),           // not a string
      "\x01" + Item("").substr(0, 3),                              // cut inside a length
      tooMany + std::string(1, '\0'),                              // over the line cap
  };
  for (const std::string& bytes : cases) {
    EXPECT_THROW(ReadFrom(holder, bytes), EReadError) << bytes.size();
    EXPECT_EQ(holder.KeyString(), "keep");
    EXPECT_EQ(holder.Strings()->Text(), "kept\r\n");
  }

  // Lines a sorted holder refuses as duplicates: the read raises before the key or any line
  // is replaced.
  TStrHolder source(nullptr);
  source.SetKeyString("new");
  for (const char* line : {"b", "a", "B"}) source.Strings()->Add(line);
  holder.SetSorted(true);
  holder.SetDuplicates(dupError);
  EXPECT_THROW(CopyStored(source, holder), EStringListError);
  EXPECT_EQ(holder.KeyString(), "keep");
  EXPECT_EQ(holder.Strings()->Text(), "kept\r\n");
  // Without a duplicate the same holder reads everything.
  source.Strings()->Delete(2);
  CopyStored(source, holder);
  EXPECT_EQ(holder.KeyString(), "new");
  EXPECT_EQ(holder.Strings()->Text(), "a\r\nb\r\n");
}

TEST(StrHolder, EventsFireForChangesButNotWhileReadingOrDestroying) {
  int changing = 0, changed = 0;
  TObject* sender = nullptr;
  auto* holder = new TStrHolder(nullptr);
  holder->OnChanging = [&](TObject*) { ++changing; };
  holder->OnChange = [&](TObject* s) {
    ++changed;
    sender = s;
  };
  holder->Strings()->Add("a");
  EXPECT_EQ(changing + changed, 2);
  EXPECT_EQ(sender, holder);

  TStrHolder source(nullptr);
  source.Strings()->Add("b");
  CopyStored(source, *holder);
  EXPECT_EQ(holder->Strings()->Text(), "b\r\n");
  delete holder;
  EXPECT_EQ(changing + changed, 2);
}

TEST(StrHolder, AssignCopiesLinesButNotTheKey) {
  TStrHolder a(nullptr), b(nullptr);
  a.SetKeyString("key");
  a.Strings()->Add("one");
  b.Assign(&a);
  EXPECT_EQ(b.Strings()->Text(), "one\r\n");
  EXPECT_EQ(b.KeyString(), "");
  TStringList list;
  list.Assign(&a);
  EXPECT_EQ(list.Text(), "one\r\n");
  b.Assign(&b);  // to itself: nothing lost
  EXPECT_EQ(b.Strings()->Text(), "one\r\n");
  TPersistent other;
  EXPECT_THROW(b.Assign(&other), EConvertError);
}
