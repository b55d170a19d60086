// Fuzz target for the language-file reader: any input must load or fail with the runtime's
// errors, and whatever loads must survive the lookups and write back to an image that reads
// and writes again to the very same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lang/lang_file_edit.h"

namespace {

// Reaches the writer's image without touching the disk.
class FuzzLangFile : public TLingroveLangFileEdit {
public:
  FuzzLangFile() : TLingroveLangFileEdit("hl-fuzz-no-such-folder\\none") {}
  std::string Image() {
    CheckCounts();
    return BuildImage();
  }
};

void Lookups(TLingroveLangFile& file) {
  for (int i = 0; i < file.GetCount(); ++i) {
    TLingroveLangStr* s = file.GetItem(i);
    std::string path = s->GetPropName();
    // A table out of order may hide entries from the search; only safety is asked here.
    if (!path.empty()) file.Find(s->GetObjName(), path);
    file.FindIdent(s->GetIdent());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzLangFile* first = new FuzzLangFile;
  static FuzzLangFile* second = new FuzzLangFile;
  try {
    first->LoadFromImage(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const Exception&) {
    if (!first->IsEmpty() || first->GetCount() != 0) std::abort();
    return 0;
  }
  Lookups(*first);
  if (first->IsEmpty()) return 0;
  std::string image;
  try {
    image = first->Image();
  } catch (const ELangFileError&) {
    return 0;  // more than the layout can hold
  }
  second->LoadFromImage(image);
  if (second->Image() != image) std::abort();
  return 0;
}
