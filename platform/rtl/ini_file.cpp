#include "platform/rtl/ini_file.h"

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// Names are looked up by their upper-cased form, so hashing and equality agree.
std::string Fold(const std::string& name) { return AnsiUpperCase(name); }
std::string FoldKey(const std::string& ident) { return AnsiUpperCase(Trim(ident)); }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// FNV-1a over the folded name.
uint64_t HashOf(const std::string& folded) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : folded) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

constexpr size_t kNotFound = SIZE_MAX;
// Up to this many entries a section is searched without a table.
constexpr size_t kLinearLimit = 16;

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Keeps a list's update bracket balanced while it is refilled.
class Refill {
public:
  explicit Refill(TStrings* strings) : strings_(strings) {
    strings_->BeginUpdate();
    strings_->Clear();
  }
  ~Refill() { strings_->EndUpdate(); }
  Refill(const Refill&) = delete;
  Refill& operator=(const Refill&) = delete;

private:
  TStrings* strings_;
};

}  // namespace

// ---- TCustomIniFile --------------------------------------------------------------------

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
  TStringList keys;
  ReadSection(section, &keys);
  Refill refill(strings);
  for (int i = 0; i < keys.Count(); ++i)
    strings->Add(keys.Strings(i) + "=" + ReadString(section, keys.Strings(i), ""));
}

bool TCustomIniFile::SectionExists(const std::string& section) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.IndexOf(ident) >= 0;
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                int defaultValue) {
  return StrToIntDef(Trim(ReadString(section, ident, "")), defaultValue);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident,
                                  int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident,
                              bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident,
                               bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident,
                                 double defaultValue, char decimalSeparator) {
  double value;
  if (TryStrToFloat(Trim(ReadString(section, ident, "")), value, decimalSeparator)) return value;
  return defaultValue;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident,
                                double value, char decimalSeparator) {
  WriteString(section, ident, FloatToStr(value, decimalSeparator));
}

// ---- TMemIniFile: reading --------------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& fileName) : TCustomIniFile(fileName) {
  LoadFromFile();
}

void TMemIniFile::LoadFromFile() {
  Clear();
  if (FileName().empty() || !FileExists(FileName())) return;
  TFileStream file(FileName(), fmOpenRead | fmShareDenyWrite);
  LoadText(file.ReadRest());
}

void TMemIniFile::LoadText(const std::string& text) {
  Clear();
  std::string_view rest(text);
  while (!rest.empty()) {
    size_t end = rest.find_first_of("\r\n");
    ParseLine(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    end += (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ? 2 : 1;
    rest.remove_prefix(end);
  }
  parsing_ = SIZE_MAX;
}

void TMemIniFile::ParseLine(std::string_view line) {
  std::string_view trimmed = TrimView(line);
  if (trimmed.empty()) return;
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    parsing_ = SectionFor(std::string(trimmed.substr(1, trimmed.size() - 2)));
    return;
  }
  if (parsing_ == SIZE_MAX) {
    preamble_.emplace_back(line);
    return;
  }
  Section& section = sections_[parsing_];
  size_t eq = trimmed.front() == ';' ? std::string_view::npos : line.find('=');
  if (eq != std::string_view::npos) {
    std::string key(TrimView(line.substr(0, eq)));
    std::string folded = Fold(key);
    uint64_t hash = HashOf(folded);
    if (FindKey(section, folded, hash) == kNotFound) {
      AppendKey(section, std::move(key), std::string(line.substr(eq + 1)), hash);
      return;
    }
  }
  // Comment, junk or a repeated key: kept as it stands, not readable as a value.
  section.entries.push_back(Entry{std::string(line), std::string(), 0, false});
}

size_t TMemIniFile::FindKey(const Section& section, const std::string& folded, uint64_t hash) {
  auto matches = [&](size_t i) {
    const Entry& entry = section.entries[i];
    return entry.isValue && entry.hash == hash && Fold(entry.key) == folded;
  };
  if (section.slots.empty()) {
    for (size_t i = 0; i < section.entries.size(); ++i)
      if (matches(i)) return i;
    return kNotFound;
  }
  const size_t mask = section.slots.size() - 1;
  for (size_t j = hash & mask; section.slots[j] != 0; j = (j + 1) & mask)
    if (matches(section.slots[j] - 1)) return section.slots[j] - 1;
  return kNotFound;
}

void TMemIniFile::AppendKey(Section& section, std::string key, std::string value,
                            uint64_t hash) {
  section.entries.push_back(Entry{std::move(key), std::move(value), hash, true});
  const size_t count = section.entries.size();
  if (count <= kLinearLimit) return;
  if (section.slots.size() < 2 * count) {  // keeps the table at most half full
    IndexSection(section);
    return;
  }
  const size_t mask = section.slots.size() - 1;
  size_t j = hash & mask;
  while (section.slots[j] != 0) j = (j + 1) & mask;
  section.slots[j] = static_cast<uint32_t>(count);
}

void TMemIniFile::IndexSection(Section& section) {
  section.slots.clear();
  const size_t count = section.entries.size();
  if (count <= kLinearLimit) return;
  size_t size = 64;
  while (size < 4 * count) size *= 2;
  section.slots.assign(size, 0);
  for (size_t i = 0; i < count; ++i) {
    if (!section.entries[i].isValue) continue;
    size_t j = section.entries[i].hash & (size - 1);
    while (section.slots[j] != 0) j = (j + 1) & (size - 1);
    section.slots[j] = static_cast<uint32_t>(i + 1);
  }
}

TMemIniFile::Section* TMemIniFile::FindSection(const std::string& name) {
  auto it = sectionIndex_.find(Fold(name));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

size_t TMemIniFile::SectionFor(const std::string& name) {
  auto inserted = sectionIndex_.emplace(Fold(name), sections_.size());
  if (inserted.second) {
    sections_.push_back(Section{name, {}, {}});
    sections_.back().entries.reserve(8);  // a typical section; saves regrowing it
  }
  return inserted.first->second;
}

const TMemIniFile::Entry* TMemIniFile::FindEntry(const Section& section,
                                                 const std::string& ident) {
  std::string folded = FoldKey(ident);
  size_t index = FindKey(section, folded, HashOf(folded));
  return index == kNotFound ? nullptr : &section.entries[index];
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  const Section* s = FindSection(section);
  const Entry* entry = s == nullptr ? nullptr : FindEntry(*s, ident);
  return entry == nullptr ? defaultValue : entry->value;
}

void TMemIniFile::ReadSection(const std::string& section, TStrings* strings) {
  Refill refill(strings);
  if (const Section* s = FindSection(section))
    for (const Entry& entry : s->entries)
      if (entry.isValue) strings->Add(entry.key);
}

void TMemIniFile::ReadSections(TStrings* strings) {
  Refill refill(strings);
  for (const Section& s : sections_) strings->Add(s.name);
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
  Refill refill(strings);
  if (const Section* s = FindSection(section))
    for (const Entry& entry : s->entries)
      if (entry.isValue) strings->Add(entry.key + "=" + entry.value);
}

bool TMemIniFile::SectionExists(const std::string& section) {
  return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& ident) {
  const Section* s = FindSection(section);
  return s != nullptr && FindEntry(*s, ident) != nullptr;
}

// ---- TMemIniFile: changing -------------------------------------------------------------

void TMemIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  std::string key = Trim(ident);
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    throw EIniFileException("A line break cannot be stored in an INI file");
  if (key.find('=') != std::string::npos || (!key.empty() && (key[0] == ';' || key[0] == '[')))
    throw EIniFileException("\"" + key + "\" cannot be used as a key in an INI file");
  Section& s = sections_[SectionFor(section)];
  std::string folded = Fold(key);
  uint64_t hash = HashOf(folded);
  size_t index = FindKey(s, folded, hash);
  if (index == kNotFound)
    AppendKey(s, std::move(key), value, hash);
  else
    s.entries[index].value = value;
}

void TMemIniFile::EraseSection(const std::string& section) {
  auto it = sectionIndex_.find(Fold(section));
  if (it == sectionIndex_.end()) return;
  size_t index = it->second;
  sectionIndex_.erase(it);
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(index));
  for (auto& item : sectionIndex_)
    if (item.second > index) --item.second;
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Section* s = FindSection(section);
  if (s == nullptr) return;
  std::string folded = FoldKey(ident);
  size_t index = FindKey(*s, folded, HashOf(folded));
  if (index == kNotFound) return;
  s->entries.erase(s->entries.begin() + static_cast<std::ptrdiff_t>(index));
  IndexSection(*s);  // positions after it have moved
}

void TMemIniFile::Clear() {
  preamble_.clear();
  sections_.clear();
  sectionIndex_.clear();
  parsing_ = SIZE_MAX;
}

void TMemIniFile::SetStrings(TStrings* strings) { LoadText(strings->Text()); }

void TMemIniFile::GetStrings(TStrings* strings) { strings->SetText(BuildText()); }

void TMemIniFile::Rename(const std::string& fileName, bool reload) {
  SetFileName(fileName);
  if (reload) LoadFromFile();
}

// ---- TMemIniFile: writing --------------------------------------------------------------

std::string TMemIniFile::BuildText() const {
  std::string text;
  for (const std::string& line : preamble_) text.append(line).append("\r\n");
  for (const Section& s : sections_) {
    if (!text.empty()) text.append("\r\n");
    text.append("[").append(s.name).append("]\r\n");
    for (const Entry& entry : s.entries) {
      text.append(entry.key);
      if (entry.isValue) text.append("=").append(entry.value);
      text.append("\r\n");
    }
  }
  return text;
}

void TMemIniFile::UpdateFile() { WriteFileAtomically(FileName(), BuildText()); }
