// Fuzz target for the in-memory INI file read from bytes: any text must load; every section
// and value it lists must be readable, and the text it writes must load to itself again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

namespace {

std::string Written(TMemIniFile& ini) {
  TStringList lines;
  ini.GetStrings(&lines);
  return lines.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TStringList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(data), size));
  TMemIniFile ini("");
  ini.SetStrings(&lines);

  TStringList sections;
  ini.ReadSections(&sections);
  for (int s = 0; s < sections.Count(); ++s) {
    const std::string section = sections.Strings(s);
    if (!ini.SectionExists(section)) std::abort();
    TStringList keys;
    ini.ReadSection(section, &keys);
    for (int k = 0; k < keys.Count(); ++k)
      if (!ini.ValueExists(section, keys.Strings(k))) std::abort();
    TStringList values;
    ini.ReadSectionValues(section, &values);
  }

  // The written form is stable: loading it and writing again gives the same text.
  const std::string first = Written(ini);
  TStringList reread;
  reread.SetText(first);
  TMemIniFile again("");
  again.SetStrings(&reread);
  if (Written(again) != first) std::abort();
  return 0;
}
