// fuzz_Numbers: the number texts of the exchange file. Written numbers read back to the same
// value (15 significant digits for reals), and any text reads without harm.
#include <charconv>  // for std::from_chars
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <cstring>  // for std::memcpy
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>  // for std::errc

#include "util/MyFunc.h"
#include "util/Platform.h"

namespace {

constexpr size_t kMaxInput = 4096;
// Half a unit in the 15th significant digit, plus the rounding of the text to a Double.
constexpr double kRelError = 5e-15 + std::numeric_limits<double>::epsilon();
// The largest value whose 15-digit form still fits a Double; above it the cut rounds up past
// the largest Double, and the text reads as 0.
constexpr double kMaxRoundTrip = 1.79769313486231e308;

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void CheckFloat(double x) {
    const std::u16string t = FloatToText(x);
    std::u16string appended = u"p";
    AppendFloatText(appended, x);
    Require(appended == u"p" + t);
    if (!std::isfinite(x) || std::fabs(x) > kMaxRoundTrip) {
        return;
    }
    const double y = TextToFloat(t);
    if (std::fabs(x) >= std::numeric_limits<double>::min()) {
        Require(std::fabs(y - x) <= kRelError * std::fabs(x));
    } else {
        // Subnormal values keep fewer digits than the text shows.
        Require(std::fabs(y) < std::numeric_limits<double>::min() * 2);
    }
    // The text of a value read back is the same text.
    Require(FloatToText(y) == t);
}

void CheckInt(int n) {
    const std::u16string t = IntToText(n);
    Require(TextToInt(t) == n);
    std::u16string appended = u"p";
    AppendIntText(appended, n);
    Require(appended == u"p" + t);
}

// The value std::from_chars gives for a text of the real-number grammar, or nothing when the
// text is outside the grammar or the range of a Double.
std::optional<double> ReferenceFloat(const std::u16string& text) {
    size_t i = text.find_first_not_of(u' ');
    if (i == std::u16string::npos) {
        return std::nullopt;
    }
    const bool negative = text[i] == u'-';
    if (text[i] == u'-' || text[i] == u'+') {
        ++i;
    }
    if (i == text.size() || (text[i] != u'.' && (text[i] < u'0' || text[i] > u'9'))) {
        return std::nullopt;
    }
    std::string ascii;
    for (; i < text.size(); ++i) {
        if (std::u16string_view(u"0123456789.eE+-").find(text[i]) == std::u16string_view::npos) {
            return std::nullopt;
        }
        ascii += static_cast<char>(text[i]);
    }
    double v = 0.0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    return negative ? -v : v;
}

// Any text reads as some number, and that number written and read again stays the same.
void CheckText(const std::u16string& text) {
    const int n = TextToInt(text);
    Require(TextToInt(IntToText(n)) == n);
    const double v = TextToFloat(text);
    Require(std::isfinite(v));
    if (const std::optional<double> ref = ReferenceFloat(text)) {
        Require(v == *ref);
    }
    if (std::fabs(v) <= kMaxRoundTrip) {
        const std::u16string t = FloatToText(v);
        Require(FloatToText(TextToFloat(t)) == t);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return -1;
    }
    Platform::SetDecimalSeparator(u'.');
    if (size >= sizeof(double)) {
        double x = 0.0;
        std::memcpy(&x, data, sizeof x);
        CheckFloat(x);
    }
    if (size >= sizeof(int32_t)) {
        int32_t n = 0;
        std::memcpy(&n, data, sizeof n);
        CheckInt(n);
    }
    // The bytes as text one unit each, as a host file in ASCII reads, and as UTF-16 units.
    CheckText(std::u16string(data, data + size));
    std::u16string wide(size / 2, u'\0');
    std::memcpy(wide.data(), data, wide.size() * sizeof(char16_t));
    CheckText(wide);
    return 0;
}
