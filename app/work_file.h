#pragma once
// The work file (hl20work.txt) kept as its bytes. Years of days make it tens of megabytes,
// while the tracker only ever reads or changes one section at a time: the file is read
// whole, only its section lines are indexed, a section is parsed when it is asked for, and
// saving puts the changed sections in place of the old ones and copies every other byte as
// it was.
//
// The section names are folded once, when the file is read; the section read last is kept
// parsed, as its keys are usually asked for one after another.
//
// Sections and keys read as an INI file held by TMemIniFile, with one difference: lines end
// in CR LF, LF or CR; a line that, without its edge blanks, starts with "[" and ends with "]"
// opens a section (names compare without regard to case, a section that appears twice is
// one); a key is the text before the LAST "=" without its edge blanks, its value everything
// after (the keys are program paths, which may hold "=", and the values are times, which
// never do); blank lines, comments (";"), lines without "=" and repeated keys are no values,
// and the latter three are kept in place when their section is written again.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStrings;

class WorkFile {
public:
  // Reads the whole file; a missing file is empty. Raises when the file exists but cannot
  // be read.
  explicit WorkFile(const std::string& fileName);
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;

  // The form in which section names and keys compare (they ignore case).
  static std::string FoldName(std::string_view name);

  // Every section name in file order, each once.
  std::vector<std::string> SectionNames() const;
  // Replaces lines by key=value for every key of the section (none for a missing section).
  void ReadSectionValues(const std::string& section, TStrings& lines) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Calls visit(key, value) for every key=value line of a section in file order, the key
  // without its edge blanks. A repeated key is passed again; only its first value counts, as
  // for ReadString. The views hold until the file is changed.
  void VisitValues(const std::string& section,
                   const std::function<void(std::string_view key, std::string_view value)>& visit) const;
  // Sets a key's value; a new key goes to the end of its section, a new section to the end
  // of the file. Raises EIniFileException for what could not be read back: a line break
  // anywhere, a key that starts with ";" or "[", or a value that holds "=".
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Counts the writes, so that one who keeps what was read can tell that it may be stale.
  uint64_t Changes() const { return changes_; }
  // Replaces the file atomically; raises when that fails (the old file stays as it was).
  void UpdateFile() const;

private:
  struct Entry {
    std::string key;  // the whole line for a line that is no value
    std::string value;
    bool isValue;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> keyIndex;  // folded key -> entry
  };
  // One "[name]" line of the file, and the lines up to the next one.
  struct Header {
    size_t lineBegin;     // where the header line starts
    size_t contentEnd;    // after the line break of the section's last non-blank line
    std::string_view name;
  };

  // Finds the header lines and where each section's content ends.
  void IndexHeaders();
  // The occurrences of a section in the file, first to last (indexes into headers_).
  const std::vector<size_t>& Occurrences(const std::string& foldedName) const;
  // Calls visit(line, eq) for each non-blank line of the section's occurrences after its
  // header: eq is where the "=" of a key stands, npos for a line that is no value.
  template <typename Visit>
  void ForEachLine(const std::string& foldedName, Visit visit) const;
  Section Parse(const std::string& foldedName) const;
  const Section* Edited(const std::string& foldedName) const;
  // The section as it would be read: the changed one, else the file's, parsed once.
  const Section& Current(const std::string& foldedName) const;

  std::string fileName_;
  std::string bytes_;
  std::vector<Header> headers_;
  std::unordered_map<std::string, std::vector<size_t>> sectionIndex_;  // folded name -> headers
  mutable std::string parsedName_;  // folded name of parsed_
  mutable Section parsed_;
  mutable bool parsedValid_ = false;
  std::unordered_map<std::string, Section> edited_;  // folded name -> section to write
  std::vector<std::string> editOrder_;
  uint64_t changes_ = 0;                // folded names of new sections, in order
};
