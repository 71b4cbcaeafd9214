// MyFunc: text and number functions shared by the exchange class and the dialog.
#include "MyFunc.h"

#include <bit>       // for std::endian
#include <cfloat>    // for FLT_EVAL_METHOD
#include <charconv>  // for std::to_chars and std::from_chars, which ignore the locale
#include <cmath>
#include <cstdint>
#include <cstring>  // for std::memcpy
#include <filesystem>
#include <string>
#include <system_error>

#include "FilePath.h"
#include "FloatDigits.h"
#include "Platform.h"
#include "PowersOfTen.h"
#include "Utf16.h"

namespace {

// Fixed notation covers 0.0001 up to just below 10^15 (E as in 0.d1d2... x 10^E).
constexpr int kMinFixedExp = -3;
constexpr int kMaxFixedExp = 15;

constexpr bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Value of a hexadecimal digit, or -1.
constexpr int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

void AppendAscii(std::u16string& out, const char* first, const char* last) {
    const size_t old = out.size();
    out.resize(old + static_cast<size_t>(last - first));
    char16_t* dst = out.data() + old;
    for (const char* p = first; p != last; ++p) {
        *dst++ = static_cast<char16_t>(static_cast<unsigned char>(*p));
    }
}

// The fast reading of a number: a mantissa of at most 19 digits below 2^53, scaled by an
// exact power of ten. Only where Doubles are evaluated in their own precision.
constexpr bool kExactArithmetic = FLT_EVAL_METHOD == 0;
constexpr size_t kMaxMantissaDigits = 19;
constexpr uint64_t kMaxExactMantissa = uint64_t{1} << 53;
constexpr int kMaxExactPower = 22;
// Exponent digits beyond this value only tell that the number is out of the fast range.
constexpr int kExponentCap = 100000;

// Four UTF-16 units in one 64-bit word, the first unit in the low bits.
constexpr uint64_t kUnitDigitMask = 0xFFF0FFF0FFF0FFF0ull;
constexpr uint64_t kUnitZeros = 0x0030003000300030ull;
constexpr uint64_t kUnitLowNibbles = 0x000F000F000F000Full;
constexpr uint64_t kUnitSixes = 0x0006000600060006ull;
constexpr uint64_t kUnitCarries = 0x0010001000100010ull;

bool AreFourDigits(uint64_t units) {
    return (units & kUnitDigitMask) == kUnitZeros &&
           (((units & kUnitLowNibbles) + kUnitSixes) & kUnitCarries) == 0;
}

// The value of four digit units: pairs first, then the two pairs.
uint64_t FourDigitsValue(uint64_t units) {
    const uint64_t d = units & kUnitLowNibbles;
    const uint64_t pairs = (d * 10 + (d >> 16)) & 0x0000FFFF0000FFFFull;
    return ((pairs * ((uint64_t{100} << 32) + 1)) >> 32) & 0xFFFFFFFFull;
}

// Reads a run of digits into the mantissa, four at a time where the byte order allows; the
// mantissa is exact only while the whole number has at most 19 digits, which the caller
// checks.
const char16_t* ReadDigits(const char16_t* p, const char16_t* end, uint64_t& mantissa) {
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 4) {
            uint64_t units;
            std::memcpy(&units, p, sizeof units);
            if (!AreFourDigits(units)) {
                break;
            }
            mantissa = mantissa * 10000 + FourDigitsValue(units);
            p += 4;
        }
    }
    for (; p != end; ++p) {
        const auto d = static_cast<unsigned>(*p) - u'0';
        if (d > 9) {
            break;
        }
        mantissa = mantissa * 10 + d;
    }
    return p;
}

// Any number of the grammar, sign included, by std::from_chars on an ASCII copy: correctly
// rounded, and 0 for a value beyond the range of a Double.
double SlowTextToFloat(std::u16string_view number) {
    // std::from_chars takes no "+"; a leading "0" lets ".5" and "-.5" parse as well.
    char small[64];
    std::string large;
    char* buf = small;
    if (number.size() + 2 > sizeof small) {
        large.resize(number.size() + 2);
        buf = large.data();
    }
    char* q = buf;
    size_t k = 0;
    if (number[0] == u'-' || number[0] == u'+') {
        if (number[0] == u'-') {
            *q++ = '-';
        }
        k = 1;
    }
    *q++ = '0';
    for (; k < number.size(); ++k) {
        *q++ = static_cast<char>(number[k]);
    }
    double value = 0.0;
    const auto res = std::from_chars(buf, q, value);
    // A value beyond the range of a Double is not a number the host can use.
    if (res.ec != std::errc() || res.ptr != q) {
        return 0.0;
    }
    return value;
}

}  // namespace

bool TextIsTrue(std::u16string_view text) {
    static constexpr std::u16string_view kTrueWords[] = {
        u"T", u"TR", u"TRU", u"TRUE", u"1", u"\uFF11", u"\u25CB", u"ON", u"\u771F", u"\u6B63",
    };
    if (text.empty()) {
        return false;
    }
    const std::u16string upper = UpperText(text);
    for (std::u16string_view word : kTrueWords) {
        if (upper == word) {
            return true;
        }
    }
    return false;
}

std::u16string BoolToText(bool value) {
    return value ? u"1" : u"0";
}

int TextToInt(std::u16string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) {
        return 0;  // no digit after the sign or the prefix
    }
    uint32_t magnitude = 0;
    if (hex) {
        int significant = 0;
        for (; i < n; ++i) {
            const int v = HexValue(text[i]);
            if (v < 0) {
                return 0;
            }
            if (significant > 0 || v != 0) {
                if (++significant > 8) {
                    return 0;
                }
            }
            magnitude = (magnitude << 4) | static_cast<uint32_t>(v);
        }
    } else {
        const uint32_t limit = negative ? 2147483648u : 2147483647u;
        for (; i < n; ++i) {
            if (!IsDigit(text[i])) {
                return 0;
            }
            const uint32_t d = text[i] - u'0';
            if (magnitude > (limit - d) / 10) {
                return 0;
            }
            magnitude = magnitude * 10 + d;
        }
    }
    // Two's complement in unsigned arithmetic: "$FFFFFFFF" is -1 and "-2147483648" fits.
    if (negative) {
        magnitude = 0u - magnitude;
    }
    return static_cast<int>(magnitude);
}

void AppendIntText(std::u16string& out, int value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    AppendAscii(out, buf, res.ptr);
}

std::u16string IntToText(int value) {
    std::u16string out;
    AppendIntText(out, value);
    return out;
}

namespace {

// Any text: blanks, a sign, digits with a decimal point and an exponent.
double ReadAnyNumber(std::u16string_view text) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p != end && *p == u' ') {
        ++p;
    }
    const char16_t* const begin = p;
    bool negative = false;
    if (p != end && (*p == u'-' || *p == u'+')) {
        negative = *p == u'-';
        ++p;
    }
    // The digits as an integer, with the power of ten they are scaled by.
    uint64_t mantissa = 0;
    const char16_t* const whole = p;
    p = ReadDigits(p, end, mantissa);
    auto digits = static_cast<size_t>(p - whole);
    size_t fraction = 0;
    if (p != end && *p == u'.') {
        const char16_t* const first = ++p;
        p = ReadDigits(p, end, mantissa);
        fraction = static_cast<size_t>(p - first);
        digits += fraction;
    }
    if (digits == 0) {
        return 0.0;
    }
    int exponent = 0;
    if (p != end && (*p == u'e' || *p == u'E')) {
        ++p;
        bool negativeExp = false;
        if (p != end && (*p == u'-' || *p == u'+')) {
            negativeExp = *p == u'-';
            ++p;
        }
        const char16_t* const first = p;
        for (; p != end && IsDigit(*p); ++p) {
            if (exponent < kExponentCap) {
                exponent = exponent * 10 + (*p - u'0');
            }
        }
        if (p == first) {
            return 0.0;
        }
        if (negativeExp) {
            exponent = -exponent;
        }
    }
    if (p != end) {
        return 0.0;
    }

    // An integer of at most 53 bits and a power of ten up to 10^22 are both exact, so one
    // multiplication or division rounds correctly: the result is the nearest Double.
    if (kExactArithmetic && digits <= kMaxMantissaDigits && mantissa <= kMaxExactMantissa) {
        const int scale = exponent - static_cast<int>(fraction);
        if (scale >= -kMaxExactPower && scale <= kMaxExactPower) {
            double value = static_cast<double>(mantissa);
            value = scale < 0 ? value / kExactPowerOfTen[-scale] : value * kExactPowerOfTen[scale];
            return negative ? -value : value;
        }
    }
    return SlowTextToFloat(std::u16string_view(begin, static_cast<size_t>(end - begin)));
}

}  // namespace

// The usual number, a sign and at most 19 digits with a decimal point, in one pass; any other
// text, blanks, an exponent or a value beyond the exact range takes the general reading, which
// gives the same result for the usual numbers too.
double TextToFloat(std::u16string_view text) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == u'-' || *p == u'+')) {
        negative = *p == u'-';
        ++p;
    }
    const char16_t* const first = p;
    // More than 19 digits may wrap the mantissa; such a number takes the general reading.
    uint64_t mantissa = 0;
    unsigned d = 0;
    for (; p != end && (d = static_cast<unsigned>(*p) - u'0') <= 9; ++p) {
        mantissa = mantissa * 10 + d;
    }
    size_t digits = static_cast<size_t>(p - first);
    size_t fraction = 0;
    if (p != end) {
        if (*p != u'.') {
            return ReadAnyNumber(text);
        }
        const char16_t* const point = ++p;
        for (; p != end && (d = static_cast<unsigned>(*p) - u'0') <= 9; ++p) {
            mantissa = mantissa * 10 + d;
        }
        if (p != end) {
            return ReadAnyNumber(text);
        }
        fraction = static_cast<size_t>(end - point);
        digits += fraction;
    }
    if (kExactArithmetic && digits > 0 && digits <= kMaxMantissaDigits &&
        mantissa <= kMaxExactMantissa && fraction <= static_cast<size_t>(kMaxExactPower)) {
        const double value = static_cast<double>(mantissa) / kExactPowerOfTen[fraction];
        return negative ? -value : value;
    }
    return ReadAnyNumber(text);
}

namespace {

// NAN, INF and -INF, and 0 for both zeros; false for any other value.
bool AppendSpecialFloat(std::u16string& out, double value) {
    if (std::isnan(value)) {
        out += u"NAN";
    } else if (std::isinf(value)) {
        out += value < 0 ? u"-INF" : u"INF";
    } else if (value == 0.0) {
        out += u'0';
    } else {
        return false;
    }
    return true;
}

char16_t* WriteDigits(char16_t* q, const TFloatDigits& d, int first, int last) {
    for (int k = first; k < last; ++k) {
        *q++ = static_cast<char16_t>(d.digits[k]);
    }
    return q;
}

// Fixed notation: "1234.5", "120", "0.000123".
char16_t* WriteFixed(char16_t* q, const TFloatDigits& d, char16_t sep) {
    const int e = d.exponent;
    if (e >= 1) {
        for (int k = 0; k < e; ++k) {
            *q++ = k < d.count ? static_cast<char16_t>(d.digits[k]) : u'0';
        }
        if (d.count > e) {
            *q++ = sep;
            q = WriteDigits(q, d, e, d.count);
        }
        return q;
    }
    *q++ = u'0';
    *q++ = sep;
    for (int k = 0; k < -e; ++k) {
        *q++ = u'0';
    }
    return WriteDigits(q, d, 0, d.count);
}

// One digit before the separator and the exponent after an E: "1.5E-7", "2E20".
char16_t* WriteExponentForm(char16_t* q, const TFloatDigits& d, char16_t sep) {
    *q++ = static_cast<char16_t>(d.digits[0]);
    if (d.count > 1) {
        *q++ = sep;
        q = WriteDigits(q, d, 1, d.count);
    }
    *q++ = u'E';
    int shown = d.exponent - 1;
    if (shown < 0) {
        *q++ = u'-';
        shown = -shown;
    }
    char expBuf[8];
    const auto er = std::to_chars(expBuf, expBuf + sizeof expBuf, shown);
    for (const char* c = expBuf; c != er.ptr; ++c) {
        *q++ = static_cast<char16_t>(*c);
    }
    return q;
}

}  // namespace

void AppendFloatText(std::u16string& out, double value) {
    if (AppendSpecialFloat(out, value)) {
        return;
    }
    const TFloatDigits d = FloatDigits(std::fabs(value));
    if (d.count == 0) {
        out += u'0';
        return;
    }
    const char16_t sep = Platform::DecimalSeparator();
    char16_t buf[48];
    char16_t* q = buf;
    if (value < 0) {
        *q++ = u'-';
    }
    if (d.exponent >= kMinFixedExp && d.exponent <= kMaxFixedExp) {
        q = WriteFixed(q, d, sep);
    } else {
        q = WriteExponentForm(q, d, sep);
    }
    out.append(buf, static_cast<size_t>(q - buf));
}

std::u16string FloatToText(double value) {
    std::u16string out;
    AppendFloatText(out, value);
    return out;
}

int TextLen(std::u16string_view text) {
    return static_cast<int>(text.size());
}

std::u16string CharAt(std::u16string_view text, int index) {
    if (index < 0 || static_cast<size_t>(index) >= text.size()) {
        return {};
    }
    return std::u16string(1, text[static_cast<size_t>(index)]);
}

std::u16string UpperText(std::u16string_view text) {
    return Utf16::CaseKey(text);
}

int FindText(std::u16string_view sub, std::u16string_view text) {
    if (sub.empty() || text.empty()) {
        return -1;
    }
    const size_t pos = text.find(sub);
    return pos == std::u16string_view::npos ? -1 : static_cast<int>(pos);
}

std::u16string TextFrom(std::u16string_view text, int index) {
    if (index < 0) {
        return std::u16string(text);
    }
    if (static_cast<size_t>(index) >= text.size()) {
        return {};
    }
    return std::u16string(text.substr(static_cast<size_t>(index)));
}

std::u16string TextMid(std::u16string_view text, int index, int count) {
    if (index < 0) {
        index = 0;
    }
    if (count < 0 || static_cast<size_t>(index) >= text.size()) {
        return {};
    }
    return std::u16string(text.substr(static_cast<size_t>(index), static_cast<size_t>(count)));
}

std::u16string StripBlanks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c > u' ' && c != u'\u3000') {
            out += c;
        }
    }
    return out;
}

bool IsHalfWidth(std::u16string_view text) {
    // An ordinal comparison with one-unit bounds, as the callers pass one-unit texts.
    return (text >= u" " && text <= u"~") || (text >= u"\uFF61" && text <= u"\uFF9F");
}

int SurrogateKind(std::u16string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (Utf16::IsHighSurrogate(text[0])) {
        return 1;
    }
    return Utf16::IsLowSurrogate(text[0]) ? 2 : 0;
}

bool ExistsFile(const std::u16string& fileName) {
    if (fileName.empty()) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::is_regular_file(ToPath(fileName), ec);
}

bool RemoveFile(const std::u16string& fileName) {
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path path = ToPath(fileName);
    std::error_code ec;
    // Only files are deleted; a folder of that name is left alone, even an empty one.
    const std::filesystem::file_status st = std::filesystem::symlink_status(path, ec);
    if (ec || !std::filesystem::exists(st) || std::filesystem::is_directory(st)) {
        return false;
    }
    return std::filesystem::remove(path, ec) && !ec;
}

bool EscapePressed() {
    return Platform::EscapeKeyDown();
}

int MakeRGB(int red, int green, int blue) {
    // Plain addition without masking; unsigned so that odd arguments wrap instead of overflowing.
    const uint32_t sum = static_cast<uint32_t>(red) + 256u * static_cast<uint32_t>(green) +
                         65536u * static_cast<uint32_t>(blue);
    return static_cast<int>(sum);
}
