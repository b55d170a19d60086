#include "kit/filename_edit_logic.h"

#include "kit/draw_utils.h"
#include "kit/file_utils.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/sysutils.h"

std::string ClippedFileName(const std::string& text) {
  if (FileExists(text)) return text;
  std::string token;
  GetParamToken(text.c_str(), token);
  return token;
}

std::string QuotedFileName(const std::string& name) {
  if (name.find(' ') != std::string::npos && (name.empty() || name[0] != '"')) return '"' + name + '"';
  return name;
}

bool AcceptableFileName(const std::string& name) {
  if (name.empty() || ContainsAnyChar(name, "<>\"|?*")) return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32) return false;
  return true;
}

std::string DialogFilterBuffer(const std::string& filter) {
  std::string buffer = filter;
  for (size_t bar = AnsiFind(buffer, '|'); bar != std::string::npos; bar = AnsiFind(buffer, '|', bar + 1)) buffer[bar] = '\0';
  buffer += '\0';
  buffer += '\0';
  return buffer;
}

std::vector<std::string> DialogResultNames(const char* buffer, size_t size) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos < size && buffer[pos] != '\0') {
    size_t end = pos;
    while (end < size && buffer[end] != '\0') ++end;
    parts.emplace_back(buffer + pos, end - pos);
    pos = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::string folder = parts.front();
  if (!folder.empty() && !AnsiEndsWith(folder, '\\')) folder += '\\';
  std::vector<std::string> names;
  for (size_t i = 1; i < parts.size(); ++i) names.push_back(folder + parts[i]);
  return names;
}
