#pragma once
// The arithmetic of the spin edit and its diagonal spin button, apart from any window:
// reading, clamping and formatting the number, which characters may be typed, which half of
// the diagonal button a point lies in, and where the button and the text go in the edit.

#include <string>

// Whole numbers or fixed-point numbers with a set count of decimal places.
enum TValueType { vtInteger, vtFloat };
// The kit's own diagonal button, or the system's up-down control.
enum TSpinButtonKind { bkDiagonal, bkStandard };
// The half of the diagonal button: none, the upper-left one (up) or the lower-right (down).
enum TSpinHalf : unsigned char { shNone = 0, shTop = 1, shBottom = 2 };

// The bounds and format of a spin edit's number.
struct TSpinRange {
  double MinValue = 0;
  double MaxValue = 0;
  TValueType ValueType = vtInteger;
  int Decimal = 2;
  char DecimalSeparator = '.';
};

// Only when the bounds differ: below MinValue gives MinValue, above MaxValue gives
// MaxValue. Equal bounds (both 0 by default) leave any value as it is.
double SpinClampValue(const TSpinRange& range, double value);
// The text as a number, unclamped: a whole number (64 bits) for vtInteger, a number with the
// locale's decimal separator for vtFloat. False when the text does not convert.
bool SpinParseRaw(const TSpinRange& range, const std::string& text, double& value);
// The number a text stands for, within the bounds. A text that does not convert stands for
// MinValue (truncated toward zero for vtInteger).
double SpinReadValue(const TSpinRange& range, const std::string& text);
// The text shown for a value: clamped, then rounded to the nearest whole number (halves to
// the even neighbour) for vtInteger, or fixed-point with Decimal places for vtFloat.
std::string SpinFormatValue(const TSpinRange& range, double value);
// True when leaving the edit must rewrite the text: it converts to a number outside the
// bounds. Texts within the bounds keep their own form (007 stays 007).
bool SpinExitNeedsRewrite(const TSpinRange& range, const std::string& text);
// The step of a whole-number edit: the increment rounded, and 1 when it rounds to 0.
double SpinIntegerIncrement(double increment);

// Whether a typed character may go into the text: signs, digits, the decimal separator for
// vtFloat, and control characters. With the editor off only control characters other than
// backspace pass.
bool SpinIsValidChar(const TSpinRange& range, bool editorEnabled, char key);
// Whether a text (a paste) holds only characters that may be typed.
bool SpinIsValidText(const TSpinRange& range, const std::string& text);

// The half of a width x height diagonal button a point lies in: on or above the diagonal
// from the lower-left to the upper-right corner is the top half.
TSpinHalf SpinHalfAt(int x, int y, int width, int height);

struct TSpinRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// Where the diagonal button's window sits in an edit of the given size: inside the sunken
// border of a 3-D single-border edit, over the whole right (left, right-to-left) end of any
// other. rightToLeft puts it at the left.
TSpinRect SpinButtonPlace(int editWidth, int editHeight, bool sunkenBorder, bool rightToLeft);
// The formatting rectangle of the edit's text beside a button of buttonWidth.
TSpinRect SpinTextArea(int clientWidth, int clientHeight, int buttonWidth, bool rightToLeft);
// The least height of the edit for a font of fontHeight pixels.
int SpinMinHeight(int fontHeight, int borderHeight);

// The held diagonal button steps at the press, again after the first pause, then at every
// repeat interval.
constexpr unsigned kSpinFirstRepeatMs = 400;
constexpr unsigned kSpinRepeatMs = 100;
