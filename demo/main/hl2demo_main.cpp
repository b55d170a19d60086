// Entry point of the quick demo. Until the demo exists this shows a window that says so.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "The quick demo is not built yet: this is a placeholder window.", "hl2demo",
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
