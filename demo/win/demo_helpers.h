#pragma once
// Pieces the demo's picture units share: the icon clipboard format and the message for
// things the demo cannot do.

#include "platform/wcl/win/handles.h"

class TIcon;

// The clipboard format under which icons are copied (their .ico file bytes in a movable
// global block); registered at start-up and kept for the life of the program.
UINT IconClipboardFormat();
// Puts icon on the clipboard (opened by the caller) under the icon format.
void SaveIconToClipboard(TIcon* icon);
// Loads icon from the clipboard (opened by the caller) when it holds the icon format; true
// when it did.
bool LoadIconFromClipboard(TIcon* icon);

// Shows "function not implemented" in an information box (through the replaceable message
// box) with the default arrow cursor, then raises EAbort.
[[noreturn]] void ShowNotImplemented();
