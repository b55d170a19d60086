#include "platform/wcl/win/registry.h"

#include <cstring>
#include <functional>
#include <vector>

#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// A key path without the separators at its ends.
std::string TrimSeparators(const std::string& path) {
  size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return std::string();
  return path.substr(first, path.find_last_not_of('\\') - first + 1);
}

UniqueKey OpenKeyAt(HKEY base, const std::string& path, bool create, REGSAM access) {
  HKEY key = nullptr;
  LONG result = create ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                         nullptr, &key, nullptr)
                       : RegOpenKeyExA(base, path.c_str(), 0, access, &key);
  return UniqueKey(result == ERROR_SUCCESS ? key : nullptr);
}

// The raw data and type of a value; false when it is missing or unreadable.
bool QueryValue(HKEY key, const std::string& name, DWORD& type, std::string& data) {
  if (key == nullptr) return false;
  for (;;) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    DWORD got = size;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &got);
    if (result == ERROR_MORE_DATA) continue;  // the value grew in between
    if (result != ERROR_SUCCESS) return false;
    data.resize(got);
    return true;
  }
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Stored text ends at its first NUL (the terminator, when the writer stored one).
std::string TextOf(const std::string& data) { return data.substr(0, data.find('\0')); }

bool DwordOf(DWORD type, const std::string& data, int& value) {
  if (type != REG_DWORD || data.size() != sizeof(DWORD)) return false;
  std::memcpy(&value, data.data(), sizeof value);
  return true;
}

bool SetText(HKEY key, const std::string& name, const std::string& value) {
  return key != nullptr &&
         RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// The names of a key's subkeys (or of its values).
std::vector<std::string> EnumNames(HKEY key, bool values) {
  std::vector<std::string> names;
  DWORD longestKey = 0;
  DWORD longestValue = 0;
  if (key == nullptr || RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &longestKey, nullptr, nullptr,
                                         &longestValue, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::vector<char> buffer((values ? longestValue : longestKey) + 2);
  for (DWORD index = 0;;) {
    auto length = static_cast<DWORD>(buffer.size());
    LONG result = values ? RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                         : RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), length);
    ++index;
  }
  return names;
}

void Fill(TStrings* strings, const std::vector<std::string>& names) {
  strings->BeginUpdate();
  strings->Clear();
  for (const std::string& name : names) strings->Add(name);
  strings->EndUpdate();
}

// Deletes the key at path below parent after everything below it.
bool DeleteTree(HKEY parent, const std::string& path) {
  {
    UniqueKey key = OpenKeyAt(parent, path, false, KEY_ALL_ACCESS);
    if (!key) return false;
    for (const std::string& child : EnumNames(key.get(), false)) DeleteTree(key.get(), child);
  }
  return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

[[noreturn]] void RaiseRegistry(const char* what, const std::string& name) {
  throw ERegistryException(std::string(what) + " '" + name + "'");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TRegistry

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative, std::string& fullPath) const {
  relative = TrimSeparators(key);
  if (!current_ || (!key.empty() && key[0] == '\\')) {
    fullPath = relative;
    return root_;
  }
  fullPath = relative.empty() ? currentPath_ : currentPath_.empty() ? relative : currentPath_ + "\\" + relative;
  return current_.get();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string relative, fullPath;
  HKEY base = BaseFor(key, relative, fullPath);
  UniqueKey opened = OpenKeyAt(base, relative, canCreate, KEY_ALL_ACCESS);
  if (!opened) return false;
  current_ = std::move(opened);
  currentPath_ = fullPath;
  return true;
}

void TRegistry::CloseKey() {
  current_.reset();
  currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string relative, fullPath;
  HKEY base = BaseFor(key, relative, fullPath);
  return static_cast<bool>(OpenKeyAt(base, relative, false, KEY_READ));
}

bool TRegistry::ValueExists(const std::string& name) {
  return current_ && RegQueryValueExA(current_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(current_.get(), name, type, data)) return std::string();
  if (!IsText(type)) RaiseRegistry("Invalid data type for", name);
  return TextOf(data);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!SetText(current_.get(), name, value)) RaiseRegistry("Failed to set data for", name);
}

int TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(current_.get(), name, type, data)) RaiseRegistry("Failed to get data for", name);
  int value = 0;
  if (DwordOf(type, data, value) || (IsText(type) && TryStrToInt(Trim(TextOf(data)), value))) return value;
  RaiseRegistry("Invalid data type for", name);
}

void TRegistry::WriteInteger(const std::string& name, int value) { WriteString(name, IntToStr(value)); }

bool TRegistry::DeleteKey(const std::string& key) {
  std::string relative, fullPath;
  HKEY base = BaseFor(key, relative, fullPath);
  return !relative.empty() && DeleteTree(base, relative);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return current_ && RegDeleteValueA(current_.get(), name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetKeyNames(TStrings* strings) { Fill(strings, EnumNames(current_.get(), false)); }

void TRegistry::GetValueNames(TStrings* strings) { Fill(strings, EnumNames(current_.get(), true)); }

// ---------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& path)
    : TCustomIniFile(path), key_(OpenKeyAt(HKEY_CURRENT_USER, TrimSeparators(path), true, KEY_ALL_ACCESS)) {}

UniqueKey TRegIniFile::OpenSection(const std::string& section, bool forWriting) {
  if (!key_) return UniqueKey();
  return OpenKeyAt(key_.get(), TrimSeparators(section), forWriting, forWriting ? KEY_ALL_ACCESS : KEY_READ);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  UniqueKey key = OpenSection(section, false);
  DWORD type = 0;
  std::string data;
  int number = 0;
  if (!QueryValue(key.get(), ident, type, data)) return defaultValue;
  if (IsText(type)) return TextOf(data);
  if (DwordOf(type, data, number)) return IntToStr(number);
  return defaultValue;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  UniqueKey key = OpenSection(section, true);
  if (!SetText(key.get(), ident, value)) RaiseRegistry("Failed to set data for", ident);
}

void TRegIniFile::ReadSection(const std::string& section, TStrings* strings) {
  UniqueKey key = OpenSection(section, false);
  Fill(strings, EnumNames(key.get(), true));
}

void TRegIniFile::ReadSections(TStrings* strings) { Fill(strings, EnumNames(key_.get(), false)); }

void TRegIniFile::EraseSection(const std::string& section) {
  std::string path = TrimSeparators(section);
  if (key_ && !path.empty()) DeleteTree(key_.get(), path);
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  if (!SectionExists(section)) return;  // nothing to delete, and no key to make
  UniqueKey key = OpenSection(section, true);
  RegDeleteValueA(key.get(), ident.c_str());
}

void TRegIniFile::UpdateFile() {
  if (key_) RegFlushKey(key_.get());
}

bool TRegIniFile::SectionExists(const std::string& section) {
  return static_cast<bool>(OpenSection(section, false));
}

bool TRegIniFile::ValueExists(const std::string& section, const std::string& ident) {
  UniqueKey key = OpenSection(section, false);
  return key && RegQueryValueExA(key.get(), ident.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------------------
// TIniFile

namespace {

// Reads through a profile function that reports a cut-off result by filling the buffer to
// `slack` characters from its end: the buffer grows until the whole result fits.
std::string ReadGrowing(const std::function<DWORD(char*, DWORD)>& read, DWORD slack) {
  std::vector<char> buffer(2048);
  for (;;) {
    DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length + slack < buffer.size() || buffer.size() >= (1u << 24)) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 4);
  }
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

std::vector<std::string> SplitNulList(const std::string& list) {
  std::vector<std::string> items;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
  return ReadGrowing(
      [&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section.c_str(), ident.c_str(), defaultValue.c_str(), buffer, size,
                                        FileName().c_str());
      },
      1);
}

std::string TIniFile::ReadList(const char* section) {
  return ReadGrowing(
      [&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section, nullptr, "", buffer, size, FileName().c_str());
      },
      2);
}

void TIniFile::Write(const char* section, const char* ident, const char* value) {
  if (!WritePrivateProfileStringA(section, ident, value, FileName().c_str()))
    throw EIniFileException("Unable to write to " + FileName());
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  // The profile functions would write these as they are and could not read them back: a
  // line break would even make new keys or sections of the rest of the value.
  std::string key = Trim(ident);
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    throw EIniFileException("A line break cannot be stored in an INI file");
  if (key.find('=') != std::string::npos || (!key.empty() && (key[0] == ';' || key[0] == '[')))
    throw EIniFileException("Invalid key name " + ident);
  Write(section.c_str(), key.c_str(), value.c_str());
}

void TIniFile::ReadSection(const std::string& section, TStrings* strings) {
  Fill(strings, SplitNulList(ReadList(section.c_str())));
}

void TIniFile::ReadSections(TStrings* strings) { Fill(strings, SplitNulList(ReadList(nullptr))); }

void TIniFile::EraseSection(const std::string& section) { Write(section.c_str(), nullptr, nullptr); }

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  // Nothing to report when the key (or the whole file) is not there.
  WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str()); }
