#pragma once
// The texts of the current language file are bytes in the code page of that file's charset,
// which need not be the system's (a Cyrillic file on a Western system). The language library
// names them here as it opens the file; the window library shows a named text from its own
// code page and every other text from the system's, so a language reads in its own script
// whatever the system's code page. Nothing here changes a text's bytes.

#include <cstdint>
#include <string>

// The code page of a font or language file charset (204 -> 1251, 177 -> 1255, 161 -> 1253,
// ...); 0, the system's ANSI code page, for 0 and 1 and for charsets without one.
unsigned CodePageOfCharset(uint8_t charset);

// Forgets the texts named so far; those named from now on are in codePage (0, the system's
// own, names nothing).
void BeginLanguageTexts(unsigned codePage);
// Names a text of the current language file: the text, each of its lines, the parts of a
// hint ("short|long") and, for a format, what precedes its first '%' as the start of every
// text made from it. A text of plain ASCII reads the same in every code page and is left out.
void AddLanguageText(const std::string& text);
// The code page of text when it is a language text (or starts with a named format's start),
// else 0.
unsigned LanguageTextCodePage(const std::string& text);
