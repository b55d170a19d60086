#pragma once
// INI stores. TCustomIniFile is the common interface (sections of name=value pairs) with the
// typed readers and writers built on text values; TMemIniFile holds a whole INI file in
// memory and writes it back in one piece.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/persistent.h"

class TStrings;

class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(const std::string& fileName) : fileName_(fileName) {}
  std::string ClassName() const override { return "TCustomIniFile"; }
  const std::string& FileName() const { return fileName_; }

  virtual std::string ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) = 0;
  virtual void WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
  // Each of these clears strings first: the key names of a section, the section names,
  // the key=value lines of a section.
  virtual void ReadSection(const std::string& section, TStrings* strings) = 0;
  virtual void ReadSections(TStrings* strings) = 0;
  virtual void ReadSectionValues(const std::string& section, TStrings* strings);
  virtual void EraseSection(const std::string& section) = 0;
  virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
  // Makes the store's content permanent.
  virtual void UpdateFile() = 0;
  virtual bool SectionExists(const std::string& section);
  virtual bool ValueExists(const std::string& section, const std::string& ident);

  // Numbers may carry blanks around them; a missing or unreadable value gives the default.
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  // Stored as "1" and "0"; any integer other than 0 reads as true.
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  double ReadFloat(const std::string& section, const std::string& ident, double defaultValue,
                   char decimalSeparator = '.');
  void WriteFloat(const std::string& section, const std::string& ident, double value,
                  char decimalSeparator = '.');

protected:
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }

private:
  std::string fileName_;
};

// The file is read whole at construction (a missing file reads as empty) and written only
// by UpdateFile, atomically.
//
// Reading rules:
// - Lines may end in CR LF, LF or CR. Blank lines are dropped.
// - A line that, without its edge blanks, starts with "[" and ends with "]" opens a section;
//   the name is everything between the brackets, kept as it is (TAB and blanks included).
//   A section that appears twice is read as one.
// - In a section, a line with "=" is a key: the name is the text before the first "=" with
//   its edge blanks removed, the value is everything after it, kept as it is.
// - Comment lines (";"), lines without "=", a repeated key of a section and lines before
//   the first section are not readable values but are kept and written back in place.
// Section and key names are compared without regard to case (the user's locale).
//
// Writing: "[Section]" CR LF, then "key=value" CR LF per key; sections are separated by one
// empty line. New sections and keys go at the end, existing ones keep their place.
// WriteString refuses (EIniFileException) what could not be read back: a line break in any
// part, or a key containing "=" or starting with ";" or "[".
class TMemIniFile : public TCustomIniFile {
public:
  explicit TMemIniFile(const std::string& fileName);
  std::string ClassName() const override { return "TMemIniFile"; }

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  void ReadSection(const std::string& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const std::string& section, TStrings* strings) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  // Raises (and leaves the old file as it was) when the file cannot be replaced.
  void UpdateFile() override;
  // True for a section that is present, even without keys.
  bool SectionExists(const std::string& section) override;
  bool ValueExists(const std::string& section, const std::string& ident) override;

  void Clear();
  // The whole content as the lines UpdateFile would write.
  void GetStrings(TStrings* strings);
  // Replaces the whole content by the given lines, read as a file is.
  void SetStrings(TStrings* strings);
  // Switches to another file; with reload its content replaces what is held.
  void Rename(const std::string& fileName, bool reload);

private:
  struct Entry {
    std::string key;  // the whole line for a kept line that is no value
    std::string value;
    uint64_t hash;  // of the folded key
    bool isValue;
  };
  // Keys are found by the hash of their folded form: by a look along the entries while the
  // section is small, through an open-addressed table of positions once it has grown.
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::vector<uint32_t> slots;  // entry position + 1; 0 is free; empty while small
  };

  void LoadFromFile();
  void LoadText(const std::string& text);
  void ParseLine(std::string_view line);
  std::string BuildText() const;
  Section* FindSection(const std::string& name);
  size_t SectionFor(const std::string& name);  // finds or appends
  static size_t FindKey(const Section& section, const std::string& folded, uint64_t hash);
  static const Entry* FindEntry(const Section& section, const std::string& ident);
  static void AppendKey(Section& section, std::string key, std::string value, uint64_t hash);
  static void IndexSection(Section& section);

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> section
  size_t parsing_ = SIZE_MAX;  // index of the section being read; none before the first
};
