// ZivLoad: reading a host file for the commands that look at one.
#include "ziv/ZivLoad.h"

#include "util/TextFile.h"
#include "ziv/ZivError.h"
#include "ziv/ZivOutput.h"

// The encoding as the library's reader chooses it: by the mark, or UTF-16 by its NUL bytes.
std::string EncodingName(std::string_view bytes) {
    size_t mark = 0;
    switch (DetectEncoding(bytes, mark)) {
        case TTextEncoding::Utf8: return "utf8";
        case TTextEncoding::Utf16LE: return "utf16le";
        case TTextEncoding::Utf16BE: return "utf16be";
        case TTextEncoding::Ansi: break;
    }
    return "cp932";
}

std::string EncodingLabel(std::string_view name) {
    if (name == "utf8") {
        return "UTF-8 with byte-order mark";
    }
    if (name == "utf16le") {
        return "UTF-16 little-endian (with byte-order mark, or told by its NUL bytes)";
    }
    if (name == "utf16be") {
        return "UTF-16 big-endian (with byte-order mark, or told by its NUL bytes)";
    }
    return "Shift_JIS (code page 932), no byte-order mark";
}

std::string LoadHostFile(const std::string& path, TJGdata& jg) {
    if (path == "-") {
        const std::string bytes = ReadInput(path);
        jg.OpenTempBytes(bytes);
        return EncodingName(bytes);
    }
    // The encoding from the file's start first; then the library's own reading, which lets go
    // of the file's bytes as it parses them.
    TZivInput input(path);
    char head[kEncodingSampleBytes] = {};
    input.Stream().read(head, sizeof head);
    const std::string encoding =
        EncodingName(std::string_view(head, static_cast<size_t>(input.Stream().gcount())));
    if (!jg.OpenTempFile(FromUtf8(path))) {
        throw TZivError(path + ": cannot read the file");
    }
    return encoding;
}
