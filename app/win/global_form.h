#pragma once
// TformGlobal: the hidden form that holds the tracker's shared image lists - the small
// icons of the task programs, found by a worker thread, and the task-group pictures. It is
// made at start-up and never shown.
//
// The icons reach the windows in one step: the worker gathers names and images into a set
// of its own (from a copy of the task list taken on the window thread), and at the end of a
// load the window thread publishes both lists together (ApplyTaskIcons). Windows draw only
// from slIcons and ilIcons. A load that is stopped early publishes nothing; what it found is
// kept and not extracted again by the next load.

#include <memory>
#include <string>
#include <vector>

#include "app/task_icons.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/image_list.h"

class TLingroveLang;
class TLoadIcons;
class TStrHolder;
class TStrings;

// A window that shows task icons: told on the window thread each time new icons were
// published, while it is visible.
class TTaskIconViewer {
public:
  virtual ~TTaskIconViewer() = default;
  virtual void TaskIconsApplied() = 0;
};

// The ExtractIconExA edge: the number of icons of a program file, and its first small icon.
class TWinTaskIconSource : public TaskIconSource {
public:
  int IconCount(const std::string& path) override;
  TaskIcon SmallIcon(const std::string& path) override;
  // The icon a TaskIcon made here carries.
  static TIcon* IconOf(const TaskIcon& icon) { return static_cast<TIcon*>(icon.get()); }
};

class TformGlobal : public TForm {
  HL_REFLECTABLE
public:
  explicit TformGlobal(TComponent* owner);
  // Stops a running load first: the worker must not outlive what it fills.
  ~TformGlobal() override;

  // One line "path<TAB>" per task whose icon was found, sorted; line i names image i of
  // ilIcons.
  TStrHolder* slIcons;
  TImageList* ilIcons;
  // The pictures of the task groups.
  TImageList* ilGroups;
  TLingroveLang* LingroveLang1;

  void FormCreate(TObject* sender);

  // The task list whose programs' icons are loaded (the main window's).
  void SetTaskList(TStrHolder* taskList) { taskList_ = taskList; }
  // Starts a new load of the icons of the task list: a running load is stopped and waited
  // for first.
  void StartIconLoader();
  // The same for the given task-list lines (a copy is taken).
  void StartIconLoader(const std::vector<std::string>& taskLines);
  // Asks a running load to stop and waits until it has ended.
  void StopIconLoader();
  // Whether a load is running.
  bool Loading() const;
  // Forgets every icon, published or gathered (icons switched off in the options).
  void ClearIcons();
  // On the window thread at the end of a load: publishes the gathered names and images and
  // tells the visible icon viewers.
  void ApplyTaskIcons();

  // Where icons come from; tests put their own source here (nullptr: the program files).
  void SetIconSource(TaskIconSource* source) { source_ = source; }

private:
  friend class TLoadIcons;
  TStrHolder* taskList_ = nullptr;
  TaskIconSource* source_ = nullptr;
  TaskIconSet gathered_;
  std::unique_ptr<TImageList> icons_;
  std::unique_ptr<TImageList> groups_;
  std::unique_ptr<TLoadIcons> loader_;
};

// The icon holder made at start-up.
extern TformGlobal* formGlobal;
