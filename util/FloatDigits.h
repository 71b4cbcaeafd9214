// FloatDigits: the decimal digits of a number as FloatToText writes them, apart from the
// layout of the text (fixed or exponent form, sign, decimal separator), which MyFunc.cpp does.
#pragma once

#include <array>

// Significant digits that FloatToText writes, and the digits converted before the cut.
constexpr int kFloatTextDigits = 15;
constexpr int kFloatRawDigits = 18;

// The digits d1 d2 ... of a number and its exponent E in the form 0.d1d2... x 10^E.
struct TFloatDigits {
    std::array<char, kFloatRawDigits> digits{};  // '0' to '9'; the first count are used
    int count = 0;
    int exponent = 0;
};

// The digits of magnitude, a finite Double above zero, cut to at most 15 significant digits
// with no trailing zero: a value that is a decimal of at most 15 digits gives exactly those;
// any other is converted to 18 correctly rounded digits, of which the 16th rounds the 15th
// half away from zero, carrying through the 9s.
TFloatDigits FloatDigits(double magnitude);
