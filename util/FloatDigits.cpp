// FloatDigits: the long way to a number's digits, through std::to_chars.
#include "FloatDigits.h"

namespace {

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

}  // namespace

void FloatDigitSteps::LongDecimal(double magnitude, TFloatDigits& d) {
    ScientificDigits(magnitude, d);
    RoundToTextDigits(d);
}
