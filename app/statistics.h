#pragma once
// The arithmetic of the statistics window, free of windows: the period and the range of
// days, the two task trees and the keys their nodes stand for, a key's time on one day of
// the work file, and the week table (one row per week, seven day columns and the week's
// total) with its totals and cell texts.
//
// Times are added up in whole seconds so that sums of many days never land a hair below a
// whole minute or day.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/date_time.h"

class TStrings;
class WorkFile;

// The key of the second tree's first node: no comparison.
inline const std::string NoneKey = "none";

// ---- Period and range -------------------------------------------------------------------

enum class StatPeriod { Day, Week, TwoWeeks, Month };

// The number of days a period shows up to today. A month reaches back to the same day of
// the month before (28 to 31 days); where that day does not exist, 30 days.
int PeriodDayCount(StatPeriod period, TDateTime today);

// The days from dateFrom to dateTo, both counted; at least one.
int RangeDayCount(TDateTime dateFrom, TDateTime dateTo);

// ---- Reading days ---------------------------------------------------------------------------

// The seconds of a time stored in the work file; 0 for an empty, unreadable or negative one.
int64_t StoredTimeSeconds(std::string_view text);

// Folds keys as WorkFile::FoldName folds them (or, for ordering, as CompareText does). Where
// the code page folds byte by byte (every single-byte code page), the fold is read once into a
// table and keys are hashed and compared through it without a folded copy; elsewhere each key
// is folded whole.
class StatKeyFold {
public:
  // The work file's fold of program paths in the code page now in use.
  static const StatKeyFold& Current();
  // The fold CompareText orders by (UpperCase), for sorting and matching task lines.
  static const StatKeyFold& Ordering();

  size_t Hash(std::string_view key) const;
  bool Equal(std::string_view a, std::string_view b) const;
  // Folds byte by byte through a table (else each key is folded whole).
  bool ByteWise() const { return byteWise_; }
  // The table of the byte-by-byte fold (every byte as it is where keys are folded whole).
  const unsigned char* Table() const { return table_; }
  // Appends the folded field.
  void Append(std::string_view field, std::string& out) const;

private:
  using FoldText = std::string (*)(std::string_view);
  StatKeyFold(FoldText fold, bool byteWise);

  FoldText fold_;
  bool byteWise_;
  unsigned char table_[256];
};

// Reads days of the work file for the statistics. Keys are numbered, all spellings that the
// work file takes for the same key alike; no key is folded into a copy where the code page
// folds byte by byte, and each value is parsed once, however many keys are asked for and
// however often its day is read again (again after the file was written).
class StatDayReader {
public:
  // keepDays false: for one computation, which reads each day once; nothing is kept.
  explicit StatDayReader(const WorkFile& work, bool keepDays = true);
  StatDayReader(const StatDayReader&) = delete;
  StatDayReader& operator=(const StatDayReader&) = delete;

  const WorkFile& Work() const { return work_; }
  // Tells readers apart for those that remember key numbers: no two readers share a serial.
  int64_t Serial() const { return serial_; }

  // The number of a key as WorkFile::ReadString takes it (without its edge blanks).
  int KeyId(std::string_view key);
  // Numbers are 0 .. KeyCount() - 1.
  int KeyCount() const { return static_cast<int>(spellings_.size()); }
  // A spelling of key number id (the first one met), without its edge blanks.
  std::string_view KeySpelling(int id);
  // Calls add(key number, seconds) for each key of the section that holds a value, a key
  // that stands twice once (with its first value).
  void ReadDay(const std::string& section, const std::function<void(int, int64_t)>& add);

private:
  struct DayValue {
    int id;
    int64_t seconds;
  };
  int SpellingId(std::string_view key, bool inFile);
  // Reads a section of the file (each key's first value).
  void ParseDay(const std::string& section, const std::function<void(int, int64_t)>& add);
  // Catches up with writes to the file.
  void Follow();

  const WorkFile& work_;
  int64_t serial_;
  uint64_t changes_;  // the file's count of writes the reader has caught up with
  // What each day read gave, by section name, and the time separator it was read with.
  std::unordered_map<std::string, std::vector<DayValue>> days_;
  char separator_ = 0;
  bool keepDays_;
  const StatKeyFold& fold_;
  // An open table of key numbers by hash: each slot the hash's upper half and number + 1.
  std::vector<uint64_t> slots_;
  std::vector<uint32_t> hashes_;  // per number
  // Where keys are folded whole: every spelling met -> its number, so each is folded once.
  std::unordered_map<std::string_view, int> bySpelling_;
  std::vector<std::string_view> spellings_;  // per number: views into the work file or owned_
  // Keys numbered by KeyId, not met in the file, and every spelling once the file was written.
  std::vector<std::unique_ptr<std::string>> owned_;
  std::vector<int> lastDay_;  // per key: the read that saw it last
  int reads_ = 0;
};

// ---- Task lists and trees -----------------------------------------------------------------

// One listed task (a task-list line whose group is not "0").
struct StatTask {
  std::string description;
  std::string path;
  std::string group;
};

// A node of a task tree. Nodes stand in the tree's full order (a group node, then its
// task nodes), so the next and previous node are the neighbours in the list.
struct StatTaskNode {
  std::string text;  // what the tree shows; a task's description is cut to 36 characters
  int parent = -1;   // index of the group node, -1 for a root
  int group = -1;    // the group number of a group node (its picture is group + 2)
  // The index in the by-group list of a task node's line, or of a group node's first task's
  // line (whose group is the group node's key).
  int line = -1;
};

// A root node that stands for itself: NoneKey (no comparison) or TotalKey.
inline StatTaskNode StatRootNode(const std::string& key) {
  StatTaskNode node;
  node.text = key;
  return node;
}

// The listed tasks in two orders. The lines' bytes are kept once, in one buffer; the
// by-group order is a list of by-name lines. Programs (paths that the work file takes for the
// same key) are numbered when the index is built, so a page computes each one's time once and
// folds no path again.
class StatTaskIndex {
public:
  // The lines in one of the two orders; a line's fields are copied out when asked for.
  class Lines {
  public:
    size_t size() const;
    bool empty() const { return size() == 0; }
    StatTask operator[](size_t i) const;
    StatTask front() const { return (*this)[0]; }

  private:
    friend class StatTaskIndex;
    Lines(const StatTaskIndex& index, bool byGroup) : index_(&index), byGroup_(byGroup) {}
    const StatTaskIndex* index_;
    bool byGroup_;
  };

  // Takes every task-list line (path TAB description TAB group) whose group is not "0".
  void Build(const TStrings& taskList);

  // Ordered by description (ignoring case), then path, then group.
  Lines ByName() const { return Lines(*this, false); }
  // Ordered by group (ignoring case), then description, then path.
  Lines ByGroup() const { return Lines(*this, true); }
  // The fields of by-name line nameLine, and the by-name line of by-group line groupLine.
  std::string_view Path(size_t nameLine) const;
  std::string_view Description(size_t nameLine) const;
  std::string_view Group(size_t nameLine) const;
  size_t NameLineOfGroupLine(size_t groupLine) const { return static_cast<size_t>(groupToName_[groupLine]); }

  // The nodes of the first tree ("total", then the groups with their tasks) or of the
  // second ("none", "total", then the same). groupName gives a group node's text.
  std::vector<StatTaskNode> Tree(bool comparison, const std::function<std::string(int)>& groupName) const;

  // The seconds a key stands for on one day (one section of the work file): "total" the
  // day's total; a group number the sum over the group's tasks; any other text the sum
  // over the tasks with that description. A program that stands on several lines of the
  // same key is counted once. Missing or unreadable values count zero.
  int64_t SecondsOnDay(const WorkFile& work, const std::string& section, const std::string& key) const;
  // How often a key counts each key number of the reader on a day (indexed by number; a
  // number past the end counts zero): the day's seconds of the key are the sum of each
  // value's seconds times its count.
  std::vector<int> KeyWeights(const std::string& key, StatDayReader& reader) const;
  // The seconds of each program, given the seconds of each key number of the reader (a
  // number past the end counts zero).
  std::vector<int64_t> ProgramSeconds(const std::vector<int64_t>& secondsByKey, StatDayReader& reader) const;
  // The seconds of the description of by-name line nameLine, weighed as KeyWeights weighs
  // that description, from the seconds of each key number and of each program
  // (ProgramSeconds of the same). False when an earlier line of the same description
  // (ignoring case) has the very same spelling: the description was summed there.
  bool DescriptionSeconds(size_t nameLine, const std::vector<int64_t>& secondsByKey,
                          const std::vector<int64_t>& secondsByProgram, StatDayReader& reader,
                          int64_t& seconds) const;

private:
  // Where a line's fields stand in text_.
  struct Line {
    uint32_t chunk;
    uint32_t offset;
    uint32_t pathSize;
    uint32_t descriptionSize;
    uint32_t groupSize;
  };
  enum LineFlag : uint8_t {
    // its description and path equal the previous line's, ignoring case as CompareText does
    SamePathAsBefore = 1,
    SpelledBefore = 2,     // an earlier line of its description (ignoring case) is spelled alike
    SameDescriptionAsBefore = 4,  // its description equals the previous line's, ignoring case
    SpelledAsBefore = 8,          // its description is the previous line's, spelled alike
  };

  // Numbers the programs with the fold now in use (again when the code page changed); order
  // (or empty) is the order in which to read the by-name lines' paths first.
  void NumberPrograms(const StatKeyFold& fold, const std::vector<int>& order) const;
  const StatKeyFold& Programs() const;
  // The bits of a hash kept in a program's slot, and whether a slot holds the program of key
  // (its number then in program).
  uint32_t ProgramTag(size_t hash) const;
  bool SameProgram(uint32_t entry, uint32_t tag, std::string_view key, const StatKeyFold& fold, int& program) const;
  // The number of the program in a slot that is not empty.
  int ProgramInSlot(uint32_t entry) const;
  // The program of key (its hash given), or -1 when no line has it.
  int FindProgram(std::string_view key, size_t hash, const StatKeyFold& fold) const;
  // Notes the program of each of the reader's key numbers ids in keyProgram_, some at a time,
  // with the memory each lookup will read asked for ahead (its slot, its program's line, that
  // line's path): otherwise each waits for these one after the other, and a lookup rarely finds
  // any of them at hand.
  void LookUpPrograms(const std::vector<int>& ids, StatDayReader& reader, const StatKeyFold& fold) const;
  // The reader's number of a program's key.
  int KeyOfProgram(int program, StatDayReader& reader) const;
  // Remembers numbers for the reader last asked with.
  void FollowReader(const StatDayReader& reader) const;
  std::string_view Bytes(const Line& line) const;

  // Each line's path, description and group, back to back, in list order, in chunks that are
  // filled up to their first capacity and never moved.
  std::vector<std::string> text_;
  std::vector<Line> lines_;   // by name
  std::vector<uint8_t> flags_;    // per by-name line
  // Per by-name line: the number of its description's spelling (alike for lines spelled
  // exactly alike).
  std::vector<uint32_t> spelling_;
  size_t groupCount_ = 0;  // groups, ignoring case
  std::vector<int> groupToName_;  // per by-group line: the same line in the by-name list
  // Programs: per by-name line its program, per program a line of it, and an
  // open table of programs by hash.
  mutable const StatKeyFold* programFold_ = nullptr;
  mutable std::vector<int> program_;
  mutable std::vector<int> programLine_;
  // Each slot the program's number + 1 in its low programEntryBits_ bits and as many bits of
  // its hash above them, so that most programs of another hash are passed without reading
  // their path; 0 for an empty slot.
  mutable std::vector<uint32_t> programSlots_;
  mutable int programEntryBits_ = 1;
  // For the reader last asked with: per key number its program (-2 not looked up), per
  // program its key number (-1 not numbered).
  mutable int64_t readerSerial_ = -1;
  mutable std::vector<int> keyProgram_;
  mutable std::vector<int> programKey_;
};

inline std::string_view StatTaskIndex::Path(size_t nameLine) const {
  const Line& line = lines_[nameLine];
  return std::string_view(text_[line.chunk]).substr(line.offset, line.pathSize);
}

inline std::string_view StatTaskIndex::Description(size_t nameLine) const {
  const Line& line = lines_[nameLine];
  return std::string_view(text_[line.chunk]).substr(line.offset + line.pathSize, line.descriptionSize);
}

inline std::string_view StatTaskIndex::Group(size_t nameLine) const {
  const Line& line = lines_[nameLine];
  return std::string_view(text_[line.chunk]).substr(line.offset + line.pathSize + line.descriptionSize, line.groupSize);
}

// The key of a node: "none" and "total" by their text, a task node its whole description,
// a group node its group number.
std::string NodeKey(const StatTaskNode& node, const StatTaskIndex& index);

// ---- Week table ---------------------------------------------------------------------------

// The text of a total: "hh:nn" below a day, else the days, a space, the word for one day
// (oneDay) or more days (days), a space and "hh:nn".
std::string FormatDaysTotal(int64_t seconds, const std::string& oneDay, const std::string& days);

// A date's label in the table: the day and month of its short date, in the order and with
// the separator the short date format gives ("15.03.2001" gives "15.03", "2001/03/15" gives
// "03/15"). A format without them: the short date cut before the date separator found from
// the fourth character on.
std::string DayLabel(TDateTime date);

// The share of total 2 in total 1 as "25.00%" (the locale's decimal separator); empty
// when either is not above zero.
std::string SharePercent(int64_t total1, int64_t total2);

// Which mark colours a day's date: 1 no time, 2 or 3 at least that many whole hours, 0 none.
int DayMark(bool hasTime, int64_t seconds, int mark2Hours, int mark3Hours);

struct WeekTableInput {
  TDateTime dateFrom = 0;
  TDateTime dateTo = 0;
  bool sundayFirst = false;  // "Sun - Sat"; else "Mon - Sun"
  std::string user;
  std::string key1;
  std::string key2;          // NoneKey: no comparison
};

class WeekTable {
public:
  // Reads the key's times of every day of the range from the work file.
  void Compute(const WeekTableInput& input, const StatTaskIndex& index, const WorkFile& work);
  // The same through a reader kept from an earlier computation over the same file: the keys
  // it has numbered are not folded again.
  void Compute(const WeekTableInput& input, const StatTaskIndex& index, StatDayReader& reader);

  int DayCount() const { return dayCount_; }
  // The column (0..6) of the range's first day.
  int FirstColumn() const { return firstColumn_; }
  int Rows() const { return rows_; }
  bool SundayFirst() const { return sundayFirst_; }
  bool Comparison() const { return comparison_; }
  // The day of a cell, or false for a cell outside the range.
  bool CellDay(int col, int row, TDateTime& date) const;
  // Seconds of key 1 (which 1) or key 2 (which 2) on a cell's day (0 outside the range).
  int64_t DaySeconds(int col, int row, int which) const;
  int64_t WeekSeconds(int row, int which) const;
  int64_t Total1() const { return total1_; }
  int64_t Total2() const { return total2_; }

  // The table text of a cell: a day's label TAB time 1 TAB time 2 (a time "hh:nn:ss",
  // empty when there is none); the week column's two totals "hh:nn" TAB "hh:nn"; empty
  // outside the range.
  std::string CellText(int col, int row) const;
  // "Week" over the week column; the locale's short day name over a day column.
  std::string HeaderText(int col) const;
  bool WeekendColumn(int col) const;

private:
  int DayIndex(int col, int row) const;

  int dayCount_ = 0;
  int firstColumn_ = 0;
  int rows_ = 0;
  bool sundayFirst_ = false;
  bool comparison_ = false;
  TDateTime firstDay_ = 0;
  std::vector<int64_t> day1_, day2_;
  std::vector<int64_t> week1_, week2_;
  int64_t total1_ = 0, total2_ = 0;
};

// The column of the first day of a range of dayCount days ending on dateTo.
int FirstWeekColumn(TDateTime dateTo, int dayCount, bool sundayFirst);
// The number of week rows of a range that starts in column firstColumn.
int WeekRows(int firstColumn, int dayCount);
