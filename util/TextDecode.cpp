// TextDecode: telling a text's encoding and decoding its bytes into UTF-16. UTF-16 is decoded
// here, UTF-8 in Utf8.cpp; the legacy code page has large mapping tables and vendor
// extensions, so it goes through CodePage.cpp, whose tables come from the system.
#include "TextDecode.h"

#include <algorithm>  // for std::copy, std::min
#include <array>
#include <cstdint>

#include "Platform.h"
#include "Utf16.h"
#include "WordScan.h"

namespace {

// A last odd byte becomes U+FFFD.
void DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& out) {
    const size_t units = bytes.size() / 2;
    out.resize(units);
    DecodeUtf16To(reinterpret_cast<const unsigned char*>(bytes.data()), units, bigEndian,
                  out.data());
    if (bytes.size() % 2 != 0) {
        out += Utf16::kReplacement;
    }
}

// The ASCII bytes that the code page reads as the same character on their own, as code page
// 932 reads every one of them. A line of such bytes needs no converter. The
// search below finds control characters only, so a code page that reads a printable ASCII
// byte otherwise has no plain bytes at all.
using TPlainBytes = std::array<bool, 0x80>;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

const TPlainBytes& PlainAnsiBytes() {
    static const TPlainBytes plain = [] {
        TPlainBytes table{};
        for (size_t b = 0; b < table.size(); ++b) {
            const std::u16string text = Platform::DecodeAnsi(std::string(1, static_cast<char>(b)));
            table[b] = text.size() == 1 && text[0] == static_cast<char16_t>(b);
        }
        for (size_t b = kFirstPrintable; b < kDelete; ++b) {
            if (!table[b]) {
                return TPlainBytes{};
            }
        }
        return table;
    }();
    return plain;
}

bool IsPlainAnsi(const TPlainBytes& plain, char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < plain.size() && plain[b];
}

// Index of the first byte at or after i that is not plain, else the length. The word-wide
// test marks the bytes from 0x80 up, below 0x20 and 0x7F, among which are all that are not
// plain.
size_t FindNotPlain(const TPlainBytes& plain, std::string_view bytes, size_t i) {
    return WordScan::FindFirst(
        bytes.data(), i, bytes.size(), [&plain](char c) { return !IsPlainAnsi(plain, c); },
        [](uint64_t word) {
            return WordScan::MarksHigh<char>(word) |
                   WordScan::MarksBelow<char>(word, kFirstPrintable) |
                   WordScan::MarksEqual<char>(word, kDelete);
        });
}

// Appends plain bytes to out at used, one unit each.
void WidenAscii(std::string_view bytes, std::u16string& out, size_t& used) {
    if (out.size() < used + bytes.size()) {
        out.resize(used + bytes.size());
    }
    char16_t* const q = out.data() + used;
    for (size_t k = 0; k < bytes.size(); ++k) {
        q[k] = static_cast<unsigned char>(bytes[k]);
    }
    used += bytes.size();
}

}  // namespace

TTextEncoding DetectEncoding(std::string_view head, size_t& markBytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(head.data());
    const size_t n = head.size();
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) {
        markBytes = 3;
        return TTextEncoding::Utf8;
    }
    if (n >= 2 && s[0] == 0xFF && s[1] == 0xFE) {
        markBytes = 2;
        return TTextEncoding::Utf16LE;
    }
    if (n >= 2 && s[0] == 0xFE && s[1] == 0xFF) {
        markBytes = 2;
        return TTextEncoding::Utf16BE;
    }
    markBytes = 0;
    return UnmarkedUtf16Order(head);
}

TTextEncoding UnmarkedUtf16Order(std::string_view head) {
    constexpr size_t kLeast = 4;
    const auto* s = reinterpret_cast<const unsigned char*>(head.data());
    const size_t units = std::min(head.size(), kEncodingSampleBytes) / 2;
    const auto ascii = [](unsigned char code, unsigned char other) {
        return code != 0 && code < 0x80 && other == 0;
    };
    size_t little = 0;
    size_t big = 0;
    for (size_t k = 0; k < units; ++k) {
        little += ascii(s[2 * k], s[2 * k + 1]) ? 1 : 0;
        big += ascii(s[2 * k + 1], s[2 * k]) ? 1 : 0;
    }
    const auto clear = [units](size_t one, size_t other) {
        return one >= kLeast && 4 * one >= units && one > other;
    };
    if (clear(little, big)) {
        return TTextEncoding::Utf16LE;
    }
    if (clear(big, little)) {
        return TTextEncoding::Utf16BE;
    }
    return TTextEncoding::Ansi;
}

std::u16string DecodeText(std::string_view bytes, TTextEncoding encoding) {
    std::u16string text;
    switch (encoding) {
        case TTextEncoding::Utf8: DecodeUtf8(bytes, text); break;
        case TTextEncoding::Utf16LE: DecodeUtf16(bytes, false, text); break;
        case TTextEncoding::Utf16BE: DecodeUtf16(bytes, true, text); break;
        case TTextEncoding::Ansi: text = Platform::DecodeAnsi(bytes); break;
    }
    return text;
}

TDecodedText DecodeTextBytes(std::string_view bytes) {
    TDecodedText result;
    size_t mark = 0;
    result.encoding = DetectEncoding(bytes, mark);
    result.text = DecodeText(bytes.substr(mark), result.encoding);
    return result;
}

void DecodeUtf16To(const unsigned char* s, size_t count, bool bigEndian, char16_t* q) {
    if (bigEndian) {
        for (size_t k = 0; k < count; ++k) {
            q[k] = static_cast<char16_t>((s[2 * k] << 8) | s[2 * k + 1]);
        }
    } else {
        for (size_t k = 0; k < count; ++k) {
            q[k] = static_cast<char16_t>(s[2 * k] | (s[2 * k + 1] << 8));
        }
    }
}

// Plain bytes are whole characters and a line break byte is never part of a longer sequence,
// so each part decodes as it would within the whole text.
size_t DecodeAnsiLines(std::string_view bytes, std::u16string& out) {
    const TPlainBytes& plain = PlainAnsiBytes();
    const size_t n = bytes.size();
    size_t used = 0;
    size_t pos = 0;
    while (pos < n) {
        const size_t other = FindNotPlain(plain, bytes, pos);
        if (other == n) {
            WidenAscii(bytes.substr(pos), out, used);
            break;
        }
        WidenAscii(bytes.substr(pos, other - pos), out, used);
        size_t end = other;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        end = end < n ? end + 1 : n;
        const std::u16string line = Platform::DecodeAnsi(bytes.substr(other, end - other));
        if (out.size() < used + line.size()) {
            out.resize(used + line.size());
        }
        std::copy(line.begin(), line.end(), out.begin() + static_cast<std::ptrdiff_t>(used));
        used += line.size();
        pos = end;
    }
    return used;
}
