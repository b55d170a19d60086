#include "app/win/options_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include "app/task_data.h"
#include "app/win/active_task_probe.h"
#include "app/win/edit_form.h"
#include "app/win/global_form.h"
#include "app/win/tracker_context.h"
#include "kit/str_holder.h"
#include "kit/win/animated_image.h"
#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "lang/win/lang_collector.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"
#include "tests/app/task_grid_model.h"
#include "tests/app/win/caption_pixels.h"
#include "tests/app/win/timing.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/rtl/file_fixtures.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/media_test_support.h"

namespace {

using window_test::After;
using window_test::Screenshot;
using timing::RawReadSeconds;
using timing::Seconds;

const char* const RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The start-with-Windows value as it stands now; exists false when there is none.
struct RunValue {
  bool exists = false;
  std::string data;
};

RunValue ReadRunValue() {
  RunValue value;
  TRegistry registry;
  if (registry.OpenKey(RunKeyPath, false) && registry.ValueExists(AutoStartValueName)) {
    value.exists = true;
    value.data = registry.ReadString(AutoStartValueName);
  }
  return value;
}

void WriteRunValue(const RunValue& value) {
  TRegistry registry;
  if (!registry.OpenKey(RunKeyPath, true)) return;
  if (value.exists)
    registry.WriteString(AutoStartValueName, value.data);
  else
    registry.DeleteValue(AutoStartValueName);
}

// Chooses a page of the dialog shown for real by a click on its item in the page chooser.
void ClickPageItem(TformOptions* o, int page) {
  RECT item{};
  item.left = LVIR_BOUNDS;
  SendMessageA(o->ListView->Handle(), LVM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item));
  real_input::Click(o->ListView->Handle(), {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  EXPECT_TRUE(real_input::PumpUntil([o, page] { return o->PageIndex() == page; })) << page;
}

bool SettingsStored() {
  TRegistry registry;
  return registry.OpenKey(std::string(HourlarkRegistryKey) + "\\Options", false);
}

std::vector<std::string> GridRows(TSortGrid* grid) {
  std::vector<std::string> rows;
  for (int row = 1; row < grid->RowCount(); ++row)
    rows.push_back(grid->Cells(0, row) + "|" + grid->Cells(1, row) + "|" + grid->Cells(2, row));
  return rows;
}

// The options dialog with its own data folder, task list and group editor, a clean settings
// key, and the start-with-Windows value put back as it was.
class OptionsFormTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    savedRun_ = ReadRunValue();
    ClearKey();
    shell_ = SetShellExecuteEdge([](const std::string&, const std::string& file, const std::string&,
                                    const std::string&, int) {
      Played().push_back("shell " + file);
      return true;
    });
    Played().clear();
    tasks_ = new TStrHolder(Application);
    tasks_->SetSorted(true);
    tasks_->SetDuplicates(dupAccept);
    tasks_->Strings()->SetText(
        "c:\\apps\\editor.exe\tEditor\t1\r\n"
        "c:\\apps\\game.exe\tGame\t3\r\n"
        "c:\\apps\\hidden.exe\tBackground\t0\r\n"
        "c:\\apps\\mail.exe\tMail\t2\r\n");
    global_ = Application->CreateForm<TformGlobal>();
    formGlobal = global_;
    formGlobal->SetTaskList(tasks_);
  }
  void TearDown() override {
    window_test::DropPending();
    options_ = nullptr;
    app_.reset();
    formGlobal = nullptr;
    SetShellExecuteEdge(shell_);
    ClearKey();
    WriteRunValue(savedRun_);
    AppTest::TearDown();
  }
  static void ClearKey() {
    TRegistry registry;
    registry.DeleteKey(std::string("\\") + HourlarkRegistryKey);
  }
  static std::vector<std::string>& Played() {
    static std::vector<std::string> played;
    return played;
  }

  // A new dialog over the test's task list and folder, as at start-up (groups read then).
  TformOptions* Make() {
    options_ = new TformOptions(Application);
    context_.TaskList = tasks_;
    context_.DataDir = folder_.Path() + "\\";
    options_->SetContext(&context_);
    // Creation read the program's folder; read the test's groups as start-up would.
    while (options_->GroupList->Items()->TopCount() > BuiltInGroupCount)
      options_->GroupList->Items()->Delete(
          options_->GroupList->Items()->TopItem(options_->GroupList->Items()->TopCount() - 1));
    options_->LoadGroups();
    if (formEdit == nullptr) formEdit = Application->CreateForm<TformEdit>();
    return options_;
  }
  // Shows the dialog modally for real and runs steps from its message loop; the steps end by
  // closing it. A watchdog closes whatever is still open after limitMs.
  int ShowFor(const std::function<void()>& steps, UINT limitMs = 60000) {
    bool done = false;
    After(100, [&] {
      steps();
      done = true;
    });
    After(limitMs, [o = options_] {
      if (formEdit != nullptr && formEdit->Visible()) formEdit->SetModalResult(mrAbort);
      if (o->Visible()) o->SetModalResult(mrAbort);
    });
    const int result = options_->ShowModal();
    EXPECT_TRUE(done);
    return result;
  }
  // Runs step from the group editor's modal loop once the editor shows.
  static void WhenEditorShows(const std::function<void()>& step) {
    After(100, [step] {
      if (formEdit->Visible())
        step();
      else
        WhenEditorShows(step);
    });
  }
  // What showing and activating the dialog do, without a modal loop.
  void Open() {
    options_->FormShow(options_);
    options_->FormActivate(options_);
  }
  std::string TaskFile() { return ReadBytes(folder_.File("hl20task.txt")); }
  int NodeOf(const std::string& name) {
    for (int i = 0; i < options_->GroupList->Items()->TopCount(); ++i)
      if (options_->GroupList->Items()->TopItem(i)->Text() == name) return i;
    return -1;
  }
  int RowOf(const std::string& path) {
    for (int row = 1; row < options_->grTasks->RowCount(); ++row)
      if (options_->grTasks->Cells(1, row) == path) return row;
    return -1;
  }
  // The picker opened on a row's group cell and a node chosen, as the user does.
  void PickGroup(int row, const std::string& node) {
    bool canSelect = true;
    options_->grTasksSelectCell(options_->grTasks, 0, row, canSelect);
    EXPECT_FALSE(canSelect);
    EXPECT_TRUE(options_->cbSelectGroup->Visible());
    options_->GroupListPopup(options_->GroupList);
    options_->GroupList->SetSelected(options_->GroupList->Items()->TopItem(NodeOf(node)));
  }

  TempFolder folder_;
  TStrHolder* tasks_ = nullptr;
  TformGlobal* global_ = nullptr;
  TformOptions* options_ = nullptr;
  TrackerContext context_;

private:
  RunValue savedRun_;
  MciRecorder mci_;
  TShellExecuteEdge shell_ = nullptr;
};

}  // namespace

TEST_F(OptionsFormTest, DialogHasItsPagesControlsAndDefaults) {
  TformOptions* o = Make();
  EXPECT_EQ(o->Name(), "formOptions");
  EXPECT_EQ(o->ClientWidth(), 679);
  EXPECT_EQ(o->ClientHeight(), 388);
  EXPECT_EQ(o->HelpContext(), 22);
  ASSERT_EQ(o->ListView->Items()->Count(), 4);
  const char* captions[] = {"Hourlark", "Health Alarm", "Task List", "About"};
  const int images[] = {0, 1, 3, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(o->ListView->Items()->Items(i)->Caption(), captions[i]);
    EXPECT_EQ(o->ListView->Items()->Items(i)->ImageIndex(), images[i]);
  }
  EXPECT_EQ(o->ilTabs->Count(), 4);
  EXPECT_EQ(o->ListView->Width(), 91);
  EXPECT_EQ(o->StatusBar->Panels()->Count(), 2);
  EXPECT_EQ(o->StatusBar->Panels()->Items(0)->Width(), 90);

  // The settings with their kinds, defaults and ranges.
  EXPECT_TRUE(o->cbAutoStart->Checked());
  EXPECT_FALSE(o->cbAutoStartTimer->Checked());
  EXPECT_TRUE(o->cbAutoHide->Checked());
  EXPECT_TRUE(o->cbPauseScreenSaver->Checked());
  EXPECT_TRUE(o->cbShowIcons->Checked());
  EXPECT_TRUE(o->cbAnimatedIcon->Checked());
  EXPECT_TRUE(o->cbSpy->Checked());
  EXPECT_FALSE(o->cbSpy->Visible());
  EXPECT_TRUE(o->cbRemindEvery->Checked());
  EXPECT_TRUE(o->cbRemindDone->Checked());
  EXPECT_FALSE(o->cbRemindDoneAgain->Checked());
  EXPECT_FALSE(o->edRemindDoneAgain->Enabled());
  struct Spin {
    TKitSpinEdit* edit;
    double value, min, max, step;
  };
  for (const Spin& spin : {Spin{o->edSaveTime, 5, 1, 10000, 1}, Spin{o->edRemindEvery, 30, 1, 600, 5},
                           Spin{o->edRemindDone, 6, 1, 24, 1}, Spin{o->edRemindDoneAgain, 10, 1, 600, 1}}) {
    EXPECT_EQ(spin.edit->Value(), spin.value) << spin.edit->Name();
    EXPECT_EQ(spin.edit->MinValue(), spin.min) << spin.edit->Name();
    EXPECT_EQ(spin.edit->MaxValue(), spin.max) << spin.edit->Name();
    EXPECT_EQ(spin.edit->Increment(), spin.step) << spin.edit->Name();
  }
  EXPECT_EQ(o->edRemindEveryMessage->Text(), "Take a break for 5 minutes");
  EXPECT_EQ(o->edRemindDoneMessage->Text(), "You have worked enough. Take a rest for today");
  for (TFilenameEdit* sound : {o->edPlayScreenSaverActivate, o->edRemindEverySound, o->edRemindDoneSound}) {
    EXPECT_EQ(sound->Text(), "");
    EXPECT_EQ(sound->DefaultExt(), "wav");
    EXPECT_EQ(sound->Filter(), "Wav files (*.wav)|*.wav|All files (*.*)|*.*");
    EXPECT_EQ(sound->ButtonHint(), "Find file...");
  }
  EXPECT_EQ(o->btPlay->Hint(), "Play");
  EXPECT_EQ(o->btStop1->Hint(), "Stop");
  EXPECT_EQ(o->imAnimIcon->NumGlyphs(), 8);
  EXPECT_FALSE(o->lUrl2->Visible());

  // The task page.
  EXPECT_EQ(o->grTasks->ColCount(), 3);
  EXPECT_EQ(o->grTasks->FixedRows(), 1);
  EXPECT_EQ(o->grTasks->FixedCols(), 0);
  EXPECT_EQ(o->grTasks->ColWidths(0), 34);
  EXPECT_EQ(o->grTasks->ColWidths(1), 267);
  EXPECT_EQ(o->grTasks->ColWidths(2), 158);
  EXPECT_EQ(o->cbSelectGroup->Width(), 17);
  EXPECT_FALSE(o->cbSelectGroup->Visible());
  EXPECT_EQ(o->GroupList->ComboEdit(), o->cbSelectGroup);
  EXPECT_EQ(o->GroupList->Items()->TopCount(), 7);

  // The options dialog is collected for the base language file; the group editor has no
  // translation component.
  bool options = false, editor = false;
  for (const TLangFormClass& form : RegisteredLangForms()) {
    options = options || form.Name == "TformOptions";
    editor = editor || form.Name == "TformEdit";
  }
  EXPECT_TRUE(options);
  EXPECT_FALSE(editor);
  EXPECT_NE(o->FindComponent("LingroveLang1"), nullptr);
  EXPECT_EQ(formEdit->FindComponent("LingroveLang1"), nullptr);
}

TEST_F(OptionsFormTest, ShowingChoosesThePageActivationDisablesApplyAndFillsTheTexts) {
  TformOptions* o = Make();
  Open();
  EXPECT_EQ(o->PageIndex(), 0);
  EXPECT_EQ(o->StatusBar->Panels()->Items(0)->Text(), "Hourlark");
  EXPECT_FALSE(o->btApply->Enabled());
  EXPECT_EQ(o->lVersion->Caption().substr(o->lVersion->Caption().size() - 6), ": 2.02");
  EXPECT_FALSE(o->lUrl->Caption().empty());
  EXPECT_EQ(o->lEmail->Caption().rfind("mailto:", 0), 0u);
  o->lUrlClick(o->lUrl);
  EXPECT_EQ(Played(), std::vector<std::string>{"shell " + o->lUrl->Caption()});

  o->ListViewSelectItem(o->ListView, o->ListView->Items()->Items(3), true);
  EXPECT_EQ(o->PageIndex(), 3);
  EXPECT_EQ(o->StatusBar->Panels()->Items(0)->Text(), "About");

  // Once the statistics window asked for the task page, every showing opens there.
  o->TaskPageFlag = true;
  Open();
  EXPECT_EQ(o->PageIndex(), 2);
  Open();
  EXPECT_EQ(o->PageIndex(), 2);

  o->cbAnimatedIcon->SetChecked(false);
  EXPECT_FALSE(o->imAnimIcon->Visible());
  EXPECT_TRUE(o->imIcon->Visible());
  EXPECT_TRUE(o->btApply->Enabled());
  // Coming back to the front keeps the pending change; a new showing starts afresh.
  o->FormActivate(o);
  EXPECT_TRUE(o->btApply->Enabled());
  Open();
  EXPECT_FALSE(o->btApply->Enabled());
}

TEST_F(OptionsFormTest, OkStoresOnlyPendingChangesAndCancelKeepsTheControls) {
  TformOptions* o = Make();
  Open();
  o->btOK->Click();
  EXPECT_FALSE(SettingsStored());
  EXPECT_FALSE(FileExists(folder_.File("hl20task.txt")));

  // A change left pending by Cancel: nothing stored, the control keeps the change for the
  // run, and the next showing starts with nothing pending.
  o->cbRemindEvery->SetChecked(false);
  EXPECT_TRUE(o->btApply->Enabled());
  o->btCancel->Click();
  Open();
  o->btOK->Click();
  EXPECT_FALSE(SettingsStored());
  EXPECT_FALSE(o->cbRemindEvery->Checked());
  EXPECT_FALSE(o->Reminders().RemindEvery);

  // A change, another window in front and back again (a new activation), then OK: the
  // change is still pending and is stored, the task file written, Apply off again.
  o->cbAutoStart->SetChecked(false);
  o->FormActivate(o);
  EXPECT_TRUE(o->btApply->Enabled());
  o->btOK->Click();
  EXPECT_TRUE(SettingsStored());
  EXPECT_TRUE(o->AppliedFlag);
  EXPECT_FALSE(o->btApply->Enabled());
  EXPECT_EQ(TaskFile(), tasks_->Strings()->Text());
  EXPECT_FALSE(ReadRunValue().exists);
}

TEST_F(OptionsFormTest, AppliedSettingsComeBackInANewDialogAndTheRunValueFollows) {
  TformOptions* o = Make();
  Open();
  o->cbAutoStartTimer->SetChecked(true);
  o->cbPauseScreenSaver->SetChecked(false);
  o->cbShowIcons->SetChecked(false);
  o->edSaveTime->SetText("0");  // out of range: stored, and shown, as 1
  o->edRemindEvery->SetValue(45);
  o->edRemindDone->SetValue(8);
  o->cbRemindDoneAgain->SetChecked(true);
  o->edRemindDoneAgain->SetValue(15);
  o->edRemindEveryMessage->SetText("Stretch");
  o->edRemindDoneSound->SetText("\"c:\\sounds\\long name.wav\"");
  o->btApplyClick(o->btApply);
  EXPECT_EQ(o->edSaveTime->Text(), "1");
  // Quoted, so a program folder with blanks is not read as a command line.
  EXPECT_EQ(ReadRunValue().data, "\"" + Application->ExeName() + "\"");
  delete o;

  o = Make();
  o->FormStorage->RestoreFromStore();
  EXPECT_TRUE(o->cbAutoStartTimer->Checked());
  EXPECT_FALSE(o->cbPauseScreenSaver->Checked());
  EXPECT_FALSE(o->cbShowIcons->Checked());
  EXPECT_EQ(o->edSaveTime->Value(), 1);
  EXPECT_EQ(o->edRemindEvery->Value(), 45);
  EXPECT_EQ(o->edRemindDone->Value(), 8);
  EXPECT_EQ(o->edRemindDoneAgain->Value(), 15);
  EXPECT_TRUE(o->edRemindDoneAgain->Enabled());
  EXPECT_EQ(o->edRemindEveryMessage->Text(), "Stretch");
  EXPECT_EQ(o->edRemindDoneSound->Text(), "\"c:\\sounds\\long name.wav\"");

  o->cbAutoStart->SetChecked(false);
  o->btApplyClick(o->btApply);
  EXPECT_FALSE(ReadRunValue().exists);
}

TEST_F(OptionsFormTest, ReminderControlsFollowTheirCheckBoxesAndStopOnlyStopsWhatPlayed) {
  TformOptions* o = Make();
  o->cbRemindEvery->SetChecked(false);
  for (TControl* control : std::vector<TControl*>{o->edRemindEvery, o->edRemindEveryMessage,
                                                  o->edRemindEverySound, o->btPlay, o->btStop})
    EXPECT_FALSE(control->Enabled()) << control->Name();
  o->cbRemindDoneAgain->SetChecked(true);
  o->cbRemindDone->SetChecked(false);
  for (TControl* control : std::vector<TControl*>{o->edRemindDone, o->btPlay1, o->btStop1, o->cbRemindDoneAgain,
                                                  o->edRemindDoneMessage, o->edRemindDoneSound,
                                                  o->edRemindDoneAgain})
    EXPECT_FALSE(control->Enabled()) << control->Name();
  o->cbRemindDone->SetChecked(true);
  EXPECT_TRUE(o->edRemindDoneAgain->Enabled());

  const std::string sound = folder_.File("ding.wav");
  WriteBytes(sound, "RIFF");
  o->edPlayScreenSaverActivate->SetText("\"" + sound + "\"");
  o->btStopClick(o->SpeedButton2);  // nothing played yet: nothing to stop
  o->btPlayClick(o->btPlayScreenSaver);
  o->btStopClick(o->SpeedButton2);
  o->btStopClick(o->SpeedButton2);  // already closed: nothing more
  o->edRemindDoneSound->SetText(sound + ".missing");
  o->btPlayClick(o->btPlay1);
  EXPECT_EQ(MciRecorder::Commands(), (std::vector<std::string>{"open " + sound, "play", "stop", "close"}));

  // A sound started while another is open takes its place; a file the player refuses
  // reaches the caller as the player's error, and Stop then has nothing to stop.
  o->btPlayClick(o->btPlayScreenSaver);
  MciRecorder::Commands().clear();
  o->btPlayClick(o->btPlayScreenSaver);
  EXPECT_EQ(MciRecorder::Commands(), (std::vector<std::string>{"close", "open " + sound, "play"}));
  MciRecorder::OpenError() = MCIERR_CANNOT_LOAD_DRIVER;
  MciRecorder::Commands().clear();
  EXPECT_THROW(o->btPlayClick(o->btPlayScreenSaver), EMCIDeviceError);
  EXPECT_EQ(o->MediaPlayer->DeviceID(), 0u);
  o->btStopClick(o->SpeedButton2);
  EXPECT_EQ(MciRecorder::Commands(), (std::vector<std::string>{"close", "open " + sound}));
}

TEST_F(OptionsFormTest, TaskGridListsTasksByDescriptionAndTheFilterHidesGroupsAfterApplying) {
  TformOptions* o = Make();
  Open();
  EXPECT_EQ(o->grTasks->Cells(0, 0), "Group");
  EXPECT_EQ(o->grTasks->Cells(1, 0), "Program");
  EXPECT_EQ(o->grTasks->Cells(2, 0), "Description");
  EXPECT_EQ(GridRows(o->grTasks),
            (std::vector<std::string>{"0|c:\\apps\\hidden.exe|Background", "1|c:\\apps\\editor.exe|Editor",
                                      "3|c:\\apps\\game.exe|Game", "2|c:\\apps\\mail.exe|Mail"}));
  ASSERT_EQ(o->lvGroupList->Items()->Count(), 7);
  EXPECT_EQ(o->lvGroupList->Items()->Items(5)->Caption(), ".Hidden");
  EXPECT_EQ(o->GetCheckedGroupMask(), 0x7Fu);
  EXPECT_EQ(formGlobal->ilGroups->Count(), 16);

  // A description typed but not applied is saved by the filter change before the rebuild.
  const int row = RowOf("c:\\apps\\game.exe");
  o->grTasks->SetCol(2);
  o->grTasks->SetRow(row);
  o->grTasks->ShowEditor();
  ASSERT_NE(o->grTasks->InplaceEditor(), nullptr);
  // Typed over the whole text, as a user does; one key is enough to have something to apply.
  HWND editor = o->grTasks->InplaceEditor()->Handle();
  SendMessageA(editor, EM_SETSEL, 0, -1);
  SendMessageA(editor, WM_CHAR, 'C', 1);
  EXPECT_TRUE(o->btApply->Enabled());
  for (char c : std::string("hess")) SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_EQ(o->grTasks->Cells(2, row), "Chess");

  o->lvGroupList->Items()->Items(5)->SetChecked(false);
  EXPECT_EQ(o->GetCheckedGroupMask(), 0x5Fu);
  EXPECT_FALSE(o->btApply->Enabled());
  EXPECT_NE(TaskFile().find("c:\\apps\\game.exe\tChess\t3\r\n"), std::string::npos);
  EXPECT_EQ(GridRows(o->grTasks),
            (std::vector<std::string>{"3|c:\\apps\\game.exe|Chess", "1|c:\\apps\\editor.exe|Editor",
                                      "2|c:\\apps\\mail.exe|Mail"}));

  // Every showing lists all groups again.
  Open();
  EXPECT_EQ(o->GetCheckedGroupMask(), 0x7Fu);
  EXPECT_EQ(o->grTasks->RowCount(), 5);

  // With no task listed the grid keeps one empty row.
  tasks_->Strings()->Clear();
  o->FormActivate(o);
  EXPECT_EQ(GridRows(o->grTasks), std::vector<std::string>{"||"});
  o->btApplyClick(o->btApply);
  EXPECT_EQ(TaskFile(), "");
}

TEST_F(OptionsFormTest, PickingTheRestrictedGroupBlocksTheProgramOnApply) {
  TformOptions* o = Make();
  Open();
  SetBlockedList("");
  const int row = RowOf("c:\\apps\\mail.exe");
  PickGroup(row, ".Restricted");
  EXPECT_EQ(o->PickerRow(), row);
  EXPECT_EQ(o->grTasks->Cells(0, row), "6");
  EXPECT_TRUE(o->btApply->Enabled());
  EXPECT_EQ(o->GroupName(6), ".Restricted");

  // The picker opens on the row's group: the last node of group 6.
  o->GroupListPopup(o->GroupList);
  EXPECT_EQ(o->GroupList->Selected()->Text(), ".Restricted");

  o->btOK->Click();
  EXPECT_EQ(BlockedList(), "c:\\apps\\mail.exe;");
  EXPECT_NE(TaskFile().find("c:\\apps\\mail.exe\tMail\t6\r\n"), std::string::npos);
  int index = 0;
  ASSERT_TRUE(FindTask(*tasks_, "c:\\apps\\mail.exe", index));
  EXPECT_EQ(tasks_->Strings()->Strings(index), "c:\\apps\\mail.exe\tMail\t6");

  // A refill (a new showing) forgets the picker: a late choice writes into no row.
  PickGroup(row, "Games");
  Open();
  EXPECT_FALSE(o->cbSelectGroup->Visible());
  EXPECT_EQ(o->PickerRow(), 0);
  o->GroupList->SetSelected(o->GroupList->Items()->TopItem(NodeOf("Work")));
  EXPECT_FALSE(o->btApply->Enabled());
  SetBlockedList("");
}

TEST_F(OptionsFormTest, PickerTreeOpensBelowItsRowOrAboveWhenThePageEndsFirst) {
  for (int i = 10; i < 30; ++i)
    tasks_->Strings()->Add("c:\\more\\tool" + IntToStr(i) + ".exe\tTool " + IntToStr(i) + "\t1");
  TformOptions* o = Make();
  Open();
  TWinControl* page = o->GroupList->Parent();
  PickGroup(1, "Work");
  const RECT first = o->grTasks->CellRect(0, 1);
  EXPECT_EQ(o->GroupList->Top(), o->grTasks->Top() + first.bottom + 1);
  EXPECT_EQ(o->GroupList->Left(), o->grTasks->Left() + first.right + 1);
  const int low = o->grTasks->VisibleRowCount();
  PickGroup(low, "Work");
  const RECT last = o->grTasks->CellRect(0, low);
  EXPECT_LE(o->GroupList->Top() + o->GroupList->Height(), page->ClientHeight());
  EXPECT_EQ(o->GroupList->Top() + o->GroupList->Height(), o->grTasks->Top() + last.top - 1);
}

TEST_F(OptionsFormTest, CustomGroupsComeFromTheGroupFileAndTheEditorRewritesIt) {
  TStringList lines;
  for (int i = 1; i <= 10; ++i) lines.Add("Custom " + IntToStr(i));
  lines.SaveToFile(folder_.File("hl20grp.txt"));
  TformOptions* o = Make();
  ASSERT_EQ(o->GroupList->Items()->TopCount(), 15);
  EXPECT_EQ(o->GroupName(7), "Custom 1");
  EXPECT_EQ(o->GroupName(14), "Custom 8");
  EXPECT_EQ(o->GroupName(15), "");
  EXPECT_EQ(o->GroupList->Items()->TopItem(14)->ImageIndex(), 14);

  // The editor shows all ten lines; OK saves its lines and the groups follow.
  After(100, [] {
    ASSERT_TRUE(formEdit->Visible());
    EXPECT_EQ(formEdit->Memo1->Lines()->Count(), 10);
    formEdit->Memo1->Lines()->SetText("Reading\r\nA rather long group name that must stay one group, never two\r\n");
    formEdit->BitBtn2->Click();
  });
  After(20000, [] {
    if (formEdit->Visible()) formEdit->SetModalResult(mrAbort);
  });
  o->btEditGroupListClick(o->btEditGroupList);
  EXPECT_EQ(ReadBytes(folder_.File("hl20grp.txt")),
            "Reading\r\nA rather long group name that must stay one group, never two\r\n");
  ASSERT_EQ(o->GroupList->Items()->TopCount(), 9);
  EXPECT_EQ(o->GroupName(8), "A rather long group name that must stay one group, never two");
  EXPECT_EQ(o->lvGroupList->Items()->Count(), 9);

  // Cancel changes nothing.
  After(100, [] { formEdit->BitBtn1->Click(); });
  After(20000, [] {
    if (formEdit->Visible()) formEdit->SetModalResult(mrAbort);
  });
  o->btEditGroupListClick(o->btEditGroupList);
  EXPECT_EQ(o->GroupList->Items()->TopCount(), 9);
}

// A language switch while the dialog is open: the texts the dialog sets itself (the page's
// name in the status bar, the title, the version, the grid's headers) follow the walk's.
TEST_F(OptionsFormTest, TextsSetAtRunTimeFollowALanguageSwitch) {
  TformOptions* o = Make();
  Open();
  ASSERT_EQ(o->StatusBar->Panels()->Items(0)->Text(), "Hourlark");
  // Every base text of the dialog, marked, is the other language.
  const std::string dir = folder_.Path() + "\\";
  std::vector<TLangFormClass> forms;
  for (const TLangFormClass& form : RegisteredLangForms())
    if (form.Name == "TformOptions") forms.push_back(form);
  CollectBaseLanguage(dir, {{100, "Version"}, {101, "Options"}, {102, "Group"}, {103, "Program"}, {104, "Description"}},
                      forms, DEFAULT_CHARSET);
  ASSERT_TRUE(CopyFileA((dir + "native.lng").c_str(), (dir + "Marked.lng").c_str(), FALSE));
  {
    TLingroveLangFileEdit marked(dir + "Marked.lng");
    marked.SetFlag(lfNative, false);
    for (int i = 0; i < marked.GetCount(); ++i) {
      TLingroveLangStr* entry = marked.GetItem(i);
      marked.SetString(entry->GetIdent(), "~" + entry->GetText(), entry->GetFontIndex());
    }
    marked.Save();
  }
  // Collecting made a dialog of its own, which set the program's folder as the language folder.
  AppLanguage()->SetLangDir(dir);
  SetLanguage("Marked");
  EXPECT_EQ(o->ListView->Items()->Items(0)->Caption(), "~Hourlark");
  EXPECT_EQ(o->StatusBar->Panels()->Items(0)->Text(), "~Hourlark");
  EXPECT_EQ(o->KitGradientCaption->Captions()->GetItem(0)->Caption(), "~Options");
  EXPECT_EQ(o->lVersion->Caption(), "~Version: 2.02");
  EXPECT_EQ(o->grTasks->Cells(2, 0), "~Description");
  options_ = nullptr;
  app_.reset();
  LangFinalize();
}

// A group file that cannot be read when the editor opens: the error is said, the editor
// starts empty instead of with an older text, and OK writes the file only when the user
// changed the groups.
TEST_F(OptionsFormTest, AnUnreadableGroupFileIsReportedAndOnlyAChangedTextIsWritten) {
  struct Case {
    const char* typed;  // nullptr: OK without a change
    const char* file;   // hl20grp.txt afterwards
  };
  const std::string path = folder_.File("hl20grp.txt");
  for (const Case& c : {Case{nullptr, "Reading\r\n"}, Case{"Music\r\n", "Music\r\n"}}) {
    SCOPED_TRACE(c.typed != nullptr ? "changed" : "unchanged");
    WriteBytes(path, "Reading\r\n");
    TformOptions* o = Make();
    formEdit->Memo1->Lines()->SetText("Left from an earlier edit\r\n");
    // Another program holds the file with no sharing until the editor shows.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Boxes().clear();
    std::string shown = "<not shown>";
    After(100, [&] {
      shown = formEdit->Memo1->Text();
      CloseHandle(held);
      held = INVALID_HANDLE_VALUE;
      if (c.typed != nullptr) formEdit->Memo1->Lines()->SetText(c.typed);
      formEdit->BitBtn2->Click();
    });
    After(20000, [] {
      if (formEdit->Visible()) formEdit->SetModalResult(mrAbort);
    });
    o->btEditGroupListClick(o->btEditGroupList);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(shown, "");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find(path), std::string::npos) << Boxes()[0];
    EXPECT_EQ(ReadBytes(path), c.file);
    delete o;
  }
}

// A group picked before the group editor opened must not be lost on the way: it is applied
// before the editor opens, and closing the editor activates the dialog again.
TEST_F(OptionsFormTest, ChangesPendingWhenTheGroupEditorOpensSurviveItsClosing) {
  TformOptions* o = Make();
  Open();
  const int row = RowOf("c:\\apps\\mail.exe");
  PickGroup(row, "Games");
  ASSERT_TRUE(o->btApply->Enabled());
  After(100, [] { formEdit->BitBtn1->Click(); });
  After(20000, [] {
    if (formEdit->Visible()) formEdit->SetModalResult(mrAbort);
  });
  o->btEditGroupListClick(o->btEditGroupList);
  o->FormActivate(o);
  EXPECT_EQ(o->grTasks->Cells(0, RowOf("c:\\apps\\mail.exe")), "3");
  EXPECT_NE(TaskFile().find("c:\\apps\\mail.exe\tMail\t3\r\n"), std::string::npos);
}

// Another program, a message box or the language-support box in front and the dialog back
// again: a group picked but not applied stays in the grid and is stored by OK.
TEST_F(OptionsFormTest, PendingGridEditsSurviveComingBackToTheFront) {
  TformOptions* o = Make();
  Open();
  const int row = RowOf("c:\\apps\\mail.exe");
  PickGroup(row, "Games");
  ASSERT_TRUE(o->btApply->Enabled());
  o->FormDeactivate(o);
  o->FormActivate(o);
  EXPECT_TRUE(o->btApply->Enabled());
  EXPECT_EQ(o->grTasks->Cells(0, RowOf("c:\\apps\\mail.exe")), "3");
  o->btOK->Click();
  EXPECT_NE(TaskFile().find("c:\\apps\\mail.exe\tMail\t3\r\n"), std::string::npos);
}

TEST_F(OptionsFormTest, EveryPageShownForReal) {
  // A real program, whose icon the loader finds and the grid draws before its path.
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string notepad = std::string(windows) + "\\notepad.exe";
  tasks_->Strings()->Add(notepad + "\tText editor\t4");
  TformOptions* o = Make();
  o->edRemindEverySound->SetText("c:\\sounds\\break.wav");
  bool done = false;
  After(100, [&] {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(o->Handle()) != FALSE; }));
    // Asked again while it shows (the tray menu can): it only comes to the front.
    EXPECT_EQ(o->ShowModal(), mrNone);
    const char* names[] = {"options-general.png", "options-shedule.png", "options-tasks.png", "options-about.png"};
    for (int page = 0; page < 4; ++page) {
      o->ListView->SetSelected(o->ListView->Items()->Items(page));
      EXPECT_TRUE(PumpUntil([&] { return o->PageIndex() == page; }));
      if (page == 2) {
        EXPECT_TRUE(PumpUntil([] { return formGlobal->slIcons->Strings()->Count() > 0; }, 10000));
        real_input::Settle();
        const int row = RowOf("c:\\apps\\game.exe");
        bool canSelect = true;
        o->grTasksSelectCell(o->grTasks, 0, row, canSelect);
        o->GroupList->ButtonClick(o->cbSelectGroup);
        EXPECT_TRUE(PumpUntil([&] { return o->GroupList->Visible(); }));
        real_input::SettlePainted();
        EXPECT_TRUE(Screenshot("options-group-picker.png"));
        o->GroupList->SetVisible(false);
      }
      real_input::SettlePainted();
      EXPECT_TRUE(Screenshot(names[page]));
    }
    o->btCancel->Click();
    done = true;
  });
  After(60000, [o] {
    if (o->Visible()) o->SetModalResult(mrAbort);
  });
  EXPECT_EQ(o->ShowModal(), mrCancel);
  EXPECT_TRUE(done);
  EXPECT_FALSE(SettingsStored());
}

TEST_F(OptionsFormTest, CaptionTitleShowsRedAndBoldWhenActiveAndInTheInactiveColourOtherwise) {
  TformOptions* o = Make();
  TKitCaption* title = o->KitGradientCaption->Captions()->GetItem(0);
  EXPECT_FALSE(title->ParentFont());
  EXPECT_EQ(title->Font()->Color(), clRed);
  EXPECT_TRUE(title->Font()->Style() & fsBold);
  caption_pixels::TitleColours colours;
  EXPECT_EQ(ShowFor([&] {
              colours = caption_pixels::ReadTitleColours(o, o->KitGradientCaption, "options-caption");
              o->btCancel->Click();
            }),
            mrCancel);
  // The title's strokes are there to read in either state.
  EXPECT_GT(colours.activeRed, 30);
  EXPECT_GT(colours.inactiveText, 30);
  EXPECT_EQ(colours.inactiveRed, 0);
}

// The break and save settings changed as a user changes them, by typing and with the spin
// buttons and leaving each edit with Tab: Apply stores exactly the values shown, and the
// reminders read them.
TEST_F(OptionsFormTest, ValuesTypedAndSteppedByTheUserAreTheValuesStored) {
  using real_input::BringToForeground;
  using real_input::Centre;
  using real_input::Click;
  using real_input::FocusIsIn;
  using real_input::kShift;
  using real_input::PressKey;
  using real_input::TypeText;
  TformOptions* o = Make();
  // Puts the caret in a spin edit by a click, selects its text and types over it.
  auto typeInto = [](TKitSpinEdit* edit, const std::string& text) {
    Click(edit->Handle(), {4, edit->ClientHeight() / 2});
    PressKey(VK_END);
    PressKey(VK_HOME, kShift);
    TypeText(text);
  };
  // A click on the upper-left (up) or lower-right (down) half of a spin edit's button.
  auto step = [](TKitSpinEdit* edit, bool up) {
    TKitSpinButton* button = edit->Button();
    const int part = up ? 1 : 3;
    Click(button->Parent()->Handle(),
          {button->Left() + button->Width() * part / 4, button->Top() + button->Height() * part / 4});
  };
  auto storedValue = [](const std::string& name) {
    TRegistry registry;
    if (!registry.OpenKey(std::string(HourlarkRegistryKey) + "\\Options", false)) return std::string("(none)");
    return registry.ReadString(name);
  };
  bool done = false;
  After(100, [&] {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(o->Handle()) != FALSE; }));
    ASSERT_TRUE(BringToForeground(o->Handle()));
    typeInto(o->edSaveTime, "7");
    PressKey(VK_TAB);
    EXPECT_FALSE(FocusIsIn(o->edSaveTime->Handle()));
    step(o->edSaveTime, true);
    EXPECT_EQ(o->edSaveTime->Text(), "8");

    ClickPageItem(o, 1);
    typeInto(o->edRemindEvery, "45");
    PressKey(VK_TAB);
    EXPECT_FALSE(FocusIsIn(o->edRemindEvery->Handle()));
    EXPECT_EQ(o->edRemindEvery->Text(), "45");
    typeInto(o->edRemindDone, "8");
    PressKey(VK_TAB, kShift);
    EXPECT_FALSE(FocusIsIn(o->edRemindDone->Handle()));
    Click(o->cbRemindDoneAgain->Handle(), {6, o->cbRemindDoneAgain->Height() / 2});
    EXPECT_TRUE(o->cbRemindDoneAgain->Checked());
    ASSERT_TRUE(o->edRemindDoneAgain->Enabled());
    step(o->edRemindDoneAgain, true);
    step(o->edRemindDoneAgain, true);
    step(o->edRemindDoneAgain, false);
    EXPECT_EQ(o->edRemindDoneAgain->Text(), "11");
    EXPECT_TRUE(Screenshot("options-typed.png"));

    Click(o->btApply->Handle(), Centre(o->btApply->Handle()));
    EXPECT_FALSE(o->btApply->Enabled());
    EXPECT_EQ(storedValue("edSaveTime_Value"), "8");
    EXPECT_EQ(storedValue("edRemindEvery_Value"), "45");
    EXPECT_EQ(storedValue("edRemindDone_Value"), "8");
    EXPECT_EQ(storedValue("edRemindDoneAgain_Value"), "11");
    const ReminderSettings reminders = o->Reminders();
    EXPECT_EQ(reminders.EveryMinutes, 45);
    EXPECT_EQ(reminders.DoneHours, 8);
    EXPECT_TRUE(reminders.RemindDoneAgain);
    EXPECT_EQ(reminders.DoneAgainMinutes, 11);
    Click(o->btCancel->Handle(), Centre(o->btCancel->Handle()));
    done = true;
  });
  After(60000, [o] {
    if (o->Visible()) o->SetModalResult(mrAbort);
  });
  EXPECT_EQ(o->ShowModal(), mrCancel);
  EXPECT_TRUE(done);
}

namespace {

bool OptionsValueExists(const std::string& name) {
  TRegistry registry;
  return registry.OpenKey(std::string(HourlarkRegistryKey) + "\\Options", false) && registry.ValueExists(name);
}

// Clicks a control of a window shown for real in its middle, as a user does.
void ClickOn(TWinControl* control) {
  real_input::Click(control->Handle(), real_input::Centre(control->Handle()));
}

}  // namespace

// Two task lines of one program are two rows; a setting changed and OK, and a
// filter box switched off and on again, must leave the task file as it was, and
// the dialog writes no window position into the section the main window keeps
// its own in.
TEST_F(OptionsFormTest, ApplyWithoutAGridEditLeavesTheTaskFileAndTheMainWindowsPlacementAlone) {
  tasks_->Strings()->Add("c:\\apps\\dup.exe\tDupA\t1");
  tasks_->Strings()->Add("c:\\apps\\dup.exe\tDupB\t1");
  tasks_->Strings()->SaveToFile(folder_.File("hl20task.txt"));
  const std::string before = TaskFile();
  ASSERT_NE(before.find("DupA"), std::string::npos);
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(std::string(HourlarkRegistryKey) + "\\Options", true));
    registry.WriteString("NormPos", "11,22,333,444");
  }
  TformOptions* o = Make();
  o->FormStorage->RestoreFromStore();
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              ClickOn(o->cbAutoHide);
              EXPECT_TRUE(o->btApply->Enabled());
              // The dialog closes once this step returns to its modal loop.
              ClickOn(o->btOK);
            }),
            mrOk);
  EXPECT_EQ(TaskFile(), before);
  EXPECT_TRUE(SettingsStored());
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(std::string(HourlarkRegistryKey) + "\\Options", false));
  EXPECT_EQ(registry.ReadString("NormPos"), "11,22,333,444");
  for (const char* name : {"Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos"})
    EXPECT_FALSE(OptionsValueExists(name)) << name;

  // A filter box switched off and on again runs Apply twice.
  o->TaskPageFlag = true;
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              ClickOn(o->lvGroupList);
              real_input::PressKey(VK_HOME);
              real_input::PressKey(VK_SPACE);
              EXPECT_TRUE(real_input::PumpUntil([&] { return o->GetCheckedGroupMask() == 0x7Eu; }));
              real_input::PressKey(VK_SPACE);
              EXPECT_TRUE(real_input::PumpUntil([&] { return o->GetCheckedGroupMask() == 0x7Fu; }));
              o->btCancel->Click();
            }),
            mrCancel);
  EXPECT_EQ(TaskFile(), before);
}

// The group editor over a group file of some megabytes: every line reaches the
// editor, and OK writes them all back.
TEST_F(OptionsFormTest, GroupEditorKeepsEveryLineOfALargeGroupFile) {
  std::string text;
  for (int i = 0; text.size() < 2300 * 1024; ++i) text += "Group number " + std::to_string(i) + " of a long list\r\n";
  {
    TFileStream file(folder_.File("hl20grp.txt"), fmCreate);
    file.WriteBuffer(text.data(), static_cast<int>(text.size()));
  }
  TformOptions* o = Make();
  EXPECT_EQ(o->GroupName(7), "Group number 0 of a long list");
  EXPECT_EQ(o->GroupName(14), "Group number 7 of a long list");
  o->TaskPageFlag = true;
  size_t shown = 0;
  const int result = ShowFor(
      [&] {
        ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
        // Runs from the editor's own modal loop, which the click below enters.
        WhenEditorShows([&] {
          shown = formEdit->Memo1->Text().size();
          real_input::Screenshot("group-editor-large.png");
          real_input::BringToForeground(formEdit->Handle());
          ClickOn(formEdit->BitBtn2);
        });
        ClickOn(o->btEditGroupList);
        real_input::Settle();
        o->btCancel->Click();
      },
      120000);
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(shown, text.size());
  EXPECT_TRUE(ReadBytes(folder_.File("hl20grp.txt")) == text);
  EXPECT_EQ(o->GroupName(14), "Group number 7 of a long list");
}

TEST_F(OptionsFormTest, AfterTheGroupEditorTheGridFollowsTheFilterThatShows) {
  // First in the task list, third by description: the row that was current at the rebuild.
  tasks_->Strings()->Add("c:\\aaa\\first.exe\tHotel\t1");
  for (int i = 0; i < 40; ++i)
    tasks_->Strings()->Add("c:\\more\\tool" + std::to_string(100 + i) + ".exe\tTool " + std::to_string(100 + i) +
                           "\t1");
  TformOptions* o = Make();
  o->TaskPageFlag = true;
  int topAfterFilter = 0, rowsFiltered = 0, rowsAfterEditor = 0;
  const int result = ShowFor([&] {
    ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
    // ".Hidden" off: the grid loses the task of group 0.
    ClickOn(o->lvGroupList);
    real_input::PressKey(VK_HOME);
    for (int i = 0; i < 5; ++i) real_input::PressKey(VK_DOWN);
    real_input::PressKey(VK_SPACE);
    EXPECT_TRUE(real_input::PumpUntil([&] { return o->GetCheckedGroupMask() == 0x5Fu; }));
    real_input::Settle();
    rowsFiltered = o->grTasks->RowCount();
    topAfterFilter = o->grTasks->TopRow();
    EXPECT_TRUE(real_input::Screenshot("options-grid-after-filter.png"));
    WhenEditorShows([] {
      real_input::BringToForeground(formEdit->Handle());
      ClickOn(formEdit->BitBtn2);
    });
    ClickOn(o->btEditGroupList);
    real_input::Settle();
    rowsAfterEditor = o->grTasks->RowCount();
    EXPECT_TRUE(real_input::Screenshot("options-grid-after-editor.png"));
    o->btCancel->Click();
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(rowsFiltered, 1 + 44);
  EXPECT_EQ(topAfterFilter, 1);
  EXPECT_EQ(o->GetCheckedGroupMask(), 0x7Fu);
  EXPECT_EQ(rowsAfterEditor, 1 + 45);
}

// Tab from the page chooser goes through the page shown in the order the dialog lists its
// settings, then to OK and Cancel (Apply is disabled until something changes), and back;
// Shift+Tab goes the other way and no text changes; the same in the group editor, which
// Escape cancels. Escape in a spin edit cancels the dialog; Enter on a check box is OK.
TEST_F(OptionsFormTest, TabGoesRoundEachPageInItsOrderAndEnterAndEscapeEndTheDialog) {
  TformOptions* o = Make();
  const std::vector<std::vector<TWinControl*>> pages = {
      {o->cbAutoStart, o->cbAutoStartTimer, o->cbAutoHide, o->cbPauseScreenSaver, o->edPlayScreenSaverActivate,
       o->edSaveTime, o->cbShowIcons, o->cbAnimatedIcon},
      {o->cbRemindEvery, o->edRemindEvery, o->edRemindEveryMessage, o->edRemindEverySound, o->cbRemindDone,
       o->edRemindDone, o->cbRemindDoneAgain, o->edRemindDoneMessage, o->edRemindDoneSound},
      {o->grTasks, o->lvGroupList, o->btEditGroupList},
      {o->btLingroveInfo}};
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              for (size_t page = 0; page < pages.size(); ++page) {
                ClickPageItem(o, static_cast<int>(page));
                std::vector<TWinControl*> order{o->ListView};
                order.insert(order.end(), pages[page].begin(), pages[page].end());
                order.insert(order.end(), {o->btOK, o->btCancel});
                real_input::ExpectTabOrder(order, "page " + std::to_string(page));
              }
              // The group editor: the memo, OK and Cancel; Escape in the memo cancels it.
              ClickPageItem(o, 2);
              WhenEditorShows([] {
                ASSERT_TRUE(real_input::BringToForeground(formEdit->Handle()));
                real_input::ExpectTabOrder({formEdit->Memo1, formEdit->BitBtn2, formEdit->BitBtn1}, "group editor");
                formEdit->Memo1->SetFocus();
                real_input::PressKey(VK_ESCAPE);
              });
              ClickOn(o->btEditGroupList);
              EXPECT_EQ(formEdit->ModalResult(), mrCancel);
              ClickPageItem(o, 1);
              o->edRemindDone->SetFocus();
              real_input::PressKey(VK_ESCAPE);
            }),
            mrCancel);
  EXPECT_FALSE(SettingsStored());
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              ClickPageItem(o, 0);
              o->cbAutoHide->SetFocus();
              real_input::PressKey(VK_RETURN);
            }),
            mrOk);
}

namespace {

// A task list of count programs in groups 1 to 5, as years of tracking leave it.
std::string ManyTasks(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "c:\\programs\\vendor " + std::to_string(i % 97) + "\\tool" + std::to_string(i) + ".exe\tTool " +
            std::to_string(i * 7919 % count) + "\t" + std::to_string(1 + i % 5) + "\r\n";
  return text;
}

// Where a click toggles the check box of a list view's item, in the list's client area.
POINT CheckBoxPoint(TListView* list, int index) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  SendMessageA(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&bounds));
  for (int x = bounds.left; x < bounds.right; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, (bounds.top + bounds.bottom) / 2};
    if (SendMessageA(list->Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == index &&
        (hit.flags & LVHT_ONITEMSTATEICON))
      return POINT{x + 3, hit.pt.y};
  }
  ADD_FAILURE() << "no check box found on item " << index;
  return POINT{bounds.left + 8, (bounds.top + bounds.bottom) / 2};
}

}  // namespace

// Long task lists through the shown dialog: it opens on the task page, and a click on a
// group's check box filters its programs out and the next one back in, within a second at
// 10,000 lines and five at 100,000. The times are printed with their ratio to a plain
// read of the task file.
TEST_F(OptionsFormTest, LongTaskListsOpenAndFilterInTime) {
  for (const auto& [count, limit] : {std::pair<int, double>{10000, 1.0}, std::pair<int, double>{100000, 5.0}}) {
    tasks_->Strings()->SetText(ManyTasks(count));
    ASSERT_EQ(tasks_->Strings()->Count(), count);
    tasks_->Strings()->SaveToFile(folder_.File("hl20task.txt"));
    const double raw = RawReadSeconds(folder_.File("hl20task.txt"));
    auto report = [&](const char* what, double seconds) {
      std::printf("%d task lines: %-28s %.3f s (%.0fx the plain read of %.4f s)\n", count, what, seconds,
                  seconds / raw, raw);
      EXPECT_LE(seconds, limit) << what;
    };
    TformOptions* o = Make();
    o->TaskPageFlag = true;
    double start = Seconds();
    o->Show();
    ASSERT_TRUE(PumpUntil(
        [&] { return o->grTasks->Showing() && o->grTasks->RowCount() == count + 1 && !o->btApply->Enabled(); },
        60000));
    report("dialog opened", Seconds() - start);
    ASSERT_TRUE(real_input::BringToForeground(o->Handle()));

    int group1 = -1;
    for (int i = 0; i < o->lvGroupList->Items()->Count(); ++i)
      if (o->lvGroupList->Items()->Items(i)->ImageIndex() == 1) group1 = i;
    ASSERT_GE(group1, 0);
    const POINT box = CheckBoxPoint(o->lvGroupList, group1);
    start = Seconds();
    real_input::Click(o->lvGroupList->Handle(), box);
    EXPECT_TRUE(PumpUntil([&] { return o->grTasks->RowCount() == count - count / 5 + 1; }, 60000));
    report("group filtered out", Seconds() - start);
    EXPECT_FALSE(o->lvGroupList->Items()->Items(group1)->Checked());

    real_input::WaitOutDoubleClick();
    start = Seconds();
    real_input::Click(o->lvGroupList->Handle(), box);
    EXPECT_TRUE(PumpUntil([&] { return o->grTasks->RowCount() == count + 1; }, 60000));
    report("group shown again", Seconds() - start);
    // The rows are the lines, sorted by their descriptions.
    EXPECT_EQ(o->grTasks->Cells(2, 1), "Tool 0");
    EXPECT_EQ(o->grTasks->Cells(2, count), "Tool " + std::to_string(count - 1));
    if (count == 100000) EXPECT_TRUE(Screenshot("options-tasks-100000.png"));
    o->Hide();
    delete o;
    options_ = nullptr;
  }
}

namespace {

// Clicks the middle of a grid cell.
void ClickCell(TSortGrid* grid, int col, int row) {
  const RECT cell = grid->CellRect(col, row);
  real_input::Click(grid->Handle(), {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
}

// The task grid shows a current cell: a data cell with the editor over it and the focus in it.
void ExpectCurrentCellShown(TformOptions* o, const char* after) {
  TSortGrid* grid = o->grTasks;
  EXPECT_TRUE(real_input::PumpUntil([&] { return real_input::FocusIsIn(grid->Handle()); })) << after;
  EXPECT_GE(grid->Col(), 1) << after;
  EXPECT_GE(grid->Row(), 1) << after;
  ASSERT_NE(grid->InplaceEditor(), nullptr) << after;
  EXPECT_TRUE(IsWindowVisible(grid->InplaceEditor()->Handle())) << after;
  EXPECT_EQ(grid->InplaceEditor()->EditRow(), grid->Row()) << after;
}

// Scrolled to its end, the grid's last row sits at its bottom: no room for another row.
void ExpectLastRowAtTheBottom(TSortGrid* grid) {
  const RECT last = grid->CellRect(1, grid->RowCount() - 1);
  ASSERT_FALSE(IsRectEmpty(&last));
  EXPECT_LT(grid->ClientHeight() - last.bottom, grid->DefaultRowHeight());
  EXPECT_EQ(grid->TopRow(), grid->RowCount() - grid->VisibleRowCount());
}

}  // namespace

// Lines of one path edited one after another with an Apply between, Apply then OK with a
// changed setting, then a filter click: each edit lands on its own line, none is lost. A
// case-only change of a path takes that row's line; the empty row of a grid listing nothing
// writes over no hidden line.
TEST_F(OptionsFormTest, EditsAppliedOneAfterAnotherReplaceOnlyTheirOwnLines) {
  tasks_->Strings()->SetText("c:\\dup.exe\tDupA\t1\r\nc:\\dup.exe\tDupB\t1\r\nc:\\dup.exe\tDupC\t1\r\n");
  TformOptions* o = Make();
  o->TaskPageFlag = true;
  TSortGrid* grid = o->grTasks;
  auto typeInto = [&](int col, const std::string& description, const std::string& text) {
    int row = 1;
    while (row + 1 < grid->RowCount() && grid->Cells(2, row) != description) ++row;
    ClickCell(grid, col, row);
    grid->InplaceEditor()->SelectAll();
    real_input::TypeText(text);
  };
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              typeInto(2, "DupC", "zedDupC");
              ClickOn(o->btApply);
              typeInto(2, "DupB", "yyDupB");
              ClickOn(o->btApply);
              EXPECT_EQ(TaskFile(), "c:\\dup.exe\tDupA\t1\r\nc:\\dup.exe\tyyDupB\t1\r\nc:\\dup.exe\tzedDupC\t1\r\n");
              typeInto(1, "yyDupB", "C:\\DUP.EXE");
              ClickOn(o->btApply);
              EXPECT_EQ(TaskFile(), "c:\\dup.exe\tDupA\t1\r\nC:\\DUP.EXE\tyyDupB\t1\r\nc:\\dup.exe\tzedDupC\t1\r\n");
              typeInto(2, "DupA", "xDupA");
              ClickOn(o->btApply);
              ClickPageItem(o, 0);
              ClickOn(o->cbAutoHide);
              ClickPageItem(o, 2);
              real_input::Click(o->lvGroupList->Handle(), CheckBoxPoint(o->lvGroupList, 5));
              EXPECT_TRUE(real_input::PumpUntil([&] { return o->GetCheckedGroupMask() == 0x5Fu; }));
              ClickOn(o->cbAutoHide);
              ClickOn(o->btOK);
            }),
            mrOk);
  EXPECT_EQ(TaskFile(), "c:\\dup.exe\txDupA\t1\r\nC:\\DUP.EXE\tyyDupB\t1\r\nc:\\dup.exe\tzedDupC\t1\r\n");

  tasks_->Strings()->SetText("\tHidden text\t\r\n");
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              ASSERT_EQ(GridRows(grid), std::vector<std::string>{"||"});
              typeInto(2, "", "typed");
              ClickOn(o->btApply);
              ClickOn(o->btCancel);
            }),
            mrCancel);
  EXPECT_EQ(TaskFile(), "\tHidden text\t\r\n");
}

// A click on the Group header sorts by groups and opens no picker; Apply and the group
// editor's OK leave the grid with a current cell, and at its end the last row at the bottom.
TEST_F(OptionsFormTest, SortingAndApplyingKeepTheTaskGridsCurrentCellAndOpenNoPicker) {
  for (int i = 0; i < 40; ++i)
    tasks_->Strings()->Add("c:\\more\\tool" + std::to_string(100 + i) + ".exe\tTool " + std::to_string(100 + i) +
                           "\t" + std::to_string(1 + i % 3));
  TformOptions* o = Make();
  o->TaskPageFlag = true;
  TSortGrid* grid = o->grTasks;
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              ClickCell(grid, 2, 2);
              real_input::PressKey(VK_END, real_input::kCtrl);
              EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
              ExpectLastRowAtTheBottom(grid);
              ClickCell(grid, 0, 0);
              EXPECT_EQ(grid->SortOptions()->SortCol(), 0);
              EXPECT_FALSE(o->cbSelectGroup->Visible());
              EXPECT_FALSE(o->GroupList->Visible());
              EXPECT_GE(grid->Col(), 1);
              real_input::TypeText("Sorted");
              ClickOn(o->btApply);
              ExpectCurrentCellShown(o, "Apply");
              WhenEditorShows([] {
                real_input::BringToForeground(formEdit->Handle());
                ClickOn(formEdit->BitBtn2);
              });
              ClickOn(o->btEditGroupList);
              ExpectCurrentCellShown(o, "the group editor");
              real_input::PressKey(VK_END, real_input::kCtrl);
              ExpectLastRowAtTheBottom(grid);
              EXPECT_TRUE(real_input::Screenshot("options-grid-at-its-end.png"));
              ClickOn(o->btCancel);
            }),
            mrCancel);
  EXPECT_NE(TaskFile().find("\tSorted\t"), std::string::npos);
}

// In the task grid Left at the caret's start and Right at the text's end go on to the
// neighbouring cell, as Ctrl+Left/Right and Home/End do there; a cell so reached has its
// whole text selected, and typing replaces it.
TEST_F(OptionsFormTest, ArrowsAtTheEdgesOfACellsTextMoveToTheNeighbouringCell) {
  TformOptions* o = Make();
  o->TaskPageFlag = true;
  TSortGrid* grid = o->grTasks;
  auto selectedWhole = [grid] {
    TInplaceEdit* editor = grid->InplaceEditor();
    return editor->SelStart() == 0 && editor->SelLength() == static_cast<int>(editor->Text().size());
  };
  struct Case {
    WORD key;
    unsigned modifiers;
    int from, to;
    bool whole;  // the text selected whole first, else the caret one step inside it
  };
  const Case cases[] = {{VK_LEFT, 0, 2, 1, false},  {VK_RIGHT, 0, 1, 2, false}, {VK_LEFT, real_input::kCtrl, 2, 1, false},
                        {VK_RIGHT, real_input::kCtrl, 1, 2, false}, {VK_HOME, 0, 2, 1, false}, {VK_END, 0, 1, 2, false},
                        {VK_LEFT, 0, 2, 1, true}};
  EXPECT_EQ(ShowFor([&] {
              ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
              const int row = RowOf("c:\\apps\\game.exe");
              for (const Case& c : cases) {
                ClickCell(grid, c.from, row);
                ASSERT_EQ(grid->Col(), c.from);
                TInplaceEdit* editor = grid->InplaceEditor();
                const bool leftward = c.key == VK_LEFT || c.key == VK_HOME;
                if (c.whole) {
                  editor->SelectAll();
                } else {
                  // Inside the text the key stays the editor's and brings the caret to the edge.
                  editor->SetSelStart(leftward ? 1 : static_cast<int>(editor->Text().size()) - 1);
                  real_input::PressKey(c.key, c.modifiers);
                  EXPECT_EQ(grid->Col(), c.from) << c.key << " " << c.modifiers;
                  EXPECT_EQ(editor->SelStart(), leftward ? 0 : static_cast<int>(editor->Text().size()));
                }
                real_input::PressKey(c.key, c.modifiers);
                EXPECT_EQ(grid->Col(), c.to) << c.key << " " << c.modifiers;
                EXPECT_EQ(grid->Row(), row);
                EXPECT_TRUE(selectedWhole()) << c.key << " " << c.modifiers;
              }
              real_input::TypeText("Chess");
              EXPECT_EQ(grid->Cells(1, row), "Chess");
              ClickOn(o->btCancel);
            }),
            mrCancel);
}

namespace {

using task_grid_model::Fields;
using task_grid_model::Op;

constexpr unsigned kModelSeed = 20261209;

int GridRowShowing(TSortGrid* grid, const Fields& shown) {
  for (int row = 1; row < grid->RowCount(); ++row)
    if (Fields{grid->Cells(0, row), grid->Cells(1, row), grid->Cells(2, row)} == shown) return row;
  ADD_FAILURE() << "no grid row shows " << shown.Text();
  return 1;
}

std::vector<std::string> SortedGridRows(TSortGrid* grid) {
  std::vector<std::string> rows = GridRows(grid);
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> SortedModelRows(const task_grid_model::Model& model) {
  std::vector<std::string> rows;
  for (const Fields& f : model.Shown()) rows.push_back(f.Text());
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

// The random sequences of the task-grid model through the dialog itself, by real input:
// after each step hl20task.txt holds what the model says, and the grid shows its rows.
TEST_F(OptionsFormTest, RandomTaskPageSequencesByRealInputKeepEveryLineAsTheModelHasIt) {
  constexpr int kRuns = 3, kRunSteps = 20;
  std::mt19937 random(kModelSeed);
  int steps = 0;
  std::map<std::string, int> kinds;
  for (int run = 0; run < kRuns; ++run) {
    const std::vector<std::string> lines = task_grid_model::Model::RandomLines(random, 8);
    tasks_->Strings()->Clear();
    for (const std::string& line : lines) tasks_->Strings()->Add(line);
    tasks_->Strings()->SaveToFile(folder_.File("hl20task.txt"));
    task_grid_model::Model model(lines);
    TformOptions* o = Make();
    o->TaskPageFlag = true;
    TSortGrid* grid = o->grTasks;
    std::string trail;
    Op last = Op::Show;
    int n = 0;
    // Each showing runs steps until one closes the dialog.
    auto steps_ = [&] {
      ASSERT_TRUE(real_input::BringToForeground(o->Handle()));
      while (n < kRunSteps) {
        const task_grid_model::Step step = model.RandomStep(random);
        const std::vector<Fields> shown = model.Shown();
        trail += "\n  " + step.Describe(shown);
        ++n;
        ++steps;
        ++kinds[task_grid_model::OpName(step.op)];
        // Two clicks in a row on one place must not make a double click.
        if (step.op == last) real_input::WaitOutDoubleClick();
        last = step.op;
        const int row = step.row >= 0 ? GridRowShowing(grid, shown[static_cast<size_t>(step.row)]) : 0;
        switch (step.op) {
          case Op::EditDescription:
          case Op::EditPath:
            ClickCell(grid, step.op == Op::EditPath ? 1 : 2, row);
            grid->InplaceEditor()->SelectAll();
            if (step.text.empty())
              real_input::PressKey(VK_DELETE);
            else
              real_input::TypeText(step.text);
            break;
          case Op::PickGroup: {
            ClickCell(grid, 0, row);
            ClickOn(o->cbSelectGroup);
            EXPECT_TRUE(real_input::PumpUntil([&] { return o->GroupList->Visible(); }));
            TTreeNode* node = o->GroupList->Items()->TopItem(NodeOf(o->GroupName(step.number)));
            RECT rect{};
            const HTREEITEM item = node->ItemId();
            std::memcpy(&rect, &item, sizeof item);
            SendMessageA(o->GroupList->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
            real_input::Click(o->GroupList->Handle(), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
            EXPECT_TRUE(real_input::PumpUntil([&] { return !o->GroupList->Visible(); }));
            break;
          }
          case Op::Setting:
            ClickPageItem(o, 0);
            ClickOn(o->cbAutoHide);
            ClickPageItem(o, 2);
            break;
          case Op::Apply:
            ClickOn(o->btApply);
            break;
          case Op::Ok:
          case Op::Cancel:
            ClickOn(step.op == Op::Ok ? o->btOK : o->btCancel);
            break;
          case Op::Filter: {
            const uint32_t mask = o->GetCheckedGroupMask();
            real_input::Click(o->lvGroupList->Handle(), CheckBoxPoint(o->lvGroupList, step.number));
            EXPECT_TRUE(real_input::PumpUntil([&] { return o->GetCheckedGroupMask() != mask; }));
            break;
          }
          case Op::EditorOk:
          case Op::EditorCancel:
            WhenEditorShows([ok = step.op == Op::EditorOk] {
              real_input::BringToForeground(formEdit->Handle());
              ClickOn(ok ? formEdit->BitBtn2 : formEdit->BitBtn1);
            });
            ClickOn(o->btEditGroupList);
            break;
          case Op::Sort:
            ClickCell(grid, step.number, 0);
            break;
          case Op::Show:
            break;
        }
        real_input::Settle();
        model.Do(step);
        std::vector<std::string> file = task_grid_model::Model({}).File();
        TStringList read;
        read.SetText(ReadBytes(folder_.File("hl20task.txt")));
        for (int i = 0; i < read.Count(); ++i) file.push_back(read.Strings(i));
        std::sort(file.begin(), file.end());
        const bool open = step.op != Op::Ok && step.op != Op::Cancel;
        if (file != model.File() || (open && SortedGridRows(grid) != SortedModelRows(model))) {
          ADD_FAILURE() << "seed " << kModelSeed << ", run " << run << ", step " << n << trail;
          EXPECT_EQ(file, model.File());
          if (open) EXPECT_EQ(SortedGridRows(grid), SortedModelRows(model));
          n = kRunSteps;
        }
        if (!open) return;
      }
      ClickOn(o->btCancel);
      model.Do({Op::Cancel, -1, "", 0});
    };
    while (n < kRunSteps && !HasFailure()) {
      model.Do({Op::Show, -1, "", 0});
      trail += "\n  show";
      ShowFor(steps_, 120000);
    }
    delete o;
    options_ = nullptr;
  }
  std::printf("task grid model by real input: seed %u, %d runs, %d steps:", kModelSeed, kRuns, steps);
  for (const auto& [kind, count] : kinds) std::printf(" %s %d,", kind.c_str(), count);
  std::printf("\n");
}
