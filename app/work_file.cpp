#include "app/work_file.h"

#include <algorithm>
#include <cstring>
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

WorkFile::WorkFile(const std::string& fileName) : fileName_(fileName) {
  if (!fileName_.empty() && FileExists(fileName_)) {
    TFileStream file(fileName_, fmOpenRead | fmShareDenyWrite);
    bytes_ = file.ReadRest();
  }
  LineReader lines(bytes_, 0, bytes_.size());
  std::string_view line;
  size_t begin, next;
  while (lines.Next(line, begin, next)) {
    // Most lines are keys: only a line whose first non-blank byte is "[" needs a closer look.
    const std::string_view trimmed = TrimView(line);
    if (IsSectionLine(trimmed))
      headers_.push_back(Header{begin, next, trimmed.substr(1, trimmed.size() - 2)});
    else if (!trimmed.empty() && !headers_.empty())
      headers_.back().contentEnd = next;
  }
}

std::vector<const WorkFile::Header*> WorkFile::Occurrences(const std::string& foldedName) const {
  std::vector<const Header*> found;
  for (const Header& header : headers_)
    if (header.name.size() == foldedName.size() && Fold(header.name) == foldedName)
      found.push_back(&header);
  return found;
}

WorkFile::Section WorkFile::Parse(const std::string& foldedName) const {
  Section section;
  bool first = true;
  for (const Header* header : Occurrences(foldedName)) {
    if (first) section.name = std::string(header->name);
    first = false;
    LineReader lines(bytes_, header->lineBegin, header->contentEnd);
    std::string_view line;
    size_t begin, next;
    lines.Next(line, begin, next);  // the "[name]" line itself
    while (lines.Next(line, begin, next)) {
      const std::string_view trimmed = TrimView(line);
      if (trimmed.empty()) continue;
      const size_t eq = trimmed.front() == ';' ? std::string_view::npos : line.find('=');
      if (eq != std::string_view::npos) {
        std::string key(TrimView(line.substr(0, eq)));
        if (section.keyIndex.emplace(Fold(key), section.entries.size()).second) {
          section.entries.push_back(Entry{std::move(key), std::string(line.substr(eq + 1)), true});
          continue;
        }
      }
      section.entries.push_back(Entry{std::string(line), std::string(), false});
    }
  }
  return section;
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
  const std::string folded = Fold(section);
  const Section* edited = Edited(folded);
  const Section parsed = edited == nullptr ? Parse(folded) : Section();
  TStringList values;
  for (const Entry& entry : (edited != nullptr ? edited : &parsed)->entries)
    if (entry.isValue) values.Add(entry.key + "=" + entry.value);
  lines.Assign(&values);
}

std::string WorkFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const std::string folded = Fold(section);
  const Section* edited = Edited(folded);
  const Section parsed = edited == nullptr ? Parse(folded) : Section();
  const Section& s = edited != nullptr ? *edited : parsed;
  auto it = s.keyIndex.find(Fold(Trim(key)));
  return it == s.keyIndex.end() ? defaultValue : s.entries[it->second].value;
}

void WorkFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string ident = Trim(key);
  if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value))
    throw EIniFileException("A line break cannot be stored in an INI file");
  if (ident.find('=') != std::string::npos || (!ident.empty() && (ident[0] == ';' || ident[0] == '[')))
    throw EIniFileException("\"" + ident + "\" cannot be used as a key in an INI file");
  const std::string folded = Fold(section);
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

  std::string out;
  out.reserve(bytes_.size() + 4096);
  size_t copied = 0;
  std::unordered_set<std::string> written;
  for (const Header& header : headers_) {
    // Only a header as long as a changed section's name can be one of them.
    const bool candidate = std::any_of(edited_.begin(), edited_.end(), [&](const auto& item) {
      return item.first.size() == header.name.size();
    });
    if (!candidate) continue;
    const std::string folded = Fold(header.name);
    const Section* edited = Edited(folded);
    if (edited == nullptr) continue;
    out.append(bytes_, copied, header.lineBegin - copied);
    // A section that stood twice is written once, where it first stood.
    if (written.insert(folded).second) out += sectionText(*edited);
    copied = header.contentEnd;
  }
  out.append(bytes_, copied, std::string::npos);
  for (const std::string& folded : editOrder_) {
    if (!out.empty()) {
      if (out.back() != '\n' && out.back() != '\r') out += "\r\n";
      out += "\r\n";
    }
    out += sectionText(edited_.at(folded));
  }
  WriteFileAtomically(fileName_, out);
}
