#pragma once
// The program's edges to the user and the system that tests must be able to replace:
// message boxes, beeps, the shell, sound and the screen size. Every call goes through a
// function pointer; each setter installs a replacement (nullptr restores the system's)
// and returns the one it replaced, so a test can put it back.

#include <string>

// Shows a message box owned by the active window; answers the button pressed (IDOK, ...).
using TMessageBoxEdge = int (*)(const std::string& text, const std::string& caption, unsigned flags);
// Plays a system sound by type (MB_OK, MB_ICONHAND, 0xFFFFFFFF for the speaker).
using TMessageBeepEdge = void (*)(unsigned type);
// Runs the shell on a file or address; an empty verb is the default action. True when the
// shell took it.
using TShellExecuteEdge = bool (*)(const std::string& verb, const std::string& file, const std::string& params,
                                   const std::string& directory, int show);
// Starts playing a sound file without waiting; true when it started.
using TPlaySoundEdge = bool (*)(const std::string& fileName);

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
bool EdgePlaySound(const std::string& fileName);
TScreenSize EdgeScreenSize();

TMessageBoxEdge SetMessageBoxEdge(TMessageBoxEdge edge);
TMessageBeepEdge SetMessageBeepEdge(TMessageBeepEdge edge);
TShellExecuteEdge SetShellExecuteEdge(TShellExecuteEdge edge);
TPlaySoundEdge SetPlaySoundEdge(TPlaySoundEdge edge);
TScreenSizeEdge SetScreenSizeEdge(TScreenSizeEdge edge);
