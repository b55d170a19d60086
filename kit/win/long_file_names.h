#pragma once
// The names the file system reports for a path's last component.

#include <string>

// The long name of the first entry matching path (its short name when the long one is
// empty); empty when nothing matches. Only the final component, without directory.
std::string LongFileNameOf(const std::string& path);
// The same with the short (8.3) name first and the long name as fallback.
std::string ShortFileNameOf(const std::string& path);
