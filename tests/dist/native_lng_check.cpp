// Checks the base language file of a deliverable folder:
//
//   native_lng_check <native.lng>
//
// The file must read back with the language-file reader, be marked as the base language,
// hold every numbered message text the tracker asks for (with the texts the collector
// writes) and the texts of every translated window and report of the tracker. Prints what
// is wrong; exits 0 only when nothing is.
#include <cstdio>
#include <exception>
#include <set>
#include <string>

#include "app/collector/base_messages.h"
#include "lang/lang_file.h"

namespace {

// The tracker's windows and reports that carry a translation component. A window missing
// here would keep its built-in texts in every language and have no way back to them.
const char* const kTranslatedForms[] = {
    "formHourlark", "formOptions",      "formInputStrings", "FormMessage",  "formWait",
    "formStatistic", "formLingroveInfo", "repStatistic",     "repChart",     "repDetail",
};

int problems = 0;

void Problem(const std::string& what) {
  std::printf("native.lng: %s\n", what.c_str());
  ++problems;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: native_lng_check native.lng\n");
    return 2;
  }
  try {
    TLingroveLangFile file(argv[1]);
    if (file.IsEmpty()) Problem("missing or empty");
    if (!file.HasFlag(lfNative)) Problem("not marked as the base language");

    for (const TLangMessageText& message : BaseMessageTexts()) {
      TLingroveLangStr* entry = file.FindIdent(message.Ident);
      if (entry == nullptr)
        Problem("no text " + std::to_string(message.Ident));
      else if (entry->GetText() != message.Text)
        Problem("text " + std::to_string(message.Ident) + " is \"" + entry->GetText() + "\", not \"" +
                message.Text + "\"");
    }

    std::set<std::string> forms;
    file.Props().ForEachObject([&](const std::string& name, const TLingroveLangProps::PropMap& paths) {
      if (!paths.empty()) forms.insert(name);
    });
    for (const char* form : kTranslatedForms)
      if (forms.count(form) == 0) Problem(std::string("no texts of ") + form);

    std::printf("native.lng: %d texts, %d forms, %s\n", file.GetCount(), static_cast<int>(forms.size()),
                problems == 0 ? "ok" : "FAILED");
  } catch (const std::exception& e) {
    Problem(std::string("does not read back: ") + e.what());
  }
  return problems == 0 ? 0 : 1;
}
