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

THostEncoding HostFileEncoding(const THostFileRequest& request) {
    return request.profile == THostProfile::MixedLines ? MixedLinesEncoding(request)
                                                       : request.encoding;
}

void GenerateHostLines(const THostFileRequest& request, const THostLineSink& emit) {
    if (request.profile == THostProfile::MixedLines) {
        MixedLines(request, emit);
    } else {
        DrawingLines(request, emit);
    }
}

void GenerateHostBytes(const THostFileRequest& request,
                       const std::function<void(std::string_view bytes)>& write) {
    const THostEncoding encoding = HostFileEncoding(request);
    std::string piece;
    std::string bytes = HostFileMark(encoding);
    const auto flush = [&] {
        AppendHostText(bytes, piece, encoding);
        write(bytes);
        piece.clear();
        bytes.clear();
    };
    GenerateHostLines(request, [&](std::string_view line, std::string_view end) {
        piece += line;
        piece += end;
        if (piece.size() >= kPieceBytes) {
            flush();
        }
    });
    flush();
}

std::string GenerateHostFile(const THostFileRequest& request) {
    std::string out;
    GenerateHostBytes(request, [&](std::string_view bytes) { out += bytes; });
    return out;
}

bool WriteHostFile(const THostFileRequest& request, const std::u16string& path) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    GenerateHostBytes(request, [&](std::string_view bytes) {
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
    file.close();
    return file.good();
}
