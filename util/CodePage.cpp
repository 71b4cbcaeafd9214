// CodePage: the legacy (ANSI) code page, Windows code page 932, read and written alike on
// every system.
//
// What MultiByteToWideChar and WideCharToMultiByte give on a Japanese Windows system is the
// reference: the single bytes as Windows reads them, and the double-byte codes, NEC and IBM
// rows included, as the system's own converter gives them (Win32 on Windows, ICU on Linux;
// the two agree on every code). Where a character has several codes, the one Windows writes is
// chosen by the rule below. Three rules are this program's own, so that both systems behave
// alike and no text is lost unnoticed:
// - A byte that starts no character becomes one U+FFFD, and so does a lead byte whose next
//   byte cannot be a second byte; that next byte is then read on its own, so a line break is
//   never swallowed (Windows would merge the two lines). A lead byte and a second byte without
//   a character between them become one U+FFFD (Windows gives U+30FB).
// - A character the code page lacks is written as one "?" (a surrogate pair is one
//   character). There is no "best fit": Windows would write "é" as "e" and "∞" as "8", which
//   reads back as another text.
// - One short list of look-alikes (kLookAlikes) is written as the character the same bytes
//   show in the JIS mapping of this code page.
#include <array>
#include <memory>

#include "Platform.h"
#include "PlatformNative.h"
#include "Utf16.h"

namespace {

using Utf16::kReplacement;
constexpr char kDefaultChar = '?';

// Lead bytes 81-9F and E0-FC, second bytes 40-7E and 80-FC.
constexpr size_t kLeadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool IsTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

size_t LeadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + (0x9F - 0x81 + 1);
}

// A byte that is not a lead byte, as Windows reads it: ASCII (control characters included),
// U+0080, U+F8F0 for A0, the half-width katakana, U+F8F1 to U+F8F3 for FD to FF. The private
// characters come back as the same bytes when written.
char16_t SingleByte(unsigned char b) {
    if (b < 0x80) {
        return b;
    }
    if (b == 0x80) {
        return 0x0080;
    }
    if (b == 0xA0) {
        return 0xF8F0;
    }
    if (b >= 0xA1 && b <= 0xDF) {
        return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    }
    if (b >= 0xFD) {
        return static_cast<char16_t>(0xF8F1 + (b - 0xFD));
    }
    return kReplacement;
}

// The characters of all double-byte codes, U+FFFD where a code has none; asked from the
// system once.
using TPairTable = std::array<std::array<char16_t, 256>, kLeadCount>;

const TPairTable& PairTable() {
    static const std::unique_ptr<const TPairTable> table = [] {
        auto t = std::make_unique<TPairTable>();
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            auto& row = (*t)[LeadIndex(static_cast<unsigned char>(lead))];
            for (unsigned trail = 0; trail < 256; ++trail) {
                const auto b = static_cast<unsigned char>(trail);
                row[trail] = IsTrailByte(b) ? Platform::Native::DecodeAnsiPair(
                                                  static_cast<unsigned char>(lead), b)
                                            : kReplacement;
            }
        }
        return t;
    }();
    return *table;
}

// Characters that the code page does not hold, written as the look-alike that it does hold.
// The same two bytes of JIS X 0208 stand for either: the Windows mapping of this code page
// gives the one, the JIS standard's table, JIS X 0213 and other systems' mappings the other.
// Text that came through such a mapping (a Shift_JIS or EUC-JP file, a web page, another
// system's clipboard) holds the other one, so these bytes are what its writer meant, and "?"
// would lose a common punctuation mark. Each system on its own maps only some of them (ICU
// the first four, Windows' best fit the last three); both use this list. Nothing else is
// mapped: the yen sign and the overline, JIS X 0201's bytes 5C and 7E, are a backslash and a
// tilde in this code page and would read back as such.
struct TLookAlike {
    char16_t character;
    unsigned short code;
};
constexpr TLookAlike kLookAlikes[] = {
    {0x301C, 0x8160},  // 〜 WAVE DASH as ～ FULLWIDTH TILDE
    {0x2016, 0x8161},  // ‖ DOUBLE VERTICAL LINE as ∥ PARALLEL TO
    {0x2212, 0x817C},  // − MINUS SIGN as － FULLWIDTH HYPHEN-MINUS
    {0x2014, 0x815C},  // — EM DASH as ― HORIZONTAL BAR
    {0x00A2, 0x8191},  // ¢ as ￠ FULLWIDTH CENT SIGN
    {0x00A3, 0x8192},  // £ as ￡ FULLWIDTH POUND SIGN
    {0x00AC, 0x81CA},  // ¬ as ￢ FULLWIDTH NOT SIGN
};

// Of several codes for one character Windows writes the one of the JIS rows, else of the NEC
// row 87, else of the IBM rows FA to FC, and last of the NEC-selected IBM rows ED and EE;
// within a group the lowest.
int CodeRank(unsigned code) {
    const unsigned lead = code >> 8;
    if (lead == 0x87) {
        return 1;
    }
    if (lead >= 0xFA && lead <= 0xFC) {
        return 2;
    }
    if (lead == 0xED || lead == 0xEE) {
        return 3;
    }
    return 0;
}

// The code of every BMP character, 0 where the code page has none; a code above FF is a lead
// byte and a second byte. ASCII is written as it is and not held here.
using TCodeTable = std::array<unsigned short, 0x10000>;

const TCodeTable& CodeTable() {
    static const std::unique_ptr<const TCodeTable> table = [] {
        auto t = std::make_unique<TCodeTable>();
        t->fill(0);
        const auto offer = [&t](char16_t c, unsigned code) {
            unsigned short& held = (*t)[c];
            if (c < 0x80 || c == kReplacement) {
                return;
            }
            if (held == 0 || CodeRank(code) < CodeRank(held)) {
                held = static_cast<unsigned short>(code);
            }
        };
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (!IsLeadByte(static_cast<unsigned char>(b))) {
                offer(SingleByte(static_cast<unsigned char>(b)), b);
            }
        }
        const TPairTable& pairs = PairTable();
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            const auto& row = pairs[LeadIndex(static_cast<unsigned char>(lead))];
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                offer(row[trail], (lead << 8) | trail);
            }
        }
        for (const TLookAlike& l : kLookAlikes) {
            if ((*t)[l.character] == 0) {
                (*t)[l.character] = l.code;
            }
        }
        return t;
    }();
    return *table;
}

}  // namespace

namespace Platform {

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty()) {
        return out;
    }
    // Never more characters than bytes.
    out.resize(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    char16_t* q = out.data();
    const TPairTable* pairs = nullptr;
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            *q++ = b;
            ++i;
        } else if (!IsLeadByte(b)) {
            *q++ = SingleByte(b);
            ++i;
        } else if (i + 1 < n && IsTrailByte(s[i + 1])) {
            if (pairs == nullptr) {
                pairs = &PairTable();
            }
            *q++ = (*pairs)[LeadIndex(b)][s[i + 1]];
            i += 2;
        } else {
            *q++ = kReplacement;
            ++i;
        }
    }
    out.resize(static_cast<size_t>(q - out.data()));
    return out;
}

std::string EncodeAnsi(std::u16string_view text) {
    std::string out;
    if (text.empty()) {
        return out;
    }
    // At most two bytes for each UTF-16 unit.
    out.resize(text.size() * 2);
    char* q = out.data();
    const TCodeTable* codes = nullptr;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            *q++ = static_cast<char>(c);
            continue;
        }
        if (codes == nullptr) {
            codes = &CodeTable();
        }
        const unsigned code = (*codes)[c];
        if (code == 0) {
            // A surrogate pair is one character and gets one default character.
            if (Utf16::IsPairAt(text, i)) {
                ++i;
            }
            *q++ = kDefaultChar;
        } else if (code < 0x100) {
            *q++ = static_cast<char>(code);
        } else {
            *q++ = static_cast<char>(code >> 8);
            *q++ = static_cast<char>(code & 0xFF);
        }
    }
    out.resize(static_cast<size_t>(q - out.data()));
    return out;
}

}  // namespace Platform
