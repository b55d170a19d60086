#pragma once
// Takes the caption bar off a form's window, keeping a thin frame, and makes the window
// lower by the caption's height so the client area keeps its size.

class TCustomForm;

// Nothing for a form without a border, a window without a caption bar, or a tool window
// (whose small caption stays).
void StripTitleBar(TCustomForm* form);
