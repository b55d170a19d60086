#pragma once
// The tracker's own small pictures, kept as bitmap resources of the program: the
// localization library's mark, the turning globe of the language-support box and the list
// picker's delete glyph. Each has its key colour (fuchsia) in the bottom-left corner.

class TBitmap;

constexpr const char* kPictureLingroveLogo = "LINGROVE_LOGO";  // 24 x 24
constexpr const char* kPictureLingroveAnim = "LINGROVE_ANIM";  // 16 cells of 16 x 16
constexpr const char* kPicturePickerDelete = "PICKER_DELETE";  // 7 x 7

// Loads the named picture into bitmap; EResNotFound when the program does not hold it.
void LoadAppPicture(TBitmap* bitmap, const char* name);
