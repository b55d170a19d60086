// Entry point of the tracker. Until the main window exists this shows a window that says so.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Hourlark is not built yet: this is a placeholder window.", "Hourlark",
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
