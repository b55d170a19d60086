#pragma once
// Writing the base-language file "native.lng": the message texts by number first, then the
// texts of every form of the program, collected by each form's translation component from
// a form made for the purpose and never shown. The running program never writes language
// files; a small developer program built with the project does this.
//
// Forms take part by registering a factory once, in their own source file:
//   static TLangFormRegistrar registrar("TformMain",
//                                       [](TComponent* owner) { return new TformMain(owner); });
// A program that collects must link the forms' objects whole, so these registrars run.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/component.h"

using TLangFormFactory = std::function<TComponent*(TComponent* owner)>;

struct TLangFormClass {
  std::string Name;  // the form's class name
  TLangFormFactory Create;
};

// Adds a form class; a name registered again replaces the earlier factory.
void RegisterLangForm(const std::string& name, TLangFormFactory create);
// The registered forms, ordered by name (so the numbers handed out do not depend on the order
// in which registrars happened to run).
std::vector<TLangFormClass> RegisteredLangForms();

class TLangFormRegistrar {
public:
  TLangFormRegistrar(const char* name, TLangFormFactory create) {
    RegisterLangForm(name, std::move(create));
  }
};

struct TLangMessageText {
  uint16_t Ident;
  std::string Text;
};

// Writes dir\native.lng anew: the messages under their numbers, then the texts of each form
// (made with no owner, collected and saved by its translation component, deleted) under
// numbers above the highest message. The file carries charset as its font character set.
// Forms without a translation component are passed over. Raises "Can not save form while
// current language is not native" before writing anything when another language is
// current. The language directory becomes dir.
void CollectBaseLanguage(const std::string& dir, const std::vector<TLangMessageText>& messages,
                         const std::vector<TLangFormClass>& forms, uint8_t charset);
