#pragma once
// The system's file open and save dialogs as components: the settings are kept in members,
// Execute runs the dialog with them and reads the chosen names back. Running goes through a
// replaceable function, so that tests can answer in place of the user.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>

#include "platform/rtl/component.h"
#include "platform/rtl/string_list.h"

// What the dialog allows and asks: a mask of these flags.
enum TOpenOptionFlag : unsigned {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofNoValidate = 1u << 4,
  ofAllowMultiSelect = 1u << 5,
  ofPathMustExist = 1u << 6,
  ofFileMustExist = 1u << 7,
  ofCreatePrompt = 1u << 8,
  ofShareAware = 1u << 9,
  ofNoReadOnlyReturn = 1u << 10,
  ofNoTestFileCreate = 1u << 11,
  ofNoDereferenceLinks = 1u << 12,
};
using TOpenOptions = unsigned;

// The file-name box of old-style dialogs; the dialogs shown here are all new-style.
enum TFileEditStyle { fsEdit, fsComboBox };

class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
  TFileEditStyle FileEditStyle() const { return fileEditStyle_; }
  void SetFileEditStyle(TFileEditStyle value) { fileEditStyle_ = value; }
  // The chosen name (the first one of several).
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  // "text|pattern|text|pattern".
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  TStrings* HistoryList() const { return historyList_.get(); }
  // Every chosen name.
  TStrings* Files() const { return files_.get(); }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }
  virtual bool IsSaveDialog() const { return false; }

  // Shows the dialog; true when the user chose a name (FileName and Files hold it).
  bool Execute();
  // The system's dialog itself, as the default way of running.
  bool RunSystemDialog();

private:
  std::string defaultExt_;
  TFileEditStyle fileEditStyle_ = fsEdit;
  std::string fileName_;
  std::string filter_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::unique_ptr<TStringList> historyList_;
  std::unique_ptr<TStringList> files_;
  TOpenOptions options_ = ofHideReadOnly;
  std::string title_;
  int helpContext_ = 0;
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  bool IsSaveDialog() const override { return true; }
};

// Runs a dialog in place of the user; answers what Execute answers.
using TFileDialogEdge = bool (*)(TOpenDialog& dialog);
// Installs a replacement (nullptr restores the system dialog); returns the one replaced.
TFileDialogEdge SetFileDialogEdge(TFileDialogEdge edge);
