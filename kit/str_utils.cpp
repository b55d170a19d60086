#include "kit/str_utils.h"

#include <bitset>

namespace {

// Membership table of a character set, indexed by the unsigned byte.
std::bitset<256> CharTable(const std::string& charSet) {
  std::bitset<256> table;
  for (char ch : charSet) table.set(static_cast<unsigned char>(ch));
  return table;
}

bool In(const std::bitset<256>& table, char ch) {
  return table.test(static_cast<unsigned char>(ch));
}

}  // namespace

bool IsAllInCharSet(const std::string& text, const std::string& charSet) {
  const auto table = CharTable(charSet);
  for (char ch : text)
    if (!In(table, ch)) return false;
  return true;
}

std::string ReplaceAllText(const std::string& text, const std::string& search,
                           const std::string& replacement) {
  if (search.empty()) return text;
  std::string result;
  result.reserve(text.size());
  size_t from = 0;
  for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
    result.append(text, from, at - from);
    result += replacement;
    from = at + search.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string RepeatChar(char ch, int count) {
  return count < 1 ? std::string() : std::string(static_cast<size_t>(count), ch);
}

int CountWords(const std::string& text, const std::string& delimiters) {
  const auto table = CharTable(delimiters);
  int count = 0;
  bool inWord = false;
  for (char ch : text) {
    const bool delimiter = In(table, ch);
    if (!delimiter && !inWord) ++count;
    inWord = !delimiter;
  }
  return count;
}

int FindWordStart(int n, const std::string& text, const std::string& delimiters) {
  if (n < 1) return 0;
  const auto table = CharTable(delimiters);
  int count = 0;
  bool inWord = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool delimiter = In(table, text[i]);
    if (!delimiter && !inWord && ++count == n) return static_cast<int>(i) + 1;
    inWord = !delimiter;
  }
  return 0;
}

std::string GetWord(int n, const std::string& text, const std::string& delimiters) {
  const int start = FindWordStart(n, text, delimiters);
  if (start == 0) return std::string();
  const auto table = CharTable(delimiters);
  size_t end = static_cast<size_t>(start) - 1;
  while (end < text.size() && !In(table, text[end])) ++end;
  return text.substr(static_cast<size_t>(start) - 1, end - (static_cast<size_t>(start) - 1));
}
