#pragma once
// File-name checks of the kit (the file-name edit validates what the user types with them).

#include <string>

// True when the path's attributes can be read and mark a directory.
bool DirectoryPresent(const std::string& path);

// True when text holds any of the characters listed in chars.
bool ContainsAnyChar(const std::string& text, const std::string& chars);

// True when name is non-empty and holds none of < > " [ ] |. A backslash is allowed, so
// whole paths pass.
bool IsValidFileName(const std::string& name);
