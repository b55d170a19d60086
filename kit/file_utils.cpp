#include "kit/file_utils.h"

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/sysutils.h"

bool DirectoryPresent(const std::string& path) { return DirectoryExists(path); }

bool ContainsAnyChar(const std::string& text, const std::string& chars) {
  return AnsiFindFirstOf(text, chars) != std::string::npos;
}

bool IsValidFileName(const std::string& name) {
  return !name.empty() && !ContainsAnyChar(name, "<>\"[]|");
}
