#include "app/work_file.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_set>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// Names compare by their upper-cased form, as the INI reader compares them.
std::string Fold(std::string_view name) { return AnsiUpperCase(std::string(name)); }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Walks the lines of a text in [from, to). Lines end at CR LF, LF or CR. The next CR and the
// next LF are each searched for once and remembered, so a file with only one kind of line
// end is still read in one pass.
class LineReader {
public:
  LineReader(std::string_view text, size_t from, size_t to)
      : text_(text.substr(0, to)), pos_(from), cr_(Find('\r')), lf_(Find('\n')) {}

  // line: the line without its end; next: where the following line starts.
  bool Next(std::string_view& line, size_t& begin, size_t& next) {
    if (pos_ >= text_.size()) return false;
    if (cr_ < pos_) cr_ = Find('\r');
    if (lf_ < pos_) lf_ = Find('\n');
    const size_t end = std::min(cr_, lf_);
    begin = pos_;
    line = text_.substr(pos_, end - pos_);
    next = end;
    if (end < text_.size()) next += (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ? 2 : 1;
    pos_ = next;
    return true;
  }

private:
  size_t Find(char c) const {
    if (pos_ >= text_.size()) return text_.size();
    const void* hit = std::memchr(text_.data() + pos_, c, text_.size() - pos_);
    return hit == nullptr ? text_.size() : static_cast<size_t>(static_cast<const char*>(hit) - text_.data());
  }

  std::string_view text_;
  size_t pos_;
  size_t cr_;
  size_t lf_;
};

bool IsSectionLine(std::string_view trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

}  // namespace

std::string WorkFile::FoldName(std::string_view name) { return Fold(name); }

void WorkFile::IndexHeaders() {
  // Only a line whose first non-blank byte is "[" can open a section, so the search jumps
  // from "[" to "[" and never splits the key lines that make up nearly all of the file.
  const std::string_view text = bytes_;
  const size_t size = text.size();
  auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
  auto lineEnd = [&](size_t from) {
    while (from < size && !isBreak(text[from])) ++from;
    return from;
  };
  auto afterBreak = [&](size_t end) {
    if (end >= size) return size;
    return end + (text[end] == '\r' && end + 1 < size && text[end + 1] == '\n' ? 2 : 1);
  };
  size_t pos = 0;
  while (pos < size) {
    const void* hit = std::memchr(text.data() + pos, '[', size - pos);
    if (hit == nullptr) break;
    const size_t bracket = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    size_t begin = bracket;
    while (begin > 0 && !isBreak(text[begin - 1]) && static_cast<unsigned char>(text[begin - 1]) <= ' ') --begin;
    if (begin > 0 && !isBreak(text[begin - 1])) {
      pos = bracket + 1;  // "[" inside a line
      continue;
    }
    const size_t end = lineEnd(bracket);
    const size_t next = afterBreak(end);
    const std::string_view trimmed = TrimView(text.substr(begin, end - begin));
    if (IsSectionLine(trimmed)) headers_.push_back(Header{begin, next, trimmed.substr(1, trimmed.size() - 2)});
    pos = next;
  }
  // A section's content ends after the line break of its last non-blank line before the
  // next header.
  for (size_t i = 0; i < headers_.size(); ++i) {
    const size_t from = headers_[i].contentEnd;
    size_t last = i + 1 < headers_.size() ? headers_[i + 1].lineBegin : size;
    while (last > from && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    if (last > from) headers_[i].contentEnd = afterBreak(lineEnd(last));
  }
}

WorkFile::WorkFile(const std::string& fileName) : fileName_(fileName) {
  if (!fileName_.empty() && FileExists(fileName_)) {
    TFileStream file(fileName_, fmOpenRead | fmShareDenyWrite);
    bytes_ = file.ReadRest();
  }
  IndexHeaders();
  for (size_t i = 0; i < headers_.size(); ++i) sectionIndex_[Fold(headers_[i].name)].push_back(i);
}

const std::vector<size_t>& WorkFile::Occurrences(const std::string& foldedName) const {
  static const std::vector<size_t> none;
  auto it = sectionIndex_.find(foldedName);
  return it == sectionIndex_.end() ? none : it->second;
}

template <typename Visit>
void WorkFile::ForEachLine(const std::string& foldedName, Visit visit) const {
  for (size_t h : Occurrences(foldedName)) {
    const Header& header = headers_[h];
    LineReader lines(bytes_, header.lineBegin, header.contentEnd);
    std::string_view line;
    size_t begin, next;
    lines.Next(line, begin, next);  // the "[name]" line itself
    while (lines.Next(line, begin, next)) {
      const std::string_view trimmed = TrimView(line);
      if (trimmed.empty()) continue;
      visit(line, trimmed.front() == ';' ? std::string_view::npos : line.rfind('='));
    }
  }
}

WorkFile::Section WorkFile::Parse(const std::string& foldedName) const {
  Section section;
  const std::vector<size_t>& occurrences = Occurrences(foldedName);
  if (!occurrences.empty()) section.name = std::string(headers_[occurrences.front()].name);
  ForEachLine(foldedName, [&section](std::string_view line, size_t eq) {
    if (eq != std::string_view::npos) {
      std::string key(TrimView(line.substr(0, eq)));
      if (section.keyIndex.emplace(Fold(key), section.entries.size()).second) {
        section.entries.push_back(Entry{std::move(key), std::string(line.substr(eq + 1)), true});
        return;
      }
    }
    section.entries.push_back(Entry{std::string(line), std::string(), false});
  });
  return section;
}

const WorkFile::Section& WorkFile::Current(const std::string& foldedName) const {
  if (const Section* edited = Edited(foldedName)) return *edited;
  if (!parsedValid_ || parsedName_ != foldedName) {
    parsedValid_ = false;
    parsed_ = Parse(foldedName);
    parsedName_ = foldedName;
    parsedValid_ = true;
  }
  return parsed_;
}

const WorkFile::Section* WorkFile::Edited(const std::string& foldedName) const {
  auto it = edited_.find(foldedName);
  return it == edited_.end() ? nullptr : &it->second;
}

std::vector<std::string> WorkFile::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Header& header : headers_)
    if (seen.insert(Fold(header.name)).second) names.emplace_back(header.name);
  for (const std::string& folded : editOrder_) names.push_back(edited_.at(folded).name);
  return names;
}

void WorkFile::ReadSectionValues(const std::string& section, TStrings& lines) const {
  TStringList values;
  for (const Entry& entry : Current(Fold(section)).entries)
    if (entry.isValue) values.Add(entry.key + "=" + entry.value);
  lines.Assign(&values);
}

std::string WorkFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const Section& s = Current(Fold(section));
  auto it = s.keyIndex.find(Fold(Trim(key)));
  return it == s.keyIndex.end() ? defaultValue : s.entries[it->second].value;
}

void WorkFile::VisitValues(const std::string& section,
                           const std::function<void(std::string_view, std::string_view)>& visit) const {
  const std::string folded = Fold(section);
  if (const Section* edited = Edited(folded)) {
    for (const Entry& entry : edited->entries)
      if (entry.isValue) visit(entry.key, entry.value);
    return;
  }
  ForEachLine(folded, [&visit](std::string_view line, size_t eq) {
    if (eq != std::string_view::npos) visit(TrimView(line.substr(0, eq)), line.substr(eq + 1));
  });
}

void WorkFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string ident = Trim(key);
  if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value))
    throw EIniFileException("A line break cannot be stored in an INI file");
  if (!ident.empty() && (ident[0] == ';' || ident[0] == '['))
    throw EIniFileException("\"" + ident + "\" cannot be used as a key in an INI file");
  if (value.find('=') != std::string::npos)
    throw EIniFileException("\"" + value + "\" cannot be stored as a value in an INI file");
  const std::string folded = Fold(section);
  ++changes_;
  auto it = edited_.find(folded);
  if (it == edited_.end()) {
    Section parsed = Parse(folded);
    if (Occurrences(folded).empty()) {
      parsed.name = section;
      editOrder_.push_back(folded);
    }
    it = edited_.emplace(folded, std::move(parsed)).first;
  }
  Section& s = it->second;
  auto inserted = s.keyIndex.emplace(Fold(ident), s.entries.size());
  if (inserted.second)
    s.entries.push_back(Entry{ident, value, true});
  else
    s.entries[inserted.first->second].value = value;
}

void WorkFile::UpdateFile() const {
  auto sectionText = [](const Section& s) {
    std::string text = "[" + s.name + "]\r\n";
    for (const Entry& entry : s.entries) {
      text += entry.key;
      if (entry.isValue) text.append("=").append(entry.value);
      text += "\r\n";
    }
    return text;
  };

  // The file's headers of the changed sections, in file order.
  std::vector<std::pair<size_t, const std::string*>> replaced;
  for (const auto& [folded, section] : edited_)
    for (size_t h : Occurrences(folded)) replaced.emplace_back(h, &folded);
  std::sort(replaced.begin(), replaced.end());

  // The unchanged bytes are written from where they stand, between the new sections' texts.
  const std::string_view bytes = bytes_;
  std::vector<std::string_view> pieces;
  std::deque<std::string> texts;  // stays where it is as it grows, so the views hold
  auto addText = [&](std::string text) {
    texts.push_back(std::move(text));
    pieces.push_back(texts.back());
  };
  size_t copied = 0;
  std::unordered_set<std::string> written;
  for (const auto& [h, folded] : replaced) {
    const Header& header = headers_[h];
    pieces.push_back(bytes.substr(copied, header.lineBegin - copied));
    // A section that stood twice is written once, where it first stood.
    if (written.insert(*folded).second) addText(sectionText(edited_.at(*folded)));
    copied = header.contentEnd;
  }
  pieces.push_back(bytes.substr(copied));
  // The last byte written so far, to see whether the text before a new section ends its line.
  auto lastByte = [&pieces]() -> int {
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
      if (!it->empty()) return static_cast<unsigned char>(it->back());
    return -1;
  };
  for (const std::string& folded : editOrder_) {
    const int last = lastByte();
    if (last >= 0) addText(last != '\n' && last != '\r' ? "\r\n\r\n" : "\r\n");
    addText(sectionText(edited_.at(folded)));
  }
  WriteFileAtomically(fileName_, pieces);
}
