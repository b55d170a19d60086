#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "tests/rtl/file_fixtures.h"

namespace {

using V = std::vector<std::string>;

V Lines(TStrings& list) {
  V lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

V SectionKeys(TMemIniFile& ini, const std::string& section) {
  TStringList keys;
  ini.ReadSection(section, &keys);
  return Lines(keys);
}

V SectionNames(TMemIniFile& ini) {
  TStringList names;
  ini.ReadSections(&names);
  return Lines(names);
}

// Content as lines, the way UpdateFile would write it.
V Content(TMemIniFile& ini) {
  TStringList lines;
  ini.GetStrings(&lines);
  return Lines(lines);
}

// A store that implements only the required operations (on top of a TMemIniFile), so the
// base class's own versions of the others are the ones used.
class MinimalStore : public TCustomIniFile {
public:
  MinimalStore() : TCustomIniFile(""), ini_("") {}
  std::string ReadString(const std::string& s, const std::string& k,
                         const std::string& d) override {
    return ini_.ReadString(s, k, d);
  }
  void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    ini_.WriteString(s, k, v);
  }
  void ReadSection(const std::string& s, TStrings* strings) override {
    ini_.ReadSection(s, strings);
  }
  void ReadSections(TStrings* strings) override { ini_.ReadSections(strings); }
  void EraseSection(const std::string& s) override { ini_.EraseSection(s); }
  void DeleteKey(const std::string& s, const std::string& k) override { ini_.DeleteKey(s, k); }
  void UpdateFile() override {}

private:
  TMemIniFile ini_;
};

}  // namespace

TEST(MemIniFile, RoundTripKeepsOrderAndTabInSectionNames) {
  TempFolder folder;
  const std::string name = folder.File("hl20work.txt");
  {
    TMemIniFile ini(name);
    ini.WriteString("bob\t2001_3_5", "total", "00:00:00");
    ini.WriteString("bob\t2001_3_5", "C:\\Tools\\edit.exe", "00:10:00");
    ini.WriteString("bob\t2001_3_5", "unknown_task", "00:01:00");
    ini.WriteString("bob\t2001_3_5", "total", "00:11:00");  // keeps its first place
    ini.WriteString("ann\t2001_3_5", "total", "01:00:00");
    ini.WriteString("bob\t2001_3_5", "C:\\new.exe", "00:00:05");  // appended to its section
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadBytes(name),
            "[bob\t2001_3_5]\r\ntotal=00:11:00\r\nC:\\Tools\\edit.exe=00:10:00\r\n"
            "unknown_task=00:01:00\r\nC:\\new.exe=00:00:05\r\n\r\n"
            "[ann\t2001_3_5]\r\ntotal=01:00:00\r\n");

  TMemIniFile reread(name);
  EXPECT_EQ(SectionNames(reread), (V{"bob\t2001_3_5", "ann\t2001_3_5"}));
  EXPECT_EQ(SectionKeys(reread, "bob\t2001_3_5"),
            (V{"total", "C:\\Tools\\edit.exe", "unknown_task", "C:\\new.exe"}));
  EXPECT_EQ(reread.ReadString("bob\t2001_3_5", "unknown_task", "?"), "00:01:00");
  TStringList values;
  reread.ReadSectionValues("ann\t2001_3_5", &values);
  EXPECT_EQ(Lines(values), V{"total=01:00:00"});
  EXPECT_EQ(reread.ReadString("bob 2001_3_5", "total", "none"), "none");  // a blank is no TAB
}

TEST(MemIniFile, NamesMatchWithoutRegardToCase) {
  TMemIniFile ini("");
  ini.WriteString("Bob\t2001_3_5", "C:\\Prog\\App.EXE", "1");
  EXPECT_EQ(ini.ReadString("BOB\t2001_3_5", "c:\\prog\\app.exe", ""), "1");
  EXPECT_TRUE(ini.ValueExists("bob\t2001_3_5", "C:\\PROG\\APP.EXE"));
  ini.WriteString("bob\t2001_3_5", "c:\\prog\\app.exe", "2");  // same key, updated in place
  EXPECT_EQ(SectionKeys(ini, "Bob\t2001_3_5"), V{"C:\\Prog\\App.EXE"});
  EXPECT_EQ(SectionNames(ini), V{"Bob\t2001_3_5"});
  EXPECT_EQ(ini.ReadString("Bob\t2001_3_5", "C:\\Prog\\App.EXE", ""), "2");
  EXPECT_EQ(ini.ReadString("Bob\t2001_3_5", "  C:\\Prog\\App.EXE ", ""), "2");  // key trimmed
#ifndef _WIN32
  ini.WriteString("J\xE9r\xF4me", "k", "v");
  EXPECT_EQ(ini.ReadString("J\xC9R\xD4ME", "K", ""), "v");
#endif
}

TEST(MemIniFile, ReadsAnyLineEndAndKeepsWhatItCannotRead) {
  TempFolder folder;
  const std::string name = folder.File("odd.ini");
  static const char kOdd[] =
             "stray line\r\nx=before any section\n"
             "[one]\rkey = spaced value \r\n; a comment=not a value\n"
             "no equals sign\r\n\r\n\n[unclosed\nkey=second copy\r"
             "  [two]  \n=empty key\nK2=v2\r\n[ONE]\nlate=merged\n"
             "nul=a\0b\n[]\nlast=1";
  WriteBytes(name, std::string(kOdd, sizeof kOdd - 1));
  TMemIniFile ini(name);
  EXPECT_EQ(SectionNames(ini), (V{"one", "two", ""}));
  EXPECT_EQ(ini.ReadString("one", "key", ""), " spaced value ");  // value kept as it is
  EXPECT_EQ(SectionKeys(ini, "one"), (V{"key", "late", "nul"}));
  EXPECT_EQ(ini.ReadString("one", "nul", ""), std::string("a\0b", 3));
  EXPECT_EQ(ini.ReadString("two", "", "?"), "empty key");
  EXPECT_EQ(ini.ReadString("", "last", ""), "1");
  EXPECT_FALSE(ini.ValueExists("one", "; a comment"));

  // Rewriting keeps the unreadable lines where they stood.
  EXPECT_EQ(Content(ini), (V{"stray line", "x=before any section", "", "[one]",
                             "key= spaced value ", "; a comment=not a value", "no equals sign",
                             "[unclosed", "key=second copy", "late=merged",
                             std::string("nul=a\0b", 7), "", "[two]", "=empty key", "K2=v2",
                             "", "[]", "last=1"}));
  // The repeated key is kept but not read: the first one counts.
  ini.DeleteKey("one", "key");
  EXPECT_FALSE(ini.ValueExists("one", "key"));
  EXPECT_EQ(ini.ReadString("one", "late", ""), "merged");
}

TEST(MemIniFile, LargeFilesAndHugeLines) {
  TempFolder folder;
  const std::string name = folder.File("big.ini");
  std::string text;
  for (int day = 0; day < 20000; ++day) {
    text += "[user\t2001_" + std::to_string(day) + "]\r\n";
    for (int k = 0; k < 5; ++k)
      text += "C:\\prog" + std::to_string(k) + ".exe=00:0" + std::to_string(k) + ":00\r\n";
  }
  const std::string huge(4 * 1024 * 1024, 'h');
  text += "[huge]\r\nvalue=" + huge + "\r\n" + std::string(1024 * 1024, 'j') + "\r\n";
  WriteBytes(name, text);

  TMemIniFile ini(name);
  EXPECT_EQ(ini.ReadString("USER\t2001_19999", "c:\\PROG4.exe", ""), "00:04:00");
  EXPECT_EQ(ini.ReadString("user\t2001_0", "C:\\prog0.exe", ""), "00:00:00");
  EXPECT_EQ(ini.ReadString("huge", "value", "").size(), huge.size());
  EXPECT_EQ(SectionNames(ini).size(), 20001u);
  ini.EraseSection("user\t2001_0");  // later sections stay reachable after the shift
  EXPECT_EQ(ini.ReadString("user\t2001_1", "C:\\prog1.exe", ""), "00:01:00");
  EXPECT_EQ(ini.ReadString("user\t2001_19999", "C:\\prog3.exe", ""), "00:03:00");
  ini.UpdateFile();
  TMemIniFile reread(name);
  EXPECT_EQ(SectionNames(reread).size(), 20000u);
  EXPECT_EQ(reread.ReadString("huge", "value", "").size(), huge.size());
}

TEST(MemIniFile, SectionsWithManyKeys) {
  // Past a handful of keys a section is searched through its table: lookups, repeated keys
  // and deletions must behave exactly as in a small section.
  std::string text = "[many]\n";
  for (int k = 0; k < 300; ++k) text += "Key" + std::to_string(k) + "=" + std::to_string(k) + "\n";
  text += "KEY7=repeated\n";
  TStringList lines;
  lines.SetText(text);
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  EXPECT_EQ(SectionKeys(ini, "many").size(), 300u);
  EXPECT_EQ(ini.ReadString("MANY", "key7", ""), "7");
  EXPECT_EQ(ini.ReadString("many", "kEY299", ""), "299");
  for (int k = 0; k < 300; k += 2) ini.DeleteKey("many", "key" + std::to_string(k));
  EXPECT_EQ(SectionKeys(ini, "many").size(), 150u);
  EXPECT_EQ(ini.ReadString("many", "Key151", ""), "151");
  EXPECT_EQ(ini.ReadString("many", "Key150", "gone"), "gone");
  ini.WriteString("many", "Key150", "back");
  EXPECT_EQ(SectionKeys(ini, "many").back(), "Key150");
  for (int k = 1; k < 300; k += 2)
    EXPECT_EQ(ini.ReadString("many", "KEY" + std::to_string(k), ""), std::to_string(k)) << k;
}

TEST(MemIniFile, TypedValues) {
  TMemIniFile ini("");
  ini.WriteInteger("s", "int", -42);
  ini.WriteBool("s", "yes", true);
  ini.WriteBool("s", "no", false);
  ini.WriteFloat("s", "float", 2.5, ',');
  ini.WriteString("s", "padded", " 17 ");
  ini.WriteString("s", "junk", "17x");
  EXPECT_EQ(ini.ReadString("s", "int", ""), "-42");
  EXPECT_EQ(ini.ReadString("s", "yes", ""), "1");
  EXPECT_EQ(ini.ReadString("s", "no", ""), "0");
  EXPECT_EQ(ini.ReadString("s", "float", ""), "2,5");
  EXPECT_EQ(ini.ReadInteger("s", "int", 0), -42);
  EXPECT_EQ(ini.ReadInteger("s", "padded", 0), 17);
  EXPECT_EQ(ini.ReadInteger("s", "junk", 5), 5);
  EXPECT_EQ(ini.ReadInteger("s", "missing", 6), 6);
  EXPECT_TRUE(ini.ReadBool("s", "yes", false));
  EXPECT_FALSE(ini.ReadBool("s", "no", true));
  EXPECT_TRUE(ini.ReadBool("s", "int", false));
  EXPECT_TRUE(ini.ReadBool("s", "junk", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "float", 0, ','), 2.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "float", 9), 9);  // wrong separator: default
  EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "padded", 0), 17);
}

TEST(MemIniFile, EraseDeleteClearAndWholeContent) {
  TMemIniFile ini("");
  ini.WriteString("a", "k1", "1");
  ini.WriteString("a", "k2", "2");
  ini.WriteString("a", "k3", "3");
  ini.WriteString("b", "k", "b");
  ini.DeleteKey("a", "K1");
  EXPECT_EQ(SectionKeys(ini, "a"), (V{"k2", "k3"}));
  EXPECT_EQ(ini.ReadString("a", "k3", ""), "3");  // found after the shift
  ini.WriteString("a", "k1", "again");            // comes back at the end
  EXPECT_EQ(SectionKeys(ini, "a"), (V{"k2", "k3", "k1"}));
  ini.DeleteKey("a", "absent");
  ini.DeleteKey("absent", "k");

  ini.EraseSection("A");
  EXPECT_FALSE(ini.SectionExists("a"));
  EXPECT_EQ(ini.ReadString("b", "k", ""), "b");
  ini.WriteString("empty", "x", "1");
  ini.DeleteKey("empty", "x");
  EXPECT_TRUE(ini.SectionExists("empty"));  // present though without keys
  EXPECT_EQ(Content(ini), (V{"[b]", "k=b", "", "[empty]"}));

  TStringList lines;
  lines.SetText("[new]\nn=1\n[other]\no=2");
  ini.SetStrings(&lines);
  EXPECT_EQ(SectionNames(ini), (V{"new", "other"}));
  EXPECT_EQ(ini.ReadString("other", "o", ""), "2");
  ini.Clear();
  EXPECT_TRUE(SectionNames(ini).empty());
  EXPECT_TRUE(Content(ini).empty());
}

TEST(MemIniFile, RefusesWhatCouldNotBeReadBack) {
  TMemIniFile ini("");
  EXPECT_THROW(ini.WriteString("s", "k", "two\r\nlines"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", "k", "a\rb"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s\n[x]", "k", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", "a=b", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", ";k", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", "[k", "v]"), EIniFileException);
  EXPECT_TRUE(SectionNames(ini).empty());
  // What is accepted comes back unchanged, edge blanks of values included.
  ini.WriteString(" s ]", "k", "  v=w  ");
  TStringList lines;
  ini.GetStrings(&lines);
  TMemIniFile copy("");
  copy.SetStrings(&lines);
  EXPECT_EQ(copy.ReadString(" s ]", "k", ""), "  v=w  ");
}

TEST(MemIniFile, FilesMissingRenamedOrFailingToSave) {
  TempFolder folder;
  const std::string name = folder.File("work.ini"), other = folder.File("other.ini");
  TMemIniFile ini(name);  // missing: empty
  EXPECT_TRUE(SectionNames(ini).empty());
  ini.WriteString("s", "k", "v");
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(name), "[s]\r\nk=v\r\n");

  ini.WriteString("s", "k", "changed");
  {
    FailingReplace failing;
    EXPECT_THROW(ini.UpdateFile(), EWriteError);
  }
  EXPECT_EQ(ReadBytes(name), "[s]\r\nk=v\r\n");
  EXPECT_EQ(folder.Names(), V{"work.ini"});

  ini.Rename(other, false);  // keeps the content, saves elsewhere
  EXPECT_EQ(ini.FileName(), other);
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(other), "[s]\r\nk=changed\r\n");
  ini.Rename(name, true);  // reloads
  EXPECT_EQ(ini.ReadString("s", "k", ""), "v");
}

TEST(CustomIniFile, BaseVersionsWorkThroughTheRequiredOperations) {
  MinimalStore store;
  store.WriteString("s", "a", "1");
  store.WriteString("s", "B", "2");
  EXPECT_TRUE(store.SectionExists("s"));
  EXPECT_FALSE(store.SectionExists("t"));
  EXPECT_TRUE(store.ValueExists("s", "b"));
  EXPECT_FALSE(store.ValueExists("s", "c"));
  TStringList values;
  values.Add("stale");
  store.ReadSectionValues("s", &values);
  EXPECT_EQ(Lines(values), (V{"a=1", "B=2"}));
  EXPECT_EQ(store.ReadInteger("s", "B", 0), 2);
}
