#pragma once
// The quick demo's own pictures, kept as resources of the program: button glyphs, the side
// strip, glyph strips for the small animations, sketches of the tracker's windows, the
// localization library's mark and the animated alarm clock. Bitmaps have their key colour
// (fuchsia) in the bottom-left corner; the sketches are opaque.

class TBitmap;
class TGIFImage;

constexpr const char* kDemoPrev = "DEMO_PREV";            // 16 x 16
constexpr const char* kDemoNext = "DEMO_NEXT";            // 16 x 16
constexpr const char* kDemoClose = "DEMO_CLOSE";          // 16 x 16
constexpr const char* kDemoSide = "DEMO_SIDE";            // 35 x 194
constexpr const char* kDemoTrayIcon = "DEMO_TRAYICON";    // 15 x 15
constexpr const char* kDemoTrayAnim = "DEMO_TRAYANIM";    // 8 cells of 15 x 15
constexpr const char* kDemoHourglass = "DEMO_HOURGLASS";  // 3 cells of 32 x 32
constexpr const char* kDemoSpinner = "DEMO_SPINNER";      // 16 cells of 16 x 16
constexpr const char* kDemoLogo = "DEMO_LOGO";            // 24 x 24
constexpr const char* kDemoScrStart = "DEMO_SCR_START";
constexpr const char* kDemoScrMenu = "DEMO_SCR_MENU";
constexpr const char* kDemoScrTasks = "DEMO_SCR_TASKS";
constexpr const char* kDemoScrTable = "DEMO_SCR_TABLE";
constexpr const char* kDemoScrChart = "DEMO_SCR_CHART";
constexpr const char* kDemoScrDetail = "DEMO_SCR_DETAIL";
constexpr const char* kDemoScrAlarm = "DEMO_SCR_ALARM";

// Loads the named picture into bitmap; EResNotFound when the program does not hold it.
void LoadDemoPicture(TBitmap* bitmap, const char* name);
// Reads the alarm clock animation (132 x 78) into image from its stored form.
void LoadDemoAnimation(TGIFImage* image);
