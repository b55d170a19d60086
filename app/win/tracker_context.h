#pragma once
// What the tracker's windows share, and how they are linked. The context (the task list,
// the folder of the data files, the character set of the current language's texts) is made
// once by the program's entry point, or by a test, and handed to each window; the windows
// never look one another up. ConnectTrackerWindows makes the links the program has at
// start-up, so the program and the tests take the same path.

#include <cstdint>
#include <functional>
#include <string>

class TStrHolder;
class TformHourlark;
class TformOptions;

struct TrackerContext {
  // Every known task with its group and description (path TAB description TAB group lines).
  TStrHolder* TaskList = nullptr;
  // Where hl20task.txt, hl20work.txt and hl20grp.txt are kept, with its trailing backslash;
  // empty, the program's folder.
  std::string DataDir;
  // The character set the current language's texts need, for the report labels; unset
  // while no main window is there to tell it.
  std::function<uint8_t()> LabelCharset;
};

// The main window publishes its task list and data folder in the context, and reads the
// options dialog; the dialog reads the context, and Apply refreshes the tray icons.
void ConnectTrackerWindows(TrackerContext& context, TformHourlark& main, TformOptions& options);
