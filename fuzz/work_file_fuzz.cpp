// Fuzz target for the work file: any bytes on disk must read; every listed section must
// give its values, and a value written into the file must read back after saving while the
// other sections keep their values.

#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/work_file.h"
#include "platform/rtl/string_list.h"

namespace {

std::string ScratchFile() {
  static const std::string name = "/tmp/hl-work-file-fuzz-" + std::to_string(getpid()) + ".txt";
  return name;
}

std::string SectionText(const WorkFile& file, const std::string& section) {
  TStringList lines;
  file.ReadSectionValues(section, lines);
  return lines.Text();
}

// Section names compare without regard to case.
bool IsFuzzDay(const std::string& section) {
  static const std::string target = "fuzz day";
  if (section.size() != target.size()) return false;
  for (size_t i = 0; i < section.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(section[i])) != target[i]) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = ScratchFile();
  {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  WorkFile file(name);
  const std::vector<std::string> sections = file.SectionNames();
  std::vector<std::string> before;
  for (const std::string& section : sections) before.push_back(SectionText(file, section));

  file.WriteString("Fuzz Day", "fuzz.exe", "12:34:56");
  file.UpdateFile();
  WorkFile saved(name);
  if (saved.ReadString("Fuzz Day", "fuzz.exe", "") != "12:34:56") std::abort();
  for (size_t i = 0; i < sections.size(); ++i) {
    if (IsFuzzDay(sections[i])) continue;
    if (SectionText(saved, sections[i]) != before[i]) std::abort();
  }
  std::remove(name.c_str());
  return 0;
}
