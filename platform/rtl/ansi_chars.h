#pragma once
// Characters of the ANSI code page. On a double-byte system (the far-east code pages) a
// character is one byte or a lead byte followed by a trail byte, and the trail byte can have
// the value of '\', '|', '[' or a letter. Whatever cuts, searches or folds an ANSI text goes
// through these helpers, so that a lead byte and its trail byte are never separated and a
// trail byte is never taken for a character of its own.
//
// The code page's lead bytes are process state: on Windows they are read from the system at
// first use; elsewhere there are none, and tests set the table of the code page they play.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One flag per byte value: true for the lead bytes of double-byte characters.
using TAnsiLeadBytes = std::array<bool, 256>;

// The table of the given ranges of lead bytes (first and last, both included), as the
// system describes its code page.
TAnsiLeadBytes AnsiLeadByteRanges(const std::vector<std::pair<unsigned char, unsigned char>>& ranges);
// The system's table (GetCPInfo on Windows; no lead bytes elsewhere).
TAnsiLeadBytes SystemAnsiLeadBytes();
// The table in use, and its replacement (tests play another code page with it).
const TAnsiLeadBytes& AnsiLeadBytes();
void SetAnsiLeadBytes(const TAnsiLeadBytes& table);

// The table has lead bytes: a double-byte code page.
bool AnsiHasLeadBytes();
bool IsAnsiLeadByte(char c);
// The length in bytes (1 or 2) of the character at `i`: two only for a lead byte that has its
// trail byte.
size_t AnsiCharLength(std::string_view text, size_t i);
// Byte `i` is the trail byte of a double-byte character.
bool IsAnsiTrailByte(std::string_view text, size_t i);
// The number of characters.
size_t AnsiCharCount(std::string_view text);

// At most maxBytes bytes of text, ending on a character boundary.
std::string AnsiLeftBytes(std::string_view text, size_t maxBytes);
// The text without its last `count` characters (empty when it has no more).
std::string AnsiDropLastChars(std::string_view text, size_t count);

// Searches that only find whole characters: the position of the first (from `from`, which
// must start a character) or last single-byte character among `chars`, or of the first
// occurrence of `sub` that starts on a character boundary; npos when there is none.
size_t AnsiFind(std::string_view text, char c, size_t from = 0);
size_t AnsiFindFirstOf(std::string_view text, std::string_view chars, size_t from = 0);
size_t AnsiFindLastOf(std::string_view text, std::string_view chars);
size_t AnsiFindText(std::string_view text, std::string_view sub, size_t from = 0);
// The last character of text is the single byte c.
bool AnsiEndsWith(std::string_view text, char c);
