#include "lang/lang_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/lang/lang_file_test_util.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

// A file of the given version, laid out by the rules that version follows: flags only after
// 3.0, the has-locale byte only after 2.0, 4-byte offsets only after 1.5.
std::string SampleFile(const std::string& version, bool withLocale = true, unsigned flags = 0) {
  const double v = std::stod(version);
  Bytes f;
  f.Raw("LF").Raw(version);
  if (v > 3.0) f.U8(flags);
  if (v > 2.0) f.U8(withLocale ? 1 : 0);
  if (v <= 2.0 || withLocale) f.Raw(SampleLocaleBlock());
  f.U8(1).Zeros(10);
  f.U8(238).U32(2).P("Arial").U16(10).U8(1).P("Tahoma").U16(8).U8(0).Zeros(20);
  f.U16(1).P("kept line");
  f.U16(2);
  f.P("formMain").U16(2).P("btStart.Caption").U16(30).P("Memo1.Lines.Text").U16(31);
  f.P("formOptions").U16(1).P("Caption").U16(40);
  const bool wide = v > 1.5;
  auto entry = [&](unsigned entryFlags, unsigned ident, uint32_t offset, unsigned font) {
    if (v > 3.0) f.U8(entryFlags);
    f.U16(ident);
    if (wide)
      f.U32(offset);
    else
      f.U16(offset & 0xFFFF);
    f.U16(font);
  };
  f.U16(4);
  entry(0, 30, 0, 1);
  entry(1, 31, 6, 0);
  entry(0, 40, 0xFFFFFFFF, 0);
  entry(0, 50, 18, 2);
  f.Raw(std::string("Start\0line1\rline2\0Fifty\0", 24));
  return f.b;
}

}  // namespace

TEST_F(LangFileTest, NamesGetExtensionAndFolder) {
  const std::string cwd = IncludeTrailingBackslash(LangCurrentDir());
  EXPECT_EQ(cwd + "german.lng", NormalizeLangFileName("german"));
  EXPECT_EQ(cwd + "German.LNG", NormalizeLangFileName("German.LNG"));
  EXPECT_EQ("C:\\Lang\\FRENCH.LNG", NormalizeLangFileName("C:\\Lang\\FRENCH.LNG"));
  EXPECT_EQ("C:\\Lang\\french.lng", NormalizeLangFileName("C:\\Lang\\french"));
  // A folder whose name holds ".lng" does not stand for the extension.
  EXPECT_EQ("C:\\Tools\\my.lng-pack\\german.lng",
            NormalizeLangFileName("C:\\Tools\\my.lng-pack\\german"));

  // A bare name opens the file in the current folder.
  const std::string bare = "hl_lang_bare_name_test";
  const std::string full = NormalizeLangFileName(bare);
  {
    TFileStream out(full, fmCreate);
    std::string image = SampleFile("3.10");
    out.WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
  }
  {
    TLingroveLangFile file(bare);
    EXPECT_EQ(full, file.FileName());
    EXPECT_FALSE(file.IsEmpty());
    EXPECT_EQ(4, file.GetCount());
  }
  DeleteFile(full);
}

TEST_F(LangFileTest, MissingOrZeroLengthFileIsEmpty) {
  TLingroveLangFile missing(PathOf("nothere.lng"));
  EXPECT_TRUE(missing.IsEmpty());
  EXPECT_EQ(0, missing.GetCount());
  EXPECT_EQ(nullptr, missing.FindIdent(30));
  EXPECT_EQ(nullptr, missing.Find("formMain", "btStart.Caption"));
  EXPECT_FALSE(missing.HasLocale());
  EXPECT_EQ(0, missing.FontCount());
  EXPECT_EQ(0, missing.TextDirection());

  WriteBytes("zero.lng", "");
  TLingroveLangFile zero(PathOf("zero.lng"));
  EXPECT_TRUE(zero.IsEmpty());
  EXPECT_EQ(0, zero.GetCount());
  EXPECT_FALSE(zero.HasLocale());
}

TEST_F(LangFileTest, ReadsEveryFieldOfCurrentLayout) {
  WriteBytes("de.lng", SampleFile("3.10", true, 0x01));
  TLingroveLangFile file(PathOf("de.lng"));
  EXPECT_FALSE(file.IsEmpty());
  EXPECT_DOUBLE_EQ(3.1, file.Version());
  EXPECT_TRUE(file.HasFlag(lfNative));
  EXPECT_TRUE(file.HasLocale());
  EXPECT_EQ(1, file.TextDirection());
  EXPECT_EQ(238, file.FontCharset());
  ASSERT_EQ(2, file.FontCount());
  EXPECT_EQ("Tahoma", file.Fonts(1).Name);
  EXPECT_EQ(8, file.Fonts(1).Size);
  EXPECT_EQ(1, file.Fonts(0).Style);
  EXPECT_EQ(1, file.FindFont("Tahoma", 8, 0));
  EXPECT_EQ(-1, file.FindFont("tahoma", 8, 0));  // names match exactly
  EXPECT_EQ(-1, file.FindFont("Arial", 10, 0));
  ASSERT_EQ(1u, file.StringList().size());
  EXPECT_EQ("kept line", file.StringList()[0]);

  ASSERT_EQ(4, file.GetCount());
  TLingroveLangStr* s = file.Find("FORMMAIN", "btstart.caption");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(30, s->GetIdent());
  EXPECT_EQ("Start", s->GetText());
  EXPECT_EQ(1, s->GetFontIndex());
  EXPECT_FALSE(s->IsMultiLine());

  s = file.FindIdent(31);
  ASSERT_NE(nullptr, s);
  EXPECT_TRUE(s->HasFlag(lsDoNotTranslate));
  EXPECT_TRUE(s->IsMultiLine());
  EXPECT_EQ("line1\rline2", s->GetText());
  // Files of this version are not fixed up: the path stays as stored.
  EXPECT_EQ("Memo1.Lines.Text", s->GetPropName());
  EXPECT_EQ("formMain", s->GetObjName());

  // No text in the pool: found, with the empty text.
  s = file.Find("formOptions", "Caption");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(40, s->GetIdent());
  EXPECT_EQ("", s->GetText());

  s = file.FindIdent(50);
  ASSERT_NE(nullptr, s);
  EXPECT_EQ("Fifty", s->GetText());
  EXPECT_EQ("", s->GetObjName());
  EXPECT_EQ(nullptr, file.FindIdent(49));
  EXPECT_EQ(nullptr, file.Find("formMain", "btStop.Caption"));

  const TLingroveLocale& l = file.Locale();
  EXPECT_EQ("EURxxxxxxx", l.CurrencyString);  // cut to its capacity, the rest consumed
  EXPECT_EQ(',', l.DecimalSeparator);
  EXPECT_EQ("month12", l.LongMonthNames[11]);
  EXPECT_EQ(1907, l.EraYearOffsets[6]);
  EXPECT_EQ(30, l.TwoDigitYearCenturyWindow);
  EXPECT_EQ(';', l.ListSeparator);
}

TEST_F(LangFileTest, OlderVersionsFollowTheirLayout) {
  // 3.00: a has-locale byte but no flags; the native flag comes from the file name.
  WriteBytes("native.lng", SampleFile("3.00", false));
  WriteBytes("other.lng", SampleFile("3.00", false));
  TLingroveLangFile v300(PathOf("native.lng"));
  EXPECT_TRUE(v300.HasFlag(lfNative));
  EXPECT_FALSE(v300.HasLocale());
  EXPECT_EQ(1, v300.TextDirection());
  ASSERT_NE(nullptr, v300.FindIdent(31));
  EXPECT_FALSE(v300.FindIdent(31)->HasFlag(lsDoNotTranslate));
  EXPECT_EQ("Fifty", v300.FindIdent(50)->GetText());
  EXPECT_EQ("Memo1.Lines.Text", v300.FindIdent(31)->GetPropName());
  TLingroveLangFile other(PathOf("other.lng"));
  EXPECT_FALSE(other.HasFlag(lfNative));

  // 2.00: no has-locale byte (the block is there), direction read but taken as 0.
  WriteBytes("v200.lng", SampleFile("2.00"));
  TLingroveLangFile v200(PathOf("v200.lng"));
  EXPECT_TRUE(v200.HasLocale());
  EXPECT_EQ(0, v200.TextDirection());
  EXPECT_EQ("vorm", v200.Locale().TimeAMString);
  EXPECT_EQ("Fifty", v200.FindIdent(50)->GetText());

  // 1.50: 2-byte offsets.
  WriteBytes("v150.lng", SampleFile("1.50"));
  TLingroveLangFile v150(PathOf("v150.lng"));
  EXPECT_EQ(4, v150.GetCount());
  EXPECT_EQ("Start", v150.FindIdent(30)->GetText());
  EXPECT_EQ("Fifty", v150.FindIdent(50)->GetText());
  EXPECT_EQ("", v150.FindIdent(40)->GetText());
}

TEST_F(LangFileTest, LegacyFilesMoveMultiLineTextsToTheListPath) {
  Bytes f;
  f.Raw("LF2.50").U8(0).U8(0).Zeros(10).U8(0).U32(0).Zeros(20).U16(0);
  f.U16(1).P("formMain").U16(5);
  f.P("Memo1.Lines.Text").U16(1);  // two lines: moves to Memo1.Lines
  f.P("Memo2.Lines.Text").U16(2);  // one line: stays
  f.P("Memo3.Lines").U16(3);       // replaced by the moved pair of Memo3
  f.P("Memo3.Lines.text").U16(4);
  f.P("Text").U16(5);              // no owner segment: stays
  f.U16(5);
  for (unsigned i = 1; i <= 5; ++i) f.U16(i).U32(i == 2 ? 4 : 0).U16(0);
  f.Raw(std::string("a\rb\0one\0", 8));
  WriteBytes("legacy.lng", f.b);

  TLingroveLangFile file(PathOf("legacy.lng"));
  TLingroveLangStr* s = file.Find("formMain", "Memo1.Lines");
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(1, s->GetIdent());
  EXPECT_EQ(nullptr, file.Find("formMain", "Memo1.Lines.Text"));
  ASSERT_NE(nullptr, file.Find("formMain", "Memo2.Lines.Text"));
  EXPECT_EQ(2, file.Find("formMain", "Memo2.Lines.Text")->GetIdent());
  ASSERT_NE(nullptr, file.Find("formMain", "Memo3.Lines"));
  EXPECT_EQ(4, file.Find("formMain", "Memo3.Lines")->GetIdent());
  ASSERT_NE(nullptr, file.Find("formMain", "Text"));
  EXPECT_EQ(4, file.Props().PairCount());
}

TEST_F(LangFileTest, BadHeadersRaiseThePartsErrors) {
  WriteBytes("magic.lng", "XF3.10" + std::string(100, '\0'));
  try {
    TLingroveLangFile file(PathOf("magic.lng"));
    FAIL() << "wrong magic accepted";
  } catch (const Exception& e) {
    EXPECT_EQ("Not a language file or old version (1.1)", e.Message());
  }

  FormatSettings().DecimalSeparator = ',';
  WriteBytes("version.lng", "LF3,1x" + std::string(100, '\0'));
  EXPECT_THROW(TLingroveLangFile(PathOf("version.lng")), EConvertError);
  EXPECT_EQ(',', FormatSettings().DecimalSeparator);

  // A file that ends early, anywhere.
  const std::string good = SampleFile("3.10");
  for (size_t cut : {size_t{1}, size_t{5}, size_t{7}, size_t{40}, size_t{400}}) {
    ASSERT_LT(cut, good.size());
    WriteBytes("short.lng", good.substr(0, cut));
    EXPECT_THROW(TLingroveLangFile(PathOf("short.lng")), EReadError) << cut;
  }
}

TEST_F(LangFileTest, CountsAndOffsetsAreCheckedAgainstTheBytes) {
  Bytes head;
  head.Raw("LF3.10").U8(0).U8(0).U8(0).Zeros(10).U8(0);

  // A font count of 2^31 - 1 with nothing behind it.
  TLingroveLangFile probe(PathOf("none.lng"));
  EXPECT_THROW(probe.LoadFromImage(Bytes(head).U32(0x7FFFFFFF).Zeros(20).b), EReadError);
  EXPECT_TRUE(probe.IsEmpty());
  // A negative font count means none.
  probe.LoadFromImage(Bytes(head).U32(0x80000000).Zeros(20).U16(0).U16(0).U16(0).b);
  EXPECT_FALSE(probe.IsEmpty());
  EXPECT_EQ(0, probe.FontCount());
  // 65535 entries announced, one present.
  Bytes many(head);
  many.U32(0).Zeros(20).U16(0).U16(0).U16(0xFFFF).U8(0).U16(1).U32(0).U16(0);
  EXPECT_THROW(probe.LoadFromImage(many.b), EReadError);
  EXPECT_EQ(0, probe.GetCount());

  // Offsets past the pool give the empty text; an unterminated last text ends with the pool.
  Bytes pool(head);
  pool.U32(0).Zeros(20).U16(0).U16(0).U16(3);
  pool.U8(0).U16(1).U32(0).U16(0);
  pool.U8(0).U16(2).U32(3).U16(0);
  pool.U8(0).U16(3).U32(4000).U16(0);
  pool.Raw("abcdef");
  probe.LoadFromImage(pool.b);
  EXPECT_EQ("abcdef", probe.FindIdent(1)->GetText());
  EXPECT_EQ("def", probe.FindIdent(2)->GetText());
  EXPECT_EQ("", probe.FindIdent(3)->GetText());

  // Object names and paths are cut at a NUL byte.
  Bytes nul(head);
  nul.U32(0).Zeros(20).U16(0).U16(1).P(std::string("form\0junk", 9)).U16(1);
  nul.P(std::string("bt.Caption\0x", 12)).U16(7).U16(1).U8(0).U16(7).U32(0).U16(0).Raw("T");
  probe.LoadFromImage(nul.b);
  ASSERT_NE(nullptr, probe.Find("form", "bt.Caption"));
  EXPECT_EQ("T", probe.Find("form", "bt.Caption")->GetText());
}

TEST_F(LangFileTest, IdentSearchAndCursor) {
  Bytes f;
  f.Raw("LF3.10").U8(0).U8(0).U8(0).Zeros(10).U8(0).U32(0).Zeros(20).U16(0).U16(0);
  const unsigned idents[] = {0, 1, 2, 7, 100, 1000, 32768, 40000, 65534, 65535};
  f.U16(10);
  for (unsigned id : idents) f.U8(0).U16(id).U32(0xFFFFFFFF).U16(0);
  TLingroveLangFile file(PathOf("none.lng"));
  file.LoadFromImage(f.b);
  for (int i = 0; i < 10; ++i) {
    TLingroveLangStr* s = file.FindIdent(static_cast<uint16_t>(idents[i]));
    ASSERT_NE(nullptr, s) << idents[i];
    EXPECT_EQ(i, s->Index());
    EXPECT_EQ(i, file.SearchIdent(static_cast<uint16_t>(idents[i]), 0, 9));
  }
  for (unsigned missing : {3u, 99u, 32767u, 65533u}) {
    EXPECT_EQ(nullptr, file.FindIdent(static_cast<uint16_t>(missing)));
  }
  // The same ident twice: the same cursor on the same entry.
  TLingroveLangStr* a = file.FindIdent(1000);
  TLingroveLangStr* b = file.FindIdent(1000);
  EXPECT_EQ(a, b);
  EXPECT_EQ(5, b->Index());
  EXPECT_EQ(nullptr, file.GetItem(10));
  EXPECT_EQ(nullptr, file.GetItem(-1));
  EXPECT_EQ(65535, file.GetItem(9)->GetIdent());
}

TEST_F(LangFileTest, PropertyMapKeepsUniqueSortedPairs) {
  TLingroveLangProps p;
  EXPECT_THROW(p.GetIdent(), Exception);
  p.Add("formB", "lb.Caption", 3);
  p.Add("FormA", "zz.Hint", 2);
  p.Add("forma", "AA.Hint", 1);
  p.Add("FORMA", "aa.hint", 5);  // same pair: new ident, spelling kept
  EXPECT_EQ(2, p.ObjectCount());
  EXPECT_EQ(3, p.PairCount());
  ASSERT_TRUE(p.Find("forma", "AA.HINT"));
  EXPECT_EQ(5, p.GetIdent());
  EXPECT_EQ("FormA", p.GetObjName());
  EXPECT_EQ("AA.Hint", p.GetPropName());
  EXPECT_FALSE(p.FindIdent(1));

  std::string order;
  p.ForEachObject([&](const std::string& name, const TLingroveLangProps::PropMap& paths) {
    order += name + ":";
    for (const auto& pp : paths) order += pp.first + ",";
  });
  EXPECT_EQ("FormA:AA.Hint,zz.Hint,formB:lb.Caption,", order);

  // First pair carrying an ident, objects then paths in order.
  p.Add("formB", "a.Caption", 2);
  ASSERT_TRUE(p.FindIdent(2));
  EXPECT_EQ("FormA", p.GetObjName());
  EXPECT_EQ("zz.Hint", p.GetPropName());

  // Renaming a path onto an existing one replaces it; an empty path deletes the pair.
  ASSERT_TRUE(p.Find("FormA", "zz.Hint"));
  p.SetPropName("AA.Hint");
  EXPECT_EQ(3, p.PairCount());
  ASSERT_TRUE(p.Find("FormA", "aa.hint"));
  EXPECT_EQ(2, p.GetIdent());
  EXPECT_FALSE(p.FindIdent(5));
  ASSERT_TRUE(p.Find("FormA", "AA.Hint"));
  p.SetPropName("");
  EXPECT_EQ(1, p.ObjectCount());  // FormA had no pair left
  EXPECT_FALSE(p.HasCursor());

  // Renaming an object onto another merges them, the moved pairs winning.
  p.Add("formC", "a.Caption", 9);
  p.Add("formC", "c.Caption", 8);
  ASSERT_TRUE(p.Find("formC", "c.Caption"));
  p.SetObjName("FORMB");
  EXPECT_EQ(1, p.ObjectCount());
  EXPECT_EQ(3, p.PairCount());
  ASSERT_TRUE(p.Find("formB", "a.Caption"));
  EXPECT_EQ(9, p.GetIdent());
  p.SetObjName("");
  EXPECT_EQ(0, p.ObjectCount());
  EXPECT_EQ(0, p.PairCount());
  EXPECT_FALSE(p.FindIdent(9));
}

TEST_F(LangFileTest, PrefixReplacementRenamesAComponentsPaths) {
  TLingroveLangProps p;
  p.Add("form", "btA.Caption", 1);
  p.Add("form", "btA.Hint", 2);
  p.Add("form", "btAB.Caption", 3);
  p.Add("form", "btB.Caption", 4);
  p.Add("other", "btA.Caption", 5);
  ASSERT_TRUE(p.Find("form", "btB.Caption"));
  p.ReplacePrefix("btA", "btB");
  EXPECT_EQ(4, p.PairCount());
  ASSERT_TRUE(p.Find("form", "btB.Caption"));
  EXPECT_EQ(1, p.GetIdent());  // the renamed pair replaced the old btB one
  ASSERT_TRUE(p.Find("form", "btB.Hint"));
  EXPECT_EQ(2, p.GetIdent());
  EXPECT_TRUE(p.Find("form", "btAB.Caption"));
  EXPECT_TRUE(p.Find("other", "btA.Caption"));
  EXPECT_FALSE(p.FindIdent(4));
}

TEST_F(LangFileTest, LocaleBlockReplacesTheFormatSettings) {
  WriteBytes("loc.lng", SampleFile("3.10"));
  TLingroveLangFile file(PathOf("loc.lng"));
  file.ApplyLocale();
  const TFormatSettings& s = FormatSettings();
  EXPECT_EQ("EURxxxxxxx", s.CurrencyString);
  EXPECT_EQ(3, s.CurrencyFormat);
  EXPECT_EQ(8, s.NegCurrFormat);
  EXPECT_EQ('.', s.ThousandSeparator);
  EXPECT_EQ(',', s.DecimalSeparator);
  EXPECT_EQ(2, s.CurrencyDecimals);
  EXPECT_EQ('-', s.DateSeparator);
  EXPECT_EQ("dd-mm-yyyy", s.ShortDateFormat);
  EXPECT_EQ("dddd d mmmm yyyy", s.LongDateFormat);
  EXPECT_EQ('h', s.TimeSeparator);
  EXPECT_EQ("vorm", s.TimeAMString);
  EXPECT_EQ("nachm", s.TimePMString);
  EXPECT_EQ("hh:nn", s.ShortTimeFormat);
  EXPECT_EQ("hh:nn:ss", s.LongTimeFormat);
  EXPECT_EQ("m1", s.ShortMonthNames[0]);
  EXPECT_EQ("month12", s.LongMonthNames[11]);
  EXPECT_EQ("d1", s.ShortDayNames[0]);
  EXPECT_EQ("day7", s.LongDayNames[6]);
  EXPECT_EQ("era3", s.EraNames[2]);
  EXPECT_EQ(1901, s.EraYearOffsets[0]);
  EXPECT_EQ(30, s.TwoDigitYearCenturyWindow);
  EXPECT_EQ(';', s.ListSeparator);

  // A file without a locale block leaves the settings as they are.
  WriteBytes("noloc.lng", SampleFile("3.10", false));
  TLingroveLangFile plain(PathOf("noloc.lng"));
  plain.ApplyLocale();
  EXPECT_EQ("dd-mm-yyyy", FormatSettings().ShortDateFormat);
}

#ifdef _WIN32
TEST_F(LangFileTest, OpenFileCannotBeWrittenByOthers) {
  WriteBytes("locked.lng", SampleFile("3.10"));
  {
    TLingroveLangFile file(PathOf("locked.lng"));
    EXPECT_THROW(TFileStream(PathOf("locked.lng"), fmOpenWrite), EFOpenError);
    // Others may still read it.
    TFileStream reader(PathOf("locked.lng"), fmOpenRead | fmShareDenyNone);
    EXPECT_GT(reader.Size(), 0);
  }
  EXPECT_NO_THROW(TFileStream(PathOf("locked.lng"), fmOpenWrite));
}
#endif
