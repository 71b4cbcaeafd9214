// ZivLoad: reading a host file for the commands that look at one.
#include "ziv/ZivLoad.h"

#include <istream>
#include <vector>

#include "util/TextFile.h"
#include "ziv/ZivError.h"
#include "ziv/ZivOutput.h"

namespace {

// Standard input is read in pieces of this size.
constexpr size_t kInputPiece = size_t{64} << 10;

// The message for input that breaks one of the reader's limits, naming the limit.
[[noreturn]] void Refuse(const std::string& name, TDavOpenFault fault) {
    switch (fault) {
        case TDavOpenFault::TooLarge:
            throw TZivError(name + ": larger than the largest host file read, " +
                            std::to_string(DavLimits::kMaxFileBytes) + " bytes (" +
                            std::to_string(DavLimits::kMaxFileBytes >> 20) + " MiB)");
        case TDavOpenFault::LineTooLong:
            throw TZivError(name + ": a line longer than the longest a host file may hold, " +
                            std::to_string(DavLimits::kMaxLineBytes) + " bytes (" +
                            std::to_string(DavLimits::kMaxLineBytes >> 20) + " MiB)");
        default: throw TZivError(name + ": cannot read the file");
    }
}

// Standard input, held to the limits as it comes: an endless stream (/dev/zero) is refused
// after its first long line, a large one once it passes the largest host file. Lines are
// measured in bytes between CR and LF bytes; what that misses in UTF-16, the library finds.
std::string ReadStandardInput() {
    const std::string name = "standard input";
    TZivInput input("-");
    std::istream& in = input.Stream();
    std::string bytes;
    std::vector<char> piece(kInputPiece);
    size_t line = 0;  // bytes of the line under way
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const std::string_view got(piece.data(), static_cast<size_t>(in.gcount()));
        if (bytes.size() + got.size() > DavLimits::kMaxFileBytes) {
            Refuse(name, TDavOpenFault::TooLarge);
        }
        const size_t first = got.find_first_of("\r\n");
        if (first == std::string_view::npos) {
            line += got.size();
        } else if (line + first > DavLimits::kMaxLineBytes) {
            Refuse(name, TDavOpenFault::LineTooLong);
        } else {
            line = got.size() - got.find_last_of("\r\n") - 1;
        }
        if (line > DavLimits::kMaxLineBytes) {
            Refuse(name, TDavOpenFault::LineTooLong);
        }
        bytes.append(got);
    }
    if (in.bad()) {
        throw TZivError("cannot read standard input");
    }
    return bytes;
}

}  // namespace

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
        const std::string bytes = ReadStandardInput();
        if (!jg.OpenTempBytes(bytes)) {
            Refuse("standard input", jg.OpenFault());
        }
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
        Refuse(path, jg.OpenFault());
    }
    return encoding;
}
