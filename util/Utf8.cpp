// Utf8: UTF-8 decoded and encoded by hand. The host's exchange file can be tens of megabytes,
// almost all ASCII, and a loop that copies eight ASCII bytes at a time is several times faster
// than a general converter.
#include "Utf8Codec.h"

#include <cstdint>
#include <cstring>  // for std::memcpy

#include "Utf16.h"

namespace {

using Utf16::kReplacement;

// Any of eight bytes with the high bit set.
constexpr uint64_t kHighBits = 0x8080808080808080ull;
// Any of four UTF-16 units above U+007F.
constexpr uint64_t kNonAsciiUnits = 0xFF80FF80FF80FF80ull;

// Copies ASCII from s + i, sixteen bytes at a time, until fewer are left or a run holds
// another byte; a local copy lets the compiler widen the bytes in vector registers.
inline void CopyAsciiRuns(const unsigned char* s, size_t n, size_t& i, char16_t*& q) {
    while (i + 16 <= n) {
        unsigned char run[16];
        std::memcpy(run, s + i, sizeof run);
        uint64_t first;
        uint64_t second;
        std::memcpy(&first, run, 8);
        std::memcpy(&second, run + 8, 8);
        if ((first | second) & kHighBits) {
            return;
        }
        for (int k = 0; k < 16; ++k) {
            q[k] = run[k];
        }
        q += 16;
        i += 16;
    }
}

// What a lead byte starts: the sequence's length (0 for a byte that starts none), the bits
// it gives, and the allowed range of the second byte, which rules out overlong forms,
// surrogates and values above U+10FFFF.
struct TUtf8Lead {
    int len = 0;
    uint32_t cp = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
};

inline TUtf8Lead ReadLead(unsigned char b0) {
    TUtf8Lead lead;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        lead.len = 2;
        lead.cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        lead.len = 3;
        lead.cp = b0 & 0x0F;
        if (b0 == 0xE0) {
            lead.lo = 0xA0;
        } else if (b0 == 0xED) {
            lead.hi = 0x9F;
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        lead.len = 4;
        lead.cp = b0 & 0x07;
        if (b0 == 0xF0) {
            lead.lo = 0x90;
        } else if (b0 == 0xF4) {
            lead.hi = 0x8F;
        }
    }
    return lead;
}

// Decodes the sequence that starts with the byte at i (0x80 or above) into q: one unit, a
// surrogate pair, or U+FFFD for the maximal subpart of a malformed one.
inline void DecodeSequence(const unsigned char* s, size_t n, size_t& i, char16_t*& q) {
    TUtf8Lead lead = ReadLead(s[i]);
    if (lead.len == 0) {
        *q++ = kReplacement;
        ++i;
        return;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 1; k < lead.len; ++k, ++j) {
        if (j >= n || s[j] < lead.lo || s[j] > lead.hi) {
            ok = false;
            break;
        }
        lead.cp = (lead.cp << 6) | (s[j] & 0x3F);
        lead.lo = 0x80;
        lead.hi = 0xBF;
    }
    i = j;
    uint32_t cp = lead.cp;
    if (!ok) {
        *q++ = kReplacement;
    } else if (cp < 0x10000) {
        *q++ = static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        *q++ = static_cast<char16_t>(0xD800 + (cp >> 10));  // the pair's halves
        *q++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Copies ASCII from text + i, four units at a time, until fewer are left or a block holds
// another unit.
inline void CopyAsciiUnits(std::u16string_view text, size_t& i, char*& q) {
    while (i + 4 <= text.size()) {
        uint64_t block;
        std::memcpy(&block, text.data() + i, 8);
        if (block & kNonAsciiUnits) {
            return;
        }
        for (int k = 0; k < 4; ++k) {
            q[k] = static_cast<char>(text[i + k]);
        }
        q += 4;
        i += 4;
    }
}

// Encodes the character at i (a unit, or a surrogate pair) into q.
inline void EncodeCharacter(std::u16string_view text, size_t& i, char*& q) {
    const char16_t c = text[i];
    if (c < 0x80) {
        *q++ = static_cast<char>(c);
        ++i;
    } else if (c < 0x800) {
        *q++ = static_cast<char>(0xC0 | (c >> 6));
        *q++ = static_cast<char>(0x80 | (c & 0x3F));
        ++i;
    } else if (Utf16::IsPairAt(text, i)) {
        const uint32_t cp = Utf16::PairCodePoint(c, text[i + 1]);
        *q++ = static_cast<char>(0xF0 | (cp >> 18));
        *q++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *q++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *q++ = static_cast<char>(0x80 | (cp & 0x3F));
        i += 2;
    } else {
        const char16_t u = Utf16::IsSurrogate(c) ? kReplacement : c;
        *q++ = static_cast<char>(0xE0 | (u >> 12));
        *q++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *q++ = static_cast<char>(0x80 | (u & 0x3F));
        ++i;
    }
}

}  // namespace

size_t DecodeUtf8To(std::string_view bytes, char16_t* const base) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    char16_t* q = base;
    size_t i = 0;
    while (i < n) {
        CopyAsciiRuns(s, n, i, q);
        if (i >= n) {
            break;
        }
        if (s[i] < 0x80) {
            *q++ = s[i++];
        } else {
            DecodeSequence(s, n, i, q);
        }
    }
    return static_cast<size_t>(q - base);
}

void DecodeUtf8(std::string_view bytes, std::u16string& out) {
    const size_t old = out.size();
    // A byte never yields more than one UTF-16 unit; four bytes yield two.
    out.resize(old + bytes.size());
    out.resize(old + DecodeUtf8To(bytes, out.data() + old));
}

void AppendUtf8(std::string& out, std::u16string_view text) {
    const size_t old = out.size();
    // Three bytes per unit at most: a pair of units gives four.
    out.resize(old + 3 * text.size());
    char* const base = out.data();
    char* q = base + old;
    size_t i = 0;
    while (i < text.size()) {
        CopyAsciiUnits(text, i, q);
        if (i < text.size()) {
            EncodeCharacter(text, i, q);
        }
    }
    out.resize(static_cast<size_t>(q - base));
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    AppendUtf8(out, text);
    return out;
}

std::u16string FromUtf8(std::string_view bytes) {
    std::u16string out;
    DecodeUtf8(bytes, out);
    return out;
}
