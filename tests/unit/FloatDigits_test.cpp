// FloatToText against the number writer as it was before its digits were generated apart from
// their layout: the reference below is that writer's body, kept unchanged, and both must give
// the same text for every Double of a large deterministic sample. Also the digits step alone.
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/FloatDigits.h"
#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/Utf8.h"

namespace {

// ---- The reference: the former AppendFloatText with its helpers, unchanged. ----
// Significant digits that FloatToText writes, and the digits it converts before cutting.
constexpr int kOutDigits = 15;
constexpr int kRawDigits = 18;
// Fixed notation covers 0.0001 up to just below 10^15 (E as in 0.d1d2... x 10^E).
constexpr int kMinFixedExp = -3;
constexpr int kMaxFixedExp = 15;

// Powers of ten from 10^-4 to 10^15, the range of fixed notation, and from 10^0 to 10^22, the
// ones a Double holds exactly.
constexpr int kPowerCount = 20;
constexpr double kPowerOfTen[kPowerCount] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1, 1e2,
                                             1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr double kExactPowerOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The fast way for values in fixed range that are a decimal of at most 15 digits, such as
// 2.5 or 1234.567: m / 10^k, both exact, rounds to the value itself, so the value lies within
// half a unit of its last bit of that decimal, far less than the half unit of the 15th digit
// that would change the cut. Returns the digit count, or 0 when the value needs the long way.
int ShortDecimalDigits(double magnitude, char* digits, int& e) {
    // The decimal exponent from the binary one (log10(2) is about 1233 / 4096), then one
    // comparison to correct it: 10^(top - 5) <= magnitude < 10^(top - 4).
    const int binaryExp =
        static_cast<int>((std::bit_cast<uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    int top = ((binaryExp * 1233) >> 12) + 5;
    if (magnitude >= kPowerOfTen[top]) {
        ++top;
    }
    // The 15th digit is worth 10^(top - 19).
    const int k = kOutDigits + 4 - top;
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
    const auto res = std::to_chars(digits, digits + kRawDigits, whole);
    const int count = static_cast<int>(res.ptr - digits);
    e = count + zeros - k;
    return count;
}

// Splits std::to_chars scientific output ("d.ddde-XX") into its digits and the exponent E of
// the form 0.d1d2... x 10^E; returns the number of digits.
int SplitScientific(const char* first, const char* last, char* digits, int& e) {
    int count = 0;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p) {
        if (*p != '.') {
            digits[count++] = *p;
        }
    }
    ++p;
    const bool negative = p != last && *p == '-';
    int exp10 = 0;
    for (++p; p < last; ++p) {
        exp10 = exp10 * 10 + (*p - '0');
    }
    e = (negative ? -exp10 : exp10) + 1;
    return count;
}

// The former body, cut in two at the seam between digits and layout; its lines unchanged.
int ReferenceDigits(double magnitude, std::array<char, kRawDigits>& digits, int& e) {
    char raw[32];
    int count = 0;
    if (magnitude >= kPowerOfTen[0] && magnitude < kPowerOfTen[kPowerCount - 1]) {
        count = ShortDecimalDigits(magnitude, digits.data(), e);
    }
    if (count == 0 || count > kOutDigits) {
        const auto res = std::to_chars(raw, raw + sizeof raw, magnitude,
                                       std::chars_format::scientific, kRawDigits - 1);
        SplitScientific(raw, res.ptr, digits.data(), e);
        // Cut to 15 digits; the 16th decides, carrying through the 9s.
        count = kOutDigits;
        if (digits[kOutDigits] >= '5') {
            int k = kOutDigits - 1;
            while (k >= 0 && digits[k] == '9') {
                digits[k] = '0';
                --k;
            }
            if (k >= 0) {
                ++digits[k];
            } else {
                digits[0] = '1';
                ++e;
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0') {
        --count;
    }
    return count;
}

void ReferenceAppendFloatText(std::u16string& out, double value) {
    if (std::isnan(value)) {
        out += u"NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? u"-INF" : u"INF";
        return;
    }
    if (value == 0.0) {
        out += u'0';
        return;
    }

    const double magnitude = std::fabs(value);
    std::array<char, kRawDigits> digits{};
    int e = 0;
    const int count = ReferenceDigits(magnitude, digits, e);
    if (count == 0) {
        out += u'0';
        return;
    }

    const char16_t sep = Platform::DecimalSeparator();
    char16_t buf[48];
    char16_t* q = buf;
    if (value < 0) {
        *q++ = u'-';
    }
    if (e >= kMinFixedExp && e <= kMaxFixedExp) {
        if (e >= 1) {
            for (int k = 0; k < e; ++k) {
                *q++ = k < count ? static_cast<char16_t>(digits[k]) : u'0';
            }
            if (count > e) {
                *q++ = sep;
                for (int k = e; k < count; ++k) {
                    *q++ = static_cast<char16_t>(digits[k]);
                }
            }
        } else {
            *q++ = u'0';
            *q++ = sep;
            for (int k = 0; k < -e; ++k) {
                *q++ = u'0';
            }
            for (int k = 0; k < count; ++k) {
                *q++ = static_cast<char16_t>(digits[k]);
            }
        }
    } else {
        *q++ = static_cast<char16_t>(digits[0]);
        if (count > 1) {
            *q++ = sep;
            for (int k = 1; k < count; ++k) {
                *q++ = static_cast<char16_t>(digits[k]);
            }
        }
        *q++ = u'E';
        int shown = e - 1;
        if (shown < 0) {
            *q++ = u'-';
            shown = -shown;
        }
        char expBuf[8];
        const auto er = std::to_chars(expBuf, expBuf + sizeof expBuf, shown);
        for (const char* c = expBuf; c != er.ptr; ++c) {
            *q++ = static_cast<char16_t>(*c);
        }
    }
    out.append(buf, static_cast<size_t>(q - buf));
}

// ---- The sample. ----

void AddWithNeighbours(std::vector<double>& values, double v) {
    values.push_back(v);
    values.push_back(std::nextafter(v, 0.0));
    values.push_back(std::nextafter(v, std::numeric_limits<double>::infinity()));
    values.push_back(-v);
}

std::vector<double> SampleDoubles() {
    std::vector<double> values;
    std::mt19937_64 rng(25407);
    // Any bit pattern: subnormals, NaNs, infinities and every exponent.
    for (int k = 0; k < 600000; ++k) {
        values.push_back(std::bit_cast<double>(rng()));
    }
    // Decimals of 1 to 17 digits at every scale of the fixed range and around it, with the
    // Doubles beside them: the short way, the long way and the border between them.
    for (int k = 0; k < 150000; ++k) {
        const int digits = 1 + static_cast<int>(rng() % 17);
        const uint64_t limit = static_cast<uint64_t>(std::pow(10.0, digits));
        const double mantissa = static_cast<double>(rng() % limit);
        const int scale = static_cast<int>(rng() % 44) - 22;
        AddWithNeighbours(values, mantissa * std::pow(10.0, scale));
    }
    // Powers of ten and the carries of 15 nines (0.999999999999999950 and the like).
    for (int e = -330; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        AddWithNeighbours(values, p);
        AddWithNeighbours(values, 0.99999999999999995 * p);
        AddWithNeighbours(values, 9.9999999999999949 * p);
        AddWithNeighbours(values, 1.00000000000000050 * p);
    }
    // Results of arithmetic, all digits significant.
    std::uniform_real_distribution<double> unit(-1000.0, 1000.0);
    for (int k = 0; k < 200000; ++k) {
        values.push_back(unit(rng));
    }
    values.push_back(0.0);
    values.push_back(-0.0);
    values.push_back(std::numeric_limits<double>::denorm_min());
    values.push_back(std::numeric_limits<double>::max());
    values.push_back(std::numeric_limits<double>::lowest());
    return values;
}

std::string Hex(double v) {
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::hex);
    return std::string(buf, res.ptr);
}

// Counts the differences and names the first few, so that a fault shows its values without
// flooding the log.
void ExpectSameAsReference(const std::vector<double>& values) {
    int differences = 0;
    std::u16string got;
    std::u16string want;
    for (const double v : values) {
        got.clear();
        want.clear();
        AppendFloatText(got, v);
        ReferenceAppendFloatText(want, v);
        if (got != want && ++differences <= 10) {
            ADD_FAILURE() << Hex(v) << ": " << ToUtf8(got) << " instead of " << ToUtf8(want);
        }
    }
    EXPECT_EQ(differences, 0) << "of " << values.size() << " values";
}

TEST(FloatTextReferenceTest, SameTextForEveryDoubleOfTheSample) {
    const std::vector<double> values = SampleDoubles();
    ExpectSameAsReference(values);
    // The separator is the layout's: the digits must not depend on it.
    Platform::SetDecimalSeparator(u',');
    ExpectSameAsReference(values);
    Platform::SetDecimalSeparator(u'.');
}

// ---- The digits step alone. ----

TEST(FloatDigitsTest, DigitsAndExponent) {
    struct TCase {
        double magnitude;
        std::string_view digits;
        int exponent;
    };
    static const TCase kCases[] = {
        // The short way: the decimal itself, trailing zeros dropped
        {2.5, "25", 1},
        {1234.567, "1234567", 4},
        {1e14, "1", 15},
        {0.0001, "1", -3},
        // The long way: 18 digits, the 16th rounding the 15th
        {1.0 / 3.0, "333333333333333", 0},
        {2.0 / 3.0, "666666666666667", 0},
        {123456789012345678.0, "123456789012346", 18},
        {1.5e-7, "15", -6},
        // A carry through all fifteen nines raises the exponent
        {0.99999999999999995, "1", 1},
        {9.9999999999999995e20, "1", 22},
        // The extremes
        {std::numeric_limits<double>::denorm_min(), "494065645841247", -323},
        {std::numeric_limits<double>::max(), "179769313486232", 309},
    };
    for (const TCase& c : kCases) {
        const TFloatDigits d = FloatDigits(c.magnitude);
        EXPECT_EQ(std::string_view(d.digits.data(), static_cast<size_t>(d.count)), c.digits)
            << Hex(c.magnitude);
        EXPECT_EQ(d.exponent, c.exponent) << Hex(c.magnitude);
    }
}

}  // namespace
