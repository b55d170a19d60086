#pragma once
// The application language: which language is current, where the language files lie, which
// languages exist, and the texts that code fetches by number.
//
// The state is process-wide and lives on the window thread: the current and the previous
// language, the language directory, the current language file (opened on first need), the
// base-language file "Native" (the fallback for texts by number), the translation components
// of the live forms, and the global scan rules. TLingroveAppLanguage is the component face of
// that state; AppLanguage() is the one object the program uses.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"

class TLingroveLangFile;
class TLingroveLangFileEdit;
class TStrings;
class TStringList;

// What a text number without an entry in either file gives.
extern const char* const kUndefinedLangString;

// A form's translator (the translation component): re-translates its form when the language
// changes. Translators register themselves for as long as they live.
class TLangFormTranslator {
public:
  virtual ~TLangFormTranslator() = default;
  virtual void Translate() = 0;
};

class TLingroveAppLanguage : public TComponent {
  HL_REFLECTABLE
public:
  // Takes the process's current directory as the base directory.
  explicit TLingroveAppLanguage(TComponent* owner = nullptr);
  ~TLingroveAppLanguage() override;

  // The language directory as set. A value with a drive ("C:\...") or a network path
  // ("\\server\share\...") is used as it is, one that starts with a single "\" is taken on
  // the base directory's drive, any other is taken below the base directory. Setting a new
  // value reloads the current language file and rebuilds the language list; a load error
  // is raised after both.
  const std::string& LangDir() const;
  void SetLangDir(const std::string& value);
  // The global scan rules (the list itself); setting copies the lines.
  TStrings* ScanRules() const;
  void SetScanRules(TStrings* value);
  // Kept for the language settings; nothing here reads it.
  const std::string& NativeLangName() const { return nativeLangName_; }
  void SetNativeLangName(const std::string& value) { nativeLangName_ = value; }

  // The languages of the language directory (file names without ".lng"), in the order the
  // directory gives them. The list belongs to this object.
  TStrings* Languages() const;
  // The current language; setting it switches the language (SetLanguage).
  std::string LangFileName() const;
  void SetLangFileName(const std::string& value);
  std::string GetLangString(uint16_t number) const;

  // The directory a relative LangDir is taken below; a change applies to the directory
  // from the next load on.
  const std::string& BaseDir() const { return baseDir_; }
  void SetBaseDir(const std::string& directory);

private:
  std::unique_ptr<TStringList> languages_;
  std::string baseDir_;
  std::string nativeLangName_;
};

// The application-language object, made on first use; LangFinalize deletes it.
TLingroveAppLanguage* AppLanguage();
// The end of the program's language support: deletes every translation component still
// registered (first to last), closes the files, deletes the application-language object,
// and puts the current language ("Native"), the directory and the scan rules back.
void LangFinalize();

// The current and the previous language (names of language files without ".lng").
const std::string& CurrentLanguage();
const std::string& PreviousLanguage();
// The absolute language directory, ending in a delimiter.
const std::string& ResolvedLangDir();
// The global rules that decide which properties translate ("+Caption", "-edUser", ...).
TStringList* ScanRules();

// The current language file: loads it (showing the hourglass and applying its locale
// block) after closing the one open; closes it; both.
// A file that cannot be read leaves an empty current file (nullptr from CurrentLangFile, so
// lookups fall back to the base file) and raises its error once, from the load.
void LoadCurrentFile();
void CloseCurrentFile();
void ReloadCurrentFile();
// The current file, opened (without hourglass or locale) when none is; nullptr for an empty
// current file after a failed load.
TLingroveLangFile* CurrentLangFile();

// The base-language file, opened read-only from the language directory on first need and
// never created; nullptr when it cannot be read.
TLingroveLangFile* BaseLangFile();
void CloseBaseLangFile();

// The writable language file of the language directory (created, with its directory, as
// needed; marked native when name is "native" in any case). Used to write language files,
// never by the running tracker. With anew the file there is not read: the edit starts empty.
TLingroveLangFileEdit* OpenNativeEdit(const std::string& name, bool anew = false);
void CloseNativeEdit();
TLingroveLangFileEdit* NativeEditFile();

// Makes name the current language: reloads the current file and has every registered
// translator re-translate its form, in registration order. A failed load or translation
// does not stop the others; the first error is raised at the end.
void SetLanguage(const std::string& name);
// The text of a number: from the current file (an entry marked "do not translate" in a file
// other than the base file does not count), else from the base file, else
// kUndefinedLangString.
std::string GetLangString(uint16_t number);
// Fills list with the languages of the language directory: every "*.lng" entry, by its name
// without the extension, in directory order.
void RefreshLanguageList(TStrings* list);

// Translators join at the end and leave when they go; when the last one leaves, the
// current and the base file are closed.
void RegisterTranslator(TLangFormTranslator* translator);
void UnregisterTranslator(TLangFormTranslator* translator);
const std::vector<TLangFormTranslator*>& Translators();

// Called with true before a language file loads and with false after it (also on failure),
// once around nested loads: the window side shows the hourglass. Returns the hook replaced.
using TLangBusyHook = void (*)(bool busy);
TLangBusyHook SetLangBusyHook(TLangBusyHook hook);
