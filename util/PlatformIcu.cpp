// PlatformIcu: the platform layer on Linux, with ICU for the code page and the user's locale.
#include "Platform.h"

#include <memory>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unistr.h>

#include "PlatformNative.h"

namespace {

// Windows code page 932 (Shift_JIS with the NEC and IBM extensions, U+FF5E for 0x8160).
constexpr const char* kAnsiConverter = "ibm-943_P15A-2003";
// The default character of code page 932, written for characters it cannot represent.
constexpr char kDefaultChar = '?';

struct TConverterClose {
    void operator()(UConverter* conv) const { ucnv_close(conv); }
};
using TConverter = std::unique_ptr<UConverter, TConverterClose>;

// Every byte sequence that does not decode, unassigned or malformed, becomes one U+FFFD.
void ToUnicodeReplacement(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                          UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    *err = U_ZERO_ERROR;
    static const UChar kReplacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, err);
}

TConverter OpenAnsi() {
    UErrorCode err = U_ZERO_ERROR;
    TConverter conv(ucnv_open(kAnsiConverter, &err));
    if (U_FAILURE(err) || !conv) {
        return nullptr;
    }
    ucnv_setSubstChars(conv.get(), &kDefaultChar, 1, &err);
    ucnv_setFallback(conv.get(), true);
    err = U_ZERO_ERROR;
    ucnv_setToUCallBack(conv.get(), ToUnicodeReplacement, nullptr, nullptr, nullptr, &err);
    return conv;
}

// A converter is opened once per thread and reused; ICU converters carry state and are not
// shared between threads.
UConverter* AnsiConverter() {
    thread_local TConverter conv = OpenAnsi();
    if (conv) {
        ucnv_reset(conv.get());
    }
    return conv.get();
}

}  // namespace

namespace Platform {

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty()) {
        return out;
    }
    UConverter* conv = AnsiConverter();
    if (conv == nullptr) {
        // Without the converter only ASCII is readable.
        out.reserve(bytes.size());
        for (unsigned char b : bytes) {
            out += b < 0x80 ? static_cast<char16_t>(b) : u'\uFFFD';
        }
        return out;
    }
    // One byte never gives more than one UTF-16 unit in this code page; the loop still copes
    // with more.
    out.resize(bytes.size() + 1);
    const char* src = bytes.data();
    const char* const srcEnd = src + bytes.size();
    size_t done = 0;
    for (;;) {
        UChar* dst = reinterpret_cast<UChar*>(out.data()) + done;
        UChar* const dstEnd = reinterpret_cast<UChar*>(out.data()) + out.size();
        UErrorCode err = U_ZERO_ERROR;
        ucnv_toUnicode(conv, &dst, dstEnd, &src, srcEnd, nullptr, true, &err);
        done = static_cast<size_t>(dst - reinterpret_cast<UChar*>(out.data()));
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            continue;
        }
        if (U_FAILURE(err)) {
            out.resize(done);
            out += u'\uFFFD';
            return out;
        }
        break;
    }
    out.resize(done);
    return out;
}

bool EncodeAnsi(std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    UConverter* conv = AnsiConverter();
    if (conv == nullptr) {
        return false;
    }
    // At most two bytes for each UTF-16 unit.
    out.resize(text.size() * 2 + 2);
    const UChar* src = reinterpret_cast<const UChar*>(text.data());
    const UChar* const srcEnd = src + text.size();
    size_t done = 0;
    for (;;) {
        char* dst = out.data() + done;
        char* const dstEnd = out.data() + out.size();
        UErrorCode err = U_ZERO_ERROR;
        ucnv_fromUnicode(conv, &dst, dstEnd, &src, srcEnd, nullptr, true, &err);
        done = static_cast<size_t>(dst - out.data());
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            continue;
        }
        if (U_FAILURE(err)) {
            out.clear();
            return false;
        }
        break;
    }
    out.resize(done);
    return true;
}

std::u16string UpperCaseLocale(std::u16string_view text) {
    icu::UnicodeString s(false, text.data(), static_cast<int32_t>(text.size()));
    s.toUpper(icu::Locale::getDefault());
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
}

}  // namespace Platform

namespace Platform::Native {

char16_t UserDecimalSeparator() {
    UErrorCode err = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(icu::Locale::getDefault(), err);
    if (U_FAILURE(err)) {
        return u'.';
    }
    const icu::UnicodeString& sep =
        symbols.getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
    return sep.length() == 1 ? sep.charAt(0) : u'.';
}

std::function<bool()> DefaultEscapeProbe() {
    return {};
}

}  // namespace Platform::Native
