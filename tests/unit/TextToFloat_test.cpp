// Reading real numbers: every text of the grammar gives the correctly rounded Double, the
// same one std::from_chars gives, whichever way the value is computed.
#include <bit>
#include <charconv>  // for std::from_chars, the reference
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

#include "util/MyFunc.h"
#include "util/TextFile.h"

namespace {

// The reference: the text without its leading blanks and "+" signs, a "0" before the digits,
// read by std::from_chars; 0 for an error or a value beyond the range of a Double.
double Reference(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    std::string ascii;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-') {
            ascii += '-';
        }
        text.remove_prefix(1);
    }
    ascii += '0';
    ascii += text;
    double value = 0.0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size()) {
        return 0.0;
    }
    return value;
}

// Compares bit patterns, so that -0 and 0 differ.
void ExpectSameAsReference(const std::string& text) {
    const double got = TextToFloat(FromUtf8(text));
    const double want = Reference(text);
    EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
        << "\"" << text << "\" gave " << got << ", expected " << want;
}

TEST(TextToFloatRounding, EdgesOfTheExactRange) {
    static const char* const kCases[] = {
        // Mantissa around 2^53
        "9007199254740991",
        "9007199254740992",
        "9007199254740993",
        "9007199254740995",
        "900719925474099.3",
        "9007199254740993e-3",
        "-9007199254740993e5",
        // 19 and 20 significant digits
        "1234567890123456789",
        "12345678901234567890",
        "0.0001234567890123456789",
        "1000000000000000000",
        "10000000000000000000",
        "1.000000000000000000",
        "00000000000000000000001",
        // Powers of ten at the ends of the exact ones
        "1e22",
        "1e23",
        "1e-22",
        "1e-23",
        "9e22",
        "9.5e-22",
        "4503599627370497e22",
        "4503599627370497e-22",
        "123.456e20",
        "123.456e-20",
        "0.000000000000000000000001",
        // Values that round halfway or nearly so
        "0.1",
        "0.2",
        "0.3",
        "2.5",
        "1.7976931348623157e308",
        "2.2250738585072011e-308",
        "9007199254740993.0000000000000001",
        "8.589973e9",
        "1e-7",
        "5e-324",
        "1e400",
        "-1e-400",
        // Zeros with a sign and with exponents
        "0",
        "-0",
        "+0",
        "-0.0",
        "0e400",
        "-0e-400",
        "-.0e5",
        "0.000e22",
        // Exponent forms
        "1E+2",
        "1e+022",
        "1e0000000000000000000000000003",
        "1e99999999999999999999",
        "2e-0",
        // Runs of four units with one that is not a digit
        "12:4",
        "1234:",
        "123/5678",
        "5678.123;",
        "１２３４",
        "12３4",
        "٠١٢٣",
        "1234\u0130",
        "0.12\u01345",
        // Blanks and signs
        "  -12.5",
        "+.5",
        "-5.",
        "   +1e1",
    };
    for (const char* text : kCases) {
        ExpectSameAsReference(text);
    }
}

TEST(TextToFloatRounding, RandomDecimalsMatchTheReference) {
    std::mt19937_64 rng(407);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    const auto digits = [&](int n) {
        std::string s;
        for (int k = 0; k < n; ++k) {
            s += static_cast<char>('0' + pick(10));
        }
        return s;
    };
    for (int round = 0; round < 200000; ++round) {
        std::string text(static_cast<size_t>(pick(8) == 0 ? pick(3) : 0), ' ');
        const int sign = pick(4);
        text += sign == 0 ? "-" : sign == 1 ? "+" : "";
        // Mostly the short decimals a host writes; now and then long runs of digits.
        const int longRun = pick(10) == 0 ? 24 : 9;
        const int whole = pick(longRun);
        const int fraction = pick(longRun);
        text += digits(whole);
        if (fraction > 0 || whole == 0 || pick(2) == 0) {
            text += '.';
            text += digits(fraction);
        }
        if (whole + fraction == 0) {
            text += digits(1);
        }
        if (pick(3) == 0) {
            text += pick(2) == 0 ? 'e' : 'E';
            const int expSign = pick(3);
            text += expSign == 0 ? "-" : expSign == 1 ? "+" : "";
            text += std::to_string(pick(pick(4) == 0 ? 400 : 30));
        }
        ExpectSameAsReference(text);
        if (HasFailure()) {
            break;
        }
    }
}

}  // namespace
