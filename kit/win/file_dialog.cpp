#include "kit/win/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "kit/filename_edit_logic.h"
#include "platform/wcl/win/built_in_texts.h"

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

// The filter as the dialog wants it ("text\0pattern\0...\0\0"), wide.
std::wstring ShownFilter(const std::string& filter) {
  const std::string buffer = DialogFilterBuffer(filter);
  return WideFromCodePage(buffer, ShownCodePage(filter));
}

// The dialog's names ("name\0\0" or "dir\0a\0b\0\0") in the ANSI code page.
std::string AnsiNames(const std::vector<wchar_t>& names) {
  size_t end = 0;
  while (end + 1 < names.size() && !(names[end] == L'\0' && names[end + 1] == L'\0')) ++end;
  const int length = static_cast<int>(std::min(end + 2, names.size()));
  const int size = WideCharToMultiByte(CP_ACP, 0, names.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, names.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner)
    : TComponent(owner), historyList_(std::make_unique<TStringList>()), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() { return g_fileDialogEdge != nullptr ? g_fileDialogEdge(*this) : RunSystemDialog(); }

bool TOpenDialog::RunSystemDialog() {
  // The wide dialog, so that a built-in title or filter reads right (see built_in_texts.h);
  // names go in and come back in the ANSI code page, as the rest of the program keeps them.
  std::vector<wchar_t> names((options_ & ofAllowMultiSelect) ? 65536 : MAX_PATH * 2, L'\0');
  const std::wstring name = WideFromCodePage(fileName_, CP_ACP);
  name.copy(names.data(), names.size() - 1);
  const std::wstring filter = ShownFilter(filter_);
  const std::wstring initialDir = WideFromCodePage(initialDir_, CP_ACP);
  const std::wstring title = ShownText(title_);
  const std::wstring defaultExt = WideFromCodePage(defaultExt_, CP_ACP);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = static_cast<DWORD>(names.size());
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = OptionFlags(options_);
  const BOOL chosen = IsSaveDialog() ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return false;
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY) options_ |= ofReadOnly;
  else options_ &= ~static_cast<unsigned>(ofReadOnly);
  const std::string chosenNames = AnsiNames(names);
  files_->Clear();
  for (const std::string& chosenName : DialogResultNames(chosenNames.data(), chosenNames.size()))
    files_->Add(chosenName);
  fileName_ = files_->Count() > 0 ? files_->Strings(0) : std::string();
  return true;
}

TFileDialogEdge SetFileDialogEdge(TFileDialogEdge edge) {
  TFileDialogEdge previous = g_fileDialogEdge;
  g_fileDialogEdge = edge;
  return previous;
}
