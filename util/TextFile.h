// TextFile: reading and writing whole text files in the encodings the host and the dialog use.
#pragma once

#include <string>
#include <string_view>

enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct TDecodedText {
    std::u16string text;
    TTextEncoding encoding = TTextEncoding::Ansi;
};

// Chooses the encoding by byte-order mark (EF BB BF, FF FE, FE FF; else the ANSI code page)
// and decodes. The mark is not part of the text; invalid sequences become U+FFFD.
TDecodedText DecodeTextBytes(std::string_view bytes);

// Calls f(line) for every line of text. Lines end at CR LF, a lone LF or a lone CR; a line
// break at the very end adds no empty line.
template <class F>
void ForEachLine(std::u16string_view text, F&& f) {
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || c == u'\r') {
            f(text.substr(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < n) {
        f(text.substr(start));
    }
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

// Reads the whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::u16string& fileName, std::string& out);

// Writes bytes to a temporary file in the target's folder and renames it over the target,
// so that no reader ever sees a half-written file. On failure the temporary file is removed,
// the target is left as it was, and false is returned.
bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes);

// A file name as the file system takes it.
std::string NativeFileName(const std::u16string& fileName);
