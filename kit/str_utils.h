#pragma once
// Word and replacement helpers on 8-bit text, shared by the kit's components (the property
// storage reads sets and the form placement reads positions as words). A character set is
// given as the text of its characters: " ,[]" is the set of blank, comma and both brackets.

#include <string>

// True when every character of text is in charSet; true for the empty text.
bool IsAllInCharSet(const std::string& text, const std::string& charSet);

// text with every occurrence of search replaced, left to right, case-sensitive, without
// overlaps: the search resumes right after each occurrence, so a replacement is never
// searched again. An empty search text changes nothing.
std::string ReplaceAllText(const std::string& text, const std::string& search,
                           const std::string& replacement);

// ch count times; empty for a count below 1.
std::string RepeatChar(char ch, int count);

// Words are the maximal runs of characters outside the delimiter set.
int CountWords(const std::string& text, const std::string& delimiters);
// 1-based position of the first character of word n (counted from 1); 0 when the text has
// fewer words or n is below 1.
int FindWordStart(int n, const std::string& text, const std::string& delimiters);
// Word n (from 1), empty when there is none.
std::string GetWord(int n, const std::string& text, const std::string& delimiters);
