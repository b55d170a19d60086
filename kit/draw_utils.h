#pragma once
// The arithmetic of the kit's shared drawing routines, free of any device context: integer
// minimum and maximum, the bands of a gradient fill, cutting a text to a width, where a cell
// text goes and with which text-drawing flags, and splitting a command line into tokens.
// The drawing itself is in kit/win/draw_utils_win.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline int IntMax(int A, int B) { return A > B ? A : B; }
inline int IntMin(int A, int B) { return A < B ? A : B; }

// ---- Colours -----------------------------------------------------------------------------

// Flag that makes a plain colour palette-relative (the nearest colour of the DC's palette).
constexpr int32_t kPaletteRelativeFlag = 0x02000000;

// number * numerator / denominator with a 64-bit product, rounded half away from zero, as
// the system's MulDiv computes it; -1 when denominator is 0 or the result does not fit.
int MulDivRound(int number, int numerator, int denominator);

// ---- Gradient fill -----------------------------------------------------------------------

// Directions of a gradient: the start colour at the top, bottom, left or right.
constexpr int gdTopToBottom = 0;
constexpr int gdBottomToTop = 1;
constexpr int gdLeftToRight = 2;
constexpr int gdRightToLeft = 3;

// One band of a gradient: a rectangle filled with one colour. Color is a plain 0x00BBGGRR
// value, or the palette-relative end colour for the rest below (or right of) the bands.
struct TGradientBand {
  int Left;
  int Top;
  int Right;
  int Bottom;
  int32_t Color;
};

// The bands that fill the rectangle (left, top, right, bottom) from startRgb to endRgb in
// direction (0..3) with colors steps (0..255): as many bands as steps but no more than the
// rectangle has rows (or columns), each of extent / bands rows, channel values spread evenly
// between the two colours; the rows left over at the far end take the far colour. An empty
// rectangle or an unknown direction gives no bands.
std::vector<TGradientBand> GradientBands(int left, int top, int right, int bottom, int32_t startRgb,
                                         int32_t endRgb, int direction, int colors);

// ---- Texts -------------------------------------------------------------------------------

// The text cut to maxWidth as textWidth measures it: the whole text when it fits, else the
// longest of its beginnings (shorter by 2, 3, 4... characters) that fits followed by "...",
// at worst "..." alone (which may still be too wide).
std::string ShortenTextToWidth(const std::string& text, const std::function<int(const std::string&)>& textWidth,
                               int maxWidth);

// Alignment codes of cell texts: taLeftJustify 0, taRightJustify 1, taCenter 2.
constexpr int kAlignLeft = 0;
constexpr int kAlignRight = 1;
constexpr int kAlignCenter = 2;

// Left and right alignment exchanged (for a right-to-left canvas); centre stays.
int MirroredAlignment(int alignment);

// X of a single-line cell text drawn straight onto the cell (left, right): left aligned at
// left + dx, right aligned ending 3 pixels before right, centred on the middle.
int CellTextX(int left, int right, int dx, int textWidth, int alignment);

// The text-drawing flags (DrawText) of a cell text: tabs expanded and no prefix character,
// the alignment's flag, word break and right-to-left reading when asked.
unsigned CellTextFlags(int alignment, bool wordWrap, bool rightToLeft);

// Vertical offset of a cell text of textHeight in a cell of cellHeight by the vertical
// code: 0 top (2), 1 centre (never above 1), 2 bottom (never above 2).
int CellTextOffsetY(int vertical, int cellHeight, int textHeight);

// ---- Command line ------------------------------------------------------------------------

// Reads one token from the zero-terminated text at P and returns the position after it.
// Blanks and control characters before a token are skipped, and so are pairs of double
// quotes standing there; a double quote opens a part taken whole (blanks included) up to
// the closing quote, which is dropped, or the end. Token is empty at the end of the text.
const char* GetParamToken(const char* P, std::string& Token);
// Number of tokens before the first empty one.
int CountParamTokens(const char* P);
// The token numbered N (from 0); empty when there are fewer tokens.
void GetParamTokenN(const char* P, int N, std::string& Token);
// FileName := the first token; Params := the other tokens, separated by one blank, each
// in double quotes again when it holds a blank or control character.
void SplitCommandLine(const std::string& CmdLine, std::string& FileName, std::string& Params);
// A zero-terminated copy of S.
std::unique_ptr<char[]> StrNewCopy(const std::string& S);
