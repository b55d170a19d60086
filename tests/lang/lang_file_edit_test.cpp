#include "lang/lang_file_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/lang/lang_file_test_util.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/streams.h"

namespace {

std::string IdentOrder(const TLingroveLangFile& file) {
  std::string order;
  for (const TLingroveIdentRec& e : file.Idents()) order += std::to_string(e.Ident) + ":" + e.Text + " ";
  return order;
}

// Writes a file holding one entry; returns its bytes.
std::string SaveOneEntry(const std::string& path) {
  TLingroveLangFileEdit file(path);
  file.AddString(1, "old", 0);
  file.Save();
  TMemoryStream bytes;
  bytes.LoadFromFile(path);
  return std::string(static_cast<const char*>(bytes.Memory()), static_cast<size_t>(bytes.Size()));
}

std::string FailingReplace(const std::string&, const std::string&) { return "simulated failure"; }

}  // namespace

TEST_F(LangFileTest, AddStringKeepsTheTableInIdentOrder) {
  TLingroveLangFileEdit file(PathOf("new.lng"));
  EXPECT_EQ(0, file.MaxIdent());
  EXPECT_EQ(0, file.AddString(5, "five", 0));
  EXPECT_EQ(0, file.AddString(2, "two", 0));
  EXPECT_EQ(2, file.AddString(9, "nine", 0));
  EXPECT_EQ("2:two 5:five 9:nine ", IdentOrder(file));
  EXPECT_EQ(9, file.MaxIdent());
  // An ident already there: before it, or after it when it is the highest.
  EXPECT_EQ(1, file.AddString(5, "again", 0));
  EXPECT_EQ(4, file.AddString(9, "last", 0));
  EXPECT_EQ("2:two 5:again 5:five 9:nine 9:last ", IdentOrder(file));

  EXPECT_EQ(0, file.AddFont("Arial", 10, 1));
  EXPECT_EQ(1, file.AddFont("arial", 10, 1));
  EXPECT_EQ(0, file.AddFont("Arial", 10, 1));
  EXPECT_EQ(2, file.FontCount());
}

TEST_F(LangFileTest, SaveWritesTheCurrentLayoutByteForByte) {
  TLingroveLangFileEdit file(PathOf("out.lng"));
  file.SetFontCharset(204);
  file.SetTextDirection(2);
  EXPECT_EQ(0, file.AddFont("Arial", 10, 1));
  file.AddKeyedString(7, "formMain", "btStart.Caption", 1, "Start");
  file.AddKeyedString(3, "formMain", "Caption", 0, "Main");
  file.AddString(9, "Msg", 0);
  file.Save();
  EXPECT_FALSE(file.IsEmpty());

  Bytes x;
  x.Raw("LF3.10").U8(0).U8(0).U8(2).Zeros(10);
  x.U8(204).U32(1).P("Arial").U16(10).U8(1).Zeros(20);
  x.U16(0);
  x.U16(1).P("formMain").U16(2).P("btStart.Caption").U16(7).P("Caption").U16(3);
  x.U16(3);
  x.U8(0).U16(3).U32(0).U16(0);
  x.U8(0).U16(7).U32(5).U16(1);
  x.U8(0).U16(9).U32(11).U16(0);
  x.Raw(std::string("Main\0Start\0Msg\0", 15));
  EXPECT_EQ(x.b, ReadBytes("out.lng"));

  // Equal texts are written twice, not shared.
  TLingroveLangFileEdit twice(PathOf("twice.lng"));
  twice.AddString(1, "same", 0);
  twice.AddString(2, "same", 0);
  twice.Save();
  EXPECT_EQ(5u, twice.Idents()[1].Offset);
  const std::string bytes = ReadBytes("twice.lng");
  EXPECT_EQ(std::string("same\0same\0", 10), bytes.substr(bytes.size() - 10));
}

TEST_F(LangFileTest, SavedFileReadsBackTheSame) {
  FormatSettings().LongMonthNames[0] = "a month name far over twenty";
  {
    TLingroveLangFileEdit file(PathOf("round.lng"));
    file.SetFlag(lfNative, true);
    file.CaptureLocale();
    EXPECT_TRUE(file.HasLocale());
    EXPECT_EQ("a month name far ove", file.Locale().LongMonthNames[0]);
    file.AddFont("Tahoma", 8, 2);
    file.AddKeyedString(157, "formOptions", "Memo1.Lines", 1, "one\r\ntwo");
    file.AddKeyedString(158, "formOptions", "StatusBar1.Panels.Item0.Text", 0, "");
    file.AddString(25, "Time tracking", 0);
    file.Save();
  }
  FormatSettings() = DefaultFormatSettings();
  TLingroveLangFile back(PathOf("round.lng"));
  EXPECT_DOUBLE_EQ(3.1, back.Version());
  EXPECT_TRUE(back.HasFlag(lfNative));
  EXPECT_EQ("25:Time tracking 157:one\r\ntwo 158: ", IdentOrder(back));
  ASSERT_NE(nullptr, back.Find("formoptions", "memo1.lines"));
  EXPECT_EQ(157, back.Find("formoptions", "memo1.lines")->GetIdent());
  EXPECT_EQ(1, back.FindIdent(157)->GetFontIndex());
  EXPECT_EQ(158, back.Find("formOptions", "StatusBar1.Panels.Item0.Text")->GetIdent());
  ASSERT_EQ(1, back.FontCount());
  EXPECT_EQ(2, back.Fonts(0).Style);
  ASSERT_TRUE(back.HasLocale());
  back.ApplyLocale();
  EXPECT_EQ("a month name far ove", FormatSettings().LongMonthNames[0]);
  EXPECT_EQ(DefaultFormatSettings().ShortDateFormat, FormatSettings().ShortDateFormat);
}

TEST_F(LangFileTest, OldFileIsRewrittenInTheCurrentLayout) {
  Bytes f;
  f.Raw("LF1.50").Raw(SampleLocaleBlock()).U8(1).Zeros(10).U8(0).U32(0).Zeros(20).U16(0);
  f.U16(1).P("form").U16(1).P("bt.Caption").U16(4);
  f.U16(2).U16(4).U16(0).U16(0).U16(6).U16(3).U16(0).Raw(std::string("ab\0cd\0", 6));
  WriteBytes("old.lng", f.b);
  {
    TLingroveLangFileEdit file(PathOf("old.lng"));
    EXPECT_EQ("4:ab 6:cd ", IdentOrder(file));
    file.Save();
  }
  const std::string bytes = ReadBytes("old.lng");
  EXPECT_EQ(std::string("LF3.10\0\1", 8), bytes.substr(0, 8));
  TLingroveLangFile back(PathOf("old.lng"));
  EXPECT_DOUBLE_EQ(3.1, back.Version());
  EXPECT_EQ("4:ab 6:cd ", IdentOrder(back));
  EXPECT_EQ(4, back.Find("form", "bt.Caption")->GetIdent());
  EXPECT_EQ("vorm", back.Locale().TimeAMString);
  EXPECT_EQ(0, back.TextDirection());
}

TEST_F(LangFileTest, EntriesNotToTranslateKeepTheirTextOnlyInTheBaseFile) {
  for (bool native : {false, true}) {
    Bytes f;
    f.Raw("LF3.10").U8(native ? 1 : 0).U8(0).U8(0).Zeros(10).U8(0).U32(0).Zeros(20);
    f.U16(0).U16(0).U16(2);
    f.U8(1).U16(1).U32(0).U16(0);
    f.U8(0).U16(2).U32(5).U16(0);
    f.Raw(std::string("keep\0text\0", 10));
    WriteBytes("flag.lng", f.b);
    {
      TLingroveLangFileEdit file(PathOf("flag.lng"));
      file.Save();
      EXPECT_EQ(native ? 0u : 0xFFFFFFFFu, file.Idents()[0].Offset);
    }
    TLingroveLangFile back(PathOf("flag.lng"));
    EXPECT_EQ(native ? "keep" : "", back.FindIdent(1)->GetText()) << native;
    EXPECT_TRUE(back.FindIdent(1)->HasFlag(lsDoNotTranslate));
    EXPECT_EQ("text", back.FindIdent(2)->GetText());
  }
}

TEST_F(LangFileTest, ChangingAndDeletingEntries) {
  TLingroveLangFileEdit file(PathOf("edit.lng"));
  file.AddKeyedString(1, "form", "btA.Caption", 0, "A");
  file.AddKeyedString(2, "form", "btB.Caption", 0, "B");
  file.SetString(2, "Bee", 3);
  EXPECT_EQ("Bee", file.FindIdent(2)->GetText());
  EXPECT_EQ(3, file.FindIdent(2)->GetFontIndex());
  try {
    file.SetString(77, "x", 0);
    FAIL() << "unknown ident accepted";
  } catch (const Exception& e) {
    EXPECT_EQ("No such Ident number (77)", e.Message());
  }

  file.DeleteString("form", "btX.Caption");  // unknown pair: nothing happens
  file.DeleteString("FORM", "bta.caption");
  EXPECT_EQ("2:Bee ", IdentOrder(file));
  EXPECT_EQ(nullptr, file.Find("form", "btA.Caption"));

  // A pair without its entry is reported once and does not stay behind.
  file.Props().Add("form", "btC.Caption", 5);
  try {
    file.DeleteString("form", "btC.Caption");
    FAIL() << "dangling pair not reported";
  } catch (const ELangStrNotFound& e) {
    EXPECT_EQ("Can't find language string. [form.btC.Caption]", e.Message());
  }
  EXPECT_NO_THROW(file.DeleteString("form", "btC.Caption"));

  file.Delete(0);
  EXPECT_EQ(0, file.GetCount());
  EXPECT_EQ(0, file.Props().PairCount());
  EXPECT_THROW(file.Delete(0), EListError);
}

TEST_F(LangFileTest, DeletingAnObjectsEntriesUnderAPrefix) {
  TLingroveLangFileEdit file(PathOf("prefix.lng"));
  file.AddKeyedString(1, "form", "lv.Items.Item0", 0, "a");
  file.AddKeyedString(2, "form", "lv.Items.Item1", 0, "b");
  file.AddKeyedString(3, "form", "lv.Items.Item2", 0, "c");
  file.AddKeyedString(4, "form", "btA.Caption", 0, "d");
  file.AddKeyedString(5, "other", "lv.Items.Item0", 0, "e");
  file.AddString(6, "no pair", 0);
  file.DeleteObjectStrings("form", "");
  EXPECT_EQ(6, file.GetCount());
  file.DeleteObjectStrings("FORM", "lv.Items");
  EXPECT_EQ("4:d 5:e 6:no pair ", IdentOrder(file));
  EXPECT_EQ(2, file.Props().PairCount());
  file.DeleteObjectStrings("", "lv.");
  EXPECT_EQ("4:d 6:no pair ", IdentOrder(file));
}

TEST_F(LangFileTest, CursorNeverOutlivesTheEntriesItStoodOn) {
  TLingroveLangFileEdit file(PathOf("cursor.lng"));
  file.AddString(1, "one", 0);
  file.AddString(2, "two", 0);
  file.AddString(3, "three", 0);
  ASSERT_EQ(2, file.FindIdent(3)->Index());
  file.Delete(0);
  file.Delete(0);
  TLingroveLangStr* s = file.FindIdent(3);
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(0, s->Index());
  EXPECT_EQ("three", s->GetText());
  file.AddString(0, "zero", 0);
  EXPECT_EQ("three", file.FindIdent(3)->GetText());
  file.Delete(1);
  EXPECT_EQ(nullptr, file.FindIdent(3));
}

TEST_F(LangFileTest, OverLongTextsAreCutWhenSaved) {
  const std::string longName(300, 'n');
  const std::string longPath = std::string(254, 'p') + "QRS";
  {
    TLingroveLangFileEdit file(PathOf("long.lng"));
    file.AddFont(longName, 9, 0);
    file.AddKeyedString(1, longName, longPath, 1, std::string(1000, 't'));
    file.Save();
  }
  TLingroveLangFile back(PathOf("long.lng"));
  EXPECT_EQ(std::string(255, 'n'), back.Fonts(0).Name);
  EXPECT_EQ(9, back.Fonts(0).Size);
  TLingroveLangStr* s = back.Find(std::string(255, 'n'), std::string(254, 'p') + "Q");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(std::string(1000, 't'), s->GetText());  // pool texts have no length byte
}

TEST_F(LangFileTest, SaveThatCannotCompleteKeepsTheOldFile) {
  const std::string before = SaveOneEntry(PathOf("keep.lng"));

  // Too many entries for the 16-bit count: refused before anything is written.
  {
    TLingroveLangFileEdit file(PathOf("keep.lng"));
    for (int i = 0; i < 65536; ++i) file.AddString(static_cast<uint16_t>(i), "x", 0);
    EXPECT_THROW(file.Save(), ELangFileError);
  }
  EXPECT_EQ(before, ReadBytes("keep.lng"));
  {
    TLingroveLangFileEdit file(PathOf("keep.lng"));
    for (int i = 0; i < 65536; ++i) file.Props().Add("form", "p" + std::to_string(i), 1);
    EXPECT_THROW(file.Save(), ELangFileError);
  }
  EXPECT_EQ(before, ReadBytes("keep.lng"));

  // The replacement step fails.
  TFileReplaceFunc old = SetFileReplaceFunc(FailingReplace);
  try {
    TLingroveLangFileEdit file(PathOf("keep.lng"));
    file.AddString(2, "new", 0);
    file.Save();
    ADD_FAILURE() << "failed save reported as success";
  } catch (const ELangFileError& e) {
    EXPECT_EQ("Language file is already opened by other application", e.Message());
  }
  SetFileReplaceFunc(old);
  EXPECT_EQ(before, ReadBytes("keep.lng"));
  EXPECT_EQ(1, TLingroveLangFile(PathOf("keep.lng")).GetCount());
}

#ifdef _WIN32
TEST_F(LangFileTest, SaveFailsWhileAnotherReaderHoldsTheFile) {
  const std::string before = SaveOneEntry(PathOf("held.lng"));
  TLingroveLangFile reader(PathOf("held.lng"));
  TLingroveLangFileEdit file(PathOf("held.lng"));
  file.AddString(2, "new", 0);
  EXPECT_THROW(file.Save(), ELangFileError);
  EXPECT_EQ(before, ReadBytes("held.lng"));
}
#endif
