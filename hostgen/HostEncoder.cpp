// HostEncoder: the code page through the platform layer, as the program itself writes it;
// UTF-16 unit by unit in the byte order asked for.
#include "hostgen/HostEncoder.h"

#include "util/Platform.h"
#include "util/TextFile.h"

std::string HostFileMark(THostEncoding encoding) {
    switch (encoding) {
        case THostEncoding::Utf8: return "\xEF\xBB\xBF";
        case THostEncoding::Utf16Le: return "\xFF\xFE";
        case THostEncoding::Utf16Be: return "\xFE\xFF";
        default: return "";
    }
}

void AppendHostText(std::string& out, std::string_view text, THostEncoding encoding) {
    switch (encoding) {
        case THostEncoding::Utf8: out += text; return;
        case THostEncoding::Cp932: out += Platform::EncodeAnsi(FromUtf8(text)); return;
        default: break;
    }
    const bool little =
        encoding == THostEncoding::Utf16Le || encoding == THostEncoding::Utf16LeNoMark;
    for (const char16_t c : FromUtf8(text)) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        out += little ? lo : hi;
        out += little ? hi : lo;
    }
}
