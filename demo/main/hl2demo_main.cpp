// Entry point of the quick demo: the slideshow window is made and the message loop runs
// until it closes. No command line, registry value or file is read.
#include "platform/rtl/win/windows_api.h"

#include <memory>

#include "demo/win/demo_form.h"
#include "kit/win/cursors.h"
#include "platform/wcl/win/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  auto application = std::make_unique<TApplication>();
  try {
    // The kit's hand cursor (screen cursor 14000) points at the links.
    RegisterKitCursors();
    application->SetTitle("Hourlark 2.0 Quick Demo");
    formMain = application->CreateForm<TformMain>();
    application->Run();
  } catch (...) {
    application->HandleException(application.get());
  }
  formMain = nullptr;
  return 0;
}
