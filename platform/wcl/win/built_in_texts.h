#pragma once
// The texts built into the kit and the demo are Russian and kept as code page 1251 bytes,
// while every other text of the program is in the system's ANSI code page. A built-in text
// is registered once by the module that owns it; wherever the library hands a text to the
// system (message boxes, hints, top-level captions, the file dialogs) it goes through the
// wide-character calls, converted from 1251 when it is a built-in text and from the ANSI
// code page otherwise, so the built-in texts read right whatever the system's code page is.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <initializer_list>
#include <string>

// Makes text a built-in text. Texts holding "|" (hints) count in each of their parts too;
// a text holding "%" (a format) counts for every text that starts with what precedes it.
void RegisterBuiltInText(const std::string& text);
bool IsBuiltInText(const std::string& text);

// Registers the texts of a module when the program starts, as a namespace-scope object.
struct TBuiltInTexts {
  TBuiltInTexts(std::initializer_list<const char*> texts) {
    for (const char* text : texts) RegisterBuiltInText(text);
  }
};

// text in the given code page as UTF-16 (embedded NULs kept), and back.
std::wstring WideFromCodePage(const std::string& text, UINT codePage);
std::string WideToCodePage(const std::wstring& text, UINT codePage);
// The code page text is shown from: 1251 for a built-in text, the language file's for a text
// of the current language (platform/rtl/language_texts.h), else the ANSI code page (CP_ACP,
// also when the text's own is the system's).
UINT ShownCodePage(const std::string& text);
// The text reads wrong through the ANSI calls: it must go to windows in UTF-16.
inline bool HasOwnCodePage(const std::string& text) { return ShownCodePage(text) != CP_ACP; }
// text as the system shows it, from ShownCodePage.
std::wstring ShownText(const std::string& text);
// A top-level window's caption shown from ShownText, so that a built-in or language caption
// reads right in the title bar and through GetWindowTextW. The first such caption makes the
// window answer its text messages in UTF-16 from then on.
void ShowCaption(HWND window, const std::string& text);
