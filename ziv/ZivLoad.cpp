// ZivLoad: reading a host file for the commands that look at one.
#include "ziv/ZivLoad.h"

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

void LoadHostFile(const std::string& path, TJGdata& jg, std::string& bytes, TDavReadSink* sink) {
    bytes = ReadInput(path);
    jg.SetReadSink(sink);
    jg.OpenTempBytes(bytes);
    jg.SetReadSink(nullptr);
}
