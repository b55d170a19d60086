#pragma once
// TformOptions: the tracker's settings dialog. It is made at start-up and lives for the whole
// run; the main window, the tracking engine, the reminders and the statistics window read its
// controls directly. Four pages chosen from the list on the left: General, Shedule (breaks),
// TaskList (every known task with its group and description, and the group filter) and
// About. The settings are kept in the registry with the main window's key (section
// "Options") together with the start-with-Windows value.
//
// Every change of a setting enables Apply; each activation of the dialog disables it again
// and rebuilds the task grid from the task list, so OK stores only what was changed since
// the dialog last became active. Cancel only closes: the controls keep what the user set for
// the rest of the run, while the registry and hl20task.txt keep the last applied state.

#include <cstdint>
#include <string>
#include <vector>

#include "app/reminders.h"
#include "app/task_groups.h"
#include "app/win/global_form.h"
#include "kit/win/combo_edit.h"
#include "kit/win/combo_tree_view.h"
#include "kit/win/filename_edit.h"
#include "kit/win/form_storage.h"
#include "kit/win/sort_grid.h"
#include "kit/win/spin_edit.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/media_player.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"

class TAnimatedImage;
class TKitGradientCaption;
class TKitSpeedButton;
class TLingroveLang;
class TStrHolder;
struct TrackerContext;

// The registry key of the tracker's settings under the current user.
extern const char* const HourlarkRegistryKey;
// The value under the current user's Run key that starts the tracker with Windows.
extern const char* const AutoStartValueName;

// The task grid: a sort grid that tells when the user's typing changed a cell. Its first
// column (the group) is never current: choosing it opens the group picker, and a sort by it
// leaves the current column where it was (a sort opens no picker).
class TTaskGrid : public TSortGrid {
  HL_REFLECTABLE
public:
  explicit TTaskGrid(TComponent* owner) : TSortGrid(owner) {}
  // After the in-place editor changed a cell's text (Modified is set then).
  TNotifyEvent OnCellEdited;
  void SortByColumn(int col) override;
  void MoveToCell(int col, int row) override;

protected:
  void SetEditText(int col, int row, const std::string& value) override;

private:
  bool sorting_ = false;
};

class TformOptions : public TForm, public TTaskIconViewer {
  HL_REFLECTABLE
public:
  explicit TformOptions(TComponent* owner);
  ~TformOptions() override;

  // ---- Frame ----
  TListView* ListView;
  TImageList* ilTabs;
  TPanel* Notebook;
  TPanel* Panel1;
  TButton* btOK;
  TButton* btCancel;
  TButton* btApply;
  // Plays the sound files; never shown.
  TMediaPlayer* MediaPlayer;
  TStatusBar* StatusBar;
  TKitGradientCaption* KitGradientCaption;
  TFormStorage* FormStorage;
  TLingroveLang* LingroveLang1;

  // ---- General ----
  TCheckBox* cbAutoStart;
  TCheckBox* cbAutoStartTimer;
  TCheckBox* cbAutoHide;
  TCheckBox* cbPauseScreenSaver;
  TFilenameEdit* edPlayScreenSaverActivate;
  TKitSpeedButton* btPlayScreenSaver;
  TKitSpeedButton* SpeedButton2;
  TKitSpinEdit* edSaveTime;
  TCheckBox* cbShowIcons;
  TCheckBox* cbAnimatedIcon;
  TCheckBox* cbSpy;
  TAnimatedImage* imAnimIcon;
  TImage* imIcon;

  // ---- Shedule ----
  TCheckBox* cbRemindEvery;
  TKitSpinEdit* edRemindEvery;
  TEdit* edRemindEveryMessage;
  TFilenameEdit* edRemindEverySound;
  TKitSpeedButton* btPlay;
  TKitSpeedButton* btStop;
  TCheckBox* cbRemindDone;
  TKitSpinEdit* edRemindDone;
  TCheckBox* cbRemindDoneAgain;
  TKitSpinEdit* edRemindDoneAgain;
  TEdit* edRemindDoneMessage;
  TFilenameEdit* edRemindDoneSound;
  TKitSpeedButton* btPlay1;
  TKitSpeedButton* btStop1;

  // ---- TaskList ----
  TTaskGrid* grTasks;
  TComboEdit* cbSelectGroup;
  TQComboTreeView* GroupList;
  TListView* lvGroupList;
  TButton* btEditGroupList;

  // ---- About ----
  TImage* imLogo;
  TLabel* lVersion;
  TLabel* lEmail;
  TLabel* lUrl;
  TLabel* lUrl2;
  TLabel* lLingroveThanks;
  TButton* btLingroveInfo;

  // ---- Pages ----
  // The page shown (0 General, 1 Shedule, 2 TaskList, 3 About).
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int value);
  // Set by the statistics window: every later showing opens on the TaskList page.
  bool TaskPageFlag = false;
  // Set by every Apply; the statistics window clears it before it shows the dialog.
  bool AppliedFlag = false;

  // ---- Handlers ----
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormActivate(TObject* sender);
  void FormDeactivate(TObject* sender);
  void ListViewSelectItem(TObject* sender, TListItem* item, bool selected);
  // A setting changed: Apply is enabled and the reminder controls follow their check boxes.
  void cbAutoHideClick(TObject* sender);
  void cbAnimatedIconClick(TObject* sender);
  // Stores the grid, the settings and the start-with-Windows value; the main window's tray
  // icons follow; with icons switched off the task icons are forgotten. Apply is disabled.
  void btApplyClick(TObject* sender);
  // Applies when there are unapplied changes (Apply enabled); the button then closes.
  void btOKClick(TObject* sender);
  // Writes or deletes the start-with-Windows value.
  void FormStorageSavePlacement(TObject* sender);
  void btPlayClick(TObject* sender);
  void btStopClick(TObject* sender);
  void lUrlClick(TObject* sender);
  void btLingroveInfoClick(TObject* sender);
  void OptionsHintHandler(TObject* sender);

  // Plays a sound file in the background. Quotes around the name are dropped; an empty name
  // or a file that does not exist plays nothing.
  void PlaySoundFile(const std::string& fileName);

  // Shows the dialog modally; when it is already showing it is only brought to the front
  // (mrNone), since the tray menu can ask again while it is open.
  TModalResult ShowModal();

  // ---- Groups and the task grid ----
  // The name of the first group-tree node of that group; empty when there is none.
  std::string GroupName(int group) const;
  // Adds the custom groups of hl20grp.txt to the group tree.
  void LoadGroups();
  // Rebuilds the group filter from the group tree, every group checked.
  void FillGroupList();
  // Rebuilds the grid from the task list, leaving out the groups the filter unchecks.
  void FillTaskGrid();
  // FillTaskGrid, then sorts the grid by a column; the new list shows from its first row,
  // which is current.
  void RefillTaskGrid(int sortCol);
  // Writes the grid's groups and descriptions back into the task list and hl20task.txt and
  // rebuilds the list of blocked programs.
  void SaveTaskGrid();
  // Places the group picker over a row's group cell.
  void ShowGroupPicker(int col, int row);
  // The group filter as a mask: bit i for item i checked.
  uint32_t GetCheckedGroupMask() const;
  // The grid row whose group the picker edits; 0 when none.
  int PickerRow() const { return pickerRow_; }

  void grTasksDrawCell(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state);
  void grTasksSelectCell(TObject* sender, int col, int row, bool& canSelect);
  void grTasksCellEdited(TObject* sender);
  void QComboTreeViewChange(TObject* sender, TTreeNode* node);
  void GroupListPopup(TObject* sender);
  void lvGroupListChange(TObject* sender, TListItem* item, TItemChange change);
  void btEditGroupListClick(TObject* sender);

  // The context the windows share: the task list the grid shows and where hl20task.txt and
  // hl20grp.txt are kept. Unset, there is no task list and the program's folder is used.
  void SetContext(const TrackerContext* context) { context_ = context; }
  TStrHolder* TaskList() const;
  std::string DataDir() const;

  // New task icons: the grid shows them.
  void TaskIconsApplied() override { grTasks->Invalidate(); }

  // The reminder settings as the controls hold them.
  ReminderSettings Reminders() const;
  // The dialog is open with changes not yet applied.
  bool SettingsPending() const { return Visible() && btApply->Enabled(); }
  // After Apply has stored the settings: the main window refreshes its tray icons.
  TNotifyEvent OnApplied;

private:
  TPanel* AddPage(const char* name);
  TGroupBox* AddGroupBox(TWinControl* page, const char* name, const char* caption);
  TCheckBox* AddCheck(TWinControl* parent, const char* name, const char* caption, int left, int top, int width,
                      bool checked);
  TKitSpinEdit* AddSpin(TWinControl* parent, const char* name, int left, int top, int minValue, int maxValue,
                        int increment, int value);
  // A labelled sound-file edit with its play and stop buttons, made into the given fields.
  struct SoundRow {
    TFilenameEdit** edit;
    TKitSpeedButton** play;
    TKitSpeedButton** stop;
  };
  void AddSoundRow(TWinControl* parent, const char* labelName, const char* caption, const char* editName,
                   const char* playName, const char* stopName, int top, SoundRow row);
  // A reminder's message edit with its "Warning" label.
  TEdit* AddMessageRow(TWinControl* parent, const char* editName, const char* text, int top);
  TLabel* AddLabel(TWinControl* parent, const char* name, const char* caption, int left, int top);
  TLabel* AddLink(TWinControl* parent, const char* name, int left, int top);
  void BuildGeneralPage(TPanel* page);
  void BuildShedulePage(TPanel* page);
  void BuildTaskPage(TPanel* page);
  void BuildAboutPage(TPanel* page);
  // A check box or label and the controls after it on its line: where the first came out
  // longer (a language, a resolution), the others move along; check boxes take their text's
  // width.
  void ArrangeTexts();
  std::vector<std::vector<TControl*>> rows_;
  void BindChanges();
  void HideGroupPicker();
  // Gives the task grid the focus when its page shows.
  void FocusTaskGrid();
  std::vector<TaskGroupNode> GroupNodes() const;
  std::string MessageText(int number, const char* base) const;
  // The texts the dialog sets itself rather than the translation: the version, the title,
  // the shown page's name in the status bar and the grid's headers. Set when the dialog
  // activates and again after every translation, so a language switch reaches them too.
  void ShowRunTimeTexts();

  std::vector<TPanel*> pages_;
  int pageIndex_ = 0;
  uint32_t groupMask_ = 0;
  int pickerRow_ = 0;
  bool fillingGroups_ = false;
  bool hintHandlerSet_ = false;
  // Set by each showing: its first activation refills the task grid whatever is pending.
  bool freshShow_ = true;
  const TrackerContext* context_ = nullptr;
};
