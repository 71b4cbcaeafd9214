// The legacy code page and upper-casing: one table of cases that the Linux build (ICU) and the
// Windows build (Win32, under wine with a Japanese locale) both pass, so that both read, write
// and compare text alike. Windows code page 932 as a Japanese Windows reads it is the
// reference; invalid bytes, characters the code page lacks and look-alikes follow the
// program's own rules (util/CodePage.cpp).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

using namespace std::string_literals;

using TestSupport::SplitLines;

struct TDecodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};

const TDecodeCase kDecodeCases[] = {
    // Windows reads every ASCII byte as itself, control characters included.
    {"ascii controls", "\x1A\x1C\x7F\t\\~"s, u"\x1A\x1C\x7F\t\\~"},
    {"nul", "a\0b"s, u"a\0b"s},
    // Single bytes outside ASCII: Windows' private mappings, which come back when written.
    {"private single bytes", "\x80\xA0\xFD\xFE\xFF"s, u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
    {"half-width katakana", "\xA1\xB1\xDF"s, u"\uFF61\uFF71\uFF9F"},
    {"jis", "hq \x95\xB6\x8E\x9A"s, u"hq \u6587\u5B57"},
    {"windows, not jis, mappings", "\x81\x60\x81\x61\x81\x7C\x81\x5F\x81\x91\x81\xCA"s,
     u"\uFF5E\u2225\uFF0D\uFF3C\uFFE0\uFFE2"},
    {"nec row 13", "\x87\x40\x87\x8A\x87\x90"s, u"\u2460\u3231\u2252"},
    {"nec-selected ibm rows", "\xED\x40\xEE\xEF\xEE\xF9"s, u"\u7E8A\u2170\uFFE2"},
    {"ibm rows", "\xFA\x40\xFA\x55\xFC\x4B"s, u"\u2170\uFFE4\u9ED1"},
    {"user-defined rows", "\xF0\x40\xF9\xFC"s, u"\uE000\uE757"},
    // A second byte may be an ASCII letter or itself a lead byte.
    {"second byte in ascii", "\x82\x60\x83\x5C"s, u"\uFF21\u30BD"},
    {"second byte a lead byte", "\x82\x82\xA0"s, u"\uFF42\uF8F0"},
    // Faults: one U+FFFD for each byte that starts nothing and for each pair without a
    // character; the byte after a lead byte that cannot be a second byte is read on its own.
    {"lead byte before LF", "\x82\nb"s, u"\uFFFD\nb"},
    {"lead byte before CR LF", "\x82\r\nb"s, u"\uFFFD\r\nb"},
    {"lead byte at the end", "a\x82"s, u"a\uFFFD"},
    {"lead byte before a blank", "\x82 x"s, u"\uFFFD x"},
    {"lead byte before 7F and FD", "\x82\x7F\x82\xFD"s, u"\uFFFD\x7F\uFFFD\uF8F1"},
    {"pair without a character", "\x82\x41\x85\x40\xEF\x40z"s, u"\uFFFD\uFFFD\uFFFDz"},
    {"utf-8 read as the code page", "\xE6\x96\x87"s, u"\u8B41\uFFFD"},
};

TEST(CodePage, ReadsEachByteAsWindowsDoes) {
    for (const TDecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Platform::DecodeAnsi(c.bytes), c.text);
        // The same as the exchange file: whole, and line by line in blocks of any size.
        EXPECT_EQ(DecodeTextBytes(c.bytes).text, c.text);
        const std::string twice = c.bytes + "\r\n" + c.bytes;
        EXPECT_EQ(Platform::DecodeAnsi(twice), c.text + u"\r\n" + c.text);
        const std::vector<std::u16string> expected = SplitLines(c.text + u"\r\n" + c.text);
        for (size_t block = 1; block <= 3; ++block) {
            TTextBlockDecoder decoder(twice, block);
            std::vector<std::u16string> lines;
            std::u16string_view piece;
            while (decoder.Next(piece)) {
                for (std::u16string& line : SplitLines(piece)) {
                    lines.push_back(std::move(line));
                }
            }
            EXPECT_EQ(lines, expected) << "blocks of " << block;
        }
    }
}

struct TEncodeCase {
    const char* name;
    std::u16string text;
    std::string bytes;
};

const TEncodeCase kEncodeCases[] = {
    {"ascii", u"hq C:\\~\x1A\x1C\x7F", "hq C:\\~\x1A\x1C\x7F"},
    {"jis and katakana", u"\u6587\u5B57\uFF71\uFF9F\u30FB", "\x95\xB6\x8E\x9A\xB1\xDF\x81\x45"s},
    {"windows mappings", u"\uFF5E\u2225\uFF0D\uFF3C\u2015",
     "\x81\x60\x81\x61\x81\x7C\x81\x5F\x81\x5C"s},
    // A character held twice or three times: the JIS row before the NEC row 87, that before the
    // IBM rows FA-FC, those before the NEC-selected IBM rows ED-EE.
    {"jis before nec and ibm", u"\u2235\u2252\uFFE2", "\x81\xE6\x81\xE0\x81\xCA"s},
    {"nec before ibm", u"\u2160\u2460", "\x87\x54\x87\x40"s},
    {"ibm before nec-selected", u"\u2170\u7E8A\uFFE4", "\xFA\x40\xFA\x5C\xFA\x55"s},
    {"private characters", u"\u0080\uF8F0\uF8F1\uF8F3\uE000\uE757",
     "\x80\xA0\xFD\xFF\xF0\x40\xF9\xFC"s},
    // The look-alikes: the bytes that the JIS mapping reads as these characters.
    {"look-alikes", u"\u301C\u2016\u2212\u2014\u00A2\u00A3\u00AC",
     "\x81\x60\x81\x61\x81\x7C\x81\x5C\x81\x91\x81\x92\x81\xCA"s},
    // Anything else the code page lacks is one "?" for each character, never a best fit and
    // never nothing.
    {"no best fit", u"\u00E9\u00A5\u203E\u4E02\u00A0", "?????"},
    {"surrogate pair is one character", u"a\U0001F600b", "a?b"},
    {"lone surrogates", u"\xD800x\xDC00", "?x?"},
    {"invisible characters", u"\u2764\uFE0F\u200B\u00AD", "????"},
    {"replacement character", u"\uFFFD", "?"},
    {"empty", u"", ""},
};

TEST(CodePage, WritesEachCharacterAsWindowsDoes) {
    for (const TEncodeCase& c : kEncodeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Platform::EncodeAnsi(c.text), c.bytes);
    }
}

// 64-bit FNV-1a.
class TFingerprint {
public:
    void Add(uint8_t byte) {
        hash_ ^= byte;
        hash_ *= 0x100000001B3ull;
    }
    void Add16(uint16_t unit) {
        Add(static_cast<uint8_t>(unit & 0xFF));
        Add(static_cast<uint8_t>(unit >> 8));
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

bool IsLead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The whole code page both ways: every byte and every lead byte with every second byte read,
// every BMP character written, each on its own. The fingerprints were computed from what wine's
// MultiByteToWideChar and WideCharToMultiByte give for code page 932, with the rules above
// applied; both builds must give them exactly.
TEST(CodePage, WholeCodePageMatchesTheReference) {
    TFingerprint read;
    int pairs = 0;
    const auto decode = [&](const std::string& bytes) {
        const std::u16string text = Platform::DecodeAnsi(bytes);
        read.Add16(static_cast<uint16_t>(text.size()));
        for (const char16_t c : text) {
            read.Add16(c);
        }
        return text;
    };
    for (unsigned b = 0; b < 0x100; ++b) {
        decode(std::string(1, static_cast<char>(b)));
    }
    for (unsigned lead = 0x81; lead < 0x100; ++lead) {
        if (!IsLead(lead)) {
            continue;
        }
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string text = decode(bytes);
            if (text.size() != 1 || text[0] == u'\uFFFD') {
                continue;
            }
            ++pairs;
            // Every character read comes back as a code for the same character.
            EXPECT_EQ(Platform::DecodeAnsi(Platform::EncodeAnsi(text)), text)
                << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(pairs, 9604);  // 7724 characters and 1880 user-defined ones
    EXPECT_EQ(read.Value(), 0x25FC1830454F4A55ull);

    TFingerprint written;
    int writable = 0;
    for (unsigned c = 1; c < 0x10000; ++c) {
        const std::string bytes = Platform::EncodeAnsi(std::u16string(1, static_cast<char16_t>(c)));
        written.Add16(static_cast<uint16_t>(bytes.size()));
        for (const char b : bytes) {
            written.Add(static_cast<uint8_t>(b));
        }
        writable += bytes != "?" || c == u'?';
    }
    EXPECT_EQ(writable, 9408);
    EXPECT_EQ(written.Value(), 0x64CD3AD77B0AFBEEull);
}

// History entries and true words are compared by their upper case; both systems give each
// code point its simple upper case, so the length never changes and no letter expands.
TEST(UpperCase, SimpleMappingOfEachCodePoint) {
    const struct {
        const char* name;
        std::u16string text;
        std::u16string upper;
    } kCases[] = {
        {"ascii", u"hq abc-xyz 09", u"HQ ABC-XYZ 09"},
        {"full-width", u"\uFF41\uFF5A", u"\uFF21\uFF3A"},
        {"latin-1", u"\u00E4\u00E9\u00FF\u00B5", u"\u00C4\u00C9\u0178\u039C"},
        {"no expansion", u"\u00DF\uFB01\u0149", u"\u00DF\uFB01\u0149"},
        {"title-case digraphs", u"\u01C6\u01C5\u01C9", u"\u01C4\u01C4\u01C7"},
        {"dotless i and long s", u"\u0131\u017F", u"IS"},
        {"greek", u"\u03C9\u03C2\u03AC", u"\u03A9\u03A3\u0386"},
        {"cyrillic", u"\u044F\u0451", u"\u042F\u0401"},
        {"circled letters", u"\u24D0", u"\u24B6"},
        {"supplementary", u"\U00010428\U0001E922", u"\U00010400\U0001E900"},
        {"japanese unchanged", u"\u6587\u5B57\u3042\uFF71", u"\u6587\u5B57\u3042\uFF71"},
        {"lone surrogate kept", u"a\xD800z", u"A\xD800Z"},
        {"empty", u"", u""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Platform::UpperCaseLocale(c.text), c.upper);
    }
}

// Every BMP code unit upper-cased on its own: both systems give the same 1190 changes. The
// fingerprint was computed from wine's LCMapStringEx; ICU's u_toupper gives it as well (both
// follow Unicode 15 as Debian 12 ships them), so a change here is a change of the rule.
TEST(UpperCase, WholeBmpMatchesTheReference) {
    TFingerprint upper;
    int changed = 0;
    for (unsigned c = 1; c < 0x10000; ++c) {
        const std::u16string text(1, static_cast<char16_t>(c));
        const std::u16string up = Platform::UpperCaseLocale(text);
        upper.Add16(static_cast<uint16_t>(up.size()));
        for (const char16_t u : up) {
            upper.Add16(u);
        }
        changed += up != text;
    }
    EXPECT_EQ(changed, 1190);
    EXPECT_EQ(upper.Value(), 0x9D1F5EDBE4C1D0FBull);
}

}  // namespace
