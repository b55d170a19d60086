#pragma once
// The file-name edit's text rules, apart from any window: the name a text stands for, the
// quoting of a chosen name, which names are acceptable, and the buffers of the system's
// file dialog (its filter list and the names it hands back).

#include <string>
#include <vector>

// text itself when a file of that name exists; otherwise the first token of text read as a
// command line (a quoted token may hold blanks and loses its quotes).
std::string ClippedFileName(const std::string& text);
// name in double quotes when it holds a blank and does not begin with a quote.
std::string QuotedFileName(const std::string& name);
// A name the system could give a file: not empty, none of < > " |, and no wildcard or
// control character. Brackets, which file names may hold, pass.
bool AcceptableFileName(const std::string& name);

// "text|pattern|text|pattern" as the dialog takes it: NUL after each part and one more at
// the end.
std::string DialogFilterBuffer(const std::string& filter);
// The names a dialog returned in buffer: one full name ("path\0\0"), or, for several, the
// folder followed by the names in it ("dir\0a\0b\0\0"), each joined to the folder. Reads
// no further than size bytes.
std::vector<std::string> DialogResultNames(const char* buffer, size_t size);
