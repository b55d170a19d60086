#pragma once
// The one way into the Win32 API: every project file includes Windows through this header,
// never <windows.h> itself, so the settings below and the undone macros hold in every file
// whatever the include order. Other system headers (<commctrl.h>, <shellapi.h>, ...) may
// follow it. Only the Win32 side includes it; the portable cores include it under _WIN32 only.

// The same settings as the mingw toolchain files give every file (they also reach the
// resource scripts and the test framework); here they hold for a file compiled on its own.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER 0x0601
#endif
#ifndef _WIN32_IE
#define _WIN32_IE 0x0600
#endif

#include <windows.h>

// The ANSI functions are always called by their ...A names. These macros would rename
// members and functions of the same name, which must keep one name in every file: the
// canvas's TextOut, the runtime's GetClassInfo (reflection), GetObject (string lists) and
// DeleteFile (which takes a std::string).
#undef TextOut
#undef GetClassInfo
#undef GetObject
#undef DeleteFile
