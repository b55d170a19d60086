// The spin edit's number rules: reading within the bounds, formatting with even rounding,
// the exit rewrite, typing filters, and the geometry of its button.

#include "kit/spin_edit_logic.h"

#include <gtest/gtest.h>

namespace {

TSpinRange Ints(double minValue = 0, double maxValue = 0) {
  TSpinRange r;
  r.MinValue = minValue;
  r.MaxValue = maxValue;
  return r;
}

TSpinRange Floats(int decimal, char separator = '.', double minValue = 0, double maxValue = 0) {
  TSpinRange r = Ints(minValue, maxValue);
  r.ValueType = vtFloat;
  r.Decimal = decimal;
  r.DecimalSeparator = separator;
  return r;
}

TEST(SpinEditValue, EqualBoundsClampNothing) {
  const TSpinRange r = Ints();
  EXPECT_EQ(SpinReadValue(r, "-5"), -5);
  EXPECT_EQ(SpinFormatValue(r, SpinReadValue(r, "0") - 1), "-1");
  EXPECT_EQ(SpinClampValue(Ints(3, 3), 100), 100);
}

TEST(SpinEditValue, ReadsAreAlwaysWithinTheBounds) {
  // A typed 0 in a 1..600 edit must never reach a reader as 0 (it divides by it).
  const TSpinRange r = Ints(1, 600);
  EXPECT_EQ(SpinReadValue(r, "0"), 1);
  EXPECT_EQ(SpinReadValue(r, "99999"), 600);
  EXPECT_EQ(SpinReadValue(r, "007"), 7);
}

TEST(SpinEditValue, TextThatDoesNotConvertReadsAsMinValue) {
  EXPECT_EQ(SpinReadValue(Ints(-2.7, 10), ""), -2);  // truncated toward zero
  EXPECT_EQ(SpinReadValue(Ints(-2.7, 10), "-"), -2);
  EXPECT_EQ(SpinReadValue(Ints(1, 10), "1-+2"), 1);
  EXPECT_DOUBLE_EQ(SpinReadValue(Floats(2, '.', 0.5, 3), "1-2"), 0.5);
}

TEST(SpinEditValue, WholeNumbersBeyondThirtyTwoBitsReadBackAsWritten) {
  const TSpinRange r = Ints();
  const std::string text = SpinFormatValue(r, SpinReadValue(r, "2147483647") + 1);
  EXPECT_EQ(text, "2147483648");
  EXPECT_EQ(SpinReadValue(r, text), 2147483648.0);
  // Far beyond any whole number: a number all the same, never undefined.
  EXPECT_EQ(SpinFormatValue(r, 1e300).substr(0, 4), "9200");
}

TEST(SpinEditValue, WholeNumbersRoundHalvesToEven) {
  const TSpinRange r = Ints();
  EXPECT_EQ(SpinFormatValue(r, 2.5), "2");
  EXPECT_EQ(SpinFormatValue(r, 3.5), "4");
  EXPECT_EQ(SpinFormatValue(r, -2.5), "-2");
  EXPECT_EQ(SpinFormatValue(Ints(1, 600), 0.2), "1");
}

TEST(SpinEditValue, FixedPointUsesDecimalPlacesAndTheLocaleSeparator) {
  EXPECT_EQ(SpinFormatValue(Floats(2), 2.5), "2.50");
  EXPECT_EQ(SpinFormatValue(Floats(0), 2.75), "3");
  EXPECT_EQ(SpinFormatValue(Floats(3, ','), 1.25), "1,250");
  EXPECT_EQ(SpinFormatValue(Floats(2), -0.001), "0.00");
  double v = 0;
  EXPECT_TRUE(SpinParseRaw(Floats(2, ','), "1,5", v));
  EXPECT_DOUBLE_EQ(v, 1.5);
  EXPECT_FALSE(SpinParseRaw(Floats(2, ','), "1.5", v));
}

TEST(SpinEditValue, LeavingRewritesOnlyNumbersOutsideTheBounds) {
  const TSpinRange r = Ints(1, 600);
  EXPECT_TRUE(SpinExitNeedsRewrite(r, "99999"));
  EXPECT_TRUE(SpinExitNeedsRewrite(r, "0"));
  EXPECT_FALSE(SpinExitNeedsRewrite(r, "007"));
  EXPECT_FALSE(SpinExitNeedsRewrite(r, "abc"));  // reads as MinValue, which is inside
  EXPECT_TRUE(SpinExitNeedsRewrite(Ints(5, 1), "3"));  // bounds the wrong way round
}

TEST(SpinEditValue, WholeNumberIncrementNeverRoundsToZero) {
  EXPECT_EQ(SpinIntegerIncrement(0.4), 1);
  EXPECT_EQ(SpinIntegerIncrement(2.5), 2);
  EXPECT_EQ(SpinIntegerIncrement(-1.6), -2);
}

TEST(SpinEditTyping, AcceptsSignsDigitsAndTheSeparatorOfFloats) {
  const TSpinRange ints = Ints();
  const TSpinRange floats = Floats(2, ',');
  for (char c : std::string("+-0123456789\b\r\x1b\x03")) EXPECT_TRUE(SpinIsValidChar(ints, true, c)) << int(c);
  for (char c : std::string(",.eE a")) EXPECT_FALSE(SpinIsValidChar(ints, true, c)) << c;
  EXPECT_TRUE(SpinIsValidChar(floats, true, ','));
  EXPECT_FALSE(SpinIsValidChar(floats, true, '.'));
}

TEST(SpinEditTyping, EditorOffLetsOnlyControlCharactersOtherThanBackspace) {
  const TSpinRange r = Ints();
  EXPECT_FALSE(SpinIsValidChar(r, false, '5'));
  EXPECT_FALSE(SpinIsValidChar(r, false, '\b'));
  EXPECT_TRUE(SpinIsValidChar(r, false, '\r'));
  EXPECT_TRUE(SpinIsValidChar(r, false, '\x03'));
}

TEST(SpinEditTyping, PastedTextMustBeTypeable) {
  EXPECT_TRUE(SpinIsValidText(Ints(), "-120"));
  EXPECT_FALSE(SpinIsValidText(Ints(), "12\t3"));
  EXPECT_FALSE(SpinIsValidText(Ints(), "1.5"));
  EXPECT_TRUE(SpinIsValidText(Floats(1), "1.5"));
}

TEST(SpinButtonGeometry, HalvesMeetOnTheRisingDiagonal) {
  EXPECT_EQ(SpinHalfAt(0, 0, 20, 20), shTop);
  EXPECT_EQ(SpinHalfAt(0, 20, 20, 20), shTop);   // lower-left corner lies on the diagonal
  EXPECT_EQ(SpinHalfAt(10, 10, 20, 20), shTop);  // on it
  EXPECT_EQ(SpinHalfAt(11, 10, 20, 20), shBottom);
  EXPECT_EQ(SpinHalfAt(19, 19, 20, 20), shBottom);
  // A wide button: the diagonal at x 30 of 40 lies at y 2.5.
  EXPECT_EQ(SpinHalfAt(30, 2, 40, 10), shTop);
  EXPECT_EQ(SpinHalfAt(30, 3, 40, 10), shBottom);
}

TEST(SpinButtonGeometry, ButtonAndTextShareTheEdit) {
  const TSpinRect sunken = SpinButtonPlace(121, 21, true, false);
  EXPECT_EQ(sunken.Left, 99);
  EXPECT_EQ(sunken.Top, -1);
  EXPECT_EQ(sunken.Width, 18);
  EXPECT_EQ(sunken.Height, 18);
  const TSpinRect flat = SpinButtonPlace(121, 21, false, false);
  EXPECT_EQ(flat.Left, 100);
  EXPECT_EQ(flat.Width, 21);
  EXPECT_EQ(SpinButtonPlace(121, 21, true, true).Left, -1);
  const TSpinRect text = SpinTextArea(117, 17, 18, false);
  EXPECT_EQ(text.Width, 97);
  EXPECT_EQ(text.Height, 18);
  const TSpinRect rtl = SpinTextArea(117, 17, 18, true);
  EXPECT_EQ(rtl.Left, 19);
  EXPECT_EQ(rtl.Left + rtl.Width, 116);
  EXPECT_EQ(SpinMinHeight(13, 1), 18);
}

}  // namespace
