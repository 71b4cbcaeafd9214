// HostGen: the profiles' lines put into their encoding, whole or a piece at a time.
#include "hostgen/HostGen.h"

#include <filesystem>
#include <fstream>

#include "hostgen/HostDrawing.h"
#include "hostgen/HostEncoder.h"
#include "hostgen/HostMixedLines.h"

namespace {

struct TEncodingName {
    THostEncoding encoding;
    const char* name;
};
constexpr TEncodingName kEncodingNames[] = {
    {THostEncoding::Utf8, "utf8"},
    {THostEncoding::Utf16Le, "utf16le"},
    {THostEncoding::Utf16Be, "utf16be"},
    {THostEncoding::Utf16LeNoMark, "utf16le-nomark"},
    {THostEncoding::Utf16BeNoMark, "utf16be-nomark"},
    {THostEncoding::Cp932, "cp932"},
};

// Pieces of about this many bytes of UTF-8 are encoded and written at once.
constexpr size_t kPieceBytes = size_t{1} << 16;

}  // namespace

bool HostEncodingFromName(std::string_view name, THostEncoding& encoding) {
    for (const TEncodingName& e : kEncodingNames) {
        if (name == e.name) {
            encoding = e.encoding;
            return true;
        }
    }
    return false;
}

const char* HostEncodingName(THostEncoding encoding) {
    for (const TEncodingName& e : kEncodingNames) {
        if (e.encoding == encoding) {
            return e.name;
        }
    }
    return "";
}

THostEncoding HostFileEncoding(const THostFileSpec& spec) {
    return spec.profile == THostProfile::MixedLines ? MixedLinesEncoding(spec) : spec.encoding;
}

void GenerateHostLines(const THostFileSpec& spec, const THostLineSink& emit) {
    if (spec.profile == THostProfile::MixedLines) {
        MixedLines(spec, emit);
    } else {
        DrawingLines(spec, emit);
    }
}

void GenerateHostBytes(const THostFileSpec& spec,
                       const std::function<void(std::string_view bytes)>& write) {
    const THostEncoding encoding = HostFileEncoding(spec);
    std::string piece;
    std::string bytes = HostFileMark(encoding);
    const auto flush = [&] {
        AppendHostText(bytes, piece, encoding);
        write(bytes);
        piece.clear();
        bytes.clear();
    };
    GenerateHostLines(spec, [&](std::string_view line, std::string_view end) {
        piece += line;
        piece += end;
        if (piece.size() >= kPieceBytes) {
            flush();
        }
    });
    flush();
}

std::string GenerateHostFile(const THostFileSpec& spec) {
    std::string out;
    GenerateHostBytes(spec, [&](std::string_view bytes) { out += bytes; });
    return out;
}

bool WriteHostFile(const THostFileSpec& spec, const std::u16string& path) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    GenerateHostBytes(spec, [&](std::string_view bytes) {
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
    file.close();
    return file.good();
}
