#pragma once
// What the kit's one-line edits with a button inside share. Their windows are multi-line
// EDIT windows, so that the text can be kept clear of the button; such a window takes Enter
// and Escape for itself, and would take a pasted line break as a hidden second line of a
// one-line value: only the first line of the clipboard's text is pasted.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <string>

#include "platform/wcl/win/std_controls.h"

// The window styles of such an edit with its text aligned, left to right or right to left.
DWORD OneLineEditStyle(TAlignment alignment, bool rightToLeft = false);
// Hands a typed Enter or Escape to the form of edit, for its default and cancel buttons.
void ForwardDialogChar(TWinControl* edit, char key);

// The clipboard's text up to its first line break; false when the clipboard holds no text
// or cannot be opened.
bool ClipboardFirstLine(HWND owner, std::string& text);
// The text up to its first CR or LF.
std::string FirstLineOf(const std::string& text);
// Replaces the selection of an EDIT window with text, as the user's own change (undoable).
void ReplaceEditSelection(HWND edit, const std::string& text);
