#pragma once
// The file-name edits. TFileDirEdit is a combo edit for names of files and folders: a folder
// glyph on its button, names dropped from the shell, and events around a dialog.
// TFilenameEdit adds the file open or save dialog: the button opens it at the folder of the
// name in the edit, and a chosen name comes back into the edit, in double quotes when it
// holds a blank.

#include "kit/win/combo_edit.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/win/file_dialog.h"

// Before and after the dialog: Name is the file name in question, Action whether to go on
// (before) or whether a name was chosen (after); handlers may change both.
using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

class TFileDirEdit : public TCustomComboEdit {
  HL_REFLECTABLE
public:
  explicit TFileDirEdit(TComponent* owner);
  ~TFileDirEdit() override;

  // The window takes files dropped from the shell.
  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool value);

  virtual std::string GetLongName() = 0;
  virtual std::string GetShortName() = 0;

  void WndProc(TMessage& msg) override;

  TNotifyEvent OnDropFiles;
  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;

protected:
  // Takes one name (dropped or chosen).
  virtual void ReceiveFileName(const std::string& name) = 0;
  virtual void ClearFileList() {}
  virtual void DoBeforeDialog(std::string& name, bool& action);
  virtual void DoAfterDialog(std::string& name, bool& action);

  TBitmap* GetDefaultGlyph() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value) { multiSelect_ = value; }
  // Runs the dialog with the system's critical-error boxes off, as they were before
  // afterwards, whatever happens.
  bool ExecuteQuietly(TOpenDialog* dialog);

private:
  void DropFiles(HDROP drop);

  unsigned savedErrorMode_ = 0;
  bool acceptFiles_ = false;
  bool multiSelect_ = false;
};

enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

class TFilenameEdit : public TFileDirEdit {
  HL_REFLECTABLE
public:
  explicit TFilenameEdit(TComponent* owner);
  ~TFilenameEdit() override;

  TFileDialogKind DialogKind() const { return dialogKind_; }
  void SetDialogKind(TFileDialogKind value);
  std::string DefaultExt() const { return dialog_->DefaultExt(); }
  void SetDefaultExt(const std::string& value) { dialog_->SetDefaultExt(value); }
  TFileEditStyle FileEditStyle() const { return dialog_->FileEditStyle(); }
  void SetFileEditStyle(TFileEditStyle value) { dialog_->SetFileEditStyle(value); }
  // The name the text stands for. Writing a name that cannot be a file's raises
  // EComboEditError and leaves the edit as it is; the empty name empties it.
  std::string FileName() const;
  void SetFileName(const std::string& value);
  std::string Filter() const { return dialog_->Filter(); }
  void SetFilter(const std::string& value) { dialog_->SetFilter(value); }
  int FilterIndex() const { return dialog_->FilterIndex(); }
  void SetFilterIndex(int value) { dialog_->SetFilterIndex(value); }
  std::string InitialDir() const { return dialog_->InitialDir(); }
  void SetInitialDir(const std::string& value) { dialog_->SetInitialDir(value); }
  TStrings* HistoryList() const { return dialog_->HistoryList(); }
  TOpenOptions DialogOptions() const { return dialog_->Options(); }
  void SetDialogOptions(TOpenOptions value);
  std::string DialogTitle() const { return dialog_->Title(); }
  void SetDialogTitle(const std::string& value) { dialog_->SetTitle(value); }
  // The dialog's list of chosen or dropped names.
  TStrings* DialogFiles() const { return dialog_->Files(); }
  TOpenDialog* Dialog() const { return dialog_.get(); }

  std::string GetLongName() override;
  std::string GetShortName() override;

protected:
  void ReceiveFileName(const std::string& name) override;
  void ClearFileList() override;
  void DoButtonClick() override;

private:
  void CreateEditDialog();

  std::unique_ptr<TOpenDialog> dialog_;
  TFileDialogKind dialogKind_ = dkOpen;
};
