#include "app/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "app/task_data.h"
#include "app/work_file.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// The tree shows this much of a description.
constexpr size_t NodeTextLength = 36;

bool IsDecimal(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Up to four digits at text[pos], as the time parser reads a number.
bool Digits(std::string_view text, size_t& pos, int& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && pos - start < 4 && text[pos] >= '0' && text[pos] <= '9') value = value * 10 + (text[pos++] - '0');
  return pos > start && (pos == text.size() || text[pos] < '0' || text[pos] > '9');
}

// The common form of a stored time, "h:m:s" with one separator, read without the general
// parser; false for anything else.
bool PlainTimeSeconds(std::string_view text, char separator, int64_t& seconds) {
  size_t pos = 0;
  int h = 0, m = 0, s = 0;
  if (!Digits(text, pos, h) || pos >= text.size() || text[pos++] != separator) return false;
  if (!Digits(text, pos, m) || pos >= text.size() || text[pos++] != separator) return false;
  if (!Digits(text, pos, s) || pos != text.size()) return false;
  if (h >= 24 || m > 59 || s > 59) return false;
  seconds = h * 3600 + m * 60 + s;
  return true;
}

TDateTime SecondsToDays(int64_t seconds) { return static_cast<TDateTime>(seconds) / SecsPerDay; }

std::string TimeOrBlank(int64_t seconds) { return seconds > 0 ? FormatElapsed(SecondsToDays(seconds)) : std::string(); }

}  // namespace

// ---- Reading days ---------------------------------------------------------------------------

int64_t StoredTimeSeconds(std::string_view text) {
  int64_t seconds = 0;
  if (PlainTimeSeconds(text, ':', seconds) || PlainTimeSeconds(text, FormatSettings().TimeSeparator, seconds))
    return seconds;
  TDateTime value = 0;
  if (text.empty() || !TryStrToStoredTime(std::string(text), value) || value < 0) return 0;
  return static_cast<int64_t>(std::llround(value * SecsPerDay));
}

// ---- Folding keys ---------------------------------------------------------------------------

namespace {

std::string_view TrimmedView(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Hashes bytes as the table maps them, eight at a time.
size_t HashMapped(std::string_view text, const unsigned char* table) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  auto mix = [&h](uint64_t word) {
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
  };
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word = 0;
    for (int j = 0; j < 8; ++j) word |= static_cast<uint64_t>(table[p[j]]) << (8 * j);
    mix(word);
  }
  uint64_t word = 0;
  for (size_t j = 0; j < n; ++j) word |= static_cast<uint64_t>(table[p[j]]) << (8 * j);
  mix(word);
  return static_cast<size_t>(h ^ (h >> 32));
}

}  // namespace

StatKeyFold::StatKeyFold(FoldText fold, bool byteWise) : fold_(fold), byteWise_(byteWise) {
  for (int c = 0; c < 256; ++c) table_[c] = static_cast<unsigned char>(c);
  if (!byteWise_) return;
  // The code page's own fold of every byte; then of every pair of bytes, which shows a code
  // page whose fold of a character depends on its neighbour (one of several bytes without
  // lead bytes): such a one is folded whole.
  std::string bytes(256, '\0');
  for (int c = 0; c < 256; ++c) bytes[static_cast<size_t>(c)] = static_cast<char>(c);
  const std::string folded = fold_(bytes);
  std::string pairs;
  pairs.reserve(2 * 256 * 256);
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      pairs += static_cast<char>(a);
      pairs += static_cast<char>(b);
    }
  const std::string foldedPairs = fold_(pairs);
  byteWise_ = folded.size() == 256 && foldedPairs.size() == pairs.size();
  for (size_t i = 0; byteWise_ && i < pairs.size(); ++i)
    byteWise_ = foldedPairs[i] == folded[static_cast<unsigned char>(pairs[i])];
  if (byteWise_)
    for (int c = 0; c < 256; ++c) table_[c] = static_cast<unsigned char>(folded[static_cast<size_t>(c)]);
}

const StatKeyFold& StatKeyFold::Current() {
  if (AnsiHasLeadBytes()) {
    static const StatKeyFold whole(&WorkFile::FoldName, false);
    return whole;
  }
  static const StatKeyFold bytes(&WorkFile::FoldName, true);
  return bytes;
}

const StatKeyFold& StatKeyFold::Ordering() {
  const FoldText upper = [](std::string_view text) { return UpperCase(std::string(text)); };
  if (AnsiHasLeadBytes()) {
    static const StatKeyFold whole(upper, false);
    return whole;
  }
  static const StatKeyFold bytes(upper, true);
  return bytes;
}

size_t StatKeyFold::Hash(std::string_view key) const {
  if (byteWise_) return HashMapped(key, table_);
  return HashMapped(fold_(key), table_);
}

bool StatKeyFold::Equal(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  if (!byteWise_) return fold_(a) == fold_(b);
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a.data());
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b.data());
  for (size_t i = 0; i < a.size(); ++i)
    if (x[i] != y[i] && table_[x[i]] != table_[y[i]]) return false;
  return true;
}

void StatKeyFold::Append(std::string_view field, std::string& out) const {
  if (!byteWise_) {
    out += fold_(field);
    return;
  }
  const size_t at = out.size();
  out.append(field);
  for (size_t i = at; i < out.size(); ++i) out[i] = static_cast<char>(table_[static_cast<unsigned char>(out[i])]);
}

// ---- Reading days (continued) -----------------------------------------------------------------

StatDayReader::StatDayReader(const WorkFile& work, bool keepDays)
    : work_(work), changes_(work.Changes()), keepDays_(keepDays), fold_(StatKeyFold::Current()), slots_(64, 0) {
  static int64_t serials = 0;
  serial_ = ++serials;
}

void StatDayReader::Follow() {
  if (work_.Changes() == changes_) return;
  // The file was written: its values may have changed, and a spelling read from a written
  // section may move. The numbers stay; their spellings become the reader's own.
  changes_ = work_.Changes();
  days_.clear();
  auto own = [this](std::string_view spelling) {
    owned_.push_back(std::make_unique<std::string>(spelling));
    return std::string_view(*owned_.back());
  };
  for (std::string_view& spelling : spellings_) spelling = own(spelling);
  std::unordered_map<std::string_view, int> bySpelling;
  for (const auto& [spelling, id] : bySpelling_) bySpelling.emplace(own(spelling), id);
  bySpelling_.swap(bySpelling);
}

std::string_view StatDayReader::KeySpelling(int id) {
  Follow();
  return spellings_[static_cast<size_t>(id)];
}

int StatDayReader::SpellingId(std::string_view key, bool inFile) {
  const uint32_t hash = static_cast<uint32_t>(fold_.Hash(key));
  size_t mask = slots_.size() - 1;
  size_t slot = hash & mask;
  for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const uint64_t entry = slots_[slot];
    const int id = static_cast<int>(entry & 0xFFFFFFFFu) - 1;
    if (entry >> 32 == hash && fold_.Equal(key, spellings_[static_cast<size_t>(id)])) return id;
  }
  if (!inFile) {
    owned_.push_back(std::make_unique<std::string>(key));
    key = *owned_.back();
  }
  const int id = static_cast<int>(spellings_.size());
  spellings_.push_back(key);
  hashes_.push_back(hash);
  lastDay_.push_back(-1);
  slots_[slot] = uint64_t{hash} << 32 | (static_cast<uint64_t>(id) + 1);
  if (2 * spellings_.size() > slots_.size()) {
    // Half full: twice the slots, every number placed again by its hash.
    slots_.assign(2 * slots_.size(), 0);
    mask = slots_.size() - 1;
    for (size_t n = 0; n < hashes_.size(); ++n) {
      size_t at = hashes_[n] & mask;
      while (slots_[at] != 0) at = (at + 1) & mask;
      slots_[at] = uint64_t{hashes_[n]} << 32 | (n + 1);
    }
  }
  return id;
}

int StatDayReader::KeyId(std::string_view key) {
  Follow();
  return SpellingId(TrimmedView(key), false);
}

void StatDayReader::ReadDay(const std::string& section, const std::function<void(int, int64_t)>& add) {
  Follow();
  // The values read depend on the time separator.
  const char separator = FormatSettings().TimeSeparator;
  if (separator != separator_) {
    days_.clear();
    separator_ = separator;
  }
  if (!keepDays_) {
    ParseDay(section, add);
    return;
  }
  auto known = days_.find(section);
  if (known == days_.end()) {
    std::vector<DayValue> values;
    ParseDay(section, [&values](int id, int64_t seconds) { values.push_back({id, seconds}); });
    known = days_.emplace(section, std::move(values)).first;
  }
  for (const DayValue& value : known->second) add(value.id, value.seconds);
}

void StatDayReader::ParseDay(const std::string& section, const std::function<void(int, int64_t)>& add) {
  const int day = reads_++;
  work_.VisitValues(section, [&](std::string_view key, std::string_view value) {
    int id;
    if (fold_.ByteWise()) {
      id = SpellingId(key, true);
    } else {
      // Folding whole costs a copy: each spelling is folded once.
      auto it = bySpelling_.find(key);
      if (it == bySpelling_.end()) it = bySpelling_.emplace(key, SpellingId(key, true)).first;
      id = it->second;
    }
    if (lastDay_[static_cast<size_t>(id)] == day) return;  // a repeated key: its first value counts
    lastDay_[static_cast<size_t>(id)] = day;
    add(id, StoredTimeSeconds(value));
  });
}

// ---- Period and range -------------------------------------------------------------------

int PeriodDayCount(StatPeriod period, TDateTime today) {
  switch (period) {
    case StatPeriod::Day: return 1;
    case StatPeriod::Week: return 7;
    case StatPeriod::TwoWeeks: return 14;
    case StatPeriod::Month: break;
  }
  int year = 0, month = 0, day = 0;
  DecodeDate(today, year, month, day);
  if (--month < 1) {
    month = 12;
    --year;
  }
  TDateTime monthBefore = 0;
  if (!TryEncodeDate(year, month, day, monthBefore)) return 30;
  const long n = std::lround(std::floor(today) - monthBefore);
  return n >= 28 && n <= 31 ? static_cast<int>(n) : 30;
}

int RangeDayCount(TDateTime dateFrom, TDateTime dateTo) {
  const double n = std::nearbyint(dateTo - dateFrom) + 1;
  return n < 1 ? 1 : static_cast<int>(n);
}

// ---- Task lists and trees -----------------------------------------------------------------

namespace {

// Compares texts byte by byte as the table maps them; a text that is the start of the other
// comes first.
int CompareMapped(std::string_view a, std::string_view b, const unsigned char* table) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = table[static_cast<unsigned char>(a[i])], y = table[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Eight bytes of a field from offset on, mapped by the table, as a number that orders as they do.
uint64_t OrderPrefix(std::string_view field, size_t offset, const unsigned char* table) {
  uint64_t prefix = 0;
  for (size_t i = offset; i < offset + 8; ++i)
    prefix = prefix << 8 | (i < field.size() ? table[static_cast<unsigned char>(field[i])] : 0u);
  return prefix;
}

// Sorts keys that begin with two prefix words (most significant first) in place, a prefix byte
// at a time while a stretch is long, and by less where it is short or its prefixes are equal;
// less orders by the prefixes first. A long list compared line against line spends most of its
// time on lines whose first bytes are alike.
template <typename Key, typename Less>
void SortByPrefixBytes(Key* first, Key* last, size_t byte, const Less& less) {
  constexpr size_t PrefixBytes = 16, ShortStretch = 64;
  for (;;) {
    const size_t n = static_cast<size_t>(last - first);
    if (n < ShortStretch || byte == PrefixBytes) {
      std::sort(first, last, less);
      return;
    }
    const unsigned shift = static_cast<unsigned>(56 - 8 * (byte % 8));
    auto digit = [&](const Key& k) { return static_cast<unsigned>(k.prefix[byte / 8] >> shift) & 0xFFu; };
    size_t end[256] = {};
    for (const Key* k = first; k != last; ++k) ++end[digit(*k)];
    if (end[digit(*first)] == n) {  // all alike in this byte
      ++byte;
      continue;
    }
    size_t next[256];
    for (size_t b = 0, at = 0; b < 256; ++b) {
      next[b] = at;
      at += end[b];
      end[b] = at;
    }
    for (size_t b = 0; b < 256; ++b) {
      while (next[b] < end[b]) {
        const unsigned d = digit(first[next[b]]);
        if (d == b) ++next[b];
        else std::swap(first[next[b]], first[next[d]++]);
      }
    }
    for (size_t b = 0, at = 0; b < 256; at = end[b], ++b)
      if (end[b] - at > 1) SortByPrefixBytes(first + at, first + end[b], byte + 1, less);
    return;
  }
}

}  // namespace

std::string_view StatTaskIndex::Bytes(const Line& line) const {
  return std::string_view(text_[line.chunk]).substr(line.offset, size_t{line.pathSize} + line.descriptionSize + line.groupSize);
}

void StatTaskIndex::Build(const TStrings& taskList) {
  *this = StatTaskIndex();
  // The kept lines' own bytes in list order, each line's path, description and group back to
  // back in chunks that are never moved; then, where the code page needs it, the same fields
  // folded for ordering into one buffer.
  struct Kept {
    Line bytes;
  };
  std::vector<Kept> kept;
  kept.reserve(static_cast<size_t>(taskList.Count()));
  size_t total = 0;
  taskList.VisitStrings([&](const std::string& line) {
    std::string_view path, description, group;
    SplitTab3(line, path, description, group);
    if (group == "0") return;
    const size_t size = path.size() + description.size() + group.size();
    if (text_.empty() || text_.back().size() + size > text_.back().capacity()) {
      constexpr size_t SmallestChunk = 4096, LargestChunk = 1 << 20;
      text_.emplace_back().reserve(std::max(size, std::min(std::max(total, SmallestChunk), LargestChunk)));
    }
    std::string& chunk = text_.back();
    kept.push_back({Line{static_cast<uint32_t>(text_.size() - 1), static_cast<uint32_t>(chunk.size()),
                         static_cast<uint32_t>(path.size()), static_cast<uint32_t>(description.size()),
                         static_cast<uint32_t>(group.size())}});
    chunk += path;
    chunk += description;
    chunk += group;
    total += size;
  });
  // Where the code page folds byte by byte the lines are compared through the fold's table;
  // elsewhere through a folded copy.
  const StatKeyFold& order = StatKeyFold::Ordering();
  const unsigned char* table = order.Table();
  std::string folded;
  std::vector<size_t> foldedAt;  // per kept line, where its folded fields start
  if (!order.ByteWise()) {
    folded.reserve(total);
    foldedAt.reserve(kept.size());
    for (const Kept& k : kept) {
      foldedAt.push_back(folded.size());
      // Field by field: a double-byte character never spans two fields.
      const std::string_view own = Bytes(k.bytes);
      order.Append(own.substr(0, k.bytes.pathSize), folded);
      order.Append(own.substr(k.bytes.pathSize, k.bytes.descriptionSize), folded);
      order.Append(own.substr(k.bytes.pathSize + k.bytes.descriptionSize), folded);
    }
  }
  const std::string_view all = folded;
  auto fields = [&](const Kept& k) {
    if (order.ByteWise()) return Bytes(k.bytes);
    return all.substr(foldedAt[static_cast<size_t>(&k - kept.data())], Bytes(k.bytes).size());
  };
  auto pathOf = [&](const Kept& k) { return fields(k).substr(0, k.bytes.pathSize); };
  auto descriptionOf = [&](const Kept& k) { return fields(k).substr(k.bytes.pathSize, k.bytes.descriptionSize); };
  auto groupOf = [&](const Kept& k) { return fields(k).substr(k.bytes.pathSize + k.bytes.descriptionSize); };
  auto compare = [table](std::string_view a, std::string_view b) { return CompareMapped(a, b, table); };

  // By name: description, path, group, then list order; the first sixteen bytes of the
  // description decide most comparisons without reaching into the buffer, and all of it
  // where it is no longer.
  struct SortKey {
    uint64_t prefix[2];
    uint32_t kept;
    uint32_t descriptionSize;
  };
  constexpr size_t PrefixBytes = 16;
  std::vector<SortKey> keys(kept.size());
  for (size_t k = 0; k < kept.size(); ++k) {
    const std::string_view description = descriptionOf(kept[k]);
    keys[k] = {{OrderPrefix(description, 0, table), OrderPrefix(description, 8, table)},
               static_cast<uint32_t>(k), static_cast<uint32_t>(description.size())};
  }
  // The order of two lines' descriptions (< 0, 0, > 0), from their keys where these decide.
  auto compareDescriptions = [&](const SortKey& a, const SortKey& b) {
    if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0] ? -1 : 1;
    if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1] ? -1 : 1;
    if (a.descriptionSize == b.descriptionSize && a.descriptionSize <= PrefixBytes) return 0;
    return compare(descriptionOf(kept[a.kept]), descriptionOf(kept[b.kept]));
  };
  SortByPrefixBytes(keys.data(), keys.data() + keys.size(), 0, [&](const SortKey& a, const SortKey& b) {
    if (const int c = compareDescriptions(a, b)) return c < 0;
    const Kept& x = kept[a.kept];
    const Kept& y = kept[b.kept];
    if (const int c = compare(pathOf(x), pathOf(y))) return c < 0;
    if (const int c = compare(groupOf(x), groupOf(y))) return c < 0;
    return a.kept < b.kept;
  });
  const size_t n = keys.size();
  auto sorted = [&](size_t k) -> const Kept& { return kept[keys[k].kept]; };

  // By group: group, then the by-name order, which is what ordering by group, description
  // and path gives. There are few groups, so the by-group list is put together from the
  // by-name list group by group.
  auto hashGroup = [table](std::string_view g) { return HashMapped(g, table); };
  auto sameGroup = [table](std::string_view a, std::string_view b) { return CompareMapped(a, b, table) == 0; };
  std::unordered_map<std::string_view, int, decltype(hashGroup), decltype(sameGroup)> groupNumber(16, hashGroup, sameGroup);
  std::vector<std::string_view> groups;
  std::vector<int> groupOfLine(n);
  for (size_t k = 0; k < n; ++k) {
    const std::string_view group = groupOf(sorted(k));
    auto known = groupNumber.find(group);
    if (known == groupNumber.end()) {
      known = groupNumber.emplace(group, static_cast<int>(groups.size())).first;
      groups.push_back(group);
    }
    groupOfLine[k] = known->second;
  }
  groupCount_ = groups.size();
  std::vector<int> groupRank(groups.size());
  {
    std::vector<int> byFolded(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) byFolded[g] = static_cast<int>(g);
    std::sort(byFolded.begin(), byFolded.end(), [&](int a, int b) { return compare(groups[a], groups[b]) < 0; });
    for (size_t r = 0; r < byFolded.size(); ++r) groupRank[static_cast<size_t>(byFolded[r])] = static_cast<int>(r);
  }
  std::vector<int> groupStart(groups.size() + 1, 0);
  for (const int g : groupOfLine) ++groupStart[static_cast<size_t>(groupRank[static_cast<size_t>(g)]) + 1];
  for (size_t r = 1; r < groupStart.size(); ++r) groupStart[r] += groupStart[r - 1];
  groupToName_.resize(n);
  for (size_t k = 0; k < n; ++k)
    groupToName_[static_cast<size_t>(groupStart[static_cast<size_t>(groupRank[static_cast<size_t>(groupOfLine[k])])]++)] =
        static_cast<int>(k);

  // The lines in by-name order; where a description begins and which lines repeat the path
  // before them or a spelling of their description.
  lines_.reserve(n);
  flags_.assign(n, 0);
  spelling_.assign(n, 0);
  uint32_t spellingCount = 0;
  std::vector<std::pair<std::string_view, uint32_t>> spellings;  // of the description being walked
  for (size_t k = 0; k < n; ++k) {
    const Kept& line = sorted(k);
    lines_.push_back(line.bytes);
    const bool sameDescription = k > 0 && compareDescriptions(keys[k - 1], keys[k]) == 0;
    if (sameDescription) flags_[k] |= SameDescriptionAsBefore;
    if (!sameDescription) spellings.clear();
    const std::string_view spelling = Description(k);
    if (sameDescription && spelling == spellings.back().first) flags_[k] |= SpelledAsBefore;
    const auto before = std::find_if(spellings.begin(), spellings.end(), [&](const auto& s) { return s.first == spelling; });
    if (before != spellings.end()) {
      flags_[k] |= SpelledBefore;
      spelling_[k] = before->second;
    } else {
      spelling_[k] = spellingCount++;
      spellings.emplace_back(spelling, spelling_[k]);
    }
    if (sameDescription && compare(pathOf(line), pathOf(sorted(k - 1))) == 0) flags_[k] |= SamePathAsBefore;
  }
  // Numbered in the order the lines stand in memory, which reads the text straight through.
  std::vector<int> memoryOrder(n);
  for (size_t k = 0; k < n; ++k) memoryOrder[keys[k].kept] = static_cast<int>(k);
  NumberPrograms(StatKeyFold::Current(), memoryOrder);
  if (!text_.empty()) text_.back().shrink_to_fit();
}

size_t StatTaskIndex::Lines::size() const { return index_->lines_.size(); }

StatTask StatTaskIndex::Lines::operator[](size_t i) const {
  const size_t line = byGroup_ ? index_->NameLineOfGroupLine(i) : i;
  return StatTask{std::string(index_->Description(line)), std::string(index_->Path(line)),
                  std::string(index_->Group(line))};
}

std::vector<StatTaskNode> StatTaskIndex::Tree(bool comparison,
                                              const std::function<std::string(int)>& groupName) const {
  // Lines that follow each other with the same description (spelled alike) make one node; a
  // group gets its node with its first task node.
  auto sameAsBefore = [this](size_t i) {
    return i > 0 && spelling_[NameLineOfGroupLine(i)] == spelling_[NameLineOfGroupLine(i - 1)];
  };
  size_t taskNodes = 0;
  for (size_t i = 0; i < groupToName_.size(); ++i) taskNodes += sameAsBefore(i) ? 0 : 1;
  std::vector<StatTaskNode> nodes;
  nodes.reserve(2 + groupCount_ + taskNodes);
  if (comparison) nodes.push_back(StatRootNode(NoneKey));
  nodes.push_back(StatRootNode(TotalKey));
  std::string_view lastGroup;
  bool anyGroup = false;
  int groupNode = -1;
  for (size_t i = 0; i < groupToName_.size(); ++i) {
    if (sameAsBefore(i)) continue;
    const size_t line = NameLineOfGroupLine(i);
    const std::string_view description = Description(line);
    const std::string_view group = Group(line);
    if (!anyGroup || group != lastGroup) {
      StatTaskNode node;
      node.group = IsDecimal(group) && group.size() < 9 ? std::stoi(std::string(group)) : -1;
      node.text = groupName && node.group >= 0 ? groupName(node.group) : std::string(group);
      node.line = static_cast<int>(i);
      groupNode = static_cast<int>(nodes.size());
      nodes.push_back(std::move(node));
      lastGroup = group;
      anyGroup = true;
    }
    StatTaskNode node;
    node.text = AnsiLeftBytes(description, NodeTextLength);
    node.parent = groupNode;
    node.line = static_cast<int>(i);
    nodes.push_back(std::move(node));
  }
  return nodes;
}

std::string NodeKey(const StatTaskNode& node, const StatTaskIndex& index) {
  if (node.text == NoneKey || node.text == TotalKey) return node.text;
  if (node.line < 0 || node.line >= static_cast<int>(index.ByGroup().size())) return std::string();
  const size_t line = index.NameLineOfGroupLine(static_cast<size_t>(node.line));
  return std::string(node.parent >= 0 ? index.Description(line) : index.Group(line));
}

// ---- Programs -------------------------------------------------------------------------------

void StatTaskIndex::NumberPrograms(const StatKeyFold& fold, const std::vector<int>& order) const {
  const size_t n = lines_.size();
  program_.assign(n, -1);
  programLine_.clear();
  programLine_.reserve(n);
  size_t slots = 16;
  while (slots < n + n / 2) slots *= 2;
  programSlots_.assign(slots, 0);
  programEntryBits_ = 1;
  while (programEntryBits_ < 32 && (uint64_t{1} << programEntryBits_) <= n) ++programEntryBits_;
  // The paths are hashed in the order given, which may read them straight through memory;
  // programs are then numbered in by-name order, so that a walk by name finds their times
  // side by side.
  std::vector<size_t> hashes;
  if (!order.empty()) {
    hashes.resize(n);
    for (const int line : order) hashes[static_cast<size_t>(line)] = fold.Hash(TrimmedView(Path(static_cast<size_t>(line))));
  }
  for (size_t line = 0; line < n; ++line) {
    const std::string_view key = TrimmedView(Path(line));
    const size_t hash = hashes.empty() ? fold.Hash(key) : hashes[line];
    const uint32_t tag = ProgramTag(hash);
    for (size_t slot = hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
      uint32_t& entry = programSlots_[slot];
      int program;
      if (entry == 0) {
        program = static_cast<int>(programLine_.size());
        entry = tag | static_cast<uint32_t>(program + 1);
        programLine_.push_back(static_cast<int>(line));
      } else if (!SameProgram(entry, tag, key, fold, program)) {
        continue;
      }
      program_[line] = program;
      break;
    }
  }
  programFold_ = &fold;
  readerSerial_ = -1;
}

uint32_t StatTaskIndex::ProgramTag(size_t hash) const {
  if (programEntryBits_ >= 32) return 0;
  // The hash's upper half: its low bits choose the slot.
  return static_cast<uint32_t>(static_cast<uint64_t>(hash) >> (sizeof(size_t) * 4) << programEntryBits_);
}

bool StatTaskIndex::SameProgram(uint32_t entry, uint32_t tag, std::string_view key, const StatKeyFold& fold,
                                int& program) const {
  // The hash bits above the number must match.
  if (programEntryBits_ < 32 && (entry >> programEntryBits_ << programEntryBits_) != tag) return false;
  program = ProgramInSlot(entry);
  return fold.Equal(key, TrimmedView(Path(static_cast<size_t>(programLine_[static_cast<size_t>(program)]))));
}

const StatKeyFold& StatTaskIndex::Programs() const {
  const StatKeyFold& fold = StatKeyFold::Current();
  if (programFold_ != &fold) NumberPrograms(fold, {});
  return fold;
}

void StatTaskIndex::FollowReader(const StatDayReader& reader) const {
  if (readerSerial_ == reader.Serial()) return;
  readerSerial_ = reader.Serial();
  keyProgram_.clear();
  programKey_.clear();
}

int StatTaskIndex::ProgramInSlot(uint32_t entry) const {
  const uint32_t numberMask = programEntryBits_ >= 32 ? ~uint32_t{0} : (uint32_t{1} << programEntryBits_) - 1;
  return static_cast<int>(entry & numberMask) - 1;
}

int StatTaskIndex::FindProgram(std::string_view key, size_t hash, const StatKeyFold& fold) const {
  if (programSlots_.empty()) return -1;
  const uint32_t tag = ProgramTag(hash);
  const size_t mask = programSlots_.size() - 1;
  for (size_t slot = hash & mask; programSlots_[slot] != 0; slot = (slot + 1) & mask) {
    int found;
    if (SameProgram(programSlots_[slot], tag, key, fold, found)) return found;
  }
  return -1;
}

int StatTaskIndex::KeyOfProgram(int program, StatDayReader& reader) const {
  Programs();
  FollowReader(reader);
  if (programKey_.empty()) programKey_.assign(programLine_.size(), -1);
  int& id = programKey_[static_cast<size_t>(program)];
  if (id < 0) id = reader.KeyId(Path(static_cast<size_t>(programLine_[static_cast<size_t>(program)])));
  return id;
}

std::vector<int> StatTaskIndex::KeyWeights(const std::string& key, StatDayReader& reader) const {
  std::vector<int> weights;
  auto count = [&](int id) {
    if (id >= static_cast<int>(weights.size())) weights.resize(static_cast<size_t>(id) + 1, 0);
    ++weights[static_cast<size_t>(id)];
  };
  if (key == TotalKey) {
    count(reader.KeyId(TotalKey));
    return weights;
  }
  Programs();
  const bool byGroup = IsDecimal(key);
  auto nameLine = [&](size_t i) { return byGroup ? NameLineOfGroupLine(i) : i; };
  auto field = [&](size_t i) { return byGroup ? Group(nameLine(i)) : Description(i); };
  size_t low = 0, high = lines_.size();
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    if (CompareText(std::string(field(mid)), key) < 0)
      low = mid + 1;
    else
      high = mid;
  }
  if (low == lines_.size() || !SameText(std::string(field(low)), key)) return weights;
  // The walk goes on while the key is spelled exactly alike; each program (its path ignoring
  // case as CompareText does) counts once. By name, such paths stand next to each other.
  const StatKeyFold& order = StatKeyFold::Ordering();
  std::unordered_map<size_t, std::vector<size_t>> counted;  // by-group walk: folded path hash -> lines
  for (size_t i = low; i < lines_.size() && field(i) == key; ++i) {
    const size_t line = nameLine(i);
    if (!byGroup && i > low && (flags_[line] & SamePathAsBefore) != 0) continue;
    if (byGroup) {
      std::vector<size_t>& same = counted[order.Hash(Path(line))];
      if (std::any_of(same.begin(), same.end(), [&](size_t other) { return order.Equal(Path(other), Path(line)); }))
        continue;
      same.push_back(line);
    }
    count(KeyOfProgram(program_[line], reader));
  }
  return weights;
}

std::vector<int64_t> StatTaskIndex::ProgramSeconds(const std::vector<int64_t>& secondsByKey,
                                                   StatDayReader& reader) const {
  const StatKeyFold& fold = Programs();
  FollowReader(reader);
  if (keyProgram_.size() < static_cast<size_t>(reader.KeyCount())) keyProgram_.resize(static_cast<size_t>(reader.KeyCount()), -2);
  std::vector<int> unknown;
  for (size_t id = 0; id < secondsByKey.size(); ++id)
    if (secondsByKey[id] != 0 && keyProgram_[id] == -2) unknown.push_back(static_cast<int>(id));
  LookUpPrograms(unknown, reader, fold);
  std::vector<int64_t> seconds(programLine_.size(), 0);
  for (size_t id = 0; id < secondsByKey.size(); ++id) {
    if (secondsByKey[id] == 0) continue;
    const int program = keyProgram_[id];
    if (program >= 0) seconds[static_cast<size_t>(program)] += secondsByKey[id];
  }
  return seconds;
}

void StatTaskIndex::LookUpPrograms(const std::vector<int>& ids, StatDayReader& reader, const StatKeyFold& fold) const {
  constexpr size_t Batch = 16;
  if (programSlots_.empty()) {
    for (const int id : ids) keyProgram_[static_cast<size_t>(id)] = -1;
    return;
  }
  const size_t mask = programSlots_.size() - 1;
  for (size_t first = 0; first < ids.size(); first += Batch) {
    const size_t count = std::min(Batch, ids.size() - first);
    std::string_view key[Batch];
    size_t hash[Batch];
    const int* line[Batch];
    for (size_t i = 0; i < count; ++i) {
      key[i] = reader.KeySpelling(ids[first + i]);
      hash[i] = fold.Hash(key[i]);
      __builtin_prefetch(&programSlots_[hash[i] & mask]);
    }
    // The first program in the key's slot is almost always its own, if it has one.
    for (size_t i = 0; i < count; ++i) {
      const uint32_t entry = programSlots_[hash[i] & mask];
      line[i] = entry == 0 ? nullptr : &programLine_[static_cast<size_t>(ProgramInSlot(entry))];
      if (line[i] != nullptr) __builtin_prefetch(line[i]);
    }
    for (size_t i = 0; i < count; ++i)
      if (line[i] != nullptr) __builtin_prefetch(&lines_[static_cast<size_t>(*line[i])]);
    for (size_t i = 0; i < count; ++i)
      if (line[i] != nullptr) __builtin_prefetch(Path(static_cast<size_t>(*line[i])).data());
    for (size_t i = 0; i < count; ++i) keyProgram_[static_cast<size_t>(ids[first + i])] = FindProgram(key[i], hash[i], fold);
  }
}

bool StatTaskIndex::DescriptionSeconds(size_t nameLine, const std::vector<int64_t>& secondsByKey,
                                       const std::vector<int64_t>& secondsByProgram, StatDayReader& reader,
                                       int64_t& seconds) const {
  seconds = 0;
  if ((flags_[nameLine] & SpelledBefore) != 0) return false;
  const std::string_view description = Description(nameLine);
  if (description == TotalKey || IsDecimal(description)) {
    // Such a description stands for the day's total or a group, as a key does.
    const std::vector<int> weights = KeyWeights(std::string(description), reader);
    for (size_t id = 0; id < weights.size() && id < secondsByKey.size(); ++id) seconds += weights[id] * secondsByKey[id];
    return true;
  }
  // As KeyWeights walks: from the first line of the description (ignoring case) while it is
  // spelled exactly alike, each program once.
  size_t head = nameLine;
  while ((flags_[head] & SameDescriptionAsBefore) != 0) --head;
  if (Description(head) != description) return true;
  Programs();
  for (size_t line = head; line < lines_.size() && (line == head || (flags_[line] & SpelledAsBefore) != 0); ++line) {
    if (line > head && (flags_[line] & SamePathAsBefore) != 0) continue;
    const size_t program = static_cast<size_t>(program_[line]);
    if (program < secondsByProgram.size()) seconds += secondsByProgram[program];
  }
  return true;
}

namespace {

// The seconds of each of a day's keys times its weight.
int64_t Weighted(const std::vector<int>& weights, int id, int64_t seconds) {
  return id < static_cast<int>(weights.size()) ? weights[id] * seconds : 0;
}

}  // namespace

int64_t StatTaskIndex::SecondsOnDay(const WorkFile& work, const std::string& section,
                                    const std::string& key) const {
  StatDayReader reader(work, false);
  const std::vector<int> weights = KeyWeights(key, reader);
  int64_t sum = 0;
  reader.ReadDay(section, [&](int id, int64_t seconds) { sum += Weighted(weights, id, seconds); });
  return sum;
}

// ---- Texts of the week table --------------------------------------------------------------

std::string FormatDaysTotal(int64_t seconds, const std::string& oneDay, const std::string& days) {
  if (seconds < 0) seconds = 0;
  const int64_t wholeDays = seconds / SecsPerDay;
  const int64_t rest = seconds % SecsPerDay;
  const std::string h = FormatDateTime(
      "hh:nn", EncodeTime(static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), 0, 0));
  if (wholeDays == 1) return "1 " + oneDay + " " + h;
  if (wholeDays >= 2) return IntToStr(wholeDays) + " " + days + " " + h;
  return h;
}

namespace {

// The part of a date format from its first day or month field to its last one: day and
// month in the order the format gives them, with what stands between ("dd.mm" of
// "dd.mm.yyyy", "mm/dd" of "yyyy/mm/dd"); empty when it has neither.
std::string DayAndMonthFormat(const std::string& format) {
  size_t first = std::string::npos, end = 0;
  for (size_t i = 0; i < format.size();) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t close = AnsiFind(format, c, i + 1);
      i = close == std::string::npos ? format.size() : close + 1;
      continue;
    }
    size_t length = AnsiCharLength(format, i);
    if (length == 1) {
      while (i + length < format.size() && format[i + length] == c) ++length;
      // Five or six "d" stand for a whole date, not for its day.
      const char field = static_cast<char>(c | 0x20);
      if ((field == 'd' || field == 'm') && length <= 4) {
        if (first == std::string::npos) first = i;
        end = i + length;
      }
    }
    i += length;
  }
  return first == std::string::npos ? std::string() : format.substr(first, end - first);
}

}  // namespace

std::string DayLabel(TDateTime date) {
  const std::string dayAndMonth = DayAndMonthFormat(FormatSettings().ShortDateFormat);
  if (!dayAndMonth.empty()) return FormatDateTime(dayAndMonth, date);
  const std::string text = DateToStr(date);
  if (text.size() > 3) {
    const size_t p = text.find(FormatSettings().DateSeparator, 3);
    if (p != std::string::npos) return text.substr(0, p);
  }
  return text.substr(0, 2);
}

std::string SharePercent(int64_t total1, int64_t total2) {
  if (total1 <= 0 || total2 <= 0) return std::string();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%3.2f%%", static_cast<double>(total2) / static_cast<double>(total1) * 100);
  std::string text = buffer;
  std::replace(text.begin(), text.end(), '.', FormatSettings().DecimalSeparator);
  return text;
}

int DayMark(bool hasTime, int64_t seconds, int mark2Hours, int mark3Hours) {
  int mark = hasTime ? 0 : 1;
  const int64_t hours = seconds / 3600;
  if (mark2Hours <= hours) mark = 2;
  if (mark3Hours <= hours) mark = 3;
  return mark;
}

// ---- Week table ---------------------------------------------------------------------------

int FirstWeekColumn(TDateTime dateTo, int dayCount, bool sundayFirst) {
  // Counted from the range's own first day: the day before it may lie before the first day
  // of the calendar, which has no weekday (and would give a column left of the table).
  const int first = DayOfWeek(dateTo - dayCount + 1);  // 1 Sunday .. 7 Saturday
  return (first + (sundayFirst ? 6 : 5)) % 7;
}

int WeekRows(int firstColumn, int dayCount) { return (firstColumn + dayCount + 6) / 7; }

void WeekTable::Compute(const WeekTableInput& input, const StatTaskIndex& index, const WorkFile& work) {
  StatDayReader reader(work, false);
  Compute(input, index, reader);
}

void WeekTable::Compute(const WeekTableInput& input, const StatTaskIndex& index, StatDayReader& reader) {
  const TDateTime dateTo = std::floor(input.dateTo);
  dayCount_ = RangeDayCount(std::floor(input.dateFrom), dateTo);
  sundayFirst_ = input.sundayFirst;
  comparison_ = input.key2 != NoneKey;
  firstColumn_ = FirstWeekColumn(dateTo, dayCount_, sundayFirst_);
  rows_ = WeekRows(firstColumn_, dayCount_);
  firstDay_ = dateTo - dayCount_ + 1;
  day1_.assign(dayCount_, 0);
  day2_.assign(dayCount_, 0);
  week1_.assign(rows_, 0);
  week2_.assign(rows_, 0);
  total1_ = total2_ = 0;
  const std::vector<int> weights1 = index.KeyWeights(input.key1, reader);
  const std::vector<int> weights2 = comparison_ ? index.KeyWeights(input.key2, reader) : std::vector<int>();
  for (int d = 0; d < dayCount_; ++d) {
    int64_t seconds1 = 0, seconds2 = 0;
    reader.ReadDay(WorkSectionName(input.user, firstDay_ + d), [&](int id, int64_t seconds) {
      seconds1 += Weighted(weights1, id, seconds);
      seconds2 += Weighted(weights2, id, seconds);
    });
    const int week = (firstColumn_ + d) / 7;
    day1_[d] = seconds1;
    week1_[week] += seconds1;
    total1_ += seconds1;
    if (comparison_) {
      day2_[d] = seconds2;
      week2_[week] += seconds2;
      total2_ += seconds2;
    }
  }
}

int WeekTable::DayIndex(int col, int row) const {
  if (col < 0 || col > 6 || row < 0) return -1;
  const int d = 7 * row + col - firstColumn_;
  return d >= 0 && d < dayCount_ ? d : -1;
}

bool WeekTable::CellDay(int col, int row, TDateTime& date) const {
  const int d = DayIndex(col, row);
  if (d < 0) return false;
  date = firstDay_ + d;
  return true;
}

int64_t WeekTable::DaySeconds(int col, int row, int which) const {
  const int d = DayIndex(col, row);
  if (d < 0) return 0;
  return which == 2 ? day2_[d] : day1_[d];
}

int64_t WeekTable::WeekSeconds(int row, int which) const {
  if (row < 0 || row >= rows_) return 0;
  return which == 2 ? week2_[row] : week1_[row];
}

std::string WeekTable::CellText(int col, int row) const {
  if (col == 7) {
    return FormatElapsedShortOrBlank(SecondsToDays(WeekSeconds(row, 1))) + "\t" +
           FormatElapsedShortOrBlank(SecondsToDays(WeekSeconds(row, 2)));
  }
  TDateTime date = 0;
  if (!CellDay(col, row, date)) return std::string();
  return DayLabel(date) + "\t" + TimeOrBlank(DaySeconds(col, row, 1)) + "\t" + TimeOrBlank(DaySeconds(col, row, 2));
}

std::string WeekTable::HeaderText(int col) const {
  if (col == 7) return "Week";
  // Serial 1 is a Sunday.
  return FormatDateTime("ddd", col + (sundayFirst_ ? 1 : 2));
}

bool WeekTable::WeekendColumn(int col) const {
  return sundayFirst_ ? col == 0 || col == 6 : col == 5 || col == 6;
}
