#pragma once
// The program's edges to the user and the system that tests must be able to replace:
// message boxes, beeps, the shell, the media control interface and the screen size. Every call goes through a
// function pointer; each setter installs a replacement (nullptr restores the system's)
// and returns the one it replaced, so a test can put it back.

#include <cstdint>
#include <string>

// Shows a message box owned by the active window; answers the button pressed (IDOK, ...).
using TMessageBoxEdge = int (*)(const std::string& text, const std::string& caption, unsigned flags);
// Plays a system sound by type (MB_OK, MB_ICONHAND, 0xFFFFFFFF for the speaker).
using TMessageBeepEdge = void (*)(unsigned type);
// Runs the shell on a file or address; an empty verb is the default action. True when the
// shell took it.
using TShellExecuteEdge = bool (*)(const std::string& verb, const std::string& file, const std::string& params,
                                   const std::string& directory, int show);
// One command of the media control interface: device, command message, flags and the
// command's parameter block; answers the interface's error code (0 on success).
using TMciCommandEdge = unsigned long (*)(unsigned device, unsigned command, uintptr_t flags, uintptr_t params);

struct TScreenSize {
  int Width;
  int Height;
};
// The size of the primary screen in pixels.
using TScreenSizeEdge = TScreenSize (*)();

int EdgeMessageBox(const std::string& text, const std::string& caption, unsigned flags);
void EdgeMessageBeep(unsigned type);
bool EdgeShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                      const std::string& directory, int show);
unsigned long EdgeMciCommand(unsigned device, unsigned command, uintptr_t flags, uintptr_t params);
TScreenSize EdgeScreenSize();

TMessageBoxEdge SetMessageBoxEdge(TMessageBoxEdge edge);
TMessageBeepEdge SetMessageBeepEdge(TMessageBeepEdge edge);
TShellExecuteEdge SetShellExecuteEdge(TShellExecuteEdge edge);
TMciCommandEdge SetMciCommandEdge(TMciCommandEdge edge);
TScreenSizeEdge SetScreenSizeEdge(TScreenSizeEdge edge);
