#pragma once
// The tracker's version and the caption made of it: the main window's title, the tray hint,
// the message boxes' title, the reports' about line, and the version whose quick demo has
// been shown (kept in the registry).

inline constexpr const char* HourlarkVersion = "2.02";
inline constexpr const char* HourlarkCaption = "Hourlark 2.02";
