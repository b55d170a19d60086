#pragma once
// The rules of the persistent flat edit that need no window: where its text is kept, its
// heights, and when its flat frame looks sunken.

#include <string>

// Heights of a new edit: with the flat look, and with the ordinary sunken border.
constexpr int kFlatEditHeight = 19;
constexpr int kPlainEditHeight = 21;
// Width of the flat frame drawn around the client area, on each side.
constexpr int kFlatEditFrame = 3;

// The height of a flat edit whose font has the given character height: the text plus the
// frame and a pixel of room above and below it.
int FlatEditHeightFor(int charHeight);
// The height of an edit with the ordinary border that sizes itself to its font: the text plus
// a 3-D border of 8 pixels in all, or a flat one of 6.
int PlainEditHeightFor(int charHeight, bool ctl3D);

// The registry key (below the current user's root) that keeps the text: iniFile, followed by
// "\" and iniSection when there is a section. Loading and saving both use this one key, so
// a text saved is the text loaded.
std::string CatEditRegistryKey(const std::string& iniFile, const std::string& iniSection);

// Whether the text has somewhere to be kept: a non-empty registry key, or an INI file name.
// Without one the edit neither loads (it shows its default text) nor saves, so nothing is
// ever written at the root of the registry or into a nameless file.
bool CatEditHasStore(bool useRegistry, const std::string& iniFile, const std::string& iniSection);

// The flat frame is sunken while the edit has the focus or the mouse is over it.
inline bool FlatFrameHot(bool focused, bool mouseOver) { return focused || mouseOver; }
