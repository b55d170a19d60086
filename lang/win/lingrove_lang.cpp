#include "lang/win/lingrove_lang.h"

#include <exception>

#include "lang/lang_file_edit.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/screen.h"

namespace {

// The hourglass while a language file loads.
void ShowHourglass(bool busy) {
  static TCursor previous = crDefault;
  if (Screen == nullptr) return;
  if (busy) {
    previous = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
  } else {
    Screen->SetCursor(previous);
  }
}

// List-view items keep their caption out of the published properties.
bool GetItemCaption(const TPersistent* item, std::string& caption) {
  auto* listItem = dynamic_cast<const TListItem*>(item);
  if (listItem == nullptr) return false;
  caption = listItem->Caption();
  return true;
}

bool SetItemCaption(TPersistent* item, const std::string& caption) {
  auto* listItem = dynamic_cast<TListItem*>(item);
  if (listItem == nullptr) return false;
  listItem->SetCaption(caption);
  return true;
}

bool IsNative(const std::string& language) { return SameText(language, "native"); }

}  // namespace

const ClassInfo* TLingroveLang::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TLingroveLang>("TLingroveLang", TComponent::StaticClassInfo())
          .Str("LangDir", &TLingroveLang::LangDir, &TLingroveLang::SetLangDir)
          .Stored(false)
          .Str("LangFileName", &TLingroveLang::LangFileName, &TLingroveLang::SetLangFileName)
          .Stored(false)
          .Obj("LocalRules", &TLingroveLang::LocalRules, nullptr)
          .Obj("GlobalRules", &TLingroveLang::GlobalRules, nullptr)
          .Stored(false)
          .Build();
  return &ci;
}

TLingroveLang::TLingroveLang(TComponent* owner)
    : TComponent(owner), localRules_(std::make_unique<TStringList>()) {
  try {
    SetLangBusyHook(&ShowHourglass);
    SetListItemCaptionAccess(&GetItemCaption, &SetItemCaption);
    rules_.Assign(*ScanRules());
    localRules_->OnChange = [this](TObject*) { MergeRules(); };
    RegisterTranslator(this);
  } catch (...) {
    EdgeMessageBox("An error has occured", Application != nullptr ? Application->Title() : "",
                   MB_OK | MB_ICONERROR);
  }
}

TLingroveLang::~TLingroveLang() {
  UnregisterTranslator(this);
  localRules_->OnChange = nullptr;
}

const std::string& TLingroveLang::LangDir() const { return AppLanguage()->LangDir(); }

void TLingroveLang::SetLangDir(const std::string& value) { AppLanguage()->SetLangDir(value); }

std::string TLingroveLang::LangFileName() const { return CurrentLanguage(); }

void TLingroveLang::SetLangFileName(const std::string& value) {
  if (ComponentState() & csLoading) return;
  SetLanguage(value);
}

void TLingroveLang::SetLocalRules(TStrings* value) {
  if (value != localRules_.get()) localRules_->Assign(value);
  MergeRules();
}

TStrings* TLingroveLang::GlobalRules() const { return ScanRules(); }

void TLingroveLang::SetGlobalRules(TStrings* value) {
  if (value != ScanRules()) ScanRules()->Assign(value);
  MergeRules();
}

void TLingroveLang::MergeRules() { rules_.Merge(*localRules_, *ScanRules()); }

bool TLingroveLang::IsTranslatable(const TPersistent* obj, const std::string& objPath,
                                   const std::string& propName) const {
  return rules_.IsTranslatable(obj->ClassName(), objPath, propName);
}

void TLingroveLang::Loaded() {
  TComponent::Loaded();
  // A form built while the base language is current already shows its texts. Otherwise
  // the form comes to the screen's resolution first: the file's font sizes are points at
  // that resolution, which scaling the form afterwards would enlarge once more.
  if (IsNative(CurrentLanguage())) return;
  if (auto* form = dynamic_cast<TCustomForm*>(Owner())) form->ScaleToScreen();
  Translate();
}

void TLingroveLang::Translate() {
  TComponent* form = Owner();
  if (form == nullptr) return;
  const std::string language = CurrentLanguage();
  if (BeforeTrans) BeforeTrans(this, language);
  std::exception_ptr error;
  try {
    // A language file that failed to load gives way to the base language's file, as the
    // texts fetched by number do: the form shows the base texts rather than staying in the
    // language it had before.
    TLingroveLangFile* file = CurrentLangFile();
    if (file == nullptr) file = BaseLangFile();
    TranslateForm(form, rules_, file);
  } catch (...) {
    error = std::current_exception();
  }
  // What BeforeTrans began, AfterTrans ends, whatever became of the walk.
  if (AfterTrans) AfterTrans(this, language);
  if (error) std::rethrow_exception(error);
}

void TLingroveLang::CollectStrings(bool walk) {
  TLingroveLangFileEdit* edit = NativeEditFile();
  if (edit == nullptr) throw ELangFileError("No writable language file is open");
  const bool native = IsNative(CurrentLanguage());
  if (walk && Owner() != nullptr) {
    MergeRules();
    CollectFormStrings(Owner(), rules_, *edit, CurrentLangFile(), native);
  }
  // Files open for reading would keep the file from being replaced.
  CloseCurrentFile();
  CloseBaseLangFile();
  edit->Save();
  if (!native) throw Exception("Can not save form while current language is not native");
}
