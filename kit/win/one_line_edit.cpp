#include "kit/win/one_line_edit.h"

#include "platform/wcl/win/form.h"
#include "platform/wcl/win/mask_edit.h"


std::string FirstLineOf(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

bool ClipboardFirstLine(HWND owner, std::string& text) {
  if (!ClipboardText(owner, text)) return false;
  text = FirstLineOf(text);
  return true;
}

void ReplaceEditSelection(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

DWORD OneLineEditStyle(TAlignment alignment, bool rightToLeft) {
  // Right to left, the left-justified text starts at the right edge and the other way round.
  static const DWORD kAlignStyle[2][3] = {{ES_LEFT, ES_RIGHT, ES_CENTER}, {ES_RIGHT, ES_LEFT, ES_CENTER}};
  return ES_MULTILINE | WS_CLIPCHILDREN | kAlignStyle[rightToLeft ? 1 : 0][alignment];
}

void ForwardDialogChar(TWinControl* edit, char key) {
  if (TCustomForm* form = GetParentForm(edit)) form->DialogKey(key == '\r' ? VK_RETURN : VK_ESCAPE, 0);
}
