#include "app/work_file.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"
#include "tests/rtl/file_fixtures.h"

namespace {

// A file full of what a damaged or hand-edited work file may hold: text before the first
// section, CR-only and LF-only line ends, blanks, comments, junk, a repeated key, a section
// that appears twice in another case, a line of megabytes and no line end at the very end.
const std::string Huge(2 << 20, 'x');
const std::string Messy =
    "stray line\r\n" + Huge + "\r\n"
    "[ann\t2024_3_4]\r\n"
    "total=01:00:00\r\n"
    "  C:\\a.exe  = 00:30:00 \r"
    "; comment = not a key\n"
    "junk without equals\r\n"
    "\r\n"
    "C:\\A.EXE=09:09:09\r\n"
    "\r\n"
    "[bob\t2024_3_4]\n"
    "total=00:10:00\n"
    "\n"
    "  [ANN\t2024_3_4]  \r\n"
    "C:\\b.exe=00:01:00\r\n"
    "[]\r\n"
    "empty=name";

std::string Values(TCustomIniFile* ini, const std::string& section) {
  TStringList lines;
  ini->ReadSectionValues(section, &lines);
  return lines.Text();
}

}  // namespace

TEST(WorkFile, ReadsSectionsAsTheIniReaderDoes) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  WriteBytes(file, Messy);
  WorkFile work(file);
  TMemIniFile ini(file);

  TStringList names;
  ini.ReadSections(&names);
  std::string workNames;
  for (const std::string& name : work.SectionNames()) workNames += name + "\r\n";
  EXPECT_EQ(workNames, names.Text());

  for (const char* section : {"ann\t2024_3_4", "Ann\t2024_3_4", "bob\t2024_3_4", "", "none"}) {
    TStringList lines;
    lines.Add("replaced");
    work.ReadSectionValues(section, lines);
    EXPECT_EQ(lines.Text(), Values(&ini, section)) << section;
    for (const char* key : {"total", "C:\\a.exe", " c:\\A.exe ", "C:\\b.exe", "empty", "x"})
      EXPECT_EQ(work.ReadString(section, key, "?"), ini.ReadString(section, key, "?"))
          << section << " " << key;
  }
  EXPECT_EQ(work.ReadString("ann\t2024_3_4", "c:\\a.exe", "?"), " 00:30:00 ");

  WorkFile missing(folder.File("none.txt"));
  EXPECT_TRUE(missing.SectionNames().empty());
  EXPECT_EQ(missing.ReadString("a", "b", "default"), "default");
}

TEST(WorkFile, WritingReplacesOnlyTheChangedSection) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  WriteBytes(file, Messy);
  WorkFile work(file);
  work.WriteString("ANN\t2024_3_4", "total", "02:00:00");
  work.WriteString("ann\t2024_3_4", "C:\\new.exe", "00:00:05");
  EXPECT_EQ(work.ReadString("ann\t2024_3_4", "C:\\NEW.exe", "?"), "00:00:05");
  work.UpdateFile();

  // Every byte outside the section is as it was; the section stands once, where it first
  // stood, with its kept lines in place and the new key at its end.
  EXPECT_EQ(ReadBytes(file),
            "stray line\r\n" + Huge + "\r\n"
            "[ann\t2024_3_4]\r\n"
            "total=02:00:00\r\n"
            "C:\\a.exe= 00:30:00 \r\n"
            "; comment = not a key\r\n"
            "junk without equals\r\n"
            "C:\\A.EXE=09:09:09\r\n"
            "C:\\b.exe=00:01:00\r\n"
            "C:\\new.exe=00:00:05\r\n"
            "\r\n"
            "[bob\t2024_3_4]\n"
            "total=00:10:00\n"
            "\n"
            "[]\r\n"
            "empty=name");
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadString("ann\t2024_3_4", "C:\\new.exe", "?"), "00:00:05");
  EXPECT_EQ(ini.ReadString("", "empty", "?"), "name");
}

TEST(WorkFile, NewSectionsGoToTheEnd) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  {
    WorkFile work(file);  // no file yet
    work.WriteString("ann\t2024_3_5", "total", "00:00:01");
    EXPECT_EQ(work.SectionNames().back(), "ann\t2024_3_5");
    work.UpdateFile();
  }
  EXPECT_EQ(ReadBytes(file), "[ann\t2024_3_5]\r\ntotal=00:00:01\r\n");

  WriteBytes(file, "[a]\rk=v");  // no line end at the end
  WorkFile work(file);
  work.WriteString("b", "k", "w");
  work.UpdateFile();
  EXPECT_EQ(ReadBytes(file), "[a]\rk=v\r\n\r\n[b]\r\nk=w\r\n");

  // A last byte above 127 (a program name in the ANSI code page) still ends its line first,
  // or the new section's header would be glued to it and the section lost.
  WriteBytes(file, "[a]\r\nk=\xe9");
  WorkFile accented(file);
  accented.WriteString("b", "k", "w");
  accented.UpdateFile();
  EXPECT_EQ(ReadBytes(file), "[a]\r\nk=\xe9\r\n\r\n[b]\r\nk=w\r\n");
  EXPECT_EQ(WorkFile(file).ReadString("b", "k", ""), "w");
}

namespace {

// A file of random lines from what work files hold, damaged ones included, with random
// line ends.
std::string RandomWorkFile(unsigned seed) {
  static const char* const Lines[] = {
      "[ann\t2024_3_4]", "  [ANN\t2024_3_4]  ", "[bob\t2024_3_4]", "[]", "[half", "\t[bob\t2024_3_4]",
      "total=01:00:00", " C:\\a.exe = 00:30:00 ", "c:\\A.EXE=09:09:09", "a=[b]", "x[y]=z", "[k]=[v]",
      "; c=d", "junk", "", "  ", "\t", "=empty key", "C:\\b.exe=00:01:00"};
  static const char* const Ends[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
  unsigned state = seed;
  auto next = [&state](unsigned n) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % n;
  };
  std::string text;
  const unsigned count = 1 + next(40);
  for (unsigned i = 0; i < count; ++i) {
    text += Lines[next(sizeof Lines / sizeof *Lines)];
    if (i + 1 < count || next(2) == 0) text += Ends[next(sizeof Ends / sizeof *Ends)];
  }
  return text;
}

void ExpectSameSections(WorkFile& work, TCustomIniFile& ini, const std::string& context) {
  TStringList names;
  ini.ReadSections(&names);
  std::string workNames;
  for (const std::string& name : work.SectionNames()) workNames += name + "\r\n";
  ASSERT_EQ(workNames, names.Text()) << context;
  for (int i = 0; i < names.Count(); ++i) {
    TStringList lines;
    work.ReadSectionValues(names.Strings(i), lines);
    EXPECT_EQ(lines.Text(), Values(&ini, names.Strings(i))) << context << " [" << names.Strings(i) << "]";
  }
}

}  // namespace

// The section index finds headers without reading each line; files of every shape must
// still read, and be written back, as the INI reader sees them.
TEST(WorkFile, RandomFilesReadAndWriteAsTheIniReaderSeesThem) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  for (unsigned seed = 1; seed <= 120; ++seed) {
    const std::string text = RandomWorkFile(seed);
    const std::string context = "seed " + std::to_string(seed);
    WriteBytes(file, text);
    TMemIniFile expected(file);
    {
      WorkFile work(file);
      ExpectSameSections(work, expected, context);
      // Change a section that may stand twice, or none, and add a new one.
      for (const char* section : {"ann\t2024_3_4", "bob\t2024_3_4"}) {
        work.WriteString(section, "C:\\a.exe", "00:00:07");
        expected.WriteString(section, "C:\\a.exe", "00:00:07");
      }
      work.UpdateFile();
    }
    TMemIniFile written(file);
    WorkFile work(file);
    ExpectSameSections(work, expected, context + " written");
    ExpectSameSections(work, written, context + " written, read again");
    if (HasFailure()) break;
  }
}

TEST(WorkFile, ValuesAreVisitedInFileOrderRepeatedKeysIncluded) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  WriteBytes(file, Messy);
  WorkFile work(file);
  auto visited = [&work](const std::string& section) {
    std::string text;
    work.VisitValues(section, [&text](std::string_view key, std::string_view value) {
      text.append(key).append("|").append(value).append(";");
    });
    return text;
  };
  EXPECT_EQ(visited("Ann\t2024_3_4"),
            "total|01:00:00;C:\\a.exe| 00:30:00 ;C:\\A.EXE|09:09:09;C:\\b.exe|00:01:00;");
  EXPECT_EQ(visited("none"), "");
  // A changed section is visited as it will be written.
  work.WriteString("bob\t2024_3_4", "C:\\new.exe", "00:00:05");
  EXPECT_EQ(visited("BOB\t2024_3_4"), "total|00:10:00;C:\\new.exe|00:00:05;");
}

// Program paths may hold "=": a key is the text before the last "=" of its line, so such
// keys read back whole; a value holding "=" could not and is refused.
TEST(WorkFile, KeysHoldingEqualsReadBackWhole) {
  TempFolder folder;
  const std::string file = folder.File("hl20work.txt");
  WriteBytes(file, "[ann\t2024_3_5]\r\nZ:\\eq=dir\\pt.exe=00:00:02\r\n");
  WorkFile work(file);
  EXPECT_EQ(work.ReadString("ann\t2024_3_5", "z:\\EQ=dir\\pt.exe", "?"), "00:00:02");
  work.WriteString("ann\t2024_3_5", "Z:\\eq=dir\\pt.exe", "00:00:05");
  work.WriteString("ann\t2024_3_5", "Z:\\[x]=\\br.exe", "00:00:01");
  EXPECT_THROW(work.WriteString("ann\t2024_3_5", "C:\\a.exe", "1=2"), EIniFileException);
  work.UpdateFile();
  EXPECT_EQ(ReadBytes(file), "[ann\t2024_3_5]\r\nZ:\\eq=dir\\pt.exe=00:00:05\r\nZ:\\[x]=\\br.exe=00:00:01\r\n");
  TStringList lines;
  WorkFile(file).ReadSectionValues("ann\t2024_3_5", lines);
  EXPECT_EQ(lines.Text(), "Z:\\eq=dir\\pt.exe=00:00:05\r\nZ:\\[x]=\\br.exe=00:00:01\r\n");
}
