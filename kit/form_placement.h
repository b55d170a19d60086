#pragma once
// The stored layout of a form's window placement, and the decisions taken when it is read
// back. All values of one form lie in one section of an INI or registry store (see
// ini_access.h); every value is text:
//   Flags, ShowCmd        the window placement's flags and show command (decimal)
//   PixelsPerInch         the screen's pixels per inch at save time
//   MinMaxPos<suffix>, MinMaxPos
//                         "x,y,x,y": minimized and maximized positions
//   NormPos<suffix>, NormPos
//                         "left,top,right,bottom": the normal (restored) rectangle
//   ActiveControl         the active control's name (only when asked for)
//   Visible               "1" when saved while the form was being destroyed, else "0"
// The suffix is the screen size, "(1024x768)", so one position is kept per resolution and
// the plain value serves resolutions that have none of their own.

#include <string>

class TObject;

struct TPlacementPoint {
  int X = 0;
  int Y = 0;
};

struct TPlacementRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// What is stored of a window placement (the system's WINDOWPLACEMENT without its length).
struct TWindowPlacementData {
  unsigned Flags = 0;
  unsigned ShowCmd = 0;
  TPlacementPoint MinPosition;
  TPlacementPoint MaxPosition;
  TPlacementRect NormalPosition;
};

// Writes Flags, ShowCmd, PixelsPerInch, MinMaxPos and NormPos, in this order, the last two
// under the suffixed name first and then under the plain one.
void WritePlacementValues(TObject* store, const std::string& section,
                          const TWindowPlacementData& placement, int pixelsPerInch,
                          const std::string& screenSuffix);

// Writes ActiveControl (when activeControl is not empty) and Visible straight to the store.
void WriteFormStateValues(TObject* store, const std::string& section,
                          const std::string& activeControl, bool destroying);

// The form as the restore of its position sees it.
struct TPlacementForm {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  // The user can size the form (a sizeable border); otherwise it keeps its designed size.
  bool Sizeable = true;
};

// Reads the stored position over placement (which holds the window's current one) and
// answers whether it is to be applied. It is not when neither MinMaxPos nor NormPos is
// stored, when the stored PixelsPerInch is another number (no number counts as the current
// value), or when the rectangle has no width or no height; placement is then left as it
// was. A missing or unreadable NormPos left or top is the form's; a missing or unreadable
// right or bottom is the left or top read plus the form's width or height, so the form
// keeps its size; words after the fourth are not read. Missing or unreadable MinMaxPos
// words are 0. A form that is not sizeable keeps its size.
bool ReadPlacementPosition(TObject* store, const std::string& section,
                           const std::string& screenSuffix, int pixelsPerInch,
                           const TPlacementForm& form, TWindowPlacementData& placement);

enum class TStoredState { Normal, Minimized, Maximized };

// The state a form restores to when no show command says otherwise: maximized for the main
// form (or while there is none yet) when it is an MDI frame or places itself by default.
TStoredState DefaultRestoreState(bool mainFormOrNone, bool mdiFrame, bool defaultPosition);
// The state the stored show command selects: 1, 5, 9 normal; 2, 6, 7 minimized;
// 3 maximized; any other value keeps fallback.
TStoredState StateFromShowCmd(int showCmd, TStoredState fallback);
// The stored show command read with its default, 0.
int ReadStoredShowCmd(TObject* store, const std::string& section);
