// HostGen: host files made up for trying the program, the benchmarks and the tests. One
// description (THostFileRequest) gives the same bytes on every run and every system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// How the file is encoded, as the host may write it.
enum class THostEncoding {
    Utf8,           // UTF-8 with byte-order mark
    Utf16Le,        // UTF-16 little-endian with byte-order mark
    Utf16Be,        // UTF-16 big-endian with byte-order mark
    Utf16LeNoMark,  // UTF-16 little-endian, told by its NUL bytes
    Utf16BeNoMark,  // UTF-16 big-endian, told by its NUL bytes
    Cp932,          // the legacy code page, without a mark
};

// What the file holds.
enum class THostProfile {
    // A drawing as a host writes one: its settings, layer names, text types and picked points,
    // then the entities of a large selection, every kind among them, the attributes changing
    // now and then. Every line reads as it is and is written back whole.
    Drawing,
    // Lines of every key in random order with odd values among them (numbers that are no
    // numbers, missing values, corners that coincide, bare LF line ends): for tests of the
    // reader and the write-back, not a drawing. In the legacy code page only ASCII.
    MixedLines,
};

struct THostFileRequest {
    THostProfile profile = THostProfile::Drawing;
    // Drawing: the number of entities (each segment of a polyline is one). MixedLines: the
    // number of lines; 0 for a number chosen by the seed.
    int entities = 1000;
    THostEncoding encoding = THostEncoding::Utf8;
    // MixedLines only: the encoding chosen by the seed (UTF-8, the code page, UTF-16 LE or BE
    // with mark) instead of the one above.
    bool encodingBySeed = false;
    std::uint32_t seed = 407;
};

// The names ziv takes: "utf8", "utf16le", "utf16be", "utf16le-nomark", "utf16be-nomark",
// "cp932". False for any other.
bool HostEncodingFromName(std::string_view name, THostEncoding& encoding);
const char* HostEncodingName(THostEncoding encoding);

// The encoding the file is written in: the request's, or the one the seed chose.
THostEncoding HostFileEncoding(const THostFileRequest& request);

// Hands the file's lines to emit in order, as UTF-8: line without its line end, end the line
// end ("\r\n", or "\n" where MixedLines puts a bare LF).
using THostLineSink = std::function<void(std::string_view line, std::string_view end)>;
void GenerateHostLines(const THostFileRequest& request, const THostLineSink& emit);

// The file's bytes handed to write in pieces of about 64 KiB, the byte-order mark first, so
// that a large file is never held whole.
void GenerateHostBytes(const THostFileRequest& request,
                       const std::function<void(std::string_view bytes)>& write);

// The whole file, encoded.
std::string GenerateHostFile(const THostFileRequest& request);

// The file written to path a piece at a time (never held whole), replacing what was there.
// False when it cannot be written whole.
bool WriteHostFile(const THostFileRequest& request, const std::u16string& path);
