#include "kit/win/filename_edit.h"

#include <shellapi.h>

#include "kit/file_utils.h"
#include "kit/filename_edit_logic.h"
#include "kit/win/draw_utils_win.h"
#include "kit/win/long_file_names.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/built_in_texts.h"

namespace {

// The program's texts: "All files (*.*)|*.*" and "List" in the program's own language.
const char* const SAllFilesFilter = "\xC2\xF1\xE5 \xF4\xE0\xE9\xEB\xFB (*.*)|*.*";
const char* const SFileDialogTitle = "\xD1\xEF\xE8\xF1\xEE\xEA";
// Kept in code page 1251 and shown as such whatever the system's code page.
const TBuiltInTexts kBuiltInTexts{SAllFilesFilter, SFileDialogTitle};

const EnumInfo FileDialogKindEnum{"TFileDialogKind", {"dkOpen", "dkSave", "dkOpenPicture", "dkSavePicture"}};

// The folder glyph of the file-name edit's button, 14 x 12, made once per process.
TBitmap* FolderGlyph() {
  static const std::unique_ptr<TBitmap> glyph = [] {
    static const char* const kRows[] = {
        "..............", "..............", ".#####........", "#yyyyy#.......", "#yyyyyy######.",
        "#yyyyyyyyyyyy#", "#yyyyyyyyyyyy#", "#yyyyyyyyyyyy#", "#yyyyyyyyyyyy#", "#yyyyyyyyyyyy#",
        "##############", "..............",
    };
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(14, 12);
    TCanvas* c = bitmap->Canvas();
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 14; ++x)
        c->SetPixels(x, y, kRows[y][x] == '#' ? clBlack : kRows[y][x] == 'y' ? clYellow : clOlive);
    return bitmap;
  }();
  return glyph.get();
}

// Releases the shell's drop handle when the handling ends, whatever way it ends.
class DropScope {
public:
  explicit DropScope(HDROP drop) : drop_(drop) {}
  ~DropScope() { DragFinish(drop_); }
  DropScope(const DropScope&) = delete;
  DropScope& operator=(const DropScope&) = delete;

private:
  HDROP drop_;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// TFileDirEdit

const ClassInfo* TFileDirEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFileDirEdit>("TFileDirEdit", TCustomComboEdit::StaticClassInfo())
                                  .Bool("AcceptFiles", &TFileDirEdit::AcceptFiles, &TFileDirEdit::SetAcceptFiles)
                                  .Build();
  return &ci;
}

TFileDirEdit::TFileDirEdit(TComponent* owner) : TCustomComboEdit(owner) { SetGlyphKind(gkDefault); }

TFileDirEdit::~TFileDirEdit() = default;

TBitmap* TFileDirEdit::GetDefaultGlyph() { return FolderGlyph(); }

void TFileDirEdit::SetAcceptFiles(bool value) {
  if (value == acceptFiles_) return;
  if (HandleAllocated()) DragAcceptFiles(Handle(), value ? TRUE : FALSE);
  acceptFiles_ = value;
}

void TFileDirEdit::CreateParams(TCreateParams& params) {
  TCustomComboEdit::CreateParams(params);
  params.Style |= ES_OEMCONVERT;
}

void TFileDirEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  if (acceptFiles_) DragAcceptFiles(Handle(), TRUE);
}

void TFileDirEdit::DestroyWnd() {
  if (acceptFiles_ && HandleAllocated()) DragAcceptFiles(Handle(), FALSE);
  TCustomComboEdit::DestroyWnd();
}

void TFileDirEdit::DoBeforeDialog(std::string& name, bool& action) {
  if (OnBeforeDialog && !IsDestroying()) OnBeforeDialog(this, name, action);
}

void TFileDirEdit::DoAfterDialog(std::string& name, bool& action) {
  if (OnAfterDialog && !IsDestroying()) OnAfterDialog(this, name, action);
}

bool TFileDirEdit::ExecuteQuietly(TOpenDialog* dialog) {
  struct ErrorModeScope {
    unsigned& saved;
    explicit ErrorModeScope(unsigned& s) : saved(s) { saved = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }
    ~ErrorModeScope() {
      SetErrorMode(saved);
      saved = 0;
    }
  } scope(savedErrorMode_);
  return dialog->Execute();
}

// Each dropped name is read at its own length (paths may reach the system's limit); a name
// the edit refuses is passed over with a beep, and the shell's handle is always released.
void TFileDirEdit::DropFiles(HDROP drop) {
  DropScope scope(drop);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  ClearFileList();
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), length + 1));
    try {
      ReceiveFileName(name);
    } catch (const EComboEditError&) {
      DefaultBeep();
    }
    if (!multiSelect_) break;
  }
  if (OnDropFiles && !IsDestroying()) OnDropFiles(this);
}

void TFileDirEdit::WndProc(TMessage& msg) {
  if (msg.Msg == WM_DROPFILES) {
    DropFiles(reinterpret_cast<HDROP>(msg.WParam));
    msg.Result = 0;
    return;
  }
  TCustomComboEdit::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TFilenameEdit

const ClassInfo* TFilenameEdit::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TFilenameEdit>("TFilenameEdit", TFileDirEdit::StaticClassInfo())
          .Enum("DialogKind", &TFilenameEdit::DialogKind, &TFilenameEdit::SetDialogKind, &FileDialogKindEnum)
          .Str("DefaultExt", &TFilenameEdit::DefaultExt, &TFilenameEdit::SetDefaultExt)
          .Str("FileName", &TFilenameEdit::FileName, &TFilenameEdit::SetFileName)
          .Str("Filter", &TFilenameEdit::Filter, &TFilenameEdit::SetFilter)
          .Int("FilterIndex", &TFilenameEdit::FilterIndex, &TFilenameEdit::SetFilterIndex)
          .Str("InitialDir", &TFilenameEdit::InitialDir, &TFilenameEdit::SetInitialDir)
          .Str("DialogTitle", &TFilenameEdit::DialogTitle, &TFilenameEdit::SetDialogTitle)
          .Build();
  return &ci;
}

TFilenameEdit::TFilenameEdit(TComponent* owner) : TFileDirEdit(owner) { CreateEditDialog(); }

TFilenameEdit::~TFilenameEdit() = default;

// A dialog of the kind asked for; a new one takes over every setting of the one before.
void TFilenameEdit::CreateEditDialog() {
  std::unique_ptr<TOpenDialog> dialog;
  if (dialogKind_ == dkSave || dialogKind_ == dkSavePicture) dialog = std::make_unique<TSaveDialog>(nullptr);
  else dialog = std::make_unique<TOpenDialog>(nullptr);
  if (dialog_) {
    dialog->SetDefaultExt(dialog_->DefaultExt());
    dialog->SetFileEditStyle(dialog_->FileEditStyle());
    dialog->SetFileName(dialog_->FileName());
    dialog->SetFilter(dialog_->Filter());
    dialog->SetFilterIndex(dialog_->FilterIndex());
    dialog->SetInitialDir(dialog_->InitialDir());
    dialog->HistoryList()->Assign(dialog_->HistoryList());
    dialog->Files()->Assign(dialog_->Files());
    dialog->SetOptions(dialog_->Options());
    dialog->SetTitle(dialog_->Title());
  } else {
    dialog->SetTitle(SFileDialogTitle);
    dialog->SetFilter(SAllFilesFilter);
    dialog->SetOptions(ofHideReadOnly);
  }
  dialog_ = std::move(dialog);
}

void TFilenameEdit::SetDialogKind(TFileDialogKind value) {
  if (value == dialogKind_) return;
  dialogKind_ = value;
  CreateEditDialog();
}

void TFilenameEdit::SetDialogOptions(TOpenOptions value) {
  if (value == dialog_->Options()) return;
  dialog_->SetOptions(value);
  SetMultiSelect((value & ofAllowMultiSelect) != 0);
  if (!MultiSelect()) ClearFileList();
}

std::string TFilenameEdit::FileName() const { return ClippedFileName(Text()); }

void TFilenameEdit::SetFileName(const std::string& value) {
  if (!value.empty() && !AcceptableFileName(ClippedFileName(value)))
    throw EComboEditError("Invalid file name - " + value);
  SetText(QuotedFileName(value));
  ClearFileList();
}

std::string TFilenameEdit::GetLongName() { return LongFileNameOf(FileName()); }

std::string TFilenameEdit::GetShortName() { return ShortFileNameOf(FileName()); }

void TFilenameEdit::ReceiveFileName(const std::string& name) {
  if (!MultiSelect()) {
    SetFileName(name);
    return;
  }
  if (dialog_->Files()->Count() == 0) SetFileName(name);
  dialog_->Files()->Add(name);
}

void TFilenameEdit::ClearFileList() { dialog_->Files()->Clear(); }

void TFilenameEdit::DoButtonClick() {
  TFileDirEdit::DoButtonClick();
  std::string name = ClippedFileName(Text());
  bool action = true;
  DoBeforeDialog(name, action);
  if (!action) return;
  // The dialog opens at the folder of the name, with the name itself when it has one.
  if (AcceptableFileName(name)) {
    const std::string folder = ExtractFilePath(name);
    if (!folder.empty() && DirectoryPresent(folder)) dialog_->SetInitialDir(folder);
    const std::string bare = ExtractFileName(name);
    dialog_->SetFileName(bare.empty() || !AcceptableFileName(bare) ? std::string() : name);
  }
  dialog_->SetHelpContext(HelpContext());
  action = ExecuteQuietly(dialog_.get());
  if (action) name = dialog_->FileName();
  if (CanFocus()) SetFocus();
  DoAfterDialog(name, action);
  if (!action) return;
  SetText(QuotedFileName(name));
  dialog_->SetInitialDir(ExtractFilePath(dialog_->FileName()));
}
