// ZivJsonText: strings and numbers as JSON text.
#include "ziv/ZivJsonText.h"

#include <charconv>
#include <cmath>

#include "util/TextFile.h"

namespace ZivJson {

void AppendString(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out.append("\\\""); break;
            case '\\': out.append("\\\\"); break;
            case '\n': out.append("\\n"); break;
            case '\r': out.append("\\r"); break;
            case '\t': out.append("\\t"); break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out.append("\\u00");
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 0xF]);
                } else {
                    out.push_back(ch);
                }
        }
    }
    out.push_back('"');
}

void AppendString(std::string& out, std::u16string_view text) {
    thread_local std::string utf8;
    utf8.clear();
    AppendUtf8(utf8, text);
    AppendString(out, std::string_view(utf8));
}

void AppendNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out.append("\"nan\"");
        return;
    }
    if (std::isinf(value)) {
        out.append(value > 0 ? "\"inf\"" : "\"-inf\"");
        return;
    }
    if (value == 0.0 && std::signbit(value)) {
        out.append("-0.0");
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void AppendNumber(std::string& out, int value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

}  // namespace ZivJson
