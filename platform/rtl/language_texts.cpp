#include "platform/rtl/language_texts.h"

#include <mutex>
#include <set>
#include <vector>

namespace {

struct Registry {
  std::mutex lock;
  unsigned codePage = 0;
  std::set<std::string> texts;
  std::vector<std::string> formatHeads;
};

Registry& Texts() {
  static Registry registry;
  return registry;
}

bool IsPlainAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Adds text and the pieces it is shown in (lines, hint parts) to the set.
void AddPieces(Registry& registry, const std::string& text) {
  if (text.empty() || IsPlainAscii(text)) return;
  registry.texts.insert(text);
  for (size_t start = 0;;) {
    const size_t end = text.find_first_of("|\r\n", start);
    const std::string piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!piece.empty() && !IsPlainAscii(piece)) registry.texts.insert(piece);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const size_t percent = text.find('%');
  if (percent != std::string::npos && !IsPlainAscii(text.substr(0, percent)))
    registry.formatHeads.push_back(text.substr(0, percent));
}

}  // namespace

unsigned CodePageOfCharset(uint8_t charset) {
  switch (charset) {
    case 128: return 932;   // Shift JIS
    case 129: return 949;   // Hangeul
    case 130: return 1361;  // Johab
    case 134: return 936;   // GB 2312
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 163: return 1258;  // Vietnamese
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Cyrillic
    case 222: return 874;   // Thai
    case 238: return 1250;  // Central European
    default: return 0;
  }
}

void BeginLanguageTexts(unsigned codePage) {
  Registry& registry = Texts();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.codePage = codePage;
  registry.texts.clear();
  registry.formatHeads.clear();
}

void AddLanguageText(const std::string& text) {
  Registry& registry = Texts();
  std::lock_guard<std::mutex> guard(registry.lock);
  if (registry.codePage != 0) AddPieces(registry, text);
}

unsigned LanguageTextCodePage(const std::string& text) {
  Registry& registry = Texts();
  std::lock_guard<std::mutex> guard(registry.lock);
  if (registry.codePage == 0 || text.empty() || IsPlainAscii(text)) return 0;
  if (registry.texts.count(text) != 0) return registry.codePage;
  for (const std::string& head : registry.formatHeads)
    if (text.compare(0, head.size(), head) == 0) return registry.codePage;
  return 0;
}
