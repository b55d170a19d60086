#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "tests/rtl/file_fixtures.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

using V = std::vector<std::string>;

// A TStrings kept outside the list class, the way a list box keeps its items: only the
// core operations are provided, everything else must come from the base class.
class ItemStore : public TStrings {
public:
  void Insert(int index, const std::string& s) override {
    if (index < 0 || index > GetCount()) IndexError(index);
    items.insert(items.begin() + index, s);
    objects.insert(objects.begin() + index, nullptr);
  }
  void Delete(int index) override {
    Check(index);
    items.erase(items.begin() + index);
    objects.erase(objects.begin() + index);
  }
  void Clear() override {
    items.clear();
    objects.clear();
  }
  std::vector<std::string> items;
  std::vector<TObject*> objects;
  std::vector<bool> updateStates;

protected:
  std::string Get(int index) const override {
    Check(index);
    return items[index];
  }
  TObject* GetObject(int index) const override {
    Check(index);
    return objects[index];
  }
  void PutObject(int index, TObject* object) override {
    Check(index);
    objects[index] = object;
  }
  int GetCount() const override { return static_cast<int>(items.size()); }
  void SetUpdateState(bool updating) override { updateStates.push_back(updating); }

private:
  void Check(int index) const {
    if (index < 0 || index >= GetCount()) IndexError(index);
  }
};

struct EventLog {
  int changing = 0, change = 0;
  void Attach(TStringList& list) {
    list.OnChanging = [this](TObject*) { ++changing; };
    list.OnChange = [this](TObject*) { ++change; };
  }
};

}  // namespace

TEST(StringListSorted, DuplicatesFollowTheLocaleComparison) {
  TStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Add("abc"), 0);
  EXPECT_EQ(list.Add("ABC"), 0);  // equal without regard to case: ignored, index returned
  EXPECT_EQ(list.Count(), 1);

  list.SetDuplicates(dupError);
  try {
    list.Add("Abc");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  list.SetDuplicates(dupAccept);
  list.Add("ABC");
  EXPECT_EQ(list.Count(), 2);

  TStringList exact;
  exact.SetCaseSensitive(true);
  exact.SetSorted(true);
  exact.Add("abc");
  exact.Add("ABC");
  EXPECT_EQ(exact.Count(), 2);

#ifndef _WIN32
  // Accented letters fold like ASCII ones and sort after "z" as unsigned bytes.
  TStringList accents;
  accents.SetSorted(true);
  for (const char* s : {"\xE9t\xE9", "zoo", "\xC9T\xC9", "Apple"}) accents.Add(s);
  EXPECT_EQ(Lines(accents), (V{"Apple", "zoo", "\xE9t\xE9"}));
#endif
}

TEST(StringListSorted, SortAndFindAgree) {
  // Whatever the locale's order is, a sorted list must find every line it holds.
  const V words = {"b\xE9ta", "Beta", "alpha", "\xC9" "cole", "ecole", "zeta", "Zulu", "a-b", "ab",
                   "A_B", "1", "10", "9", "\xFF", "\x9Fx", "", "tab\there", "\xD7", "\xF7"};
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const auto& w : words) list.Add(w);
  ASSERT_EQ(list.Count(), static_cast<int>(words.size()));
  for (int i = 1; i < list.Count(); ++i)
    EXPECT_LE(AnsiCompareText(list.Strings(i - 1), list.Strings(i)), 0) << i;
  for (const auto& w : words) {
    int index = -1;
    EXPECT_TRUE(list.Find(w, index)) << w;
    EXPECT_EQ(AnsiCompareText(list.Strings(index), w), 0) << w;
    EXPECT_EQ(list.IndexOf(w), index) << w;
  }

  TStringList unsortedThenSorted;
  for (auto it = words.rbegin(); it != words.rend(); ++it) unsortedThenSorted.Add(*it);
  unsortedThenSorted.SetSorted(true);
  for (const auto& w : words) EXPECT_GE(unsortedThenSorted.IndexOf(w), 0) << w;
}

TEST(StringListSorted, FindGivesFirstEqualOrInsertionPlace) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* s : {"c", "x", "a", "X", "x"}) list.Add(s);
  int index = -1;
  EXPECT_TRUE(list.Find("X", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("b", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("zz", index));
  EXPECT_EQ(index, 5);
  EXPECT_EQ(list.IndexOf("C"), 1);
  EXPECT_EQ(list.IndexOf("q"), -1);

  // Placing lines by index would break the order: refused, and nothing changes.
  const V before = Lines(list);
  EXPECT_THROW(list.Insert(0, "z"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "z"), EStringListError);
  EXPECT_THROW(list.Exchange(0, 4), EStringListError);
  EXPECT_THROW(list.Move(0, 4), EStringListError);
  EXPECT_EQ(Lines(list), before);
}

TEST(StringListSorted, SortingMovesObjectsWithTheirLines) {
  TObject one, two, three;
  TStringList list;
  list.AddObject("c", &one);
  list.AddObject("a", &two);
  list.AddObject("B", &three);
  EXPECT_EQ(list.IndexOf("A"), 1);  // unsorted lists search linearly, ignoring case
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (V{"a", "B", "c"}));
  EXPECT_EQ(list.Objects(0), &two);
  EXPECT_EQ(list.Objects(1), &three);
  EXPECT_EQ(list.Objects(2), &one);

  list.SetSorted(false);
  list.Add("dddd");
  list.Add("ee");
  list.CustomSort([](TStringList* l, int a, int b) {  // longest first, stable among equals
    return static_cast<int>(l->Strings(b).size()) - static_cast<int>(l->Strings(a).size());
  });
  EXPECT_EQ(Lines(list), (V{"dddd", "ee", "a", "B", "c"}));
  EXPECT_EQ(list.Objects(2), &two);
  list.SetCaseSensitive(true);
  list.Add("b");
  EXPECT_EQ(list.IndexOf("b"), 5);
  EXPECT_EQ(list.IndexOf("B"), 3);
}

// A sorted list takes its text all at once; the lines, and the order of equal ones, must be
// what adding them one by one gives, whatever the duplicates rule and however many lines.
TEST(StringListSorted, TextTakenAtOnceEqualsAddingLineByLine) {
  const std::string text = "delta\r\nAlpha\nalpha\rcharlie\r\n\r\nBRAVO\nbravo\nalpha\ndelta\nAlpha\n";
  for (TDuplicates rule : {dupAccept, dupIgnore}) {
    for (bool caseSensitive : {false, true}) {
      TStringList oneByOne, atOnce;
      for (TStringList* list : {&oneByOne, &atOnce}) {
        list->SetCaseSensitive(caseSensitive);
        list->SetSorted(true);
        list->SetDuplicates(rule);
      }
      oneByOne.BeginUpdate();
      for (const char* line : {"delta", "Alpha", "alpha", "charlie", "", "BRAVO", "bravo", "alpha", "delta", "Alpha"})
        oneByOne.Add(line);
      oneByOne.EndUpdate();
      atOnce.Add("left over");
      EventLog log;
      log.Attach(atOnce);
      atOnce.SetText(text);
      EXPECT_EQ(Lines(atOnce), Lines(oneByOne)) << rule << caseSensitive;
      EXPECT_EQ(log.changing, 1);
      EXPECT_EQ(log.change, 1);
    }
  }

  // A large list in no order comes in at once, sorted, every line kept.
  std::string many;
  const int count = 200000;
  for (int i = 0; i < count; ++i) many += "line" + std::to_string((i * 7919) % count) + "\r\n";
  TStringList big;
  big.SetSorted(true);
  big.SetDuplicates(dupAccept);
  big.SetText(many);
  ASSERT_EQ(big.Count(), count);
  for (int i = 1; i < count; ++i) ASSERT_LE(AnsiCompareText(big.Strings(i - 1), big.Strings(i)), 0) << i;
  int index = -1;
  EXPECT_TRUE(big.Find("line123456", index));
}

TEST(StringListNameValue, SplitsAtFirstEqualsAndIgnoresCaseOfNames) {
  TStringList list;
  list.SetText("C:\\App.exe=00:01:00\r\ntotal=00:02:00\r\nno value here\r\na=b=c\r\n");
  EXPECT_EQ(list.Names(0), "C:\\App.exe");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.Names(3), "a");
  EXPECT_EQ(list.ValueFromIndex(3), "b=c");
  EXPECT_EQ(list.IndexOfName("c:\\app.EXE"), 0);
  EXPECT_EQ(list.IndexOfName("no value here"), -1);
  EXPECT_EQ(list.Values("TOTAL"), "00:02:00");
  EXPECT_EQ(list.Values("missing"), "");

  list.SetValues("total", "00:03:00");  // replaced in place
  EXPECT_EQ(list.Strings(1), "total=00:03:00");
  list.SetValues("new", "x");  // appended
  EXPECT_EQ(list.Strings(4), "new=x");
  list.SetValues("C:\\APP.EXE", "");  // an empty value deletes the line
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.IndexOfName("C:\\App.exe"), -1);
  list.SetValues("gone", "");  // deleting what is not there changes nothing
  EXPECT_EQ(list.Count(), 4);
}

TEST(StringListText, AcceptsAnyLineEndAndWritesCrLf) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Lines(list), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("a\r\n");
  EXPECT_EQ(Lines(list), V{"a"});
  list.SetText("a\n\n");
  EXPECT_EQ(Lines(list), (V{"a", ""}));
  list.SetText("a\r\r\n");
  EXPECT_EQ(Lines(list), (V{"a", ""}));
  list.SetText("\r\n");
  EXPECT_EQ(Lines(list), V{""});
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
  list.SetText(std::string("x\0y\xFF", 4));  // bytes kept as they are
  EXPECT_EQ(list.Strings(0), std::string("x\0y\xFF", 4));

  // Seen as a plain persistent object, a list answers and takes its whole text.
  TPersistent& asPersistent = list;
  std::string text;
  EXPECT_TRUE(asPersistent.SetAsText("p\rq"));
  EXPECT_TRUE(asPersistent.GetAsText(text));
  EXPECT_EQ(text, "p\r\nq\r\n");
}

TEST(StringListEvents, UpdateBatchesFireOnceAndOnlyOnChange) {
  TStringList list;
  EventLog log;
  int countSeenByChanging = -1;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    countSeenByChanging = list.Count();
    ++log.changing;
  };
  list.OnChange = [&](TObject*) { ++log.change; };

  list.Add("a");
  EXPECT_EQ(countSeenByChanging, 0);  // fired before the change
  EXPECT_EQ(log.changing, 1);
  EXPECT_EQ(log.change, 1);

  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(log.change, 1);  // not yet: the outer batch is open
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(log.changing, 2);
  EXPECT_EQ(log.change, 2);

  list.BeginUpdate();
  list.IndexOf("b");
  list.EndUpdate();
  EXPECT_EQ(log.changing, 2);  // nothing changed: no events
  EXPECT_EQ(log.change, 2);

  list.SetText("x\ny\nz");
  EXPECT_EQ(log.changing, 3);
  EXPECT_EQ(log.change, 3);

  TStringList empty;
  EventLog quiet;
  quiet.Attach(empty);
  empty.Clear();
  EXPECT_EQ(quiet.changing + quiet.change, 0);

  // A failing batch still closes: later changes report again.
  TStringList strict;
  strict.SetSorted(true);
  strict.SetDuplicates(dupError);
  EventLog strictLog;
  strictLog.Attach(strict);
  EXPECT_THROW(strict.SetText("a\na"), EStringListError);
  EXPECT_EQ(strictLog.change, 1);
  strict.Add("b");
  EXPECT_EQ(strictLog.change, 2);
}

TEST(StringListErrors, BadIndexesRaiseAndLoseNothing) {
  TStringList list;
  list.SetText("a\nb");
  try {
    list.Strings(5);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Objects(2), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  EXPECT_THROW(list.Move(0, 2), EStringListError);
  EXPECT_THROW(list.Exchange(0, 2), EStringListError);
  EXPECT_EQ(Lines(list), (V{"a", "b"}));
  list.Insert(2, "c");
  list.Move(2, 0);
  EXPECT_EQ(Lines(list), (V{"c", "a", "b"}));
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (V{"b", "a", "c"}));
}

TEST(StringListBase, ListKeptElsewhereGetsTheWholeInterface) {
  ItemStore store;
  TObject tag;
  store.SetText("one\ntwo=2\nthree");
  store.SetObjects(1, &tag);
  EXPECT_EQ(store.updateStates, (std::vector<bool>{true, false}));
  EXPECT_EQ(store.IndexOf("TWO=2"), 1);
  EXPECT_EQ(store.Values("two"), "2");
  store.SetStrings(1, "deux=2");  // the object stays with its line
  EXPECT_EQ(store.Objects(1), &tag);
  store.Exchange(0, 2);
  EXPECT_EQ(store.items, (V{"three", "deux=2", "one"}));
  store.Move(1, 2);
  EXPECT_EQ(store.items, (V{"three", "one", "deux=2"}));
  EXPECT_EQ(store.Objects(2), &tag);
  EXPECT_THROW(store.Move(0, 3), EStringListError);  // checked before the line is removed
  EXPECT_EQ(store.Count(), 3);

  TStringList copy;
  copy.Assign(&store);
  EXPECT_EQ(Lines(copy), store.items);
  EXPECT_EQ(copy.Objects(2), &tag);
  EXPECT_TRUE(copy.Equals(&store));
  store.Assign(&copy);
  EXPECT_TRUE(store.Equals(&copy));
}

TEST(StringListAssign, CopiesLinesAndObjectsOfAnyList) {
  TObject tag;
  TStringList source;
  source.AddObject("b", &tag);
  source.Add("a");
  TStringList sortedTarget;
  sortedTarget.SetSorted(true);
  sortedTarget.Add("old");
  sortedTarget.Assign(&source);
  EXPECT_EQ(Lines(sortedTarget), (V{"a", "b"}));
  EXPECT_EQ(sortedTarget.Objects(1), &tag);
  EXPECT_FALSE(sortedTarget.Equals(&source));  // same lines, other order

  source.Assign(&source);  // must not clear itself first
  EXPECT_EQ(Lines(source), (V{"b", "a"}));
  source.AddStrings(&source);
  EXPECT_EQ(Lines(source), (V{"b", "a", "b", "a"}));

  TPersistent other;
  EXPECT_THROW(source.Assign(&other), EConvertError);
  EXPECT_EQ(source.ClassName(), "TStringList");
}

TEST(StringListFiles, BytesGoOutAndComeBackUnchanged) {
  TempFolder folder;
  const std::string name = folder.File("list.txt");
  TStringList list;
  list.SetText("C:\\Prog\\a.exe\tT\xEEtle\t1\nsecond");
  list.SaveToFile(name);
  EXPECT_EQ(ReadBytes(name), "C:\\Prog\\a.exe\tT\xEEtle\t1\r\nsecond\r\n");

  // A list of several megabytes is written in pieces: the same bytes, empty lines and all.
  TStringList large;
  for (int i = 0; i < 150000; ++i) large.Add(i % 1000 == 0 ? std::string() : "line number " + std::to_string(i));
  large.SaveToFile(name);
  EXPECT_EQ(ReadBytes(name), large.Text());
  TStringList empty;
  empty.SaveToFile(name);
  EXPECT_EQ(ReadBytes(name), "");

  WriteBytes(name, "x\ry\rz");
  TStringList loaded;
  loaded.LoadFromFile(name);
  EXPECT_EQ(Lines(loaded), (V{"x", "y", "z"}));

  TMemoryStream stream;
  stream.WriteBuffer("skip|p\nq", 8);
  stream.SetPosition(5);
  loaded.LoadFromStream(stream);  // from the position on
  EXPECT_EQ(Lines(loaded), (V{"p", "q"}));
  TMemoryStream out;
  loaded.SaveToStream(out);
  EXPECT_EQ(std::string(static_cast<const char*>(out.Memory()), out.Size()), "p\r\nq\r\n");

  EXPECT_THROW(loaded.LoadFromFile(folder.File("missing.txt")), EFOpenError);
}

TEST(StringListFiles, FailedSaveKeepsTheOldFile) {
  TempFolder folder;
  const std::string name = folder.File("tasks.txt");
  WriteBytes(name, "old\r\n");
  TStringList list;
  list.Add("new");
  {
    FailingReplace failing;
    EXPECT_THROW(list.SaveToFile(name), EWriteError);
  }
  EXPECT_EQ(ReadBytes(name), "old\r\n");
  EXPECT_EQ(folder.Names(), V{"tasks.txt"});
}
