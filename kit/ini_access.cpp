#include "kit/ini_access.h"

#include "platform/rtl/ini_file.h"
#include "platform/rtl/sysutils.h"

namespace {

TCustomIniFile* AsStore(TObject* store) { return dynamic_cast<TCustomIniFile*>(store); }

// The profile functions' reader strips quotes and edge blanks; the registry and the
// in-memory INI file keep values as they are.
bool StripsQuotes(const TCustomIniFile* store) { return store->ClassName() == "TIniFile"; }

bool NeedsQuotes(const std::string& value) {
  if (value.empty()) return false;
  const char first = value.front(), last = value.back();
  if ((first == '"' && last == '"') || (first == '\'' && last == '\'')) return true;
  return static_cast<unsigned char>(first) <= ' ' || static_cast<unsigned char>(last) <= ' ';
}

}  // namespace

std::string DefaultIniFileName(const std::string& programPath) {
  return ChangeFileExt(ExtractFileName(programPath), ".INI");
}

std::string DefaultRegistryKey(const std::string& programPath) {
  return "Software\\" + ChangeFileExt(ExtractFileName(programPath), "");
}

std::string IniReadText(TObject* store, const std::string& section, const std::string& name,
                        const std::string& defaultValue) {
  TCustomIniFile* ini = AsStore(store);
  return ini != nullptr ? ini->ReadString(section, name, defaultValue) : defaultValue;
}

void IniWriteText(TObject* store, const std::string& section, const std::string& name,
                  const std::string& value) {
  TCustomIniFile* ini = AsStore(store);
  if (ini == nullptr) return;
  if (StripsQuotes(ini) && NeedsQuotes(value))
    ini->WriteString(section, name, '"' + value + '"');
  else
    ini->WriteString(section, name, value);
}

int IniReadNumber(TObject* store, const std::string& section, const std::string& name,
                  int defaultValue) {
  TCustomIniFile* ini = AsStore(store);
  return ini != nullptr ? ini->ReadInteger(section, name, defaultValue) : defaultValue;
}

void IniWriteNumber(TObject* store, const std::string& section, const std::string& name,
                    int value) {
  if (TCustomIniFile* ini = AsStore(store)) ini->WriteInteger(section, name, value);
}

std::string ScreenSizeSuffix(int width, int height) {
  return "(" + std::to_string(width) + "x" + std::to_string(height) + ")";
}

std::string ReadScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                            const std::string& suffix) {
  std::string value = IniReadText(store, section, name + suffix, std::string());
  if (value.empty()) value = IniReadText(store, section, name, std::string());
  return value;
}

void WriteScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                      const std::string& value, const std::string& suffix) {
  IniWriteText(store, section, name + suffix, value);
  IniWriteText(store, section, name, value);
}
