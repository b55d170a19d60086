#include "lang/win/lang_collector.h"

#include <algorithm>
#include <memory>

#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

std::vector<TLangFormClass>& Registry() {
  static std::vector<TLangFormClass> forms;
  return forms;
}

TLingroveLang* FindTranslator(const TComponent* form) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* lang = dynamic_cast<TLingroveLang*>(form->Components(i))) return lang;
  return nullptr;
}

// Closes the writable file however the collection ends.
struct NativeEditCloser {
  ~NativeEditCloser() { CloseNativeEdit(); }
};

}  // namespace

void RegisterLangForm(const std::string& name, TLangFormFactory create) {
  std::vector<TLangFormClass>& forms = Registry();
  auto same = std::find_if(forms.begin(), forms.end(),
                           [&](const TLangFormClass& f) { return f.Name == name; });
  if (same != forms.end())
    same->Create = std::move(create);
  else
    forms.push_back({name, std::move(create)});
}

std::vector<TLangFormClass> RegisteredLangForms() {
  std::vector<TLangFormClass> forms = Registry();
  std::sort(forms.begin(), forms.end(),
            [](const TLangFormClass& a, const TLangFormClass& b) { return a.Name < b.Name; });
  return forms;
}

void CollectBaseLanguage(const std::string& dir, const std::vector<TLangMessageText>& messages,
                         const std::vector<TLangFormClass>& forms, uint8_t charset) {
  if (!SameText(CurrentLanguage(), "native"))
    throw Exception("Can not save form while current language is not native");
  try {
    AppLanguage()->SetLangDir(dir);
  } catch (const Exception&) {
    // The base file there cannot be read (damaged, or not a language file): it is about to
    // be written anew, so it need not load. The current file stays empty meanwhile.
  }
  NativeEditCloser closer;
  // Written anew, never read: what an earlier build collected does not linger, and a
  // damaged file does not stop the collecting.
  TLingroveLangFileEdit* edit = OpenNativeEdit("native", true);
  edit->SetFlag(lfNative, true);
  edit->SetFontCharset(charset);
  for (const TLangMessageText& message : messages) edit->AddString(message.Ident, message.Text, 0);
  // Files open for reading would keep the file from being replaced.
  CloseCurrentFile();
  CloseBaseLangFile();
  edit->Save();

  for (const TLangFormClass& formClass : forms) {
    std::unique_ptr<TComponent> form(formClass.Create(nullptr));
    if (TLingroveLang* lang = FindTranslator(form.get())) lang->CollectStrings(true);
  }
}
