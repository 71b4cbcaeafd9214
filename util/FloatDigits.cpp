// FloatDigits: the decimal digits of a number, by a fast way for short decimals and
// std::to_chars (which ignores the locale) for the rest.
#include "FloatDigits.h"

#include <bit>       // for std::bit_cast
#include <charconv>  // for std::to_chars
#include <cmath>     // for std::nearbyint
#include <cstdint>

#include "PowersOfTen.h"

namespace {

// The fast way for values in fixed range that are a decimal of at most 15 digits, such as
// 2.5 or 1234.567: m / 10^k, both exact, rounds to the value itself, so the value lies within
// half a unit of its last bit of that decimal, far less than the half unit of the 15th digit
// that would change the cut. Fills the digits without trailing zeros and returns their
// count, or 0 when the value needs the long way.
int ShortDecimalDigits(double magnitude, TFloatDigits& d) {
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

// The first 18 digits of magnitude, correctly rounded: std::to_chars's scientific form
// ("d.ddde-XX") split into its digits and the exponent.
void ScientificDigits(double magnitude, TFloatDigits& d) {
    char raw[32];
    const auto res = std::to_chars(raw, raw + sizeof raw, magnitude, std::chars_format::scientific,
                                   kFloatRawDigits - 1);
    const char* p = raw;
    int count = 0;
    for (; p != res.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            d.digits[count++] = *p;
        }
    }
    ++p;
    const bool negative = p != res.ptr && *p == '-';
    int exp10 = 0;
    for (++p; p < res.ptr; ++p) {
        exp10 = exp10 * 10 + (*p - '0');
    }
    d.count = count;
    d.exponent = (negative ? -exp10 : exp10) + 1;
}

// Cuts the digits to 15; the 16th decides, carrying through the 9s (999... becomes 1 with the
// exponent one higher).
void RoundToTextDigits(TFloatDigits& d) {
    d.count = kFloatTextDigits;
    if (d.digits[kFloatTextDigits] < '5') {
        return;
    }
    int k = kFloatTextDigits - 1;
    while (k >= 0 && d.digits[k] == '9') {
        d.digits[k] = '0';
        --k;
    }
    if (k >= 0) {
        ++d.digits[k];
    } else {
        d.digits[0] = '1';
        ++d.exponent;
    }
}

void TrimTrailingZeros(TFloatDigits& d) {
    while (d.count > 0 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
}

}  // namespace

TFloatDigits FloatDigits(double magnitude) {
    TFloatDigits d;
    if (magnitude >= kPowerOfTen[0] && magnitude < kPowerOfTen[kPowerCount - 1]) {
        d.count = ShortDecimalDigits(magnitude, d);
    }
    if (d.count == 0 || d.count > kFloatTextDigits) {
        ScientificDigits(magnitude, d);
        RoundToTextDigits(d);
    }
    TrimTrailingZeros(d);
    return d;
}
