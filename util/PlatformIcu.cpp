// PlatformIcu: the platform layer on Linux, with ICU for the code page and the user's locale.
#include "Platform.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <sys/mman.h>  // for madvise
#include <system_error>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include "PlatformNative.h"

namespace {

// Windows code page 932 (Shift_JIS with the NEC and IBM extensions, U+FF5E for 0x8160). Its
// single bytes differ from Windows (it swaps 1A, 1C and 7F and lacks 80, A0 and FD to FF), so
// only its double-byte codes are used; CodePage.cpp reads the single bytes itself.
constexpr const char* kAnsiConverter = "ibm-943_P15A-2003";

struct TConverterClose {
    void operator()(UConverter* conv) const { ucnv_close(conv); }
};
using TConverter = std::unique_ptr<UConverter, TConverterClose>;

// A code without a character stops the conversion with an error, so that it is told apart
// from a code for U+FFFD; no fallbacks.
TConverter OpenAnsi() {
    UErrorCode err = U_ZERO_ERROR;
    TConverter conv(ucnv_open(kAnsiConverter, &err));
    if (U_FAILURE(err) || !conv) {
        return nullptr;
    }
    ucnv_setFallback(conv.get(), false);
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    return U_SUCCESS(err) ? std::move(conv) : nullptr;
}

// The upper-case rule of the user's locale: Turkish and Azeri upper-case "i" as "İ", as
// Windows' linguistic casing does for them.
bool DottedCapitalI() {
    const std::string_view language = icu::Locale::getDefault().getLanguage();
    return language == "tr" || language == "az";
}

}  // namespace

namespace Platform {

std::u16string UpperCaseLocale(std::u16string_view text) {
    static const bool dottedI = DottedCapitalI();
    std::u16string out(text);
    const size_t n = out.size();
    for (size_t i = 0; i < n;) {
        UChar32 c = 0;
        const size_t at = i;
        U16_NEXT(out.data(), i, n, c);
        const UChar32 upper = c == U'i' && dottedI ? 0x130 : u_toupper(c);
        // A simple mapping keeps the number of units: BMP to BMP, supplementary to
        // supplementary.
        if (upper != c && U16_LENGTH(upper) == static_cast<int32_t>(i - at)) {
            size_t k = at;
            U16_APPEND_UNSAFE(out.data(), k, upper);
        }
    }
    return out;
}

void AdviseLargeBuffer(void* data, std::size_t bytes) {
    // madvise takes whole pages: those that hold a byte of the buffer. The hint on a page
    // shared with a neighbouring allocation changes nothing of its contents.
    constexpr std::uintptr_t kPage = 4096;
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(kPage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes + kPage - 1) & ~(kPage - 1);
    if (data == nullptr || end <= begin) {
        return;
    }
    // A failure (no large pages in this kernel) leaves the ordinary pages.
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    // The buffer is filled to its end, so its pages are made present now, in one call: a
    // fault for each page costs far more on a virtual machine. Only pages not yet present
    // are touched, and they hold zeros as a first touch would give them. (Linux 5.14 and
    // later; an older kernel refuses and the pages come on first touch.)
    constexpr int kPopulateWrite = 23;  // MADV_POPULATE_WRITE
    madvise(reinterpret_cast<void*>(begin), end - begin, kPopulateWrite);
}

}  // namespace Platform

namespace Platform::Native {

char16_t DecodeAnsiPair(unsigned char lead, unsigned char trail) {
    // Opened once per thread; ICU converters carry state and are not shared between threads.
    thread_local TConverter conv = OpenAnsi();
    if (!conv) {
        return 0xFFFD;
    }
    ucnv_reset(conv.get());
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    UChar out[4];
    UErrorCode err = U_ZERO_ERROR;
    const int32_t len = ucnv_toUChars(conv.get(), out, 4, bytes, 2, &err);
    return U_SUCCESS(err) && len == 1 ? static_cast<char16_t>(out[0]) : char16_t{0xFFFD};
}

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

}  // namespace Platform::Native
