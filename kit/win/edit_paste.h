#pragma once
// Pasting into the kit's one-line edits. Their windows are multi-line EDIT windows (so that
// the text can be kept clear of the button inside them), and a multi-line window would take
// a pasted line break as a hidden second line of a one-line value: only the first line of
// the clipboard's text is pasted.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <string>

// The clipboard's text up to its first line break; false when the clipboard holds no text
// or cannot be opened.
bool ClipboardFirstLine(HWND owner, std::string& text);
// The text up to its first CR or LF.
std::string FirstLineOf(const std::string& text);
// Replaces the selection of an EDIT window with text, as the user's own change (undoable).
void ReplaceEditSelection(HWND edit, const std::string& text);
