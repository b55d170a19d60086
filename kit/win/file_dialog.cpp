#include "kit/win/file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "kit/filename_edit_logic.h"

namespace {

TFileDialogEdge g_fileDialogEdge = nullptr;

// The system dialog's flags for the options.
DWORD OptionFlags(TOpenOptions options) {
  static const struct {
    TOpenOptionFlag option;
    DWORD flag;
  } kFlags[] = {
      {ofReadOnly, OFN_READONLY},           {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},   {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofNoValidate, OFN_NOVALIDATE},       {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
      {ofPathMustExist, OFN_PATHMUSTEXIST}, {ofFileMustExist, OFN_FILEMUSTEXIST},
      {ofCreatePrompt, OFN_CREATEPROMPT},   {ofShareAware, OFN_SHAREAWARE},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
      {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
  };
  DWORD flags = OFN_EXPLORER | OFN_ENABLESIZING;
  for (const auto& f : kFlags)
    if (options & f.option) flags |= f.flag;
  return flags;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner)
    : TComponent(owner), historyList_(std::make_unique<TStringList>()), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() { return g_fileDialogEdge != nullptr ? g_fileDialogEdge(*this) : RunSystemDialog(); }

bool TOpenDialog::RunSystemDialog() {
  // Room for many names when several may be chosen.
  std::vector<char> names((options_ & ofAllowMultiSelect) ? 65536 : MAX_PATH * 2, '\0');
  fileName_.copy(names.data(), names.size() - 1);
  const std::string filter = DialogFilterBuffer(filter_);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = static_cast<DWORD>(names.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OptionFlags(options_);
  const BOOL chosen = IsSaveDialog() ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY) options_ |= ofReadOnly;
  else options_ &= ~static_cast<unsigned>(ofReadOnly);
  files_->Clear();
  for (const std::string& name : DialogResultNames(names.data(), names.size())) files_->Add(name);
  fileName_ = files_->Count() > 0 ? files_->Strings(0) : std::string();
  return true;
}

TFileDialogEdge SetFileDialogEdge(TFileDialogEdge edge) {
  TFileDialogEdge previous = g_fileDialogEdge;
  g_fileDialogEdge = edge;
  return previous;
}
