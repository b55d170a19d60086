#include "kit/spin_edit_logic.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/rtl/sysutils.h"

namespace {

// The whole numbers a text can hold: what is written must read back the same.
constexpr double kLargestWhole = 9.2e18;

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double SpinClampValue(const TSpinRange& range, double value) {
  if (range.MinValue == range.MaxValue) return value;
  if (value < range.MinValue) return range.MinValue;
  if (value > range.MaxValue) return range.MaxValue;
  return value;
}

bool SpinParseRaw(const TSpinRange& range, const std::string& text, double& value) {
  if (range.ValueType == vtFloat) return TryStrToFloat(text, value, range.DecimalSeparator);
  int64_t whole = 0;
  if (!TryStrToInt64(text, whole)) return false;
  value = static_cast<double>(whole);
  return true;
}

double SpinReadValue(const TSpinRange& range, const std::string& text) {
  double value = 0;
  if (!SpinParseRaw(range, text, value))
    value = range.ValueType == vtFloat ? range.MinValue : std::trunc(range.MinValue);
  // The value is always within the bounds, also while the user has typed past them and not
  // yet left the edit: readers divide by it and count with it.
  return SpinClampValue(range, value);
}

std::string SpinFormatValue(const TSpinRange& range, double value) {
  value = SpinClampValue(range, value);
  if (!std::isfinite(value)) value = 0;
  if (range.ValueType == vtInteger) {
    // nearbyint rounds halves to the even neighbour (the default rounding mode).
    const double whole = std::nearbyint(std::fmax(-kLargestWhole, std::fmin(kLargestWhole, value)));
    return IntToStr(static_cast<int64_t>(whole));
  }
  // Fixed-point with up to 15 significant digits; larger numbers in the general form.
  if (std::fabs(value) >= 1e15) return FloatToStr(value, range.DecimalSeparator);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", range.Decimal, value);
  std::string text(buffer);
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);  // never "-0.00"
  for (char& c : text)
    if (c == '.') c = range.DecimalSeparator;
  return text;
}

bool SpinExitNeedsRewrite(const TSpinRange& range, const std::string& text) {
  double raw = 0;
  if (!SpinParseRaw(range, text, raw))
    raw = range.ValueType == vtFloat ? range.MinValue : std::trunc(range.MinValue);
  return SpinClampValue(range, raw) != raw;
}

double SpinIntegerIncrement(double increment) {
  const double whole = std::nearbyint(increment);
  return whole == 0 ? 1 : whole;
}

bool SpinIsValidChar(const TSpinRange& range, bool editorEnabled, char key) {
  const unsigned char code = static_cast<unsigned char>(key);
  if (!editorEnabled) return code < 32 && code != 8;
  if (code < 32) return true;
  if (key == '+' || key == '-' || IsDigitChar(key)) return true;
  return range.ValueType == vtFloat && key == range.DecimalSeparator;
}

bool SpinIsValidText(const TSpinRange& range, const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 32 || !SpinIsValidChar(range, true, c)) return false;
  return true;
}

TSpinHalf SpinHalfAt(int x, int y, int width, int height) {
  if (width <= 0) return shTop;
  const double limit = height - (static_cast<double>(height) / width) * x;
  return y <= limit ? shTop : shBottom;
}

TSpinRect SpinButtonPlace(int editWidth, int editHeight, bool sunkenBorder, bool rightToLeft) {
  const int h = editHeight;
  if (sunkenBorder) return {rightToLeft ? -1 : editWidth - h - 1, -1, h - 3, h - 3};
  return {rightToLeft ? 0 : editWidth - h, 0, h, h};
}

TSpinRect SpinTextArea(int clientWidth, int clientHeight, int buttonWidth, bool rightToLeft) {
  if (rightToLeft) return {buttonWidth + 1, 0, clientWidth - 1 - (buttonWidth + 1), clientHeight + 1};
  return {0, 0, clientWidth - buttonWidth - 2, clientHeight + 1};
}

int SpinMinHeight(int fontHeight, int borderHeight) { return fontHeight + 4 * borderHeight + 1; }
