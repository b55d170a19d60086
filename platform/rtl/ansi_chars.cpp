// Under _WIN32 the lead bytes of the ANSI code page come from Windows itself (GetCPInfo,
// through platform/rtl/win/windows_api.h); elsewhere there are none until a test plays a code
// page. The branch cannot move into the Win32 layer: the character stepping is part of the
// portable runtime the cores call, and the cores' Windows builds (their tests under Wine among
// them) link without the Win32 side, which is built on top of them.

#include "platform/rtl/ansi_chars.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#endif

namespace {

struct LeadByteState {
  TAnsiLeadBytes table{};
  bool any = false;  // a single-byte code page skips every scan
};

LeadByteState& State() {
  static LeadByteState state = [] {
    LeadByteState s;
    s.table = SystemAnsiLeadBytes();
    for (bool lead : s.table) s.any = s.any || lead;
    return s;
  }();
  return state;
}

bool IsLead(unsigned char c) { return State().table[c]; }

// The largest character boundary at or before `limit`.
size_t BoundaryAtOrBefore(std::string_view text, size_t limit) {
  if (limit >= text.size()) return text.size();
  if (!State().any) return limit;
  size_t i = 0;
  while (i < limit) {
    const size_t next = i + AnsiCharLength(text, i);
    if (next > limit) break;
    i = next;
  }
  return i;
}

}  // namespace

TAnsiLeadBytes AnsiLeadByteRanges(const std::vector<std::pair<unsigned char, unsigned char>>& ranges) {
  TAnsiLeadBytes table{};
  for (const auto& [first, last] : ranges)
    for (unsigned c = first; c <= last; ++c) table[c] = true;
  return table;
}

TAnsiLeadBytes SystemAnsiLeadBytes() {
  std::vector<std::pair<unsigned char, unsigned char>> ranges;
#ifdef _WIN32
  CPINFO info;
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1)
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
      ranges.emplace_back(info.LeadByte[i], info.LeadByte[i + 1]);
#endif
  return AnsiLeadByteRanges(ranges);
}

const TAnsiLeadBytes& AnsiLeadBytes() { return State().table; }

void SetAnsiLeadBytes(const TAnsiLeadBytes& table) {
  LeadByteState& state = State();
  state.table = table;
  state.any = false;
  for (bool lead : table) state.any = state.any || lead;
}

bool AnsiHasLeadBytes() { return State().any; }

bool IsAnsiLeadByte(char c) { return IsLead(static_cast<unsigned char>(c)); }

size_t AnsiCharLength(std::string_view text, size_t i) {
  return i + 1 < text.size() && IsLead(static_cast<unsigned char>(text[i])) ? 2 : 1;
}

bool IsAnsiTrailByte(std::string_view text, size_t i) {
  return i < text.size() && BoundaryAtOrBefore(text, i) != i;
}

size_t AnsiCharCount(std::string_view text) {
  if (!State().any) return text.size();
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += AnsiCharLength(text, i)) ++count;
  return count;
}

std::string AnsiLeftBytes(std::string_view text, size_t maxBytes) {
  return std::string(text.substr(0, BoundaryAtOrBefore(text, maxBytes)));
}

std::string AnsiDropLastChars(std::string_view text, size_t count) {
  if (!State().any) return std::string(text.substr(0, count < text.size() ? text.size() - count : 0));
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); i += AnsiCharLength(text, i)) starts.push_back(i);
  return count < starts.size() ? std::string(text.substr(0, starts[starts.size() - count])) : std::string();
}

size_t AnsiFindFirstOf(std::string_view text, std::string_view chars, size_t from) {
  for (size_t i = from; i < text.size();) {
    const size_t length = AnsiCharLength(text, i);
    if (length == 1 && chars.find(text[i]) != std::string_view::npos) return i;
    i += length;
  }
  return std::string_view::npos;
}

size_t AnsiFind(std::string_view text, char c, size_t from) {
  return AnsiFindFirstOf(text, std::string_view(&c, 1), from);
}

size_t AnsiFindLastOf(std::string_view text, std::string_view chars) {
  if (!State().any) return text.find_last_of(chars);
  size_t found = std::string_view::npos;
  for (size_t at = AnsiFindFirstOf(text, chars); at != std::string_view::npos; at = AnsiFindFirstOf(text, chars, at + 1))
    found = at;
  return found;
}

size_t AnsiFindText(std::string_view text, std::string_view sub, size_t from) {
  if (!State().any) return text.find(sub, from);
  // One walk over the character boundaries serves every occurrence found.
  size_t boundary = from;
  for (size_t at = text.find(sub, from); at != std::string_view::npos; at = text.find(sub, at + 1)) {
    while (boundary < at) boundary += AnsiCharLength(text, boundary);
    if (boundary == at) return at;
  }
  return std::string_view::npos;
}

bool AnsiEndsWith(std::string_view text, char c) {
  return !text.empty() && text.back() == c && !IsAnsiTrailByte(text, text.size() - 1);
}
