#include "lang/app_language.h"

#include <algorithm>
#include <exception>

#include "lang/lang_file_edit.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/language_texts.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

const char* const kUndefinedLangString = "undefined language string";

namespace {

const char* const kNativeLanguage = "Native";

std::unique_ptr<TStringList> DefaultScanRules() {
  auto rules = std::make_unique<TStringList>();
  for (const char* rule : {"+Caption", "+DisplayLabel", "+Hint", "+Text", "+Header", "+ReportTitle",
                           "+Items", "+Lines", "+Values", "+Hints"})
    rules->Add(rule);
  return rules;
}

struct LangState {
  std::string current = kNativeLanguage;
  std::string previous;
  std::string rawDir;
  std::string resolvedDir;
  std::unique_ptr<TLingroveLangFile> currentFile;
  bool currentLoaded = false;  // with a null currentFile: an empty file after a failed load
  std::unique_ptr<TLingroveLangFile> baseFile;
  bool baseLoaded = false;
  std::unique_ptr<TLingroveLangFileEdit> nativeEdit;
  std::vector<TLangFormTranslator*> translators;
  std::unique_ptr<TStringList> scanRules = DefaultScanRules();
  std::unique_ptr<TLingroveAppLanguage> app;
  TLangBusyHook busyHook = nullptr;
  int busyDepth = 0;
};

LangState& State() {
  static LangState state;
  return state;
}

// The hourglass for the length of a file operation, however it ends.
class BusyCursor {
public:
  BusyCursor() {
    if (State().busyDepth++ == 0 && State().busyHook) State().busyHook(true);
  }
  ~BusyCursor() {
    if (--State().busyDepth == 0 && State().busyHook) State().busyHook(false);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

// "C:" of a drive path, "\\server\share" of a network path, nothing otherwise.
std::string DriveOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && IsDelimiter(path[0]) && IsDelimiter(path[1])) {
    size_t server = AnsiFindFirstOf(path, "\\/", 2);
    if (server == std::string::npos) return path;
    size_t share = AnsiFindFirstOf(path, "\\/", server + 1);
    return path.substr(0, share);
  }
  return std::string();
}

std::string ResolveLangDir(const std::string& base, const std::string& value) {
  std::string dir;
  if (value.size() >= 2 && (value[1] == ':' || (IsDelimiter(value[0]) && IsDelimiter(value[1]))))
    dir = value;  // a drive or a network path stands for itself
  else if (!value.empty() && IsDelimiter(value[0]))
    dir = DriveOf(base) + value;
  else
    dir = IncludeTrailingBackslash(base) + value;
  return IncludeTrailingBackslash(dir);
}

// Creates dir with every missing parent.
void ForceLangDir(const std::string& dir) {
  const std::string path = ExcludeTrailingBackslash(dir);
  if (path.empty() || DirectoryExists(path)) return;
  const std::string parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path) ForceLangDir(parent);
#ifdef _WIN32
  const bool made = _mkdir(path.c_str()) == 0;
#else
  const bool made = mkdir(path.c_str(), 0777) == 0;
#endif
  if (!made && !DirectoryExists(path)) throw EOSError("Unable to create directory " + path);
}

// The names of the directory's "*.lng" entries of any kind, in the directory's order.
std::vector<std::string> FindLangFiles(const std::string& dir) {
  std::vector<std::string> names;
#ifdef _WIN32
  _finddata_t data;
  intptr_t find = _findfirst((dir + "*.lng").c_str(), &data);
  if (find == -1) return names;
  do names.push_back(data.name);
  while (_findnext(find, &data) == 0);
  _findclose(find);
#else
  // The system's pattern ignores letter case; so does this.
  DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
  if (folder == nullptr) return names;
  while (dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() >= 4 && SameText(name.substr(name.size() - 4), ".lng")) names.push_back(name);
  }
  closedir(folder);
#endif
  return names;
}

}  // namespace

// ---- TLingroveAppLanguage ----------------------------------------------------------------

const ClassInfo* TLingroveAppLanguage::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TLingroveAppLanguage>("TLingroveAppLanguage", TComponent::StaticClassInfo())
          .Str("LangDir", &TLingroveAppLanguage::LangDir, &TLingroveAppLanguage::SetLangDir)
          .Obj("ScanRules", &TLingroveAppLanguage::ScanRules, nullptr)
          .Str("NativeLangName", &TLingroveAppLanguage::NativeLangName,
               &TLingroveAppLanguage::SetNativeLangName)
          .Build();
  return &ci;
}

TLingroveAppLanguage::TLingroveAppLanguage(TComponent* owner)
    : TComponent(owner), languages_(std::make_unique<TStringList>()), baseDir_(LangCurrentDir()) {
  // Until a directory is set, the language files lie in the base directory.
  LangState& s = State();
  if (s.rawDir.empty()) s.resolvedDir = ResolveLangDir(baseDir_, s.rawDir);
}

TLingroveAppLanguage::~TLingroveAppLanguage() = default;

const std::string& TLingroveAppLanguage::LangDir() const { return State().rawDir; }

void TLingroveAppLanguage::SetLangDir(const std::string& value) {
  LangState& s = State();
  if (value == s.rawDir) return;
  s.rawDir = value;
  s.resolvedDir = ResolveLangDir(baseDir_, value);
  // The fallback file belongs to the directory too.
  CloseBaseLangFile();
  std::exception_ptr error;
  try {
    ReloadCurrentFile();
  } catch (...) {
    error = std::current_exception();
  }
  RefreshLanguageList(languages_.get());
  if (error) std::rethrow_exception(error);
}

TStrings* TLingroveAppLanguage::ScanRules() const { return ::ScanRules(); }

void TLingroveAppLanguage::SetScanRules(TStrings* value) {
  if (value != ::ScanRules()) ::ScanRules()->Assign(value);
}

TStrings* TLingroveAppLanguage::Languages() const { return languages_.get(); }

std::string TLingroveAppLanguage::LangFileName() const { return CurrentLanguage(); }

void TLingroveAppLanguage::SetLangFileName(const std::string& value) { SetLanguage(value); }

std::string TLingroveAppLanguage::GetLangString(uint16_t number) const {
  return ::GetLangString(number);
}

void TLingroveAppLanguage::SetBaseDir(const std::string& directory) {
  baseDir_ = directory;
  State().resolvedDir = ResolveLangDir(baseDir_, State().rawDir);
}

// ---- Process-wide state ------------------------------------------------------------------

TLingroveAppLanguage* AppLanguage() {
  LangState& s = State();
  if (!s.app) s.app = std::make_unique<TLingroveAppLanguage>();
  return s.app.get();
}

void LangFinalize() {
  LangState& s = State();
  // Each translator leaves the list as it goes.
  while (!s.translators.empty()) {
    TLangFormTranslator* first = s.translators.front();
    delete first;
    if (!s.translators.empty() && s.translators.front() == first) s.translators.erase(s.translators.begin());
  }
  CloseNativeEdit();
  s.currentFile.reset();
  s.currentLoaded = false;
  BeginLanguageTexts(0);
  s.baseFile.reset();
  s.baseLoaded = false;
  s.app.reset();
  s.scanRules = DefaultScanRules();
  s.current = kNativeLanguage;
  s.previous.clear();
  s.rawDir.clear();
  s.resolvedDir.clear();
}

const std::string& CurrentLanguage() { return State().current; }
const std::string& PreviousLanguage() { return State().previous; }

const std::string& ResolvedLangDir() {
  AppLanguage();  // its creation sets the directory
  return State().resolvedDir;
}

TStringList* ScanRules() { return State().scanRules.get(); }

namespace {

// The current language's file. One that is there but cannot be read is reported by its
// name, with what the user sees from then on: the base language's texts.
std::unique_ptr<TLingroveLangFile> OpenCurrentFile() {
  const std::string path = NormalizeLangFileName(ResolvedLangDir() + State().current);
  try {
    return std::make_unique<TLingroveLangFile>(path);
  } catch (const std::exception& e) {
    throw ELangFileError("The language file " + path + " cannot be read (" + e.what() +
                         "); the base texts are used.");
  }
}

// The texts of a file just opened become the language texts, shown from the code page of
// its charset; an empty file names none.
void NameLanguageTexts(const TLingroveLangFile* file) {
  BeginLanguageTexts(file != nullptr && !file->IsEmpty() ? CodePageOfCharset(file->FontCharset()) : 0);
  if (file == nullptr || file->IsEmpty()) return;
  for (const TLingroveIdentRec& entry : file->Idents()) AddLanguageText(entry.Text);
  if (!file->HasLocale()) return;
  const TLingroveLocale& locale = file->Locale();
  for (const auto* names : {&locale.ShortMonthNames, &locale.LongMonthNames})
    for (const std::string& name : *names) AddLanguageText(name);
  for (const auto* names : {&locale.ShortDayNames, &locale.LongDayNames})
    for (const std::string& name : *names) AddLanguageText(name);
}

}  // namespace

void LoadCurrentFile() {
  LangState& s = State();
  BusyCursor busy;
  s.currentFile.reset();
  // Should the load fail, the current file stays empty rather than being tried again.
  s.currentLoaded = true;
  BeginLanguageTexts(0);
  auto file = OpenCurrentFile();
  if (!file->IsEmpty() && file->HasLocale()) file->ApplyLocale();
  NameLanguageTexts(file.get());
  s.currentFile = std::move(file);
}

void CloseCurrentFile() {
  State().currentFile.reset();
  State().currentLoaded = false;
}

void ReloadCurrentFile() {
  CloseCurrentFile();
  LoadCurrentFile();
}

TLingroveLangFile* CurrentLangFile() {
  LangState& s = State();
  if (!s.currentLoaded) {
    s.currentLoaded = true;
    BeginLanguageTexts(0);
    s.currentFile = OpenCurrentFile();
    NameLanguageTexts(s.currentFile.get());
  }
  return s.currentFile.get();
}

TLingroveLangFile* BaseLangFile() {
  LangState& s = State();
  if (!s.baseLoaded) {
    s.baseLoaded = true;
    try {
      s.baseFile = std::make_unique<TLingroveLangFile>(ResolvedLangDir() + kNativeLanguage);
    } catch (...) {
      // A text lookup never fails: without a readable base file the texts are undefined.
      s.baseFile.reset();
    }
  }
  return s.baseFile.get();
}

void CloseBaseLangFile() {
  State().baseFile.reset();
  State().baseLoaded = false;
}

TLingroveLangFileEdit* OpenNativeEdit(const std::string& name, bool anew) {
  LangState& s = State();
  BusyCursor busy;
  s.nativeEdit.reset();
  ForceLangDir(ResolvedLangDir());
  s.nativeEdit = std::make_unique<TLingroveLangFileEdit>(ResolvedLangDir() + name, !anew);
  s.nativeEdit->SetFlag(lfNative, SameText(name, "native"));
  return s.nativeEdit.get();
}

void CloseNativeEdit() { State().nativeEdit.reset(); }

TLingroveLangFileEdit* NativeEditFile() { return State().nativeEdit.get(); }

void SetLanguage(const std::string& name) {
  LangState& s = State();
  s.previous = s.current;
  s.current = name;
  std::exception_ptr first;
  try {
    ReloadCurrentFile();
  } catch (...) {
    first = std::current_exception();
  }
  // A translator may take others with it (or add new ones): each one still registered
  // translates once.
  const std::vector<TLangFormTranslator*> snapshot = s.translators;
  for (TLangFormTranslator* translator : snapshot) {
    if (std::find(s.translators.begin(), s.translators.end(), translator) == s.translators.end())
      continue;
    try {
      translator->Translate();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

std::string GetLangString(uint16_t number) {
  LangState& s = State();
  if (!s.currentLoaded) LoadCurrentFile();
  if (TLingroveLangFile* file = s.currentFile.get()) {
    if (TLingroveLangStr* entry = file->FindIdent(number)) {
      // An untranslatable text is left out of other languages' files: the base text holds.
      if (!entry->HasFlag(lsDoNotTranslate) || file->HasFlag(lfNative)) return entry->GetText();
    }
  }
  if (TLingroveLangFile* base = BaseLangFile()) {
    if (TLingroveLangStr* entry = base->FindIdent(number)) return entry->GetText();
  }
  return kUndefinedLangString;
}

void RefreshLanguageList(TStrings* list) {
  list->BeginUpdate();
  try {
    list->Clear();
    for (const std::string& name : FindLangFiles(ResolvedLangDir())) list->Add(ChangeFileExt(name, ""));
  } catch (...) {
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

void RegisterTranslator(TLangFormTranslator* translator) { State().translators.push_back(translator); }

void UnregisterTranslator(TLangFormTranslator* translator) {
  LangState& s = State();
  auto it = std::find(s.translators.begin(), s.translators.end(), translator);
  if (it == s.translators.end()) return;
  s.translators.erase(it);
  if (s.translators.empty()) {
    CloseCurrentFile();
    CloseBaseLangFile();
  }
}

const std::vector<TLangFormTranslator*>& Translators() { return State().translators; }

TLangBusyHook SetLangBusyHook(TLangBusyHook hook) {
  TLangBusyHook previous = State().busyHook;
  State().busyHook = hook;
  return previous;
}
