#pragma once
// TLingroveLang: the translation component, one on every form that switches language
// (LingroveLang1 on the tracker's forms). When its form has been built, and on every
// language switch, it walks the form and puts in the texts, fonts, character sets and text
// directions of the current language file (see lang/translation_walk.h). Which texts count
// is decided by the global scan rules plus the component's own LocalRules.

#include <functional>
#include <memory>
#include <string>

#include "lang/app_language.h"
#include "lang/translation_walk.h"
#include "platform/rtl/component.h"
#include "platform/rtl/string_list.h"

// Runs around a translation with the name of the language being applied.
using TTransEvent = std::function<void(TObject* Sender, const std::string& NewLang)>;

class TLingroveLang : public TComponent, public TLangFormTranslator {
  HL_REFLECTABLE
public:
  // Joins the translators of the live forms, with the global rules as its working rules.
  // A failure here is shown ("An error has occured") and the component is made all the same.
  explicit TLingroveLang(TComponent* owner);
  ~TLingroveLang() override;

  // The application's language directory (not kept with the form).
  const std::string& LangDir() const;
  void SetLangDir(const std::string& value);
  // The current language; setting it switches the language of the whole program, except
  // while the form is being built.
  std::string LangFileName() const;
  void SetLangFileName(const std::string& value);
  // This form's own rules; any change rebuilds the working rules.
  TStrings* LocalRules() const { return localRules_.get(); }
  void SetLocalRules(TStrings* value);
  // The global scan rules; setting copies the lines and rebuilds this component's working
  // rules (other forms' components keep theirs until their own rebuild).
  TStrings* GlobalRules() const;
  void SetGlobalRules(TStrings* value);

  TTransEvent BeforeTrans;
  TTransEvent AfterTrans;

  // Translates the form once it is built, unless the language is the base one.
  void Loaded() override;
  // BeforeTrans, the walk from the current language file (from the base file when the
  // current one failed to load), AfterTrans (also when the walk fails; its error is raised
  // afterwards).
  void Translate() override;
  // The working rules become the local rules and the global ones together.
  void MergeRules();
  bool IsTranslatable(const TPersistent* obj, const std::string& objPath,
                      const std::string& propName) const;
  const TLangRules& WorkingRules() const { return rules_; }

  // Collects the form's texts into the open writable base-language file (OpenNativeEdit)
  // and saves it; without walk it only saves. The current and base files are closed first,
  // so the file can be replaced. While another language is current, only texts already in
  // the file are updated and the error "Can not save form while current language is not
  // native" follows the save.
  void CollectStrings(bool walk);

private:
  std::unique_ptr<TStringList> localRules_;
  TLangRules rules_;
};
