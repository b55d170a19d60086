// The file-name edit under Wine: the button's dialog (answered by a stand-in) opening at the
// typed name's folder and bringing a chosen name back, the events around it, FileName
// writes, files dropped from the shell, and the dialog's settings kept across kinds.

#include "kit/win/filename_edit.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/built_in_texts.h"
#include "tests/kit/win/edit_form_fixture.h"

namespace {

// What the stand-in dialog saw and answers.
struct DialogScript {
  int runs = 0;
  std::string seenInitialDir;
  std::string seenFileName;
  unsigned seenErrorMode = 0;
  bool choose = true;
  std::string chosen;
};
DialogScript* g_script = nullptr;

bool ScriptedDialog(TOpenDialog& dialog) {
  ++g_script->runs;
  g_script->seenInitialDir = dialog.InitialDir();
  g_script->seenFileName = dialog.FileName();
  g_script->seenErrorMode = GetErrorMode();
  if (!g_script->choose) return false;
  dialog.SetFileName(g_script->chosen);
  return true;
}

// A shell drop handle holding names, as the shell hands it to a window.
HDROP MakeDrop(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  char* p = reinterpret_cast<char*>(header + 1);
  for (const std::string& n : names) {
    memcpy(p, n.c_str(), n.size() + 1);
    p += n.size() + 1;
  }
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

class FilenameEditTest : public EditFormTest {
protected:
  void SetUp() override {
    EditFormTest::SetUp();
    g_script = &script;
    previousDialog_ = SetFileDialogEdge(&ScriptedDialog);
    edit = new TFilenameEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 250, 21);
  }
  void TearDown() override {
    EditFormTest::TearDown();
    SetFileDialogEdge(previousDialog_);
    g_script = nullptr;
  }
  void Drop(const std::vector<std::string>& names) {
    SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
  }
  static std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
  }

  DialogScript script;
  TFilenameEdit* edit = nullptr;

private:
  TFileDialogEdge previousDialog_ = nullptr;
};

TEST_F(FilenameEditTest, StartsWithTheFolderGlyphAndTheProgramsDialogTexts) {
  EXPECT_EQ(edit->GlyphKind(), gkDefault);
  ASSERT_NE(edit->Glyph(), nullptr);
  EXPECT_EQ(edit->Glyph()->Width(), 14);
  EXPECT_EQ(edit->ButtonWidth(), 21);
  EXPECT_EQ(edit->Filter(), "\xC2\xF1\xE5 \xF4\xE0\xE9\xEB\xFB (*.*)|*.*");
  EXPECT_EQ(edit->DialogTitle(), "\xD1\xEF\xE8\xF1\xEE\xEA");
  EXPECT_EQ(edit->DialogOptions(), static_cast<TOpenOptions>(ofHideReadOnly));
}

TEST_F(FilenameEditTest, DialogOpensAtTheTypedFolderAndAChosenNameWithABlankComesBackQuoted) {
  const std::string folder = TempFolder();
  edit->SetText(folder + "old.wav");
  const UINT modeBefore = GetErrorMode();
  script.chosen = "C:\\My Music\\new song.wav";
  edit->EditButtonClick();
  EXPECT_EQ(script.runs, 1);
  EXPECT_EQ(script.seenInitialDir, folder);
  EXPECT_EQ(script.seenFileName, folder + "old.wav");
  // Critical-error boxes are off while the dialog runs, as they were afterwards.
  EXPECT_TRUE(script.seenErrorMode & SEM_FAILCRITICALERRORS);
  EXPECT_EQ(GetErrorMode(), modeBefore);
  EXPECT_EQ(edit->Text(), "\"C:\\My Music\\new song.wav\"");
  EXPECT_EQ(edit->FileName(), "C:\\My Music\\new song.wav");
  EXPECT_EQ(edit->InitialDir(), "C:\\My Music\\");
}

TEST_F(FilenameEditTest, CancelKeepsTheTextUnlessTheAfterHandlerSaysOtherwise) {
  edit->SetText("C:\\a.wav");
  script.choose = false;
  edit->EditButtonClick();
  EXPECT_EQ(edit->Text(), "C:\\a.wav");
  edit->OnAfterDialog = [](TObject*, std::string& name, bool& action) {
    name = "C:\\b.wav";
    action = true;
  };
  edit->EditButtonClick();
  EXPECT_EQ(edit->Text(), "C:\\b.wav");
}

TEST_F(FilenameEditTest, BeforeHandlerCanStopTheDialog) {
  edit->SetText("C:\\a.wav");
  edit->OnBeforeDialog = [](TObject*, std::string&, bool& action) { action = false; };
  edit->EditButtonClick();
  EXPECT_EQ(script.runs, 0);
  EXPECT_EQ(edit->Text(), "C:\\a.wav");
}

TEST_F(FilenameEditTest, TextWithArgumentsStandsForItsFirstToken) {
  edit->SetText("C:\\nowhere\\player.exe /play");
  EXPECT_EQ(edit->FileName(), "C:\\nowhere\\player.exe");
}

TEST_F(FilenameEditTest, FileNameWritesCheckTheName) {
  edit->SetFileName("C:\\Music\\song[live].wav");  // brackets are a file name's right
  EXPECT_EQ(edit->Text(), "C:\\Music\\song[live].wav");
  try {
    edit->SetFileName("C:\\bad|name.wav");
    FAIL() << "no error";
  } catch (const EComboEditError& e) {
    EXPECT_STREQ(e.what(), "Invalid file name - C:\\bad|name.wav");
  }
  EXPECT_EQ(edit->Text(), "C:\\Music\\song[live].wav");
  edit->SetFileName("");
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(FilenameEditTest, DroppedFilesOneWithoutMultiSelectAllWithIt) {
  int drops = 0;
  edit->OnDropFiles = [&](TObject*) { ++drops; };
  edit->SetAcceptFiles(true);
  form->Show();
  EXPECT_TRUE(GetWindowLongPtrA(edit->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  Drop({"C:\\one.wav", "C:\\two.wav", "C:\\three.wav"});
  EXPECT_EQ(edit->FileName(), "C:\\one.wav");
  EXPECT_EQ(edit->DialogFiles()->Count(), 0);
  EXPECT_EQ(drops, 1);

  edit->SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
  Drop({"C:\\x.wav", "C:\\y.wav", "C:\\z.wav"});
  EXPECT_EQ(edit->FileName(), "C:\\x.wav");
  ASSERT_EQ(edit->DialogFiles()->Count(), 3);
  EXPECT_EQ(edit->DialogFiles()->Strings(2), "C:\\z.wav");
  EXPECT_EQ(drops, 2);
}

TEST_F(FilenameEditTest, DroppedNamesAreNeverCutAndBadOnesOnlyBeep) {
  form->Show();
  // A path longer than 255 characters, within the system's limit.
  const std::string longName = "C:\\" + std::string(240, 'd') + "\\" + std::string(12, 'f') + ".wav";
  ASSERT_GT(longName.size(), 255u);
  Drop({longName});
  EXPECT_EQ(edit->FileName(), longName);
  Drop({"C:\\bad|name.wav"});
  EXPECT_EQ(Beeps(), 1);
  EXPECT_EQ(edit->FileName(), longName);
}

TEST_F(FilenameEditTest, NewDialogKindKeepsEverySetting) {
  edit->SetFilter("Sounds|*.wav");
  edit->SetFilterIndex(2);
  edit->SetDefaultExt("wav");
  edit->SetInitialDir("C:\\Sounds");
  edit->SetDialogTitle("Pick");
  edit->HistoryList()->Add("C:\\old.wav");
  edit->SetDialogOptions(ofAllowMultiSelect);
  TOpenDialog* before = edit->Dialog();
  edit->SetDialogKind(dkSave);
  EXPECT_NE(edit->Dialog(), before);
  EXPECT_TRUE(edit->Dialog()->IsSaveDialog());
  EXPECT_EQ(edit->Filter(), "Sounds|*.wav");
  EXPECT_EQ(edit->FilterIndex(), 2);
  EXPECT_EQ(edit->DefaultExt(), "wav");
  EXPECT_EQ(edit->InitialDir(), "C:\\Sounds");
  EXPECT_EQ(edit->DialogTitle(), "Pick");
  EXPECT_EQ(edit->HistoryList()->Count(), 1);
  EXPECT_EQ(edit->DialogOptions(), static_cast<TOpenOptions>(ofAllowMultiSelect));
}

// What the system's file dialog showed; a timer inside its modal loop reads it, types a
// name and presses Open.
struct SystemDialogSeen {
  std::wstring caption;
  std::wstring fileType;
  std::wstring typedName;
};
SystemDialogSeen g_seen;

void CALLBACK AnswerSystemDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = AppTest::ShownDialog();
  if (dialog == nullptr) return;
  KillTimer(nullptr, id);
  wchar_t text[128] = {};
  GetWindowTextW(dialog, text, 128);
  g_seen.caption = text;
  text[0] = L'\0';
  GetDlgItemTextW(dialog, 0x470, text, 128);  // the file type box
  g_seen.fileType = text;
  // The name box is an edit or a combo box with one, by the dialog's make.
  SetDlgItemTextW(dialog, 0x480, g_seen.typedName.c_str());
  SetDlgItemTextW(dialog, 0x47C, g_seen.typedName.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(FilenameEditTest, SystemDialogShowsTheBuiltInTextsAndNamesKeepTheirCodePage) {
  // "List" and "All files (*.*)" as the system shows them, whatever its code page; a name
  // typed in the dialog comes back in the ANSI code page.
  const std::string name = "caf\xE9.wav";
  g_seen = SystemDialogSeen{};
  g_seen.typedName = std::wstring(L"caf") + WideFromCodePage("\xE9", CP_ACP) + L".wav";
  edit->SetInitialDir(TempFolder());
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, &AnswerSystemDialog);
  const bool chosen = edit->Dialog()->RunSystemDialog();
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_seen.caption, L"\x0421\x043F\x0438\x0441\x043E\x043A");
  EXPECT_EQ(g_seen.fileType, L"\x0412\x0441\x0435 \x0444\x0430\x0439\x043B\x044B (*.*)");
  ASSERT_TRUE(chosen);
  const std::string chosenName = edit->Dialog()->FileName();
  ASSERT_GE(chosenName.size(), name.size());
  EXPECT_EQ(chosenName.substr(chosenName.size() - name.size()), name);
}

// With HL_SHOW_MS set, the edit stays up that long for a look.
TEST_F(FilenameEditTest, Shows) {
  form->SetCaption("File name edit");
  edit->SetFileName("C:\\My Music\\song [live].wav");
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(edit->Handle()) != FALSE; }));
  real_input::HoldForLooking();
}

}  // namespace
