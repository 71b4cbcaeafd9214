// ZivLoad: reading a host file for the commands that look at one.
#include "ziv/ZivLoad.h"

#include "util/TextFile.h"
#include "ziv/ZivError.h"
#include "ziv/ZivOutput.h"

std::string EncodingName(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return "utf8";
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return "utf16le";
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return "utf16be";
    }
    return "cp932";
}

std::string EncodingLabel(std::string_view name) {
    if (name == "utf8") {
        return "UTF-8 with byte-order mark";
    }
    if (name == "utf16le") {
        return "UTF-16 little-endian with byte-order mark";
    }
    if (name == "utf16be") {
        return "UTF-16 big-endian with byte-order mark";
    }
    return "Shift_JIS (code page 932), no byte-order mark";
}

std::string LoadHostFile(const std::string& path, TJGdata& jg) {
    if (path == "-") {
        const std::string bytes = ReadInput(path);
        jg.OpenTempBytes(bytes);
        return EncodingName(bytes);
    }
    // The byte-order mark first; then the library's own reading, which lets go of the file's
    // bytes as it parses them.
    TZivInput input(path);
    char head[3] = {};
    input.Stream().read(head, sizeof head);
    const std::string encoding =
        EncodingName(std::string_view(head, static_cast<size_t>(input.Stream().gcount())));
    if (!jg.OpenTempFile(FromUtf8(path))) {
        throw TZivError(path + ": cannot read the file");
    }
    return encoding;
}
