#pragma once
// The tracker's own small pictures, kept as bitmap resources of the program: the
// localization library's mark, the turning globe of the language-support box, the list
// picker's delete glyph, the main window's tray clock, menu images, user picture and button
// glyphs. Each has its key colour (fuchsia) in the bottom-left corner.

class TBitmap;

constexpr const char* kPictureLingroveLogo = "LINGROVE_LOGO";  // 24 x 24
constexpr const char* kPictureLingroveAnim = "LINGROVE_ANIM";  // 16 cells of 16 x 16
constexpr const char* kPicturePickerDelete = "PICKER_DELETE";  // 7 x 7
// Nine cells of 16 x 16: the still tray icon, then the eight frames of its animation.
constexpr const char* kPictureTrayClock = "TRAY_CLOCK";
// Ten cells of 16 x 16, the tray menu's images in the order of TMainMenuImage.
constexpr const char* kPictureMainMenu = "MAIN_MENU";
constexpr const char* kPictureUserPick = "USER_PICK";  // 16 x 16
// Button glyphs: the white header glyphs (7 x 7, the close cross 8 x 8), one cell each, and
// the coloured ones, whose square cell is followed by its greyed cell for a disabled button.
constexpr const char* kGlyphService = "GLYPH_SERVICE";
constexpr const char* kGlyphHide = "GLYPH_HIDE";
constexpr const char* kGlyphClose = "GLYPH_CLOSE";
constexpr const char* kGlyphStatistic = "GLYPH_STATISTIC";  // 12 x 12
constexpr const char* kGlyphOptions = "GLYPH_OPTIONS";      // 12 x 12
constexpr const char* kGlyphStart = "GLYPH_START";          // 10 x 10
constexpr const char* kGlyphStop = "GLYPH_STOP";            // 10 x 10
constexpr const char* kGlyphAlarm = "GLYPH_ALARM";          // 12 x 12
constexpr const char* kGlyphCountDown = "GLYPH_COUNTDOWN";  // 12 x 12
constexpr const char* kGlyphComment = "GLYPH_COMMENT";      // 12 x 12

// The cells of kPictureMainMenu.
enum TMainMenuImage {
  miRestore,
  miHide,
  miStart,
  miStop,
  miStatistic,
  miOptions,
  miClose,
  miCountDownTime,
  miHelp,
  miTracking
};

// Loads the named picture into bitmap; EResNotFound when the program does not hold it.
void LoadAppPicture(TBitmap* bitmap, const char* name);
