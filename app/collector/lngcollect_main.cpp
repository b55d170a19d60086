// lngcollect: writes the base language file native.lng from the tracker's forms.
//
//   lngcollect [folder]
//
// Each form that registered itself is made (never shown) and its translation component
// collects its texts, after the numbered message texts. The file goes into folder, by default
// the one this program stands in. Hourlark.exe itself only ever reads language files.

#include <cstdio>
#include <exception>
#include <string>

#include "app/collector/base_messages.h"
#include "kit/win/gradient_caption.h"
#include "lang/app_language.h"
#include "lang/win/lang_collector.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFileDir(std::string(path, length));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ProgramFolder();
  int result = 0;
  try {
    TApplication application;
    // The forms' gradient captions take the fixed default font, not this machine's caption
    // font: native.lng must come out the same wherever it is collected.
    GradientCaptionSystemFont = false;
    CollectBaseLanguage(folder, BaseMessageTexts(), RegisteredLangForms(), DEFAULT_CHARSET);
    std::printf("lngcollect: %s\\native.lng written\n", folder.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lngcollect: %s\n", e.what());
    result = 1;
  }
  LangFinalize();
  return result;
}
