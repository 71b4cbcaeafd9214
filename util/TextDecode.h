// TextDecode: telling a text's encoding and decoding its bytes into UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "Utf8Codec.h"

enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct TDecodedText {
    std::u16string text;
    TTextEncoding encoding = TTextEncoding::Ansi;
};

// DetectEncoding looks at no more than this many bytes of a text's start.
constexpr size_t kEncodingSampleBytes = 4096;

// Chooses the encoding by the byte-order mark at the start of head (EF BB BF, FF FE, FE FF);
// markBytes receives the mark's length, 0 without one. Without a mark, UTF-16 is recognised
// by its NUL bytes (IsUnmarkedUtf16), else the text is in the ANSI code page.
TTextEncoding DetectEncoding(std::string_view head, size_t& markBytes);

// The byte order of UTF-16 written without a mark, told from the first kEncodingSampleBytes
// of head: the host's lines are mostly ASCII, and an ASCII character in UTF-16 is a NUL byte
// beside its code. It is UTF-16 when at least four of the two-byte units, and a quarter of
// them, are such characters in one byte order, and more than in the other (where a kanji
// such as U+4E00 or the full-width space U+3000 looks like one). Text in the code page or
// UTF-8 holds no NUL bytes, so a stray one never turns it into UTF-16. Ansi when the text is
// not UTF-16.
TTextEncoding UnmarkedUtf16Order(std::string_view head);

// Decodes bytes without a mark in the given encoding; invalid sequences become U+FFFD.
std::u16string DecodeText(std::string_view bytes, TTextEncoding encoding);

// Chooses the encoding by byte-order mark and decodes. The mark is not part of the text.
TDecodedText DecodeTextBytes(std::string_view bytes);

// Decodes count UTF-16 units from s in the given byte order into q. Unpaired surrogates are
// kept as they are, so the text survives unchanged.
void DecodeUtf16To(const unsigned char* s, size_t count, bool bigEndian, char16_t* q);

// Decodes bytes of the code page that end at a line break, or at the end of the text, into
// out from its start, growing it where needed; returns the units written. Plain ASCII goes
// directly, the rest of a line from its first other byte through the converter.
size_t DecodeAnsiLines(std::string_view bytes, std::u16string& out);
