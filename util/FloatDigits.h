// FloatDigits: the decimal digits of a number as FloatToText writes them, apart from the
// layout of the text (fixed or exponent form, sign, decimal separator), which MyFunc.cpp does.
// The short way and the composition are inline: the writers format every coordinate through
// them, and a call per number would cost the writer about a twentieth of its time.
#pragma once

#include <array>
#include <bit>       // for std::bit_cast
#include <charconv>  // for std::to_chars, which ignores the locale
#include <cmath>     // for std::nearbyint
#include <cstdint>

#include "PowersOfTen.h"

// Significant digits that FloatToText writes, and the digits converted before the cut.
constexpr int kFloatTextDigits = 15;
constexpr int kFloatRawDigits = 18;

// The digits d1 d2 ... of a number and its exponent E in the form 0.d1d2... x 10^E.
struct TFloatDigits {
    std::array<char, kFloatRawDigits> digits;  // '0' to '9'; the first count are used
    int count = 0;
    int exponent = 0;
};

namespace FloatDigitSteps {

// The short way for values in fixed range that are a decimal of at most 15 digits, such as
// 2.5 or 1234.567: m / 10^k, both exact, rounds to the value itself, so the value lies within
// half a unit of its last bit of that decimal, far less than the half unit of the 15th digit
// that would change the cut. Fills the digits without trailing zeros and returns their
// count, or 0 when the value needs the long way.
inline int ShortDecimal(double magnitude, TFloatDigits& d) {
    // The decimal exponent from the binary one (log10(2) is about 1233 / 4096), then one
    // comparison to correct it: 10^(top - 5) <= magnitude < 10^(top - 4).
    const int binaryExp =
        static_cast<int>((std::bit_cast<uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    int top = ((binaryExp * 1233) >> 12) + 5;
    if (magnitude >= kPowerOfTen[top]) {
        ++top;
    }
    // The 15th digit is worth 10^(top - 19).
    const int k = kFloatTextDigits + 4 - top;
    const double m = std::nearbyint(magnitude * kExactPowerOfTen[k]);
    if (m >= 1e15 || m / kExactPowerOfTen[k] != magnitude) {
        return 0;
    }
    // Trailing zeros are dropped before the digits are written.
    auto whole = static_cast<uint64_t>(m);
    int zeros = 0;
    while (whole % 10000 == 0) {
        whole /= 10000;
        zeros += 4;
    }
    while (whole % 10 == 0) {
        whole /= 10;
        ++zeros;
    }
    char* const first = d.digits.data();
    const auto res = std::to_chars(first, first + kFloatRawDigits, whole);
    const int count = static_cast<int>(res.ptr - first);
    d.exponent = count + zeros - k;
    return count;
}

// The long way: 18 correctly rounded digits, cut to 15 by the 16th, which rounds the 15th
// half away from zero, carrying through the 9s (FloatDigits.cpp).
void LongDecimal(double magnitude, TFloatDigits& d);

inline void TrimTrailingZeros(TFloatDigits& d) {
    int count = d.count;
    while (count > 0 && d.digits[count - 1] == '0') {
        --count;
    }
    d.count = count;
}

}  // namespace FloatDigitSteps

// The digits of magnitude, a finite Double above zero, cut to at most 15 significant digits
// with no trailing zero: a value that is a decimal of at most 15 digits gives exactly those
// (the short way), any other the long way.
inline TFloatDigits FloatDigits(double magnitude) {
    TFloatDigits d;
    if (magnitude >= kPowerOfTen[0] && magnitude < kPowerOfTen[kPowerCount - 1]) {
        d.count = FloatDigitSteps::ShortDecimal(magnitude, d);
    }
    if (d.count == 0 || d.count > kFloatTextDigits) {
        FloatDigitSteps::LongDecimal(magnitude, d);
    }
    FloatDigitSteps::TrimTrailingZeros(d);
    return d;
}
