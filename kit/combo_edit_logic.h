#pragma once
// The arithmetic of the combo edit (a one-line edit with a button inside its right edge that
// may drop a window down under it), apart from any window: where the drop-down goes on the
// screen, where the button sits, the button's width for each kind of glyph, the ellipsis
// glyph, the shortcut that presses the button, and the value a drop-down hands over.

#include <string>
#include <variant>

#include "platform/rtl/date_time.h"

// How the drop-down lines up with the edit: right edges (falling back to left edges when
// there is no room) or left edges.
enum TPopupAlign { epaRight, epaLeft };
// The picture on the button: one set by the program, the edit class's own, the combo box
// arrow, or three dots.
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// The value a drop-down window holds: none (null), a text, or a date.
using TPopupValue = std::variant<std::monostate, std::string, TDateTime>;
bool PopupValueIsNull(const TPopupValue& value);
// The value as text: empty for none, the short date for a date.
std::string PopupValueText(const TPopupValue& value);

struct TComboRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// The drop-down's top-left corner for an edit at editRect (screen) in the work area of its
// monitor. Below the edit, or above it when there is no room below (never above the work
// area); right edges aligned for epaRight unless that pushes it off the left, left edges for
// epaLeft unless that pushes it off the right; always kept inside the work area's sides.
struct TPopupPlace {
  int X = 0;
  int Y = 0;
};
TPopupPlace PopupPlace(const TComboRect& editRect, int popupWidth, int popupHeight, const TComboRect& workArea,
                       TPopupAlign align);

// The rectangle of the button's host window in an edit of width x height (client
// coordinates). sunkenBorder: the edit has the single 3-D border.
TComboRect ComboButtonPlace(int width, int height, int buttonWidth, bool sunkenBorder);
// The right edge of the text beside the button host.
int ComboTextRight(int clientWidth, int hostWidth);
// The least height: the smaller of the system font's and the edit font's character heights,
// plus the borders.
int ComboMinHeight(int systemFontHeight, int fontHeight, int borderHeight);

// The standard button width.
constexpr int kComboButtonWidth = 21;
// The width a glyph kind gives the button: the default glyph's cell plus a margin (never
// below the current width), or the scroll bar's width for the drop-down arrow. Other kinds
// keep the current width.
int ComboButtonWidthFor(TGlyphKind kind, int glyphWidth, int numGlyphs, int currentWidth, int scrollBarWidth);

// The three dots of the ellipsis glyph in a bitmap of the given width: the left edge of the
// first dot and the gap between dots (each dot is 2 x 2 pixels at y 1).
struct TEllipsisDots {
  int BitmapWidth = 1;
  int FirstX = 0;
  int Gap = 1;
};
TEllipsisDots ComboEllipsisDots(int buttonWidth);

// A shortcut is a key code in the low byte and these flags above it.
constexpr unsigned short scShift = 0x2000;
constexpr unsigned short scCtrl = 0x4000;
constexpr unsigned short scAlt = 0x8000;
// Alt+Down, the usual key of a drop-down.
constexpr unsigned short kComboClickKey = scAlt | 0x28;
// The shortcut of a key with the shift state (shift, ctrl, alt).
unsigned short ComboShortCut(unsigned short key, bool shift, bool ctrl, bool alt);
