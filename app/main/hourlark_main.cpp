// Entry point of the tracker: the active-task library is loaded, the windows that live as long
// as the program are created in their order (the main window, the options dialog, the list
// picker, the reminder window, the wait window, the holder of the task icons) and linked
// here through the context they share, and the message loop runs until the main window
// closes. No command line is read.
#include "platform/wcl/win/handles.h"  // first: it tidies the system header's macros

#include <memory>

#include "app/win/active_task_probe.h"
#include "app/win/edit_form.h"
#include "app/win/global_form.h"
#include "app/win/input_strings_form.h"
#include "app/win/main_form.h"
#include "app/win/message_form.h"
#include "app/win/options_form.h"
#include "app/win/tracker_context.h"
#include "app/win/wait_form.h"
#include "kit/win/cursors.h"
#include "platform/wcl/win/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadTaskLibrary();
  {
    // Declared first: the windows hold it until the application has destroyed them.
    TrackerContext context;
    auto application = std::make_unique<TApplication>();
    try {
      // The kit's hand and drag cursors become screen cursors 14000 and 14001.
      RegisterKitCursors();
      application->SetTitle("Hourlark starting");
      application->SetHelpFile("hourlark.hlp");
      application->SetHintPause(300);
      auto* main = application->CreateForm<TformHourlark>();
      auto* options = application->CreateForm<TformOptions>();
      ConnectTrackerWindows(context, *main, *options);
      formInputStrings = application->CreateForm<TformInputStrings>();
      FormMessage = application->CreateForm<TFormMessage>();
      formWait = application->CreateForm<TformWait>();
      formGlobal = application->CreateForm<TformGlobal>();
      formEdit = application->CreateForm<TformEdit>();
      formGlobal->SetTaskList(context.TaskList);
      application->Run();
    } catch (...) {
      application->HandleException(application.get());
    }
  }
  UnloadTaskLibrary();
  return 0;
}
